#pragma once
// Libraries looked up by name at run time. There are no shared libraries of the other
// platform here: modules are tables of procedures that the layer registers under the names
// callers load ("uxtheme.dll", "comctl32.dll"), and GetProcAddress finds them by name.

#include "platform/base/win_types.h"

#include <map>
#include <string>

using WCHAR = wchar_t;
using LPCWSTR = const wchar_t*;
using LPWSTR = wchar_t*;

HMODULE LoadLibraryA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* procedure);
BOOL FreeLibrary(HMODULE module);

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    CHAR szCSDVersion[128] = {};
};
// The version this layer reports (5.1 unless replaced), the one whose visual styles the
// stand-in module draws.
BOOL GetVersionExA(OSVERSIONINFOA* info);

struct DLLVERSIONINFO {
    DWORD cbSize = sizeof(DLLVERSIONINFO);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformID = 0;
};
static_assert(sizeof(DLLVERSIONINFO) == 20, "the version record is 20 bytes");

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
// Text is UTF-8 everywhere; both code pages convert UTF-8. A wide character is one code point.
int MultiByteToWideChar(UINT code_page, DWORD flags, const char* text, int length, wchar_t* wide, int wide_size);
int WideCharToMultiByte(UINT code_page, DWORD flags, const wchar_t* wide, int wide_length, char* text, int size,
                        const char* default_char, BOOL* used_default);

namespace platform {

using procedure_table = std::map<std::string, FARPROC>;
// Registers (or replaces) a module; names compare without regard to case.
void register_module(const std::string& name, procedure_table procedures);
// How many loads of the module are outstanding (loads minus frees).
int module_load_count(const std::string& name);
void set_reported_version(DWORD major, DWORD minor);

}  // namespace platform
