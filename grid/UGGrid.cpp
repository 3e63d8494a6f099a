#include "grid/UGGrid.h"

#include "grid/UGCell.h"
#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"
#include "grid/UGMultiSelect.h"
#include "grid/UGPtrList.h"
#include "grid/UGTheme.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int help_context = 1;

bool key_down(int key) { return GetKeyState(key) < 0; }

}  // namespace

CUGGrid::~CUGGrid() { m_drawHint.Empty(); }

BOOL CUGGrid::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(create);
}

int CUGGrid::OnCreate(LPCREATESTRUCT create)
{
    if (CWnd::OnCreate(create) == -1)
        return -1;
    if (m_GI != nullptr && m_GI->m_enableCellTips != 0)
        EnableToolTips(TRUE);
    return 0;
}

CScrollBar* CUGGrid::GetScrollBarCtrl(int bar) const
{
    return m_ctrl != nullptr ? m_ctrl->GetScrollBarCtrl(bar) : nullptr;
}

LRESULT CUGGrid::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PRINT: {
        CDC* dc = reinterpret_cast<CDC*>(wparam);
        if (dc != nullptr && m_GI != nullptr) {
            AddToRedrawList(0, 0, m_GI->m_numberCols, m_GI->m_numberRows);
            DrawCells(dc);
        }
        return 0;
    }
    case WM_THEMECHANGED:
        CUGThemes::ReleaseThemeResources();
        return 0;
    case WM_HELPHITTEST: {
        if (m_ctrl == nullptr)
            return 0;
        int col = -1, row = -1;
        CellAt(CPoint(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)), &col, &row, nullptr);
        return m_ctrl->GetHelpContextId(col, row, UG_GRID);
    }
    default:
        return CWnd::WindowProc(message, wparam, lparam);
    }
}

bool CUGGrid::CellAt(CPoint point, int* col, int* row, RECT* rect) const
{
    RECT found{};
    *col = -1;
    *row = -1;
    if (m_ctrl == nullptr || m_ctrl->GetCellAtPoint(point.x, point.y, col, row, &found) != 0) {
        *col = -1;
        *row = -1;
        if (rect != nullptr)
            *rect = found;
        return false;
    }
    if (rect != nullptr)
        *rect = found;
    return true;
}

void CUGGrid::SetMouseSource(int source, UINT flags)
{
    m_GI->m_multiSelectMode = source;
    m_ctrl->m_selectKeyFlags = flags;
}

CUGCellType* CUGGrid::CellTypeOf(const CUGCell& cell) const
{
    if (cell.IsPropertySet(UGCELL_CELLTYPE_SET) && m_ctrl->m_cellTypeList != nullptr) {
        const int index = cell.GetCellType();
        if (index >= 1 && index < m_ctrl->m_cellTypeList->GetMaxCount()) {
            auto* type = static_cast<CUGCellType*>(m_ctrl->m_cellTypeList->GetPointer(index));
            if (type != nullptr)
                return type;
        }
    }
    return &m_ctrl->m_normalCellType;
}

// ---- Painting ----

void CUGGrid::OnPaint()
{
    // While the sheet is not ready the update region stays as it is, for the paint that follows.
    if (m_GI == nullptr || m_ctrl == nullptr || m_GI->m_sheetReady == 0)
        return;
    RECT update{};
    GetUpdateRect(&update, FALSE);
    ValidateRect(nullptr);
    CClientDC dc(this);

    if (update.left == 0 && update.top == 0 && update.right == 0 && update.bottom == 0) {
        AddToRedrawList(0, 0, m_GI->m_numberCols, m_GI->m_numberRows);
    } else {
        int left = 0, top = 0;
        int right = m_GI->m_numberCols, bottom = m_GI->m_numberRows;
        int col = -1, row = -1;
        if (m_ctrl->GetCellAtPoint(update.left, update.top, &col, &row, nullptr) == 0) {
            left = col;
            top = row;
        }
        if (m_ctrl->GetCellAtPoint(update.right, update.bottom, &col, &row, nullptr) == 0) {
            CUGCell cell;
            m_ctrl->GetCell(col, row, &cell);
            if (cell.IsPropertySet(UGCELL_JOIN_SET)) {
                int origin = 0, spanCol = 0, spanRow = 0;
                cell.GetJoinInfo(&origin, &spanCol, &spanRow);
                col += std::max(spanCol, 0);
                row += std::max(spanRow, 0);
            }
            right = col;
            bottom = row;
        }
        AddToRedrawList(left, top, right, bottom);
        const int currentCol = m_GI->m_currentCol;
        const int currentRow = m_GI->m_currentRow;
        if (currentCol < left || currentCol > right || currentRow < top || currentRow > bottom)
            AddToRedrawList(currentCol, currentRow, currentCol, currentRow);
    }
    DrawCells(&dc);
    m_drawHint.Empty();
}

BOOL CUGGrid::OnEraseBkgnd(CDC*) { return CUGThemes::UseThemes() && CUGThemes::IsThemingAvailable() ? TRUE : FALSE; }

void CUGGrid::DrawCells(CDC* dc)
{
    if (dc == nullptr || m_ctrl == nullptr || m_GI == nullptr) {
        m_drawHint.Empty();
        return;
    }
    CUGGridInfo& sheet = *m_GI;
    CUGCell cell;
    RECT focusRect{-1, -1, -1, -1};
    const int savedState = dc->SaveDC();
    if (sheet.m_defFont != nullptr)
        dc->SelectObject(sheet.m_defFont);
    m_ctrl->OnSectionPaintStart(dc, nullptr, UG_GRID);

    sheet.m_rightCol = sheet.m_numberCols;
    sheet.m_bottomRow = sheet.m_numberRows;
    int emptyRight = -1;
    int emptyBottom = -1;
    int y = 0;
    for (int row = 0; row < sheet.m_numberRows; ++row) {
        if (row == sheet.m_numLockRows && row < sheet.m_topRow)
            row = sheet.m_topRow;
        if (row >= sheet.m_numberRows)
            break;
        const int height = UGRowHeight(sheet, row);
        if (height <= 0)
            continue;
        RECT rect{0, y, 0, y + height};
        y += height;
        int x = 0;
        for (int col = 0; col < sheet.m_numberCols; ++col) {
            if (col == sheet.m_numLockCols && col < sheet.m_leftCol)
                col = sheet.m_leftCol;
            if (col >= sheet.m_numberCols)
                break;
            const int width = UGColumnWidth(sheet, col);
            if (width <= 0)
                continue;
            rect.left = x;
            rect.right = x + width;
            x += width;
            if (m_drawHint.Contains(col, row)) {
                RECT drawn{};
                bool current = false;
                // A cell that was not drawn keeps its old picture: a focus frame (an inversion)
                // over it would wipe out the frame already there.
                if (DrawCell(dc, col, row, rect, &cell, &drawn, &current) && current)
                    focusRect = drawn;
            }
            if (rect.right > sheet.m_gridWidth) {
                sheet.m_rightCol = col;
                break;
            }
        }
        if (x <= sheet.m_gridWidth && sheet.m_rightCol == sheet.m_numberCols)
            emptyRight = x;
        if (rect.bottom > sheet.m_gridHeight) {
            sheet.m_bottomRow = row;
            break;
        }
        if (row == sheet.m_numberRows - 1) {
            const int rowsBefore = sheet.m_numberRows;
            int next = row + 1;
            m_ctrl->AdjustRowTarget(&next);
            if (sheet.m_numberRows > rowsBefore)
                AddToRedrawList(0, row + 1, sheet.m_numberCols - 1, row + 1);
        }
    }
    m_drawHint.Empty();
    if (y <= sheet.m_gridHeight && sheet.m_bottomRow == sheet.m_numberRows)
        emptyBottom = y;

    if (emptyRight >= 0 || emptyBottom >= 0) {
        CBrush brush;
        brush.CreateSolidBrush(m_ctrl->GetSectionBackColor(UG_GRID));
        CRect client;
        GetClientRect(&client);
        if (emptyRight >= 0 && emptyRight < client.right)
            dc->FillRect(CRect(emptyRight, client.top, client.right, client.bottom), &brush);
        if (emptyBottom >= 0 && emptyBottom < client.bottom)
            dc->FillRect(CRect(client.left, emptyBottom, client.right, client.bottom), &brush);
    }

    if (m_hasFocus != 0 && !m_ctrl->IsEditing() && focusRect.left != -1)
        m_ctrl->DrawFocusFrame(dc, &focusRect);
    dc->RestoreDC(savedState);
}

bool CUGGrid::DrawCell(CDC* dc, int col, int row, const RECT& walked, CUGCell* cell, RECT* drawnRect,
                       bool* wasCurrent)
{
    CUGGridInfo& sheet = *m_GI;
    RECT rect = walked;
    int drawCol = col;
    int drawRow = row;
    cell->ResetProperties();
    m_ctrl->GetCell(col, row, cell);
    if (cell->IsPropertySet(UGCELL_JOIN_SET)) {
        m_ctrl->GetCellRect(&drawCol, &drawRow, &rect);
        if (sheet.m_enableJoins != 0 && (drawCol != col || drawRow != row)) {
            cell->ResetProperties();
            m_ctrl->GetCell(drawCol, drawRow, cell);
        } else {
            drawCol = col;
            drawRow = row;
        }
        if (!m_drawHint.MarkJoinDrawn(drawCol, drawRow))
            return false;
    }
    CUGCellType* type = CellTypeOf(*cell);

    const bool current = drawCol == sheet.m_currentCol && drawRow == sheet.m_currentRow;
    // The current cell of a selection is part of it: it is drawn selected, its frame on top.
    int selected = 0;
    if (sheet.m_multiSelect != nullptr) {
        int block = 0;
        if (sheet.m_multiSelect->IsSelected(drawCol, drawRow, &block) != 0)
            selected = block + 1;
    }
    const int saved = dc->SaveDC();
    RECT drawRect = rect;
    type->OnDraw(dc, &drawRect, drawCol, drawRow, cell, selected, current ? 1 : 0);

    if (sheet.m_numLockCols > 0 || sheet.m_numLockRows > 0) {
        dc->SelectStockObject(BLACK_PEN);
        if (sheet.m_numLockCols > 0) {
            if (col == sheet.m_leftCol) {
                dc->MoveTo(rect.left - 1, rect.top);
                dc->LineTo(rect.left - 1, rect.bottom + 1);
            }
            if (col == sheet.m_numLockCols - 1) {
                dc->MoveTo(rect.right - 1, rect.top);
                dc->LineTo(rect.right - 1, rect.bottom + 1);
            }
        }
        if (sheet.m_numLockRows > 0) {
            if (row == sheet.m_topRow) {
                dc->MoveTo(rect.left, rect.top - 1);
                dc->LineTo(rect.right + 1, rect.top - 1);
            }
            if (row == sheet.m_numLockRows - 1) {
                dc->MoveTo(rect.left, rect.bottom - 1);
                dc->LineTo(rect.right + 1, rect.bottom - 1);
            }
        }
    }
    dc->RestoreDC(saved);

    if (current) {
        m_paintedCurrentCol = drawCol;
        m_paintedCurrentRow = drawRow;
    }
    *drawnRect = rect;
    *wasCurrent = current;
    return true;
}

void CUGGrid::PaintRect(RECT* rect)
{
    InvalidateRect(rect, FALSE);
    UpdateWindow();
}

void CUGGrid::AddCurrentCells()
{
    const auto add = [this](int col, int row) {
        if (col >= 0 && row >= 0)
            AddToRedrawList(col, row, col, row);
    };
    add(m_GI->m_lastFocusCol, m_GI->m_lastFocusRow);
    add(m_paintedCurrentCol, m_paintedCurrentRow);
    add(m_GI->m_currentCol, m_GI->m_currentRow);
}

bool CUGGrid::CanScrollImage() const
{
    if (update_pending() || m_GI->m_enableScrollHints != 0)
        return false;
    CRect mine;
    GetWindowRect(&mine);
    // Any visible window above this one (or above one of its ancestors) that overlaps it
    // would be scrolled along with the image.
    for (const CWnd* window = this; window->GetParent() != nullptr; window = window->GetParent()) {
        for (const CWnd* sibling : window->GetParent()->children()) {
            if (sibling == window)
                break;
            if (!sibling->IsWindowVisible())
                continue;
            CRect other;
            sibling->GetWindowRect(&other);
            CRect overlap;
            if (overlap.IntersectRect(&mine, &other))
                return false;
        }
    }
    for (const CWnd* window : {CWnd::GetActiveWindow(), CWnd::GetDesktopWindow()}) {
        if (window == nullptr || window->GetSafeHwnd() == nullptr || !window->IsWindowVisible() ||
            window == GetTopLevelParent())
            continue;
        CRect other;
        window->GetWindowRect(&other);
        CRect overlap;
        if (overlap.IntersectRect(&mine, &other) && overlap != mine)
            return false;
    }
    return true;
}

// The pixels between two leading columns (negative when `to` lies left of `from`); the sum stops
// once it passes the limit, so a jump over a million rows costs no more than a screen.
int CUGGrid::ColumnDistance(int from, int to, int limit) const
{
    int distance = 0;
    for (int col = std::min(from, to); col < std::max(from, to) && distance <= limit; ++col)
        distance += UGColumnWidth(*m_GI, col);
    return to >= from ? distance : -distance;
}

int CUGGrid::RowDistance(int from, int to, int limit) const
{
    int distance = 0;
    if (m_GI->m_uniformRowHeightFlag != 0) {
        const long long span = static_cast<long long>(std::abs(to - from)) * m_GI->m_defRowHeight;
        distance = static_cast<int>(std::min<long long>(span, static_cast<long long>(limit) + 1));
    } else {
        for (int row = std::min(from, to); row < std::max(from, to) && distance <= limit; ++row)
            distance += UGRowHeight(*m_GI, row);
    }
    return to >= from ? distance : -distance;
}

void CUGGrid::RedrawChanged()
{
    if (m_GI == nullptr || m_ctrl == nullptr)
        return;
    if (GetSafeHwnd() == nullptr || !CanScrollImage()) {
        InvalidateRect(nullptr, TRUE);
        UpdateWindow();
        return;
    }
    CUGGridInfo& sheet = *m_GI;
    const int previousLeft = sheet.m_lastLeftCol;
    const int previousTop = sheet.m_lastTopRow;
    int dx = 0;
    int dy = 0;
    bool whole = previousLeft < 0 || previousTop < 0;
    if (!whole) {
        dx = ColumnDistance(previousLeft, sheet.m_leftCol, sheet.m_gridWidth);
        if (std::abs(dx) > sheet.m_gridWidth)
            whole = true;
    }
    if (!whole) {
        dy = RowDistance(previousTop, sheet.m_topRow, sheet.m_gridHeight);
        if (std::abs(dy) > sheet.m_gridHeight)
            whole = true;
    }
    if (whole) {
        dx = 0;
        dy = 0;
        AddToRedrawList(0, 0, sheet.m_numberCols, sheet.m_numberRows);
    }

    CClientDC dc(this);
    if (dx != 0 || dy != 0) {
        CRect area;
        GetClientRect(&area);
        if (dx != 0 && dy != 0) {
            // Both ways at once: the locked rows and columns must not travel with the image, so
            // only the scrolling quarter moves and the locked strips are drawn again.
            area.top += sheet.m_lockRowHeight;
            area.left += sheet.m_lockColWidth;
            if (sheet.m_numLockRows > 0)
                AddToRedrawList(0, 0, sheet.m_numberCols, sheet.m_numLockRows - 1);
            if (sheet.m_numLockCols > 0)
                AddToRedrawList(0, 0, sheet.m_numLockCols - 1, sheet.m_numberRows);
        } else if (dy != 0) {
            area.top += sheet.m_lockRowHeight;
        } else {
            area.left += sheet.m_lockColWidth;
        }
        dc.ScrollDC(-dx, -dy, &area, &area, nullptr, nullptr);
        if (dx < 1)
            AddToRedrawList(0, 0, previousLeft, sheet.m_numberRows);
        else
            AddToRedrawList(sheet.m_rightCol, 0, sheet.m_numberCols, sheet.m_numberRows);
        if (dy < 1)
            AddToRedrawList(0, 0, sheet.m_numberCols, previousTop);
        else
            AddToRedrawList(0, sheet.m_bottomRow, sheet.m_numberCols, sheet.m_numberRows);
    }
    AddCurrentCells();
    DrawCells(&dc);
}

// ---- Focus ----

void CUGGrid::OnSetFocus(CWnd* oldFocus)
{
    m_hasFocus = 1;
    m_cellTypeCapture = 0;
    CWnd::OnSetFocus(oldFocus);
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    m_ctrl->OnSectionFocus(UG_GRID);
    int col = m_GI->m_currentCol;
    int row = m_GI->m_currentRow;
    if (col < 0 || row < 0)
        return;
    RECT rect{};
    m_ctrl->GetCellRect(&col, &row, &rect);
    AddToRedrawList(col, row, col, row);
    PaintRect(&rect);
}

void CUGGrid::OnKillFocus(CWnd* newFocus)
{
    m_hasFocus = 0;
    CWnd::OnKillFocus(newFocus);
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    m_ctrl->OnSectionKillFocus(UG_GRID, newFocus);
    if (m_GI->m_currentCol >= 0 && m_GI->m_currentRow >= 0)
        AddToRedrawList(m_GI->m_currentCol, m_GI->m_currentRow, m_GI->m_currentCol, m_GI->m_currentRow);
    RedrawChanged();
}

UINT CUGGrid::OnGetDlgCode()
{
    CWnd* focus = CWnd::GetFocus();
    if (focus != nullptr && IsChild(focus))
        return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    return CWnd::OnGetDlgCode() | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

int CUGGrid::OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message)
{
    CWnd::OnMouseActivate(topLevel, hitTest, message);
    return MA_ACTIVATE;
}

BOOL CUGGrid::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_GI != nullptr)
        SetCursor(m_GI->m_arrowCursor);
    return TRUE;
}

void CUGGrid::OnHScroll(UINT code, UINT position, CScrollBar* bar)
{
    if (m_ctrl != nullptr)
        m_ctrl->SendMessage(WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
}

void CUGGrid::OnVScroll(UINT code, UINT position, CScrollBar* bar)
{
    if (m_ctrl != nullptr)
        m_ctrl->SendMessage(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
}

BOOL CUGGrid::OnHelpInfo(HELPINFO* info)
{
    if (info == nullptr || info->iContextType != HELPINFO_WINDOW || m_ctrl == nullptr || m_GI == nullptr)
        return FALSE;
    int col = -1, row = -1;
    if (key_down(VK_F1)) {
        col = m_GI->m_currentCol;
        row = m_GI->m_currentRow;
    } else {
        POINT point = info->MousePos;
        ScreenToClient(&point);
        CellAt(point, &col, &row, nullptr);
    }
    const int id = m_ctrl->GetHelpContextId(col, row, UG_GRID);
    if (id == 0)
        return FALSE;
    WinHelp(static_cast<DWORD_PTR>(id), help_context);
    return TRUE;
}
