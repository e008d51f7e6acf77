// The session's loading windows: the level's loading window while a level is hosted or named
// by the server, and the "NETLOAD_THROB" window while a catch-up runs.
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/TestWorld.h"

#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "gui/PrimContainer.h"
#include "gui/Throbber.h"
#include "gui/WindowList.h"
#include "session/ClientCommandState.h"
#include "session/GameSessions.h"
#include "session/LoadingWindows.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class LoadingWindows : public ::testing::Test {
protected:
    void SetUp() override { ResetCommandState(); }
    void TearDown() override
    {
        CloseAllWindows();
        CloseNetLoadThrobber();
        ResetCommandState();
    }
    TestWorld world;
    LogCapture log;
};

TEST_F(LoadingWindows, TheCatchUpShowsTheThrobberUntilItEnds)
{
    ASSERT_EQ(ExecuteCommand(MakeUpdateFlimbs().data()), 0);
    EXPECT_EQ(FindOpenWindow(kNetLoadThrobberName), nullptr) << "no catch-up, no throbber";

    ASSERT_EQ(ExecuteCommand(MakeNetLoad(1).data()), 0);
    ASSERT_TRUE(CommandState().waiting);
    ASSERT_EQ(ExecuteCommand(MakeUpdateFlimbs().data()), 0);
    ASSERT_EQ(ExecuteCommand(MakeUpdateFlimbs().data()), 0);
    Primitive* throbber = FindOpenWindow(kNetLoadThrobberName);
    ASSERT_NE(throbber, nullptr);
    EXPECT_GE(NetLoadThrobberFrames(), 1);
    EXPECT_LE(NetLoadThrobberFrames(), 2) << "two updates a moment apart show one frame, or two";

    ASSERT_EQ(ExecuteCommand(MakeNetLoad(0).data()), 0);
    EXPECT_FALSE(CommandState().waiting);
    EXPECT_EQ(FindOpenWindow(kNetLoadThrobberName), nullptr);
}

TEST_F(LoadingWindows, TheThrobberTurnsAtMostEveryFiftyMilliseconds)
{
    AnimateNetLoadThrobber(1000);
    auto* window = dynamic_cast<SessionLoadingWindow*>(FindOpenWindow(kNetLoadThrobberName));
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->Caption().empty());
    const struct {
        uint32_t now;
        int frames;
        int throbberFrame;
    } steps[] = {{1000, 1, 0}, {1020, 1, 0}, {1049, 1, 0}, {1050, 2, 1}, {1200, 3, 4}, {1210, 3, 4}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.now);
        AnimateNetLoadThrobber(step.now);
        EXPECT_EQ(NetLoadThrobberFrames(), step.frames);
        EXPECT_EQ(window->GetThrobber().Frame(), step.throbberFrame);
    }
    CloseNetLoadThrobber();
    EXPECT_EQ(FindOpenWindow(kNetLoadThrobberName), nullptr);
    EXPECT_EQ(NetLoadThrobberFrames(), 0);
}

// LEVELQUERY: the loading window inside the session window, naming the level; the reset
// before the level loads (GAMEDATA) closes it.
TEST_F(LoadingWindows, ALevelQueryShowsTheLoadingWindowInTheSessionWindow)
{
    auto* session = new PrimContainer();
    session->SetName("FlimbsGameBase");
    session->SetSize(1000.0f, 1000.0f);
    OpenWindow(session, true);
    ASSERT_EQ(ExecuteCommand(MakeLevelQuery("Level\\s_dm_far_away.flevel", 1, 0, 0).data()), 0);
    SessionLoadingWindow* window = LevelLoadingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parent, session);
    EXPECT_NE(window->Caption().find("s_dm_far_away.flevel"), std::string::npos) << window->Caption();
    EXPECT_GT(window->rect.left, session->rect.left) << "centred";

    ASSERT_EQ(ExecuteCommand(MakeLevelQuery("s_dm_other.flevel", 1, 0, 0).data()), 0);
    EXPECT_EQ(LevelLoadingWindow(), window) << "one window, with the newer name";
    EXPECT_NE(window->Caption().find("s_dm_other.flevel"), std::string::npos);

    FlimbsGameBase::ResetForLevel();
    EXPECT_EQ(LevelLoadingWindow(), nullptr);
}

// Hosting a level shows its title over the screen until the level has loaded.
TEST_F(LoadingWindows, HostingShowsTheLevelsTitleUntilItHasLoaded)
{
    MemoryFileManager* memory = nullptr;
    const std::unique_ptr<FileManager> files = InstallLevelFiles(&memory);
    AddShippedLevel(*memory, "s_dm_first_steps");
    SessionLevelInfo info;
    ASSERT_TRUE(SessionGame().ResolveLevel("s_dm_first_steps", info));
    ASSERT_FALSE(info.title.empty());

    auto* host = new FlimbsGameHost(0, false);
    OpenWindow(host, true);
    host->HostLevel("s_dm_first_steps");
    SessionLoadingWindow* window = LevelLoadingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parent, nullptr) << "over the screen";
    EXPECT_NE(window->Caption().find(info.title), std::string::npos) << window->Caption();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!log.Contains("Game Map and Info loaded successfully!\n") && std::chrono::steady_clock::now() < deadline) {
        host->Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(log.Contains("Game Map and Info loaded successfully!\n"));
    EXPECT_EQ(LevelLoadingWindow(), nullptr);
    CloseAllWindows();
    ReleaseLevelFiles();
}

} // namespace
