#include "gui/SkinImage.h"

#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"

#include <algorithm>
#include <utility>

SkinImage::SkinImage(const std::string& folder, const std::string& file)
{
    Load(folder, file);
}

SkinImage::~SkinImage()
{
    Reset();
}

SkinImage::SkinImage(SkinImage&& other) noexcept : image_(std::exchange(other.image_, nullptr)) {}

SkinImage& SkinImage::operator=(SkinImage&& other) noexcept
{
    if (this != &other) {
        Reset();
        image_ = std::exchange(other.image_, nullptr);
    }
    return *this;
}

void SkinImage::Load(const std::string& folder, const std::string& file)
{
    Reset();
    image_ = ImageCache::GetImageFromParts(folder, file);
}

void SkinImage::Reset()
{
    ImageCache::ReleaseImage(std::exchange(image_, nullptr));
}

void SkinImage::SetFrameSize(int frameWidth, int frameHeight)
{
    if (image_)
        image_->SetFrameSize(frameWidth, frameHeight);
}

int SkinImage::FrameWidth() const
{
    return image_ ? image_->frameWidth : 0;
}

int SkinImage::FrameHeight() const
{
    return image_ ? image_->frameHeight : 0;
}

int SkinImage::FrameCount() const
{
    return image_ ? std::max(1, image_->frameCount) : 0;
}

gfx::RECT SkinImage::FrameRect(int frame) const
{
    gfx::RECT rect{};
    if (!image_ || image_->frameWidth <= 0 || image_->frameHeight <= 0 || image_->imageWidth <= 0)
        return rect;
    frame = std::clamp(frame, 0, FrameCount() - 1);
    const int perRow = std::max(1, image_->imageWidth / image_->frameWidth);
    rect.left = (frame % perRow) * image_->frameWidth;
    rect.top = (frame / perRow) * image_->frameHeight;
    rect.right = rect.left + image_->frameWidth;
    rect.bottom = rect.top + image_->frameHeight;
    return rect;
}

void SkinImage::Draw(float x, float y, float scale, uint32_t argb, int frame) const
{
    DrawStretched(x, y, x + DrawnWidth(scale), y + DrawnHeight(scale), argb, frame);
}

void SkinImage::DrawStretched(float left, float top, float right, float bottom, uint32_t argb, int frame) const
{
    if (!image_ || !image_->bitmap || !image_->visible || !(right > left) || !(bottom > top))
        return;
    const gfx::RECT source = FrameRect(frame);
    const gfx::D3DCOLOR colours[4] = {argb, argb, argb, argb};
    Draw2D::DrawTexturedRect(image_->bitmap->texture, &source, left, top, right, bottom, colours);
}

float ThreeSliceMiddleWidth(const SkinImage& left, const SkinImage& right, float width, float scale)
{
    return std::max(0.0f, width - left.DrawnWidth(scale) - right.DrawnWidth(scale));
}

void DrawThreeSlice(const SkinImage& left, const SkinImage& middle, const SkinImage& right, float x, float y,
                    float width, float scale, uint32_t argb, int frame)
{
    const float leftWidth = left.DrawnWidth(scale);
    const float middleWidth = ThreeSliceMiddleWidth(left, right, width, scale);
    left.Draw(x, y, scale, argb, frame);
    if (middleWidth > 0.0f)
        middle.DrawStretched(x + leftWidth, y, x + leftWidth + middleWidth, y + middle.DrawnHeight(scale), argb, frame);
    right.Draw(std::max(x + width - right.DrawnWidth(scale), x + leftWidth), y, scale, argb, frame);
}
