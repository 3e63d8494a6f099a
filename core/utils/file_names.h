#pragma once
// Names the program hands out for files it creates next to existing ones.

#include <boost/filesystem/path.hpp>

#include <ctime>

namespace utils {

// The first free name of: the path itself, "<stem> - Copy<ext>", "<stem> - Copy (N)<ext>" for
// N = 2, 3, ... in the path's folder. A name is free when nothing (not even a dangling symbolic
// link) is there or its status can't be read. Throws std::runtime_error when no name is free
// after max_copy_name_tries candidates.
boost::filesystem::path make_copy_name(const boost::filesystem::path& file);
constexpr int max_copy_name_tries = 10000;

// "<stem>_<YYYYmmdd_HHMMSS><ext>" in the path's folder, `time` as local time. The disk is not
// consulted. Throws std::invalid_argument for a null time and std::runtime_error for a time
// that has no local-time form.
boost::filesystem::path make_timestamped_name(const boost::filesystem::path& file, const std::time_t* time);

} // namespace utils
