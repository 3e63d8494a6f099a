#include "app/TarvolineApp.h"

#include "app/TarvolineDlg.h"

CTarvolineApp::CTarvolineApp()
{
    m_dwRestartManagerSupportFlags = 1;
}

BOOL CTarvolineApp::InitInstance()
{
    // Common controls, the control container, the shell manager and the registry key have
    // no counterpart here.
    CTarvolineDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
