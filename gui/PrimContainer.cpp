#include "gui/PrimContainer.h"

#include "app/Log.h"
#include "gui/ScrollBar.h"
#include "gui/UiScale.h"

namespace {
bool g_closeHandlersEnabled = true;
}

void SetCloseHandlersEnabled(bool enabled) { g_closeHandlersEnabled = enabled; }
bool CloseHandlersEnabled() { return g_closeHandlersEnabled; }

PrimContainer::~PrimContainer()
{
    delegate_.reset();
    ClearChildren(false);
}

Primitive* PrimContainer::OnLeftButton(int x, int y, int phase)
{
    if (delegate_ && phase != kPhaseHeld)
        if (Primitive* taker = delegate_->OnLeftButton(x, y, phase))
            return taker;
    return Container<Primitive>::OnLeftButton(x, y, phase);
}

Primitive* PrimContainer::HitTest(int x, int y)
{
    Primitive* hit = delegate_ ? delegate_->HitTest(x, y) : nullptr;
    if (!hit)
        hit = Container<Primitive>::HitTest(x, y);
    if (hit && hit->parent == this && !hit->secondText.empty())
        cursorName_ = hit->secondText;
    else
        cursorName_.clear();
    return hit;
}

bool PrimContainer::OnPointerLeft(Primitive* nowUnder)
{
    cursorName_.clear();
    if (IsSelfOrAncestorOf(nowUnder))
        return false;
    if (parent)
        parent->OnPointerLeft(nowUnder);
    return true;
}

void PrimContainer::UpdateAbsolutePosition()
{
    Container<Primitive>::UpdateAbsolutePosition();
    ApplyScrollBarRule();
}

bool PrimContainer::GetSize(float* width, float* height)
{
    float w = 0.0f;
    float h = 0.0f;
    for (Primitive* child : Children()) {
        if (child->excludeFromBounds)
            continue;
        const FloatRect box = child->GetRelativeRectVirtual();
        w = std::max(w, box.right);
        h = std::max(h, box.bottom);
    }
    const FloatRect margin = GetMarginsVirtual();
    if (width)
        *width = w + margin.right;
    if (height)
        *height = h + margin.bottom;
    return true;
}

uint8_t PrimContainer::SetFlag(uint8_t value, int recursive)
{
    if (recursive)
        for (Primitive* child : Children())
            child->SetFlag(value, recursive);
    return Primitive::SetFlag(value, recursive);
}

bool PrimContainer::GetPressed()
{
    for (Primitive* child : Children())
        if (child->GetPressed())
            return true;
    return pressed != 0;
}

void PrimContainer::ClearPressed()
{
    for (Primitive* child : Children())
        child->ClearPressed();
    pressed = 0;
}

FloatPoint PrimContainer::ScreenToLocal(FloatPoint point)
{
    return FloatPoint{point.x - rect.left + scrollX, point.y - rect.top + scrollY};
}

FloatPoint PrimContainer::LocalToScreen(FloatPoint point)
{
    return FloatPoint{rect.left + point.x - scrollX, rect.top + point.y - scrollY};
}

PrimContainer* PrimContainer::AsContainer() { return this; }

void PrimContainer::Close()
{
    if (closeHandler && g_closeHandlersEnabled && closeHandler(this))
        return;
    Deactivate();
}

std::unique_ptr<Primitive> PrimContainer::CreateScrollBar() { return std::make_unique<SimpleScrollBar>(); }

void PrimContainer::DrawOverlay()
{
    if (delegate_ && delegate_->visible)
        delegate_->Draw();
}

void PrimContainer::NumberTabStop(Primitive* child)
{
    if (tabNumbering && child->tabStop && child->tabNumber == 0)
        child->tabNumber = ++nextTabNumber;
}

void PrimContainer::ApplyScrollBarRule()
{
    const float height = rect.bottom - rect.top + 1.0f;
    if ((containerFlags & kContainerAutoScroll) && height < contentHeight_) {
        if (!delegate_) {
            std::unique_ptr<Primitive> bar = CreateScrollBar();
            if (!bar)
                return;
            if (!dynamic_cast<IScrollDelegate*>(bar.get())) {
                WriteLog("scroll bar of \"%s\" has no scroll interface\n", name.c_str());
                return;
            }
            delegate_ = std::move(bar);
            delegate_->parent = this;
            dynamic_cast<IScrollDelegate*>(delegate_.get())->SetScrollCallback([this](int position) {
                SetScrollOffset(static_cast<float>(position), kKeepCoordinate);
            });
        }
        auto* scroll = dynamic_cast<IScrollDelegate*>(delegate_.get());
        scroll->SetScrollRange(static_cast<int>(contentHeight_), static_cast<int>(height));
        scroll->SetScrollPosition(static_cast<int>(scrollY), false);
        PlaceDelegate();
        return;
    }
    if (delegate_) {
        // Out of the member first: the position change re-lays the container out.
        std::unique_ptr<Primitive> bar = std::move(delegate_);
        dynamic_cast<IScrollDelegate*>(bar.get())->SetScrollPosition(0, true);
    }
}

void PrimContainer::PlaceDelegate()
{
    float barWidth = delegate_->rect.right - delegate_->rect.left;
    if (barWidth <= 0.0f)
        barWidth = 16.0f * GetUiScale();
    delegate_->absolutelyPlaced = 1;
    delegate_->hAlign = kAlignLeft;
    delegate_->vAlign = kAlignTop;
    delegate_->relX = rect.right - barWidth;
    delegate_->relY = rect.top;
    delegate_->rect = FloatRect{delegate_->relX, delegate_->relY, rect.right, rect.bottom};
    delegate_->UpdateAbsolutePosition();
}
