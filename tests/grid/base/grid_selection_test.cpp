#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGMultiSelect.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The control's own sheet selection, with no window: the redraw list keeps what it is given.
class selection : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::reset_key_table();
        grid.SetColumnCount(10);
        grid.SetRowCount(10);
        select = grid.m_GI->m_multiSelect.get();
        select->SetMode(UG_MULTISELECT_CELL);
    }
    void TearDown() override { platform::reset_key_table(); }

    CUGCtrl grid;
    CUGMultiSelect* select = nullptr;
};

}  // namespace

TEST_F(selection, clicks_start_extend_and_add_blocks)
{
    select->OnLeftPress(2, 2, 0);
    EXPECT_EQ(select->GetBlockCount(), 1);
    EXPECT_EQ(select->IsSelected(2, 2), 1);

    select->OnLeftPress(4, 5, MK_SHIFT);
    EXPECT_EQ(select->GetBlockCount(), 1);
    EXPECT_EQ(select->IsSelected(3, 4), 1) << "Shift extends the block to a rectangle from the first cell";
    EXPECT_EQ(select->IsSelected(5, 5), 0);
    int col = -1, row = -1;
    ASSERT_EQ(select->GetAnchor(&col, &row), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 2));

    select->OnLeftPress(8, 8, MK_CONTROL);
    EXPECT_EQ(select->GetBlockCount(), 2) << "Ctrl adds a block";
    EXPECT_EQ(select->IsSelected(2, 2), 1);

    select->OnLeftPress(0, 0, 0);
    EXPECT_EQ(select->GetBlockCount(), 1) << "a plain click starts over";
    EXPECT_EQ(select->IsSelected(8, 8), 0);
}

TEST_F(selection, toggling_a_one_cell_block_deselects_it_and_later_blocks_decide)
{
    select->StartBlock(1, 1);
    EXPECT_EQ(select->ToggleCell(1, 1), 0);
    EXPECT_EQ(select->IsSelected(1, 1), 0);

    select->ClearAll();
    select->StartBlock(0, 0);
    select->ExtendBlock(3, 3);
    select->ToggleCell(2, 2);
    int block = -1;
    EXPECT_EQ(select->IsSelected(2, 2, &block), 0) << "the later, deselecting block decides";
    EXPECT_EQ(block, 1);
    EXPECT_EQ(select->IsSelected(1, 1, &block), 1);
    EXPECT_EQ(block, 0);

    select->SetMode(UG_MULTISELECT_CELL | UG_MULTISELECT_NODESELECT);
    select->StartBlock(0, 0);
    select->ExtendBlock(3, 3);
    select->ToggleCell(2, 2);
    EXPECT_EQ(select->IsSelected(2, 2), 1) << "with bit 16 the first block decides";
}

TEST_F(selection, the_cell_walk_returns_each_selected_cell_once_in_row_order)
{
    int col = -1, row = -1;
    grid.m_GI->m_currentCol = 4;
    grid.m_GI->m_currentRow = 6;
    EXPECT_EQ(select->EnumFirst(&col, &row), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(4, 6)) << "no selection gives the current cell";

    select->StartBlock(1, 1);
    select->ExtendBlock(2, 2);
    select->StartBlock(2, 2);
    select->ExtendBlock(3, 2);
    grid.m_GI->m_currentCol = 1;
    grid.m_GI->m_currentRow = 1;
    std::vector<std::pair<int, int>> cells;
    for (int result = select->EnumFirst(&col, &row); result == 0; result = select->EnumNext(&col, &row))
        cells.emplace_back(col, row);
    EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 2}}));

    int left = 0, top = 0, right = 0, bottom = 0;
    std::vector<int> lefts;
    for (int result = select->EnumFirstBlock(&left, &top, &right, &bottom); result == 0;
         result = select->EnumNextBlock(&left, &top, &right, &bottom))
        lefts.push_back(left);
    EXPECT_EQ(lefts, (std::vector<int>{1, 2}));
}

TEST_F(selection, extending_redraws_only_the_strips_that_changed)
{
    select->StartBlock(2, 2);
    select->ExtendBlock(4, 4);
    const CUGRedrawList& redraw = grid.m_CUGGrid->GetRedrawList();
    const size_t before = redraw.GetRanges().size();
    select->ExtendBlock(4, 6);
    ASSERT_EQ(redraw.GetRanges().size(), before + 1) << "only the rows moved";
    const CUGRedrawList::Range& range = redraw.GetRanges().back();
    EXPECT_EQ(range.left, 2);
    EXPECT_EQ(range.top, 4);
    EXPECT_EQ(range.right, 4);
    EXPECT_EQ(range.bottom, 6);
}

TEST_F(selection, moves_with_selection_on_keep_the_current_cell_at_the_anchor)
{
    grid.m_GI->m_multiSelectFlag = 1;
    ASSERT_EQ(grid.GotoCell(1, 1), 0);
    platform::set_key_down(VK_SHIFT, true);
    ASSERT_EQ(grid.GotoCell(3, 4), 0);
    platform::set_key_down(VK_SHIFT, false);
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    EXPECT_EQ(grid.m_GI->m_focusCol, 3) << "the focus cell is where the block was extended to";
    EXPECT_EQ(grid.m_GI->m_focusRow, 4);
    EXPECT_EQ(select->IsSelected(2, 3), 1);

    ASSERT_EQ(grid.MoveCurrentRowTo(5), 0);
    EXPECT_EQ(select->GetBlockCount(), 1);
    EXPECT_EQ(select->IsSelected(2, 3), 0) << "a plain key move starts the selection over";
    EXPECT_EQ(grid.GetCurrentRow(), 5);
}

namespace {

// A left press on a cell as the cell area makes it: the press is the selection's source while
// the current cell moves, with the keys held.
void press(CUGCtrl& grid, int col, int row, unsigned keys)
{
    platform::set_key_down(VK_SHIFT, (keys & MK_SHIFT) != 0);
    platform::set_key_down(VK_CONTROL, (keys & MK_CONTROL) != 0);
    grid.m_GI->m_multiSelectMode = 1;
    grid.m_selectKeyFlags = keys;
    grid.GotoCell(col, row);
    grid.m_GI->m_multiSelectMode = 0;
    grid.m_selectKeyFlags = 0;
    platform::reset_key_table();
}

}  // namespace

TEST_F(selection, scrolling_the_view_never_changes_a_shift_click_range)
{
    grid.SetRowCount(200);
    grid.m_GI->m_multiSelectFlag = 1;
    press(grid, 1, 2, 0);
    press(grid, 1, 6, MK_SHIFT);
    ASSERT_EQ(select->IsSelected(1, 4), 1);

    // What a wheel notch and a scroll-bar click do: move the top row or the left column only.
    grid.SetTopRow(grid.m_GI->m_topRow + 3);
    grid.SetTopRow(0);
    grid.SetLeftColumn(grid.m_GI->m_leftCol + 1);
    EXPECT_EQ(select->GetBlockCount(), 1);
    for (int row = 2; row <= 6; ++row)
        EXPECT_EQ(select->IsSelected(1, row), 1) << "row " << row;
}

TEST_F(selection, ctrl_click_toggles_a_selected_cell_off_and_on_again)
{
    grid.m_GI->m_multiSelectFlag = 1;
    press(grid, 1, 1, 0);
    press(grid, 1, 4, MK_SHIFT);

    press(grid, 1, 3, MK_CONTROL);
    EXPECT_EQ(select->IsSelected(1, 3), 0) << "Ctrl+click deselects a selected cell";
    EXPECT_EQ(select->IsSelected(1, 2), 1);
    press(grid, 1, 1, MK_CONTROL);
    EXPECT_EQ(select->IsSelected(1, 1), 0) << "also the anchor";
    press(grid, 1, 3, MK_CONTROL);
    EXPECT_EQ(select->IsSelected(1, 3), 1) << "and a second Ctrl+click selects it again";
}
