#include "media/Draw2D.h"

#include "media/DXManager.h"
#include "platform/gfx/Device.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace gfx;

namespace Draw2D {
namespace {

constexpr float kPi = 3.14159265358979f;

struct TexVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ColourVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
constexpr DWORD kColourFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

bool g_doubleColour = false; // set by TintScope
bool g_opaque = false;       // set by OpaqueScope
DWORD g_signedAdd = 0;        // set by SignedAddScope
DWORD g_depthFunc = 0;        // set by DepthTestScope (0: no depth test)

Device* SetStates(Texture* texture, DWORD address)
{
    Device* device = DXManager::GetDevice();
    if (!device)
        return nullptr;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, g_opaque ? 0 : 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ZENABLE, g_depthFunc ? 1 : 0);
    if (g_depthFunc)
        device->SetRenderState(D3DRS_ZFUNC, g_depthFunc);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP,
                                 texture && g_signedAdd      ? D3DTOP_ADDSIGNED
                                 : texture && g_doubleColour ? D3DTOP_MODULATE2X
                                                             : D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, address);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, address);
    device->SetFVF(texture ? kTexFvf : kColourFvf);
    return device;
}

bool TextureSize(Texture* texture, float& w, float& h)
{
    D3DSURFACE_DESC desc;
    if (!texture || FAILED(texture->GetLevelDesc(0, &desc)) || desc.Width == 0 || desc.Height == 0)
        return false;
    w = float(desc.Width);
    h = float(desc.Height);
    return true;
}

// Corners of a transformed source rectangle in the order top-left, top-right,
// bottom-right, bottom-left, with their texture coordinates.
bool BuildQuad(Texture* texture, const RECT* sourceRect, float x, float y, float scaleX, float scaleY, float centreX,
               float centreY, float rotation, const D3DCOLOR colours[4], TexVertex out[4])
{
    float tw, th;
    if (!TextureSize(texture, tw, th))
        return false;
    RECT source = sourceRect ? *sourceRect : RECT{0, 0, int32_t(tw), int32_t(th)};
    const float w = float(source.right - source.left);
    const float h = float(source.bottom - source.top);
    const float local[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    const float uv[4][2] = {{float(source.left), float(source.top)},
                            {float(source.right), float(source.top)},
                            {float(source.right), float(source.bottom)},
                            {float(source.left), float(source.bottom)}};
    const float c = std::cos(rotation), s = std::sin(rotation);
    for (int i = 0; i < 4; ++i) {
        const float lx = (local[i][0] - centreX) * scaleX;
        const float ly = (local[i][1] - centreY) * scaleY;
        // Pixel centres lie on integers: quad edges half a pixel before them.
        out[i] = {x + lx * c - ly * s - 0.5f, y + lx * s + ly * c - 0.5f, 0.0f, 1.0f, colours[i],
                  uv[i][0] / tw, uv[i][1] / th};
    }
    return true;
}

HRESULT DrawStrip(Texture* texture, TexVertex quad[4])
{
    Device* device = SetStates(texture, D3DTADDRESS_CLAMP);
    if (!device)
        return E_FAIL;
    const TexVertex strip[4] = {quad[0], quad[1], quad[3], quad[2]};
    return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(TexVertex));
}

HRESULT DrawColoured(D3DPRIMITIVETYPE type, uint32_t count, const std::vector<ColourVertex>& vertices)
{
    Device* device = SetStates(nullptr, D3DTADDRESS_CLAMP);
    if (!device)
        return E_FAIL;
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    HRESULT hr = device->DrawPrimitiveUP(type, count, vertices.data(), sizeof(ColourVertex));
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    return hr;
}

ColourVertex At(float x, float y, D3DCOLOR colour) { return {x, y, 0.0f, 1.0f, colour}; }

} // namespace

OpaqueScope::OpaqueScope() : previous_(g_opaque)
{
    g_opaque = true;
}

OpaqueScope::~OpaqueScope()
{
    g_opaque = previous_;
}

TintScope::TintScope() : previous_(g_doubleColour)
{
    g_doubleColour = true;
}

TintScope::~TintScope()
{
    g_doubleColour = previous_;
}

SignedAddScope::SignedAddScope() : previous_(g_signedAdd)
{
    g_signedAdd = 1;
}

SignedAddScope::~SignedAddScope()
{
    g_signedAdd = previous_;
}

DepthTestScope::DepthTestScope(uint32_t compare) : previous_(g_depthFunc)
{
    g_depthFunc = compare;
}

DepthTestScope::~DepthTestScope()
{
    g_depthFunc = previous_;
}

HRESULT DrawTexturedQuad(Texture* texture, const RECT* sourceRect, float x, float y, float scaleX, float scaleY,
                         float centreX, float centreY, float rotation, const D3DCOLOR colours[4])
{
    TexVertex quad[4];
    if (!BuildQuad(texture, sourceRect, x, y, scaleX, scaleY, centreX, centreY, rotation, colours, quad))
        return D3DERR_INVALIDCALL;
    Device* device = SetStates(texture, D3DTADDRESS_CLAMP);
    if (!device)
        return E_FAIL;
    const TexVertex triangles[6] = {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
    return device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, triangles, sizeof(TexVertex));
}

HRESULT DrawTexturedQuad(Texture* texture, const RECT* sourceRect, float x, float y, float scaleX, float scaleY,
                         float centreX, float centreY, float rotation, D3DCOLOR colour)
{
    const D3DCOLOR colours[4] = {colour, colour, colour, colour};
    return DrawTexturedQuad(texture, sourceRect, x, y, scaleX, scaleY, centreX, centreY, rotation, colours);
}

HRESULT DrawTexturedQuadSimple(Texture* texture, const RECT* sourceRect, float x, float y, float scaleX,
                               float scaleY, float centreX, float centreY, float rotation, D3DCOLOR colour)
{
    const D3DCOLOR colours[4] = {colour, colour, colour, colour};
    TexVertex quad[4];
    if (!BuildQuad(texture, sourceRect, x, y, scaleX, scaleY, centreX, centreY, rotation, colours, quad))
        return D3DERR_INVALIDCALL;
    return DrawStrip(texture, quad);
}

HRESULT DrawTexturedRect(Texture* texture, const RECT* sourceRect, float left, float top, float right, float bottom,
                         const D3DCOLOR colours[4])
{
    float tw, th;
    if (!TextureSize(texture, tw, th))
        return D3DERR_INVALIDCALL;
    RECT source = sourceRect ? *sourceRect : RECT{0, 0, int32_t(tw), int32_t(th)};
    const float sw = float(source.right - source.left), sh = float(source.bottom - source.top);
    if (sw == 0.0f || sh == 0.0f)
        return D3DERR_INVALIDCALL;
    return DrawTexturedQuad(texture, &source, left, top, (right - left) / sw, (bottom - top) / sh, 0.0f, 0.0f, 0.0f,
                            colours);
}

HRESULT DrawFilledRect(float left, float top, float right, float bottom, D3DCOLOR colour)
{
    left -= 0.5f, top -= 0.5f, right -= 0.5f, bottom -= 0.5f;
    return DrawColoured(D3DPT_TRIANGLESTRIP, 2,
                        {At(left, top, colour), At(right, top, colour), At(left, bottom, colour),
                         At(right, bottom, colour)});
}

HRESULT DrawRectOutline(float left, float top, float right, float bottom, D3DCOLOR colour)
{
    right -= 1.0f, bottom -= 1.0f;
    return DrawColoured(D3DPT_LINESTRIP, 4,
                        {At(left, top, colour), At(right, top, colour), At(right, bottom, colour),
                         At(left, bottom, colour), At(left, top, colour)});
}

HRESULT DrawLine(float x1, float y1, float x2, float y2, D3DCOLOR colour)
{
    return DrawColoured(D3DPT_LINELIST, 1, {At(x1, y1, colour), At(x2, y2, colour)});
}

HRESULT DrawArrow(float x1, float y1, float x2, float y2, D3DCOLOR colour)
{
    const float back = std::atan2(y1 - y2, x1 - x2);
    const float spread = 30.0f * kPi / 180.0f;
    std::vector<ColourVertex> lines = {At(x1, y1, colour), At(x2, y2, colour)};
    for (float side : {-spread, spread}) {
        lines.push_back(At(x2, y2, colour));
        lines.push_back(At(x2 + 15.0f * std::cos(back + side), y2 + 15.0f * std::sin(back + side), colour));
    }
    return DrawColoured(D3DPT_LINELIST, 3, lines);
}

HRESULT DrawCircle(float radius, float x, float y, D3DCOLOR colour)
{
    std::vector<ColourVertex> points;
    for (int i = 0; i <= 50; ++i) {
        const float a = float(i) * 7.2f * kPi / 180.0f;
        points.push_back(At(x + radius * std::cos(a), y + radius * std::sin(a), colour));
    }
    return DrawColoured(D3DPT_LINESTRIP, 50, points);
}

HRESULT DrawFilledCircle(float radius, float x, float y, D3DCOLOR colour)
{
    std::vector<ColourVertex> fan = {At(x - 0.5f, y - 0.5f, colour)};
    for (int i = 0; i <= 50; ++i) {
        const float a = float(i) * 7.2f * kPi / 180.0f;
        fan.push_back(At(x - 0.5f + radius * std::cos(a), y - 0.5f + radius * std::sin(a), colour));
    }
    return DrawColoured(D3DPT_TRIANGLEFAN, 50, fan);
}

HRESULT DrawTexturedRing(Texture* texture, float innerRadius, float outerRadius, D3DCOLOR colour, float startAngle,
                         float x, float y)
{
    if (!(innerRadius < outerRadius) || !(outerRadius > 0.0f))
        return D3D_OK;
    constexpr int kSegments = 100;
    std::vector<TexVertex> strip;
    strip.reserve(2 * (kSegments + 1));
    for (int i = 0; i <= kSegments; ++i) {
        const float a = startAngle + float(i) * 3.6f * kPi / 180.0f;
        const float c = std::cos(a), s = std::sin(a), u = float(i) / kSegments;
        strip.push_back({x + innerRadius * c, y + innerRadius * s, 0.0f, 1.0f, colour, u, 0.0f});
        strip.push_back({x + outerRadius * c, y + outerRadius * s, 0.0f, 1.0f, colour, u, 1.0f});
    }
    Device* device = SetStates(texture, D3DTADDRESS_WRAP);
    if (!device)
        return E_FAIL;
    return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2 * kSegments, strip.data(), sizeof(TexVertex));
}

bool PieCopyTexture(Texture* source, Texture* target, float centreX, float centreY, float angle)
{
    D3DSURFACE_DESC sd, td;
    if (!source || !target || FAILED(source->GetLevelDesc(0, &sd)) || FAILED(target->GetLevelDesc(0, &td)))
        return false;
    D3DLOCKED_RECT from, to;
    if (FAILED(source->LockRect(0, &from, nullptr, D3DLOCK_READONLY)))
        return false;
    if (FAILED(target->LockRect(0, &to, nullptr, 0))) {
        source->UnlockRect(0);
        return false;
    }
    const uint32_t w = std::min(sd.Width, td.Width), h = std::min(sd.Height, td.Height);
    const float full = 2.0f * kPi;
    for (uint32_t py = 0; py < h; ++py) {
        const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(from.pBits) + py * from.Pitch);
        auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(to.pBits) + py * to.Pitch);
        for (uint32_t px = 0; px < w; ++px) {
            // Clockwise from straight up, in 0 .. 2 pi.
            float a = std::atan2(float(px) + 0.5f - centreX, centreY - float(py) - 0.5f);
            if (a < 0.0f)
                a += full;
            if (angle >= full || a < angle)
                out[px] = in[px];
        }
    }
    target->UnlockRect(0);
    source->UnlockRect(0);
    return true;
}

void TransformedBounds(float scaleX, float scaleY, float angleDegrees, RECT* out, bool centred, int width,
                       int height, int x, int y)
{
    if (!out)
        return;
    const float a = angleDegrees * kPi / 180.0f, c = std::cos(a), s = std::sin(a);
    const float w = float(width) * scaleX, h = float(height) * scaleY;
    const float ox = centred ? w / 2.0f : 0.0f, oy = centred ? h / 2.0f : 0.0f;
    const float corners[4][2] = {{-ox, -oy}, {w - ox, -oy}, {w - ox, h - oy}, {-ox, h - oy}};
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (const auto& p : corners) {
        const float tx = p[0] * c - p[1] * s, ty = p[0] * s + p[1] * c;
        minX = std::min(minX, tx), maxX = std::max(maxX, tx);
        minY = std::min(minY, ty), maxY = std::max(maxY, ty);
    }
    out->left = x + int32_t(std::floor(minX + 1e-4f));
    out->top = y + int32_t(std::floor(minY + 1e-4f));
    out->right = x + int32_t(std::ceil(maxX - 1e-4f));
    out->bottom = y + int32_t(std::ceil(maxY - 1e-4f));
}

} // namespace Draw2D
