#pragma once
// Dialogs built from registered templates: modal (DoModal answers the id given to EndDialog)
// or modeless (Create). Every control of the template is a window of its own class with its
// own state, so dialog logic runs without a display; with a toolkit the dialog and its
// controls get native peers whose notifications reach the dialog as WM_COMMAND. Running a
// modal dialog goes through a replaceable handler, so tests answer dialogs without a display.

#include "platform/base/dialog_template.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/menu.h"
#include "platform/base/modal.h"
#include "platform/base/window.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class CDialog;

// What the toolkit's dialog window does for a modal run.
class dialog_peer {
public:
    virtual ~dialog_peer() = default;
    // Shows the window and handles events until end_modal; answers its result.
    virtual INT_PTR run_modal() = 0;
    virtual void end_modal(INT_PTR result) = 0;
};

// The direction and target of one data exchange (UpdateData).
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
    // Reports a value that cannot be taken and stops the exchange.
    [[noreturn]] void Fail();

    CDialog* m_pDlgWnd = nullptr;
    BOOL m_bSaveAndValidate = FALSE;
};

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct data_exchange_failure : std::runtime_error {
    data_exchange_failure() : std::runtime_error("data exchange failed") {}
};

void DDX_Control(CDataExchange* exchange, int id, CWnd& control);
void DDX_Text(CDataExchange* exchange, int id, CString& value);
// Whole numbers; text that is not one fails with "Please enter an integer.".
void DDX_Text(CDataExchange* exchange, int id, int& value);
void DDX_Check(CDataExchange* exchange, int id, int& value);
void DDX_CBIndex(CDataExchange* exchange, int id, int& index);
void DDX_CBString(CDataExchange* exchange, int id, CString& value);
void DDX_LBIndex(CDataExchange* exchange, int id, int& index);

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT template_id, CWnd* parent = nullptr) : m_pParentWnd(parent), template_id_(template_id) {}
    ~CDialog() override;

    // Modeless: builds the dialog and its controls, runs OnInitDialog, shows it when the
    // template is WS_VISIBLE. FALSE for an unknown template or a failed initialisation.
    BOOL Create(UINT template_id, CWnd* parent = nullptr);
    // Modal: builds the dialog, disables the owner, runs the dialog through the modal handler
    // and answers the id given to EndDialog (-1 when the dialog could not be built).
    virtual INT_PTR DoModal();
    // A modal dialog's run ends with result; a modeless dialog is hidden.
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* exchange);
    // TRUE: controls to members (validating); FALSE: members to controls.
    BOOL UpdateData(BOOL save_and_validate = TRUE);

    void SetDlgItemText(int id, const char* text);
    int GetDlgItemText(int id, CString& text) const;
    int GetDlgItemText(int id, char* buffer, int size) const;
    void SetDlgItemInt(int id, UINT value, BOOL is_signed = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL is_signed = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    // Dialog units to pixels with the dialog's font.
    void MapDialogRect(RECT* rect) const;
    CSize base_units() const { return base_units_; }

    UINT template_id() const { return template_id_; }
    bool is_modal() const { return modal_; }
    bool has_ended() const { return ended_; }
    INT_PTR end_result() const { return result_; }

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    void OnClose() override;
    // The dialog's keys: Escape is its Cancel command (id 2), Return presses the default push
    // button (the focused push button, else the one marked default, else OK), Tab and Shift+Tab
    // move the focus through the controls in order, unless the focused control asks for the
    // key (WM_GETDLGCODE).
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    // The control Tab (or Shift+Tab: backwards) moves to from `from` (null: from either end).
    CWnd* next_tab_stop(const CWnd* from, bool backwards) const;

    CWnd* m_pParentWnd = nullptr;

private:
    bool build(UINT template_id, CWnd* parent);
    bool create_control(const dialog_control& control);
    // The control a modal run starts in: the one OnInitDialog focused when it answered FALSE,
    // else the first that takes the focus.
    CWnd* start_focus() const;
    // The id Return presses when the focus is on no push button.
    int default_button_id() const;

    UINT template_id_ = 0;
    bool modal_ = false;
    bool ended_ = false;
    // OnInitDialog answered TRUE: the dialog leaves the first focus to the platform.
    bool default_focus_ = true;
    INT_PTR result_ = IDCANCEL;
    CFont font_;
    CSize base_units_{8, 16};
    std::vector<std::unique_ptr<CWnd>> template_controls_;
    // The menu bar the template names (its toolkit window is then a frame).
    std::unique_ptr<CMenu> template_menu_;
};

// The dialog base of the newer framework: the same dialog (its extra looks are the toolkit's).
class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};

namespace platform {

// Runs a modal dialog that has been built and initialised, answering its result; the
// dialog's EndDialog result wins when it ended. With none installed the dialog is cancelled
// (its Cancel command) at once, the safe answer.
using modal_dialog_handler = std::function<INT_PTR(CDialog& dialog)>;
modal_dialog_handler set_modal_dialog_handler(modal_dialog_handler handler);

// Dialog base units of a font: average character width and height in pixels.
CSize dialog_base_units(CFont& font);

}  // namespace platform
