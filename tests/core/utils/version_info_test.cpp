#include "core/utils/version_info.h"

#include "core/utils/version.h"
#include "core/utils/version_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string field(int index) { return utils::get_version_info(&index); }

} // namespace

TEST(version_info, file_version_is_the_project_version_in_four_parts)
{
    const auto text = field(9);
    EXPECT_EQ(text, TARVOLINE_VERSION_TEXT);
    const utils::version running(text, '.');
    const auto& parts = running.components();
    EXPECT_EQ(parts[0], std::to_string(TARVOLINE_VERSION_MAJOR));
    EXPECT_EQ(parts[1], std::to_string(TARVOLINE_VERSION_MINOR));
    EXPECT_EQ(parts[2], std::to_string(TARVOLINE_VERSION_PATCH));
    EXPECT_EQ(parts[3], std::to_string(TARVOLINE_VERSION_TWEAK));
    EXPECT_EQ(running.to_string(), text);
}

TEST(version_info, unconfigured_unknown_or_missing_field_gives_empty_text)
{
    EXPECT_EQ(field(11), ""); // SpecialBuild
    EXPECT_EQ(field(-1), "");
    EXPECT_EQ(field(12), "");
    EXPECT_EQ(field(1000000), "");
    EXPECT_EQ(utils::get_version_info(nullptr), "");
}
