#pragma once
// The mouse manager: button state, cursor position and movement, the table of handlers
// bound to mouse codes (buttons 12 to 14, wheel 8), the frame's mouse events and the
// recording and playback of mouse input.

#include "media/InputDevice.h"
#include "media/InputDeviceLink.h"
#include "media/InputRecorder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform {
class MouseDevice;
struct DeviceEvent;
}

class MSManager : public IInputDevice {
public:
    static constexpr int kCodeCount = 16;
    static constexpr int kBufferSize = 32;

    MSManager();
    ~MSManager() override;
    MSManager(const MSManager&) = delete;
    MSManager& operator=(const MSManager&) = delete;

    void Init(platform::InputSystem& system) override;
    void Shutdown();
    int WaitForEvent() override;
    // Codes 12 to 15: the buttons.
    bool IsButtonDown(int code) const override;
    int BindButton(int code, ActionHandler handler, int repeatDelay = 300, int repeatInterval = 50) override;
    bool Acquire() override;
    const ButtonBinding* Binding(int code) const override;
    int PressRecordIndex(int) const override { return -1; }
    void ClearBindings();

    // Once a frame: playback of recorded input, the state and position, the buffered events.
    void Update();
    void CollectEvents(std::vector<InputEvent>& list);
    // A mouse event of the frame's list: to the handler bound to its code, when there is one.
    void DispatchEvent(const InputEvent& event);

    // The cursor in client pixels, updated every frame.
    int X() const { return x_; }
    int Y() const { return y_; }
    void SetCursorPosition(int x, int y);
    // Movement since the last reset (a view resets it when a drag starts).
    int MovementX() const { return movedX_; }
    int MovementY() const { return movedY_; }
    void ResetMovement() { movedX_ = movedY_ = 0; }
    bool IsRightButtonDown() const { return IsButtonDown(13); }

    // Pointer routing of the GUI, used by the "leftclick", "rightclick" and "OnWheel" actions.
    struct PointerHooks {
        std::function<void(int button, int value, int x, int y, uint32_t time)> button; // 0 left, 1 right
        std::function<void(int delta, int x, int y, uint32_t time)> wheel;
    };
    void SetPointerHooks(PointerHooks hooks) { hooks_ = std::move(hooks); }
    void RouteButton(int button, int value, uint32_t time);
    void RouteWheel(int delta, uint32_t time);

    InputMode Mode() const { return recorder_.Mode(); }
    void SetMode(InputMode mode) { recorder_.SetMode(mode); }
    InputRecorder& Recorder() { return recorder_; }

private:
    bool ReadState();
    void ReadBufferedData();
    void SetButton(int code, int value);

    InputDeviceLink link_;
    platform::MouseDevice* device_ = nullptr; // owned by link_
    uint8_t buttons_[4] = {};
    int x_ = 0, y_ = 0;
    int movedX_ = 0, movedY_ = 0;
    ButtonBinding bindings_[kCodeCount];
    InputRecorder recorder_;
    PointerHooks hooks_;
};

// The one mouse manager.
extern MSManager msManager;
