#pragma once
// The skinned check boxes. `FlimbsCheckBox` draws "checkbox_on.png" or "checkbox_off.png"
// (under "Graphics\Menu\CheckBox\", at the skin scale) with the caption beside it.
// `CollapseCheckBox` is the small arrow toggle of collapsible panels: "arrow_down.png" while
// clear (collapsed), "arrow_up.png" while set (expanded), three frames for the look state.
#include "gui/CheckBox.h"
#include "gui/SkinImage.h"

class FlimbsCheckBox : public CheckBox {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\CheckBox\\";

    explicit FlimbsCheckBox(const std::string& caption = std::string(), int fontId = 0);
    ~FlimbsCheckBox() override;

    // The state's image, then the caption.
    void Draw() override;
    // The image plus the caption.
    bool GetSize(float* width, float* height) override;
    // The rectangle is never lower than the image, so that all of it takes clicks.
    void UpdateAbsolutePosition() override;

    const SkinImage& OnImage() const { return on_; }
    const SkinImage& OffImage() const { return off_; }

private:
    SkinImage on_;
    SkinImage off_;
};

class CollapseCheckBox : public GraphicCheckBox {
public:
    static constexpr const char* kCollapsedImage = "arrow_down.png";
    static constexpr const char* kExpandedImage = "arrow_up.png";
    static constexpr int kFrames = 3;

    CollapseCheckBox();

    // Stores the state; markChanged sets the pressed flag; notify calls the change callback
    // when one is set; then shows the arrow of the state.
    void SetChecked(bool state, bool markChanged, bool notify) override;
    // The image now shown.
    const std::string& ImageName() const { return imageName_; }

private:
    std::string imageName_;
};
