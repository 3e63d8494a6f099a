// The scroll bars and the thumb hint as real toolkit windows under Xvfb.
#include "grid_window.h"

#include "platform/gui/gui_support.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHint.h"
#include "grid/UGHScroll.h"
#include "grid/UGVScroll.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class row_hint_grid : public CUGCtrl {
public:
    int GetRowScrollHintText(int row, CString* text) override
    {
        text->Format("Row %d", row + 1);
        return 1;
    }
};

class scroll_bars_on_screen : public grid_test::grid_window_fixture<row_hint_grid> {
protected:
    void SetUp() override
    {
        if (open_grid(10, 5000, CRect(10, 10, 366, 446), CRect(40, 40, 540, 540)))
            lay_out();
    }

};

bool dark(COLORREF colour) { return GetRValue(colour) < 128 && GetGValue(colour) < 128 && GetBValue(colour) < 128; }

}  // namespace

TEST_F(scroll_bars_on_screen, dragging_the_thumb_shows_a_yellow_hint_with_the_row_and_releasing_moves_there)
{
    grid.m_GI->m_enableScrollHints = 1;
    CRect bar;
    grid.m_CUGVScroll->GetWindowRect(&bar);
    platform::set_cursor_position(CPoint(bar.left + 8, bar.top + 150));
    grid.m_CUGVScroll->user_scrolled(SB_THUMBTRACK, 500);
    platform::process_toolkit_events();

    CUGHint* hint = grid.m_CUGHint;
    ASSERT_TRUE(hint->IsWindowVisible());
    EXPECT_STREQ(hint->GetText(), "Row 2491");
    EXPECT_EQ(grid.m_GI->m_topRow, 0);

    CRect client;
    hint->GetClientRect(&client);
    ASSERT_GT(client.Width(), 20);
    EXPECT_EQ(gui_test::pixel_at(*hint, 1, client.Height() / 2), RGB(255, 255, 224));
    bool text_drawn = false;
    for (int x = 0; x < client.Width() && !text_drawn; ++x)
        for (int y = 0; y < client.Height() && !text_drawn; ++y)
            text_drawn = dark(gui_test::pixel_at(*hint, x, y));
    EXPECT_TRUE(text_drawn) << "the row's text is drawn on the hint";
    if (const char* folder = std::getenv("TARVOLINE_SCREENSHOTS")) {
        platform::save_window_png(*hint, std::string(folder) + "/scroll_hint.png");
        platform::save_window_png(dialog, std::string(folder) + "/scroll_hint_grid.png");
    }

    grid.m_CUGVScroll->user_scrolled(SB_THUMBPOSITION, 500);
    platform::process_toolkit_events();
    EXPECT_FALSE(hint->IsWindowVisible());
    EXPECT_EQ(grid.m_GI->m_topRow, 2490);
    EXPECT_EQ(grid.m_CUGVScroll->GetScrollPos(), 500);
}

TEST_F(scroll_bars_on_screen, the_bars_page_the_view_and_show_the_new_position)
{
    grid.m_CUGVScroll->user_scrolled(SB_PAGEDOWN, 0);
    grid.m_CUGHScroll->user_scrolled(SB_PAGERIGHT, 0);
    platform::process_toolkit_events();
    EXPECT_EQ(grid.m_GI->m_topRow, 20);
    EXPECT_EQ(grid.m_GI->m_leftCol, 4);
    EXPECT_EQ(grid.m_CUGVScroll->GetScrollPos(), 4) << "20 of 4980 top rows on the 0..1000 scale";
    EXPECT_EQ(grid.m_CUGHScroll->GetScrollPos(), 4);
    EXPECT_FALSE(grid.m_CUGHint->IsWindowVisible()) << "hints are off";
}
