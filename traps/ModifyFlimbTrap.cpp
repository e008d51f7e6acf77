#include "traps/ModifyFlimbTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameServices.h"
#include "gui/LayoutPanel.h"
#include "media/SoundManager.h"
#include "traps/EditorOnlyDraw.h"
#include "traps/TrapFactory.h"
#include "world/Flimb.h"
#include "world/FlimbParticles.h"
#include "world/StateHash.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kModifyFlimbKind = 53;
constexpr int kRefusedEffect = 12;
const TrapKindRegistration registration(kModifyFlimbKind,
                                        [] { return std::unique_ptr<Trap>(new ModifyFlimbTrap); });

void Refuse(const char* text)
{
    Controller().messages.Add(text, -1);
    soundManager.PlayEffect(kRefusedEffect, 1.0f);
}

// Turns the flimb to a gravity direction and, with reset, starts its state afresh.
void SetFacing(Flimb& flimb, uint8_t direction, bool reset)
{
    flimb.gravity = direction;
    if (reset) {
        flimb.typeAge = 0;
        flimb.frame = 0;
        flimb.SetGroupAnimation(0, 0);
    }
}

} // namespace

ModifyFlimbTrap::ModifyFlimbTrap() : Trap(kModifyFlimbKind)
{
    LoadGraphics();
}

void ModifyFlimbTrap::Spawn(int32_t targetGroup)
{
    const uint8_t direction = AngleToDirection(static_cast<int32_t>(rotation));
    const bool positive = direction == 0 || direction == 2 ? scale_x > 0.0f : scale_x < 0.0f;
    const float size = std::fabs(scale_x);
    FlimbSpawnArgs spawn;
    spawn.x = RoundToInt(x);
    spawn.y = RoundToInt(y);
    spawn.group = static_cast<uint8_t>(targetGroup);
    spawn.size = size < 1.0f ? 0 : size > 1.0f ? 2 : 1;
    spawn.facing = positive ? 1 : -1;
    spawn.gravity = direction;
    spawn.type = kSpawn;
    // A spawned flimb gets a fresh flimb's energy; the trap is its origin.
    spawn.energy = static_cast<uint16_t>(kFlimbStartEnergy);
    spawn.originTrap = id;
    SpawnFlimb(spawn);
}

void ModifyFlimbTrap::Activate(Flimb* by)
{
    int32_t target = group;
    if (target == 255 && by)
        target = by->group;
    if (target != 255 && (target < 0 || target > 7))
        target = 255;
    if (mode == kSpawnFlimb) {
        if (target == 255)
            Refuse("Cannot spawn flimb.  Missing target group.");
        else
            Spawn(target);
        return;
    }
    if (!by || mode < 0 || mode > kExplode)
        return;
    Flimb& flimb = *by;
    WorldState& world = World();
    switch (mode) {
    case kMakeLight:
        if (!(flimb.flags2 & kFlimbLight)) {
            flimb.flags2 |= kFlimbLight;
            SetFacing(flimb, 0, true);
        }
        break;
    case kMakeDark:
        flimb.flags2 |= kFlimbDark;
        break;
    case kMakeNormal:
        flimb.flags2 &= static_cast<uint8_t>(~(kFlimbLight | kFlimbDark));
        SetFacing(flimb, 0, true);
        break;
    case kNewGroup:
        if (target == 255) {
            Refuse("Cannot change flimb group.  Missing target group.");
        } else {
            flimb.group = static_cast<uint8_t>(target);
            flimb.SetGroupAnimation(flimb.anim, flimb.frame);
        }
        break;
    case kDeselect:
        SendHighlight(flimb.id);
        if (world.selected == &flimb) {
            flimb.SetSelected(false, false);
            world.selected = nullptr;
        }
        break;
    case kSelect:
        SendHighlight(flimb.id);
        if (!IsPlaybackRunning()) {
            if (world.selected && world.selected != &flimb)
                world.selected->SetSelected(false, false);
            flimb.SetSelected(true, false);
            world.selected = &flimb;
        }
        break;
    case kExplode:
        if (!PreviewRunning())
            AtomizeFlimbSprite(flimb, false, false, nullptr, 2, 2);
        flimb.flags &= static_cast<uint8_t>(~kFlimbInWorld);
        break;
    default: break;
    }
}

std::unique_ptr<LayoutPanel> ModifyFlimbTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Mode"), "mcm",
                     {"SpawnFlimb", "MakeLight", "MakeDark", "MakeNormal", "NewGroup", "Deselect", "Select", "Explode"},
                     std::clamp(mode, 0, 7));
    std::vector<std::string> groups;
    for (int g = 0; g < 8; ++g)
        groups.push_back(std::to_string(g));
    groups.push_back(TranslateText("Any"));
    panel->AddChoice(TranslateText("Target"), "group", groups, group == 255 ? 8 : std::clamp(group, 0, 7),
                     TranslateText("Group for spawn flimb, or group for new group"));
    return panel;
}

bool ModifyFlimbTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("mcm", mode);
    int32_t choice = 0;
    if (panel->ReadInt("group", choice))
        group = choice == 8 ? 255 : std::clamp(choice, 0, 7);
    return true;
}

void ModifyFlimbTrap::Draw()
{
    DrawInEditorOnly(*this);
}

void ModifyFlimbTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    XmlAddChildInt(node, "mcm", mode);
    XmlAddChildInt(node, "group", group);
}

void ModifyFlimbTrap::Load(xmlNode* node, xmlNode* defaults, int32_t loadMode)
{
    Trap::Load(node, defaults, loadMode);
    mode = XmlGetTagInt(node, "mcm", defaults, 0);
    group = XmlGetTagInt(node, "group", defaults, 255);
    if (group != 255 && (group < 0 || group > 7)) {
        WriteLog("%s trap: group %d is not a group (0..7 or 255), taken as 0\n", "Modify-flimb", group);
        group = 0;
    }
}

void ModifyFlimbTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ModifyFlimbTrap&>(source);
    mode = other.mode;
    group = other.group;
}

void ModifyFlimbTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(mode);
    hasher.Add(group);
}
