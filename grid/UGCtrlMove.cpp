// The current cell and the view: moves under the notifications' permissions, the update after a
// move, and in-cell editing.

#include "grid/UGCtrl.h"

#include "grid/UGDataSource.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHScroll.h"
#include "grid/UGLayout.h"
#include "grid/UGMultiSelect.h"
#include "grid/UGPtrList.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTopHdg.h"
#include "grid/UGVScroll.h"

#include "platform/base/dc.h"
#include "platform/base/locale_format.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>

namespace {
bool key_down(int key) { return GetKeyState(key) < 0; }
}  // namespace

int CUGCtrl::GetCurrentColumn() const { return m_GI->m_currentCol; }
int CUGCtrl::GetCurrentRow() const { return m_GI->m_currentRow; }

bool CUGCtrl::JoinOrigin(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow)
{
    if (col < 0 || row < 0 || col >= m_GI->m_numberCols || row >= m_GI->m_numberRows)
        return false;
    return JoinedRangeOf(col, row, originCol, originRow, lastCol, lastRow);
}

bool CUGCtrl::JoinedRangeOf(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow)
{
    CUGCell cell;
    GetCell(col, row, &cell);
    if (!cell.IsPropertySet(UGCELL_JOIN_SET))
        return false;
    // A cell other than the origin points at it; the origin gives the range's span.
    int origin = 0, joinCol = 0, joinRow = 0;
    cell.GetJoinInfo(&origin, &joinCol, &joinRow);
    *originCol = col;
    *originRow = row;
    if (origin == 0) {
        *originCol = col + joinCol;
        *originRow = row + joinRow;
        CUGCell originCell;
        GetCell(*originCol, *originRow, &originCell);
        originCell.GetJoinInfo(&origin, &joinCol, &joinRow);
    }
    *lastCol = *originCol + std::max(joinCol, 0);
    *lastRow = *originRow + std::max(joinRow, 0);
    return true;
}

int CUGCtrl::AdjustRowTarget(int* row)
{
    if (*row >= m_GI->m_numberRows) {
        const int asked = *row - m_GI->m_numberRows + 1;
        int added = 0;
        m_GI->m_defDataSource->OnMovePastEnd(m_GI->m_numberRows, asked, &added);
        OnMovePastLastRow(m_GI->m_numberRows, asked, added);
        if (*row >= m_GI->m_numberRows) {
            if (m_GI->m_currentRow == m_GI->m_numberRows - 1)
                return 1;
            *row = m_GI->m_numberRows - 1;
        }
    }
    if (*row < 0)
        *row = 0;
    int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
    if (m_GI->m_enableJoins == 0 || !JoinOrigin(m_GI->m_currentCol, *row, &originCol, &originRow, &lastCol, &lastRow))
        return 0;
    const int current = m_GI->m_currentRow;
    if (*row <= current) {
        if (current <= lastRow && originRow - 1 >= 1)
            *row = originRow - 1;
    } else if (current >= originRow) {
        if (lastRow + 1 < m_GI->m_numberRows)
            *row = lastRow + 1;
    } else {
        *row = originRow;
    }
    return 0;
}

int CUGCtrl::AdjustColumnTarget(int* col)
{
    if (*col >= m_GI->m_numberCols) {
        if (m_GI->m_currentCol == m_GI->m_numberCols - 1)
            return 1;
        *col = m_GI->m_numberCols - 1;
    }
    if (*col == m_GI->m_currentCol)
        return 0;
    if (*col < 0)
        *col = 0;
    int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
    if (m_GI->m_enableJoins == 0 || !JoinOrigin(*col, m_GI->m_currentRow, &originCol, &originRow, &lastCol, &lastRow))
        return 0;
    const int current = m_GI->m_currentCol;
    if (*col <= current) {
        if (current <= lastCol && originCol - 1 >= 1)
            *col = originCol - 1;
    } else if (current >= originCol) {
        if (lastCol + 1 < m_GI->m_numberCols)
            *col = lastCol + 1;
    } else {
        *col = originCol;
    }
    return 0;
}

int CUGCtrl::MoveCurrentRowTo(int row)
{
    if (m_GI->m_multiSelectMode == 0 && !key_down(VK_SHIFT) && !key_down(VK_CONTROL))
        m_GI->m_multiSelect->GetAnchor(&m_GI->m_currentCol, &m_GI->m_currentRow);
    if (row == m_GI->m_currentRow)
        return 0;
    if (AdjustRowTarget(&row) != 0)
        return 1;
    if (row == m_GI->m_currentRow)
        return 0;
    if (AllowCurrentCellMove(m_GI->m_currentCol, m_GI->m_currentRow, m_GI->m_currentCol, row) == 0)
        return 2;
    const bool visible = row >= m_GI->m_topRow && row < m_GI->m_bottomRow;
    if (!visible && AllowViewMove(m_GI->m_leftCol, m_GI->m_topRow, m_GI->m_leftCol, row) == 0)
        return 2;
    m_GI->m_currentRow = row;
    BringCurrentRowIntoView();
    UpdateAfterMove();
    return 0;
}

int CUGCtrl::MoveCurrentColumnTo(int col)
{
    if (m_GI->m_multiSelectMode == 0 && !key_down(VK_SHIFT) && !key_down(VK_CONTROL))
        m_GI->m_multiSelect->GetAnchor(&m_GI->m_currentCol, &m_GI->m_currentRow);
    if (col == m_GI->m_currentCol)
        return 0;
    if (AdjustColumnTarget(&col) != 0)
        return 1;
    if (col == m_GI->m_currentCol)
        return 0;
    if (m_GI->m_defDataSource->AllowCellMove(m_GI->m_currentCol, m_GI->m_currentRow, col, m_GI->m_currentRow) != 1)
        return 2;
    if (AllowCurrentCellMove(m_GI->m_currentCol, m_GI->m_currentRow, col, m_GI->m_currentRow) == 0)
        return 2;
    const bool visible = col >= m_GI->m_leftCol && col < m_GI->m_rightCol;
    if (!visible && AllowViewMove(m_GI->m_leftCol, m_GI->m_topRow, col, m_GI->m_topRow) == 0)
        return 2;
    m_GI->m_currentCol = col;
    BringCurrentColumnIntoView();
    UpdateAfterMove();
    return 0;
}

int CUGCtrl::GotoCell(int col, int row)
{
    // A cell outside the sheet is no place to move to (the move would leave the current cell
    // pointing at nothing).
    if (col < 0 || row < 0 || col >= m_GI->m_numberCols || row >= m_GI->m_numberRows)
        return 1;
    if (col == m_GI->m_currentCol && row == m_GI->m_currentRow) {
        if (m_GI->m_multiSelectFlag < 1)
            return 0;
        if (key_down(VK_SHIFT)) {
            m_GI->m_multiSelect->ExtendBlock(col, row);
            RepaintAllParts();
        } else if (key_down(VK_CONTROL) && m_GI->m_multiSelectMode == 1) {
            // Ctrl+click on the current cell toggles it like on any other cell.
            m_GI->m_multiSelect->OnLeftPress(col, row, MK_CONTROL);
            RepaintAllParts();
        } else if (m_GI->m_multiSelectMode == 1 || m_GI->m_multiSelectMode == 2) {
            // A press on the current cell selects it as a press on any other cell does: the
            // current cell alone is no selection.
            if (m_GI->m_multiSelectMode == 1)
                m_GI->m_multiSelect->OnLeftPress(col, row, 0);
            else
                m_GI->m_multiSelect->OnRightPress(col, row, 0);
            RepaintAllParts();
        }
        return 0;
    }
    int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
    if (m_GI->m_enableJoins != 0 && JoinOrigin(col, row, &originCol, &originRow, &lastCol, &lastRow)) {
        col = originCol;
        row = originRow;
    }
    if (m_GI->m_defDataSource->AllowCellMove(m_GI->m_focusCol, m_GI->m_focusRow, col, row) != 1)
        return 2;
    if (AllowCurrentCellMove(m_GI->m_focusCol, m_GI->m_focusRow, col, row) == 0)
        return 2;
    const bool visible =
        col >= m_GI->m_leftCol && col < m_GI->m_rightCol && row >= m_GI->m_topRow && row < m_GI->m_bottomRow;
    if (!visible && AllowViewMove(m_GI->m_leftCol, m_GI->m_topRow, col, row) == 0)
        return 2;
    m_GI->m_currentCol = col;
    m_GI->m_currentRow = row;
    BringCurrentColumnIntoView();
    BringCurrentRowIntoView();
    UpdateAfterMove();
    return 0;
}

int CUGCtrl::SetTopRow(int row)
{
    if (row == m_GI->m_topRow)
        return 0;
    if (row > m_GI->m_maxTopRow)
        row = m_GI->m_maxTopRow;
    if (row < m_GI->m_numLockRows)
        row = m_GI->m_numLockRows;
    if (AllowViewMove(m_GI->m_leftCol, m_GI->m_topRow, m_GI->m_leftCol, row) == 0)
        return 2;
    m_GI->m_topRow = row;
    UpdateAfterMove(false);
    return 0;
}

int CUGCtrl::SetLeftColumn(int col)
{
    if (col == m_GI->m_leftCol)
        return 0;
    if (col > m_GI->m_maxLeftCol)
        col = m_GI->m_maxLeftCol;
    if (col < m_GI->m_numLockCols)
        col = m_GI->m_numLockCols;
    if (AllowViewMove(m_GI->m_leftCol, m_GI->m_topRow, col, m_GI->m_topRow) == 0)
        return 2;
    if (col == m_GI->m_leftCol)
        return 0;
    m_GI->m_leftCol = col;
    UpdateAfterMove(false);
    return 0;
}

int CUGCtrl::SelectRange(int startCol, int startRow, int endCol, int endRow)
{
    if ((m_GI->m_multiSelectFlag & 3) != 0) {
        m_GI->m_multiSelect->StartBlock(startCol, startRow);
        m_GI->m_multiSelect->ExtendBlock(endCol, endRow);
    }
    m_GI->m_currentCol = endCol;
    m_GI->m_currentRow = endRow;
    m_CUGGrid->AddToRedrawList(startCol, startRow, endCol, endRow);
    if (m_CUGGrid->GetSafeHwnd() != nullptr)
        m_CUGGrid->RedrawChanged();
    return 0;
}

void CUGCtrl::UpdateAfterMove(bool currentCellMoved)
{
    CUGGridInfo* sheet = m_GI;
    if (!currentCellMoved) {
        // Scrolling took the keyboard's path here and collapsed a range to one row.
    } else if (sheet->m_multiSelectFlag == 0 || m_editInProgress != 0) {
        sheet->m_focusCol = sheet->m_currentCol;
        sheet->m_focusRow = sheet->m_currentRow;
    } else {
        const int col = sheet->m_currentCol;
        const int row = sheet->m_currentRow;
        CUGMultiSelect* selection = sheet->m_multiSelect.get();
        switch (sheet->m_multiSelectMode) {
        case 1:
            selection->OnLeftPress(col, row, m_selectKeyFlags);
            break;
        case 2:
            selection->OnRightPress(col, row, m_selectKeyFlags);
            break;
        case 3:
            selection->OnMouseDrag(col, row, m_selectKeyFlags);
            break;
        default:
            selection->OnKeyMove(col, row);
            break;
        }
        sheet->m_focusCol = col;
        sheet->m_focusRow = row;
        selection->GetAnchor(&sheet->m_currentCol, &sheet->m_currentRow);
    }

    const int oldCol = sheet->m_lastFocusCol;
    const int oldRow = sheet->m_lastFocusRow;
    const bool columnChanged = sheet->m_focusCol != oldCol;
    const bool rowChanged = sheet->m_focusRow != oldRow;
    if (columnChanged) {
        sheet->m_defDataSource->OnColumnChange(oldCol, sheet->m_focusCol);
        OnColumnChange(oldCol, sheet->m_focusCol);
    }
    if (rowChanged) {
        sheet->m_defDataSource->OnRowChange(oldRow, sheet->m_focusRow);
        OnRowChange(oldRow, sheet->m_focusRow);
    }
    if (columnChanged || rowChanged)
        OnCellChange(oldCol, sheet->m_focusCol, oldRow, sheet->m_focusRow);
    const bool leftChanged = sheet->m_leftCol != sheet->m_lastLeftCol;
    const bool topChanged = sheet->m_topRow != sheet->m_lastTopRow;
    if (leftChanged)
        OnLeftColumnChange(sheet->m_lastLeftCol, sheet->m_leftCol);
    if (topChanged)
        OnTopRowChange(sheet->m_lastTopRow, sheet->m_topRow);

    if (columnChanged || rowChanged) {
        CUGCell cell;
        if (oldCol >= 0 && oldRow >= 0) {
            GetCell(oldCol, oldRow, &cell);
            GetCellTypeAt(oldCol, oldRow)->OnKillFocus(oldCol, oldRow, &cell);
        }
        if (sheet->m_focusCol >= 0 && sheet->m_focusRow >= 0) {
            cell.ResetProperties();
            GetCell(sheet->m_focusCol, sheet->m_focusRow, &cell);
            GetCellTypeAt(sheet->m_focusCol, sheet->m_focusRow)->OnSetFocus(sheet->m_focusCol, sheet->m_focusRow, &cell);
        }
    }

    if (sheet->m_sheetReady != 0 && GetSafeHwnd() != nullptr) {
        m_CUGGrid->RedrawChanged();
        m_CUGSideHdg->Moved();
        if (leftChanged) {
            m_CUGTopHdg->InvalidateRect(nullptr, TRUE);
            m_CUGTopHdg->UpdateWindow();
        }
        m_CUGVScroll->Update();
        m_CUGHScroll->Update();
    }

    sheet->m_lastTopRow = sheet->m_topRow;
    sheet->m_lastFocusRow = sheet->m_focusRow;
    sheet->m_lastLeftCol = sheet->m_leftCol;
    sheet->m_lastFocusCol = sheet->m_focusCol;

    if ((leftChanged || topChanged) && sheet->m_focusCol >= 0 && sheet->m_focusRow >= 0) {
        CUGCell cell;
        GetCell(sheet->m_focusCol, sheet->m_focusRow, &cell);
        GetCellTypeAt(sheet->m_focusCol, sheet->m_focusRow)->OnScrolled(sheet->m_focusCol, sheet->m_focusRow, &cell);
    }
}

void CUGCtrl::EndEdit()
{
    m_editInProgress = 0;
    m_editCtrlInUse = nullptr;
}

int CUGCtrl::StartEdit(int col, int row)
{
    if (m_editInProgress != 0)
        return 1;
    m_editInProgress = 1;

    int left = 0, top = 0, right = 0, bottom = 0;
    if (m_GI->m_multiSelect->GetNewestBlock(&left, &top, &right, &bottom) == 0) {
        m_GI->m_multiSelect->ClearAll();
        if (left != col || right != col || top != row || bottom != row) {
            m_CUGGrid->AddToRedrawList(left, top, right, bottom);
            if (m_CUGGrid->GetSafeHwnd() != nullptr)
                m_CUGGrid->RedrawChanged();
        }
    }
    m_GI->m_currentCol = m_GI->m_focusCol;
    m_GI->m_currentRow = m_GI->m_focusRow;

    m_editCol = col;
    m_editRow = row;
    if ((col != m_GI->m_focusCol || row != m_GI->m_focusRow) && GotoCell(col, row) != 0) {
        EndEdit();
        return 2;
    }

    m_editCell.ResetProperties();
    GetCell(col, row, &m_editCell);
    CUGCellType* type = &m_normalCellType;
    if (m_editCell.IsPropertySet(UGCELL_CELLTYPE_SET)) {
        auto* registered = static_cast<CUGCellType*>(m_cellTypeList->GetPointer(m_editCell.GetCellType()));
        if (registered != nullptr && m_editCell.GetCellType() > 0)
            type = registered;
    }
    if (type->CanEdit() == 0) {
        EndEdit();
        return 1;
    }

    RECT rect{};
    int rectCol = col;
    int rectRow = row;
    if (col >= 0 && row >= 0) {
        GetCellRect(&rectCol, &rectRow, &rect);
        m_editParent = m_CUGGrid;
    } else if (col >= 0) {
        m_CUGTopHdg->GetCellRect(&rectCol, &rectRow, &rect);
        m_editParent = m_CUGTopHdg;
    } else {
        m_CUGSideHdg->GetCellRect(&rectCol, &rectRow, &rect);
        m_editParent = m_CUGSideHdg;
    }
    rect.right -= 1;
    rect.bottom -= 1;
    type->GetEditArea(&rect);

    if (m_editCell.IsPropertySet(UGCELL_READONLY_SET) && m_editCell.GetReadOnly() != 0) {
        EndEdit();
        return 1;
    }

    CWnd* edit = m_GI->m_editCtrl;
    if (m_editCell.IsPropertySet(UGCELL_MASK_SET)) {
        const bool editReplaced = m_GI->m_editCtrl != &m_editCtrl;
        const bool maskedReplaced = m_GI->m_maskedEditCtrl != &m_maskedEditCtrl;
        edit = editReplaced && !maskedReplaced ? m_GI->m_editCtrl : m_GI->m_maskedEditCtrl;
    }
    if (m_GI->m_defDataSource->AllowEditStart(col, row, &edit) == 0 || AllowEditStart(col, row, &edit) == 0 ||
        edit == nullptr) {
        EndEdit();
        RepaintCellAt(col, row);
        return 1;
    }
    m_editCtrlInUse = edit;

    const char* text = m_editCell.GetDisplayText();
    edit->SetWindowText(text != nullptr ? text : "");
    CFont* font = m_editCell.IsPropertySet(UGCELL_FONT_SET) ? m_editCell.GetFont() : m_GI->m_defFont;
    edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font != nullptr ? static_cast<HFONT>(*font) : nullptr),
                      TRUE);
    if (edit->GetSafeHwnd() != nullptr) {
        edit->SetParent(m_editParent);
        edit->SetWindowPos(&CWnd::wndTop, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0);
        edit->ShowWindow(SW_SHOW);
        edit->SetActiveWindow();
        edit->SetFocus();
    }
    return 0;
}

int CUGCtrl::OnEditFinished(const char* text, int cancelled, int moveOn, int nextCol, int nextRow)
{
    if (m_editInProgress == 0)
        cancelled = 1;
    if (text == nullptr)
        text = "";
    const int col = m_editCol;
    const int row = m_editRow;
    CWnd* edit = m_editCtrlInUse;
    if (m_GI->m_defDataSource->AllowEditFinish(col, row, edit, text, cancelled) != 1 ||
        AllowEditFinish(col, row, edit, text, cancelled) == 0)
        return 0;
    if (edit != nullptr && edit->GetSafeHwnd() != nullptr)
        edit->ShowWindow(SW_HIDE);

    if (cancelled == 0 && m_editInProgress != 0) {
        CUGCell cell;
        GetCell(col, row, &cell);
        const short type = cell.IsPropertySet(UGCELL_DATATYPE_SET) ? cell.GetDataType() : UGCELLDATA_STRING;
        cell.SetTextValue(text);
        const bool hasText = text[0] != '\0';
        switch (type) {
        case UGCELLDATA_NUMBER:
            if (hasText) {
                double number = 0.0;
                const CString shown(text);
                CUGCell::ParseNumber(0, &shown, &number);
                cell.SetNumber(number);
                cell.SetTextValue("");
            }
            break;
        case UGCELLDATA_TIME:
            if (hasText) {
                COleDateTime date;
                const bool parsed = date.ParseDateTime(text, 0, LANG_USER_DEFAULT);
                cell.SetNumber(parsed && date.GetStatus() == COleDateTime::valid ? date.m_dt : 0.0);
            }
            break;
        case UGCELLDATA_CURRENCY:
            if (hasText) {
                COleCurrency amount;
                const bool parsed = amount.ParseCurrency(text, 0, LANG_USER_DEFAULT);
                cell.SetNumber(parsed ? static_cast<double>(amount.m_cur.int64 / 10000) : 0.0);
            }
            break;
        default:
            break;
        }
        if (type >= UGCELLDATA_NUMBER && type <= UGCELLDATA_CURRENCY) {
            cell.SetDataType(type);
            // The converted value is what the cell shows, so its text flag stays set.
            if (hasText)
                cell.SetPropertyFlags(cell.GetPropertyFlags() | UGCELL_TEXT_SET);
        }
        StoreCellAt(col, row, &cell);
    }

    const bool hostedByCells = m_editParent == m_CUGGrid;
    EndEdit();

    if (moveOn != 0 && hostedByCells && m_GI->m_numberCols > 0 && m_GI->m_numberRows > 0) {
        int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
        if (m_GI->m_enableJoins != 0 && JoinOrigin(nextCol, nextRow, &originCol, &originRow, &lastCol, &lastRow)) {
            const bool leavingJoin = col >= originCol && col <= lastCol && row >= originRow && row <= lastRow;
            if (!leavingJoin) {
                nextCol = originCol;
                nextRow = originRow;
            } else if (nextCol > col) {
                nextCol = lastCol + 1;
            } else if (nextRow > row) {
                nextRow = lastRow + 1;
            } else if (nextCol < col) {
                nextCol = originCol - 1;
            } else if (nextRow < row) {
                nextRow = originRow - 1;
            }
        }
        if (nextCol >= m_GI->m_numberCols)
            nextCol = 0;
        else if (nextCol < 0)
            nextCol = m_GI->m_numberCols - 1;
        if (nextRow >= m_GI->m_numberRows)
            nextRow = 0;
        else if (nextRow < 0)
            nextRow = m_GI->m_numberRows - 1;
        if (m_GI->m_defDataSource->AllowEditContinue(col, row, &nextCol, &nextRow) == 1 &&
            AllowEditContinue(col, row, &nextCol, &nextRow) != 0)
            StartEdit(nextCol, nextRow);
        return 1;
    }
    RepaintCellAt(col, row);
    return 1;
}
