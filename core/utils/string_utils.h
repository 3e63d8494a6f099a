#pragma once
// Small text helpers shared by the whole program. Every reading and writing of numbers and every
// character test uses the classic "C" rules, whatever locale the process or the toolkit set.

#include <cstddef>
#include <cstdint>
#include <locale>
#include <string>
#include <vector>

namespace utils {
namespace string_utils {

// Number punctuation for formatted numbers: a separator of 0 means no digit grouping.
// Create it with new and add it to a copy of the classic locale; that locale owns it.
struct _facet_struct : std::numpunct<char> {
    _facet_struct() = default;
    _facet_struct(char thousands_separator, char decimal_separator)
        : thousands_separator(thousands_separator), decimal_separator(decimal_separator)
    {
    }

    char thousands_separator { 0 };
    char decimal_separator { '.' };

protected:
    char do_decimal_point() const override;
    char do_thousands_sep() const override;
    std::string do_grouping() const override;
};

// Numbers are read as standard formatted extraction reads them: leading white space skipped,
// an optional sign, decimal digits up to the first other character ("12px" gives 12). A text
// that does not begin with a number gives 0; a number out of range gives the type's limit.
// A length of 0 (or a null text) gives the default; the length serves only that test.
int to_int(const char* text, std::size_t length, int default_value);
std::int32_t to_long(const char* text, std::size_t length);   // default -1
std::uint64_t to_uint64(const char* text, std::size_t length, std::uint64_t default_value);
std::int64_t to_int64(const char* text, std::size_t length);  // default 0

std::string to_string(const int& value);

// Cuts `text` at every `separator`: inner empty pieces are kept, an empty last piece is not.
// Returns false (and an empty output) for an empty text. An empty separator cuts nothing.
bool split(const std::string& text, const std::string& separator, std::vector<std::string>& pieces /*out*/);
// The same cutting, every piece read with to_int (an empty piece gives 0).
bool split_to_ints(const std::string& text, const std::string& separator, std::vector<int>& values /*out*/);

// Remove the leading / trailing run of space, \t, \n, \v, \f and \r.
void trim_left(std::string& text);
void trim_right(std::string& text);

// Three-way comparison (-1, 0, +1) with 'a'-'z' upper-cased and bytes compared as signed
// 8-bit values (bytes from 0x80 sort before ASCII); a proper prefix is smaller.
int compare_no_case(const std::string& a, const std::string& b);
// The ordering of compare_no_case, for maps whose keys differ only in letter case are one key.
struct less_no_case {
    bool operator()(const std::string& a, const std::string& b) const { return compare_no_case(a, b) < 0; }
};

// A byte count with its unit, "1.50 KB" for 1536 at precision 2; never grouped, always '.'.
std::string format_size(unsigned long long bytes, int precision);
// The current local time written with a strftime-style format; empty or null format gives "".
std::string format_now(const char* format);

} // namespace string_utils
} // namespace utils
