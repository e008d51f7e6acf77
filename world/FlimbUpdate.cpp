#include "world/FlimbUpdate.h"

#include "app/Log.h"
#include "app/Random.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/Label.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "world/AnimationSpec.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/Groups.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <array>

namespace {

constexpr int kPreviewSound = 8;
constexpr uint8_t kPreviewMaxSteps = 150;

void RemoveFlimb(WorldState& world, Flimb& flimb)
{
    if (flimb.type == kDoppel)
        flimb.DigAt(false);
    if (world.selected == &flimb)
        world.selected = nullptr;
    if (world.preselected == &flimb)
        world.preselected = nullptr;
    if (flimb.linkedId >= 0)
        if (Flimb* linked = FindFlimbById(flimb.linkedId))
            linked->linkedId = -1;
    DestroyFlimbTag(flimb);
    --world.clock.flimbsInPlay;
    if (!(flimb.flags2 & kFlimbSaved) && flimb.group < 8)
        ++Controller().stats[flimb.group].lost;
    ModeFlimbDied(flimb.id);
    NotifyTrapsFlimbRemoved(&flimb);
    flimb.flags |= kFlimbFree;
}

void SwitchPreviewOff(QuantumPreview& preview)
{
    preview.source = nullptr;
    preview.soundPlayed = false;
    preview.state = 0;
    preview.steps = 1;
}

bool PreviewEnds(const Flimb& copy)
{
    if (!copy.InWorld() || !copy.IsAlive())
        return true;
    return copy.type < kFlimbTypeCount && FlimbTypeRowOf(copy.type).final && copy.typeAge >= 2;
}

void StepPreview(WorldState& world)
{
    QuantumPreview& preview = world.preview;
    Flimb* selected = world.selected;
    const bool wanted = preview.state != 0 && selected && !(selected->attributes & kAttrSteered) &&
                        (!preview.source || preview.source == selected);
    if (!wanted) {
        SwitchPreviewOff(preview);
        return;
    }
    Flimb& copy = preview.copy;
    copy = *selected;
    copy.tag = nullptr;
    preview.source = selected;
    copy.flags &= static_cast<uint8_t>(~kFlimbSelected);
    copy.attributes |= kAttrQuietEnd;
    copy.attributes &= static_cast<uint8_t>(~kAttrCounted);
    copy.queuedAction = kNoType;
    if (copy.type < kFlimbTypeCount && FlimbTypeRowOf(copy.type).second) {
        SwitchPreviewOff(preview);
        return;
    }
    const uint32_t generator = SimRandom().State();
    preview.running = true;
    for (int step = 0; step < preview.steps; ++step) {
        copy.Update();
        TestFlimbAgainstTraps(&copy);
        if (PreviewEnds(copy))
            break;
    }
    preview.running = false;
    SimRandom().SetState(generator);
    copy.flags |= kFlimbInWorld;
    if (!preview.soundPlayed) {
        soundManager.PlayEffect(kPreviewSound, 1.0f, true, 0.0f, 0.0f);
        preview.soundPlayed = true;
    }
    if (preview.state == 1) {
        const int steps = preview.steps + 3;
        if (steps > kPreviewMaxSteps) {
            preview.steps = kPreviewMaxSteps;
            preview.state = 2;
        } else {
            preview.steps = static_cast<uint8_t>(steps);
        }
    }
}

void ShowNameTags(const FlimbList& tagged)
{
    const GameController& controller = Controller();
    if (controller.sessionKind != kSessionNetworked || tagged.empty())
        return;
    ScopedGameView view;
    if (!view.Found())
        return;
    const gfx::RECT visible = VisibleWorldRect();
    const PlayerRecord* local = controller.localPlayer;
    for (Flimb* flimb : tagged) {
        if (!flimb->InWorld() || flimb->IsFree())
            continue;
        if (local && local->ownFlimbId == static_cast<uint32_t>(flimb->id))
            continue;
        if (flimb->x < visible.left || flimb->x >= visible.right || flimb->y < visible.top ||
            flimb->y >= visible.bottom)
            continue;
        const PlayerRecord* player = FindPlayerByFlimb(static_cast<uint32_t>(flimb->id));
        if (!player) {
            WriteLog("NO MATCHING PLAYER TO SHOW NAME %d\n", static_cast<int>(CurrentUpdateCounter()));
            continue;
        }
        auto* label = new Label(0, NameTagColour(flimb->group), kLabelCentre, player->name);
        label->SetScale(0.8f);
        label->tag = kNameTagMark;
        DestroyFlimbTag(*flimb);
        flimb->tag = label;
    }
}

} // namespace

uint32_t NameTagColour(int group)
{
    return group >= 0 && group < kGroupCount ? kGroupColours[static_cast<size_t>(group)] : 0xFFFFFFFF;
}

void UpdateFlimbs()
{
    WorldState& world = World();
    world.tallies = {};
    FlimbList tagged;
    world.countingSuspended = true;
    // The count is read each time: a flimb may add flimbs in its step.
    for (int32_t index = 0; index < world.flimbCount; ++index) {
        Flimb& flimb = world.flimbs[static_cast<size_t>(index)];
        if (flimb.IsFree())
            continue;
        if (flimb.InWorld()) {
            flimb.Update();
            if (flimb.IsSelected() && !flimb.IsAlive())
                SendHighlight(flimb.id);
            if (flimb.InWorld())
                AddToTallies(world, flimb);
            if (flimb.IsSelected() && flimb.IsAlive())
                tagged.push_back(&flimb);
        }
        if (!flimb.InWorld())
            RemoveFlimb(world, flimb);
    }
    StepPreview(world);
    world.countingSuspended = false;
    ShowNameTags(tagged);
}
