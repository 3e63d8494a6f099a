#pragma once
// The root of a recursive walk over a folder tree. Links to folders are yielded but never
// entered; file-system errors of the walk reach the caller as boost::filesystem_error.

#include "core/fs/file_identity.h"

#include <boost/filesystem/directory.hpp>
#include <boost/filesystem/file_status.hpp>
#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <ctime>
#include <string>
#include <utility>

namespace fs {

// File names are bytes (UTF-8 or not) and go into the path unchanged.
boost::filesystem::path to_path(const std::string& text);

class dir_walker {
public:
    // A walk in progress: the iterator over the tree and a copy of the root it started from.
    // Copies of the iterator share one position; it equals the default iterator at the end.
    using walk_state = std::pair<boost::filesystem::recursive_directory_iterator, boost::filesystem::path>;

    // What one entry is, links followed, and for a regular file its size and last-write time.
    struct entry_info {
        boost::filesystem::file_type type = boost::filesystem::status_error;
        std::uintmax_t size = 0;
        std::time_t last_write_time = 0;  // seconds since 1970 UTC
    };

    dir_walker() = default;
    virtual ~dir_walker() = default;

    void set_root(const std::string& folder);
    const boost::filesystem::path& root() const { return root_; }

    // Throws boost::filesystem::filesystem_error when the root can't be read.
    walk_state walk() const;

    // The per-entry query of a walk, asked before the walk advances: one lstat gives a file's
    // type, size and time, and spares the walk its own look at anything but a folder (links
    // take a second stat, of their target). A dangling link is file_not_found; other failures
    // throw like boost::filesystem::status.
    static entry_info inspect(boost::filesystem::recursive_directory_iterator& position);

private:
    boost::filesystem::path root_;
};

} // namespace fs
