#include "media/MSManager.h"

#include "app/GameException.h"
#include "media/Cursors.h"
#include "media/InputClock.h"
#include "platform/input/InputSystem.h"
#include "platform/input/MouseDevice.h"

#include <algorithm>

MSManager msManager;

namespace {

constexpr int kReacquireAttempts = 3;
constexpr int kFirstButton = 12;

} // namespace

MSManager::MSManager() : buffer_(std::make_unique<platform::DeviceEvent[]>(kBufferSize)) {}

MSManager::~MSManager() = default;

void MSManager::Init(platform::InputSystem& system)
{
    device_ = system.CreateMouse();
    if (!device_)
        throw GameException::Format("MSManager:: Init() %s", "Could not get mouse!\n");
    device_->SetBufferSize(kBufferSize);
    waiting_ = 0;
    Acquire();
}

void MSManager::Shutdown()
{
    if (device_)
        device_->Unacquire();
    device_.reset();
    acquired_ = false;
    waiting_ = 0;
}

int MSManager::WaitForEvent()
{
    if (!device_)
        return -1;
    return device_->WaitForEvent(15000) ? 0 : 1;
}

bool MSManager::IsButtonDown(int code) const
{
    if (code < kFirstButton || code >= kFirstButton + 4)
        return false;
    return (buttons_[code - kFirstButton] & 0x80) != 0;
}

int MSManager::BindButton(int code, ActionHandler handler, int repeatDelay, int repeatInterval)
{
    if (code < 0 || code >= kCodeCount)
        return kBindBadCode;
    ButtonBinding& binding = bindings_[code];
    binding.handler = handler;
    binding.repeat = repeatDelay != kNoRepeat;
    if (binding.repeat) {
        binding.repeatDelay = static_cast<uint32_t>(repeatDelay);
        binding.repeatInterval = static_cast<uint32_t>(repeatInterval);
    }
    return 0;
}

bool MSManager::Acquire()
{
    if (!device_)
        return false;
    const platform::InputResult result = device_->Acquire();
    if (result == platform::InputResult::Ok || result == platform::InputResult::AlreadyAcquired)
        acquired_ = true;
    return platform::Succeeded(result);
}

const ButtonBinding* MSManager::Binding(int code) const
{
    return code >= 0 && code < kCodeCount ? &bindings_[code] : nullptr;
}

void MSManager::ClearBindings()
{
    std::fill(std::begin(bindings_), std::end(bindings_), ButtonBinding{});
}

void MSManager::SetCursorPosition(int x, int y)
{
    x_ = x;
    y_ = y;
    Cursors::SetCursorMoved(true);
    if (device_)
        device_->SetCursorPosition(x, y);
}

void MSManager::SetButton(int code, int value)
{
    if (code >= kFirstButton && code < kFirstButton + 4)
        buttons_[code - kFirstButton] = static_cast<uint8_t>(value);
}

void MSManager::Update()
{
    if (recorder_.Mode() == InputMode::Playback) {
        recorder_.PlayUntil(InputClockNow(), [this](const RecordedInput& record) {
            if (record.kind == 2) {
                x_ = record.code;
                y_ = record.value;
            } else if (record.kind == 1 && record.code >= 0 && record.code < kCodeCount) {
                SetButton(record.code, record.value);
                if (const ActionHandler handler = bindings_[record.code].handler)
                    handler(record.value, InputClockNow());
            }
        });
    } else {
        const int oldX = x_, oldY = y_;
        if (!ReadState())
            return;
        if (x_ != oldX || y_ != oldY)
            recorder_.Add(2, x_, y_, InputClockNow());
    }
    ReadBufferedData();
}

bool MSManager::ReadState()
{
    if (!device_)
        return false;
    x_ = device_->CursorX();
    y_ = device_->CursorY();
    for (int attempt = 0; attempt <= kReacquireAttempts; ++attempt) {
        platform::MouseState state;
        const platform::InputResult result = device_->GetState(state);
        if (result == platform::InputResult::Ok) {
            std::copy(std::begin(state.buttons), std::end(state.buttons), buttons_);
            movedX_ += state.dx;
            movedY_ += state.dy;
            return true;
        }
        if (result != platform::InputResult::InputLost && result != platform::InputResult::NotAcquired)
            break;
        if (!Acquire())
            break;
    }
    std::fill(std::begin(buttons_), std::end(buttons_), 0);
    return false;
}

void MSManager::ReadBufferedData()
{
    if (!device_)
        return;
    int count = kBufferSize - waiting_;
    if (count <= 0)
        return;
    const platform::InputResult result = device_->GetData(buffer_.get() + waiting_, count);
    if (platform::Succeeded(result))
        waiting_ += count;
    else if (result == platform::InputResult::InputLost)
        Acquire();
}

void MSManager::CollectEvents(std::vector<InputEvent>& list)
{
    const bool foreground = device_ && device_->IsForeground();
    for (int i = 0; foreground && i < waiting_; ++i) {
        const platform::DeviceEvent& event = buffer_[i];
        InputEvent copy;
        copy.code = static_cast<int32_t>(event.code);
        copy.value = static_cast<int32_t>(event.value);
        copy.time = event.timeStamp;
        copy.sequence = event.sequence;
        copy.kind = kInputMouse;
        list.push_back(copy);
    }
    waiting_ = 0;
}

void MSManager::DispatchEvent(const InputEvent& event)
{
    if (event.code < 0 || event.code >= kCodeCount)
        return;
    recorder_.Add(1, event.code, event.value, InputClockNow());
    if (const ActionHandler handler = bindings_[event.code].handler)
        handler(event.value, InputClockNow());
}

void MSManager::RouteButton(int button, int value, uint32_t time)
{
    if (hooks_.button)
        hooks_.button(button, value, x_, y_, time);
}

void MSManager::RouteWheel(int delta, uint32_t time)
{
    if (hooks_.wheel)
        hooks_.wheel(delta, x_, y_, time);
}
