#pragma once
// A grid control attached, as the application attaches it, to a place-holder child of a real
// toolkit window.

#include "platform/gui/gui_support.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

namespace grid_test {

inline void attach_grid_to_window(CWnd& dialog, CWnd& placeholder, CUGCtrl& grid, const CRect& dialog_rect,
                                  const CRect& placeholder_rect)
{
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, dialog_rect, nullptr, 0));
    ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, placeholder_rect, &dialog, UG_PLACEHOLDER_ID));
    ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
}

// A case with a grid of type Grid on screen. The scroll bars are 16 pixels wide, whatever the
// theme says, so that the cell area's size is known; the window goes, with its pending events,
// after every case.
template <typename Grid = CUGCtrl>
class grid_window_fixture : public ::testing::Test {
protected:
    // False when the window could not be made; the case has then failed.
    bool open_grid(int columns, long rows, const CRect& placeholder_rect = CRect(10, 10, 410, 310),
              const CRect& dialog_rect = CRect(40, 40, 540, 440))
    {
        gui_test::start_toolkit();
        attach_grid_to_window(dialog, placeholder, grid, dialog_rect, placeholder_rect);
        if (::testing::Test::HasFatalFailure())
            return false;
        grid.m_GI->m_vScrollWidth = 16;
        grid.m_GI->m_hScrollHeight = 16;
        grid.SetColumnCount(columns);
        grid.SetRowCount(rows);
        return true;
    }
    void lay_out()
    {
        grid.RecalcPartLayout();
        platform::process_toolkit_events();
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        platform::process_toolkit_events();
    }

    CWnd dialog;
    CWnd placeholder;
    Grid grid;
};

} // namespace grid_test
