#include "grid/UGTopHdg.h"

#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include "platform/base/dc.h"

CUGTopHdg::~CUGTopHdg() { m_drawHint.Empty(); }

void CUGTopHdg::Update()
{
    if (m_GI != nullptr && m_GI->m_numberTopHdgRows > 0) {
        const int last = m_GI->m_numberTopHdgRows - 1;
        int others = 0;
        for (int index = 0; index < last; ++index)
            others += m_GI->m_topHdgHeights[index];
        const int height = m_GI->m_topHdgHeight - others > 0 ? m_GI->m_topHdgHeight - others : 0;
        if (height <= 1024 && height != m_GI->m_topHdgHeights[last]) {
            m_GI->m_topHdgHeights[last] = height;
            if (m_GI->m_numberTopHdgRows == 1)
                m_GI->m_topHdgHeight = height;
        }
    }
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

int CUGTopHdg::GetCellRect(int* col, int* row, RECT* rect)
{
    if (m_GI == nullptr || col == nullptr || row == nullptr || rect == nullptr)
        return 1;
    if (*row >= 0 || -*row > m_GI->m_numberTopHdgRows)
        return 1;
    rect->left = UGColumnLeft(*m_GI, *col);
    rect->right = rect->left + UGColumnWidth(*m_GI, *col);
    rect->top = UGTopHeadingRowTop(*m_GI, *row);
    rect->bottom = rect->top + m_GI->m_topHdgHeights[-*row - 1];
    return 0;
}

BOOL CUGTopHdg::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(create);
}

// Drawing the heading cells, edge sizing and clicks are not done yet.
void CUGTopHdg::OnPaint()
{
    CPaintDC dc(this);
    m_drawHint.Empty();
}
