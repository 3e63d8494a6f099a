#pragma once
// The control's vertical scroll bar (section 6): it moves the view by rows, on a fixed scale
// when the sheet has very many rows.

#include "platform/base/controls.h"

class CUGCtrl;
class CUGGridInfo;

class CUGVScroll : public CScrollBar {
public:
    // Above this many possible top rows the bar works on a 0..ScaledRange scale.
    static constexpr int ScaledRange = 1000;

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

    // The bar position that shows a top row, and the top row a bar position stands for.
    int RowToPosition(int row) const;
    int PositionToRow(int position) const;

    int OnCreate(LPCREATESTRUCT create) override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    int PageUpTarget() const;
    int PageDownTarget() const;
    void ShowThumbHint();

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    // Position per row and rows per position; both 1.0 unless the range is scaled.
    double m_multiRange = 1.0;
    double m_multiPos = 1.0;
    int m_lastMaxTopRow = -1;
    int m_lastNumLockRow = 0;
    int m_trackRowPos = 0;
};
