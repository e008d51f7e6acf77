#include "traps/QdotTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "modes/ModeServices.h"
#include "traps/BallTrap.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapGroupChoice.h"
#include "traps/ParticleTrap.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/ParticleEmitters.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"

namespace {

const TrapKindRegistration kQdotRegistration(QdotTrap::kKind, [] { return std::unique_ptr<Trap>(new QdotTrap); });
const TrapKindRegistration kReceptacleRegistration(ReceptacleTrap::kKind,
                                                   [] { return std::unique_ptr<Trap>(new ReceptacleTrap); });

constexpr int32_t kQdotInset = 8;
constexpr int kEveryGroupModeA = 4;
constexpr int kEveryGroupModeB = 5;
constexpr uint32_t kUntinted = 0x808080;

} // namespace

// ---- Qdot --------------------------------------------------------------------------------

QdotTrap::QdotTrap() : Trap(kKind) {}

gfx::RECT QdotTrap::GetBounds() const
{
    gfx::RECT box = Trap::GetBounds();
    box.left += kQdotInset;
    box.top += kQdotInset;
    box.right -= kQdotInset;
    box.bottom -= kQdotInset;
    return box;
}

void QdotTrap::LoadGraphics()
{
    BallTrap::LoadSpriteAtRandomFrame(*this);
}

bool QdotTrap::MayCollect(const Flimb& flimb)
{
    if (MatchFlagSet())
        return true;
    const int mode = CurrentGameModeIndex();
    if (mode == kEveryGroupModeA || mode == kEveryGroupModeB)
        return true;
    const PlayerRecord* local = Controller().localPlayer;
    return local && local->team == flimb.group;
}

void QdotTrap::Update()
{
    if (!visible || !enabled)
        return;
    AdvanceFrame();
    std::optional<FlimbList> touching = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (!touching)
        return;
    for (Flimb* flimb : *touching) {
        if (!MayCollect(*flimb))
            continue;
        const bool counted = ModeQdotCollected(flimb->id);
        FireEvent(0, flimb, false);
        const int32_t px = RoundToInt(x), py = RoundToInt(y);
        if (sprite) {
            AreaEffectParams burst(EmitReceptacle, static_cast<float>(px), static_cast<float>(py), 0.0f, 0.0f, 0.0f,
                                   flimb->gravity, 2, 2);
            SpawnFromFrame(*sprite, frame, static_cast<float>(px), static_cast<float>(py), scale_x, scale_y,
                           kUntinted, &burst);
        }
        alive = 0;
        if (audible)
            PlayEffectAt(counted ? kModeSound : kPlainSound, px, py);
        return; // one flimb collects it
    }
}

std::unique_ptr<LayoutPanel> QdotTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    AddTrapGroupChoice(*panel, TranslateText("Group"), "group", group, true);
    return panel;
}

bool QdotTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    ReadTrapGroupChoice(*panel, "group", group);
    return true;
}

void QdotTrap::Save(xmlNode* node) const
{
    Trap::Save(node); // "visible" is among the common children
    if (node)
        AppendKindChild(node, "group", group);
}

void QdotTrap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    Trap::Load(node, defaults, kTrapLoadAll);
    if (node)
        group = CheckedTrapGroup(XmlGetTagInt(node, "group", defaults, group), true, "Qdot", id);
}

void QdotTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(group);
}

// ---- Receptacle --------------------------------------------------------------------------

ReceptacleTrap::ReceptacleTrap() : Trap(kKind)
{
    animating = 1;
}

ReceptacleTrap::~ReceptacleTrap()
{
    ReceptacleTrap::ReleaseGraphics();
}

void ReceptacleTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ReceptacleTrap&>(source);
    group = other.group;
    filled = other.filled;
    fluidFrame = other.fluidFrame;
}

void ReceptacleTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(fluidSprite);
    ReleaseSheet(backSprite);
}

void ReceptacleTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("overlay", kind);
    if (!fluidSprite)
        fluidSprite = LoadTrapSprites("fluid", kind);
    if (!backSprite)
        backSprite = LoadTrapSprites("back", kind);
}

gfx::RECT ReceptacleTrap::GetBounds() const
{
    gfx::RECT box = Trap::GetBounds();
    box.left += 8;
    box.right -= 8;
    box.top -= 8;
    box.bottom += 8;
    return box;
}

bool ReceptacleTrap::TryDelivery()
{
    std::optional<FlimbList> touching = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (!touching)
        return false;
    for (Flimb* flimb : *touching) {
        if (!(flimb->flags & kCarryingFlag) || (group != kAnyGroup && flimb->group != group))
            continue;
        auto* particle = dynamic_cast<ParticleTrap*>(FindParticleTrap(flimb));
        if (!particle)
            return false; // its particle is gone: the receptacle stays empty
        particle->carrier = nullptr;
        particle->alive = 0;
        flimb->flags = static_cast<uint8_t>(flimb->flags & ~kCarryingFlag);
        FireEvent(0, flimb, false);
        filled = 1;
        return true;
    }
    return false;
}

void ReceptacleTrap::Update()
{
    if (!visible)
        return;
    const uint8_t before = frame;
    AdvanceFrame();
    if (!filled) {
        TryDelivery();
        return;
    }
    // The fluid runs up once (drawing state); then the main animation stands still.
    const int32_t fluidFrames = fluidSprite ? fluidSprite->frameCount : 0;
    if (fluidFrame < fluidFrames)
        fluidFrame += fluidFrame & 1;
    else
        frame = before;
}

void ReceptacleTrap::Draw()
{
    if (backSprite) {
        SheetDraw how = TrapSheetLook(*this);
        DrawSheetInWorld(backSprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, true);
    }
    Trap::Draw();
    if (!filled || !fluidSprite)
        return;
    const int32_t fluidFrames = fluidSprite->frameCount;
    if (fluidFrame < fluidFrames && (fluidFrame & 1) == 0 && InBetweenFrame())
        ++fluidFrame;
    SheetDraw how = TrapSheetLook(*this);
    how.frame = std::min(fluidFrame, fluidFrames - 1);
    DrawSheetInWorld(fluidSprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, true);
}

std::unique_ptr<LayoutPanel> ReceptacleTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    AddTrapGroupChoice(*panel, TranslateText("Group"), "group", group, true,
                   TranslateText("The group that owns the receptacle"));
    return panel;
}

bool ReceptacleTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    ReadTrapGroupChoice(*panel, "group", group);
    return true;
}

void ReceptacleTrap::Save(xmlNode* node) const
{
    Trap::Save(node); // "visible" is among the common children
    if (node)
        AppendKindChild(node, "group", group);
}

void ReceptacleTrap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    Trap::Load(node, defaults, kTrapLoadAll);
    if (node)
        group = CheckedTrapGroup(XmlGetTagInt(node, "group", defaults, group), true, "Receptacle", id);
}

void ReceptacleTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(group);
    hasher.Add(filled);
}
