#include "traps/SwapTrap.h"

#include "app/SimMath.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "modes/ModeServices.h"
#include "traps/TrapFactory.h"
#include "traps/TrapSheetDraw.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <array>

namespace {

const TrapKindRegistration kRegistration(SwapTrap::kKind, [] { return std::unique_ptr<Trap>(new SwapTrap); });

constexpr int kSwapSound = 35;
constexpr int kCaptureTheFlimbMode = 1;
constexpr int32_t kInset = 6;

// Each group's colour (red, green, blue), every channel a multiple of 4.
constexpr std::array<uint32_t, 8> kSwapColours = {0x0000FCu, 0x00FC00u, 0xFC0000u, 0x000000u,
                                                  0xFCFCFCu, 0xFCFC00u, 0xFC8000u, 0x8000FCu};

uint32_t StepChannel(uint32_t from, uint32_t to)
{
    if (from < to)
        return from + 4;
    if (from > to)
        return from - 4;
    return from;
}

} // namespace

SwapTrap::SwapTrap() : Trap(kKind)
{
    animating = 1;
    frame = 0;
}

SwapTrap::~SwapTrap()
{
    if (frontSheet)
        ImageCache::ReleaseImage(frontSheet);
    if (backSheet)
        ImageCache::ReleaseImage(backSheet);
}

void SwapTrap::CopyKindFields(const Trap& source)
{
    swapped = static_cast<const SwapTrap&>(source).swapped;
}

uint8_t SwapTrap::NextGroup(uint8_t group)
{
    const auto& groups = Controller().groups;
    for (uint32_t g = static_cast<uint32_t>(group) + 1; g < groups.size(); ++g)
        if (groups[g].inUse)
            return static_cast<uint8_t>(g);
    for (uint32_t g = 0; g <= group && g < groups.size(); ++g)
        if (groups[g].inUse)
            return static_cast<uint8_t>(g);
    return 255;
}

gfx::RECT SwapTrap::GetBounds() const
{
    return gfx::RECT{static_cast<int32_t>(x - 16.0f), static_cast<int32_t>(y - 16.0f), static_cast<int32_t>(x + 16.0f),
                     static_cast<int32_t>(y + 16.0f)};
}

void SwapTrap::Swap(Flimb& flimb)
{
    const uint8_t group = NextGroup(flimb.group);
    if (group != 255) {
        colourGroup = flimb.group;
        flimb.group = group;
        flimb.SetGroupAnimation(flimb.anim, flimb.frame);
    }
    flimb.flags = static_cast<uint8_t>(flimb.flags & ~kFlimbSelected);
    flimb.steerKeys = 0;
    flimb.queuedAction = kNoType;
    if (Landscape* land = GameLandscape()) {
        if (land->focusFlimb == &flimb) {
            land->focusFlimb = nullptr;
            if (World().selected == &flimb)
                World().selected = nullptr;
            HudNoteSelection(nullptr);
        }
        if (land->focusExtra == &flimb)
            land->focusExtra = nullptr;
    }
}

void SwapTrap::Update()
{
    AdvanceFrame();
    const gfx::RECT box = GetBounds();
    FlimbList inside = FindFlimbsInArea(true, false, box.left + kInset, box.top + kInset, box.right - kInset,
                                        box.bottom - kInset);
    const bool capture = CurrentGameModeIndex() == kCaptureTheFlimbMode;
    bool any = false;
    for (Flimb* flimb : inside) {
        if (capture && (flimb->attributes & kAttrMarked))
            continue;
        if (HasCooldown(flimb)) {
            NoteCooldown(flimb);
            continue;
        }
        NoteCooldown(flimb);
        Swap(*flimb);
        any = true;
    }
    ExpireCooldowns(kCooldownUpdates);
    if (!any)
        return;
    ConsumePickup();
    frame = 0;
    swapped = 1;
    if (audible)
        PlayEffectAt(kSwapSound, RoundToInt(x), RoundToInt(y));
    FireEvent(0, nullptr, false);
}

void SwapTrap::StepColourCycle()
{
    const uint32_t now = World().clock.gameTime;
    if (now <= colourClock + 5)
        return;
    colourClock = now;
    drawRotation += 1.0f;
    if (drawRotation >= 360.0f)
        drawRotation = 0.0f;
    if ((drawTint & 0xFFFFFFu) == kSwapColours[colourGroup & 7])
        colourGroup = static_cast<uint8_t>((colourGroup + 1) & 7);
    const uint32_t target = kSwapColours[colourGroup & 7];
    uint32_t next = 0;
    for (int shift : {16, 8, 0})
        next |= StepChannel((drawTint >> shift) & 0xFFu, (target >> shift) & 0xFFu) << shift;
    drawTint = 0xFF000000u | next;
}

void SwapTrap::Draw()
{
    if (pickup_mode) {
        if (sprite)
            DrawTrapSheet(*sprite, DisplayedFrame(), *this, rotation, 1.0f, 1.0f, 255);
        return;
    }
    if (!LevelEditorOpen())
        StepColourCycle();
    // The ball's colour is the drawing tint, not the trap's.
    const uint32_t kept = tint;
    tint = drawTint;
    const float turn = rotation + drawRotation;
    if (backSheet)
        DrawTrapSheet(*backSheet, 0, *this, turn, 0.5f, 0.5f, alpha);
    if (sprite)
        DrawTrapSheet(*sprite, DisplayedFrame(), *this, turn, 0.7f, 0.7f, 164);
    if (frontSheet)
        DrawTrapSheet(*frontSheet, 0, *this, turn, 0.5f, 0.5f, alpha);
    tint = kept;
}

bool SwapTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    tint = 0;
    return true;
}

void SwapTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    tint = 0;
}

void SwapTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    for (AnimSurface** sheet : {&frontSheet, &backSheet})
        if (*sheet) {
            ImageCache::ReleaseImage(*sheet);
            *sheet = nullptr;
        }
}

void SwapTrap::LoadGraphics()
{
    if (pickup_mode) {
        LoadPickupGraphics();
        return;
    }
    if (!sprite)
        sprite = LoadTrapSprites("ball", kind);
    if (!frontSheet)
        frontSheet = LoadTrapSprites("front", kind);
    if (!backSheet)
        backSheet = LoadTrapSprites("back", kind);
}

void SwapTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(swapped);
}
