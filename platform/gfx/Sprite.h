#pragma once
// The sprite batcher: textured, tinted screen rectangles collected between Begin and End
// and drawn in order, one draw call per run of the same texture.
//
// A sprite drawn at an integer position with the identity transform maps its texels 1:1
// onto pixels. The transform (SetTransform) applies its 2-D part (rows 0, 1 and 3) to the
// corners. Begin sets the states it needs (bilinear filtering, clamped addressing, MODULATE
// of texture and colour, no culling, no depth test, and with D3DXSPRITE_ALPHABLEND the
// SRCALPHA / INVSRCALPHA blend); End restores the device state it found unless
// D3DXSPRITE_DONOTSAVESTATE was given.

#include "platform/gfx/Device.h"

#include <vector>

namespace gfx {

constexpr DWORD D3DXSPRITE_DONOTSAVESTATE = 0x01;
constexpr DWORD D3DXSPRITE_DONOTMODIFY_RENDERSTATE = 0x02;
constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;

class Sprite : public Resource {
public:
    HRESULT Begin(DWORD flags);
    // srcRect null: the whole texture. center and position may be null (origin).
    HRESULT Draw(Texture* texture, const RECT* srcRect, const D3DXVECTOR3* center, const D3DXVECTOR3* position,
                 D3DCOLOR colour);
    HRESULT Flush();
    HRESULT End();
    HRESULT SetTransform(const D3DXMATRIX* transform);
    HRESULT GetTransform(D3DXMATRIX* transform) const;
    HRESULT OnLostDevice() { return D3D_OK; }
    HRESULT OnResetDevice() { return D3D_OK; }
    Device* GetDevice() const { return device_.get(); }

private:
    friend HRESULT D3DXCreateSprite(Device*, Sprite**);
    explicit Sprite(Device* device);

    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR colour;
        float u, v;
    };
    void SetStates();

    Ref<Device> device_;
    D3DXMATRIX transform_;
    DWORD flags_ = 0;
    bool active_ = false;
    DeviceState saved_;
    std::vector<Vertex> vertices_;
    std::vector<Ref<Texture>> runs_;       // texture of each run
    std::vector<uint32_t> runStarts_;      // first vertex of each run
};

HRESULT D3DXCreateSprite(Device* device, Sprite** sprite);

} // namespace gfx
