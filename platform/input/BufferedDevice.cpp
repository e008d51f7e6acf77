#include "platform/input/BufferedDevice.h"

#include "platform/input/InputSystem.h"

#include <chrono>

namespace platform {

BufferedDevice::BufferedDevice(InputSystem& system, Kind kind) : system_(&system), kind_(kind)
{
    system.Register(this);
}

BufferedDevice::~BufferedDevice()
{
    if (system_)
        system_->Unregister(this);
}

InputResult BufferedDevice::Acquire()
{
    if (!system_)
        return InputResult::NoDevice;
    if (!system_->IsForeground())
        return InputResult::OtherAppHasPriority;
    if (acquired_)
        return InputResult::AlreadyAcquired;
    acquired_ = true;
    lost_ = false;
    return InputResult::Ok;
}

bool BufferedDevice::IsForeground() const
{
    return system_ && system_->IsForeground();
}

bool BufferedDevice::WaitForEvent(uint32_t timeoutMs)
{
    std::unique_lock lock(signalMutex_);
    const bool arrived = signal_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; });
    signalled_ = false; // auto-reset
    return arrived;
}

void BufferedDevice::Unacquire()
{
    acquired_ = false;
    buffer_.clear();
}

InputResult BufferedDevice::GetData(DeviceEvent* out, int& count)
{
    const int room = count;
    count = 0;
    if (!system_)
        return InputResult::NoDevice;
    if (lost_)
        return InputResult::InputLost;
    if (!acquired_)
        return InputResult::NotAcquired;
    while (count < room && !buffer_.empty()) {
        out[count++] = buffer_.front();
        buffer_.pop_front();
    }
    if (overflowed_) {
        overflowed_ = false;
        return InputResult::BufferOverflow;
    }
    return InputResult::Ok;
}

void BufferedDevice::Push(uint32_t code, uint32_t value, uint32_t timeStamp)
{
    if (!system_ || !acquired_ || lost_ || !system_->IsForeground())
        return;
    if (buffer_.size() >= capacity_) {
        overflowed_ = true;
        return;
    }
    DeviceEvent event;
    event.code = code;
    event.value = value;
    event.timeStamp = timeStamp;
    event.sequence = system_->NextSequence();
    buffer_.push_back(event);
    {
        std::lock_guard lock(signalMutex_);
        signalled_ = true;
    }
    signal_.notify_all();
}

void BufferedDevice::OnInputLost() {}

void BufferedDevice::LoseInput()
{
    if (!acquired_)
        return;
    acquired_ = false;
    lost_ = true;
    buffer_.clear();
    OnInputLost();
}

} // namespace platform
