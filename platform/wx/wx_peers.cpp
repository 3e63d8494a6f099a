#include "platform/wx/wx_peers.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/wx/wx_convert.h"
#include "platform/wx/wx_input.h"
#include "platform/wx/wx_surface.h"

#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/popupwin.h>

#include <set>

namespace platform {

namespace {

wxStockCursor stock_cursor(int id)
{
    switch (id) {
    case 32513: return wxCURSOR_IBEAM;
    case 32514: return wxCURSOR_WAIT;
    case 32515: return wxCURSOR_CROSS;
    case 32642: return wxCURSOR_SIZENWSE;
    case 32643: return wxCURSOR_SIZENESW;
    case 32644: return wxCURSOR_SIZEWE;
    case 32645: return wxCURSOR_SIZENS;
    case 32646: return wxCURSOR_SIZING;
    case 32648: return wxCURSOR_NO_ENTRY;
    case 32649: return wxCURSOR_HAND;
    default: return wxCURSOR_ARROW;
    }
}

class owner_drawn_peer;

// The peers whose windows asked for a tip, and the holds on tips.
std::set<wx_peer_base*>& peers_with_tips()
{
    static std::set<wx_peer_base*> peers;
    return peers;
}

int& tip_holds()
{
    static int holds = 0;
    return holds;
}

// The system colours or the theme changed: every window of the tree hears it.
void tell_colour_change(CWnd& window)
{
    window.SendMessage(WM_SYSCOLORCHANGE);
    if (!IsWindow(&window))
        return;
    window.SendMessage(WM_THEMECHANGED);
    for (CWnd* child : std::vector<CWnd*>(window.children()))
        if (IsWindow(child))
            tell_colour_change(*child);
}

// A device context over a given surface (the whole backing bitmap, for the window's frame).
class frame_dc : public CDC {
public:
    explicit frame_dc(std::unique_ptr<dc_surface> surface) { attach_surface(std::move(surface), nullptr); }
};

// The toolkit window of an owner-drawn window: paints by showing the backing bitmap.
class owner_panel : public wxWindow {
public:
    owner_panel(wxWindow* parent, owner_drawn_peer* peer)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                   wxWANTS_CHARS | wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
          peer_(peer)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &owner_panel::on_paint, this);
    }
    void forget_peer() { peer_ = nullptr; }
    void set_peer(owner_drawn_peer* peer) { peer_ = peer; }

private:
    void on_paint(wxPaintEvent& event);
    owner_drawn_peer* peer_;
};

class owner_drawn_peer : public wx_peer_base {
public:
    owner_drawn_peer(CWnd& window, owner_panel* panel, wxWindow* outer)
        : wx_peer_base(window, panel, outer), panel_(panel)
    {
        bind_input(panel, window, false);
        if (outer) {
            CWnd* target = &window;
            outer->Bind(wxEVT_CLOSE_WINDOW, [target](wxCloseEvent& event) {
                // The window decides; a plain window destroys itself on WM_CLOSE.
                if (event.CanVeto())
                    event.Veto();
                if (IsWindow(target))
                    target->SendMessage(WM_CLOSE);
            });
            outer->Bind(wxEVT_SYS_COLOUR_CHANGED, [target](wxSysColourChangedEvent& event) {
                event.Skip();
                if (IsWindow(target))
                    tell_colour_change(*target);
            });
            outer->Bind(wxEVT_SIZE, [target, outer](wxSizeEvent& event) {
                event.Skip();
                if (!IsWindow(target))
                    return;
                const wxSize client = outer->GetClientSize();
                const CRect current = target->window_rect_in_parent();
                if (client.GetWidth() != current.Width() || client.GetHeight() != current.Height())
                    target->toolkit_moved(CRect(current.left, current.top, current.left + client.GetWidth(),
                                                current.top + client.GetHeight()));
            });
        }
    }
    ~owner_drawn_peer() override
    {
        if (widget_)
            static_cast<owner_panel*>(widget_)->forget_peer();
    }

    void move(const RECT& window_rect) override
    {
        wx_peer_base::move(window_rect);
        resize_backing(CSize(window_rect.right - window_rect.left, window_rect.bottom - window_rect.top));
    }
    void present() override
    {
        if (!painting_ && widget_)
            widget_->Refresh(false);
    }
    void update_now() override
    {
        if (painting_ || !widget_ || !widget_->IsShownOnScreen())
            return;
        widget_->Refresh(false);
        widget_->Update();
    }
    std::unique_ptr<dc_surface> client_surface() override
    {
        CRect client;
        window_.GetClientRect(&client);
        const int frame = window_.frame_width();
        return std::make_unique<wx_surface>(&backing_, wxPoint(frame, frame), wxSize(client.Width(), client.Height()));
    }
    bool control_message(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
    void scroll_pixels(const RECT& area, int dx, int dy) override
    {
        auto surface = client_surface();
        surface->scroll(area, dx, dy);
    }
    wxBitmap* backing() override { return &backing_; }

    void paint(wxDC& dc)
    {
        painting_ = true;
        if (window_.update_pending())
            window_.UpdateWindow();
        painting_ = false;
        if (backing_.IsOk())
            dc.DrawBitmap(backing_, 0, 0);
    }

private:
    void resize_backing(CSize size)
    {
        const int width = std::max(1, static_cast<int>(size.cx));
        const int height = std::max(1, static_cast<int>(size.cy));
        if (backing_.IsOk() && backing_.GetWidth() == width && backing_.GetHeight() == height)
            return;
        wxBitmap resized(width, height, 24);
        {
            wxMemoryDC dc(resized);
            dc.SetBackground(wxBrush(to_wx(GetSysColor(COLOR_WINDOW))));
            dc.Clear();
            if (backing_.IsOk())
                dc.DrawBitmap(backing_, 0, 0);
        }
        backing_ = resized;
        draw_frame();
    }
    // The frame lies outside the client area, so client drawing never touches it.
    void draw_frame()
    {
        const int frame = window_.frame_width();
        if (frame == 0)
            return;
        frame_dc dc(std::make_unique<wx_surface>(&backing_, wxPoint(0, 0), backing_.GetSize()));
        RECT outline{0, 0, backing_.GetWidth(), backing_.GetHeight()};
        if (window_.GetExStyle() & WS_EX_CLIENTEDGE) {
            dc.DrawEdge(&outline, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        }
        if (window_.GetStyle() & WS_BORDER) {
            CBrush border(GetSysColor(COLOR_WINDOWFRAME));
            dc.FrameRect(&outline, &border);
        }
        dc.surface()->flush();
    }

    owner_panel* panel_;
    wxBitmap backing_;
    bool painting_ = false;
};

void owner_panel::on_paint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (peer_)
        peer_->paint(dc);
}

wxWindow* owner_widget_for_popup(CWnd& window)
{
    CWnd* owner = window.GetOwner();
    wxWindow* parent = owner ? widget_of(*owner) : nullptr;
    if (parent)
        parent = wxGetTopLevelParent(parent);
    return parent ? parent : hidden_root();
}

}  // namespace

wxWindow* hidden_root()
{
    static wxFrame* root = nullptr;
    if (!root) {
        root = new wxFrame(nullptr, wxID_ANY, "Tarvoline");
        root->Hide();
    }
    return root;
}

wx_peer_base::wx_peer_base(CWnd& window, wxWindow* widget, wxWindow* outer)
    : window_(window), widget_(widget), outer_(outer ? outer : widget)
{
    register_widget(widget_, &window_);
    widget_->Bind(wxEVT_DESTROY, &wx_peer_base::on_destroy, this);
    if (outer_ != widget_)
        outer_->Bind(wxEVT_DESTROY, &wx_peer_base::on_destroy, this);
}

void wx_peer_base::on_destroy(wxWindowDestroyEvent& event)
{
    event.Skip();
    // The toolkit destroyed the window under us (its parent went first).
    if (event.GetWindow() == widget_) {
        unregister_widget(widget_);
        widget_ = nullptr;
    }
    if (event.GetWindow() == outer_)
        outer_ = nullptr;
}

wx_peer_base::~wx_peer_base()
{
    peers_with_tips().erase(this);
    if (outer_ && outer_ != widget_)
        outer_->Unbind(wxEVT_DESTROY, &wx_peer_base::on_destroy, this);
    if (widget_) {
        widget_->Unbind(wxEVT_DESTROY, &wx_peer_base::on_destroy, this);
        unregister_widget(widget_);
        if (widget_->HasCapture())
            widget_->ReleaseMouse();
    }
    wxWindow* doomed = outer_ ? outer_ : widget_;
    widget_ = nullptr;
    outer_ = nullptr;
    // The toolkit deletes a top-level window when it is next idle; it leaves the screen now.
    if (doomed && doomed->IsTopLevel())
        doomed->Hide();
    if (doomed)
        doomed->Destroy();
}

void wx_peer_base::move(const RECT& window_rect)
{
    if (!outer_)
        return;
    const int width = std::max(0, static_cast<int>(window_rect.right - window_rect.left));
    const int height = std::max(0, static_cast<int>(window_rect.bottom - window_rect.top));
    if (outer_ != widget_) {
        outer_->SetPosition(wxPoint(window_rect.left, window_rect.top));
        outer_->SetClientSize(width, height);
        if (widget_)
            widget_->SetSize(0, 0, width, height);
        return;
    }
    // An owner-drawn parent's toolkit window includes its drawn frame; a dialog's panel is its
    // client area already.
    const CWnd* parent = window_.GetParent();
    const int frame = parent && backing_bitmap_of(*parent) ? parent->frame_width() : 0;
    outer_->SetSize(window_rect.left + frame, window_rect.top + frame, width, height);
}

void wx_peer_base::show(bool visible)
{
    if (visible)
        refresh_colours();
    if (!outer_)
        return;
    if (auto* popup = dynamic_cast<wxPopupWindow*>(outer_)) {
        popup->Show(visible);
        return;
    }
    if (visible && (window_.GetExStyle() & WS_EX_TOOLWINDOW) && outer_->IsTopLevel())
        static_cast<wxTopLevelWindow*>(outer_)->ShowWithoutActivating();
    else
        outer_->Show(visible);
}

void wx_peer_base::enable(bool enabled)
{
    if (outer_)
        outer_->Enable(enabled);
}

void wx_peer_base::set_text(const char* text)
{
    if (outer_ && outer_->IsTopLevel())
        outer_->SetLabel(wxString::FromUTF8(text ? text : ""));
}

void wx_peer_base::refresh_colours(bool top_showing)
{
    if (!parent_colours_ || !widget_ || !IsWindow(&window_))
        return;
    wxWindow* top = wxGetTopLevelParent(widget_);
    if (!top || !(top->IsShown() || top_showing))
        return;
    COLORREF text = CLR_INVALID;
    COLORREF back = CLR_INVALID;
    wxColour wanted_text;
    wxColour wanted_back;
    if (control_colours(window_, text, back)) {
        if (text != CLR_INVALID)
            wanted_text = to_wx(text);
        if (back != CLR_INVALID)
            wanted_back = to_wx(back);
    }
    if (!widget_)
        return;
    bool changed = false;
    if (wanted_back != applied_back_) {
        widget_->SetBackgroundColour(wanted_back.IsOk() ? wanted_back : wxNullColour);
        applied_back_ = wanted_back;
        changed = true;
    }
    if (wanted_text != applied_text_) {
        widget_->SetForegroundColour(wanted_text.IsOk() ? wanted_text : wxNullColour);
        applied_text_ = wanted_text;
        changed = true;
    }
    if (changed)
        widget_->Refresh();
}

void refresh_control_colours(CWnd& window, bool top_showing)
{
    for (CWnd* child : std::vector<CWnd*>(window.children())) {
        if (!IsWindow(child))
            continue;
        if (auto* peer = dynamic_cast<wx_peer_base*>(child->peer()))
            peer->refresh_colours(top_showing);
        refresh_control_colours(*child, top_showing);
    }
}

void wx_peer_base::invalidate()
{
    refresh_colours();
    if (widget_)
        widget_->Refresh(false);
}

void wx_peer_base::present()
{
    if (widget_)
        widget_->Refresh(false);
}

void wx_peer_base::set_focus()
{
    if (widget_ && widget_->IsShownOnScreen())
        widget_->SetFocus();
}

void wx_peer_base::set_capture(bool captured)
{
    if (!widget_)
        return;
    if (captured && !widget_->HasCapture() && widget_->IsShownOnScreen())
        widget_->CaptureMouse();
    else if (!captured && widget_->HasCapture())
        widget_->ReleaseMouse();
}

void wx_peer_base::set_font(HFONT font)
{
    if (widget_ && font && font->is_created())
        widget_->SetFont(to_wx(font->description()));
}

void wx_peer_base::set_cursor(HCURSOR cursor)
{
    if (widget_)
        widget_->SetCursor(wxCursor(stock_cursor(cursor_id(cursor))));
}

void wx_peer_base::raise()
{
    if (outer_)
        outer_->Raise();
}

void wx_peer_base::reparent(CWnd* new_parent)
{
    if (outer_ && new_parent && (window_.GetStyle() & WS_CHILD))
        outer_->Reparent(client_widget_of(new_parent));
}

void wx_peer_base::set_tip(const char* text)
{
    const wxString wanted = wxString::FromUTF8(text ? text : "");
    if (!widget_ || wanted == tip_)
        return;
    tip_ = wanted;
    if (tip_.empty())
        peers_with_tips().erase(this);
    else
        peers_with_tips().insert(this);
    show_tip();
}

void wx_peer_base::show_tip()
{
    if (!widget_)
        return;
    if (tip_.empty() || tip_holds() > 0)
        widget_->UnsetToolTip();
    else
        widget_->SetToolTip(tip_);
}

void hold_tips()
{
    if (++tip_holds() == 1)
        for (wx_peer_base* peer : peers_with_tips())
            peer->show_tip();
}

void release_tips()
{
    if (tip_holds() > 0 && --tip_holds() == 0)
        for (wx_peer_base* peer : peers_with_tips())
            peer->show_tip();
}

wxWindow* widget_of(const CWnd& window)
{
    auto* peer = dynamic_cast<wx_peer_base*>(window.peer());
    return peer ? peer->widget() : nullptr;
}

wxWindow* client_widget_of(const CWnd* window)
{
    if (!window)
        return hidden_root();
    wxWindow* widget = widget_of(*window);
    return widget ? widget : hidden_root();
}

wxBitmap* backing_bitmap_of(const CWnd& window)
{
    auto* peer = dynamic_cast<wx_peer_base*>(window.peer());
    return peer ? peer->backing() : nullptr;
}

std::unique_ptr<window_peer> make_owner_drawn_peer(CWnd& window)
{
    const DWORD style = window.GetStyle();
    const CRect rect = window.window_rect_in_parent();
    wxWindow* outer = nullptr;
    wxWindow* parent_widget = nullptr;
    if (style & WS_CHILD) {
        parent_widget = client_widget_of(window.GetParent());
    } else if (!(style & WS_CAPTION) && (window.GetExStyle() & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST))) {
        outer = new wxPopupWindow(owner_widget_for_popup(window), wxBORDER_NONE);
        parent_widget = outer;
    } else {
        const long frame_style = (style & WS_CAPTION) ? wxDEFAULT_FRAME_STYLE : (wxBORDER_NONE | wxFRAME_NO_TASKBAR);
        CString title;
        window.GetWindowText(title);
        outer = new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(title.GetString()), wxPoint(rect.left, rect.top),
                            wxDefaultSize, frame_style);
        parent_widget = outer;
    }
    auto* panel = new owner_panel(parent_widget, nullptr);
    if (!outer && !(style & WS_VISIBLE))
        panel->Hide();
    auto peer = std::make_unique<owner_drawn_peer>(window, panel, outer);
    panel->set_peer(peer.get());
    peer->move(rect);
    return peer;
}

std::unique_ptr<window_peer> settle_control_peer(std::unique_ptr<window_peer> peer, wxWindow& widget, CWnd& window)
{
    const DWORD style = window.GetStyle();
    if (!(style & WS_VISIBLE))
        widget.Hide();
    if (style & WS_DISABLED)
        widget.Disable();
    peer->move(window.window_rect_in_parent());
    if (CFont* font = window.GetFont())
        peer->set_font(font);
    return peer;
}

}  // namespace platform
