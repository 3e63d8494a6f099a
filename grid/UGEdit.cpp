#include "grid/UGEdit.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"

#include "platform/base/dc.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>

BOOL CUGEdit::PreTranslateMessage(MSG* message)
{
    if (message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
        m_cancel = 1;
        if (m_ctrl != nullptr && m_ctrl->GetSafeHwnd() != nullptr)
            m_ctrl->SetFocus();
        return TRUE;
    }
    return CUGEditBase::PreTranslateMessage(message);
}

BOOL CUGEdit::OnSetCursor(CWnd*, UINT, UINT)
{
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    return TRUE;
}

BOOL CUGEdit::OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    if (message == WM_COMMAND && HIWORD(wparam) == EN_UPDATE) {
        AutoGrow();
        RepaintThemed();
        return FALSE;
    }
    return CUGEditBase::OnChildNotify(message, wparam, lparam, result);
}

bool CUGEdit::QualifiesForOverflow() const
{
    if (m_ctrl == nullptr)
        return false;
    const CUGCell& cell = m_ctrl->m_editCell;
    if (cell.IsPropertySet(UGCELL_CELLTYPEEX_SET) && cell.GetCellTypeEx() != 0)
        return false;
    if (cell.IsPropertySet(UGCELL_JOIN_SET))
        return false;
    if (!cell.IsPropertySet(UGCELL_ALIGNMENT_SET) || (cell.GetAlignment() & (UG_ALIGNRIGHT | UG_ALIGNCENTER)) != 0)
        return false;
    CUGCellType* type = m_ctrl->GetCellTypeAt(m_ctrl->m_editCol, m_ctrl->m_editRow);
    return type != nullptr && type->CanOverflow() != 0;
}

void CUGEdit::OnEditSetFocus()
{
    m_autoSizeActive = m_autoSize;
    if (!QualifiesForOverflow())
        m_autoSizeActive = 0;
    CRect client;
    GetClientRect(&client);
    m_origHeight = m_currentHeight = client.Height() + 4;
    AutoGrow();
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_SCROLLCARET);
}

void CUGEdit::AutoGrow()
{
    if (m_autoSizeActive == 0 || m_ctrl == nullptr || m_ctrl->m_GI->m_enableCellOverLap == 0)
        return;
    CWnd* host = GetParent();
    // Cell positions are known in the cell area's coordinates only.
    if (host == nullptr || host != m_ctrl->m_CUGGrid || GetSafeHwnd() == nullptr)
        return;
    CRect area;
    host->GetClientRect(&area);
    CRect rect;
    GetWindowRect(&rect);
    host->ScreenToClient(&rect);

    CString text;
    GetWindowText(text);
    text += " X X";
    CRect measured = rect;
    measured.right = area.right;
    measured.left += 2;
    {
        CClientDC dc(this);
        CFont* old = dc.SelectObject(GetFont());
        dc.DrawText(text, &measured, DT_CALCRECT | DT_NOPREFIX);
        dc.SelectObject(old);
    }
    measured.bottom = std::min(measured.bottom, static_cast<LONG>(area.bottom - 1));

    CRect grown = rect;
    int col = 0;
    int row = 0;
    RECT cell{};
    if (measured.right > rect.right) {
        if (m_ctrl->GetCellAtPoint(measured.right, rect.top, &col, &row, &cell) == 0)
            grown.right = cell.right - 1;
        else
            grown.right = area.right;
        grown.right = std::min(grown.right, area.right);
    }
    if (measured.bottom > rect.bottom) {
        grown.right = area.right;
        if (m_ctrl->GetCellAtPoint(rect.left, measured.bottom, &col, &row, &cell) == 0)
            grown.bottom = cell.bottom - 1;
        else
            grown.bottom = measured.bottom;
        grown.bottom = std::min(grown.bottom, static_cast<LONG>(area.bottom - 1));
    }
    grown.right = std::max(grown.right, rect.right);
    grown.bottom = std::max(grown.bottom, rect.bottom);
    if (grown == rect)
        return;
    MoveWindow(&grown, TRUE);
    host->ValidateRect(&grown);
    m_currentHeight = grown.Height();
}
