#pragma once
// The side heading: the row headings left of the cell area (section 3).

#include "grid/UGRedrawList.h"

#include "platform/base/window.h"

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
    // The repaint after the view or the current row moved.
    void Moved();
    // The rectangle of a heading cell (col < 0) in this window's coordinates.
    int GetCellRect(int* col, int* row, RECT* rect);

    void OnPaint() override;

private:
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
};
