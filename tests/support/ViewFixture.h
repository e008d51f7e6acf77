#pragma once
// The view fixture: the game's landscape at a chosen size, a fresh world, a 1280 x 720 GUI
// screen without a device, the program clock in the test's hands (ViewNow), and the mouse
// and keyboard fed through the input queue. Views are made full-screen by View().
#include "app/GameClock.h"
#include "game/EditorViewPort.h"
#include "game/GameViewPort.h"
#include "gui/GuiDevice.h"
#include "media/DXManager.h"
#include "media/KBManager.h"
#include "media/MSManager.h"
#include "platform/input/InputSystem.h"
#include "tests/support/TestWorld.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

inline uint32_t& ViewNow()
{
    static uint32_t now = 0;
    return now;
}

class ViewFixture : public ::testing::Test {
protected:
    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 720;

    void SetUp() override
    {
        savedWidth_ = DXManager::screenWidth;
        savedHeight_ = DXManager::screenHeight;
        SetScreenSize(kScreenWidth, kScreenHeight);
        ViewNow() = 10000;
        gameClock.SetSource([] { return ViewNow(); });
        gameClock.Start();
        ViewNow() = 20000;
        system_.SetForegroundTest([] { return true; });
        kbManager.Init(system_);
        msManager.Init(system_);
        InteractiveVP::foregroundTest = [] { return true; };
        MouseTo(kScreenWidth / 2, kScreenHeight / 2); // away from the edges that scroll
        world_.emplace();
        InitLandscape();
    }
    void TearDown() override
    {
        views_.clear();
        ReleaseLandscape();
        world_.reset();
        kbManager.Shutdown();
        msManager.Shutdown();
        gameClock.SetSource(nullptr);
        gameClock.Start();
        DXManager::screenWidth = savedWidth_;
        DXManager::screenHeight = savedHeight_;
    }

    Landscape& Land() { return *GameLandscape(); }
    void MakeLand(int width, int height)
    {
        Land().Clear();
        ASSERT_EQ(Land().Create(width, height), TileStore::kCreated);
    }
    // A view over the given screen rectangle (the whole screen by default).
    template <class View = GameViewPort>
    View& MakeView(float left = 0, float top = 0, float right = kScreenWidth, float bottom = kScreenHeight)
    {
        auto view = std::make_unique<View>();
        view->SetViewRect(left, top, right, bottom);
        View& made = *view;
        made.Update(); // the first step starts the view's clock
        views_.push_back(std::move(view));
        return made;
    }
    // Advances the clock and runs one camera step.
    static void Step(InteractiveVP& view, uint32_t ms)
    {
        ViewNow() += ms;
        view.Update();
    }
    // Runs steps of 10 ms for `ms` milliseconds.
    static void Run(InteractiveVP& view, uint32_t ms)
    {
        for (uint32_t t = 0; t < ms; t += 10)
            Step(view, 10);
    }

    // Input through the queue; Poll makes the managers read it.
    void MouseTo(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        event.motion.xrel = x - msManager.X();
        event.motion.yrel = y - msManager.Y();
        system_.Feed(event);
        Poll();
    }
    void Button(bool down, uint8_t button)
    {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        event.button.x = msManager.X();
        event.button.y = msManager.Y();
        system_.Feed(event);
        Poll();
    }
    void Key(bool down, SDL_Scancode place, SDL_Keycode symbol)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = place;
        event.key.keysym.sym = symbol;
        system_.Feed(event);
        Poll();
    }
    void Poll()
    {
        kbManager.Update();
        msManager.Update();
    }

    platform::InputSystem system_;
    std::optional<TestWorld> world_;
    std::vector<std::unique_ptr<InteractiveVP>> views_;

private:
    int savedWidth_ = 0, savedHeight_ = 0;
};
