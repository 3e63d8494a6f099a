#pragma once
// The toolkit side of windows. An owner-drawn window is a plain toolkit window that shows its
// backing bitmap (the whole window rectangle, frame included); everything the program draws
// goes into that bitmap. Top-level windows are a frame or a popup holding such a panel. The
// edit, list box and scroll bar are the toolkit's own controls.

#include "platform/base/window.h"

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/window.h>

#include <memory>

namespace platform {

// Makes the peer of a window being created (the backend's peer factory).
std::unique_ptr<window_peer> make_wx_peer(CWnd& window);

// The toolkit window that shows window (null without a peer), the one children go into, and
// the backing bitmap of an owner-drawn window (null for the toolkit's own controls).
wxWindow* widget_of(const CWnd& window);
wxWindow* client_widget_of(const CWnd* window);
wxBitmap* backing_bitmap_of(const CWnd& window);

// A hidden frame that owns popups without an owner.
wxWindow* hidden_root();

// While a menu is open no window shows its tip, which the toolkit would draw over the menu's
// items: a shown tip goes at the first hold and the tips come back when the last hold is
// released. Each hold is released once.
void hold_tips();
void release_tips();

// The common part of every peer: placing, showing and enabling the toolkit window.
class wx_peer_base : public window_peer {
public:
    wx_peer_base(CWnd& window, wxWindow* widget, wxWindow* outer);
    ~wx_peer_base() override;

    void move(const RECT& window_rect) override;
    void show(bool visible) override;
    void enable(bool enabled) override;
    void set_text(const char* text) override;
    void invalidate() override;
    void present() override;
    void set_focus() override;
    void set_capture(bool captured) override;
    void set_font(HFONT font) override;
    void set_cursor(HCURSOR cursor) override;
    void raise() override;
    void reparent(CWnd* new_parent) override;
    void set_tip(const char* text) override;
    // Shows the tip the window asked for, or none while tips are held.
    void show_tip();

    wxWindow* widget() const { return widget_; }
    wxWindow* outer() const { return outer_; }
    virtual wxBitmap* backing() { return nullptr; }
    // Edits, statics and list boxes take the colours their parent answers to WM_CTLCOLOR*;
    // asked again when the window shows, is invalidated or gets new text, once its top-level
    // window is on screen (the dialog has initialised by then) or, with top_showing, just
    // before it goes there. Colours given after the toolkit has mapped a control are faded in
    // by the theme's transitions, so a dialog shows white fields first.
    void refresh_colours(bool top_showing = false);

protected:
    bool parent_colours_ = false;
    void on_destroy(wxWindowDestroyEvent& event);

    CWnd& window_;
    wxWindow* widget_ = nullptr;
    wxWindow* outer_ = nullptr;
    wxString tip_;
    wxColour applied_text_;
    wxColour applied_back_;
};

// The toolkit's browse button of an edit-browse control (null when it shows none).
wxButton* browse_button_of(const CWnd& window);

// Asks the parent of every control under window for its colours again (a dialog was shown,
// or is about to be: top_showing).
void refresh_control_colours(CWnd& window, bool top_showing = false);

// Gives a newly made native control the state its window already holds (visibility, enabled,
// place in its parent, font) and hands the peer back.
std::unique_ptr<window_peer> settle_control_peer(std::unique_ptr<window_peer> peer, wxWindow& widget, CWnd& window);

}  // namespace platform
