#pragma once
// Dialog templates as resource tables written in C++: the dialog's id, caption, size in dialog
// units, font and styles, and its controls with id, kind, text, rectangle (dialog units) and
// extra style. The application registers its tables once; dialogs are built from them by id.

#include "platform/base/cstring.h"
#include "platform/base/window_constants.h"

#include <vector>

constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_CENTER = 0x0800;

enum class dialog_control_kind {
    push_button,
    default_push_button,
    check_box,
    radio_button,
    group_box,
    edit,
    combo_box,  // drop list
    list_box,
    static_text,
    progress_bar,
    property_grid,
    editable_list_box,  // a list box with a tool bar (removal only)
    custom,  // a placeholder that the dialog's code takes over (SubclassDlgItem)
};

struct dialog_control {
    UINT id = 0;
    dialog_control_kind kind = dialog_control_kind::static_text;
    CString text;
    // Dialog units: x, y, width, height.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Added to the kind's own styles (WS_CHILD | WS_VISIBLE and the kind's), e.g. ES_MULTILINE.
    DWORD style = 0;
    DWORD ex_style = 0;
    // Styles removed from the kind's own (e.g. WS_VISIBLE for a control that starts hidden).
    DWORD removed_style = 0;
};

struct dialog_template {
    UINT id = 0;
    CString caption;
    // Client size in dialog units.
    int width = 0;
    int height = 0;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DWORD ex_style = 0;
    CString font_face = "MS Shell Dlg";
    int point_size = 8;
    UINT menu_id = 0;
    std::vector<dialog_control> controls;
};

namespace platform {

// Registering a template with an id already known replaces it.
void register_dialog_template(const dialog_template& table);
const dialog_template* find_dialog_template(UINT id);
void forget_dialog_templates();

}  // namespace platform
