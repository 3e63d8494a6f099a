#include "grid/UGHint.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"

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
    m_windowAlign = 1;
    CDC* dc = GetDC();
    if (dc != nullptr) {
        m_fontHeight = dc->GetTextExtent("X", 1).cy;
        ReleaseDC(dc);
    }
    return 1;
}

// Placing the hint beside the thumb and painting its text are not done yet.
void CUGHint::OnPaint()
{
    CPaintDC dc(this);
}
