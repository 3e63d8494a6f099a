// The scroll bars move the view by rows and columns; the hint beside a dragged thumb is placed
// inside the control. No display: the windows keep their own state.

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHScroll.h"
#include "grid/UGHint.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTab.h"
#include "grid/UGVScroll.h"

#include "platform/base/dc.h"
#include "platform/base/modal.h"
#include "platform/base/system_services.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class scrolled_grid : public CUGCtrl {
public:
    std::vector<std::string> moves;
    int help_id = 0;
    int help_section = 0;

    void OnViewMoved(int section, int oldPosition, int newPosition) override
    {
        moves.push_back(std::to_string(section) + ":" + std::to_string(oldPosition) + "->" +
                        std::to_string(newPosition));
    }
    int GetRowScrollHintText(int row, CString* text) override
    {
        text->Format("Row %d", row + 1);
        return 1;
    }
    int GetColumnScrollHintText(int col, CString* text) override
    {
        text->Format("Column %d", col);
        return 1;
    }
    int GetHelpContextId(int, int, int section) override
    {
        help_section = section;
        return help_id;
    }
};

// A control whose cell area is 300 x 400 pixels: 75-pixel columns, 20-pixel rows, 16-pixel bars.
class scroll_bars : public ::testing::Test {
protected:
    void build(int cols, int rows)
    {
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(100, 100, 600, 600), nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 10 + 356, 10 + 436), &dialog,
                                       UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
        sheet().m_vScrollWidth = 16;
        sheet().m_hScrollHeight = 16;
        grid.SetColumnCount(cols);
        grid.SetRowCount(rows);
        grid.RecalcPartLayout();
        if (cols > 0 && rows > 0) {
            ASSERT_EQ(sheet().m_gridWidth, 300);
            ASSERT_EQ(sheet().m_gridHeight, 400);
        }
    }
    CUGGridInfo& sheet() { return *grid.m_GI; }
    SCROLLINFO info(CScrollBar* bar)
    {
        SCROLLINFO result{};
        result.cbSize = sizeof(result);
        bar->GetScrollInfo(&result, SIF_ALL);
        return result;
    }
    void vscroll(UINT code, UINT position = 0)
    {
        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(grid.m_CUGVScroll));
    }
    void hscroll(UINT code, UINT position = 0)
    {
        grid.SendMessage(WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(grid.m_CUGHScroll));
    }

    CWnd dialog;
    CWnd placeholder;
    scrolled_grid grid;
};

int hint_text_width(CUGHint& hint)
{
    CDC* dc = hint.GetDC();
    const int width = dc->GetTextExtent(hint.GetText()).cx;
    hint.ReleaseDC(dc);
    return width;
}

}  // namespace

TEST_F(scroll_bars, the_vertical_range_counts_rows_and_the_page_is_the_rows_that_fit)
{
    build(10, 100);
    ASSERT_EQ(sheet().m_maxTopRow, 80);
    const SCROLLINFO range = info(grid.m_CUGVScroll);
    EXPECT_EQ(range.nMin, 0);
    EXPECT_EQ(range.nMax, 99);
    EXPECT_EQ(range.nPage, 20u);

    grid.SetLockedRows(2);
    grid.RecalcPartLayout();
    const SCROLLINFO locked = info(grid.m_CUGVScroll);
    EXPECT_EQ(locked.nMin, 2) << "the locked rows never scroll";
}

TEST_F(scroll_bars, above_a_thousand_top_rows_the_vertical_bar_works_on_a_fixed_scale)
{
    build(10, 5000);
    ASSERT_EQ(sheet().m_maxTopRow, 4980);
    const SCROLLINFO range = info(grid.m_CUGVScroll);
    EXPECT_EQ(range.nMin, 0);
    EXPECT_EQ(range.nMax, 1000);
    EXPECT_EQ(range.nPage, 1u);

    grid.SetTopRow(2490);
    EXPECT_EQ(grid.m_CUGVScroll->GetScrollPos(), 500);

    vscroll(SB_THUMBPOSITION, 250);
    EXPECT_EQ(sheet().m_topRow, 1245);
    EXPECT_EQ(grid.m_CUGVScroll->GetScrollPos(), 250);
    vscroll(SB_THUMBPOSITION, 1000);
    EXPECT_EQ(sheet().m_topRow, 4980);
}

TEST_F(scroll_bars, a_thumb_jump_draws_the_side_heading_once_and_a_code_that_moves_nothing_repaints_it_later)
{
    build(10, 5000);
    grid.m_CUGSideHdg->UpdateWindow();
    vscroll(SB_THUMBPOSITION, 500);
    ASSERT_EQ(sheet().m_topRow, 2490);
    EXPECT_FALSE(grid.m_CUGSideHdg->update_pending()) << "the move drew it; a second paint doubled the jump's cost";
    vscroll(SB_THUMBTRACK, 700);
    EXPECT_TRUE(grid.m_CUGSideHdg->update_pending());
}

TEST_F(scroll_bars, a_uniform_row_height_below_one_is_repaired_when_the_range_is_built)
{
    build(10, 100);
    sheet().m_defRowHeight = 0;
    sheet().m_maxTopRow = 90;
    grid.m_CUGVScroll->Update();
    EXPECT_EQ(sheet().m_defRowHeight, 1);
    EXPECT_EQ(info(grid.m_CUGVScroll).nPage, 400u);
}

TEST_F(scroll_bars, line_steps_skip_hidden_rows_and_stop_at_the_ends)
{
    build(10, 100);
    grid.SetRowHeightAt(4, 0);
    grid.SetTopRow(5);
    vscroll(SB_LINEUP);
    EXPECT_EQ(sheet().m_topRow, 3) << "row 4 has no height";
    vscroll(SB_LINEDOWN);
    EXPECT_EQ(sheet().m_topRow, 5);
    vscroll(SB_TOP);
    EXPECT_EQ(sheet().m_topRow, 0);
    vscroll(SB_LINEUP);
    EXPECT_EQ(sheet().m_topRow, 0);
    vscroll(SB_BOTTOM);
    EXPECT_EQ(sheet().m_topRow, 80) << "the control keeps the top row at its maximum";
    vscroll(SB_LINEDOWN);
    EXPECT_EQ(sheet().m_topRow, 80);
}

TEST_F(scroll_bars, page_steps_move_by_the_rows_that_fit_the_cell_area)
{
    build(10, 100);
    vscroll(SB_PAGEDOWN);
    EXPECT_EQ(sheet().m_topRow, 20);
    vscroll(SB_PAGEDOWN);
    EXPECT_EQ(sheet().m_topRow, 40);
    vscroll(SB_PAGEUP);
    EXPECT_EQ(sheet().m_topRow, 20);
    grid.SetTopRow(7);
    vscroll(SB_PAGEUP);
    EXPECT_EQ(sheet().m_topRow, 0);

    // Rows taller than the cell area still page one row at a time.
    grid.SetRowHeightAt(0, 500);
    vscroll(SB_PAGEDOWN);
    EXPECT_EQ(sheet().m_topRow, 1);
    grid.SetRowHeightAt(1, 500);
    vscroll(SB_PAGEUP);
    EXPECT_EQ(sheet().m_topRow, 0);
}

TEST_F(scroll_bars, the_horizontal_bar_counts_scrolling_columns_and_pages_by_what_fits)
{
    build(10, 100);
    ASSERT_EQ(sheet().m_maxLeftCol, 6);
    const SCROLLINFO range = info(grid.m_CUGHScroll);
    EXPECT_EQ(range.nMin, 0);
    EXPECT_EQ(range.nPage, 4u);
    EXPECT_EQ(range.nMax, 9);

    hscroll(SB_PAGERIGHT);
    EXPECT_EQ(sheet().m_leftCol, 4) << "columns 0-3 filled the area exactly; 4 was never shown";
    hscroll(SB_LINERIGHT);
    EXPECT_EQ(sheet().m_leftCol, 5);
    EXPECT_EQ(grid.m_CUGHScroll->GetScrollPos(), 5);
    hscroll(SB_PAGELEFT);
    EXPECT_EQ(sheet().m_leftCol, 2);
    hscroll(SB_LINELEFT);
    hscroll(SB_PAGELEFT);
    EXPECT_EQ(sheet().m_leftCol, 0);
    hscroll(SB_RIGHT);
    EXPECT_EQ(sheet().m_leftCol, 6);
    hscroll(SB_LEFT);
    EXPECT_EQ(sheet().m_leftCol, 0);

    // A column wider than the cell area: page left never moves the view right.
    grid.SetColumnWidthAt(3, 400);
    grid.SetLeftColumn(3);
    hscroll(SB_PAGELEFT);
    EXPECT_EQ(sheet().m_leftCol, 2);
    hscroll(SB_PAGERIGHT);
    EXPECT_EQ(sheet().m_leftCol, 3);
}

TEST_F(scroll_bars, locked_columns_offset_the_thumb_and_dragging_without_hints_moves_nothing)
{
    build(10, 100);
    grid.SetLockedColumns(1);
    grid.RecalcPartLayout();
    ASSERT_EQ(sheet().m_lockColWidth, 75);
    hscroll(SB_THUMBTRACK, 3);
    EXPECT_EQ(sheet().m_leftCol, 1);
    EXPECT_FALSE(grid.m_CUGHint->IsWindowVisible());
    hscroll(SB_THUMBPOSITION, 3);
    EXPECT_EQ(sheet().m_leftCol, 4);
    EXPECT_EQ(grid.m_CUGHScroll->GetScrollPos(), 3);
}

TEST_F(scroll_bars, each_move_is_reported_with_the_bars_section)
{
    build(10, 100);
    grid.moves.clear();
    vscroll(SB_LINEDOWN);
    hscroll(SB_LINERIGHT);
    ASSERT_EQ(grid.moves.size(), 2u);
    EXPECT_EQ(grid.moves[0], "6:0->1");
    EXPECT_EQ(grid.moves[1], "5:0->1");
}

TEST_F(scroll_bars, the_cell_area_takes_the_focus_and_unknown_codes_move_nothing)
{
    build(10, 100);
    grid.SetTopRow(10);
    vscroll(SB_ENDSCROLL);
    hscroll(SB_ENDSCROLL);
    EXPECT_EQ(sheet().m_topRow, 10);
    EXPECT_EQ(sheet().m_leftCol, 0);
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(grid.m_CUGGrid));
    vscroll(SB_LINEDOWN);
    EXPECT_EQ(sheet().m_multiSelectMode, 0) << "the mouse-event source lasts one handler";
}

TEST_F(scroll_bars, an_empty_sheet_does_not_move)
{
    build(0, 0);
    vscroll(SB_PAGEDOWN);
    vscroll(SB_BOTTOM);
    hscroll(SB_PAGERIGHT);
    hscroll(SB_RIGHT);
    EXPECT_EQ(sheet().m_topRow, 0);
    EXPECT_EQ(sheet().m_leftCol, 0);
}

TEST_F(scroll_bars, help_on_a_bar_asks_the_control_with_its_section)
{
    build(10, 100);
    grid.help_id = 77;
    EXPECT_EQ(grid.m_CUGVScroll->SendMessage(WM_HELPHITTEST), 77);
    EXPECT_EQ(grid.help_section, UG_VSCROLL);

    std::vector<std::pair<DWORD_PTR, UINT>> requests;
    auto previous = platform::set_help_handler([&](DWORD_PTR data, UINT command) { requests.emplace_back(data, command); });
    HELPINFO help;
    EXPECT_EQ(grid.m_CUGHScroll->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 1);
    platform::set_help_handler(previous);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].first, 77u);
    EXPECT_EQ(requests[0].second, HELP_CONTEXT);
    EXPECT_EQ(grid.help_section, UG_HSCROLL);
}

TEST_F(scroll_bars, dragging_a_thumb_with_hints_shows_the_tracked_row_beside_the_bar)
{
    build(10, 100);
    sheet().m_enableScrollHints = 1;
    grid.SetLockedRows(2);
    grid.RecalcPartLayout();
    CRect bar;
    grid.m_CUGVScroll->GetWindowRect(&bar);
    platform::set_cursor_position(CPoint(bar.left + 5, bar.top + 200));
    vscroll(SB_THUMBTRACK, 30);
    EXPECT_EQ(sheet().m_topRow, 2) << "tracking does not move the view";
    CUGHint* hint = grid.m_CUGHint;
    EXPECT_TRUE(hint->IsWindowVisible());
    EXPECT_STREQ(hint->GetText(), "Row 31") << "the row the release will show at the top";
    EXPECT_EQ(hint->GetWindowAlign(), CUGHint::AlignRight | CUGHint::AlignCentreY);
    CRect placed;
    hint->GetWindowRect(&placed);
    EXPECT_EQ(placed.right, bar.left - 1);
    EXPECT_EQ(placed.Width(), std::max(40, hint_text_width(*hint) + 4));
    EXPECT_EQ(placed.top, bar.top + 200 - hint->GetLineHeight() / 2);

    vscroll(SB_THUMBPOSITION, 30);
    EXPECT_FALSE(hint->IsWindowVisible());
    EXPECT_EQ(sheet().m_topRow, 30);
}

TEST_F(scroll_bars, the_column_hint_sits_above_the_bar_and_stays_inside_the_control)
{
    build(10, 100);
    sheet().m_enableScrollHints = 1;
    CRect bar;
    grid.m_CUGHScroll->GetWindowRect(&bar);
    CRect control;
    grid.GetWindowRect(&control);
    CUGHint* hint = grid.m_CUGHint;

    platform::set_cursor_position(CPoint(control.left + 150, bar.top + 4));
    hscroll(SB_THUMBTRACK, 2);
    EXPECT_STREQ(hint->GetText(), "Column 2");
    CRect placed;
    hint->GetWindowRect(&placed);
    EXPECT_EQ(placed.bottom, bar.top - 1);
    EXPECT_EQ(placed.left + placed.Width() / 2, control.left + 150);

    // Dragged past the control's left edge, the hint starts at the edge.
    platform::set_cursor_position(CPoint(control.left - 30, bar.top + 4));
    hscroll(SB_THUMBTRACK, 0);
    hint->GetWindowRect(&placed);
    EXPECT_EQ(placed.left, control.left);
    platform::set_cursor_position(CPoint(control.right + 30, bar.top + 4));
    hscroll(SB_THUMBTRACK, 5);
    hint->GetWindowRect(&placed);
    EXPECT_EQ(placed.right, control.right);
    sheet().m_enableScrollHints = 0;
    hscroll(SB_THUMBPOSITION, 5);
    EXPECT_FALSE(hint->IsWindowVisible()) << "hints switched off during the drag leave none behind";
    EXPECT_EQ(sheet().m_leftCol, 5);
}

TEST_F(scroll_bars, the_hint_is_as_wide_as_its_text_and_placed_by_its_flags)
{
    build(10, 100);
    CUGHint* hint = grid.m_CUGHint;
    CRect control;
    grid.GetWindowRect(&control);
    hint->SetText("A rather long hint text");
    hint->SetWindowAlign(1);
    hint->MoveHintWindow(100, 50, 20);
    CRect placed;
    hint->GetWindowRect(&placed);
    EXPECT_GT(placed.Width(), 40);
    EXPECT_EQ(placed.TopLeft(), CPoint(control.left + 100, control.top + 50));
    EXPECT_EQ(placed.Height(), hint->GetLineHeight());
    const int width = placed.Width();

    hint->SetWindowAlign(CUGHint::AlignRight | CUGHint::AlignBottom);
    hint->MoveHintWindow(200, 60, 20);
    hint->GetWindowRect(&placed);
    EXPECT_EQ(placed.BottomRight(), CPoint(control.left + 200, control.top + 60));
    EXPECT_EQ(placed.Width(), width);

    hint->SetWindowAlign(1);
    hint->MoveHintWindow(10, control.Height() - 2, 20);
    hint->GetWindowRect(&placed);
    EXPECT_EQ(placed.bottom, control.bottom) << "pushed up inside the control";
}

TEST_F(scroll_bars, the_tab_strip_exists_with_its_arrows_but_takes_no_room)
{
    build(10, 100);
    CUGTab* tabs = grid.m_CUGTab;
    EXPECT_EQ(tabs->GetTabCount(), 0);
    EXPECT_EQ(sheet().m_tabRect.right - sheet().m_tabRect.left, 0);
    CWnd* arrows = tabs->GetDlgItem(100);
    ASSERT_NE(arrows, nullptr);
    CRect arrowRect = arrows->window_rect_in_parent();
    EXPECT_EQ(arrowRect.left, 0);
    EXPECT_EQ(arrowRect.Width(), 2 * GetSystemMetrics(SM_CXHSCROLL));
}
