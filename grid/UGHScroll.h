#pragma once
// The control's horizontal scroll bar (section 5): it moves the view by columns.

#include "platform/base/controls.h"

class CUGCtrl;
class CUGGridInfo;

class CUGHScroll : public CScrollBar {
public:
    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    // Follows the sheet's left column and scroll limits.
    void Update();
    // A scroll message (code, thumb position) passed on by the control.
    void HScroll(UINT code, UINT position);

    int OnCreate(LPCREATESTRUCT create) override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    int PageLeftTarget() const;
    int PageRightTarget() const;
    void ShowThumbHint();

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    int m_lastMaxLeftCol = -1;
    int m_lastNumLockCols = 0;
    int m_trackColPos = 0;
};
