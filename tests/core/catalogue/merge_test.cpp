#include "catalogue_fixture.h"

#include "core/fs/copy_temporary.h"

#include <chrono>
#include <csignal>
#include <future>
#include <memory>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

class merge : public catalogue_fixture {
protected:
    static fs::file_archive::chooser choose(int direction)
    {
        return [direction](const bfs::path&, const bfs::path&) { return direction; };
    }

    const data::data_row& row_named(const std::string& name) const { return *by_name(*table).at(name); }

    std::vector<std::string> leftovers(const bfs::path& root) const
    {
        std::vector<std::string> found;
        for (bfs::recursive_directory_iterator entry(root), end; entry != end; ++entry)
            if (entry->path().filename().string().find(".tarvoline-") != std::string::npos)
                found.push_back(entry->path().string());
        return found;
    }

    fs::copy_counts counters;
};

TEST_F(merge, main_to_backup_creates_folders_and_counts)
{
    write_main("x/y/new.txt", "12345", 1500000000);
    write_backup("keep.txt", "k");
    ASSERT_TRUE(compare()) << error;
    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named("new.txt"), &counters, choose(1), error)) << error;

    const bfs::path copied = backup_root / "x" / "y" / "new.txt";
    EXPECT_EQ(test_support::temp_folder::read(copied), "12345");
    EXPECT_EQ(bfs::last_write_time(copied), 1500000000);
    EXPECT_EQ(values(counters), (std::vector<std::uint64_t> { 5, 1, 1, 5 }));
    EXPECT_EQ(archive.backup_bytes.at(0), 1u + 5u);
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, backup_to_main_puts_the_file_at_the_same_relative_place)
{
    write_main("a.txt", "a");
    write_backup("deep/er/only.txt", "backup", 1400000000);
    ASSERT_TRUE(compare()) << error;
    const std::uint64_t before = archive.main_bytes;
    std::vector<std::pair<bfs::path, bfs::path>> asked;
    const fs::file_archive::chooser record = [&asked](const bfs::path& main_side, const bfs::path& backup_side) {
        asked.emplace_back(main_side, backup_side);
        return -1;
    };
    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named("only.txt"), &counters, record, error)) << error;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, main_root / "deep" / "er" / "only.txt");
    EXPECT_EQ(asked[0].second, backup_root / "deep" / "er" / "only.txt");
    EXPECT_EQ(test_support::temp_folder::read(main_root / "deep" / "er" / "only.txt"), "backup");
    EXPECT_EQ(archive.main_bytes, before + 6);
    EXPECT_EQ(counters.files_copied, 1u);
}

TEST_F(merge, chooser_sign_decides_the_direction_whatever_the_kind)
{
    write_main("t.txt", "main side", 1600000100);
    write_backup("t.txt", "backup", 1600000000);
    write_backup("only.txt", "b");
    ASSERT_TRUE(compare()) << error;

    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named("t.txt"), &counters, choose(0), error));
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "t.txt"), "backup");
    EXPECT_EQ(values(counters), (std::vector<std::uint64_t> { 0, 0, 0, 0 }));

    // A FILE row sent main to backup finds no main file and changes nothing.
    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named("only.txt"), &counters, nullptr, error));
    EXPECT_FALSE(bfs::exists(main_root / "only.txt"));
    EXPECT_EQ(counters.entries_handled, 0u);

    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named("t.txt"), &counters, choose(-5), error));
    EXPECT_EQ(test_support::temp_folder::read(main_root / "t.txt"), "backup");
    EXPECT_EQ(bfs::last_write_time(main_root / "t.txt"), 1600000000);
}

TEST_F(merge, merged_trees_compare_equal_afterwards)
{
    write_main("same.txt", "s");
    write_backup("same.txt", "s");
    write_main("x/only-main.txt", "m", 1500000000);
    write_main("size.txt", "1234");
    write_backup("size.txt", "12");
    write_main("time.txt", "new", 1600000500);
    write_backup("time.txt", "old", 1600000000);
    write_backup("y/only-backup.txt", "b", 1400000000);
    ASSERT_TRUE(compare()) << error;
    ASSERT_EQ(table->rows.size(), 4u);

    // Missing files go to the side that lacks them, changed files main to backup.
    const fs::file_archive::chooser both = [](const bfs::path& main_side, const bfs::path&) {
        return bfs::exists(main_side) ? 1 : -1;
    };
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, both, error)) << error;
    EXPECT_EQ(counters.files_copied, 4u);
    EXPECT_EQ(counters.entries_handled, 4u);
    EXPECT_EQ(counters.bytes_copied, 1u + 4u + 3u + 1u);

    ASSERT_TRUE(compare()) << error;
    EXPECT_TRUE(table->rows.empty());
    EXPECT_TRUE(leftovers(main_root).empty());
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, mock_mode_changes_nothing_on_disk_but_counts_and_reports)
{
    write_main("x/y/new.txt", "12345");
    write_main("t.txt", "main", 1600000100);
    write_backup("t.txt", "backup", 1600000000);
    ASSERT_TRUE(compare()) << error;
    std::vector<std::pair<bfs::path, bfs::path>> actions;
    archive.mock_copy = true;
    archive.on_mock_action = [&actions](const bfs::path& source, const bfs::path& target) {
        actions.emplace_back(source, target);
    };
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, nullptr, error)) << error;

    EXPECT_FALSE(bfs::exists(backup_root / "x"));
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "t.txt"), "backup");
    const std::vector<std::pair<bfs::path, bfs::path>> expected = {
        { main_root / "x" / "y", backup_root / "x" / "y" },
        { main_root / "x" / "y" / "new.txt", backup_root / "x" / "y" / "new.txt" },
        { main_root / "t.txt", backup_root / "t.txt" },
    };
    std::multiset<std::pair<bfs::path, bfs::path>> got(actions.begin(), actions.end());
    EXPECT_EQ(got, (std::multiset<std::pair<bfs::path, bfs::path>>(expected.begin(), expected.end())));
    EXPECT_EQ(values(counters), (std::vector<std::uint64_t> { 9, 2, 2, 9 }));
}

TEST_F(merge, copy_onto_a_link_of_itself_leaves_the_file_intact)
{
    const bfs::path original = write_main("a.txt", "precious");
    const bfs::path hard = backup_root / "hard.txt";
    const bfs::path soft = backup_root / "soft.txt";
    bfs::create_directories(backup_root);
    bfs::create_hard_link(original, hard);
    bfs::create_symlink(original, soft);

    for (const bfs::path& target : { original, hard, soft }) {
        EXPECT_TRUE(archive.copy_with_choice(original, target, &counters, nullptr, error)) << error;
        EXPECT_TRUE(archive.copy_file(original, target, error)) << error;
        EXPECT_EQ(test_support::temp_folder::read(original), "precious");
    }
    EXPECT_TRUE(bfs::is_symlink(soft));
    EXPECT_EQ(counters.files_copied, 0u);
    EXPECT_EQ(counters.entries_handled, 3u);
}

TEST_F(merge, overlapping_roots_never_copy_a_file_onto_itself)
{
    write_main("a.txt", "precious");
    archive.set_root(main_root.string() + "/");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    EXPECT_FALSE(archive.record_backup_folder(main_root.string(), table, error, 15));

    std::unique_ptr<data::data_table> rows;
    archive.create_result_table(rows);
    rows->add_row_values({ "1", "a.txt", main_root.string(), "8", "1", "", "", "", "", "", "BACKUP" });
    EXPECT_TRUE(archive.merge_rows(main_root.string() + "/", *rows, &counters, nullptr, error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(main_root / "a.txt"), "precious");
    EXPECT_EQ(counters.files_copied, 0u);
}

TEST_F(merge, failing_row_is_reported_and_the_others_are_merged)
{
    write_main("x/blocked.txt", "b");
    write_main("fine.txt", "f");
    write_main("z/also.txt", "a");
    // The backup holds a file where the blocked row needs a folder.
    write_backup("x", "in the way");
    ASSERT_TRUE(compare()) << error;
    ASSERT_EQ(table->rows.size(), 4u);

    std::unique_ptr<data::data_table> rows;
    archive.create_result_table(rows);
    for (const auto* row : table->rows)
        if (row->cells[10] == "BACKUP")
            rows->add_row_values(row->cells);
    ASSERT_EQ(rows->rows.size(), 3u);
    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *rows, &counters, nullptr, error));
    EXPECT_NE(error.find("blocked.txt"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "fine.txt"), "f");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "z" / "also.txt"), "a");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "x"), "in the way");
    EXPECT_EQ(counters.files_copied, 2u);
}

TEST_F(merge, unreadable_source_fails_its_row_only)
{
    if (test_support::running_as_root())
        GTEST_SKIP() << "root reads every file";
    const bfs::path locked = write_main("locked.txt", "l");
    write_main("fine.txt", "f");
    write_backup("locked.txt", "old backup", 1500000000);
    ASSERT_TRUE(compare()) << error;
    bfs::permissions(locked, bfs::no_perms);
    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, nullptr, error));
    EXPECT_NE(error.find("locked.txt"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "locked.txt"), "old backup");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "fine.txt"), "f");
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, row_outside_its_root_is_refused)
{
    const bfs::path elsewhere = folder.write("elsewhere/a.txt", "a");
    std::unique_ptr<data::data_table> rows;
    archive.create_result_table(rows);
    rows->add_row_values({ "1", "a.txt", elsewhere.parent_path().string(), "1", "1", "", "", "", "", "", "BACKUP" });
    rows->add_row_values({ "", "", "", "", "", "1", "a.txt", elsewhere.parent_path().string(), "1", "1", "FILE" });
    EXPECT_FALSE(archive.merge_row(backup_root.string(), *rows->rows[0], &counters, nullptr, error));
    EXPECT_NE(error.find("does not lie below the main folder"), std::string::npos) << error;
    EXPECT_FALSE(archive.merge_row(backup_root.string(), *rows->rows[1], &counters, choose(-1), error));
    EXPECT_NE(error.find("does not lie below the backup folder"), std::string::npos) << error;
    EXPECT_FALSE(archive.merge_row("", *rows->rows[0], &counters, nullptr, error));
    EXPECT_EQ(values(counters), (std::vector<std::uint64_t> { 0, 0, 0, 0 }));
    EXPECT_FALSE(bfs::exists(backup_root / "a.txt"));
    EXPECT_FALSE(bfs::exists(main_root / "a.txt"));
}

TEST_F(merge, existing_target_folder_receives_the_file_under_its_own_name)
{
    const bfs::path source = write_main("report.txt", "r");
    bfs::create_directories(backup_root / "inbox");
    EXPECT_TRUE(archive.copy_entry(source, backup_root / "inbox", &counters, error,
                                   fs::file_archive::onto_folder::copy_into)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "inbox" / "report.txt"), "r");
    EXPECT_EQ(values(counters), (std::vector<std::uint64_t> { 1, 1, 1, 1 }));
}

TEST_F(merge, replaced_file_keeps_the_source_permissions)
{
    const bfs::path source = write_main("run.sh", "#!/bin/sh\n");
    bfs::permissions(source, bfs::owner_all | bfs::group_read);
    const bfs::path target = write_backup("run.sh", "old");
    EXPECT_TRUE(archive.copy_file(source, target, error)) << error;
    EXPECT_EQ(bfs::status(target).permissions(), bfs::owner_all | bfs::group_read);
    EXPECT_EQ(test_support::temp_folder::read(target), "#!/bin/sh\n");
}

TEST_F(merge, fifo_source_is_refused_without_waiting_for_a_writer)
{
    bfs::create_directories(main_root);
    const bfs::path pipe = main_root / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const bfs::path target = write_backup("pipe", "kept");
    auto copying = std::async(std::launch::async, [&] {
        std::string copy_error;
        const bool copied = archive.copy_with_choice(pipe, target, &counters, nullptr, copy_error);
        return std::make_pair(copied, copy_error);
    });
    if (copying.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Release the blocked reader so the test can end.
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        ::close(writer);
        ADD_FAILURE() << "the copy waited for a writer on a FIFO";
    }
    const auto outcome = copying.get();
    EXPECT_FALSE(outcome.first);
    EXPECT_NE(outcome.second.find("not a regular file"), std::string::npos) << outcome.second;
    EXPECT_EQ(test_support::temp_folder::read(target), "kept");
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, file_with_the_longest_name_is_copied)
{
    const std::string name = std::string(250, 'n') + ".txt";
    const bfs::path source = write_main(name, "long", 1500000000);
    const bfs::path target = write_backup(name, "old");
    EXPECT_TRUE(archive.copy_file(source, target, error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(target), "long");
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, row_climbing_out_of_its_root_is_refused)
{
    // Rows can come from a loaded database: ".." in them must not lead a copy outside the roots.
    folder.write("outside/a.txt", "intruder");
    const bfs::path victim = write_backup("outside/a.txt", "precious");
    const bfs::path deep_backup = backup_root / "deep";
    bfs::create_directories(deep_backup);
    std::unique_ptr<data::data_table> rows;
    archive.create_result_table(rows);
    rows->add_row_values({ "1", "a.txt", (main_root / ".." / "outside").string(), "8", "1", "", "", "", "", "", "BACKUP" });
    rows->add_row_values({ "1", "../outside/a.txt", main_root.string(), "8", "1", "", "", "", "", "", "BACKUP" });
    rows->add_row_values({ "", "", "", "", "", "1", "a.txt", (deep_backup / ".." / "outside").string(), "8", "1", "FILE" });
    EXPECT_FALSE(archive.merge_row(deep_backup.string(), *rows->rows[0], &counters, nullptr, error));
    EXPECT_NE(error.find("does not lie below the main folder"), std::string::npos) << error;
    EXPECT_FALSE(archive.merge_row(deep_backup.string(), *rows->rows[1], &counters, nullptr, error));
    EXPECT_NE(error.find("does not lie below the main folder"), std::string::npos) << error;
    EXPECT_FALSE(archive.merge_row(deep_backup.string(), *rows->rows[2], &counters, choose(-1), error));
    EXPECT_NE(error.find("does not lie below the backup folder"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(victim), "precious");
    EXPECT_FALSE(bfs::exists(main_root / "a.txt"));
    EXPECT_EQ(counters.files_copied, 0u);
}

TEST_F(merge, full_disk_leaves_the_old_target_intact)
{
    const bfs::path source = write_main("big.bin", std::string(64 * 1024, 'b'));
    const bfs::path target = write_backup("big.bin", "old backup");
    // A file size limit makes the disk look full for this process only.
    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool copied = archive.copy_file(source, target, error);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);
    EXPECT_FALSE(copied);
    EXPECT_NE(error.find("big.bin"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(target), "old backup");
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, source_written_during_the_copy_fails_and_keeps_the_old_target)
{
    const bfs::path source = write_main("busy.bin", "main as read", 1500000000);
    const bfs::path target = write_backup("busy.bin", "old backup");
    // Another program writes to the source once the copy has read it, before the copy looks at
    // the source again: same size, a new time.
    bool written = false;
    fs::on_copy_step = [&](fs::copy_step step) {
        if (step != fs::copy_step::read || written)
            return;
        const int handle = ::open(source.c_str(), O_WRONLY | O_CLOEXEC);
        written = handle >= 0 && ::pwrite(handle, "MAIN", 4, 0) == 4;
        ::close(handle);
    };
    const bool copied = archive.copy_file(source, target, error);
    fs::on_copy_step = nullptr;
    ASSERT_TRUE(written);
    EXPECT_FALSE(copied);
    EXPECT_NE(error.find("changed during the copy"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(target), "old backup");
    EXPECT_TRUE(leftovers(backup_root).empty());
}

TEST_F(merge, names_with_newlines_and_raw_bytes_round_trip)
{
    const std::string odd = "line\nbreak \xff\xfe.txt";
    write_main("sub/" + odd, "odd", 1500000000);
    write_backup("kept.txt", "k");
    ASSERT_TRUE(compare()) << error;
    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named(odd), &counters, nullptr, error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "sub" / odd), "odd");
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(table->rows.size(), 1u);
}

TEST_F(merge, files_behind_a_linked_folder_are_never_overwritten)
{
    // The walk does not enter links to folders, so what lies behind them was never compared.
    write_main("docs/a.txt", "older main", 1500000000);
    write_backup("kept.txt", "k");
    const bfs::path outside = folder.write("outside/a.txt", "newer, never compared", 1600000000);
    bfs::create_directory_symlink(outside.parent_path(), backup_root / "docs");
    write_backup("pics/b.png", "backup only", 1400000000);
    bfs::create_directory_symlink(outside.parent_path(), main_root / "pics");
    ASSERT_TRUE(compare()) << error;

    const fs::file_archive::chooser missing_side = [](const bfs::path& main_side, const bfs::path&) {
        return bfs::exists(main_side) ? 1 : -1;
    };
    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, missing_side, error));
    EXPECT_NE(error.find("docs"), std::string::npos) << error;
    EXPECT_NE(error.find("pics"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(outside), "newer, never compared");
    EXPECT_FALSE(bfs::exists(outside.parent_path() / "b.png"));
    EXPECT_EQ(test_support::temp_folder::read(main_root / "kept.txt"), "k") << "the other rows are merged";
    EXPECT_EQ(counters.files_copied, 1u);
}

TEST_F(merge, empty_table_merges_nothing)
{
    std::unique_ptr<data::data_table> rows;
    archive.create_result_table(rows);
    EXPECT_TRUE(archive.merge_rows(backup_root.string(), *rows, &counters, nullptr, error));
    EXPECT_FALSE(bfs::exists(backup_root));
}

} // namespace
} // namespace catalogue_test
