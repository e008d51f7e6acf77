// Level checksums compared in one process: the server, the host's own client and two bare
// clients.
#include "SessionFixture.h"

#include "game/GameController.h"
#include "session/GameClient.h"

namespace {

class ChecksumTest : public SessionFixture {
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        host = std::make_unique<GameClient>();
        SetCurrentClient(host.get());
        host->ConnectLocal(server->Port());
        pump = [this] {
            server->Update(true);
            RunClientCommands();
            for (auto& client : clients)
                client->Pump();
        };
    }
    void TearDown() override
    {
        SetCurrentClient(nullptr);
        host.reset();
        SessionFixture::TearDown();
    }
    bool Wait(const std::function<bool()>& done) { return PumpUntil(done, pump); }
    // A bare client's NETRESULT 3 records.
    static std::vector<RecordBytes> BadChecksums(const BareSessionClient& client)
    {
        std::vector<RecordBytes> found;
        for (const RecordBytes& r : client.Of(kCmdNetResult))
            if (GetU32(r.data(), 8) == kNrBadChecksum)
                found.push_back(r);
        return found;
    }

    std::unique_ptr<GameClient> host;
    std::function<void()> pump;
};

TEST_F(ChecksumTest, TheServerNamesOnlyTheClientWhoseChecksumDiffers)
{
    ASSERT_TRUE(Wait([&] { return Controller().localPlayer && server->ClientInGame(0); }));
    BareSessionClient& one = Connect();
    BareSessionClient& two = Connect();
    for (BareSessionClient* bare : {&one, &two}) {
        ASSERT_TRUE(Wait([&] { return bare->Count(kCmdPlayerId) == 1; }));
        bare->Send(MakeNetResult(kNrVersionOk, 0, bare->Of(kCmdPlayerId)[0][6]));
    }
    ASSERT_TRUE(Wait([&] { return Controller().players.size() == 3; }));

    // Everybody has the level: the host's client asks the server for the checksums.
    host->SendNetResult(kNrLoadLevelOk);
    one.Send(MakeNetResult(kNrLoadLevelOk, 0, 1));
    two.Send(MakeNetResult(kNrLoadLevelOk, 0, 2));
    ASSERT_TRUE(Wait([&] { return one.Count(kCmdChecksum) == 1 && two.Count(kCmdChecksum) == 1; }));
    EXPECT_TRUE(log.Contains("Requesting Checksum\n"));
    ASSERT_TRUE(Wait([&] { return Controller().players[0]->checksumReceived == 1; }));
    EXPECT_EQ(server->CompareChecksums(), 0);
    one.Send(MakeChecksum(0));
    ASSERT_TRUE(Wait([&] { return Controller().players[1]->checksumReceived == 1; }));
    EXPECT_EQ(server->CompareChecksums(), 0);
    two.Send(MakeChecksum(0));
    ASSERT_TRUE(Wait([&] { return Controller().players[2]->checksumReceived == 1; }));
    EXPECT_EQ(server->CompareChecksums(), 1);

    server->RequestChecksums();
    ASSERT_TRUE(Wait([&] { return one.Count(kCmdChecksum) == 2 && two.Count(kCmdChecksum) == 2; }));
    one.Send(MakeChecksum(0));
    two.Send(MakeChecksum(5));
    ASSERT_TRUE(Wait([&] { return !BadChecksums(one).empty(); }));
    const auto named = BadChecksums(one);
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0][16], 2);
    EXPECT_TRUE(log.Contains("Client 2 has a bad level checksum. Expected [0 @ update"));
    EXPECT_FALSE(log.Contains("Client 1 has a bad level checksum"));
    EXPECT_TRUE(log.Contains("Player has an invalid checksum.  Try another level."));
    EXPECT_EQ(Controller().players[2]->loaded, 0);
}

} // namespace
