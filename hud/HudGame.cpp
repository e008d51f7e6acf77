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
#include "game/FlimbMasterLevelList.h"
#include "game/LevelNames.h"
#include "game/LevelPreview.h"
#include "hud/HudWindow.h"
#include "hud/transitions/TransitionedCutscene.h"
#include "game/HudGameView.h"
#include "app/LanguageTexts.h"
#include "session/GameClient.h"
#include "session/RecordingCheck.h"
#include "session/SessionConsole.h"
#include "world/MinimapView.h"
#include "world/WorldState.h"

#include <algorithm>
#include <stdexcept>

namespace {

HudGame* g_installed = nullptr;
constexpr int kHudGameMultiverseMode = 4;

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
// Seam: the level editor's test play through the session sets this flag; none until the
// editor's HUD is there.
bool HudGame::EditorTestPlay() const { return false; }
bool HudGame::PlaybackShown() const
{
    const int kind = CommandState().sessionKind;
    return kind == kPlaybackPaused || kind == kPlaybackPlaying || kind == kPlaybackFinished;
}
bool HudGame::SessionPaused() const { return Controller().runState == kRunPaused; }
// Seam: the campaign's own game types (its planet's levels and FlimbMaster battles) come with
// the campaign screens; single player (1) and network play (2) until then.
int HudGame::GameType() const { return IsMultiplayer() ? 2 : 1; }
int HudGame::ResultDetail() const { return Controller().matchResultDetail; }
int HudGame::GameSpeed() const { return int(CommandState().msPerUpdate); }
int HudGame::ServerState() const { return CurrentServer() ? CurrentServer()->State() : 0; }
int HudGame::ModeIndex() const { return CurrentGameModeIndex(); }
// The kind of the level the controller loaded for play (0 single player, 1 multiplayer,
// 2 FlimbMaster level).
int HudGame::LevelKind() const { return Controller().currentLevel.playerKind; }
int HudGame::LocalTeam() const { return Local() ? Local()->team : 99; }

std::vector<HudPlayer> HudGame::Players() const
{
    std::vector<HudPlayer> players;
    for (const auto& player : Controller().players)
        if (player)
            players.push_back(HudPlayer{player->id, player->name, player->typing != 0});
    std::stable_sort(players.begin(), players.end(), [](const HudPlayer& a, const HudPlayer& b) { return a.id < b.id; });
    return players;
}

int HudGame::GroupGravity(int group) const
{
    return group >= 0 && group < kControllerGroups ? Controller().groups[size_t(group)].gravity : kAnyGravity;
}
int HudGame::SessionKind() const { return PlaybackShown() ? 2 : 0; }
uint32_t HudGame::UpdateCounter() const { return World().clock.updateCounter; }
int HudGame::OtherViewSwitch() const { return Controller().otherViewSwitch; }

// The match's last notice (a system line of the message log), which ends the match in the
// game types that show it.
std::string HudGame::EndOfMatchText() const
{
    const auto& entries = Controller().messages.Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->sender < 0)
            return it->text;
    return {};
}

LevelPresentation HudGame::Level() const
{
    const GameController& controller = Controller();
    LevelPresentation level;
    level.title = controller.levelTitle;
    level.description = controller.currentLevel.description;
    level.objective = controller.currentLevel.objective;
    level.picture = controller.currentLevel.preLevelIcon;
    return level;
}

std::string HudGame::LevelName(bool keepExtension) const
{
    return GetFileTitle(Controller().levelFile, !keepExtension);
}

std::string HudGame::SolutionPath() const { return GetSolutionPath(); }

namespace {

// The boss whose campaign holds the running level (one of its Level traps names it).
const FlimbMasterEntry* BossOfLevel()
{
    const std::string level = Controller().levelFile;
    return level.empty() ? nullptr : FlimbMasterLevelList::Global().FindBossOfLevel(level);
}

} // namespace

std::optional<FlimbMasterRecord> HudGame::CurrentFlimbMaster() const
{
    const FlimbMasterEntry* boss = BossOfLevel();
    if (!boss)
        return std::nullopt;
    FlimbMasterRecord record;
    record.name = boss->bossName;
    record.image = boss->image;
    record.texts[0] = boss->textWinSmall;
    record.texts[1] = boss->textWinLarge;
    record.texts[2] = boss->textLoseSmall;
    record.texts[3] = boss->textLoseLarge;
    record.images[0] = boss->imageWinSmall;
    record.images[1] = boss->imageWinLarge;
    record.images[2] = boss->imageLoseSmall;
    record.images[3] = boss->imageLoseLarge;
    return record;
}

std::string HudGame::BossShieldImage() const
{
    const FlimbMasterEntry* boss = BossOfLevel();
    return boss ? boss->hudShield : std::string();
}

ExpressionRow HudGame::PickExpression(int, int) const
{
    // Seam: the multiplayer end-of-match screen's expression table; the outcome alone until then.
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

bool HudGame::StartSinglePlayerLevel()
{
    GameClient* client = CurrentClient();
    if (!client) {
        WriteLog("HUD: no session to start the level in\n");
        return false;
    }
    if (SessionVerbose())
        WriteLog("Starting Singleplayer level..\n");
    client->RequestStartMatch();
    return true;
}

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

void HudGame::ShowSolution(const std::string& path)
{
    const RecordingCheck check = CheckRecording(path);
    if (!check.ok) {
        WriteLog("Show Solution: %s\n", check.error.c_str());
        ShowMessageBox(TranslateText("Error"), TranslateText("The solution of this puzzle cannot be played."));
        return;
    }
    if (auto* session = dynamic_cast<FlimbsGameBase*>(FindOpenWindow("FlimbsGameBase")))
        session->Close();
    try {
        OpenWindow(new FlimbsPlayer(path), true);
    } catch (const std::exception& error) {
        WriteLog("%s\n", error.what());
        ShowMessageBox(TranslateText("Error"), TranslateText("Error in playback!"));
        ShowFrontEndFromHud();
    }
}

void HudGame::ReloadFlimbMasterList()
{
    FlimbMasterLevelList& list = FlimbMasterLevelList::Global();
    list.Clear();
    list.Load(false);
}

void HudGame::ShowOptions(std::function<void()> onClosed)
{
    // The front end's reduced options over the HUD; their close refreshes the HUD and lets
    // them go.
    const HudScreenHooks& screens = CurrentHudScreenHooks();
    if (PrimContainer* menu = screens.makeOptionsMenu ? screens.makeOptionsMenu(std::move(onClosed)) : nullptr)
        PositionOverHud(std::unique_ptr<PrimContainer>(menu), true);
}
void HudGame::OpenAdminPlayersPanel()
{
    if (const auto& open = CurrentHudScreenHooks().openAdminPlayersPanel)
        open();
}

bool HudGame::AdminPlayersPanelAvailable() const
{
    return static_cast<bool>(CurrentHudScreenHooks().openAdminPlayersPanel);
}
void HudGame::LoadCheckpointFile(const std::string& file)
{
    Controller().PlayCheckpointFile(file);
}

bool HudGame::ToggleEditorTestMode()
{
    Seam("the editor's test mode");
    return false;
}

void HudGame::ShowOtherUniverseView(bool pressed, int)
{
    if (!pressed || CurrentGameModeIndex() != kHudGameMultiverseMode)
        return;
    if (HudGameView* view = FindHudGameView())
        view->ShowNextUniverse();
}

void HudGame::PlayOutroVideo()
{
    // The outro of the boss whose campaign this level ends; a clip that cannot be played
    // counts as ended at once.
    const FlimbMasterEntry* boss = BossOfLevel();
    Primitive* hud = FindOpenWindow("FLIMBS_HUD");
    OpenWindow(new TransitionedCutscene3(hud, boss ? boss->outroVideo : std::string()), true);
}

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

std::string HudGame::CreateLevelPreview(const std::string& levelFile)
{
    if (levelFile.empty() || !RefreshLevelPreview(levelFile, false))
        return {};
    return LevelPreviewPath(MakeLevelPath(levelFile));
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
