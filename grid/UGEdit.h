#pragma once
// The grid's default in-cell editor; it grows over the following cells while text is typed.

#include "grid/UGEditBase.h"

class CUGEdit : public CUGEditBase {
public:
    void SetAutoSize(int autoGrow) { m_autoSize = autoGrow; }
    int GetAutoSize() const { return m_autoSize; }
    int IsAutoSizeActive() const { return m_autoSizeActive; }
    int GetStartHeight() const { return m_origHeight; }
    int GetCurrentHeight() const { return m_currentHeight; }

    // Escape ends the edit without storing before any dialog sees the key.
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    BOOL OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

protected:
    void OnEditSetFocus() override;

private:
    bool QualifiesForOverflow() const;
    void AutoGrow();

    int m_autoSize = 0;
    int m_autoSizeActive = 0;
    int m_origHeight = 0;
    int m_currentHeight = 0;
};
