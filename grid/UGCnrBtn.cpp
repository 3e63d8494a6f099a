#include "grid/UGCnrBtn.h"

#include "grid/UGCell.h"
#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

#include "platform/base/dc.h"

#include <algorithm>

namespace {
// A heading dragged smaller keeps an edge the pointer can grab again (the grab zone is 4 px).
constexpr int min_grab_size = 5;
}  // namespace

CUGCnrBtn::CUGCnrBtn() : CUGHeadingBase(UG_CORNERBUTTON) {}

void CUGCnrBtn::OnPaint()
{
    CPaintDC dc(this);
    if (m_ctrl == nullptr || m_GI == nullptr || m_GI->m_sheetReady == 0)
        return;
    m_ctrl->OnSectionPaintStart(&dc, nullptr, UG_CORNERBUTTON);
    OnDraw(&dc);
}

void CUGCnrBtn::OnDraw(CDC* dc)
{
    if (dc == nullptr || m_ctrl == nullptr || m_GI == nullptr || m_GI->m_sheetReady == 0)
        return;
    // The control's fetch of cell (-1, -1) layers the heading defaults, the corner's heading
    // style, the data source, the application's fetch, the format and the style cell.
    CUGCell cell;
    m_ctrl->GetCell(-1, -1, &cell);
    CUGCellType* type = m_ctrl->GetCellTypeAt(-1, -1);
    CRect client;
    GetClientRect(&client);
    CFont* oldFont = m_GI->m_defFont != nullptr ? dc->SelectObject(m_GI->m_defFont) : nullptr;
    const int saved = dc->SaveDC();
    type->OnDraw(dc, &client, -1, -1, &cell, 0, 0);
    dc->RestoreDC(saved);
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
}

bool CUGCnrBtn::CellAt(CPoint, int* col, int* row, RECT* rect) const
{
    *col = -1;
    *row = -1;
    if (rect != nullptr)
        GetClientRect(rect);
    return true;
}

void CUGCnrBtn::DragEdgeTo(CPoint point)
{
    if (m_colOrRowSizing != 0) {
        int height = std::max(min_grab_size, static_cast<int>(point.y));
        m_ctrl->OnTopHeadingSizing(&height, height);
        m_ctrl->SetTopHeadingHeight(height);
    } else {
        int width = std::max(min_grab_size, static_cast<int>(point.x));
        m_ctrl->OnSideHeadingSizing(&width, width);
        m_ctrl->SetSideHeadingWidth(width);
    }
}

void CUGCnrBtn::HitTestEdges(CPoint point)
{
    const int wasOnEdge = m_canSize;
    m_colOrRowSizing = 0;
    m_canSize = 0;
    CRect client;
    GetClientRect(&client);
    if (point.x > client.right - 4 && m_ctrl->AllowSideHeadingSizing() != 0) {
        m_canSize = 1;
        SetCursorTo(m_GI->m_WEResizeCursor);
    } else if (point.x <= client.right - 4 && point.y > client.bottom - 4 && m_ctrl->AllowTopHeadingSizing() != 0) {
        m_colOrRowSizing = 1;
        m_canSize = 1;
        SetCursorTo(m_GI->m_NSResizeCursor);
    } else if (wasOnEdge != 0) {
        SetCursorTo(m_GI->m_arrowCursor);
    }
}

void CUGCnrBtn::ReportClick(int down, CPoint point, int processed)
{
    RECT rect = m_GI->m_cnrBtnRect;
    POINT where = point;
    m_ctrl->OnCornerButtonClick(down, &rect, &where, processed);
}

void CUGCnrBtn::DragStarted(CPoint point) { ReportClick(1, point, 1); }

void CUGCnrBtn::DragEnded(CPoint point)
{
    if (m_colOrRowSizing != 0)
        m_ctrl->OnTopHeadingSized(&m_GI->m_topHdgHeight);
    else
        m_ctrl->OnSideHeadingSized(&m_GI->m_sideHdgWidth);
    ReportClick(0, point, 1);
}

void CUGCnrBtn::Pressed(UGHeadingPress press, int, int, RECT*, POINT* where)
{
    // The control hears of the corner's rectangle in its own coordinates.
    RECT corner = m_GI->m_cnrBtnRect;
    const int down = UGPressIsDown(press);
    if (press == UGHeadingPress::Double)
        m_ctrl->OnCornerButtonDoubleClick(&corner, where, 0);
    else if (press == UGHeadingPress::RightDown || press == UGHeadingPress::RightUp)
        m_ctrl->OnCornerButtonRightButton(down, &corner, where, 0);
    else
        m_ctrl->OnCornerButtonClick(down, &corner, where, 0);
}
