// Check-box, arrow and drop-list cells drawn into the cell area's real window under Xvfb, and
#include "grid_window.h"
// the drop list's real list window.

#include "platform/gui/gui_support.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLstBox.h"

#include "platform/base/system_services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class noting_grid : public CUGCtrl {
public:
    std::vector<std::string> heard;
    BOOL OnCellTypeNotify(long, int col, long row, long code, LONG_PTR param) override
    {
        std::string entry = std::to_string(code) + " at " + std::to_string(col) + "," + std::to_string(row);
        if (code == UGCT_CHECKBOXSET)
            entry += " = " + std::to_string(param);
        heard.push_back(entry);
        return TRUE;
    }
};

class cell_types_on_screen : public grid_test::grid_window_fixture<noting_grid> {
protected:
    void SetUp() override
    {
        if (open_grid(5, 20))
            lay_out();
    }
    void make(int col, int row, CUGCellType& type, int style, double value, const char* label = nullptr)
    {
        CUGCell cell;
        grid.GetCell(col, row, &cell);
        cell.SetCellType(type.GetID());
        if (style != -1)
            cell.SetCellTypeEx(style);
        cell.SetNumber(value);
        if (label != nullptr)
            cell.SetLabelText(label);
        grid.StoreCellAt(col, row, &cell);
    }
    RECT rect_of(int col, int row)
    {
        RECT rect{};
        grid.GetCellRect(&col, &row, &rect);
        return rect;
    }
    // Draws the cell as the cell area does, on white.
    void draw(int col, int row, int current = 0)
    {
        RECT rect = rect_of(col, row);
        CUGCell cell;
        grid.GetCell(col, row, &cell);
        CDC* dc = area().GetDC();
        dc->FillSolidRect(&rect, RGB(255, 255, 255));
        grid.GetCellTypeAt(col, row)->OnDraw(dc, &rect, col, row, &cell, 0, current);
        area().ReleaseDC(dc);
        platform::process_toolkit_events();
    }
    // What the type draws in: the sheet's grid lines take the cell's last column and row.
    RECT inner_of(int col, int row)
    {
        RECT rect = rect_of(col, row);
        --rect.right;
        --rect.bottom;
        return rect;
    }
    COLORREF pixel(int x, int y) { return gui_test::pixel_at(area(), x, y); }
    CUGGrid& area() { return *grid.m_CUGGrid; }

};

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);

TEST_F(cell_types_on_screen, a_clicked_check_box_is_drawn_crossed)
{
    make(1, 1, grid.m_checkBoxType, -1, 0);
    draw(1, 1);
    const RECT rect = inner_of(1, 1);
    const int height = rect.bottom - rect.top;
    const int size = std::min(height - 6, 12);
    const int left = rect.left + 3;
    const int top = rect.top + (height - size) / 2;
    EXPECT_EQ(pixel(left, top + size / 2), black) << "the frame";
    EXPECT_EQ(pixel(left + size, top + size / 2), black);
    EXPECT_EQ(pixel(left + size / 2, top + size / 2), white) << "an empty box";

    RECT cellRect = rect_of(1, 1);
    POINT inside{left + size / 2, top + size / 2};
    ASSERT_EQ(grid.m_checkBoxType.OnLClicked(1, 1, 1, &cellRect, &inside), 1);
    EXPECT_EQ(grid.heard, (std::vector<std::string>{"53 at 1,1 = 1"}));
    draw(1, 1);
    EXPECT_EQ(pixel(left + size / 2, top + size / 2), black) << "the cross goes through the middle";
    EXPECT_EQ(pixel(left + size + 4, top + size / 2), white) << "no label, nothing beside the box";
    if (std::getenv("TARVOLINE_SCREENSHOTS") != nullptr) {
        make(2, 1, grid.m_checkBoxType, UGCT_CHECKBOXCHECKMARK | UGCT_CHECKBOX3DRECESS, 1);
        make(3, 1, grid.m_checkBoxType, UGCT_CHECKBOXROUND | UGCT_CHECKBOX3STATE, 2);
        make(1, 2, grid.m_arrowType, UGCT_ARROWDRIGHT, 0);
        make(2, 2, grid.m_arrowType, UGCT_ARROWLEFT, 0);
        make(3, 2, grid.m_dropListType, -1, 0, "a\nb\n");
        for (int col : {2, 3})
            draw(col, 1);
        for (int col : {1, 2, 3})
            draw(col, 2);
        platform::save_window_png(area(), "celltypes.png");
    }
}

TEST_F(cell_types_on_screen, arrows_point_the_way_their_style_says)
{
    make(2, 3, grid.m_arrowType, UGCT_ARROWRIGHT, 0);
    make(3, 3, grid.m_arrowType, UGCT_ARROWLEFT, 0);
    draw(2, 3);
    draw(3, 3);
    for (int col : {2, 3}) {
        const RECT rect = inner_of(col, 3);
        const int cx = rect.left + (rect.right - rect.left) / 2;
        const int cy = rect.top + (rect.bottom - rect.top) / 2;
        const int base = col == 2 ? cx - 1 : cx + 1;
        const int tip = col == 2 ? cx + 2 : cx - 2;
        EXPECT_EQ(pixel(base, cy - 3), black) << col;
        EXPECT_EQ(pixel(base, cy + 3), black) << col;
        EXPECT_EQ(pixel(tip, cy), black) << col;
        EXPECT_EQ(pixel(base, cy + 5), white) << col;
        EXPECT_EQ(pixel(2 * cx - tip, cy), white) << "nothing on the other side " << col;
    }
}

TEST_F(cell_types_on_screen, the_drop_list_opens_from_its_button_picks_a_value_and_closes)
{
    make(1, 4, grid.m_dropListType, -1, 0, "first\nsecond\nthird\n");
    CUGCell cell;
    grid.GetCell(1, 4, &cell);
    cell.SetTextValue("");
    grid.StoreCellAt(1, 4, &cell);
    draw(1, 4);
    const RECT rect = inner_of(1, 4);
    const int buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int buttonLeft = rect.right - buttonWidth;
    const int x0 = buttonLeft + (buttonWidth - 5) / 2;
    const int y0 = rect.top + (rect.bottom - rect.top - 3) / 2;
    EXPECT_EQ(pixel(x0 + 2, y0), black) << "the glyph";
    EXPECT_EQ(pixel(x0 + 2, y0 + 2), black);
    EXPECT_EQ(pixel(buttonLeft + 2, rect.bottom - 4), GetSysColor(COLOR_BTNFACE)) << "the button's face";
    EXPECT_EQ(pixel(rect.left + 3, rect.top + 3), white);

    RECT cellRect = rect_of(1, 4);
    POINT button{rect.right - 4, rect.top + 4};
    ASSERT_EQ(grid.m_dropListType.OnLClicked(1, 4, 1, &cellRect, &button), 1);
    platform::process_toolkit_events();
    CUGLstBox* list = grid.m_dropListType.GetListBox();
    ASSERT_NE(list->peer(), nullptr) << "a real window";
    EXPECT_TRUE(list->IsWindowVisible());
    EXPECT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->window_rect_in_parent().top, cellRect.bottom);
    EXPECT_EQ(grid.GetCurrentRow(), 4);

    list->SetCurSel(2);
    list->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    platform::process_toolkit_events();
    EXPECT_EQ(list->GetSafeHwnd(), nullptr) << "closed";
    EXPECT_STREQ(grid.GetCellText(1, 4), "third");
    EXPECT_EQ(grid.heard, (std::vector<std::string>{"100 at 1,4", "102 at 1,4", "101 at 1,4", "103 at 1,4"}));
}

}  // namespace
