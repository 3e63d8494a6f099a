#pragma once
// The application object of the framework: the program's one instance, whose InitInstance
// runs the program; its main window is the one the program runs.

#include "platform/base/win_types.h"

class CWnd;

class CWinApp {
public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program once it returns.
    virtual BOOL InitInstance() { return TRUE; }

    CWnd* m_pMainWnd = nullptr;
    // Kept for the program's own record; there is no restart manager to tell.
    DWORD m_dwRestartManagerSupportFlags = 0;
};
