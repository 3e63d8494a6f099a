#pragma once
// Walks one folder tree on helper threads and hands its regular files over in batches, so that
// the file system's directory reads and stats overlap the catalogue's inserts. The texts the
// catalogue stores (folder path, folder path below the root, extension) are worked out on the
// helper threads too, each folder's once. Folders are read
// by a few threads at once, but files are handed over in the order of a plain depth-first walk
// (each folder's own listing order), whatever the threads' timing: the same tree always gives
// the same sequence. The caller only takes finished batches.

#include "core/fs/copy_record.h"
#include "core/fs/dir_walker.h"

#include <boost/filesystem/path.hpp>

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs {

class tree_scanner {
public:
    struct folder_texts {
        // The folder's path, and its path below the root ("" for the root itself).
        std::string full_path;
        std::string relative_path;
    };
    struct file {
        std::string name;
        std::string extension;
        std::uint64_t size { 0 };
        std::time_t last_write_time { 0 };
        // Index of the file's folder in its batch's folders.
        std::uint32_t folder { 0 };
    };
    // A folder where the walk removed temporaries of interrupted copies.
    struct cleared_folder {
        std::string path;
        std::size_t temporaries_removed { 0 };
    };
    // Files in walk order; the files of one folder come together.
    struct batch {
        std::vector<file> files;
        std::vector<folder_texts> folders;
        std::vector<cleared_folder> cleared;
        void clear()
        {
            files.clear();
            folders.clear();
            cleared.clear();
        }
    };

    // Makes each of the walk's threads; std::thread's own unless a test puts in one that fails
    // the way a process at its thread limit does.
    using thread_maker = std::function<std::thread(std::function<void()> body)>;
    static thread_maker make_thread;
    // Called, when set, on a reading thread for each file of a temporary's name the walk meets,
    // before it asks the records about it: a test places the temporary there as a merge would.
    static std::function<void(const std::string& path)> on_temporary_met;

    // Starts the walk at once: a root that can't be read throws here, on the caller's thread, and
    // so does a walk for which not even one reading thread could be started. With fewer threads
    // than it asks for, the walk goes on with those it has. Temporaries are never handed over:
    // those `in_flight` names (a running process's copies, leftovers that could not be removed)
    // are left alone; with `remove_temporaries` the marked ones of interrupted copies are removed.
    tree_scanner(const boost::filesystem::path& root, bool remove_temporaries, copies_in_flight* in_flight = nullptr);
    ~tree_scanner();
    tree_scanner(const tree_scanner&) = delete;
    tree_scanner& operator=(const tree_scanner&) = delete;

    // The next batch of files (links followed, links to folders not entered, copy temporaries
    // left out) and of the folders cleared of temporaries, false after the last one. A walk that
    // failed throws its error here, after the batches that came before it.
    bool next(batch& taken /*out*/);

    // Every folder below the root that the walk entered (a mounted one as what is mounted there),
    // in walk order; whole once `next` has answered false.
    const std::vector<file_identity>& folders_entered() const { return entered_; }

private:
    struct folder;
    // Orders folders as a depth-first walk meets them.
    struct walk_order {
        bool operator()(const folder* first, const folder* second) const;
    };

    std::thread start_thread(std::function<void()> body);
    // Stops the threads that run and waits for them.
    void stop();
    void order();
    void read_folders();
    void read(folder& listed);
    bool hand_over(batch& made);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<batch> ready_;
    bool finished_ { false };
    bool stopping_ { false };
    std::exception_ptr failure_;
    // What a reader met outside any one folder's reading (no memory for its bookkeeping); the
    // ordering fails with it when it waits for a folder no one will read.
    std::exception_ptr reader_failure_;

    // Folders found but not read yet, earliest in walk order first; files read but not handed
    // over yet, which bounds how far the readers run ahead; the folder the ordering waits for.
    std::unique_ptr<folder> root_;
    boost::filesystem::path root_path_;
    bool remove_temporaries_ { false };
    copies_in_flight* in_flight_ { nullptr };
    std::set<folder*, walk_order> unread_;
    std::size_t files_ahead_ { 0 };
    std::size_t busy_ { 0 };
    folder* awaited_ { nullptr };
    std::condition_variable folders_changed_;

    std::vector<std::thread> readers_;
    std::thread worker_;
    // Written by the ordering thread only, read once it has finished.
    std::vector<file_identity> entered_;
};

} // namespace fs
