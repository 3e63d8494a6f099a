#pragma once
// The main window's menus: 129, the window's menu bar, and 136, whose first sub-menu is the
// context menu of the grid and the window.

#include "platform/base/menu.h"

#include <vector>

menu_template main_menu_template();
menu_template context_menu_template();
// Registers both tables once.
void register_main_window_menus();

// Every command of a menu and its sub-menus, in menu order.
std::vector<UINT> commands_of(const CMenu& menu);
