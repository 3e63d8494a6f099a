#pragma once
// A data grid attached to a dialog's place-holder, showing a table of differences with the main
// window's seven columns, and a real settings file in a temporary folder.

#include "app/DataGridCtrl.h"
#include "app/GridAppearance.h"

#include "core/config/settings.h"
#include "core/data/data_table.h"
#include "grid/UGGridInfo.h"
#include "platform/base/window.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct fired_event {
    std::uint64_t row = 0;
    std::uint64_t column = 0;
    int event = 0;
    long x = 0;
    long y = 0;
    std::string text;
};

inline void name_result_columns(data::data_table& table)
{
    const char* const keys[] = { "file_id", "file_name", "file_fullpath", "file_size", "file_time", "backup_id",
                                 "backup_name", "backup_fullpath", "backup_size", "backup_time", "diff" };
    const char* const headings[] = { "File ID", "File Name", "File Path", "File Size", "File Time", "Backup ID",
                                     "Backup Name", "Backup Path", "Backup Size", "Backup Time", "Difference" };
    for (std::size_t index = 0; index < 11; ++index)
        table.set_column(index + 1, keys[index], headings[index]);
}

// id, name, path, size, time, backup id, backup name, backup path, backup size, backup time, kind
inline void add_difference(data::data_table& table, const std::string& id, const std::string& name,
                           const std::string& size, const std::string& backup_size, const std::string& kind,
                           const std::string& time = "1700000000", const std::string& backup_time = "1600000000")
{
    table.add_row_values({ id, name, "/main/docs", size, time, id, name, "/backup/docs", backup_size, backup_time, kind });
}

class data_grid_test : public ::testing::Test {
protected:
    void load_settings(const std::string& body)
    {
        const std::string content = "<?xml version=\"1.0\"?>\n<Tarvoline><Appearance><Grid>" + body +
                                    "</Grid></Appearance></Tarvoline>\n";
        ASSERT_TRUE(store.load(folder.write("settings.xml", content).string())) << store.last_error();
    }
    void attach(int width = 700, int height = 300)
    {
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(30, 30, width + 60, height + 60),
                                    nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 10 + width, 10 + height),
                                       &dialog, UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
        grid.m_GI->m_vScrollWidth = 16;
        grid.m_GI->m_hScrollHeight = 16;
    }
    // As the main window starts: columns, attach, bind, colours and hints.
    void show(int width = 700, int height = 300)
    {
        name_result_columns(table);
        ASSERT_TRUE(appearance.DefineColumns(table));
        attach(width, height);
        grid.BindTable(&table);
        appearance.ApplyColours();
        grid.SetCellBackColorAt(-1, -1, grid.GetCaptionColor());
        appearance.ApplyHints();
        grid.SetGridEventCallback([this](const std::uint64_t& row, const std::uint64_t& column,
                                         const CDataGridCtrl::grid_event& event, long x, long y, bool& flag,
                                         const std::string& text) {
            events.push_back({ row, column, static_cast<int>(event), x, y, text });
            if (event == CDataGridCtrl::delete_asked)
                flag = allow_delete;
        });
    }
    std::string text_at(int col, int row) { return grid.GetCellText(col, row) ? grid.GetCellText(col, row) : ""; }

    test_support::temp_folder folder;
    config::xml_parameters store;
    // Held by pointer so that a test may lend it to a catalogue as its result table.
    std::unique_ptr<data::data_table> owned_table = std::make_unique<data::data_table>();
    data::data_table& table = *owned_table;
    CWnd dialog;
    CWnd placeholder;
    CDataGridCtrl grid;
    GridAppearance appearance { grid, store };
    std::vector<fired_event> events;
    bool allow_delete = true;
};
