// Folders are read by several threads at once; what is recorded, and under which IDs, must not
// depend on their timing.

#include "catalogue_fixture.h"

#include "core/fs/dir_walker.h"
#include "core/fs/tree_scanner.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

class recording_order : public catalogue_fixture {
protected:
    // Nested folders of uneven size, so readers finish out of order.
    void build_trees()
    {
        for (int folder = 0; folder < 40; ++folder) {
            const std::string path = "t" + std::to_string(folder % 5) + "/s" + std::to_string(folder) + "/";
            for (int file = 0; file < 3 + (folder * 7) % 60; ++file) {
                const std::string name = path + "f" + std::to_string(file);
                write_main(name, "main " + name, 1600000000 + file);
                if (file % 4 != 0)
                    write_backup(name, file % 3 == 0 ? "changed" : "main " + name, 1600000000 + file);
            }
            write_backup(path + "only_in_backup", "b");
        }
    }

    std::vector<db::sqlite_db::record> recorded()
    {
        auto all = rows("select ID, FULL_PATH, NAME, SIZE, LAST_WRITE_TIME from [FILE] order by ID");
        const auto backup = rows("select ID, FULL_PATH, NAME, SIZE, LAST_WRITE_TIME from [BACKUP] order by ID");
        all.insert(all.end(), backup.begin(), backup.end());
        return all;
    }

    std::vector<std::vector<std::string>> differences() const
    {
        std::vector<std::vector<std::string>> found;
        for (const data::data_row* row : table->rows)
            found.push_back(row->cells);
        return found;
    }
};

TEST_F(recording_order, same_trees_give_the_same_rows_and_ids_every_time)
{
    build_trees();
    ASSERT_TRUE(compare()) << error;
    const auto first_recorded = recorded();
    const auto first_differences = differences();
    ASSERT_FALSE(first_differences.empty());
    for (int run = 0; run < 5; ++run) {
        ASSERT_TRUE(compare()) << error;
        EXPECT_EQ(recorded(), first_recorded) << "run " << run;
        EXPECT_EQ(differences(), first_differences) << "run " << run;
    }
}

// Both trees walked at once give what recording them one after the other gives.
TEST_F(recording_order, trees_walked_together_give_the_rows_and_ids_of_trees_walked_in_turn)
{
    build_trees();
    ASSERT_TRUE(compare()) << error;
    const auto in_turn_recorded = recorded();
    const auto in_turn_differences = differences();
    for (int run = 0; run < 6; ++run) {
        ASSERT_TRUE(archive.record_folders(backup_root.string(), table, error, 15)) << error;
        EXPECT_EQ(recorded(), in_turn_recorded) << "run " << run;
        EXPECT_EQ(differences(), in_turn_differences) << "run " << run;
    }
}

TEST_F(recording_order, files_are_recorded_in_the_order_of_a_plain_depth_first_walk)
{
    build_trees();
    write_main("t1/s6/deeper/still/x", "deep");
    ASSERT_TRUE(compare()) << error;

    std::vector<std::string> walked;
    for (bfs::recursive_directory_iterator entry(main_root), end; entry != end; ++entry) {
        if (bfs::is_regular_file(entry->symlink_status()))
            walked.push_back(entry->path().string());
    }
    std::vector<std::string> recorded_paths;
    for (const auto& row : rows("select FULL_PATH, NAME from [FILE] order by ID"))
        recorded_paths.push_back((bfs::path(row[0]) / row[1]).string());
    EXPECT_EQ(recorded_paths, walked);
}

// A process at its thread limit (a low RLIMIT_NPROC, a container's task limit): a walk goes on
// with the threads it could start, and one that can't start at all is a failed comparison,
// never an abort.
TEST_F(recording_order, threads_that_cannot_start_give_the_same_rows_or_an_error)
{
    build_trees();
    ASSERT_TRUE(archive.record_folders(backup_root.string(), table, error, 15)) << error;
    const auto unlimited_recorded = recorded();
    const auto unlimited_differences = differences();

    std::atomic<int> running { 0 };
    int allowed = 0;
    struct maker_restored {
        ~maker_restored() { fs::tree_scanner::make_thread = nullptr; }
    } restored;
    fs::tree_scanner::make_thread = [&running, &allowed](std::function<void()> body) {
        if (running >= allowed)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        ++running;
        return std::thread([&running, body = std::move(body)] {
            body();
            --running;
        });
    };
    for (allowed = 0; allowed <= 8; ++allowed) {
        const bool compared = archive.record_folders(backup_root.string(), table, error, 15);
        if (allowed < 2) {
            EXPECT_FALSE(compared) << "allowed " << allowed;
            EXPECT_EQ(error.rfind("Unable to start a thread to read " + main_root.string() + ": ", 0), 0u) << error;
            continue;
        }
        ASSERT_TRUE(compared) << "allowed " << allowed << ": " << error;
        EXPECT_EQ(recorded(), unlimited_recorded) << "allowed " << allowed;
        EXPECT_EQ(differences(), unlimited_differences) << "allowed " << allowed;
    }
}

} // namespace
} // namespace catalogue_test
