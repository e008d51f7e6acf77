#pragma once
// Image widgets. `ScreenImage` shows one frame of an image of the image cache, scaled
// (times the UI scale), tinted and optionally turned about an origin. `AnimScreenImage`
// plays the frames of a sprite strip (frames left to right, row after row) at a fixed
// frame time, looping or stopping on the last frame.
//
// The cached surface is shared with every other user: these widgets never change its
// frame layout; each keeps its own frame size and source rectangle.

#include "gui/Primitive.h"
#include "gui/WidgetText.h"

#include <cstdint>
#include <string>

class AnimSurface;

// The image path of a folder and a file, with one backslash between them.
std::string JoinImagePath(const std::string& folder, const std::string& file);

// Draws the frame (frames of frameWidth x frameHeight laid out left to right, row after
// row) stretched over the rectangle (pixels). Nothing without an image or a texture.
void DrawImageFrame(const AnimSurface* image, int frameWidth, int frameHeight, int frame, const FloatRect& dest,
                    uint32_t colour);
// The number of whole frames of that size in the image (at least 1 with an image).
int ImageFrameCount(const AnimSurface* image, int frameWidth, int frameHeight);

class ScreenImage : public Primitive {
public:
    ScreenImage() = default;
    explicit ScreenImage(const std::string& path);
    ScreenImage(const std::string& folder, const std::string& file);
    // Gives the image back to the cache.
    ~ScreenImage() override;

    void Draw() override;
    int GetWidgetType() override { return kWidgetImage; }
    // The frame size times the scale.
    bool GetSize(float* width, float* height) override;

    // Loads through the image cache (a missing image gives the cache's default image) and
    // sizes the widget to the frame; the frame size becomes the image's own.
    void SetImage(const std::string& path);
    // Scale factors times the UI scale; the widget is resized.
    void SetScale(float scaleX, float scaleY);
    // The image point (pixels) that the rotation turns about and that is drawn at the
    // widget's top-left plus the same point scaled.
    void SetOrigin(float x, float y) { originX_ = x, originY_ = y; }
    // Radians, clockwise.
    void SetRotation(float radians) { rotation_ = radians; }
    // Clamped to 1 .. the image size; resizes the widget.
    void SetFrameSize(int width, int height);
    // Clamped to the frames of the image.
    void SetFrame(int frame);

    int Frame() const { return frame_; }
    int FrameCount() const;
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    float ScaleX() const { return scaleX_; }
    float ScaleY() const { return scaleY_; }
    float Rotation() const { return rotation_; }
    const AnimSurface* Image() const { return image_; }
    const std::string& ImagePath() const { return path_; }

    uint32_t colour = 0xFFFFFFFF;
    // The image has no transparent pixel: while it is drawn fully opaque it replaces what
    // lies under it instead of blending (cheaper for large pictures).
    uint8_t opaque = 0;

protected:
    // Sets the widget's size from the frame size and the scale.
    void FitToImage();

private:
    AnimSurface* image_ = nullptr;
    std::string path_;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int frame_ = 0;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    float originX_ = 0.0f;
    float originY_ = 0.0f;
    float rotation_ = 0.0f;
};

class AnimScreenImage : public ScreenImage {
public:
    // frameTime: milliseconds per frame (at least 1).
    AnimScreenImage(const std::string& path, int frameWidth, int frameHeight, uint32_t frameTime, bool loop = true);

    // Advances by the frame's elapsed milliseconds while playing.
    void Update() override;
    void Play() { playing_ = true; }
    void Stop() { playing_ = false; }
    // Back to frame 0 and playing.
    void Restart();
    bool IsPlaying() const { return playing_; }

private:
    uint32_t frameTime_;
    uint32_t clock_ = 0;
    bool loop_;
    bool playing_ = true;
};
