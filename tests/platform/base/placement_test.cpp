#include "platform/base/dc.h"
#include "platform/base/icons.h"
#include "platform/base/system_services.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class sized_window : public CWnd {
public:
    std::vector<UINT> types;
    CSize last_size;
    void OnSize(UINT type, int width, int height) override
    {
        types.push_back(type);
        last_size = CSize(width, height);
    }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == WM_GETMINMAXINFO) {
            reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = POINT{300, 200};
            return 0;
        }
        return CWnd::WindowProc(message, wparam, lparam);
    }
};

}  // namespace

TEST(window_placement, without_a_toolkit_maximise_minimise_and_restore_keep_the_normal_rectangle)
{
    sized_window window;
    window.CreateEx(0, nullptr, "", WS_POPUP | WS_CAPTION, CRect(100, 50, 500, 350), nullptr, 0);
    window.types.clear();
    window.ShowWindow(SW_MAXIMIZE);
    EXPECT_TRUE(window.IsZoomed());
    EXPECT_TRUE(window.IsWindowVisible());
    EXPECT_EQ(window.types, std::vector<UINT>{SIZE_MAXIMIZED});
    CRect rect;
    window.GetWindowRect(&rect);
    EXPECT_EQ(rect.Width(), GetSystemMetrics(SM_CXSCREEN));
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(window.GetWindowPlacement(&placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(CRect(placement.rcNormalPosition), CRect(100, 50, 500, 350));

    window.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(window.IsIconic());
    EXPECT_FALSE(window.IsZoomed());
    EXPECT_EQ(window.types.back(), SIZE_MINIMIZED);
    EXPECT_EQ(window.last_size, CSize(0, 0));
    window.ShowWindow(SW_RESTORE);
    EXPECT_EQ(window.types.back(), SIZE_RESTORED);
    window.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(100, 50, 500, 350)) << "restored to the normal rectangle, not the maximised one";
    EXPECT_EQ(window.minimum_track_size(), CSize(300, 200));

    // The toolkit's own report (a user dragging the border) is a restored resize.
    window.types.clear();
    window.toolkit_resized(CRect(100, 50, 600, 450), SIZE_RESTORED);
    EXPECT_EQ(window.types, std::vector<UINT>{SIZE_RESTORED});
    window.toolkit_resized(CRect(100, 50, 600, 450), SIZE_RESTORED);
    EXPECT_EQ(window.types.size(), 1u) << "nothing changed, nothing told";
}

TEST(window_icons, registered_icons_load_by_id_and_windows_keep_big_and_small)
{
    std::vector<int> painted_sizes;
    platform::register_icon(128, [&](CDC& dc, int size) {
        painted_sizes.push_back(size);
        dc.FillSolidRect(CRect(0, 0, size / 2, size / 2), RGB(200, 160, 40));
    });
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(128), icon);
    EXPECT_EQ(LoadIcon(129), nullptr) << "an icon nobody registered";
    CWnd window;
    window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    EXPECT_EQ(window.SetIcon(icon, TRUE), nullptr);
    window.SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    EXPECT_EQ(window.GetIcon(TRUE), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(window.SendMessage(WM_GETICON, ICON_SMALL)), icon);
    CClientDC dc(&window);
    EXPECT_TRUE(DrawIcon(&dc, 10, 10, icon));
    EXPECT_EQ(painted_sizes, std::vector<int>{GetSystemMetrics(SM_CXICON)});
    EXPECT_FALSE(DrawIcon(&dc, 10, 10, nullptr));
}
