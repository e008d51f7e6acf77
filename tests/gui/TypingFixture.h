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
