#include "core/fs/file_archive.h"

#include "core/data/data_table.h"
#include "core/fs/copy_temporary.h"
#include "core/fs/file_content.h"
#include "core/fs/file_presence.h"
#include "core/utils/string_utils.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs {

namespace bfs = boost::filesystem;

namespace {

const char* const changed_since_comparison = "it changed since the comparison";

bool is_folder(const bfs::path& path)
{
    boost::system::error_code ignored;
    return bfs::is_directory(path, ignored);
}

bool same_file(const bfs::path& first, const bfs::path& second)
{
    boost::system::error_code ignored;
    return present(first) && present(second) && bfs::equivalent(first, second, ignored);
}

// Elements of a path, without the "." that a trailing separator adds.
std::vector<std::string> elements(const bfs::path& path)
{
    std::vector<std::string> parts;
    for (const auto& element : path)
        parts.push_back(element.string());
    if (parts.size() > 1 && parts.back() == ".")
        parts.pop_back();
    return parts;
}

// A row is rebuilt against a root only when its path lies strictly below that root; anything
// else would send the copy to an unrelated place. A ".." below the root climbs out of it (rows
// can come from a loaded database), so it counts as elsewhere.
bool lies_below(const bfs::path& path, const bfs::path& root)
{
    const auto path_parts = elements(path);
    const auto root_parts = elements(root);
    if (root.empty() || path_parts.size() <= root_parts.size())
        return false;
    return std::equal(root_parts.begin(), root_parts.end(), path_parts.begin())
        && std::find(path_parts.begin() + static_cast<std::ptrdiff_t>(root_parts.size()), path_parts.end(), "..")
        == path_parts.end();
}

// Root text + relative path without doubling the separator of a root given with a trailing one.
bfs::path join(const bfs::path& root, const bfs::path& relative)
{
    std::string rest = relative.string();
    const auto first = rest.find_first_not_of(bfs::path::preferred_separator);
    rest.erase(0, first == std::string::npos ? rest.size() : first);
    return rest.empty() ? root : root / rest;
}

// The first link met on the way from the root down to root + relative, or the empty path. The
// walk never enters a linked folder, so a file behind one was never compared and a copy through
// it could replace something newer; a target that is itself a link to a folder counts too.
bfs::path linked_folder_on_the_way(const bfs::path& root, const bfs::path& relative)
{
    bfs::path reached = root;
    std::vector<std::string> steps = elements(relative);
    if (!steps.empty() && steps.front() == "/")
        steps.erase(steps.begin());
    for (std::size_t step = 0; step < steps.size(); ++step) {
        reached = join(reached, steps[step]);
        struct ::stat info;
        if (::lstat(reached.c_str(), &info) != 0)
            return bfs::path();
        if (!S_ISLNK(info.st_mode))
            continue;
        const bool last = step + 1 == steps.size();
        if (!last || is_folder(reached))
            return reached;
    }
    return bfs::path();
}

std::uint64_t regular_bytes(const struct ::stat& info)
{
    return S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
}

bool out_of_space(int code)
{
    return code == ENOSPC || code == EDQUOT;
}

const char* kind_name(bool folder)
{
    return folder ? "a folder" : "a file";
}

// What the comparison recorded on one side of a row: the side's name cell is empty when the
// file was missing there.
file_archive::recorded_target recorded_side(const data::data_row& row, const std::string& side)
{
    file_archive::recorded_target recorded;
    recorded.present = !row.get<std::string>(side + "_name", std::string()).empty();
    const std::string size = row.get<std::string>(side + "_size", std::string());
    const std::string time = row.get<std::string>(side + "_time", std::string());
    recorded.size = utils::string_utils::to_uint64(size.c_str(), size.size(), 0);
    recorded.last_write_time = utils::string_utils::to_int64(time.c_str(), time.size());
    return recorded;
}

// Whether what is at a target (`now`, null when nothing is) is what the comparison recorded.
bool as_recorded(const struct ::stat* now, const file_archive::recorded_target& recorded)
{
    if (now == nullptr)
        return true;
    return recorded.present && S_ISREG(now->st_mode) && static_cast<std::uint64_t>(now->st_size) == recorded.size
        && static_cast<std::int64_t>(now->st_mtime) == recorded.last_write_time;
}

// Readies a complete temporary to take its target's place: its mark off first, while its mode
// still lets its owner change it, then the source's permissions.
bool ready_to_place(int temporary, const struct ::stat& source_info, copy_failure& failure)
{
    if (!unmark_copy_temporary(temporary)) {
        failure = { "cannot take the temporary's mark off", errno };
        return false;
    }
    return copy_permissions(source_info, temporary, failure);
}

// Records of copies in flight past this size are emptied between rows that leave nothing waiting.
const std::size_t record_bound = 64 * 1024;

// The looks at the record of copies in flight of a loop that takes the marks off temporaries or
// renames them one after another: a look less than a tenth of a millisecond old stands for a new
// one. A look is a system call, and one per temporary cost a merge of small files on a fast volume
// a few hundredths; on a slow one each temporary takes longer than that anyway.
class record_looks {
public:
    explicit record_looks(copy_record* record) : record_(record) {}

    // Whether the record, if any, is where comparisons read it, written again if need be.
    bool in_place()
    {
        if (record_ == nullptr)
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (looked_ && now - last_ < std::chrono::microseconds(100))
            return true;
        if (!record_->stay_in_place())
            return false;
        looked_ = true;
        last_ = now;
        return true;
    }

private:
    copy_record* record_;
    bool looked_ { false };
    std::chrono::steady_clock::time_point last_;
};

} // namespace

copy_counts& copy_counts::operator+=(const copy_counts& other)
{
    bytes_handled += other.bytes_handled;
    entries_handled += other.entries_handled;
    files_copied += other.files_copied;
    bytes_copied += other.bytes_copied;
    return *this;
}

copy_counts& copy_counts::operator-=(const copy_counts& other)
{
    bytes_handled -= other.bytes_handled;
    entries_handled -= other.entries_handled;
    files_copied -= other.files_copied;
    bytes_copied -= other.bytes_copied;
    return *this;
}

// One fdatasync per replaced file, one after another, made a replacing merge several times
// slower than a plain copy. The copies of many rows are written under their temporary names,
// flushed side by side by a few threads (the file system commits flushes that wait together in
// one go), and each is renamed over its old file only once its own flush has answered: a crash
// at any moment still leaves either the old file or the complete new one.
struct file_archive::replace_batch {
    // The caller's counters and the two byte totals.
    struct tally {
        copy_counts counts;
        std::uint64_t main_bytes { 0 };
        std::uint64_t backup_bytes { 0 };
    };
    struct waiting {
        std::size_t row;
        bfs::path source;
        // The source as it was copied, for the permissions given just before the rename.
        struct ::stat source_info;
        bfs::path temporary;
        // Named in the record of copies in flight, which then tells it from a user's file once
        // its mark is off.
        bool in_record;
        bfs::path target;
        // The folder of the tree copied into.
        bfs::path root;
        bool check_target;
        recorded_target recorded;
        // What the row added to the counters and byte totals, taken back if it fails now.
        tally counted;
    };
    // Bounds what a crash can leave as temporaries and the dirty pages waiting for the flush.
    static constexpr std::size_t most_files = 4096;
    static constexpr std::uint64_t most_bytes = std::uint64_t(256) << 20;
    static constexpr std::size_t flushers = 16;

    copy_counts* counters { nullptr };
    std::size_t row { 0 };
    std::vector<waiting> files;
    std::set<std::string> targets;
    std::uint64_t bytes { 0 };
    // Row number and text of each failed row; rows fail late when their rename fails.
    std::vector<std::pair<std::size_t, std::string>> errors;
    // All that failed waiting copies took back so far.
    tally taken_back;
};

struct file_archive::copying_scope {
    explicit copying_scope(file_archive& archive) : archive_(archive)
    {
        if (archive_.copying_++ == 0)
            archive_.record_failed_ = false;
    }
    ~copying_scope()
    {
        // Each temporary the call made is in place or gone by now.
        if (--archive_.copying_ == 0 && archive_.copies_ != nullptr)
            archive_.copies_->clear();
    }
    copying_scope(const copying_scope&) = delete;
    copying_scope& operator=(const copying_scope&) = delete;

    file_archive& archive_;
};

struct file_archive::merge_walk {
    // The folders already cleared of interrupted copies' temporaries. Clearing happens before
    // the first copy into a folder; copies made in parallel would have to keep it so.
    std::set<std::string> cleared;
    // Null for a merge of one row.
    replace_batch* batch { nullptr };
    const before_copy* prepare { nullptr };
    // The folder of the tree the row copies into.
    bfs::path root;
};

bool file_archive::merge_rows(const std::string& backup_root, data::data_table& table,
                              copy_counts* counters, const chooser& choose, std::string& error,
                              const before_copy& prepare)
{
    error.clear();
    const copying_scope copying(*this);
    replace_batch batch;
    batch.counters = counters;
    merge_walk walk;
    walk.batch = &batch;
    walk.prepare = &prepare;
    const auto join_errors = [&] {
        std::stable_sort(batch.errors.begin(), batch.errors.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& failed : batch.errors)
            error += error.empty() ? failed.second : "\n" + failed.second;
    };
    try {
        // What was ever counted: a row that finishes the batch part-way sees earlier rows'
        // failures taken back during its own.
        const auto counted_so_far = [&] {
            replace_batch::tally now = batch.taken_back;
            if (counters != nullptr)
                now.counts += *counters;
            now.main_bytes += main_bytes;
            now.backup_bytes += backup_bytes[only_backup_id];
            return now;
        };
        for (auto row = table.begin(); row != table.end(); ++row, ++batch.row) {
            const data::data_row copy = *row;
            std::string row_error;
            const replace_batch::tally before = counted_so_far();
            // The record's line is said once, whichever row or batch met it first.
            if (!merge_one(backup_root, copy, counters, choose, walk, row_error)
                && std::none_of(batch.errors.begin(), batch.errors.end(),
                                [&](const auto& failed) { return record_failed_ && failed.second == row_error; }))
                batch.errors.emplace_back(batch.row, row_error);
            // No row goes on without a record that would name its temporaries.
            if (record_failed_)
                break;
            if (!batch.files.empty() && batch.files.back().row == batch.row) {
                const replace_batch::tally after = counted_so_far();
                replace_batch::tally& added = batch.files.back().counted;
                added.counts = after.counts;
                added.counts -= before.counts;
                added.main_bytes = after.main_bytes - before.main_bytes;
                added.backup_bytes = after.backup_bytes - before.backup_bytes;
            }
            if (batch.files.size() >= replace_batch::most_files || batch.bytes >= replace_batch::most_bytes)
                finish_batch(batch);
            if (record_failed_)
                break;
            // A merge of new files only, copied one by one, never finishes a batch.
            if (batch.files.empty() && copies_ != nullptr && copies_->size() > record_bound)
                copies_->clear();
        }
        finish_batch(batch);
    } catch (const std::exception& failure) {
        finish_batch(batch);
        join_errors();
        error += error.empty() ? failure.what() : std::string("\n") + failure.what();
        return false;
    }
    join_errors();
    return batch.errors.empty();
}

void file_archive::finish_batch(replace_batch& batch)
{
    std::vector<replace_batch::waiting> files;
    files.swap(batch.files);
    batch.targets.clear();
    batch.bytes = 0;
    if (files.empty())
        return;
    // Each copy is flushed on its own, by a few threads at once: the file system commits
    // flushes that wait together in one go, and nothing but the batch's own files is written.
    // (One flush of the whole file system would also wait for everything else being written to it.)
    // A copy is renamed over its target only once its own flush has answered.
    constexpr int not_flushed = -1;
    std::vector<int> flushed(files.size(), not_flushed);
    // A temporary the record names needs no mark until its rename: once flushed, it is readied for
    // it here, by the flushing threads, rather than opened once more one by one before the rename.
    // Its mark comes off only while the record is where comparisons read it; where the record
    // can't be kept there any more, nothing of the batch is placed.
    std::vector<char> readied(files.size(), 0);
    std::atomic<bool> record_lost { false };
    const auto flush_one = [&](std::size_t index, record_looks& looks) {
        const replace_batch::waiting& file = files[index];
        const int handle = ::open(file.temporary.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        const int code = handle < 0 || ::fdatasync(handle) != 0 ? errno : 0;
        if (code == 0 && file.in_record && !record_lost) {
            copy_failure unready;
            if (looks.in_place())
                readied[index] = ready_to_place(handle, file.source_info, unready);
            else
                record_lost = true;
        }
        if (handle >= 0)
            ::close(handle);
        flushed[index] = code;
    };
    std::atomic<std::size_t> next_file { 0 };
    // An exception leaving a thread would end the program; a copy a worker took and never
    // flushed is flushed below by the calling thread.
    const auto flush = [&]() noexcept {
        try {
            record_looks looks(copies_.get());
            for (std::size_t index = next_file++; index < files.size(); index = next_file++)
                flush_one(index, looks);
        } catch (...) {
        }
    };
    std::vector<std::thread> flushers;
    try {
        const std::size_t flusher_count = std::min<std::size_t>(replace_batch::flushers, files.size());
        flushers.reserve(flusher_count);
        for (std::size_t started = 1; started < flusher_count; ++started)
            flushers.emplace_back(flush);
    } catch (const std::exception&) {
        // No more threads to be had (a process limit reached): those started and this one
        // flush the batch.
    }
    flush();
    for (auto& flusher : flushers)
        flusher.join();
    record_looks leftover_looks(copies_.get());
    for (std::size_t index = 0; index < files.size(); ++index) {
        if (flushed[index] == not_flushed)
            flush_one(index, leftover_looks);
    }
    // A row that fails now: its text, if any, and what it counted taken back.
    const auto drop = [&](const replace_batch::waiting& file, const std::string& text) {
        if (!text.empty())
            batch.errors.emplace_back(file.row, text);
        if (batch.counters != nullptr)
            *batch.counters -= file.counted.counts;
        batch.taken_back.counts += file.counted.counts;
        main_bytes -= file.counted.main_bytes;
        backup_bytes[only_backup_id] -= file.counted.backup_bytes;
        batch.taken_back.main_bytes += file.counted.main_bytes;
        batch.taken_back.backup_bytes += file.counted.backup_bytes;
    };
    // The record can't be kept: the merge stops, and the copies still waiting are removed, as the
    // record no longer tells them from a user's files. The record's line says why, once.
    const auto give_up = [&](std::size_t from) {
        if (!record_failed_) {
            record_failed_ = true;
            batch.errors.emplace_back(files[from].row, copies_->failure());
        }
        for (std::size_t waiting = from; waiting < files.size(); ++waiting) {
            discard_temporary(files[waiting].temporary);
            drop(files[waiting], std::string());
        }
    };
    if (record_lost)
        give_up(0);
    // Copies whose flush found the volume full are made again, each on its own, once the others'
    // renames have freed their old files.
    std::vector<const replace_batch::waiting*> again;
    record_looks rename_looks(copies_.get());
    for (std::size_t at = 0; at < files.size() && !record_lost; ++at) {
        const replace_batch::waiting& file = files[at];
        const auto fail = [&](const std::string& what, int code) {
            discard_temporary(file.temporary);
            drop(file, "Unable to copy " + file.source.string() + " to " + file.target.string() + ": " + what
                     + (code != 0 ? ": " + system_message(code) : std::string()));
        };
        const int flush_code = flushed[at];
        if (flush_code != 0 && out_of_space(flush_code)) {
            discard_temporary(file.temporary);
            again.push_back(&file);
            continue;
        }
        if (flush_code != 0) {
            fail("cannot write the content", flush_code);
            continue;
        }
        if (file.check_target) {
            struct ::stat now;
            const bool exists = ::stat(file.target.c_str(), &now) == 0;
            if (!as_recorded(exists ? &now : nullptr, file.recorded)) {
                fail(changed_since_comparison, 0);
                continue;
            }
        }
        if (file.in_record && !rename_looks.in_place()) {
            record_lost = true;
            give_up(at);
            break;
        }
        if (!readied[at]) {
            descriptor placed(::open(file.temporary.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
            if (placed.get() < 0) {
                fail("cannot replace the target", errno);
                continue;
            }
            copy_failure failure;
            if (!ready_to_place(placed.get(), file.source_info, failure)) {
                fail(failure.what, failure.code);
                continue;
            }
            placed.close();
        }
        if (put_copy_in_place(file.temporary, file.target) != 0)
            fail("cannot replace the target", errno);
    }
    for (const replace_batch::waiting* file : again) {
        std::string text;
        int code = 0;
        // Once the record can't take a name, the merge stops: its line is already there.
        if (record_failed_) {
            drop(*file, text);
            continue;
        }
        if (!replace_file(file->source, file->target, file->root, text,
                          file->check_target ? &file->recorded : nullptr, nullptr, code))
            drop(*file, text);
    }
    // Every temporary the record names now is in place or gone.
    if (copies_ != nullptr)
        copies_->clear();
}

bool file_archive::merge_row(const std::string& backup_root, const data::data_row& row,
                             copy_counts* counters, const chooser& choose, std::string& error,
                             const before_copy& prepare)
{
    const copying_scope copying(*this);
    merge_walk walk;
    walk.prepare = &prepare;
    return merge_one(backup_root, row, counters, choose, walk, error);
}

bool file_archive::merge_one(const std::string& backup_root, const data::data_row& row, copy_counts* counters,
                             const chooser& choose, merge_walk& walk, std::string& error)
{
    try {
        const bfs::path main_root = root();
        const bfs::path backup_folder = to_path(backup_root);
        // Without both roots a rebuilt path would start at the file-system root.
        if (main_root.empty() || backup_folder.empty()) {
            error = "Main and backup folders are both needed to merge";
            return false;
        }
        const std::string kind = row.get<std::string>("diff", std::string());
        bfs::path main_side;
        bfs::path backup_side;
        bfs::path relative;
        if (kind == kind_missing_main) {
            backup_side = to_path(row.get<std::string>("backup_fullpath", std::string()))
                / to_path(row.get<std::string>("backup_name", std::string()));
            if (!lies_below(backup_side, backup_folder)) {
                error = "File " + backup_side.string() + " does not lie below the backup folder " + backup_root;
                return false;
            }
            relative = relative_path(backup_side, backup_folder);
            main_side = join(main_root, relative);
        } else {
            main_side = to_path(row.get<std::string>("file_fullpath", std::string()))
                / to_path(row.get<std::string>("file_name", std::string()));
            if (!lies_below(main_side, main_root)) {
                error = "File " + main_side.string() + " does not lie below the main folder " + main_root.string();
                return false;
            }
            relative = relative_path(main_side, main_root);
            backup_side = join(backup_folder, relative);
        }
        const int decision = choose ? choose(main_side, backup_side) : 1;
        if (decision == 0)
            return true;
        // Neither side may pass through a linked folder: the walk never entered one, so what lies
        // behind it was never compared, as a source or as a target.
        const bool to_main = decision < 0;
        for (const bool source_side : { true, false }) {
            const bool main_tree = source_side != to_main;
            const bfs::path link = linked_folder_on_the_way(main_tree ? main_root : backup_folder, relative);
            if (!link.empty()) {
                error = std::string(source_side ? "Not copied from " : "Not copied to ")
                    + (main_tree ? main_side : backup_side).string() + ": " + link.string() + " is a link to a folder";
                return false;
            }
        }
        const recorded_target recorded = recorded_side(row, to_main ? "file" : "backup");
        walk.root = to_main ? main_root : backup_folder;
        return apply_choice(decision, main_side, backup_side, counters, error, onto_folder::refuse, &recorded, &walk);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

bool file_archive::copy_with_choice(const bfs::path& first, const bfs::path& second,
                                    copy_counts* counters, const chooser& choose, std::string& error,
                                    onto_folder folder_target)
{
    const copying_scope copying(*this);
    return apply_choice(choose ? choose(first, second) : 1, first, second, counters, error, folder_target, nullptr,
                        nullptr);
}

bool file_archive::apply_choice(int decision, const bfs::path& first, const bfs::path& second,
                                copy_counts* counters, std::string& error, onto_folder folder_target,
                                const recorded_target* recorded, merge_walk* walk)
{
    if (decision == 0)
        return true;
    const bfs::path& source = decision < 0 ? second : first;
    const bfs::path& target = decision < 0 ? first : second;
    struct ::stat source_info;
    if (::stat(source.c_str(), &source_info) != 0)
        return true;
    if (!copy_checked(source, target, counters, error, folder_target, recorded, walk))
        return false;
    if (decision < 0)
        main_bytes += regular_bytes(source_info);
    else
        backup_bytes[only_backup_id] += regular_bytes(source_info);
    return true;
}

bool file_archive::copy_entry(const bfs::path& source, const bfs::path& target, copy_counts* counters,
                              std::string& error, onto_folder folder_target)
{
    const copying_scope copying(*this);
    return copy_checked(source, target, counters, error, folder_target, nullptr, nullptr);
}

bool file_archive::copy_checked(const bfs::path& source, const bfs::path& target, copy_counts* counters,
                                std::string& error, onto_folder folder_target, const recorded_target* recorded,
                                merge_walk* walk)
{
    try {
        struct ::stat source_info;
        struct ::stat target_info;
        const bool source_exists = ::stat(source.c_str(), &source_info) == 0;
        const bool target_exists = ::stat(target.c_str(), &target_info) == 0;
        const bool source_folder = source_exists && S_ISDIR(source_info.st_mode);
        const bool target_folder = target_exists && S_ISDIR(target_info.st_mode);
        if (source_folder && !target_exists) {
            if (mock_copy) {
                if (on_mock_action)
                    on_mock_action(source, target);
            } else {
                bfs::create_directories(target);
            }
            return true;
        }
        // A file meeting a folder of its name (or the reverse) is two different things that
        // were never compared; copying into the folder would replace whatever has that name there.
        if (source_exists && target_exists && source_folder != target_folder
            && !(target_folder && folder_target == onto_folder::copy_into)) {
            error = "Not copied: " + source.string() + " is " + kind_name(source_folder) + " and " + target.string()
                + " is " + kind_name(target_folder);
            return false;
        }
        // A row naming a target already waiting in the batch sees it as the rows before left it.
        replace_batch* const batch = walk != nullptr ? walk->batch : nullptr;
        if (batch != nullptr && batch->targets.count(target.native()) != 0) {
            finish_batch(*batch);
            return copy_checked(source, target, counters, error, folder_target, recorded, walk);
        }
        const bool same = source_exists && target_exists && source_info.st_dev == target_info.st_dev
            && source_info.st_ino == target_info.st_ino;
        // What is there now must be what the comparison saw: an edit made since then is newer
        // than the decision taken on the row.
        if (recorded != nullptr && !same && !as_recorded(target_exists ? &target_info : nullptr, *recorded)) {
            error = "Not copied to " + target.string() + ": " + changed_since_comparison;
            return false;
        }
        bool copy_onto_itself = same;
        bfs::path real_target = target;
        if (source_exists && target_folder && !source_folder) {
            real_target = target / source.filename();
            struct ::stat inner;
            copy_onto_itself = ::stat(real_target.c_str(), &inner) == 0 && inner.st_dev == source_info.st_dev
                && inner.st_ino == source_info.st_ino;
        }
        const bfs::path root = walk != nullptr ? walk->root : real_target.parent_path();
        // No file is copied through a temporary the record of copies in flight can't name: it is
        // named before anything is written for the row (its folder, the old version a Rename rule
        // keeps), and one the row ends without making is taken back.
        struct named_temporary {
            copy_record* record;
            bfs::path path;
            ~named_temporary()
            {
                if (record != nullptr && !path.empty())
                    record->take_back();
            }
        } temporary { source_exists && !source_folder && !copy_onto_itself && !mock_copy ? copies_.get() : nullptr,
                      bfs::path() };
        const auto name_temporary = [&] {
            temporary.path = real_target.parent_path() / copy_temporary_name(real_target);
            if (temporary.record->add(temporary.path, root))
                return true;
            temporary.path.clear();
            return record_refused(error);
        };
        if (temporary.record != nullptr && !name_temporary())
            return false;
        const bfs::path target_parent = target.parent_path();
        if (!target_exists && !target_parent.empty() && !present(target_parent)) {
            if (mock_copy) {
                if (on_mock_action)
                    on_mock_action(source.parent_path(), target_parent);
            } else {
                // Deepest first: where the record can't note the folder the temporary goes into,
                // the folders the row made go again, still empty, before anything else is made.
                std::vector<bfs::path> made;
                for (bfs::path missing = target_parent; !missing.empty() && !present(missing);
                     missing = missing.parent_path())
                    made.push_back(missing);
                bfs::create_directories(target_parent);
                struct ::stat folder_info;
                if (temporary.record != nullptr && ::stat(target_parent.c_str(), &folder_info) == 0
                    && !temporary.record->note_folder(file_identity::of(folder_info))) {
                    for (const bfs::path& folder : made) {
                        if (::rmdir(folder.c_str()) != 0)
                            break;
                    }
                    return record_refused(error);
                }
            }
        }
        if (source_exists) {
            // A file is never copied onto itself (same path, link or overlapping roots): it is
            // handled, and nothing is copied.
            if (!copy_onto_itself) {
                if (walk != nullptr && !mock_copy && walk->cleared.insert(real_target.parent_path().native()).second)
                    note_removed_temporaries(real_target.parent_path().string(),
                                             remove_copy_temporaries(real_target.parent_path(), in_flight_.get()));
                // On a nearly full volume the waiting copies hold their old files' space until
                // their renames; once those are done the row gets the space it would have alone.
                // The batch's end empties the record: the row's temporary is named again.
                const auto room_made = [&](bool done, int code) {
                    if (done || !out_of_space(code) || batch == nullptr || batch->files.empty())
                        return false;
                    finish_batch(*batch);
                    error.clear();
                    return temporary.record == nullptr || name_temporary();
                };
                int code = 0;
                if (walk != nullptr && walk->prepare != nullptr && *walk->prepare) {
                    // What the Rename rule keeps is made only while the record names the row.
                    if (temporary.record != nullptr && !temporary.record->stay_in_place())
                        return record_refused(error);
                    const before_copy& prepare = *walk->prepare;
                    const bool replacing = present(real_target);
                    bool ready = prepare(source, real_target, replacing, error, code);
                    if (room_made(ready, code))
                        ready = prepare(source, real_target, replacing, error, code);
                    if (!ready)
                        return false;
                }
                bool copied = replace_file(source, real_target, root, error, recorded, batch, code, &temporary.path);
                if (room_made(copied, code))
                    copied = replace_file(source, real_target, root, error, recorded, batch, code, &temporary.path);
                if (!copied)
                    return false;
                if (counters != nullptr) {
                    counters->files_copied += 1;
                    counters->bytes_copied += regular_bytes(source_info);
                }
            }
        }
        if (counters != nullptr) {
            counters->bytes_handled += source_exists ? regular_bytes(source_info)
                                                      : (target_exists ? regular_bytes(target_info) : 0);
            counters->entries_handled += 1;
        }
        return true;
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

bool file_archive::copy_file(const bfs::path& source, const bfs::path& target, std::string& error)
{
    if (!mock_copy && same_file(source, target))
        return true;
    const copying_scope copying(*this);
    int code = 0;
    return replace_file(source, target, target.parent_path(), error, nullptr, nullptr, code);
}

bool file_archive::record_refused(std::string& error)
{
    record_failed_ = true;
    error = copies_->failure();
    return false;
}

void file_archive::discard_temporary(const bfs::path& temporary)
{
    // A drive pulled out refuses the removal, a folder renamed away hides the temporary: it stays
    // named until it has gone from a folder that is there.
    if (::unlink(temporary.c_str()) != 0 && copies_ != nullptr)
        copies_->keep(temporary);
}

bool file_archive::replace_file(const bfs::path& source, const bfs::path& target, const bfs::path& root,
                                std::string& error, const recorded_target* recorded, replace_batch* batch, int& code,
                                bfs::path* named)
{
    code = 0;
    if (mock_copy) {
        if (on_mock_action)
            on_mock_action(source, target);
        return true;
    }
    const auto fail = [&](const std::string& what, int system_code) {
        code = system_code;
        error = "Unable to copy " + source.string() + " to " + target.string() + ": " + what
            + (system_code != 0 ? ": " + system_message(system_code) : std::string());
        return false;
    };

    struct ::stat info;
    copy_failure failure;
    descriptor from(open_regular_file(source, info, failure));
    if (from.get() < 0)
        return fail(failure.what, failure.code);

    // The copy goes to a fresh name beside the target and replaces it only once complete, so an
    // interrupted or failed copy never leaves a half-written file in place of a good one.
    const bool replacing = present(target);
    bfs::path temporary;
    if (named != nullptr)
        temporary.swap(*named);
    const int handle = create_copy_temporary(target, temporary, copies_.get(), root);
    if (handle < 0) {
        if (copies_ != nullptr && copies_->error() != 0)
            return record_refused(error);
        return fail("cannot create a file in the target folder", errno);
    }
    descriptor to(handle);

    const auto abandon = [&](const std::string& what, int system_code) {
        to.close();
        discard_temporary(temporary);
        return fail(what, system_code);
    };
    // The temporary is made: from now until it is in place, a record comparisons can't read would
    // leave it to pass for a user's file. The record is looked at between the chunks of the copy,
    // and before the mark comes off and the rename; where it can't be kept the merge stops.
    bool record_lost = false;
    const auto record_in_place = [&] {
        if (copies_ == nullptr || copies_->stay_in_place())
            return true;
        record_lost = true;
        return false;
    };
    const auto stop_for_the_record = [&] {
        to.close();
        discard_temporary(temporary);
        return record_refused(error);
    };
    if (!copy_content_and_times(from.get(), info, to.get(), failure, record_in_place)) {
        if (record_lost)
            return stop_for_the_record();
        return abandon(failure.what, failure.code);
    }
    report_copy_step(copy_step::written);
    // A replaced file must be on disk before the good old one goes; in a batch, the batch's
    // flush sees to it, and the temporary keeps its mark until just before its rename.
    const bool waits = replacing && batch != nullptr;
    if (replacing && !waits && ::fdatasync(to.get()) != 0)
        return abandon("cannot write the content", errno);
    // Its mark comes off, then it is renamed, moments later: one look covers both.
    if (!waits && !record_in_place())
        return stop_for_the_record();
    if (!waits && !ready_to_place(to.get(), info, failure))
        return abandon(failure.what, failure.code);
    if (to.close() != 0) {
        const int code_on_close = errno;
        discard_temporary(temporary);
        return fail("cannot write the content", code_on_close);
    }
    if (waits) {
        replace_batch::waiting file { batch->row, source, info, temporary, copies_ != nullptr, target, root,
                                      recorded != nullptr,
                                      recorded != nullptr ? *recorded : recorded_target(),
                                      replace_batch::tally() };
        batch->files.push_back(std::move(file));
        batch->targets.insert(target.native());
        batch->bytes += static_cast<std::uint64_t>(info.st_size);
        return true;
    }
    // The copy took time: the target is looked at again just before it is replaced.
    if (recorded != nullptr) {
        struct ::stat now;
        const bool exists = ::stat(target.c_str(), &now) == 0;
        if (!as_recorded(exists ? &now : nullptr, *recorded)) {
            discard_temporary(temporary);
            return fail(changed_since_comparison, 0);
        }
    }
    if (put_copy_in_place(temporary, target) != 0) {
        const int code_on_rename = errno;
        discard_temporary(temporary);
        return fail("cannot replace the target", code_on_rename);
    }
    return true;
}

} // namespace fs
