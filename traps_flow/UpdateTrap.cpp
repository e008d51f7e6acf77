#include "traps_flow/UpdateTrap.h"

#include "app/Log.h"
#include "app/XmlUtil.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/StateHash.h"
#include "world/WorldClock.h"

#include "app/StringUtil.h"

namespace {

constexpr int32_t kUpdaterKind = 45;
const TrapKindRegistration registration(kUpdaterKind, [] { return std::unique_ptr<Trap>(new UpdateTrap); });

} // namespace

UpdateTrap::UpdateTrap() : Trap(kUpdaterKind)
{
    LoadGraphics();
}

void UpdateTrap::Update()
{
    if (!enabled)
        return;
    const uint32_t value = counter ? activationCount : CurrentUpdateCounter();
    if (value == 0 || value == lastFired)
        return;
    if (value % static_cast<uint32_t>(trigger_mod) != static_cast<uint32_t>(trigger_val))
        return;
    if (Trap* target = FindScriptTarget(target_trap_id)) {
        target->Activate(nullptr);
        lastFired = value;
    }
}

void UpdateTrap::Activate(Flimb* /*by*/)
{
    if (enabled && counter)
        ++activationCount;
}

void UpdateTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    target_trap_id = RemapTrapId(target_trap_id, pairs);
    Trap::RemapLinks(pairs, dx, dy);
}

void UpdateTrap::Draw()
{
    DrawIconInEditor(*this);
}

void UpdateTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapInt(node, "trigger_mod", trigger_mod);
    AppendTrapChild(node, "target_trap_id", StringPrintf("%u", target_trap_id));
    AppendTrapInt(node, "counter", counter ? 1 : 0);
    AppendTrapInt(node, "trigger_val", trigger_val);
}

void UpdateTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    trigger_mod = XmlGetTagInt(node, "trigger_mod", defaults, 1);
    target_trap_id = XmlGetTagUInt(node, "target_trap_id", defaults);
    counter = XmlGetTagBool(node, "counter", defaults);
    trigger_val = XmlGetTagInt(node, "trigger_val", defaults, 0);
    if (trigger_mod < 1) {
        WriteLog("Update trap %u: trigger_mod %d is below 1, taken as 1\n", id, trigger_mod);
        trigger_mod = 1;
    }
}

void UpdateTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const UpdateTrap&>(source);
    target_trap_id = other.target_trap_id;
    trigger_mod = other.trigger_mod;
    trigger_val = other.trigger_val;
    counter = other.counter;
    activationCount = other.activationCount;
    lastFired = other.lastFired;
}

void UpdateTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(target_trap_id);
    hasher.Add(trigger_mod);
    hasher.Add(trigger_val);
    hasher.Add(counter);
    hasher.Add(activationCount);
    hasher.Add(lastFired);
}
