#include "traps_flow/TankImage.h"

#include "app/Log.h"
#include "media/AnimSurface.h"
#include "media/DXManager.h"
#include "media/PngFile.h"
#include "media/Surface.h"
#include "platform/gfx/D3DX.h"
#include "platform/gfx/Device.h"

#include <algorithm>
#include <cstring>

namespace {

// The pixels of the image's file when it is the size of the image; empty otherwise.
std::vector<uint32_t> ReadPixels(const AnimSurface* image, int width, int height)
{
    const char* name = image ? image->GetName() : nullptr;
    PNGReader reader;
    if (!name || !reader.Init(name) || reader.Width() != width || reader.Height() != height)
        return {};
    return reader.Pixels();
}

} // namespace

TankImage::TankImage() = default;
TankImage::~TankImage() = default;

void TankImage::Clear()
{
    image_.reset();
    full_.clear();
    empty_.clear();
    pixels_.clear();
    width_ = height_ = 0;
}

void TankImage::Build(const AnimSurface* full, const AnimSurface* empty)
{
    Clear();
    if (!full)
        return;
    width_ = full->imageWidth;
    height_ = full->imageHeight;
    full_ = ReadPixels(full, width_, height_);
    if (full_.empty()) {
        width_ = height_ = 0;
        return;
    }
    if (empty && empty->imageWidth == width_ && empty->imageHeight == height_)
        empty_ = ReadPixels(empty, width_, height_);
    pixels_ = full_;
    image_ = std::make_unique<AnimSurface>();
    auto* bitmap = new BitmapBaseSurface;
    bitmap->name = std::string(full->GetName()) + "#tank";
    bitmap->width = width_;
    bitmap->height = height_;
    image_->bitmap = bitmap;
    image_->ownsBitmap = true;
    image_->imageWidth = width_;
    image_->imageHeight = height_;
    image_->SetFrameSize(full->frameWidth, full->frameHeight);
    image_->SetHotspot(full->hotspotX, full->hotspotY);
    image_->fps = full->fps;
    if (gfx::Device* device = DXManager::GetDevice()) {
        gfx::Texture* texture = nullptr;
        const auto lock = DXManager::LockDevice();
        if (!gfx::FAILED(gfx::D3DXCreateTexture(device, uint32_t(width_), uint32_t(height_), 1, 0, gfx::D3DFMT_A8R8G8B8,
                                           gfx::D3DPOOL_MANAGED, &texture)) &&
            texture)
            bitmap->SetTexture(texture);
        else
            WriteLog("Failed to create memory texture\n");
    }
    Upload();
}

void TankImage::ShowStock(int32_t before, int32_t after)
{
    if (pixels_.empty())
        return;
    if (after < before && after < kFullStock) {
        if (!empty_.empty())
            CopyRows(empty_, std::max(kFirstTankRow, kRows - before), kRows - after);
    } else if (after >= before && before < kFullStock) {
        CopyRows(full_, std::max(kFirstTankRow, kRows - after), kRows - before);
    }
}

void TankImage::CopyRows(const std::vector<uint32_t>& source, int from, int to)
{
    from = std::max(from, 0);
    to = std::min(to, std::min(height_, kRows));
    if (from >= to)
        return;
    std::copy(source.begin() + std::ptrdiff_t(from) * width_, source.begin() + std::ptrdiff_t(to) * width_,
              pixels_.begin() + std::ptrdiff_t(from) * width_);
    Upload();
}

void TankImage::Upload()
{
    if (!image_ || !image_->bitmap || !image_->bitmap->texture)
        return;
    gfx::D3DLOCKED_RECT locked{};
    gfx::Texture* texture = image_->bitmap->texture;
    if (gfx::FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return;
    for (int row = 0; row < height_; ++row)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + ptrdiff_t(row) * locked.Pitch,
                    pixels_.data() + ptrdiff_t(row) * width_, size_t(width_) * 4);
    texture->UnlockRect(0);
}

uint32_t TankImage::Pixel(int x, int y) const
{
    return x >= 0 && y >= 0 && x < width_ && y < height_ ? pixels_[size_t(y) * size_t(width_) + size_t(x)] : 0;
}

uint32_t TankImage::FullPixel(int x, int y) const
{
    return x >= 0 && y >= 0 && x < width_ && y < height_ && !full_.empty() ? full_[size_t(y * width_ + x)] : 0;
}

uint32_t TankImage::EmptyPixel(int x, int y) const
{
    return x >= 0 && y >= 0 && x < width_ && y < height_ && !empty_.empty() ? empty_[size_t(y * width_ + x)] : 0;
}
