#include "app/ProgressDialog.h"

#include "core/utils/string_utils.h"

#include <charconv>
#include <sstream>

dialog_template progress_dialog_template()
{
    dialog_template table;
    table.id = IDD_PROGRESS;
    table.width = 155;
    table.height = 95;
    table.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    table.font_face = "Courier New";
    table.point_size = 8;
    using kind = dialog_control_kind;
    table.controls = {
        {IDC_PROGRESS_FILE, kind::static_text, "Progress", 7, 7, 141, 8},
        {IDC_PROGRESS_BAR, kind::progress_bar, "", 7, 18, 141, 10},
        {IDC_PROGRESS_TOTAL_LABEL, kind::static_text, "Total", 7, 34, 52, 8},
        {IDC_PROGRESS_TOTAL, kind::static_text, "", 62, 34, 86, 8},
        {IDC_PROGRESS_DONE_LABEL, kind::static_text, "Done", 7, 45, 52, 8},
        {IDC_PROGRESS_DONE, kind::static_text, "", 62, 45, 86, 8},
        {IDC_PROGRESS_ESTIMATED_LABEL, kind::static_text, "Estimated", 7, 56, 52, 8},
        {IDC_PROGRESS_ESTIMATED, kind::static_text, "", 62, 56, 86, 8},
        {IDC_PROGRESS_CANCEL, kind::push_button, "Cancel", 98, 74, 50, 14},
    };
    return table;
}

std::string format_byte_count(const std::string& count)
{
    std::uint64_t bytes = 0;
    const char* end = count.data() + count.size();
    const auto read = std::from_chars(count.data(), end, bytes);
    if (count.empty() || read.ec != std::errc() || read.ptr != end)
        return count;
    return utils::string_utils::format_size(bytes, bytes > 1024 ? 2 : 0);
}

CProgressDialog::CProgressDialog(CWnd* parent) : CDialogEx(IDD_PROGRESS, parent)
{
    if (!platform::find_dialog_template(IDD_PROGRESS))
        platform::register_dialog_template(progress_dialog_template());
    Create(IDD_PROGRESS, parent);
}

CProgressDialog::~CProgressDialog()
{
    DestroyWindow();
}

std::string CProgressDialog::FormatBytes(std::uint64_t count) const
{
    std::ostringstream text;
    text << count;
    return ApplyFormatter(text.str());
}

std::string CProgressDialog::ApplyFormatter(const std::string& text) const
{
    return formatter_ ? formatter_(text) : text;
}

BOOL CProgressDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    m_total = ApplyFormatter("0").c_str();
    m_done = ApplyFormatter("0").c_str();
    m_estimated = "0 seconds left";
    UpdateData(FALSE);
    // The merge sets this range too; set here the bar is right even before it does.
    m_progress_bar.SetRange32(0, static_cast<int>(progress_.maximum_position()));
    return TRUE;
}

void CProgressDialog::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_PROGRESS_BAR, m_progress_bar);
    DDX_Control(exchange, IDC_PROGRESS_FILE, m_file);
    DDX_Text(exchange, IDC_PROGRESS_TOTAL, m_total);
    DDX_Text(exchange, IDC_PROGRESS_DONE, m_done);
    DDX_Text(exchange, IDC_PROGRESS_ESTIMATED, m_estimated);
}

BOOL CProgressDialog::OnCommand(WPARAM wparam, LPARAM lparam)
{
    if (LOWORD(wparam) == IDC_PROGRESS_CANCEL && HIWORD(wparam) == BN_CLICKED) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

void CProgressDialog::Step(std::uint64_t bytes, const char* file_name)
{
    Step(bytes, file_name, utils::progress::clock::now());
}

void CProgressDialog::Step(std::uint64_t bytes, const char* file_name, utils::progress::clock::time_point now)
{
    progress_.step(bytes, now);
    m_estimated.Format("%.0f seconds left", static_cast<double>(progress_.remaining()) / 1000.0);
    CString caption;
    caption.Format("Copying %s...", file_name ? file_name : "");
    if (m_file.GetSafeHwnd())
        m_file.SetWindowText(caption);
    m_done = FormatBytes(progress_.done()).c_str();
    if (m_progress_bar.GetSafeHwnd())
        m_progress_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(progress_.bar_position()));
    if (GetSafeHwnd())
        UpdateData(FALSE);
}
