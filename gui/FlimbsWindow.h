#pragma once
// The skinned framed containers. FlimbsWindow: a window (container flag 4) framed by the
// eight pieces of "Graphics\Menu\FlimbsWindow1\" with "window-grid.png" tiled inside while
// drawBackground is set. FlimbsWindow2: framed by the eight pieces of
// "Graphics\Menu\FlimbsWindow2\" with "window2-fill.png" stretched inside. Both draw their
// frame with their alpha, then their children.
#include "gui/PrimContainer.h"
#include "gui/SkinFrame.h"

class FlimbsWindow : public PrimContainer {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\FlimbsWindow1\\";

    FlimbsWindow();
    void Draw() override;

    const SkinFrame& Border() const { return border_; }

    uint8_t drawBackground = 1;

private:
    SkinFrame border_;
    SkinImage grid_;
};

class FlimbsWindow2 : public PrimContainer {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\FlimbsWindow2\\";

    FlimbsWindow2();
    void Draw() override;

    const SkinFrame& Border() const { return border_; }

private:
    SkinFrame border_;
};
