#include "app/PropertyDlg.h"

#include "app/settings_keys.h"
#include "core/config/settings.h"
#include "core/db/sqlite_db.h"
#include "core/logger.h"
#include "core/utils/string_utils.h"
#include "platform/base/dialog_controls.h"

#include <utility>

namespace keys = settings_keys;

dialog_template property_dialog_template()
{
    dialog_template table;
    table.id = IDD_PROPERTIES;
    table.caption = "Properties";
    table.width = 311;
    table.height = 183;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    using kind = dialog_control_kind;
    table.controls = {
        {IDC_PROPERTY_GRID, kind::property_grid, "", 2, 2, 307, 163},
        {IDC_PROPERTIES_OK, kind::default_push_button, "OK", 203, 167, 50, 14},
        {IDC_PROPERTIES_CANCEL, kind::push_button, "Cancel", 257, 167, 50, 14},
    };
    return table;
}

CPropertyDlg::CPropertyDlg(config::settings& store, CWnd* parent) : CDialogEx(IDD_PROPERTIES, parent), m_store(store)
{
    if (!platform::find_dialog_template(IDD_PROPERTIES))
        platform::register_dialog_template(property_dialog_template());
}

std::uint32_t CPropertyDlg::AddGroup(const std::string& name)
{
    const auto known = m_group_indexes.find(name);
    if (known != m_group_indexes.end())
        return known->second;
    const auto index = static_cast<std::uint32_t>(m_groups.size());
    m_pending_groups.push_back(std::make_unique<CMFCPropertyGridProperty>(CString(name.c_str())));
    m_groups.push_back(m_pending_groups.back().get());
    m_group_indexes.emplace(name, index);
    return index;
}

CMFCPropertyGridProperty* CPropertyDlg::Group(int index) const
{
    return index >= 0 && index < GroupCount() ? m_groups[static_cast<std::size_t>(index)] : nullptr;
}

CMFCPropertyGridProperty* CPropertyDlg::AddToGroup(std::uint32_t group, std::unique_ptr<CMFCPropertyGridProperty> property)
{
    CMFCPropertyGridProperty* parent = Group(static_cast<int>(group));
    if (!parent)
        return nullptr;
    CMFCPropertyGridProperty* added = property.get();
    const std::string path = std::string(parent->GetName().GetString()) + "/" + added->GetName().GetString();
    m_item_indexes[path] = static_cast<std::uint32_t>(parent->GetSubItemsCount());
    parent->AddSubItem(property.release());
    added->Enable(TRUE);
    return added;
}

CMFCPropertyGridProperty* CPropertyDlg::AddTextProperty(std::uint32_t group, const std::string& label,
                                                        const std::string& value, const std::string& description)
{
    return AddToGroup(group, std::make_unique<CMFCPropertyGridProperty>(CString(label.c_str()), CString(value.c_str()),
                                                                        CString(description.c_str())));
}

CMFCPropertyGridProperty* CPropertyDlg::AddChoiceProperty(std::uint32_t group, const std::string& label,
                                                          const std::string& value,
                                                          const std::vector<std::string>& options,
                                                          const std::string& description)
{
    // A stored word in another letter case shows as the option it means.
    std::string shown = value;
    for (const std::string& option : options)
        if (utils::string_utils::compare_no_case(option, value) == 0)
            shown = option;
    auto property = std::make_unique<CMFCPropertyGridProperty>(CString(label.c_str()), CString(shown.c_str()),
                                                               CString(description.c_str()));
    for (const std::string& option : options)
        property->AddOption(option.c_str());
    property->AllowEdit(FALSE);
    return AddToGroup(group, std::move(property));
}

CMFCPropertyGridProperty* CPropertyDlg::AddColourProperty(std::uint32_t group, const std::string& label, COLORREF value,
                                                          const std::string& description)
{
    return AddToGroup(group, std::make_unique<CMFCPropertyGridColorProperty>(CString(label.c_str()), value, nullptr,
                                                                             CString(description.c_str())));
}

void CPropertyDlg::RegisterProperty(const CMFCPropertyGridProperty* property, const property_record& record)
{
    if (property)
        m_records[property] = record;
}

const CPropertyDlg::property_record* CPropertyDlg::RecordOf(const CMFCPropertyGridProperty* property) const
{
    const auto found = m_records.find(property);
    return found == m_records.end() ? nullptr : &found->second;
}

BOOL CPropertyDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    if (m_grid) {
        for (auto& group : m_pending_groups)
            m_grid->AddProperty(group.release());
        m_pending_groups.clear();
        m_grid->EnableHeaderCtrl(TRUE, "Property", "Value");
        m_grid->EnableDescriptionArea(TRUE);
        m_grid->MarkModifiedProperties(TRUE);
        m_grid->EnableWindow(TRUE);
        m_grid->refresh_peer();
        CRect area;
        m_grid->GetClientRect(&area);
        m_grid->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.Width(), area.Height()));
    }
    return TRUE;
}

void CPropertyDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    if (!m_grid)
        m_grid = dynamic_cast<CMFCPropertyGridCtrl*>(GetDlgItem(IDC_PROPERTY_GRID));
}

BOOL CPropertyDlg::OnCommand(WPARAM wparam, LPARAM lparam)
{
    if (HIWORD(wparam) == BN_CLICKED) {
        if (LOWORD(wparam) == IDC_PROPERTIES_OK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wparam) == IDC_PROPERTIES_CANCEL) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

void CPropertyDlg::OnOK()
{
    std::vector<std::pair<std::string, std::string>> changed;
    for (CMFCPropertyGridProperty* group : m_groups) {
        for (int index = 0; index < group->GetSubItemsCount(); ++index) {
            const CMFCPropertyGridProperty* property = group->GetSubItem(index);
            const property_record* record = RecordOf(property);
            if (!property->IsModified() || !record)
                continue;
            // A colour's value text is already its "red,green,blue".
            changed.emplace_back(record->key, property->GetValue().GetString());
        }
    }
    for (const auto& [key, value] : changed)
        m_store.set(key, value);
    EndDialog(IDOK);
}

namespace {

struct option_builder {
    CPropertyDlg& dialog;
    config::settings& store;
    std::uint32_t group = 0;

    void in(const std::string& name) { group = dialog.AddGroup(name); }
    void record(CMFCPropertyGridProperty* property, const std::string& key, const std::string& label,
                const std::string& description)
    {
        const CMFCPropertyGridProperty* holder = dialog.Group(static_cast<int>(group));
        const auto item = static_cast<std::uint32_t>(holder ? holder->GetSubItemsCount() - 1 : 0);
        dialog.RegisterProperty(property, {group, item, key, label, description});
    }
    void text(const std::string& label, const std::string& key, const std::string& description)
    {
        record(dialog.AddTextProperty(group, label, keys::read_text(store, key), description), key, label, description);
    }
    // A missing or odd value shows as what the program takes it for.
    void choice(const std::string& label, const std::string& key, const std::vector<std::string>& options,
                const std::string& description)
    {
        const keys::key_definition* definition = keys::find_key(key);
        std::string value;
        if (definition && definition->form == keys::key_form::switch_value)
            value = keys::read_switch(store, key) ? "Yes" : "No";
        else if (definition && definition->form == keys::key_form::on_off)
            value = keys::read_on_off(store, key) ? "On" : "Off";
        else
            value = keys::read_choice(store, key, options, definition ? definition->fallback : "");
        record(dialog.AddChoiceProperty(group, label, value, options, description), key, label, description);
    }
    void colour(const std::string& label, const std::string& key, const std::string& description)
    {
        record(dialog.AddColourProperty(group, label, keys::read_colour(store, key), description), key, label,
               description);
    }
};

}  // namespace

void build_tool_options(CPropertyDlg& dialog, config::settings& store)
{
    const std::vector<std::string> yes_no = {"Yes", "No"};
    const std::vector<std::string> on_off = {"On", "Off"};
    option_builder add{dialog, store};

    add.in("Configuration");
    add.text("DB Schema", keys::db_schema, "Sets the SQLite database schema");
    add.text("Log Path", keys::log_path, "Sets the default log file path");
    add.choice("Log Enabled", keys::log_enabled, yes_no, "Enables file logging");
    add.text("Script Repository", keys::script_repo,
             "Sets the script repository path where system/custom sql scripts are stored");
    add.choice("Confirm Close", keys::confirm_close, yes_no, "Asks for confirm before closing the application");
    add.choice("Auto Load", keys::auto_load, yes_no, "Shows folder differences at startup");

    add.in("Directories");
    add.text("Main directory", keys::main_path, "Main directory to merge against a backup");
    add.text("Backup directory", keys::backup_path, "Backup directory to synchronise");

    add.in("Merge options");
    const auto compared = [](const std::string& what) {
        return "Sets (On/Off) whether " + what + " is taken into account when comparing files into the two directories";
    };
    add.choice("Different time", keys::filter_different_time, on_off, compared("file time"));
    add.choice("Different size", keys::filter_different_size, on_off, compared("file size"));
    add.choice("Missing main copy", keys::filter_missing_main, on_off,
               compared("the presence of a file in the Main directory"));
    add.choice("Missing backup copy", keys::filter_missing_backup, on_off,
               compared("the presence of a file in the Backup directory"));
    add.choice("On conflict", keys::on_conflict, keys::conflict_rule_choices(),
               "Sets how conflicts should be resolved when merging files manually");
    add.choice("Auto merge", keys::auto_merge, keys::auto_merge_choices(),
               "Sets how conflicts should be resolved when merging files automatically");

    add.in("Export");
    add.choice("Format", keys::export_format, keys::export_format_choices(), "Sets the export file format");
    // The file of the format current now; an empty or unknown format edits the CSV file.
    const std::string format = keys::read_choice(store, keys::export_format, keys::export_format_choices(), "CSV");
    add.text("Output file", keys::export_file(format), "Path to output file to use on export data");

    add.in("Appearance");
    add.colour("Selected BG", keys::grid_selected_background, "Backgroud colour of selected cells");
    add.colour("Unselected BG", keys::grid_unselected_background, "Backgroud colour of unselected cells");
    add.colour("MockCopy BG", keys::grid_mock_copy_background, "Signals that Mock Copy mode is active");
    add.colour("Selected FG", keys::grid_selected_foreground, "Foregroud colour of selected cells");
    add.colour("Unselected BG", keys::grid_unselected_foreground, "Backgroud colour of unselected cells");
    for (const std::string& heading : keys::column_headings())
        add.text(heading + " Width", keys::column_width(heading), "Width of column " + heading);
    add.colour("Better choice BG", keys::merge_better_background,
               "Background colour of better choice during manual merge");
    add.colour("Worse choice BG", keys::merge_worse_background, "Background colour of worse choice during manual merge");
    add.colour("Better choice FG", keys::merge_better_foreground,
               "Foreground colour of better choice during manual merge");
    add.colour("Worse choice FG", keys::merge_worse_foreground, "Foreground colour of worse choice during manual merge");
    add.choice("Cell hint", keys::cell_hint, yes_no, "Displays a hint when the mouse is over a cell");
    add.choice("Vertical scroll hint", keys::vertical_scroll_hint, yes_no,
               "Displays a hint when the mouse is dragging the vertical scrollbar");
    add.choice("Horizontal scroll hint", keys::horizontal_scroll_hint, yes_no,
               "Displays a hint when the mouse is dragging the horizontal scrollbar");

    add.in("Cache configuration");
    std::vector<std::string> modes;
    db::sqlite_db::modes(modes);
    add.choice("DB mode", keys::db_mode, modes, "Sets the SQLite cache mode");
}

bool run_tool_options(CWnd* parent, config::settings& store, logger& log, const std::function<bool()>& save_settings)
{
    CPropertyDlg dialog(store, parent);
    build_tool_options(dialog, store);
    if (dialog.DoModal() != IDOK)
        return false;
    const bool saved = save_settings ? save_settings() : store.save();
    if (!saved)
        log.enqueue("Unable to save settings into " + store.file_name(), logger::error);
    return saved;
}
