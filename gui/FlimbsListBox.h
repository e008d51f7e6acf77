#pragma once
// The skinned list box: the seven-piece list frame of "Graphics\Menu\ListBox\", the rows
// inside it, "list-highlight.png" stretched under the hovered row and under the selected
// one, and a FlimbsScrollBar on the right edge while the rows do not fit.
#include "gui/ListBox.h"
#include "gui/ListFrameSkin.h"
#include "gui/SkinImage.h"

class FlimbsListBox : public ListBox {
public:
    FlimbsListBox();
    ~FlimbsListBox() override;

    // The frame, the hover highlight, then the rows (with the selection's highlight) and the
    // scroll bar.
    void Draw() override;
    // The rows sit inside the frame; the scroll bar, while there is one, covers its right side.
    void UpdateAbsolutePosition() override;
    // The hovered row is forgotten when the pointer leaves.
    bool OnPointerLeft(Primitive* nowUnder) override;
    // Flag 2 makes a FlimbsScrollBar when there is none; without it the bar goes.
    void SetStyleFlags(uint32_t flags) override;
    // "list-highlight.png" over the selected row's band.
    void DrawSelectionHighlight() override;

    // The band of a visible row (pixels); false for a row that is not shown.
    bool RowBand(int row, FloatRect* band) const;

    // The rows that got the highlight image in the last Draw (-1: none).
    int32_t drawnHoverRow = -1;
    int32_t drawnSelectedRow = -1;

private:
    // False when the row is not shown.
    bool DrawHighlight(int row);

    ListFrameSkin frame_;
    SkinImage highlight_;
};
