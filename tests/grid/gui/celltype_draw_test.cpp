// Cells drawn by the default type into a real window, read back as pixels: background, grid
// lines, highlight, 3D edges, text overflowing into empty neighbours, bitmaps.

#include "platform/gui/gui_support.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

#include "platform/base/system_services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF grid_line = RGB(0xDC, 0xDC, 0xDC);

// A row of four 50 x 20 cells at the canvas's top left, drawn as the cell area would.
class drawn_cells : public gui_test::canvas_fixture {
protected:
    void SetUp() override
    {
        canvas_fixture::SetUp();
        grid.SetColumnCount(4);
        grid.SetRowCount(2);
        for (int col = 0; col < 4; ++col) {
            grid.SetColumnWidthAt(col, 50);
            grid.m_GI->m_colInfo[col].colDefault->SetAlignment(UG_ALIGNLEFT);
            grid.m_GI->m_colInfo[col].colDefault->SetBackColor(white);
            grid.m_GI->m_colInfo[col].colDefault->SetTextColor(RGB(0, 0, 0));
        }
    }
    void draw_row(int row, int selectedCol = -1, int currentCol = -1)
    {
        CDC* dc = canvas.GetDC();
        for (int col = 0; col < 4; ++col) {
            CUGCell cell;
            grid.GetCell(col, row, &cell);
            RECT rect{col * 50, 0, col * 50 + 50, 20};
            grid.GetCellTypeAt(col, row)->OnDraw(dc, &rect, col, row, &cell, col == selectedCol, col == currentCol);
        }
        canvas.ReleaseDC(dc);
    }
    COLORREF at(int x, int y) { return gui_test::pixel_at(canvas, x, y); }
    // Pixels of the box that are not the background.
    int inked(int left, int top, int right, int bottom, COLORREF background)
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += at(x, y) != background ? 1 : 0;
        return count;
    }

    CUGCtrl grid;
};

}  // namespace

TEST_F(drawn_cells, a_cell_fills_its_background_and_keeps_grid_lines_on_the_right_and_bottom)
{
    grid.m_GI->m_colInfo[1].colDefault->SetBackColor(RGB(200, 230, 255));
    draw_row(0);
    EXPECT_EQ(at(60, 5), RGB(200, 230, 255));
    EXPECT_EQ(at(99, 5), grid_line) << "right grid line";
    EXPECT_EQ(at(60, 19), grid_line) << "bottom grid line";
    EXPECT_EQ(at(50, 5), RGB(200, 230, 255)) << "no line on the left";

    LOGPEN shadow{}, highlight{};
    grid.m_threeDDarkPen.GetLogPen(&shadow);
    grid.m_threeDLightPen.GetLogPen(&highlight);
    CUGCell cell;
    grid.GetCell(2, 0, &cell);
    cell.SetBorder(0x1000);
    CDC* dc = canvas.GetDC();
    RECT rect{100, 0, 150, 20};
    grid.m_normalCellType.OnDraw(dc, &rect, 2, 0, &cell, 0, 0);
    canvas.ReleaseDC(dc);
    EXPECT_EQ(at(100, 10), shadow.lopnColor) << "recessed: shadow on the left";
    EXPECT_EQ(at(125, 0), shadow.lopnColor) << "and at the top";
    EXPECT_EQ(at(149, 10), highlight.lopnColor) << "highlight on the right";
    EXPECT_EQ(at(125, 19), highlight.lopnColor) << "and at the bottom";
}

TEST_F(drawn_cells, selected_cells_and_a_highlighted_current_cell_take_the_highlight_colours)
{
    draw_row(0, 1, 2);
    EXPECT_EQ(at(60, 10), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(at(110, 10), white) << "the current cell is plain in the default mode";
    grid.m_GI->m_switch2 = 1 | 2;
    draw_row(0, 1, 2);
    EXPECT_EQ(at(110, 10), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(drawn_cells, left_aligned_text_runs_over_empty_neighbours_and_stops_at_text)
{
    grid.SetCellTextAt(0, 0, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    grid.SetCellTextAt(2, 0, "");
    grid.SetCellTextAt(3, 0, "x");
    draw_row(0);
    EXPECT_GT(inked(52, 2, 98, 17, white), 20) << "the text continues in column 1";
    EXPECT_GT(inked(102, 2, 148, 17, white), 20) << "and in column 2";
    EXPECT_EQ(at(149, 8), grid_line) << "the overflowed cells keep their own grid lines";

    grid.m_GI->m_colInfo[0].colDefault->SetAlignment(UG_ALIGNRIGHT);
    draw_row(0);
    EXPECT_EQ(inked(52, 2, 98, 17, white), 0) << "right-aligned text stays in its cell";
    EXPECT_GT(inked(2, 2, 48, 17, white), 20);

    grid.m_GI->m_colInfo[0].colDefault->SetAlignment(UG_ALIGNLEFT);
    grid.SetCellTextAt(0, 1, "Wide text here, and more of it");
    grid.SetCellTextAt(1, 1, "Next");
    draw_row(1);
    EXPECT_GT(inked(52, 2, 98, 17, white), 0) << "a neighbour with text shows its own";
}

TEST_F(drawn_cells, an_ellipsis_cell_draws_its_text_from_the_left_whatever_the_alignment)
{
    grid.SetCellTextAt(1, 0, "a long text that cannot fit");
    grid.m_GI->m_colInfo[1].colDefault->SetAlignment(UG_ALIGNRIGHT);
    grid.m_GI->m_colInfo[1].colDefault->SetCellTypeEx(4);
    draw_row(0);
    EXPECT_GT(inked(53, 2, 60, 17, white), 0) << "ink near the left edge";
    EXPECT_EQ(inked(100, 2, 149, 17, white), 0) << "nothing overflows";
}

TEST_F(drawn_cells, a_tall_bitmap_is_scaled_to_the_row_and_keeps_its_proportions)
{
    // 20 x 40 red in the 19-px row left inside the grid line: scaled to 15 high it is 7 wide,
    // drawn 2 px in from the cell's corner.
    std::vector<std::uint32_t> red(20 * 40, 0xFF0000);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(20, 40, 1, 32, red.data()));
    grid.m_GI->m_colInfo[0].colDefault->SetBitmap(&bitmap);
    grid.SetCellTextAt(0, 0, "T");
    draw_row(0);
    EXPECT_EQ(at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(at(8, 16), RGB(255, 0, 0));
    EXPECT_EQ(at(9, 10), white) << "the scaled width is 7";
    EXPECT_EQ(at(5, 17), white);
    EXPECT_EQ(at(1, 10), white) << "the margin is filled with the back colour";
    EXPECT_GT(inked(14, 2, 30, 17, white), 0) << "the text follows the bitmap";
}
