#pragma once
// The small topmost pop-up beside a dragged scroll thumb that shows one line of text.

#include "platform/base/window.h"

class CFont;
class CUGCtrl;

class CUGHint : public CWnd {
public:
    // The pop-up window; 0 when it cannot be made (the grid then shows no hints).
    int Create(CWnd* parent);
    void SetGrid(CUGCtrl* grid) { m_ctrl = grid; }

    void SetWindowAlign(int align) { m_windowAlign = align; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBackColor(COLORREF color) { m_backColor = color; }
    void SetFont(CFont* font) { m_hFont = font; }
    void SetText(const char* text) { m_text = text != nullptr ? text : ""; }
    const CString& GetText() const { return m_text; }

    void OnPaint() override;

private:
    CUGCtrl* m_ctrl = nullptr;
    CString m_text;
    COLORREF m_textColor = 0;
    COLORREF m_backColor = 0xE0FFFF;
    int m_windowAlign = 1;
    CFont* m_hFont = nullptr;
    int m_fontHeight = 0;
};
