// The host's level set-up: the one a match started with is kept, and GAMEDATA of the level
// restores it; a joined client and a single-player level keep the level's own.
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"

#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/LevelConfig.h"
#include "session/ClientCommandState.h"
#include "session/GameServer.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class LevelConfig : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        ResetCommandState();
        std::filesystem::remove_all(GetUserPath(CurrentProfile().GetPath() + "\\LevelConfig"));
        AddShippedLevel(*memory, "m_dm_twin_valleys");
        SessionLevelInfo info;
        ASSERT_TRUE(SessionGame().ResolveLevel("m_dm_twin_valleys", info));
        crc = info.crc;
    }
    void TearDown() override
    {
        SetCurrentServer(nullptr);
        SessionGame().ResetLevel();
        ResetCommandState();
        LevelFixture::TearDown();
    }
    int LoadLevel() { return ExecuteCommand(MakeGameData("m_dm_twin_valleys", crc, 0).data()); }
    uint8_t Clobs() const { return Controller().groups[0].uses[kClob]; }

    uint32_t crc = 0;
    LogCapture log;
};

TEST_F(LevelConfig, TheHostRestoresTheSetUpTheLastMatchStartedWith)
{
    GameServer server(false, 0);
    SetCurrentServer(&server);
    ASSERT_EQ(LoadLevel(), 0);
    const uint8_t levelClobs = Clobs();
    Controller().groups[0].uses[kClob] = uint8_t(levelClobs + 5); // as the lobby left it
    ASSERT_EQ(ExecuteCommand(MakeStartGame({1, 1}).data()), 0);
    EXPECT_EQ(ListLevelConfigTitles(), std::vector<std::string>{kLastPlayedConfig});

    ASSERT_EQ(LoadLevel(), 0);
    EXPECT_EQ(Clobs(), levelClobs + 5) << "the kept set-up, not the level's";
    EXPECT_TRUE(log.Contains("Level configuration \"Last Played\" restored"));
}

TEST_F(LevelConfig, AJoinedClientKeepsTheLevelsOwnSetUp)
{
    {
        GameServer server(false, 0);
        SetCurrentServer(&server);
        ASSERT_EQ(LoadLevel(), 0);
        Controller().groups[0].uses[kClob] = 77;
        ASSERT_EQ(ExecuteCommand(MakeStartGame({1, 1}).data()), 0);
        SetCurrentServer(nullptr);
    }
    ASSERT_EQ(LoadLevel(), 0);
    EXPECT_NE(Clobs(), 77) << "only the host restores; its requests bring the set-up to everyone";
    EXPECT_FALSE(log.Contains("restored"));
}

} // namespace
