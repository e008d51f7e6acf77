#pragma once
// An image cut into equal frames, laid out left to right, row after row. The animated
// surface owns the bitmap surface that holds the image and draws its current frame.
#include "media/Surface.h"

class AnimSurface : public ISurface {
public:
    AnimSurface() = default;
    ~AnimSurface() override;
    AnimSurface(const AnimSurface&) = delete;
    AnimSurface& operator=(const AnimSurface&) = delete;

    // The frame size.
    std::pair<int, int> GetSize() const override { return {frameWidth, frameHeight}; }
    // Draws the current frame with its hot spot on (x, y).
    gfx::HRESULT Draw(float x, float y) override;
    gfx::HRESULT DrawRect(float x, float y, const gfx::RECT* sourceRect) override;
    gfx::HRESULT DrawRectSimple(float x, float y, const gfx::RECT* sourceRect) override;
    const char* GetName() const override { return bitmap ? bitmap->GetName() : nullptr; }
    // Animated surfaces are shared through the image cache, not duplicated.
    ISurface* Duplicate() const override { return nullptr; }

    // Each clamped to 0..image size; a zero width or height is refused (the frame size is
    // kept). The current frame is re-applied and the frame count recomputed.
    void SetFrameSize(int width, int height);
    // Clamps to 0..frameCount - 1, recomputes the source rectangle; returns the frame's row.
    int SetFrame(int index);
    // Frame size and image size become the bitmap's size, one frame.
    void ResetFrames();
    void SetHotspot(int x, int y) { hotspotX = x, hotspotY = y; }
    // The box of the pixels of frame 0 that are neither transparent nor light grey
    // (9999, 9999, 0, 0 when there are none).
    void FindImageBounds();
    // Frame layout, drawing fields and the bitmap pointer (not the bounds) of source.
    static void CopyFrameLayout(const AnimSurface& source, AnimSurface& target);

    gfx::RECT sourceRect{};
    int32_t boundsMinX = 9999, boundsMinY = 9999, boundsMaxX = 0, boundsMaxY = 0;
    int32_t frameWidth = 0, frameHeight = 0;
    int32_t imageWidth = 0, imageHeight = 0;
    int32_t frameCount = 0;
    int32_t currentFrame = 0;
    // Drawing fields: the hot spot (the frame point drawn at the position) and whether the
    // surface draws at all.
    int32_t hotspotX = 0, hotspotY = 0;
    bool visible = true;
    // The animation's "fps" value from its sprite sheet; 26 marks frames that come in pairs.
    int32_t fps = 0;
    // Owned unless borrowed (a copy made by CopyFrameLayout borrows its source's bitmap).
    BitmapBaseSurface* bitmap = nullptr;
    bool ownsBitmap = true;
};

class BitmapAnimSurface : public AnimSurface {
public:
    // Loads the image as one frame. 0, or -1 after logging why.
    int Init(const std::string& fileName, gfx::D3DCOLOR colourKey, bool useDefault);
};
