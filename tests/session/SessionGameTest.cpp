// The session's game adapter on real level files: what a level's information says and
// how GAMEDATA's load answers.
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"

#include "game/GameController.h"
#include "session/ClientCommandState.h"
#include "session/GameServer.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"
#include "traps/Trap.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class SessionGameTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        ResetCommandState();
        AddShippedLevel(*memory, "m_dm_twin_valleys");
        AddLevel("Level\\s_dm_broken.flevel", "<flimbs-level><globals>", false);
        LevelParts editOnly;
        editOnly.globals = "<permission>EditOnly</permission>";
        AddLevel("Level\\s_dm_editonly.flevel", editOnly.Text());
    }
    void TearDown() override
    {
        SessionGame().ResetLevel();
        ResetCommandState();
        LevelFixture::TearDown();
    }
    static uint32_t CrcOf(const std::string& name)
    {
        SessionLevelInfo info;
        EXPECT_TRUE(SessionGame().ResolveLevel(name, info)) << name;
        return info.crc;
    }
    LogCapture log;
};

TEST_F(SessionGameTest, LevelInformationComesFromTheLevelsSummary)
{
    SessionLevelInfo info;
    ASSERT_TRUE(SessionGame().ResolveLevel("m_dm_twin_valleys", info));
    EXPECT_EQ(info.path, "Level\\m_dm_twin_valleys.flevel");
    EXPECT_EQ(info.title, "Twin Valleys");
    EXPECT_EQ(info.kind, 1);
    EXPECT_NE(info.crc, 0u);
    EXPECT_EQ(info.groupsInUse[0], 1);
    EXPECT_EQ(info.groupsInUse[1], 1);
    EXPECT_EQ(info.groupsInUse[2], 0);

    ASSERT_TRUE(SessionGame().ResolveLevel("s_dm_editonly", info));
    EXPECT_EQ(info.kind, 2);
    EXPECT_FALSE(SessionGame().ResolveLevel("s_dm_missing", info));
    EXPECT_FALSE(SessionGame().ResolveLevel("s_dm_broken", info));
}

// A level that cannot be hosted says why: missing, damaged (with the reader's reason) or a
// readable file that lies outside the game's folders.
TEST_F(SessionGameTest, UnreadableLevelsNameTheirCause)
{
    const fs::path outside = fs::temp_directory_path() / "s_dm_elsewhere.flevel";
    {
        std::ofstream file(outside);
        file << LevelParts().Text();
    }
    struct Case {
        std::string name;
        std::string problem;
    };
    const Case cases[] = {
        {"s_dm_missing", "Level\\s_dm_missing.flevel not found"},
        {"s_dm_broken", "Level\\s_dm_broken.flevel is damaged: its XML is broken"},
        {outside.string(), outside.string() + " is outside the game's folders"},
        {"/nowhere/s_dm_gone.flevel", "/nowhere/s_dm_gone.flevel not found"},
    };
    for (const Case& c : cases) {
        SessionLevelInfo info;
        EXPECT_FALSE(SessionGame().ResolveLevel(c.name, info)) << c.name;
        EXPECT_EQ(SessionGame().LevelProblem(), c.problem);
    }
    SessionLevelInfo info;
    EXPECT_TRUE(SessionGame().ResolveLevel("m_dm_twin_valleys", info));
    EXPECT_EQ(SessionGame().LevelProblem(), "");
    fs::remove(outside);
}

TEST_F(SessionGameTest, GameDataLoadsOrAnswersWhyNot)
{
    const uint32_t crc = CrcOf("m_dm_twin_valleys");
    struct Case {
        const char* what;
        std::string name;
        uint32_t crc;
        int sessionKind;
        bool host;
        int code;
        const char* logged;
    };
    const Case cases[] = {
        {"missing", "s_dm_missing", 0, kSessionLive, false, kNrFileNotFound,
         "Error : [Level\\s_dm_missing.flevel] not found!!!!!"},
        {"another file", "m_dm_twin_valleys", crc + 1, kSessionLive, false, kNrBadCrc, nullptr},
        {"another file on the host", "m_dm_twin_valleys", crc + 1, kSessionLive, true, kNrLoadLevelOk, nullptr},
        {"another file in a playback", "m_dm_twin_valleys", crc + 1, kPlaybackPlaying, false, kNrLoadLevelOk,
         "WARNING: playback level crc doesn't match crc from savegame, playback may be incorrect"},
        {"unreadable", "s_dm_broken", 0, kSessionLive, false, kNrBadFormat, nullptr},
        {"the server's", "m_dm_twin_valleys", crc, kSessionLive, false, kNrLoadLevelOk, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionGame().ResetLevel();
        Controller().currentLevel = {};
        log.Clear();
        CommandState().sessionKind = c.sessionKind;
        std::unique_ptr<GameServer> server = c.host ? std::make_unique<GameServer>(false, 0) : nullptr;
        SetCurrentServer(server.get());
        EXPECT_EQ(SessionGame().LoadLevelForGameData(c.name, c.crc), c.code);
        SetCurrentServer(nullptr);
        if (c.logged) {
            EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
        }
        if (c.code == kNrLoadLevelOk) {
            EXPECT_EQ(SessionGame().LoadedLevel().name, c.name);
            EXPECT_EQ(Controller().currentLevel.title, "Twin Valleys") << "the controller loaded it";
            EXPECT_EQ(Controller().groups[1].inUse, 1);
            EXPECT_TRUE(SessionGame().GroupHasStartTrap(1));
            EXPECT_FALSE(SessionGame().GroupHasStartTrap(2));
        } else {
            EXPECT_TRUE(SessionGame().LoadedLevel().name.empty());
            EXPECT_FALSE(AnyTraps());
        }
    }
    CommandState().sessionKind = kSessionLive;
}

} // namespace

namespace {

// The view reads the host's server state through the controller: the current server's state
// (4 while paused), 0 without one.
TEST_F(SessionGameTest, TheControllerMirrorsTheCurrentServersState)
{
    GameServer server(false, 0);
    const int unpaused = server.State();
    server.RequestPause(1, true);
    EXPECT_EQ(Controller().hostServerState, 0) << "not the current server";
    SetCurrentServer(&server);
    EXPECT_EQ(Controller().hostServerState, GameServer::kPaused);
    server.RequestPause(0, true);
    EXPECT_EQ(Controller().hostServerState, unpaused);
    server.FreezeTime();
    EXPECT_EQ(Controller().hostServerState, GameServer::kPaused);
    SetCurrentServer(nullptr);
    EXPECT_EQ(Controller().hostServerState, 0);
}

} // namespace

namespace {

// STARTGAME is the controller's level start (control, the unused groups' traps put away, the
// traps stamped into the land, the view placed) and GAMEOVER its end (the mode's result in
// the controller, where the HUD and the end screens read it); GAMEDATA tells the controller
// what kind of match the level makes.
TEST_F(SessionGameTest, StartGameAndGameOverAreTheControllersLevelStartAndEnd)
{
    world->AddLocalPlayer().group = 0;
    Controller().localPlayer->team = 0;
    ASSERT_EQ(ExecuteCommand(MakeGameData("m_dm_twin_valleys", CrcOf("m_dm_twin_valleys"), 0).data()), 0);
    EXPECT_EQ(Controller().sessionKind, kSessionNetworked);
    EXPECT_EQ(Controller().matchKind, 1);
    Trap* secondStart = nullptr;
    for (Trap* trap : GetTrapsOfKind(kTrapStart))
        if (trap->Group() == 1)
            secondStart = trap;
    ASSERT_NE(secondStart, nullptr);
    ASSERT_EQ(secondStart->enabled, 1);

    ASSERT_EQ(ExecuteCommand(MakeStartGame({1, 0, 0, 0, 0, 0, 0, 0}).data()), 0);
    EXPECT_EQ(Controller().runState, kRunRunning);
    EXPECT_EQ(Controller().gameState, kRunRunning);
    EXPECT_EQ(Controller().matchRunning, 1);
    EXPECT_EQ(secondStart->enabled, 0) << "the group without players is put away";

    ASSERT_EQ(ExecuteCommand(MakeGameOver(ClientUpdateCounter()).data()), 0);
    EXPECT_EQ(Controller().runState, kRunNone);
    EXPECT_EQ(Controller().matchRunning, 0);
    EXPECT_GE(Controller().matchResult, 1) << "the mode's result reaches the controller";
}

} // namespace
