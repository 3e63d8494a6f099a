#pragma once
// An edit with a browse button at its right end (the newer framework's edit-browse control).
// In file mode the button opens the file picker on the edit's text; a chosen path becomes the
// edit's text, which tells the parent (EN_UPDATE, EN_CHANGE) as any change does. With a
// toolkit the button is the toolkit's own, inside the control's rectangle.

#include "platform/base/controls.h"
#include "platform/base/shell_dialogs.h"

// What the toolkit control of an edit-browse control shows besides the edit.
class browse_button_peer {
public:
    virtual ~browse_button_peer() = default;
    // Shows the button with label (hides it when label is null).
    virtual void show_browse_button(const char* label) = 0;
};

class CMFCEditBrowseCtrl : public CEdit {
public:
    enum BrowseMode { BrowseMode_None, BrowseMode_Default, BrowseMode_File, BrowseMode_Folder };

    // filter: "Name|pattern|...||" pairs, as the file picker takes them.
    void EnableFileBrowseButton(const char* default_extension = nullptr, const char* filter = nullptr,
                                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    void EnableFolderBrowseButton();
    // Default mode: the button calls OnBrowse and nothing else.
    void EnableBrowseButton(BOOL enable = TRUE, const char* label = "...");
    BrowseMode GetMode() const { return mode_; }
    // The button was pressed: the picker of the mode runs (a derived class may do its own).
    virtual void OnBrowse();
    // The edit took a path from the picker.
    virtual void OnAfterUpdate() {}
    // The toolkit's button was pressed.
    void browse_clicked() { OnBrowse(); }
    const CString& button_label() const { return label_; }

    void PreSubclassWindow() override { show_button(); }

private:
    void show_button();

    BrowseMode mode_ = BrowseMode_None;
    CString label_ = "...";
    CString default_extension_;
    CString filter_;
    DWORD flags_ = 0;
};
