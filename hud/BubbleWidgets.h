#pragma once
// Small widgets of the pop-ups: the separator line and the bubble buttons with an icon.
#include "gui/Button.h"
#include "gui/StretchGraphicButton.h"

#include <memory>
#include <string>

// A line as wide as it is, 3 units high: a light line over a dark one.
class SeparatorLine : public Primitive {
public:
    SeparatorLine(uint32_t upper = 0xFFFFFFFF, uint32_t lower = 0xFF7F7F7F) : upper_(upper), lower_(lower) {}
    void Draw() override;
    bool GetSize(float* width, float* height) override;

private:
    uint32_t upper_;
    uint32_t lower_;
};

// The flimb-head icon of the pop-ups' main buttons.
constexpr const char* kFlimbHeadIcon = "Graphics\\Menu\\IconButton\\flimb_head2.png";

// A VoiceBubbleButton with the icon 6 design pixels from its left edge, its natural size
// grown by growWidth design pixels and growHeight virtual units, running the action.
std::unique_ptr<VoiceBubbleButton> MakeBubbleButton(const std::string& caption, const std::string& icon,
                                                    float growWidth, float growHeight, ButtonCallback action);
