// Merges where the trees are not what the comparison saw, or hold what no merge may touch.

#include "catalogue_fixture.h"

#include "core/fs/copy_temporary.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

    // Runs a merge of the whole table in a child process killed, as by kill -9, when a copy
    // reaches `step`, after `meanwhile` has seen each step; false when the child ended otherwise.
    bool merge_killed_at(fs::copy_step step, int direction,
                         const std::function<void(fs::copy_step)>& meanwhile = nullptr)
    {
        const pid_t child = ::fork();
        if (child < 0)
            return false;
        if (child == 0) {
            fs::on_copy_step = [step, meanwhile](fs::copy_step reached) {
                if (meanwhile)
                    meanwhile(reached);
                if (reached == step)
                    ::raise(SIGKILL);
            };
            std::string merge_error;
            archive.merge_rows(backup_root.string(), *table, nullptr, choose(direction), merge_error);
            ::_exit(0);
        }
        int status = 0;
        return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    // The files below `root` whose names have the temporaries' form.
    static std::vector<bfs::path> temporaries_below(const bfs::path& root)
    {
        std::vector<bfs::path> found;
        for (bfs::recursive_directory_iterator entry(root), end; entry != end; ++entry) {
            const std::string name = entry->path().filename().string();
            if (fs::is_copy_temporary(name.data(), name.size()))
                found.push_back(entry->path());
        }
        return found;
    }

    // The files below `root`, temporaries aside, that carry an attribute of this program's.
    static std::vector<bfs::path> placed_files_marked(const bfs::path& root)
    {
        std::vector<bfs::path> found;
        for (bfs::recursive_directory_iterator entry(root), end; entry != end; ++entry) {
            const std::string name = entry->path().filename().string();
            if (fs::is_copy_temporary(name.data(), name.size()))
                continue;
            char names[4096];
            const ssize_t length = ::llistxattr(entry->path().c_str(), names, sizeof(names));
            for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
                if (std::strncmp(names + at, "user.tarvoline", 14) == 0)
                    found.push_back(entry->path());
            }
        }
        return found;
    }

    static bool keeps_extended_attributes(const bfs::path& folder)
    {
        const bfs::path probe = folder / "attribute-probe";
        { std::ofstream(probe.string()) << "probe"; }
        const bool kept = ::setxattr(probe.c_str(), "user.tarvoline.probe", "1", 1, 0) == 0;
        bfs::remove(probe);
        return kept;
    }

    // The records of copies in flight in `settings`.
    static std::vector<bfs::path> records_of(const bfs::path& settings)
    {
        std::vector<bfs::path> records;
        for (bfs::directory_iterator entry(settings), end; entry != end; ++entry) {
            if (entry->path().filename().string().rfind("tarvoline-copies-", 0) == 0)
                records.push_back(entry->path());
        }
        return records;
    }
    static std::size_t records_in(const bfs::path& settings) { return records_of(settings).size(); }

    // The temporaries below the backup that no record in `settings` names: a kill now would leave
    // them for a comparison to take for the user's files.
    std::vector<std::string> unnamed_temporaries(const bfs::path& settings) const
    {
        std::string lines;
        for (const bfs::path& record : records_of(settings))
            lines += "\n" + test_support::temp_folder::read(record);
        std::vector<std::string> unnamed;
        for (const bfs::path& temporary : temporaries_below(backup_root)) {
            const std::string name = temporary.filename().string();
            if (lines.find("/" + name + "\n") == std::string::npos)
                unnamed.push_back(name);
        }
        return unnamed;
    }
    static void delete_records(const bfs::path& settings)
    {
        for (const bfs::path& record : records_of(settings))
            bfs::remove(record);
    }

    // Keeps the record in `settings` and the log's lines in `notes`.
    void keep_record_in(const bfs::path& settings, bool make = true)
    {
        if (make)
            bfs::create_directories(settings);
        archive.set_copy_record_folder(settings.string());
        archive.on_note = [this](const std::string& line) { notes.push_back(line); };
    }

    static std::string removed_line(const bfs::path& folder)
    {
        return "Removed 1 temporaries of an interrupted copy in " + folder.string();
    }

    // A merge of the new d/new.bin killed past the mark, the record kept in `settings`: the one
    // temporary it leaves.
    bfs::path leftover_of_a_killed_merge(const bfs::path& settings)
    {
        keep_record_in(settings);
        write_main("d/new.bin", "new", 1600000000);
        EXPECT_TRUE(compare()) << error;
        EXPECT_TRUE(merge_killed_at(fs::copy_step::unmarked, 1));
        const auto left = temporaries_below(backup_root);
        EXPECT_EQ(left.size(), 1u);
        return left.empty() ? bfs::path() : left.front();
    }

    // The comparison that follows has removed `leftover` and its record, and listed nothing of it.
    void expect_removed_with_its_record(const bfs::path& leftover, const bfs::path& settings)
    {
        EXPECT_FALSE(bfs::exists(leftover));
        EXPECT_EQ(by_name(*table).count(leftover.filename().string()), 0u);
        EXPECT_EQ(notes, std::vector<std::string>({ removed_line(backup_root / "d") }));
        EXPECT_EQ(records_in(settings), 0u);
    }

    void TearDown() override { fs::on_copy_step = nullptr; }

    std::vector<std::string> notes;

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

TEST_F(merge_safety, copy_killed_as_its_temporary_gets_a_name_leaves_it_marked_for_the_next_comparison)
{
    bfs::create_directories(backup_root);
    if (!keeps_extended_attributes(backup_root))
        GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
    std::vector<std::string> notes;
    archive.on_note = [&notes](const std::string& line) { notes.push_back(line); };
    write_main("d/new.bin", "new", 1500000000);
    ASSERT_TRUE(compare()) << error;

    // No record of copies in flight: the mark alone tells the temporary.
    ASSERT_TRUE(merge_killed_at(fs::copy_step::named, 1));
    const auto left = temporaries_below(backup_root);
    ASSERT_EQ(left.size(), 1u);
    ASSERT_TRUE(compare()) << error;
    EXPECT_FALSE(bfs::exists(left[0]));
    EXPECT_EQ(by_name(*table).count(left[0].filename().string()), 0u);
    EXPECT_EQ(notes, std::vector<std::string>(
                         { "Removed 1 temporaries of an interrupted copy in " + (backup_root / "d").string() }));
}

// A read-only mode forbids an ordinary user to take the mark off a file; a kill just after the
// rename left it on as root too.
TEST_F(merge_safety, no_placed_file_keeps_a_mark_whatever_its_mode_or_a_kill)
{
    bfs::create_directories(backup_root);
    if (!keeps_extended_attributes(backup_root))
        GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
    for (const char* name : { "new.txt", "replaced.txt", "other.txt" })
        ASSERT_EQ(::chmod(write_main(name, std::string("main ") + name, 1600000000).c_str(), 0444), 0);
    write_backup("replaced.txt", "old", 1500000000);
    ASSERT_TRUE(compare()) << error;

    ASSERT_TRUE(merge_killed_at(fs::copy_step::placed, 1));
    EXPECT_EQ(placed_files_marked(backup_root), std::vector<bfs::path>());
    ASSERT_TRUE(compare()) << error;
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error)) << error;
    EXPECT_EQ(placed_files_marked(backup_root), std::vector<bfs::path>());
    EXPECT_TRUE(temporaries_below(backup_root).empty());
    struct ::stat placed {};
    ASSERT_EQ(::stat((backup_root / "replaced.txt").c_str(), &placed), 0);
    EXPECT_EQ(placed.st_mode & 07777, 0444u);
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "replaced.txt"), "main replaced.txt");
}

TEST_F(merge_safety, temporaries_on_a_volume_without_attributes_are_known_by_the_record)
{
    if (!test_support::running_as_root())
        GTEST_SKIP() << "only root mounts a volume without extended attributes";
    bfs::create_directories(backup_root);
    if (::mount("ramfs", backup_root.c_str(), "ramfs", 0, nullptr) != 0)
        GTEST_SKIP() << "no volume can be mounted here: " << std::strerror(errno);
    struct unmount {
        const bfs::path& point;
        ~unmount() { ::umount2(point.c_str(), MNT_DETACH); }
    } mounted { backup_root };
    if (keeps_extended_attributes(backup_root))
        GTEST_SKIP() << "this kernel's ramfs keeps extended attributes";
    const bfs::path settings = folder.path() / "settings";
    bfs::create_directories(settings);
    archive.set_copy_record_folder(settings.string());
    std::vector<std::string> notes;
    archive.on_note = [&notes](const std::string& line) { notes.push_back(line); };
    write_main("d/new.bin", std::string(100000, 'n'), 1600000000);
    write_main("replaced.bin", std::string(100000, 'r'), 1600000000);
    write_backup("replaced.bin", "old", 1500000000);
    const bfs::path users = write_backup("d/.notes.tarvoline-2024abcd", "a user's notes");

    for (const fs::copy_step step : { fs::copy_step::named, fs::copy_step::written, fs::copy_step::unmarked }) {
        ASSERT_TRUE(compare()) << error;
        notes.clear();
        ASSERT_TRUE(merge_killed_at(step, 1)) << static_cast<int>(step);
        auto left = temporaries_below(backup_root);
        left.erase(std::remove(left.begin(), left.end(), users), left.end());
        ASSERT_FALSE(left.empty()) << static_cast<int>(step);
        std::map<std::string, int> left_in;
        for (const bfs::path& temporary : left)
            ++left_in[temporary.parent_path().string()];
        std::vector<std::string> expected;
        for (const auto& leftovers : left_in)
            expected.push_back("Removed " + std::to_string(leftovers.second)
                               + " temporaries of an interrupted copy in " + leftovers.first);
        ASSERT_TRUE(compare()) << error;
        for (const bfs::path& temporary : left) {
            EXPECT_FALSE(bfs::exists(temporary)) << static_cast<int>(step);
            EXPECT_EQ(by_name(*table).count(temporary.filename().string()), 0u);
        }
        EXPECT_EQ(notes, expected);
        EXPECT_TRUE(bfs::is_empty(settings)) << "the dead process's record goes";
    }
    // Nothing left for a merge the other way to copy into the main folder but the user's file.
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(-1), error)) << error;
    EXPECT_EQ(temporaries_below(main_root), std::vector<bfs::path>({ main_root / "d" / ".notes.tarvoline-2024abcd" }));
}

// A temporary nothing would recognise after a kill is never made: a volume without extended
// attributes keeps no mark, and a mark comes off before the rename.
TEST_F(merge_safety, a_merge_stops_where_the_record_of_copies_in_flight_cannot_be_kept)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings, false);
    write_main("a.txt", "main a", 1600000000);
    write_main("d/b.txt", "main b", 1600000000);
    write_main("c.txt", "main c", 1600000000);
    write_backup("c.txt", "old c", 1500000000);
    ASSERT_TRUE(compare()) << error;

    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error));
    EXPECT_EQ(error, "Cannot keep the record of copies in flight in " + settings.string() + ": No such file or directory");
    EXPECT_EQ(counters.files_copied, 0u);
    EXPECT_FALSE(bfs::exists(backup_root / "a.txt"));
    EXPECT_FALSE(bfs::exists(backup_root / "d"));
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "c.txt"), "old c");
    EXPECT_TRUE(temporaries_below(backup_root).empty());

    // A folder that can take the record again is used again.
    bfs::create_directories(settings);
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(table->rows.size(), 3u);
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "c.txt"), "main c");
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / "b.txt"), "main b");
    EXPECT_TRUE(temporaries_below(backup_root).empty());
}

// Deleted by hand, or its folder cleaned up, while a merge runs: the temporaries named after that
// would be in a file no comparison reads.
TEST_F(merge_safety, a_record_deleted_during_a_merge_is_written_again_before_the_next_temporary)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    const int files = 3;
    for (int file = 0; file < files; ++file) {
        write_main("d/f" + std::to_string(file), "main", 1600000000);
        write_backup("d/f" + std::to_string(file), "old", 1500000000);
    }
    ASSERT_TRUE(compare()) << error;
    // Killed as the batch readies its copies, past the mark that would tell them otherwise.
    bool deleted = false;
    ASSERT_TRUE(merge_killed_at(fs::copy_step::unmarked, 1, [&](fs::copy_step step) {
        if (step == fs::copy_step::written && !deleted) {
            delete_records(settings);
            deleted = true;
        }
    }));
    const auto left = temporaries_below(backup_root);
    ASSERT_EQ(left.size(), static_cast<std::size_t>(files));

    ASSERT_TRUE(compare()) << error;
    for (const bfs::path& temporary : left) {
        EXPECT_FALSE(bfs::exists(temporary));
        EXPECT_EQ(by_name(*table).count(temporary.filename().string()), 0u) << temporary;
    }
    EXPECT_EQ(table->rows.size(), static_cast<std::size_t>(files));
    EXPECT_EQ(records_in(settings), 0u);
}

// The Rename rule keeps a replaced file's old version after its temporary is named and before it
// is made; the record deleted meanwhile must still name it once written again.
TEST_F(merge_safety, a_record_deleted_while_an_old_version_is_kept_names_the_temporary_made_after)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    for (const char* name : { "d/a", "d/b" }) {
        write_main(name, "main", 1600000000);
        write_backup(name, "old", 1500000000);
    }
    ASSERT_TRUE(compare()) << error;
    int replacing = 0;
    const fs::file_archive::before_copy prepare = [&](const bfs::path&, const bfs::path&, bool replaces,
                                                      std::string&, int&) {
        if (replaces && ++replacing == 2)
            delete_records(settings);
        return true;
    };
    std::vector<std::string> unnamed;
    fs::on_copy_step = [&](fs::copy_step step) {
        if (step == fs::copy_step::named) {
            const auto now = unnamed_temporaries(settings);
            unnamed.insert(unnamed.end(), now.begin(), now.end());
        }
    };
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error, prepare)) << error;
    EXPECT_EQ(replacing, 2);
    EXPECT_EQ(unnamed, std::vector<std::string>());
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / "b"), "main");
    EXPECT_TRUE(temporaries_below(backup_root).empty());
}

// Deleted by hand while a long copy runs, and again once a batch's copies are written and wait for
// their flush: each is written again before the copy goes on and before a mark comes off.
TEST_F(merge_safety, a_record_deleted_while_copies_are_in_flight_is_written_again_before_they_go_on)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    // More than a chunk of the copy: the record is looked at between two.
    write_main("a/long.bin", std::string((std::size_t(8) << 20) + 1, 'l'), 1600000000);
    write_main("b/replaced.bin", "main", 1600000000);
    write_backup("b/replaced.bin", "old", 1500000000);
    ASSERT_TRUE(compare()) << error;
    const auto in_flight = [&](const std::string& name) {
        const auto temporaries = temporaries_below(backup_root);
        return std::any_of(temporaries.begin(), temporaries.end(), [&](const bfs::path& temporary) {
            return temporary.filename().string().rfind("." + name + ".", 0) == 0;
        });
    };
    std::vector<std::string> deleted;
    std::vector<std::string> unnamed;
    fs::on_copy_step = [&](fs::copy_step step) {
        if (step == fs::copy_step::named && in_flight("long.bin") && deleted.empty()) {
            delete_records(settings);
            deleted.push_back("as the long copy began");
        } else if (step == fs::copy_step::written && in_flight("replaced.bin") && deleted.size() == 1) {
            delete_records(settings);
            deleted.push_back("as the batch's copy was written");
        } else if (step == fs::copy_step::read || step == fs::copy_step::unmarked) {
            const auto now = unnamed_temporaries(settings);
            unnamed.insert(unnamed.end(), now.begin(), now.end());
        }
    };
    ASSERT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error)) << error;
    EXPECT_EQ(deleted.size(), 2u);
    EXPECT_EQ(unnamed, std::vector<std::string>());
    EXPECT_EQ(bfs::file_size(backup_root / "a" / "long.bin"), (std::uintmax_t(8) << 20) + 1);
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "b" / "replaced.bin"), "main");
    EXPECT_TRUE(temporaries_below(backup_root).empty());
}

// A record that can't grow past a size, as on a nearly full volume: a row whose folder can't be
// noted leaves nothing, and one whose old version is kept goes through, as its record was complete
// before anything of it was made.
TEST_F(merge_safety, a_row_leaves_nothing_of_itself_when_the_record_cannot_take_its_folder)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    write_main("n/a", "new", 1600000000);
    write_main("e/r", "main r", 1600000000);
    write_backup("e/r", "old r", 1500000000);
    ASSERT_TRUE(compare()) << error;
    struct ::rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto cap = [&](std::size_t bytes) {
        struct ::rlimit capped = saved;
        capped.rlim_cur = bytes;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &capped), 0);
    };
    struct restore {
        const struct ::rlimit& limit;
        void (*const signal_before)(int);
        ~restore()
        {
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, signal_before);
        }
    } restored { saved, std::signal(SIGXFSZ, SIG_IGN) };
    char* resolved = ::realpath(backup_root.c_str(), nullptr);
    ASSERT_NE(resolved, nullptr);
    const std::string backup(resolved);
    std::free(resolved);

    // Room for the new row's name, none for the note of the folder it makes.
    cap(("=" + backup + "\n").size() + ("+" + backup + "/n/.a.tarvoline-abcdefgh\n").size());
    EXPECT_FALSE(archive.merge_row(backup_root.string(), row_named("a"), &counters, choose(1), error));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, "Cannot keep the record of copies in flight in " + settings.string() + ": File too large");
    EXPECT_FALSE(bfs::exists(backup_root / "n"));

    // The record can't grow once the Rename rule has kept the old version.
    const bfs::path kept = backup_root / "e" / "r_20260101_000000";
    const fs::file_archive::before_copy keep_old = [&](const bfs::path&, const bfs::path& target, bool replacing,
                                                       std::string&, int&) {
        if (replacing) {
            bfs::copy_file(target, kept);
            const auto records = records_of(settings);
            cap(records.empty() ? 0 : bfs::file_size(records.front()));
        }
        return true;
    };
    const bool merged = archive.merge_row(backup_root.string(), row_named("r"), &counters, choose(1), error, keep_old);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(merged) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "e" / "r"), merged ? "main r" : "old r");
    EXPECT_TRUE(!bfs::exists(kept) || test_support::temp_folder::read(backup_root / "e" / "r") == "main r")
        << "an old version beside a file that was not replaced";
    EXPECT_TRUE(temporaries_below(backup_root).empty());
}

// A full disk with inodes left: the record's file can be made, but takes no line.
TEST_F(merge_safety, a_row_whose_temporary_cannot_be_named_leaves_the_backup_as_it_was)
{
    if (!test_support::running_as_root())
        GTEST_SKIP() << "only root mounts a volume small enough to fill";
    const bfs::path settings = folder.path() / "settings";
    bfs::create_directories(settings);
    if (::mount("tmpfs", settings.c_str(), "tmpfs", 0, "size=4k") != 0)
        GTEST_SKIP() << "no volume can be mounted here: " << std::strerror(errno);
    struct unmount {
        const bfs::path& point;
        ~unmount() { ::umount2(point.c_str(), MNT_DETACH); }
    } mounted { settings };
    folder.write("settings/filler", std::string(4096, 'f'));
    keep_record_in(settings, false);
    write_main("d/new.txt", "new", 1600000000);
    write_main("c.txt", "main c", 1600000000);
    write_backup("c.txt", "old c", 1500000000);
    ASSERT_TRUE(compare()) << error;

    // As the Rename rule keeps the old version.
    int prepared = 0;
    const fs::file_archive::before_copy prepare = [&](const bfs::path&, const bfs::path&, bool, std::string&, int&) {
        ++prepared;
        return true;
    };
    const std::string refusal = "Cannot keep the record of copies in flight in " + settings.string()
        + ": No space left on device";
    EXPECT_FALSE(archive.merge_row(backup_root.string(), row_named("new.txt"), &counters, choose(1), error, prepare));
    EXPECT_EQ(error, refusal);
    EXPECT_FALSE(bfs::exists(backup_root / "d"));
    EXPECT_FALSE(archive.merge_row(backup_root.string(), row_named("c.txt"), &counters, choose(1), error, prepare));
    EXPECT_EQ(error, refusal);
    EXPECT_EQ(prepared, 0);
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "c.txt"), "old c");
    EXPECT_TRUE(temporaries_below(backup_root).empty());
}

// A drive unplugged, or a folder renamed, at the comparison after a kill.
TEST_F(merge_safety, a_leftover_whose_folder_is_away_is_removed_once_it_is_back)
{
    const bfs::path settings = folder.path() / "settings";
    // Past its mark: only the record tells it from a user's file.
    const bfs::path left = leftover_of_a_killed_merge(settings);
    ASSERT_FALSE(left.empty());

    const bfs::path away = folder.path() / "backup-away";
    bfs::rename(backup_root, away);
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(records_in(settings), 1u);
    bfs::remove(backup_root);
    bfs::rename(away, backup_root);
    ASSERT_TRUE(compare()) << error;
    expect_removed_with_its_record(left, settings);
}

// Two drives used in turn at one path, with the same folders.
TEST_F(merge_safety, only_the_folder_a_leftover_was_made_in_settles_it)
{
    const bfs::path settings = folder.path() / "settings";
    const bfs::path left = leftover_of_a_killed_merge(settings);
    ASSERT_FALSE(left.empty());

    const bfs::path first_drive = folder.path() / "first-drive";
    bfs::rename(backup_root, first_drive);
    bfs::create_directories(backup_root / "d");
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(records_in(settings), 1u);
    bfs::rename(backup_root, folder.path() / "second-drive");
    bfs::rename(first_drive, backup_root);
    ASSERT_TRUE(compare()) << error;
    expect_removed_with_its_record(left, settings);
}

TEST_F(merge_safety, a_temporary_that_cannot_be_removed_stays_named_until_it_has_gone)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    write_main("d/new.txt", "new", 1600000000);
    bfs::create_directories(backup_root / "d");
    ASSERT_TRUE(compare()) << error;
    // The folder goes just before the rename and a file takes its place: neither the rename nor
    // the removal of the temporary can be made, as on a drive pulled out.
    const bfs::path away = backup_root / "d-away";
    fs::on_copy_step = [&](fs::copy_step step) {
        if (step == fs::copy_step::unmarked) {
            bfs::rename(backup_root / "d", away);
            folder.write("backup/d", "in the folder's place");
        }
    };
    EXPECT_FALSE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error));
    fs::on_copy_step = nullptr;
    EXPECT_NE(error.find("cannot replace the target"), std::string::npos) << error;

    // The process ends with the temporary still named.
    archive.set_copy_record_folder(settings.string());
    EXPECT_EQ(records_in(settings), 1u);
    bfs::remove(backup_root / "d");
    bfs::rename(away, backup_root / "d");
    const auto left = temporaries_below(backup_root);
    ASSERT_EQ(left.size(), 1u);
    ASSERT_TRUE(compare()) << error;
    EXPECT_FALSE(bfs::exists(left[0]));
    EXPECT_EQ(table->rows.size(), 1u);
    EXPECT_EQ(notes, std::vector<std::string>({ removed_line(backup_root / "d") }));
    EXPECT_EQ(records_in(settings), 0u);
}

// A second window, or a second instance started by mistake, compares the same folders while a
// merge flushes its copies.
TEST_F(merge_safety, another_process_comparing_during_a_merge_leaves_its_temporaries_alone)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    const int files = 40;
    for (int file = 0; file < files; ++file) {
        write_main("d/f" + std::to_string(file), "main " + std::to_string(file), 1600000000);
        write_backup("d/f" + std::to_string(file), "old", 1500000000);
    }
    ASSERT_TRUE(compare()) << error;

    struct stopped_merge {
        pid_t pid;
        ~stopped_merge()
        {
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    } merge { ::fork() };
    ASSERT_GE(merge.pid, 0);
    if (merge.pid == 0) {
        // Stopped as the first copy of the batch is readied for its rename.
        std::atomic<bool> stopped { false };
        fs::on_copy_step = [&stopped](fs::copy_step step) {
            if (step == fs::copy_step::unmarked && !stopped.exchange(true))
                ::raise(SIGSTOP);
        };
        std::string merge_error;
        ::_exit(archive.merge_rows(backup_root.string(), *table, nullptr, choose(1), merge_error) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(merge.pid, &status, WUNTRACED), merge.pid);
    ASSERT_TRUE(WIFSTOPPED(status));
    const auto in_flight = temporaries_below(backup_root);
    ASSERT_EQ(in_flight.size(), static_cast<std::size_t>(files));

    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(table->rows.size(), static_cast<std::size_t>(files));
    for (const bfs::path& temporary : in_flight)
        EXPECT_EQ(by_name(*table).count(temporary.filename().string()), 0u) << temporary;
    EXPECT_EQ(temporaries_below(backup_root), in_flight);

    ::kill(merge.pid, SIGCONT);
    ASSERT_EQ(::waitpid(merge.pid, &status, 0), merge.pid);
    merge.pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int file = 0; file < files; ++file)
        EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / ("f" + std::to_string(file))),
                  "main " + std::to_string(file));
    EXPECT_TRUE(temporaries_below(backup_root).empty());
}

// Damaged, made by hand or by an older version: a record removes nothing but a temporary below
// the roots it names, reached as written.
TEST_F(merge_safety, a_record_removes_only_temporaries_of_its_own_process)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    const std::string notes_name = ".notes.tarvoline-2024abcd";
    const bfs::path main_notes = write_main(notes_name, "a user's notes in main");
    const bfs::path backup_notes = write_backup("d/" + notes_name, "a user's notes in the backup");
    const bfs::path outside = folder.write("outside/.plan.tarvoline-abcd2024", "outside both trees");
    bfs::create_directory_symlink(outside.parent_path(), backup_root / "link");
    const bfs::path leftover = write_backup("d/.a.txt.tarvoline-k3j4h5g6", "a dead process's partial copy");
    const bfs::path profile = write_backup("d/.profile", "a user's profile");
    char* resolved = ::realpath(backup_root.c_str(), nullptr);
    ASSERT_NE(resolved, nullptr);
    const std::string backup(resolved);
    std::free(resolved);

    const auto line = [](const std::string& path) { return "+" + path + "\n"; };
    folder.write("settings/tarvoline-copies-1-aaaaaaaa", line(main_notes.string()) + line(backup_notes.string()));
    folder.write("settings/tarvoline-copies-2-bbbbbbbb",
                 "=" + backup + "\n" + line(backup + "/d/../../outside/.plan.tarvoline-abcd2024")
                     + line(backup + "/link/.plan.tarvoline-abcd2024") + line(main_notes.string())
                     + line("backup/d/.a.txt.tarvoline-k3j4h5g6") + line(backup + "/d/.a.txt.tarvoline-k3j4h5g6"));
    // The system reads a path only up to a NUL byte.
    folder.write("settings/tarvoline-copies-3-cccccccc",
                 "=" + backup + "\n" + line(backup + "/d/.profile" + std::string(1, '\0') + ".tarvoline-abcdefgh"));
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(test_support::temp_folder::read(main_notes), "a user's notes in main");
    EXPECT_EQ(test_support::temp_folder::read(backup_notes), "a user's notes in the backup");
    EXPECT_EQ(test_support::temp_folder::read(outside), "outside both trees");
    EXPECT_EQ(test_support::temp_folder::read(profile), "a user's profile");
    EXPECT_FALSE(bfs::exists(leftover));
    EXPECT_EQ(notes, std::vector<std::string>({ removed_line(bfs::path(backup) / "d") }));
    EXPECT_EQ(records_in(settings), 3u) << "kept for a person to look at";
}

// Kept records of ended processes, each with a line for a person to look at, and few files left to
// open: the comparison reads them and the merge still has its files.
TEST_F(merge_safety, records_of_ended_processes_are_not_held_open)
{
    const bfs::path settings = folder.path() / "settings";
    keep_record_in(settings);
    const int records = 64;
    for (int record = 0; record < records; ++record)
        folder.write("settings/tarvoline-copies-" + std::to_string(100000 + record) + "-aaaaaaaa", "damaged\n");
    // Asked about, a name of the temporaries' form has the walk read the records.
    write_backup("d/.notes.tarvoline-2024abcd", "a user's notes");
    write_main("d/a.txt", "main a", 1600000000);
    write_main("d/b.txt", "main b", 1600000000);

    rlim_t open_files = 0;
    for (bfs::directory_iterator entry("/proc/self/fd"), end; entry != end; ++entry)
        ++open_files;
    struct ::rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct ::rlimit few = saved;
    few.rlim_cur = open_files + records / 2;
    ASSERT_LE(few.rlim_cur, saved.rlim_cur);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    struct restore {
        const struct ::rlimit& limit;
        ~restore() { ::setrlimit(RLIMIT_NOFILE, &limit); }
    } restored { saved };

    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(table->rows.size(), 3u);
    EXPECT_TRUE(archive.merge_rows(backup_root.string(), *table, &counters, choose(1), error)) << error;
    EXPECT_EQ(test_support::temp_folder::read(backup_root / "d" / "b.txt"), "main b");
}

} // namespace
} // namespace catalogue_test
