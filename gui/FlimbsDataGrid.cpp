#include "gui/FlimbsDataGrid.h"

#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Draw2D.h"

namespace {
const char* const kGridFolder = "Graphics\\Menu\\ServerBrowser\\";
} // namespace

FlimbsDataGrid::FlimbsDataGrid()
    : header_(kGridFolder, "header-back.png"),
      rows_{SkinImage(kGridFolder, "row-back.png"), SkinImage(kGridFolder, "row2-back.png")},
      divider_(kGridFolder, "column-divider.png")
{
}

void FlimbsDataGrid::DrawHeaderBack(const FloatRect& area)
{
    header_.DrawStretched(area.left, area.top, area.right, area.bottom, WithAlpha(0xFFFFFFFFu, alpha));
}

void FlimbsDataGrid::DrawRowBack(int position, bool selected, const FloatRect& area)
{
    rows_[position % 2].DrawStretched(area.left, area.top, area.right, area.bottom, WithAlpha(0xFFFFFFFFu, alpha));
    if (selected)
        Draw2D::DrawFilledRect(area.left, area.top, area.right, area.bottom,
                               WithAlpha(selectedColour, uint8_t((selectionAlpha * alpha) / 255)));
}

void FlimbsDataGrid::DrawColumnDivider(float x, float top, float bottom)
{
    const float half = divider_.DrawnWidth(ScreenImageScale()) / 2.0f;
    divider_.DrawStretched(x - half, top, x + half, bottom, WithAlpha(0xFFFFFFFFu, alpha));
}
