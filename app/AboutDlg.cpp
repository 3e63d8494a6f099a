#include "app/AboutDlg.h"

#include "app/AppIcon.h"
#include "app/resource_ids.h"
#include "core/utils/version_info.h"
#include "platform/base/dc.h"
#include "platform/base/icons.h"
#include "platform/base/system_services.h"

#include <algorithm>

dialog_template about_dialog_template()
{
    dialog_template table;
    table.id = IDD_ABOUTBOX;
    table.caption = "About Tarvoline";
    table.width = 170;
    table.height = 62;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    using kind = dialog_control_kind;
    table.controls = {
        {static_cast<UINT>(IDC_ABOUT_ICON), kind::custom, "", 14, 14, 21, 20},
        {static_cast<UINT>(IDC_ABOUT_VERSION), kind::static_text, "", 42, 14, 114, 8},
        {static_cast<UINT>(IDC_ABOUT_NOTICE), kind::static_text, "Keeps a backup folder in step with a main folder.",
         42, 26, 124, 16},
        {IDOK, kind::default_push_button, "OK", 113, 41, 50, 14},
    };
    return table;
}

void CAboutIcon::OnPaint()
{
    CPaintDC dc(this);
    const icon_painter* painter = platform::icon_painter_of(LoadIcon(IDR_MAINFRAME));
    if (painter == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    const int size = std::min(client.Width(), client.Height());
    // What the painter leaves untouched takes the dialog's colour.
    dc.FillSolidRect(client, GetSysColor(COLOR_3DFACE));
    (*painter)(dc, size);
}

CAboutDlg::CAboutDlg(CWnd* parent) : CDialogEx(IDD_ABOUTBOX, parent)
{
    if (!platform::find_dialog_template(IDD_ABOUTBOX))
        platform::register_dialog_template(about_dialog_template());
    register_application_icon();
}

void CAboutDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_ABOUT_ICON, m_icon);
}

std::string CAboutDlg::NameAndVersion()
{
    const int file_version = 9;
    return "Tarvoline, Version " + utils::get_version_info(&file_version);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_VERSION, NameAndVersion().c_str());
    return TRUE;
}
