#include "traps/TelePortTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapObject.h"
#include "levelmodel/MapTrap.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(TelePortTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new TelePortTrap()); });

const char* const kModeNames[3] = {"Absolute", "Relative", "RelativeLocal"};
constexpr int kBaseMaterial = 2;
constexpr int kTrapMaterial = 5;
constexpr uint32_t kNeutralTint = 0xFF808080u;

int16_t ToCoordinate(int64_t v)
{
    return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

} // namespace

TelePortTrap::TelePortTrap() : Trap(kKind)
{
    animating = 1;
}

TelePortTrap::~TelePortTrap()
{
    TelePortTrap::ReleaseGraphics();
    pending.clear();
}

const char* TelePortTrap::ModeName(int32_t value)
{
    return value >= 0 && value < 3 ? kModeNames[value] : kModeNames[0];
}

void TelePortTrap::MoveToDestination(Flimb& flimb) const
{
    int64_t nx = flimb.x, ny = flimb.y;
    switch (mode) {
    case kAbsolute:
        nx = destx;
        ny = desty;
        break;
    case kRelative:
        nx += destx;
        ny += desty;
        break;
    case kRelativeLocal:
        nx += flimb.walkSpeed > 0 ? destx : -static_cast<int64_t>(destx);
        ny += desty;
        break;
    default:
        break;
    }
    flimb.x = flimb.prevX = ToCoordinate(nx);
    flimb.y = flimb.prevY = ToCoordinate(ny);
}

void TelePortTrap::ContactPoint(int32_t& px, int32_t& py) const
{
    const int32_t d = TruncToInt(scale_y * 25.0f);
    px = TruncToInt(x);
    py = TruncToInt(y);
    switch (TrapGravityDirection(*this)) {
    case 1: py += d; break;
    case 2: px += d; break;
    case 3: px -= d; break;
    default: py -= d; break;
    }
}

std::optional<FlimbList> TelePortTrap::TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px,
                                                   int32_t py, const gfx::RECT* area)
{
    if (pickup_mode)
        return Trap::TestContact(flimb, filter, atPoint, px, py, area);
    int32_t cx = 0, cy = 0;
    ContactPoint(cx, cy);
    return Trap::TestContact(flimb, filter, true, cx, cy, nullptr);
}

void TelePortTrap::Activate(Flimb* by)
{
    if (by)
        MoveToDestination(*by);
}

void TelePortTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb || !enabled)
        return;
    if (flimb->IsOverTrapKind())
        return;
    if (!(flimb->attributes & kAttrQuietEnd)) {
        FireEvent(0, flimb, false);
        ConsumePickup();
    }
    // The Quantum Time preview's copy is shown at its destination; the trap keeps no entry.
    if (pickup_mode || IsPreviewFlimb(flimb)) {
        MoveToDestination(*flimb);
        return;
    }
    for (const TeleportEntry& entry : pending)
        if (entry.flimb == flimb)
            return;
    TeleportEntry entry;
    entry.flimb = flimb;
    entry.time = World().clock.gameTime;
    entry.holdX = flimb->x;
    entry.holdY = flimb->y;
    entry.savedFall = static_cast<uint8_t>(flimb->fallDistance);
    pending.push_back(entry);
}

void TelePortTrap::AnimateQueue()
{
    for (auto it = pending.begin(); it != pending.end();) {
        TeleportEntry& entry = *it;
        Flimb& flimb = *entry.flimb;
        entry.time = World().clock.gameTime;
        flimb.x = flimb.prevX = ToCoordinate(entry.holdX);
        flimb.y = flimb.prevY = ToCoordinate(entry.holdY);
        flimb.fallDistance = entry.savedFall;
        const float c = static_cast<float>(entry.step);
        auto advance = [&](float scaleX) {
            flimb.alpha = static_cast<uint8_t>(std::clamp(TruncToInt(scaleX * 255.0f), 64, 255));
            int next = entry.step + 1;
            next += next & 1;
            entry.step = static_cast<uint8_t>(next);
        };
        if (entry.phase == 0) {
            const float t = c - 3.0f;
            flimb.drawScaleY = 0.618f + 0.023875f * t * t;
            flimb.drawScaleX = 1.382f - 0.023875f * t * t;
            if (flimb.drawScaleX > 0.0f) {
                advance(flimb.drawScaleX);
            } else {
                flimb.drawScaleX = 0.0f;
                entry.phase = 1;
                entry.step = 0;
                MoveToDestination(flimb);
                entry.holdX = flimb.x;
                entry.holdY = flimb.y;
                entry.savedScale = flimb.drawScaleY;
            }
            ++it;
            continue;
        }
        const float t = c - 8.0f;
        const float previous = flimb.drawScaleX;
        flimb.drawScaleY = 0.618f + (entry.savedScale - 0.618f) * t * t * 0.015625f;
        flimb.drawScaleX = 1.382f - 0.02159375f * t * t;
        if (flimb.drawScaleX > 1.0f || flimb.drawScaleX >= previous || previous <= 0.0f) {
            advance(flimb.drawScaleX);
            ++it;
            continue;
        }
        flimb.drawScaleX = 1.0f;
        flimb.drawScaleY = 1.0f;
        flimb.alpha = 255;
        it = pending.erase(it);
    }
}

void TelePortTrap::Update()
{
    AnimateQueue();
    if (!enabled)
        return;
    AdvanceFrame();
    if (remaining != 0) {
        if (auto touching = TestContact(nullptr, 1, false, 0, 0, nullptr)) {
            if (audible && !touching->empty())
                PlayEffectAt(36, touching->front()->x, touching->front()->y);
            for (Flimb* flimb : *touching) {
                if (remaining == 0)
                    break;
                if (remaining > 0)
                    --remaining;
                OnFlimbContact(flimb);
            }
        }
    }
    if (allow_fall && !(pickup_mode && floating_pickup)) {
        const int32_t oldX = RoundToInt(x), oldY = RoundToInt(y);
        TryFall(2, false, 1);
        if (solid_base && !pickup_mode && (RoundToInt(x) != oldX || RoundToInt(y) != oldY)) {
            StampBase(oldX, oldY, true);
            StampBase(RoundToInt(x), RoundToInt(y), false);
        }
    }
}

void TelePortTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    pending.remove_if([flimb](const TeleportEntry& entry) { return entry.flimb == flimb; });
}

void TelePortTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    Trap::RemapLinks(pairs, dx, dy);
    if (mode == kAbsolute) {
        destx += dx;
        desty += dy;
    }
}

void TelePortTrap::StampBase(int32_t px, int32_t py, bool clear)
{
    Landscape* landscape = GameLandscape();
    if (!landscape || !baseImage)
        return;
    landscape->BashPrimitive(baseImage, clear ? 0 : kBaseMaterial, scale_x, scale_y, rotation,
                             clear ? (1u << kBaseMaterial) : static_cast<uint32_t>(-1), BashOptions{}, kNeutralTint,
                             false, nullptr, static_cast<float>(px), static_cast<float>(py));
}

void TelePortTrap::StampLand()
{
    if (solid_base && !pickup_mode)
        StampBase(RoundToInt(x), RoundToInt(y), false);
}

void TelePortTrap::StampIntoLandscape(Landscape& landscape, float factor)
{
    const uint32_t affected = zorder ? static_cast<uint32_t>(-7) : static_cast<uint32_t>(-1);
    const bool fixed = !pickup_mode && solid_base;
    auto stamp = [&](const AnimSurface* image) {
        if (image)
            landscape.BashPrimitive(image, kTrapMaterial, scale_x * factor, scale_y * factor, rotation, affected,
                                    BashOptions{}, 0xFF000000u | (tint & 0xFFFFFFu), false, nullptr, x * factor,
                                    y * factor);
    };
    if (fixed)
        stamp(backImage);
    stamp(sprite);
    if (fixed) {
        stamp(frontImage);
        stamp(baseImage);
    }
}

void TelePortTrap::DrawBack()
{
    if (pickup_mode || !solid_base || !backImage)
        return;
    Draw2D::SignedAddScope signedAdd;
    SheetDraw how = TrapSheetLook(*this);
    DrawSheet(backImage, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how);
}

void TelePortTrap::Draw()
{
    if (!pickup_mode && solid_base) {
        Draw2D::SignedAddScope signedAdd;
        SheetDraw how = TrapSheetLook(*this);
        const float px = static_cast<float>(RoundToInt(x)), py = static_cast<float>(RoundToInt(y));
        DrawSheet(frontImage, px, py, how);
        DrawSheet(baseImage, px, py, how);
    }
    Trap::Draw();
}

bool TelePortTrap::DrawEditorLinks(MapObject* filter, bool draw)
{
    const bool linked = Trap::DrawEditorLinks(filter, draw);
    if (!draw || filter)
        return linked;
    float fromX = x, fromY = y;
    WorldToScreen(fromX, fromY);
    auto mark = [&](float tx, float ty) {
        WorldToScreen(tx, ty);
        Draw2D::DrawLine(fromX, fromY, tx, ty, 0xFFFFFF00u);
    };
    switch (mode) {
    case kAbsolute:
        mark(static_cast<float>(destx), static_cast<float>(desty));
        break;
    case kRelative:
        mark(x + static_cast<float>(destx), y + static_cast<float>(desty));
        break;
    case kRelativeLocal:
        mark(x + static_cast<float>(destx), y + static_cast<float>(desty));
        mark(x - static_cast<float>(destx), y + static_cast<float>(desty));
        break;
    default:
        break;
    }
    return linked;
}

std::unique_ptr<LayoutPanel> TelePortTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddLabel(TranslateText("Destination"));
    panel->AddTextField(std::string(), "destx", "%d", destx, TranslateText("Xpos of destination"));
    panel->AddTextField(std::string(), "desty", "%d", desty, TranslateText("Ypos of destination"));
    panel->AddTextField(std::string(), "teleport_max", "%d", teleport_max,
                        TranslateText("Max flimbs to teleport (0 for infinite)"));
    panel->AddLabel(TranslateText("Mode"));
    panel->AddChoice(std::string(), "teleport_mode",
                     {TranslateText("Absolute"), TranslateText("Relative To Trap"), TranslateText("Relative To Flimb")},
                     std::clamp(mode, 0, 2), TranslateText("Controls how the destination is calculated"));
    panel->AddButton(TranslateText("Set Destination"), std::string(), &TelePortTrap::OnSetDestination);
    panel->AddCheckBox(TranslateText("Solid base"), "solid_base", solid_base != 0, std::string());
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    return panel;
}

bool TelePortTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("destx", destx);
    panel->ReadInt("desty", desty);
    if (panel->ReadInt("teleport_max", teleport_max)) {
        teleport_max = std::clamp(teleport_max, 0, 999);
        remaining = teleport_max == 0 ? -1 : teleport_max;
    }
    int32_t chosen = mode;
    if (panel->ReadInt("teleport_mode", chosen))
        mode = std::clamp(chosen, 0, 2);
    if (mode == kAbsolute) {
        destx = std::max(destx, 0);
        desty = std::max(desty, 0);
    }
    uint8_t solid = solid_base;
    if (panel->ReadChecked("solid_base", solid) && solid != solid_base) {
        solid_base = solid;
    }
    return true;
}

void TelePortTrap::OnSetDestination(Primitive* /*parent*/, Button* /*button*/)
{
    BeginPointPick(&TelePortTrap::OnDestinationPicked);
    Controller().messages.Add(TranslateText("Click at the teleport destination."), -1);
}

void TelePortTrap::OnDestinationPicked(int32_t px, int32_t py)
{
    for (MapObject* object : GetSelectedObjects()) {
        auto* placed = dynamic_cast<MapTrap*>(object);
        if (!placed || object->GetKind() != kMapTrap)
            continue;
        auto* teleport = dynamic_cast<TelePortTrap*>(placed->GetTrap());
        if (!teleport)
            continue;
        if (teleport->mode == kAbsolute) {
            teleport->destx = px;
            teleport->desty = py;
        } else {
            teleport->destx = TruncToInt(static_cast<float>(px) - teleport->x);
            teleport->desty = TruncToInt(static_cast<float>(py) - teleport->y);
        }
        RefreshObjectPanel(object);
    }
}

void TelePortTrap::Save(xmlNode* node) const
{
    if (!node)
        return;
    Trap::Save(node);
    AppendTrapInt(node, "destx", destx);
    AppendTrapInt(node, "desty", desty);
    AppendTrapChild(node, "mode", ModeName(mode));
    AppendTrapInt(node, "solid_base", solid_base ? 1 : 0);
    AppendTrapInt(node, "teleport_max", teleport_max);
}

void TelePortTrap::Load(xmlNode* node, xmlNode* defaults, int32_t loadMode)
{
    Trap::Load(node, defaults, loadMode);
    if (!node)
        return;
    destx = XmlGetTagInt(node, "destx", defaults, destx);
    desty = XmlGetTagInt(node, "desty", defaults, desty);
    const std::string modeName = XmlGetTagText(node, "mode", defaults);
    mode = kAbsolute;
    for (int32_t i = 0; i < 3; ++i)
        if (modeName == kModeNames[i])
            mode = i;
    solid_base = XmlGetTagBool(node, "solid_base", defaults) ? 1 : 0;
    teleport_max = XmlGetTagInt(node, "teleport_max", defaults, teleport_max);
    remaining = teleport_max == 0 ? -1 : teleport_max;
    ReleaseGraphics();
    LoadGraphics();
}

void TelePortTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(baseImage);
    ReleaseSheet(frontImage);
    ReleaseSheet(backImage);
}

void TelePortTrap::LoadGraphics()
{
    if (pickup_mode) {
        if (!sprite)
            LoadPickupGraphics();
        return;
    }
    if (!baseImage)
        baseImage = LoadTrapSprites("base", kind);
    if (!frontImage)
        frontImage = LoadTrapSprites("front", kind);
    if (!backImage)
        backImage = LoadTrapSprites("back", kind);
    if (!sprite)
        sprite = LoadTrapSprites("sheet", kind);
}

void TelePortTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(mode);
    hasher.Add(solid_base);
    hasher.Add(destx);
    hasher.Add(desty);
    hasher.Add(teleport_max);
    hasher.Add(remaining);
    hasher.Add(static_cast<uint32_t>(pending.size()));
    for (const TeleportEntry& entry : pending) {
        hasher.Add(static_cast<int32_t>(FlimbSlot(entry.flimb)));
        hasher.Add(entry.savedScale);
        hasher.Add(entry.step);
        hasher.Add(entry.phase);
        hasher.Add(entry.holdX);
        hasher.Add(entry.holdY);
        hasher.Add(entry.savedFall);
    }
}

void TelePortTrap::CopyKindFields(const Trap& source)
{
    const auto& from = static_cast<const TelePortTrap&>(source);
    mode = from.mode;
    solid_base = from.solid_base;
    destx = from.destx;
    desty = from.desty;
    teleport_max = from.teleport_max;
    remaining = from.remaining;
}
