#include "grid/UGVScroll.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHint.h"
#include "grid/UGSideHdg.h"

#include "platform/base/modal.h"

namespace {

// The sheet's mouse-event source while a scroll bar moves the view.
constexpr int ScrollBarSource = 4;

}  // namespace

void CUGVScroll::Update()
{
    if (m_GI == nullptr || m_GI->m_sheetReady == 0)
        return;
    bool rebuilt = false;
    if (m_GI->m_maxTopRow != m_lastMaxTopRow || m_GI->m_numLockRows != m_lastNumLockRow) {
        m_lastMaxTopRow = m_GI->m_maxTopRow;
        m_lastNumLockRow = m_GI->m_numLockRows;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        if (m_GI->m_maxTopRow > ScaledRange) {
            info.nMin = 0;
            info.nMax = ScaledRange;
            info.nPage = 1;
            m_multiRange = static_cast<double>(ScaledRange) / m_GI->m_maxTopRow;
            m_multiPos = m_GI->m_maxTopRow / static_cast<double>(ScaledRange);
        } else {
            if (m_GI->m_defRowHeight < 1)
                m_GI->m_defRowHeight = 1;
            const int page = m_GI->m_gridHeight / m_GI->m_defRowHeight;
            info.nPage = static_cast<UINT>(page > 0 ? page : 0);
            info.nMin = m_GI->m_numLockRows;
            info.nMax = page + (m_GI->m_maxTopRow - 1);
            m_multiRange = 1.0;
            m_multiPos = 1.0;
            InvalidateRect(nullptr, TRUE);
        }
        SetScrollInfo(&info, FALSE);
        rebuilt = true;
    }
    if (m_GI->m_topRow != m_GI->m_lastTopRow || rebuilt) {
        SetScrollPos(RowToPosition(m_GI->m_topRow), TRUE);
        if (m_ctrl != nullptr)
            m_ctrl->OnViewMoved(UG_VSCROLL, m_GI->m_lastTopRow, m_GI->m_topRow);
    }
}

// The scaled conversions use whole numbers: the factors as doubles truncate 2490 x 1000 / 4980
// to 499.
int CUGVScroll::RowToPosition(int row) const
{
    if (m_lastMaxTopRow <= ScaledRange)
        return row;
    return static_cast<int>(static_cast<long long>(row) * ScaledRange / m_lastMaxTopRow);
}

int CUGVScroll::PositionToRow(int position) const
{
    if (m_lastMaxTopRow <= ScaledRange)
        return position;
    return static_cast<int>(static_cast<long long>(position) * m_lastMaxTopRow / ScaledRange);
}

void CUGVScroll::VScroll(UINT code, UINT position)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    if (m_ctrl->m_CUGGrid->GetSafeHwnd() != nullptr)
        m_ctrl->m_CUGGrid->SetFocus();
    if (code > SB_BOTTOM)
        return;
    m_GI->m_multiSelectMode = ScrollBarSource;
    const bool hints = m_GI->m_enableScrollHints != 0 && m_ctrl->m_CUGHint->GetSafeHwnd() != nullptr;
    const int topRow = m_GI->m_topRow;
    if (m_GI->m_numberRows > 0) {
        switch (code) {
        case SB_LINEUP:
            for (int row = topRow - 1; row >= 0; --row) {
                if (m_ctrl->GetRowHeightAt(row) != 0) {
                    m_ctrl->SetTopRow(row);
                    break;
                }
            }
            break;
        case SB_LINEDOWN:
            for (int row = topRow + 1; row < m_GI->m_numberRows; ++row) {
                if (m_ctrl->GetRowHeightAt(row) != 0) {
                    m_ctrl->SetTopRow(row);
                    break;
                }
            }
            break;
        case SB_PAGEUP:
            m_ctrl->SetTopRow(PageUpTarget());
            break;
        case SB_PAGEDOWN:
            m_ctrl->SetTopRow(PageDownTarget());
            break;
        case SB_THUMBPOSITION:
            if (m_ctrl->m_CUGHint->IsWindowVisible())
                m_ctrl->m_CUGHint->ShowWindow(SW_HIDE);
            m_ctrl->SetTopRow(PositionToRow(static_cast<int>(position)));
            break;
        case SB_THUMBTRACK:
            // The hint names the row the release will make the top row; the unscaled range
            // already starts at the locked rows, so adding them again named a row too far down.
            m_trackRowPos = PositionToRow(static_cast<int>(position));
            if (m_trackRowPos > m_GI->m_maxTopRow)
                m_trackRowPos = m_GI->m_maxTopRow;
            if (m_trackRowPos < m_GI->m_numLockRows)
                m_trackRowPos = m_GI->m_numLockRows;
            if (hints)
                ShowThumbHint();
            break;
        case SB_TOP:
            m_ctrl->SetTopRow(0);
            break;
        case SB_BOTTOM:
            m_ctrl->SetTopRow(m_GI->m_numberRows - 1);
            break;
        default:
            break;
        }
    }
    m_GI->m_multiSelectMode = 0;
    // A move has drawn the side heading already; painting it again doubled the cost of a jump.
    if (m_GI->m_topRow == topRow && m_ctrl->m_CUGSideHdg->GetSafeHwnd() != nullptr)
        m_ctrl->m_CUGSideHdg->InvalidateRect(nullptr, TRUE);
}

// Walking up from the top row, the first row that no longer fits becomes the top row.
int CUGVScroll::PageUpTarget() const
{
    const int topRow = m_GI->m_topRow;
    int room = m_GI->m_gridHeight - m_GI->m_lockRowHeight;
    if (room < 0)
        return topRow;
    int row = topRow;
    for (; row >= 0; --row) {
        room -= m_ctrl->GetRowHeightAt(row);
        if (room < 0)
            break;
    }
    // A top row taller than the cell area left the page keys stuck on it.
    return row >= topRow ? topRow - 1 : row;
}

int CUGVScroll::PageDownTarget() const
{
    const int topRow = m_GI->m_topRow;
    int room = m_GI->m_gridHeight - m_GI->m_lockRowHeight;
    if (room < 0)
        return topRow;
    // Every row from the maximum top row on would land on the maximum top row anyway.
    int row = topRow;
    for (; row < m_GI->m_maxTopRow; ++row) {
        room -= m_ctrl->GetRowHeightAt(row);
        if (room < 0)
            break;
    }
    return row <= topRow ? topRow + 1 : row;
}

void CUGVScroll::ShowThumbHint()
{
    const DWORD messagePos = GetMessagePos();
    CRect bar;
    GetWindowRect(&bar);
    CPoint point(bar.left, static_cast<short>(HIWORD(messagePos)));
    m_ctrl->ScreenToClient(&point);
    CString text;
    m_ctrl->GetRowScrollHintText(m_trackRowPos, &text);
    CUGHint* hint = m_ctrl->m_CUGHint;
    hint->SetWindowAlign(34);
    hint->SetText(text);
    hint->MoveHintWindow(point.x - 1, point.y, 40);
}

int CUGVScroll::OnCreate(LPCREATESTRUCT create)
{
    const int result = CScrollBar::OnCreate(create);
    if (result != -1 && m_GI != nullptr && m_GI->m_enableScrollHints != 0)
        EnableToolTips(TRUE);
    return result;
}

BOOL CUGVScroll::OnHelpInfo(HELPINFO* info)
{
    if (info != nullptr && info->iContextType == HELPINFO_WINDOW && m_ctrl != nullptr && m_GI != nullptr)
        WinHelp(static_cast<DWORD_PTR>(m_ctrl->GetHelpContextId(m_GI->m_currentCol, m_GI->m_currentRow, UG_VSCROLL)),
                HELP_CONTEXT);
    return TRUE;
}

LRESULT CUGVScroll::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_HELPHITTEST && m_ctrl != nullptr && m_GI != nullptr)
        return m_ctrl->GetHelpContextId(m_GI->m_currentCol, m_GI->m_currentRow, UG_VSCROLL);
    return CScrollBar::WindowProc(message, wparam, lparam);
}
