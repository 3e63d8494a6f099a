#pragma once
// What the top heading, the side heading and the corner button share: a mouse message becomes a
// press on the cell under the pointer (its cell type hears of it first, then the control), a
// press on an edge starts a drag that sizes a column, a row or a heading, and the cursor, tips
// and help follow the cell or edge under the pointer. Each window says where its cells are,
// what a press on one reports and what its edges size.

#include "platform/base/cstring.h"
#include "platform/base/window.h"

class CDC;
class CUGCtrl;
class CUGGridInfo;

// The presses a heading window reports for its cells.
enum class UGHeadingPress { LeftDown, LeftUp, Double, RightDown, RightUp };

// 1 for a button going down, 0 for a release or a double click (the 1/0 the control hears).
int UGPressIsDown(UGHeadingPress press);

class CUGHeadingBase : public CWnd {
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

protected:
    // section: the id this window's paint, tip and help calls to the control carry.
    explicit CUGHeadingBase(int section) : m_section(section) {}

    // The cell under a point and its rectangle (rect may be null); false, with col and row -1,
    // when there is none.
    virtual bool CellAt(CPoint point, int* col, int* row, RECT* rect) const = 0;
    // Draws every cell into dc: on paint once the sheet is ready, and for WM_PRINT.
    virtual void DrawAll(CDC* dc) = 0;
    // A press on the cell col, row: the cell type's call, then the control's.
    virtual void Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where) = 0;

    // Sets on-edge, the edge's direction and what the drag needs at its start, and the cursor.
    virtual void HitTestEdges(CPoint point) = 0;
    virtual void DragEdgeTo(CPoint point) = 0;
    // The press that began a drag (the mouse is captured by then) and the release that ended it
    // (capture released and sizing cleared by then).
    virtual void DragStarted(CPoint) {}
    virtual void DragEnded(CPoint point) = 0;

    // Whether a right press gives the focus to the cell area as a left press does.
    virtual bool RightPressFocusesCells() const { return true; }
    // Whether edges are hit-tested while the left button is held; otherwise only with it up.
    virtual bool HitTestsWithButtonHeld() const { return false; }

    bool Attached() const { return m_ctrl != nullptr && m_GI != nullptr; }
    int Section() const { return m_section; }
    void SetCursorTo(HCURSOR cursor);
    // The cursor for the edge the pointer is on: north-south for a row or a height.
    HCURSOR SizingCursor() const;

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    // A drag of an edge is in progress; the pointer is on an edge that may be dragged.
    int m_isSizing = 0;
    int m_canSize = 0;
    // The edge sizes a row or a heading's height (1, dragged up and down) rather than a column or
    // a heading's width (0).
    int m_colOrRowSizing = 0;

private:
    void FocusCells();
    // Finds the cell under the point and reports the press on it; off the cells nothing.
    void Press(UGHeadingPress press, CPoint point);

    const int m_section;
    // The cell of the previous tool hit test: a tip is offered once the pointer rests on one.
    mutable int m_tipCol = -2;
    mutable int m_tipRow = -2;
    CString m_tipText;
};
