#pragma once
// The About box: the icon, the name with the running version, a notice line and OK.

#include "platform/base/dialog.h"

dialog_template about_dialog_template();

// The program's icon, drawn to fill the place the template gives it.
class CAboutIcon : public CWnd {
public:
    void OnPaint() override;
};

class CAboutDlg : public CDialogEx {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);

    // "Tarvoline, Version " and the file version of the version table.
    static std::string NameAndVersion();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;

private:
    CAboutIcon m_icon;
};
