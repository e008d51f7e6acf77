#include "traps/CopierTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>
#include <climits>

namespace {

const TrapKindRegistration kRegistration(CopierTrap::kKind, [] { return std::unique_ptr<Trap>(new CopierTrap); });

constexpr const char* kSheetNames[CopierTrap::kSheetCount] = {"base",        "crystal",     "glow",       "shock",
                                                              "claws_back",  "claws_front", "claws_side", "lasers"};
constexpr int32_t kClawX = 105;
constexpr int32_t kHoldLift = -20;
constexpr uint8_t kRidingDevice = 20;
constexpr uint8_t kReleasedByCopier = 13;
constexpr uint8_t kCopySpawnType = 21;
constexpr int kNodeMaterial = 7;
constexpr uint32_t kNodeColour = 0x05808080u;

// The next even frame after `frame`, back to 0 at `count`.
int32_t NextEvenFrame(int32_t frame, int32_t count)
{
    int32_t next = frame + 1;
    next += next & 1;
    return next >= count ? 0 : next;
}

} // namespace

CopierTrap::CopierTrap() : Trap(kKind) {}

CopierTrap::~CopierTrap()
{
    CopierTrap::ReleaseGraphics();
}

void CopierTrap::CopyKindFields(const Trap& other)
{
    const auto& from = static_cast<const CopierTrap&>(other);
    updatesPerCopy = from.updatesPerCopy;
    numCopies = from.numCopies;
    showBase = from.showBase;
    source = from.source;
    side = from.side;
    clawFrame = from.clawFrame;
    copyCountdown = from.copyCountdown;
    releaseTimer = from.releaseTimer;
    lastRelease = from.lastRelease;
    glowLevel = from.glowLevel;
    glowStep = from.glowStep;
    state = from.state;
    nextState = from.nextState;
}

void CopierTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    for (AnimSurface*& sheet : sheets)
        ReleaseSheet(sheet);
}

void CopierTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("core", kind);
    for (int i = 0; i < kSheetCount; ++i)
        if (!sheets[size_t(i)])
            sheets[size_t(i)] = LoadTrapSprites(kSheetNames[i], kind, source ? source->group : 0);
    if (state == kIdle)
        clawFrame = SheetFrames(kClawsSide) - 1; // closed (a copy keeps its source's claws)
}

void CopierTrap::LoadGroupSheets(uint8_t group)
{
    for (Sheet sheet : {kCrystal, kGlow}) {
        ReleaseSheet(sheets[sheet]);
        sheets[sheet] = LoadTrapSprites(kSheetNames[sheet], kind, group);
    }
}

int32_t CopierTrap::SheetFrames(Sheet sheet) const
{
    const AnimSurface* image = sheets[sheet];
    return image ? image->frameCount : 0;
}

void CopierTrap::OffsetPoint(int32_t dx, int32_t dy, int32_t& px, int32_t& py) const
{
    px = RoundToInt(x);
    py = RoundToInt(y);
    OffsetByDirection(TrapGravityDirection(*this), px, py, dx, dy);
}

void CopierTrap::ClawTip(int32_t whichSide, int32_t& tx, int32_t& ty) const
{
    OffsetPoint(whichSide < 0 ? -106 : 102, -145, tx, ty);
}

gfx::RECT CopierTrap::CatchArea(int32_t whichSide) const
{
    const gfx::RECT offsets = whichSide < 0 ? gfx::RECT{-135, -40, -75, 5} : gfx::RECT{75, -40, 135, 5};
    return RotateRectByDirection(offsets, TrapGravityDirection(*this), RoundToInt(x), RoundToInt(y));
}

void CopierTrap::Deactivate()
{
    Trap::Deactivate();
    numCopies = 0;
}

void CopierTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    if (flimb && flimb == source)
        source = nullptr;
}

void CopierTrap::StampLand()
{
    Landscape* land = GameLandscape();
    if (!land)
        return;
    for (int32_t whichSide : {-1, 1}) {
        int32_t tx = 0, ty = 0;
        ClawTip(whichSide, tx, ty);
        land->BashPrimitiveFileAt(kNodeMaterial, kNodeImage, BashOptions{}, kAllMaterials, scale_x, scale_y, rotation,
                                  true, kNodeColour, Landscape::kCacheLookup | Landscape::kCacheStore, false, tx, ty);
    }
}

void CopierTrap::LetGo()
{
    if (source)
        source->SetType(kReleasedByCopier);
    source = nullptr;
}

void CopierTrap::MakeCopy()
{
    int32_t cx = 0, cy = 0;
    OffsetPoint(-kClawX * side, kHoldLift, cx, cy);
    if (audible)
        PlayEffectAt(kCopySound, cx, cy);
    FlimbSpawnArgs args;
    args.x = cx;
    args.y = cy;
    args.group = source->group;
    args.size = 1;
    args.facing = static_cast<int8_t>(source->walkSpeed > 0 ? 1 : source->walkSpeed < 0 ? -1 : 0);
    args.gravity = TrapGravityDirection(*this);
    args.attributes = 0;
    args.type = kCopySpawnType;
    args.energy = static_cast<uint16_t>(source->energy);
    args.ai = source->autoBehaviour;
    args.originTrap = id;
    args.count = numCopies;
    SpawnFlimb(args);
    if (numCopies != INT_MIN)
        --numCopies; // a negative stock never reaches 0
    copyCountdown = updatesPerCopy;
    releaseTimer = kReleaseHold;
}

void CopierTrap::UpdateCopying()
{
    if ((!source || nextState != kCopying) && clawFrame <= 1)
        state = kClosing;
    else
        clawFrame = NextEvenFrame(clawFrame, SheetFrames(kClawsFront));
    if (source && numCopies != 0) {
        // A copy when the countdown has run out; with updates_per_copy 1, one every update.
        if (copyCountdown <= 0)
            MakeCopy();
        --copyCountdown;
    }
    if (numCopies == 0) {
        --releaseTimer;
        if (releaseTimer == 0 && source)
            LetGo();
    }
}

void CopierTrap::Catch(Flimb& flimb, int32_t whichSide)
{
    source = &flimb;
    side = whichSide;
    glowStep = kGlowStep;
    int32_t hx = 0, hy = 0;
    OffsetPoint(kClawX * side, kHoldLift, hx, hy);
    flimb.x = flimb.prevX = static_cast<int16_t>(hx);
    flimb.y = flimb.prevY = static_cast<int16_t>(hy);
    flimb.targetX = flimb.x; // a rider is pulled to its move target: the claws hold it there
    flimb.targetY = flimb.y;
    flimb.SetType(kRidingDevice, false, 2);
    nextState = state = kOpening;
    FireEvent(0, &flimb, false);
    copyCountdown = 0;
    releaseTimer = kReleaseHold; // a deactivation before the first copy still lets it go
    LoadGroupSheets(flimb.group);
}

void CopierTrap::TryCatch()
{
    if (numCopies == 0 || World().clock.updateCounter <= lastRelease + kCatchGuard)
        return;
    const uint8_t direction = TrapGravityDirection(*this);
    for (int32_t whichSide : {1, -1}) {
        const gfx::RECT area = CatchArea(whichSide);
        const FlimbList inside = FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom);
        if (inside.empty())
            continue; // only an empty right area lets the left one be searched
        for (Flimb* flimb : inside)
            if (flimb->gravity == direction) {
                Catch(*flimb, whichSide);
                break;
            }
        return;
    }
}

void CopierTrap::StepGlow()
{
    if (glowStep == 0)
        return;
    glowLevel += glowStep;
    if (glowLevel >= kGlowTop) {
        glowLevel = kGlowTop;
        glowStep = -std::abs(glowStep);
    } else if (glowLevel <= 0) {
        glowLevel = 0;
        glowStep = state == kCopying ? kGlowStep : 0;
    }
}

void CopierTrap::Update()
{
    if (source) {
        int32_t tx = 0, ty = 0;
        ClawTip(side, tx, ty);
        const Landscape* land = GameLandscape();
        if (land && land->HitTestPoint(tx, ty) != 0) { // land has grown into the tip
            LetGo();
            StampLand();
            lastRelease = World().clock.updateCounter;
            return;
        }
    }
    if (source && !source->InWorld())
        source = nullptr;
    const int32_t sideFrames = SheetFrames(kClawsSide);
    switch (state) {
    case kCopying: UpdateCopying(); break;
    case kClosing:
        // A sheet of fewer than two frames has nothing to close.
        if (sideFrames < 2 || (clawFrame | 1) == sideFrames - 1)
            state = kIdle;
        else
            clawFrame = NextEvenFrame(clawFrame, sideFrames);
        break;
    case kOpening:
        if (clawFrame <= 1) {
            nextState = state = kCopying;
        } else {
            clawFrame = (clawFrame - 1) & ~1;
            if (clawFrame < 0)
                clawFrame = sideFrames - 1;
        }
        break;
    default: TryCatch(); break;
    }
    StepGlow();
}

void CopierTrap::DrawPart(Sheet sheet, int32_t frameIndex, int32_t dx, int32_t dy, bool mirrored, uint8_t partAlpha)
{
    AnimSurface* image = sheets[sheet];
    if (!image)
        return;
    int32_t px = 0, py = 0;
    OffsetPoint(dx, dy, px, py);
    SheetDraw how = TrapSheetLook(*this);
    how.frame = std::clamp(frameIndex, 0, std::max(0, image->frameCount - 1));
    how.scaleX = mirrored ? -scale_x : scale_x;
    how.alpha = static_cast<uint8_t>(partAlpha * alpha / 255);
    DrawSheetInWorld(image, static_cast<float>(px), static_cast<float>(py), how, true);
}

void CopierTrap::DrawBack()
{
    if (showBase)
        DrawPart(kBase, 0, 0, 0, false, 255);
    for (int32_t whichSide : {-1, 1}) {
        const bool mirrored = whichSide < 0;
        DrawPart(kClawsBack, 0, kClawX * whichSide, 0, mirrored, 255);
        if (state == kCopying && source && whichSide == side)
            DrawPart(kShock, clawFrame, kClawX * whichSide, kHoldLift, mirrored, 255);
        if (state != kCopying)
            DrawPart(kClawsSide, clawFrame, kClawX * whichSide, 0, mirrored, 255);
    }
    if (sprite) {
        SheetDraw how = TrapSheetLook(*this);
        how.frame = 0;
        DrawSheetInWorld(sprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, true);
    }
    DrawPart(kCrystal, 0, 0, -70, false, 255);
    if (glowLevel != 0)
        DrawPart(kGlow, 0, 0, -70, false, static_cast<uint8_t>(std::clamp(glowLevel, 0, 255)));
}

void CopierTrap::Draw()
{
    if (state != kCopying)
        return;
    if (source)
        DrawPart(kLasers, clawFrame, 0, -70, side < 0, 255);
    for (int32_t whichSide : {-1, 1})
        DrawPart(kClawsFront, clawFrame, kClawX * whichSide, 0, whichSide < 0, 255);
}

std::unique_ptr<LayoutPanel> CopierTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Show Base"), "show_base", showBase != 0, TranslateText("Show the base graphic"));
    panel->AddTextField(TranslateText("Updates per Copy"), "updates_per_copy", "%d", updatesPerCopy,
                        TranslateText("Updates between each copy!"));
    panel->AddTextField(TranslateText("Number of Copies"), "num_copies", "%d", numCopies,
                        TranslateText("Number of copies that can be produced"));
    return panel;
}

bool CopierTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadChecked("show_base", showBase);
    if (panel->ReadInt("updates_per_copy", updatesPerCopy))
        updatesPerCopy = std::clamp(updatesPerCopy, 1, 500);
    if (panel->ReadInt("num_copies", numCopies))
        numCopies = std::clamp(numCopies, -1, 999);
    return true;
}

void CopierTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "updates_per_copy", updatesPerCopy);
    AppendKindChild(node, "num_copies", numCopies);
    AppendKindChild(node, "show_base", showBase);
}

void CopierTrap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    Trap::Load(node, defaults, kTrapLoadAll);
    if (!node)
        return;
    updatesPerCopy = XmlGetTagInt(node, "updates_per_copy", defaults, 0);
    numCopies = XmlGetTagInt(node, "num_copies", defaults, 0);
    showBase = XmlGetTagBool(node, "show_base", defaults) ? 1 : 0;
    zorder = 0;
}

void CopierTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(updatesPerCopy);
    hasher.Add(numCopies);
    hasher.Add(showBase);
    hasher.Add(FlimbSlot(source));
    hasher.Add(side);
    hasher.Add(clawFrame);
    hasher.Add(copyCountdown);
    hasher.Add(releaseTimer);
    hasher.Add(lastRelease);
    hasher.Add(glowLevel);
    hasher.Add(glowStep);
    hasher.Add(state);
    hasher.Add(nextState);
}
