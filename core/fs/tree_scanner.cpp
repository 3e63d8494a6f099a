#include "core/fs/tree_scanner.h"

#include "core/fs/copy_temporary.h"
#include "core/fs/dir_walker.h"
#include "core/fs/file_archive.h"

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace fs {

namespace bfs = boost::filesystem;

namespace {

const std::size_t batch_size = 512;
const std::size_t batches_ahead = 16;
// Entries read but not handed over yet; bounds the memory of readers running ahead.
const std::size_t entries_ahead = 8192;
const unsigned reader_count = 3;

std::exception_ptr walk_failure(const char* what, const std::string& path, int code)
{
    return std::make_exception_ptr(
        bfs::filesystem_error(what, bfs::path(path), boost::system::error_code(code, boost::system::system_category())));
}

} // namespace

struct tree_scanner::folder {
    struct entry {
        file found;
        std::unique_ptr<folder> inner;
    };

    folder(std::string folder_path, std::vector<std::uint32_t> folder_position, file_identity found_as)
        : path(std::move(folder_path)), position(std::move(folder_position)), identity(found_as)
    {
    }

    std::string path;
    // Set by the reader when the folder holds files.
    folder_texts texts;
    // Index of each step from the root: comparing these orders folders as a depth-first walk.
    std::vector<std::uint32_t> position;
    // From the stat of its entry in the parent's listing, which for a mount point is the mounted
    // folder's (the listing's own inode number is the folder hidden under the mount).
    file_identity identity;
    // Written by one reader before `read` is set, then only by the ordering thread.
    std::vector<entry> entries;
    std::size_t temporaries_removed { 0 };
    std::exception_ptr failure;
    bool read { false };
};

bool tree_scanner::walk_order::operator()(const folder* first, const folder* second) const
{
    return first->position < second->position;
}

tree_scanner::thread_maker tree_scanner::make_thread;
std::function<void(const std::string& path)> tree_scanner::on_temporary_met;

tree_scanner::tree_scanner(const bfs::path& root, bool remove_temporaries, copies_in_flight* in_flight)
    : remove_temporaries_(remove_temporaries), in_flight_(in_flight)
{
    dir_walker walker;
    walker.set_root(root.string());
    // Opening the root here makes an unreadable root throw on the caller's thread.
    walker.walk();
    root_path_ = walker.root();
    root_ = std::make_unique<folder>(walker.root().native(), std::vector<std::uint32_t>(), file_identity());
    unread_.insert(root_.get());
    readers_.reserve(reader_count);
    // A thread that can't be made (a low process limit, a container's task limit) throws while
    // others already run: they are stopped and joined before anything unwinds past them.
    try {
        worker_ = start_thread([this] { order(); });
        for (unsigned reader = 0; reader < reader_count; ++reader)
            readers_.push_back(start_thread([this] { read_folders(); }));
    } catch (const std::system_error& failure) {
        if (readers_.empty()) {
            stop();
            throw std::runtime_error("Unable to start a thread to read " + root.string() + ": " + failure.what());
        }
    } catch (...) {
        stop();
        throw;
    }
}

tree_scanner::~tree_scanner() { stop(); }

std::thread tree_scanner::start_thread(std::function<void()> body)
{
    return make_thread ? make_thread(std::move(body)) : std::thread(std::move(body));
}

void tree_scanner::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
        folders_changed_.notify_all();
    }
    if (worker_.joinable())
        worker_.join();
    for (auto& reader : readers_)
        reader.join();
    readers_.clear();
}

// One entry is looked at once (links a second time, at their target), as the single-threaded
// walk did: a regular file is recorded, a real folder is read later, a link to one never is.
void tree_scanner::read(folder& listed)
{
    DIR* stream = ::opendir(listed.path.c_str());
    if (stream == nullptr) {
        listed.failure = walk_failure("Cannot read folder", listed.path, errno);
        return;
    }
    const int handle = ::dirfd(stream);
    const std::string prefix = listed.path.size() == 1 && listed.path[0] == '/' ? listed.path : listed.path + "/";
    bool texted = false;
    for (;;) {
        errno = 0;
        const struct ::dirent* found = ::readdir(stream);
        if (found == nullptr) {
            if (errno != 0)
                listed.failure = walk_failure("Cannot read folder", listed.path, errno);
            break;
        }
        const char* name = found->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct ::stat details;
        if (::fstatat(handle, name, &details, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                continue;
            listed.failure = walk_failure("boost::filesystem::symlink_status", prefix + name, errno);
            break;
        }
        const bool link = S_ISLNK(details.st_mode);
        if (link && ::fstatat(handle, name, &details, 0) != 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                continue;
            listed.failure = walk_failure("boost::filesystem::status", prefix + name, errno);
            break;
        }
        if (S_ISREG(details.st_mode)) {
            // A temporary of this program's: in flight in a running process, or the partial file
            // of an interrupted copy. A user's file of such a name, or a link, is recorded like
            // any other.
            const bool temporary_name = !link && is_copy_temporary(name, std::strlen(name));
            if (temporary_name && on_temporary_met)
                on_temporary_met(prefix + name);
            struct ::stat again;
            if (temporary_name && in_flight_ != nullptr && in_flight_->names(name, file_identity::of(details))) {
                // Not this walk's to remove.
            } else if (temporary_name && is_own_copy_temporary(prefix + name)) {
                if (remove_temporaries_ && ::unlink((prefix + name).c_str()) == 0)
                    ++listed.temporaries_removed;
            } else if (temporary_name
                       && (::fstatat(handle, name, &again, AT_SYMLINK_NOFOLLOW) != 0
                           || file_identity::of(again) != file_identity::of(details))) {
                // Placed or removed since it was met, and then no longer named: a copy that has
                // ended, not a file.
            } else {
                if (!texted) {
                    // What the catalogue stored when it split each file's whole path.
                    const bfs::path entry(prefix + name);
                    listed.texts.full_path = entry.parent_path().string();
                    listed.texts.relative_path = file_archive::relative_path(entry, root_path_).parent_path().string();
                    texted = true;
                }
                file found_file;
                found_file.name = name;
                found_file.extension = bfs::path(found_file.name).extension().string();
                found_file.size = static_cast<std::uint64_t>(details.st_size);
                found_file.last_write_time = details.st_mtime;
                listed.entries.push_back(folder::entry { std::move(found_file), nullptr });
            }
        } else if (S_ISDIR(details.st_mode) && !link) {
            std::vector<std::uint32_t> position = listed.position;
            position.push_back(static_cast<std::uint32_t>(listed.entries.size()));
            listed.entries.push_back(folder::entry {
                file(), std::make_unique<folder>(prefix + name, std::move(position), file_identity::of(details)) });
        }
    }
    ::closedir(stream);
}

void tree_scanner::read_folders()
{
    std::unique_lock<std::mutex> lock(mutex_);
    // Nothing may leave a thread's function: an escaping exception ends the process.
    try {
        for (;;) {
            // The folder the ordering waits for is read even when the others are far enough ahead.
            folders_changed_.wait(lock, [this] {
                return stopping_ || reader_failure_ || (unread_.empty() && busy_ == 0)
                    || (!unread_.empty() && (files_ahead_ < entries_ahead || *unread_.begin() == awaited_));
            });
            if (stopping_ || reader_failure_ || unread_.empty())
                return;
            folder* listed = *unread_.begin();
            unread_.erase(unread_.begin());
            ++busy_;
            lock.unlock();
            try {
                read(*listed);
            } catch (...) {
                // The walk fails at this folder, in order, as if it could not be read.
                listed->failure = std::current_exception();
            }
            lock.lock();
            --busy_;
            listed->read = true;
            files_ahead_ += listed->entries.size();
            changed_.notify_all();
            folders_changed_.notify_all();
            for (auto& entry : listed->entries) {
                if (entry.inner)
                    unread_.insert(entry.inner.get());
            }
        }
    } catch (...) {
        if (!lock.owns_lock())
            lock.lock();
        if (!reader_failure_)
            reader_failure_ = std::current_exception();
        changed_.notify_all();
        folders_changed_.notify_all();
    }
}

// Hands the files over in depth-first order, each folder's entries in the order it listed them.
void tree_scanner::order()
{
    try {
        struct step {
            folder* at;
            std::size_t next;
        };
        std::vector<step> stack { { root_.get(), 0 } };
        batch made;
        made.files.reserve(batch_size);
        // The folder whose texts are the last of the batch's.
        const folder* texts_of = nullptr;
        std::size_t taken = 0;
        const auto give_back = [this, &taken] {
            files_ahead_ -= taken;
            taken = 0;
            folders_changed_.notify_all();
        };
        bool waited = false;
        while (!stack.empty()) {
            step& current = stack.back();
            folder& at = *current.at;
            if (!waited) {
                std::unique_lock<std::mutex> lock(mutex_);
                give_back();
                awaited_ = &at;
                folders_changed_.notify_all();
                changed_.wait(lock, [this, &at] { return stopping_ || at.read || reader_failure_; });
                if (stopping_)
                    return;
                if (!at.read)
                    std::rethrow_exception(reader_failure_);
                waited = true;
                if (at.temporaries_removed != 0)
                    made.cleared.push_back(cleared_folder { at.path, at.temporaries_removed });
            }
            if (current.next < at.entries.size()) {
                folder::entry& entry = at.entries[current.next++];
                ++taken;
                if (entry.inner) {
                    entered_.push_back(entry.inner->identity);
                    stack.push_back(step { entry.inner.get(), 0 });
                    waited = false;
                    continue;
                }
                if (texts_of != &at || made.folders.empty()) {
                    made.folders.push_back(at.texts);
                    texts_of = &at;
                }
                entry.found.folder = static_cast<std::uint32_t>(made.folders.size() - 1);
                made.files.push_back(std::move(entry.found));
                if (made.files.size() == batch_size) {
                    {
                        std::lock_guard<std::mutex> lock(mutex_);
                        give_back();
                    }
                    if (!hand_over(made))
                        return;
                }
                continue;
            }
            if (at.failure)
                std::rethrow_exception(at.failure);
            // A folder handed over is freed; its parent continues after it.
            stack.pop_back();
            // Its memory may come back as a folder met later.
            texts_of = nullptr;
            if (!stack.empty())
                stack.back().at->entries[stack.back().next - 1].inner.reset();
        }
        if (!made.files.empty() || !made.cleared.empty())
            hand_over(made);
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

bool tree_scanner::hand_over(batch& made)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || ready_.size() < batches_ahead; });
    if (stopping_)
        return false;
    ready_.push_back(std::move(made));
    made.clear();
    made.files.reserve(batch_size);
    changed_.notify_all();
    return true;
}

bool tree_scanner::next(batch& taken)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || !ready_.empty(); });
    if (!ready_.empty()) {
        taken = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return true;
    }
    if (failure_)
        std::rethrow_exception(failure_);
    return false;
}

} // namespace fs
