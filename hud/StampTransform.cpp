#include "hud/StampTransform.h"

#include <cmath>

namespace {

float WrapAngle(float radians)
{
    const float turn = 2.0f * StampTransform::kPi;
    float wrapped = std::fmod(radians, turn);
    if (wrapped < 0.0f)
        wrapped += turn;
    return wrapped >= turn ? 0.0f : wrapped;
}

// Keeps the sign: 0.3 .. 2.0 or -2.0 .. -0.3.
float ClampScale(float v)
{
    const float magnitude = std::fabs(v);
    const float clamped = magnitude > StampTransform::kMaxScale   ? StampTransform::kMaxScale
                          : magnitude < StampTransform::kMinScale ? StampTransform::kMinScale
                                                                  : magnitude;
    return v < 0.0f ? -clamped : clamped;
}

} // namespace

float StampTransform::StartRotation(std::optional<float> viewRotation)
{
    return viewRotation ? -*viewRotation - kPi / 2.0f : 0.0f;
}

void StampTransform::Wheel(bool up)
{
    switch (mode) {
    case StampMode::Scale:
        scaleX = ClampScale(scaleX * (up ? 1.1f : 0.9f));
        scaleY = std::fabs(scaleX);
        break;
    case StampMode::Rotate:
        rotation = WrapAngle(rotation + (up ? kRotateStep : -kRotateStep));
        break;
    case StampMode::Flip:
        scaleX = -scaleX;
        scaleY = std::fabs(scaleX);
        break;
    }
}

void StampTransform::NextMode()
{
    mode = mode == StampMode::Scale ? StampMode::Rotate : mode == StampMode::Rotate ? StampMode::Flip : StampMode::Scale;
}

const char* StampTransform::CursorName() const
{
    switch (mode) {
    case StampMode::Rotate:
        return "rotate";
    case StampMode::Flip:
        return "horizontal";
    default:
        return "diagonal-right";
    }
}
