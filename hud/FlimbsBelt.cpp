#include "hud/FlimbsBelt.h"

#include "app/KeyBindings.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/GuiClock.h"
#include "gui/PrimContainer.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "hud/BeltWorld.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/ImageCache.h"
#include "media/SpriteSheet.h"
#include "platform/input/ScanCodes.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr uint8_t kFlagLive = 4;
constexpr uint8_t kFlagWalkLook = 0x80;
constexpr int kTangled = 20;
constexpr int kWalkType = 10;

float Radians(int degrees)
{
    return float(degrees) * kPi / 180.0f;
}

// The label's distance factor: 1.6 at 0 and 180 degrees, 1.3 at 90 and 270, else 1.4.
float LabelFactor(int degrees)
{
    if (degrees == 0 || degrees == 180)
        return 1.6f;
    if (degrees == 90 || degrees == 270)
        return 1.3f;
    return 1.4f;
}

uint8_t Scaled(int value, uint8_t fade)
{
    return uint8_t(value * fade / 255);
}

} // namespace

BeltIcons LoadBeltIcons()
{
    BeltIcons icons{};
    if (XmlDocument document = XmlLoadFile(FlimbsBelt::kSheetFile)) {
        SpriteSheet sheet;
        SpriteSet set;
        if (SpriteSheet::Load(sheet, document.get(), "Graphics\\Belt") &&
            SpriteSheet::LoadAnimations("belt", sheet, document.get(), set) > 0)
            for (size_t i = 0; i < kBeltSlots; ++i)
                if (const SpriteAnimation* animation = set.Find(kBeltSlotTable[i].sprite))
                    icons[i] = SpriteSheet::GetAnimationImage(sheet, *animation);
    }
    return icons;
}

void ReleaseBeltIcons(BeltIcons& icons)
{
    for (AnimSurface*& icon : icons) {
        ImageCache::ReleaseImage(icon);
        icon = nullptr;
    }
}

int GroupMorphCount(int group, int type)
{
    if (const IBeltWorld* world = GetBeltWorld())
        return world->MorphCount(group, type);
    if (group < 0 || group >= 8 || type < 0 || type >= kActionCount)
        return kMorphNone;
    return Controller().groups[size_t(group)].uses[size_t(type)];
}

void DrawSheetFrame(const AnimSurface* image, int frameWidth, int frameHeight, int frame, float x, float y,
                    float hotX, float hotY, float rotation, uint8_t drawAlpha)
{
    if (!image || !image->bitmap || !image->bitmap->texture || frameWidth <= 0 || frameHeight <= 0)
        return;
    const int columns = std::max(1, image->imageWidth / frameWidth);
    const int count = std::max(1, columns * std::max(1, image->imageHeight / frameHeight));
    frame = std::clamp(frame, 0, count - 1);
    const int sx = (frame % columns) * frameWidth, sy = (frame / columns) * frameHeight;
    const gfx::RECT source{sx, sy, sx + frameWidth, sy + frameHeight};
    const float s = GetUiScale();
    Draw2D::DrawTexturedQuad(image->bitmap->texture, &source, x, y, s, s, hotX, hotY, rotation,
                             WithAlpha(0xFFFFFFFF, drawAlpha));
}

FlimbsBelt::FlimbsBelt()
{
    SetName(kName);
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
    visible = 0;
    excludeFromBounds = 1;
    icons_ = LoadBeltIcons();
    wedge_ = ImageCache::GetImage(kWedgeImage);
    divider_ = ImageCache::GetImage(kDividerImage);
    overlay_ = ImageCache::GetImage(kOverlayImage);
}

FlimbsBelt::~FlimbsBelt()
{
    ReleaseBeltIcons(icons_);
    for (AnimSurface* image : {wedge_, divider_, overlay_})
        ImageCache::ReleaseImage(image);
}

const AnimSurface* FlimbsBelt::IconForCode(int code) const
{
    for (size_t i = 0; i < kBeltSlotTable.size(); ++i)
        if (kBeltSlotTable[i].code == code)
            return icons_[i];
    return nullptr;
}

int FlimbsBelt::IconCount() const
{
    return int(std::count_if(icons_.begin(), icons_.end(), [](const AnimSurface* icon) { return icon != nullptr; }));
}

Flimb* FlimbsBelt::TargetFlimb() const
{
    return target_ >= 0 ? FindFlimbById(target_) : nullptr;
}


bool FlimbsBelt::NotAllowed(const Flimb& flimb, int type)
{
    const int flimbType = flimb.type == kTangled && (flimb.flags & kFlagWalkLook) ? kWalkType : flimb.type;
    const IBeltWorld* world = GetBeltWorld();
    const uint8_t* row = world ? world->MorphPermissionRow(flimbType) : nullptr;
    if (!row)
        return false;
    // The type's morphs disabled, the type locked, or no change into the slot's type.
    return row[0] == 0 || row[2] != 0 || 4 + type >= kMorphPermissionRowBytes || row[4 + type] == 0;
}

bool FlimbsBelt::Touchscreen() const
{
    int32_t value = 0;
    return ParseInt(CurrentHudGame().ProfileSetting("touchscreen"), value) && value != 0;
}

void FlimbsBelt::PlaceAtTarget(const Flimb& flimb)
{
    HudGameView* view = FindHudGameView();
    if (!view)
        return;
    int32_t x = flimb.x, y = flimb.y;
    OffsetByDirection(flimb.gravity, x, y, 0, int32_t(std::lround(-20.0f * flimb.scale)));
    FloatPoint point = view->WorldToScreen(float(x), float(y));
    const FloatRect visibleRect = view->VisibleRect();
    const float r = 110.0f * GetUiScale();
    const auto clampAxis = [](float value, float low, float high) {
        return low <= high ? std::clamp(value, low, high) : (low + high) / 2.0f;
    };
    point.x = clampAxis(point.x, visibleRect.left + r, visibleRect.right - r);
    point.y = clampAxis(point.y, visibleRect.top + r, visibleRect.bottom - r);
    centre_ = point;
    SetPosition(ToVirtualX(point.x) - 500.0f, ToVirtualY(point.y) - 500.0f);
}

void FlimbsBelt::Open(int32_t flimbId)
{
    target_ = flimbId;
    saved_ = {-1.0f, -1.0f};
    fade_ = 0;
    pointer_ = BeltPointer{};
    hoverStart_ = 0;
    lastFadeTick_ = 0;
    fadeOut_ = false;
    dwell_ = kDwellMs;
    keyText_.clear();
    int32_t followSetting = 0;
    follow_ = ParseInt(CurrentHudGame().ProfileSetting("belt_follow"), followSetting) && followSetting != 0;
    visible = 1;
    if (const Flimb* flimb = TargetFlimb())
        PlaceAtTarget(*flimb);
    Update();
    if (visible && target_ >= 0) {
        HudGame& game = CurrentHudGame();
        int x = 0, y = 0;
        game.CursorPosition(x, y);
        saved_ = {float(x), float(y)};
        game.SetCursorPosition(int(std::lround(centre_.x)), int(std::lround(centre_.y)));
        pointer_.drag = true;
    }
}

void FlimbsBelt::Hide()
{
    visible = 0;
    target_ = -1;
    int32_t followSetting = 0;
    const bool followOption =
        ParseInt(CurrentHudGame().ProfileSetting("belt_follow"), followSetting) && followSetting != 0;
    if (saved_.x >= 0.0f && saved_.y >= 0.0f && !followOption)
        CurrentHudGame().SetCursorPosition(int(std::lround(saved_.x)), int(std::lround(saved_.y)));
    saved_ = {-1.0f, -1.0f};
}

void FlimbsBelt::Update()
{
    if (target_ < 0)
        return;
    const Flimb* flimb = TargetFlimb();
    if (!flimb || !(flimb->flags & kFlagLive) || flimb->type == kTangled) {
        visible = 0;
        target_ = -1;
        return;
    }
    if (follow_ && pointer_.chosen == kBeltNoChoice) {
        PlaceAtTarget(*flimb);
        const HudGameView* view = FindHudGameView();
        if ((view && view->IsScrolling()) || Touchscreen())
            follow_ = false;
    }
}

Primitive* FlimbsBelt::HitTest(int x, int y)
{
    if (target_ < 0 || !visible)
        return nullptr;
    OnMouseMove(x, y);
    return target_ >= 0 ? this : nullptr;
}

void FlimbsBelt::OnMouseMove(int x, int y)
{
    const Flimb* flimb = TargetFlimb();
    if (!flimb || !PointInRect(x, y))
        return;
    const float s = GetUiScale();
    const BeltRadii radii = BeltRadiiFor(s, pointer_.drag, Touchscreen());
    const int dx = x - int(std::lround(centre_.x)), dy = y - int(std::lround(centre_.y));
    const float distance = std::sqrt(float(dx * dx + dy * dy));
    switch (BeltZoneAt(distance, radii)) {
    case BeltZone::Outside: Hide(); return;
    case BeltZone::Dead:
        dwell_ = kDwellMs;
        fadeOut_ = false;
        pointer_.hovered = kBeltNoHover;
        return;
    case BeltZone::Ring: break;
    }
    const int sector = BeltSector(dx, dy);
    const uint8_t code = kBeltSectorCodes[size_t(sector)];
    if (!BeltSlotAvailable(GroupMorphCount(flimb->group, code & 15), flimb->type, code)) {
        dwell_ = kDwellMs;
        pointer_.hovered = kBeltNoHover;
        fadeOut_ = false;
        return;
    }
    const uint32_t now = GuiNow();
    if (code != pointer_.hovered) {
        keyText_ = sector == 1 ? KeyNameForAction("GulpUp") : KeyNameForType(code & 15);
        if (keyText_.empty())
            keyText_ = "??";
        hoverStart_ = now;
    }
    pointer_.hovered = pointer_.chosen = code;
    if (now - hoverStart_ > dwell_)
        fadeOut_ = true;
}

Primitive* FlimbsBelt::OnLeftButton(int x, int y, int phase)
{
    if (target_ < 0 || !visible)
        return nullptr;
    const float s = GetUiScale();
    const float dx = float(x) - centre_.x, dy = float(y) - centre_.y;
    const float fromOpen = saved_.x >= 0.0f ? std::hypot(float(x) - saved_.x, float(y) - saved_.y) : 1e9f;
    const BeltButtonResult result =
        BeltButton(pointer_, phase, std::sqrt(dx * dx + dy * dy), 130.0f * s, Touchscreen(), fromOpen);
    if (result.request)
        if (Flimb* flimb = TargetFlimb())
            // Gulp down and up are one type with the up flag (0 asks for the up variant).
            NoteFlimbSelected(result.code & 15, result.code == kBeltGulpUp ? 0 : 1, flimb);
    if (result.request && result.hide && locked_) {
        // Held open: the next press chooses again.
        pointer_.chosen = kBeltNoChoice;
        pointer_.pressed = false;
        pointer_.drag = false;
        fadeOut_ = false;
        return this;
    }
    if (result.hide)
        Hide();
    return result.consumed ? this : nullptr;
}

std::string FlimbsBelt::GetCursorName()
{
    return pointer_.hovered < kBeltNoHover ? "press" : "question";
}

int FlimbsBelt::OnKey(int value, int code, bool, IInputDevice&)
{
    if (value != 0 && code == kKeyEscape && target_ >= 0)
        Hide();
    return 0;
}

void FlimbsBelt::Draw()
{
    const Flimb* flimb = TargetFlimb();
    if (!flimb || !visible)
        return;
    const uint32_t now = GuiNow();
    if (now - lastFadeTick_ > 5) {
        lastFadeTick_ = now;
        if (fadeOut_) {
            if (fade_ > 35)
                fade_ = uint8_t(fade_ - 5);
        } else if (fade_ < 200) {
            fade_ = uint8_t(fade_ + 13);
        }
    }
    const float s = GetUiScale();
    const float cx = centre_.x, cy = centre_.y;

    const float dividerDistance = std::round(97.0f * s);
    for (int k = 0; k < 4; ++k) {
        const float angle = float(k) * kPi / 2.0f + kPi / 4.0f;
        if (divider_)
            DrawSheetFrame(divider_, divider_->imageWidth, divider_->imageHeight, 0, cx + std::cos(angle) * dividerDistance,
                      cy + std::sin(angle) * dividerDistance, float(divider_->imageWidth) / 2.0f,
                      float(divider_->imageHeight) / 2.0f, angle + (k % 2 == 0 ? kPi : 0.0f),
                      uint8_t(float(fade_) / 255.0f * 191.0f));
    }

    const float R = std::round(93.0f * s);
    const int wedgeWidth = wedge_ ? std::min(kWedgeFrameWidth, wedge_->imageWidth) : 0;
    const int wedgeHeight = wedge_ ? std::min(kWedgeFrameHeight, wedge_->imageHeight) : 0;
    for (size_t i = 0; i < kBeltSlots; ++i) {
        const BeltSlot& slot = kBeltSlotTable[i];
        const float angle = Radians(slot.degrees);
        const int type = slot.code & 15;
        const int count = GroupMorphCount(flimb->group, type);
        const bool available = BeltSlotAvailable(count, flimb->type, slot.code);
        const bool notAllowed = NotAllowed(*flimb, type);
        const bool hovered = pointer_.hovered == slot.code;
        const bool chosen = pointer_.chosen == slot.code;
        const int frame = hovered && available && pointer_.pressed ? 2 : (hovered && available ? 1 : 0);
        uint8_t wedgeAlpha = available ? 255 : 75;
        if (!chosen)
            wedgeAlpha = Scaled(wedgeAlpha, fade_);
        // The wedge points up unturned; the 2-D renderer turns clockwise on the screen, so the
        // wedge of a slot at `angle` (clockwise from the right) is turned by angle + pi / 2.
        DrawSheetFrame(wedge_, wedgeWidth, wedgeHeight, frame, cx, cy, float(kWedgeHotspotX), float(kWedgeHotspotY),
                  angle + kPi / 2.0f, wedgeAlpha);
        if (!available)
            continue;
        const float ix = cx + std::cos(angle) * R, iy = cy + std::sin(angle) * R;
        const uint8_t iconAlpha = chosen ? 255 : Scaled(255, fade_);
        if (const AnimSurface* icon = icons_[i]) {
            const int frames = std::max(1, icon->frameCount);
            DrawSheetFrame(icon, icon->frameWidth, icon->frameHeight, std::clamp(int(flimb->group), 0, frames - 1), ix, iy,
                      float(icon->hotspotX), float(icon->hotspotY), 0.0f, iconAlpha);
        }
        if (hovered) {
            if (BeltShowsCount(count))
                DrawWidgetText(3, cx + std::cos(angle) * 0.75f * R, cy + std::sin(angle) * 0.75f * R, s, 0xFFFFFFFF,
                               StringPrintf("%d", count), kTextCentre | kTextVCentre);
            const std::string name = slot.code == kBeltGulpUp ? "Gulp Up" : FlimbTypeName(type);
            const float f = LabelFactor(slot.degrees);
            DrawWidgetText(0, cx + std::cos(angle) * f * R, cy + std::sin(angle) * f * R, s, 0xFFFFFFFF,
                           name + " : " + keyText_, kTextCentre | kTextVCentre);
        }
        if (notAllowed && overlay_) {
            const float offset = std::round(10.0f * s);
            DrawSheetFrame(overlay_, overlay_->imageWidth, overlay_->imageHeight, 0, ix - offset, iy - offset,
                      float(overlay_->imageWidth) / 2.0f, float(overlay_->imageHeight) / 2.0f, 0.0f,
                      chosen ? 125 : Scaled(125, fade_));
        }
    }
}

FlimbsBelt* FindHudBelt(bool create)
{
    HudWindow* hud = FindHud();
    PrimContainer* top = hud ? hud->TopContainer() : nullptr;
    if (!top)
        return nullptr;
    for (Primitive* child : top->Children())
        if (auto* belt = dynamic_cast<FlimbsBelt*>(child))
            return belt;
    if (!create)
        return nullptr;
    auto* belt = new FlimbsBelt;
    // Offered input before the rest of the HUD.
    top->AddChild(belt, false);
    return belt;
}
