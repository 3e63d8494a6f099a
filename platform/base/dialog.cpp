#include "platform/base/dialog.h"

#include "platform/base/controls.h"
#include "platform/base/dc.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/editable_list_box.h"
#include "platform/base/property_grid.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>

namespace {

std::map<UINT, dialog_template>& templates()
{
    static std::map<UINT, dialog_template> registered;
    return registered;
}

platform::modal_dialog_handler& modal_handler()
{
    static platform::modal_dialog_handler handler;
    return handler;
}

struct control_class {
    std::unique_ptr<CWnd> window;
    const char* class_name = "";
    DWORD style = 0;
    DWORD ex_style = 0;
};

control_class make_control(dialog_control_kind kind)
{
    switch (kind) {
    case dialog_control_kind::push_button:
        return {std::make_unique<CButton>(), "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case dialog_control_kind::default_push_button:
        return {std::make_unique<CButton>(), "BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
    case dialog_control_kind::check_box:
        return {std::make_unique<CButton>(), "BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case dialog_control_kind::radio_button:
        return {std::make_unique<CButton>(), "BUTTON", BS_AUTORADIOBUTTON, 0};
    case dialog_control_kind::group_box:
        return {std::make_unique<CButton>(), "BUTTON", BS_GROUPBOX, 0};
    case dialog_control_kind::edit:
        return {std::make_unique<CEdit>(), "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case dialog_control_kind::combo_box:
        return {std::make_unique<CComboBox>(), "COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case dialog_control_kind::list_box:
        return {std::make_unique<CListBox>(), "LISTBOX", WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, 0};
    case dialog_control_kind::static_text:
        return {std::make_unique<CStatic>(), "STATIC", SS_LEFT, 0};
    case dialog_control_kind::progress_bar:
        return {std::make_unique<CProgressCtrl>(), "msctls_progress32", WS_BORDER, 0};
    case dialog_control_kind::property_grid:
        return {std::make_unique<CMFCPropertyGridCtrl>(), "MFCPropertyGrid", WS_TABSTOP | WS_BORDER, 0};
    case dialog_control_kind::editable_list_box:
        return {std::make_unique<CVSListBox>(), "MfcVSListBox", WS_TABSTOP, 0};
    case dialog_control_kind::custom:
        break;
    }
    return {std::make_unique<CWnd>(), "", 0, 0};
}

CWnd* child(const CWnd& dialog, int id)
{
    return dialog.GetDlgItem(id);
}

bool usable(const CWnd& control)
{
    return (control.GetStyle() & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

bool is_radio_button(const CWnd& control)
{
    const auto* button = dynamic_cast<const CButton*>(&control);
    return button && (button->GetButtonStyle() == BS_RADIOBUTTON || button->GetButtonStyle() == BS_AUTORADIOBUTTON);
}

// Whether Tab stops at the control at `index`. A group of radio buttons is one stop: its checked
// button, else its first usable one.
bool takes_tab(const std::vector<CWnd*>& controls, size_t index)
{
    const CWnd& control = *controls[index];
    if (!usable(control))
        return false;
    if (!is_radio_button(control))
        return (control.GetStyle() & WS_TABSTOP) != 0;
    size_t first = index;
    while (first > 0 && !(controls[first]->GetStyle() & WS_GROUP) && is_radio_button(*controls[first - 1]))
        --first;
    const CWnd* stop = nullptr;
    for (size_t member = first; member < controls.size() && is_radio_button(*controls[member]); ++member) {
        if (member != first && (controls[member]->GetStyle() & WS_GROUP))
            break;
        if (!usable(*controls[member]))
            continue;
        if (controls[member]->SendMessage(BM_GETCHECK) == BST_CHECKED)
            return controls[member] == &control;
        if (!stop)
            stop = controls[member];
    }
    return stop == &control;
}

}  // namespace

namespace platform {

void register_dialog_template(const dialog_template& table)
{
    templates()[table.id] = table;
}

const dialog_template* find_dialog_template(UINT id)
{
    const auto found = templates().find(id);
    return found == templates().end() ? nullptr : &found->second;
}

void forget_dialog_templates()
{
    templates().clear();
}

modal_dialog_handler set_modal_dialog_handler(modal_dialog_handler handler)
{
    modal_dialog_handler previous = std::move(modal_handler());
    modal_handler() = std::move(handler);
    return previous;
}

CSize dialog_base_units(CFont& font)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont* previous = dc.SelectObject(&font);
    TEXTMETRICA metrics{};
    dc.GetTextMetrics(&metrics);
    // The average width of the alphabet, rounded, as dialog units are defined.
    const CSize alphabet = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52);
    dc.SelectObject(previous);
    return CSize(std::max(1, static_cast<int>((alphabet.cx / 26 + 1) / 2)), std::max(1, static_cast<int>(metrics.tmHeight)));
}

}  // namespace platform

void CDataExchange::Fail()
{
    throw data_exchange_failure();
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control)
{
    if (control.GetSafeHwnd())
        return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd))
        exchange->Fail();
}

void DDX_Text(CDataExchange* exchange, int id, CString& value)
{
    if (exchange->m_bSaveAndValidate)
        exchange->m_pDlgWnd->GetDlgItemText(id, value);
    else
        exchange->m_pDlgWnd->SetDlgItemText(id, value);
}

void DDX_Text(CDataExchange* exchange, int id, int& value)
{
    if (!exchange->m_bSaveAndValidate) {
        exchange->m_pDlgWnd->SetDlgItemInt(id, static_cast<UINT>(value), TRUE);
        return;
    }
    CString text;
    exchange->m_pDlgWnd->GetDlgItemText(id, text);
    text.Trim();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.GetString(), &end, 10);
    if (text.IsEmpty() || *end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) {
        AfxMessageBox("Please enter an integer.", MB_ICONEXCLAMATION);
        exchange->Fail();
    }
    value = static_cast<int>(parsed);
}

void DDX_Check(CDataExchange* exchange, int id, int& value)
{
    CWnd* control = child(*exchange->m_pDlgWnd, id);
    if (!control)
        exchange->Fail();
    if (exchange->m_bSaveAndValidate)
        value = static_cast<int>(control->SendMessage(BM_GETCHECK));
    else
        control->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
}

void DDX_CBIndex(CDataExchange* exchange, int id, int& index)
{
    CWnd* control = child(*exchange->m_pDlgWnd, id);
    if (!control)
        exchange->Fail();
    if (exchange->m_bSaveAndValidate)
        index = static_cast<int>(control->SendMessage(CB_GETCURSEL));
    else
        control->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void DDX_CBString(CDataExchange* exchange, int id, CString& value)
{
    auto* combo = dynamic_cast<CComboBox*>(child(*exchange->m_pDlgWnd, id));
    if (!combo)
        exchange->Fail();
    if (exchange->m_bSaveAndValidate) {
        combo->GetWindowText(value);
    } else if (combo->SelectString(-1, value) == CB_ERR) {
        combo->SetCurSel(-1);
    }
}

void DDX_LBIndex(CDataExchange* exchange, int id, int& index)
{
    auto* list = dynamic_cast<CListBox*>(child(*exchange->m_pDlgWnd, id));
    if (!list)
        exchange->Fail();
    if (exchange->m_bSaveAndValidate)
        index = list->GetCurSel();
    else
        list->SetCurSel(index);
}

CDialog::~CDialog()
{
    DestroyWindow();
}

bool CDialog::create_control(const dialog_control& control)
{
    control_class made = make_control(control.kind);
    CRect rect(control.x, control.y, control.x + control.width, control.y + control.height);
    MapDialogRect(&rect);
    const DWORD style = ((WS_CHILD | WS_VISIBLE | made.style) & ~control.removed_style) | control.style;
    const char* class_name = made.class_name;
    if (control.kind == dialog_control_kind::custom)
        class_name = control.text.IsEmpty() ? "" : control.text.GetString();
    if (!made.window->CreateEx(made.ex_style | control.ex_style, class_name,
                               control.kind == dialog_control_kind::custom ? "" : control.text.GetString(), style, rect,
                               this, control.id))
        return false;
    made.window->SetFont(&font_, FALSE);
    template_controls_.push_back(std::move(made.window));
    return true;
}

bool CDialog::build(UINT template_id, CWnd* parent)
{
    const dialog_template* table = platform::find_dialog_template(template_id);
    if (!table || GetSafeHwnd())
        return false;
    template_id_ = template_id;
    m_pParentWnd = parent;
    ended_ = false;
    result_ = IDCANCEL;
    template_controls_.clear();
    font_.DeleteObject();
    font_.CreatePointFont(table->point_size * 10, table->font_face);
    base_units_ = platform::dialog_base_units(font_);

    CRect client(0, 0, table->width, table->height);
    MapDialogRect(&client);
    // Centred over the window that opens it (its parent's window, else the active one), else over
    // the screen.
    const CRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CRect around = screen;
    const CWnd* over = parent && parent->GetSafeHwnd() ? parent : CWnd::GetActiveWindow();
    while (over && (over->GetStyle() & WS_CHILD) && over->GetParent())
        over = over->GetParent();
    if (over)
        over->GetWindowRect(&around);
    client.OffsetRect(around.left + (around.Width() - client.Width()) / 2,
                      around.top + (around.Height() - client.Height()) / 2);
    // Shown only once the controls exist and the dialog has initialised them.
    const DWORD style = (table->style & ~(WS_CHILD | WS_VISIBLE));
    if (!CWnd::CreateEx(table->ex_style, "#32770", table->caption, style, client, parent, 0))
        return false;
    // The table gives the client area; the frame lies around it. The whole stays on the screen,
    // its top left corner first.
    const int frame = frame_width();
    CRect placed = client;
    placed.InflateRect(frame, frame);
    placed.OffsetRect(std::min(LONG{0}, screen.right - placed.right), std::min(LONG{0}, screen.bottom - placed.bottom));
    placed.OffsetRect(std::max(LONG{0}, screen.left - placed.left), std::max(LONG{0}, screen.top - placed.top));
    if (frame != 0 || placed != client)
        MoveWindow(&placed, FALSE);
    SetFont(&font_, FALSE);
    template_menu_.reset();
    if (table->menu_id != 0) {
        auto menu = std::make_unique<CMenu>();
        if (menu->LoadMenu(table->menu_id)) {
            template_menu_ = std::move(menu);
            SetMenu(template_menu_.get());
        }
    }
    for (const dialog_control& control : table->controls)
        if (!create_control(control)) {
            DestroyWindow();
            return false;
        }
    const LRESULT initialised = SendMessage(WM_INITDIALOG);
    default_focus_ = initialised != 0;
    return GetSafeHwnd() != nullptr;
}

BOOL CDialog::Create(UINT template_id, CWnd* parent)
{
    modal_ = false;
    if (!build(template_id, parent))
        return FALSE;
    const dialog_template* table = platform::find_dialog_template(template_id);
    if (table && (table->style & WS_VISIBLE) && !ended_)
        ShowWindow(SW_SHOW);
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    if (GetSafeHwnd())
        return -1;
    modal_ = true;
    CWnd* owner = m_pParentWnd;
    // The keys go back where they went before once the dialog has ended.
    const platform::saved_focus previous_focus = platform::save_focus();
    if (!build(template_id_, owner)) {
        modal_ = false;
        return -1;
    }
    if (!ended_)
        if (CWnd* first = start_focus())
            first->SetFocus();
    const bool owner_enabled = owner && owner->GetSafeHwnd() && owner->IsWindowEnabled();
    if (owner_enabled)
        owner->EnableWindow(FALSE);
    INT_PTR answer = result_;
    if (!ended_) {
        if (modal_handler()) {
            answer = modal_handler()(*this);
        } else {
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            answer = IDCANCEL;
        }
    }
    if (ended_)
        answer = result_;
    if (owner_enabled && ::IsWindow(owner))
        owner->EnableWindow(TRUE);
    DestroyWindow();
    modal_ = false;
    platform::restore_focus(previous_focus);
    return answer;
}

CWnd* CDialog::next_tab_stop(const CWnd* from, bool backwards) const
{
    const std::vector<CWnd*>& controls = children();
    const auto count = static_cast<std::ptrdiff_t>(controls.size());
    std::ptrdiff_t at = backwards ? count : -1;
    for (std::ptrdiff_t index = 0; from && index < count; ++index)
        if (controls[static_cast<size_t>(index)] == from || controls[static_cast<size_t>(index)]->IsChild(from))
            at = index;
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const std::ptrdiff_t index = ((at + (backwards ? -step : step)) % count + count) % count;
        if (takes_tab(controls, static_cast<size_t>(index)))
            return controls[static_cast<size_t>(index)];
    }
    return nullptr;
}

CWnd* CDialog::start_focus() const
{
    CWnd* chosen = CWnd::GetFocus();
    if (!default_focus_ && chosen && IsChild(chosen))
        return chosen;
    return next_tab_stop(nullptr, false);
}

int CDialog::default_button_id() const
{
    for (CWnd* control : children()) {
        const auto* button = dynamic_cast<const CButton*>(control);
        if (button && button->GetButtonStyle() == BS_DEFPUSHBUTTON)
            return button->GetDlgCtrlID();
    }
    return IDOK;
}

void CDialog::EndDialog(int result)
{
    ended_ = true;
    result_ = result;
    if (!GetSafeHwnd())
        return;
    if (modal_) {
        if (auto* native = dynamic_cast<dialog_peer*>(peer()))
            native->end_modal(result);
    } else {
        ShowWindow(SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL save_and_validate)
{
    CDataExchange exchange(this, save_and_validate);
    try {
        DoDataExchange(&exchange);
    } catch (const data_exchange_failure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::SetDlgItemText(int id, const char* text)
{
    if (CWnd* control = child(*this, id))
        control->SetWindowText(text);
}

int CDialog::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    if (CWnd* control = child(*this, id))
        control->GetWindowText(text);
    return text.GetLength();
}

int CDialog::GetDlgItemText(int id, char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    CWnd* control = child(*this, id);
    return control ? control->GetWindowText(buffer, size) : 0;
}

void CDialog::SetDlgItemInt(int id, UINT value, BOOL is_signed)
{
    CString text;
    if (is_signed)
        text.Format("%d", static_cast<int>(value));
    else
        text.Format("%u", value);
    SetDlgItemText(id, text);
}

UINT CDialog::GetDlgItemInt(int id, BOOL* translated, BOOL is_signed) const
{
    CString text;
    GetDlgItemText(id, text);
    text.Trim();
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.GetString(), &end, 10);
    const bool fits = is_signed ? (parsed >= INT32_MIN && parsed <= INT32_MAX) : (parsed >= 0 && parsed <= UINT32_MAX);
    const bool good = !text.IsEmpty() && *end == '\0' && errno != ERANGE && fits;
    if (translated)
        *translated = good ? TRUE : FALSE;
    return good ? static_cast<UINT>(parsed) : 0;
}

void CDialog::CheckDlgButton(int id, UINT check)
{
    if (CWnd* control = child(*this, id))
        control->SendMessage(BM_SETCHECK, check);
}

UINT CDialog::IsDlgButtonChecked(int id) const
{
    CWnd* control = child(*this, id);
    return control ? static_cast<UINT>(control->SendMessage(BM_GETCHECK)) : 0;
}

void CDialog::MapDialogRect(RECT* rect) const
{
    if (!rect)
        return;
    rect->left = MulDiv(rect->left, base_units_.cx, 4);
    rect->right = MulDiv(rect->right, base_units_.cx, 4);
    rect->top = MulDiv(rect->top, base_units_.cy, 8);
    rect->bottom = MulDiv(rect->bottom, base_units_.cy, 8);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wparam, lparam);
}

BOOL CDialog::OnCommand(WPARAM wparam, LPARAM)
{
    if (HIWORD(wparam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wparam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

// Closing a dialog's window cancels it rather than destroying it.
void CDialog::OnClose()
{
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

BOOL CDialog::PreTranslateMessage(MSG* message)
{
    if (!message || message->message != WM_KEYDOWN || !GetSafeHwnd())
        return CWnd::PreTranslateMessage(message);
    const WPARAM key = message->wParam;
    if (key != VK_ESCAPE && key != VK_RETURN && key != VK_TAB)
        return FALSE;
    CWnd* control = message->hwnd;
    if (control && (control == this || !IsChild(control)))
        control = nullptr;
    // An in-place editor or a multi-line edit keeps the key.
    const LRESULT wanted =
        control ? control->SendMessage(WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(message)) : 0;
    if (wanted & DLGC_WANTMESSAGE)
        return FALSE;
    if (key == VK_TAB) {
        // Ctrl+Tab is the control's (a tab in a multi-line edit).
        if ((wanted & DLGC_WANTTAB) || GetKeyState(VK_CONTROL) < 0)
            return FALSE;
        if (CWnd* next = next_tab_stop(control, GetKeyState(VK_SHIFT) < 0))
            next->SetFocus();
        return TRUE;
    }
    int id = IDCANCEL;
    if (key == VK_RETURN) {
        const auto* button = dynamic_cast<const CButton*>(control);
        const bool push_button = button && (button->GetButtonStyle() == BS_PUSHBUTTON ||
                                            button->GetButtonStyle() == BS_DEFPUSHBUTTON);
        id = push_button ? control->GetDlgCtrlID() : default_button_id();
    }
    // A disabled button's command is not given.
    CWnd* button = GetDlgItem(id);
    if (!button || button->IsWindowEnabled())
        SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return TRUE;
}
