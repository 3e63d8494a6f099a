#include "grid/UGGrid.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

#include "platform/base/dc.h"

CUGGrid::~CUGGrid() { m_drawHint.Empty(); }

// Cell drawing, the scrolled-image fast path, mouse, keys and tips are not done yet: a paint
// only consumes the listed ranges, and every repaint repaints the whole window.

void CUGGrid::DrawCells(CDC*) { m_drawHint.Empty(); }

void CUGGrid::RedrawChanged()
{
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

void CUGGrid::PaintRect(RECT* rect)
{
    InvalidateRect(rect, FALSE);
    UpdateWindow();
}

BOOL CUGGrid::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(create);
}

CScrollBar* CUGGrid::GetScrollBarCtrl(int bar) const
{
    return m_ctrl != nullptr ? m_ctrl->GetScrollBarCtrl(bar) : nullptr;
}

void CUGGrid::OnPaint()
{
    CPaintDC dc(this);
    if (m_GI == nullptr || m_GI->m_sheetReady == 0)
        return;
    DrawCells(&dc);
}

void CUGGrid::OnSetFocus(CWnd* oldFocus)
{
    m_hasFocus = 1;
    m_cellTypeCapture = 0;
    CWnd::OnSetFocus(oldFocus);
    if (m_ctrl != nullptr)
        m_ctrl->OnSectionFocus(UG_GRID);
}

void CUGGrid::OnKillFocus(CWnd* newFocus)
{
    m_hasFocus = 0;
    CWnd::OnKillFocus(newFocus);
    if (m_ctrl != nullptr)
        m_ctrl->OnSectionKillFocus(UG_GRID, newFocus);
}

UINT CUGGrid::OnGetDlgCode()
{
    CWnd* focus = CWnd::GetFocus();
    if (focus != nullptr && IsChild(focus))
        return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    return CWnd::OnGetDlgCode() | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

BOOL CUGGrid::OnEraseBkgnd(CDC*) { return TRUE; }
