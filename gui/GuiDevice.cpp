#include "gui/GuiDevice.h"

#include "media/DXManager.h"
#include "platform/gfx/Device.h"

namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;

// The viewport while no device exists.
GuiViewport& DetachedViewport()
{
    static GuiViewport viewport{0, 0, kDefaultWidth, kDefaultHeight, 0.0f, 1.0f};
    return viewport;
}

} // namespace

int GetScreenWidth()
{
    return DXManager::screenWidth > 0 ? DXManager::screenWidth : kDefaultWidth;
}

int GetScreenHeight()
{
    return DXManager::screenHeight > 0 ? DXManager::screenHeight : kDefaultHeight;
}

void SetScreenSize(int width, int height)
{
    DXManager::screenWidth = width > 0 ? width : 1;
    DXManager::screenHeight = height > 0 ? height : 1;
    const GuiViewport full = FullScreenViewport();
    SetDeviceViewport(&full);
}

void GetDeviceViewport(GuiViewport* viewport)
{
    if (!viewport)
        return;
    gfx::Device* device = DXManager::GetDevice();
    if (!device) {
        *viewport = DetachedViewport();
        return;
    }
    gfx::D3DVIEWPORT9 current{};
    device->GetViewport(&current);
    *viewport = GuiViewport{current.X, current.Y, current.Width, current.Height, current.MinZ, current.MaxZ};
}

void SetDeviceViewport(const GuiViewport* viewport)
{
    if (!viewport)
        return;
    gfx::Device* device = DXManager::GetDevice();
    if (!device) {
        DetachedViewport() = *viewport;
        return;
    }
    const gfx::D3DVIEWPORT9 wanted{viewport->X, viewport->Y, viewport->Width, viewport->Height, viewport->MinZ,
                                   viewport->MaxZ};
    device->SetViewport(&wanted);
}

GuiViewport FullScreenViewport()
{
    return GuiViewport{0, 0, static_cast<uint32_t>(GetScreenWidth()), static_cast<uint32_t>(GetScreenHeight()),
                       0.0f, 1.0f};
}
