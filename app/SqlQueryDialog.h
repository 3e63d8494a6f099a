#pragma once
// The "Query interface" dialog: the catalogue's fields and the repository's scripts listed, one
// script's name and text edited, saved into the repository and, with Run, applied to the
// catalogue.

#include "platform/base/controls.h"
#include "platform/base/dialog.h"

#include <functional>
#include <string>
#include <vector>

class script_manager;

constexpr UINT IDD_SQL_QUERY = 142;
constexpr int IDC_QUERY_FIELDS_LABEL = 1107;
constexpr int IDC_QUERY_FIELDS = 1104;
constexpr int IDC_QUERY_SCRIPTS_LABEL = 1111;
constexpr int IDC_QUERY_SCRIPTS = 1103;
constexpr int IDC_QUERY_LABEL = 1106;
constexpr int IDC_QUERY_NAME = 1114;
constexpr int IDC_QUERY_TEXT = 1117;
constexpr int IDC_QUERY_CLEAR = 1116;
constexpr int IDC_QUERY_SAVE = 1110;
constexpr int IDC_QUERY_CLOSE = 1115;
constexpr int IDC_QUERY_RUN = 1109;

dialog_template sql_query_dialog_template();

class CSqlQueryDialog : public CDialogEx {
public:
    // Takes the script's name and SQL text; what it throws is passed on after the other
    // scripts were applied.
    using apply_callback = std::function<void(const std::string& name, const std::string& sql)>;
    // Told when the repository file could not be written.
    using error_callback = std::function<void(const std::string& text)>;

    explicit CSqlQueryDialog(CWnd* parent = nullptr);

    void AddField(const std::string& name) { m_field_names.push_back(name); }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;

    void OnScriptSelected();
    void OnClear();
    void OnSave();
    void OnRun();

    CListBox m_fields;
    CListBox m_scripts;
    std::vector<std::string> m_script_names;
    std::vector<std::string> m_field_names;
    script_manager* m_repository = nullptr;
    std::vector<std::string> m_saved;
    apply_callback m_apply;
    error_callback m_report_error;
    CEdit m_text;
    CEdit m_name;
};
