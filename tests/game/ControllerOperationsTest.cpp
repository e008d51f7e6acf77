// The controller's player list, group operations, time texts and level names.
#include "app/PlayerProfile.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/GameTimeFormat.h"
#include "game/LevelManager.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "platform/window/MainWindow.h"
#include "tests/support/GameFiles.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SessionRecorder.h"
#include "tests/support/TestWorld.h"
#include "traps/Trap.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

PlayerRecord Player(uint8_t id, uint8_t team, bool spectator = false)
{
    PlayerRecord record;
    record.id = id;
    record.name = "p" + std::to_string(id);
    record.team = team;
    record.spectator = spectator ? 1 : 0;
    return record;
}

void UseGroups(std::initializer_list<int> groups)
{
    for (int g : groups)
        Controller().groups[static_cast<size_t>(g)].inUse = 1;
}

std::string ControlOf(uint8_t id)
{
    std::string text;
    for (uint8_t c : Controller().FindPlayer(id)->control)
        text += c ? '1' : '0';
    return text;
}

Trap* AddTrap(int32_t kind, uint8_t group)
{
    std::unique_ptr<Trap> made = Trap::Create(kind);
    Trap* trap = made.get();
    trap->SetGroup(group);
    trap->activated = 1;
    RegisterTrap(std::move(made));
    return trap;
}

TEST(GameTimeText, Table)
{
    const struct {
        uint32_t updates;
        bool fraction;
        const char* text;
    } cases[] = {
        {0, false, "00:00"},      {0, true, "00:00.000"},  {14, true, "00:00.994"}, {1, true, "00:00.071"},
        {15, true, "00:01.065"},  {845, false, "00:59"},   {846, false, "01:00"},
        {84507, false, "99:59"},  {84508, true, "00:00.068"}, // 100 minutes wrap to 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGameTime(c.updates, c.fraction), c.text) << c.updates << " " << c.fraction;
}

TEST(ControllerPlayers, AddUpdateFindCountAndRemove)
{
    TestWorld test;
    UseGroups({0, 1});
    AddOrUpdatePlayer(Player(4, 1), true);
    AddOrUpdatePlayer(Player(7, 0), false);
    AddOrUpdatePlayer(Player(9, 0, true), false);
    ASSERT_EQ(Controller().players.size(), 3u);
    EXPECT_EQ(Controller().localPlayer, Controller().FindPlayer(4));
    EXPECT_EQ(Controller().FindPlayer(5), nullptr);
    EXPECT_EQ(Controller().CountPlayers(0, false), 1);
    EXPECT_EQ(Controller().CountPlayers(0, true), 2);
    EXPECT_EQ(Controller().CountPlayers(-1, true), 3);

    // An update keeps the record and its place.
    PlayerRecord renamed = Player(7, 1);
    renamed.name = "seven";
    AddOrUpdatePlayer(renamed, false);
    EXPECT_EQ(Controller().players.size(), 3u);
    EXPECT_EQ(Controller().players[1]->name, "seven");
    EXPECT_EQ(ControlOf(7), "01000000");
    EXPECT_EQ(ControlOf(9), "00000000") << "spectators control nothing";

    EXPECT_FALSE(Controller().AreAllPlayersReady());
    for (auto& player : Controller().players)
        player->ready = 1;
    EXPECT_TRUE(Controller().AreAllPlayersReady());
    ClearReadyFlags();
    EXPECT_FALSE(Controller().AreAllPlayersReady());

    RemovePlayer(4);
    EXPECT_EQ(Controller().localPlayer, nullptr);
    EXPECT_EQ(Controller().players.size(), 2u);
    Controller().ClearPlayers();
    EXPECT_TRUE(Controller().AreAllPlayersReady()) << "no players: all ready";
    AddLocalPlayerIfNone();
    AddLocalPlayerIfNone();
    ASSERT_EQ(Controller().players.size(), 1u);
    EXPECT_EQ(Controller().localPlayer->name, "local");
}

TEST(ControllerPlayers, TeamControlGivesEveryGroupOfTheTeam)
{
    TestWorld test;
    UseGroups({0, 1, 2, 3});
    Controller().groups[2].team = 1;
    Controller().groups[3].team = 1;
    AddOrUpdatePlayer(Player(1, 1), false);
    EXPECT_EQ(ControlOf(1), "01000000");
    Controller().teamControl = 1;
    AssignControl();
    EXPECT_EQ(ControlOf(1), "00110000") << "groups 2 and 3 have team 1; group 1's own team is 0";
}

TEST(ControllerPlayers, TeamOutsideTheTableIsRefused)
{
    TestWorld test;
    LogCapture log;
    AddOrUpdatePlayer(Player(1, 9), false);
    EXPECT_EQ(ControlOf(1), "00000000");
    EXPECT_TRUE(log.Contains("player 1 has team 9"));
}

TEST(ControllerPlayers, NewPlayersGoToTheLeastFilledGroupLowestFirst)
{
    TestWorld test;
    EXPECT_EQ(PickGroupForNewPlayer(), -1) << "no group in use";
    UseGroups({2, 5, 6});
    EXPECT_EQ(PickGroupForNewPlayer(), 2) << "tie: lowest";
    Controller().players.push_back(std::make_unique<PlayerRecord>(Player(1, 2)));
    Controller().players.push_back(std::make_unique<PlayerRecord>(Player(2, 5)));
    Controller().players.push_back(std::make_unique<PlayerRecord>(Player(3, 6, true)));
    EXPECT_EQ(PickGroupForNewPlayer(), 6) << "spectators do not count";
}

TEST(ControllerPlayers, RebalancingMovesPlayersOffUnusedGroupsInNetworkedMatches)
{
    TestWorld test;
    SessionRecorder session;
    UseGroups({1, 3});
    AddOrUpdatePlayer(Player(1, 7), false);
    EXPECT_EQ(Controller().FindPlayer(1)->team, 7) << "a local match keeps the teams";

    Controller().sessionKind = kSessionNetworked;
    AddOrUpdatePlayer(Player(2, 3), false);
    EXPECT_EQ(Controller().FindPlayer(1)->team, 1);
    EXPECT_EQ(Controller().FindPlayer(2)->team, 3);
    AddOrUpdatePlayer(Player(3, 0), false);
    AddOrUpdatePlayer(Player(4, 0, true), false);
    EXPECT_EQ(Controller().FindPlayer(3)->team, 1) << "tie between 1 and 3: the lowest";
    EXPECT_EQ(Controller().FindPlayer(4)->team, 0) << "spectators stay";
    EXPECT_EQ(session.requests, (std::vector<std::string>{"teamof 1 1", "teamof 3 1"}));
    EXPECT_EQ(ControlOf(3), "01000000");
}

TEST(ControllerPlayers, TeamsWithPlayersAndTheNthOfThem)
{
    TestWorld test;
    EXPECT_EQ(GetNthTeamWithPlayers(0), -1);
    UseGroups({4, 6});
    EXPECT_EQ(GetNthTeamWithPlayers(0), 4) << "no players: the first group in use";
    for (auto [id, team, spectator] : {std::tuple{1, 5, false}, {2, 2, false}, {3, 5, false}, {4, 0, true}})
        Controller().players.push_back(std::make_unique<PlayerRecord>(Player(uint8_t(id), uint8_t(team), spectator)));
    EXPECT_EQ(CountTeamsWithPlayers(), 2);
    EXPECT_EQ(GetNthTeamWithPlayers(0), 2);
    EXPECT_EQ(GetNthTeamWithPlayers(1), 5);
    EXPECT_EQ(GetNthTeamWithPlayers(2), 4);
}

TEST(ControllerPlayers, DumpWritesOneLinePerPlayer)
{
    TestWorld test;
    LogCapture log;
    PlayerRecord record = Player(3, 2);
    record.accountName = "acc";
    record.ready = 1;
    AddOrUpdatePlayer(record, false);
    DumpPlayers();
    EXPECT_EQ(log.Copy(), "  [id=03] [p3 - acc] team=02 group=02 control=00100000 ready=1 spectator=0\n");
}

TEST(ControllerPlayers, AdminIsAnnouncedAndUnique)
{
    TestWorld test;
    AddOrUpdatePlayer(Player(1, 0), false);
    AddOrUpdatePlayer(Player(2, 0), false);
    Controller().SetAdmin(*Controller().FindPlayer(1));
    Controller().SetAdmin(*Controller().FindPlayer(2));
    EXPECT_EQ(Controller().FindPlayer(1)->admin, 0);
    EXPECT_EQ(Controller().FindPlayer(2)->admin, 1);
    ASSERT_EQ(Controller().messages.Entries().size(), 2u);
    EXPECT_EQ(Controller().messages.Entries().back().text, "p2 is now the admin.");
}

TEST(ControllerPlayers, AvatarNamesNeverLeaveTheAvatarFolder)
{
    TestWorld test;
    platform::MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 64, 48}));
    DXManager::Init(&window, 64, 48);
    ScopedGameFiles files(false);
    files.AddPng("User\\Avatars\\loading.png", 4, 2, std::vector<uint32_t>(8, 0xFF00FF00));
    AnimSurface* loading = ImageCache::GetImage("User\\Avatars\\loading.png");
    ASSERT_NE(loading, nullptr);
    LogCapture log;
    for (const char* name : {"nobody", "..\\..\\Profiles\\x", "../up", "a\\b", "a/b", "..", "c:x"}) {
        PlayerRecord record = Player(1, 0);
        record.name = name;
        PlayerRecord& player = AddOrUpdatePlayer(record, false);
        ReleasePlayerAvatars();
        EXPECT_EQ(Controller().GetPlayerAvatar(player), loading) << name;
        EXPECT_EQ(Controller().GetPlayerAvatar(player), loading) << "cached";
        EXPECT_EQ(loading->hotspotX, 2);
        EXPECT_EQ(loading->hotspotY, 1);
    }
    EXPECT_TRUE(log.Contains("player name [../up] names no avatar file"));
    EXPECT_FALSE(log.Contains("[nobody]"));
    const int held = ImageCache::ReferenceCount(loading);
    Controller().ClearPlayers();
    EXPECT_EQ(ImageCache::ReferenceCount(loading), held - 1) << "the player's reference is released";
    ImageCache::ReleaseImage(loading);
    ImageCache::Clear();
    DXManager::Shutdown();
}

TEST(ControllerGroups, OutOfTableActionsAndSamplesAreRefused)
{
    TestWorld test;
    LogCapture log;
    Flimb flimb{};
    flimb.Init();
    flimb.group = 1;
    UseGroupAction(11, flimb);
    flimb.group = 8;
    UseGroupAction(0, flimb);
    RecordGroupSample(8, 1);
    EXPECT_TRUE(log.Contains("action 11 of group 1 is outside the budget table"));
    EXPECT_TRUE(log.Contains("action 0 of group 8"));
    EXPECT_TRUE(log.Contains("sample of group 8"));
    EXPECT_EQ(SumGroupStat(1), 0);
}

TEST(ControllerGroups, ScoresSumsAndFlimbCounts)
{
    TestWorld test;
    UseGroups({0, 2});
    Controller().stats[0].score = 5;
    Controller().stats[1].score = 100; // not in use
    Controller().stats[2].score = -2;
    EXPECT_EQ(GetGroupScore(255), 3);
    EXPECT_EQ(GetGroupScore(1), 100);
    Controller().stats[2].actionCounts = {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 4};
    EXPECT_EQ(SumGroupStat(2), 10);
    World().tallies[1][kTallyAlive] = 4;
    World().tallies[6][kTallyAlive] = 3;
    EXPECT_EQ(CountGroupFlimbs(6), 3);
    EXPECT_EQ(CountGroupFlimbs(255), 7);
}

TEST(ControllerGroups, SamplesRunsAndTheCountBeyondTheLimit)
{
    TestWorld test;
    // Runs: 2 2 | 5 | 2 | 7 7 7 -> samples not of group 2: 1 + 3.
    for (uint8_t value : {2, 2, 5, 2, 7, 7, 7})
        RecordGroupSample(2, value);
    EXPECT_EQ(CountSamplesNotOwn(2), 4u);
    const GroupSamples& samples = Controller().counters.samples[2];
    EXPECT_EQ(samples.runStarts, (std::vector<uint32_t>{0, 2, 3, 4}));

    for (uint32_t i = 0; i < kGroupSampleLimit + 10; ++i)
        RecordGroupSample(3, i < kGroupSampleLimit - 1 ? 3 : 4);
    const GroupSamples& many = Controller().counters.samples[3];
    EXPECT_EQ(many.values.size(), kGroupSampleLimit);
    EXPECT_EQ(many.count, kGroupSampleLimit + 10);
    EXPECT_EQ(CountSamplesNotOwn(3), 11u) << "the last stored run goes on through the counted ones";
}

TEST(ControllerGroups, StartExitAndCameraTrapsOfAGroup)
{
    TestWorld test;
    Trap* idle = AddTrap(kTrapStart, 1);
    idle->activated = 0;
    Trap* start = AddTrap(kTrapStart, 1);
    start->SetFlimbsLeft(6);
    AddTrap(kTrapStart, 2)->SetFlimbsLeft(3);
    Trap* disabled = AddTrap(kTrapStart, 2);
    disabled->SetFlimbsLeft(20);
    disabled->SetEnabled(false);
    Trap* exit = AddTrap(kTrapExit, 1);
    exit->SetFlimbsWanted(4);
    Trap* camera = AddTrap(kTrapCamera, 2);

    EXPECT_EQ(FindStartTrapOfGroup(1), start);
    EXPECT_EQ(FindStartTrapOfGroup(3), nullptr);
    EXPECT_EQ(FindCameraTrapOfGroup(2), camera);
    EXPECT_EQ(CountStartTraps(1), 2);
    EXPECT_EQ(CountStartTraps(-1), 4);
    EXPECT_EQ(CountFlimbsToCome(1, false), 6);
    EXPECT_EQ(CountFlimbsToCome(-1, true), 9);
    int32_t takenIn = -1, wanted = -1;
    SumExitCounters(1, takenIn, wanted);
    EXPECT_EQ(takenIn, 0);
    EXPECT_EQ(wanted, 4);

    StopGroupSupply(1);
    EXPECT_EQ(CountFlimbsToCome(1, false), 0);
    EXPECT_EQ(CountFlimbsToCome(2, false), 3);

    UseGroups({1});
    DisableUnusedGroupTraps();
    EXPECT_TRUE(start->enabled);
    EXPECT_TRUE(exit->enabled);
    EXPECT_FALSE(GetTrapsOfKind(kTrapStart)[2]->enabled) << "group 2 is not in use";
    EXPECT_EQ(GetTrapsOfKind(kTrapStart)[2]->visible, 0);
}

TEST(ControllerGroups, ExitsFilledFiresOnceAndOnlyInALocalCorralMatch)
{
    const struct {
        int32_t session;
        int32_t mode;
        int32_t wanted;
        bool fires;
    } cases[] = {
        {kSessionLocal, 0, 0, true},
        {kSessionLocal, 0, 2, false},
        {kSessionNetworked, 0, 0, false},
        {kSessionLocal, 1, 0, false},
    };
    for (const auto& c : cases) {
        TestWorld test;
        test.AddLocalPlayer().team = 1;
        Controller().sessionKind = c.session;
        Controller().modeIndex = c.mode;
        AddTrap(kTrapExit, 1)->SetFlimbsWanted(c.wanted);
        AddTrap(kTrapExit, 2)->SetFlimbsWanted(9); // another group's exit
        CheckExitsFilled();
        EXPECT_EQ(Controller().counters.exitsFilled, c.fires ? 1 : 0) << c.session << c.mode << c.wanted;
    }
}

TEST(ControllerGroups, PrefixesCheatWordAndAnnouncements)
{
    TestWorld test;
    for (auto [prefix, index] : {std::pair{"s", 0}, {"m", 1}, {"f", 2}, {"c", 0}, {"", 0}, {"x", 0}})
        EXPECT_EQ(LevelPrefixIndex(prefix), index) << prefix;
    LogCapture log;
    CheckCheatWord("");
    CheckCheatWord("quel");
    EXPECT_EQ(log.Copy(), "");
    CheckCheatWord("quelp");
    EXPECT_EQ(log.Copy(), "CHEAT MODE ACTIVATED!\n");
    Controller().messages.Add("chat", 3);
    AnnounceMessage("hello", false);
    ASSERT_EQ(Controller().messages.Entries().size(), 2u);
    EXPECT_EQ(Controller().messages.Entries().back().sender, -1);
    ResetGameController();
    ASSERT_EQ(Controller().messages.Entries().size(), 1u) << "the chat stays";
}

TEST(ControllerGroups, SpawnedFlimbsTakeSizeAttributeAndAnId)
{
    TestWorld test;
    FlimbSpawnArgs args;
    args.x = 100;
    args.y = 50;
    args.group = 2;
    args.type = 10;
    args.attributes = kAttrMarked;
    const struct {
        int8_t size;
        float scale;
    } cases[] = {{0, 0.5f}, {2, 2.0f}, {-3, 3.0f}};
    std::vector<int16_t> ids;
    for (const auto& c : cases) {
        args.size = c.size;
        Flimb* flimb = SpawnFlimb(args);
        ASSERT_NE(flimb, nullptr);
        EXPECT_EQ(flimb->scale, c.scale) << int(c.size);
        EXPECT_EQ(flimb->group, 2);
        EXPECT_NE(flimb->attributes & kAttrMarked, 0);
        ids.push_back(flimb->id);
    }
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_NE(ids[1], ids[2]);
}

TEST(Checkpoints, ByNumberAutomaticAndMissing)
{
    TestWorld test;
    CurrentProfile().Load("Checker");
    const std::filesystem::path folder = GetUserPath(CurrentProfile().GetPath() + "\\Checkpoints");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    FileManager manager;
    auto user = std::make_unique<StandardFileManager>();
    user->AddRootFolder("Profiles");
    manager.AddMember(std::move(user));
    FileManager* previous = fileManager;
    fileManager = &manager;
    Controller().levelFile = "s_dm_x.flevel";
    SessionRecorder session;

    Controller().LoadCheckpoint(true, 2);
    Controller().LoadCheckpoint(false, 0);
    EXPECT_TRUE(session.requests.empty()) << "no checkpoints: nothing happens";

    for (const char* leaf : {"auto-s_dm_x0.flimbs", "s_dm_x-1.flimbs", "s_dm_x-2.flimbs", "s_dm_xy-2.flimbs"})
        std::ofstream(folder / leaf) << "rec";
    manager.IndexNames(nullptr, 0, nullptr);
    const std::string path = CurrentProfile().GetPath() + "\\Checkpoints\\";
    Controller().LoadCheckpoint(true, 2);
    Controller().LoadCheckpoint(false, 0);
    Controller().LoadCheckpoint(true, 7);
    // Each is played as a checkpoint of the running level.
    const std::string of = " of s_dm_x.flevel";
    EXPECT_EQ(session.requests, (std::vector<std::string>{"play " + path + "s_dm_x-2.flimbs" + of,
                                                          "play " + path + "auto-s_dm_x0.flimbs" + of}));
    session.requests.clear();
    EXPECT_TRUE(Controller().PlayCheckpointFile("s_dm_x-1.flimbs")) << "a bare name lies in the folder";
    EXPECT_FALSE(Controller().PlayCheckpointFile("s_dm_x-9.flimbs"));
    EXPECT_EQ(session.requests, std::vector<std::string>{"play " + path + "s_dm_x-1.flimbs" + of});
    fileManager = previous;
    std::filesystem::remove_all(folder);
}

TEST(LevelNames, NameSolutionAndPreviewPaths)
{
    TestWorld test;
    ScopedGameFiles files(false);
    Controller().levelFile = "s_dm_x.flevel";
    EXPECT_EQ(Controller().GetLevelName(true), "s_dm_x.flevel");
    EXPECT_EQ(Controller().GetLevelName(false), "s_dm_x");
    EXPECT_EQ(GetSolutionPath(), "") << "no solution recording";
    files.AddFile("Level\\Solutions\\s_dm_x.flimbs", "rec");
    EXPECT_EQ(GetSolutionPath(), "Level\\Solutions\\s_dm_x.flimbs");

    const struct {
        const char* name;
        const char* preview;
    } cases[] = {
        {"Level\\s_dm_x.flevel", "Cache\\Previews\\s_dm_x.jpg"},
        {"Playbacks\\s_dm_x0001.flimbs", "Cache\\Previews\\s_dm_x.jpg"},
        {"abc.flimbs", "Cache\\Previews\\abc.jpg"}, // too short to cut
        {"abcd.flimbs", "Cache\\Previews\\abcd.jpg"},
        {"abcde.flimbs", "Cache\\Previews\\a.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LevelManager::GetPreviewPath(c.name), c.preview) << c.name;
}

} // namespace
