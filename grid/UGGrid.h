#pragma once
// The cell area: the part window that shows the cells that are not headings (section 1).

#include "grid/UGRedrawList.h"

#include "platform/base/window.h"

class CDC;
class CUGCtrl;
class CUGGridInfo;

class CUGGrid : public CWnd {
public:
    CUGGrid() = default;
    ~CUGGrid() override;

    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }

    // The paint pass over the listed cells.
    void DrawCells(CDC* dc);
    // Repaint after the view or the current cell moved.
    void RedrawChanged();
    void AddToRedrawList(int left, int top, int right, int bottom) { m_drawHint.AddRange(left, top, right, bottom); }
    const CUGRedrawList& GetRedrawList() const { return m_drawHint; }
    void PaintRect(RECT* rect);
    bool HasFocus() const { return m_hasFocus != 0; }

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    CScrollBar* GetScrollBarCtrl(int bar) const override;
    void OnPaint() override;
    void OnSetFocus(CWnd* oldFocus) override;
    void OnKillFocus(CWnd* newFocus) override;
    UINT OnGetDlgCode() override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    CUGRedrawList m_drawHint;
    int m_hasFocus = 0;
    int m_cellTypeCapture = 0;
    int m_buttonDown = 0;
};
