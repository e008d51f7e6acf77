#include "traps/EntanglementTrap.h"

#include "app/SimMath.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "media/AnimSurface.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <cstdlib>

namespace {

const TrapKindRegistration kRegistration(EntanglementTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new EntanglementTrap); });

constexpr uint8_t kRidingDevice = 20;
constexpr int16_t kNoPartner = -1;

// Faces the flimb away from its partner: towards negative x (or y) on the left pad.
void FaceAway(Flimb& flimb, bool leftPad)
{
    const int8_t speed = static_cast<int8_t>(std::abs(flimb.walkSpeed));
    const bool negative = (flimb.gravity == 0 || flimb.gravity == 2) == leftPad;
    flimb.walkSpeed = negative ? static_cast<int8_t>(-speed) : speed;
}

} // namespace

EntanglementTrap::EntanglementTrap() : Trap(kKind)
{
    animating = 1;
}

EntanglementTrap::~EntanglementTrap()
{
    EntanglementTrap::ReleaseGraphics();
}

void EntanglementTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const EntanglementTrap&>(source);
    leftPad = other.leftPad;
    rightPad = other.rightPad;
    lastShot = other.lastShot;
    shockFrame = other.shockFrame;
    resting = other.resting;
}

void EntanglementTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(shockSprite);
}

void EntanglementTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("base", kind);
    if (!shockSprite)
        shockSprite = LoadTrapSprites("shock", kind);
}

void EntanglementTrap::PadPosition(int32_t whichSide, int32_t& px, int32_t& py) const
{
    px = RoundToInt(x);
    py = RoundToInt(y);
    OffsetByDirection(TrapGravityDirection(*this), px, py, whichSide * kPadOffset, 0);
}

void EntanglementTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    if (!flimb)
        return;
    if (flimb == leftPad)
        leftPad = nullptr;
    if (flimb == rightPad)
        rightPad = nullptr;
    if (shockFrame >= 0 && (!leftPad || !rightPad))
        AbortShock();
}

void EntanglementTrap::AbortShock()
{
    for (Flimb* survivor : {leftPad, rightPad})
        if (survivor)
            survivor->SetType(kWalk);
    leftPad = rightPad = nullptr;
    shockFrame = -1;
}

void EntanglementTrap::Complete()
{
    Flimb& left = *leftPad;
    Flimb& right = *rightPad;
    left.linkedId = right.id;
    FaceAway(left, true);
    if (left.IsSelected() && !right.IsSelected())
        SendHighlight(right.id);
    right.linkedId = left.id;
    FaceAway(right, false);
    if (right.IsSelected() && !left.IsSelected())
        SendHighlight(left.id);
    left.SetType(kWalk);
    right.SetType(kWalk);
    leftPad = rightPad = nullptr;
    resting = 1;
    lastShot = World().clock.updateCounter;
    shockFrame = -1;
}

void EntanglementTrap::TakePad(Flimb& flimb, int32_t whichSide)
{
    (whichSide < 0 ? leftPad : rightPad) = &flimb;
    flimb.SetType(kRidingDevice);
    int32_t px = 0, py = 0;
    PadPosition(whichSide, px, py);
    flimb.targetX = static_cast<int16_t>(px);
    flimb.targetY = static_cast<int16_t>(py);
    FireEvent(0, &flimb, false);
    if (audible)
        PlayEffectAt(kPadSound, flimb.x, flimb.y);
}

void EntanglementTrap::FillPads()
{
    const uint8_t direction = TrapGravityDirection(*this);
    gfx::RECT area = GetBounds();
    InsetRectByDirection(gfx::RECT{40, 0, 40, 20}, direction, area);
    const int32_t cx = RoundToInt(x), cy = RoundToInt(y);
    for (Flimb* flimb : FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom)) {
        if (flimb->scale != 1.0f || flimb->linkedId != kNoPartner || flimb->gravity != direction)
            continue;
        int32_t rx = flimb->x - cx, ry = flimb->y - cy;
        UnrotateVectorByDirection(direction, rx, ry);
        if (!leftPad && flimb != rightPad && rx <= 0 && std::abs(-kPadOffset - rx) < kPadReach)
            TakePad(*flimb, -1);
        else if (!rightPad && flimb != leftPad && rx >= 0 && std::abs(kPadOffset - rx) < kPadReach)
            TakePad(*flimb, 1);
    }
    if (!leftPad || !rightPad)
        return;
    const bool arrived = leftPad->x == leftPad->targetX && leftPad->y == leftPad->targetY &&
                         rightPad->x == rightPad->targetX && rightPad->y == rightPad->targetY;
    if (!arrived)
        return;
    leftPad->SetGroupAnimation(1, 0);
    rightPad->SetGroupAnimation(1, 12);
    shockFrame = 0;
    FireEvent(1, nullptr, false);
    if (audible)
        PlayEffectAt(kShockSound, cx, cy);
}

void EntanglementTrap::Update()
{
    if (leftPad && !leftPad->InWorld())
        leftPad = nullptr;
    if (rightPad && !rightPad->InWorld())
        rightPad = nullptr;
    if (shockFrame >= 0 && (!leftPad || !rightPad)) {
        AbortShock(); // a padded flimb died during the shock: the survivor goes this update
        return;
    }
    if (resting) {
        if (World().clock.updateCounter - lastShot <= kRestUpdates)
            return;
        resting = 0;
    }
    if (!enabled)
        return;
    AdvanceFrame();
    if (shockFrame >= 0) {
        ++shockFrame;
        shockFrame += shockFrame & 1;
    }
    if (shockFrame >= kShockEnd) {
        Complete();
        return;
    }
    if (shockFrame < 0)
        FillPads();
}

void EntanglementTrap::Draw()
{
    Trap::Draw();
    if (shockFrame < 0 || !shockSprite)
        return;
    int32_t shown = shockFrame;
    if ((shown & 1) == 0 && InBetweenFrame())
        ++shown;
    SheetDraw how = TrapSheetLook(*this);
    how.frame = std::min(shown, shockSprite->frameCount - 1);
    DrawSheetInWorld(shockSprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, true);
}

void EntanglementTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(FlimbSlot(leftPad));
    hasher.Add(FlimbSlot(rightPad));
    hasher.Add(lastShot);
    hasher.Add(shockFrame);
    hasher.Add(resting);
}
