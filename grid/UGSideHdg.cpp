#include "grid/UGSideHdg.h"

#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include <algorithm>
#include <cstdlib>

CUGSideHdg::CUGSideHdg() : CUGCellHeading(UG_SIDEHEADING, false) {}

void CUGSideHdg::Moved()
{
    if (m_GI == nullptr || m_ctrl == nullptr)
        return;
    if (m_GI->m_topRow == m_GI->m_lastTopRow && m_GI->m_currentRow == m_GI->m_lastFocusRow)
        return;
    if (update_pending()) {
        UpdateWindow();
        return;
    }
    const int cols = m_GI->m_numberSideHdgCols;
    int distance = 0;
    if (m_GI->m_topRow > m_GI->m_lastTopRow) {
        for (int row = m_GI->m_lastTopRow; row < m_GI->m_topRow && distance <= m_GI->m_gridHeight; ++row)
            distance += UGRowHeight(*m_GI, row);
    } else {
        for (int row = m_GI->m_topRow; row < m_GI->m_lastTopRow && -distance <= m_GI->m_gridHeight; ++row)
            distance -= UGRowHeight(*m_GI, row);
    }
    if (std::abs(distance) > m_GI->m_gridHeight) {
        m_drawHint.WidenFirstRange(-cols, 0, 0, m_GI->m_numberRows);
    } else if (distance != 0) {
        CRect client;
        GetClientRect(&client);
        client.top = m_GI->m_lockRowHeight;
        ScrollWindow(0, -distance, &client, &client);
        if (distance > 0)
            m_drawHint.AddRange(-cols, m_lastDrawn, 0, m_GI->m_numberRows);
        else
            m_drawHint.AddRange(-cols, 0, 0, m_GI->m_lastTopRow);
    }
    m_drawHint.AddRange(-cols, m_GI->m_lastFocusRow, 0, m_GI->m_lastFocusRow);
    m_drawHint.AddRange(-cols, m_GI->m_currentRow, 0, m_GI->m_currentRow);
    CDC* dc = GetDC();
    DrawCellsIntern(dc);
    ReleaseDC(dc);
    m_drawHint.Empty();
    // Nothing was pending before the scroll, and the strip it uncovered is drawn now; left
    // pending, it would make the next move repaint only that strip.
    ValidateRect(nullptr);
}

int CUGSideHdg::GetCellRect(int* col, int* row, RECT* rect)
{
    if (!IsHeadingCell(col, row, rect))
        return 1;
    // A joined range is covered whole.
    int lastCol = *col, lastRow = *row;
    if (m_GI->m_enableJoins != 0 && m_ctrl != nullptr) {
        int originCol = 0, originRow = 0;
        if (JoinedRange(*col, *row, &originCol, &originRow, &lastCol, &lastRow)) {
            *col = originCol;
            *row = originRow;
        }
    }
    *rect = RangeRect(*col, *row, lastCol, lastRow);
    return 0;
}

void CUGSideHdg::HitTestEdges(CPoint point)
{
    m_canSize = 0;
    if (HitTestEdgesAcross(point))
        return;
    int walked = 0;
    const int row = EdgeAlongAt(point.y, nullptr, &walked);
    if (row >= 0 && m_ctrl->AllowRowSizing(row) != 0) {
        OfferEdgeAlong(row, point);
        // The rows above the edge, counted by the walk: the pointer may rest up to two pixels
        // above the edge, where dividing by the row height would miss one.
        m_sizingNumRowsDown = m_GI->m_uniformRowHeightFlag != 0 ? walked : 0;
    }
    if (m_canSize == 0)
        SetCursorTo(m_GI->m_arrowCursor);
}

int CUGSideHdg::SizeAlongTo(int y)
{
    const int row = m_sizingColRow;
    int height = 0;
    if (m_GI->m_uniformRowHeightFlag != 0 && m_sizingNumRowsDown > 0)
        height = std::max(1, y) / m_sizingNumRowsDown;
    else
        height = m_sizingStartSize - m_sizingStartPos + y;
    height = std::max(0, height);
    TellVisibleCellTypes(row, &height, &CUGCellType::OnChangingCellHeight);
    m_ctrl->OnRowSizing(row, &height);
    m_ctrl->SetRowHeightAt(row, std::max(0, height));
    return y;
}

// The height as stored goes through the sized calls and is stored again in any case.
void CUGSideHdg::SizedAlong()
{
    const int row = m_sizingColRow;
    int height = UGRowHeight(*m_GI, row);
    TellVisibleCellTypes(row, &height, &CUGCellType::OnChangedCellHeight);
    m_ctrl->OnRowHeightChanging(row, &height);
    m_ctrl->SetRowHeightAt(row, std::max(0, height));
}

// The control's answer does not stop a heading column's step.
bool CUGSideHdg::SizingAcross(int* total, int size)
{
    m_ctrl->OnSideHeadingSizing(total, size);
    return true;
}

void CUGSideHdg::Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where)
{
    const int down = UGPressIsDown(press);
    // The types hear every press as a left click, down only for a left press; none of them acts
    // on heading cells beyond that.
    const int leftDown = press == UGHeadingPress::LeftDown ? 1 : 0;
    const int processed = m_ctrl->GetCellTypeAt(col, row)->OnLClicked(col, row, leftDown, rect, where);
    if (press == UGHeadingPress::Double)
        m_ctrl->OnRowHeadingDoubleClick(col, row, rect, where, processed);
    else if (press == UGHeadingPress::RightDown || press == UGHeadingPress::RightUp)
        m_ctrl->OnRowHeadingRightButton(col, row, down, rect, where, processed);
    else
        m_ctrl->OnRowHeadingClick(col, row, down, rect, where, processed);
}
