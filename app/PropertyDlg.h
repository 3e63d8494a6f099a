#pragma once
// Settings > Tool options: the "Properties" dialog, a property grid over the settings keys
// grouped by subject. OK writes each value the user changed to its key; Cancel writes nothing.

#include "platform/base/dialog.h"
#include "platform/base/property_grid.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class logger;
namespace config {
class settings;
}

constexpr UINT IDD_PROPERTIES = 59648;
constexpr int IDC_PROPERTY_GRID = 1020;
constexpr int IDC_PROPERTIES_OK = 1021;
constexpr int IDC_PROPERTIES_CANCEL = 1022;

dialog_template property_dialog_template();

class CPropertyDlg : public CDialogEx {
public:
    struct property_record {
        std::uint32_t group = 0;
        std::uint32_t item = 0;
        std::string key;
        std::string label;
        std::string description;
    };

    CPropertyDlg(config::settings& store, CWnd* parent = nullptr);

    std::uint32_t AddGroup(const std::string& name);
    CMFCPropertyGridProperty* AddTextProperty(std::uint32_t group, const std::string& label, const std::string& value,
                                              const std::string& description);
    CMFCPropertyGridProperty* AddChoiceProperty(std::uint32_t group, const std::string& label, const std::string& value,
                                                const std::vector<std::string>& options, const std::string& description);
    CMFCPropertyGridProperty* AddColourProperty(std::uint32_t group, const std::string& label, COLORREF value,
                                                const std::string& description);
    // What OK writes the property's value to. Records are kept by property, so two rows of one
    // label keep their own keys.
    void RegisterProperty(const CMFCPropertyGridProperty* property, const property_record& record);

    // The groups, built before the dialog runs; the grid owns them while the dialog's window
    // exists, so they are not to be used once it is gone.
    int GroupCount() const { return static_cast<int>(m_groups.size()); }
    CMFCPropertyGridProperty* Group(int index) const;
    const property_record* RecordOf(const CMFCPropertyGridProperty* property) const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    void OnOK() override;

private:
    CMFCPropertyGridProperty* AddToGroup(std::uint32_t group, std::unique_ptr<CMFCPropertyGridProperty> property);

    std::map<std::string, std::uint32_t> m_group_indexes;
    std::map<std::string, std::uint32_t> m_item_indexes;
    std::map<const CMFCPropertyGridProperty*, property_record> m_records;
    // The groups are built before the grid exists; the grid takes them over when it is made.
    std::vector<std::unique_ptr<CMFCPropertyGridProperty>> m_pending_groups;
    std::vector<CMFCPropertyGridProperty*> m_groups;
    CMFCPropertyGridCtrl* m_grid = nullptr;
    config::settings& m_store;
};

// Every group and property of the settings, each showing its key's current value.
void build_tool_options(CPropertyDlg& dialog, config::settings& store);

// The Tool options command: on OK the changed values are set and the settings saved through
// `save_settings` (the store's own save when empty); a failed save is one ERROR line.
bool run_tool_options(CWnd* parent, config::settings& store, logger& log,
                      const std::function<bool()>& save_settings = {});
