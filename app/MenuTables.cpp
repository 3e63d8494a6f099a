#include "app/MenuTables.h"

#include "app/resource_ids.h"

namespace {

menu_table_item command(UINT id, const char* text)
{
    menu_table_item item;
    item.id = id;
    item.text = text;
    return item;
}

// A command whose check mark the window sets.
menu_table_item check_item(UINT id, const char* text, bool checked)
{
    menu_table_item item = command(id, text);
    item.checkable = true;
    if (checked)
        item.flags |= MF_CHECKED;
    return item;
}

menu_table_item separator()
{
    menu_table_item item;
    item.flags = MF_SEPARATOR;
    return item;
}

menu_table_item popup(const char* text, std::vector<menu_table_item> items)
{
    menu_table_item item;
    item.text = text;
    item.flags = MF_POPUP;
    item.items = std::move(items);
    return item;
}

}  // namespace

menu_template main_menu_template()
{
    menu_template table;
    table.id = IDR_MAIN_MENU;
    table.items = {
        popup("&File", {command(ID_EXPORT, "&Export..."), command(ID_DUMP, "&Dump..."), command(ID_LOAD, "&Load..."),
                        separator(), command(ID_SAVE_LOG, "&Save log..."),
                        command(ID_COPY_LOG, "&Copy log to clipboard"), separator(), command(ID_FILE_EXIT, "E&xit")}),
        popup("&Merge", {command(ID_MERGE_RIGHT, "&Right -->"), command(ID_MERGE_LEFT, "<-- &Left"),
                         command(ID_MERGE_BOTH, "&Both <-->"), separator(),
                         command(ID_MERGE_AUTOMATIC, "&Automatic")}),
        popup("&Clipboard",
              {command(ID_CLIPBOARD_ADD_MAIN, "Add &main"), command(ID_CLIPBOARD_ADD_BACKUP, "Add &backup"),
               command(ID_CLIPBOARD_ADD_ALL_MAIN, "Add all m&ain"),
               command(ID_CLIPBOARD_ADD_ALL_BACKUP, "Add all b&ackup"), command(ID_CLIPBOARD_ADD_ALL, "Add a&ll"),
               separator(), command(ID_CLIPBOARD_DELETE_ALL, "&Delete all"),
               command(ID_CLIPBOARD_COPY_TO, "&Copy to..."), separator(), command(ID_CLIPBOARD_SHOW, "&Show")}),
        popup("&Tools", {command(ID_SHOW_STATISTICS, "Show &statistics"), command(ID_QUERY, "&Query")}),
        popup("&Settings", {command(ID_TOOL_OPTIONS, "&Tool options"), check_item(ID_MOCK_COPY, "&Mock copy", false)}),
        popup("&Help", {command(ID_HELP_ABOUT, "&About Tarvoline...")}),
    };
    return table;
}

menu_template context_menu_template()
{
    menu_template table;
    table.id = IDR_CONTEXT_MENU;
    table.items = {
        popup("Grid",
              {popup("Filter", {check_item(ID_FILTER_DIFFERENT_TIME, "Different time", true),
                                check_item(ID_FILTER_DIFFERENT_SIZE, "Different size", true),
                                check_item(ID_FILTER_MISSING_MAIN, "Missing main", true),
                                check_item(ID_FILTER_MISSING_BACKUP, "Missing backup", true), separator(),
                                check_item(ID_CUSTOM_FILTER, "Custom filter", false)}),
               command(ID_SHOW_DIFFERENCES, "Show differences"), command(ID_CLEAR, "Clear"), separator(),
               popup("File", {command(ID_OPEN_FILE, "Open"), command(ID_OPEN_WITH_FILE, "Open with"),
                              command(ID_GO_TO_FILE, "Go to"), command(ID_DELETE_FILE, "Delete")}),
               popup("Backup", {command(ID_OPEN_BACKUP, "Open"), command(ID_OPEN_WITH_BACKUP, "Open with"),
                                command(ID_GO_TO_BACKUP, "Go to"), command(ID_DELETE_BACKUP, "Delete")}),
               command(ID_COMPARE, "Compare"), separator(),
               popup("Clipboard", {command(ID_CLIPBOARD_ADD_MAIN, "Add main"),
                                   command(ID_CLIPBOARD_ADD_BACKUP, "Add backup"),
                                   command(ID_CLIPBOARD_ADD_ALL_MAIN, "Add all main"),
                                   command(ID_CLIPBOARD_ADD_ALL_BACKUP, "Add all backup"),
                                   command(ID_CLIPBOARD_ADD_ALL, "Add all")}),
               command(ID_QUERY, "Query")}),
    };
    return table;
}

void register_main_window_menus()
{
    if (!platform::find_menu_template(IDR_MAIN_MENU))
        platform::register_menu_template(main_menu_template());
    if (!platform::find_menu_template(IDR_CONTEXT_MENU))
        platform::register_menu_template(context_menu_template());
}

std::vector<UINT> commands_of(const CMenu& menu)
{
    std::vector<UINT> ids;
    for (const menu_item& item : menu.items()) {
        if (item.popup != nullptr) {
            const std::vector<UINT> nested = commands_of(*item.popup);
            ids.insert(ids.end(), nested.begin(), nested.end());
        } else if (!item.separator) {
            ids.push_back(item.id);
        }
    }
    return ids;
}
