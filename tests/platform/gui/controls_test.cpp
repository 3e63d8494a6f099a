// The controls of the main window and its dialogs on the toolkit: edits coloured by their
// dialog (WM_CTLCOLOR*) as the display shows them, the edit-browse control's button, the
// status bar's lock-key indicators.
#include "gui_support.h"

#include "platform/base/controls.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/edit_browse.h"
#include "platform/base/shell_dialogs.h"
#include "platform/wx/wx_peers.h"

#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/toplevel.h>

namespace {

constexpr UINT dialog_id = 139;
constexpr int better_edit = 1068;
constexpr int worse_edit = 1072;
constexpr int plain_edit = 1067;
constexpr COLORREF better_back = RGB(40, 200, 60);
constexpr COLORREF worse_back = RGB(230, 60, 50);

class merge_like_dialog : public CDialogEx {
public:
    merge_like_dialog() : CDialogEx(dialog_id) {}
    CBrush better{better_back};
    CBrush worse{worse_back};
    std::vector<UINT> asked;
    bool swap = false;

    HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT type) override
    {
        HBRUSH base = CDialogEx::OnCtlColor(dc, control, type);
        const int id = control->GetDlgCtrlID();
        if (id != better_edit && id != worse_edit)
            return base;
        asked.push_back(type);
        const bool is_better = (id == better_edit) != swap;
        dc->SetTextColor(is_better ? RGB(0, 0, 90) : RGB(255, 255, 255));
        return is_better ? static_cast<HBRUSH>(&better) : static_cast<HBRUSH>(&worse);
    }
};

// The middle of a control as the display shows it, away from its text and frame.
COLORREF shown_colour(const wxImage& screen, const wxRect& top, wxWindow* control)
{
    const wxRect place = control->GetScreenRect();
    const int x = place.GetRight() - 8 - top.GetX();
    const int y = place.GetY() + place.GetHeight() / 2 - top.GetY();
    return RGB(screen.GetRed(x, y), screen.GetGreen(x, y), screen.GetBlue(x, y));
}

}  // namespace

TEST(control_colours, a_read_only_edit_shows_the_background_its_dialog_answers)
{
    gui_test::start_toolkit();
    dialog_template table;
    table.id = dialog_id;
    table.caption = "Merge file";
    table.width = 200;
    table.height = 70;
    table.font_face = "DejaVu Sans";
    using kind = dialog_control_kind;
    table.controls = {
        {better_edit, kind::edit, "12 bytes", 4, 4, 190, 14, ES_READONLY},
        {worse_edit, kind::edit, "10 bytes", 4, 22, 190, 14, ES_READONLY},
        {plain_edit, kind::edit, "2024-01-02", 4, 40, 190, 14, ES_READONLY},
    };
    platform::register_dialog_template(table);
    merge_like_dialog dialog;
    ASSERT_TRUE(dialog.Create(dialog_id));
    dialog.ShowWindow(SW_SHOW);
    wxWindow* top = wxGetTopLevelParent(platform::widget_of(dialog));
    wxWindow* better = platform::widget_of(*dialog.GetDlgItem(better_edit));
    wxWindow* worse = platform::widget_of(*dialog.GetDlgItem(worse_edit));
    wxWindow* plain = platform::widget_of(*dialog.GetDlgItem(plain_edit));
    auto shows = [&](wxWindow* control, COLORREF colour) {
        const wxImage screen = platform::screen_image(dialog);
        return screen.IsOk() && shown_colour(screen, top->GetScreenRect(), control) == colour;
    };
    // Asked before the dialog reaches the screen: its first frame shows them (given later, the
    // theme would fade them in from its white).
    EXPECT_EQ(gui_test::first_drawn_colour([&] { return platform::screen_image(dialog); }, *better),
              wxColour(GetRValue(better_back), GetGValue(better_back), GetBValue(better_back)));
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return shows(better, better_back) && shows(worse, worse_back); }))
        << "the toolkit draws the answered backgrounds on read-only fields";
    ASSERT_FALSE(dialog.asked.empty());
    EXPECT_EQ(dialog.asked.front(), CTLCOLOR_STATIC) << "a read-only edit asks as a static";
    const wxImage screen = platform::screen_image(dialog);
    const COLORREF untouched = shown_colour(screen, top->GetScreenRect(), plain);
    EXPECT_NE(untouched, better_back);
    EXPECT_NE(untouched, worse_back);
    gui_test::save_screen_when_drawn(dialog, "coloured_edits.png");

    // New data, an invalidation: the colours are asked for again.
    dialog.swap = true;
    dialog.GetDlgItem(better_edit)->Invalidate();
    dialog.GetDlgItem(worse_edit)->Invalidate();
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return shows(better, worse_back) && shows(worse, better_back); }));
    dialog.DestroyWindow();
    platform::forget_dialog_templates();
}

TEST(edit_browse_window, the_browse_button_sits_inside_the_control_and_fills_the_edit)
{
    gui_test::start_toolkit();
    dialog_template table;
    table.id = 148;
    table.caption = "Command prompt";
    table.width = 200;
    table.height = 40;
    table.font_face = "DejaVu Sans";
    table.controls = {{1130, dialog_control_kind::edit, "", 4, 4, 190, 14, ES_READONLY}};
    platform::register_dialog_template(table);
    class prompt : public CDialogEx {
    public:
        prompt() : CDialogEx(148) {}
        CMFCEditBrowseCtrl program;
        int updates = 0;
        void DoDataExchange(CDataExchange* exchange) override { DDX_Control(exchange, 1130, program); }
        BOOL OnInitDialog() override
        {
            CDialogEx::OnInitDialog();
            program.EnableFileBrowseButton();
            return TRUE;
        }
        BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
        {
            updates += LOWORD(wparam) == 1130 && HIWORD(wparam) == EN_UPDATE;
            return CDialogEx::OnCommand(wparam, lparam);
        }
    } dialog;
    platform::set_file_dialog_handler([](const platform::file_dialog_request&, CString& path) {
        path = "/usr/bin/env";
        return true;
    });
    ASSERT_TRUE(dialog.Create(148));
    dialog.ShowWindow(SW_SHOW);
    wxButton* button = platform::browse_button_of(dialog.program);
    ASSERT_NE(button, nullptr);
    wxWindow* text = platform::widget_of(dialog.program);
    CRect control = dialog.program.window_rect_in_parent();
    EXPECT_EQ(text->GetRect().GetLeft(), control.left);
    EXPECT_EQ(button->GetRect().GetRight() + 1, control.right) << "the button ends where the control ends";
    EXPECT_LE(text->GetRect().GetRight(), button->GetRect().GetLeft()) << "side by side";

    wxCommandEvent pressed(wxEVT_BUTTON, button->GetId());
    pressed.SetEventObject(button);
    button->ProcessWindowEvent(pressed);
    EXPECT_EQ(static_cast<wxTextCtrl*>(text)->GetValue(), "/usr/bin/env");
    EXPECT_EQ(dialog.updates, 1);
    gui_test::save_screen_when_drawn(dialog, "edit_browse.png");
    platform::set_file_dialog_handler(nullptr);
    dialog.DestroyWindow();
    platform::forget_dialog_templates();
}

TEST(status_bar_window, the_caps_lock_indicator_follows_the_keyboard)
{
    gui_test::start_toolkit();
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "status", WS_POPUP | WS_VISIBLE, CRect(20, 20, 320, 220), nullptr, 0));
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&top));
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    ASSERT_TRUE(bar.SetIndicators(indicators, 4));
    auto* native = static_cast<wxStatusBar*>(platform::widget_of(bar));
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return native->IsShownOnScreen(); }));
    const bool was_on = bar.GetPaneText(1) == "CAP";
    wxUIActionSimulator keyboard;
    keyboard.Char(WXK_CAPITAL);
    const bool followed = platform::run_toolkit_loop_until([&] { return (bar.GetPaneText(1) == "CAP") != was_on; });
    EXPECT_TRUE(followed) << "Caps Lock toggled on the keyboard";
    EXPECT_EQ(native->GetStatusText(1), wxString::FromUTF8(bar.GetPaneText(1).GetString()));
    if (followed) {
        keyboard.Char(WXK_CAPITAL);
        EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return (bar.GetPaneText(1) == "CAP") == was_on; }));
    }
    top.DestroyWindow();
}
