#pragma once
// The grid control: a child window that owns the part windows (cell area, headings, corner
// button, scroll bars, sheet tab, hint, two in-cell edits), the fonts, the cell types, the
// registered data sources and the sheets. The part windows report to it through the table of
// overridable notifications at the end of the class.
//
// Results are int codes: 0 done, 1 rejected or a bad argument, 2 refused by a notification or
// by the data source.

#include "grid/UGArrowType.h"
#include "grid/UGCell.h"
#include "grid/UGCellType.h"
#include "grid/UGCheckBoxType.h"
#include "grid/UGDropListType.h"
#include "grid/UGDropTarget.h"
#include "grid/UGEdit.h"
#include "grid/UGMaskedEdit.h"

#include "platform/base/framework_objects.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/logfont.h"
#include "platform/base/menu.h"
#include "platform/base/window.h"

#include <memory>

class CUGCnrBtn;
class CUGDataSource;
class CUGGrid;
class CUGGridInfo;
class CUGHint;
class CUGHScroll;
class CUGPrint;
class CUGPtrList;
class CUGSideHdg;
class CUGTab;
class CUGTopHdg;
class CUGVScroll;

// Section ids of the parts; also their child window ids.
constexpr int UG_GRID = 1;
constexpr int UG_TOPHEADING = 2;
constexpr int UG_SIDEHEADING = 3;
constexpr int UG_CORNERBUTTON = 4;
constexpr int UG_HSCROLL = 5;
constexpr int UG_VSCROLL = 6;
constexpr int UG_TAB = 7;

// The dialog's place-holder control the grid takes over.
constexpr UINT UG_PLACEHOLDER_ID = 1083;
constexpr UINT UG_EDIT_ID = 123;
constexpr UINT UG_MASKEDEDIT_ID = 124;
// Cell types receive their messages through this one.
constexpr UINT UG_CELLTYPE_MESSAGE = WM_USER + 100;

// The identifier of the find-and-replace dialog's registered message.
extern const UINT UG_FINDREPLACE_MESSAGE;

class CUGCtrl : public CWnd {
public:
    CUGCtrl();
    ~CUGCtrl() override;

    // Construction and attachment.
    int AttachToDialogControl(CWnd* parent);
    int CreateChildWindows();
    int ResetSheets();
    int SelectFirstSheet();
    int AddFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                BYTE pitchAndFamily, const char* faceName);
    int AddFontIndirect(const LOGFONTA* font);
    CFont* GetFont(int index) const;
    int ToggleRightToLeft();

    // Layout and painting.
    void RecalcPartLayout();
    void RepaintAllParts();
    int RepaintCellAt(int col, int row);
    void CalcMaxTopRow();
    void CalcMaxLeftColumn();
    void BringCurrentRowIntoView();
    void BringCurrentColumnIntoView();
    int SetLockedColumns(int count);
    int SetLockedRows(int count);
    int SetTopHeadingRowHeight(int row, int height);
    int SetSideHeadingColumnWidth(int col, int width);
    int SetTopHeadingHeight(int height);
    int SetSideHeadingWidth(int width);

    // Geometry, in cell-area coordinates.
    int GetCellAtPoint(int x, int y, int* col, int* row, RECT* rect);
    int GetCellRect(int* col, int* row, RECT* rect);
    int GetRangeRect(int startCol, int startRow, int endCol, int endRow, RECT* rect);

    int ShowPopupMenu(int col, int row, POINT* screenPoint, int section);
    CMenu* GetPopupMenu() { return &m_menu; }
    CScrollBar* GetScrollBarCtrl(int bar) const override;

    // Shape.
    int SetRowCount(int rows);
    int SetColumnCount(int cols);
    int GetRowCount() const;
    int GetColumnCount() const;
    int SetColumnWidthAt(int col, int width);
    int GetColumnWidthAt(int col) const;
    int SetRowHeightAt(int row, int height);
    int GetRowHeightAt(int row) const;
    int RemoveRowAt(int row);
    int MoveColumn(int from, int to);

    // Cells.
    int GetCell(int col, int row, CUGCell* cell);
    int ReadCellFromSource(int col, int row, CUGCell* cell);
    int StoreCellAt(int col, int row, CUGCell* cell);
    const char* GetCellText(int col, int row);
    int SetCellTextAt(int col, int row, const char* text);
    int SetCellBackColorAt(int col, int row, COLORREF color);
    int RegisterDataSource(CUGDataSource* source);
    CUGDataSource* GetDataSource(int index) const;
    int SetTipsEnabled(int enable);
    int PasteText(CString* text);
    // Registers a further cell type; its index, or -1.
    int AddCellType(CUGCellType* type);
    CUGCellType* GetCellTypeAt(int col, int row);
    // The joined range a cell (a heading cell too) belongs to, as the cells' join settings give
    // it, not cut to the sheet; false when the cell is not joined.
    bool JoinedRangeOf(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);

    // Current cell and view.
    int MoveCurrentRowTo(int row);
    int MoveCurrentColumnTo(int col);
    int GotoCell(int col, int row);
    int SetTopRow(int row);
    int SetLeftColumn(int col);
    int SelectRange(int startCol, int startRow, int endCol, int endRow);
    // A move of the view alone (scroll bars, wheel) leaves the selection as it is.
    void UpdateAfterMove(bool currentCellMoved = true);
    int AdjustRowTarget(int* row);
    int AdjustColumnTarget(int* col);
    int GetCurrentColumn() const;
    int GetCurrentRow() const;

    // Editing.
    int StartEdit(int col, int row);
    int OnEditFinished(const char* text, int cancelled, int moveOn, int nextCol, int nextRow);
    bool IsEditing() const { return m_editInProgress != 0; }
    CWnd* GetEditControlInUse() const { return m_editCtrlInUse; }

    // Window messages.
    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnSize(UINT type, int width, int height) override;
    int OnCreate(LPCREATESTRUCT create) override;
    void OnDestroy() override;
    void OnPaint() override;
    void OnSetFocus(CWnd* oldFocus) override;
    void OnSysColorChange() override;
    void OnHScroll(UINT code, UINT position, CScrollBar* bar) override;
    void OnVScroll(UINT code, UINT position, CScrollBar* bar) override;
    UINT OnGetDlgCode() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    LRESULT OnFindReplace(WPARAM wparam, LPARAM lparam);
    LRESULT OnCellTypeMessage(WPARAM index, LPARAM data);

    // The overridable notifications.
    virtual void OnSectionFocus(int section);
    virtual int StretchColumnsToWidth(int firstCol, int lastCol);
    virtual int AutoFitColumns(int firstCol, int lastCol, int rowsToCheck, int flags);
    virtual void OnGridCreated();
    virtual void OnSheetSetup(int sheet);
    virtual int AllowCurrentCellMove(int oldCol, int oldRow, int newCol, int newRow);
    virtual int AllowViewMove(int leftCol, int topRow, int newCol, int newRow);
    virtual void OnMovePastLastRow(int rowCount, int rowsAsked, int rowsAdded);
    virtual int AllowColumnSizing(int col, int nextCol);
    virtual void OnColumnSizing(int col, int* width);
    virtual void OnColumnWidthChanging(int col, int* width);
    virtual int AllowRowSizing(int row);
    virtual void OnRowSizing(int row, int* height);
    virtual void OnRowHeightChanging(int row, int* height);
    virtual int AllowTopHeadingSizing();
    virtual int AllowSideHeadingSizing();
    virtual int OnTopHeadingSizing(int* height, int rowHeight);
    virtual int OnSideHeadingSizing(int* width, int colWidth);
    virtual int OnTopHeadingSized(int* height);
    virtual int OnSideHeadingSized(int* width);
    virtual void OnColumnChange(int oldCol, int newCol);
    virtual void OnRowChange(int oldRow, int newRow);
    virtual void OnCellChange(int oldCol, int newCol, int oldRow, int newRow);
    virtual void OnLeftColumnChange(int oldCol, int newCol);
    virtual void OnTopRowChange(int oldRow, int newRow);
    virtual void OnViewMoved(int section, int oldPosition, int newPosition);
    virtual void OnSelectionChanged(int startCol, int startRow, int endCol, int endRow, int blockCount);
    virtual void OnCellLeftButton(int col, int row, int down, RECT* rect, POINT* point, int processed);
    virtual void OnCellRightButton(int col, int row, int down, RECT* rect, POINT* point, int processed);
    virtual void OnCellDoubleClick(int col, int row, RECT* rect, POINT* point, int processed);
    virtual void OnCellMouseMove(int col, int row, POINT* point, UINT flags, int processed);
    virtual void OnColumnHeadingClick(int col, int row, int down, RECT* rect, POINT* point, int processed);
    virtual void OnColumnHeadingRightButton(int col, int row, int down, RECT* rect, POINT* point, int processed);
    virtual void OnColumnHeadingDoubleClick(int col, int row, RECT* rect, POINT* point, int processed);
    virtual void OnRowHeadingClick(int col, int row, int down, RECT* rect, POINT* point, int processed);
    virtual void OnRowHeadingRightButton(int col, int row, int down, RECT* rect, POINT* point, int processed);
    virtual void OnRowHeadingDoubleClick(int col, int row, RECT* rect, POINT* point, int processed);
    virtual void OnCornerButtonClick(int down, RECT* rect, POINT* point, int processed);
    virtual void OnCornerButtonRightButton(int down, RECT* rect, POINT* point, int processed);
    virtual void OnCornerButtonDoubleClick(RECT* rect, POINT* point, int processed);
    virtual void OnKeyPressed(UINT* key, int processed);
    virtual void OnKeyReleased(UINT* key, int processed);
    virtual void OnCharPressed(UINT* character, int processed);
    virtual void OnFetchCell(int col, int row, CUGCell* cell);
    virtual void OnCellStored(int col, int row, CUGCell* cell);
    virtual int AllowEditStart(int col, int row, CWnd** edit);
    virtual int AllowEditKey(int col, int row, CWnd* edit, UINT* key);
    virtual int AllowEditFinish(int col, int row, CWnd* edit, const char* text, int cancelled);
    virtual int AllowEditContinue(int col, int row, int* nextCol, int* nextRow);
    virtual void OnMenuCommand(int col, int row, int section, int commandId);
    virtual int AllowPopupMenu(int col, int row, int section);
    virtual int GetHelpContextId(int col, int row, int section);
    virtual int GetCellTipText(int col, int row, int section, CString* text);
    virtual int GetRowScrollHintText(int row, CString* text);
    virtual int GetColumnScrollHintText(int col, CString* text);
    virtual int OnDragEntered(COleDataObject* data);
    virtual int OnDragOverCell(COleDataObject* data, int col, int row);
    virtual int OnDataDropped(COleDataObject* data, int col, int row);
    virtual int CompareCells(CUGCell* first, CUGCell* second, int flags);
    virtual void OnSectionPaintStart(CDC* dc, CDC* backBuffer, int section);
    virtual void OnLayoutComputed(RECT* grid, RECT* topHdg, RECT* sideHdg, RECT* cnrBtn, RECT* vScroll,
                                  RECT* hScroll, RECT* tab);
    virtual void OnSheetTabSelected(int tabId);
    virtual COLORREF GetSectionBackColor(int section);
    virtual void DrawFocusFrame(CDC* dc, RECT* rect);
    virtual void OnSectionKillFocus(int section, CWnd* newFocus);
    virtual void OnSectionKillFocusDefault(int section, CWnd* newFocus);
    virtual int AllowColumnDrag(int col);
    virtual int AllowColumnMove(int fromCol, int toCol);
    virtual void OnColumnMoved(int fromCol, int toCol);
    virtual BOOL OnCellTypeNotify(long typeId, int col, long row, long code, LONG_PTR param);

    // The built-in cell types: indexes 0 to 3.
    CUGCellType m_normalCellType;
    CUGDropListType m_dropListType;
    CUGCheckBoxType m_checkBoxType;
    CUGArrowType m_arrowType;

    CUGPtrList* m_fontList = nullptr;
    CUGPtrList* m_cellTypeList = nullptr;
    CUGPrint* m_CUGPrint = nullptr;

    CMenu m_menu;
    int m_menuCol = 0;
    int m_menuRow = 0;
    int m_menuSection = 0;

    // Every read-change-store reuses this record.
    CUGCell m_cell;

    CUGGridInfo** m_GIList = nullptr;
    int m_numberSheets = 0;
    int m_currentSheet = 0;
    CUGGridInfo* m_GI = nullptr;

    CUGGrid* m_CUGGrid = nullptr;
    CUGTopHdg* m_CUGTopHdg = nullptr;
    CUGSideHdg* m_CUGSideHdg = nullptr;
    CUGCnrBtn* m_CUGCnrBtn = nullptr;
    CUGVScroll* m_CUGVScroll = nullptr;
    CUGHScroll* m_CUGHScroll = nullptr;
    CUGHint* m_CUGHint = nullptr;
    CUGTab* m_CUGTab = nullptr;

    int m_enableUpdate = 1;
    int m_tabSizing = 0;

    CUGEdit m_editCtrl;
    CUGMaskedEdit m_maskedEditCtrl;

    int m_editInProgress = 0;
    int m_editCol = 0;
    int m_editRow = 0;
    CWnd* m_editCtrlInUse = nullptr;
    CUGCell m_editCell;
    CWnd* m_editParent = nullptr;

    CPen m_threeDLightPen;
    CPen m_threeDDarkPen;

    COleDataSource m_dataSource;
    CUGDropTarget m_dropTarget;

    CUGDataSource** m_dataSrcList = nullptr;
    int m_dataSrcListLength = 0;
    int m_dataSrcListMaxLength = 0;

    CFindReplaceDialog* m_findDialog = nullptr;
    int m_findInAllCols = 0;

    CWnd* m_trackingWnd = nullptr;

    // The key flags of the mouse message behind the move in progress (MK_ bits); the part
    // windows set them beside the sheet's mouse-event source.
    unsigned m_selectKeyFlags = 0;

private:
    void HandSheetToParts();
    CUGDataSource* ColumnDataSource(int col) const;
    int ColumnTranslation(int col) const;
    void RecomputeLockedWidth();
    void RecomputeLockedHeight();
    // The origin of the joined range the cell belongs to; false when the cell is not joined.
    bool JoinOrigin(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow);
    int FinishMove(bool columns);
    void EndEdit();

    // Owns what the public pointers above name: the part windows, the hint, the tab bar, the
    // printer and the font and cell type lists.
    struct owned_parts;
    std::unique_ptr<owned_parts> m_parts;
};
