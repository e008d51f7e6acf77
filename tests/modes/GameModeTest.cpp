// The game-mode base: the mode table and factory, the freeze count, the published result,
// the base end test, the result table, the exit and blast events, the command list and the
// current mode's services.
#include "../support/FakeMatch.h"
#include "../support/DynamicType.h"

#include "app/KeyBindings.h"
#include "app/Log.h"
#include "media/KeyTables.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/GameMode.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"
#include "modes/SuperSynergyMode.h"
#include "world/BindableAction.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <typeinfo>
#include <algorithm>
#include <map>

namespace {

using ModeTable = MatchFixture;

TEST_F(ModeTable, FactoryNamesAndPrefixes)
{
    const char* names[] = {"CorralTheFlimb", "CaptureTheFlimb", "ProcureTheParticle", "QuantumQuarrel",
                           "MultiverseMatch", "QuantumLoop", "SuperSynergy"};
    const char* prefixes[] = {"dm", "kpt", "ctf", "lcs", "ar", "tl", "ss"};
    for (int i = 0; i < kModeCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(GameMode::IndexFromName(names[i]), i);
        EXPECT_EQ(GameMode::IndexFromPrefix(prefixes[i]), i);
        EXPECT_STREQ(GameModeShortCode(i), prefixes[i]);
        std::unique_ptr<GameMode> mode = GameMode::Create(i);
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(mode->modeIndex, i);
    }
    EXPECT_EQ(DynamicType(GameMode::Create(0)), typeid(CorralTheFlimbMode));
    EXPECT_EQ(DynamicType(GameMode::Create(6)), typeid(SuperSynergyMode));
    // The rescue rule: anything unknown is the rescue mode; names compare exactly.
    EXPECT_EQ(GameMode::IndexFromName("Nothing"), 0);
    {
        std::ifstream log(LogFilePath());
        std::stringstream text;
        text << log.rdbuf();
        EXPECT_NE(text.str().find("WARNING: unknown game mode [Nothing]; the rescue mode is played"), std::string::npos);
    }
    EXPECT_EQ(GameMode::IndexFromName("superSynergy"), 0);
    EXPECT_EQ(GameMode::IndexFromName(""), 0);
    EXPECT_EQ(GameMode::IndexFromPrefix("tl"), 5);
    EXPECT_EQ(GameMode::IndexFromPrefix("ctq"), 0);
    for (int index : {7, 8, -1, 1000})
        EXPECT_EQ(GameMode::Create(index), nullptr) << index;
    EXPECT_STREQ(GameModeKeyName(7), "");
    EXPECT_STREQ(GameModeShortCode(-1), "");
}

TEST_F(ModeTable, ConstructionSetsTheOptionsAndTheCommandList)
{
    CurrentMatchOptions().explosionMag = 3;
    CurrentMatchOptions().shatterDoppel = false;
    std::unique_ptr<GameMode> mode = GameMode::Create(6);
    EXPECT_EQ(CurrentMatchOptions().explosionMag, 55);
    EXPECT_TRUE(CurrentMatchOptions().shatterDoppel);
    EXPECT_EQ(CurrentMatchOptions().doubleSpeedMorph, -1);
    ASSERT_EQ(mode->commands.size(), 44u);
    EXPECT_EQ(mode->commands.front().name, "Clob");
    EXPECT_EQ(mode->commands.back().name, "FreezeTime");
    EXPECT_EQ(mode->statLabels[0], "Saved");
    EXPECT_EQ(mode->winningGroup, 255);
    EXPECT_EQ(mode->trackedGroup, -1);
}

TEST_F(ModeTable, CountFreezeStopsAt255)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    for (int call = 1; call <= 254; ++call)
        ASSERT_EQ(mode->CountFreeze(), call);
    EXPECT_EQ(mode->CountFreeze(), 255);
    EXPECT_EQ(mode->CountFreeze(), 255);
    EXPECT_EQ(mode->freezeCount, 254);
    EXPECT_EQ(mode->FreezePenaltySeconds(), 254);
    mode->StartMatch();
    EXPECT_EQ(mode->CountFreeze(), 1);
}

TEST_F(ModeTable, ToggleFreezeFreezesAndGoesBack)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    effects.serverState = 1;
    mode->ToggleFreeze();
    EXPECT_EQ(effects.serverState, 4);
    EXPECT_EQ(effects.freezeBroadcasts, 1);
    mode->ToggleFreeze();
    EXPECT_EQ(effects.serverState, 1);
    EXPECT_EQ(effects.freezeBroadcasts, 1);
}

TEST_F(ModeTable, PublishResultMirrorsForOtherGroups)
{
    struct Case {
        int winner;
        int local;
        int code;
        int published;
    };
    const Case cases[] = {
        {2, 2, 1, 1}, {2, 2, 2, 2}, {2, 2, 3, 3}, {2, 2, 4, 4}, {2, 2, 5, 5}, {2, 2, 6, 6},
        {2, 0, 1, 2}, {2, 0, 2, 1}, {2, 0, 3, 3}, {2, 0, 4, 4}, {2, 0, 5, 6}, {2, 0, 6, 5},
        {255, 0, 1, 1}, {255, 0, 2, 2}, {255, 0, 3, 3}, {255, 0, 4, 4}, {255, 3, 5, 5}, {255, 3, 6, 6},
    };
    world.editorTest = true; // no profile work
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "winner " << c.winner << " local " << c.local << " code " << c.code);
        std::unique_ptr<GameMode> mode = GameMode::Create(0);
        world.localGroup = c.local;
        world.matchResult = 0;
        mode->SetResult(c.code, c.winner);
        mode->PublishResult();
        EXPECT_EQ(world.matchResult, c.published);
    }
}

TEST_F(ModeTable, BaseEndTest)
{
    struct Case {
        const char* what;
        bool multiplayer;
        uint32_t counter;
        int32_t unreleased;
        int particles;
        bool frozenHold;
        int32_t tally;
        int32_t flag16;
        bool over;
    };
    const Case cases[] = {
        {"sp counter 0", false, 0, 0, 0, false, 0, 0, false},
        {"sp all gone", false, 5, 0, 0, false, 0, 0, true},
        {"sp unreleased", false, 5, 1, 0, false, 0, 0, false},
        {"sp 10 particles", false, 5, 0, 10, false, 0, 0, true},
        {"sp 11 particles", false, 5, 0, 11, false, 0, 0, false},
        {"sp frozen hold", false, 5, 0, 0, true, 0, 0, false},
        {"sp tally left", false, 5, 0, 0, false, 1, 0, false},
        {"mp counter 0", true, 0, 0, 0, false, 0, 0, false},
        {"mp all gone", true, 5, 0, 0, false, 0, 0, true},
        {"mp unreleased", true, 5, 2, 0, false, 0, 0, false},
        {"mp 11 particles", true, 5, 0, 11, false, 0, 0, false},
        {"mp only flag-16 flimbs left", true, 5, 0, 0, false, 2, 2, true},
        {"mp live flimbs left", true, 5, 0, 0, false, 2, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMatchWorld fresh;
        SetMatchWorld(&fresh);
        fresh.multiplayer = c.multiplayer;
        fresh.updateCounter = c.counter;
        fresh.startWaiting[1] = c.unreleased;
        fresh.particles = c.particles;
        if (c.frozenHold)
            fresh.frozenTraps.push_back({0, true});
        fresh.frozenTraps.push_back({1, true}); // another group's hold does not count
        fresh.SetInPlay(0, c.tally);
        fresh.tallies[0].flag16 = c.flag16;
        std::unique_ptr<GameMode> mode = GameMode::Create(0);
        EXPECT_EQ(mode->IsMatchOver(), c.over);
        mode->SetResult(2, 0);
        EXPECT_TRUE(mode->IsMatchOver()) << "a set result ends every match";
    }
    SetMatchWorld(&world);
}

TEST_F(ModeTable, SinglePlayerEndTestCountsAllGroupsForASpectator)
{
    world.localGroup = 255;
    world.SetInPlay(3, 1);
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    EXPECT_FALSE(mode->IsMatchOver());
    world.SetInPlay(3, 0);
    EXPECT_TRUE(mode->IsMatchOver());
}

TEST_F(ModeTable, ResultTableSortsBothWays)
{
    // A mode whose first row is chosen by the test: Flimbs (higher is better) or Time.
    struct TableMode : SuperSynergyMode {
        int firstKind = kStatFlimbs;
        std::map<int, int> values;
        GroupStats AddEndOfMatchStats(int group) override
        {
            GroupStats record(group);
            if (values.count(group))
                record.rows.push_back(std::make_unique<GameStat>(firstKind, values[group]));
            return record;
        }
    };
    world.multiplayer = true;
    for (int g : {0, 2, 5, 6})
        world.AddPlayer(g, g, "p" + std::to_string(g));
    world.AddPlayer(9, 7, "watcher", true); // a spectator gives group 7 no row
    TableMode mode;
    mode.values = {{0, 4}, {2, 9}, {5, 4}};  // group 6 has no rows
    auto groupsOf = [](const std::vector<GroupStats>& table) {
        std::vector<int> groups;
        for (const GroupStats& record : table)
            groups.push_back(record.group);
        return groups;
    };
    EXPECT_EQ(groupsOf(mode.BuildResultTable()), (std::vector<int>{2, 0, 5, 6}));
    mode.firstKind = kStatTime;
    EXPECT_EQ(groupsOf(mode.BuildResultTable()), (std::vector<int>{0, 5, 2, 6}));
    world.multiplayer = false;
    world.localGroup = 5;
    EXPECT_EQ(groupsOf(mode.BuildResultTable()), (std::vector<int>{5}));
}

TEST_F(ModeTable, FlimbExitCreditsBeamsAndRetires)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(6);
    ExitInfo& exit = world.AddExit(1, 0, 0);
    exit.x = 100.0f;
    exit.y = 50.0f;
    exit.scaleX = 2.0f;
    exit.scaleY = 0.5f;
    world.SetInPlay(0, 3);
    struct Case {
        int direction;
        float beamX, beamY;
    };
    const Case cases[] = {{0, 250.0f, 50.0f}, {1, -50.0f, 50.0f}, {2, 100.0f, 87.5f}, {3, 100.0f, 12.5f}, {7, 100.0f, 50.0f}};
    int32_t id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        world.exits[0].direction = c.direction;
        world.AddFlimb(id, 0);
        world.beams.clear();
        mode->OnFlimbExited(id, exit.id);
        ASSERT_EQ(world.beams.size(), 1u);
        EXPECT_FLOAT_EQ(world.beams[0].first, c.beamX);
        EXPECT_FLOAT_EQ(world.beams[0].second, c.beamY);
        EXPECT_EQ(world.credits.back(), (std::pair<int, int32_t>{1, id}));
        EXPECT_EQ(world.retired.back(), id);
        ++id;
    }
    EXPECT_EQ(world.stats[1].stolen, 5);
    EXPECT_EQ(std::count(effects.effects.begin(), effects.effects.end(), 29), 5);

    // A flimb not to be counted at an exit is only retired.
    world.AddFlimb(50, 1).status = 8;
    const size_t credits = world.credits.size();
    mode->OnFlimbExited(50, exit.id);
    EXPECT_EQ(world.credits.size(), credits);
    EXPECT_EQ(world.retired.back(), 50);
}

TEST_F(ModeTable, BeamEffectsAreMatchWideAndCountTowardTheEnd)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    world.AddExit(0, 0, 1);
    world.AddFlimb(1, 0);
    world.SetInPlay(0, 1);
    mode->OnFlimbExited(1, world.exits[0].id);
    EXPECT_EQ(world.tallies[0].total, 0);
    EXPECT_GT(world.particles, 10);
    EXPECT_FALSE(mode->IsMatchOver()) << "the beam-up particles are still flying";
    world.particles = 0;
    EXPECT_TRUE(mode->IsMatchOver());
}

TEST_F(ModeTable, BlastShattersNearSlugsOfACarrier)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    world.AddFlimb(1, 0).status = 0x80;
    world.AddFlimb(2, 0).status = 0;
    world.slugs = {{10, 49.6f, 0.0f, true},  // rounds to 50: not less than 50 away
                   {11, 49.4f, 0.0f, true},  // rounds to 49
                   {12, 30.0f, 30.0f, true}, // about 42 away
                   {13, 0.0f, 0.0f, false}}; // inactive
    mode->OnBlast(2, 0.0f, 0.0f, 0);
    EXPECT_TRUE(world.shattered.empty()) << "only a carrier's blast breaks slugs";
    mode->OnBlast(99, 0.0f, 0.0f, 0);
    EXPECT_TRUE(world.shattered.empty());
    mode->OnBlast(1, 0.4f, -0.4f, 0);
    EXPECT_EQ(world.shattered, (std::vector<int32_t>{11, 12}));
}

TEST_F(ModeTable, QdotsCountPerGroup)
{
    world.trapCounts[kTrapKindQdot] = 2;
    world.AddFlimb(1, 3);
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    mode->CreateStatsWidget(nullptr);
    EXPECT_EQ(mode->qdotTotal, 2);
    EXPECT_FALSE(mode->OnQdotCollected(1));
    EXPECT_TRUE(mode->OnQdotCollected(1));
    EXPECT_EQ(mode->qdotCounts[3], 2);
    world.playback = true;
    EXPECT_FALSE(mode->OnQdotCollected(1));
    EXPECT_EQ(mode->qdotCounts[3], 2);
    world.playback = false;

    // No Qdots in the level: the first one never completes the set.
    world.trapCounts.clear();
    mode->CreateStatsWidget(nullptr);
    EXPECT_FALSE(mode->OnQdotCollected(1));
}

TEST_F(ModeTable, MultiverseQdotTotalIsPerUniverse)
{
    world.trapCounts[kTrapKindQdot] = 9;
    std::unique_ptr<GameMode> mode = GameMode::Create(4);
    world.enabledGroups = 3;
    mode->CreateStatsWidget(nullptr);
    EXPECT_EQ(mode->qdotTotal, 3);
    world.enabledGroups = 0; // no universe: left undivided
    mode->CreateStatsWidget(nullptr);
    EXPECT_EQ(mode->qdotTotal, 9);
}

TEST_F(ModeTable, CommandsRunTheirHandlers)
{
    std::vector<int> presses;
    SetBindableActionHandler("Nova", [&](int pressed) { presses.push_back(pressed); });
    SetBindableActionHandler("TrapAction", [&](int) { presses.push_back(99); });
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    SetBindableActionHandler("Nova", nullptr);
    EXPECT_TRUE(mode->RunCommand("Nova", true));
    EXPECT_TRUE(mode->RunCommand("Nova", false));
    EXPECT_FALSE(mode->RunCommand("nova", true)) << "names compare exactly";
    EXPECT_FALSE(mode->RunCommand("TrapAction", true)) << "TrapAction has no handler";
    EXPECT_EQ(presses, (std::vector<int>{1, 0}));

    // A key bound to the command runs it: pressed on 1, released on 0; repeats ignored.
    const KeyNameRow& q = keyNameTable[15];
    ASSERT_STREQ(q.name, "Q");
    BindingStore& store = GetBindingStore();
    const std::vector<BindingEntry> kept = store.Entries();
    store.Build({{"Nova", "Mold"}});
    store.FindByName("Nova")->keyNames[1] = "Q";
    presses.clear();
    EXPECT_TRUE(mode->OnKey(q.code, 1, q.device));
    EXPECT_TRUE(mode->OnKey(q.code, 0, q.device));
    EXPECT_FALSE(mode->OnKey(q.code, 2, q.device)) << "repeats are ignored";
    EXPECT_FALSE(mode->OnKey(keyNameTable[16].code, 1, keyNameTable[16].device)) << "W is bound to nothing";
    EXPECT_EQ(presses, (std::vector<int>{1, 0}));
    store.Clear();
    std::vector<std::string> actions;
    for (const BindingEntry& entry : kept)
        actions.push_back(entry.action);
    store.Build({actions});
}

TEST_F(ModeTable, ServicesWithoutAMode)
{
    ClearCurrentGameMode();
    EXPECT_EQ(CurrentGameModeIndex(), 7);
    EXPECT_EQ(ModeStateHash(), 0u);
    EXPECT_TRUE(ModeAcceptsCommand(1));
    EXPECT_TRUE(ModeMaySelect(1));
    EXPECT_EQ(ModeSelectionFilter(), 255);
    EXPECT_FALSE(ModeFlimbSaved(1, 2));
    EXPECT_FALSE(ModeIsMatchOver());
    EXPECT_EQ(ModeCountFreeze(), 0);
    EXPECT_EQ(ModeStateDocument(), "");
    world.nextFlimbId = 7;
    EXPECT_EQ(ModeNextFlimbId(1, 0, 0, 1), 7u);
    EXPECT_EQ(world.nextFlimbId, 8u);
}

TEST_F(ModeTable, ServicesForwardToTheCurrentMode)
{
    ASSERT_NE(CreateCurrentGameMode(6), nullptr);
    EXPECT_EQ(CurrentGameModeIndex(), 6);
    EXPECT_EQ(CreateCurrentGameMode(9), nullptr);
    EXPECT_EQ(CurrentGameModeIndex(), 7) << "a failed creation leaves no mode";
    GameMode* mode = CreateCurrentGameMode(0);
    ModeStartMatch();
    EXPECT_TRUE(IsMatchStarted());
    EXPECT_EQ(ModeCountFreeze(), 1);
    ModeSetResult(6, 0);
    EXPECT_EQ(mode->resultCode, 6);
    EXPECT_TRUE(ModeIsMatchOver());
    world.AddFlimb(4, 0).flags = 4; // not orderable
    EXPECT_FALSE(ModeMaySelect(4));
    world.localGroup = 3;
    EXPECT_EQ(ModeSelectionFilter(), 3);
    EXPECT_NE(ModeStateHash(), 0u);
    EXPECT_TRUE(mode->AcceptsFileType(0));
    EXPECT_TRUE(mode->AcceptsFileType(1));
    EXPECT_FALSE(mode->AcceptsFileType(2));
}

TEST_F(ModeTable, ObjectiveTextNamesTheModifiers)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(6);
    EXPECT_EQ(mode->GetObjectiveText(), "Work together with other groups to solve the puzzle.");
    CurrentMatchOptions().allowPaint = true;
    CurrentMatchOptions().allowStun = true;
    EXPECT_EQ(mode->GetObjectiveText(), "Work together with other groups to solve the puzzle."
                                        "Statues placing is enabled.\nFlimb stunning is enabled.");
    EXPECT_EQ(mode->GetObjectiveTextCached(), mode->GetObjectiveText());
}

TEST_F(ModeTable, DoppelHintOnceWhenOnlyDoppelsAreLeft)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(6);
    world.SetInPlay(0, 2);
    world.tallies[0].doppeled = 2;
    world.copierWaiting[0] = 1;
    mode->UpdateMessages();
    EXPECT_TRUE(effects.notices.empty()) << "a copier still holds a flimb";
    world.copierWaiting[0] = 0;
    mode->UpdateMessages();
    mode->UpdateMessages();
    ASSERT_EQ(effects.notices.size(), 1u);
    EXPECT_EQ(effects.notices[0].rfind("You have only Doppeled flimbs remaining.  Press ", 0), 0u);
    EXPECT_NE(effects.notices[0].find(" to go SuperNova and remove them."), std::string::npos);
}

} // namespace
