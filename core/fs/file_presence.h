#pragma once
// Whether something is at a path, as the catalogue asks it everywhere: any status but an error or
// "not found". Links are followed, so a dangling link counts as absent.

#include <boost/filesystem/operations.hpp>

namespace fs {

inline bool present(const boost::filesystem::file_status& status)
{
    return status.type() != boost::filesystem::status_error && status.type() != boost::filesystem::file_not_found;
}

inline bool present(const boost::filesystem::path& path)
{
    boost::system::error_code ignored;
    return present(boost::filesystem::status(path, ignored));
}

} // namespace fs
