// Show statistics over a real catalogue of real trees: the texts of both groups, folders
// counted in each tree, and failures as one ERROR line with no dialog.

#include "app/ArchiveStatsDialog.h"
#include "app/StatisticsCommand.h"
#include "catalogue_support.h"
#include "command_support.h"

#include <cstdio>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using command_test::captured_log;

class statistics_test : public command_test::catalogue_test {};

TEST_F(statistics_test, both_groups_show_their_own_trees)
{
    folder.write("main/a/one.bin", std::string(1000, 'x'), 1600000000);
    folder.write("main/a/b/two.bin", std::string(1233567, 'y'), 1700000000);
    folder.write("main/c/three.bin", "", 1650000000);
    folder.write("backup/only/copy.bin", std::string(10, 'z'), 1600000000);
    ASSERT_TRUE(compare()) << error;

    CArchiveStatsDialog dialog;
    captured_log captured;
    ASSERT_TRUE(fill_statistics(dialog, catalogue, main_root.string(), backup_root.string(), captured.log));
    EXPECT_EQ(dialog.m_main_caption, CString(("Main: " + main_root.string()).c_str()));
    EXPECT_EQ(dialog.m_main_files, "3");
    EXPECT_EQ(dialog.m_main_folders, "3");
    EXPECT_EQ(dialog.m_main_size, "1.18 MB (1,234,567 bytes)");
    EXPECT_EQ(dialog.m_main_newest, CString(format_statistics_time(1700000000).c_str()));
    EXPECT_EQ(dialog.m_main_oldest, CString(format_statistics_time(1600000000).c_str()));
    EXPECT_EQ(dialog.m_backup_caption, CString(("Backup: " + backup_root.string()).c_str()));
    EXPECT_EQ(dialog.m_backup_files, "1");
    EXPECT_EQ(dialog.m_backup_folders, "1");
    EXPECT_EQ(dialog.m_backup_size, "10.00 B (10 bytes)");
    EXPECT_TRUE(captured.lines().empty());
}

TEST_F(statistics_test, without_a_backup_folder_the_backup_group_is_empty_not_1970)
{
    folder.write("main/a.txt", "a", 1600000000);
    data::data_table* table = catalogue.result.get();
    ASSERT_TRUE(catalogue.record_main_folder(error) && catalogue.record_backup_folder("", table, error, 15)) << error;
    CArchiveStatsDialog dialog;
    captured_log captured;
    ASSERT_TRUE(fill_statistics(dialog, catalogue, main_root.string(), "", captured.log));
    EXPECT_EQ(dialog.m_backup_caption, "Backup: ");
    EXPECT_EQ(dialog.m_backup_files, "0");
    EXPECT_EQ(dialog.m_backup_folders, "0");
    EXPECT_EQ(dialog.m_backup_size, "0.00 B (0 bytes)");
    EXPECT_EQ(dialog.m_backup_newest, "");
    EXPECT_EQ(dialog.m_backup_oldest, "");
    EXPECT_EQ(format_statistics_time(1600000000).size(), 19u);
}

TEST_F(statistics_test, a_failing_statement_is_one_error_and_no_dialog)
{
    captured_log captured;
    int shown = 0;
    command_test::modal_answer count([&shown](CDialog&) { return ++shown, IDOK; });
    ASSERT_TRUE(catalogue.database.execute("drop table backup"));
    EXPECT_FALSE(show_statistics(nullptr, catalogue, main_root.string(), backup_root.string(), captured.log));
    ASSERT_TRUE(catalogue.database.execute("drop table file"));
    EXPECT_FALSE(show_statistics(nullptr, catalogue, main_root.string(), backup_root.string(), captured.log));
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(captured.lines(), std::vector<std::string>({"ERROR Unable to retrieve statistics for BACKUP",
                                                          "ERROR Unable to retrieve statistics for MAIN"}));
}

// An unreadable folder stops the walk; the count must not pass for the whole tree's. Run in a
// child as an unprivileged user, since permissions don't stop root.
TEST_F(statistics_test, a_folder_that_cannot_be_read_is_named_in_one_error)
{
    folder.write("main/open/a.txt", "a");
    folder.write("main/shut/inner/b.txt", "b");
    ASSERT_TRUE(compare()) << error;
    const auto shut = main_root / "shut";
    ::chmod(shut.c_str(), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        db::sqlite_db::record row{"2", "2", "0", "0"};
        std::uint64_t files = 0, folders = 0, bytes = 0;
        std::int64_t newest = 0, oldest = 0;
        std::string failure;
        const bool counted = catalogue.statistics(row, files, folders, bytes, newest, oldest, main_root.string(), failure);
        const bool named = failure.find(shut.string()) != std::string::npos &&
                           failure.rfind("Unable to count the folders of ", 0) == 0;
        if (!(!counted && named))
            std::fprintf(stderr, "counted %d folders %d: %s\n", int(counted), int(folders), failure.c_str());
        ::_exit(!counted && named ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod(shut.c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
