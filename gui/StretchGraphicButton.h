#pragma once
// Caption buttons drawn from three image strips: a left cap, a middle stretched to the
// button's width and a right cap, all tinted. Each strip has four frames, one per look:
// frame 0 normal, 1 hover, 2 pressed, 3 disabled (the disabled frame wins over the state).
// An optional fourth image (an icon) sits at the left, before the caption.
//
// FlimbsButton, FlimbsButton2, FlimbsButton3 and VoiceBubbleButton are the skins.

#include "gui/SkinImage.h"
#include "gui/TextButtons.h"

#include <string>

enum : int { kStretchFrameNormal = 0, kStretchFrameHover = 1, kStretchFramePressed = 2, kStretchFrameDisabled = 3 };

class StretchGraphicButton : public TextButton {
public:
    // Frame sizes of the strips (image pixels).
    static constexpr int kCapFrameWidth = 42;
    static constexpr int kMiddleFrameWidth = 32;
    static constexpr int kFrameHeight = 32;

    StretchGraphicButton();

    // The three slices at the image scale, then the icon and the caption.
    void Draw() override;
    // Height kKeepCoordinate (or below): the left cap's drawn height. Another height
    // rescales the three images by height / image height. Width kKeepCoordinate keeps the
    // width. The middle is stretched over what the caps leave (never below 0).
    void SetSize(float width, float height) override;
    // The caption's size with the height raised to at least the images' drawn height.
    bool GetSize(float* width, float* height) override;

    // Loads the three strips (folder, then files) and sizes the button to them.
    void SetSkin(const std::string& folder, const std::string& left, const std::string& middle,
                 const std::string& right);
    // The optional fourth image: drawn offsetPixels x UI scale from the left edge, centred
    // vertically, at the image scale times `scale`; the caption starts after it. An empty
    // path removes it.
    void SetIcon(const std::string& path, float offsetPixels, float scale);

    // The strip frame of the current look.
    int FrameForState() const;
    // The scale the images are drawn at (screen height / 768 until a height is given).
    float ImageScale() const { return imageScale_; }
    // Pixels: the middle piece's drawn width and the images' drawn height.
    float MiddleWidth() const { return middleWidth_; }
    float ImagesHeight() const;

    const SkinImage& LeftImage() const { return left_; }
    const SkinImage& MiddleImage() const { return middle_; }
    const SkinImage& RightImage() const { return right_; }
    const SkinImage& IconImage() const { return icon_; }

    uint32_t tint = 0xFF808080; // doubled when drawn: 0x80 shows the image as it is

private:
    void UpdateIconMargin();

    SkinImage left_;
    SkinImage middle_;
    SkinImage right_;
    SkinImage icon_;
    float iconOffset_ = 0.0f; // design pixels
    float iconScale_ = 1.0f;
    float imageScale_;
    float middleWidth_ = 0.0f;
    float captionLeftMargin_;
};

class FlimbsButton : public StretchGraphicButton {
public:
    explicit FlimbsButton(const std::string& caption = std::string());
};

class FlimbsButton2 : public StretchGraphicButton {
public:
    explicit FlimbsButton2(const std::string& caption = std::string());
};

class FlimbsButton3 : public StretchGraphicButton {
public:
    explicit FlimbsButton3(const std::string& caption = std::string());
};

// The button of the voice bubbles, usually with an icon before its caption.
class VoiceBubbleButton : public StretchGraphicButton {
public:
    explicit VoiceBubbleButton(const std::string& caption = std::string());
};
