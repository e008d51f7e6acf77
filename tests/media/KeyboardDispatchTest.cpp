#include "InputFixture.h"

namespace {

// A GUI element that takes the keys it is told to take.
class FakeTarget : public IKeyTarget {
public:
    int OnKey(int value, int code, bool, IInputDevice&) override
    {
        seen.push_back({std::to_string(code), value, 0});
        return takes ? 1 : 0;
    }
    bool WantsKeyRepeat() const override { return true; }
    uint32_t KeyRepeatDelay() const override { return 100; }
    uint32_t KeyRepeatInterval() const override { return 20; }
    bool takes = true;
    std::vector<HandlerCall> seen;
};

} // namespace

TEST_F(InputFixture, KeyTypingAUnderAFrenchLayoutArrivesAsA)
{
    ASSERT_EQ(kbManager.BindButton(30, HandlerA), 0);
    ASSERT_EQ(kbManager.BindButton(16, HandlerB), 0);
    Key(true, SDL_SCANCODE_Q, SDLK_a); // the French layout types "a" on the key at Q
    Poll();
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0], (HandlerCall{"A", 0x80, 1000}));
    EXPECT_EQ(KeyName(30, &kbManager), "A");
    EXPECT_TRUE(kbManager.IsKeyDown(16)); // the key state stays positional
}

TEST_F(InputFixture, HeldKeyRepeatsAfterItsDelayThenAtItsIntervalOncePerFrame)
{
    ASSERT_EQ(kbManager.BindButton(30, HandlerA), 0); // 300 ms, then every 50 ms
    ASSERT_EQ(kbManager.BindButton(48, HandlerB, kNoRepeat), 0);
    Key(true, SDL_SCANCODE_A, SDLK_a);
    Key(true, SDL_SCANCODE_B, SDLK_b);
    Poll();
    for (TestNow() = 1010; TestNow() <= 1420; TestNow() += 10)
        Poll();
    std::vector<uint32_t> repeats;
    for (const HandlerCall& call : Calls()) {
        if (call.tag == "A" && call.value == 2)
            repeats.push_back(call.time);
        if (call.tag == "B") {
            EXPECT_EQ(call.value, 0x80); // no repeat for a binding without one
        }
    }
    EXPECT_EQ(repeats, (std::vector<uint32_t>{1310, 1370}));

    Calls().clear();
    TestNow() = 5000; // a long frame: still one repeat only
    Poll();
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"A", 2, 5000}}));

    Calls().clear();
    Key(false, SDL_SCANCODE_A, SDLK_a);
    Poll();
    TestNow() = 6000;
    Poll();
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"A", 0, 5000}}));
}

TEST_F(InputFixture, KeysOutsideTheForegroundReachNeitherGuiNorActions)
{
    int offered = 0;
    buttonPresses.SetGuiRouter([&](int, int, bool, IInputDevice&) -> IKeyTarget* {
        ++offered;
        return nullptr;
    });
    ASSERT_EQ(kbManager.BindButton(30, HandlerA), 0);
    foreground_ = false;
    Key(true, SDL_SCANCODE_A, SDLK_a); // arrives while another window is in front
    Poll();
    foreground_ = true;
    Key(false, SDL_SCANCODE_A, SDLK_a);
    Key(true, SDL_SCANCODE_A, SDLK_a);
    kbManager.Update();
    foreground_ = false; // buffered, but the focus left before the frame collected it
    std::vector<InputEvent> list;
    kbManager.CollectEvents(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(kbManager.WaitingEvents(), 0);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(offered, 0);
}

TEST_F(InputFixture, LostFocusReleasesHeldKeysAndRetriesABoundedNumberOfTimes)
{
    ASSERT_EQ(kbManager.BindButton(30, HandlerA), 0);
    Key(true, SDL_SCANCODE_A, SDLK_a);
    Poll();
    foreground_ = false;
    system_.OnFocusChanged(false);
    TestNow() = 1100;
    Poll(); // the device cannot be acquired in the background: this must return
    TestNow() = 3000;
    Poll();
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"A", 0x80, 1000}, {"A", 0, 1100}}));
    EXPECT_FALSE(kbManager.IsKeyDown(30));
    EXPECT_TRUE(buttonPresses.Pressed().empty());

    foreground_ = true;
    Poll();
    Key(true, SDL_SCANCODE_A, SDLK_a);
    Poll();
    EXPECT_EQ(Calls().back(), (HandlerCall{"A", 0x80, 3000}));
}

TEST_F(InputFixture, GuiTakesPressesBeforeTheActionAndGetsTheirRelease)
{
    FakeTarget target;
    buttonPresses.SetGuiRouter([&](int value, int code, bool shift, IInputDevice& device) -> IKeyTarget* {
        return code == 30 && target.OnKey(value, code, shift, device) ? &target : nullptr;
    });
    ASSERT_EQ(kbManager.BindButton(30, HandlerA), 0);
    ASSERT_EQ(kbManager.BindButton(48, HandlerB), 0);
    Key(true, SDL_SCANCODE_A, SDLK_a);
    Key(true, SDL_SCANCODE_B, SDLK_b);
    Poll();
    TestNow() = 1101;
    Poll(); // the target's own repeat timing: 100 ms, then 20 ms
    Key(false, SDL_SCANCODE_A, SDLK_a);
    Poll();
    EXPECT_EQ(target.seen, (std::vector<HandlerCall>{{"30", 0x80, 0}, {"30", 2, 0}, {"30", 0, 0}}));
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"B", 0x80, 1000}}));

    // A release of a key that is not in the list leaves the held one alone.
    DispatchButtonEvent(0, 44, false, kbManager);
    EXPECT_EQ(buttonPresses.Pressed(), (std::vector<int>{48}));
    Key(true, SDL_SCANCODE_A, SDLK_a);
    Poll();
    EXPECT_EQ(buttonPresses.Record(30).target, &target);
    buttonPresses.Forget(&target); // the element goes away while the key is held
    EXPECT_EQ(buttonPresses.Record(30).target, nullptr);
}

TEST_F(InputFixture, KeyboardAndMouseEventsDispatchInTimeThenSequenceOrder)
{
    ASSERT_EQ(kbManager.BindButton(30, HandlerA), 0);
    ASSERT_EQ(msManager.BindButton(12, HandlerB), 0);
    std::vector<InputEvent> list = {
        {30, 0x80, 20, 5, kInputKeyboard},
        {12, 0x80, 10, 9, kInputMouse},
        {30, 0, 20, 3, kInputKeyboard},
        {12, 0, 30, 1, kInputMouse},
    };
    DispatchInputEvents(list, kbManager, msManager);
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{
                           {"B", 0x80, 1000}, {"A", 0, 1000}, {"A", 0x80, 1000}, {"B", 0, 1000}}));
}

TEST_F(InputFixture, RecordedKeysPlayBackUpToTheClockThenLiveInputReturns)
{
    ASSERT_EQ(kbManager.BindButton(30, HandlerA, kNoRepeat), 0);
    kbManager.SetMode(InputMode::Record);
    TestNow() = 100;
    Key(true, SDL_SCANCODE_A, SDLK_a);
    Poll();
    TestNow() = 200;
    Key(false, SDL_SCANCODE_A, SDLK_a);
    Poll();
    ASSERT_EQ(kbManager.Recorder().Records().size(), 2u);

    Calls().clear();
    kbManager.SetMode(InputMode::Playback);
    TestNow() = 150;
    Poll();
    EXPECT_EQ(Calls(), (std::vector<HandlerCall>{{"A", 0x80, 150}}));
    EXPECT_TRUE(kbManager.IsKeyDown(30));
    EXPECT_EQ(kbManager.Mode(), InputMode::Playback);
    TestNow() = 250;
    Poll();
    EXPECT_EQ(Calls().back(), (HandlerCall{"A", 0, 250}));
    EXPECT_EQ(kbManager.Mode(), InputMode::Off);

    Key(true, SDL_SCANCODE_A, SDLK_a);
    TestNow() = 300;
    Poll();
    EXPECT_EQ(Calls().back(), (HandlerCall{"A", 0x80, 300}));
    EXPECT_EQ(Calls().size(), 3u);
}
