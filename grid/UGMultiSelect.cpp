#include "grid/UGMultiSelect.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>

CUGMultiSelect::~CUGMultiSelect() { ClearAll(); }

int CUGMultiSelect::ClearAll()
{
    while (m_list != nullptr) {
        Block* next = m_list->next;
        delete m_list;
        m_list = next;
    }
    m_currentBlock = nullptr;
    m_blockInProgress = 0;
    m_numberBlocks = 0;
    m_enumInProgress = 0;
    m_lastCol = -1;
    m_lastRow = -1;
    return 0;
}

void CUGMultiSelect::Normalise(Block* block) const
{
    block->left = std::min(block->startCol, block->endCol);
    block->right = std::max(block->startCol, block->endCol);
    block->top = std::min(block->startRow, block->endRow);
    block->bottom = std::max(block->startRow, block->endRow);
    if ((m_mode & UG_MULTISELECT_ROW) != 0) {
        block->left = 0;
        block->right = m_GI != nullptr ? m_GI->m_numberCols : 0;
    }
}

void CUGMultiSelect::RedrawRange(int left, int top, int right, int bottom)
{
    if (m_ctrl != nullptr && m_ctrl->m_CUGGrid != nullptr)
        m_ctrl->m_CUGGrid->AddToRedrawList(left, top, right, bottom);
}

void CUGMultiSelect::RedrawTotalRange()
{
    int left = 0, top = 0, right = 0, bottom = 0;
    if (GetTotalRange(&left, &top, &right, &bottom) == 0)
        RedrawRange(left, top, right, bottom);
}

int CUGMultiSelect::StartBlock(int col, int row)
{
    m_anchorCol = col;
    m_anchorRow = row;
    m_blockInProgress = 1;
    Block* block = new Block;
    block->startCol = block->endCol = col;
    block->startRow = block->endRow = row;
    Normalise(block);
    if (m_list == nullptr) {
        m_list = block;
    } else {
        Block* last = m_list;
        while (last->next != nullptr)
            last = last->next;
        last->next = block;
    }
    m_currentBlock = block;
    ++m_numberBlocks;
    if (m_ctrl != nullptr)
        m_ctrl->OnSelectionChanged(block->startCol, block->startRow, block->endCol, block->endRow, m_numberBlocks);
    // A whole-row block is more than the current cell that the move redraws anyway.
    RedrawRange(block->left, block->top, block->right, block->bottom);
    return 0;
}

int CUGMultiSelect::ExtendBlock(int col, int row)
{
    if (m_blockInProgress == 0 || m_currentBlock == nullptr)
        return 1;
    Block* block = m_currentBlock;
    const Block old = *block;
    block->endCol = col;
    block->endRow = row;
    Normalise(block);
    block->selected = 1;
    if (m_ctrl != nullptr)
        m_ctrl->OnSelectionChanged(block->startCol, block->startRow, block->endCol, block->endRow, m_numberBlocks);
    const int left = std::min(old.left, block->left);
    const int top = std::min(old.top, block->top);
    const int right = std::max(old.right, block->right);
    const int bottom = std::max(old.bottom, block->bottom);
    if (old.endRow != block->endRow)
        RedrawRange(left, std::min(old.endRow, block->endRow), right, std::max(old.endRow, block->endRow));
    if (old.endCol != block->endCol)
        RedrawRange(std::min(old.endCol, block->endCol), top, std::max(old.endCol, block->endCol), bottom);
    return 0;
}

void CUGMultiSelect::OnLeftPress(int col, int row, unsigned keyFlags)
{
    m_lastCol = col;
    m_lastRow = row;
    if ((keyFlags & MK_CONTROL) != 0) {
        // Ctrl+click toggles: on a selected cell the new block deselects it.
        const int wasSelected = IsSelected(col, row);
        StartBlock(col, row);
        if (wasSelected != 0) {
            m_currentBlock->selected = 0;
            RedrawRange(m_currentBlock->left, m_currentBlock->top, m_currentBlock->right, m_currentBlock->bottom);
        }
    } else if ((keyFlags & MK_SHIFT) != 0) {
        ExtendBlock(col, row);
    } else {
        RedrawTotalRange();
        ClearAll();
        m_lastCol = col;
        m_lastRow = row;
        StartBlock(col, row);
    }
}

void CUGMultiSelect::OnRightPress(int col, int row, unsigned)
{
    if (IsSelected(col, row) != 0)
        return;
    RedrawTotalRange();
    ClearAll();
    StartBlock(col, row);
}

void CUGMultiSelect::OnKeyMove(int col, int row)
{
    if (col == m_lastCol && row == m_lastRow)
        return;
    if (GetKeyState(VK_SHIFT) < 0) {
        ExtendBlock(col, row);
        return;
    }
    if (GetKeyState(VK_CONTROL) >= 0) {
        RedrawTotalRange();
        ClearAll();
    }
    StartBlock(col, row);
}

void CUGMultiSelect::OnMouseDrag(int col, int row, unsigned)
{
    if (col == m_lastCol && row == m_lastRow)
        return;
    ExtendBlock(col, row);
}

int CUGMultiSelect::ToggleCell(int col, int row)
{
    for (Block* block = m_list; block != nullptr; block = block->next) {
        if (block->left == col && block->right == col && block->top == row && block->bottom == row) {
            block->selected = block->selected != 0 ? 0 : 1;
            return 0;
        }
    }
    const int selected = IsSelected(col, row);
    StartBlock(col, row);
    m_currentBlock->selected = selected != 0 ? 0 : 1;
    return 0;
}

int CUGMultiSelect::GetAnchor(int* col, int* row)
{
    if (m_blockInProgress == 0)
        return 1;
    *col = m_anchorCol;
    *row = m_anchorRow;
    return 0;
}

int CUGMultiSelect::GetNewestBlock(int* left, int* top, int* right, int* bottom)
{
    if (m_blockInProgress == 0 || m_currentBlock == nullptr)
        return 1;
    *left = m_currentBlock->left;
    *top = m_currentBlock->top;
    *right = m_currentBlock->right;
    *bottom = m_currentBlock->bottom;
    return 0;
}

int CUGMultiSelect::GetTotalRange(int* left, int* top, int* right, int* bottom)
{
    if (m_list == nullptr)
        return 1;
    *left = m_list->left;
    *top = m_list->top;
    *right = m_list->right;
    *bottom = m_list->bottom;
    for (Block* block = m_list->next; block != nullptr; block = block->next) {
        *left = std::min(*left, block->left);
        *top = std::min(*top, block->top);
        *right = std::max(*right, block->right);
        *bottom = std::max(*bottom, block->bottom);
    }
    return 0;
}

int CUGMultiSelect::GetBlockCount() { return m_numberBlocks; }

template <typename Holds>
int CUGMultiSelect::Decide(Holds holds, int* position) const
{
    if (m_blockInProgress == 0)
        return 0;
    const Block* decider = nullptr;
    int deciderPosition = 0;
    int index = 0;
    for (const Block* block = m_list; block != nullptr; block = block->next, ++index) {
        if (!holds(*block))
            continue;
        decider = block;
        deciderPosition = index;
        if ((m_mode & UG_MULTISELECT_NODESELECT) != 0)
            break;
    }
    if (decider == nullptr)
        return 0;
    if (position != nullptr)
        *position = deciderPosition;
    return decider->selected;
}

int CUGMultiSelect::IsSelected(int col, int row, int* block)
{
    return Decide(
        [col, row](const Block& candidate) {
            return col >= candidate.left && col <= candidate.right && row >= candidate.top && row <= candidate.bottom;
        },
        block);
}

int CUGMultiSelect::IsColumnSelected(int col)
{
    const int tested = (m_mode & UG_MULTISELECT_ROW) != 0 ? 1 : col;
    return Decide([tested](const Block& block) { return tested >= block.left && tested <= block.right; }, nullptr);
}

int CUGMultiSelect::IsRowSelected(int row)
{
    return Decide([row](const Block& block) { return row >= block.top && row <= block.bottom; }, nullptr);
}

int CUGMultiSelect::SetMode(int mode)
{
    ClearAll();
    m_mode = mode;
    return 0;
}

int CUGMultiSelect::GetMode() { return m_mode; }

int CUGMultiSelect::EnumFirst(int* col, int* row)
{
    if (m_list == nullptr) {
        if (m_GI != nullptr) {
            *col = m_GI->m_currentCol;
            *row = m_GI->m_currentRow;
        }
        return 0;
    }
    m_enumInProgress = 1;
    m_enumLeftCol = m_enumRightCol = m_GI != nullptr ? m_GI->m_currentCol : m_list->left;
    m_enumTopRow = m_enumBottomRow = m_GI != nullptr ? m_GI->m_currentRow : m_list->top;
    for (Block* block = m_list; block != nullptr; block = block->next) {
        m_enumLeftCol = std::min(m_enumLeftCol, block->left);
        m_enumTopRow = std::min(m_enumTopRow, block->top);
        m_enumRightCol = std::max(m_enumRightCol, block->right);
        m_enumBottomRow = std::max(m_enumBottomRow, block->bottom);
    }
    m_enumCol = m_enumLeftCol;
    m_enumRow = m_enumTopRow;
    return EnumNext(col, row);
}

int CUGMultiSelect::EnumNext(int* col, int* row)
{
    if (m_enumInProgress == 0)
        return 1;
    for (; m_enumRow <= m_enumBottomRow; ++m_enumRow, m_enumCol = m_enumLeftCol) {
        if (m_mode == UG_MULTISELECT_ROW) {
            if (IsSelected(m_enumLeftCol, m_enumRow) != 0) {
                *col = m_enumLeftCol;
                *row = m_enumRow++;
                m_enumCol = m_enumLeftCol;
                return 0;
            }
            continue;
        }
        for (; m_enumCol <= m_enumRightCol; ++m_enumCol) {
            if (IsSelected(m_enumCol, m_enumRow) != 0) {
                *col = m_enumCol++;
                *row = m_enumRow;
                return 0;
            }
        }
    }
    m_enumInProgress = 0;
    return 1;
}

int CUGMultiSelect::EnumFirstBlock(int* left, int* top, int* right, int* bottom)
{
    m_enumInProgress = 1;
    m_enumBlockNumber = 0;
    return EnumNextBlock(left, top, right, bottom);
}

int CUGMultiSelect::EnumNextBlock(int* left, int* top, int* right, int* bottom)
{
    Block* block = m_list;
    for (int index = 0; block != nullptr && index < m_enumBlockNumber; ++index)
        block = block->next;
    if (block == nullptr) {
        m_enumInProgress = 0;
        return 1;
    }
    ++m_enumBlockNumber;
    *left = block->left;
    *top = block->top;
    *right = block->right;
    *bottom = block->bottom;
    return 0;
}
