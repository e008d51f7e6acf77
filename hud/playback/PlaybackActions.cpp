#include "hud/playback/PlaybackActions.h"

#include "app/GameException.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "game/LevelNames.h"
#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/HudHooks.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/SessionConsole.h"
#include "session/SessionServices.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"

namespace PlaybackActions {
namespace {

FlimbsGameBase* OpenSession()
{
    return dynamic_cast<FlimbsGameBase*>(FindOpenWindow("FlimbsGameBase"));
}

void PlayAtNormalSpeed()
{
    SetLagSetting(kNormalLag, false);
    CommandState().sessionKind = kPlaybackPlaying;
}

bool RewindAndPlay()
{
    if (!GameClient::RewindPlayback()) {
        WriteLog("The playback could not be rewound\n");
        CurrentHudGame().ShowMessageBox("Error", TranslateText("Error in playback"));
        return false;
    }
    PlayAtNormalSpeed();
    return true;
}

// Waits in the new hosting session until its own client has joined the server, then has
// the server play the saved recording to it (a broadcast before that reaches nobody).
class RecordingStarter : public Primitive {
public:
    static constexpr uint32_t kPatienceFrames = 3000;

    explicit RecordingStarter(FlimbsGameHost& host) : host_(host) { excludeFromBounds = 1; }

    void Update() override
    {
        GameServer* server = host_.Server();
        if (!server || ++frames_ > kPatienceFrames) {
            WriteLog("Start server here: no client joined the new server\n");
            Deactivate();
            return;
        }
        if (!ClientJoined(*server))
            return;
        if (!PlayRecording(kServerPlaybackName))
            WriteLog("Start server here: the server could not play %s%s.flimbs\n", PlaybackFolder().c_str(),
                     kServerPlaybackName);
        Deactivate();
    }

private:
    static bool ClientJoined(const GameServer& server)
    {
        for (int client = 0; client < int(server.ClientCount()) + 1; ++client)
            if (server.ClientInGame(client))
                return true;
        return false;
    }

    FlimbsGameHost& host_;
    uint32_t frames_ = 0;
};

} // namespace

void Restart()
{
    RewindAndPlay();
}

void SlowDown()
{
    SetLagSetting(LagSetting() + kLagStep, false);
}

void SpeedUp()
{
    SetLagSetting(LagSetting() - kLagStep, false);
}

void PlayPause()
{
    switch (CommandState().sessionKind) {
    case kPlaybackFinished:
        RewindAndPlay();
        break;
    case kPlaybackPlaying:
        CommandState().sessionKind = kPlaybackPaused;
        break;
    case kPlaybackPaused:
        PlayAtNormalSpeed();
        break;
    default:
        break;
    }
}

void JumpAhead()
{
    GameClient::RunPlayback(kJumpUpdates);
}

bool SeekForward(uint32_t update)
{
    if (update < ClientUpdateCounter())
        return false;
    GameClient::SeekPlayback(update);
    return true;
}

bool StartServerHere()
{
    // The save comes first: when it fails nothing has changed.
    if (!GameClient::SavePlaybackAs(kServerPlaybackName)) {
        WriteLog("Start server here: the playback could not be saved\n");
        return false;
    }
    SetParticlesEnabled(false);
    if (Landscape* land = GameLandscape())
        land->FreeTiles();
    SnapshotFlimbs(false);
    SnapshotTraps(false);
    if (FlimbsGameBase* session = OpenSession())
        session->Close();
    FlimbsGameHost* host = nullptr;
    try {
        host = new FlimbsGameHost(0, false);
    } catch (const GameException& failure) {
        WriteLog("Start server here: %s\n", failure.what());
        CurrentHudGame().ShowMessageBox("Error", failure.what());
        ShowFrontEndFromHud();
        return false;
    }
    OpenWindow(host, true);
    host->AddChild(new RecordingStarter(*host));
    return true;
}

void LeavePlayback()
{
    // The session's close empties the world (flimbs, traps, terrain, particles) and resets
    // the playback state; its window then goes.
    if (FlimbsGameBase* session = OpenSession())
        session->Close();
    if (!RunPlaybackReturnCallback())
        ShowFrontEndFromHud();
}

} // namespace PlaybackActions
