#include "grid/UGCnrBtn.h"

#include "grid/UGCell.h"
#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGTip.h"

#include "platform/base/controls.h"
#include "platform/base/dc.h"
#include "platform/base/modal.h"

#include <algorithm>

namespace {
// A heading dragged smaller keeps an edge the pointer can grab again (the grab zone is 4 px).
constexpr int min_grab_size = 5;
}  // namespace

LRESULT CUGCnrBtn::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PRINT) {
        Invalidate(TRUE);
        OnDraw(reinterpret_cast<CDC*>(wparam));
        return 0;
    }
    if (message == WM_HELPHITTEST)
        return m_ctrl != nullptr ? m_ctrl->GetHelpContextId(-1, -1, UG_CORNERBUTTON) : 0;
    return CWnd::WindowProc(message, wparam, lparam);
}

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

void CUGCnrBtn::SetCursorTo(HCURSOR cursor)
{
    platform::set_cursor_target(this);
    SetCursor(cursor);
}

void CUGCnrBtn::OnMouseMove(UINT, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    if (m_isSizing != 0) {
        if (m_sizingHeight != 0) {
            int height = std::max(min_grab_size, static_cast<int>(point.y));
            m_ctrl->OnTopHeadingSizing(&height, height);
            m_ctrl->SetTopHeadingHeight(height);
        } else {
            int width = std::max(min_grab_size, static_cast<int>(point.x));
            m_ctrl->OnSideHeadingSizing(&width, width);
            m_ctrl->SetSideHeadingWidth(width);
        }
        return;
    }
    const int wasOnEdge = m_canSize;
    m_sizingHeight = 0;
    m_sizingWidth = 0;
    m_canSize = 0;
    CRect client;
    GetClientRect(&client);
    if (point.x > client.right - 4 && m_ctrl->AllowSideHeadingSizing() != 0) {
        m_sizingWidth = 1;
        m_canSize = 1;
        SetCursorTo(m_GI->m_WEResizeCursor);
    } else if (point.x <= client.right - 4 && point.y > client.bottom - 4 && m_ctrl->AllowTopHeadingSizing() != 0) {
        m_sizingHeight = 1;
        m_canSize = 1;
        SetCursorTo(m_GI->m_NSResizeCursor);
    } else if (wasOnEdge != 0) {
        SetCursorTo(m_GI->m_arrowCursor);
    }
}

void CUGCnrBtn::OnLButtonDown(UINT, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    if (m_ctrl->m_CUGGrid != nullptr)
        m_ctrl->m_CUGGrid->SetFocus();
    if (m_canSize != 0) {
        m_isSizing = 1;
        SetCapture();
    }
    RECT rect = m_GI->m_cnrBtnRect;
    POINT where = point;
    m_ctrl->OnCornerButtonClick(1, &rect, &where, m_isSizing);
}

void CUGCnrBtn::OnLButtonUp(UINT, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    int processed = 0;
    if (m_isSizing != 0) {
        processed = 1;
        m_isSizing = 0;
        if (GetCapture() == this)
            ReleaseCapture();
        if (m_sizingHeight != 0)
            m_ctrl->OnTopHeadingSized(&m_GI->m_topHdgHeight);
        else
            m_ctrl->OnSideHeadingSized(&m_GI->m_sideHdgWidth);
    }
    RECT rect = m_GI->m_cnrBtnRect;
    POINT where = point;
    m_ctrl->OnCornerButtonClick(0, &rect, &where, processed);
}

void CUGCnrBtn::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    RECT rect = m_GI->m_cnrBtnRect;
    POINT where = point;
    m_ctrl->OnCornerButtonDoubleClick(&rect, &where, 0);
}

void CUGCnrBtn::OnRButtonDown(UINT, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    RECT rect = m_GI->m_cnrBtnRect;
    POINT where = point;
    m_ctrl->OnCornerButtonRightButton(1, &rect, &where, 0);
}

void CUGCnrBtn::OnRButtonUp(UINT, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    RECT rect = m_GI->m_cnrBtnRect;
    POINT where = point;
    m_ctrl->OnCornerButtonRightButton(0, &rect, &where, 0);
}

BOOL CUGCnrBtn::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_GI == nullptr)
        return FALSE;
    if (m_canSize == 0)
        SetCursorTo(m_GI->m_arrowCursor);
    else
        SetCursorTo(m_sizingHeight != 0 ? m_GI->m_NSResizeCursor : m_GI->m_WEResizeCursor);
    return TRUE;
}

INT_PTR CUGCnrBtn::OnToolHitTest(CPoint, TOOLINFO* info) const
{
    RECT area{};
    GetClientRect(&area);
    return UGTipHitTest(this, -1, -1, &area, &m_tipCol, &m_tipRow, info);
}

BOOL CUGCnrBtn::OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (header == nullptr || header->code != TTN_NEEDTEXT || m_ctrl == nullptr)
        return CWnd::OnNotify(wparam, lparam, result);
    m_tipText.Empty();
    const bool hasText = m_ctrl->GetCellTipText(-1, -1, UG_CORNERBUTTON, &m_tipText) == 1;
    return UGAnswerTipRequest(lparam, hasText, m_tipText, result);
}

BOOL CUGCnrBtn::OnHelpInfo(HELPINFO* info)
{
    if (info == nullptr || info->iContextType != HELPINFO_WINDOW || m_ctrl == nullptr)
        return CWnd::OnHelpInfo(info);
    WinHelp(static_cast<DWORD_PTR>(m_ctrl->GetHelpContextId(-1, -1, UG_CORNERBUTTON)), HELP_CONTEXT);
    return TRUE;
}
