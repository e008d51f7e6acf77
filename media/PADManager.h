#pragma once
// The pad manager: the game pad's buttons (codes 48 to 58) and directions (left 0, right 1,
// up 4, down 5), their bindings, and the dispatch of the pad's events each frame.

#include "media/InputDevice.h"
#include "media/InputDeviceLink.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {
class PadDevice;
struct DeviceEvent;
}

class PADManager : public IInputDevice {
public:
    static constexpr int kCodeCount = 80;
    static constexpr int kBufferSize = 32;
    static constexpr int kLeft = 0, kRight = 1, kUp = 4, kDown = 5;
    static constexpr int kFirstButton = 48;

    PADManager();
    ~PADManager() override;
    PADManager(const PADManager&) = delete;
    PADManager& operator=(const PADManager&) = delete;

    // Opens the first game pad; having none is not an error (one plugged in later attaches).
    void Init(platform::InputSystem& system) override;
    void Shutdown();
    int WaitForEvent() override;
    bool IsButtonDown(int code) const override;
    int BindButton(int code, ActionHandler handler, int repeatDelay = 300, int repeatInterval = 50) override;
    bool Acquire() override;
    const ButtonBinding* Binding(int code) const override;
    int PressRecordIndex(int code) const override;
    void ClearBindings();
    bool IsAttached() const;

    // Once a frame, in the foreground: the pad's state and buffered events.
    void Update();
    // Button events go to the handler bound to the button; axis changes become presses and
    // releases of the directions, dispatched as button events.
    void DispatchEvents();

    // What the "pad1", "pad4" and "pad5" actions do (the GUI's pad handling).
    using PadActionHook = std::function<void(int action, int value, uint32_t time)>;
    void SetPadActionHook(PadActionHook hook) { padActionHook_ = std::move(hook); }
    void RunPadAction(int action, int value, uint32_t time);

private:
    bool ReadState();
    void ReadBufferedData();
    void MoveAxis(int negativeCode, int value);

    InputDeviceLink link_;
    platform::PadDevice* device_ = nullptr; // owned by link_
    int32_t x_ = 0, y_ = 0;
    uint8_t buttons_[32] = {};
    // Directions as dispatched (the axis as the dispatcher last saw it).
    int dispatchedX_ = 0, dispatchedY_ = 0;
    ButtonBinding bindings_[kCodeCount];
    PadActionHook padActionHook_;
};

// The one pad manager.
extern PADManager padManager;
