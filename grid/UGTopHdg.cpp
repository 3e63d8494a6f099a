#include "grid/UGTopHdg.h"

#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"

#include <algorithm>

namespace {

// The columns in display order (locked ones, then from the left column) with their left and
// right edges, until the walk passes the limit or visit returns true.
template <typename Visit>
void walk_columns(const CUGGridInfo& sheet, int limit, Visit visit)
{
    int right = 0;
    auto step = [&](int col) {
        const int left = right;
        right += UGColumnWidth(sheet, col);
        return visit(col, left, right) || right > limit;
    };
    for (int col = 0; col < sheet.m_numLockCols && col < sheet.m_numberCols; ++col)
        if (step(col))
            return;
    for (int col = std::max(sheet.m_leftCol, sheet.m_numLockCols); col < sheet.m_numberCols; ++col)
        if (step(col))
            return;
}

}  // namespace

CUGTopHdg::CUGTopHdg() : CUGHeadingBase(UG_TOPHEADING) {}

CUGTopHdg::~CUGTopHdg() { m_drawHint.Empty(); }

void CUGTopHdg::Update()
{
    if (m_GI != nullptr && m_GI->m_numberTopHdgRows > 0) {
        const int last = m_GI->m_numberTopHdgRows - 1;
        int others = 0;
        for (int index = 0; index < last; ++index)
            others += m_GI->m_topHdgHeights[index];
        const int height = m_GI->m_topHdgHeight - others > 0 ? m_GI->m_topHdgHeight - others : 0;
        if (height <= 1024 && height != m_GI->m_topHdgHeights[last]) {
            m_GI->m_topHdgHeights[last] = height;
            if (m_GI->m_numberTopHdgRows == 1)
                m_GI->m_topHdgHeight = height;
        }
    }
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

int CUGTopHdg::GetCellRect(int* col, int* row, RECT* rect)
{
    if (m_GI == nullptr || col == nullptr || row == nullptr || rect == nullptr)
        return 1;
    if (*row >= 0 || -*row > m_GI->m_numberTopHdgRows)
        return 1;
    rect->left = UGColumnLeft(*m_GI, *col);
    rect->right = rect->left + UGColumnWidth(*m_GI, *col);
    rect->top = UGTopHeadingRowTop(*m_GI, *row);
    rect->bottom = rect->top + m_GI->m_topHdgHeights[-*row - 1];
    return 0;
}

int CUGTopHdg::GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const
{
    *col = -1;
    *row = -1;
    if (m_GI == nullptr)
        return 1;
    RECT found{};
    int foundCol = -1;
    walk_columns(*m_GI, m_GI->m_gridWidth, [&](int c, int left, int right) {
        if (x >= left && x < right) {
            foundCol = c;
            found.left = left;
            found.right = right;
            return true;
        }
        return false;
    });
    int foundRow = 0;
    int top = 0;
    for (int r = -m_GI->m_numberTopHdgRows; r <= -1; ++r) {
        const int bottom = top + m_GI->m_topHdgHeights[-r - 1];
        if (y >= top && y < bottom) {
            foundRow = r;
            found.top = top;
            found.bottom = bottom;
            break;
        }
        top = bottom;
    }
    if (foundCol < 0 || foundRow == 0)
        return 1;
    *col = foundCol;
    *row = foundRow;
    if (rect != nullptr)
        *rect = found;
    return 0;
}

bool CUGTopHdg::JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow)
{
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
    *originCol = std::clamp(*originCol, 0, std::max(0, m_GI->m_numberCols - 1));
    *originRow = std::clamp(*originRow, -m_GI->m_numberTopHdgRows, -1);
    *lastCol = std::clamp(*originCol + std::max(joinCol, 0), *originCol, std::max(0, m_GI->m_numberCols - 1));
    *lastRow = std::clamp(*originRow + std::max(joinRow, 0), *originRow, -1);
    return true;
}

RECT CUGTopHdg::RangeRect(int originCol, int originRow, int lastCol, int lastRow) const
{
    RECT rect{};
    rect.left = UGColumnLeft(*m_GI, originCol);
    rect.right = rect.left;
    for (int col = originCol; col <= lastCol; ++col)
        rect.right += UGColumnWidth(*m_GI, col);
    rect.top = UGTopHeadingRowTop(*m_GI, originRow);
    rect.bottom = rect.top;
    for (int row = originRow; row <= lastRow; ++row)
        rect.bottom += m_GI->m_topHdgHeights[-row - 1];
    return rect;
}

void CUGTopHdg::DrawCellsIntern(CDC* dc)
{
    if (m_ctrl == nullptr || m_GI == nullptr || dc == nullptr)
        return;
    m_ctrl->OnSectionPaintStart(dc, nullptr, UG_TOPHEADING);
    CFont* oldFont = m_GI->m_defFont != nullptr ? dc->SelectObject(m_GI->m_defFont) : nullptr;

    int drawnRight = 0;
    for (int row = -m_GI->m_numberTopHdgRows; row <= -1; ++row) {
        const int top = UGTopHeadingRowTop(*m_GI, row);
        const int bottom = top + m_GI->m_topHdgHeights[-row - 1];
        walk_columns(*m_GI, m_GI->m_gridWidth, [&](int col, int left, int right) {
            drawnRight = std::max(drawnRight, right);
            if (!m_drawHint.Contains(col, row))
                return false;
            int drawCol = col, drawRow = row;
            RECT rect{left, top, right, bottom};
            int lastCol = 0, lastRow = 0;
            if (m_GI->m_enableJoins != 0 && JoinedRange(col, row, &drawCol, &drawRow, &lastCol, &lastRow)) {
                if (!m_drawHint.MarkJoinDrawn(drawCol, drawRow))
                    return false;
                rect = RangeRect(drawCol, drawRow, lastCol, lastRow);
            }
            if (rect.right <= rect.left || rect.bottom <= rect.top)
                return false;
            m_cell.ResetProperties();
            m_ctrl->GetCell(drawCol, drawRow, &m_cell);
            CUGCellType* type = m_ctrl->GetCellTypeAt(drawCol, drawRow);
            const int saved = dc->SaveDC();
            type->OnDraw(dc, &rect, drawCol, drawRow, &m_cell, 0, 0);
            dc->RestoreDC(saved);
            return false;
        });
    }

    CRect client;
    GetClientRect(&client);
    const int stripRight = std::max(m_GI->m_gridWidth, static_cast<int>(client.right));
    if (drawnRight < stripRight) {
        CBrush brush(m_ctrl->GetSectionBackColor(UG_TOPHEADING));
        const RECT rest{drawnRight, 0, stripRight, m_GI->m_topHdgHeight};
        dc->FillRect(&rest, &brush);
    }
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
}

BOOL CUGTopHdg::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(create);
}

bool CUGTopHdg::CellAt(CPoint point, int* col, int* row, RECT* rect) const
{
    return GetCellFromPoint(point.x, point.y, col, row, rect) == 0;
}

void CUGTopHdg::DrawAll(CDC* dc)
{
    m_drawHint.AddRange(0, -m_GI->m_numberTopHdgRows, m_GI->m_numberCols, 0);
    DrawCellsIntern(dc);
    m_drawHint.Empty();
}

void CUGTopHdg::HitTestEdges(CPoint point)
{
    bool hit = false;
    walk_columns(*m_GI, m_GI->m_gridWidth, [&](int col, int, int edge) {
        if (point.x <= edge - 3 || point.x >= edge + 3)
            return false;
        // A hidden column right of the edge is the one pulled open.
        int next = col + 1;
        if (col == m_GI->m_numLockCols - 1)
            next = std::max(m_GI->m_leftCol, m_GI->m_numLockCols);
        if (next >= m_GI->m_numberCols)
            next = -1;
        const int sized = next >= 0 && UGColumnWidth(*m_GI, next) == 0 ? next : col;
        if (m_ctrl->AllowColumnSizing(sized, next) != 0) {
            m_canSize = 1;
            m_colOrRowSizing = 0;
            m_sizingColRow = sized;
            m_sizingStartSize = UGColumnWidth(*m_GI, sized);
            m_sizingStartPos = point.x;
            SetCursorTo(m_GI->m_WEResizeCursor);
            hit = true;
        }
        return true;
    });
    if (hit)
        return;

    int edge = m_GI->m_topHdgHeight;
    for (int index = 0; index < m_GI->m_numberTopHdgRows; ++index) {
        if (point.y > edge - 3 && point.y < edge + 3) {
            if (m_ctrl->AllowTopHeadingSizing() != 0) {
                m_canSize = 1;
                m_colOrRowSizing = 1;
                m_sizingColRow = -(index + 1);
                m_sizingStartSize = m_GI->m_topHdgHeights[index];
                m_sizingStartPos = point.y;
                m_sizingStartHeight = m_GI->m_topHdgHeight;
                SetCursorTo(m_GI->m_NSResizeCursor);
                return;
            }
            break;
        }
        edge -= m_GI->m_topHdgHeights[index];
    }

    if (m_canSize != 0) {
        m_canSize = 0;
        SetCursorTo(m_GI->m_arrowCursor);
    }
}

void CUGTopHdg::DragEdgeTo(CPoint point)
{
    if (m_colOrRowSizing == 0)
        SizeColumnTo(point.x);
    else
        SizeHeadingRowTo(point.y);
}

void CUGTopHdg::SizeColumnTo(int x)
{
    const int col = m_sizingColRow;
    x = std::max(x, m_sizingStartPos - m_sizingStartSize);
    int width = m_sizingStartSize - m_sizingStartPos + x;
    for (int row = m_GI->m_topRow; row < m_GI->m_bottomRow; ++row)
        m_ctrl->GetCellTypeAt(col, row)->OnChangingCellWidth(col, row, &width);
    m_ctrl->OnColumnSizing(col, &width);
    m_ctrl->SetColumnWidthAt(col, std::max(width, 0));
    Update();
    MoveMarker(x);
}

void CUGTopHdg::MoveMarker(int x)
{
    CUGGrid* cells = m_ctrl->m_CUGGrid;
    if (cells == nullptr || cells->GetSafeHwnd() == nullptr)
        return;
    CDC* dc = cells->GetDC();
    if (m_focusRect.left != -1)
        dc->DrawFocusRect(&m_focusRect);
    m_focusRect = {x - 1, 0, x + 1, m_GI->m_gridHeight};
    if (x >= 0)
        dc->DrawFocusRect(&m_focusRect);
    else
        m_focusRect = {-1, -1, -1, -1};
    cells->ReleaseDC(dc);
}

void CUGTopHdg::SizeHeadingRowTo(int y)
{
    const int index = -m_sizingColRow - 1;
    const int rowHeight = std::max(0, m_sizingStartSize - m_sizingStartPos + y);
    m_GI->m_topHdgHeights[index] = rowHeight;
    int total = std::max(0, m_sizingStartHeight - m_sizingStartPos + y);
    if (m_ctrl->OnTopHeadingSizing(&total, rowHeight) != 1)
        return;
    m_GI->m_topHdgHeight = total;
    m_ctrl->RecalcPartLayout();
}

void CUGTopHdg::FinishColumnWidth(int col)
{
    const int stored = UGColumnWidth(*m_GI, col);
    int width = stored;
    for (int row = m_GI->m_topRow; row < m_GI->m_bottomRow; ++row)
        m_ctrl->GetCellTypeAt(col, row)->OnChangedCellWidth(col, row, &width);
    m_ctrl->OnColumnWidthChanging(col, &width);
    if (width != stored)
        m_ctrl->SetColumnWidthAt(col, std::max(width, 0));
}

void CUGTopHdg::DragStarted(CPoint) { m_focusRect = {-1, -1, -1, -1}; }

void CUGTopHdg::DragEnded(CPoint)
{
    if (m_colOrRowSizing == 0) {
        // The marker is taken away before the cells repaint under it.
        MoveMarker(-1);
        FinishColumnWidth(m_sizingColRow);
        if (m_ctrl->m_CUGGrid != nullptr)
            m_ctrl->m_CUGGrid->InvalidateRect(nullptr, TRUE);
    } else {
        m_ctrl->OnTopHeadingSized(&m_GI->m_topHdgHeight);
    }
    m_ctrl->RecalcPartLayout();
}

void CUGTopHdg::Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where)
{
    if (press == UGHeadingPress::LeftDown && m_ctrl->AllowColumnDrag(col) != 0)
        m_pressedCol = col;
    CUGCellType* type = m_ctrl->GetCellTypeAt(col, row);
    const int down = UGPressIsDown(press);
    switch (press) {
    case UGHeadingPress::LeftDown:
    case UGHeadingPress::LeftUp:
        m_ctrl->OnColumnHeadingClick(col, row, down, rect, where, type->OnLClicked(col, row, down, rect, where));
        break;
    case UGHeadingPress::Double:
        m_ctrl->OnColumnHeadingDoubleClick(col, row, rect, where, type->OnDClicked(col, row, rect, where));
        break;
    case UGHeadingPress::RightDown:
    case UGHeadingPress::RightUp:
        // The types hear a right press as a release too; none of them acts on heading cells.
        m_ctrl->OnColumnHeadingRightButton(col, row, down, rect, where, type->OnRClicked(col, row, 0, rect, where));
        break;
    }
    if (press == UGHeadingPress::LeftDown)
        SetCapture();
}

void CUGTopHdg::OnLButtonUp(UINT flags, CPoint point)
{
    if (!Attached())
        return;
    CUGHeadingBase::OnLButtonUp(flags, point);
    m_pressedCol = -1;
    if (GetCapture() == this)
        ReleaseCapture();
}

void CUGTopHdg::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (Attached() && m_canSize != 0 && m_colOrRowSizing == 0) {
        const int col = m_sizingColRow;
        m_ctrl->AutoFitColumns(col, col, 20, 1);
        m_canSize = 0;
        HitTestEdges(point);
        FinishColumnWidth(col);
        m_isSizing = 0;
        return;
    }
    CUGHeadingBase::OnLButtonDblClk(flags, point);
}
