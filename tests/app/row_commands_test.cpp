// Row commands and grid events without a display, on real files: what would be launched (as
// argument vectors), which files go, what the settings keep, what the log says.

#include "command_support.h"
#include "data_grid_fixture.h"
#include "log_capture.h"

#include "app/CommandExecDialog.h"
#include "app/RowCommands.h"
#include "app/settings_keys.h"
#include "core/fs/file_archive.h"
#include "grid/UGMultiSelect.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/process_launcher.h"
#include "platform/base/virtual_keys.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

namespace bfs = boost::filesystem;
using arguments = std::vector<std::string>;

void click(CDialog& dialog, int id)
{
    dialog.GetDlgItem(id)->SendMessage(BM_CLICK);
}

void release_key(CDataGridCtrl& grid, UINT key)
{
    grid.OnKeyReleased(&key, 0);
}

class row_commands_test : public data_grid_test {
protected:
    void SetUp() override
    {
        main_root = folder.path() / "main";
        backup_root = folder.path() / "backup";
        previous_launcher = platform::set_process_launcher([this](const platform::process_request& request) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!request.arguments.empty() && request.arguments[0] == "gdbus")
                shown_in_folder.push_back(request.arguments);
            else
                launched.push_back(request.arguments);
            return start_succeeds ? 0 : 2;
        });
    }
    void TearDown() override
    {
        platform::set_process_launcher(previous_launcher);
        platform::set_modal_dialog_handler(nullptr);
        platform::set_message_box_handler(nullptr);
    }

    void settings(const std::string& body)
    {
        const std::string content = "<?xml version=\"1.0\"?>\n<Tarvoline>" + body + "</Tarvoline>\n";
        ASSERT_TRUE(store.load(folder.write("settings.xml", content).string())) << store.last_error();
    }
    // A row for `name` in the sub-folder `sub` of both roots; an empty side stays empty, as the
    // diff script leaves the side a file is missing from.
    void add_row(const std::string& id, const std::string& sub, const std::string& name, bool on_main,
                 bool on_backup, const std::string& kind)
    {
        const std::string main_folder = on_main ? (main_root / sub).string() : "";
        const std::string backup_folder = on_backup ? (backup_root / sub).string() : "";
        table.add_row_values({ on_main ? id : "", on_main ? name : "", main_folder, "1", "1700000000",
                               on_backup ? id : "", on_backup ? name : "", backup_folder, "1", "1600000000", kind });
        if (on_main)
            folder.write("main/" + sub + "/" + name, "main " + name);
        if (on_backup)
            folder.write("backup/" + sub + "/" + name, "backup " + name);
    }
    void start()
    {
        show();
        grid.SetGridEventCallback(commands.GridEventCallback());
        grid.GetSelectionManager()->ClearAll();
    }
    void select_row(int row) { grid.SelectRange(0, row, 6, row); }

    bfs::path main_file(const std::string& sub, const std::string& name) const { return main_root / sub / name; }
    bfs::path backup_file(const std::string& sub, const std::string& name) const { return backup_root / sub / name; }

    log_capture capture;
    fs::file_archive catalogue;
    command_test::host host { store, capture.log, catalogue, grid };
    int& comparisons = host.comparisons;
    RowCommands commands { host };
    bfs::path main_root;
    bfs::path backup_root;
    std::mutex mutex;
    std::vector<arguments> launched;
    std::vector<arguments> shown_in_folder;
    bool start_succeeds = true;
    platform::process_launcher previous_launcher;
};

// ---- Open, Open with and the "Command prompt" dialog

TEST_F(row_commands_test, open_runs_the_associated_program_with_the_file_as_its_one_argument)
{
    settings("<OpenWith><FileType extension=\".txt\">/usr/bin/editor</FileType></OpenWith>");
    add_row("1", "docs", "a.txt", true, true, "SIZE");
    add_row("2", "docs", "b.pdf", true, true, "SIZE");
    start();
    grid.SelectRange(0, 0, 6, 1);

    commands.RunOrOpen("backup", false);

    const std::string file = backup_file("docs", "a.txt").string();
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (arguments { "/usr/bin/editor", file }));
    EXPECT_EQ(capture.texts("INFO"), (std::vector<std::string> { "Running \"/usr/bin/editor\" \"" + file + "\"" }));
}

TEST_F(row_commands_test, open_reports_missing_files_unassociated_extensions_and_an_empty_selection)
{
    settings("<OpenWith><FileType extension=\".txt\">/usr/bin/editor</FileType></OpenWith>");
    add_row("1", "docs", "only-backup.txt", false, true, "FILE");
    add_row("2", "docs", "c.pdf", true, true, "SIZE");
    start();
    commands.RunOrOpen("file", false);
    grid.SelectRange(0, 0, 6, 1);
    // The main side of row 1 is missing: its empty cells must not name the root folder.
    commands.RunOrOpen("file", false);
    commands.GoTo("file");

    EXPECT_TRUE(launched.empty());
    ASSERT_EQ(shown_in_folder.size(), 1u);
    EXPECT_EQ(shown_in_folder[0].at(9), "['" + platform::file_uri(main_file("docs", "c.pdf").string()) + "']");
    EXPECT_EQ(capture.texts("ERROR"), (std::vector<std::string> {
                                          "Run/Open: no row/cell selected",
                                          "Run/Open: selected file does not exist",
                                          "Run/Open: no application associated to the file extension [.pdf]",
                                      }));
}

TEST_F(row_commands_test, open_with_an_unassociated_file_remembers_the_chosen_program_and_runs_it_with_the_options)
{
    settings("");
    add_row("1", "docs", "notes.md", true, true, "TIME");
    start();
    select_row(0);
    const std::string program = folder.write("bin/viewer", "#").string();
    bool remember_started_checked = false;
    bool run_started_enabled = true;
    bool ended_without_program = true;
    platform::set_modal_dialog_handler([&](CDialog& running) {
        remember_started_checked = running.IsDlgButtonChecked(IDC_COMMAND_REMEMBER) == BST_CHECKED;
        run_started_enabled = running.GetDlgItem(IDOK)->IsWindowEnabled() != FALSE;
        click(running, IDOK);
        running.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter
        ended_without_program = running.has_ended();
        running.SetDlgItemText(IDC_COMMAND_PROGRAM, program.c_str());
        running.SetDlgItemText(IDC_COMMAND_OPTIONS, "--page 2 \"two words\"");
        click(running, IDOK);
        return IDCANCEL;
    });

    commands.RunOrOpen("file", true);

    const std::string file = main_file("docs", "notes.md").string();
    EXPECT_TRUE(remember_started_checked) << "no association yet, so the choice is remembered by default";
    EXPECT_FALSE(run_started_enabled) << "no program yet";
    EXPECT_FALSE(ended_without_program) << "neither Run nor Enter runs a program that does not exist";
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (arguments { program, "--page", "2", "two words", file }));
    EXPECT_EQ(settings_keys::read_open_with(store, ".md"), program);
    config::xml_parameters reread;
    ASSERT_TRUE(reread.load(store.file_name()));
    EXPECT_EQ(settings_keys::read_open_with(reread, ".md"), program) << "the settings file was saved";
    EXPECT_EQ(capture.texts("INFO"),
              (std::vector<std::string> { "Saved: association between extension '.md' and tool " + program,
                                          "Running \"" + program + "\" --page 2 \"two words\" \"" + file + "\"" }));
}

TEST_F(row_commands_test, a_program_that_cannot_start_is_reported_with_its_error_code)
{
    settings("<OpenWith><FileType extension=\".txt\">/nowhere/editor</FileType></OpenWith>");
    add_row("1", "docs", "a.txt", true, true, "SIZE");
    start();
    select_row(0);
    start_succeeds = false;
    commands.RunOrOpen("file", false);
    const std::string text = "\"/nowhere/editor\" \"" + main_file("docs", "a.txt").string() + "\"";
    EXPECT_EQ(capture.texts("ERROR"),
              (std::vector<std::string> { "Unable to execute command \"" + text + "\": error code 2" }));
}

// ---- argument safety

// Read back what each started recorder received, once `count` of them have written.
std::vector<arguments> recorded_arguments(const bfs::path& folder, std::size_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::vector<bfs::path> files;
    while (std::chrono::steady_clock::now() < deadline) {
        files.clear();
        for (const auto& entry : bfs::directory_iterator(folder))
            if (entry.path().filename().string().front() != '.')
                files.push_back(entry.path());
        if (files.size() >= count)
            break;
        std::this_thread::yield();
    }
    std::vector<arguments> received;
    for (const bfs::path& file : files) {
        const std::string bytes = test_support::temp_folder::read(file);
        arguments words;
        for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            words.push_back(bytes.substr(start, end - start));
        received.push_back(words);
    }
    std::sort(received.begin(), received.end());
    return received;
}

TEST_F(row_commands_test, file_names_with_quotes_substitutions_and_question_marks_arrive_as_one_unchanged_argument)
{
    const std::string recorder = ARGV_RECORDER;
    settings("<OpenWith><FileType extension=\".txt\">" + recorder + "</FileType></OpenWith>"
             "<MergeOptions><CompareTool>" + recorder + " --left=? ?</CompareTool></MergeOptions>");
    const std::vector<std::string> names = { "a \"b\".txt", "$(touch PWNED).txt", "q?.txt", "semi;colon\nline.txt" };
    for (std::size_t index = 0; index < names.size(); ++index)
        add_row(std::to_string(index + 1), "odd", names[index], true, true, "TIME");
    start();
    grid.SelectRange(0, 0, 6, static_cast<int>(names.size()) - 1);
    platform::set_modal_dialog_handler([](CDialog& running) {
        running.SetDlgItemText(IDC_COMMAND_OPTIONS, "-x \"y z\"");
        click(running, IDOK);
        return IDCANCEL;
    });

    // What would run, then what a started program really receives.
    commands.RunOrOpen("file", false);
    commands.RunOrOpen("file", true);
    commands.Compare();
    const bfs::path records = folder.path() / "records";
    bfs::create_directories(records);
    ::setenv("TARVOLINE_ARGV_FOLDER", records.c_str(), 1);
    platform::set_process_launcher(nullptr);
    commands.RunOrOpen("file", false);
    commands.Compare();

    std::vector<arguments> expected;
    ASSERT_EQ(launched.size(), 3 * names.size());
    for (std::size_t index = 0; index < names.size(); ++index) {
        const std::string main_side = main_file("odd", names[index]).string();
        const std::string backup_side = backup_file("odd", names[index]).string();
        EXPECT_EQ(launched[index], (arguments { recorder, main_side }));
        EXPECT_EQ(launched[names.size() + index], (arguments { recorder, "-x", "y z", main_side }));
        EXPECT_EQ(launched[2 * names.size() + index], (arguments { recorder, "--left=" + backup_side, main_side }))
            << "each row starts again from the tool text, and a ? in a name is no placeholder";
        expected.push_back({ main_side });
        expected.push_back({ "--left=" + backup_side, main_side });
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(recorded_arguments(records, expected.size()), expected);
    EXPECT_FALSE(bfs::exists("PWNED"));
    EXPECT_FALSE(bfs::exists(main_root / "odd" / "PWNED"));
    EXPECT_TRUE(capture.texts("ERROR").empty());
    ::unsetenv("TARVOLINE_ARGV_FOLDER");
}

// ---- Compare

TEST_F(row_commands_test, compare_runs_one_command_per_row_with_the_backup_file_first)
{
    settings("<MergeOptions><CompareTool>diff ? ?</CompareTool></MergeOptions>");
    add_row("1", "x", "one.txt", true, true, "TIME");
    add_row("2", "y", "two.txt", true, true, "SIZE");
    start();
    grid.SelectRange(0, 0, 6, 1);
    commands.Compare();

    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[0], (arguments { "diff", backup_file("x", "one.txt").string(), main_file("x", "one.txt").string() }));
    EXPECT_EQ(launched[1], (arguments { "diff", backup_file("y", "two.txt").string(), main_file("y", "two.txt").string() }));
    EXPECT_EQ(capture.texts("INFO")[0], "Running diff \"" + backup_file("x", "one.txt").string() + "\" \"" +
                                            main_file("x", "one.txt").string() + "\"");
}

TEST_F(row_commands_test, compare_without_two_placeholders_or_a_tool_or_a_selection_runs_nothing)
{
    add_row("1", "x", "one.txt", true, true, "TIME");
    settings("");
    start();
    commands.Compare();
    settings("<MergeOptions><CompareTool>diff ?</CompareTool></MergeOptions>");
    commands.Compare();
    select_row(0);
    commands.Compare();

    EXPECT_TRUE(launched.empty());
    EXPECT_EQ(capture.texts("ERROR"), (std::vector<std::string> { "Compare: no tool selected", "Compare: no row/cell selected",
                                                                  "Compare: the tool needs two ? placeholders" }));
}

// ---- Delete: the command and the Delete key

TEST_F(row_commands_test, the_delete_key_with_yes_removes_exactly_the_selected_rows_files_from_both_folders)
{
    settings("");
    add_row("1", "d", "keep-before.txt", true, true, "SIZE");
    add_row("2", "d", "gone.txt", true, true, "SIZE");
    add_row("3", "d", "keep-after.txt", true, true, "SIZE");
    start();
    select_row(1);
    std::string question;
    platform::set_message_box_handler([&](const platform::message_box_request& request) {
        question = static_cast<const char*>(request.text);
        return IDYES;
    });

    release_key(grid, VK_DELETE);

    EXPECT_EQ(question, "Delete selected rows?\nThe files of these rows are deleted from both folders.\n\n1 row:\ngone.txt");
    EXPECT_FALSE(bfs::exists(main_file("d", "gone.txt")));
    EXPECT_FALSE(bfs::exists(backup_file("d", "gone.txt")));
    for (const char* kept : { "keep-before.txt", "keep-after.txt" }) {
        EXPECT_TRUE(bfs::exists(main_file("d", kept))) << kept;
        EXPECT_TRUE(bfs::exists(backup_file("d", kept))) << kept;
    }
    EXPECT_EQ(comparisons, 1) << "the grid asks for a refresh after the deletion";
    EXPECT_EQ(capture.texts("INFO"), (std::vector<std::string> { "Deleted file: " + main_file("d", "gone.txt").string(),
                                                                 "Deleted file: " + backup_file("d", "gone.txt").string() }));
}

TEST_F(row_commands_test, the_delete_key_with_no_keeps_every_file_and_a_deselected_row_survives_yes)
{
    settings("");
    add_row("1", "d", "first.txt", true, true, "SIZE");
    add_row("2", "d", "second.txt", true, false, "BACKUP");
    start();
    int answer = IDNO;
    platform::set_message_box_handler([&](const platform::message_box_request&) { return answer; });
    CUGMultiSelect& selection = *grid.GetSelectionManager();
    selection.OnLeftPress(1, 0, 0);
    selection.OnLeftPress(1, 1, MK_CONTROL);
    release_key(grid, VK_DELETE);
    EXPECT_TRUE(bfs::exists(main_file("d", "first.txt")));
    EXPECT_TRUE(bfs::exists(main_file("d", "second.txt")));

    // A second Ctrl+click on the first row's cell deselects it.
    selection.OnLeftPress(1, 0, MK_CONTROL);
    answer = IDYES;
    release_key(grid, VK_DELETE);
    EXPECT_TRUE(bfs::exists(main_file("d", "first.txt")));
    EXPECT_TRUE(bfs::exists(backup_file("d", "first.txt")));
    EXPECT_FALSE(bfs::exists(main_file("d", "second.txt")));
    EXPECT_TRUE(bfs::exists(backup_root)) << "the missing backup side is no folder to remove";
}

TEST_F(row_commands_test, delete_removes_one_side_of_the_selected_rows_never_a_folder_then_compares_again)
{
    settings("");
    add_row("1", "d", "a.txt", true, true, "SIZE");
    add_row("2", "d", "b.txt", true, true, "SIZE");
    add_row("3", "d", "now-a-folder", true, true, "SIZE");
    bfs::remove(main_file("d", "now-a-folder"));
    bfs::create_directories(main_file("d", "now-a-folder"));
    start();
    platform::set_message_box_handler([](const platform::message_box_request&) { return IDYES; });
    commands.Delete("file");
    grid.SelectRange(0, 0, 6, 0);
    grid.SelectRange(0, 2, 6, 2);
    commands.Delete("file");

    EXPECT_FALSE(bfs::exists(main_file("d", "a.txt")));
    EXPECT_TRUE(bfs::exists(backup_file("d", "a.txt")));
    EXPECT_TRUE(bfs::exists(main_file("d", "b.txt")));
    EXPECT_TRUE(bfs::is_directory(main_file("d", "now-a-folder")));
    EXPECT_EQ(comparisons, 1);
    EXPECT_EQ(grid.GetSelectionManager()->GetBlockCount(), 0);
    EXPECT_EQ(capture.texts("ERROR"),
              (std::vector<std::string> { "Go to file: no row/cell selected",
                                          "Delete file: " + main_file("d", "now-a-folder").string() + " is not a file" }));
}

TEST_F(row_commands_test, delete_from_the_menu_asks_naming_the_side_and_its_files_and_logs_each_removal)
{
    settings("");
    add_row("1", "café", "naïve résumé.txt", false, true, "FILE");
    add_row("2", "d", "b.txt", true, true, "SIZE");
    add_row("3", "d", "only-main.txt", true, false, "BACKUP");
    start();
    grid.SelectRange(0, 0, 6, 2);
    std::vector<std::string> questions;
    int answer = IDNO;
    platform::set_message_box_handler([&](const platform::message_box_request& request) {
        questions.push_back(static_cast<const char*>(request.text));
        return answer;
    });

    commands.Delete("backup");
    const std::string question = "Delete the backup files of the selected rows?\nThese files are deleted from the "
                                 "backup folder.\n\n2 files:\n" + backup_file("café", "naïve résumé.txt").string() + "\n"
                                 + backup_file("d", "b.txt").string();
    EXPECT_EQ(questions, std::vector<std::string> { question });
    EXPECT_TRUE(bfs::exists(backup_file("café", "naïve résumé.txt"))) << "No keeps the files";
    EXPECT_EQ(comparisons, 0);

    answer = IDYES;
    commands.Delete("backup");
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_FALSE(bfs::exists(backup_file("café", "naïve résumé.txt")));
    EXPECT_FALSE(bfs::exists(backup_file("d", "b.txt")));
    EXPECT_TRUE(bfs::exists(main_file("d", "b.txt")));
    EXPECT_EQ(capture.texts("INFO"),
              (std::vector<std::string> { "Deleted file: " + backup_file("café", "naïve résumé.txt").string(),
                                          "Deleted file: " + backup_file("d", "b.txt").string() }));
    EXPECT_EQ(comparisons, 1);
}

// ---- column widths

TEST_F(row_commands_test, a_resized_column_keeps_its_width_under_its_own_heading_for_the_next_start)
{
    settings("");
    add_row("1", "d", "a.txt", true, true, "SIZE");
    start();
    grid.SetColumnWidthAt(2, 150);

    config::xml_parameters next_start;
    ASSERT_TRUE(next_start.load(store.file_name()));
    EXPECT_EQ(settings_keys::read_text(next_start, settings_keys::column_width("File Size")), "150");
    EXPECT_EQ(settings_keys::read_text(next_start, settings_keys::column_width("File Name")), "");
    data::data_table next_table;
    CDataGridCtrl next_grid;
    GridAppearance next_appearance(next_grid, next_start);
    name_result_columns(next_table);
    ASSERT_TRUE(next_appearance.DefineColumns(next_table));
    EXPECT_EQ(next_grid.GetColumnsInfo().AtPosition(2).width, 150u);
    EXPECT_EQ(next_grid.GetColumnsInfo().AtPosition(1).width, 200u);
}

// ---- composing commands

TEST(external_command, the_last_two_question_marks_of_the_tool_text_are_the_placeholders)
{
    external_command::command composed;
    ASSERT_TRUE(external_command::compare_files("tool -q? \"?\" ?", "/b ?", "/m", composed));
    EXPECT_EQ(composed.arguments, (arguments { "tool", "-q?", "/b ?", "/m" }));
    EXPECT_EQ(composed.text, "tool -q? \"\"/b ?\"\" \"/m\"");
    EXPECT_FALSE(external_command::compare_files("?", "/b", "/m", composed));
    EXPECT_FALSE(external_command::compare_files("tool", "/b", "/m", composed));
}

}  // namespace
