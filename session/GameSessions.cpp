#include "session/GameSessions.h"

#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "game/GameController.h"
#include "gui/WindowList.h"
#include "media/SoundManager.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/PlaybackRunner.h"
#include "session/SessionConsole.h"
#include "session/SessionGame.h"
#include "session/SessionHooks.h"
#include "session/SessionServices.h"

namespace {

bool g_editorMode = false;

} // namespace

void SetEditorMode(bool on)
{
    g_editorMode = on;
}

// ---- FlimbsGameBase -----------------------------------------------------------------------

FlimbsGameBase::FlimbsGameBase()
{
    SetName("FlimbsGameBase");
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
    SetCurrentClient(nullptr);
    SetCurrentServer(nullptr);
    UpdateAbsolutePosition();
    InstallNetNotices();
}

FlimbsGameBase::~FlimbsGameBase()
{
    // The recording so far stays on the disk (it is committed when its writer closes).
    GameClient::CloseRecording();
}

void FlimbsGameBase::Update()
{
    RunClientCommands();
    PrimContainer::Update();
}

void FlimbsGameBase::ResetForLevel()
{
    GameClient::DiscardTempRecording();
    CommandState().ClearForLevel();
    SessionGame().ResetLevel();
    // Seam: the session window stays shown until the HUD takes over the screen.
}

void FlimbsGameBase::CloseCommon()
{
    CloseLevelHud();
    GameClient::DiscardTempRecording();
    ResetCommandState();
    SessionGame().ResetLevel();
    Controller().messages.Clear(false);
    Controller().players.clear();
    Controller().localPlayer = nullptr;
    Controller().sessionKind = kSessionLocal;
    Controller().matchKind = 0;
    // The file layer keeps no cached files, so there are none to release here.
}

void FlimbsGameBase::Close()
{
    CloseCommon();
    PrimContainer::Close();
}

// ---- FlimbsGameClientBase -----------------------------------------------------------------

FlimbsGameClientBase::FlimbsGameClientBase() : client_(std::make_unique<GameClient>())
{
    SetCurrentClient(client_.get());
    client_->SignalStatusText.connect([this](const std::string& text) {
        disconnected_ = true;
        // An empty text: the player leaves the level (the in-game menu's Exit).
        if (text.empty())
            leaving_ = true;
    });
}

FlimbsGameClientBase::~FlimbsGameClientBase()
{
    if (CurrentClient() == client_.get())
        SetCurrentClient(nullptr);
    client_.reset();
}

void FlimbsGameClientBase::Update()
{
    if (leaving_) {
        leaving_ = false;
        Close();
        ShowFrontEndMenus();
        return;
    }
    const auto working = [this] { return client_ && !closing_ && !disconnected_; };
    if (working())
        client_->Pump();
    if (!closing_ && !disconnected_) {
        RunClientCommands();
        PrimContainer::Update();
    }
    if (working())
        client_->Pump();
}

void FlimbsGameClientBase::Close()
{
    Controller().players.clear();
    Controller().localPlayer = nullptr;
    FlimbsGameBase::Close();
    closing_ = true;
}

void FlimbsGameClientBase::SubscribeStatus(std::function<void(const std::string&)> handler)
{
    if (GameClient* client = CurrentClient())
        client->SignalStatusText.connect(std::move(handler));
}

void FlimbsGameClientBase::RunLevelRequest(const LevelRequest& request)
{
    if (!request.run || !client_)
        return;
    try {
        request.run(*client_);
    } catch (const GameException& failure) {
        WriteLog("%s\n", failure.what());
        if (request.onError)
            request.onError(failure.what());
    }
}

// ---- FlimbsGameHost -----------------------------------------------------------------------

FlimbsGameHost::FlimbsGameHost(int port, bool networked)
{
    server_ = std::make_unique<GameServer>(networked, port);
    SetCurrentServer(server_.get());
    client_->ConnectLocal(server_->Port());
}

FlimbsGameHost::~FlimbsGameHost()
{
    if (CurrentServer() == server_.get())
        SetCurrentServer(nullptr);
    server_.reset();
}

void FlimbsGameHost::Update()
{
    if (server_ && !closing_)
        server_->Update(true);
    FlimbsGameClientBase::Update();
    if (server_ && !closing_)
        server_->Update(true);
}

void FlimbsGameHost::Close()
{
    FlimbsGameClientBase::Close();
    if (CurrentServer() == server_.get())
        SetCurrentServer(nullptr);
}

void FlimbsGameHost::HostLevel(const std::string& levelName)
{
    ResetForLevel();
    SessionLevelInfo info;
    if (!SessionGame().ResolveLevel(levelName, info))
        throw GameException("Couldn't get level info");
    if ((info.kind == 2 || info.kind == 3) && !g_editorMode)
        throw GameException("This level is set to only allow editing.");
    SessionGame().StartLevelMusic(0.5f);
    // Seam: the loading window with the level's title.
    server_->LoadLevel(levelName);
}

// ---- FlimbsGameMultiClient ----------------------------------------------------------------

FlimbsGameMultiClient::FlimbsGameMultiClient(const std::string& address, int port)
{
    client_->ConnectDirect(address, port);
}

FlimbsGameMultiClient::FlimbsGameMultiClient(int hostClientId)
{
    client_->ConnectViaWorldServer(hostClientId);
}

// ---- FlimbsPlayer -------------------------------------------------------------------------

FlimbsPlayer::FlimbsPlayer(const std::string& playbackPath) : path_(playbackPath), startedMs_(SteadyMilliseconds())
{
    GameClient::ClearPlaybackSlots();
    GameClient::LoadPlayback(playbackPath);
    SetLagSetting(60);
    CommandState().sessionKind = kPlaybackPlaying;
    SetPlaybackRunning(true);
    Controller().playbackRunning = 1;
    client_ = std::make_unique<GameClient>();
    SetCurrentClient(client_.get());
    // The playback HUD lives as long as the session: it goes with this window.
    if (Primitive* controls = MakePlaybackControls())
        AddChild(controls);
}

FlimbsPlayer::~FlimbsPlayer()
{
    if (CurrentClient() == client_.get())
        SetCurrentClient(nullptr);
    GameClient::ClearPlaybackSlots();
    CommandState().sessionKind = kSessionLive;
    SetPlaybackRunning(false);
    Controller().playbackRunning = 0;
    client_.reset();
}

void FlimbsPlayer::Update()
{
    FlimbsGameBase::Update();
    if (reported_ || CommandState().sessionKind != kPlaybackFinished)
        return;
    reported_ = true;
    PlaybackRunResult result;
    result.ok = true;
    result.seconds = (SteadyMilliseconds() - startedMs_) / 1000.0;
    FillPlaybackOutcome(result);
    WriteLog("%s\n", PlaybackResultLine(path_, result).c_str());
}

void FlimbsPlayer::Close()
{
    FlimbsGameBase::Close();
}
