#include "platform/base/edit_browse.h"

#include "platform/base/modal.h"

void CMFCEditBrowseCtrl::EnableFileBrowseButton(const char* default_extension, const char* filter, DWORD flags)
{
    mode_ = BrowseMode_File;
    default_extension_ = default_extension;
    filter_ = filter;
    flags_ = flags;
    show_button();
}

void CMFCEditBrowseCtrl::EnableFolderBrowseButton()
{
    mode_ = BrowseMode_Folder;
    show_button();
}

void CMFCEditBrowseCtrl::EnableBrowseButton(BOOL enable, const char* label)
{
    mode_ = enable ? BrowseMode_Default : BrowseMode_None;
    label_ = label ? label : "...";
    show_button();
}

void CMFCEditBrowseCtrl::show_button()
{
    if (auto* button = dynamic_cast<browse_button_peer*>(peer()))
        button->show_browse_button(mode_ == BrowseMode_None ? nullptr : label_.GetString());
}

void CMFCEditBrowseCtrl::OnBrowse()
{
    CString current;
    GetWindowText(current);
    CString chosen;
    if (mode_ == BrowseMode_File) {
        CFileDialog picker(TRUE, default_extension_.IsEmpty() ? nullptr : default_extension_.GetString(), current,
                           flags_, filter_.IsEmpty() ? nullptr : filter_.GetString(), GetParent());
        if (picker.DoModal() != IDOK)
            return;
        chosen = picker.GetPathName();
    } else if (mode_ == BrowseMode_Folder) {
        char display[MAX_PATH] = {};
        BROWSEINFOA info{};
        info.hwndOwner = GetParent();
        info.pszDisplayName = display;
        LPITEMIDLIST item = SHBrowseForFolderA(&info);
        if (!item)
            return;
        char path[MAX_PATH] = {};
        const BOOL found = SHGetPathFromIDListA(item, path);
        CoTaskMemFree(item);
        if (!found)
            return;
        chosen = path;
    } else {
        return;
    }
    SetWindowText(chosen);
    OnAfterUpdate();
}
