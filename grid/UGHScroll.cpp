#include "grid/UGHScroll.h"

#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHint.h"

#include "platform/base/modal.h"

namespace {

// The sheet's mouse-event source while a scroll bar moves the view.
constexpr int ScrollBarSource = 4;

}  // namespace

void CUGHScroll::Update()
{
    if (m_GI == nullptr || m_GI->m_sheetReady == 0)
        return;
    if (m_GI->m_maxLeftCol != m_lastMaxLeftCol || m_GI->m_numLockCols != m_lastNumLockCols) {
        m_lastMaxLeftCol = m_GI->m_maxLeftCol;
        m_lastNumLockCols = m_GI->m_numLockCols;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        // A default width below 1 would divide by zero.
        const int columnWidth = m_GI->m_defColWidth > 0 ? m_GI->m_defColWidth : 1;
        const int page = (m_GI->m_gridWidth - m_GI->m_lockColWidth) / columnWidth;
        info.nMin = 0;
        info.nPage = static_cast<UINT>(page > 0 ? page : 0);
        info.nMax = page + (m_GI->m_maxLeftCol - m_GI->m_numLockCols - 1);
        SetScrollInfo(&info, FALSE);
        if (m_GI->m_tabRect.top == m_GI->m_tabRect.bottom && m_ctrl != nullptr)
            m_ctrl->RecalcPartLayout();
    }
    if (m_GI->m_leftCol != m_GI->m_lastLeftCol) {
        SetScrollPos(m_GI->m_leftCol - m_GI->m_numLockCols, TRUE);
        if (m_ctrl != nullptr)
            m_ctrl->OnViewMoved(UG_HSCROLL, m_GI->m_lastLeftCol, m_GI->m_leftCol);
    }
}

void CUGHScroll::HScroll(UINT code, UINT position)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    if (m_ctrl->m_CUGGrid->GetSafeHwnd() != nullptr)
        m_ctrl->m_CUGGrid->SetFocus();
    if (code > SB_RIGHT || m_GI->m_numberCols <= 0)
        return;
    m_GI->m_multiSelectMode = ScrollBarSource;
    const bool hints = m_GI->m_enableScrollHints != 0 && m_ctrl->m_CUGHint->GetSafeHwnd() != nullptr;
    switch (code) {
    case SB_LINELEFT:
        m_ctrl->SetLeftColumn(m_GI->m_leftCol - 1);
        break;
    case SB_LINERIGHT:
        m_ctrl->SetLeftColumn(m_GI->m_leftCol + 1);
        break;
    case SB_PAGELEFT:
        m_ctrl->SetLeftColumn(PageLeftTarget());
        break;
    case SB_PAGERIGHT:
        m_ctrl->SetLeftColumn(PageRightTarget());
        break;
    case SB_THUMBPOSITION:
        if (m_ctrl->m_CUGHint->IsWindowVisible())
            m_ctrl->m_CUGHint->ShowWindow(SW_HIDE);
        m_ctrl->SetLeftColumn(m_GI->m_numLockCols + static_cast<int>(position));
        break;
    case SB_THUMBTRACK:
        m_trackColPos = m_GI->m_numLockCols + static_cast<int>(position);
        if (hints)
            ShowThumbHint();
        break;
    case SB_LEFT:
        m_ctrl->SetLeftColumn(0);
        break;
    case SB_RIGHT:
        m_ctrl->SetLeftColumn(m_GI->m_numberCols - 1);
        break;
    default:
        break;
    }
    m_GI->m_multiSelectMode = 0;
}

// Walking left from the left column, the columns that still fit become the view; left of
// column 0 every column would count with the default width, and the control keeps the left
// column at 0 or more anyway.
int CUGHScroll::PageLeftTarget() const
{
    const int leftCol = m_GI->m_leftCol;
    int room = m_GI->m_gridWidth - m_GI->m_lockColWidth;
    if (room < 0)
        return leftCol;
    int col = leftCol;
    for (; col >= 0; --col) {
        room -= m_ctrl->GetColumnWidthAt(col);
        if (room < 0)
            break;
    }
    // A left column wider than the cell area made the page left key move the view right.
    return col + 1 >= leftCol ? leftCol - 1 : col + 1;
}

// The column that no longer fits becomes the left column: taking the one after it skipped a
// column that a page had never shown whole.
int CUGHScroll::PageRightTarget() const
{
    const int leftCol = m_GI->m_leftCol;
    int room = m_GI->m_gridWidth - m_GI->m_lockColWidth;
    if (room < 0)
        return leftCol;
    int col = leftCol;
    for (; col < m_GI->m_numberCols; ++col) {
        room -= m_ctrl->GetColumnWidthAt(col);
        if (room < 0)
            break;
    }
    return col <= leftCol ? leftCol + 1 : col;
}

void CUGHScroll::ShowThumbHint()
{
    const DWORD messagePos = GetMessagePos();
    CRect bar;
    GetWindowRect(&bar);
    CPoint point(static_cast<short>(LOWORD(messagePos)), bar.top);
    m_ctrl->ScreenToClient(&point);
    CString text;
    m_ctrl->GetColumnScrollHintText(m_trackColPos, &text);
    CUGHint* hint = m_ctrl->m_CUGHint;
    hint->SetWindowAlign(20);
    hint->SetText(text);
    hint->MoveHintWindow(point.x, point.y - 1, 20);
}

int CUGHScroll::OnCreate(LPCREATESTRUCT create)
{
    const int result = CScrollBar::OnCreate(create);
    if (result != -1 && m_GI != nullptr && m_GI->m_enableScrollHints != 0)
        EnableToolTips(TRUE);
    return result;
}

BOOL CUGHScroll::OnHelpInfo(HELPINFO* info)
{
    if (info != nullptr && info->iContextType == HELPINFO_WINDOW && m_ctrl != nullptr && m_GI != nullptr)
        WinHelp(static_cast<DWORD_PTR>(m_ctrl->GetHelpContextId(m_GI->m_currentCol, m_GI->m_currentRow, UG_HSCROLL)),
                HELP_CONTEXT);
    return TRUE;
}

LRESULT CUGHScroll::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_HELPHITTEST && m_ctrl != nullptr && m_GI != nullptr)
        return m_ctrl->GetHelpContextId(m_GI->m_currentCol, m_GI->m_currentRow, UG_HSCROLL);
    return CScrollBar::WindowProc(message, wparam, lparam);
}
