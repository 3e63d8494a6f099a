#include "platform/base/menu.h"
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
    if (box_handler())
        return box_handler()(request);
    return safe_answer(type);
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

BOOL CMenu::CreatePopupMenu()
{
    if (m_hMenu)
        return FALSE;
    items_.clear();
    m_hMenu = this;
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    items_.clear();
    m_hMenu = nullptr;
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text)
{
    return InsertMenu(static_cast<UINT>(-1), flags | MF_BYPOSITION, id, text);
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, const char* text)
{
    if (!m_hMenu)
        return FALSE;
    menu_item item;
    item.id = static_cast<UINT>(id);
    item.text = text;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.checked = (flags & MF_CHECKED) != 0;
    item.disabled = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
    int index = static_cast<int>(items_.size());
    if (position != static_cast<UINT>(-1)) {
        index = (flags & MF_BYPOSITION) ? static_cast<int>(position) : find(position, MF_BYCOMMAND);
        if (index < 0 || index > static_cast<int>(items_.size()))
            index = static_cast<int>(items_.size());
    }
    items_.insert(items_.begin() + index, item);
    return TRUE;
}

int CMenu::find(UINT item, UINT flags) const
{
    if (flags & MF_BYPOSITION)
        return item < items_.size() ? static_cast<int>(item) : -1;
    for (size_t index = 0; index < items_.size(); ++index)
        if (!items_[index].separator && items_[index].id == item)
            return static_cast<int>(index);
    return -1;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags)
{
    const int index = find(position, flags);
    if (index < 0)
        return FALSE;
    items_.erase(items_.begin() + index);
    return TRUE;
}

int CMenu::GetMenuItemCount() const
{
    return m_hMenu ? static_cast<int>(items_.size()) : -1;
}

UINT CMenu::GetMenuItemID(int position) const
{
    if (position < 0 || position >= static_cast<int>(items_.size()))
        return static_cast<UINT>(-1);
    return items_[static_cast<size_t>(position)].separator ? 0 : items_[static_cast<size_t>(position)].id;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    const int index = find(item, flags);
    text = index < 0 ? CString() : items_[static_cast<size_t>(index)].text;
    return text.GetLength();
}

UINT CMenu::CheckMenuItem(UINT item, UINT check)
{
    const int index = find(item, check & MF_BYPOSITION);
    if (index < 0)
        return static_cast<UINT>(-1);
    menu_item& entry = items_[static_cast<size_t>(index)];
    const UINT old_state = entry.checked ? MF_CHECKED : MF_UNCHECKED;
    entry.checked = (check & MF_CHECKED) != 0;
    return old_state;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable)
{
    const int index = find(item, enable & MF_BYPOSITION);
    if (index < 0)
        return static_cast<UINT>(-1);
    menu_item& entry = items_[static_cast<size_t>(index)];
    const UINT old_state = entry.disabled ? MF_GRAYED : MF_ENABLED;
    entry.disabled = (enable & (MF_GRAYED | MF_DISABLED)) != 0;
    return old_state;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const
{
    const int index = find(item, flags);
    if (index < 0)
        return static_cast<UINT>(-1);
    const menu_item& entry = items_[static_cast<size_t>(index)];
    return (entry.checked ? MF_CHECKED : 0) | (entry.disabled ? MF_GRAYED : 0) | (entry.separator ? MF_SEPARATOR : 0);
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR id, const char* text)
{
    const int index = find(position, flags);
    if (index < 0)
        return FALSE;
    menu_item& entry = items_[static_cast<size_t>(index)];
    entry.id = static_cast<UINT>(id);
    entry.text = text;
    entry.separator = (flags & MF_SEPARATOR) != 0;
    entry.checked = (flags & MF_CHECKED) != 0;
    entry.disabled = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* /*rect*/)
{
    if (!m_hMenu || !owner)
        return FALSE;
    platform::popup_menu_request request;
    request.owner = owner;
    request.screen_point = POINT{x, y};
    request.flags = flags;
    request.items = items_;
    const UINT chosen = platform::run_popup_menu(request);
    bool known = false;
    for (const menu_item& item : items_)
        known = known || (!item.separator && !item.disabled && item.id == chosen && chosen != 0);
    if (!known)
        return FALSE;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (!(flags & TPM_NONOTIFY) && IsWindow(owner))
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner, const RECT* rect)
{
    return menu ? menu->TrackPopupMenu(flags, x, y, owner, rect) : FALSE;
}
