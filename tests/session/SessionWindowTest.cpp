// The session windows, the session's console entries and the launch of a level.
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/SessionPeers.h"
#include "../support/TestWorld.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/MemoryFileManager.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "gui/WindowList.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/NetInfoFile.h"
#include "session/SessionConsole.h"
#include "session/SessionServices.h"
#include "world/BindableAction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

class SessionWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ResetCommandState(); }
    void TearDown() override { ResetCommandState(); }
    TestWorld world;
    LogCapture log;
};

TEST_F(SessionWindowTest, EachSessionLeavesAnotherSessionsClientAlone)
{
    auto first = std::make_unique<FlimbsGameMultiClient>("127.0.0.1", 9);
    EXPECT_EQ(CurrentClient(), first->Client());
    auto second = std::make_unique<FlimbsGameMultiClient>("127.0.0.1", 9);
    EXPECT_EQ(CurrentClient(), second->Client());
    first.reset();
    EXPECT_EQ(CurrentClient(), second->Client());
    second.reset();
    EXPECT_EQ(CurrentClient(), nullptr);
}

TEST_F(SessionWindowTest, AStatusTextStopsTheClientsWork)
{
    FlimbsGameMultiClient session("127.0.0.1", 9);
    MemoryStream stream;
    session.Client()->AttachStream(&stream);
    stream.Queue(MakeUpdateFlimbs());
    session.Update();
    EXPECT_EQ(ClientUpdateCounter(), 1u);
    session.Client()->SignalStatusText("Lost connection to server.");
    EXPECT_TRUE(session.IsDisconnected());
    stream.Queue(MakeUpdateFlimbs().U8(1, 1));
    session.Update();
    EXPECT_EQ(ClientUpdateCounter(), 1u);
    EXPECT_EQ(stream.incoming.size(), 1u);
}

TEST_F(SessionWindowTest, ClosingAHostEndsItsSession)
{
    FlimbsGameHost host(0, false);
    EXPECT_EQ(CurrentServer(), host.Server());
    EXPECT_GT(host.Server()->Port(), 0);
    world.AddLocalPlayer();
    Controller().messages.Add("hello", -1);
    ASSERT_TRUE(GameClient::OpenTempRecording("x"));
    host.Close();
    EXPECT_TRUE(host.IsClosing());
    EXPECT_EQ(CurrentServer(), nullptr);
    EXPECT_TRUE(Controller().players.empty());
    EXPECT_EQ(Controller().localPlayer, nullptr);
    EXPECT_TRUE(Controller().messages.Entries().empty());
    EXPECT_FALSE(std::filesystem::exists(GetUserPath(TempRecordingPath())));
    EXPECT_EQ(CommandState().recording, nullptr);
}

class KindTwoLevel : public SessionGameState {
public:
    bool ResolveLevel(const std::string& name, SessionLevelInfo& info) override
    {
        info = {};
        info.name = name;
        info.kind = 2;
        return name == "edit.flevel";
    }
};

TEST_F(SessionWindowTest, HostingRefusesUnreadableAndEditOnlyLevels)
{
    KindTwoLevel game;
    SetSessionGame(&game);
    FlimbsGameHost host(0, false);
    const auto refusal = [&](const std::string& name) {
        try {
            host.HostLevel(name);
        } catch (const GameException& e) {
            return std::string(e.what());
        }
        return std::string("hosted");
    };
    EXPECT_EQ(refusal("none.flevel"), "Couldn't get level info");
    EXPECT_EQ(refusal("edit.flevel"), "This level is set to only allow editing.");
    std::string reported;
    host.RunLevelRequest({[&](GameClient&) { host.HostLevel("none.flevel"); },
                          [&](const std::string& error) { reported = error; }});
    EXPECT_EQ(reported, "Couldn't get level info");
    SetSessionGame(nullptr);
}

TEST_F(SessionWindowTest, ServerCommandsNeedAServerAndPauseToggles)
{
    for (const char* name : {"loadlevel", "create", "update", "pause", "kick"}) {
        ConsoleParam* command = ConsoleParam::Find(name);
        ASSERT_NE(command, nullptr) << name;
        EXPECT_EQ(command->Type(), ConsoleParamType::Command);
        EXPECT_FALSE(command->IsAvailable()) << name;
        EXPECT_FALSE(command->Execute("")) << name;
    }
    GameServer server(false, 0);
    SetCurrentServer(&server);
    EXPECT_TRUE(ConsoleParam::Find("pause")->IsAvailable());
    server.StartMatch();
    ASSERT_EQ(server.State(), GameServer::kRunning);
    ConsoleParam::Find("pause")->Execute("");
    EXPECT_EQ(server.State(), GameServer::kPaused);
    ConsoleParam::Find("pause")->Execute("");
    EXPECT_EQ(server.State(), GameServer::kRunning);
    const uint32_t counter = server.UpdateCounter();
    ConsoleParam::Find("update")->Execute("");
    EXPECT_EQ(server.UpdateCounter(), counter + 1);
    SetCurrentServer(nullptr);
}

TEST_F(SessionWindowTest, ThePauseKeyTogglesAPlaybackOrAsksTheServer)
{
    const auto key = [] {
        for (const BindableAction& action : BindableActions())
            if (action.name == "PauseGame")
                return action.handler;
        return std::function<void(int)>();
    }();
    ASSERT_TRUE(key);
    CommandState().sessionKind = kPlaybackPlaying;
    key(1);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackPaused);
    key(0);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackPaused);
    key(1);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackPlaying);

    CommandState().sessionKind = kSessionLive;
    GameClient client;
    MemoryStream stream;
    client.AttachStream(&stream);
    SetCurrentClient(&client);
    Controller().runState = kRunPaused;
    key(1);
    Controller().runState = kRunRunning;
    key(1);
    SetCurrentClient(nullptr);
    ASSERT_EQ(stream.sent.size(), 2u);
    EXPECT_EQ(GetU32(stream.sent[0].data(), 8), kHostVarPause);
    EXPECT_EQ(GetU32(stream.sent[0].data(), 12), 0u);
    EXPECT_EQ(GetU32(stream.sent[1].data(), 12), 1u);
}

TEST_F(SessionWindowTest, LaunchingALevelHostsItLocallyAndRecordsIt)
{
    MemoryFileManager* memory = nullptr;
    const std::unique_ptr<FileManager> files = InstallLevelFiles(&memory);
    AddShippedLevel(*memory, "s_dm_first_steps");

    ASSERT_TRUE(LaunchLevelAsHost("s_dm_first_steps"));
    auto* session = dynamic_cast<FlimbsGameHost*>(FindOpenWindow("FlimbsGameBase"));
    ASSERT_NE(session, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Controller().runState != kRunRunning && std::chrono::steady_clock::now() < deadline) {
        session->Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(Controller().runState, kRunRunning);
    EXPECT_TRUE(log.Contains("Game Map and Info loaded successfully!\n"));
    // The host's own player plays the level's group (its only one), not the next free one.
    ASSERT_NE(Controller().localPlayer, nullptr);
    EXPECT_EQ(Controller().localPlayer->group, 0);
    EXPECT_EQ(Controller().localPlayer->spectator, 0);
    ASSERT_NE(CommandState().recording, nullptr);
    EXPECT_TRUE(CommandState().recording->IsOpen());
    CloseAllWindows(); // deletes the session: its recording stays on the disk
    EXPECT_TRUE(std::filesystem::exists(GetUserPath(TempRecordingPath())));
    ReleaseLevelFiles();

    EXPECT_FALSE(LaunchLevelAsHost("Cache\\Log\\missing.flimbs"));
    EXPECT_TRUE(log.Contains("Playback file [Cache\\Log\\missing.flimbs] is damaged or missing"));
    CloseAllWindows();
}

} // namespace

namespace {

TEST_F(SessionWindowTest, LeavingTheLevelClosesTheSessionAndShowsTheFrontEnd)
{
    auto* session = new FlimbsGameMultiClient("127.0.0.1", 9);
    OpenWindow(session, true);
    EmitLeave();
    EXPECT_TRUE(session->IsDisconnected());
    session->Update();
    EXPECT_TRUE(session->IsClosing());
    EXPECT_FALSE(session->active);
    CloseAllWindows();
}

} // namespace
