#include "hud/HudGame.h"

#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "gui/MessageBox.h"
#include "gui/PrimContainer.h"
#include "hud/HudActions.h"
#include "hud/HudHooks.h"
#include "media/KBManager.h"
#include "media/MSManager.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "platform/desktop/OpenUrl.h"
#include "gui/WindowList.h"
#include "session/ClientCommandState.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/SessionServices.h"
#include "world/MinimapView.h"
#include "world/WorldState.h"

#include <algorithm>
#include <stdexcept>

namespace {

HudGame* g_installed = nullptr;

void Seam(const char* what)
{
    WriteLog("HUD: %s is not available yet\n", what);
}

const PlayerRecord* Local()
{
    return Controller().localPlayer;
}

} // namespace

HudGame& CurrentHudGame()
{
    static HudGame game;
    return g_installed ? *g_installed : game;
}

void SetHudGame(HudGame* game)
{
    g_installed = game;
}

int HudGame::RunState() const { return Controller().runState; }
bool HudGame::IsMultiplayer() const { return Controller().sessionKind == kSessionNetworked; }
bool HudGame::IsAdmin() const { return Local() && Local()->admin != 0; }
bool HudGame::LocalIsSpectator() const { return LocalPlayerIsSpectator(); }
int HudGame::LocalGroup() const { return Local() && Local()->team < 8 ? Local()->team : 0; }
int HudGame::LocalPlayerId() const { return Local() ? Local()->id : 0; }
// Seam: the level editor's test-play flag.
bool HudGame::EditorTestPlay() const { return false; }
bool HudGame::PlaybackShown() const
{
    const int kind = CommandState().sessionKind;
    return kind == kPlaybackPaused || kind == kPlaybackPlaying || kind == kPlaybackFinished;
}
bool HudGame::SessionPaused() const { return Controller().runState == kRunPaused; }
// Seam: the session's game type.
int HudGame::GameType() const { return IsMultiplayer() ? 2 : 1; }
// Seam: the Multiverse mode's result detail.
int HudGame::ResultDetail() const { return 0; }
int HudGame::GameSpeed() const { return int(CommandState().msPerUpdate); }
int HudGame::ServerState() const { return CurrentServer() ? CurrentServer()->State() : 0; }
int HudGame::ModeIndex() const { return CurrentGameModeIndex(); }
// Seam: the controller's level kind; the level chooser's player kind until it has one.
int HudGame::LevelKind() const { return Controller().currentLevel.playerKind; }
int HudGame::LocalTeam() const { return Local() ? Local()->team : 99; }

std::vector<HudPlayer> HudGame::Players() const
{
    // Seam: the session's typing flags.
    std::vector<HudPlayer> players;
    for (const auto& player : Controller().players)
        players.push_back(HudPlayer{player->id, player->name, false});
    std::stable_sort(players.begin(), players.end(), [](const HudPlayer& a, const HudPlayer& b) { return a.id < b.id; });
    return players;
}

// Seam: the controller's per-group gravity table.
int HudGame::GroupGravity(int) const { return 4; }
int HudGame::SessionKind() const { return PlaybackShown() ? 2 : 0; }
uint32_t HudGame::UpdateCounter() const { return World().clock.updateCounter; }
// Seam: the Multiverse mode's other-view switch.
int HudGame::OtherViewSwitch() const { return 0; }
// Seam: the session's end-of-match text.
std::string HudGame::EndOfMatchText() const { return {}; }

LevelPresentation HudGame::Level() const
{
    // Seam: description, objective and picture come with the level reader.
    LevelPresentation level;
    level.title = Controller().levelTitle;
    return level;
}

std::string HudGame::LevelName(bool keepExtension) const
{
    return GetFileTitle(Controller().levelFile, !keepExtension);
}

// Seam: the stored solutions (Level\Solutions).
std::string HudGame::SolutionPath() const { return {}; }
// Seam: the FlimbMaster level list.
std::optional<FlimbMasterRecord> HudGame::CurrentFlimbMaster() const { return std::nullopt; }
// Seam: the boss record of the boss traps.
std::string HudGame::BossShieldImage() const { return {}; }

ExpressionRow HudGame::PickExpression(int, int) const
{
    // Seam: the end-of-match screens' expression table; the outcome alone until then.
    const bool won = Controller().matchResult == 6 || Controller().matchResult == 1;
    return won ? ExpressionRow{"Well done!", "happy_%s.png"} : ExpressionRow{"Not this time", "sad_%s.png"};
}


ChatSpeaker HudGame::Speaker(int speakerId) const
{
    ChatSpeaker speaker;
    for (const auto& player : Controller().players) {
        if (player->id != speakerId || speakerId < 0)
            continue;
        speaker.isPlayer = true;
        speaker.name = player->name;
        speaker.group = player->team < 8 ? player->team : 0;
        speaker.avatar = player->avatar;
    }
    return speaker;
}

int HudGame::QuantumTimeState() const { return World().preview.state; }
void HudGame::SetQuantumTimeState(int state) { World().preview.state = uint8_t(state); }

void HudGame::EndQuantumTime()
{
    QuantumPreview& preview = World().preview;
    preview.state = 0;
    preview.steps = 1;
    preview.source = nullptr;
    preview.soundPlayed = true;
}

std::string HudGame::ProfileSetting(const std::string& tag) const { return CurrentProfile().Setting(tag); }

std::vector<std::string> HudGame::Checkpoints(const std::string& level) const
{
    return level.empty() ? std::vector<std::string>{} : CurrentProfile().ListCheckpoints(level);
}

std::string HudGame::LastSessionPlayback(const std::string& level) const
{
    const std::vector<SessionRecord> sessions = CurrentProfile().Sessions(level);
    return sessions.empty() ? std::string() : sessions.back().playback;
}

bool HudGame::KeyHeld(int scanCode) const { return kbManager.IsKeyDown(scanCode); }
void HudGame::SetCursorPosition(int x, int y) { msManager.SetCursorPosition(x, y); }

void HudGame::CursorPosition(int& x, int& y) const
{
    x = msManager.X();
    y = msManager.Y();
}

void HudGame::StartSinglePlayerLevel() { Seam("StartSinglePlayerLevel"); }
void HudGame::VisitPlanet()
{
    // The screens' way to the campaign planet (the front end while the planet is to come).
    if (const auto& visit = CurrentHudScreenHooks().visitPlanet)
        visit();
    else
        Seam("VisitPlanet");
}
void HudGame::LoadLevelIntoEditor(const std::string&) { Seam("LoadLevelIntoMap"); }

void HudGame::StartPlayback(const std::string& path)
{
    // The loader's refusals (GameException) reach the caller.
    OpenWindow(new FlimbsPlayer(path), true);
}

void HudGame::ReloadFlimbMasterList() { Seam("FlimbMasterLevelList::Reload"); }

void HudGame::ShowOptions(std::function<void()> onClosed)
{
    // The front end's reduced options over the HUD; their close refreshes the HUD and lets
    // them go.
    const HudScreenHooks& screens = CurrentHudScreenHooks();
    if (PrimContainer* menu = screens.makeOptionsMenu ? screens.makeOptionsMenu(std::move(onClosed)) : nullptr)
        PositionOverHud(std::unique_ptr<PrimContainer>(menu), true);
}
void HudGame::OpenAdminPlayersPanel() { Seam("OpenAdminPlayersPanel"); }
void HudGame::LoadCheckpointFile(const std::string&) { Seam("GameController::LoadCheckpointFile"); }

bool HudGame::ToggleEditorTestMode()
{
    Seam("the editor's test mode");
    return false;
}

void HudGame::ShowOtherUniverseView(bool, int) { Seam("ShowOtherUniverseView"); }
void HudGame::PlayOutroVideo() { Seam("the outro cutscene"); }

std::unique_ptr<PrimContainer> HudGame::MakeMinimap()
{
    return std::unique_ptr<PrimContainer>(MinimapView::CreatePanel());
}

std::unique_ptr<LevelChooserView> HudGame::MakeLevelChooser(const std::string& category)
{
    // The editor's level chooser, showing the levels of the running level's kind.
    const HudScreenHooks& screens = CurrentHudScreenHooks();
    std::unique_ptr<LevelChooserView> view = screens.makeLevelChooser ? screens.makeLevelChooser(category) : nullptr;
    if (view && view->Panel())
        view->Panel()->deleteWhenClosed = 0;
    return view;
}

std::string HudGame::CreateLevelPreview(const std::string&)
{
    Seam("CreateLevelPreview");
    return {};
}

void HudGame::PostNotice(const std::string& text)
{
    Controller().messages.Add(text, -1);
    PlayEffect(12, 1.0f);
}

bool HudGame::SaveRecording()
{
    return SavePlayback(LevelName(false), 0);
}

void HudGame::PlayEffect(int effect, float volume) { soundManager.PlayEffect(effect, volume); }
void HudGame::PlayMusic(const std::string& name, bool loop, float volume) { soundManager.PlayMusic(name, loop, false, volume); }
void HudGame::StopMusic() { soundManager.StopMusic(); }
void HudGame::ShowMessageBox(const std::string& title, const std::string& text) { ::ShowMessageBox(title, text); }
bool HudGame::OpenUrl(const std::string& url) { return platform::OpenUrl(url); }
