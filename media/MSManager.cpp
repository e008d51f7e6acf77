#include "media/MSManager.h"

#include "app/GameException.h"
#include "media/Cursors.h"
#include "media/InputClock.h"
#include "platform/input/InputSystem.h"
#include "platform/input/MouseDevice.h"

#include <algorithm>

MSManager msManager;

namespace {

constexpr int kFirstButton = 12;

} // namespace

MSManager::MSManager() : link_(kBufferSize) {}

MSManager::~MSManager() = default;

void MSManager::Init(platform::InputSystem& system)
{
    std::unique_ptr<platform::MouseDevice> mouse = system.CreateMouse();
    if (!mouse)
        throw GameException::Format("MSManager:: Init() %s", "Could not get mouse!\n");
    device_ = mouse.get();
    link_.Attach(std::move(mouse));
}

void MSManager::Shutdown()
{
    link_.Detach();
    device_ = nullptr;
}

int MSManager::WaitForEvent()
{
    return link_.WaitForEvent();
}

bool MSManager::IsButtonDown(int code) const
{
    if (code < kFirstButton || code >= kFirstButton + 4)
        return false;
    return (buttons_[code - kFirstButton] & 0x80) != 0;
}

int MSManager::BindButton(int code, ActionHandler handler, int repeatDelay, int repeatInterval)
{
    return BindInTable(bindings_, kCodeCount, code, handler, repeatDelay, repeatInterval);
}

bool MSManager::Acquire()
{
    return link_.Acquire();
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
    platform::MouseState state;
    if (link_.ReadState([&] { return device_->GetState(state); })) {
        std::copy(std::begin(state.buttons), std::end(state.buttons), buttons_);
        movedX_ += state.dx;
        movedY_ += state.dy;
        return true;
    }
    std::fill(std::begin(buttons_), std::end(buttons_), 0);
    return false;
}

void MSManager::ReadBufferedData()
{
    link_.ReadBuffered();
}

void MSManager::CollectEvents(std::vector<InputEvent>& list)
{
    link_.CollectInto(list, kInputMouse);
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
