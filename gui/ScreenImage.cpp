#include "gui/ScreenImage.h"

#include "gui/GuiClock.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"

#include <algorithm>
#include <optional>

std::string JoinImagePath(const std::string& folder, const std::string& file)
{
    if (folder.empty())
        return file;
    const char last = folder.back();
    return (last == '\\' || last == '/') ? folder + file : folder + "\\" + file;
}

int ImageFrameCount(const AnimSurface* image, int frameWidth, int frameHeight)
{
    if (!image || frameWidth <= 0 || frameHeight <= 0)
        return image ? 1 : 0;
    const int columns = std::max(1, image->imageWidth / frameWidth);
    const int rows = std::max(1, image->imageHeight / frameHeight);
    return columns * rows;
}

void DrawImageFrame(const AnimSurface* image, int frameWidth, int frameHeight, int frame, const FloatRect& dest,
                    uint32_t colour)
{
    if (!image || !image->bitmap || !image->bitmap->texture || frameWidth <= 0 || frameHeight <= 0)
        return;
    const int columns = std::max(1, image->imageWidth / frameWidth);
    frame = std::clamp(frame, 0, ImageFrameCount(image, frameWidth, frameHeight) - 1);
    const int x = (frame % columns) * frameWidth;
    const int y = (frame / columns) * frameHeight;
    const gfx::RECT source{x, y, x + frameWidth, y + frameHeight};
    const gfx::D3DCOLOR colours[4] = {colour, colour, colour, colour};
    Draw2D::DrawTexturedRect(image->bitmap->texture, &source, dest.left, dest.top, dest.right, dest.bottom, colours);
}

ScreenImage::ScreenImage(const std::string& path)
{
    SetImage(path);
}

ScreenImage::ScreenImage(const std::string& folder, const std::string& file)
{
    SetImage(JoinImagePath(folder, file));
}

ScreenImage::~ScreenImage()
{
    ImageCache::ReleaseImage(image_);
}

void ScreenImage::SetImage(const std::string& path)
{
    AnimSurface* next = ImageCache::GetImage(path);
    ImageCache::ReleaseImage(image_);
    image_ = next;
    path_ = path;
    frame_ = 0;
    frameWidth_ = image_ ? std::max(1, image_->imageWidth) : 0;
    frameHeight_ = image_ ? std::max(1, image_->imageHeight) : 0;
    FitToImage();
}

void ScreenImage::SetScale(float scaleX, float scaleY)
{
    scaleX_ = scaleX * GetUiScale();
    scaleY_ = scaleY * GetUiScale();
    FitToImage();
}

void ScreenImage::SetFrameSize(int width, int height)
{
    if (!image_)
        return;
    frameWidth_ = std::clamp(width, 1, std::max(1, image_->imageWidth));
    frameHeight_ = std::clamp(height, 1, std::max(1, image_->imageHeight));
    frame_ = std::clamp(frame_, 0, FrameCount() - 1);
    FitToImage();
}

int ScreenImage::FrameCount() const
{
    return ImageFrameCount(image_, frameWidth_, frameHeight_);
}

void ScreenImage::SetFrame(int frame)
{
    frame_ = std::clamp(frame, 0, std::max(0, FrameCount() - 1));
}

void ScreenImage::FitToImage()
{
    float width = 0.0f;
    float height = 0.0f;
    GetSize(&width, &height);
    SetSize(width, height);
}

bool ScreenImage::GetSize(float* width, float* height)
{
    if (width)
        *width = ToVirtualX(float(frameWidth_) * scaleX_);
    if (height)
        *height = ToVirtualY(float(frameHeight_) * scaleY_);
    return image_ != nullptr;
}

void ScreenImage::Draw()
{
    if (!image_ || !image_->bitmap || !visible || !highlight)
        return;
    const uint32_t shown = WithAlpha(colour, uint8_t(((colour >> 24) * alpha) / 255));
    std::optional<Draw2D::OpaqueScope> replace;
    if (opaque && (shown >> 24) == 0xFF)
        replace.emplace();
    if (rotation_ == 0.0f) {
        DrawImageFrame(image_, frameWidth_, frameHeight_, frame_, rect, shown);
        return;
    }
    const int columns = std::max(1, image_->imageWidth / std::max(1, frameWidth_));
    const int x = (frame_ % columns) * frameWidth_;
    const int y = (frame_ / columns) * frameHeight_;
    const gfx::RECT source{x, y, x + frameWidth_, y + frameHeight_};
    Draw2D::DrawTexturedQuad(image_->bitmap->texture, &source, rect.left + originX_ * scaleX_,
                             rect.top + originY_ * scaleY_, scaleX_, scaleY_, originX_, originY_, rotation_, shown);
}

AnimScreenImage::AnimScreenImage(const std::string& path, int frameWidth, int frameHeight, uint32_t frameTime,
                                 bool loop)
    : ScreenImage(path), frameTime_(std::max<uint32_t>(1, frameTime)), loop_(loop)
{
    SetFrameSize(frameWidth, frameHeight);
}

void AnimScreenImage::Restart()
{
    SetFrame(0);
    clock_ = 0;
    playing_ = true;
}

void AnimScreenImage::Update()
{
    if (!playing_ || FrameCount() <= 1)
        return;
    clock_ += GuiFrameElapsed();
    int frame = Frame();
    const int count = FrameCount();
    while (clock_ >= frameTime_) {
        clock_ -= frameTime_;
        if (frame + 1 < count) {
            ++frame;
        } else if (loop_) {
            frame = 0;
        } else {
            playing_ = false;
            clock_ = 0;
            break;
        }
    }
    SetFrame(frame);
}
