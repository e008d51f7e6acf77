#include "traps_flow/ProximityTrap.h"

#include "app/XmlUtil.h"
#include "levelmodel/EditorPicking.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/StateHash.h"
#include "world/WorldClock.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kProximityKind = 24;
const TrapKindRegistration registration(kProximityKind, [] { return std::unique_ptr<Trap>(new ProximityTrap); });

bool Holds(const std::vector<Flimb*>& list, const Flimb* flimb)
{
    return std::find(list.begin(), list.end(), flimb) != list.end();
}

} // namespace

ProximityTrap::ProximityTrap() : Trap(kProximityKind)
{
    LoadGraphics();
}

bool ProximityTrap::Qualifies(const Flimb& flimb) const
{
    const double vx = flimb.jumpVX, vy = flimb.jumpVY;
    const int32_t speed = static_cast<int32_t>(std::sqrt(vx * vx + vy * vy));
    if (trigger_group != kAnyGroup && trigger_group != flimb.group)
        return false;
    if (speed < min_speed)
        return false;
    if (flimb_type != kAnyType && flimb_type != flimb.type)
        return false;
    const bool captureable = (flimb.attributes & kAttrMarked) != 0;
    const bool light = (flimb.attributes & kAttrSteered) != 0;
    const bool dark = (flimb.attributes & kAttrSureFooted) != 0;
    switch (flimb_mode) {
    case kAllFlimbs: break;
    case kCaptureable:
        if (!captureable)
            return false;
        break;
    case kNonCaptureable:
        if (captureable)
            return false;
        break;
    case kLight:
        if (!light)
            return false;
        break;
    case kDark:
        if (!dark)
            return false;
        break;
    case kNormal:
        if (light || dark)
            return false;
        break;
    default: return false;
    }
    switch (facing) {
    case 0: return true;
    case 1: return flimb.walkSpeed < 0;
    case 2: return flimb.walkSpeed > 0;
    default: return false;
    }
}

void ProximityTrap::Update()
{
    const uint32_t now = CurrentUpdateCounter();
    if (now == 0)
        return;
    // A trap meant for another player's group does nothing on this machine.
    if (player_group < kAnyGroup && LocalPlayerGroup() != player_group)
        return;
    if (trigger_on_load && now == 1) {
        Activate(nullptr);
        if (trigger_delay == -1)
            spent = 1;
    }
    if (can_trigger && !spent && enabled)
        TestArea(now);
    if (triggered)
        RunActions(now);
    if (spent && last_trigger != 0 && !triggered)
        alive = 0;
}

void ProximityTrap::TestArea(uint32_t now)
{
    if (trigger_delay >= 0 && last_trigger + static_cast<uint32_t>(trigger_delay) >= now)
        return;
    const gfx::RECT area = GetBounds();
    const FlimbList found = FindFlimbsInArea(true, true, area.left, area.top, area.right, area.bottom);
    if (found.empty()) {
        inside.clear();
        return;
    }
    int32_t triggeredCount = 0;
    for (Flimb* flimb : found) {
        if (!Qualifies(*flimb))
            continue;
        if (!multi_trigger && Holds(inside, flimb))
            continue;
        inside.push_back(flimb);
        if (min_flimbs != 0 && min_flimbs > static_cast<int32_t>(inside.size()))
            continue;
        Activate(flimb);
        if (trigger_delay == -1)
            spent = 1;
        if (++triggeredCount == maxTriggerFlimbs)
            break;
    }
    // Flimbs that left the area (or count no more) leave the list.
    std::erase_if(inside, [&found](const Flimb* flimb) { return !Holds(found, flimb); });
}

void ProximityTrap::RunActions(uint32_t now)
{
    const uint32_t elapsed = now - last_trigger;
    for (size_t i = 0; i < actions.size();) {
        if (actions[i].maxUse == 0) {
            actions.erase(actions.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (static_cast<uint32_t>(actions[i].delay) <= elapsed && !actions[i].done) {
            const TriggerAction action = actions[i];
            Trap* target = FindScriptTarget(static_cast<uint32_t>(action.target));
            if (target && action.type >= TriggerAction::kEnable && action.type <= TriggerAction::kFlushList)
                ApplyAction(action, *target);
            // An action may have changed this trap's list (never its length here).
            if (i < actions.size())
                actions[i].done = 1;
        }
        ++i;
    }
    const bool allDone =
        std::all_of(actions.begin(), actions.end(), [](const TriggerAction& a) { return a.done != 0; });
    if (!allDone)
        return;
    triggered = 0;
    for (TriggerAction& action : actions)
        action.done = 0;
    activators.clear();
}

void ProximityTrap::ApplyAction(const TriggerAction& action, Trap& target)
{
    switch (action.type) {
    case TriggerAction::kEnable:
        target.SetEnabled(true);
        // The flimbs already inside do not trigger the newly enabled area at once.
        if (&target != this && target.kind == kProximityKind) {
            auto& other = static_cast<ProximityTrap&>(target);
            other.inside.insert(other.inside.end(), inside.begin(), inside.end());
        }
        break;
    case TriggerAction::kDisable: target.SetEnabled(false); break;
    case TriggerAction::kActivate: {
        const std::vector<Flimb*> cycle = activators; // the target may be this trap
        if (cycle.empty())
            target.Activate(nullptr);
        for (Flimb* flimb : cycle)
            target.Activate(flimb);
        break;
    }
    case TriggerAction::kDeactivate: target.Deactivate(); break;
    case TriggerAction::kShow: target.visible = 1; break;
    case TriggerAction::kHide: target.visible = 0; break;
    case TriggerAction::kFlushList:
        if (target.kind == kProximityKind)
            static_cast<ProximityTrap&>(target).inside.clear();
        break;
    default: break;
    }
}

void ProximityTrap::Activate(Flimb* by)
{
    if (!enabled)
        return;
    if (by && !Qualifies(*by))
        return;
    last_trigger = CurrentUpdateCounter();
    activators.push_back(by);
    triggered = 1;
}

void ProximityTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    for (TriggerAction& action : actions)
        action.target = static_cast<int32_t>(RemapTrapId(static_cast<uint32_t>(action.target), pairs));
    Trap::RemapLinks(pairs, dx, dy);
}

void ProximityTrap::Draw()
{
    const bool editor = LevelEditorOpen();
    const bool god = GodModeOn();
    if (!editor && !god)
        return;
    // What the drawing shows is put back afterwards: none of it is the trap's state.
    const float oldRotation = rotation;
    const uint32_t oldTint = tint;
    const uint8_t oldAlpha = alpha;
    rotation = 0.0f;
    tint = can_trigger ? 0xFF808080u : 0xFF111111u;
    alpha = god && !editor ? 0x40 : 255;
    Trap::Draw();
    rotation = oldRotation;
    tint = oldTint;
    alpha = oldAlpha;
}

void ProximityTrap::ForgetObject(Flimb* flimb)
{
    std::erase(inside, flimb);
    std::replace(activators.begin(), activators.end(), flimb, static_cast<Flimb*>(nullptr));
}

void ProximityTrap::ForgetTrap(Trap* dying)
{
    if (!dying)
        return;
    std::erase_if(actions, [dying](const TriggerAction& a) { return static_cast<uint32_t>(a.target) == dying->id; });
}

void ProximityTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    for (const TriggerAction& action : actions) {
        xmlNode* element = xmlNewChild(node, nullptr, reinterpret_cast<const xmlChar*>("trigger_action"), nullptr);
        AppendTrapInt(element, "trigger_type", action.type);
        AppendTrapInt(element, "trigger_id", action.target);
        AppendTrapInt(element, "action_delay", action.delay);
        AppendTrapInt(element, "action_ttl", action.maxUse);
    }
    AppendTrapInt(node, "trigger_delay", trigger_delay);
    AppendTrapInt(node, "trigger_group", trigger_group);
    AppendTrapInt(node, "player_group", player_group);
    AppendTrapInt(node, "can_trigger", can_trigger ? 1 : 0);
    AppendTrapInt(node, "multi_trigger", multi_trigger ? 1 : 0);
    AppendTrapInt(node, "trigger_on_load", trigger_on_load ? 1 : 0);
    AppendTrapInt(node, "min_speed", min_speed);
    AppendTrapInt(node, "min_flimbs", min_flimbs);
    AppendTrapInt(node, "flimb_mode", flimb_mode);
    AppendTrapInt(node, "flimb_type", flimb_type);
    AppendTrapInt(node, "facing", facing);
    AppendTrapInt(node, "maxTriggerFlimbs", maxTriggerFlimbs);
}

void ProximityTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    trigger_delay = XmlGetTagInt(node, "trigger_delay", defaults, trigger_delay);
    trigger_group = XmlGetTagInt(node, "trigger_group", defaults, trigger_group);
    if (trigger_group == -1)
        trigger_group = kAnyGroup;
    player_group = XmlGetTagInt(node, "player_group", defaults, player_group);
    can_trigger = XmlGetTagBool(node, "can_trigger", defaults);
    multi_trigger = XmlGetTagBool(node, "multi_trigger", defaults);
    trigger_on_load = XmlGetTagBool(node, "trigger_on_load", defaults);
    min_speed = XmlGetTagInt(node, "min_speed", defaults, min_speed, "min_magnitude");
    min_flimbs = XmlGetTagInt(node, "min_flimbs", defaults, min_flimbs);
    flimb_mode = XmlGetTagInt(node, "flimb_mode", defaults, flimb_mode);
    flimb_type = XmlGetTagInt(node, "flimb_type", defaults, flimb_type);
    facing = XmlGetTagInt(node, "facing", defaults, facing);
    maxTriggerFlimbs = XmlGetTagInt(node, "maxTriggerFlimbs", defaults, maxTriggerFlimbs);

    actions.clear();
    if (!node)
        return;
    xmlNode* defaultAction = defaults ? XmlGetChild(XmlChildren(defaults), "trigger_action") : nullptr;
    for (xmlNode* child = XmlChildren(node); child; child = XmlNext(child)) {
        if (XmlName(child) != "trigger_action")
            continue;
        TriggerAction action;
        action.type = XmlGetTagInt(child, "trigger_type", defaultAction, action.type);
        action.target = XmlGetTagInt(child, "trigger_id", defaultAction, action.target);
        action.delay = XmlGetTagInt(child, "action_delay", defaultAction, action.delay);
        action.maxUse = XmlGetTagInt(child, "action_ttl", defaultAction, action.maxUse);
        actions.push_back(action);
    }
}

void ProximityTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ProximityTrap&>(source);
    actions = other.actions; // records of the copy's own
    new_action_type = other.new_action_type;
    trigger_delay = other.trigger_delay;
    trigger_group = other.trigger_group;
    maxTriggerFlimbs = other.maxTriggerFlimbs;
    player_group = other.player_group;
    last_trigger = other.last_trigger;
    spent = other.spent;
    triggered = other.triggered;
    can_trigger = other.can_trigger;
    multi_trigger = other.multi_trigger;
    trigger_on_load = other.trigger_on_load;
    min_speed = other.min_speed;
    min_flimbs = other.min_flimbs;
    flimb_type = other.flimb_type;
    facing = other.facing;
    flimb_mode = other.flimb_mode;
    inside = other.inside;
    activators = other.activators;
}

void ProximityTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(static_cast<uint32_t>(actions.size()));
    for (const TriggerAction& action : actions) {
        hasher.Add(action.target);
        hasher.Add(action.type);
        hasher.Add(action.delay);
        hasher.Add(action.maxUse);
        hasher.Add(action.done);
    }
    hasher.Add(trigger_delay);
    hasher.Add(trigger_group);
    hasher.Add(maxTriggerFlimbs);
    hasher.Add(player_group);
    hasher.Add(last_trigger);
    hasher.Add(spent);
    hasher.Add(triggered);
    hasher.Add(can_trigger);
    hasher.Add(multi_trigger);
    hasher.Add(trigger_on_load);
    hasher.Add(min_speed);
    hasher.Add(min_flimbs);
    hasher.Add(flimb_type);
    hasher.Add(facing);
    hasher.Add(flimb_mode);
    for (const std::vector<Flimb*>* list : {&inside, &activators}) {
        hasher.Add(static_cast<uint32_t>(list->size()));
        for (const Flimb* flimb : *list)
            hasher.Add(FlimbSlot(flimb));
    }
}
