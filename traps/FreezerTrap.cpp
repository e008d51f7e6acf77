#include "traps/FreezerTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "media/AnimSurface.h"
#include "traps/DeviceDrawing.h"
#include "traps/DeviceShot.h"
#include "traps/TrapFactory.h"
#include "traps/TrapGroupChoice.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(FreezerTrap::kKind, [] { return std::unique_ptr<Trap>(new FreezerTrap); });

constexpr int kBoardSound = 50;
constexpr int kShotSound = 59;
constexpr int32_t kBoardInsetX = 10, kBoardInsetY = 6;
// The body box around the rounded position (open intervals) and the control strip under
// it: turn left, fire, eject, turn right from left to right.
constexpr int32_t kBodyHalfWidth = 25, kBodyTop = -10, kBodyBottom = 31;
constexpr int32_t kStripTop = 10, kStripHalfWidth = 50;
constexpr float kZapDistance = 85.0f;
constexpr int32_t kControlsDrop = 21;

// The pivot's offset from the trap's point for a gravity direction: 30 pixels against it.
void PivotOffset(uint8_t direction, int32_t& ox, int32_t& oy)
{
    ox = 0;
    oy = 0;
    switch (direction) {
    case 1: oy = FreezerTrap::kPivotHeight; break;
    case 2: ox = FreezerTrap::kPivotHeight; break;
    case 3: ox = -FreezerTrap::kPivotHeight; break;
    default: oy = -FreezerTrap::kPivotHeight; break;
    }
}

bool Inside(float v, float low, float high)
{
    return v > low && v < high;
}

} // namespace

FreezerTrap::FreezerTrap() : MannedDevice(kKind, true) {}

FreezerTrap::~FreezerTrap()
{
    FreezerTrap::ReleaseGraphics();
}

void FreezerTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const FreezerTrap&>(source);
    freezeAngle = other.freezeAngle;
    numBounces = other.numBounces;
    gunType = other.gunType;
    group = other.group;
    doEject = other.doEject;
    followFlimb = other.followFlimb;
    followTarget = other.followTarget;
    lastFireUpdate = other.lastFireUpdate;
    firing = other.firing;
    rider = other.rider;
}

void FreezerTrap::ResetRuntime()
{
    MannedDevice::ResetRuntime();
    barrelSheet = zapSheet = controlsSheet = nullptr;
}

void FreezerTrap::Pivot(int32_t& px, int32_t& py) const
{
    int32_t ox = 0, oy = 0;
    PivotOffset(TrapGravityDirection(*this), ox, oy);
    px = RoundToInt(x) + ox;
    py = RoundToInt(y) + oy;
}

bool FreezerTrap::CoolingDown() const
{
    return World().clock.updateCounter < lastFireUpdate + kCooldownUpdates;
}

void FreezerTrap::AimAtFollowTarget()
{
    if (!followTarget)
        return;
    int32_t px = 0, py = 0;
    Pivot(px, py);
    int32_t tx = 0, ty = 0;
    followTarget->GetTopPoint(tx, ty);
    int32_t angle = RoundToInt(Atan2Deg(static_cast<float>(-(ty - py)), static_cast<float>(tx - px)));
    if (TrapGravityDirection(*this) == 1)
        angle += 180;
    freezeAngle = angle;
}

void FreezerTrap::Release()
{
    Flimb* leaving = rider;
    if (leaving) {
        leaving->SetType(kWalk);
        FireEvent(2, leaving, false);
    }
    rider = nullptr;
    doEject = 0;
}

void FreezerTrap::Update()
{
    if (firing) {
        ++frame;
        if (!zapSheet || frame >= zapSheet->frameCount) {
            frame = 0;
            firing = 0;
        }
    }
    if (followTarget)
        AimAtFollowTarget();
    if (!rider) {
        const bool boarded = BoardFirst(kBoardInsetX, kBoardInsetY, [this](const Flimb& flimb) {
            return group == 255 || group == flimb.group;
        }) != nullptr;
        if (boarded && audible)
            PlayEffectAt(kBoardSound, RoundToInt(x), RoundToInt(y));
        ExpireCooldowns(kReboardDelay);
        if (allow_fall && !rider)
            TryFall(2, false, 0);
        return;
    }
    if (doEject) {
        Release();
        return;
    }
    if (!rider->InWorld()) {
        rider = nullptr;
        return;
    }
    if (freezeAngle > 90 && rider->walkSpeed > 0)
        rider->walkSpeed = static_cast<int8_t>(-rider->walkSpeed);
    else if (freezeAngle < 90 && rider->walkSpeed < 0)
        rider->walkSpeed = static_cast<int8_t>(-rider->walkSpeed);
    const Landscape* land = GameLandscape();
    if (land && !land->HitTestRect(false, false, TruncToInt(x - 3.0f), TruncToInt(y - 1.0f), TruncToInt(x + 3.0f),
                                   TruncToInt(y + 10.0f)))
        Release();
}

void FreezerTrap::Activate(Flimb* by)
{
    if (!enabled)
        return;
    FireEvent(1, by, false);
    lastFireUpdate = World().clock.updateCounter;
    if (followFlimb && by) {
        followTarget = by;
        AimAtFollowTarget();
    }
    if (gunType != kIce && gunType != kFire)
        return;
    if (!DeviceShotHasRoom())
        return;
    DeviceShot shot;
    shot.behaviour = gunType == kIce ? ParticleBehaviour::IceMissile : ParticleBehaviour::Fireball;
    shot.spin = gunType == kIce ? IceMissileSpin() : 0.0f;
    shot.bounces = static_cast<uint8_t>(numBounces & 0xFF);
    shot.shooter = rider;
    shot.gravity = rider ? rider->gravity : 0;
    const float a = static_cast<float>(freezeAngle) + rotation;
    const float c = CosDegF(a), s = SinDegF(a);
    int32_t ox = 0, oy = 0;
    PivotOffset(TrapGravityDirection(*this), ox, oy);
    shot.vx = kShotSpeed * c;
    shot.vy = -kShotSpeed * s;
    shot.x = TruncToInt(x + kMuzzleDistance * c + static_cast<float>(ox));
    shot.y = TruncToInt(y - kMuzzleDistance * s + static_cast<float>(oy));
    if (!FireDeviceShot(shot))
        return;
    if (audible)
        PlayEffectAt(kShotSound, RoundToInt(x), RoundToInt(y));
    firing = 1;
}

gfx::RECT FreezerTrap::GetBounds() const
{
    gfx::RECT bounds = Trap::GetBounds();
    if (!barrelSheet || barrelSheet->frameWidth <= 0 || barrelSheet->frameHeight <= 0)
        return bounds;
    int32_t px = 0, py = 0;
    Pivot(px, py);
    // The barrel's frame around its hot spot, turned to the aim (drawn turned clockwise by
    // the snapped rotation plus 90 - aim).
    const float hx = static_cast<float>(barrelSheet->hotspotX), hy = static_cast<float>(barrelSheet->hotspotY);
    const float w = static_cast<float>(barrelSheet->frameWidth), h = static_cast<float>(barrelSheet->frameHeight);
    const float turn = SnapRotation90() + 90.0f - static_cast<float>(freezeAngle);
    const float c = CosDegF(turn), s = SinDegF(turn);
    const float corners[4][2] = {{-hx, -hy}, {w - hx, -hy}, {w - hx, h - hy}, {-hx, h - hy}};
    for (const auto& corner : corners) {
        const int32_t cx = px + TruncToInt(std::floor(corner[0] * c - corner[1] * s));
        const int32_t cy = py + TruncToInt(std::floor(corner[0] * s + corner[1] * c));
        bounds.left = std::min(bounds.left, cx);
        bounds.top = std::min(bounds.top, cy);
        bounds.right = std::max(bounds.right, cx + 1);
        bounds.bottom = std::max(bounds.bottom, cy + 1);
    }
    return bounds;
}

void FreezerTrap::Draw()
{
    const float snapped = SnapRotation90();
    const float px = static_cast<float>(RoundToInt(x)), py = static_cast<float>(RoundToInt(y));
    WorldSheetDraw how;
    how.degrees = snapped;
    how.scaleX = scale_x;
    how.scaleY = scale_y;
    how.tint = tint;
    how.alpha = alpha;
    DrawWorldSheet(sprite, px, py, how);

    const uint8_t direction = TrapGravityDirection(*this);
    if (barrelSheet) {
        int32_t bx = RoundToInt(x), by = RoundToInt(y);
        OffsetByDirection(direction, bx, by, 0, -kPivotHeight);
        WorldSheetDraw barrel = how;
        // The barrel is drawn pointing up; the renderer turns clockwise.
        barrel.degrees = snapped + 90.0f - static_cast<float>(freezeAngle);
        DrawWorldSheet(barrelSheet, static_cast<float>(bx), static_cast<float>(by), barrel);
    }
    DrawWorldNumber(StringPrintf("%d", freezeAngle), px, py, 0xFFFFFFFFu);

    if (firing && zapSheet && barrelSheet) {
        const float f = static_cast<float>(freezeAngle);
        int32_t zx = RoundToInt(x), zy = RoundToInt(y);
        OffsetByDirection(direction, zx, zy, RoundToInt(kZapDistance * CosDegF(f)),
                          RoundToInt(-kZapDistance * SinDegF(f) - static_cast<float>(kPivotHeight)));
        WorldSheetDraw zap = how;
        zap.frame = PairedDisplayFrame(zapSheet, std::min<int>(frame, zapSheet->frameCount - 1));
        // The flash points right; turned to the aim.
        zap.degrees = snapped - f;
        DrawWorldSheet(zapSheet, static_cast<float>(zx), static_cast<float>(zy), zap);
    }
    if (rider && (rider->flags & kFlimbSelected) && controlsSheet) {
        WorldSheetDraw strip;
        DrawWorldSheet(controlsSheet, px, py + static_cast<float>(kControlsDrop), strip);
    }
}

void FreezerTrap::RequestAngle(int32_t angle)
{
    const int32_t kept = freezeAngle;
    freezeAngle = angle;
    SendState(0, -1);
    freezeAngle = kept;
}

void FreezerTrap::RequestEject()
{
    const uint8_t kept = doEject;
    doEject = 1;
    SendState(0, -1);
    doEject = kept;
}

void FreezerTrap::RequestShot()
{
    SendState(1, rider ? rider->id : -1);
}

bool FreezerTrap::OnDeviceKey(int action, int code, IInputDevice& device)
{
    if (!RiderTakesLocalOrders(false))
        return false;
    const bool fire = KeyBoundTo("TrapAction", code, device);
    const bool leave = KeyBoundTo("TrapExit", code, device);
    const bool arrow = code == kDeviceKeyLeft || code == kDeviceKeyRight || code == kDeviceKeyUp ||
                       code == kDeviceKeyDown;
    if (!fire && !leave && !arrow)
        return false;
    if (CoolingDown())
        return true;
    const bool pressed = IsKeyPress(action);
    const bool held = pressed || action == kKeyRepeated;
    if (code == kDeviceKeyLeft && held && freezeAngle < kMaxAngle)
        RequestAngle(freezeAngle + 1);
    else if (code == kDeviceKeyRight && held && freezeAngle > kMinAngle)
        RequestAngle(freezeAngle - 1);
    else if (fire && pressed)
        RequestShot();
    else if (leave && pressed)
        RequestEject();
    return true;
}

bool FreezerTrap::OnDeviceMouse(int sx, int sy, int phase)
{
    if (!RiderTakesLocalOrders(true))
        return false;
    float wx = 0.0f, wy = 0.0f;
    ScreenToWorldPoint(static_cast<float>(sx), static_cast<float>(sy), wx, wy);
    if (CoolingDown()) {
        const float cx = static_cast<float>(RoundToInt(x)), cy = static_cast<float>(RoundToInt(y));
        return Inside(wx, cx - kBodyHalfWidth, cx + kBodyHalfWidth) &&
               Inside(wy, cy + kBodyTop, cy + kBodyBottom);
    }
    if (!Inside(wy, y + kStripTop, y + kBodyBottom))
        return false;
    const bool down = phase == 2, heldOrDown = phase == 1 || phase == 2;
    if (Inside(wx, x - kStripHalfWidth, x - kBodyHalfWidth)) {
        if (heldOrDown && freezeAngle < kMaxAngle)
            RequestAngle(freezeAngle + 1);
        return true;
    }
    if (Inside(wx, x + kBodyHalfWidth, x + kStripHalfWidth)) {
        if (heldOrDown && freezeAngle > kMinAngle)
            RequestAngle(freezeAngle - 1);
        return true;
    }
    if (Inside(wx, x - kBodyHalfWidth, x)) {
        if (down)
            RequestShot();
        return true;
    }
    if (Inside(wx, x, x + kBodyHalfWidth)) {
        if (down)
            RequestEject();
        return true;
    }
    return false;
}

std::unique_ptr<LayoutPanel> FreezerTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddSlider(TranslateText("Angle"), "curr_angle", static_cast<float>(freezeAngle),
                     static_cast<float>(kMaxAngle), static_cast<float>(kMinAngle), std::string());
    AddTrapGroupChoice(*panel, TranslateText("Group"), "group", group, true, TranslateText("Group allowed to use trap"));
    panel->AddChoice(TranslateText("Gun Type"), "gunType", {TranslateText("Ice"), TranslateText("Fire")},
                     std::clamp(gunType, 0, 1), TranslateText("Type"));
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    panel->AddCheckBox(TranslateText("Follow"), "follow_flimb", followFlimb != 0, std::string());
    return panel;
}

bool FreezerTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("curr_angle", freezeAngle))
        freezeAngle = std::clamp(freezeAngle, kMinAngle, kMaxAngle);
    if (panel->ReadInt("gunType", gunType))
        gunType = std::clamp(gunType, 0, 1);
    int32_t chosen = group;
    if (ReadTrapGroupChoice(*panel, "group", chosen))
        group = static_cast<uint8_t>(chosen);
    panel->ReadChecked("follow_flimb", followFlimb);
    ReleaseGraphics();
    LoadGraphics();
    return true;
}

void FreezerTrap::ForgetObject(Flimb* flimb)
{
    MannedDevice::ForgetObject(flimb);
    if (flimb && flimb == followTarget)
        followTarget = nullptr;
}

void FreezerTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "freeze_angle", freezeAngle);
    AppendKindChild(node, "freeze_num_bounces", numBounces);
    AppendKindChild(node, "gun_type", gunType);
    AppendKindChild(node, "group", group);
    AppendKindChild(node, "do_eject", doEject);
    AppendKindChild(node, "follow_flimb", followFlimb);
}

void FreezerTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    if (mode & 1)
        Trap::Load(node, defaults, kTrapLoadAll);
    if (!node)
        return;
    // Every value is read before any is kept: a request that fails leaves the turret as it was.
    const int32_t angle = XmlGetTagInt(node, "freeze_angle", defaults, 0);
    const int32_t bounces = XmlGetTagInt(node, "freeze_num_bounces", defaults, 0);
    const int32_t type = XmlGetTagInt(node, "gun_type", defaults, 0);
    const int32_t allowed = XmlGetTagInt(node, "group", defaults, 0);
    const bool eject = XmlGetTagBool(node, "do_eject", defaults);
    const bool follow = XmlGetTagBool(node, "follow_flimb", defaults);
    freezeAngle = angle;
    numBounces = bounces;
    gunType = type;
    group = static_cast<uint8_t>(allowed);
    doEject = eject ? 1 : 0;
    followFlimb = follow ? 1 : 0;
    ReleaseGraphics();
    LoadGraphics();
}

void FreezerTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(barrelSheet);
    ReleaseSheet(zapSheet);
    ReleaseSheet(controlsSheet);
}

void FreezerTrap::LoadGraphics()
{
    // A gun type of neither ice nor fire shows the ice base without a barrel.
    const bool fire = gunType == kFire;
    if (!sprite)
        sprite = LoadTrapSprites(fire ? "base-fire" : "base-ice", kind);
    if (!barrelSheet && (gunType == kIce || gunType == kFire))
        barrelSheet = LoadTrapSprites(fire ? "turret-fire" : "turret-ice", kind);
    if (!zapSheet)
        zapSheet = LoadTrapSprites("zap", kind);
    if (!controlsSheet)
        controlsSheet = LoadTrapSprites("controls", kind);
}

void FreezerTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(freezeAngle);
    hasher.Add(numBounces);
    hasher.Add(gunType);
    hasher.Add(group);
    hasher.Add(doEject);
    hasher.Add(followFlimb);
    hasher.Add(FlimbSlot(followTarget));
    hasher.Add(lastFireUpdate);
    hasher.Add(firing);
    hasher.Add(frame);
    hasher.Add(FlimbSlot(rider));
}
