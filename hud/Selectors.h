#pragma once
// The decoration and stamp selectors: small windows that slide up from the bottom of the
// game view with one button per unlocked decoration (put on the selected flimb) or stamp
// (the stamp tool's picture), rows of four, and "Cancel". A choice, Cancel, Escape or a
// click outside slide them down and close them. The decoration selector keeps its
// flimb's id and closes when the flimb is gone or may no longer change.
#include "gui/FlimbsWindow5.h"
#include "gui/GraphicButtons.h"

#include <memory>
#include <string>
#include <vector>

class AnimSurface;
class TextButton;

class DecorationButton : public GraphicButton {
public:
    static constexpr uint32_t kFrameMs = 38;

    DecorationButton(int group, const std::string& decoration);
    ~DecorationButton() override;

    // The decoration plays while hovered, and on until it is back at its first frame.
    void Update() override;
    void Draw() override;

    const std::string& Decoration() const { return decoration_; }
    int AnimationFrame() const { return frame_; }

private:
    AnimSurface* overlay_ = nullptr;
    AnimSurface* animation_ = nullptr;
    std::string decoration_;
    int group_;
    uint32_t timer_ = 0;
    int frame_ = 0;
};

class StampButton : public GraphicButton {
public:
    explicit StampButton(const std::string& stampImage);
    ~StampButton() override;
    void Draw() override;

    const std::string& Stamp() const { return path_; }

private:
    AnimSurface* stamp_ = nullptr;
    AnimSurface* overlay_ = nullptr;
    std::string path_;
    float stampScale_ = 1.0f;
};

// The shared behaviour of both selectors.
class SelectorWindow : public FlimbsWindow5 {
public:
    // Named `name`, with the title over its buttons.
    SelectorWindow(const std::string& name, const std::string& title);

    // A click outside closes the window and is not taken.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    // Escape closes; other keys go to the buttons.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Slides down and closes (without a slide: deactivates).
    void Close() override;

    // Centred under the HUD's "decoration" button, below the game view, sliding up to its
    // bottom edge in 300 ms, in the HUD's upper layer. False without a HUD.
    bool ShowOverHud();
    int ItemCount() const { return items_; }
    TextButton* CancelButton() const { return cancel_; }

protected:
    // The title, the buttons in rows of four (the last row filled up with empty buttons),
    // "Cancel" under them.
    void Lay(std::vector<std::unique_ptr<GraphicButton>> buttons, const std::string& fillerImage);

private:
    std::string title_;
    int items_ = 0;
    TextButton* cancel_ = nullptr;
};

class DecorationsSelectorWindow : public SelectorWindow {
public:
    explicit DecorationsSelectorWindow(int32_t flimbId);
    // Closes when the flimb is gone or its type is locked.
    void Update() override;
    int32_t FlimbId() const { return flimbId_; }

private:
    int32_t flimbId_;
};

class StampSelectorWindow : public SelectorWindow {
public:
    StampSelectorWindow();
};

// The HUD's "decoration" and "stamp" buttons: one selector of each kind at a time; the
// decoration selector needs a selected flimb.
void OpenDecorationSelector(Primitive* control);
void OpenStampSelector(Primitive* control);
