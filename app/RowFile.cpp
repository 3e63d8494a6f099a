#include "app/RowFile.h"

#include "core/data/data_table.h"

#include <boost/filesystem.hpp>

#include <exception>

namespace row_file {

std::string path_on(const data::data_row& row, const std::string& side)
{
    try {
        const std::string folder = row.get<std::string>(side + "_fullpath", std::string());
        const std::string name = row.get<std::string>(side + "_name", std::string());
        if (folder.empty() || name.empty())
            return std::string();
        return (boost::filesystem::path(folder) / name).string();
    } catch (const std::exception&) {
        return std::string();
    }
}

std::string name_of(const data::data_row& row)
{
    try {
        const std::string name = row.get<std::string>(std::string(main_side) + "_name", std::string());
        return name.empty() ? row.get<std::string>(std::string(backup_side) + "_name", std::string()) : name;
    } catch (const std::exception&) {
        return std::string();
    }
}

bool is_regular_file(const std::string& path)
{
    boost::system::error_code ignored;
    return !path.empty() && boost::filesystem::is_regular_file(path, ignored);
}

bool exists(const std::string& path)
{
    boost::system::error_code ignored;
    return !path.empty() && boost::filesystem::symlink_status(path, ignored).type() != boost::filesystem::status_error
        && boost::filesystem::symlink_status(path, ignored).type() != boost::filesystem::file_not_found;
}

} // namespace row_file
