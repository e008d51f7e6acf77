#pragma once
// A fed input system with the three managers initialised on it, a settable clock and a
// recorder of handler calls.

#include "media/ButtonPresses.h"
#include "media/InputClock.h"
#include "media/InputDispatch.h"
#include "media/KBManager.h"
#include "media/KeyTables.h"
#include "media/MSManager.h"
#include "media/PADManager.h"
#include "platform/input/InputSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct HandlerCall {
    std::string tag;
    int value;
    uint32_t time;
    bool operator==(const HandlerCall&) const = default;
};

inline std::vector<HandlerCall>& Calls()
{
    static std::vector<HandlerCall> calls;
    return calls;
}

inline void HandlerA(int value, uint32_t time) { Calls().push_back({"A", value, time}); }
inline void HandlerB(int value, uint32_t time) { Calls().push_back({"B", value, time}); }

inline uint32_t& TestNow()
{
    static uint32_t now = 0;
    return now;
}

class InputFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Calls().clear();
        TestNow() = 1000;
        SetInputClock([] { return TestNow(); });
        system_.SetForegroundTest([this] { return foreground_; });
        kbManager.Init(system_);
        msManager.Init(system_);
        padManager.Init(system_);
    }

    void TearDown() override
    {
        kbManager.Shutdown();
        msManager.Shutdown();
        padManager.Shutdown();
        kbManager.ClearBindings();
        msManager.ClearBindings();
        padManager.ClearBindings();
        kbManager.SetMode(InputMode::Off);
        msManager.SetMode(InputMode::Off);
        buttonPresses.Clear();
        buttonPresses.SetGuiRouter({});
        SetInputClock(nullptr);
    }

    // One pass of the main loop's input poll.
    void Poll()
    {
        kbManager.Update();
        msManager.Update();
        if (foreground_) {
            padManager.Update();
            padManager.DispatchEvents();
        }
        std::vector<InputEvent> list;
        kbManager.CollectEvents(list);
        msManager.CollectEvents(list);
        DispatchInputEvents(list, kbManager, msManager);
        RepeatHeldButtons();
    }

    void Key(bool down, SDL_Scancode place, SDL_Keycode symbol)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.timestamp = TestNow();
        event.key.keysym.scancode = place;
        event.key.keysym.sym = symbol;
        system_.Feed(event);
    }

    platform::InputSystem system_;
    bool foreground_ = true;
};
