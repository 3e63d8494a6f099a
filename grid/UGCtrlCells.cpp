// The control's shape (counts and sizes), cells read and stored through the data sources,
// pasting, and fitting columns.

#include "grid/UGCtrl.h"

#include "grid/UGDataSource.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"
#include "grid/UGMultiSelect.h"
#include "grid/UGPtrList.h"
#include "grid/UGCnrBtn.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTopHdg.h"

#include "platform/base/dc.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
// From this many rows on one height serves every row, so huge sheets store no heights.
constexpr int uniform_height_row_count = 64001;
constexpr int maximum_column_count = 32000;
constexpr int maximum_data_sources = 63;
}  // namespace

int CUGCtrl::GetRowCount() const { return m_GI->m_numberRows; }
int CUGCtrl::GetColumnCount() const { return m_GI->m_numberCols; }

int CUGCtrl::SetRowCount(int rows)
{
    if (rows < 0)
        return 1;
    if (rows >= 1 && rows <= m_GI->m_numLockRows)
        SetLockedRows(rows - 1);
    if (rows >= uniform_height_row_count && m_GI->m_uniformRowHeightFlag == 0) {
        delete[] m_GI->m_rowHeights;
        m_GI->m_rowHeights = nullptr;
        m_GI->m_uniformRowHeightFlag = 1;
    }
    const int previousRows = m_GI->m_numberRows;
    m_GI->m_numberRows = rows;
    if (m_GI->m_uniformRowHeightFlag == 0) {
        int* heights = new int[static_cast<size_t>(rows > 0 ? rows : 1)];
        for (int row = 0; row < rows; ++row)
            heights[row] = row < previousRows && m_GI->m_rowHeights != nullptr ? m_GI->m_rowHeights[row]
                                                                               : m_GI->m_defRowHeight;
        delete[] m_GI->m_rowHeights;
        m_GI->m_rowHeights = heights;
    }
    const int topRow = m_GI->m_topRow;
    CalcMaxTopRow();
    if (m_GI->m_topRow != topRow)
        UpdateAfterMove();
    if (m_GI->m_focusRow >= rows) {
        m_GI->m_focusRow = rows - 1;
        m_GI->m_lastFocusRow = rows - 1;
        m_GI->m_currentRow = rows - 1;
    }
    if (m_GI->m_currentRow >= rows)
        m_GI->m_currentRow = rows - 1;
    RecomputeLockedHeight();
    if (m_GI->m_focusRow < 0 && rows >= 1)
        MoveCurrentRowTo(0);
    if (m_enableUpdate != 0)
        RepaintAllParts();
    return 0;
}

int CUGCtrl::SetColumnCount(int cols)
{
    if (cols < 0 || cols > maximum_column_count)
        return 1;
    if (cols >= 1 && cols <= m_GI->m_numLockCols)
        SetLockedColumns(cols - 1);
    const int previousCols = m_GI->m_numberCols;
    UGCOLINFO* records = new UGCOLINFO[static_cast<size_t>(cols > 0 ? cols : 1)];
    for (int col = 0; col < cols; ++col) {
        if (col < previousCols && m_GI->m_colInfo != nullptr) {
            records[col] = m_GI->m_colInfo[col];
            continue;
        }
        records[col].width = m_GI->m_defColWidth;
        records[col].dataSource = m_GI->m_defDataSource;
        records[col].colDefault = new CUGCell;
        CUGCell::CopySetPropertiesTo(0, m_GI->m_gridDefaults, records[col].colDefault);
        records[col].colTranslation = col;
    }
    for (int col = cols; col < previousCols; ++col)
        delete m_GI->m_colInfo[col].colDefault;
    delete[] m_GI->m_colInfo;
    m_GI->m_colInfo = records;
    m_GI->m_numberCols = cols;

    CalcMaxLeftColumn();
    if (m_GI->m_focusCol >= cols) {
        m_GI->m_focusCol = cols - 1;
        m_GI->m_currentCol = cols - 1;
    }
    if (m_GI->m_numLockCols > 0)
        RecomputeLockedWidth();
    if (m_GI->m_focusCol < 0 && cols >= 1)
        MoveCurrentColumnTo(0);
    if (m_enableUpdate != 0)
        RepaintAllParts();
    return 0;
}

int CUGCtrl::SetColumnWidthAt(int col, int width)
{
    if (col < 0 && col >= -m_GI->m_numberSideHdgCols)
        return SetSideHeadingColumnWidth(col, width);
    if (col < 0 || col >= m_GI->m_numberCols)
        return 1;
    if (IsWindowVisible() && m_GI->m_sheetReady != 0) {
        for (int row = m_GI->m_topRow; row < m_GI->m_bottomRow; ++row)
            GetCellTypeAt(col, row)->OnChangingCellWidth(col, row, &width);
    }
    OnColumnWidthChanging(col, &width);
    m_GI->m_colInfo[col].width = width;
    if (col < m_GI->m_numLockCols)
        RecomputeLockedWidth();
    return 0;
}

int CUGCtrl::GetColumnWidthAt(int col) const { return UGColumnWidth(*m_GI, col); }

int CUGCtrl::SetRowHeightAt(int row, int height)
{
    if (row < 0 && row >= -m_GI->m_numberTopHdgRows)
        return SetTopHeadingRowHeight(row, height);
    if (row < 0 || row >= m_GI->m_numberRows)
        return 1;
    if (IsWindowVisible() && m_GI->m_sheetReady != 0) {
        for (int col = m_GI->m_leftCol; col < m_GI->m_rightCol; ++col)
            GetCellTypeAt(col, row)->OnChangingCellHeight(col, row, &height);
    }
    OnRowHeightChanging(row, &height);
    if (m_GI->m_uniformRowHeightFlag != 0 || m_GI->m_rowHeights == nullptr)
        m_GI->m_defRowHeight = height;
    else
        m_GI->m_rowHeights[row] = height;
    if (row < m_GI->m_numLockRows)
        RecomputeLockedHeight();
    return 0;
}

int CUGCtrl::GetRowHeightAt(int row) const { return UGRowHeight(*m_GI, row); }

int CUGCtrl::RemoveRowAt(int row)
{
    if (row < 0 || row >= m_GI->m_numberRows)
        return 1;
    const int answer = m_GI->m_defDataSource->RemoveRow(row);
    if (answer != 0)
        return answer;
    SetRowCount(m_GI->m_numberRows - 1);
    return 0;
}

int CUGCtrl::MoveColumn(int from, int to)
{
    if (from < 0 || from >= m_GI->m_numberCols || to < 0 || to > m_GI->m_numberCols)
        return 1;
    if (to == from || to == from + 1)
        return 0;
    const UGCOLINFO moved = m_GI->m_colInfo[from];
    UGCOLINFO* records = m_GI->m_colInfo;
    if (to > from) {
        std::copy(records + from + 1, records + to, records + from);
        records[to - 1] = moved;
    } else {
        std::copy_backward(records + to, records + from, records + from + 1);
        records[to] = moved;
    }
    RecomputeLockedWidth();
    return 0;
}

CUGDataSource* CUGCtrl::ColumnDataSource(int col) const
{
    if (col >= 0 && col < m_GI->m_numberCols && m_GI->m_colInfo[col].dataSource != nullptr)
        return m_GI->m_colInfo[col].dataSource;
    return m_GI->m_defDataSource;
}

int CUGCtrl::ColumnTranslation(int col) const
{
    if (col >= 0 && col < m_GI->m_numberCols)
        return m_GI->m_colInfo[col].colTranslation;
    return col;
}

int CUGCtrl::GetCell(int col, int row, CUGCell* cell)
{
    if (cell == nullptr)
        return 1;
    cell->SetPropertyFlags(0);
    if (col >= 0 && col < m_GI->m_numberCols && row >= 0) {
        const CUGCell* defaults = m_GI->m_colInfo[col].colDefault;
        if (defaults != nullptr) {
            cell->SetPropertyFlags(defaults->GetPropertyFlags());
            CUGCell::CopySetPropertiesTo(0, defaults, cell);
        }
    } else {
        cell->SetPropertyFlags(m_GI->m_hdgDefaults->GetPropertyFlags());
        CUGCell::CopySetPropertiesTo(0, m_GI->m_hdgDefaults, cell);
        if (row == -m_GI->m_numberTopHdgRows)
            cell->SetThemeStyle(32);
        else if (col == -m_GI->m_numberSideHdgCols)
            cell->SetThemeStyle(64);
    }
    if (row >= m_GI->m_numberRows)
        return 0;
    ColumnDataSource(col)->ReadCell(ColumnTranslation(col), row, cell);
    OnFetchCell(col, row, cell);
    if (cell->IsPropertySet(UGCELL_FORMAT_SET) && cell->GetFormatClass() != nullptr)
        cell->GetFormatClass()->ApplyDisplayFormat(cell);
    if (cell->IsPropertySet(UGCELL_STYLE_SET) && cell->GetCellStyle() != nullptr)
        CUGCell::CopySetPropertiesTo(0, cell->GetCellStyle(), cell);
    return 0;
}

int CUGCtrl::ReadCellFromSource(int col, int row, CUGCell* cell)
{
    if (cell == nullptr || col >= m_GI->m_numberCols)
        return 1;
    cell->SetPropertyFlags(0);
    return ColumnDataSource(col)->ReadCell(ColumnTranslation(col), row, cell);
}

int CUGCtrl::StoreCellAt(int col, int row, CUGCell* cell)
{
    if (cell == nullptr || col < -m_GI->m_numberSideHdgCols || col >= m_GI->m_numberCols ||
        row < -m_GI->m_numberTopHdgRows || row > m_GI->m_numberRows)
        return 1;
    OnCellStored(col, row, cell);
    ColumnDataSource(col)->WriteCell(ColumnTranslation(col), row, cell);
    return 0;
}

const char* CUGCtrl::GetCellText(int col, int row)
{
    m_cell.ResetProperties();
    GetCell(col, row, &m_cell);
    return m_cell.GetDisplayText();
}

int CUGCtrl::SetCellTextAt(int col, int row, const char* text)
{
    m_cell.ResetProperties();
    ReadCellFromSource(col, row, &m_cell);
    m_cell.SetTextValue(text);
    StoreCellAt(col, row, &m_cell);
    return 0;
}

int CUGCtrl::SetCellBackColorAt(int col, int row, COLORREF color)
{
    m_cell.ResetProperties();
    ReadCellFromSource(col, row, &m_cell);
    m_cell.SetBackColor(color);
    StoreCellAt(col, row, &m_cell);
    return 0;
}

int CUGCtrl::RegisterDataSource(CUGDataSource* source)
{
    if (source == nullptr)
        return -1;
    source->m_ctrl = this;
    if (m_dataSrcListLength >= maximum_data_sources)
        return -1;
    if (m_dataSrcListLength >= m_dataSrcListMaxLength - 1) {
        const int capacity = m_dataSrcListMaxLength + 16;
        auto** grown = new CUGDataSource*[static_cast<size_t>(capacity)]();
        std::copy(m_dataSrcList, m_dataSrcList + m_dataSrcListMaxLength, grown);
        delete[] m_dataSrcList;
        m_dataSrcList = grown;
        m_dataSrcListMaxLength = capacity;
    }
    for (int index = 1; index < m_dataSrcListMaxLength; ++index) {
        if (m_dataSrcList[index] != nullptr)
            continue;
        m_dataSrcList[index] = source;
        source->m_ID = index;
        m_dataSrcListLength = std::max(m_dataSrcListLength, index);
        return index;
    }
    return -1;
}

CUGDataSource* CUGCtrl::GetDataSource(int index) const
{
    if (index < 1 || index >= m_dataSrcListMaxLength)
        return nullptr;
    return m_dataSrcList[index];
}

int CUGCtrl::SetTipsEnabled(int enable)
{
    m_GI->m_enableCellTips = 1;
    CWnd* parts[] = {m_CUGGrid, m_CUGTopHdg, m_CUGSideHdg, m_CUGCnrBtn};
    for (CWnd* part : parts)
        part->EnableToolTips(enable);
    return 0;
}

int CUGCtrl::AddCellType(CUGCellType* type)
{
    if (type == nullptr)
        return -1;
    const int index = m_cellTypeList->AddPointer(type);
    if (index >= 0) {
        type->SetID(index);
        type->SetGrid(this);
    }
    return index;
}

CUGCellType* CUGCtrl::GetCellTypeAt(int col, int row)
{
    m_cell.ResetProperties();
    if (GetCell(col, row, &m_cell) == 0 && m_cell.IsPropertySet(UGCELL_CELLTYPE_SET)) {
        const int index = m_cell.GetCellType();
        if (index >= 1 && index < m_cellTypeList->GetMaxCount()) {
            auto* type = static_cast<CUGCellType*>(m_cellTypeList->GetPointer(index));
            if (type != nullptr)
                return type;
        }
    }
    return &m_normalCellType;
}

int CUGCtrl::PasteText(CString* text)
{
    if (text == nullptr)
        return 1;
    const int focusCol = m_GI->m_focusCol;
    const int focusRow = m_GI->m_focusRow;
    int col = focusCol;
    int row = focusRow;
    int largestCol = focusCol;
    int largestRow = focusRow;
    const char* characters = *text;
    const int length = text->GetLength();

    auto writeField = [&](int start, int end) {
        if (col < 0 || row < 0 || col > m_GI->m_numberCols - 1 || row > m_GI->m_numberRows - 1)
            return;
        m_cell.ResetProperties();
        ReadCellFromSource(col, row, &m_cell);
        if (m_cell.IsPropertySet(UGCELL_READONLY_SET) && m_cell.GetReadOnly() == 1)
            return;
        const CString field(std::string(characters + start, characters + end).c_str());
        m_cell.SetTextValue(field);
        StoreCellAt(col, row, &m_cell);
        largestCol = std::max(largestCol, col);
        largestRow = std::max(largestRow, row);
    };

    int fieldStart = 0;
    for (int position = 0; position <= length; ++position) {
        const char character = position < length ? characters[position] : '\0';
        if (position < length && character != '\t' && character != '\n' && character != '\r')
            continue;
        // Text that ends with a line break has no field after it.
        if (position == length && fieldStart == length && length > 0 &&
            (characters[length - 1] == '\n' || characters[length - 1] == '\r'))
            break;
        writeField(fieldStart, position);
        if (character == '\t') {
            ++col;
        } else if (character == '\r' || character == '\n') {
            col = focusCol;
            ++row;
            if (character == '\r' && position + 1 < length && characters[position + 1] == '\n')
                ++position;
        }
        fieldStart = position + 1;
    }

    m_GI->m_multiSelect->ClearAll();
    m_GI->m_currentCol = focusCol;
    m_GI->m_currentRow = focusRow;
    SelectRange(focusCol, focusRow, largestCol, largestRow);
    RepaintAllParts();
    return 0;
}

int CUGCtrl::AutoFitColumns(int firstCol, int lastCol, int rowsToCheck, int flags)
{
    if (firstCol < -m_GI->m_numberSideHdgCols)
        return 1;
    if (lastCol >= m_GI->m_numberCols)
        return 2;
    if (firstCol > lastCol)
        return 3;
    const int count = lastCol - firstCol + 1;
    std::vector<int> best(static_cast<size_t>(count), 3);
    CDC* dc = GetDC();
    CUGCell cell;
    const int firstRow = (flags & 1) != 0 ? -m_GI->m_numberTopHdgRows : 0;
    int checked = 0;
    for (int row = firstRow; row < m_GI->m_numberRows && checked < rowsToCheck; ++row, ++checked) {
        if (row == m_GI->m_numLockRows && row < m_GI->m_topRow)
            row = m_GI->m_topRow;
        if (row >= m_GI->m_numberRows)
            break;
        for (int col = firstCol; col <= lastCol; ++col) {
            cell.ResetProperties();
            GetCell(col, row, &cell);
            if (cell.IsPropertySet(UGCELL_JOIN_SET))
                continue;
            SIZE size{col >= 0 ? UGColumnWidth(*m_GI, col) : m_GI->m_sideHdgWidths[-col - 1],
                      row >= 0 ? UGRowHeight(*m_GI, row) : m_GI->m_topHdgHeights[-row - 1]};
            GetCellTypeAt(col, row)->GetBestSize(dc, &size, &cell);
            best[static_cast<size_t>(col - firstCol)] = std::max(best[static_cast<size_t>(col - firstCol)], size.cx);
        }
    }
    ReleaseDC(dc);

    CRect client;
    m_CUGGrid->GetClientRect(&client);
    const int limit = client.Width() == 0 ? 300 : client.Width() - m_GI->m_vScrollWidth;
    int headingWidth = 0;
    bool headingSet = false;
    for (int col = firstCol; col <= lastCol; ++col) {
        const int wanted = best[static_cast<size_t>(col - firstCol)];
        int width = wanted > limit ? limit : wanted + 2;
        if (col >= 0) {
            for (int row = m_GI->m_topRow; row < m_GI->m_bottomRow; ++row)
                GetCellTypeAt(col, row)->OnChangingCellWidth(col, row, &width);
            OnColumnWidthChanging(col, &width);
        } else {
            headingWidth += width;
            headingSet = true;
        }
        SetColumnWidthAt(col, width);
    }
    if (headingSet)
        SetSideHeadingWidth(headingWidth);
    RecalcPartLayout();
    return 0;
}

int CUGCtrl::StretchColumnsToWidth(int firstCol, int lastCol)
{
    const int wasReady = m_GI->m_sheetReady;
    if (wasReady == 0) {
        m_GI->m_sheetReady = 1;
        RecalcPartLayout();
    }
    auto restore = [&](int result) {
        m_GI->m_sheetReady = wasReady;
        return result;
    };
    if (firstCol < 0 || lastCol < firstCol || lastCol >= m_GI->m_numberCols)
        return restore(1);
    CRect client;
    if (m_CUGGrid->GetSafeHwnd() != nullptr)
        m_CUGGrid->GetClientRect(&client);
    else
        client = CRect(0, 0, m_GI->m_gridWidth, m_GI->m_gridHeight);
    const int target = client.Width();
    if (firstCol == lastCol) {
        SetColumnWidthAt(firstCol, target);
    } else {
        long long sum = 0;
        for (int col = firstCol; col <= lastCol; ++col)
            sum += UGColumnWidth(*m_GI, col);
        const float ratio = sum > 0 ? static_cast<float>(target) / static_cast<float>(sum) : 0.0f;
        int used = 0;
        for (int col = firstCol; col < lastCol; ++col) {
            const int width = static_cast<int>(static_cast<float>(UGColumnWidth(*m_GI, col)) * ratio);
            SetColumnWidthAt(col, width);
            used += width;
        }
        SetColumnWidthAt(lastCol, target - used);
    }
    RepaintAllParts();
    return restore(0);
}
