// The game end to end, on one core, run from the build's game folder:
// - the stored solutions verified headless (budget: at least 100 times real time, the game
//   playing a single-player level at 75 ms an update);
// - a whole game frame at 1280 x 720 on the software device: the in-game HUD over the game
//   view of a level in play (its landscape, 200 flimbs, its traps and their particles) with
//   the GUI's update (budget: 8 ms);
// - a game load of each sample level as a session loads it (budget: 1 s for the largest);
// - the start of the game program up to the moment it would show the main menu, the intro
//   skipped: the program's own "Game ready" figure, and the main menu's building (budget:
//   2 s for both).
#include "tools/headless/HeadlessSession.h"

#include "app/GameClock.h"
#include "app/UserFolders.h"
#include "frontend/FrontEndServices.h"
#include "game/GameController.h"
#include "gui/WindowList.h"
#include "hud/HudServices.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/NetCommand.h"
#include "session/PlaybackRunner.h"
#include "session/SessionGame.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <sys/wait.h>
#include <vector>

namespace {

constexpr double kRealTimeUpdatesPerSecond = 1000.0 / 75.0;
const char* const kSolutions[] = {"Level\\Solutions\\s_dm_dig_and_build.flimbs",
                                  "Level\\Solutions\\s_dm_trap_gauntlet.flimbs",
                                  "Level\\Solutions\\s_dm_buried_switch.flimbs",
                                  "Level\\Solutions\\s_dm_hover_ferry.flimbs",
                                  "Level\\Solutions\\s_dm_sunset_ridge.flimbs"};
const char* const kSampleLevels[] = {"s_dm_first_steps", "s_dm_dig_and_build", "s_dm_trap_gauntlet",
                                     "m_dm_twin_valleys", "m_dm_three_hills"};

std::string FreshHome()
{
    std::string home = (std::filesystem::temp_directory_path() / "flimbs-bench-XXXXXX").string();
    if (char* made = mkdtemp(home.data()))
        return made;
    return {};
}

HeadlessSession& Session()
{
    static const bool home = (setenv("FLIMBS_HOME", FreshHome().c_str(), 1), true);
    (void)home;
    static HeadlessSession session(1280, 720);
    return session;
}

void BM_ReplayVerify(benchmark::State& state)
{
    Session();
    const char* path = kSolutions[state.range(0)];
    uint64_t updates = 0;
    for (auto _ : state) {
        const PlaybackRunResult result = RunPlaybackFile(path);
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        updates += result.updates;
    }
    state.SetLabel(path);
    state.counters["updates_per_s"] = benchmark::Counter(double(updates), benchmark::Counter::kIsRate);
    state.counters["times_real_time"] =
        benchmark::Counter(double(updates) / kRealTimeUpdatesPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayVerify)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The gauntlet's solution played to its middle (the teleport, the dug hole and the stair at
// work), with more flimbs walking the level's floors up to 200.
struct FrameScene {
    FrameScene()
    {
        HeadlessSession& session = Session();
        ResetCommandState();
        SetCurrentClient(&client);
        CommandState().recordingAllowed = false;
        GameClient::LoadPlayback(kSolutions[1]);
        CommandState().sessionKind = kPlaybackPlaying;
        GameClient::RunPlayback(700);
        AddWalkers(200);
        for (const Flimb& flimb : World())
            flimbsAtStart += flimb.IsFree() ? 0 : 1;
        OpenHudForLevel();
        ZoomGameViewToFit(0);
        for (int i = 0; i < 30; ++i)
            Frame(session);
    }
    ~FrameScene()
    {
        CloseHudForLevel();
        SetCurrentClient(nullptr);
        ResetCommandState();
    }
    static void AddWalkers(int total)
    {
        Landscape& land = *GameLandscape();
        int present = 0;
        for (const Flimb& flimb : World())
            present += flimb.IsFree() ? 0 : 1;
        int16_t id = 5000;
        for (int i = 0; present < total && i < 40 * total; ++i) {
            const int x = 40 + (i * 331) % (land.Width() - 80);
            int y = 16;
            while (y < land.Height() - 1 && land.CountSolidPixels(x, y, x, y) == 0)
                ++y;
            if (y < land.Height() - 1 &&
                AddFlimb(int16_t(x), int16_t(y - 1), id++, 0, kWalk, 0, kFlimbStartEnergy, 0, i % 2 ? 1 : -1))
                ++present;
        }
        ComputeNextFlimbIds();
    }
    // One frame as the game runs it: an update of the world (a playback update), the GUI's
    // update and the drawing of the open windows.
    static void Frame(HeadlessSession& session)
    {
        GameClient::RunPlayback(1);
        session.Frame(true);
    }
    GameClient client;
    int flimbsAtStart = 0;
};

void BM_GameFrame1280x720(benchmark::State& state)
{
    HeadlessSession& session = Session();
    FrameScene scene;
    for (auto _ : state) {
        if (CommandState().slots[0].Free()) {
            state.SkipWithError("the playback ended");
            return;
        }
        FrameScene::Frame(session);
    }
    state.counters["flimbs_at_start"] = scene.flimbsAtStart;
    state.counters["traps"] = double(World().traps.all.size());
}
BENCHMARK(BM_GameFrame1280x720)->Unit(benchmark::kMillisecond)->Iterations(400);

// The drawing alone (no update): the HUD and the view.
void BM_GameFrameDrawOnly(benchmark::State& state)
{
    HeadlessSession& session = Session();
    FrameScene scene;
    for (auto _ : state)
        session.DrawFrame();
}
BENCHMARK(BM_GameFrameDrawOnly)->Unit(benchmark::kMillisecond);

// GAMEDATA of a sample level: the session's reset and the controller's load for play.
void BM_LoadSampleLevel(benchmark::State& state)
{
    Session();
    const std::string level = kSampleLevels[state.range(0)];
    SessionLevelInfo info;
    if (!SessionGame().ResolveLevel(level, info)) {
        state.SkipWithError("no such level");
        return;
    }
    ResetCommandState();
    for (auto _ : state)
        if (ExecuteCommand(MakeGameData(level, info.crc, 0).data()) != 0)
            state.SkipWithError("the level did not load");
    SessionGame().ResetLevel();
    state.SetLabel(level);
}
BENCHMARK(BM_LoadSampleLevel)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(5);

// The main menu built over the backdrop, as the intro's end (or a key skipping it) builds it.
void BM_MainMenuBuild(benchmark::State& state)
{
    Session();
    for (auto _ : state) {
        ReturnToMainMenu();
        state.PauseTiming();
        CloseAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainMenuBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

// The game program from its start to "Game ready" (its own figure, milliseconds since the
// start-up began) in a process of its own, headless, with a known player.
void BM_StartupToGameReady(benchmark::State& state)
{
    const std::string game = ProgramFolderFromExecutable() + "/Bin/FlimbsGame";
    for (auto _ : state) {
        const std::string home = FreshHome();
        std::filesystem::create_directories(home + "/Cache/Settings");
        std::filesystem::create_directories(home + "/Profiles");
        std::ofstream(home + "/Cache/Settings/global_config.xml")
            << "<flimbs-config><last-profile>bench</last-profile></flimbs-config>";
        std::ofstream(home + "/Profiles/bench.xml") << "<flimbs-profile><settings/></flimbs-profile>";
        const auto started = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            setenv("FLIMBS_HOME", home.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            setenv("ALSOFT_DRIVERS", "null", 1);
            if (!freopen("/dev/null", "w", stderr))
                _exit(126);
            execl(game.c_str(), game.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string log = home + "/Cache/Log/flimbs.log";
        std::smatch ready;
        std::string text;
        const std::regex line("Game ready ([0-9]+)\n");
        while (std::chrono::steady_clock::now() - started < std::chrono::seconds(30)) {
            std::ifstream in(log);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (std::regex_search(text, ready, line))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        std::filesystem::remove_all(home);
        if (ready.empty()) {
            state.SkipWithError("no Game ready line");
            return;
        }
        state.SetIterationTime(wall);
        state.counters["own_figure_ms"] = std::stod(ready[1]);
    }
}
BENCHMARK(BM_StartupToGameReady)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
