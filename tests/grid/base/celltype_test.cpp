// The default cell type without a display: its answers to events, the rectangles its borders
// leave, measuring, overflow across empty cells, and the colours it chooses. A device context
// without a surface measures text with fixed metrics (the stock font: 16 px high, 8 px a
// character).

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGTheme.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

class notified_grid : public CUGCtrl {
public:
    BOOL OnCellTypeNotify(long typeId, int col, long row, long code, LONG_PTR param) override
    {
        notices.push_back({typeId, col, row, code, param});
        return TRUE;
    }
    std::vector<std::tuple<long, int, long, long, LONG_PTR>> notices;
};

// Five 50-px columns, three rows; column defaults are left-aligned so texts may overflow.
class cell_type : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.SetColumnCount(5);
        grid.SetRowCount(3);
        for (int col = 0; col < 5; ++col) {
            grid.SetColumnWidthAt(col, 50);
            grid.m_GI->m_colInfo[col].colDefault->SetAlignment(UG_ALIGNLEFT);
        }
    }
    CUGCellType& type() { return grid.m_normalCellType; }
    int offset_at(int col, int row, int* source = nullptr)
    {
        int sourceCol = -1;
        CUGCell cell;
        const int offset = type().GetOverflowOffset(&dc, col, row, &sourceCol, &cell);
        if (source != nullptr)
            *source = sourceCol;
        return offset;
    }
    RECT inner_of(CUGCell& cell, RECT rect = RECT{0, 0, 50, 20})
    {
        RECT inner{};
        type().DrawBorder(&dc, &rect, &inner, &cell);
        return inner;
    }

    notified_grid grid;
    CDC dc;
};

bool same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(cell_type, the_default_type_consumes_no_event_and_forwards_notices_to_its_grid)
{
    EXPECT_STREQ(type().GetName(), "Normal Cell Type (default)");
    EXPECT_EQ(type().CanEdit(), 1);
    EXPECT_EQ(type().CanOverflow(), 1);
    RECT rect{1, 2, 3, 4};
    POINT point{1, 1};
    UINT key = 'A';
    EXPECT_EQ(type().GetEditArea(&rect), 0);
    EXPECT_TRUE(same(rect, RECT{1, 2, 3, 4}));
    EXPECT_EQ(type().OnLClicked(0, 0, 1, &rect, &point), 0);
    EXPECT_EQ(type().OnRClicked(0, 0, 0, &rect, &point), 0);
    EXPECT_EQ(type().OnDClicked(0, 0, &rect, &point), 0);
    EXPECT_EQ(type().OnKeyDown(0, 0, &key), 0);
    EXPECT_EQ(type().OnKeyUp(0, 0, &key), 0);
    EXPECT_EQ(type().OnCharDown(0, 0, &key), 0);
    EXPECT_EQ(key, static_cast<UINT>('A')) << "the key is left as it was";
    EXPECT_EQ(type().OnMouseMove(0, 0, &point, 0), 0);
    EXPECT_EQ(type().OnSystemColorChange(), 0);
    EXPECT_EQ(type().OnMessage(7), 0);

    EXPECT_TRUE(type().ForwardToGrid(5, 2, 1, 9, 42));
    ASSERT_EQ(grid.notices.size(), 1u);
    EXPECT_EQ(grid.notices[0], std::make_tuple(5L, 2, 1L, 9L, static_cast<LONG_PTR>(42)));

    CUGCellType loose;
    EXPECT_FALSE(loose.ForwardToGrid(5, 2, 1, 9, 42)) << "a type no grid registered has nobody to tell";
}

TEST_F(cell_type, borders_leave_an_inner_rectangle_less_what_they_drew)
{
    CUGCell plain;
    EXPECT_TRUE(same(inner_of(plain), RECT{0, 0, 49, 19})) << "grid lines take the right and bottom pixel";

    CUGCell thin;
    thin.SetBorder(0x1 | 0x2 | 0x4 | 0x8);
    EXPECT_TRUE(same(inner_of(thin), RECT{1, 1, 49, 19})) << "a 1-px right side replaces the grid line";

    CUGCell mixed;
    mixed.SetBorder(0x10 | 0x200 | 0x4);
    EXPECT_TRUE(same(inner_of(mixed), RECT{2, 3, 49, 19}));

    CUGCell heavy;
    heavy.SetBorder(0x1 | 0x100);
    EXPECT_TRUE(same(inner_of(heavy), RECT{3, 0, 49, 19})) << "the widest side counts once";

    CUGCell raised;
    raised.SetBorder(0x2000);
    EXPECT_TRUE(same(inner_of(raised), RECT{1, 1, 49, 19})) << "3D edges draw no grid lines";
    grid.m_GI->m_switch3 = 2;
    EXPECT_TRUE(same(inner_of(raised), RECT{2, 2, 48, 18})) << "the sheet's 3D width on every side";

    grid.m_GI->m_switch1 = 0;
    EXPECT_TRUE(same(inner_of(plain), RECT{0, 0, 50, 20})) << "no grid lines, no border: the whole cell";
    EXPECT_TRUE(same(inner_of(thin), RECT{1, 1, 49, 19}));
}

TEST_F(cell_type, best_size_is_the_text_plus_padding_and_the_scaled_bitmap)
{
    CUGCell cell;
    cell.SetTextValue("abcde");
    SIZE size{50, 20};
    type().GetBestSize(&dc, &size, &cell);
    EXPECT_EQ(size.cx, 5 * 8 + 6);
    EXPECT_EQ(size.cy, 16 + 2);

    CUGCell ampersand;
    ampersand.SetTextValue("a&b");
    size = SIZE{50, 20};
    type().GetBestSize(&dc, &size, &ampersand);
    EXPECT_EQ(size.cx, 3 * 8 + 6) << "an ampersand is shown, so it is measured";

    CUGCell empty;
    size = SIZE{50, 20};
    type().GetBestSize(&dc, &size, &empty);
    EXPECT_EQ(size.cx, 6);
    EXPECT_EQ(size.cy, 2);

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(16, 10, 1, 32, nullptr));
    CUGCell pictured;
    pictured.SetBitmap(&bitmap);
    size = SIZE{50, 20};
    type().GetBestSize(&dc, &size, &pictured);
    EXPECT_EQ(size.cx, 32 + 6) << "the bitmap is scaled to the row height";
    size = SIZE{50, 0};
    type().GetBestSize(&dc, &size, &pictured);
    EXPECT_EQ(size.cx, 6) << "no height, no bitmap";

    CFont big;
    big.CreateFont(-29, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
    grid.m_GI->m_defFont = &big;
    size = SIZE{50, 20};
    type().GetBestSize(&dc, &size, &cell);
    EXPECT_EQ(size.cy, 32 + 2) << "the sheet's default font measures a cell without its own";
    EXPECT_NE(dc.GetCurrentFont(), &big) << "the device's font is restored";
    grid.m_GI->m_defFont = nullptr;
}

TEST_F(cell_type, left_aligned_text_overflows_into_empty_cells_up_to_one_with_text)
{
    grid.SetCellTextAt(0, 1, "a text far wider than its column");  // 32 characters: 262 px
    grid.SetCellTextAt(3, 1, "x");
    int source = -1;
    EXPECT_EQ(offset_at(1, 1, &source), -50);
    EXPECT_EQ(source, 0);
    EXPECT_EQ(offset_at(2, 1, &source), -100);
    EXPECT_EQ(offset_at(4, 1, &source), 0) << "the text of column 3 is short and stops the overflow";

    grid.SetCellTextAt(0, 2, "seventeen letters");  // 17 characters: 142 px
    EXPECT_EQ(offset_at(1, 2), -50);
    EXPECT_EQ(offset_at(2, 2), -100);
    EXPECT_EQ(offset_at(3, 2), 0) << "the text ends inside column 2";

    grid.SetCellTextAt(0, 0, "short");
    EXPECT_EQ(offset_at(1, 0), 0) << "a text that fits its column does not overflow";
    EXPECT_EQ(offset_at(0, 1), 0) << "the first column has nothing on its left";
}

TEST_F(cell_type, overflow_needs_left_alignment_an_overflowing_type_and_the_sheet_switch)
{
    grid.SetCellTextAt(0, 1, "a text far wider than its column");
    ASSERT_EQ(offset_at(1, 1), -50);

    grid.m_GI->m_colInfo[0].colDefault->SetAlignment(UG_ALIGNRIGHT);
    EXPECT_EQ(offset_at(1, 1), 0) << "right-aligned";
    grid.m_GI->m_colInfo[0].colDefault->SetAlignment(UG_ALIGNCENTER);
    EXPECT_EQ(offset_at(1, 1), 0) << "centred";
    grid.m_GI->m_colInfo[0].colDefault->SetAlignment(UG_ALIGNLEFT);

    grid.m_GI->m_colInfo[0].colDefault->SetCellTypeEx(4);
    EXPECT_EQ(offset_at(1, 1), 0) << "an extended style keeps the text in its cell";
    grid.m_GI->m_colInfo[0].colDefault->ClearPropertySetFlag(UGCELL_CELLTYPEEX_SET);

    grid.m_GI->m_colInfo[0].colDefault->SetCellType(grid.m_checkBoxType.GetID());
    EXPECT_EQ(offset_at(1, 1), 0) << "the check box type lets no text overflow";
    grid.m_GI->m_colInfo[0].colDefault->ClearPropertySetFlag(UGCELL_CELLTYPE_SET);
    ASSERT_EQ(offset_at(1, 1), -50);

    grid.m_GI->m_enableCellOverLap = 0;
    EXPECT_EQ(offset_at(1, 1), 0);
}

TEST_F(cell_type, drawing_overflowing_text_lists_the_next_cell_for_redrawing)
{
    grid.SetCellTextAt(0, 1, "a text far wider than its column");
    CUGCell cell;
    grid.GetCell(0, 1, &cell);
    RECT rect{0, 0, 50, 20};
    type().OnDraw(&dc, &rect, 0, 1, &cell, 0, 0);
    EXPECT_TRUE(grid.m_CUGGrid->GetRedrawList().Contains(1, 1)) << "a cell with text lists its neighbour";
    EXPECT_TRUE(same(rect, RECT{0, 0, 49, 19})) << "the border's inner rectangle replaces the cell's";

    CUGCell empty;
    grid.GetCell(1, 1, &empty);
    rect = RECT{50, 0, 100, 20};
    type().OnDraw(&dc, &rect, 1, 1, &empty, 0, 0);
    EXPECT_TRUE(grid.m_CUGGrid->GetRedrawList().Contains(2, 1)) << "an overflowed cell lists its neighbour";

    CUGCell last;
    grid.SetCellTextAt(4, 2, "a text far wider than its column");
    grid.GetCell(4, 2, &last);
    rect = RECT{200, 0, 250, 20};
    type().OnDraw(&dc, &rect, 4, 2, &last, 0, 0);
    EXPECT_FALSE(grid.m_CUGGrid->GetRedrawList().Contains(5, 2)) << "nothing is listed past the last column";
}

TEST_F(cell_type, text_colours_follow_selection_the_current_cell_mode_and_dimming)
{
    CUGCell cell;
    cell.SetTextValue("text");
    cell.SetTextColor(RGB(1, 2, 3));
    cell.SetHTextColor(RGB(4, 5, 6));
    RECT rect{0, 0, 50, 20};
    auto colour_when = [&](int selected, int current) {
        dc.SetTextColor(RGB(9, 9, 9));
        type().DrawText(&dc, &rect, 0, 0, 0, &cell, selected, current);
        return dc.GetTextColor();
    };
    EXPECT_EQ(colour_when(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(colour_when(1, 0), RGB(4, 5, 6));
    EXPECT_EQ(colour_when(0, 1), RGB(1, 2, 3)) << "the current cell is not highlighted in the default mode";
    EXPECT_EQ(colour_when(1, 1), RGB(4, 5, 6)) << "a selected current cell is highlighted in any mode";
    grid.m_GI->m_switch2 = 1 | 2;
    EXPECT_EQ(colour_when(0, 1), RGB(4, 5, 6));

    cell.SetCellTypeEx(0x4000);
    EXPECT_EQ(colour_when(1, 1), RGB(140, 140, 140)) << "dimmed text ignores the selection";

    CUGCell plain;
    plain.SetTextValue("text");
    dc.SetTextColor(RGB(9, 9, 9));
    type().DrawText(&dc, &rect, 0, 0, 0, &plain, 0, 0);
    EXPECT_EQ(dc.GetTextColor(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT) << "the text is drawn over the filled background";
}

TEST_F(cell_type, drawing_with_themes_switched_off_never_loads_the_visual_styles_module)
{
    ASSERT_FALSE(CUGThemes::UseThemes());
    grid.SetCellTextAt(0, 1, "a text far wider than its column");
    CUGCell cell;
    for (int col = 0; col < 3; ++col) {
        grid.GetCell(col, 1, &cell);
        cell.SetBorder(0x2000);
        RECT rect{col * 50, 0, col * 50 + 50, 20};
        type().OnDraw(&dc, &rect, col, 1, &cell, 1, 1);
    }
    EXPECT_FALSE(CUGThemes::IsModuleLoaded());
}
