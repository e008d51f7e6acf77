#include "traps/CheckpointTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameServices.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "traps/TrapFactory.h"
#include "traps/TrapGroupChoice.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "traps/TrapSheetDraw.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"

namespace {

const TrapKindRegistration kRegistration(CheckpointTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new CheckpointTrap); });

int LocalGroup()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && local->group < 8 ? local->group : 0;
}

} // namespace

CheckpointTrap::CheckpointTrap() : Trap(kKind)
{
    animating = 1;
    zorder = 1;
    flimborder = 1;
}

CheckpointTrap::~CheckpointTrap()
{
    CheckpointTrap::ReleaseGraphics();
}

void CheckpointTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const CheckpointTrap&>(source);
    group = other.group;
    reached = other.reached;
}

void CheckpointTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(lightSprite);
}

void CheckpointTrap::LoadGraphics()
{
    if (!lightSprite)
        lightSprite = LoadTrapSprites(reached ? "on" : "off", kind);
    if (!sprite)
        sprite = LoadTrapSprites("head", kind, LocalGroup());
}

void CheckpointTrap::Update()
{
    if (!enabled)
        return;
    if (reached) {
        if (frame <= 1) {
            animating = 0;
            frame = 0;
        } else {
            AdvanceFrame();
        }
        return;
    }
    AdvanceFrame();
    std::optional<FlimbList> touching = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (!touching)
        return;
    for (Flimb* flimb : *touching) {
        if (group == kAnyGroup || flimb->group == group) {
            Activate(flimb);
            break;
        }
    }
}

void CheckpointTrap::Activate(Flimb* by)
{
    if (reached)
        return;
    FireEvent(0, by, false);
    if (audible)
        PlayEffectAt(kReachedSound, RoundToInt(x), RoundToInt(y));
    if (!MatchFlagSet()) {
        RequestAutoCheckpoint();
        SendChat(std::string(), TranslateText("Auto-Checkpoint set!"), -2, false);
    }
    ReleaseSheet(lightSprite);
    lightSprite = LoadTrapSprites("on", kind);
    reached = 1;
}

void CheckpointTrap::Draw()
{
    Trap::Draw();
    if (lightSprite && lightSprite->frameCount > 0)
        DrawTrapSheet(*lightSprite, frame % lightSprite->frameCount, *this, rotation, scale_x, scale_y, alpha);
}

std::unique_ptr<LayoutPanel> CheckpointTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    AddTrapGroupChoice(*panel, TranslateText("Group"), "group", group, true);
    return panel;
}

bool CheckpointTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    ReadTrapGroupChoice(*panel, "group", group);
    return true;
}

void CheckpointTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (node)
        AppendKindChild(node, "group", group);
}

void CheckpointTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (node)
        group = CheckedTrapGroup(XmlGetTagInt(node, "group", defaults, group), true, "Checkpoint", id);
}

void CheckpointTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(group);
    hasher.Add(reached);
}
