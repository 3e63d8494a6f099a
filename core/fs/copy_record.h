#pragma once
// The record of the copy temporaries a process has in flight, kept outside the trees it copies
// between: one plain file per process in a folder the caller names, a line written before each
// temporary is created. A file system without extended attributes keeps no mark, and a process
// killed at the wrong moment leaves a temporary unmarked; the record still names it. A process
// holds a lock on its record while it lives, so a comparison of any other process removes only
// what a process no longer running left behind. Nothing here throws.

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace fs {

class copy_record {
public:
    // A file as the system knows it: device and inode.
    using file_identity = std::pair<dev_t, ino_t>;

    // What removing the leftovers of processes no longer running did.
    struct leftovers {
        // Temporaries removed, by the folder they were in.
        std::map<std::string, std::size_t> removed;
        // Temporaries still there that could not be removed: their records are kept, and the
        // walk never takes them for users' files.
        std::set<file_identity> kept;
    };

    // The record's file is made in `folder` at the first temporary.
    explicit copy_record(std::string folder);
    // The record goes with the process's last copy.
    ~copy_record();
    copy_record(const copy_record&) = delete;
    copy_record& operator=(const copy_record&) = delete;

    // Names a temporary about to be created; false when the record can't be written.
    bool add(const std::string& temporary);
    // Takes back a name that turned out taken: the record never names someone else's file.
    void withdraw(const std::string& temporary);
    // Forgets every temporary named so far: each is in place or gone.
    void clear();
    // What the record holds now, in bytes.
    std::size_t size() const { return size_; }
    const std::string& folder() const { return folder_; }

    // Removes the temporaries named by the records in `folder` of processes no longer running,
    // then those records.
    static leftovers remove_leftovers(const std::string& folder);

private:
    bool open();
    bool append(char kind, const std::string& temporary);

    std::string folder_;
    std::string path_;
    int handle_ { -1 };
    bool unusable_ { false };
    std::size_t size_ { 0 };
};

} // namespace fs
