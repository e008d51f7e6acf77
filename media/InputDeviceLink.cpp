#include "media/InputDeviceLink.h"

#include "platform/input/BufferedDevice.h"

namespace {

// A lost device is acquired again at most this many times per frame.
constexpr int kReacquireAttempts = 3;

} // namespace

InputDeviceLink::InputDeviceLink(int bufferSize)
    : bufferSize_(bufferSize), buffer_(std::make_unique<platform::DeviceEvent[]>(size_t(bufferSize)))
{
}

InputDeviceLink::~InputDeviceLink() = default;

void InputDeviceLink::Attach(std::unique_ptr<platform::BufferedDevice> device)
{
    device_ = std::move(device);
    waiting_ = 0;
    if (!device_)
        return;
    device_->SetBufferSize(size_t(bufferSize_));
    Acquire();
}

void InputDeviceLink::Detach()
{
    if (device_)
        device_->Unacquire();
    device_.reset();
    waiting_ = 0;
}

bool InputDeviceLink::IsForeground() const
{
    return device_ && device_->IsForeground();
}

bool InputDeviceLink::Acquire()
{
    return device_ && platform::Succeeded(device_->Acquire());
}

int InputDeviceLink::WaitForEvent()
{
    if (!device_)
        return -1;
    return device_->WaitForEvent(15000) ? 0 : 1;
}

bool InputDeviceLink::ReadState(const std::function<platform::InputResult()>& read,
                                const std::function<void()>& onFirstLoss)
{
    if (!device_)
        return false;
    for (int attempt = 0; attempt <= kReacquireAttempts; ++attempt) {
        const platform::InputResult result = read();
        if (result == platform::InputResult::Ok)
            return true;
        if (result != platform::InputResult::InputLost && result != platform::InputResult::NotAcquired)
            break;
        if (attempt == 0 && onFirstLoss)
            onFirstLoss();
        if (!Acquire())
            break;
    }
    return false;
}

void InputDeviceLink::ReadBuffered()
{
    if (!device_)
        return;
    int count = bufferSize_ - waiting_;
    if (count <= 0)
        return;
    const platform::InputResult result = device_->GetData(buffer_.get() + waiting_, count);
    if (platform::Succeeded(result))
        waiting_ += count;
    else if (result == platform::InputResult::InputLost)
        Acquire();
}

const platform::DeviceEvent& InputDeviceLink::Waiting(int index) const
{
    return buffer_[size_t(index)];
}

void InputDeviceLink::CollectInto(std::vector<InputEvent>& list, uint32_t kind)
{
    const bool foreground = IsForeground();
    for (int i = 0; foreground && i < waiting_; ++i) {
        const platform::DeviceEvent& event = buffer_[size_t(i)];
        InputEvent copy;
        copy.code = static_cast<int32_t>(event.code);
        copy.value = static_cast<int32_t>(event.value);
        copy.time = event.timeStamp;
        copy.sequence = event.sequence;
        copy.kind = kind;
        list.push_back(copy);
    }
    waiting_ = 0;
}
