#pragma once
// The folder picker of the path fields, over the platform's folder browser.

#include "platform/base/shell_dialogs.h"

#include <memory>
#include <string>

class CFolderDialog : public CCommonDialog {
public:
    // initial_folder may be null or empty for none.
    CFolderDialog(const char* title, const char* initial_folder, CWnd* parent);
    ~CFolderDialog() override = default;

    // IDOK with a chosen folder, -1 for a chosen item without a file-system path, IDCANCEL when
    // the browser closed without a choice.
    INT_PTR DoModal() override;
    std::string GetFolderPath() const { return m_chosen; }

    virtual void OnInitialized();
    virtual void OnSelChanged(LPITEMIDLIST item);
    virtual int OnValidateFailed(const char* text);
    virtual void OnIUnknown(LPARAM unknown);

private:
    static int BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data);

    BROWSEINFOA m_info;
    std::unique_ptr<char[]> m_displayName;
    std::string m_title;
    std::string m_initial;
    std::string m_chosen;
    HWND m_browser = nullptr;
};
