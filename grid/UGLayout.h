#pragma once
// The arithmetic of the control's layout, apart from any window: how the client area is divided
// among the parts, and where columns and rows stand in display order (locked ones first, then
// the scrolling ones from the left column or top row on).

#include "platform/base/geometry.h"

class CUGGridInfo;

struct UGPartLayout {
    RECT grid{};
    RECT topHdg{};
    RECT sideHdg{};
    RECT cnrBtn{};
    RECT vScroll{};
    RECT hScroll{};
    RECT tab{};
    // The scroll bar sizes and tab width this layout used (0 for a bar that is not shown).
    int vScrollWidth = 0;
    int hScrollHeight = 0;
    int tabWidth = 0;
};

// The parts of a client area width x height for the sheet's shape and settings.
UGPartLayout UGComputePartLayout(const CUGGridInfo& sheet, int width, int height);

int UGColumnWidth(const CUGGridInfo& sheet, int col);
int UGRowHeight(const CUGGridInfo& sheet, int row);
// The x (y) of the column's (row's) leading edge in the cell area; negative for a scrolling
// column (row) left of (above) the view.
int UGColumnLeft(const CUGGridInfo& sheet, int col);
int UGRowTop(const CUGGridInfo& sheet, int row);
// The heading row's (column's) top (left) edge inside its heading; row -1 is next to the cells.
int UGTopHeadingRowTop(const CUGGridInfo& sheet, int row);
int UGSideHeadingColumnLeft(const CUGGridInfo& sheet, int col);
