#include "core/utils/string_utils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace su = utils::string_utils;

namespace {

int read_int(const std::string& text, int default_value = 0)
{
    return su::to_int(text.c_str(), text.size(), default_value);
}
std::int32_t read_long(const std::string& text) { return su::to_long(text.c_str(), text.size()); }
std::uint64_t read_uint64(const std::string& text, std::uint64_t default_value = 0)
{
    return su::to_uint64(text.c_str(), text.size(), default_value);
}
std::int64_t read_int64(const std::string& text) { return su::to_int64(text.c_str(), text.size()); }

template <typename Integer>
Integer stream_extraction(const std::string& text)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    Integer value = 0;
    in >> value;
    return value;
}

std::vector<std::string> pieces_of(const std::string& text, const std::string& separator)
{
    std::vector<std::string> pieces { "stale" };
    su::split(text, separator, pieces);
    return pieces;
}

// A process locale that groups digits and writes ',' as the decimal point, as a user's
// desktop locale may; the helpers must not follow it.
class grouping_global_locale : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::locale::global(std::locale(std::locale::classic(), new su::_facet_struct('.', ',')));
    }
    void TearDown() override { std::locale::global(previous_); }

private:
    std::locale previous_;
};

// True when `text` has the shape of `pattern`, where '#' stands for any decimal digit.
bool has_shape(const std::string& text, const std::string& pattern)
{
    if (text.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool matches = pattern[i] == '#' ? text[i] >= '0' && text[i] <= '9' : text[i] == pattern[i];
        if (!matches)
            return false;
    }
    return true;
}

std::string grouped(double value, char separator, char decimal, int precision)
{
    std::ostringstream out;
    out.imbue(std::locale(std::locale::classic(), new su::_facet_struct(separator, decimal)));
    out << std::fixed << std::setprecision(precision) << value;
    return out.str();
}

} // namespace

TEST(string_utils_numbers, empty_text_gives_the_default)
{
    EXPECT_EQ(su::to_int("", 0, 7), 7);
    EXPECT_EQ(su::to_long("", 0), -1);
    EXPECT_EQ(su::to_uint64("", 0, 99), 99u);
    EXPECT_EQ(su::to_int64("", 0), 0);
    // Only the length decides emptiness.
    EXPECT_EQ(su::to_int("42", 0, 7), 7);
    EXPECT_EQ(su::to_int(nullptr, 5, 7), 7);
    EXPECT_EQ(su::to_long(nullptr, 5), -1);
}

TEST(string_utils_numbers, reads_leading_number_and_stops_at_other_characters)
{
    EXPECT_EQ(read_int(" 42"), 42);
    EXPECT_EQ(read_int("\t\n\v\f\r 7"), 7);
    EXPECT_EQ(read_int("12px"), 12);
    EXPECT_EQ(read_int("+0012"), 12);
    EXPECT_EQ(read_int("-5 6"), -5);
    EXPECT_EQ(read_int("1,000"), 1);
    EXPECT_EQ(read_int("0x10"), 0);
    EXPECT_EQ(read_int64("-9000000000"), -9000000000LL);
    EXPECT_EQ(read_uint64("5368709120"), 5368709120ULL);
}

TEST(string_utils_numbers, non_numeric_text_gives_zero_not_the_default)
{
    EXPECT_EQ(read_int("x", 7), 0);
    EXPECT_EQ(read_int("-", 7), 0);
    EXPECT_EQ(read_int("- 5", 7), 0);
    EXPECT_EQ(read_int("--5", 7), 0);
    EXPECT_EQ(read_int(" ", 7), 0);
    EXPECT_EQ(read_int("\xa0" "5", 7), 0);
    EXPECT_EQ(read_long("abc"), 0);
    EXPECT_EQ(read_uint64("abc", 99), 0u);
    EXPECT_EQ(read_int64("abc"), 0);
}

TEST(string_utils_numbers, overflow_gives_the_limit_of_the_type)
{
    EXPECT_EQ(read_int("2147483648"), std::numeric_limits<int>::max());
    EXPECT_EQ(read_int("-2147483649"), std::numeric_limits<int>::min());
    EXPECT_EQ(read_int("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(read_int("99999999999999999999999999"), std::numeric_limits<int>::max());
    // Signed 32-bit even where long is 64-bit.
    EXPECT_EQ(read_long("4294967295"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(read_long("-3000000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(read_int64("9223372036854775808"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(read_int64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(read_int64("-9223372036854775809"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(read_uint64("18446744073709551615"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(read_uint64("18446744073709551616"), std::numeric_limits<std::uint64_t>::max());
}

TEST(string_utils_numbers, reads_exactly_as_classic_stream_extraction)
{
    std::vector<std::string> texts { "0", "-0", "+", "+-5", "007", " -5", "2147483647", "-2147483648",
                                     "4294967296", "9223372036854775807", "-9223372036854775807",
                                     "18446744073709551615", "-18446744073709551615",
                                     "-18446744073709551616", "123456789012345678901234567890" };
    std::mt19937_64 random(20240131);
    const std::string alphabet = " +-0123456789x\t";
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        const auto length = 1 + random() % 24;
        for (std::size_t j = 0; j < length; ++j)
            text += alphabet[random() % alphabet.size()];
        texts.push_back(text);
        texts.push_back(std::to_string(static_cast<std::int64_t>(random())));
        texts.push_back(std::to_string(random()));
    }
    for (const auto& text : texts) {
        EXPECT_EQ(read_int(text, 7), stream_extraction<int>(text)) << '"' << text << '"';
        EXPECT_EQ(read_long(text), stream_extraction<std::int32_t>(text)) << '"' << text << '"';
        EXPECT_EQ(read_int64(text), stream_extraction<std::int64_t>(text)) << '"' << text << '"';
        EXPECT_EQ(read_uint64(text), stream_extraction<std::uint64_t>(text)) << '"' << text << '"';
    }
}

TEST_F(grouping_global_locale, numbers_stay_classic_whatever_the_process_locale)
{
    EXPECT_EQ(su::to_string(1234567), "1234567");
    EXPECT_EQ(su::to_string(-42), "-42");
    EXPECT_EQ(su::to_string(std::numeric_limits<int>::min()), "-2147483648");
    EXPECT_EQ(read_int("1.234"), 1);
    EXPECT_EQ(su::format_size(1536, 2), "1.50 KB");
    EXPECT_EQ(su::format_size(1023, 2), "1023.00 B");
}

TEST(string_utils_split, cuts_at_every_separator_keeping_inner_empty_pieces)
{
    EXPECT_EQ(pieces_of("a//b", "/"), (std::vector<std::string> { "a", "", "b" }));
    EXPECT_EQ(pieces_of("/a", "/"), (std::vector<std::string> { "", "a" }));
    EXPECT_EQ(pieces_of("a/", "/"), (std::vector<std::string> { "a" }));
    EXPECT_EQ(pieces_of("a//", "/"), (std::vector<std::string> { "a", "" }));
    EXPECT_EQ(pieces_of("/", "/"), (std::vector<std::string> { "" }));
    EXPECT_EQ(pieces_of("abc", "/"), (std::vector<std::string> { "abc" }));
    EXPECT_EQ(pieces_of("1, 2", ", "), (std::vector<std::string> { "1", "2" }));
    EXPECT_EQ(pieces_of("Tarvoline/Config/Version", "/"),
              (std::vector<std::string> { "Tarvoline", "Config", "Version" }));
}

TEST(string_utils_split, empty_text_returns_false_and_empties_the_output)
{
    std::vector<std::string> pieces { "stale" };
    EXPECT_FALSE(su::split("", "/", pieces));
    EXPECT_TRUE(pieces.empty());
    std::vector<int> values { 1, 2 };
    EXPECT_FALSE(su::split_to_ints("", ",", values));
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(su::split("a/b", "/", pieces));
    EXPECT_EQ(pieces.size(), 2u);
}

TEST(string_utils_split, empty_separator_gives_the_whole_text)
{
    EXPECT_EQ(pieces_of("a/b", ""), (std::vector<std::string> { "a/b" }));
}

TEST(string_utils_split, split_to_ints_reads_every_piece_with_zero_for_empty)
{
    std::vector<int> values;
    EXPECT_TRUE(su::split_to_ints("10,20,30", ",", values));
    EXPECT_EQ(values, (std::vector<int> { 10, 20, 30 }));
    EXPECT_TRUE(su::split_to_ints("10,,30", ",", values));
    EXPECT_EQ(values, (std::vector<int> { 10, 0, 30 }));
    EXPECT_TRUE(su::split_to_ints(" 5,x,-3px,", ",", values));
    EXPECT_EQ(values, (std::vector<int> { 5, 0, -3 }));
}

TEST(string_utils_trim, removes_classic_white_space_at_each_end)
{
    std::string text = "\r\n\t x \v\f";
    su::trim_left(text);
    EXPECT_EQ(text, "x \v\f");
    su::trim_right(text);
    EXPECT_EQ(text, "x");

    std::string blank = " \t\r\n ";
    su::trim_left(blank);
    EXPECT_EQ(blank, "");
    blank = " \t\r\n ";
    su::trim_right(blank);
    EXPECT_EQ(blank, "");

    // A non-breaking space of an 8-bit code page is not classic white space.
    std::string latin = "\xa0x\xa0";
    su::trim_left(latin);
    su::trim_right(latin);
    EXPECT_EQ(latin, "\xa0x\xa0");
}

TEST(string_utils_compare_no_case, ignores_ascii_case_and_orders_prefixes_first)
{
    EXPECT_EQ(su::compare_no_case("Zeta", "alpha"), 1);
    EXPECT_EQ(su::compare_no_case("b", "B"), 0);
    EXPECT_EQ(su::compare_no_case("abc", "ABC"), 0);
    EXPECT_EQ(su::compare_no_case("B", "ba"), -1);
    EXPECT_EQ(su::compare_no_case("ab", "abc"), -1);
    EXPECT_EQ(su::compare_no_case("", "a"), -1);
    EXPECT_EQ(su::compare_no_case("yes", "Yes"), 0);
    // '[' (0x5B) sorts after 'a' because 'a' is compared as 'A' (0x41).
    EXPECT_EQ(su::compare_no_case("[", "a"), 1);
}

TEST(string_utils_compare_no_case, high_bytes_are_negative_and_not_case_mapped)
{
    EXPECT_EQ(su::compare_no_case("\xc3\xa9", "z"), -1);
    EXPECT_EQ(su::compare_no_case("\x80", "\x7f"), -1);
    EXPECT_EQ(su::compare_no_case("\xff", "\x80"), 1);
    // UTF-8 "é" and "É" differ: only 'a'-'z' change case.
    EXPECT_NE(su::compare_no_case("\xc3\xa9", "\xc3\x89"), 0);
    EXPECT_EQ(su::compare_no_case(std::string("a\0b", 3), std::string("A\0B", 3)), 0);
}

TEST(string_utils_facet, groups_by_three_only_with_a_separator)
{
    EXPECT_EQ(grouped(1234567, ',', '.', 0), "1,234,567");
    EXPECT_EQ(grouped(1234567, 0, '.', 0), "1234567");
    EXPECT_EQ(grouped(1234.5, ',', '.', 1), "1,234.5");
    EXPECT_EQ(grouped(1234.5, 0, ',', 2), "1234,50");
    EXPECT_EQ(grouped(999, ',', '.', 0), "999");
}

TEST(string_utils_format_size, writes_value_and_unit_with_the_precision)
{
    EXPECT_EQ(su::format_size(0, 2), "0.00 B");
    EXPECT_EQ(su::format_size(1023, 2), "1023.00 B");
    EXPECT_EQ(su::format_size(1024, 2), "1.00 KB");
    EXPECT_EQ(su::format_size(1536, 2), "1.50 KB");
    EXPECT_EQ(su::format_size(1024 * 1024 - 1, 2), "1024.00 KB");
    EXPECT_EQ(su::format_size(1024 * 1024, 2), "1.00 MB");
    EXPECT_EQ(su::format_size(5368709120ULL, 2), "5.00 GB");
    EXPECT_EQ(su::format_size(1ULL << 50, 2), "1.00 PB");
    EXPECT_EQ(su::format_size(std::numeric_limits<std::uint64_t>::max(), 2), "16.00 EB");
    EXPECT_EQ(su::format_size(1536, 0), "2 KB");
    EXPECT_EQ(su::format_size(0, 1), "0.0 B");
    EXPECT_EQ(su::format_size(1000000000, 3), "953.674 MB");
}

TEST(string_utils_format_now, writes_the_current_local_time_in_the_format)
{
    const char* format = "%Y-%m-%d %H:%M:%S";
    const auto expected_at = [format](std::time_t when) {
        std::tm local {};
        localtime_r(&when, &local);
        char text[64] = {};
        std::strftime(text, sizeof text, format, &local);
        return std::string(text);
    };
    const auto before = std::time(nullptr);
    const auto now = su::format_now(format);
    const auto after = std::time(nullptr);
    EXPECT_TRUE(has_shape(now, "####-##-## ##:##:##")) << now;
    EXPECT_TRUE(now == expected_at(before) || now == expected_at(after)) << now;

    EXPECT_TRUE(has_shape(su::format_now("%Y%m%d"), "########"));
    EXPECT_TRUE(has_shape(su::format_now("log %% %Y."), "log % ####."));
    EXPECT_EQ(su::format_now(""), "");
    EXPECT_EQ(su::format_now(nullptr), "");
}
