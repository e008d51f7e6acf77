#pragma once
// The skinned edit boxes. `FlimbsEditBox` is a one-line box drawn in three slices from
// "Graphics\Menu\EditBox\" ("edit-left.png", "edit-mid.png", "edit-right.png"): its height
// is the images' height, and a height given to SetSize scales all three images (caps
// included) to it. `FlimbsEditBoxMultiline` is a many-line box in a seven-piece frame from
// "Graphics\Menu\ListBox\" (corners, top edge and the two sides).
#include "gui/EditBox.h"
#include "gui/ListFrameSkin.h"
#include "gui/SkinImage.h"

class FlimbsEditBox : public EditBox {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\EditBox\\";

    explicit FlimbsEditBox(int fontId = 0, uint32_t textColour = 0xFFFFFFFF);
    ~FlimbsEditBox() override;

    // The three slices, then the text and the caret.
    void Draw() override;
    // Height -999 keeps the images' present drawn height; another height rescales the
    // three images to it. The width as given (or kept).
    void SetSize(float width, float height) override;
    // The base size with the height raised to at least the images' drawn height.
    bool GetSize(float* width, float* height) override;

    // The draw scale of the three images (ScreenImageScale until a height is given).
    float ImageScale() const { return imageScale_; }
    // The drawn width of the left and the right cap and of the middle (pixels).
    float LeftCapWidth() const { return left_.DrawnWidth(imageScale_); }
    float RightCapWidth() const { return right_.DrawnWidth(imageScale_); }
    float MiddleWidth() const;

private:
    SkinImage left_;
    SkinImage middle_;
    SkinImage right_;
    float imageScale_;
};

class FlimbsEditBoxMultiline : public EditBox {
public:
    explicit FlimbsEditBoxMultiline(int fontId = 0, uint32_t textColour = 0xFFFFFFFF);
    ~FlimbsEditBoxMultiline() override;

    // The frame, then the text and the caret.
    void Draw() override;

    const ListFrameSkin& Frame() const { return frame_; }

private:
    ListFrameSkin frame_;
};
