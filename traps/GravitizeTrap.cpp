#include "traps/GravitizeTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "traps/CreatureSupport.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbParticles.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleKinds.h"
#include "world/StateHash.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kGravitizeRegistration(GravitizeTrap::kKind,
                                                  [] { return std::unique_ptr<Trap>(new GravitizeTrap); });
const TrapKindRegistration kBlackHoleRegistration(BlackHoleTrap::kKind,
                                                  [] { return std::unique_ptr<Trap>(new BlackHoleTrap); });

constexpr uint8_t kEditorAlpha = 0x44;

// The spiral of a swallowed flimb: each pixel of its frame orbits into the hole's centre.
struct SpiralRecord : AreaEffectParams {
    using AreaEffectParams::AreaEffectParams;
};

void EmitSpiral(BashEmitter& emitter, int px, int py, uint32_t colour)
{
    auto& record = static_cast<SpiralRecord&>(emitter);
    ParticleManager* manager = Particles();
    if (!manager)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    // Seeded by the pixel, so that every game makes the same spiral.
    random.Seed(World().clock.updateCounter * static_cast<uint32_t>(px) + static_cast<uint32_t>(py));
    Particle* p = manager->AllocParticle(false, record.Role());
    if (!p)
        return;
    p->kind = kParticleDot;
    p->SetPosition(static_cast<float>(px), static_cast<float>(py), 1.0f);
    p->gravity = record.gravity;
    p->colour = colour & 0x00FFFFFFu;
    const float dx = static_cast<float>(px) - record.x, dy = static_cast<float>(py) - record.y;
    const float distance = std::max(1.0f, std::sqrt(dx * dx + dy * dy));
    float angle = Atan2Deg(-dy, dx); // the angle of acos(dx / d), reflected below the centre
    if (angle < 0.0f)
        angle += 360.0f;
    p->flags = static_cast<uint8_t>(p->flags & ~(kParticlePhysical | kParticleFalls));
    p->baseX = record.x;
    p->baseY = record.y;
    p->ampX = p->ampY = distance;
    p->waveX = angle;
    p->waveY = angle + 90.0f;
    p->vx = p->vy = -400.0f / distance;
    p->ax = p->ay = 0.95f;
    p->vz = -0.01f;
    p->spin = static_cast<float>(random.Next() % 30);
    if (random.Next() & 1)
        p->flags |= kParticleMirrorX;
    if (random.Next() & 1)
        p->flags |= kParticleFlipY;
    p->alpha = 128;
    p->life = 50;
    manager->CountParticle(*p);
}

} // namespace

// ---- Gravitize ---------------------------------------------------------------------------

GravitizeTrap::GravitizeTrap() : Trap(kKind) {}

void GravitizeTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const GravitizeTrap&>(source);
    triggerWidth = other.triggerWidth;
    triggerHight = other.triggerHight;
    instantFall = other.instantFall;
    circleMode = other.circleMode;
    gravity = other.gravity;
}

void GravitizeTrap::AreaScale(float& sx, float& sy) const
{
    sx = static_cast<float>(triggerWidth) / static_cast<float>(sprite->frameWidth);
    sy = static_cast<float>(triggerHight) / static_cast<float>(sprite->frameHeight);
}

gfx::RECT GravitizeTrap::GetBounds() const
{
    if (!sprite || sprite->frameWidth <= 0 || sprite->frameHeight <= 0) {
        const int32_t cx = RoundToInt(x), cy = RoundToInt(y);
        return gfx::RECT{cx - triggerWidth / 2, cy - triggerHight / 2, cx + triggerWidth / 2, cy + triggerHight / 2};
    }
    float sx = 1.0f, sy = 1.0f;
    AreaScale(sx, sy);
    return BoundsAtScale(sx, sy);
}

void GravitizeTrap::Update()
{
    if (!enabled)
        return;
    Landscape* land = GameLandscape();
    if (!land)
        return;
    const gfx::RECT area = GetBounds();
    land->ApplyGravity(gravity, instantFall == 0, circleMode != 0, area.left, area.top, area.right, area.bottom);
}

void GravitizeTrap::Draw()
{
    if (!LevelEditorOpen() || !sprite || sprite->frameWidth <= 0 || sprite->frameHeight <= 0)
        return;
    SheetDraw how;
    AreaScale(how.scaleX, how.scaleY);
    how.radians = rotation * 3.1415927410125732f / 180.0f;
    how.colour = tint;
    how.alpha = kEditorAlpha;
    DrawSheetInWorld(sprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how, true);
}

std::unique_ptr<LayoutPanel> GravitizeTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Width"), "pwidth", "%d", triggerWidth, TranslateText("Width of trigger area"));
    panel->AddTextField(TranslateText("Height"), "pheight", "%d", triggerHight,
                        TranslateText("Height of trigger area"));
    panel->AddCheckBox(TranslateText("Instant fall"), "instant_fall", instantFall != 0,
                       TranslateText("Pixels fall from top to bottom in one update"));
    panel->AddCheckBox(TranslateText("Circle mode"), "circle_mode", circleMode != 0,
                       TranslateText("Use a circle in the bounding box"));
    panel->AddChoice(TranslateText("Direction"), "gravity",
                     {TranslateText("Down"), TranslateText("Up"), TranslateText("Left"), TranslateText("Right")},
                     std::clamp(gravity, 0, 3));
    return panel;
}

bool GravitizeTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("pwidth", triggerWidth))
        triggerWidth = std::clamp(triggerWidth, kSmallest, kLargest);
    if (panel->ReadInt("pheight", triggerHight))
        triggerHight = std::clamp(triggerHight, kSmallest, kLargest);
    panel->ReadChecked("instant_fall", instantFall);
    panel->ReadChecked("circle_mode", circleMode);
    panel->ReadInt("gravity", gravity);
    return true;
}

void GravitizeTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "trigger_width", triggerWidth);
    AppendKindChild(node, "trigger_hight", triggerHight);
    AppendKindChild(node, "circle_mode", circleMode);
    AppendKindChild(node, "instant_fall", instantFall);
    AppendKindChild(node, "gravity", gravity);
}

void GravitizeTrap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    Trap::Load(node, defaults, kTrapLoadAll);
    if (!node)
        return;
    triggerWidth = XmlGetTagInt(node, "trigger_width", defaults, triggerWidth);
    triggerHight = XmlGetTagInt(node, "trigger_hight", defaults, triggerHight);
    circleMode = XmlGetTagBool(node, "circle_mode", defaults) ? 1 : 0;
    instantFall = XmlGetTagBool(node, "instant_fall", defaults) ? 1 : 0;
    gravity = XmlGetTagInt(node, "gravity", defaults, gravity);
}

void GravitizeTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(triggerWidth);
    hasher.Add(triggerHight);
    hasher.Add(instantFall);
    hasher.Add(circleMode);
    hasher.Add(gravity);
}

// ---- Black hole --------------------------------------------------------------------------

BlackHoleTrap::BlackHoleTrap() : Trap(kKind)
{
    animating = 1;
}

gfx::RECT BlackHoleTrap::GetBounds() const
{
    return gfx::RECT{TruncToInt(x - 32.0f * scale_x), TruncToInt(y - 32.0f * scale_y), TruncToInt(x + 32.0f * scale_x),
                     TruncToInt(y + 32.0f * scale_y)};
}

void BlackHoleTrap::Update()
{
    if (!enabled)
        return;
    rotation -= 1.0f;
    if (rotation < 0.0f)
        rotation += 360.0f;
    AdvanceFrame();
    std::optional<FlimbList> near = TestContact(nullptr, 1, false, 0, 0, nullptr);
    if (!near)
        return;
    for (Flimb* flimb : *near)
        OnFlimbContact(flimb);
}

bool BlackHoleTrap::Reaches(const Flimb& flimb) const
{
    const float s = scale_y, f = flimb.scale;
    int32_t points[2][2] = {};
    const float lifts[2] = {13.0f, 32.0f};
    for (int i = 0; i < 2; ++i) {
        const float lift = lifts[i] * s * f;
        switch (flimb.gravity & 3) {
        case 1: points[i][0] = flimb.x, points[i][1] = TruncToInt(static_cast<float>(flimb.y) + lift); break;
        case 2: points[i][0] = TruncToInt(static_cast<float>(flimb.x) + lift), points[i][1] = flimb.y; break;
        case 3: points[i][0] = TruncToInt(static_cast<float>(flimb.x) - lift), points[i][1] = flimb.y; break;
        default: points[i][0] = flimb.x, points[i][1] = TruncToInt(static_cast<float>(flimb.y) - lift); break;
        }
    }
    const float reach = kReach * s;
    for (const auto& point : points) {
        const float dx = static_cast<float>(point[0]) - x, dy = static_cast<float>(point[1]) - y;
        if (std::sqrt(dx * dx + dy * dy) < reach)
            return true;
    }
    return false;
}

void BlackHoleTrap::OnFlimbContact(Flimb* flimb)
{
    // A disabled hole swallows nothing, whoever asks.
    if (!enabled || !flimb || !flimb->InWorld())
        return;
    if (flimb->type == kDrown || flimb->type == kNova || flimb->type == kShock)
        return;
    if (!Reaches(*flimb))
        return;
    if (IsPreviewFlimb(flimb)) {
        ClearInWorld(*flimb);
        return;
    }
    if (!(flimb->attributes & kAttrQuietEnd)) {
        FireEvent(0, flimb, false);
        if (audible)
            PlayEffectAt(kSwallowSound, flimb->x, flimb->y);
        if (ParticleManager::FullDetail()) {
            SpiralRecord spiral(EmitSpiral, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), 0.0f,
                                0.0f, 0.0f, flimb->gravity, 3, 3);
            AtomizeFlimbSprite(*flimb, true, false, &spiral, 3, 3);
        }
    }
    UncountFlimb(*flimb);
}

bool BlackHoleTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    scale_x = scale_y;
    return true;
}

void BlackHoleTrap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    Trap::Load(node, defaults, kTrapLoadAll);
    scale_x = scale_y;
    rotation = static_cast<float>(SimRand() % 360);
    const int start = SimRand();
    if (sprite && sprite->frameCount > 0)
        frame = static_cast<uint8_t>(start % sprite->frameCount);
}
