#include "platform/base/cstring.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/geometry.h"
#include "platform/base/logfont.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

TEST(platform_types, logfont_keeps_numbers_first_and_face_name_at_offset_28)
{
    EXPECT_EQ(offsetof(LOGFONTA, lfHeight), 0u);
    EXPECT_EQ(offsetof(LOGFONTA, lfWeight), 16u);
    EXPECT_EQ(offsetof(LOGFONTA, lfItalic), 20u);
    EXPECT_EQ(offsetof(LOGFONTA, lfPitchAndFamily), 27u);
    EXPECT_EQ(offsetof(LOGFONTA, lfFaceName), 28u);
    EXPECT_EQ(sizeof(LOGFONTA), 60u);
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(sizeof(DWORD), 4u);
    EXPECT_EQ(sizeof(COLORREF), 4u);
}

TEST(platform_types, colours_pack_red_in_the_low_byte)
{
    const COLORREF colour = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(colour, 0x563412u);
    EXPECT_EQ(GetRValue(colour), 0x12);
    EXPECT_EQ(GetGValue(colour), 0x34);
    EXPECT_EQ(GetBValue(colour), 0x56);
}

TEST(platform_types, packed_coordinates_are_signed)
{
    const LPARAM packed = MAKELPARAM(static_cast<WORD>(-5), 300);
    EXPECT_EQ(GET_X_LPARAM(packed), -5);
    EXPECT_EQ(GET_Y_LPARAM(packed), 300);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240))), -240);
    EXPECT_EQ(MulDiv(7, 3, 2), 11);
    EXPECT_EQ(MulDiv(-7, 3, 2), -11);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(platform_types, rectangles_exclude_right_and_bottom_edges)
{
    CRect rect(10, 20, 30, 50);
    EXPECT_EQ(rect.Width(), 20);
    EXPECT_EQ(rect.Height(), 30);
    EXPECT_TRUE(rect.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(30, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(10, 50)));

    CRect overlap;
    EXPECT_TRUE(overlap.IntersectRect(&rect, CRect(25, 0, 100, 25)));
    EXPECT_EQ(overlap, CRect(25, 20, 30, 25));
    EXPECT_FALSE(overlap.IntersectRect(&rect, CRect(30, 0, 40, 10)));
    EXPECT_TRUE(overlap.IsRectNull());

    CRect both;
    both.UnionRect(&rect, CRect(0, 0, 0, 0));
    EXPECT_EQ(both, rect);
    both.UnionRect(&rect, CRect(0, 0, 5, 5));
    EXPECT_EQ(both, CRect(0, 0, 30, 50));

    rect.InflateRect(1, 2);
    EXPECT_EQ(rect, CRect(9, 18, 31, 52));
    rect.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(rect, CRect(10, 20, 28, 48));
    rect.OffsetRect(-10, -20);
    EXPECT_EQ(rect.TopLeft(), CPoint(0, 0));
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
}

TEST(platform_types, regions_combine_and_hit_test)
{
    CRgn first;
    CRgn second;
    CRgn result;
    first.CreateRectRgn(0, 0, 10, 10);
    second.CreateRectRgn(5, 5, 15, 15);
    result.CreateRectRgn(0, 0, 0, 0);

    EXPECT_EQ(result.CombineRgn(&first, &second, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(result.PtInRegion(12, 12));
    EXPECT_FALSE(result.PtInRegion(12, 2));
    CRect box;
    result.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 15, 15));

    EXPECT_EQ(result.CombineRgn(&first, &second, RGN_AND), SIMPLEREGION);
    result.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));

    result.CombineRgn(&first, &second, RGN_DIFF);
    EXPECT_TRUE(result.PtInRegion(2, 2));
    EXPECT_FALSE(result.PtInRegion(7, 7));
    EXPECT_TRUE(result.PtInRegion(9, 2));

    result.CombineRgn(&first, &first, RGN_DIFF);
    EXPECT_EQ(result.GetRgnBox(&box), NULLREGION);
}

TEST(cstring, null_construction_gives_empty_text)
{
    CString from_null(static_cast<const char*>(nullptr));
    EXPECT_TRUE(from_null.IsEmpty());
    EXPECT_STREQ(from_null, "");
    from_null += static_cast<const char*>(nullptr);
    EXPECT_EQ(from_null.GetLength(), 0);
}

TEST(cstring, formats_and_concatenates)
{
    CString text;
    text.Format("Col:%d Row:%ld", 3, 12L);
    EXPECT_STREQ(text, "Col:3 Row:12");
    text.AppendFormat(" %s", "more");
    EXPECT_EQ(text, "Col:3 Row:12 more");
    CString joined = CString("a") + "b" + 'c' + CString("d");
    EXPECT_EQ(joined, "abcd");
    EXPECT_TRUE("abcd" == joined);

    CString long_text;
    long_text.Format("%0500d", 7);
    EXPECT_EQ(long_text.GetLength(), 500);
    EXPECT_EQ(long_text.Right(1), "7");
}

TEST(cstring, searches_and_cuts_within_bounds)
{
    CString text("Hello, World");
    EXPECT_EQ(text.Find(','), 5);
    EXPECT_EQ(text.Find("World"), 7);
    EXPECT_EQ(text.Find("World", 8), -1);
    EXPECT_EQ(text.Find('H', 40), -1);
    EXPECT_EQ(text.ReverseFind('o'), 8);
    EXPECT_EQ(text.Left(5), "Hello");
    EXPECT_EQ(text.Left(100), text);
    EXPECT_EQ(text.Right(5), "World");
    EXPECT_EQ(text.Mid(7), "World");
    EXPECT_EQ(text.Mid(7, 2), "Wo");
    EXPECT_EQ(text.Mid(50, 2), "");
    EXPECT_EQ(text.Mid(-3, 2), "He");
    EXPECT_EQ(text.GetAt(99), '\0');
}

TEST(cstring, changes_case_trims_and_replaces)
{
    CString text("  MiXed case\t");
    text.Trim();
    EXPECT_EQ(text, "MiXed case");
    EXPECT_EQ(CString(text).MakeUpper(), "MIXED CASE");
    EXPECT_EQ(CString(text).MakeLower(), "mixed case");
    EXPECT_EQ(text.CompareNoCase("MIXED CASE"), 0);
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_EQ(text.Replace("e", "ee"), 2);
    EXPECT_EQ(text, "MiXeed casee");
    EXPECT_EQ(text.Replace("", "x"), 0);
    text.Insert(0, '[');
    text.Insert(100, "]");
    EXPECT_EQ(text, "[MiXeed casee]");
    text.Delete(1, 6);
    EXPECT_EQ(text, "[ casee]");
    int position = 0;
    CString words("a,b,,c");
    EXPECT_EQ(words.Tokenize(",", position), "a");
    EXPECT_EQ(words.Tokenize(",", position), "b");
    EXPECT_EQ(words.Tokenize(",", position), "c");
    EXPECT_EQ(words.Tokenize(",", position), "");
    EXPECT_EQ(position, -1);
}

TEST(cstring, buffer_writes_are_trimmed_on_release)
{
    CString text;
    char* buffer = text.GetBuffer(32);
    std::strcpy(buffer, "written");
    text.ReleaseBuffer();
    EXPECT_EQ(text, "written");
    EXPECT_EQ(text.GetLength(), 7);
    char small[4];
    lstrcpynA(small, "abcdef", 4);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(lstrcmpiA("ABC", "abc"), 0);
    EXPECT_EQ(_mbscmp(reinterpret_cast<const unsigned char*>("a"), reinterpret_cast<const unsigned char*>("b")), -1);
}

TEST(gdi_objects, fonts_read_back_their_description)
{
    CFont font;
    EXPECT_EQ(font.GetObject(sizeof(LOGFONTA), nullptr), 0);
    font.CreateFont(-13, 0, 0, 0, FW_BOLD, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    LOGFONTA read{};
    EXPECT_EQ(GetObjectA(&font, sizeof(read), &read), static_cast<int>(sizeof(LOGFONTA)));
    EXPECT_EQ(read.lfHeight, -13);
    EXPECT_EQ(read.lfWeight, FW_BOLD);
    EXPECT_EQ(read.lfItalic, 1);
    EXPECT_STREQ(read.lfFaceName, "DejaVu Sans");

    LOGFONTA again = read;
    HFONT copy = CreateFontIndirectA(&again);
    LOGFONTA copy_read{};
    GetObjectA(copy, sizeof(copy_read), &copy_read);
    EXPECT_EQ(std::memcmp(&copy_read, &read, 28), 0);
    EXPECT_EQ(lstrcmpA(copy_read.lfFaceName, read.lfFaceName), 0);
    EXPECT_TRUE(DeleteObject(copy));

    font.DeleteObject();
    EXPECT_EQ(font.GetSafeHandle(), nullptr);
}

TEST(gdi_objects, stock_objects_survive_delete)
{
    HGDIOBJ black = GetStockObject(BLACK_PEN);
    ASSERT_NE(black, nullptr);
    EXPECT_FALSE(DeleteObject(black));
    LOGPEN pen;
    EXPECT_TRUE(static_cast<CPen*>(black)->GetLogPen(&pen));
    EXPECT_EQ(pen.lopnColor, RGB(0, 0, 0));
    EXPECT_TRUE(static_cast<CBrush*>(GetStockObject(NULL_BRUSH))->is_null());
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_FALSE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));
}

TEST(system_services, fixed_values_answer_until_a_service_is_installed)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(COLOR_3DHILIGHT, COLOR_BTNHIGHLIGHT);

    auto previous_colours = platform::set_system_colour_service([](int index) {
        return index == COLOR_BTNFACE ? RGB(1, 2, 3) : platform::fixed_system_colour(index);
    });
    auto previous_metrics = platform::set_system_metric_service([](int) { return 21; });
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<CBrush*>(GetSysColorBrush(COLOR_BTNFACE))->colour(), RGB(1, 2, 3));
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 21);
    platform::set_system_colour_service(previous_colours);
    platform::set_system_metric_service(previous_metrics);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
}

TEST(system_services, key_state_is_negative_while_down_and_toggles)
{
    platform::reset_key_table();
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    platform::set_key_down(VK_SHIFT, true);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    platform::set_key_down(VK_SHIFT, false);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 1);
    EXPECT_EQ(GetKeyState(999), 0);
    platform::reset_key_table();
}

TEST(gdi_objects, pattern_brushes_take_up_to_eight_by_eight_pixels)
{
    std::uint32_t pixels[10 * 10];
    for (int index = 0; index < 100; ++index)
        pixels[index] = (index % 2) ? 0x00FFFFFF : 0x00C0C0C0;
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(10, 10, 1, 32, pixels));
    CBrush brush;
    ASSERT_TRUE(brush.CreatePatternBrush(&bitmap));
    EXPECT_TRUE(brush.is_pattern());
    EXPECT_EQ(brush.pattern_size(), CSize(8, 8));
    EXPECT_EQ(brush.pattern()[1], 0x00FFFFFFu);
    EXPECT_EQ(brush.pattern()[8], pixels[10]) << "rows are taken from the bitmap's rows";
    CBitmap empty;
    EXPECT_FALSE(brush.CreatePatternBrush(&empty));
    EXPECT_FALSE(bitmap.CreateBitmap(0, 5, 1, 32, nullptr));
    BITMAP description;
    EXPECT_GT(bitmap.GetBitmap(&description), 0);
    EXPECT_EQ(description.bmWidth, 10);
}
