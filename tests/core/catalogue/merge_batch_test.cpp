// A merge of many rows renames its replaced files only after their copies are flushed together;
// rows that fail then still fail alone, in row order, and leave the old file in place.

#include "catalogue_fixture.h"

#include "core/fs/copy_temporary.h"

#include <algorithm>
#include <fstream>

#include <cerrno>
#include <cstring>

#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

class merge_batch : public catalogue_fixture {
protected:
    // The copy temporaries waiting in the backup folder.
    std::vector<bfs::path> temporaries() const
    {
        std::vector<bfs::path> found;
        for (bfs::directory_iterator entry(backup_root), end; entry != end; ++entry) {
            const std::string name = entry->path().filename().string();
            if (fs::is_copy_temporary(name.data(), name.size()))
                found.push_back(entry->path());
        }
        return found;
    }

    fs::copy_counts counters;
};

TEST_F(merge_batch, waiting_copy_that_fails_leaves_the_old_file_and_reports_in_row_order)
{
    for (const char* name : { "a.txt", "b.txt", "c.txt", "d.txt" }) {
        write_main(name, std::string("new ") + name, 1600000000);
        write_backup(name, std::string("old ") + name, 1500000000);
    }
    ASSERT_TRUE(compare()) << error;
    ASSERT_EQ(table->rows.size(), 4u);

    // While b is decided, a's copy waits under its temporary name: it vanishes, so a's flush or
    // rename fails. c's target is edited before its row, so c fails at once.
    std::vector<std::string> decided;
    const auto choose = [&](const bfs::path&, const bfs::path& backup_side) {
        const std::string name = backup_side.filename().string();
        decided.push_back(name);
        if (name == "b.txt") {
            const auto waiting = temporaries();
            EXPECT_EQ(waiting.size(), 1u);
            for (const auto& temporary : waiting)
                bfs::remove(temporary);
        }
        if (name == "c.txt")
            folder.write("backup/c.txt", "edited", 1700000000);
        return 1;
    };
    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, choose, error));

    EXPECT_EQ(decided, (std::vector<std::string> { "a.txt", "b.txt", "c.txt", "d.txt" }));
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "a.txt"), "old a.txt");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "b.txt"), "new b.txt");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "c.txt"), "edited");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "d.txt"), "new d.txt");
    EXPECT_EQ(bfs::last_write_time(backup_root / "d.txt"), 1600000000);
    // Failing at its flush or at its rename, either way the row fails and the old file stays.
    const auto a_error = error.find("Unable to copy " + (main_root / "a.txt").string() + " to "
                                    + (backup_root / "a.txt").string() + ": ");
    const auto c_error = error.find("c.txt: it changed since the comparison");
    ASSERT_NE(a_error, std::string::npos) << error;
    ASSERT_NE(c_error, std::string::npos) << error;
    EXPECT_LT(a_error, c_error) << "errors follow the rows";
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_EQ(counters.files_copied, 2u) << "only b and d were copied";
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(merge_batch, target_edited_while_its_copy_waits_is_kept)
{
    write_main("a.txt", "new a", 1600000000);
    write_backup("a.txt", "old a", 1500000000);
    write_main("b.txt", "new b", 1600000000);
    write_backup("b.txt", "old b", 1500000000);
    ASSERT_TRUE(compare()) << error;

    const auto choose = [&](const bfs::path&, const bfs::path& backup_side) {
        if (backup_side.filename() == "b.txt")
            folder.write("backup/a.txt", "edited meanwhile", 1700000000);
        return 1;
    };
    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, choose, error));
    EXPECT_NE(error.find("a.txt: it changed since the comparison"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "a.txt"), "edited meanwhile");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "b.txt"), "new b");
    EXPECT_EQ(counters.files_copied, 1u);
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(merge_batch, more_rows_than_one_batch_holds_are_all_replaced)
{
    const int files = 4100;
    for (int file = 0; file < files; ++file) {
        write_main("d/f" + std::to_string(file), "new " + std::to_string(file), 1600000000);
        write_backup("d/f" + std::to_string(file), "old", 1500000000);
    }
    ASSERT_TRUE(compare()) << error;
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, nullptr, error)) << error;
    EXPECT_EQ(counters.files_copied, static_cast<std::uint64_t>(files));
    for (int file : { 0, 4095, 4096, files - 1 })
        EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / ("f" + std::to_string(file))),
                  "new " + std::to_string(file));
}

TEST_F(merge_batch, nearly_full_backup_volume_replaces_every_file_that_fits_alone)
{
    if (!test_support::running_as_root())
        GTEST_SKIP() << "only root mounts a small volume";
    bfs::create_directories(backup_root);
    if (::mount("tmpfs", backup_root.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "no volume can be mounted here: " << std::strerror(errno);
    struct unmount {
        const bfs::path& point;
        ~unmount() { ::umount2(point.c_str(), MNT_DETACH); }
    } mounted { backup_root };

    // 1.5 MB of 2: room for one replacement at a time, not for all of them waiting at once.
    const int files = 15;
    for (int file = 0; file < files; ++file) {
        write_main("f" + std::to_string(file), std::string(100 * 1024, char('a' + file)), 1600000000);
        write_backup("f" + std::to_string(file), std::string(100 * 1024, 'o'), 1500000000);
    }
    ASSERT_TRUE(compare()) << error;
    ASSERT_EQ(table->rows.size(), static_cast<std::size_t>(files));

    EXPECT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, nullptr, error)) << error;
    EXPECT_EQ(counters.files_copied, static_cast<std::uint64_t>(files));
    for (int file = 0; file < files; ++file)
        EXPECT_TRUE(test_support::temp_folder::read(backup_root / ("f" + std::to_string(file)))
                    == std::string(100 * 1024, char('a' + file)))
            << "f" << file;
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(merge_batch, no_thread_to_be_had_still_replaces_every_file)
{
    const int files = 8;
    for (int file = 0; file < files; ++file) {
        write_main("f" + std::to_string(file), "new " + std::to_string(file), 1600000000);
        write_backup("f" + std::to_string(file), "old", 1500000000);
    }
    ASSERT_TRUE(compare()) << error;
    const bfs::path child_error = folder.path() / "child-error.txt";
    // The process limit binds root only after it gives up being root.
    const bool root = test_support::running_as_root();
    if (root) {
        for (bfs::recursive_directory_iterator entry(folder.path()), end; entry != end; ++entry)
            ASSERT_EQ(::lchown(entry->path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), 65534, 65534), 0);
    }

    // The merge runs in a child whose user may start no more threads or processes.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const struct ::rlimit none { 1, 1 };
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(77);
        if (::setrlimit(RLIMIT_NPROC, &none) != 0)
            ::_exit(77);
        std::string merge_error;
        const bool merged = archive.merge_rows(backup_root.string(), *table, &counters, nullptr, merge_error);
        std::ofstream(child_error.string()) << merge_error;
        ::_exit(merged ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the merge ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "the child could not be limited to no more threads";
    EXPECT_EQ(WEXITSTATUS(status), 0) << test_support::temp_folder::read(child_error);
    for (int file = 0; file < files; ++file)
        EXPECT_EQ(test_support::temp_folder::read(backup_root / ("f" + std::to_string(file))),
                  "new " + std::to_string(file));
    EXPECT_TRUE(temporaries().empty());
}

} // namespace
} // namespace catalogue_test
