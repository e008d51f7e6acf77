#pragma once
// A skinned bar with a caption: a check box drawn as a three-slice plate whose middle shows
// "menu-bar-mid-hover.png" under the pointer, else "menu-bar-mid-on.png" while checked,
// else "menu-bar-mid.png". Screens use it as a clickable toggle or as a title.

#include "gui/CheckBox.h"
#include "gui/SkinImage.h"

#include <string>

enum : int { kMenuBarMidNormal = 0, kMenuBarMidHover = 1, kMenuBarMidOn = 2 };

class FlimbsMenuBar : public CheckBox {
public:
    explicit FlimbsMenuBar(const std::string& caption = std::string(), int fontId = 0);

    void Draw() override;
    // The caption plus the item paddings; at least the plate's drawn size.
    bool GetSize(float* width, float* height) override;

    // The caption; fontHeight (design pixels) sets the text size, -1 keeps the bar's own.
    void SetMenuText(const std::string& text, int fontHeight = -1);
    // Which middle image the current look shows.
    int MiddleLook() const;

    float paddingX; // pixels
    float paddingY;

private:
    SkinImage left_;
    SkinImage middle_[3];
    SkinImage right_;
};
