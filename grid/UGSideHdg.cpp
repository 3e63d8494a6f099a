#include "grid/UGSideHdg.h"

#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include "platform/base/dc.h"

CUGSideHdg::~CUGSideHdg() { m_drawHint.Empty(); }

void CUGSideHdg::Update()
{
    if (m_GI != nullptr && m_GI->m_numberSideHdgCols > 0) {
        const int last = m_GI->m_numberSideHdgCols - 1;
        int others = 0;
        for (int index = 0; index < last; ++index)
            others += m_GI->m_sideHdgWidths[index];
        const int width = m_GI->m_sideHdgWidth - others > 0 ? m_GI->m_sideHdgWidth - others : 0;
        if (width <= 1024 && width != m_GI->m_sideHdgWidths[last]) {
            m_GI->m_sideHdgWidths[last] = width;
            if (m_GI->m_numberSideHdgCols == 1)
                m_GI->m_sideHdgWidth = width;
        }
    }
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

// The scrolled-image repaint is not done yet: the whole heading repaints.
void CUGSideHdg::Moved()
{
    if (m_GI != nullptr && m_GI->m_topRow == m_GI->m_lastTopRow && m_GI->m_currentRow == m_GI->m_lastFocusRow)
        return;
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

int CUGSideHdg::GetCellRect(int* col, int* row, RECT* rect)
{
    if (m_GI == nullptr || col == nullptr || row == nullptr || rect == nullptr)
        return 1;
    if (*col >= 0 || -*col > m_GI->m_numberSideHdgCols)
        return 1;
    rect->top = UGRowTop(*m_GI, *row);
    rect->bottom = rect->top + UGRowHeight(*m_GI, *row);
    rect->left = UGSideHeadingColumnLeft(*m_GI, *col);
    rect->right = rect->left + m_GI->m_sideHdgWidths[-*col - 1];
    return 0;
}

// Drawing the heading cells, edge sizing and clicks are not done yet.
void CUGSideHdg::OnPaint()
{
    CPaintDC dc(this);
    m_drawHint.Empty();
}
