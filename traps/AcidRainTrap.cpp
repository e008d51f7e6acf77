#include "traps/AcidRainTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindXml.h"
#include "traps/TrapSheetDraw.h"
#include "world/Particle.h"
#include "world/ParticleManager.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(AcidRainTrap::kKind, [] { return std::unique_ptr<Trap>(new AcidRainTrap); });

constexpr int kDripSound = 0;
constexpr uint8_t kDropSpriteKind = 2;
constexpr float kNozzleReach = 50.0f;

int32_t RandomBelow(int32_t modulus)
{
    return static_cast<int32_t>(static_cast<uint32_t>(SimRandom().Next()) % static_cast<uint32_t>(modulus));
}

} // namespace

AcidRainTrap::AcidRainTrap() : Trap(kKind)
{
    animating = 1;
}

AcidRainTrap::~AcidRainTrap()
{
    if (bubblesSheet)
        ImageCache::ReleaseImage(bubblesSheet);
}

void AcidRainTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const AcidRainTrap&>(source);
    lastDrop = other.lastDrop;
    updatesPerDrop = other.updatesPerDrop;
    dropSize = other.dropSize;
    dropBounces = other.dropBounces;
    addLand = other.addLand;
    sweep = other.sweep;
}

void AcidRainTrap::SetUpDrop(Particle& p, uint8_t direction) const
{
    float ox = 0.0f, oy = 0.0f;
    const float across = static_cast<float>(sweep);
    switch (direction) {
    case 1: ox = across, oy = -kNozzleReach; break;
    case 2: ox = -kNozzleReach, oy = across; break;
    case 3: ox = kNozzleReach, oy = across; break;
    default: ox = across, oy = kNozzleReach; break;
    }
    const int32_t jitterY = RandomBelow(5) - 2;
    const int32_t jitterX = RandomBelow(5) - 2;
    p.kind = kDropSpriteKind;
    p.SetPosition(std::trunc(x + ox + static_cast<float>(jitterX)), std::trunc(y + oy + static_cast<float>(jitterY)),
                  static_cast<float>(dropSize) * 0.03125f);
    p.spin = static_cast<float>(RandomBelow(30) - 60);
    p.colour = tint;
    uint8_t flags = kParticleFalls | kParticlePhysical;
    flags |= addLand ? kParticleKept : kParticleStamps;
    if (RandomBelow(2))
        flags |= kParticleMirrorX;
    if (RandomBelow(2))
        flags |= kParticleFlipY;
    p.flags = flags;
    p.flags2 = static_cast<uint8_t>(p.flags2 & ~kParticle2NoExplosion);
    p.vx = p.vy = p.vz = 0.0f;
    const float sideways = static_cast<float>(RandomBelow(27) - 13);
    if (direction <= 1)
        p.vx = sideways;
    else
        p.vy = sideways;
    p.gravity = direction;
    p.elasticity = 50;
    p.bounces = static_cast<uint8_t>(dropBounces == -1 ? 1 + RandomBelow(2) : std::clamp(dropBounces, 0, 255));
}

void AcidRainTrap::Update()
{
    if (!enabled)
        return;
    if (animating)
        AdvanceFrame(bubblesSheet ? bubblesSheet : sprite);
    const uint32_t n = World().clock.updateCounter;
    if (n == 0 || static_cast<int64_t>(n) <= static_cast<int64_t>(lastDrop) + updatesPerDrop)
        return;
    PlayEffectAt(kDripSound, RoundToInt(x), RoundToInt(y));
    SimRandom().Seed(n);
    const uint8_t direction = AngleToDirection(static_cast<int32_t>(rotation));
    ParticleManager* manager = Particles();
    if (Particle* p = manager ? manager->AllocParticle(addLand != 0, ParticleRole::Simulation) : nullptr) {
        SetUpDrop(*p, direction);
        manager->CountParticle(*p);
        sweep += 45;
        if (sweep > 45)
            sweep = -45;
    }
    lastDrop = n;
}

void AcidRainTrap::Draw()
{
    if (sprite)
        DrawTrapSheet(*sprite, 0, *this, rotation, scale_x, scale_y, alpha);
    if (bubblesSheet)
        DrawTrapSheet(*bubblesSheet, DisplayedSheetFrame(*bubblesSheet, frame), *this, rotation, scale_x, scale_y,
                      alpha);
}

std::unique_ptr<LayoutPanel> AcidRainTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Period"), "drop_time", "%d", updatesPerDrop,
                        TranslateText("Number of updates between drops"));
    panel->AddTextField(TranslateText("Drop size"), "drop_size", "%d", dropSize,
                        TranslateText("Size of drops (in px)"));
    panel->AddTextField(TranslateText("Bounces"), "drop_bounces", "%d", dropBounces,
                        TranslateText("Number of bounces allowed (-1 for random)"));
    panel->AddCheckBox(TranslateText("Add to land"), "add_remove", addLand != 0,
                       TranslateText("Add to landscape if checked, or remove from landscape if unchecked"));
    return panel;
}

bool AcidRainTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("drop_time", updatesPerDrop))
        updatesPerDrop = std::clamp(updatesPerDrop, 1, 1000);
    if (panel->ReadInt("drop_size", dropSize))
        dropSize = std::clamp(dropSize, 1, 128);
    if (panel->ReadInt("drop_bounces", dropBounces))
        dropBounces = std::clamp(dropBounces, -1, 10);
    panel->ReadChecked("add_remove", addLand);
    return true;
}

void AcidRainTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "updatesperdrop", updatesPerDrop);
    AppendKindChild(node, "dropsize", dropSize);
    AppendKindChild(node, "drop_bounces", dropBounces);
    AppendKindChild(node, "addland", addLand);
}

void AcidRainTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    updatesPerDrop = XmlGetTagInt(node, "updatesperdrop", defaults, updatesPerDrop);
    dropSize = XmlGetTagInt(node, "dropsize", defaults, dropSize);
    dropBounces = XmlGetTagInt(node, "drop_bounces", defaults, dropBounces);
    addLand = XmlGetTagInt(node, "addland", defaults, 0) != 0 ? 1 : 0;
}

void AcidRainTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    if (bubblesSheet) {
        ImageCache::ReleaseImage(bubblesSheet);
        bubblesSheet = nullptr;
    }
}

void AcidRainTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("trap", kind);
    if (!bubblesSheet)
        bubblesSheet = LoadTrapSprites("bubbles", kind);
}

void AcidRainTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(lastDrop);
    hasher.Add(updatesPerDrop);
    hasher.Add(dropSize);
    hasher.Add(dropBounces);
    hasher.Add(addLand);
    hasher.Add(sweep);
}
