#pragma once
// The skin's images: one image-cache reference owned by a widget, released with it, and
// drawn at the skin scale (images are made for a 768-pixel-high screen, see
// ScreenImageScale). Drawing never changes the shared image's frame or draw settings.
#include <cstdint>
#include <string>

class AnimSurface;
namespace gfx {
struct RECT;
}

class SkinImage {
public:
    SkinImage() = default;
    // A missing file gives the image cache's fallback image.
    SkinImage(const std::string& folder, const std::string& file);
    ~SkinImage();
    SkinImage(SkinImage&& other) noexcept;
    SkinImage& operator=(SkinImage&& other) noexcept;
    SkinImage(const SkinImage&) = delete;
    SkinImage& operator=(const SkinImage&) = delete;

    void Load(const std::string& folder, const std::string& file);
    void Reset();
    AnimSurface* get() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }

    // Frame layout (image pixels); the frame size becomes frameWidth x frameHeight. Shared
    // with every other holder of the same image.
    void SetFrameSize(int frameWidth, int frameHeight);
    int FrameWidth() const;
    int FrameHeight() const;
    int FrameCount() const;
    // The source rectangle of a frame (clamped to the frames there are).
    gfx::RECT FrameRect(int frame) const;

    // The frame's size on the screen at the scale.
    float DrawnWidth(float scale) const { return float(FrameWidth()) * scale; }
    float DrawnHeight(float scale) const { return float(FrameHeight()) * scale; }

    // A frame with its top-left corner at (x, y), scaled.
    void Draw(float x, float y, float scale, uint32_t argb = 0xFFFFFFFF, int frame = 0) const;
    // A frame stretched over the rectangle (screen pixels); nothing when it is empty.
    void DrawStretched(float left, float top, float right, float bottom, uint32_t argb = 0xFFFFFFFF,
                       int frame = 0) const;

private:
    AnimSurface* image_ = nullptr;
};

// Three-slice drawing: the left cap at x, the right cap ending at x + width, the middle
// stretched between them (never to a negative width: when the caps are wider than the
// whole, the middle is not drawn and the caps keep their size). All three at `scale`.
void DrawThreeSlice(const SkinImage& left, const SkinImage& middle, const SkinImage& right, float x, float y,
                    float width, float scale, uint32_t argb = 0xFFFFFFFF, int frame = 0);
// The width the middle piece gets in DrawThreeSlice (0 or more).
float ThreeSliceMiddleWidth(const SkinImage& left, const SkinImage& right, float width, float scale);
