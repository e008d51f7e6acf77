#include "gui/Primitive.h"

#include "gui/Container.h"
#include "gui/GuiDevice.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"

#include <cmath>

namespace {

bool Moved(float before, float after)
{
    return std::fabs(before - after) > 0.001f;
}

} // namespace

uint8_t IPanel::SetVisible(uint8_t value)
{
    visible = value;
    return visible;
}

void IPanel::SetName(const char* text)
{
    if (text)
        name = text;
}

bool IPanel::Deactivate()
{
    visible = 0;
    highlight = 0;
    active = 0;
    return false;
}

Primitive::~Primitive()
{
    if (auto* container = dynamic_cast<Container<Primitive>*>(parent))
        container->UnlinkDeletedChild(this);
    ForgetPrimitive(this);
}

float Primitive::ToPixelsX(float value) { return static_cast<float>(value / 1000.0 * GetScreenWidth()); }
float Primitive::ToPixelsY(float value) { return static_cast<float>(value / 1000.0 * GetScreenHeight()); }

float Primitive::ToVirtualX(float pixels)
{
    return static_cast<float>(pixels / static_cast<float>(GetScreenWidth()) * 1000.0);
}

float Primitive::ToVirtualY(float pixels)
{
    return static_cast<float>(pixels / static_cast<float>(GetScreenHeight()) * 1000.0);
}

Primitive* Primitive::OnLeftButton(int, int, int) { return nullptr; }
Primitive* Primitive::OnRightButton(int, int, int) { return nullptr; }
Primitive* Primitive::OnWheel(int) { return nullptr; }

Primitive* Primitive::HitTest(int x, int y)
{
    return PointInRect(x, y) ? this : nullptr;
}

std::string Primitive::GetCursorName() { return "regular"; }

bool Primitive::OnPointerLeft(Primitive* nowUnder)
{
    if (parent)
        parent->OnPointerLeft(nowUnder);
    return true;
}

void Primitive::OnFocusLost(Primitive*) {}
int Primitive::OnKey(int, int, bool, IInputDevice&) { return 0; }
void Primitive::OnFocusGained() { focus = 1; }
void Primitive::Draw() {}
void Primitive::Update() {}
int Primitive::GetPrimitiveKind() { return 1; }

void Primitive::UpdateAbsolutePosition()
{
    const float width = rect.right - rect.left;
    const float height = rect.bottom - rect.top;
    rect.left = relX;
    rect.right = relX + width;
    rect.top = relY;
    rect.bottom = relY + height;
    if (parent && !absolutelyPlaced) {
        const float originX = parent->rect.left - parent->scrollX;
        const float originY = parent->rect.top - parent->scrollY;
        rect.left += originX;
        rect.right += originX;
        rect.top += originY;
        rect.bottom += originY;
    }
    if (hAlign == kAlignHCentre) {
        rect.left -= width / 2.0f;
        rect.right -= width / 2.0f;
    } else if (hAlign == kAlignRight) {
        rect.left -= width;
        rect.right -= width;
    }
    if (vAlign == kAlignVCentre) {
        rect.top -= height / 2.0f;
        rect.bottom -= height / 2.0f;
    } else if (vAlign == kAlignBottom) {
        rect.top -= height;
        rect.bottom -= height;
    }
}

void Primitive::TakeFocus() { SetKeyboardFocus(this); }
int Primitive::GetWidgetType() { return 0; }

void Primitive::SetSize(float width, float height)
{
    bool changed = false;
    if (width > kKeepCoordinate) {
        const float right = rect.left + ToPixelsX(width);
        changed = Moved(rect.right, right) || changed;
        rect.right = right;
    }
    if (height > kKeepCoordinate) {
        const float bottom = rect.top + ToPixelsY(height);
        changed = Moved(rect.bottom, bottom) || changed;
        rect.bottom = bottom;
    }
    if (changed)
        UpdateAbsolutePosition();
}

void Primitive::Move(float x, float y) { SetPosition(x, y); }

void Primitive::SetPosition(float x, float y)
{
    const float newX = x == kKeepCoordinate ? relX : ToPixelsX(x);
    const float newY = y == kKeepCoordinate ? relY : ToPixelsY(y);
    const bool changed = Moved(relX, newX) || Moved(relY, newY);
    relX = newX;
    relY = newY;
    if (changed)
        UpdateAbsolutePosition();
}

bool Primitive::GetSize(float*, float*) { return false; }

void Primitive::AdjustSize(int flags, float dx, float dy)
{
    float width = 0.0f;
    float height = 0.0f;
    if (!GetSize(&width, &height))
        return;
    SetSize((flags & 1) ? width + dx : kKeepCoordinate, (flags & 2) ? height + dy : kKeepCoordinate);
}

uint8_t Primitive::SetFlag(uint8_t value, int)
{
    alpha = value;
    return alpha;
}

bool Primitive::GetPressed() { return pressed != 0; }
void Primitive::ClearPressed() { pressed = 0; }
std::string Primitive::GetText() { return {}; }
int Primitive::GetIntValue() { return 0; }
float Primitive::GetFloatValue() { return 0.0f; }
bool Primitive::IsChecked() { return true; }
void Primitive::SetIntValue(int) {}
void Primitive::SetText(const std::string&) {}
void Primitive::SetFloatValue(float) {}
void Primitive::SetReserved(int) {}

void Primitive::SetScrollOffset(float dy, float dx)
{
    scrollY = dy;
    if (dx != kKeepCoordinate)
        scrollX = dx;
    UpdateAbsolutePosition();
}

void Primitive::SetMargins(float left, float top, float right, float bottom)
{
    if (left > kKeepCoordinate)
        margins.left = ToPixelsX(left);
    if (top > kKeepCoordinate)
        margins.top = ToPixelsY(top);
    if (right > kKeepCoordinate)
        margins.right = ToPixelsX(right);
    if (bottom > kKeepCoordinate)
        margins.bottom = ToPixelsY(bottom);
}

void Primitive::AdjustMargins(float left, float top, float right, float bottom)
{
    margins.left += ToPixelsX(left);
    margins.top += ToPixelsY(top);
    margins.right += ToPixelsX(right);
    margins.bottom += ToPixelsY(bottom);
}

FloatPoint Primitive::ScreenToLocal(FloatPoint point)
{
    return FloatPoint{point.x - rect.left, point.y - rect.top};
}

FloatPoint Primitive::LocalToScreen(FloatPoint point)
{
    return FloatPoint{rect.left + point.x, rect.top + point.y};
}

bool Primitive::WantsKeyRepeat() const { return visible && enabled && keyRepeat.enabled; }
uint32_t Primitive::KeyRepeatDelay() const { return static_cast<uint32_t>(keyRepeat.delay); }
uint32_t Primitive::KeyRepeatInterval() const { return static_cast<uint32_t>(keyRepeat.rate); }

FloatRect Primitive::GetScreenRect() const
{
    return FloatRect{ToVirtualX(rect.left), ToVirtualY(rect.top), ToVirtualX(rect.right), ToVirtualY(rect.bottom)};
}

FloatRect Primitive::GetRelativeRect() const
{
    if (!parent)
        return rect;
    const float originX = parent->rect.left - parent->scrollX;
    const float originY = parent->rect.top - parent->scrollY;
    return FloatRect{rect.left - originX, rect.top - originY, rect.right - originX, rect.bottom - originY};
}

FloatRect Primitive::GetRelativeRectVirtual() const
{
    const FloatRect pixels = GetRelativeRect();
    return FloatRect{ToVirtualX(pixels.left), ToVirtualY(pixels.top), ToVirtualX(pixels.right),
                     ToVirtualY(pixels.bottom)};
}

FloatRect Primitive::GetClientRect() const
{
    const float width = rect.right - rect.left;
    const float height = rect.bottom - rect.top;
    return FloatRect{ToVirtualX(margins.left), ToVirtualY(margins.top), ToVirtualX(width - margins.right),
                     ToVirtualY(height - margins.bottom)};
}

FloatRect Primitive::GetRelativeClientRect() const
{
    const FloatRect pixels = GetRelativeRect();
    return FloatRect{ToVirtualX(pixels.left + margins.left), ToVirtualY(pixels.top + margins.top),
                     ToVirtualX(pixels.right - margins.right), ToVirtualY(pixels.bottom - margins.bottom)};
}

FloatPoint Primitive::GetSizeVirtual() const
{
    return FloatPoint{ToVirtualX(rect.right - rect.left), ToVirtualY(rect.bottom - rect.top)};
}

FloatPoint Primitive::GetPositionVirtual() const
{
    return FloatPoint{ToVirtualX(relX), ToVirtualY(relY)};
}

FloatRect Primitive::GetMarginsVirtual() const
{
    return FloatRect{ToVirtualX(margins.left), ToVirtualY(margins.top), ToVirtualX(margins.right),
                     ToVirtualY(margins.bottom)};
}

bool Primitive::PointInRect(int x, int y) const
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    return rect.left <= px && px <= rect.right && rect.top <= py && py <= rect.bottom;
}

bool Primitive::IsSelfOrAncestorOf(const Primitive* node) const
{
    for (const Primitive* walk = node; walk; walk = walk->parent)
        if (walk == this)
            return true;
    return false;
}

Primitive* Primitive::FindOwningWindow() const
{
    Primitive* walk = parent;
    if (!walk)
        return nullptr;
    for (;;) {
        const auto* container = dynamic_cast<const Container<Primitive>*>(walk);
        if (container && (container->containerFlags & kContainerWindow))
            return walk;
        if (!walk->parent)
            return walk;
        walk = walk->parent;
    }
}

bool Primitive::CloseOwningWindow()
{
    if (Primitive* window = FindOwningWindow()) {
        if (auto* container = dynamic_cast<PrimContainer*>(window))
            container->Close();
        else
            window->Deactivate();
    }
    return true;
}

void Primitive::DeactivateOwningWindow()
{
    if (Primitive* window = FindOwningWindow())
        window->Deactivate();
}

void Primitive::DeactivateSelf() { Deactivate(); }

void Primitive::KeepOnScreen()
{
    const FloatRect screen = GetScreenRect();
    float shiftX = 0.0f;
    float shiftY = 0.0f;
    if (screen.left < 0.0f)
        shiftX = -screen.left;
    else if (screen.right > 1000.0f)
        shiftX = 1000.0f - screen.right;
    if (screen.top < 0.0f)
        shiftY = -screen.top;
    else if (screen.bottom > 1000.0f)
        shiftY = 1000.0f - screen.bottom;
    if (shiftX == 0.0f && shiftY == 0.0f)
        return;
    const FloatPoint position = GetPositionVirtual();
    SetPosition(position.x + shiftX, position.y + shiftY);
}
