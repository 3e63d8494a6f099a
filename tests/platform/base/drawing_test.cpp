#include "platform/base/dc.h"

#include <gtest/gtest.h>

// Without a toolkit a device context measures with fixed metrics: every character of a font
// of height -h is (h + 3) / 2 wide and h + 3 high.
TEST(text_layout, calc_rect_measures_single_lines)
{
    CDC dc;
    CFont font;
    font.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    dc.SelectObject(&font);
    TEXTMETRICA metrics;
    dc.GetTextMetrics(&metrics);
    const int character = metrics.tmAveCharWidth;
    CRect rect(10, 10, 20, 20);
    const int height = dc.DrawText("abcd", -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(height, metrics.tmHeight);
    EXPECT_EQ(rect, CRect(10, 10, 10 + 4 * character, 10 + metrics.tmHeight));

    CRect with_prefix(0, 0, 0, 0);
    dc.DrawText("&File", -1, &with_prefix, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(with_prefix.Width(), 4 * character) << "the mnemonic marker takes no room";
    CRect without_prefix(0, 0, 0, 0);
    dc.DrawText("&File", -1, &without_prefix, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(without_prefix.Width(), 5 * character);
}

TEST(text_layout, word_break_wraps_at_spaces_and_keeps_long_words_whole)
{
    CDC dc;
    TEXTMETRICA metrics;
    dc.GetTextMetrics(&metrics);
    const int character = metrics.tmAveCharWidth;
    CRect rect(0, 0, 7 * character, 0);
    const int height = dc.DrawText("one two three", -1, &rect, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(height, 2 * metrics.tmHeight) << "\"one two\" then \"three\"";
    EXPECT_EQ(rect.Width(), 7 * character);

    CRect narrow(0, 0, 3 * character, 0);
    dc.DrawText("unbreakable", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(narrow.Width(), 11 * character) << "a word wider than the rectangle widens it";

    CRect lines(0, 0, 100, 0);
    EXPECT_EQ(dc.DrawText("a\r\nb\nc", -1, &lines, DT_CALCRECT), 3 * metrics.tmHeight);
    CRect empty(5, 5, 50, 50);
    EXPECT_EQ(dc.DrawText("", -1, &empty, DT_CALCRECT | DT_SINGLELINE), metrics.tmHeight);
    EXPECT_EQ(empty.Width(), 0);
}

TEST(text_layout, end_ellipsis_shortens_to_fit)
{
    CDC dc;
    TEXTMETRICA metrics;
    dc.GetTextMetrics(&metrics);
    const int character = metrics.tmAveCharWidth;
    CRect rect(0, 0, 8 * character, 20);
    dc.DrawText("a long cell text", -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(rect.Width(), 8 * character) << "five characters and the three dots";
}

TEST(device_context, saved_states_restore_objects_colours_and_clip)
{
    CDC dc;
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* original = dc.SelectObject(&red);
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetBkMode(TRANSPARENT);
    const int saved = dc.SaveDC();
    CPen blue(PS_DOT, 1, RGB(0, 0, 255));
    dc.SelectObject(&blue);
    dc.SetTextColor(RGB(9, 9, 9));
    dc.SetBkMode(OPAQUE);
    dc.SetViewportOrg(5, 5);
    EXPECT_TRUE(dc.RestoreDC(saved));
    EXPECT_EQ(dc.GetCurrentPen(), &red);
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));
    EXPECT_FALSE(dc.RestoreDC(-1)) << "nothing left to restore";
    EXPECT_EQ(dc.SelectObject(original), &red);

    dc.FillSolidRect(CRect(0, 0, 1, 1), RGB(7, 7, 7));
    EXPECT_EQ(dc.GetBkColor(), RGB(7, 7, 7)) << "a solid fill leaves its colour as the background colour";
    EXPECT_EQ(dc.SetBkMode(99), 0);
}

TEST(text_layout, vertical_alignment_answers_the_offset_to_the_text_bottom)
{
    CDC dc;
    TEXTMETRICA metrics;
    dc.GetTextMetrics(&metrics);
    CRect cell(0, 100, 80, 140);
    const int centred = dc.DrawText("abc", -1, &cell, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(centred, (40 - metrics.tmHeight) / 2 + metrics.tmHeight);
    const int bottom = dc.DrawText("abc", -1, &cell, DT_SINGLELINE | DT_BOTTOM);
    EXPECT_EQ(bottom, 40);
    EXPECT_EQ(dc.DrawText("abc", -1, &cell, DT_VCENTER), metrics.tmHeight) << "vertical centring needs a single line";
    EXPECT_EQ(dc.DrawText(nullptr, 3, &cell, 0), 0);
    EXPECT_EQ(dc.DrawText("abc", 3, nullptr, 0), 0);
}

TEST(text_layout, tabs_expand_and_multibyte_characters_count_once)
{
    CDC dc;
    TEXTMETRICA metrics;
    dc.GetTextMetrics(&metrics);
    const int character = metrics.tmAveCharWidth;
    CRect tabbed(0, 0, 0, 0);
    dc.DrawText("a\tb", -1, &tabbed, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(tabbed.Width(), 9 * character) << "the tab runs to the eighth column";
    EXPECT_EQ(dc.GetTextExtent("\xC3\xBC\xC3\xBC", 4).cx, 2 * character);
}

TEST(device_context, frame_controls_and_edges_work_without_a_surface)
{
    CDC dc;
    CRect edge(0, 0, 20, 20);
    EXPECT_TRUE(dc.DrawEdge(&edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
    EXPECT_EQ(edge, CRect(2, 2, 18, 18));
    CRect only_top(0, 0, 20, 20);
    dc.DrawEdge(&only_top, EDGE_RAISED, BF_TOP | BF_ADJUST);
    EXPECT_EQ(only_top, CRect(0, 2, 20, 20));
    CRect button(0, 0, 30, 20);
    EXPECT_TRUE(dc.DrawFrameControl(&button, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(button, CRect(2, 2, 28, 18));
    CRect empty(5, 5, 5, 5);
    EXPECT_FALSE(dc.DrawFrameControl(&empty, DFC_SCROLL, DFCS_SCROLLDOWN));
    EXPECT_EQ(dc.GetPixel(1, 1), CLR_INVALID);
}
