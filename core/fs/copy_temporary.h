#pragma once
// The temporaries a copy writes beside its target and renames over it once complete:
// "." + the target's name (cut to 200 bytes) + ".tarvoline-" + 8 lower-case letters or digits.
// One left behind by an interrupted copy holds a partial file, so the walk never records one and
// a merge clears those of a folder it writes to.

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <string>

namespace fs {

std::string copy_temporary_name(const boost::filesystem::path& target);

bool is_copy_temporary(const char* file_name, std::size_t length);

// Removes the copy temporaries directly in `folder`; whatever can't be removed stays.
void remove_copy_temporaries(const boost::filesystem::path& folder);

} // namespace fs
