#include "platform/base/locale_format.h"

#include <cctype>
#include <cstring>
#include <limits>
#include <vector>

#include <langinfo.h>
#include <locale.h>

namespace {

LocaleNumberSettings& CurrentSettings()
{
    static LocaleNumberSettings settings = ReadEnvironmentNumberSettings();
    return settings;
}

bool IsKnownLocale(LCID locale)
{
    return locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT;
}

int CopyAnswer(const std::string& text, char* out, int size)
{
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (out == nullptr || size < needed)
        return 0;
    std::memcpy(out, text.c_str(), static_cast<size_t>(needed));
    return needed;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Adds one unit in the last place of a string of decimal digits; answers the carry.
bool IncrementDigits(std::string& digits)
{
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

std::string GroupDigits(const std::string& digits, unsigned int grouping, const std::string& separator)
{
    std::vector<int> sizes;
    for (char c : std::to_string(grouping))
        sizes.push_back(c - '0');
    const bool repeatLast = sizes.back() != 0;
    if (!repeatLast)
        sizes.pop_back();
    if (sizes.empty() || separator.empty())
        return digits;

    std::vector<std::string> groups;
    size_t end = digits.size();
    size_t sizeIndex = 0;
    while (end > 0) {
        if (sizeIndex >= sizes.size() && !repeatLast)
            break;
        const int groupSize = sizes[sizeIndex < sizes.size() ? sizeIndex : sizes.size() - 1];
        if (groupSize == 0 || static_cast<size_t>(groupSize) >= end)
            break;
        groups.push_back(digits.substr(end - groupSize, groupSize));
        end -= groupSize;
        ++sizeIndex;
    }
    std::string result = digits.substr(0, end);
    for (size_t i = groups.size(); i-- > 0;)
        result += separator + groups[i];
    return result;
}

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
long DaysFromEpoch(int year, int month, int day)
{
    const int y = year - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long dayOfYear = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long daysFrom1970 = era * 146097 + dayOfEra - 719468;
    return daysFrom1970 + 25569;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

class TextReader {
public:
    explicit TextReader(const std::string& text) : m_text(text) {}

    void SkipSpaces()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    bool Take(char c)
    {
        if (Peek() != c || AtEnd())
            return false;
        ++m_pos;
        return true;
    }
    bool Take(const std::string& word)
    {
        if (word.empty() || m_text.compare(m_pos, word.size(), word) != 0)
            return false;
        m_pos += word.size();
        return true;
    }
    // Exactly count digits (count 0: one or more).
    bool Number(int count, int* value)
    {
        int taken = 0;
        long result = 0;
        while (IsDigit(Peek()) && (count == 0 || taken < count) && taken < 9) {
            result = result * 10 + (m_text[m_pos++] - '0');
            ++taken;
        }
        *value = static_cast<int>(result);
        return taken > 0 && (count == 0 || taken == count);
    }
    size_t Position() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }

private:
    const std::string& m_text;
    size_t m_pos = 0;
};

bool ReadTime(TextReader& reader, int* secondsOfDay)
{
    int hour = 0, minute = 0, second = 0;
    if (!reader.Number(2, &hour) || !reader.Take(':') || !reader.Number(2, &minute))
        return false;
    if (reader.Take(':') && !reader.Number(2, &second))
        return false;
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    *secondsOfDay = hour * 3600 + minute * 60 + second;
    return true;
}

}  // namespace

LocaleNumberSettings ReadEnvironmentNumberSettings()
{
    LocaleNumberSettings settings;
    locale_t environment = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, "", static_cast<locale_t>(0));
    if (environment == static_cast<locale_t>(0))
        environment = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, "C", static_cast<locale_t>(0));
    if (environment == static_cast<locale_t>(0))
        return settings;
    const char* decimal = nl_langinfo_l(RADIXCHAR, environment);
    const char* thousand = nl_langinfo_l(THOUSEP, environment);
    const char* currency = nl_langinfo_l(CRNCYSTR, environment);
    if (decimal != nullptr && *decimal != '\0')
        settings.decimalSeparator = decimal;
    settings.thousandSeparator = thousand != nullptr ? thousand : "";
    // The first character only tells where the symbol stands.
    settings.currencySymbol = currency != nullptr && *currency != '\0' ? currency + 1 : "";
    freelocale(environment);
    return settings;
}

const LocaleNumberSettings& GetUserNumberSettings()
{
    return CurrentSettings();
}

void SetUserNumberSettings(const LocaleNumberSettings& settings)
{
    CurrentSettings() = settings;
}

int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int size)
{
    if (!IsKnownLocale(locale) || size < 0)
        return 0;
    const LocaleNumberSettings& settings = CurrentSettings();
    switch (type) {
    case LOCALE_SDECIMAL:
        return CopyAnswer(settings.decimalSeparator, data, size);
    case LOCALE_STHOUSAND:
        return CopyAnswer(settings.thousandSeparator, data, size);
    case LOCALE_SCURRENCY:
        return CopyAnswer(settings.currencySymbol, data, size);
    case LOCALE_IDIGITS:
        return CopyAnswer(std::to_string(settings.digits), data, size);
    case LOCALE_ILZERO:
        return CopyAnswer(std::to_string(settings.leadingZero), data, size);
    case LOCALE_INEGNUMBER:
        return CopyAnswer(std::to_string(settings.negativeOrder), data, size);
    default:
        return 0;
    }
}

int GetNumberFormatA(LCID locale, DWORD flags, LPCSTR value, const NUMBERFMTA* format, LPSTR out,
                     int size)
{
    if (!IsKnownLocale(locale) || value == nullptr || size < 0 || (format != nullptr && flags != 0))
        return 0;

    const LocaleNumberSettings& settings = CurrentSettings();
    NUMBERFMTA userFormat;
    if (format == nullptr) {
        userFormat.NumDigits = static_cast<unsigned int>(settings.digits);
        userFormat.LeadingZero = static_cast<unsigned int>(settings.leadingZero);
        userFormat.Grouping = 3;
        userFormat.NegativeOrder = static_cast<unsigned int>(settings.negativeOrder);
    }
    const NUMBERFMTA& fmt = format != nullptr ? *format : userFormat;
    const std::string decimalSep = format != nullptr ? (fmt.lpDecimalSep ? fmt.lpDecimalSep : "")
                                                     : settings.decimalSeparator;
    const std::string thousandSep = format != nullptr ? (fmt.lpThousandSep ? fmt.lpThousandSep : "")
                                                      : settings.thousandSeparator;
    // A negative digit count in the settings turns into billions here; no display has room
    // for more than a few dozen decimals.
    if (fmt.NegativeOrder > 4 || fmt.NumDigits > 100)
        return 0;

    const char* p = value;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::string integerDigits, fractionDigits;
    while (IsDigit(*p))
        integerDigits += *p++;
    if (*p == '.') {
        ++p;
        while (IsDigit(*p))
            fractionDigits += *p++;
    }
    if (*p != '\0' || (integerDigits.empty() && fractionDigits.empty()))
        return 0;

    const size_t decimals = fmt.NumDigits;
    const bool roundUp = fractionDigits.size() > decimals && fractionDigits[decimals] >= '5';
    fractionDigits.resize(decimals, '0');
    if (roundUp && IncrementDigits(fractionDigits) && IncrementDigits(integerDigits))
        integerDigits.insert(integerDigits.begin(), '1');

    const size_t firstSignificant = integerDigits.find_first_not_of('0');
    integerDigits = firstSignificant == std::string::npos ? std::string() : integerDigits.substr(firstSignificant);
    const bool isZero = integerDigits.empty() && fractionDigits.find_first_not_of('0') == std::string::npos;
    if (integerDigits.empty() && (fmt.LeadingZero != 0 || decimals == 0))
        integerDigits = "0";

    std::string number = GroupDigits(integerDigits, fmt.Grouping, thousandSep);
    if (decimals > 0)
        number += decimalSep + fractionDigits;

    if (negative && !isZero) {
        switch (fmt.NegativeOrder) {
        case 0: number = "(" + number + ")"; break;
        case 1: number = "-" + number; break;
        case 2: number = "- " + number; break;
        case 3: number += "-"; break;
        case 4: number += " -"; break;
        }
    }
    return CopyAnswer(number, out, size);
}

bool COleDateTime::ParseDateTime(const char* text, DWORD, LCID)
{
    m_status = invalid;
    m_dt = 0.0;
    if (text == nullptr)
        return false;
    const std::string source(text);
    TextReader reader(source);
    reader.SkipSpaces();

    long days = 0;
    int secondsOfDay = 0;
    const size_t start = reader.Position();
    int year = 0, month = 0, day = 0;
    if (reader.Number(4, &year) && reader.Take('-')) {
        if (!reader.Number(2, &month) || !reader.Take('-') || !reader.Number(2, &day))
            return false;
        if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
            return false;
        days = DaysFromEpoch(year, month, day);
        if (reader.Take('T')) {
            if (!ReadTime(reader, &secondsOfDay))
                return false;
        } else {
            reader.SkipSpaces();
            if (!reader.AtEnd() && !ReadTime(reader, &secondsOfDay))
                return false;
        }
    } else {
        reader.Seek(start);
        if (!ReadTime(reader, &secondsOfDay))
            return false;
    }
    reader.SkipSpaces();
    if (!reader.AtEnd())
        return false;

    const double fraction = secondsOfDay / 86400.0;
    m_dt = days >= 0 ? days + fraction : days - fraction;
    m_status = valid;
    return true;
}

bool COleCurrency::ParseCurrency(const char* text, DWORD, LCID)
{
    m_status = invalid;
    m_cur.int64 = 0;
    if (text == nullptr)
        return false;
    const LocaleNumberSettings& settings = CurrentSettings();
    const std::string source(text);
    TextReader reader(source);

    reader.SkipSpaces();
    const bool parenthesised = reader.Take('(');
    reader.SkipSpaces();
    bool negative = !parenthesised && reader.Take('-');
    reader.SkipSpaces();
    bool symbolSeen = reader.Take(settings.currencySymbol);
    reader.SkipSpaces();
    if (!parenthesised && !negative && reader.Take('-')) {
        negative = true;
        reader.SkipSpaces();
    }

    std::string integerDigits, fractionDigits;
    while (true) {
        if (IsDigit(reader.Peek())) {
            integerDigits += reader.Peek();
            reader.Take(reader.Peek());
            continue;
        }
        const size_t beforeSeparator = reader.Position();
        if (!integerDigits.empty() && reader.Take(settings.thousandSeparator)) {
            if (IsDigit(reader.Peek()))
                continue;
            reader.Seek(beforeSeparator);
        }
        break;
    }
    if (reader.Take(settings.decimalSeparator)) {
        while (IsDigit(reader.Peek())) {
            fractionDigits += reader.Peek();
            reader.Take(reader.Peek());
        }
    }
    if (integerDigits.empty() && fractionDigits.empty())
        return false;

    reader.SkipSpaces();
    if (!symbolSeen)
        symbolSeen = reader.Take(settings.currencySymbol);
    reader.SkipSpaces();
    if (parenthesised) {
        if (!reader.Take(')'))
            return false;
        negative = true;
        reader.SkipSpaces();
    }
    if (!reader.AtEnd())
        return false;

    const bool roundUp = fractionDigits.size() > 4 && fractionDigits[4] >= '5';
    fractionDigits.resize(4, '0');
    const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t amount = 0;
    for (char c : integerDigits + fractionDigits) {
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (amount > (limit - digit) / 10)
            return false;
        amount = amount * 10 + digit;
    }
    if (roundUp) {
        if (amount == limit)
            return false;
        ++amount;
    }
    m_cur.int64 = negative ? -static_cast<std::int64_t>(amount) : static_cast<std::int64_t>(amount);
    m_status = valid;
    return true;
}
