#include "InputFixture.h"

namespace {

// A virtual game controller plugged in for the test.
class VirtualPad {
public:
    explicit VirtualPad(platform::InputSystem& system) : system_(system)
    {
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
        joystick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
        Pump();
    }
    ~VirtualPad()
    {
        if (joystick_)
            SDL_JoystickClose(joystick_);
        if (index_ >= 0)
            SDL_JoystickDetachVirtual(index_);
    }
    bool Ok() const { return joystick_ != nullptr; }
    void Button(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
        Pump();
    }
    void Pump()
    {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PollEvent(&event))
            system_.Feed(event);
    }

private:
    platform::InputSystem& system_;
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

} // namespace

TEST_F(InputFixture, PadButtonsAndDirectionsReachTheirBoundActions)
{
    VirtualPad pad(system_);
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    ASSERT_TRUE(padManager.IsAttached());
    ASSERT_TRUE(padManager.Acquire());

    ASSERT_EQ(padManager.BindButton(48, HandlerA), 0); // PAD0, the A button
    int quits = 0;
    SetShellActionHooks({[&] { ++quits; }, {}, {}, {}, {}, {}});
    ASSERT_EQ(BindKeyToAction("PAD3", "quit"), 0);
    ASSERT_EQ(padManager.BindButton(PADManager::kLeft, HandlerB), 0);

    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_Y, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Poll();
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"A", 0x80, 1000}, {"B", 0x80, 1000}}));
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(padManager.IsButtonDown(48));
    EXPECT_TRUE(padManager.IsButtonDown(PADManager::kLeft));

    TestNow() = 1301; // directions repeat like keys
    Poll();
    EXPECT_EQ(Calls().back(), (HandlerCall{"B", 2, 1301}));
    pad.Button(SDL_CONTROLLER_BUTTON_Y, false);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    Poll();
    EXPECT_EQ(Calls().back(), (HandlerCall{"B", 0, 1301}));
    EXPECT_EQ(quits, 1); // the release does not quit again
    SetShellActionHooks({});
}

TEST_F(InputFixture, MouseEventsReachTheirHandlersAndClickActionsTheGui)
{
    std::vector<std::string> routed;
    msManager.SetPointerHooks({
        [&](int button, int value, int x, int y, uint32_t) {
            routed.push_back("button " + std::to_string(button) + " " + std::to_string(value) + " at " +
                             std::to_string(x) + "," + std::to_string(y));
        },
        [&](int delta, int, int, uint32_t) { routed.push_back("wheel " + std::to_string(delta)); },
    });
    ASSERT_EQ(BindKeyToAction("RIGHT MOUSE", "leftclick"), 0);
    ASSERT_EQ(BindKeyToAction("WHEEL", "OnWheel"), 0);
    ASSERT_EQ(BindKeyToAction("SPACE", "rightclick"), 0);

    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_RIGHT;
    event.button.x = 40;
    event.button.y = 50;
    event.button.timestamp = 5;
    system_.Feed(event);
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = 1;
    event.wheel.timestamp = 6;
    system_.Feed(event);
    Key(true, SDL_SCANCODE_SPACE, SDLK_SPACE);
    Poll();
    EXPECT_EQ(routed, (std::vector<std::string>{"button 0 128 at 40,50", "wheel 120", "button 1 128 at 40,50"}));
    EXPECT_TRUE(msManager.IsRightButtonDown());
    EXPECT_EQ(msManager.X(), 40);
    msManager.SetMode(InputMode::Off);
}

TEST_F(InputFixture, RecordedMouseInputPlaysBackThenLiveInputReturns)
{
    ASSERT_EQ(msManager.BindButton(12, HandlerA), 0);
    msManager.SetMode(InputMode::Record);
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 10;
    event.motion.y = 20;
    event.motion.xrel = 10;
    system_.Feed(event);
    TestNow() = 100;
    Poll();
    event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = 10;
    event.button.y = 20;
    system_.Feed(event);
    TestNow() = 200;
    Poll();
    ASSERT_EQ(msManager.Recorder().Records().size(), 3u); // position, X movement, button

    Calls().clear();
    msManager.SetMode(InputMode::Playback);
    msManager.SetCursorPosition(0, 0);
    TestNow() = 150;
    msManager.Update();
    EXPECT_EQ(msManager.X(), 10);
    EXPECT_TRUE(Calls().empty());
    TestNow() = 200;
    msManager.Update();
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"A", 0x80, 200}}));
    EXPECT_EQ(msManager.Mode(), InputMode::Off);
}
