#pragma once
// Inner loops of the rasteriser: texel fetch, colour combine and blend over one span.
// Every kernel has one exact integer definition; the SSE2 versions give the same bits.
//
// Arithmetic:
// - Mul8(a, b) = round(a * b / 255) for 8-bit a and b.
// - Bilinear: row = (t0 * (256 - fu) + t1 * fu) >> 8, then the same between the rows with
//   fv; fu and fv are the top 8 fraction bits of the 16.16 texel position.
// - Blending: min(255, Mul8(src, srcFactor) + Mul8(dst, dstFactor)) per channel (ADD).

#include "platform/gfx/Resources.h"

#include <cstdint>

namespace gfx::detail {

constexpr int kSpanChunk = 256;

inline uint32_t Mul8(uint32_t a, uint32_t b)
{
    const uint32_t x = a * b + 128;
    return (x + (x >> 8)) >> 8;
}

struct Sampler {
    TexelView view;
    bool bilinear = false;
    D3DTEXTUREADDRESS addressU = D3DTADDRESS_WRAP;
    D3DTEXTUREADDRESS addressV = D3DTADDRESS_WRAP;
};

// Texel positions in 16.16 fixed point, texel centres at integers (s = u * width - 0.5).
// Affine spans step s and t by constant amounts; perspective spans give arrays.
void FetchAffine(const Sampler& sampler, int64_t s, int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out);
void FetchArrays(const Sampler& sampler, const int64_t* s, const int64_t* t, int count, uint32_t* out);

// out[i] = Mul8 per channel of a[i] and b[i] (b may be a constant when bStride is 0).
void ModulateSpan(const uint32_t* a, const uint32_t* b, int bStride, int count, uint32_t* out);

struct BlendConfig {
    bool enable = false;
    D3DBLEND src = D3DBLEND_ONE;
    D3DBLEND dst = D3DBLEND_ZERO;
    D3DBLENDOP op = D3DBLENDOP_ADD;
    uint32_t writeMask = 0xFFFFFFFFu; // bits of the target pixel that may change
    bool opaqueTarget = false;        // X8R8G8B8: alpha reads and writes as 255
};

// Blends src into a 32-bit target row. keep (may be null) holds 0xFFFFFFFF for pixels to
// write and 0 for pixels discarded by the alpha, depth or stencil tests.
void BlendSpan(const BlendConfig& config, const uint32_t* src, const uint32_t* keep, int count, uint32_t* target);

} // namespace gfx::detail
