#include "traps/FollowTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbParticles.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleKinds.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kFollowRegistration(FollowTrap::kKind, [] { return std::unique_ptr<Trap>(new FollowTrap); });
const TrapKindRegistration kWalkBugRegistration(WalkBugTrap::kKind,
                                                [] { return std::unique_ptr<Trap>(new WalkBugTrap); });

constexpr uint8_t kSleepFirst = 5, kSleepLast = 9;
constexpr uint8_t kWakeFirst = 10, kWakeLast = 15;
constexpr uint8_t kAwakeLast = 4;
constexpr uint32_t kDigTint = 0xFF808080u;

int Range(RandomGenerator& random, int low, int high)
{
    return low + random.Next() % (high - low + 1);
}

// The follower's dig: each removed pixel a particle thrown a little way.
void EmitDigDust(BashEmitter& emitter, int px, int py, uint32_t colour)
{
    auto& record = static_cast<AreaEffectParams&>(emitter);
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(false, record.Role()) : nullptr;
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    p->kind = kParticleDot;
    p->SetPosition(static_cast<float>(px), static_cast<float>(py), 1.0f);
    p->gravity = record.gravity;
    p->flags |= kParticleFalls | kParticlePhysical;
    p->colour = colour & 0x00FFFFFFu;
    p->vx = static_cast<float>(Range(random, -5, 4));
    p->vy = static_cast<float>(Range(random, -5, 4));
    p->spin = static_cast<float>(random.Next() % 30);
    p->alpha = static_cast<uint8_t>(127 + random.Next() % 128);
    if (random.Next() & 1)
        p->flags |= kParticleMirrorX;
    if (random.Next() & 1)
        p->flags |= kParticleFlipY;
    p->bounces = 10;
    p->life = 500;
    p->elasticity = static_cast<uint8_t>(55 + random.Next() % 20);
    manager->CountParticle(*p);
}

// A step of `most` pixels towards the goal: added when it lies beyond, taken away otherwise.
float Towards(float at, int32_t goal, int step)
{
    return static_cast<float>(goal) > at ? at + static_cast<float>(step) : at - static_cast<float>(step);
}

} // namespace

// ---- Follower ----------------------------------------------------------------------------

FollowTrap::FollowTrap() : Trap(kKind)
{
    frame = kSleepFirst;
}

void FollowTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const FollowTrap&>(source);
    awake = other.awake;
    followerScale = other.followerScale;
    followMode = other.followMode;
    landMode = other.landMode;
    killFlimbs = other.killFlimbs;
    target = other.target;
    targetGroup = other.targetGroup;
}

gfx::RECT FollowTrap::GetBounds() const
{
    return BoundsAtScale(followerScale, followerScale);
}

void FollowTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    if (flimb && flimb == target)
        target = nullptr;
}

void FollowTrap::StepAnimation()
{
    frame = static_cast<uint8_t>(frame + 1);
    if (!target) {
        if (frame < kSleepFirst || frame > kSleepLast)
            frame = kSleepFirst;
    } else if (!awake) {
        if (frame < kWakeFirst || frame > kWakeLast) {
            awake = 1;
            frame = 0;
        }
    } else if (frame > kAwakeLast) {
        frame = 0;
    }
}

bool FollowTrap::Goal(int32_t& gx, int32_t& gy) const
{
    if (followMode == kFollowTarget) {
        if (!target)
            return false;
        const gfx::RECT body = target->GetCurrentSprite();
        gx = static_cast<int32_t>((static_cast<int64_t>(body.left) + body.right) / 2);
        gy = static_cast<int32_t>((static_cast<int64_t>(body.top) + body.bottom) / 2);
        return true;
    }
    int64_t sumX = 0, sumY = 0, count = 0;
    for (const Flimb& flimb : World()) {
        if (flimb.IsFree() || !flimb.InWorld() || !flimb.IsAlive())
            continue;
        if (targetGroup != 0 && flimb.group != targetGroup)
            continue;
        sumX += flimb.x;
        sumY += flimb.y;
        ++count;
    }
    if (count == 0)
        return false;
    gx = static_cast<int32_t>(sumX / count);
    gy = static_cast<int32_t>(sumY / count);
    return true;
}

void FollowTrap::Dig()
{
    Landscape* land = GameLandscape();
    if (!land)
        return;
    AreaEffectParams dust(EmitDigDust, x, y, 0.0f, 0.0f, 0.0f, 0, 1, 1);
    land->BashPrimitiveFile(0, kDigImage, BashOptions{}, kAllMaterials, 1.0f, 1.0f, 0.0f, true, nullptr, kDigTint,
                            Landscape::kCacheLookup | Landscape::kCacheStore, true, &dust, false, nullptr, false,
                            static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)));
}

void FollowTrap::Update()
{
    StepAnimation();
    const gfx::RECT box = GetBounds();
    const FlimbList touching = FindFlimbsInArea(true, false, box.left, box.top, box.right, box.bottom);
    if (!touching.empty()) {
        Flimb* first = touching.front();
        if (target)
            FireEvent(0, first, false);
        if (!target) {
            target = first;
            frame = kWakeFirst;
        } else if (killFlimbs) {
            AtomizeFlimbSprite(*first, true, false, nullptr, 2, 2);
            ClearInWorld(*first);
            if (first == target)
                target = nullptr; // back to sleep where it is
        }
    }
    int32_t gx = 0, gy = 0;
    if (target && Goal(gx, gy)) {
        const double seed = static_cast<double>(World().clock.updateCounter) * static_cast<double>(x);
        SimRandom().Seed(static_cast<uint32_t>(static_cast<int64_t>(std::clamp(seed, -9.0e18, 9.0e18))));
        x = Towards(x, gx, SimRand() % 3);
        y = Towards(y, gy, SimRand() % 3);
        AddTrapToDrawList(this);
    }
    if (landMode == kDiggingLandMode)
        Dig();
}

void FollowTrap::Draw()
{
    if (!sprite)
        return;
    SheetDraw how = TrapSheetLook(*this);
    how.frame = frame;
    how.scaleX = followerScale;
    how.scaleY = followerScale;
    DrawSheetInWorld(sprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, true);
}

std::unique_ptr<LayoutPanel> FollowTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Group"), "groupID", "%d", targetGroup, std::string());
    panel->AddTextField(TranslateText("Scale"), "scale", "%.3f", followerScale, std::string());
    panel->AddTextField(TranslateText("Land Mode"), "land_mode", "%d", landMode, std::string());
    panel->AddTextField(TranslateText("Follow Mode"), "follow_mode", "%d", followMode, std::string());
    panel->AddTextField(TranslateText("Atomize Flimbs"), "kill_flimbs", "%d", killFlimbs, std::string());
    return panel;
}

bool FollowTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t value = 0;
    if (panel->ReadInt("groupID", value))
        targetGroup = static_cast<uint8_t>(value);
    panel->ReadFloat("scale", followerScale, 0.0f, 1.0e6f);
    if (panel->ReadInt("land_mode", value))
        landMode = static_cast<uint8_t>(value);
    if (panel->ReadInt("follow_mode", value))
        followMode = static_cast<uint8_t>(value);
    if (panel->ReadInt("kill_flimbs", value))
        killFlimbs = static_cast<uint8_t>(value);
    return true;
}

void FollowTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "target_group", targetGroup);
    AppendTrapChild(node, "scale", StringPrintf("%.4f", static_cast<double>(followerScale)));
    AppendKindChild(node, "follow_mode", followMode);
    AppendKindChild(node, "land_mode", landMode);
    AppendKindChild(node, "kill_flimbs", killFlimbs);
}

void FollowTrap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    Trap::Load(node, defaults, kTrapLoadAll);
    if (!node)
        return;
    targetGroup = static_cast<uint8_t>(XmlGetTagInt(node, "target_group", defaults, targetGroup));
    followerScale = XmlGetTagFloat(node, "scale", defaults, followerScale);
    followMode = static_cast<uint8_t>(XmlGetTagInt(node, "follow_mode", defaults, followMode));
    landMode = static_cast<uint8_t>(XmlGetTagInt(node, "land_mode", defaults, landMode));
    killFlimbs = static_cast<uint8_t>(XmlGetTagInt(node, "kill_flimbs", defaults, killFlimbs));
}

void FollowTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(awake);
    hasher.Add(followerScale);
    hasher.Add(followMode);
    hasher.Add(landMode);
    hasher.Add(killFlimbs);
    hasher.Add(FlimbSlot(target));
    hasher.Add(targetGroup);
    hasher.Add(frame); // the animation tells asleep, waking and awake apart
}

// ---- Walk bug ----------------------------------------------------------------------------

WalkBugTrap::WalkBugTrap() : Trap(kKind) {}

void WalkBugTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const WalkBugTrap&>(source);
    active = other.active;
    facing = other.facing;
}

void WalkBugTrap::Activate(Flimb* by)
{
    Trap::Activate(by);
    active = 1;
}

void WalkBugTrap::Deactivate()
{
    Trap::Deactivate();
    active = 0;
}

void WalkBugTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb)
        return;
    if (!(flimb->attributes & kAttrQuietEnd) && !IsPreviewFlimb(flimb))
        AtomizeFlimbSprite(*flimb, true, false, nullptr, 2, 2);
    ClearInWorld(*flimb);
}

void WalkBugTrap::Step()
{
    const Landscape* land = GameLandscape();
    auto blocked = [land](int32_t px, int32_t py) { return land && land->HitTestPoint(px, py) != 0; };
    const int32_t px = TruncToInt(x), py = TruncToInt(y);
    if (!blocked(px, py + 1)) {
        y += 1.0f; // falling
        return;
    }
    if (blocked(px, py)) {
        y -= 1.0f; // climbing out of the ground
        return;
    }
    const int32_t nx = px + (facing == 1 ? -1 : 1);
    for (int rise = 0; rise <= kHighestStep; ++rise) {
        if (!blocked(nx, py - rise)) {
            x += static_cast<float>(nx - px);
            y -= static_cast<float>(rise);
            return;
        }
    }
    facing = facing == 1 ? 0 : 1;
}

void WalkBugTrap::Update()
{
    if (std::optional<FlimbList> touching = TestContact(nullptr, 1, false, 0, 0, nullptr)) {
        FireEvent(0, touching->front(), false);
        for (Flimb* flimb : *touching)
            OnFlimbContact(flimb);
    }
    for (int step = 0; step < kStepsPerUpdate; ++step)
        Step();
    AddTrapToDrawList(this);
}

void WalkBugTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(active);
    hasher.Add(facing);
}
