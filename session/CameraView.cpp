#include "session/CameraView.h"

#include "app/Log.h"
#include "game/GameViewPort.h"
#include "session/ClientCommandState.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegreesPerRadian = 57.29577951308232f;
// A recorded zoom may show this many whole landscapes, no more.
constexpr float kZoomBeyondFit = 4.0f;

int16_t ClampToI16(float value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
}

} // namespace

NetRecord CurrentCameraView()
{
    float x = 0.0f, y = 0.0f;
    int16_t zoom = 0, degrees = 0;
    if (const GameViewPort* view = FindGameViewPort()) {
        x = view->camera.target.x;
        y = view->camera.target.y;
        zoom = ClampToI16(view->GetZoom());
        degrees = static_cast<int16_t>(ClampToI16(view->GetRotation() * kDegreesPerRadian) % 360);
    } else {
        CurrentViewCentre(x, y);
    }
    NetRecord camera = MakeCameraView(ClampToI16(x), ClampToI16(y), zoom, degrees);
    camera[1] = static_cast<uint8_t>(ClientUpdateCounter());
    return camera;
}

bool ApplyCameraView(const uint8_t* record)
{
    const auto x = static_cast<int16_t>(GetU16(record, 6));
    const auto y = static_cast<int16_t>(GetU16(record, 8));
    const auto zoom = static_cast<int16_t>(GetU16(record, 10));
    const auto degrees = static_cast<int16_t>(GetU16(record, 12));
    GameViewPort* view = FindGameViewPort();
    if (!view)
        return true;
    if (zoom <= 0 || float(zoom) > kZoomBeyondFit * view->GetFitZoom(false)) {
        WriteLog("WARNING: CAMERA_VIEW with the zoom %d refused\n", zoom);
        return false;
    }
    // All at once: the recorded centre was inside the land at the recorded zoom and turn.
    view->SetRotation(float(degrees % 360) / kDegreesPerRadian, -1, -1.0f);
    view->SetZoom(float(zoom), -1);
    view->PanTo(x, y, -1, false);
    return true;
}
