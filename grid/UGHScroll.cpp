#include "grid/UGHScroll.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

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

// Moving the view by lines, pages and the thumb is not done yet.
void CUGHScroll::HScroll(UINT, UINT) {}
