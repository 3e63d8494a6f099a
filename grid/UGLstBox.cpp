#include "grid/UGLstBox.h"

#include "grid/UGCell.h"
#include "grid/UGCtrl.h"
#include "grid/UGDropListType.h"
#include "grid/UGGrid.h"

#include "platform/base/virtual_keys.h"

void CUGLstBox::OnSetFocus(CWnd* oldFocus)
{
    CListBox::OnSetFocus(oldFocus);
    SetCapture();
    m_HasFocus = 1;
    m_selected = 0;
}

void CUGLstBox::OnKillFocus(CWnd* newFocus)
{
    CListBox::OnKillFocus(newFocus);
    Close();
}

void CUGLstBox::Close()
{
    RECT covered{};
    const bool open = GetSafeHwnd() != nullptr;
    if (open) {
        covered = window_rect_in_parent();
        if (GetCapture() == this)
            ReleaseCapture();
        DestroyWindow();
    }
    m_HasFocus = 0;
    if (m_selected == 0 && m_col != nullptr && m_row != nullptr) {
        *m_col = -2;
        *m_row = -2;
    }
    if (open && m_ctrl != nullptr && m_ctrl->m_CUGGrid != nullptr && m_ctrl->m_CUGGrid->GetSafeHwnd() != nullptr) {
        // A bare WM_PAINT draws nothing without an update region; the cells under the list are
        // what need it.
        m_ctrl->m_CUGGrid->InvalidateRect(&covered, FALSE);
        m_ctrl->m_CUGGrid->UpdateWindow();
    }
}

void CUGLstBox::ReturnFocus()
{
    if (m_ctrl != nullptr && m_ctrl->m_CUGGrid != nullptr && m_ctrl->m_CUGGrid->GetSafeHwnd() != nullptr)
        m_ctrl->m_CUGGrid->SetFocus();
    // Without the focus the list was never told it lost it.
    if (GetSafeHwnd() != nullptr)
        Close();
}

void CUGLstBox::OnLButtonUp(UINT flags, CPoint point)
{
    CListBox::OnLButtonUp(flags, point);
    if (GetCapture() == this)
        ReleaseCapture();
    if (GetSafeHwnd() != nullptr && GetCurSel() != LB_ERR)
        SelectCurrentItem();
}

void CUGLstBox::OnKeyDown(UINT key, UINT repeatCount, UINT flags)
{
    if (key == VK_ESCAPE) {
        // Destroying the focus window here tells it nothing, so the list would stay "open" and
        // the keyboard would go nowhere: the focus goes back to the cells, which closes it.
        ReturnFocus();
        return;
    }
    if (key == VK_RETURN) {
        if (GetCurSel() != LB_ERR)
            SelectCurrentItem();
        else
            ReturnFocus();
        return;
    }
    CListBox::OnKeyDown(key, repeatCount, flags);
}

UINT CUGLstBox::OnGetDlgCode() { return CListBox::OnGetDlgCode() | DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

int CUGLstBox::OnMouseActivate(CWnd*, UINT, UINT) { return MA_ACTIVATE; }

void CUGLstBox::SelectCurrentItem()
{
    m_selected = 1;
    if (m_ctrl != nullptr && m_cellType != nullptr && m_col != nullptr && m_row != nullptr) {
        const int col = *m_col;
        const int row = static_cast<int>(*m_row);
        CUGCell cell;
        m_ctrl->GetCell(col, row, &cell);
        const int index = GetCurSel();
        const bool readOnly = cell.IsPropertySet(UGCELL_READONLY_SET) && cell.GetReadOnly() != 0;
        if (!readOnly && index != LB_ERR) {
            CString text;
            GetText(index, text);
            m_cellType->ForwardToGrid(m_cellTypeId, col, row, UGCT_LISTSELECTEDINDEX, index);
            if (m_cellType->ForwardToGrid(m_cellTypeId, col, row, UGCT_LISTSELECTED,
                                          reinterpret_cast<LONG_PTR>(&text)) != 0) {
                cell.ResetProperties();
                m_ctrl->GetCell(col, row, &cell);
                cell.SetTextValue(text);
                m_ctrl->StoreCellAt(col, row, &cell);
                m_cellType->ForwardToGrid(m_cellTypeId, col, row, UGCT_LISTSTORED, reinterpret_cast<LONG_PTR>(&text));
                m_ctrl->RepaintCellAt(col, row);
            }
        }
    }
    m_HasFocus = 0;
    if (m_col != nullptr && m_row != nullptr) {
        *m_col = -1;
        *m_row = -1;
    }
    ReturnFocus();
}
