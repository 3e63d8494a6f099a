// What the data grid keeps per row of a large table: nothing but what is drawn. Row labels are
// answered from the row's position and the displayed texts are a bounded cache that forgets
// when the rows under it move.

#include "data_grid_fixture.h"

#include "grid/UGCell.h"
#include "grid/UGGrid.h"
#include "grid/UGMem.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using DisplayLayout = CDataGridCtrl::DisplayLayout;

void press_heading(CDataGridCtrl& grid, int col) { grid.OnColumnHeadingClick(col, -1, 1, nullptr, nullptr, 0); }

void fill(data::data_table& table, std::size_t rows)
{
    table.notify = false;
    table.clear();
    table.rows.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row)
        add_difference(table, std::to_string(row + 1), "file" + std::to_string(row), "1", "2", "SIZE");
    table.end_update();
}

// A grid that counts the cells it is asked for, to see how much a jump reads.
class counting_grid : public CDataGridCtrl {
public:
    void OnFetchCell(int col, int row, CUGCell* cell) override
    {
        ++fetched;
        CDataGridCtrl::OnFetchCell(col, row, cell);
    }
    int fetched = 0;
};

}  // namespace

TEST_F(data_grid_test, row_labels_follow_positions_through_sort_removal_and_rebind)
{
    for (const char* name : { "c", "a", "e", "b", "d" })
        add_difference(table, "1", name, "1", "2", "SIZE");
    show();
    const auto labels = [this] {
        std::vector<std::string> shown;
        for (int row = 0; row < grid.GetRowCount(); ++row)
            shown.push_back(text_at(-1, row));
        return shown;
    };
    press_heading(grid, 1);
    EXPECT_EQ(text_at(1, 0), "a");
    EXPECT_EQ(labels(), (std::vector<std::string> { "1", "2", "3", "4", "5" })) << "a label names the place, not the row";

    table.remove_row(2);
    EXPECT_EQ(labels(), (std::vector<std::string> { "1", "2", "3", "4" })) << "the rows below close up under their labels";

    data::data_table other;
    name_result_columns(other);
    fill(other, 7);
    grid.BindTable(&other);
    EXPECT_EQ(labels(), (std::vector<std::string> { "1", "2", "3", "4", "5", "6", "7" }));
    EXPECT_EQ(text_at(-1, 7), "") << "no label below the last row";
    grid.BindTable(&table);
    EXPECT_EQ(labels().back(), "4");
}

TEST_F(data_grid_test, nothing_is_stored_per_row_whatever_the_tables_size)
{
    show();
    const auto stored_rows = [this] { return grid.m_GI->m_CUGMem->GetNumRows(); };
    const int empty = stored_rows();
    fill(table, 100);
    EXPECT_EQ(stored_rows(), empty);
    fill(table, 200000);
    EXPECT_EQ(stored_rows(), empty) << "a table's size must not grow the grid's own storage";
    EXPECT_LE(empty, 1);
}

TEST(data_grid_rows, a_far_jump_fetches_the_same_cells_from_a_small_and_a_large_table)
{
    const auto cells_fetched_by_ctrl_end = [](std::size_t rows) {
        data::data_table table;
        name_result_columns(table);
        fill(table, rows);
        CWnd dialog;
        CWnd placeholder;
        counting_grid grid;
        for (std::uint64_t col = 0; col < 7; ++col) {
            CDataGridCtrl::ColumnDescriptor descriptor;
            descriptor.caption = "c" + std::to_string(col);
            descriptor.data_column = static_cast<std::uint32_t>(col);
            descriptor.width = 60;
            grid.AddColumn(col, descriptor.caption, descriptor);
        }
        EXPECT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 400), nullptr, 0));
        EXPECT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 560, 360), &dialog,
                                       UG_PLACEHOLDER_ID));
        grid.AttachToDialogControl(&dialog);
        grid.BindTable(&table);
        grid.m_CUGGrid->UpdateWindow();
        grid.fetched = 0;
        platform::set_key_down(VK_CONTROL, true);
        grid.m_CUGGrid->SendMessage(WM_KEYDOWN, VK_END, 0);
        platform::set_key_down(VK_CONTROL, false);
        grid.m_CUGGrid->UpdateWindow();
        EXPECT_EQ(grid.GetCurrentRow(), static_cast<int>(rows) - 1);
        EXPECT_EQ(grid.GetDisplayedText(rows - 1, 1), "file" + std::to_string(rows - 1)) << "the last row was drawn";
        return grid.fetched;
    };
    const int small = cells_fetched_by_ctrl_end(300);
    EXPECT_GT(small, 0);
    EXPECT_EQ(cells_fetched_by_ctrl_end(300000), small);
}

// Row 80 is below the screen: nothing repaints it, so only forgetting keeps its hint right.
TEST_F(data_grid_test, displayed_texts_are_forgotten_when_the_rows_under_them_move)
{
    fill(table, 100);
    show();
    const auto drawn = [this](int row) {
        text_at(1, row);
        return grid.GetDisplayedText(static_cast<std::uint64_t>(row), 1);
    };
    ASSERT_EQ(drawn(80), "file80");

    press_heading(grid, 1);
    press_heading(grid, 1);
    EXPECT_EQ(grid.GetDisplayedText(80, 1), "") << "a hint must not name the row that was there before the sort";
    EXPECT_EQ(drawn(80), "file26");
    press_heading(grid, 1);

    table.remove_row(1);
    EXPECT_EQ(grid.GetDisplayedText(80, 1), "") << "removed";
    EXPECT_EQ(drawn(80), "file81");

    table.notify = false;
    table.rows[80]->cells[1] = "renamed";
    table.end_update();
    EXPECT_EQ(grid.GetDisplayedText(80, 1), "") << "refilled";
    EXPECT_EQ(drawn(80), "renamed");

    data::data_table other;
    name_result_columns(other);
    fill(other, 100);
    grid.BindTable(&other);
    EXPECT_EQ(grid.GetDisplayedText(80, 1), "") << "rebound";
    grid.BindTable(&table);
}

TEST_F(data_grid_test, scrolling_through_every_row_keeps_the_displayed_texts_bounded)
{
    const std::size_t rows = DisplayLayout::RowsPerGeneration * 5;
    fill(table, rows);
    show();
    for (int row = 0; row < static_cast<int>(rows); ++row)
        for (int col = 0; col < 7; ++col)
            text_at(col, row);
    EXPECT_LE(grid.GetDisplayLayout().RowCount(), 2 * DisplayLayout::RowsPerGeneration);
    EXPECT_EQ(grid.GetDisplayedText(rows - 1, 1), "file" + std::to_string(rows - 1));
    EXPECT_EQ(grid.GetDisplayedText(rows - DisplayLayout::RowsPerGeneration, 6), "SIZE")
        << "a screenful drawn lately is still there for its hints";
}

TEST(display_layout, a_row_drawn_again_keeps_its_other_columns_and_the_oldest_rows_go_first)
{
    DisplayLayout layout;
    layout.Store(0, 0, "id");
    layout.Store(0, 2, "size");
    for (std::uint64_t row = 1; row < DisplayLayout::RowsPerGeneration; ++row)
        layout.Store(row, 0, "x");
    layout.Store(DisplayLayout::RowsPerGeneration, 0, "starts the next generation");
    layout.Store(0, 1, "name");
    EXPECT_EQ(layout.Find(0, 0), "id");
    EXPECT_EQ(layout.Find(0, 1), "name");
    EXPECT_EQ(layout.Find(0, 2), "size");
    EXPECT_EQ(layout.Find(0, 9), "");

    for (std::uint64_t row = 0; row < 2 * DisplayLayout::RowsPerGeneration; ++row)
        layout.Store(DisplayLayout::RowsPerGeneration + 1 + row, 0, "later");
    EXPECT_EQ(layout.Find(1, 0), "") << "a row not drawn for two generations is gone";
    EXPECT_LE(layout.RowCount(), 2 * DisplayLayout::RowsPerGeneration);
    layout.Clear();
    EXPECT_EQ(layout.RowCount(), 0u);
}
