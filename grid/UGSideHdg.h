#pragma once
// The side heading: the row headings left of the cell area (section 3). It draws its cells
// through their cell types, reports presses to the control and sizes rows and its own columns
// when an edge is dragged.

#include "grid/UGRedrawList.h"

#include "platform/base/cstring.h"
#include "platform/base/window.h"

class CDC;
class CUGCtrl;
class CUGGridInfo;

class CUGSideHdg : public CWnd {
public:
    CUGSideHdg() = default;
    ~CUGSideHdg() override;

    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    // The farthest heading column takes what the total width leaves; then a repaint.
    void Update();
    // The repaint after the view or the current row moved: the unchanged image is scrolled.
    void Moved();
    // The rectangle of a heading cell (col < 0) in this window's coordinates; a joined range
    // is covered whole.
    int GetCellRect(int* col, int* row, RECT* rect);
    // The heading cell under a point of this window; 1 when there is none (col and row -1).
    int GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const;
    // Draws the listed heading cells.
    void DrawCellsIntern(CDC* dc);

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

private:
    void HitTestEdges(CPoint point);
    void SizeRowTo(int y);
    void SizeHeadingColumnTo(int x);
    void EndSizing();
    void MoveMarker(int y);
    void SetCursorTo(HCURSOR cursor);
    // The joined range a heading cell belongs to; false when it is not joined.
    bool JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);
    RECT RangeRect(int originCol, int originRow, int lastCol, int lastRow) const;

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    CUGRedrawList m_drawHint;
    int m_bottomRow = 0;
    int m_isSizing = 0;
    int m_canSize = 0;
    int m_colOrRowSizing = 0;
    int m_sizingColRow = 0;
    int m_sizingStartSize = 0;
    int m_sizingStartPos = 0;
    int m_sizingStartWidth = 0;
    int m_sizingNumRowsDown = 0;
    RECT m_focusRect{-1, -1, -1, -1};
    // The cell of the previous tool hit test: a tip is offered once the pointer rests on one.
    mutable int m_tipCol = -2;
    mutable int m_tipRow = -2;
    CString m_tipText;
};
