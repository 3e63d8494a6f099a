#pragma once
// The toolkit window of a dialog: a wxDialog holding a panel, or, when the dialog's template
// names a menu, a wxFrame holding a panel with the menu bar and the status bar. The peer runs
// modal loops for both, shows the window's menu bar and turns menu choices into WM_COMMAND.

#include "platform/base/dialog.h"

#include <wx/frame.h>
#include <wx/menuitem.h>
#include <wx/toplevel.h>

#include <memory>

namespace platform {

std::unique_ptr<window_peer> make_top_level_dialog_peer(CDialog& dialog, wxWindow* owner);
// The toolkit frame of a dialog that has a menu bar, null for any other window.
wxFrame* frame_of(const CWnd* window);
// The toolkit item showing command in the window's menu bar (null when it shows none).
wxMenuItem* toolkit_menu_item(const CWnd& window, UINT command);
// Moves a window that would reach past the work area of its owner's display back into it, its
// top left corner first. Its size counts the window manager's frame as far as the toolkit knows
// it.
void keep_on_display(wxTopLevelWindow& top);

}  // namespace platform
