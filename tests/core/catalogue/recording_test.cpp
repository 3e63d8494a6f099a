#include "catalogue_fixture.h"

#include <functional>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

using recording = catalogue_fixture;

TEST_F(recording, records_every_kind_of_name_with_its_folder_texts)
{
    write_main("a.txt", "12345", 1500000000);
    write_main("x/y/b", "xy");
    write_main(".hidden", "h");
    write_main("x/a.tar.gz", "gz");
    write_main("with space/caf\xC3\xA9 menu.txt", "utf");
    write_main("x/y/z/\xFF\xFE raw", "raw");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;

    const auto found = rows("select NAME, FULL_PATH, RELATIVE_PATH, EXTENSION, SIZE, LAST_WRITE_TIME from [FILE] order by NAME");
    const std::string m = main_root.string();
    const std::vector<db::sqlite_db::record> expected = {
        { ".hidden", m, "/", ".hidden", "1", "1600000000" },
        { "a.tar.gz", m + "/x", "/x", ".gz", "2", "1600000000" },
        { "a.txt", m, "/", ".txt", "5", "1500000000" },
        { "b", m + "/x/y", "/x/y", "", "2", "1600000000" },
        { "caf\xC3\xA9 menu.txt", m + "/with space", "/with space", ".txt", "3", "1600000000" },
        { "\xFF\xFE raw", m + "/x/y/z", "/x/y/z", "", "3", "1600000000" },
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(archive.main_bytes, 16u);
}

TEST_F(recording, root_with_trailing_separator_gives_no_double_separator)
{
    write_main("x/b.txt", "b");
    write_main("a.txt", "a");
    archive.set_root(main_root.string() + "/");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    EXPECT_EQ(rows("select FULL_PATH, RELATIVE_PATH from [FILE] order by NAME"),
              (std::vector<db::sqlite_db::record> { { main_root.string(), "/" },
                                                    { main_root.string() + "/x", "/x" } }));
}

TEST_F(recording, sparse_five_gibibyte_file_keeps_its_64_bit_size)
{
    const bfs::path big = write_main("big.img", "");
    const std::uint64_t size = 5368709120ull;
    ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(size)), 0);
    write_main("small", "abc");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    EXPECT_EQ(scalar("select SIZE from [FILE] where NAME = 'big.img'"), "5368709120");
    EXPECT_EQ(archive.main_bytes, size + 3);

    const bfs::path backup_big = write_backup("big.img", "");
    ASSERT_EQ(::truncate(backup_big.c_str(), static_cast<off_t>(size)), 0);
    write_backup("small", "abc");
    ASSERT_TRUE(archive.record_backup_folder(backup_root.string(), table, error, 15)) << error;
    EXPECT_EQ(archive.backup_bytes.at(0), size + 3);
}

TEST_F(recording, second_comparison_leaves_no_stale_rows)
{
    write_main("a.txt", "a");
    const bfs::path gone = write_main("x/gone.txt", "g");
    write_backup("a.txt", "a");
    const bfs::path gone_backup = write_backup("y/gone.txt", "g");
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(scalar("select count(*) from [FILE]"), "2");
    EXPECT_EQ(scalar("select count(*) from [BACKUP]"), "2");

    bfs::remove(gone);
    bfs::remove(gone_backup);
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(rows("select NAME from [FILE]"), (std::vector<db::sqlite_db::record> { { "a.txt" } }));
    EXPECT_EQ(rows("select NAME, BACKUP_ID from [BACKUP]"), (std::vector<db::sqlite_db::record> { { "a.txt", "0" } }));
    EXPECT_TRUE(table->rows.empty());
}

TEST_F(recording, file_catalogue_is_rebuilt_on_every_opening)
{
    const std::string file = (folder.path() / "catalogue.db").string();
    write_main("a.txt", "a");
    {
        fs::file_archive first;
        first.database_file = file;
        first.schema_file = resource("schema.sql");
        first.set_root(main_root.string());
        ASSERT_TRUE(first.open_database(error, db::sqlite_db::file_mode)) << error;
        ASSERT_TRUE(first.record_main_folder(error)) << error;
        ASSERT_TRUE(first.database.execute("create table EXTRA (X)")) << first.database.last_error();
    }
    fs::file_archive again;
    again.database_file = file;
    again.schema_file = resource("schema.sql");
    again.set_root(main_root.string());
    ASSERT_TRUE(again.open_database(error, db::sqlite_db::file_mode)) << error;
    db::sqlite_db::record row;
    ASSERT_TRUE(again.database.execute_scalar("select count(*) from sqlite_master where name in ('EXTRA', 'FILE')", row));
    EXPECT_EQ(row, db::sqlite_db::record { "1" });
    ASSERT_TRUE(again.database.execute_scalar("select count(*) from [FILE]", row));
    EXPECT_EQ(row, db::sqlite_db::record { "0" });
    ASSERT_TRUE(again.record_main_folder(error)) << error;
    ASSERT_TRUE(again.database.execute_scalar("select NAME from [FILE]", row));
    EXPECT_EQ(row, db::sqlite_db::record { "a.txt" });
}

TEST_F(recording, opening_reports_a_missing_schema_file)
{
    fs::file_archive other;
    other.database_file = folder.path().filename().string() + "-other";
    other.schema_file = (folder.path() / "no-schema.sql").string();
    EXPECT_FALSE(other.open_database(error, db::sqlite_db::memory_mode));
    EXPECT_EQ(error, "Unable to open file " + other.schema_file);
}

TEST_F(recording, recording_before_opening_fails_without_touching_sqlite)
{
    fs::file_archive closed;
    closed.set_root(main_root.string());
    EXPECT_FALSE(closed.record_main_folder(error));
    EXPECT_EQ(error, "Catalogue database is not open");
    error.clear();
    data::data_table* none = nullptr;
    EXPECT_FALSE(closed.record_backup_folder(backup_root.string(), none, error, 15));
    EXPECT_EQ(error, "Catalogue database is not open");
    EXPECT_EQ(none, nullptr);
}

TEST_F(recording, empty_root_text_creates_nothing_and_keeps_the_root)
{
    archive.set_root("");
    EXPECT_EQ(archive.root(), main_root);
    const bfs::path missing = folder.path() / "new" / "main";
    archive.set_root(missing.string());
    EXPECT_TRUE(bfs::is_directory(missing));
}

TEST_F(recording, missing_backup_folder_is_created)
{
    write_main("a.txt", "a");
    const bfs::path backup = folder.path() / "deep" / "backup";
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    ASSERT_TRUE(archive.record_backup_folder(backup.string(), table, error, 15)) << error;
    EXPECT_TRUE(bfs::is_directory(backup));
    ASSERT_EQ(table->rows.size(), 1u);
    EXPECT_EQ(table->rows[0]->cells[10], "BACKUP");
}

// The whole comparison in one call takes the same checks as its two steps.
TEST_F(recording, whole_comparison_creates_a_missing_backup_and_refuses_an_overlapping_one)
{
    write_main("a.txt", "a");
    write_main("bk/b.txt", "b");
    const bfs::path backup = folder.path() / "deep" / "backup";
    ASSERT_TRUE(archive.record_folders(backup.string(), table, error, 15)) << error;
    EXPECT_TRUE(bfs::is_directory(backup));
    EXPECT_EQ(table->rows.size(), 2u);

    EXPECT_FALSE(archive.record_folders((main_root / "bk").string(), table, error, 15));
    EXPECT_NE(error.find("overlap"), std::string::npos) << error;
    EXPECT_EQ(scalar("select count(*) from [BACKUP]"), "0");
}

TEST_F(recording, overlapping_roots_are_refused_before_the_backup_is_recorded)
{
    write_main("a.txt", "a");
    write_main("bk/b.txt", "b");
    bfs::create_directories(folder.path() / "main2");
    bfs::create_directory_symlink(main_root, folder.path() / "alias");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;

    for (const bfs::path& backup : { main_root / "bk", main_root / "new" / "bk", folder.path(), main_root,
                                     folder.path() / "alias", folder.path() / "alias" / "bk" }) {
        error.clear();
        EXPECT_FALSE(archive.record_backup_folder(backup.string(), table, error, 15)) << backup;
        EXPECT_NE(error.find("overlap"), std::string::npos) << error;
        EXPECT_EQ(scalar("select count(*) from [BACKUP]"), "0") << backup;
    }
    EXPECT_FALSE(bfs::exists(main_root / "new"));
    // A sibling whose name starts like the main folder's is no overlap.
    EXPECT_TRUE(archive.record_backup_folder((folder.path() / "main2").string(), table, error, 15)) << error;
}

// Runs `step` in a child of its own mount namespace with `mounted` bind-mounted on `mount_point`
// (the mount goes with the child) and answers what it said and its exit code; 77 where no such
// namespace or mount can be made.
struct namespace_run {
    int code { 3 };
    std::string said;
};

namespace_run run_with_bind_mount(const bfs::path& mounted, const bfs::path& mount_point,
                                  const std::function<int(std::string& said)>& step)
{
    namespace_run run;
    int channel[2];
    if (::pipe(channel) != 0)
        return run;
    const pid_t child = ::fork();
    if (child < 0)
        return run;
    if (child == 0) {
        ::close(channel[0]);
        int code = 77;
        std::string said;
        if (::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount(mounted.c_str(), mount_point.c_str(), nullptr, MS_BIND, nullptr) == 0)
            code = step(said);
        const ssize_t written = ::write(channel[1], said.data(), said.size());
        ::_exit(written == static_cast<ssize_t>(said.size()) ? code : 3);
    }
    ::close(channel[1]);
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        run.said.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.code = WEXITSTATUS(status);
    return run;
}

// A bind mount of the main folder shows it under a second path that no resolving of text leads
// back to; a backup below that path lies inside the main tree all the same.
TEST_F(recording, roots_that_meet_through_a_bind_mount_are_refused)
{
    write_main("a.txt", "a");
    const bfs::path bound = folder.path() / "bindmain";
    bfs::create_directories(bound);
    const namespace_run run = run_with_bind_mount(main_root, bound, [&](std::string& said) {
        if (archive.record_folders((bound / "bk").string(), table, said, 15))
            return 1;
        std::string backup_error;
        const bool accepted = archive.record_backup_folder(bound.string(), table, backup_error, 15);
        said += "\n" + backup_error;
        return accepted ? 2 : 0;
    });
    if (run.code == 77)
        GTEST_SKIP() << "no mount namespace of one's own to bind-mount in";
    EXPECT_EQ(run.code, 0) << run.said;
    EXPECT_EQ(run.said, "The main folder " + main_root.string() + " and the backup folder " + (bound / "bk").string()
                      + " overlap: one lies inside the other\nThe main folder " + main_root.string()
                      + " and the backup folder " + bound.string() + " overlap: one lies inside the other");
    EXPECT_FALSE(bfs::exists(main_root / "bk"));
}

// A main subfolder bind-mounted elsewhere: no path climbs from the mount back into the main tree,
// yet a backup made below it lands inside that tree, and a main folder there lies inside a backup
// holding the subfolder.
TEST_F(recording, roots_that_meet_through_a_mounted_subfolder_are_refused)
{
    write_main("a.txt", "a");
    write_main("sub/s.txt", "s");
    const bfs::path view = folder.path() / "view";
    bfs::create_directories(view);
    const namespace_run run = run_with_bind_mount(main_root / "sub", view, [&](std::string& said) {
        int code = 0;
        // Each pairing through the whole comparison, then through its two steps.
        const auto refused = [&](const bfs::path& main, const bfs::path& backup) {
            archive.set_root(main.string());
            std::string whole;
            std::string stepwise;
            if (archive.record_folders(backup.string(), table, whole, 15))
                code = 1;
            if (!archive.record_main_folder(stepwise) || archive.record_backup_folder(backup.string(), table, stepwise, 15))
                code = 1;
            if (scalar("select count(*) from [BACKUP]") != "0")
                code = 2;
            said += whole + "\n" + stepwise + "\n";
        };
        refused(main_root, view / "bk");
        refused(view, main_root);
        return code;
    });
    if (run.code == 77)
        GTEST_SKIP() << "no mount namespace of one's own to bind-mount in";
    EXPECT_EQ(run.code, 0) << run.said;
    const std::string first = "The main folder " + main_root.string() + " and the backup folder "
        + (view / "bk").string() + " overlap: one lies inside the other\n";
    const std::string second = "The main folder " + view.string() + " and the backup folder " + main_root.string()
        + " overlap: one lies inside the other\n";
    EXPECT_EQ(run.said, first + first + second + second);
    EXPECT_FALSE(bfs::exists(main_root / "sub" / "bk"));
    EXPECT_EQ(bfs::directory_iterator(view), bfs::directory_iterator());
}

TEST_F(recording, mock_mode_leaves_missing_backup_folder_to_the_mock_action)
{
    const bfs::path backup = folder.path() / "deep" / "backup";
    std::vector<std::pair<bfs::path, bfs::path>> actions;
    archive.mock_copy = true;
    archive.on_mock_action = [&actions](const bfs::path& source, const bfs::path& target) {
        actions.emplace_back(source, target);
    };
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    archive.record_backup_folder(backup.string(), table, error, 15);
    EXPECT_FALSE(bfs::exists(folder.path() / "deep"));
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].first, main_root);
    EXPECT_EQ(actions[0].second, backup);
}

TEST_F(recording, failing_insert_in_backup_tree_rolls_back_that_tree)
{
    write_main("a.txt", "a");
    write_backup("a.txt", "a");
    ASSERT_TRUE(compare()) << error;
    write_backup("x/bad.txt", "b");
    write_backup("x/good.txt", "g");
    ASSERT_TRUE(archive.database.execute(
        "create trigger REFUSE before insert on [BACKUP] when NEW.NAME = 'bad.txt' "
        "begin select raise(abort, 'refused bad.txt'); end"));

    EXPECT_FALSE(compare());
    EXPECT_NE(error.find("refused bad.txt"), std::string::npos) << error;
    EXPECT_EQ(scalar("select count(*) from [BACKUP]"), "0");
    EXPECT_EQ(scalar("select count(*) from [FILE]"), "1");
    // No differences are shown for a tree that wasn't recorded.
    EXPECT_TRUE(archive.result->rows.empty());
    // The connection is left without an open transaction.
    EXPECT_TRUE(archive.database.begin_transaction());
    EXPECT_TRUE(archive.database.rollback_transaction());
}

TEST_F(recording, failing_insert_in_main_tree_keeps_the_previous_rows)
{
    write_main("a.txt", "a");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    write_main("bad.txt", "b");
    ASSERT_TRUE(archive.database.execute(
        "create trigger REFUSE before insert on [FILE] when NEW.NAME = 'bad.txt' "
        "begin select raise(abort, 'refused bad.txt'); end"));
    EXPECT_FALSE(archive.record_main_folder(error));
    EXPECT_NE(error.find("refused bad.txt"), std::string::npos) << error;
    EXPECT_EQ(rows("select NAME from [FILE]"), (std::vector<db::sqlite_db::record> { { "a.txt" } }));
    EXPECT_TRUE(archive.database.begin_transaction());
    EXPECT_TRUE(archive.database.rollback_transaction());
}

TEST_F(recording, missing_main_root_is_a_failed_recording)
{
    archive.set_root(main_root.string());
    bfs::remove_all(main_root);
    EXPECT_FALSE(archive.record_main_folder(error));
    EXPECT_NE(error.find(main_root.string()), std::string::npos) << error;
}

TEST_F(recording, unreadable_subfolder_is_a_failed_recording)
{
    if (test_support::running_as_root())
        GTEST_SKIP() << "root reads every folder";
    write_main("a.txt", "a");
    const bfs::path locked = write_main("locked/b.txt", "b").parent_path();
    write_backup("a.txt", "a");
    ASSERT_TRUE(compare()) << error;
    bfs::permissions(locked, bfs::no_perms);
    EXPECT_FALSE(archive.record_main_folder(error));
    EXPECT_NE(error.find("locked"), std::string::npos) << error;
    bfs::permissions(locked, bfs::owner_all);
}

TEST_F(recording, links_to_files_are_recorded_and_links_to_folders_are_not_entered)
{
    write_main("real/a.txt", "a");
    bfs::create_symlink(main_root / "real" / "a.txt", main_root / "link.txt");
    bfs::create_directory_symlink(main_root / "real", main_root / "folder-link");
    bfs::create_symlink(main_root / "nowhere", main_root / "dangling");
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    EXPECT_EQ(rows("select NAME, SIZE from [FILE] order by NAME"),
              (std::vector<db::sqlite_db::record> { { "a.txt", "1" }, { "link.txt", "1" } }));
}

TEST_F(recording, a_failed_comparison_keeps_the_rows_on_show)
{
    write_main("a.txt", "a");
    write_main("z.txt", "z");
    ASSERT_TRUE(compare()) << error;
    ASSERT_EQ(archive.result->rows.size(), 2u);

    // The main tree fails to record: its rows stay.
    write_main("bad.txt", "b");
    ASSERT_TRUE(archive.database.execute(
        "create trigger REFUSE before insert on [FILE] when NEW.NAME = 'bad.txt' "
        "begin select raise(abort, 'refused bad.txt'); end"));
    EXPECT_FALSE(archive.record_main_folder(error));
    EXPECT_EQ(archive.result->rows.size(), 2u);
    ASSERT_TRUE(archive.database.execute("drop trigger REFUSE"));

    // The difference query fails on its second row: nothing of the half-read result shows.
    ASSERT_TRUE(archive.prepare_script(archive.diff_script,
                                       "select ID, NAME, FULL_PATH, SIZE, LAST_WRITE_TIME, ?, ?, ?, '', '', "
                                       "case when NAME = 'z.txt' then abs(-9223372036854775807 - 1) else 'BACKUP' end "
                                       "from [FILE] order by NAME",
                                       error, true))
        << error;
    EXPECT_FALSE(archive.query_differences(0, table, 15, error));
    EXPECT_NE(error.find("overflow"), std::string::npos) << error;
    ASSERT_EQ(archive.result->rows.size(), 2u);
    EXPECT_EQ(archive.result->rows[0]->cells[10], "BACKUP");
}

TEST(relative_path, keeps_the_elements_after_the_root)
{
    using fs::file_archive;
    EXPECT_EQ(file_archive::relative_path("/m/x", "/m/x"), bfs::path());
    EXPECT_EQ(file_archive::relative_path("/m/x/y/a.txt", "/m"), bfs::path("/x/y/a.txt"));
    EXPECT_EQ(file_archive::relative_path("/m/x/a.txt", "/m/"), bfs::path("/x/a.txt"));
    EXPECT_EQ(file_archive::relative_path("/m/x/a.txt", "/other/x"), bfs::path("/m/x/a.txt"));
    EXPECT_EQ(file_archive::relative_path("/m/x/a.txt", "/m/y"), bfs::path("/x/a.txt"));
}

} // namespace
} // namespace catalogue_test
