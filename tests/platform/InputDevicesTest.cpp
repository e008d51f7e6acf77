#include "platform/input/InputSystem.h"
#include "platform/input/KeyboardDevice.h"
#include "platform/input/MouseDevice.h"
#include "platform/input/PadDevice.h"
#include "platform/window/FrameFit.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

SDL_Event KeyEvent(bool down, SDL_Scancode scancode, SDL_Keycode symbol, uint32_t stamp = 0, int repeat = 0)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.timestamp = stamp;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = static_cast<Uint8>(repeat);
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = symbol;
    return event;
}

std::vector<DeviceEvent> Drain(BufferedDevice& device)
{
    std::vector<DeviceEvent> events(64);
    int count = static_cast<int>(events.size());
    EXPECT_TRUE(Succeeded(device.GetData(events.data(), count)));
    events.resize(static_cast<std::size_t>(count));
    return events;
}

} // namespace

TEST(InputDevices, KeyboardBuffersScanCodesWithStampsAndSharedSequence)
{
    InputSystem system;
    auto keyboard = system.CreateKeyboard();
    auto mouse = system.CreateMouse();
    EXPECT_EQ(keyboard->Acquire(), InputResult::Ok);
    EXPECT_EQ(keyboard->Acquire(), InputResult::AlreadyAcquired);
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);

    system.Feed(KeyEvent(true, SDL_SCANCODE_A, SDLK_a, 100));
    system.Feed(KeyEvent(true, SDL_SCANCODE_A, SDLK_a, 130, 1)); // typematic repeat: ignored
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.timestamp = 140;
    system.Feed(click);
    system.Feed(KeyEvent(true, SDL_SCANCODE_HOME, SDLK_HOME, 150));
    system.Feed(KeyEvent(false, SDL_SCANCODE_A, SDLK_a, 160));

    uint8_t state[kKeyCount] = {};
    ASSERT_EQ(keyboard->GetState(state), InputResult::Ok);
    EXPECT_EQ(state[30], 0);
    EXPECT_EQ(state[199], kButtonDown);

    const auto keys = Drain(*keyboard);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].code, 30u);
    EXPECT_EQ(keys[0].value, kButtonDown);
    EXPECT_EQ(keys[0].timeStamp, 100u);
    EXPECT_EQ(keys[1].code, 199u);
    EXPECT_EQ(keys[2].code, 30u);
    EXPECT_EQ(keys[2].value, 0u);
    const auto buttons = Drain(*mouse);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].code, kMouseLeft);
    EXPECT_LT(keys[0].sequence, buttons[0].sequence);
    EXPECT_LT(buttons[0].sequence, keys[1].sequence);
}

TEST(InputDevices, FullBufferDropsNewEventsAndSaysSo)
{
    InputSystem system;
    auto keyboard = system.CreateKeyboard();
    ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);
    for (int i = 0; i < 20; ++i) {
        system.Feed(KeyEvent(true, SDL_SCANCODE_B, SDLK_b, 10 + i));
        system.Feed(KeyEvent(false, SDL_SCANCODE_B, SDLK_b, 10 + i));
    }
    std::vector<DeviceEvent> events(64);
    int count = 64;
    EXPECT_EQ(keyboard->GetData(events.data(), count), InputResult::BufferOverflow);
    EXPECT_EQ(count, 32);
    EXPECT_EQ(events[0].timeStamp, 10u);
}

TEST(InputDevices, KeysFollowTheCharacterTheLayoutTypes)
{
    InputSystem system;
    auto keyboard = system.CreateKeyboard();
    ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);
    struct Case {
        SDL_Scancode place;
        SDL_Keycode symbol;
        uint32_t positional;
        uint32_t usKey;
    };
    const Case cases[] = {
        {SDL_SCANCODE_Q, SDLK_a, 16, 30},          // French: the key at Q types "a"
        {SDL_SCANCODE_W, 'Z', 17, 44},             // upper-case symbols count too
        {SDL_SCANCODE_M, SDLK_COMMA, 50, 51},
        {SDL_SCANCODE_SEMICOLON, SDLK_m, 39, 50},
        {SDL_SCANCODE_2, 0xE9, 3, 3},              // a character no US key types: stays
        {SDL_SCANCODE_1, SDLK_AMPERSAND, 2, 2},    // shifted on US: stays
        {SDL_SCANCODE_F5, SDLK_F5, 63, 63},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, 28, 28},
    };
    for (const Case& c : cases) {
        system.Feed(KeyEvent(true, c.place, c.symbol));
        const auto events = Drain(*keyboard);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].code, c.positional);
        EXPECT_EQ(keyboard->ToUsLayout(c.positional), c.usKey) << "scancode " << c.place;
    }
    // A key never seen asks the current (US) layout.
    EXPECT_EQ(keyboard->ToUsLayout(48), 48u);
}

TEST(InputDevices, EventsOutsideTheForegroundAreDroppedAndInputIsLost)
{
    MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 320, 200}));
    InputSystem system;
    MainWindow::Handlers handlers;
    system.AttachWindow(window, handlers);
    window.SetHandlers(handlers);
    auto keyboard = system.CreateKeyboard();
    window.PumpEvents();

    EXPECT_EQ(keyboard->Acquire(), InputResult::OtherAppHasPriority);
    window.Show();
    window.Raise();
    ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);

    SDL_Event key = KeyEvent(true, SDL_SCANCODE_X, SDLK_x);
    SDL_PushEvent(&key);
    window.PumpEvents();
    EXPECT_EQ(Drain(*keyboard).size(), 1u);

    window.Hide(); // another window has the foreground now
    key = KeyEvent(true, SDL_SCANCODE_Y, SDLK_y);
    SDL_PushEvent(&key);
    window.PumpEvents();
    EXPECT_TRUE(Drain(*keyboard).empty());

    system.OnFocusChanged(false);
    uint8_t state[kKeyCount] = {};
    EXPECT_EQ(keyboard->GetState(state), InputResult::InputLost);
    EXPECT_EQ(keyboard->Acquire(), InputResult::OtherAppHasPriority);
    window.Show();
    window.Raise();
    EXPECT_EQ(keyboard->Acquire(), InputResult::Ok);
    EXPECT_EQ(keyboard->GetState(state), InputResult::Ok);
    EXPECT_EQ(state[45], 0); // X was down before the focus left: cleared
}

TEST(InputDevices, MouseReportsFieldOffsetsAndCursor)
{
    InputSystem system;
    auto mouse = system.CreateMouse();
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 50;
    event.motion.y = 60;
    event.motion.xrel = 5;
    event.motion.yrel = -3;
    system.Feed(event);
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = -2;
    system.Feed(event);
    for (Uint8 button : {SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE}) {
        event = {};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = button;
        event.button.x = 70;
        event.button.y = 80;
        system.Feed(event);
    }
    const auto events = Drain(*mouse);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].code, kMouseX);
    EXPECT_EQ(static_cast<int32_t>(events[0].value), 5);
    EXPECT_EQ(events[1].code, kMouseY);
    EXPECT_EQ(static_cast<int32_t>(events[1].value), -3);
    EXPECT_EQ(events[2].code, kMouseWheel);
    EXPECT_EQ(static_cast<int32_t>(events[2].value), -240);
    EXPECT_EQ(events[3].code, kMouseRight);
    EXPECT_EQ(events[4].code, kMouseMiddle);
    EXPECT_EQ(events[4].value, kButtonDown);

    MouseState state;
    ASSERT_EQ(mouse->GetState(state), InputResult::Ok);
    EXPECT_EQ(state.dx, 5);
    EXPECT_EQ(state.wheel, -240);
    EXPECT_EQ(state.buttons[1], kButtonDown);
    ASSERT_EQ(mouse->GetState(state), InputResult::Ok);
    EXPECT_EQ(state.dx, 0);
    EXPECT_EQ(mouse->CursorX(), 70);
    EXPECT_EQ(mouse->CursorY(), 80);
    mouse->SetCursorPosition(12, 34);
    EXPECT_EQ(mouse->CursorX(), 12);
}

TEST(InputDevices, GameControllerButtonsAndDirections)
{
    InputSystem system;
    auto pad = system.CreatePad();
    EXPECT_FALSE(pad->IsAttached());
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    ASSERT_NE(joystick, nullptr);
    SDL_Event event;
    SDL_PumpEvents();
    while (SDL_PollEvent(&event))
        system.Feed(event);
    ASSERT_TRUE(pad->IsAttached());
    ASSERT_EQ(pad->Acquire(), InputResult::Ok);

    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    SDL_PumpEvents();
    while (SDL_PollEvent(&event))
        system.Feed(event);

    const auto events = Drain(*pad);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].code, kPadY);
    EXPECT_EQ(static_cast<int32_t>(events[0].value), kPadAxisMax);
    EXPECT_EQ(events[1].code, kPadButton0 + 1);
    EXPECT_EQ(events[1].value, kButtonDown);
    EXPECT_EQ(events[2].code, kPadX);
    EXPECT_EQ(static_cast<int32_t>(events[2].value), -kPadAxisMax);
    PadState state;
    ASSERT_EQ(pad->GetState(state), InputResult::Ok);
    EXPECT_EQ(state.buttons[1], kButtonDown);

    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(index);
    SDL_PumpEvents();
    while (SDL_PollEvent(&event))
        system.Feed(event);
    EXPECT_FALSE(pad->IsAttached());
}

// The frame's place in a client area of another size or aspect: the largest rectangle of the
// frame's aspect, centred; client pixels map into it and back, clamped at its edges.
TEST(InputDevices, FrameFitsTheClientAreaWithItsAspectAndMapsBothWays)
{
    struct Case {
        int frameW, frameH, clientW, clientH;
        FrameFit expected; // left, top, width, height
    };
    const Case cases[] = {
        {1280, 720, 1280, 720, {1280, 720, 0, 0, 1280, 720}},
        {1280, 720, 1920, 1080, {1280, 720, 0, 0, 1920, 1080}},   // same aspect, scaled 1.5
        {1280, 720, 800, 600, {1280, 720, 0, 75, 800, 450}},      // bars above and below
        {1024, 768, 1920, 1080, {1024, 768, 240, 0, 1440, 1080}}, // bars left and right
        {1280, 720, 0, 0, {1280, 720, 0, 0, 1280, 720}},          // no client yet
    };
    for (const Case& c : cases) {
        const FrameFit fit = FitFrame(c.frameW, c.frameH, c.clientW, c.clientH);
        EXPECT_EQ(fit.left, c.expected.left) << c.clientW << "x" << c.clientH;
        EXPECT_EQ(fit.top, c.expected.top) << c.clientW << "x" << c.clientH;
        EXPECT_EQ(fit.width, c.expected.width) << c.clientW << "x" << c.clientH;
        EXPECT_EQ(fit.height, c.expected.height) << c.clientW << "x" << c.clientH;
    }
    const FrameFit fit = FitFrame(1024, 768, 1920, 1080);
    int x = 0, y = 0;
    fit.ClientToFrame(240, 0, x, y); // the picture's top-left pixel
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    fit.ClientToFrame(1679, 1079, x, y); // its bottom-right one
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 767);
    fit.ClientToFrame(960, 540, x, y);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);
    fit.ClientToFrame(10, -40, x, y); // over the left bar, above the window
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    fit.ClientToFrame(1900, 2000, x, y);
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 767);
    // Every frame pixel comes back to itself through the client.
    for (int fx : {0, 1, 511, 1022, 1023})
        for (int fy : {0, 383, 767}) {
            int cx = 0, cy = 0;
            fit.FrameToClient(fx, fy, cx, cy);
            fit.ClientToFrame(cx, cy, x, y);
            EXPECT_EQ(x, fx);
            EXPECT_EQ(y, fy);
        }
}

// The mouse of a window whose picture is letterboxed reports frame pixels: positions from
// the absolute pointer, movement as the change of that position.
TEST(InputDevices, MouseOfALetterboxedWindowReportsFramePixels)
{
    MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 1920, 1080}));
    window.SetFrameSize(1280, 720);
    window.Show();
    InputSystem system;
    MainWindow::Handlers handlers;
    system.AttachWindow(window, handlers);
    system.SetForegroundTest([] { return true; });
    auto mouse = system.CreateMouse();
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 960;
    event.motion.y = 540;
    event.motion.xrel = 30;
    event.motion.yrel = 0;
    system.Feed(event);
    EXPECT_EQ(mouse->CursorX(), 640);
    EXPECT_EQ(mouse->CursorY(), 360);
    MouseState state;
    ASSERT_EQ(mouse->GetState(state), InputResult::Ok);
    EXPECT_EQ(state.dx, 20); // 30 client pixels are 20 frame pixels
    event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = 1919;
    event.button.y = 0;
    system.Feed(event);
    EXPECT_EQ(mouse->CursorX(), 1279);
    EXPECT_EQ(mouse->CursorY(), 0);
    window.Destroy();
}
