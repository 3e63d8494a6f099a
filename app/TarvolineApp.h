#pragma once
// The program: runs the main window modally and ends when it closes.

#include "platform/base/app_object.h"

class CTarvolineApp : public CWinApp {
public:
    CTarvolineApp();
    // Always FALSE: the program ends when it returns.
    BOOL InitInstance() override;
};
