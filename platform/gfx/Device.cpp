#include "platform/gfx/Device.h"

#include "platform/gfx/Rasterizer.h"
#include "platform/window/MainWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace gfx {
namespace {

std::mutex g_profileLock;
AdapterProfile& Profile()
{
    static AdapterProfile profile;
    return profile;
}

bool IsColourFormat(D3DFORMAT f)
{
    return f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8 || f == D3DFMT_R5G6B5 || f == D3DFMT_A4R4G4B4;
}
bool IsTargetFormat(D3DFORMAT f) { return f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8; }
bool IsPow2(uint32_t v) { return v && (v & (v - 1)) == 0; }

uint32_t VertexCount(D3DPRIMITIVETYPE type, uint32_t primitives)
{
    switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
    }
}

// A vertex during clipping: homogeneous position plus the attributes to interpolate.
struct ClipVertex {
    double p[4];
    detail::RasterVertex a;
};

ClipVertex Lerp(const ClipVertex& x, const ClipVertex& y, double t)
{
    ClipVertex r;
    for (int i = 0; i < 4; ++i)
        r.p[i] = x.p[i] + (y.p[i] - x.p[i]) * t;
    for (int k = 0; k < 4; ++k)
        r.a.diffuse[k] = x.a.diffuse[k] + (y.a.diffuse[k] - x.a.diffuse[k]) * t;
    for (int k = 0; k < 2; ++k) {
        r.a.u[k] = x.a.u[k] + (y.a.u[k] - x.a.u[k]) * t;
        r.a.v[k] = x.a.v[k] + (y.a.v[k] - x.a.v[k]) * t;
    }
    r.a.x = x.a.x + (y.a.x - x.a.x) * t;
    r.a.y = x.a.y + (y.a.y - x.a.y) * t;
    r.a.z = x.a.z + (y.a.z - x.a.z) * t;
    r.a.rhw = x.a.rhw + (y.a.rhw - x.a.rhw) * t;
    return r;
}

// Clips a convex polygon against dot(plane, p) >= 0 for each plane (Sutherland-Hodgman).
std::vector<ClipVertex> ClipPolygon(std::vector<ClipVertex> poly, const double (*planes)[4], int planeCount)
{
    std::vector<ClipVertex> out;
    for (int pl = 0; pl < planeCount && !poly.empty(); ++pl) {
        const double* n = planes[pl];
        auto dist = [&](const ClipVertex& v) { return n[0] * v.p[0] + n[1] * v.p[1] + n[2] * v.p[2] + n[3] * v.p[3]; };
        out.clear();
        for (size_t i = 0; i < poly.size(); ++i) {
            const ClipVertex& cur = poly[i];
            const ClipVertex& next = poly[(i + 1) % poly.size()];
            const double dc = dist(cur), dn = dist(next);
            if (dc >= 0)
                out.push_back(cur);
            if ((dc >= 0) != (dn >= 0))
                out.push_back(Lerp(cur, next, dc / (dc - dn)));
        }
        poly.swap(out);
    }
    return poly;
}

constexpr double kGuardBand = 16000.0; // pixels; keeps fixed-point coverage exact

} // namespace

// --- Adapter ------------------------------------------------------------------------------

void SetAdapterProfile(const AdapterProfile& profile)
{
    std::lock_guard<std::mutex> lock(g_profileLock);
    Profile() = profile;
}

void ResetAdapterProfile() { SetAdapterProfile(AdapterProfile{}); }

AdapterProfile GetAdapterProfile()
{
    std::lock_guard<std::mutex> lock(g_profileLock);
    return Profile();
}

Direct3D* Direct3DCreate9(uint32_t sdkVersion)
{
    const AdapterProfile profile = GetAdapterProfile();
    if (!profile.available || sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new Direct3D(profile);
}

HRESULT Direct3D::GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS9* caps) const
{
    if (!caps || adapter != 0)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = type == D3DDEVTYPE_REF ? profile_.refCapsResult : profile_.halCapsResult;
    if (FAILED(hr))
        return hr;
    *caps = profile_.caps;
    caps->DeviceType = type;
    return D3D_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) const
{
    if (!mode || adapter != 0)
        return D3DERR_INVALIDCALL;
    if (FAILED(profile_.displayModeResult))
        return profile_.displayModeResult;
    *mode = profile_.displayMode;
    if (mode->Width == 0 || mode->Height == 0) {
        SDL_DisplayMode desktop;
        if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            mode->Width = uint32_t(desktop.w);
            mode->Height = uint32_t(desktop.h);
        } else {
            mode->Width = 1280;
            mode->Height = 720;
        }
    }
    return D3D_OK;
}

HRESULT Direct3D::CreateDevice(uint32_t adapter, D3DDEVTYPE type, void* focusWindow, DWORD behaviourFlags,
                               D3DPRESENT_PARAMETERS* params, Device** device)
{
    if (!params || !device || adapter != 0)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    const bool software = (behaviourFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0;
    const HRESULT hr = profile_.createResult[type == D3DDEVTYPE_REF ? 1 : 0][software ? 1 : 0];
    if (FAILED(hr))
        return hr;
    auto* window = static_cast<platform::MainWindow*>(params->hDeviceWindow ? params->hDeviceWindow : focusWindow);
    D3DPRESENT_PARAMETERS p = *params;
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
        int w = 0, h = 0;
        if (window)
            window->GetClientSize(w, h);
        p.BackBufferWidth = uint32_t(std::max(w, 1));
        p.BackBufferHeight = uint32_t(std::max(h, 1));
    }
    if (!IsTargetFormat(p.BackBufferFormat))
        return D3DERR_INVALIDCALL;
    D3DDISPLAYMODE mode;
    GetAdapterDisplayMode(0, &mode);
    D3DCAPS9 caps = profile_.caps;
    caps.DeviceType = type;
    auto* created = new Device(caps, mode, window, p);
    if (FAILED(created->CreateSwapChain())) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *params = p;
    *device = created;
    return D3D_OK;
}

// --- Device life ----------------------------------------------------------------------------

Device::Device(const D3DCAPS9& caps, const D3DDISPLAYMODE& mode, platform::MainWindow* window,
               const D3DPRESENT_PARAMETERS& params)
    : caps_(caps), mode_(mode), window_(window), params_(params),
      defaultPoolTally_(std::make_shared<std::atomic<int>>(0)), rasterizer_(std::make_unique<detail::Rasterizer>())
{
    if (window_ && window_->IsFullscreen() == params_.Windowed)
        window_->SetFullscreen(!params_.Windowed);
    ObserveWindow();
    SetDefaultState();
}

Device::~Device() = default;

HRESULT Device::CreateSwapChain()
{
    if (params_.BackBufferWidth > 16384 || params_.BackBufferHeight > 16384)
        return D3DERR_OUTOFVIDEOMEMORY;
    backBuffer_ = Ref<Surface>(new Surface(params_.BackBufferWidth, params_.BackBufferHeight, params_.BackBufferFormat,
                                           D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET));
    renderTarget_ = backBuffer_;
    autoDepth_.reset();
    if (params_.EnableAutoDepthStencil)
        autoDepth_ = Ref<Surface>(new Surface(params_.BackBufferWidth, params_.BackBufferHeight, D3DFMT_D24S8,
                                              D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL));
    depthStencil_ = autoDepth_;
    return D3D_OK;
}

void Device::SetDefaultState()
{
    DeviceState s;
    DWORD* rs = s.renderStates;
    rs[D3DRS_ZENABLE] = params_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = 1;
    rs[D3DRS_ALPHATESTENABLE] = 0;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAREF] = 0;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILFAIL] = rs[D3DRS_STENCILZFAIL] = rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    rs[D3DRS_LIGHTING] = 1;
    rs[D3DRS_MULTISAMPLEANTIALIAS] = 1;
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_CLIPPING] = 1;
    for (uint32_t st = 0; st < kStageCount; ++st) {
        DWORD* ts = s.stageStates[st];
        ts[D3DTSS_COLOROP] = st == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = st == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = st;
        ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        DWORD* ss = s.samplerStates[st];
        ss[D3DSAMP_ADDRESSU] = ss[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_MAGFILTER] = ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    }
    for (auto& m : s.transforms)
        D3DXMatrixIdentity(&m);
    s.viewport = D3DVIEWPORT9{0, 0, params_.BackBufferWidth, params_.BackBufferHeight, 0.0f, 1.0f};
    state_ = s;
}

void Device::ObserveWindow()
{
    if (!window_)
        return;
    observedFullscreen_ = window_->IsFullscreen();
    window_->GetClientSize(observedWidth_, observedHeight_);
}

bool Device::WindowChanged()
{
    if (!window_)
        return false;
    int w = 0, h = 0;
    window_->GetClientSize(w, h);
    if (window_->IsFullscreen() == observedFullscreen_ && w == observedWidth_ && h == observedHeight_)
        return false;
    ObserveWindow();
    return true;
}

HRESULT Device::TestCooperativeLevel()
{
    if (WindowChanged() && condition_ == Condition::Operational)
        condition_ = Condition::NotReset;
    switch (condition_) {
    case Condition::Lost: return D3DERR_DEVICELOST;
    case Condition::NotReset: return D3DERR_DEVICENOTRESET;
    default: return D3D_OK;
    }
}

void Device::SimulateDeviceLost(bool resettableNow)
{
    condition_ = resettableNow ? Condition::NotReset : Condition::Lost;
}

void Device::DeviceResettable()
{
    if (condition_ == Condition::Lost)
        condition_ = Condition::NotReset;
}

bool Device::CanDraw()
{
    return condition_ == Condition::Operational;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* params)
{
    if (!params)
        return D3DERR_INVALIDCALL;
    if (condition_ == Condition::Lost)
        return D3DERR_DEVICELOST;
    // Everything in the default pool must be gone, the swap chain included.
    const bool backBufferHeld = backBuffer_ && backBuffer_->RefCount() > (renderTarget_.get() == backBuffer_.get() ? 2u : 1u);
    const bool depthHeld = autoDepth_ && autoDepth_->RefCount() > (depthStencil_.get() == autoDepth_.get() ? 2u : 1u);
    if (defaultPoolTally_->load() > 0 || backBufferHeld || depthHeld) {
        condition_ = Condition::NotReset;
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS p = *params;
    if (!p.hDeviceWindow)
        p.hDeviceWindow = params_.hDeviceWindow;
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
        int w = 0, h = 0;
        if (window_)
            window_->GetClientSize(w, h);
        p.BackBufferWidth = uint32_t(std::max(w, 1));
        p.BackBufferHeight = uint32_t(std::max(h, 1));
    }
    if (!IsTargetFormat(p.BackBufferFormat))
        return D3DERR_INVALIDCALL;
    params_ = p;
    *params = p;
    renderTarget_.reset();
    depthStencil_.reset();
    backBuffer_.reset();
    autoDepth_.reset();
    if (FAILED(CreateSwapChain())) {
        condition_ = Condition::NotReset;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (window_ && window_->IsFullscreen() == params_.Windowed)
        window_->SetFullscreen(!params_.Windowed);
    ObserveWindow();
    SetDefaultState();
    condition_ = Condition::Operational;
    inScene_ = false;
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) const
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(uint32_t, D3DDISPLAYMODE* mode) const
{
    if (!mode)
        return D3DERR_INVALIDCALL;
    *mode = mode_;
    return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, void*, const void*)
{
    if (WindowChanged() && condition_ == Condition::Operational)
        condition_ = Condition::NotReset;
    if (condition_ != Condition::Operational)
        return D3DERR_DEVICELOST;
    if (inScene_)
        return D3DERR_INVALIDCALL;
    ++presentCount_;
    Blit();
    return D3D_OK;
}

void Device::Blit()
{
    if (!window_ || !window_->Handle() || platform::IsHeadless() || !window_->IsVisible())
        return;
    SDL_Window* sdlWindow = window_->Handle();
    SDL_Surface* screen = SDL_GetWindowSurface(sdlWindow);
    if (!screen)
        return;
    Surface& bb = *backBuffer_;
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(
        bb.Bits(), int(bb.Width()), int(bb.Height()), 32, bb.Pitch(),
        bb.Format() == D3DFMT_A8R8G8B8 ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB888);
    if (!frame)
        return;
    SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
    // The frame keeps its aspect in the window: black bars fill what it leaves.
    const platform::FrameFit fit = platform::FitFrame(frame->w, frame->h, screen->w, screen->h);
    SDL_Rect target{fit.left, fit.top, fit.width, fit.height};
    if (!fit.IsIdentity())
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    if (fit.width == frame->w && fit.height == frame->h)
        SDL_BlitSurface(frame, nullptr, screen, &target);
    else
        SDL_BlitScaled(frame, nullptr, screen, &target);
    SDL_FreeSurface(frame);
    SDL_UpdateWindowSurface(sdlWindow);
}

// --- Surfaces and resources ---------------------------------------------------------------

HRESULT Device::GetBackBuffer(uint32_t swapChain, uint32_t index, D3DBACKBUFFER_TYPE, Surface** surface)
{
    if (!surface || swapChain != 0 || index != 0 || !backBuffer_)
        return D3DERR_INVALIDCALL;
    backBuffer_->AddRef();
    *surface = backBuffer_.get();
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, Surface** surface)
{
    if (!surface || index != 0 || !renderTarget_)
        return D3DERR_INVALIDCALL;
    renderTarget_->AddRef();
    *surface = renderTarget_.get();
    return D3D_OK;
}

HRESULT Device::SetRenderTarget(DWORD index, Surface* surface)
{
    if (index != 0 || !surface || !IsTargetFormat(surface->Format()) || !(surface->Usage() & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    renderTarget_ = Ref<Surface>::Share(surface);
    state_.viewport = D3DVIEWPORT9{0, 0, surface->Width(), surface->Height(), 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(Surface** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = depthStencil_.get();
    if (!depthStencil_)
        return D3DERR_NOTAVAILABLE;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(Surface* surface)
{
    if (surface && surface->Format() != D3DFMT_D24S8)
        return D3DERR_INVALIDCALL;
    depthStencil_ = Ref<Surface>::Share(surface);
    return D3D_OK;
}

HRESULT Device::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, Texture** texture, void*)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || !IsColourFormat(format))
        return D3DERR_INVALIDCALL;
    if (width > caps_.MaxTextureWidth || height > caps_.MaxTextureHeight)
        return D3DERR_INVALIDCALL;
    if ((caps_.TextureCaps & D3DPTEXTURECAPS_POW2) && !(caps_.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL)
        && (!IsPow2(width) || !IsPow2(height)))
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) && (pool != D3DPOOL_DEFAULT || !IsTargetFormat(format)))
        return D3DERR_INVALIDCALL;
    auto* t = new Texture(width, height, levels, format, pool, usage);
    if (pool == D3DPOOL_DEFAULT)
        t->TrackIn(defaultPoolTally_);
    *texture = t;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool, VertexBuffer** buffer, void*)
{
    if (!buffer || length == 0)
        return D3DERR_INVALIDCALL;
    auto* b = new VertexBuffer(length, usage, fvf, pool);
    if (pool == D3DPOOL_DEFAULT)
        b->TrackIn(defaultPoolTally_);
    *buffer = b;
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(uint32_t length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IndexBuffer** buffer,
                                  void*)
{
    if (!buffer || length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    auto* b = new IndexBuffer(length, usage, format, pool);
    if (pool == D3DPOOL_DEFAULT)
        b->TrackIn(defaultPoolTally_);
    *buffer = b;
    return D3D_OK;
}

HRESULT Device::CreateOffscreenPlainSurface(uint32_t width, uint32_t height, D3DFORMAT format, D3DPOOL pool,
                                            Surface** surface, void*)
{
    if (!surface || width == 0 || height == 0 || (!IsColourFormat(format) && format != D3DFMT_R8G8B8)
        || pool == D3DPOOL_MANAGED)
        return D3DERR_INVALIDCALL;
    auto* s = new Surface(width, height, format, pool, 0);
    if (pool == D3DPOOL_DEFAULT)
        s->TrackIn(defaultPoolTally_);
    *surface = s;
    return D3D_OK;
}

HRESULT Device::CreateRenderTarget(uint32_t width, uint32_t height, D3DFORMAT format, D3DMULTISAMPLE_TYPE, DWORD,
                                   bool, Surface** surface, void*)
{
    if (!surface || width == 0 || height == 0 || !IsTargetFormat(format))
        return D3DERR_INVALIDCALL;
    auto* s = new Surface(width, height, format, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET);
    s->TrackIn(defaultPoolTally_);
    *surface = s;
    return D3D_OK;
}

HRESULT Device::CreateQuery(D3DQUERYTYPE type, Query** query)
{
    if (type != D3DQUERYTYPE_EVENT)
        return D3DERR_NOTAVAILABLE;
    if (!query)
        return D3D_OK; // support check
    *query = new Query();
    return D3D_OK;
}

HRESULT Device::GetRenderTargetData(Surface* renderTarget, Surface* destination)
{
    if (!renderTarget || !destination || renderTarget->Width() != destination->Width()
        || renderTarget->Height() != destination->Height() || renderTarget->Format() != destination->Format()
        || destination->Pool() != D3DPOOL_SYSTEMMEM)
        return D3DERR_INVALIDCALL;
    if (condition_ != Condition::Operational)
        return D3DERR_DEVICELOST;
    const size_t rowBytes = size_t(renderTarget->Width()) * BytesPerPixel(renderTarget->Format());
    for (uint32_t y = 0; y < renderTarget->Height(); ++y)
        std::memcpy(destination->Row<uint8_t>(y), renderTarget->Row<uint8_t>(y), rowBytes);
    destination->MarkModified();
    return D3D_OK;
}

HRESULT Device::ColorFill(Surface* surface, const RECT* rect, D3DCOLOR colour)
{
    if (!surface || !IsTargetFormat(surface->Format()))
        return D3DERR_INVALIDCALL;
    RECT full{0, 0, int32_t(surface->Width()), int32_t(surface->Height())}, r = full;
    if (rect && !IntersectRect(&r, rect, &full))
        return D3D_OK;
    const uint32_t value = surface->Format() == D3DFMT_X8R8G8B8 ? (colour | 0xFF000000u) : colour;
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(surface->Row<uint32_t>(uint32_t(y)) + r.left, r.right - r.left, value);
    surface->MarkModified();
    return D3D_OK;
}

// --- Frame ------------------------------------------------------------------------------------

HRESULT Device::BeginScene()
{
    if (inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    if (!inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil)
{
    if (!CanDraw())
        return D3D_OK;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_)
        return D3DERR_INVALIDCALL;
    const D3DVIEWPORT9& vp = state_.viewport;
    RECT viewport{int32_t(vp.X), int32_t(vp.Y), int32_t(vp.X + vp.Width), int32_t(vp.Y + vp.Height)};
    std::vector<RECT> areas;
    if (count == 0 || !rects)
        areas.push_back(viewport);
    else
        for (DWORD i = 0; i < count; ++i)
            areas.push_back(RECT{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
    const uint32_t depthValue = uint32_t(std::clamp(double(z), 0.0, 1.0) * 16777215.0 + 0.5);
    for (RECT area : areas) {
        if (!IntersectRect(&area, &area, &viewport))
            continue;
        if (flags & D3DCLEAR_TARGET) {
            RECT r;
            RECT full{0, 0, int32_t(renderTarget_->Width()), int32_t(renderTarget_->Height())};
            if (IntersectRect(&r, &area, &full))
                ColorFill(renderTarget_.get(), &r, colour);
        }
        if (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) {
            RECT r;
            RECT full{0, 0, int32_t(depthStencil_->Width()), int32_t(depthStencil_->Height())};
            if (!IntersectRect(&r, &area, &full))
                continue;
            const uint32_t keepMask = ((flags & D3DCLEAR_ZBUFFER) ? 0u : 0x00FFFFFFu)
                                      | ((flags & D3DCLEAR_STENCIL) ? 0u : 0xFF000000u);
            const uint32_t value = (depthValue | ((stencil & 255u) << 24)) & ~keepMask;
            for (int y = r.top; y < r.bottom; ++y) {
                uint32_t* row = depthStencil_->Row<uint32_t>(uint32_t(y));
                for (int x = r.left; x < r.right; ++x)
                    row[x] = (row[x] & keepMask) | value;
            }
        }
    }
    return D3D_OK;
}

// --- State ----------------------------------------------------------------------------------------

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    state_.renderStates[state] = value;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const
{
    if (state >= D3DRS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= kStageCount || type >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    state_.stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) const
{
    if (stage >= kStageCount || type >= D3DTSS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= kStageCount || type >= D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    state_.samplerStates[sampler][type] = value;
    return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) const
{
    if (sampler >= kStageCount || type >= D3DSAMP_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = state_.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX* matrix)
{
    if (state >= D3DTS_COUNT || !matrix)
        return D3DERR_INVALIDCALL;
    state_.transforms[state] = *matrix;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DXMATRIX* matrix) const
{
    if (state >= D3DTS_COUNT || !matrix)
        return D3DERR_INVALIDCALL;
    *matrix = state_.transforms[state];
    return D3D_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX* matrix)
{
    if (state >= D3DTS_COUNT || !matrix)
        return D3DERR_INVALIDCALL;
    state_.transforms[state] = *matrix * state_.transforms[state];
    return D3D_OK;
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (!viewport || !renderTarget_ || viewport->X + viewport->Width > renderTarget_->Width()
        || viewport->Y + viewport->Height > renderTarget_->Height())
        return D3DERR_INVALIDCALL;
    state_.viewport = *viewport;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) const
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, Texture* texture)
{
    if (stage >= kStageCount)
        return D3DERR_INVALIDCALL;
    state_.textures[stage] = Ref<Texture>::Share(texture);
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, Texture** texture) const
{
    if (stage >= kStageCount || !texture)
        return D3DERR_INVALIDCALL;
    *texture = state_.textures[stage].get();
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf)
{
    state_.fvf = fvf;
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf) const
{
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offsetBytes, uint32_t stride)
{
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    state_.stream = Ref<VertexBuffer>::Share(buffer);
    state_.streamOffset = offsetBytes;
    state_.streamStride = stride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IndexBuffer* indices)
{
    state_.indices = Ref<IndexBuffer>::Share(indices);
    return D3D_OK;
}

// --- Drawing ---------------------------------------------------------------------------------------

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount)
{
    if (!state_.stream || state_.streamStride == 0)
        return D3DERR_INVALIDCALL;
    const uint32_t count = VertexCount(type, primitiveCount);
    const uint64_t end = state_.streamOffset + uint64_t(startVertex + count) * state_.streamStride;
    if (end > state_.stream->Length())
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount,
                state_.stream->Data() + state_.streamOffset + size_t(startVertex) * state_.streamStride, count,
                state_.streamStride, nullptr, false, 0, 0);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int32_t baseVertex, uint32_t, uint32_t, uint32_t startIndex,
                                     uint32_t primitiveCount)
{
    if (!state_.stream || state_.streamStride == 0 || !state_.indices)
        return D3DERR_INVALIDCALL;
    const bool index32 = state_.indices->Format() == D3DFMT_INDEX32;
    const uint32_t indexSize = index32 ? 4 : 2;
    const uint32_t count = VertexCount(type, primitiveCount);
    if (uint64_t(startIndex + count) * indexSize > state_.indices->Length())
        return D3DERR_INVALIDCALL;
    const uint32_t available = (state_.stream->Length() - std::min(state_.stream->Length(), state_.streamOffset))
                               / state_.streamStride;
    return Draw(type, primitiveCount, state_.stream->Data() + state_.streamOffset, available, state_.streamStride,
                state_.indices->Data() + size_t(startIndex) * indexSize, index32, count, baseVertex);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices, uint32_t stride)
{
    if (!vertices || stride == 0)
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount, static_cast<const uint8_t*>(vertices), VertexCount(type, primitiveCount), stride,
                nullptr, false, 0, 0);
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t numVertices,
                                       uint32_t primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                       const void* vertices, uint32_t stride)
{
    if (!vertices || !indices || stride == 0 || (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount, static_cast<const uint8_t*>(vertices), minIndex + numVertices, stride, indices,
                indexFormat == D3DFMT_INDEX32, VertexCount(type, primitiveCount), 0);
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const uint8_t* vertices, uint32_t vertexCount,
                     uint32_t stride, const void* indices, bool index32, uint32_t indexCount, int32_t baseVertex)
{
    const DWORD fvf = state_.fvf;
    const uint32_t vertexSize = FvfVertexSize(fvf);
    if (vertexSize == 0 || stride < vertexSize || VertexCount(type, primitiveCount) == 0)
        return D3DERR_INVALIDCALL;
    if (!CanDraw() || primitiveCount == 0)
        return D3D_OK;
    Surface* target = renderTarget_.get();
    if (!target || target->IsLocked())
        return D3DERR_INVALIDCALL;

    // Pipeline state for this draw.
    const DWORD* rs = state_.renderStates;
    detail::RasterSetup setup;
    setup.target = target;
    Surface* depth = depthStencil_.get();
    if (depth && (depth->Width() < target->Width() || depth->Height() < target->Height()))
        depth = nullptr;
    setup.depthStencil = depth;
    const D3DVIEWPORT9& vp = state_.viewport;
    RECT vpRect{int32_t(vp.X), int32_t(vp.Y), int32_t(vp.X + vp.Width), int32_t(vp.Y + vp.Height)};
    RECT targetRect{0, 0, int32_t(target->Width()), int32_t(target->Height())};
    if (!IntersectRect(&setup.clip, &vpRect, &targetRect))
        return D3D_OK;
    setup.cull = D3DCULL(rs[D3DRS_CULLMODE]);
    setup.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    setup.zEnable = rs[D3DRS_ZENABLE] != D3DZB_FALSE && depth;
    setup.zWrite = rs[D3DRS_ZWRITEENABLE] != 0;
    setup.zFunc = D3DCMPFUNC(rs[D3DRS_ZFUNC]);
    setup.stencilEnable = rs[D3DRS_STENCILENABLE] != 0 && depth;
    setup.stencilFunc = D3DCMPFUNC(rs[D3DRS_STENCILFUNC]);
    setup.stencilRef = rs[D3DRS_STENCILREF];
    setup.stencilMask = rs[D3DRS_STENCILMASK];
    setup.stencilWriteMask = rs[D3DRS_STENCILWRITEMASK];
    setup.stencilFail = D3DSTENCILOP(rs[D3DRS_STENCILFAIL]);
    setup.stencilZFail = D3DSTENCILOP(rs[D3DRS_STENCILZFAIL]);
    setup.stencilPass = D3DSTENCILOP(rs[D3DRS_STENCILPASS]);
    setup.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0 && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS;
    setup.alphaFunc = D3DCMPFUNC(rs[D3DRS_ALPHAFUNC]);
    setup.alphaRef = rs[D3DRS_ALPHAREF] & 255;
    setup.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    for (uint32_t st = 0; st < kStageCount; ++st) {
        const DWORD* ts = state_.stageStates[st];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        detail::StageSetup& stage = setup.stages[st];
        stage.colorOp = D3DTEXTUREOP(ts[D3DTSS_COLOROP]);
        stage.colorArg1 = ts[D3DTSS_COLORARG1];
        stage.colorArg2 = ts[D3DTSS_COLORARG2];
        stage.alphaOp = D3DTEXTUREOP(ts[D3DTSS_ALPHAOP]);
        stage.alphaArg1 = ts[D3DTSS_ALPHAARG1];
        stage.alphaArg2 = ts[D3DTSS_ALPHAARG2];
        stage.texcoordIndex = int(st);
        if (Texture* tex = state_.textures[st].get()) {
            stage.hasTexture = true;
            const DWORD* ss = state_.samplerStates[st];
            for (detail::Sampler* s : {&stage.magSampler, &stage.minSampler}) {
                s->view = tex->View();
                s->addressU = D3DTEXTUREADDRESS(ss[D3DSAMP_ADDRESSU]);
                s->addressV = D3DTEXTUREADDRESS(ss[D3DSAMP_ADDRESSV]);
            }
            stage.magSampler.bilinear = ss[D3DSAMP_MAGFILTER] == D3DTEXF_LINEAR;
            stage.minSampler.bilinear = ss[D3DSAMP_MINFILTER] == D3DTEXF_LINEAR;
        }
        setup.stageCount = int(st) + 1;
    }
    setup.blend.enable = rs[D3DRS_ALPHABLENDENABLE] != 0;
    setup.blend.src = D3DBLEND(rs[D3DRS_SRCBLEND]);
    setup.blend.dst = D3DBLEND(rs[D3DRS_DESTBLEND]);
    setup.blend.op = D3DBLENDOP(rs[D3DRS_BLENDOP]);
    const DWORD cw = rs[D3DRS_COLORWRITEENABLE];
    setup.blend.writeMask = ((cw & D3DCOLORWRITEENABLE_RED) ? 0x00FF0000u : 0u)
                            | ((cw & D3DCOLORWRITEENABLE_GREEN) ? 0x0000FF00u : 0u)
                            | ((cw & D3DCOLORWRITEENABLE_BLUE) ? 0x000000FFu : 0u)
                            | ((cw & D3DCOLORWRITEENABLE_ALPHA) ? 0xFF000000u : 0u);
    setup.blend.opaqueTarget = target->Format() == D3DFMT_X8R8G8B8;
    rasterizer_->Begin(setup);

    // Vertex layout.
    const bool pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    uint32_t offset = pretransformed ? 16 : 12;
    if (fvf & D3DFVF_NORMAL)
        offset += 12;
    const int diffuseOffset = (fvf & D3DFVF_DIFFUSE) ? int(offset) : -1;
    if (fvf & D3DFVF_DIFFUSE)
        offset += 4;
    if (fvf & D3DFVF_SPECULAR)
        offset += 4;
    const uint32_t texSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    const uint32_t texOffset = offset;

    D3DXMATRIX wvp = state_.transforms[D3DTS_WORLD] * state_.transforms[D3DTS_VIEW] * state_.transforms[D3DTS_PROJECTION];
    auto fetch = [&](uint32_t index, ClipVertex& out) -> bool {
        if (index >= vertexCount)
            return false;
        const uint8_t* v = vertices + size_t(index) * stride;
        float pos[4];
        std::memcpy(pos, v, pretransformed ? 16 : 12);
        detail::RasterVertex& a = out.a;
        if (diffuseOffset >= 0) {
            uint32_t c;
            std::memcpy(&c, v + diffuseOffset, 4);
            a.diffuse[0] = c >> 24;
            a.diffuse[1] = (c >> 16) & 255;
            a.diffuse[2] = (c >> 8) & 255;
            a.diffuse[3] = c & 255;
        }
        for (uint32_t st = 0; st < kStageCount; ++st) {
            const uint32_t set = state_.stageStates[st][D3DTSS_TEXCOORDINDEX] & 0xFFFF;
            float uv[2] = {0, 0};
            if (set < texSets)
                std::memcpy(uv, v + texOffset + set * 8, 8);
            double u = uv[0], w = uv[1];
            const DWORD transform = state_.stageStates[st][D3DTSS_TEXTURETRANSFORMFLAGS];
            const DWORD kept = transform & 0xFF;
            if (kept >= D3DTTFF_COUNT2 && kept <= D3DTTFF_COUNT4) {
                // A pair of coordinates enters the matrix as (u, v, 1, 0).
                const D3DXMATRIX& m = state_.transforms[D3DTS_TEXTURE0 + st];
                const double tu = u * m.m[0][0] + w * m.m[1][0] + m.m[2][0];
                const double tv = u * m.m[0][1] + w * m.m[1][1] + m.m[2][1];
                u = tu;
                w = tv;
                // The division happens at the vertices: exact for the affine transforms in
                // use, whose last coordinate is the same at every vertex.
                if (transform & D3DTTFF_PROJECTED) {
                    const double q = uv[0] * m.m[0][kept - 1] + uv[1] * m.m[1][kept - 1] + m.m[2][kept - 1];
                    if (q != 0.0) {
                        u /= q;
                        w /= q;
                    }
                }
            }
            a.u[st] = u;
            a.v[st] = w;
        }
        if (pretransformed) {
            a.x = pos[0];
            a.y = pos[1];
            a.z = pos[2];
            a.rhw = pos[3];
            out.p[0] = pos[0];
            out.p[1] = pos[1];
            out.p[2] = 0;
            out.p[3] = 1;
        } else {
            for (int j = 0; j < 4; ++j)
                out.p[j] = double(pos[0]) * wvp.m[0][j] + double(pos[1]) * wvp.m[1][j] + double(pos[2]) * wvp.m[2][j]
                           + wvp.m[3][j];
        }
        return true;
    };
    auto toScreen = [&](ClipVertex& c) {
        if (pretransformed)
            return;
        const double w = c.p[3];
        c.a.rhw = 1.0 / w;
        c.a.x = vp.X + (1.0 + c.p[0] / w) * vp.Width / 2.0;
        c.a.y = vp.Y + (1.0 - c.p[1] / w) * vp.Height / 2.0;
        c.a.z = vp.MinZ + c.p[2] / w * (vp.MaxZ - vp.MinZ);
    };
    const double guardX = kGuardBand / std::max(1.0, double(vp.Width) / 2.0);
    const double guardY = kGuardBand / std::max(1.0, double(vp.Height) / 2.0);
    const double clipPlanes[6][4] = {{0, 0, 1, 0}, {0, 0, -1, 1}, {1, 0, 0, guardX}, {-1, 0, 0, guardX},
                                     {0, 1, 0, guardY}, {0, -1, 0, guardY}};
    const double screenPlanes[4][4] = {{1, 0, 0, kGuardBand}, {-1, 0, 0, kGuardBand}, {0, 1, 0, kGuardBand},
                                       {0, -1, 0, kGuardBand}};
    auto inside = [&](const ClipVertex& c) {
        if (pretransformed)
            return std::fabs(c.p[0]) <= kGuardBand && std::fabs(c.p[1]) <= kGuardBand;
        const double w = c.p[3];
        return c.p[2] >= 0 && c.p[2] <= w && std::fabs(c.p[0]) <= guardX * w && std::fabs(c.p[1]) <= guardY * w;
    };
    auto triangle = [&](ClipVertex a, ClipVertex b, ClipVertex c) {
        if (inside(a) && inside(b) && inside(c)) {
            toScreen(a);
            toScreen(b);
            toScreen(c);
            rasterizer_->Triangle(a.a, b.a, c.a);
            return;
        }
        std::vector<ClipVertex> poly = pretransformed ? ClipPolygon({a, b, c}, screenPlanes, 4)
                                                      : ClipPolygon({a, b, c}, clipPlanes, 6);
        if (poly.size() < 3)
            return;
        for (ClipVertex& v : poly) {
            if (pretransformed) {
                v.a.x = v.p[0];
                v.a.y = v.p[1];
            }
            toScreen(v);
        }
        for (size_t i = 1; i + 1 < poly.size(); ++i)
            rasterizer_->Triangle(poly[0].a, poly[i].a, poly[i + 1].a);
    };
    auto line = [&](ClipVertex a, ClipVertex b) {
        if (!pretransformed) {
            // Near and far planes only; points beyond the guard band are dropped with the line.
            for (int pl = 0; pl < 2; ++pl) {
                const double* n = clipPlanes[pl];
                const double da = n[2] * a.p[2] + n[3] * a.p[3], db = n[2] * b.p[2] + n[3] * b.p[3];
                if (da < 0 && db < 0)
                    return;
                if (da < 0)
                    a = Lerp(a, b, da / (da - db));
                else if (db < 0)
                    b = Lerp(a, b, da / (da - db));
            }
        }
        toScreen(a);
        toScreen(b);
        if (std::fabs(a.a.x) > kGuardBand || std::fabs(a.a.y) > kGuardBand || std::fabs(b.a.x) > kGuardBand
            || std::fabs(b.a.y) > kGuardBand)
            return;
        rasterizer_->Line(a.a, b.a);
    };

    auto indexAt = [&](uint32_t i) -> int64_t {
        if (!indices)
            return i;
        if (i >= indexCount)
            return -1;
        uint32_t value;
        if (index32)
            std::memcpy(&value, static_cast<const uint8_t*>(indices) + size_t(i) * 4, 4);
        else {
            uint16_t v16;
            std::memcpy(&v16, static_cast<const uint8_t*>(indices) + size_t(i) * 2, 2);
            value = v16;
        }
        return int64_t(value) + baseVertex;
    };
    auto vertexAt = [&](uint32_t i, ClipVertex& out) {
        const int64_t index = indexAt(i);
        return index >= 0 && fetch(uint32_t(index), out);
    };

    ClipVertex v0, v1, v2;
    for (uint32_t p = 0; p < primitiveCount; ++p) {
        bool ok = true;
        switch (type) {
        case D3DPT_TRIANGLELIST:
            ok = vertexAt(p * 3, v0) && vertexAt(p * 3 + 1, v1) && vertexAt(p * 3 + 2, v2);
            if (ok)
                triangle(v0, v1, v2);
            break;
        case D3DPT_TRIANGLESTRIP:
            ok = vertexAt(p, v0) && vertexAt(p + 1, v1) && vertexAt(p + 2, v2);
            if (ok) {
                if (p & 1)
                    triangle(v1, v0, v2);
                else
                    triangle(v0, v1, v2);
            }
            break;
        case D3DPT_TRIANGLEFAN:
            ok = vertexAt(0, v0) && vertexAt(p + 1, v1) && vertexAt(p + 2, v2);
            if (ok)
                triangle(v0, v1, v2);
            break;
        case D3DPT_LINELIST:
            ok = vertexAt(p * 2, v0) && vertexAt(p * 2 + 1, v1);
            if (ok)
                line(v0, v1);
            break;
        case D3DPT_LINESTRIP:
            ok = vertexAt(p, v0) && vertexAt(p + 1, v1);
            if (ok)
                line(v0, v1);
            break;
        case D3DPT_POINTLIST:
            ok = vertexAt(p, v0);
            if (ok && inside(v0)) {
                toScreen(v0);
                rasterizer_->Point(v0.a);
            }
            break;
        }
        if (!ok)
            return D3DERR_INVALIDCALL;
    }
    target->MarkModified();
    return D3D_OK;
}

} // namespace gfx
