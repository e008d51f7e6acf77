// The client's recording, saved playbacks, the playback slots and their feeding.
#include "../support/LogCapture.h"
#include "../support/TestWorld.h"

#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/LevelGlobals.h"
#include "game/LevelNames.h"
#include "session/NetInfoFile.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/NetInfoFile.h"
#include "session/SessionConsole.h"
#include "session/SessionGame.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Records = std::vector<std::vector<uint8_t>>;

class NamedLevel : public SessionGameState {
public:
    explicit NamedLevel(const std::string& name) { loaded_.name = name; }
};

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetCommandState();
        SetSessionGame(&level);
    }
    void TearDown() override
    {
        GameClient::DiscardTempRecording();
        ResetCommandState();
        SetSessionGame(nullptr);
    }
    static std::vector<uint8_t> Bytes(const NetRecord& r) { return {r.data(), r.data() + r.size()}; }
    // Records a level's worth of commands into the temporary recording.
    Records RecordSome(int ticks)
    {
        Records written;
        const NetRecord records[] = {MakeGameData("kpt_caves.flevel", 7, 0), MakeStartGame({1, 1}),
                                     MakeUpdateFlimbType(3, 2, 'X', 0)};
        for (const NetRecord& r : records) {
            CommandState().recording->WriteRecord(r.data());
            written.push_back(Bytes(r));
        }
        for (int i = 0; i < ticks; ++i) {
            const NetRecord tick = MakeUpdateFlimbs().U8(1, uint8_t(i));
            CommandState().recording->WriteRecord(tick.data());
            written.push_back(Bytes(tick));
        }
        return written;
    }
    static Records ReadFile(const std::string& path)
    {
        NetInfoFileReader reader;
        EXPECT_TRUE(reader.Open(path)) << path;
        Records records;
        while (const uint8_t* r = reader.ReadRecord())
            records.emplace_back(r, r + RecordLength(r));
        return records;
    }
    static bool Exists(const std::string& gamePath) { return fs::exists(GetUserPath(gamePath)); }

    TestWorld world;
    LogCapture log;
    NamedLevel level{"kpt_caves.flevel"};
};

TEST_F(PlaybackTest, ASavedPlaybackHoldsTheRecordingThenTheCameraAndTheEnd)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    const Records written = RecordSome(5);
    ASSERT_TRUE(GameClient::SavePlayback("mine"));
    const std::string path = PlaybackFolder() + "mine.flimbs";
    EXPECT_TRUE(log.Contains("Saved to " + path + "\n"));
    const Records saved = ReadFile(path);
    ASSERT_EQ(saved.size(), written.size() + 2);
    EXPECT_EQ(Records(saved.begin(), saved.end() - 2), written);
    EXPECT_EQ(saved[saved.size() - 2][0], kCmdCameraView);
    const auto& end = saved.back();
    EXPECT_EQ(end, Bytes(MakeNetLoad(0, 1)));
    EXPECT_FALSE(Exists(path + ".part"));

    // The recording goes on after a save.
    const NetRecord more = MakeGulpChange(3, true);
    CommandState().recording->WriteRecord(more.data());
    ASSERT_TRUE(GameClient::SavePlayback("mine"));
    EXPECT_EQ(ReadFile(path).size(), written.size() + 3);

    // Loading gives back exactly the recorded commands: the camera and the end are not
    // commands a client records.
    GameClient::LoadPlayback(path);
    Records loaded;
    for (const NetRecord& r : CommandState().slots[0].records)
        loaded.push_back(Bytes(r));
    Records expected = written;
    expected.push_back(Bytes(more));
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(CommandState().playbackLength, 5u);
}

// GAMEOVER ends the level's recording: what came before it is kept whole, GAMEOVER itself
// is no command a client records, and a later save still holds the recording.
class GameOverRecord : public PlaybackTest {};

TEST_F(GameOverRecord, GameOverClosesTheRecordingWithoutItself)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    const Records written = RecordSome(3);
    EXPECT_EQ(ExecuteCommand(MakeGameOver(3).data()), 0);
    EXPECT_TRUE(log.Contains("The game is over"));
    EXPECT_TRUE(!CommandState().recording || !CommandState().recording->IsOpen()) << "closed at the game over";
    EXPECT_FALSE(NetCommandTable[kCmdGameOver].clientRecords);
    const Records recorded = ReadFile(PlaybackFolder() + "temp.flimbs");
    EXPECT_EQ(recorded, written);
    for (const auto& record : recorded)
        EXPECT_NE(record[0], kCmdGameOver);
}

TEST_F(PlaybackTest, PlaybackNamesFollowTheirRules)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    RecordSome(1);
    const std::string folder = PlaybackFolder();
    EXPECT_EQ(folder, "Profiles\\default-profile\\Playbacks\\");
    EXPECT_EQ(GameClient::PlaybackPath(""), folder + "kpt_caves_000.flimbs");
    ASSERT_TRUE(GameClient::SavePlayback(""));
    EXPECT_EQ(GameClient::PlaybackPath(""), folder + "kpt_caves_001.flimbs");
    ASSERT_TRUE(GameClient::SavePlayback(""));
    EXPECT_TRUE(Exists(folder + "kpt_caves_000.flimbs"));
    EXPECT_TRUE(Exists(folder + "kpt_caves_001.flimbs"));
    EXPECT_EQ(GameClient::PlaybackPath("$turn"), folder + "Abnormal\\$turn.flimbs");
    EXPECT_EQ(GameClient::PlaybackPath("Level\\x.flimbs", true), "Level\\x.flimbs");
    for (const char* bad : {"..\\..\\x", "a/b", "c:x", ".."}) {
        EXPECT_EQ(GameClient::PlaybackPath(bad), "") << bad;
        EXPECT_FALSE(GameClient::SavePlayback(bad)) << bad;
    }
    EXPECT_TRUE(log.Contains("Refused playback name [..\\..\\x]"));
}

TEST_F(PlaybackTest, AFailedSaveSaysSoAndLeavesNoFile)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    RecordSome(2);
    // The target's place is taken by a folder: the finished copy cannot be put there.
    const std::string path = PlaybackFolder() + "broken.flimbs";
    fs::create_directories(GetUserPath(path));
    EXPECT_FALSE(GameClient::SavePlayback("broken"));
    EXPECT_TRUE(log.Contains("Failed to save to " + path + ". Couldn't open file.\n"));
    EXPECT_TRUE(fs::is_directory(GetUserPath(path)));
    EXPECT_FALSE(Exists(path + ".part"));
    // Without a recording there is nothing to save.
    GameClient::DiscardTempRecording();
    EXPECT_FALSE(GameClient::SavePlayback("none"));
    EXPECT_FALSE(Exists(PlaybackFolder() + "none.flimbs"));
}

TEST_F(PlaybackTest, LoadingFillsEightSlotsAndRefusesBadFiles)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    RecordSome(3);
    ASSERT_TRUE(GameClient::SavePlayback("eight"));
    const std::string path = PlaybackFolder() + "eight.flimbs";
    for (int i = 0; i < kPlaybackSlotCount; ++i)
        GameClient::LoadPlayback(path);
    try {
        GameClient::LoadPlayback(path);
        ADD_FAILURE() << "a ninth playback was loaded";
    } catch (const GameException& e) {
        EXPECT_STREQ(e.what(), "There are no open playback slots");
    }
    GameClient::ClearPlaybackSlots();

    const auto failure = [](const std::string& file) {
        try {
            GameClient::LoadPlayback(file);
        } catch (const GameException& e) {
            return std::string(e.what());
        }
        return std::string("loaded");
    };
    EXPECT_EQ(failure("Cache\\Log\\missing.flimbs"), "Playback file [Cache\\Log\\missing.flimbs] is damaged or missing");
    NetInfoFileWriter writer;
    ASSERT_TRUE(writer.Open("Cache\\Log\\invalid.flimbs"));
    writer.WriteRecord(MakeUpdateFlimbs().data());
    NetRecord alien = MakeChecksum(0);
    alien[0] = 50;
    writer.WriteRecord(alien.data());
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(failure("Cache\\Log\\invalid.flimbs"), "Playback file [Cache\\Log\\invalid.flimbs] contains invalid data");
    EXPECT_TRUE(CommandState().slots[0].Free());
}

TEST_F(PlaybackTest, RunningAndSeekingCountUpdates)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    RecordSome(10);
    ASSERT_TRUE(GameClient::SavePlayback("run"));
    GameClient::DiscardTempRecording();
    GameClient::LoadPlayback(PlaybackFolder() + "run.flimbs");
    GameClient::RunPlayback(4);
    EXPECT_EQ(World().clock.updateCounter, 4u);
    GameClient::SeekPlayback(7);
    EXPECT_EQ(World().clock.updateCounter, 7u);
    EXPECT_FALSE(CommandState().playbackEnded);
    GameClient::RunPlayback(UINT32_MAX);
    EXPECT_EQ(World().clock.updateCounter, 10u);
    EXPECT_TRUE(CommandState().playbackEnded);
}

TEST_F(PlaybackTest, AJumpToTheEndEndsThePlaybackSessionAndARewindStartsOver)
{
    EXPECT_FALSE(GameClient::RewindPlayback()) << "nothing loaded";
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    RecordSome(6);
    ASSERT_TRUE(GameClient::SavePlayback("jump"));
    GameClient::DiscardTempRecording();
    GameClient::LoadPlayback(PlaybackFolder() + "jump.flimbs");
    CommandState().sessionKind = kPlaybackPaused;
    // Exactly the recording's length: the session ends although no further run asked.
    GameClient::RunPlayback(6);
    EXPECT_EQ(World().clock.updateCounter, 6u);
    EXPECT_TRUE(CommandState().playbackEnded);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackFinished);

    ASSERT_TRUE(GameClient::RewindPlayback());
    EXPECT_EQ(CommandState().slots[0].cursor, 0u);
    EXPECT_FALSE(CommandState().playbackEnded);
    // A live session is never ended by a run.
    CommandState().sessionKind = kSessionLive;
    GameClient::RunPlayback(UINT32_MAX);
    EXPECT_EQ(CommandState().sessionKind, kSessionLive);
}

int g_returns = 0;

TEST_F(PlaybackTest, ThePlaybackReturnCallbackRunsOnce)
{
    EXPECT_FALSE(RunPlaybackReturnCallback());
    SetPlaybackReturnCallback([] { ++g_returns; });
    EXPECT_TRUE(RunPlaybackReturnCallback());
    EXPECT_FALSE(RunPlaybackReturnCallback());
    EXPECT_EQ(g_returns, 1);
}

uint32_t g_fakeNow = 0;
uint32_t FakeClock()
{
    return g_fakeNow;
}

TEST_F(PlaybackTest, APlaybackSessionThatFallsBehindReplaysAtMostFiveUpdatesAtOnce)
{
    ASSERT_TRUE(GameClient::OpenTempRecording("kpt_caves.flevel"));
    RecordSome(20);
    ASSERT_TRUE(GameClient::SavePlayback("slow"));
    GameClient::DiscardTempRecording();
    GameClient::LoadPlayback(PlaybackFolder() + "slow.flimbs");
    gameClock.SetSource(FakeClock);
    gameClock.Start();
    SetLagSetting(60, false);
    CommandState().sessionKind = kPlaybackPlaying;
    g_fakeNow = 1000;
    RunClientCommands(); // far behind: five updates, then it waits
    EXPECT_EQ(World().clock.updateCounter, 5u);
    RunClientCommands();
    EXPECT_EQ(World().clock.updateCounter, 5u);
    g_fakeNow += 61;
    RunClientCommands();
    EXPECT_EQ(World().clock.updateCounter, 6u);
    g_fakeNow += 10000;
    RunClientCommands();
    EXPECT_EQ(World().clock.updateCounter, 11u);
    RunClientCommands(); // the burst re-based the playback clock: it waits a pulse
    EXPECT_EQ(World().clock.updateCounter, 11u);
    for (int i = 0; i < 20; ++i) {
        g_fakeNow += 61;
        RunClientCommands();
    }
    EXPECT_EQ(World().clock.updateCounter, 20u);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackFinished);
    gameClock.SetSource(nullptr);
    gameClock.Start();
    SetLagSetting(75, false);
}

TEST_F(PlaybackTest, GhostSlotsFeedOneUpdatePerCallShiftedOnACopy)
{
    constexpr int kMultiverse = 4;
    ASSERT_NE(CreateCurrentGameMode(kMultiverse), nullptr);
    Flimb* ghost = AddFlimb(50, 50, 10007, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    ASSERT_NE(ghost, nullptr);
    PlaybackSlot& slot = CommandState().slots[0];
    slot.records.clear();
    for (const NetRecord& r : {MakeUpdateFlimbType(7, kMold, 'X', 0), MakeChat("not for ghosts", 0, 0, 0),
                               MakeUpdateFlimbs(), MakeDecoration("tophat", 7), MakeUpdateFlimbs()})
        slot.records.push_back(r);
    slot.cursor = 0;

    PumpPlayback(true);
    EXPECT_EQ(ghost->type, kMold);
    EXPECT_EQ(slot.cursor, 3u);                        // one update, up to its UPDATE_FLIMBS
    EXPECT_EQ(World().clock.updateCounter, 0u);       // which the live game does not run
    EXPECT_EQ(GetU16(slot.records[0].data(), 6), 7u); // the stored record keeps its id
    EXPECT_EQ(ghost->overlaySet, nullptr);

    PumpPlayback(true);
    EXPECT_EQ(ghost->overlaySet, FindDecorationAnimation("tophat"));
    EXPECT_TRUE(slot.records.empty()); // an ended ghost slot is freed
    ClearCurrentGameMode();
}

// In a FlimbMaster's recording, the recorded player's group order is the FlimbMaster's; an
// order of the recorded match's FlimbMaster group itself (its concession) stays out.
TEST_F(PlaybackTest, GhostGroupOrdersAreTheRecordedPlayersOnly)
{
    constexpr int kMultiverse = 4;
    ASSERT_NE(CreateCurrentGameMode(kMultiverse), nullptr);
    const int flimbMaster = CurrentLevelGlobals().flimbMasterGroup;
    const int player = flimbMaster == 0 ? 1 : 0;
    PlaybackSlot& slot = CommandState().slots[0];
    slot.records = {MakeUpdateFlimbType(int16_t(flimbMaster), 2, 'B', 0), MakeUpdateFlimbs(),
                    MakeUpdateFlimbType(int16_t(player), 2, 'B', 0), MakeUpdateFlimbs()};
    slot.cursor = 0;

    PumpPlayback(true);
    for (uint8_t detonated : Controller().detonation)
        EXPECT_EQ(detonated, 0) << "the recorded FlimbMaster's own order stays out";
    PumpPlayback(true);
    EXPECT_EQ(Controller().detonation[size_t(flimbMaster)], 1);
    EXPECT_EQ(Controller().detonation[size_t(player)], 0);
    ClearCurrentGameMode();
}

} // namespace
