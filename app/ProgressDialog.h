#pragma once
// The small modeless window shown while a merge runs: the file being copied, a bar, the total and
// done byte counts and the time left. The merge feeds it one step per file; it never drives the
// merge, and Cancel only closes the window.

#include "core/utils/progress.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

constexpr UINT IDD_PROGRESS = 140;
constexpr int IDC_PROGRESS_FILE = 1075;
constexpr int IDC_PROGRESS_BAR = 1076;
constexpr int IDC_PROGRESS_TOTAL_LABEL = 1077;
constexpr int IDC_PROGRESS_TOTAL = 1078;
constexpr int IDC_PROGRESS_DONE_LABEL = 1079;
constexpr int IDC_PROGRESS_DONE = 1080;
constexpr int IDC_PROGRESS_ESTIMATED_LABEL = 1081;
constexpr int IDC_PROGRESS_ESTIMATED = 1082;
constexpr int IDC_PROGRESS_CANCEL = 1022;

// The resource table of the dialog.
dialog_template progress_dialog_template();

// The main window's byte-count formatter: a decimal count shown with its unit, two decimals
// above 1024 bytes. Text that is not a count is returned unchanged.
std::string format_byte_count(const std::string& count);

class CProgressDialog : public CDialogEx {
public:
    using formatter_type = std::function<std::string(const std::string&)>;

    // Creates the window at once; it is visible as soon as it exists.
    explicit CProgressDialog(CWnd* parent);
    ~CProgressDialog() override;

    utils::progress& progress() { return progress_; }
    const utils::progress& progress() const { return progress_; }
    void set_formatter(formatter_type formatter) { formatter_ = std::move(formatter); }

    std::string FormatBytes(std::uint64_t count) const;
    std::string ApplyFormatter(const std::string& text) const;

    // One file's step; the Total text is left as it is.
    void Step(std::uint64_t bytes, const char* file_name);
    void Step(std::uint64_t bytes, const char* file_name, utils::progress::clock::time_point now);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    // Enter and Esc leave the window as it is; only the Cancel button closes it.
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;

    CString m_total;
    CString m_done;
    CString m_estimated;
    CProgressCtrl m_progress_bar;
    CStatic m_file;

private:
    utils::progress progress_;
    formatter_type formatter_;
};
