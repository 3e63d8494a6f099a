#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGMultiSelect.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A cell type that remembers what it was asked to draw and what input reached it.
class recording_type : public CUGCellType {
public:
    struct drawn {
        int col = 0;
        int row = 0;
        CRect rect;
        int selected = 0;
        int current = 0;
    };
    void OnDraw(CDC*, RECT* rect, int col, long row, CUGCell*, int selected, int current) override
    {
        cells.push_back({col, static_cast<int>(row), CRect(*rect), selected, current});
    }
    int OnLClicked(int col, long row, int down, RECT*, POINT*) override
    {
        clicks.push_back({col, static_cast<int>(row), down});
        return ownsDrag ? 1 : 0;
    }
    int OnKeyDown(int, long, UINT* key) override
    {
        if (*key == swallowed)
            *key = 0;
        return 7;
    }
    int OnMouseMove(int col, long row, POINT*, UINT) override
    {
        moves.push_back({col, static_cast<int>(row), 0});
        return 0;
    }

    struct event {
        int col = 0;
        int row = 0;
        int down = 0;
    };
    std::vector<drawn> cells;
    std::vector<event> clicks;
    std::vector<event> moves;
    bool ownsDrag = false;
    UINT swallowed = 0;
};

// The control as an application derives it: notifications overridden to be seen.
class recording_grid : public CUGCtrl {
public:
    struct button {
        int col = 0;
        int row = 0;
        int down = 0;
        int processed = 0;
    };
    void OnCellLeftButton(int col, int row, int down, RECT*, POINT*, int processed) override
    {
        left.push_back({col, row, down, processed});
    }
    void OnCellRightButton(int col, int row, int down, RECT*, POINT*, int processed) override
    {
        right.push_back({col, row, down, processed});
    }
    void OnCellDoubleClick(int col, int row, RECT*, POINT*, int processed) override
    {
        doubles.push_back({col, row, 1, processed});
    }
    void OnKeyPressed(UINT* key, int processed) override
    {
        keys.push_back({static_cast<int>(*key), 0, 1, processed});
    }
    void OnMovePastLastRow(int, int, int) override { ++pastLastRow; }
    void OnFetchCell(int, int, CUGCell*) override { ++fetched; }

    std::vector<button> left;
    std::vector<button> right;
    std::vector<button> doubles;
    std::vector<button> keys;
    int pastLastRow = 0;
    int fetched = 0;
};

// A control in windows without a toolkit: messages, state and the paint pass run, drawing goes
// nowhere.
class cell_area : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::reset_key_table();
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, 500, 400), nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 376, 236), &dialog,
                                       UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
        typeIndex = grid.AddCellType(&type);
        shape(10, 100);
        // Four columns of 75 and ten rows of 20 fit, the fifth column partly.
        ASSERT_EQ(grid.m_GI->m_gridWidth, 320);
        ASSERT_EQ(grid.m_GI->m_gridHeight, 200);
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        platform::reset_key_table();
    }

    void shape(int cols, int rows)
    {
        grid.SetColumnCount(cols);
        grid.SetRowCount(rows);
        for (int col = 0; col < cols; ++col)
            grid.m_GI->m_colInfo[col].colDefault->SetCellType(typeIndex);
        grid.m_GI->m_vScrollWidth = 16;
        grid.m_GI->m_hScrollHeight = 16;
        grid.RecalcPartLayout();
        type.cells.clear();
        area().ClearRedrawList();
    }
    CUGGrid& area() { return *grid.m_CUGGrid; }
    void paint_all()
    {
        type.cells.clear();
        area().AddToRedrawList(0, 0, grid.GetColumnCount(), grid.GetRowCount());
        area().DrawCells(&dc);
    }
    std::vector<int> drawn_columns_of_row(int row) const
    {
        std::vector<int> cols;
        for (const auto& cell : type.cells)
            if (cell.row == row)
                cols.push_back(cell.col);
        return cols;
    }
    LRESULT mouse(UINT message, int x, int y, UINT flags = 0)
    {
        return area().SendMessage(message, flags, MAKELPARAM(x, y));
    }
    void key(UINT code) { area().SendMessage(WM_KEYDOWN, code, 1); }

    CWnd dialog;
    CWnd placeholder;
    recording_grid grid;
    recording_type type;
    int typeIndex = -1;
    CDC dc;
};

}  // namespace

TEST_F(cell_area, a_paint_draws_only_listed_cells_and_empties_the_list)
{
    area().DrawCells(&dc);
    EXPECT_TRUE(type.cells.empty()) << "an empty redraw list draws nothing";

    area().AddToRedrawList(1, 2, 2, 3);
    area().DrawCells(&dc);
    ASSERT_EQ(type.cells.size(), 4u);
    EXPECT_EQ(type.cells[0].col, 1);
    EXPECT_EQ(type.cells[0].row, 2);
    EXPECT_EQ(type.cells[0].rect, CRect(75, 40, 150, 60));
    EXPECT_TRUE(area().GetRedrawList().IsEmpty());

    type.cells.clear();
    area().DrawCells(&dc);
    EXPECT_TRUE(type.cells.empty()) << "the list was used up by the pass";
}

TEST_F(cell_area, painting_records_the_last_column_and_row_shown)
{
    paint_all();
    EXPECT_EQ(grid.m_GI->m_rightCol, 4) << "the partly shown fifth column";
    EXPECT_EQ(grid.m_GI->m_bottomRow, 10) << "row 9 ends exactly at the bottom, row 10 passes it";
    EXPECT_EQ(drawn_columns_of_row(0), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(cell_area, locked_columns_come_first_then_the_view_from_the_left_column)
{
    grid.SetLockedColumns(2);
    grid.SetLeftColumn(5);
    grid.SetLockedRows(1);
    grid.SetTopRow(40);
    paint_all();
    EXPECT_EQ(drawn_columns_of_row(0), (std::vector<int>{0, 1, 5, 6, 7}));
    std::vector<int> rows;
    for (const auto& cell : type.cells)
        if (cell.col == 0)
            rows.push_back(cell.row);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[1], 40) << "the locked row, then the top row";
    for (const auto& cell : type.cells) {
        if (cell.col == 5 && cell.row == 40) {
            EXPECT_EQ(cell.rect, CRect(150, 20, 225, 40));
        }
    }
}

TEST_F(cell_area, a_joined_cell_is_drawn_once_with_its_whole_rectangle)
{
    CUGCell cell;
    grid.GetCell(1, 1, &cell);
    cell.SetJoinInfo(1, 2, 1);
    grid.StoreCellAt(1, 1, &cell);
    for (int col = 1; col <= 3; ++col)
        for (int row = 1; row <= 2; ++row) {
            if (col == 1 && row == 1)
                continue;
            CUGCell part;
            grid.GetCell(col, row, &part);
            part.SetJoinInfo(0, 1 - col, 1 - row);
            grid.StoreCellAt(col, row, &part);
        }
    paint_all();
    int joinedDraws = 0;
    for (const auto& drawn : type.cells)
        if (drawn.col >= 1 && drawn.col <= 3 && drawn.row >= 1 && drawn.row <= 2) {
            ++joinedDraws;
            EXPECT_EQ(drawn.col, 1);
            EXPECT_EQ(drawn.row, 1);
            EXPECT_EQ(drawn.rect, CRect(75, 20, 300, 60));
        }
    EXPECT_EQ(joinedDraws, 1);
}

TEST_F(cell_area, the_current_cell_and_selected_blocks_are_drawn_as_such)
{
    grid.m_GI->m_multiSelectFlag = 1;
    grid.m_GI->m_multiSelect->SetMode(UG_MULTISELECT_CELL);
    grid.GotoCell(1, 1);
    grid.m_GI->m_multiSelect->ClearAll();
    grid.m_GI->m_multiSelect->StartBlock(1, 1);
    grid.m_GI->m_multiSelect->ExtendBlock(2, 1);
    grid.m_GI->m_multiSelect->StartBlock(3, 3);
    paint_all();
    for (const auto& drawn : type.cells) {
        if (drawn.col == 1 && drawn.row == 1) {
            EXPECT_EQ(drawn.current, 1);
            EXPECT_EQ(drawn.selected, 1) << "the current cell of a block is drawn selected";
        } else if (drawn.col == 2 && drawn.row == 1) {
            EXPECT_EQ(drawn.selected, 1) << "first block";
        } else if (drawn.col == 3 && drawn.row == 3) {
            EXPECT_EQ(drawn.selected, 2) << "second block";
        } else {
            EXPECT_EQ(drawn.selected + drawn.current, 0) << drawn.col << "," << drawn.row;
        }
    }
}

TEST_F(cell_area, painting_the_last_row_offers_the_data_a_chance_to_grow)
{
    shape(3, 4);
    grid.pastLastRow = 0;
    paint_all();
    EXPECT_EQ(grid.pastLastRow, 1);
    EXPECT_EQ(grid.m_GI->m_bottomRow, 4) << "all rows fit, the bottom row stays the row count";
}

TEST_F(cell_area, a_paint_costs_the_same_for_a_hundred_and_a_million_rows)
{
    // What a paint reads and draws; its time is measured in bench/.
    const auto paint_work = [this](int rows) {
        shape(10, rows);
        grid.SetTopRow(rows / 2);
        grid.fetched = 0;
        paint_all();
        return std::make_pair(grid.fetched, type.cells.size());
    };
    const auto small = paint_work(100);
    const auto large = paint_work(1000000);
    EXPECT_GT(small.second, 0u);
    EXPECT_EQ(small.second, large.second) << "the paint walks only what is on the screen";
    EXPECT_EQ(small.first, large.first) << "and reads only the cells it draws";
    EXPECT_LE(large.first, 2 * large.second);
}

TEST_F(cell_area, clicks_move_the_current_cell_and_tell_the_control)
{
    mouse(WM_LBUTTONDOWN, 160, 45, MK_LBUTTON);
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 2);
    ASSERT_EQ(type.clicks.size(), 1u);
    EXPECT_EQ(type.clicks[0].down, 1);
    mouse(WM_LBUTTONUP, 160, 45);
    ASSERT_EQ(grid.left.size(), 2u);
    EXPECT_EQ(grid.left[0].col, 2);
    EXPECT_EQ(grid.left[0].down, 1);
    EXPECT_EQ(grid.left[1].down, 0);
    EXPECT_EQ(grid.m_GI->m_multiSelectMode, 0) << "the mouse-event source lives only for the handler";

    mouse(WM_LBUTTONUP, 160, 45);
    EXPECT_EQ(grid.left.size(), 2u) << "a release without a press is ignored";

    mouse(WM_LBUTTONDOWN, 310, 230, MK_LBUTTON);
    ASSERT_EQ(grid.left.size(), 3u);
    EXPECT_EQ(grid.left[2].col, -1) << "off the cells the control gets -1";
    EXPECT_EQ(grid.left[2].row, -1);
    mouse(WM_LBUTTONUP, 310, 230);

    mouse(WM_RBUTTONDOWN, 10, 185, MK_RBUTTON);
    mouse(WM_RBUTTONUP, 10, 185);
    ASSERT_EQ(grid.right.size(), 2u);
    EXPECT_EQ(grid.right[0].col, 0);
    EXPECT_EQ(grid.right[0].row, 9);
    EXPECT_EQ(grid.GetCurrentRow(), 9);

    mouse(WM_LBUTTONDBLCLK, 80, 5);
    mouse(WM_LBUTTONDBLCLK, 319, 230);
    ASSERT_EQ(grid.doubles.size(), 2u);
    EXPECT_EQ(grid.doubles[0].col, 1);
    EXPECT_EQ(grid.doubles[1].col, -1);
}

TEST_F(cell_area, dragging_left_of_the_area_moves_one_column_per_mouse_message)
{
    grid.SetLeftColumn(5);
    mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    ASSERT_EQ(grid.GetCurrentColumn(), 5);
    for (int expected = 4; expected >= 2; --expected) {
        mouse(WM_MOUSEMOVE, -30, 10, MK_LBUTTON);
        EXPECT_EQ(grid.GetCurrentColumn(), expected);
        EXPECT_EQ(grid.m_GI->m_leftCol, expected) << "the view follows";
    }
    mouse(WM_MOUSEMOVE, 10, 250, MK_LBUTTON);
    EXPECT_EQ(grid.GetCurrentRow(), 1) << "below the area: one row down";
    mouse(WM_LBUTTONUP, -30, 10);
    mouse(WM_MOUSEMOVE, -30, 10, MK_LBUTTON);
    EXPECT_EQ(grid.GetCurrentColumn(), 2) << "after the release a held button drags nothing";
}

TEST_F(cell_area, a_cell_type_that_owns_the_drag_gets_the_moves_alone)
{
    type.ownsDrag = true;
    mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    type.moves.clear();
    mouse(WM_MOUSEMOVE, 200, 150, MK_LBUTTON);
    ASSERT_EQ(type.moves.size(), 1u);
    EXPECT_EQ(type.moves[0].col, 0) << "the current cell's type hears the move";
    EXPECT_EQ(grid.GetCurrentColumn(), 0) << "no drag selection";
    EXPECT_EQ(grid.GetCurrentRow(), 0);
}

TEST_F(cell_area, arrow_page_home_and_end_keys_move_the_current_cell)
{
    key(VK_RIGHT);
    key(VK_DOWN);
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    key(VK_NEXT);
    EXPECT_EQ(grid.GetCurrentRow(), 11) << "a page of ten rows";
    key(VK_PRIOR);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    key(VK_PRIOR);
    EXPECT_EQ(grid.GetCurrentRow(), 0);
    key(VK_END);
    EXPECT_EQ(grid.GetCurrentColumn(), 9);
    platform::set_key_down(VK_CONTROL, true);
    key(VK_END);
    platform::set_key_down(VK_CONTROL, false);
    EXPECT_EQ(grid.GetCurrentRow(), 99);
    key(VK_HOME);
    EXPECT_EQ(grid.GetCurrentColumn(), 0);

    ASSERT_FALSE(grid.keys.empty());
    EXPECT_EQ(grid.keys[0].col, static_cast<int>(VK_RIGHT));
    EXPECT_EQ(grid.keys[0].processed, 7) << "the control hears the cell type's answer";
    type.swallowed = VK_LEFT;
    key(VK_LEFT);
    EXPECT_EQ(grid.GetCurrentColumn(), 0);
    EXPECT_EQ(grid.keys.back().col, 0) << "a key the cell type took is not handled";
}

TEST_F(cell_area, arrow_keys_step_over_joined_cells)
{
    CUGCell cell;
    grid.GetCell(1, 0, &cell);
    cell.SetJoinInfo(1, 2, 0);
    grid.StoreCellAt(1, 0, &cell);
    for (int col = 2; col <= 3; ++col) {
        CUGCell part;
        grid.GetCell(col, 0, &part);
        part.SetJoinInfo(0, 1 - col, 0);
        grid.StoreCellAt(col, 0, &part);
    }
    key(VK_RIGHT);
    EXPECT_EQ(grid.GetCurrentColumn(), 1) << "into the join at its origin";
    key(VK_RIGHT);
    EXPECT_EQ(grid.GetCurrentColumn(), 4) << "out past its span";
    key(VK_LEFT);
    EXPECT_EQ(grid.GetCurrentColumn(), 1) << "back to the origin";
}

TEST_F(cell_area, the_wheel_moves_three_rows_per_notch)
{
    grid.SetTopRow(20);
    area().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(grid.m_GI->m_topRow, 14);
    area().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(grid.m_GI->m_topRow, 14) << "less than a notch moves nothing";
    area().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(grid.m_GI->m_topRow, 17);
    area().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120 * 20), 0);
    EXPECT_EQ(grid.m_GI->m_topRow, 0) << "kept at the first row";
}

TEST_F(cell_area, a_tip_shows_after_the_pointer_rests_on_one_cell)
{
    TOOLINFO info;
    EXPECT_EQ(area().OnToolHitTest(CPoint(80, 25), &info), -1) << "first look at the cell";
    EXPECT_EQ(area().OnToolHitTest(CPoint(90, 30), &info), 1);
    EXPECT_EQ(info.uFlags, 0xC0000101u);
    EXPECT_EQ(info.lpszText, LPSTR_TEXTCALLBACK);
    EXPECT_EQ(area().OnToolHitTest(CPoint(160, 30), &info), -1) << "another cell starts over";
    EXPECT_EQ(area().OnToolHitTest(CPoint(400, 300), &info), -1) << "no cell, no tool";
}
