// The data grid painting a small table of differences and taking clicks in a real window.

#include "platform/gui/gui_support.h"

#include "../data_grid_fixture.h"

#include "grid/UGCnrBtn.h"
#include "grid/UGGrid.h"
#include "grid/UGTopHdg.h"
#include "platform/base/virtual_keys.h"

#include <set>

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
    void mouse(UINT message, UINT keys, const CRect& cell)
    {
        grid.m_CUGGrid->SendMessage(message, keys, MAKELPARAM(static_cast<WORD>(cell.left + 5), static_cast<WORD>(cell.top + 5)));
        platform::process_toolkit_events();
    }
    std::set<long> walked_rows()
    {
        std::set<long> rows;
        grid.GetSelectionManager()->ForEachSelectedRow([&rows](long row, data::data_row*) { rows.insert(row); });
        return rows;
    }
    // Rows whose every shown cell is in the highlight colour; a row drawn partly so fails.
    std::set<long> rows_drawn_selected()
    {
        std::set<long> rows;
        for (int row = 0; row < grid.GetRowCount(); ++row) {
            int shown = 0;
            int highlighted = 0;
            for (int col = 0; col < grid.GetColumnCount(); ++col) {
                if (grid.GetColumnWidthAt(col) <= 0)
                    continue;
                const CRect cell = cell_rect(col, row);
                ++shown;
                if (gui_test::pixel_at(*grid.m_CUGGrid, cell.left + 2, cell.CenterPoint().y) == RGB(51, 102, 204))
                    ++highlighted;
            }
            if (highlighted == shown)
                rows.insert(row);
            else
                EXPECT_EQ(highlighted, 0) << "row " << row << " is drawn partly selected";
        }
        return rows;
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

TEST_F(data_grid_window, the_rows_a_command_acts_on_are_the_rows_drawn_selected)
{
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, cell_rect(0, 0));
    mouse(WM_LBUTTONUP, 0, cell_rect(0, 0));
    EXPECT_EQ(walked_rows(), (std::set<long> {0})) << "a click on the current cell selects its row";
    EXPECT_EQ(rows_drawn_selected(), walked_rows());

    // A drag in File Name from the second row to the third.
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, cell_rect(1, 1));
    mouse(WM_MOUSEMOVE, MK_LBUTTON, cell_rect(1, 2));
    mouse(WM_LBUTTONUP, 0, cell_rect(1, 2));
    EXPECT_EQ(walked_rows(), (std::set<long> {1, 2}));
    EXPECT_EQ(rows_drawn_selected(), walked_rows()) << "the row the drag began in is drawn selected too";
    platform::save_window_png(dialog, "data_grid_two_rows_selected.png");

    mouse(WM_LBUTTONDOWN, MK_LBUTTON, cell_rect(4, 3));
    mouse(WM_LBUTTONUP, 0, cell_rect(4, 3));
    EXPECT_EQ(walked_rows(), (std::set<long> {3}));
    EXPECT_EQ(rows_drawn_selected(), walked_rows()) << "a click selects its row visibly";
}
