#include "gui_support.h"

#include "platform/base/clipboard.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/property_grid.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/propgrid/manager.h>
#include <wx/propgrid/propgrid.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT export_dialog_id = 137;
constexpr int format_id = 1050;
constexpr int file_id = 1051;
constexpr int open_after_id = 1052;
constexpr int browse_id = 1053;
constexpr int hint_id = 1054;

dialog_template export_table()
{
    dialog_template table;
    table.id = export_dialog_id;
    table.caption = "Export";
    table.width = 220;
    table.height = 110;
    using kind = dialog_control_kind;
    table.controls = {
        {hint_id, kind::static_text, "Format", 7, 7, 60, 8},
        {format_id, kind::combo_box, "", 70, 5, 80, 60},
        {file_id, kind::edit, "/tmp/out.csv", 7, 24, 150, 14},
        {browse_id, kind::push_button, "Browse...", 160, 24, 50, 14},
        {open_after_id, kind::check_box, "Open when done", 7, 44, 100, 10},
        {2000, kind::progress_bar, "", 7, 60, 200, 10},
        {IDOK, kind::default_push_button, "OK", 105, 88, 50, 14},
        {IDCANCEL, kind::push_button, "Cancel", 160, 88, 50, 14},
    };
    return table;
}

class export_dialog : public CDialogEx {
public:
    export_dialog() : CDialogEx(export_dialog_id) {}
    int browse_clicks = 0;
    std::vector<UINT> format_changes;
    int open_after = 1;
    int format = 1;
    CString file;

    BOOL OnInitDialog() override
    {
        auto* formats = static_cast<CComboBox*>(GetDlgItem(format_id));
        for (const char* name : {"CSV", "XML", "DB", "EXCEL"})
            formats->AddString(name);
        static_cast<CProgressCtrl*>(GetDlgItem(2000))->SetPos(40);
        return CDialogEx::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* exchange) override
    {
        DDX_CBIndex(exchange, format_id, format);
        DDX_Check(exchange, open_after_id, open_after);
        DDX_Text(exchange, file_id, file);
    }
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
    {
        if (LOWORD(wparam) == browse_id && HIWORD(wparam) == BN_CLICKED) {
            ++browse_clicks;
            return TRUE;
        }
        if (LOWORD(wparam) == format_id && HIWORD(wparam) == CBN_SELCHANGE) {
            format_changes.push_back(static_cast<UINT>(static_cast<CComboBox*>(GetDlgItem(format_id))->GetCurSel()));
            return TRUE;
        }
        return CDialogEx::OnCommand(wparam, lparam);
    }
};

class gui_dialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        dialog_template table = export_table();
        table.style |= WS_VISIBLE;
        platform::register_dialog_template(table);
    }
    void TearDown() override
    {
        platform::forget_dialog_templates();
        platform::process_toolkit_events();
    }
};

wxString label_of(const CWnd& control)
{
    return platform::widget_of(control)->GetLabel();
}

}  // namespace

TEST_F(gui_dialog, native_controls_show_the_table_texts_at_their_rectangles)
{
    export_dialog dialog;
    ASSERT_TRUE(dialog.Create(export_dialog_id));
    platform::process_toolkit_events();
    wxWindow* top = wxGetTopLevelParent(platform::widget_of(dialog));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->GetLabel(), "Export");
    EXPECT_TRUE(top->IsShown());

    EXPECT_EQ(label_of(*dialog.GetDlgItem(browse_id)), "Browse...");
    EXPECT_EQ(label_of(*dialog.GetDlgItem(hint_id)), "Format");
    auto* check = dynamic_cast<wxCheckBox*>(platform::widget_of(*dialog.GetDlgItem(open_after_id)));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->GetValue()) << "the exchange checked it";
    auto* choice = dynamic_cast<wxChoice*>(platform::widget_of(*dialog.GetDlgItem(format_id)));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->GetCount(), 4u);
    EXPECT_EQ(choice->GetStringSelection(), "XML");

    for (int id : {browse_id, IDOK, IDCANCEL}) {
        CRect expected = dialog.GetDlgItem(id)->window_rect_in_parent();
        const wxRect shown = platform::widget_of(*dialog.GetDlgItem(id))->GetRect();
        EXPECT_EQ(shown.GetX(), expected.left) << id;
        EXPECT_EQ(shown.GetY(), expected.top) << id;
        EXPECT_EQ(shown.GetWidth(), expected.Width()) << id;
        EXPECT_EQ(shown.GetHeight(), expected.Height()) << id;
    }
    CRect ok = dialog.GetDlgItem(IDOK)->window_rect_in_parent();
    CRect table_ok(105, 88, 155, 102);
    dialog.MapDialogRect(&table_ok);
    EXPECT_EQ(ok, table_ok);
    CRect client;
    dialog.GetClientRect(&client);
    const wxSize shown_client = platform::widget_of(dialog)->GetSize();
    EXPECT_EQ(shown_client.GetWidth(), client.Width());
    EXPECT_EQ(shown_client.GetHeight(), client.Height());
    dialog.DestroyWindow();
}

// Check boxes and radio buttons laid out for a smaller font and box than the toolkit's.
TEST_F(gui_dialog, a_check_box_or_radio_button_gets_the_room_its_box_and_label_need)
{
    dialog_template table;
    table.id = 160;
    table.caption = "Boxes";
    table.width = 250;
    table.height = 60;
    table.style |= WS_VISIBLE;
    using kind = dialog_control_kind;
    table.controls = {
        {1, kind::check_box, "Backup folder", 2, 20, 30, 8},
        {2, kind::edit, "", 65, 19, 120, 14},
        {3, kind::radio_button, "A choice with a long label", 2, 36, 40, 8, WS_GROUP},
        {4, kind::check_box, "Wide", 150, 30, 90, 24},
    };
    platform::register_dialog_template(table);
    CDialogEx dialog(160);
    gui_test::stderr_capture toolkit_messages;
    ASSERT_TRUE(dialog.Create(160));
    gui_test::save_screen_when_drawn(dialog, "check_boxes.png");
    const std::string messages = toolkit_messages.text();
    EXPECT_EQ(messages.find("Gtk-CRITICAL"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("Gtk-WARNING"), std::string::npos) << messages;
    for (const dialog_control& control : {table.controls[0], table.controls[2]}) {
        const int id = static_cast<int>(control.id);
        CRect mapped(control.x, control.y, control.x + control.width, control.y + control.height);
        dialog.MapDialogRect(&mapped);
        wxWindow* box = platform::widget_of(*dialog.GetDlgItem(id));
        const CRect laid_out = dialog.GetDlgItem(id)->window_rect_in_parent();
        const wxRect shown = box->GetRect();
        const wxSize needed = box->GetBestSize();
        ASSERT_GT(needed.y, laid_out.Height()) << "the case needs a box the toolkit draws higher";
        ASSERT_GT(needed.x, laid_out.Width());
        EXPECT_EQ(shown.GetSize(), needed) << id;
        EXPECT_EQ(shown.GetX(), laid_out.left) << id;
        EXPECT_LE(std::abs(shown.GetY() + shown.GetHeight() / 2 - laid_out.CenterPoint().y), 1) << id << " stays centred";
        EXPECT_EQ(laid_out, mapped) << "the window keeps its rectangle";
    }
    // Room to spare is kept as laid out.
    const CRect wide = dialog.GetDlgItem(4)->window_rect_in_parent();
    EXPECT_EQ(platform::widget_of(*dialog.GetDlgItem(4))->GetRect(),
              wxRect(wide.left, wide.top, wide.Width(), wide.Height()));

    // A longer label takes more room.
    const int before = platform::widget_of(*dialog.GetDlgItem(1))->GetSize().x;
    dialog.GetDlgItem(1)->SetWindowText("Backup folder, and its sub-folders");
    EXPECT_GT(platform::widget_of(*dialog.GetDlgItem(1))->GetSize().x, before);
    dialog.DestroyWindow();
}

// The main window's row: a drop list beside a push button, its rectangle counting the open list
// and reaching over the control below.
TEST_F(gui_dialog, a_closed_drop_list_shows_its_whole_text_above_the_control_below)
{
    dialog_template table;
    table.id = 161;
    table.caption = "Drop list";
    table.width = 200;
    table.height = 80;
    table.style |= WS_VISIBLE;
    using kind = dialog_control_kind;
    table.controls = {
        {1, kind::combo_box, "", 20, 5, 134, 46},
        {2, kind::push_button, "Go", 155, 5, 28, 14},
        {3, kind::list_box, "", 2, 22, 196, 50},
    };
    platform::register_dialog_template(table);
    CDialogEx dialog(161);
    gui_test::stderr_capture toolkit_messages;
    ASSERT_TRUE(dialog.Create(161));
    auto* list = dynamic_cast<CComboBox*>(dialog.GetDlgItem(1));
    ASSERT_NE(list, nullptr);
    list->AddString("MergeDifferences");
    list->SetCurSel(0);
    gui_test::save_screen_when_drawn(dialog, "drop_list.png");
    const std::string messages = toolkit_messages.text();
    EXPECT_EQ(messages.find("Gtk-CRITICAL"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("Gtk-WARNING"), std::string::npos) << messages;

    wxWindow* box = platform::widget_of(*list);
    const wxRect shown = box->GetRect();
    const CRect laid_out = list->window_rect_in_parent();
    const CRect below = dialog.GetDlgItem(3)->window_rect_in_parent();
    ASSERT_GT(laid_out.bottom, below.top) << "the case needs a rectangle over the control below";
    EXPECT_EQ(shown.GetTopLeft(), wxPoint(laid_out.left, laid_out.top));
    EXPECT_EQ(shown.GetWidth(), laid_out.Width());
    // Given less than it asks for, GTK cuts the text; given more, it draws the text lower.
    EXPECT_EQ(shown.GetHeight(), box->GetBestSize().y) << "closed at the toolkit's own height for the dialog's font";
    EXPECT_LE(shown.GetBottom() + 1, below.top) << "the closed box ends above the control below";

    // Other drop lists (the toolkit's own dialogs, composite controls) keep the theme's height.
    auto* unmarked = new wxChoice(box->GetParent(), wxID_ANY);
    unmarked->SetFont(box->GetFont());
    unmarked->Append("MergeDifferences");
    EXPECT_GT(unmarked->GetBestSize().y, box->GetBestSize().y);
    unmarked->Destroy();
    dialog.DestroyWindow();

    // A larger dialog font needs a higher box.
    table.id = 162;
    table.point_size = 16;
    platform::register_dialog_template(table);
    CDialogEx larger(162);
    ASSERT_TRUE(larger.Create(162));
    auto* larger_list = dynamic_cast<CComboBox*>(larger.GetDlgItem(1));
    ASSERT_NE(larger_list, nullptr);
    larger_list->AddString("MergeDifferences");
    wxWindow* larger_box = platform::widget_of(*larger_list);
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] {
        return larger_box->GetBestSize().y > shown.GetHeight() && larger_box->GetSize().y == larger_box->GetBestSize().y;
    })) << larger_box->GetBestSize().y << " " << larger_box->GetSize().y;
    larger.DestroyWindow();
}

TEST_F(gui_dialog, the_users_clicks_and_choices_reach_the_dialog_as_commands)
{
    export_dialog dialog;
    dialog.file = "/tmp/out.csv";
    ASSERT_TRUE(dialog.Create(export_dialog_id));
    platform::process_toolkit_events();
    wxWindow* browse = platform::widget_of(*dialog.GetDlgItem(browse_id));
    // The toolkit's own notification of a press (the pointer simulator does not reach
    // windows under a bare Xvfb without a window manager).
    wxCommandEvent pressed(wxEVT_BUTTON, browse->GetId());
    pressed.SetEventObject(browse);
    browse->ProcessWindowEvent(pressed);
    EXPECT_EQ(dialog.browse_clicks, 1);

    // The toolkit's own notifications for a choice and a check box.
    auto* choice = dynamic_cast<wxChoice*>(platform::widget_of(*dialog.GetDlgItem(format_id)));
    choice->SetSelection(3);
    wxCommandEvent chosen(wxEVT_CHOICE, choice->GetId());
    chosen.SetInt(3);
    chosen.SetEventObject(choice);
    choice->ProcessWindowEvent(chosen);
    ASSERT_EQ(dialog.format_changes.size(), 1u);
    EXPECT_EQ(dialog.format_changes[0], 3u);
    auto* check = dynamic_cast<wxCheckBox*>(platform::widget_of(*dialog.GetDlgItem(open_after_id)));
    check->SetValue(false);
    wxCommandEvent toggled(wxEVT_CHECKBOX, check->GetId());
    toggled.SetEventObject(check);
    check->ProcessWindowEvent(toggled);
    EXPECT_EQ(dialog.IsDlgButtonChecked(open_after_id), 0u);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.format, 3);
    EXPECT_EQ(dialog.open_after, 0);
    EXPECT_EQ(dialog.file, "/tmp/out.csv");
    dialog.DestroyWindow();
}

TEST_F(gui_dialog, a_modal_run_ends_with_the_button_the_user_pressed)
{
    export_dialog dialog;
    wxTheApp->CallAfter([&dialog] {
        // Runs inside the modal loop: the dialog is up and its OK button is a real button.
        auto* ok = dynamic_cast<wxButton*>(platform::widget_of(*dialog.GetDlgItem(IDOK)));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(wxGetTopLevelParent(ok)->IsShown());
        dialog.SetDlgItemText(file_id, "/tmp/chosen.xml");
        wxCommandEvent pressed(wxEVT_BUTTON, ok->GetId());
        pressed.SetEventObject(ok);
        ok->ProcessWindowEvent(pressed);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.file, "/tmp/chosen.xml");
    EXPECT_FALSE(dialog.GetSafeHwnd());

    // Closing the window from the window manager cancels.
    wxTheApp->CallAfter([&dialog] {
        wxGetTopLevelParent(platform::widget_of(dialog))->Close();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(gui_dialog, status_bar_property_grid_and_clipboard_work_on_the_toolkit)
{
    dialog_template table;
    table.id = 59648;
    table.caption = "Properties";
    table.width = 311;
    table.height = 183;
    table.style |= WS_VISIBLE;
    table.controls = {{1020, dialog_control_kind::property_grid, "", 2, 2, 307, 150},
                      {1021, dialog_control_kind::push_button, "OK", 200, 156, 50, 14},
                      {1022, dialog_control_kind::push_button, "Cancel", 256, 156, 50, 14}};
    platform::register_dialog_template(table);
    CDialogEx dialog(59648);
    ASSERT_TRUE(dialog.Create(59648));
    auto* grid = dynamic_cast<CMFCPropertyGridCtrl*>(dialog.GetDlgItem(1020));
    ASSERT_NE(grid, nullptr);
    auto* group = new CMFCPropertyGridProperty(CString("Configuration"));
    auto* log = new CMFCPropertyGridProperty("Log Enabled", "Yes", "Enables file logging");
    log->AddOption("Yes");
    log->AddOption("No");
    log->AllowEdit(FALSE);
    auto* colour = new CMFCPropertyGridColorProperty("Selected BG", RGB(0, 120, 215), nullptr, "Backgroud colour of selected cells");
    group->AddSubItem(log);
    group->AddSubItem(colour);
    grid->AddProperty(group);
    auto* manager = dynamic_cast<wxPropertyGridManager*>(platform::widget_of(*grid));
    ASSERT_NE(manager, nullptr);
    wxPropertyGrid* native = manager->GetGrid();
    wxPGProperty* shown = native->GetProperty("Log Enabled");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetValueAsString(), "Yes");
    EXPECT_EQ(shown->GetHelpString(), "Enables file logging");
    // An edit in the grid reaches the property as the user's change.
    // Reported as the grid reports it: through the manager that holds it.
    auto user_sets = [native, manager](wxPGProperty* property, const wxVariant& value) {
        native->ChangePropertyValue(property, value);
        wxPropertyGridEvent changed(wxEVT_PG_CHANGED, manager->GetId());
        changed.SetPropertyGrid(native);
        changed.SetProperty(property);
        changed.SetEventObject(manager);
        manager->ProcessWindowEvent(changed);
    };
    user_sets(shown, wxVariant(1L));
    EXPECT_EQ(log->GetValue(), "No");
    EXPECT_TRUE(log->IsModified());
    wxVariant red;
    red << wxColour(255, 0, 0);
    user_sets(native->GetProperty("Selected BG"), red);
    EXPECT_EQ(colour->GetValue(), "255,0,0");

    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&dialog));
    const UINT panes[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
    ASSERT_TRUE(bar.SetIndicators(panes, 2));
    bar.SetPaneText(0, "Ready");
    platform::process_toolkit_events();
    auto* native_bar = dynamic_cast<wxStatusBar*>(platform::widget_of(bar));
    ASSERT_NE(native_bar, nullptr);
    EXPECT_EQ(native_bar->GetStatusText(0), "Ready");

    ASSERT_TRUE(OpenClipboard(&dialog));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(memory), "a.txt", 6);
    GlobalUnlock(memory);
    SetClipboardData(1, memory);
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(&dialog));
    HANDLE read = GetClipboardData(1);
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(read))), "a.txt");
    CloseClipboard();

    platform::process_toolkit_events();
    const char* shot = std::getenv("TARVOLINE_DIALOG_SHOT");
    // The layout as the platform draws it (the toolkit's screen cannot be read back under
    // Xvfb with GTK 3), for a person to look at.
    if (shot) {
        EXPECT_TRUE(platform::save_window_png(dialog, shot));
    }
    dialog.DestroyWindow();
}
