#include "grid_control_fixture.h"

#include "grid/UGDataSource.h"
#include "grid/UGGrid.h"
#include "grid/UGMem.h"
#include "grid/UGMultiSelect.h"
#include "grid/UGPtrList.h"

#include "platform/base/modal.h"
#include "platform/base/virtual_keys.h"

#include <cstring>
#include <memory>

TEST(GridControlAttachment, attaching_needs_the_dialogs_place_holder)
{
    CWnd dialog;
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    recording_grid grid;
    EXPECT_EQ(grid.AttachToDialogControl(&dialog), 0);
    EXPECT_TRUE(grid.log.empty());
    EXPECT_EQ(grid.GetSafeHwnd(), nullptr);
}

TEST_F(grid_control, attaching_creates_the_parts_and_sets_the_sheet_up_once)
{
    LOGFONTA dialogFont{};
    dialogFont.lfHeight = -12;
    dialogFont.lfWeight = FW_NORMAL;
    std::strcpy(dialogFont.lfFaceName, "DejaVu Sans");
    CFont font;
    font.CreateFontIndirect(&dialogFont);
    dialog.SetFont(&font, FALSE);

    attach(300, 200);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"created", "sheet 0"}));
    EXPECT_EQ(sheet().m_sheetReady, 1);
    EXPECT_NE(grid.GetStyle() & WS_TABSTOP, 0u);
    EXPECT_EQ(grid.GetDlgItem(UG_GRID), static_cast<CWnd*>(grid.m_CUGGrid));
    for (int id : {UG_GRID, UG_TOPHEADING, UG_SIDEHEADING, UG_CORNERBUTTON, UG_HSCROLL, UG_VSCROLL, UG_TAB})
        EXPECT_NE(grid.GetDlgItem(id), nullptr) << "part " << id;
    EXPECT_TRUE(grid.GetDlgItem(UG_VSCROLL)->GetStyle() & SBS_VERT);
    ASSERT_NE(grid.GetDlgItem(UG_EDIT_ID), nullptr);
    EXPECT_FALSE(grid.GetDlgItem(UG_EDIT_ID)->IsWindowVisible());
    EXPECT_NE(grid.GetDlgItem(UG_MASKEDEDIT_ID), nullptr);

    ASSERT_NE(sheet().m_defFont, nullptr);
    LOGFONTA shown{};
    sheet().m_defFont->GetObject(sizeof(shown), &shown);
    EXPECT_STREQ(shown.lfFaceName, "DejaVu Sans");
    ASSERT_TRUE(sheet().m_hdgDefaults->IsPropertySet(UGCELL_FONT_SET));
    LOGFONTA heading{};
    sheet().m_hdgDefaults->GetFont()->GetObject(sizeof(heading), &heading);
    EXPECT_EQ(heading.lfWeight, FW_NORMAL + 200);
}

TEST(GridControlFonts, identical_fonts_share_one_entry)
{
    CUGCtrl grid;
    const int first = grid.AddFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
    const int again = grid.AddFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
    const int bold = grid.AddFont(-12, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
    EXPECT_GE(first, 0);
    EXPECT_EQ(again, first);
    EXPECT_NE(bold, first);
    EXPECT_EQ(grid.m_fontList->GetParam(first), 1) << "the second use is counted";

    const std::string longName(40, 'x');
    const int unnamed = grid.AddFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, longName.c_str());
    LOGFONTA made{};
    grid.GetFont(unnamed)->GetObject(sizeof(made), &made);
    EXPECT_STREQ(made.lfFaceName, "") << "a face name too long for the record is dropped, not cut";
}

TEST_F(grid_control, window_messages_of_the_control)
{
    attach(300, 200);
    EXPECT_EQ(grid.SendMessage(WM_GETDLGCODE), 5);
    EXPECT_EQ(grid.SendMessage(WM_ERASEBKGND), 1);
    EXPECT_EQ(grid.SendMessage(UG_FINDREPLACE_MESSAGE), 1) << "no find dialog is open";

    grid.SendMessage(WM_SETFOCUS);
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(grid.m_CUGGrid)) << "the focus goes on to the cells";
}

TEST_F(grid_control, the_popup_menu_asks_its_switch_and_its_notification)
{
    attach(300, 200);
    shape(3, 3);
    POINT at{5, 5};
    EXPECT_EQ(grid.ShowPopupMenu(1, 1, &at, UG_GRID), 1) << "menus are off in a new sheet";

    sheet().m_enablePopupMenu = 1;
    grid.refuse_popup = true;
    EXPECT_EQ(grid.ShowPopupMenu(1, 1, &at, UG_GRID), 2);

    grid.refuse_popup = false;
    grid.GetPopupMenu()->AppendMenu(MF_STRING, 1001, "Open");
    int asked = 0;
    auto previous = platform::set_popup_menu_handler([&](const platform::popup_menu_request&) -> UINT {
        ++asked;
        return 0;
    });
    EXPECT_EQ(grid.ShowPopupMenu(2, 1, &at, UG_TOPHEADING), 0) << "dismissing the menu is no failure";
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(grid.m_menuCol, 2);
    EXPECT_EQ(grid.m_menuSection, UG_TOPHEADING);

    platform::set_popup_menu_handler([](const platform::popup_menu_request&) -> UINT { return 1001; });
    EXPECT_EQ(grid.ShowPopupMenu(0, 2, &at, UG_GRID), 0);
    platform::set_popup_menu_handler(previous);
    EXPECT_TRUE(grid.logged("menu 1001 at 0,2 in 1")) << "the chosen command reaches the notification";
}

TEST_F(grid_control, row_counts_switch_to_one_height_for_huge_sheets)
{
    attach(300, 200);
    EXPECT_EQ(grid.SetRowCount(-1), 1);
    shape(3, 5);
    EXPECT_EQ(grid.GetCurrentRow(), 0) << "the first rows make row 0 current";
    EXPECT_EQ(grid.SetRowCount(0), 0);
    EXPECT_EQ(sheet().m_currentRow, -1);
    EXPECT_EQ(sheet().m_focusRow, -1);

    EXPECT_EQ(grid.SetRowCount(64001), 0);
    EXPECT_EQ(sheet().m_uniformRowHeightFlag, 1);
    EXPECT_EQ(sheet().m_rowHeights, nullptr);
    EXPECT_EQ(grid.SetRowCount(10), 0);
    EXPECT_EQ(sheet().m_uniformRowHeightFlag, 1) << "the uniform height is kept for good";
    EXPECT_EQ(grid.SetRowHeightAt(3, 30), 0);
    EXPECT_EQ(grid.GetRowHeightAt(0), 30);
    EXPECT_EQ(grid.GetRowHeightAt(9), 30);
    EXPECT_EQ(grid.GetRowHeightAt(10), 0);
    EXPECT_EQ(grid.SetRowHeightAt(10, 30), 1);
}

TEST_F(grid_control, rows_keep_their_heights_when_the_count_changes)
{
    attach(300, 200);
    shape(2, 4);
    grid.SetRowHeightAt(1, 33);
    grid.SetRowCount(8);
    EXPECT_EQ(grid.GetRowHeightAt(1), 33);
    EXPECT_EQ(grid.GetRowHeightAt(7), 20);
    grid.SetRowCount(2);
    EXPECT_EQ(grid.GetRowHeightAt(1), 33);
}

TEST_F(grid_control, column_counts_are_bounded_and_columns_keep_their_records)
{
    attach(300, 200);
    EXPECT_EQ(grid.SetColumnCount(32001), 1);
    EXPECT_EQ(grid.SetColumnCount(-1), 1);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.SetColumnCount(1), 0);
    EXPECT_EQ(grid.GetCurrentColumn(), 0) << "the first column becomes current";
    EXPECT_EQ(grid.SetColumnWidthAt(0, 50), 0);
    EXPECT_EQ(grid.SetColumnCount(32000), 0);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 50);
    EXPECT_EQ(grid.GetColumnWidthAt(31999), 75);
    EXPECT_EQ(sheet().m_colInfo[31999].colTranslation, 31999);
    EXPECT_EQ(grid.SetColumnWidthAt(32000, 10), 1);
    EXPECT_EQ(grid.SetColumnWidthAt(-1, 50), 0) << "the side heading column";
    EXPECT_EQ(sheet().m_sideHdgWidth, 50);
}

TEST_F(grid_control, moving_a_column_moves_its_record)
{
    attach(300, 200);
    shape(4, 2);
    for (int col = 0; col < 4; ++col)
        grid.SetColumnWidthAt(col, 10 * (col + 1));
    EXPECT_EQ(grid.MoveColumn(0, 3), 0);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 20);
    EXPECT_EQ(grid.GetColumnWidthAt(2), 10);
    EXPECT_EQ(grid.GetColumnWidthAt(3), 40);
    EXPECT_EQ(sheet().m_colInfo[2].colTranslation, 0);
    EXPECT_EQ(grid.MoveColumn(3, 0), 0);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 40);
    EXPECT_EQ(grid.MoveColumn(1, 2), 0) << "to the place it already has";
    EXPECT_EQ(grid.MoveColumn(4, 0), 1);
    EXPECT_EQ(grid.MoveColumn(0, 5), 1);
}

TEST_F(grid_control, cells_go_through_the_sheets_memory_source)
{
    attach(300, 200);
    shape(3, 3);
    EXPECT_EQ(grid.SetCellTextAt(1, 2, "backup"), 0);
    EXPECT_STREQ(grid.GetCellText(1, 2), "backup");
    EXPECT_EQ(grid.SetCellBackColorAt(1, 2, RGB(1, 2, 3)), 0);
    EXPECT_STREQ(grid.GetCellText(1, 2), "backup") << "changing one property keeps the others";

    CUGCell stored;
    ASSERT_EQ(grid.ReadCellFromSource(1, 2, &stored), 0);
    EXPECT_EQ(stored.GetBackColor(), RGB(1, 2, 3));
    EXPECT_EQ(grid.ReadCellFromSource(3, 0, &stored), 1);

    sheet().m_colInfo[0].colDefault->SetAlignment(UG_ALIGNRIGHT);
    CUGCell shown;
    grid.GetCell(0, 1, &shown);
    EXPECT_EQ(shown.GetAlignment(), UG_ALIGNRIGHT) << "a column's default cell lies under its cells";
    grid.fetched_back_colour = static_cast<int>(RGB(9, 9, 9));
    grid.GetCell(0, 0, &shown);
    EXPECT_EQ(shown.GetBackColor(), RGB(9, 9, 9)) << "the fetch notification has the last word";

    CUGCell heading;
    grid.GetCell(1, -1, &heading);
    EXPECT_EQ(heading.GetThemeStyle(), 32);
    EXPECT_EQ(heading.GetBackColor(), GetSysColor(COLOR_BTNFACE));

    EXPECT_EQ(grid.RemoveRowAt(0), 0);
    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_STREQ(grid.GetCellText(1, 1), "backup") << "the rows below move up";
    EXPECT_EQ(grid.RemoveRowAt(2), 1);
}

TEST_F(grid_control, storing_accepts_headings_and_one_row_past_the_end)
{
    attach(300, 200);
    shape(3, 3);
    CUGCell cell;
    cell.SetTextValue("x");
    EXPECT_EQ(grid.StoreCellAt(0, 3, &cell), 0);
    EXPECT_EQ(grid.StoreCellAt(-1, 0, &cell), 0);
    EXPECT_EQ(grid.StoreCellAt(0, -1, &cell), 0);
    EXPECT_EQ(grid.StoreCellAt(3, 0, &cell), 1);
    EXPECT_EQ(grid.StoreCellAt(-2, 0, &cell), 1);
    EXPECT_EQ(grid.StoreCellAt(0, -2, &cell), 1);
    EXPECT_EQ(grid.StoreCellAt(0, 4, &cell), 1);
    EXPECT_STREQ(grid.GetCellText(0, -1), "x");
}

namespace {

class refusing_source : public CUGDataSource {
public:
    int RemoveRow(int) override { return 5; }
    int AllowCellMove(int, int, int, int) override { return 0; }
};

}  // namespace

TEST_F(grid_control, data_sources_register_from_index_1_up_to_63)
{
    attach(300, 200);
    std::vector<std::unique_ptr<refusing_source>> sources;
    EXPECT_EQ(grid.RegisterDataSource(nullptr), -1);
    for (int index = 1; index <= 63; ++index) {
        sources.push_back(std::make_unique<refusing_source>());
        EXPECT_EQ(grid.RegisterDataSource(sources.back().get()), index);
        EXPECT_EQ(sources.back()->m_ID, index);
    }
    refusing_source late;
    EXPECT_EQ(grid.RegisterDataSource(&late), -1);
    EXPECT_EQ(late.m_ctrl, &grid) << "the source knows the grid even when registration fails";
    EXPECT_EQ(grid.GetDataSource(1), sources.front().get());
}

TEST_F(grid_control, a_data_source_can_refuse_removals_and_moves)
{
    attach(300, 200);
    shape(3, 3);
    refusing_source source;
    sheet().m_defDataSource = &source;
    EXPECT_EQ(grid.RemoveRowAt(1), 5);
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.MoveCurrentColumnTo(2), 2);
    EXPECT_EQ(grid.GotoCell(1, 1), 2);
    EXPECT_EQ(grid.GetCurrentColumn(), 0);
    sheet().m_defDataSource = sheet().m_CUGMem;
}

TEST_F(grid_control, moves_of_the_current_cell_ask_the_notifications)
{
    attach(300, 200);
    shape(3, 5);
    grid.log.clear();
    EXPECT_EQ(grid.MoveCurrentRowTo(0), 0);
    EXPECT_TRUE(grid.log.empty()) << "a move to the current row asks nothing";

    EXPECT_EQ(grid.MoveCurrentRowTo(2), 0);
    EXPECT_TRUE(grid.logged("allow move 0,0 to 0,2"));
    EXPECT_TRUE(grid.logged("cell change 0,0 to 0,2"));
    EXPECT_EQ(grid.GetCurrentRow(), 2);

    grid.refuse_cell_move = true;
    EXPECT_EQ(grid.MoveCurrentRowTo(3), 2);
    EXPECT_EQ(grid.MoveCurrentColumnTo(1), 2);
    EXPECT_EQ(grid.GotoCell(2, 4), 2);
    EXPECT_EQ(grid.GetCurrentColumn(), 0);
    EXPECT_EQ(grid.GetCurrentRow(), 2);

    grid.refuse_cell_move = false;
    grid.refuse_view_move = true;
    // As a paint leaves it when row 4 shows only in part.
    sheet().m_bottomRow = 4;
    EXPECT_EQ(grid.MoveCurrentRowTo(4), 2) << "the row lies outside the drawn rows, so the view would move";
    grid.refuse_view_move = false;

    EXPECT_EQ(grid.MoveCurrentRowTo(40), 0) << "a target past the end becomes the last row";
    EXPECT_EQ(grid.GetCurrentRow(), 4);
    EXPECT_EQ(grid.MoveCurrentRowTo(5), 1) << "already on the last row";
    EXPECT_EQ(grid.MoveCurrentRowTo(-3), 0);
    EXPECT_EQ(grid.GetCurrentRow(), 0);
    EXPECT_EQ(grid.MoveCurrentColumnTo(7), 0);
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.MoveCurrentColumnTo(3), 1);

    EXPECT_EQ(grid.GotoCell(1, 3), 0);
    EXPECT_EQ(sheet().m_focusCol, 1);
    EXPECT_EQ(sheet().m_focusRow, 3);
    EXPECT_EQ(grid.GotoCell(3, 0), 1) << "no such column";
    EXPECT_EQ(grid.GotoCell(0, -1), 1);
}

TEST_F(grid_control, moving_down_brings_the_row_into_view)
{
    attach(300, 100);
    shape(2, 50);
    ASSERT_EQ(sheet().m_gridHeight, 80);
    EXPECT_EQ(grid.MoveCurrentRowTo(10), 0);
    EXPECT_EQ(sheet().m_topRow, 7) << "four rows fit, so row 10 is shown last with row 7 on top";
    EXPECT_EQ(grid.MoveCurrentRowTo(2), 0);
    EXPECT_EQ(sheet().m_topRow, 2);
}

TEST_F(grid_control, pasted_text_fills_cells_from_the_focus_cell)
{
    attach(400, 300);
    shape(4, 4);
    sheet().m_multiSelectFlag = 1;
    grid.SetCellTextAt(2, 2, "old");
    ASSERT_EQ(grid.GotoCell(1, 1), 0);
    CString text("a\tb\r\nc\t\tz");
    EXPECT_EQ(grid.PasteText(&text), 0);
    EXPECT_STREQ(grid.GetCellText(1, 1), "a");
    EXPECT_STREQ(grid.GetCellText(2, 1), "b");
    EXPECT_STREQ(grid.GetCellText(1, 2), "c");
    EXPECT_EQ(grid.GetCellText(2, 2), nullptr) << "an empty field clears the text";
    EXPECT_STREQ(grid.GetCellText(3, 2), "z");

    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(sheet().m_multiSelect->GetNewestBlock(&left, &top, &right, &bottom), 0);
    EXPECT_EQ(CRect(left, top, right, bottom), CRect(1, 1, 3, 2));
}

TEST_F(grid_control, pasting_skips_read_only_cells_and_stops_at_the_sheets_edge)
{
    attach(400, 300);
    shape(2, 2);
    CUGCell locked;
    locked.SetTextValue("keep");
    locked.SetReadOnly(1);
    grid.StoreCellAt(1, 0, &locked);
    CString text("a\tb\tc\nd\te\nf\n");
    EXPECT_EQ(grid.PasteText(&text), 0);
    EXPECT_STREQ(grid.GetCellText(0, 0), "a");
    EXPECT_STREQ(grid.GetCellText(1, 0), "keep");
    EXPECT_STREQ(grid.GetCellText(0, 1), "d");
    EXPECT_STREQ(grid.GetCellText(1, 1), "e");
    EXPECT_EQ(grid.GetRowCount(), 2);
}

TEST_F(grid_control, finishing_an_edit_converts_and_stores_the_text)
{
    attach(400, 300);
    shape(3, 3);
    CUGCell number;
    number.SetNumber(1);
    grid.StoreCellAt(1, 1, &number);

    ASSERT_EQ(grid.StartEdit(1, 1), 0);
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    CWnd* edit = grid.GetEditControlInUse();
    ASSERT_EQ(edit, static_cast<CWnd*>(&grid.m_editCtrl));
    EXPECT_TRUE(edit->IsWindowVisible());
    EXPECT_EQ(edit->GetParent(), static_cast<CWnd*>(grid.m_CUGGrid));
    EXPECT_EQ(grid.StartEdit(2, 2), 1) << "one edit at a time";

    EXPECT_EQ(grid.OnEditFinished("12.5", 0, 0, 0, 0), 1);
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_FALSE(edit->IsWindowVisible());
    CUGCell stored;
    grid.ReadCellFromSource(1, 1, &stored);
    EXPECT_EQ(stored.GetDataType(), UGCELLDATA_NUMBER);
    EXPECT_DOUBLE_EQ(stored.GetNumber(), 12.5);
    EXPECT_STREQ(grid.GetCellText(1, 1), "12.5");

    ASSERT_EQ(grid.StartEdit(0, 0), 0);
    EXPECT_EQ(grid.OnEditFinished("ignored", 1, 0, 0, 0), 1);
    EXPECT_EQ(grid.GetCellText(0, 0), nullptr) << "a cancelled edit stores nothing";
}

TEST_F(grid_control, an_edit_moving_on_wraps_to_the_first_column)
{
    attach(400, 300);
    shape(3, 3);
    ASSERT_EQ(grid.StartEdit(2, 1), 0);
    EXPECT_EQ(grid.OnEditFinished("last", 0, 1, 3, 1), 1);
    EXPECT_STREQ(grid.GetCellText(2, 1), "last");
    EXPECT_TRUE(grid.IsEditing()) << "the edit continues on the next cell";
    EXPECT_EQ(grid.GetCurrentColumn(), 0);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    grid.OnEditFinished("", 1, 0, 0, 0);
}

TEST_F(grid_control, read_only_cells_and_refusing_types_are_not_edited)
{
    attach(400, 300);
    shape(3, 3);
    CUGCell locked;
    locked.SetReadOnly(1);
    grid.StoreCellAt(1, 1, &locked);
    EXPECT_EQ(grid.StartEdit(1, 1), 1);
    EXPECT_FALSE(grid.IsEditing());

    CUGCell check;
    check.SetCellType(grid.m_checkBoxType.GetID());
    grid.StoreCellAt(2, 2, &check);
    EXPECT_EQ(grid.GetCellTypeAt(2, 2), static_cast<CUGCellType*>(&grid.m_checkBoxType));
    EXPECT_EQ(grid.StartEdit(2, 2), 1);

    grid.refuse_cell_move = true;
    EXPECT_EQ(grid.StartEdit(0, 2), 2);
    EXPECT_FALSE(grid.IsEditing());
}

TEST(GridControlCells, built_in_cell_types_have_fixed_indexes)
{
    CUGCtrl grid;
    EXPECT_EQ(grid.m_normalCellType.GetID(), 0);
    EXPECT_EQ(grid.m_dropListType.GetID(), 1);
    EXPECT_EQ(grid.m_checkBoxType.GetID(), 2);
    EXPECT_EQ(grid.m_arrowType.GetID(), 3);
    EXPECT_STREQ(grid.m_normalCellType.GetName(), "Normal Cell Type (default)");
    EXPECT_FALSE(IsEqualGUID(*grid.m_checkBoxType.GetTypeId(), *grid.m_arrowType.GetTypeId()));
    EXPECT_EQ(grid.GetCellTypeAt(0, 0), &grid.m_normalCellType) << "a cell without a type index";
}

TEST(GridControlCells, cells_compare_by_number_or_by_text)
{
    CUGCtrl grid;
    CUGCell small, large;
    small.SetNumber(2);
    large.SetNumber(10);
    EXPECT_EQ(grid.CompareCells(&small, &large, 0), -1);
    EXPECT_EQ(grid.CompareCells(&small, &large, 2), 1) << "bit 1 sorts descending";
    EXPECT_EQ(grid.CompareCells(&large, &large, 0), 0);

    CUGCell apple, pear, empty;
    apple.SetTextValue("apple");
    pear.SetTextValue("pear");
    EXPECT_EQ(grid.CompareCells(&apple, &pear, 0), -1);
    EXPECT_EQ(grid.CompareCells(&empty, &pear, 0), 1);
    EXPECT_EQ(grid.CompareCells(&pear, &empty, 0), -1);
    EXPECT_EQ(grid.CompareCells(nullptr, nullptr, 0), 0);
    EXPECT_EQ(grid.CompareCells(nullptr, &pear, 0), 1);
    EXPECT_EQ(grid.CompareCells(&pear, nullptr, 0), -1);
}

TEST_F(grid_control, stretching_gives_the_last_column_the_remainder)
{
    attach(440, 300);
    shape(2, 3);
    grid.SetColumnWidthAt(0, 50);
    grid.SetColumnWidthAt(1, 150);
    ASSERT_EQ(sheet().m_gridWidth, 400);
    EXPECT_EQ(grid.StretchColumnsToWidth(0, 1), 0);
    EXPECT_EQ(grid.GetColumnWidthAt(0), 100);
    EXPECT_EQ(grid.GetColumnWidthAt(1), 300);
    EXPECT_EQ(grid.StretchColumnsToWidth(1, 0), 1);
    EXPECT_EQ(grid.StretchColumnsToWidth(0, 2), 1);
    EXPECT_EQ(sheet().m_sheetReady, 1);
}

TEST(GridControlCells, the_default_tip_names_the_cell)
{
    CUGCtrl grid;
    CString tip;
    EXPECT_EQ(grid.GetCellTipText(3, 12, UG_GRID, &tip), 1);
    EXPECT_STREQ(tip, "Col:3 Row:12");
}
