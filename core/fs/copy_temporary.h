#pragma once
// The temporaries a copy writes beside its target and renames over it once complete:
// "." + the target's name (cut to 200 bytes) + ".tarvoline-" + 8 lower-case letters or digits,
// marked as this program's by an extended attribute that holds the temporary's own name. A file
// is a temporary only with both: a user's file of such a name is an ordinary file, and so is a
// temporary on a file system without extended attributes (FAT, some network shares). One left
// behind by an interrupted copy holds a partial file, so the walk never records one, and a
// comparison removes those of the folders it walks, a merge those of a folder it writes to.

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <string>

namespace fs {

std::string copy_temporary_name(const boost::filesystem::path& target);

// Whether the name has the temporaries' form; it says nothing about who made the file.
bool is_copy_temporary(const char* file_name, std::size_t length);

// Whether `file` is a temporary this program made: its name and its mark. A link never is.
bool is_own_copy_temporary(const std::string& file);

// Creates a fresh, marked temporary beside `target`, open for writing; -1 with errno when none
// can be made. A file system that keeps no mark still gets its temporary.
int create_copy_temporary(const boost::filesystem::path& target, boost::filesystem::path& temporary /*out*/);

// Renames a complete temporary over its target (0, or -1 with errno, as rename) and takes the
// mark off the file now in place, as far as the file system lets it.
int put_copy_in_place(const boost::filesystem::path& temporary, const boost::filesystem::path& target);

// Removes this program's temporaries directly in `folder`; whatever can't be removed stays.
// Answers how many went.
std::size_t remove_copy_temporaries(const boost::filesystem::path& folder);

} // namespace fs
