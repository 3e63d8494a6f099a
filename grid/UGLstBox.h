#pragma once
// The list a drop-list cell opens below itself. It exists as a window only while open; it
// holds the mouse while it has the focus and closes when it loses it.

#include "platform/base/controls.h"

class CUGCtrl;
class CUGDropListType;

class CUGLstBox : public CListBox {
public:
    // Takes the selected item into the list cell and closes the list.
    void SelectCurrentItem();

    void OnSetFocus(CWnd* oldFocus) override;
    void OnKillFocus(CWnd* newFocus) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags) override;
    UINT OnGetDlgCode() override;
    int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message) override;

    CUGCtrl* m_ctrl = nullptr;
    int m_HasFocus = 0;
    int* m_col = nullptr;
    long* m_row = nullptr;
    int m_selected = 0;
    CUGDropListType* m_cellType = nullptr;
    long m_cellTypeId = 0;

private:
    // What losing the focus does: the list closes, remembering whether a choice was made.
    void Close();
    // Gives the focus back to the cell area; closes the list here when the focus change did not.
    void ReturnFocus();
};
