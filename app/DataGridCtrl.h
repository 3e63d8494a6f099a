#pragma once
// The main window's grid over the table of differences. It holds no copy of the table: the grid
// is sized to the table and every cell about to be drawn is read from its row, formatted by the
// column's formatter and remembered as displayed text; row labels are answered the same way, so
// nothing is stored per row. The owner learns of clicks, refresh requests, deletions and sort
// failures through one callable.

#include "core/data/data_table.h"
#include "grid/UGCtrl.h"
#include "grid/UGDataSource.h"
#include "grid/UGMultiSelect.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The grid's view of the bound table as a data source: column names and removal of rows.
class CUGDataAdapter : public CUGDataSource {
public:
    int ColumnNameAt(int col, CString* name) override;
    int ColumnTypeAt(int col, int* type) override;
    int RemoveRow(int row) override;

    data::data_table* m_table = nullptr;
};

class CDataGridCtrl : public CUGCtrl {
public:
    enum grid_event : std::int32_t {
        cell_double_click = 1,
        cell_right_button = 2,
        row_heading_click = 3,
        refresh = 4,
        sort_failed = 5,
        column_width_changing = 6,
        row_deleting = 8,
        delete_asked = 9,
    };
    // `flag` starts true; the owner clears it on delete_asked to keep the rows.
    using grid_event_callback =
        std::function<void(const std::uint64_t& row, const std::uint64_t& column, const grid_event& event, long x,
                           long y, bool& flag, const std::string& text)>;
    using cell_hint_provider = std::function<bool(int column, long row, int section, std::string& text /*out*/)>;
    using row_hint_provider = std::function<bool(long row, std::string& text /*out*/)>;
    using column_hint_provider = std::function<bool(long column, std::string& text /*out*/)>;
    using formatter = std::function<std::string(const std::string&)>;

    enum class value_type { text, unsigned_integer, signed_integer };
    enum sort_direction { ascending, descending };
    // Clicks on one column's heading go from none to ascending to descending and back to none.
    enum class sort_state { none, ascending, descending };

    struct ColumnDescriptor {
        std::string caption;
        std::uint32_t data_column { 0 };  // 0-based index of the table column
        bool visible { true };
        formatter format;
        std::uint16_t alignment { 1 };
        std::uint32_t width { 0 };
        value_type type { value_type::text };
        // The table column read where the data column's cell is empty, if any.
        std::optional<std::uint32_t> fallback_column;
    };

    // The texts of the cells drawn lately, for hints. Two generations of at most RowsPerGeneration
    // rows each: when the current one is full it becomes the previous one, so a row drawn since
    // the previous generation began is still found and the whole stays bounded.
    class DisplayLayout {
    public:
        static constexpr std::size_t RowsPerGeneration = 1024;

        void Store(std::uint64_t row, std::uint64_t column, std::string text);
        // Empty when the cell has not been drawn since the last Clear.
        std::string Find(std::uint64_t row, std::uint64_t column) const;
        void Clear();
        std::size_t RowCount() const { return m_current.size() + m_previous.size(); }

    private:
        using Rows = std::unordered_map<std::uint64_t, std::vector<std::string>>;
        Rows m_current;
        Rows m_previous;
    };

    class ColumnsInfo {
    public:
        // Both throw std::runtime_error("Unbound column " + key).
        const ColumnDescriptor& Find(const std::string& key) const;
        const ColumnDescriptor& AtPosition(std::uint64_t position) const;
        // The column shown at `position`; null when none is.
        const ColumnDescriptor* FindAtPosition(std::uint64_t position) const;
        ColumnDescriptor* FindAtPosition(std::uint64_t position);

        std::map<std::string, ColumnDescriptor> columns;
        std::map<std::uint64_t, std::string> positions;
    };

    class MultiSelectManager : public CUGMultiSelect {
    public:
        struct SelectedBlock {
            int start_column { 0 };
            int start_row { 0 };
            int end_column { 0 };
            int end_row { 0 };
        };

        explicit MultiSelectManager(CDataGridCtrl* grid) : m_grid(grid) {}
        ~MultiSelectManager() override;

        // Each selected row once, in ascending order, with its table row.
        void ForEachSelectedRow(const std::function<void(long, data::data_row*)>& fn);

    private:
        bool RowSelected(long row);

        CDataGridCtrl* m_grid = nullptr;
        std::vector<SelectedBlock> m_blocks;
    };

    CDataGridCtrl();
    ~CDataGridCtrl() override;

    bool BindTable(data::data_table* table);
    data::data_table* GetTable() const { return m_adapter.m_table; }
    virtual void OnTableChanged(const std::uint64_t& row, const std::uint64_t& column, const data::change_type& kind);
    void Rebuild(std::uint64_t rows, std::uint64_t columns);

    // False when the position or the key already has a column.
    bool AddColumn(std::uint64_t position, const std::string& key, const ColumnDescriptor& descriptor);
    const ColumnsInfo& GetColumnsInfo() const { return m_columns; }
    const DisplayLayout& GetDisplayLayout() const { return m_displayLayout; }

    // Where the column's cell is empty, `data_column` (0-based) is shown in its stead.
    bool SetColumnFallback(std::uint64_t position, std::uint32_t data_column);
    // The table's text behind a grid cell, before formatting; empty outside the table.
    std::string ValueAt(int col, int row) const;
    std::string GetDisplayedText(std::uint64_t row, std::uint64_t column) const;
    std::string FormatValue(int col, const std::string& raw) const;

    void SetColumnHeading(int col);
    void SetColumnAlignment(int col, short alignment);
    void SortByColumn(int column, sort_direction direction);
    sort_state GetSortState() const { return m_sortState; }

    COLORREF GetCaptionColor() const { return m_captionColor; }
    void SetCaptionColor(COLORREF color) { m_captionColor = color; }
    COLORREF GetFilteredColor() const { return m_filteredColor; }
    void SetFilteredColor(COLORREF color) { m_filteredColor = color; }
    COLORREF GetSortedColor() const { return m_sortedColor; }
    void SetSortedColor(COLORREF color) { m_sortedColor = color; }
    void SetColumnsBackColor(COLORREF color);
    void SetColumnsTextColor(COLORREF color);
    void SetColumnsHighlightTextColor(COLORREF color);
    void SetColumnsHighlightBackColor(COLORREF color);

    void SetCellHints(bool enabled, cell_hint_provider provider);
    void SetRowScrollHints(bool enabled, row_hint_provider provider);
    void SetColumnScrollHints(bool enabled, column_hint_provider provider);
    bool CellHintsEnabled() const { return m_cellHints; }
    bool RowScrollHintsEnabled() const { return m_rowScrollHints; }
    bool ColumnScrollHintsEnabled() const { return m_columnScrollHints; }

    void SetGridEventCallback(grid_event_callback callback) { m_onGridEvent = std::move(callback); }
    // The sheet's manager once the grid is created; before, the one waiting to be handed over.
    MultiSelectManager* GetSelectionManager() const;

    void OnGridCreated() override;
    void OnColumnWidthChanging(int col, int* width) override;
    void OnCellRightButton(int col, int row, int down, RECT* rect, POINT* point, int processed) override;
    void OnCellDoubleClick(int col, int row, RECT* rect, POINT* point, int processed) override;
    void OnColumnHeadingClick(int col, int row, int down, RECT* rect, POINT* point, int processed) override;
    void OnRowHeadingClick(int col, int row, int down, RECT* rect, POINT* point, int processed) override;
    void OnKeyReleased(UINT* key, int processed) override;
    void OnCharPressed(UINT* character, int processed) override;
    void OnFetchCell(int col, int row, CUGCell* cell) override;
    int GetCellTipText(int col, int row, int section, CString* text) override;
    int GetRowScrollHintText(int row, CString* text) override;
    int GetColumnScrollHintText(int col, CString* text) override;

private:
    // True when the callback was there to be told.
    bool Fire(std::uint64_t row, std::uint64_t column, grid_event event, long x, long y, bool& flag,
              const std::string& text = std::string());
    void Fire(std::uint64_t row, std::uint64_t column, grid_event event, long x = 0, long y = 0);
    void DeleteSelectedRows();
    void ApplyScrollHints();
    void SetColumnsProperty(const std::function<void(CUGCell&)>& set);
    int TableRowCount() const;

    DisplayLayout m_displayLayout;
    ColumnsInfo m_columns;
    std::vector<formatter> m_formatters;
    std::int32_t m_sortColumn = -1;
    sort_state m_sortState = sort_state::none;
    CUGDataAdapter m_adapter;
    COLORREF m_captionColor = RGB(0xF0, 0xF0, 0xF0);
    COLORREF m_filteredColor = RGB(0xF0, 0xF0, 0xF0);
    COLORREF m_sortedColor = RGB(0xF0, 0xF0, 0xF0);
    grid_event_callback m_onGridEvent;
    bool m_cellHints = false;
    cell_hint_provider m_cellHintProvider;
    bool m_rowScrollHints = false;
    row_hint_provider m_rowScrollHintProvider;
    bool m_columnScrollHints = false;
    column_hint_provider m_columnScrollHintProvider;
    // Held until the grid is created, then the sheet owns it.
    std::unique_ptr<MultiSelectManager> m_selectionNotHandedOver;
};
