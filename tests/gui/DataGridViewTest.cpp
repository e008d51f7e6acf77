#include "GuiFixture.h"

#include "gui/DataGridView.h"

#include <memory>

namespace {

class TestRow : public DataRowBase {
public:
    TestRow(std::string name, int32_t score, float ratio) : name(std::move(name)), score(score), ratio(ratio) {}
    int ColumnType(int index) const override
    {
        static constexpr int kTypes[] = {kFieldText, kFieldInt, kFieldFloat};
        return index >= 0 && index < 3 ? kTypes[index] : kFieldNone;
    }
    int ColumnCount() const override { return 3; }
    const void* ColumnField(int index) const override
    {
        switch (index) {
        case 0: return &name;
        case 1: return &score;
        case 2: return &ratio;
        default: return nullptr;
        }
    }
    std::string name;
    int32_t score;
    float ratio;
};

class DataGridViewTest : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        rows_.push_back(std::make_unique<TestRow>("cid", 5, 0.5f));
        rows_.push_back(std::make_unique<TestRow>("Ann", 12, 0.25f));
        rows_.push_back(std::make_unique<TestRow>("bob", 5, 1.0f));
        rows_.push_back(std::make_unique<TestRow>("Dee", -3, 2.0f));
        grid_.AddColumn("Name", 0, 300.0f);
        grid_.AddColumn("Score", 1, 200.0f);
        grid_.AddColumn("Ratio", 2, 200.0f);
        grid_.SetPosition(0.0f, 0.0f);
        grid_.SetSize(700.0f, 500.0f);
        grid_.SetRows({rows_[0].get(), nullptr, rows_[1].get(), rows_[2].get(), rows_[3].get()});
    }
    std::string Names()
    {
        std::string names;
        for (size_t i = 0; i < grid_.RowCount(); ++i)
            names += static_cast<TestRow*>(grid_.RowAt(int(i)))->name + " ";
        return names;
    }
    // A press and release at a row (-1: the header) in a column.
    void ClickAt(int row, int column)
    {
        const int x = column * 300 + 10;
        const int y = int(grid_.HeaderHeight() + grid_.RowHeight() * float(row) + grid_.RowHeight() / 2);
        grid_.OnLeftButton(x, y, kPhaseDown);
        grid_.OnLeftButton(x, y, kPhaseUp);
    }

    std::vector<std::unique_ptr<TestRow>> rows_;
    DataGridView grid_;
};

TEST_F(DataGridViewTest, DirectColumnsShowTheFieldsThemselves)
{
    ASSERT_EQ(grid_.RowCount(), 4u); // the null row is left out
    struct Case {
        size_t column;
        std::string text;
    };
    const Case cases[] = {{0, "Ann"}, {1, "12"}, {2, "0.25"}};
    for (const Case& c : cases)
        EXPECT_EQ(grid_.Column(c.column)->CellText(*rows_[1]), c.text);
    DirectDataGridViewColumn missing("None", 9, 100.0f);
    EXPECT_EQ(missing.CellText(*rows_[1]), "");
    EXPECT_EQ(grid_.Column(7), nullptr);
}

TEST_F(DataGridViewTest, SortingByAColumnKeepsTheSelectedRow)
{
    grid_.SetSelectedIndex(2); // bob
    struct Case {
        int column;
        bool ascending;
        std::string order;
        int selected;
    };
    const Case cases[] = {
        {1, true, "Dee cid bob Ann ", 2},  // numbers; equal scores keep their order
        {1, false, "Ann cid bob Dee ", 2},
        {0, true, "Ann bob cid Dee ", 1},  // text without regard to case
        {2, false, "Dee bob cid Ann ", 1},
        {5, true, "Dee bob cid Ann ", 1},  // no such column: nothing changes
    };
    for (const Case& c : cases) {
        grid_.SortByColumn(c.column, c.ascending);
        EXPECT_EQ(Names(), c.order) << c.column;
        EXPECT_EQ(grid_.SelectedIndex(), c.selected) << c.column;
        EXPECT_EQ(grid_.SelectedRow(), rows_[2].get());
    }

    // New rows keep the sort and the selection; a selection that left is dropped.
    grid_.SortByColumn(0, true);
    grid_.SetRows({rows_[3].get(), rows_[2].get()});
    EXPECT_EQ(Names(), "bob Dee ");
    EXPECT_EQ(grid_.SelectedRow(), rows_[2].get());
    grid_.SetRows({rows_[3].get()});
    EXPECT_EQ(grid_.SelectedIndex(), -1);
    grid_.SetSelectedIndex(4);
    EXPECT_EQ(grid_.SelectedIndex(), -1);
    grid_.ClearRows();
    EXPECT_EQ(grid_.RowCount(), 0u);
    EXPECT_EQ(grid_.SelectedRow(), nullptr);
}

TEST_F(DataGridViewTest, ClicksSortByHeadersAndChooseRows)
{
    int handled = 0;
    int argument = 42;
    grid_.SetRowHandler(
        [&](DataGridView* grid, void* given) {
            ++handled;
            EXPECT_EQ(grid, &grid_);
            EXPECT_EQ(given, &argument);
        },
        &argument);
    ClickAt(-1, 1); // the Score header
    EXPECT_EQ(grid_.SortColumn(), 1);
    EXPECT_TRUE(grid_.SortAscending());
    ClickAt(-1, 1); // again: the other way
    EXPECT_FALSE(grid_.SortAscending());
    EXPECT_EQ(Names(), "Ann cid bob Dee ");
    EXPECT_EQ(handled, 0);

    ClickAt(1, 0);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(grid_.SelectedRow(), rows_[0].get()); // cid
    EXPECT_TRUE(grid_.GetPressed());
    ClickAt(-1, 0); // sorted by name: cid moves, still selected
    EXPECT_EQ(grid_.SelectedIndex(), 2);
    ClickAt(9, 0); // below the last row
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(grid_.SelectedIndex(), 2);

    EXPECT_EQ(grid_.OnWheel(-120), &grid_);
    EXPECT_EQ(grid_.FirstVisibleRow(), 1);
    for (int i = 0; i < 10; ++i)
        grid_.OnWheel(-120);
    EXPECT_EQ(grid_.FirstVisibleRow(), 3);
    grid_.Draw(); // no device: nothing drawn, nothing breaks
}

} // namespace
