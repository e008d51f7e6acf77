#include "gui/FlimbsWindow3.h"

#include "gui/Animators.h"
#include "gui/GraphicButtons.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>

namespace {

// Gap between the close button and the title's right end, in pixels before the UI scale.
constexpr float kCloseButtonGap = 6.0f;

FrameRect PixelRect(const FloatRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

} // namespace

// ---- FlimbsWindow3Client

FlimbsWindow3Client::FlimbsWindow3Client()
    : border_(kFolder, {{kFrameTop, "top.png"},
                        {kFrameTopRight, "top-right.png"},
                        {kFrameTopLeft, "top-left.png"},
                        {kFrameLeft, "left.png"},
                        {kFrameRight, "right.png"},
                        {kFrameBottom, "bottom.png"},
                        {kFrameBottomRight, "bottom-right.png"},
                        {kFrameBottomLeft, "bottom-left.png"},
                        {kFrameFill, "fill.png"}}),
      upperLeft_(kFolder, "left2.png"), upperRight_(kFolder, "right2.png")
{
}

void FlimbsWindow3Client::Draw()
{
    border_.Draw(PixelRect(rect), alpha);
    // The taller side pieces start under the top corners, cut short on a low client.
    const float scale = ScreenImageScale();
    const float top = rect.top + border_.TopHeight();
    const float limit = std::max(top, rect.bottom - border_.BottomHeight());
    const uint32_t colour = 0x00FFFFFFu | (uint32_t(alpha) << 24);
    if (upperLeft_) {
        const float bottom = std::min(top + upperLeft_.DrawnHeight(scale), limit);
        upperLeft_.DrawStretched(rect.left, top, rect.left + upperLeft_.DrawnWidth(scale), bottom, colour);
    }
    if (upperRight_) {
        const float bottom = std::min(top + upperRight_.DrawnHeight(scale), limit);
        upperRight_.DrawStretched(rect.right - upperRight_.DrawnWidth(scale), top, rect.right, bottom, colour);
    }
    PrimContainer::Draw();
}

bool FlimbsWindow3Client::GetSize(float* width, float* height)
{
    float w = 0.0f, h = 0.0f;
    PrimContainer::GetSize(&w, &h);
    const FloatPoint own = GetSizeVirtual();
    if (width)
        *width = std::max(w, own.x);
    if (height)
        *height = std::max(h, own.y);
    return true;
}

// ---- FlimbsWindow3

FlimbsWindow3::FlimbsWindow3() : borderThickness_(GetUiScale())
{
    containerFlags = kContainerWindow;
    client_ = new FlimbsWindow3Client;
    title_ = new FlimbsWindow3Title;
    closeButton_ = new GraphicButton(kCloseFolder, kCloseFile, 2);
    closeButton_->name = "close_button";
    closeButton_->secondId = -1;
    closeButton_->onClick = [this](Primitive*, Button*) { Hide(); };
    animator_ = new AnimatePosition(this);
    // Drawn and offered input in this order: the client, the title, the button over it.
    AddChild(client_);
    AddChild(title_);
    AddChild(closeButton_);
    AddChild(animator_);
    LayoutParts(0.0f, 0.0f);
}

void FlimbsWindow3::Hide()
{
    SetVisible(0);
    highlight = 0;
}

void FlimbsWindow3::LayoutParts(float width, float height)
{
    const float titleHeight = ToVirtualY(title_->ImageHeight());
    const float border = ToVirtualX(borderThickness_);
    title_->SetPosition(0.0f, 0.0f);
    title_->SetSize(width, titleHeight);
    client_->SetPosition(border, titleHeight);
    client_->SetSize(std::max(0.0f, width - 2.0f * border), std::max(0.0f, height - titleHeight));

    float closeWidth = 0.0f, closeHeight = 0.0f;
    if (const AnimSurface* image = closeButton_->image) {
        const float scale = ScreenImageScale();
        closeWidth = ToVirtualX(float(image->frameWidth) * scale);
        closeHeight = ToVirtualY(float(image->frameHeight) * scale);
    }
    closeButton_->SetSize(closeWidth, closeHeight);
    closeButton_->SetPosition(width - closeWidth - ToVirtualX(kCloseButtonGap * GetUiScale()),
                              std::max(0.0f, (titleHeight - closeHeight) * 0.5f));
}

void FlimbsWindow3::SetSize(float width, float height)
{
    const FloatPoint now = GetSizeVirtual();
    LayoutParts(width > kKeepCoordinate ? width : now.x, height > kKeepCoordinate ? height : now.y);
    PrimContainer::SetSize(width, height);
}

bool FlimbsWindow3::GetSize(float* width, float* height)
{
    const FloatPoint client = client_->GetSizeVirtual();
    const FloatPoint title = title_->GetSizeVirtual();
    if (width)
        *width = client.x + 2.0f * ToVirtualX(borderThickness_);
    if (height)
        *height = client.y + title.y;
    return true;
}

void FlimbsWindow3::AdjustSize(int flags, float dx, float dy)
{
    client_->AdjustSize(flags, 0.0f, 0.0f);
    Primitive::AdjustSize(flags, dx, dy);
}

uint8_t FlimbsWindow3::SetFlag(uint8_t value, int recursive)
{
    const uint8_t stored = Primitive::SetFlag(value, recursive);
    if (recursive) {
        for (Primitive* child : Children())
            child->SetFlag(value, recursive);
    } else {
        client_->SetFlag(value, 0);
    }
    return stored;
}

void FlimbsWindow3::SetTitle(const char* title) { title_->SetTitle(title); }

Primitive* FlimbsWindow3::OnLeftButton(int x, int y, int phase)
{
    // A drag keeps the pointer to the window: nothing under it is pressed or released.
    if (dragging_) {
        if (phase == kPhaseUp) {
            dragging_ = 0;
            return this;
        }
        if (phase == kPhaseHeld) {
            Drag(x, y);
            return this;
        }
        dragging_ = 0;
    }
    Primitive* taker = PrimContainer::OnLeftButton(x, y, phase);
    if (taker == this && phase == kPhaseDown && draggable && title_->visible && title_->PointInRect(x, y)) {
        const FloatPoint grab = ScreenToLocal(FloatPoint{float(x), float(y)});
        grabX_ = int32_t(grab.x);
        grabY_ = int32_t(grab.y);
        dragging_ = 1;
    }
    return taker;
}

void FlimbsWindow3::Drag(int x, int y)
{
    const FloatPoint local = ScreenToLocal(FloatPoint{float(x), float(y)});
    const FloatPoint position = GetPositionVirtual();
    AnimatePositionTo(animator_, kDragAnimationMs, position.x + ToVirtualX(local.x - float(grabX_)),
                      position.y + ToVirtualY(local.y - float(grabY_)));
}

Primitive* FlimbsWindow3::HitTest(int x, int y)
{
    overTitle_ = false;
    if (!Disabled() && closeButton_->visible && closeButton_->enabled)
        if (Primitive* hit = closeButton_->HitTest(x, y))
            return hit;
    Primitive* hit = PrimContainer::HitTest(x, y);
    if (hit == title_) {
        overTitle_ = true;
        return this;
    }
    return hit;
}

std::string FlimbsWindow3::GetCursorName() { return overTitle_ && draggable ? "hand" : "regular"; }

// ---- FlimbsWindow3a, FlimbsWindow3b

int FlimbsWindow3a::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (code == kKeyEscape && value != 0) {
        Deactivate();
        return 1;
    }
    return FlimbsWindow3::OnKey(value, code, shift, device);
}

int FlimbsWindow3b::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (code == kKeyEscape && value != 0) {
        Hide();
        return 1;
    }
    return FlimbsWindow3::OnKey(value, code, shift, device);
}

bool FlimbsWindow3b::RemoveChild(Primitive*, bool)
{
    Hide();
    return false;
}
