#include "grid/UGTip.h"

#include "platform/base/controls.h"

namespace {

constexpr UINT tip_flags = TTF_IDISHWND | TTF_TRANSPARENT | TTF_ALWAYSTIP | TTF_NOTBUTTON;

}  // namespace

INT_PTR UGTipHitTest(const CWnd* window, int col, int row, const RECT* cellRect, int* lastCol, int* lastRow,
                     TOOLINFO* info)
{
    if (col == *lastCol && row == *lastRow) {
        if (info != nullptr) {
            auto* self = const_cast<CWnd*>(window);
            info->uFlags = tip_flags;
            info->hwnd = self;
            info->uId = reinterpret_cast<UINT_PTR>(self);
            if (cellRect != nullptr)
                info->rect = *cellRect;
            info->lpszText = LPSTR_TEXTCALLBACK;
        }
        return 1;
    }
    *lastCol = col;
    *lastRow = row;
    CWnd::CancelToolTips();
    return -1;
}

BOOL UGAnswerTipRequest(LPARAM lparam, bool hasText, const CString& text, LRESULT* result)
{
    if (!hasText) {
        *result = 0;
        return TRUE;
    }
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (auto* tip = dynamic_cast<CToolTipCtrl*>(CWnd::FromHandle(header->hwndFrom))) {
        tip->SetMaxTipWidth(32767);
        tip->SetDelayTime(TTDT_AUTOPOP, 32767);
        tip->SetDelayTime(TTDT_INITIAL, 200);
        tip->SetDelayTime(TTDT_RESHOW, 200);
    }
    auto* request = reinterpret_cast<TOOLTIPTEXTA*>(lparam);
    request->lpszText = const_cast<char*>(static_cast<const char*>(text));
    *result = 1;
    return TRUE;
}
