#pragma once
// The skinned tooltip: an eight-piece frame from "Graphics\Menu\ToolTip\" (four corners,
// four stretched edges) around the text, over a dark fill. Its size is the text's size plus
// the border images.
#include "gui/SkinImage.h"
#include "gui/ToolTip.h"

class FlimbsToolTip : public ToolTip {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\ToolTip\\";

    // widthLimit: the wrap width in design pixels (times the UI scale); 0 does not wrap.
    explicit FlimbsToolTip(float widthLimit = 0.0f, const std::string& text = std::string(),
                           uint32_t delay = kDefaultDelay);
    ~FlimbsToolTip() override;

    void Draw() override;
    // The shown text's extent plus the left and right, top and bottom border images.
    bool GetSize(float* width, float* height) override;

    // Drawn border thicknesses (pixels).
    float LeftBorder() const;
    float RightBorder() const;
    float TopBorder() const;
    float BottomBorder() const;

    uint32_t fillColour = 0xE0201820;

protected:
    float BorderSize() const override { return LeftBorder(); }

private:
    SkinImage bottom_;
    SkinImage top_;
    SkinImage left_;
    SkinImage right_;
    SkinImage topLeft_;
    SkinImage topRight_;
    SkinImage bottomLeft_;
    SkinImage bottomRight_;
};
