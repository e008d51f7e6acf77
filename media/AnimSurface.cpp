#include "media/AnimSurface.h"

#include "app/Log.h"

#include <algorithm>
#include <exception>
#include <memory>

using namespace gfx;

AnimSurface::~AnimSurface()
{
    if (ownsBitmap)
        delete bitmap;
}

HRESULT AnimSurface::Draw(float x, float y) { return DrawRect(x, y, &sourceRect); }

HRESULT AnimSurface::DrawRect(float x, float y, const RECT* rect)
{
    if (!bitmap || !visible)
        return D3D_OK;
    bitmap->centreX = float(hotspotX);
    bitmap->centreY = float(hotspotY);
    return bitmap->DrawRect(x, y, rect ? rect : &sourceRect);
}

HRESULT AnimSurface::DrawRectSimple(float x, float y, const RECT* rect)
{
    if (!bitmap || !visible)
        return D3D_OK;
    bitmap->centreX = float(hotspotX);
    bitmap->centreY = float(hotspotY);
    return bitmap->DrawRectSimple(x, y, rect ? rect : &sourceRect);
}

void AnimSurface::SetFrameSize(int width, int height)
{
    width = std::clamp(width, 0, imageWidth);
    height = std::clamp(height, 0, imageHeight);
    if (width == 0 || height == 0) {
        WriteLog("AnimSurface: refused frame size %d x %d for %s\n", width, height, GetName() ? GetName() : "");
        return;
    }
    frameWidth = width;
    frameHeight = height;
    SetFrame(currentFrame);
    frameCount = (imageHeight / frameHeight) * (imageWidth / frameWidth);
}

int AnimSurface::SetFrame(int index)
{
    currentFrame = std::max(0, std::min(index, frameCount - 1));
    if (imageWidth <= 0)
        return 0;
    const int p = currentFrame * frameWidth;
    const int row = p / imageWidth;
    sourceRect.left = p % imageWidth;
    sourceRect.right = sourceRect.left + frameWidth;
    sourceRect.top = row * frameHeight;
    sourceRect.bottom = sourceRect.top + frameHeight;
    return row;
}

void AnimSurface::ResetFrames()
{
    if (!bitmap)
        return;
    frameWidth = imageWidth = bitmap->width;
    frameHeight = imageHeight = bitmap->height;
    frameCount = 1;
    SetFrame(currentFrame);
}

void AnimSurface::FindImageBounds()
{
    SetFrame(0);
    if (!bitmap || !bitmap->texture)
        return;
    D3DLOCKED_RECT locked;
    if (FAILED(bitmap->texture->LockRect(0, &locked, &sourceRect, D3DLOCK_READONLY))) {
        WriteLog("FindImageBounds: Could not Lock texture for load!!\n");
        return;
    }
    boundsMinX = boundsMinY = 9999;
    boundsMaxX = boundsMaxY = 0;
    for (int y = 0; y < frameHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < frameWidth; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            const bool lightGrey = b >= 196 && r == g && g == b;
            if (a == 0 || lightGrey)
                continue;
            boundsMinX = std::min(boundsMinX, x);
            boundsMaxX = std::max(boundsMaxX, x);
            boundsMinY = std::min(boundsMinY, y);
            boundsMaxY = std::max(boundsMaxY, y);
        }
    }
    bitmap->texture->UnlockRect(0);
}

void AnimSurface::CopyFrameLayout(const AnimSurface& source, AnimSurface& target)
{
    target.sourceRect = source.sourceRect;
    target.frameWidth = source.frameWidth;
    target.frameHeight = source.frameHeight;
    target.imageWidth = source.imageWidth;
    target.imageHeight = source.imageHeight;
    target.frameCount = source.frameCount;
    target.currentFrame = source.currentFrame;
    target.hotspotX = source.hotspotX;
    target.hotspotY = source.hotspotY;
    target.visible = source.visible;
    target.fps = source.fps;
    if (target.ownsBitmap && target.bitmap != source.bitmap)
        delete target.bitmap;
    target.bitmap = source.bitmap;
    target.ownsBitmap = false;
}

int BitmapAnimSurface::Init(const std::string& fileName, D3DCOLOR colourKey, bool useDefault)
{
    auto loaded = std::make_unique<BitmapBaseSurface>();
    try {
        if (loaded->Load(fileName, colourKey, useDefault) != 0) {
            WriteLog("Could not init surface %s\n", fileName.c_str());
            return -1;
        }
    } catch (const std::exception& e) {
        WriteLog("BitmapAnimSurface::Init() : <%s> - %s", fileName.c_str(), e.what());
        return -1;
    }
    if (ownsBitmap)
        delete bitmap;
    bitmap = loaded.release();
    ownsBitmap = true;
    currentFrame = 0;
    ResetFrames();
    return 0;
}
