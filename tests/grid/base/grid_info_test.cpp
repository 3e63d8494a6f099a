#include "grid/UGGridInfo.h"
#include "grid/UGMem.h"
#include "grid/UGPtrList.h"

#include "platform/base/window.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"

#include <gtest/gtest.h>

TEST(SheetSettings, a_new_sheet_has_every_default)
{
    CUGGridInfo sheet;
    EXPECT_EQ(sheet.m_numberCols, 0);
    EXPECT_EQ(sheet.m_focusCol, -1);
    EXPECT_EQ(sheet.m_lastFocusCol, -1);
    EXPECT_EQ(sheet.m_leftCol, 0);
    EXPECT_EQ(sheet.m_lastLeftCol, 0);
    EXPECT_EQ(sheet.m_maxLeftCol, 0);
    EXPECT_EQ(sheet.m_defColWidth, 75);
    EXPECT_EQ(sheet.m_rightCol, 0);
    EXPECT_EQ(sheet.m_currentCol, -1);
    EXPECT_EQ(sheet.m_extraColArray, nullptr);
    EXPECT_EQ(sheet.m_extraRowArrayCount, 0);
    EXPECT_EQ(sheet.m_colInfo, nullptr);

    EXPECT_EQ(sheet.m_numberRows, 0);
    EXPECT_EQ(sheet.m_focusRow, -1);
    EXPECT_EQ(sheet.m_lastFocusRow, -1);
    EXPECT_EQ(sheet.m_topRow, 0);
    EXPECT_EQ(sheet.m_maxTopRow, 0);
    EXPECT_EQ(sheet.m_rowHeights, nullptr);
    EXPECT_EQ(sheet.m_defRowHeight, 20);
    EXPECT_EQ(sheet.m_uniformRowHeightFlag, 0);
    EXPECT_EQ(sheet.m_bottomRow, 0);
    EXPECT_EQ(sheet.m_currentRow, -1);

    EXPECT_EQ(sheet.m_numberTopHdgRows, 1);
    ASSERT_NE(sheet.m_topHdgHeights, nullptr);
    EXPECT_EQ(sheet.m_topHdgHeights[0], 20);
    EXPECT_EQ(sheet.m_numberSideHdgCols, 1);
    ASSERT_NE(sheet.m_sideHdgWidths, nullptr);
    EXPECT_EQ(sheet.m_sideHdgWidths[0], 25);

    ASSERT_NE(sheet.m_gridDefaults, nullptr);
    EXPECT_EQ(sheet.m_gridDefaults->GetPropertyFlags(), 0x8008788u);
    ASSERT_NE(sheet.m_hdgDefaults, nullptr);
    EXPECT_EQ(sheet.m_hdgDefaults->GetBackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(sheet.m_hdgDefaults->GetBorder(), 8192);
    EXPECT_EQ(sheet.m_hdgDefaults->GetAlignment(), 36);
    EXPECT_EQ(sheet.m_hdgDefaults->GetThemeStyle(), 128);
    EXPECT_TRUE(sheet.m_hdgDefaults->IsPropertySet(UGCELL_BACKCOLOR_SET | UGCELL_BORDERSTYLE_SET));
    EXPECT_TRUE(sheet.m_hdgDefaults->IsPropertySet(UGCELL_BORDERSTYLE_SET));
    EXPECT_EQ(sheet.m_cell.GetPropertyFlags(), 0x8008788u);

    EXPECT_EQ(sheet.m_topHdgHeight, 20);
    EXPECT_EQ(sheet.m_sideHdgWidth, 40);
    EXPECT_EQ(sheet.m_vScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(sheet.m_hScrollHeight, GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_EQ(sheet.m_tabWidth, 0);
    EXPECT_EQ(sheet.m_sizeSetting1, 1);
    EXPECT_EQ(sheet.m_sizeSetting2, 1);

    EXPECT_EQ(sheet.m_multiSelectFlag, 0);
    EXPECT_EQ(sheet.m_switch1 + sheet.m_switch2 + sheet.m_switch3, 3);
    EXPECT_EQ(sheet.m_sheetReady, 0);
    EXPECT_EQ(sheet.m_enablePopupMenu, 0);
    EXPECT_EQ(sheet.m_enableCellTips, 0);
    EXPECT_EQ(sheet.m_enableScrollHints, 0);
    EXPECT_EQ(sheet.m_switch4 + sheet.m_switch5, 2);
    EXPECT_EQ(sheet.m_enableJoins, 1);
    EXPECT_EQ(sheet.m_enableCellOverLap, 1);
    EXPECT_EQ(sheet.m_switch6, 1);
    EXPECT_EQ(sheet.m_enableThumbTracking, 0);
    EXPECT_EQ(sheet.m_setting1, 0);
    EXPECT_EQ(sheet.m_setting2, 1);
    EXPECT_EQ(sheet.m_setting3, 200);
    EXPECT_EQ(sheet.m_numLockCols + sheet.m_numLockRows + sheet.m_lockColWidth + sheet.m_lockRowHeight, 0);

    EXPECT_EQ(sheet.m_defFont, nullptr);
    ASSERT_NE(sheet.m_CUGMem, nullptr);
    EXPECT_EQ(sheet.m_defDataSource, sheet.m_CUGMem);
    EXPECT_EQ(sheet.m_multiSelectMode, 0);
    EXPECT_EQ(cursor_id(sheet.m_arrowCursor), 32512);
    EXPECT_EQ(cursor_id(sheet.m_WEResizeCursor), 32644);
    EXPECT_EQ(cursor_id(sheet.m_NSResizeCursor), 32645);
    EXPECT_EQ(sheet.m_editCtrl, nullptr);
    EXPECT_EQ(sheet.m_maskedEditCtrl, nullptr);
    EXPECT_EQ(sheet.m_countSetting, 4);
    ASSERT_NE(sheet.m_CUGPtrList, nullptr);
    EXPECT_EQ(sheet.m_CUGPtrList->GetCount(), 0);
    ASSERT_NE(sheet.m_gridLinePen, nullptr);
    LOGPEN pen;
    ASSERT_NE(sheet.m_gridLinePen->GetLogPen(&pen), 0);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    EXPECT_EQ(pen.lopnColor, 0xDCDCDCu);
    EXPECT_EQ(sheet.m_trackingWndMode, 0);
    EXPECT_EQ(sheet.m_switch7, 1);
}

TEST(SheetSettings, sheet_frees_the_column_records_it_was_given)
{
    // Sanitized builds catch a leak or a double free here.
    CUGGridInfo sheet;
    sheet.m_numberCols = 2;
    sheet.m_colInfo = new UGCOLINFO[2];
    sheet.m_colInfo[0].colDefault = new CUGCell;
    sheet.m_colInfo[1].colDefault = new CUGCell;
    sheet.m_rowHeights = new int[3]{1, 2, 3};
    CUGCell cell;
    cell.SetTextValue("stored");
    EXPECT_EQ(sheet.m_CUGMem->WriteCell(0, 0, &cell), 0);
}

TEST(PointerList, grows_by_ten_and_hands_out_stable_indexes)
{
    CUGPtrList list;
    EXPECT_EQ(list.GetMaxCount(), 0);
    EXPECT_EQ(list.GetPointer(0), nullptr);
    int values[11] = {};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(list.AddPointer(&values[i]), i);
    EXPECT_EQ(list.GetMaxCount(), 10);
    EXPECT_EQ(list.AddPointer(&values[10]), 10);
    EXPECT_EQ(list.GetMaxCount(), 20);
    EXPECT_EQ(list.GetCount(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(list.GetPointer(i), &values[i]);
    EXPECT_EQ(list.GetPointer(11), nullptr);
    EXPECT_EQ(list.GetPointer(-1), nullptr);
    EXPECT_EQ(list.GetPointer(20), nullptr);

    EXPECT_EQ(list.GetParam(3), 0);
    EXPECT_EQ(list.SetParam(3, 5), 0);
    EXPECT_EQ(list.GetParam(3), 5);
    EXPECT_EQ(list.SetParam(15, 1), 1);
}
