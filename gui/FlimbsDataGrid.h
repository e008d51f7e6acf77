#pragma once
// The skinned data grid: the header on "header-back.png", body rows alternating
// "row-back.png" and "row2-back.png", and "column-divider.png" between the columns. The
// selected row keeps its row image under a wash of the selection colour.

#include "gui/DataGridView.h"
#include "gui/SkinImage.h"

class FlimbsDataGrid : public DataGridView {
public:
    FlimbsDataGrid();

    uint8_t selectionAlpha = 0x80;

protected:
    void DrawHeaderBack(const FloatRect& area) override;
    void DrawRowBack(int position, bool selected, const FloatRect& area) override;
    void DrawColumnDivider(float x, float top, float bottom) override;

private:
    SkinImage header_;
    SkinImage rows_[2];
    SkinImage divider_;
};
