#include "traps_flow/WatchTraps.h"

#include "app/XmlUtil.h"
#include "game/ViewPort.h"
#include "gui/WindowList.h"
#include "levelmodel/EditorPicking.h"
#include "traps/EditorOnlyDraw.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/ConsoleValues.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/WorldServices.h"

#include <cmath>

namespace {

constexpr int32_t kLandWatchKind = 33;
constexpr int32_t kCameraWatchKind = 52;
constexpr float kPi = 3.1415927f;
const TrapKindRegistration landWatch(kLandWatchKind, [] { return std::unique_ptr<Trap>(new LandWatchTrap); });
const TrapKindRegistration cameraWatch(kCameraWatchKind, [] { return std::unique_ptr<Trap>(new CameraWatchTrap); });

} // namespace

LandWatchTrap::LandWatchTrap() : Trap(kLandWatchKind)
{
    LoadGraphics();
}

void LandWatchTrap::Update()
{
    if (!enabled)
        return;
    const gfx::RECT area = GetBounds();
    bool fire = triggered;
    if (!fire) {
        const Landscape* land = GameLandscape();
        if (!land)
            return;
        auto any = [&](bool lookForEmpty) {
            return land->HitTestRect(lookForEmpty, true, area.left, area.top, area.right, area.bottom);
        };
        switch (watchMode) {
        case kAllAir: fire = !any(false); break;
        case kAllSoil: fire = !any(true); break;
        case kAnyAir: fire = any(true); break;
        case kAnySoil: fire = any(false); break;
        case kOnChange: {
            const int32_t solid = land->CountSolidPixels(area.left, area.top, area.right, area.bottom);
            if (referenceCount == -1)
                referenceCount = solid;
            else
                fire = solid != referenceCount;
            break;
        }
        default: break;
        }
    }
    if (!fire)
        return;
    triggered = false;
    enabled = 0;
    FireEvent(0, nullptr, false);
}

void LandWatchTrap::Activate(Flimb* /*by*/)
{
    triggered = true;
}

void LandWatchTrap::Draw()
{
    if (LevelEditorOpen()) {
        Trap::Draw();
        return;
    }
    if (!GodModeOn())
        return;
    const uint8_t ownAlpha = alpha;
    alpha = 64;
    Trap::Draw();
    alpha = ownAlpha;
}

void LandWatchTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapInt(node, "watchMode", watchMode);
}

void LandWatchTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    watchMode = XmlGetTagInt(node, "watchMode", defaults, watchMode);
}

void LandWatchTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const LandWatchTrap&>(source);
    watchMode = other.watchMode;
    triggered = other.triggered;
    referenceCount = other.referenceCount;
}

void LandWatchTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(watchMode);
    hasher.Add(triggered);
    hasher.Add(referenceCount);
}

CameraWatchTrap::CameraWatchTrap() : Trap(kCameraWatchKind)
{
    LoadGraphics();
}

float CameraWatchTrap::TargetAngle(int32_t direction)
{
    switch (direction) {
    case kDown: return 4.712389f;
    case kUp: return 1.5707964f;
    case kLeft: return 0.0f;
    case kRight: return kPi;
    default: return -1.0f;
    }
}

float CameraWatchTrap::AngleApart(float a, float b)
{
    const float twoPi = 2.0f * kPi;
    float apart = std::fmod(std::fabs(a - b), twoPi);
    if (apart > kPi)
        apart = twoPi - apart;
    return apart;
}

void CameraWatchTrap::Update()
{
    const auto* view = dynamic_cast<const ViewPort*>(FindOpenWindow("MOUSEPORT"));
    if (!view)
        return;
    const float target = TargetAngle(grav_id);
    // The difference wraps: a view just below 2 pi is near "Left" (0).
    if (target >= 0.0f && AngleApart(view->GetRotation(), target) < kTolerance) {
        if (!atTarget)
            FireEvent(0, nullptr, false);
        atTarget = true;
        return;
    }
    atTarget = false;
}

void CameraWatchTrap::Draw()
{
    DrawInEditorOnly(*this);
}

void CameraWatchTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapInt(node, "grav_id", grav_id);
}

void CameraWatchTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    grav_id = XmlGetTagInt(node, "grav_id", defaults, grav_id);
}

void CameraWatchTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const CameraWatchTrap&>(source);
    atTarget = other.atTarget;
    grav_id = other.grav_id;
}

void CameraWatchTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(atTarget);
    hasher.Add(grav_id);
}
