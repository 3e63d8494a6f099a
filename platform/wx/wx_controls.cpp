// The toolkit's own controls as peers of the edit, list box and scroll bar windows.
#include "platform/base/controls.h"
#include "platform/base/dc_surface.h"
#include "platform/base/edit_browse.h"
#include "platform/wx/wx_convert.h"
#include "platform/wx/wx_input.h"
#include "platform/wx/wx_native_control.h"
#include "platform/wx/wx_peers.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/scrolbar.h>
#include <wx/textctrl.h>

namespace platform {

namespace {


class scroll_bar_peer_impl : public native_control_peer, public scroll_bar_peer {
public:
    scroll_bar_peer_impl(CScrollBar& bar, wxScrollBar* widget) : native_control_peer(bar, widget), bar_(bar), widget_bar_(widget)
    {
        auto forward = [this](wxScrollEvent& event) {
            const wxEventType type = event.GetEventType();
            UINT code = SB_ENDSCROLL;
            if (type == wxEVT_SCROLL_LINEUP) code = SB_LINEUP;
            else if (type == wxEVT_SCROLL_LINEDOWN) code = SB_LINEDOWN;
            else if (type == wxEVT_SCROLL_PAGEUP) code = SB_PAGEUP;
            else if (type == wxEVT_SCROLL_PAGEDOWN) code = SB_PAGEDOWN;
            else if (type == wxEVT_SCROLL_THUMBTRACK) code = SB_THUMBTRACK;
            else if (type == wxEVT_SCROLL_THUMBRELEASE) code = SB_THUMBPOSITION;
            else if (type == wxEVT_SCROLL_TOP) code = SB_TOP;
            else if (type == wxEVT_SCROLL_BOTTOM) code = SB_BOTTOM;
            else return;
            const int position = event.GetPosition() + bar_.scroll_info().nMin;
            bar_.user_scrolled(code, position);
            if (IsWindow(&bar_) && code != SB_THUMBTRACK) {
                bar_.user_scrolled(SB_ENDSCROLL, 0);
                // The bar shows what the program set, not where the toolkit moved the thumb.
                if (IsWindow(&bar_))
                    show_scroll_info(bar_.scroll_info());
            }
        };
        for (const wxEventTypeTag<wxScrollEvent>& type : {wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN,
                                 wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_TOP,
                                 wxEVT_SCROLL_BOTTOM})
            widget->Bind(type, forward);
    }
    void show_scroll_info(const SCROLLINFO& info) override
    {
        if (!widget())
            return;
        const int range = std::max(1, info.nMax - info.nMin + 1);
        const int page = std::max(1, static_cast<int>(info.nPage));
        widget_bar_->SetScrollbar(info.nPos - info.nMin, page, range, page);
    }

private:
    CScrollBar& bar_;
    wxScrollBar* widget_bar_;
};

class edit_peer_impl : public native_control_peer, public edit_peer, public browse_button_peer {
public:
    edit_peer_impl(CEdit& edit, wxTextCtrl* widget) : native_control_peer(edit, widget), edit_(edit), text_(widget)
    {
        parent_colours_ = true;
        widget->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
            event.Skip();
            if (!changing_ && IsWindow(&edit_))
                edit_.user_changed_text();
        });
    }
    bool control_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override
    {
        if (message == WM_GETTEXTLENGTH) {
            result = static_cast<LRESULT>(text_->GetValue().utf8_str().length());
            return true;
        }
        if (message == WM_GETTEXT) {
            // The converted buffer may point into the string, so the string must outlive it.
            const wxString value = text_->GetValue();
            const wxScopedCharBuffer text = value.utf8_str();
            lstrcpynA(reinterpret_cast<char*>(lparam), text.data(), static_cast<int>(wparam));
            result = lstrlenA(reinterpret_cast<char*>(lparam));
            return true;
        }
        return native_control_peer::control_message(message, wparam, lparam, result);
    }
    ~edit_peer_impl() override
    {
        if (button_) {
            button_->Unbind(wxEVT_DESTROY, &edit_peer_impl::on_button_destroyed, this);
            button_->Destroy();
        }
    }
    void move(const RECT& window_rect) override
    {
        native_control_peer::move(window_rect);
        place_button();
    }
    void show(bool visible) override
    {
        native_control_peer::show(visible);
        if (button_)
            button_->Show(visible);
    }
    void enable(bool enabled) override
    {
        native_control_peer::enable(enabled);
        if (button_)
            button_->Enable(enabled);
    }
    // The button lies inside the control's rectangle, at its right end; the edit keeps the rest.
    void show_browse_button(const char* label) override
    {
        if (!label) {
            if (button_) {
                button_->Unbind(wxEVT_DESTROY, &edit_peer_impl::on_button_destroyed, this);
                button_->Destroy();
                button_ = nullptr;
            }
            move(edit_.window_rect_in_parent());
            return;
        }
        if (!button_) {
            button_ = new wxButton(text_->GetParent(), wxID_ANY, wxString::FromUTF8(label), wxDefaultPosition,
                                   wxDefaultSize, wxBU_EXACTFIT);
            button_->Bind(wxEVT_DESTROY, &edit_peer_impl::on_button_destroyed, this);
            button_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
                if (auto* browse = dynamic_cast<CMFCEditBrowseCtrl*>(&edit_); browse && IsWindow(browse))
                    browse->browse_clicked();
            });
            button_->Show(text_->IsShown());
            button_->Enable(text_->IsEnabled());
        } else {
            button_->SetLabel(wxString::FromUTF8(label));
        }
        move(edit_.window_rect_in_parent());
    }
    wxButton* browse_button() const { return button_; }
    CString edit_text() const override { return CString(text_->GetValue().utf8_str().data()); }
    void set_edit_text(const char* text) override
    {
        changing_ = true;
        text_->ChangeValue(wxString::FromUTF8(text ? text : ""));
        changing_ = false;
        refresh_colours();
    }
    void edit_selection(int& start, int& end) const override
    {
        long from = 0;
        long to = 0;
        text_->GetSelection(&from, &to);
        start = static_cast<int>(from);
        end = static_cast<int>(to);
    }
    void set_edit_selection(int start, int end) override { text_->SetSelection(start, end); }
    void replace_edit_selection(const char* text) override
    {
        changing_ = true;
        long from = 0;
        long to = 0;
        text_->GetSelection(&from, &to);
        text_->Replace(from, to, wxString::FromUTF8(text ? text : ""));
        changing_ = false;
    }
    void set_edit_read_only(bool read_only) override
    {
        text_->SetEditable(!read_only);
        // A read-only edit asks with WM_CTLCOLORSTATIC instead.
        refresh_colours();
    }
    void set_edit_limit(int limit) override { text_->SetMaxLength(limit >= 0x7FFFFFFE ? 0 : limit); }

private:
    void place_button()
    {
        if (!button_ || !widget_)
            return;
        const wxRect whole = widget_->GetRect();
        const int width = std::min(whole.GetWidth() / 2, std::max(whole.GetHeight(), 24));
        widget_->SetSize(whole.GetX(), whole.GetY(), whole.GetWidth() - width, whole.GetHeight());
        button_->SetSize(whole.GetRight() + 1 - width, whole.GetY(), width, whole.GetHeight());
    }
    void on_button_destroyed(wxWindowDestroyEvent& event)
    {
        event.Skip();
        if (event.GetWindow() == button_)
            button_ = nullptr;
    }

    CEdit& edit_;
    wxTextCtrl* text_;
    wxButton* button_ = nullptr;
    bool changing_ = false;
};

class list_box_peer_impl : public native_control_peer, public list_box_peer {
public:
    list_box_peer_impl(CListBox& list, wxListBox* widget) : native_control_peer(list, widget), list_(list), box_(widget)
    {
        widget->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) {
            event.Skip();
            if (IsWindow(&list_))
                list_.user_selected(event.GetSelection());
        });
    }
    void show_items(const std::vector<CString>& items) override
    {
        wxArrayString shown;
        for (const CString& item : items)
            shown.Add(wxString::FromUTF8(item.GetString()));
        box_->Set(shown);
    }
    void show_selection(int index) override
    {
        if (index < 0)
            box_->SetSelection(wxNOT_FOUND);
        else if (static_cast<unsigned>(index) < box_->GetCount())
            box_->SetSelection(index);
    }
    int native_item_height() const override { return box_->GetCharHeight() + 6; }

private:
    CListBox& list_;
    wxListBox* box_;
};

}  // namespace

wxButton* browse_button_of(const CWnd& window)
{
    auto* peer = dynamic_cast<edit_peer_impl*>(window.peer());
    return peer ? peer->browse_button() : nullptr;
}

std::unique_ptr<window_peer> make_native_control_peer(CWnd& window)
{
    const CString& kind = window.class_name();
    const DWORD style = window.GetStyle();
    wxWindow* parent = client_widget_of(window.GetParent());
    std::unique_ptr<window_peer> peer;
    wxWindow* widget = nullptr;
    if (kind.CompareNoCase("SCROLLBAR") == 0) {
        auto* bar = dynamic_cast<CScrollBar*>(&window);
        if (!bar)
            return nullptr;
        auto* made = new wxScrollBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     (style & SBS_VERT) ? wxSB_VERTICAL : wxSB_HORIZONTAL);
        widget = made;
        auto bar_peer = std::make_unique<scroll_bar_peer_impl>(*bar, made);
        bar_peer->show_scroll_info(bar->scroll_info());
        peer = std::move(bar_peer);
    } else if (kind.CompareNoCase("EDIT") == 0) {
        auto* edit = dynamic_cast<CEdit*>(&window);
        if (!edit)
            return nullptr;
        long text_style = wxWANTS_CHARS | wxTE_PROCESS_TAB | wxTE_PROCESS_ENTER;
        if (style & ES_MULTILINE)
            text_style |= wxTE_MULTILINE;
        if (style & ES_READONLY)
            text_style |= wxTE_READONLY;
        if (style & ES_PASSWORD)
            text_style |= wxTE_PASSWORD;
        text_style |= (style & (WS_BORDER)) || (window.GetExStyle() & WS_EX_CLIENTEDGE) ? wxBORDER_SIMPLE : wxBORDER_NONE;
        CString text;
        window.GetWindowText(text);
        auto* made = new wxTextCtrl(parent, wxID_ANY, wxString::FromUTF8(text.GetString()), wxDefaultPosition,
                                    wxDefaultSize, text_style);
        widget = made;
        peer = std::make_unique<edit_peer_impl>(*edit, made);
    } else if (kind.CompareNoCase("LISTBOX") == 0) {
        auto* list = dynamic_cast<CListBox*>(&window);
        if (!list)
            return nullptr;
        long list_style = wxLB_SINGLE | wxWANTS_CHARS;
        if (style & WS_VSCROLL)
            list_style |= wxLB_NEEDED_SB;
        list_style |= (style & WS_BORDER) ? wxBORDER_SIMPLE : wxBORDER_NONE;
        auto* made = new wxListBox(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, list_style);
        widget = made;
        auto list_peer = std::make_unique<list_box_peer_impl>(*list, made);
        std::vector<CString> items;
        for (int index = 0; index < list->GetCount(); ++index) {
            CString item;
            list->GetText(index, item);
            items.push_back(item);
        }
        list_peer->show_items(items);
        peer = std::move(list_peer);
    } else {
        return nullptr;
    }
    return settle_control_peer(std::move(peer), *widget, window);
}

}  // namespace platform
