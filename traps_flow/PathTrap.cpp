#include "traps_flow/PathTrap.h"

#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "traps/TrapFactory.h"
#include "traps_flow/FlowDrawing.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"

namespace {

constexpr int32_t kPathKind = 27;
const TrapKindRegistration registration(kPathKind, [] { return std::unique_ptr<Trap>(new PathTrap); });

} // namespace

PathTrap::PathTrap() : Trap(kPathKind)
{
    LoadGraphics();
}

void PathTrap::Update()
{
    if (!canTrigger || !enabled)
        return;
    gfx::RECT inner = GetBounds();
    inner.left += 4;
    inner.top += 4;
    inner.right -= 4;
    inner.bottom -= 4;
    std::optional<FlimbList> found = Trap::TestContact(nullptr, 1, false, 0, 0, &inner);
    if (found && !found->empty())
        Activate(found->front());
}

void PathTrap::Activate(Flimb* by)
{
    if (!by || !alive)
        return;
    alive = 0;
    bool earlierLeft = false;
    for (const Trap* other : GetTrapsOfKind(kPathKind)) {
        const auto* path = static_cast<const PathTrap*>(other);
        if (path != this && path->alive && path->set == set && path->ordinal < ordinal)
            earlierLeft = true;
    }
    FireEvent(earlierLeft ? 1 : 0, by, false);
}

void PathTrap::Draw()
{
    Trap::Draw();
    DrawTextAt(4, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), 0xFF000000u,
               StringPrintf("%d", ordinal), 0.0f);
}

void PathTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    XmlAddChildInt(node, "path_ordinal", ordinal);
    XmlAddChildInt(node, "path_set", set);
    XmlAddChildInt(node, "can_trigger", canTrigger ? 1 : 0);
}

void PathTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    ordinal = XmlGetTagInt(node, "path_ordinal", defaults, 0);
    set = XmlGetTagInt(node, "path_set", defaults, 0);
    canTrigger = XmlGetTagBool(node, "can_trigger", defaults);
}

void PathTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const PathTrap&>(source);
    ordinal = other.ordinal;
    set = other.set;
    canTrigger = other.canTrigger;
}

void PathTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(ordinal);
    hasher.Add(set);
    hasher.Add(canTrigger);
}
