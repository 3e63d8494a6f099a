#pragma once
// The top heading: the column headings above the cell area (section 2). It draws its cells
// through their cell types, reports presses to the control and sizes columns and its own rows
// when an edge is dragged.

#include "grid/UGCellHeading.h"

class CUGTopHdg : public CUGCellHeading {
public:
    CUGTopHdg();

    // The rectangle of a heading cell (row < 0) in this window's coordinates.
    int GetCellRect(int* col, int* row, RECT* rect);

    // The column pressed while it may be dragged (-1 none); for callers that show state.
    int GetPressedColumn() const { return m_pressedCol; }

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    // A press on a cell holds the mouse until the release, which lets it go.
    void OnLButtonUp(UINT flags, CPoint point) override;
    // A double click on a column edge fits the column to its contents.
    void OnLButtonDblClk(UINT flags, CPoint point) override;

private:
    void Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where) override;
    void HitTestEdges(CPoint point) override;
    int SizeAlongTo(int x) override;
    // The width as stored goes through the sized calls; stored again only when they change it
    // (at the end of a drag and after a double click fits the column).
    void FinishColumnWidth(int col);
    void SizedAlong() override;
    bool SizingAcross(int* total, int size) override;

    int m_pressedCol = -1;
};
