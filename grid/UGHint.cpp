#include "grid/UGHint.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"

#include <algorithm>

int CUGHint::Create(CWnd*)
{
    WNDCLASSA windowClass;
    windowClass.style = CS_SAVEBITS | CS_DBLCLKS;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_INFOBK);
    windowClass.lpszClassName = "HintWnd";
    RegisterClassA(&windowClass);
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "HintWnd", "", WS_POPUP | WS_BORDER, CRect(0, 0, 0, 0), nullptr,
                  0))
        return 0;
    m_text.Empty();
    m_textColor = 0;
    m_backColor = 0xE0FFFF;
    m_windowAlign = 1;
    m_hFont = nullptr;
    CDC* dc = GetDC();
    if (dc != nullptr) {
        m_fontHeight = dc->GetTextExtent("X", 1).cy;
        ReleaseDC(dc);
    }
    return 1;
}

int CUGHint::MoveHintWindow(int x, int y, int minWidth)
{
    if (GetSafeHwnd() == nullptr || m_ctrl == nullptr)
        return 1;
    int textWidth = 0;
    CDC* dc = GetDC();
    if (dc != nullptr) {
        CFont* oldFont = m_hFont != nullptr ? dc->SelectObject(m_hFont) : nullptr;
        textWidth = dc->GetTextExtent(m_text).cx;
        if (oldFont != nullptr)
            dc->SelectObject(oldFont);
        ReleaseDC(dc);
    }
    const int width = std::max(minWidth, textWidth + 4);
    const int height = m_fontHeight;

    CRect rect(x, y, x + width, y + height);
    if ((m_windowAlign & AlignCentreX) != 0)
        rect.OffsetRect(-width / 2, 0);
    else if ((m_windowAlign & AlignRight) != 0)
        rect.OffsetRect(-width, 0);
    if ((m_windowAlign & AlignCentreY) != 0)
        rect.OffsetRect(0, -height / 2);
    else if ((m_windowAlign & AlignBottom) != 0)
        rect.OffsetRect(0, -height);

    CRect client;
    m_ctrl->GetClientRect(&client);
    if (rect.left < 0)
        rect.OffsetRect(-rect.left, 0);
    if (rect.top < 0)
        rect.OffsetRect(0, -rect.top);
    if (rect.right > client.right)
        rect.OffsetRect(client.right - rect.right, 0);
    if (rect.bottom > client.bottom)
        rect.OffsetRect(0, client.bottom - rect.bottom);
    m_ctrl->ClientToScreen(&rect);

    // Moved while shown: hiding it first for every step of a drag makes the toolkit's pop-up
    // flicker.
    MoveWindow(&rect, TRUE);
    if (!IsWindowVisible())
        ShowWindow(SW_SHOWNOACTIVATE);
    SendMessage(WM_PAINT);
    return 0;
}

// Drawn on a window DC rather than a paint DC: the hint is painted at once after each move,
// when no update region may be pending yet.
void CUGHint::OnPaint()
{
    if (m_ctrl == nullptr || m_ctrl->m_GI == nullptr || m_ctrl->m_GI->m_sheetReady == 0) {
        ValidateRect(nullptr);
        return;
    }
    CDC* dc = GetDC();
    if (dc != nullptr) {
        CRect client;
        GetClientRect(&client);
        CFont* oldFont = m_hFont != nullptr ? dc->SelectObject(m_hFont) : nullptr;
        dc->SetTextColor(m_textColor);
        dc->SetBkColor(m_backColor);
        dc->SetBkMode(OPAQUE);
        // The class background is the desktop theme's tip colour, which can be dark: the
        // whole hint takes its own back colour.
        dc->FillSolidRect(&client, m_backColor);
        dc->DrawText(m_text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (oldFont != nullptr)
            dc->SelectObject(oldFont);
        ReleaseDC(dc);
    }
    ValidateRect(nullptr);
}
