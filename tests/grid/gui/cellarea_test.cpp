#include "platform/gui/gui_support.h"
#include "grid_window.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/wx/wx_peers.h"

#include <gtest/gtest.h>

namespace {

// A pointer event as the toolkit gives it to the widget of a window.
void send_pointer(wxWindow* widget, wxEventType type, CPoint point)
{
    wxMouseEvent event(type);
    event.SetEventObject(widget);
    event.m_x = point.x;
    event.m_y = point.y;
    widget->GetEventHandler()->ProcessEvent(event);
}

COLORREF colour_of(int col, int row) { return RGB((row * 37) % 200 + 20, (col * 53) % 200 + 20, 90); }
constexpr COLORREF current_colour = RGB(250, 240, 0);

// Each cell filled with a colour of its own, less a one-pixel grid line on the right and bottom.
class colour_type : public CUGCellType {
public:
    void OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell*, int, int current) override
    {
        dc->FillSolidRect(rect, RGB(128, 128, 128));
        CRect inner(*rect);
        inner.right -= 1;
        inner.bottom -= 1;
        dc->FillSolidRect(&inner, current != 0 ? current_colour : colour_of(col, static_cast<int>(row)));
    }
};

class notified_grid : public CUGCtrl {
public:
    void OnCellLeftButton(int col, int row, int down, RECT*, POINT*, int) override
    {
        lastLeft = {col, row, down};
        ++leftCount;
    }
    void OnCharPressed(UINT* character, int) override { lastChar = *character; }

    struct press {
        int col = 0;
        int row = 0;
        int down = 0;
    };
    press lastLeft;
    int leftCount = 0;
    UINT lastChar = 0;
};

class cell_area_window : public grid_test::grid_window_fixture<notified_grid> {
protected:
    void SetUp() override
    {
        if (!open_grid(6, 200, CRect(10, 10, 386, 246)))
            return;
        const int index = grid.AddCellType(&type);
        for (int col = 0; col < 6; ++col)
            grid.m_GI->m_colInfo[col].colDefault->SetCellType(index);
        lay_out();
    }
    CUGGrid& area() { return *grid.m_CUGGrid; }
    COLORREF pixel(int x, int y) { return gui_test::pixel_at(area(), x, y); }
    // The centre of a cell shown at display position (column slot, row slot) of 75 x 20 cells.
    COLORREF centre(int colSlot, int rowSlot) { return pixel(colSlot * 75 + 37, rowSlot * 20 + 10); }

    colour_type type;
};

}  // namespace

TEST_F(cell_area_window, cells_paint_through_their_type_and_the_empty_area_takes_the_back_colour)
{
    ASSERT_EQ(grid.m_GI->m_gridWidth, 320);
    ASSERT_EQ(grid.m_GI->m_gridHeight, 200);
    grid.GotoCell(2, 3);
    platform::process_toolkit_events();
    EXPECT_EQ(centre(0, 0), colour_of(0, 0));
    EXPECT_EQ(centre(1, 5), colour_of(1, 5));
    EXPECT_EQ(centre(2, 3), current_colour);
    EXPECT_EQ(pixel(74, 10), RGB(128, 128, 128)) << "the type's own grid line";

    grid.SetColumnCount(3);
    grid.RecalcPartLayout();
    platform::process_toolkit_events();
    EXPECT_EQ(pixel(300, 50), GetSysColor(COLOR_WINDOW)) << "right of the last column";
    platform::save_window_png(grid, "/tmp/cellarea_grid.png");
}

TEST_F(cell_area_window, locked_columns_keep_their_place_behind_a_black_line)
{
    grid.SetLockedColumns(1);
    grid.SetLeftColumn(3);
    grid.RepaintAllParts();
    platform::process_toolkit_events();
    EXPECT_EQ(centre(0, 1), colour_of(0, 1));
    EXPECT_EQ(centre(1, 1), colour_of(3, 1)) << "the view goes on from the left column";
    EXPECT_EQ(pixel(74, 30), RGB(0, 0, 0));
}

TEST_F(cell_area_window, scrolling_the_shown_image_gives_what_a_full_repaint_gives)
{
    area().SetFocus();
    platform::process_toolkit_events();
    for (int step = 0; step < 3; ++step) {
        area().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
        platform::process_toolkit_events();
    }
    ASSERT_EQ(grid.m_GI->m_topRow, 9);
    grid.SetLeftColumn(1);
    platform::process_toolkit_events();
    for (int rowSlot : {0, 4, 8, 9})
        for (int colSlot : {0, 2, 3})
            EXPECT_EQ(centre(colSlot, rowSlot), colour_of(colSlot + 1, rowSlot + 9)) << colSlot << "," << rowSlot;

    grid.SetTopRow(3);
    platform::process_toolkit_events();
    for (int rowSlot : {0, 5, 9})
        EXPECT_EQ(centre(1, rowSlot), colour_of(2, rowSlot + 3)) << "scrolled back up, slot " << rowSlot;
}

TEST_F(cell_area_window, the_focus_frame_marks_the_current_cell_only_while_the_area_has_the_focus)
{
    grid.GotoCell(1, 1);
    platform::process_toolkit_events();
    const COLORREF unframed = pixel(76, 21);
    area().SetFocus();
    platform::process_toolkit_events();
    EXPECT_NE(pixel(75, 20) == current_colour && pixel(76, 20) == current_colour, true)
        << "the dotted frame shows on the cell's top edge";
    dialog.SetFocus();
    platform::process_toolkit_events();
    EXPECT_EQ(pixel(76, 21), unframed);
    EXPECT_EQ(pixel(75, 20), current_colour) << "the frame went with the focus";
}

TEST_F(cell_area_window, a_press_captures_the_mouse_so_a_release_anywhere_ends_it)
{
    area().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 30));
    EXPECT_EQ(CWnd::GetCapture(), &area());
    EXPECT_EQ(grid.lastLeft.col, 1);
    EXPECT_EQ(grid.lastLeft.row, 1);
    area().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-40), 500));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(grid.lastLeft.col, -1) << "released off the cells";
    EXPECT_EQ(grid.lastLeft.down, 0);
    EXPECT_EQ(grid.leftCount, 2);

    area().SendMessage(WM_CHAR, 'x', 1);
    EXPECT_EQ(grid.lastChar, static_cast<UINT>('x'));
}

TEST_F(cell_area_window, the_tip_text_comes_from_the_control_for_the_cell_under_the_pointer)
{
    area().EnableToolTips(TRUE);
    POINT screen{100, 30};
    area().ClientToScreen(&screen);
    platform::set_cursor_position(screen);
    area().tool_tip_text_at(CPoint(100, 30));
    EXPECT_STREQ(area().tool_tip_text_at(CPoint(100, 30)), "Col:1 Row:1");
}

TEST_F(cell_area_window, no_tip_shows_below_the_last_row_however_the_pointer_gets_there)
{
    grid.SetRowCount(3);
    lay_out();
    area().EnableToolTips(TRUE);
    wxWindow* widget = platform::widget_of(area());
    ASSERT_NE(widget, nullptr);
    const CPoint cell(100, 50);
    const CPoint below(100, 120);
    const auto rest_on_cell = [&] {
        send_pointer(widget, wxEVT_MOTION, cell);
        send_pointer(widget, wxEVT_MOTION, CPoint(cell.x + 1, cell.y + 1));
        ASSERT_NE(widget->GetToolTip(), nullptr);
        EXPECT_EQ(widget->GetToolTipText(), "Col:1 Row:2");
    };

    rest_on_cell();
    send_pointer(widget, wxEVT_MOTION, below);
    EXPECT_EQ(widget->GetToolTip(), nullptr) << "moved below the last row";

    // The pointer lands on the cell's tip, which goes away and leaves it below the last row
    // without a move.
    rest_on_cell();
    send_pointer(widget, wxEVT_LEAVE_WINDOW, below);
    EXPECT_EQ(widget->GetToolTip(), nullptr) << "the pointer is on no cell of the area";
    send_pointer(widget, wxEVT_ENTER_WINDOW, below);
    EXPECT_EQ(widget->GetToolTip(), nullptr) << "back below the last row";
    rest_on_cell();
    send_pointer(widget, wxEVT_ENTER_WINDOW, below);
    EXPECT_EQ(widget->GetToolTip(), nullptr) << "back below the last row, with no leave before";

    // The text is asked for after the hit test, by when the pointer may have gone below.
    POINT screen{below.x, below.y};
    area().ClientToScreen(&screen);
    platform::set_cursor_position(screen);
    EXPECT_STREQ(area().tool_tip_text_at(cell), "");
}
