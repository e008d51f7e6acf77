#include "gui/Button.h"

#include "gui/GuiClock.h"
#include "gui/PrimContainer.h"
#include "gui/GuiSounds.h"
#include "gui/WindowList.h"
#include "platform/input/ScanCodes.h"

namespace {

bool RepeatDue(int32_t interval, uint32_t last)
{
    return interval >= 0 && GuiNow() - last > static_cast<uint32_t>(interval);
}

} // namespace

Primitive* Button::OnLeftButton(int x, int y, int phase)
{
    if (!PointInRect(x, y))
        return nullptr;
    if (phase == kPhaseDown) {
        state = kButtonPressed;
        lastClickTime = GuiNow();
        if (clickOnPress)
            Click();
    } else if (phase == kPhaseHeld) {
        state = kButtonPressed;
        if (onClick && RepeatDue(repeatInterval, lastClickTime)) {
            Click();
            lastClickTime = GuiNow();
        }
    } else {
        state = kButtonNormal;
        if (!clickOnPress)
            Click();
    }
    UpdateAbsolutePosition();
    return this;
}

Primitive* Button::OnRightButton(int x, int y, int phase)
{
    if (!PointInRect(x, y))
        return nullptr;
    if (phase == kPhaseDown) {
        state = kButtonPressed;
        lastClickTime = GuiNow();
    } else if (phase == kPhaseHeld) {
        state = kButtonPressed;
        if (enabled && onRightClick && RepeatDue(rightRepeatInterval, lastClickTime)) {
            onRightClick(parent, this);
            PlayGuiSound(kSoundButtonClick, 1.0f);
            lastClickTime = GuiNow();
        }
    } else {
        state = kButtonNormal;
        if (enabled && onRightClick) {
            PlayGuiSound(kSoundButtonClick, 1.0f);
            onRightClick(parent, this);
        }
    }
    UpdateAbsolutePosition();
    return this;
}

Primitive* Button::HitTest(int x, int y)
{
    if (!PointInRect(x, y))
        return nullptr;
    if (state != kButtonPressed)
        state = kButtonHover;
    UpdateAbsolutePosition();
    return this;
}

std::string Button::GetCursorName() { return onClick ? "pointer-focus" : "regular"; }

bool Button::OnPointerLeft(Primitive* nowUnder)
{
    state = kButtonNormal;
    UpdateAbsolutePosition();
    if (parent)
        parent->OnPointerLeft(nowUnder);
    return true;
}

int Button::OnKey(int value, int code, bool, IInputDevice&)
{
    if (!HasFocus() || !keyboardActivation || !enabled || (code != kKeySpace && code != kKeyEnter))
        return 0;
    if (value != 0) {
        state = kButtonPressed;
    } else if (state == kButtonPressed) {
        state = kButtonNormal;
        if (onClick)
            onClick(parent, this);
    }
    UpdateAbsolutePosition();
    return 1;
}

bool Button::HasFocus() const { return GetKeyboardFocus() == this; }

bool Button::PulseRuns() const
{
    return pulseMode == kPulseAlways || (pulseMode == kPulseOnHover && state == kButtonHover) ||
           (pulseMode == kPulseOnFocus && HasFocus());
}

void Button::Update()
{
    if (!PulseRuns()) {
        pulseAlpha = 255.0f;
        return;
    }
    const float step = static_cast<float>(GuiFrameElapsed()) * 204.0f / 1000.0f;
    pulseAlpha += step * static_cast<float>(pulseDirection);
    if (pulseAlpha >= 255.0f) {
        pulseAlpha = 255.0f;
        pulseDirection = -1;
    } else if (pulseAlpha <= 150.0f) {
        pulseAlpha = 150.0f;
        pulseDirection = 1;
    }
}

void Button::SetCaption(const char*) {}

void Button::Click()
{
    if (!enabled)
        return;
    if (clickSound)
        PlayGuiSound(kSoundButtonClick, 1.0f);
    if (onClick)
        onClick(parent, this);
}

void CloseParentWindow(Primitive*, Button* button)
{
    for (Primitive* walk = button ? button->parent : nullptr; walk; walk = walk->parent) {
        auto* container = dynamic_cast<PrimContainer*>(walk);
        if (container && (container->containerFlags & kContainerWindow)) {
            container->Close();
            return;
        }
    }
}
