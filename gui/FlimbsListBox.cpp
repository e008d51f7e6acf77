#include "gui/FlimbsListBox.h"

#include "gui/FlimbsScrollBar.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"

#include <algorithm>

FlimbsListBox::FlimbsListBox() : highlight_(ListFrameSkin::kFolder, "list-highlight.png")
{
    const float scale = ScreenImageScale();
    margins = FloatRect{frame_.LeftWidth(scale), std::max(margins.top, frame_.TopHeight(scale)),
                        frame_.RightWidth(scale), std::max(margins.bottom, frame_.BottomHeight(scale))};
}

FlimbsListBox::~FlimbsListBox() = default;

void FlimbsListBox::SetStyleFlags(uint32_t flags)
{
    if ((flags & kListScrollBar) && !GetScrollBar())
        AttachScrollBar(std::make_unique<FlimbsScrollBar>());
    ListBox::SetStyleFlags(flags);
}

void FlimbsListBox::UpdateAbsolutePosition()
{
    const float scale = ScreenImageScale();
    margins.left = frame_.LeftWidth(scale);
    ListBox::UpdateAbsolutePosition();
    // Without a bar the base leaves no right margin: the frame's side takes its place.
    if (!GetScrollBar() && margins.right < frame_.RightWidth(scale)) {
        margins.right = frame_.RightWidth(scale);
        ComputeVisibleRows();
        if (selected >= 0)
            EnsureVisible(selected);
    }
}

bool FlimbsListBox::OnPointerLeft(Primitive* nowUnder)
{
    hoverIndex = -1;
    return ListBox::OnPointerLeft(nowUnder);
}

bool FlimbsListBox::RowBand(int row, FloatRect* band) const
{
    if (row < 0 || row >= GetCount() || row < topIndex || row >= topIndex + visibleRows)
        return false;
    const FloatRect area = TextArea();
    const float rowHeight = RowHeight();
    const float top = area.top + float(row - topIndex) * rowHeight;
    *band = FloatRect{area.left, top, area.right, top + rowHeight};
    return true;
}

bool FlimbsListBox::DrawHighlight(int row)
{
    FloatRect band;
    if (!RowBand(row, &band))
        return false;
    highlight_.DrawStretched(band.left, band.top, band.right, band.bottom, WithAlpha(0xFFFFFFFF, alpha));
    return true;
}

void FlimbsListBox::DrawSelectionHighlight()
{
    if (DrawHighlight(selected))
        drawnSelectedRow = selected;
}

void FlimbsListBox::Draw()
{
    if (!visible || !highlight)
        return;
    ComputeVisibleRows();
    frame_.Draw(rect, ScreenImageScale(), WithAlpha(0xFFFFFFFF, alpha));
    drawnSelectedRow = -1;
    drawnHoverRow = -1;
    if (hoverIndex != selected && !(styleFlags & kListNoHighlight) && DrawHighlight(hoverIndex))
        drawnHoverRow = hoverIndex;
    ListBox::Draw();
}
