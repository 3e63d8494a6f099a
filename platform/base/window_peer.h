#pragma once
// What a window asks of its toolkit peer. A window without a peer keeps all of its state and
// answers every query from it; the peer only mirrors that state on screen and reports input.

#include "platform/base/geometry.h"

#include <functional>
#include <memory>

class dc_surface;
class CMenu;

class window_peer {
public:
    virtual ~window_peer() = default;

    // Position relative to the parent's client area (screen for a top-level window).
    virtual void move(const RECT& window_rect) = 0;
    virtual void show(bool visible) = 0;
    virtual void enable(bool enabled) = 0;
    virtual void set_text(const char* text) = 0;
    // The window's update region grew; the peer arranges for a paint to come.
    virtual void invalidate() = 0;
    // Drawing reached the backing surface outside a paint; the peer shows it.
    virtual void present() = 0;
    virtual void set_focus() = 0;
    virtual void set_capture(bool captured) = 0;
    virtual void set_font(HFONT font) = 0;
    virtual void set_cursor(HCURSOR cursor) = 0;
    virtual void raise() = 0;
    virtual void reparent(CWnd* new_parent) = 0;
    // The pixels of area (client coordinates) move by dx, dy inside the backing surface.
    virtual void scroll_pixels(const RECT& area, int dx, int dy) = 0;
    // A surface that draws on the window's client area (its backing bitmap).
    virtual std::unique_ptr<dc_surface> client_surface() = 0;
    // Messages the toolkit's own control implements (edit, list box, scroll bar); answers true
    // and fills result when it handled the message.
    virtual bool control_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) = 0;
    // Tool tip text for the window, empty to hide it.
    virtual void set_tip(const char* text) = 0;
    // UpdateWindow: what the window has drawn reaches the screen now, without waiting for
    // the loop (a long task on the UI thread still shows its progress).
    virtual void update_now() {}
};

// A top-level window's toolkit peer that shows a menu bar.
class menu_bar_peer {
public:
    virtual ~menu_bar_peer() = default;
    // Shows menu (null: none) as it stands now: items, check marks, enabled states.
    virtual void show_menu(CMenu* menu) = 0;
};

// A top-level window's toolkit peer that maximises, minimises and restores the real window.
// The toolkit's report of the new state comes back through CWnd::toolkit_resized.
class window_state_peer {
public:
    virtual ~window_state_peer() = default;
    // size_type: SIZE_MAXIMIZED, SIZE_MINIMIZED or SIZE_RESTORED.
    virtual void request_state(UINT size_type) = 0;
};

// A top-level window's toolkit peer that shows the window's icons.
class icon_peer {
public:
    virtual ~icon_peer() = default;
    virtual void show_icons(HICON big, HICON small) = 0;
};

namespace platform {

// Makes the peer of a window being created; the backend installs it. Without one windows
// have no peer.
using peer_factory = std::function<std::unique_ptr<window_peer>(CWnd& window)>;
peer_factory set_peer_factory(peer_factory factory);
std::unique_ptr<window_peer> make_peer(CWnd& window);

}  // namespace platform
