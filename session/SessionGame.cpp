#include "session/SessionGame.h"

#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/LevelConfig.h"
#include "game/LevelFile.h"
#include "game/LevelForPlay.h"
#include "game/LevelLoader.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameServer.h"
#include "session/NetCommand.h"
#include "traps/Trap.h"
#include "world/ActionChecks.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

namespace {

SessionGameState* g_installed = nullptr;

} // namespace

SessionGameState& SessionGame()
{
    static SessionGameState adapter;
    return g_installed ? *g_installed : adapter;
}

void SetSessionGame(SessionGameState* game)
{
    g_installed = game;
}

std::string SessionGameState::MakeLevelPath(const std::string& name)
{
    std::string path = name.find_first_of("\\/") == std::string::npos ? "Level\\" + name : name;
    if (!EndsWithNoCase(path, ".flevel"))
        path += ".flevel";
    return path;
}

bool SessionGameState::ResolveLevel(const std::string& name, SessionLevelInfo& info)
{
    const std::string path = MakeLevelPath(name);
    const int handle = fileManager ? fileManager->Open(path) : 0;
    if (!handle)
        return false;
    const uint32_t crc = fileManager->GetCrc(handle);
    fileManager->Close(handle);
    LevelChooserEntry entry;
    try {
        if (!ReadLevelSummary(path, entry)) {
            WriteLog("Level %s has no readable summary\n", path.c_str());
            return false;
        }
    } catch (const GameException& failure) {
        WriteLog("Level %s: %s\n", path.c_str(), failure.what());
        return false;
    }
    info = {};
    info.name = name;
    info.path = path;
    info.crc = crc;
    info.title = entry.title;
    // The edit-only permissions (2 "EditOnly", 3 "PlayTestOnly") stand for the level's kind.
    if (entry.permission == 2 || entry.permission == 3)
        info.kind = entry.permission;
    else
        info.kind = entry.playerKind == kLevelMultiplayer ? 1 : 0;
    info.modeIndex = entry.gameMode;
    for (size_t g = 0; g < info.groupsInUse.size(); ++g)
        info.groupsInUse[g] = entry.groups[g].present;
    return true;
}

int SessionGameState::LoadLevelForGameData(const std::string& name, uint32_t crc)
{
    // The session's rules on the server's checksum (0: none to compare; a playback warns and
    // plays on; the host loads what it has), then the controller loads the level.
    const std::string path = MakeLevelPath(name);
    const int handle = fileManager ? fileManager->Open(path) : 0;
    if (!handle) {
        WriteLog("Error : [%s] not found!!!!!\n", path.c_str());
        return kNrFileNotFound;
    }
    const uint32_t fileCrc = fileManager->GetCrc(handle);
    fileManager->Close(handle);
    if (crc != 0 && fileCrc != crc) {
        if (CommandState().sessionKind != kSessionLive)
            WriteLog("WARNING: playback level crc doesn't match crc from savegame, playback may be incorrect\n");
        else if (!CurrentServer())
            return kNrBadCrc;
    }
    SessionLevelInfo info;
    if (!ResolveLevel(name, info))
        return kNrBadFormat;
    if (!GameLandscape())
        InitLandscape();
    static_assert(int(kLoadFileMissing) == int(kNrFileNotFound) && int(kLoadedForPlay) == int(kNrLoadLevelOk)
                  && int(kLoadChecksumDiffers) == int(kNrBadCrc) && int(kLoadUnreadable) == int(kNrBadFormat));
    // The checksum accepted above is the file's own.
    const int32_t code = LoadLevelForPlay(PlayLevelRequest{name, fileCrc});
    if (code != kLoadedForPlay)
        return code;
    loaded_ = info;
    return kNrLoadLevelOk;
}

bool SessionGameState::GroupHasStartTrap(uint8_t group) const
{
    for (const Trap* trap : GetTrapsOfKind(kTrapStart))
        if (trap->Group() == group)
            return true;
    return false;
}

void SessionGameState::ResetLevel()
{
    DeleteAllTraps();
    ClearWorldFlimbs(World());
    World().clock = {};
    if (Landscape* land = GameLandscape())
        land->Clear();
    ClearLandscapePrimitives();
    // The pool starts empty (and off until the match starts) on every load, so that a
    // level played again, or a playback rewound, runs as it did the first time.
    ResetParticles();
    ClearCurrentGameMode();
    ResetGameController();
    GameController& controller = Controller();
    controller.levelFile.clear();
    controller.levelTitle.clear();
    controller.gameState = kRunNone;
    controller.matchRunning = 0;
    loaded_ = {};
}

void SessionGameState::StartMatch()
{
    // The controller's match start: control, unused groups' traps, the traps stamped into
    // the land, the run state, the view and the game mode.
    ::StartLevel();
    GameController& controller = Controller();
    controller.gameState = controller.runState;
    controller.matchRunning = 1;
}

void SessionGameState::EndMatch()
{
    GameController& controller = Controller();
    controller.gameState = controller.runState;
    controller.matchRunning = 0;
    ShowGameOverView();
}

Flimb* SessionGameState::SpawnFlimb(const SpawnArgs& a)
{
    // CREATE_FLIMB's fields in record order: the kind is the group, the flags the size class
    // (bit 7 is the record's own), byte 20 the gravity, byte 21 the behaviour, byte 22 the
    // type, u16 24 the facing, u16 26 the energy, byte 28 the attribute bit.
    if (a.kind >= kControllerGroups) {
        WriteLog("WARNING: CREATE_FLIMB for group %d refused: no such group\n", a.kind);
        return nullptr;
    }
    FlimbSpawnArgs spawn;
    spawn.x = a.x;
    spawn.y = a.y;
    spawn.group = a.kind;
    spawn.size = static_cast<int8_t>(a.flags & 0x7F);
    spawn.gravity = static_cast<uint8_t>(a.b20 & 3);
    spawn.ai = a.b21;
    spawn.type = a.b22 < kFlimbTypeCount ? a.b22 : static_cast<uint8_t>(kWalk);
    spawn.facing = static_cast<int8_t>(static_cast<int16_t>(a.u24) < 0 ? -1 : a.u24 > 0 ? 1 : 0);
    spawn.energy = a.u26;
    spawn.attributes = a.b28;
    return ::SpawnFlimb(spawn);
}

bool SessionGameState::CanTakeType(const Flimb& flimb, uint8_t type)
{
    // The orders of the belt (0 .. 10) follow the action checks; other types are set as
    // they come (SetType refuses what a flimb cannot become).
    return type >= kActionCount || CanGiveAction(flimb, 0, type, false);
}

void SessionGameState::ApplyType(Flimb& flimb, uint8_t type)
{
    flimb.SetType(type);
}

void SessionGameState::OrderMovement(Flimb& flimb, uint8_t order)
{
    // The steering keys: bit 1 pressed, bit 0 the positive side; 4 the jump key (with bit
    // 4 set: face the side of bit 0); 255 lets go of both keys.
    if (order == 255) {
        flimb.steerKeys = 0;
        return;
    }
    if (order & 4) {
        if (order & 16) {
            const int8_t speed = static_cast<int8_t>(flimb.walkSpeed < 0 ? -flimb.walkSpeed : flimb.walkSpeed);
            flimb.walkSpeed = static_cast<int8_t>((order & 1) ? speed : -speed);
        } else {
            flimb.Jump();
        }
        return;
    }
    flimb.SetSteerKey((order & 2) != 0, (order & 1) != 0);
}

void SessionGameState::OrderGroup(uint8_t group)
{
    DetonateGroup(group);
}

void SessionGameState::HighlightFlimb(Flimb& flimb, int, bool on)
{
    // The selected flag travels with the command, so that every game marks the flimb at the
    // same update; a manned device takes keys only from its marked rider.
    flimb.SetSelected(on, false);
}

void SessionGameState::SetDecoration(Flimb& flimb, const std::string& name)
{
    flimb.overlaySet = name.empty() ? nullptr : FindDecorationAnimation(name);
    flimb.PlayMorphEffect();
}

void SessionGameState::BashBrushFile(const NetBashArgs& args, float degrees)
{
    // The record's integers are the point, its further arguments the bash mode, the tint
    // and the materials the bash affects; the flag centres the brush on the point.
    if (Landscape* land = GameLandscape())
        land->BashPrimitiveFileAt(static_cast<int>(args.c), args.brushFile, BashOptions{}, args.e, args.scaleX,
                                  args.scaleY, degrees, args.flag != 0, args.d, Landscape::kCacheLookup | Landscape::kCacheStore,
                                  false, args.a, args.b);
}

bool SessionGameState::LoadTrapState(Trap& trap, const std::string& xml)
{
    XmlDocument doc = XmlParseBuffer(xml.data(), xml.size(), "trap-state");
    xmlNode* root = doc ? XmlRoot(doc.get()) : nullptr;
    if (!root || XmlName(root) != "trap-state") {
        WriteLog("Trap %u: unreadable trap state\n", trap.id);
        return false;
    }
    try {
        trap.Load(root, LevelDefaultsElement("traps", "trap"), kTrapLoadState);
    } catch (const GameException& failure) {
        // One line, whatever the message ends with.
        WriteLog("Trap %u: trap state dropped: %s\n", trap.id, Trim(failure.Message()).c_str());
        return false;
    }
    return true;
}

std::string SessionGameState::TrapStateXml(const Trap& trap)
{
    XmlDocument doc = XmlNewDocument("trap-state");
    trap.Save(XmlRoot(doc.get()));
    return XmlDocumentText(doc.get());
}

void SessionGameState::ReadMorphCounts(const std::string& xml)
{
    ReadManagerStateDocument(xml);
}
