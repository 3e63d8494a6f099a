#pragma once
// The file open/save picker and the folder browser. Both go through replaceable handlers so
// tests answer them without a display; the toolkit backend installs the toolkit's pickers.
// With no handler a picker is cancelled.

#include "platform/base/cstring.h"
#include "platform/base/window.h"

#include <functional>
#include <vector>

constexpr int MAX_PATH = 260;

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

class CCommonDialog : public CWnd {
public:
    explicit CCommonDialog(CWnd* parent = nullptr) : m_pParentWnd(parent) {}
    virtual INT_PTR DoModal() = 0;

protected:
    CWnd* m_pParentWnd = nullptr;
};

class CFileDialog : public CCommonDialog {
public:
    // filter: "Name|pattern|Name|pattern||" pairs.
    explicit CFileDialog(BOOL open_file_dialog, const char* default_extension = nullptr, const char* file_name = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                         CWnd* parent = nullptr, DWORD size = 0, BOOL vista_style = TRUE);
    // IDOK when a file was chosen, IDCANCEL otherwise.
    INT_PTR DoModal() override;
    CString GetPathName() const { return path_; }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;

private:
    bool open_ = true;
    CString default_extension_;
    CString file_name_;
    DWORD flags_ = 0;
    CString filter_;
    CString path_;
};

// The shell's folder browser.
struct ITEMIDLIST {
    CString path;
};
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using BFFCALLBACK = int (*)(HWND window, UINT message, LPARAM parameter, LPARAM data);

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
constexpr UINT BIF_STATUSTEXT = 0x0004;
constexpr UINT BFFM_INITIALIZED = 1;
constexpr UINT BFFM_SELCHANGED = 2;
constexpr UINT BFFM_VALIDATEFAILEDA = 3;
constexpr UINT BFFM_IUNKNOWN = 5;
constexpr UINT BFFM_SETSTATUSTEXTA = 0x0464;
constexpr UINT BFFM_SETSELECTIONA = 0x0466;

struct BROWSEINFOA {
    HWND hwndOwner = nullptr;
    LPCITEMIDLIST pidlRoot = nullptr;
    char* pszDisplayName = nullptr;  // MAX_PATH characters
    const char* lpszTitle = nullptr;
    UINT ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    LPARAM lParam = 0;
    int iImage = 0;
};

// The item chosen, null when the browser was closed without a choice; free it with
// CoTaskMemFree or ILFree.
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info);
// FALSE for an item without a file-system path or a path that does not fit MAX_PATH.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST item, char* path);
void CoTaskMemFree(void* memory);
void ILFree(LPITEMIDLIST item);

namespace platform {

struct file_dialog_request {
    HWND owner = nullptr;
    bool open = true;
    CString default_extension;
    CString file_name;
    DWORD flags = 0;
    // Pairs of (name, pattern) from the filter text.
    std::vector<std::pair<CString, CString>> filters;
};
// Answers true with the chosen full path, false for Cancel.
using file_dialog_handler = std::function<bool(const file_dialog_request& request, CString& path)>;

struct folder_dialog_request {
    HWND owner = nullptr;
    CString title;
    // The folder the browser opens at (set by the caller's callback), empty for none.
    CString initial_folder;
    UINT flags = 0;
};
// Answers true with the chosen item's path (empty for an item that has none), false when the
// browser closed without a choice.
using folder_dialog_handler = std::function<bool(const folder_dialog_request& request, CString& path)>;

file_dialog_handler set_file_dialog_handler(file_dialog_handler handler);
folder_dialog_handler set_folder_dialog_handler(folder_dialog_handler handler);

}  // namespace platform
