#pragma once
// What the keyboard, mouse and pad managers share on the device side: the device itself,
// acquiring it, reading its state with a bounded number of re-acquires after a lost input,
// and the events waiting to be taken this frame.
#include "media/InputDevice.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {
class BufferedDevice;
struct DeviceEvent;
enum class InputResult;
} // namespace platform

class InputDeviceLink {
public:
    explicit InputDeviceLink(int bufferSize);
    ~InputDeviceLink();
    InputDeviceLink(const InputDeviceLink&) = delete;
    InputDeviceLink& operator=(const InputDeviceLink&) = delete;

    // Takes the device (null is allowed), gives it the buffer size and acquires it.
    void Attach(std::unique_ptr<platform::BufferedDevice> device);
    // Unacquires and drops the device and the waiting events.
    void Detach();
    bool HasDevice() const { return device_ != nullptr; }
    bool IsForeground() const;

    bool Acquire();
    // 0 when an event arrived within 15 s, 1 when not, -1 without a device.
    int WaitForEvent();
    // Runs read until it answers Ok. After a lost or unacquired input it acquires again, at
    // most 3 times; onFirstLoss runs before the first of those. False when it gave up.
    bool ReadState(const std::function<platform::InputResult()>& read,
                   const std::function<void()>& onFirstLoss = {});
    // Moves buffered device events behind the waiting ones (a lost input acquires again).
    void ReadBuffered();

    int WaitingCount() const { return waiting_; }
    const platform::DeviceEvent& Waiting(int index) const;
    // Appends the waiting events as the frame's input events of the kind (none when the
    // window is not in the foreground) and empties the waiting list.
    void CollectInto(std::vector<InputEvent>& list, uint32_t kind);
    void ClearWaiting() { waiting_ = 0; }

private:
    int bufferSize_;
    int waiting_ = 0;
    std::unique_ptr<platform::BufferedDevice> device_;
    std::unique_ptr<platform::DeviceEvent[]> buffer_;
};
