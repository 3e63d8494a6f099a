#pragma once
// What the grid's in-cell edit controls share: which key ended the edit, where the current
// cell goes next, and the report to the control when the edit ends.

#include "platform/base/controls.h"
#include "platform/base/gdi_objects.h"

class CUGCtrl;
class CUGCell;

// Cell-type extended style bit of a cell that keeps line breaks: Ctrl+Enter types one there.
constexpr int UGEDIT_MULTILINE_STYLE = 2;

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

    // The answer to a reflected control-colour request: null (the default colours) unless
    // theming is available.
    HBRUSH CtlColor(CDC* dc, UINT control);

    int OnCreate(LPCREATESTRUCT create) override;
    void OnSetFocus(CWnd* oldFocus) override;
    void OnKillFocus(CWnd* newFocus) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT character, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnPaint() override;
    BOOL OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

protected:
    // The derived controls' own set-up when the focus arrives, before the shared one.
    virtual void OnEditSetFocus() {}
    // Inserts a character that passed the data source and the grid; `typed` is what arrived.
    virtual void InsertChar(UINT typed, UINT character, UINT repeat, UINT flags);
    // Puts the character into the text as the edit control itself would.
    void InsertDirectly(UINT character, UINT repeat, UINT flags);
    // Offers a key to the sheet's default data source and then to the grid; false drops it.
    bool AllowKey(UINT* key);
    // The cell being edited and its coordinates, as the control opened the edit.
    const CUGCell* EditedCell() const;
    int EditCol() const;
    int EditRow() const;
    void RepaintThemed();

    int m_continueCol = 0;
    int m_continueRow = 0;
    int m_cancel = 0;
    int m_continueFlag = 0;
    UINT m_lastKey = 0;
    CBrush m_backBrush;
    CUGCtrl* m_ctrl = nullptr;

private:
    void MoveTo(int col, int row);
    void FocusToGrid();
};
