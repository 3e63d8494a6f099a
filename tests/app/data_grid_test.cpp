// The data grid over a table of differences, attached without a display.

#include "data_grid_fixture.h"

#include "app/settings_keys.h"
#include "grid/UGCell.h"
#include "grid/UGGrid.h"
#include "grid/UGMultiSelect.h"
#include "platform/base/virtual_keys.h"

#include <ctime>
#include <memory>

namespace {

std::string local_time(std::time_t seconds)
{
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void press_heading(CDataGridCtrl& grid, int col) { grid.OnColumnHeadingClick(col, -1, 1, nullptr, nullptr, 0); }

void release_key(CDataGridCtrl& grid, UINT key) { grid.OnKeyReleased(&key, 0); }

}  // namespace

TEST_F(data_grid_test, cells_show_the_tables_values_through_the_column_formatters)
{
    add_difference(table, "1", "report.txt", "1536", "", "BACKUP", "1700000000", "");
    add_difference(table, "2", "notes.md", "1024", "1025", "SIZE");
    show();

    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.GetColumnCount(), 7);
    EXPECT_EQ(text_at(0, 0), "1");
    EXPECT_EQ(text_at(1, 0), "report.txt");
    EXPECT_EQ(text_at(2, 0), "1.50 KB");
    EXPECT_EQ(text_at(3, 0), local_time(1700000000));
    EXPECT_EQ(text_at(4, 0), "");  // nothing on the backup side: no size, no date
    EXPECT_EQ(text_at(5, 0), "");
    EXPECT_EQ(text_at(6, 0), "BACKUP");
    EXPECT_EQ(text_at(2, 1), "1 KB");
    EXPECT_EQ(text_at(4, 1), "1.00 KB");
    EXPECT_EQ(grid.GetDisplayedText(1, 4), "1.00 KB");
    EXPECT_EQ(grid.GetDisplayedText(5, 6), "") << "a row beyond the table has no displayed text";

    EXPECT_EQ(text_at(-1, 0), "1");
    EXPECT_EQ(text_at(-1, 1), "2");
    EXPECT_EQ(text_at(1, -1), "File Name");
    EXPECT_EQ(text_at(6, -1), "Difference");
    EXPECT_EQ(grid.m_GI->m_colInfo[2].colDefault->GetAlignment(), 2);
    EXPECT_EQ(grid.m_GI->m_colInfo[1].colDefault->GetAlignment(), 1);
}

TEST_F(data_grid_test, widths_come_from_the_settings_and_a_time_column_without_one_stays_hidden)
{
    load_settings("<Columns><Width name=\"File Name\">333</Width><Width name=\"Backup Time\">140</Width>"
                  "<Width name=\"Difference\"></Width></Columns>");
    show();
    EXPECT_EQ(grid.GetColumnWidthAt(0), 45);
    EXPECT_EQ(grid.GetColumnWidthAt(1), 333);
    EXPECT_EQ(grid.GetColumnWidthAt(3), 0);
    EXPECT_EQ(grid.GetColumnWidthAt(5), 140);
    EXPECT_EQ(grid.GetColumnWidthAt(6), 90);
    EXPECT_TRUE(events.empty()) << "laying out the columns tells the owner of no width change";
}

TEST_F(data_grid_test, binding_the_same_table_again_does_nothing_and_another_table_takes_over_the_notifications)
{
    add_difference(table, "1", "a", "1", "2", "SIZE");
    show();
    grid.SetRowCount(5);
    EXPECT_TRUE(grid.BindTable(&table));
    EXPECT_EQ(grid.GetRowCount(), 5);

    data::data_table other;
    name_result_columns(other);
    add_difference(other, "7", "b", "1", "2", "SIZE");
    add_difference(other, "8", "c", "1", "2", "SIZE");
    grid.BindTable(&other);
    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_FALSE(static_cast<bool>(table.on_change));
    add_difference(table, "2", "d", "1", "2", "SIZE");
    table.remove_row(1);
    EXPECT_EQ(grid.GetRowCount(), 2) << "the table no longer shown changes nothing";
    EXPECT_EQ(text_at(1, 1), "c");
    grid.BindTable(&table);
}

TEST_F(data_grid_test, table_changes_remove_rows_empty_the_grid_and_rebuild_it)
{
    for (int id = 1; id <= 4; ++id)
        add_difference(table, std::to_string(id), "f" + std::to_string(id), "1", "2", "SIZE");
    show();
    ASSERT_EQ(grid.GetRowCount(), 4);

    table.remove_row(2);
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(text_at(1, 1), "f3");

    table.notify = false;
    add_difference(table, "5", "f5", "1", "2", "SIZE");
    add_difference(table, "6", "f6", "1", "2", "SIZE");
    table.end_update();
    EXPECT_EQ(grid.GetRowCount(), 5);
    EXPECT_EQ(text_at(-1, 4), "5");
    EXPECT_EQ(text_at(1, 4), "f6");

    table.clear();
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(text_at(1, 0), "");
}

TEST_F(data_grid_test, the_table_may_outlive_the_grid)
{
    auto shown = std::make_unique<data::data_table>();
    name_result_columns(*shown);
    {
        CWnd owner;
        CWnd place;
        CDataGridCtrl short_lived;
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "Dialog", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
        ASSERT_TRUE(place.Create(nullptr, "", WS_CHILD, CRect(0, 0, 200, 100), &owner, UG_PLACEHOLDER_ID));
        short_lived.AttachToDialogControl(&owner);
        short_lived.BindTable(shown.get());
    }
    add_difference(*shown, "1", "a", "1", "2", "SIZE");
    shown->clear();
}

TEST_F(data_grid_test, three_presses_on_a_heading_sort_up_down_and_back_to_the_order_of_insertion)
{
    load_settings("<Background><Sorted format=\"rgb\">10,20,30</Sorted><Caption format=\"rgb\">200,201,202</Caption>"
                  "</Background>");
    add_difference(table, "1", "beta", "300", "1", "SIZE");
    add_difference(table, "2", "Alpha", "", "1", "FILE");
    add_difference(table, "3", "alp", "25", "1", "SIZE");
    add_difference(table, "4", "gamma", "4000", "1", "SIZE");
    show();
    CUGCell heading;

    press_heading(grid, 1);
    EXPECT_EQ(text_at(1, -1), "File Name [A]");
    grid.GetCell(1, -1, &heading);
    EXPECT_EQ(heading.GetBackColor(), RGB(10, 20, 30));
    EXPECT_EQ(text_at(1, 0), "alp") << "a text that begins another comes first";
    EXPECT_EQ(text_at(1, 1), "Alpha");
    EXPECT_EQ(text_at(1, 2), "beta");

    press_heading(grid, 1);
    EXPECT_EQ(text_at(1, -1), "File Name [D]");
    EXPECT_EQ(text_at(1, 0), "gamma");
    EXPECT_EQ(text_at(1, 3), "alp");

    press_heading(grid, 1);
    EXPECT_EQ(text_at(1, -1), "File Name");
    grid.GetCell(1, -1, &heading);
    EXPECT_EQ(heading.GetBackColor(), RGB(200, 201, 202));
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(text_at(0, row), std::to_string(row + 1));

    press_heading(grid, 2);
    EXPECT_EQ(text_at(2, -1), "File Size [A]");
    EXPECT_EQ(text_at(2, 0), "") << "an empty size reads 0";
    EXPECT_EQ(text_at(2, 1), "25 B");
    EXPECT_EQ(text_at(2, 3), "3.91 KB");
    press_heading(grid, 6);
    EXPECT_EQ(text_at(2, -1), "File Size") << "another column restarts the cycle";
    EXPECT_EQ(text_at(6, -1), "Difference [A]");
    EXPECT_EQ(grid.GetSortState(), CDataGridCtrl::sort_state::ascending);
    EXPECT_TRUE(events.empty());
}

TEST_F(data_grid_test, a_sort_that_fails_reports_the_column_and_the_reason)
{
    add_difference(table, "1", "a", "1", "2", "SIZE");
    show();
    grid.SetColumnCount(8);
    press_heading(grid, 7);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, 5);
    EXPECT_EQ(events[0].column, 7u);
    EXPECT_EQ(events[0].text, "An error occurred while sorting column []: Unbound column 7");
    EXPECT_THROW(grid.GetColumnsInfo().Find("Nothing"), std::exception);
}

TEST_F(data_grid_test, a_column_is_never_narrower_than_twenty_pixels)
{
    show();
    grid.SetColumnWidthAt(2, 7);
    EXPECT_EQ(grid.GetColumnWidthAt(2), 20);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, 6);
    EXPECT_EQ(events[0].column, 2u);
    EXPECT_EQ(events[0].x, 20);
}

TEST_F(data_grid_test, delete_walks_each_selected_row_once_in_order_unless_the_owner_refuses)
{
    for (int id = 1; id <= 8; ++id)
        add_difference(table, std::to_string(id), "f", "1", "2", "SIZE");
    show();
    grid.GetSelectionManager()->ClearAll();
    grid.SelectRange(0, 3, 2, 5);
    grid.SelectRange(1, 4, 1, 6);
    grid.SelectRange(0, 1, 0, 1);

    allow_delete = false;
    release_key(grid, VK_DELETE);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, 9);

    events.clear();
    allow_delete = true;
    release_key(grid, VK_DELETE);
    std::vector<std::uint64_t> rows;
    for (const fired_event& fired : events)
        if (fired.event == 8)
            rows.push_back(fired.row);
    EXPECT_EQ(rows, (std::vector<std::uint64_t> { 1, 3, 4, 5, 6 }));
    EXPECT_EQ(events.front().event, 9);
    EXPECT_EQ(events.back().event, 4);
    EXPECT_TRUE(table.notify);

    std::vector<std::string> names;
    grid.GetSelectionManager()->ForEachSelectedRow(
        [&names](long, data::data_row* row) { names.push_back(row->cells[0]); });
    EXPECT_EQ(names, (std::vector<std::string> { "2", "4", "5", "6", "7" }));
}

// An arrow moves the current cell on its press; its release moves nothing more.
TEST_F(data_grid_test, released_arrows_leave_the_current_cell_and_f5_asks_for_a_refresh)
{
    for (int id = 1; id <= 5; ++id)
        add_difference(table, std::to_string(id), "f", "1", "2", "SIZE");
    show();
    grid.GotoCell(1, 1);
    for (const UINT key : {VK_DOWN, VK_RIGHT, VK_UP, VK_LEFT})
        release_key(grid, key);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    release_key(grid, VK_F5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, 4);
}

TEST_F(data_grid_test, hints_name_the_full_path_the_exact_size_and_the_heading)
{
    load_settings("<Hints><CellValue>yes</CellValue><VerticalScroll>No</VerticalScroll></Hints>");
    table.add_row_values({ "1", "big.iso", "/main/images", "1234567", "1700000000", "1", "big.iso", "/backup/images",
                           "1234", "1600000000", "SIZE" });
    show();
    EXPECT_TRUE(grid.CellHintsEnabled());
    EXPECT_FALSE(grid.RowScrollHintsEnabled());
    for (int col = 0; col < 7; ++col)
        text_at(col, 0);

    CString hint;
    EXPECT_EQ(grid.GetCellTipText(1, 0, UG_GRID, &hint), 1);
    EXPECT_EQ(std::string(hint), "/main/images/big.iso");
    grid.GetCellTipText(2, 0, UG_GRID, &hint);
    EXPECT_EQ(std::string(hint), "1.18 MB (1,234,567 bytes)");
    grid.GetCellTipText(4, 0, UG_GRID, &hint);
    EXPECT_EQ(std::string(hint), "1.21 KB (1,234 bytes)");
    grid.GetCellTipText(6, 0, UG_GRID, &hint);
    EXPECT_EQ(std::string(hint), "SIZE");
    grid.GetCellTipText(4, -1, UG_TOPHEADING, &hint);
    EXPECT_EQ(std::string(hint), "Backup Size");
    EXPECT_EQ(grid.GetCellTipText(-1, 0, UG_SIDEHEADING, &hint), 0);

    grid.GetRowScrollHintText(0, &hint);
    EXPECT_EQ(std::string(hint), "Row 1");
    EXPECT_EQ(grid.GetColumnScrollHintText(1, &hint), 1);
    EXPECT_EQ(std::string(hint), "Column File Name");
    EXPECT_EQ(grid.GetColumnScrollHintText(11, &hint), 0);
}

TEST_F(data_grid_test, colours_apply_at_start_and_again_when_their_key_changes)
{
    load_settings("<Background><Selected format=\"rgb\">1,2,3</Selected><Unselected format=\"rgb\">4,5,6</Unselected>"
                  "<Caption format=\"rgb\">7,8,9</Caption><Sorted format=\"rgb\">10,11,12</Sorted>"
                  "<MockCopy format=\"rgb\">13,14,15</MockCopy></Background>"
                  "<Foreground><Selected format=\"rgb\">16,17,18</Selected>"
                  "<Unselected format=\"rgb\">19,20,21</Unselected></Foreground>");
    add_difference(table, "1", "a", "1", "2", "SIZE");
    show();
    CUGCell cell;
    grid.GetCell(3, 0, &cell);
    EXPECT_EQ(cell.GetHBackColor(), RGB(1, 2, 3));
    EXPECT_EQ(cell.GetBackColor(), RGB(4, 5, 6));
    EXPECT_EQ(cell.GetTextColor(), RGB(19, 20, 21));
    EXPECT_EQ(cell.GetHTextColor(), RGB(16, 17, 18));
    EXPECT_EQ(grid.GetCaptionColor(), RGB(7, 8, 9));
    EXPECT_EQ(appearance.MockCopyColour(), RGB(13, 14, 15));

    store.callback([this](const std::string& key, const std::string&, const std::string&) { appearance.Reread(key); });
    settings_keys::write_colour(store, settings_keys::grid_unselected_background, RGB(90, 91, 92));
    settings_keys::write_colour(store, settings_keys::grid_caption_background, RGB(93, 94, 95));
    settings_keys::write_colour(store, settings_keys::grid_sorted_background, RGB(96, 97, 98));
    settings_keys::write_switch(store, settings_keys::cell_hint, true);
    appearance.Reread("TARVOLINE/APPEARANCE/GRID/HINTS/HORIZONTALSCROLL");
    grid.GetCell(3, 0, &cell);
    EXPECT_EQ(cell.GetBackColor(), RGB(90, 91, 92));
    EXPECT_EQ(grid.GetCaptionColor(), RGB(93, 94, 95));
    EXPECT_EQ(grid.GetSortedColor(), RGB(10, 11, 12)) << "the sorted colour is read only at start";
    EXPECT_TRUE(grid.CellHintsEnabled());
    EXPECT_FALSE(grid.ColumnScrollHintsEnabled());
}

// A screenful costs the same whatever the table's size: only shown cells are read and formatted.
TEST_F(data_grid_test, a_screenful_costs_the_same_for_a_hundred_and_a_million_rows)
{
    show();
    // The rows a paint of the middle of the table reads and formats; its time is measured in bench/.
    const auto rows_read_by_a_paint = [this](std::size_t rows) {
        table.notify = false;
        table.clear();
        // The table grows its row list by a hundred at a time; reserving keeps the fill linear.
        table.rows.reserve(rows);
        for (std::size_t row = table.rows.size(); row < rows; ++row)
            add_difference(table, std::to_string(row + 1), "file" + std::to_string(row), std::to_string(row * 77),
                           "12", "SIZE");
        table.end_update();
        const int top = static_cast<int>(rows / 2);
        grid.SetTopRow(top);
        grid.m_CUGGrid->UpdateWindow();
        EXPECT_EQ(grid.GetDisplayedText(static_cast<std::uint64_t>(top), 1), "file" + std::to_string(top));
        EXPECT_EQ(grid.GetDisplayedText(static_cast<std::uint64_t>(top - 1), 1), "") << "above the screen";
        // Rows read at all since the rebuild: the screen at the top and the one jumped to.
        EXPECT_LE(grid.GetDisplayLayout().RowCount(), 40u);
        std::size_t shown = 0;
        for (int row = top; row < top + 40; ++row)
            shown += !grid.GetDisplayedText(static_cast<std::uint64_t>(row), 1).empty();
        return shown;
    };
    const std::size_t small = rows_read_by_a_paint(100);
    const std::size_t large = rows_read_by_a_paint(1000000);
    EXPECT_EQ(grid.GetRowCount(), 1000000);
    EXPECT_GT(small, 0u);
    EXPECT_EQ(large, small);
}

TEST_F(data_grid_test, the_walk_over_selected_rows_skips_a_row_the_user_deselected)
{
    for (int id = 1; id <= 6; ++id)
        add_difference(table, std::to_string(id), "f", "1", "2", "SIZE");
    show();
    CDataGridCtrl::MultiSelectManager& selection = *grid.GetSelectionManager();
    selection.ClearAll();
    selection.OnLeftPress(1, 1, 0);
    selection.OnLeftPress(1, 4, MK_SHIFT);
    selection.OnLeftPress(1, 2, MK_CONTROL);

    std::vector<long> rows;
    selection.ForEachSelectedRow([&rows](long row, data::data_row*) { rows.push_back(row); });
    EXPECT_EQ(rows, (std::vector<long> { 1, 3, 4 })) << "Delete would remove the files of a deselected row";
}

TEST_F(data_grid_test, the_corner_keeps_the_colour_its_owner_gave_it)
{
    add_difference(table, "1", "a.txt", "1", "2", "SIZE");
    show();
    grid.SetCellBackColorAt(-1, -1, RGB(255, 190, 190));
    grid.RepaintAllParts();
    CUGCell corner;
    grid.GetCell(-1, -1, &corner);
    EXPECT_EQ(corner.GetBackColor(), RGB(255, 190, 190)) << "fetching never paints the caption colour over it";
}
