#include "world/MaskTransform.h"

#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "world/MaskReaders.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The scale that "%.2f" writes, and whether it writes it exactly.
std::string ScaleText(float scale)
{
    std::string text = StringPrintf("%.2f", double(scale));
    if (std::strtof(text.c_str(), nullptr) != scale)
        text += StringPrintf("~%.9g", double(scale));
    return text;
}

// The transform's linear part, source to turned image: X = a u + c v, Y = b u + d v.
struct Linear {
    float a, b, c, d;
};

Linear MakeLinear(float scaleX, float scaleY, int angle)
{
    const float cosine = CosDeg(angle), sine = SinDeg(angle);
    return {scaleX * cosine, -scaleX * sine, scaleY * sine, scaleY * cosine};
}

constexpr float kEdgeTolerance = 1e-4f;

} // namespace

int NormaliseMaskAngle(float rotation)
{
    if (!std::isfinite(rotation))
        return 0;
    const double whole = std::fmod(std::trunc(double(rotation)), 360.0);
    const int angle = static_cast<int>(whole);
    return angle < 0 ? angle + 360 : angle;
}

std::string MaskCacheKey(int angle, float scaleX, float scaleY, const std::string& name, const std::string& options)
{
    std::string key = StringPrintf("R%d", angle);
    key += 'X' + ScaleText(scaleX) + 'Y' + ScaleText(scaleY);
    if (!options.empty())
        key += '{' + options + '}';
    key.append(name.rbegin(), name.rend());
    return key;
}

bool ComputeMaskGeometry(float scaleX, float scaleY, int angle, int width, int height, bool centred,
                         MaskGeometry& out)
{
    out = {};
    if (!std::isfinite(scaleX) || !std::isfinite(scaleY)) {
        WriteLog("Mask refused: scale (%f, %f) is not a number\n", double(scaleX), double(scaleY));
        return false;
    }
    if (width <= 0 || height <= 0)
        return false;
    const Linear m = MakeLinear(scaleX, scaleY, angle);
    const float w = float(width), h = float(height);
    const float xs[4] = {0.0f, m.a * w, m.c * h, m.a * w + m.c * h};
    const float ys[4] = {0.0f, m.b * w, m.d * h, m.b * w + m.d * h};
    const double left = std::floor(double(*std::min_element(xs, xs + 4) + kEdgeTolerance));
    const double right = std::ceil(double(*std::max_element(xs, xs + 4) - kEdgeTolerance));
    const double top = std::floor(double(*std::min_element(ys, ys + 4) + kEdgeTolerance));
    const double bottom = std::ceil(double(*std::max_element(ys, ys + 4) - kEdgeTolerance));
    const double maskWidth = right - left, maskHeight = bottom - top;
    if (!(maskWidth >= 1.0 && maskHeight >= 1.0))
        return false;
    if (maskWidth > kMaxLandscapeSize || maskHeight > kMaxLandscapeSize) {
        WriteLog("Mask refused: %.0f x %.0f is larger than %d on a side\n", maskWidth, maskHeight,
                 kMaxLandscapeSize);
        return false;
    }
    out.width = int32_t(maskWidth);
    out.height = int32_t(maskHeight);
    out.originLeft = out.left = int32_t(left);
    out.originTop = out.top = int32_t(top);
    if (centred) {
        out.left -= RoundToInt(xs[3] * 0.5f);
        out.top -= RoundToInt(ys[3] * 0.5f);
    }
    return true;
}

void TransformMaskPoint(float scaleX, float scaleY, int angle, const MaskGeometry& geometry, int x, int y,
                        int32_t& outX, int32_t& outY)
{
    const Linear m = MakeLinear(scaleX, scaleY, angle);
    const float u = float(x) + 0.5f, v = float(y) + 0.5f;
    outX = RoundToInt(m.a * u + m.c * v - float(geometry.originLeft) - 0.5f);
    outY = RoundToInt(m.b * u + m.d * v - float(geometry.originTop) - 0.5f);
}

bool QuickLoadNearest()
{
    static ConsoleParam* const loadQuick = ConsoleParam::Find("loadquick");
    return loadQuick && loadQuick->GetInt() != 0 && Controller().sessionKind != kSessionNetworked;
}

bool ComputeMaskTransform(float scaleX, float scaleY, int angle, bool nearest, int width, int height,
                          MaskTransform& transform, MaskReader& reader)
{
    transform = {};
    reader = {};
    MaskGeometry geometry;
    if (!ComputeMaskGeometry(scaleX, scaleY, angle, width, height, false, geometry))
        return false;

    // Output pixel centre (X + 0.5, Y + 0.5) lies at (X + 0.5 + left, Y + 0.5 + top) of the
    // turned image; the inverse of the linear part takes it back to the source, where pixel
    // centres sit at whole coordinates + 0.5.
    const Linear m = MakeLinear(scaleX, scaleY, angle);
    const double determinant = double(m.a) * double(m.d) - double(m.b) * double(m.c);
    const double i11 = double(m.d) / determinant, i21 = -double(m.c) / determinant;
    const double i12 = -double(m.b) / determinant, i22 = double(m.a) / determinant;
    const double px = 0.5 + geometry.originLeft, py = 0.5 + geometry.originTop;
    transform.m11 = float(i11);
    transform.m21 = float(i21);
    transform.m12 = float(i12);
    transform.m22 = float(i22);
    transform.dx = float(i11 * px + i21 * py - 0.5);
    transform.dy = float(i12 * px + i22 * py - 0.5);
    transform.scaleX = std::fabs(scaleX);
    transform.scaleY = std::fabs(scaleY);

    const float scale = std::fabs(scaleX);
    int table = -1;
    if (scale == std::fabs(scaleY) && angle % 90 == 0) {
        if (scale == 1.0f)
            table = kMaskScalePlain;
        else if (scale == 2.0f)
            table = kMaskScaleDouble;
        else if (scale == 0.5f)
            table = kMaskScaleHalf;
        else if (scale == 0.25f)
            table = kMaskScaleQuarter;
    }
    if (table >= 0) {
        const bool p = scaleX > 0.0f, q = scaleY > 0.0f;
        int orientation = 0;
        switch (angle) {
        case 0: orientation = (q ? 0 : 2) + (p ? 0 : 1); break;
        case 180: orientation = (q ? 2 : 0) + (p ? 1 : 0); break;
        case 90: orientation = (q ? 0 : 2) + (p ? 4 : 5); break;
        default: orientation = (q ? 2 : 0) + (p ? 5 : 4); break; // 270
        }
        reader = OrientationReader(table, orientation);
    } else if (nearest || QuickLoadNearest()) {
        reader = NearestReader(transform);
    } else if (scaleX != 1.0f || scaleY != 1.0f) {
        reader = AreaReader(transform);
    } else {
        reader = BilinearReader(transform);
    }
    return true;
}
