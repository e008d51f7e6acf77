#include "game/HealthBars.h"

#include "game/FlimbOverlay.h"
#include "game/ViewDraw.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

constexpr const char* kFolder = "Graphics\\HUD\\InGame\\HealthBar\\";
constexpr const char* kFillNames[4] = {"health_bar_bar_full.png", "health_bar_bar_empty.png",
                                       "health_bar_blocks_full.png", "health_bar_blocks_empty.png"};
constexpr float kBarScale = 1.55f;
constexpr float kHalfWidth = 41.0f;  // screen-scale pixels left of the anchor
constexpr float kHalfHeight = 18.0f; // and above it
constexpr uint8_t kBarAlpha = 196;
constexpr float kLift = 10.0f; // world pixels between the head and the bar
// Where the fills lie in the bar's frame (image pixels).
constexpr float kBlocksX = 4.0f, kBlocksY = 2.0f;
constexpr float kBarX = 4.0f, kBarY = 13.0f;

constexpr int kBarFull = 8, kBarEmpty = 9, kBlocksFull = 10, kBlocksEmpty = 11;

} // namespace

void LoadHealthBarImages(HealthBarSet& set)
{
    ReleaseHealthBarImages(set);
    for (int group = 0; group < 8; ++group)
        set.images[size_t(group)] =
            LoadImageIfPresent(std::string(kFolder) + SubstituteGroupLabel("health_bar_{group-color}.png", group));
    for (int i = 0; i < 4; ++i)
        set.images[size_t(kBarFull + i)] = LoadImageIfPresent(std::string(kFolder) + kFillNames[i]);
    set.loaded = true;
}

void ReleaseHealthBarImages(HealthBarSet& set)
{
    for (AnimSurface*& image : set.images) {
        ImageCache::ReleaseImage(image);
        image = nullptr;
    }
    set.loaded = false;
}

HealthBarSet& OverlayHealthBars()
{
    static HealthBarSet set;
    return set;
}

void DrawHealthBar(const HealthBarSet& set, const HealthBar& bar)
{
    const Flimb* flimb = bar.flimb;
    const int32_t scale = World().healthScale;
    if (!flimb || scale == 0)
        return;
    const FloatPoint centre = GetFlimbCentre(*flimb);
    float headX = 0.0f, headY = 0.0f;
    HeadDirection(flimb->gravity & 3, headX, headY);
    const float rise = static_cast<float>(flimb->Layout().height) * flimb->scale + kLift;
    const ViewPlacement place = PlaceInView(centre.x + headX * rise, centre.y + headY * rise);
    const float rotation = GravitySpriteAngle(flimb->gravity & 3) + place.turn;
    const float drawScale = kBarScale * place.scale;
    const float pivotX = kHalfWidth / kBarScale, pivotY = kHalfHeight / kBarScale;
    const gfx::D3DCOLOR colour = (gfx::D3DCOLOR(kBarAlpha) << 24) | 0xFFFFFFu;
    DrawTurnedFrame(set.images[size_t(flimb->group & 7)], 0, place.x, place.y, drawScale, drawScale, rotation, colour,
                   pivotX, pivotY);

    const double ratio = std::min(1.0, static_cast<double>(static_cast<uint32_t>(flimb->energy))
                                           / static_cast<double>(static_cast<uint32_t>(scale)));
    const auto fill = [&](int fullIndex, int emptyIndex, float left, float top) {
        const AnimSurface* full = set.images[size_t(fullIndex)];
        const AnimSurface* empty = set.images[size_t(emptyIndex)];
        const AnimSurface* shape = full ? full : empty;
        if (!shape)
            return;
        const int width = shape->frameWidth, height = shape->frameHeight;
        const int split = static_cast<int>(static_cast<double>(width) * ratio);
        const gfx::RECT fullPart{0, 0, split, height};
        const gfx::RECT emptyPart{split, 0, width, height};
        DrawTurnedFrame(full, 0, place.x, place.y, drawScale, drawScale, rotation, colour, pivotX - left, pivotY - top,
                       &fullPart);
        DrawTurnedFrame(empty, 0, place.x, place.y, drawScale, drawScale, rotation, colour,
                       pivotX - left - static_cast<float>(split), pivotY - top, &emptyPart);
    };
    fill(kBlocksFull, kBlocksEmpty, kBlocksX, kBlocksY);
    fill(kBarFull, kBarEmpty, kBarX, kBarY);
}
