#include "grid/UGCell.h"

#include "number_settings.h"

#include "platform/base/system_services.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::string Shown(double value, std::uint32_t extraFlags = 0, int decimals = -1)
{
    CUGCell cell;
    cell.SetNumber(value);
    if (decimals >= 0)
        cell.SetNumberDecimals(decimals);
    cell.SetPropertyFlags(cell.GetPropertyFlags() | extraFlags);
    const char* text = cell.GetDisplayText();
    return text != nullptr ? text : "(null)";
}

class AttachedObject : public CObject {
public:
    explicit AttachedObject(int* deletions) : m_deletions(deletions) {}
    ~AttachedObject() override { ++*m_deletions; }

private:
    int* m_deletions;
};

}  // namespace

TEST(CellRecord, new_record_has_the_documented_defaults)
{
    CUGCell cell;
    EXPECT_EQ(cell.GetPropertyFlags(), 0x8008788u);
    EXPECT_EQ(cell.GetDataType(), UGCELLDATA_STRING);
    EXPECT_EQ(cell.GetAlignment(), UG_ALIGNLEFT);
    EXPECT_EQ(cell.GetThemeStyle(), 16);
    EXPECT_EQ(cell.GetParam(), -1);
    EXPECT_EQ(cell.GetCellType(), -1);
    EXPECT_EQ(cell.GetCellTypeEx(), -1);
    EXPECT_EQ(cell.GetMergeWord(), 1u);
    EXPECT_EQ(cell.GetTextColor(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(cell.GetBackColor(), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(cell.GetHTextColor(), GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(cell.GetHBackColor(), GetSysColor(COLOR_HIGHLIGHT));
    int origin = 7, col = 7, row = 7;
    cell.GetJoinInfo(&origin, &col, &row);
    EXPECT_EQ(origin, 0);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    EXPECT_TRUE(cell.GetText().IsEmpty());
    EXPECT_EQ(cell.GetDisplayText(), nullptr);
    // Callers that need a string get "" from the platform's string.
    EXPECT_STREQ(CString(cell.GetDisplayText()).GetString(), "");
}

TEST(CellRecord, reset_keeps_drawing_properties_and_clear_all_drops_them)
{
    CUGCell cell;
    cell.SetCellType(3);
    cell.SetBorder(5);
    cell.SetJoinInfo(1, 2, 3);
    cell.SetBackColor(RGB(1, 2, 3));
    cell.SetTextValue("x");

    cell.ResetProperties();
    EXPECT_EQ(cell.GetCellType(), 3);
    EXPECT_EQ(cell.GetBorder(), 5);
    EXPECT_EQ(cell.GetBackColor(), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(cell.GetPropertyFlags(), 0x8008788u);
    EXPECT_TRUE(cell.GetText().IsEmpty());

    cell.ClearAll();
    EXPECT_EQ(cell.GetCellType(), -1);
    EXPECT_EQ(cell.GetBorder(), 0);
    int origin = 0, col = 0, row = 0;
    cell.GetJoinInfo(&origin, &col, &row);
    EXPECT_EQ(origin, 0);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
}

TEST(CellRecord, text_setter_marks_text_and_type_only_for_non_empty_text)
{
    CUGCell cell;
    cell.SetPropertyFlags(0);
    cell.SetTextValue("");
    EXPECT_EQ(cell.GetPropertyFlags(), 0u);
    cell.SetTextValue("abc");
    EXPECT_EQ(cell.GetPropertyFlags(), UGCELL_TEXT_SET | UGCELL_DATATYPE_SET);
    EXPECT_STREQ(cell.GetDisplayText(), "abc");
    cell.SetTextValue("");
    EXPECT_EQ(cell.GetPropertyFlags(), UGCELL_DATATYPE_SET);
    EXPECT_EQ(cell.GetDisplayText(), nullptr);
    cell.SetTextValue(nullptr);
    EXPECT_EQ(cell.GetDisplayText(), nullptr);
}

TEST(CellRecord, merge_copies_only_what_the_source_set)
{
    int deletions = 0;
    CUGCell source;
    source.SetPropertyFlags(UGCELL_BACKCOLOR_SET);
    source.SetBackColor(RGB(10, 20, 30));
    source.SetTextColor(RGB(99, 99, 99));
    source.SetPropertyFlags(UGCELL_BACKCOLOR_SET);
    source.SetMergeWord(42);
    AttachedObject* attached = new AttachedObject(&deletions);
    source.SetExtraMemPtr(attached);

    CUGCell target;
    target.SetTextValue("kept");
    target.SetFont(reinterpret_cast<CFont*>(0x1234));
    const std::uint32_t flagsBefore = target.GetPropertyFlags();
    const COLORREF textColorBefore = target.GetTextColor();

    EXPECT_EQ(CUGCell::CopySetPropertiesTo(0, &source, &target), 0);
    EXPECT_EQ(target.GetBackColor(), RGB(10, 20, 30));
    EXPECT_EQ(target.GetTextColor(), textColorBefore);
    EXPECT_STREQ(target.GetDisplayText(), "kept");
    EXPECT_EQ(target.GetFont(), reinterpret_cast<CFont*>(0x1234));
    EXPECT_EQ(target.GetPropertyFlags(), flagsBefore | UGCELL_BACKCOLOR_SET);
    EXPECT_EQ(target.GetMergeWord(), 42u);
    EXPECT_EQ(target.GetExtraMemPtr(), attached);
    EXPECT_EQ(source.GetPropertyFlags(), UGCELL_BACKCOLOR_SET);

    // Every set property travels: text, number, join, decimals, read-only, theme style.
    CUGCell full;
    full.SetNumber(12.5);
    full.SetJoinInfo(1, 3, 4);
    full.SetNumberDecimals(2);
    full.SetReadOnly(1);
    full.SetThemeStyle(64);
    full.SetLabelText("label");
    full.SetMask("###");
    CUGCell copy;
    CUGCell::CopySetPropertiesTo(0, &full, &copy);
    EXPECT_DOUBLE_EQ(copy.GetNumber(), 12.5);
    EXPECT_EQ(copy.GetDataType(), UGCELLDATA_NUMBER);
    int origin = 0, col = 0, row = 0;
    copy.GetJoinInfo(&origin, &col, &row);
    EXPECT_EQ(origin, 1);
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(copy.GetNumberDecimals(), 2);
    EXPECT_EQ(copy.GetReadOnly(), 1);
    EXPECT_EQ(copy.GetThemeStyle(), 64);
    EXPECT_STREQ(copy.GetLabelText().GetString(), "label");
    EXPECT_STREQ(copy.GetMask().GetString(), "###");

    source.ClearBlob();
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(source.GetExtraMemPtr(), nullptr);
}

TEST(CellRecord, numbers_display_in_the_users_locale)
{
    PinnedNumberSettings english(".", ",");
    EXPECT_EQ(Shown(2.5), "2.5");
    EXPECT_EQ(Shown(0), "0");
    EXPECT_EQ(Shown(10), "10");
    EXPECT_EQ(Shown(1000), "1,000");
    EXPECT_EQ(Shown(1234567.25), "1,234,567.25");
    EXPECT_EQ(Shown(0.25), "0.25");
    EXPECT_EQ(Shown(-1234.5), "-1,234.5");
    EXPECT_EQ(Shown(3, 0, 2), "3.00");
    EXPECT_EQ(Shown(2.345, 0, 1), "2.3");
    EXPECT_EQ(Shown(1e20), "100,000,000,000,000,000,000");
    EXPECT_EQ(Shown(-0.0), "0");
}

TEST(CellRecord, numbers_show_as_typed_without_binary_noise)
{
    PinnedNumberSettings english(".", ",");
    EXPECT_EQ(Shown(0.1), "0.1");
    EXPECT_EQ(Shown(0.1 + 0.2), "0.3");
    EXPECT_EQ(Shown(1.1), "1.1");
    EXPECT_EQ(Shown(123456.789), "123,456.789");
    EXPECT_EQ(Shown(0.000123), "0.000123");
}

TEST(CellRecord, unlocalised_numbers_keep_the_bare_digits)
{
    PinnedNumberSettings german(",", ".");
    EXPECT_EQ(Shown(2.5, UGCELL_DONOT_LOCALIZE), "2.5");
    EXPECT_EQ(Shown(1000, UGCELL_DONOT_LOCALIZE), "1000");
    EXPECT_EQ(Shown(0.25, UGCELL_DONOT_LOCALIZE), ".25");
    EXPECT_EQ(Shown(3, UGCELL_DONOT_LOCALIZE, 2), "3.00");
    EXPECT_EQ(Shown(1234.5), "1.234,5");
}

TEST(CellRecord, negative_numbers_follow_the_locales_order)
{
    const char* expected[] = {"(1,234.5)", "-1,234.5", "- 1,234.5", "1,234.5-", "1,234.5 -"};
    for (int order = 0; order < 5; ++order) {
        PinnedNumberSettings settings(".", ",", order);
        EXPECT_EQ(Shown(-1234.5), expected[order]) << "order " << order;
    }
}

TEST(CellRecord, leading_zero_follows_the_locale)
{
    {
        PinnedNumberSettings withZero(".", ",", 1, 1);
        EXPECT_EQ(Shown(0.25), "0.25");
    }
    PinnedNumberSettings withoutZero(".", ",", 1, 0);
    EXPECT_EQ(Shown(0.25), ".25");
    EXPECT_EQ(Shown(-0.5), "-.5");
}

TEST(CellRecord, number_text_ignores_the_process_locale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    PinnedNumberSettings english(".", ",");
    EXPECT_EQ(Shown(1234.5), "1,234.5");
    CUGCell cell;
    cell.SetTextValue("2.75");
    EXPECT_DOUBLE_EQ(cell.GetNumber(), 2.75);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(CellRecord, parse_number_reads_grouped_and_localised_text)
{
    {
        PinnedNumberSettings german(",", ".", 1, 1, "EUR");
        CUGCell cell;
        cell.SetTextValue("1.234,5");
        EXPECT_DOUBLE_EQ(cell.GetNumber(), 1234.5);
        double number = 0;
        const CString price("EUR 1.000.000,25");
        EXPECT_EQ(CUGCell::ParseNumber(0, &price, &number), 0);
        EXPECT_DOUBLE_EQ(number, 1000000.25);
    }
    PinnedNumberSettings english(".", ",", 1, 1, "$");
    double number = -1;
    const CString grouped("$-12,345.5");
    CUGCell::ParseNumber(0, &grouped, &number);
    EXPECT_DOUBLE_EQ(number, -12345.5);
    const CString words("abc");
    CUGCell::ParseNumber(0, &words, &number);
    EXPECT_EQ(number, 0.0);
    EXPECT_EQ(CUGCell::ParseNumber(0, nullptr, &number), 1);
}

TEST(CellRecord, get_number_depends_on_the_type)
{
    PinnedNumberSettings english(".", ",");
    CUGCell cell;
    EXPECT_EQ(cell.GetNumber(), 0.0);
    cell.SetNumber(7.25);
    EXPECT_EQ(cell.GetNumber(), 7.25);
    cell.SetDataType(UGCELLDATA_CURRENCY);
    EXPECT_EQ(cell.GetNumber(), 7.25);
    cell.SetTextValue("8.5");
    EXPECT_EQ(cell.GetNumber(), 8.5);
    // A text type shows its text as it is, never a reformatted number.
    cell.SetTextValue("0001.50");
    cell.SetDataType(UGCELLDATA_TEXT_AS_TYPED);
    EXPECT_STREQ(cell.GetDisplayText(), "0001.50");
}

TEST(CellRecord, fixed_decimals_out_of_range_stay_safe)
{
    PinnedNumberSettings english(".", ",");
    EXPECT_EQ(Shown(1.5, 0, 1000).size(), std::string("1.50000000000000000000").size());
    EXPECT_EQ(Shown(1.5, 0, 0), "2");
    CUGCell cell;
    cell.SetNumber(1.5);
    cell.SetNumberDecimals(-3);
    EXPECT_STREQ(cell.GetDisplayText(), "2");
    EXPECT_EQ(Shown(1e300).size(), 301u);
    EXPECT_EQ(Shown(1e23), "100,000,000,000,000,000,000,000");
}
