#pragma once
// What the simulation asks of the floors above it: the game session (the game client's and
// the game server's requests, checkpoints, the match recording), the HUD, the level editor's
// screens, the multiplayer screens and the front end. The simulation calls the functions
// below; the higher floors fill the hooks (GameHooks) when the program starts. An empty hook
// gives the answer of a headless run: nothing is sent or shown, and where a screen was asked
// for, a log line says so.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class AnimSurface;
class MapObject;
class MatchEffects;
class Trap;
struct EndOfLevelPopup;
struct Flimb;

// ---- The game client -----------------------------------------------------------------
// The requests of the game client. The game session installs its client while a session
// is open; without one nothing is sent. Nothing is sent either while the Quantum Time
// preview steps its copy of a flimb.
class GameClientRequests {
public:
    virtual ~GameClientRequests() = default;
    virtual void SendHighlight(int16_t flimbId) = 0;
    virtual void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value) = 0;
    virtual void SendGulpChange(int16_t flimbId, uint8_t variant) = 0;
    // The trap's saved state; activate 1 with the flimb id (-1 for none) that triggered it.
    virtual void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId) = 0;
    // A terrain bash of an image (a game path; its file's CRC travels with it) at a point.
    virtual void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material,
                             uint32_t affectedMaterials, uint32_t tint, float rotation, uint8_t flag, int32_t x,
                             int32_t y)
    {
        (void)imagePath, (void)scaleX, (void)scaleY, (void)material, (void)affectedMaterials, (void)tint,
            (void)rotation, (void)flag, (void)x, (void)y;
    }
    // A new flimb at a point, made like the flimb of that id (a debugging tool).
    virtual void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y) { (void)flimbId, (void)x, (void)y; }
    // The HUD's requests. SET_HOST_VARIABLE (16 game speed, 18 pause 1 / resume 0).
    virtual void SendSetHostVariable(uint8_t variable, int32_t value) { (void)variable, (void)value; }
    // GAMEDATA: the server (re)loads the level for everyone.
    virtual void SendGameData(const std::string& levelFile) { (void)levelFile; }
    // CHAT: speaker -1 is the local player (the line gets the name prefix); the composed
    // line is cut to kChatTextBytes on a character boundary (CutChatText).
    virtual void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly)
    {
        (void)name, (void)text, (void)speaker, (void)groupOnly;
    }
    // CHAT with an empty text: typing started (true) or stopped.
    virtual void SendTypingState(bool typing) { (void)typing; }
    // DECORATION of a flimb.
    virtual void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration)
    {
        (void)flag, (void)flimbId, (void)decoration;
    }
    // The client's status signal with the explicit "leave" value: the player leaves the
    // level (its listeners close the session).
    virtual void EmitLeave() {}
    // The local player's switch to another group (the single player's group after a load).
    virtual void SendTeamChange(uint8_t /*group*/) {}
    // Another player's switch (the host rebalancing the teams).
    virtual void SendPlayerTeamChange(uint8_t /*playerId*/, uint8_t /*group*/) {}
    // GAME_MODE_OPTIONS with the mode's "game-mode-state" document, and the controller's
    // group budgets as a "game-manager-state" document (command 31).
    virtual void SendGameModeState(const std::string& /*xml*/) {}
    virtual void SendGameManagerState(const std::string& /*xml*/) {}
    // The client's connection agents (the world-server way and the direct one), pumped while
    // a level loads.
    virtual void PumpConnections() {}
};
// Null: no session.
void SetGameClientRequests(GameClientRequests* client);
GameClientRequests* CurrentGameClientRequests();
// True while a session's game client is installed.
bool GameClientExists();

void SendHighlight(int16_t flimbId);
void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value);
void SendGulpChange(int16_t flimbId, uint8_t variant);
void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId);
void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material, uint32_t affectedMaterials,
                 uint32_t tint, float rotation, uint8_t flag, int32_t x, int32_t y);
void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y);
void SendSetHostVariable(uint8_t variable, int32_t value);
void SendGameData(const std::string& levelFile);
// Without a client the line goes to the log.
void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly);
void SendTypingState(bool typing);
void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration);
void EmitLeave();
void SendTeamChange(uint8_t group);
void SendPlayerTeamChange(uint8_t playerId, uint8_t group);
void SendGameModeState(const std::string& xml);
void SendGameManagerState(const std::string& xml);
// The installed client's connection agents; nothing without a client.
void PumpClientConnections();

// The text bytes a CHAT record holds (bytes 6-135 with the closing NUL).
constexpr size_t kChatTextBytes = 129;
// The text cut to kChatTextBytes at a UTF-8 character boundary.
std::string CutChatText(const std::string& text);

// ---- The game server -----------------------------------------------------------------
// What the game server is asked to do from this machine (a debugging key). Nothing happens
// without a game server.
class GameServerCommands {
public:
    virtual ~GameServerCommands() = default;
    virtual void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant) = 0;
    // Opens a match recording ("Playbacks\" and ".flimbs" added where missing) and plays it
    // to every client, restarting the level from it. The recording is read whole first: one
    // that cannot be played, or (with a level named) is not whole or not that level's, is
    // refused (false) and the running level goes on untouched.
    virtual bool PlayRecording(const std::string& name, const std::string& level)
    {
        (void)name, (void)level;
        return false;
    }
    // Processes the messages the server received (kept alive through a long level load).
    virtual void CheckReceived() {}
    // The session's state word; while it is 0 the host reports a level start to the
    // statistics service.
    virtual int StateWord() const { return 0; }
};
void SetGameServerCommands(GameServerCommands* server);
void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant);
// True on the match host: a game server is installed.
bool GameServerExists();
// GameServerCommands::PlayRecording; false (logged) without a game server.
bool PlayRecording(const std::string& name, const std::string& level = std::string());
void CheckServerReceived();
int SessionStateWord();

// Set by the session while a recorded match is played back.
bool PlaybackRunning();
void SetPlaybackRunning(bool running);

// ---- The hooks -------------------------------------------------------------------------
// The editor's file chooser, as the scenery traps' "Set Image" buttons open it: a title, the
// folder it starts in and a handler that gets the chosen file; for an animation also its
// frame size and rate.
struct ChosenFile {
    std::string filename;
    bool animation = false;
    int frameWidth = 0;
    int frameHeight = 0;
    int frameRate = 0;
};
using FileChosenHandler = std::function<void(const ChosenFile& chosen)>;
// The editor's selection, in selection order, handed over by the picking window's "Done".
using EditorSelectionHandler = std::function<void(const std::vector<MapObject*>& selection)>;

struct GameHooks {
    // The game session (filled by session/SessionGameHooks.cpp).
    std::function<void()> requestAutoCheckpoint;
    std::function<bool(const std::string& path, int flag)> savePlayback;
    std::function<std::string()> sessionLevelName;
    std::function<void(const std::string& levelName)> reportMatchStart;
    std::function<bool()> playbackPaused;
    std::function<bool()> catchingUp;
    // The match rules' effects (chat, requests, sounds, recording, HUD pop-ups, statistics).
    MatchEffects* matchEffects = nullptr;

    // The HUD (filled by hud/HudGameHooks.cpp; the selection, the landscape press and the
    // belt lock have nothing to do in the HUD yet).
    std::function<void(Flimb* flimb)> addToHistoryStrip;
    std::function<void(Flimb* flimb)> noteSelection;
    std::function<void(const Flimb* flimb)> openBelt;
    std::function<void()> hideBelt;
    std::function<bool()> beltOpen;
    std::function<const AnimSurface*(int action)> beltIconForAction;
    std::function<void()> landscapePressed;
    std::function<void(bool locked)> setBeltLock;
    std::function<bool(bool down)> pressScoreButton;
    std::function<bool(const std::vector<EndOfLevelPopup>& popups)> queueEndOfLevelPopups;
    std::function<void()> closePopups;
    std::function<void(const std::string& stampImage)> openStampTool;
    std::function<void()> refreshHud;

    // The level editor's screens (not built yet: empty).
    std::function<void(const std::string& title, const std::string& startFolder, FileChosenHandler handler)>
        openFileChooser;
    std::function<void()> convertSelection;
    std::function<bool(EditorSelectionHandler onDone)> openTrapSelectionWindow;

    // The multiplayer screens (the lobby and the end-of-match screen; not built yet: empty).
    std::function<void()> refreshAdminScreens;
};
// The one set of hooks. Each higher floor fills its part at start-up (InstallFloorHooks,
// frontend/GameStartup.h, which the game, the tools and the test programs run); until then,
// and in a program that never runs it, every hook is empty.
GameHooks& CurrentGameHooks();

// ---- What the simulation calls (each runs its hook, or gives the default) ------------------
// A checkpoint trap was reached: at the end of this pass over the command stream the client
// saves the level's automatic checkpoint (unless a recording is played back).
void RequestAutoCheckpoint();
// Saves the current match recording: with flag 1 under the game path itself, else under the
// playback name. Without a session nothing is saved: a log line, and false.
bool SavePlayback(const std::string& path, int flag);
// The level the current match plays (its name without ".flevel"); empty without a session.
std::string SessionLevelName();
// The host reports a level start to the statistics service.
void ReportMatchStart(const std::string& levelName);
// A recorded match is played back and paused: the keys steer nothing.
bool PlaybackPaused();
// The game client catches up with the server.
bool CatchingUp();

// The recent-flimbs strip takes an ordered flimb.
void HudAddToHistoryStrip(Flimb* flimb);
// The HUD is told the new selection.
void HudNoteSelection(Flimb* flimb);
// Opens the HUD's action belt on the flimb (the game view: a press while a flimb is
// selected); hides it; whether it is open.
void HudOpenBelt(const Flimb* flimb);
void HudHideBelt();
bool HudBeltOpen();
// The belt's icon of the slot that orders an action code (the order types; 132 the Gulp
// variant); null without a belt or such a slot.
const AnimSurface* HudBeltIconForAction(int action);
// A press on the landscape while the window "FLIMBS_HUD" or "PlaybackVCR" is open.
void HudLandscapePressed();
// The belt-lock key: the belt stays open while set.
void HudSetBeltLock(bool locked);
// The score key over the "ScoreButton" panel; false when there is no such panel.
bool HudPressScoreButton(bool down);
// The end-of-level pop-ups a finished single-player match queues: shown over the HUD one
// after another (the first with sound effect 19), each opening when the one before it
// closes. False (nothing shown) without the HUD window.
bool HudQueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups);
// The HUD's two pop-up layers close their children.
void HudClosePopups();
// The HUD's stamp overlay ("StampUI") with the stamp's image.
void HudOpenStampTool(const std::string& stampImage);
// The HUD rebuilds what depends on the options, the players and the checkpoints.
void HudRefresh();

// The editor's file chooser; without the editor screen a log line, and nothing is chosen.
void OpenEditorFileChooser(const std::string& title, const std::string& startFolder, FileChosenHandler handler);
// The panels' "Convert": the editor turns the selected primitives into background traps and
// the selected background traps into primitives, as one undo step, and opens the new
// selection's panel; without the editor screen a log line.
void ConvertEditorSelection();
// The small picking window "Select Trap(s)" with one button "Done" (key "q7efa"): "Done"
// hands the editor's selection, in selection order, to the handler and closes the window.
// Without the editor screen a log line, and false.
bool OpenTrapSelectionWindow(EditorSelectionHandler onDone);

// The admin changed: the lobby ("pregame_menu") and the end-of-match screen
// ("MultiplayerEndOfMatchMenu") are rebuilt when open; nothing while neither exists.
void RefreshAdminScreens();

