#include "gui/Transforms.h"

float LinearFloatTransform::Evaluate(float t)
{
    const float span = endTime - startTime;
    if (span == 0.0f || t == endTime)
        return toValue;
    return fromValue + (toValue - fromValue) * (t - startTime) / span;
}

void AcceleratedTransform::Recompute()
{
    const float span = endTime - startTime;
    const float rise = startRate * span;              // the start rate over the whole range
    const float gap = toValue - fromValue - rise;     // what the start rate alone misses
    a_ = rise;
    b_ = 3.0f * gap;
    c_ = rise - 2.0f * gap;
    d_ = -rise;
    dirty = false;
}

float AcceleratedTransform::Evaluate(float t)
{
    const float span = endTime - startTime;
    if (std::fabs(span) < 0.001f || t == endTime)
        return toValue;
    if (dirty)
        Recompute();
    const float u = (t - startTime) / span;
    return fromValue + u * (a_ + u * (b_ + u * (c_ + u * d_)));
}

float AcceleratedTransform::Rate(float t)
{
    const float span = endTime - startTime;
    if (std::fabs(span) < 0.001f)
        return 0.0f;
    if (dirty)
        Recompute();
    const float u = (t - startTime) / span;
    return (a_ + u * (2.0f * b_ + u * (3.0f * c_ + u * 4.0f * d_))) / span;
}

float DampedTransform::Evaluate(float t)
{
    const float s = t - startTime;
    const float x0 = startValue - restValue;
    const float v0 = startSpeed;
    const float w = naturalFrequency;
    const float z = dampingRatio;
    float offset = 0.0f;
    if (z == 1.0f) {
        offset = (x0 + (v0 + w * x0) * s) * std::exp(-w * s);
    } else if (z > 1.0f) {
        const float root = std::sqrt(z * z - 1.0f);
        const float r1 = -w * (z - root);
        const float r2 = -w * (z + root);
        const float a = (v0 - r2 * x0) / (r1 - r2);
        offset = a * std::exp(r1 * s) + (x0 - a) * std::exp(r2 * s);
    } else {
        const float wd = w * std::sqrt(1.0f - z * z);
        offset = std::exp(-z * w * s) * (x0 * std::cos(wd * s) + (v0 + z * w * x0) / wd * std::sin(wd * s));
    }
    return restValue + offset;
}

Vect3AcceleratedTransform::Vect3AcceleratedTransform(const Vec3& from, const Vec3& to, const Vec3& rate)
{
    axes[0].SetValues(from.x, to.x, rate.x);
    axes[1].SetValues(from.y, to.y, rate.y);
    axes[2].SetValues(from.z, to.z, rate.z);
}

Vec3 Vect3AcceleratedTransform::Evaluate(float t)
{
    return Vec3{axes[0].Evaluate(t), axes[1].Evaluate(t), axes[2].Evaluate(t)};
}

void Vect3AcceleratedTransform::Set(float start, float end)
{
    BaseTransform<Vec3>::Set(start, end);
    for (AcceleratedTransform& axis : axes)
        axis.Set(start, end);
}
