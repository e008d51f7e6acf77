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
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        for (KeyboardDevice* keyboard : keyboards_)
            keyboard->Feed(event);
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        for (MouseDevice* mouse : mice_)
            mouse->Feed(event);
        break;
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        for (PadDevice* pad : pads_)
            pad->Feed(event);
        break;
    default:
        break;
    }
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

void InputSystem::Register(BufferedDevice* device)
{
    // Called from the base constructor: the kind says what the device will be.
    devices_.push_back(device);
    switch (device->kind_) {
    case BufferedDevice::Kind::Keyboard: keyboards_.push_back(static_cast<KeyboardDevice*>(device)); break;
    case BufferedDevice::Kind::Mouse: mice_.push_back(static_cast<MouseDevice*>(device)); break;
    case BufferedDevice::Kind::Pad: pads_.push_back(static_cast<PadDevice*>(device)); break;
    }
}

void InputSystem::Unregister(BufferedDevice* device)
{
    Erase(devices_, device);
    Erase(keyboards_, device);
    Erase(mice_, device);
    Erase(pads_, device);
}

} // namespace platform
