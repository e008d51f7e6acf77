#pragma once
// The GUI fixture plus a record of the widget sounds and a keyboard that binds nothing.

#include "GuiFixture.h"

#include "gui/GuiSounds.h"
#include "media/InputDevice.h"

#include <algorithm>
#include <vector>

class NullKeyboard : public IInputDevice {
public:
    void Init(platform::InputSystem&) override {}
    int WaitForEvent() override { return -1; }
    bool IsButtonDown(int) const override { return false; }
    int BindButton(int, ActionHandler, int, int) override { return 0; }
    bool Acquire() override { return true; }
    const ButtonBinding* Binding(int) const override { return nullptr; }
    int PressRecordIndex(int code) const override { return code; }
};

class WidgetFixture : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        sounds.clear();
        SetGuiSoundObserver([this](int id, float) { sounds.push_back(id); });
    }
    void TearDown() override
    {
        SetGuiSoundObserver({});
        GuiFixture::TearDown();
    }

    int SoundCount(int id) const { return static_cast<int>(std::count(sounds.begin(), sounds.end(), id)); }

    // Advances the clock in 10 ms frames, running the click repeats with the pointer at (x, y).
    void Hold(uint32_t milliseconds, int x, int y)
    {
        for (uint32_t passed = 0; passed < milliseconds; passed += 10) {
            GuiTestNow() += 10;
            UpdateGuiInput(x, y);
        }
    }

    int Key(int value, int code) { return RouteKeyToGui(value, code, false, keyboard) != nullptr ? 1 : 0; }

    std::vector<int> sounds;
    NullKeyboard keyboard;
};
