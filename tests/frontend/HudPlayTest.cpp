// Single-player levels played through the real session under the real HUD: the level's
// intro shows its texts and holds the level until Start; the in-game menu's "Show Solution"
// gives way to the stored solution's playback, which wins; a checkpoint saved through the
// HUD and loaded through the menu's "Load Checkpoint" restores the world it saved, while a
// damaged one is refused and the running level goes on.
#include "FrontEndFixture.h"
#include "../support/FindActive.h"
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/ScopedConsoleInt.h"
#include "../support/TestWorld.h"

#include "app/GameClock.h"
#include "app/UserFolders.h"
#include "frontend/options/OptionsMenu.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "modes/ModeServices.h"
#include "modes/MultiverseMatchMode.h"
#include "world/WorldServices.h"
#include "hud/FlimbsBelt.h"
#include "platform/input/ScanCodes.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/HudActions.h"
#include "hud/HudKeyActions.h"
#include "hud/HudWindow.h"
#include "hud/InGameMenu.h"
#include "game/GameHooks.h"
#include "game/LevelNames.h"
#include "game/HudGameView.h"
#include "session/GameServer.h"
#include "world/BindableAction.h"
#include "world/Flimb.h"
#include "world/WorldState.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameSessions.h"
#include "session/NetCommand.h"
#include "session/PlaybackRunner.h"
#include "session/SessionConsole.h"
#include "world/AnimationSpec.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <thread>

namespace {

uint32_t g_playNow = 1000;

class HudPlayFixture : public FrontEndFixture {
protected:
    void SetUp() override
    {
        FrontEndFixture::SetUp();
        InstallLevelServices();
        ResetCommandState();
        SetLagSetting(75, false);
        // As the game's start-up: the controller's globals, action sprites, trap sprites,
        // particles, bonus items and the real game view.
        ResetControllerGlobals();
        LoadActionSprites();
        LoadTrapSpecs();
        InitParticles();
        LoadBonusItems();
        InstallHudGameView();
        RegisterHudKeyActions();
    }
    void TearDown() override
    {
        for (const std::string& name : HudKeyActions::Names())
            SetBindableActionHandler(name, nullptr);
        CloseAllWindows();
        ResetCommandState();
        SetLagSetting(75, false);
        gameClock.SetSource(nullptr);
        SetHudGameViewMaker(nullptr);
        ReleaseLevelServices();
        FrontEndFixture::TearDown();
    }

    // Hosts the level in a session window, as "-l" does.
    static FlimbsGameHost* Host(const char* level)
    {
        auto* host = new FlimbsGameHost(0, false);
        OpenWindow(host, true);
        host->HostLevel(level);
        return host;
    }
    // Frames of the GUI, the session's included, until `done` (at most a minute).
    static bool Until(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            Step(16);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return done();
    }
    static Primitive* InHud(const std::string& name)
    {
        auto* hud = dynamic_cast<Container<Primitive>*>(FindOpenWindow("FLIMBS_HUD"));
        Primitive* found = hud ? hud->FindChild(name) : nullptr;
        return found && found->active ? found : nullptr;
    }
    static Button* HudButton(const std::string& name) { return dynamic_cast<Button*>(InHud(name)); }
    // The in-game menu slides in; its row of that label.
    static Button* MenuRow(const std::string& label)
    {
        OpenInGameMenu(nullptr);
        Steps(25, 16);
        return HudButton(label);
    }
    // Every text under the widget, one per line.
    static std::string TextsUnder(Primitive* root)
    {
        std::string texts = root ? root->GetText() + "\n" : std::string();
        if (auto* container = dynamic_cast<Container<Primitive>*>(root))
            for (Primitive* child : container->Children())
                texts += TextsUnder(child);
        return texts;
    }
    // The intro's Start (the keyboard's Return on its focused button), then 10 ms updates.
    static void StartFromIntro(FlimbsGameHost* host)
    {
        ASSERT_TRUE(Until([] { return HudButton("START") != nullptr; }));
        PressKey(kKeyEnter);
        ASSERT_TRUE(Until([] { return Controller().runState == kRunRunning; }))
            << "run state " << Controller().runState;
        host->Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);
    }
    static uint32_t Counter() { return ClientUpdateCounter(); }
    // The newest line of the controller's message log ("" when empty).
    static std::string LastMessage()
    {
        const auto& entries = Controller().messages.Entries();
        return entries.empty() ? std::string() : entries.back().text;
    }

    TestWorld world;
    LogCapture log;
};

class LevelIntroFlow : public HudPlayFixture {};

TEST_F(LevelIntroFlow, TheIntroShowsTheLevelAndHoldsItUntilStart)
{
    FlimbsGameHost* host = Host("s_dm_dig_and_build");
    ASSERT_TRUE(Until([] { return HudButton("START") != nullptr; }));
    Steps(60, 16);
    EXPECT_EQ(Counter(), 0u) << "no update before Start";
    EXPECT_NE(Controller().runState, kRunRunning);
    Primitive* bubble = HudButton("START")->parent;
    const std::string texts = TextsUnder(bubble);
    for (const char* text : {"Dig and Build\n", "Tunnel through the wall, bridge the pit and dig down to the exit.\n",
                             "Objective:\nSave 6 flimbs.\n", "Start"})
        EXPECT_NE(texts.find(text), std::string::npos) << text << " in\n" << texts;
    EXPECT_EQ(GetKeyboardFocus(), HudButton("START"));
    Steps(40, 16); // faded in
    DrawFrameLikeTheGame();
    WritePicture("hud-intro.png", 1280, 720);

    StartFromIntro(host);
    EXPECT_TRUE(Until([] { return Counter() > 30; })) << "Start begins the match";
    EXPECT_TRUE(Until([] { return InHud("START") == nullptr; })) << "the intro fades out and closes";
}

// A Multiverse level's intro takes the FlimbMaster's difficulty: the one chosen is played, and
// choosing it starts the level as Start does.
TEST_F(LevelIntroFlow, AChosenDifficultyStartsTheMultiverseLevel)
{
    ScopedConsoleInt everyDifficulty("nukebattle", 0);
    FlimbsGameHost* host = Host("s_ar_twin_ridges");
    ASSERT_TRUE(Until([] { return HudButton("START") != nullptr && HudButton("Medium") != nullptr; }));
    Steps(20, 16);
    EXPECT_EQ(Counter(), 0u);
    HudButton("Medium")->Click();
    ASSERT_TRUE(Until([] { return Controller().runState == kRunRunning; })) << "run state " << Controller().runState;
    host->Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);
    EXPECT_TRUE(Until([] { return Counter() > 5 && InHud("START") == nullptr; }));
    auto* mode = dynamic_cast<MultiverseMatchMode*>(CurrentGameMode());
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->difficulty, 1);
}

// The state hash of each update the log shows after `from` ("STATE HASH <update> <hash>").
std::map<uint32_t, std::string> HashesAfter(const std::string& log, size_t from)
{
    std::map<uint32_t, std::string> hashes;
    for (size_t at = log.find("STATE HASH ", from); at != std::string::npos; at = log.find("STATE HASH ", at + 1)) {
        unsigned update = 0;
        char hash[17] = {};
        if (std::sscanf(log.c_str() + at, "STATE HASH %u %16s", &update, hash) == 2)
            hashes[update] = hash;
    }
    return hashes;
}

// Restarted past update 128 (where a fresh count's stamps wrap back), the level neither runs
// on to them nor catches up: it waits in its intro at update 0, then runs update by update
// through the same states as a fresh load.
TEST_F(LevelIntroFlow, ARestartedLevelWaitsForStartAndRunsAsAFreshLoad)
{
    ScopedConsoleInt hashes("statehash", 1);
    FlimbsGameHost* host = Host("s_dm_sunset_ridge");
    // Runs to update 60; the most updates one frame ran.
    const auto runTo60 = [] {
        uint32_t jump = 0;
        for (int frame = 0; frame < 4000 && Counter() < 60; ++frame) {
            const uint32_t before = Counter();
            Step(16);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            jump = std::max(jump, Counter() - before);
        }
        return jump;
    };
    StartFromIntro(host);
    const uint32_t freshJump = runTo60();
    ASSERT_TRUE(Until([] { return Counter() >= 160; }));
    const std::map<uint32_t, std::string> fresh = HashesAfter(log.Copy(), 0);

    Button* row = MenuRow("Restart");
    ASSERT_NE(row, nullptr);
    const uint32_t left = Counter();
    const size_t restartedFrom = log.Copy().size();
    row->Click();
    ASSERT_TRUE(Until([] { return Counter() == 0 && HudButton("START") != nullptr; }));
    Steps(60, 16);
    EXPECT_EQ(Counter(), 0u) << "no update before Start";
    const std::map<uint32_t, std::string> ran = HashesAfter(log.Copy(), restartedFrom);
    if (!ran.empty()) {
        EXPECT_LE(ran.rbegin()->first, left + 5) << "the left level ran on";
    }

    const size_t startedFrom = log.Copy().size();
    StartFromIntro(host);
    const uint32_t restartedJump = runTo60();
    EXPECT_LE(restartedJump, std::max(freshJump, 2u)) << "no catch-up burst";
    const std::map<uint32_t, std::string> restarted = HashesAfter(log.Copy(), startedFrom);
    for (uint32_t update = 1; update <= 60; ++update) {
        ASSERT_TRUE(restarted.count(update) && fresh.count(update)) << update;
        EXPECT_EQ(restarted.at(update), fresh.at(update)) << "update " << update;
    }
}

class ShowSolutionPlayback : public HudPlayFixture {};

TEST_F(ShowSolutionPlayback, TheMenuRowPlaysTheStoredSolutionToItsWin)
{
    FlimbsGameHost* host = Host("s_dm_dig_and_build");
    StartFromIntro(host);
    Button* row = MenuRow("Show Solution");
    ASSERT_NE(row, nullptr) << "offered: the level has a stored solution";
    // The playback runs on a stepped game clock: 300 ms a frame.
    gameClock.SetSource([] { return g_playNow; });
    gameClock.Start();
    row->Click();
    Step(16);
    Step(16);
    ASSERT_NE(dynamic_cast<FlimbsPlayer*>(FindOpenWindow("FlimbsGameBase")), nullptr)
        << "the level's session gave way to the solution's playback";
    EXPECT_EQ(FindOpenWindow("FLIMBS_HUD"), nullptr);
    bool pictured = false;
    for (int i = 0; i < 4000 && CommandState().sessionKind != kPlaybackFinished; ++i) {
        g_playNow += 300;
        Step(300);
        if (!pictured && Counter() >= 1500) {
            DrawFrameLikeTheGame();
            WritePicture("hud-solution.png", 1280, 720);
            pictured = true;
        }
    }
    ASSERT_EQ(CommandState().sessionKind, kPlaybackFinished);
    PlaybackRunResult outcome;
    FillPlaybackOutcome(outcome);
    EXPECT_STREQ(PlaybackOutcome(outcome), "win") << PlaybackResultLine("solution", outcome);
    // The end the stored solution list gives it: "<playback> <updates> <state hash>".
    std::ifstream list(std::string(FLIMBS_SOURCE_DIR) + "/tools/solutionrec/solutions.txt");
    std::string line, listed;
    while (std::getline(list, line))
        if (line.starts_with("Level\\Solutions\\s_dm_dig_and_build.flimbs "))
            listed = line.substr(line.find(' ') + 1);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(outcome.stateHash));
    EXPECT_EQ(std::to_string(outcome.updates) + " " + hash, listed);
    EXPECT_TRUE(pictured);
}

class CheckpointRestore : public HudPlayFixture {};

TEST_F(CheckpointRestore, TheMenuRowRestoresTheSavedWorldAndRefusesADamagedCheckpoint)
{
    ScopedConsoleInt hashes("statehash", 1);
    FlimbsGameHost* host = Host("s_dm_sunset_ridge");
    StartFromIntro(host);
    EXPECT_EQ(MenuRow("Load Checkpoint"), nullptr) << "no checkpoint yet";
    const auto save = [](int slot) {
        SetCheckpoint(nullptr);
        EXPECT_TRUE(Until([] { return Controller().runState == kRunPaused && InHud("0") != nullptr; }));
        Steps(5, 16);
        HudButton(std::to_string(slot))->Click();
        EXPECT_TRUE(Until([] { return Controller().runState == kRunRunning; }));
    };
    ASSERT_TRUE(Until([] { return Counter() >= 150; }));
    save(0);
    // The world the checkpoint holds: its last update and that update's hash.
    const std::string saved = log.Copy();
    const size_t last = saved.rfind("STATE HASH ");
    ASSERT_NE(last, std::string::npos);
    const std::string savedLine = saved.substr(last, saved.find('\n', last) - last);
    ASSERT_TRUE(Until([] { return Counter() >= 400; }));

    // A second checkpoint, damaged on disk: chosen, it is refused and the level goes on.
    save(1);
    const std::vector<std::string> files = CurrentProfile().ListCheckpoints("s_dm_sunset_ridge.flevel");
    ASSERT_EQ(files.size(), 2u);
    const std::string second = files[0].ends_with("-1.flimbs") ? files[0] : files[1];
    const std::string damaged = GetUserPath(CurrentProfile().GetPath() + "\\Checkpoints\\" + second);
    std::filesystem::resize_file(damaged, std::filesystem::file_size(damaged) / 2);
    Button* row = MenuRow("Load Checkpoint");
    ASSERT_NE(row, nullptr);
    row->Click();
    ASSERT_TRUE(Until([] { return InHud("1") != nullptr; })) << "two checkpoints: the prompt";
    const uint32_t before = Counter();
    HudButton("1")->Click();
    EXPECT_TRUE(log.Contains("is cut short")) << "refused before the running match is given up";
    EXPECT_TRUE(Until([&] { return Counter() > before + 30; })) << "the running level goes on";

    // The first: the level restarts from it and reaches its world again.
    const size_t restoredFrom = log.Copy().size();
    HudButton("0")->Click();
    ASSERT_TRUE(Until([&] { return log.Copy().find(savedLine + "\n", restoredFrom) != std::string::npos; }))
        << "expected " << savedLine;
    EXPECT_TRUE(Until([&] { return Controller().runState == kRunRunning; })) << "and goes on from there";
}

class InGameMenuRows : public HudPlayFixture {
protected:
    static bool Leaves() { return FindOpenWindow("FlimbsGameBase") == nullptr; }
};

// The rows a single player is offered, each clicked on a running level, with what it changed
// ("Show Solution" and "Load Checkpoint" have suites of their own).
TEST_F(InGameMenuRows, EachRowDoesWhatItSays)
{
    struct Row {
        const char* label;
        std::function<bool()> changed;
    };
    const Row rows[] = {
        {"Options",
         [] {
             auto* options = FindActiveUnder<OptionsMenu>(FindOpenWindow("FLIMBS_HUD"));
             if (options)
                 options->Close();
             return options != nullptr;
         }},
        {"Save",
         [] {
             bool saved = false;
             for (const auto& entry : std::filesystem::directory_iterator(GetUserPath(PlaybackFolder())))
                 saved = saved || entry.path().filename().string().starts_with("s_dm_sunset_ridge");
             return saved && LastMessage() == "Game has been saved";
         }},
        {"Restart", [] { return Until([] { return Counter() == 0 && HudButton("START") != nullptr; }); }},
        {"New Level", [] { return Until([] { return Leaves() && FindOpenWindow(FlimbsMenuTemplate::kName); }); }},
    };
    for (const Row& row : rows) {
        if (!FindOpenWindow("FlimbsGameBase") || Controller().runState != kRunRunning) {
            CloseAllWindows();
            StartFromIntro(Host("s_dm_sunset_ridge"));
        }
        ASSERT_TRUE(Until([] { return Counter() > 20; }));
        Button* button = MenuRow(row.label);
        ASSERT_NE(button, nullptr) << row.label;
        button->Click();
        Steps(3, 16);
        EXPECT_TRUE(row.changed()) << row.label;
    }
    // Exit: the level is left for the main menu.
    CloseAllWindows();
    StartFromIntro(Host("s_dm_sunset_ridge"));
    MenuRow("Exit")->Click();
    EXPECT_TRUE(Until([] { return Leaves() && FindOpenWindow(FlimbsMenuTemplate::kName); }));
    // The admin's "Players" is greyed while the lobby's players panel cannot be opened.
    InGameMenuContext admin;
    admin.multiplayer = admin.admin = true;
    for (const InGameMenuEntry& entry : InGameMenuEntries(admin))
        EXPECT_EQ(entry.enabled, std::string(entry.label) != "Players") << entry.label;
}

class HudKeys : public HudPlayFixture {
protected:
    static void Key(const std::string& name, int pressed)
    {
        const BindableAction* action = FindBindableAction(name);
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->handler) << name;
        action->handler(pressed);
    }
    static bool Shown(const std::string& name)
    {
        Primitive* window = InHud(name);
        return window && window->visible;
    }
};

// Every key the HUD binds, on a running level: pressed, it changes what it says; released,
// what it holds goes back.
TEST_F(HudKeys, EachBoundKeyDoesWhatItSays)
{
    FlimbsGameHost* host = Host("s_dm_sunset_ridge");
    StartFromIntro(host);
    std::vector<Flimb*> live;
    ASSERT_TRUE(Until([&] {
        live.clear();
        for (Flimb& flimb : World())
            if (flimb.IsAlive())
                live.push_back(&flimb);
        return live.size() >= 2;
    }));
    // Two flimbs that were given orders, in the history strip; the second selected.
    HudAddToHistoryStrip(live[0]);
    HudAddToHistoryStrip(live[1]);
    HistoryFilmStrip* strip = FindHistoryStrip();
    ASSERT_NE(strip, nullptr);
    World().selected = live[1];
    const int32_t first = live[0]->id, second = live[1]->id;
    const auto selectedId = [] { return World().selected ? int32_t(World().selected->id) : -1; };
    HudGameView* view = FindHudGameView();
    ASSERT_NE(view, nullptr);

    struct Row {
        const char* key;
        std::function<bool()> pressed;  // what the key down changed
        std::function<bool()> released; // what its key up left
        std::function<void()> after;    // puts back what the next row needs
    };
    const auto nothing = [] {};
    const auto yes = [] { return true; };
    const auto closeWindow = [](const char* name) {
        return [name] {
            if (auto* window = dynamic_cast<PrimContainer*>(InHud(name)))
                window->Close();
            Steps(30, 16);
        };
    };
    const Row rows[] = {
        {"NextHistory", [&] { return selectedId() == first; }, yes, nothing},
        {"PrevHistory", [&] { return selectedId() == second; }, yes, nothing},
        {"PinFlimb", [&] { return strip->PictureOf(second) && strip->PictureOf(second)->Pinned(); }, yes, nothing},
        {"ShowFuture", [] { return World().preview.state == 1; }, [] { return World().preview.state == 1; },
         [] { World().preview.state = 0; }},
        {"ShowFlimbCounts", [&] { return view->ShowCounts(); }, [&] { return !view->ShowCounts(); }, nothing},
        {"MiniMap", [] { return Shown("MinimapWindow"); }, [] { return Until([] { return !Shown("MinimapWindow"); }); },
         nothing},
        {"HoldBelt", [] { return FindHudBelt(false) && FindHudBelt(false)->Locked(); },
         [] { return !FindHudBelt(false)->Locked(); }, nothing},
        {"SuperNova", [] { return Until([] { return InHud("SuperNovaPrompt") != nullptr; }); }, yes,
         closeWindow("SuperNovaPrompt")},
        {"Stamp", [] { return Until([] { return Shown("Stamps"); }); }, yes, closeWindow("Stamps")},
        {"Decoration", [] { return Until([] { return Shown("Decorations"); }); }, yes, closeWindow("Decorations")},
        {"LoadCheckpoint",
         [] { return LastMessage() == "No checkpoints have been saved for this puzzle."; },
         yes, nothing},
        {"SaveCheckpoint",
         [] { return Until([] { return InHud("0") != nullptr && Controller().runState == kRunPaused; }); }, yes,
         [] {
             PressKey(kKeyEscape); // the prompt cancels and resumes
             EXPECT_TRUE(Until([] { return Controller().runState == kRunRunning && InHud("0") == nullptr; }));
         }},
        {"FreezeTime", [] { return Until([] { return CurrentServer()->State() == GameServer::kPaused; }); }, yes,
         [] {
             Key("FreezeTime", 1);
             EXPECT_TRUE(Until([] { return CurrentServer()->State() == GameServer::kRunning; }));
         }},
        // Multiverse matches only: the view stays in this one.
        {"ShowFMView", [] { return Controller().otherViewSwitch == 0; }, yes, nothing},
        // Network matches' keys: the chat box takes the keys, the chat history shows, the
        // scores show while held; a single-player HUD has none of them and goes on.
        {"ChatMode", [] { return !InHud("CHAT_BOX") || GetKeyboardFocus() == InHud("CHAT_BOX"); }, yes,
         [] { SetKeyboardFocus(nullptr); }},
        {"ChatHistory", [] { return InHud("chatCheck") == nullptr && Controller().runState == kRunRunning; }, yes,
         nothing},
        {"ShowScores", [] { return FindOpenWindow("ScoreButton") == nullptr && Controller().runState == kRunRunning; },
         yes, nothing},
    };
    std::set<std::string> tabled;
    for (const Row& row : rows)
        tabled.insert(row.key);
    for (const std::string& name : HudKeyActions::Names())
        EXPECT_EQ(tabled.count(name), 1u) << name << " is bound but not in the table";
    for (const Row& row : rows) {
        Key(row.key, 1);
        EXPECT_TRUE(row.pressed()) << row.key << " pressed";
        Key(row.key, 0);
        Steps(2, 16);
        EXPECT_TRUE(row.released()) << row.key << " released";
        row.after();
    }
}

} // namespace
