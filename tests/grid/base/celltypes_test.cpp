// Check-box, arrow and drop-list cells in a grid with no display: the windows keep their own
// state, so toggles, the list's placement and the stored choices run as in the program.

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLstBox.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct notification {
    long type;
    int col;
    long row;
    long code;
    std::string value;
};

// A control that writes down what its cell types tell it and answers as it is told.
class listening_grid : public CUGCtrl {
public:
    std::vector<notification> heard;
    BOOL answer_open = TRUE;
    BOOL answer_choice = TRUE;
    std::vector<std::string> offered;

    BOOL OnCellTypeNotify(long type, int col, long row, long code, LONG_PTR param) override
    {
        std::string value;
        if (code == UGCT_LISTSELECTED || code == UGCT_LISTSTORED)
            value = static_cast<const char*>(*reinterpret_cast<CString*>(param));
        else if (code == UGCT_DISPLAYLIST) {
            auto* items = reinterpret_cast<CArray<CString>*>(param);
            offered.clear();
            for (int i = 0; i < items->GetSize(); ++i)
                offered.emplace_back(static_cast<const char*>((*items)[i]));
        } else
            value = std::to_string(param);
        heard.push_back({type, col, row, code, value});
        if (code == UGCT_DISPLAYLIST)
            return answer_open;
        if (code == UGCT_LISTSELECTED)
            return answer_choice;
        return TRUE;
    }
    const notification* last(long code) const
    {
        for (auto it = heard.rbegin(); it != heard.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }
};

class cell_types : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, 500, 400), nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 310), &dialog,
                                       UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
        grid.m_GI->m_vScrollWidth = 16;
        grid.m_GI->m_hScrollHeight = 16;
        grid.SetColumnCount(5);
        grid.SetRowCount(40);
        grid.RecalcPartLayout();
    }
    void TearDown() override { dialog.DestroyWindow(); }

    // Makes the cell one of the given type, with an extended style when it is not -1.
    void make(int col, int row, CUGCellType& type, int style = -1, const char* label = nullptr)
    {
        CUGCell cell;
        grid.GetCell(col, row, &cell);
        cell.SetCellType(type.GetID());
        if (style != -1)
            cell.SetCellTypeEx(style);
        if (label != nullptr)
            cell.SetLabelText(label);
        grid.StoreCellAt(col, row, &cell);
    }
    double number(int col, int row)
    {
        CUGCell cell;
        grid.GetCell(col, row, &cell);
        return cell.GetNumber();
    }
    RECT rect_of(int col, int row)
    {
        RECT rect{};
        grid.GetCellRect(&col, &row, &rect);
        return rect;
    }
    POINT box_centre(int col, int row)
    {
        RECT box = rect_of(col, row);
        CUGCell cell;
        grid.GetCell(col, row, &cell);
        const int height = box.bottom - box.top;
        const int size = std::min(height - 6, 12);
        grid.m_checkBoxType.GetCheckArea(&box, size, (height - size) / 2, &cell);
        return POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }
    int click(CUGCellType& type, int col, int row, POINT at, int down = 1)
    {
        RECT rect = rect_of(col, row);
        return type.OnLClicked(col, row, down, &rect, &at);
    }
    int press_key(CUGCellType& type, int col, int row, UINT key)
    {
        return type.OnKeyDown(col, row, &key);
    }
    CUGDropListType& drop() { return grid.m_dropListType; }
    CUGLstBox& list() { return *grid.m_dropListType.GetListBox(); }

    CWnd dialog;
    CWnd placeholder;
    listening_grid grid;
};

TEST_F(cell_types, each_type_has_its_name_and_its_own_identifier)
{
    EXPECT_STREQ(grid.m_checkBoxType.GetName(), "CheckBox");
    EXPECT_STREQ(grid.m_arrowType.GetName(), "Side Arrows");
    EXPECT_STREQ(grid.m_dropListType.GetName(), "DropList");
    const GUID* ids[] = {grid.m_normalCellType.GetTypeId(), grid.m_checkBoxType.GetTypeId(),
                         grid.m_arrowType.GetTypeId(), grid.m_dropListType.GetTypeId()};
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(std::memcmp(ids[i], ids[j], sizeof(GUID)), 0) << i << " and " << j;
    EXPECT_EQ(grid.m_checkBoxType.CanEdit(), 0) << "a check box is never edited as text";
    EXPECT_EQ(grid.m_dropListType.CanEdit(), 1);
    EXPECT_EQ(grid.m_checkBoxType.CanOverflow(), 0);
    EXPECT_EQ(grid.m_dropListType.CanOverflow(), 0);
}

TEST_F(cell_types, a_press_in_the_box_toggles_the_check_box_and_tells_the_grid)
{
    make(1, 2, grid.m_checkBoxType);
    const POINT inside = box_centre(1, 2);

    EXPECT_EQ(click(grid.m_checkBoxType, 1, 2, inside), 1);
    EXPECT_EQ(number(1, 2), 1.0);
    const notification* toggled = grid.last(UGCT_CHECKBOXSET);
    ASSERT_NE(toggled, nullptr);
    EXPECT_EQ(toggled->type, grid.m_checkBoxType.GetID());
    EXPECT_EQ(toggled->col, 1);
    EXPECT_EQ(toggled->row, 2);
    EXPECT_EQ(toggled->value, "1");

    EXPECT_EQ(click(grid.m_checkBoxType, 1, 2, inside, 0), 0) << "a release does nothing";
    EXPECT_EQ(number(1, 2), 1.0);
    EXPECT_EQ(click(grid.m_checkBoxType, 1, 2, inside), 1);
    EXPECT_EQ(number(1, 2), 0.0) << "two states alternate";

    const RECT rect = rect_of(1, 2);
    EXPECT_EQ(click(grid.m_checkBoxType, 1, 2, POINT{rect.right - 3, inside.y}), 0) << "outside the box";
    EXPECT_EQ(number(1, 2), 0.0);

    RECT cellRect = rect_of(1, 2);
    POINT at = inside;
    EXPECT_EQ(grid.m_checkBoxType.OnDClicked(1, 2, &cellRect, &at), 1);
    EXPECT_EQ(number(1, 2), 1.0) << "a double click toggles once";
}

TEST_F(cell_types, a_three_state_box_cycles_through_three_values_by_the_space_bar)
{
    make(0, 0, grid.m_checkBoxType, UGCT_CHECKBOX3STATE);
    CUGCell cell;
    grid.GetCell(0, 0, &cell);
    cell.SetTextValue("not a number");
    grid.StoreCellAt(0, 0, &cell);

    std::vector<double> seen;
    for (int i = 0; i < 4; ++i) {
        UINT space = VK_SPACE;
        EXPECT_EQ(grid.m_checkBoxType.OnCharDown(0, 0, &space), 1);
        seen.push_back(number(0, 0));
    }
    EXPECT_EQ(seen, (std::vector<double>{1, 2, 0, 1}));
    grid.GetCell(0, 0, &cell);
    EXPECT_EQ(cell.GetDataType(), UGCELLDATA_NUMBER) << "the space bar replaces the text by a number";
    UINT letter = 'x';
    EXPECT_EQ(grid.m_checkBoxType.OnCharDown(0, 0, &letter), 0);
}

TEST_F(cell_types, disabled_and_read_only_boxes_do_not_toggle)
{
    make(0, 1, grid.m_checkBoxType, UGCT_CHECKBOXDISABLED);
    make(0, 3, grid.m_checkBoxType);
    CUGCell cell;
    grid.GetCell(0, 3, &cell);
    cell.SetReadOnly(1);
    grid.StoreCellAt(0, 3, &cell);

    for (int row : {1, 3}) {
        EXPECT_EQ(click(grid.m_checkBoxType, 0, row, box_centre(0, row)), 0);
        UINT space = VK_SPACE;
        EXPECT_EQ(grid.m_checkBoxType.OnCharDown(0, row, &space), 0);
        EXPECT_EQ(number(0, row), 0.0);
    }
    EXPECT_EQ(grid.last(UGCT_CHECKBOXSET), nullptr);
}

TEST_F(cell_types, values_beyond_any_whole_number_toggle_as_unchecked)
{
    make(2, 2, grid.m_checkBoxType);
    for (double odd : {1e300, -1e300, std::nan("")}) {
        CUGCell cell;
        grid.GetCell(2, 2, &cell);
        cell.SetNumber(odd);
        grid.StoreCellAt(2, 2, &cell);
        UINT space = VK_SPACE;
        ASSERT_EQ(grid.m_checkBoxType.OnCharDown(2, 2, &space), 1);
        EXPECT_EQ(number(2, 2), 1.0) << odd;
    }
    CUGCell cell;
    grid.GetCell(2, 2, &cell);
    cell.SetNumber(-2);
    grid.StoreCellAt(2, 2, &cell);
    UINT space = VK_SPACE;
    grid.m_checkBoxType.OnCharDown(2, 2, &space);
    EXPECT_GE(number(2, 2), 0.0) << "a negative value still lands on a state";
}

TEST_F(cell_types, the_box_follows_the_alignment_only_when_asked)
{
    CUGCell cell;
    RECT box{0, 0, 100, 20};
    grid.m_checkBoxType.GetCheckArea(&box, 12, 4, &cell);
    EXPECT_EQ(CRect(box), CRect(3, 4, 15, 16));

    cell.SetCellTypeEx(UGCT_CHECKBOXUSEALIGN);
    cell.SetAlignment(UG_ALIGNRIGHT | UG_ALIGNBOTTOM);
    box = RECT{0, 0, 100, 20};
    grid.m_checkBoxType.GetCheckArea(&box, 12, 4, &cell);
    EXPECT_EQ(CRect(box), CRect(82, 2, 94, 14));

    cell.SetAlignment(UG_ALIGNCENTER | 8);
    box = RECT{0, 0, 100, 20};
    grid.m_checkBoxType.GetCheckArea(&box, 12, 4, &cell);
    EXPECT_EQ(CRect(box), CRect(44, 3, 56, 15));
}

TEST_F(cell_types, best_sizes_make_room_for_box_arrow_and_button)
{
    CDC dc;
    CUGCell cell;
    SIZE size{0, 20};
    cell.SetCellTypeEx(UGCT_CHECKBOXUSEALIGN);
    grid.m_checkBoxType.GetBestSize(&dc, &size, &cell);
    EXPECT_EQ(size.cx, 18);
    EXPECT_EQ(size.cy, 2);

    CUGCell labelled;
    labelled.SetLabelText("Include");
    size = SIZE{0, 20};
    grid.m_checkBoxType.GetBestSize(&dc, &size, &labelled);
    RECT text{0, 0, 0, 0};
    dc.DrawText("Include", &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(size.cx, 24 + text.right);
    EXPECT_EQ(size.cy, text.bottom + 2);

    CUGCell arrow;
    size = SIZE{0, 20};
    grid.m_arrowType.GetBestSize(&dc, &size, &arrow);
    EXPECT_EQ(size.cx, 10);
    arrow.SetCellTypeEx(UGCT_ARROWDLEFT);
    grid.m_arrowType.GetBestSize(&dc, &size, &arrow);
    EXPECT_EQ(size.cx, 14);
    EXPECT_EQ(size.cy, 20) << "the height is left as given";

    RECT edit{0, 0, 100, 20};
    grid.m_dropListType.GetEditArea(&edit);
    EXPECT_EQ(edit.right, 100 - GetSystemMetrics(SM_CXVSCROLL) - 1);
}

TEST_F(cell_types, enter_opens_the_list_with_every_item_that_ends_in_a_line_feed)
{
    make(2, 3, drop(), -1, "alpha\nbeta\ngamma");
    UINT enter = VK_RETURN;
    EXPECT_EQ(drop().OnKeyDown(2, 3, &enter), 1);
    EXPECT_EQ(enter, 0u) << "the key is consumed";
    ASSERT_TRUE(drop().IsListOpen());
    EXPECT_EQ(grid.offered, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(list().GetCount(), 2);
    EXPECT_EQ(list().GetDlgCtrlID(), UGCT_LISTBOX_ID);
    EXPECT_EQ(list().GetParent(), static_cast<CWnd*>(grid.m_CUGGrid));
    EXPECT_EQ(CWnd::GetFocus(), &list());
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_EQ(list().OnGetDlgCode() & 5u, 5u);

    UINT other = 'A';
    EXPECT_EQ(drop().OnKeyDown(2, 3, &other), 0);
    UINT ch = 13;
    EXPECT_EQ(drop().OnCharDown(2, 3, &ch), 1);
}

TEST_F(cell_types, a_choice_is_stored_in_the_cell_and_reported)
{
    make(1, 1, drop(), -1, "red\ngreen\nblue\n");
    UINT enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    ASSERT_TRUE(drop().IsListOpen());
    list().SetCurSel(1);
    list().SendMessage(WM_KEYDOWN, VK_RETURN, 0);

    EXPECT_FALSE(drop().IsListOpen());
    EXPECT_STREQ(grid.GetCellText(1, 1), "green");
    ASSERT_NE(grid.last(UGCT_LISTSELECTEDINDEX), nullptr);
    EXPECT_EQ(grid.last(UGCT_LISTSELECTEDINDEX)->value, "1");
    ASSERT_NE(grid.last(UGCT_LISTSTORED), nullptr);
    EXPECT_EQ(grid.last(UGCT_LISTSELECTED)->value, "green");
    EXPECT_EQ(grid.last(UGCT_LISTSTORED)->value, "green");
    EXPECT_EQ(drop().GetListCol(), -1);
    EXPECT_EQ(drop().GetListRow(), -1);
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(grid.m_CUGGrid)) << "the keyboard goes back to the cells";
}

TEST_F(cell_types, the_grid_may_veto_a_choice_or_cancel_the_list)
{
    make(1, 1, drop(), -1, "red\ngreen\n");
    grid.SetCellTextAt(1, 1, "before");
    grid.answer_choice = FALSE;
    UINT enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    list().SetCurSel(0);
    list().SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_STREQ(grid.GetCellText(1, 1), "before");
    EXPECT_EQ(grid.last(UGCT_LISTSTORED), nullptr);
    EXPECT_FALSE(drop().IsListOpen());

    grid.answer_open = FALSE;
    enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    EXPECT_FALSE(drop().IsListOpen());
}

TEST_F(cell_types, escape_closes_the_list_without_a_choice_until_the_next_press)
{
    make(1, 1, drop(), -1, "red\ngreen\n");
    UINT enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    list().SetCurSel(0);
    list().SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(drop().IsListOpen());
    EXPECT_EQ(grid.last(UGCT_LISTSELECTED), nullptr);
    EXPECT_EQ(drop().GetListCol(), -2);
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(grid.m_CUGGrid));

    const RECT rect = rect_of(1, 1);
    EXPECT_EQ(click(drop(), 1, 1, POINT{rect.left + 2, rect.top + 2}), 0);
    EXPECT_EQ(drop().GetListCol(), -1) << "a press off the button forgets the closed list";

    enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    list().SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(drop().IsListOpen()) << "Enter with nothing selected closes";
}

TEST_F(cell_types, the_button_opens_and_closes_the_list_and_tracks_the_mouse)
{
    make(3, 2, drop(), -1, "one\ntwo\n");
    const RECT rect = rect_of(3, 2);
    const POINT button{rect.right - 3, rect.top + 5};
    EXPECT_EQ(click(drop(), 3, 2, button), 1);
    EXPECT_TRUE(drop().IsListOpen());
    EXPECT_EQ(drop().GetListCol(), 3);

    POINT away{rect.left, rect.top};
    EXPECT_EQ(drop().OnMouseMove(3, 2, &away, 0), 1) << "no button held";
    EXPECT_EQ(drop().OnMouseMove(3, 2, &away, MK_LBUTTON), 0);
    POINT over = button;
    EXPECT_EQ(drop().OnMouseMove(3, 2, &over, MK_LBUTTON), 0);
    EXPECT_EQ(click(drop(), 3, 2, button, 0), 1) << "the release lets the pressed button up";
    EXPECT_EQ(click(drop(), 3, 2, button, 0), 0);

    EXPECT_EQ(click(drop(), 3, 2, button), 0) << "a press on the open list's button closes it";
    EXPECT_FALSE(drop().IsListOpen());
    EXPECT_EQ(drop().GetListCol(), -1);
    RECT copy = rect;
    POINT off{rect.left + 1, rect.top + 1};
    EXPECT_EQ(drop().OnDClicked(3, 2, &copy, &off), 0);
}

TEST_F(cell_types, moving_the_current_cell_closes_the_list)
{
    make(1, 1, drop(), -1, "a\nb\n");
    UINT enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    ASSERT_TRUE(drop().IsListOpen());
    grid.GotoCell(2, 5);
    EXPECT_FALSE(drop().IsListOpen());
    EXPECT_EQ(drop().GetListCol(), -1);
}

TEST_F(cell_types, a_read_only_drop_list_does_not_open)
{
    make(1, 1, drop(), -1, "a\nb\n");
    CUGCell cell;
    grid.GetCell(1, 1, &cell);
    cell.SetReadOnly(1);
    grid.StoreCellAt(1, 1, &cell);
    UINT enter = VK_RETURN;
    drop().OnKeyDown(1, 1, &enter);
    EXPECT_FALSE(drop().IsListOpen());
    EXPECT_EQ(grid.last(UGCT_DISPLAYLIST), nullptr);
}

TEST_F(cell_types, a_long_list_shows_fifteen_rows_and_widens_for_its_scroll_bar)
{
    std::string label;
    for (int i = 0; i < 19; ++i)
        label += "item " + std::to_string(i) + "\n";
    label += std::string(60, 'w') + "\n";
    make(0, 0, drop(), -1, label.c_str());
    // Room enough below and beside the first cell for the whole list.
    grid.MoveWindow(10, 10, 900, 700, TRUE);
    grid.RecalcPartLayout();
    UINT enter = VK_RETURN;
    drop().OnKeyDown(0, 0, &enter);
    ASSERT_TRUE(drop().IsListOpen());
    EXPECT_EQ(list().GetCount(), 20);

    const CRect placed = list().window_rect_in_parent();
    const RECT cell = rect_of(0, 0);
    EXPECT_EQ(placed.top, cell.bottom);
    EXPECT_EQ(placed.Height(), 6 + 15 * list().GetItemHeight(0));
    EXPECT_EQ(placed.left, cell.left + 10);

    CDC* dc = list().GetDC();
    CFont* old = dc->SelectObject(static_cast<CFont*>(GetStockObject(SYSTEM_FONT)));
    const int widest = dc->GetTextExtent(CString(std::string(60, 'w').c_str())).cx;
    dc->SelectObject(old);
    list().ReleaseDC(dc);
    EXPECT_EQ(placed.Width(), widest + 10 + GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(cell_types, a_list_at_the_bottom_of_the_cell_area_moves_up_inside_it)
{
    RECT client{};
    grid.m_CUGGrid->GetClientRect(&client);
    const int row = client.bottom / grid.m_GI->m_defRowHeight - 1;
    make(4, row, drop(), -1, "a\nb\nc\nd\ne\n");
    UINT enter = VK_RETURN;
    drop().OnKeyDown(4, row, &enter);
    ASSERT_TRUE(drop().IsListOpen());
    const CRect placed = list().window_rect_in_parent();
    EXPECT_EQ(placed.bottom, client.bottom);
    EXPECT_EQ(placed.Height(), 6 + 5 * list().GetItemHeight(0)) << "moved, not shortened";
    EXPECT_LE(placed.right, client.right) << "the last column's list is kept inside too";
    EXPECT_GE(placed.left, 0);
}

}  // namespace
