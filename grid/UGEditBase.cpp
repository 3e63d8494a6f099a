#include "grid/UGEditBase.h"

#include "grid/UGCtrl.h"
#include "grid/UGDataSource.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGTheme.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

CUGEditBase::CUGEditBase()
{
    LOGBRUSH nothing;
    nothing.lbStyle = BS_NULL;
    m_backBrush.CreateBrushIndirect(&nothing);
}

const CUGCell* CUGEditBase::EditedCell() const
{
    return m_ctrl != nullptr ? &m_ctrl->m_editCell : nullptr;
}

int CUGEditBase::EditCol() const
{
    return m_ctrl != nullptr ? m_ctrl->m_editCol : 0;
}

int CUGEditBase::EditRow() const
{
    return m_ctrl != nullptr ? m_ctrl->m_editRow : 0;
}

void CUGEditBase::RepaintThemed()
{
    if (CUGThemes::IsThemingAvailable() && GetSafeHwnd() != nullptr) {
        InvalidateRect(nullptr, TRUE);
        UpdateWindow();
    }
}

HBRUSH CUGEditBase::CtlColor(CDC* dc, UINT)
{
    if (!CUGThemes::IsThemingAvailable())
        return nullptr;
    if (dc != nullptr)
        dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(m_backBrush);
}

int CUGEditBase::OnCreate(LPCREATESTRUCT create)
{
    if (auto* grid = dynamic_cast<CUGCtrl*>(GetParent()))
        m_ctrl = grid;
    return CEdit::OnCreate(create);
}

UINT CUGEditBase::OnGetDlgCode()
{
    return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

int CUGEditBase::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_ACTIVATE;
}

void CUGEditBase::OnMouseMove(UINT flags, CPoint point)
{
    RepaintThemed();
    CEdit::OnMouseMove(flags, point);
}

void CUGEditBase::OnLButtonDown(UINT flags, CPoint point)
{
    RepaintThemed();
    CEdit::OnLButtonDown(flags, point);
}

BOOL CUGEditBase::OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    if (message == WM_COMMAND && HIWORD(wparam) == EN_KILLFOCUS) {
        RepaintThemed();
        return FALSE;
    }
    return CEdit::OnChildNotify(message, wparam, lparam, result);
}

void CUGEditBase::OnSetFocus(CWnd* oldFocus)
{
    if (m_ctrl == nullptr)
        m_ctrl = dynamic_cast<CUGCtrl*>(GetParent());
    CEdit::OnSetFocus(oldFocus);
    OnEditSetFocus();
    m_cancel = 0;
    m_continueFlag = 0;
    m_lastKey = 0;
    SendMessage(EM_SETSEL, static_cast<WPARAM>(GetWindowTextLength()), 0);
    SendMessage(EM_SCROLLCARET);
    const CUGCell* cell = EditedCell();
    if (cell != nullptr && cell->IsPropertySet(UGCELL_READONLY_SET) && cell->GetReadOnly() != 0)
        SendMessage(EM_SETREADONLY, TRUE);
}

void CUGEditBase::OnKillFocus(CWnd* newFocus)
{
    SendMessage(EM_SETREADONLY, FALSE);
    CEdit::OnKillFocus(newFocus);
    // A hidden edit was ended by the control itself, which hides it; reporting again would
    // finish that edit twice.
    if (m_ctrl == nullptr || (GetStyle() & WS_VISIBLE) == 0 || m_ctrl->GetEditControlInUse() != this)
        return;
    CUGCtrl* grid = m_ctrl;
    const bool toGrid = newFocus == grid;
    if (grid->m_GI->m_setting1 != 0) {
        const bool inGrid = newFocus != nullptr && ::IsWindow(newFocus) && (toGrid || grid->IsChild(newFocus));
        if (!inGrid)
            m_cancel = 1;
    }
    if (!toGrid)
        grid->OnSectionKillFocus(UG_GRID, newFocus);
    else if (grid->m_CUGGrid != nullptr && grid->m_CUGGrid->GetSafeHwnd() != nullptr)
        grid->m_CUGGrid->SetFocus();

    const int col = EditCol();
    const int row = EditRow();
    CString text;
    GetWindowText(text);
    if (grid->OnEditFinished(text, m_cancel, m_continueFlag, m_continueCol, m_continueRow) == 0) {
        grid->GotoCell(col, row);
        SetCapture();
        ReleaseCapture();
        SetFocus();
    }
}

void CUGEditBase::FocusToGrid()
{
    if (m_ctrl != nullptr && m_ctrl->GetSafeHwnd() != nullptr)
        m_ctrl->SetFocus();
}

void CUGEditBase::MoveTo(int col, int row)
{
    m_continueCol = col;
    m_continueRow = row;
    m_continueFlag = 1;
    FocusToGrid();
    RepaintThemed();
}

void CUGEditBase::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    m_lastKey = key;
    if (m_ctrl == nullptr || key < VK_TAB || key > VK_DELETE) {
        CEdit::OnKeyDown(key, repeat, flags);
        return;
    }
    const int col = EditCol();
    const int row = EditRow();
    int start = 0;
    int end = 0;
    switch (key) {
    case VK_TAB:
        MoveTo(GetKeyState(VK_SHIFT) < 0 ? col - 1 : col + 1, row);
        return;
    case VK_RETURN: {
        const CUGCell* cell = EditedCell();
        const bool multiLine = cell->IsPropertySet(UGCELL_CELLTYPEEX_SET) &&
                               (cell->GetCellTypeEx() & UGEDIT_MULTILINE_STYLE) != 0;
        if (GetKeyState(VK_CONTROL) < 0 && multiLine) {
            CEdit::OnKeyDown(key, repeat, flags);
            return;
        }
        MoveTo(col, row + 1);
        return;
    }
    case VK_ESCAPE:
        m_cancel = 1;
        m_continueFlag = 0;
        FocusToGrid();
        RepaintThemed();
        return;
    case VK_LEFT:
        GetSel(start, end);
        if (start == 0 && end == 0) {
            MoveTo(col - 1, row);
            return;
        }
        break;
    case VK_RIGHT: {
        GetSel(start, end);
        const int length = GetWindowTextLength();
        if ((start == end && end == length) || (start == 0 && end == length)) {
            MoveTo(col + 1, row);
            return;
        }
        break;
    }
    case VK_UP:
        MoveTo(col, row - 1);
        return;
    case VK_DOWN:
        MoveTo(col, row + 1);
        return;
    case VK_DELETE: {
        UINT deleted = 127;
        if (!AllowKey(&deleted))
            return;
        break;
    }
    default:
        break;
    }
    CEdit::OnKeyDown(key, repeat, flags);
}

bool CUGEditBase::AllowKey(UINT* key)
{
    if (m_ctrl == nullptr)
        return true;
    const int col = EditCol();
    const int row = EditRow();
    CUGDataSource* source = m_ctrl->m_GI->m_defDataSource;
    if (source != nullptr && source->AllowEditKey(col, row, this, key) == 0)
        return false;
    return m_ctrl->AllowEditKey(col, row, this, key) != 0;
}

void CUGEditBase::OnChar(UINT character, UINT repeat, UINT flags)
{
    UINT key = character;
    // The toolkit reports Ctrl+Enter as a carriage return where the line break it types is a
    // line feed; only the carriage return ends anything.
    if (key == '\r' && GetKeyState(VK_CONTROL) < 0)
        key = '\n';
    if (key == '\t' || key == '\r' || key == 27)
        return;
    if (!AllowKey(&key))
        return;
    InsertChar(character, key, repeat, flags);
}

void CUGEditBase::InsertChar(UINT typed, UINT character, UINT repeat, UINT flags)
{
    if (character == typed)
        CEdit::OnChar(character, repeat, flags);
    else
        InsertDirectly(character, repeat, flags);
}

void CUGEditBase::InsertDirectly(UINT character, UINT repeat, UINT flags)
{
    // The toolkit would type what arrived, not the character the filters made of it.
    CEdit::DefWindowProc(WM_CHAR, character, MAKELPARAM(static_cast<WORD>(repeat), static_cast<WORD>(flags)));
}

void CUGEditBase::OnPaint()
{
    if (!CUGThemes::UseThemes() || !CUGThemes::IsThemingAvailable()) {
        CEdit::OnPaint();
        return;
    }
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CUGThemes::DrawThemedBackground(dc, UGTHEME_CELL, 6, &client);
    CFont* old = dc.SelectObject(GetFont());
    dc.SetBkMode(TRANSPARENT);
    CString text;
    GetWindowText(text);
    if (GetStyle() & ES_PASSWORD) {
        CString masked;
        for (int index = 0; index < text.GetLength(); ++index)
            masked += '*';
        text = masked;
    }
    int start = 0;
    int end = 0;
    GetSel(start, end);
    int top = client.top;
    int lineStart = 0;
    const int height = dc.GetTextExtent("Xg", 2).cy;
    while (lineStart <= text.GetLength() && top < client.bottom) {
        int lineEnd = text.Find('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.GetLength();
        int x = client.left + 1;
        for (int index = lineStart; index < lineEnd; ++index) {
            const CString one = text.Mid(index, 1);
            const int width = dc.GetTextExtent(one, 1).cx;
            if (index >= start && index < end)
                dc.FillSolidRect(x, top, width, height, RGB(0, 0, 208));
            dc.SetTextColor(index >= start && index < end ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOWTEXT));
            dc.TextOut(x, top, one);
            x += width;
        }
        lineStart = lineEnd + 1;
        top += height;
    }
    dc.SelectObject(old);
}
