#include "grid_control_fixture.h"

#include "grid/UGGrid.h"
#include "grid/UGLayout.h"

namespace {

CRect rect_of(const RECT& rect) { return CRect(rect.left, rect.top, rect.right, rect.bottom); }

// A sheet of cols x rows cells of 75 x 20 with 16-pixel scroll bars.
void make_sheet(CUGGridInfo& sheet, int cols, int rows)
{
    sheet.m_vScrollWidth = 16;
    sheet.m_hScrollHeight = 16;
    sheet.m_numberCols = cols;
    sheet.m_colInfo = new UGCOLINFO[static_cast<size_t>(cols > 0 ? cols : 1)];
    for (int col = 0; col < cols; ++col)
        sheet.m_colInfo[col].width = 75;
    sheet.m_numberRows = rows;
    sheet.m_uniformRowHeightFlag = 1;
}

}  // namespace

TEST(PartLayout, a_sheet_that_fits_gets_no_scroll_bars)
{
    CUGGridInfo sheet;
    make_sheet(sheet, 4, 10);
    const UGPartLayout layout = UGComputePartLayout(sheet, 400, 300);
    EXPECT_EQ(layout.vScrollWidth, 0);
    EXPECT_EQ(layout.hScrollHeight, 0);
    EXPECT_EQ(rect_of(layout.grid), CRect(40, 20, 400, 300));
    EXPECT_EQ(rect_of(layout.topHdg), CRect(40, 0, 400, 20));
    EXPECT_EQ(rect_of(layout.sideHdg), CRect(0, 20, 40, 300));
    EXPECT_EQ(rect_of(layout.cnrBtn), CRect(0, 0, 40, 20));
    EXPECT_EQ(rect_of(layout.vScroll), CRect(400, 0, 400, 300));
    EXPECT_EQ(rect_of(layout.hScroll), CRect(0, 300, 400, 300));
    EXPECT_EQ(rect_of(layout.tab), CRect(0, 300, 0, 300));
}

TEST(PartLayout, overflowing_rows_narrow_the_cells_and_can_bring_the_horizontal_bar)
{
    CUGGridInfo rowsOnly;
    make_sheet(rowsOnly, 4, 50);
    const UGPartLayout tall = UGComputePartLayout(rowsOnly, 400, 300);
    EXPECT_EQ(tall.vScrollWidth, 16);
    EXPECT_EQ(tall.hScrollHeight, 0);
    EXPECT_EQ(rect_of(tall.grid), CRect(40, 20, 384, 300));
    EXPECT_EQ(rect_of(tall.vScroll), CRect(384, 0, 400, 300));

    // 4 columns of 75 fill 300 of the 320 beside the heading, but not the 304 left by the bar.
    CUGGridInfo both;
    make_sheet(both, 4, 50);
    both.m_colInfo[3].width = 80;
    const UGPartLayout wide = UGComputePartLayout(both, 345, 300);
    EXPECT_EQ(wide.vScrollWidth, 16);
    EXPECT_EQ(wide.hScrollHeight, 16);
    EXPECT_EQ(rect_of(wide.grid), CRect(40, 20, 329, 284));
    EXPECT_EQ(rect_of(wide.hScroll), CRect(0, 284, 329, 300));
    EXPECT_EQ(rect_of(wide.sideHdg), CRect(0, 20, 40, 284));
}

TEST(PartLayout, a_tab_area_forces_the_bottom_row_and_spans_the_width_when_columns_fit)
{
    CUGGridInfo sheet;
    make_sheet(sheet, 2, 3);
    sheet.m_tabWidth = 50;
    const UGPartLayout layout = UGComputePartLayout(sheet, 400, 300);
    EXPECT_EQ(layout.hScrollHeight, 16);
    EXPECT_EQ(layout.tabWidth, 406);
    EXPECT_EQ(rect_of(layout.tab), CRect(0, 284, 406, 300));
    EXPECT_EQ(rect_of(layout.grid), CRect(40, 20, 400, 284));

    // With overflowing columns a tab area wider than the room left is cut back.
    CUGGridInfo wide;
    make_sheet(wide, 10, 3);
    wide.m_tabWidth = 500;
    const UGPartLayout cut = UGComputePartLayout(wide, 400, 300);
    EXPECT_EQ(cut.tabWidth, 360);
    EXPECT_EQ(rect_of(cut.hScroll), CRect(360, 284, 400, 300));
}

TEST_F(grid_control, layout_moves_every_part_and_keeps_the_configured_bar_sizes)
{
    attach(400, 300);
    shape(4, 10);
    EXPECT_EQ(grid.GetDlgItem(UG_GRID)->window_rect_in_parent(), CRect(40, 20, 400, 300));
    EXPECT_EQ(grid.GetDlgItem(UG_TOPHEADING)->window_rect_in_parent(), CRect(40, 0, 400, 20));
    EXPECT_EQ(grid.GetDlgItem(UG_SIDEHEADING)->window_rect_in_parent(), CRect(0, 20, 40, 300));
    EXPECT_EQ(grid.GetDlgItem(UG_CORNERBUTTON)->window_rect_in_parent(), CRect(0, 0, 40, 20));
    EXPECT_EQ(sheet().m_gridWidth, 360);
    EXPECT_EQ(sheet().m_gridHeight, 280);
    EXPECT_EQ(sheet().m_vScrollWidth, 16);
    EXPECT_EQ(sheet().m_hScrollHeight, 16);

    grid.SetRowCount(40);
    resize(400, 320);
    EXPECT_EQ(grid.GetDlgItem(UG_VSCROLL)->window_rect_in_parent(), CRect(384, 0, 400, 320));
    EXPECT_EQ(grid.GetDlgItem(UG_GRID)->window_rect_in_parent(), CRect(40, 20, 384, 320));
    EXPECT_EQ(grid.GetDlgItem(UG_HSCROLL)->window_rect_in_parent(), CRect(0, 320, 384, 320));
    EXPECT_EQ(grid.GetDlgItem(UG_TAB)->window_rect_in_parent(), CRect(0, 320, 0, 320));

    grid.shrink_cells_by = 30;
    grid.RecalcPartLayout();
    EXPECT_EQ(grid.GetDlgItem(UG_GRID)->window_rect_in_parent(), CRect(40, 20, 354, 320))
        << "an override of the computed layout is what the parts get";
}

TEST_F(grid_control, scroll_limits_follow_the_room_of_the_cell_area)
{
    attach(400, 70);
    shape(3, 3);
    ASSERT_EQ(sheet().m_gridHeight, 50);
    EXPECT_EQ(sheet().m_maxTopRow, 1) << "50 - 20 - 20 leaves 10; row 0 does not fit";

    grid.SetRowCount(2);
    grid.RecalcPartLayout();
    EXPECT_EQ(sheet().m_maxTopRow, 0);

    resize(400, 300);
    grid.SetRowCount(100);
    EXPECT_EQ(sheet().m_maxTopRow, 86) << "280 pixels show rows 86 to 99";
    EXPECT_EQ(grid.SetTopRow(500), 0);
    EXPECT_EQ(sheet().m_topRow, 86);
    EXPECT_TRUE(grid.logged("top row 0 to 86"));
    EXPECT_EQ(grid.SetTopRow(-4), 0);
    EXPECT_EQ(sheet().m_topRow, 0);
}

TEST_F(grid_control, the_cell_at_a_point_follows_locked_and_scrolled_columns)
{
    attach(400, 300);
    shape(20, 100);
    int col = -1, row = -1;
    RECT rect{};
    ASSERT_EQ(grid.GetCellAtPoint(80, 45, &col, &row, &rect), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(CRect(rect.left, rect.top, rect.right, rect.bottom), CRect(75, 40, 150, 60));

    EXPECT_EQ(grid.SetLockedColumns(1), 0);
    EXPECT_EQ(sheet().m_lockColWidth, 75);
    EXPECT_EQ(grid.SetLeftColumn(5), 0);
    ASSERT_EQ(grid.GetCellAtPoint(80, 5, &col, &row, &rect), 0);
    EXPECT_EQ(col, 5) << "right of the locked column comes the left column";
    ASSERT_EQ(grid.GetCellAtPoint(10, 5, &col, &row, &rect), 0);
    EXPECT_EQ(col, 0);

    EXPECT_EQ(grid.GetCellAtPoint(sheet().m_gridWidth + 1, 5, &col, &row, &rect), 1);
    EXPECT_EQ(grid.GetCellAtPoint(-1, 5, &col, &row, &rect), 1);

    RECT cell{};
    int at_col = 6, at_row = 0;
    ASSERT_EQ(grid.GetCellRect(&at_col, &at_row, &cell), 0);
    EXPECT_EQ(CRect(cell.left, cell.top, cell.right, cell.bottom), CRect(150, 0, 225, 20));
}

TEST_F(grid_control, points_beyond_the_last_column_or_row_hit_no_cell)
{
    attach(400, 300);
    shape(2, 3);
    int col = -1, row = -1;
    RECT rect{};
    EXPECT_EQ(grid.GetCellAtPoint(sheet().m_gridWidth, 5, &col, &row, &rect), 1)
        << "the width passes the range test but no column reaches it";
    EXPECT_EQ(grid.GetCellAtPoint(10, 65, &col, &row, &rect), 1);
    EXPECT_EQ(grid.GetCellAtPoint(149, 59, &col, &row, &rect), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
}

TEST_F(grid_control, a_joined_cell_answers_for_its_whole_range)
{
    attach(400, 300);
    shape(5, 5);
    CUGCell origin;
    origin.SetJoinInfo(1, 1, 1);
    grid.StoreCellAt(1, 1, &origin);
    CUGCell member;
    member.SetJoinInfo(0, -1, -1);
    grid.StoreCellAt(2, 2, &member);

    int col = -1, row = -1;
    RECT rect{};
    ASSERT_EQ(grid.GetCellAtPoint(160, 45, &col, &row, &rect), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(CRect(rect.left, rect.top, rect.right, rect.bottom), CRect(75, 20, 225, 60));
    EXPECT_EQ(grid.GotoCell(2, 2), 0);
    EXPECT_EQ(grid.GetCurrentColumn(), 1) << "a member cell moves the current cell to the origin";
    EXPECT_EQ(grid.GetCurrentRow(), 1);
}

TEST_F(grid_control, heading_sizes_are_bounded_and_scaled)
{
    attach(400, 300);
    shape(3, 3);
    EXPECT_EQ(grid.SetTopHeadingHeight(1025), 1);
    EXPECT_EQ(sheet().m_topHdgHeight, 20);

    delete[] sheet().m_topHdgHeights;
    sheet().m_topHdgHeights = new int[2]{20, 30};
    sheet().m_numberTopHdgRows = 2;
    sheet().m_topHdgHeight = 50;
    EXPECT_EQ(grid.SetTopHeadingHeight(100), 0);
    EXPECT_EQ(sheet().m_topHdgHeights[0], 40);
    EXPECT_EQ(sheet().m_topHdgHeights[1], 60);
    EXPECT_EQ(grid.GetDlgItem(UG_GRID)->window_rect_in_parent().top, 100);

    EXPECT_EQ(grid.SetTopHeadingRowHeight(-3, 10), 1);
    EXPECT_EQ(grid.SetTopHeadingRowHeight(-1, 2000), 2);
    EXPECT_EQ(grid.SetTopHeadingRowHeight(-2, 25), 0);
    EXPECT_EQ(sheet().m_topHdgHeights[1], 25);
    EXPECT_EQ(sheet().m_topHdgHeight, 100) << "with two heading rows the total is not one row's height";

    EXPECT_EQ(grid.SetSideHeadingColumnWidth(-1, 60), 0);
    EXPECT_EQ(sheet().m_sideHdgWidth, 60);
    EXPECT_EQ(grid.SetSideHeadingWidth(1025), 1);
}

TEST_F(grid_control, locked_counts_stay_inside_the_shape)
{
    attach(400, 300);
    shape(4, 6);
    EXPECT_EQ(grid.SetLockedColumns(5), 1);
    EXPECT_EQ(grid.SetLockedColumns(-1), 1);
    EXPECT_EQ(grid.SetLockedRows(2), 0);
    EXPECT_EQ(sheet().m_lockRowHeight, 40);
    EXPECT_EQ(sheet().m_topRow, 2);
    EXPECT_EQ(grid.SetLockedRows(2), 0);

    grid.SetColumnWidthAt(0, 30);
    EXPECT_EQ(grid.SetLockedColumns(2), 0);
    EXPECT_EQ(sheet().m_lockColWidth, 105);
    grid.SetColumnCount(2);
    EXPECT_EQ(sheet().m_numLockCols, 1) << "shrinking to the locked count keeps one scrolling column";
    EXPECT_EQ(sheet().m_lockColWidth, 30);
}
