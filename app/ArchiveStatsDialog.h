#pragma once
// The Statistics dialog: files, folders, total size and the newest and oldest modification
// time of the main and the backup tree, as prepared texts.

#include "platform/base/dialog.h"

constexpr UINT IDD_ARCHIVE_STATS = 151;
constexpr int IDC_STATS_MAIN_GROUP = 1145;
constexpr int IDC_STATS_MAIN_FILES = 1137;
constexpr int IDC_STATS_MAIN_FOLDERS = 1012;
constexpr int IDC_STATS_MAIN_SIZE = 1138;
constexpr int IDC_STATS_MAIN_NEWEST = 1139;
constexpr int IDC_STATS_MAIN_OLDEST = 1140;
constexpr int IDC_STATS_BACKUP_GROUP = 1146;
constexpr int IDC_STATS_BACKUP_FILES = 1142;
constexpr int IDC_STATS_BACKUP_FOLDERS = 1013;
constexpr int IDC_STATS_BACKUP_SIZE = 1141;
constexpr int IDC_STATS_BACKUP_NEWEST = 1143;
constexpr int IDC_STATS_BACKUP_OLDEST = 1144;

dialog_template archive_stats_dialog_template();

class CArchiveStatsDialog : public CDialogEx {
public:
    explicit CArchiveStatsDialog(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnClose() override;

    CString m_main_caption;
    CString m_main_files;
    CString m_main_folders;
    CString m_main_size;
    CString m_main_newest;
    CString m_main_oldest;
    CString m_backup_caption;
    CString m_backup_files;
    CString m_backup_folders;
    CString m_backup_size;
    CString m_backup_newest;
    CString m_backup_oldest;
};
