#include "gui_support.h"

#include "platform/base/system_services.h"
#include "platform/wx/wx_peers.h"

#include <atomic>
#include <thread>

using gui_test::canvas_fixture;
using gui_test::pixel_at;

namespace {

constexpr COLORREF white = RGB(255, 255, 255);

// Paints its whole client area red in every paint, so what a paint DC lets through shows.
class red_painter : public CWnd {
public:
    int paints = 0;
    void OnPaint() override
    {
        CPaintDC dc(this);
        ++paints;
        dc.FillSolidRect(CRect(0, 0, 1000, 1000), RGB(255, 0, 0));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
};

class counting_window : public CWnd {
public:
    std::atomic<int> commands{0};
    BOOL OnCommand(WPARAM, LPARAM) override
    {
        ++commands;
        return TRUE;
    }
};

}  // namespace

TEST_F(canvas_fixture, scrolling_the_window_moves_its_pixels_and_asks_for_the_strip)
{
    CDC* dc = canvas.GetDC();
    dc->FillSolidRect(CRect(0, 40, 200, 60), RGB(0, 0, 255));
    canvas.ReleaseDC(dc);
    canvas.ValidateRect(nullptr);

    canvas.ScrollWindow(0, -20);
    EXPECT_EQ(pixel_at(canvas, 100, 25), RGB(0, 0, 255)) << "the band moved up by 20 pixels";
    EXPECT_EQ(pixel_at(canvas, 100, 45), white);
    CRect pending;
    ASSERT_TRUE(canvas.GetUpdateRect(&pending));
    EXPECT_EQ(pending, CRect(0, 130, 200, 150)) << "only the uncovered strip waits for a paint";

    canvas.ValidateRect(nullptr);
    canvas.ScrollWindow(-30, 0, CRect(50, 0, 200, 150));
    EXPECT_EQ(pixel_at(canvas, 30, 25), RGB(0, 0, 255)) << "left of the scrolled rectangle nothing moved";
    canvas.GetUpdateRect(&pending);
    EXPECT_EQ(pending, CRect(170, 0, 200, 150));
}

TEST_F(canvas_fixture, paint_device_context_draws_only_in_the_update_region)
{
    red_painter painted;
    ASSERT_TRUE(painted.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 170, 110, 230), &top, 3));
    painted.UpdateWindow();
    CDC* dc = painted.GetDC();
    dc->FillSolidRect(CRect(0, 0, 100, 60), white);
    painted.ReleaseDC(dc);
    painted.ValidateRect(nullptr);

    painted.InvalidateRect(CRect(10, 10, 20, 20), FALSE);
    painted.UpdateWindow();
    EXPECT_EQ(pixel_at(painted, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(pixel_at(painted, 25, 15), white) << "outside the update region the paint leaves pixels alone";
    EXPECT_EQ(pixel_at(painted, 9, 9), white);
    painted.DestroyWindow();
}

TEST_F(canvas_fixture, text_aligns_left_centre_and_right_within_its_rectangle)
{
    CDC* dc = canvas.GetDC();
    dc->SetBkMode(TRANSPARENT);
    const CSize extent = dc->GetTextExtent("III", 3);
    const UINT alignments[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    int first_dark[3] = {-1, -1, -1};
    for (int index = 0; index < 3; ++index) {
        CRect line(0, index * 30, 200, index * 30 + 30);
        dc->DrawText("III", 3, &line, DT_SINGLELINE | DT_VCENTER | alignments[index]);
    }
    canvas.ReleaseDC(dc);
    for (int index = 0; index < 3; ++index) {
        for (int x = 0; x < 200 && first_dark[index] < 0; ++x)
            for (int y = index * 30; y < index * 30 + 30; ++y)
                if (GetRValue(pixel_at(canvas, x, y)) < 128) {
                    first_dark[index] = x;
                    break;
                }
    }
    EXPECT_LT(first_dark[0], 5);
    EXPECT_NEAR(first_dark[1], (200 - extent.cx) / 2, 4);
    EXPECT_NEAR(first_dark[2], 200 - extent.cx, 4);
}

TEST_F(canvas_fixture, inverting_blit_twice_restores_the_pixels)
{
    CDC* window_dc = canvas.GetDC();
    window_dc->FillSolidRect(CRect(0, 0, 50, 50), RGB(10, 200, 30));
    CDC memory;
    memory.CreateCompatibleDC(window_dc);
    CBitmap mask;
    mask.CreateCompatibleBitmap(window_dc, 20, 20);
    CBitmap* old_bitmap = memory.SelectObject(&mask);
    memory.FillSolidRect(CRect(0, 0, 20, 20), RGB(255, 255, 255));
    window_dc->BitBlt(5, 5, 20, 20, &memory, 0, 0, SRCINVERT);
    const COLORREF inverted = window_dc->GetPixel(10, 10);
    window_dc->BitBlt(5, 5, 20, 20, &memory, 0, 0, SRCINVERT);
    memory.SelectObject(old_bitmap);
    canvas.ReleaseDC(window_dc);
    EXPECT_EQ(inverted, RGB(245, 55, 225));
    EXPECT_EQ(pixel_at(canvas, 10, 10), RGB(10, 200, 30));
}

TEST_F(canvas_fixture, closing_a_top_level_window_asks_it_first)
{
    CWnd closing;
    ASSERT_TRUE(closing.CreateEx(0, nullptr, "closing", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(400, 400, 500, 450),
                                 nullptr, 0));
    wxWindow* frame = wxGetTopLevelParent(platform::widget_of(closing));
    ASSERT_NE(frame, nullptr);
    frame->Close();
    EXPECT_FALSE(IsWindow(&closing)) << "the default WM_CLOSE destroys the window";
    platform::process_toolkit_events();
}

TEST_F(canvas_fixture, messages_posted_from_a_worker_thread_arrive_on_the_toolkit_loop)
{
    counting_window receiver;
    ASSERT_TRUE(receiver.Create(nullptr, "", WS_CHILD, CRect(0, 0, 1, 1), &top, 4));
    std::thread worker([&receiver] {
        for (int count = 0; count < 10; ++count)
            PostMessageA(&receiver, WM_COMMAND, MAKEWPARAM(100, 0), 0);
    });
    worker.join();
    EXPECT_EQ(receiver.commands.load(), 0) << "nothing runs on the worker thread";
    for (int round = 0; round < 5 && receiver.commands.load() < 10; ++round)
        platform::process_toolkit_events();
    EXPECT_EQ(receiver.commands.load(), 10);
    receiver.DestroyWindow();
}

TEST_F(canvas_fixture, hiding_and_moving_reach_the_toolkit_window)
{
    wxWindow* widget = platform::widget_of(canvas);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->GetPosition(), wxPoint(10, 10));
    EXPECT_EQ(widget->GetSize(), wxSize(200, 150));
    canvas.MoveWindow(20, 30, 120, 80);
    EXPECT_EQ(widget->GetPosition(), wxPoint(20, 30));
    EXPECT_EQ(widget->GetSize(), wxSize(120, 80));
    EXPECT_EQ(platform::backing_bitmap_of(canvas)->GetSize(), wxSize(120, 80));
    canvas.ShowWindow(SW_HIDE);
    EXPECT_FALSE(widget->IsShown());
    canvas.ShowWindow(SW_SHOW);
    EXPECT_TRUE(widget->IsShown());
    canvas.EnableWindow(FALSE);
    EXPECT_FALSE(widget->IsEnabled());
}
