#include "gui/GuiDevice.h"

namespace {

struct DeviceState {
    int width = 1024;
    int height = 768;
    GuiViewport viewport{0, 0, 1024, 768, 0.0f, 1.0f};
};

DeviceState& State()
{
    static DeviceState state;
    return state;
}

} // namespace

int GetScreenWidth() { return State().width; }
int GetScreenHeight() { return State().height; }

void SetScreenSize(int width, int height)
{
    State().width = width > 0 ? width : 1;
    State().height = height > 0 ? height : 1;
    State().viewport = FullScreenViewport();
}

void GetDeviceViewport(GuiViewport* viewport)
{
    if (viewport)
        *viewport = State().viewport;
}

void SetDeviceViewport(const GuiViewport* viewport)
{
    if (viewport)
        State().viewport = *viewport;
}

GuiViewport FullScreenViewport()
{
    return GuiViewport{0, 0, static_cast<uint32_t>(State().width), static_cast<uint32_t>(State().height), 0.0f, 1.0f};
}
