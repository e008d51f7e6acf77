#pragma once
// The acquire protocol and event buffer common to the keyboard, mouse and pad devices.
//
// A device buffers events only while acquired. When the main window loses the foreground
// the device loses its input: its buffer is emptied and the next read answers InputLost
// until it is acquired again, which succeeds only in the foreground.

#include "platform/input/DeviceEvent.h"

#include <cstddef>
#include <condition_variable>
#include <deque>
#include <mutex>

union SDL_Event;

namespace platform {

class InputSystem;

class BufferedDevice {
public:
    BufferedDevice(const BufferedDevice&) = delete;
    BufferedDevice& operator=(const BufferedDevice&) = delete;
    virtual ~BufferedDevice();

    InputResult Acquire();
    // True while the system that feeds this device says the main window is in front.
    bool IsForeground() const;
    // Blocks until an event was buffered since the last wait, or the time is up.
    // Returns true when an event arrived. Events come from the feeding thread.
    bool WaitForEvent(uint32_t timeoutMs);
    void Unacquire();
    bool IsAcquired() const { return acquired_; }

    // Number of events the buffer holds before it drops new ones (default 32).
    void SetBufferSize(std::size_t size) { capacity_ = size == 0 ? 1 : size; }
    std::size_t BufferSize() const { return capacity_; }

    // Moves up to `count` buffered events into `out`, oldest first; `count` becomes the
    // number moved.
    InputResult GetData(DeviceEvent* out, int& count);

    // One raw event of this device's kind, from the input system.
    virtual void Feed(const SDL_Event& event) = 0;

protected:
    enum class Kind { Keyboard, Mouse, Pad };
    BufferedDevice(InputSystem& system, Kind kind);

    // Appends an event when acquired and in the foreground; stamps its sequence number.
    void Push(uint32_t code, uint32_t value, uint32_t timeStamp);
    // Called when the device loses its input; derived devices clear their state too.
    virtual void OnInputLost();
    bool IsLost() const { return lost_; }

    // The system that feeds this device; null once the system is gone.
    InputSystem* system_;

private:
    friend class InputSystem;
    void LoseInput();

    Kind kind_;
    std::deque<DeviceEvent> buffer_;
    std::size_t capacity_ = 32;
    bool acquired_ = false;
    bool lost_ = false;
    bool overflowed_ = false;
    std::mutex signalMutex_;
    std::condition_variable signal_;
    bool signalled_ = false;
};

} // namespace platform
