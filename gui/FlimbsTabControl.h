#pragma once
// The skinned tab control: the header strip is drawn three-slice from the tab images and
// each page has a FlimbsTabButton in it; clicking a tab button shows its page. The tab
// button is also used on its own as a skinned caption button.

#include "gui/Button.h"
#include "gui/SkinImage.h"
#include "gui/TabControl.h"

#include <string>
#include <vector>

// A caption on a three-slice plate, with the "on" fill behind the caption while selected
// and the "off" fill otherwise.
class FlimbsTabButton : public Button {
public:
    explicit FlimbsTabButton(const std::string& caption = std::string(), int fontId = 0);

    void Draw() override;
    // The caption plus its paddings; the height at least the plate's drawn height.
    bool GetSize(float* width, float* height) override;
    void SetCaption(const char* caption) override;
    void SetText(const std::string& newText) override { SetCaption(newText.c_str()); }

    // The plate's drawn height (pixels).
    float PlateHeight() const;
    // The caption area (pixels): the rectangle less the paddings left and right.
    FloatRect CaptionArea() const;

    uint8_t selected = 0;
    int fontId;
    float textScale;
    uint32_t textColour = 0xFFFFFFFF;
    std::string caption;
    float paddingLeft;  // pixels
    float paddingRight;

private:
    SkinImage left_;
    SkinImage middle_;
    SkinImage right_;
    SkinImage fillOn_;
    SkinImage fillOff_;
};

class FlimbsTabControl : public TabControl {
public:
    explicit FlimbsTabControl(int fontId = 0);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    void Draw() override;
    void SetSize(float width, float height) override;

    // Adds the page like TabControl::AddPage, with its tab button.
    PrimContainer* AddPage(const std::string& caption, PrimContainer* page = nullptr, float headerWidth = 0.0f);
    // Makes one tab button per page (captions, places, the selected one) after changes.
    void SyncTabButtons();
    FlimbsTabButton* TabButton(int index) const;

    int32_t tabCount = 4;
    float halfScale = 0.5f;

protected:
    // The strip behind the tab buttons.
    void DrawTabs() override;

private:
    SkinImage left_;
    SkinImage middle_;
    SkinImage right_;
    std::vector<FlimbsTabButton*> buttons_; // children of the control
};
