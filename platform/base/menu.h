#pragma once
// Menus: a menu is a list of items, an item may hold a sub-menu. Menu tables written in C++
// (like the dialog tables) are loaded by id into a menu bar with its drop-downs. A window
// shows a menu bar (SetMenu); TrackPopupMenu asks the popup-menu handler for the choice and
// sends it to the owner as WM_COMMAND (or answers it with TPM_RETURNCMD). The owner hears
// WM_INITMENUPOPUP before a pop-up or drop-down opens.

#include "platform/base/modal.h"

#include <memory>
#include <vector>

class CWnd;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// One entry of a menu table: a command, a separator (MF_SEPARATOR) or, when it has items, a
// sub-menu. flags may hold MF_CHECKED and MF_GRAYED; checkable marks a command whose check
// mark the program sets later (the toolkit gives such items a check box from the start).
struct menu_table_item {
    UINT id = 0;
    CString text;
    UINT flags = MF_STRING;
    std::vector<menu_table_item> items{};
    bool checkable = false;
};

struct menu_template {
    UINT id = 0;
    // The menu bar's entries: normally one sub-menu each.
    std::vector<menu_table_item> items{};
};

namespace platform {

// Registering a table with an id already known replaces it.
void register_menu_template(const menu_template& table);
const menu_template* find_menu_template(UINT id);
void forget_menu_templates();

}  // namespace platform

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU menu) { return menu; }

    BOOL CreatePopupMenu();
    BOOL CreateMenu() { return CreatePopupMenu(); }
    // Builds the menu from the registered table id, its sub-menus owned by this menu.
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    // With MF_POPUP, id is the sub-menu's handle; the caller keeps that menu alive.
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags) { return DeleteMenu(position, flags); }
    int GetMenuItemCount() const;
    // -1 for a sub-menu item, 0 for a separator.
    UINT GetMenuItemID(int position) const;
    CMenu* GetSubMenu(int position) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    // By command the item is looked for in the sub-menus too, as the platform does.
    UINT CheckMenuItem(UINT item, UINT check);
    UINT EnableMenuItem(UINT item, UINT enable);
    UINT GetMenuState(UINT item, UINT flags) const;
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    // Shows the menu at a screen point after WM_INITMENUPOPUP to the owner (for the menu and
    // its sub-menus); the choice goes to owner as WM_COMMAND. Answers the choice with
    // TPM_RETURNCMD, else TRUE when a choice was made.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);
    const std::vector<menu_item>& items() const { return items_; }
    // The items with copies of their sub-menus' items (what a popup request carries).
    std::vector<menu_item> snapshot() const;
    // True when command id is an enabled item of this menu or of an enabled sub-menu.
    bool can_choose(UINT id) const;
    // Whether command id (here or in a sub-menu) gets a check box in the toolkit's menu from
    // the start.
    bool checkable(UINT id) const;
    CMenu* parent_menu() const { return parent_; }

    // The window whose menu bar shows this menu (set by SetMenu); changes reach its peer.
    void set_shown_in(CWnd* window) { shown_in_ = window; }
    CWnd* shown_in() const { return shown_in_; }

private:
    int find(UINT item, UINT flags) const;
    // The menu and index holding item; by command the sub-menus are searched too.
    std::pair<CMenu*, int> locate(UINT item, UINT flags);
    std::pair<const CMenu*, int> locate(UINT item, UINT flags) const;
    void changed();
    void adopt(menu_item& item);

    std::vector<menu_item> items_;
    std::vector<std::unique_ptr<CMenu>> owned_;
    std::vector<UINT> checkable_;
    CMenu* parent_ = nullptr;
    CWnd* shown_in_ = nullptr;
};

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
HMENU GetSubMenu(HMENU menu, int position);
HMENU GetMenu(HWND window);
BOOL SetMenu(HWND window, HMENU menu);
BOOL DrawMenuBar(HWND window);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
