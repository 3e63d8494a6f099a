#pragma once
// What the main window's data grid shows of the result table and how: its seven columns with
// widths, value types, alignments and formatters, the colours and the three hints, all read from
// the settings at start and read again when an appearance key changes.
//
// Seam with the main window: the window owns one GridAppearance beside its grid, calls
// DefineColumns before the first bind, ApplyHints and ApplyColours once the grid is attached
// and bound, and forwards the settings store's change callback to Reread. Painting the corner
// cell in MockCopyColour or in the grid's filtered colour is the window's own business.

#include "app/DataGridCtrl.h"

#include "platform/base/win_types.h"

#include <cstdint>
#include <map>
#include <string>

namespace config {
class settings;
}
namespace data {
class data_table;
}

class GridAppearance {
public:
    GridAppearance(CDataGridCtrl& grid, config::settings& store) : m_grid(grid), m_store(store) {}

    // The seven columns; false when one of them could not be added.
    bool DefineColumns(const data::data_table& table);
    // Each form is true when the grid added the column.
    bool DefineUnsignedColumn(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                              const data::data_table& table, std::uint16_t alignment,
                              CDataGridCtrl::formatter format);
    bool DefineTextColumn(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                          const data::data_table& table, CDataGridCtrl::formatter format);
    bool DefineSignedColumn(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                            const data::data_table& table, CDataGridCtrl::formatter format);

    void ApplyHints();
    void ApplyColours();
    // Called with the key the settings store reports as changed.
    void Reread(const std::string& changed_key);

    COLORREF MockCopyColour() const { return m_mockCopyColour; }

    // "1.50 KB" style, two decimals only above 1024 bytes.
    static std::string FormatSize(const std::string& bytes);
    // Seconds since 1970 as local "%Y-%m-%d %H:%M:%S".
    static std::string FormatTime(const std::string& seconds);
    // "1,234,567"
    static std::string GroupDigits(std::uint64_t value);

    bool CellHint(int column, long row, int kind, std::string& text /*out*/) const;

private:
    bool Define(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                const data::data_table& table, std::uint16_t alignment, CDataGridCtrl::value_type type,
                CDataGridCtrl::formatter format);
    void ApplyCellHints();
    void ApplyRowScrollHints();
    void ApplyColumnScrollHints();

    CDataGridCtrl& m_grid;
    config::settings& m_store;
    COLORREF m_mockCopyColour = 0;
    // Each column's built-in width by heading, for a width key changed after the start.
    std::map<std::string, int> m_builtInWidths;
};
