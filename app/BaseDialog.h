#pragma once
// The resizable dialog base of the main window and the file clipboard window: its size never
// goes below the size it opened with, anchored controls follow the edges by fractions of the
// size change, and a size grip sits in the lower right corner.

#include "platform/base/dialog.h"

#include <vector>

class CBaseDialog : public CDialogEx {
public:
    using CDialogEx::CDialogEx;

    // The toolkit has no size-box scroll bar: the corner window draws the grip's ridges itself.
    class SizeGrip : public CWnd {
    public:
        void OnPaint() override;
        BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    };

    // One anchored control and where it was when anchored (client coordinates).
    struct anchor {
        HWND window = nullptr;
        double move_x = 0;
        double move_y = 0;
        double grow_width = 0;
        double grow_height = 0;
        CRect rect;
    };

    // Percentages of the size change: 100 moves (or grows) the control by all of it.
    void AddAnchor(int id, double move_x, double move_y, double grow_width, double grow_height);

    BOOL OnInitDialog() override;
    void OnSize(UINT type, int width, int height) override;
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

    const std::vector<anchor>& anchors() const { return m_anchors; }
    CSize minimum_size() const { return CSize(m_min_width, m_min_height); }
    CWnd* size_grip() const { return m_size_grip; }

protected:
    bool m_size_grip_wanted = false;

private:
    std::vector<anchor> m_anchors;
    int m_reference_width = 0;
    int m_reference_height = 0;
    int m_min_width = 0;
    int m_min_height = 0;
    CWnd* m_size_grip = nullptr;
    SizeGrip m_size_grip_window;
};
