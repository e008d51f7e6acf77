#include "traps/SpeedTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/Random.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "traps/TrapFactory.h"
#include "traps/TrapGroupChoice.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

const TrapKindRegistration kRegistration(SpeedTrap::kKind, [] { return std::unique_ptr<Trap>(new SpeedTrap); });

constexpr float kDefaultScale = 0.71f;
constexpr int32_t kMostPanelTime = 999999;

// The speed time a file or the panel gave, within what the flimb's timer holds: at least
// one update (a timer of 0 would never end the speed-up), at most 65535.
int32_t TimerTime(int32_t time, const char* from)
{
    const int32_t kept = std::clamp(time, 1, SpeedTrap::kLongestTime);
    if (kept != time)
        WriteLog("Speed trap: speed time %d from the %s taken as %d\n", time, from, kept);
    return kept;
}

} // namespace

void ActivateByContact(Trap& trap, Flimb* by)
{
    if (by)
        trap.OnFlimbContact(by);
}

SpeedTrap::SpeedTrap() : Trap(kKind)
{
    scale_x = scale_y = kDefaultScale;
    pickup_mode = 1;
    pickup_left = 1;
    animating = 1;
    frame = 0;
}

void SpeedTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const SpeedTrap&>(source);
    group = other.group;
    speedTime = other.speedTime;
    speedFactor = other.speedFactor;
    speedMode = other.speedMode;
}

uint8_t SpeedTrap::NormaliseFactor(int32_t factor)
{
    return factor <= 2 ? 2 : factor <= 4 ? 4 : 8;
}

std::string SpeedTrap::SpriteName() const
{
    return StringPrintf("%d-%d%s", speedMode, speedFactor, floating_pickup ? "-float" : "");
}

void SpeedTrap::LoadGraphics()
{
    if (sprite)
        return;
    sprite = LoadTrapSprites(SpriteName().c_str(), kind);
    if (sprite && sprite->frameCount > 0)
        frame = LevelEditorOpen() ? 0 : static_cast<uint8_t>(DrawRand() % sprite->frameCount);
}

void SpeedTrap::Update()
{
    AdvanceFrame();
    std::optional<FlimbList> inside = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (!inside || inside->empty())
        return;
    FireEvent(0, inside->front(), false);
    for (Flimb* flimb : *inside)
        OnFlimbContact(flimb);
}

void SpeedTrap::Activate(Flimb* by)
{
    ActivateByContact(*this, by);
}

void SpeedTrap::SpeedUp(Flimb& flimb) const
{
    flimb.boostLeft = static_cast<uint16_t>(speedTime & 0xFFFF);
    flimb.stepsPerUpdate = speedFactor;
}

void SpeedTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb || IsPreviewFlimb(flimb))
        return;
    if (group != kAnyGroup && group != flimb->group)
        return;
    if (flimb->boostLeft != 0 && speedMode == kFlimbOnly)
        return;
    const bool exempt = (flimb->attributes & kAttrQuietEnd) != 0;
    if (speedMode == kFlimbOnly || (exempt && (speedMode == kMyGroup || speedMode == kAllFlimbs))) {
        SpeedUp(*flimb);
        if (!exempt)
            ConsumePickup();
        return;
    }
    if (exempt)
        return;
    ConsumePickup();
    const uint8_t toucherGroup = flimb->group;
    for (Flimb& other : World()) {
        if (other.IsFree())
            continue;
        const bool changed = speedMode == kMyGroup      ? other.group == toucherGroup
                             : speedMode == kOtherGroups ? other.group != toucherGroup
                                                         : speedMode == kAllFlimbs;
        if (changed)
            SpeedUp(other);
    }
}

std::unique_ptr<LayoutPanel> SpeedTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    panel->AddChoice(TranslateText("Speed Mode"), "speed_mode",
                     {TranslateText("Flimb Only"), TranslateText("My Group"), TranslateText("Other Groups"),
                      TranslateText("All Flimbs")},
                     std::clamp<int>(speedMode, 0, 3), TranslateText("How will this trap effect the flimbs"));
    panel->AddTextField(TranslateText("Speed Time"), "speed_time", "%d", speedTime,
                        TranslateText("How long will the speed up last (# of updates)"));
    panel->AddTextField(TranslateText("Speed Factor"), "speed_factor", "%d", speedFactor,
                        TranslateText("Speed multiplier (2,4,8)"));
    AddTrapGroupChoice(*panel, TranslateText("Group"), "group", group, true);
    return panel;
}

bool SpeedTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t value = speedMode;
    if (panel->ReadInt("speed_mode", value))
        speedMode = static_cast<uint8_t>(std::clamp(value, 0, 3));
    value = speedFactor;
    if (panel->ReadInt("speed_factor", value))
        speedFactor = NormaliseFactor(value);
    value = speedTime;
    if (panel->ReadInt("speed_time", value))
        speedTime = TimerTime(std::clamp(value, 1, kMostPanelTime), "panel");
    ReleaseGraphics();
    LoadGraphics();
    pickup_mode = 1;
    ReadTrapGroupChoice(*panel, "group", group);
    return true;
}

void SpeedTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "speed_trap_mode", speedMode);
    AppendKindChild(node, "speed_trap_factor", speedFactor);
    AppendKindChild(node, "speed_trap_time", speedTime);
    AppendKindChild(node, "group", group);
}

void SpeedTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    speedMode = static_cast<uint8_t>(XmlGetTagInt(node, "speed_trap_mode", defaults, speedMode));
    speedFactor = NormaliseFactor(XmlGetTagInt(node, "speed_trap_factor", defaults, speedFactor));
    speedTime = TimerTime(XmlGetTagInt(node, "speed_trap_time", defaults, speedTime), "level");
    ReleaseGraphics();
    LoadGraphics();
    pickup_mode = 1;
    group = CheckedTrapGroup(XmlGetTagInt(node, "group", defaults, group), true, "Speed", id);
}

void SpeedTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(group);
    hasher.Add(speedTime);
    hasher.Add(speedFactor);
    hasher.Add(speedMode);
}
