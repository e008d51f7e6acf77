#include "platform/input/InputSystem.h"

#include "platform/input/KeyboardDevice.h"
#include "platform/input/MouseDevice.h"
#include "platform/input/PadDevice.h"

#include <SDL.h>

#include <algorithm>

namespace platform {

namespace {

template <typename T>
void Erase(std::vector<T*>& list, const void* item)
{
    list.erase(std::remove_if(list.begin(), list.end(), [item](T* entry) { return entry == item; }),
               list.end());
}

} // namespace

InputSystem::InputSystem() = default;

InputSystem::~InputSystem()
{
    for (BufferedDevice* device : devices_)
        device->system_ = nullptr;
}

void InputSystem::AttachWindow(MainWindow& window, MainWindow::Handlers& handlers)
{
    window_ = &window;
    isForeground_ = [&window] { return window.IsForeground(); };
    handlers.onInputEvent = [this](const SDL_Event& event) { Feed(event); };
    auto previous = std::move(handlers.onFocusChanged);
    handlers.onFocusChanged = [this, previous](bool foreground) {
        OnFocusChanged(foreground);
        if (previous)
            previous(foreground);
    };
}

void InputSystem::SetForegroundTest(std::function<bool()> isForeground)
{
    isForeground_ = std::move(isForeground);
}

bool InputSystem::IsForeground() const
{
    return !isForeground_ || isForeground_();
}

void InputSystem::Feed(const SDL_Event& event)
{
    BufferedDevice::Kind kind;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        kind = BufferedDevice::Kind::Keyboard;
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        kind = BufferedDevice::Kind::Mouse;
        break;
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        kind = BufferedDevice::Kind::Pad;
        break;
    default:
        return;
    }
    for (BufferedDevice* device : devices_)
        if (device->kind_ == kind)
            device->Feed(event);
}

void InputSystem::OnFocusChanged(bool foreground)
{
    if (foreground)
        return;
    for (BufferedDevice* device : devices_)
        device->LoseInput();
}

std::unique_ptr<KeyboardDevice> InputSystem::CreateKeyboard()
{
    return std::make_unique<KeyboardDevice>(*this);
}

std::unique_ptr<MouseDevice> InputSystem::CreateMouse()
{
    return std::make_unique<MouseDevice>(*this);
}

std::unique_ptr<PadDevice> InputSystem::CreatePad()
{
    return std::make_unique<PadDevice>(*this);
}

uint32_t InputSystem::Ticks()
{
    return SDL_GetTicks();
}

// Called from the base constructor, before the derived part exists: only the base pointer
// is kept, and events reach the device through its virtual Feed once it is built.
void InputSystem::Register(BufferedDevice* device)
{
    devices_.push_back(device);
}

void InputSystem::Unregister(BufferedDevice* device)
{
    Erase(devices_, device);
}

} // namespace platform
