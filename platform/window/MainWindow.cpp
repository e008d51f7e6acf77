#include "platform/window/MainWindow.h"

#include "platform/log_sink.h"

#include <SDL.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

std::atomic<bool> g_quitRequested{false};
volatile std::sig_atomic_t g_signalQuit = 0;

void OnQuitSignal(int)
{
    g_signalQuit = 1;
}

bool ConsumeSignal()
{
    if (g_signalQuit) {
        g_signalQuit = 0;
        g_quitRequested.store(true);
    }
    return g_quitRequested.load();
}

} // namespace

bool InitVideo()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            PlatformLog("SDL video initialisation failed: %s\n", SDL_GetError());
            return;
        }
        ok = true;
    });
    return ok;
}

bool IsHeadless()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

void ShowSystemCursor(bool show)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void RequestQuit()
{
    g_quitRequested.store(true);
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
}

bool QuitRequested()
{
    return ConsumeSignal();
}

void ClearQuitRequest()
{
    g_signalQuit = 0;
    g_quitRequested.store(false);
}

void InstallQuitSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

MainWindow::~MainWindow()
{
    Destroy();
}

bool MainWindow::Create(const std::string& title, const WindowRect& placement)
{
    if (window_)
        return true;
    if (!InitVideo())
        return false;
    const int width = placement.Width() > 0 ? placement.Width() : 1024;
    const int height = placement.Height() > 0 ? placement.Height() : 768;
    window_ = SDL_CreateWindow(title.c_str(), placement.left, placement.top, width, height,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window_) {
        PlatformLog("Could not create the main window: %s\n", SDL_GetError());
        return false;
    }
    id_ = SDL_GetWindowID(window_);
    return true;
}

void MainWindow::Destroy()
{
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        id_ = 0;
        foreground_ = false;
    }
}

void MainWindow::Show()
{
    if (!window_)
        return;
    SDL_ShowWindow(window_);
    // The offscreen driver never reports focus; a shown window counts as the foreground.
    if (IsHeadless())
        foreground_ = true;
}

void MainWindow::Hide()
{
    if (!window_)
        return;
    SDL_HideWindow(window_);
    if (IsHeadless())
        foreground_ = false;
}

bool MainWindow::SetIcon(const uint32_t* argb, int width, int height)
{
    if (!window_ || !argb || width <= 0 || height <= 0)
        return false;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32, width * 4,
                                                           SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return false;
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
    return true;
}

void MainWindow::Minimize()
{
    if (window_)
        SDL_MinimizeWindow(window_);
}

void MainWindow::Restore()
{
    if (window_)
        SDL_RestoreWindow(window_);
}

bool MainWindow::IsMinimized() const
{
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
}

void MainWindow::Raise()
{
    if (!window_)
        return;
    SDL_RaiseWindow(window_);
    if (IsHeadless() && IsVisible())
        foreground_ = true;
}

bool MainWindow::IsVisible() const
{
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
}

bool MainWindow::IsForeground() const
{
    if (!window_)
        return false;
    if (IsHeadless())
        return foreground_;
    return foreground_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

WindowRect MainWindow::GetPlacement() const
{
    WindowRect rect;
    if (!window_)
        return rect;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &w, &h);
    rect = {x, y, x + w, y + h};
    return rect;
}

void MainWindow::SetPlacement(const WindowRect& rect)
{
    if (!window_ || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    SDL_SetWindowSize(window_, rect.Width(), rect.Height());
    SDL_SetWindowPosition(window_, rect.left, rect.top);
}

void MainWindow::GetClientSize(int& width, int& height) const
{
    width = height = 0;
    if (window_)
        SDL_GetWindowSize(window_, &width, &height);
}

bool MainWindow::SetFullscreen(bool fullscreen)
{
    if (!window_)
        return false;
    if (SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        PlatformLog("Could not switch the window mode: %s\n", SDL_GetError());
        return false;
    }
    fullscreen_ = fullscreen;
    return true;
}

PumpResult MainWindow::PumpEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            g_quitRequested.store(true);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != id_)
                break;
            switch (event.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                foreground_ = true;
                if (handlers_.onFocusChanged)
                    handlers_.onFocusChanged(true);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                foreground_ = false;
                if (handlers_.onFocusChanged)
                    handlers_.onFocusChanged(false);
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                if (handlers_.onResized)
                    handlers_.onResized(event.window.data1, event.window.data2);
                break;
            case SDL_WINDOWEVENT_CLOSE:
                g_quitRequested.store(true);
                break;
            default:
                break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
        case SDL_CONTROLLERAXISMOTION:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
            if (handlers_.onInputEvent)
                handlers_.onInputEvent(event);
            break;
        default:
            break;
        }
    }
    return ConsumeSignal() ? PumpResult::Quit : PumpResult::Idle;
}

void ShowSystemMessageBox(const std::string& caption, const std::string& text, const MainWindow* owner)
{
    PlatformLog("%s: %s\n", caption.c_str(), text.c_str());
    if (IsHeadless()) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(),
                             owner ? owner->Handle() : nullptr);
}

} // namespace platform
