#pragma once
// The temporaries a copy writes beside its target and renames over it once complete:
// "." + the target's name (cut to 200 bytes) + ".tarvoline-" + 8 lower-case letters or digits,
// made this program's by an extended attribute that holds the temporary's own name, and by the
// record of the copies in flight of the process that made it (a file system without extended
// attributes keeps no mark, and the mark comes off just before the rename). A user's file of such
// a name is an ordinary file. One left behind by an interrupted copy holds a partial file, so the
// walk never records one; a comparison removes those the records of dead processes name and the
// marked ones of the folders it walks, a merge the marked ones of a folder it writes to, but none
// a running process's record names. No file in its target's place carries the mark.

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <functional>
#include <string>

namespace fs {

class copies_in_flight;
class copy_record;

// Where a copy through a temporary stands: the temporary has its name, has the source's content
// (the source not yet looked at again for a change), holds the content and times, has its mark
// taken off just before its rename, is in its target's place.
enum class copy_step { named, read, written, unmarked, placed };
// Called at each step when set: a test stops a copy there as a killed process would, or changes
// its files there as another program would.
extern std::function<void(copy_step)> on_copy_step;
void report_copy_step(copy_step step);

// Eight lower-case letters or digits, fresh at each call (one thread at a time), as a
// temporary's name ends.
std::string random_suffix();

std::string copy_temporary_name(const boost::filesystem::path& target);

// Whether the name has the temporaries' form; it says nothing about who made the file.
bool is_copy_temporary(const char* file_name, std::size_t length);

// Whether `file` is a temporary this program made: its name and its mark. A link never is.
bool is_own_copy_temporary(const std::string& file);

// Creates a fresh temporary beside `target`, open for writing; -1 with errno when none can be
// made. With a `record`, the temporary is named in it first, as one below `root`, the folder of the
// tree it is copied into, and its folder is noted: where the record can't take the lines no
// temporary is made, and `record->error()` tells. A `temporary` given is a name of the
// temporaries' form the record named last: it is the first one tried. Where the file system
// allows, the temporary gets its name only once marked.
int create_copy_temporary(const boost::filesystem::path& target, boost::filesystem::path& temporary /*in, out*/,
                          copy_record* record = nullptr, const boost::filesystem::path& root = {});

// Takes the mark off a complete temporary, open as `handle`, before its mode is set; false with
// errno when it stays on.
bool unmark_copy_temporary(int handle);

// Renames a complete, unmarked temporary over its target (0, or -1 with errno, as rename).
int put_copy_in_place(const boost::filesystem::path& temporary, const boost::filesystem::path& target);

// Removes this program's temporaries directly in `folder`, but those `in_flight` names (a running
// process's copies); whatever can't be removed stays. Answers how many went.
std::size_t remove_copy_temporaries(const boost::filesystem::path& folder, copies_in_flight* in_flight = nullptr);

} // namespace fs
