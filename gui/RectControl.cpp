#include "gui/RectControl.h"

#include "media/Draw2D.h"

namespace {

uint32_t Faded(uint32_t colour, uint8_t alpha)
{
    return (((colour >> 24) * alpha + 127) / 255) << 24 | (colour & 0xFFFFFFu);
}

} // namespace

void RectControl::Draw()
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    if (fillColour >> 24)
        Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, Faded(fillColour, alpha));
    if (outlineColour >> 24) {
        // Two pixels or less: the outline would fold onto itself; fill with it instead.
        if (rect.bottom - rect.top <= 2.0f || rect.right - rect.left <= 2.0f)
            Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, Faded(outlineColour, alpha));
        else
            Draw2D::DrawRectOutline(rect.left, rect.top, rect.right, rect.bottom, Faded(outlineColour, alpha));
    }
}
