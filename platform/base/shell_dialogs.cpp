#include "platform/base/shell_dialogs.h"

#include "platform/base/modal.h"

#include <cstring>

namespace {

platform::file_dialog_handler& file_handler()
{
    static platform::file_dialog_handler handler;
    return handler;
}

platform::folder_dialog_handler& folder_handler()
{
    static platform::folder_dialog_handler handler;
    return handler;
}

std::vector<std::pair<CString, CString>> parse_filter(const CString& filter)
{
    std::vector<std::pair<CString, CString>> pairs;
    std::vector<CString> parts;
    int start = 0;
    for (int index = 0; index <= filter.GetLength(); ++index)
        if (index == filter.GetLength() || filter.GetAt(index) == '|') {
            parts.push_back(filter.Mid(start, index - start));
            start = index + 1;
        }
    for (size_t index = 0; index + 1 < parts.size(); index += 2) {
        if (parts[index].IsEmpty())
            break;
        pairs.emplace_back(parts[index], parts[index + 1]);
    }
    return pairs;
}

int last_separator(const CString& path)
{
    return path.ReverseFind('/');
}

// The window the caller's callback talks to while the browser is open.
class folder_browser_window : public CWnd {
public:
    CString selection;
    CString status;

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == BFFM_SETSELECTIONA) {
            // Only a path can select here (wparam TRUE); an item list names no path of ours.
            if (wparam && lparam)
                selection = reinterpret_cast<const char*>(lparam);
            else if (!wparam && lparam)
                selection = reinterpret_cast<const ITEMIDLIST*>(lparam)->path;
            return 0;
        }
        if (message == BFFM_SETSTATUSTEXTA) {
            status = lparam ? reinterpret_cast<const char*>(lparam) : "";
            return 0;
        }
        return CWnd::WindowProc(message, wparam, lparam);
    }
};

}  // namespace

CFileDialog::CFileDialog(BOOL open_file_dialog, const char* default_extension, const char* file_name, DWORD flags,
                         const char* filter, CWnd* parent, DWORD, BOOL)
    : CCommonDialog(parent), open_(open_file_dialog != FALSE), default_extension_(default_extension),
      file_name_(file_name), flags_(flags), filter_(filter)
{
}

INT_PTR CFileDialog::DoModal()
{
    platform::file_dialog_request request;
    request.owner = m_pParentWnd;
    request.open = open_;
    request.default_extension = default_extension_;
    if (request.default_extension.GetLength() > 0 && request.default_extension.GetAt(0) == '.')
        request.default_extension = request.default_extension.Mid(1);
    request.file_name = file_name_;
    request.flags = flags_;
    request.filters = parse_filter(filter_);
    CString chosen;
    if (!file_handler() || !file_handler()(request, chosen) || chosen.IsEmpty())
        return IDCANCEL;
    const int name_start = last_separator(chosen) + 1;
    if (!request.default_extension.IsEmpty() && chosen.Mid(name_start).Find('.') < 0)
        chosen += "." + request.default_extension;
    path_ = chosen;
    return IDOK;
}

CString CFileDialog::GetFileName() const
{
    return path_.Mid(last_separator(path_) + 1);
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFolderPath() const
{
    const int separator = last_separator(path_);
    if (separator < 0)
        return CString();
    return separator == 0 ? CString("/") : path_.Left(separator);
}

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info)
{
    if (!info)
        return nullptr;
    folder_browser_window browser;
    browser.CreateEx(0, "folder_browser", info->lpszTitle, WS_POPUP, CRect(0, 0, 0, 0), info->hwndOwner, 0);
    if (info->lpfn)
        info->lpfn(browser.GetSafeHwnd(), BFFM_INITIALIZED, 0, info->lParam);
    platform::folder_dialog_request request;
    request.owner = info->hwndOwner;
    request.title = info->lpszTitle;
    request.initial_folder = browser.selection;
    request.flags = info->ulFlags;
    CString chosen;
    const bool answered = folder_handler() && folder_handler()(request, chosen);
    browser.DestroyWindow();
    if (!answered)
        return nullptr;
    if (info->pszDisplayName) {
        const CString name = chosen.Mid(chosen.ReverseFind('/') + 1);
        lstrcpynA(info->pszDisplayName, name.IsEmpty() ? chosen.GetString() : name.GetString(), MAX_PATH);
    }
    return new ITEMIDLIST{chosen};
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST item, char* path)
{
    if (!item || !path)
        return FALSE;
    path[0] = '\0';
    // A longer path would not fit the caller's MAX_PATH buffer.
    if (item->path.IsEmpty() || item->path.GetLength() >= MAX_PATH)
        return FALSE;
    std::memcpy(path, item->path.GetString(), static_cast<size_t>(item->path.GetLength()) + 1);
    return TRUE;
}

void CoTaskMemFree(void* memory)
{
    delete static_cast<ITEMIDLIST*>(memory);
}

void ILFree(LPITEMIDLIST item)
{
    delete item;
}

namespace platform {

file_dialog_handler set_file_dialog_handler(file_dialog_handler handler)
{
    file_dialog_handler previous = std::move(file_handler());
    file_handler() = std::move(handler);
    return previous;
}

folder_dialog_handler set_folder_dialog_handler(folder_dialog_handler handler)
{
    folder_dialog_handler previous = std::move(folder_handler());
    folder_handler() = std::move(handler);
    return previous;
}

}  // namespace platform
