// The Merge menu on real trees and a real catalogue: what is refused, what each conflict rule
// copies, the log lines, the put-off conflicts and the comparison afterwards.

#include "app/merge_fixture.h"

#include "core/utils/file_names.h"

#include <sys/stat.h>

namespace {

using merge_test::merge_fixture;
namespace bfs = boost::filesystem;

using merge_refusals = merge_fixture;
using merge_rules = merge_fixture;
using merge_failures = merge_fixture;
using merge_conflicts = merge_fixture;

// ---- Refusals: nothing is written anywhere ----

TEST_F(merge_refusals, without_a_backup_folder_nothing_is_written_and_one_error_is_logged)
{
    const std::string probe = "tarvoline-probe-" + folder.path().filename().string() + ".txt";
    write_main(probe, "main");
    ASSERT_TRUE(window.compare_folders());
    window.backup_checked = false;
    set_conflict_rule("Force");

    merge.OnMergeRight();
    merge.MergeRow(0);

    EXPECT_FALSE(bfs::exists(bfs::path("/") / probe));
    EXPECT_TRUE(bfs::is_empty(backup_root));
    EXPECT_TRUE(questions.empty());
    ASSERT_EQ(window.texts(logger::error).size(), 2u);
    EXPECT_EQ(window.texts(logger::error)[0], "Merge: no backup folder is selected; nothing was merged");
    EXPECT_EQ(window.texts(logger::error)[1], "Merge row: no backup folder is selected; nothing was merged");
}

TEST_F(merge_refusals, a_table_made_for_other_folders_is_not_merged)
{
    write_main("a.txt", "main");
    ASSERT_TRUE(window.compare_folders());
    const bfs::path other = folder.path() / "other";
    bfs::create_directories(other);
    window.backup = other.string();
    window.custom_filter = true;  // no comparison before the merge: the table stays the old one

    merge.OnMergeRight();
    merge.MergeRow(0);

    EXPECT_TRUE(bfs::is_empty(backup_root));
    EXPECT_TRUE(bfs::is_empty(other));
    EXPECT_EQ(window.texts(logger::error).size(), 2u);
    EXPECT_TRUE(window.logged(logger::error, "not made for the current folders"));
}

TEST_F(merge_refusals, a_failed_comparison_before_the_merge_stops_it)
{
    write_main("a.txt", "main");
    ASSERT_TRUE(window.compare_folders());
    window.main = folder.write("not-a-folder", "file").string();

    merge.OnMergeRight();

    EXPECT_TRUE(bfs::is_empty(backup_root));
    EXPECT_TRUE(window.logged(logger::error, "Merge: the comparison failed; nothing was merged"));
    EXPECT_EQ(window.comparisons, 2);
}

TEST_F(merge_refusals, a_target_changed_since_the_comparison_is_not_overwritten)
{
    write_main("a.txt", "older main", 1600000000);
    write_backup("a.txt", "backup", 1600000100);
    write_main("new.txt", "new");
    window.custom_filter = true;
    ASSERT_TRUE(window.compare_folders());
    write_backup("a.txt", "edited after the comparison", 1600000200);
    write_backup("new.txt", "appeared after the comparison");
    set_conflict_rule("Force");

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "a.txt"), "edited after the comparison");
    EXPECT_EQ(read(backup_root / "new.txt"), "appeared after the comparison");
    EXPECT_EQ(window.texts(logger::error).size(), 2u);
    EXPECT_TRUE(window.logged(logger::error, "Not copied to " + (backup_root / "a.txt").string()
                                                 + ": it changed since the comparison"));
}

TEST_F(merge_refusals, no_answers_no_merge)
{
    write_main("a.txt", "main");
    answers = {false};

    merge.OnMergeRight();

    EXPECT_TRUE(bfs::is_empty(backup_root));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(std::string(questions[0].text.GetString()), "Backup archive will be overwritten. Continue?");
    EXPECT_EQ(questions[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(window.comparisons, 0);
}

// ---- Rules ----

TEST_F(merge_rules, right_copies_the_missing_files_logs_them_and_keeps_their_times)
{
    write_main("a.txt", "aaaa", 1500000000);
    write_main("sub/b.txt", "bb", 1500000100);
    write_main("both.txt", "main side", 1600000000);
    write_backup("both.txt", "backup", 1600000500);

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "sub" / "b.txt"), "bb");
    EXPECT_EQ(modified(backup_root / "a.txt"), 1500000000);
    EXPECT_EQ(read(backup_root / "both.txt"), "backup");
    const auto lines = window.texts(-1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Copying " + window.main + " to " + window.backup + " (12.00 B)\n");
    EXPECT_TRUE(window.logged(-1, "Copy " + (main_root / "a.txt").string() + " to " + (backup_root / "a.txt").string() + "\n"));
    EXPECT_EQ(lines[3].substr(0, lines[3].find(" difference(s)")), "3");
    EXPECT_NE(lines[3].find(" difference(s) merged in "), std::string::npos);
    EXPECT_EQ(lines[3].substr(lines[3].size() - 13), " millseconds\n");
    EXPECT_EQ(window.comparisons, 2);
    EXPECT_EQ(kinds(), std::vector<std::string>({"TIME"}));
}

TEST_F(merge_rules, right_force_replaces_and_the_comparison_then_shows_no_time_rows)
{
    write_main("a.txt", "new", 1600000100);
    write_backup("a.txt", "old", 1600000000);
    write_main("b.txt", "bbb");
    write_backup("only-backup.txt", "kept");
    set_conflict_rule("fORCE");

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "a.txt"), "new");
    EXPECT_EQ(modified(backup_root / "a.txt"), 1600000100);
    EXPECT_EQ(kinds(), std::vector<std::string>({"FILE"}));
    EXPECT_TRUE(window.texts(logger::error).empty());
}

TEST_F(merge_rules, rename_keeps_the_old_copy_with_its_content_and_time)
{
    write_main("a.txt", "main version", 1600000000);
    const bfs::path backup_file = write_backup("a.txt", "backup version", 1600000100);
    set_conflict_rule("rename");

    const std::time_t before = std::time(nullptr);
    merge.OnMergeLeft();
    const std::time_t after = std::time(nullptr);

    EXPECT_EQ(read(main_root / "a.txt"), "backup version");
    int kept = 0;
    for (std::time_t moment = before; moment <= after; ++moment) {
        const bfs::path copy = utils::make_timestamped_name(main_root / "a.txt", &moment);
        if (bfs::exists(copy)) {
            ++kept;
            EXPECT_EQ(read(copy), "main version");
            EXPECT_EQ(modified(copy), 1600000000);
        }
    }
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(questions.at(0).text, "Main archive will be overwritten. Continue?");
    EXPECT_EQ(read(backup_file), "backup version");
}

TEST_F(merge_rules, rename_with_the_old_copy_name_taken_leaves_the_target_alone)
{
    write_main("a.txt", "main version", 1600000100);
    write_backup("a.txt", "backup version", 1600000000);
    const std::time_t now = std::time(nullptr);
    for (std::time_t moment = now - 1; moment <= now + 30; ++moment)
        folder.write("backup/" + utils::make_timestamped_name("a.txt", &moment).string(), "someone else's");
    set_conflict_rule("Rename");

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "a.txt"), "backup version");
    ASSERT_EQ(window.texts(logger::error).size(), 1u);
    EXPECT_NE(window.texts(logger::error)[0].find("the name is taken"), std::string::npos);
    EXPECT_NE(window.texts(logger::error)[0].find((backup_root / "a.txt").string()), std::string::npos);
}

TEST_F(merge_rules, rename_into_a_read_only_folder_leaves_the_target_alone)
{
    if (test_support::running_as_root())
        GTEST_SKIP() << "root writes into read-only folders";
    write_main("a.txt", "main version", 1600000100);
    write_backup("ro/a.txt", "backup version", 1600000000);
    write_main("ro/a.txt", "main version", 1600000100);
    bfs::permissions(backup_root / "ro", bfs::owner_read | bfs::owner_exe);
    set_conflict_rule("Rename");

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "ro" / "a.txt"), "backup version");
    EXPECT_TRUE(
        window.logged(logger::error, "Unable to keep the old version of " + (backup_root / "ro" / "a.txt").string()));
}

TEST_F(merge_rules, rename_keeps_no_old_copy_where_a_file_meets_a_folder)
{
    write_main("clash", "main file");
    write_backup("clash/inner", "backup folder's file");
    write_main("clash2/inner", "main folder's file");
    write_backup("clash2", "backup file");
    const auto names = [this] {
        std::vector<std::string> found;
        for (bfs::recursive_directory_iterator entry(folder.path()), end; entry != end; ++entry)
            found.push_back(entry->path().string());
        std::sort(found.begin(), found.end());
        return found;
    };
    const std::vector<std::string> before = names();
    set_conflict_rule("Rename");

    merge.OnMergeRight();
    merge.OnMergeLeft();

    EXPECT_EQ(names(), before);
    const auto errors = window.texts(logger::error);
    EXPECT_FALSE(errors.empty());
    for (const std::string& line : errors)
        EXPECT_EQ(line.find("changed since the comparison"), std::string::npos) << line;
    for (const char* folder_side : {"backup/clash", "main/clash2"})
        EXPECT_TRUE(window.logged(logger::error, (folder.path() / folder_side).string() + " is a folder"))
            << folder_side;
}

TEST_F(merge_rules, mock_copy_makes_no_old_copies_and_copies_nothing)
{
    write_main("a.txt", "main version", 1600000100);
    write_backup("a.txt", "backup version", 1600000000);
    write_main("b.txt", "only main");
    window.archive.mock_copy = true;
    set_conflict_rule("Rename");

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "a.txt"), "backup version");
    EXPECT_FALSE(bfs::exists(backup_root / "b.txt"));
    std::size_t entries = 0;
    for (bfs::directory_iterator entry(backup_root), end; entry != end; ++entry)
        ++entries;
    EXPECT_EQ(entries, 1u);
    EXPECT_TRUE(window.logged(-1, "Copy " + (backup_root / "a.txt").string() + " to " + (backup_root / "a_").string()));
    EXPECT_EQ(rows(), 2u);
}

TEST_F(merge_rules, both_ways_time_beats_size)
{
    write_main("a.txt", "0123456789 ten longer", 1600000000);
    write_backup("a.txt", "0123456789!", 1600000001);
    write_main("same.txt", "same");
    write_backup("only.txt", "from backup");

    merge.OnMergeBoth();

    EXPECT_EQ(read(main_root / "a.txt"), "0123456789!");
    EXPECT_EQ(read(main_root / "only.txt"), "from backup");
    EXPECT_EQ(read(backup_root / "same.txt"), "same");
    const auto info = window.texts(logger::info);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0], "File " + (backup_root / "a.txt").string() + " newer than " + (main_root / "a.txt").string());
    EXPECT_EQ(questions.at(0).text, "Archives will be synchronised. Continue?");
    EXPECT_EQ(rows(), 0u);
}

TEST_F(merge_rules, both_ways_equal_pair_is_left_without_a_line)
{
    const bfs::path a = write_main("a.txt", "same", 1600000000);
    const bfs::path b = write_backup("a.txt", "same", 1600000000);
    EXPECT_EQ(merge.SynchronisePair(a, b), 0);
    EXPECT_TRUE(window.log.empty());
}

TEST_F(merge_rules, ignore_copies_nothing_both_ways_but_is_the_default_rule_one_way)
{
    write_main("a.txt", "main");
    write_backup("b.txt", "backup");
    set_conflict_rule("IGNORE");

    merge.OnMergeBoth();
    EXPECT_FALSE(bfs::exists(backup_root / "a.txt"));
    EXPECT_FALSE(bfs::exists(main_root / "b.txt"));

    merge.OnMergeRight();
    EXPECT_TRUE(bfs::exists(backup_root / "a.txt"));
    EXPECT_FALSE(bfs::exists(main_root / "b.txt"));
}

TEST_F(merge_rules, row_sizes_follow_the_difference_kind)
{
    window.archive.create_result_table(window.archive.result);
    data::data_table& columns = *window.archive.result;
    const auto row = [&](const char* size, const char* time, const char* backup_size, const char* backup_time,
                         const char* kind) {
        return *columns.add_row_values({"", "n", "/m", size, time, "", "n", "/b", backup_size, backup_time, kind});
    };
    EXPECT_EQ(merge_command::row_size(row("", "", "7", "1", "FILE")), 7u);
    EXPECT_EQ(merge_command::row_size(row("5", "1", "", "", "BACKUP")), 5u);
    EXPECT_EQ(merge_command::row_size(row("5", "1", "9", "1", "SIZE")), 9u);
    EXPECT_EQ(merge_command::row_size(row("5", "3", "9", "2", "TIME")), 5u);
    EXPECT_EQ(merge_command::row_size(row("5", "2", "9", "2", "TIME")), 9u);
    EXPECT_EQ(merge_command::row_size(row("5", "2", "9", "2", "time")), 0u);
    EXPECT_EQ(merge_command::row_size(row("5", "2", "9", "2", "")), 0u);
}

TEST_F(merge_rules, automatic_only_announces_itself)
{
    write_main("a.txt", "main");
    answers = {true, false};
    merge.OnMergeAutomatic();
    merge.OnMergeAutomatic();
    EXPECT_EQ(questions.at(0).text, "Archives will be automatically synchronised. Continue?");
    EXPECT_EQ(window.texts(-1), std::vector<std::string>({"Automatic merge: coming soon\n"}));
    EXPECT_TRUE(bfs::is_empty(backup_root));
}

// ---- Failures stay with their row ----

TEST_F(merge_failures, a_row_that_cannot_be_copied_fails_alone_and_the_comparison_still_runs)
{
    write_main("a.txt", "a");
    write_main("blocked/x.txt", "x");
    write_main("z.txt", "z");
    // A file where the copy needs a folder: the copy into it fails, as a read-only folder
    // would, also for root.
    write_backup("blocked", "in the way");

    merge.OnMergeRight();

    EXPECT_EQ(read(backup_root / "a.txt"), "a");
    EXPECT_EQ(read(backup_root / "z.txt"), "z");
    EXPECT_EQ(read(backup_root / "blocked"), "in the way");
    ASSERT_EQ(window.texts(logger::error).size(), 1u);
    EXPECT_NE(window.texts(logger::error)[0].find("blocked"), std::string::npos);
    EXPECT_EQ(window.comparisons, 2);
    EXPECT_EQ(kinds(), std::vector<std::string>({"BACKUP", "FILE"}));
}

TEST_F(merge_failures, a_table_of_empty_files_fills_the_bar_and_cancel_does_not_shorten_the_merge)
{
    for (const char* name : {"a", "b", "c"})
        write_main(name, "");
    write_main("d", "dddd");
    int steps = 0;
    window.on_step = [&](CProgressDialog& progress) {
        if (++steps == 1)
            progress.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PROGRESS_CANCEL, BN_CLICKED), 0);
    };

    merge.OnMergeRight();

    EXPECT_EQ(steps, 4);
    for (const char* name : {"a", "b", "c", "d"})
        EXPECT_TRUE(bfs::exists(backup_root / name)) << name;

    bfs::remove(main_root / "d");
    bfs::remove(backup_root / "d");
    write_main("e", "");
    int last_position = -1;
    window.on_step = [&](CProgressDialog& progress) { last_position = progress.m_progress_bar.GetPos(); };
    merge.OnMergeRight();
    EXPECT_EQ(last_position, 0x7fffffff);
}

TEST_F(merge_failures, a_table_without_the_columns_of_differences_is_an_error_not_a_crash)
{
    write_main("a.txt", "a");
    ASSERT_TRUE(window.compare_folders());
    window.archive.result = std::make_unique<data::data_table>();
    window.archive.result->set_column(1, "name", "Name");
    window.archive.result->add_row_values({"a.txt"});
    window.custom_filter = true;

    merge.OnMergeRight();

    EXPECT_FALSE(bfs::exists(backup_root / "a.txt"));
    EXPECT_EQ(window.texts(logger::error), std::vector<std::string>({"Merge: Column diff does not exist"}));
    EXPECT_EQ(window.comparisons, 2);
}

// ---- Put-off conflicts ----

TEST_F(merge_conflicts, put_off_pairs_wait_for_the_question_and_no_leaves_them)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        write_main(name, "main", 1600000000);
        write_backup(name, "backup", 1600000100);
    }
    write_main("d.txt", "one-sided");
    set_conflict_rule("putoff");
    answers = {true, false};

    merge.OnMergeBoth();

    EXPECT_EQ(read(backup_root / "d.txt"), "one-sided");
    EXPECT_EQ(merge.put_off().size(), 3u);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].text, "Conflicts detected: 3. Continue?");
    EXPECT_EQ(questions[1].type, MB_YESNO | MB_ICONHAND);
    EXPECT_TRUE(window.logged(-1, "Merge " + (main_root / "a.txt").string() + " and " + (backup_root / "a.txt").string()
                                      + " delayed\n"));
    EXPECT_EQ(dialogs_shown, 0);
    EXPECT_EQ(read(main_root / "a.txt"), "main");
    EXPECT_EQ(rows(), 3u);
    EXPECT_EQ(window.comparisons, 2);
}

TEST_F(merge_conflicts, yes_opens_each_pair_in_turn_and_a_vanished_pair_is_skipped)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        write_main(name, "main", 1600000000);
        write_backup(name, "backup", 1600000100);
    }
    set_conflict_rule("PutOff");
    std::vector<std::string> names;
    on_dialog = [&](CMergeFileDlg& dialog) {
        names.push_back(dialog.m_name.GetString());
        if (names.size() == 1)
            bfs::remove(backup_root / "b.txt");
        return names.size() == 1 ? IDC_MERGE_COPY_RIGHT : IDCANCEL;
    };

    merge.OnMergeBoth();

    EXPECT_EQ(names, std::vector<std::string>({"a.txt", "c.txt"}));
    EXPECT_EQ(read(backup_root / "a.txt"), "main");
    EXPECT_EQ(read(backup_root / "c.txt"), "backup");
    EXPECT_TRUE(window.logged(logger::error, (backup_root / "b.txt").string() + " no longer exists"));

    // The next merge starts with an empty list.
    answers = {true, false};
    merge.OnMergeBoth();
    EXPECT_EQ(questions.back().text, "Conflicts detected: 1. Continue?");
}

TEST_F(merge_conflicts, ask_opens_the_dialog_during_the_walk)
{
    write_main("a.txt", "main", 1600000100);
    write_backup("a.txt", "backup", 1600000000);
    set_conflict_rule("ASK");
    on_dialog = [](CMergeFileDlg&) { return IDC_MERGE_COPY_LEFT; };

    merge.OnMergeBoth();

    EXPECT_EQ(dialogs_shown, 1);
    EXPECT_EQ(read(main_root / "a.txt"), "backup");
    EXPECT_EQ(rows(), 0u);
}

TEST_F(merge_conflicts, ask_replaces_the_file_as_soon_as_the_user_chooses)
{
    for (const char* name : {"a.txt", "b.txt"}) {
        write_main(name, std::string("main ") + name, 1600000100);
        write_backup(name, std::string("backup ") + name, 1600000000);
    }
    set_conflict_rule("Ask");
    std::vector<std::string> names;
    std::string first_target_at_second_dialog;
    on_dialog = [&](CMergeFileDlg& dialog) {
        names.push_back(dialog.m_name.GetString());
        if (names.size() == 2)
            first_target_at_second_dialog = read(backup_root / names[0]);
        return names.size() == 1 ? IDC_MERGE_COPY_RIGHT : IDCANCEL;
    };

    merge.OnMergeBoth();

    // A merge stopped at the second question keeps the first answer.
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(first_target_at_second_dialog, "main " + names[0]);
    EXPECT_EQ(read(backup_root / names[1]), "backup " + names[1]);
}

}  // namespace
