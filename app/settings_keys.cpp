#include "app/settings_keys.h"

#include "core/config/settings.h"
#include "core/data/data_exporter.h"
#include "core/utils/string_utils.h"
#include "platform/base/system_services.h"

#include <algorithm>
#include <iterator>

namespace settings_keys {

namespace {

using utils::string_utils::compare_no_case;

constexpr int widest_column = 10000;

struct colour_key {
    const char* key;
    int system_colour;
};

const colour_key colour_keys[] = {
    { grid_selected_background, COLOR_HIGHLIGHT },
    { grid_unselected_background, COLOR_WINDOW },
    { grid_selected_foreground, COLOR_HIGHLIGHTTEXT },
    { grid_unselected_foreground, COLOR_WINDOWTEXT },
    { grid_caption_background, COLOR_BTNFACE },
    { grid_filtered_background, COLOR_BTNFACE },
    { grid_sorted_background, COLOR_BTNFACE },
    { grid_mock_copy_background, COLOR_BTNFACE },
    { merge_better_background, COLOR_WINDOW },
    { merge_worse_background, COLOR_WINDOW },
    { merge_better_foreground, COLOR_WINDOWTEXT },
    { merge_worse_foreground, COLOR_WINDOWTEXT },
};

bool read_value(config::settings& store, const std::string& key, std::string& value)
{
    return store.get(key, value, false);
}

} // namespace

const std::vector<key_definition>& fixed_keys()
{
    static const std::vector<key_definition> keys = {
        { log_enabled, key_form::switch_value, "" },
        { log_path, key_form::path, "" },
        { version, key_form::text, "" },
        { db_schema, key_form::path, "" },
        { confirm_close, key_form::switch_value, "" },
        { script_repo, key_form::path, "" },
        { auto_load, key_form::switch_value, "" },
        { db_mode, key_form::choice, "memory" },
        { main_path, key_form::path, "" },
        { backup_path, key_form::path, "" },
        { export_format, key_form::choice, "" },
        { on_conflict, key_form::choice, "" },
        { compare_tool, key_form::path, "" },
        { filter_different_time, key_form::on_off, "" },
        { filter_different_size, key_form::on_off, "" },
        { filter_missing_main, key_form::on_off, "" },
        { filter_missing_backup, key_form::on_off, "" },
        { auto_merge, key_form::choice, "" },
        { cell_hint, key_form::switch_value, "" },
        { vertical_scroll_hint, key_form::switch_value, "" },
        { horizontal_scroll_hint, key_form::switch_value, "" },
        { grid_selected_background, key_form::colour, "" },
        { grid_unselected_background, key_form::colour, "" },
        { grid_selected_foreground, key_form::colour, "" },
        { grid_unselected_foreground, key_form::colour, "" },
        { grid_caption_background, key_form::colour, "" },
        { grid_filtered_background, key_form::colour, "" },
        { grid_sorted_background, key_form::colour, "" },
        { grid_mock_copy_background, key_form::colour, "" },
        { merge_better_background, key_form::colour, "" },
        { merge_worse_background, key_form::colour, "" },
        { merge_better_foreground, key_form::colour, "" },
        { merge_worse_foreground, key_form::colour, "" },
        { window_top, key_form::integer, "" },
        { window_left, key_form::integer, "" },
        { window_width, key_form::integer, "" },
        { window_height, key_form::integer, "0" },
        { window_maximised, key_form::switch_value, "" },
    };
    return keys;
}

const key_definition* find_key(const std::string& key)
{
    for (const auto& definition : fixed_keys()) {
        if (key == definition.key)
            return &definition;
    }
    return nullptr;
}

std::string export_file(const std::string& type)
{
    return "Tarvoline/Export/File[@type='" + type + "']";
}

std::string open_with(const std::string& extension)
{
    return "Tarvoline/OpenWith/FileType[@extension=" + extension + "]";
}

std::string column_width(const std::string& heading)
{
    return "Tarvoline/Appearance/Grid/Columns/Width[@name=" + heading + "]";
}

bool is_usable_predicate_value(const std::string& value)
{
    if (value.empty() || value.find_first_of("]/") != std::string::npos)
        return false;
    const auto is_quote = [](char c) { return c == '\'' || c == '"'; };
    return !is_quote(value.front()) && !is_quote(value.back());
}

const std::vector<std::string>& export_format_choices()
{
    return data::data_exporter::format_names();
}

const std::vector<std::string>& conflict_rule_choices()
{
    static const std::vector<std::string> rules = { "Default", "Ask", "PutOff", "Ignore", "Force", "Rename" };
    return rules;
}

const std::vector<std::string>& auto_merge_choices()
{
    static const std::vector<std::string> choices = { "KeepNewer", "KeepLarger" };
    return choices;
}

const std::vector<std::string>& column_headings()
{
    static const std::vector<std::string> headings = { "File ID",     "File Name",   "File Size", "File Time",
                                                       "Backup Size", "Backup Time", "Difference" };
    return headings;
}

std::string read_text(config::settings& store, const std::string& key, const std::string& fallback)
{
    std::string value;
    return read_value(store, key, value) ? value : fallback;
}

bool read_switch(config::settings& store, const std::string& key)
{
    return compare_no_case(read_text(store, key), "yes") == 0;
}

bool read_on_off(config::settings& store, const std::string& key)
{
    return compare_no_case(read_text(store, key), "On") == 0;
}

int read_integer(config::settings& store, const std::string& key, int fallback)
{
    const std::string value = read_text(store, key);
    return utils::string_utils::to_int(value.c_str(), value.size(), fallback);
}

int system_colour_of(const std::string& key)
{
    for (const auto& entry : colour_keys) {
        if (key == entry.key)
            return entry.system_colour;
    }
    return -1;
}

COLORREF parse_colour(const std::string& text, COLORREF fallback)
{
    std::vector<int> parts;
    if (!utils::string_utils::split_to_ints(text, ",", parts) || parts.size() < 3)
        return fallback;
    return RGB(parts[0], parts[1], parts[2]);
}

std::string format_colour(COLORREF colour)
{
    return std::to_string(GetRValue(colour)) + "," + std::to_string(GetGValue(colour)) + "," +
           std::to_string(GetBValue(colour));
}

COLORREF read_colour(config::settings& store, const std::string& key)
{
    const int index = system_colour_of(key);
    return read_colour(store, key, GetSysColor(index < 0 ? COLOR_WINDOW : index));
}

COLORREF read_colour(config::settings& store, const std::string& key, COLORREF fallback)
{
    return parse_colour(read_text(store, key), fallback);
}

std::string read_choice(config::settings& store, const std::string& key, const std::vector<std::string>& choices,
                        const std::string& fallback)
{
    const std::string value = read_text(store, key);
    const auto found = std::find_if(choices.begin(), choices.end(),
                                    [&value](const std::string& choice) { return compare_no_case(choice, value) == 0; });
    return found == choices.end() ? fallback : *found;
}

catalogue_mode read_db_mode(config::settings& store)
{
    return compare_no_case(read_text(store, db_mode), "file") == 0 ? catalogue_mode::file : catalogue_mode::memory;
}

conflict_rule read_conflict_rule(config::settings& store)
{
    const std::vector<std::string>& rules = conflict_rule_choices();
    const auto found = std::find(rules.begin(), rules.end(), read_choice(store, on_conflict, rules));
    return found == rules.end() ? conflict_rule::default_rule
                                : static_cast<conflict_rule>(std::distance(rules.begin(), found));
}

int read_column_width(config::settings& store, const std::string& heading, int built_in_width)
{
    const int width = read_integer(store, column_width(heading), built_in_width);
    return (width < 0 || width > widest_column) ? built_in_width : width;
}

std::string read_open_with(config::settings& store, const std::string& extension)
{
    return is_usable_predicate_value(extension) ? read_text(store, open_with(extension)) : std::string();
}

bool read_window_edges(config::settings& store, window_edges& edges)
{
    std::string top, left, right, bottom;
    if (!read_value(store, window_top, top) || !read_value(store, window_left, left) ||
        !read_value(store, window_width, right) || !read_value(store, window_height, bottom))
        return false;
    if (top.empty() || left.empty() || right.empty() || bottom.empty())
        return false;
    window_edges read;
    read.top = utils::string_utils::to_int(top.c_str(), top.size(), 0);
    read.left = utils::string_utils::to_int(left.c_str(), left.size(), 0);
    read.right = utils::string_utils::to_int(right.c_str(), right.size(), 0);
    read.bottom = utils::string_utils::to_int(bottom.c_str(), bottom.size(), 0);
    read.maximised = read_switch(store, window_maximised);
    if (read.right <= read.left || read.bottom <= read.top)
        return false;
    edges = read;
    return true;
}

bool write_text(config::settings& store, const std::string& key, const std::string& value)
{
    return store.set(key, value);
}

bool write_switch(config::settings& store, const std::string& key, bool on)
{
    return store.set(key, std::string(on ? "Yes" : "No"));
}

bool write_on_off(config::settings& store, const std::string& key, bool on)
{
    return store.set(key, std::string(on ? "On" : "Off"));
}

bool write_integer(config::settings& store, const std::string& key, int value)
{
    return store.set(key, value);
}

bool write_colour(config::settings& store, const std::string& key, COLORREF colour)
{
    return store.set(key, format_colour(colour));
}

bool write_column_width(config::settings& store, const std::string& heading, int width)
{
    return is_usable_predicate_value(heading) && store.set(column_width(heading), width);
}

bool write_open_with(config::settings& store, const std::string& extension, const std::string& program)
{
    return is_usable_predicate_value(extension) && store.set(open_with(extension), program);
}

bool write_window_edges(config::settings& store, const window_edges& edges)
{
    bool written = store.set(window_top, edges.top);
    written = store.set(window_left, edges.left) && written;
    written = store.set(window_width, edges.right) && written;
    written = store.set(window_height, edges.bottom) && written;
    return write_switch(store, window_maximised, edges.maximised) && written;
}

} // namespace settings_keys
