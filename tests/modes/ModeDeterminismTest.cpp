// The mode state hash after a scripted match: the same script gives the same hash in this
// process and in a child process that plays under other local settings (profile, screen
// size, language, a spectator's seat). The five other modes' scripts also hash what they
// changed in the world: shifted flimbs, health, carriers and the ids they gave out.
#include "../support/ChildProcess.h"
#include "../support/FakeMatch.h"

#include "app/LanguageTexts.h"
#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "gui/GuiDevice.h"
#include "modes/GameMode.h"
#include "modes/GameModifier.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kOutputVariable = "FLIMBS_MODE_SCRIPT_OUT";

// One step of a script: u update, e flimb a exits at exit b, d flimb a dies, q flimb a
// takes a Qdot, f freeze, b flimb a blasts at slug b, w group a gets b flimbs waiting,
// o the option block, r result a for group b, g game over; for the other modes: p flimb a
// picks up particle 90, l flimb a throws a lopper at flimb b, n flimb a goes nova, c flimb a
// clobbers, s flimb a is shifted (UPATE_MODIFIER), i the id of a flimb of group a released
// by trap b.
struct Step {
    char op;
    int a;
    int b;
};

const Step kScript[] = {
    {'o', 0, 0}, {'w', 0, 6}, {'w', 1, 5}, {'u', 0, 0}, {'e', 1, 0}, {'e', 2, 1}, {'u', 0, 0}, {'q', 3, 0},
    {'f', 0, 0}, {'e', 4, 1}, {'e', 5, 1}, {'u', 0, 0}, {'b', 6, 0}, {'d', 7, 0}, {'q', 8, 0}, {'f', 0, 0},
    {'w', 0, 0}, {'w', 1, 0}, {'u', 0, 0}, {'e', 9, 0}, {'u', 0, 0}, {'u', 0, 0}, {'g', 0, 0},
};

const char* kOptions = "<game-mode-state><gamemode_data><allow_stun>1</allow_stun><explosion_mag>70</explosion_mag>"
                       "<doublespeed_morph>3</doublespeed_morph><showMinSave>0</showMinSave></gamemode_data>"
                       "</game-mode-state>";
const char* kOtherModeOptions =
    "<game-mode-state><gamemode_data><allow_stun>1</allow_stun><pass_particle>1</pass_particle>"
    "<intergroup>1</intergroup><friendly_fire>1</friendly_fire><sabotage_flimbs>1</sabotage_flimbs>"
    "<shiftFlimb>1</shiftFlimb></gamemode_data></game-mode-state>";

const Step kOtherScript[] = {
    {'o', 0, 0}, {'w', 0, 2}, {'u', 0, 0}, {'i', 0, 11}, {'i', 1, 30}, {'p', 3, 0}, {'u', 0, 0}, {'l', 1, 8},
    {'s', 5, 0}, {'i', 1, 11}, {'n', 6, 0}, {'c', 7, 0}, {'u', 0, 0}, {'e', 3, 1}, {'d', 2, 0}, {'w', 0, 0},
    {'u', 0, 0}, {'g', 0, 0},
};

// FNV-1a over what the scripts change in the fake world.
struct WorldHash {
    uint64_t value = 14695981039346656037ull;
    void Add(uint64_t v)
    {
        for (int i = 0; i < 8; ++i) {
            value ^= uint8_t(v >> (i * 8));
            value *= 1099511628211ull;
        }
    }
    void AddFloat(float f)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        Add(bits);
    }
};

// The child plays the other modes from a spectator's seat.
bool g_spectatorSeat = false;

struct Outcome {
    uint64_t hash = 0;
    int result = 0;
    bool operator==(const Outcome&) const = default;
};

// Plays the script on a two-group level (flimbs 1 .. 12, odd ids blue, even ids red).
Outcome RunScript(int modeIndex, bool multiplayer, const std::vector<Step>& script)
{
    FakeMatchWorld world;
    RecordingMatchEffects effects;
    SetMatchWorld(&world);
    SetMatchEffects(&effects);
    world.multiplayer = multiplayer;
    world.editorTest = true;
    world.AddPlayer(0, 0, "Ann");
    if (multiplayer)
        world.AddPlayer(1, 1, "Bo");
    world.AddExit(0, 0, 3);
    world.AddExit(1, 0, 3);
    world.trapCounts[kTrapKindQdot] = 2;
    world.slugs = {{50, 10.0f, 10.0f, true}};
    for (int32_t id = 1; id <= 12; ++id)
        world.AddFlimb(id, id % 2 ? 0 : 1, float(id), 10.0f).status = id == 6 ? 0x80 : 0;
    world.SetInPlay(0, 6);
    world.SetInPlay(1, 6);
    const bool otherMode = modeIndex >= 1 && modeIndex <= 5;
    if (otherMode) {
        // Two universes for the shift, a Start and a Copier trap for the turn ids, a
        // particle, a special flimb; the HUD is open so that the options make modifiers.
        world.EnableGroups({0, 1});
        world.startTraps = {{11, 0, 5.0f, 5.0f}};
        world.copierIds = {30};
        world.particleTraps.push_back({90, -1, 0.0f, 0.0f, 3.0f, 10.0f, true, kAllGroups});
        world.Any(9)->marks = kFlimbMarkSpecial;
        effects.hudOpen = true;
        world.spectator = g_spectatorSeat;
    }
    std::vector<uint32_t> ids;

    CreateCurrentGameMode(modeIndex);
    GameMode& mode = *CurrentGameMode();
    mode.CreateStatsWidget(nullptr);
    mode.StartMatch();
    for (const Step& step : script) {
        switch (step.op) {
        case 'u':
            ++world.updateCounter;
            mode.UpdateMessages();
            mode.DecideResult();
            break;
        case 'e': ModeFlimbSaved(step.a, world.exits[size_t(step.b)].id); break;
        case 'd':
            world.RetireExitedFlimb(step.a);
            ModeFlimbDied(step.a);
            break;
        case 'q': ModeQdotCollected(step.a); break;
        case 'f': ModeCountFreeze(); break;
        case 'b': ModeOnBlast(step.a, world.slugs[size_t(step.b)].x, world.slugs[size_t(step.b)].y); break;
        case 'w': world.startWaiting[size_t(step.a)] = step.b; break;
        case 'o': ModeReadStateDocument(otherMode ? kOtherModeOptions : kOptions); break;
        case 'p': ModeOnPickup(90, step.a); break;
        case 'l': {
            FlimbInfo target;
            if (world.FindFlimb(step.b, target))
                ModeOnBlast(step.a, target.x, target.y - 15.0f, 6);
            break;
        }
        case 'n':
            if (FlimbInfo* flimb = world.Live(step.a)) {
                flimb->type = kFlimbTypeNova;
                world.TakeOutOfPlay(step.a);
                ModeFlimbDied(step.a);
            }
            break;
        case 'c':
            if (GameMode* current = CurrentGameMode())
                current->OnFlimbEvent(step.a, 0, 0);
            break;
        case 's': {
            const uint8_t record[10] = {28, 0, 10, 0, 0, 0, uint8_t(GameModifier::kShift), 0, uint8_t(step.a), 0};
            ModeApplyModifierRecord(record, sizeof record);
            break;
        }
        case 'i': ids.push_back(ModeNextFlimbId(1, step.a, step.b, int(ids.size()))); break;
        case 'r': ModeSetResult(step.a, step.b); break;
        case 'g': ModeGameOver(); break;
        default: ADD_FAILURE() << "unknown step " << step.op;
        }
    }
    WorldHash seen;
    seen.Add(ModeStateHash());
    for (const FlimbInfo& flimb : world.flimbs) {
        seen.Add(uint64_t(uint32_t(flimb.id)) | uint64_t(flimb.flags) << 32 | uint64_t(flimb.type) << 40);
        seen.AddFloat(flimb.x);
        seen.Add(uint32_t(flimb.points));
        seen.AddFloat(flimb.sizeFactor);
    }
    for (const ParticleInfo& particle : world.particleTraps) {
        seen.Add(uint32_t(particle.carrierId));
        seen.AddFloat(particle.x);
        seen.Add(particle.active);
    }
    for (uint32_t id : ids)
        seen.Add(id);
    const Outcome outcome{otherMode ? seen.value : ModeStateHash(), world.matchResult};
    ClearCurrentGameMode();
    ResetMatchOptions();
    SetMatchWorld(nullptr);
    SetMatchEffects(nullptr);
    return outcome;
}

std::vector<Step> Script()
{
    return std::vector<Step>(std::begin(kScript), std::end(kScript));
}

// The two scripted matches: the rescue mode between two players and co-operation alone;
// then the other five modes, single player, on their own script.
std::vector<Outcome> RunBoth()
{
    std::vector<Outcome> outcomes{RunScript(0, true, Script()), RunScript(6, false, Script())};
    for (int index = 1; index <= 5; ++index)
        outcomes.push_back(RunScript(index, false, std::vector<Step>(std::begin(kOtherScript), std::end(kOtherScript))));
    return outcomes;
}

// Runs only inside the child that ScriptsEndAlikeInTwoProcesses starts.
TEST(ModeDeterminism, ScriptChild)
{
    const char* output = std::getenv(kOutputVariable);
    if (!output)
        GTEST_SKIP() << "run by ModeDeterminism.ScriptsEndAlikeInTwoProcesses";
    SetProgramFolder(FLIMBS_GAME_DIR);
    CurrentProfile().Load("Elsewhere");
    CurrentProfile().SetSetting("language", "de");
    LanguageDatabase::Reset();
    ASSERT_TRUE(LanguageDatabase::LoadSpecification());
    ASSERT_TRUE(LanguageDatabase::SetLanguage("de"));
    ASSERT_EQ(TranslateText("Saved"), "Gerettet");
    SetScreenSize(1920, 1080);
    g_spectatorSeat = true;
    std::ofstream out(output);
    for (const Outcome& outcome : RunBoth())
        out << outcome.hash << ' ' << outcome.result << '\n';
    SetScreenSize(1000, 1000);
    LanguageDatabase::Reset();
}

TEST(ModeDeterminism, ScriptsEndAlikeInTwoProcesses)
{
    if (std::getenv(kOutputVariable))
        GTEST_SKIP();
    const std::vector<Outcome> here = RunBoth();
    EXPECT_EQ(RunBoth(), here) << "the same script twice in one process";
    EXPECT_NE(here[0].hash, 0u);
    EXPECT_NE(here[0].hash, here[1].hash);
    EXPECT_EQ(here[0].result, 2) << "Bo's group saved more";
    EXPECT_EQ(here[1].result, 5) << "the exits did not get their flimbs";

    // One step more or less changes the hash.
    std::vector<Step> moreFreeze = Script();
    moreFreeze.insert(moreFreeze.begin() + 3, Step{'f', 0, 0});
    EXPECT_NE(RunScript(0, true, moreFreeze).hash, here[0].hash);
    std::vector<Step> lessQdot = Script();
    lessQdot.erase(lessQdot.begin() + 7);
    EXPECT_NE(RunScript(6, false, lessQdot).hash, here[1].hash);

    // The other modes' hashes see the shift, the lopper and the ids.
    const std::vector<Step> other(std::begin(kOtherScript), std::end(kOtherScript));
    for (const auto& [index, op] : {std::pair{4, 's'}, std::pair{3, 'l'}, std::pair{5, 'i'}, std::pair{2, 'p'}}) {
        SCOPED_TRACE(op);
        std::vector<Step> without;
        for (const Step& step : other)
            if (step.op != op)
                without.push_back(step);
        EXPECT_NE(RunScript(index, false, without).hash, here[size_t(index + 1)].hash);
    }

    const std::string output = GetUserRoot() + "/mode-script.txt";
    ChildProcess child("ModeDeterminism.ScriptChild", {{kOutputVariable, output}});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(child.Wait(120000)) << "child run did not end";
    ASSERT_EQ(child.ExitCode(), 0) << "child run failed";
    std::ifstream in(output);
    std::vector<Outcome> there(here.size());
    for (Outcome& outcome : there)
        in >> outcome.hash >> outcome.result;
    ASSERT_TRUE(in) << "the child wrote no outcome";
    EXPECT_EQ(there, here);
}

} // namespace
