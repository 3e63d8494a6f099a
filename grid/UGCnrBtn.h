#pragma once
// The corner button where the two headings meet (section 4).

#include "platform/base/window.h"

class CDC;
class CUGCtrl;
class CUGGridInfo;

class CUGCnrBtn : public CWnd {
public:
    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    void OnPaint() override;
    // Draws the button into a given device context.
    virtual void OnDraw(CDC* dc);

private:
    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    int m_isSizing = 0;
    int m_canSize = 0;
    int m_sizingHeight = 0;
    int m_sizingWidth = 0;
};
