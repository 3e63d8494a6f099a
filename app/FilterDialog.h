#pragma once
// The small dialog in which the user types the custom condition that wraps the diff script.

#include "platform/base/controls.h"
#include "platform/base/dialog.h"

#include <string>

dialog_template filter_dialog_template();

class CFilterDialog : public CDialogEx {
public:
    explicit CFilterDialog(CWnd* parent);

    std::string condition() const { return m_condition; }
    void set_condition(const std::string& condition) { m_condition = condition; }
    void set_label(const std::string& label) { m_label = label.c_str(); }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    void OnShowWindow(BOOL show, UINT status) override;

private:
    std::string m_condition;
    CString m_label;
    CEdit m_edit;
};
