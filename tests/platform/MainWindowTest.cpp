#include "platform/window/Desktop.h"
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

    // Full screen covers the display; a placement set meanwhile is where the window goes
    // when it leaves full screen.
    EXPECT_TRUE(window.SetFullscreen(true));
    EXPECT_TRUE(window.IsFullscreen());
    const platform::DisplaySize desktop = platform::DesktopSize();
    window.GetClientSize(width, height);
    EXPECT_EQ(width, desktop.width);
    EXPECT_EQ(height, desktop.height);
    window.SetPlacement({30, 40, 30 + 720, 40 + 400});
    window.GetClientSize(width, height);
    EXPECT_EQ(width, desktop.width);
    EXPECT_EQ(window.GetPlacement(), (WindowRect{30, 40, 30 + 720, 40 + 400}));
    EXPECT_TRUE(window.SetFullscreen(false));
    EXPECT_FALSE(window.IsFullscreen());
    window.GetClientSize(width, height);
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 400);
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

TEST(MainWindow, MinimisesAndComesBackAndTheDisplayModesAreListed)
{
    platform::MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {10, 10, 330, 250}));
    window.Show();
    window.Minimize();
    window.Restore();
    window.PumpEvents();
    EXPECT_FALSE(window.IsMinimized());
    // Every mode the system lists, repeats included (an index names one): as many as its
    // sizes or more. (The offscreen driver's one mode has no size.)
    const std::vector<platform::DisplayModeInfo> modes = platform::EnumerateDisplayModes();
    EXPECT_GE(modes.size(), platform::DisplayModes().size());
    for (const platform::DisplayModeInfo& mode : modes) {
        EXPECT_GE(mode.width, 0);
        EXPECT_GE(mode.height, 0);
        EXPECT_EQ(mode.bitsPerPixel % 8, 0);
    }
    window.Destroy();
}
