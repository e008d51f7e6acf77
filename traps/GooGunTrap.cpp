#include "traps/GooGunTrap.h"

#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameHooks.h"
#include "traps/DeviceShot.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/ViewServices.h"

namespace {

const TrapKindRegistration kRegistration(GooGunTrap::kKind, [] { return std::unique_ptr<Trap>(new GooGunTrap); });

} // namespace

GooGunTrap::GooGunTrap() : MannedDevice(kKind, false) {}

void GooGunTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const GooGunTrap&>(source);
    rider = other.rider;
    gooAngle = other.gooAngle;
    dropFlag = other.dropFlag;
}

void GooGunTrap::Update()
{
    if (dropFlag) {
        dropFlag = 0;
        rider = nullptr;
        return;
    }
    if (rider) {
        x = static_cast<float>(rider->x);
        y = static_cast<float>(rider->y);
        AddTrapToDrawList(this);
        return;
    }
    const gfx::RECT area = Trap::GetBounds();
    const FlimbList touching = FindFlimbsInArea(true, false, area.left + kPickupInset, area.top + kPickupInset,
                                                area.right - kPickupInset, area.bottom - kPickupInset);
    if (touching.empty())
        return;
    rider = touching.front();
    FireEvent(0, rider, false);
}

int32_t GooGunTrap::AimAt(int32_t worldX, int32_t worldY) const
{
    if (!rider)
        return gooAngle;
    const float dy = static_cast<float>(-(worldY - (rider->y - kAimHeight)));
    const float dx = static_cast<float>(worldX - rider->x);
    return TruncToInt(Atan2Deg(dy, dx));
}

void GooGunTrap::Activate(Flimb* by)
{
    FireEvent(1, by, false);
    if (!DeviceShotHasRoom())
        return;
    const Flimb* from = by ? by : rider;
    const float fx = from ? static_cast<float>(from->x) : x;
    const float fy = from ? static_cast<float>(from->y) : y;
    const float a = static_cast<float>(gooAngle);
    const float c = CosDegF(a), s = SinDegF(a);
    DeviceShot shot;
    shot.behaviour = ParticleBehaviour::IceMissile;
    shot.bounces = 0;
    shot.shooter = by;
    shot.gravity = by ? by->gravity : 0;
    shot.spin = IceMissileSpin();
    shot.vx = kShotSpeed * c;
    shot.vy = -kShotSpeed * s;
    shot.x = TruncToInt(fx + kShotSpeed * c);
    shot.y = TruncToInt((fy - static_cast<float>(kAimHeight)) - kShotSpeed * s);
    FireDeviceShot(shot);
}

bool GooGunTrap::OnDeviceKey(int action, int code, IInputDevice&)
{
    if (!rider || !(rider->flags & kFlimbSelected))
        return false;
    if (code == kDeviceKeyNumpad0) {
        if (IsKeyPress(action)) {
            // Like every control the aim reaches this game with the request, at its update.
            int32_t wx = 0, wy = 0;
            MouseWorldPoint(wx, wy);
            const int32_t kept = gooAngle;
            gooAngle = AimAt(wx, wy);
            SendState(1, rider->id);
            gooAngle = kept;
        }
        return true;
    }
    if (code == kDeviceKeyDown) {
        if (IsKeyPress(action)) {
            // The drop goes to every game like a shot; without a session it is taken at once.
            if (GameClientExists()) {
                dropFlag = 1;
                SendState(0, -1);
                dropFlag = 0;
            } else {
                dropFlag = 1;
            }
        }
        return true;
    }
    return false;
}

void GooGunTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "goo_angle", gooAngle);
    AppendKindChild(node, "goo_drop", dropFlag);
}

void GooGunTrap::Load(xmlNode* node, xmlNode* defaults, int32_t)
{
    if (!node)
        return;
    const int32_t angle = XmlGetTagInt(node, "goo_angle", defaults, 0);
    const bool drop = XmlGetTagBool(node, "goo_drop", defaults);
    Trap::Load(node, defaults, kTrapLoadAll);
    gooAngle = angle;
    dropFlag = drop ? 1 : 0;
}

void GooGunTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(FlimbSlot(rider));
    hasher.Add(gooAngle);
    hasher.Add(dropFlag);
}
