#include "gui/DataGridView.h"

#include "app/StringUtil.h"
#include "gui/UiScale.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDefaultRowPixels = 20.0f;
constexpr float kCellPaddingPixels = 4.0f;

int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

std::string DataRowBase::FieldText(int index) const
{
    const void* field = ColumnField(index);
    if (!field)
        return {};
    switch (ColumnType(index)) {
    case kFieldInt: return StringPrintf("%d", *static_cast<const int32_t*>(field));
    case kFieldText: return *static_cast<const std::string*>(field);
    case kFieldFloat: return StringPrintf("%.2f", double(*static_cast<const float*>(field)));
    default: return {};
    }
}

double DataRowBase::FieldNumber(int index) const
{
    const void* field = ColumnField(index);
    if (!field)
        return 0.0;
    switch (ColumnType(index)) {
    case kFieldInt: return *static_cast<const int32_t*>(field);
    case kFieldFloat: return *static_cast<const float*>(field);
    default: return 0.0;
    }
}

int DataGridViewColumn::Compare(const DataRowBase& a, const DataRowBase& b) const
{
    const int type = a.ColumnType(fieldIndex);
    if (type == kFieldInt || type == kFieldFloat) {
        const double x = a.FieldNumber(fieldIndex), y = b.FieldNumber(fieldIndex);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    return CompareNoCase(a.FieldText(fieldIndex), b.FieldText(fieldIndex));
}

std::string DirectDataGridViewColumn::CellText(const DataRowBase& row) const { return row.FieldText(fieldIndex); }

DataGridView::DataGridView() = default;

void DataGridView::AddColumn(std::unique_ptr<DataGridViewColumn> column)
{
    if (column)
        columns_.push_back(std::move(column));
}

void DataGridView::AddColumn(const std::string& header, int fieldIndex, float width)
{
    AddColumn(std::make_unique<DirectDataGridViewColumn>(header, fieldIndex, width));
}

void DataGridView::SetRows(const std::vector<DataRowBase*>& rows)
{
    DataRowBase* keep = SelectedRow();
    rows_.clear();
    for (DataRowBase* row : rows)
        if (row)
            rows_.push_back(row);
    selected_ = -1;
    if (sortColumn_ >= 0)
        SortByColumn(sortColumn_, sortAscending_);
    for (size_t i = 0; keep && i < rows_.size(); ++i)
        if (rows_[i] == keep)
            selected_ = int(i);
    firstVisible_ = std::clamp(firstVisible_, 0, std::max(0, int(rows_.size()) - 1));
}

void DataGridView::ClearRows()
{
    rows_.clear();
    selected_ = -1;
    firstVisible_ = 0;
}

DataRowBase* DataGridView::RowAt(int position) const
{
    return position >= 0 && position < int(rows_.size()) ? rows_[size_t(position)] : nullptr;
}

void DataGridView::SortByColumn(int column, bool ascending)
{
    if (column < 0 || column >= int(columns_.size()))
        return;
    DataRowBase* keep = SelectedRow();
    const DataGridViewColumn& by = *columns_[size_t(column)];
    std::stable_sort(rows_.begin(), rows_.end(), [&](const DataRowBase* a, const DataRowBase* b) {
        const int order = by.Compare(*a, *b);
        return ascending ? order < 0 : order > 0;
    });
    sortColumn_ = column;
    sortAscending_ = ascending;
    selected_ = -1;
    for (size_t i = 0; keep && i < rows_.size(); ++i)
        if (rows_[i] == keep)
            selected_ = int(i);
}

void DataGridView::SetSelectedIndex(int position) { selected_ = RowAt(position) ? position : -1; }

void DataGridView::SetRowHandler(RowHandler handler, void* argument)
{
    handler_ = std::move(handler);
    handlerArgument_ = argument;
}

float DataGridView::RowHeight() const
{
    Font* font = FontManager::GetFont(fontId);
    const float text = font ? font->LineHeight(GetUiScale()) : 0.0f;
    return std::max(text, kDefaultRowPixels * GetUiScale()) + 2.0f * kCellPaddingPixels * GetUiScale();
}

int DataGridView::ColumnAtX(float x) const
{
    float left = rect.left;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const float right = left + ToPixelsX(columns_[i]->width);
        if (x >= left && x < right)
            return int(i);
        left = right;
    }
    return -1;
}

Primitive* DataGridView::OnLeftButton(int x, int y, int phase)
{
    if (Primitive* taker = PrimContainer::OnLeftButton(x, y, phase); taker && taker != this)
        return taker;
    if (phase != kPhaseDown || !PointInRect(x, y))
        return nullptr;
    const float local = float(y) - rect.top;
    if (local < HeaderHeight()) {
        const int column = ColumnAtX(float(x));
        if (column >= 0)
            SortByColumn(column, column == sortColumn_ ? !sortAscending_ : true);
        return this;
    }
    const int position = firstVisible_ + int((local - HeaderHeight()) / RowHeight());
    if (!RowAt(position))
        return this;
    selected_ = position;
    pressed = 1;
    if (handler_)
        handler_(this, handlerArgument_); // may change the rows: nothing is read afterwards
    return this;
}

Primitive* DataGridView::OnWheel(int delta)
{
    if (rows_.empty())
        return nullptr;
    const int steps = delta > 0 ? -1 : (delta < 0 ? 1 : 0);
    firstVisible_ = std::clamp(firstVisible_ + steps, 0, int(rows_.size()) - 1);
    return this;
}

void DataGridView::Draw()
{
    const float rowHeight = RowHeight();
    Font* font = FontManager::GetFont(fontId);
    const float padding = kCellPaddingPixels * GetUiScale();
    auto drawCells = [&](float top, const std::function<std::string(const DataGridViewColumn&)>& text) {
        float left = rect.left;
        for (const auto& column : columns_) {
            const float right = std::min(left + ToPixelsX(column->width), rect.right);
            if (font && right - left > 2.0f * padding)
                font->DrawTextLines(left + padding, top + padding, GetUiScale(), GetUiScale(), textColour,
                                    text(*column), 0, right - left - 2.0f * padding);
            left = right;
        }
    };
    const float headerBottom = std::min(rect.top + rowHeight, rect.bottom);
    DrawHeaderBack(FloatRect{rect.left, rect.top, rect.right, headerBottom});
    drawCells(rect.top, [](const DataGridViewColumn& column) { return column.header; });
    float top = headerBottom;
    for (int i = firstVisible_; i < int(rows_.size()) && top < rect.bottom; ++i, top += rowHeight) {
        const float bottom = std::min(top + rowHeight, rect.bottom);
        DrawRowBack(i, i == selected_, FloatRect{rect.left, top, rect.right, bottom});
        const DataRowBase& row = *rows_[size_t(i)];
        drawCells(top, [&](const DataGridViewColumn& column) { return column.CellText(row); });
    }
    // The lines between columns run from the header to the last row drawn.
    float columnRight = rect.left;
    for (size_t c = 0; c + 1 < columns_.size(); ++c) {
        columnRight += ToPixelsX(columns_[c]->width);
        if (columnRight >= rect.right)
            break;
        DrawColumnDivider(columnRight, rect.top, std::min(top, rect.bottom));
    }
    PrimContainer::Draw();
}

void DataGridView::DrawHeaderBack(const FloatRect& area)
{
    Draw2D::DrawFilledRect(area.left, area.top, area.right, area.bottom, headerColour);
}

void DataGridView::DrawRowBack(int position, bool selected, const FloatRect& area)
{
    Draw2D::DrawFilledRect(area.left, area.top, area.right, area.bottom,
                           selected ? selectedColour : rowColours[position % 2]);
}

void DataGridView::DrawColumnDivider(float, float, float) {}
