#pragma once
// What the GUI needs of the graphics device: the screen size in pixels and the device's
// current viewport. Every use of the device by the GUI goes through these functions.
//
// The screen size is the device manager's back-buffer size. While no device exists
// (tools, layout-only tests) the viewport is kept here, so containers behave the same.

#include <cstdint>

// A viewport in pixels with its depth range (the device's viewport record).
struct GuiViewport {
    uint32_t X = 0;
    uint32_t Y = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
    float MinZ = 0.0f;
    float MaxZ = 1.0f;
    bool operator==(const GuiViewport&) const = default;
};

// The back buffer size in pixels (1024 x 768 until the device manager sets it).
int GetScreenWidth();
int GetScreenHeight();
// Sets the screen size (the device manager's, for runs without a device) and makes the
// viewport the whole screen.
void SetScreenSize(int width, int height);

void GetDeviceViewport(GuiViewport* viewport);
void SetDeviceViewport(const GuiViewport* viewport);

// The viewport of the whole screen, depth 0.0 to 1.0.
GuiViewport FullScreenViewport();
