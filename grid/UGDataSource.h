#pragma once
// The interface through which the grid reads and writes cells. Every operation has a default
// that a derived source may keep: -1 means the source does not provide the operation, and the
// Allow* questions allow.

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CUGCell;
class CUGCtrl;
class CWnd;

class CUGDataSource {
public:
    CUGDataSource() = default;
    virtual ~CUGDataSource() = default;
    CUGDataSource(const CUGDataSource&) = delete;
    CUGDataSource& operator=(const CUGDataSource&) = delete;

    virtual int GetNumRows();
    virtual int ColumnNameAt(int col, CString* name);
    virtual int ColumnTypeAt(int col, int* type);

    virtual int InsertRow(int row);
    virtual int InsertColumn(int col);
    virtual int RemoveRow(int row);
    virtual int RemoveColumn(int col);
    virtual int RemoveCell(int col, int row);
    virtual int RemoveAll();

    // 0 found (the stored record merged into cell), 1 nothing stored there.
    virtual int ReadCell(int col, int row, CUGCell* cell);
    virtual int WriteCell(int col, int row, CUGCell* cell);

    virtual int FindFirst(CString* text, int* col, int* row, int flags);
    virtual int FindNext(CString* text, int* col, int* row, int flags);
    virtual int SortBy(int* cols, int count, int flags);
    virtual int SortByColumn(int col, int flags);

    virtual int OnMovePastEnd(int rowCount, int rowsAsked, int* rowsAdded);
    virtual void OnRowChange(int oldRow, int newRow);
    virtual void OnColumnChange(int oldCol, int newCol);

    virtual int AllowCellMove(int oldCol, int oldRow, int newCol, int newRow);
    virtual int AllowEditStart(int col, int row, CWnd** edit);
    virtual int AllowEditKey(int col, int row, CWnd* edit, UINT* key);
    virtual int AllowEditFinish(int col, int row, CWnd* edit, const char* text, int cancelled);
    virtual int AllowEditContinue(int col, int row, int* nextCol, int* nextRow);

    virtual int GetPrevNonBlankCol(int* col, int row);

    // Set by the control when it registers the source (or makes it a sheet's own source).
    CUGCtrl* m_ctrl = nullptr;
    int m_ID = -1;
};
