#include "platform/gui/gui_support.h"

#include "grid/UGTheme.h"

#include "platform/base/library.h"
#include "platform/base/system_services.h"

#include <gtest/gtest.h>

#include <wx/image.h>

#include <string>

// Themed drawing through the toolkit's own visual-styles module, into real bitmaps. The
// no-display suite checks what the service asks of a module; these check what lands on pixels.
namespace {

// A colour no theme part is drawn in, so every pixel a call touches shows.
constexpr COLORREF kPaper = RGB(255, 0, 255);

struct Changes {
    int count = 0;
    CRect bounds{0, 0, 0, 0};
};

COLORREF PixelOf(const wxImage& image, int x, int y)
{
    return RGB(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

Changes ChangesBetween(const wxImage& before, const wxImage& after)
{
    Changes changes;
    for (int y = 0; y < before.GetHeight(); ++y) {
        for (int x = 0; x < before.GetWidth(); ++x) {
            if (PixelOf(before, x, y) == PixelOf(after, x, y))
                continue;
            const CRect pixel(x, y, x + 1, y + 1);
            if (changes.count++ == 0)
                changes.bounds = pixel;
            else
                changes.bounds |= pixel;
        }
    }
    return changes;
}

bool Within(const CRect& inner, const CRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

class ThemedDrawingOnADisplay : public gui_test::canvas_fixture {
protected:
    void SetUp() override
    {
        canvas_fixture::SetUp();
        clear(kPaper);
    }
    void TearDown() override
    {
        CUGThemes::ReleaseThemeResources();
        CUGThemes::SetUseThemes(false);
        platform::set_reported_version(5, 1);
        canvas_fixture::TearDown();
    }

    wxImage Shown() const { return platform::window_image(canvas); }

    // What one drawing call changed on the canvas, and what it answered.
    template <typename Drawing>
    Changes Draw(Drawing drawing, BOOL& answer)
    {
        const wxImage before = Shown();
        CDC* dc = canvas.GetDC();
        answer = drawing(dc);
        canvas.ReleaseDC(dc);
        return ChangesBetween(before, Shown());
    }
};

const CRect kHeading(10, 10, 110, 34);
const CRect kText(10, 40, 110, 60);
const CRect kEdge(10, 70, 110, 94);
const CRect kCheck(120, 10, 136, 26);

}  // namespace

TEST_F(ThemedDrawingOnADisplay, switched_on_each_call_changes_pixels_only_inside_its_rectangle)
{
    CUGThemes::SetUseThemes(true);
    BOOL drawn = FALSE;

    const Changes heading = Draw(
        [](CDC* dc) { return CUGThemes::DrawThemedBackground(dc, UGTHEME_TOP_HEADING, UGTHEME_STATE_NORMAL, &kHeading); },
        drawn);
    EXPECT_TRUE(drawn);
    EXPECT_GT(heading.count, kHeading.Width() * kHeading.Height() / 2) << "a heading button fills its cell";
    EXPECT_TRUE(Within(heading.bounds, kHeading));

    const Changes text = Draw(
        [](CDC* dc) {
            return CUGThemes::DrawThemedText(dc, UGTHEME_CELL, UGTHEME_STATE_NORMAL, "Name", -1,
                                             DT_LEFT | DT_VCENTER | DT_SINGLELINE, &kText);
        },
        drawn);
    EXPECT_TRUE(drawn);
    EXPECT_GT(text.count, 20) << "the glyphs are drawn";
    EXPECT_LT(text.count, kText.Width() * kText.Height() / 2) << "the text is drawn transparently";
    EXPECT_TRUE(Within(text.bounds, kText));
    EXPECT_LT(text.bounds.left, kText.left + 4) << "left aligned";

    RECT inner{0, 0, 0, 0};
    const Changes edge = Draw(
        [&inner](CDC* dc) {
            return CUGThemes::DrawThemedEdge(dc, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &kEdge, 0x2000, BF_RECT, &inner);
        },
        drawn);
    EXPECT_TRUE(drawn);
    EXPECT_EQ(CRect(inner), kEdge) << "the inner rectangle is the whole one";
    EXPECT_EQ(edge.bounds, kEdge) << "the edge runs round the whole rectangle";
    EXPECT_EQ(gui_test::pixel_at(canvas, 60, 82), kPaper) << "no middle without BF_MIDDLE";

    // A check box is partly transparent: the cell background goes behind it first.
    const Changes check = Draw(
        [](CDC* dc) { return CUGThemes::DrawThemedBackground(dc, UGTHEME_CHECK_CHECKED, UGTHEME_STATE_NORMAL, &kCheck); },
        drawn);
    EXPECT_TRUE(drawn);
    EXPECT_EQ(check.count, kCheck.Width() * kCheck.Height()) << "no paper shows through the check box";
    EXPECT_TRUE(Within(check.bounds, kCheck)) << "the toolkit's indicator is clipped to the cell";

    // A labelled heading, as a heading row shows it, for the look.
    Draw(
        [](CDC* dc) {
            return CUGThemes::DrawThemedText(dc, UGTHEME_TOP_HEADING, UGTHEME_STATE_NORMAL, "Name", -1,
                                             DT_CENTER | DT_VCENTER | DT_SINGLELINE, &kHeading);
        },
        drawn);
    EXPECT_TRUE(platform::save_window_png(canvas, ::testing::TempDir() + "tarvoline_themed_drawing.png"));
}

TEST_F(ThemedDrawingOnADisplay, a_themed_part_keeps_to_the_device_contexts_clip)
{
    CUGThemes::SetUseThemes(true);
    const CRect leftHalf(kHeading.left, kHeading.top, kHeading.CenterPoint().x, kHeading.bottom);
    BOOL drawn = FALSE;
    const Changes heading = Draw(
        [&leftHalf](CDC* dc) {
            dc->IntersectClipRect(&leftHalf);
            return CUGThemes::DrawThemedBackground(dc, UGTHEME_TOP_HEADING, UGTHEME_STATE_NORMAL, &kHeading);
        },
        drawn);
    EXPECT_TRUE(drawn);
    EXPECT_GT(heading.count, 0);
    EXPECT_TRUE(Within(heading.bounds, leftHalf));
}

TEST_F(ThemedDrawingOnADisplay, switched_off_each_call_answers_not_drawn_and_the_pixels_stay)
{
    CUGThemes::SetUseThemes(false);
    RECT inner{1, 2, 3, 4};
    const wxImage before = Shown();
    CDC* dc = canvas.GetDC();
    EXPECT_FALSE(CUGThemes::DrawThemedBackground(dc, UGTHEME_TOP_HEADING, UGTHEME_STATE_NORMAL, &kHeading));
    EXPECT_FALSE(CUGThemes::DrawThemedText(dc, UGTHEME_CELL, UGTHEME_STATE_NORMAL, "Name", -1, DT_SINGLELINE, &kText));
    EXPECT_FALSE(CUGThemes::DrawThemedEdge(dc, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &kEdge, 0x2000, BF_RECT, &inner));
    EXPECT_FALSE(CUGThemes::DrawThemedBackground(dc, UGTHEME_CHECK_CHECKED, UGTHEME_STATE_NORMAL, &kCheck));
    canvas.ReleaseDC(dc);
    EXPECT_EQ(ChangesBetween(before, Shown()).count, 0);
    EXPECT_EQ(CRect(inner), CRect(1, 2, 3, 4));
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    EXPECT_EQ(platform::module_load_count("uxtheme.dll"), 0) << "switched off, the module is never loaded";
}

TEST_F(ThemedDrawingOnADisplay, the_toolkit_module_makes_theming_available_on_the_one_version)
{
    CUGThemes::SetUseThemes(true);
    EXPECT_TRUE(CUGThemes::IsThemingAvailable());
    EXPECT_EQ(platform::module_load_count("comctl32.dll"), 0) << "the version query frees what it loaded";
    platform::set_reported_version(6, 1);
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    platform::set_reported_version(5, 1);
    CUGThemes::SetUseThemes(false);
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
}

TEST_F(ThemedDrawingOnADisplay, release_closes_the_toolkit_handles_and_drawing_starts_afresh)
{
    CUGThemes::SetUseThemes(true);
    CDC* dc = canvas.GetDC();
    EXPECT_TRUE(CUGThemes::DrawThemedBackground(dc, UGTHEME_TOP_HEADING, UGTHEME_STATE_NORMAL, &kHeading));
    EXPECT_TRUE(CUGThemes::DrawThemedBackground(dc, UGTHEME_CHECK_CHECKED, UGTHEME_STATE_NORMAL, &kCheck));
    canvas.ReleaseDC(dc);
    EXPECT_EQ(CUGThemes::GetOpenThemeMap().size(), 3u) << "heading, check box and the cell behind it";
    EXPECT_EQ(platform::module_load_count("uxtheme.dll"), 1);

    // Every handle the module opened is closed here (the leak checker sees any that is not).
    CUGThemes::ReleaseThemeResources();
    EXPECT_TRUE(CUGThemes::GetOpenThemeMap().empty());
    EXPECT_TRUE(CUGThemes::GetThemeStyleMap().empty());
    EXPECT_FALSE(CUGThemes::IsModuleLoaded());
    EXPECT_EQ(platform::module_load_count("uxtheme.dll"), 0);

    clear(kPaper);
    BOOL drawn = FALSE;
    const Changes again = Draw(
        [](CDC* canvasDc) {
            return CUGThemes::DrawThemedBackground(canvasDc, UGTHEME_TOP_HEADING, UGTHEME_STATE_CURRENT, &kHeading);
        },
        drawn);
    EXPECT_TRUE(drawn);
    EXPECT_GT(again.count, kHeading.Width() * kHeading.Height() / 2);
    EXPECT_TRUE(Within(again.bounds, kHeading));
}

TEST_F(ThemedDrawingOnADisplay, a_memory_bitmap_takes_themed_drawing_too)
{
    CUGThemes::SetUseThemes(true);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&memory, 120, 40));
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(CRect(0, 0, 120, 40), kPaper);
    const RECT button{0, 0, 100, 24};
    EXPECT_TRUE(CUGThemes::DrawThemedBackground(memory, UGTHEME_BUTTON, UGTHEME_STATE_NORMAL, &button));
    EXPECT_TRUE(CUGThemes::DrawThemedText(memory, UGTHEME_BUTTON, UGTHEME_STATE_NORMAL, "OK", -1,
                                          DT_CENTER | DT_VCENTER | DT_SINGLELINE, &button));
    int changed = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 100; ++x)
            changed += memory.GetPixel(x, y) != kPaper ? 1 : 0;
    EXPECT_GT(changed, 100 * 24 / 2);
    for (int x = 0; x < 120; ++x)
        EXPECT_EQ(memory.GetPixel(x, 30), kPaper) << "below the button at x " << x;
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(memory.GetPixel(110, y), kPaper) << "right of the button at y " << y;
    memory.SelectObject(old);
}
