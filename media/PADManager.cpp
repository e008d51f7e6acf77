#include "media/PADManager.h"

#include "app/Log.h"
#include "media/ButtonPresses.h"
#include "media/InputClock.h"
#include "media/KBManager.h"
#include "platform/input/InputSystem.h"
#include "platform/input/PadDevice.h"

#include <algorithm>

PADManager padManager;

namespace {


int Direction(int32_t axis)
{
    return axis < 0 ? -1 : (axis > 0 ? 1 : 0);
}

} // namespace

PADManager::PADManager() : link_(kBufferSize) {}

PADManager::~PADManager() = default;

void PADManager::Init(platform::InputSystem& system)
{
    std::unique_ptr<platform::PadDevice> pad = system.CreatePad();
    device_ = pad.get();
    if (!device_ || !device_->IsAttached())
        WriteLog("No game pad found\n");
    link_.Attach(std::move(pad));
}

void PADManager::Shutdown()
{
    link_.Detach();
    device_ = nullptr;
}

int PADManager::WaitForEvent()
{
    return link_.WaitForEvent();
}

bool PADManager::IsAttached() const
{
    return device_ && device_->IsAttached();
}

bool PADManager::IsButtonDown(int code) const
{
    switch (code) {
    case kLeft: return x_ < 0;
    case kRight: return x_ > 0;
    case kUp: return y_ < 0;
    case kDown: return y_ > 0;
    default: break;
    }
    if (code < kFirstButton || code >= kFirstButton + 32)
        return false;
    return (buttons_[code - kFirstButton] & 0x80) != 0;
}

int PADManager::BindButton(int code, ActionHandler handler, int repeatDelay, int repeatInterval)
{
    return BindInTable(bindings_, kCodeCount, code, handler, repeatDelay, repeatInterval);
}

bool PADManager::Acquire()
{
    return link_.Acquire();
}

const ButtonBinding* PADManager::Binding(int code) const
{
    return code >= 0 && code < kCodeCount ? &bindings_[code] : nullptr;
}

int PADManager::PressRecordIndex(int code) const
{
    return code >= 0 && code < kCodeCount ? ButtonPresses::kPadBase + code : -1;
}

void PADManager::ClearBindings()
{
    std::fill(std::begin(bindings_), std::end(bindings_), ButtonBinding{});
}

void PADManager::Update()
{
    if (!ReadState())
        return;
    ReadBufferedData();
}

bool PADManager::ReadState()
{
    if (!device_ || !device_->IsAttached())
        return false;
    platform::PadState state;
    if (link_.ReadState([&] { return device_->GetState(state); })) {
        x_ = state.x;
        y_ = state.y;
        std::copy(std::begin(state.buttons), std::end(state.buttons), buttons_);
        return true;
    }
    x_ = y_ = 0;
    std::fill(std::begin(buttons_), std::end(buttons_), 0);
    return false;
}

void PADManager::ReadBufferedData()
{
    link_.ReadBuffered();
}

void PADManager::MoveAxis(int negativeCode, int value)
{
    int& dispatched = negativeCode == kLeft ? dispatchedX_ : dispatchedY_;
    const int direction = Direction(value);
    if (direction == dispatched)
        return;
    const bool shift = kbManager.IsShiftDown();
    if (dispatched != 0)
        DispatchButtonEvent(0, dispatched < 0 ? negativeCode : negativeCode + 1, shift, *this);
    dispatched = direction;
    if (direction != 0)
        DispatchButtonEvent(0x80, direction < 0 ? negativeCode : negativeCode + 1, shift, *this);
}

void PADManager::DispatchEvents()
{
    const uint32_t now = InputClockNow();
    for (int i = 0; i < link_.WaitingCount(); ++i) {
        const platform::DeviceEvent& event = link_.Waiting(i);
        const int code = static_cast<int>(event.code);
        const int value = static_cast<int>(event.value);
        if (code >= kFirstButton && code < kCodeCount) {
            if (const ActionHandler handler = bindings_[code].handler)
                handler(value, now);
        } else if (code == static_cast<int>(platform::kPadX)) {
            MoveAxis(kLeft, value);
        } else if (code == static_cast<int>(platform::kPadY)) {
            MoveAxis(kUp, value);
        }
    }
    link_.ClearWaiting();
}

void PADManager::RunPadAction(int action, int value, uint32_t time)
{
    if (padActionHook_)
        padActionHook_(action, value, time);
}
