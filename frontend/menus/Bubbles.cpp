#include "frontend/menus/Bubbles.h"

#include "app/Random.h"
#include "gui/GuiClock.h"
#include "gui/GuiDevice.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"

#include <algorithm>
#include <cmath>

namespace {

// The alpha the bubble image is drawn with (64 % opaque).
constexpr uint32_t kImageAlpha = 164;

// 0 .. 1 from the drawing generator (0 .. 32767).
double DrawFraction()
{
    return DrawRand() / double(RandomGenerator::kMax);
}

} // namespace

Bubbles::Bubbles(uint32_t periodMs) : tick_(periodMs, true), image_(ImageCache::GetImage(kImage))
{
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
}

Bubbles::~Bubbles()
{
    ImageCache::ReleaseImage(image_);
}

void Bubbles::Spawn()
{
    const float screenWidth = float(GetScreenWidth());
    const float screenHeight = float(GetScreenHeight());
    Bubble bubble;
    bubble.x = float(DrawRand() * double(screenWidth) / RandomGenerator::kMax);
    bubble.y = screenHeight + float(image_ ? image_->imageHeight : 0);
    bubble.alpha = 164;
    bubble.scale = float(((DrawFraction() - 0.5) * 0.95 + 1.0) * GetUiScale());
    bubbles_.push_back(bubble);
}

void Bubbles::Update()
{
    const uint32_t elapsed = GuiFrameElapsed();
    if (tick_.Advance(elapsed) && DrawFraction() < 0.5)
        Spawn();
    for (Bubble& bubble : bubbles_)
        bubble.y -= float(elapsed) * (1.0f / 6.0f) * bubble.scale;
    std::erase_if(bubbles_, [](const Bubble& bubble) { return bubble.y < -100.0f; });
}

void Bubbles::Draw()
{
    if (!visible || !highlight || !image_ || !image_->bitmap || !image_->bitmap->texture || bubbles_.empty())
        return;
    const float centreX = image_->imageWidth * 0.5f;
    const float centreY = image_->imageHeight * 0.5f;
    for (const Bubble& bubble : bubbles_) {
        // The image carries the alpha of 164 itself: a bubble of alpha 164 is drawn in white.
        const uint32_t shown = std::min<uint32_t>(255u, uint32_t(bubble.alpha) * alpha / kImageAlpha);
        const uint32_t colour = shown << 24 | 0xFFFFFFu;
        Draw2D::DrawTexturedQuad(image_->bitmap->texture, nullptr, bubble.x, bubble.y, std::fabs(bubble.scale),
                                 std::fabs(bubble.scale), centreX, centreY, 0.0f, colour);
    }
}
