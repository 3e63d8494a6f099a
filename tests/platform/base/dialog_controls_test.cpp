// The controls the main window and its dialogs name: the edit-browse control, the newer
// framework's button and the drop list's messages.
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/edit_browse.h"
#include "platform/base/shell_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT command_dialog_id = 148;
constexpr int program_id = 1130;

class command_dialog : public CDialogEx {
public:
    command_dialog() : CDialogEx(command_dialog_id) {}
    CMFCEditBrowseCtrl program;
    CMFCButton run;
    std::vector<std::string> heard;

    void DoDataExchange(CDataExchange* exchange) override
    {
        DDX_Control(exchange, program_id, program);
        DDX_Control(exchange, IDOK, run);
    }
    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        program.EnableFileBrowseButton();
        return TRUE;
    }
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
    {
        if (LOWORD(wparam) == program_id)
            heard.push_back(HIWORD(wparam) == EN_UPDATE ? "update" : HIWORD(wparam) == EN_CHANGE ? "change" : "other");
        if (LOWORD(wparam) == IDOK) {
            heard.push_back("run");
            return TRUE;
        }
        return CDialogEx::OnCommand(wparam, lparam);
    }
};

void register_command_dialog()
{
    dialog_template table;
    table.id = command_dialog_id;
    table.caption = "Command prompt";
    table.width = 316;
    table.height = 84;
    using kind = dialog_control_kind;
    table.controls = {
        {program_id, kind::edit, "", 50, 4, 260, 14, ES_READONLY},
        {IDOK, kind::default_push_button, "Run", 200, 66, 50, 14},
        {IDCANCEL, kind::push_button, "Cancel", 256, 66, 50, 14},
    };
    platform::register_dialog_template(table);
}

}  // namespace

TEST(edit_browse, the_browse_button_puts_the_chosen_file_in_the_edit_and_tells_the_parent)
{
    register_command_dialog();
    CString offered;
    platform::set_file_dialog_handler([&](const platform::file_dialog_request& request, CString& path) {
        offered = request.file_name;
        if (!request.open)
            return false;
        path = "/usr/bin/meld";
        return true;
    });
    command_dialog dialog;
    ASSERT_TRUE(dialog.Create(command_dialog_id));
    EXPECT_EQ(dialog.program.GetMode(), CMFCEditBrowseCtrl::BrowseMode_File);
    dialog.program.SetWindowText("/usr/bin/diff");
    dialog.heard.clear();
    dialog.program.browse_clicked();
    EXPECT_EQ(offered, "/usr/bin/diff") << "the picker starts from the edit's text";
    CString text;
    dialog.program.GetWindowText(text);
    EXPECT_EQ(text, "/usr/bin/meld");
    EXPECT_EQ(dialog.heard, (std::vector<std::string>{"update", "change"}));

    platform::set_file_dialog_handler([](const platform::file_dialog_request&, CString&) { return false; });
    dialog.heard.clear();
    dialog.program.browse_clicked();
    dialog.program.GetWindowText(text);
    EXPECT_EQ(text, "/usr/bin/meld") << "a cancelled picker changes nothing";
    EXPECT_TRUE(dialog.heard.empty());

    dialog.run.SendMessage(BM_CLICK);
    EXPECT_EQ(dialog.heard, std::vector<std::string>{"run"}) << "the newer button is a push button";
    platform::set_file_dialog_handler(nullptr);
    dialog.DestroyWindow();
    platform::forget_dialog_templates();
}

TEST(combo_box_messages, a_drop_list_answers_the_cb_messages)
{
    CWnd parent;
    parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 200, 200), nullptr, 0);
    CComboBox scripts;
    ASSERT_TRUE(scripts.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &parent, 1118));
    EXPECT_EQ(scripts.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("diff_default")), 0);
    EXPECT_EQ(scripts.SendMessage(CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("by_name")), 0);
    EXPECT_EQ(scripts.SendMessage(CB_GETCOUNT), 2);
    EXPECT_EQ(scripts.SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("diff_default")), 1);
    EXPECT_EQ(scripts.SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("by_name")), 0);
    EXPECT_EQ(scripts.SendMessage(CB_GETCURSEL), 0);
    const auto length = scripts.SendMessage(CB_GETLBTEXTLEN, 1);
    ASSERT_EQ(length, 12);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    EXPECT_EQ(scripts.SendMessage(CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer.data())), 12);
    EXPECT_STREQ(buffer.data(), "diff_default");
    EXPECT_EQ(scripts.SendMessage(CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(buffer.data())), CB_ERR);
    EXPECT_EQ(scripts.SendMessage(CB_DELETESTRING, 0), 1) << "answers the count left";
}
