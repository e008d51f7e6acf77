#include "traps/ShockTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

const TrapKindRegistration kRegistration(ShockTrap::kKind, [] { return std::unique_ptr<Trap>(new ShockTrap()); });

constexpr uint32_t kFlashUpdates = 10;
constexpr int kTrapMaterial = 5;

bool Recent(uint32_t stamp, uint32_t now)
{
    return stamp > 0 && now - stamp < kFlashUpdates;
}

bool PointInRect(const gfx::RECT& r, int32_t px, int32_t py)
{
    return px >= r.left && px < r.right && py >= r.top && py < r.bottom;
}

// The segment crosses one of the rectangle's edges or has an end inside it.
bool SegmentTouchesRect(const ShockTrap::Segment& s, const gfx::RECT& r)
{
    if (PointInRect(r, s.x1, s.y1) || PointInRect(r, s.x2, s.y2))
        return true;
    const float x1 = static_cast<float>(s.x1), y1 = static_cast<float>(s.y1);
    const float x2 = static_cast<float>(s.x2), y2 = static_cast<float>(s.y2);
    const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
    const float rr = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
    return SegmentsIntersect(x1, y1, x2, y2, l, t, rr, t) == 1 || SegmentsIntersect(x1, y1, x2, y2, rr, t, rr, b) == 1 ||
           SegmentsIntersect(x1, y1, x2, y2, l, b, rr, b) == 1 || SegmentsIntersect(x1, y1, x2, y2, l, t, l, b) == 1;
}

} // namespace

ShockTrap::ShockTrap() : Trap(kKind) {}

ShockTrap::~ShockTrap()
{
    ShockTrap::ReleaseGraphics();
}

int32_t ShockTrap::SectionLength() const
{
    if (!sprite || sprite->boundsMaxY < sprite->boundsMinY)
        return 0;
    return std::max(0, TruncToInt(static_cast<float>(sprite->boundsMaxY - sprite->boundsMinY - 1) * scale_y));
}

void ShockTrap::ContactSegments(Segment& first, Segment& second) const
{
    const int32_t half = sections * SectionLength() / 2 + 5;
    const float length = static_cast<float>(half);
    // atan(14 / L) in degrees, from the table.
    const float a = Atan2Deg(14.0f, length);
    // The column's +y axis turned by the rotation is (-sin, cos), as the drawing turns it.
    auto segment = [&](float tilt) {
        const float s1 = SinDegF(rotation + tilt), c1 = CosDegF(rotation + tilt);
        const float s2 = SinDegF(rotation - tilt), c2 = CosDegF(rotation - tilt);
        return Segment{TruncToInt(x + static_cast<float>(RoundToInt(length * s1))),
                       TruncToInt(y - static_cast<float>(RoundToInt(length * c1))),
                       TruncToInt(x - static_cast<float>(RoundToInt(length * s2))),
                       TruncToInt(y + static_cast<float>(RoundToInt(length * c2)))};
    };
    first = segment(-a * scale_x);
    second = segment(a * scale_x);
}

std::optional<FlimbList> ShockTrap::TestContact(Flimb* flimb, uint8_t /*filter*/, bool /*atPoint*/, int32_t /*px*/,
                                                int32_t /*py*/, const gfx::RECT* /*area*/)
{
    Segment segments[2];
    ContactSegments(segments[0], segments[1]);
    if (!flimb) {
        for (const Segment& s : segments) {
            FlimbList found = FindFlimbsCrossingSegment(static_cast<float>(s.x1), static_cast<float>(s.y1),
                                                        static_cast<float>(s.x2), static_cast<float>(s.y2));
            if (!found.empty())
                return found;
        }
        return std::nullopt;
    }
    const gfx::RECT own = flimb->GetCurrentSprite();
    for (const Segment& s : segments)
        if (SegmentTouchesRect(s, own))
            return FlimbList{flimb};
    return std::nullopt;
}

void ShockTrap::Activate(Flimb* by)
{
    if (by)
        OnFlimbContact(by);
}

void ShockTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb || !flimb->IsAlive())
        return;
    if (flimb->type == kNova || flimb->type == kDrown || flimb->type == kShock)
        return;
    if (!(flimb->attributes & kAttrQuietEnd))
        lastShock = World().clock.updateCounter;
    flimb->SetType(kShock, false, 0);
}

void ShockTrap::Update()
{
    const uint32_t now = World().clock.updateCounter;
    const int32_t count = std::clamp(sections, 1, kMaxSections);
    const int32_t every = 300 / count;
    if (SimRand() % every == 0) {
        sparkSection = SimRand() % count;
        lastSpark = now;
    }
    if (Recent(lastShock, now) || Recent(lastSpark, now)) {
        zapFrame += 1;
        zapFrame += zapFrame & 1;
        if (!zapSheet || zapFrame >= zapSheet->frameCount)
            zapFrame = 0;
    }
    if (auto touching = TestContact(nullptr, 1, false, 0, 0, nullptr)) {
        if (!touching->empty()) {
            Flimb* first = touching->front();
            if (audible)
                PlayEffectAt(6, first->x, first->y);
            FireEvent(0, first, false);
        }
        for (Flimb* flimb : *touching)
            OnFlimbContact(flimb);
    }
}

gfx::RECT ShockTrap::GetBounds() const
{
    // The base box of the sprite stretched over the column.
    auto& self = const_cast<ShockTrap&>(*this);
    const float keptX = self.scale_x, keptY = self.scale_y;
    self.scale_y = keptY * static_cast<float>(sections) * 0.55f;
    self.scale_x = keptX * 0.7f;
    const gfx::RECT bounds = Trap::GetBounds();
    self.scale_x = keptX;
    self.scale_y = keptY;
    return bounds;
}

void ShockTrap::AlongColumn(float distance, float& px, float& py) const
{
    px = x - distance * SinDegF(rotation);
    py = y + distance * CosDegF(rotation);
}

void ShockTrap::Draw()
{
    if (!sprite)
        return;
    const uint32_t now = World().clock.updateCounter;
    const float length = static_cast<float>(SectionLength());
    const float radians = rotation * 3.1415927410125732f / 180.0f;
    const bool flashing = Recent(lastShock, now);
    const bool sparking = Recent(lastSpark, now);
    // Drawing works on a copy of the lightning frame.
    const int zap = PairedDisplayFrame(zapSheet, zapFrame);
    {
        Draw2D::SignedAddScope signedAdd;
        SheetDraw section;
        section.scaleX = scale_x;
        section.scaleY = scale_y;
        section.radians = radians;
        section.colour = tint;
        section.alpha = alpha;
        for (int32_t i = 0; i < sections; ++i) {
            float px = 0, py = 0;
            AlongColumn((static_cast<float>(i) - static_cast<float>(sections - 1) / 2.0f) * length, px, py);
            DrawSheet(sprite, px, py, section);
            if (zapSheet && (flashing || (sparking && i == sparkSection))) {
                SheetDraw bolt = section;
                bolt.frame = zap;
                bolt.scaleX = (DrawRand() & 1 ? -1.0f : 1.0f) * scale_x;
                bolt.scaleY = (DrawRand() & 1 ? -1.0f : 1.0f) * scale_y;
                DrawSheet(zapSheet, px, py, bolt);
            }
        }
    }
    const float reach = static_cast<float>(sections * SectionLength() / 2);
    SheetDraw end;
    end.scaleX = scale_x;
    end.scaleY = scale_y;
    end.radians = radians;
    end.colour = 0xFFFFFF;
    end.alpha = alpha;
    float px = 0, py = 0;
    AlongColumn(reach, px, py);
    DrawSheet(bottomSheet, static_cast<float>(TruncToInt(px)), static_cast<float>(TruncToInt(py)), end);
    AlongColumn(-reach, px, py);
    DrawSheet(topSheet, static_cast<float>(TruncToInt(px)), static_cast<float>(TruncToInt(py)), end);
}

void ShockTrap::StampIntoLandscape(Landscape& landscape, float factor)
{
    const uint32_t affected = zorder ? static_cast<uint32_t>(-7) : static_cast<uint32_t>(-1);
    const float length = static_cast<float>(SectionLength());
    auto stamp = [&](const AnimSurface* image, float distance, uint32_t colour) {
        if (!image)
            return;
        float px = 0, py = 0;
        AlongColumn(distance, px, py);
        landscape.BashPrimitive(image, kTrapMaterial, scale_x * factor, scale_y * factor, rotation, affected,
                                BashOptions{}, colour, false, nullptr, x * factor + (px - x) * factor,
                                y * factor + (py - y) * factor);
    };
    for (int32_t i = 0; i < sections; ++i)
        stamp(sprite, (static_cast<float>(i) - static_cast<float>(sections - 1) / 2.0f) * length,
              0xFF000000u | (tint & 0xFFFFFFu));
    const float reach = static_cast<float>(sections * SectionLength() / 2);
    stamp(bottomSheet, reach, 0xFF808080u);
    stamp(topSheet, -reach, 0xFF808080u);
}

std::unique_ptr<LayoutPanel> ShockTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Sections"), "sections", "%d", sections, std::string());
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    return panel;
}

bool ShockTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("sections", sections))
        sections = std::clamp(sections, 1, kMaxSections);
    return true;
}

void ShockTrap::Save(xmlNode* node) const
{
    if (!node)
        return;
    Trap::Save(node);
    AppendTrapInt(node, "sections", sections);
}

void ShockTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    const int32_t read = XmlGetTagInt(node, "sections", defaults, sections);
    // 0 would divide by zero and more than 300 take a modulo by zero in the spark draw.
    sections = std::clamp(read, 1, kMaxSections);
    if (sections != read)
        WriteLog("Shock trap %u: sections %d kept within 1..%d\n", id, read, kMaxSections);
}

void ShockTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(topSheet);
    ReleaseSheet(bottomSheet);
    ReleaseSheet(zapSheet);
}

void ShockTrap::LoadGraphics()
{
    if (!sprite) {
        sprite = LoadTrapSprites("off", kind);
        if (sprite)
            sprite->FindImageBounds();
    }
    if (!topSheet)
        topSheet = LoadTrapSprites("top", kind);
    if (!bottomSheet)
        bottomSheet = LoadTrapSprites("bottom", kind);
    if (!zapSheet)
        zapSheet = LoadTrapSprites("zap", kind);
}

void ShockTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(sections);
    hasher.Add(lastShock);
    hasher.Add(lastSpark);
    hasher.Add(sparkSection);
}

void ShockTrap::CopyKindFields(const Trap& source)
{
    const auto& from = static_cast<const ShockTrap&>(source);
    sections = from.sections;
    lastShock = from.lastShock;
    lastSpark = from.lastSpark;
    sparkSection = from.sparkSection;
    zapFrame = from.zapFrame;
}
