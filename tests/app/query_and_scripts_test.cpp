// The scripts combo box and the query interface over a real catalogue and a real repository
// file: what is listed, prepared and saved, the overwrite question, and errors as log lines.

#include "app/ScriptCommands.h"
#include "app/SqlQueryDialog.h"
#include "catalogue_support.h"
#include "command_support.h"

#include "platform/base/controls.h"
#include "platform/base/dialog_controls.h"

namespace {

using command_test::captured_log;
using command_test::message_box_answer;
using command_test::modal_answer;
using test_support::temp_folder;

// A script that lists only the files missing in the backup, as a user would write it.
const char* const only_missing_backup =
    "SELECT F.ID, F.NAME, F.FULL_PATH, F.SIZE, F.LAST_WRITE_TIME, NULL, NULL, NULL, NULL, NULL, 'BACKUP'\n"
    "  FROM [FILE] AS F\n"
    " WHERE ? = ? AND ? = 0 AND NOT EXISTS (SELECT 1 FROM [BACKUP] AS B WHERE B.NAME = F.NAME)\n";

class scripts_test : public command_test::catalogue_test {
protected:
    void SetUp() override
    {
        command_test::catalogue_test::SetUp();
        ASSERT_TRUE(window.CreateEx(0, nullptr, "Tarvoline", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(5, 5, 150, 25), &window, IDC_SCRIPTS_COMBO));
    }
    // One showing of the query interface; `act` plays the user.
    bool query(const std::function<void(CSqlQueryDialog&)>& act)
    {
        modal_answer user([&act](CDialog& dialog) {
            act(dynamic_cast<CSqlQueryDialog&>(dialog));
            return IDCANCEL;
        });
        return run_query_command(nullptr, catalogue, captured.log, reported);
    }
    static void type(CSqlQueryDialog& dialog, const std::string& name, const std::string& text)
    {
        dialog.m_name.SetWindowText(name.c_str());
        dialog.m_text.SetWindowText(text.c_str());
    }
    static void click(CSqlQueryDialog& dialog, int id)
    {
        static_cast<CButton*>(dialog.GetDlgItem(id))->user_clicked();
    }
    std::vector<std::string> combo_items() const
    {
        std::vector<std::string> items;
        for (int index = 0; index < combo.GetCount(); ++index) {
            CString text;
            combo.GetLBText(index, text);
            items.push_back(text.GetString());
        }
        return items;
    }

    CWnd window;
    CComboBox combo;
    captured_log captured;
    reported_scripts reported;
};

TEST_F(scripts_test, a_single_script_shows_selected_in_a_disabled_combo_box)
{
    fill_scripts_combo(combo, catalogue, "mergedifferences", captured.log, reported);
    EXPECT_EQ(combo_items(), std::vector<std::string>({"MergeDifferences"}));
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_FALSE(combo.IsWindowEnabled());
    EXPECT_TRUE(captured.lines().empty());
}

TEST_F(scripts_test, the_overwrite_question_and_no_leaves_the_repository_byte_identical)
{
    const std::string before = temp_folder::read(repository);
    message_box_answer no(IDNO);
    query([](CSqlQueryDialog& dialog) {
        type(dialog, "mergedifferences", "select 1");
        click(dialog, IDC_QUERY_SAVE);
        click(dialog, IDC_QUERY_CLOSE);
    });
    EXPECT_EQ(no.texts, std::vector<std::string>({"Query script mergedifferences exists. Overwrite?"}));
    EXPECT_EQ(temp_folder::read(repository), before);
    std::string text;
    ASSERT_TRUE(catalogue.scripts.get_text("MergeDifferences", text));
    EXPECT_NE(text, "select 1");
}

TEST_F(scripts_test, save_then_run_prepares_the_script_lists_it_and_the_next_comparison_uses_it)
{
    folder.write("main/both.txt", "same", 1600000000);
    folder.write("backup/both.txt", "other", 1500000000);
    folder.write("main/new.txt", "n", 1600000000);
    message_box_answer yes(IDYES);
    const bool ran = query([](CSqlQueryDialog& dialog) {
        EXPECT_EQ(dialog.m_fields.GetCount(), 6);
        EXPECT_EQ(dialog.m_scripts.GetCount(), 1);
        type(dialog, "OnlyMissingBackup", only_missing_backup);
        click(dialog, IDC_QUERY_SAVE);
        EXPECT_EQ(dialog.m_scripts.GetCount(), 2);
        EXPECT_EQ(dialog.m_scripts.GetCurSel(), 1);
        click(dialog, IDC_QUERY_RUN);
    });
    ASSERT_TRUE(ran);
    EXPECT_TRUE(yes.texts.empty());
    EXPECT_NE(temp_folder::read(repository).find("OnlyMissingBackup"), std::string::npos);
    std::uint64_t id = 0;
    EXPECT_TRUE(catalogue.statement_id("onlymissingbackup", id));

    std::string diff_script = "MergeDifferences";
    fill_scripts_combo(combo, catalogue, diff_script, captured.log, reported);
    EXPECT_EQ(combo_items(), std::vector<std::string>({"MergeDifferences", "OnlyMissingBackup"}));
    EXPECT_TRUE(combo.IsWindowEnabled());
    EXPECT_EQ(combo.GetCurSel(), 0);
    combo.user_selected(1);
    ASSERT_TRUE(select_diff_script(combo, catalogue, diff_script));
    EXPECT_EQ(diff_script, "OnlyMissingBackup");
    EXPECT_EQ(catalogue.diff_script, "OnlyMissingBackup");
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(result_rows(), std::vector<std::string>({"BACKUP new.txt"}));
    EXPECT_TRUE(captured.lines().empty());
}

TEST_F(scripts_test, save_then_close_saves_the_file_but_prepares_nothing)
{
    EXPECT_FALSE(query([](CSqlQueryDialog& dialog) {
        type(dialog, "Later", "select 1");
        click(dialog, IDC_QUERY_SAVE);
        click(dialog, IDC_QUERY_CLOSE);
    }));
    EXPECT_NE(temp_folder::read(repository).find("Later"), std::string::npos);
    std::uint64_t id = 0;
    EXPECT_FALSE(catalogue.statement_id("Later", id));
}

TEST_F(scripts_test, an_edited_script_replaces_its_statement_at_run)
{
    std::uint64_t before = 0;
    ASSERT_TRUE(catalogue.statement_id("MergeDifferences", before));
    message_box_answer yes(IDYES);
    ASSERT_TRUE(query([](CSqlQueryDialog& dialog) {
        dialog.m_scripts.user_selected(0);
        CString name;
        CString text;
        dialog.m_name.GetWindowText(name);
        dialog.m_text.GetWindowText(text);
        EXPECT_EQ(name, "MergeDifferences");
        EXPECT_NE(std::string(text.GetString()).find("UNION ALL"), std::string::npos);
        type(dialog, "MERGEDIFFERENCES", only_missing_backup);
        click(dialog, IDC_QUERY_SAVE);
        EXPECT_EQ(dialog.m_scripts.GetCount(), 1) << "the same script in another case is not listed twice";
        click(dialog, IDC_QUERY_RUN);
    }));
    std::uint64_t after = 0;
    ASSERT_TRUE(catalogue.statement_id("MergeDifferences", after));
    EXPECT_NE(after, before);
    folder.write("main/both.txt", "same", 1600000000);
    folder.write("backup/both.txt", "other", 1500000000);
    ASSERT_TRUE(compare()) << error;
    EXPECT_TRUE(result_rows().empty()) << "the edited script runs: no BACKUP row for both.txt";
}

TEST_F(scripts_test, scripts_that_fail_are_one_error_each_and_the_others_still_load)
{
    message_box_answer answers(IDYES);
    ASSERT_TRUE(query([](CSqlQueryDialog& dialog) {
        type(dialog, "Broken", "selec nothing");
        click(dialog, IDC_QUERY_SAVE);
        type(dialog, "Fine", "select 1");
        click(dialog, IDC_QUERY_SAVE);
        click(dialog, IDC_QUERY_RUN);
    }));
    std::uint64_t id = 0;
    EXPECT_TRUE(catalogue.statement_id("Fine", id));
    EXPECT_FALSE(catalogue.statement_id("Broken", id));

    // At the next start the combo box prepares what the repository holds.
    fs::file_archive restarted;
    restarted.database_file = folder.path().filename().string() + "-again";
    restarted.schema_file = command_test::shipped("schema.sql");
    ASSERT_TRUE(restarted.open_database(error, db::sqlite_db::memory_mode)) << error;
    ASSERT_TRUE(restarted.load_scripts(repository.string(), error)) << error;
    reported_scripts reported_after_restart;
    fill_scripts_combo(combo, restarted, "MergeDifferences", captured.log, reported_after_restart);
    EXPECT_EQ(combo_items(), std::vector<std::string>({"Fine", "MergeDifferences"})) << "Broken is not offered";
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_TRUE(restarted.statement_id("Fine", id));

    const auto lines = captured.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("ERROR Unable to prepare script Broken: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("syntax error"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("ERROR Unable to prepare script Broken: ", 0), 0u) << lines[1];
}

TEST_F(scripts_test, save_refuses_an_empty_name_and_a_script_without_sql_and_reports_a_failed_file)
{
    const std::string before = temp_folder::read(repository);
    message_box_answer ok(IDOK);
    query([this, &before](CSqlQueryDialog& dialog) {
        type(dialog, "  ", "select 1");
        click(dialog, IDC_QUERY_SAVE);
        type(dialog, "Notes", "-- to do\n/* later */\n");
        click(dialog, IDC_QUERY_SAVE);
        EXPECT_EQ(temp_folder::read(repository), before);
        boost::filesystem::remove_all(repository.parent_path());
        type(dialog, "Lost", "select 1");
        click(dialog, IDC_QUERY_SAVE);
        EXPECT_EQ(dialog.m_scripts.GetCount(), 1);
        EXPECT_TRUE(dialog.m_saved.empty());
        click(dialog, IDC_QUERY_CLOSE);
    });
    EXPECT_EQ(ok.texts, std::vector<std::string>({"Enter a name for the query script.",
                                                  "Query script Notes has no SQL statement to save."}));
    const auto lines = captured.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("ERROR Unable to save query script Lost into " + repository.string(), 0), 0u) << lines[0];
}

}  // namespace
