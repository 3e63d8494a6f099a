#pragma once
// How a cell is drawn and how it answers the mouse and the keyboard. The control owns one
// instance of this base (the default type, index 0) and registers further types by index.

#include "platform/base/framework_objects.h"
#include "platform/base/geometry.h"
#include "platform/base/guid.h"
#include "platform/base/win_types.h"

class CBitmap;
class CDC;
class CUGCell;
class CUGCtrl;
class CUGGridInfo;

// The sheet fields the cell drawing reads, by name. A null sheet answers the defaults of a new
// sheet, with overflow and grid lines off.
bool UGSheetOverflowEnabled(const CUGGridInfo* sheet);
bool UGSheetDrawsGridLines(const CUGGridInfo* sheet);
// The current cell takes the highlight colours (bit 2 of the current-cell mode).
bool UGSheetHighlightsCurrentCell(const CUGGridInfo* sheet);
int UGSheetThreeDBorderWidth(const CUGGridInfo* sheet);
int UGSheetTextMargin(const CUGGridInfo* sheet);

// Whether a cell's text may continue over empty neighbours: no extended style, not joined,
// left-aligned, and a type that lets text overflow.
bool UGCellQualifiesForOverflow(const CUGCell* cell, int typeCanOverflow);

class CUGCellType : public CObject {
public:
    CUGCellType() = default;
    ~CUGCellType() override = default;
    CUGCellType(const CUGCellType&) = delete;
    CUGCellType& operator=(const CUGCellType&) = delete;

    virtual int DrawBitmap(CDC* dc, CBitmap* bitmap, RECT* rect, COLORREF back);
    virtual void DrawBorder(CDC* dc, RECT* rect, RECT* inner, CUGCell* cell);
    virtual void DrawText(CDC* dc, RECT* rect, int offset, int col, long row, CUGCell* cell, int selected,
                          int current);
    virtual void DrawBackground(CDC* dc, RECT* rect, COLORREF back, long row, int col, CUGCell* cell, int current,
                                int selected);
    virtual int GetOverflowOffset(CDC* dc, int col, long row, int* sourceCol, CUGCell* sourceCell);
    virtual const char* GetName();
    virtual const GUID* GetTypeId();
    virtual int GetEditArea(RECT* rect);

    virtual int OnLClicked(int col, long row, int down, RECT* rect, POINT* point);
    virtual int OnRClicked(int col, long row, int down, RECT* rect, POINT* point);
    virtual int OnDClicked(int col, long row, RECT* rect, POINT* point);
    virtual int OnKeyDown(int col, long row, UINT* key);
    virtual int OnKeyUp(int col, long row, UINT* key);
    virtual int OnCharDown(int col, long row, UINT* character);
    virtual int OnMouseMove(int col, long row, POINT* point, UINT keyFlags);
    virtual void OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current);
    // Nonzero when the type drew the focus frame itself.
    virtual int DrawFocusFrame(CDC* dc, RECT* rect, int col, long row, CUGCell* cell);
    virtual void OnDrawPrinted(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current);
    virtual void OnPrint(CDC* dc, RECT* rect, int col, long row, CUGCell* cell);

    // Focus of the current cell arriving at and leaving a cell of this type.
    virtual void OnSetFocus(int col, long row, CUGCell* cell);
    virtual void OnKillFocus(int col, long row, CUGCell* cell);
    // A column width being set (may change it) and set.
    virtual void OnChangingCellWidth(int col, long row, int* width);
    virtual void OnChangedCellWidth(int col, long row, int* width);
    // A row height set and being set.
    virtual void OnChangedCellHeight(int col, long row, int* height);
    virtual void OnChangingCellHeight(int col, long row, int* height);
    virtual void GetBestSize(CDC* dc, SIZE* size, CUGCell* cell);
    // A cell that entered or left the view, or the focus cell, after the view moved.
    virtual void OnScrolled(int col, long row, CUGCell* cell);
    virtual int OnSystemColorChange();
    virtual int OnMessage(LPARAM data);
    virtual BOOL ForwardToGrid(long typeId, int col, long row, long code, LONG_PTR param);

    void SetGrid(CUGCtrl* grid) { m_ctrl = grid; }
    void SetID(int index) { m_ID = index; }
    int GetID() const { return m_ID; }
    int CanEdit() const { return m_canEdit; }
    int CanOverflow() const { return m_canOverflow; }

protected:
    CUGGridInfo* Sheet() const;
    // The registered type a cell names, else the control's default type (this one without a
    // control).
    CUGCellType* TypeOfCell(const CUGCell* cell);
    // The text a cell shows: its label or its display text, never null.
    const char* ShownText(CUGCell* cell) const;

    bool m_themeChoiceFixed = false;
    bool m_useThemes = true;
    int m_canEdit = 1;
    int m_drawLabelText = 0;
    int m_canOverflow = 1;
    double m_printScale = 1.0;
    CUGCtrl* m_ctrl = nullptr;
    // The index under which the control registered the type.
    int m_ID = -1;
};
