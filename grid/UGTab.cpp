#include "grid/UGTab.h"

#include "platform/base/system_services.h"

CUGTab::CUGTab()
{
    m_font.CreateFont(14, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    m_scrollWidth = 2 * GetSystemMetrics(SM_CXHSCROLL);
}

void CUGTab::Update()
{
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

int CUGTab::OnCreate(LPCREATESTRUCT create)
{
    if (CWnd::OnCreate(create) == -1)
        return -1;
    CRect rect;
    GetClientRect(&rect);
    m_scroll.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, m_scrollWidth, rect.Height()), this, 100);
    return 0;
}

void CUGTab::OnSize(UINT type, int width, int height)
{
    CWnd::OnSize(type, width, height);
    if (m_scroll.GetSafeHwnd() != nullptr)
        m_scroll.MoveWindow(0, 1, m_scrollWidth, height - 1 > 0 ? height - 1 : 0);
    int total = m_scrollWidth - width;
    for (int tab = 0; tab < m_tabCount; ++tab)
        total += m_tabWidths[tab];
    m_maxTabOffset = total > 0 ? total + 20 : 0;
}
