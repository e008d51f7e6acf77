#pragma once
// A game server on 127.0.0.1 (port 0) with a test clock, bare clients to talk to it, and a
// fresh world, controller and command state around each test.
#include "../support/LogCapture.h"
#include "../support/NetWait.h"
#include "../support/ScopedConsoleInt.h"
#include "../support/SessionPeers.h"
#include "../support/TestWorld.h"

#include "session/ClientCommandState.h"
#include "session/GameServer.h"
#include "session/NetCommand.h"
#include "session/SessionConsole.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class SessionFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetCommandState();
        maxPlayers = 16;
        SetLagSetting(75, false);
        server = std::make_unique<GameServer>(false, 0, [this] { return now; });
        SetCurrentServer(server.get());
    }
    void TearDown() override
    {
        clients.clear();
        SetCurrentServer(nullptr);
        server.reset();
        ResetCommandState();
        maxPlayers = 16;
    }

    BareSessionClient& Connect()
    {
        clients.push_back(std::make_unique<BareSessionClient>(server->Port()));
        return *clients.back();
    }
    void Pump()
    {
        server->Update(true);
        for (auto& client : clients)
            client->Pump();
    }
    bool Until(const std::function<bool()>& done) { return PumpUntil(done, [this] { Pump(); }); }
    // Connects a bare client and answers its PLAYERID as a client of this version would.
    BareSessionClient& Join()
    {
        BareSessionClient& client = Connect();
        EXPECT_TRUE(Until([&] { return client.Count(kCmdPlayerId) + client.Count(kCmdNetResult) > 0; }));
        if (client.Count(kCmdPlayerId))
            client.Send(MakeNetResult(kNrVersionOk, 0, client.Of(kCmdPlayerId)[0][6]));
        EXPECT_TRUE(Until([&] { return client.Count(kCmdNewPlayer) > 0; }));
        return client;
    }
    static RecordBytes Bytes(const NetRecord& record) { return RecordBytes(record.data(), record.data() + record.size()); }

    TestWorld world;
    LogCapture log;
    uint32_t now = 100000;
    std::unique_ptr<GameServer> server;
    std::vector<std::unique_ptr<BareSessionClient>> clients;
};
