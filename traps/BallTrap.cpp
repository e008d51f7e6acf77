#include "traps/BallTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbParticles.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(BallTrap::kKind, [] { return std::unique_ptr<Trap>(new BallTrap); });

constexpr int32_t kPairedFrames = 26;
constexpr int32_t kWallPixels = 4;
constexpr float kTurnStep = 10.0f;

// H(p) of the crawl: the point is solid or beyond a wall edge.
bool Solid(int32_t px, int32_t py)
{
    const Landscape* land = GameLandscape();
    return land && land->HitTestPoint(px, py) != 0;
}

int32_t Centre(int32_t a, int32_t b)
{
    return static_cast<int32_t>((static_cast<int64_t>(a) + b) / 2);
}

} // namespace

BallTrap::BallTrap() : Trap(kKind) {}

void BallTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const BallTrap&>(source);
    ballClock = other.ballClock;
    ballKill = other.ballKill;
    ballSpeed = other.ballSpeed;
    side = other.side;
    pauseStamp = other.pauseStamp;
    prevX = other.prevX;
    prevY = other.prevY;
}

void BallTrap::LoadSpriteAtRandomFrame(Trap& trap)
{
    if (!trap.sprite)
        trap.sprite = LoadTrapSprites(nullptr, trap.kind);
    if (trap.sprite && trap.sprite->frameCount > 0)
        trap.frame = static_cast<uint8_t>(DrawRand() % trap.sprite->frameCount);
}

void BallTrap::LoadGraphics()
{
    LoadSpriteAtRandomFrame(*this);
}

bool BallTrap::Digesting(uint32_t update) const
{
    return pauseStamp != 0 && update - pauseStamp < kDigestUpdates;
}

void BallTrap::Shatter()
{
    if (!alive)
        return;
    SpawnParticlesFromImage(sprite, frame, RoundToInt(x), RoundToInt(y), TrapGravityDirection(*this), scale_x, scale_y);
    alive = 0;
    enabled = 0;
}

void BallTrap::Activate(Flimb* by)
{
    if (by)
        OnFlimbContact(by);
}

void BallTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb || !flimb->InWorld())
        return;
    if (IsPreviewFlimb(flimb) || (flimb->attributes & kAttrQuietEnd)) {
        ClearInWorld(*flimb);
        return;
    }
    AtomizeFlimbSprite(*flimb, true, false, nullptr, 2, 2);
    ClearInWorld(*flimb);
    pauseStamp = World().clock.updateCounter;
    if (audible)
        PlayEffectAt(kKillSound, flimb->x, flimb->y);
}

bool BallTrap::Touches(const Flimb& flimb) const
{
    if (!flimb.InWorld() || !flimb.IsAlive())
        return false;
    gfx::RECT body = flimb.GetCurrentSprite();
    const int32_t side6 = TruncToInt(6.0f * flimb.scale), bottom4 = TruncToInt(4.0f * flimb.scale);
    InsetRectByDirection(gfx::RECT{side6, side6, side6, bottom4}, flimb.gravity & 3, body);
    const gfx::RECT own =
        RotateRectByDirection(gfx::RECT{-19, -22, 19, 0}, TrapGravityDirection(*this), RoundToInt(x), RoundToInt(y));
    gfx::RECT overlap;
    if (!gfx::IntersectRect(&overlap, &body, &own))
        return false;
    const Landscape* land = GameLandscape();
    if (!land)
        return true;
    return land->ProbeSolid(Centre(body.left, body.right), Centre(body.top, body.bottom), Centre(own.left, own.right),
                            Centre(own.top, own.bottom)) < kWallPixels;
}

void BallTrap::TurnTowardsSide()
{
    if (!std::isfinite(rotation))
        rotation = 0.0f;
    if (rotation >= 360.0f)
        rotation -= 360.0f;
    else if (rotation < 0.0f)
        rotation += 360.0f;
    rotation = std::fmod(rotation, 360.0f); // a value from a file may lie further out
    if (rotation < 0.0f)
        rotation += 360.0f;
    const bool clockwise = ballClock != 0;
    float target = 0.0f;
    switch (side) {
    case kBehind: target = clockwise ? 270.0f : 90.0f; break;
    case kAbove: target = 180.0f; break;
    case kAhead: target = clockwise ? 90.0f : 270.0f; break;
    default: target = 0.0f; break;
    }
    float difference = target - rotation; // the shorter way round, within (-180, 180]
    while (difference > 180.0f)
        difference -= 360.0f;
    while (difference <= -180.0f)
        difference += 360.0f;
    if (difference == 0.0f)
        return;
    if (difference == 180.0f || difference == -180.0f)
        difference = target == 90.0f ? -kTurnStep : kTurnStep;
    if (std::fabs(difference) <= kTurnStep)
        rotation += difference; // the last part of the turn lands on the side's angle
    else
        rotation += difference > 0.0f ? kTurnStep : -kTurnStep;
}

void BallTrap::KillTouching()
{
    std::optional<FlimbList> near = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (!near)
        return;
    for (Flimb* flimb : *near) {
        if (!Touches(*flimb))
            continue;
        FireEvent(0, flimb, false);
        OnFlimbContact(flimb);
    }
}

void BallTrap::Crawl()
{
    const int32_t d = ballClock ? 1 : -1;
    const int32_t px = RoundToInt(x), py = RoundToInt(y);
    auto move = [this](int32_t dx, int32_t dy) {
        x += static_cast<float>(dx);
        y += static_cast<float>(dy);
    };
    bool supported = false;
    switch (side) {
    case kBelow: supported = Solid(px, py + 1); break;
    case kBehind: supported = Solid(px - d, py); break;
    case kAbove: supported = Solid(px, py - 1); break;
    default: supported = Solid(px + d, py); break;
    }
    if (!supported) {
        switch (AngleToDirection(TruncToInt(rotation))) {
        case 1: move(0, -1), side = kAbove; break;
        case 2: move(-1, 0), side = kAhead; break;
        case 3: move(1, 0), side = kBehind; break;
        default: move(0, 1), side = kBelow; break;
        }
        return;
    }
    switch (side) {
    case kBelow:
        if (!Solid(px + d, py)) {
            move(d, 0);
            if (!Solid(px + d, py + 1)) {
                move(0, 1);
                side = kBehind;
            }
        } else if (Solid(px, py - 1)) {
            side = kAbove;
        } else if (Solid(px + d, py - 1)) {
            move(0, -1);
            side = kAhead;
        } else {
            move(d, -1);
        }
        break;
    case kBehind:
        if (Solid(px, py + 1) && Solid(px + d, py)) {
            side = kAhead;
        } else if (Solid(px, py + 1)) {
            move(d, 0);
            if (Solid(px + d, py + 1))
                side = kBelow;
            else
                move(0, 1);
        } else if (Solid(px - d, py + 1)) {
            move(0, 1);
        } else {
            move(-d, 1);
            side = kAbove;
        }
        break;
    case kAbove:
        if (!Solid(px - d, py)) {
            move(-d, 0);
            if (!Solid(px - d, py - 1)) {
                move(0, -1);
                side = kAhead;
            }
        } else if (Solid(px, py + 1)) {
            side = kBelow;
        } else if (Solid(px - d, py + 1)) {
            move(0, 1);
            side = kBehind;
        } else {
            move(-d, 1);
        }
        break;
    default: // kAhead
        if (!Solid(px, py - 1)) {
            if (!Solid(px + d, py - 1)) {
                move(d, -1);
                side = kBelow;
            } else {
                move(0, -1);
            }
        } else if (Solid(px - d, py)) {
            side = kBehind;
        } else {
            move(-d, 0);
            if (Solid(px - d, py - 1))
                side = kAbove;
            else
                move(0, -1);
        }
        break;
    }
}

void BallTrap::Update()
{
    AdvanceFrame();
    if (!enabled)
        return;
    prevX = x;
    prevY = y;
    if (Digesting(World().clock.updateCounter))
        return;
    const uint8_t steps = static_cast<uint8_t>(ballSpeed); // one byte: at most 255 steps
    for (uint8_t step = 0; step < steps; ++step) {
        TurnTowardsSide();
        if (ballKill)
            KillTouching();
        Crawl();
    }
    AddTrapToDrawList(this);
}

void BallTrap::Draw()
{
    if (!sprite)
        return;
    float px = x, py = y;
    if (Digesting(World().clock.updateCounter)) {
        px += static_cast<float>(DrawRand() % 5 - 2);
        py += static_cast<float>(DrawRand() % 5 - 2);
    }
    int32_t shown = frame;
    if (animating && sprite->fps == kPairedFrames && InBetweenFrame() && (shown & 1) == 0)
        ++shown;
    if (shown & 1) {
        px += (x - prevX) / 2.0f;
        py += (y - prevY) / 2.0f;
    }
    SheetDraw how = TrapSheetLook(*this);
    how.frame = shown;
    how.scaleX = ballClock ? scale_x : -scale_x;
    DrawSheetInWorld(sprite, px, py, how, true);
}

std::unique_ptr<LayoutPanel> BallTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Speed"), "ball_speed", "%d", ballSpeed,
                        TranslateText("1 = normal, 2 = twice, 4 = quad, etc"));
    panel->AddCheckBox(TranslateText("Atomize Flimbs"), "ball_kill", ballKill != 0,
                       TranslateText("Atomize flimbs who come in contact"));
    panel->AddCheckBox(TranslateText("Clockwise"), "ball_clock", ballClock != 0,
                       TranslateText("Move in a clockwise direction"));
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    return panel;
}

bool BallTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("ball_speed", ballSpeed))
        ballSpeed = std::clamp(ballSpeed, 1, 16);
    panel->ReadChecked("ball_clock", ballClock);
    panel->ReadChecked("ball_kill", ballKill);
    return true;
}

void BallTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "ball_clock", ballClock);
    AppendKindChild(node, "ball_kill", ballKill);
    AppendKindChild(node, "ball_speed", ballSpeed);
}

void BallTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    ballClock = XmlGetTagInt(node, "ball_clock", defaults, 1) != 0 ? 1 : 0;
    ballSpeed = XmlGetTagInt(node, "ball_speed", defaults, ballSpeed);
    ballKill = XmlGetTagInt(node, "ball_kill", defaults, 0) != 0 ? 1 : 0;
    prevX = x;
    prevY = y;
}

void BallTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(ballClock);
    hasher.Add(ballKill);
    hasher.Add(ballSpeed);
    hasher.Add(side);
    hasher.Add(pauseStamp);
}
