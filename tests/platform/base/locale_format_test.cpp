#include "platform/base/locale_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PinnedSettings {
public:
    explicit PinnedSettings(const LocaleNumberSettings& settings) : m_saved(GetUserNumberSettings())
    {
        SetUserNumberSettings(settings);
    }
    ~PinnedSettings() { SetUserNumberSettings(m_saved); }

private:
    LocaleNumberSettings m_saved;
};

LocaleNumberSettings German()
{
    LocaleNumberSettings settings;
    settings.decimalSeparator = ",";
    settings.thousandSeparator = ".";
    settings.currencySymbol = "\xE2\x82\xAC";  // the euro sign in UTF-8
    settings.negativeOrder = 1;
    return settings;
}

std::string Formatted(const char* value, unsigned digits, unsigned grouping = 3, unsigned negativeOrder = 1,
                      unsigned leadingZero = 1)
{
    char decimal[] = ".";
    char thousand[] = ",";
    NUMBERFMTA format;
    format.NumDigits = digits;
    format.LeadingZero = leadingZero;
    format.Grouping = grouping;
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    format.NegativeOrder = negativeOrder;
    char out[256];
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, value, &format, out, sizeof out) == 0)
        return "(failed)";
    return out;
}

}  // namespace

TEST(LocaleFormat, locale_info_answers_the_users_settings)
{
    PinnedSettings german(German());
    char buffer[16];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, ",");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, ".");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, buffer, sizeof buffer), 4);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_INEGNUMBER, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, "1");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILZERO, buffer, sizeof buffer), 2);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, nullptr, 0), 4);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, buffer, 3), 0);
    EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_SDECIMAL, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x7777, buffer, sizeof buffer), 0);
}

TEST(LocaleFormat, number_format_groups_rounds_and_places_the_sign)
{
    EXPECT_EQ(Formatted("1234567.891", 2), "1,234,567.89");
    EXPECT_EQ(Formatted("999.995", 2), "1,000.00");
    EXPECT_EQ(Formatted("0.5", 0), "1");
    EXPECT_EQ(Formatted(".25", 2), "0.25");
    EXPECT_EQ(Formatted(".25", 2, 3, 1, 0), ".25");
    EXPECT_EQ(Formatted("12", 3), "12.000");
    EXPECT_EQ(Formatted("1234567890", 0, 32), "1,23,45,67,890");
    EXPECT_EQ(Formatted("1234567890", 0, 30), "1234567,890");
    EXPECT_EQ(Formatted("1234567890", 0, 0), "1234567890");
    EXPECT_EQ(Formatted("007", 0), "7");
    EXPECT_EQ(Formatted("-0.001", 2), "0.00");
    EXPECT_EQ(Formatted("-5.5", 1, 3, 0), "(5.5)");
    EXPECT_EQ(Formatted("-5.5", 1, 3, 2), "- 5.5");
    EXPECT_EQ(Formatted("-5.5", 1, 3, 3), "5.5-");
    EXPECT_EQ(Formatted("-5.5", 1, 3, 4), "5.5 -");
    EXPECT_EQ(Formatted("-5.5", 1, 3, 5), "(failed)");
    EXPECT_EQ(Formatted("1,000", 0), "(failed)");
    EXPECT_EQ(Formatted("1e5", 0), "(failed)");
    EXPECT_EQ(Formatted("", 0), "(failed)");
    EXPECT_EQ(Formatted("-", 0), "(failed)");
    EXPECT_EQ(Formatted("1.2.3", 0), "(failed)");

    char small[4];
    NUMBERFMTA format;
    char point[] = ".";
    char comma[] = ",";
    format.lpDecimalSep = point;
    format.lpThousandSep = comma;
    format.Grouping = 3;
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "12345", &format, small, sizeof small), 0);
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "12345", &format, nullptr, 0), 7);
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 1, "12345", &format, nullptr, 0), 0);
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, nullptr, &format, nullptr, 0), 0);
    format.NumDigits = 4000000000u;
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1.5", &format, nullptr, 0), 0)
        << "an absurd digit count is refused, not allocated";
}

TEST(LocaleFormat, number_format_without_a_format_uses_the_users_settings)
{
    PinnedSettings german(German());
    char out[64];
    ASSERT_NE(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "-1234.5", nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "-1.234,50");

    LocaleNumberSettings negative_digits;
    negative_digits.digits = -1;
    PinnedSettings broken(negative_digits);
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1.5", nullptr, out, sizeof out), 0);
}

TEST(LocaleFormat, dates_parse_to_day_numbers)
{
    COleDateTime date;
    ASSERT_TRUE(date.ParseDateTime("1899-12-30"));
    EXPECT_EQ(date.GetStatus(), COleDateTime::valid);
    EXPECT_DOUBLE_EQ(date.m_dt, 0.0);
    ASSERT_TRUE(date.ParseDateTime(" 2000-01-01 "));
    EXPECT_DOUBLE_EQ(date.m_dt, 36526.0);
    ASSERT_TRUE(date.ParseDateTime("2000-01-01 18:00"));
    EXPECT_DOUBLE_EQ(date.m_dt, 36526.75);
    ASSERT_TRUE(date.ParseDateTime("2000-01-01T06:00:00"));
    EXPECT_DOUBLE_EQ(date.m_dt, 36526.25);
    ASSERT_TRUE(date.ParseDateTime("12:00"));
    EXPECT_DOUBLE_EQ(date.m_dt, 0.5);
    ASSERT_TRUE(date.ParseDateTime("1899-12-29 06:00"));
    EXPECT_DOUBLE_EQ(date.m_dt, -1.25);
    ASSERT_TRUE(date.ParseDateTime("2024-02-29"));

    for (const char* bad : {"", "yesterday", "2023-02-29", "2000-13-01", "2000-01-01 24:00", "2000-01-01T",
                            "99-01-01", "2000-1-1", "12:60", "2000-01-01 12:00 x"}) {
        EXPECT_FALSE(date.ParseDateTime(bad)) << bad;
        EXPECT_EQ(date.GetStatus(), COleDateTime::invalid) << bad;
    }
    EXPECT_FALSE(date.ParseDateTime(nullptr));
}

TEST(LocaleFormat, currency_parses_in_ten_thousandths)
{
    PinnedSettings german(German());
    COleCurrency money;
    ASSERT_TRUE(money.ParseCurrency("1.234,56 \xE2\x82\xAC"));
    EXPECT_EQ(money.m_cur.int64, 12345600);
    ASSERT_TRUE(money.ParseCurrency("\xE2\x82\xAC -12"));
    EXPECT_EQ(money.m_cur.int64, -120000);
    ASSERT_TRUE(money.ParseCurrency("(3,5)"));
    EXPECT_EQ(money.m_cur.int64, -35000);
    ASSERT_TRUE(money.ParseCurrency("0,123456"));
    EXPECT_EQ(money.m_cur.int64, 1235);
    ASSERT_TRUE(money.ParseCurrency("922.337.203.685.477,5807"));
    EXPECT_EQ(money.m_cur.int64, INT64_MAX);

    for (const char* bad : {"", "abc", "1,2,3", "(5", "12 $", "922337203685478", "--1", "1.", "\xE2\x82\xAC"}) {
        EXPECT_FALSE(money.ParseCurrency(bad)) << bad;
        EXPECT_EQ(money.GetStatus(), COleCurrency::invalid) << bad;
    }
}
