#pragma once
// A plain rectangle: a fill colour and an outline colour (ARGB; an alpha of 0 leaves that
// part out), both faded by the primitive's alpha. Used for rules and backgrounds.
#include "gui/Primitive.h"

#include <cstdint>

class RectControl : public Primitive {
public:
    RectControl(uint32_t fill = 0, uint32_t outline = 0) : fillColour(fill), outlineColour(outline) {}

    void Draw() override;

    uint32_t fillColour;
    uint32_t outlineColour;
};
