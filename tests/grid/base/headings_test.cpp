// The headings and the corner button driven by mouse messages, with no display: the windows
// keep their own state, so edges, drags, clicks, tips and help run as in the program.

#include "grid/UGCnrBtn.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTopHdg.h"

#include "platform/base/controls.h"
#include "platform/base/modal.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string at(int col, int row) { return std::to_string(col) + "," + std::to_string(row); }

// A control that writes down the heading notifications and answers as it is told.
class heading_grid : public CUGCtrl {
public:
    std::vector<std::string> log;
    int allow_column_sizing = 1;
    int top_heading_sizing_answer = 1;
    int column_width_forced = -1;

    int AllowColumnSizing(int col, int) override
    {
        log.push_back("allow column " + std::to_string(col));
        return allow_column_sizing;
    }
    void OnColumnSizing(int col, int* width) override
    {
        log.push_back("sizing column " + std::to_string(col) + " to " + std::to_string(*width));
    }
    void OnColumnWidthChanging(int col, int* width) override
    {
        if (column_width_forced >= 0)
            *width = column_width_forced;
        log.push_back("changing column " + std::to_string(col) + " to " + std::to_string(*width));
    }
    int OnTopHeadingSizing(int* height, int) override
    {
        log.push_back("sizing top heading to " + std::to_string(*height));
        return top_heading_sizing_answer;
    }
    int OnTopHeadingSized(int* height) override
    {
        log.push_back("top heading sized " + std::to_string(*height));
        return 1;
    }
    int OnSideHeadingSized(int* width) override
    {
        log.push_back("side heading sized " + std::to_string(*width));
        return 1;
    }
    void OnColumnHeadingClick(int col, int row, int down, RECT*, POINT*, int) override
    {
        log.push_back("column heading " + at(col, row) + " down " + std::to_string(down));
    }
    void OnColumnHeadingRightButton(int col, int row, int down, RECT*, POINT*, int) override
    {
        log.push_back("column heading right " + at(col, row) + " down " + std::to_string(down));
    }
    void OnColumnHeadingDoubleClick(int col, int row, RECT*, POINT*, int) override
    {
        log.push_back("column heading double " + at(col, row));
    }
    void OnRowHeadingClick(int col, int row, int down, RECT* rect, POINT*, int) override
    {
        log.push_back("row heading " + at(col, row) + " down " + std::to_string(down) + " top " +
                      std::to_string(rect->top));
    }
    void OnRowHeadingRightButton(int col, int row, int down, RECT*, POINT*, int) override
    {
        log.push_back("row heading right " + at(col, row) + " down " + std::to_string(down));
    }
    void OnCornerButtonClick(int down, RECT*, POINT*, int processed) override
    {
        log.push_back("corner down " + std::to_string(down) + " processed " + std::to_string(processed));
    }
    void OnRowHeadingDoubleClick(int col, int row, RECT*, POINT*, int) override
    {
        log.push_back("row heading double " + at(col, row));
    }
    void OnCornerButtonRightButton(int down, RECT* rect, POINT*, int) override
    {
        log.push_back("corner right down " + std::to_string(down) + " right edge " + std::to_string(rect->right));
    }
    void OnCornerButtonDoubleClick(RECT* rect, POINT*, int) override
    {
        log.push_back("corner double, bottom edge " + std::to_string(rect->bottom));
    }
    int AutoFitColumns(int first, int last, int rows, int flags) override
    {
        log.push_back("auto fit " + std::to_string(first) + "-" + std::to_string(last) + " rows " +
                      std::to_string(rows) + " flags " + std::to_string(flags));
        SetColumnWidthAt(first, 33);
        return 0;
    }
    int GetCellTipText(int col, int row, int section, CString* text) override
    {
        text->Format("tip %d,%d in %d", col, row, section);
        return 1;
    }
    int GetHelpContextId(int col, int row, int section) override { return 1000 * section + 10 * col + row; }

    bool logged(const std::string& entry) const
    {
        for (const std::string& line : log)
            if (line == entry)
                return true;
        return false;
    }
    int count(const std::string& prefix) const
    {
        int found = 0;
        for (const std::string& line : log)
            found += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
        return found;
    }
};

// Ten columns of 75 and fifty rows of 20 under a top heading 20 high and a side heading 40 wide.
class headings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, 520, 420), nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 310), &dialog,
                                       UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
        sheet().m_vScrollWidth = 16;
        sheet().m_hScrollHeight = 16;
        grid.SetColumnCount(10);
        grid.SetRowCount(50);
        grid.RecalcPartLayout();
        grid.log.clear();
    }
    CUGGridInfo& sheet() { return *grid.m_GI; }
    static void send(CWnd& window, UINT message, int x, int y, WPARAM flags = 0)
    {
        window.SendMessage(message, flags, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    static void drag(CWnd& window, int fromX, int fromY, int toX, int toY)
    {
        send(window, WM_MOUSEMOVE, fromX, fromY);
        send(window, WM_LBUTTONDOWN, fromX, fromY, MK_LBUTTON);
        send(window, WM_MOUSEMOVE, toX, toY, MK_LBUTTON);
        send(window, WM_LBUTTONUP, toX, toY);
    }

    CWnd dialog;
    CWnd placeholder;
    heading_grid grid;
};

}  // namespace

TEST_F(headings, a_column_edge_offers_sizing_only_within_two_pixels)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    send(top, WM_MOUSEMOVE, 73, 10);
    EXPECT_TRUE(top.IsOnEdge());
    EXPECT_EQ(GetCursor(), sheet().m_WEResizeCursor);
    EXPECT_TRUE(grid.logged("allow column 0"));

    send(top, WM_MOUSEMOVE, 72, 10);
    EXPECT_FALSE(top.IsOnEdge());
    EXPECT_EQ(GetCursor(), sheet().m_arrowCursor);

    send(top, WM_MOUSEMOVE, 152, 10);
    EXPECT_TRUE(top.IsOnEdge()) << "the second column's edge at 150";
    EXPECT_TRUE(grid.logged("allow column 1"));
    top.SendMessage(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), sheet().m_WEResizeCursor);

    grid.allow_column_sizing = 0;
    send(top, WM_MOUSEMOVE, 74, 10);
    EXPECT_FALSE(top.IsOnEdge()) << "a refusal offers no sizing";
}

TEST_F(headings, dragging_a_column_edge_sizes_the_column_and_never_below_zero)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    drag(top, 74, 10, 100, 10);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 101);
    EXPECT_TRUE(grid.logged("sizing column 0 to 101"));
    EXPECT_FALSE(top.IsSizing());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);

    drag(top, 101, 10, -400, 10);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 0);
    EXPECT_EQ(grid.GetColumnWidthAt(1), 75);
}

TEST_F(headings, the_hidden_column_right_of_an_edge_is_the_one_pulled_open)
{
    grid.SetColumnWidthAt(1, 0);
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    drag(top, 74, 10, 120, 10);
    EXPECT_EQ(grid.GetColumnWidthAt(1), 46);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 75);
}

TEST_F(headings, the_end_of_a_drag_stores_a_width_the_application_changes)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    send(top, WM_MOUSEMOVE, 74, 10);
    send(top, WM_LBUTTONDOWN, 74, 10, MK_LBUTTON);
    send(top, WM_MOUSEMOVE, 90, 10, MK_LBUTTON);
    grid.column_width_forced = 60;
    send(top, WM_LBUTTONUP, 90, 10);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 60);
}

TEST_F(headings, a_click_on_a_column_heading_reports_press_and_release_and_sizes_nothing)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    send(top, WM_MOUSEMOVE, 110, 10);
    send(top, WM_LBUTTONDOWN, 110, 10, MK_LBUTTON);
    EXPECT_EQ(top.GetPressedColumn(), 1);
    EXPECT_EQ(CWnd::GetCapture(), &top);
    send(top, WM_LBUTTONUP, 110, 10);
    EXPECT_EQ(grid.count("column heading 1,-1 down 1"), 1);
    EXPECT_EQ(grid.count("column heading 1,-1 down 0"), 1);
    EXPECT_EQ(grid.count("sizing column"), 0);
    EXPECT_EQ(top.GetPressedColumn(), -1);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    for (int col = 0; col < 10; ++col)
        EXPECT_EQ(grid.GetColumnWidthAt(col), 75);

    send(top, WM_RBUTTONDOWN, 200, 5, MK_RBUTTON);
    send(top, WM_RBUTTONUP, 200, 5);
    EXPECT_TRUE(grid.logged("column heading right 2,-1 down 1"));
    EXPECT_TRUE(grid.logged("column heading right 2,-1 down 0"));
    send(top, WM_LBUTTONDBLCLK, 200, 5);
    EXPECT_TRUE(grid.logged("column heading double 2,-1"));
}

TEST_F(headings, a_double_click_on_a_column_edge_fits_the_column)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    send(top, WM_MOUSEMOVE, 149, 10);
    send(top, WM_LBUTTONDBLCLK, 149, 10, MK_LBUTTON);
    EXPECT_TRUE(grid.logged("auto fit 1-1 rows 20 flags 1"));
    EXPECT_EQ(grid.GetColumnWidthAt(1), 33);
    EXPECT_FALSE(grid.logged("column heading double 1,-1"));
}

TEST_F(headings, the_top_heading_height_follows_its_bottom_edge_unless_refused)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    send(top, WM_MOUSEMOVE, 30, 19);
    EXPECT_TRUE(top.IsOnEdge());
    EXPECT_EQ(GetCursor(), sheet().m_NSResizeCursor);
    send(top, WM_LBUTTONDOWN, 30, 19, MK_LBUTTON);
    send(top, WM_MOUSEMOVE, 30, 30, MK_LBUTTON);
    send(top, WM_LBUTTONUP, 30, 30);
    EXPECT_EQ(sheet().m_topHdgHeight, 31);
    EXPECT_EQ(sheet().m_topHdgHeights[0], 31);
    EXPECT_EQ(sheet().m_gridRect.top, 31) << "the control laid out again";
    EXPECT_TRUE(grid.logged("top heading sized 31"));

    grid.top_heading_sizing_answer = 0;
    send(top, WM_MOUSEMOVE, 30, 30);
    send(top, WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    send(top, WM_MOUSEMOVE, 30, 50, MK_LBUTTON);
    send(top, WM_LBUTTONUP, 30, 50);
    EXPECT_EQ(sheet().m_topHdgHeight, 31) << "a refused step changes no total";
}

TEST_F(headings, uniform_rows_all_follow_the_dragged_edge)
{
    sheet().m_uniformRowHeightFlag = 1;
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    // The third row's bottom edge is at 60; the pointer rests two pixels above it.
    drag(side, 20, 58, 20, 90);
    EXPECT_EQ(grid.GetRowHeightAt(0), 30);
    EXPECT_EQ(grid.GetRowHeightAt(40), 30);
}

TEST_F(headings, the_side_heading_sizes_a_row_and_its_own_width)
{
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    send(side, WM_MOUSEMOVE, 20, 42);
    EXPECT_TRUE(side.IsOnEdge());
    EXPECT_EQ(GetCursor(), sheet().m_NSResizeCursor);
    drag(side, 20, 40, 20, 55);
    EXPECT_EQ(grid.GetRowHeightAt(1), 35);

    drag(side, 38, 100, 70, 100);
    EXPECT_EQ(sheet().m_sideHdgWidth, 72);
    EXPECT_EQ(sheet().m_gridRect.left, 72);
    EXPECT_TRUE(grid.logged("side heading sized 72"));
}

TEST_F(headings, presses_on_row_headings_reach_the_control_without_capture)
{
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    send(side, WM_MOUSEMOVE, 20, 50);
    send(side, WM_LBUTTONDOWN, 20, 50, MK_LBUTTON);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    send(side, WM_LBUTTONUP, 20, 50);
    send(side, WM_RBUTTONDOWN, 20, 70, MK_RBUTTON);
    EXPECT_TRUE(grid.logged("row heading -1,2 down 1 top 40"));
    EXPECT_TRUE(grid.logged("row heading -1,2 down 0 top 40"));
    EXPECT_TRUE(grid.logged("row heading right -1,3 down 1"));

    grid.SetTopRow(10);
    grid.log.clear();
    send(side, WM_LBUTTONDOWN, 20, 5, MK_LBUTTON);
    EXPECT_TRUE(grid.logged("row heading -1,10 down 1 top 0")) << "rows are found from the top row";
}

TEST_F(headings, double_clicks_and_right_releases_on_row_headings_and_the_corner_reach_the_control)
{
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    send(side, WM_LBUTTONDBLCLK, 20, 50, MK_LBUTTON);
    send(side, WM_RBUTTONUP, 20, 70);
    send(side, WM_RBUTTONUP, 20, 2000);
    CUGCnrBtn& corner = *grid.m_CUGCnrBtn;
    send(corner, WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
    send(corner, WM_RBUTTONUP, 5, 5);
    send(corner, WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"row heading double -1,2", "row heading right -1,3 down 0",
                                                  "corner right down 1 right edge 40",
                                                  "corner right down 0 right edge 40", "corner double, bottom edge 20"}))
        << "nothing off the rows; the corner's rectangle for the corner";
}

TEST_F(headings, the_corner_button_sizes_both_headings_from_its_edges)
{
    CUGCnrBtn& corner = *grid.m_CUGCnrBtn;
    send(corner, WM_MOUSEMOVE, 38, 5);
    EXPECT_TRUE(corner.IsOnEdge());
    EXPECT_EQ(GetCursor(), sheet().m_WEResizeCursor);
    send(corner, WM_LBUTTONDOWN, 38, 5, MK_LBUTTON);
    send(corner, WM_MOUSEMOVE, 60, 5, MK_LBUTTON);
    send(corner, WM_LBUTTONUP, 60, 5);
    EXPECT_EQ(sheet().m_sideHdgWidth, 60);
    EXPECT_TRUE(grid.logged("corner down 1 processed 1"));
    EXPECT_TRUE(grid.logged("corner down 0 processed 1"));
    EXPECT_TRUE(grid.logged("side heading sized 60"));

    send(corner, WM_MOUSEMOVE, 10, 18);
    EXPECT_EQ(GetCursor(), sheet().m_NSResizeCursor);
    send(corner, WM_LBUTTONDOWN, 10, 18, MK_LBUTTON);
    send(corner, WM_MOUSEMOVE, 10, -30, MK_LBUTTON);
    send(corner, WM_LBUTTONUP, 10, -30);
    EXPECT_EQ(sheet().m_topHdgHeight, 5) << "a heading dragged to nothing keeps an edge to grab";
    send(corner, WM_MOUSEMOVE, 10, 3);
    EXPECT_TRUE(corner.IsOnEdge()) << "the flattened heading can be pulled open again";
    send(corner, WM_LBUTTONDOWN, 10, 3, MK_LBUTTON);
    send(corner, WM_MOUSEMOVE, 10, 25, MK_LBUTTON);
    send(corner, WM_LBUTTONUP, 10, 25);
    EXPECT_EQ(sheet().m_topHdgHeight, 25);

    grid.SetTopHeadingHeight(20);
    grid.log.clear();
    send(corner, WM_MOUSEMOVE, 10, 5);
    send(corner, WM_LBUTTONDOWN, 10, 5, MK_LBUTTON);
    send(corner, WM_LBUTTONUP, 10, 5);
    EXPECT_TRUE(grid.logged("corner down 1 processed 0"));
}

TEST_F(headings, tips_are_offered_once_the_pointer_rests_on_a_heading_cell)
{
    CUGTopHdg& top = *grid.m_CUGTopHdg;
    CUGCnrBtn& corner = *grid.m_CUGCnrBtn;
    grid.SetTipsEnabled(TRUE);
    TOOLINFO info;
    EXPECT_EQ(top.OnToolHitTest(CPoint(100, 10), &info), -1);
    EXPECT_EQ(top.OnToolHitTest(CPoint(110, 10), &info), 1);
    EXPECT_EQ(info.uFlags, 0xC0000101u);
    EXPECT_EQ(info.hwnd, &top);
    EXPECT_EQ(top.OnToolHitTest(CPoint(200, 10), &info), -1) << "a new cell starts over";

    CPoint screen(110, 10);
    top.ClientToScreen(&screen);
    platform::set_cursor_position(screen);
    EXPECT_STREQ(top.tool_tip_text_at(CPoint(200, 10)), "tip 1,-1 in 2");
    auto* tip = dynamic_cast<CToolTipCtrl*>(platform::shared_tool_tip());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->GetMaxTipWidth(), 32767);
    EXPECT_EQ(tip->GetDelayTime(TTDT_INITIAL), 200);

    EXPECT_EQ(corner.OnToolHitTest(CPoint(5, 5), &info), -1) << "the first hit test shows no tip";
    EXPECT_EQ(corner.OnToolHitTest(CPoint(5, 5), &info), 1);
    EXPECT_EQ(corner.OnToolHitTest(CPoint(20, 10), &info), 1);
    EXPECT_STREQ(corner.tool_tip_text_at(CPoint(5, 5)), "tip -1,-1 in 4");
}

TEST_F(headings, help_goes_to_the_cell_under_the_pointer)
{
    std::vector<DWORD_PTR> asked;
    platform::set_help_handler([&](DWORD_PTR data, UINT command) {
        if (command == HELP_CONTEXT)
            asked.push_back(data);
    });
    CUGSideHdg& side = *grid.m_CUGSideHdg;
    EXPECT_EQ(side.SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(10, 45)), 3000 - 10 + 2);
    HELPINFO info;
    info.MousePos = CPoint(10, 25);
    side.ClientToScreen(&info.MousePos);
    EXPECT_EQ(side.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(grid.m_CUGCnrBtn->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), 1);
    platform::set_help_handler({});
    EXPECT_EQ(asked, (std::vector<DWORD_PTR>{3000 - 10 + 1, 4000 - 10 - 1}));
}

TEST_F(headings, the_refresh_gives_the_farthest_heading_row_what_the_total_leaves)
{
    delete[] sheet().m_topHdgHeights;
    sheet().m_numberTopHdgRows = 2;
    sheet().m_topHdgHeights = new int[2]{12, 5};
    sheet().m_topHdgHeight = 30;
    grid.m_CUGTopHdg->Update();
    EXPECT_EQ(sheet().m_topHdgHeights[1], 18);
    EXPECT_EQ(sheet().m_topHdgHeight, 30);

    sheet().m_topHdgHeight = 2000;
    grid.m_CUGTopHdg->Update();
    EXPECT_EQ(sheet().m_topHdgHeights[1], 18) << "heights above 1024 are not taken";

    int col = 3, row = -2;
    RECT rect{};
    sheet().m_topHdgHeight = 30;
    ASSERT_EQ(grid.m_CUGTopHdg->GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(CRect(rect.left, rect.top, rect.right, rect.bottom), CRect(225, 0, 300, 18));
    EXPECT_EQ(grid.m_CUGTopHdg->GetCellFromPoint(230, 25, &col, &row, nullptr), 0);
    EXPECT_EQ(at(col, row), "3,-1");
}
