// solutionrec: plays a level through the real game session (its game server in this
// process, the game client connected to it over 127.0.0.1) with the orders of a script, as a
// player would give them from the belt, until the game is over; saves the client's recording
// as the level's solution, replays it to check that it ends where the live game did, and
// prints the solution list's line for it.
//
//   solutionrec <level> <script> <output.flimbs> [--lag MS] [--picture FILE.png [--picture-at U]]
//               [--limit S] [--dry [--trace N]]
//
// A script line gives one flimb one order, once, when all its conditions hold:
//   <flimb id> <order> [at=<update>] [x>=<X>] [x<=<X>] [y>=<Y>] [y<=<Y>]
// The orders ('#' starts a comment):
//   <action>         the action from the belt, by its type name (Clob, Mold, Nova, Drill, ...)
//   Select           a click on the flimb in the game view: the player selects it
//   Press <key>      a key pressed for the manned device the flimb rides, through the
//                    keyboard's dispatch to the game view: the arrow keys Left, Right, Up and
//                    Down, or a bound action (TrapAction, TrapExit); given once the flimb
//                    rides a device and is the local player's selected flimb
//   Release <key>    the key let go again
// --skill chooses the FlimbMaster's difficulty of a Multiverse level (0 Easy, 1 Medium, 2 Hard)
// as the difficulty panel would, before the match's first update; the groups' saved flimbs
// are printed at the end. A playback does not replay the FlimbMaster, so the replay of such
// a match is not compared with the live game.
// --lag is the pace of the match while it is recorded (the recording does not depend on it);
// --picture writes the whole level with its flimbs when the game is over (or at update U).
// --dry plays the script straight into the executor without a server, as fast as the world
// runs (a design aid: orders land a little earlier than in a recording), with the flimbs
// printed every N updates.
#include "tools/headless/HeadlessSession.h"
#include "tools/headless/HelpOption.h"

#include "app/ConsoleParam.h"
#include "app/KeyBindings.h"
#include "gui/GuiServices.h"
#include "world/LandscapeKeys.h"
#include "gui/WindowList.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/GameViewPort.h"
#include "game/LevelNames.h"
#include "media/ButtonPresses.h"
#include "media/KBManager.h"
#include "media/KeyTables.h"
#include "media/PngFile.h"
#include "net/IFlimbsStream.h"
#include "platform/gfx/Resources.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/NetCommand.h"
#include "session/PlaybackRunner.h"
#include "session/SessionServices.h"
#include "modes/ModeServices.h"
#include "platform/input/DeviceEvent.h"
#include "hud/LevelIntro.h"
#include "traps/FreezerTrap.h"
#include "traps/GooGunTrap.h"
#include "traps/HoverTrap.h"
#include "world/ActionChecks.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <chrono>
#include <deque>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// The Multiverse match's mode index.
constexpr int kMultiverseMatchIndex = 4;


enum class OrderKind { Action, Select, Press, Release };

struct Order {
    int line = 0;
    int16_t flimb = 0;
    OrderKind kind = OrderKind::Action;
    uint8_t action = 0;
    int keyCode = 0;
    std::string keyName;
    uint32_t at = 0;
    int xMin = INT32_MIN, xMax = INT32_MAX, yMin = INT32_MIN, yMax = INT32_MAX;
    bool given = false;
};

// The scan code of a device key: an arrow by name, or the key bound to an action.
int DeviceKeyCode(const std::string& name)
{
    static const struct {
        const char* name;
        int code;
    } arrows[] = {{"Left", kDeviceKeyLeft}, {"Right", kDeviceKeyRight}, {"Up", kDeviceKeyUp}, {"Down", kDeviceKeyDown}};
    for (const auto& arrow : arrows)
        if (EqualsNoCase(name, arrow.name))
            return arrow.code;
    if (const BindingEntry* binding = GetBindingStore().FindByName(name))
        return KeyCodeFromName(binding->keyNames[0]);
    return 0;
}

bool ReadOrder(std::istringstream& words, Order& order, const std::string& path)
{
    std::string name;
    if (!(words >> name)) {
        std::fprintf(stderr, "%s:%d: an order needs an action\n", path.c_str(), order.line);
        return false;
    }
    if (EqualsNoCase(name, "Select")) {
        order.kind = OrderKind::Select;
        return true;
    }
    if (EqualsNoCase(name, "Press") || EqualsNoCase(name, "Release")) {
        order.kind = EqualsNoCase(name, "Press") ? OrderKind::Press : OrderKind::Release;
        words >> order.keyName;
        order.keyCode = DeviceKeyCode(order.keyName);
        if (order.keyCode == 0) {
            std::fprintf(stderr, "%s:%d: %s needs a device key (Left, Right, Up, Down or a bound action), not '%s'\n",
                         path.c_str(), order.line, name.c_str(), order.keyName.c_str());
            return false;
        }
        return true;
    }
    order.action = Flimb::TypeFromName(name);
    if (!EqualsNoCase(FlimbTypeName(order.action), name) || order.action > kWalk) {
        std::fprintf(stderr, "%s:%d: unknown action %s\n", path.c_str(), order.line, name.c_str());
        return false;
    }
    return true;
}

bool ReadScript(const std::string& path, std::vector<Order>& orders)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        Order order;
        order.line = number;
        std::string condition;
        int flimb = 0;
        if (!(words >> flimb))
            continue;
        order.flimb = int16_t(flimb);
        if (!ReadOrder(words, order, path))
            return false;
        while (words >> condition) {
            int value = 0;
            if (std::sscanf(condition.c_str(), "at=%d", &value) == 1)
                order.at = uint32_t(value);
            else if (std::sscanf(condition.c_str(), "x>=%d", &value) == 1)
                order.xMin = value;
            else if (std::sscanf(condition.c_str(), "x<=%d", &value) == 1)
                order.xMax = value;
            else if (std::sscanf(condition.c_str(), "y>=%d", &value) == 1)
                order.yMin = value;
            else if (std::sscanf(condition.c_str(), "y<=%d", &value) == 1)
                order.yMax = value;
            else {
                std::fprintf(stderr, "%s:%d: unknown condition %s\n", path.c_str(), number, condition.c_str());
                return false;
            }
        }
        orders.push_back(order);
    }
    return true;
}

// The manned device the flimb rides (or carries), or null.
MannedDevice* DeviceOf(const Flimb& flimb)
{
    for (const uint32_t kind : {uint32_t(FreezerTrap::kKind), uint32_t(HoverTrap::kKind), uint32_t(GooGunTrap::kKind)})
        for (Trap* trap : GetTrapsOfKind(kind))
            if (auto* device = dynamic_cast<MannedDevice*>(trap); device && device->alive && device->rider == &flimb)
                return device;
    return nullptr;
}

// The flimb of the order when its conditions hold now and it can take the order, else null.
Flimb* Ready(const Order& order)
{
    if (order.given || ClientUpdateCounter() < order.at)
        return nullptr;
    Flimb* flimb = FindFlimbById(order.flimb);
    if (!flimb || !flimb->IsAlive() || flimb->x < order.xMin || flimb->x > order.xMax || flimb->y < order.yMin ||
        flimb->y > order.yMax)
        return nullptr;
    switch (order.kind) {
    case OrderKind::Action: return CanGiveAction(*flimb, 0, order.action, true) ? flimb : nullptr;
    case OrderKind::Select:
    case OrderKind::Release: return flimb; // a held key can be let go at any time
    case OrderKind::Press: {
        const PlayerRecord* local = Controller().localPlayer;
        const bool selected = flimb->IsSelected() && local && local->highlightedFlimb == flimb->id;
        return selected && DeviceOf(*flimb) ? flimb : nullptr;
    }
    }
    return nullptr;
}

// A click on the flimb: the game view hands the landscape the world point under the pointer.
void ClickOn(const Flimb& flimb)
{
    const gfx::RECT box = flimb.GetCurrentSprite();
    if (Landscape* land = GameLandscape())
        land->SelectFlimbAt(true, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

// Gives each order whose conditions hold now, the way the player gives it: an action from
// the belt, a click on a flimb, a key through the keyboard's dispatch (with no game window
// open, as in the dry run, straight to the device's panel, as the game view hands it over).
void GiveOrders(std::vector<Order>& orders, bool windowsOpen)
{
    for (Order& order : orders) {
        Flimb* flimb = Ready(order);
        if (!flimb)
            continue;
        order.given = true;
        const char* what = FlimbTypeName(order.action);
        switch (order.kind) {
        case OrderKind::Action: NoteFlimbSelected(order.action, 1, flimb); break;
        case OrderKind::Select:
            what = "Select";
            ClickOn(*flimb);
            if (World().selected != flimb)
                std::printf("update %u: the click on flimb %d selected %d (line %d)\n", ClientUpdateCounter(),
                            order.flimb, World().selected ? World().selected->id : -1, order.line);
            break;
        case OrderKind::Press:
        case OrderKind::Release:
            what = order.kind == OrderKind::Press ? "Press" : "Release";
        {
            const int value = order.kind == OrderKind::Press ? int(platform::kButtonDown) : 0;
            if (windowsOpen)
                DispatchButtonEvent(value, order.keyCode, false, kbManager);
            else if (MannedDevice* device = DeviceOf(*flimb))
                device->GuiPart()->OnKey(value, order.keyCode, false, kbManager);
            break;
        }
        }
        std::printf("update %u: flimb %d at %d,%d: %s%s%s (line %d)\n", ClientUpdateCounter(), order.flimb, flimb->x,
                    flimb->y, what, order.keyName.empty() ? "" : " ", order.keyName.c_str(), order.line);
    }
}

bool WritePicture(HeadlessSession& session, const std::string& path)
{
    ZoomGameViewToFit(0);
    for (int i = 0; i < 3; ++i)
        session.Frame(true);
    gfx::Surface* back = DXManager::GetBackBuffer();
    const int width = DXManager::screenWidth, height = DXManager::screenHeight;
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = back->ReadPixel(uint32_t(x), uint32_t(y)) | 0xFF000000u;
    return WritePngFile(path, pixels.data(), width, height);
}

// Prints the flimbs (id, position, type) and the exits' counts.
void TraceWorld()
{
    std::printf("u%u:", ClientUpdateCounter());
    for (const Flimb& flimb : World())
        if (!flimb.IsFree())
            std::printf(" %d(%d,%d %s)", flimb.id, flimb.x, flimb.y, FlimbTypeName(flimb.type));
    int32_t saved = 0, wanted = 0;
    SumExitCounters(0, saved, wanted);
    std::printf(" saved %d/%d", saved, wanted);
    if (const char* probe = std::getenv("SOLUTIONREC_PROBE")) {
        int x = 0, y = 0;
        if (std::sscanf(probe, "%d,%d", &x, &y) == 2 && GameLandscape())
            std::printf(" material at %d,%d: %d", x, y, GameLandscape()->HitTestPoint(x, y));
    }
    std::printf("\n");
}

// The dry run's stand-in for the server: it keeps what the client sends and hands the
// orders back at once.
class LoopbackStream final : public IFlimbsStream {
public:
    bool Send(const void* message) override
    {
        const auto* bytes = static_cast<const uint8_t*>(message);
        sent_.emplace_back(bytes, bytes + RecordLength(bytes));
        return true;
    }
    bool Receive(void*, int) override { return false; }
    bool IsConnected() override { return true; }
    void Close() override {}
    std::string GetName() override { return "loopback"; }

    // Executes the orders sent since the last call (the rest a server would answer itself).
    void ExecuteOrders()
    {
        while (!sent_.empty()) {
            const std::vector<uint8_t> record = std::move(sent_.front());
            sent_.pop_front();
            const uint8_t id = record[0];
            if (id == kCmdUpdateFlimbType || id == kCmdHighlight || id == kCmdUpdateTrap || id == kCmdGulpChange)
                ExecuteCommand(record.data());
        }
    }

private:
    std::deque<std::vector<uint8_t>> sent_;
};

// The design aid: the script's orders straight into the executor, without a server, as fast
// as the world runs. Its result is close to, not the same as, a recording's.
int DryRun(const std::string& level, std::vector<Order>& orders, uint32_t traceEvery, uint32_t limit)
{
    ResetCommandState();
    GameClient client;
    LoopbackStream loopback;
    client.AttachStream(&loopback);
    SetCurrentClient(&client);
    ExecuteCommand(MakeGameData(level, 0, 0).data());
    auto player = std::make_unique<PlayerRecord>();
    player->id = 0;
    player->team = player->group = 0;
    player->control[0] = 1;
    Controller().localPlayer = player.get();
    Controller().players.push_back(std::move(player));
    std::array<uint8_t, 8> groups{};
    for (size_t g = 0; g < groups.size(); ++g)
        groups[g] = Controller().groups[g].inUse;
    ExecuteCommand(MakeStartGame(groups).data());
    while (ClientUpdateCounter() < limit && !ModeIsMatchOver()) {
        GiveOrders(orders, false);
        loopback.ExecuteOrders();
        ExecuteCommand(MakeUpdateFlimbs().data());
        if (traceEvery && ClientUpdateCounter() % traceEvery == 0)
            TraceWorld();
    }
    TraceWorld();
    std::printf("dry run: %s after %u updates, settled result %d\n", ModeIsMatchOver() ? "over" : "not over",
                ClientUpdateCounter(), ModeSettledResult());
    SetCurrentClient(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForHelp(argc, argv))
        return PrintHelp("usage: solutionrec <level> <script> <output.flimbs> [--lag MS] [--picture FILE.png [--picture-at U]] "
                                "[--limit S] [--skill 0|1|2] [--dry [--trace N]]\n");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 4) {
        std::fprintf(stderr, "usage: solutionrec <level> <script> <output.flimbs> [--lag MS] [--picture FILE.png] "
                             "[--limit S]\n");
        return 2;
    }
    const std::string level = argv[1], script = argv[2], output = argv[3];
    int lag = 10, limit = 600, skill = -1;
    bool dry = false;
    uint32_t traceEvery = 0;
    uint32_t pictureAt = 0;
    std::string picture;
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dry")) {
            dry = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        if (!std::strcmp(argv[i], "--trace"))
            traceEvery = uint32_t(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--lag"))
            lag = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--picture"))
            picture = argv[i + 1];
        else if (!std::strcmp(argv[i], "--picture-at"))
            pictureAt = uint32_t(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--limit"))
            limit = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--skill"))
            skill = std::atoi(argv[i + 1]);
        ++i;
    }
    std::vector<Order> orders;
    if (!ReadScript(script, orders))
        return 2;
    try {
        HeadlessSession session(1280, 720);
        ConnectGuiInput(); // the keys of the script reach the GUI as the keyboard's do
        if (dry)
            return DryRun(level, orders, traceEvery, uint32_t(limit) * 100u);
        if (std::getenv("SOLUTIONREC_TRACE"))
            if (ConsoleParam* verbose = ConsoleParam::Find("debug_mode"))
                verbose->SetInt(1);
        if (!LaunchLevelAsHost(level)) {
            std::fprintf(stderr, "solutionrec: cannot host %s\n", level.c_str());
            return 1;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limit);
        bool paced = false, ran = false;
        uint64_t liveHash = 0;
        uint32_t liveUpdates = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            session.Frame(false);
            const bool running = Controller().runState == kRunRunning;
            // The level waits for its intro's Start (a Multiverse match's Start sends Easy).
            const bool pressed = !running && !ran && PressLevelIntroStart();
            // The difficulty follows, before the match's first update.
            if (skill >= 0 && (pressed || running) && CurrentGameModeIndex() == kMultiverseMatchIndex &&
                ClientUpdateCounter() == 0) {
                if (GameServer* server = CurrentServer())
                    server->Broadcast(MakeBattleSkill(uint32_t(skill)));
                skill = -1;
            }
            if (running && !paced) {
                SendSetHostVariable(kHostVarMsPerUpdate, lag);
                paced = true;
            }
            ran = ran || running;
            if (running)
                GiveOrders(orders, true);
            if (ClientUpdateCounter() != liveUpdates && Controller().matchResult < 0) {
                liveUpdates = ClientUpdateCounter();
                liveHash = WorldStateHash();
            }
            if (pictureAt && ClientUpdateCounter() >= pictureAt && !picture.empty()) {
                if (!WritePicture(session, picture))
                    std::fprintf(stderr, "solutionrec: cannot write %s\n", picture.c_str());
                picture.clear();
            }
            if (ran && Controller().runState == kRunNone && Controller().matchResult >= 0)
                break;
            if (std::getenv("SOLUTIONREC_TRACE")) {
                static int frames = 0;
                if (++frames % 500 == 0)
                    std::printf("frame %d: run state %d, update %u\n", frames, Controller().runState,
                                ClientUpdateCounter()), std::fflush(stdout);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        if (Controller().matchResult < 0) {
            std::fprintf(stderr, "solutionrec: the game was not over within %d s (update %u)\n", limit,
                         ClientUpdateCounter());
            return 1;
        }
        if (std::getenv("SOLUTIONREC_TRACE"))
            for (const auto& player : Controller().players)
                std::printf("player %d team %d group %d spectator %d local %d\n", player->id, player->team,
                            player->group, player->spectator, player.get() == Controller().localPlayer);
        std::printf("live: the game is over after %u updates, match result %d, state hash %s\n", liveUpdates,
                    Controller().matchResult, StateHashText(liveHash).c_str());
        std::string saves;
        for (uint8_t group = 0; group < kControllerGroups; ++group) {
            int32_t takenIn = 0, wanted = 0;
            SumExitCounters(group, takenIn, wanted);
            if (wanted > 0 || takenIn > 0)
                saves += StringPrintf(" %u:%d", group, takenIn);
        }
        std::printf("saved by group:%s\n", saves.c_str());
        const bool flimbMasterMatch = CurrentGameModeIndex() == kMultiverseMatchIndex;
        for (const Order& order : orders)
            if (!order.given)
                std::printf("never given: line %d\n", order.line);
        if (!picture.empty() && !WritePicture(session, picture))
            std::fprintf(stderr, "solutionrec: cannot write %s\n", picture.c_str());
        if (!GameClient::SavePlayback("solution"))
            return 1;
        const std::string saved = GetUserPath(PlaybackFolder() + "solution.flimbs");
        CloseAllWindows();
        std::error_code error;
        std::filesystem::copy_file(saved, output, std::filesystem::copy_options::overwrite_existing, error);
        if (error) {
            std::fprintf(stderr, "solutionrec: cannot write %s: %s\n", output.c_str(), error.message().c_str());
            return 1;
        }
        if (flimbMasterMatch) {
            std::printf("replay not compared: a playback does not replay the FlimbMaster\n");
            return 0;
        }
        const PlaybackRunResult replay = RunPlaybackFile(output);
        std::printf("%s\n", PlaybackResultLine(output, replay).c_str());
        if (replay.updates != liveUpdates || replay.stateHash != liveHash)
            std::printf("REPLAY DIFFERS from the live game\n");
        std::printf("Level\\Solutions\\%s.flimbs %u %s\n", GetFileTitle(level, true).c_str(), replay.updates,
                    StateHashText(replay.stateHash).c_str());
        return replay.ok && replay.stateHash == liveHash ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "solutionrec: %s\n", failure.what());
        return 1;
    }
}
