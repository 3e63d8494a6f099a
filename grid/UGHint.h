#pragma once
// The small topmost pop-up beside a dragged scroll thumb that shows one line of text.

#include "platform/base/window.h"

class CFont;
class CUGCtrl;

class CUGHint : public CWnd {
public:
    // Placement flags: the given x is the right edge (else the left edge), or the centre; the
    // given y is the bottom (else the top), or the centre. Centring wins.
    static constexpr int AlignRight = 2;
    static constexpr int AlignCentreX = 4;
    static constexpr int AlignBottom = 16;
    static constexpr int AlignCentreY = 32;

    // The pop-up window; 0 when it cannot be made (the grid then shows no hints).
    int Create(CWnd* parent);
    void SetGrid(CUGCtrl* grid) { m_ctrl = grid; }

    void SetWindowAlign(int align) { m_windowAlign = align; }
    int GetWindowAlign() const { return m_windowAlign; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBackColor(COLORREF color) { m_backColor = color; }
    void SetFont(CFont* font) { m_hFont = font; }
    void SetText(const char* text) { m_text = text != nullptr ? text : ""; }
    const CString& GetText() const { return m_text; }
    int GetLineHeight() const { return m_fontHeight; }

    // Places the hint at (x, y) of the control's client area by the placement flags, at least
    // minWidth wide and inside the control, shows it and paints it at once.
    int MoveHintWindow(int x, int y, int minWidth);

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
