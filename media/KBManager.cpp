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

namespace {

// A lost device is acquired again at most this many times per frame.
constexpr int kReacquireAttempts = 3;

} // namespace

KBManager::KBManager() : buffer_(std::make_unique<platform::DeviceEvent[]>(kBufferSize)) {}

KBManager::~KBManager() = default;

void KBManager::Init(platform::InputSystem& system)
{
    device_ = system.CreateKeyboard();
    if (!device_)
        throw GameException::Format("KBManager:: Init() %s", "Could not get keyboard!\n");
    device_->SetBufferSize(kBufferSize);
    waiting_ = 0;
    Acquire();
}

void KBManager::Shutdown()
{
    if (device_)
        device_->Unacquire();
    device_.reset();
    acquired_ = false;
    waiting_ = 0;
}

int KBManager::WaitForEvent()
{
    if (!device_)
        return -1;
    return device_->WaitForEvent(15000) ? 0 : 1;
}

bool KBManager::IsButtonDown(int code) const
{
    return (KeyState(code) & 0x80) != 0;
}

int KBManager::BindButton(int code, ActionHandler handler, int repeatDelay, int repeatInterval)
{
    if (code < 0 || code >= kKeyCount)
        return kBindBadCode;
    ButtonBinding& binding = bindings_[code];
    binding.handler = handler;
    if (repeatDelay != kNoRepeat) {
        binding.repeat = true;
        binding.repeatDelay = static_cast<uint32_t>(repeatDelay);
        binding.repeatInterval = static_cast<uint32_t>(repeatInterval);
    } else {
        binding.repeat = false;
    }
    return 0;
}

bool KBManager::Acquire()
{
    if (!device_)
        return false;
    const platform::InputResult result = device_->Acquire();
    if (result == platform::InputResult::Ok || result == platform::InputResult::AlreadyAcquired)
        acquired_ = true;
    return platform::Succeeded(result);
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
    if (!device_)
        return false;
    for (int attempt = 0; attempt <= kReacquireAttempts; ++attempt) {
        const platform::InputResult result = device_->GetState(keyState_);
        if (result == platform::InputResult::Ok)
            return true;
        if (result != platform::InputResult::InputLost && result != platform::InputResult::NotAcquired)
            break;
        if (attempt == 0)
            ReleaseHeldKeys();
        if (!Acquire())
            break;
    }
    std::memset(keyState_, 0, sizeof keyState_);
    return false;
}

void KBManager::ReadBufferedData()
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
    const bool foreground = device_ && device_->IsForeground();
    for (int i = 0; i < waiting_; ++i) {
        platform::DeviceEvent& event = buffer_[i];
        if (!foreground)
            continue;
        event.appData = 0;
        InputEvent copy;
        copy.code = static_cast<int32_t>(event.code);
        copy.value = static_cast<int32_t>(event.value);
        copy.time = event.timeStamp;
        copy.sequence = event.sequence;
        copy.kind = kInputKeyboard;
        list.push_back(copy);
    }
    waiting_ = 0;
}

void KBManager::TranslateKeyboardEvent(const InputEvent& event)
{
    int code = event.code;
    if (device_ && code >= 0 && code < kKeyCount)
        code = static_cast<int>(device_->ToUsLayout(static_cast<uint32_t>(code)));
    recorder_.Add(1, code, event.value, InputClockNow());
    DispatchButtonEvent(event.value, code, IsShiftDown(), *this);
}
