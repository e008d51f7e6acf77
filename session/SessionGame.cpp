#include "session/SessionGame.h"

#include "app/FileManager.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "modes/ModeServices.h"
#include "session/NetCommand.h"
#include "traps/Trap.h"
#include "world/ActionChecks.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
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
    // Seam: LevelManager::ResolveLevel reads title, kind and mode from the file; until the
    // level reader exists the file's name stands for them.
    const std::string path = MakeLevelPath(name);
    if (!fileManager)
        return false;
    const int handle = fileManager->Open(path);
    if (!handle)
        return false;
    info = {};
    info.name = name;
    info.path = path;
    info.crc = fileManager->GetCrc(handle);
    fileManager->Close(handle);
    info.title = GetFileTitle(path, true);
    const size_t underscore = info.title.find('_');
    info.modeIndex = GameModeIndexFromPrefix(underscore == std::string::npos ? "" : info.title.substr(0, underscore));
    return true;
}

int SessionGameState::LoadLevelForGameData(const std::string& name, uint32_t)
{
    // Seam: GameController::LoadLevelForGameData (the level reader).
    WriteLog("No level reader: cannot load %s\n", name.c_str());
    return kNrBadFormat;
}

void SessionGameState::ResetLevel()
{
    DeleteAllTraps();
    ClearWorldFlimbs(World());
    World().clock = {};
    if (Landscape* land = GameLandscape())
        land->Clear();
    ClearLandscapePrimitives();
    // Seam: ParticleManager::ResetPool.
    ClearCurrentGameMode();
    ResetGameController();
    Controller().levelFile.clear();
    Controller().levelTitle.clear();
    loaded_ = {};
}

void SessionGameState::StartMatch()
{
    // Seam: GameController::StartMatch makes the level's game mode.
    if (!CurrentGameMode() && !CreateCurrentGameMode(loaded_.modeIndex))
        WriteLog("ERROR: could not create game mode\n");
    MarkMatchStarted();
    ModeStartMatch();
    Controller().runState = kRunRunning;
}

void SessionGameState::EndMatch()
{
    ModeGameOver();
}

Flimb* SessionGameState::SpawnFlimb(const SpawnArgs& a)
{
    // Seam: the flimb code's SpawnFlimb reads the spawn properties; here the kind is the
    // group, byte 22 the type, byte 20 the gravity, byte 21 the behaviour, u16 26 the energy.
    const uint8_t group = a.kind < 8 ? a.kind : 0;
    const uint8_t type = a.b22 < kFlimbTypeCount ? a.b22 : static_cast<uint8_t>(kWalk);
    const auto id = static_cast<int16_t>(ModeNextFlimbId(0, group, -1, 1));
    return AddFlimb(static_cast<int16_t>(a.x), static_cast<int16_t>(a.y), id, group, type, a.b20 & 3, a.u26, a.b21,
                    0);
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

void SessionGameState::OrderGroup(uint8_t)
{
    // Seam: the game controller's group operation.
}

void SessionGameState::HighlightFlimb(Flimb&, int, bool)
{
    // Seam: the flimb overlay's highlight of another player's flimb (the local selection
    // is the local player's own).
}

void SessionGameState::SetDecoration(Flimb&, const std::string& name)
{
    // Seam: AnimationSpec::FindDecorationAnimation and the flimb's change effect.
    WriteLog("Decoration %s has no animation yet\n", name.c_str());
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

bool SessionGameState::LoadTrapState(Trap&, const std::string&)
{
    // Seam: the trap base's load-state operation.
    return false;
}

std::string SessionGameState::TrapStateXml(const Trap& trap)
{
    // Seam: the trap base's write-state operation; the base fields until then.
    return StringPrintf("<trap-state><id>%u</id><enabled>%d</enabled><activated>%d</activated></trap-state>",
                        trap.id, trap.enabled, trap.activated);
}

void SessionGameState::ReadMorphCounts(const std::string&)
{
    // Seam: the game controller's reader of the groups' action counts.
}
