#include "core/utils/string_utils.h"

#include <algorithm>
#include <ctime>
#include <iomanip>
#include <limits>
#include <sstream>
#include <type_traits>

namespace utils {
namespace string_utils {

char _facet_struct::do_decimal_point() const { return decimal_separator; }

char _facet_struct::do_thousands_sep() const { return thousands_separator; }

std::string _facet_struct::do_grouping() const
{
    return thousands_separator != 0 ? std::string(1, '\3') : std::numpunct<char>::do_grouping();
}

namespace {

// The classic locale's white space; the C library's isspace would follow the process locale.
bool is_classic_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char classic_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Reads one integer as formatted stream extraction in the classic locale does (libstdc++'s
// rules, including the wrap of a negative text read as unsigned), without building a stream:
// the grid's sort reads numbers per comparison.
template <typename Integer>
Integer extract(const char* text)
{
    using magnitude_type = std::uint64_t;
    while (is_classic_space(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    if (*text < '0' || *text > '9')
        return 0;

    magnitude_type magnitude = 0;
    bool overflow = false;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const auto digit = static_cast<magnitude_type>(*text - '0');
        if (magnitude > (std::numeric_limits<magnitude_type>::max() - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }

    if constexpr (std::is_signed_v<Integer>) {
        const auto max = static_cast<magnitude_type>(std::numeric_limits<Integer>::max());
        if (negative)
            return overflow || magnitude > max ? std::numeric_limits<Integer>::min()
                                               : static_cast<Integer>(-static_cast<Integer>(magnitude));
        return overflow || magnitude > max ? std::numeric_limits<Integer>::max() : static_cast<Integer>(magnitude);
    } else {
        static_assert(sizeof(Integer) == sizeof(magnitude_type), "unsigned reading is 64-bit only");
        if (overflow)
            return std::numeric_limits<Integer>::max();
        return negative ? static_cast<Integer>(-magnitude) : static_cast<Integer>(magnitude);
    }
}

template <typename Piece, typename Append>
bool cut(const std::string& text, const std::string& separator, std::vector<Piece>& out, Append append)
{
    out.clear();
    if (text.empty())
        return false;
    std::string::size_type start = 0;
    // An empty separator would be found at every position without moving on.
    if (!separator.empty()) {
        for (auto found = text.find(separator); found != std::string::npos;
             found = text.find(separator, start)) {
            append(out, text.substr(start, found - start));
            start = found + separator.size();
        }
    }
    if (start < text.size())
        append(out, text.substr(start));
    return true;
}

} // namespace

int to_int(const char* text, std::size_t length, int default_value)
{
    if (length == 0 || text == nullptr)
        return default_value;
    return extract<int>(text);
}

std::int32_t to_long(const char* text, std::size_t length)
{
    if (length == 0 || text == nullptr)
        return -1;
    return extract<std::int32_t>(text);
}

std::uint64_t to_uint64(const char* text, std::size_t length, std::uint64_t default_value)
{
    if (length == 0 || text == nullptr)
        return default_value;
    return extract<std::uint64_t>(text);
}

std::int64_t to_int64(const char* text, std::size_t length)
{
    if (length == 0 || text == nullptr)
        return 0;
    return extract<std::int64_t>(text);
}

std::string to_string(const int& value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

bool split(const std::string& text, const std::string& separator, std::vector<std::string>& pieces)
{
    return cut(text, separator, pieces,
               [](std::vector<std::string>& out, std::string piece) { out.push_back(std::move(piece)); });
}

bool split_to_ints(const std::string& text, const std::string& separator, std::vector<int>& values)
{
    return cut(text, separator, values, [](std::vector<int>& out, const std::string& piece) {
        out.push_back(to_int(piece.c_str(), piece.size(), 0));
    });
}

void trim_left(std::string& text)
{
    std::string::size_type first = 0;
    while (first < text.size() && is_classic_space(text[first]))
        ++first;
    text.erase(0, first);
}

void trim_right(std::string& text)
{
    auto end = text.size();
    while (end > 0 && is_classic_space(text[end - 1]))
        --end;
    text.erase(end);
}

int compare_no_case(const std::string& a, const std::string& b)
{
    const auto shorter = std::min(a.size(), b.size());
    for (std::string::size_type i = 0; i < shorter; ++i) {
        const auto left = static_cast<signed char>(classic_upper(a[i]));
        const auto right = static_cast<signed char>(classic_upper(b[i]));
        if (left != right)
            return left < right ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string format_size(unsigned long long bytes, int precision)
{
    static const char* const units[] = { "B", "KB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB" };
    constexpr std::size_t unit_count = sizeof units / sizeof units[0];

    auto value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < unit_count) {
        value *= 0.0009765625;
        ++unit;
    }

    std::ostringstream out;
    out.imbue(std::locale(std::locale::classic(), new _facet_struct(0, '.')));
    out << std::fixed << std::setprecision(precision) << value << ' ' << units[unit];
    return out.str();
}

std::string format_now(const char* format)
{
    if (format == nullptr || *format == '\0')
        return std::string();
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    if (localtime_r(&now, &local) == nullptr)
        return std::string();
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::put_time(&local, format);
    return out.str();
}

} // namespace string_utils
} // namespace utils
