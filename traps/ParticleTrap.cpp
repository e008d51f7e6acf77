#include "traps/ParticleTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "modes/ModeServices.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapFactory.h"
#include "traps/TrapGroupChoice.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/TrapSpecs.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <cmath>

namespace {

const TrapKindRegistration kRegistration(ParticleTrap::kKind, [] { return std::unique_ptr<Trap>(new ParticleTrap); });

constexpr float kBelowWorld = 88.0f;
constexpr float kAboveWorld = -24.0f;

uint32_t GroupColourOf(int32_t group, uint32_t anyColour)
{
    return group == ParticleTrap::kAnyGroup ? anyColour : FlimbGroupColour(static_cast<uint8_t>(group)) & 0xFFFFFFu;
}

} // namespace

ParticleTrap::ParticleTrap() : Trap(kKind)
{
    activated = 1;
    animating = 1;
    frame = 7;
}

ParticleTrap::~ParticleTrap()
{
    ParticleTrap::ReleaseGraphics();
}

void ParticleTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ParticleTrap&>(source);
    particleGroup = other.particleGroup;
    carrier = other.carrier;
    homeX = other.homeX;
    homeY = other.homeY;
    homeSet = other.homeSet;
}

void ParticleTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(backSprite);
}

void ParticleTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("front", kind);
    if (!backSprite)
        backSprite = LoadTrapSprites("back", kind);
    if (sprite && sprite->frameCount > 0)
        frame = static_cast<uint8_t>(DrawRand() % sprite->frameCount); // looks only
}

void ParticleTrap::SetCarrierById(int32_t flimbId)
{
    carrier = flimbId >= 0 ? FindFlimbById(flimbId) : nullptr;
}

int32_t ParticleTrap::CarrierId() const
{
    return carrier ? carrier->id : -1;
}

void ParticleTrap::PlaceAt(float px, float py)
{
    x = px;
    y = py;
    AddTrapToDrawList(this);
}

void ParticleTrap::LetGo()
{
    carrier = nullptr;
    if (audible)
        PlayEffectAt(kDropSound, RoundToInt(x), RoundToInt(y));
    FireEvent(1, nullptr, false);
}

void ParticleTrap::Deactivate()
{
    activated = 0;
    if (!carrier)
        return;
    carrier->flags = static_cast<uint8_t>(carrier->flags & ~kCarryingFlag);
    carrier->cooldown = kDropCooldown;
    LetGo();
}

void ParticleTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    if (flimb && flimb == carrier)
        LetGo();
}

bool ParticleTrap::OutsideWorld() const
{
    const float width = static_cast<float>(LandscapeWidth());
    const float height = static_cast<float>(LandscapeHeight());
    return y > height + kBelowWorld || y < kAboveWorld || x < 0.0f || x > width;
}

bool ParticleTrap::TryPickup()
{
    const gfx::RECT box = GetBounds();
    const int32_t px = RoundToInt(x), py = RoundToInt(y);
    for (Flimb* flimb : FindFlimbsInArea(true, false, box.left, box.top, box.right, box.bottom)) {
        if ((flimb->flags & kCarryingFlag) || flimb->cooldown > 0)
            continue;
        if (particleGroup != kAnyGroup && flimb->group != particleGroup)
            continue;
        int32_t hx = 0, hy = 0;
        flimb->GetTopPoint(hx, hy);
        const float dx = static_cast<float>(hx - px), dy = static_cast<float>(hy - py);
        if (std::sqrt(dx * dx + dy * dy) >= kHeadReach)
            continue;
        flimb->queuedAction = kNoType;
        ModeOnPickup(static_cast<int32_t>(id), flimb->id);
        if (audible)
            PlayEffectAt(kPickupSound, px, py);
        FireEvent(0, flimb, false);
        return true;
    }
    return false;
}

void ParticleTrap::Update()
{
    if (!alive)
        return;
    AdvanceFrame();
    if (!homeSet) {
        homeX = RoundToInt(x);
        homeY = RoundToInt(y);
        homeSet = 1;
    }
    if (OutsideWorld()) {
        ModeOnObjectLost(static_cast<int32_t>(id));
        if (audible)
            PlayEffectAt(kDropSound, RoundToInt(x), RoundToInt(y));
        FireEvent(1, nullptr, false);
        if (!alive)
            return;
    }
    if (carrier) {
        if (carrier->type == kSplat)
            return;
        const gfx::RECT body = carrier->GetCurrentSprite();
        x = static_cast<float>(carrier->x);
        y = static_cast<float>(carrier->y) - static_cast<float>(body.bottom - body.top) / 2.0f;
        scale_x = scale_y = carrier->scale;
        AddTrapToDrawList(this);
        return;
    }
    if (activated && TryPickup())
        return;
    TryFall(2, true, 20);
}

void ParticleTrap::Draw()
{
    if (!sprite)
        return;
    if (LevelEditorOpen() && (World().clock.gameTime & 7u) == 0)
        AdvanceFrame(); // updates do not run in the editor
    SheetDraw how = TrapSheetLook(*this);
    how.frame = DisplayedFrame();
    how.colour = GroupColourOf(particleGroup, 0x000000);
    DrawSheetInWorld(sprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, false);
}

void ParticleTrap::DrawBack()
{
    if (!backSprite)
        return;
    const uint32_t blink = World().clock.updateCounter % 4 == 0 ? 0x000000u : 0xFFFFFFu;
    SheetDraw how;
    how.frame = std::min<int32_t>(frame, backSprite->frameCount - 1);
    how.scaleX = scale_x;
    how.scaleY = scale_y;
    how.colour = GroupColourOf(particleGroup, blink);
    how.alpha = alpha;
    DrawSheetInWorld(backSprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, false);
}

std::unique_ptr<LayoutPanel> ParticleTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    AddTrapGroupChoice(*panel, TranslateText("Group"), "particle_group", particleGroup, true);
    return panel;
}

bool ParticleTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    ReadTrapGroupChoice(*panel, "particle_group", particleGroup);
    if ((particleGroup < 0 || particleGroup > 7) && particleGroup != kAnyGroup)
        particleGroup = 0;
    return true;
}

void ParticleTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (node)
        AppendKindChild(node, "particle_group", particleGroup);
}

void ParticleTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (node)
        particleGroup = CheckedTrapGroup(XmlGetTagInt(node, "particle_group", defaults, particleGroup), true,
                                         "Particle", id);
}

void ParticleTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(particleGroup);
    hasher.Add(FlimbSlot(carrier));
    hasher.Add(homeX);
    hasher.Add(homeY);
    hasher.Add(homeSet);
}
