#include "world/TileTextures.h"

#include "platform/gfx/D3DX.h"
#include "world/BashTypes.h"
#include "world/TileStore.h"

#include <algorithm>
#include <vector>

gfx::Texture* TileTextures::Front(gfx::Device* device, const TileStore& store, int slot)
{
    if (slot < 0 || slot >= kTileSlots)
        return nullptr;
    if (tiles_.empty())
        tiles_.resize(kTileSlots);
    return Refresh(device, tiles_[size_t(slot)].front, store.FrontColours(slot), store.TileRevision(slot),
                   store.TileAlpha(slot));
}

gfx::Texture* TileTextures::Back(gfx::Device* device, const TileStore& store, int slot)
{
    if (slot < 0 || slot >= kTileSlots)
        return nullptr;
    if (tiles_.empty())
        tiles_.resize(kTileSlots);
    return Refresh(device, tiles_[size_t(slot)].back, store.BackColours(slot), store.TileRevision(slot),
                   store.TileAlpha(slot));
}

gfx::Texture* TileTextures::Refresh(gfx::Device* device, Layer& layer, const uint32_t* colours, uint32_t revision,
                                    uint8_t alpha)
{
    if (!colours) {
        layer = Layer{};
        return nullptr;
    }
    if (layer.filled && layer.texture && layer.revision == revision && layer.alpha == alpha)
        return layer.texture.get();
    if (!layer.texture) {
        if (!device || gfx::FAILED(gfx::D3DXCreateTexture(device, kTileSize, kTileSize, 1, 0, format_,
                                                          gfx::D3DPOOL_MANAGED, layer.texture.out())))
            return nullptr;
    }
    gfx::Surface* level = layer.texture->Level(0);
    if (!level)
        return nullptr;
    const auto scaled = [alpha](uint32_t colour) {
        if (alpha == 255)
            return colour;
        const uint32_t a = ((colour >> 24) * alpha + 127) / 255;
        return (a << 24) | (colour & 0xFFFFFFu);
    };
    if (format_ == gfx::D3DFMT_A8R8G8B8 && level->Width() >= uint32_t(kTileSize) && level->Height() >= uint32_t(kTileSize)) {
        for (int y = 0; y < kTileSize; ++y) {
            uint32_t* row = level->Row<uint32_t>(uint32_t(y));
            const uint32_t* source = colours + y * kTileSize;
            if (alpha == 255) {
                std::copy(source, source + kTileSize, row);
            } else {
                for (int x = 0; x < kTileSize; ++x)
                    row[x] = scaled(source[x]);
            }
        }
        level->MarkModified();
    } else {
        std::vector<uint32_t> pixels(colours, colours + kTilePixels);
        for (uint32_t& pixel : pixels)
            pixel = scaled(pixel);
        gfx::D3DXLoadSurfaceFromMemory(level, nullptr, nullptr, pixels.data(), gfx::D3DFMT_A8R8G8B8,
                                       kTileSize * sizeof(uint32_t), nullptr, nullptr, gfx::D3DX_FILTER_NONE, 0);
    }
    layer.revision = revision;
    layer.alpha = alpha;
    layer.filled = true;
    ++uploads_;
    return layer.texture.get();
}
