// Menus: items, sub-menus, menu tables, the menu bar of a window and pop-up tracking.
#include "platform/base/menu.h"

#include "platform/base/window.h"

#include <algorithm>
#include <map>

namespace {

std::map<UINT, menu_template>& menu_templates()
{
    static std::map<UINT, menu_template> registered;
    return registered;
}

bool holds_command(const std::vector<menu_item>& items, UINT id)
{
    for (const menu_item& item : items) {
        if (item.separator || item.disabled)
            continue;
        if (item.popup ? holds_command(item.popup->items(), id) : item.id == id)
            return true;
    }
    return false;
}

void send_init_popup(CMenu& menu, UINT index, CWnd& owner)
{
    owner.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.GetSafeHmenu()), MAKELPARAM(index, 0));
    for (size_t position = 0; position < menu.items().size() && IsWindow(&owner); ++position)
        if (CMenu* sub = menu.items()[position].popup)
            send_init_popup(*sub, static_cast<UINT>(position), owner);
}

}  // namespace

namespace platform {

void register_menu_template(const menu_template& table)
{
    menu_templates()[table.id] = table;
}

const menu_template* find_menu_template(UINT id)
{
    const auto found = menu_templates().find(id);
    return found == menu_templates().end() ? nullptr : &found->second;
}

void forget_menu_templates()
{
    menu_templates().clear();
}

}  // namespace platform

CMenu::~CMenu()
{
    if (shown_in_ && IsWindow(shown_in_) && shown_in_->GetMenu() == this)
        shown_in_->SetMenu(nullptr);
    for (menu_item& item : items_)
        if (item.popup && item.popup->parent_ == this)
            item.popup->parent_ = nullptr;
}

BOOL CMenu::CreatePopupMenu()
{
    if (m_hMenu)
        return FALSE;
    items_.clear();
    m_hMenu = this;
    return TRUE;
}

BOOL CMenu::LoadMenu(UINT id)
{
    const menu_template* table = platform::find_menu_template(id);
    if (!table || m_hMenu)
        return FALSE;
    m_hMenu = this;
    struct builder {
        static void fill(CMenu& menu, const std::vector<menu_table_item>& entries)
        {
            for (const menu_table_item& entry : entries) {
                if (entry.checkable)
                    menu.checkable_.push_back(entry.id);
                if (entry.items.empty()) {
                    menu.AppendMenu(entry.flags, entry.id, entry.text);
                    continue;
                }
                auto sub = std::make_unique<CMenu>();
                sub->CreatePopupMenu();
                fill(*sub, entry.items);
                menu.AppendMenu(MF_POPUP | (entry.flags & (MF_GRAYED | MF_DISABLED)),
                                reinterpret_cast<UINT_PTR>(sub.get()), entry.text);
                menu.owned_.push_back(std::move(sub));
            }
        }
    };
    builder::fill(*this, table->items);
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    if (shown_in_ && IsWindow(shown_in_) && shown_in_->GetMenu() == this)
        shown_in_->SetMenu(nullptr);
    items_.clear();
    owned_.clear();
    checkable_.clear();
    m_hMenu = nullptr;
    return TRUE;
}

void CMenu::adopt(menu_item& item)
{
    if (item.popup)
        item.popup->parent_ = this;
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
    item.text = text;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.checked = (flags & MF_CHECKED) != 0;
    item.disabled = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
    if (flags & MF_POPUP) {
        item.popup = reinterpret_cast<CMenu*>(id);
        if (!item.popup || item.popup == this)
            return FALSE;
    } else {
        item.id = static_cast<UINT>(id);
    }
    int index = static_cast<int>(items_.size());
    if (position != static_cast<UINT>(-1)) {
        index = (flags & MF_BYPOSITION) ? static_cast<int>(position) : find(position, MF_BYCOMMAND);
        if (index < 0 || index > static_cast<int>(items_.size()))
            index = static_cast<int>(items_.size());
    }
    adopt(*items_.insert(items_.begin() + index, item));
    changed();
    return TRUE;
}

int CMenu::find(UINT item, UINT flags) const
{
    if (flags & MF_BYPOSITION)
        return item < items_.size() ? static_cast<int>(item) : -1;
    for (size_t index = 0; index < items_.size(); ++index)
        if (!items_[index].separator && !items_[index].popup && items_[index].id == item)
            return static_cast<int>(index);
    return -1;
}

std::pair<const CMenu*, int> CMenu::locate(UINT item, UINT flags) const
{
    const int index = find(item, flags);
    if (index >= 0 || (flags & MF_BYPOSITION))
        return {this, index};
    for (const menu_item& entry : items_) {
        if (!entry.popup)
            continue;
        const auto found = static_cast<const CMenu*>(entry.popup)->locate(item, flags);
        if (found.second >= 0)
            return found;
    }
    return {this, -1};
}

std::pair<CMenu*, int> CMenu::locate(UINT item, UINT flags)
{
    const auto found = static_cast<const CMenu*>(this)->locate(item, flags);
    return {const_cast<CMenu*>(found.first), found.second};
}

void CMenu::changed()
{
    CMenu* root = this;
    while (root->parent_)
        root = root->parent_;
    if (root->shown_in_ && IsWindow(root->shown_in_) && root->shown_in_->GetMenu() == root)
        root->shown_in_->DrawMenuBar();
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags)
{
    const int index = find(position, flags);
    if (index < 0)
        return FALSE;
    items_.erase(items_.begin() + index);
    changed();
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
    const menu_item& item = items_[static_cast<size_t>(position)];
    if (item.popup)
        return static_cast<UINT>(-1);
    return item.separator ? 0 : item.id;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (position < 0 || position >= static_cast<int>(items_.size()))
        return nullptr;
    return items_[static_cast<size_t>(position)].popup;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    const auto [menu, index] = locate(item, flags);
    text = index < 0 ? CString() : menu->items_[static_cast<size_t>(index)].text;
    return text.GetLength();
}

UINT CMenu::CheckMenuItem(UINT item, UINT check)
{
    const auto [menu, index] = locate(item, check & MF_BYPOSITION);
    if (index < 0)
        return static_cast<UINT>(-1);
    menu_item& entry = menu->items_[static_cast<size_t>(index)];
    const UINT old_state = entry.checked ? MF_CHECKED : MF_UNCHECKED;
    const bool checked = (check & MF_CHECKED) != 0;
    if (entry.checked != checked) {
        entry.checked = checked;
        menu->changed();
    }
    return old_state;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable)
{
    const auto [menu, index] = locate(item, enable & MF_BYPOSITION);
    if (index < 0)
        return static_cast<UINT>(-1);
    menu_item& entry = menu->items_[static_cast<size_t>(index)];
    const UINT old_state = entry.disabled ? MF_GRAYED : MF_ENABLED;
    const bool disabled = (enable & (MF_GRAYED | MF_DISABLED)) != 0;
    if (entry.disabled != disabled) {
        entry.disabled = disabled;
        menu->changed();
    }
    return old_state;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const
{
    const auto [menu, index] = locate(item, flags);
    if (index < 0)
        return static_cast<UINT>(-1);
    const menu_item& entry = menu->items_[static_cast<size_t>(index)];
    UINT state = (entry.checked ? MF_CHECKED : 0) | (entry.disabled ? MF_GRAYED : 0) |
                 (entry.separator ? MF_SEPARATOR : 0);
    // A sub-menu answers its item count in the high byte, as the platform does.
    if (entry.popup)
        state |= MF_POPUP | (static_cast<UINT>(entry.popup->GetMenuItemCount()) << 8);
    return state;
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR id, const char* text)
{
    const int index = find(position, flags);
    if (index < 0)
        return FALSE;
    menu_item& entry = items_[static_cast<size_t>(index)];
    entry.text = text;
    entry.separator = (flags & MF_SEPARATOR) != 0;
    entry.checked = (flags & MF_CHECKED) != 0;
    entry.disabled = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
    entry.popup = (flags & MF_POPUP) ? reinterpret_cast<CMenu*>(id) : nullptr;
    entry.id = (flags & MF_POPUP) ? 0 : static_cast<UINT>(id);
    adopt(entry);
    changed();
    return TRUE;
}

std::vector<menu_item> CMenu::snapshot() const
{
    std::vector<menu_item> copy = items_;
    for (menu_item& item : copy)
        if (item.popup)
            item.sub_items = item.popup->snapshot();
    return copy;
}

bool CMenu::can_choose(UINT id) const
{
    return id != 0 && holds_command(items_, id);
}

bool CMenu::checkable(UINT id) const
{
    if (std::find(checkable_.begin(), checkable_.end(), id) != checkable_.end())
        return true;
    for (const menu_item& item : items_)
        if (item.popup && item.popup->checkable(id))
            return true;
    return false;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* /*rect*/)
{
    if (!m_hMenu || !owner || !IsWindow(owner))
        return FALSE;
    send_init_popup(*this, 0, *owner);
    if (!IsWindow(owner) || !m_hMenu)
        return FALSE;
    platform::popup_menu_request request;
    request.owner = owner;
    request.screen_point = POINT{x, y};
    request.flags = flags;
    request.items = snapshot();
    const UINT chosen = platform::run_popup_menu(request);
    // Whatever the handler answers, only an enabled item of this menu counts as a choice.
    if (!can_choose(chosen))
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

HMENU GetSubMenu(HMENU menu, int position)
{
    return menu ? menu->GetSubMenu(position) : nullptr;
}

HMENU GetMenu(HWND window)
{
    return IsWindow(window) ? window->GetMenu() : nullptr;
}

BOOL SetMenu(HWND window, HMENU menu)
{
    return IsWindow(window) ? window->SetMenu(menu) : FALSE;
}

BOOL DrawMenuBar(HWND window)
{
    if (!IsWindow(window))
        return FALSE;
    window->DrawMenuBar();
    return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check)
{
    return menu ? menu->CheckMenuItem(item, check) : static_cast<DWORD>(-1);
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
    return menu ? static_cast<BOOL>(menu->EnableMenuItem(item, enable)) : -1;
}
