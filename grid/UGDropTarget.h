#pragma once
// The control's drop target. It is made and destroyed with the control but never registered
// with a window, so nothing is ever dropped on the grid.

#include "platform/base/framework_objects.h"

class CUGCtrl;

class CUGDropTarget : public COleDropTarget {
public:
    void SetGrid(CUGCtrl* grid) { m_ctrl = grid; }

    DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDropEx(CWnd* window, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT allowed,
                        CPoint point) override;
    DROPEFFECT OnDragScroll(CWnd* window, DWORD keyState, CPoint point) override;

private:
    CUGCtrl* m_ctrl = nullptr;
};
