#pragma once
// The bubble window of the HUD's pop-ups: a container framed by the skin of
// "Graphics\Menu\VoiceBubble\" (the six border pictures and a fill) with the window flag,
// so that the generic close action of its buttons stops at it. Its content is placed by a
// layout engine bound to the bubble (LayoutView) inside the margins the skin leaves; each
// frame the bubble fits itself round that content and keeps its bottom above a limit.
#include "gui/DecoratedPrimContainer.h"
#include "gui/UiScale.h"

#include <functional>

class LayoutEngine;

class VoiceBubble : public DecoratedPrimContainer {
public:
    static constexpr const char* kSkinFolder = "Graphics\\Menu\\VoiceBubble";

    VoiceBubble();

    // The container a layout engine places the bubble's content in (the bubble itself).
    PrimContainer* LayoutView() { return this; }
    // Gives the engine the bubble's margins (virtual units) plus extra design pixels.
    void ApplyMargins(LayoutEngine& engine, float extraX, float extraY) const;
    // Sizes the bubble round its content plus its margins, then keeps its bottom at or
    // above maxBottom.
    void Relayout();
    // The children's update, then Relayout.
    void Update() override;
    // Deactivates the bubble (and the alpha wrapper that holds it), then runs onClosed.
    void Close() override;

    // Virtual units; the bubble moves up rather than reach below it.
    float maxBottom = 1000.0f;
    std::function<void(VoiceBubble* bubble)> onClosed;
};
