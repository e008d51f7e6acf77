#include "gui/Container.h"

#include "app/Log.h"
#include "gui/WindowList.h"

#include <algorithm>
#include <cmath>

namespace {

// Win32-style rectangle intersection of two viewports; false when they do not meet.
bool IntersectViewports(const GuiViewport& a, const GuiViewport& b, GuiViewport* out)
{
    const int64_t left = std::max<int64_t>(a.X, b.X);
    const int64_t top = std::max<int64_t>(a.Y, b.Y);
    const int64_t right = std::min<int64_t>(int64_t{a.X} + a.Width, int64_t{b.X} + b.Width);
    const int64_t bottom = std::min<int64_t>(int64_t{a.Y} + a.Height, int64_t{b.Y} + b.Height);
    if (left >= right || top >= bottom)
        return false;
    out->X = static_cast<uint32_t>(left);
    out->Y = static_cast<uint32_t>(top);
    out->Width = static_cast<uint32_t>(right - left);
    out->Height = static_cast<uint32_t>(bottom - top);
    return true;
}

bool RectsMeet(const FloatRect& a, const FloatRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// Start and extent of one axis of the clip viewport, clamped to the screen.
void ClipAxis(float low, float high, int screen, uint32_t* start, uint32_t* extent)
{
    *start = low > 0.0f ? static_cast<uint32_t>(low) : 0;
    const float length = high - static_cast<float>(*start) + 0.5f;
    *extent = (high > 0.0f && length > 0.0f) ? static_cast<uint32_t>(length) : 0;
    const uint32_t limit = static_cast<uint32_t>(screen);
    if (*start > limit) {
        *start = 0;
        *extent = 0;
    } else if (uint64_t{*start} + *extent > limit) {
        *extent = limit - *start;
    }
}

} // namespace

Container<Primitive>::~Container()
{
    ClearChildren(false);
}

bool Container<Primitive>::HasChild(const Primitive* child) const
{
    return std::find(children_.begin(), children_.end(), child) != children_.end();
}

void Container<Primitive>::UnlinkDeletedChild(Primitive* child)
{
    if (HasChild(child)) {
        children_.remove(child);
        MarkWindowListChanged();
    }
}

bool Container<Primitive>::PointInRectF(int x, int y) const
{
    return PointInRect(x, y);
}

Primitive* Container<Primitive>::ButtonChildPass(int x, int y, int phase, bool right)
{
    if (Disabled())
        return (containerFlags & kContainerModal) ? this : nullptr;
    Primitive* taker = nullptr;
    const bool inside = PointInRectF(x, y);
    ForEachChildSafely([&](Primitive* child) {
        if (!child->visible || !child->enabled)
            return false;
        if (child->clipToParent && !inside)
            return false;
        taker = right ? child->OnRightButton(x, y, phase) : child->OnLeftButton(x, y, phase);
        return taker != nullptr;
    });
    if (taker)
        return taker;
    if (containerFlags & kContainerModal)
        return this;
    if (inside)
        return (containerFlags & kContainerTransparent) ? nullptr : this;
    return nullptr;
}

Primitive* Container<Primitive>::OnLeftButton(int x, int y, int phase)
{
    return ButtonChildPass(x, y, phase, false);
}

Primitive* Container<Primitive>::OnRightButton(int x, int y, int phase)
{
    return ButtonChildPass(x, y, phase, true);
}

Primitive* Container<Primitive>::OnWheel(int delta)
{
    if (!Disabled()) {
        Primitive* taker = nullptr;
        ForEachChildSafely([&](Primitive* child) {
            if (child->visible && child->enabled)
                taker = child->OnWheel(delta);
            return taker != nullptr;
        });
        if (taker)
            return taker;
    }
    return (containerFlags & kContainerModal) ? this : nullptr;
}

Primitive* Container<Primitive>::HitTest(int x, int y)
{
    if (Disabled())
        return (containerFlags & kContainerModal) ? this : nullptr;
    for (Primitive* child : children_) {
        if (!child->visible || !child->enabled)
            continue;
        if (Primitive* hit = child->HitTest(x, y))
            return hit;
    }
    if (containerFlags & kContainerModal)
        return this;
    if (PointInRectF(x, y))
        return (containerFlags & kContainerTransparent) ? nullptr : this;
    return nullptr;
}

int Container<Primitive>::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (Disabled())
        return 0;
    int taken = 0;
    ForEachChildSafely([&](Primitive* child) {
        if (child->visible && child->enabled)
            taken = child->OnKey(value, code, shift, device);
        return taken != 0;
    });
    return taken;
}

void Container<Primitive>::Draw()
{
    GuiViewport kept;
    GetDeviceViewport(&kept);
    if (clip_.Width == 0 || clip_.Height == 0)
        return;
    GuiViewport inner;
    if (!IntersectViewports(kept, clip_, &inner))
        return;
    inner.MinZ = clip_.MinZ;
    inner.MaxZ = clip_.MaxZ;
    SetDeviceViewport(&inner);
    Primitive* modal = GetModalWindow();
    const bool modalActive = IsModalActive();
    for (Primitive* child : children_) {
        if (!child->visible || !child->highlight || !child->active)
            continue;
        if (modalActive && child == modal)
            continue;
        if (child->clipToParent) {
            if (RectsMeet(child->rect, rect))
                child->Draw();
        } else {
            const GuiViewport full = FullScreenViewport();
            SetDeviceViewport(&full);
            child->Draw();
            SetDeviceViewport(&inner);
        }
    }
    DrawOverlay();
    SetDeviceViewport(&kept);
}

void Container<Primitive>::Update()
{
    ForEachChildSafely([&](Primitive* child) {
        if (child->active) {
            if (child->visible)
                child->Update();
        } else {
            DropChild(child, child->deleteWhenClosed != 0);
        }
        return false;
    });
    if ((containerFlags & kContainerModal) && !GetModalWindow())
        SetModalWindow(this, (containerFlags & kContainerModalBlocks) != 0);
}

void Container<Primitive>::DropChild(Primitive* child, bool deleteIt)
{
    children_.remove(child);
    MarkWindowListChanged();
    ForgetPrimitive(child);
    if (deleteIt) {
        delete child;
        return;
    }
    child->parent = nullptr;
    child->visible = 1;
    child->highlight = 1;
    child->active = 1;
}

int Container<Primitive>::GetPrimitiveKind() { return 2; }

void Container<Primitive>::UpdateAbsolutePosition()
{
    Primitive::UpdateAbsolutePosition();
    ComputeClipViewport();
    for (Primitive* child : children_)
        child->UpdateAbsolutePosition();
}

void Container<Primitive>::ComputeClipViewport()
{
    ClipAxis(rect.left, rect.right, GetScreenWidth(), &clip_.X, &clip_.Width);
    ClipAxis(rect.top, rect.bottom, GetScreenHeight(), &clip_.Y, &clip_.Height);
    clip_.MinZ = 0.0f;
    clip_.MaxZ = 1.0f;
}

void Container<Primitive>::AddChild(Primitive* child, bool atEnd)
{
    if (!child || child == this)
        return;
    child->parent = this;
    NumberTabStop(child);
    child->UpdateAbsolutePosition();
    InsertChild(child, atEnd);
    child->UpdateAbsolutePosition();
}

void Container<Primitive>::AddChildNear(Primitive* child, Primitive* reference, bool after)
{
    if (!child || child == this)
        return;
    child->parent = this;
    NumberTabStop(child);
    if (!reference) {
        InsertChild(child, after);
        return;
    }
    children_.remove(child);
    auto place = std::find(children_.begin(), children_.end(), reference);
    if (place == children_.end()) {
        WriteLog("WANRING: index prim not found\n");
        child->parent = nullptr;
        MarkWindowListChanged();
        return;
    }
    if (after)
        ++place;
    children_.insert(place, child);
    child->UpdateAbsolutePosition();
    MarkWindowListChanged();
}

void Container<Primitive>::InsertChild(Primitive* child, bool atEnd)
{
    if (!child)
        return;
    children_.remove(child);
    if (atEnd)
        children_.push_back(child);
    else
        children_.push_front(child);
    MarkWindowListChanged();
}

bool Container<Primitive>::RemoveChild(Primitive* child, bool destroy)
{
    if (!child || !HasChild(child))
        return false;
    children_.remove(child);
    ForgetPrimitive(child);
    if (destroy && child->deleteWhenClosed)
        delete child;
    else
        child->parent = nullptr;
    MarkWindowListChanged();
    return true;
}

void Container<Primitive>::ClearChildren(bool keep)
{
    if (keep) {
        for (Primitive* child : children_)
            child->Deactivate();
    } else {
        while (!children_.empty()) {
            Primitive* child = children_.front();
            children_.pop_front();
            ForgetPrimitive(child);
            if (child->deleteWhenClosed) {
                delete child;
            } else {
                child->parent = nullptr;
                child->visible = 1;
                child->highlight = 1;
                child->active = 1;
            }
        }
    }
    MarkWindowListChanged();
}

Primitive* Container<Primitive>::FindChild(const std::string& childName)
{
    for (Primitive* child : children_) {
        if (!child->active)
            continue;
        if (child->name == childName)
            return child;
        if (child->GetPrimitiveKind() == 2)
            if (auto* container = dynamic_cast<Container<Primitive>*>(child))
                if (Primitive* found = container->FindChild(childName))
                    return found;
    }
    return nullptr;
}

std::string Container<Primitive>::GetChildText(const std::string& childName)
{
    Primitive* child = FindChild(childName);
    return child ? child->GetText() : std::string();
}

bool Container<Primitive>::ReadChildText(const std::string& childName, bool onlyIfPressed, std::string& out)
{
    Primitive* child = FindChild(childName);
    if (!child || (onlyIfPressed && !child->GetPressed()))
        return false;
    std::string text = child->GetText();
    if (text == out)
        return false;
    out = std::move(text);
    return true;
}

bool Container<Primitive>::ReadChildFloat(const std::string& childName, float minimum, float maximum,
                                          bool onlyIfPressed, float& out)
{
    Primitive* child = FindChild(childName);
    if (!child || (onlyIfPressed && !child->GetPressed()))
        return false;
    float value = child->GetFloatValue();
    if (value == out)
        return false;
    if (minimum != -1.0f) {
        if (value < minimum)
            value = minimum;
        else if (value > maximum)
            value = maximum;
    }
    out = value;
    return true;
}

std::vector<Primitive*> Container<Primitive>::CopyChildList() const
{
    return std::vector<Primitive*>(children_.begin(), children_.end());
}

Primitive* Container<Primitive>::NextTabStop(int current)
{
    Primitive* next = nullptr;
    Primitive* lowest = nullptr;
    for (Primitive* child : children_) {
        if (!child->tabStop)
            continue;
        if (!lowest || child->tabNumber < lowest->tabNumber)
            lowest = child;
        if (child->tabNumber > current && (!next || child->tabNumber < next->tabNumber))
            next = child;
    }
    return next ? next : lowest;
}
