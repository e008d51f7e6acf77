#pragma once
// The game's one main window on SDL2, its event pump and the process-wide quit request.
//
// Headless runs use SDL's "offscreen" video driver; every call below works there too.
// SDL headers stay out of this header: the input layer receives raw SDL events through
// the hand-off callback and includes SDL itself.

#include <cstdint>
#include <functional>
#include <string>

union SDL_Event;
struct SDL_Window;

namespace platform {

// Outer placement of a window in desktop pixels (left/top inclusive, right/bottom exclusive).
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

enum class PumpResult { Idle, Quit };

class MainWindow {
public:
    struct Handlers {
        std::function<void(bool foreground)> onFocusChanged;
        std::function<void(int width, int height)> onResized;
        // Keyboard, mouse, text and controller events go here, in arrival order.
        std::function<void(const SDL_Event&)> onInputEvent;
    };

    MainWindow() = default;
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden at the given placement. Returns false (and logs) on failure.
    bool Create(const std::string& title, const WindowRect& placement);
    void Destroy();
    bool IsCreated() const { return window_ != nullptr; }

    void Show();
    void Hide();
    // The window's icon from 32-bit ARGB pixels (rows of `width`); false when refused.
    bool SetIcon(const uint32_t* argb, int width, int height);
    void Raise();
    // Iconifies the window, and brings an iconified window back.
    void Minimize();
    void Restore();
    bool IsMinimized() const;
    bool IsVisible() const;
    // True while the window has input focus (the Windows "foreground window").
    bool IsForeground() const;

    WindowRect GetPlacement() const;
    void SetPlacement(const WindowRect& rect);
    // Client area size in pixels.
    void GetClientSize(int& width, int& height) const;

    // Switches between a window and full screen (the desktop's mode).
    bool SetFullscreen(bool fullscreen);
    bool IsFullscreen() const { return fullscreen_; }

    void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

    // Dispatches every waiting event. Returns Quit once a quit was requested.
    PumpResult PumpEvents();

    SDL_Window* Handle() const { return window_; }
    unsigned Id() const { return id_; }

private:
    SDL_Window* window_ = nullptr;
    unsigned id_ = 0;
    bool fullscreen_ = false;
    bool foreground_ = false;
    Handlers handlers_;
};

// Starts SDL's video and event subsystems once per process (idempotent, thread-safe).
bool InitVideo();
// True when windows cannot be seen by anyone (offscreen or dummy driver, or no video).
bool IsHeadless();

// Shows or hides the system's mouse pointer over our windows (the game draws its own).
void ShowSystemCursor(bool show);

// Asks the main loop to end. Safe from any thread; the next pump returns Quit.
void RequestQuit();
bool QuitRequested();
// Clears a pending request (tests and restarts).
void ClearQuitRequest();
// SIGINT and SIGTERM post the quit request.
void InstallQuitSignalHandlers();

// Shows a message box with a caption and a text. Without a display the text goes to
// stderr and the log instead. `owner` may be null.
void ShowSystemMessageBox(const std::string& caption, const std::string& text,
                          const MainWindow* owner = nullptr);

} // namespace platform
