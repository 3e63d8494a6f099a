#include "gui_support.h"

#include "platform/base/system_services.h"
#include "platform/wx/text_extent_cache.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using gui_test::canvas_fixture;
using gui_test::pixel_at;

namespace {

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);

bool is_dark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
}

}  // namespace

TEST_F(canvas_fixture, fills_and_frames_land_on_exact_pixels)
{
    CDC* dc = canvas.GetDC();
    dc->FillSolidRect(CRect(10, 20, 30, 25), RGB(255, 0, 0));
    CBrush blue(RGB(0, 0, 255));
    dc->FrameRect(CRect(50, 50, 60, 60), &blue);
    canvas.ReleaseDC(dc);

    EXPECT_EQ(pixel_at(canvas, 10, 20), RGB(255, 0, 0));
    EXPECT_EQ(pixel_at(canvas, 29, 24), RGB(255, 0, 0));
    EXPECT_EQ(pixel_at(canvas, 30, 24), white) << "the right edge is not filled";
    EXPECT_EQ(pixel_at(canvas, 29, 25), white) << "the bottom edge is not filled";
    EXPECT_EQ(pixel_at(canvas, 9, 20), white);
    EXPECT_EQ(pixel_at(canvas, 50, 50), RGB(0, 0, 255));
    EXPECT_EQ(pixel_at(canvas, 59, 59), RGB(0, 0, 255));
    EXPECT_EQ(pixel_at(canvas, 55, 55), white);
}

TEST_F(canvas_fixture, lines_leave_out_their_end_point_and_dotted_pens_alternate)
{
    CDC* dc = canvas.GetDC();
    CPen solid(PS_SOLID, 1, black);
    CPen* old_pen = dc->SelectObject(&solid);
    dc->MoveTo(10, 5);
    dc->LineTo(40, 5);
    CPen dotted(PS_DOT, 1, RGB(0, 128, 0));
    dc->SelectObject(&dotted);
    dc->MoveTo(10, 30);
    dc->LineTo(10, 60);
    dc->SelectObject(old_pen);
    canvas.ReleaseDC(dc);

    EXPECT_EQ(pixel_at(canvas, 10, 5), black);
    EXPECT_EQ(pixel_at(canvas, 39, 5), black);
    EXPECT_EQ(pixel_at(canvas, 40, 5), white) << "the end point is left out";
    EXPECT_EQ(pixel_at(canvas, 25, 4), white) << "a one-pixel pen is one pixel wide";
    EXPECT_EQ(pixel_at(canvas, 25, 6), white);

    int on = 0;
    int off = 0;
    for (int y = 30; y < 60; ++y)
        (pixel_at(canvas, 10, y) == RGB(0, 128, 0) ? on : off) += 1;
    EXPECT_GT(on, 10);
    EXPECT_GT(off, 10) << "dots have gaps";
    EXPECT_EQ(pixel_at(canvas, 10, 30), RGB(0, 128, 0)) << "a dotted line starts with a dot";
    EXPECT_EQ(pixel_at(canvas, 10, 33), white);
}

TEST_F(canvas_fixture, text_draws_inside_its_rectangle_and_is_clipped_there)
{
    CDC* dc = canvas.GetDC();
    CFont font;
    font.CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    CFont* old_font = dc->SelectObject(&font);
    dc->SetTextColor(black);
    dc->SetBkMode(TRANSPARENT);
    CRect cell(20, 20, 60, 40);
    dc->DrawText("WWWWWWWWWW", -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    const CSize extent = dc->GetTextExtent("WWWWWWWWWW", 10);
    dc->SelectObject(old_font);
    canvas.ReleaseDC(dc);

    EXPECT_GT(extent.cx, 100) << "the text is wider than its cell";
    int dark_inside = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 20; x < 60; ++x)
            dark_inside += is_dark(pixel_at(canvas, x, y)) ? 1 : 0;
    EXPECT_GT(dark_inside, 20);
    for (int y = 15; y < 45; ++y)
        for (int x = 60; x < std::min(200, 20 + static_cast<int>(extent.cx) + 5); ++x)
            ASSERT_EQ(pixel_at(canvas, x, y), white) << "text leaked out of its cell at " << x << "," << y;
}

TEST_F(canvas_fixture, font_heights_follow_the_logical_font)
{
    CDC* dc = canvas.GetDC();
    CFont small;
    CFont large;
    small.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    large.CreateFont(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    TEXTMETRICA small_metrics;
    TEXTMETRICA large_metrics;
    dc->SelectObject(&small);
    dc->GetTextMetrics(&small_metrics);
    const CSize small_extent = dc->GetTextExtent("Hello", 5);
    dc->SelectObject(&large);
    dc->GetTextMetrics(&large_metrics);
    const CSize large_extent = dc->GetTextExtent("Hello", 5);
    canvas.ReleaseDC(dc);

    EXPECT_GE(small_metrics.tmHeight, 10);
    EXPECT_LE(small_metrics.tmHeight, 16);
    EXPECT_GE(large_metrics.tmHeight, 30);
    EXPECT_LE(large_metrics.tmHeight, 42);
    EXPECT_GT(large_extent.cx, 2 * small_extent.cx);
    EXPECT_EQ(large_metrics.tmAscent + large_metrics.tmDescent, large_metrics.tmHeight);
}

TEST_F(canvas_fixture, focus_rectangle_drawn_twice_restores_the_pixels)
{
    CDC* dc = canvas.GetDC();
    dc->FillSolidRect(CRect(30, 30, 90, 70), RGB(200, 100, 50));
    canvas.ReleaseDC(dc);
    const wxImage before = platform::window_image(canvas);

    dc = canvas.GetDC();
    dc->DrawFocusRect(CRect(20, 20, 80, 60));
    canvas.ReleaseDC(dc);
    const wxImage marked = platform::window_image(canvas);
    int changed = 0;
    for (int x = 20; x < 80; ++x)
        changed += marked.GetRed(x, 20) != before.GetRed(x, 20) ? 1 : 0;
    EXPECT_GE(changed, 25) << "every other pixel of the top edge is inverted";
    EXPECT_LE(changed, 35);
    EXPECT_EQ(pixel_at(canvas, 50, 40), RGB(200, 100, 50)) << "the inside is untouched";

    dc = canvas.GetDC();
    dc->DrawFocusRect(CRect(20, 20, 80, 60));
    canvas.ReleaseDC(dc);
    const wxImage after = platform::window_image(canvas);
    EXPECT_EQ(std::memcmp(before.GetData(), after.GetData(), static_cast<size_t>(before.GetWidth()) * before.GetHeight() * 3), 0);
}

TEST_F(canvas_fixture, memory_device_context_blits_its_bitmap)
{
    CDC* window_dc = canvas.GetDC();
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(window_dc));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(window_dc, 20, 10));
    CBitmap* old_bitmap = memory.SelectObject(&bitmap);
    memory.FillSolidRect(CRect(0, 0, 20, 10), RGB(0, 0, 255));
    memory.FillSolidRect(CRect(0, 0, 5, 5), RGB(255, 255, 0));
    EXPECT_EQ(memory.GetPixel(2, 2), RGB(255, 255, 0));
    window_dc->BitBlt(100, 100, 20, 10, &memory, 0, 0, SRCCOPY);
    window_dc->StretchBlt(130, 100, 40, 20, &memory, 0, 0, 20, 10, SRCCOPY);
    memory.SelectObject(old_bitmap);
    canvas.ReleaseDC(window_dc);

    EXPECT_EQ(pixel_at(canvas, 101, 101), RGB(255, 255, 0));
    EXPECT_EQ(pixel_at(canvas, 110, 105), RGB(0, 0, 255));
    EXPECT_EQ(pixel_at(canvas, 120, 105), white);
    EXPECT_EQ(pixel_at(canvas, 138, 108), RGB(255, 255, 0)) << "stretched twice as large";
    EXPECT_EQ(pixel_at(canvas, 168, 118), RGB(0, 0, 255));
}

TEST_F(canvas_fixture, clip_regions_and_saved_states_limit_drawing)
{
    CDC* dc = canvas.GetDC();
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(0, 0, 50, 50);
    dc->FillSolidRect(CRect(0, 0, 100, 100), RGB(255, 0, 0));
    dc->RestoreDC(saved);
    CRgn region;
    region.CreateRectRgn(120, 0, 130, 10);
    dc->SelectClipRgn(&region);
    dc->FillSolidRect(CRect(100, 0, 200, 100), RGB(0, 255, 0));
    dc->SelectClipRgn(nullptr);
    canvas.ReleaseDC(dc);

    EXPECT_EQ(pixel_at(canvas, 49, 49), RGB(255, 0, 0));
    EXPECT_EQ(pixel_at(canvas, 50, 49), white);
    EXPECT_EQ(pixel_at(canvas, 125, 5), RGB(0, 255, 0));
    EXPECT_EQ(pixel_at(canvas, 115, 5), white);
}

TEST_F(canvas_fixture, edges_and_frame_controls_use_the_system_colours)
{
    CDC* dc = canvas.GetDC();
    CRect edge(10, 10, 40, 30);
    dc->DrawEdge(&edge, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    CRect button(60, 10, 76, 26);
    dc->DrawFrameControl(&button, DFC_SCROLL, DFCS_SCROLLDOWN);
    CRect check(90, 10, 103, 23);
    dc->DrawFrameControl(&check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    canvas.ReleaseDC(dc);

    EXPECT_EQ(edge, CRect(12, 12, 38, 28)) << "two rings taken off";
    EXPECT_EQ(pixel_at(canvas, 10, 10), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(pixel_at(canvas, 39, 29), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(pixel_at(canvas, 20, 20), GetSysColor(COLOR_BTNFACE));
    int glyph = 0;
    for (int y = 12; y < 24; ++y)
        for (int x = 62; x < 74; ++x)
            glyph += pixel_at(canvas, x, y) == GetSysColor(COLOR_BTNTEXT) ? 1 : 0;
    EXPECT_GT(glyph, 4) << "the arrow is drawn";
    int mark = 0;
    for (int y = 12; y < 21; ++y)
        for (int x = 92; x < 101; ++x)
            mark += pixel_at(canvas, x, y) == GetSysColor(COLOR_BTNTEXT) ? 1 : 0;
    EXPECT_GT(mark, 6) << "the check mark is drawn";
    EXPECT_EQ(pixel_at(canvas, 90, 10), GetSysColor(COLOR_BTNSHADOW)) << "the box is sunken";
    const std::string path = ::testing::TempDir() + "tarvoline_frames.png";
    platform::save_window_png(canvas, path);
}

TEST_F(canvas_fixture, screenshot_is_written_as_a_readable_png)
{
    CDC* dc = canvas.GetDC();
    dc->FillSolidRect(CRect(0, 0, 10, 10), RGB(10, 20, 30));
    canvas.ReleaseDC(dc);
    const std::string path = ::testing::TempDir() + "tarvoline_canvas.png";
    ASSERT_TRUE(platform::save_window_png(top, path));
    wxImage read;
    ASSERT_TRUE(read.LoadFile(wxString::FromUTF8(path.c_str()), wxBITMAP_TYPE_PNG));
    EXPECT_EQ(read.GetWidth(), 300);
    EXPECT_EQ(read.GetHeight(), 240);
    EXPECT_EQ(RGB(read.GetRed(12, 12), read.GetGreen(12, 12), read.GetBlue(12, 12)), RGB(10, 20, 30))
        << "the child shows at its place in the parent";
    std::remove(path.c_str());
}

TEST_F(canvas_fixture, a_screenful_of_cells_draws_the_same_on_every_repaint)
{
    CFont font;
    font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    CPen grid_line(PS_SOLID, 1, RGB(220, 220, 220));
    // The first pass loads the font and measures the text; the second is what every repaint costs.
    std::size_t measured_by_pass[2] = {0, 0};
    for (int pass = 0; pass < 2; ++pass) {
    const std::size_t measured_before = platform::text_extent_cache::shared().measured();
    CDC* dc = canvas.GetDC();
    CFont* old_font = dc->SelectObject(&font);
    CPen* old_pen = dc->SelectObject(&grid_line);
    for (int row = 0; row < 40; ++row) {
        for (int column = 0; column < 25; ++column) {
            CRect cell(column * 80, row * 20, column * 80 + 80, row * 20 + 20);
            const int saved = dc->SaveDC();
            dc->FillSolidRect(&cell, RGB(255, 255, 255));
            dc->MoveTo(cell.right - 1, cell.top);
            dc->LineTo(cell.right - 1, cell.bottom);
            dc->MoveTo(cell.left, cell.bottom - 1);
            dc->LineTo(cell.right, cell.bottom - 1);
            dc->SetBkMode(TRANSPARENT);
            dc->DrawText("C:/some/folder/name.txt", -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            dc->RestoreDC(saved);
        }
    }
    dc->DrawFocusRect(CRect(80, 20, 160, 40));
    dc->SelectObject(old_pen);
    dc->SelectObject(old_font);
    canvas.ReleaseDC(dc);
    measured_by_pass[pass] = platform::text_extent_cache::shared().measured() - measured_before;
    }
    EXPECT_EQ(measured_by_pass[1], 0u) << "a repaint finds every text it measured before";
    // What it costs is measured in bench/; here what it leaves on the screen.
    const wxImage shown = platform::window_image(canvas);
    const int frame = canvas.frame_width();
    const auto at = [&](int x, int y) {
        return RGB(shown.GetRed(x + frame, y + frame), shown.GetGreen(x + frame, y + frame),
                   shown.GetBlue(x + frame, y + frame));
    };
    EXPECT_EQ(at(79, 5), RGB(220, 220, 220)) << "a cell's right line";
    EXPECT_EQ(at(5, 19), RGB(220, 220, 220)) << "a cell's bottom line";
    for (const CPoint cell : {CPoint(0, 0), CPoint(80, 40), CPoint(160, 120)}) {
        int inked = 0;
        for (int y = cell.y + 2; y < cell.y + 18; ++y)
            for (int x = cell.x + 2; x < std::min(cell.x + 76, 199); ++x)
                inked += at(x, y) != RGB(255, 255, 255);
        EXPECT_GT(inked, 20) << "text in the cell at " << cell.x << "," << cell.y;
    }
}

TEST(text_extent_cache, a_text_is_measured_once_per_font_whatever_follows_the_face_name)
{
    platform::text_extent_cache cache;
    int measured = 0;
    const auto measure = [&measured] {
        ++measured;
        return CSize(40 + measured, 12);
    };
    LOGFONTA font;
    font.lfHeight = -12;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    LOGFONTA same = font;
    std::strcpy(same.lfFaceName + 12, "left over");  // after the terminator: the same face
    EXPECT_EQ(cache.find_or_measure(font, "name.txt", 8, measure), CSize(41, 12));
    EXPECT_EQ(cache.find_or_measure(same, "name.txt", 8, measure), CSize(41, 12));
    EXPECT_EQ(cache.find_or_measure(font, "name.txt!", 8, measure), CSize(41, 12)) << "only length bytes count";
    EXPECT_EQ(measured, 1);

    LOGFONTA bold = font;
    bold.lfWeight = FW_BOLD;
    LOGFONTA taller = font;
    taller.lfHeight = -14;
    EXPECT_EQ(cache.find_or_measure(bold, "name.txt", 8, measure), CSize(42, 12));
    EXPECT_EQ(cache.find_or_measure(taller, "name.txt", 8, measure), CSize(43, 12));
    EXPECT_EQ(cache.find_or_measure(font, "name", 4, measure), CSize(44, 12));
    EXPECT_EQ(cache.measured(), 4u);
}

TEST(text_extent_cache, threads_measuring_at_once_measure_each_text_once)
{
    platform::text_extent_cache cache;
    LOGFONTA font;
    font.lfHeight = -12;
    std::vector<std::thread> painters;
    std::atomic<int> wrong{0};
    for (int painter = 0; painter < 4; ++painter)
        painters.emplace_back([&] {
            for (int text = 0; text < 2000; ++text) {
                const std::string shown = std::to_string(text % 500);
                const CSize size = cache.find_or_measure(font, shown.c_str(), static_cast<int>(shown.size()),
                                                         [&] { return CSize(static_cast<int>(shown.size()), 1); });
                wrong += size.cx != static_cast<int>(shown.size());
            }
        });
    for (std::thread& painter : painters)
        painter.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(cache.measured(), 500u) << "a text measured by one is found by the others";
}
