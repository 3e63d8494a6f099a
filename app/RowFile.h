#pragma once
// A result row's file on one side: the folder cell side + "_fullpath" joined with the name cell
// side + "_name", the side being "file" (main tree) or "backup".

#include <string>

namespace data {
class data_row;
}

namespace row_file {

inline constexpr char main_side[] = "file";
inline constexpr char backup_side[] = "backup";

// Empty when either cell is empty (the side the row is missing from) or the row has no such
// columns: joining two empty cells would name the root folder.
std::string path_on(const data::data_row& row, const std::string& side);
// The file name the row goes by: the main side's, or the backup side's on a row missing in main.
std::string name_of(const data::data_row& row);
// True for a regular file, links followed.
bool is_regular_file(const std::string& path);
// True when anything is at the path (a link counts even when dangling).
bool exists(const std::string& path);

} // namespace row_file
