#include "grid/UGMem.h"

#include "grid/UGCell.h"
#include "grid/UGGridInfo.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool HasText(const CUGCell* cell)
{
    return cell != nullptr && cell->IsPropertySet(UGCELL_TEXT_SET) && !cell->GetText().IsEmpty();
}

}  // namespace

CUGMem::~CUGMem()
{
    RemoveAll();
}

void CUGMem::SetRowCursor(RowNode* node, int index)
{
    m_rowNode = node;
    m_rowIndex = index;
    m_cellNode = node != nullptr ? node->firstCell : nullptr;
    m_colIndex = 0;
}

CUGMem::RowNode* CUGMem::FindRow(int row)
{
    if (m_rowNode == nullptr)
        return nullptr;
    RowNode* node = m_rowNode;
    int index = m_rowIndex;
    while (index < row && node->next != nullptr) {
        node = node->next;
        ++index;
    }
    while (index > row && node->prev != nullptr) {
        node = node->prev;
        --index;
    }
    if (node != m_rowNode)
        SetRowCursor(node, index);
    return index == row ? node : nullptr;
}

CUGMem::RowNode* CUGMem::GetOrCreateRow(int row)
{
    if (m_rowNode == nullptr)
        SetRowCursor(new RowNode, 0);
    if (FindRow(row) != nullptr)
        return m_rowNode;
    while (m_rowIndex < row) {
        RowNode* node = new RowNode;
        node->prev = m_rowNode;
        m_rowNode->next = node;
        SetRowCursor(node, m_rowIndex + 1);
    }
    while (m_rowIndex > row) {
        RowNode* node = new RowNode;
        node->next = m_rowNode;
        m_rowNode->prev = node;
        SetRowCursor(node, m_rowIndex - 1);
    }
    return m_rowNode;
}

CUGMem::CellNode* CUGMem::FindCell(int col)
{
    if (m_rowNode == nullptr || m_rowNode->firstCell == nullptr)
        return nullptr;
    if (m_cellNode == nullptr) {
        m_cellNode = m_rowNode->firstCell;
        m_colIndex = 0;
    }
    while (m_colIndex < col && m_cellNode->next != nullptr) {
        m_cellNode = m_cellNode->next;
        ++m_colIndex;
    }
    while (m_colIndex > col && m_cellNode->prev != nullptr) {
        m_cellNode = m_cellNode->prev;
        --m_colIndex;
    }
    return m_colIndex == col ? m_cellNode : nullptr;
}

CUGMem::CellNode* CUGMem::GetOrCreateCell(int col)
{
    if (m_rowNode->firstCell == nullptr) {
        m_rowNode->firstCell = new CellNode;
        m_cellNode = m_rowNode->firstCell;
        m_colIndex = 0;
    }
    if (FindCell(col) != nullptr)
        return m_cellNode;
    while (m_colIndex < col) {
        CellNode* node = new CellNode;
        node->prev = m_cellNode;
        m_cellNode->next = node;
        m_cellNode = node;
        ++m_colIndex;
    }
    while (m_colIndex > col) {
        CellNode* node = new CellNode;
        node->next = m_cellNode;
        m_cellNode->prev = node;
        m_cellNode = node;
        --m_colIndex;
    }
    return m_cellNode;
}

bool CUGMem::MoveToFirstRow()
{
    if (m_rowNode == nullptr)
        return false;
    RowNode* node = m_rowNode;
    int index = m_rowIndex;
    while (node->prev != nullptr) {
        node = node->prev;
        --index;
    }
    SetRowCursor(node, index);
    return true;
}

CUGCell* CUGMem::StoredCell(int col, int row)
{
    if (FindRow(row) == nullptr)
        return nullptr;
    CellNode* node = FindCell(col);
    return node != nullptr ? node->cell : nullptr;
}

void CUGMem::DeleteCells(RowNode* row, bool releaseAttached)
{
    CellNode* node = row->firstCell;
    if (node == nullptr)
        return;
    while (node->prev != nullptr)
        node = node->prev;
    while (node != nullptr) {
        CellNode* next = node->next;
        if (releaseAttached && node->cell != nullptr)
            node->cell->ClearBlob();
        delete node->cell;
        delete node;
        node = next;
    }
    row->firstCell = nullptr;
}

int CUGMem::StorageColumn(int col) const
{
    if (m_sheet != nullptr && m_sheet->m_colInfo != nullptr) {
        for (int gridCol = 0; gridCol < m_sheet->m_numberCols; ++gridCol) {
            if (m_sheet->m_colInfo[gridCol].colTranslation == col)
                return gridCol;
        }
    }
    return col;
}

void CUGMem::ShiftColumnTranslations(int fromColumn, int delta)
{
    if (m_sheet == nullptr || m_sheet->m_colInfo == nullptr)
        return;
    for (int gridCol = 0; gridCol < m_sheet->m_numberCols; ++gridCol) {
        if (m_sheet->m_colInfo[gridCol].colTranslation >= fromColumn)
            m_sheet->m_colInfo[gridCol].colTranslation += delta;
    }
}

int CUGMem::GetNumRows()
{
    if (m_rowNode == nullptr)
        return 0;
    while (m_rowNode->next != nullptr)
        SetRowCursor(m_rowNode->next, m_rowIndex + 1);
    // A count of the rows from 0 to the last one stored; heading rows are not counted.
    return m_rowIndex >= 0 ? m_rowIndex + 1 : 0;
}

int CUGMem::InsertRow(int row)
{
    RowNode* next = FindRow(row);
    if (next == nullptr)
        return 1;
    RowNode* node = new RowNode;
    node->next = next;
    node->prev = next->prev;
    if (next->prev != nullptr)
        next->prev->next = node;
    next->prev = node;
    SetRowCursor(next, row + 1);
    return 0;
}

int CUGMem::InsertColumn(int col)
{
    // Heading columns have no place to shift to.
    if (m_rowNode == nullptr || col < 0)
        return 1;
    const int storageCol = StorageColumn(col);
    MoveToFirstRow();
    while (true) {
        CellNode* next = FindCell(storageCol);
        if (next != nullptr) {
            CellNode* node = new CellNode;
            node->next = next;
            node->prev = next->prev;
            if (next->prev != nullptr)
                next->prev->next = node;
            next->prev = node;
            if (m_rowNode->firstCell == next)
                m_rowNode->firstCell = node;
            m_cellNode = nullptr;
        }
        if (m_rowNode->next == nullptr)
            break;
        SetRowCursor(m_rowNode->next, m_rowIndex + 1);
    }
    ShiftColumnTranslations(storageCol, 1);
    return 0;
}

int CUGMem::RemoveRow(int row)
{
    RowNode* node = FindRow(row);
    if (node == nullptr)
        return 0;
    DeleteCells(node, false);
    if (node->prev != nullptr)
        node->prev->next = node->next;
    if (node->next != nullptr)
        node->next->prev = node->prev;
    if (node->next != nullptr)
        SetRowCursor(node->next, row);
    else
        SetRowCursor(node->prev, row - 1);
    delete node;
    return 0;
}

int CUGMem::RemoveColumn(int col)
{
    if (m_rowNode == nullptr || col < 0)
        return 1;
    MoveToFirstRow();
    while (true) {
        CellNode* node = FindCell(col);
        if (node != nullptr) {
            if (node->next == nullptr) {
                delete node->cell;
                node->cell = nullptr;
            } else {
                node->next->prev = node->prev;
                if (node->prev != nullptr)
                    node->prev->next = node->next;
                // The next node takes the column-0 place, or the row would lose its cells.
                if (m_rowNode->firstCell == node)
                    m_rowNode->firstCell = node->next;
                delete node->cell;
                delete node;
            }
            m_cellNode = nullptr;
        }
        if (m_rowNode->next == nullptr)
            break;
        SetRowCursor(m_rowNode->next, m_rowIndex + 1);
    }
    ShiftColumnTranslations(col, -1);
    return 0;
}

int CUGMem::RemoveCell(int col, int row)
{
    if (FindRow(row) == nullptr)
        return 1;
    CellNode* node = FindCell(col);
    if (node == nullptr)
        return 1;
    if (node->cell != nullptr) {
        node->cell->ClearBlob();
        delete node->cell;
        node->cell = nullptr;
    }
    return 0;
}

int CUGMem::RemoveAll()
{
    if (!MoveToFirstRow())
        return 0;
    RowNode* node = m_rowNode;
    while (node != nullptr) {
        RowNode* next = node->next;
        DeleteCells(node, true);
        delete node;
        node = next;
    }
    SetRowCursor(nullptr, 0);
    m_findCol = 0;
    m_findRow = 0;
    return 0;
}

int CUGMem::ReadCell(int col, int row, CUGCell* cell)
{
    if (cell == nullptr)
        return 1;
    CUGCell* stored = StoredCell(col, row);
    if (stored == nullptr)
        return 1;
    CUGCell::CopySetPropertiesTo(0, stored, cell);
    return 0;
}

int CUGMem::WriteCell(int col, int row, CUGCell* cell)
{
    if (cell == nullptr)
        return 1;
    GetOrCreateRow(row);
    CellNode* node = GetOrCreateCell(col);
    if (node->cell == nullptr)
        node->cell = new CUGCell;
    // Flags the caller cleared stop counting as set, even though their values stay.
    node->cell->SetPropertyFlags(cell->GetPropertyFlags());
    CUGCell::CopySetPropertiesTo(0, cell, node->cell);
    return 0;
}

int CUGMem::FindFirst(CString* text, int* col, int* row, int flags)
{
    if (col == nullptr || row == nullptr)
        return 1;
    if (flags & 8) {
        *col = -1;
        *row = 0;
    } else {
        *row = -1;
    }
    return FindNext(text, col, row, flags);
}

int CUGMem::FindNext(CString* text, int* col, int* row, int flags)
{
    if (text == nullptr || col == nullptr || row == nullptr || m_sheet == nullptr)
        return 1;
    const int columns = m_sheet->m_numberCols;
    const int rows = m_sheet->m_numberRows;
    if (columns <= 0 || rows <= 0)
        return 1;
    const bool partial = (flags & 1) != 0;
    const bool ignoreCase = (flags & 2) != 0;
    const bool backward = (flags & 4) != 0;
    const bool allColumns = (flags & 8) != 0;
    const std::string wanted = ignoreCase ? UpperCase(text->GetString()) : std::string(text->GetString());

    int searchCol = *col;
    int searchRow = *row;
    CUGCell shown;
    for (int rowSteps = 0;;) {
        bool rowAdvanced = true;
        if (allColumns) {
            searchCol += backward ? -1 : 1;
            rowAdvanced = searchCol >= columns || searchCol < 0;
            if (rowAdvanced)
                searchCol = backward ? columns - 1 : 0;
        }
        if (rowAdvanced) {
            searchRow += backward ? -1 : 1;
            if (searchRow >= rows || searchRow < 0)
                searchRow = backward ? rows - 1 : 0;
            if (++rowSteps > rows + 1)
                return 1;
        }

        // Numbers hold no text until shown, so the flag decides and the shown text is compared.
        CUGCell* stored = StoredCell(searchCol, searchRow);
        if (stored == nullptr || !stored->IsPropertySet(UGCELL_TEXT_SET))
            continue;
        shown.ClearAll();
        CUGCell::CopySetPropertiesTo(0, stored, &shown);
        const char* display = shown.GetDisplayText();
        const std::string cellText = ignoreCase ? UpperCase(display) : std::string(display);
        const bool match = partial ? cellText.find(wanted) != std::string::npos
                                   : (!cellText.empty() && cellText == wanted);
        if (match) {
            *col = m_findCol = searchCol;
            *row = m_findRow = searchRow;
            return 0;
        }
    }
    return 1;
}

int CUGMem::SortByColumn(int col, int flags)
{
    return SortBy(&col, 1, flags);
}

int CUGMem::SortBy(int* cols, int count, int flags)
{
    if (m_rowNode == nullptr || cols == nullptr || count <= 0 || !m_compareCells)
        return 1;
    RowNode* first = FindRow(0);
    if (first == nullptr)
        return 0;

    struct SortRow {
        RowNode* node = nullptr;
        std::vector<CUGCell*> keys;
    };
    CUGCell missing;
    missing.ClearAll();
    std::vector<SortRow> sorted;
    for (RowNode* node = first; node != nullptr; node = node->next) {
        SortRow entry;
        entry.node = node;
        for (int key = 0; key < count; ++key) {
            CellNode* cell = node->firstCell;
            for (int index = 0; cell != nullptr && index < cols[key]; ++index)
                cell = cell->next;
            entry.keys.push_back(cell != nullptr && cols[key] >= 0 && cell->cell != nullptr ? cell->cell : &missing);
        }
        sorted.push_back(std::move(entry));
    }

    // A merge sort: stable, and it stays within bounds whatever the comparison answers.
    auto compare = [&](const SortRow& a, const SortRow& b) {
        for (size_t key = 0; key < a.keys.size(); ++key) {
            const int result = m_compareCells(a.keys[key], b.keys[key], flags);
            if (result != 0)
                return result;
        }
        return 0;
    };
    std::vector<SortRow> buffer(sorted.size());
    for (size_t width = 1; width < sorted.size(); width *= 2) {
        for (size_t left = 0; left < sorted.size(); left += 2 * width) {
            const size_t middle = std::min(left + width, sorted.size());
            const size_t right = std::min(left + 2 * width, sorted.size());
            size_t a = left, b = middle, out = left;
            while (a < middle && b < right)
                buffer[out++] = std::move(compare(sorted[a], sorted[b]) > 0 ? sorted[b++] : sorted[a++]);
            while (a < middle)
                buffer[out++] = std::move(sorted[a++]);
            while (b < right)
                buffer[out++] = std::move(sorted[b++]);
        }
        sorted.swap(buffer);
    }

    RowNode* before = first->prev;
    for (SortRow& entry : sorted) {
        entry.node->prev = before;
        if (before != nullptr)
            before->next = entry.node;
        before = entry.node;
    }
    before->next = nullptr;
    SetRowCursor(sorted.front().node, 0);
    return 0;
}

int CUGMem::GetPrevNonBlankCol(int* col, int row)
{
    if (col == nullptr)
        return 1;
    RowNode* node = FindRow(row);
    if (node == nullptr || node->firstCell == nullptr)
        return 1;
    CellNode* cell = node->firstCell;
    int index = 0;
    int found = -1;
    while (cell != nullptr && index < *col) {
        if (HasText(cell->cell))
            found = index;
        cell = cell->next;
        ++index;
    }
    if (found < 0)
        return 1;
    *col = found;
    return 0;
}
