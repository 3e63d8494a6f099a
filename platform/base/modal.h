#pragma once
// Modal interaction: message boxes, popup menus and help go through replaceable handlers, so
// tests answer them without a display or timers. The toolkit backend installs handlers that
// show real dialogs and menus; with none installed a message box answers its safe choice
// (No, Cancel or OK) and a popup menu chooses nothing.

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"

#include <functional>
#include <vector>

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

constexpr UINT HELP_CONTEXT = 0x0001;

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
int AfxMessageBox(const char* text, UINT type = MB_OK);

class CMenu;

// One item of a popup menu as the handler sees it. A sub-menu item has no id of its own; its
// items follow in sub_items (the handler may answer any of them).
struct menu_item {
    UINT id = 0;
    CString text;
    bool separator = false;
    bool checked = false;
    bool disabled = false;
    // The menu's own sub-menu (in a CMenu), and a copy of its items (in a request).
    CMenu* popup = nullptr;
    std::vector<menu_item> sub_items{};
};

namespace platform {

struct message_box_request {
    HWND owner = nullptr;
    CString text;
    CString caption;
    UINT type = MB_OK;
};
using message_box_handler = std::function<int(const message_box_request& request)>;

struct popup_menu_request {
    HWND owner = nullptr;
    POINT screen_point{};
    UINT flags = 0;
    std::vector<menu_item> items;
};
// Answers the chosen command id, 0 for none.
using popup_menu_handler = std::function<UINT(const popup_menu_request& request)>;

using help_handler = std::function<void(DWORD_PTR data, UINT command)>;

// Each setter returns the handler it replaces.
message_box_handler set_message_box_handler(message_box_handler handler);
popup_menu_handler set_popup_menu_handler(popup_menu_handler handler);
help_handler set_help_handler(help_handler handler);

UINT run_popup_menu(const popup_menu_request& request);
void show_help(DWORD_PTR data, UINT command);

}  // namespace platform
