#pragma once
// A 1024 x 768 device (skin images at their own size, UI scale 1) over the build's
// resource archive, with the GUI routing on the test clock and pixel read-back.
#include "DeviceFixture.h"
#include "WidgetFixture.h"

#include "gui/GuiClock.h"
#include "gui/WindowList.h"
#include "platform/gfx/Device.h"

class SkinnedWindowFixture : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        StartScreen(1024, 768);
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
        DeviceFixture::TearDown();
    }

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
