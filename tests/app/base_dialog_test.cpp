// The resizable dialog base without a display: anchored controls following the edges, the
// minimum size, the size grip.

#include "app/BaseDialog.h"

#include "platform/base/dialog_controls.h"
#include "platform/base/system_services.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT resizable_dialog_id = 9301;
constexpr int list_id = 1001;
constexpr int close_id = 1002;
constexpr int label_id = 1003;
constexpr int half_id = 1004;
constexpr int missing_id = 4242;

dialog_template resizable_table(DWORD style)
{
    dialog_template table;
    table.id = resizable_dialog_id;
    table.caption = "Items";
    table.width = 200;
    table.height = 120;
    table.style = style;
    using kind = dialog_control_kind;
    table.controls = {
        {label_id, kind::static_text, "Items", 4, 4, 60, 8},
        {list_id, kind::list_box, "", 4, 16, 192, 80},
        {close_id, kind::push_button, "Close", 146, 100, 50, 14},
        {half_id, kind::push_button, "Half", 70, 100, 50, 14},
    };
    return table;
}

class items_dialog : public CBaseDialog {
public:
    explicit items_dialog(bool grip = true) : CBaseDialog(resizable_dialog_id) { m_size_grip_wanted = grip; }

    BOOL OnInitDialog() override
    {
        CBaseDialog::OnInitDialog();
        AddAnchor(list_id, 0, 0, 100, 100);
        AddAnchor(close_id, 100, 100, 0, 0);
        AddAnchor(half_id, 50, 100, 50, 0);
        AddAnchor(missing_id, 100, 100, 0, 0);
        return TRUE;
    }
};

class base_dialog_test : public ::testing::Test {
protected:
    void open(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, bool grip = true)
    {
        platform::register_dialog_template(resizable_table(style));
        dialog = std::make_unique<items_dialog>(grip);
        ASSERT_TRUE(dialog->Create(resizable_dialog_id));
        dialog->GetClientRect(&initial_client);
        dialog->GetWindowRect(&initial_window);
    }
    void TearDown() override
    {
        if (dialog)
            dialog->DestroyWindow();
        platform::forget_dialog_templates();
    }
    // Resizes the window by dx, dy as the user's dragging would.
    void resize_by(int dx, int dy)
    {
        dialog->SetWindowPos(nullptr, 0, 0, initial_window.Width() + dx, initial_window.Height() + dy,
                             SWP_NOMOVE | SWP_NOZORDER);
    }
    CRect place_of(int id) const
    {
        CRect rect;
        dialog->GetDlgItem(id)->GetWindowRect(&rect);
        dialog->ScreenToClient(&rect);
        return rect;
    }

    std::unique_ptr<items_dialog> dialog;
    CRect initial_client;
    CRect initial_window;
};

TEST_F(base_dialog_test, anchored_controls_keep_their_margins_as_the_window_grows_and_shrinks_back)
{
    open();
    const CRect list = place_of(list_id);
    const CRect close = place_of(close_id);
    const CRect label = place_of(label_id);

    resize_by(120, 60);
    EXPECT_EQ(place_of(list_id), CRect(list.left, list.top, list.right + 120, list.bottom + 60));
    EXPECT_EQ(place_of(close_id), CRect(close.left + 120, close.top + 60, close.right + 120, close.bottom + 60));
    EXPECT_EQ(place_of(label_id), label) << "a control without an anchor stays where it is";

    resize_by(0, 0);
    EXPECT_EQ(place_of(list_id), list);
    EXPECT_EQ(place_of(close_id), close);
}

TEST_F(base_dialog_test, fractions_truncate_toward_zero_and_never_accumulate)
{
    open();
    const CRect half = place_of(half_id);
    resize_by(7, 3);
    // Half of 7 is 3 both for the move and for the growth.
    EXPECT_EQ(place_of(half_id), CRect(half.left + 3, half.top + 3, half.right + 6, half.bottom + 3));
    for (int step = 0; step < 9; ++step)
        resize_by(7 + step * 11, 3);
    resize_by(7, 3);
    EXPECT_EQ(place_of(half_id), CRect(half.left + 3, half.top + 3, half.right + 6, half.bottom + 3));
    resize_by(-7, 0);
    EXPECT_EQ(place_of(half_id).left, half.left - 3);
    EXPECT_EQ(place_of(half_id).right, half.right - 6);
}

TEST_F(base_dialog_test, minimum_tracking_size_is_the_initial_window_size)
{
    open();
    EXPECT_EQ(dialog->minimum_size(), initial_window.Size());
    MINMAXINFO info;
    info.ptMinTrackSize = {10, 10};
    dialog->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, initial_window.Width());
    EXPECT_EQ(info.ptMinTrackSize.y, initial_window.Height());

    // A larger minimum asked by the window manager is kept.
    info.ptMinTrackSize = {initial_window.Width() + 50, 5};
    dialog->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, initial_window.Width() + 50);
    EXPECT_EQ(info.ptMinTrackSize.y, initial_window.Height());

    // A resize after opening does not move the minimum.
    resize_by(200, 100);
    EXPECT_EQ(dialog->minimum_size(), initial_window.Size());
    dialog->SendMessage(WM_GETMINMAXINFO, 0, 0);  // no record: ignored, no crash
}

TEST_F(base_dialog_test, size_grip_follows_the_corner_and_hides_while_maximised)
{
    open();
    CWnd* grip = dialog->size_grip();
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(grip->class_name(), "Scrollbar");
    EXPECT_TRUE(grip->GetStyle() & SBS_SIZEBOX);
    EXPECT_TRUE(grip->GetStyle() & WS_VISIBLE);
    const CRect corner(initial_client.right - GetSystemMetrics(SM_CXVSCROLL),
                       initial_client.bottom - GetSystemMetrics(SM_CYHSCROLL), initial_client.right,
                       initial_client.bottom);
    EXPECT_EQ(grip->window_rect_in_parent(), corner);

    resize_by(40, 30);
    CRect client;
    dialog->GetClientRect(&client);
    EXPECT_EQ(grip->window_rect_in_parent().BottomRight(), client.BottomRight());
    EXPECT_EQ(grip->window_rect_in_parent().Size(), corner.Size());

    dialog->SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(client.Width(), client.Height()));
    EXPECT_FALSE(grip->GetStyle() & WS_VISIBLE);
    dialog->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
    EXPECT_TRUE(grip->GetStyle() & WS_VISIBLE);
}

TEST_F(base_dialog_test, no_size_grip_without_a_sizing_border_or_when_not_wanted)
{
    open(WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(dialog->size_grip(), nullptr);
    dialog->DestroyWindow();
    open(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, false);
    EXPECT_EQ(dialog->size_grip(), nullptr);
    EXPECT_EQ(dialog->anchors().size(), 4u);
}

TEST_F(base_dialog_test, unknown_or_destroyed_controls_are_skipped_when_resizing)
{
    open();
    const auto& anchors = dialog->anchors();
    ASSERT_EQ(anchors.size(), 5u);  // the grip's own anchor comes first
    EXPECT_EQ(anchors[4].window, nullptr);
    EXPECT_DOUBLE_EQ(anchors[2].move_x, 1.0);

    dialog->GetDlgItem(close_id)->DestroyWindow();
    const CRect list = place_of(list_id);
    resize_by(30, 30);
    EXPECT_EQ(place_of(list_id), CRect(list.left, list.top, list.right + 30, list.bottom + 30));
}

}  // namespace
