// The query interface and the Tool options dialog as real windows: toolkit controls, the
// property grid's edits, and a colour changed in Tool options repainting the grid at once.

#include "platform/gui/gui_support.h"
#include "shot_support.h"

#include "../data_grid_fixture.h"

#include "app/PropertyDlg.h"
#include "app/SqlQueryDialog.h"
#include "app/settings_keys.h"
#include "core/logger.h"
#include "core/script_manager.h"
#include "grid/UGGrid.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/propgrid/manager.h>
#include <wx/propgrid/propgrid.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <utility>

namespace {

wxWindow* native(CDialog& dialog, int id)
{
    CWnd* control = dialog.GetDlgItem(id);
    return control ? platform::widget_of(*control) : nullptr;
}

void press(wxWindow* button)
{
    wxCommandEvent pressed(wxEVT_BUTTON, button->GetId());
    pressed.SetEventObject(button);
    button->ProcessWindowEvent(pressed);
}

// A label the window or one of its children shows.
bool shows_text(wxWindow* window, const wxString& text)
{
    if (auto* label = dynamic_cast<wxStaticText*>(window); label && label->GetLabel() == text && label->IsShown())
        return true;
    for (wxWindow* child : window->GetChildren())
        if (shows_text(child, text))
            return true;
    return false;
}

// The user's edit of one property in the toolkit's grid, reported as the grid reports it:
// through the manager that holds it.
void user_sets(wxPropertyGridManager* manager, const wxString& name, const wxVariant& value)
{
    wxPropertyGrid* grid = manager->GetGrid();
    wxPGProperty* property = grid->GetProperty(name);
    ASSERT_NE(property, nullptr) << name;
    grid->ChangePropertyValue(property, value);
    wxPropertyGridEvent changed(wxEVT_PG_CHANGED, manager->GetId());
    changed.SetPropertyGrid(grid);
    changed.SetProperty(property);
    changed.SetEventObject(manager);
    manager->ProcessWindowEvent(changed);
}

TEST(query_dialog_window, choosing_a_script_in_the_list_shows_its_name_and_text)
{
    gui_test::start_toolkit();
    test_support::temp_folder folder;
    script_manager repository;
    std::string error;
    ASSERT_TRUE(repository.load(folder.write("scripts.xml", "<Scripts><Script name=\"Recent\"><Text>select *\n"
                                                             "  from [FILE]\n where LAST_WRITE_TIME > 0</Text>"
                                                             "</Script></Scripts>").string(),
                                error)) << error;
    CSqlQueryDialog dialog;
    for (const char* field : {"ID", "NAME", "FULL_PATH", "RELATIVE_PATH", "EXTENSION", "LAST_WRITE_TIME"})
        dialog.AddField(field);
    dialog.m_repository = &repository;
    dialog.m_script_names = {"Recent"};
    wxTheApp->CallAfter([&dialog] {
        auto* scripts = dynamic_cast<wxListBox*>(native(dialog, IDC_QUERY_SCRIPTS));
        auto* fields = dynamic_cast<wxListBox*>(native(dialog, IDC_QUERY_FIELDS));
        ASSERT_TRUE(scripts && fields);
        EXPECT_EQ(fields->GetCount(), 6u);
        EXPECT_EQ(fields->GetString(5), "LAST_WRITE_TIME");
        scripts->SetSelection(0);
        wxCommandEvent chosen(wxEVT_LISTBOX, scripts->GetId());
        chosen.SetEventObject(scripts);
        chosen.SetInt(0);
        scripts->ProcessWindowEvent(chosen);
        platform::process_toolkit_events();
        auto* name = dynamic_cast<wxTextCtrl*>(native(dialog, IDC_QUERY_NAME));
        auto* text = dynamic_cast<wxTextCtrl*>(native(dialog, IDC_QUERY_TEXT));
        ASSERT_TRUE(name && text);
        EXPECT_EQ(name->GetValue(), "Recent");
        EXPECT_EQ(text->GetNumberOfLines(), 3);
        EXPECT_EQ(text->GetLineText(1), "  from [FILE]");
        gui_shots::save_shot(dialog, "query_dialog.png");
        gui_shots::save_screen_shot(dialog, "query_dialog_screen.png");
        press(native(dialog, IDC_QUERY_CLOSE));
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

// Puts a modal handler back when the test leaves, failed or not.
class modal_handler_restorer {
public:
    explicit modal_handler_restorer(platform::modal_dialog_handler handler) : handler_(std::move(handler)) {}
    modal_handler_restorer(const modal_handler_restorer&) = delete;
    modal_handler_restorer& operator=(const modal_handler_restorer&) = delete;
    ~modal_handler_restorer() { platform::set_modal_dialog_handler(std::move(handler_)); }

private:
    platform::modal_dialog_handler handler_;
};

class tool_options_window : public data_grid_test {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        load_settings("<Background><Unselected format=\"rgb\">250,250,240</Unselected>"
                      "<Selected format=\"rgb\">51,102,204</Selected></Background>");
        add_difference(table, "1", "report.txt", "1536", "", "BACKUP", "1700000000", "");
        add_difference(table, "2", "photo.jpg", "2345678", "2345000", "SIZE");
        show(700, 200);
        // As the main window does: an appearance key re-read and shown when it changes.
        store.callback([this](const std::string& key, const std::string&, const std::string&) {
            appearance.Reread(key);
            grid.RepaintAllParts();
        });
        grid.RepaintAllParts();
        platform::process_toolkit_events();
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        platform::process_toolkit_events();
    }
    COLORREF current_cell_colour()
    {
        int col = 1;
        int row = 1;
        RECT rect{};
        grid.GetCellRect(&col, &row, &rect);
        platform::process_toolkit_events();
        return gui_test::pixel_at(*grid.m_CUGGrid, rect.right - 4, rect.top + 3);
    }
};

TEST_F(tool_options_window, changing_selected_bg_recolours_the_selected_cells_at_once)
{
    grid.SelectRange(0, 1, 6, 1);
    grid.RepaintAllParts();
    ASSERT_EQ(current_cell_colour(), RGB(51, 102, 204));
    logger log;
    int saved = 0;
    // The dialog runs in the toolkit's modal loop; the user acts from inside it.
    const platform::modal_dialog_handler toolkit_run = platform::set_modal_dialog_handler({});
    const modal_handler_restorer restorer(toolkit_run);
    ASSERT_TRUE(toolkit_run) << "an earlier test left no toolkit modal run";
    platform::set_modal_dialog_handler([&toolkit_run](CDialog& shown) {
        wxTheApp->CallAfter([&shown] {
            auto* manager = dynamic_cast<wxPropertyGridManager*>(native(shown, IDC_PROPERTY_GRID));
            wxPropertyGrid* properties = manager ? manager->GetGrid() : nullptr;
            EXPECT_NE(properties, nullptr);
            if (properties) {
                EXPECT_EQ(properties->GetProperty("Log Enabled")->GetHelpString(), "Enables file logging");
                // The user's click on a row: its description shows in the pane below the rows.
                properties->DoSelectProperty(properties->GetProperty("Log Enabled"));
                EXPECT_TRUE(shows_text(manager, "Enables file logging")) << "the description pane";
                EXPECT_FALSE(properties->HasExtraStyle(wxPG_EX_HELP_AS_TOOLTIPS)) << "no tip covers the rows";
                EXPECT_TRUE(properties->HasFlag(wxPG_BOLD_MODIFIED)) << "modified values are marked";
                wxVariant red;
                red << wxColour(200, 30, 30);
                user_sets(manager, "Selected BG", red);
                // The second row of the same label is a row of its own, with its own key.
                wxVariant grey;
                grey << wxColour(90, 90, 90);
                user_sets(manager, "Unselected BG#2", grey);
                gui_shots::save_shot(shown, "tool_options_dialog.png");
                gui_shots::save_screen_shot(shown, "tool_options_dialog_screen.png");
            }
            press(native(shown, IDC_PROPERTIES_OK));
        });
        return toolkit_run(shown);
    });
    EXPECT_TRUE(run_tool_options(nullptr, store, log, [&saved] { return ++saved > 0; }));
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(settings_keys::read_text(store, settings_keys::grid_selected_background), "200,30,30");
    EXPECT_EQ(settings_keys::read_text(store, settings_keys::grid_unselected_foreground), "90,90,90");
    EXPECT_EQ(settings_keys::read_text(store, settings_keys::grid_unselected_background), "250,250,240");
    EXPECT_EQ(current_cell_colour(), RGB(200, 30, 30));
    log.stop();
}

}  // namespace
