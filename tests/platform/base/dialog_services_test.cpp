#include "platform/base/clipboard.h"
#include "platform/base/dialog.h"
#include "platform/base/editable_list_box.h"
#include "platform/base/property_grid.h"
#include "platform/base/shell_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

struct browse_state {
    CString initial;
    std::vector<UINT> messages;
};

int remember_and_select(HWND window, UINT message, LPARAM, LPARAM data)
{
    auto* state = reinterpret_cast<browse_state*>(data);
    state->messages.push_back(message);
    if (message == BFFM_INITIALIZED && !state->initial.IsEmpty())
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state->initial.GetString()));
    return 0;
}

// Runs the browser as the folder dialog does: 1 chosen, -1 no path, 2 cancelled.
int browse(const char* title, browse_state& state, CString& chosen)
{
    char display[MAX_PATH] = {};
    BROWSEINFOA info;
    info.pszDisplayName = display;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = remember_and_select;
    info.lParam = reinterpret_cast<LPARAM>(&state);
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item)
        return 2;
    char path[MAX_PATH] = {};
    const int result = SHGetPathFromIDListA(item, path) ? 1 : -1;
    CoTaskMemFree(item);
    chosen = path;
    return result;
}

}  // namespace

TEST(pickers, folder_browser_opens_at_the_callers_folder_and_answers_through_the_handler)
{
    browse_state state;
    CString chosen;
    EXPECT_EQ(browse("Main path", state, chosen), 2) << "no handler: closed without a choice";

    platform::folder_dialog_request seen;
    platform::set_folder_dialog_handler([&](const platform::folder_dialog_request& request, CString& path) {
        seen = request;
        path = "/srv/backup";
        return true;
    });
    state.initial = "/home/user/main";
    EXPECT_EQ(browse("Backup path", state, chosen), 1);
    EXPECT_EQ(seen.title, "Backup path");
    EXPECT_EQ(seen.initial_folder, "/home/user/main");
    EXPECT_EQ(seen.flags, BIF_RETURNONLYFSDIRS);
    EXPECT_EQ(chosen, "/srv/backup");
    EXPECT_EQ(state.messages.front(), BFFM_INITIALIZED);

    // An item without a file-system path, or one too long for the caller's buffer, gives no path.
    platform::set_folder_dialog_handler([](const platform::folder_dialog_request&, CString& path) {
        path = "";
        return true;
    });
    EXPECT_EQ(browse("Copy to...", state, chosen), -1);
    EXPECT_EQ(chosen, "");
    platform::set_folder_dialog_handler([](const platform::folder_dialog_request&, CString& path) {
        path = CString("/") + CString(std::string(300, 'x').c_str());
        return true;
    });
    EXPECT_EQ(browse("Copy to...", state, chosen), -1);
    platform::set_folder_dialog_handler(nullptr);
}

TEST(pickers, file_dialog_adds_the_default_extension_and_splits_the_chosen_path)
{
    CFileDialog dump(FALSE, ".db", "catalogue", 0, "Sqlite Files (*.db)|*.db|");
    EXPECT_EQ(dump.DoModal(), IDCANCEL) << "no handler: cancelled";

    platform::file_dialog_request seen;
    platform::set_file_dialog_handler([&](const platform::file_dialog_request& request, CString& path) {
        seen = request;
        path = "/tmp/exports/catalogue";
        return true;
    });
    ASSERT_EQ(dump.DoModal(), IDOK);
    EXPECT_FALSE(seen.open);
    EXPECT_EQ(seen.default_extension, "db");
    EXPECT_EQ(seen.file_name, "catalogue");
    ASSERT_EQ(seen.filters.size(), 1u);
    EXPECT_EQ(seen.filters[0].first, "Sqlite Files (*.db)");
    EXPECT_EQ(seen.filters[0].second, "*.db");
    EXPECT_EQ(dump.GetPathName(), "/tmp/exports/catalogue.db");
    EXPECT_EQ(dump.GetFolderPath(), "/tmp/exports");
    EXPECT_EQ(dump.GetFileName(), "catalogue.db");
    EXPECT_EQ(dump.GetFileExt(), "db");
    EXPECT_EQ(dump.GetFileTitle(), "catalogue");

    platform::set_file_dialog_handler([](const platform::file_dialog_request&, CString& path) {
        path = "/data.csv";
        return true;
    });
    CFileDialog open(TRUE, "db");
    ASSERT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), "/data.csv") << "a name with an extension keeps it";
    EXPECT_EQ(open.GetFolderPath(), "/");
    platform::set_file_dialog_handler(nullptr);
}

TEST(clipboard, text_put_through_a_memory_block_can_be_read_back)
{
    const char text[] = "/main/a.txt\n/main/b.txt";
    EXPECT_EQ(SetClipboardData(1, GlobalAlloc(GMEM_MOVEABLE, 4)), nullptr) << "closed clipboard refuses";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "one holder at a time";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, sizeof text);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), text, sizeof text);
    GlobalUnlock(memory);
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_NE(SetClipboardData(1, memory), nullptr);
    EXPECT_TRUE(CloseClipboard());

    EXPECT_TRUE(IsClipboardFormatAvailable(1));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE read = GetClipboardData(1);
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(read))), text);
    GlobalUnlock(static_cast<HGLOBAL>(read));
    EXPECT_EQ(GetClipboardData(2), nullptr);
    CloseClipboard();

    CString written;
    auto previous = platform::set_clipboard_service({[&](const CString& value) { written = value; },
                                                     [&](CString& value) { value = written; return true; }});
    OpenClipboard(nullptr);
    HGLOBAL unterminated = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(unterminated), "abc", 3);
    GlobalUnlock(unterminated);
    SetClipboardData(1, unterminated);
    CloseClipboard();
    EXPECT_EQ(written, "abc") << "a block without a zero ends at its size";
    platform::set_clipboard_service(previous);
}

TEST(property_grid, edits_mark_properties_modified_and_colours_read_as_components)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "frame", "", WS_POPUP, CRect(0, 0, 600, 400), nullptr, 0));
    CMFCPropertyGridCtrl grid;
    ASSERT_TRUE(grid.Create(WS_CHILD | WS_VISIBLE, CRect(2, 2, 500, 300), &parent, 1020));
    auto* configuration = new CMFCPropertyGridProperty(CString("Configuration"));
    auto* log_enabled = new CMFCPropertyGridProperty("Log Enabled", "Yes", "Enables file logging");
    log_enabled->AddOption("Yes");
    log_enabled->AddOption("No");
    log_enabled->AllowEdit(FALSE);
    auto* log_path = new CMFCPropertyGridProperty("Log Path", "/var/log", "Sets the default log file path");
    auto* selected = new CMFCPropertyGridColorProperty("Selected BG", RGB(10, 20, 30), nullptr, "Backgroud colour of selected cells");
    configuration->AddSubItem(log_enabled);
    configuration->AddSubItem(log_path);
    configuration->AddSubItem(selected);
    EXPECT_EQ(grid.AddProperty(configuration), 0);
    grid.EnableHeaderCtrl(TRUE, "Property", "Value");
    EXPECT_EQ(grid.header_right(), "Value");

    EXPECT_TRUE(grid.GetProperty(0)->IsGroup());
    EXPECT_EQ(grid.GetProperty(0)->GetSubItemsCount(), 3);
    EXPECT_EQ(selected->GetValue(), "10,20,30");
    EXPECT_FALSE(log_enabled->IsModified());

    log_enabled->user_changed("Maybe");
    EXPECT_EQ(log_enabled->GetValue(), "Yes") << "a fixed choice keeps to its options";
    log_enabled->user_changed("No");
    EXPECT_TRUE(log_enabled->IsModified());
    log_enabled->user_changed("Yes");
    EXPECT_FALSE(log_enabled->IsModified()) << "back at the original value";
    log_path->user_changed("/tmp/logs");
    EXPECT_EQ(log_path->GetValue(), "/tmp/logs");
    selected->user_changed("255,0,128");
    EXPECT_EQ(selected->GetColor(), RGB(255, 0, 128));
    EXPECT_TRUE(selected->IsModified());
    selected->user_changed("300,0,0");
    EXPECT_EQ(selected->GetColor(), RGB(255, 0, 128)) << "components beyond 255 are refused";
    log_path->Enable(FALSE);
    log_path->user_changed("/elsewhere");
    EXPECT_EQ(log_path->GetValue(), "/tmp/logs");
    EXPECT_EQ(grid.GetProperty(1), nullptr);
}

TEST(editable_list_box, removal_asks_the_list_first_and_captions_follow)
{
    class file_list : public CVSListBox {
    public:
        std::map<std::string, int> items;
        bool refuse = false;
        std::vector<CString> removed;
        void CreateNewList() override { SetWindowText("File list (0 items)"); }
        BOOL OnBeforeRemoveItem(int index) override
        {
            if (refuse)
                return FALSE;
            removed.push_back(GetItemText(index));
            items.erase(GetItemText(index).GetString());
            CString caption;
            caption.Format("File list (%d items)", static_cast<int>(items.size()));
            SetWindowText(caption);
            return TRUE;
        }
    };
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "frame", "", WS_POPUP, CRect(0, 0, 600, 400), nullptr, 0));
    file_list list;
    ASSERT_TRUE(list.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 1125));
    CString caption;
    list.GetWindowText(caption);
    EXPECT_EQ(caption, "File list (0 items)");
    list.items = {{"/a", 1}, {"/b", 2}};
    list.AddItem("/a", 11);
    list.AddItem("/b", 22);
    EXPECT_EQ(list.GetItemData(1), 22u);

    list.user_removes_selected();
    EXPECT_EQ(list.GetCount(), 2) << "nothing selected, nothing removed";
    list.SelectItem(0);
    list.refuse = true;
    list.user_removes_selected();
    EXPECT_EQ(list.GetCount(), 2);
    list.refuse = false;
    list.user_removes_selected();
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetItemText(0), "/b");
    EXPECT_EQ(list.GetSelItem(), 0);
    list.user_removes_selected();
    list.GetWindowText(caption);
    EXPECT_EQ(caption, "File list (0 items)");
    EXPECT_EQ(list.GetSelItem(), -1);
}

TEST(editable_list_box, a_list_taking_over_a_dialog_control_makes_its_list)
{
    dialog_template table;
    table.id = 146;
    table.width = 327;
    table.height = 183;
    table.style |= WS_THICKFRAME;
    table.controls = {{1125, dialog_control_kind::editable_list_box, "", 2, 2, 323, 179}};
    platform::register_dialog_template(table);
    class item_box : public CVSListBox {
    public:
        void CreateNewList() override { SetWindowText("File list (0 items)"); }
    };
    class list_dialog : public CDialog {
    public:
        item_box box;
        void DoDataExchange(CDataExchange* exchange) override { DDX_Control(exchange, 1125, box); }
    } dialog;
    ASSERT_TRUE(dialog.Create(146));
    CString caption;
    dialog.GetDlgItemText(1125, caption);
    EXPECT_EQ(caption, "File list (0 items)");
    EXPECT_EQ(dialog.GetDlgItem(1125), &dialog.box);
    platform::forget_dialog_templates();
}
