#pragma once
// The input system: receives the main window's raw input events and hands each one to the
// keyboard, mouse and pad devices made from it, in arrival order.
//
// It stands where the operating system's input service would: devices are created from it
// and attach to it; the window's event pump feeds it through `Feed`. Tests feed it the same
// way (or push SDL events through the window's pump). Devices must not outlive it in use;
// when it is destroyed first, they are detached and report NoDevice.

#include "platform/window/MainWindow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

union SDL_Event;

namespace platform {

class BufferedDevice;
class KeyboardDevice;
class MouseDevice;
class PadDevice;

class InputSystem {
public:
    InputSystem();
    ~InputSystem();
    InputSystem(const InputSystem&) = delete;
    InputSystem& operator=(const InputSystem&) = delete;

    // Connects to the main window: the foreground test reads the window, and the handlers'
    // input and focus callbacks feed this system (an existing focus callback still runs).
    void AttachWindow(MainWindow& window, MainWindow::Handlers& handlers);

    // Replaces the foreground test (tests; by default everything counts as foreground).
    void SetForegroundTest(std::function<bool()> isForeground);
    bool IsForeground() const;

    // One raw input event from the window's pump.
    void Feed(const SDL_Event& event);
    // Focus changes of the main window: losing it makes every device lose its input.
    void OnFocusChanged(bool foreground);

    std::unique_ptr<KeyboardDevice> CreateKeyboard();
    std::unique_ptr<MouseDevice> CreateMouse();
    // Opens the first game controller present, if any; later ones attach when plugged in.
    std::unique_ptr<PadDevice> CreatePad();

    // Sequence numbers are shared by all devices so that events of different devices order.
    uint32_t NextSequence() { return ++sequence_; }
    // Milliseconds of the platform's event clock (the stamps of the events).
    static uint32_t Ticks();

    MainWindow* Window() const { return window_; }

private:
    friend class BufferedDevice;
    void Register(BufferedDevice* device);
    void Unregister(BufferedDevice* device);

    std::vector<BufferedDevice*> devices_; // in registration order
    std::function<bool()> isForeground_;
    MainWindow* window_ = nullptr;
    uint32_t sequence_ = 0;
};

} // namespace platform
