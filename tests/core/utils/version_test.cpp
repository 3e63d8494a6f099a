#include "core/utils/version.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using utils::version;

namespace {

std::vector<std::string> parts(const std::string& text, char separator = '.')
{
    return version(text, separator).components();
}

bool not_newer(const std::string& a, const std::string& b) { return version(a, '.') <= version(b, '.'); }

} // namespace

TEST(version, parses_four_text_components)
{
    using list = std::vector<std::string>;
    EXPECT_EQ(parts("1.2.3.4"), (list { "1", "2", "3", "4" }));
    EXPECT_EQ(parts("1.2"), (list { "1", "2", "", "" }));
    EXPECT_EQ(parts(" 1 . 2\t.3 . 4\n"), (list { "1", "2", "3", "4" }));
    EXPECT_EQ(parts("1..3"), (list { "1", "", "3", "" }));
    EXPECT_EQ(parts("1.2.3.4.5"), (list { "1", "2", "3", "4" }));
    EXPECT_EQ(parts("1.2.3."), (list { "1", "2", "3", "" }));
    EXPECT_EQ(parts(""), (list { "", "", "", "" }));
    EXPECT_EQ(parts("2024-01-beta", '-'), (list { "2024", "01", "beta", "" }));
    EXPECT_EQ(parts("1.2.3.4", ','), (list { "1.2.3.4", "", "", "" }));
}

TEST(version, text_form_skips_empty_components_with_their_dots)
{
    EXPECT_EQ(version("1.0.3.0", '.').to_string(), "1.0.3.0");
    EXPECT_EQ(version("1..3", '.').to_string(), "1.3");
    EXPECT_EQ(version("1.2", '.').to_string(), "1.2");
    EXPECT_EQ(version(".2", '.').to_string(), ".2");
    EXPECT_EQ(version("", '.').to_string(), "");
    EXPECT_EQ(version("3-1", '-').to_string(), "3.1");

    std::ostringstream out;
    out << "Updating from " << version(" 1.5.0.2 ", '.') << "\n";
    EXPECT_EQ(out.str(), "Updating from 1.5.0.2\n");
}

TEST(version, full_text_form_parses_back_to_the_same_version)
{
    for (const char* text : { "1.0.3.0", "10.20.30.40", "0.0.0.1", "1.2.3.beta" }) {
        const version original(text, '.');
        const version again(original.to_string(), '.');
        EXPECT_EQ(again.components(), original.components()) << text;
        EXPECT_TRUE(original <= again && again <= original) << text;
    }
}

TEST(version, compares_components_as_text_in_order)
{
    EXPECT_TRUE(not_newer("1.5.0.0", "2.0.0.0"));
    EXPECT_FALSE(not_newer("2.0.0.0", "1.5.0.0"));
    EXPECT_TRUE(not_newer("1.0.2.9", "1.0.3.0"));
    EXPECT_FALSE(not_newer("1.0.3.1", "1.0.3.0"));
    // Text order: "10" sorts before "9", and an empty component is the smallest.
    EXPECT_TRUE(not_newer("1.10.0.0", "1.9.0.0"));
    EXPECT_FALSE(not_newer("1.9.0.0", "1.10.0.0"));
    EXPECT_TRUE(not_newer("1.2", "1.2.0"));
    EXPECT_FALSE(not_newer("1.2.0", "1.2"));
    EXPECT_TRUE(not_newer("", "0.0.0.0"));
}

TEST(version, equal_versions_are_not_newer_either_way)
{
    EXPECT_TRUE(not_newer("1.0.3.0", "1.0.3.0"));
    EXPECT_TRUE(not_newer(" 1 .0.3.0", "1.0.3.0 "));
    EXPECT_TRUE(not_newer("1.2.3.4.5", "1.2.3.4.6"));
    EXPECT_TRUE(not_newer("1.2.3.4.6", "1.2.3.4.5"));
}
