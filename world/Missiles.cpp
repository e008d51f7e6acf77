#include "world/Missiles.h"

#include "app/Log.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "game/GameController.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/Flimb.h"
#include "world/FlimbParticles.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleKinds.h"
#include "world/ParticleManager.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Sound effects (Sounds\sound-effects.xml).
constexpr int kSoundLopBlast = 21;
constexpr int kSoundFreeze = 50;
constexpr int kSoundFireball = 55;
constexpr int kSoundIceShatter = 59;

constexpr int kLopMask = 16;
constexpr int kFrozenFlimbKind = 17;
constexpr uint32_t kNeutralTint = 0xFF808080u;
// What a Lop crater removes: everything but rock, steel and the one-way walls.
constexpr uint32_t kCraterMaterials = ~((1u << 2) | (1u << 3) | (1u << 8) | (1u << 9));

// The game's frozen-flimb traps: made by the trap factory, set up through the trap base,
// registered in the world.
class FactoryFrozenTraps : public FrozenFlimbTraps {
public:
    Trap* Freeze(const FrozenFlimbSettings& s) override
    {
        std::unique_ptr<Trap> trap = Trap::Create(kFrozenFlimbKind);
        if (!trap)
            return nullptr;
        trap->SetRotation(s.rotation);
        trap->x = s.x;
        trap->y = s.y;
        trap->SetGroup(s.group);
        trap->TakeFrozenFlimb(s.energy, s.facing, s.flimbSize, s.frozen, s.timer, s.state);
        trap->ReleaseGraphics();
        trap->LoadGraphics();
        Trap* made = trap.get();
        RegisterTrap(std::move(trap));
        return made;
    }
    void Thaw(Trap& trap, uint8_t ownerGroup) override
    {
        if (trap.Group() == 255 && ownerGroup != 255) {
            trap.SetGroup(ownerGroup);
            trap.ReleaseGraphics();
            trap.LoadGraphics();
        }
        // A frozen flimb's activation without a flimb is its thaw.
        trap.Activate(nullptr);
    }
};

FrozenFlimbTraps* g_frozenTraps = nullptr;

int32_t Whole(float v)
{
    return static_cast<int32_t>(std::floor(v + 0.5f));
}

int SizeClassOf(float scale)
{
    return scale < 0.75f ? 0 : scale < 1.5f ? 1 : scale < 2.5f ? 2 : 3;
}

int32_t OwnerId(const Particle& p)
{
    return p.owner ? p.owner->id : -1;
}

void Sound(int effect, float x, float y)
{
    PlayEffectAt(effect, Whole(x), Whole(y));
}

// (ahead, up) in a flimb's frame as a world offset: ahead is the world sign of its walking
// direction along its walking axis (x for gravity 0 and 1, y for 2 and 3), up is against
// its gravity.
void FrameToWorld(const Flimb& flimb, float ahead, float up, float& dx, float& dy)
{
    const float sign = flimb.walkSpeed < 0 ? -1.0f : 1.0f;
    switch (flimb.gravity) {
    case 1: dx = sign * ahead, dy = up; break;
    case 2: dx = up, dy = sign * ahead; break;
    case 3: dx = -up, dy = sign * ahead; break;
    default: dx = sign * ahead, dy = -up; break;
    }
}

// A flimb's gravity as a trap rotation: down 0, right 90, up 180, left 270 degrees.
float GravityAngle(uint8_t gravity)
{
    switch (gravity) {
    case 1: return 180.0f;
    case 2: return 270.0f;
    case 3: return 90.0f;
    default: return 0.0f;
    }
}

// A kind's sprite frame broken into particles through the record, its hot spot on the point.
void BreakSprite(int kind, int frame, float x, float y, float scale, AreaEffectParams& record)
{
    const BashMask* sheet = ParticleSpritePixels(kind);
    if (!sheet)
        return;
    const ParticleKindInfo& info = ParticleKindOf(kind);
    const int drawn = std::clamp(frame, 0, info.sheetFrames - 1);
    const BashRect rect{drawn * info.frameWidth, 0, (drawn + 1) * info.frameWidth, info.frameHeight};
    ImageBreakUp breakUp;
    breakUp.image = sheet;
    breakUp.frame = &rect;
    breakUp.hotX = info.hotX;
    breakUp.hotY = info.hotY;
    breakUp.x = x;
    breakUp.y = y;
    breakUp.scale = scale;
    SpawnFromImage(breakUp, &record);
}

// Past an edge of the landscape whose mode is a wall.
bool BeyondWall(const Landscape& land, int32_t x, int32_t y)
{
    const auto& edges = land.edgeModes;
    return (x < 0 && edges[TileStore::kEdgeLeft] == TileStore::kEdgeWall) ||
           (x >= land.Width() && edges[TileStore::kEdgeRight] == TileStore::kEdgeWall) ||
           (y < 0 && edges[TileStore::kEdgeTop] == TileStore::kEdgeWall) ||
           (y >= land.Height() && edges[TileStore::kEdgeBottom] == TileStore::kEdgeWall);
}

bool Holds(const gfx::RECT& r, float x, float y)
{
    return x >= float(r.left) && x < float(r.right) && y >= float(r.top) && y < float(r.bottom);
}

// The first flimb in the world on the segment that is not the owner.
Flimb* FirstFlimbHit(const Particle& p, float fromX, float fromY)
{
    for (Flimb* flimb : FindFlimbsCrossingSegment(fromX, fromY, p.WorldX(), p.WorldY()))
        if (flimb != p.owner && flimb->InWorld())
            return flimb;
    return nullptr;
}

} // namespace

FrozenFlimbTraps* FrozenTraps()
{
    static FactoryFrozenTraps factory;
    return g_frozenTraps ? g_frozenTraps : &factory;
}

void SetFrozenFlimbTraps(FrozenFlimbTraps* traps)
{
    g_frozenTraps = traps;
}

void SetUpLopMissile(Particle& p, const Flimb& flimb)
{
    p.behaviour = ParticleBehaviour::Missile;
    p.kind = LopHeadKind(flimb.group);
    p.flags |= kParticleFalls | kParticlePhysical;
    p.flags2 &= static_cast<uint8_t>(~kParticle2NoExplosion);
    p.bounces = 0;
    p.owner = const_cast<Flimb*>(&flimb);
    if (flimb.walkSpeed < 0)
        p.flags |= kParticleMirrorX;
    p.gravity = flimb.gravity;
    const float scale = flimb.scale;
    float dx = 0.0f, dy = 0.0f;
    FrameToWorld(flimb, std::trunc(15.0f * scale), std::trunc(35.0f * scale), dx, dy);
    p.SetPosition(float(flimb.x) + dx, float(flimb.y) + dy, scale);
    const bool small = flimb.SizeClass() == 0;
    FrameToWorld(flimb, small ? 10.0f : 20.0f, small ? 20.0f : 40.0f, p.vx, p.vy);
    p.spin = flimb.walkSpeed < 0 ? 10.0f : -10.0f;
}

Particle* LaunchLop(Flimb& flimb)
{
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(true, ParticleRole::Simulation) : nullptr;
    if (!p)
        return nullptr;
    SetUpLopMissile(*p, flimb);
    manager->CountParticle(*p);
    return p->alive ? p : nullptr;
}

bool SimulateLopThrow(const Flimb& flimb, int32_t& x, int32_t& y)
{
    Particle p = kTemplateParticle;
    SetUpLopMissile(p, flimb);
    p.delay = 0;
    p.flags2 |= kParticle2NoExplosion;
    ParticleStep step;
    step.land = ParticleLand();
    if (!step.land)
        return false;
    RandomGenerator scratch(CurrentUpdateCounter());
    step.random = &scratch;
    step.universeWidth = ParticleUniverseWidth(step.land);
    step.lookAhead = true;
    p.born = static_cast<uint16_t>(CurrentUpdateCounter());
    for (uint32_t i = 0; i < 50; ++i) {
        step.updateCounter = CurrentUpdateCounter() + i;
        p.Update(step);
        if (!p.alive) {
            x = Whole(p.WorldX());
            y = Whole(p.WorldY());
            return true;
        }
    }
    return false;
}

void Missile::Die(Particle& p, ParticleStep& step)
{
    p.DiePlain(step);
    if (step.lookAhead || (p.flags2 & kParticle2NoExplosion))
        return;
    const float x = p.WorldX(), y = p.WorldY();
    Sound(kSoundLopBlast, x, y);
    if (Landscape* land = step.land) {
        const int size = SizeClassOf(p.z + 0.1f);
        const int direction = p.gravity & 3;
        // The crater is centred on the impact; its removed pixels scatter.
        if (const BashMask* mask = land->BrushMask(kLopMask, size, direction, 0)) {
            AreaEffectParams scatter(EmitScatter, x, y, p.vx, p.vy, 0.0f, p.gravity, 4, 4);
            land->BashBrush(kLopMask, size, direction, 0, 0, false, kCraterMaterials, &scatter, kNeutralTint,
                            Whole(x) - mask->width / 2 + mask->hotspotX, Whole(y) - mask->height / 2 + mask->hotspotY);
        }
    }
    AreaEffectParams spray(EmitSpray, x, y, p.vx * 0.25f, p.vy * 0.25f, 0.0f, p.gravity, 2, 2);
    BreakSprite(p.kind, p.frame, x, y, p.z, spray);
    ModeOnBlast(OwnerId(p), x, y, p.kind);
    // Where the crater reaches past a wall edge, debris flies off the wall.
    if (const Landscape* land = step.land) {
        const int32_t reach = static_cast<int32_t>(std::trunc(10.0f * (p.z + 0.1f)));
        const int32_t cx = Whole(x), cy = Whole(y);
        const int32_t points[5][2] = {{cx, cy}, {cx - reach, cy}, {cx + reach, cy}, {cx, cy - reach}, {cx, cy + reach}};
        for (const auto& point : points) {
            if (!BeyondWall(*land, point[0], point[1]))
                continue;
            ThrowDebris(std::clamp(point[0], 0, land->Width() - 1), std::clamp(point[1], 0, land->Height() - 1));
            break;
        }
    }
}

void IceMissile::Update(Particle& p, ParticleStep& step)
{
    const float fromX = p.WorldX(), fromY = p.WorldY();
    p.UpdatePlain(step);
    if (step.lookAhead)
        return;
    if (!p.alive) {
        Sound(kSoundIceShatter, fromX, fromY);
        return;
    }
    Flimb* flimb = FirstFlimbHit(p, fromX, fromY);
    if (!flimb)
        return;
    FrozenFlimbSettings settings;
    settings.rotation = GravityAngle(flimb->gravity);
    settings.energy = flimb->energy;
    settings.group = flimb->group;
    settings.facing = flimb->walkSpeed < 0 ? -1 : 1;
    settings.flimbSize = flimb->scale;
    settings.x = float(flimb->x);
    settings.y = float(flimb->y);
    if (FrozenTraps()->Freeze(settings))
        flimb->flags &= static_cast<uint8_t>(~kFlimbInWorld);
    else
        WriteLog("Ice missile: no frozen-flimb trap for flimb %d\n", int(flimb->id));
    p.Die(step);
    Sound(kSoundFreeze, p.WorldX(), p.WorldY());
}

void IceMissile::Die(Particle& p, ParticleStep& step)
{
    p.DiePlain(step);
    if (step.lookAhead)
        return;
    const float x = p.WorldX(), y = p.WorldY();
    // The sprite bursts half its size further along the flight.
    const float speed = std::sqrt(p.vx * p.vx + p.vy * p.vy);
    const ParticleKindInfo& ice = ParticleKindOf(kParticleIce);
    const float cx = speed > 0.0f ? x + p.vx / speed * float(ice.frameWidth) * 0.5f : x;
    const float cy = speed > 0.0f ? y + p.vy / speed * float(ice.frameHeight) * 0.5f : y;
    AreaEffectParams shards(EmitShard, cx, cy, p.vx, p.vy, 0.0f, p.gravity, 3, 3);
    SpawnFromFile(ice.sprite, cx, cy, &shards);
    ModeOnBlast(OwnerId(p), x, y, p.kind);
}

void Fireball::Update(Particle& p, ParticleStep& step)
{
    const float fromX = p.WorldX(), fromY = p.WorldY();
    p.UpdatePlain(step);
    if (step.lookAhead)
        return;
    if (!p.alive) {
        Sound(kSoundFireball, fromX, fromY);
        return;
    }
    const float x = p.WorldX(), y = p.WorldY();
    if (Flimb* flimb = FirstFlimbHit(p, fromX, fromY)) {
        flimb->SetType(kBurn);
        p.Die(step);
        Sound(kSoundFireball, x, y);
        return;
    }
    for (Trap* trap : GetTrapsOfKind(kFrozenFlimbKind)) {
        if (!trap->alive || !Holds(trap->GetBounds(), x, y))
            continue;
        FrozenTraps()->Thaw(*trap, p.owner ? p.owner->group : 255);
        p.Die(step);
        Sound(kSoundFireball, x, y);
        return;
    }
}

void Fireball::Die(Particle& p, ParticleStep& step)
{
    p.DiePlain(step);
    if (step.lookAhead)
        return;
    const float x = p.WorldX(), y = p.WorldY();
    AreaEffectParams burst(EmitReceptacle, x, y, p.vx, p.vy, 0.0f, p.gravity, 3, 3);
    BreakSprite(kParticleFireball, p.frame, x, y, 1.0f, burst);
    ModeOnBlast(OwnerId(p), x, y, p.kind);
}
