#include "grid/UGDropTarget.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"

DROPEFFECT CUGDropTarget::OnDragEnter(CWnd*, COleDataObject* data, DWORD, CPoint)
{
    return m_ctrl != nullptr ? static_cast<DROPEFFECT>(m_ctrl->OnDragEntered(data)) : DROPEFFECT_NONE;
}

DROPEFFECT CUGDropTarget::OnDragOver(CWnd*, COleDataObject* data, DWORD, CPoint point)
{
    if (m_ctrl == nullptr)
        return DROPEFFECT_NONE;
    int col = -1, row = -1;
    RECT rect{};
    m_ctrl->GetCellAtPoint(point.x, point.y, &col, &row, &rect);
    return static_cast<DROPEFFECT>(m_ctrl->OnDragOverCell(data, col, row));
}

DROPEFFECT CUGDropTarget::OnDropEx(CWnd*, COleDataObject* data, DROPEFFECT, DROPEFFECT, CPoint point)
{
    if (m_ctrl == nullptr)
        return DROPEFFECT_NONE;
    int col = -1, row = -1;
    RECT rect{};
    m_ctrl->GetCellAtPoint(point.x, point.y, &col, &row, &rect);
    const int answer = m_ctrl->OnDataDropped(data, col, row);
    if (answer != 0) {
        CString text;
        if (data != nullptr && data->IsDataAvailable(CF_TEXT)) {
            m_ctrl->GotoCell(col, row);
            text = data->text();
            data->Release();
        }
        m_ctrl->PasteText(&text);
    }
    return static_cast<DROPEFFECT>(answer);
}

DROPEFFECT CUGDropTarget::OnDragScroll(CWnd*, DWORD, CPoint point)
{
    if (m_ctrl == nullptr || m_ctrl->m_CUGGrid == nullptr || m_ctrl->m_GI == nullptr)
        return DROPEFFECT_NONE;
    CRect client;
    m_ctrl->m_CUGGrid->GetClientRect(&client);
    CUGGridInfo* sheet = m_ctrl->m_GI;
    if (point.x < 10)
        m_ctrl->SetLeftColumn(sheet->m_leftCol - 1);
    else if (point.x > client.right - 10)
        m_ctrl->SetLeftColumn(sheet->m_leftCol + 1);
    else if (point.y < 10)
        m_ctrl->SetTopRow(sheet->m_topRow - 1);
    else if (point.y > client.bottom - 10)
        m_ctrl->SetTopRow(sheet->m_topRow + 1);
    return DROPEFFECT_NONE;
}
