// The main window as a user meets it, in the toolkit's real event loop: two folders typed into
// the path fields, Go, a filter toggled off, a custom condition, and the close with its question.

#include "platform/gui/gui_support.h"

#include "../main_window_fixture.h"

#include "app/AboutDlg.h"
#include "app/FileClipboard.h"
#include "app/FilterDialog.h"
#include "grid/UGGrid.h"
#include "platform/base/dialog.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_top_level.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <cstdlib>

namespace {

class main_window_window : public main_window_fixture {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        main_window_fixture::SetUp();
    }
    wxTextCtrl* field(int id) { return dynamic_cast<wxTextCtrl*>(platform::widget_of(*window->GetDlgItem(id))); }
    std::string label(int id)
    {
        auto* text = dynamic_cast<wxStaticText*>(platform::widget_of(*window->GetDlgItem(id)));
        return text ? text->GetLabel().utf8_str().data() : "";
    }
    bool focus_on(wxWindow* widget)
    {
        widget->SetFocus();
        return platform::run_toolkit_loop_until([widget] { return wxWindow::FindFocus() == widget; });
    }
    bool type_into(int id, const std::string& text)
    {
        if (!focus_on(field(id)))
            return false;
        wxUIActionSimulator typing;
        typing.Text(text.c_str());
        return platform::run_toolkit_loop_until([&] { return text_of(id) == text; }, 10.0);
    }
    void click(int id)
    {
        auto* button = dynamic_cast<wxButton*>(platform::widget_of(*window->GetDlgItem(id)));
        ASSERT_NE(button, nullptr);
        wxCommandEvent pressed(wxEVT_BUTTON, button->GetId());
        pressed.SetEventObject(button);
        button->ProcessWindowEvent(pressed);
    }
    int comparisons_logged()
    {
        const std::string marker = "-- marker " + std::to_string(++markers) + " --";
        window->log().enqueue(marker, logger::debug);
        platform::run_toolkit_loop_until([&] { return logged(marker); });
        const std::vector<std::string> lines = log_lines();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("difference(s) retrieved in") != std::string::npos;
        }));
    }
    bool rows_shown(int count)
    {
        const std::string wanted = "Rows count: " + std::to_string(count);
        return platform::run_toolkit_loop_until(
            [&] { return window->grid().GetRowCount() == count && label(IDC_ROWS_COUNT) == wanted; });
    }
};

}  // namespace

TEST_F(main_window_window, a_user_types_two_folders_compares_filters_and_closes)
{
    edit_settings("<ConfirmClose>No</ConfirmClose>", "<ConfirmClose>Yes</ConfirmClose>");
    open();
    window->ShowWindow(SW_SHOW);
    wxFrame* frame = platform::frame_of(window.get());
    ASSERT_NE(frame, nullptr) << "the window has its menu bar";
    ASSERT_TRUE(platform::run_toolkit_loop_until([frame] { return frame->IsShownOnScreen(); }));
    frame->Raise();
    auto* scripts = dynamic_cast<wxChoice*>(platform::widget_of(*window->GetDlgItem(IDC_SCRIPTS)));
    ASSERT_NE(scripts, nullptr);
    EXPECT_EQ(scripts->GetStringSelection(), "MergeDifferences") << "the diff script in use";

    ASSERT_TRUE(type_into(IDC_MAIN_PATH, main_root())) << text_of(IDC_MAIN_PATH);
    ASSERT_TRUE(type_into(IDC_BACKUP_PATH, backup_root())) << text_of(IDC_BACKUP_PATH);
    ASSERT_TRUE(focus_on(platform::widget_of(*window->GetDlgItem(IDC_GO))));
    EXPECT_TRUE(wait_for_line("Main path set to " + main_root()));
    EXPECT_TRUE(wait_for_line("Backup path set to " + backup_root()));

    click(IDC_GO);
    ASSERT_TRUE(rows_shown(4)) << label(IDC_ROWS_COUNT);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "SIZE", "TIME"}));
    platform::run_toolkit_loop_until([] { return false; }, 0.3);
    platform::save_window_png(*window, (previous_folder / "main_window.png").string());
    platform::save_screen_png(*window, (previous_folder / "main_window_screen.png").string());

    auto previous_menu = platform::set_popup_menu_handler(
        [](const platform::popup_menu_request&) -> UINT { return ID_FILTER_DIFFERENT_SIZE; });
    window->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.get()), MAKELPARAM(200, 200));
    platform::set_popup_menu_handler(previous_menu);
    EXPECT_EQ(window->DifferenceMask(), 11);
    ASSERT_TRUE(rows_shown(3));
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "TIME"}));

    auto previous_modal = platform::set_modal_dialog_handler([](CDialog& dialog) -> INT_PTR {
        dialog.GetDlgItem(IDC_FILTER_CONDITION)->SetWindowText("backup_size > 5");
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDOK;
    });
    window->SendMessage(WM_COMMAND, ID_CUSTOM_FILTER, 0);
    platform::set_modal_dialog_handler(previous_modal);
    ASSERT_TRUE(rows_shown(1));
    EXPECT_EQ(kinds(), (std::vector<std::string> {"FILE"}));
    platform::save_window_png(*window, (previous_folder / "main_window_filtered.png").string());

    // F5 with the focus in the grid: one comparison, not a second one on the key's release.
    const int compared = comparisons_logged();
    ASSERT_TRUE(focus_on(platform::widget_of(*window->grid().m_CUGGrid)));
    wxUIActionSimulator keys;
    keys.Char(WXK_F5);
    ASSERT_TRUE(rows_shown(3)) << "F5 compares again, without the condition";
    EXPECT_EQ(comparisons_logged(), compared + 1);

    const std::string before_close = settings_text();
    answer = IDNO;
    frame->Close();
    ASSERT_TRUE(platform::run_toolkit_loop_until([this] { return !questions.empty(); }));
    EXPECT_EQ(questions.front(), "End session?");
    EXPECT_FALSE(window->has_ended());
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(settings_text(), before_close) << "nothing is stored before the user says Yes";

    answer = IDYES;
    frame->Close();
    ASSERT_TRUE(platform::run_toolkit_loop_until([this] { return window->has_ended(); }));
    const std::string after = settings_text();
    EXPECT_NE(after.find("<Main>" + main_root() + "</Main>"), std::string::npos) << after;
    EXPECT_NE(after.find("<Backup>" + backup_root() + "</Backup>"), std::string::npos);
    EXPECT_NE(after.find("<Left>"), std::string::npos);
    EXPECT_NE(after.find("<Maximised>No</Maximised>"), std::string::npos);
    window.reset();
    platform::process_toolkit_events();
}

// The menu bar as a user opens it: every command has its handler, so none is greyed, and a
// choice reaches its work in the real loop.
TEST_F(main_window_window, menu_bar_choices_merge_and_show_the_file_clipboard)
{
    set_paths_in_settings();
    edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
    open();
    window->ShowWindow(SW_SHOW);
    wxFrame* frame = platform::frame_of(window.get());
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(platform::run_toolkit_loop_until([frame] { return frame->IsShownOnScreen(); }));
    ASSERT_TRUE(rows_shown(4));
    wxMenuBar* bar = frame->GetMenuBar();
    for (size_t position = 0; position < bar->GetMenuCount(); ++position) {
        wxMenu* menu = bar->GetMenu(position);
        wxMenuEvent opened(wxEVT_MENU_OPEN, 0, menu);
        opened.SetEventObject(frame);
        frame->ProcessWindowEvent(opened);
        for (const wxMenuItem* item : menu->GetMenuItems()) {
            if (!item->IsSeparator()) {
                EXPECT_TRUE(item->IsEnabled()) << item->GetItemLabelText();
            }
        }
    }
    auto choose = [&](UINT command) {
        wxCommandEvent chosen(wxEVT_MENU, platform::toolkit_menu_item(*window, command)->GetId());
        chosen.SetEventObject(frame);
        frame->ProcessWindowEvent(chosen);
    };

    choose(ID_MERGE_RIGHT);
    ASSERT_TRUE(rows_shown(3)) << "compared again after the merge";
    EXPECT_EQ(test_support::temp_folder::read((folder.path() / "backup" / "only-main.txt").string()), "main");

    choose(ID_CLIPBOARD_ADD_ALL_BACKUP);
    choose(ID_CLIPBOARD_SHOW);
    FileClipboardWindow& clipboard = window->clipboard_window();
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return platform::widget_of(clipboard)->IsShownOnScreen(); }));
    EXPECT_EQ(clipboard.m_list.item_count(), 3u) << "the backup side of each row left: only-backup, size, time";
    platform::run_toolkit_loop_until([] { return false; }, 0.3);
    platform::save_window_png(*window, (previous_folder / "main_window_after_merge.png").string());
    platform::save_window_png(clipboard, (previous_folder / "file_clipboard_from_menu.png").string());
    platform::save_screen_png(clipboard, (previous_folder / "file_clipboard_from_menu_screen.png").string());
}

namespace {

// The About box shows the program's icon where its template places it.
TEST(about_box_window, shows_the_program_icon)
{
    gui_test::start_toolkit();
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    about.ShowWindow(SW_SHOW);
    const CRect place = about.GetDlgItem(IDC_ABOUT_ICON)->window_rect_in_parent();
    const int frame = about.frame_width();
    // The pixels of the icon's place in the folders' yellows and browns.
    const auto drawn = [&] {
        const wxImage image = platform::window_image(about);
        if (!image.IsOk())
            return 0;
        int count = 0;
        for (int y = place.top; y < place.bottom; ++y)
            for (int x = place.left; x < place.right; ++x)
                count += image.GetRed(frame + x, frame + y) > image.GetBlue(frame + x, frame + y) + 60;
        return count;
    };
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return drawn() > place.Width() * place.Height() / 4; }, 10.0))
        << "the icon's place is blank";
    if (const char* folder = std::getenv("TARVOLINE_SHOT_DIR"))
        platform::save_window_png(about, std::string(folder) + "/about_box.png");
    about.DestroyWindow();
    platform::process_toolkit_events();
}

}  // namespace
