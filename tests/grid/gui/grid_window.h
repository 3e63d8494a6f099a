#pragma once
// A grid control attached, as the application attaches it, to a place-holder child of a real
// toolkit window.

#include "grid/UGCtrl.h"
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

} // namespace grid_test
