// The defaults of the control's overridable notifications: do nothing, allow, or a body of
// their own.

#include "grid/UGCtrl.h"

#include "grid/UGCellType.h"
#include "grid/UGGridInfo.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"

#include <cstring>

void CUGCtrl::OnSectionFocus(int) {}
void CUGCtrl::OnGridCreated() {}
void CUGCtrl::OnSheetSetup(int) {}
int CUGCtrl::AllowCurrentCellMove(int, int, int, int) { return 1; }
int CUGCtrl::AllowViewMove(int, int, int, int) { return 1; }
void CUGCtrl::OnMovePastLastRow(int, int, int) {}
int CUGCtrl::AllowColumnSizing(int, int) { return 1; }
void CUGCtrl::OnColumnSizing(int, int*) {}
void CUGCtrl::OnColumnWidthChanging(int, int*) {}
int CUGCtrl::AllowRowSizing(int) { return 1; }
void CUGCtrl::OnRowSizing(int, int*) {}
void CUGCtrl::OnRowHeightChanging(int, int*) {}
int CUGCtrl::AllowTopHeadingSizing() { return 1; }
int CUGCtrl::AllowSideHeadingSizing() { return 1; }
int CUGCtrl::OnTopHeadingSizing(int*, int) { return 1; }
int CUGCtrl::OnSideHeadingSizing(int*, int) { return 1; }
int CUGCtrl::OnTopHeadingSized(int*) { return 1; }
int CUGCtrl::OnSideHeadingSized(int*) { return 1; }
void CUGCtrl::OnColumnChange(int, int) {}
void CUGCtrl::OnRowChange(int, int) {}
void CUGCtrl::OnCellChange(int, int, int, int) {}
void CUGCtrl::OnLeftColumnChange(int, int) {}
void CUGCtrl::OnTopRowChange(int, int) {}
void CUGCtrl::OnViewMoved(int, int, int) {}
void CUGCtrl::OnSelectionChanged(int, int, int, int, int) {}
void CUGCtrl::OnCellLeftButton(int, int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnCellRightButton(int, int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnCellDoubleClick(int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnCellMouseMove(int, int, POINT*, UINT, int) {}
void CUGCtrl::OnColumnHeadingClick(int, int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnColumnHeadingRightButton(int, int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnColumnHeadingDoubleClick(int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnRowHeadingClick(int, int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnRowHeadingRightButton(int, int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnRowHeadingDoubleClick(int, int, RECT*, POINT*, int) {}
void CUGCtrl::OnCornerButtonClick(int, RECT*, POINT*, int) {}
void CUGCtrl::OnCornerButtonRightButton(int, RECT*, POINT*, int) {}
void CUGCtrl::OnCornerButtonDoubleClick(RECT*, POINT*, int) {}
void CUGCtrl::OnKeyPressed(UINT*, int) {}
void CUGCtrl::OnKeyReleased(UINT*, int) {}
void CUGCtrl::OnCharPressed(UINT*, int) {}
void CUGCtrl::OnFetchCell(int, int, CUGCell*) {}
void CUGCtrl::OnCellStored(int, int, CUGCell*) {}
int CUGCtrl::AllowEditStart(int, int, CWnd**) { return 1; }
int CUGCtrl::AllowEditKey(int, int, CWnd*, UINT*) { return 1; }
int CUGCtrl::AllowEditFinish(int, int, CWnd*, const char*, int) { return 1; }
int CUGCtrl::AllowEditContinue(int, int, int*, int*) { return 1; }
void CUGCtrl::OnMenuCommand(int, int, int, int) {}
int CUGCtrl::AllowPopupMenu(int, int, int) { return 1; }
int CUGCtrl::GetHelpContextId(int, int, int) { return 0; }

int CUGCtrl::GetCellTipText(int col, int row, int, CString* text)
{
    if (text != nullptr)
        text->Format("Col:%d Row:%ld", col, static_cast<long>(row));
    return 1;
}

int CUGCtrl::GetRowScrollHintText(int, CString*) { return 1; }
int CUGCtrl::GetColumnScrollHintText(int, CString*) { return 1; }
int CUGCtrl::OnDragEntered(COleDataObject*) { return 0; }
int CUGCtrl::OnDragOverCell(COleDataObject*, int, int) { return 0; }
int CUGCtrl::OnDataDropped(COleDataObject*, int, int) { return 0; }

int CUGCtrl::CompareCells(CUGCell* first, CUGCell* second, int flags)
{
    if (first == nullptr)
        return second == nullptr ? 0 : 1;
    if (second == nullptr)
        return -1;
    if ((flags & 2) != 0)
        std::swap(first, second);
    const short type = first->GetDataType();
    if (first->IsPropertySet(UGCELL_DATATYPE_SET) &&
        (type == UGCELLDATA_NUMBER || type == UGCELLDATA_TEXT_AS_TYPED || type == UGCELLDATA_CURRENCY)) {
        const double a = first->GetNumber();
        const double b = second->GetNumber();
        return a < b ? -1 : a > b ? 1 : 0;
    }
    const char* firstText = first->GetDisplayText();
    const char* secondText = second->GetDisplayText();
    if (firstText == nullptr)
        return 1;
    if (secondText == nullptr)
        return -1;
    const int order = std::strcmp(firstText, secondText);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

void CUGCtrl::OnSectionPaintStart(CDC*, CDC*, int) {}
void CUGCtrl::OnLayoutComputed(RECT*, RECT*, RECT*, RECT*, RECT*, RECT*, RECT*) {}
void CUGCtrl::OnSheetTabSelected(int) {}

COLORREF CUGCtrl::GetSectionBackColor(int section)
{
    return GetSysColor(section == UG_GRID ? COLOR_WINDOW : COLOR_BTNFACE);
}

void CUGCtrl::DrawFocusFrame(CDC* dc, RECT* rect)
{
    if (dc == nullptr || rect == nullptr)
        return;
    const int col = m_GI->m_focusCol;
    const int row = m_GI->m_focusRow;
    CUGCell cell;
    GetCell(col, row, &cell);
    if (GetCellTypeAt(col, row)->DrawFocusFrame(dc, rect, col, row, &cell) != 0)
        return;
    RECT frame = *rect;
    frame.right -= 1;
    frame.bottom -= 1;
    dc->DrawFocusRect(&frame);
}

void CUGCtrl::OnSectionKillFocus(int section, CWnd* newFocus) { OnSectionKillFocusDefault(section, newFocus); }
void CUGCtrl::OnSectionKillFocusDefault(int, CWnd*) {}
int CUGCtrl::AllowColumnDrag(int) { return 1; }
int CUGCtrl::AllowColumnMove(int, int) { return 1; }
void CUGCtrl::OnColumnMoved(int, int) {}
// A cell type goes ahead unless the application says otherwise.
BOOL CUGCtrl::OnCellTypeNotify(long, int, long, long, LONG_PTR) { return TRUE; }
