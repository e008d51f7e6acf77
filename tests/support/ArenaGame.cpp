#include "ArenaGame.h"

#include "app/MemoryFileManager.h"
#include "app/Random.h"
#include "game/GameController.h"
#include "session/NetCommand.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 256;
constexpr int kFloor = 200;

void Walk(Flimb& flimb)
{
    Landscape* land = GameLandscape();
    if (!land)
        return;
    const int dir = flimb.walkSpeed >= 0 ? 1 : -1;
    if (land->HitTestPoint(flimb.x + dir, flimb.y - 2) != 0) {
        flimb.walkSpeed = static_cast<int8_t>(-flimb.walkSpeed);
        return;
    }
    flimb.prevX = flimb.x;
    flimb.x = static_cast<int16_t>(flimb.x + dir);
    if (land->HitTestPoint(flimb.x, flimb.y + 1) == 0 && flimb.y < kHeight - 2)
        ++flimb.y;
    if (SimRand() % 97 == 0)
        flimb.walkSpeed = static_cast<int8_t>(-flimb.walkSpeed);
}

void Dig(Flimb& flimb)
{
    Landscape* land = GameLandscape();
    if (!land)
        return;
    land->SetPixel(0, true, 0, flimb.x - 2, flimb.y + 1, flimb.x + 2, flimb.y + 1);
    if (flimb.y < kHeight - 8)
        ++flimb.y;
    else
        flimb.type = kWalk;
}

} // namespace

ArenaGame::ArenaGame()
{
    SetFlimbTypeHandler(kWalk, Walk);
    SetFlimbTypeHandler(kClob, Dig);
}

ArenaGame::~ArenaGame()
{
    ResetFlimbTypeHandlers();
}

void ArenaGame::AddLevelFile(MemoryFileManager& files)
{
    const std::string text = "<flimbs-level><title>Arena</title></flimbs-level>";
    files.AddFile("Level\\arena.flevel", text.data(), text.size());
}

bool ArenaGame::ResolveLevel(const std::string& name, SessionLevelInfo& info)
{
    if (name != kName)
        return false;
    info = {};
    info.name = name;
    info.path = MakeLevelPath(name);
    info.title = "Arena";
    info.crc = kCrc;
    info.groupsInUse = {1, 1, 0, 0, 0, 0, 0, 0};
    return true;
}

int ArenaGame::LoadLevelForGameData(const std::string& name, uint32_t crc)
{
    SessionLevelInfo info;
    if (!ResolveLevel(name, info))
        return kNrFileNotFound;
    if (crc != 0 && crc != kCrc)
        return kNrBadCrc;
    InitLandscape();
    Landscape& land = *GameLandscape();
    land.Clear();
    land.Create(kWidth, kHeight);
    land.SetPixel(2, true, 0xFF806040u, 0, kFloor, kWidth - 1, kHeight - 1);
    land.SetPixel(2, true, 0xFF606060u, 0, 0, 7, kHeight - 1);
    land.SetPixel(2, true, 0xFF606060u, kWidth - 8, 0, kWidth - 1, kHeight - 1);
    land.SetPixel(3, true, 0xFF404080u, 300, kFloor - 12, 320, kFloor - 1);
    if (perturb)
        land.PlotPixel(3, 0xFFFFFFFFu, 100, kFloor + 20);
    SimSrand(4242);
    for (int i = 0; i < 12; ++i)
        AddFlimb(static_cast<int16_t>(40 + 45 * i), kFloor - 1, static_cast<int16_t>(i), static_cast<uint8_t>(i % 2),
                 kWalk, 0, kFlimbStartEnergy, 0, i % 3 == 0 ? -1 : 1);
    for (uint8_t g = 0; g < 2; ++g)
        Controller().groups[g].inUse = 1;
    loaded_ = info;
    return kNrLoadLevelOk;
}
