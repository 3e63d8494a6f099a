// The headings and the corner button painting in a real window under Xvfb.
#include "grid_window.h"

#include "platform/gui/gui_support.h"

#include "grid/UGCellType.h"
#include "grid/UGCnrBtn.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTopHdg.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <gtest/gtest.h>

namespace {

COLORREF colour_for(int col, long row) { return RGB((row + 10) % 256, (col + 10) % 256, 200); }

// Paints each cell in a colour that names it, so a pixel tells which cell was drawn where.
class naming_type : public CUGCellType {
public:
    void OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell*, int, int) override
    {
        dc->FillSolidRect(rect, colour_for(col, row));
    }
};

class headings_in_a_window : public grid_test::grid_window_fixture<CUGCtrl> {
protected:
    void SetUp() override
    {
        if (open_grid(4, 100))
            lay_out();
    }
    void use_naming_type()
    {
        const int index = grid.AddCellType(&naming);
        grid.m_GI->m_hdgDefaults->SetCellType(index);
        grid.RepaintAllParts();
        platform::process_toolkit_events();
    }
    static void send(CWnd& window, UINT message, int x, int y, WPARAM flags = 0)
    {
        window.SendMessage(message, flags, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }

    naming_type naming;
};

}  // namespace

TEST_F(headings_in_a_window, heading_cells_are_drawn_by_their_type_and_the_rest_in_the_section_colour)
{
    for (int col = 0; col < 4; ++col) {
        CString text;
        text.Format("Column %d", col);
        grid.SetCellTextAt(col, -1, text);
    }
    for (int row = 0; row < 20; ++row) {
        CString text;
        text.Format("%d", row + 1);
        grid.SetCellTextAt(-1, row, text);
    }
    grid.RepaintAllParts();
    platform::process_toolkit_events();
    platform::save_window_png(grid, "/tmp/headings_default_type.png");
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGTopHdg, 330, 10), face) << "past the last column";

    use_naming_type();
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    EXPECT_EQ(gui_test::pixel_at(top, 10, 10), colour_for(0, -1));
    EXPECT_EQ(gui_test::pixel_at(top, 160, 10), colour_for(2, -1));
    EXPECT_EQ(gui_test::pixel_at(top, 330, 10), face);
    EXPECT_EQ(gui_test::pixel_at(side, 20, 5), colour_for(-1, 0));
    EXPECT_EQ(gui_test::pixel_at(side, 20, 65), colour_for(-1, 3));
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGCnrBtn, 20, 10), colour_for(-1, -1));
}

TEST_F(headings_in_a_window, the_side_heading_follows_the_top_row_after_a_scroll)
{
    use_naming_type();
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    grid.SetTopRow(3);
    platform::process_toolkit_events();
    EXPECT_EQ(gui_test::pixel_at(side, 20, 5), colour_for(-1, 3));
    EXPECT_EQ(gui_test::pixel_at(side, 20, 245), colour_for(-1, 15));
    grid.SetTopRow(1);
    platform::process_toolkit_events();
    EXPECT_EQ(gui_test::pixel_at(side, 20, 5), colour_for(-1, 1));
    EXPECT_EQ(gui_test::pixel_at(side, 20, 45), colour_for(-1, 3));
    grid.SetTopRow(60);
    platform::process_toolkit_events();
    EXPECT_EQ(gui_test::pixel_at(side, 20, 25), colour_for(-1, 61)) << "a jump past the height repaints all";
}

TEST_F(headings_in_a_window, a_dragged_column_edge_repaints_the_heading_at_the_new_width)
{
    use_naming_type();
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    send(top, WM_MOUSEMOVE, 74, 10);
    send(top, WM_LBUTTONDOWN, 74, 10, MK_LBUTTON);
    send(top, WM_MOUSEMOVE, 120, 10, MK_LBUTTON);
    platform::process_toolkit_events();
    EXPECT_EQ(gui_test::pixel_at(top, 110, 10), colour_for(0, -1)) << "the heading follows while dragging";
    send(top, WM_LBUTTONUP, 120, 10);
    platform::process_toolkit_events();
    EXPECT_EQ(grid.GetColumnWidthAt(0), 121);
    EXPECT_EQ(gui_test::pixel_at(top, 125, 10), colour_for(1, -1));
    EXPECT_EQ(gui_test::pixel_at(top, 300, 10), colour_for(3, -1));
    platform::save_window_png(grid, "/tmp/headings_naming_type.png");
}

TEST_F(headings_in_a_window, joined_heading_cells_are_drawn_once_over_their_range_and_cut_to_the_heading)
{
    const auto join = [&](int col, int row, int origin, int spanOrOffsetCol, int spanOrOffsetRow) {
        CUGCell cell;
        cell.SetJoinInfo(origin, spanOrOffsetCol, spanOrOffsetRow);
        grid.StoreCellAt(col, row, &cell);
    };
    // Columns 1 and 2 under one top heading cell; rows 2 to 4 beside one side heading cell.
    join(1, -1, 1, 1, 0);
    join(2, -1, 0, -1, 0);
    join(-1, 2, 1, 0, 2);
    join(-1, 3, 0, 0, -1);
    join(-1, 4, 0, 0, -2);
    // The last column claims five more columns and a row below the heading, none of them its own.
    join(3, -1, 1, 5, 1);
    use_naming_type();
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    EXPECT_EQ(gui_test::pixel_at(top, 80, 10), colour_for(1, -1));
    EXPECT_EQ(gui_test::pixel_at(top, 220, 10), colour_for(1, -1)) << "the origin covers the member column";
    EXPECT_EQ(gui_test::pixel_at(side, 20, 45), colour_for(-1, 2));
    EXPECT_EQ(gui_test::pixel_at(side, 20, 95), colour_for(-1, 2)) << "the origin covers the member rows";
    EXPECT_EQ(gui_test::pixel_at(side, 20, 105), colour_for(-1, 5));
    EXPECT_EQ(gui_test::pixel_at(top, 290, 10), colour_for(3, -1)) << "a range reaching past the heading keeps its part";
    EXPECT_EQ(gui_test::pixel_at(top, 330, 10), GetSysColor(COLOR_BTNFACE));

    int col = -1, row = 3;
    RECT rect{};
    ASSERT_EQ(side.GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(row, 2) << "a member row answers for its origin";
    EXPECT_EQ(CRect(rect.left, rect.top, rect.right, rect.bottom), CRect(0, 40, 40, 100));
}
