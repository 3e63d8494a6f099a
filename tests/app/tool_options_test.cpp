// Tool options over a real settings file: every property shows its key's value, OK writes only
// what changed (each row to its own key) and saves, Cancel writes nothing.

#include "app/PropertyDlg.h"
#include "app/settings_keys.h"
#include "command_support.h"
#include "data_grid_fixture.h"

#include "core/config/settings.h"
#include "platform/base/dialog_controls.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using command_test::captured_log;
using command_test::modal_answer;
namespace keys = settings_keys;

class tool_options_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string content =
            "<?xml version=\"1.0\"?>\n<Tarvoline><Config><LogEnabled>yes</LogEnabled></Config>"
            "<Export><Format>EXCEL</Format><File type=\"EXCEL\">/data/out.xls</File></Export>"
            "<Appearance><Grid><Background><Unselected format=\"rgb\">1,2,3</Unselected></Background>"
            "<Foreground><Unselected format=\"rgb\">4,5,6</Unselected></Foreground></Grid></Appearance></Tarvoline>\n";
        ASSERT_TRUE(store.load(folder.write("settings.xml", content).string())) << store.last_error();
        store.callback([this](const std::string& key, const std::string& value, const std::string&) {
            changes[key] = value;
        });
    }
    // One showing of the dialog; `act` plays the user. True when the settings were saved.
    bool show(const std::function<void(CPropertyDlg&)>& act)
    {
        modal_answer user([&act](CDialog& dialog) {
            act(dynamic_cast<CPropertyDlg&>(dialog));
            return IDCANCEL;
        });
        return run_tool_options(nullptr, store, captured.log, [this] {
            ++saves;
            return store.save();
        });
    }
    static CMFCPropertyGridProperty* find(CPropertyDlg& dialog, const std::string& group, const std::string& label,
                                          int nth = 0)
    {
        for (int g = 0; g < dialog.GroupCount(); ++g) {
            CMFCPropertyGridProperty* holder = dialog.Group(g);
            if (holder->GetName() != group.c_str())
                continue;
            for (int index = 0; index < holder->GetSubItemsCount(); ++index)
                if (holder->GetSubItem(index)->GetName() == label.c_str() && nth-- == 0)
                    return holder->GetSubItem(index);
        }
        return nullptr;
    }
    static void click(CPropertyDlg& dialog, int id) { static_cast<CButton*>(dialog.GetDlgItem(id))->user_clicked(); }

    test_support::temp_folder folder;
    config::xml_parameters store;
    std::map<std::string, std::string> changes;
    int saves = 0;
    captured_log captured;
};

TEST_F(tool_options_test, every_group_and_property_shows_its_key_and_current_value)
{
    CPropertyDlg dialog(store);
    build_tool_options(dialog, store);
    std::vector<std::string> groups;
    int properties = 0;
    for (int g = 0; g < dialog.GroupCount(); ++g) {
        groups.push_back(dialog.Group(g)->GetName().GetString());
        properties += dialog.Group(g)->GetSubItemsCount();
    }
    EXPECT_EQ(groups, std::vector<std::string>({"Configuration", "Directories", "Merge options", "Export",
                                                "Appearance", "Cache configuration"}));
    EXPECT_EQ(properties, 6 + 2 + 6 + 2 + 19 + 1);

    const auto* log_enabled = find(dialog, "Configuration", "Log Enabled");
    ASSERT_NE(log_enabled, nullptr);
    EXPECT_EQ(log_enabled->GetValue(), "Yes");
    EXPECT_EQ(log_enabled->GetOptionCount(), 2);
    EXPECT_EQ(dialog.RecordOf(log_enabled)->key, keys::log_enabled);

    const auto* output = find(dialog, "Export", "Output file");
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->GetValue(), "/data/out.xls");
    EXPECT_EQ(dialog.RecordOf(output)->key, keys::export_file("EXCEL"));

    const auto* background = find(dialog, "Appearance", "Unselected BG", 0);
    const auto* foreground = find(dialog, "Appearance", "Unselected BG", 1);
    ASSERT_TRUE(background && foreground);
    EXPECT_EQ(background->GetValue(), "1,2,3");
    EXPECT_EQ(foreground->GetValue(), "4,5,6");
    EXPECT_EQ(dialog.RecordOf(background)->key, keys::grid_unselected_background);
    EXPECT_EQ(dialog.RecordOf(foreground)->key, keys::grid_unselected_foreground);
    EXPECT_EQ(foreground->GetDescription(), "Backgroud colour of unselected cells");

    const auto* width = find(dialog, "Appearance", "Backup Time Width");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->GetDescription(), "Width of column Backup Time");
    EXPECT_EQ(dialog.RecordOf(width)->key, keys::column_width("Backup Time"));
    const auto* mode = find(dialog, "Cache configuration", "DB mode");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->GetOption(0), "file");
    EXPECT_EQ(mode->GetOption(1), "memory");
}

TEST_F(tool_options_test, an_unknown_format_edits_the_csv_file)
{
    ASSERT_TRUE(store.set(keys::export_format, "PDF"));
    CPropertyDlg dialog(store);
    build_tool_options(dialog, store);
    EXPECT_EQ(dialog.RecordOf(find(dialog, "Export", "Output file"))->key, keys::export_file("CSV"));
}

TEST_F(tool_options_test, ok_without_changes_writes_nothing_but_saves_and_cancel_neither)
{
    changes.clear();
    EXPECT_TRUE(show([](CPropertyDlg& dialog) { click(dialog, IDC_PROPERTIES_OK); }));
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(changes.empty());
    EXPECT_FALSE(show([](CPropertyDlg& dialog) {
        find(dialog, "Configuration", "Log Enabled")->user_changed("No");
        click(dialog, IDC_PROPERTIES_CANCEL);
    }));
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(captured.lines().empty());
}

TEST_F(tool_options_test, ok_writes_each_changed_row_to_its_own_key_and_saves)
{
    EXPECT_TRUE(show([](CPropertyDlg& dialog) {
        EXPECT_NE(dialog.GetDlgItem(IDC_PROPERTY_GRID), nullptr);
        find(dialog, "Appearance", "Unselected BG", 0)->user_changed("10,20,30");
        find(dialog, "Appearance", "Unselected BG", 1)->user_changed("40,50,60");
        find(dialog, "Export", "Format")->user_changed("CSV");
        find(dialog, "Export", "Output file")->user_changed("/data/new.xls");
        click(dialog, IDC_PROPERTIES_OK);
    }));
    EXPECT_EQ(changes, (std::map<std::string, std::string>{{keys::grid_unselected_background, "10,20,30"},
                                                            {keys::grid_unselected_foreground, "40,50,60"},
                                                            {keys::export_format, "CSV"},
                                                            {keys::export_file("EXCEL"), "/data/new.xls"}}));
    config::xml_parameters reread;
    ASSERT_TRUE(reread.load(store.file_name()));
    EXPECT_EQ(keys::read_text(reread, keys::grid_unselected_foreground), "40,50,60");
    EXPECT_EQ(keys::read_text(reread, keys::export_file("EXCEL")), "/data/new.xls");
}

TEST_F(tool_options_test, a_failed_save_is_one_error)
{
    modal_answer user([](CDialog& dialog) {
        static_cast<CButton*>(dialog.GetDlgItem(IDC_PROPERTIES_OK))->user_clicked();
        return IDOK;
    });
    EXPECT_FALSE(run_tool_options(nullptr, store, captured.log, [] { return false; }));
    EXPECT_EQ(captured.lines(), std::vector<std::string>({"ERROR Unable to save settings into " + store.file_name()}));
}

class grid_options_test : public data_grid_test {};

TEST_F(grid_options_test, a_width_stored_in_tool_options_shows_at_once)
{
    load_settings("");
    show();
    ASSERT_EQ(grid.GetColumnWidthAt(3), 0) << "File Time starts hidden";
    store.callback([this](const std::string& key, const std::string&, const std::string&) { appearance.Reread(key); });
    modal_answer user([](CDialog& dialog) {
        auto& shown = dynamic_cast<CPropertyDlg&>(dialog);
        for (int g = 0; g < shown.GroupCount(); ++g)
            for (int index = 0; index < shown.Group(g)->GetSubItemsCount(); ++index)
                if (shown.Group(g)->GetSubItem(index)->GetName() == "File Time Width")
                    shown.Group(g)->GetSubItem(index)->user_changed("130");
        static_cast<CButton*>(dialog.GetDlgItem(IDC_PROPERTIES_OK))->user_clicked();
        return IDOK;
    });
    captured_log captured;
    ASSERT_TRUE(run_tool_options(nullptr, store, captured.log, [] { return true; }));
    EXPECT_EQ(grid.GetColumnWidthAt(3), 130);
    EXPECT_EQ(grid.GetColumnWidthAt(5), 0);
}

}  // namespace
