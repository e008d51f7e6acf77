#include "gui/Throbber.h"

#include "gui/GuiClock.h"
#include "gui/UiScale.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"

Throbber::Throbber()
{
    image_ = ImageCache::GetImage(kImage);
    float width = 0.0f, height = 0.0f;
    Throbber::GetSize(&width, &height);
    SetSize(width, height);
}

Throbber::~Throbber() { ImageCache::ReleaseImage(image_); }

void Throbber::Update() { Advance(GuiFrameElapsed()); }

void Throbber::Advance(uint32_t milliseconds)
{
    if (running_.load())
        elapsed_.fetch_add(milliseconds);
}

bool Throbber::GetSize(float* width, float* height)
{
    const float pixels = float(kFrameSize) * GetUiScale();
    if (width)
        *width = ToVirtualX(pixels);
    if (height)
        *height = ToVirtualY(pixels);
    return true;
}

void Throbber::Draw() { DrawAt((rect.left + rect.right) * 0.5f, (rect.top + rect.bottom) * 0.5f, alpha); }

void Throbber::DrawAt(float centreX, float centreY, uint8_t drawAlpha) const
{
    if (!image_ || !image_->bitmap || !image_->bitmap->texture || image_->imageWidth < kFrameSize)
        return;
    // The frame's cell, computed here: the cached image's own frame layout is shared.
    const int perRow = image_->imageWidth / kFrameSize;
    const int frame = Frame();
    const int32_t left = (frame % perRow) * kFrameSize, top = (frame / perRow) * kFrameSize;
    if (top + kFrameSize > image_->imageHeight)
        return;
    const gfx::RECT cell{left, top, left + kFrameSize, top + kFrameSize};
    const float scale = GetUiScale();
    const float half = float(kFrameSize) * 0.5f;
    Draw2D::DrawTexturedQuad(image_->bitmap->texture, &cell, centreX, centreY, scale, scale, half, half, 0.0f,
                             gfx::D3DCOLOR(drawAlpha) << 24 | 0xFFFFFFu);
}
