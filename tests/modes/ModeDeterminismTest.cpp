// The mode state hash after a scripted match: the same script gives the same hash in this
// process and in a child process that plays under other local settings (profile, screen
// size, language).
#include "../support/FakeMatch.h"

#include "app/LanguageTexts.h"
#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "gui/GuiDevice.h"
#include "modes/GameMode.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>

namespace {

constexpr const char* kOutputVariable = "FLIMBS_MODE_SCRIPT_OUT";

// One step of a script: u update, e flimb a exits at exit b, d flimb a dies, q flimb a
// takes a Qdot, f freeze, b flimb a blasts at slug b, w group a gets b flimbs waiting,
// o the option block, r result a for group b, g game over.
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
        case 'o': ModeReadStateDocument(kOptions); break;
        case 'r': ModeSetResult(step.a, step.b); break;
        case 'g': ModeGameOver(); break;
        default: ADD_FAILURE() << "unknown step " << step.op;
        }
    }
    const Outcome outcome{ModeStateHash(), world.matchResult};
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

// The two scripted matches: the rescue mode between two players and co-operation alone.
std::vector<Outcome> RunBoth()
{
    return {RunScript(0, true, Script()), RunScript(6, false, Script())};
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

    const std::string output = GetUserRoot() + "/mode-script.txt";
    const std::string variable = std::string(kOutputVariable) + "=" + output;
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back(const_cast<char*>(variable.c_str()));
    env.push_back(nullptr);
    std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=ModeDeterminism.ScriptChild";
    char* argv[] = {exe.data(), filter.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, exe.c_str(), nullptr, nullptr, argv, env.data()), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child run failed";
    std::ifstream in(output);
    std::vector<Outcome> there(2);
    for (Outcome& outcome : there)
        in >> outcome.hash >> outcome.result;
    ASSERT_TRUE(in) << "the child wrote no outcome";
    EXPECT_EQ(there, here);
}

} // namespace
