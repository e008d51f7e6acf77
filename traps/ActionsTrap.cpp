#include "traps/ActionsTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapTrap.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "traps/FlimbMorph.h"
#include "traps/TrapFactory.h"
#include "traps/TrapGroupChoice.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <limits>

namespace {

const TrapKindRegistration kRegistration(ActionsTrap::kKind, [] { return std::unique_ptr<Trap>(new ActionsTrap); });

constexpr uint32_t kTargetLineColour = 0xFF00FF00u;
constexpr float kCountDistance = 25.0f;

const char* const kActionNames[kActionCount] = {"Clob", "Mold", "Nova",    "Drill", "Gulp", "Doppel",
                                                "Puff", "Spin", "Atomize", "Lop",   "Walk"};

bool IsAction(int32_t type)
{
    return type >= 0 && type < kActionCount;
}

// The group that receives a take: the setting, else the flimb's, else the local player's.
int32_t ReceivingGroup(int32_t targetGroup, const Flimb* flimb)
{
    if (targetGroup != kAnyGroup)
        return targetGroup;
    if (flimb)
        return flimb->group;
    const PlayerRecord* local = Controller().localPlayer;
    return local ? local->group : -1;
}

// "Set Target": the next start trap clicked in the editor becomes the target.
void OnStartTrapPicked(MapObject* source, MapObject* clicked)
{
    auto* placed = dynamic_cast<MapTrap*>(source);
    auto* actions = placed ? dynamic_cast<ActionsTrap*>(placed->GetTrap()) : nullptr;
    auto* target = dynamic_cast<MapTrap*>(clicked);
    if (!actions || !target || !target->GetTrap() || target->GetTrap()->kind != kTrapStart) {
        Controller().messages.Add(TranslateText("You did not choose a start trap."), -2);
        return;
    }
    actions->targetTrapId = static_cast<int32_t>(target->GetTrap()->id);
    RefreshObjectPanel(source);
}

void OnSetStartTargetButton(Primitive* /*parent*/, Button* /*button*/)
{
    BeginTargetPick(&OnStartTrapPicked);
    Controller().messages.Add(TranslateText("Click on a start trap."), -1);
}

} // namespace

ActionsTrap::ActionsTrap() : Trap(kKind)
{
    pickup_mode = 1;
    pickup_left = 1;
    animating = 1;
}

void ActionsTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ActionsTrap&>(source);
    actionType = other.actionType;
    numItems = other.numItems;
    targetTrapId = other.targetTrapId;
    forceAction = other.forceAction;
    group = other.group;
    facing = other.facing;
    targetGroupId = other.targetGroupId;
    alternate = other.alternate;
}

std::string ActionsTrap::SpriteName() const
{
    std::string name = IsAction(actionType) ? kActionNames[actionType] : "extra";
    if (floating_pickup)
        name += "-float";
    return name;
}

void ActionsTrap::LoadGraphics()
{
    if (sprite)
        return;
    sprite = LoadTrapSprites(SpriteName().c_str(), kind);
    // Where the animation starts is a look only.
    if (sprite && sprite->frameCount > 0)
        frame = LevelEditorOpen() ? 0 : static_cast<uint8_t>(DrawRand() % sprite->frameCount);
}

uint8_t ActionsTrap::CounterAfterTake(uint8_t counter, int32_t items)
{
    if (items == kInfinite || items == kDisabled)
        return static_cast<uint8_t>(items);
    if (counter == kDisabled)
        return static_cast<uint8_t>(std::clamp(items, 0, kMostUses));
    if (counter == kInfinite)
        return counter;
    const int64_t sum = int64_t(counter) + int64_t(items);
    return static_cast<uint8_t>(std::clamp<int64_t>(sum, 0, kMostUses));
}

bool ActionsTrap::Skips(const Flimb& flimb) const
{
    if (flimb.attributes & kAttrQuietEnd)
        return true;
    if (group < kAnyGroup && group != flimb.group)
        return true;
    const int facingValue = flimb.walkSpeed;
    return (facing == kFacingLeft && facingValue > 0) || (facing == kFacingRight && facingValue < 0);
}

void ActionsTrap::Update()
{
    if (!enabled)
        return;
    AdvanceFrame();
    const FlimbList here = FindFlimbsAtPoint(RoundToInt(x), RoundToInt(y), true);
    for (Flimb* flimb : here) {
        if (Skips(*flimb))
            continue;
        if (HasCooldown(flimb)) {
            NoteCooldown(flimb);
            continue;
        }
        Take(flimb);
        break;
    }
    ExpireCooldowns(kRetouchUpdates);
}

void ActionsTrap::Take(Flimb* flimb)
{
    OnFlimbContact(flimb);
    ConsumePickup();
    FireEvent(0, flimb, false);
}

void ActionsTrap::Activate(Flimb* by)
{
    if (by ? (by->attributes & kAttrQuietEnd) == 0 : forceAction == 0)
        Take(by);
}

void ActionsTrap::OnFlimbContact(Flimb* flimb)
{
    if (flimb)
        NoteCooldown(flimb);
    if (forceAction) {
        if (flimb)
            Morph(*flimb);
        return;
    }
    const int32_t receiving = ReceivingGroup(targetGroupId, flimb);
    if (receiving < 0 || receiving >= kControllerGroups)
        return;
    if (actionType == kExtraFlimbs) {
        AddExtraFlimbs(receiving);
        return;
    }
    if (!IsAction(actionType))
        return;
    uint8_t& counter = Controller().groups[size_t(receiving)].uses[size_t(actionType)];
    counter = CounterAfterTake(counter, numItems);
}

void ActionsTrap::Morph(Flimb& flimb)
{
    if (!IsAction(actionType))
        return;
    const auto action = static_cast<uint8_t>(actionType);
    if (flimb.type == action && action != kMold && action != kGulp)
        return;
    const int facingValue = flimb.walkSpeed;
    if (facing == kFacingLeft ? facingValue >= 0 : facing == kFacingRight ? facingValue <= 0 : facing != kAnyFacing)
        return;
    MorphAtOnce(flimb, action);
    SetGulpMode(flimb, alternate == 0);
}

void ActionsTrap::AddExtraFlimbs(int32_t receivingGroup)
{
    const auto add = [](Trap& start, int64_t count) {
        const int64_t left = std::clamp<int64_t>(int64_t(start.FlimbsLeft()) + count, 0,
                                                 std::numeric_limits<int32_t>::max());
        start.SetFlimbsLeft(static_cast<int32_t>(left));
    };
    if (targetTrapId > 0) {
        if (Trap* start = FindTrapById(targetTrapId); start && start->kind == kTrapStart)
            add(*start, numItems);
        return;
    }
    const int32_t count = CountStartTraps(receivingGroup);
    if (count <= 0)
        return;
    std::vector<Trap*> starts;
    for (Trap* start : GetTrapsOfKind(kTrapStart))
        if (start->Group() == static_cast<uint8_t>(receivingGroup))
            starts.push_back(start);
    if (starts.empty())
        return;
    const int32_t share = numItems / count;
    const int32_t rest = numItems % count;
    for (Trap* start : starts)
        add(*start, share);
    if (rest > 0)
        add(*starts.back(), rest);
}

void ActionsTrap::Draw()
{
    Trap::Draw();
    if (numItems < 2 || numItems == kInfinite)
        return;
    Font* font = FontManager::GetFont(0);
    if (!font)
        return;
    const float away = static_cast<float>(RoundToInt(kCountDistance * scale_y));
    float px = static_cast<float>(RoundToInt(x)), py = static_cast<float>(RoundToInt(y));
    switch (AngleToDirection(TruncToInt(rotation))) {
    case 1: py += away; break;
    case 2: px += away; break;
    case 3: px -= away; break;
    default: py -= away; break;
    }
    WorldToScreen(px, py);
    font->DrawTextTransformed(px, py, 0xFFFFFFFFu, StringPrintf("%d", numItems), kTextCentre | kTextVCentre,
                              CurrentViewScale());
}

bool ActionsTrap::DrawEditorLinks(MapObject* filter, bool draw)
{
    const bool linked = Trap::DrawEditorLinks(filter, draw);
    if (targetTrapId <= 0 || !draw)
        return linked;
    auto* placed = dynamic_cast<MapTrap*>(filter);
    if (filter && (!placed || !placed->GetTrap() || placed->GetTrap()->id != static_cast<uint32_t>(targetTrapId)))
        return linked;
    if (const Trap* target = FindEditorTrap(static_cast<uint32_t>(targetTrapId))) {
        float fromX = x, fromY = y, toX = target->x, toY = target->y;
        WorldToScreen(fromX, fromY);
        WorldToScreen(toX, toY);
        Draw2D::DrawLine(fromX, fromY, toX, toY, kTargetLineColour);
    }
    return linked;
}

std::unique_ptr<LayoutPanel> ActionsTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    std::vector<std::string> actions(std::begin(kActionNames), std::end(kActionNames));
    actions.push_back("Extra Flimbs");
    panel->AddChoice(TranslateText("Action"), "trap_flimb_type", actions, std::clamp(actionType, 0, kExtraFlimbs),
                     TranslateText("Which action will this trap give when picked up"));
    panel->AddCheckBox(TranslateText("Alternate morph (GulpUp)"), "alternate", alternate != 0, std::string());
    panel->AddTextField(TranslateText("No. Items"), "num_items", "%d", numItems,
                        TranslateText("How many actions to give (199=infinite, 200=disable)"));
    panel->AddCheckBox(TranslateText("Force"), "force_action", forceAction != 0, std::string());
    panel->AddChoice(std::string(), "facing",
                     {TranslateText("Any"), TranslateText("Facing Left"), TranslateText("Facing Right")},
                     std::clamp(facing, 0, 2), TranslateText("Only force the action if the flimb is facing a certain way"));
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    AddTrapGroupChoice(*panel, TranslateText("Pickup"), "group", group, true);
    AddTrapGroupChoice(*panel, TranslateText("Target"), "targetGroupID", targetGroupId, true,
                   TranslateText("Set the target for extra flimbs"));
    panel->AddButton(TranslateText("Set Target"), "tartrap", &OnSetStartTargetButton);
    return panel;
}

bool ActionsTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t action = actionType;
    if (panel->ReadInt("trap_flimb_type", action) && (action & 0xFF) < 12) {
        actionType = action & 0xFF;
        ReleaseGraphics();
        LoadGraphics();
    }
    if (panel->ReadInt("num_items", numItems))
        numItems = std::clamp(numItems, 1, kDisabled);
    panel->ReadChecked("force_action", forceAction);
    ReadTrapGroupChoice(*panel, "group", group);
    if (panel->ReadInt("facing", facing))
        facing = std::clamp(facing, 0, 2);
    ReadTrapGroupChoice(*panel, "targetGroupID", targetGroupId);
    panel->ReadChecked("alternate", alternate);
    if (actionType != kGulp)
        alternate = 0;
    pickup_mode = 1;
    return true;
}

void ActionsTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "trap_action_type", actionType);
    AppendKindChild(node, "num_items", numItems);
    AppendKindChild(node, "force_action", forceAction);
    AppendKindChild(node, "group", group);
    AppendKindChild(node, "facing", facing);
    AppendKindChild(node, "targetGroupID", targetGroupId);
    AppendKindChild(node, "target_trap_id", targetTrapId);
    AppendKindChild(node, "alternate", alternate);
}

void ActionsTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    const int32_t action = XmlGetTagInt(node, "trap_action_type", defaults, actionType);
    if ((action & 0xFF) < 12) {
        actionType = action & 0xFF;
        ReleaseGraphics();
        LoadGraphics();
    }
    numItems = XmlGetTagInt(node, "num_items", defaults, numItems);
    forceAction = XmlGetTagBool(node, "force_action", defaults) ? 1 : 0;
    group = CheckedTrapGroup(XmlGetTagInt(node, "group", defaults, group), true, "Actions", id);
    facing = XmlGetTagInt(node, "facing", defaults, facing);
    targetGroupId = CheckedTrapGroup(XmlGetTagInt(node, "targetGroupID", defaults, targetGroupId), true, "Actions", id);
    // An id, or none: "-1" here, 4294967295 (no trap) in the shared defaults.
    targetTrapId = static_cast<int32_t>(XmlGetTagUInt(node, "target_trap_id", defaults));
    alternate = XmlGetTagBool(node, "alternate", defaults) ? 1 : 0;
    pickup_mode = 1;
}

void ActionsTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    for (const TrapIdPair& pair : pairs)
        if (targetTrapId > 0 && static_cast<uint32_t>(targetTrapId) == pair.oldId)
            targetTrapId = static_cast<int32_t>(pair.newId);
    Trap::RemapLinks(pairs, dx, dy);
}

void ActionsTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(actionType);
    hasher.Add(numItems);
    hasher.Add(targetTrapId);
    hasher.Add(forceAction);
    hasher.Add(group);
    hasher.Add(facing);
    hasher.Add(targetGroupId);
    hasher.Add(alternate);
}
