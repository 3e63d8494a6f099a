#pragma once
// The top heading: the column headings above the cell area (section 2).

#include "grid/UGCell.h"
#include "grid/UGRedrawList.h"

#include "platform/base/window.h"

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

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    void OnPaint() override;

private:
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
};
