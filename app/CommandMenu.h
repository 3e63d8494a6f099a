#pragma once
// The main window's menus (129 on the window, 136 for the context menu) as tables of nested
// pop-ups, with the check and enable state of every command. The window keeps its rules against
// this state; showing a pop-up hands it to the platform's menu.

#include "platform/base/geometry.h"
#include "platform/base/menu.h"

#include <string>
#include <vector>

class CWnd;

struct menu_node {
    UINT id = 0;  // 0 for separators and pop-ups
    std::string text;
    bool separator = false;
    bool popup = false;
    bool checked = false;
    bool disabled = false;
    std::vector<menu_node> items;  // a pop-up's items
};

menu_node main_menu_table();
menu_node context_menu_table();

class CommandMenu {
public:
    // False for a menu id without a table.
    bool LoadMenu(UINT menu_id);
    bool IsLoaded() const { return m_loaded; }
    const menu_node& root() const { return m_root; }

    // The pop-up at a top-level position, null when there is none.
    menu_node* GetSubMenu(int position);
    // By command, at any depth. Each answers the previous state, or -1 for an unknown command.
    UINT CheckMenuItem(UINT id, UINT check);
    UINT EnableMenuItem(UINT id, UINT enable);
    // MF_CHECKED and MF_GRAYED bits, or -1 for an unknown command.
    UINT GetMenuState(UINT id) const;
    bool Contains(UINT id) const { return find(id) != nullptr; }

private:
    menu_node* find(UINT id);
    const menu_node* find(UINT id) const;

    menu_node m_root;
    bool m_loaded = false;
};

// Every command of a pop-up, at any depth.
std::vector<UINT> commands_of(const menu_node& popup);
// Applies fn to every command item of a pop-up, at any depth.
template <typename Fn>
void for_each_command(menu_node& popup, Fn fn)
{
    for (menu_node& item : popup.items) {
        if (item.popup)
            for_each_command(item, fn);
        else if (!item.separator)
            fn(item);
    }
}

// Shows a pop-up at a screen point; the choice reaches owner as WM_COMMAND. The platform's
// pop-up is one level deep, so nested pop-ups show as their items under the pop-up's name.
BOOL TrackCommandPopup(const menu_node& popup, UINT flags, CPoint screen_point, CWnd* owner);
