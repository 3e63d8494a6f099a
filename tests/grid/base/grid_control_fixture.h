#pragma once
// A grid control attached to the place-holder control of a dialog window, with no display: the
// windows keep their own state, so layout, moves and cells run as in the program.

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

#include "platform/base/system_services.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A control that writes down the notifications it receives and refuses what it is told to.
class recording_grid : public CUGCtrl {
public:
    std::vector<std::string> log;
    bool refuse_cell_move = false;
    bool refuse_view_move = false;
    bool refuse_popup = false;
    int fetched_back_colour = -1;

    void OnGridCreated() override { log.push_back("created"); }
    void OnSheetSetup(int sheet) override { log.push_back("sheet " + std::to_string(sheet)); }
    int AllowCurrentCellMove(int oldCol, int oldRow, int newCol, int newRow) override
    {
        log.push_back("allow move " + std::to_string(oldCol) + "," + std::to_string(oldRow) + " to " +
                      std::to_string(newCol) + "," + std::to_string(newRow));
        return refuse_cell_move ? 0 : 1;
    }
    int AllowViewMove(int, int, int, int) override
    {
        log.push_back("allow view");
        return refuse_view_move ? 0 : 1;
    }
    void OnCellChange(int oldCol, int newCol, int oldRow, int newRow) override
    {
        log.push_back("cell change " + std::to_string(oldCol) + "," + std::to_string(oldRow) + " to " +
                      std::to_string(newCol) + "," + std::to_string(newRow));
    }
    void OnTopRowChange(int oldRow, int newRow) override
    {
        log.push_back("top row " + std::to_string(oldRow) + " to " + std::to_string(newRow));
    }
    int AllowPopupMenu(int, int, int) override { return refuse_popup ? 0 : 1; }
    void OnMenuCommand(int col, int row, int section, int command) override
    {
        log.push_back("menu " + std::to_string(command) + " at " + std::to_string(col) + "," + std::to_string(row) +
                      " in " + std::to_string(section));
    }
    void OnFetchCell(int col, int row, CUGCell* cell) override
    {
        if (fetched_back_colour >= 0 && col == 0 && row == 0)
            cell->SetBackColor(static_cast<COLORREF>(fetched_back_colour));
    }
    void OnLayoutComputed(RECT* grid, RECT*, RECT*, RECT*, RECT*, RECT*, RECT*) override
    {
        if (shrink_cells_by > 0)
            grid->right -= shrink_cells_by;
    }
    int shrink_cells_by = 0;

    bool logged(const std::string& entry) const
    {
        for (const std::string& line : log)
            if (line == entry)
                return true;
        return false;
    }
};

class grid_control : public ::testing::Test {
protected:
    // The dialog is as large as the place-holder needs; the place-holder is width x height.
    void attach(int width, int height)
    {
        ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, width + 100, height + 100),
                                    nullptr, 0));
        ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 10 + width, 10 + height),
                                       &dialog, UG_PLACEHOLDER_ID));
        ASSERT_EQ(grid.AttachToDialogControl(&dialog), 1);
    }
    void resize(int width, int height) { grid.MoveWindow(10, 10, width, height, TRUE); }
    CUGGridInfo& sheet() { return *grid.m_GI; }
    // Shape with scroll bar sizes fixed so the rectangles are known.
    void shape(int cols, int rows)
    {
        sheet().m_vScrollWidth = 16;
        sheet().m_hScrollHeight = 16;
        grid.SetColumnCount(cols);
        grid.SetRowCount(rows);
        grid.RecalcPartLayout();
    }

    CWnd dialog;
    CWnd placeholder;
    recording_grid grid;
};
