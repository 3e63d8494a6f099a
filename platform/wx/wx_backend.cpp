#include "platform/wx/wx_backend.h"

#include "platform/base/dc.h"
#include "platform/base/menu.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/wx/visual_styles.h"
#include "platform/wx/wx_convert.h"
#include "platform/wx/wx_dialogs.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_surface.h"
#include "platform/wx/wx_top_level.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/tooltip.h>
#include <wx/utils.h>

#include <algorithm>
#include <vector>

namespace platform {

std::unique_ptr<window_peer> make_native_control_peer(CWnd& window);
std::unique_ptr<window_peer> make_owner_drawn_peer(CWnd& window);

std::unique_ptr<window_peer> make_wx_peer(CWnd& window)
{
    // The tool tip settings window is bookkeeping only; the toolkit shows its own tips.
    if (window.class_name().CompareNoCase("tooltips_class32") == 0 || !wxTheApp)
        return nullptr;
    if (auto peer = make_native_control_peer(window))
        return peer;
    if (auto peer = make_dialog_peer(window))
        return peer;
    return make_owner_drawn_peer(window);
}

namespace {

int toolkit_metric(int index)
{
    wxSystemMetric metric;
    switch (index) {
    case SM_CXSCREEN: metric = wxSYS_SCREEN_X; break;
    case SM_CYSCREEN: metric = wxSYS_SCREEN_Y; break;
    case SM_CXVSCROLL: metric = wxSYS_VSCROLL_X; break;
    case SM_CYHSCROLL: metric = wxSYS_HSCROLL_Y; break;
    case SM_CYVSCROLL: metric = wxSYS_VSCROLL_ARROW_Y; break;
    case SM_CXHSCROLL: metric = wxSYS_HSCROLL_ARROW_X; break;
    case SM_CXBORDER: metric = wxSYS_BORDER_X; break;
    case SM_CYBORDER: metric = wxSYS_BORDER_Y; break;
    case SM_CXEDGE: metric = wxSYS_EDGE_X; break;
    case SM_CYEDGE: metric = wxSYS_EDGE_Y; break;
    case SM_CYCAPTION: metric = wxSYS_CAPTION_Y; break;
    case SM_CYMENU: metric = wxSYS_MENU_Y; break;
    case SM_CXICON: metric = wxSYS_ICON_X; break;
    case SM_CYICON: metric = wxSYS_ICON_Y; break;
    case SM_CXSMICON: metric = wxSYS_SMALLICON_X; break;
    case SM_CYSMICON: metric = wxSYS_SMALLICON_Y; break;
    case SM_CXDOUBLECLK: metric = wxSYS_DCLICK_X; break;
    case SM_CYDOUBLECLK: metric = wxSYS_DCLICK_Y; break;
    case SM_CXDRAG: metric = wxSYS_DRAG_X; break;
    case SM_CYDRAG: metric = wxSYS_DRAG_Y; break;
    case SM_CXFRAME: metric = wxSYS_FRAMESIZE_X; break;
    case SM_CYFRAME: metric = wxSYS_FRAMESIZE_Y; break;
    case SM_CXCURSOR: metric = wxSYS_CURSOR_X; break;
    case SM_CYCURSOR: metric = wxSYS_CURSOR_Y; break;
    case SM_CYVTHUMB: metric = wxSYS_VTHUMB_Y; break;
    case SM_CXHTHUMB: metric = wxSYS_HTHUMB_X; break;
    case SM_CMOUSEBUTTONS: metric = wxSYS_MOUSE_BUTTONS; break;
    default: return fixed_system_metric(index);
    }
    const int answer = wxSystemSettings::GetMetric(metric);
    // The toolkit answers -1 (or 0 for a size) where it does not know; the fixed value serves.
    return answer > 0 ? answer : fixed_system_metric(index);
}

COLORREF toolkit_colour(int index)
{
    if (index < 0 || index > COLOR_MENUBAR)
        return fixed_system_colour(index);
    const wxColour colour = wxSystemSettings::GetColour(static_cast<wxSystemColour>(index));
    return colour.IsOk() ? from_wx(colour) : fixed_system_colour(index);
}

// The toolkit's own message box shows its text as a label the keyboard reaches: Tab from the
// first button selected the text, and Return there answered with the default button. This one
// has only its buttons as tab stops, and Return answers the focused one.
class message_box_dialog : public wxDialog {
public:
    message_box_dialog(wxWindow* parent, const message_box_request& request)
        : wxDialog(parent, wxID_ANY, wxString::FromUTF8(request.caption.GetString()))
    {
        std::vector<int> ids;
        switch (request.type & MB_TYPEMASK) {
        case MB_OKCANCEL: case MB_RETRYCANCEL: ids = {wxID_OK, wxID_CANCEL}; break;
        case MB_YESNO: ids = {wxID_YES, wxID_NO}; break;
        case MB_YESNOCANCEL: ids = {wxID_YES, wxID_NO, wxID_CANCEL}; break;
        default: ids = {wxID_OK}; break;
        }
        const int default_id =
            (request.type & MB_DEFBUTTON2) && std::find(ids.begin(), ids.end(), wxID_NO) != ids.end() ? wxID_NO
                                                                                                     : ids.front();
        auto* text = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(request.text.GetString()));
        text->Wrap(FromDIP(480));
        auto* buttons = new wxStdDialogButtonSizer();
        wxButton* focused = nullptr;
        for (const int id : ids) {
            auto* button = new wxButton(this, id);
            buttons->AddButton(button);
            if (id == default_id)
                focused = button;
        }
        buttons->Realize();
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(text, wxSizerFlags().Border(wxALL, FromDIP(16)));
        column->Add(buttons, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(12)));
        SetSizerAndFit(column);
        CentreOnParent();
        keep_on_display(*this);
        focused->SetDefault();
        focused->SetFocus();
        Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { EndModal(event.GetId()); });
        // Escape cancels, in a box without a Cancel button too, as closing the window does.
        SetEscapeId(wxID_NONE);
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_ESCAPE && !event.HasModifiers())
                EndModal(wxID_CANCEL);
            else
                event.Skip();
        });
    }
};

int show_message_box(const message_box_request& request)
{
    wxWindow* parent = request.owner ? widget_of(*request.owner) : nullptr;
    message_box_dialog dialog(parent ? wxGetTopLevelParent(parent) : nullptr, request);
    switch (dialog.ShowModal()) {
    case wxID_YES: return IDYES;
    case wxID_NO: return IDNO;
    case wxID_OK: return (request.type & MB_TYPEMASK) == MB_RETRYCANCEL ? IDRETRY : IDOK;
    default: return IDCANCEL;
    }
}

// Command ids go up to 0xFFFF, the toolkit's stop below 0x7FFF: items are numbered from 100
// (clear of the stock ids) and the number is turned back into the command.
void fill_popup(wxMenu& menu, const std::vector<menu_item>& items, std::vector<UINT>& commands)
{
    for (const menu_item& item : items) {
        if (item.separator) {
            menu.AppendSeparator();
            continue;
        }
        const wxString label = wxString::FromUTF8(item.text.GetString());
        if (item.popup || !item.sub_items.empty()) {
            auto* sub = new wxMenu();
            fill_popup(*sub, item.sub_items, commands);
            wxMenuItem* added = menu.AppendSubMenu(sub, label);
            if (item.disabled)
                added->Enable(false);
            continue;
        }
        const int toolkit_id = 100 + static_cast<int>(commands.size());
        commands.push_back(item.id);
        wxMenuItem* added = item.checked ? menu.AppendCheckItem(toolkit_id, label) : menu.Append(toolkit_id, label);
        if (item.checked)
            added->Check(true);
        if (item.disabled)
            added->Enable(false);
    }
}

UINT show_popup_menu(const popup_menu_request& request)
{
    wxWindow* widget = request.owner ? widget_of(*request.owner) : nullptr;
    if (!widget)
        return 0;
    wxMenu menu;
    std::vector<UINT> commands;
    fill_popup(menu, request.items, commands);
    const wxPoint position = widget->ScreenToClient(wxPoint(request.screen_point.x, request.screen_point.y));
    // A cell's tip, shown or still to come, would draw over the menu: none while it is up.
    struct tips_held {
        tips_held() { hold_tips(); }
        ~tips_held() { release_tips(); }
        tips_held(const tips_held&) = delete;
        tips_held& operator=(const tips_held&) = delete;
    } held;
    const int chosen = widget->GetPopupMenuSelectionFromUser(menu, position) - 100;
    return chosen >= 0 && chosen < static_cast<int>(commands.size()) ? commands[static_cast<size_t>(chosen)] : 0;
}

}  // namespace

void install_wx_backend()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    wxInitAllImageHandlers();
    set_peer_factory(make_wx_peer);
    set_memory_surface_factory([] { return std::make_unique<wx_surface>(); });
    set_system_metric_service(toolkit_metric);
    set_system_colour_service(toolkit_colour);
    // The lock keys' toggle state is the keyboard's, as far as the toolkit reports it.
    set_key_state_service([](int key) {
        SHORT state = key_table_state(key);
        const wxKeyCode lock = key == VK_CAPITAL ? WXK_CAPITAL : key == VK_NUMLOCK ? WXK_NUMLOCK
                                                              : key == VK_SCROLL  ? WXK_SCROLL
                                                                                  : WXK_NONE;
        if (lock != WXK_NONE)
            state = static_cast<SHORT>((state & ~1) | (wxGetKeyState(lock) ? 1 : 0));
        return state;
    });
    set_message_box_handler(show_message_box);
    set_popup_menu_handler(show_popup_menu);
    set_tip_canceller([] {
        wxToolTip::Enable(false);
        wxToolTip::Enable(true);
    });
    set_post_notifier([] {
        if (wxTheApp)
            wxTheApp->CallAfter([] { deliver_posted_messages(); });
    });
    register_visual_styles_module();
    install_wx_dialog_services();
}

bool start_wx_toolkit()
{
    if (!wxTheApp) {
        static int argc = 1;
        static char name[] = "tarvoline";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp());
        if (!wxEntryStart(argc, argv))
            return false;
        if (!wxTheApp->CallOnInit())
            return false;
    }
    install_wx_backend();
    return true;
}

void process_toolkit_events()
{
    if (!wxTheApp)
        return;
    for (int round = 0; round < 5; ++round) {
        wxTheApp->ProcessPendingEvents();
        while (wxTheApp->Pending())
            wxTheApp->Dispatch();
        wxTheApp->ProcessIdle();
    }
    deliver_posted_messages();
}

}  // namespace platform
