#include "app/CommandMenu.h"

#include "app/resource_ids.h"

#include <functional>

namespace {

menu_node command(UINT id, const char* text)
{
    menu_node item;
    item.id = id;
    item.text = text;
    return item;
}

menu_node separator()
{
    menu_node item;
    item.separator = true;
    return item;
}

menu_node popup(const char* text, std::vector<menu_node> items)
{
    menu_node item;
    item.popup = true;
    item.text = text;
    item.items = std::move(items);
    return item;
}

menu_node checked(menu_node item)
{
    item.checked = true;
    return item;
}

template <typename Node, typename Self>
Node* find_in(Self& popup, UINT id)
{
    for (auto& item : popup.items) {
        if (item.popup) {
            if (Node* found = find_in<Node>(item, id))
                return found;
        } else if (!item.separator && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

void flatten(const menu_node& popup, const std::string& prefix, CMenu& menu)
{
    for (const menu_node& item : popup.items) {
        if (item.separator) {
            menu.AppendMenu(MF_SEPARATOR);
        } else if (item.popup) {
            flatten(item, prefix + item.text + ": ", menu);
        } else {
            const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.disabled ? MF_GRAYED : 0);
            menu.AppendMenu(flags, item.id, (prefix + item.text).c_str());
        }
    }
}

}  // namespace

menu_node main_menu_table()
{
    menu_node root;
    root.popup = true;
    root.items = {
        popup("&File", {command(ID_EXPORT, "&Export..."), command(ID_DUMP, "&Dump..."), command(ID_LOAD, "&Load..."),
                        separator(), command(ID_SAVE_LOG, "&Save log..."),
                        command(ID_COPY_LOG, "&Copy log to clipboard"), separator(), command(ID_FILE_EXIT, "E&xit")}),
        popup("&Merge", {command(ID_MERGE_RIGHT, "&Right -->"), command(ID_MERGE_LEFT, "<-- &Left"),
                         command(ID_MERGE_BOTH, "&Both <-->"), separator(),
                         command(ID_MERGE_AUTOMATIC, "&Automatic")}),
        popup("&Clipboard", {command(ID_CLIPBOARD_ADD_MAIN, "Add &main"), command(ID_CLIPBOARD_ADD_BACKUP, "Add &backup"),
                             command(ID_CLIPBOARD_ADD_ALL_MAIN, "Add all m&ain"),
                             command(ID_CLIPBOARD_ADD_ALL_BACKUP, "Add all b&ackup"),
                             command(ID_CLIPBOARD_ADD_ALL, "Add a&ll"), separator(),
                             command(ID_CLIPBOARD_DELETE_ALL, "&Delete all"), command(ID_CLIPBOARD_COPY_TO, "&Copy to..."),
                             separator(), command(ID_CLIPBOARD_SHOW, "&Show")}),
        popup("&Tools", {command(ID_SHOW_STATISTICS, "Show &statistics"), command(ID_QUERY, "&Query")}),
        popup("&Settings", {command(ID_TOOL_OPTIONS, "&Tool options"), command(ID_MOCK_COPY, "&Mock copy")}),
        popup("&Help", {command(ID_HELP_ABOUT, "&About Tarvoline...")}),
    };
    return root;
}

menu_node context_menu_table()
{
    menu_node grid;
    grid.popup = true;
    grid.text = "Grid";
    grid.items = {
        popup("Filter", {checked(command(ID_FILTER_DIFFERENT_TIME, "Different time")),
                         checked(command(ID_FILTER_DIFFERENT_SIZE, "Different size")),
                         checked(command(ID_FILTER_MISSING_MAIN, "Missing main")),
                         checked(command(ID_FILTER_MISSING_BACKUP, "Missing backup")), separator(),
                         command(ID_CUSTOM_FILTER, "Custom filter")}),
        command(ID_SHOW_DIFFERENCES, "Show differences"),
        command(ID_CLEAR, "Clear"),
        separator(),
        popup("File", {command(ID_OPEN_FILE, "Open"), command(ID_OPEN_WITH_FILE, "Open with"),
                       command(ID_GO_TO_FILE, "Go to"), command(ID_DELETE_FILE, "Delete")}),
        popup("Backup", {command(ID_OPEN_BACKUP, "Open"), command(ID_OPEN_WITH_BACKUP, "Open with"),
                         command(ID_GO_TO_BACKUP, "Go to"), command(ID_DELETE_BACKUP, "Delete")}),
        command(ID_COMPARE, "Compare"),
        separator(),
        popup("Clipboard", {command(ID_CLIPBOARD_ADD_MAIN, "Add main"), command(ID_CLIPBOARD_ADD_BACKUP, "Add backup"),
                            command(ID_CLIPBOARD_ADD_ALL_MAIN, "Add all main"),
                            command(ID_CLIPBOARD_ADD_ALL_BACKUP, "Add all backup"),
                            command(ID_CLIPBOARD_ADD_ALL, "Add all")}),
        command(ID_QUERY, "Query"),
    };
    menu_node root;
    root.popup = true;
    root.items = {grid};
    return root;
}

bool CommandMenu::LoadMenu(UINT menu_id)
{
    if (menu_id == IDR_MAIN_MENU)
        m_root = main_menu_table();
    else if (menu_id == IDR_CONTEXT_MENU)
        m_root = context_menu_table();
    else
        return false;
    m_loaded = true;
    return true;
}

menu_node* CommandMenu::GetSubMenu(int position)
{
    if (position < 0 || position >= static_cast<int>(m_root.items.size()))
        return nullptr;
    menu_node& item = m_root.items[static_cast<std::size_t>(position)];
    return item.popup ? &item : nullptr;
}

menu_node* CommandMenu::find(UINT id) { return find_in<menu_node>(m_root, id); }

const menu_node* CommandMenu::find(UINT id) const { return find_in<const menu_node>(m_root, id); }

UINT CommandMenu::CheckMenuItem(UINT id, UINT check)
{
    UINT previous = static_cast<UINT>(-1);
    // A command may stand in several pop-ups (the context menu's and the window's): all follow.
    for_each_command(m_root, [&](menu_node& item) {
        if (item.id != id)
            return;
        previous = item.checked ? MF_CHECKED : MF_UNCHECKED;
        item.checked = (check & MF_CHECKED) != 0;
    });
    return previous;
}

UINT CommandMenu::EnableMenuItem(UINT id, UINT enable)
{
    UINT previous = static_cast<UINT>(-1);
    for_each_command(m_root, [&](menu_node& item) {
        if (item.id != id)
            return;
        previous = item.disabled ? MF_GRAYED : MF_ENABLED;
        item.disabled = (enable & (MF_GRAYED | MF_DISABLED)) != 0;
    });
    return previous;
}

UINT CommandMenu::GetMenuState(UINT id) const
{
    const menu_node* item = find(id);
    if (item == nullptr)
        return static_cast<UINT>(-1);
    return (item->checked ? MF_CHECKED : 0) | (item->disabled ? MF_GRAYED : 0);
}

std::vector<UINT> commands_of(const menu_node& popup)
{
    std::vector<UINT> ids;
    for (const menu_node& item : popup.items) {
        if (item.popup) {
            const std::vector<UINT> nested = commands_of(item);
            ids.insert(ids.end(), nested.begin(), nested.end());
        } else if (!item.separator) {
            ids.push_back(item.id);
        }
    }
    return ids;
}

BOOL TrackCommandPopup(const menu_node& popup, UINT flags, CPoint screen_point, CWnd* owner)
{
    CMenu menu;
    menu.CreatePopupMenu();
    flatten(popup, std::string(), menu);
    return menu.TrackPopupMenu(flags, screen_point.x, screen_point.y, owner);
}
