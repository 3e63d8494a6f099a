#include "platform/base/dialog.h"
#include "platform/base/menu.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT main_menu_id = 129;
constexpr UINT open_file = 32822;
constexpr UINT open_backup = 32823;
constexpr UINT compare = 32829;
constexpr UINT mock_copy = 32841;
constexpr UINT about = 32794;

menu_template main_menu()
{
    menu_template table;
    table.id = main_menu_id;
    table.items = {
        {0, "&File", MF_STRING, {{open_file, "Open file"}, {0, "", MF_SEPARATOR}, {open_backup, "Open backup", MF_GRAYED}}},
        {0, "&Tools", MF_STRING, {{compare, "Compare"}, {0, "More", MF_STRING, {{mock_copy, "Mock copy", MF_STRING, {}, true}}}}},
        {0, "&Help", MF_STRING, {{about, "&About Tarvoline..."}}},
    };
    return table;
}

// A window that writes down the menu messages it hears and may disable items as a menu opens.
class menu_owner : public CWnd {
public:
    std::vector<std::string> heard;
    UINT disable_on_open = 0;
    CPoint context_point{-100, -100};
    CWnd* context_window = nullptr;

    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL) override
    {
        heard.push_back("initmenupopup " + std::to_string(index) + " " + std::to_string(popup->GetMenuItemCount()));
        if (disable_on_open)
            popup->EnableMenuItem(disable_on_open, MF_GRAYED);
    }
    BOOL OnCommand(WPARAM wparam, LPARAM) override
    {
        heard.push_back("command " + std::to_string(LOWORD(wparam)));
        return TRUE;
    }
    void OnContextMenu(CWnd* window, CPoint point) override
    {
        heard.push_back("contextmenu");
        context_window = window;
        context_point = point;
    }
};

class menu_tables : public ::testing::Test {
protected:
    void SetUp() override { platform::register_menu_template(main_menu()); }
    void TearDown() override
    {
        platform::set_popup_menu_handler(nullptr);
        platform::forget_menu_templates();
        platform::reset_key_table();
    }
};

}  // namespace

TEST_F(menu_tables, a_loaded_menu_has_its_sub_menus_and_finds_commands_in_them)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(main_menu_id));
    EXPECT_FALSE(CMenu().LoadMenu(4711)) << "an unknown table loads nothing";
    ASSERT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuItemID(0), static_cast<UINT>(-1)) << "a sub-menu item has no command";
    CMenu* file = menu.GetSubMenu(0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetSubMenu(&menu, 0), file);
    EXPECT_EQ(menu.GetSubMenu(5), nullptr);
    EXPECT_EQ(file->GetMenuItemCount(), 3);
    EXPECT_EQ(file->GetMenuItemID(1), 0u) << "separator";
    EXPECT_EQ(file->GetMenuState(open_backup, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) & 0xFF, MF_POPUP);
    EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) >> 8, 3u) << "a sub-menu answers its item count";

    // By command, the bar finds items two levels down, as the window's menu is used.
    EXPECT_EQ(menu.CheckMenuItem(mock_copy, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(menu.GetSubMenu(1)->GetSubMenu(1)->GetMenuState(mock_copy, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(&menu, mock_copy, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(menu.EnableMenuItem(open_backup, MF_ENABLED), MF_GRAYED);
    EXPECT_TRUE(menu.can_choose(open_backup));
    EXPECT_EQ(menu.EnableMenuItem(1, MF_BYPOSITION | MF_GRAYED), MF_ENABLED);
    EXPECT_FALSE(menu.can_choose(mock_copy)) << "items of a disabled sub-menu cannot be chosen";
    EXPECT_TRUE(menu.checkable(mock_copy));
    EXPECT_FALSE(menu.checkable(compare));
    CString text;
    menu.GetMenuString(about, text, MF_BYCOMMAND);
    EXPECT_EQ(text, "&About Tarvoline...");
}

TEST_F(menu_tables, a_window_shows_a_menu_bar_and_a_template_menu_comes_with_the_dialog)
{
    CWnd window;
    window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    {
        CMenu menu;
        menu.LoadMenu(main_menu_id);
        EXPECT_TRUE(SetMenu(&window, &menu));
        EXPECT_EQ(GetMenu(&window), &menu);
        EXPECT_TRUE(DrawMenuBar(&window));
    }
    EXPECT_EQ(window.GetMenu(), nullptr) << "a destroyed menu leaves the bar";

    dialog_template table;
    table.id = 102;
    table.caption = "Tarvoline";
    table.width = 100;
    table.height = 50;
    table.menu_id = main_menu_id;
    platform::register_dialog_template(table);
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(102));
    ASSERT_NE(dialog.GetMenu(), nullptr);
    EXPECT_EQ(dialog.GetMenu()->GetMenuItemCount(), 3);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.GetMenu(), nullptr);
    platform::forget_dialog_templates();
}

TEST_F(menu_tables, tracking_a_pop_up_tells_the_owner_first_and_refuses_what_it_disabled)
{
    CMenu context;
    context.LoadMenu(main_menu_id);
    CMenu* tools = context.GetSubMenu(1);
    menu_owner owner;
    owner.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);

    std::vector<menu_item> offered;
    UINT answer = mock_copy;
    platform::set_popup_menu_handler([&](const platform::popup_menu_request& request) {
        offered = request.items;
        return answer;
    });
    // The nested item comes back through the popup path like any other.
    EXPECT_TRUE(tools->TrackPopupMenu(TPM_RIGHTBUTTON, 10, 20, &owner));
    ASSERT_EQ(owner.heard.size(), 3u);
    EXPECT_EQ(owner.heard[0], "initmenupopup 0 2");
    EXPECT_EQ(owner.heard[1], "initmenupopup 1 1") << "the sub-menu is prepared too";
    EXPECT_EQ(owner.heard[2], "command " + std::to_string(mock_copy));
    ASSERT_EQ(offered.size(), 2u);
    ASSERT_EQ(offered[1].sub_items.size(), 1u) << "the handler sees the sub-menu's items";
    EXPECT_EQ(offered[1].sub_items[0].id, mock_copy);

    // An item disabled while the menu opens is shown disabled and is no choice.
    owner.heard.clear();
    owner.disable_on_open = compare;
    answer = compare;
    EXPECT_FALSE(tools->TrackPopupMenu(TPM_RIGHTBUTTON, 10, 20, &owner));
    EXPECT_TRUE(offered[0].disabled);
    EXPECT_EQ(owner.heard.size(), 2u) << "no command";
    answer = 4711;
    EXPECT_FALSE(tools->TrackPopupMenu(TPM_RETURNCMD, 10, 20, &owner)) << "an id the menu lacks is no choice";
}

TEST_F(menu_tables, right_clicks_and_the_menu_key_ask_for_a_context_menu_that_climbs_to_the_dialog)
{
    menu_owner dialog;
    dialog.CreateEx(0, nullptr, "", WS_POPUP, CRect(100, 50, 400, 350), nullptr, 0);
    CWnd field;
    field.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 20, 110, 40), &dialog, 1040);
    field.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
    ASSERT_EQ(dialog.heard.back(), "contextmenu");
    EXPECT_EQ(dialog.context_window, &field);
    EXPECT_EQ(dialog.context_point, CPoint(115, 76)) << "screen coordinates of the click";

    dialog.heard.clear();
    field.SendMessage(WM_KEYUP, VK_APPS, 0);
    ASSERT_EQ(dialog.heard.size(), 1u);
    EXPECT_EQ(dialog.context_point, CPoint(110, 70)) << "the key gives the window's corner, not -1, -1";
    platform::set_key_down(VK_SHIFT, true);
    field.SendMessage(WM_SYSKEYDOWN, VK_F10, 0);
    EXPECT_EQ(dialog.heard.size(), 2u);
    field.SendMessage(WM_KEYUP, 'A', 0);
    EXPECT_EQ(dialog.heard.size(), 2u);
}

TEST(pre_translation, the_control_then_each_ancestor_may_take_a_message_before_the_control_sees_it)
{
    class translating_window : public CWnd {
    public:
        std::vector<std::string>* order = nullptr;
        std::string name;
        UINT takes = 0;
        BOOL PreTranslateMessage(MSG* message) override
        {
            order->push_back(name);
            return message->message == WM_KEYDOWN && message->wParam == takes;
        }
    };
    std::vector<std::string> order;
    translating_window owner_of_dialog;
    translating_window dialog;
    translating_window field;
    for (auto* window : {&owner_of_dialog, &dialog, &field})
        window->order = &order;
    owner_of_dialog.name = "owner";
    dialog.name = "dialog";
    field.name = "field";
    dialog.takes = VK_F5;
    owner_of_dialog.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    dialog.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 300, 300), &owner_of_dialog, 0);
    field.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 100, 30), &dialog, 1040);

    EXPECT_TRUE(platform::pre_translate(field, WM_KEYDOWN, VK_F5, 1));
    EXPECT_EQ(order, (std::vector<std::string>{"field", "dialog"}));
    order.clear();
    EXPECT_FALSE(platform::pre_translate(field, WM_KEYDOWN, 'A', 1));
    EXPECT_EQ(order, (std::vector<std::string>{"field", "dialog"})) << "the walk stops at the top-level window";
}
