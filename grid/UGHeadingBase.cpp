#include "grid/UGHeadingBase.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGTip.h"

#include "platform/base/controls.h"
#include "platform/base/dc.h"
#include "platform/base/modal.h"
#include "platform/base/virtual_keys.h"

int UGPressIsDown(UGHeadingPress press)
{
    return press == UGHeadingPress::LeftDown || press == UGHeadingPress::RightDown ? 1 : 0;
}

LRESULT CUGHeadingBase::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PRINT) {
        Invalidate(TRUE);
        auto* dc = reinterpret_cast<CDC*>(wparam);
        if (dc != nullptr && m_GI != nullptr)
            DrawAll(dc);
        return 0;
    }
    if (message == WM_HELPHITTEST) {
        int col = -1, row = -1;
        if (m_ctrl == nullptr || !CellAt(CPoint(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)), &col, &row, nullptr))
            return 0;
        return m_ctrl->GetHelpContextId(col, row, m_section);
    }
    return CWnd::WindowProc(message, wparam, lparam);
}

void CUGHeadingBase::OnPaint()
{
    CPaintDC dc(this);
    if (m_GI == nullptr || m_GI->m_sheetReady == 0)
        return;
    DrawAll(&dc);
}

void CUGHeadingBase::SetCursorTo(HCURSOR cursor)
{
    platform::set_cursor_target(this);
    SetCursor(cursor);
}

HCURSOR CUGHeadingBase::SizingCursor() const
{
    return m_colOrRowSizing != 0 ? m_GI->m_NSResizeCursor : m_GI->m_WEResizeCursor;
}

void CUGHeadingBase::FocusCells()
{
    if (m_ctrl->m_CUGGrid != nullptr)
        m_ctrl->m_CUGGrid->SetFocus();
}

void CUGHeadingBase::Press(UGHeadingPress press, CPoint point)
{
    int col = -1, row = -1;
    RECT rect{};
    if (!CellAt(point, &col, &row, &rect))
        return;
    POINT where = point;
    Pressed(press, col, row, &rect, &where);
}

void CUGHeadingBase::OnMouseMove(UINT flags, CPoint point)
{
    if (!Attached())
        return;
    if (m_isSizing != 0) {
        DragEdgeTo(point);
        return;
    }
    if ((flags & MK_LBUTTON) == 0 || HitTestsWithButtonHeld())
        HitTestEdges(point);
}

void CUGHeadingBase::OnLButtonDown(UINT, CPoint point)
{
    if (!Attached())
        return;
    FocusCells();
    if (m_canSize != 0) {
        m_isSizing = 1;
        SetCapture();
        DragStarted(point);
        return;
    }
    Press(UGHeadingPress::LeftDown, point);
}

void CUGHeadingBase::OnLButtonUp(UINT, CPoint point)
{
    if (!Attached())
        return;
    if (m_isSizing != 0) {
        if (GetCapture() == this)
            ReleaseCapture();
        m_isSizing = 0;
        DragEnded(point);
        return;
    }
    Press(UGHeadingPress::LeftUp, point);
}

void CUGHeadingBase::OnLButtonDblClk(UINT, CPoint point)
{
    if (Attached())
        Press(UGHeadingPress::Double, point);
}

void CUGHeadingBase::OnRButtonDown(UINT, CPoint point)
{
    if (!Attached())
        return;
    if (RightPressFocusesCells())
        FocusCells();
    Press(UGHeadingPress::RightDown, point);
}

void CUGHeadingBase::OnRButtonUp(UINT, CPoint point)
{
    if (Attached())
        Press(UGHeadingPress::RightUp, point);
}

BOOL CUGHeadingBase::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_GI == nullptr)
        return FALSE;
    SetCursorTo(m_canSize != 0 ? SizingCursor() : m_GI->m_arrowCursor);
    return TRUE;
}

INT_PTR CUGHeadingBase::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    int col = -1, row = -1;
    RECT rect{};
    if (!CellAt(point, &col, &row, &rect))
        return -1;
    return UGTipHitTest(this, col, row, &rect, &m_tipCol, &m_tipRow, info);
}

BOOL CUGHeadingBase::OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (header == nullptr || header->code != TTN_NEEDTEXT || m_ctrl == nullptr)
        return CWnd::OnNotify(wparam, lparam, result);
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(&pointer);
    int col = -1, row = -1;
    m_tipText.Empty();
    const bool hasText =
        CellAt(pointer, &col, &row, nullptr) && m_ctrl->GetCellTipText(col, row, m_section, &m_tipText) == 1;
    return UGAnswerTipRequest(lparam, hasText, m_tipText, result);
}

BOOL CUGHeadingBase::OnHelpInfo(HELPINFO* info)
{
    if (info == nullptr || info->iContextType != HELPINFO_WINDOW || m_ctrl == nullptr)
        return CWnd::OnHelpInfo(info);
    POINT pointer = info->MousePos;
    ScreenToClient(&pointer);
    int col = -1, row = -1;
    CellAt(pointer, &col, &row, nullptr);
    WinHelp(static_cast<DWORD_PTR>(m_ctrl->GetHelpContextId(col, row, m_section)), HELP_CONTEXT);
    return TRUE;
}
