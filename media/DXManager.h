#pragma once
// The graphics device manager: the one device of the program and what hangs off it.
//
// It creates the device on the main window and checks the adapter, keeps the back buffer
// and the sprite batcher, keeps the ordered list of device-dependent objects (told when
// the device is lost and when it has been restored), switches between windowed and
// full-screen presentation, clips drawing to a rectangle, writes surfaces to image files
// and takes numbered screenshots. One instance per process: global state with free
// operations, called from the main thread, except that surfaces may be created, loaded,
// registered and destroyed on a worker thread (a screen built in the background): the
// device lock below keeps those apart from init, reset and shutdown.

#include "platform/gfx/Device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace platform {
class MainWindow;
}
namespace gfx {
class Sprite;
}

// A device-dependent object: releases what it holds on the device when the device is lost
// and rebuilds it after the reset. It registers and unregisters itself with the manager.
class IDeviceObject {
public:
    virtual ~IDeviceObject() = default;
    // Negative result: failure (the reset stops there).
    virtual gfx::HRESULT OnDeviceLost() = 0;
    virtual void OnDeviceRestored() = 0;
    // The device goes away for good (DXManager::Shutdown); the object is unregistered right
    // after. By default it lets go of its device resources as on a loss.
    virtual void OnDeviceShutdown() { OnDeviceLost(); }
};

namespace DXManager {

// The back-buffer size in pixels, set by Init. Every drawing routine converts the
// 1000 x 1000 virtual screen to pixels with these two values.
inline int screenWidth = 0;
inline int screenHeight = 0;

// Image formats of SurfaceToFile.
constexpr int kFormatBmp = 0;
constexpr int kFormatPng = 1;
constexpr int kFormatJpeg = 2;

// Creates everything on the main window with a back buffer of width x height. Throws
// GameException with the failure text on any fatal failure; returns the reset's result.
gfx::HRESULT Init(platform::MainWindow* window, int width, int height);
// Throws "Device Caps Missing: D3DPRESENT_INTERVAL_ONE" or
// "Video card cannot load 2048x2048 textures".
void CheckDeviceCaps();

// Held while the device or the device-object list changes (init, reset, shutdown,
// registration) and while a texture is created for a surface. Recursive. Lost and restored
// callbacks run under it, so they must not wait for a lock that a worker may hold while it
// creates a surface (the image cache's).
std::unique_lock<std::recursive_mutex> LockDevice();

void RegisterDeviceObject(IDeviceObject* object);
// Removes the first entry equal to object; nothing when absent.
void UnregisterDeviceObject(IDeviceObject* object);

gfx::HRESULT InvalidateDeviceObjects();
gfx::HRESULT RestoreDeviceObjects();
// Invalidate, reset with the kept presentation parameters, restore. E_FAIL without a device.
gfx::HRESULT ResetDevice();

// A new screen size: the back buffer and, while windowed, the window's client area take
// it, then the device is reset. E_FAIL for a size that is not positive or without a device.
gfx::HRESULT SetScreenSize(int width, int height);
void SetWindowed(bool windowed, bool force);
void ToggleWindowed(bool apply);

// Narrows the viewport to the rectangle (pixels, right and bottom exclusive) within the
// screen and the current viewport, which is stored in savedViewport for the caller to
// restore. False when nothing is left to draw (the viewport is then unchanged).
bool ClipRectToScreen(int left, int top, int right, int bottom, gfx::D3DVIEWPORT9& savedViewport);

// Writes a surface (or the rect of it, clamped to the surface) as BMP, PNG or JPEG to a
// game path (mapped through the user folders) or a host path. False when nothing was written.
bool SurfaceToFile(int format, const gfx::RECT* rect, gfx::Surface* surface, const std::string& fileName,
                   int jpegQuality);

// Writes the back buffer to Cache\Screenshots\flimbs_screenshot_%04d.jpg (.bmp while Shift
// is held) under the first free number.
void TakeScreenshot(bool enabled);
// Tells TakeScreenshot whether either Shift key is held (the keyboard manager installs it).
void SetShiftStateProvider(std::function<bool()> isShiftDown);

// The movie-recording switch. The recorders themselves belong to movie recording.
class IMovieRecorder {
public:
    virtual ~IMovieRecorder() = default;
};
void SetMovieRecording(bool on);
bool IsMovieRecording();
double MovieStartTime();
uint32_t& RecordedFrames();
// Hands the recorders of a recording to the manager, which owns them until recording is
// switched or the manager shuts down.
void SetMovieRecorders(std::unique_ptr<IMovieRecorder> aviWriter, std::unique_ptr<IMovieRecorder> soundRecorder);
// Program clock in milliseconds used for the recording start time (steady clock by default).
void SetClockProvider(std::function<double()> nowMs);

void ReleaseAll();
void Shutdown();

bool IsDeviceUsable();
bool IsWindowed();
gfx::Device* GetDevice();
gfx::Sprite* GetSprite();
gfx::Surface* GetBackBuffer();
const gfx::D3DCAPS9& GetCaps();
const gfx::D3DPRESENT_PARAMETERS& GetPresentParameters();
platform::MainWindow* GetWindow();

} // namespace DXManager
