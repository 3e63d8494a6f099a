#pragma once
// Toolkit input turned into window messages: mouse buttons and moves with their MK_ flags,
// the wheel, keys with VK_ codes and their repeat and transition bits, characters, focus and
// the loss of capture. The key table behind GetKeyState is updated before each message.

#include "platform/base/window.h"

#include <wx/event.h>
#include <wx/window.h>

namespace platform {

int virtual_key_of(int toolkit_key_code);
// The MK_ flags of a mouse event as the message carries them (a press includes its button, a
// release does not).
UINT mouse_flags(const wxMouseEvent& event, UINT message);
// Binds the widget's input events to messages of window. Native controls let the toolkit do
// the default processing when the handler asks for it.
void bind_input(wxWindow* widget, CWnd& window, bool native_control);

// Registry of the widgets that stand for windows.
void register_widget(wxWindow* widget, CWnd* window);
void unregister_widget(wxWindow* widget);
CWnd* window_of(wxWindow* widget);

// Delivers a mouse message as the platform routes it: to the capturing window when there is
// one (point converted to its client area), else to window. Sends WM_SETCURSOR before moves
// over a window without capture. Answers whether default processing was asked for.
bool deliver_mouse(CWnd& window, UINT message, UINT flags, CPoint client_point, short wheel_delta = 0);
// Delivers a key message; answers whether default processing was asked for.
bool deliver_key(CWnd& window, UINT message, int virtual_key, bool repeat);
// A key pressed where no window of ours hears it (a part of a composite control such as the
// property grid's rows or editor, or a dialog's own panel) is offered to PreTranslateMessage
// of the nearest window of ours, else of top, and their ancestors; answers whether one took it.
bool pre_translate_unheard_key(wxWindow* focused, CWnd& top, const wxKeyEvent& event);
bool deliver_char(CWnd& window, UINT character);

}  // namespace platform
