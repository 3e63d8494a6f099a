#pragma once
// The cell area: the part window that shows the cells that are not headings (section 1). It owns
// no data: cells come from the control, are drawn by their cell types, and input becomes moves of
// the current cell and notifications to the control.

#include "grid/UGRedrawList.h"

#include "platform/base/window.h"

class CDC;
class CUGCell;
class CUGCellType;
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

    // The paint pass over the listed cells; empties the lists.
    void DrawCells(CDC* dc);
    // Repaint after the view or the current cell moved: scrolls the shown image when it can.
    void RedrawChanged();
    void AddToRedrawList(int left, int top, int right, int bottom) { m_drawHint.AddRange(left, top, right, bottom); }
    // Widens the first listed range (the side heading repaints whole rows).
    void WidenRedrawList(int left, int top, int right, int bottom)
    {
        m_drawHint.WidenFirstRange(left, top, right, bottom);
    }
    void ClearRedrawList() { m_drawHint.Empty(); }
    const CUGRedrawList& GetRedrawList() const { return m_drawHint; }
    void PaintRect(RECT* rect);
    bool HasFocus() const { return m_hasFocus != 0; }

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    CScrollBar* GetScrollBarCtrl(int bar) const override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

protected:
    int OnCreate(LPCREATESTRUCT create) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT character, UINT repeat, UINT flags) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint) override;
    void OnSetFocus(CWnd* oldFocus) override;
    void OnKillFocus(CWnd* newFocus) override;
    int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    UINT OnGetDlgCode() override;
    void OnHScroll(UINT code, UINT position, CScrollBar* bar) override;
    void OnVScroll(UINT code, UINT position, CScrollBar* bar) override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    BOOL OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result) override;

private:
    // Draws one listed cell (or the joined range it belongs to, once per pass); the rectangle
    // it drew goes to drawnRect, and true when it drew.
    bool DrawCell(CDC* dc, int col, int row, const RECT& rect, CUGCell* cell, RECT* drawnRect, bool* wasCurrent);
    CUGCellType* CellTypeOf(const CUGCell& cell) const;
    // True when the shown image may be scrolled instead of repainted.
    bool CanScrollImage() const;
    int ColumnDistance(int from, int to, int limit) const;
    int RowDistance(int from, int to, int limit) const;
    void AddCurrentCells();
    // The cell under a client point; false (col and row -1) when there is none.
    bool CellAt(CPoint point, int* col, int* row, RECT* rect) const;
    void SetMouseSource(int source, UINT flags);
    void MoveByArrow(UINT key);
    void MoveByPage(bool down);

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    CUGRedrawList m_drawHint;
    int m_hasFocus = 0;
    int m_cellTypeCapture = 0;
    int m_buttonDown = 0;
    // Where the last paint drew the current cell (its focus frame is there).
    int m_paintedCurrentCol = -1;
    int m_paintedCurrentRow = -1;
};
