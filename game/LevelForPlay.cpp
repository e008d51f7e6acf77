#include "game/LevelForPlay.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/LevelLoader.h"
#include "game/LevelManager.h"
#include "gui/LoadingScreen.h"
#include "gui/MessageBox.h"
#include "media/DXManager.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "platform/desktop/OpenUrl.h"
#include "traps/Trap.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

constexpr uint32_t kViewMoveMs = 500;

void SetConsoleInt(const char* name, int value)
{
    if (ConsoleParam* param = ConsoleParam::Find(name))
        param->SetInt(value);
}

int ConsoleIntOr(const char* name, int fallback)
{
    const ConsoleParam* param = ConsoleParam::Find(name);
    return param ? param->GetInt() : fallback;
}

// The level's groups as the reader found them become the controller's group entries.
void TakeGroups(const LevelLoader& loader)
{
    GameController& controller = Controller();
    for (size_t g = 0; g < controller.groups.size(); ++g) {
        const GroupSetup& setup = loader.info.groups[g];
        GroupEntry& entry = controller.groups[g];
        entry.inUse = setup.present && setup.available ? 1 : 0;
        entry.listed = setup.present;
        std::copy(setup.actions.begin(), setup.actions.end(), entry.uses.begin());
        entry.team = static_cast<uint8_t>(g);
        entry.gravity = setup.gravity;
    }
    if (controller.modeIndex == 4) {
        // Multiverse: every universe's group starts with the same budgets.
        const int32_t source = controller.sessionKind == kSessionNetworked ? 0 : std::max(loader.defaultGroup, 0);
        const auto uses = controller.groups[static_cast<size_t>(source)].uses;
        for (GroupEntry& entry : controller.groups)
            entry.uses = uses;
    }
    controller.stats = {};
}

// The group whose view is placed: the local player's team, for a spectator (or without a
// local player) the first group in use.
int32_t ViewGroup()
{
    const GameController& controller = Controller();
    const PlayerRecord* local = controller.localPlayer;
    if (local && !local->spectator && local->team < kControllerGroups)
        return local->team;
    for (size_t g = 0; g < controller.groups.size(); ++g)
        if (controller.groups[g].inUse)
            return static_cast<int32_t>(g);
    return -1;
}

const Flimb* FirstAliveFlimb(uint8_t group)
{
    for (const Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.group == group)
            return &flimb;
    return nullptr;
}

void PlaceView()
{
    if (!GameViewOpen())
        return;
    ResetGameViewDirection();
    const int32_t group = ViewGroup();
    if (group < 0)
        return;
    const auto g = static_cast<uint8_t>(group);
    if (Trap* camera = FindCameraTrapOfGroup(g)) {
        // Each peer places its own view: the camera moves the view only.
        camera->MoveViewToTarget();
    } else if (const Flimb* followed = FollowedFlimb()) {
        CentreGameViewOn(*followed);
    } else {
        const bool anyGravity = Controller().groups[g].gravity == kAnyGravity;
        if (const Trap* start = FindStartTrapOfGroup(g)) {
            ScrollGameViewTo(start->x, start->y, kViewMoveMs);
            if (anyGravity)
                TurnGameViewTo(AngleToDirection(static_cast<int32_t>(start->rotation)));
        } else if (const Flimb* flimb = FirstAliveFlimb(g)) {
            ScrollGameViewTo(flimb->x, flimb->y, kViewMoveMs);
            if (anyGravity)
                TurnGameViewTo(flimb->gravity);
        }
    }
}

void ShowLonelyMatch()
{
    ShowClosableMessageBox(
        TranslateText("Lonely Match"),
        TranslateText("It seems you've started a multiplayer match by yourself, how sad.\n\nWould you like some help "
                      "finding other online players?"),
        {{TranslateText("Yes"), [](Primitive*, Button*) { platform::OpenUrl(kLonelyMatchHelpUrl); }}, {TranslateText("No"), nullptr}});
}

} // namespace

int32_t LoadLevelForPlay(const PlayLevelRequest& request)
{
    if (!EqualsNoCase(GetFileTitle(request.name, true), "editor-test-level"))
        SetConsoleInt("demigod", 0);
    const std::string name = EndsWithNoCase(request.name, ".flevel") ? request.name : request.name + ".flevel";
    const std::string path = StartsWithNoCase(name, "Level\\") ? name : "Level\\" + name;
    int32_t code = kLoadedForPlay;
    {
        FileHandle file = FileHandle::FromString(path);
        if (!file.IsOpen()) {
            WriteLog("Error : [%s] not found!!!!!\n", path.c_str());
            code = kLoadFileMissing;
        } else if (file.Crc() != request.checksum) {
            if (PlaybackRunning())
                WriteLog("WARNING: playback level crc doesn't match crc from savegame, playback may be incorrect\n");
            else
                code = kLoadChecksumDiffers;
        }
    }
    if (code != kLoadedForPlay && !GameServerExists())
        return code;

    LevelChooserEntry summary;
    Levels().ResolveLevel(name, summary);
    Controller().currentLevel = summary;

    LoadingScreen screen;
    screen.StartWorker();
    soundManager.PlayMusic("intro", true, false, 0.5f);

    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(path, kLevelLoadGame);
    screen.SetProgressRange(std::max(CountLevelLoadItems(*loader), 1));
    loader->progress = [&screen] { LevelLoadProgress(&screen); };
    const bool read = LoadLevel(*loader);
    if (read) {
        GameController& controller = Controller();
        controller.modeIndex = loader->info.gameMode;
        TakeGroups(*loader);
        if (!controller.frontEndFlag && controller.sessionKind == kSessionNetworked && GameServerExists()) {
            CurrentProfile().SetSetting("last_multiplayer_hosted_level", name);
            CurrentProfile().Save();
            SetConsoleInt("demigod", 0);
        }
    }
    CloseLevelDocument(*loader);
    screen.StopWorker();
    return read ? kLoadedForPlay : kLoadUnreadable;
}

void LevelLoadProgress(LoadingScreen* screen)
{
    static uint32_t calls = 0;
    if (calls++ % 10 == 0)
        gameClock.Update();
    if (screen)
        screen->AddProgress(1);
    PumpClientConnections();
    if (GameServerExists())
        CheckServerReceived();
}

void PlaceGameViewForLevel()
{
    PlaceView();
}

void StartLevel(const std::function<void(const char* step)>& trace)
{
    const auto note = [&](const char* step) {
        if (trace)
            trace(step);
    };
    GameController& controller = Controller();
    World().traps.highlightedTrapId = -1;
    note("highlight");
    AssignControl();
    note("control");
    DisableUnusedGroupTraps();
    note("disable");
    StampTrapsIntoLand();
    note("stamp");

    controller.runState = kRunRunning;
    note("run");
    PlayLevelMusic();
    note("music");

    controller.levelStartTime = gameClock.Now();
    controller.counters = {};
    note("counters");

    if (controller.modeIndex == 3 || controller.modeIndex == 4) {
        ComputeHealthScale();
        note("health");
    }
    PlaceView();
    note("view");

    if (!CurrentGameMode() && !CreateCurrentGameMode(controller.modeIndex))
        WriteLog("ERROR: could not create game mode\n");
    else
        note("mode");
    ModeStartMatch();
    note("start");

    if (!controller.frontEndFlag && controller.sessionKind == kSessionNetworked &&
        ConsoleIntOr("publicServer", 1) == 1 && controller.CountPlayers(-1, true) < 2 && controller.localPlayer &&
        controller.localPlayer->admin) {
        ShowLonelyMatch();
        note("lonely");
    }
    if (GameServerExists() && SessionStateWord() == 0 && !controller.frontEndFlag) {
        ReportMatchStart(controller.GetLevelName(true));
        note("stats");
    }
}

void ShowGameOverView()
{
    Controller().matchResult = -1;
    if (GameViewOpen())
        ZoomGameViewToFit(kViewMoveMs);
    ModeGameOver();
    for (Trap* trap : GetTrapsOfKind(kTrapAnnotation))
        trap->Deactivate();
}

bool WriteReceivedLevelPreview(const std::string& levelPath)
{
    ReleasePlayerAvatars();
    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(levelPath, kLevelLoadPreview);
    bool written = false;
    if (LoadLevel(*loader) && loader->previewSurface) {
        std::string picture = levelPath;
        if (EndsWithNoCase(picture, ".flevel"))
            picture.resize(picture.size() - 7);
        picture += ".jpg";
        written = DXManager::SurfaceToFile(DXManager::kFormatJpeg, nullptr, loader->previewSurface.get(), picture, 95);
        if (!written)
            WriteLog("WARNING: the preview of %s could not be written\n", levelPath.c_str());
    }
    CloseLevelDocument(*loader);
    return written;
}
