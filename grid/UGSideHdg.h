#pragma once
// The side heading: the row headings left of the cell area (section 3). It draws its cells
// through their cell types, reports presses to the control and sizes rows and its own columns
// when an edge is dragged.

#include "grid/UGHeadingBase.h"
#include "grid/UGRedrawList.h"

class CUGSideHdg : public CUGHeadingBase {
public:
    CUGSideHdg();
    ~CUGSideHdg() override;

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

private:
    bool CellAt(CPoint point, int* col, int* row, RECT* rect) const override;
    void DrawAll(CDC* dc) override;
    void Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where) override;
    void HitTestEdges(CPoint point) override;
    void DragEdgeTo(CPoint point) override;
    void DragStarted(CPoint point) override;
    void DragEnded(CPoint point) override;
    void SizeRowTo(int y);
    void SizeHeadingColumnTo(int x);
    void MoveMarker(int y);
    // The joined range a heading cell belongs to; false when it is not joined.
    bool JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);
    RECT RangeRect(int originCol, int originRow, int lastCol, int lastRow) const;

    CUGRedrawList m_drawHint;
    int m_bottomRow = 0;
    int m_sizingColRow = 0;
    int m_sizingStartSize = 0;
    int m_sizingStartPos = 0;
    int m_sizingStartWidth = 0;
    int m_sizingNumRowsDown = 0;
    RECT m_focusRect{-1, -1, -1, -1};
};
