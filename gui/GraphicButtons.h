#pragma once
// Buttons drawn from images: GraphicButton shows the frame of its strip that matches the
// state, AnimButton plays a looping animation, SuperNovaButton is the prompts' large button
// with an icon and a caption.

#include "gui/Button.h"

class AnimSurface;

class GraphicButton : public Button {
public:
    GraphicButton() = default;
    // Loads folder + "\" + file through the image cache, cut into `frames` equal columns
    // (frame 0 normal, 1 hover, 2 pressed, 3 disabled when there is one). The button takes
    // the frame's size.
    GraphicButton(const std::string& folder, const std::string& file, int frames = 4);
    ~GraphicButton() override;

    void Draw() override;
    // A coordinate at or below -999.0 takes the frame's size.
    void SetSize(float width, float height) override;
    // The current size, or the frame's size while none is set.
    bool GetSize(float* width, float* height) override;
    // Reserved for the skinned buttons.
    virtual void ApplySkin() {}

    // The draw alpha: the pulse while it runs and the button is enabled, else the
    // primitive's.
    uint8_t DrawAlpha() const;
    // The frame for the state (the disabled frame when there is one and the button is off).
    int FrameForState() const;

    AnimSurface* image = nullptr;
    int32_t frames = 4;
    uint32_t tint = 0xFF808080; // doubled when drawn: 0x80 shows the image as it is
    int32_t value = -1; // free for the owner (a trap id, an index)
};

class AnimButton : public GraphicButton {
public:
    AnimButton() = default;
    // The image cut into frames of frameWidth x frameHeight, each shown frameTime ms.
    AnimButton(const std::string& path, int frameWidth, int frameHeight, uint32_t frameTimeMs);
    ~AnimButton() override;

    void Draw() override;
    void SetSize(float width, float height) override;
    bool GetSize(float* width, float* height) override;

    AnimSurface* animation = nullptr;
    int32_t frame = 0;
    uint8_t growOnHover = 0;
    uint8_t animating = 1;
    uint32_t frameTime = 100;
    uint32_t frameClock = 0;
    int32_t noCatchUp = 0;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    uint32_t colour = 0xFFFFFFFF;
};

// The large button of the SuperNova and checkpoint prompts: the state frames of
// "large-button.png" (Graphics\Menu\SuperNovaWindow), an icon centred on the button and
// moved down by its offset, and a caption centred in the area inside the margins (a top
// margin puts it under the icon). Frame and icon share the tint and the button's alpha.
class SuperNovaButton : public GraphicButton {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\SuperNovaWindow";

    SuperNovaButton();
    using GraphicButton::GraphicButton;
    ~SuperNovaButton() override;

    void Draw() override;

    // Loads the icon (releasing the one held); offset in virtual units, scale of its size.
    void SetIcon(const std::string& path, float offset, float scale);
    AnimSurface* Icon() const { return icon_; }
    float IconOffset() const { return iconOffset_; }
    float IconScale() const { return iconScale_; }

    std::string caption;
    int32_t fontId = 4;
    uint32_t textColour = 0xFFFFFFFF;

private:
    AnimSurface* icon_ = nullptr;
    float iconOffset_ = 0.0f;
    float iconScale_ = 1.0f;
};
