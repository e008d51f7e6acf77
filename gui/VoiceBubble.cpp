#include "gui/VoiceBubble.h"

#include "gui/Animators.h"
#include "gui/LayoutEngine.h"
#include "gui/UiScale.h"

#include <algorithm>

float DesignX(float pixels)
{
    return Primitive::ToVirtualX(pixels * GetUiScale());
}

float DesignY(float pixels)
{
    return Primitive::ToVirtualY(pixels * GetUiScale());
}

VoiceBubble::VoiceBubble() : DecoratedPrimContainer(kSkinFolder, true)
{
    containerFlags |= kContainerWindow;
    const float sides = std::max(Frame().pieces[kFrameTopLeft].cell.right - Frame().pieces[kFrameTopLeft].cell.left, 0);
    const float side = ToVirtualX(sides * ScreenImageScale() * 0.5f);
    SetMargins(side, ToVirtualY(TopHeight()), side, ToVirtualY(BottomHeight()));
}

void VoiceBubble::ApplyMargins(LayoutEngine& engine, float extraX, float extraY) const
{
    const FloatRect m = GetMarginsVirtual();
    engine.SetMargins(m.left + DesignX(extraX), m.top + DesignY(extraY), m.right + DesignX(extraX),
                      m.bottom + DesignY(extraY));
}

void VoiceBubble::Relayout()
{
    float width = 0.0f, height = 0.0f;
    PrimContainer::GetSize(&width, &height);
    SetSize(width, height);
    const FloatRect screen = GetScreenRect();
    if (screen.bottom > maxBottom) {
        const FloatPoint at = GetPositionVirtual();
        SetPosition(at.x, at.y - (screen.bottom - maxBottom));
    }
}

void VoiceBubble::Update()
{
    DecoratedPrimContainer::Update();
    Relayout();
}

void VoiceBubble::Close()
{
    if (auto* wrapper = dynamic_cast<AnimateAlpha*>(parent); wrapper && wrapper->Target() == this)
        wrapper->Deactivate();
    Deactivate();
    if (onClosed) {
        const auto callback = std::move(onClosed);
        onClosed = nullptr;
        callback(this);
    }
}
