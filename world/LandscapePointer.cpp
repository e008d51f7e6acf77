// Mouse buttons and wheel steps on the terrain: picking and selecting flimbs, the action of
// a held key, and the debugging tools (pixel info, dropped flimbs, the dig tool).
//
// Switches: the first debugging switch is "debug_mode", the second "god"; the dig tool is
// "brush"; Ctrl is the modifier that leaves the wheel to the game view.
#include "app/GameClock.h"
#include "app/KeyBindings.h"
#include "app/StringUtil.h"
#include "game/FlimbOverlay.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/WindowList.h"
#include "levelmodel/EditorPicking.h"
#include "media/KBManager.h"
#include "modes/ModeServices.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/LandscapeKeys.h"
#include "world/ParticleEmitters.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

namespace {

constexpr const char* kDigImage = "Graphics\\HUD\\MiniMap\\mini_end.png";
constexpr uint32_t kDigMaterials = 0xFFFE0CE3;
constexpr int32_t kStartingDistance = 99999;
constexpr uint32_t kOrderDelay = 251; // ms after the action key before a new pick orders
constexpr int kQuarrelMode = 5;

bool FirstDebugSwitch()
{
    return ConsoleInt("debug_mode") != 0;
}

bool SecondDebugSwitch()
{
    return ConsoleInt("god") != 0;
}

bool DigToolOn()
{
    return ConsoleInt("brush") != 0;
}

bool PointerBlocked()
{
    return LevelEditorOpen() || LocalPlayerIsSpectator();
}

// The walking-direction filters: true when the candidate is left out.
bool Filtered(const Flimb& flimb, const WorldState& world)
{
    const bool reversed = flimb.gravity == 1 || flimb.gravity == 3;
    if (world.selectRequests[0])
        return reversed ? !(flimb.walkSpeed > 0) : !(flimb.walkSpeed < 0);
    if (world.selectRequests[1])
        return reversed ? !(flimb.walkSpeed < 0) : !(flimb.walkSpeed > 0);
    return false;
}

bool SecondClass(const Flimb& flimb)
{
    return flimb.type == kWalk || flimb.type == kDoppel || flimb.type == kPuff || flimb.type == kSpin
           || (flimb.type == kMold && flimb.counter > 10);
}

// Orders the action of a held key for the new selection.
void OrderHeldAction(Flimb& flimb)
{
    if (Controller().runState == kRunPaused)
        return;
    if (kbManager.IsBoundKeyDown(KeyNameForAction("GulpUp"))) {
        NoteFlimbSelected(kGulp, 1, &flimb);
        return;
    }
    for (uint8_t action = 0; action < kActionCount; ++action) {
        if (kbManager.IsBoundKeyDown(KeyNameForAction(FlimbTypeName(action)))) {
            NoteFlimbSelected(action, 0, &flimb);
            return;
        }
    }
}

} // namespace

void Landscape::SelectFlimbAt(bool keep, int32_t x, int32_t y)
{
    const GameController& controller = Controller();
    if (controller.playbackRunning || (controller.runState == kRunPaused && !FirstDebugSwitch()))
        return;
    WorldState& world = World();
    pickCandidates.clear();
    Flimb* old = world.selected;
    world.selected = nullptr;
    focusFlimb = nullptr;
    if (ConsoleInt("touchscreen") != 0)
        DrawFlimbOverlay(world);

    FlimbList found = FindFlimbsAtPointIn(world, x, y, static_cast<uint8_t>(ModeSelectionFilter()));
    if (found.empty() && (CurrentGameModeIndex() == kQuarrelMode || FirstDebugSwitch() || SecondDebugSwitch()))
        found = FindFlimbsAtPointIn(world, x, y, 255);
    pickCandidates.assign(found.begin(), found.end());

    Flimb* first = nullptr;
    Flimb* second = nullptr;
    int64_t firstDistance = kStartingDistance, secondDistance = kStartingDistance;
    for (Flimb* candidate : pickCandidates) {
        if (Filtered(*candidate, world) || !ModeMaySelect(candidate->id))
            continue;
        const int64_t dx = x - candidate->x, dy = y - candidate->y + 24;
        const int64_t distance = dx * dx + dy * dy;
        if (SecondClass(*candidate)) {
            if (distance <= secondDistance) {
                second = candidate;
                secondDistance = distance;
            }
            continue;
        }
        const bool falling = candidate->type == kFall;
        const bool bestFalling = first && first->type == kFall;
        if (first && falling && !bestFalling)
            continue; // a falling flimb never displaces one that stands
        if ((first && bestFalling && !falling) || distance <= firstDistance) {
            first = candidate;
            firstDistance = distance;
        }
    }
    Flimb* chosen = first ? first : second;
    if (!chosen && keep)
        chosen = const_cast<Flimb*>(FollowedFlimb());
    if (!chosen) {
        for (uint8_t& request : world.selectRequests)
            if (request == 1)
                request = 0;
    }
    world.selected = chosen;
    focusFlimb = chosen;

    if (chosen != old) {
        if (old)
            SendHighlight(old->id);
        if (chosen) {
            const PlayerRecord* local = controller.localPlayer;
            if (local && chosen->group != local->team)
                SendTeamChange(chosen->group);
            PlayEffectAt(kFlimbSelectEffect, chosen->x, chosen->y);
            SendHighlight(chosen->id);
        }
        HudNoteSelection(chosen);
    }
    if (!chosen)
        return;
    const uint32_t stamp = world.actionKeyStamp;
    if (!old || (stamp != 0 && gameClock.Now() - stamp >= kOrderDelay))
        OrderHeldAction(*chosen);
}

Primitive* Landscape::OnLeftButton(int x, int y, int phase)
{
    if (Controller().runState == kRunPaused && !FirstDebugSwitch() && !SecondDebugSwitch())
        return nullptr;
    if (Primitive* taker = PrimContainer::OnLeftButton(x, y, phase))
        return taker;
    if (phase == kPhaseDown && (FindOpenWindow("FLIMBS_HUD") || FindOpenWindow("PlaybackVCR")))
        HudLandscapePressed();
    if (PointerBlocked())
        return nullptr;
    int32_t worldX = 0, worldY = 0;
    ScreenToWorld(x, y, worldX, worldY);
    if (phase == kPhaseDown) {
        SelectFlimbAt(true, worldX, worldY);
        return this;
    }
    if (phase == kPhaseUp) {
        statusTextShown = 0;
        return this;
    }
    if (!FirstDebugSwitch() && !SecondDebugSwitch())
        return this;
    if (kbManager.IsShiftDown()) {
        statusTextShown = 1;
        statusText = StringPrintf("(%d,%d) = %d\nHQ:%d C:%x T:%d", worldX, worldY, HitTestPoint(worldX, worldY),
                                  TestPixelColour(worldX, worldY), GetPixelColour(worldX, worldY),
                                  static_cast<int>(TileRevision(TileSlot(worldX >> kTileShift, worldY >> kTileShift))));
    }
    if (!DigToolOn()) {
        if (kbManager.IsCtrlDown() && World().selected)
            SendCreateFlimb(World().selected->id, worldX, worldY);
    } else {
        SendNetBash(kDigImage, 1.0f, 1.0f, 1, kDigMaterials, 0xFFFFFFFF, 0.0f, 0, worldX, worldY);
    }
    return this;
}

Primitive* Landscape::OnRightButton(int x, int y, int phase)
{
    if (Primitive* taker = PrimContainer::OnRightButton(x, y, phase))
        return taker;
    if (phase != kPhaseHeld || !DigToolOn() || PointerBlocked())
        return nullptr;
    int32_t worldX = 0, worldY = 0;
    ScreenToWorld(x, y, worldX, worldY);
    if (kbManager.IsCtrlDown() && Controller().sessionKind != kSessionNetworked) {
        // A local game digs at once, spraying what it takes away; a networked one must ask
        // the server like every change.
        AreaEffectParams spray(EmitSpray, static_cast<float>(worldX), static_cast<float>(worldY), 0.0f, 0.0f, 0.0f, 0,
                               3, 3);
        BashBrush(12, 2, 0, 0, 0, false, kDigMaterials, &spray, 0xFF808080, worldX, worldY);
    } else {
        SendNetBash(kDigImage, 1.0f, 1.0f, 0, 0xFFFFFFFF, 0xFF808080, 0.0f, 0, worldX, worldY);
    }
    return this;
}

Primitive* Landscape::OnWheel(int delta)
{
    if (kbManager.IsCtrlDown() && !SecondDebugSwitch())
        return nullptr; // the game view zooms or sets the next pick's direction
    if (!World().selected)
        return this;
    const bool right = (delta > 0) != (ConsoleInt("reverseWheel") != 0);
    if (right)
        SelectFlimbRight(true);
    else
        SelectFlimbLeft(true);
    return this;
}
