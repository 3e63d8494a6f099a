#pragma once
// The side heading: the row headings left of the cell area (section 3). It draws its cells
// through their cell types, reports presses to the control and sizes rows and its own columns
// when an edge is dragged.

#include "grid/UGCellHeading.h"

class CUGSideHdg : public CUGCellHeading {
public:
    CUGSideHdg();

    // The repaint after the view or the current row moved: the unchanged image is scrolled.
    void Moved();
    // The rectangle of a heading cell (col < 0) in this window's coordinates; a joined range
    // is covered whole.
    int GetCellRect(int* col, int* row, RECT* rect);

private:
    void Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where) override;
    void HitTestEdges(CPoint point) override;
    int SizeAlongTo(int y) override;
    void SizedAlong() override;
    bool SizingAcross(int* total, int size) override;

    // The rows above the dragged edge, with uniform row heights (0 otherwise).
    int m_sizingNumRowsDown = 0;
};
