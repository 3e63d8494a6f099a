#include "grid/UGTopHdg.h"

#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include <algorithm>

CUGTopHdg::CUGTopHdg() : CUGCellHeading(UG_TOPHEADING, true) {}

int CUGTopHdg::GetCellRect(int* col, int* row, RECT* rect)
{
    if (!IsHeadingCell(col, row, rect))
        return 1;
    *rect = RangeRect(*col, *row, *col, *row);
    return 0;
}

BOOL CUGTopHdg::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(create);
}

void CUGTopHdg::HitTestEdges(CPoint point)
{
    int next = -1;
    const int col = EdgeAlongAt(point.x, &next, nullptr);
    if (col >= 0 && m_ctrl->AllowColumnSizing(col, next) != 0) {
        OfferEdgeAlong(col, point);
        return;
    }
    if (HitTestEdgesAcross(point))
        return;
    if (m_canSize != 0) {
        m_canSize = 0;
        SetCursorTo(m_GI->m_arrowCursor);
    }
}

int CUGTopHdg::SizeAlongTo(int x)
{
    const int col = m_sizingColRow;
    x = std::max(x, m_sizingStartPos - m_sizingStartSize);
    int width = m_sizingStartSize - m_sizingStartPos + x;
    TellVisibleCellTypes(col, &width, &CUGCellType::OnChangingCellWidth);
    m_ctrl->OnColumnSizing(col, &width);
    m_ctrl->SetColumnWidthAt(col, std::max(width, 0));
    return x;
}

void CUGTopHdg::FinishColumnWidth(int col)
{
    const int stored = UGColumnWidth(*m_GI, col);
    int width = stored;
    TellVisibleCellTypes(col, &width, &CUGCellType::OnChangedCellWidth);
    m_ctrl->OnColumnWidthChanging(col, &width);
    if (width != stored)
        m_ctrl->SetColumnWidthAt(col, std::max(width, 0));
}

void CUGTopHdg::SizedAlong()
{
    FinishColumnWidth(m_sizingColRow);
    if (m_ctrl->m_CUGGrid != nullptr)
        m_ctrl->m_CUGGrid->InvalidateRect(nullptr, TRUE);
}

// A heading row's step is taken only when the control answers 1.
bool CUGTopHdg::SizingAcross(int* total, int size) { return m_ctrl->OnTopHeadingSizing(total, size) == 1; }

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
    if (Attached() && m_canSize != 0 && IsSizingAlong()) {
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
