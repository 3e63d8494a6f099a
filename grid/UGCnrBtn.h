#pragma once
// The corner button where the two headings meet (section 4). Dragging its right edge sizes the
// side heading width, its bottom edge the top heading height.

#include "platform/base/cstring.h"
#include "platform/base/window.h"

class CDC;
class CUGCtrl;
class CUGGridInfo;

class CUGCnrBtn : public CWnd {
public:
    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    // What the pointer is over or dragging; for callers that show state (and for tests).
    bool IsOnEdge() const { return m_canSize != 0; }
    bool IsSizing() const { return m_isSizing != 0; }

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnPaint() override;
    // Draws the button into a given device context.
    virtual void OnDraw(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    BOOL OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result) override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;

private:
    void SetCursorTo(HCURSOR cursor);

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    int m_isSizing = 0;
    int m_canSize = 0;
    // The pointer is on the bottom edge (sizes the top heading height).
    int m_sizingHeight = 0;
    // The pointer is on the right edge (sizes the side heading width).
    int m_sizingWidth = 0;
    // -2 until the first tool hit test, which shows no tip; every later one offers one.
    mutable int m_tipCol = -2;
    mutable int m_tipRow = -2;
    CString m_tipText;
};
