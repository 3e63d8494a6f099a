// The resizable dialog base on the toolkit: a resize by the toolkit moves and grows the
// anchored native controls, the window stays at least its first size, and the application's
// icon is the window's.

#include "platform/gui/gui_support.h"

#include "app/AppIcon.h"
#include "app/BaseDialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/icons.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_peers.h"

#include <wx/toplevel.h>

namespace {

constexpr UINT window_id = 9302;
constexpr int path_id = 1040;
constexpr int browse_id = 1042;
constexpr int log_id = 1000;

class anchored_dialog : public CBaseDialog {
public:
    anchored_dialog() : CBaseDialog(window_id) { m_size_grip_wanted = true; }
    BOOL OnInitDialog() override
    {
        CBaseDialog::OnInitDialog();
        AddAnchor(path_id, 0, 0, 100, 0);
        AddAnchor(browse_id, 100, 0, 0, 0);
        AddAnchor(log_id, 0, 0, 100, 100);
        HICON icon = LoadIcon(IDR_MAINFRAME);
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
        return TRUE;
    }
};

wxRect place_of(CWnd& dialog, int id)
{
    return platform::widget_of(*dialog.GetDlgItem(id))->GetRect();
}

}  // namespace

TEST(base_dialog_window, a_toolkit_resize_moves_anchored_controls_and_the_minimum_holds)
{
    gui_test::start_toolkit();
    register_application_icon();
    dialog_template table;
    table.id = window_id;
    table.caption = "Anchors";
    table.width = 200;
    table.height = 120;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    table.font_face = "DejaVu Sans";
    using kind = dialog_control_kind;
    table.controls = {
        {1012, kind::static_text, "Main folder", 4, 6, 50, 8},
        {path_id, kind::edit, "/data/main", 56, 4, 120, 14},
        {browse_id, kind::push_button, "...", 180, 4, 16, 14},
        {log_id, kind::list_box, "", 4, 24, 192, 90},
    };
    platform::register_dialog_template(table);
    anchored_dialog dialog;
    ASSERT_TRUE(dialog.Create(window_id));
    dialog.ShowWindow(SW_SHOW);
    auto* top = static_cast<wxTopLevelWindow*>(wxGetTopLevelParent(platform::widget_of(dialog)));
    ASSERT_TRUE(platform::run_toolkit_loop_until([top] { return top->IsShownOnScreen(); }));
    ASSERT_FALSE(top->GetIcons().IsEmpty()) << "icon 128 is the window's";

    const wxSize client = top->GetClientSize();
    const wxRect path = place_of(dialog, path_id);
    const wxRect browse = place_of(dialog, browse_id);
    const wxRect log = place_of(dialog, log_id);
    top->SetClientSize(client.GetWidth() + 100, client.GetHeight() + 60);
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return place_of(dialog, browse_id).GetX() == browse.GetX() + 100; }))
        << "the button keeps its distance to the right edge";
    EXPECT_EQ(place_of(dialog, path_id).GetWidth(), path.GetWidth() + 100);
    EXPECT_EQ(place_of(dialog, path_id).GetPosition(), path.GetPosition());
    EXPECT_EQ(place_of(dialog, log_id).GetSize(), log.GetSize() + wxSize(100, 60));
    gui_test::save_screen_when_drawn(dialog, "base_dialog_grown.png");
    top->GetIcons().GetIcon(48).SaveFile("application_icon.png", wxBITMAP_TYPE_PNG);

    top->SetClientSize(50, 40);
    platform::process_toolkit_events();
    EXPECT_GE(top->GetClientSize().GetWidth(), client.GetWidth()) << "never below the first size";
    EXPECT_GE(top->GetClientSize().GetHeight(), client.GetHeight());
    dialog.DestroyWindow();
    platform::forget_dialog_templates();
}
