#pragma once
// The running program's version strings, compiled in from the project's version.

#include <string>

namespace utils {

// Field indexes: 0 Comments, 1 InternalName, 2 ProductName, 3 CompanyName, 4 LegalCopyright,
// 5 ProductVersion, 6 FileDescription, 7 LegalTrademarks, 8 PrivateBuild, 9 FileVersion
// ("a.b.c.d"), 10 OriginalFilename, 11 SpecialBuild. A null or unknown index, or a field
// without a value, gives "".
std::string get_version_info(const int* field_index);

} // namespace utils
