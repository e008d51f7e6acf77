#pragma once
// The two buttons of a menu row: the row's icon, brightened under the pointer, and the
// captioned plate beside it. Both draw their image at the UI scale.
#include "gui/GraphicButtons.h"

// An icon button: one frame, tinted with `normalTint` (0xFF808080 shows the image as it is)
// and with `hoverTint` (-1: twice as bright) under the pointer.
class MenuIconButton : public GraphicButton {
public:
    MenuIconButton(const std::string& folder, const std::string& file);
    void Draw() override;

    uint32_t normalTint = 0xFF808080u;
    uint32_t hoverTint = 0xFFFFFFFFu;
};

// A plate of three frames (normal, hover, pressed) with a caption centred on it.
class MenuCaptionButton : public GraphicButton {
public:
    MenuCaptionButton(const std::string& folder, const std::string& file, const std::string& caption);
    void Draw() override;
    void SetCaption(const char* caption) override;

    int fontId = 5;
    uint32_t textColour = 0xFFFFF4D8u;
    float textScale = 1.0f; // times the UI scale
};

// Sizes a button to its frame at the UI scale.
void SizeToUiScale(GraphicButton* button);
