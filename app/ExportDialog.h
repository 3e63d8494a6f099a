#pragma once
// The Export dialog: one of four formats, the raw-data switch and the options of the XML and
// CSV formats. Export stays disabled until a format is chosen; each option is enabled only
// while its format is the chosen one.

#include "platform/base/dialog.h"

#include <string>

constexpr UINT IDD_EXPORT = 137;
constexpr int IDC_EXPORT_XML = 1045;
constexpr int IDC_EXPORT_CSV = 1046;
constexpr int IDC_EXPORT_DB = 1086;
constexpr int IDC_EXPORT_EXCEL = 1087;
constexpr int IDC_EXPORT_RAW_DATA = 1084;
constexpr int IDC_EXPORT_VALUES_AS_ATTRIBUTES = 1049;
constexpr int IDC_EXPORT_SEPARATOR_LABEL = 1050;
constexpr int IDC_EXPORT_SEPARATOR = 1048;
constexpr int IDC_EXPORT_INCLUDE_HEADER = 1054;
constexpr int IDC_EXPORT_EXPORT = 1052;
constexpr int IDC_EXPORT_CANCEL = 1022;

// Indexes of the exporters' format-name table.
enum export_format : int { export_none = -1, export_csv = 0, export_xml = 1, export_db = 2, export_excel = 3 };

// What the user chose in the dialog.
struct export_options {
    int format = export_none;
    bool raw_data = false;
    bool values_as_attributes = true;
    std::string separator = ",";
    bool include_header = false;
};

dialog_template export_dialog_template();

class CExportDialog : public CDialogEx {
public:
    explicit CExportDialog(CWnd* parent = nullptr);

    // The chosen format and options; valid after the dialog ended with IDOK.
    export_options options() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;

    int m_xml = 0;
    int m_csv = 0;
    int m_db = 0;
    int m_excel = 0;
    int m_first_choice = 1;
    int m_include_header = 0;
    int m_values_as_attributes = 0;
    int m_raw_data = 0;
    CString m_separator;

private:
    void ChooseFormat(int id);
    void EnableOption(int id, bool enable);
};
