#pragma once
// The 2-D renderer: textured quads and coloured shapes in screen pixels on the device of
// DXManager. Every call sets the states it needs (alpha blending, texture times vertex
// colour, clamped addressing) and draws at once; all return D3D_OK or the device's failure
// (E_FAIL without a device).
#include "platform/gfx/D3DTypes.h"

#include <cstdint>

namespace gfx {
class Texture;
}

namespace Draw2D {

// While one lives, textured draws double the texture-times-colour product (a tint of 0x80
// per channel draws the image as it is, 0xFF up to twice as bright): the tint convention of
// the skinned buttons. Alpha is still plain texture times colour. Main thread only.
class TintScope {
public:
    TintScope();
    ~TintScope();
    TintScope(const TintScope&) = delete;
    TintScope& operator=(const TintScope&) = delete;

private:
    bool previous_;
};

// While one lives, draws replace the target instead of blending over it: for opaque images
// (a full-screen backdrop), which then skip the blend. Main thread only.
class OpaqueScope {
public:
    OpaqueScope();
    ~OpaqueScope();
    OpaqueScope(const OpaqueScope&) = delete;
    OpaqueScope& operator=(const OpaqueScope&) = delete;

private:
    bool previous_;
};

// While one lives, textured draws add the colour to the texture as a signed add (texture +
// colour - 0.5 per channel) instead of multiplying them. Main thread only.
class SignedAddScope {
public:
    SignedAddScope();
    ~SignedAddScope();
    SignedAddScope(const SignedAddScope&) = delete;
    SignedAddScope& operator=(const SignedAddScope&) = delete;

private:
    uint32_t previous_;
};

// While one lives, draws test and write depth with the compare function (a D3DCMPFUNC)
// instead of drawing without depth. Main thread only.
class DepthTestScope {
public:
    explicit DepthTestScope(uint32_t compare);
    ~DepthTestScope();
    DepthTestScope(const DepthTestScope&) = delete;
    DepthTestScope& operator=(const DepthTestScope&) = delete;

private:
    uint32_t previous_;
};

// A textured quad: the source rectangle (null: the whole texture) is drawn with its point
// (centreX, centreY) at (x, y), scaled by (scaleX, scaleY) and turned by rotation radians
// about that point. colours: top-left, top-right, bottom-right, bottom-left.
gfx::HRESULT DrawTexturedQuad(gfx::Texture* texture, const gfx::RECT* sourceRect, float x, float y, float scaleX,
                              float scaleY, float centreX, float centreY, float rotation,
                              const gfx::D3DCOLOR colours[4]);
// The same with one colour for all four corners.
gfx::HRESULT DrawTexturedQuad(gfx::Texture* texture, const gfx::RECT* sourceRect, float x, float y, float scaleX,
                              float scaleY, float centreX, float centreY, float rotation, gfx::D3DCOLOR colour);
// The simpler routine of surfaces: as above, drawn as one triangle strip.
gfx::HRESULT DrawTexturedQuadSimple(gfx::Texture* texture, const gfx::RECT* sourceRect, float x, float y,
                                    float scaleX, float scaleY, float centreX, float centreY, float rotation,
                                    gfx::D3DCOLOR colour);
// A texture region stretched into a destination rectangle with one colour per corner
// (top-left, top-right, bottom-right, bottom-left).
gfx::HRESULT DrawTexturedRect(gfx::Texture* texture, const gfx::RECT* sourceRect, float left, float top,
                              float right, float bottom, const gfx::D3DCOLOR colours[4]);

// Right and bottom exclusive.
gfx::HRESULT DrawFilledRect(float left, float top, float right, float bottom, gfx::D3DCOLOR colour);
gfx::HRESULT DrawRectOutline(float left, float top, float right, float bottom, gfx::D3DCOLOR colour);
gfx::HRESULT DrawLine(float x1, float y1, float x2, float y2, gfx::D3DCOLOR colour);
// A line and two 15-pixel strokes at the second point, 30 degrees either side of it.
gfx::HRESULT DrawArrow(float x1, float y1, float x2, float y2, gfx::D3DCOLOR colour);
// An outline of 50 segments (51 points every 7.2 degrees).
gfx::HRESULT DrawCircle(float radius, float x, float y, gfx::D3DCOLOR colour);
// A fan round the centre with rim points every 7.2 degrees.
gfx::HRESULT DrawFilledCircle(float radius, float x, float y, gfx::D3DCOLOR colour);
// An annulus of 100 segments starting at startAngle (radians) with the texture wrapped once
// round it (u along the ring, v 0 at the inner and 1 at the outer edge). Nothing is drawn
// unless inner < outer and outer > 0.
gfx::HRESULT DrawTexturedRing(gfx::Texture* texture, float innerRadius, float outerRadius, gfx::D3DCOLOR colour,
                              float startAngle, float x, float y);

// Copies into target the pixels of source (level 0 of both, 32-bit) that lie in the pie
// slice from angle 0 to angle (radians) round (centreX, centreY) in image pixels. Angle 0
// points up and angles grow clockwise; 2 pi or more copies everything. False when a lock
// fails or a texture is missing.
bool PieCopyTexture(gfx::Texture* source, gfx::Texture* target, float centreX, float centreY, float angle);

// The rectangle an image of width x height covers when drawn at (x, y) scaled by
// (scaleX, scaleY) and turned by angleDegrees about its top-left corner (centred false)
// or its centre (centred true). Right and bottom are the largest covered coordinates
// rounded up.
void TransformedBounds(float scaleX, float scaleY, float angleDegrees, gfx::RECT* out, bool centred, int width,
                       int height, int x, int y);

} // namespace Draw2D
