#include "app/DataGridCtrl.h"

#include "core/utils/string_utils.h"
#include "grid/UGCell.h"
#include "grid/UGGridInfo.h"
#include "grid/UGHScroll.h"
#include "grid/UGTheme.h"
#include "grid/UGVScroll.h"

#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <set>
#include <stdexcept>

namespace {

using utils::string_utils::compare_no_case;
using utils::string_utils::to_int64;
using utils::string_utils::to_uint64;

// The grid counts in int; a larger table shows its first INT_MAX rows.
int clamp_to_int(std::uint64_t value) { return value > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value); }

const std::string& cell_text(const data::data_row* row, std::size_t data_column)
{
    static const std::string empty;
    if (row == nullptr || data_column >= row->cells.size())
        return empty;
    return row->cells[data_column];
}

// The column's own cell, or its fallback's where the own one is empty.
const std::string& shown_value(const data::data_row* row, const CDataGridCtrl::ColumnDescriptor& descriptor)
{
    const std::string& own = cell_text(row, descriptor.data_column);
    if (own.empty() && descriptor.fallback_column)
        return cell_text(row, *descriptor.fallback_column);
    return own;
}

CDataGridCtrl::sort_state next_sort_state(CDataGridCtrl::sort_state state)
{
    using sort_state = CDataGridCtrl::sort_state;
    switch (state) {
    case sort_state::none:
        return sort_state::ascending;
    case sort_state::ascending:
        return sort_state::descending;
    case sort_state::descending:
        break;
    }
    return sort_state::none;
}

}  // namespace

// ---- the data source over the bound table

int CUGDataAdapter::ColumnNameAt(int col, CString* name)
{
    if (m_table == nullptr || col < 0 || static_cast<std::size_t>(col) >= m_table->column_headings.size())
        return 1;
    if (name != nullptr)
        *name = m_table->column_headings[static_cast<std::size_t>(col)];
    return 0;
}

int CUGDataAdapter::ColumnTypeAt(int col, int* type)
{
    if (m_table == nullptr || col < 0 || static_cast<std::size_t>(col) >= m_table->column_keys.size())
        return 1;
    if (type != nullptr)
        *type = 0;
    return 0;
}

int CUGDataAdapter::RemoveRow(int row)
{
    if (m_table == nullptr || row < 0 || static_cast<std::size_t>(row) >= m_table->rows.size())
        return 1;
    return m_table->remove_row(static_cast<std::uint64_t>(row) + 1) ? 0 : 1;
}

// ---- column descriptors

const CDataGridCtrl::ColumnDescriptor& CDataGridCtrl::ColumnsInfo::Find(const std::string& key) const
{
    const auto found = columns.find(key);
    if (found == columns.end())
        throw std::runtime_error("Unbound column " + key);
    return found->second;
}

const CDataGridCtrl::ColumnDescriptor& CDataGridCtrl::ColumnsInfo::AtPosition(std::uint64_t position) const
{
    const auto found = positions.find(position);
    if (found == positions.end())
        throw std::runtime_error("Unbound column " + std::to_string(position));
    return Find(found->second);
}

const CDataGridCtrl::ColumnDescriptor* CDataGridCtrl::ColumnsInfo::FindAtPosition(std::uint64_t position) const
{
    const auto key = positions.find(position);
    if (key == positions.end())
        return nullptr;
    const auto found = columns.find(key->second);
    return found != columns.end() ? &found->second : nullptr;
}

CDataGridCtrl::ColumnDescriptor* CDataGridCtrl::ColumnsInfo::FindAtPosition(std::uint64_t position)
{
    return const_cast<ColumnDescriptor*>(static_cast<const ColumnsInfo&>(*this).FindAtPosition(position));
}

// ---- selection

CDataGridCtrl::MultiSelectManager::~MultiSelectManager() { m_blocks.clear(); }

void CDataGridCtrl::MultiSelectManager::ForEachSelectedRow(const std::function<void(long, data::data_row*)>& fn)
{
    m_blocks.clear();
    SelectedBlock block;
    for (int found = EnumFirstBlock(&block.start_column, &block.start_row, &block.end_column, &block.end_row);
         found == 0; found = EnumNextBlock(&block.start_column, &block.start_row, &block.end_column, &block.end_row))
        m_blocks.push_back(block);

    // Blocks may deselect (Ctrl+click): a row counts only when the selection says it is selected.
    std::set<long> rows;
    for (const SelectedBlock& selected : m_blocks)
        for (long row = selected.start_row; row <= selected.end_row; ++row)
            if (rows.count(row) == 0 && RowSelected(row))
                rows.insert(row);

    data::data_table* table = m_grid != nullptr ? m_grid->GetTable() : nullptr;
    if (!fn || table == nullptr)
        return;
    for (long row : rows) {
        // The callback may change the table, so its size is asked for every row.
        if (row >= 0 && static_cast<std::size_t>(row) < table->rows.size())
            fn(row, table->rows[static_cast<std::size_t>(row)]);
    }
}

bool CDataGridCtrl::MultiSelectManager::RowSelected(long row)
{
    if ((GetMode() & UG_MULTISELECT_ROW) != 0)
        return IsRowSelected(static_cast<int>(row)) != 0;
    for (const SelectedBlock& block : m_blocks)
        if (row >= block.start_row && row <= block.end_row)
            for (int col = block.start_column; col <= block.end_column; ++col)
                if (IsSelected(col, static_cast<int>(row)) != 0)
                    return true;
    return false;
}

// ---- life

CDataGridCtrl::CDataGridCtrl()
    : m_selectionNotHandedOver(std::make_unique<MultiSelectManager>(this))
{
}

CDataGridCtrl::MultiSelectManager* CDataGridCtrl::GetSelectionManager() const
{
    if (m_selectionNotHandedOver)
        return m_selectionNotHandedOver.get();
    return m_GI != nullptr ? dynamic_cast<MultiSelectManager*>(m_GI->m_multiSelect.get()) : nullptr;
}

CDataGridCtrl::~CDataGridCtrl()
{
    CUGThemes::ReleaseThemeResources();
    // The table outlives the grid in the window; its callback must not reach a grid that is gone.
    if (m_adapter.m_table != nullptr)
        m_adapter.m_table->on_change = nullptr;
}

bool CDataGridCtrl::BindTable(data::data_table* table)
{
    if (table == m_adapter.m_table)
        return true;
    // A table that is no longer shown must not remove or rebuild rows of the one that is.
    if (m_adapter.m_table != nullptr)
        m_adapter.m_table->on_change = nullptr;
    m_adapter.m_table = table;
    m_displayLayout.Clear();
    if (m_adapter.m_ID < 0)
        RegisterDataSource(&m_adapter);
    if (table == nullptr)
        return true;
    table->on_change = [this](const std::uint64_t& row, const std::uint64_t& column, const data::change_type& kind) {
        OnTableChanged(row, column, kind);
    };
    Rebuild(table->rows.size(), m_columns.columns.size());
    RepaintAllParts();
    RecalcPartLayout();
    return true;
}

void CDataGridCtrl::OnTableChanged(const std::uint64_t& row, const std::uint64_t& column,
                                   const data::change_type& kind)
{
    // Rows move or change under the cached texts; the repaint fills the cache again.
    m_displayLayout.Clear();
    if (kind == data::cell_changed) {
        RepaintCellAt(clamp_to_int(column), clamp_to_int(row));
    } else if (kind == data::row_removed && (row != 0 || column != 0)) {
        RemoveRowAt(clamp_to_int(row) - 1);
    } else if (kind == data::row_removed) {
        // One row count at the end: each step would otherwise reallocate the row heights and
        // repaint, which makes emptying a large table quadratic.
        const int rows = GetRowCount();
        int removed = 0;
        for (int step = 0; step < rows; ++step)
            if (m_GI->m_defDataSource->RemoveRow(0) == 0)
                ++removed;
        if (removed > 0)
            SetRowCount(rows - removed);
    } else if (kind == data::table_changed && m_adapter.m_table != nullptr) {
        Rebuild(m_adapter.m_table->rows.size(), m_columns.columns.size());
        RepaintAllParts();
    }
    RecalcPartLayout();
}

void CDataGridCtrl::Rebuild(std::uint64_t rows, std::uint64_t columns)
{
    m_displayLayout.Clear();
    // Row labels are answered when fetched, so only the count changes.
    SetRowCount(clamp_to_int(rows));

    const int wantedColumns = clamp_to_int(columns);
    const int previousColumns = GetColumnCount();
    if (previousColumns >= wantedColumns)
        return;
    SetColumnCount(wantedColumns);
    for (int col = previousColumns; col < wantedColumns; ++col) {
        const ColumnDescriptor& descriptor = m_columns.AtPosition(static_cast<std::uint64_t>(col));
        if (!descriptor.visible)
            continue;
        SetCellTextAt(col, -1, descriptor.caption.c_str());
        // Straight into the sheet: a stored width of 0 keeps the column hidden, where the
        // width notification would raise it to the minimum and tell the owner to store that.
        m_GI->m_colInfo[col].width = static_cast<int>(descriptor.width);
        SetColumnAlignment(col, static_cast<short>(descriptor.alignment));
        SetCellBackColorAt(col, -1, m_captionColor);
    }
    m_formatters.resize(static_cast<std::size_t>(wantedColumns));
    for (int col = 0; col < wantedColumns; ++col)
        m_formatters[static_cast<std::size_t>(col)] = m_columns.AtPosition(static_cast<std::uint64_t>(col)).format;
}

bool CDataGridCtrl::AddColumn(std::uint64_t position, const std::string& key, const ColumnDescriptor& descriptor)
{
    if (m_columns.positions.count(position) != 0 || m_columns.columns.count(key) != 0)
        return false;
    m_columns.positions[position] = key;
    m_columns.columns[key] = descriptor;
    return true;
}

bool CDataGridCtrl::SetColumnFallback(std::uint64_t position, std::uint32_t data_column)
{
    ColumnDescriptor* descriptor = m_columns.FindAtPosition(position);
    if (descriptor == nullptr)
        return false;
    descriptor->fallback_column = data_column;
    return true;
}

std::string CDataGridCtrl::ValueAt(int col, int row) const
{
    const data::data_table* table = m_adapter.m_table;
    if (table == nullptr || col < 0 || row < 0 || static_cast<std::size_t>(row) >= table->rows.size())
        return std::string();
    const ColumnDescriptor* descriptor = m_columns.FindAtPosition(static_cast<std::uint64_t>(col));
    if (descriptor == nullptr)
        return std::string();
    return shown_value(table->rows[static_cast<std::size_t>(row)], *descriptor);
}

std::string CDataGridCtrl::GetDisplayedText(std::uint64_t row, std::uint64_t column) const
{
    return m_displayLayout.Find(row, column);
}

std::string CDataGridCtrl::FormatValue(int col, const std::string& raw) const
{
    if (col < 0 || static_cast<std::size_t>(col) >= m_formatters.size() || !m_formatters[static_cast<std::size_t>(col)])
        return raw;
    return m_formatters[static_cast<std::size_t>(col)](raw);
}

// ---- headings, alignment and colours

void CDataGridCtrl::SetColumnHeading(int col)
{
    const ColumnDescriptor& descriptor = m_columns.AtPosition(static_cast<std::uint64_t>(col));
    std::string caption = descriptor.caption;
    COLORREF colour = m_captionColor;
    if (m_sortState != sort_state::none) {
        caption += m_sortState == sort_state::ascending ? " [A]" : " [D]";
        colour = m_sortedColor;
    }
    SetCellTextAt(col, -1, caption.c_str());
    SetCellBackColorAt(col, -1, colour);
}

void CDataGridCtrl::SetColumnAlignment(int col, short alignment)
{
    if (col < 0 || col >= GetColumnCount() || m_GI->m_colInfo[col].colDefault == nullptr)
        return;
    m_GI->m_colInfo[col].colDefault->SetAlignment(alignment);
}

void CDataGridCtrl::SetColumnsProperty(const std::function<void(CUGCell&)>& set)
{
    for (int col = 0; col < GetColumnCount(); ++col) {
        CUGCell* defaults = m_GI->m_colInfo[col].colDefault;
        if (defaults == nullptr)
            continue;
        // A fresh record claims every drawing property; only the one being set may merge.
        CUGCell change;
        change.SetPropertyFlags(0);
        set(change);
        CUGCell::CopySetPropertiesTo(0, &change, defaults);
    }
}

void CDataGridCtrl::SetColumnsBackColor(COLORREF color)
{
    SetColumnsProperty([color](CUGCell& cell) { cell.SetBackColor(color); });
}

void CDataGridCtrl::SetColumnsTextColor(COLORREF color)
{
    SetColumnsProperty([color](CUGCell& cell) { cell.SetTextColor(color); });
}

void CDataGridCtrl::SetColumnsHighlightTextColor(COLORREF color)
{
    SetColumnsProperty([color](CUGCell& cell) { cell.SetHTextColor(color); });
}

void CDataGridCtrl::SetColumnsHighlightBackColor(COLORREF color)
{
    SetColumnsProperty([color](CUGCell& cell) { cell.SetHBackColor(color); });
}

// ---- hints

void CDataGridCtrl::SetCellHints(bool enabled, cell_hint_provider provider)
{
    m_cellHints = enabled;
    m_cellHintProvider = std::move(provider);
    if (m_GI != nullptr && m_CUGGrid != nullptr)
        SetTipsEnabled(enabled ? TRUE : FALSE);
}

void CDataGridCtrl::SetRowScrollHints(bool enabled, row_hint_provider provider)
{
    m_rowScrollHints = enabled;
    m_rowScrollHintProvider = std::move(provider);
    ApplyScrollHints();
}

void CDataGridCtrl::SetColumnScrollHints(bool enabled, column_hint_provider provider)
{
    m_columnScrollHints = enabled;
    m_columnScrollHintProvider = std::move(provider);
    ApplyScrollHints();
}

void CDataGridCtrl::ApplyScrollHints()
{
    if (m_GI == nullptr)
        return;
    // The sheet keeps one scroll-hint switch for both bars; each bar's tool tips follow its own flag.
    m_GI->m_enableScrollHints = m_rowScrollHints || m_columnScrollHints ? 1 : 0;
    if (m_CUGVScroll != nullptr)
        m_CUGVScroll->EnableToolTips(m_rowScrollHints ? TRUE : FALSE);
    if (m_CUGHScroll != nullptr)
        m_CUGHScroll->EnableToolTips(m_columnScrollHints ? TRUE : FALSE);
}

int CDataGridCtrl::TableRowCount() const
{
    return m_adapter.m_table != nullptr ? clamp_to_int(m_adapter.m_table->rows.size()) : 0;
}

int CDataGridCtrl::GetCellTipText(int col, int row, int section, CString* text)
{
    if (m_cellHintProvider) {
        std::string hint;
        if (m_cellHintProvider(col, row, section, hint)) {
            if (text != nullptr)
                text->Format("%s", hint.c_str());
            return 1;
        }
    }
    if (section == UG_TOPHEADING) {
        const data::data_table* table = m_adapter.m_table;
        const ColumnDescriptor* descriptor =
            col >= 0 ? m_columns.FindAtPosition(static_cast<std::uint64_t>(col)) : nullptr;
        if (table == nullptr || descriptor == nullptr || descriptor->data_column >= table->column_headings.size())
            return 0;
        if (text != nullptr)
            *text = table->column_headings[descriptor->data_column];
        return 1;
    }
    if (section == UG_GRID) {
        if (text != nullptr)
            *text = GetDisplayedText(static_cast<std::uint64_t>(row), static_cast<std::uint64_t>(col));
        return 1;
    }
    return 0;
}

int CDataGridCtrl::GetRowScrollHintText(int row, CString* text)
{
    std::string hint;
    if (m_rowScrollHintProvider && m_rowScrollHintProvider(row, hint)) {
        if (text != nullptr)
            text->Format("%s", hint.c_str());
    } else if (text != nullptr) {
        text->Format("Row %d", row + 1);
    }
    return 1;
}

int CDataGridCtrl::GetColumnScrollHintText(int col, CString* text)
{
    std::string hint;
    if (m_columnScrollHintProvider && m_columnScrollHintProvider(col, hint)) {
        if (text != nullptr)
            text->Format("%s", hint.c_str());
        return 1;
    }
    const data::data_table* table = m_adapter.m_table;
    if (table == nullptr || col < 0 || static_cast<std::size_t>(col) >= table->column_headings.size())
        return 0;
    if (text != nullptr)
        text->Format("Column %s", table->column_headings[static_cast<std::size_t>(col)].c_str());
    return 1;
}

// ---- events

bool CDataGridCtrl::Fire(std::uint64_t row, std::uint64_t column, grid_event event, long x, long y, bool& flag,
                         const std::string& text)
{
    flag = true;
    if (!m_onGridEvent)
        return false;
    m_onGridEvent(row, column, event, x, y, flag, text);
    return true;
}

void CDataGridCtrl::Fire(std::uint64_t row, std::uint64_t column, grid_event event, long x, long y)
{
    bool flag = true;
    Fire(row, column, event, x, y, flag);
}

// ---- notifications

void CDataGridCtrl::OnGridCreated()
{
    m_sortColumn = -1;
    m_sortState = sort_state::none;
    m_GI->m_multiSelectFlag = 1;
    SetTipsEnabled(m_cellHints ? TRUE : FALSE);
    ApplyScrollHints();
    if (m_selectionNotHandedOver)
        m_GI->SetMultiSelect(std::move(m_selectionNotHandedOver));
    m_GI->m_multiSelect->SetGrid(this, m_GI);
    // The row commands act on whole rows, so whole rows are what a click or a drag selects and
    // what is drawn selected.
    m_GI->m_multiSelect->SetMode(UG_MULTISELECT_ROW);
    RecalcPartLayout();
}

void CDataGridCtrl::OnColumnWidthChanging(int col, int* width)
{
    if (width == nullptr)
        return;
    if (*width < 20)
        *width = 20;
    Fire(0, static_cast<std::uint64_t>(std::max(col, 0)), column_width_changing, *width, 0);
}

void CDataGridCtrl::OnCellRightButton(int col, int row, int down, RECT*, POINT*, int)
{
    if (down == 0)
        return;
    POINT cursor {};
    GetCursorPos(&cursor);
    Fire(static_cast<std::uint64_t>(std::max(row, 0)), static_cast<std::uint64_t>(std::max(col, 0)), cell_right_button,
         cursor.x, cursor.y);
}

void CDataGridCtrl::OnCellDoubleClick(int col, int row, RECT*, POINT* point, int)
{
    Fire(static_cast<std::uint64_t>(std::max(row, 0)), static_cast<std::uint64_t>(std::max(col, 0)), cell_double_click,
         point != nullptr ? point->x : 0, point != nullptr ? point->y : 0);
}

void CDataGridCtrl::OnRowHeadingClick(int col, int row, int down, RECT* rect, POINT* point, int)
{
    if (down == 0)
        return;
    const long x = (point != nullptr ? point->x : 0) + (rect != nullptr ? rect->right : 0);
    const long y = (point != nullptr ? point->y : 0) + (rect != nullptr ? rect->bottom : 0);
    // The side heading's own column is negative; the owner is told of the row.
    Fire(static_cast<std::uint64_t>(std::max(row, 0)), static_cast<std::uint64_t>(std::max(col, 0)), row_heading_click,
         x, y);
}

void CDataGridCtrl::OnColumnHeadingClick(int col, int, int down, RECT*, POINT*, int)
{
    if (down == 0)
        return;
    if (m_sortColumn >= 0 && m_sortColumn != col) {
        const int previous = m_sortColumn;
        m_sortState = sort_state::none;
        try {
            SetColumnHeading(previous);
        } catch (const std::exception&) {
            // A heading without a descriptor keeps its text.
        }
    }
    m_sortState = next_sort_state(m_sortState);
    m_sortColumn = col;
    try {
        if (col >= 0)
            SetColumnHeading(col);
        if (m_sortState == sort_state::ascending)
            SortByColumn(col, ascending);
        else if (m_sortState == sort_state::descending)
            SortByColumn(col, descending);
        else
            SortByColumn(-1, ascending);
    } catch (const std::exception& error) {
        std::string caption;
        if (const ColumnDescriptor* descriptor = m_columns.FindAtPosition(static_cast<std::uint64_t>(m_sortColumn)))
            caption = descriptor->caption;
        bool flag = true;
        Fire(0, static_cast<std::uint64_t>(std::max(m_sortColumn, 0)), sort_failed, 0, 0, flag,
             "An error occurred while sorting column [" + caption + "]: " + error.what());
    }
    if (m_adapter.m_table != nullptr) {
        Rebuild(m_adapter.m_table->rows.size(), m_columns.columns.size());
        RepaintAllParts();
        RecalcPartLayout();
    }
}

void CDataGridCtrl::SortByColumn(int column, sort_direction direction)
{
    data::data_table* table = m_adapter.m_table;
    if (table == nullptr || (direction != ascending && direction != descending))
        return;
    m_displayLayout.Clear();
    std::vector<data::data_row*>& rows = table->rows;
    const bool up = direction == ascending;
    if (column == -1) {
        std::sort(rows.begin(), rows.end(), [up](const data::data_row* a, const data::data_row* b) {
            return up ? a->number < b->number : a->number > b->number;
        });
        return;
    }
    // Rows sort by what the column shows.
    const ColumnDescriptor& descriptor = m_columns.AtPosition(static_cast<std::uint64_t>(column));
    switch (descriptor.type) {
    case value_type::text:
        std::sort(rows.begin(), rows.end(), [up, &descriptor](const data::data_row* a, const data::data_row* b) {
            const int order = compare_no_case(shown_value(a, descriptor), shown_value(b, descriptor));
            return up ? order < 0 : order > 0;
        });
        break;
    case value_type::unsigned_integer:
        std::sort(rows.begin(), rows.end(), [up, &descriptor](const data::data_row* a, const data::data_row* b) {
            const std::string& first = shown_value(a, descriptor);
            const std::string& second = shown_value(b, descriptor);
            const std::uint64_t x = to_uint64(first.c_str(), first.size(), 0);
            const std::uint64_t y = to_uint64(second.c_str(), second.size(), 0);
            return up ? x < y : x > y;
        });
        break;
    case value_type::signed_integer:
        std::sort(rows.begin(), rows.end(), [up, &descriptor](const data::data_row* a, const data::data_row* b) {
            const std::string& first = shown_value(a, descriptor);
            const std::string& second = shown_value(b, descriptor);
            const std::int64_t x = to_int64(first.c_str(), first.size());
            const std::int64_t y = to_int64(second.c_str(), second.size());
            return up ? x < y : x > y;
        });
        break;
    }
}

void CDataGridCtrl::OnKeyReleased(UINT* key, int)
{
    if (key == nullptr)
        return;
    // The arrows have moved the current cell on their press already: a move here too would
    // step two rows or columns per press.
    switch (*key) {
    case VK_F5:
        Fire(0, 0, refresh);
        break;
    case VK_DELETE:
        DeleteSelectedRows();
        break;
    default:
        break;
    }
}

void CDataGridCtrl::DeleteSelectedRows()
{
    bool flag = true;
    Fire(0, 0, delete_asked, 0, 0, flag);
    if (!flag)
        return;
    data::data_table* table = m_adapter.m_table;
    if (table != nullptr)
        table->notify = false;
    if (MultiSelectManager* selection = GetSelectionManager())
        selection->ForEachSelectedRow([this](long row, data::data_row*) {
            Fire(static_cast<std::uint64_t>(row), 0, row_deleting);
        });
    // The handler may have rebound the grid; the table whose notifications were stopped resumes.
    if (table != nullptr)
        table->end_update();
    Fire(0, 0, refresh);
}

void CDataGridCtrl::OnCharPressed(UINT*, int) {}

void CDataGridCtrl::OnFetchCell(int col, int row, CUGCell* cell)
{
    if (cell == nullptr || row < 0)
        return;
    // A row's label is its position, whatever the table's order.
    if (col == -1) {
        cell->SetTextValue(std::to_string(static_cast<long long>(row) + 1).c_str());
        return;
    }
    // The corner's colour is the window's signal (caption, filtered, mock copy): never painted over.
    if (col < 0 || row >= TableRowCount())
        return;
    const data::data_row* tableRow = m_adapter.m_table->rows[static_cast<std::size_t>(row)];
    const ColumnDescriptor* descriptor = m_columns.FindAtPosition(static_cast<std::uint64_t>(col));
    if (descriptor == nullptr)
        return;
    std::string displayed = FormatValue(col, shown_value(tableRow, *descriptor));
    cell->SetTextValue(displayed.c_str());
    m_displayLayout.Store(static_cast<std::uint64_t>(row), static_cast<std::uint64_t>(col), std::move(displayed));
}
