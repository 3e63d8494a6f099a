#include "core/utils/version_info.h"

#include "core/utils/version_table.h"

namespace utils {

std::string get_version_info(const int* field_index)
{
    // The string keys of a Windows version resource, in their index order; Linux has no such
    // resource, so the values are compiled in.
    static const char* const fields[] = {
        TARVOLINE_VERSION_COMMENTS,          TARVOLINE_VERSION_INTERNAL_NAME,
        TARVOLINE_VERSION_PRODUCT_NAME,      TARVOLINE_VERSION_COMPANY_NAME,
        TARVOLINE_VERSION_LEGAL_COPYRIGHT,   TARVOLINE_VERSION_PRODUCT_VERSION,
        TARVOLINE_VERSION_FILE_DESCRIPTION,  TARVOLINE_VERSION_LEGAL_TRADEMARKS,
        TARVOLINE_VERSION_PRIVATE_BUILD,     TARVOLINE_VERSION_FILE_VERSION,
        TARVOLINE_VERSION_ORIGINAL_FILENAME, TARVOLINE_VERSION_SPECIAL_BUILD,
    };
    constexpr int field_count = sizeof fields / sizeof fields[0];
    if (field_index == nullptr || *field_index < 0 || *field_index >= field_count)
        return std::string();
    return fields[*field_index];
}

} // namespace utils
