#pragma once
// Buttons with a caption: TextButton draws it in a font, SimpleButton puts a filled
// rectangle behind it, IconButton an image beside it.

#include "gui/Button.h"

class AnimSurface;

enum : int32_t { kTextAlignLeft = 1, kTextAlignRight = 2, kTextAlignCentre = 3 };

class TextButton : public Button {
public:
    TextButton();
    explicit TextButton(const std::string& caption);

    // The caption in the text area (the rectangle less the margins), vertically centred.
    void Draw() override;
    // The caption's extent plus the margins, in virtual units; true.
    bool GetSize(float* width, float* height) override;
    void SetText(const std::string& newText) override { SetCaption(newText.c_str()); }
    // Stores the caption and shows its display form for the font.
    void SetCaption(const char* newCaption) override;
    // Font, colour and scale (multiplied by the UI scale); the caption is converted again.
    void SetFont(int newFontId, uint32_t colour, float scale);

    int32_t alignment = kTextAlignCentre;
    int32_t fontId = 0;
    float textScale;
    uint32_t textColour = 0xFFFFFFFF;
    uint32_t extraTextFlags = 0;
    float textOffsetX = 0.0f; // pixels
    float textOffsetY = 0.0f;
    std::string caption;

protected:
    // Draws the caption in the given text area (pixels).
    void DrawCaption(const FloatRect& area);
    FloatRect TextArea() const;
};

// A filled rectangle in the colour of the state, outlined, behind the caption.
class SimpleButton : public TextButton {
public:
    using TextButton::TextButton;

    // Also rebuilds the background shape.
    void UpdateAbsolutePosition() override;
    void Draw() override;

    struct Shape {
        FloatRect rect;
        uint32_t fill = 0;
        uint32_t outline = 0;
        uint32_t flags = 0; // 255 with an outline, else 1
    };
    const Shape& Background() const { return shape_; }

    uint32_t normalColour = 0xFF000000;
    uint32_t hoverColour = 0xFF555555;
    uint32_t pressedColour = 0xFF007777;
    uint32_t outlineColour = 0xFFFFFF00;

private:
    Shape shape_;
};

// An icon at the left or right edge and a highlight image under the hovered button.
class IconButton : public TextButton {
public:
    IconButton() = default;
    // The icon is one frame of the whole image, at the left edge.
    IconButton(const std::string& caption, const std::string& iconFile);
    ~IconButton() override;

    void Draw() override;

    // Loads the icon, cuts it into columns x rows frames (each at least 1) and moves the
    // margin on its side to the icon's drawn width plus 10 x UI scale.
    void SetIcon(const std::string& iconName, int columns, int rows, bool left);
    // Null or empty: none.
    void SetHighlight(const std::string& imageName);
    // The caption's size with the height raised to the icon's drawn height.
    bool GetSize(float* width, float* height) override;
    // The icon's drawn frame size (pixels).
    float IconWidth() const;
    float IconHeight() const;

    AnimSurface* icon = nullptr;
    AnimSurface* highlightImage = nullptr;
    uint8_t iconLeft = 1;
    float hoverAlpha = 0.0f;
    float hoverOffsetX = 0.0f;
    float hoverOffsetY = 0.0f;
    // The icon is drawn at this scale (set it before SetIcon).
    float iconScale = 1.0f;
};
