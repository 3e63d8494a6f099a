#pragma once
// The toolkit side of dialogs: the dialog window, its buttons, statics, drop lists, progress
// bars, status bar, property grid and editable list box as native controls, and the modal
// runner, pickers and clipboard the backend installs.

#include "platform/base/window.h"

#include <memory>

namespace platform {

// The peer of a dialog or of one of the dialog controls, null for other windows.
std::unique_ptr<window_peer> make_dialog_peer(CWnd& window);
// Installs the modal dialog runner, the file and folder pickers and the system clipboard.
void install_wx_dialog_services();

}  // namespace platform
