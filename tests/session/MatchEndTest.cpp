// The executor once the game mode reports the match over.
#include "../support/LogCapture.h"
#include "../support/SessionPeers.h"

#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

class EndedMode : public GameMode {
public:
    bool IsMatchOver() override { return true; }
    GroupStats AddEndOfMatchStats(int) override { return {}; }
};

TEST(MatchEnd, TicksAreConsumedWithoutAnUpdateAndStampsNoLongerHeld)
{
    WorldState world;
    ScopedWorld use(world);
    ResetCommandState();
    LogCapture log;
    GameClient client;
    MemoryStream stream;
    client.AttachStream(&stream);
    SetCurrentClient(&client);
    SetCurrentGameMode(std::make_unique<EndedMode>());

    stream.Queue(MakeUpdateFlimbs());
    NetRecord ahead = MakeChat("after the end", 0, 0, 0);
    ahead[1] = 5;
    stream.Queue(ahead);
    stream.Queue(MakeUpdateFlimbs().U8(1, 1));
    RunClientCommands();
    EXPECT_EQ(world.clock.updateCounter, 0u);
    EXPECT_TRUE(log.Contains("after the end\n"));
    EXPECT_TRUE(stream.incoming.empty());

    ClearCurrentGameMode();
    SetCurrentClient(nullptr);
    ResetCommandState();
}

} // namespace
