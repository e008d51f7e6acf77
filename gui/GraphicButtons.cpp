#include "gui/GraphicButtons.h"

#include "media/Draw2D.h"

#include "gui/GuiClock.h"
#include "gui/UiScale.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"

#include <algorithm>

namespace {

// Draws the current frame of `image` with its top-left at (x, y), scaled.
void DrawFrameAt(AnimSurface* image, float x, float y, float sx, float sy, uint32_t colour, uint8_t alpha)
{
    if (!image || !image->bitmap)
        return;
    BaseSurface* bitmap = image->bitmap;
    bitmap->scaleX = sx;
    bitmap->scaleY = sy;
    bitmap->colour = colour & 0x00FFFFFFu;
    bitmap->alpha = static_cast<uint8_t>(((colour >> 24) * alpha) / 255u);
    image->Draw(x + static_cast<float>(image->hotspotX) * sx, y + static_cast<float>(image->hotspotY) * sy);
}

bool FrameSize(const AnimSurface* image, float* width, float* height)
{
    if (!image || image->frameWidth <= 0 || image->frameHeight <= 0)
        return false;
    *width = Primitive::ToVirtualX(static_cast<float>(image->frameWidth));
    *height = Primitive::ToVirtualY(static_cast<float>(image->frameHeight));
    return true;
}

} // namespace

GraphicButton::GraphicButton(const std::string& folder, const std::string& file, int frameCount)
    : frames(std::max(frameCount, 1))
{
    image = ImageCache::GetImageFromParts(folder, file);
    if (image && image->imageWidth > 0)
        image->SetFrameSize(image->imageWidth / frames, image->imageHeight);
    SetSize(kKeepCoordinate, kKeepCoordinate);
}

GraphicButton::~GraphicButton() { ImageCache::ReleaseImage(image); }

uint8_t GraphicButton::DrawAlpha() const
{
    if (enabled && PulseRuns())
        return static_cast<uint8_t>(std::clamp(pulseAlpha, 0.0f, 255.0f));
    return alpha;
}

int GraphicButton::FrameForState() const
{
    if (!enabled && image && image->frameCount > 3)
        return 3;
    return state;
}

void GraphicButton::Draw()
{
    if (!image || image->frameWidth <= 0 || image->frameHeight <= 0)
        return;
    image->SetFrame(FrameForState());
    const float sx = (rect.right - rect.left) / static_cast<float>(image->frameWidth);
    const float sy = (rect.bottom - rect.top) / static_cast<float>(image->frameHeight);
    const Draw2D::TintScope tinted;
    DrawFrameAt(image, rect.left, rect.top, sx, sy, tint, DrawAlpha());
}

void GraphicButton::SetSize(float width, float height)
{
    float frameW = 0.0f;
    float frameH = 0.0f;
    if (FrameSize(image, &frameW, &frameH)) {
        if (width <= kKeepCoordinate)
            width = frameW;
        if (height <= kKeepCoordinate)
            height = frameH;
    }
    Button::SetSize(width, height);
}

bool GraphicButton::GetSize(float* width, float* height)
{
    FloatPoint size = GetSizeVirtual();
    if (size.x <= 0.0f || size.y <= 0.0f)
        FrameSize(image, &size.x, &size.y);
    if (width)
        *width = size.x;
    if (height)
        *height = size.y;
    return true;
}

AnimButton::AnimButton(const std::string& path, int frameWidth, int frameHeight, uint32_t frameTimeMs)
{
    frameTime = frameTimeMs;
    animation = ImageCache::GetImage(path);
    if (animation)
        animation->SetFrameSize(frameWidth, frameHeight);
    SetSize(kKeepCoordinate, kKeepCoordinate);
}

AnimButton::~AnimButton() { ImageCache::ReleaseImage(animation); }

void AnimButton::Draw()
{
    if (!animation)
        return;
    float sx = scaleX;
    float sy = scaleY;
    if (animating && frameTime > 0) {
        frameClock += GuiFrameElapsed();
        if (frameClock >= frameTime) {
            frameClock -= frameTime;
            if (noCatchUp)
                frameClock = std::min(frameClock, frameTime);
            ++frame;
            if (frame >= animation->frameCount)
                frame = 0;
        }
    }
    uint32_t drawColour = colour;
    if (state == kButtonHover) {
        drawColour = 0x88FFFFFF;
        if (growOnHover) {
            sx *= 1.2f;
            sy *= 1.2f;
        }
    }
    frame = animation->SetFrame(frame) >= 0 ? animation->currentFrame : 0;
    DrawFrameAt(animation, rect.left + static_cast<float>(offsetX), rect.top + static_cast<float>(offsetY), sx, sy,
                drawColour, alpha);
}

void AnimButton::SetSize(float width, float height)
{
    float frameW = 0.0f;
    float frameH = 0.0f;
    if (FrameSize(animation, &frameW, &frameH)) {
        if (width <= kKeepCoordinate)
            width = frameW * scaleX;
        if (height <= kKeepCoordinate)
            height = frameH * scaleY;
    }
    Button::SetSize(width, height);
}

bool AnimButton::GetSize(float* width, float* height)
{
    FloatPoint size = GetSizeVirtual();
    if ((size.x <= 0.0f || size.y <= 0.0f) && FrameSize(animation, &size.x, &size.y)) {
        size.x *= scaleX;
        size.y *= scaleY;
    }
    if (width)
        *width = size.x;
    if (height)
        *height = size.y;
    return true;
}

SuperNovaButton::SuperNovaButton() : GraphicButton(kFolder, "large-button.png", 4) {}

SuperNovaButton::~SuperNovaButton() { ImageCache::ReleaseImage(icon_); }

void SuperNovaButton::SetIcon(const std::string& path, float offset, float scale)
{
    ImageCache::ReleaseImage(icon_);
    icon_ = ImageCache::GetImage(path);
    iconOffset_ = offset;
    iconScale_ = scale;
}

void SuperNovaButton::Draw()
{
    const uint8_t drawAlpha = DrawAlpha();
    const float skin = GetUiScale();
    {
        const Draw2D::TintScope tinted;
        if (image && image->frameWidth > 0 && image->frameHeight > 0) {
            image->SetFrame(FrameForState());
            DrawFrameAt(image, rect.left, rect.top, (rect.right - rect.left) / static_cast<float>(image->frameWidth),
                        (rect.bottom - rect.top) / static_cast<float>(image->frameHeight), tint, drawAlpha);
        }
        if (icon_ && icon_->frameWidth > 0 && icon_->frameHeight > 0) {
            const float scale = skin * iconScale_;
            const float width = static_cast<float>(icon_->frameWidth) * scale;
            const float height = static_cast<float>(icon_->frameHeight) * scale;
            const float x = (rect.left + rect.right - width) / 2.0f;
            const float y = (rect.top + rect.bottom - height) / 2.0f + ToPixelsY(iconOffset_);
            DrawFrameAt(icon_, x - static_cast<float>(icon_->hotspotX) * scale,
                        y - static_cast<float>(icon_->hotspotY) * scale, scale, scale, tint, drawAlpha);
        }
    }
    Font* font = caption.empty() ? nullptr : FontManager::GetFont(fontId);
    if (!font)
        return;
    const uint32_t colour = (textColour & 0x00FFFFFFu) |
                            (static_cast<uint32_t>(((textColour >> 24) * drawAlpha) / 255u) << 24);
    const float left = rect.left + margins.left, right = rect.right - margins.right;
    const float top = rect.top + margins.top, bottom = rect.bottom - margins.bottom;
    font->DrawTextLines((left + right) / 2.0f, (top + bottom) / 2.0f, skin, skin, colour, caption,
                        kTextCentre | kTextVCentre);
}
