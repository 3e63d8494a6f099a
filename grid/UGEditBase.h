#pragma once
// What the grid's in-cell edit controls share: which key ended the edit, where the current
// cell goes next, and the report to the control when the edit ends.

#include "platform/base/controls.h"
#include "platform/base/gdi_objects.h"

class CUGCtrl;

class CUGEditBase : public CEdit {
public:
    CUGEditBase();

    void SetGrid(CUGCtrl* grid) { m_ctrl = grid; }
    CUGCtrl* GetGrid() const { return m_ctrl; }
    int GetCancel() const { return m_cancel; }
    int GetMoveOn() const { return m_continueFlag; }
    int GetNextCol() const { return m_continueCol; }
    int GetNextRow() const { return m_continueRow; }
    UINT GetLastKey() const { return m_lastKey; }

protected:
    int m_continueCol = 0;
    int m_continueRow = 0;
    int m_cancel = 0;
    int m_continueFlag = 0;
    UINT m_lastKey = 0;
    CBrush m_backBrush;
    CUGCtrl* m_ctrl = nullptr;
};
