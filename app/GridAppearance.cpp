#include "app/GridAppearance.h"

#include "app/settings_keys.h"
#include "core/data/data_table.h"
#include "core/utils/string_utils.h"

#include <algorithm>
#include <ctime>

namespace keys = settings_keys;
using utils::string_utils::compare_no_case;

namespace {

bool same_key(const std::string& a, const char* b) { return compare_no_case(a, b) == 0; }

std::string table_text(const std::vector<std::string>& texts, std::size_t index)
{
    return index < texts.size() ? texts[index] : std::string();
}

}  // namespace

bool GridAppearance::Define(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                            const data::data_table& table, std::uint16_t alignment, CDataGridCtrl::value_type type,
                            CDataGridCtrl::formatter format)
{
    const std::string heading = table_text(table.column_headings, table_index);
    CDataGridCtrl::ColumnDescriptor descriptor;
    descriptor.caption = heading;
    descriptor.data_column = static_cast<std::uint32_t>(table_index);
    descriptor.visible = true;
    descriptor.format = std::move(format);
    descriptor.alignment = alignment;
    m_builtInWidths[heading] = static_cast<int>(built_in_width);
    descriptor.width = static_cast<std::uint32_t>(
        keys::read_column_width(m_store, heading, static_cast<int>(built_in_width)));
    descriptor.type = type;
    return m_grid.AddColumn(position, heading, descriptor);
}

bool GridAppearance::DefineUnsignedColumn(std::uint64_t position, std::uint32_t built_in_width,
                                          std::size_t table_index, const data::data_table& table,
                                          std::uint16_t alignment, CDataGridCtrl::formatter format)
{
    return Define(position, built_in_width, table_index, table, alignment, CDataGridCtrl::value_type::unsigned_integer,
                  std::move(format));
}

bool GridAppearance::DefineTextColumn(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                                      const data::data_table& table, CDataGridCtrl::formatter format)
{
    return Define(position, built_in_width, table_index, table, 1, CDataGridCtrl::value_type::text, std::move(format));
}

bool GridAppearance::DefineSignedColumn(std::uint64_t position, std::uint32_t built_in_width, std::size_t table_index,
                                        const data::data_table& table, CDataGridCtrl::formatter format)
{
    return Define(position, built_in_width, table_index, table, 1, CDataGridCtrl::value_type::signed_integer,
                  std::move(format));
}

bool GridAppearance::DefineColumns(const data::data_table& table)
{
    bool all = true;
    all &= DefineUnsignedColumn(0, 45, 0, table, 1, nullptr);
    all &= DefineTextColumn(1, 200, 1, table, nullptr);
    all &= DefineUnsignedColumn(2, 80, 3, table, 2, FormatSize);
    all &= DefineSignedColumn(3, 0, 4, table, FormatTime);
    all &= DefineUnsignedColumn(4, 80, 8, table, 2, FormatSize);
    all &= DefineSignedColumn(5, 0, 9, table, FormatTime);
    all &= DefineTextColumn(6, 90, 10, table, nullptr);
    // A row missing in main still names its file: the backup side's name stands in for it.
    const auto& keys = table.column_keys;
    const auto backup_name = std::find(keys.begin(), keys.end(), "backup_name");
    if (backup_name != keys.end())
        m_grid.SetColumnFallback(1, static_cast<std::uint32_t>(backup_name - keys.begin()));
    return all;
}

std::string GridAppearance::FormatSize(const std::string& bytes)
{
    // A file missing on that side has no size; "0 B" would claim an empty file.
    if (bytes.empty())
        return std::string();
    const std::uint64_t value = utils::string_utils::to_uint64(bytes.c_str(), bytes.size(), 0);
    return utils::string_utils::format_size(value, value > 1024 ? 2 : 0);
}

std::string GridAppearance::FormatTime(const std::string& seconds)
{
    // A file missing on that side has no time; 1970 would be a made-up date.
    if (seconds.empty())
        return std::string();
    const std::time_t time = static_cast<std::time_t>(utils::string_utils::to_int64(seconds.c_str(), seconds.size()));
    std::tm local {};
    if (localtime_r(&time, &local) == nullptr)
        return std::string();
    char text[64] = {};
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

std::string GridAppearance::GroupDigits(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t index = 0; index < digits.size(); ++index) {
        if (index > 0 && (digits.size() - index) % 3 == 0)
            grouped += ',';
        grouped += digits[index];
    }
    return grouped;
}

bool GridAppearance::CellHint(int column, long row, int kind, std::string& text) const
{
    const CDataGridCtrl::ColumnsInfo& columns = m_grid.GetColumnsInfo();
    const data::data_table* table = m_grid.GetTable();
    const CDataGridCtrl::ColumnDescriptor* descriptor =
        column >= 0 ? columns.FindAtPosition(static_cast<std::uint64_t>(column)) : nullptr;
    if (kind == UG_TOPHEADING) {
        text = table != nullptr && descriptor != nullptr ? table_text(table->column_headings, descriptor->data_column)
                                                         : std::string();
        return true;
    }
    if (kind != UG_GRID)
        return false;

    const std::string displayed =
        m_grid.GetDisplayedText(static_cast<std::uint64_t>(row), static_cast<std::uint64_t>(column));
    const data::data_row* tableRow = nullptr;
    if (table != nullptr && row >= 0 && static_cast<std::size_t>(row) < table->rows.size())
        tableRow = table->rows[static_cast<std::size_t>(row)];
    const std::string key =
        table != nullptr && descriptor != nullptr ? table_text(table->column_keys, descriptor->data_column) : "";
    const auto raw = [&](const std::string& wanted) {
        if (tableRow == nullptr)
            return std::string();
        for (std::size_t index = 0; index < table->column_keys.size() && index < tableRow->cells.size(); ++index)
            if (table->column_keys[index] == wanted)
                return tableRow->cells[index];
        return std::string();
    };

    if (key == "file_name") {
        // The folder of the file the name belongs to: the backup side's on a row missing in main.
        const std::string folder = raw("file_name").empty() ? raw("backup_fullpath") : raw("file_fullpath");
        text = folder.empty() ? displayed : folder + "/" + displayed;
    } else if (key == "file_size" || key == "backup_size") {
        const std::string bytes = raw(key);
        text = displayed + " (" + GroupDigits(utils::string_utils::to_uint64(bytes.c_str(), bytes.size(), 0)) +
               " bytes)";
    } else {
        text = displayed;
    }
    return true;
}

void GridAppearance::ApplyCellHints()
{
    const bool on = keys::read_switch(m_store, keys::cell_hint);
    CDataGridCtrl::cell_hint_provider provider;
    if (on)
        provider = [this](int column, long row, int kind, std::string& text) {
            return CellHint(column, row, kind, text);
        };
    m_grid.SetCellHints(on, provider);
}

void GridAppearance::ApplyRowScrollHints()
{
    const bool on = keys::read_switch(m_store, keys::vertical_scroll_hint);
    CDataGridCtrl::row_hint_provider provider;
    if (on)
        provider = [](long, std::string&) { return false; };
    m_grid.SetRowScrollHints(on, provider);
}

void GridAppearance::ApplyColumnScrollHints()
{
    const bool on = keys::read_switch(m_store, keys::horizontal_scroll_hint);
    CDataGridCtrl::column_hint_provider provider;
    if (on)
        provider = [](long, std::string&) { return false; };
    m_grid.SetColumnScrollHints(on, provider);
}

void GridAppearance::ApplyHints()
{
    ApplyCellHints();
    ApplyRowScrollHints();
    ApplyColumnScrollHints();
}

void GridAppearance::ApplyColours()
{
    m_grid.SetColumnsHighlightBackColor(keys::read_colour(m_store, keys::grid_selected_background));
    m_grid.SetColumnsBackColor(keys::read_colour(m_store, keys::grid_unselected_background));
    // The selected foreground goes to the highlight text, where it shows, rather than being
    // overwritten at once by the unselected one.
    m_grid.SetColumnsHighlightTextColor(keys::read_colour(m_store, keys::grid_selected_foreground));
    m_grid.SetColumnsTextColor(keys::read_colour(m_store, keys::grid_unselected_foreground));
    m_grid.SetCaptionColor(keys::read_colour(m_store, keys::grid_caption_background));
    m_grid.SetFilteredColor(keys::read_colour(m_store, keys::grid_filtered_background));
    m_grid.SetSortedColor(keys::read_colour(m_store, keys::grid_sorted_background));
    m_mockCopyColour = keys::read_colour(m_store, keys::grid_mock_copy_background);
}

void GridAppearance::Reread(const std::string& changed_key)
{
    if (same_key(changed_key, keys::grid_selected_background)) {
        m_grid.SetColumnsHighlightBackColor(keys::read_colour(m_store, keys::grid_selected_background));
    } else if (same_key(changed_key, keys::grid_unselected_background)) {
        m_grid.SetColumnsBackColor(keys::read_colour(m_store, keys::grid_unselected_background));
    } else if (same_key(changed_key, keys::grid_selected_foreground)) {
        m_grid.SetColumnsHighlightTextColor(keys::read_colour(m_store, keys::grid_selected_foreground));
    } else if (same_key(changed_key, keys::grid_unselected_foreground)) {
        m_grid.SetColumnsTextColor(keys::read_colour(m_store, keys::grid_unselected_foreground));
    } else if (same_key(changed_key, keys::grid_caption_background)) {
        m_grid.SetCaptionColor(keys::read_colour(m_store, keys::grid_caption_background));
    } else if (same_key(changed_key, keys::grid_filtered_background)) {
        m_grid.SetFilteredColor(keys::read_colour(m_store, keys::grid_filtered_background));
    } else if (same_key(changed_key, keys::grid_mock_copy_background)) {
        m_mockCopyColour = keys::read_colour(m_store, keys::grid_mock_copy_background);
    } else if (same_key(changed_key, keys::cell_hint)) {
        ApplyCellHints();
    } else if (same_key(changed_key, keys::vertical_scroll_hint)) {
        ApplyRowScrollHints();
    } else if (same_key(changed_key, keys::horizontal_scroll_hint)) {
        ApplyColumnScrollHints();
    } else {
        // A width stored in Tool options shows at once, as the colours do.
        for (const auto& [position, heading] : m_grid.GetColumnsInfo().positions) {
            const auto built_in = m_builtInWidths.find(heading);
            if (built_in != m_builtInWidths.end() && same_key(changed_key, keys::column_width(heading).c_str()))
                m_grid.SetColumnWidthAt(static_cast<int>(position),
                                        keys::read_column_width(m_store, heading, built_in->second));
        }
    }
}
