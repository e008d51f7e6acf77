#include "game/GameHooks.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "world/WorldState.h"

namespace {

GameClientRequests* g_client = nullptr;
GameServerCommands* g_server = nullptr;
bool g_playbackRunning = false;

// The client to send through, or null when nothing may be sent now.
GameClientRequests* Sender()
{
    return g_client && !PreviewRunning() ? g_client : nullptr;
}

} // namespace

GameHooks& CurrentGameHooks()
{
    static GameHooks hooks;
    return hooks;
}

// ---- The game client

void SetGameClientRequests(GameClientRequests* client)
{
    g_client = client;
}

GameClientRequests* CurrentGameClientRequests()
{
    return g_client;
}

bool GameClientExists()
{
    return g_client != nullptr;
}

void SendHighlight(int16_t flimbId)
{
    if (GameClientRequests* sender = Sender())
        sender->SendHighlight(flimbId);
}

void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value)
{
    if (GameClientRequests* sender = Sender())
        sender->SendUpdateFlimbType(flimbId, type, argument, value);
}

void SendGulpChange(int16_t flimbId, uint8_t variant)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGulpChange(flimbId, variant);
}

void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId)
{
    if (GameClientRequests* sender = Sender())
        sender->SendTrapState(trap, activate, flimbId);
}

void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material, uint32_t affectedMaterials,
                 uint32_t tint, float rotation, uint8_t flag, int32_t x, int32_t y)
{
    if (GameClientRequests* sender = Sender())
        sender->SendNetBash(imagePath, scaleX, scaleY, material, affectedMaterials, tint, rotation, flag, x, y);
}

void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y)
{
    if (GameClientRequests* sender = Sender())
        sender->SendCreateFlimb(flimbId, x, y);
}

void SendSetHostVariable(uint8_t variable, int32_t value)
{
    if (GameClientRequests* sender = Sender())
        sender->SendSetHostVariable(variable, value);
}

void SendGameData(const std::string& levelFile)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGameData(levelFile);
}

void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly)
{
    if (GameClientRequests* sender = Sender())
        sender->SendChat(name, CutChatText(text), speaker, groupOnly);
    else
        WriteLog("CHAT: %s\n", text.c_str());
}

void SendTypingState(bool typing)
{
    if (GameClientRequests* sender = Sender())
        sender->SendTypingState(typing);
}

void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration)
{
    if (GameClientRequests* sender = Sender())
        sender->SendDecoration(flag, flimbId, decoration);
}

void EmitLeave()
{
    if (g_client)
        g_client->EmitLeave();
}

void SendTeamChange(uint8_t group)
{
    if (GameClientRequests* sender = Sender())
        sender->SendTeamChange(group);
}

void SendPlayerTeamChange(uint8_t playerId, uint8_t group)
{
    if (GameClientRequests* sender = Sender())
        sender->SendPlayerTeamChange(playerId, group);
}

void SendGameModeState(const std::string& xml)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGameModeState(xml);
}

void SendGameManagerState(const std::string& xml)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGameManagerState(xml);
}

void PumpClientConnections()
{
    if (g_client)
        g_client->PumpConnections();
}

std::string CutChatText(const std::string& text)
{
    return CutUtf8(text, kChatTextBytes);
}

// ---- The game server

void SetGameServerCommands(GameServerCommands* server)
{
    g_server = server;
}

void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant)
{
    if (g_server && !PreviewRunning())
        g_server->BroadcastCreateFlimb(x, y, group, variant);
}

bool GameServerExists()
{
    return g_server != nullptr;
}

bool PlayRecording(const std::string& name, const std::string& level)
{
    if (!g_server) {
        WriteLog("Cannot play %s: no game server\n", name.c_str());
        return false;
    }
    return g_server->PlayRecording(name, level);
}

void CheckServerReceived()
{
    if (g_server)
        g_server->CheckReceived();
}

int SessionStateWord()
{
    return g_server ? g_server->StateWord() : 0;
}

bool PlaybackRunning()
{
    return g_playbackRunning;
}

void SetPlaybackRunning(bool running)
{
    g_playbackRunning = running;
}

// ---- The session's hooks

void RequestAutoCheckpoint()
{
    if (const auto& hook = CurrentGameHooks().requestAutoCheckpoint)
        hook();
}

bool SavePlayback(const std::string& path, int flag)
{
    if (const auto& hook = CurrentGameHooks().savePlayback)
        return hook(path, flag);
    WriteLog("Cannot save the playback %s: no game session\n", path.c_str());
    return false;
}

std::string SessionLevelName()
{
    const auto& hook = CurrentGameHooks().sessionLevelName;
    return hook ? hook() : std::string();
}

void ReportMatchStart(const std::string& levelName)
{
    if (const auto& hook = CurrentGameHooks().reportMatchStart)
        hook(levelName);
}

bool PlaybackPaused()
{
    const auto& hook = CurrentGameHooks().playbackPaused;
    return hook && hook();
}

bool CatchingUp()
{
    const auto& hook = CurrentGameHooks().catchingUp;
    return hook && hook();
}

// ---- The HUD's hooks

void HudAddToHistoryStrip(Flimb* flimb)
{
    if (const auto& hook = CurrentGameHooks().addToHistoryStrip)
        hook(flimb);
}

void HudNoteSelection(Flimb* flimb)
{
    if (const auto& hook = CurrentGameHooks().noteSelection)
        hook(flimb);
}

void HudOpenBelt(const Flimb* flimb)
{
    if (const auto& hook = CurrentGameHooks().openBelt)
        hook(flimb);
}

void HudHideBelt()
{
    if (const auto& hook = CurrentGameHooks().hideBelt)
        hook();
}

bool HudBeltOpen()
{
    const auto& hook = CurrentGameHooks().beltOpen;
    return hook && hook();
}

const AnimSurface* HudBeltIconForAction(int action)
{
    const auto& hook = CurrentGameHooks().beltIconForAction;
    return hook ? hook(action) : nullptr;
}

void HudLandscapePressed()
{
    if (const auto& hook = CurrentGameHooks().landscapePressed)
        hook();
}

void HudSetBeltLock(bool locked)
{
    if (const auto& hook = CurrentGameHooks().setBeltLock)
        hook(locked);
}

bool HudPressScoreButton(bool down)
{
    const auto& hook = CurrentGameHooks().pressScoreButton;
    return hook && hook(down);
}

bool HudQueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups)
{
    const auto& hook = CurrentGameHooks().queueEndOfLevelPopups;
    return hook && hook(popups);
}

void HudClosePopups()
{
    if (const auto& hook = CurrentGameHooks().closePopups)
        hook();
}

void HudOpenStampTool(const std::string& stampImage)
{
    if (const auto& hook = CurrentGameHooks().openStampTool)
        hook(stampImage);
}

void HudRefresh()
{
    if (const auto& hook = CurrentGameHooks().refreshHud)
        hook();
}

// ---- The editor's hooks

void OpenEditorFileChooser(const std::string& title, const std::string& startFolder, FileChosenHandler handler)
{
    const auto& hook = CurrentGameHooks().openFileChooser;
    if (!hook) {
        WriteLog("Cannot open the file chooser \"%s\": no level editor available\n", title.c_str());
        return;
    }
    hook(title, startFolder, std::move(handler));
}

void ConvertEditorSelection()
{
    const auto& hook = CurrentGameHooks().convertSelection;
    if (!hook) {
        WriteLog("Cannot convert the selection: no level editor available\n");
        return;
    }
    hook();
}

bool OpenTrapSelectionWindow(EditorSelectionHandler onDone)
{
    const auto& hook = CurrentGameHooks().openTrapSelectionWindow;
    if (!hook) {
        WriteLog("Cannot open the trap selection window: no level editor available\n");
        return false;
    }
    return hook(std::move(onDone));
}

// ---- The multiplayer screens' and the front end's hooks

void RefreshAdminScreens()
{
    if (const auto& hook = CurrentGameHooks().refreshAdminScreens)
        hook();
}

