// Computer-controlled combat: a flimb with autoBehaviour bits throws at enemies coming its
// way and fights those that touch it.
#include "world/AnimationSpec.h"
#include "world/FlimbFrame.h"
#include "world/FlimbParticles.h"
#include "world/FlimbQueries.h"

namespace {

constexpr uint8_t kThrowAtEnemies = 2;
constexpr uint8_t kFightEnemies = 4;
constexpr uint8_t kClobMarker = 1;
constexpr uint8_t kNovaMarker = 5;

bool IsEnemyOf(const Flimb& flimb, const Flimb& other)
{
    return &other != &flimb && other.group != flimb.group && other.type != kStun;
}

bool MayBecome(const Flimb& flimb, uint8_t type)
{
    return flimb.type < kFlimbTypeCount && FlimbTypeRowOf(flimb.type).changeInto[type];
}

// An enemy within 75 pixels of where the test missile came down, walking towards it.
bool EnemyComesTo(const Flimb& flimb, int32_t x, int32_t y)
{
    for (const Flimb* other : FindFlimbsInArea(true, false, x - 75, y - 75, x + 75, y + 75)) {
        if (!IsEnemyOf(flimb, *other))
            continue;
        const int32_t towards = other->gravity < 2 ? x - other->x : y - other->y;
        if (towards != 0 && (towards < 0) == (other->walkSpeed < 0))
            return true;
    }
    return false;
}

} // namespace

void Flimb::CheckEnemies()
{
    if (typeAge < 16 || !autoBehaviour || flimbs::SteppingCopy())
        return;
    if ((autoBehaviour & kThrowAtEnemies) && type != kLop && pendingType != kLop && MayBecome(*this, kLop)) {
        int32_t landX = 0, landY = 0;
        if (SimulateLopThrow(*this, landX, landY) && EnemyComesTo(*this, landX, landY)) {
            pendingType = kLop;
            queuedAction = kNoType;
        }
    }
    if (!(autoBehaviour & kFightEnemies))
        return;
    const gfx::RECT r = GetCurrentSprite();
    int enemies = 0;
    for (const Flimb* other : FindFlimbsInArea(true, false, r.left + 8, r.top + 8, r.right - 8, r.bottom - 8))
        enemies += IsEnemyOf(*this, *other) ? 1 : 0;
    if (type == kClob && fuse == kClobMarker && enemies == 0) {
        pendingType = kWalk;
        return;
    }
    if (enemies == 0)
        return;
    if (energy < 1302 && type != kNova && pendingType != kNova && MayBecome(*this, kNova)) {
        pendingType = kNova;
        fuse = kNovaMarker;
        queuedAction = kNoType;
    } else if (type != kClob && pendingType != kClob && MayBecome(*this, kClob)) {
        pendingType = kClob;
        fuse = kClobMarker;
        queuedAction = kNoType;
    }
}
