#pragma once
// Values that are functions of a time parameter (milliseconds as floats). A transform is set
// to a time range, started, and advanced by steps; time may run backwards (Set(duration, 0)
// and negative steps).

#include <cmath>

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vec3&) const = default;
};

template <class T>
class BaseTransform {
public:
    virtual ~BaseTransform() = default;

    // The value at time t (the curve).
    virtual T Evaluate(float t) = 0;
    // Stores the time range; the current time becomes the start time.
    virtual void Set(float start, float end)
    {
        startTime = start;
        endTime = end;
        time = start;
    }
    virtual void Start()
    {
        running = true;
        value = Evaluate(time);
    }
    // Marks the transform finished and evaluates it at the current time.
    virtual void Finish()
    {
        finished = true;
        value = Evaluate(time);
    }

    // Adds the step, clamps at the end time in the step's direction, evaluates.
    T Advance(float step)
    {
        time = static_cast<float>(time + step);
        if (step > 0.0f && time > endTime)
            time = endTime;
        else if (step < 0.0f && time < endTime)
            time = endTime;
        value = Evaluate(time);
        return value;
    }

    bool AtEnd() const { return time == endTime; }

    float time = 0.0f;
    T value{};
    float startTime = 0.0f;
    float endTime = 0.0f;
    bool running = false;
    bool finished = false;
};

// Straight from the start value to the end value.
class LinearFloatTransform : public BaseTransform<float> {
public:
    LinearFloatTransform(float from = 0.0f, float to = 0.0f) : fromValue(from), toValue(to) {}
    float Evaluate(float t) override;

    float fromValue;
    float toValue;
};

// A quartic from the start value with the start rate (value per ms) to the end value with
// rate 0, its second derivative 0 at the middle of the range (a smooth step when the start
// rate is 0). A range shorter than 0.001 gives the end value.
class AcceleratedTransform : public BaseTransform<float> {
public:
    AcceleratedTransform(float from = 0.0f, float to = 0.0f, float rate = 0.0f)
        : fromValue(from), toValue(to), startRate(rate)
    {
    }
    float Evaluate(float t) override;
    // The rate of change (value per ms) at time t.
    float Rate(float t);
    void SetValues(float from, float to, float rate)
    {
        fromValue = from;
        toValue = to;
        startRate = rate;
        dirty = true;
    }
    void Set(float start, float end) override
    {
        BaseTransform<float>::Set(start, end);
        dirty = true;
    }

    float fromValue;
    float toValue;
    float startRate;
    bool dirty = true;

private:
    void Recompute();
    // value = from + a u + b u^2 + c u^3 + d u^4 with u = (t - start) / (end - start).
    float a_ = 0.0f, b_ = 0.0f, c_ = 0.0f, d_ = 0.0f;
};

// A spring released from the start value with the start speed (value per ms) towards the
// rest value: critically damped at ratio 1, over-damped above, under-damped below. The
// natural frequency is in radians per ms.
class DampedTransform : public BaseTransform<float> {
public:
    DampedTransform(float start = 0.0f, float rest = 0.0f, float speed = 0.0f, float ratio = 1.0f,
                    float frequency = 0.01f)
        : startValue(start), restValue(rest), startSpeed(speed), dampingRatio(ratio), naturalFrequency(frequency)
    {
    }
    float Evaluate(float t) override;

    float startValue;
    float restValue;
    float startSpeed;
    float dampingRatio;
    float naturalFrequency;
};

// Three accelerated transforms, one per axis.
class Vect3AcceleratedTransform : public BaseTransform<Vec3> {
public:
    Vect3AcceleratedTransform() = default;
    Vect3AcceleratedTransform(const Vec3& from, const Vec3& to, const Vec3& rate);
    Vec3 Evaluate(float t) override;
    void Set(float start, float end) override;

    AcceleratedTransform axes[3];
};
