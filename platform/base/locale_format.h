#pragma once
// The user's number, date and currency conventions, under the names the grid calls.
// The conventions are read once from the environment's locale (LC_NUMERIC, LC_MONETARY) and can
// be replaced, which is how tests pin them. Conversions themselves always use the classic "C"
// rules, whatever the process locale is, so a toolkit that switches LC_NUMERIC changes nothing.

#include "platform/base/win_types.h"

#include <cstdint>
#include <string>

using LCID = DWORD;
using LCTYPE = DWORD;

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LANG_USER_DEFAULT = 0x0400;

constexpr LCTYPE LOCALE_SDECIMAL = 0x000E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x000F;
constexpr LCTYPE LOCALE_IDIGITS = 0x0011;
constexpr LCTYPE LOCALE_ILZERO = 0x0012;
constexpr LCTYPE LOCALE_SCURRENCY = 0x0014;
constexpr LCTYPE LOCALE_INEGNUMBER = 0x1010;

struct NUMBERFMTA {
    UINT NumDigits = 0;
    UINT LeadingZero = 0;
    // Group sizes as decimal digits, least significant group first: 3 = 1,234,567; 32 =
    // 12,34,567; a final 0 stops grouping after the listed groups.
    UINT Grouping = 0;
    LPSTR lpDecimalSep = nullptr;
    LPSTR lpThousandSep = nullptr;
    // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -".
    UINT NegativeOrder = 1;
};

struct LocaleNumberSettings {
    std::string decimalSeparator = ".";
    std::string thousandSeparator = ",";
    std::string currencySymbol = "$";
    int leadingZero = 1;
    int negativeOrder = 1;
    int digits = 2;
};

// What the environment's locale says, with the fields it does not know at their defaults.
LocaleNumberSettings ReadEnvironmentNumberSettings();
const LocaleNumberSettings& GetUserNumberSettings();
void SetUserNumberSettings(const LocaleNumberSettings& settings);

// Writes the value as text with its terminator; answers the characters written including the
// terminator, the size needed when size is 0, and 0 for an unknown locale or type or a buffer
// that is too small.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size);

// value: an optional leading '-', digits, at most one '.', more digits (".25" and "7." are
// accepted); nothing else. Rounds half away from zero to NumDigits decimals. A null format
// takes the user's settings (grouping 3); with a format, flags must be 0.
// Answers as GetLocaleInfoA does; 0 for malformed input.
int GetNumberFormatA(LCID locale, DWORD flags, LPCSTR value, const NUMBERFMTA* format, LPSTR out,
                     int size);

// A date and time as a day count from 1899-12-30 with the time of day as the fraction (before
// that day the fraction counts forward from the negative whole day).
// Accepted text (spaces around it are ignored):
//   YYYY-MM-DD, YYYY-MM-DD HH:MM, YYYY-MM-DD HH:MM:SS ('T' may stand for the space),
//   HH:MM or HH:MM:SS alone (the date is then day 0).
// Years 100 to 9999, real calendar days, hours 0-23, minutes and seconds 0-59.
class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    bool ParseDateTime(const char* text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);
    DateTimeStatus GetStatus() const { return m_status; }

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;
};

struct CURRENCY {
    std::int64_t int64 = 0;
};

// An amount in ten-thousandths of the currency unit.
// Accepted text (spaces around the parts are ignored): an optional '-' or a pair of parentheses
// around everything for a negative amount; the user's currency symbol, optionally, before or
// after the number; digits, with the user's thousands separator allowed between digits; the
// user's decimal separator followed by digits. More than four decimals are rounded half away
// from zero. Amounts beyond the 64-bit range are rejected.
class COleCurrency {
public:
    enum CurrencyStatus { valid = 0, invalid = 1, null = 2 };

    bool ParseCurrency(const char* text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);
    CurrencyStatus GetStatus() const { return m_status; }

    CURRENCY m_cur;
    CurrencyStatus m_status = valid;
};
