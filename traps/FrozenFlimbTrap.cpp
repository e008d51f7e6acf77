#include "traps/FrozenFlimbTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameServices.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapGroupChoice.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/ParticleEmitters.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(FrozenFlimbTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new FrozenFlimbTrap); });

constexpr uint16_t kDarkAttribute = 0x40;
constexpr int32_t kBurstLift = 40;
constexpr int32_t kFullEnergy = 13023;
constexpr uint32_t kIceGrey = 0x808080;
constexpr uint32_t kUnclaimedColour = 0x222222;
constexpr uint32_t kClaimedColour = 0xFFFFFF;

} // namespace

FrozenFlimbTrap::FrozenFlimbTrap() : Trap(kKind) {}

void FrozenFlimbTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const FrozenFlimbTrap&>(source);
    flimbSize = other.flimbSize;
    darkFlimb = other.darkFlimb;
    group = other.group;
    spawnEnergy = other.spawnEnergy;
    facing = other.facing;
    thawed = other.thawed;
    fallSpeed = other.fallSpeed;
    fallDistance = other.fallDistance;
    madeByFreeze = other.madeByFreeze;
    freezeTimer = other.freezeTimer;
    freezeState = other.freezeState;
    holding = other.holding;
}

float FrozenFlimbTrap::NormalisedSize(float size)
{
    if (size < 1.0f)
        return 0.5f;
    if (size > 1.0f)
        return 2.0f;
    return 1.0f;
}

gfx::RECT FrozenFlimbTrap::GetBounds() const
{
    return BoundsAtScale(scale_x * flimbSize, scale_y * flimbSize);
}

void FrozenFlimbTrap::SetGroup(uint8_t newGroup)
{
    group = newGroup;
    ReleaseGraphics();
    LoadGraphics();
}

void FrozenFlimbTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites(nullptr, kind, group == kAnyGroup ? 0 : group);
    facing = scale_x >= 0.0f ? 1 : -1;
}

int32_t FrozenFlimbTrap::FlimbEnergySetting() const
{
    return std::clamp(spawnEnergy, 0, kFullEnergy);
}

void FrozenFlimbTrap::TakeFrozenFlimb(int32_t energy, int32_t facingSign, float size, uint8_t made, int32_t timer,
                                      int32_t state)
{
    spawnEnergy = energy;
    facing = facingSign < 0 ? -1 : 1;
    // The facing lives in the sign of the horizontal scale, so that a reload of the graphics
    // (which reads the facing from it) keeps the frozen flimb's.
    scale_x = std::fabs(scale_x) * static_cast<float>(facing);
    flimbSize = size;
    madeByFreeze = made;
    freezeTimer = timer;
    freezeState = state;
}

void FrozenFlimbTrap::Activate(Flimb* by)
{
    if (by && group == kAnyGroup)
        SetGroup(by->group);
    if (by && facing == kUnknownFacing)
        facing = by->walkSpeed > 0 ? 1 : -1;
    thawed = 1;
    activated = 1;
}

void FrozenFlimbTrap::SpawnThawedFlimb()
{
    FlimbSpawnArgs args;
    args.x = RoundToInt(x);
    args.y = RoundToInt(y);
    args.group = group == kAnyGroup ? 0 : group;
    args.size = static_cast<int8_t>(std::clamp(TruncToInt(flimbSize), -127, 127));
    args.facing = static_cast<int8_t>(facing == 1 || facing == -1 ? facing : 0);
    args.gravity = TrapGravityDirection(*this);
    args.attributes = darkFlimb ? kDarkAttribute : 0;
    args.type = kWalk;
    args.energy = static_cast<uint16_t>(spawnEnergy);
    args.originTrap = id;
    SpawnFlimb(args);
}

void FrozenFlimbTrap::Shatter(int32_t fromX, int32_t fromY)
{
    const uint8_t direction = TrapGravityDirection(*this);
    AreaEffectParams burst(EmitTowards, static_cast<float>(fromX), static_cast<float>(fromY), 0.0f, 0.0f, 0.0f,
                           direction, 3, 3);
    if (sprite)
        SpawnFromFrame(*sprite, frame, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)),
                       flimbSize * static_cast<float>(facing == -1 ? -1 : 1), flimbSize, kIceGrey, &burst);
    alive = 0;
}

void FrozenFlimbTrap::Update()
{
    if (thawed) {
        if (frame == 0)
            FireEvent(0, nullptr, false);
        frame = static_cast<uint8_t>(frame + 1);
        if (frame >= kSpawnFrame) {
            SpawnThawedFlimb();
            alive = 0;
        }
        return;
    }
    if (allow_fall) {
        const uint8_t step = fallSpeed;
        if (TryFall(step, false, 2)) {
            fallSpeed = static_cast<uint8_t>(std::min<int>(fallSpeed + 1, kMaxFallSpeed));
            fallDistance += step; // the pixels it fell
            return;
        }
        if (fallDistance >= kShatterFall) {
            int32_t bx = RoundToInt(x), by = RoundToInt(y);
            OffsetByDirection(TrapGravityDirection(*this), bx, by, 0, -kBurstLift);
            Shatter(bx, by);
        }
        fallDistance = 0;
        if (!alive)
            return;
    }
    gfx::RECT area = GetBounds();
    InsetRectByDirection(gfx::RECT{10, 10, 10, 2}, TrapGravityDirection(*this), area);
    for (Flimb* flimb : FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom)) {
        if (flimb->type == kNova && flimb->typeAge >= 8)
            continue;
        Activate(flimb);
        break;
    }
}

void FrozenFlimbTrap::OnFlimbExploded(Flimb* flimb)
{
    if (!flimb || !alive || frame >= kShatterableBelow)
        return;
    const float ownHeight = sprite ? static_cast<float>(sprite->frameHeight) : 0.0f;
    const float flimbHeight = static_cast<float>(flimb->Layout().height) * flimb->scale;
    const float dx = x - static_cast<float>(flimb->x);
    const float dy = (y - ownHeight / 2.0f) - (static_cast<float>(flimb->y) - flimbHeight / 2.0f);
    if (std::sqrt(dx * dx + dy * dy) > kShatterReach)
        return;
    Shatter(flimb->x, flimb->y - kBurstLift);
    FireEvent(1, flimb, false);
}

void FrozenFlimbTrap::Draw()
{
    if (!sprite)
        return;
    // A size of 0 draws as 1; the setting itself stays (the thawed flimb is then small).
    const float size = flimbSize == 0.0f ? 1.0f : flimbSize;
    SheetDraw how;
    how.frame = frame;
    how.scaleX = static_cast<float>(facing == -1 ? -1 : 1) * size;
    how.scaleY = size;
    how.radians = rotation * 3.1415927410125732f / 180.0f;
    how.colour = group == kAnyGroup ? kUnclaimedColour : kClaimedColour;
    how.alpha = alpha;
    DrawSheetInWorld(sprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, false);
}

std::unique_ptr<LayoutPanel> FrozenFlimbTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    AddTrapGroupChoice(*panel, TranslateText("Group"), "group", group, true);
    panel->AddSlider(TranslateText("Energy"), "spawn_energy", static_cast<float>(std::clamp(spawnEnergy, 0, kFullEnergy)),
                     static_cast<float>(kFullEnergy), 0.0f, TranslateText("Energy imparted to new flimbs"));
    panel->AddTextField(TranslateText("Flimb Size"), "flimb_size", "%.1f", flimbSize,
                        TranslateText("The size of the flimb, 0.5, 1, or 2"));
    panel->AddCheckBox(TranslateText("Dark Flimb"), "dark", darkFlimb != 0,
                       TranslateText("The frozen flimb has dark powers"));
    return panel;
}

bool FrozenFlimbTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t picked = group;
    if (ReadTrapGroupChoice(*panel, "group", picked) && picked != group)
        group = static_cast<uint8_t>(picked);
    if (group > 7 && group != kAnyGroup)
        group = 0;
    ReleaseGraphics();
    LoadGraphics();
    float size = flimbSize;
    panel->ReadFloat("flimb_size", size, 0.0f, 1000.0f);
    flimbSize = NormalisedSize(size);
    panel->ReadChecked("dark", darkFlimb);
    panel->ReadInt("spawn_energy", spawnEnergy);
    return true;
}

void FrozenFlimbTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendTrapChild(node, "flimb_size", StringPrintf("%.4f", static_cast<double>(flimbSize)));
    AppendKindChild(node, "dark_flimb", darkFlimb);
    AppendKindChild(node, "group", group);
    AppendKindChild(node, "spawn_energy", spawnEnergy);
}

void FrozenFlimbTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    flimbSize = XmlGetTagFloat(node, "flimb_size", defaults, flimbSize);
    darkFlimb = XmlGetTagInt(node, "dark_flimb", defaults, 0) != 0 ? 1 : 0;
    group = CheckedTrapGroup(XmlGetTagInt(node, "group", defaults, group), true, "FrozenFlimb", id);
    spawnEnergy = XmlGetTagInt(node, "spawn_energy", defaults, spawnEnergy);
    ReleaseGraphics();
    LoadGraphics();
}

void FrozenFlimbTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(flimbSize);
    hasher.Add(darkFlimb);
    hasher.Add(group);
    hasher.Add(spawnEnergy);
    hasher.Add(facing);
    hasher.Add(thawed);
    hasher.Add(frame); // the thaw counter
    hasher.Add(fallSpeed);
    hasher.Add(fallDistance);
    hasher.Add(madeByFreeze);
    hasher.Add(freezeTimer);
    hasher.Add(freezeState);
    hasher.Add(holding);
}
