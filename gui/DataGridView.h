#pragma once
// A grid of rows under a header of columns. The rows belong to the caller (the grid keeps
// pointers and never frees them); each row gives its fields by index through DataRowBase.
// A column names a field, turns a row into its cell text and has a width. A click on a row
// selects it and calls the row handler; a click on a header sorts by that column (again:
// the other way). Sorting keeps the selected row selected wherever it moves.
#include "gui/PrimContainer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum DataFieldType : int { kFieldNone = 0, kFieldInt = 1, kFieldText = 2, kFieldFloat = 3 };

class DataRowBase {
public:
    virtual ~DataRowBase() = default;
    // The kind of field index (kFieldNone when there is no such field).
    virtual int ColumnType(int index) const = 0;
    virtual int ColumnCount() const = 0;
    // The address of field index: int32_t, std::string or float by its kind; null when none.
    virtual const void* ColumnField(int index) const = 0;

    // The field as text ("" when missing) and as a number (0 when missing or text).
    std::string FieldText(int index) const;
    double FieldNumber(int index) const;
};

class DataGridViewColumn {
public:
    DataGridViewColumn(std::string header, int fieldIndex, float width)
        : header(std::move(header)), fieldIndex(fieldIndex), width(width)
    {
    }
    virtual ~DataGridViewColumn() = default;
    virtual std::string CellText(const DataRowBase& row) const = 0;
    // Negative when a goes before b, positive after, 0 when equal: numbers by value, text
    // without regard to ASCII case.
    virtual int Compare(const DataRowBase& a, const DataRowBase& b) const;

    std::string header;
    int fieldIndex;
    float width; // virtual units
};

// Shows the field itself: text as it is, integers in decimal, floats with two decimals.
class DirectDataGridViewColumn : public DataGridViewColumn {
public:
    using DataGridViewColumn::DataGridViewColumn;
    std::string CellText(const DataRowBase& row) const override;
};

class DataGridView : public PrimContainer {
public:
    using RowHandler = std::function<void(DataGridView* grid, void* argument)>;

    DataGridView();

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    void Draw() override;

    void AddColumn(std::unique_ptr<DataGridViewColumn> column);
    // A DirectDataGridViewColumn.
    void AddColumn(const std::string& header, int fieldIndex, float width);
    size_t ColumnCount() const { return columns_.size(); }
    DataGridViewColumn* Column(size_t index) const { return index < columns_.size() ? columns_[index].get() : nullptr; }

    // Replaces the rows (nulls are left out), keeping the selected row when it is still
    // among them and the current sort.
    void SetRows(const std::vector<DataRowBase*>& rows);
    // Forgets every row and the selection.
    void ClearRows();
    size_t RowCount() const { return rows_.size(); }
    // The row shown at a position (null outside).
    DataRowBase* RowAt(int position) const;

    // Stable; the selection follows its row. A column out of range is ignored.
    void SortByColumn(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }

    // -1: none. Out of range selects nothing.
    void SetSelectedIndex(int position);
    int SelectedIndex() const { return selected_; }
    DataRowBase* SelectedRow() const { return RowAt(selected_); }

    void SetRowHandler(RowHandler handler, void* argument);

    // Pixels at the current screen.
    float RowHeight() const;
    float HeaderHeight() const { return RowHeight(); }
    int FirstVisibleRow() const { return firstVisible_; }

    int fontId = 4;
    uint32_t textColour = 0xFFFFFFFF;
    uint32_t headerColour = 0xFF33404C;
    uint32_t rowColours[2] = {0xFF1C2630, 0xFF222E3A};
    uint32_t selectedColour = 0xFF4FB3FF;

protected:
    // The looks of the header, the rows and the lines between columns (pixels); skinned
    // grids draw their own. Rows are numbered from 0 in the order shown.
    virtual void DrawHeaderBack(const FloatRect& area);
    virtual void DrawRowBack(int position, bool selected, const FloatRect& area);
    // Between two columns at x, from top to bottom; nothing here.
    virtual void DrawColumnDivider(float x, float top, float bottom);

private:
    // The column under a screen x, or -1.
    int ColumnAtX(float x) const;

    std::vector<std::unique_ptr<DataGridViewColumn>> columns_;
    std::vector<DataRowBase*> rows_;
    int selected_ = -1;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    int firstVisible_ = 0;
    RowHandler handler_;
    void* handlerArgument_ = nullptr;
};
