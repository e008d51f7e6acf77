#include "platform/gfx/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace gfx::detail {
namespace {

inline int64_t FloorDiv(int64_t n, int64_t d) // d > 0
{
    int64_t q = n / d;
    if ((n % d) != 0 && n < 0)
        --q;
    return q;
}

// floor((n0 + k * step) / d) for k = 0, 1, 2 ... without a division per step.
struct FloorDivStepper {
    int64_t q = 0, r = 0, d = 1, stepQ = 0, stepR = 0;
    void Init(int64_t n0, int64_t step, int64_t divisor)
    {
        d = divisor;
        q = FloorDiv(n0, d);
        r = n0 - q * d;
        stepQ = FloorDiv(step, d);
        stepR = step - stepQ * d;
    }
    void Next()
    {
        q += stepQ;
        r += stepR;
        if (r >= d) {
            ++q;
            r -= d;
        }
    }
};

// Double to 16.16 fixed point, rounded to nearest, bounded so that it cannot overflow.
inline int64_t ToFixed16(double v)
{
    const double scaled = std::floor(v * 65536.0 + 0.5);
    return int64_t(std::clamp(scaled, -1.0e15, 1.0e15));
}

inline uint32_t ClampChannel(double v)
{
    const double r = std::floor(v + 0.5);
    return r <= 0.0 ? 0u : (r >= 255.0 ? 255u : uint32_t(r));
}

inline uint32_t PackColour(const double c[4])
{
    return (ClampChannel(c[0]) << 24) | (ClampChannel(c[1]) << 16) | (ClampChannel(c[2]) << 8) | ClampChannel(c[3]);
}

inline bool Compare(D3DCMPFUNC f, uint32_t a, uint32_t b)
{
    switch (f) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
    }
}

inline uint32_t StencilOp(D3DSTENCILOP op, uint32_t value, uint32_t ref)
{
    switch (op) {
    case D3DSTENCILOP_ZERO: return 0;
    case D3DSTENCILOP_REPLACE: return ref & 255;
    case D3DSTENCILOP_INCRSAT: return value < 255 ? value + 1 : 255;
    case D3DSTENCILOP_DECRSAT: return value > 0 ? value - 1 : 0;
    case D3DSTENCILOP_INVERT: return ~value & 255;
    case D3DSTENCILOP_INCR: return (value + 1) & 255;
    case D3DSTENCILOP_DECR: return (value - 1) & 255;
    default: return value;
    }
}

inline uint32_t Channel(uint32_t c, int k) { return (c >> (8 * k)) & 255; }

uint32_t StageArg(DWORD arg, uint32_t diffuse, uint32_t current, uint32_t texel, uint32_t factor)
{
    uint32_t v;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: v = diffuse; break;
    case D3DTA_CURRENT: v = current; break;
    case D3DTA_TEXTURE: v = texel; break;
    case D3DTA_TFACTOR: v = factor; break;
    default: v = 0xFF000000u; break; // no specular colour
    }
    if (arg & D3DTA_COMPLEMENT)
        v = ~v;
    if (arg & D3DTA_ALPHAREPLICATE)
        v = (v >> 24) * 0x01010101u;
    return v;
}

uint32_t StageChannel(D3DTEXTUREOP op, uint32_t x, uint32_t y, uint32_t blendAlpha)
{
    switch (op) {
    case D3DTOP_SELECTARG1: return x;
    case D3DTOP_SELECTARG2: return y;
    case D3DTOP_MODULATE: return Mul8(x, y);
    case D3DTOP_MODULATE2X: return std::min(255u, Mul8(x, y) * 2);
    case D3DTOP_MODULATE4X: return std::min(255u, Mul8(x, y) * 4);
    case D3DTOP_ADD: return std::min(255u, x + y);
    case D3DTOP_ADDSIGNED: return uint32_t(std::clamp(int(x + y) - 128, 0, 255));
    case D3DTOP_ADDSIGNED2X: return uint32_t(std::clamp((int(x + y) - 128) * 2, 0, 255));
    case D3DTOP_SUBTRACT: return x > y ? x - y : 0;
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA: return std::min(255u, Mul8(x, blendAlpha) + Mul8(y, 255 - blendAlpha));
    default: return x;
    }
}

bool UsesTexture(const StageSetup& s)
{
    auto tex = [](DWORD a) { return (a & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
    return tex(s.colorArg1) || tex(s.colorArg2) || tex(s.alphaArg1) || tex(s.alphaArg2)
           || s.colorOp == D3DTOP_BLENDTEXTUREALPHA || s.alphaOp == D3DTOP_BLENDTEXTUREALPHA;
}

enum class ArgUse { Other, Texture, Diffuse };

ArgUse Classify(D3DTEXTUREOP op, DWORD a1, DWORD a2, bool modulate)
{
    auto kind = [](DWORD a) {
        if (a == D3DTA_TEXTURE)
            return ArgUse::Texture;
        if (a == D3DTA_DIFFUSE || a == D3DTA_CURRENT)
            return ArgUse::Diffuse;
        return ArgUse::Other;
    };
    if (modulate)
        return op == D3DTOP_MODULATE
                       && ((kind(a1) == ArgUse::Texture && kind(a2) == ArgUse::Diffuse)
                           || (kind(a1) == ArgUse::Diffuse && kind(a2) == ArgUse::Texture))
                   ? ArgUse::Texture
                   : ArgUse::Other;
    if (op == D3DTOP_SELECTARG1)
        return kind(a1);
    if (op == D3DTOP_SELECTARG2)
        return kind(a2);
    return ArgUse::Other;
}

// The two arguments are the texture and the diffuse colour, in either order.
bool TextureWithDiffuse(DWORD a1, DWORD a2)
{
    const auto diffuse = [](DWORD a) { return a == D3DTA_DIFFUSE || a == D3DTA_CURRENT; };
    return (a1 == D3DTA_TEXTURE && diffuse(a2)) || (diffuse(a1) && a2 == D3DTA_TEXTURE);
}

} // namespace

void Rasterizer::Begin(const RasterSetup& setup)
{
    setup_ = setup;
    combine_ = CombineKind::Generic;
    needTexture_[0] = needTexture_[1] = false;
    for (int i = 0; i < setup_.stageCount; ++i)
        needTexture_[i] = setup_.stages[i].hasTexture && UsesTexture(setup_.stages[i]);
    needDiffuse_ = true;

    if (setup_.stageCount == 0) {
        combine_ = CombineKind::DiffuseOnly;
        return;
    }
    if (setup_.stageCount != 1)
        return;
    const StageSetup& s = setup_.stages[0];
    const bool texBound = s.hasTexture;
    const bool cMod = Classify(s.colorOp, s.colorArg1, s.colorArg2, true) == ArgUse::Texture;
    const ArgUse cSel = Classify(s.colorOp, s.colorArg1, s.colorArg2, false);
    const D3DTEXTUREOP alphaOp = s.alphaOp == D3DTOP_DISABLE ? D3DTOP_SELECTARG1 : s.alphaOp;
    const DWORD alphaArg1 = s.alphaOp == D3DTOP_DISABLE ? D3DTA_CURRENT : s.alphaArg1;
    const bool aMod = Classify(alphaOp, alphaArg1, s.alphaArg2, true) == ArgUse::Texture;
    const ArgUse aSel = Classify(alphaOp, alphaArg1, s.alphaArg2, false);

    if (cSel == ArgUse::Diffuse && aSel == ArgUse::Diffuse) {
        combine_ = CombineKind::DiffuseOnly;
        needTexture_[0] = false;
    } else if (!texBound) {
        combine_ = CombineKind::Generic;
    } else if (cMod && aMod) {
        combine_ = CombineKind::Modulate;
    } else if (cMod && aSel == ArgUse::Texture) {
        combine_ = CombineKind::ModulateColourOnly;
    } else if (cSel == ArgUse::Texture && aMod) {
        combine_ = CombineKind::ModulateAlphaOnly;
    } else if (cSel == ArgUse::Texture && aSel == ArgUse::Texture) {
        combine_ = CombineKind::TextureOnly;
        needDiffuse_ = false;
    } else if (s.colorOp == D3DTOP_ADDSIGNED && TextureWithDiffuse(s.colorArg1, s.colorArg2) && aMod) {
        combine_ = CombineKind::AddSignedModulateAlpha;
    }
}

void Rasterizer::PrepareTexturing(TriangleSetup& ts, const RasterVertex* v[3], double x0, double y0, double e1x,
                                  double e1y, double e2x, double e2y, double det) const
{
    auto plane = [&](double a0, double a1, double a2) {
        Plane p;
        p.origin = a0;
        p.x0 = x0;
        p.y0 = y0;
        p.dx = ((a1 - a0) * e2y - (a2 - a0) * e1y) / det;
        p.dy = ((a2 - a0) * e1x - (a1 - a0) * e2x) / det;
        return p;
    };
    for (int st = 0; st < setup_.stageCount; ++st) {
        if (!needTexture_[st])
            continue;
        const StageSetup& stage = setup_.stages[st];
        const int tc = std::clamp(stage.texcoordIndex, 0, 1);
        const double w = stage.magSampler.view.width, h = stage.magSampler.view.height;
        double s[3], t[3];
        for (int i = 0; i < 3; ++i) {
            s[i] = v[i]->u[tc] * w - 0.5;
            t[i] = v[i]->v[tc] * h - 0.5;
        }
        // Texels covered per pixel decides between the magnification and minification filter.
        const double texArea = std::fabs((s[1] - s[0]) * (t[2] - t[0]) - (s[2] - s[0]) * (t[1] - t[0]));
        ts.sampler[st] = texArea > std::fabs(det) ? &stage.minSampler : &stage.magSampler;
        if (ts.perspective) {
            ts.s[st] = plane(v[0]->u[tc] * v[0]->rhw, v[1]->u[tc] * v[1]->rhw, v[2]->u[tc] * v[2]->rhw);
            ts.t[st] = plane(v[0]->v[tc] * v[0]->rhw, v[1]->v[tc] * v[1]->rhw, v[2]->v[tc] * v[2]->rhw);
        } else {
            ts.s[st] = plane(s[0], s[1], s[2]);
            ts.t[st] = plane(t[0], t[1], t[2]);
        }
    }
}

void Rasterizer::Triangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c)
{
    const RasterVertex* v[3] = {&a, &b, &c};
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(v[i]->x) < 1.0e6 && std::fabs(v[i]->y) < 1.0e6))
            return;
        X[i] = int64_t(std::floor(v[i]->x * 256.0 + 0.5));
        Y[i] = int64_t(std::floor(v[i]->y * 256.0 + 0.5));
    }
    const int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0)
        return;
    if ((setup_.cull == D3DCULL_CCW && area < 0) || (setup_.cull == D3DCULL_CW && area > 0))
        return;
    const RasterVertex* provoking = v[0];
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
    }

    const RECT& clip = setup_.clip;
    const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    const int yStart = int(std::max<int64_t>(-FloorDiv(-minY, 256), clip.top));
    const int yEnd = int(std::min<int64_t>(FloorDiv(maxY, 256), clip.bottom - 1));
    const int xLow = int(std::max<int64_t>(-FloorDiv(-minX, 256), clip.left));
    const int xHigh = int(std::min<int64_t>(FloorDiv(maxX, 256), clip.right - 1));
    if (yStart > yEnd || xLow > xHigh)
        return;

    // Attribute planes over the snapped vertex positions.
    TriangleSetup ts;
    const double x0 = double(X[0]) / 256.0, y0 = double(Y[0]) / 256.0;
    const double e1x = double(X[1] - X[0]) / 256.0, e1y = double(Y[1] - Y[0]) / 256.0;
    const double e2x = double(X[2] - X[0]) / 256.0, e2y = double(Y[2] - Y[0]) / 256.0;
    const double det = e1x * e2y - e2x * e1y;
    auto plane = [&](double a0, double a1, double a2) {
        Plane p;
        p.origin = a0;
        p.x0 = x0;
        p.y0 = y0;
        p.dx = ((a1 - a0) * e2y - (a2 - a0) * e1y) / det;
        p.dy = ((a2 - a0) * e1x - (a1 - a0) * e2x) / det;
        return p;
    };
    ts.perspective = !(v[0]->rhw == v[1]->rhw && v[1]->rhw == v[2]->rhw);
    ts.rhw = plane(v[0]->rhw, v[1]->rhw, v[2]->rhw);
    ts.z = plane(v[0]->z, v[1]->z, v[2]->z);
    const uint32_t c0 = PackColour(v[0]->diffuse), c1 = PackColour(v[1]->diffuse), c2 = PackColour(v[2]->diffuse);
    if (setup_.flatShading || (c0 == c1 && c1 == c2)) {
        ts.flatColour = true;
        ts.flat = setup_.flatShading ? PackColour(provoking->diffuse) : c0;
    } else {
        for (int k = 0; k < 4; ++k) {
            if (ts.perspective)
                ts.colour[k] = plane(v[0]->diffuse[k] * v[0]->rhw, v[1]->diffuse[k] * v[1]->rhw,
                                     v[2]->diffuse[k] * v[2]->rhw);
            else
                ts.colour[k] = plane(v[0]->diffuse[k], v[1]->diffuse[k], v[2]->diffuse[k]);
        }
    }
    PrepareTexturing(ts, v, x0, y0, e1x, e1y, e2x, e2y, det);

    // Edge functions E = A x + B y + C, positive inside; pixels on an edge belong to the
    // triangle when the edge is a top or a left edge.
    struct Edge {
        int64_t A, B, C;
        FloorDivStepper step;
    } edges[3];
    const int64_t rowY = int64_t(yStart) * 256;
    for (int e = 0; e < 3; ++e) {
        const int i = e, j = (e + 1) % 3;
        Edge& edge = edges[e];
        edge.A = -(Y[j] - Y[i]);
        edge.B = X[j] - X[i];
        edge.C = (Y[j] - Y[i]) * X[i] - (X[j] - X[i]) * Y[i];
        const int64_t K = edge.B * rowY + edge.C;
        if (edge.A > 0)
            edge.step.Init(K, edge.B * 256, edge.A * 256);
        else if (edge.A < 0)
            edge.step.Init(-K, -edge.B * 256, -edge.A * 256);
    }
    for (int y = yStart; y <= yEnd; ++y) {
        int64_t left = xLow, right = xHigh;
        for (Edge& edge : edges) {
            if (edge.A > 0) {
                left = std::max(left, -edge.step.q);
                edge.step.Next();
            } else if (edge.A < 0) {
                right = std::min(right, -edge.step.q - 1);
                edge.step.Next();
            } else {
                const int64_t K = edge.B * int64_t(y) * 256 + edge.C;
                if (!(K > 0 || (K == 0 && edge.B > 0)))
                    right = left - 1;
            }
        }
        for (int64_t x = left; x <= right; x += kSpanChunk)
            Span(ts, y, int(x), int(std::min<int64_t>(kSpanChunk, right - x + 1)));
    }
}

void Rasterizer::Span(const TriangleSetup& ts, int y, int x0, int count)
{
    const double fy = y, fx = x0;
    // Diffuse colour.
    const bool diffuseArray = needDiffuse_
                              && (!ts.flatColour || combine_ == CombineKind::Generic
                                  || combine_ == CombineKind::DiffuseOnly);
    if (diffuseArray) {
        if (ts.flatColour) {
            std::fill_n(diffuse_, count, ts.flat);
        } else if (!ts.perspective) {
            int64_t c[4], dc[4];
            for (int k = 0; k < 4; ++k) {
                c[k] = ToFixed16(ts.colour[k].At(fx, fy));
                dc[k] = ToFixed16(ts.colour[k].dx);
            }
            for (int i = 0; i < count; ++i) {
                uint32_t p = 0;
                for (int k = 0; k < 4; ++k) {
                    const int64_t ch = (c[k] + 0x8000) >> 16;
                    p |= uint32_t(std::clamp<int64_t>(ch, 0, 255)) << (24 - 8 * k);
                    c[k] += dc[k];
                }
                diffuse_[i] = p;
            }
        } else {
            for (int i = 0; i < count; ++i) {
                const double px = fx + i, w = 1.0 / ts.rhw.At(px, fy);
                double ch[4];
                for (int k = 0; k < 4; ++k)
                    ch[k] = ts.colour[k].At(px, fy) * w;
                diffuse_[i] = PackColour(ch);
            }
        }
    }
    // Texels.
    for (int st = 0; st < setup_.stageCount; ++st) {
        if (!needTexture_[st]) {
            if (UsesTexture(setup_.stages[st]))
                std::fill_n(texels_[st], count, 0xFFFFFFFFu);
            tex_[st] = texels_[st];
            continue;
        }
        const Sampler& sampler = *ts.sampler[st];
        if (!ts.perspective) {
            tex_[st] = FetchAffine(sampler, ToFixed16(ts.s[st].At(fx, fy)), ToFixed16(ts.t[st].At(fx, fy)),
                                   ToFixed16(ts.s[st].dx), ToFixed16(ts.t[st].dx), count, texels_[st]);
        } else {
            const double w = sampler.view.width, h = sampler.view.height;
            for (int i = 0; i < count; ++i) {
                const double px = fx + i, inv = 1.0 / ts.rhw.At(px, fy);
                s_[i] = ToFixed16(ts.s[st].At(px, fy) * inv * w - 0.5);
                t_[i] = ToFixed16(ts.t[st].At(px, fy) * inv * h - 0.5);
            }
            FetchArrays(sampler, s_, t_, count, texels_[st]);
            tex_[st] = texels_[st];
        }
    }
    const uint32_t* colour = Combine(ts, count);

    bool masked = false;
    if (setup_.alphaTest) {
        masked = true;
        for (int i = 0; i < count; ++i)
            keep_[i] = Compare(setup_.alphaFunc, colour[i] >> 24, setup_.alphaRef) ? 0xFFFFFFFFu : 0u;
    }
    if (setup_.depthStencil && (setup_.zEnable || setup_.stencilEnable)) {
        if (!masked)
            std::fill_n(keep_, count, 0xFFFFFFFFu);
        masked = true;
        if (!DepthStencil(ts, y, x0, count))
            return;
    }
    BlendSpan(setup_.blend, colour, masked ? keep_ : nullptr, count, setup_.target->Row<uint32_t>(uint32_t(y)) + x0);
}

const uint32_t* Rasterizer::Combine(const TriangleSetup& ts, int count)
{
    switch (combine_) {
    case CombineKind::TextureOnly:
        return tex_[0];
    case CombineKind::DiffuseOnly:
        return diffuse_;
    case CombineKind::Modulate:
        if (!ts.flatColour) {
            ModulateSpan(tex_[0], diffuse_, 1, count, colour_);
            return colour_;
        }
        if (ts.flat == 0xFFFFFFFFu)
            return tex_[0];
        ModulateSpan(tex_[0], &ts.flat, 0, count, colour_);
        return colour_;
    case CombineKind::ModulateColourOnly:
    case CombineKind::ModulateAlphaOnly: {
        const uint32_t keep = combine_ == CombineKind::ModulateColourOnly ? 0xFF000000u : 0x00FFFFFFu;
        if (ts.flatColour) {
            const uint32_t factor = ts.flat | keep;
            if (factor == 0xFFFFFFFFu)
                return tex_[0];
            ModulateSpan(tex_[0], &factor, 0, count, colour_);
        } else {
            for (int i = 0; i < count; ++i)
                colour_[i] = diffuse_[i] | keep;
            ModulateSpan(tex_[0], colour_, 1, count, colour_);
        }
        return colour_;
    }
    case CombineKind::AddSignedModulateAlpha:
        for (int i = 0; i < count; ++i) {
            const uint32_t t = tex_[0][i], d = ts.flatColour ? ts.flat : diffuse_[i];
            uint32_t rgb = 0;
            for (int k = 0; k < 24; k += 8) {
                const int sum = int((t >> k) & 0xFFu) + int((d >> k) & 0xFFu) - 128;
                rgb |= uint32_t(std::clamp(sum, 0, 255)) << k;
            }
            colour_[i] = (Mul8(t >> 24, d >> 24) << 24) | rgb;
        }
        return colour_;
    case CombineKind::Generic:
        break;
    }
    const uint32_t factor = setup_.textureFactor;
    for (int i = 0; i < count; ++i) {
        const uint32_t diffuse = diffuse_[i];
        uint32_t current = diffuse;
        for (int st = 0; st < setup_.stageCount; ++st) {
            const StageSetup& s = setup_.stages[st];
            const uint32_t texel = tex_[st][i];
            uint32_t rgb = 0;
            {
                const uint32_t x = StageArg(s.colorArg1, diffuse, current, texel, factor);
                const uint32_t y = StageArg(s.colorArg2, diffuse, current, texel, factor);
                const uint32_t blendAlpha = s.colorOp == D3DTOP_BLENDTEXTUREALPHA ? texel >> 24 : diffuse >> 24;
                for (int k = 0; k < 3; ++k)
                    rgb |= StageChannel(s.colorOp, Channel(x, k), Channel(y, k), blendAlpha) << (8 * k);
            }
            uint32_t alpha = current >> 24;
            if (s.alphaOp != D3DTOP_DISABLE) {
                const uint32_t x = StageArg(s.alphaArg1, diffuse, current, texel, factor);
                const uint32_t y = StageArg(s.alphaArg2, diffuse, current, texel, factor);
                const uint32_t blendAlpha = s.alphaOp == D3DTOP_BLENDTEXTUREALPHA ? texel >> 24 : diffuse >> 24;
                alpha = StageChannel(s.alphaOp, x >> 24, y >> 24, blendAlpha);
            }
            current = (alpha << 24) | rgb;
        }
        colour_[i] = current;
    }
    return colour_;
}

bool Rasterizer::DepthStencil(const TriangleSetup& ts, int y, int x0, int count)
{
    Surface& ds = *setup_.depthStencil;
    if (uint32_t(y) >= ds.Height() || uint32_t(x0 + count) > ds.Width())
        return true; // the depth buffer does not cover this target area: no tests
    uint32_t* row = ds.Row<uint32_t>(uint32_t(y)) + x0;
    const double zStart = ts.z.At(double(x0), double(y)), dz = ts.z.dx;
    const uint32_t ref = setup_.stencilRef & 255, mask = setup_.stencilMask & 255, wm = setup_.stencilWriteMask & 255;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (!keep_[i])
            continue;
        const uint32_t old = row[i];
        uint32_t depth = old & 0xFFFFFFu, stencil = old >> 24;
        bool pass = true;
        D3DSTENCILOP op = D3DSTENCILOP_KEEP;
        if (setup_.stencilEnable && !Compare(setup_.stencilFunc, ref & mask, stencil & mask)) {
            pass = false;
            op = setup_.stencilFail;
        } else {
            if (setup_.zEnable) {
                const double z = std::clamp(zStart + dz * i, 0.0, 1.0);
                const uint32_t zi = uint32_t(z * 16777215.0 + 0.5);
                if (!Compare(setup_.zFunc, zi, depth)) {
                    pass = false;
                    op = setup_.stencilZFail;
                } else if (setup_.zWrite) {
                    depth = zi;
                }
            }
            if (pass)
                op = setup_.stencilPass;
        }
        if (setup_.stencilEnable)
            stencil = (stencil & ~wm) | (StencilOp(op, stencil, ref) & wm);
        row[i] = depth | (stencil << 24);
        if (!pass)
            keep_[i] = 0;
        any = any || pass;
    }
    return any;
}

void Rasterizer::Line(const RasterVertex& a, const RasterVertex& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const double major0 = xMajor ? a.x : a.y, major1 = xMajor ? b.x : b.y;
    const double len = major1 - major0;
    if (len == 0.0)
        return;
    const int start = int(std::floor(major0 + 0.5)), end = int(std::floor(major1 + 0.5));
    const int dir = end >= start ? 1 : -1;
    for (int m = start; m != end; m += dir) {
        const double t = std::clamp((double(m) - major0) / len, 0.0, 1.0);
        RasterVertex p;
        p.x = xMajor ? m : std::floor(a.x + t * dx + 0.5);
        p.y = xMajor ? std::floor(a.y + t * dy + 0.5) : m;
        p.z = a.z + t * (b.z - a.z);
        p.rhw = a.rhw + t * (b.rhw - a.rhw);
        const double wa = a.rhw * (1.0 - t), wb = b.rhw * t, sum = wa + wb;
        const double ta = sum != 0.0 ? wa / sum : 1.0 - t; // perspective-correct weights
        for (int k = 0; k < 4; ++k)
            p.diffuse[k] = setup_.flatShading ? a.diffuse[k] : a.diffuse[k] * ta + b.diffuse[k] * (1.0 - ta);
        for (int k = 0; k < 2; ++k) {
            p.u[k] = a.u[k] * ta + b.u[k] * (1.0 - ta);
            p.v[k] = a.v[k] * ta + b.v[k] * (1.0 - ta);
        }
        Point(p);
    }
}

void Rasterizer::Point(const RasterVertex& p)
{
    const int x = int(std::floor(p.x + 0.5)), y = int(std::floor(p.y + 0.5));
    const RECT& clip = setup_.clip;
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)
        return;
    TriangleSetup ts;
    ts.flatColour = true;
    ts.flat = PackColour(p.diffuse);
    ts.z.origin = p.z;
    ts.rhw.origin = 1.0;
    for (int st = 0; st < setup_.stageCount; ++st) {
        if (!needTexture_[st])
            continue;
        const StageSetup& stage = setup_.stages[st];
        const int tc = std::clamp(stage.texcoordIndex, 0, 1);
        ts.sampler[st] = &stage.magSampler;
        ts.s[st].origin = p.u[tc] * stage.magSampler.view.width - 0.5;
        ts.t[st].origin = p.v[tc] * stage.magSampler.view.height - 0.5;
    }
    Span(ts, y, x, 1);
}

} // namespace gfx::detail
