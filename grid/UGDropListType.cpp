#include "grid/UGDropListType.h"

#include "grid/UGCell.h"
#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLstBox.h"
#include "grid/UGTheme.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>

namespace {
constexpr GUID drop_list_type_id = {0x5c1d2f43, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x04}};
constexpr int max_visible_rows = 15;

int extended_style(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_CELLTYPEEX_SET) ? cell->GetCellTypeEx() : 0;
}

bool read_only(const CUGCell& cell) { return cell.IsPropertySet(UGCELL_READONLY_SET) && cell.GetReadOnly() == 1; }

// Keeps [low, high) inside [0, limit): a far edge past the limit is cut back and the near edge
// moves back by the same amount, never below 0.
void keep_inside(LONG* low, LONG* high, LONG limit)
{
    if (*high > limit) {
        const LONG excess = *high - limit;
        *high = limit;
        *low = std::max<LONG>(0, *low - excess);
    }
}
}  // namespace

CUGDropListType::CUGDropListType()
{
    m_canOverflow = 0;
    m_btnWidth = GetSystemMetrics(SM_CXVSCROLL);
    m_pen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    m_brush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    m_listBox = new CUGLstBox;
    m_listBox->m_cellType = this;
    m_listBox->m_col = &m_btnCol;
    m_listBox->m_row = &m_btnRow;
}

CUGDropListType::~CUGDropListType() { delete m_listBox; }

const char* CUGDropListType::GetName() { return "DropList"; }
const GUID* CUGDropListType::GetTypeId() { return &drop_list_type_id; }

int CUGDropListType::GetEditArea(RECT* rect)
{
    if (rect != nullptr)
        rect->right -= m_btnWidth + 1;
    return 0;
}

bool CUGDropListType::IsListOpen() const { return m_listBox->GetSafeHwnd() != nullptr; }

bool CUGDropListType::OnButton(const RECT* rect, const POINT* point) const
{
    return rect != nullptr && point != nullptr && point->x > rect->right - m_btnWidth;
}

void CUGDropListType::RepaintListCell()
{
    if (m_ctrl != nullptr && m_btnCol >= 0 && m_btnRow >= 0)
        m_ctrl->RepaintCellAt(m_btnCol, static_cast<int>(m_btnRow));
}

// Hiding the list takes its focus, and the list marks itself closed without a choice; the
// callers then set the list cell they mean.
void CUGDropListType::CloseList()
{
    if (IsListOpen()) {
        m_listBox->ShowWindow(SW_HIDE);
        m_listBox->DestroyWindow();
    }
    m_listBox->m_HasFocus = 0;
}

int CUGDropListType::OnLClicked(int col, long row, int down, RECT* rect, POINT* point)
{
    if (m_ctrl == nullptr)
        return 0;
    if (down == 0) {
        if (m_btnDown == 0)
            return 0;
        m_btnDown = 0;
        m_ctrl->RepaintCellAt(col, static_cast<int>(row));
        return 1;
    }
    if (m_ctrl->m_GI->m_multiSelectFlag != 0 && (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0))
        return 1;
    if (!OnButton(rect, point)) {
        if (m_btnCol == -2) {
            m_btnCol = -1;
            m_btnRow = -1;
        }
        return 0;
    }
    if (IsListOpen() && m_btnCol == col && m_btnRow == row) {
        CloseList();
        m_btnCol = -1;
        m_btnRow = -1;
        return 0;
    }
    m_btnRect = *rect;
    m_btnRect.left = rect->right - m_btnWidth;
    m_btnDown = 1;
    m_btnCol = col;
    m_btnRow = row;
    RepaintListCell();
    ShowDropList();
    return 1;
}

int CUGDropListType::OnDClicked(int col, long row, RECT* rect, POINT* point)
{
    if (!OnButton(rect, point))
        return 0;
    return OnLClicked(col, row, 1, rect, point);
}

int CUGDropListType::OnMouseMove(int, long, POINT* point, UINT keyFlags)
{
    if ((keyFlags & MK_LBUTTON) == 0)
        return 1;
    if (point == nullptr)
        return 0;
    const int inside = PtInRect(&m_btnRect, *point) ? 1 : 0;
    if (inside != m_btnDown) {
        m_btnDown = inside;
        RepaintListCell();
    }
    return 0;
}

int CUGDropListType::OnKeyDown(int col, long row, UINT* key)
{
    if (key == nullptr)
        return 0;
    if (*key == VK_RETURN || (*key == VK_DOWN && GetKeyState(VK_CONTROL) < 0)) {
        m_btnCol = col;
        m_btnRow = row;
        ShowDropList();
        *key = 0;
        return 1;
    }
    return 0;
}

int CUGDropListType::OnCharDown(int, long, UINT* character)
{
    return character != nullptr && (*character == 13 || *character == 40) ? 1 : 0;
}

void CUGDropListType::OnKillFocus(int, long, CUGCell*)
{
    CloseList();
    m_btnCol = -1;
    m_btnRow = -1;
}

void CUGDropListType::GetBestSize(CDC* dc, SIZE* size, CUGCell* cell)
{
    CUGCellType::GetBestSize(dc, size, cell);
    if (size != nullptr && (cell == nullptr || (extended_style(cell) & UGCT_DROPLISTHIDEBUTTON) == 0))
        size->cx += m_btnWidth;
}

void CUGDropListType::OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    if (!m_themeChoiceFixed)
        m_useThemes = cell->GetMergeWord() != 0;
    if ((extended_style(cell) & UGCT_DROPLISTHIDEBUTTON) != 0 && current == 0) {
        CUGCellType::OnDraw(dc, rect, col, row, cell, selected, current);
        return;
    }
    const bool printing = dc->IsPrinting() != FALSE;
    const double f = printing ? m_printScale : 1.0;
    const int buttonWidth = static_cast<int>(m_btnWidth * f);
    const LONG left = rect->left;

    int state = UGTHEME_STATE_NORMAL;
    if (current != 0 && selected != 0)
        state = UGTHEME_STATE_CURRENT | UGTHEME_STATE_SELECTED;
    else if (current != 0)
        state = UGTHEME_STATE_CURRENT;
    else if (selected != 0)
        state = UGTHEME_STATE_SELECTED;

    bool themed = false;
    if (m_useThemes && CUGThemes::UseThemes()) {
        RECT button = *rect;
        button.left = button.right - buttonWidth;
        const ThemeEntry* entry = CUGThemes::GetThemeEntry(UGTHEME_CELL, state);
        HTHEME theme = entry != nullptr && m_ctrl != nullptr
                           ? CUGThemes::GetThemeHandle(m_ctrl->GetSafeHwnd(), entry->className.c_str())
                           : nullptr;
        if (theme != nullptr && CUGThemes::IsThemeBackgroundPartiallyTransparent(theme, entry->part, entry->state) == 0 &&
            CUGThemes::DrawThemedBackground(dc, UGTHEME_CELL, state, &button))
            themed = CUGThemes::DrawThemedBackground(dc, UGTHEME_DROPLIST_BUTTON, state, &button) != FALSE;
    }

    if (!themed) {
        DrawBorder(dc, rect, rect, cell);
        RECT button = *rect;
        button.left = button.right - buttonWidth;
        if (printing) {
            const int inset = static_cast<int>(f);
            button.left += inset;
            button.top += inset;
            button.right -= inset;
            button.bottom -= inset;
        }
        // The button's frame is drawn through the cell's border, so the record carries it.
        cell->SetBorder(static_cast<short>(m_btnDown != 0 && current != 0 ? 0x1000 : 0x2000));
        RECT face = button;
        DrawBorder(dc, &button, &face, cell);
        dc->FillRect(&face, &m_brush);

        CPen* oldPen = dc->SelectObject(&m_pen);
        dc->MoveTo(button.left - 1, rect->top);
        dc->LineTo(button.left - 1, rect->bottom);

        const int height = rect->bottom - rect->top;
        if (!printing) {
            const int x0 = button.left + (m_btnWidth - 5) / 2;
            const int y0 = rect->top + (height - 3) / 2;
            CPen grey;
            if (read_only(*cell)) {
                grey.CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
                dc->SelectObject(&grey);
            } else {
                dc->SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
            }
            dc->MoveTo(x0, y0);
            dc->LineTo(x0 + 5, y0);
            dc->MoveTo(x0 + 1, y0 + 1);
            dc->LineTo(x0 + 4, y0 + 1);
            dc->MoveTo(x0 + 2, y0 + 2);
            dc->LineTo(x0 + 2, y0 + 1);
            if (read_only(*cell)) {
                dc->SelectObject(static_cast<CPen*>(GetStockObject(WHITE_PEN)));
                dc->MoveTo(x0 + 3, y0 + 2);
                dc->LineTo(x0 + 5, y0);
                dc->MoveTo(x0 + 3, y0 + 3);
                dc->LineTo(x0 + 6, y0);
            }
        } else {
            const int w = button.right - button.left;
            const int h = button.bottom - button.top;
            const POINT corners[3] = {{button.left + 3 * w / 10, button.top + 5 * h / 12},
                                      {button.left + 7 * w / 10, button.top + 5 * h / 12},
                                      {button.left + w / 2, button.top + 7 * h / 12}};
            CBrush* oldBrush = dc->SelectObject(static_cast<CBrush*>(GetStockObject(BLACK_BRUSH)));
            dc->SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
            dc->Polygon(corners, 3);
            dc->MoveTo(button.left, button.top);
            dc->LineTo(button.right, button.top);
            dc->SelectObject(oldBrush);
        }
        if (oldPen != nullptr)
            dc->SelectObject(oldPen);
    }

    const LONG right = rect->right;
    rect->left = left;
    rect->right -= buttonWidth + 1;
    CUGCellType::DrawText(dc, rect, 0, col, row, cell, selected, current);
    rect->right = right;
}

int CUGDropListType::ShowDropList()
{
    if (IsListOpen() || m_ctrl == nullptr || m_ctrl->m_CUGGrid == nullptr || m_ctrl->m_CUGGrid->GetSafeHwnd() == nullptr)
        return 1;
    int col = m_btnCol;
    int row = static_cast<int>(m_btnRow);
    CUGCell cell;
    m_ctrl->GetCell(col, row, &cell);
    if (read_only(cell))
        return 0;

    m_ctrl->GotoCell(col, row);
    // Leaving a previous drop-list cell resets the list cell of this same type; the list opens
    // for the cell that asked.
    m_btnCol = col;
    m_btnRow = row;

    CArray<CString> items;
    const CString& label = cell.GetLabelText();
    int start = 0;
    for (int end = label.Find('\n'); end >= 0; end = label.Find('\n', start)) {
        items.Add(label.Mid(start, end - start));
        start = end + 1;
    }
    if (ForwardToGrid(m_ID, col, row, UGCT_DISPLAYLIST, reinterpret_cast<LONG_PTR>(&items)) == 0)
        return 1;

    CFont* font = cell.IsPropertySet(UGCELL_FONT_SET) ? cell.GetFont() : nullptr;
    if (font == nullptr)
        font = m_ctrl->m_GI->m_defFont;
    if (font == nullptr)
        font = static_cast<CFont*>(GetStockObject(SYSTEM_FONT));
    CUGGrid* area = m_ctrl->m_CUGGrid;
    int itemHeight = 12;
    LOGFONTA description{};
    if (font->GetLogFont(&description) != 0 && description.lfHeight < 0) {
        CDC* screen = area->GetDC();
        itemHeight = -description.lfHeight * screen->GetDeviceCaps(LOGPIXELSY) / 72;
        area->ReleaseDC(screen);
    }

    RECT cellRect{};
    int rectCol = col;
    int rectRow = row;
    m_ctrl->GetCellRect(&rectCol, &rectRow, &cellRect);
    RECT client{};
    area->GetClientRect(&client);
    const int rows = std::min(items.GetSize(), max_visible_rows);
    RECT place{cellRect.left + 10, cellRect.bottom, cellRect.right + 10, 0};
    auto placeRows = [&]() {
        place.top = cellRect.bottom;
        place.bottom = place.top + 6 + rows * itemHeight;
        keep_inside(&place.top, &place.bottom, client.bottom);
        keep_inside(&place.left, &place.right, client.right);
    };
    placeRows();

    if (!m_listBox->Create(WS_CHILD | WS_BORDER | WS_VSCROLL, place, area, UGCT_LISTBOX_ID))
        return 1;
    m_listBox->SetFont(font, TRUE);
    const int realHeight = m_listBox->GetItemHeight(0);
    if (realHeight > 0)
        itemHeight = realHeight;
    placeRows();

    int widest = 0;
    CDC* dc = m_listBox->GetDC();
    CFont* oldFont = dc->SelectObject(font);
    for (int i = 0; i < items.GetSize(); ++i)
        widest = std::max(widest, static_cast<int>(dc->GetTextExtent(items[i]).cx));
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
    m_listBox->ReleaseDC(dc);
    widest += 10;
    if (widest > place.right - place.left) {
        place.right += widest - (place.right - place.left);
        if (rows >= max_visible_rows)
            place.right += GetSystemMetrics(SM_CXVSCROLL);
        keep_inside(&place.left, &place.right, client.right);
    }

    m_listBox->MoveWindow(&place, FALSE);
    for (int i = 0; i < items.GetSize(); ++i)
        m_listBox->AddString(items[i]);
    m_listBox->m_ctrl = m_ctrl;
    m_listBox->m_cellTypeId = m_ID;
    m_listBox->m_col = &m_btnCol;
    m_listBox->m_row = &m_btnRow;
    m_listBox->ShowWindow(SW_SHOW);
    m_listBox->SetFocus();
    m_btnDown = 0;
    m_ctrl->RepaintCellAt(col, row);
    return 0;
}
