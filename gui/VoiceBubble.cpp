#include "gui/VoiceBubble.h"

#include "gui/Animators.h"
#include "gui/LayoutEngine.h"
#include "gui/UiScale.h"

#include <algorithm>

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
    engine.SetMargins(m.left + DesignUnitsX(extraX), m.top + DesignUnitsY(extraY), m.right + DesignUnitsX(extraX),
                      m.bottom + DesignUnitsY(extraY));
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
