#include "platform/wx/wx_dialogs.h"

#include "platform/base/clipboard.h"
#include "platform/base/dc_surface.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/editable_list_box.h"
#include "platform/base/property_grid.h"
#include "platform/base/shell_dialogs.h"
#include "platform/wx/compact_style.h"
#include "platform/wx/wx_input.h"
#include "platform/wx/wx_native_control.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_top_level.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/combo.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/editlbox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/panel.h>
#include <wx/propgrid/manager.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/advprops.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#ifdef __WXGTK3__
#include <dlfcn.h>
#endif

#include <algorithm>
#include <map>

namespace platform {

namespace {

wxString to_wx_text(const CString& text)
{
    return wxString::FromUTF8(text.GetString());
}

class control_peer : public native_control_peer {
public:
    control_peer(CWnd& window, wxWindow* widget) : native_control_peer(window, widget) {}
    void set_text(const char* text) override
    {
        if (widget_)
            widget_->SetLabel(wxString::FromUTF8(text ? text : ""));
        refresh_colours();
    }
    void take_parent_colours() { parent_colours_ = true; }
    // Inside a dialog the panel is the client area itself; elsewhere the parent's drawn
    // frame is counted as usual.
    void move(const RECT& window_rect) override
    {
        const CWnd* parent = window_.GetParent();
        if (!widget_ || !parent || parent->class_name() != "#32770") {
            wx_peer_base::move(window_rect);
            return;
        }
        widget_->SetSize(window_rect.left, window_rect.top, std::max(0, static_cast<int>(window_rect.right - window_rect.left)),
                         std::max(0, static_cast<int>(window_rect.bottom - window_rect.top)));
    }
};

class button_peer_impl : public control_peer, public button_peer {
public:
    button_peer_impl(CButton& button, wxWindow* widget) : control_peer(button, widget), button_(button)
    {
        auto clicked = [this](wxCommandEvent&) {
            if (IsWindow(&button_))
                button_.user_clicked();
            // The platform state decides what the box shows (a manual check box stays).
            if (IsWindow(&button_))
                show_check(button_.GetCheck());
        };
        widget->Bind(wxEVT_BUTTON, clicked);
        widget->Bind(wxEVT_CHECKBOX, clicked);
        widget->Bind(wxEVT_RADIOBUTTON, clicked);
        labelled_box_ = dynamic_cast<wxCheckBox*>(widget) || dynamic_cast<wxRadioButton*>(widget);
    }
    void move(const RECT& window_rect) override { control_peer::move(labelled_box_ ? fitted(window_rect) : window_rect); }
    // The font and the label set what the toolkit needs.
    void set_font(HFONT font) override
    {
        control_peer::set_font(font);
        fit_again();
    }
    void set_text(const char* text) override
    {
        control_peer::set_text(text);
        fit_again();
    }
    void show_check(int state) override
    {
        if (auto* box = dynamic_cast<wxCheckBox*>(widget_)) {
            if (box->Is3State())
                box->Set3StateValue(static_cast<wxCheckBoxState>(state));
            else
                box->SetValue(state == BST_CHECKED);
        } else if (auto* radio = dynamic_cast<wxRadioButton*>(widget_)) {
            if (state == BST_CHECKED) {
                radio->SetValue(true);
            } else if (radio->GetValue()) {
                // The toolkit keeps one button of a group checked: the group's hidden first
                // button takes the check, so no visible choice is shown.
                wxRadioButton* first = radio->GetFirstInGroup();
                if (first && first != radio && !first->IsShown())
                    first->SetValue(true);
            }
        }
    }

private:
    // A check box or radio button is given at least the size the toolkit asks for: GTK cannot
    // draw its box lower nor its label narrower, and warns and cuts the label off in less. It
    // grows to the right, where the label runs, and evenly up and down about its rectangle.
    // The window's own rectangle stays as laid out.
    RECT fitted(const RECT& rect) const
    {
        RECT shown = rect;
        if (!widget_)
            return shown;
        widget_->InvalidateBestSize();
        const wxSize natural = widget_->GetBestSize();
        const int height = rect.bottom - rect.top;
        if (natural.y > height) {
            shown.top = rect.top - (natural.y - height) / 2;
            shown.bottom = shown.top + natural.y;
        }
        shown.right = std::max(rect.right, static_cast<LONG>(rect.left + natural.x));
        return shown;
    }
    void fit_again()
    {
        if (labelled_box_ && IsWindow(&window_))
            control_peer::move(fitted(window_.window_rect_in_parent()));
    }

    CButton& button_;
    bool labelled_box_ = false;
};

class combo_peer_impl : public control_peer, public combo_box_peer {
public:
    combo_peer_impl(CComboBox& combo, wxChoice* widget) : control_peer(combo, widget), combo_(combo), choice_(widget)
    {
        draw_drop_list_compact(*widget);
        widget->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
            if (IsWindow(&combo_))
                combo_.user_selected(event.GetSelection());
        });
        // GTK measures a new font or item text only once its loop has run.
        widget->Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
            event.Skip();
            if (!IsWindow(&combo_))
                return;
            const RECT wanted = closed(combo_.window_rect_in_parent());
            if (choice_->GetSize().y != wanted.bottom - wanted.top)
                control_peer::move(wanted);
        });
    }
    void set_text(const char*) override {}
    void show_items(const std::vector<CString>& items) override
    {
        wxArrayString shown;
        for (const CString& item : items)
            shown.Add(to_wx_text(item));
        choice_->Set(shown);
    }
    void show_selection(int index) override
    {
        choice_->SetSelection(index >= 0 && static_cast<unsigned>(index) < choice_->GetCount() ? index : wxNOT_FOUND);
    }
    void move(const RECT& window_rect) override { control_peer::move(closed(window_rect)); }

private:
    // A drop list's rectangle counts its open list too; the closed control keeps the toolkit's
    // own height, else GTK stretches the box and draws its text off the visible part.
    RECT closed(const RECT& window_rect) const
    {
        RECT shown = window_rect;
        const int natural = choice_->GetSizeFromTextSize(0).y;
        if (natural > 0 && shown.bottom - shown.top > natural)
            shown.bottom = shown.top + natural;
        return shown;
    }

    CComboBox& combo_;
    wxChoice* choice_;
};

// GTK 3 sizes the filled part of a progress bar when it lays the window out, which happens only
// while its loop runs: a step made inside a long task (a merge copying large files) would be
// drawn at the width of some earlier step. Laying the bar out again at its own size, at once,
// sizes the filled part for the next drawing. GTK is reached through the symbols its library
// already brought into the process; where they are missing nothing changes.
void lay_out_now(wxWindow& widget)
{
#ifdef __WXGTK3__
    struct allocation {
        int x, y, width, height;
    };
    using get_allocation = void (*)(void*, allocation*);
    using size_allocate = void (*)(void*, allocation*);
    static const auto get = reinterpret_cast<get_allocation>(dlsym(RTLD_DEFAULT, "gtk_widget_get_allocation"));
    static const auto set = reinterpret_cast<size_allocate>(dlsym(RTLD_DEFAULT, "gtk_widget_size_allocate"));
    void* handle = widget.GetHandle();
    if (!get || !set || !handle || !widget.IsShownOnScreen())
        return;
    allocation area {};
    get(handle, &area);
    if (area.width > 0 && area.height > 0)
        set(handle, &area);
#else
    (void)widget;
#endif
}

class progress_peer_impl : public control_peer, public progress_peer {
public:
    progress_peer_impl(CWnd& window, wxGauge* widget) : control_peer(window, widget), gauge_(widget) {}
    void set_text(const char*) override {}
    void show_progress(int lower, int upper, int position) override
    {
        // The toolkit's gauge counts from 0 in an int; wide ranges are scaled down.
        const double span = static_cast<double>(upper) - lower;
        const int steps = span > 100000 ? 100000 : std::max(1, static_cast<int>(span));
        gauge_->SetRange(steps);
        gauge_->SetValue(span <= 0 ? 0 : static_cast<int>((static_cast<double>(position) - lower) * steps / span));
        lay_out_now(*gauge_);
    }

private:
    wxGauge* gauge_;
};

class status_bar_peer_impl : public control_peer, public status_bar_peer {
public:
    // In a frame the bar is the frame's own, below the client area.
    status_bar_peer_impl(CWnd& window, wxStatusBar* widget, wxFrame* frame)
        : control_peer(window, widget), bar_(widget), frame_(frame)
    {
        // The lock indicators follow the keyboard: looked at whenever the toolkit is idle.
        if (wxTheApp)
            wxTheApp->Bind(wxEVT_IDLE, &status_bar_peer_impl::on_idle, this);
        if (frame_) {
            const wxSize client = frame_->GetClientSize();
            frame_->SetStatusBar(bar_);
            frame_->SetClientSize(client);
        }
    }
    ~status_bar_peer_impl() override
    {
        if (wxTheApp)
            wxTheApp->Unbind(wxEVT_IDLE, &status_bar_peer_impl::on_idle, this);
        if (frame_ && widget_ && frame_->GetStatusBar() == bar_) {
            const wxSize client = frame_->GetClientSize();
            frame_->SetStatusBar(nullptr);
            frame_->SetClientSize(client);
        }
    }
    void move(const RECT& window_rect) override
    {
        if (!frame_)
            control_peer::move(window_rect);
    }
    void set_text(const char*) override {}
    void show_panes(const std::vector<CString>& texts) override
    {
        const int count = std::max(1, static_cast<int>(texts.size()));
        if (bar_->GetFieldsCount() != count) {
            // The first pane stretches, indicators keep a fixed width.
            std::vector<int> widths(static_cast<size_t>(count), 50);
            widths[0] = -1;
            bar_->SetFieldsCount(count, widths.data());
        }
        for (int index = 0; index < static_cast<int>(texts.size()); ++index)
            bar_->SetStatusText(to_wx_text(texts[static_cast<size_t>(index)]), index);
    }

private:
    void on_idle(wxIdleEvent& event)
    {
        event.Skip();
        if (auto* bar = dynamic_cast<CStatusBar*>(&window_); bar && IsWindow(bar) && widget_)
            bar->update_indicators();
    }

    wxStatusBar* bar_;
    wxFrame* frame_;
};

class property_grid_peer_impl : public control_peer, public property_grid_peer {
public:
    property_grid_peer_impl(CMFCPropertyGridCtrl& grid, wxPropertyGridManager* widget)
        : control_peer(grid, widget), grid_(grid), manager_(widget), native_(widget->GetGrid())
    {
        // The grid reports its events through the manager that holds it.
        manager_->Bind(wxEVT_PG_CHANGED, [this](wxPropertyGridEvent& event) { report_value(event.GetProperty()); });
        // A choice takes each new value at once: the value before an edit's first change is
        // kept for Escape to put back.
        manager_->Bind(wxEVT_PG_CHANGING, [this](wxPropertyGridEvent& event) {
            event.Skip();
            wxPGProperty* changing = event.GetProperty();
            if (changing && editor_has_focus() && edit_start_.first != changing)
                edit_start_ = {changing, changing->GetValue()};
        });
        // Another row's edit, or none, begins.
        manager_->Bind(wxEVT_PG_SELECTED, [this](wxPropertyGridEvent& event) {
            event.Skip();
            end_edit();
        });
        native_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
            event.Skip();
            end_edit();
        });
        // Return in any in-place editor ends that edit only, as the toolkit's text editor does on
        // its own; its choice editor left the key to the window, whose default button took it.
        // Escape ends it with the value it had when it began: the toolkit puts back only a text
        // not yet taken.
        native_->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
            event.Skip();
            const int key = event.GetKeyCode();
            const bool ends = key == WXK_RETURN || key == WXK_NUMPAD_ENTER || key == WXK_ESCAPE;
            if (!ends || event.HasModifiers() || !editor_has_focus())
                return;
            // An open drop-down takes Return as the choice of its item, Escape as its closing.
            auto* combo = dynamic_cast<wxComboCtrl*>(native_->GetEditorControl());
            if (combo && combo->IsPopupShown())
                return;
            if (key == WXK_ESCAPE) {
                put_back_edit_start();
                return;
            }
            native_->UnfocusEditor();
            end_edit();
            event.Skip(false);
        });
    }
    void set_text(const char*) override {}
    // While one of the grid's in-place editors has the focus it keeps the keys: Return takes
    // the value, Escape drops it.
    bool control_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override
    {
        if (message != WM_GETDLGCODE)
            return control_peer::control_message(message, wparam, lparam, result);
        result = editor_has_focus() ? DLGC_WANTALLKEYS : 0;
        return true;
    }
    void show_properties() override
    {
        // The description of the selected row shows in the pane under the grid; tool tips would
        // cover the rows and the buttons below them.
        const long managed = manager_->GetWindowStyleFlag();
        const long wanted = grid_.description_area() ? (managed | wxPG_DESCRIPTION) : (managed & ~wxPG_DESCRIPTION);
        if (wanted != managed) {
            manager_->SetWindowStyleFlag(wanted);
            // A title line and two of text; the rest stays the rows'.
            if (grid_.description_area())
                manager_->SetDescBoxHeight(manager_->GetCharHeight() * 4);
        }
        const long style = native_->GetWindowStyleFlag();
        native_->SetWindowStyleFlag(grid_.marks_modified() ? (style | wxPG_BOLD_MODIFIED) : (style & ~wxPG_BOLD_MODIFIED));
        end_edit();
        native_->Clear();
        properties_.clear();
        for (int index = 0; index < grid_.GetPropertyCount(); ++index)
            add(grid_.GetProperty(index), nullptr);
        native_->SetSplitterLeft();
    }

private:
    bool editor_has_focus() const
    {
        wxWindow* focus = wxWindow::FindFocus();
        return focus && focus != native_ && native_->IsDescendant(focus);
    }
    // The property takes the value the toolkit's grid shows for it.
    void report_value(wxPGProperty* shown)
    {
        auto found = properties_.find(shown);
        if (found == properties_.end() || !IsWindow(&grid_))
            return;
        CMFCPropertyGridProperty* property = found->second;
        const wxVariant value = shown->GetValue();
        if (property->is_colour()) {
            wxColour colour;
            if (value.GetType() == "wxColourPropertyValue") {
                wxColourPropertyValue chosen;
                chosen << value;
                colour = chosen.m_colour;
            } else {
                colour << value;
            }
            CString text;
            text.Format("%d,%d,%d", colour.Red(), colour.Green(), colour.Blue());
            property->user_changed(text);
        } else {
            property->user_changed(CString(shown->GetValueAsString().utf8_str().data()));
        }
    }
    void end_edit() { edit_start_ = {}; }
    void put_back_edit_start()
    {
        wxPGProperty* edited = edit_start_.first;
        const wxVariant value = edit_start_.second;
        end_edit();
        if (!edited || edited != native_->GetSelection() || edited->GetValue() == value)
            return;
        edited->SetValue(value);
        report_value(edited);
        // Drawn as changed only when it still differs from the value the dialog opened with.
        auto found = properties_.find(edited);
        edited->SetModifiedStatus(found != properties_.end() && found->second->IsModified());
        native_->RefreshProperty(edited);
    }
    void add(CMFCPropertyGridProperty* property, wxPGProperty* parent)
    {
        wxPGProperty* made = nullptr;
        const wxString name = to_wx_text(property->GetName());
        // The toolkit finds properties by a unique name; two rows may share a label.
        wxString key = name;
        for (int copy = 2; native_->GetProperty(key); ++copy)
            key = wxString::Format("%s#%d", name, copy);
        if (property->IsGroup()) {
            made = new wxPropertyCategory(name, key);
        } else if (auto* colour = dynamic_cast<CMFCPropertyGridColorProperty*>(property)) {
            const COLORREF value = colour->GetColor();
            made = new wxColourProperty(name, key, wxColour(GetRValue(value), GetGValue(value), GetBValue(value)));
        } else if (property->GetOptionCount() > 0 && !property->edit_allowed()) {
            wxArrayString options;
            int current = -1;
            for (int index = 0; index < property->GetOptionCount(); ++index) {
                options.Add(to_wx_text(property->GetOption(index)));
                if (property->GetOption(index) == property->GetValue())
                    current = index;
            }
            made = new wxEnumProperty(name, key, options, wxArrayInt(), std::max(0, current));
        } else {
            made = new wxStringProperty(name, key, to_wx_text(property->GetValue()));
        }
        made->SetHelpString(to_wx_text(property->GetDescription()));
        if (parent)
            native_->AppendIn(parent, made);
        else
            native_->Append(made);
        made->Enable(property->IsEnabled() != FALSE);
        properties_[made] = property;
        for (int index = 0; index < property->GetSubItemsCount(); ++index)
            add(property->GetSubItem(index), made);
    }

    CMFCPropertyGridCtrl& grid_;
    wxPropertyGridManager* manager_;
    wxPropertyGrid* native_;
    std::map<wxPGProperty*, CMFCPropertyGridProperty*> properties_;
    // The row whose edit changed its value, and the value it had when that edit began.
    std::pair<wxPGProperty*, wxVariant> edit_start_;
};

class editable_list_peer_impl : public control_peer, public editable_list_peer {
public:
    editable_list_peer_impl(CVSListBox& list, wxEditableListBox* widget)
        : control_peer(list, widget), list_(list), native_(widget)
    {
        wxListCtrl* items = widget->GetListCtrl();
        items->Bind(wxEVT_LIST_ITEM_SELECTED, [this, items](wxListEvent& event) {
            event.Skip();
            // The toolkit's empty row for a new entry: this list takes no typed entries.
            if (event.GetIndex() >= shown_count_) {
                items->SetItemState(event.GetIndex(), 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
                return;
            }
            if (IsWindow(&list_))
                list_.SelectItem(static_cast<int>(event.GetIndex()));
        });
        // The removal is the list's to allow; the toolkit's own removal never runs.
        widget->GetDelButton()->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            if (IsWindow(&list_))
                list_.user_removes_selected();
        });
    }
    void set_text(const char* text) override { show_caption(text); }
    void show_items(const std::vector<CString>& texts) override
    {
        wxArrayString shown;
        for (const CString& text : texts)
            shown.Add(to_wx_text(text));
        shown_count_ = static_cast<long>(texts.size());
        native_->SetStrings(shown);
        // SetStrings selects the first row, in an empty list the row for a new entry.
        if (texts.empty())
            native_->GetListCtrl()->SetItemState(0, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }
    void show_caption(const char* caption) override
    {
        // The caption is the toolkit list box's label, inside the panel it shares with the
        // tool bar's buttons.
        if (wxStaticText* label = caption_label(native_))
            label->SetLabel(wxString::FromUTF8(caption ? caption : ""));
    }

private:
    static wxStaticText* caption_label(wxWindow* parent)
    {
        for (wxWindow* child : parent->GetChildren()) {
            if (auto* label = dynamic_cast<wxStaticText*>(child))
                return label;
            if (dynamic_cast<wxPanel*>(child))
                if (wxStaticText* label = caption_label(child))
                    return label;
        }
        return nullptr;
    }

    CVSListBox& list_;
    wxEditableListBox* native_;
    long shown_count_ = 0;
};

INT_PTR run_modal_dialog(CDialog& dialog)
{
    if (auto* native = dynamic_cast<dialog_peer*>(dialog.peer()))
        return native->run_modal();
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return IDCANCEL;
}

wxWindow* owner_widget(HWND owner)
{
    wxWindow* widget = owner ? widget_of(*owner) : nullptr;
    return widget ? wxGetTopLevelParent(widget) : nullptr;
}

bool pick_file(const file_dialog_request& request, CString& path)
{
    wxString wildcard;
    for (const auto& filter : request.filters) {
        if (!wildcard.empty())
            wildcard += "|";
        wildcard += to_wx_text(filter.first) + "|" + to_wx_text(filter.second);
    }
    if (wildcard.empty())
        wildcard = wxFileSelectorDefaultWildcardStr;
    long style = request.open ? (wxFD_OPEN | ((request.flags & OFN_FILEMUSTEXIST) ? wxFD_FILE_MUST_EXIST : 0))
                              : (wxFD_SAVE | ((request.flags & OFN_OVERWRITEPROMPT) ? wxFD_OVERWRITE_PROMPT : 0));
    // The picker starts in the folder of the name given, else in the user's home folder.
    const wxFileName named(to_wx_text(request.file_name));
    const wxString folder = named.GetPath().empty() ? wxGetHomeDir() : named.GetPath();
    wxFileDialog picker(owner_widget(request.owner), request.open ? "Open" : "Save As", folder,
                        named.GetFullName(), wildcard, style);
    if (picker.ShowModal() != wxID_OK)
        return false;
    path = picker.GetPath().utf8_str().data();
    return true;
}

bool pick_folder(const folder_dialog_request& request, CString& path)
{
    wxDirDialog picker(owner_widget(request.owner), to_wx_text(request.title), to_wx_text(request.initial_folder),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (picker.ShowModal() != wxID_OK)
        return false;
    path = picker.GetPath().utf8_str().data();
    return true;
}

void write_system_clipboard(const CString& text)
{
    wxClipboardLocker locker;
    if (!locker)
        return;
    if (text.IsEmpty())
        wxTheClipboard->Clear();
    else
        wxTheClipboard->SetData(new wxTextDataObject(to_wx_text(text)));
    wxTheClipboard->Flush();
}

bool read_system_clipboard(CString& text)
{
    wxClipboardLocker locker;
    if (!locker || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT))
        return false;
    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data))
        return false;
    text = data.GetText().utf8_str().data();
    return true;
}

}  // namespace

std::unique_ptr<window_peer> make_dialog_peer(CWnd& window)
{
    const CString& kind = window.class_name();
    const DWORD style = window.GetStyle();
    CString text;
    window.GetWindowText(text);
    const wxString label = to_wx_text(text);

    if (kind == "#32770") {
        auto* dialog = dynamic_cast<CDialog*>(&window);
        return dialog ? make_top_level_dialog_peer(*dialog, owner_widget(window.GetOwner())) : nullptr;
    }

    wxWindow* parent = client_widget_of(window.GetParent());
    std::unique_ptr<window_peer> peer;
    wxWindow* widget = nullptr;
    if (kind.CompareNoCase("BUTTON") == 0) {
        auto* button = dynamic_cast<CButton*>(&window);
        if (!button)
            return nullptr;
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) {
            widget = new wxStaticBox(parent, wxID_ANY, label);
            peer = std::make_unique<control_peer>(window, widget);
        } else {
            if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)
                widget = new wxCheckBox(parent, wxID_ANY, label);
            else if (type == BS_3STATE || type == BS_AUTO3STATE)
                widget = new wxCheckBox(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, wxCHK_3STATE);
            else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
                // A group starts with a hidden button, so that the group can show no choice
                // until the user makes one (the toolkit checks a group's first button).
                if (style & WS_GROUP)
                    (new wxRadioButton(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxRB_GROUP))
                        ->Hide();
                widget = new wxRadioButton(parent, wxID_ANY, label);
            }
            else
                widget = new wxButton(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
            if (type == BS_DEFPUSHBUTTON)
                static_cast<wxButton*>(widget)->SetDefault();
            auto made = std::make_unique<button_peer_impl>(*button, widget);
            made->show_check(button->GetCheck());
            peer = std::move(made);
        }
    } else if (kind.CompareNoCase("STATIC") == 0) {
        long align = (style & 3) == SS_CENTER ? wxALIGN_CENTRE_HORIZONTAL : (style & 3) == SS_RIGHT ? wxALIGN_RIGHT : wxALIGN_LEFT;
        widget = new wxStaticText(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, align | wxST_NO_AUTORESIZE);
        peer = std::make_unique<control_peer>(window, widget);
        static_cast<control_peer*>(peer.get())->take_parent_colours();
    } else if (kind.CompareNoCase("COMBOBOX") == 0) {
        auto* combo = dynamic_cast<CComboBox*>(&window);
        if (!combo)
            return nullptr;
        auto* choice = new wxChoice(parent, wxID_ANY);
        widget = choice;
        auto made = std::make_unique<combo_peer_impl>(*combo, choice);
        std::vector<CString> items;
        for (int index = 0; index < combo->GetCount(); ++index) {
            CString item;
            combo->GetLBText(index, item);
            items.push_back(item);
        }
        made->show_items(items);
        made->show_selection(combo->GetCurSel());
        peer = std::move(made);
    } else if (kind.CompareNoCase("msctls_progress32") == 0) {
        auto* progress = dynamic_cast<CProgressCtrl*>(&window);
        if (!progress)
            return nullptr;
        auto* gauge = new wxGauge(parent, wxID_ANY, 100);
        widget = gauge;
        auto made = std::make_unique<progress_peer_impl>(window, gauge);
        int lower = 0;
        int upper = 0;
        progress->GetRange(lower, upper);
        made->show_progress(lower, upper, progress->GetPos());
        peer = std::move(made);
    } else if (kind.CompareNoCase("msctls_statusbar32") == 0) {
        wxFrame* frame = frame_of(window.GetParent());
        auto* bar = new wxStatusBar(frame ? static_cast<wxWindow*>(frame) : parent, wxID_ANY,
                                    wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP);
        widget = bar;
        peer = std::make_unique<status_bar_peer_impl>(window, bar, frame);
    } else if (kind.CompareNoCase("MFCPropertyGrid") == 0) {
        auto* grid = dynamic_cast<CMFCPropertyGridCtrl*>(&window);
        if (!grid)
            return nullptr;
        // The manager: the plain grid has no description pane.
        auto* native = new wxPropertyGridManager(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                                 wxPG_SPLITTER_AUTO_CENTER | wxPG_DEFAULT_STYLE);
        native->AddPage();
        widget = native;
        auto made = std::make_unique<property_grid_peer_impl>(*grid, native);
        made->show_properties();
        peer = std::move(made);
    } else if (kind.CompareNoCase("MfcVSListBox") == 0) {
        auto* list = dynamic_cast<CVSListBox*>(&window);
        if (!list)
            return nullptr;
        auto* native = new wxEditableListBox(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, wxEL_ALLOW_DELETE);
        widget = native;
        auto made = std::make_unique<editable_list_peer_impl>(*list, native);
        std::vector<CString> texts;
        for (int index = 0; index < list->GetCount(); ++index)
            texts.push_back(list->GetItemText(index));
        made->show_items(texts);
        peer = std::move(made);
    } else {
        return nullptr;
    }
    return settle_control_peer(std::move(peer), *widget, window);
}

void install_wx_dialog_services()
{
    set_modal_dialog_handler(run_modal_dialog);
    set_file_dialog_handler(pick_file);
    set_folder_dialog_handler(pick_folder);
    set_clipboard_service({write_system_clipboard, read_system_clipboard});
}

}  // namespace platform
