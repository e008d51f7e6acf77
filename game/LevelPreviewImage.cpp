// The level loader's preview image: the sky behind, the private landscape the primitives
// and layered traps were stamped into, and the flimbs at their first frame, on an ARGB
// surface of the preview's size.
#include "game/LevelReaders.h"

#include "levelmodel/MapPrimitive.h"
#include "media/AnimSurface.h"
#include "platform/gfx/Resources.h"
#include "world/Landscape.h"
#include "world/TrapKinds.h"

#include <algorithm>

namespace {

uint32_t BlendOver(uint32_t below, uint32_t above)
{
    const uint32_t a = above >> 24;
    if (a == 255)
        return above;
    if (a == 0)
        return below;
    auto channel = [&](int shift) {
        const uint32_t s = (above >> shift) & 0xFF, d = (below >> shift) & 0xFF;
        return ((s * a + d * (255 - a) + 127) / 255) << shift;
    };
    const uint32_t belowAlpha = below >> 24;
    const uint32_t alpha = a + (belowAlpha * (255 - a) + 127) / 255;
    return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

uint32_t AddSigned(uint32_t colour, uint32_t tint)
{
    uint32_t out = colour & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int value = static_cast<int>((colour >> shift) & 0xFF) + static_cast<int>((tint >> shift) & 0xFF) - 128;
        out |= static_cast<uint32_t>(std::clamp(value, 0, 255)) << shift;
    }
    return out;
}

// The pixels of an animation's current frame: level 0 of its texture.
gfx::Surface* FramePixels(const AnimSurface* image)
{
    if (!image || !image->bitmap || !image->bitmap->texture)
        return nullptr;
    return image->bitmap->texture->Level(0);
}

} // namespace

void StampLevelPrimitive(Landscape& landscape, const MapPrimitive& primitive, float scale, int32_t offsetX,
                         int32_t offsetY, bool preview)
{
    BashOptions options;
    options.forceOpaque = primitive.alphaOpaque;
    options.alphaThreshold = primitive.alphaThreshold;
    options.shadowDarken = primitive.shadowVal;
    // A preview lays plain land as a material of no set: colours only.
    int material = static_cast<int>(primitive.bashType);
    if (preview && material == 1)
        material = 32;
    const uint32_t colour = (static_cast<uint32_t>(primitive.alpha & 0xFF) << 24) | (primitive.tint & 0xFFFFFFu);
    // Primitives a ModifyLand trap refers to keep their transformed copies only; the others
    // may also share one of an equivalent turn.
    const int cacheFlags = primitive.modifyLandRef ? Landscape::kCacheStore
                                                   : Landscape::kCacheStore | Landscape::kCacheLookup;
    const float x = (primitive.posX + static_cast<float>(offsetX)) * scale;
    const float y = (primitive.posY + static_cast<float>(offsetY)) * scale;
    landscape.BashPrimitiveFile(material, primitive.fileName, options, primitive.landToBash, primitive.scaleX * scale,
                                primitive.scaleY * scale, primitive.rotation, true, nullptr, colour, cacheFlags, false,
                                nullptr, false, nullptr, primitive.shadowMode != 0, x, y);
}

void DrawPreviewSky(LevelLoader& loader)
{
    gfx::Surface* target = loader.previewSurface.get();
    if (!target)
        return;
    const Trap* sky = nullptr;
    for (const auto& trap : loader.previewTraps)
        if (trap->kind == 35) {
            sky = trap.get();
            break;
        }
    const AnimSurface* image = sky ? sky->SkyImage() : nullptr;
    gfx::Surface* pixels = FramePixels(image);
    if (!pixels || image->frameWidth <= 0 || image->frameHeight <= 0)
        return;
    const uint32_t w = static_cast<uint32_t>(image->frameWidth), h = static_cast<uint32_t>(image->frameHeight);
    const uint32_t left = static_cast<uint32_t>(std::max(0, image->sourceRect.left));
    const uint32_t top = static_cast<uint32_t>(std::max(0, image->sourceRect.top));
    if (left + w > pixels->Width() || top + h > pixels->Height())
        return;
    for (uint32_t y = 0; y < target->Height(); ++y)
        for (uint32_t x = 0; x < target->Width(); ++x)
            target->WritePixel(x, y, AddSigned(pixels->ReadPixel(left + x % w, top + y % h) | 0xFF000000u, sky->tint));
}

void StampPreviewTraps(LevelLoader& loader, bool zorderSet)
{
    if (!loader.previewLandscape)
        return;
    for (const auto& trap : loader.previewTraps)
        if (KindTraits(trap->kind).layered && (trap->zorder != 0) == zorderSet)
            trap->StampIntoLandscape(*loader.previewLandscape, loader.previewScale);
}

void FinishPreview(LevelLoader& loader)
{
    gfx::Surface* target = loader.previewSurface.get();
    if (!target)
        return;
    // The landscape over the sky: its colours lie at preview scale already.
    if (const Landscape* land = loader.previewLandscape.get()) {
        const uint32_t w = std::min<uint32_t>(target->Width(), static_cast<uint32_t>(std::max(0, land->Width())));
        const uint32_t h = std::min<uint32_t>(target->Height(), static_cast<uint32_t>(std::max(0, land->Height())));
        for (int column = 0; column < land->TileColumns(); ++column) {
            for (int row = 0; row < land->TileRows(); ++row) {
                const uint32_t* front = land->FrontColours(TileSlot(column, row));
                if (!front)
                    continue;
                const uint32_t x0 = static_cast<uint32_t>(column * kTileSize), y0 = static_cast<uint32_t>(row * kTileSize);
                const uint32_t tile = static_cast<uint32_t>(kTileSize);
                for (uint32_t y = y0; y < std::min(h, y0 + tile); ++y)
                    for (uint32_t x = x0; x < std::min(w, x0 + tile); ++x)
                        target->WritePixel(x, y, BlendOver(target->ReadPixel(x, y),
                                                           front[ColourIndex(static_cast<int>(x), static_cast<int>(y))]));
            }
        }
    }
    // The flimbs at the first frame of their group animation, scaled with the preview.
    const float scale = loader.previewScale;
    for (const Flimb& flimb : loader.previewFlimbs) {
        const AnimSurface* image = flimb.animation;
        gfx::Surface* pixels = FramePixels(image);
        if (!pixels || image->frameWidth <= 0 || image->frameHeight <= 0)
            continue;
        const float size = scale * flimb.scale;
        const int w = std::max(1, static_cast<int>(static_cast<float>(image->frameWidth) * size));
        const int h = std::max(1, static_cast<int>(static_cast<float>(image->frameHeight) * size));
        const int left = static_cast<int>(static_cast<float>(flimb.x) * scale - static_cast<float>(image->hotspotX) * size);
        const int top = static_cast<int>(static_cast<float>(flimb.y) * scale - static_cast<float>(image->hotspotY) * size);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int tx = left + x, ty = top + y;
                if (tx < 0 || ty < 0 || tx >= static_cast<int>(target->Width()) || ty >= static_cast<int>(target->Height()))
                    continue;
                const uint32_t sx = static_cast<uint32_t>(std::min(image->frameWidth - 1, static_cast<int>(static_cast<float>(x) / size)));
                const uint32_t sy = static_cast<uint32_t>(std::min(image->frameHeight - 1, static_cast<int>(static_cast<float>(y) / size)));
                if (sx >= pixels->Width() || sy >= pixels->Height())
                    continue;
                target->WritePixel(static_cast<uint32_t>(tx), static_cast<uint32_t>(ty),
                                   BlendOver(target->ReadPixel(static_cast<uint32_t>(tx), static_cast<uint32_t>(ty)),
                                             pixels->ReadPixel(sx, sy)));
            }
        }
    }
}
