// The in-cell edits as the toolkit's own text controls over a real grid window.
#include "grid_window.h"
#include "platform/gui/gui_support.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"

#include "platform/base/virtual_keys.h"
#include "platform/wx/wx_peers.h"

#include <gtest/gtest.h>

#include <wx/textctrl.h>

#include <string>
#include <vector>

namespace {

class noting_grid : public CUGCtrl {
public:
    std::vector<std::string> log;
    bool upper_case = false;
    int AllowEditKey(int, int, CWnd*, UINT* key) override
    {
        if (upper_case && *key >= 'a' && *key <= 'z')
            *key -= 'a' - 'A';
        return 1;
    }
    int AllowEditFinish(int col, int row, CWnd*, const char* text, int cancelled) override
    {
        log.push_back("finish " + std::to_string(col) + "," + std::to_string(row) + " '" + text + "' cancel " +
                      std::to_string(cancelled));
        return 1;
    }
    int AllowEditContinue(int col, int row, int* nextCol, int* nextRow) override
    {
        log.push_back("continue " + std::to_string(col) + "," + std::to_string(row) + " to " +
                      std::to_string(*nextCol) + "," + std::to_string(*nextRow));
        return 0;
    }
};

void send_key(wxWindow* widget, wxEventType type, int code, int unicode = 0)
{
    wxKeyEvent event(type);
    event.SetEventObject(widget);
    event.m_keyCode = code;
    event.m_uniChar = static_cast<wxChar>(unicode);
    widget->GetEventHandler()->ProcessEvent(event);
}

class edit_in_a_window : public grid_test::grid_window_fixture<noting_grid> {
protected:
    void SetUp() override
    {
        if (!open_grid(6, 20))
            return;
        grid.RecalcPartLayout();
        grid.GotoCell(0, 0);
        platform::process_toolkit_events();
    }
    wxTextCtrl* open(int col, int row)
    {
        EXPECT_EQ(grid.StartEdit(col, row), 0);
        platform::process_toolkit_events();
        CWnd* edit = grid.GetEditControlInUse();
        return edit != nullptr ? dynamic_cast<wxTextCtrl*>(platform::widget_of(*edit)) : nullptr;
    }
    void press(wxWindow* widget, int code)
    {
        send_key(widget, wxEVT_KEY_DOWN, code);
        send_key(widget, wxEVT_KEY_UP, code);
        platform::process_toolkit_events();
    }
    bool logged(const std::string& entry) const
    {
        for (const std::string& line : grid.log)
            if (line == entry)
                return true;
        return false;
    }

};

}  // namespace

TEST_F(edit_in_a_window, typed_text_is_stored_when_enter_ends_the_edit)
{
    wxTextCtrl* text = open(2, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->IsShown());
    // Synthetic key events never reach the toolkit's own insertion, so the grid upper-cases
    // what is typed and the edit puts the changed characters in itself.
    grid.upper_case = true;
    for (int c : {'a', 'b', 'c'})
        send_key(text, wxEVT_CHAR, c, c);
    platform::process_toolkit_events();
    EXPECT_EQ(text->GetValue(), "ABC");
    press(text, WXK_RETURN);
    EXPECT_TRUE(logged("finish 2,3 'ABC' cancel 0"));
    EXPECT_TRUE(logged("continue 2,3 to 2,4"));
    EXPECT_STREQ(grid.GetCellText(2, 3), "ABC");
    EXPECT_FALSE(text->IsShown());
}

TEST_F(edit_in_a_window, tab_moves_right_and_escape_stores_nothing)
{
    wxTextCtrl* text = open(1, 1);
    ASSERT_NE(text, nullptr);
    text->ChangeValue("first");
    press(text, WXK_TAB);
    EXPECT_TRUE(logged("continue 1,1 to 2,1"));
    EXPECT_STREQ(grid.GetCellText(1, 1), "first");

    text = open(1, 2);
    ASSERT_NE(text, nullptr);
    text->ChangeValue("dropped");
    press(text, WXK_ESCAPE);
    EXPECT_TRUE(logged("finish 1,2 'dropped' cancel 1"));
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_NE(grid.GetCellText(1, 2) != nullptr ? std::string(grid.GetCellText(1, 2)) : std::string(), "dropped");
}

TEST_F(edit_in_a_window, a_masked_cell_types_through_its_mask_in_the_toolkit_control)
{
    CUGCell cell;
    grid.GetCell(3, 2, &cell);
    cell.SetMask("(000)");
    grid.StoreCellAt(3, 2, &cell);
    wxTextCtrl* text = open(3, 2);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(grid.GetEditControlInUse(), static_cast<CWnd*>(&grid.m_maskedEditCtrl));
    for (int c : {'4', 'x', '2'}) {
        send_key(text, wxEVT_CHAR, c, c);
        platform::process_toolkit_events();
    }
    EXPECT_EQ(text->GetValue(), "(42");
    press(text, WXK_DOWN);
    EXPECT_STREQ(grid.GetCellText(3, 2), "(42");
    EXPECT_TRUE(logged("continue 3,2 to 3,3"));
}
