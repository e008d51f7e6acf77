#include "traps_flow/StartTrap.h"

#include "app/Log.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "traps/TrapFactory.h"
#include "traps_flow/FlowDrawing.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const TrapKindRegistration registration(kTrapStart, [] { return std::unique_ptr<Trap>(new StartTrap); });

constexpr const char* kPartNames[] = {"full_tank", "empty_tank", "base", "shock", "spark", "glow"};
constexpr int kStartProtectionBrush = 1;
constexpr int kProtectionMaterial = 2;
constexpr int kMaxProtectionProbes = 10000;
constexpr int kLastGoodProbe = 9998;
constexpr int kReleaseEffect = 33;
constexpr int kPairedFrames = 26;

int32_t NewGlowStep()
{
    return SimRand() % 30 + 5;
}

} // namespace

StartTrap::StartTrap() : Trap(kTrapStart)
{
    activated = 1;
    animating = 1;
    glowStep = NewGlowStep();
    LoadGraphics();
}

StartTrap::~StartTrap()
{
    Release();
}

float StartTrap::SnapScale(float scale)
{
    const float s = std::fabs(scale);
    if (s < 0.75f)
        return 0.5f;
    if (s < 1.5f)
        return 1.0f;
    if (s < 2.5f)
        return 2.0f;
    return 3.0f;
}

void StartTrap::SetScale(float sx, float)
{
    scale_x = scale_y = SnapScale(sx);
}

uint8_t StartTrap::Direction() const
{
    return AngleToDirection(static_cast<int32_t>(rotation));
}

void StartTrap::GetSpawnPoint(int32_t& px, int32_t& py) const
{
    px = RoundToInt(x);
    py = RoundToInt(y);
    OffsetByDirection(Direction(), px, py, 0, RoundToInt(45.0f * scale_x));
}

uint8_t StartTrap::CheckedGroup(int32_t group)
{
    if (group >= 0 && group <= 7)
        return static_cast<uint8_t>(group);
    WriteLog("Start trap: group %d is not a group (0..7), taken as 0\n", group);
    return 0;
}

void StartTrap::PulseGlow(bool keepGoing)
{
    if (glowStep == 0)
        return;
    glowLevel += glowStep;
    if (glowLevel >= 255) {
        glowLevel = 255;
        glowStep = -std::abs(glowStep);
    } else if (glowLevel <= 0) {
        glowLevel = 0;
        glowStep = keepGoing ? 15 : 0;
    }
}

void StartTrap::Update()
{
    const uint32_t now = World().clock.updateCounter;
    // 1. The glow.
    PulseGlow(enabled && activated && flimbsLeft_ > 0);
    // 2. The flash.
    if (flashOn) {
        AnimSurface* sheet = parts_[kShock] ? parts_[kShock] : sprite;
        if (sheet && animating) {
            int32_t next = frame + 1;
            if (sheet->fps == kPairedFrames)
                next += next & 1;
            if (next >= sheet->frameCount)
                next = 0;
            frame = static_cast<uint8_t>(next);
        }
        if (now - flashStamp > 5u)
            flashOn = false;
    }
    // 3. The gate.
    const uint32_t delay = MatchFlagSet() ? kMatchDelay : 0;
    if (!activated || now < delay || flimbsLeft_ <= 0 || !enabled)
        return;
    // 4. A release.
    if (releaseClock >= releaseRate) {
        if (!flashOn && flashStamp >= now && flashStamp <= now + 2)
            flashStamp = now + 3;
        else
            flashStamp = now;
        // A rate of 0 or less releases one flimb per update; the clock never runs away.
        releaseClock = releaseRate > 0 ? releaseClock - releaseRate : 0;
        SetFlimbsLeft(flimbsLeft_ - 1);
        int32_t px = 0, py = 0;
        GetSpawnPoint(px, py);
        TrapRegistries& registries = World().traps;
        registries.passFlags[kTrapStart][1] = registries.passFlags[kTrapStart][0] ? 0 : 1;
        const uint8_t direction = Direction();
        const int32_t turnedFacing = direction == 1 || direction == 3 ? -facing : facing;
        FlimbSpawnArgs spawn;
        spawn.x = px;
        spawn.y = py;
        spawn.group = group_;
        spawn.size = static_cast<int8_t>(static_cast<int32_t>(scale_x));
        spawn.facing = static_cast<int8_t>(std::clamp(turnedFacing, -1, 1));
        spawn.gravity = direction;
        spawn.attributes = 0;
        spawn.type = kSpawn;
        spawn.energy = static_cast<uint16_t>(spawnEnergy & 0xFFFF);
        spawn.ai = aiMask;
        spawn.originTrap = id;
        spawn.count = flimbsLeft_;
        SpawnFlimb(spawn);
        FireEvent(0, nullptr, false);
        if (flimbsLeft_ == 0) {
            releaseClock = releaseRate;
            FireEvent(1, nullptr, false);
        }
        if (audible)
            PlayEffectAt(kReleaseEffect, px, py);
    }
    // 5. The flash starts at its stamp.
    if (now == flashStamp)
        flashOn = true;
    // 6. The clock runs.
    releaseClock = static_cast<int32_t>(
        std::min<int64_t>(int64_t(releaseClock) + kClockStep, std::numeric_limits<int32_t>::max()));
}

void StartTrap::ApplySettings(const StartSettings& settings)
{
    static constexpr float kScales[] = {0.5f, 1.0f, 2.0f, 3.0f};
    if (settings.releaseRate)
        releaseRate = std::clamp(*settings.releaseRate, 50, 20000);
    if (settings.flimbsLeft)
        SetFlimbsLeft(std::clamp(*settings.flimbsLeft, 0, 999));
    if (settings.facing)
        facing = std::clamp(*settings.facing, -1, 1);
    if (settings.scaleChoice)
        SetScale(kScales[std::clamp(*settings.scaleChoice, 0, 3)], 0.0f);
    if (settings.activated)
        activated = *settings.activated ? 1 : 0;
    if (settings.applyProtection)
        applyProtection = *settings.applyProtection;
}

void StartTrap::Activate(Flimb* by)
{
    if (by && by->group != group_ && by->group <= 7)
        SetGroup(by->group);
    activated = 1;
}

void StartTrap::Deactivate()
{
    SetFlimbsLeft(0);
    activated = 0;
}

void StartTrap::SetEnabled(bool on)
{
    enabled = on ? 1 : 0;
    if (on) {
        glowLevel = 0;
        glowStep = NewGlowStep();
        activated = 1;
    } else {
        activated = 0;
    }
}

void StartTrap::SetGroup(uint8_t group)
{
    group = CheckedGroup(group);
    if (group == group_)
        return;
    group_ = group;
    ReleasePart(kGlow);
    ReleasePart(kFullTank);
    LoadPart(kGlow, group_);
    LoadPart(kFullTank, group_);
    RebuildTank();
    const int32_t stock = flimbsLeft_;
    flimbsLeft_ = 999;
    SetFlimbsLeft(0);
    SetFlimbsLeft(stock);
}

void StartTrap::SetFlimbsLeft(int32_t count)
{
    const int32_t before = flimbsLeft_;
    flimbsLeft_ = count;
    tank_.ShowStock(before, count);
}

void StartTrap::Draw()
{
    // The image is drawn opaque when visible, faint otherwise; the trap's own alpha (saved
    // with the level) stays as it is.
    const uint8_t ownAlpha = alpha;
    alpha = visible ? 255 : 64;
    Trap::Draw();
    alpha = ownAlpha;
    const float radians = DegreesToRadians(rotation);
    const float px = std::trunc(x), py = std::trunc(y);
    // Looks only: the text placement uses the platform's sin and cos.
    const float tx = px - std::sin(radians) * 122.0f * scale_x;
    const float ty = py - std::cos(radians) * 122.0f * scale_y;
    DrawTextAt(0, tx, ty, 0xFFFFFFFFu, StringPrintf("%d", flimbsLeft_), radians);
    if (flashOn) {
        AnimSurface* shock = parts_[kShock];
        int32_t shown = frame;
        if (shock && animating && (frame & 1) == 0 && shock->fps == kPairedFrames && Controller().alternateFrame)
            shown = frame + 1;
        ImageDraw how;
        how.frame = shown;
        how.scaleX = scale_x;
        how.scaleY = scale_y;
        how.radians = radians;
        DrawImageAt(shock, x, y, how);
    }
    if (enabled) {
        ImageDraw how;
        how.scaleX = scale_x;
        how.scaleY = scale_y;
        how.radians = radians;
        how.alpha = static_cast<uint8_t>(std::clamp(glowLevel, 0, 255));
        DrawImageAt(parts_[kGlow], x, y, how);
    }
}

void StartTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    XmlAddChildInt(node, "groupID", group_);
    XmlAddChildInt(node, "releaserate", releaseRate);
    XmlAddChildInt(node, "flimbCount", flimbsLeft_);
    XmlAddChildText(node, "scale", StringPrintf("%.4f", scale_x));
    XmlAddChildInt(node, "facing", facing);
    XmlAddChildInt(node, "apply_protection", applyProtection ? 1 : 0);
    XmlAddChildInt(node, "activated", activated ? 1 : 0);
    XmlAddChildInt(node, "spawn_energy", spawnEnergy);
    XmlAddChildInt(node, "spawn_energy_delta", spawnEnergyDelta);
    XmlAddChildInt(node, "ai", aiMask);
}

void StartTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    SetGroup(CheckedGroup(XmlGetTagInt(node, "groupID", defaults, 0)));
    releaseRate = XmlGetTagInt(node, "releaserate", defaults, kDefaultRate);
    releaseClock = releaseRate;
    SetFlimbsLeft(XmlGetTagInt(node, "flimbCount", defaults, 0));
    scale_x = scale_y = XmlGetTagFloat(node, "scale", defaults, 1.0f);
    facing = std::min(XmlGetTagInt(node, "facing", defaults, 0), 1);
    applyProtection = XmlGetTagBool(node, "apply_protection", defaults);
    activated = XmlGetTagBool(node, "activated", defaults) ? 1 : 0;
    spawnEnergy = std::min(XmlGetTagInt(node, "spawn_energy", defaults, kMaxEnergy), kMaxEnergy);
    spawnEnergyDelta = XmlGetTagInt(node, "spawn_energy_delta", defaults, 0);
    aiMask = static_cast<uint8_t>(XmlGetTagInt(node, "ai", defaults, 0));
}

void StartTrap::StampLand()
{
    Landscape* land = GameLandscape();
    if (!land || !land->Width())
        return;
    const int32_t px = RoundToInt(x), py = RoundToInt(y);
    if (visible && sprite) {
        const uint32_t affected = zorder ? ~6u : kAllMaterials;
        const uint32_t colour = 0xFF000000u | (tint & 0xFFFFFFu);
        for (const float sx : {scale_x, -scale_x})
            land->BashPrimitiveAt(sprite, kProtectionMaterial, sx, scale_y, rotation, affected, BashOptions{},
                                  colour, false, nullptr, px, py);
    }
    if (!applyProtection)
        return;
    const uint8_t direction = Direction();
    int32_t sx = px, sy = py;
    OffsetByDirection(direction, sx, sy, 0, 10);
    for (int probe = 1; probe <= kMaxProtectionProbes; ++probe) {
        if (land->HitTestPoint(sx, sy) != 0) {
            if (probe > kLastGoodProbe)
                break;
            OffsetByDirection(direction, sx, sy, 0, 1);
            land->BashBrush(kStartProtectionBrush, 1, direction, 0, kProtectionMaterial, false, kAllMaterials,
                            nullptr, 0xFF808080u, sx, sy);
            return;
        }
        OffsetByDirection(direction, sx, sy, 0, 1);
    }
    WriteLog("start protection failed for group %d!\n", group_);
}

void StartTrap::LoadPart(Part part, uint8_t group)
{
    if (!parts_[part])
        parts_[part] = LoadTrapSprites(kPartNames[part], kind, group);
}

void StartTrap::ReleasePart(Part part)
{
    if (parts_[part]) {
        ImageCache::ReleaseImage(parts_[part]);
        parts_[part] = nullptr;
    }
}

void StartTrap::RebuildTank()
{
    tank_.Build(parts_[kFullTank], parts_[kEmptyTank]);
    sprite = tank_.Image();
}

void StartTrap::LoadGraphics()
{
    LoadPart(kFullTank, group_);
    LoadPart(kEmptyTank, group_);
    LoadPart(kBase, group_);
    LoadPart(kGlow, group_);
    LoadPart(kShock, 0);
    LoadPart(kSpark, 0);
    RebuildTank();
    const int32_t stock = flimbsLeft_;
    flimbsLeft_ = 999;
    SetFlimbsLeft(0);
    SetFlimbsLeft(stock);
}

void StartTrap::Release()
{
    for (int part = 0; part < kPartCount; ++part)
        ReleasePart(static_cast<Part>(part));
    // The trap image is the tank's own copy, not an image-cache reference.
    sprite = nullptr;
    tank_.Clear();
}

void StartTrap::ReleaseGraphics()
{
    Release();
}

void StartTrap::CopyKindFields(const Trap& source)
{
    const auto& start = static_cast<const StartTrap&>(source);
    releaseRate = start.releaseRate;
    releaseClock = start.releaseClock;
    facing = start.facing;
    spawnEnergy = start.spawnEnergy;
    spawnEnergyDelta = start.spawnEnergyDelta;
    aiMask = start.aiMask;
    applyProtection = start.applyProtection;
    flashOn = start.flashOn;
    flashStamp = start.flashStamp;
    glowLevel = start.glowLevel;
    glowStep = start.glowStep;
    secondUniverse_ = start.secondUniverse_;
    SetGroup(start.group_);
    SetFlimbsLeft(start.flimbsLeft_);
}

void StartTrap::ResetRuntime()
{
    // The copy made its own images and tank in its constructor and SetGroup; the base
    // field copy handed it the source's trap image pointer, which is put back here.
    sprite = tank_.Image();
}

void StartTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(group_);
    hasher.Add(releaseRate);
    hasher.Add(releaseClock);
    hasher.Add(flimbsLeft_);
    hasher.Add(facing);
    hasher.Add(spawnEnergy);
    hasher.Add(aiMask);
    hasher.Add(flashOn);
    hasher.Add(flashStamp);
    hasher.Add(glowLevel);
    hasher.Add(glowStep);
}
