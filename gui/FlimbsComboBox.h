#pragma once
// The skinned combo box: the closed box is "edit-left.png" and a stretched "edit-mid.png"
// (from "Graphics\Menu\EditBox\") with "Graphics\Menu\ScrollBar\scroll-down.png" as the
// right cap that opens the list. The list opens one pixel up, over the box's lower edge.
#include "gui/ComboBox.h"
#include "gui/SkinImage.h"

class FlimbsComboBox : public ComboBox {
public:
    FlimbsComboBox();
    ~FlimbsComboBox() override;

    // The three slices scaled to the box's height, then the selected entry's text.
    void Draw() override;
    // The base size with room for the caps and the height raised to at least the images'.
    bool GetSize(float* width, float* height) override;
    // Opens the list in the skin's colours, as wide as the box.
    void OpenList() override;

    // The draw scale of the three images for the present height.
    float ImageScale() const;

    uint32_t listBackgroundColour = 0xEE1F1519;
    uint32_t listHighlightColour = 0xCCE07A2A;

private:
    SkinImage left_;
    SkinImage middle_;
    SkinImage arrow_;
};
