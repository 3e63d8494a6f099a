#include "platform/base/library.h"
#include "platform/base/menu.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class command_window : public CWnd {
public:
    UINT last_command = 0;
    BOOL OnCommand(WPARAM wparam, LPARAM) override
    {
        last_command = LOWORD(wparam);
        return TRUE;
    }
};

int answer_forty_two() { return 42; }

}  // namespace

TEST(modal_hooks, message_boxes_answer_safely_without_a_handler_and_through_one_with)
{
    EXPECT_EQ(MessageBoxA(nullptr, "End session?", "Tarvoline", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Item not found", "Not Found", MB_OK), IDOK);
    platform::message_box_request seen;
    auto previous = platform::set_message_box_handler([&](const platform::message_box_request& request) {
        seen = request;
        return IDYES;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Continue?", "Merge", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(seen.text, "Continue?");
    EXPECT_EQ(seen.caption, "Merge");
    EXPECT_EQ(seen.type & MB_TYPEMASK, MB_YESNO);
    platform::set_message_box_handler(previous);
}

TEST(modal_hooks, popup_menu_choice_reaches_the_owner_as_a_command)
{
    command_window owner;
    owner.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 1000, "Copy");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_GRAYED, 1001, "Paste");
    EXPECT_EQ(menu.GetMenuItemCount(), 3);

    EXPECT_FALSE(menu.TrackPopupMenu(TPM_RIGHTBUTTON, 5, 5, &owner)) << "no handler chooses nothing";
    POINT shown_at{};
    auto previous = platform::set_popup_menu_handler([&](const platform::popup_menu_request& request) {
        shown_at = request.screen_point;
        return request.items.front().id;
    });
    EXPECT_TRUE(menu.TrackPopupMenu(TPM_RIGHTBUTTON, 30, 40, &owner));
    EXPECT_EQ(owner.last_command, 1000u);
    EXPECT_EQ(shown_at.x, 30);
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 1000);

    platform::set_popup_menu_handler([](const platform::popup_menu_request&) { return 1001u; });
    owner.last_command = 0;
    EXPECT_FALSE(menu.TrackPopupMenu(0, 0, 0, &owner)) << "a disabled item cannot be chosen";
    EXPECT_EQ(owner.last_command, 0u);
    platform::set_popup_menu_handler(previous);
}

TEST(library_lookup, registered_modules_are_found_by_name_and_counted)
{
    platform::register_module("tarvoline_test.dll",
                              {{"Answer", reinterpret_cast<FARPROC>(&answer_forty_two)}});
    EXPECT_EQ(LoadLibraryA("missing.dll"), nullptr);
    HMODULE module = LoadLibraryA("TARVOLINE_TEST.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(platform::module_load_count("tarvoline_test.dll"), 1);
    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module, "Answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddress(module, "answer"), nullptr) << "procedure names are case-sensitive";
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(platform::module_load_count("tarvoline_test.dll"), 0);
    EXPECT_FALSE(FreeLibrary(module));

    OSVERSIONINFOA version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(version.dwMajorVersion, 5u);
    EXPECT_EQ(version.dwMinorVersion, 1u);
}

TEST(library_lookup, text_converts_between_utf8_and_wide_characters)
{
    const char* text = "Gr\xC3\xBC\xC3\x9F" "e";
    wchar_t wide[16] = {};
    const int count = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 16);
    EXPECT_EQ(count, 6) << "five characters and the terminator";
    EXPECT_EQ(wide[2], L'\u00FC');
    char back[16] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, back, 16, nullptr, nullptr), 8);
    EXPECT_STREQ(back, text);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3", 1, wide, 16), 1) << "a cut sequence becomes one replacement";
    EXPECT_EQ(wide[0], L'\uFFFD');
}


TEST(modal_hooks, menu_items_change_state_by_command_or_position)
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 1000, "Sort");
    menu.InsertMenu(0, MF_BYPOSITION | MF_STRING, 999, "First");
    EXPECT_EQ(menu.GetMenuItemID(0), 999u);
    EXPECT_EQ(menu.CheckMenuItem(1000, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(menu.GetMenuState(1000, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(0, MF_BYPOSITION | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu.GetMenuState(999, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    CString text;
    menu.GetMenuString(1000, text, MF_BYCOMMAND);
    EXPECT_EQ(text, "Sort");
    EXPECT_TRUE(menu.ModifyMenu(1000, MF_BYCOMMAND | MF_STRING, 1001, "Sort again"));
    EXPECT_EQ(menu.GetMenuItemID(1), 1001u);
    EXPECT_TRUE(menu.DeleteMenu(0, MF_BYPOSITION));
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(menu.CheckMenuItem(4242, MF_CHECKED), static_cast<UINT>(-1));
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_EQ(menu.GetMenuItemCount(), -1);
}
