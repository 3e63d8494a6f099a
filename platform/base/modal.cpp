#include "platform/base/modal.h"
#include "platform/base/window.h"

#include <utility>

namespace {

platform::message_box_handler& box_handler()
{
    static platform::message_box_handler handler;
    return handler;
}

platform::popup_menu_handler& menu_handler()
{
    static platform::popup_menu_handler handler;
    return handler;
}

platform::help_handler& help()
{
    static platform::help_handler handler;
    return handler;
}

int safe_answer(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDNO;
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    platform::message_box_request request;
    request.owner = owner;
    request.text = text;
    request.caption = caption;
    request.type = type;
    if (!box_handler())
        return safe_answer(type);
    const platform::saved_focus previous_focus = platform::save_focus();
    const int answer = box_handler()(request);
    platform::restore_focus(previous_focus);
    return answer;
}

int AfxMessageBox(const char* text, UINT type)
{
    return MessageBoxA(CWnd::GetActiveWindow(), text, "Tarvoline", type);
}

namespace platform {

message_box_handler set_message_box_handler(message_box_handler handler)
{
    return std::exchange(box_handler(), std::move(handler));
}

popup_menu_handler set_popup_menu_handler(popup_menu_handler handler)
{
    return std::exchange(menu_handler(), std::move(handler));
}

help_handler set_help_handler(help_handler handler)
{
    return std::exchange(help(), std::move(handler));
}

UINT run_popup_menu(const popup_menu_request& request)
{
    return menu_handler() ? menu_handler()(request) : 0;
}

void show_help(DWORD_PTR data, UINT command)
{
    if (help())
        help()(data, command);
}

}  // namespace platform
