#pragma once
// The About box: the icon, the name with the running version, a notice line and OK.

#include "platform/base/dialog.h"

dialog_template about_dialog_template();

class CAboutDlg : public CDialogEx {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);

    // "Tarvoline, Version " and the file version of the version table.
    static std::string NameAndVersion();

    BOOL OnInitDialog() override;
};
