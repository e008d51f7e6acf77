#include "platform/gfx/D3DX.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Sprite.h"
#include "platform/image/ImageCodec.h"
#include "platform/window/MainWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace gfx;

namespace {

struct TVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kTVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class GfxDevice : public ::testing::Test {
protected:
    static constexpr uint32_t kSize = 16;

    void SetUp() override
    {
        ResetAdapterProfile();
        d3d_ = Ref<Direct3D>(Direct3DCreate9(D3D_SDK_VERSION));
        ASSERT_TRUE(d3d_);
        D3DPRESENT_PARAMETERS pp;
        pp.BackBufferWidth = kSize;
        pp.BackBufferHeight = kSize;
        pp.BackBufferFormat = D3DFMT_A8R8G8B8;
        ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, device_.out()),
                  D3D_OK);
        device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRS_LIGHTING, 0);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0);
    }
    void TearDown() override { ResetAdapterProfile(); }

    Ref<Texture> SolidTexture(uint32_t w, uint32_t h, D3DCOLOR colour, D3DFORMAT format = D3DFMT_A8R8G8B8)
    {
        Ref<Texture> t;
        EXPECT_EQ(device_->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, t.out()), D3D_OK);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                t->Level(0)->WritePixel(x, y, colour);
        return t;
    }

    // Screen-aligned quad over pixels [x0, x1) x [y0, y1) with texels mapped 1:1 when the
    // texture has the quad's size.
    void DrawQuad(float x0, float y0, float x1, float y1, D3DCOLOR colour, float z = 0.0f)
    {
        const TVertex v[4] = {{x0 - 0.5f, y0 - 0.5f, z, 1, colour, 0, 0}, {x1 - 0.5f, y0 - 0.5f, z, 1, colour, 1, 0},
                              {x0 - 0.5f, y1 - 0.5f, z, 1, colour, 0, 1}, {x1 - 0.5f, y1 - 0.5f, z, 1, colour, 1, 1}};
        device_->SetFVF(kTVertexFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TVertex)), D3D_OK);
    }

    D3DCOLOR Pixel(int x, int y)
    {
        Ref<Surface> bb, copy;
        device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, bb.out());
        device_->CreateOffscreenPlainSurface(kSize, kSize, bb->Format(), D3DPOOL_SYSTEMMEM, copy.out(), nullptr);
        EXPECT_EQ(device_->GetRenderTargetData(bb.get(), copy.get()), D3D_OK);
        return copy->ReadPixel(uint32_t(x), uint32_t(y));
    }

    static constexpr D3DCOLOR kBackground = 0xFF0000FFu;
    Ref<Direct3D> d3d_;
    Ref<Device> device_;
};

TEST_F(GfxDevice, TextureStageOperationsGiveExactPixels)
{
    struct Case {
        const char* name;
        D3DCOLOR texel, diffuse;
        D3DTEXTUREOP colorOp, alphaOp;
        bool blend;
        D3DCOLOR expected;
    } cases[] = {
        // round(255*128/255) red over blue with 127/255 of it left.
        {"blended", 0x80FF0000u, 0xFFFFFFFFu, D3DTOP_MODULATE, D3DTOP_MODULATE, true, 0xFF80007Fu},
        {"modulated", 0xFF808080u, 0xFF40C0FFu, D3DTOP_MODULATE, D3DTOP_SELECTARG1, false, 0xFF206080u},
        {"add signed", 0xFFA0A0A0u, 0xFF40C0FFu, D3DTOP_ADDSIGNED, D3DTOP_SELECTARG1, false, 0xFF60E0FFu},
        // (0x60, 0xE0, 0xFF) at alpha 128 over blue.
        {"add signed, modulated alpha", 0x80A0A0A0u, 0xFF40C0FFu, D3DTOP_ADDSIGNED, D3DTOP_MODULATE, true, 0xFF3070FFu},
        {"select texture", 0xFF123456u, 0xFF000000u, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, false, 0xFF123456u},
        {"modulated blend", 0x80FF8000u, 0x80FFFFFFu, D3DTOP_MODULATE, D3DTOP_MODULATE, true, 0xFF4020BFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0);
        Ref<Texture> tex = SolidTexture(4, 4, c.texel);
        device_->SetTexture(0, tex.get());
        device_->SetTextureStageState(0, D3DTSS_COLOROP, c.colorOp);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, c.blend);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        DrawQuad(2, 2, 10, 6, c.diffuse);
        EXPECT_EQ(Pixel(2, 2) & 0x00FFFFFFu, c.expected & 0x00FFFFFFu);
        EXPECT_EQ(Pixel(9, 5) & 0x00FFFFFFu, c.expected & 0x00FFFFFFu);
        EXPECT_EQ(Pixel(10, 5), kBackground);
        EXPECT_EQ(Pixel(2, 6), kBackground);
        EXPECT_EQ(Pixel(1, 2), kBackground);
    }
}

TEST_F(GfxDevice, AlphaTestDiscardsPixelsAndBlendingKeepsTargetAlpha)
{
    Ref<Texture> tex = SolidTexture(8, 1, 0x10FF0000u);
    for (uint32_t x = 4; x < 8; ++x)
        tex->Level(0)->WritePixel(x, 0, 0xF000FF00u);
    device_->SetTexture(0, tex.get());
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    DrawQuad(0, 0, 8, 1, 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(3, 0), kBackground);
    EXPECT_EQ(Pixel(4, 0), 0xF000FF00u);
    EXPECT_EQ(Pixel(7, 0), 0xF000FF00u);
}

TEST_F(GfxDevice, BilinearFilterInterpolatesBetweenTexelCentres)
{
    Ref<Texture> tex = SolidTexture(2, 1, 0xFF000000u);
    tex->Level(0)->WritePixel(1, 0, 0xFFFFFFFFu);
    device_->SetTexture(0, tex.get());
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    DrawQuad(0, 0, 4, 1, 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(1, 0), 0xFF3F3F3Fu); // 255 * 64 >> 8
    EXPECT_EQ(Pixel(2, 0), 0xFFBFBFBFu); // 255 * 192 >> 8
    EXPECT_EQ(Pixel(3, 0), 0xFFFFFFFFu);
}

// Texture transforms of three coordinates, projected: (u, v, 1, 0) through the matrix, the
// first two divided by the third. A translation in the third row scrolls a wrapping texture;
// a third coordinate of 2 halves the coordinates. Bilinear wrapping scrolls to the same
// texels on the inlined path as on the general one.
TEST_F(GfxDevice, ProjectedTextureTransformsScrollAndDivide)
{
    const D3DCOLOR columns[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    Ref<Texture> tex = SolidTexture(4, 4, 0);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            tex->Level(0)->WritePixel(x, y, columns[x]);
    device_->SetTexture(0, tex.get());
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m.m[2][0] = 0.25f; // one texel
    device_->SetTransform(D3DTS_TEXTURE0, &m);
    DrawQuad(0, 0, 16, 4, 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(1, 1), columns[1]);
    EXPECT_EQ(Pixel(9, 1), columns[3]);
    EXPECT_EQ(Pixel(13, 1), columns[0]) << "wrapped";
    D3DXMatrixIdentity(&m);
    m.m[2][2] = 2.0f;
    device_->SetTransform(D3DTS_TEXTURE0, &m);
    DrawQuad(0, 0, 16, 4, 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(1, 1), columns[0]);
    EXPECT_EQ(Pixel(13, 1), columns[1]) << "halved";
    // A scroll of 1.25 is a scroll of 0.25, whether the bilinear sample wraps or not.
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    D3DXMatrixIdentity(&m);
    m.m[2][0] = 0.25f;
    device_->SetTransform(D3DTS_TEXTURE0, &m);
    DrawQuad(0, 0, 16, 4, 0xFFFFFFFFu);
    std::vector<D3DCOLOR> scrolled;
    for (int x = 0; x < 16; ++x)
        scrolled.push_back(Pixel(x, 1));
    m.m[2][0] = 1.25f;
    device_->SetTransform(D3DTS_TEXTURE0, &m);
    DrawQuad(0, 0, 16, 4, 0xFFFFFFFFu);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(Pixel(x, 1), scrolled[size_t(x)]) << x;
    device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
}

TEST_F(GfxDevice, ViewportClipsDrawingAndClear)
{
    const D3DVIEWPORT9 vp{4, 3, 5, 6, 0.0f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&vp), D3D_OK);
    device_->SetTexture(0, nullptr);
    DrawQuad(0, 0, kSize, kSize, 0xFF00FF00u);
    EXPECT_EQ(Pixel(4, 3), 0xFF00FF00u);
    EXPECT_EQ(Pixel(8, 8), 0xFF00FF00u);
    EXPECT_EQ(Pixel(3, 3), kBackground);
    EXPECT_EQ(Pixel(9, 8), kBackground);
    EXPECT_EQ(Pixel(8, 9), kBackground);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
    EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Pixel(0, 0), kBackground);
    const D3DVIEWPORT9 tooLarge{10, 10, 10, 10, 0.0f, 1.0f};
    EXPECT_EQ(device_->SetViewport(&tooLarge), D3DERR_INVALIDCALL);
}

TEST_F(GfxDevice, DepthAndStencilTests)
{
    device_->SetTexture(0, nullptr);
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    DrawQuad(0, 0, 8, 8, 0xFFFF0000u, 0.5f);
    DrawQuad(0, 0, 8, 4, 0xFF00FF00u, 0.7f); // behind: hidden
    DrawQuad(0, 4, 8, 8, 0xFFFFFF00u, 0.3f); // in front: drawn
    EXPECT_EQ(Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(Pixel(1, 5), 0xFFFFFF00u);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);

    // Mark the left half in the stencil without touching the colours, then draw where it is set.
    device_->SetRenderState(D3DRS_STENCILENABLE, 1);
    device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device_->SetRenderState(D3DRS_STENCILREF, 1);
    device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    DrawQuad(8, 8, 12, 16, 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(9, 9), kBackground);
    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    DrawQuad(8, 8, 16, 16, 0xFF00FFFFu);
    EXPECT_EQ(Pixel(8, 8), 0xFF00FFFFu);
    EXPECT_EQ(Pixel(11, 15), 0xFF00FFFFu);
    EXPECT_EQ(Pixel(12, 8), kBackground);
    EXPECT_EQ(Pixel(15, 15), kBackground);
}

TEST_F(GfxDevice, TexturedTriangleUnderPerspectiveProjection)
{
    // A floor quad seen at a grazing angle: left texel red, right texel green.
    Ref<Texture> tex = SolidTexture(2, 1, 0xFFFF0000u);
    tex->Level(0)->WritePixel(1, 0, 0xFF00FF00u);
    device_->SetTexture(0, tex.get());
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    D3DXMATRIX view, projection, world;
    const D3DXVECTOR3 eye(-3.0f, 1.0f, 0.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.2f, 1.0f, 0.1f, 100.0f);
    D3DXMatrixIdentity(&world);
    device_->SetTransform(D3DTS_VIEW, &view);
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    struct V {
        float x, y, z;
        float u, v;
    } quad[4] = {{-2, 0, -1, 0, 0}, {2, 0, -1, 1, 0}, {-2, 0, 1, 0, 1}, {2, 0, 1, 1, 1}};
    device_->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(V)), D3D_OK);

    D3DVIEWPORT9 vp;
    device_->GetViewport(&vp);
    D3DXVECTOR3 nearEdge, farEdge, middle;
    const D3DXVECTOR3 a(-2, 0, 0), b(2, 0, 0), m(0, 0, 0);
    D3DXVec3Project(&nearEdge, &a, &vp, &projection, &view, &world);
    D3DXVec3Project(&farEdge, &b, &vp, &projection, &view, &world);
    D3DXVec3Project(&middle, &m, &vp, &projection, &view, &world);
    // The texture boundary follows the world midpoint, far from the screen midpoint.
    const float screenMiddle = (nearEdge.y + farEdge.y) / 2.0f;
    ASSERT_GT(std::fabs(screenMiddle - middle.y), 1.5f);
    const int x = int(std::lround(middle.x));
    EXPECT_EQ(Pixel(x, int(std::lround(middle.y)) + 1), 0xFFFF0000u); // nearer: lower on screen
    EXPECT_EQ(Pixel(x, int(std::lround(middle.y)) - 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(x, int(std::floor(nearEdge.y)) + 2), kBackground);
}

TEST_F(GfxDevice, LostDeviceResetsOnceDefaultPoolResourcesAreReleased)
{
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    device_->SimulateDeviceLost(false);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    device_->DeviceResettable();
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    Ref<Texture> target;
    ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, target.out()),
              D3D_OK);
    Ref<Surface> backBuffer;
    device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out());
    D3DPRESENT_PARAMETERS pp = device_->PresentParameters();
    EXPECT_EQ(device_->Reset(&pp), D3DERR_INVALIDCALL);
    target.reset();
    EXPECT_EQ(device_->Reset(&pp), D3DERR_INVALIDCALL);
    backBuffer.reset();
    EXPECT_EQ(device_->Reset(&pp), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST(GfxDeviceWindow, WindowModeOrSizeChangeLosesTheDevice)
{
    ResetAdapterProfile();
    platform::MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 320, 200}));
    Ref<Direct3D> d3d(Direct3DCreate9(D3D_SDK_VERSION));
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = 320;
    pp.BackBufferHeight = 200;
    pp.hDeviceWindow = &window;
    Ref<Device> device;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, device.out()),
              D3D_OK);
    window.Show();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    window.SetPlacement({0, 0, 400, 300});
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    pp.Windowed = false;
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_TRUE(window.IsFullscreen());
    window.SetFullscreen(false);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
}

TEST_F(GfxDevice, SpriteDrawsTexelsOneToOneAndRestoresState)
{
    Ref<Texture> tex = SolidTexture(4, 2, 0xFF00FF00u);
    tex->Level(0)->WritePixel(3, 1, 0x00FFFFFFu);
    Ref<Sprite> sprite;
    ASSERT_EQ(D3DXCreateSprite(device_.get(), sprite.out()), D3D_OK);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    const D3DXVECTOR3 position(5, 7, 0);
    sprite->Draw(tex.get(), nullptr, nullptr, &position, 0xFFFFFFFFu);
    ASSERT_EQ(sprite->End(), D3D_OK);
    EXPECT_EQ(Pixel(5, 7), 0xFF00FF00u);
    EXPECT_EQ(Pixel(7, 8), 0xFF00FF00u);
    EXPECT_EQ(Pixel(8, 8), kBackground); // transparent texel
    EXPECT_EQ(Pixel(4, 7), kBackground);
    EXPECT_EQ(Pixel(9, 7), kBackground);
    DWORD blend = 1;
    device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, 0u);
}

TEST_F(GfxDevice, SixteenBitTexturesLockAndSample)
{
    Ref<Texture> tex;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, tex.out()), D3D_OK);
    D3DSURFACE_DESC desc;
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = 0xF800; // red
    EXPECT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    tex->UnlockRect(0);
    device_->SetTexture(0, tex.get());
    DrawQuad(0, 0, 2, 2, 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(1, 1), 0xFFFF0000u);

    Ref<Texture> argb4 = SolidTexture(1, 1, 0x8F3A5CFFu, D3DFMT_A4R4G4B4);
    EXPECT_EQ(argb4->Level(0)->ReadPixel(0, 0), 0x883355FFu);
}

TEST_F(GfxDevice, TextureFromFileRoundsToPowersOfTwoAndAppliesTheColourKey)
{
    AdapterProfile profile;
    profile.caps.TextureCaps = D3DPTEXTURECAPS_POW2;
    SetAdapterProfile(profile);
    Ref<Direct3D> d3d(Direct3DCreate9(D3D_SDK_VERSION));
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = pp.BackBufferHeight = 8;
    Ref<Device> device;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, device.out()),
              D3D_OK);

    const uint32_t pixels[6] = {0xFFFF00FFu, 0xFF102030u, 0x80405060u, 0xFF000000u, 0xFFFF00FFu, 0xFFFFFFFFu};
    std::vector<uint8_t> png;
    ASSERT_TRUE(platform::image::EncodePng(pixels, 3, 2, 12, true, png));
    Ref<Texture> tex;
    D3DXIMAGE_INFO info;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device.get(), png.data(), uint32_t(png.size()), D3DX_DEFAULT_NONPOW2,
                                                  D3DX_DEFAULT_NONPOW2, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                                  D3DX_FILTER_NONE, D3DX_DEFAULT, 0xFFFF00FFu, &info, nullptr,
                                                  tex.out()),
              D3D_OK);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Height, 2u);
    D3DSURFACE_DESC desc;
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(tex->GetLevelCount(), 3u);
    EXPECT_EQ(tex->Level(0)->ReadPixel(0, 0), 0u); // keyed out
    EXPECT_EQ(tex->Level(0)->ReadPixel(2, 0), 0x80405060u);
    EXPECT_EQ(tex->Level(0)->ReadPixel(2, 1), 0xFFFFFFFFu);

    const uint8_t junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device.get(), junk, sizeof junk, 0, 0, 1, 0, D3DFMT_A8R8G8B8,
                                                  D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                  tex.out()),
              D3DXERR_INVALIDDATA);
}

TEST(ImageCodec, RoundTripsAndRejectsBrokenFiles)
{
    const uint32_t pixels[6] = {0xFF112233u, 0x80445566u, 0x00778899u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u};
    platform::image::Image image;
    std::vector<uint8_t> png, bmp, jpeg;
    ASSERT_TRUE(platform::image::EncodePng(pixels, 3, 2, 12, true, png));
    ASSERT_TRUE(platform::image::DecodeImage(png.data(), png.size(), image));
    EXPECT_EQ(image.argb, std::vector<uint32_t>(pixels, pixels + 6));
    ASSERT_TRUE(platform::image::EncodeBmp(pixels, 3, 2, 12, bmp));
    EXPECT_EQ(bmp.size(), 54u + 3 * 2 * 4);
    ASSERT_TRUE(platform::image::DecodeImage(bmp.data(), bmp.size(), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.argb[4], 0xFF000000u);
    std::vector<uint32_t> grey(64 * 64, 0xFF808080u);
    ASSERT_TRUE(platform::image::EncodeJpeg(grey.data(), 64, 64, 256, 90, jpeg));
    ASSERT_TRUE(platform::image::DecodeImage(jpeg.data(), jpeg.size(), image));
    EXPECT_EQ(image.width, 64);
    EXPECT_NEAR(int(image.argb[100] & 255), 128, 2);

    std::string error;
    for (std::vector<uint8_t>* file : {&png, &bmp, &jpeg}) {
        std::vector<uint8_t> cut(file->begin(), file->begin() + long(file->size() / 2));
        EXPECT_FALSE(platform::image::DecodeImage(cut.data(), cut.size(), image, &error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
