#include "platform/base/controls.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT filter_dialog_id = 145;
constexpr int label_id = 1124;
constexpr int condition_id = 1120;
constexpr int clear_id = 1122;
constexpr int recursive_id = 1130;
constexpr int mode_id = 1131;
constexpr int names_id = 1132;
constexpr int count_id = 1133;

dialog_template filter_table()
{
    dialog_template table;
    table.id = filter_dialog_id;
    table.caption = "Filter";
    table.width = 212;
    table.height = 90;
    using kind = dialog_control_kind;
    table.controls = {
        {label_id, kind::static_text, "Condition", 2, 2, 208, 8},
        {condition_id, kind::edit, "", 2, 14, 208, 27, ES_MULTILINE},
        {recursive_id, kind::check_box, "Recursive", 2, 44, 80, 10},
        {mode_id, kind::combo_box, "", 90, 44, 60, 40},
        {names_id, kind::list_box, "", 2, 56, 100, 20},
        {count_id, kind::edit, "0", 110, 56, 40, 12},
        {IDOK, kind::default_push_button, "OK", 56, 74, 50, 14},
        {clear_id, kind::push_button, "Clear", 108, 74, 50, 14},
        {IDCANCEL, kind::push_button, "Cancel", 160, 74, 50, 14},
    };
    return table;
}

class filter_dialog : public CDialogEx {
public:
    explicit filter_dialog(CWnd* parent = nullptr) : CDialogEx(filter_dialog_id, parent) {}

    CString condition;
    CString label = "Condition on names";
    int recursive = 0;
    int mode = 1;
    int name = 0;
    int count = 0;
    CEdit condition_edit;
    int init_calls = 0;
    bool owner_was_enabled = true;

    BOOL OnInitDialog() override
    {
        ++init_calls;
        auto* modes = static_cast<CComboBox*>(GetDlgItem(mode_id));
        modes->AddString("Files");
        modes->AddString("Folders");
        auto* names = static_cast<CListBox*>(GetDlgItem(names_id));
        names->AddString("alpha");
        names->AddString("beta");
        CDialogEx::OnInitDialog();
        condition_edit.SetWindowText(condition);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* exchange) override
    {
        DDX_Control(exchange, condition_id, condition_edit);
        DDX_Text(exchange, label_id, label);
        DDX_Check(exchange, recursive_id, recursive);
        DDX_CBIndex(exchange, mode_id, mode);
        DDX_LBIndex(exchange, names_id, name);
        DDX_Text(exchange, count_id, count);
    }
    void OnOK() override
    {
        condition_edit.GetWindowText(condition);
        CDialogEx::OnOK();
    }
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
    {
        if (LOWORD(wparam) == clear_id && HIWORD(wparam) == BN_CLICKED) {
            condition_edit.SetWindowText("");
            return TRUE;
        }
        return CDialogEx::OnCommand(wparam, lparam);
    }
};

class dialog_test : public ::testing::Test {
protected:
    void SetUp() override { platform::register_dialog_template(filter_table()); }
    void TearDown() override
    {
        platform::set_modal_dialog_handler(nullptr);
        platform::set_message_box_handler(nullptr);
        platform::forget_dialog_templates();
    }
};

void click(CDialog& dialog, int id)
{
    dialog.GetDlgItem(id)->SendMessage(BM_CLICK);
}

}  // namespace

TEST_F(dialog_test, controls_come_from_the_table_with_texts_classes_and_dialog_unit_rectangles)
{
    filter_dialog dialog;
    ASSERT_TRUE(dialog.Create(filter_dialog_id));
    EXPECT_EQ(dialog.init_calls, 1);
    CString caption;
    dialog.GetWindowText(caption);
    EXPECT_EQ(caption, "Filter");
    EXPECT_EQ(dialog.class_name(), "#32770");

    const CSize units = dialog.base_units();
    ASSERT_GT(units.cx, 0);
    ASSERT_GT(units.cy, 0);
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.Width(), MulDiv(212, units.cx, 4));
    EXPECT_EQ(client.Height(), MulDiv(90, units.cy, 8));

    CWnd* clear = dialog.GetDlgItem(clear_id);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->class_name(), "BUTTON");
    EXPECT_EQ(clear->window_rect_in_parent(),
              CRect(MulDiv(108, units.cx, 4), MulDiv(74, units.cy, 8), MulDiv(158, units.cx, 4), MulDiv(88, units.cy, 8)));
    CString text;
    dialog.GetDlgItemText(IDCANCEL, text);
    EXPECT_EQ(text, "Cancel");
    EXPECT_EQ(dialog.GetDlgItem(IDOK)->GetStyle() & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(dialog.GetDlgItem(condition_id)->GetStyle() & ES_MULTILINE);
    EXPECT_EQ(dialog.GetDlgItem(mode_id)->class_name(), "COMBOBOX");
    EXPECT_EQ(dialog.GetDlgItem(names_id)->class_name(), "LISTBOX");
    // The bound edit took the template control's place: same id, same rectangle.
    EXPECT_EQ(dialog.GetDlgItem(condition_id), &dialog.condition_edit);
    // The template has no WS_VISIBLE: a modeless dialog stays hidden until shown.
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(dialog.GetDlgItem(9999), nullptr);
}

TEST_F(dialog_test, data_exchange_fills_controls_and_reads_them_back)
{
    filter_dialog dialog;
    dialog.recursive = 1;
    dialog.count = 12;
    ASSERT_TRUE(dialog.Create(filter_dialog_id));
    CString shown;
    dialog.GetDlgItemText(label_id, shown);
    EXPECT_EQ(shown, "Condition on names");
    EXPECT_EQ(dialog.IsDlgButtonChecked(recursive_id), 1u);
    EXPECT_EQ(static_cast<CComboBox*>(dialog.GetDlgItem(mode_id))->GetCurSel(), 1);
    dialog.GetDlgItemText(mode_id, shown);
    EXPECT_EQ(shown, "Folders");
    EXPECT_EQ(dialog.GetDlgItemInt(count_id), 12u);

    dialog.CheckDlgButton(recursive_id, BST_UNCHECKED);
    static_cast<CComboBox*>(dialog.GetDlgItem(mode_id))->SetCurSel(0);
    static_cast<CListBox*>(dialog.GetDlgItem(names_id))->SetCurSel(1);
    dialog.SetDlgItemText(count_id, " 40 ");
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.recursive, 0);
    EXPECT_EQ(dialog.mode, 0);
    EXPECT_EQ(dialog.name, 1);
    EXPECT_EQ(dialog.count, 40);
}

TEST_F(dialog_test, text_that_is_no_integer_fails_the_exchange_and_keeps_the_dialog_open)
{
    CString complaint;
    platform::set_message_box_handler([&](const platform::message_box_request& request) {
        complaint = request.text;
        return IDOK;
    });
    filter_dialog dialog;
    bool still_open = false;
    platform::set_modal_dialog_handler([&](CDialog& running) {
        running.SetDlgItemText(count_id, "12abc");
        click(running, IDOK);
        still_open = !running.has_ended();
        running.SetDlgItemText(count_id, "99999999999");
        click(running, IDOK);
        still_open = still_open && !running.has_ended();
        running.SetDlgItemText(count_id, "-7");
        click(running, IDOK);
        return IDCANCEL;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(still_open);
    EXPECT_EQ(complaint, "Please enter an integer.");
    EXPECT_EQ(dialog.count, -7);
}

TEST_F(dialog_test, do_modal_answers_the_id_given_to_end_dialog_and_restores_the_owner)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, "frame", "Main", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600), nullptr, 0));
    filter_dialog dialog(&owner);
    dialog.condition = "size > 10";
    platform::set_modal_dialog_handler([&](CDialog& running) {
        dialog.owner_was_enabled = owner.IsWindowEnabled() != FALSE;
        CString shown;
        running.GetDlgItemText(condition_id, shown);
        EXPECT_EQ(shown, "size > 10");
        click(running, clear_id);
        EXPECT_FALSE(running.has_ended());
        running.GetDlgItem(condition_id)->SetWindowText("name = 'a'");
        click(running, IDOK);
        return IDCANCEL;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.owner_was_enabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dialog.condition, "name = 'a'");
    EXPECT_FALSE(dialog.GetSafeHwnd());

    // Clear then Cancel leaves the caller's condition as it was; the dialog can run again.
    platform::set_modal_dialog_handler([](CDialog& running) {
        click(running, clear_id);
        click(running, IDCANCEL);
        return IDOK;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.condition, "name = 'a'");
    EXPECT_EQ(dialog.init_calls, 2);
}

TEST_F(dialog_test, without_a_handler_a_modal_dialog_is_cancelled_and_unknown_templates_fail)
{
    filter_dialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.init_calls, 1);

    // A dialog whose Cancel ends with a result of its own answers that.
    class merge_like : public CDialog {
    public:
        merge_like() : CDialog(filter_dialog_id) {}
        void OnCancel() override { EndDialog(0); }
    } merge;
    EXPECT_EQ(merge.DoModal(), 0);

    CDialog unknown(4711);
    EXPECT_EQ(unknown.DoModal(), -1);
    CDialog modeless;
    EXPECT_FALSE(modeless.Create(4711));
}

TEST_F(dialog_test, a_modeless_dialog_hides_when_ended_or_closed)
{
    dialog_template visible = filter_table();
    visible.id = 146;
    visible.style |= WS_VISIBLE;
    platform::register_dialog_template(visible);
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(146));
    EXPECT_TRUE(dialog.IsWindowVisible());
    dialog.SendMessage(WM_CLOSE);
    EXPECT_TRUE(dialog.GetSafeHwnd());
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_TRUE(dialog.has_ended());
    EXPECT_EQ(dialog.end_result(), IDCANCEL);
    dialog.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dialog.IsWindowVisible());
}

TEST(dialog_controls, check_boxes_and_radio_groups_follow_clicks_and_tell_the_parent)
{
    class recording_parent : public CWnd {
    public:
        std::vector<std::pair<int, int>> commands;
        BOOL OnCommand(WPARAM wparam, LPARAM) override
        {
            commands.emplace_back(LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        }
    } parent;
    ASSERT_TRUE(parent.CreateEx(0, "frame", "", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CButton check, first, second, third, plain;
    check.Create("Remember my choice", WS_CHILD | BS_AUTOCHECKBOX, CRect(0, 0, 100, 20), &parent, 1131);
    first.Create("A", WS_CHILD | WS_GROUP | BS_AUTORADIOBUTTON, CRect(0, 20, 100, 40), &parent, 1);
    second.Create("B", WS_CHILD | BS_AUTORADIOBUTTON, CRect(0, 40, 100, 60), &parent, 2);
    third.Create("C", WS_CHILD | WS_GROUP | BS_AUTORADIOBUTTON, CRect(0, 60, 100, 80), &parent, 3);
    plain.Create("Manual", WS_CHILD | BS_CHECKBOX, CRect(0, 80, 100, 100), &parent, 4);

    check.user_clicked();
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    check.SendMessage(BM_CLICK);
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    third.SetCheck(BST_CHECKED);
    first.user_clicked();
    second.user_clicked();
    EXPECT_EQ(first.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(second.GetCheck(), BST_CHECKED);
    EXPECT_EQ(third.GetCheck(), BST_CHECKED) << "another group keeps its choice";
    plain.user_clicked();
    EXPECT_EQ(plain.GetCheck(), BST_UNCHECKED) << "a manual check box leaves the state to its owner";
    plain.SetCheck(BST_INDETERMINATE);
    EXPECT_EQ(plain.GetCheck(), BST_CHECKED) << "two-state boxes have no third state";
    ASSERT_EQ(parent.commands.size(), 5u);
    EXPECT_EQ(parent.commands[0], std::make_pair(1131, static_cast<int>(BN_CLICKED)));
    check.EnableWindow(FALSE);
    check.user_clicked();
    EXPECT_EQ(parent.commands.size(), 5u);
}

TEST(dialog_controls, drop_lists_keep_their_choice_through_inserts_and_deletes)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "frame", "", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CComboBox formats;
    ASSERT_TRUE(formats.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &parent, 7));
    for (const char* name : {"CSV", "XML", "DB", "EXCEL"})
        formats.AddString(name);
    EXPECT_EQ(formats.GetCurSel(), CB_ERR);
    EXPECT_EQ(formats.SelectString(-1, "db"), 2);
    formats.InsertString(0, "TXT");
    EXPECT_EQ(formats.GetCurSel(), 3);
    CString text;
    formats.GetWindowText(text);
    EXPECT_EQ(text, "DB");
    formats.DeleteString(3);
    EXPECT_EQ(formats.GetCurSel(), CB_ERR);
    formats.GetWindowText(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(formats.FindStringExact(-1, "excel"), 3);
    EXPECT_EQ(formats.FindStringExact(-1, "EXC"), CB_ERR);
    EXPECT_EQ(formats.SetCurSel(9), CB_ERR);
    EXPECT_EQ(formats.DeleteString(9), CB_ERR);
    formats.GetLBText(9, text);
    EXPECT_EQ(text, "");
}

TEST(dialog_controls, progress_bar_keeps_its_position_within_the_range)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "frame", "", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CProgressCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD, CRect(0, 0, 100, 10), &parent, 1076));
    bar.SendMessage(PBM_SETRANGE32, 0, 0x7fffffff);
    EXPECT_EQ(bar.SetPos(1000), 0);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 1000);
    bar.SetRange32(0, 500);
    EXPECT_EQ(bar.GetPos(), 500);
    bar.SetPos(-3);
    EXPECT_EQ(bar.GetPos(), 0);
}

TEST(dialog_controls, status_bar_lies_along_the_bottom_with_its_panes_and_indicators)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "frame", "", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&parent, 0x50008200, AFX_IDW_STATUS_BAR));
    EXPECT_EQ(bar.GetDlgCtrlID(), 0xE801);
    EXPECT_EQ(bar.window_rect_in_parent(), CRect(0, 300 - CStatusBar::bar_height(), 400, 300));
    platform::reset_key_table();
    platform::set_key_down(VK_NUMLOCK, true);
    platform::set_key_down(VK_NUMLOCK, false);
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    ASSERT_TRUE(bar.SetIndicators(indicators, 4));
    EXPECT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.GetPaneText(1), "");
    EXPECT_EQ(bar.GetPaneText(2), "NUM");
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_SCRL), 3);
    EXPECT_TRUE(bar.SetPaneText(0, "3 rows"));
    EXPECT_EQ(bar.GetPaneText(0), "3 rows");
    EXPECT_FALSE(bar.SetPaneText(4, "beyond"));
    platform::reset_key_table();

    CStatusBar orphan;
    EXPECT_FALSE(orphan.Create(nullptr));
    EXPECT_FALSE(orphan.SetIndicators(indicators, 4));
}
