#pragma once
// "Merge file": one pair of files side by side (folder, time, size), the better time and size
// marked and coloured, and the choice of copying one way, the other way or not at all. DoModal
// answers 1 (">>", main onto backup), -1 ("<<", backup onto main) or 0 (Cancel).

#include "platform/base/dialog.h"
#include "platform/base/controls.h"
#include "platform/base/dialog_controls.h"


constexpr UINT IDD_MERGE_FILE = 139;
constexpr int IDC_MERGE_NAME = 1059;
constexpr int IDC_MERGE_MAIN_FOLDER = 1066;
constexpr int IDC_MERGE_MAIN_TIME = 1067;
constexpr int IDC_MERGE_MAIN_SIZE = 1068;
constexpr int IDC_MERGE_BACKUP_FOLDER = 1070;
constexpr int IDC_MERGE_BACKUP_TIME = 1071;
constexpr int IDC_MERGE_BACKUP_SIZE = 1072;
constexpr int IDC_MERGE_COPY_RIGHT = 1073;
constexpr int IDC_MERGE_COPY_LEFT = 1074;
constexpr int IDC_MERGE_MAIN_TIME_MARKER = 1088;
constexpr int IDC_MERGE_MAIN_SIZE_MARKER = 1089;
constexpr int IDC_MERGE_BACKUP_TIME_MARKER = 1090;
constexpr int IDC_MERGE_BACKUP_SIZE_MARKER = 1091;
constexpr int IDC_MERGE_GO_MAIN = 1095;
constexpr int IDC_MERGE_GO_BACKUP = 1096;

// The resource table of the dialog.
dialog_template merge_file_dialog_template();

class CMergeFileDlg : public CDialogEx {
public:
    explicit CMergeFileDlg(CWnd* parent = nullptr);
    ~CMergeFileDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override {}
    // Esc and the close box choose nothing, like Cancel.
    void OnCancel() override { EndDialog(0); }
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

    // WM_CTLCOLOR: the brush of a coloured edit (its text colour set on dc), else `base`.
    HBRUSH OnCtlColor(CDC* dc, CWnd* control, HBRUSH base);
    // A Go button: the file on that side shown selected in its folder, when it exists. A
    // program that cannot start goes to the platform's failure reporter: the dialog has no log.
    void ShowFileInFolder(bool main_side);

    COLORREF m_better_background = RGB(255, 255, 255);
    COLORREF m_worse_background = RGB(255, 255, 255);
    COLORREF m_better_foreground = RGB(0, 0, 0);
    COLORREF m_worse_foreground = RGB(0, 0, 0);

    CStatic m_name_line;
    CEdit m_main_folder_edit;
    CEdit m_backup_folder_edit;
    CEdit m_main_time_edit;
    CEdit m_backup_time_edit;
    CEdit m_main_size_edit;
    CEdit m_backup_size_edit;

    CString m_kind;
    CString m_name;
    CString m_main_folder;
    CString m_backup_folder;
    CString m_main_time;
    CString m_backup_time;
    CString m_main_size;
    CString m_backup_size;

    CButton m_copy_right;
    CButton m_copy_left;

    // -1: the main side is better (larger, newer); +1: the backup side; 0: equal.
    int m_size_choice = 0;
    int m_time_choice = 0;

    CString m_main_time_marker;
    CString m_backup_time_marker;
    CString m_main_size_marker;
    CString m_backup_size_marker;

    CBrush m_worse_brush;
    CBrush m_better_brush;

private:
    // +1 for the edit of the better value, -1 for the worse one, 0 when both are equal or the
    // control is not one of the four.
    int edit_standing(int id) const;
};
