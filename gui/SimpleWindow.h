#pragma once
// `SimpleWindow`: a plain top-level window: a container filled with its background colour,
// a title strip in the second colour along its top with the title text, and an outline.
// Children are placed from the window's top-left; `TitleHeight` says how much the strip
// takes. A modal window takes every press and key while it is open (the rest of the GUI
// gets none) and gives the modal role back when it is closed. Escape closes the window
// (through its close action) while `closeOnEscape` is set.

#include "gui/PrimContainer.h"

#include <cstdint>
#include <string>

class SimpleWindow : public PrimContainer {
public:
    static constexpr uint32_t kDefaultBackground = 0x88334433;
    static constexpr uint32_t kDefaultTitleColour = 0x88778877;

    explicit SimpleWindow(const std::string& title = std::string(), uint32_t background = kDefaultBackground,
                          uint32_t titleColour = kDefaultTitleColour, bool modal = false);

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Draw() override;
    // Gives the modal role back.
    bool Deactivate() override;
    std::string GetText() override { return title_; }

    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& Title() const { return title_; }
    // Modal windows answer every hit test and block the rest of the GUI.
    void SetModal(bool modal);
    bool IsModal() const { return (containerFlags & kContainerModal) != 0; }
    // Pixels; 0 without a title.
    float TitleHeight() const;

    uint32_t backgroundColour;
    uint32_t titleColour;
    uint32_t titleTextColour = 0xFFFFFFFF;
    uint32_t outlineColour = 0xFF778877;
    int fontId = 0;
    float textScale;
    uint8_t closeOnEscape = 0;

private:
    std::string title_;
};
