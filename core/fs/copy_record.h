#pragma once
// The record of the copy temporaries a process has in flight, kept outside the trees it copies
// between: one plain file per process in a folder the caller names. A line names each folder the
// process copies into ("=" and its real path), and each temporary before it is created ("+" and
// its real path); "-" takes back a name that turned out taken. Before a temporary is created, the
// folder it goes into is noted (":", its device and inode, its real path) where the record doesn't
// have it yet, and the temporary is named once more after it: only that folder settles the
// temporary, not another one found at its path later. A file system without extended attributes
// keeps no mark, and a temporary is unmarked just before its rename; the record still names it, and
// is written again in its folder when it is no longer found at its path (deleted, its folder
// removed or renamed). A process holds a lock on its record while it lives: a comparison removes
// only what a process no longer running left behind, and leaves a running one's temporaries alone.
// Nothing here throws.

#include "core/fs/file_content.h"
#include "core/fs/file_identity.h"

#include <boost/filesystem/path.hpp>

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace fs {

class copy_record {
public:
    // What removing the leftovers of processes no longer running did.
    struct leftovers {
        // Temporaries removed, by the folder they were in.
        std::map<std::string, std::size_t> removed;
    };

    // The record's file is made in `folder` at the first temporary.
    explicit copy_record(std::string folder);
    // The record goes with the process, unless it still names a temporary that could not be
    // removed: the next comparison of another process removes that one.
    ~copy_record();
    copy_record(const copy_record&) = delete;
    copy_record& operator=(const copy_record&) = delete;

    // Whether temporaries can be named now: the record is open or can be made. False with
    // `failure()` telling why.
    bool usable();
    // Names `temporary`, to be created below `root`, the folder of the tree it is copied into, and
    // notes its folder in the same write where it is there and not noted yet: the row that copies
    // it makes nothing before the record has all it needs. A folder not made yet is noted once it
    // is (`note_folder`). False when the record can't take the lines (`failure()` tells why): no
    // temporary may then be made.
    bool add(const boost::filesystem::path& temporary, const boost::filesystem::path& root);
    // Notes `folder`, found now, as the folder the temporary named last is made in, where the
    // record doesn't have it so. False when the record can't take the line (`failure()` tells
    // why): the temporary may not be made.
    bool note_folder(const file_identity& folder);
    // The same just before the temporary is made, `unnamed` being the status of the unnamed file it
    // will be, where there is one: a note of a folder on that file's drive stands (another drive
    // at the folder's path is noted anew); otherwise the folder is looked at now.
    bool note_folder(const struct ::stat* unnamed);
    // The temporary named last has been created: from now on it is settled once it is in place or
    // gone. Before, it is always named, whatever is found at its path.
    void made();
    // Whether the record is still the file found at its path; one that is not is written again in
    // its folder, with every entry not settled. Cheap while nothing happened to the record's file
    // or the folders on its path, so asked before a temporary is made, between the chunks of its
    // copy, and before its mark comes off or it is renamed. False when it can't be written again
    // (`failure()` tells why): no temporary may be left without a record naming it. Safe to call
    // from several threads at once, while no other call runs.
    bool stay_in_place();
    // Takes back the temporary named last: its name turned out taken, or it was never made, and
    // the record never names someone else's file. False when it can't (`failure()` tells why).
    bool take_back();
    // A temporary that could neither take its target's place nor be removed: the record names it
    // until it has gone.
    void keep(const boost::filesystem::path& temporary);
    // Forgets the temporaries named so far, but those kept: each other one is in place or gone.
    void clear();
    // What the record holds now, in bytes.
    std::size_t size() const { return size_; }
    const std::string& folder() const { return folder_; }
    // The system's error code of the last call, 0 when it succeeded, and the error line of one that
    // failed.
    int error() const { return error_; }
    std::string failure() const;

    // Removes the temporaries named by the records in `folder` of processes no longer running,
    // then each record whose temporaries are all settled. One whose folder is away (a drive
    // unplugged), or is another folder than the one it was made in (another drive at its path),
    // waits in its record for the folder's return; a line that names nothing this program would
    // have made keeps the record for a person to look at.
    static leftovers remove_leftovers(const std::string& folder);

private:
    struct entry {
        std::string root;
        std::string path;
        // The folder it was made in, once noted.
        bool noted { false };
        file_identity folder;
        // Created; until then nothing at its path is its temporary.
        bool made { false };
        // Where its first line starts in the record.
        std::size_t line_at { 0 };
    };

    class place_watch;

    bool open();
    bool append(const std::string& lines);
    // Writes the note of `found` for the temporary named last.
    bool write_note(const file_identity& found);
    bool fail(int code);
    // Drops the kept temporaries that have gone since.
    void settle_kept();
    // `folder`'s real path, worked out once until the record is cleared.
    const std::string& real_folder(const std::string& folder);
    std::string real_path(const boost::filesystem::path& temporary);

    std::string folder_;
    std::string path_;
    descriptor record_ { -1 };
    // The record's file as made, to tell whether its path still leads to it.
    file_identity identity_;
    // Tells when the record's path needs looking at: always, while it is not `watching_`.
    std::unique_ptr<place_watch> watch_;
    std::atomic<bool> watching_ { false };
    // Something happened to it, or it was found away from its path and not written again yet: it
    // is looked at, each time until it is in place.
    std::atomic<bool> suspect_ { false };
    std::mutex place_mutex_;
    // Records that lost their path, held (and locked) until what they name is in place or gone.
    std::vector<std::unique_ptr<descriptor>> displaced_;
    std::size_t size_ { 0 };
    // What it held when made: the temporaries it carried over.
    std::size_t opened_size_ { 0 };
    // Roots declared in the record so far, and the folders noted, by real path.
    std::vector<std::string> roots_;
    std::map<std::string, file_identity, std::less<>> noted_;
    // Named since the record was last cleared, not taken back: each is in flight, in place or gone.
    std::vector<entry> named_;
    // A line written only in part that could not be cut off: the next write cuts it first.
    bool cut_short_ { false };
    int error_ { 0 };
    std::map<std::string, std::string> real_folders_;
    std::vector<entry> kept_;
};

// What the records in a folder name, for the walk and for a merge clearing a folder of leftovers:
// a temporary a record names belongs to a running process's copy, or is a leftover that could not
// be removed; neither is a user's file, nor theirs to remove. Safe to ask from several threads.
class copies_in_flight {
public:
    explicit copies_in_flight(std::string folder);
    ~copies_in_flight();
    copies_in_flight(const copies_in_flight&) = delete;
    copies_in_flight& operator=(const copies_in_flight&) = delete;

    // Whether a record names `file`, found under `name`, a name of the temporaries' form. What
    // the records gained since they were last read is read first when none names it yet.
    bool names(const std::string& name, const file_identity& file);

private:
    struct record;

    bool named(const std::string& name, const file_identity& file) const;
    // Reads new records and new lines; false when there was nothing new.
    bool read_changes();

    std::mutex mutex_;
    std::string folder_;
    // By the record's path.
    std::map<std::string, std::unique_ptr<record>> records_;
};

} // namespace fs
