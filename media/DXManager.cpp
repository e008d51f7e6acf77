#include "media/DXManager.h"

#include "app/ConsoleParam.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "platform/gfx/Sprite.h"
#include "platform/image/ImageCodec.h"
#include "platform/window/MainWindow.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <vector>

using namespace gfx;

namespace DXManager {
namespace {

struct ManagerState {
    bool deviceUsable = false;
    platform::MainWindow* window = nullptr;
    Ref<Direct3D> d3d;
    D3DCAPS9 caps;
    D3DDISPLAYMODE displayMode;
    Ref<Device> device;
    Ref<Surface> backBuffer;
    Ref<Sprite> sprite;
    D3DPRESENT_PARAMETERS params;
    std::vector<IDeviceObject*> deviceObjects;
    bool recording = false;
    double recordingStart = 0.0;
    uint32_t recordedFrames = 0;
    std::unique_ptr<IMovieRecorder> aviWriter;
    std::unique_ptr<IMovieRecorder> soundRecorder;
    std::function<bool()> shiftDown;
    std::function<double()> clock;
};

ManagerState& State()
{
    static ManagerState state;
    return state;
}

// The player's choice of a full screen ("fullscreen", kept in the profile): assigning it
// switches the display; a switch made otherwise (the display-mode key) is written back.
ConsoleParam g_fullscreenSetting("fullscreen", ConsoleParamType::Int, "0", "show the game on the whole screen",
                                  [](ConsoleParam& self) {
                                      if (State().device)
                                          SetWindowed(self.GetInt() == 0, false);
                                  });

ConsoleParam& FullscreenSetting()
{
    return g_fullscreenSetting;
}

void SyncFullscreenSetting()
{
    ConsoleParam& setting = FullscreenSetting();
    const int fullscreen = State().params.Windowed ? 0 : 1;
    if (setting.GetInt() != fullscreen)
        setting.SetInt(fullscreen);
}

std::recursive_mutex& DeviceMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

const char* CapsFailureText(HRESULT hr)
{
    if (hr == D3DERR_INVALIDCALL)
        return "CAPS: invalid call to the video device\n";
    if (hr == D3DERR_OUTOFVIDEOMEMORY)
        return "CAPS: video device is out of memory\n";
    if (hr == D3DERR_INVALIDDEVICE)
        return "CAPS: the device is invalid\n";
    return nullptr;
}

// Queries the HAL capabilities, falling back to the reference device.
void QueryCaps()
{
    ManagerState& s = State();
    s.caps = D3DCAPS9{};
    s.caps.PresentationIntervals = 0;
    s.caps.MaxTextureWidth = s.caps.MaxTextureHeight = 0;
    const HRESULT hr = s.d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &s.caps);
    if (SUCCEEDED(hr))
        return;
    s.deviceUsable = false;
    if (const char* text = CapsFailureText(hr))
        WriteLog("%s", text);
    WriteLog("Could not get HAL device caps %d!\n", hr);
    const HRESULT ref = s.d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, &s.caps);
    if (FAILED(ref))
        if (const char* text = CapsFailureText(ref))
            throw GameException(text);
}

double Now()
{
    ManagerState& s = State();
    if (s.clock)
        return s.clock();
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Reads a rectangle of any supported surface as ARGB rows.
std::vector<uint32_t> ReadArgb(Surface* surface, const RECT& r, bool& locked)
{
    std::vector<uint32_t> pixels;
    D3DLOCKED_RECT lockedRect;
    locked = SUCCEEDED(surface->LockRect(&lockedRect, &r, D3DLOCK_READONLY));
    if (!locked) {
        WriteLog("Could not Lock surface for a screen shot!!\n");
        return pixels;
    }
    const int w = r.right - r.left, h = r.bottom - r.top, bpp = BytesPerPixel(surface->Format());
    pixels.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const uint8_t*>(lockedRect.pBits) + size_t(y) * lockedRect.Pitch;
        for (int x = 0; x < w; ++x)
            pixels[size_t(y) * w + x] = DecodePixel(surface->Format(), row + size_t(x) * bpp);
    }
    if (FAILED(surface->UnlockRect()))
        WriteLog("Could not unlock surface after taking screen shot!!\n");
    return pixels;
}

} // namespace

HRESULT Init(platform::MainWindow* window, int width, int height)
{
    const auto deviceLock = LockDevice();
    ManagerState& s = State();
    screenWidth = width;
    screenHeight = height;
    s.window = window;
    s.deviceUsable = true;
    if (window)
        window->SetFrameSize(width, height);

    s.d3d = Ref<Direct3D>(Direct3DCreate9(D3D_SDK_VERSION));
    if (!s.d3d)
        throw GameException("Could not get D3d9 interface!\n");
    QueryCaps();
    CheckDeviceCaps();
    if (FAILED(s.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &s.displayMode)))
        throw GameException("Couldn't get current display mode\n");

    s.params = D3DPRESENT_PARAMETERS{};
    s.params.BackBufferWidth = uint32_t(width);
    s.params.BackBufferHeight = uint32_t(height);
    s.params.BackBufferFormat = s.displayMode.Format;
    s.params.BackBufferCount = 1;
    s.params.MultiSampleType = D3DMULTISAMPLE_NONE;
    s.params.SwapEffect = D3DSWAPEFFECT_FLIP;
    s.params.hDeviceWindow = window;
    s.params.Windowed = true;
    s.params.EnableAutoDepthStencil = true;
    s.params.AutoDepthStencilFormat = D3DFMT_D24S8;
    s.params.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    s.params.FullScreen_RefreshRateInHz = 0;
    s.params.PresentationInterval = D3DPRESENT_INTERVAL_ONE;

    struct Attempt {
        D3DDEVTYPE type;
        DWORD flags;
        const char* log;
    } attempts[] = {
        {D3DDEVTYPE_HAL, 0x46, "d3d is hard and hal\n"},
        {D3DDEVTYPE_HAL, 0x26, "d3d is soft and hal\n"},
        {D3DDEVTYPE_REF, 0x46, "d3d is hard and ref\n"},
        {D3DDEVTYPE_REF, 0x26, "d3d is soft and ref\n"},
    };
    HRESULT hr = E_FAIL;
    for (const Attempt& attempt : attempts) {
        D3DPRESENT_PARAMETERS params = s.params;
        hr = s.d3d->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, window, attempt.flags, &params, s.device.out());
        if (FAILED(hr))
            continue;
        WriteLog("%s", attempt.log);
        if (attempt.type == D3DDEVTYPE_REF) {
            s.device.reset();
            throw GameException("FLIMBS requires a 3d video card, go buy one!");
        }
        break;
    }
    if (FAILED(hr)) {
        if (hr == D3DERR_NOTAVAILABLE)
            throw GameException("the video device is not available\n");
        if (hr == D3DERR_INVALIDCALL)
            throw GameException("invalid call to the video device\n");
        if (hr == D3DERR_OUTOFVIDEOMEMORY)
            throw GameException("video device is out of memory\n");
        throw GameException("3d3 device error\n");
    }

    if (FAILED(s.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, s.backBuffer.out())))
        throw GameException("Could not get back buffer for D3d Device!\n");
    if (FAILED(D3DXCreateSprite(s.device.get(), s.sprite.out())))
        throw GameException("Could not create DX sprite!\n");
    QueryCaps();
    const HRESULT reset = ResetDevice();
    // A full screen asked for before the device existed (the parameter file) takes effect now.
    if (SUCCEEDED(reset) && FullscreenSetting().GetInt() != 0)
        SetWindowed(false, false);
    return reset;
}

void CheckDeviceCaps()
{
    const D3DCAPS9& caps = State().caps;
    if (!(caps.PresentationIntervals & D3DPRESENT_INTERVAL_ONE))
        throw GameException("Device Caps Missing: D3DPRESENT_INTERVAL_ONE");
    if (caps.MaxTextureWidth < 2048)
        throw GameException("Video card cannot load 2048x2048 textures");
}

std::unique_lock<std::recursive_mutex> LockDevice() { return std::unique_lock(DeviceMutex()); }

void RegisterDeviceObject(IDeviceObject* object)
{
    const auto deviceLock = LockDevice();
    State().deviceObjects.push_back(object);
}

void UnregisterDeviceObject(IDeviceObject* object)
{
    const auto deviceLock = LockDevice();
    auto& list = State().deviceObjects;
    auto found = std::find(list.begin(), list.end(), object);
    if (found != list.end())
        list.erase(found);
}

HRESULT InvalidateDeviceObjects()
{
    const auto deviceLock = LockDevice();
    ManagerState& s = State();
    s.backBuffer.reset();
    s.sprite.reset();
    // A copy: an object may unregister itself while being told.
    const std::vector<IDeviceObject*> objects = s.deviceObjects;
    for (IDeviceObject* object : objects) {
        const HRESULT hr = object->OnDeviceLost();
        if (hr < 0)
            return hr;
    }
    return D3D_OK;
}

HRESULT RestoreDeviceObjects()
{
    const auto deviceLock = LockDevice();
    ManagerState& s = State();
    // The floating-point control word of the original platform needs no setting here:
    // SSE arithmetic already rounds to nearest with exceptions masked.
    if (FAILED(s.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, s.backBuffer.out()))) {
        WriteLog("DXManager::RestoreDeviceObjects() : %s", "Could not get back buffer for D3d Device!\n");
        return -1;
    }
    if (FAILED(D3DXCreateSprite(s.device.get(), s.sprite.out()))) {
        WriteLog("DXManager::RestoreDeviceObjects() : %s", "Could not create DX sprite!\n");
        return -1;
    }
    try {
        const std::vector<IDeviceObject*> objects = s.deviceObjects;
        for (IDeviceObject* object : objects)
            object->OnDeviceRestored();
    } catch (const GameException& e) {
        WriteLog("%s\n", e.what());
        return -1;
    } catch (const std::exception& e) {
        WriteLog("DXManager::RestoreDeviceObjects() : %s", e.what());
        return -1;
    }
    Device& d = *s.device;
    d.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    d.SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, 0);
    d.SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFFu);
    d.SetRenderState(D3DRS_LIGHTING, 0);
    d.SetRenderState(D3DRS_DITHERENABLE, 0);
    d.SetRenderState(D3DRS_SPECULARENABLE, 0);
    d.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d.SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    return D3D_OK;
}

HRESULT ResetDevice()
{
    const auto deviceLock = LockDevice();
    ManagerState& s = State();
    if (!s.device)
        return E_FAIL;
    HRESULT hr = InvalidateDeviceObjects();
    if (hr < 0)
        return hr;
    D3DPRESENT_PARAMETERS params = s.params;
    hr = s.device->Reset(&params);
    if (FAILED(hr)) {
        WriteLog("Failed to reset!\n");
        return hr;
    }
    hr = RestoreDeviceObjects();
    if (hr < 0)
        WriteLog("RestoreDeviceObjects Failed!\n");
    return hr;
}

HRESULT SetScreenSize(int width, int height)
{
    ManagerState& s = State();
    if (width <= 0 || height <= 0 || !s.device)
        return E_FAIL;
    screenWidth = width;
    screenHeight = height;
    s.params.BackBufferWidth = uint32_t(width);
    s.params.BackBufferHeight = uint32_t(height);
    if (s.window)
        s.window->SetFrameSize(width, height);
    // The window takes the new size (in full screen, for when it becomes a window again).
    if (s.window && s.window->IsCreated()) {
        const platform::WindowRect at = s.window->GetPlacement();
        s.window->SetPlacement({at.left, at.top, at.left + width, at.top + height});
    }
    return ResetDevice();
}

void SetWindowed(bool windowed, bool force)
{
    ManagerState& s = State();
    if (windowed) {
        if (!s.params.Windowed) {
            WriteLog("Set Windowed Mode\n");
            s.params.Windowed = true;
            s.params.FullScreen_RefreshRateInHz = 0;
        } else if (!force) {
            return;
        }
    } else {
        if (s.params.Windowed) {
            WriteLog("Set FullScreen Mode\n");
            s.params.Windowed = false;
            s.params.SwapEffect = D3DSWAPEFFECT_FLIP;
            s.params.FullScreen_RefreshRateInHz = 0;
        } else if (!force) {
            return;
        }
    }
    s.params.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    ResetDevice();
    if (s.window) {
        // The device's reset switched the window's mode; show it in its new frame (a window
        // not shown yet, during start-up, takes the mode when it is shown).
        s.window->SetFullscreen(!s.params.Windowed);
        if (s.params.Windowed) {
            // Back in a window: the client area is the back buffer's size again.
            const platform::WindowRect at = s.window->GetPlacement();
            s.window->SetPlacement({at.left, at.top, at.left + screenWidth, at.top + screenHeight});
        }
        if (s.window->IsVisible()) {
            s.window->Show();
            if (s.params.Windowed)
                s.window->Raise();
        }
    }
    SyncFullscreenSetting();
}

void ToggleWindowed(bool apply)
{
    if (apply)
        SetWindowed(!State().params.Windowed, true);
}

bool ClipRectToScreen(int left, int top, int right, int bottom, D3DVIEWPORT9& savedViewport)
{
    ManagerState& s = State();
    if (!s.device)
        return false;
    s.device->GetViewport(&savedViewport);
    left = std::max(left, 0);
    top = std::max(top, 0);
    // An inverted rectangle (right before left) holds nothing.
    int width = right < 0 ? 0 : std::max(right - left, 0);
    int height = bottom < 0 ? 0 : std::max(bottom - top, 0);
    width = left >= screenWidth ? 0 : std::min(width, screenWidth - left);
    height = top >= screenHeight ? 0 : std::min(height, screenHeight - top);
    if (width == 0 || height == 0)
        return false;
    const RECT wanted{left, top, left + width, top + height};
    const RECT current{int32_t(savedViewport.X), int32_t(savedViewport.Y),
                       int32_t(savedViewport.X + savedViewport.Width), int32_t(savedViewport.Y + savedViewport.Height)};
    RECT clipped;
    if (!IntersectRect(&clipped, &wanted, &current))
        return false;
    const D3DVIEWPORT9 viewport{uint32_t(clipped.left), uint32_t(clipped.top), uint32_t(clipped.right - clipped.left),
                                uint32_t(clipped.bottom - clipped.top), 0.0f, 1.0f};
    return SUCCEEDED(s.device->SetViewport(&viewport));
}

bool SurfaceToFile(int format, const RECT* rect, Surface* surface, const std::string& fileName, int jpegQuality)
{
    if (format != kFormatBmp && format != kFormatPng && format != kFormatJpeg) {
        WriteLog("SurfaceToFile: Unsupported file format\n");
        return false;
    }
    D3DSURFACE_DESC desc;
    if (!surface || FAILED(surface->GetDesc(&desc))) {
        WriteLog("DXManager::SurfaceToFile(): Could not get surface descriptor\n");
        return false;
    }
    const std::string path = GetUserPath(fileName);
    RECT r{0, 0, int32_t(desc.Width), int32_t(desc.Height)};
    if (rect) {
        r.left = std::max(rect->left, 0);
        r.top = std::max(rect->top, 0);
        r.right = std::min(rect->right, int32_t(desc.Width));
        r.bottom = std::min(rect->bottom, int32_t(desc.Height));
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;
    if (format == kFormatJpeg && desc.Format != D3DFMT_R8G8B8 && desc.Format != D3DFMT_A8R8G8B8
        && desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_R5G6B5)
        return false;

    bool locked = false;
    const std::vector<uint32_t> pixels = ReadArgb(surface, r, locked);
    if (!locked)
        return false;
    std::vector<uint8_t> bytes;
    bool encoded = false;
    switch (format) {
    case kFormatBmp:
        // Every format is written as 32-bit rows, matching the header.
        encoded = platform::image::EncodeBmp(pixels.data(), width, height, width * 4, bytes);
        break;
    case kFormatPng: {
        const bool alpha = desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_A4R4G4B4;
        encoded = platform::image::EncodePng(pixels.data(), width, height, width * 4, alpha, bytes);
        break;
    }
    default:
        encoded = platform::image::EncodeJpeg(pixels.data(), width, height, width * 4, jpegQuality, bytes);
        break;
    }
    if (!encoded || !platform::image::WriteFileBytes(path, bytes)) {
        WriteLog("[%d] Attempt to save %s failed.\n", encoded ? 2 : 1, fileName.c_str());
        return false;
    }
    return true;
}

void TakeScreenshot(bool enabled)
{
    ManagerState& s = State();
    if (!enabled || !s.device)
        return;
    const bool bmp = s.shiftDown && s.shiftDown();
    const int format = bmp ? kFormatBmp : kFormatJpeg;
    const char* extension = bmp ? "bmp" : "jpg";
    std::string name;
    // The first free number; with every number taken nothing is overwritten.
    for (int number = 0; number <= 9999 && name.empty(); ++number) {
        std::string candidate = StringPrintf("Cache\\Screenshots\\flimbs_screenshot_%04d.%s", number, extension);
        std::error_code error;
        if (!std::filesystem::exists(GetUserPath(candidate), error))
            name = std::move(candidate);
    }
    if (name.empty()) {
        WriteLog("TakeScreenshot: no free screenshot number\n");
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(GetUserPath("Cache\\Screenshots"), error);

    Ref<Surface> backBuffer;
    D3DSURFACE_DESC desc;
    if (FAILED(s.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()))
        || FAILED(backBuffer->GetDesc(&desc))) {
        WriteLog("DXManager::SurfaceToFile(): Could not get surface descriptor\n");
        return;
    }
    Ref<Surface> copy;
    if (FAILED(s.device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                     copy.out()))
        || FAILED(s.device->GetRenderTargetData(backBuffer.get(), copy.get()))) {
        WriteLog("TakeScreenshot: could not copy the back buffer\n");
        return;
    }
    SurfaceToFile(format, nullptr, copy.get(), name, 75);
}

void SetShiftStateProvider(std::function<bool()> isShiftDown) { State().shiftDown = std::move(isShiftDown); }

void SetMovieRecording(bool on)
{
    ManagerState& s = State();
    s.aviWriter.reset();
    s.soundRecorder.reset();
    s.recording = on;
    if (on) {
        s.recordingStart = Now();
        s.recordedFrames = 0;
    }
}

bool IsMovieRecording() { return State().recording; }
double MovieStartTime() { return State().recordingStart; }
uint32_t& RecordedFrames() { return State().recordedFrames; }

void SetMovieRecorders(std::unique_ptr<IMovieRecorder> aviWriter, std::unique_ptr<IMovieRecorder> soundRecorder)
{
    State().aviWriter = std::move(aviWriter);
    State().soundRecorder = std::move(soundRecorder);
}

void SetClockProvider(std::function<double()> nowMs) { State().clock = std::move(nowMs); }

void ReleaseAll()
{
    const auto deviceLock = LockDevice();
    ManagerState& s = State();
    s.sprite.reset();
    s.backBuffer.reset();
    s.device.reset();
    s.d3d.reset();
    s.aviWriter.reset();
    s.soundRecorder.reset();
}

void Shutdown()
{
    const auto deviceLock = LockDevice();
    // Objects still registered release what they hold while the device exists; none keeps a
    // pointer to it past this point.
    const std::vector<IDeviceObject*> objects = State().deviceObjects;
    for (IDeviceObject* object : objects)
        object->OnDeviceShutdown();
    ReleaseAll();
    State().deviceObjects.clear();
    State().deviceObjects.shrink_to_fit();
}

bool IsDeviceUsable() { return State().deviceUsable; }
bool IsWindowed() { return State().params.Windowed; }
Device* GetDevice()
{
    const auto deviceLock = LockDevice();
    return State().device.get();
}
Sprite* GetSprite() { return State().sprite.get(); }
Surface* GetBackBuffer() { return State().backBuffer.get(); }
const D3DCAPS9& GetCaps() { return State().caps; }
const D3DPRESENT_PARAMETERS& GetPresentParameters() { return State().params; }
platform::MainWindow* GetWindow() { return State().window; }

} // namespace DXManager
