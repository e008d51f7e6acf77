#include "world/MaskReaders.h"

#include "app/SimMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <utility>

void BashMaskDeleter::operator()(BashMask* mask) const
{
    if (!mask)
        return;
    mask->~BashMask();
    ::operator delete(static_cast<void*>(mask));
}

BashMaskPtr AllocateBashMask(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxLandscapeSize || height > kMaxLandscapeSize)
        return nullptr;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    void* block = ::operator new(sizeof(BashMask) + pixels * sizeof(uint32_t), std::nothrow);
    if (!block)
        return nullptr;
    auto* mask = new (block) BashMask;
    mask->width = width;
    mask->height = height;
    mask->pitch = width * 4;
    mask->pixels = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(block) + sizeof(BashMask));
    std::fill_n(mask->pixels, pixels, 0u);
    return BashMaskPtr(mask);
}

uint32_t ReadPlain(const BashMask& source, int x, int y)
{
    return source.pixels && source.Contains(x, y) ? source.Row(y)[x] : 0u;
}

namespace {

constexpr uint32_t Alpha(uint32_t c) { return c >> 24; }
constexpr uint32_t Red(uint32_t c) { return (c >> 16) & 0xFFu; }
constexpr uint32_t Green(uint32_t c) { return (c >> 8) & 0xFFu; }
constexpr uint32_t Blue(uint32_t c) { return c & 0xFFu; }
constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// The point of a w x h image that orientation o shows at output (x, y).
template <int O>
inline void Orient(int w, int h, int x, int y, int& sx, int& sy)
{
    static_assert(O >= 0 && O < 8);
    if constexpr (O == 0) { sx = x; sy = y; }
    else if constexpr (O == 1) { sx = w - 1 - x; sy = y; }
    else if constexpr (O == 2) { sx = x; sy = h - 1 - y; }
    else if constexpr (O == 3) { sx = w - 1 - x; sy = h - 1 - y; }
    else if constexpr (O == 4) { sx = w - 1 - y; sy = x; }
    else if constexpr (O == 5) { sx = y; sy = x; }
    else if constexpr (O == 6) { sx = w - 1 - y; sy = h - 1 - x; }
    else { sx = y; sy = h - 1 - x; }
}

template <int O>
uint32_t ReadPlainOriented(const BashMask& s, int x, int y, const void*)
{
    int sx = 0, sy = 0;
    Orient<O>(s.width, s.height, x, y, sx, sy);
    return ReadPlain(s, sx, sy);
}

template <int O>
uint32_t ReadDouble(const BashMask& s, int x, int y, const void*)
{
    if (s.width > kMaxLandscapeSize || s.height > kMaxLandscapeSize)
        return 0;
    int X = 0, Y = 0;
    Orient<O>(s.width * 2, s.height * 2, x, y, X, Y);
    if (X < 0 || Y < 0 || X >= s.width * 2 || Y >= s.height * 2)
        return 0;
    const int cx = X / 2, cy = Y / 2;
    uint32_t samples[4];
    int count = 0;
    samples[count++] = ReadPlain(s, cx, cy);
    if (X & 1)
        samples[count++] = ReadPlain(s, cx + 1, cy);
    if (Y & 1) {
        samples[count++] = ReadPlain(s, cx, cy + 1);
        if (X & 1)
            samples[count++] = ReadPlain(s, cx + 1, cy + 1);
    }
    return AverageSamples(samples, count);
}

template <int O, int Side>
uint32_t ReadReduced(const BashMask& s, int x, int y, const void*)
{
    const int w = (s.width + Side - 1) / Side;
    const int h = (s.height + Side - 1) / Side;
    int X = 0, Y = 0;
    Orient<O>(w, h, x, y, X, Y);
    if (X < 0 || Y < 0 || X >= w || Y >= h)
        return 0;
    return BlockAverage(s, X * Side, Y * Side, Side);
}

template <template <int> class Make, size_t... I>
constexpr std::array<MaskReader::Function, 8> MakeTable(std::index_sequence<I...>)
{
    return {Make<int(I)>::value...};
}

template <int O> struct PlainEntry { static constexpr MaskReader::Function value = &ReadPlainOriented<O>; };
template <int O> struct DoubleEntry { static constexpr MaskReader::Function value = &ReadDouble<O>; };
template <int O> struct HalfEntry { static constexpr MaskReader::Function value = &ReadReduced<O, 2>; };
template <int O> struct QuarterEntry { static constexpr MaskReader::Function value = &ReadReduced<O, 4>; };

constexpr std::array<std::array<MaskReader::Function, 8>, 4> kOrientationTables = {
    MakeTable<PlainEntry>(std::make_index_sequence<8>{}), MakeTable<DoubleEntry>(std::make_index_sequence<8>{}),
    MakeTable<HalfEntry>(std::make_index_sequence<8>{}), MakeTable<QuarterEntry>(std::make_index_sequence<8>{})};

inline void Transform(const MaskTransform& t, float x, float y, float& u, float& v)
{
    u = t.m11 * x + t.m21 * y + t.dx;
    v = t.m12 * x + t.m22 * y + t.dy;
}

uint32_t ReadNearest(const BashMask& s, int x, int y, const void* context)
{
    float u = 0.0f, v = 0.0f;
    Transform(*static_cast<const MaskTransform*>(context), float(x), float(y), u, v);
    return ReadPlain(s, RoundToInt(u), RoundToInt(v));
}

// The two pixel coordinates around u and the weight of the upper one.
void Neighbours(float u, int& low, int& high, float& weight)
{
    low = RoundToInt(u - 0.5f);
    high = RoundToInt(u + 0.5f);
    if (high - low > 1)
        ++low;
    weight = std::clamp(u - float(low), 0.0f, 1.0f);
    if (high == low)
        weight = 0.0f;
}

uint32_t ReadBilinear(const BashMask& s, int x, int y, const void* context)
{
    float u = 0.0f, v = 0.0f;
    Transform(*static_cast<const MaskTransform*>(context), float(x), float(y), u, v);
    if (!std::isfinite(u) || !std::isfinite(v))
        return 0;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    float fx = 0.0f, fy = 0.0f;
    Neighbours(u, x0, x1, fx);
    Neighbours(v, y0, y1, fy);
    const uint32_t samples[4] = {ReadPlain(s, x0, y0), ReadPlain(s, x1, y0), ReadPlain(s, x0, y1),
                                 ReadPlain(s, x1, y1)};
    float weights[4] = {(1.0f - fx) * (1.0f - fy), fx * (1.0f - fy), (1.0f - fx) * fy, fx * fy};
    bool anyTransparent = false;
    float total = 0.0f;
    for (int i = 0; i < 4; ++i) {
        if (Alpha(samples[i]) == 0) {
            weights[i] = 0.0f;
            anyTransparent = true;
        }
        total += weights[i];
    }
    if (total <= 0.0f)
        return 0;
    if (anyTransparent)
        for (float& w : weights)
            w /= total;
    float a = 0.0f, r = 0.0f, g = 0.0f, b = 0.0f;
    for (int i = 0; i < 4; ++i) {
        a += weights[i] * float(Alpha(samples[i]));
        r += weights[i] * float(Red(samples[i]));
        g += weights[i] * float(Green(samples[i]));
        b += weights[i] * float(Blue(samples[i]));
    }
    auto channel = [](float value) { return uint32_t(std::clamp(RoundToInt(value), 0, 255)); };
    return Argb(channel(a), channel(r), channel(g), channel(b));
}

// First and one-past-last whole coordinate in [centre - radius, centre + radius), clipped.
bool Footprint(float centre, float radius, int size, int& first, int& end)
{
    const float low = std::ceil(centre - radius);
    const float high = std::ceil(centre + radius);
    if (!std::isfinite(low) || !std::isfinite(high) || high <= 0.0f || low >= float(size))
        return false;
    first = low < 0.0f ? 0 : int(low);
    end = high > float(size) ? size : int(high);
    return first < end;
}

uint32_t ReadArea(const BashMask& s, int x, int y, const void* context)
{
    const auto& t = *static_cast<const MaskTransform*>(context);
    float u = 0.0f, v = 0.0f;
    Transform(t, float(x), float(y), u, v);
    auto radius = [](float scale) {
        const float r = scale > 0.0f ? 0.5f / scale : 0.5f;
        return std::isfinite(r) && r > 0.5f ? std::min(r, float(kMaxLandscapeSize)) : 0.5f;
    };
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    if (!s.pixels || !Footprint(u, radius(t.scaleX), s.width, x0, x1) ||
        !Footprint(v, radius(t.scaleY), s.height, y0, y1))
        return 0;
    uint64_t sa = 0, sr = 0, sg = 0, sb = 0, counted = 0;
    for (int yy = y0; yy < y1; ++yy) {
        const uint32_t* row = s.Row(yy);
        for (int xx = x0; xx < x1; ++xx) {
            const uint32_t c = row[xx];
            if (Alpha(c) == 0)
                continue;
            sa += Alpha(c);
            sr += Red(c);
            sg += Green(c);
            sb += Blue(c);
            ++counted;
        }
    }
    if (counted == 0)
        return 0;
    const uint64_t area = uint64_t(x1 - x0) * uint64_t(y1 - y0);
    const uint64_t divisor = counted == area ? area : counted;
    return Argb(uint32_t(sa / area), uint32_t(sr / divisor), uint32_t(sg / divisor), uint32_t(sb / divisor));
}

} // namespace

uint32_t AverageSamples(const uint32_t* samples, int count)
{
    uint32_t sa = 0, sr = 0, sg = 0, sb = 0;
    int opaque = 0;
    for (int i = 0; i < count; ++i) {
        const uint32_t c = samples[i];
        sa += Alpha(c);
        if (Alpha(c) == 0)
            continue;
        sr += Red(c);
        sg += Green(c);
        sb += Blue(c);
        ++opaque;
    }
    if (opaque == 0)
        return 0;
    return Argb(sa / uint32_t(count), sr / uint32_t(opaque), sg / uint32_t(opaque), sb / uint32_t(opaque));
}

uint32_t BlockAverage(const BashMask& source, int x, int y, int side)
{
    uint32_t sa = 0, sr = 0, sg = 0, sb = 0;
    int counted = 0;
    for (int dy = 0; dy < side; ++dy) {
        for (int dx = 0; dx < side; ++dx) {
            const uint32_t c = ReadPlain(source, x + dx, y + dy);
            if (Alpha(c) == 0)
                continue;
            sa += Alpha(c);
            sr += Red(c);
            sg += Green(c);
            sb += Blue(c);
            ++counted;
        }
    }
    if (counted == 0)
        return 0;
    const uint32_t area = uint32_t(side * side);
    const uint32_t divisor = uint32_t(counted) == area ? area : uint32_t(counted);
    return Argb(sa / area, sr / divisor, sg / divisor, sb / divisor);
}

MaskReader OrientationReader(int table, int orientation)
{
    if (table < 0 || table > 3 || orientation < 0 || orientation > 7)
        return {};
    return {kOrientationTables[size_t(table)][size_t(orientation)], nullptr};
}

MaskReader NearestReader(const MaskTransform& transform)
{
    return {&ReadNearest, &transform};
}

MaskReader BilinearReader(const MaskTransform& transform)
{
    return {&ReadBilinear, &transform};
}

MaskReader AreaReader(const MaskTransform& transform)
{
    return {&ReadArea, &transform};
}

void BlitImage(BashMask& dest, int x, int y, const BashMask& source, const MaskReader* reader)
{
    if (!dest.pixels)
        return;
    const MaskReader plain{};
    const MaskReader& use = reader ? *reader : plain;
    // Source column c lands on dest column x + c; only dest columns 0 .. width-1 are drawn.
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t(x));
    const int64_t endColumn = int64_t(dest.width) - x;
    const int64_t firstRow = std::max<int64_t>(0, -int64_t(y));
    const int64_t endRow = int64_t(dest.height) - y;
    for (int64_t row = firstRow; row < endRow; ++row) {
        uint32_t* out = dest.Row(int(y + row));
        for (int64_t column = firstColumn; column < endColumn; ++column)
            out[x + column] = ReadMask(use, source, int(column), int(row));
    }
}
