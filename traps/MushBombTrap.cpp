#include "traps/MushBombTrap.h"

#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindXml.h"
#include "world/BashTypes.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(MushBombTrap::kKind, [] { return std::unique_ptr<Trap>(new MushBombTrap); });

constexpr int kBlastSound = 21;
constexpr int kFreezeSound = 60;
constexpr int32_t kFrozenFlimbKind = 17;
constexpr const char* kRingImage = "Graphics\\Traps\\MushBomb\\mushbomb-ring.png";

const char* const kMushNames[MushBombTrap::kMushTypeCount] = {
    "Atomize", "Solidify", "Ice", "Fire", "Gravity Up", "Gravity Down", "Gravity Left", "Gravity Right",
    "Shrink", "Grow", "Stun", "Bridge"};
constexpr uint32_t kBlastColours[MushBombTrap::kMushTypeCount] = {
    0xFF111111u, 0xFF1111EEu, 0xFFEEEEEEu, 0xFFEE1111u, 0xFF808080u, 0xFF808080u,
    0xFF808080u, 0xFF808080u, 0xFF808080u, 0xFF808080u, 0xFF11EE11u, 0xFF808080u};

uint32_t BlastAlpha(uint32_t colour, int64_t a)
{
    return (colour & 0xFFFFFFu) | (static_cast<uint32_t>(std::clamp<int64_t>(a, 0, 255)) << 24);
}

} // namespace

MushBombTrap::MushBombTrap() : Trap(kKind) {}

MushBombTrap::~MushBombTrap()
{
    if (ringImage)
        ImageCache::ReleaseImage(ringImage);
}

void MushBombTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const MushBombTrap&>(source);
    periodCount = other.periodCount;
    maxRadius = other.maxRadius;
    radius = other.radius;
    radiusStep = other.radiusStep;
    mushType = other.mushType;
    period = other.period;
    exploding = other.exploding;
    liquidAdds = other.liquidAdds;
}

uint32_t MushBombTrap::BoundedPeriod(int64_t value)
{
    if (value <= 0)
        return 0;
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 10, 54000));
}

bool MushBombTrap::IsAffected(const Flimb* flimb) const
{
    const int32_t slot = FlimbSlot(flimb);
    return slot >= 0 && std::find(affected.begin(), affected.end(), slot) != affected.end();
}

void MushBombTrap::Activate(Flimb* /*by*/)
{
    activated = 1;
    periodCount = 0;
    exploding = 1;
    PlayEffectAt(kBlastSound, RoundToInt(x), RoundToInt(y));
}

void MushBombTrap::Deactivate()
{
    activated = 0;
    exploding = 0;
    radius = 0;
}

bool MushBombTrap::BlastReaches(int32_t px, int32_t py) const
{
    const int64_t cx = RoundToInt(x), cy = RoundToInt(y), r = radius;
    if (px < cx - r || px > cx + r || py < cy - r || py > cy + r)
        return false;
    const int64_t i = RoundToInt(static_cast<float>(radius) * 0.707106f);
    if (px > cx - i && px < cx + i && py > cy - i && py < cy + i)
        return true;
    const double dx = px - static_cast<double>(x), dy = py - static_cast<double>(y);
    return std::llround(std::sqrt(dx * dx + dy * dy)) < r;
}

std::optional<FlimbList> MushBombTrap::TestContact(Flimb* flimb, uint8_t /*filter*/, bool /*atPoint*/,
                                                   int32_t /*px*/, int32_t /*py*/, const gfx::RECT* /*area*/)
{
    if (!exploding)
        return std::nullopt;
    auto hit = [this](const Flimb& f) {
        const float lift = 25.0f * f.scale;
        float px = f.x, py = f.y;
        switch (f.gravity) {
        case 1: py += lift; break;
        case 2: px += lift; break;
        case 3: px -= lift; break;
        default: py -= lift; break;
        }
        return BlastReaches(static_cast<int32_t>(px), static_cast<int32_t>(py));
    };
    FlimbList hits;
    int32_t cursor = 0;
    while (Flimb* f = FindNextClearFlag(cursor))
        if (!IsAffected(f) && hit(*f))
            hits.push_back(f);
    if (flimb && hit(*flimb))
        hits.push_back(flimb);
    if (hits.empty())
        return std::nullopt;
    return hits;
}

void MushBombTrap::TakeOutOfWorld(Flimb& flimb) const
{
    flimb.flags = static_cast<uint8_t>(flimb.flags & ~kFlimbInWorld);
}

void MushBombTrap::Freeze(Flimb& flimb) const
{
    std::unique_ptr<Trap> ice = Trap::Create(kFrozenFlimbKind);
    if (!ice)
        return;
    static constexpr float kGravityAngles[4] = {0.0f, 180.0f, 270.0f, 90.0f};
    ice->SetRotation(kGravityAngles[flimb.gravity & 3]);
    ice->SetGroup(flimb.group);
    const int32_t timer = 196 + static_cast<int32_t>(SimRandom().Next() % 9);
    ice->TakeFrozenFlimb(flimb.energy, flimb.walkSpeed > 0 ? 1 : -1, flimb.scale, 1, timer, 2);
    ice->x = flimb.x;
    ice->y = flimb.y;
    ice->allow_fall = 1;
    RegisterTrap(std::move(ice));
    TakeOutOfWorld(flimb);
    PlayEffectAt(kFreezeSound, flimb.x, flimb.y);
}

void MushBombTrap::OnFlimbContact(Flimb* flimb)
{
    SimRandom().Seed(World().clock.updateCounter);
    if (!flimb || (flimb->attributes & kAttrQuietEnd))
        return;
    switch (mushType) {
    case kAtomize:
        AtomizeLand(flimb, true, liquidAdds != 0, nullptr, 1, 1);
        TakeOutOfWorld(*flimb);
        break;
    case kSolidify:
    case kBridge:
        if (Landscape* land = GameLandscape(); land && flimb->animation) {
            flimb->animation->SetFrame(flimb->frame);
            const float sx = flimb->walkSpeed > 0 ? flimb->scale : -flimb->scale;
            land->BashPrimitiveAt(flimb->animation, mushType == kSolidify ? 1 : 17, sx, flimb->scale, 0.0f,
                                  kAllMaterials, BashOptions{0, 0, 112}, 0xFF808080u, true, nullptr, flimb->x,
                                  flimb->y);
        }
        TakeOutOfWorld(*flimb);
        break;
    case kIce:
        Freeze(*flimb);
        break;
    case kFire:
        flimb->SetType(::kBurn, false, 0);
        break;
    case kStun:
        flimb->SetType(::kStun, false, 0);
        break;
    case kGravityUp:
    case kGravityDown:
    case kGravityLeft:
    case kGravityRight: {
        static constexpr uint8_t kTargets[4] = {1, 0, 2, 3};
        const uint8_t target = kTargets[mushType - kGravityUp];
        if (flimb->gravity == target)
            break;
        const int32_t frameHeight = flimb->animation ? flimb->animation->frameHeight : 0;
        const int32_t half = static_cast<int32_t>(static_cast<float>(frameHeight) * flimb->scale) / 2;
        switch (flimb->gravity) {
        case 1: flimb->y = static_cast<int16_t>(flimb->y + half); break;
        case 2: flimb->x = static_cast<int16_t>(flimb->x + half); break;
        case 3: flimb->x = static_cast<int16_t>(flimb->x - half); break;
        default: flimb->y = static_cast<int16_t>(flimb->y - half); break;
        }
        flimb->gravity = target;
        break;
    }
    case kShrink:
        if (flimb->scale == 1.0f)
            flimb->scale = 0.5f;
        else if (flimb->scale == 2.0f)
            flimb->scale = 1.0f;
        break;
    case kGrow:
        if (flimb->scale == 1.0f)
            flimb->scale = 2.0f;
        else if (flimb->scale == 0.5f)
            flimb->scale = 1.0f;
        break;
    default:
        break; // an unknown type from a file does nothing
    }
}

void MushBombTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    const int32_t slot = FlimbSlot(flimb);
    affected.erase(std::remove(affected.begin(), affected.end(), slot), affected.end());
}

void MushBombTrap::Update()
{
    drawExtra = 0;
    if (sprite && animating)
        AdvanceFrame();
    if (exploding) {
        const int64_t grown = static_cast<int64_t>(radius) + radiusStep;
        radius = static_cast<int32_t>(std::min<int64_t>(grown, maxRadius));
        if (std::optional<FlimbList> hits = TestContact(nullptr, 1, false, 0, 0, nullptr)) {
            for (Flimb* flimb : *hits) {
                OnFlimbContact(flimb);
                if (flimb->InWorld())
                    affected.push_back(FlimbSlot(flimb));
            }
        }
        if (radius >= maxRadius) {
            exploding = 0;
            radius = 0;
        }
    } else if (period > 0) {
        const bool due = periodCount >= period;
        ++periodCount;
        if (due) {
            periodCount = 0;
            exploding = 1;
            affected.clear();
        }
    } else {
        FlimbList touching = FindFlimbsAtPoint(RoundToInt(x), RoundToInt(y), true);
        if (!touching.empty()) {
            for (Flimb* flimb : touching) {
                AtomizeLand(flimb, false, false, nullptr, 1, 1);
                TakeOutOfWorld(*flimb);
            }
            exploding = 1;
            FireEvent(0, touching.front(), false);
            affected.clear();
        }
    }
}

void MushBombTrap::ExtraPass()
{
    if (!exploding)
        return;
    if (Controller().alternateFrame)
        drawExtra = radiusStep / 2;
    const int64_t r = static_cast<int64_t>(radius) + drawExtra;
    // The blast is drawn in world pixels through the game view.
    const ScreenPlacement placed = PlaceOnScreen(static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)));
    const float px = placed.x, py = placed.y, zoom = placed.scale;
    const uint32_t colour = kBlastColours[std::clamp(mushType, 0, kMushTypeCount - 1)];
    // A zero maximum would divide by zero: the blast then draws at its faintest.
    const double share = maxRadius > 0 ? static_cast<double>(r) / maxRadius : 1.0;
    if (r + 2 > 0)
        Draw2D::DrawCircle(static_cast<float>(r + 2) * zoom, px, py, BlastAlpha(colour, 0x22));
    if (r + 1 > 0)
        Draw2D::DrawCircle(static_cast<float>(r + 1) * zoom, px, py, BlastAlpha(colour, 0x44));
    if (r > 0)
        Draw2D::DrawCircle(static_cast<float>(r) * zoom, px, py, BlastAlpha(colour, 0xFF));
    const int64_t c = static_cast<int64_t>(static_cast<double>(r) * 0.15625);
    for (int64_t k = 1; k <= c && r - 2 * k > 0; ++k) {
        const int64_t ak = static_cast<int64_t>(255.0 - 255.0 * static_cast<double>(k) / static_cast<double>(c));
        Draw2D::DrawCircle(static_cast<float>(r - 2 * k) * zoom, px, py,
                   BlastAlpha(colour, static_cast<int64_t>(static_cast<double>(ak) * (1.0 - 0.5 * share))));
    }
    if (ringImage && ringImage->bitmap && r > 0) {
        Draw2D::SignedAddScope signedAdd;
        const float outer = static_cast<float>(r) * zoom;
        const float inner = std::max(0.0f, outer - 0.15625f * outer);
        const float start = static_cast<float>((World().clock.updateCounter % 360) * 5);
        Draw2D::DrawTexturedRing(ringImage->bitmap->texture, inner, outer,
                         BlastAlpha(colour, static_cast<int64_t>(255.0 - 196.0 * share)), start, px, py);
    }
}

std::unique_ptr<LayoutPanel> MushBombTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    std::vector<std::string> names;
    for (const char* name : kMushNames)
        names.push_back(TranslateText(name));
    panel->AddChoice(TranslateText("Type"), "mush_type", names, std::clamp(mushType, 0, kMushTypeCount - 1));
    panel->AddSlider(TranslateText("Max Radius"), "max_radius", static_cast<float>(maxRadius), 2000.0f, 0.0f,
                     TranslateText("Maximum radius of explosion (in pixels)"));
    panel->AddSlider(TranslateText("Speed"), "radius_inc", static_cast<float>(radiusStep), 50.0f, 0.0f,
                     TranslateText("Speed of explosion (px per update)"));
    panel->AddTextField(TranslateText("Period"), "explode_period", "%d", period,
                        TranslateText("Auto-explode every X number of updates (0 = never)"));
    panel->AddCheckBox(TranslateText("Atomize Adds"), "liquid_adds", liquidAdds != 0,
                       TranslateText("When atomized, do the particles add to land"));
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    return panel;
}

bool MushBombTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("max_radius", maxRadius);
    if (panel->ReadInt("radius_inc", radiusStep))
        radiusStep = std::clamp(radiusStep, 1, 50);
    int32_t typed = static_cast<int32_t>(period);
    if (panel->ReadInt("explode_period", typed))
        period = static_cast<uint32_t>(std::max(typed, 0));
    period = BoundedPeriod(period);
    panel->ReadInt("mush_type", mushType);
    panel->ReadChecked("liquid_adds", liquidAdds);
    return true;
}

void MushBombTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "radius", maxRadius);
    AppendKindChild(node, "speed", radiusStep);
    AppendKindChild(node, "period", period);
    AppendKindChild(node, "mush_type", mushType);
    AppendKindChild(node, "liquid_adds", liquidAdds);
}

void MushBombTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    maxRadius = XmlGetTagInt(node, "radius", defaults, maxRadius);
    radiusStep = XmlGetTagInt(node, "speed", defaults, radiusStep);
    if (radiusStep <= 0)
        radiusStep = 1;
    period = static_cast<uint32_t>(XmlGetTagInt(node, "period", defaults, static_cast<int32_t>(period)));
    mushType = XmlGetTagInt(node, "mush_type", defaults, mushType);
    liquidAdds = XmlGetTagInt(node, "liquid_adds", defaults, 0) != 0 ? 1 : 0;
}

void MushBombTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    if (ringImage) {
        ImageCache::ReleaseImage(ringImage);
        ringImage = nullptr;
    }
}

void MushBombTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("bomb", kind);
    if (!ringImage && fileManager && fileManager->Exists(kRingImage, -1))
        ringImage = ImageCache::GetImage(kRingImage);
}

void MushBombTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(periodCount);
    hasher.Add(maxRadius);
    hasher.Add(radius);
    hasher.Add(radiusStep);
    hasher.Add(mushType);
    hasher.Add(period);
    hasher.Add(exploding);
    hasher.Add(liquidAdds);
    hasher.Add(static_cast<uint32_t>(affected.size()));
    for (int32_t slot : affected)
        hasher.Add(slot);
}
