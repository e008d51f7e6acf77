#include "platform/window/MainWindow.h"

#include <gtest/gtest.h>

#include <csignal>

using platform::MainWindow;
using platform::PumpResult;
using platform::WindowRect;

TEST(MainWindow, CreatedHiddenAtItsPlacementThenShown)
{
    MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {40, 30, 40 + 800, 30 + 600}));
    EXPECT_FALSE(window.IsVisible());
    EXPECT_FALSE(window.IsForeground());
    int width = 0, height = 0;
    window.GetClientSize(width, height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);

    window.Show();
    window.Raise();
    EXPECT_TRUE(window.IsVisible());
    EXPECT_TRUE(window.IsForeground());

    window.SetPlacement({10, 20, 10 + 640, 20 + 480});
    const WindowRect placement = window.GetPlacement();
    EXPECT_EQ(placement.Width(), 640);
    EXPECT_EQ(placement.Height(), 480);

    EXPECT_TRUE(window.SetFullscreen(true));
    EXPECT_TRUE(window.IsFullscreen());
    EXPECT_TRUE(window.SetFullscreen(false));
    window.Destroy();
    EXPECT_FALSE(window.IsCreated());
}

TEST(MainWindow, QuitRequestAndSignalsEndThePump)
{
    MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 320, 200}));
    platform::ClearQuitRequest();
    EXPECT_EQ(window.PumpEvents(), PumpResult::Idle);

    platform::RequestQuit();
    EXPECT_EQ(window.PumpEvents(), PumpResult::Quit);
    platform::ClearQuitRequest();
    window.PumpEvents(); // drain the posted quit event
    platform::ClearQuitRequest();

    platform::InstallQuitSignalHandlers();
    std::raise(SIGTERM);
    EXPECT_EQ(window.PumpEvents(), PumpResult::Quit);
    platform::ClearQuitRequest();
}

TEST(MainWindow, MessageBoxWithoutADisplayDoesNotBlock)
{
    ASSERT_TRUE(platform::InitVideo());
    EXPECT_TRUE(platform::IsHeadless());
    platform::ShowSystemMessageBox("Flimbs Help", "FlimbsGame [options]");
}
