#pragma once
// The keep-old copy of the Rename rules: the file about to be overwritten, copied beside itself
// under a new name before the merge replaces it. With Mock copy on, the merge makes none.

#include <boost/filesystem/path.hpp>

#include <string>

// Copies `file` to `copy` with its content, permissions and modification time. Never replaces
// anything at `copy`; on any failure (name taken, no rights, disk full) nothing is left there,
// `error` names the file and the system's message, `code` is that message's error code (0 for
// none), and the result is false.
bool copy_old_version(const boost::filesystem::path& file, const boost::filesystem::path& copy,
                      std::string& error /*out*/, int& code /*out*/);
