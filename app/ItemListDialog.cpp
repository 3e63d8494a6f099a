#include "app/ItemListDialog.h"

dialog_template item_list_dialog_template()
{
    dialog_template table;
    table.id = IDD_ITEM_LIST;
    table.caption = "Dialog";
    table.width = 327;
    table.height = 183;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT;
    table.controls = {
        {IDC_ITEM_LIST, dialog_control_kind::editable_list_box, "", 2, 2, 323, 179},
    };
    return table;
}
