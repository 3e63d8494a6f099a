// The cell area's input: clicks, drags with their auto-scroll, keys, the wheel and tool tips.

#include "grid/UGGrid.h"

#include "grid/UGCell.h"
#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTip.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>

namespace {

constexpr int source_program = 0;
constexpr int source_left_press = 1;
constexpr int source_right_press = 2;
constexpr int source_mouse_move = 3;
constexpr int source_wheel = 4;

// The cell of the last tool hit test, shared by every cell area: a tip shows only once the
// pointer rests on one cell for two hit tests.
int tip_col = -2;
int tip_row = -2;

bool key_down(int key) { return GetKeyState(key) < 0; }

// The joined range a cell belongs to; false when it is not joined.
bool join_of(CUGCtrl& grid, int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow)
{
    if (col < 0 || row < 0 || col >= grid.GetColumnCount() || row >= grid.GetRowCount())
        return false;
    return grid.JoinedRangeOf(col, row, originCol, originRow, lastCol, lastRow);
}

}  // namespace

// ---- Mouse ----

void CUGGrid::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_hasFocus == 0)
        SetFocus();
    if (m_ctrl == nullptr || m_GI == nullptr || m_ctrl->IsEditing())
        return;
    SetCapture();
    SetMouseSource(source_left_press, flags);
    int col = -1, row = -1;
    RECT rect{};
    POINT at = point;
    if (CellAt(point, &col, &row, &rect)) {
        m_ctrl->GotoCell(col, row);
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnLClicked(col, row, 1, &rect, &at);
        if (processed != 0)
            m_cellTypeCapture = 1;
        m_ctrl->OnCellLeftButton(col, row, 1, &rect, &at, processed);
    } else {
        m_ctrl->OnCellLeftButton(-1, -1, 1, &rect, &at, 0);
    }
    SetMouseSource(source_program, 0);
    m_buttonDown = 1;
}

void CUGGrid::OnLButtonUp(UINT, CPoint point)
{
    if (m_buttonDown != 1 || m_ctrl == nullptr || m_GI == nullptr) {
        // A right release in between ended the press; the capture of the left press still goes.
        if (CWnd::GetCapture() == this)
            ReleaseCapture();
        return;
    }
    int col = -1, row = -1;
    RECT rect{};
    POINT at = point;
    if (CellAt(point, &col, &row, &rect)) {
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnLClicked(col, row, 0, &rect, &at);
        m_ctrl->OnCellLeftButton(col, row, 0, &rect, &at, processed);
    } else {
        m_ctrl->OnCellLeftButton(-1, -1, 0, &rect, &at, 0);
    }
    if (CWnd::GetCapture() == this)
        ReleaseCapture();
    m_GI->m_focusCol = m_GI->m_currentCol;
    m_GI->m_focusRow = m_GI->m_currentRow;
    m_cellTypeCapture = 0;
    m_buttonDown = 0;
}

void CUGGrid::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_ctrl == nullptr)
        return;
    int col = -1, row = -1;
    RECT rect{};
    POINT at = point;
    if (CellAt(point, &col, &row, &rect)) {
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnDClicked(col, row, &rect, &at);
        m_ctrl->OnCellDoubleClick(col, row, &rect, &at, processed);
    } else {
        m_ctrl->OnCellDoubleClick(-1, -1, &rect, &at, 0);
    }
}

void CUGGrid::OnRButtonDown(UINT flags, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr || m_ctrl->IsEditing())
        return;
    SetMouseSource(source_right_press, flags);
    int col = -1, row = -1;
    RECT rect{};
    POINT at = point;
    if (CellAt(point, &col, &row, &rect)) {
        m_ctrl->GotoCell(col, row);
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnRClicked(col, row, 1, &rect, &at);
        m_ctrl->OnCellRightButton(col, row, 1, &rect, &at, processed);
    } else {
        m_ctrl->OnCellRightButton(-1, -1, 1, &rect, &at, 0);
    }
    SetMouseSource(source_program, 0);
    m_buttonDown = 1;
}

void CUGGrid::OnRButtonUp(UINT, CPoint point)
{
    if (m_buttonDown != 1 || m_ctrl == nullptr || m_GI == nullptr)
        return;
    int col = -1, row = -1;
    RECT rect{};
    POINT at = point;
    if (CellAt(point, &col, &row, &rect)) {
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnRClicked(col, row, 0, &rect, &at);
        m_ctrl->OnCellRightButton(col, row, 0, &rect, &at, processed);
    } else {
        m_ctrl->OnCellRightButton(-1, -1, 0, &rect, &at, 0);
    }
    m_GI->m_focusCol = m_GI->m_currentCol;
    m_GI->m_focusRow = m_GI->m_currentRow;
    m_buttonDown = 0;
}

void CUGGrid::OnMouseMove(UINT flags, CPoint point)
{
    if (m_ctrl == nullptr || m_GI == nullptr || m_ctrl->IsEditing())
        return;
    POINT at = point;
    if (m_cellTypeCapture != 0) {
        const int col = m_GI->m_currentCol;
        const int row = m_GI->m_currentRow;
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnMouseMove(col, row, &at, flags);
        m_ctrl->OnCellMouseMove(col, row, &at, flags, processed);
        return;
    }
    SetMouseSource(source_mouse_move, flags);
    int col = -1, row = -1;
    RECT rect{};
    const bool onCell = CellAt(point, &col, &row, &rect);
    if (onCell) {
        const int processed = m_ctrl->GetCellTypeAt(col, row)->OnMouseMove(col, row, &at, flags);
        m_ctrl->OnCellMouseMove(col, row, &at, flags, processed);
    } else {
        m_ctrl->OnCellMouseMove(-1, -1, &at, flags, 0);
    }
    // A drag whose press was not in this window moves nothing.
    if ((flags & MK_LBUTTON) == 0 || m_buttonDown != 1) {
        SetMouseSource(source_program, 0);
        return;
    }
    CUGGridInfo& sheet = *m_GI;
    bool atLastRow = false;
    bool atLastCol = false;
    if (onCell) {
        atLastRow = row == sheet.m_bottomRow;
        atLastCol = col == sheet.m_rightCol;
        if (sheet.m_numLockCols > 0 || sheet.m_numLockRows > 0) {
            int toCol = col;
            if (sheet.m_focusCol >= sheet.m_numLockCols && col < sheet.m_numLockCols)
                toCol = sheet.m_focusCol - 1;
            m_ctrl->MoveCurrentColumnTo(toCol);
            int toRow = row;
            if (sheet.m_focusRow >= sheet.m_numLockRows && row < sheet.m_numLockRows)
                toRow = sheet.m_focusRow - 1;
            m_ctrl->MoveCurrentRowTo(toRow);
        } else {
            m_ctrl->GotoCell(col, row);
        }
    }
    // One column and/or row per mouse message: the repeat comes from the moves themselves.
    if (point.x < 0)
        m_ctrl->MoveCurrentColumnTo(sheet.m_focusCol - 1);
    else if (point.x > sheet.m_gridWidth || atLastCol)
        m_ctrl->MoveCurrentColumnTo(sheet.m_focusCol + 1);
    if (point.y < 0)
        m_ctrl->MoveCurrentRowTo(sheet.m_focusRow - 1);
    else if (point.y > sheet.m_gridHeight || atLastRow)
        m_ctrl->MoveCurrentRowTo(sheet.m_focusRow + 1);
    SetMouseSource(source_program, 0);
}

BOOL CUGGrid::OnMouseWheel(UINT flags, short delta, CPoint screenPoint)
{
    if (m_ctrl != nullptr && m_GI != nullptr && !m_ctrl->IsEditing()) {
        SetMouseSource(source_wheel, flags);
        const int notches = delta / WHEEL_DELTA;
        if (notches != 0)
            m_ctrl->SetTopRow(m_GI->m_topRow - notches * 3);
        if (m_ctrl->m_CUGSideHdg != nullptr && m_ctrl->m_CUGSideHdg->GetSafeHwnd() != nullptr)
            m_ctrl->m_CUGSideHdg->InvalidateRect(nullptr, TRUE);
        SetMouseSource(source_program, 0);
    }
    return CWnd::OnMouseWheel(flags, delta, screenPoint);
}

// ---- Keys ----

void CUGGrid::OnKeyDown(UINT key, UINT, UINT)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    CUGGridInfo& sheet = *m_GI;
    SetMouseSource(source_program, 0);
    const int col = sheet.m_currentCol;
    const int row = sheet.m_currentRow;
    const int processed = m_ctrl->GetCellTypeAt(col, row)->OnKeyDown(col, row, &key);
    m_ctrl->OnKeyPressed(&key, processed);
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        MoveByArrow(key);
        break;
    case VK_PRIOR:
        MoveByPage(false);
        break;
    case VK_NEXT:
        MoveByPage(true);
        break;
    case VK_HOME:
        if (key_down(VK_CONTROL))
            m_ctrl->MoveCurrentRowTo(0);
        else
            m_ctrl->MoveCurrentColumnTo(0);
        break;
    case VK_END:
        if (key_down(VK_CONTROL))
            m_ctrl->MoveCurrentRowTo(sheet.m_numberRows - 1);
        else
            m_ctrl->MoveCurrentColumnTo(sheet.m_numberCols - 1);
        break;
    default:
        break;
    }
}

void CUGGrid::MoveByArrow(UINT key)
{
    CUGGridInfo& sheet = *m_GI;
    const bool backward = key == VK_LEFT || key == VK_UP;
    const bool columns = key == VK_LEFT || key == VK_RIGHT;
    int step = 1;
    int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
    if (sheet.m_enableJoins != 0 && !backward &&
        join_of(*m_ctrl, sheet.m_currentCol, sheet.m_currentRow, &originCol, &originRow, &lastCol, &lastRow))
        step += columns ? lastCol - sheet.m_currentCol : lastRow - sheet.m_currentRow;
    int toCol = sheet.m_focusCol;
    int toRow = sheet.m_focusRow;
    if (columns) {
        toCol += backward ? -1 : step;
        // A column of width 0 is not drawn: the current cell there would show nowhere. With no
        // drawn column beyond it the cell stays.
        const auto hidden = [&sheet](int col) {
            return col >= 0 && col < sheet.m_numberCols && UGColumnWidth(sheet, col) <= 0;
        };
        if (hidden(toCol)) {
            while (hidden(toCol))
                toCol += backward ? -1 : 1;
            if (toCol < 0 || toCol >= sheet.m_numberCols)
                return;
        }
    } else {
        toRow += backward ? -1 : step;
    }
    if (sheet.m_enableJoins != 0 && join_of(*m_ctrl, toCol, toRow, &originCol, &originRow, &lastCol, &lastRow) &&
        (backward || originCol != toCol || originRow != toRow)) {
        m_ctrl->GotoCell(originCol, originRow);
        return;
    }
    if (columns)
        m_ctrl->MoveCurrentColumnTo(toCol);
    else
        m_ctrl->MoveCurrentRowTo(toRow);
}

void CUGGrid::MoveByPage(bool down)
{
    CUGGridInfo& sheet = *m_GI;
    int room = sheet.m_gridHeight - sheet.m_lockRowHeight;
    int row = sheet.m_focusRow;
    if (room >= 0) {
        // Rows beyond the sheet count with the uniform height, at least a pixel, so the walk
        // always ends.
        const int outsideHeight = std::max(sheet.m_defRowHeight, 1);
        for (;;) {
            const bool inside = row >= 0 && row < sheet.m_numberRows;
            room -= inside ? UGRowHeight(sheet, row) : outsideHeight;
            if (room < 0)
                break;
            row += down ? 1 : -1;
        }
    }
    m_ctrl->MoveCurrentRowTo(row);
}

void CUGGrid::OnKeyUp(UINT key, UINT, UINT)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    const int col = m_GI->m_currentCol;
    const int row = m_GI->m_currentRow;
    const int processed = m_ctrl->GetCellTypeAt(col, row)->OnKeyUp(col, row, &key);
    m_ctrl->OnKeyReleased(&key, processed);
}

void CUGGrid::OnChar(UINT character, UINT, UINT)
{
    if (m_ctrl == nullptr || m_GI == nullptr)
        return;
    const int col = m_GI->m_currentCol;
    const int row = m_GI->m_currentRow;
    const int processed = m_ctrl->GetCellTypeAt(col, row)->OnCharDown(col, row, &character);
    m_ctrl->OnCharPressed(&character, processed);
}

// ---- Tool tips ----

INT_PTR CUGGrid::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    int col = -1, row = -1;
    if (!CellAt(point, &col, &row, nullptr))
        return -1;
    return UGTipHitTest(this, col, row, nullptr, &tip_col, &tip_row, info);
}

BOOL CUGGrid::OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (header == nullptr || header->code != TTN_NEEDTEXT || m_ctrl == nullptr)
        return CWnd::OnNotify(wparam, lparam, result);
    // Kept for the life of the program: the tip reads the text after this returns.
    static CString tipText;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    int col = -1, row = -1;
    // Below the last row or right of the last column there is no cell to ask about.
    const bool hasText = CellAt(cursor, &col, &row, nullptr) && m_ctrl->GetCellTipText(col, row, UG_GRID, &tipText) == 1;
    return UGAnswerTipRequest(lparam, hasText, tipText, result);
}
