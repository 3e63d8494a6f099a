// The control's layout, scroll limits, locked areas, heading sizes and cell geometry.

#include "grid/UGCtrl.h"

#include "grid/UGCnrBtn.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHScroll.h"
#include "grid/UGLayout.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTab.h"
#include "grid/UGTopHdg.h"
#include "grid/UGVScroll.h"

#include <algorithm>

namespace {

// A part without room is hidden: a toolkit's widget moved to an empty rectangle may go on
// showing where it was.
void place_part(CWnd& part, const RECT& rect)
{
    part.MoveWindow(&rect, TRUE);
    const bool room = rect.right > rect.left && rect.bottom > rect.top;
    if (room != ((part.GetStyle() & WS_VISIBLE) != 0))
        part.ShowWindow(room ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

void CUGCtrl::RecalcPartLayout()
{
    CRect client;
    GetClientRect(&client);
    UGPartLayout layout = UGComputePartLayout(*m_GI, client.right, client.bottom);
    const int savedVScrollWidth = m_GI->m_vScrollWidth;
    const int savedHScrollHeight = m_GI->m_hScrollHeight;
    const int savedTabWidth = m_GI->m_tabWidth;
    m_GI->m_vScrollWidth = layout.vScrollWidth;
    m_GI->m_hScrollHeight = layout.hScrollHeight;
    m_GI->m_tabWidth = layout.tabWidth;

    OnLayoutComputed(&layout.grid, &layout.topHdg, &layout.sideHdg, &layout.cnrBtn, &layout.vScroll, &layout.hScroll,
                     &layout.tab);
    m_GI->m_gridRect = layout.grid;
    m_GI->m_topHdgRect = layout.topHdg;
    m_GI->m_sideHdgRect = layout.sideHdg;
    m_GI->m_cnrBtnRect = layout.cnrBtn;
    m_GI->m_vScrollRect = layout.vScroll;
    m_GI->m_hScrollRect = layout.hScroll;
    m_GI->m_tabRect = layout.tab;
    m_GI->m_gridWidth = layout.grid.right - layout.grid.left;
    m_GI->m_gridHeight = layout.grid.bottom - layout.grid.top;

    if (m_GI->m_sheetReady != 0 && GetSafeHwnd() != nullptr) {
        if (m_tabSizing != 0) {
            place_part(*m_CUGHScroll, layout.hScroll);
            place_part(*m_CUGTab, layout.tab);
            m_CUGTab->Update();
            m_CUGHScroll->Update();
            ValidateRect(nullptr);
        } else {
            m_CUGGrid->MoveWindow(&layout.grid, TRUE);
            m_CUGTopHdg->MoveWindow(&layout.topHdg, TRUE);
            m_CUGSideHdg->MoveWindow(&layout.sideHdg, TRUE);
            m_CUGCnrBtn->MoveWindow(&layout.cnrBtn, TRUE);
            place_part(*m_CUGVScroll, layout.vScroll);
            place_part(*m_CUGHScroll, layout.hScroll);
            place_part(*m_CUGTab, layout.tab);
            CalcMaxTopRow();
            CalcMaxLeftColumn();
            RepaintAllParts();
        }
    }

    m_GI->m_vScrollWidth = savedVScrollWidth;
    m_GI->m_hScrollHeight = savedHScrollHeight;
    m_GI->m_tabWidth = savedTabWidth;
    m_GI->m_lastTopRow = m_GI->m_topRow;
    m_GI->m_lastLeftCol = m_GI->m_leftCol;
}

void CUGCtrl::RepaintAllParts()
{
    if (m_enableUpdate == 0 || GetSafeHwnd() == nullptr)
        return;
    m_CUGGrid->InvalidateRect(nullptr, TRUE);
    m_CUGGrid->UpdateWindow();
    m_CUGCnrBtn->InvalidateRect(nullptr, TRUE);
    m_CUGCnrBtn->UpdateWindow();
    m_CUGVScroll->Update();
    m_CUGHScroll->Update();
    m_CUGTab->Update();
    m_CUGTopHdg->Update();
    m_CUGSideHdg->Update();
}

int CUGCtrl::RepaintCellAt(int col, int row)
{
    if (GetSafeHwnd() == nullptr)
        return 0;
    if (col < 0) {
        m_CUGSideHdg->InvalidateRect(nullptr, TRUE);
        m_CUGSideHdg->UpdateWindow();
    } else if (row < 0) {
        m_CUGTopHdg->InvalidateRect(nullptr, TRUE);
        m_CUGTopHdg->UpdateWindow();
    } else {
        m_CUGGrid->AddToRedrawList(col, row, col, row);
        m_CUGGrid->RedrawChanged();
    }
    return 0;
}

void CUGCtrl::CalcMaxTopRow()
{
    const int previousMax = m_GI->m_maxTopRow;
    int space = m_GI->m_gridHeight - m_GI->m_lockRowHeight;
    int maxTop = m_GI->m_numLockRows;
    for (int row = m_GI->m_numberRows - 1; row >= m_GI->m_numLockRows; --row) {
        space -= UGRowHeight(*m_GI, row);
        if (space < 0) {
            maxTop = std::min(row + 1, m_GI->m_numberRows - 1);
            break;
        }
    }
    maxTop = std::max(maxTop, m_GI->m_numLockRows);
    m_GI->m_maxTopRow = maxTop;
    m_GI->m_topRow = std::clamp(m_GI->m_topRow, m_GI->m_numLockRows, std::max(maxTop, m_GI->m_numLockRows));
    // The vertical bar appears or disappears: the other parts need the room it takes or frees.
    if ((previousMax == 0) != (maxTop == 0))
        RecalcPartLayout();
}

void CUGCtrl::CalcMaxLeftColumn()
{
    int space = m_GI->m_gridWidth - m_GI->m_lockColWidth;
    int maxLeft = m_GI->m_numLockCols;
    for (int col = m_GI->m_numberCols - 1; col >= m_GI->m_numLockCols; --col) {
        space -= UGColumnWidth(*m_GI, col);
        if (space < 0) {
            maxLeft = std::min(col + 1, m_GI->m_numberCols - 1);
            break;
        }
    }
    maxLeft = std::max(maxLeft, m_GI->m_numLockCols);
    m_GI->m_maxLeftCol = maxLeft;
    m_GI->m_leftCol = std::clamp(m_GI->m_leftCol, m_GI->m_numLockCols, maxLeft);
}

void CUGCtrl::BringCurrentRowIntoView()
{
    const int current = m_GI->m_currentRow;
    if (current < m_GI->m_topRow && current >= m_GI->m_numLockRows) {
        m_GI->m_topRow = current;
        return;
    }
    if (current == m_GI->m_topRow || current < m_GI->m_topRow)
        return;
    const int room = m_GI->m_gridHeight - m_GI->m_lockRowHeight;
    if (m_GI->m_uniformRowHeightFlag != 0) {
        const int height = m_GI->m_defRowHeight > 0 ? m_GI->m_defRowHeight : 1;
        const int lowest = current - room / height + 1;
        if (m_GI->m_topRow < lowest)
            m_GI->m_topRow = lowest;
        return;
    }
    int space = room;
    for (int row = current; row >= m_GI->m_topRow; --row) {
        space -= UGRowHeight(*m_GI, row);
        if (space < 0) {
            m_GI->m_topRow = row + 1;
            return;
        }
    }
}

void CUGCtrl::BringCurrentColumnIntoView()
{
    const int current = m_GI->m_currentCol;
    if (current < m_GI->m_leftCol && current >= m_GI->m_numLockCols) {
        m_GI->m_leftCol = current;
        return;
    }
    if (current <= m_GI->m_leftCol)
        return;
    int space = m_GI->m_gridWidth - m_GI->m_lockColWidth;
    for (int col = current; col >= m_GI->m_leftCol; --col) {
        space -= UGColumnWidth(*m_GI, col);
        if (space < 0) {
            if (col < m_GI->m_maxLeftCol)
                m_GI->m_leftCol = col + 1;
            return;
        }
    }
}

void CUGCtrl::RecomputeLockedWidth()
{
    int width = 0;
    for (int col = 0; col < m_GI->m_numLockCols; ++col)
        width += UGColumnWidth(*m_GI, col);
    m_GI->m_lockColWidth = width;
}

void CUGCtrl::RecomputeLockedHeight()
{
    int height = 0;
    for (int row = 0; row < m_GI->m_numLockRows; ++row)
        height += UGRowHeight(*m_GI, row);
    m_GI->m_lockRowHeight = height;
}

int CUGCtrl::SetLockedColumns(int count)
{
    if (count < 0 || count > m_GI->m_numberCols)
        return 1;
    if (count == m_GI->m_numLockCols)
        return 0;
    m_GI->m_numLockCols = count;
    RecomputeLockedWidth();
    m_GI->m_leftCol = count;
    m_GI->m_lastLeftCol = count;
    CalcMaxLeftColumn();
    return 0;
}

int CUGCtrl::SetLockedRows(int count)
{
    if (count < 0 || count > m_GI->m_numberRows)
        return 1;
    if (count == m_GI->m_numLockRows)
        return 0;
    m_GI->m_numLockRows = count;
    RecomputeLockedHeight();
    m_GI->m_topRow = count;
    m_GI->m_lastTopRow = count;
    CalcMaxTopRow();
    return 0;
}

int CUGCtrl::SetTopHeadingRowHeight(int row, int height)
{
    const int index = -row - 1;
    if (index < 0 || index >= m_GI->m_numberTopHdgRows)
        return 1;
    if (height > 1024)
        return 2;
    if (m_GI->m_topHdgHeights[index] == height)
        return 0;
    m_GI->m_topHdgHeights[index] = height;
    if (m_GI->m_numberTopHdgRows == 1)
        m_GI->m_topHdgHeight = height;
    return 0;
}

int CUGCtrl::SetSideHeadingColumnWidth(int col, int width)
{
    const int index = -col - 1;
    if (index < 0 || index >= m_GI->m_numberSideHdgCols)
        return 1;
    if (width > 1024)
        return 2;
    if (m_GI->m_sideHdgWidths[index] == width)
        return 0;
    m_GI->m_sideHdgWidths[index] = width;
    if (m_GI->m_numberSideHdgCols == 1)
        m_GI->m_sideHdgWidth = width;
    return 0;
}

namespace {

// Each size scaled by total / (their sum), rounded to nearest.
void scale_sizes(int* sizes, int count, int total)
{
    long long sum = 0;
    for (int index = 0; index < count; ++index)
        sum += sizes[index];
    if (sum <= 0)
        return;
    const double ratio = static_cast<double>(total) / static_cast<double>(sum);
    for (int index = 0; index < count; ++index)
        sizes[index] = static_cast<int>(sizes[index] * ratio + 0.5);
}

}  // namespace

int CUGCtrl::SetTopHeadingHeight(int height)
{
    if (height > 1024)
        return 1;
    m_GI->m_topHdgHeight = height;
    scale_sizes(m_GI->m_topHdgHeights, m_GI->m_numberTopHdgRows, height);
    RecalcPartLayout();
    return 0;
}

int CUGCtrl::SetSideHeadingWidth(int width)
{
    if (width > 1024)
        return 1;
    m_GI->m_sideHdgWidth = width;
    scale_sizes(m_GI->m_sideHdgWidths, m_GI->m_numberSideHdgCols, width);
    RecalcPartLayout();
    return 0;
}

namespace {

// Walks indexes in display order (the locked ones, then from the first scrolling one) until the
// running sum passes the limit; visit(index, start, end) returns true to stop.
template <typename SizeOf, typename Visit>
void walk_display_order(int count, int locked, int first, int limit, SizeOf size_of, Visit visit)
{
    int sum = 0;
    for (int index = 0; index < count && sum <= limit; ++index) {
        if (index == locked && index < first)
            index = first;
        if (index >= count)
            break;
        const int start = sum;
        sum += size_of(index);
        if (visit(index, start, sum))
            return;
    }
}

}  // namespace

int CUGCtrl::GetCellAtPoint(int x, int y, int* col, int* row, RECT* rect)
{
    if (col == nullptr || row == nullptr)
        return 1;
    if (x < 0 || x > m_GI->m_gridWidth || y < 0 || y > m_GI->m_gridHeight)
        return 1;
    RECT found{};
    int foundCol = -1;
    int foundRow = -1;
    walk_display_order(
        m_GI->m_numberCols, m_GI->m_numLockCols, m_GI->m_leftCol, x, [&](int c) { return UGColumnWidth(*m_GI, c); },
        [&](int c, int start, int end) {
            if (end > x) {
                foundCol = c;
                found.left = start;
                found.right = end;
                return true;
            }
            return false;
        });
    walk_display_order(
        m_GI->m_numberRows, m_GI->m_numLockRows, m_GI->m_topRow, y, [&](int r) { return UGRowHeight(*m_GI, r); },
        [&](int r, int start, int end) {
            if (end > y) {
                foundRow = r;
                found.top = start;
                found.bottom = end;
                return true;
            }
            return false;
        });
    if (foundCol < 0 || foundRow < 0)
        return 1;
    *col = foundCol;
    *row = foundRow;
    int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
    if (m_GI->m_enableJoins != 0 && JoinOrigin(foundCol, foundRow, &originCol, &originRow, &lastCol, &lastRow)) {
        GetCellRect(col, row, &found);
    }
    if (rect != nullptr)
        *rect = found;
    return 0;
}

int CUGCtrl::GetCellRect(int* col, int* row, RECT* rect)
{
    if (col == nullptr || row == nullptr || rect == nullptr)
        return 1;
    if (*col < 0)
        return m_CUGSideHdg->GetCellRect(col, row, rect);
    if (*row < 0)
        return m_CUGTopHdg->GetCellRect(col, row, rect);
    int lastCol = *col;
    int lastRow = *row;
    if (m_GI->m_enableJoins != 0) {
        int originCol = 0, originRow = 0;
        if (JoinOrigin(*col, *row, &originCol, &originRow, &lastCol, &lastRow)) {
            *col = originCol;
            *row = originRow;
        }
    }
    rect->left = UGColumnLeft(*m_GI, *col);
    rect->right = rect->left;
    for (int index = *col; index <= lastCol; ++index)
        rect->right += UGColumnWidth(*m_GI, index);
    rect->top = UGRowTop(*m_GI, *row);
    rect->bottom = rect->top;
    for (int index = *row; index <= lastRow; ++index)
        rect->bottom += UGRowHeight(*m_GI, index);
    return 0;
}

int CUGCtrl::GetRangeRect(int startCol, int startRow, int endCol, int endRow, RECT* rect)
{
    if (rect == nullptr)
        return 1;
    *rect = {-10, -10, m_GI->m_gridWidth + 10, m_GI->m_gridHeight + 10};
    walk_display_order(
        m_GI->m_numberCols, m_GI->m_numLockCols, m_GI->m_leftCol, m_GI->m_gridWidth,
        [&](int c) { return UGColumnWidth(*m_GI, c); },
        [&](int c, int start, int end) {
            if (c == startCol)
                rect->left = start;
            if (c == endCol) {
                rect->right = end;
                return true;
            }
            return false;
        });
    if (startRow >= m_GI->m_numLockRows && m_GI->m_numLockRows > 0)
        rect->top = m_GI->m_lockRowHeight;
    walk_display_order(
        m_GI->m_numberRows, m_GI->m_numLockRows, m_GI->m_topRow, m_GI->m_gridHeight,
        [&](int r) { return UGRowHeight(*m_GI, r); },
        [&](int r, int start, int end) {
            if (r == startRow)
                rect->top = start;
            if (r == endRow) {
                rect->bottom = end;
                return true;
            }
            return false;
        });
    return 0;
}
