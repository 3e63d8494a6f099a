// Merges where the trees are not what the comparison saw, or hold what no merge may touch.

#include "catalogue_fixture.h"

#include "core/fs/copy_temporary.h"

#include <sys/stat.h>
#include <unistd.h>

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

class merge_safety : public catalogue_fixture {
protected:
    static fs::file_archive::chooser choose(int direction)
    {
        return [direction](const bfs::path&, const bfs::path&) { return direction; };
    }

    const data::data_row& row_named(const std::string& name) const { return *by_name(*table).at(name); }
    const data::data_row& row_of(const std::string& kind, const std::string& name) const
    {
        for (const data::data_row* row : table->rows)
            if (row->cells[10] == kind && row->cells[kind == "FILE" ? 6 : 1] == name)
                return *row;
        throw std::runtime_error("no " + kind + " row for " + name);
    }

    // What a merge killed while copying onto `target` leaves beside it.
    static bfs::path interrupted_copy(const bfs::path& target, const std::string& partial)
    {
        bfs::path temporary;
        const int handle = fs::create_copy_temporary(target, temporary);
        EXPECT_GE(handle, 0) << target;
        if (handle >= 0) {
            EXPECT_EQ(::write(handle, partial.data(), partial.size()), static_cast<ssize_t>(partial.size()));
            ::close(handle);
        }
        return temporary;
    }

    fs::copy_counts counters;
};

TEST_F(merge_safety, file_and_folder_of_one_name_fail_their_row_alone)
{
    write_main("x", "main file", 1500000000);
    write_backup("x/x", "never compared with main's x", 1600000000);
    write_main("y/inner.txt", "main inner", 1600000000);
    write_backup("y", "backup file", 1500000000);
    write_main("fine.txt", "f");
    ASSERT_TRUE(compare()) << error;

    EXPECT_FALSE(archive.merge_row(backup_root.string(), row_of("BACKUP", "x"), &counters, choose(1), error));
    EXPECT_NE(error.find((main_root / "x").string()), std::string::npos) << error;
    EXPECT_NE(error.find((backup_root / "x").string()), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "x" / "x"), "never compared with main's x");

    EXPECT_FALSE(archive.merge_row(backup_root.string(), row_of("FILE", "y"), &counters, choose(-1), error));
    EXPECT_NE(error.find((main_root / "y").string()), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(main_root / "y" / "inner.txt"), "main inner");
    EXPECT_EQ(values(counters), (std::vector<std::uint64_t> { 0, 0, 0, 0 }));

    ASSERT_TRUE(archive.merge_row(backup_root.string(), row_named("fine.txt"), &counters, choose(1), error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "fine.txt"), "f");

    // Only a caller that asks for it puts a file into a folder of the target's name.
    EXPECT_FALSE(archive.copy_with_choice(main_root / "x", backup_root / "x", &counters, nullptr, error));
    EXPECT_TRUE(archive.copy_with_choice(main_root / "x", backup_root / "x", &counters, nullptr, error,
                                         fs::file_archive::onto_folder::copy_into)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "x" / "x"), "main file");
}

TEST_F(merge_safety, source_behind_a_linked_folder_is_refused)
{
    write_main("d/a.txt", "newer main", 1600000000);
    const bfs::path outside = folder.write("outside/a.txt", "older, never compared", 1500000000);
    bfs::create_directories(backup_root);
    bfs::create_directory_symlink(outside.parent_path(), backup_root / "d");
    ASSERT_TRUE(compare()) << error;

    EXPECT_FALSE(archive.merge_row(backup_root.string(), row_named("a.txt"), &counters, choose(-1), error));
    EXPECT_NE(error.find((backup_root / "d").string()), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(main_root / "d" / "a.txt"), "newer main");
    EXPECT_EQ(counters.entries_handled, 0u);
}

TEST_F(merge_safety, set_id_bits_go_when_the_copy_belongs_to_someone_else)
{
    if (!test_support::running_as_root())
        GTEST_SKIP() << "only root makes a copy owned by another than the source's owner";
    const bfs::path foreign = write_main("foreign", "#!/bin/sh\n");
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(foreign.c_str(), 06755), 0);
    const bfs::path own = write_main("own", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(own.c_str(), 06755), 0);
    bfs::create_directories(backup_root);

    ASSERT_TRUE(archive.copy_file(foreign, backup_root / "foreign", error)) << error;
    ASSERT_TRUE(archive.copy_file(own, backup_root / "own", error)) << error;
    struct ::stat copied {};
    ASSERT_EQ(::stat((backup_root / "foreign").c_str(), &copied), 0);
    EXPECT_EQ(copied.st_mode & 07777, 0755u);
    ASSERT_EQ(::stat((backup_root / "own").c_str(), &copied), 0);
    EXPECT_EQ(copied.st_mode & 07777, 06755u);
}

TEST_F(merge_safety, target_changed_since_the_comparison_is_kept)
{
    write_main("a.txt", "main", 1500000000);
    const bfs::path edited = write_backup("a.txt", "backup", 1400000000);
    write_main("b.txt", "main b", 1500000000);
    write_main("c.txt", "main c", 1600000000);
    write_backup("c.txt", "backup c", 1500000000);
    ASSERT_TRUE(compare()) << error;
    folder.write("backup/a.txt", "edited after the comparison", 1700000000);
    folder.write("backup/b.txt", "appeared after the comparison", 1700000000);

    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error));
    EXPECT_NE(error.find("a.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("b.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("changed since the comparison"), std::string::npos) << error;
    EXPECT_EQ(test_support::temp_folder::read(edited), "edited after the comparison");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "b.txt"), "appeared after the comparison");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "c.txt"), "main c") << "an unchanged target is merged";
    EXPECT_EQ(counters.files_copied, 1u);
}

TEST_F(merge_safety, interrupted_copies_are_neither_compared_nor_left_behind)
{
    write_main("a.txt", "complete", 1500000000);
    bfs::create_directories(backup_root);
    const bfs::path main_partial = interrupted_copy(main_root / "a.txt", "partial");
    const bfs::path backup_partial = interrupted_copy(backup_root / "a.txt", "partial too");
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(by_name(*table).count(main_partial.filename().string()), 0u);
    EXPECT_EQ(by_name(*table).count(backup_partial.filename().string()), 0u);
    EXPECT_FALSE(bfs::exists(main_partial));
    EXPECT_FALSE(bfs::exists(backup_partial));

    // One left after the comparison goes when the merge writes into its folder.
    const bfs::path later_partial = interrupted_copy(backup_root / "a.txt", "partial again");
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "a.txt"), "complete");
    EXPECT_FALSE(bfs::exists(later_partial));
}

// Only a temporary this program made is one: a user's file of such a name is compared and copied,
// and a leftover goes at the next comparison even when nothing is copied into its folder again.
TEST_F(merge_safety, users_files_named_like_temporaries_are_kept_and_leftovers_go_with_a_line)
{
    std::vector<std::string> notes;
    archive.on_note = [&notes](const std::string& line) { notes.push_back(line); };
    write_main("d/.notes.tarvoline-2024abcd", "a user's notes");
    write_backup("d/.plan.tarvoline-v2final1", "a user's plan");
    bfs::create_directories(backup_root / "e");
    // The copy of a file that has gone from the main folder since.
    const bfs::path leftover = interrupted_copy(backup_root / "e" / "gone.bin", "partial");
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(row_of("BACKUP", ".notes.tarvoline-2024abcd").cells[10], "BACKUP");
    EXPECT_EQ(row_of("FILE", ".plan.tarvoline-v2final1").cells[10], "FILE");
    EXPECT_EQ(table->rows.size(), 2u);
    EXPECT_FALSE(bfs::exists(leftover));
    EXPECT_EQ(notes, std::vector<std::string>(
                         { "Removed 1 temporaries of an interrupted copy in " + (backup_root / "e").string() }));

    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / ".notes.tarvoline-2024abcd"), "a user's notes");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / ".plan.tarvoline-v2final1"), "a user's plan");
    // The copy in place is an ordinary file too.
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(table->rows.size(), 1u);
    EXPECT_EQ(row_of("FILE", ".plan.tarvoline-v2final1").cells[10], "FILE");
    EXPECT_EQ(notes.size(), 1u);
}

} // namespace
} // namespace catalogue_test
