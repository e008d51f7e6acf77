#include "traps_flow/ExitTrap.h"

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
#include "modes/ModeServices.h"
#include "traps/TrapFactory.h"
#include "traps_flow/FlowDrawing.h"
#include "world/Flimb.h"
#include "world/FlimbParticles.h"
#include "world/FlimbTable.h"
#include "world/Groups.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const TrapKindRegistration registration(kTrapExit, [] { return std::unique_ptr<Trap>(new ExitTrap); });

constexpr int kHouseProtectionBrush = 0;
constexpr int kProtectionMaterial = 2;
constexpr int kSaveEffect = 1;
constexpr int32_t kCrushAt = 30;
constexpr int32_t kCrushTurn = 60;

int32_t NewGlowStep()
{
    return SimRand() % 30 + 5;
}

float SnapScale(float scale)
{
    const float s = std::fabs(scale);
    return s < 0.75f ? 0.5f : s < 1.5f ? 1.0f : s < 2.5f ? 2.0f : 3.0f;
}

gfx::RECT Normalised(int32_t a, int32_t b, int32_t c, int32_t d)
{
    return {std::min(a, c), std::min(b, d), std::max(a, c), std::max(b, d)};
}

} // namespace

ExitTrap::ExitTrap() : Trap(kTrapExit)
{
    enabled = 1;
    zorder = 1;
    flimborder = 1;
    animating = 1;
    glowStep = NewGlowStep();
    emitters[0].probability = 0.1f;
    emitters[1].probability = 0.2f;
    SetScale(1.0f, 1.0f);
    LoadGraphics();
}

ExitTrap::~ExitTrap()
{
    Release();
}

uint8_t ExitTrap::CheckedGroup(int32_t group)
{
    if (group >= 0 && group <= 7)
        return static_cast<uint8_t>(group);
    WriteLog("Exit trap: group %d is not a group (0..7), taken as 0\n", group);
    return 0;
}

void ExitTrap::SetScale(float s, float)
{
    scale_x = scale_y = SnapScale(s);
    for (SparkleEmitter& emitter : emitters) {
        emitter.width = 85.0f * scale_x;
        emitter.height = 70.0f * scale_x;
    }
}

uint8_t ExitTrap::Direction() const
{
    return AngleToDirection(static_cast<int32_t>(rotation));
}

gfx::RECT ExitTrap::GetMouthRect() const
{
    const float s = scale_x;
    const float h = std::trunc(20.0f * s);
    const float far = std::trunc(19.0f * s);
    const float near = std::trunc(2.0f * s);
    auto t = [](float v) { return static_cast<int32_t>(std::trunc(v)); };
    switch (Direction()) {
    case 1: return Normalised(t(x - h), t(y - near), t(x + h), t(y + far));
    case 2: return Normalised(t(x - near), t(y - h), t(x + far), t(y + h));
    case 3: return Normalised(t(x - far), t(y - h), t(x + near), t(y + h));
    default: return Normalised(t(x - h), t(y - far), t(x + h), t(y + near));
    }
}

void ExitTrap::ApplySettings(const ExitSettings& settings)
{
    if (settings.defaultOn)
        defaultOn = on = *settings.defaultOn;
    if (settings.applyProtection)
        applyProtection = *settings.applyProtection;
    if (settings.exclusive)
        exclusive = *settings.exclusive;
}

void ExitTrap::SetEnabled(bool onNow)
{
    enabled = onNow ? 1 : 0;
    if (onNow) {
        glowLevel = 0;
        glowStep = NewGlowStep();
    }
    for (SparkleEmitter& emitter : emitters)
        emitter.on = onNow;
}

std::optional<FlimbList> ExitTrap::TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                               const gfx::RECT* area)
{
    const gfx::RECT mouth = GetMouthRect();
    return Trap::TestContact(flimb, filter, atPoint, px, py, area ? area : &mouth);
}

void ExitTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb)
        return;
    const gfx::RECT mouth = GetMouthRect();
    if (flimb->x < mouth.left || flimb->x > mouth.right || flimb->y < mouth.top || flimb->y > mouth.bottom)
        return;
    // The flimb's action value: how far it has fallen; a flimb on its way down is not taken.
    if (flimb->fallDistance > 5 || flimb->scale > scale_x || flimb->gravity != Direction())
        return;
    if (exclusive && flimb->group != group_)
        return;
    const bool exempt = (flimb->attributes & kAttrQuietEnd) != 0;
    if (IsPreviewFlimb(flimb)) {
        // The Quantum Time preview's copy ends here; the exit, the tallies and the generator
        // stay as they are.
        flimb->flags2 |= kFlimbSaved;
        flimb->flags &= static_cast<uint8_t>(~(kFlimbInWorld | kFlimbAlive));
        return;
    }
    if (bogus) {
        if (!exempt && !crushing) {
            crushing = true;
            crushStep = 1;
        }
        return;
    }
    if (!exempt)
        FireEvent(0, flimb, false);
    beaming = true;
    frame = 0;
    if (!ModeFlimbSaved(flimb->id, static_cast<int32_t>(id))) {
        // Without a game mode the exit takes the flimb out of play itself.
        flimb->flags2 |= kFlimbSaved;
        UncountFlimb(*flimb);
    }
    if (!exempt) {
        if (audible)
            PlayEffectAt(kSaveEffect, flimb->x, flimb->y);
        ++savedCount;
        CheckExitsFilled();
    }
}

void ExitTrap::StepEmitter(SparkleEmitter& emitter)
{
    if (emitter.on && static_cast<float>(SimRand()) / 32767.0f < emitter.probability) {
        Sparkle sparkle;
        const int32_t width = std::max(1, static_cast<int32_t>(emitter.width));
        sparkle.x = SimRand() % width - width / 2;
        sparkle.speed = 0.5f + static_cast<float>(SimRand() % 100) / 100.0f;
        emitter.sparkles.push_back(sparkle);
    }
    const int32_t frames = sparkle_ && sparkle_->frameCount > 0 ? sparkle_->frameCount : 1;
    const float elapsed = static_cast<float>(std::max<uint32_t>(World().clock.elapsed, 10u));
    for (Sparkle& sparkle : emitter.sparkles) {
        sparkle.frame = (sparkle.frame + 1) % frames;
        sparkle.rise += elapsed * 0.04f * sparkle.speed;
    }
    const float limit = emitter.height / 2.0f;
    std::erase_if(emitter.sparkles, [limit](const Sparkle& sparkle) { return sparkle.rise > limit; });
}

void ExitTrap::Crush()
{
    crushOffset += crushStep;
    crushStep += crushStep > 0 ? 10 : -10;
    if (crushOffset > kCrushAt && !crushed) {
        crushed = true;
        gfx::RECT wide = GetMouthRect();
        if (Direction() <= 1) {
            wide.left -= 20;
            wide.right += 20;
        } else {
            wide.top -= 20;
            wide.bottom += 20;
        }
        std::optional<FlimbList> found = Trap::TestContact(nullptr, 1, false, 0, 0, &wide);
        if (found && !found->empty()) {
            FireEvent(1, found->front(), false);
            for (Flimb* flimb : *found) {
                if (flimb->attributes & kAttrQuietEnd)
                    continue;
                AtomizeFlimbSprite(*flimb, false, false, nullptr, 2, 2);
                flimb->flags &= static_cast<uint8_t>(~kFlimbInWorld);
            }
        }
    } else if (crushOffset > kCrushTurn) {
        crushStep = -crushStep;
    } else if (crushOffset <= 0) {
        crushing = crushed = false;
        crushOffset = 0;
        crushStep = 0;
    }
}

void ExitTrap::Update()
{
    if (!on)
        return;
    for (SparkleEmitter& emitter : emitters)
        StepEmitter(emitter);
    if (!enabled)
        return;
    if (crushing)
        Crush();
    if (beaming) {
        if (beam_)
            AdvanceFrame(beam_);
        if (!beam_ || frame == 0)
            beaming = false;
    }
    std::optional<FlimbList> found = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (found) {
        for (Flimb* flimb : *found) {
            OnFlimbContact(flimb);
            if (maxFlimbs > 0 && savedCount >= maxFlimbs) {
                beaming = false;
                SetEnabled(false);
                FireEvent(2, nullptr, false);
                break;
            }
        }
    }
    if (glowStep != 0) {
        glowLevel += glowStep;
        if (glowLevel >= 255) {
            glowLevel = 255;
            glowStep = -std::abs(glowStep);
        } else if (glowLevel <= 0) {
            glowLevel = 0;
            glowStep = enabled ? 15 : 0;
        }
    }
}

bool ExitTrap::ShowsStar() const
{
    return CurrentGameModeIndex() == 1;
}

std::string ExitTrap::NumberText(uint32_t& colour) const
{
    const int modeIndex = CurrentGameModeIndex();
    if (ShowsStar() || (maxFlimbs < 1 && modeIndex != 0 && modeIndex != 5))
        return {};
    if (minFlimbs >= 1) {
        colour = savedCount < minFlimbs ? 0xFFFF4444u : 0xFF44FF44u;
        return StringPrintf("%d", std::abs(minFlimbs - savedCount));
    }
    colour = kGroupColours[group_ & 7];
    return StringPrintf("%d", savedCount);
}

void ExitTrap::Draw()
{
    const uint8_t direction = Direction();
    const float radians = DegreesToRadians(rotation);
    int32_t cx = RoundToInt(x), cy = RoundToInt(y);
    OffsetByDirection(direction, cx, cy, 0, RoundToInt(static_cast<float>(crushOffset) * scale_x));
    ImageDraw body;
    body.frame = beaming ? 0 : frame;
    body.scaleX = scale_x;
    body.scaleY = scale_y;
    body.radians = radians;
    body.alpha = alpha;
    body.tint = tint;
    DrawImageAt(sprite, static_cast<float>(cx), static_cast<float>(cy), body);
    if (ShowsStar()) {
        int32_t sx = RoundToInt(x), sy = RoundToInt(y);
        OffsetByDirection(direction, sx, sy, 0, -RoundToInt(93.0f * scale_x));
        ImageDraw star;
        star.scaleX = star.scaleY = 0.7f * scale_x;
        star.radians = radians;
        star.alpha = 200;
        DrawImageAt(star_, static_cast<float>(sx), static_cast<float>(sy), star);
    } else {
        uint32_t colour = 0;
        const std::string number = NumberText(colour);
        if (!number.empty()) {
            int32_t nx = RoundToInt(x), ny = RoundToInt(y);
            OffsetByDirection(direction, nx, ny, 0, -RoundToInt(103.0f * scale_x));
            DrawTextAt(0, static_cast<float>(nx), static_cast<float>(ny), colour, number, radians);
        }
    }
    if (beaming) {
        int32_t bx = RoundToInt(x), by = RoundToInt(y);
        OffsetByDirection(direction, bx, by, 8, -160);
        ImageDraw beam;
        beam.frame = frame;
        beam.radians = DegreesToRadians(rotation + 30.0f);
        DrawImageAt(beam_, static_cast<float>(bx), static_cast<float>(by), beam);
    }
    DrawEmitter(emitters[1]);
    if (enabled) {
        ImageDraw glow;
        glow.scaleX = scale_x;
        glow.scaleY = scale_y;
        glow.radians = radians;
        glow.alpha = static_cast<uint8_t>(std::clamp(glowLevel, 0, 255));
        DrawImageAt(glow_, static_cast<float>(cx), static_cast<float>(cy), glow);
    }
}

void ExitTrap::DrawExtra()
{
    DrawEmitter(emitters[0]);
}

void ExitTrap::DrawEmitter(const SparkleEmitter& emitter) const
{
    if (!sparkle_)
        return;
    const uint8_t direction = Direction();
    const int32_t base = &emitter == &emitters[1] ? RoundToInt(emitter.height / 2.0f) : 0;
    for (const Sparkle& sparkle : emitter.sparkles) {
        int32_t px = RoundToInt(x), py = RoundToInt(y);
        OffsetByDirection(direction, px, py, sparkle.x, -base - RoundToInt(sparkle.rise));
        ImageDraw how;
        how.frame = sparkle.frame;
        how.scaleX = how.scaleY = scale_x;
        DrawImageAt(sparkle_, static_cast<float>(px), static_cast<float>(py), how);
    }
}

void ExitTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    XmlAddChildInt(node, "groupID", group_);
    XmlAddChildText(node, "scale", StringPrintf("%.4f", scale_x));
    XmlAddChildInt(node, "default_on", defaultOn ? 1 : 0);
    XmlAddChildInt(node, "min_flimbs", minFlimbs);
    XmlAddChildInt(node, "max_flimbs", maxFlimbs);
    XmlAddChildInt(node, "apply_protection", applyProtection ? 1 : 0);
    XmlAddChildInt(node, "bogus", bogus ? 1 : 0);
    XmlAddChildInt(node, "exclusive", exclusive ? 1 : 0);
}

void ExitTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    SetGroup(CheckedGroup(XmlGetTagInt(node, "groupID", defaults, 0)));
    const float scale = XmlGetTagFloat(node, "scale", defaults, 1.0f);
    scale_x = scale_y = scale;
    SetScale(scale, scale);
    defaultOn = XmlGetTagInt(node, "default_on", defaults, 1) != 0;
    on = defaultOn || loadMode_ == kLoadModeEditor;
    minFlimbs = XmlGetTagInt(node, "min_flimbs", defaults, 0);
    maxFlimbs = XmlGetTagInt(node, "max_flimbs", defaults, kNoMaximum);
    applyProtection = XmlGetTagBool(node, "apply_protection", defaults);
    bogus = XmlGetTagBool(node, "bogus", defaults);
    exclusive = XmlGetTagBool(node, "exclusive", defaults);
}

void ExitTrap::ResetToStart(int32_t loadMode)
{
    loadMode_ = loadMode;
    if (loadMode == kLoadModeEditor)
        on = true;
}

void ExitTrap::StampLand()
{
    Landscape* land = GameLandscape();
    if (!land || !land->Width() || !on || !applyProtection)
        return;
    land->BashBrush(kHouseProtectionBrush, 1, Direction(), 0, kProtectionMaterial, false, kAllMaterials, nullptr,
                    0xFF808080u, RoundToInt(x), RoundToInt(y));
}

void ExitTrap::SetGroup(uint8_t group)
{
    group_ = CheckedGroup(group);
    if (sprite) {
        ImageCache::ReleaseImage(sprite);
        sprite = nullptr;
    }
    if (glow_) {
        ImageCache::ReleaseImage(glow_);
        glow_ = nullptr;
    }
    sprite = LoadTrapSprites(nullptr, kind, group_);
    glow_ = LoadTrapSprites("glow", kind, group_);
}

void ExitTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites(nullptr, kind, group_);
    if (!glow_)
        glow_ = LoadTrapSprites("glow", kind, group_);
    if (!beam_)
        beam_ = LoadTrapSprites("beam2", kind, 0);
    if (!sparkle_)
        sparkle_ = LoadTrapSprites("sparkle", kind, 0);
    if (!star_)
        star_ = ImageCache::GetImage("Graphics\\Actions\\star.png");
    if (star_)
        star_->SetHotspot(star_->imageWidth / 2, star_->imageHeight / 2);
}

void ExitTrap::Release()
{
    for (AnimSurface** image : {&sprite, &glow_, &beam_, &sparkle_, &star_})
        if (*image) {
            ImageCache::ReleaseImage(*image);
            *image = nullptr;
        }
}

void ExitTrap::ReleaseGraphics()
{
    Release();
}

void ExitTrap::CopyKindFields(const Trap& source)
{
    const auto& exit = static_cast<const ExitTrap&>(source);
    defaultOn = exit.defaultOn;
    on = exit.on;
    bogus = exit.bogus;
    exclusive = exit.exclusive;
    applyProtection = exit.applyProtection;
    savedCount = exit.savedCount;
    maxFlimbs = exit.maxFlimbs;
    minFlimbs = exit.minFlimbs;
    crushing = exit.crushing;
    crushed = exit.crushed;
    crushOffset = exit.crushOffset;
    crushStep = exit.crushStep;
    beaming = exit.beaming;
    glowLevel = exit.glowLevel;
    glowStep = exit.glowStep;
    emitters = exit.emitters;
    loadMode_ = exit.loadMode_;
    group_ = exit.group_;
}

void ExitTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(group_);
    hasher.Add(on);
    hasher.Add(savedCount);
    hasher.Add(maxFlimbs);
    hasher.Add(minFlimbs);
    hasher.Add(crushing);
    hasher.Add(crushed);
    hasher.Add(crushOffset);
    hasher.Add(crushStep);
    hasher.Add(beaming);
    hasher.Add(glowLevel);
    hasher.Add(glowStep);
    for (const SparkleEmitter& emitter : emitters)
        hasher.Add(static_cast<uint32_t>(emitter.sparkles.size()));
}
