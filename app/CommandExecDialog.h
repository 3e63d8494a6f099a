#pragma once
// The "Command prompt" dialog of Open with: the program (chosen with the browse button), the
// input file, free options, the command it makes ("Run as") and "Remember my choice". "Run" is
// only possible while the program exists.

#include "app/ExternalCommand.h"

#include "platform/base/controls.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"

#include <string>

constexpr UINT IDD_COMMAND_EXEC = 148;
constexpr int IDC_COMMAND_OPTIONS = 1126;
constexpr int IDC_COMMAND_RUN_AS = 1127;
constexpr int IDC_COMMAND_INPUT_FILE = 1128;
constexpr int IDC_COMMAND_PROGRAM = 1130;
constexpr int IDC_COMMAND_REMEMBER = 1131;
constexpr int IDC_COMMAND_BROWSE = 1132;
constexpr int IDC_COMMAND_PROGRAM_LABEL = 1133;
constexpr int IDC_COMMAND_INPUT_LABEL = 1134;
constexpr int IDC_COMMAND_OPTIONS_LABEL = 1135;
constexpr int IDC_COMMAND_RUN_AS_LABEL = 1136;

dialog_template command_exec_dialog_template();

class CCommandExecDialog : public CDialogEx {
public:
    // An empty program leaves the field empty; remember sets the check box's first state.
    CCommandExecDialog(const std::string& program, const std::string& input_file, bool remember,
                       CWnd* parent = nullptr);

    std::string program() const { return static_cast<const char*>(m_program); }
    std::string input_file() const { return static_cast<const char*>(m_input_file); }
    std::string options() const { return static_cast<const char*>(m_options); }
    // What runs: the program, the options' words, the input file.
    external_command::command command() const;
    bool remember() const { return m_remember != 0; }
    bool run_enabled() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    // Refused while the program does not exist (Enter reaches it even with "Run" disabled).
    void OnOK() override;

    CString m_program;
    CString m_input_file;
    CString m_options;
    CString m_command;
    int m_remember = 0;
    CEdit m_program_edit;
    CEdit m_options_edit;

private:
    void FormatCommand();
    void ShowCommand();
    void EnableRun();
    void BrowseProgram();
};
