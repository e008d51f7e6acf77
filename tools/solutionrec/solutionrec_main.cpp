// solutionrec: plays a level through the real game session (its game server in this
// process, the game client connected to it over 127.0.0.1) with the orders of a script, as a
// player would give them from the belt, until the game is over; saves the client's recording
// as the level's solution, replays it to check that it ends where the live game did, and
// prints the solution list's line for it.
//
//   solutionrec <level> <script> <output.flimbs> [--lag MS] [--picture FILE.png [--picture-at U]]
//               [--limit S] [--dry [--trace N]]
//
// A script line orders one flimb once, when all its conditions hold:
//   <flimb id> <action> [at=<update>] [x>=<X>] [x<=<X>] [y>=<Y>] [y<=<Y>]
// (actions by their type names: Clob, Mold, Nova, Drill, Gulp, Doppel, ...; '#' starts a
// comment). --lag is the pace of the match while it is recorded (the recording does not
// depend on it); --picture writes the whole level with its flimbs when the game is over (or at
// update U). --dry plays the script straight into the executor without a server, as fast as
// the world runs (a design aid: orders land a little earlier than in a recording), with the
// flimbs printed every N updates.
#include "tools/headless/HeadlessSession.h"

#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/GameViewPort.h"
#include "media/PngFile.h"
#include "platform/gfx/Resources.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameSessions.h"
#include "session/NetCommand.h"
#include "session/PlaybackRunner.h"
#include "session/SessionServices.h"
#include "modes/ModeServices.h"
#include "world/ActionChecks.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"
#include "world/Landscape.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <chrono>
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

struct Order {
    int line = 0;
    int16_t flimb = 0;
    uint8_t action = 0;
    uint32_t at = 0;
    int xMin = INT32_MIN, xMax = INT32_MAX, yMin = INT32_MIN, yMax = INT32_MAX;
    bool given = false;
};

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
        std::string action, condition;
        int flimb = 0;
        if (!(words >> flimb))
            continue;
        if (!(words >> action)) {
            std::fprintf(stderr, "%s:%d: an order needs an action\n", path.c_str(), number);
            return false;
        }
        order.flimb = int16_t(flimb);
        order.action = Flimb::TypeFromName(action);
        if (!EqualsNoCase(FlimbTypeName(order.action), action) || order.action > kWalk) {
            std::fprintf(stderr, "%s:%d: unknown action %s\n", path.c_str(), number, action.c_str());
            return false;
        }
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

// Gives each order whose conditions hold now, the way the belt gives it.
void GiveOrders(std::vector<Order>& orders)
{
    for (Order& order : orders) {
        if (order.given || ClientUpdateCounter() < order.at)
            continue;
        Flimb* flimb = FindFlimbById(order.flimb);
        if (!flimb || !flimb->IsAlive() || flimb->x < order.xMin || flimb->x > order.xMax || flimb->y < order.yMin ||
            flimb->y > order.yMax || !CanGiveAction(*flimb, 0, order.action, true))
            continue;
        NoteFlimbSelected(order.action, 1, flimb);
        order.given = true;
        std::printf("update %u: flimb %d at %d,%d: %s (line %d)\n", ClientUpdateCounter(), order.flimb, flimb->x,
                    flimb->y, FlimbTypeName(order.action), order.line);
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

// The design aid: the script's orders straight into the executor, without a server, as fast
// as the world runs. Its result is close to, not the same as, a recording's.
int DryRun(const std::string& level, std::vector<Order>& orders, uint32_t traceEvery, uint32_t limit)
{
    ResetCommandState();
    GameClient client;
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
        for (Order& order : orders) {
            if (order.given || ClientUpdateCounter() < order.at)
                continue;
            Flimb* flimb = FindFlimbById(order.flimb);
            if (!flimb || !flimb->IsAlive() || flimb->x < order.xMin || flimb->x > order.xMax ||
                flimb->y < order.yMin || flimb->y > order.yMax || !CanGiveAction(*flimb, 0, order.action, true))
                continue;
            order.given = true;
            std::printf("update %u: flimb %d at %d,%d: %s (line %d)\n", ClientUpdateCounter(), order.flimb, flimb->x,
                        flimb->y, FlimbTypeName(order.action), order.line);
            ExecuteCommand(MakeUpdateFlimbType(order.flimb, order.action, 255, 0).data());
        }
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
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 4) {
        std::fprintf(stderr, "usage: solutionrec <level> <script> <output.flimbs> [--lag MS] [--picture FILE.png] "
                             "[--limit S]\n");
        return 2;
    }
    const std::string level = argv[1], script = argv[2], output = argv[3];
    int lag = 10, limit = 600;
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
        ++i;
    }
    std::vector<Order> orders;
    if (!ReadScript(script, orders))
        return 2;
    try {
        HeadlessSession session(1280, 720);
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
            if (running && !paced) {
                SendSetHostVariable(kHostVarMsPerUpdate, lag);
                paced = true;
            }
            ran = ran || running;
            if (running)
                GiveOrders(orders);
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
