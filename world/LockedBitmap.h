#pragma once
// Level 0 of a bitmap's texture, locked read-only while a LockedBitmap lives, seen as an
// image record (A8R8G8B8 only): for reading a loaded image's pixels in place.
#include "media/Surface.h"
#include "platform/gfx/Resources.h"
#include "world/BashTypes.h"

#include <algorithm>

class LockedBitmap {
public:
    explicit LockedBitmap(const BitmapBaseSurface* bitmap)
    {
        gfx::Texture* texture = bitmap ? bitmap->texture : nullptr;
        gfx::D3DSURFACE_DESC desc{};
        if (!texture || gfx::FAILED(texture->GetLevelDesc(0, &desc)) || desc.Format != gfx::D3DFMT_A8R8G8B8)
            return;
        gfx::D3DLOCKED_RECT locked{};
        if (gfx::FAILED(texture->LockRect(0, &locked, nullptr, gfx::D3DLOCK_READONLY)) || !locked.pBits)
            return;
        texture_ = texture;
        image_.width = std::min<int32_t>(bitmap->width, int32_t(desc.Width));
        image_.height = std::min<int32_t>(bitmap->height, int32_t(desc.Height));
        image_.pitch = locked.Pitch;
        image_.pixels = static_cast<uint32_t*>(locked.pBits);
    }
    ~LockedBitmap()
    {
        if (texture_)
            texture_->UnlockRect(0);
    }
    LockedBitmap(const LockedBitmap&) = delete;
    LockedBitmap& operator=(const LockedBitmap&) = delete;

    bool Locked() const { return texture_ != nullptr; }
    const BashMask& Image() const { return image_; }

private:
    gfx::Texture* texture_ = nullptr;
    BashMask image_;
};

