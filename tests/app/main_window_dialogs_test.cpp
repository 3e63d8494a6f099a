// The small dialogs of the main window without a display: the filter dialog, the folder picker
// and the About box.

#include "app/AboutDlg.h"
#include "app/FilterDialog.h"
#include "app/FolderDialog.h"
#include "app/resource_ids.h"

#include "platform/base/dialog_controls.h"
#include "platform/base/modal.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Runs the dialog with the presses given, in order.
class presses {
public:
    explicit presses(std::function<void(CDialog&)> script)
        : previous_(platform::set_modal_dialog_handler([script](CDialog& dialog) -> INT_PTR {
            script(dialog);
            return dialog.end_result();
        }))
    {
    }
    ~presses() { platform::set_modal_dialog_handler(previous_); }

private:
    platform::modal_dialog_handler previous_;
};

void press(CDialog& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::string text_of(CDialog& dialog, int id)
{
    CString text;
    dialog.GetDlgItem(id)->GetWindowText(text);
    return text.GetString();
}

}  // namespace

TEST(filter_dialog, clear_then_cancel_keeps_the_condition_and_clear_then_ok_empties_it)
{
    std::string shown_condition;
    std::string shown_label;
    {
        presses script([&](CDialog& dialog) {
            shown_condition = text_of(dialog, IDC_FILTER_CONDITION);
            shown_label = text_of(dialog, IDC_FILTER_LABEL);
            press(dialog, IDC_FILTER_CLEAR);
            EXPECT_EQ(text_of(dialog, IDC_FILTER_CONDITION), "");
            EXPECT_FALSE(dialog.has_ended()) << "Clear keeps the dialog open";
            press(dialog, IDCANCEL);
        });
        CFilterDialog dialog(nullptr);
        dialog.set_condition("file_size > 10");
        dialog.set_label("Fields: FILE|BACKUP");
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.condition(), "file_size > 10");
    }
    EXPECT_EQ(shown_condition, "file_size > 10");
    EXPECT_EQ(shown_label, "Fields: FILE|BACKUP");

    presses script([](CDialog& dialog) {
        press(dialog, IDC_FILTER_CLEAR);
        press(dialog, IDOK);
    });
    CFilterDialog dialog(nullptr);
    dialog.set_condition("file_size > 10");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.condition(), "");
}

TEST(folder_dialog, answers_the_chosen_folder_an_item_without_a_path_or_cancel)
{
    std::string initial;
    std::string answer = "/data/photos";
    bool chosen = true;
    const auto previous = platform::set_folder_dialog_handler(
        [&](const platform::folder_dialog_request& request, CString& path) {
            initial = request.initial_folder.GetString();
            path = answer.c_str();
            return chosen;
        });
    CFolderDialog picker("Main path", "/data", nullptr);
    EXPECT_EQ(picker.DoModal(), IDOK);
    EXPECT_EQ(picker.GetFolderPath(), "/data/photos");
    EXPECT_EQ(initial, "/data") << "the browser opens at the initial folder";

    answer = "";
    EXPECT_EQ(picker.DoModal(), -1) << "an item without a file-system path";
    EXPECT_EQ(picker.GetFolderPath(), "");

    chosen = false;
    EXPECT_EQ(picker.DoModal(), IDCANCEL);
    platform::set_folder_dialog_handler(previous);
}

TEST(about_box, names_the_program_with_its_running_version)
{
    std::string shown;
    presses script([&](CDialog& dialog) {
        shown = text_of(dialog, IDC_ABOUT_VERSION);
        press(dialog, IDOK);
    });
    CAboutDlg about;
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(shown, "Tarvoline, Version 1.0.0.0");
}
