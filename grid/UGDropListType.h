#pragma once
// The drop-list cell type: a button at the cell's right edge opens a list of the label's items.

#include "grid/UGCellType.h"

#include "platform/base/framework_objects.h"
#include "platform/base/gdi_objects.h"

class CUGLstBox;

// Extended style bit: the button shows on the current cell only.
constexpr int UGCT_DROPLISTHIDEBUTTON = 0x200;

// Notifications to the grid. Before the list opens the parameter is the CArray<CString>* of
// items (which may be changed; 0 cancels); on a choice first the item's index, then its
// CString* (0 vetoes the change); after the cell was stored the same CString*.
constexpr long UGCT_DISPLAYLIST = 100;
constexpr long UGCT_LISTSELECTED = 101;
constexpr long UGCT_LISTSELECTEDINDEX = 102;
constexpr long UGCT_LISTSTORED = 103;

// The control id of the open list.
constexpr int UGCT_LISTBOX_ID = 123;

class CUGDropListType : public CUGCellType {
    friend class CUGLstBox;

public:
    CUGDropListType();
    ~CUGDropListType() override;

    const char* GetName() override;
    const GUID* GetTypeId() override;
    int GetEditArea(RECT* rect) override;
    int OnLClicked(int col, long row, int down, RECT* rect, POINT* point) override;
    int OnDClicked(int col, long row, RECT* rect, POINT* point) override;
    int OnKeyDown(int col, long row, UINT* key) override;
    int OnCharDown(int col, long row, UINT* character) override;
    int OnMouseMove(int col, long row, POINT* point, UINT keyFlags) override;
    void OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current) override;
    void OnKillFocus(int col, long row, CUGCell* cell) override;
    void GetBestSize(CDC* dc, SIZE* size, CUGCell* cell) override;

    // Opens the list for the list cell; 1 when it was open already or was cancelled.
    int ShowDropList();
    // The open list's window, null while closed.
    CUGLstBox* GetListBox() const { return m_listBox; }
    bool IsListOpen() const;
    int GetListCol() const { return m_btnCol; }
    long GetListRow() const { return m_btnRow; }

private:
    bool OnButton(const RECT* rect, const POINT* point) const;
    void RepaintListCell();
    void CloseList();

    int m_btnWidth = 0;
    int m_btnDown = 0;
    RECT m_btnRect{};
    int m_btnCol = -1;
    long m_btnRow = -1;
    CPen m_pen;
    CBrush m_brush;
    CUGLstBox* m_listBox = nullptr;
};
