#pragma once
// The graphics device: a software rasteriser with the calls of a Direct3D 9 device.
//
// Direct3D (the adapter) reports capabilities and the display mode and creates the one
// Device on the main window. The device owns the back buffer (32-bit, the display
// format) and an automatic D24S8 depth-stencil buffer, keeps the fixed-function state
// (render, texture-stage and sampler states, transforms, viewport) and draws with it:
//
//   device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
//   device->BeginScene();
//   device->SetTexture(0, texture);
//   device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
//   device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, sizeof(Vertex));
//   device->EndScene();
//   device->Present(nullptr, nullptr, nullptr, nullptr);
//
// Vertices: XYZRHW vertices are render-target pixels (pixel centres on integers) and are
// only clipped to the viewport; XYZ vertices go through world, view and projection, are
// clipped against the near and far planes and mapped by the viewport, and are textured
// perspective-correct. Lighting is not computed: vertex colours are used as given (the
// game draws with D3DRS_LIGHTING off). Only texture level 0 is sampled.
//
// A stage whose texture is not set reads the texture argument as opaque white.
// Texture-stage arithmetic: MODULATE round(a * b / 255), ADD saturating, ADDSIGNED
// a + b - 128 clamped, SUBTRACT a - b clamped; blending as in PixelKernels.h.
//
// Threads: the Create* calls read only what is fixed when the device is made (caps,
// the reset tally) and may be made from any thread while the device lives; every other
// call belongs to the one thread that draws at a time (the caller keeps them apart).
//
// Lost devices: a change of the window's full-screen state or client size (or the test
// hook SimulateDeviceLost) loses the device. TestCooperativeLevel then answers
// D3DERR_DEVICELOST while the loss lasts and D3DERR_DEVICENOTRESET once Reset may be
// called; drawing does nothing and Present fails meanwhile. Reset fails while resources of
// D3DPOOL_DEFAULT or the back buffer are still held by the caller.

#include "platform/gfx/D3DMath.h"
#include "platform/gfx/Resources.h"

#include <memory>
#include <vector>

namespace platform {
class MainWindow;
}

namespace gfx {

namespace detail {
class Rasterizer;
}

constexpr uint32_t D3D_SDK_VERSION = 32;
constexpr uint32_t D3DADAPTER_DEFAULT = 0;

// What the adapter reports and how it fails. The default describes this software device;
// tests replace it with SetAdapterProfile to exercise the start-up checks and fallbacks.
struct AdapterProfile {
    bool available = true;                 // false: Direct3DCreate9 returns null
    D3DCAPS9 caps;                         // reported for both device types
    HRESULT halCapsResult = D3D_OK;        // GetDeviceCaps with D3DDEVTYPE_HAL
    HRESULT refCapsResult = D3D_OK;        // GetDeviceCaps with D3DDEVTYPE_REF
    HRESULT displayModeResult = D3D_OK;
    D3DDISPLAYMODE displayMode{0, 0, 60, D3DFMT_X8R8G8B8}; // 0 x 0: the desktop's size
    // CreateDevice results by [device type is REF][software vertex processing].
    HRESULT createResult[2][2] = {{D3D_OK, D3D_OK}, {D3D_OK, D3D_OK}};
};
void SetAdapterProfile(const AdapterProfile& profile);
void ResetAdapterProfile();
AdapterProfile GetAdapterProfile();

class Device;

class Direct3D : public Resource {
public:
    HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS9* caps) const;
    HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) const;
    // focusWindow and params->hDeviceWindow are platform::MainWindow pointers (may be null
    // for a device without a window).
    HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, void* focusWindow, DWORD behaviourFlags,
                         D3DPRESENT_PARAMETERS* params, Device** device);

private:
    friend Direct3D* Direct3DCreate9(uint32_t);
    explicit Direct3D(const AdapterProfile& profile) : profile_(profile) {}
    AdapterProfile profile_;
};

// The adapter interface, or null when no adapter is available.
Direct3D* Direct3DCreate9(uint32_t sdkVersion);

// The state a state block saves: everything set through the Set* calls except the render
// target and depth-stencil surface.
struct DeviceState {
    DWORD renderStates[D3DRS_COUNT] = {};
    DWORD stageStates[2][D3DTSS_COUNT] = {};
    DWORD samplerStates[2][D3DSAMP_COUNT] = {};
    D3DXMATRIX transforms[D3DTS_COUNT];
    D3DVIEWPORT9 viewport;
    DWORD fvf = 0;
    Ref<Texture> textures[2];
    Ref<VertexBuffer> stream;
    uint32_t streamOffset = 0, streamStride = 0;
    Ref<IndexBuffer> indices;
};

class Device : public Resource {
public:
    static constexpr uint32_t kStageCount = 2;

    // --- Device life ---------------------------------------------------------------
    HRESULT TestCooperativeLevel();
    HRESULT Reset(D3DPRESENT_PARAMETERS* params);
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, void* overrideWindow, const void* dirtyRegion);
    HRESULT GetDeviceCaps(D3DCAPS9* caps) const;
    HRESULT GetDisplayMode(uint32_t swapChain, D3DDISPLAYMODE* mode) const;
    const D3DPRESENT_PARAMETERS& PresentParameters() const { return params_; }

    // Test hooks: lose the device (resettable at once or only after DeviceResettable).
    void SimulateDeviceLost(bool resettableNow = true);
    void DeviceResettable();
    uint64_t PresentCount() const { return presentCount_; }

    // --- Surfaces and resources ------------------------------------------------------
    HRESULT GetBackBuffer(uint32_t swapChain, uint32_t index, D3DBACKBUFFER_TYPE type, Surface** surface);
    HRESULT GetRenderTarget(DWORD index, Surface** surface);
    HRESULT SetRenderTarget(DWORD index, Surface* surface); // 32-bit colour surfaces only
    HRESULT GetDepthStencilSurface(Surface** surface);
    HRESULT SetDepthStencilSurface(Surface* surface);       // null: no depth or stencil
    HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, Texture** texture, void* sharedHandle = nullptr);
    HRESULT CreateVertexBuffer(uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool, VertexBuffer** buffer,
                               void* sharedHandle = nullptr);
    HRESULT CreateIndexBuffer(uint32_t length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IndexBuffer** buffer,
                              void* sharedHandle = nullptr);
    HRESULT CreateOffscreenPlainSurface(uint32_t width, uint32_t height, D3DFORMAT format, D3DPOOL pool,
                                        Surface** surface, void* sharedHandle = nullptr);
    HRESULT CreateRenderTarget(uint32_t width, uint32_t height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                               DWORD quality, bool lockable, Surface** surface, void* sharedHandle = nullptr);
    HRESULT CreateQuery(D3DQUERYTYPE type, Query** query);
    // Copies a render target into a system-memory surface of the same size and format.
    HRESULT GetRenderTargetData(Surface* renderTarget, Surface* destination);
    // Fills a rectangle of a 32-bit surface with a colour.
    HRESULT ColorFill(Surface* surface, const RECT* rect, D3DCOLOR colour);

    // --- Frame --------------------------------------------------------------------------
    HRESULT BeginScene();
    HRESULT EndScene();
    // Clears the viewport (or the given rectangles within it).
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil);

    // --- State ----------------------------------------------------------------------------
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) const;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) const;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DXMATRIX* matrix) const;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX* matrix);
    HRESULT SetViewport(const D3DVIEWPORT9* viewport);
    HRESULT GetViewport(D3DVIEWPORT9* viewport) const;
    HRESULT SetTexture(DWORD stage, Texture* texture);
    HRESULT GetTexture(DWORD stage, Texture** texture) const; // one reference handed out
    HRESULT SetFVF(DWORD fvf);
    HRESULT GetFVF(DWORD* fvf) const;
    HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offsetBytes, uint32_t stride);
    HRESULT SetIndices(IndexBuffer* indices);

    DeviceState CaptureState() const { return state_; }
    void ApplyState(const DeviceState& state) { state_ = state; }

    // --- Drawing ----------------------------------------------------------------------------
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount);
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                 uint32_t startIndex, uint32_t primitiveCount);
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t numVertices,
                                   uint32_t primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                   const void* vertices, uint32_t stride);

private:
    friend class Direct3D;
    Device(const D3DCAPS9& caps, const D3DDISPLAYMODE& mode, platform::MainWindow* window,
           const D3DPRESENT_PARAMETERS& params);
    ~Device() override;

    enum class Condition { Operational, Lost, NotReset };

    HRESULT CreateSwapChain();
    void SetDefaultState();
    void ObserveWindow();
    bool WindowChanged();
    bool CanDraw();
    HRESULT Draw(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const uint8_t* vertices, uint32_t vertexCount,
                 uint32_t stride, const void* indices, bool index32, uint32_t indexCount, int32_t baseVertex);
    void Blit();

    D3DCAPS9 caps_;
    D3DDISPLAYMODE mode_;
    platform::MainWindow* window_;
    D3DPRESENT_PARAMETERS params_;
    Condition condition_ = Condition::Operational;
    bool observedFullscreen_ = false;
    int observedWidth_ = 0, observedHeight_ = 0;
    bool inScene_ = false;
    uint64_t presentCount_ = 0;
    std::shared_ptr<std::atomic<int>> defaultPoolTally_;

    Ref<Surface> backBuffer_;
    Ref<Surface> autoDepth_;
    Ref<Surface> renderTarget_;
    Ref<Surface> depthStencil_;
    DeviceState state_;
    std::unique_ptr<detail::Rasterizer> rasterizer_;
};

} // namespace gfx
