#include "grid/UGCtrl.h"

#include "grid/UGCnrBtn.h"
#include "grid/UGDataSource.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHScroll.h"
#include "grid/UGHint.h"
#include "grid/UGMem.h"
#include "grid/UGMultiSelect.h"
#include "grid/UGPrint.h"
#include "grid/UGPtrList.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTab.h"
#include "grid/UGTheme.h"
#include "grid/UGTopHdg.h"
#include "grid/UGVScroll.h"

#include "platform/base/dc.h"
#include "platform/base/modal.h"
#include "platform/base/system_services.h"

#include <cstring>

const UINT UG_FINDREPLACE_MESSAGE = RegisterWindowMessageA(FINDMSGSTRING);

// Declared in the order opposite to their going: the lists go first, then the cell area, the
// headings, the scroll bars, the hint, the tab bar and the printer.
struct CUGCtrl::owned_parts {
    CUGPrint print;
    CUGTab tab;
    CUGHint hint;
    CUGHScroll hScroll;
    CUGVScroll vScroll;
    CUGCnrBtn cornerButton;
    CUGSideHdg sideHeading;
    CUGTopHdg topHeading;
    CUGGrid grid;
    CUGPtrList cellTypes;
    CUGPtrList fonts;
};

CUGCtrl::CUGCtrl() : m_parts(std::make_unique<owned_parts>())
{
    m_fontList = &m_parts->fonts;
    m_cellTypeList = &m_parts->cellTypes;
    m_CUGPrint = &m_parts->print;
    m_menu.CreatePopupMenu();

    m_CUGGrid = &m_parts->grid;
    m_CUGTopHdg = &m_parts->topHeading;
    m_CUGSideHdg = &m_parts->sideHeading;
    m_CUGCnrBtn = &m_parts->cornerButton;
    m_CUGVScroll = &m_parts->vScroll;
    m_CUGHScroll = &m_parts->hScroll;
    m_CUGHint = &m_parts->hint;
    m_CUGTab = &m_parts->tab;

    m_editCtrl.SetAutoSize(1);
    m_editCtrl.SetGrid(this);
    m_maskedEditCtrl.SetGrid(this);
    m_threeDLightPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
    m_threeDDarkPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    m_dropTarget.SetGrid(this);

    ResetSheets();

    CUGCellType* builtIn[] = {&m_normalCellType, &m_dropListType, &m_checkBoxType, &m_arrowType};
    for (CUGCellType* type : builtIn) {
        type->SetID(m_cellTypeList->AddPointer(type));
        type->SetGrid(this);
    }
    m_enableUpdate = 1;
    m_findDialog = nullptr;
    m_findInAllCols = 0;
}

CUGCtrl::~CUGCtrl()
{
    for (int index = 0; index < m_fontList->GetMaxCount(); ++index)
        delete static_cast<CFont*>(m_fontList->GetPointer(index));
    // The parts go before the sheets they read.
    m_parts.reset();

    for (int sheet = 0; sheet < m_numberSheets; ++sheet)
        delete m_GIList[sheet];
    delete[] m_GIList;
    delete[] m_dataSrcList;
}

void CUGCtrl::HandSheetToParts()
{
    m_CUGGrid->SetGrid(this, m_GI);
    m_CUGTopHdg->SetGrid(this, m_GI);
    m_CUGSideHdg->SetGrid(this, m_GI);
    m_CUGCnrBtn->SetGrid(this, m_GI);
    m_CUGVScroll->SetGrid(this, m_GI);
    m_CUGHScroll->SetGrid(this, m_GI);
    m_CUGTab->SetGrid(this, m_GI);
    m_CUGHint->SetGrid(this);
    m_CUGPrint->SetGrid(this, m_GI);
}

int CUGCtrl::ResetSheets()
{
    CUGGridInfo* previous = m_GI;
    for (int sheet = 1; sheet < m_numberSheets; ++sheet) {
        if (m_GIList[sheet] == previous)
            previous = nullptr;
        delete m_GIList[sheet];
    }
    const bool made = m_numberSheets == 0;
    if (made) {
        m_GIList = new CUGGridInfo*[1];
        m_GIList[0] = new CUGGridInfo;
    }
    m_numberSheets = 1;

    CUGGridInfo* sheet = m_GIList[0];
    m_GI = sheet;
    HandSheetToParts();
    if (sheet->m_multiSelect == nullptr)
        sheet->SetMultiSelect(std::make_unique<CUGMultiSelect>());
    sheet->m_multiSelect->SetGrid(this, sheet);
    sheet->m_CUGMem->m_ctrl = this;
    sheet->m_CUGMem->SetCellComparer(
        [this](CUGCell* first, CUGCell* second, int flags) { return CompareCells(first, second, flags); });
    sheet->m_editCtrl = &m_editCtrl;
    sheet->m_maskedEditCtrl = &m_maskedEditCtrl;
    if (made)
        OnSheetSetup(0);
    sheet->m_sheetReady = 1;

    m_GI = previous != nullptr ? previous : sheet;
    HandSheetToParts();
    if (m_currentSheet >= 1)
        SelectFirstSheet();
    return 0;
}

int CUGCtrl::SelectFirstSheet()
{
    if (m_numberSheets < 1)
        return 1;
    if (m_CUGGrid->GetSafeHwnd() != nullptr)
        m_CUGGrid->SetFocus();
    const int tabWidth = m_GI != nullptr ? m_GI->m_tabWidth : 0;
    m_GI = m_GIList[0];
    m_GI->m_tabWidth = tabWidth;
    HandSheetToParts();
    m_currentSheet = 0;
    m_GI->m_lastTopRow = -1;
    m_GI->m_lastLeftCol = -1;
    RecalcPartLayout();
    return 0;
}

int CUGCtrl::AttachToDialogControl(CWnd* parent)
{
    if (!SubclassDlgItem(UG_PLACEHOLDER_ID, parent))
        return 0;
    ModifyStyle(0, WS_CLIPCHILDREN | WS_TABSTOP);

    if (parent != nullptr) {
        LOGFONTA font{};
        HFONT parentFont = reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT));
        if (parentFont != nullptr)
            GetObjectA(parentFont, sizeof(font), &font);
        const int index = AddFontIndirect(&font);
        if (index >= 0)
            m_GI->m_defFont = GetFont(index);
        font.lfWeight += 200;
        const int boldIndex = AddFontIndirect(&font);
        CUGCell headings;
        CUGCell::CopySetPropertiesTo(0, m_GI->m_hdgDefaults, &headings);
        headings.SetFont(GetFont(boldIndex));
        CUGCell::CopySetPropertiesTo(0, &headings, m_GI->m_hdgDefaults);
    }

    CreateChildWindows();
    if ((GetExStyle() & WS_EX_RTLREADING) != 0)
        ToggleRightToLeft();
    OnGridCreated();
    OnSheetSetup(0);
    m_GI->m_sheetReady = 1;
    RecalcPartLayout();
    return 1;
}

int CUGCtrl::CreateChildWindows()
{
    const CRect empty(0, 0, 0, 0);
    const DWORD style = WS_CHILD | WS_VISIBLE;
    m_CUGGrid->Create(nullptr, "", style, empty, this, UG_GRID);
    m_CUGTopHdg->Create(nullptr, "", style, empty, this, UG_TOPHEADING);
    m_CUGSideHdg->Create(nullptr, "", style, empty, this, UG_SIDEHEADING);
    m_CUGCnrBtn->Create(nullptr, "", style, empty, this, UG_CORNERBUTTON);
    m_CUGTab->Create(nullptr, "", style, empty, this, UG_TAB);
    m_CUGVScroll->Create(style | SBS_VERT, empty, this, UG_VSCROLL);
    m_CUGHScroll->Create(style, empty, this, UG_HSCROLL);
    m_CUGHint->Create(this);
    m_editCtrl.Create(WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL, empty, this, UG_EDIT_ID);
    m_maskedEditCtrl.Create(WS_CHILD | ES_AUTOHSCROLL, empty, this, UG_MASKEDEDIT_ID);
    return 0;
}

int CUGCtrl::AddFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                     BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                     BYTE quality, BYTE pitchAndFamily, const char* faceName)
{
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;
    font.lfCharSet = charSet;
    font.lfOutPrecision = outPrecision;
    font.lfClipPrecision = clipPrecision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitchAndFamily;
    if (faceName != nullptr && std::strlen(faceName) < LF_FACESIZE)
        std::strcpy(font.lfFaceName, faceName);
    return AddFontIndirect(&font);
}

int CUGCtrl::AddFontIndirect(const LOGFONTA* font)
{
    if (font == nullptr)
        return -1;
    for (int index = 0; index < m_fontList->GetMaxCount(); ++index) {
        CFont* existing = static_cast<CFont*>(m_fontList->GetPointer(index));
        if (existing == nullptr)
            continue;
        LOGFONTA known{};
        existing->GetObject(sizeof(known), &known);
        if (std::memcmp(&known, font, offsetof(LOGFONTA, lfFaceName)) == 0 &&
            std::strncmp(known.lfFaceName, font->lfFaceName, LF_FACESIZE) == 0) {
            m_fontList->SetParam(index, m_fontList->GetParam(index) + 1);
            return index;
        }
    }
    CFont* created = new CFont;
    created->CreateFontIndirect(font);
    const int index = m_fontList->AddPointer(created);
    if (index < 0)
        delete created;
    return index;
}

CFont* CUGCtrl::GetFont(int index) const { return static_cast<CFont*>(m_fontList->GetPointer(index)); }

int CUGCtrl::ToggleRightToLeft()
{
    if ((GetExStyle() & WS_EX_LAYOUTRTL) != 0)
        return 1;
    CWnd* windows[] = {this, m_CUGGrid, m_CUGTopHdg, m_CUGSideHdg, m_CUGCnrBtn, m_CUGTab};
    for (CWnd* window : windows) {
        window->SetWindowLong(GWL_EXSTYLE,
                              static_cast<LONG>(window->GetWindowLong(GWL_EXSTYLE) ^ static_cast<LONG>(WS_EX_LAYOUTRTL)));
        window->InvalidateRect(nullptr, TRUE);
    }
    return 0;
}

int CUGCtrl::ShowPopupMenu(int col, int row, POINT* screenPoint, int section)
{
    if (m_GI->m_enablePopupMenu == 0)
        return 1;
    if (section != UG_TAB && m_GI->m_enableJoins != 0) {
        int originCol = col, originRow = row, lastCol = 0, lastRow = 0;
        if (JoinOrigin(col, row, &originCol, &originRow, &lastCol, &lastRow)) {
            col = originCol;
            row = originRow;
        }
    }
    if (AllowPopupMenu(col, row, section) == 0)
        return 2;
    m_menuCol = col;
    m_menuRow = row;
    m_menuSection = section;
    if (m_menu.GetSafeHmenu() == nullptr)
        return 3;
    const POINT at = screenPoint != nullptr ? *screenPoint : POINT{0, 0};
    // The platform's menu answers FALSE also when the user chose nothing, which is no failure.
    m_menu.TrackPopupMenu(TPM_RIGHTBUTTON, at.x, at.y, this);
    return 0;
}

CScrollBar* CUGCtrl::GetScrollBarCtrl(int bar) const
{
    if (bar == SB_HORZ)
        return m_CUGHScroll;
    return m_CUGVScroll;
}

BOOL CUGCtrl::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(create);
}

BOOL CUGCtrl::OnCommand(WPARAM wparam, LPARAM lparam)
{
    const int command = LOWORD(wparam);
    if (command >= 1000)
        OnMenuCommand(m_menuCol, m_menuRow, m_menuSection, command);
    return CWnd::OnCommand(wparam, lparam);
}

LRESULT CUGCtrl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == UG_FINDREPLACE_MESSAGE)
        return OnFindReplace(wparam, lparam);
    if (message == UG_CELLTYPE_MESSAGE)
        return OnCellTypeMessage(wparam, lparam);
    return CWnd::WindowProc(message, wparam, lparam);
}

void CUGCtrl::OnSize(UINT type, int width, int height)
{
    CWnd::OnSize(type, width, height);
    InvalidateRect(nullptr, TRUE);
    m_enableUpdate = 0;
    RecalcPartLayout();
    m_enableUpdate = 1;
}

int CUGCtrl::OnCreate(LPCREATESTRUCT create)
{
    if (CWnd::OnCreate(create) == -1)
        return -1;
    CreateChildWindows();
    return 0;
}

void CUGCtrl::OnDestroy()
{
    CWnd::OnDestroy();
    if (m_CUGHint->GetSafeHwnd() != nullptr)
        m_CUGHint->DestroyWindow();
}

void CUGCtrl::OnPaint()
{
    if (m_GI->m_sheetReady == 0) {
        CWnd::OnPaint();
        return;
    }
    CPaintDC dc(this);
    ValidateRect(nullptr);
    CRect client;
    GetClientRect(&client);
    CRect square(client.right - m_GI->m_vScrollWidth, client.bottom - m_GI->m_hScrollHeight, client.right,
                 client.bottom);
    if (!(CUGThemes::UseThemes() &&
          CUGThemes::DrawThemedBackground(dc.GetSafeHdc(), UGTHEME_HEADING_DEFAULT, UGTHEME_STATE_NORMAL, &square))) {
        CBrush brush(GetSysColor(COLOR_BTNFACE));
        dc.FillRect(&square, &brush);
    }
    RecalcPartLayout();
}

void CUGCtrl::OnSetFocus(CWnd*)
{
    if (m_CUGGrid->GetSafeHwnd() == nullptr)
        return;
    m_CUGGrid->SetFocus();
    m_CUGGrid->InvalidateRect(nullptr, TRUE);
    m_CUGGrid->UpdateWindow();
}

void CUGCtrl::OnSysColorChange()
{
    CWnd::OnSysColorChange();
    for (int index = 0; index < m_cellTypeList->GetMaxCount(); ++index) {
        auto* type = static_cast<CUGCellType*>(m_cellTypeList->GetPointer(index));
        if (type != nullptr)
            type->OnSystemColorChange();
    }
    m_GI->m_hdgDefaults->SetBackColor(GetSysColor(COLOR_BTNFACE));
    m_threeDLightPen.DeleteObject();
    m_threeDLightPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
    m_threeDDarkPen.DeleteObject();
    m_threeDDarkPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
}

void CUGCtrl::OnHScroll(UINT code, UINT position, CScrollBar*) { m_CUGHScroll->HScroll(code, position); }
void CUGCtrl::OnVScroll(UINT code, UINT position, CScrollBar*) { m_CUGVScroll->VScroll(code, position); }
UINT CUGCtrl::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTALLKEYS; }
BOOL CUGCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CUGCtrl::OnCellTypeMessage(WPARAM index, LPARAM data)
{
    const int slot = static_cast<int>(index);
    if (slot >= 1 && slot < m_cellTypeList->GetMaxCount()) {
        auto* type = static_cast<CUGCellType*>(m_cellTypeList->GetPointer(slot));
        if (type != nullptr)
            return type->OnMessage(data);
    }
    return m_normalCellType.OnMessage(data);
}

LRESULT CUGCtrl::OnFindReplace(WPARAM, LPARAM)
{
    if (m_findDialog == nullptr)
        return 1;
    if (m_findDialog->IsTerminating()) {
        m_findDialog = nullptr;
        InvalidateRect(nullptr, TRUE);
        return 1;
    }
    int col = m_GI->m_focusCol;
    int row = m_GI->m_focusRow;
    CString findText = m_findDialog->GetFindString();
    const CString replaceText = m_findDialog->GetReplaceString();
    int flags = 0;
    if (!m_findDialog->MatchWholeWord())
        flags |= 1;
    if (!m_findDialog->MatchCase())
        flags |= 2;
    if (!m_findDialog->SearchDown())
        flags |= 4;
    if (m_findInAllCols != 0)
        flags |= 8;

    auto matches = [&](int atCol, int atRow) {
        CString cellText = GetCellText(atCol, atRow) != nullptr ? GetCellText(atCol, atRow) : "";
        CString wanted = findText;
        if ((flags & 2) != 0) {
            cellText.MakeUpper();
            wanted.MakeUpper();
        }
        return (flags & 1) != 0 ? cellText.Find(wanted) >= 0 : cellText == wanted;
    };
    if (m_findDialog->ReplaceCurrent() && matches(col, row)) {
        SetCellTextAt(col, row, replaceText);
        RepaintCellAt(col, row);
    }

    auto gridColumn = [this](int sourceCol) {
        for (int index = 0; index < m_GI->m_numberCols; ++index)
            if (m_GI->m_colInfo[index].colTranslation == sourceCol)
                return index;
        return sourceCol;
    };
    int sourceCol = ColumnTranslation(col);
    if (m_GI->m_defDataSource->FindNext(&findText, &sourceCol, &row, flags) != 0) {
        MessageBoxA(m_findDialog->window(), "Item not found", "Not Found", MB_OK);
        if (m_findDialog->window() != nullptr)
            m_findDialog->window()->SetFocus();
        return 0;
    }
    col = gridColumn(sourceCol);
    GotoCell(col, row);
    if (m_findDialog->ReplaceAll()) {
        const int firstCol = sourceCol;
        const int firstRow = row;
        do {
            SetCellTextAt(gridColumn(sourceCol), row, replaceText);
            RepaintCellAt(gridColumn(sourceCol), row);
            if (m_GI->m_defDataSource->FindNext(&findText, &sourceCol, &row, flags) != 0)
                break;
        } while (sourceCol != firstCol || row != firstRow);
    }
    return 0;
}
