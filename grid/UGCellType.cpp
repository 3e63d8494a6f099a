#include "grid/UGCellType.h"

#include "grid/UGCtrl.h"

namespace {
constexpr GUID normal_type_id = {0x5c1d2f40, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x01}};
}

// Drawing, measuring and printing are not done yet: cells of every type show nothing, and a
// measured cell keeps the size it is given.

int CUGCellType::DrawBitmap(CDC*, CBitmap*, RECT*, COLORREF) { return 0; }

void CUGCellType::DrawBorder(CDC*, RECT* rect, RECT* inner, CUGCell*)
{
    if (rect != nullptr && inner != nullptr)
        *inner = *rect;
}

void CUGCellType::DrawText(CDC*, RECT*, int, int, long, CUGCell*, int, int) {}
void CUGCellType::DrawBackground(CDC*, RECT*, COLORREF, long, int, CUGCell*, int, int) {}
int CUGCellType::GetOverflowOffset(CDC*, int, long, int*, CUGCell*) { return 0; }
const char* CUGCellType::GetName() { return "Normal Cell Type (default)"; }
const GUID* CUGCellType::GetTypeId() { return &normal_type_id; }
int CUGCellType::GetEditArea(RECT*) { return 0; }
int CUGCellType::OnLClicked(int, long, int, RECT*, POINT*) { return 0; }
int CUGCellType::OnRClicked(int, long, int, RECT*, POINT*) { return 0; }
int CUGCellType::OnDClicked(int, long, RECT*, POINT*) { return 0; }
int CUGCellType::OnKeyDown(int, long, UINT*) { return 0; }
int CUGCellType::OnKeyUp(int, long, UINT*) { return 0; }
int CUGCellType::OnCharDown(int, long, UINT*) { return 0; }
int CUGCellType::OnMouseMove(int, long, POINT*, UINT) { return 0; }
void CUGCellType::OnDraw(CDC*, RECT*, int, long, CUGCell*, int, int) {}
int CUGCellType::DrawFocusFrame(CDC*, RECT*, int, long, CUGCell*) { return 0; }
void CUGCellType::OnDrawPrinted(CDC*, RECT*, int, long, CUGCell*, int, int) {}
void CUGCellType::OnPrint(CDC*, RECT*, int, long, CUGCell*) {}
void CUGCellType::OnSetFocus(int, long, CUGCell*) {}
void CUGCellType::OnKillFocus(int, long, CUGCell*) {}
void CUGCellType::OnChangingCellWidth(int, long, int*) {}
void CUGCellType::OnChangedCellWidth(int, long, int*) {}
void CUGCellType::OnChangedCellHeight(int, long, int*) {}
void CUGCellType::OnChangingCellHeight(int, long, int*) {}
void CUGCellType::GetBestSize(CDC*, SIZE*, CUGCell*) {}
void CUGCellType::OnScrolled(int, long, CUGCell*) {}
int CUGCellType::OnSystemColorChange() { return 0; }
int CUGCellType::OnMessage(LPARAM) { return 0; }

BOOL CUGCellType::ForwardToGrid(long typeId, int col, long row, long code, LONG_PTR param)
{
    if (m_ctrl == nullptr)
        return FALSE;
    return m_ctrl->OnCellTypeNotify(typeId, col, row, code, param);
}
