// The "Command prompt" dialog and the file clipboard window on the toolkit: what the user's
// browsing, typing and presses do, and pictures of both.

#include "platform/gui/gui_support.h"

#include "../command_support.h"
#include "../log_capture.h"

#include "app/CommandExecDialog.h"
#include "app/DataGridCtrl.h"
#include "app/FileClipboard.h"
#include "app/RowCommands.h"
#include "app/settings_keys.h"
#include "core/config/settings.h"
#include "core/fs/file_archive.h"
#include "platform/base/process_launcher.h"
#include "platform/base/shell_dialogs.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/wx_peers.h"
#include "support/temp_folder.h"

#include <wx/bmpbuttn.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/button.h>
#include <wx/editlbox.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <cstdlib>

namespace {

void press(wxWindow* button)
{
    wxCommandEvent pressed(wxEVT_BUTTON, button->GetId());
    pressed.SetEventObject(button);
    button->ProcessWindowEvent(pressed);
}

// The label the toolkit's list box shows above its items.
wxString caption_of(wxWindow* list)
{
    for (wxWindow* child : list->GetChildren()) {
        if (auto* label = dynamic_cast<wxStaticText*>(child))
            return label->GetLabel();
        if (child->GetChildren().size() > 0 && !dynamic_cast<wxListCtrl*>(child))
            if (const wxString found = caption_of(child); !found.empty())
                return found;
    }
    return wxString();
}

// What the X server shows of a top-level window, toolkit controls included (the window image
// of the platform draws those as boxes with their text).
void save_screen_png(wxWindow* window, const std::string& path)
{
    wxWindow* top = wxGetTopLevelParent(window);
    platform::run_toolkit_loop_until([top] { return top->IsShownOnScreen(); });
    platform::run_toolkit_loop_until([] { return false; }, 0.5);
    top->Update();
    const wxRect area = top->GetScreenRect();
    wxBitmap picture(area.width, area.height);
    wxMemoryDC target(picture);
    wxScreenDC screen;
    target.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    target.SelectObject(wxNullBitmap);
    picture.SaveFile(path, wxBITMAP_TYPE_PNG);
}

} // namespace

TEST(row_dialogs_window, open_with_browses_for_the_program_shows_the_command_and_runs_it)
{
    gui_test::start_toolkit();
    test_support::temp_folder folder;
    config::xml_parameters store;
    ASSERT_TRUE(store.load(folder.write("settings.xml", "<?xml version=\"1.0\"?>\n<Tarvoline/>\n").string()));
    const std::string program = folder.write("bin/viewer", "#").string();
    const std::string file = folder.write("docs/report 1.md", "text").string();
    log_capture capture;
    fs::file_archive catalogue;
    CDataGridCtrl grid;
    command_test::host host(store, capture.log, catalogue, grid);
    RowCommands commands(host);
    std::vector<std::vector<std::string>> launched;
    const platform::process_launcher previous_launcher =
        platform::set_process_launcher([&](const platform::process_request& request) {
            launched.push_back(request.arguments);
            return 0;
        });
    const platform::file_dialog_handler previous_picker =
        platform::set_file_dialog_handler([&](const platform::file_dialog_request&, CString& path) {
            path = program.c_str();
            return true;
        });

    bool run_enabled_at_first = true;
    bool run_enabled_after_browsing = false;
    wxString run_as;
    const platform::modal_dialog_handler previous_modal = platform::set_modal_dialog_handler([&](CDialog& dialog) {
        dialog.ShowWindow(SW_SHOW);
        platform::process_toolkit_events();
        auto* run = dynamic_cast<wxButton*>(platform::widget_of(*dialog.GetDlgItem(IDOK)));
        auto* browse = dynamic_cast<wxButton*>(platform::widget_of(*dialog.GetDlgItem(IDC_COMMAND_BROWSE)));
        auto* options = dynamic_cast<wxTextCtrl*>(platform::widget_of(*dialog.GetDlgItem(IDC_COMMAND_OPTIONS)));
        auto* command = dynamic_cast<wxTextCtrl*>(platform::widget_of(*dialog.GetDlgItem(IDC_COMMAND_RUN_AS)));
        EXPECT_TRUE(run && browse && options && command);
        if (!(run && browse && options && command))
            return IDCANCEL;
        run_enabled_at_first = run->IsEnabled();
        press(browse);
        platform::process_toolkit_events();
        run_enabled_after_browsing = run->IsEnabled();
        options->SetValue("--zoom \"1 2\"");  // typed by the user
        platform::process_toolkit_events();
        run_as = command->GetValue();
        platform::save_window_png(dialog, "command_prompt_dialog.png");
        save_screen_png(options, "command_prompt_dialog_screen.png");
        press(run);
        return IDCANCEL;
    });
    commands.OpenWith(true, file, "");

    EXPECT_FALSE(run_enabled_at_first);
    EXPECT_TRUE(run_enabled_after_browsing);
    EXPECT_EQ(run_as.utf8_string(), "\"" + program + "\" --zoom \"1 2\" \"" + file + "\"");
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (std::vector<std::string> { program, "--zoom", "1 2", file }));
    EXPECT_EQ(settings_keys::read_open_with(store, ".md"), program);
    platform::set_modal_dialog_handler(previous_modal);
    platform::set_file_dialog_handler(previous_picker);
    platform::set_process_launcher(previous_launcher);
    platform::process_toolkit_events();
}

// A file clipboard joined to a host of its own, for the tests of its window.
struct clipboard_under_test {
    log_capture capture;
    fs::file_archive catalogue;
    CDataGridCtrl grid;
    config::xml_parameters store;
    command_test::host host { store, capture.log, catalogue, grid };
    FileClipboard clipboard { host };
};

TEST(row_dialogs_window, the_clipboard_window_lists_removes_resizes_and_hides_on_close)
{
    gui_test::start_toolkit();
    test_support::temp_folder folder;
    clipboard_under_test setup;
    FileClipboard& clipboard = setup.clipboard;
    FileClipboardWindow& window = clipboard.window();
    const std::string first = folder.write("main/a.txt", "a").string();
    const std::string second = folder.write("backup/b.txt", "b").string();
    clipboard.AddToClipboard(second);
    clipboard.AddToClipboard(first);
    clipboard.Show();
    platform::process_toolkit_events();

    auto* list = dynamic_cast<wxEditableListBox*>(platform::widget_of(window.m_list));
    ASSERT_NE(list, nullptr);
    wxWindow* frame = wxGetTopLevelParent(list);
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetLabel(), "File clipboard");
    wxArrayString shown;
    list->GetStrings(shown);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].utf8_string(), second);
    EXPECT_EQ(caption_of(list), "File list (2 items)");
    platform::save_window_png(window, "file_clipboard_window.png");
    save_screen_png(list, "file_clipboard_window_screen.png");

    // The user selects the first item and presses the list's delete button.
    list->GetListCtrl()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    platform::process_toolkit_events();
    press(list->GetDelButton());
    platform::process_toolkit_events();
    list->GetStrings(shown);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].utf8_string(), first);
    EXPECT_EQ(caption_of(list), "File list (1 items)");
    EXPECT_EQ(window.m_list.items().count(second), 0u);

    const wxSize list_before = list->GetSize();
    const wxSize frame_before = frame->GetSize();
    frame->SetSize(frame_before.x + 120, frame_before.y + 80);
    platform::run_toolkit_loop_until([&] { return list->GetSize().x > list_before.x; });
    EXPECT_EQ(list->GetSize().x - list_before.x, frame->GetSize().x - frame_before.x);
    EXPECT_EQ(list->GetSize().y - list_before.y, frame->GetSize().y - frame_before.y);

    frame->Close();
    platform::process_toolkit_events();
    EXPECT_FALSE(frame->IsShown());
    EXPECT_TRUE(window.GetSafeHwnd());
    clipboard.Show();
    platform::process_toolkit_events();
    EXPECT_TRUE(frame->IsShown()) << "shown again after a close";
    window.ShowWindow(SW_HIDE);
    platform::process_toolkit_events();
}

namespace {

// The toolkit's list keeps an empty row for typing a new entry, which this list doesn't offer:
// it never shows as a selected bar, also not in an empty list a click lands in.
TEST(row_dialogs_window, an_empty_clipboard_list_shows_no_selected_bar)
{
    gui_test::start_toolkit();
    clipboard_under_test setup;
    FileClipboard& clipboard = setup.clipboard;
    FileClipboardWindow& window = clipboard.window();
    clipboard.Show();
    platform::process_toolkit_events();
    auto* list = dynamic_cast<wxEditableListBox*>(platform::widget_of(window.m_list));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetListCtrl()->GetSelectedItemCount(), 0);
    if (const char* folder = std::getenv("TARVOLINE_SHOT_DIR"))
        save_screen_png(list, std::string(folder) + "/file_clipboard_empty_screen.png");

    list->GetListCtrl()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    platform::process_toolkit_events();
    EXPECT_EQ(list->GetListCtrl()->GetSelectedItemCount(), 0);
    window.ShowWindow(SW_HIDE);
    platform::process_toolkit_events();
}

}  // namespace
