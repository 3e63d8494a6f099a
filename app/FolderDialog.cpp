#include "app/FolderDialog.h"

#include "platform/base/modal.h"

#include <cstring>

CFolderDialog::CFolderDialog(const char* title, const char* initial_folder, CWnd* parent)
    : CCommonDialog(parent)
    , m_displayName(std::make_unique<char[]>(MAX_PATH))
    , m_title(title != nullptr ? title : "")
    , m_initial(initial_folder != nullptr ? initial_folder : "")
{
    m_info.hwndOwner = parent;
    m_info.pszDisplayName = m_displayName.get();
    m_info.lpszTitle = m_title.c_str();
    m_info.ulFlags = BIF_RETURNONLYFSDIRS;
    m_info.lpfn = BrowseCallback;
    m_info.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CFolderDialog::DoModal()
{
    m_chosen.clear();
    LPITEMIDLIST item = SHBrowseForFolderA(&m_info);
    if (item == nullptr)
        return IDCANCEL;
    char path[MAX_PATH] = {};
    const INT_PTR result = SHGetPathFromIDListA(item, path) ? IDOK : -1;
    if (result == IDOK)
        m_chosen = path;
    CoTaskMemFree(item);
    return result;
}

void CFolderDialog::OnInitialized() {}
void CFolderDialog::OnSelChanged(LPITEMIDLIST) {}
int CFolderDialog::OnValidateFailed(const char*) { return 1; }
void CFolderDialog::OnIUnknown(LPARAM) {}

int CFolderDialog::BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data)
{
    auto* self = reinterpret_cast<CFolderDialog*>(data);
    if (self == nullptr)
        return 0;
    self->m_browser = window;
    int result = 0;
    switch (message) {
    case BFFM_INITIALIZED:
        if (!self->m_initial.empty() && window != nullptr)
            window->SendMessage(BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->m_initial.c_str()));
        self->OnInitialized();
        break;
    case BFFM_SELCHANGED:
        self->OnSelChanged(reinterpret_cast<LPITEMIDLIST>(parameter));
        break;
    case BFFM_VALIDATEFAILEDA:
        result = self->OnValidateFailed(reinterpret_cast<const char*>(parameter));
        break;
    case BFFM_IUNKNOWN:
        self->OnIUnknown(parameter);
        break;
    default:
        break;
    }
    self->m_browser = nullptr;
    return result;
}
