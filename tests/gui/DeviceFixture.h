#pragma once
// The surface fixture (a hidden window, the build's archive and images in memory) plus what
// the GUI's drawing tests share: the device at a chosen screen size, a frame drawn on a
// black screen, pixels read back and primitives placed in pixels.
#include "../media/SurfaceFixture.h"

#include "gui/GuiDevice.h"
#include "gui/Primitive.h"
#include "platform/gfx/Device.h"

class DeviceFixture : public SurfaceFixture {
public:
    // Places a primitive in pixels of the current screen.
    static void PlacePixels(Primitive& primitive, float x, float y, float w, float h)
    {
        primitive.SetPosition(Primitive::ToVirtualX(x), Primitive::ToVirtualY(y));
        primitive.SetSize(Primitive::ToVirtualX(w), Primitive::ToVirtualY(h));
    }

protected:
    // The device and the GUI screen at width x height pixels; make widgets after it.
    void StartScreen(int width, int height)
    {
        DXManager::Init(&window_, width, height);
        ASSERT_NE(DXManager::GetDevice(), nullptr);
        SetScreenSize(width, height);
    }
    static uint32_t Pixel(int x, int y)
    {
        return DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) & 0xFFFFFFu;
    }
    template <class Fn>
    static void DrawFrame(Fn draw)
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        draw();
        device->EndScene();
    }
};
