#include "app/BaseDialog.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"

#include <cmath>

namespace {

// Fractions of a size change truncate toward zero, so a shrinking window moves a control by
// the same amount, mirrored, as a growing one.
int part_of(int change, double fraction)
{
    return static_cast<int>(std::trunc(change * fraction));
}

}  // namespace

void CBaseDialog::SizeGrip::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.DrawFrameControl(&client, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void CBaseDialog::AddAnchor(int id, double move_x, double move_y, double grow_width, double grow_height)
{
    anchor record;
    record.move_x = move_x / 100.0;
    record.move_y = move_y / 100.0;
    record.grow_width = grow_width / 100.0;
    record.grow_height = grow_height / 100.0;
    // An id that names no child still gets its record (without a window), which resizing skips.
    if (CWnd* control = GetDlgItem(id)) {
        record.window = control->GetSafeHwnd();
        CRect rect;
        control->GetWindowRect(&rect);
        ScreenToClient(&rect);
        record.rect = rect;
    }
    m_anchors.push_back(record);
}

BOOL CBaseDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    if (m_min_width == 0 && m_min_height == 0) {
        CRect window;
        GetWindowRect(&window);
        m_min_width = window.Width();
        m_min_height = window.Height();
    }
    CRect client;
    GetClientRect(&client);
    m_reference_width = client.Width();
    m_reference_height = client.Height();

    if (m_size_grip_wanted && !m_size_grip && (GetStyle() & WS_THICKFRAME)) {
        const CRect grip(client.right - GetSystemMetrics(SM_CXVSCROLL),
                         client.bottom - GetSystemMetrics(SM_CYHSCROLL), client.right, client.bottom);
        if (m_size_grip_window.Create("Scrollbar", "size", WS_CHILD | WS_VISIBLE | SBS_SIZEBOX, grip, this, 0)) {
            m_size_grip = &m_size_grip_window;
            anchor record;
            record.window = m_size_grip->GetSafeHwnd();
            record.move_x = 1;
            record.move_y = 1;
            record.rect = grip;
            m_anchors.push_back(record);
            m_size_grip->SetWindowPos(nullptr, 0, 0, 0, 0,
                                      SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
        }
    }
    return TRUE;
}

LRESULT CBaseDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_GETMINMAXINFO) {
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lparam));
        return 0;
    }
    return CDialogEx::WindowProc(message, wparam, lparam);
}

void CBaseDialog::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info)
        return;
    if (info->ptMinTrackSize.x < m_min_width)
        info->ptMinTrackSize.x = m_min_width;
    if (info->ptMinTrackSize.y < m_min_height)
        info->ptMinTrackSize.y = m_min_height;
}

void CBaseDialog::OnSize(UINT type, int width, int height)
{
    CDialogEx::OnSize(type, width, height);
    // Always measured from the first layout, so rounding never accumulates over many resizes.
    const int dx = width - m_reference_width;
    const int dy = height - m_reference_height;
    // The windows are placed one by one: there is no deferred batch to gather them in, and the
    // order does not matter to the toolkit.
    for (const anchor& record : m_anchors) {
        CWnd* control = CWnd::FromHandle(record.window);
        if (!control || !::IsWindow(record.window))
            continue;
        CRect rect = record.rect;
        rect.OffsetRect(part_of(dx, record.move_x), part_of(dy, record.move_y));
        rect.right += part_of(dx, record.grow_width);
        rect.bottom += part_of(dy, record.grow_height);
        const bool grows = record.grow_width != 0 || record.grow_height != 0;
        control->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | (grows ? SWP_NOCOPYBITS : 0));
    }
    if (m_size_grip)
        m_size_grip->ShowWindow(type == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOWNA);
}
