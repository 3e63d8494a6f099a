#pragma once
// Every key the application keeps in its settings file, with the form of its value and the
// fallback when it is missing, and the typed readers and writers the window code uses.

#include "platform/base/win_types.h"

#include <string>
#include <vector>

namespace config {
class settings;
}

namespace settings_keys {

enum class key_form {
    switch_value,  // on when the text is "yes" in any letter case; written "Yes" / "No"
    on_off,        // "On" / "Off"
    integer,       // decimal text
    colour,        // "red,green,blue"
    choice,        // one word out of a fixed list
    path,          // a folder or file name
    text,          // a dotted version
};

struct key_definition {
    const char* key { "" };
    key_form form { key_form::text };
    // The text a reader falls back to; colours fall back to the system colour of the key.
    const char* fallback { "" };
};

inline constexpr char log_enabled[] = "Tarvoline/Config/LogEnabled";
inline constexpr char log_path[] = "Tarvoline/Config/LogPath";
inline constexpr char version[] = "Tarvoline/Config/Version";
inline constexpr char db_schema[] = "Tarvoline/Config/DbSchema";
inline constexpr char confirm_close[] = "Tarvoline/Config/ConfirmClose";
inline constexpr char script_repo[] = "Tarvoline/Config/ScriptRepo";
inline constexpr char auto_load[] = "Tarvoline/Config/AutoLoad";
inline constexpr char db_mode[] = "Tarvoline/CacheConfig/DbMode";
inline constexpr char main_path[] = "Tarvoline/Path/Main";
inline constexpr char backup_path[] = "Tarvoline/Path/Backup";
inline constexpr char export_format[] = "Tarvoline/Export/Format";
inline constexpr char on_conflict[] = "Tarvoline/MergeOptions/OnConflict";
inline constexpr char compare_tool[] = "Tarvoline/MergeOptions/CompareTool";
inline constexpr char filter_different_time[] = "Tarvoline/MergeOptions/Filter[@name='different_time']";
inline constexpr char filter_different_size[] = "Tarvoline/MergeOptions/Filter[@name='different_size']";
inline constexpr char filter_missing_main[] = "Tarvoline/MergeOptions/Filter[@name='missing_main']";
inline constexpr char filter_missing_backup[] = "Tarvoline/MergeOptions/Filter[@name='missing_backup']";
inline constexpr char auto_merge[] = "Tarvoline/AutoMerge";
inline constexpr char cell_hint[] = "Tarvoline/Appearance/Grid/Hints/CellValue";
inline constexpr char vertical_scroll_hint[] = "Tarvoline/Appearance/Grid/Hints/VerticalScroll";
inline constexpr char horizontal_scroll_hint[] = "Tarvoline/Appearance/Grid/Hints/HorizontalScroll";
inline constexpr char grid_selected_background[] = "Tarvoline/Appearance/Grid/Background/Selected[@format='rgb']";
inline constexpr char grid_unselected_background[] = "Tarvoline/Appearance/Grid/Background/Unselected[@format='rgb']";
inline constexpr char grid_selected_foreground[] = "Tarvoline/Appearance/Grid/Foreground/Selected[@format='rgb']";
inline constexpr char grid_unselected_foreground[] = "Tarvoline/Appearance/Grid/Foreground/Unselected[@format='rgb']";
inline constexpr char grid_caption_background[] = "Tarvoline/Appearance/Grid/Background/Caption[@format='rgb']";
inline constexpr char grid_filtered_background[] = "Tarvoline/Appearance/Grid/Background/Filtered[@format='rgb']";
inline constexpr char grid_sorted_background[] = "Tarvoline/Appearance/Grid/Background/Sorted[@format='rgb']";
inline constexpr char grid_mock_copy_background[] = "Tarvoline/Appearance/Grid/Background/MockCopy[@format='rgb']";
inline constexpr char merge_better_background[] =
    "Tarvoline/Appearance/MergeDialog/Background/BetterChoice[@format='rgb']";
inline constexpr char merge_worse_background[] =
    "Tarvoline/Appearance/MergeDialog/Background/WorseChoice[@format='rgb']";
inline constexpr char merge_better_foreground[] =
    "Tarvoline/Appearance/MergeDialog/Foreground/BetterChoice[@format='rgb']";
inline constexpr char merge_worse_foreground[] =
    "Tarvoline/Appearance/MergeDialog/Foreground/WorseChoice[@format='rgb']";
inline constexpr char window_top[] = "Tarvoline/Appearance/Window/Top";
inline constexpr char window_left[] = "Tarvoline/Appearance/Window/Left";
inline constexpr char window_width[] = "Tarvoline/Appearance/Window/Width";    // the right edge
inline constexpr char window_height[] = "Tarvoline/Appearance/Window/Height";  // the bottom edge
inline constexpr char window_maximised[] = "Tarvoline/Appearance/Window/Maximised";

// Every key of fixed name; the three families below are built per type, extension or heading.
const std::vector<key_definition>& fixed_keys();
// The definition of a fixed key, or null.
const key_definition* find_key(const std::string& key);

// Key families.
std::string export_file(const std::string& type);        // "CSV", "XML", "EXCEL" or "DB"
std::string open_with(const std::string& extension);
std::string column_width(const std::string& heading);
// False for a predicate value the key grammar cannot carry ("]", "/", edge quotes): such a
// key would address another element.
bool is_usable_predicate_value(const std::string& value);

// The exporters' format names ("CSV", "XML", "DB", "EXCEL") in their order: the types of the
// Export/File keys and the "Format" choices of the Tool options.
const std::vector<std::string>& export_format_choices();
// The "On conflict" words, in the order of conflict_rule.
const std::vector<std::string>& conflict_rule_choices();
const std::vector<std::string>& auto_merge_choices();
const std::vector<std::string>& column_headings();

enum class catalogue_mode { memory, file };
enum class conflict_rule { default_rule, ask, put_off, ignore, force, rename };

// Readers: a missing key gives the fallback; reading never creates a key.
std::string read_text(config::settings& store, const std::string& key, const std::string& fallback = std::string());
bool read_switch(config::settings& store, const std::string& key);
bool read_on_off(config::settings& store, const std::string& key);
// Empty or missing text gives the fallback; other text reads as leading digits (0 if none).
int read_integer(config::settings& store, const std::string& key, int fallback);
// Missing, or fewer than three numbers: the system colour that fits the key.
COLORREF read_colour(config::settings& store, const std::string& key);
COLORREF read_colour(config::settings& store, const std::string& key, COLORREF fallback);
// The list's own spelling of the stored word (letter case ignored), else the fallback.
std::string read_choice(config::settings& store, const std::string& key, const std::vector<std::string>& choices,
                        const std::string& fallback = std::string());
catalogue_mode read_db_mode(config::settings& store);
// The stored word in any letter case; any other text, or none, is the default rule.
conflict_rule read_conflict_rule(config::settings& store);
// Negative or absurd widths (over 10,000 pixels) give the built-in width.
int read_column_width(config::settings& store, const std::string& heading, int built_in_width);
std::string read_open_with(config::settings& store, const std::string& extension);

// The system colour index (COLOR_*) a colour key falls back to; -1 for a key that is no colour.
int system_colour_of(const std::string& key);
COLORREF parse_colour(const std::string& text, COLORREF fallback);
std::string format_colour(COLORREF colour);

struct window_edges {
    int left { 0 };
    int top { 0 };
    int right { 0 };
    int bottom { 0 };
    bool maximised { false };
};
// False (edges untouched) when an edge is missing or the rectangle is empty: the window then
// keeps its own placement.
bool read_window_edges(config::settings& store, window_edges& edges /*out*/);

// Writers: each creates the missing elements and tells the store's change callback.
bool write_text(config::settings& store, const std::string& key, const std::string& value);
bool write_switch(config::settings& store, const std::string& key, bool on);
bool write_on_off(config::settings& store, const std::string& key, bool on);
bool write_integer(config::settings& store, const std::string& key, int value);
bool write_colour(config::settings& store, const std::string& key, COLORREF colour);
bool write_column_width(config::settings& store, const std::string& heading, int width);
bool write_open_with(config::settings& store, const std::string& extension, const std::string& program);
bool write_window_edges(config::settings& store, const window_edges& edges);

} // namespace settings_keys
