#pragma once
// The keyboard manager: the state of all 256 keys, per-key action bindings with their own
// auto-repeat timing, the frame's keyboard events, the US-layout translation of keys and
// the recording and playback of keyboard input.

#include "media/InputDevice.h"
#include "media/InputDeviceLink.h"
#include "media/InputRecorder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class KeyboardDevice;
struct DeviceEvent;
}

class KBManager : public IInputDevice {
public:
    static constexpr int kKeyCount = 256;
    static constexpr int kBufferSize = 32;

    KBManager();
    ~KBManager() override;
    KBManager(const KBManager&) = delete;
    KBManager& operator=(const KBManager&) = delete;

    void Init(platform::InputSystem& system) override;
    // Releases the device (before the input system goes away).
    void Shutdown();
    int WaitForEvent() override;
    bool IsButtonDown(int code) const override;
    int BindButton(int code, ActionHandler handler, int repeatDelay = 300, int repeatInterval = 50) override;
    bool Acquire() override;
    const ButtonBinding* Binding(int code) const override;
    int PressRecordIndex(int code) const override;

    // The key-state byte of a code (bit 7 set = down); 0 for codes out of range.
    uint8_t KeyState(int code) const;
    bool IsKeyDown(int code) const { return KeyState(code) != 0; }
    // The state of the keyboard key named in the key-name table ("A", "F1" ...).
    bool IsBoundKeyDown(const std::string& keyName) const;
    bool IsShiftDown() const;
    bool IsCtrlDown() const;
    bool IsAltDown() const;

    // Every key back to no handler, repeat on, 300 ms delay, 50 ms interval.
    void ClearBindings();

    // Once a frame: playback of recorded input, the key state, then the buffered events.
    void Update();
    // Moves the waiting events into the frame's list (dropped when not in the foreground).
    void CollectEvents(std::vector<InputEvent>& list);
    // Turns the event's key into the US-layout key and dispatches it.
    void TranslateKeyboardEvent(const InputEvent& event);

    // Recording (kind 1 records of the dispatched keys) and playback.
    InputMode Mode() const { return recorder_.Mode(); }
    void SetMode(InputMode mode) { recorder_.SetMode(mode); }
    InputRecorder& Recorder() { return recorder_; }

    int WaitingEvents() const { return link_.WaitingCount(); }

private:
    bool ReadKeyState();
    void ReadBufferedData();
    void ReleaseHeldKeys();

    InputDeviceLink link_;
    platform::KeyboardDevice* device_ = nullptr; // owned by link_
    uint8_t keyState_[kKeyCount] = {};
    ButtonBinding bindings_[kKeyCount];
    InputRecorder recorder_;
};

// The one keyboard manager.
extern KBManager kbManager;
