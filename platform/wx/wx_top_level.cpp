#include "platform/wx/wx_top_level.h"

#include "platform/base/dc.h"
#include "platform/base/dc_surface.h"
#include "platform/base/icons.h"
#include "platform/base/menu.h"
#include "platform/base/system_services.h"
#include "platform/wx/wx_input.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_surface.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/panel.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace platform {

namespace {

// One toolkit item standing for an item of the window's menu.
constexpr int first_toolkit_id = 100;

struct bound_item {
    wxMenuItem* item = nullptr;
    const CMenu* menu = nullptr;
    size_t index = 0;
    bool checkable = false;
};

// A device context over a bitmap that an icon is drawn into.
class icon_dc : public CDC {
public:
    explicit icon_dc(wxBitmap& bitmap)
    {
        attach_surface(std::make_unique<wx_surface>(&bitmap, wxPoint(0, 0), bitmap.GetSize()), nullptr);
    }
};

wxIcon render_icon(const icon_painter& painter, int size)
{
    wxBitmap canvas(size, size, 24);
    {
        icon_dc dc(canvas);
        dc.FillSolidRect(CRect(0, 0, size, size), icon_transparent_colour);
        painter(dc, size);
        dc.surface()->flush();
    }
    wxImage image = canvas.ConvertToImage();
    image.SetMaskColour(GetRValue(icon_transparent_colour), GetGValue(icon_transparent_colour),
                        GetBValue(icon_transparent_colour));
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    return icon;
}

class top_level_peer : public wx_peer_base,
                       public dialog_peer,
                       public menu_bar_peer,
                       public window_state_peer,
                       public icon_peer {
public:
    top_level_peer(CDialog& dialog, wxPanel* panel, wxTopLevelWindow* top)
        : wx_peer_base(dialog, panel, top), dialog_(dialog), top_(top), frame_(dynamic_cast<wxFrame*>(top))
    {
        CDialog* target = &dialog;
        top->Bind(wxEVT_CLOSE_WINDOW, [target](wxCloseEvent& event) {
            // The dialog decides (its Cancel, or the window's own WM_CLOSE handler); the
            // toolkit never destroys it on its own.
            if (event.CanVeto())
                event.Veto();
            if (IsWindow(target))
                target->SendMessage(WM_CLOSE);
        });
        // A resize by the user (or the window manager) reaches the dialog as its WM_SIZE, so
        // resizable dialogs lay their controls out again.
        top->Bind(wxEVT_SIZE, [target, top](wxSizeEvent& event) {
            event.Skip();
            if (!IsWindow(target))
                return;
            const wxSize client = top->GetClientSize();
            const int frame = target->frame_width();
            const CRect current = target->window_rect_in_parent();
            const int width = client.GetWidth() + 2 * frame;
            const int height = client.GetHeight() + 2 * frame;
            if (width != current.Width() || height != current.Height())
                target->toolkit_moved(CRect(current.left, current.top, current.left + width, current.top + height));
        });
        panel->Bind(wxEVT_CONTEXT_MENU, [target, panel](wxContextMenuEvent& event) {
            // Requests of the controls arrive as their own messages; this one is the panel's.
            if (event.GetEventObject() != panel || !IsWindow(target)) {
                event.Skip();
                return;
            }
            wxPoint at = event.GetPosition();
            if (at == wxDefaultPosition)
                at = panel->ClientToScreen(wxPoint(0, 0));
            target->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target),
                                MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
        });
        top->Bind(wxEVT_SHOW, [target](wxShowEvent& event) {
            event.Skip();
            if (!event.IsShown() || !IsWindow(target))
                return;
            refresh_control_colours(*target);
            // The control the dialog starts in was given the focus before the window could
            // take it (a modal run shows the window itself): the toolkit is told now.
            CWnd* focus = CWnd::GetFocus();
            CWnd* top_of_focus = focus;
            while (top_of_focus && (top_of_focus->GetStyle() & WS_CHILD))
                top_of_focus = top_of_focus->GetParent();
            if (focus && focus != target && top_of_focus == target && focus->peer())
                focus->peer()->set_focus();
        });
        // Keys pressed where no window of ours hears them still meet the dialog's keys (and the
        // main window's).
        top->Bind(wxEVT_CHAR_HOOK, [target](wxKeyEvent& event) {
            event.Skip();
            if (IsWindow(target) &&
                pre_translate_unheard_key(dynamic_cast<wxWindow*>(event.GetEventObject()), *target, event))
                event.Skip(false);
        });
        if (frame_) {
            frame_->Bind(wxEVT_MENU, &top_level_peer::on_menu_choice, this);
            frame_->Bind(wxEVT_MENU_OPEN, &top_level_peer::on_menu_open, this);
            frame_->Bind(wxEVT_MENU_CLOSE, &top_level_peer::on_menu_close, this);
        }
        top->Bind(wxEVT_SIZE, &top_level_peer::on_toolkit_geometry<wxSizeEvent>, this);
        top->Bind(wxEVT_MOVE, &top_level_peer::on_toolkit_geometry<wxMoveEvent>, this);
        top->Bind(wxEVT_MAXIMIZE, &top_level_peer::on_toolkit_geometry<wxMaximizeEvent>, this);
        top->Bind(wxEVT_ICONIZE, &top_level_peer::on_toolkit_geometry<wxIconizeEvent>, this);
        // The toolkit reports no event when a window leaves the maximised state without
        // changing size (an unmapped window, some window managers): the state is compared
        // whenever the loop is idle (the application's idle: hidden windows get none).
        if (wxTheApp)
            wxTheApp->Bind(wxEVT_IDLE, &top_level_peer::on_idle, this);
    }
    ~top_level_peer() override
    {
        *alive_ = false;
        if (top_) {
            top_->Unbind(wxEVT_SIZE, &top_level_peer::on_toolkit_geometry<wxSizeEvent>, this);
            top_->Unbind(wxEVT_MOVE, &top_level_peer::on_toolkit_geometry<wxMoveEvent>, this);
            top_->Unbind(wxEVT_MAXIMIZE, &top_level_peer::on_toolkit_geometry<wxMaximizeEvent>, this);
            top_->Unbind(wxEVT_ICONIZE, &top_level_peer::on_toolkit_geometry<wxIconizeEvent>, this);
        }
        if (wxTheApp)
            wxTheApp->Unbind(wxEVT_IDLE, &top_level_peer::on_idle, this);
        if (frame_) {
            frame_->Unbind(wxEVT_MENU, &top_level_peer::on_menu_choice, this);
            frame_->Unbind(wxEVT_MENU_OPEN, &top_level_peer::on_menu_open, this);
            frame_->Unbind(wxEVT_MENU_CLOSE, &top_level_peer::on_menu_close, this);
        }
        for (; tips_held_ > 0; --tips_held_)
            release_tips();
    }

    std::unique_ptr<dc_surface> client_surface() override { return nullptr; }
    void scroll_pixels(const RECT&, int, int) override {}
    bool control_message(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
    // The toolkit draws the frame outside the client area: its client area is the dialog's.
    void move(const RECT& window_rect) override
    {
        if (!top_ || !widget_)
            return;
        const int frame = dialog_.frame_width();
        const int width = std::max(0, static_cast<int>(window_rect.right - window_rect.left) - 2 * frame);
        const int height = std::max(0, static_cast<int>(window_rect.bottom - window_rect.top) - 2 * frame);
        moving_ = true;
        top_->SetPosition(wxPoint(window_rect.left, window_rect.top));
        top_->SetClientSize(width, height);
        widget_->SetSize(0, 0, width, height);
        moving_ = false;
    }
    void request_state(UINT size_type) override
    {
        if (!top_)
            return;
        if (size_type == SIZE_MAXIMIZED)
            top_->Maximize(true);
        else if (size_type == SIZE_MINIMIZED)
            top_->Iconize(true);
        else if (top_->IsIconized())
            top_->Iconize(false);
        else
            top_->Maximize(false);
    }
    void show_icons(HICON big, HICON small) override
    {
        if (!top_)
            return;
        wxIconBundle bundle;
        for (HICON icon : {small, big}) {
            const icon_painter* painter = icon_painter_of(icon);
            if (!painter)
                continue;
            for (const int size : {16, 24, 32, 48, 64})
                bundle.AddIcon(render_icon(*painter, size));
            break;
        }
        top_->SetIcons(bundle);
    }
    void update_now() override
    {
        if (!top_ || !top_->IsShown())
            return;
        top_->Refresh(false);
        top_->Update();
        // A window shown inside a long task on this thread has not been seen mapped by the
        // toolkit, which draws nothing of it until its loop reads that: let the loop run for
        // window-system drawing events alone. Posted work and other pending events wait, so
        // nothing of the application's runs inside the task.
        wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        if (!loop || loop->IsYielding() || !wxTheApp)
            return;
        wxTheApp->SuspendProcessingOfPendingEvents();
        loop->YieldFor(wxEVT_CATEGORY_UI);
        wxTheApp->ResumeProcessingOfPendingEvents();
        top_->Update();
    }
    void show(bool visible) override
    {
        // A modal run shows the window itself.
        if (auto* box = dynamic_cast<wxDialog*>(top_); box && box->IsModal())
            return;
        if (modal_loop_ && !visible)
            return;
        if (visible) {
            apply_minimum_size();
            // Before the toolkit maps the controls: the first frame shows their colours.
            refresh_control_colours(dialog_, true);
            keep_on_display_once();
        }
        wx_peer_base::show(visible);
    }

    INT_PTR run_modal() override
    {
        if (!top_)
            return IDCANCEL;
        if (dialog_.has_ended())
            return dialog_.end_result();
        apply_minimum_size();
        refresh_control_colours(dialog_, true);
        keep_on_display_once();
        if (auto* box = dynamic_cast<wxDialog*>(top_))
            return box->ShowModal();
        // A frame has no modal run of its own: a nested loop ends with EndDialog.
        wxGUIEventLoop loop;
        modal_loop_ = &loop;
        auto alive = alive_;
        top_->Show();
        const int result = loop.Run();
        if (!*alive)
            return result;
        modal_loop_ = nullptr;
        return result;
    }
    void end_modal(INT_PTR result) override
    {
        if (!top_)
            return;
        if (auto* box = dynamic_cast<wxDialog*>(top_)) {
            if (box->IsModal())
                box->EndModal(static_cast<int>(result));
        } else if (modal_loop_) {
            modal_loop_->ScheduleExit(static_cast<int>(result));
        }
    }

    void show_menu(CMenu* menu) override
    {
        if (!frame_)
            return;
        shown_ = menu;
        if (!menu) {
            replace_menu_bar(nullptr);
            return;
        }
        if (shape_of(*menu) != built_shape_) {
            // Rebuilding while a toolkit menu is open or choosing would pull items from under
            // it; the rebuild waits for the loop.
            if (in_menu_event_) {
                std::weak_ptr<bool> alive = alive_;
                frame_->CallAfter([this, alive] {
                    if (auto still = alive.lock(); still && *still && shown_)
                        show_menu(shown_);
                });
                return;
            }
            rebuild(*menu);
        }
        update_states();
    }

    wxFrame* frame() const { return frame_; }
    wxTopLevelWindow* top() const { return top_; }

    // WM_GETMINMAXINFO answers a window size; the toolkit is given the client size it leaves.
    void apply_minimum_size()
    {
        if (!top_ || !IsWindow(&dialog_))
            return;
        const CSize minimum = dialog_.minimum_track_size();
        CRect window;
        CRect client;
        dialog_.GetWindowRect(&window);
        dialog_.GetClientRect(&client);
        const int width = std::max(0, static_cast<int>(minimum.cx - (window.Width() - client.Width())));
        const int height = std::max(0, static_cast<int>(minimum.cy - (window.Height() - client.Height())));
        if (width > 0 || height > 0)
            top_->SetMinClientSize(wxSize(width > 0 ? width : -1, height > 0 ? height : -1));
    }
    wxMenuItem* item_for(UINT command) const
    {
        for (const bound_item& bound : bound_) {
            const menu_item& item = bound.menu->items()[bound.index];
            if (!item.popup && !item.separator && item.id == command)
                return bound.item;
        }
        return nullptr;
    }

private:
    bool kind_is_check(const CMenu& menu, const menu_item& item) const
    {
        return item.checked || menu.checkable(item.id) || check_ids_.count(item.id) != 0;
    }
    // What the toolkit's menu must look like; a change means a rebuild.
    std::string shape_of(const CMenu& menu) const
    {
        std::string shape;
        for (const menu_item& item : menu.items()) {
            if (item.separator) {
                shape += "-;";
            } else if (item.popup) {
                shape += "[" + std::string(item.text.GetString()) + ":" + shape_of(*item.popup) + "]";
            } else {
                shape += std::to_string(item.id) + (kind_is_check(menu, item) ? "c" : "") + "=" +
                         std::string(item.text.GetString()) + ";";
            }
        }
        return shape;
    }
    wxMenu* build(const CMenu& menu)
    {
        auto* made = new wxMenu();
        menus_[made] = &menu;
        for (size_t index = 0; index < menu.items().size(); ++index) {
            const menu_item& item = menu.items()[index];
            const wxString label = wxString::FromUTF8(item.text.GetString());
            if (item.separator) {
                made->AppendSeparator();
            } else if (item.popup) {
                wxMenuItem* added = made->AppendSubMenu(build(*item.popup), label);
                bound_.push_back(bound_item{added, &menu, index, false});
            } else {
                const bool check = kind_is_check(menu, item);
                if (check)
                    check_ids_.insert(item.id);
                // Command ids go up to 0xFFFF, the toolkit's stop below 0x7FFF: each item gets
                // a toolkit id of its own, clear of the toolkit's stock ids.
                const int toolkit_id = first_toolkit_id + static_cast<int>(bound_.size());
                wxMenuItem* added = made->Append(toolkit_id, label, wxEmptyString, check ? wxITEM_CHECK : wxITEM_NORMAL);
                bound_.push_back(bound_item{added, &menu, index, check});
            }
        }
        return made;
    }
    void rebuild(const CMenu& menu)
    {
        bound_.clear();
        menus_.clear();
        top_items_.clear();
        auto* bar = new wxMenuBar();
        for (size_t index = 0; index < menu.items().size(); ++index) {
            const menu_item& item = menu.items()[index];
            if (!item.popup)
                continue;
            bar->Append(build(*item.popup), wxString::FromUTF8(item.text.GetString()));
            top_items_.push_back(index);
        }
        built_shape_ = shape_of(menu);
        replace_menu_bar(bar);
    }
    void replace_menu_bar(wxMenuBar* bar)
    {
        wxMenuBar* old = frame_->GetMenuBar();
        // The client area stays the dialog's; the frame grows around the bar.
        const wxSize client = widget_ ? widget_->GetSize() : wxSize();
        frame_->SetMenuBar(bar);
        delete old;
        if (!bar) {
            bound_.clear();
            menus_.clear();
            top_items_.clear();
            built_shape_.clear();
        }
        if (widget_)
            frame_->SetClientSize(client);
    }
    void update_states()
    {
        for (const bound_item& bound : bound_) {
            const menu_item& item = bound.menu->items()[bound.index];
            if (bound.item->IsEnabled() == item.disabled)
                bound.item->Enable(!item.disabled);
            if (bound.checkable && bound.item->IsChecked() != item.checked)
                bound.item->Check(item.checked);
        }
        wxMenuBar* bar = frame_->GetMenuBar();
        for (size_t position = 0; bar && shown_ && position < top_items_.size(); ++position) {
            const bool enabled = !shown_->items()[top_items_[position]].disabled;
            if (bar->IsEnabledTop(position) != enabled)
                bar->EnableTop(position, enabled);
        }
    }
    void on_menu_open(wxMenuEvent& event)
    {
        event.Skip();
        hold_tips();
        ++tips_held_;
        const auto found = menus_.find(event.GetMenu());
        if (found == menus_.end() || !IsWindow(&dialog_))
            return;
        const CMenu* menu = found->second;
        UINT index = 0;
        if (const CMenu* parent = menu->parent_menu())
            for (size_t position = 0; position < parent->items().size(); ++position)
                if (parent->items()[position].popup == menu)
                    index = static_cast<UINT>(position);
        in_menu_event_ = true;
        auto alive = alive_;
        dialog_.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, 0));
        if (!*alive)
            return;
        in_menu_event_ = false;
        if (IsWindow(&dialog_) && shown_)
            show_menu(shown_);
    }
    void on_menu_close(wxMenuEvent& event)
    {
        event.Skip();
        if (tips_held_ > 0) {
            --tips_held_;
            release_tips();
        }
    }
    void on_menu_choice(wxCommandEvent& event)
    {
        const int place = event.GetId() - first_toolkit_id;
        if (!shown_ || !IsWindow(&dialog_) || place < 0 || place >= static_cast<int>(bound_.size()) ||
            bound_[static_cast<size_t>(place)].item->GetId() != event.GetId()) {
            event.Skip();
            return;
        }
        const bound_item& bound = bound_[static_cast<size_t>(place)];
        const UINT id = bound.menu->items()[bound.index].id;
        in_menu_event_ = true;
        auto alive = alive_;
        // A disabled item is never a choice, whatever the toolkit reports.
        if (shown_->can_choose(id))
            dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        if (!*alive)
            return;
        in_menu_event_ = false;
        // The toolkit toggles its check boxes by itself; the menu's own state is shown.
        if (IsWindow(&dialog_) && shown_)
            show_menu(shown_);
    }

    // The user or the window manager moved, sized, maximised, minimised or restored the
    // window: the dialog hears it with the state the toolkit reports.
    template <typename event_type>
    void on_toolkit_geometry(event_type& event)
    {
        event.Skip();
        if (moving_ || !top_ || !widget_ || !IsWindow(&dialog_) || top_->IsBeingDeleted())
            return;
        // The toolkit keeps the minimum as a size with the manager's decorations, which it may
        // learn only after the window is shown: the client's minimum is given again, or a
        // window at its smallest would be a title bar short of its controls.
        if (top_->IsShown())
            apply_minimum_size();
        const wxSize client = top_->GetClientSize();
        if (widget_->GetSize() != client)
            widget_->SetSize(0, 0, client.GetWidth(), client.GetHeight());
        const int frame = dialog_.frame_width();
        const wxPoint position = top_->GetPosition();
        const CRect rect(position.x, position.y, position.x + client.GetWidth() + 2 * frame,
                         position.y + client.GetHeight() + 2 * frame);
        UINT type = SIZE_RESTORED;
        if (top_->IsIconized())
            type = SIZE_MINIMIZED;
        else if (top_->IsMaximized())
            type = SIZE_MAXIMIZED;
        dialog_.toolkit_resized(rect, type);
    }

    // A window opened over another (a dialog) opens on the screen; a window of its own (the
    // main window) keeps the place it was given.
    void keep_on_display_once()
    {
        if (kept_on_display_ || !top_->GetParent())
            return;
        kept_on_display_ = true;
        keep_on_display(*top_);
    }

    void on_idle(wxIdleEvent& event)
    {
        event.Skip();
        if (!top_ || !IsWindow(&dialog_))
            return;
        if ((top_->IsMaximized() != (dialog_.IsZoomed() != FALSE)) || (top_->IsIconized() != (dialog_.IsIconic() != FALSE)))
            on_toolkit_geometry(event);
    }

    CDialog& dialog_;
    wxTopLevelWindow* top_;
    bool moving_ = false;
    wxFrame* frame_;
    wxGUIEventLoop* modal_loop_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    CMenu* shown_ = nullptr;
    std::string built_shape_;
    std::vector<bound_item> bound_;
    std::map<wxMenu*, const CMenu*> menus_;
    std::vector<size_t> top_items_;
    std::set<UINT> check_ids_;
    bool in_menu_event_ = false;
    bool kept_on_display_ = false;
    // The holds on tips of the menus of the menu bar now open.
    int tips_held_ = 0;
};

}  // namespace

std::unique_ptr<window_peer> make_top_level_dialog_peer(CDialog& dialog, wxWindow* owner)
{
    const DWORD style = dialog.GetStyle();
    CString text;
    dialog.GetWindowText(text);
    const wxString label = wxString::FromUTF8(text.GetString());
    const CRect rect = dialog.window_rect_in_parent();
    const dialog_template* table = find_dialog_template(dialog.template_id());
    wxTopLevelWindow* top = nullptr;
    if (table && table->menu_id != 0) {
        long frame_style = wxDEFAULT_FRAME_STYLE;
        if (!(style & WS_THICKFRAME))
            frame_style &= ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX);
        top = new wxFrame(owner, wxID_ANY, label, wxPoint(rect.left, rect.top), wxDefaultSize, frame_style);
    } else {
        long frame_style = wxDEFAULT_DIALOG_STYLE;
        if (!(style & WS_CAPTION))
            frame_style = wxBORDER_SIMPLE;
        if (style & WS_THICKFRAME)
            frame_style |= wxRESIZE_BORDER;
        top = new wxDialog(owner, wxID_ANY, label, wxPoint(rect.left, rect.top), wxDefaultSize, frame_style);
    }
    auto* panel = new wxPanel(top, wxID_ANY);
    auto peer = std::make_unique<top_level_peer>(dialog, panel, top);
    peer->move(rect);
    return peer;
}

void keep_on_display(wxTopLevelWindow& top)
{
    const int found = wxDisplay::GetFromWindow(top.GetParent() ? top.GetParent() : &top);
    const wxRect area = wxDisplay(found == wxNOT_FOUND ? 0u : static_cast<unsigned>(found)).GetClientArea();
    const wxSize client = top.GetClientSize();
    int left = 0, top_edge = 0, right = 0, bottom = 0;
#ifdef __WXGTK__
    // The window manager's frame: the toolkit learns it only once the window is framed, and the
    // owner's, framed already, is the better guess until then.
    const auto* owner =
        dynamic_cast<const wxTopLevelWindow*>(top.GetParent() ? wxGetTopLevelParent(top.GetParent()) : nullptr);
    for (const wxTopLevelWindow* framed : {static_cast<const wxTopLevelWindow*>(&top), owner}) {
        if (!framed)
            continue;
        left = std::max(left, framed->m_decorSize.left);
        top_edge = std::max(top_edge, framed->m_decorSize.top);
        right = std::max(right, framed->m_decorSize.right);
        bottom = std::max(bottom, framed->m_decorSize.bottom);
    }
#endif
    const wxRect outer(top.GetPosition(), wxSize(client.x + left + right, client.y + top_edge + bottom));
    wxPoint kept(std::min(outer.x, area.GetRight() + 1 - outer.width),
                 std::min(outer.y, area.GetBottom() + 1 - outer.height));
    kept.x = std::max(kept.x, area.x);
    kept.y = std::max(kept.y, area.y);
    if (kept != outer.GetPosition())
        top.Move(kept);
}

wxMenuItem* toolkit_menu_item(const CWnd& window, UINT command)
{
    auto* peer = dynamic_cast<top_level_peer*>(window.peer());
    return peer ? peer->item_for(command) : nullptr;
}

wxFrame* frame_of(const CWnd* window)
{
    auto* peer = window ? dynamic_cast<top_level_peer*>(window->peer()) : nullptr;
    return peer ? peer->frame() : nullptr;
}

}  // namespace platform
