// One match on three processes through the real network stack on 127.0.0.1: this process
// hosts it (the game server and its own client), two client processes join through the
// "connect" console command and its address and port variables, the level is loaded and the
// match paused and resumed through the server's console commands, both clients give orders,
// and a third client joins late. A client whose world was perturbed once is named by the
// server and the host's player is told. The second processes are this program's peer tests
// (skipped when run alone).
#include "../support/ChildProcess.h"
#include "../support/LogCapture.h"
#include "../support/MatchRun.h"
#include "../support/ScopedConsoleInt.h"

#include "app/ConsoleParam.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "gui/WindowList.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/SessionGame.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

constexpr const char* kLevel = "m_dm_three_hills";
constexpr const char* kDone = "match-done";
constexpr uint32_t kUpdates = 2100;
constexpr uint32_t kCompareEvery = 300;
constexpr uint32_t kLateJoin = 1000;
constexpr uint32_t kPauseAt = 700;

std::unique_ptr<ChildProcess> StartClient(int port, const std::string& out, bool orders, bool perturb)
{
    return std::make_unique<ChildProcess>("MatchPeer.Client",
                                          std::map<std::string, std::string>{
                                              {"FLIMBS_MATCH_PORT", std::to_string(port)},
                                              {"FLIMBS_MATCH_OUT", out},
                                              {"FLIMBS_MATCH_ORDERS", orders ? "1" : "0"},
                                              {"FLIMBS_MATCH_PERTURB", perturb ? "1" : "0"}});
}

// Every player has loaded the level, in a group of its own unless watching.
bool AllLoaded(size_t count)
{
    const auto& players = Controller().players;
    if (players.size() != count)
        return false;
    std::array<int, 8> taken{};
    for (const auto& player : players) {
        if (!player->loaded)
            return false;
        if (player->spectator)
            continue;
        if (player->group >= 8 || taken[player->group]++)
            return false;
    }
    return true;
}

bool AllChecksumsIn()
{
    for (const auto& player : Controller().players)
        if (!player->checksumReceived)
            return false;
    return !Controller().players.empty();
}

TEST(Match, ThreeProcessesPlayInStepAndALateJoinerCatchesUp)
{
    LogCapture log;
    MatchScope scope(kLevel);
    ScopedConsoleInt verbose("debug_mode", 1);
    FlimbsGameHost host(0, false);
    GameServer& server = *host.Server();
    const auto frame = [&] { host.Update(); };
    ASSERT_TRUE(ExecuteConsoleLine(std::string("loadlevel ") + kLevel));
    ASSERT_TRUE(LoopUntil([] { return AllLoaded(1); }, frame, 30000));

    const std::string outA = GetUserRoot() + "/client-a.txt", outB = GetUserRoot() + "/client-b.txt",
                      outC = GetUserRoot() + "/client-c.txt";
    auto clientA = StartClient(server.Port(), outA, true, false);
    ASSERT_TRUE(LoopUntil([] { return AllLoaded(2); }, frame, 30000));
    auto clientB = StartClient(server.Port(), outB, true, false);
    ASSERT_TRUE(LoopUntil([] { return AllLoaded(3); }, frame, 30000));

    host.Client()->RequestStartMatch();
    ASSERT_TRUE(LoopUntil([&] { return server.State() == GameServer::kRunning && Controller().runState == kRunRunning; },
                          frame, 30000));
    host.Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);

    std::vector<int> compares;
    bool paused = false, resumed = false;
    std::unique_ptr<ChildProcess> clientC;
    uint32_t nextCompare = kCompareEvery;
    const auto playing = [&] {
        frame();
        const uint32_t counter = ClientUpdateCounter();
        if (counter >= kPauseAt && !paused) {
            // The server's console: "pause" holds the ticks, a second "pause" lets them go on.
            ASSERT_TRUE(ExecuteConsoleLine("pause"));
            paused = server.State() == GameServer::kPaused;
            const uint32_t held = server.UpdateCounter();
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
            while (std::chrono::steady_clock::now() < until)
                frame();
            EXPECT_EQ(server.UpdateCounter(), held) << "no ticks while paused";
            ASSERT_TRUE(ExecuteConsoleLine("pause"));
            resumed = server.State() == GameServer::kRunning;
        }
        if (counter >= kLateJoin && !clientC)
            clientC = StartClient(server.Port(), outC, false, false);
        if (counter >= nextCompare) {
            server.RequestChecksums();
            EXPECT_TRUE(LoopUntil(AllChecksumsIn, frame, 30000));
            compares.push_back(server.CompareChecksums());
            nextCompare += kCompareEvery;
        }
    };
    ASSERT_TRUE(LoopUntil([] { return ClientUpdateCounter() >= kUpdates; }, playing, 180000));
    host.Client()->SendChatLine(kDone);
    for (auto* client : {clientA.get(), clientB.get(), clientC.get()}) {
        if (client) {
            EXPECT_TRUE(LoopUntil([&] { return client->Poll(); }, frame, 60000));
        }
    }
    host.Close();

    EXPECT_TRUE(paused);
    EXPECT_TRUE(resumed);
    EXPECT_GE(compares.size(), kUpdates / kCompareEvery);
    for (const int compare : compares)
        EXPECT_EQ(compare, 1);
    EXPECT_FALSE(log.Contains("has a bad level checksum"));
    // Both clients' orders went through the server.
    EXPECT_TRUE(log.Contains("SERVER RECV C=[1], CMD=UPDATE_FLIMB_TYPE"));
    EXPECT_TRUE(log.Contains("SERVER RECV C=[2], CMD=UPDATE_FLIMB_TYPE"));

    const StateHashes hostHashes = ParseStateHashes(log.Copy());
    for (const auto& [name, path, from] : {std::tuple{"A", outA, 75u}, std::tuple{"B", outB, 75u},
                                           std::tuple{"C", outC, kLateJoin + 75u}}) {
        SCOPED_TRACE(name);
        const std::string text = ReadTextFile(path);
        const StateHashes hashes = ParseStateHashes(text);
        const HashComparison comparison = CompareStateHashes(hostHashes, hashes);
        EXPECT_EQ(comparison.firstDifference, 0u);
        EXPECT_GE(comparison.common, size_t((kUpdates - from) / 75)) << text.substr(0, 2000);
    }
    // The late joiner caught up from the server's recording, as a spectator.
    const std::string textC = ReadTextFile(outC);
    EXPECT_NE(textC.find("CLIENT CMD EXECUTE [NETLOAD]"), std::string::npos);
    EXPECT_NE(textC.find("SPECTATOR 1"), std::string::npos);
}

TEST(Match, AClientWhoseWorldWasPerturbedIsNamedAndThePlayerIsTold)
{
    LogCapture log;
    MatchScope scope(kLevel);
    FlimbsGameHost host(0, false);
    const auto frame = [&] { host.Update(); };
    ASSERT_TRUE(ExecuteConsoleLine(std::string("loadlevel ") + kLevel));
    ASSERT_TRUE(LoopUntil([] { return AllLoaded(1); }, frame, 30000));
    const std::string out = GetUserRoot() + "/perturbed.txt";
    auto client = StartClient(host.Server()->Port(), out, false, true);
    // The lobby compares the level checksums once everyone has loaded: the perturbed client's
    // differs from the host's.
    const char* told = "Player has an invalid checksum.  Try another level.";
    EXPECT_TRUE(LoopUntil([&] { return MessageLogHas(told); }, frame, 30000)) << log.Copy();
    EXPECT_TRUE(log.Contains("Client 1 has a bad level checksum. Expected ["));
    // Not loaded any more: the match does not start with it.
    host.Client()->RequestStartMatch();
    EXPECT_TRUE(LoopUntil(
        [] { return MessageLogHas("Some players are still loading the level, please try again in a few seconds."); },
        frame, 10000));
    EXPECT_NE(host.Server()->State(), GameServer::kRunning);
    host.Client()->SendChatLine(kDone);
    EXPECT_TRUE(LoopUntil([&] { return client->Poll(); }, frame, 60000));
    host.Close();
    EXPECT_NE(ReadTextFile(out).find("CLIENT NETRESULT[NR_BADCHECKSUM] = 3"), std::string::npos);
}

// ---- The second processes -----------------------------------------------------------------

TEST(MatchPeer, Client)
{
    const char* port = std::getenv("FLIMBS_MATCH_PORT");
    const char* out = std::getenv("FLIMBS_MATCH_OUT");
    if (!port || !out)
        GTEST_SKIP() << "run by the Match tests";
    const bool orders = std::string(std::getenv("FLIMBS_MATCH_ORDERS")) == "1";
    bool perturb = std::string(std::getenv("FLIMBS_MATCH_PERTURB")) == "1";
    LogCapture log;
    // The test's switch: one pixel of this world differs, set the moment the level has loaded
    // (the server's checksum request may be handled within the same update).
    log.OnLine([&perturb](const std::string& line) {
        if (perturb && line.find("Game Map and Info loaded successfully!") != std::string::npos && GameLandscape()) {
            GameLandscape()->PlotPixel(3, 0xFFFFFFFFu, 1500, 1010);
            perturb = false;
        }
    });
    MatchScope scope(kLevel);
    ScopedConsoleInt verbose("debug_mode", 1);
    // The player's way in: the console's connect command with its address and port.
    EXPECT_TRUE(ExecuteConsoleLine("connectIP 127.0.0.1"));
    EXPECT_TRUE(ExecuteConsoleLine(std::string("connectPORT ") + port));
    EXPECT_TRUE(ExecuteConsoleLine("connect"));
    auto* session = dynamic_cast<FlimbsGameMultiClient*>(FindOpenWindow("FlimbsGameBase"));
    ASSERT_NE(session, nullptr);
    uint32_t nextOrder = 60;
    int order = 0;
    bool spectator = false;
    const bool ended = LoopUntil([] { return MessageLogHas(kDone); },
                                 [&] {
                                     session->Update();
                                     const PlayerRecord* local = Controller().localPlayer;
                                     spectator = spectator || (local && local->spectator);
                                     const bool playing = Controller().runState == kRunRunning && !CommandState().waiting;
                                     if (!orders || !playing || !local || local->group >= 8 ||
                                         ClientUpdateCounter() < nextOrder)
                                         return;
                                     const std::vector<int16_t> ids = LiveFlimbIds(local->group);
                                     if (!ids.empty()) {
                                         static constexpr uint8_t kOrders[] = {kClob, kWalk, kMold, kWalk, kDrill};
                                         session->Client()->SendUpdateFlimbType(ids[size_t(order) % ids.size()],
                                                                               kOrders[order % 5], 'X', 0);
                                         ++order;
                                     }
                                     nextOrder += 60;
                                 },
                                 150000);
    std::ofstream file(out);
    file << log.Copy();
    file << "SPECTATOR " << (spectator ? 1 : 0) << "\n";
    EXPECT_TRUE(ended);
    CloseAllWindows();
}

} // namespace
