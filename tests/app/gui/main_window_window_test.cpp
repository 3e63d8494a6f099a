// The main window as a user meets it, in the toolkit's real event loop: two folders typed into
// the path fields, Go, a filter toggled off, a custom condition, and the close with its question.

#include "platform/gui/gui_support.h"

#include "../main_window_fixture.h"

#include "app/AboutDlg.h"
#include "app/ArchiveStatsDialog.h"
#include "app/CommandExecDialog.h"
#include "app/ExportDialog.h"
#include "app/FileClipboard.h"
#include "app/FilterDialog.h"
#include "app/MergeFileDlg.h"
#include "app/PropertyDlg.h"
#include "app/SqlQueryDialog.h"
#include "app/settings_keys.h"
#include "core/config/settings.h"
#include "grid/UGGrid.h"
#include "platform/base/dialog.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_input.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_top_level.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/propgrid/manager.h>
#include <wx/propgrid/propgrid.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

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
    // Presses a key in the window, then lets the loop turn until the keyboard has settled: the
    // toolkit's idea of the focused control is the program's (a focus the toolkit moves on its
    // own comes back a turn later).
    bool press_and_settle(int key, unsigned modifiers = 0)
    {
        if (!gui_test::press_key(key, modifiers, platform::frame_of(window.get())))
            return false;
        int turns = 0;
        const auto turned = [&turns](wxIdleEvent& event) {
            event.Skip();
            ++turns;
        };
        wxTheApp->Bind(wxEVT_IDLE, turned);
        const bool settled = platform::run_toolkit_loop_until([&turns] {
            CWnd* focus = CWnd::GetFocus();
            return turns >= 2 && focus && platform::widget_of(*focus) == wxWindow::FindFocus();
        });
        wxTheApp->Unbind(wxEVT_IDLE, turned);
        return settled;
    }
    bool rows_shown(int count)
    {
        const std::string wanted = "Rows count: " + std::to_string(count);
        return platform::run_toolkit_loop_until(
            [&] { return window->grid().GetRowCount() == count && label(IDC_ROWS_COUNT) == wanted; });
    }
    // The window on the test's folders, compared as it starts and on screen with its four rows;
    // null when it never gets there.
    wxFrame* open_compared_on_screen()
    {
        set_paths_in_settings();
        edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
        open();
        window->ShowWindow(SW_SHOW);
        wxFrame* frame = platform::frame_of(window.get());
        const bool shown =
            frame && platform::run_toolkit_loop_until([frame] { return frame->IsShownOnScreen(); }) && rows_shown(4);
        return shown ? frame : nullptr;
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
    wxFrame* frame = open_compared_on_screen();
    ASSERT_NE(frame, nullptr);
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

// Keys pressed inside a modal run, and how it ended.
struct key_run {
    INT_PTR ended = 0;
    size_t pressed = 0;
    // The keys left the run open until the deadline.
    bool ran_out = false;
    // The buttons whose commands the dialog handled, in order.
    std::vector<int> commands;
};

// The result a run the keys left open is ended with.
constexpr INT_PTR left_open = -77;

// Opens a modal run with `open`; once `holds_keyboard` says its window holds the keyboard,
// `prepare` plays the user's clicks, then the keys are pressed one by one, each a turn of the loop
// after the last (`between` looks in between) and once `ready`, given the number of keys pressed,
// says what came before has settled. `end` ends a run still open after ten seconds.
key_run press_in_modal_run(const std::vector<int>& keys, const std::function<INT_PTR()>& open,
                           const std::function<bool()>& holds_keyboard, const std::function<void()>& end,
                           const std::function<void()>& prepare, const std::function<void()>& between,
                           const std::function<bool(size_t pressed)>& ready = {})
{
    key_run run;
    bool prepared = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.ran_out = true;
            end();
            return;
        }
        if (holds_keyboard()) {
            if (!prepared) {
                prepared = true;
                if (prepare)
                    prepare();
            } else if (run.pressed < keys.size() && (!ready || ready(run.pressed))) {
                if (run.pressed > 0 && between)
                    between();
                gui_test::press_key(keys[run.pressed++]);
            }
        }
        timer.StartOnce(10);
    });
    timer.StartOnce(10);
    run.ended = open();
    timer.Stop();
    return run;
}

// A dialog that notes the button commands it handles, then handles them as it does.
template <typename dialog_type>
class commands_noted : public dialog_type {
public:
    using dialog_type::dialog_type;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
    {
        if (HIWORD(wparam) == BN_CLICKED)
            commands.push_back(LOWORD(wparam));
        return dialog_type::OnCommand(wparam, lparam);
    }
    std::vector<int> commands;
};

// The dialog whose toolkit window runs modally, null when none does.
CDialog* modal_dialog()
{
    for (wxWindow* top : wxTopLevelWindows)
        if (top->GetHandle() == gui_test::modal_window() && !top->GetChildren().empty())
            return dynamic_cast<CDialog*>(platform::window_of(top->GetChildren().front()));
    return nullptr;
}

// Presses `keys` in the About box the main window opens on its command, once `prepare` has run.
key_run press_in_about_box(CWnd& window, const std::vector<int>& keys, const std::function<void()>& prepare)
{
    return press_in_modal_run(
        keys,
        [&window] {
            window.SendMessage(WM_COMMAND, ID_HELP_ABOUT);
            return INT_PTR{0};
        },
        [] { return modal_dialog() != nullptr; },
        [] {
            if (CDialog* dialog = modal_dialog())
                dialog->EndDialog(left_open);
        },
        prepare, {});
}

// The toolkit's grid of the Tool options dialog, null before it is built.
wxPropertyGrid* options_grid(CDialog& dialog)
{
    auto* manager = dynamic_cast<wxPropertyGridManager*>(platform::widget_of(*dialog.GetDlgItem(IDC_PROPERTY_GRID)));
    return manager ? manager->GetGrid() : nullptr;
}

// Whether a value's editor in the grid has the keys.
bool editing_in(wxPropertyGrid* grid)
{
    wxWindow* editor = grid ? grid->GetEditorControl() : nullptr;
    wxWindow* focus = wxWindow::FindFocus();
    return editor && focus && (focus == editor || editor->IsDescendant(focus));
}

template <typename dialog_type>
key_run press_in_dialog(commands_noted<dialog_type>& dialog, const std::vector<int>& keys,
                        const std::function<void()>& prepare = {}, const std::function<void()>& between = {},
                        const std::function<bool(size_t pressed)>& ready = {})
{
    const auto holds_keyboard = [&dialog] {
        wxWindow* panel = IsWindow(&dialog) ? platform::widget_of(dialog) : nullptr;
        wxWindow* top = panel ? wxGetTopLevelParent(panel) : nullptr;
        return top && gui_test::modal_window() == top->GetHandle();
    };
    key_run run = press_in_modal_run(
        keys, [&dialog] { return dialog.DoModal(); }, holds_keyboard, [&dialog] { dialog.EndDialog(left_open); },
        prepare, between, ready);
    run.commands = dialog.commands;
    return run;
}

key_run press_in_message_box(UINT type, const std::vector<int>& keys)
{
    return press_in_modal_run(
        keys, [type] { return static_cast<INT_PTR>(AfxMessageBox("Go on?", type)); },
        [] { return gui_test::modal_window() != nullptr; }, [] { gui_test::hide_modal_window(); }, {}, {});
}

struct dialog_key_case {
    const char* name;
    std::vector<int> keys;
    INT_PTR ended;
    std::vector<int> commands;
    std::function<key_run(const std::vector<int>& keys)> run;
};

// Every dialog of the program and a message box, as the toolkit runs them: Escape is the
// dialog's Cancel (its own handler of command 2), Return its default button, the focused push
// button, or a new line in the query text; an in-place editor keeps Escape first.
TEST(dialog_keys_window, escape_cancels_and_return_presses_the_default_in_every_dialog)
{
    gui_test::start_toolkit();
    config::xml_parameters store;
    const auto about = [](const std::vector<int>& keys) {
        commands_noted<CAboutDlg> dialog;
        return press_in_dialog(dialog, keys);
    };
    const auto statistics = [](const std::vector<int>& keys) {
        commands_noted<CArchiveStatsDialog> dialog;
        return press_in_dialog(dialog, keys);
    };
    const auto options = [&store](const std::vector<int>& keys) {
        commands_noted<CPropertyDlg> dialog(store);
        build_tool_options(dialog, store);
        return press_in_dialog(dialog, keys);
    };
    // Keys pressed in the editor of the named value.
    const auto options_editing = [&store](const char* value) {
        return [&store, value](const std::vector<int>& keys) {
            commands_noted<CPropertyDlg> dialog(store);
            build_tool_options(dialog, store);
            const auto grid = [&dialog] { return options_grid(dialog); };
            const auto editing = [&grid] { return editing_in(grid()); };
            // The keys before the last are meant for the editor, each pressed while it has the
            // focus; the last is the dialog's, pressed once the edit has ended.
            const size_t count = keys.size();
            return press_in_dialog(
                dialog, keys,
                [&grid, value] {
                    ASSERT_NE(grid(), nullptr);
                    grid()->SelectProperty(value, true);
                },
                {}, [&editing, count](size_t pressed) { return pressed + 1 < count ? editing() : !editing(); });
        };
    };
    const auto export_choosing_xml = [](const std::vector<int>& keys) {
        commands_noted<CExportDialog> dialog;
        return press_in_dialog(dialog, keys, [&dialog] { dialog.GetDlgItem(IDC_EXPORT_XML)->SendMessage(BM_CLICK); });
    };
    const auto query = [](const std::vector<int>& keys) {
        commands_noted<CSqlQueryDialog> dialog;
        return press_in_dialog(dialog, keys);
    };
    const auto query_in_text = [](const std::vector<int>& keys) {
        commands_noted<CSqlQueryDialog> dialog;
        return press_in_dialog(
            dialog, keys, [&dialog] { dialog.m_text.SetFocus(); },
            [&dialog] {
                CString text;
                dialog.m_text.GetWindowText(text);
                EXPECT_EQ(text, "\n") << "Return starts a new line in the query text";
            });
    };
    const auto query_on_close = [](const std::vector<int>& keys) {
        commands_noted<CSqlQueryDialog> dialog;
        return press_in_dialog(dialog, keys, [&dialog] { dialog.GetDlgItem(IDC_QUERY_CLOSE)->SetFocus(); });
    };
    const auto filter = [](const std::vector<int>& keys) {
        commands_noted<CFilterDialog> dialog(nullptr);
        return press_in_dialog(dialog, keys);
    };
    const auto command_prompt = [](const std::vector<int>& keys) {
        commands_noted<CCommandExecDialog> dialog("/bin/sh", "", false);
        return press_in_dialog(dialog, keys);
    };
    const auto merge = [](const std::vector<int>& keys) {
        commands_noted<CMergeFileDlg> dialog;
        return press_in_dialog(dialog, keys);
    };
    const auto merge_on_copy = [](const std::vector<int>& keys) {
        commands_noted<CMergeFileDlg> dialog;
        return press_in_dialog(dialog, keys, [&dialog] { dialog.GetDlgItem(IDC_MERGE_COPY_RIGHT)->SetFocus(); });
    };
    const auto message_box = [](const std::vector<int>& keys) { return press_in_message_box(MB_OKCANCEL, keys); };
    const auto question = [](const std::vector<int>& keys) {
        return press_in_message_box(MB_YESNO | MB_ICONQUESTION, keys);
    };

    const std::vector<dialog_key_case> cases = {
        {"About, Escape", {WXK_ESCAPE}, IDCANCEL, {IDCANCEL}, about},
        {"About, Return", {WXK_RETURN}, IDOK, {IDOK}, about},
        {"Statistics, Escape", {WXK_ESCAPE}, IDCANCEL, {IDCANCEL}, statistics},
        {"Statistics, Return", {WXK_RETURN}, IDOK, {IDOK}, statistics},
        {"Tool options, Escape", {WXK_ESCAPE}, IDCANCEL, {IDCANCEL}, options},
        {"Tool options, Return", {WXK_RETURN}, IDOK, {IDC_PROPERTIES_OK}, options},
        {"Tool options, Escape in a value's editor, then again", {WXK_ESCAPE, WXK_ESCAPE}, IDCANCEL, {IDCANCEL},
         options_editing("DB Schema")},
        {"Tool options, Up and Return in a value's choice, then Return", {WXK_UP, WXK_RETURN, WXK_RETURN}, IDOK,
         {IDC_PROPERTIES_OK}, options_editing("Confirm Close")},
        {"Export, Escape", {WXK_ESCAPE}, IDCANCEL, {IDC_EXPORT_XML, IDCANCEL}, export_choosing_xml},
        {"Export, Return", {WXK_RETURN}, IDOK, {IDC_EXPORT_XML, IDC_EXPORT_EXPORT}, export_choosing_xml},
        {"Query interface, Escape", {WXK_ESCAPE}, IDCANCEL, {IDCANCEL}, query},
        {"Query interface, Return in the query text, then Escape", {WXK_RETURN, WXK_ESCAPE}, IDCANCEL, {IDCANCEL},
         query_in_text},
        {"Query interface, Return on Close", {WXK_RETURN}, IDCANCEL, {IDC_QUERY_CLOSE}, query_on_close},
        {"Filter, Escape", {WXK_ESCAPE}, IDCANCEL, {IDCANCEL}, filter},
        {"Filter, Return", {WXK_RETURN}, IDOK, {IDOK}, filter},
        {"Command prompt, Escape", {WXK_ESCAPE}, IDCANCEL, {IDCANCEL}, command_prompt},
        {"Command prompt, Return", {WXK_RETURN}, IDOK, {IDOK}, command_prompt},
        {"Merge file, Escape", {WXK_ESCAPE}, 0, {IDCANCEL}, merge},
        {"Merge file, Return on >>", {WXK_RETURN}, 1, {IDC_MERGE_COPY_RIGHT}, merge_on_copy},
        {"Message box, Escape", {WXK_ESCAPE}, IDCANCEL, {}, message_box},
        {"Message box, Return", {WXK_RETURN}, IDOK, {}, message_box},
        {"Question, Tab to No and Return", {WXK_TAB, WXK_RETURN}, IDNO, {}, question},
    };
    for (const dialog_key_case& one : cases) {
        SCOPED_TRACE(one.name);
        const key_run run = one.run(one.keys);
        EXPECT_FALSE(run.ran_out) << "the keys left it open";
        EXPECT_EQ(run.ended, one.ended);
        EXPECT_EQ(run.pressed, one.keys.size()) << "the run ended before its last key";
        EXPECT_EQ(run.commands, one.commands);
        platform::process_toolkit_events();
    }
}

// Escape in a value's choice ends that edit with the value it had when the edit began, as in the
// text editor; the dialog stays open, and the next Escape cancels it with the settings unchanged.
TEST(dialog_keys_window, escape_in_a_values_choice_puts_back_the_value_it_had)
{
    gui_test::start_toolkit();
    config::xml_parameters store;
    ASSERT_TRUE(store.set(settings_keys::auto_load, "Yes"));
    commands_noted<CPropertyDlg> dialog(store);
    build_tool_options(dialog, store);
    const auto grid = [&dialog] { return options_grid(dialog); };
    const auto editing = [&grid] { return editing_in(grid()); };
    const auto shown = [&grid] { return std::string(grid()->GetPropertyValueAsString("Auto Load").utf8_str().data()); };
    // What the row showed before each Escape: its value and whether it was drawn as changed.
    std::vector<std::pair<std::string, bool>> before_escape;
    const key_run run = press_in_dialog(
        dialog, {WXK_DOWN, WXK_ESCAPE, WXK_ESCAPE},
        [&grid] {
            ASSERT_NE(grid(), nullptr);
            grid()->SelectProperty("Auto Load", true);
        },
        [&] { before_escape.emplace_back(shown(), grid()->GetProperty("Auto Load")->HasFlag(wxPG_PROP_MODIFIED)); },
        [&](size_t pressed) {
            if (pressed == 0)
                return editing();
            return pressed == 1 ? editing() && shown() != "Yes" : !editing();
        });
    EXPECT_FALSE(run.ran_out) << "the keys left it open";
    EXPECT_EQ(run.pressed, 3u) << "the dialog ended before the last Escape";
    EXPECT_EQ(run.ended, IDCANCEL);
    EXPECT_EQ(run.commands, (std::vector<int> {IDCANCEL}));
    const std::vector<std::pair<std::string, bool>> expected = {{"No", true}, {"Yes", false}};
    EXPECT_EQ(before_escape, expected);
    EXPECT_EQ(settings_keys::read_text(store, settings_keys::auto_load), "Yes");
}

// After a dialog closes the keys go where they went before it opened: F5 compares at once,
// without a click into the window.
TEST_F(main_window_window, f5_compares_at_once_after_a_dialog_closes)
{
    set_paths_in_settings();
    open();
    window->ShowWindow(SW_SHOW);
    wxFrame* frame = platform::frame_of(window.get());
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(platform::run_toolkit_loop_until([frame] { return frame->IsShownOnScreen(); }));
    window->grid().m_CUGGrid->SetFocus();
    const int compared = comparisons_logged();

    // The user clicks the About box's OK button.
    const key_run about = press_in_about_box(*window, {}, [] {
        auto* ok = dynamic_cast<wxButton*>(platform::widget_of(*modal_dialog()->GetDlgItem(IDOK)));
        ASSERT_NE(ok, nullptr);
        wxCommandEvent pressed(wxEVT_BUTTON, ok->GetId());
        pressed.SetEventObject(ok);
        ok->ProcessWindowEvent(pressed);
    });
    ASSERT_FALSE(about.ran_out) << "the About box was not closed";

    ASSERT_TRUE(gui_test::press_key(WXK_F5, 0, frame));
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return comparisons_logged() > compared; }))
        << "F5 after the About box";
}

// The right click comes just after the pointer reached a cell, whose tip would draw over the row
// menu: no window has a tip while the menu is open, and the tip is back once it closes.
TEST_F(main_window_window, no_cell_tip_shows_while_the_row_menu_is_open)
{
    wxFrame* frame = open_compared_on_screen();
    ASSERT_NE(frame, nullptr);
    wxWindow* cells = platform::widget_of(*window->grid().m_CUGGrid);
    ASSERT_NE(cells, nullptr);
    int col = 1;
    int row = 0;
    RECT cell{};
    ASSERT_EQ(window->grid().GetCellRect(&col, &row, &cell), 0);
    const auto pointer = [cells](wxEventType type, int x, int y) {
        wxMouseEvent event(type);
        event.SetEventObject(cells);
        event.m_x = x;
        event.m_y = y;
        event.m_rightDown = type == wxEVT_RIGHT_DOWN;
        cells->GetEventHandler()->ProcessEvent(event);
    };
    const int x = (cell.left + cell.right) / 2;
    const int y = (cell.top + cell.bottom) / 2;
    pointer(wxEVT_MOTION, x, y);
    pointer(wxEVT_MOTION, x + 1, y);
    ASSERT_NE(cells->GetToolTip(), nullptr) << "the cell's tip is set";

    bool tip_while_open = true;
    const key_run menu = press_in_modal_run(
        {WXK_ESCAPE},
        [&] {
            pointer(wxEVT_RIGHT_DOWN, x + 1, y);
            pointer(wxEVT_RIGHT_UP, x + 1, y);
            return INT_PTR{0};
        },
        [] { return gui_test::modal_window() != nullptr; }, [] { gui_test::hide_modal_window(); },
        [&] { tip_while_open = cells->GetToolTip() != nullptr; }, {});
    EXPECT_FALSE(menu.ran_out) << "Escape left the menu open";
    EXPECT_EQ(menu.pressed, 1u) << "no menu opened";
    EXPECT_FALSE(tip_while_open);
    EXPECT_NE(cells->GetToolTip(), nullptr) << "the tip is back once the menu has closed";
}

// Alt with a menu's letter opens that menu whatever control has the focus, the grid included.
TEST_F(main_window_window, alt_and_a_menu_letter_open_the_menu_from_every_control)
{
    wxFrame* frame = open_compared_on_screen();
    ASSERT_NE(frame, nullptr);
    wxMenuBar* bar = frame->GetMenuBar();
    // Shared with the handlers, which the frame keeps after the case.
    struct menu_state {
        wxMenu* opened = nullptr;
        bool closed = false;
    };
    const auto state = std::make_shared<menu_state>();
    frame->Bind(wxEVT_MENU_OPEN, [state](wxMenuEvent& event) {
        event.Skip();
        if (!state->opened)
            state->opened = event.GetMenu();
    });
    frame->Bind(wxEVT_MENU_CLOSE, [state](wxMenuEvent& event) {
        event.Skip();
        state->closed = true;
    });
    const std::pair<const char*, wxWindow*> controls[] = {
        {"main path", field(IDC_MAIN_PATH)},
        {"log", platform::widget_of(*window->GetDlgItem(IDC_LOG_VIEW))},
        {"grid", platform::widget_of(*window->grid().m_CUGGrid)},
    };
    const std::pair<int, wxMenu*> menus[] = {{'F', bar->GetMenu(0)}, {'H', bar->GetMenu(bar->GetMenuCount() - 1)}};
    for (const auto& [name, control] : controls) {
        for (const auto& [letter, menu] : menus) {
            SCOPED_TRACE(std::string("Alt+") + static_cast<char>(letter) + " in the " + name);
            ASSERT_TRUE(focus_on(control));
            *state = menu_state();
            ASSERT_TRUE(gui_test::press_key(letter, gui_test::with_alt, frame));
            EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return state->opened != nullptr; })) << "no menu opened";
            EXPECT_EQ(state->opened, menu);
            if (state->opened) {
                ASSERT_TRUE(gui_test::press_key(WXK_ESCAPE));
                ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return state->closed; })) << "the menu stayed open";
            }
        }
    }
}

// One press of an arrow moves the current cell one row or one column, on the press; Right and
// Left step over the columns the grid does not show (File Time and Backup Time have a width of 0
// in the shipped settings), and Shift with an arrow extends the selection by one row.
TEST_F(main_window_window, one_arrow_press_moves_one_row_or_one_shown_column)
{
    wxFrame* frame = open_compared_on_screen();
    ASSERT_NE(frame, nullptr);
    CDataGridCtrl& grid = window->grid();
    ASSERT_EQ(grid.GetColumnWidthAt(3), 0);
    ASSERT_EQ(grid.GetColumnWidthAt(5), 0);
    ASSERT_TRUE(focus_on(platform::widget_of(*grid.m_CUGGrid)));
    ASSERT_EQ(std::make_pair(grid.GetCurrentColumn(), grid.GetCurrentRow()), std::make_pair(0, 0));
    std::vector<std::pair<int, int>> current;
    for (const int key : {WXK_DOWN, WXK_DOWN, WXK_UP, WXK_RIGHT, WXK_RIGHT, WXK_RIGHT, WXK_RIGHT, WXK_LEFT, WXK_LEFT}) {
        ASSERT_TRUE(press_and_settle(key));
        current.emplace_back(grid.GetCurrentColumn(), grid.GetCurrentRow());
    }
    const std::vector<std::pair<int, int>> expected = {{0, 1}, {0, 2}, {0, 1}, {1, 1}, {2, 1},
                                                       {4, 1}, {6, 1}, {4, 1}, {2, 1}};
    EXPECT_EQ(current, expected) << "(column, row) after each press";
    ASSERT_TRUE(press_and_settle(WXK_DOWN, gui_test::with_shift));
    std::vector<long> selected;
    grid.GetSelectionManager()->ForEachSelectedRow([&selected](long row, data::data_row*) { selected.push_back(row); });
    EXPECT_EQ(selected, (std::vector<long> {1, 2}));
}

// Tab goes through the window's controls in their order and Shift+Tab back, out of the grid's
// cells too; the scripts box is no stop while the repository holds the diff script alone.
TEST_F(main_window_window, tab_and_shift_tab_follow_the_windows_controls_in_order)
{
    wxFrame* frame = open_compared_on_screen();
    ASSERT_NE(frame, nullptr);
    ASSERT_FALSE(window->GetDlgItem(IDC_SCRIPTS)->IsWindowEnabled());
    const auto focused = [this] {
        CWnd* focus = CWnd::GetFocus();
        if (focus && (focus == &window->grid() || window->grid().IsChild(focus)))
            return IDC_GRID_PLACE;
        return focus && window->IsChild(focus) ? focus->GetDlgCtrlID() : 0;
    };
    ASSERT_TRUE(focus_on(platform::widget_of(*window->GetDlgItem(IDC_BACKUP_FOLDER))));
    std::vector<int> forward;
    for (int press = 0; press < 8; ++press) {
        ASSERT_TRUE(press_and_settle(WXK_TAB));
        forward.push_back(focused());
    }
    std::vector<int> backward;
    for (int press = 0; press < 8; ++press) {
        ASSERT_TRUE(press_and_settle(WXK_TAB, gui_test::with_shift));
        backward.push_back(focused());
    }
    EXPECT_EQ(forward, (std::vector<int> {IDC_MAIN_PATH, IDC_BACKUP_PATH, IDC_BROWSE_MAIN, IDC_BROWSE_BACKUP, IDC_GO,
                                          IDC_GRID_PLACE, IDC_LOG_VIEW, IDC_BACKUP_FOLDER}));
    EXPECT_EQ(backward, (std::vector<int> {IDC_LOG_VIEW, IDC_GRID_PLACE, IDC_GO, IDC_BROWSE_BACKUP, IDC_BROWSE_MAIN,
                                           IDC_BACKUP_PATH, IDC_MAIN_PATH, IDC_BACKUP_FOLDER}));
}

// A question and a dialog open centred over the window that asks, wherever the user moved that
// window, the first time too, and on the screen. The window runs as the program runs it: modally.
TEST_F(main_window_window, a_question_and_a_dialog_open_centred_over_the_moved_window)
{
    set_paths_in_settings();
    edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
    window = std::make_unique<CTarvolineDlg>();
    window->set_settings_file("./settings.xml");
    // The toolkit's own question box, not the fixture's answers.
    platform::set_message_box_handler(previous_answer);
    const auto frame = [this] { return platform::frame_of(window.get()); };
    const auto box = [] {
        for (wxWindow* top : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(top); dialog && dialog->IsModal() && dialog->IsShown())
                return dialog;
        return static_cast<wxDialog*>(nullptr);
    };
    wxRect place;
    wxRect asked;
    wxRect opened;
    key_run question;
    key_run about;
    const key_run run = press_in_modal_run(
        {}, [this] { return window->DoModal(); },
        [&] { return frame() && frame()->IsShownOnScreen() && window->grid().GetRowCount() == 4; },
        [this] { window->EndDialog(0); },
        [&] {
            window->MoveWindow(302, 140, 1200, 800);
            platform::run_toolkit_loop_until(
                [&] { return frame()->GetScreenRect().GetTopLeft() == wxPoint(302, 140); });
            place = frame()->GetScreenRect();
            window->grid().SelectRange(0, 1, 6, 1);
            focus_on(platform::widget_of(*window->grid().m_CUGGrid));
            question = press_in_modal_run(
                {WXK_ESCAPE},
                [&] {
                    gui_test::press_key(WXK_DELETE, 0, frame());
                    return INT_PTR{0};
                },
                [&box] { return gui_test::modal_window() != nullptr && box() != nullptr; },
                [] { gui_test::hide_modal_window(); }, [&box, &asked] { asked = box()->GetScreenRect(); }, {});
            about = press_in_about_box(*window, {WXK_ESCAPE}, [&opened] {
                opened = wxGetTopLevelParent(platform::widget_of(*modal_dialog()))->GetScreenRect();
            });
            window->EndDialog(0);
        },
        {});
    ASSERT_FALSE(run.ran_out) << "the window never showed its rows";
    EXPECT_FALSE(question.ran_out) << "Escape left the question open";
    ASSERT_EQ(question.pressed, 1u) << "no question was asked";
    EXPECT_EQ(place.GetTopLeft(), wxPoint(302, 140));
    const wxPoint window_centre = place.GetPosition() + place.GetSize() / 2;
    const wxPoint box_centre = asked.GetPosition() + asked.GetSize() / 2;
    EXPECT_LE(std::abs(box_centre.x - window_centre.x), 2) << box_centre.x << " for " << window_centre.x;
    EXPECT_LE(std::abs(box_centre.y - window_centre.y), 2) << box_centre.y << " for " << window_centre.y;
    EXPECT_TRUE(wxDisplay(static_cast<unsigned>(0)).GetGeometry().Contains(asked))
        << "the question stays on the screen";
    EXPECT_FALSE(about.ran_out) << "Escape left the About box open";
    const wxPoint about_centre = opened.GetPosition() + opened.GetSize() / 2;
    // Across, over the window's middle; down, only over the window: the height the program
    // keeps for it leaves out its menu and status bars.
    EXPECT_LE(std::abs(about_centre.x - window_centre.x), 2) << about_centre.x << " for " << window_centre.x;
    EXPECT_TRUE(place.Contains(opened)) << "the About box opens over the window";
    for (const char* file : {"main/only-main.txt", "main/size.txt", "main/time.txt", "backup/only-backup.txt",
                             "backup/size.txt", "backup/time.txt"})
        EXPECT_TRUE(boost::filesystem::exists(folder.path() / file)) << file << ": Escape deletes nothing";
}

}  // namespace
