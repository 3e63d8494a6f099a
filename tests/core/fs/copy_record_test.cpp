// The record of copies in flight as its process writes it, and as a comparison reads it once that
// process has gone or while it still runs.

#include "core/fs/copy_record.h"
#include "core/fs/copy_temporary.h"
#include "core/fs/tree_scanner.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace bfs = boost::filesystem;
using test_support::temp_folder;

enum class record_folder { usable, missing, unwritable, full };
// What happens once the process that named the temporaries is gone, before a comparison.
enum class afterwards { nothing, damaged_line, folder_away, folder_back, still_running };

struct record_case {
    const char* what;
    record_folder folder;
    // The copied file's name, in the folder "d" of the tree.
    std::string target;
    // Temporaries named before its own, at the most: a full folder takes fewer.
    int earlier;
    afterwards then;
    // The system's text when the record can't name the temporary, else empty.
    const char* refusal;
    // Whether the comparison removes the temporaries the record names, and keeps the record.
    bool leftovers_go;
    bool record_kept;
    // The tree is reached through a linked folder.
    bool linked_tree = false;
};

std::vector<bfs::path> temporaries_in(const bfs::path& folder)
{
    std::vector<bfs::path> found;
    boost::system::error_code error;
    for (bfs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (fs::is_copy_temporary(name.data(), name.size()))
            found.push_back(entry->path());
    }
    return found;
}

std::vector<bfs::path> records_in(const bfs::path& folder)
{
    std::vector<bfs::path> found;
    boost::system::error_code error;
    for (bfs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().filename().string().rfind("tarvoline-copies-", 0) == 0)
            found.push_back(entry->path());
    }
    return found;
}

std::size_t removed_in_all(const fs::copy_record::leftovers& done)
{
    std::size_t removed = 0;
    for (const auto& folder : done.removed)
        removed += folder.second;
    return removed;
}

// A process that names temporaries in a record and ends without a word, as a killed one does;
// with `stay`, it runs until released.
class naming_process {
public:
    naming_process(const bfs::path& records, const bfs::path& tree, const record_case& row, bool stay)
    {
        int report[2];
        int hold[2];
        if (::pipe(report) != 0 || ::pipe(hold) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(report[0]);
            ::close(hold[1]);
            // Deliberately leaked: no destructor runs in a process that is killed.
            auto* record = new fs::copy_record(records.string());
            int named = 0;
            const auto name = [&](const std::string& target) {
                bfs::path temporary;
                const int handle = fs::create_copy_temporary(tree / "d" / target, temporary, record, tree);
                if (handle >= 0) {
                    ::close(handle);
                    ++named;
                }
                return handle >= 0;
            };
            for (int earlier = 0; earlier < row.earlier && name(std::to_string(earlier) + row.target);)
                ++earlier;
            const std::string said = name(row.target) ? std::string() : record->failure();
            const std::string answer = std::to_string(named) + "\n" + said;
            if (::write(report[1], answer.data(), answer.size()) < 0)
                ::_exit(2);
            ::close(report[1]);
            char ignored;
            while (stay && ::read(hold[0], &ignored, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(report[1]);
        ::close(hold[0]);
        release_ = hold[1];
        std::string answer;
        char buffer[512];
        for (ssize_t got; (got = ::read(report[0], buffer, sizeof(buffer))) > 0;)
            answer.append(buffer, static_cast<std::size_t>(got));
        ::close(report[0]);
        const std::size_t line = answer.find('\n');
        named_ = std::atoi(answer.substr(0, line).c_str());
        refusal_ = line == std::string::npos ? std::string("no answer") : answer.substr(line + 1);
    }
    ~naming_process() { end(); }

    int named() const { return named_; }
    const std::string& refusal() const { return refusal_; }
    void end()
    {
        if (release_ >= 0)
            ::close(release_);
        release_ = -1;
        if (pid_ > 0)
            ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ { -1 };
    int release_ { -1 };
    int named_ { 0 };
    std::string refusal_;
};

struct mounted_volume {
    bfs::path point;
    ~mounted_volume()
    {
        if (!point.empty())
            ::umount2(point.c_str(), MNT_DETACH);
    }
};

// Makes the records' folder as the row wants it; false, with the reason, where this machine can't.
bool make_record_folder(const bfs::path& records, record_folder kind, mounted_volume& volume, std::string& why)
{
    if (kind == record_folder::missing)
        return true;
    bfs::create_directories(records);
    if (kind == record_folder::usable)
        return true;
    if (!test_support::running_as_root()) {
        if (kind == record_folder::full) {
            why = "only root mounts a volume small enough to fill";
            return false;
        }
        return ::chmod(records.c_str(), 0555) == 0;
    }
    // Root writes into any folder: a read-only volume refuses it all the same. One page is a
    // volume a few lines fill.
    const unsigned long flags = kind == record_folder::unwritable ? MS_RDONLY : 0;
    if (::mount("tmpfs", records.c_str(), "tmpfs", flags, "size=4k") != 0) {
        why = std::string("no volume can be mounted here: ") + std::strerror(errno);
        return false;
    }
    volume.point = records;
    return true;
}

TEST(copy_record, names_what_it_can_and_a_comparison_removes_only_settled_leftovers)
{
    const std::string long_name(200, 'n');
    const char* unwritable = test_support::running_as_root() ? "Read-only file system" : "Permission denied";
    const std::vector<record_case> rows = {
        { "names with a line break and a backslash", record_folder::usable, "notes\nfrom a\\b", 1,
          afterwards::nothing, "", true, false },
        { "a damaged line", record_folder::usable, "plain.txt", 0, afterwards::damaged_line, "", true, true },
        { "another process's live record", record_folder::usable, "live.txt", 0, afterwards::still_running, "",
          true, false },
        { "a missing folder", record_folder::missing, "a.txt", 0, afterwards::nothing, "No such file or directory",
          true, false },
        { "an unwritable folder", record_folder::unwritable, "a.txt", 0, afterwards::nothing, unwritable, true,
          false },
        { "a full folder", record_folder::full, long_name, 100, afterwards::nothing, "No space left on device", true,
          false },
        { "a folder away", record_folder::usable, "away.txt", 0, afterwards::folder_away, "", false, true },
        { "a folder that comes back", record_folder::usable, "back.txt", 0, afterwards::folder_back, "", true,
          false },
        { "a tree reached through a linked folder", record_folder::usable, "linked.txt", 0, afterwards::nothing, "",
          true, false, true },
    };
    for (const record_case& row : rows) {
        SCOPED_TRACE(row.what);
        temp_folder top;
        const bfs::path records = top.path() / "records";
        const bfs::path real_tree = top.path() / "tree";
        bfs::create_directories(real_tree / "d");
        bfs::path tree = real_tree;
        if (row.linked_tree) {
            tree = top.path() / "link";
            bfs::create_directory_symlink(real_tree, tree);
        }
        mounted_volume volume;
        std::string why;
        if (!make_record_folder(records, row.folder, volume, why)) {
            std::printf("skipped row \"%s\": %s\n", row.what, why.c_str());
            continue;
        }

        naming_process process(records, tree, row, row.then == afterwards::still_running);
        const std::vector<bfs::path> named = temporaries_in(real_tree / "d");
        EXPECT_EQ(named.size(), static_cast<std::size_t>(process.named()));
        EXPECT_EQ(process.refusal(), *row.refusal == 0 ? std::string()
                                                       : "Cannot keep the record of copies in flight in "
                                                           + records.string() + ": " + row.refusal);
        // A refused line leaves none of it behind: the next one would be glued to it.
        for (const bfs::path& record : records_in(records)) {
            const std::string lines = temp_folder::read(record);
            EXPECT_TRUE(lines.empty() || lines.back() == '\n') << lines;
        }

        // Left alone while its process runs, removed once it has gone.
        if (row.then == afterwards::still_running) {
            EXPECT_TRUE(fs::copy_record::remove_leftovers(records.string()).removed.empty());
            ASSERT_EQ(named.size(), 1u);
            struct ::stat info {};
            ASSERT_EQ(::lstat(named[0].c_str(), &info), 0);
            fs::copies_in_flight in_flight(records.string());
            EXPECT_TRUE(in_flight.names(named[0].filename().string(), fs::file_identity::of(info)));
        }
        process.end();
        const bfs::path away = real_tree / "d-away";
        if (row.then == afterwards::damaged_line) {
            ASSERT_EQ(records_in(records).size(), 1u);
            std::FILE* record = std::fopen(records_in(records)[0].c_str(), "a");
            ASSERT_NE(record, nullptr);
            std::fputs("garbage\n+relative/.x.tarvoline-abcd2024\n", record);
            std::fclose(record);
        }
        if (row.then == afterwards::folder_away || row.then == afterwards::folder_back) {
            bfs::rename(real_tree / "d", away);
            EXPECT_TRUE(fs::copy_record::remove_leftovers(records.string()).removed.empty());
            EXPECT_EQ(records_in(records).size(), 1u) << "a leftover whose folder is away stays named";
        }
        if (row.then == afterwards::folder_back)
            bfs::rename(away, real_tree / "d");

        const fs::copy_record::leftovers done = fs::copy_record::remove_leftovers(records.string());
        EXPECT_EQ(removed_in_all(done), row.leftovers_go ? named.size() : 0u);
        for (const bfs::path& temporary : named) {
            const bfs::path now = row.then == afterwards::folder_away ? away / temporary.filename() : temporary;
            EXPECT_EQ(bfs::exists(now), !row.leftovers_go) << now;
        }
        EXPECT_EQ(records_in(records).size(), row.record_kept ? 1u : 0u);
    }
}

// A comparison walking a folder while a merge places its copies there: met under its temporary's
// name, a copy is in place, and its record names it no more, by the time the walk asks.
TEST(copy_record, a_temporary_placed_as_the_walk_meets_it_is_not_listed)
{
    temp_folder top;
    const bfs::path records = top.path() / "records";
    const bfs::path tree = top.path() / "tree";
    bfs::create_directories(records);
    bfs::create_directories(tree / "d");
    fs::copy_record record(records.string());
    bfs::path temporary;
    const int handle = fs::create_copy_temporary(tree / "d" / "copied.txt", temporary, &record, tree);
    ASSERT_GE(handle, 0);
    ASSERT_EQ(::write(handle, "new", 3), 3);
    ::close(handle);

    fs::copies_in_flight in_flight(records.string());
    struct placing {
        placing(const bfs::path& temporary, fs::copy_record& record)
        {
            fs::tree_scanner::on_temporary_met = [&temporary, &record](const std::string& met) {
                const bfs::path target = temporary.parent_path() / "copied.txt";
                if (met == temporary.string() && ::rename(met.c_str(), target.c_str()) == 0)
                    record.clear();
            };
        }
        ~placing() { fs::tree_scanner::on_temporary_met = nullptr; }
    } placed(temporary, record);
    std::vector<std::string> listed;
    {
        fs::tree_scanner walk(tree, true, &in_flight);
        fs::tree_scanner::batch found;
        while (walk.next(found)) {
            for (const fs::tree_scanner::file& file : found.files)
                listed.push_back(file.name);
        }
    }
    EXPECT_FALSE(bfs::exists(temporary));
    for (const std::string& name : listed)
        EXPECT_FALSE(fs::is_copy_temporary(name.data(), name.size())) << name;
}

} // namespace
