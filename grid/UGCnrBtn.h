#pragma once
// The corner button where the two headings meet (section 4). Dragging its right edge sizes the
// side heading width, its bottom edge the top heading height.

#include "grid/UGHeadingBase.h"

class CUGCnrBtn : public CUGHeadingBase {
public:
    CUGCnrBtn();

    void OnPaint() override;
    // Draws the button into a given device context.
    virtual void OnDraw(CDC* dc);

private:
    // The whole button is one cell, -1, -1.
    bool CellAt(CPoint point, int* col, int* row, RECT* rect) const override;
    void DrawAll(CDC* dc) override { OnDraw(dc); }
    void Pressed(UGHeadingPress press, int col, int row, RECT* rect, POINT* where) override;
    void HitTestEdges(CPoint point) override;
    void DragEdgeTo(CPoint point) override;
    // The control hears of the press and the release that begin and end a drag as of a click
    // it processed.
    void DragStarted(CPoint point) override;
    void DragEnded(CPoint point) override;
    bool RightPressFocusesCells() const override { return false; }
    bool HitTestsWithButtonHeld() const override { return true; }
    void ReportClick(int down, CPoint point, int processed);
};
