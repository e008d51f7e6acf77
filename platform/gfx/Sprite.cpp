#include "platform/gfx/Sprite.h"

namespace gfx {

HRESULT D3DXCreateSprite(Device* device, Sprite** sprite)
{
    if (!device || !sprite)
        return D3DERR_INVALIDCALL;
    *sprite = new Sprite(device);
    return D3D_OK;
}

Sprite::Sprite(Device* device) : device_(Ref<Device>::Share(device)) { D3DXMatrixIdentity(&transform_); }

HRESULT Sprite::Begin(DWORD flags)
{
    if (active_)
        return D3DERR_INVALIDCALL;
    flags_ = flags;
    active_ = true;
    if (!(flags_ & D3DXSPRITE_DONOTSAVESTATE))
        saved_ = device_->CaptureState();
    return D3D_OK;
}

void Sprite::SetStates()
{
    Device& d = *device_;
    const bool blend = (flags_ & D3DXSPRITE_ALPHABLEND) != 0;
    d.SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    if (blend) {
        d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        d.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    }
    d.SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    d.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d.SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d.SetRenderState(D3DRS_STENCILENABLE, 0);
    d.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d.SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d.SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d.SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    d.SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    d.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    d.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

HRESULT Sprite::Draw(Texture* texture, const RECT* srcRect, const D3DXVECTOR3* center, const D3DXVECTOR3* position,
                     D3DCOLOR colour)
{
    if (!active_ || !texture)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    const RECT r = srcRect ? *srcRect : RECT{0, 0, int32_t(desc.Width), int32_t(desc.Height)};
    const float cx = center ? center->x : 0.0f, cy = center ? center->y : 0.0f;
    const float px = position ? position->x : 0.0f, py = position ? position->y : 0.0f;
    const float pz = position ? position->z : 0.0f;
    const float w = float(r.right - r.left), h = float(r.bottom - r.top);
    const float u0 = float(r.left) / float(desc.Width), u1 = float(r.right) / float(desc.Width);
    const float v0 = float(r.top) / float(desc.Height), v1 = float(r.bottom) / float(desc.Height);
    const D3DXMATRIX& m = transform_;
    auto corner = [&](float x, float y, float u, float v) {
        const float lx = x - cx + px, ly = y - cy + py;
        const float sx = lx * m.m[0][0] + ly * m.m[1][0] + m.m[3][0];
        const float sy = lx * m.m[0][1] + ly * m.m[1][1] + m.m[3][1];
        return Vertex{sx - 0.5f, sy - 0.5f, pz, 1.0f, colour, u, v};
    };
    const Vertex a = corner(0, 0, u0, v0), b = corner(w, 0, u1, v0), c = corner(0, h, u0, v1), d = corner(w, h, u1, v1);
    if (runs_.empty() || runs_.back().get() != texture) {
        runs_.push_back(Ref<Texture>::Share(texture));
        runStarts_.push_back(uint32_t(vertices_.size()));
    }
    vertices_.insert(vertices_.end(), {a, b, c, c, b, d});
    return D3D_OK;
}

HRESULT Sprite::Flush()
{
    if (!active_)
        return D3DERR_INVALIDCALL;
    if (vertices_.empty())
        return D3D_OK;
    Device& d = *device_;
    if (!(flags_ & D3DXSPRITE_DONOTMODIFY_RENDERSTATE))
        SetStates();
    d.SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    HRESULT result = D3D_OK;
    for (size_t i = 0; i < runs_.size(); ++i) {
        const uint32_t start = runStarts_[i];
        const uint32_t end = i + 1 < runs_.size() ? runStarts_[i + 1] : uint32_t(vertices_.size());
        d.SetTexture(0, runs_[i].get());
        const HRESULT hr = d.DrawPrimitiveUP(D3DPT_TRIANGLELIST, (end - start) / 3, &vertices_[start], sizeof(Vertex));
        if (FAILED(hr))
            result = hr;
    }
    vertices_.clear();
    runs_.clear();
    runStarts_.clear();
    return result;
}

HRESULT Sprite::End()
{
    if (!active_)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = Flush();
    if (!(flags_ & D3DXSPRITE_DONOTSAVESTATE)) {
        device_->ApplyState(saved_);
        saved_ = DeviceState{};
    }
    active_ = false;
    return hr;
}

HRESULT Sprite::SetTransform(const D3DXMATRIX* transform)
{
    if (!transform)
        return D3DERR_INVALIDCALL;
    transform_ = *transform;
    return D3D_OK;
}

HRESULT Sprite::GetTransform(D3DXMATRIX* transform) const
{
    if (!transform)
        return D3DERR_INVALIDCALL;
    *transform = transform_;
    return D3D_OK;
}

} // namespace gfx
