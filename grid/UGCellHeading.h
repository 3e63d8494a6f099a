#pragma once
// What the top and the side heading share as headings made of cells. The top heading runs along
// the grid's columns with its own rows stacked across them; the side heading runs along the
// grid's rows with its own columns stacked across. Both find, draw and join their cells the same
// way, size their own rows (columns) from the edges between them, and draw a marker across the
// cell area while a column (row) is dragged; this class does that once in terms of the grid's
// axis ("along") and the heading's own ("across"), and each heading keeps what differs.

#include "grid/UGCell.h"
#include "grid/UGHeadingBase.h"
#include "grid/UGRedrawList.h"

#include <functional>

class CUGCellType;

class CUGCellHeading : public CUGHeadingBase {
public:
    ~CUGCellHeading() override;

    // The farthest heading row (column) takes what the total height (width) leaves; then a
    // repaint.
    void Update();
    // The heading cell under a point of this window; 1 when there is none (col and row -1).
    int GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const;
    // Draws the listed heading cells.
    void DrawCellsIntern(CDC* dc);

protected:
    // alongColumns: the top heading (true) or the side heading.
    CUGCellHeading(int section, bool alongColumns);

    // Whether col, row is one of this heading's cells (a heading row (column) that exists);
    // false too when an argument is missing.
    bool IsHeadingCell(const int* col, const int* row, const RECT* rect) const;
    // The joined range a heading cell belongs to, cut to the heading; false when it is not joined.
    bool JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);
    RECT RangeRect(int originCol, int originRow, int lastCol, int lastRow) const;

    // The grid column (row) whose far edge lies within 3 pixels of pos, walking in display
    // order, or -1; a hidden one after the edge is the one given, so it can be pulled open.
    // next: the one after the edge (-1 past the last); walked: how many the walk passed.
    int EdgeAlongAt(int pos, int* next, int* walked) const;
    // The pointer is on the edge of grid column (row) index: the drag starts from its size.
    void OfferEdgeAlong(int index, CPoint point);
    // The pointer is on an edge between heading rows (columns) the control lets be sized: the
    // drag starts from that one's size and the heading's total; false when there is none.
    bool HitTestEdgesAcross(CPoint point);
    // Each visible cell of grid column (row) index hears call with the size.
    void TellVisibleCellTypes(int index, int* size, void (CUGCellType::*call)(int, long, int*));

    bool IsSizingAlong() const { return m_colOrRowSizing == (m_alongColumns ? 0 : 1); }
    void DragStarted(CPoint point) override;
    void DragEdgeTo(CPoint point) override;
    void DragEnded(CPoint point) override;
    void DrawAll(CDC* dc) override;
    bool CellAt(CPoint point, int* col, int* row, RECT* rect) const override;

    // A drag of a grid column's (row's) edge to pos: sizes it and answers where the marker goes.
    virtual int SizeAlongTo(int pos) = 0;
    // The end of that drag: the size as stored goes through the sized calls.
    virtual void SizedAlong() = 0;
    // A step of a drag of the heading's own row (column) edge offered to the control with the
    // new total and the new size; false drops the step.
    virtual bool SizingAcross(int* total, int size) = 0;

    // The edge being dragged: the grid column (row), or the heading row (column) when negative;
    // its size, the pointer and the heading's total when the drag began.
    int m_sizingColRow = 0;
    int m_sizingStartSize = 0;
    int m_sizingStartPos = 0;
    int m_sizingStartTotal = 0;
    CUGRedrawList m_drawHint;
    // The grid column (row) drawn last: the one at the far end of the window.
    int m_lastDrawn = 0;

private:
    int Along(CPoint point) const { return m_alongColumns ? point.x : point.y; }
    int Across(CPoint point) const { return m_alongColumns ? point.y : point.x; }
    void CellOf(int along, int across, int* col, int* row) const;
    RECT RectOf(int alongStart, int alongEnd, int acrossStart, int acrossEnd) const;
    int AlongCount() const;
    int AlongSize(int index) const;
    int* AcrossSizes() const;
    int AcrossCount() const;
    int& AcrossTotal() const;
    // The grid columns (rows) in display order (locked ones first, then the scrolling ones from
    // the left column (top row) on) with their start, end and how many were walked, until the
    // walk passes the cell area or visit returns true.
    void WalkAlong(const std::function<bool(int index, int start, int end, int walked)>& visit) const;
    void SizeAcrossTo(int pos);
    void MoveMarker(int pos);

    const bool m_alongColumns;
    CUGCell m_cell;
    RECT m_focusRect{-1, -1, -1, -1};
};
