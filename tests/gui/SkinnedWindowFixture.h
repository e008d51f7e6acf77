#pragma once
// A 1024 x 768 device (skin images at their own size, UI scale 1) over the build's
// resource archive, with the GUI routing on the test clock and pixel read-back.
#include "../media/SurfaceFixture.h"
#include "WidgetFixture.h"

#include "gui/GuiClock.h"
#include "gui/WindowList.h"
#include "platform/gfx/Device.h"

class SkinnedWindowFixture : public SurfaceFixture {
protected:
    void SetUp() override
    {
        SurfaceFixture::SetUp();
        DXManager::Init(&window_, 1024, 768);
        ASSERT_NE(DXManager::GetDevice(), nullptr);
        ResetGuiInput();
        GuiTestNow() = 1000;
        SetInputClock([] { return GuiTestNow(); });
        SetGuiFrameElapsed(0);
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        SetGuiFrameElapsed(0);
        SurfaceFixture::TearDown();
    }

    uint32_t Pixel(int x, int y) { return DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) & 0xFFFFFFu; }
    template <class Fn>
    void DrawFrame(Fn draw)
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        draw();
        device->EndScene();
    }
public:
    // Places a primitive in pixels.
    static void PlacePixels(Primitive& primitive, float x, float y, float w, float h)
    {
        primitive.SetPosition(Primitive::ToVirtualX(x), Primitive::ToVirtualY(y));
        primitive.SetSize(Primitive::ToVirtualX(w), Primitive::ToVirtualY(h));
    }

protected:
    // Runs frames of 10 ms: the clock, the routing (click repeats, hover) with the pointer
    // at (x, y), and the open windows' updates.
    void RunFrames(uint32_t milliseconds, int x, int y)
    {
        SetGuiFrameElapsed(10);
        for (uint32_t passed = 0; passed < milliseconds; passed += 10) {
            GuiTestNow() += 10;
            UpdateGuiInput(x, y);
            UpdateOpenWindows();
        }
        SetGuiFrameElapsed(0);
    }
    int CountLit(int left, int top, int right, int bottom)
    {
        int lit = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                lit += Pixel(x, y) != 0u;
        return lit;
    }

    NullKeyboard keyboard;
};
