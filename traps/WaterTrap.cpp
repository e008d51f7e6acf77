#include "traps/WaterTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/ViewServices.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"
#include "world/TrapSpecs.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(WaterTrap::kKind, [] { return std::unique_ptr<Trap>(new WaterTrap()); });

struct LiquidType {
    const char* front;
    const char* back;
    const char* solid;
    const char* gradient;
    int32_t contactInset;
    int32_t backOffset;
    int sound;
};

constexpr LiquidType kTypes[3] = {
    {"front", "back", "solid", "gradient", 11, 10, 7},
    {"acid-front", "acid-back", "acid-solid", "acid-gradient", 18, 14, 57},
    {"lava-front", "lava-back", "lava-solid", "lava-gradient", 2, 10, 55},
};

constexpr int kTrapMaterial = 5;

bool IntersectsView(const gfx::RECT& rect)
{
    const gfx::RECT view = VisibleWorldRect();
    gfx::RECT ignored;
    return gfx::IntersectRect(&ignored, &rect, &view) != 0;
}

} // namespace

WaterTrap::WaterTrap() : Trap(kKind)
{
    animating = 1;
    frame = 0;
}

WaterTrap::~WaterTrap()
{
    WaterTrap::ReleaseGraphics();
}

void WaterTrap::SetScale(float sx, float sy)
{
    scale_x = std::fabs(sx);
    scale_y = std::fabs(sy);
}

int32_t WaterTrap::BodyWidth() const
{
    return TruncToInt(static_cast<float>(sizex) * scale_x);
}

int32_t WaterTrap::BodyHeight() const
{
    return TruncToInt(static_cast<float>(sizey) * scale_y);
}

gfx::RECT WaterTrap::GetBounds() const
{
    const gfx::RECT offsets{0, -(RoundToInt(tide_offset) + BodyHeight()), BodyWidth(), 0};
    return RotateRectByDirection(offsets, TrapGravityDirection(*this), RoundToInt(x), RoundToInt(y));
}

gfx::RECT WaterTrap::ContactRect() const
{
    gfx::RECT rect = GetBounds();
    if (!KnownType())
        return rect;
    // The surface side moves in by the inset, whichever way gravity turns the body.
    const gfx::RECT margins{0, kTypes[water_type].contactInset, 0, 0};
    InsetRectByDirection(margins, TrapGravityDirection(*this), rect);
    return rect;
}

void WaterTrap::Activate(Flimb* by)
{
    if (!by)
        return;
    push_out = 0;
    OnFlimbContact(by);
    push_out = 1;
}

std::optional<FlimbList> WaterTrap::TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                                const gfx::RECT* /*area*/)
{
    const gfx::RECT rect = ContactRect();
    return Trap::TestContact(flimb, filter, atPoint, px, py, &rect);
}

void WaterTrap::StepTide()
{
    if (tide_base == hightide || changetime == 0)
        return;
    const uint32_t now = World().clock.updateCounter;
    switch (tide_state) {
    case 0:
        if (now > tide_stamp + static_cast<uint32_t>(hightime)) {
            tide_rising = 0;
            tide_state = 1;
            tide_stamp = now;
        }
        break;
    case 1: {
        const float sign = tide_rising ? 1.0f : -1.0f;
        tide_offset += sign * static_cast<float>(tide_base - hightide) / static_cast<float>(changetime);
        if (now > tide_stamp + static_cast<uint32_t>(changetime)) {
            tide_state = tide_rising ? 0 : 2;
            tide_stamp = now;
        }
        break;
    }
    case 2:
        if (now > tide_stamp + static_cast<uint32_t>(lowtime)) {
            tide_rising = 2;
            tide_state = 1;
            tide_stamp = now;
        }
        break;
    default:
        break;
    }
}

void WaterTrap::Update()
{
    AdvanceFrame();
    StepTide();
    if (auto touching = TestContact(nullptr, 1, false, 0, 0, nullptr))
        for (Flimb* flimb : *touching)
            OnFlimbContact(flimb);
}

void WaterTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb || !flimb->IsAlive())
        return;
    const uint8_t type = flimb->type;
    if (type == kBurn || type == kDrown || type == kNova || type == kShock)
        return;
    if (flimb->attributes & kAttrQuietEnd)
        return;
    // A liquid of no known type is inert.
    if (!KnownType())
        return;
    FireEvent(0, flimb, false);
    const LiquidType& liquid = kTypes[water_type];
    if (audible)
        PlayEffectAt(liquid.sound, flimb->x, flimb->y);
    if (water_type == 0) {
        flimb->SetType(kDrown);
    } else if (water_type == 2) {
        flimb->SetType(kBurn);
    } else {
        SpawnParticlesFromImage(flimb->animation, flimb->frame, flimb->x, flimb->y, flimb->gravity, flimb->scale,
                                flimb->scale);
        UncountFlimb(*flimb);
    }
    if (push_out) {
        int32_t dx = 0, dy = 30;
        RotateVectorByDirection(TrapGravityDirection(*this), dx, dy);
        flimb->targetX = static_cast<int16_t>(flimb->x + dx);
        flimb->targetY = static_cast<int16_t>(flimb->y + dy);
    }
}

void WaterTrap::DrawLiquid(AnimSurface* surface, AnimSurface* gradient, AnimSurface* solid, int32_t offset)
{
    if (!surface || surface->frameWidth <= 0)
        return;
    Draw2D::SignedAddScope signedAdd;
    const float snapped = SnapRotation90();
    const uint8_t direction = AngleToDirection(static_cast<int32_t>(snapped));
    const float radians = snapped * 3.1415927410125732f / 180.0f;
    const int32_t ax = RoundToInt(x), ay = RoundToInt(y);
    const int32_t width = BodyWidth();
    // Local coordinates (direction 0) from the anchor; the surface line is the body's top.
    const float surfaceY = -static_cast<float>(RoundToInt(tide_offset) + BodyHeight()) -
                           static_cast<float>(offset) * scale_y;
    auto place = [&](float lx, float ly, float& wx, float& wy) {
        int32_t vx = TruncToInt(lx), vy = TruncToInt(ly);
        RotateVectorByDirection(direction, vx, vy);
        wx = static_cast<float>(ax + vx);
        wy = static_cast<float>(ay + vy);
    };
    auto tileVisible = [&](float lx, float tileWidth, float top, float bottom) {
        const gfx::RECT local{TruncToInt(lx), TruncToInt(top), TruncToInt(lx + tileWidth) + 1, TruncToInt(bottom) + 1};
        return IntersectsView(RotateRectByDirection(local, direction, ax, ay));
    };

    const float tileWidth = static_cast<float>(surface->frameWidth) * scale_x;
    const float surfaceTop = surfaceY - static_cast<float>(surface->hotspotY) * scale_y;
    const float surfaceBottom = surfaceTop + static_cast<float>(surface->frameHeight) * scale_y;
    SheetDraw how;
    how.frame = frame;
    how.scaleX = scale_x;
    how.scaleY = scale_y;
    how.radians = radians;
    how.colour = tint;
    how.alpha = alpha;
    const int32_t whole = tileWidth >= 1.0f ? TruncToInt(static_cast<float>(width) / tileWidth) : 0;
    float wx = 0, wy = 0;
    for (int32_t i = 0; i < whole; ++i) {
        const float lx = static_cast<float>(i) * tileWidth;
        if (!tileVisible(lx, tileWidth, surfaceTop, surfaceBottom))
            continue;
        place(lx, surfaceY, wx, wy);
        DrawSheet(surface, wx, wy, how);
    }
    const float done = static_cast<float>(whole) * tileWidth;
    const float rest = static_cast<float>(width) - done;
    if (rest >= 1.0f && tileVisible(done, rest, surfaceTop, surfaceBottom)) {
        const gfx::RECT part{0, 0, std::max(1, TruncToInt(rest / scale_x)), surface->frameHeight};
        how.part = &part;
        place(done, surfaceY, wx, wy);
        DrawSheet(surface, wx, wy, how);
        how.part = nullptr;
    }
    float below = surfaceBottom;
    if (gradient && gradient->frameWidth > 0) {
        SheetDraw band = how;
        band.frame = 0;
        band.scaleX = static_cast<float>(width) / static_cast<float>(gradient->frameWidth);
        const float top = surfaceBottom;
        below = top + static_cast<float>(gradient->frameHeight) * scale_y;
        if (tileVisible(0, static_cast<float>(width), top, below)) {
            place(static_cast<float>(gradient->hotspotX) * band.scaleX,
                  top + static_cast<float>(gradient->hotspotY) * scale_y, wx, wy);
            DrawSheet(gradient, wx, wy, band);
        }
    }
    if (solid && solid->frameWidth > 0 && solid->frameHeight > 0) {
        const float height = 0.0f - below;
        if (height >= 1.0f && tileVisible(0, static_cast<float>(width), below, 0.0f)) {
            SheetDraw fill = how;
            fill.frame = 0;
            fill.scaleX = static_cast<float>(width) / static_cast<float>(solid->frameWidth);
            fill.scaleY = height / static_cast<float>(solid->frameHeight);
            place(static_cast<float>(solid->hotspotX) * fill.scaleX,
                  below + static_cast<float>(solid->hotspotY) * fill.scaleY, wx, wy);
            DrawSheet(solid, wx, wy, fill);
        }
    }
}

void WaterTrap::Draw()
{
    DrawLiquid(sprite, gradient_sheet, solid_sheet, 0);
}

void WaterTrap::DrawBack()
{
    if (KnownType())
        DrawLiquid(back_sheet, nullptr, nullptr, kTypes[water_type].backOffset);
}

std::unique_ptr<LayoutPanel> WaterTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddSlider(TranslateText("Width"), "sizex", static_cast<float>(sizex), 2048.0f, 10.0f, std::string());
    panel->AddSlider(TranslateText("Height"), "sizey", static_cast<float>(sizey), 512.0f, 112.0f, std::string());
    panel->AddSlider(TranslateText("Hide Tide"), "miny", static_cast<float>(hightide), 256.0f, 0.0f, std::string());
    panel->AddTextField(TranslateText("High Time"), "mintime", "%d", hightime,
                        TranslateText("How long to stay high (# of updates)"));
    panel->AddTextField(TranslateText("Low Time"), "maxtime", "%d", lowtime,
                        TranslateText("How long to stay low (# of updates)"));
    panel->AddTextField(TranslateText("Change Time"), "changetime", "%d", changetime,
                        TranslateText("How long to go from low to high (# of updates)"));
    panel->AddChoice(TranslateText("Type"), "water_type",
                     {TranslateText("Water"), TranslateText("Acid"), TranslateText("Lava")},
                     std::clamp(water_type, 0, 2));
    return panel;
}

bool WaterTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("sizex", sizex);
    panel->ReadInt("sizey", sizey);
    panel->ReadInt("miny", hightide);
    for (auto [key, field] : {std::pair{"mintime", &hightime}, {"maxtime", &lowtime}, {"changetime", &changetime}}) {
        if (panel->ReadInt(key, *field))
            *field = std::clamp(*field, 1, 9999);
    }
    if (panel->ReadInt("water_type", water_type)) {
        ReleaseGraphics();
        LoadGraphics();
    }
    scale_y = scale_x;
    return true;
}

void WaterTrap::Save(xmlNode* node) const
{
    if (!node)
        return;
    Trap::Save(node);
    AppendTrapInt(node, "sizex", sizex);
    AppendTrapInt(node, "sizey", sizey);
    AppendTrapInt(node, "hightide", hightide);
    AppendTrapInt(node, "hightime", hightime);
    AppendTrapInt(node, "lowtime", lowtime);
    AppendTrapInt(node, "changetime", changetime);
    AppendTrapInt(node, "water_type", water_type);
}

void WaterTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    sizex = XmlGetTagInt(node, "sizex", defaults, sizex);
    if (sizex <= 20) {
        AnimSurface* front = sprite;
        AnimSurface* loaded = nullptr;
        if (!front)
            front = loaded = LoadTrapSprites("front", kind);
        const int32_t tile = front ? front->frameWidth : 0;
        ReleaseSheet(loaded);
        sizex = static_cast<int32_t>(std::clamp<int64_t>(int64_t(sizex) * tile, INT32_MIN, INT32_MAX));
    }
    sizey = XmlGetTagInt(node, "sizey", defaults, sizey);
    hightime = XmlGetTagInt(node, "hightime", defaults, hightime);
    lowtime = XmlGetTagInt(node, "lowtime", defaults, lowtime);
    hightide = XmlGetTagInt(node, "hightide", defaults, hightide);
    changetime = XmlGetTagInt(node, "changetime", defaults, changetime);
    water_type = XmlGetTagInt(node, "water_type", defaults, water_type);
    // A hostile file must not stall the draw or the stamp.
    const int32_t keptX = std::clamp(sizex, 0, kMaxExtent), keptY = std::clamp(sizey, 0, kMaxExtent);
    if (keptX != sizex || keptY != sizey)
        WriteLog("Water trap %u: size %d x %d kept within 0..%d\n", id, sizex, sizey, kMaxExtent);
    sizex = keptX;
    sizey = keptY;
    scale_y = scale_x;
    ReleaseGraphics();
    LoadGraphics();
}

void WaterTrap::ResetToStart(int32_t loadMode)
{
    if (loadMode != kLoadModeGame)
        return;
    tide_offset = y;
    tide_base = TruncToInt(y);
}

void WaterTrap::StampIntoLandscape(Landscape& landscape, float factor)
{
    SetScale(scale_x * factor, scale_y * factor);
    x = static_cast<float>(RoundToInt(x * factor));
    y = static_cast<float>(RoundToInt(y * factor));
    if (!sprite || sprite->frameWidth <= 0)
        return;
    const uint32_t affected = zorder ? static_cast<uint32_t>(-7) : static_cast<uint32_t>(-1);
    const uint32_t colour = 0xFF000000u | (tint & 0xFFFFFFu);
    const float snapped = SnapRotation90();
    const uint8_t direction = AngleToDirection(static_cast<int32_t>(snapped));
    const int32_t ax = RoundToInt(x), ay = RoundToInt(y);
    const int32_t width = BodyWidth();
    const float surfaceY = -static_cast<float>(RoundToInt(tide_offset) + BodyHeight());
    auto stamp = [&](const AnimSurface* image, float sx, float sy, const BashRect* inset, float lx, float ly) {
        int32_t vx = TruncToInt(lx), vy = TruncToInt(ly);
        RotateVectorByDirection(direction, vx, vy);
        landscape.BashPrimitive(image, kTrapMaterial, sx, sy, snapped, affected, BashOptions{}, colour, false, inset,
                                static_cast<float>(ax + vx), static_cast<float>(ay + vy));
    };
    const float tileWidth = static_cast<float>(sprite->frameWidth) * scale_x;
    const int32_t whole = tileWidth >= 1.0f ? TruncToInt(static_cast<float>(width) / tileWidth) : 0;
    sprite->SetFrame(frame);
    for (int32_t i = 0; i < whole; ++i)
        stamp(sprite, scale_x, scale_y, nullptr, static_cast<float>(i) * tileWidth, surfaceY);
    const float done = static_cast<float>(whole) * tileWidth;
    const float rest = static_cast<float>(width) - done;
    if (rest > 0.0f) {
        BashRect inset;
        inset.right = std::max(0, sprite->frameWidth - std::max(1, TruncToInt(rest / scale_x)));
        stamp(sprite, scale_x, scale_y, &inset, done, surfaceY);
    }
    float below = surfaceY + static_cast<float>(sprite->frameHeight - sprite->hotspotY) * scale_y;
    if (gradient_sheet && gradient_sheet->frameWidth > 0) {
        const float sx = static_cast<float>(width) / static_cast<float>(gradient_sheet->frameWidth);
        stamp(gradient_sheet, sx, scale_y, nullptr, static_cast<float>(gradient_sheet->hotspotX) * sx,
              below + static_cast<float>(gradient_sheet->hotspotY) * scale_y);
        below += static_cast<float>(gradient_sheet->frameHeight) * scale_y;
    }
    const float height = -below;
    if (solid_sheet && solid_sheet->frameWidth > 0 && solid_sheet->frameHeight > 0 && height > 0.0f) {
        const float sx = static_cast<float>(width) / static_cast<float>(solid_sheet->frameWidth);
        const float sy = height / static_cast<float>(solid_sheet->frameHeight);
        stamp(solid_sheet, sx, sy, nullptr, static_cast<float>(solid_sheet->hotspotX) * sx,
              below + static_cast<float>(solid_sheet->hotspotY) * sy);
    }
}

void WaterTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(back_sheet);
    ReleaseSheet(gradient_sheet);
    ReleaseSheet(solid_sheet);
}

void WaterTrap::LoadGraphics()
{
    if (!KnownType())
        return;
    const LiquidType& liquid = kTypes[water_type];
    if (!sprite)
        sprite = LoadTrapSprites(liquid.front, kind);
    if (!back_sheet)
        back_sheet = LoadTrapSprites(liquid.back, kind);
    if (!solid_sheet)
        solid_sheet = LoadTrapSprites(liquid.solid, kind);
    if (!gradient_sheet)
        gradient_sheet = LoadTrapSprites(liquid.gradient, kind);
}

void WaterTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(water_type);
    hasher.Add(sizex);
    hasher.Add(sizey);
    hasher.Add(push_out);
    hasher.Add(tide_base);
    hasher.Add(hightide);
    hasher.Add(hightime);
    hasher.Add(lowtime);
    hasher.Add(changetime);
    hasher.Add(tide_offset);
    hasher.Add(tide_state);
    hasher.Add(tide_rising);
    hasher.Add(tide_stamp);
}

void WaterTrap::CopyKindFields(const Trap& source)
{
    const auto& from = static_cast<const WaterTrap&>(source);
    water_type = from.water_type;
    sizex = from.sizex;
    sizey = from.sizey;
    push_out = from.push_out;
    tide_base = from.tide_base;
    hightide = from.hightide;
    hightime = from.hightime;
    lowtime = from.lowtime;
    changetime = from.changetime;
    tide_offset = from.tide_offset;
    tide_state = from.tide_state;
    tide_rising = from.tide_rising;
    tide_stamp = from.tide_stamp;
}
