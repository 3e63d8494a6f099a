#include "core/fs/tree_scanner.h"

#include "core/fs/copy_temporary.h"
#include "core/fs/dir_walker.h"

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>

#include <utility>

namespace fs {

namespace bfs = boost::filesystem;

namespace {

const std::size_t batch_size = 512;
const std::size_t batches_ahead = 64;

} // namespace

tree_scanner::tree_scanner(const bfs::path& root)
{
    dir_walker walker;
    walker.set_root(root.string());
    auto walk = walker.walk();
    worker_ = std::thread([this, walk = std::move(walk)]() mutable {
        try {
            const bfs::recursive_directory_iterator end;
            std::vector<file> batch;
            boost::system::error_code error;
            for (auto& entry = walk.first; entry != end;) {
                // One lstat per entry; the walk takes the type from it instead of looking again.
                const dir_walker::entry_info info = dir_walker::inspect(entry);
                if (info.type == bfs::regular_file) {
                    const std::string& path = entry->path().native();
                    const std::size_t name = path.rfind(bfs::path::preferred_separator) + 1;
                    if (!is_copy_temporary(path.data() + name, path.size() - name))
                        batch.push_back(file { path, info.size, info.last_write_time });
                }
                if (batch.size() == batch_size && !hand_over(batch))
                    return;
                // Boost's own increment error doesn't say where; the folder it failed to enter
                // or read is the entry it stood on.
                const bfs::path where = entry->path();
                entry.increment(error);
                if (error)
                    throw bfs::filesystem_error("Cannot read folder", where, error);
            }
            if (!batch.empty())
                hand_over(batch);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            failure_ = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    });
}

tree_scanner::~tree_scanner()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    worker_.join();
}

bool tree_scanner::hand_over(std::vector<file>& batch)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || ready_.size() < batches_ahead; });
    if (stopping_)
        return false;
    ready_.push_back(std::move(batch));
    batch.clear();
    batch.reserve(batch_size);
    changed_.notify_all();
    return true;
}

bool tree_scanner::next(std::vector<file>& batch)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || !ready_.empty(); });
    if (!ready_.empty()) {
        batch = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return true;
    }
    if (failure_)
        std::rethrow_exception(failure_);
    return false;
}

} // namespace fs
