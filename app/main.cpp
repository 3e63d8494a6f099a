// Starts the toolkit, runs the program in the working folder and ends with the main window.

#include "app/TarvolineApp.h"

#include "platform/wx/wx_backend.h"

#include <wx/init.h>

#include <iostream>

int main()
{
    if (!platform::start_wx_toolkit()) {
        std::cerr << "Tarvoline: the desktop could not be reached (is DISPLAY set?)\n";
        return 1;
    }
    CTarvolineApp application;
    application.InitInstance();
    wxEntryCleanup();
    return 0;
}
