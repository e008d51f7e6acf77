// Loading a level for play and starting its match, on the shipped sample levels; the same
// level run for 200 updates hashes alike in two processes, a received preview or not.
#include "../support/ChildProcess.h"
#include "app/ConsoleParam.h"
#include "app/GameClock.h"
#include "gui/LoadingScreen.h"
#include "app/Random.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/LevelForPlay.h"
#include "game/LevelManager.h"
#include "game/WorldUpdate.h"
#include "modes/ModeServices.h"
#include "platform/desktop/OpenUrl.h"
#include "session/SessionServices.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/SessionRecorder.h"
#include "traps/Trap.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kHashOutput = "FLIMBS_LEVEL_FOR_PLAY_OUT";
constexpr const char* kSample = "s_dm_first_steps";

std::vector<uint8_t> Built(const std::string& name)
{
    std::ifstream in(std::string(FLIMBS_GAME_DIR) + "/Level/" + name + ".flevel", std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t CrcOf(const std::string& path)
{
    return FileHandle::FromString(path).Crc();
}

int ConsoleValue(const char* name)
{
    return ConsoleParam::Find(name)->GetInt();
}

class LevelForPlayTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        for (const char* sample : {"s_dm_first_steps", "m_dm_twin_valleys", "f_dm_the_gardener"})
            AddFile(std::string("Level\\") + sample + ".flevel", Built(sample));
        LevelParts parts;
        const std::string edited = Hashed(parts.Text());
        const size_t title = edited.find("<title>Title</title>");
        AddLevel("Level\\s_dm_edited.flevel", edited.substr(0, title) + "<title>Edited</title>" +
                                                 edited.substr(title + 20), false);
        manager->IndexNames(nullptr, 0, nullptr);
        SetPlaybackRunning(false);
    }
    void TearDown() override
    {
        Levels().Clear();
        SetPlaybackRunning(false);
        LevelFixture::TearDown();
    }

    int32_t Load(const std::string& name, int32_t checksumDelta = 0)
    {
        return LoadLevelForPlay({name, CrcOf("Level\\" + name + ".flevel") + static_cast<uint32_t>(checksumDelta)});
    }
};

TEST_F(LevelForPlayTest, ResultCodes)
{
    ScopedConsoleInt demigod("demigod", 1);
    LogCapture log;
    EXPECT_EQ(Load(kSample), kLoadedForPlay);
    EXPECT_EQ(ConsoleValue("demigod"), 0);
    EXPECT_EQ(Controller().levelFile, "s_dm_first_steps.flevel");
    EXPECT_EQ(Controller().currentLevel.title, "First Steps");
    EXPECT_NE(CurrentGameMode(), nullptr);
    int inUse = 0;
    for (const GroupEntry& group : Controller().groups)
        inUse += group.inUse;
    EXPECT_GE(inUse, 1) << "the level's groups are the controller's";

    EXPECT_EQ(LoadLevelForPlay({"s_dm_missing", 0}), kLoadFileMissing);
    for (const char* hostile : {"..\\Profiles\\x", "../../etc/passwd", "/etc/passwd"})
        EXPECT_EQ(LoadLevelForPlay({hostile, 0}), kLoadFileMissing) << hostile;
    EXPECT_TRUE(log.Contains("Error : [Level\\s_dm_missing.flevel] not found!!!!!\n"));
    EXPECT_EQ(Load(kSample, 1), kLoadChecksumDiffers);
    EXPECT_EQ(Load("s_dm_edited"), kLoadUnreadable);

    SetPlaybackRunning(true);
    EXPECT_EQ(Load(kSample, 1), kLoadedForPlay) << "a playback only warns";
    EXPECT_TRUE(log.Contains("WARNING: playback level crc doesn't match crc from savegame, playback may be incorrect\n"));
}

TEST_F(LevelForPlayTest, TheMatchHostLoadsWhatItHas)
{
    SessionRecorder session; // a game server exists
    EXPECT_EQ(Load(kSample, 1), kLoadedForPlay);
    EXPECT_EQ(LoadLevelForPlay({"s_dm_missing", 0}), kLoadUnreadable) << "went on and found nothing to read";
}

TEST_F(LevelForPlayTest, TheEditorTestLevelKeepsDemigod)
{
    ScopedConsoleInt demigod("demigod", 1);
    LoadLevelForPlay({"editor-test-level", 0});
    EXPECT_EQ(ConsoleValue("demigod"), 1);
}

TEST_F(LevelForPlayTest, StartLevelRunsInOrder)
{
    ASSERT_EQ(Load(kSample), kLoadedForPlay);
    World().traps.highlightedTrapId = 3;
    std::vector<std::string> steps;
    StartLevel([&](const char* step) { steps.push_back(step); });
    EXPECT_EQ(steps, (std::vector<std::string>{"highlight", "control", "disable", "stamp", "run", "music", "counters",
                                               "view", "mode", "start"}));
    EXPECT_EQ(World().traps.highlightedTrapId, -1);
    EXPECT_EQ(Controller().runState, kRunRunning);
    EXPECT_TRUE(IsMatchStarted());
}

uint32_t g_clockReads = 0;

TEST_F(LevelForPlayTest, LoadProgressCountsAndKeepsTheSessionAlive)
{
    SessionRecorder session;
    LoadingScreen screen;
    screen.SetProgressRange(100);
    gameClock.SetSource([] { return ++g_clockReads; });
    for (int call = 0; call < 30; ++call)
        LevelLoadProgress(&screen);
    gameClock.SetSource(nullptr);
    EXPECT_EQ(screen.ProgressCount(), 30);
    EXPECT_EQ(g_clockReads, 3u) << "the clock advances on every tenth call";
    EXPECT_EQ(session.checkReceivedCalls, 30);
    LevelLoadProgress(nullptr);
}

// The sample started with or without an open game view.
uint64_t StartedHash(bool withView, std::vector<std::string>* moves)
{
    GameViewHooks hooks;
    if (withView) {
        hooks.gameViewOpen = [] { return true; };
        hooks.resetViewDirection = [moves] { moves->push_back("reset"); };
        hooks.scrollTo = [moves](float x, float y, uint32_t ms) {
            moves->push_back("scroll " + std::to_string(int(x)) + " " + std::to_string(int(y)) + " " +
                             std::to_string(ms));
        };
    }
    SetGameViewHooks(hooks);
    StartLevel();
    const uint64_t hash = WorldStateHash();
    ResetGameViewHooks();
    return hash;
}

TEST_F(LevelForPlayTest, PlacingTheViewChangesNoSimulatedState)
{
    SimSrand(5);
    ASSERT_EQ(Load(kSample), kLoadedForPlay);
    AddLocalPlayerIfNone();
    Controller().localPlayer->team = static_cast<uint8_t>(FindStartTrapOfGroup(0) ? 0 : 1);
    const Trap* start = FindStartTrapOfGroup(Controller().localPlayer->team);
    ASSERT_NE(start, nullptr);
    std::vector<std::string> moves;
    const uint64_t viewed = StartedHash(true, &moves);
    EXPECT_EQ(moves, (std::vector<std::string>{"reset", "scroll " + std::to_string(int(start->x)) + " " +
                                                            std::to_string(int(start->y)) + " 500"}));

    world.reset();
    world = std::make_unique<TestWorld>();
    SimSrand(5);
    ASSERT_EQ(Load(kSample), kLoadedForPlay);
    AddLocalPlayerIfNone();
    Controller().localPlayer->team = static_cast<uint8_t>(FindStartTrapOfGroup(0) ? 0 : 1);
    EXPECT_EQ(StartedHash(false, nullptr), viewed);
}

TEST_F(LevelForPlayTest, LonelyMatchOnlyUnderItsConditions)
{
    const struct {
        const char* name;
        int32_t session;
        int publicServer;
        int players;
        bool admin;
        bool frontEnd;
        bool shown;
    } cases[] = {
        {"alone", kSessionNetworked, 1, 1, true, false, true},
        {"local", kSessionLocal, 1, 1, true, false, false},
        {"private", kSessionNetworked, 0, 1, true, false, false},
        {"two", kSessionNetworked, 1, 2, true, false, false},
        {"not admin", kSessionNetworked, 1, 1, false, false, false},
        {"front end", kSessionNetworked, 1, 1, true, true, false},
    };
    std::vector<std::string> opened;
    platform::SetOpenUrlHandler([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world.reset();
        world = std::make_unique<TestWorld>();
        ScopedConsoleInt listed("publicServer", c.publicServer);
        Controller().sessionKind = c.session;
        Controller().frontEndFlag = c.frontEnd ? 1 : 0;
        Controller().groups[0].inUse = 1;
        for (int p = 0; p < c.players; ++p) {
            PlayerRecord record;
            record.id = static_cast<uint8_t>(p);
            record.admin = c.admin && p == 0;
            AddOrUpdatePlayer(record, p == 0);
        }
        std::vector<std::string> steps;
        StartLevel([&](const char* step) { steps.push_back(step); });
        EXPECT_EQ(std::find(steps.begin(), steps.end(), std::string("lonely")) != steps.end(), c.shown);
    }
    platform::SetOpenUrlHandler(nullptr);
}

TEST_F(LevelForPlayTest, TheGameStartIsReportedOnlyByTheHost)
{
    for (int stateWord : {0, 1}) {
        world.reset();
        world = std::make_unique<TestWorld>();
        SessionRecorder session;
        session.stateWord = stateWord;
        std::vector<std::string> steps;
        StartLevel([&](const char* step) { steps.push_back(step); });
        EXPECT_EQ(steps.back() == "stats", stateWord == 0);
    }
    std::vector<std::string> steps;
    StartLevel([&](const char* step) { steps.push_back(step); });
    EXPECT_NE(steps.back(), "stats") << "no game server";
}

TEST_F(LevelForPlayTest, GameOverView)
{
    ASSERT_EQ(Load(kSample), kLoadedForPlay);
    StartLevel();
    Controller().matchResult = 3;
    std::vector<uint32_t> zooms;
    GameViewHooks hooks;
    hooks.gameViewOpen = [] { return true; };
    hooks.zoomToFit = [&](uint32_t ms) { zooms.push_back(ms); };
    SetGameViewHooks(hooks);
    ShowGameOverView();
    EXPECT_EQ(zooms, std::vector<uint32_t>{500});
    EXPECT_NE(Controller().matchResult, 3);
    ResetGameViewHooks();
}

// Loads and starts the sample, runs 200 updates (a received preview written after 100 when
// asked) and gives the world state hash.
uint64_t RunSample(bool withPreview, int updates = 200)
{
    std::filesystem::create_directories(GetUserPath("Level")); // where the received file lies
    SimSrand(11);
    EXPECT_EQ(LoadLevelForPlay({kSample, CrcOf(std::string("Level\\") + kSample + ".flevel")}), kLoadedForPlay);
    AddLocalPlayerIfNone();
    StartLevel();
    for (int update = 0; update < updates; ++update) {
        if (withPreview && update == 100) {
            LogCapture log;
            EXPECT_TRUE(WriteReceivedLevelPreview("Level\\m_dm_twin_valleys.flevel")) << log.Copy();
        }
        UpdateWorld();
    }
    return WorldStateHash();
}

// The simulation asks the higher floors only through its hooks: with none filled (a headless
// program without session, HUD or screens) the sample runs to the same state.
TEST_F(LevelForPlayTest, RunsAlikeWithoutTheHigherFloors)
{
    const uint64_t here = RunSample(false);
    struct HooksEmptied {
        GameHooks filled = CurrentGameHooks();
        HooksEmptied() { CurrentGameHooks() = GameHooks{}; }
        ~HooksEmptied() { CurrentGameHooks() = filled; }
    } emptied;
    world.reset();
    world = std::make_unique<TestWorld>();
    EXPECT_EQ(RunSample(false), here);
}

// Runs only inside the child that TwoProcessesEndAlike starts.
TEST_F(LevelForPlayTest, RunChild)
{
    const char* output = std::getenv(kHashOutput);
    if (!output)
        GTEST_SKIP() << "run by LevelForPlayTest.TwoProcessesEndAlike";
    std::filesystem::remove(GetUserPath("Level\\m_dm_twin_valleys.jpg"));
    const uint64_t hash = RunSample(true);
    EXPECT_TRUE(std::filesystem::is_regular_file(GetUserPath("Level\\m_dm_twin_valleys.jpg")));
    std::ofstream(output) << hash << '\n';
}

TEST_F(LevelForPlayTest, TwoProcessesEndAlike)
{
    if (std::getenv(kHashOutput))
        GTEST_SKIP();
    const uint64_t here = RunSample(false);
    world.reset();
    world = std::make_unique<TestWorld>();
    EXPECT_EQ(RunSample(true), here) << "a received preview changes nothing";
    world.reset();
    world = std::make_unique<TestWorld>();
    EXPECT_NE(RunSample(false, 150), here) << "the level runs: its state moves on";

    const std::string output = GetUserRoot() + "/level-for-play.txt";
    ChildProcess child("LevelForPlayTest.RunChild", {{kHashOutput, output}});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(child.Wait(120000)) << "child run did not end";
    ASSERT_EQ(child.ExitCode(), 0) << "child run failed";
    std::ifstream in(output);
    uint64_t there = 0;
    ASSERT_TRUE(in >> there) << "the child wrote no hash";
    EXPECT_EQ(there, here);
}

} // namespace
