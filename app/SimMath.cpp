#include "app/SimMath.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;

// sin x for 0 <= x <= pi / 2 by its Taylor series.
constexpr double SeriesSin(double x)
{
    double term = x;
    double sum = x;
    for (int n = 1; n < 30; ++n) {
        term = -term * x * x / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

// atan x for |x| <= 0.42 by its Taylor series.
constexpr double SeriesAtan(double x)
{
    double power = x;
    double sum = x;
    for (int n = 1; n < 60; ++n) {
        power = -power * x * x;
        sum += power / (2.0 * n + 1.0);
    }
    return sum;
}

// atan x for 0 <= x <= 1: above tan(pi / 8) through atan x = pi / 4 + atan((x - 1) / (x + 1)).
constexpr double ArcTan(double x)
{
    return x > 0.41421356 ? kPi / 4.0 + SeriesAtan((x - 1.0) / (x + 1.0)) : SeriesAtan(x);
}

// e^x by its Taylor series (|x| <= 1 here).
constexpr double SeriesExp(double x)
{
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n < 40; ++n) {
        term = term * x / n;
        sum += term;
    }
    return sum;
}

constexpr std::array<float, 360> MakeSinTable()
{
    std::array<double, 91> quarter{};
    for (int d = 1; d < 90; ++d)
        quarter[d] = SeriesSin(d * kDegree);
    quarter[0] = 0.0;
    quarter[90] = 1.0;
    std::array<float, 360> table{};
    for (int d = 0; d < 360; ++d) {
        const int r = d % 180;
        const double v = quarter[r <= 90 ? r : 180 - r];
        table[d] = static_cast<float>(d < 180 ? v : -v);
    }
    return table;
}

constexpr int kAtanSteps = 1024;

// atan(i / kAtanSteps) in degrees.
constexpr std::array<double, kAtanSteps + 1> MakeAtanTable()
{
    std::array<double, kAtanSteps + 1> table{};
    for (int i = 0; i <= kAtanSteps; ++i)
        table[i] = ArcTan(static_cast<double>(i) / kAtanSteps) / kDegree;
    table[0] = 0.0;
    table[kAtanSteps] = 45.0;
    return table;
}

constexpr std::array<float, kExpTableSize> MakeExpTable()
{
    // exp(-d / 50) = exp(-1)^k x exp(-r / 50) with d = 50 k + r.
    std::array<double, 50> fraction{};
    for (int r = 0; r < 50; ++r)
        fraction[r] = SeriesExp(-r / 50.0);
    const double inverseE = SeriesExp(-1.0);
    std::array<float, kExpTableSize> table{};
    double whole = 1.0;
    for (int d = 0; d < kExpTableSize; ++d) {
        if (d > 0 && d % 50 == 0)
            whole *= inverseE;
        table[d] = static_cast<float>(whole * fraction[d % 50]);
    }
    table[0] = 1.0f;
    return table;
}

constexpr std::array<float, 360> kSinTable = MakeSinTable();
constexpr std::array<double, kAtanSteps + 1> kAtanTable = MakeAtanTable();
constexpr std::array<float, kExpTableSize> kExpTable = MakeExpTable();

int WrapDegrees(int degrees)
{
    const int r = degrees % 360;
    return r < 0 ? r + 360 : r;
}

// Whole degree in 0..359 and the fraction above it.
bool SplitDegrees(float degrees, int& whole, float& fraction)
{
    if (!std::isfinite(degrees))
        return false;
    // The remainder of a division by 360. Below 2^30 in magnitude value - 360 k is exact in
    // double for any whole k near value / 360, so stepping by 360 into [0, 360) gives what
    // fmod and one addition of 360 give, bit for bit, without a division; fmod serves the rest.
    const double value = static_cast<double>(degrees);
    double d = 0.0;
    if (std::fabs(value) < 1073741824.0) {
        d = value - 360.0 * static_cast<double>(static_cast<int64_t>(value * (1.0 / 360.0)));
        while (d >= 360.0)
            d -= 360.0;
        while (d <= -360.0)
            d += 360.0;
    } else {
        d = std::fmod(value, 360.0);
    }
    if (d < 0.0)
        d += 360.0;
    whole = static_cast<int>(d);
    fraction = static_cast<float>(d - whole);
    if (whole >= 360) { // d rounded up to 360 when it was a hair below
        whole = 0;
        fraction = 0.0f;
    }
    return true;
}

float Interpolated(int whole, float fraction)
{
    const float a = kSinTable[whole];
    const float b = kSinTable[whole == 359 ? 0 : whole + 1];
    return a + (b - a) * fraction;
}

// atan(r) in degrees for 0 <= r <= 1.
double AtanOfRatio(double r)
{
    const double position = r * kAtanSteps;
    const int i = static_cast<int>(position);
    if (i >= kAtanSteps)
        return kAtanTable[kAtanSteps];
    const double fraction = position - i;
    return kAtanTable[i] + (kAtanTable[i + 1] - kAtanTable[i]) * fraction;
}

} // namespace

float SinDeg(int degrees)
{
    return kSinTable[WrapDegrees(degrees)];
}

float CosDeg(int degrees)
{
    return kSinTable[WrapDegrees(WrapDegrees(degrees) + 90)];
}

float SinDegF(float degrees)
{
    int whole = 0;
    float fraction = 0.0f;
    return SplitDegrees(degrees, whole, fraction) ? Interpolated(whole, fraction) : 0.0f;
}

float CosDegF(float degrees)
{
    int whole = 0;
    float fraction = 0.0f;
    if (!SplitDegrees(degrees, whole, fraction))
        return 0.0f;
    return Interpolated(whole < 270 ? whole + 90 : whole - 270, fraction);
}

float Atan2Deg(float y, float x)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return 0.0f;
    const double ax = std::fabs(static_cast<double>(x));
    const double ay = std::fabs(static_cast<double>(y));
    if (ax == 0.0 && ay == 0.0)
        return 0.0f;
    double angle = ax >= ay ? AtanOfRatio(ay / ax) : 90.0 - AtanOfRatio(ax / ay);
    if (x < 0.0f)
        angle = 180.0 - angle;
    if (y < 0.0f)
        angle = -angle;
    return static_cast<float>(angle);
}

float ExpNeg50(int d)
{
    if (d <= 0)
        return 1.0f;
    return d < kExpTableSize ? kExpTable[d] : 0.0f;
}

int32_t RoundToInt(float v)
{
    if (!std::isfinite(v))
        return 0;
    const double scaled = static_cast<double>(v) * 10000.0; // exact: 24 + 14 bits
    constexpr double kLimit = 9.0e18;
    if (scaled >= kLimit)
        return std::numeric_limits<int32_t>::max();
    if (scaled <= -kLimit)
        return std::numeric_limits<int32_t>::min();
    int64_t n = static_cast<int64_t>(scaled);
    n = n >= 0 ? (n + 5) / 10 : (n - 5) / 10;
    n = n >= 0 ? (n + 500) / 1000 : (n - 500) / 1000;
    if (n > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (n < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(n);
}
