#include "media/KBManager.h"

#include "app/GameException.h"
#include "media/ButtonPresses.h"
#include "media/InputClock.h"
#include "media/KeyTables.h"
#include "platform/input/InputSystem.h"
#include "platform/input/KeyboardDevice.h"

#include <algorithm>
#include <cstring>

KBManager kbManager;

KBManager::KBManager() : link_(kBufferSize) {}

KBManager::~KBManager() = default;

void KBManager::Init(platform::InputSystem& system)
{
    std::unique_ptr<platform::KeyboardDevice> keyboard = system.CreateKeyboard();
    if (!keyboard)
        throw GameException::Format("KBManager:: Init() %s", "Could not get keyboard!\n");
    device_ = keyboard.get();
    link_.Attach(std::move(keyboard));
}

void KBManager::Shutdown()
{
    link_.Detach();
    device_ = nullptr;
}

int KBManager::WaitForEvent()
{
    return link_.WaitForEvent();
}

bool KBManager::IsButtonDown(int code) const
{
    return (KeyState(code) & 0x80) != 0;
}

int KBManager::BindButton(int code, ActionHandler handler, int repeatDelay, int repeatInterval)
{
    return BindInTable(bindings_, kKeyCount, code, handler, repeatDelay, repeatInterval);
}

bool KBManager::Acquire()
{
    return link_.Acquire();
}

const ButtonBinding* KBManager::Binding(int code) const
{
    return code >= 0 && code < kKeyCount ? &bindings_[code] : nullptr;
}

int KBManager::PressRecordIndex(int code) const
{
    return code >= 0 && code < kKeyCount ? code : -1;
}

uint8_t KBManager::KeyState(int code) const
{
    return code >= 0 && code < kKeyCount ? keyState_[code] : 0;
}

bool KBManager::IsBoundKeyDown(const std::string& keyName) const
{
    const int code = KeyCodeFromName(keyName);
    return code != 0 && IsKeyDown(code);
}

bool KBManager::IsShiftDown() const
{
    return IsKeyDown(42) || IsKeyDown(54);
}

bool KBManager::IsCtrlDown() const
{
    return IsKeyDown(29) || IsKeyDown(157);
}

bool KBManager::IsAltDown() const
{
    return IsKeyDown(56) || IsKeyDown(184);
}

void KBManager::ClearBindings()
{
    std::fill(std::begin(bindings_), std::end(bindings_), ButtonBinding{});
}

void KBManager::Update()
{
    if (recorder_.Mode() == InputMode::Playback) {
        recorder_.PlayUntil(InputClockNow(), [this](const RecordedInput& record) {
            if (record.kind != 1 || record.code < 0 || record.code >= kKeyCount)
                return;
            keyState_[record.code] = static_cast<uint8_t>(record.value);
            DispatchButtonEvent(record.value, record.code, IsShiftDown(), *this);
        });
    } else if (!ReadKeyState()) {
        return;
    }
    ReadBufferedData();
}

bool KBManager::ReadKeyState()
{
    if (device_ && link_.ReadState([this] { return device_->GetState(keyState_); }, [this] { ReleaseHeldKeys(); }))
        return true;
    std::memset(keyState_, 0, sizeof keyState_);
    return false;
}

void KBManager::ReadBufferedData()
{
    link_.ReadBuffered();
}

void KBManager::ReleaseHeldKeys()
{
    // The releases of keys held while the focus left never arrive: end them here, so that
    // nothing stays down and repeats in the background.
    const std::vector<int> pressed = buttonPresses.Pressed();
    for (const int index : pressed)
        if (index < kKeyCount)
            DispatchButtonEvent(0, index, false, *this);
}

void KBManager::CollectEvents(std::vector<InputEvent>& list)
{
    link_.CollectInto(list, kInputKeyboard);
}

void KBManager::TranslateKeyboardEvent(const InputEvent& event)
{
    int code = event.code;
    if (device_ && code >= 0 && code < kKeyCount)
        code = static_cast<int>(device_->ToUsLayout(static_cast<uint32_t>(code)));
    recorder_.Add(1, code, event.value, InputClockNow());
    DispatchButtonEvent(event.value, code, IsShiftDown(), *this);
}
