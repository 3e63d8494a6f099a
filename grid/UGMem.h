#pragma once
// The in-memory data source every sheet owns. Storage is sparse: doubly linked rows, each with a
// doubly linked list of cell nodes, and only written positions hold records. Nodes carry no
// index; two cursors carry the index of the node they stand on, so sequential access is one
// step and random access walks from the cursor.

#include "grid/UGDataSource.h"

#include <functional>

class CUGGridInfo;

class CUGMem : public CUGDataSource {
public:
    // The sort order; the control hands in its own cell comparison.
    using CellComparer = std::function<int(CUGCell* first, CUGCell* second, int flags)>;

    CUGMem() = default;
    ~CUGMem() override;

    // The sheet whose column records and counts bound searches and follow column inserts and
    // removals.
    void SetSheet(CUGGridInfo* sheet) { m_sheet = sheet; }
    void SetCellComparer(CellComparer compare) { m_compareCells = std::move(compare); }

    int GetNumRows() override;
    int InsertRow(int row) override;
    int InsertColumn(int col) override;
    int RemoveRow(int row) override;
    int RemoveColumn(int col) override;
    int RemoveCell(int col, int row) override;
    int RemoveAll() override;
    int ReadCell(int col, int row, CUGCell* cell) override;
    int WriteCell(int col, int row, CUGCell* cell) override;
    int FindFirst(CString* text, int* col, int* row, int flags) override;
    int FindNext(CString* text, int* col, int* row, int flags) override;
    int SortBy(int* cols, int count, int flags) override;
    int SortByColumn(int col, int flags) override;
    int GetPrevNonBlankCol(int* col, int row) override;

private:
    struct CellNode {
        CUGCell* cell = nullptr;
        CellNode* next = nullptr;
        CellNode* prev = nullptr;
    };
    struct RowNode {
        CellNode* firstCell = nullptr;  // the node of column 0
        RowNode* next = nullptr;
        RowNode* prev = nullptr;
    };

    RowNode* FindRow(int row);
    RowNode* GetOrCreateRow(int row);
    CellNode* FindCell(int col);
    CellNode* GetOrCreateCell(int col);
    void SetRowCursor(RowNode* node, int index);
    bool MoveToFirstRow();
    CUGCell* StoredCell(int col, int row);
    int StorageColumn(int col) const;
    void ShiftColumnTranslations(int fromColumn, int delta);
    static void DeleteCells(RowNode* row, bool releaseAttached);

    CUGGridInfo* m_sheet = nullptr;
    CellComparer m_compareCells;

    int m_rowIndex = 0;
    RowNode* m_rowNode = nullptr;
    int m_colIndex = 0;
    CellNode* m_cellNode = nullptr;
    int m_findCol = 0;
    int m_findRow = 0;
};
