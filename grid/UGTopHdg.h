#pragma once
// The top heading: the column headings above the cell area (section 2). It draws its cells
// through their cell types, reports presses to the control and sizes columns and its own rows
// when an edge is dragged.

#include "grid/UGCell.h"
#include "grid/UGHeadingBase.h"
#include "grid/UGRedrawList.h"

class CUGTopHdg : public CUGHeadingBase {
public:
    CUGTopHdg();
    ~CUGTopHdg() override;

    // The farthest heading row takes what the total height leaves; then a repaint.
    void Update();
    // The rectangle of a heading cell (row < 0) in this window's coordinates.
    int GetCellRect(int* col, int* row, RECT* rect);
    // The heading cell under a point of this window; 1 when there is none (col and row -1).
    int GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const;
    // Draws the listed heading cells.
    void DrawCellsIntern(CDC* dc);

    // The column pressed while it may be dragged (-1 none); for callers that show state.
    int GetPressedColumn() const { return m_pressedCol; }

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    // A press on a cell holds the mouse until the release, which lets it go.
    void OnLButtonUp(UINT flags, CPoint point) override;
    // A double click on a column edge fits the column to its contents.
    void OnLButtonDblClk(UINT flags, CPoint point) override;

private:
    bool CellAt(CPoint point, int* col, int* row, RECT* rect) const override;
    void DrawAll(CDC* dc) override;
    void Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where) override;
    void HitTestEdges(CPoint point) override;
    void DragEdgeTo(CPoint point) override;
    void DragStarted(CPoint point) override;
    void DragEnded(CPoint point) override;
    void SizeColumnTo(int x);
    void SizeHeadingRowTo(int y);
    // The width as stored goes through the sized calls; stored again only when they change it.
    void FinishColumnWidth(int col);
    void MoveMarker(int x);
    // The joined range a heading cell belongs to; false when it is not joined.
    bool JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);
    RECT RangeRect(int originCol, int originRow, int lastCol, int lastRow) const;

    CUGCell m_cell;
    int m_sizingColRow = 0;
    int m_sizingStartSize = 0;
    int m_sizingStartPos = 0;
    int m_sizingStartHeight = 0;
    RECT m_focusRect{-1, -1, -1, -1};
    CUGRedrawList m_drawHint;
    int m_pressedCol = -1;
};
