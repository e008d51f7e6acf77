#include "platform/gfx/PixelKernels.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

namespace gfx::detail {
namespace {

inline int AddressTexel(int64_t i, int size, D3DTEXTUREADDRESS mode)
{
    switch (mode) {
    case D3DTADDRESS_CLAMP:
        return i < 0 ? 0 : (i >= size ? size - 1 : int(i));
    case D3DTADDRESS_MIRROR: {
        const int64_t period = int64_t(size) * 2;
        int64_t m = i % period;
        if (m < 0)
            m += period;
        return int(m >= size ? period - 1 - m : m);
    }
    default: {
        int64_t m = i % size;
        if (m < 0)
            m += size;
        return int(m);
    }
    }
}

inline uint32_t Lerp2(uint32_t a, uint32_t b, uint32_t f)
{
    const uint32_t rb = (((a & 0x00FF00FFu) * (256 - f) + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    const uint32_t ag = (((a >> 8) & 0x00FF00FFu) * (256 - f) + ((b >> 8) & 0x00FF00FFu) * f) & 0xFF00FF00u;
    return rb | ag;
}

inline uint32_t Texel(const TexelView& v, int x, int y) { return v.texels[size_t(y) * v.pitch + x]; }

inline uint32_t PointSample(const Sampler& s, int64_t fs, int64_t ft)
{
    const int x = AddressTexel((fs + 0x8000) >> 16, s.view.width, s.addressU);
    const int y = AddressTexel((ft + 0x8000) >> 16, s.view.height, s.addressV);
    return Texel(s.view, x, y);
}

// Four taps from two rows, both columns i and i + 1 inside the texture.
inline uint32_t BilerpInside(const uint32_t* r0, const uint32_t* r1, uint32_t fu, uint32_t fv)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0)), zero);
    __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r1)), zero);
    const __m128i wu = _mm_unpacklo_epi64(_mm_set1_epi16(short(256 - fu)), _mm_set1_epi16(short(fu)));
    a = _mm_mullo_epi16(a, wu);
    b = _mm_mullo_epi16(b, wu);
    a = _mm_srli_epi16(_mm_add_epi16(a, _mm_srli_si128(a, 8)), 8);
    b = _mm_srli_epi16(_mm_add_epi16(b, _mm_srli_si128(b, 8)), 8);
    __m128i v = _mm_unpacklo_epi64(a, b);
    const __m128i wv = _mm_unpacklo_epi64(_mm_set1_epi16(short(256 - fv)), _mm_set1_epi16(short(fv)));
    v = _mm_mullo_epi16(v, wv);
    v = _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_si128(v, 8)), 8);
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}

__attribute__((noinline)) uint32_t BilinearSample(const Sampler& s, int64_t fs, int64_t ft)
{
    const int64_t i = fs >> 16, j = ft >> 16;
    const uint32_t fu = uint32_t(fs >> 8) & 255u, fv = uint32_t(ft >> 8) & 255u;
    const TexelView& v = s.view;
    if ((fu | fv) == 0)
        return Texel(v, AddressTexel(i, v.width, s.addressU), AddressTexel(j, v.height, s.addressV));
    if (i >= 0 && i < v.width - 1 && j >= 0 && j < v.height - 1) {
        const uint32_t* r0 = v.texels + size_t(j) * v.pitch + i;
        return BilerpInside(r0, r0 + v.pitch, fu, fv);
    }
    const int x0 = AddressTexel(i, v.width, s.addressU), x1 = AddressTexel(i + 1, v.width, s.addressU);
    const int y0 = AddressTexel(j, v.height, s.addressV), y1 = AddressTexel(j + 1, v.height, s.addressV);
    const uint32_t top = Lerp2(Texel(v, x0, y0), Texel(v, x1, y0), fu);
    const uint32_t bottom = Lerp2(Texel(v, x0, y1), Texel(v, x1, y1), fu);
    return Lerp2(top, bottom, fv);
}

inline __m128i Mul8x8(__m128i a, __m128i b)
{
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(x, _mm_set1_epi16(257));
}

inline __m128i ModulateVec(__m128i a, __m128i b)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = Mul8x8(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = Mul8x8(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    return _mm_packus_epi16(lo, hi);
}

inline uint32_t ModulatePixel(uint32_t a, uint32_t b)
{
    uint32_t r = 0;
    for (int k = 0; k < 32; k += 8)
        r |= Mul8((a >> k) & 255, (b >> k) & 255) << k;
    return r;
}

// SRCALPHA / INVSRCALPHA for the 16-bit halves of four pixels.
inline __m128i AlphaBlendHalf(__m128i s, __m128i d)
{
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
    return _mm_add_epi16(Mul8x8(s, a), Mul8x8(d, ia));
}

inline uint32_t BlendFactor(D3DBLEND f, int k, uint32_t sk, uint32_t dk, uint32_t sa, uint32_t da)
{
    switch (f) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return sk;
    case D3DBLEND_INVSRCCOLOR: return 255 - sk;
    case D3DBLEND_SRCALPHA: return sa;
    case D3DBLEND_INVSRCALPHA: return 255 - sa;
    case D3DBLEND_DESTALPHA: return da;
    case D3DBLEND_INVDESTALPHA: return 255 - da;
    case D3DBLEND_DESTCOLOR: return dk;
    case D3DBLEND_INVDESTCOLOR: return 255 - dk;
    case D3DBLEND_SRCALPHASAT: return k == 3 ? 255 : std::min(sa, 255 - da);
    default: return 255;
    }
}

inline uint32_t BlendPixel(const BlendConfig& c, uint32_t s, uint32_t d)
{
    if (!c.enable)
        return c.opaqueTarget ? (s | 0xFF000000u) : s;
    const uint32_t sa = s >> 24, da = c.opaqueTarget ? 255 : d >> 24;
    uint32_t r = 0;
    for (int k = 0; k < 4; ++k) {
        const uint32_t sk = (s >> (8 * k)) & 255, dk = k == 3 ? da : (d >> (8 * k)) & 255;
        uint32_t v;
        switch (c.op) {
        case D3DBLENDOP_MIN: v = std::min(sk, dk); break;
        case D3DBLENDOP_MAX: v = std::max(sk, dk); break;
        default: {
            const int x = int(Mul8(sk, BlendFactor(c.src, k, sk, dk, sa, da)));
            const int y = int(Mul8(dk, BlendFactor(c.dst, k, sk, dk, sa, da)));
            const int sum = c.op == D3DBLENDOP_SUBTRACT ? x - y : c.op == D3DBLENDOP_REVSUBTRACT ? y - x : x + y;
            v = uint32_t(std::clamp(sum, 0, 255));
        }
        }
        r |= v << (8 * k);
    }
    return c.opaqueTarget ? (r | 0xFF000000u) : r;
}

enum class BlendKind { Replace, Alpha, Additive, AlphaAdditive, Generic };

BlendKind Classify(const BlendConfig& c)
{
    if (!c.enable)
        return BlendKind::Replace;
    if (c.op != D3DBLENDOP_ADD)
        return BlendKind::Generic;
    if (c.src == D3DBLEND_SRCALPHA && c.dst == D3DBLEND_INVSRCALPHA)
        return BlendKind::Alpha;
    if (c.src == D3DBLEND_ONE && c.dst == D3DBLEND_ONE)
        return BlendKind::Additive;
    if (c.src == D3DBLEND_SRCALPHA && c.dst == D3DBLEND_ONE)
        return BlendKind::AlphaAdditive;
    if (c.src == D3DBLEND_ONE && c.dst == D3DBLEND_ZERO)
        return BlendKind::Replace;
    return BlendKind::Generic;
}

} // namespace

const uint32_t* FetchAffine(const Sampler& sampler, int64_t s, int64_t t, int64_t ds, int64_t dt, int count,
                            uint32_t* out)
{
    const TexelView& v = sampler.view;
    const bool weightless = !sampler.bilinear || (ds == 0x10000 && (s & 0xFF00) == 0 && dt == 0 && (t & 0xFF00) == 0);
    if (weightless && ds == 0x10000 && dt == 0) {
        // Texel-aligned row (1:1 drawing): read in place when it lies inside the texture.
        const int64_t x0 = sampler.bilinear ? (s >> 16) : ((s + 0x8000) >> 16);
        const int64_t y = sampler.bilinear ? (t >> 16) : ((t + 0x8000) >> 16);
        const int row = AddressTexel(y, v.height, sampler.addressV);
        if (x0 >= 0 && x0 + count <= v.width)
            return v.texels + size_t(row) * v.pitch + x0;
        for (int i = 0; i < count; ++i)
            out[i] = Texel(v, AddressTexel(x0 + i, v.width, sampler.addressU), row);
        return out;
    }
    if (!sampler.bilinear) {
        for (int i = 0; i < count; ++i, s += ds, t += dt)
            out[i] = PointSample(sampler, s, t);
        return out;
    }
    // Bilinear: texels whose 2x2 footprint lies inside the texture take the inlined path.
    const uint64_t innerW = uint64_t(v.width - 1), innerH = uint64_t(v.height - 1);
    const __m128i zero = _mm_setzero_si128();
    __m128i wv = zero;
    auto verticalWeights = [](uint32_t fv) {
        const __m128i x = _mm_cvtsi32_si128(int((fv << 16) | (256 - fv)));
        const __m128i y = _mm_unpacklo_epi16(x, x);
        return _mm_unpacklo_epi32(y, y);
    };
    if (dt == 0)
        wv = verticalWeights(uint32_t(t >> 8) & 255u);
    // Wrapping power-of-two textures (a scrolled sky) take the inlined path wherever the
    // wrapped footprint lies inside: the same texels the wrapping sample would read.
    const int64_t maskU =
        sampler.addressU == D3DTADDRESS_WRAP && (v.width & (v.width - 1)) == 0 ? int64_t(v.width - 1) : -1;
    const int64_t maskV =
        sampler.addressV == D3DTADDRESS_WRAP && (v.height & (v.height - 1)) == 0 ? int64_t(v.height - 1) : -1;
    for (int i = 0; i < count; ++i, s += ds, t += dt) {
        const int64_t si = (s >> 16) & maskU, tj = (t >> 16) & maskV;
        if (uint64_t(si) < innerW && uint64_t(tj) < innerH) {
            const uint32_t fu = uint32_t(s >> 8) & 255u;
            if (dt != 0)
                wv = verticalWeights(uint32_t(t >> 8) & 255u);
            const uint32_t* r0 = v.texels + size_t(tj) * v.pitch + si;
            __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0)), zero);
            __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0 + v.pitch)), zero);
            const __m128i x = _mm_cvtsi32_si128(int((fu << 16) | (256 - fu)));
            const __m128i y = _mm_unpacklo_epi16(x, x);
            const __m128i wu = _mm_unpacklo_epi32(y, y);
            a = _mm_mullo_epi16(a, wu);
            b = _mm_mullo_epi16(b, wu);
            a = _mm_srli_epi16(_mm_add_epi16(a, _mm_srli_si128(a, 8)), 8);
            b = _mm_srli_epi16(_mm_add_epi16(b, _mm_srli_si128(b, 8)), 8);
            __m128i r = _mm_mullo_epi16(_mm_unpacklo_epi64(a, b), wv);
            r = _mm_srli_epi16(_mm_add_epi16(r, _mm_srli_si128(r, 8)), 8);
            out[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(r, r)));
        } else {
            out[i] = BilinearSample(sampler, s, t);
        }
    }
    return out;
}

void FetchArrays(const Sampler& sampler, const int64_t* s, const int64_t* t, int count, uint32_t* out)
{
    if (sampler.bilinear)
        for (int i = 0; i < count; ++i)
            out[i] = BilinearSample(sampler, s[i], t[i]);
    else
        for (int i = 0; i < count; ++i)
            out[i] = PointSample(sampler, s[i], t[i]);
}

void ModulateSpan(const uint32_t* a, const uint32_t* b, int bStride, int count, uint32_t* out)
{
    int i = 0;
    if (bStride == 0) {
        const __m128i bv = _mm_set1_epi32(int(b[0]));
        for (; i + 4 <= count; i += 4) {
            const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), ModulateVec(av, bv));
        }
        for (; i < count; ++i)
            out[i] = ModulatePixel(a[i], b[0]);
        return;
    }
    for (; i + 4 <= count; i += 4) {
        const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), ModulateVec(av, bv));
    }
    for (; i < count; ++i)
        out[i] = ModulatePixel(a[i], b[i]);
}

namespace {

template <BlendKind kKind, bool kMasked>
inline __m128i BlendBlock(__m128i s, __m128i d, __m128i fill, __m128i m)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i r;
    if constexpr (kKind == BlendKind::Alpha) {
        const __m128i lo = AlphaBlendHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
        const __m128i hi = AlphaBlendHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
        r = _mm_packus_epi16(lo, hi);
    } else if constexpr (kKind == BlendKind::Additive) {
        r = _mm_adds_epu8(s, d);
    } else if constexpr (kKind == BlendKind::AlphaAdditive) {
        const __m128i sl = _mm_unpacklo_epi8(s, zero), sh = _mm_unpackhi_epi8(s, zero);
        const __m128i al = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sl, 0xFF), 0xFF);
        const __m128i ah = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sh, 0xFF), 0xFF);
        r = _mm_adds_epu8(_mm_packus_epi16(Mul8x8(sl, al), Mul8x8(sh, ah)), d);
    } else {
        r = s;
    }
    r = _mm_or_si128(r, fill);
    if constexpr (kMasked)
        r = _mm_or_si128(_mm_and_si128(r, m), _mm_andnot_si128(m, d));
    return r;
}

template <BlendKind kKind, bool kMasked>
void BlendRun(const BlendConfig& config, const uint32_t* src, const uint32_t* keep, int count, uint32_t* target)
{
    const __m128i fill = _mm_set1_epi32(int(config.opaqueTarget ? 0xFF000000u : 0u));
    const __m128i writeMask = _mm_set1_epi32(int(config.writeMask));
    auto mask = [&](const uint32_t* k) {
        return k ? _mm_and_si128(writeMask, _mm_loadu_si128(reinterpret_cast<const __m128i*>(k))) : writeMask;
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
        const __m128i m = kMasked ? mask(keep ? keep + i : nullptr) : writeMask;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), BlendBlock<kKind, kMasked>(s, d, fill, m));
    }
    if (i < count) {
        // The last one to three pixels go through the same block, padded.
        alignas(16) uint32_t s4[4] = {}, d4[4] = {}, k4[4] = {};
        const int rest = count - i;
        for (int j = 0; j < rest; ++j) {
            s4[j] = src[i + j];
            d4[j] = target[i + j];
            k4[j] = keep ? keep[i + j] : 0xFFFFFFFFu;
        }
        const __m128i m = kMasked ? mask(k4) : writeMask;
        const __m128i r = BlendBlock<kKind, kMasked>(_mm_load_si128(reinterpret_cast<const __m128i*>(s4)),
                                                     _mm_load_si128(reinterpret_cast<const __m128i*>(d4)), fill, m);
        _mm_store_si128(reinterpret_cast<__m128i*>(d4), r);
        for (int j = 0; j < rest; ++j)
            target[i + j] = d4[j];
    }
}

template <BlendKind kKind>
void BlendRunMasked(const BlendConfig& config, const uint32_t* src, const uint32_t* keep, int count, uint32_t* target)
{
    if (keep || config.writeMask != 0xFFFFFFFFu)
        BlendRun<kKind, true>(config, src, keep, count, target);
    else
        BlendRun<kKind, false>(config, src, keep, count, target);
}

} // namespace

void BlendSpan(const BlendConfig& config, const uint32_t* src, const uint32_t* keep, int count, uint32_t* target)
{
    switch (Classify(config)) {
    case BlendKind::Replace: BlendRunMasked<BlendKind::Replace>(config, src, keep, count, target); return;
    case BlendKind::Alpha: BlendRunMasked<BlendKind::Alpha>(config, src, keep, count, target); return;
    case BlendKind::Additive: BlendRunMasked<BlendKind::Additive>(config, src, keep, count, target); return;
    case BlendKind::AlphaAdditive: BlendRunMasked<BlendKind::AlphaAdditive>(config, src, keep, count, target); return;
    case BlendKind::Generic: break;
    }
    for (int i = 0; i < count; ++i) {
        const uint32_t d = target[i];
        const uint32_t r = BlendPixel(config, src[i], d);
        const uint32_t m = config.writeMask & (keep ? keep[i] : 0xFFFFFFFFu);
        target[i] = (r & m) | (d & ~m);
    }
}

} // namespace gfx::detail
