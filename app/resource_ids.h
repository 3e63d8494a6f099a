#pragma once
// Numbers of the main window's resources: templates, menus, controls and commands.

#include "app/AppIcon.h"  // IDR_MAINFRAME, the application's icon
#include "platform/base/win_types.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDD_TARVOLINE_DIALOG = 102;
constexpr UINT IDR_MAIN_MENU = 129;
constexpr UINT IDR_CONTEXT_MENU = 136;
constexpr UINT IDD_FILTER = 145;

// Dialog 102.
constexpr int IDC_LOG_VIEW = 1000;
constexpr int IDC_MAIN_LABEL = 1012;
constexpr int IDC_GO = 1033;
constexpr int IDC_MAIN_PATH = 1040;
constexpr int IDC_BACKUP_PATH = 1041;
constexpr int IDC_BROWSE_MAIN = 1042;
constexpr int IDC_BROWSE_BACKUP = 1043;
constexpr int IDC_GRID_PLACE = 1083;
constexpr int IDC_SCRIPTS = 1118;
constexpr int IDC_BACKUP_FOLDER = 1123;
constexpr int IDC_ROWS_COUNT = 1147;

// Dialog 145.
constexpr int IDC_FILTER_CONDITION = 1120;
constexpr int IDC_FILTER_CLEAR = 1122;
constexpr int IDC_FILTER_LABEL = 1124;

// Dialog 100.
constexpr int IDC_ABOUT_ICON = 1001;
constexpr int IDC_ABOUT_VERSION = 1002;
constexpr int IDC_ABOUT_NOTICE = 1003;

// Commands.
constexpr UINT ID_FILE_EXIT = 32772;
constexpr UINT ID_TOOL_OPTIONS = 32780;
constexpr UINT ID_FILTER_DIFFERENT_SIZE = 32782;
constexpr UINT ID_FILTER_MISSING_MAIN = 32783;
constexpr UINT ID_FILTER_MISSING_BACKUP = 32784;
constexpr UINT ID_FILTER_DIFFERENT_TIME = 32785;
constexpr UINT ID_QUERY = 32790;
constexpr UINT ID_HELP_ABOUT = 32794;
constexpr UINT ID_EXPORT = 32795;
constexpr UINT ID_MERGE_RIGHT = 32797;
constexpr UINT ID_MERGE_LEFT = 32798;
constexpr UINT ID_MERGE_AUTOMATIC = 32801;
constexpr UINT ID_MERGE_BOTH = 32802;
constexpr UINT ID_SHOW_DIFFERENCES = 32803;
constexpr UINT ID_CLEAR = 32804;
constexpr UINT ID_DUMP = 32805;
constexpr UINT ID_CUSTOM_FILTER = 32808;
constexpr UINT ID_CLIPBOARD_ADD_MAIN = 32812;
constexpr UINT ID_CLIPBOARD_ADD_BACKUP = 32813;
constexpr UINT ID_CLIPBOARD_SHOW = 32814;
constexpr UINT ID_CLIPBOARD_ADD_ALL = 32816;
constexpr UINT ID_CLIPBOARD_ADD_ALL_MAIN = 32817;
constexpr UINT ID_CLIPBOARD_ADD_ALL_BACKUP = 32818;
constexpr UINT ID_CLIPBOARD_DELETE_ALL = 32819;
constexpr UINT ID_CLIPBOARD_COPY_TO = 32820;
constexpr UINT ID_OPEN_FILE = 32822;
constexpr UINT ID_OPEN_BACKUP = 32823;
constexpr UINT ID_SAVE_LOG = 32824;
constexpr UINT ID_OPEN_WITH_FILE = 32825;
constexpr UINT ID_OPEN_WITH_BACKUP = 32826;
constexpr UINT ID_LOAD = 32827;
constexpr UINT ID_COPY_LOG = 32828;
constexpr UINT ID_COMPARE = 32829;
constexpr UINT ID_GO_TO_FILE = 32830;
constexpr UINT ID_GO_TO_BACKUP = 32831;
constexpr UINT ID_DELETE_FILE = 32838;
constexpr UINT ID_DELETE_BACKUP = 32839;
constexpr UINT ID_SHOW_STATISTICS = 32840;
constexpr UINT ID_MOCK_COPY = 32841;
