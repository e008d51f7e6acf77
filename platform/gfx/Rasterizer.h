#pragma once
// Triangle, line and point rasterisation of screen-space vertices into a 32-bit render
// target, with the fixed-function pixel pipeline: texture stages, alpha test, stencil and
// depth tests, blending. Internal to the device.
//
// Coverage is decided in 24.8 fixed point with the top-left rule at integer pixel centres;
// attributes are planes evaluated in double and stepped in fixed point, so the same input
// gives the same pixels on every x86-64 machine.

#include "platform/gfx/PixelKernels.h"

namespace gfx::detail {

struct RasterVertex {
    double x = 0, y = 0;   // render-target pixels
    double z = 0;          // depth 0..1
    double rhw = 1;        // 1 / w
    double diffuse[4] = {255, 255, 255, 255}; // a, r, g, b in 0..255
    double u[2] = {0, 0};
    double v[2] = {0, 0};
};

struct StageSetup {
    D3DTEXTUREOP colorOp = D3DTOP_DISABLE;
    DWORD colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
    D3DTEXTUREOP alphaOp = D3DTOP_DISABLE;
    DWORD alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
    int texcoordIndex = 0;
    bool hasTexture = false;
    Sampler magSampler; // magnification filter
    Sampler minSampler; // minification filter
};

struct RasterSetup {
    Surface* target = nullptr;
    Surface* depthStencil = nullptr; // null: no depth or stencil buffer
    RECT clip{};                     // viewport within the target
    D3DCULL cull = D3DCULL_NONE;
    bool flatShading = false;
    bool zEnable = false, zWrite = false;
    D3DCMPFUNC zFunc = D3DCMP_LESSEQUAL;
    bool stencilEnable = false;
    D3DCMPFUNC stencilFunc = D3DCMP_ALWAYS;
    uint32_t stencilRef = 0, stencilMask = 0xFF, stencilWriteMask = 0xFF;
    D3DSTENCILOP stencilFail = D3DSTENCILOP_KEEP, stencilZFail = D3DSTENCILOP_KEEP, stencilPass = D3DSTENCILOP_KEEP;
    bool alphaTest = false;
    D3DCMPFUNC alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;
    D3DCOLOR textureFactor = 0xFFFFFFFFu;
    int stageCount = 0; // stages before the first disabled colour operation
    StageSetup stages[2];
    BlendConfig blend;
};

class Rasterizer {
public:
    void Begin(const RasterSetup& setup);
    void Triangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
    void Line(const RasterVertex& a, const RasterVertex& b);
    void Point(const RasterVertex& a);

private:
    struct Plane {
        double origin = 0, dx = 0, dy = 0, x0 = 0, y0 = 0;
        double At(double x, double y) const { return origin + (x - x0) * dx + (y - y0) * dy; }
    };
    struct TriangleSetup {
        bool perspective = false;
        bool flatColour = false;
        uint32_t flat = 0;
        Plane rhw, z, colour[4];
        Plane s[2], t[2]; // texel space (affine) or u, v times rhw (perspective)
        bool bilinear[2] = {false, false};
        const Sampler* sampler[2] = {nullptr, nullptr};
    };
    enum class CombineKind {
        Generic,
        Modulate,
        ModulateColourOnly,
        ModulateAlphaOnly,
        TextureOnly,
        DiffuseOnly,
        AddSignedModulateAlpha, // colour: texture + diffuse - 128; alpha: texture x diffuse
    };

    void PrepareTexturing(TriangleSetup& ts, const RasterVertex* v[3], double x0, double y0, double e1x, double e1y,
                          double e2x, double e2y, double det) const;
    void Span(const TriangleSetup& ts, int y, int x0, int count);
    // The combined colours of the span (colour_, or a fetched or interpolated array).
    const uint32_t* Combine(const TriangleSetup& ts, int count);
    bool DepthStencil(const TriangleSetup& ts, int y, int x0, int count);

    RasterSetup setup_;
    CombineKind combine_ = CombineKind::Generic;
    bool needDiffuse_ = true;
    bool needTexture_[2] = {false, false};

    alignas(16) uint32_t diffuse_[kSpanChunk];
    alignas(16) uint32_t texels_[2][kSpanChunk];
    const uint32_t* tex_[2] = {texels_[0], texels_[1]}; // fetched texels (maybe in the texture itself)
    alignas(16) uint32_t colour_[kSpanChunk];
    alignas(16) uint32_t keep_[kSpanChunk];
    int64_t s_[kSpanChunk];
    int64_t t_[kSpanChunk];
};

} // namespace gfx::detail
