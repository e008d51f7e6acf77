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

void SuperNovaButton::Draw()
{
    Font* font = caption.empty() ? nullptr : FontManager::GetFont(fontId);
    const float captionHeight = font ? font->LineHeight(GetUiScale()) : 0.0f;
    const float width = rect.right - rect.left;
    const float height = rect.bottom - rect.top - captionHeight;
    if (image && image->frameWidth > 0 && image->frameHeight > 0 && width > 0.0f && height > 0.0f) {
        image->SetFrame(FrameForState());
        const float scale = std::min(width / static_cast<float>(image->frameWidth),
                                     height / static_cast<float>(image->frameHeight));
        const float drawnW = static_cast<float>(image->frameWidth) * scale;
        const float drawnH = static_cast<float>(image->frameHeight) * scale;
        const Draw2D::TintScope tinted;
        DrawFrameAt(image, rect.left + (width - drawnW) / 2.0f, rect.top + (height - drawnH) / 2.0f, scale, scale,
                    tint, DrawAlpha());
    }
    if (font) {
        const uint32_t colour = (textColour & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha) << 24);
        font->DrawTextLines((rect.left + rect.right) / 2.0f, rect.bottom - captionHeight, GetUiScale(), GetUiScale(),
                            colour, caption, kTextCentre);
    }
}
