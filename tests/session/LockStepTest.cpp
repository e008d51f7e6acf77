// Matches run in lock-step across processes: a host (server and client) in this process and
// a joining client in a second one, on 127.0.0.1; and a saved playback replayed in a fresh
// process. The second processes are this program's peer tests (skipped when run alone).
#include "../support/ChildProcess.h"
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/MatchRun.h"
#include "../support/ScopedConsoleInt.h"
#include "../support/TestWorld.h"

#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/LevelNames.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/PlaybackRunner.h"
#include "session/SessionConsole.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

constexpr const char* kDone = "lockstep-done";
constexpr uint32_t kUpdates = 600;

using Hashes = StateHashes;

// The sample level the match is played on (two groups, a flimb each).
constexpr const char* kLevel = "m_dm_twin_valleys";

struct LockStepRun {
    Hashes host;
    Hashes joiner;
    std::string joinerText;
    int compare = -1;
    bool childEnded = false;
    uint64_t liveHash = 0;
    bool terrainDug = false; // the host's terrain changed during the match
    uint32_t liveUpdates = 0;
    std::string savedPlayback; // host path
};

LockStepRun RunLockStep(bool perturb, LogCapture& log)
{
    LockStepRun run;
    MatchScope scope(kLevel);
    FlimbsGameHost host(0, false);
    host.HostLevel(kLevel);
    GameServer& server = *host.Server();
    const auto frame = [&] { host.Update(); };
    // Both players have loaded the level, each in a group of its own.
    const auto loaded = [](size_t count) {
        const auto& players = Controller().players;
        if (players.size() != count)
            return false;
        for (const auto& player : players)
            if (!player->loaded || player->spectator || player->group >= 8)
                return false;
        return count < 2 || players[0]->group != players[1]->group;
    };
    EXPECT_TRUE(LoopUntil([&] { return loaded(1); }, frame, 30000));

    // The joiner comes in before the match starts and is given the other group; then the
    // host, the match's admin, starts it.
    const std::string output = GetUserRoot() + "/joiner.txt";
    ChildProcess joiner("LockStepPeer.Joiner",
                        {{"FLIMBS_LOCKSTEP_PORT", std::to_string(server.Port())},
                         {"FLIMBS_LOCKSTEP_OUT", output},
                         {"FLIMBS_LOCKSTEP_PERTURB", perturb ? "1" : "0"}});
    EXPECT_TRUE(joiner.Started());
    EXPECT_TRUE(LoopUntil([&] { return loaded(2); }, frame, 30000));
    host.Client()->RequestStartMatch();
    EXPECT_TRUE(LoopUntil([&] { return server.State() == GameServer::kRunning && Controller().runState == kRunRunning; },
                     frame, 30000));
    host.Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);
    const int32_t terrainAtStart = GameLandscape()->Checksum();

    // The match runs; every 50 updates the host orders a flimb to dig or to walk again.
    uint32_t nextOrder = 50;
    const auto playing = [&] {
        frame();
        const uint32_t counter = ClientUpdateCounter();
        if (counter >= nextOrder) {
            const std::vector<int16_t> ids = LiveFlimbIds();
            if (!ids.empty())
                host.Client()->SendUpdateFlimbType(ids[(nextOrder / 50) % ids.size()],
                                                   (nextOrder / 50) % 3 == 0 ? kWalk : kClob, 'X', 0);
            nextOrder += 50;
        }
    };
    EXPECT_TRUE(LoopUntil([&] { return ClientUpdateCounter() >= kUpdates; }, playing, 90000));
    server.RequestChecksums();
    EXPECT_TRUE(LoopUntil(
        [&] {
            for (const auto& player : Controller().players)
                if (!player->checksumReceived)
                    return false;
            return Controller().players.size() == 2;
        },
        playing, 60000));
    run.compare = server.CompareChecksums();
    run.terrainDug = GameLandscape()->Checksum() != terrainAtStart;

    if (!perturb) {
        EXPECT_TRUE(GameClient::SavePlayback("lockstep"));
        run.savedPlayback = GetUserPath(PlaybackFolder() + "lockstep.flimbs");
        run.liveHash = WorldStateHash();
        run.liveUpdates = ClientUpdateCounter();
    }
    host.Client()->SendChatLine(kDone);
    run.childEnded = LoopUntil([&] { return joiner.Poll(); }, playing, 60000);
    EXPECT_EQ(joiner.ExitCode(), 0);
    run.host = ParseStateHashes(log.Text());
    run.joinerText = ReadTextFile(output);
    run.joiner = ParseStateHashes(run.joinerText);
    host.Close();
    return run;
}

TEST(LockStep, AHostAndAJoinerInTwoProcessesStayInStep)
{
    LogCapture log;
    const LockStepRun run = RunLockStep(false, log);
    ASSERT_TRUE(run.childEnded);
    EXPECT_EQ(run.compare, 1);
    EXPECT_TRUE(run.terrainDug); // the dig orders reached the flimbs
    // Every update both printed has the same hash, from 75 to at least 525.
    size_t common = 0;
    for (const auto& [update, hash] : run.joiner) {
        const auto found = run.host.find(update);
        if (found == run.host.end())
            continue;
        EXPECT_EQ(hash, found->second) << "update " << update;
        ++common;
    }
    EXPECT_GE(common, 7u);
    ASSERT_FALSE(run.joiner.empty());
    EXPECT_EQ(run.joiner.begin()->first, 75u);
    EXPECT_GE(run.joiner.rbegin()->first, 525u);
    EXPECT_FALSE(log.Contains("has a bad level checksum"));
    // Requests of both went through the server: the joiner executed its own moves and the
    // host's dig orders.
    EXPECT_NE(run.joinerText.find("CLIENT CMD EXECUTE [CREATE_FLIMB]"), std::string::npos);
    EXPECT_NE(run.joinerText.find("CLIENT CMD EXECUTE [UPDATE_FLIMB_TYPE]"), std::string::npos);

    // The host's saved playback, replayed in a fresh process, ends where the live run was.
    const std::string replayOut = GetUserRoot() + "/replay.txt";
    ChildProcess replay("LockStepPeer.Replay",
                        {{"FLIMBS_REPLAY_FILE", run.savedPlayback}, {"FLIMBS_LOCKSTEP_OUT", replayOut}});
    ASSERT_TRUE(replay.Wait(120000));
    EXPECT_EQ(replay.ExitCode(), 0);
    std::istringstream result(ReadTextFile(replayOut));
    std::string word;
    uint32_t updates = 0;
    std::string hash;
    result >> word >> updates >> hash;
    EXPECT_EQ(word, "REPLAY");
    EXPECT_EQ(updates, run.liveUpdates);
    char live[17];
    std::snprintf(live, sizeof live, "%016llx", static_cast<unsigned long long>(run.liveHash));
    EXPECT_EQ(hash, live);
}

TEST(LockStep, AJoinerWhoseTerrainDiffersIsNamedByTheServer)
{
    LogCapture log;
    const LockStepRun run = RunLockStep(true, log);
    ASSERT_TRUE(run.childEnded);
    EXPECT_EQ(run.compare, 2);
    EXPECT_TRUE(log.Contains("Client 1 has a bad level checksum"));
    EXPECT_NE(run.joinerText.find("NR_BADCHECKSUM 1"), std::string::npos) << run.joinerText;
}

// ---- The second processes -----------------------------------------------------------------

TEST(LockStepPeer, Joiner)
{
    const char* port = std::getenv("FLIMBS_LOCKSTEP_PORT");
    const char* out = std::getenv("FLIMBS_LOCKSTEP_OUT");
    if (!port || !out)
        GTEST_SKIP() << "run by the LockStep tests";
    LogCapture log;
    MatchScope scope(kLevel);
    // The test-only switch: one pixel of the joiner's floor differs once the level runs.
    bool perturb = std::getenv("FLIMBS_LOCKSTEP_PERTURB") && std::string(std::getenv("FLIMBS_LOCKSTEP_PERTURB")) == "1";
    FlimbsGameMultiClient session("127.0.0.1", std::atoi(port));
    uint32_t nextMove = 40;
    ScopedConsoleInt verbose("debug_mode", 1);
    const bool ended = LoopUntil([&] { return MessageLogHas(kDone); },
                            [&] {
                                session.Update();
                                const bool playing = Controller().runState == kRunRunning && !CommandState().waiting;
                                if (playing && perturb && GameLandscape()) {
                                    GameLandscape()->PlotPixel(3, 0xFFFFFFFFu, 1500, 1010);
                                    perturb = false;
                                }
                                if (playing && ClientUpdateCounter() >= nextMove) {
                                    const std::vector<int16_t> ids = LiveFlimbIds();
                                    if (!ids.empty())
                                        session.Client()->SendMoveFlimb(400 + (nextMove % 2000), 900,
                                                                        ids[(nextMove / 40) % ids.size()]);
                                    nextMove += 40;
                                }
                            },
                            120000);
    std::ofstream file(out);
    file << log.Text();
    if (log.Contains("CLIENT NETRESULT[NR_BADCHECKSUM] = 3"))
        file << "NR_BADCHECKSUM 1\n";
    EXPECT_TRUE(ended);
    session.Close();
}

TEST(LockStepPeer, Replay)
{
    const char* path = std::getenv("FLIMBS_REPLAY_FILE");
    const char* out = std::getenv("FLIMBS_LOCKSTEP_OUT");
    if (!path || !out)
        GTEST_SKIP() << "run by the LockStep tests";
    MatchScope scope(kLevel);
    const PlaybackRunResult result = RunPlaybackFile(path);
    EXPECT_TRUE(result.ok) << result.error;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(result.stateHash));
    std::ofstream(out) << "REPLAY " << result.updates << " " << hash << "\n";
}

} // namespace
