// The Export and Statistics dialogs as real windows in a real modal loop.

#include "platform/gui/gui_support.h"
#include "shot_support.h"

#include "app/ArchiveStatsDialog.h"
#include "app/ExportDialog.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <cstdlib>
#include <string>

namespace {

wxWindow* native(CDialog& dialog, int id)
{
    CWnd* control = dialog.GetDlgItem(id);
    return control ? platform::widget_of(*control) : nullptr;
}

void press(wxWindow* widget, wxEventType type)
{
    wxCommandEvent event(type, widget->GetId());
    event.SetEventObject(widget);
    if (type == wxEVT_RADIOBUTTON || type == wxEVT_CHECKBOX)
        event.SetInt(1);
    widget->ProcessWindowEvent(event);
}

TEST(export_dialog_window, a_format_chosen_in_the_toolkit_enables_its_options_and_export)
{
    gui_test::start_toolkit();
    CExportDialog dialog;
    wxTheApp->CallAfter([&dialog] {
        EXPECT_FALSE(native(dialog, IDC_EXPORT_EXPORT)->IsEnabled());
        EXPECT_FALSE(native(dialog, IDC_EXPORT_SEPARATOR)->IsEnabled());
        auto* separator = dynamic_cast<wxTextCtrl*>(native(dialog, IDC_EXPORT_SEPARATOR));
        ASSERT_NE(separator, nullptr);
        EXPECT_EQ(separator->GetValue(), ",");
        auto* attributes = dynamic_cast<wxCheckBox*>(native(dialog, IDC_EXPORT_VALUES_AS_ATTRIBUTES));
        ASSERT_NE(attributes, nullptr);
        EXPECT_TRUE(attributes->GetValue());
        // No format is chosen until the user picks one.
        for (int id : {IDC_EXPORT_XML, IDC_EXPORT_CSV, IDC_EXPORT_DB, IDC_EXPORT_EXCEL})
            EXPECT_FALSE(dynamic_cast<wxRadioButton*>(native(dialog, id))->GetValue()) << id;

        auto* csv = dynamic_cast<wxRadioButton*>(native(dialog, IDC_EXPORT_CSV));
        csv->SetValue(true);
        press(csv, wxEVT_RADIOBUTTON);
        platform::process_toolkit_events();
        EXPECT_TRUE(native(dialog, IDC_EXPORT_EXPORT)->IsEnabled());
        EXPECT_TRUE(native(dialog, IDC_EXPORT_SEPARATOR)->IsEnabled());
        EXPECT_FALSE(native(dialog, IDC_EXPORT_VALUES_AS_ATTRIBUTES)->IsEnabled());
        separator->ChangeValue(";");
        gui_shots::save_shot(dialog, "export_dialog.png");
        gui_shots::save_screen_shot(dialog, "export_dialog_screen.png");
        press(native(dialog, IDC_EXPORT_EXPORT), wxEVT_BUTTON);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const export_options chosen = dialog.options();
    EXPECT_EQ(chosen.format, export_csv);
    EXPECT_EQ(chosen.separator, ";");
}

TEST(statistics_dialog_window, shows_its_texts_and_closing_the_window_ends_it)
{
    gui_test::start_toolkit();
    CArchiveStatsDialog dialog;
    dialog.m_main_caption = "Main: /home/user/documents";
    dialog.m_main_files = "1234";
    dialog.m_main_folders = "56";
    dialog.m_main_size = "1.18 MB (1,234,567 bytes)";
    dialog.m_main_newest = "2023-11-14 22:13:20";
    dialog.m_main_oldest = "2020-09-13 12:26:40";
    dialog.m_backup_caption = "Backup: ";
    dialog.m_backup_files = "0";
    dialog.m_backup_folders = "0";
    dialog.m_backup_size = "0.00 B (0 bytes)";
    wxTheApp->CallAfter([&dialog] {
        auto* group = dynamic_cast<wxStaticBox*>(native(dialog, IDC_STATS_MAIN_GROUP));
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->GetLabel(), "Main: /home/user/documents");
        auto* size = dynamic_cast<wxStaticText*>(native(dialog, IDC_STATS_MAIN_SIZE));
        ASSERT_NE(size, nullptr);
        EXPECT_EQ(size->GetLabel(), "1.18 MB (1,234,567 bytes)");
        gui_shots::save_shot(dialog, "statistics_dialog.png");
        wxGetTopLevelParent(platform::widget_of(dialog))->Close();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

}  // namespace
