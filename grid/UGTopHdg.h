#pragma once
// The top heading: the column headings above the cell area (section 2). It draws its cells
// through their cell types, reports presses to the control and sizes columns and its own rows
// when an edge is dragged.

#include "grid/UGCell.h"
#include "grid/UGRedrawList.h"

#include "platform/base/cstring.h"
#include "platform/base/window.h"

class CDC;
class CUGCtrl;
class CUGGridInfo;

class CUGTopHdg : public CWnd {
public:
    CUGTopHdg() = default;
    ~CUGTopHdg() override;

    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    // The farthest heading row takes what the total height leaves; then a repaint.
    void Update();
    // The rectangle of a heading cell (row < 0) in this window's coordinates.
    int GetCellRect(int* col, int* row, RECT* rect);
    // The heading cell under a point of this window; 1 when there is none (col and row -1).
    int GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const;
    // Draws the listed heading cells.
    void DrawCellsIntern(CDC* dc);

    // What the pointer is over or dragging; for callers that show state (and for tests).
    bool IsOnEdge() const { return m_canSize != 0; }
    bool IsSizing() const { return m_isSizing != 0; }
    int GetPressedColumn() const { return m_pressedCol; }

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
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
    void SizeColumnTo(int x);
    void SizeHeadingRowTo(int y);
    void EndSizing();
    // The width as stored goes through the sized calls; stored again only when they change it.
    void FinishColumnWidth(int col);
    void MoveMarker(int x);
    void SetCursorTo(HCURSOR cursor);
    // The joined range a heading cell belongs to; false when it is not joined.
    bool JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);
    RECT RangeRect(int originCol, int originRow, int lastCol, int lastRow) const;

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    CUGCell m_cell;
    int m_isSizing = 0;
    int m_canSize = 0;
    int m_colOrRowSizing = 0;
    int m_sizingColRow = 0;
    int m_sizingStartSize = 0;
    int m_sizingStartPos = 0;
    int m_sizingStartHeight = 0;
    RECT m_focusRect{-1, -1, -1, -1};
    CUGRedrawList m_drawHint;
    int m_pressedCol = -1;
    // The cell of the previous tool hit test: a tip is offered once the pointer rests on one.
    mutable int m_tipCol = -2;
    mutable int m_tipRow = -2;
    CString m_tipText;
};
