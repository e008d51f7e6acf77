// Drawing one flimb in the current view. Reads the record and changes nothing of it: the
// in-between frame of 26-frame sheets and the halfway position are locals.
#include "app/StringUtil.h"
#include "game/ViewDraw.h"
#include "gui/Primitive.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"
#include "world/AnimationSpec.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/Groups.h"
#include "world/Landscape.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr const char* kSplatFlash = "Graphics\\Primitives\\Common\\Overlays\\radial-gradient-reverse.png";

gfx::RECT FrameRect(const AnimSurface& surface, int frame)
{
    if (surface.imageWidth <= 0 || surface.frameWidth <= 0)
        return gfx::RECT{0, 0, surface.frameWidth, surface.frameHeight};
    const int p = frame * surface.frameWidth;
    const int row = p / surface.imageWidth;
    const int left = p % surface.imageWidth;
    return gfx::RECT{left, row * surface.frameHeight, left + surface.frameWidth, (row + 1) * surface.frameHeight};
}

gfx::Texture* TextureOf(const AnimSurface* surface)
{
    return surface && surface->bitmap ? surface->bitmap->texture : nullptr;
}

// One placement of the sprite on the screen.
struct Placement {
    float x = 0, y = 0;
    float scaleX = 1, scaleY = 1;
    float rotation = 0;
};

// centred: the frame's middle goes on the point (images without a hot spot of their own).
void DrawFrame(const AnimSurface& surface, int frame, const Placement& at, gfx::D3DCOLOR colour, bool centred = false)
{
    gfx::Texture* texture = TextureOf(&surface);
    if (!texture)
        return;
    const int count = std::max(1, surface.frameCount);
    const gfx::RECT source = FrameRect(surface, ((frame % count) + count) % count);
    const float cx = centred ? static_cast<float>(surface.frameWidth) / 2.0f : static_cast<float>(surface.hotspotX);
    const float cy = centred ? static_cast<float>(surface.frameHeight) / 2.0f : static_cast<float>(surface.hotspotY);
    Draw2D::DrawTexturedQuad(texture, &source, at.x, at.y, at.scaleX, at.scaleY, cx, cy, at.rotation, colour);
}

uint8_t CrowdAlpha(const Flimb& flimb, uint8_t alpha)
{
    const Flimb* followed = FollowedFlimb();
    if (!followed || followed == &flimb)
        return alpha;
    const int dx = flimb.x - followed->x, dy = flimb.y - followed->y;
    if (std::abs(dx) >= 60 || std::abs(dy) >= 90)
        return alpha;
    const int base = flimb.type == kWalk || flimb.type == kFall ? 50 : 100;
    return static_cast<uint8_t>(std::min(255, (dx * dx + dy * dy) / 32 + base));
}

} // namespace

uint32_t FlimbGroupColour(uint8_t group)
{
    return group < kGroupColours.size() ? kGroupColours[group] : 0xFFFFFFFFu;
}

void Flimb::Draw() const
{
    if (!InWorld())
        return;
    const AnimSurface* surface = animation;
    const FrameLayout layout = Layout();
    // 1. The frame shown: in the second half of an update a 26-frame sheet shows the
    // in-between frame of its pair.
    int shown = std::clamp(static_cast<int>(frame), 0, layout.count - 1);
    const bool paired = layout.count == 26;
    if (paired && InBetweenFrame() && shown % 2 == 0 && shown + 1 < layout.count)
        ++shown;

    // 2. Alpha.
    uint8_t shownAlpha = CrowdAlpha(*this, alpha);
    if (GroupDimmedInView(group))
        shownAlpha = 16;

    // 3. Colour.
    uint32_t colour = 0xFFFFFF;
    if (attributes & kAttrQuietEnd) {
        colour = 0x000000;
        shownAlpha = std::min<uint8_t>(shownAlpha, 0x95);
    }
    if (attributes & kAttrSureFooted)
        colour = 0x303030;
    if (attributes & kAttrSteered)
        colour = 0xA4A4A4;

    // 4. Position and turn.
    float px = static_cast<float>(x), py = static_cast<float>(y);
    if (paired && (shown & 1)) {
        px = (static_cast<float>(prevX) + px) / 2.0f;
        py = (static_cast<float>(prevY) + py) / 2.0f;
    }
    if (type == kDrill && walkSpeed < 0)
        px -= 0.5f;
    const float worldX = px, worldY = py;
    WorldToScreen(px, py);
    Placement at;
    at.x = px;
    at.y = py;
    const float zoom = CurrentViewScale();
    const bool mirrored = (walkSpeed < 0) != (gravity == 1 || gravity == 3);
    at.scaleX = drawScaleX * zoom * scale * (mirrored ? -1.0f : 1.0f);
    at.scaleY = scale * drawScaleY * zoom;
    at.rotation = GravitySpriteAngle(gravity) + 3.0f * kPi / 2.0f - GameViewRotation(); // the view's turn
    if (type == kGraviturn)
        at.rotation += static_cast<float>(angle) * kPi / 180.0f;
    const gfx::D3DCOLOR tint = (static_cast<uint32_t>(shownAlpha) << 24) | colour;

    // 8. The copies over wrapping edges.
    std::array<Placement, 2> places{at, at};
    int placeCount = 1;
    if (const Landscape* land = GameLandscape(); land && land->Width() > 0 && land->Height() > 0) {
        const gfx::RECT r = GetCurrentSprite();
        const auto wraps = [&](int edge) { return land->edgeModes[size_t(edge)] == TileStore::kEdgeWrap; };
        float shiftX = 0, shiftY = 0;
        if (wraps(TileStore::kEdgeRight) && r.right > land->Width() - 1)
            shiftX = -static_cast<float>(land->Width());
        else if (wraps(TileStore::kEdgeLeft) && r.left < 0)
            shiftX = static_cast<float>(land->Width());
        if (wraps(TileStore::kEdgeBottom) && r.bottom > land->Height() - 1)
            shiftY = -static_cast<float>(land->Height());
        else if (wraps(TileStore::kEdgeTop) && r.top < 0)
            shiftY = static_cast<float>(land->Height());
        if (shiftX != 0.0f || shiftY != 0.0f) {
            float wx = worldX + shiftX, wy = worldY + shiftY;
            WorldToScreen(wx, wy);
            places[1].x = wx;
            places[1].y = wy;
            placeCount = 2;
        }
    }

    const bool special = (attributes & (kAttrQuietEnd | kAttrSureFooted | kAttrSteered)) != 0;
    for (int i = 0; i < placeCount; ++i) {
        const Placement& place = places[size_t(i)];
        if (surface) {
            // 5. Drown and Burn sink behind the scenery.
            const bool sinks = type == kDrown || type == kBurn;
            std::optional<Draw2D::DepthTestScope> depth;
            if (sinks)
                depth.emplace(gfx::D3DCMP_LESS);
            // 6. Special flimbs: the colour is added to the texture, with a pulsing halo.
            std::optional<Draw2D::SignedAddScope> signedAdd;
            if (special)
                signedAdd.emplace();
            DrawFrame(*surface, shown, place, tint);
        }
        if (special) {
            if (const AnimSurface* halo = AnimationSpec::HaloImage()) {
                const float t = static_cast<float>(CurrentGameTime()) * 4.08407f / 1000.0f;
                const float pulse = (0.8f + 0.07f * std::sin(static_cast<float>(id) + t)) * shownAlpha;
                const uint32_t haloAlpha = static_cast<uint32_t>(std::min(255.0f, pulse));
                const uint32_t haloColour = (attributes & (kAttrSteered | kAttrQuietEnd)) ? 0xFFFFFF : 0x000000;
                // Round the body: half the frame's height above the feet.
                float ux = 0, uy = 0;
                HeadDirection(gravity, ux, uy);
                const float lift = static_cast<float>(layout.height) * place.scaleY / 2.0f;
                Placement haloPlace = place;
                haloPlace.x += ux * lift;
                haloPlace.y += uy * lift;
                haloPlace.scaleX = std::fabs(place.scaleX) * 0.66f;
                haloPlace.scaleY = place.scaleY * 0.66f;
                DrawFrame(*halo, 0, haloPlace, (haloAlpha << 24) | haloColour, true);
            }
        }
        // 7. The overlay.
        if (overlay)
            DrawFrame(*overlay, shown, place, tint);
        // A splat flashes in its group's colour in its first steps.
        if (type == kSplat && (typeAge == 2 || typeAge == 4)) {
            if (AnimSurface* flash = ImageCache::GetImage(kSplatFlash)) {
                const float radius = 6.0f * static_cast<float>(typeAge - 1);
                const float size = static_cast<float>(std::max(1, flash->frameWidth));
                Placement flashPlace = place;
                flashPlace.scaleX = flashPlace.scaleY = 2.0f * radius / size;
                flashPlace.rotation = 0;
                const uint32_t groupColour = kGroupColours[group & 7] & 0xFFFFFF;
                DrawFrame(*flash, 0, flashPlace, 0x40000000u | groupColour, true);
                ImageCache::ReleaseImage(flash);
            }
        }
    }

    // 9. Debug and fuse text over the head.
    const bool debug = ConsoleInt("debug_mode") != 0;
    if (debug || (flags & kFlimbFuseLit)) {
        std::string text;
        if (debug)
            text = StringPrintf("(%d,%d) s%d i%d ", x, y, typeAge, id);
        if (flags & kFlimbFuseLit)
            text += StringPrintf("%d", fuse);
        if (Font* font = FontManager::GetFont(0)) {
            const float rise = static_cast<float>(layout.height) * scale * zoom + (IsSelected() ? 30.0f : 0.0f);
            font->DrawTextTransformed(at.x, at.y - rise, (kGroupColours[group & 7] & 0xFFFFFF) | 0xFF000000u, text,
                                      kTextCentre);
        }
    }

    // 10. The name tag takes the flimb's alpha.
    if (tag) {
        tag->SetFlag(shownAlpha, 0);
        tag->Draw();
    }
}
