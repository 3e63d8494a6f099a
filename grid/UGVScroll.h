#pragma once
// The control's vertical scroll bar (section 6): it moves the view by rows, on a fixed scale
// when the sheet has very many rows.

#include "platform/base/controls.h"

class CUGCtrl;
class CUGGridInfo;

class CUGVScroll : public CScrollBar {
public:
    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    // Follows the sheet's top row and scroll limits.
    void Update();
    // A scroll message (code, thumb position) passed on by the control.
    void VScroll(UINT code, UINT position);

private:
    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    double m_multiRange = 1.0;
    double m_multiPos = 1.0;
    int m_lastMaxTopRow = -1;
    int m_lastNumLockRow = 0;
    int m_trackRowPos = 0;
};
