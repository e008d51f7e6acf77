// The game client's requests and the executor's pass over an in-memory stream.
#include "../support/LogCapture.h"
#include "../support/ScopedConsoleInt.h"
#include "../support/SessionPeers.h"
#include "../support/TestWorld.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "game/GameController.h"
#include "session/ClientCommandState.h"
#include "session/FileTransfer.h"
#include "session/GameClient.h"
#include "session/NetCommand.h"
#include "session/SessionServices.h"
#include "session/SessionConsole.h"
#include "session/SessionGame.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

class GameClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetCommandState();
        ConsoleParam::Find("username")->SetString("Pilot");
        client.AttachStream(&stream);
        SetCurrentClient(&client);
    }
    void TearDown() override
    {
        SetCurrentClient(nullptr);
        ResetCommandState();
    }
    PlayerRecord& Local(uint8_t id, uint8_t group = 0)
    {
        PlayerRecord& local = world.AddLocalPlayer();
        local.id = id;
        local.group = group;
        return local;
    }
    // The records sent so far with a command.
    std::vector<RecordBytes> Sent(uint8_t command) const
    {
        std::vector<RecordBytes> found;
        for (const RecordBytes& r : stream.sent)
            if (r[0] == command)
                found.push_back(r);
        return found;
    }
    std::string SentChat(size_t i = 0) const { return GetText(Sent(kCmdChat).at(i).data(), 6, 130); }
    void Frame() { RunClientCommands(); }

    TestWorld world;
    LogCapture log;
    MemoryStream stream;
    GameClient client;
};

TEST_F(GameClientTest, ChatLinesCarryTheSpeakersNameAndMarks)
{
    PlayerRecord& local = Local(2);
    client.SendChat("hello");
    local.spectator = 1;
    client.SendChat("hello");
    local.spectator = 0;
    client.SendChat("hello", -1, true);
    client.SendChat("hello", -1, false, "Ace");
    client.SendChatLine("Round two");
    EXPECT_EQ(SentChat(0), "Pilot: hello");
    EXPECT_EQ(SentChat(1), "Pilot [S]: hello");
    EXPECT_EQ(SentChat(2), "(Group Only) Pilot: hello");
    EXPECT_EQ(SentChat(3), "Ace: hello");
    EXPECT_EQ(SentChat(4), "Round two");
    EXPECT_EQ(Sent(kCmdChat)[0][136], 2);
    EXPECT_EQ(Sent(kCmdChat)[2][137], 1);
    EXPECT_EQ(Sent(kCmdChat)[4][136], 254);
}

// The world's and the level loader's requests through the session's services reach the
// stream: the single player's group after a load, another player's group, a flimb moved.
TEST_F(GameClientTest, ServiceRequestsReachTheServer)
{
    Local(3);
    SetGameClientRequests(&client);
    SendTeamChange(uint8_t(2));
    SendPlayerTeamChange(5, 254);
    SendCreateFlimb(17, 400, 900);
    SetGameClientRequests(nullptr);
    const std::vector<RecordBytes> teams = Sent(kCmdTeamChange);
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(GetU32(teams[0].data(), 8), 3u) << "the local player";
    EXPECT_EQ(teams[0][12], 2);
    EXPECT_EQ(GetU32(teams[1].data(), 8), 5u);
    EXPECT_EQ(teams[1][12], 254);
    const std::vector<RecordBytes> moves = Sent(kCmdCreateFlimb);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0][18] & 0x7F, 'c');
    EXPECT_EQ(GetU16(moves[0].data(), 16), 17);
    EXPECT_EQ(GetU32(moves[0].data(), 8), 400u);
}

TEST_F(GameClientTest, RequestsAreStampedWithTheUpdateCounter)
{
    World().clock.updateCounter = 300;
    client.SendGulpChange(5, 1);
    ASSERT_EQ(stream.sent.size(), 1u);
    EXPECT_EQ(stream.sent[0][1], 44);
    EXPECT_EQ(stream.sent[0][4], 0);
    client.SendPing(3);
    EXPECT_EQ(stream.sent[1][4], 3);
}

TEST_F(GameClientTest, WithoutAStreamNothingIsSentOrLogged)
{
    GameClient alone;
    log.Clear();
    alone.SendChat("hi");
    alone.SendGameData("a.flevel");
    alone.SendSetHostVariable(18, 1);
    alone.SendGameModeState("<game-mode-state/>");
    EXPECT_EQ(alone.sentCount, 0u);
    EXPECT_EQ(log.Text(), "");
}

TEST_F(GameClientTest, TextRequestsEndInTheirNulAndOversizedNamesAreRefused)
{
    client.SendGameModeState("");
    client.SendGameManagerState("");
    ASSERT_EQ(stream.sent.size(), 2u);
    EXPECT_EQ(stream.sent[0].size(), 7u);
    EXPECT_EQ(stream.sent[1].size(), 7u);
    stream.sent.clear();
    client.SendGameData(std::string(99, 'a'));
    client.SendGameData(std::string(100, 'a'));
    client.SendLevelQuery(std::string(127, 'b'), 1, true);
    client.SendLevelQuery(std::string(128, 'b'), 1, true);
    EXPECT_EQ(Sent(kCmdGameData).size(), 1u);
    EXPECT_EQ(Sent(kCmdLevelQuery).size(), 1u);
    EXPECT_TRUE(log.Contains("Level name too long for GAMEDATA (100 bytes)"));
    EXPECT_TRUE(log.Contains("Level name too long for LEVELQUERY (128 bytes)"));
}

TEST_F(GameClientTest, FilesGoOutInChunksThroughTheFileManager)
{
    FileManager files;
    auto memory = std::make_unique<MemoryFileManager>();
    std::vector<uint8_t> bytes(2500, 7);
    memory->AddFile("User\\Avatars\\me.jpg", bytes.data(), bytes.size());
    files.AddMember(std::move(memory));
    fileManager = &files;
    EXPECT_TRUE(client.SendFile("User\\Avatars\\me.jpg", 1));
    EXPECT_FALSE(client.SendFile("User\\Avatars\\none.jpg", 1));
    client.SendAvatar("User\\AvatarsData\\me.flevel");
    fileManager = nullptr;
    const auto chunks = Sent(kCmdFileData);
    ASSERT_EQ(chunks.size(), 6u);
    const uint32_t counts[] = {1024, 1024, 452};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(GetU32(chunks[i].data(), 1292), counts[i % 3]);
        EXPECT_EQ(GetU32(chunks[i].data(), 1300), 1u);
    }
    EXPECT_TRUE(log.Contains("Failed to send file User\\Avatars\\none.jpg\n"));
}

TEST(UserNameFilter, KeepsTheAllowedCharactersUpToTwentyFour)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Pilot", "Pilot"}, {"a<b>c;d", "abcd"}, {"Jo O'Neil-x_y.z@w", "Jo O'Neil-x_y.z@w"},
        {"", "PlayerX"}, {"<<>>", "PlayerX"}, {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrstuvwx"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilterUserName(c.in), c.out) << c.in;
}

TEST_F(GameClientTest, ARecordStampedAheadRunsHeldBackTicksFirst)
{
    Local(0);
    stream.Queue(MakeUpdateFlimbs());
    NetRecord chat = MakeChat("later", 0, 0, 0);
    chat[1] = 4;
    stream.Queue(chat);
    stream.Queue(MakeUpdateFlimbs().U8(1, 4));
    Frame();
    EXPECT_EQ(World().clock.updateCounter, 5u);
    ASSERT_EQ(Controller().messages.Entries().size(), 1u);
    EXPECT_EQ(Controller().messages.Entries().back().text, "later");
    EXPECT_TRUE(stream.incoming.empty());
}

TEST_F(GameClientTest, AnUnknownCommandEndsThePassAndTheNextFrameGoesOn)
{
    stream.Queue(MakeUpdateFlimbs());
    stream.Queue(MakeSPing(1)); // a command no client executes
    stream.Queue(MakeUpdateFlimbs().U8(1, 1));
    Frame();
    EXPECT_EQ(World().clock.updateCounter, 1u);
    EXPECT_TRUE(log.Contains("    NETWORK ERROR:UNKNOWN Message!!!!!!!!!!!!! "));
    EXPECT_EQ(stream.incoming.size(), 1u);
    Frame();
    EXPECT_EQ(World().clock.updateCounter, 2u);
}

TEST_F(GameClientTest, InvalidRecordsFromTheServerAreSkipped)
{
    RecordBytes bad(16, 0);
    bad[0] = kCmdChecksum;
    bad[2] = 20; // says more than there is
    stream.Queue(bad);
    stream.Queue(MakeUpdateFlimbs());
    Frame();
    EXPECT_EQ(World().clock.updateCounter, 1u);
    EXPECT_TRUE(log.Contains("CLIENT: skipped a record from the server"));
}

TEST_F(GameClientTest, HostVariablesPauseOnlyARunningGame)
{
    const struct {
        int32_t before;
        uint32_t value;
        int32_t after;
    } cases[] = {
        {kRunRunning, 1, kRunPaused}, {kRunPaused, 1, kRunPaused}, {kRunPaused, 0, kRunRunning},
        {kRunNone, 1, kRunNone},      {kRunRunning, 0, kRunRunning},
    };
    for (const auto& c : cases) {
        Controller().runState = c.before;
        stream.Queue(MakeSetHostVariable(kHostVarPause, c.value));
        Frame();
        EXPECT_EQ(Controller().runState, c.after) << c.before << " " << c.value;
    }
    stream.Queue(MakeSetHostVariable(kHostVarMsPerUpdate, 0));
    stream.Queue(MakeSetHostVariable(kHostVarMsPerUpdate, 50));
    Frame();
    EXPECT_EQ(CommandState().msPerUpdate, 50u);
}

TEST_F(GameClientTest, PlayerIdAndNewPlayerMakeTheLocalPlayer)
{
    stream.Queue(MakePlayerId(3, 0));
    stream.Queue(MakeNewPlayer(3, 1, 2, "", 1, 0));
    stream.Queue(MakeNewPlayer(1, 2, 254, "Bob", 1, 0));
    Frame();
    ASSERT_NE(Controller().localPlayer, nullptr);
    EXPECT_EQ(Controller().localPlayer->id, 3);
    EXPECT_EQ(Controller().localPlayer->group, 2);
    EXPECT_EQ(Controller().localPlayer->name, "Player3");
    ASSERT_EQ(Sent(kCmdNetResult).size(), 1u);
    EXPECT_EQ(GetU32(Sent(kCmdNetResult)[0].data(), 8), kNrVersionOk);
    EXPECT_EQ(Sent(kCmdUpdateUsername).size(), 1u);
    EXPECT_EQ(Sent(kCmdProfileId).size(), 1u);
    ASSERT_EQ(Controller().players.size(), 2u);
    EXPECT_EQ(Controller().players[1]->name, "Bob");
    EXPECT_EQ(Controller().players[1]->spectator, 1);

    std::vector<std::string> status;
    client.SignalStatusText.connect([&](const std::string& text) { status.push_back(text); });
    stream.Queue(MakePlayerId(3, 0).U16(12, 123));
    Frame();
    EXPECT_EQ(GetU32(Sent(kCmdNetResult).back().data(), 8), kNrWrongVersion);
    EXPECT_EQ(status, (std::vector<std::string>{"Your version of Flimbs is not the same\nas the version the server is running."}));
}

TEST_F(GameClientTest, ChatFromAnotherGroupOnlyIsDroppedAndTypingAddsNoLine)
{
    Local(0, 1);
    auto& other = Controller().players.emplace_back(std::make_unique<PlayerRecord>());
    other->id = 1;
    other->group = 2;
    stream.Queue(MakeChat("", 1, 0, 1));
    Frame();
    EXPECT_EQ(other->typing, 1);
    EXPECT_TRUE(Controller().messages.Entries().empty());
    stream.Queue(MakeChat("(Group Only) x: secret", 1, 1, 0));
    stream.Queue(MakeChat("x: hi", 1, 0, 0));
    Frame();
    ASSERT_EQ(Controller().messages.Entries().size(), 1u);
    EXPECT_EQ(Controller().messages.Entries()[0].text, "x: hi");
    EXPECT_EQ(Controller().messages.Entries()[0].sender, 1);
    EXPECT_EQ(other->typing, 0);
}

class StubGame : public SessionGameState {
public:
    int LoadLevelForGameData(const std::string& name, uint32_t) override
    {
        loaded.push_back(name);
        loaded_.name = name;
        return code;
    }
    int code = kNrLoadLevelOk;
    std::vector<std::string> loaded;
};

TEST_F(GameClientTest, GameDataLoadsTheLevelOrReportsWhyNot)
{
    StubGame game;
    SetSessionGame(&game);
    std::vector<std::string> status;
    client.SignalStatusText.connect([&](const std::string& text) { status.push_back(text); });
    stream.Queue(MakeGameData("kpt_one.flevel", 0, 1));
    stream.Queue(MakeUpdateFlimbs());
    Frame();
    EXPECT_EQ(game.loaded, (std::vector<std::string>{"kpt_one.flevel"}));
    EXPECT_EQ(ConsoleParam::Find("loadquick")->GetInt(), 1);
    EXPECT_TRUE(log.Contains("Game Map and Info loaded successfully!\n"));
    ASSERT_EQ(Sent(kCmdNetResult).size(), 1u);
    EXPECT_EQ(GetU32(Sent(kCmdNetResult)[0].data(), 8), kNrLoadLevelOk);
    EXPECT_TRUE(CommandState().recording != nullptr);

    game.code = kNrBadCrc;
    stream.Queue(MakeGameData("kpt_two.flevel", 0, 0));
    stream.Queue(MakeUpdateFlimbs());
    Frame(); // the failed load ends the pass
    EXPECT_EQ(stream.incoming.size(), 1u);
    EXPECT_EQ(GetU32(Sent(kCmdNetResult).back().data(), 8), kNrBadCrc);
    EXPECT_EQ(status, (std::vector<std::string>{"Your version of the level [kpt_two.flevel]\n is different than the servers."}));
    SetSessionGame(nullptr);
    ConsoleParam::Find("loadquick")->SetInt(0);
    GameClient::DiscardTempRecording();
}

TEST_F(GameClientTest, FileDataOfALevelNobodyAskedForIsRefused)
{
    std::vector<uint8_t> bytes(100, 1);
    for (const NetRecord& chunk : MakeFileChunks("Level\\evil.flevel", bytes.data(), bytes.size(), 0, 0))
        stream.Queue(chunk);
    Frame();
    EXPECT_TRUE(log.Contains("FILEDATA of a level that was not asked for refused: evil.flevel"));
    EXPECT_TRUE(Sent(kCmdLevelQuery).empty());
}

} // namespace

namespace {

TEST_F(GameClientTest, ABashWithAnotherBrushFileIsLoggedAndStampedAllTheSame)
{
    NetBashArgs bash;
    bash.brushFile = "Graphics\\Brushes\\none.png";
    bash.crc = 77;
    bash.a = 10;
    bash.b = 20;
    stream.Queue(MakeNetBash(bash));
    Frame();
    EXPECT_TRUE(log.Contains("BAD CRC ON BRUSH FILE! net:77 curr:0\n"));
}

} // namespace

#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "app/Uuid.h"
#include "app/XmlUtil.h"

#include <fstream>

namespace {

TEST(ProfileId, IsMadeOnceAndKeptInTheProfile)
{
    CurrentProfile().Load("IdKeeper");
    const auto first = LocalProfileId();
    EXPECT_NE(first, (std::array<uint8_t, 16>{}));
    EXPECT_EQ(LocalProfileId(), first);
    const std::string stored = XmlNodeText(XmlGetChild(XmlChildren(CurrentProfile().Root()), "profile_id"));
    EXPECT_EQ(stored, UuidToString(first.data()));
    // Kept in the saved profile.
    std::ifstream saved(GetUserPath("Profiles\\IdKeeper.xml"));
    const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(UuidToString(first.data())), std::string::npos) << text;
    CurrentProfile().Load(PlayerProfile::kDefaultName);
}

} // namespace

namespace {

TEST_F(GameClientTest, TypeOrdersWaitOrApplyAndSteeringOrdersSteer)
{
    Flimb* flimb = AddFlimb(50, 50, 7, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    ASSERT_NE(flimb, nullptr);
    stream.Queue(MakeUpdateFlimbType(7, kPuff, 255, 5)); // a delay: the order waits
    Frame();
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_EQ(flimb->queuedAction, kPuff);
    EXPECT_EQ(flimb->queuedDelay, 5);
    stream.Queue(MakeUpdateFlimbType(7, kSquish, 'X', 0)); // 'X': at once, unchecked
    Frame();
    EXPECT_EQ(flimb->type, kSquish);
    Flimb* steered = AddFlimb(80, 50, 8, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    stream.Queue(MakeUpdateFlimbType(8, 3, 'M', 0)); // the positive key pressed
    Frame();
    EXPECT_EQ(steered->SteerDirection(), 1);
    stream.Queue(MakeUpdateFlimbType(8, 255, 'M', 0)); // let go
    Frame();
    EXPECT_EQ(steered->SteerDirection(), 0);
    stream.Queue(MakeUpdateFlimbType(99, kClob, 'X', 0));
    Frame();
    EXPECT_TRUE(log.Contains("WARNING: Bad flimb id for update type 99"));
}

TEST_F(GameClientTest, TrapStatesAndDecorationsUseTheGamesOwnOperations)
{
    std::unique_ptr<Trap> made = Trap::Create(kTrapExit);
    made->id = 12;
    made->x = 100.0f;
    Trap* trap = made.get();
    RegisterTrap(std::move(made));
    const std::string state = SessionGame().TrapStateXml(*trap);
    EXPECT_NE(state.find("<trap-state>"), std::string::npos) << state;
    trap->x = 5.0f;
    stream.Queue(MakeUpdateTrap(12, 0, -1, state));
    Frame();
    EXPECT_EQ(trap->x, 100.0f);
    // A broken or foreign document changes nothing and is logged.
    for (const char* bad : {"<trap-state><x>7", "<level><x>7</x></level>"}) {
        log.Clear();
        stream.Queue(MakeUpdateTrap(12, 0, -1, bad));
        Frame();
        EXPECT_EQ(trap->x, 100.0f) << bad;
        EXPECT_TRUE(log.Contains("Trap 12: unreadable trap state")) << bad;
    }

    Flimb* flimb = AddFlimb(50, 50, 7, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    stream.Queue(MakeDecoration("tophat", 7));
    Frame();
    EXPECT_EQ(flimb->overlaySet, FindDecorationAnimation("tophat"));
    stream.Queue(MakeDecoration("", 7));
    Frame();
    EXPECT_EQ(flimb->overlaySet, nullptr);
}

} // namespace

TEST_F(GameClientTest, TheViewsBashTravelsAsNetBashWithThePointMaterialTintAndAffected)
{
    // The dig tool's and the stamp overlay's request, through the session seam.
    SetGameClientRequests(&client);
    SendNetBash("Graphics\\HUD\\MiniMap\\mini_end.png", 1.5f, 0.5f, 16, 6, 0xFF808080u, 0.25f, 1, -70, 80);
    SetGameClientRequests(nullptr);
    const auto bashes = Sent(kCmdNetBash);
    ASSERT_EQ(bashes.size(), 1u);
    const NetBashArgs args = ReadNetBash(bashes[0].data());
    EXPECT_EQ(args.brushFile, "Graphics\\HUD\\MiniMap\\mini_end.png");
    EXPECT_EQ(args.a, -70);
    EXPECT_EQ(args.b, 80);
    EXPECT_EQ(args.c, 16u);
    EXPECT_EQ(args.d, 0xFF808080u);
    EXPECT_EQ(args.e, 6u);
    EXPECT_FLOAT_EQ(args.scaleX, 1.5f);
    EXPECT_FLOAT_EQ(args.scaleY, 0.5f);
    EXPECT_FLOAT_EQ(args.rotation, 0.25f);
    EXPECT_EQ(args.flag, 1);
}
