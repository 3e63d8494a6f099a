#include "grid/UGSideHdg.h"

#include "grid/UGCell.h"
#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The rows in display order (locked ones, then from the top row) with their top and bottom
// edges and how many rows were walked, until the walk passes the limit or visit returns true.
template <typename Visit>
void walk_rows(const CUGGridInfo& sheet, int limit, Visit visit)
{
    int bottom = 0;
    int walked = 0;
    auto step = [&](int row) {
        const int top = bottom;
        bottom += UGRowHeight(sheet, row);
        ++walked;
        return visit(row, top, bottom, walked) || bottom > limit;
    };
    for (int row = 0; row < sheet.m_numLockRows && row < sheet.m_numberRows; ++row)
        if (step(row))
            return;
    for (int row = std::max(sheet.m_topRow, sheet.m_numLockRows); row < sheet.m_numberRows; ++row)
        if (step(row))
            return;
}

}  // namespace

CUGSideHdg::CUGSideHdg() : CUGHeadingBase(UG_SIDEHEADING) {}

CUGSideHdg::~CUGSideHdg() { m_drawHint.Empty(); }

void CUGSideHdg::Update()
{
    if (m_GI != nullptr && m_GI->m_numberSideHdgCols > 0) {
        const int last = m_GI->m_numberSideHdgCols - 1;
        int others = 0;
        for (int index = 0; index < last; ++index)
            others += m_GI->m_sideHdgWidths[index];
        const int width = m_GI->m_sideHdgWidth - others > 0 ? m_GI->m_sideHdgWidth - others : 0;
        if (width <= 1024 && width != m_GI->m_sideHdgWidths[last]) {
            m_GI->m_sideHdgWidths[last] = width;
            if (m_GI->m_numberSideHdgCols == 1)
                m_GI->m_sideHdgWidth = width;
        }
    }
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

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
            m_drawHint.AddRange(-cols, m_bottomRow, 0, m_GI->m_numberRows);
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
    if (m_GI == nullptr || col == nullptr || row == nullptr || rect == nullptr)
        return 1;
    if (*col >= 0 || -*col > m_GI->m_numberSideHdgCols)
        return 1;
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

int CUGSideHdg::GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const
{
    *col = -1;
    *row = -1;
    if (m_GI == nullptr)
        return 1;
    RECT found{};
    int foundRow = -1;
    walk_rows(*m_GI, m_GI->m_gridHeight, [&](int r, int top, int bottom, int) {
        if (y >= top && y < bottom) {
            foundRow = r;
            found.top = top;
            found.bottom = bottom;
            return true;
        }
        return false;
    });
    int foundCol = 0;
    int left = 0;
    for (int c = -m_GI->m_numberSideHdgCols; c <= -1; ++c) {
        const int right = left + m_GI->m_sideHdgWidths[-c - 1];
        if (x >= left && x < right) {
            foundCol = c;
            found.left = left;
            found.right = right;
            break;
        }
        left = right;
    }
    if (foundRow < 0 || foundCol == 0)
        return 1;
    *col = foundCol;
    *row = foundRow;
    if (rect != nullptr)
        *rect = found;
    return 0;
}

bool CUGSideHdg::JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow)
{
    if (row < 0 || row >= m_GI->m_numberRows)
        return false;
    CUGCell cell;
    m_ctrl->GetCell(col, row, &cell);
    if (!cell.IsPropertySet(UGCELL_JOIN_SET))
        return false;
    int origin = 0, joinCol = 0, joinRow = 0;
    cell.GetJoinInfo(&origin, &joinCol, &joinRow);
    *originCol = col;
    *originRow = row;
    if (origin == 0) {
        *originCol = col + joinCol;
        *originRow = row + joinRow;
        CUGCell originCell;
        m_ctrl->GetCell(*originCol, *originRow, &originCell);
        originCell.GetJoinInfo(&origin, &joinCol, &joinRow);
    }
    // A range reaching outside the heading is cut to it rather than read past the arrays.
    *originCol = std::clamp(*originCol, -m_GI->m_numberSideHdgCols, -1);
    *originRow = std::clamp(*originRow, 0, std::max(0, m_GI->m_numberRows - 1));
    *lastCol = std::clamp(*originCol + std::max(joinCol, 0), *originCol, -1);
    *lastRow = std::clamp(*originRow + std::max(joinRow, 0), *originRow, std::max(0, m_GI->m_numberRows - 1));
    return true;
}

RECT CUGSideHdg::RangeRect(int originCol, int originRow, int lastCol, int lastRow) const
{
    RECT rect{};
    rect.top = UGRowTop(*m_GI, originRow);
    rect.bottom = rect.top;
    for (int row = originRow; row <= lastRow; ++row)
        rect.bottom += UGRowHeight(*m_GI, row);
    rect.left = UGSideHeadingColumnLeft(*m_GI, originCol);
    rect.right = rect.left;
    for (int col = originCol; col <= lastCol; ++col)
        rect.right += m_GI->m_sideHdgWidths[-col - 1];
    return rect;
}

void CUGSideHdg::DrawCellsIntern(CDC* dc)
{
    if (m_ctrl == nullptr || m_GI == nullptr || dc == nullptr)
        return;
    m_ctrl->OnSectionPaintStart(dc, nullptr, UG_SIDEHEADING);
    CFont* oldFont = m_GI->m_defFont != nullptr ? dc->SelectObject(m_GI->m_defFont) : nullptr;

    CUGCell cell;
    int drawnBottom = 0;
    walk_rows(*m_GI, m_GI->m_gridHeight, [&](int row, int top, int bottom, int) {
        drawnBottom = bottom;
        m_bottomRow = row;
        for (int col = -m_GI->m_numberSideHdgCols; col <= -1; ++col) {
            if (!m_drawHint.Contains(col, row))
                continue;
            const int left = UGSideHeadingColumnLeft(*m_GI, col);
            RECT rect{left, top, left + m_GI->m_sideHdgWidths[-col - 1], bottom};
            int drawCol = col, drawRow = row, lastCol = 0, lastRow = 0;
            if (m_GI->m_enableJoins != 0 && JoinedRange(col, row, &drawCol, &drawRow, &lastCol, &lastRow)) {
                if (!m_drawHint.MarkJoinDrawn(drawCol, drawRow))
                    continue;
                rect = RangeRect(drawCol, drawRow, lastCol, lastRow);
            }
            if (rect.right <= rect.left || rect.bottom <= rect.top)
                continue;
            cell.ResetProperties();
            m_ctrl->GetCell(drawCol, drawRow, &cell);
            CUGCellType* type = m_ctrl->GetCellTypeAt(drawCol, drawRow);
            const int saved = dc->SaveDC();
            type->OnDraw(dc, &rect, drawCol, drawRow, &cell, 0, 0);
            dc->RestoreDC(saved);
        }
        return false;
    });

    CRect client;
    GetClientRect(&client);
    const int stripBottom = std::max(m_GI->m_gridHeight, static_cast<int>(client.bottom));
    if (drawnBottom < stripBottom) {
        CBrush brush(m_ctrl->GetSectionBackColor(UG_SIDEHEADING));
        const RECT rest{0, drawnBottom, m_GI->m_sideHdgWidth, stripBottom};
        dc->FillRect(&rest, &brush);
    }
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
}

bool CUGSideHdg::CellAt(CPoint point, int* col, int* row, RECT* rect) const
{
    return GetCellFromPoint(point.x, point.y, col, row, rect) == 0;
}

void CUGSideHdg::DrawAll(CDC* dc)
{
    m_drawHint.AddRange(-m_GI->m_numberSideHdgCols, 0, 0, m_GI->m_numberRows);
    DrawCellsIntern(dc);
    m_drawHint.Empty();
}

void CUGSideHdg::HitTestEdges(CPoint point)
{
    m_canSize = 0;
    int edge = m_GI->m_sideHdgWidth;
    for (int index = 0; index < m_GI->m_numberSideHdgCols; ++index) {
        if (point.x > edge - 3 && point.x < edge + 3) {
            if (m_ctrl->AllowSideHeadingSizing() != 0) {
                m_canSize = 1;
                m_colOrRowSizing = 0;
                m_sizingColRow = -(index + 1);
                m_sizingStartSize = m_GI->m_sideHdgWidths[index];
                m_sizingStartPos = point.x;
                m_sizingStartWidth = m_GI->m_sideHdgWidth;
                SetCursorTo(m_GI->m_WEResizeCursor);
                return;
            }
            break;
        }
        edge -= m_GI->m_sideHdgWidths[index];
    }

    walk_rows(*m_GI, m_GI->m_gridHeight, [&](int row, int, int bottom, int walked) {
        if (point.y <= bottom - 3 || point.y >= bottom + 3)
            return false;
        // A hidden row below the edge is the one pulled open.
        int next = row + 1;
        if (row == m_GI->m_numLockRows - 1)
            next = std::max(m_GI->m_topRow, m_GI->m_numLockRows);
        const int sized = next < m_GI->m_numberRows && UGRowHeight(*m_GI, next) == 0 ? next : row;
        if (m_ctrl->AllowRowSizing(sized) != 0) {
            m_canSize = 1;
            m_colOrRowSizing = 1;
            m_sizingColRow = sized;
            m_sizingStartSize = UGRowHeight(*m_GI, sized);
            m_sizingStartPos = point.y;
            // The rows above the edge, counted by the walk: the pointer may rest up to two
            // pixels above the edge, where dividing by the row height would miss one.
            m_sizingNumRowsDown = m_GI->m_uniformRowHeightFlag != 0 ? walked : 0;
            SetCursorTo(m_GI->m_NSResizeCursor);
        }
        return true;
    });
    if (m_canSize == 0)
        SetCursorTo(m_GI->m_arrowCursor);
}

void CUGSideHdg::DragEdgeTo(CPoint point)
{
    if (m_colOrRowSizing != 0)
        SizeRowTo(point.y);
    else
        SizeHeadingColumnTo(point.x);
}

void CUGSideHdg::SizeRowTo(int y)
{
    const int row = m_sizingColRow;
    int height = 0;
    if (m_GI->m_uniformRowHeightFlag != 0 && m_sizingNumRowsDown > 0)
        height = std::max(1, y) / m_sizingNumRowsDown;
    else
        height = m_sizingStartSize - m_sizingStartPos + y;
    height = std::max(0, height);
    for (int col = m_GI->m_leftCol; col < m_GI->m_rightCol; ++col)
        m_ctrl->GetCellTypeAt(col, row)->OnChangingCellHeight(col, row, &height);
    m_ctrl->OnRowSizing(row, &height);
    m_ctrl->SetRowHeightAt(row, std::max(0, height));
    Update();
    MoveMarker(y);
}

void CUGSideHdg::MoveMarker(int y)
{
    CUGGrid* cells = m_ctrl->m_CUGGrid;
    if (cells == nullptr || cells->GetSafeHwnd() == nullptr)
        return;
    CDC* dc = cells->GetDC();
    if (m_focusRect.left != -1)
        dc->DrawFocusRect(&m_focusRect);
    m_focusRect = {0, y - 1, m_GI->m_gridWidth, y + 1};
    if (y >= 0)
        dc->DrawFocusRect(&m_focusRect);
    else
        m_focusRect = {-1, -1, -1, -1};
    cells->ReleaseDC(dc);
}

void CUGSideHdg::SizeHeadingColumnTo(int x)
{
    const int index = -m_sizingColRow - 1;
    const int colWidth = std::max(0, m_sizingStartSize - m_sizingStartPos + x);
    m_GI->m_sideHdgWidths[index] = colWidth;
    int total = std::max(0, m_sizingStartWidth - m_sizingStartPos + x);
    m_ctrl->OnSideHeadingSizing(&total, colWidth);
    m_GI->m_sideHdgWidth = total;
    m_ctrl->RecalcPartLayout();
}

void CUGSideHdg::DragStarted(CPoint) { m_focusRect = {-1, -1, -1, -1}; }

void CUGSideHdg::DragEnded(CPoint)
{
    if (m_colOrRowSizing != 0) {
        // The marker is taken away before the cells repaint under it.
        MoveMarker(-1);
        const int row = m_sizingColRow;
        int height = UGRowHeight(*m_GI, row);
        for (int col = m_GI->m_leftCol; col < m_GI->m_rightCol; ++col)
            m_ctrl->GetCellTypeAt(col, row)->OnChangedCellHeight(col, row, &height);
        m_ctrl->OnRowHeightChanging(row, &height);
        m_ctrl->SetRowHeightAt(row, std::max(0, height));
    } else {
        m_ctrl->OnSideHeadingSized(&m_GI->m_sideHdgWidth);
    }
    m_ctrl->RecalcPartLayout();
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
