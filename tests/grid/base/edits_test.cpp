// The in-cell edits without a display: the windows keep their own text and selection, so keys,
// characters and the end of an edit run as in the program.
#include "grid/UGCtrl.h"
#include "grid/UGEdit.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGMaskedEdit.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

class editing_grid : public CUGCtrl {
public:
    std::vector<std::string> log;
    std::vector<UINT> keys;
    bool refuse_finish = false;
    bool refuse_continue = false;
    UINT refused_key = 0;
    bool upper_case = false;

    int AllowEditFinish(int col, int row, CWnd*, const char* text, int cancelled) override
    {
        log.push_back("finish " + std::to_string(col) + "," + std::to_string(row) + " '" + text + "' cancel " +
                      std::to_string(cancelled));
        return refuse_finish ? 0 : 1;
    }
    int AllowEditContinue(int col, int row, int* nextCol, int* nextRow) override
    {
        log.push_back("continue " + std::to_string(col) + "," + std::to_string(row) + " to " +
                      std::to_string(*nextCol) + "," + std::to_string(*nextRow));
        return refuse_continue ? 0 : 1;
    }
    int AllowEditKey(int, int, CWnd*, UINT* key) override
    {
        keys.push_back(*key);
        if (*key == refused_key)
            return 0;
        if (upper_case && *key < 128)
            *key = static_cast<UINT>(std::toupper(static_cast<int>(*key)));
        return 1;
    }
    void OnSectionKillFocus(int section, CWnd*) override { log.push_back("section lost focus " + std::to_string(section)); }

    bool logged(const std::string& entry) const
    {
        for (const std::string& line : log)
            if (line == entry)
                return true;
        return false;
    }
};

class in_cell_edit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 500), nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 310), &dialog,
                                       UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
        grid.m_GI->m_vScrollWidth = 16;
        grid.m_GI->m_hScrollHeight = 16;
        grid.SetColumnCount(5);
        grid.SetRowCount(20);
        grid.RecalcPartLayout();
        grid.GotoCell(0, 0);
    }
    void TearDown() override { platform::reset_key_table(); }

    CUGEditBase* open(int col, int row)
    {
        EXPECT_EQ(grid.StartEdit(col, row), 0);
        return dynamic_cast<CUGEditBase*>(grid.GetEditControlInUse());
    }
    static void key(CWnd* edit, UINT code) { edit->SendMessage(WM_KEYDOWN, code, 1); }
    static void type(CWnd* edit, const char* text)
    {
        for (const char* c = text; *c; ++c)
            edit->SendMessage(WM_CHAR, static_cast<unsigned char>(*c), 1);
    }
    static std::string text_of(CWnd* edit)
    {
        CString text;
        edit->GetWindowText(text);
        return text.GetString();
    }
    void set_mask(int col, int row, const char* mask)
    {
        CUGCell cell;
        grid.GetCell(col, row, &cell);
        cell.SetMask(mask);
        grid.StoreCellAt(col, row, &cell);
    }

    CWnd dialog;
    CWnd placeholder;
    editing_grid grid;
};

}  // namespace

TEST(input_mask, escaped_characters_are_literals_in_pattern_and_template)
{
    CUGMaskedEdit edit;
    edit.SetMask("\\0#");
    EXPECT_EQ(edit.GetPattern().GetLength(), 2);
    EXPECT_EQ(edit.GetTemplate().GetLength(), 2);
    EXPECT_EQ(edit.GetPattern()[0], CUGMaskedEdit::PLACEHOLDER);
    EXPECT_EQ(edit.GetPattern()[1], '#');
    EXPECT_EQ(edit.GetTemplate()[0], '0');
    EXPECT_EQ(edit.GetTemplate()[1], CUGMaskedEdit::PLACEHOLDER);
    EXPECT_EQ(edit.GetMask(), CString("\\0#"));

    edit.SetMask("(00)-L\\");
    EXPECT_EQ(edit.GetTemplate(), CString("(\b\b)-\b\\")) << "a backslash with nothing after it stays itself";

    edit.SetMask("");
    EXPECT_FALSE(edit.IsMaskActive());
}

TEST(input_mask, each_mask_character_accepts_its_class)
{
    struct row {
        char mask;
        const char* accepted;
        const char* refused;
    };
    const row table[] = {
        {'0', "09", " a+-"}, {'9', "5 ", "a+"},   {'#', "7 +-", "a*"}, {'L', "aZ", "1 "},
        {'?', "q ", "3-"},   {'A', "b4", " -"},   {'a', "c5 ", "-."},  {'&', "x !~", "\x01"},
        {'C', "y #", "\x7f"},
    };
    for (const row& r : table) {
        for (const char* c = r.accepted; *c; ++c)
            EXPECT_TRUE(CUGMaskedEdit::CharFits(r.mask, static_cast<unsigned char>(*c))) << r.mask << " takes " << *c;
        for (const char* c = r.refused; *c; ++c)
            EXPECT_FALSE(CUGMaskedEdit::CharFits(r.mask, static_cast<unsigned char>(*c))) << r.mask << " refuses " << *c;
    }
    EXPECT_FALSE(CUGMaskedEdit::CharFits('0', 0x663)) << "digits beyond ASCII do not pass a digit position";
    EXPECT_FALSE(CUGMaskedEdit::CharFits('L', 0xE9));
    EXPECT_TRUE(CUGMaskedEdit::CharFits('&', 0xE9));
}

TEST(input_mask, text_is_reformatted_through_the_mask)
{
    CUGMaskedEdit edit;
    edit.SetMask("(000) 000");
    EXPECT_EQ(edit.FormatThroughMask("5551234"), CString("(555) 123"));
    EXPECT_EQ(edit.FormatThroughMask("(55x5"), CString("(555")) << "characters that do not fit are dropped";
    EXPECT_EQ(edit.FormatThroughMask(""), CString(""));
}

TEST_F(in_cell_edit, enter_stores_the_text_and_continues_below)
{
    CUGEditBase* edit = open(1, 2);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetDlgCtrlID(), static_cast<int>(UG_EDIT_ID));
    EXPECT_EQ(edit->SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTALLKEYS));
    type(edit, "hello");
    key(edit, VK_RETURN);
    EXPECT_TRUE(grid.logged("finish 1,2 'hello' cancel 0"));
    EXPECT_TRUE(grid.logged("continue 1,2 to 1,3"));
    EXPECT_STREQ(grid.GetCellText(1, 2), "hello");
    EXPECT_EQ(grid.m_editRow, 3) << "the edit goes on in the cell below";
    EXPECT_EQ(CWnd::GetFocus(), grid.GetEditControlInUse());
    EXPECT_EQ(grid.keys, (std::vector<UINT>{'h', 'e', 'l', 'l', 'o'}));
}

TEST_F(in_cell_edit, tab_and_arrows_set_where_the_current_cell_goes)
{
    grid.refuse_continue = true;
    CUGEditBase* edit = open(2, 5);
    key(edit, VK_TAB);
    EXPECT_TRUE(grid.logged("continue 2,5 to 3,5"));
    EXPECT_FALSE(grid.IsEditing());

    edit = open(2, 5);
    platform::set_key_down(VK_SHIFT, true);
    key(edit, VK_TAB);
    platform::set_key_down(VK_SHIFT, false);
    EXPECT_TRUE(grid.logged("continue 2,5 to 1,5"));

    edit = open(2, 5);
    key(edit, VK_UP);
    EXPECT_TRUE(grid.logged("continue 2,5 to 2,4"));
    edit = open(2, 5);
    key(edit, VK_DOWN);
    EXPECT_TRUE(grid.logged("continue 2,5 to 2,6"));
    EXPECT_EQ(edit->GetLastKey(), static_cast<UINT>(VK_DOWN));
    EXPECT_EQ(edit->GetMoveOn(), 1);
}

TEST_F(in_cell_edit, left_and_right_leave_only_at_the_ends_of_the_text)
{
    grid.refuse_continue = true;
    CEdit* edit = open(2, 5);
    type(edit, "abcd");
    edit->SetSel(2, 2);
    key(edit, VK_RIGHT);
    key(edit, VK_LEFT);
    EXPECT_TRUE(grid.IsEditing()) << "in the middle of the text the arrows move the caret";

    edit->SetSel(4, 4);
    key(edit, VK_RIGHT);
    EXPECT_TRUE(grid.logged("continue 2,5 to 3,5"));

    edit = open(2, 5);
    edit->SetSel(0, -1);
    key(edit, VK_LEFT);
    EXPECT_TRUE(grid.IsEditing()) << "left with a selection does not leave";
    key(edit, VK_RIGHT);
    EXPECT_FALSE(grid.IsEditing()) << "right with everything selected leaves";

    edit = open(2, 5);
    edit->SetSel(0, 0);
    key(edit, VK_LEFT);
    EXPECT_TRUE(grid.logged("continue 2,5 to 1,5"));
}

TEST_F(in_cell_edit, escape_ends_without_storing_from_the_key_and_from_the_filter)
{
    grid.SetCellTextAt(0, 1, "kept");
    CUGEditBase* edit = open(0, 1);
    type(edit, "typed");
    key(edit, VK_ESCAPE);
    EXPECT_TRUE(grid.logged("finish 0,1 'typed' cancel 1"));
    EXPECT_STREQ(grid.GetCellText(0, 1), "kept");
    EXPECT_FALSE(grid.IsEditing()) << "a cancelled edit does not move on";

    grid.log.clear();
    edit = open(0, 1);
    type(edit, "other");
    MSG escape{};
    escape.hwnd = edit;
    escape.message = WM_KEYDOWN;
    escape.wParam = VK_ESCAPE;
    EXPECT_TRUE(edit->PreTranslateMessage(&escape));
    EXPECT_TRUE(grid.logged("finish 0,1 'other' cancel 1"));
    EXPECT_STREQ(grid.GetCellText(0, 1), "kept");
}

TEST_F(in_cell_edit, ctrl_enter_types_a_line_break_in_a_multi_line_cell)
{
    CUGCell cell;
    grid.GetCell(1, 1, &cell);
    cell.SetCellTypeEx(UGEDIT_MULTILINE_STYLE);
    grid.StoreCellAt(1, 1, &cell);
    CUGEditBase* edit = open(1, 1);
    type(edit, "a");
    platform::set_key_down(VK_CONTROL, true);
    key(edit, VK_RETURN);
    edit->SendMessage(WM_CHAR, '\r', 1);
    platform::set_key_down(VK_CONTROL, false);
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.keys.back(), static_cast<UINT>('\n')) << "the line break takes the character path";
    type(edit, "b");
    EXPECT_EQ(text_of(edit), "a\nb");

    key(edit, VK_ESCAPE);
    platform::set_key_down(VK_CONTROL, true);
    grid.refuse_continue = true;
    CUGEditBase* plain = open(2, 1);
    key(plain, VK_RETURN);
    EXPECT_FALSE(grid.IsEditing()) << "elsewhere Ctrl+Enter ends the edit";
}

TEST_F(in_cell_edit, the_grid_filters_and_changes_typed_characters)
{
    grid.refused_key = 'x';
    grid.upper_case = true;
    CUGEditBase* edit = open(0, 0);
    type(edit, "axb\t\x1b");
    EXPECT_EQ(text_of(edit), "AB");
    EXPECT_TRUE(grid.IsEditing()) << "tab and escape characters are swallowed";

    grid.refused_key = 127;
    edit->SetSel(0, 0);
    key(edit, VK_DELETE);
    EXPECT_EQ(grid.keys.back(), 127u) << "delete is offered as 127";
}

TEST_F(in_cell_edit, a_refused_value_keeps_the_edit_open_on_its_cell)
{
    grid.refuse_finish = true;
    CUGEditBase* edit = open(3, 4);
    type(edit, "bad");
    key(edit, VK_DOWN);
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(edit));
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    EXPECT_EQ(grid.GetCurrentRow(), 4);
    EXPECT_EQ(text_of(edit), "bad");

    grid.refuse_finish = false;
    key(edit, VK_ESCAPE);
    EXPECT_FALSE(grid.IsEditing());
}

TEST_F(in_cell_edit, losing_the_focus_outside_the_grid_cancels_when_the_sheet_says_so)
{
    CWnd outside;
    ASSERT_TRUE(outside.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(420, 10, 500, 60), &dialog, 900));
    CUGEditBase* edit = open(1, 1);
    type(edit, "gone");
    outside.SetFocus();
    EXPECT_TRUE(grid.logged("section lost focus 1"));
    EXPECT_TRUE(grid.logged("finish 1,1 'gone' cancel 0"));
    EXPECT_STREQ(grid.GetCellText(1, 1), "gone");

    grid.m_GI->m_setting1 = 1;
    edit = open(1, 2);
    type(edit, "lost");
    outside.SetFocus();
    EXPECT_TRUE(grid.logged("finish 1,2 'lost' cancel 1"));
    EXPECT_STRNE(grid.GetCellText(1, 2), "lost");
}

TEST_F(in_cell_edit, a_masked_cell_inserts_literals_and_refuses_what_does_not_fit)
{
    set_mask(1, 1, "(000) 000");
    CUGEditBase* edit = open(1, 1);
    ASSERT_EQ(edit->GetDlgCtrlID(), static_cast<int>(UG_MASKEDEDIT_ID));
    EXPECT_NE(edit->GetStyle() & ES_AUTOHSCROLL, 0u);
    type(edit, "5");
    EXPECT_EQ(text_of(edit), "(5") << "the opening parenthesis comes first";
    type(edit, "x-");
    EXPECT_EQ(text_of(edit), "(5");
    type(edit, "551");
    EXPECT_EQ(text_of(edit), "(555) 1") << "the literals between two input positions come before the 1";
    EXPECT_EQ(static_cast<CEdit*>(edit)->GetLimitText(), 9u);
    type(edit, "2345");
    EXPECT_EQ(text_of(edit), "(555) 123") << "nothing past the end of the mask";
    key(edit, VK_RETURN);
    EXPECT_STREQ(grid.GetCellText(1, 1), "(555) 123");
    EXPECT_EQ(grid.m_maskedEditCtrl.GetLimitText(), 0x7FFFFFFEu) << "the limit is lifted when the edit ends";
}

TEST_F(in_cell_edit, a_masked_cell_shows_its_text_through_the_mask)
{
    set_mask(2, 2, "000-000");
    grid.SetCellTextAt(2, 2, "12a3456");
    CUGEditBase* edit = open(2, 2);
    EXPECT_EQ(text_of(edit), "123-456");
    int start = 0, end = 0;
    static_cast<CEdit*>(edit)->GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 7);
}

TEST_F(in_cell_edit, the_default_edit_grows_over_the_following_cells)
{
    grid.SetRowHeightAt(3, 40);
    CUGCell cell;
    grid.GetCell(0, 3, &cell);
    cell.SetAlignment(UG_ALIGNLEFT);
    grid.StoreCellAt(0, 3, &cell);
    grid.GetCell(1, 3, &cell);
    cell.SetAlignment(UG_ALIGNRIGHT);
    grid.StoreCellAt(1, 3, &cell);
    auto* edit = dynamic_cast<CUGEdit*>(open(0, 3));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->IsAutoSizeActive(), 1);
    const CRect before = edit->window_rect_in_parent();
    type(edit, "a longer text");
    const CRect after = edit->window_rect_in_parent();
    EXPECT_GT(after.right, before.right);
    EXPECT_EQ(after.left, before.left);
    EXPECT_LT(after.right, 344) << "two columns are enough, not the whole cell area";
    int col = 0, row = 0;
    RECT under{};
    ASSERT_EQ(grid.GetCellAtPoint(after.right, after.top, &col, &row, &under), 0);
    EXPECT_EQ(after.right, under.right - 1) << "the right edge stops one pixel inside a cell";
    key(edit, VK_ESCAPE);

    auto* unaligned = dynamic_cast<CUGEdit*>(open(1, 3));
    EXPECT_EQ(unaligned->IsAutoSizeActive(), 0) << "right-aligned text does not overflow";
    const CRect fixed = unaligned->window_rect_in_parent();
    type(unaligned, "a text long enough to run over two columns");
    EXPECT_EQ(unaligned->window_rect_in_parent(), fixed);
}
