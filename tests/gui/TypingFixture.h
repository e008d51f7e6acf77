#pragma once
// The GUI fixture plus a keyboard whose held keys the test sets, and helpers that type.

#include "GuiFixture.h"

#include "media/InputDevice.h"

#include <set>

class FakeKeyboard : public IInputDevice {
public:
    void Init(platform::InputSystem&) override {}
    int WaitForEvent() override { return -1; }
    bool IsButtonDown(int code) const override { return held.count(code) != 0; }
    int BindButton(int, ActionHandler, int, int) override { return 0; }
    bool Acquire() override { return true; }
    const ButtonBinding* Binding(int) const override { return nullptr; }
    int PressRecordIndex(int code) const override { return code; }
    std::set<int> held;
};

// Keyboard codes used by the tests.
enum : int {
    kTestKeyA = 30, kTestKeyB = 48, kTestKeyC = 46, kTestKeyV = 47, kTestKeyX = 45, kTestKeyH = 35,
    kTestKeyI = 23, kTestEnter = 28, kTestBackspace = 14, kTestCtrl = 29, kTestHome = 199,
    kTestEnd = 207, kTestLeft = 203, kTestRight = 205, kTestUp = 200, kTestDown = 208, kTestDelete = 211,
};

class TypingFixture : public GuiFixture {
protected:
    // A window of 1000 x 1000 pixels holding the widget, opened at the front.
    PrimContainer* Host(Primitive* widget)
    {
        auto* window = MakeWindow("host", 0, 0, 1000, 1000);
        window->AddChild(widget);
        OpenWindow(window, true);
        return window;
    }
    // Press and release of one key through the GUI router.
    void Tap(int code, bool shift = false)
    {
        RouteKeyToGui(0x80, code, shift, keyboard);
        RouteKeyToGui(0, code, shift, keyboard);
    }
    void Click(int x, int y)
    {
        RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
        RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
    }
    FakeKeyboard keyboard;
};
