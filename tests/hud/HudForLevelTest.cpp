// A level loaded for play through the session opens the in-game HUD over its view; a playback
// session leaves the HUD to the playback viewer, and the session's end closes it.
#include "HudFixture.h"

#include "../support/LevelFixture.h"
#include "../support/TestWorld.h"

#include "hud/FlimbsHUD.h"
#include "session/ClientCommandState.h"
#include "session/GameSessions.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"

namespace {

class HudForLevelTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        previous_ = fileManager;
        files_ = InstallLevelFiles(&memory_);
        AddShippedLevel(*memory_, "s_dm_first_steps");
        ResetCommandState();
    }
    void TearDown() override
    {
        CloseAllWindows();
        SessionGame().ResetLevel();
        ResetCommandState();
        ReleaseLevelFiles();
        fileManager = previous_;
        HudFixture::TearDown();
    }
    int LoadLevel()
    {
        SessionLevelInfo info;
        EXPECT_TRUE(SessionGame().ResolveLevel("s_dm_first_steps", info));
        return ExecuteCommand(MakeGameData("s_dm_first_steps", info.crc, 0).data());
    }
    TestWorld world_;
    FileManager* previous_ = nullptr;
    std::unique_ptr<FileManager> files_;
    MemoryFileManager* memory_ = nullptr;
};

TEST_F(HudForLevelTest, ALoadedLevelOpensTheHudWithItsViewAndTheSessionsEndClosesIt)
{
    ASSERT_EQ(LoadLevel(), 0);
    FlimbsHUD* hud = FindFlimbsHUD();
    ASSERT_NE(hud, nullptr);
    EXPECT_NE(hud->GameView(), nullptr);
    EXPECT_NE(FindOpenWindow("MOUSEPORT"), nullptr) << "the game view is found where the world looks";

    // A second load (a restart) replaces it: one HUD stays open.
    ASSERT_EQ(LoadLevel(), 0);
    FlimbsHUD* again = FindFlimbsHUD();
    ASSERT_NE(again, nullptr);
    int open = 0;
    for (Primitive* window : OpenWindows())
        open += window->active && window->name == FlimbsHUD::kName ? 1 : 0;
    EXPECT_EQ(open, 1);

    // The session's end takes it away.
    auto* session = new FlimbsGameBase();
    OpenWindow(session, true);
    session->Close();
    EXPECT_EQ(FindFlimbsHUD(), nullptr);
}

TEST_F(HudForLevelTest, APlaybackSessionLeavesTheHudToThePlaybackViewer)
{
    CommandState().sessionKind = kPlaybackPlaying;
    ASSERT_EQ(LoadLevel(), 0);
    EXPECT_EQ(FindFlimbsHUD(), nullptr);
}

} // namespace
