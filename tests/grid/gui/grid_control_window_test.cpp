#include "platform/gui/gui_support.h"
#include "grid_window.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHint.h"

#include <gtest/gtest.h>

namespace {

class grid_in_a_window : public grid_test::grid_window_fixture<CUGCtrl> {
protected:
    void SetUp() override
    {
        if (open_grid(10, 100))
            lay_out();
    }

};

}  // namespace

TEST_F(grid_in_a_window, the_parts_are_real_windows_laid_out_in_the_control)
{
    for (int id : {UG_GRID, UG_TOPHEADING, UG_SIDEHEADING, UG_CORNERBUTTON, UG_HSCROLL, UG_VSCROLL})
        ASSERT_NE(grid.GetDlgItem(id)->peer(), nullptr) << "part " << id;
    EXPECT_EQ(grid.GetDlgItem(UG_GRID)->window_rect_in_parent(), CRect(40, 20, 384, 284));
    EXPECT_EQ(grid.GetDlgItem(UG_VSCROLL)->window_rect_in_parent(), CRect(384, 0, 400, 284));
    EXPECT_TRUE(grid.GetDlgItem(UG_GRID)->IsWindowVisible());
    EXPECT_NE(grid.m_CUGHint->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(grid.m_CUGHint->IsWindowVisible()) << "the hint stays hidden until a thumb is dragged";

    grid.MoveWindow(10, 10, 300, 200, TRUE);
    platform::process_toolkit_events();
    EXPECT_EQ(grid.GetDlgItem(UG_GRID)->window_rect_in_parent(), CRect(40, 20, 284, 184));
}

TEST_F(grid_in_a_window, an_edit_opens_over_its_cell_and_stores_what_was_typed)
{
    ASSERT_EQ(grid.StartEdit(2, 3), 0);
    platform::process_toolkit_events();
    CWnd* edit = grid.GetEditControlInUse();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->IsWindowVisible());
    EXPECT_EQ(edit->GetParent(), static_cast<CWnd*>(grid.m_CUGGrid));
    EXPECT_EQ(edit->window_rect_in_parent(), CRect(150, 60, 224, 79));

    edit->SetWindowText("typed");
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(grid.OnEditFinished(text, 0, 0, 0, 0), 1);
    platform::process_toolkit_events();
    EXPECT_FALSE(edit->IsWindowVisible());
    EXPECT_STREQ(grid.GetCellText(2, 3), "typed");
}
