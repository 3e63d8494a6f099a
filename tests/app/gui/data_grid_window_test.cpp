// The data grid painting a small table of differences and taking clicks in a real window.

#include "platform/gui/gui_support.h"

#include "../data_grid_fixture.h"

#include "grid/UGCnrBtn.h"
#include "grid/UGGrid.h"
#include "grid/UGTopHdg.h"

namespace {

class data_grid_window : public data_grid_test {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        load_settings("<Background><Unselected format=\"rgb\">250,250,240</Unselected>"
                      "<Selected format=\"rgb\">51,102,204</Selected><Caption format=\"rgb\">214,222,235</Caption>"
                      "<Sorted format=\"rgb\">255,214,150</Sorted></Background>"
                      "<Columns><Width name=\"File Time\">130</Width><Width name=\"Backup Time\">130</Width></Columns>");
        add_difference(table, "1", "report.txt", "1536", "", "BACKUP", "1700000000", "");
        add_difference(table, "2", "photo.jpg", "2345678", "2345000", "SIZE");
        add_difference(table, "3", "notes.md", "", "812", "FILE", "", "1600000000");
        add_difference(table, "4", "budget.ods", "40960", "40960", "TIME", "1700000500", "1700000000");
        show(900, 220);
        grid.RepaintAllParts();
        platform::process_toolkit_events();
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        platform::process_toolkit_events();
    }
    static void send(CWnd& window, UINT message, int x, int y)
    {
        window.SendMessage(message, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    CRect cell_rect(int col, int row)
    {
        RECT rect {};
        grid.GetCellRect(&col, &row, &rect);
        return CRect(rect);
    }
};

}  // namespace

TEST_F(data_grid_window, cells_headings_and_corner_paint_in_the_settings_colours)
{
    platform::save_window_png(dialog, "data_grid.png");
    const CRect name = cell_rect(1, 2);
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGGrid, name.right - 4, name.top + 3), RGB(250, 250, 240));
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGCnrBtn, 5, 5), RGB(214, 222, 235));
}

TEST_F(data_grid_window, a_click_on_a_heading_sorts_and_a_double_click_reports_the_cell)
{
    const CRect size = cell_rect(2, 0);
    send(*grid.m_CUGTopHdg, WM_LBUTTONDOWN, size.left + 10, 8);
    send(*grid.m_CUGTopHdg, WM_LBUTTONUP, size.left + 10, 8);
    platform::process_toolkit_events();
    EXPECT_EQ(std::string(grid.GetCellText(2, -1)), "File Size [A]");
    EXPECT_EQ(std::string(grid.GetCellText(1, 0)), "notes.md");
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGTopHdg, size.left + 4, 4), RGB(255, 214, 150));
    platform::save_window_png(dialog, "data_grid_sorted.png");
    const CRect kind = cell_rect(6, 0);
    send(*grid.m_CUGTopHdg, WM_LBUTTONDOWN, kind.left + 10, 8);
    send(*grid.m_CUGTopHdg, WM_LBUTTONUP, kind.left + 10, 8);
    platform::process_toolkit_events();
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGTopHdg, size.left + 4, 4), RGB(214, 222, 235));
    EXPECT_EQ(gui_test::pixel_at(*grid.m_CUGTopHdg, kind.left + 4, 4), RGB(255, 214, 150));

    const CRect cell = cell_rect(1, 3);
    send(*grid.m_CUGGrid, WM_LBUTTONDBLCLK, cell.left + 5, cell.top + 5);
    bool reported = false;
    for (const fired_event& fired : events)
        if (fired.event == 1) {
            reported = true;
            EXPECT_EQ(fired.row, 3u);
            EXPECT_EQ(fired.column, 1u);
            EXPECT_EQ(fired.x, cell.left + 5);
        }
    EXPECT_TRUE(reported);
}
