#include "grid/UGVScroll.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

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
        if (m_GI->m_maxTopRow > 1000) {
            info.nMin = 0;
            info.nMax = 1000;
            info.nPage = 1;
            m_multiRange = 1000.0 / m_GI->m_maxTopRow;
            m_multiPos = m_GI->m_maxTopRow / 1000.0;
        } else {
            if (m_GI->m_defRowHeight < 1)
                m_GI->m_defRowHeight = 1;
            info.nPage = static_cast<UINT>(m_GI->m_gridHeight / m_GI->m_defRowHeight);
            info.nMin = m_GI->m_numLockRows;
            info.nMax = static_cast<int>(info.nPage) + (m_GI->m_maxTopRow - 1);
            m_multiRange = 1.0;
            m_multiPos = 1.0;
            InvalidateRect(nullptr, TRUE);
        }
        SetScrollInfo(&info, FALSE);
        rebuilt = true;
    }
    if (m_GI->m_topRow != m_GI->m_lastTopRow || rebuilt) {
        SetScrollPos(static_cast<int>(m_GI->m_topRow * m_multiRange), TRUE);
        if (m_ctrl != nullptr)
            m_ctrl->OnViewMoved(UG_VSCROLL, m_GI->m_lastTopRow, m_GI->m_topRow);
    }
}

// Moving the view by lines, pages and the thumb is not done yet.
void CUGVScroll::VScroll(UINT, UINT) {}
