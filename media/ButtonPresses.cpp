#include "media/ButtonPresses.h"

#include "media/InputClock.h"
#include "media/KBManager.h"
#include "media/PADManager.h"

#include <algorithm>

ButtonPresses buttonPresses;

void ButtonPresses::MarkDown(int index)
{
    records_[index].state = kPressDown;
    if (std::find(pressed_.begin(), pressed_.end(), index) == pressed_.end())
        pressed_.push_back(index);
}

void ButtonPresses::MarkUp(int index)
{
    records_[index].state = kPressUp;
    records_[index].target = nullptr;
    pressed_.erase(std::remove(pressed_.begin(), pressed_.end(), index), pressed_.end());
}

void ButtonPresses::Forget(const IKeyTarget* target)
{
    for (ButtonPressRecord& record : records_)
        if (record.target == target)
            record.target = nullptr;
}

void ButtonPresses::Clear()
{
    for (ButtonPressRecord& record : records_)
        record = ButtonPressRecord{};
    pressed_.clear();
}

void DispatchButtonEvent(int value, int code, bool shift, IInputDevice& device)
{
    const int index = device.PressRecordIndex(code);
    const uint32_t now = InputClockNow();
    IKeyTarget* taker = nullptr;
    bool taken = false;

    if (index >= 0) {
        ButtonPressRecord& record = buttonPresses.Record(index);
        if (value != 0) {
            buttonPresses.MarkDown(index);
        } else {
            IKeyTarget* pressTaker = record.target;
            buttonPresses.MarkUp(index);
            if (pressTaker && pressTaker->OnKey(value, code, shift, device) != 0)
                taken = true;
        }
    }
    if (!taken) {
        if (const GuiKeyRouter& router = buttonPresses.GuiRouter())
            taker = router(value, code, shift, device);
        if (!taker) {
            const ButtonBinding* binding = device.Binding(code);
            if (binding && binding->handler)
                binding->handler(value, now);
        }
    }
    if (index >= 0) {
        ButtonPressRecord& record = buttonPresses.Record(index);
        if (value != 0) {
            record.pressTime = now;
            record.lastRepeat = now;
            record.target = taker;
        }
    }
}

void RepeatHeldButtons()
{
    const uint32_t now = InputClockNow();
    const bool shift = kbManager.IsShiftDown();
    const std::vector<int> pressed = buttonPresses.Pressed(); // handlers may change the list
    for (const int index : pressed) {
        ButtonPressRecord& record = buttonPresses.Record(index);
        if (record.state == kPressUp)
            continue;
        IInputDevice& device = index < ButtonPresses::kPadBase ? static_cast<IInputDevice&>(kbManager)
                                                               : static_cast<IInputDevice&>(padManager);
        const int code = index < ButtonPresses::kPadBase ? index : index - ButtonPresses::kPadBase;
        uint32_t delay = 0;
        uint32_t interval = 0;
        if (record.target) {
            if (!record.target->WantsKeyRepeat())
                continue;
            delay = record.target->KeyRepeatDelay();
            interval = record.target->KeyRepeatInterval();
        } else {
            const ButtonBinding* binding = device.Binding(code);
            if (!binding || !binding->handler || !binding->repeat)
                continue;
            delay = binding->repeatDelay;
            interval = binding->repeatInterval;
        }
        if (now - record.pressTime <= delay || now - record.lastRepeat <= interval)
            continue;
        record.state = kPressRepeating;
        record.lastRepeat = now;
        if (record.target)
            record.target->OnKey(2, code, shift, device);
        else
            device.Binding(code)->handler(2, now);
    }
}
