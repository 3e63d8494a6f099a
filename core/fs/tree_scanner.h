#pragma once
// Walks one folder tree on a helper thread and hands its regular files over in batches, so that
// the file system's directory reads and stats overlap the catalogue's inserts. Nothing but the
// scanner's own thread touches the walk; the caller only takes finished batches.

#include <boost/filesystem/path.hpp>

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs {

class tree_scanner {
public:
    struct file {
        std::string path;
        std::uint64_t size { 0 };
        std::time_t last_write_time { 0 };
    };

    // Starts the walk at once: a root that can't be read throws here, on the caller's thread.
    explicit tree_scanner(const boost::filesystem::path& root);
    ~tree_scanner();
    tree_scanner(const tree_scanner&) = delete;
    tree_scanner& operator=(const tree_scanner&) = delete;

    // The next batch of files (links followed; copy temporaries left out), false after the last one. A walk that failed
    // throws its error here, after the batches that came before it.
    bool next(std::vector<file>& batch /*out*/);

private:
    void scan(boost::filesystem::path root);
    bool hand_over(std::vector<file>& batch);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<file>> ready_;
    bool finished_ { false };
    bool stopping_ { false };
    std::exception_ptr failure_;
    std::thread worker_;
};

} // namespace fs
