#pragma once
// Libraries and procedures looked up by name, and the system version query. Modules here are
// the platform's own stand-ins: a provider registers a module name with its procedures (the
// drawing backend registers the visual-styles module), and callers load it and look procedures
// up exactly as they would a shared library. Unknown names fail the way a missing library does.

#include "platform/base/win_types.h"

#include <functional>
#include <map>
#include <string>

using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize = 0;
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    CHAR szCSDVersion[128] = {};
};

struct DLLVERSIONINFO {
    DWORD cbSize = 0;
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformID = 0;
};

// Module names compare without regard to letter case. Each load counts; the module is
// released with the last FreeLibrary.
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR procedure);
BOOL FreeLibrary(HMODULE module);
// Answers as a current desktop system would (10.0, platform 2) unless a test replaces it.
BOOL GetVersionExA(OSVERSIONINFOA* info);

namespace platform {

using procedure_table = std::map<std::string, FARPROC>;

// Registering a name again replaces its procedures; handles already given out stay valid.
void register_module(const std::string& name, procedure_table procedures);
void unregister_module(const std::string& name);
// How many loads of the module are outstanding (0 when it is not loaded).
int module_load_count(const std::string& name);

using os_version_service = std::function<void(OSVERSIONINFOA* info)>;
// Returns the service it replaces; an empty function restores the default answer.
os_version_service set_os_version_service(os_version_service service);

}  // namespace platform
