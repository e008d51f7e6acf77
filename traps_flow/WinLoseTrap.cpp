#include "traps_flow/WinLoseTrap.h"

#include "app/Log.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "modes/ModeServices.h"
#include "traps/EditorOnlyDraw.h"
#include "traps/TrapFactory.h"
#include "world/Flimb.h"
#include "world/StateHash.h"

namespace {

constexpr int32_t kWinLoseKind = 25;
const TrapKindRegistration registration(kWinLoseKind, [] { return std::unique_ptr<Trap>(new WinLoseTrap); });

} // namespace

WinLoseTrap::WinLoseTrap() : Trap(kWinLoseKind)
{
    LoadGraphics();
}

void WinLoseTrap::Update()
{
    const gfx::RECT bounds = GetBounds();
    std::optional<FlimbList> found = Trap::TestContact(nullptr, 1, false, 0, 0, &bounds);
    if (found && !found->empty())
        Activate(found->front());
}

void WinLoseTrap::Activate(Flimb* by)
{
    if (result != kNotYet)
        return;
    const bool match = MatchFlagSet();
    if (group == 255) {
        if (!match && Controller().localPlayer)
            group = Controller().localPlayer->team;
        if (by)
            group = by->group;
    }
    if (triggerWin) {
        ModeSetResult(match ? 1 : 6, group);
        result = kWon;
    } else {
        ModeSetResult(match ? 2 : 5, group);
        result = kLost;
    }
}

void WinLoseTrap::Draw()
{
    DrawInEditorOnly(*this);
}

void WinLoseTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    XmlAddChildInt(node, "trigger_win", triggerWin ? 1 : 0);
    XmlAddChildInt(node, "group", group);
}

void WinLoseTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    triggerWin = XmlGetTagBool(node, "trigger_win", defaults);
    group = XmlGetTagInt(node, "group", defaults, 255);
    if (group != 255 && (group < 0 || group > 7)) {
        WriteLog("%s trap: group %d is not a group (0..7 or 255), taken as 0\n", "Win-lose", group);
        group = 0;
    }
}

void WinLoseTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const WinLoseTrap&>(source);
    triggerWin = other.triggerWin;
    group = other.group;
    result = other.result;
}

void WinLoseTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(triggerWin);
    hasher.Add(group);
    hasher.Add(result);
}
