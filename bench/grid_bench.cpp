// Fills a table of differences, binds it to the main window's data grid in a real window and
// prints what the grid adds in memory, how soon it is ready to paint, and what it costs to paint
// after the two far jumps a user makes: Ctrl+End and the scroll thumb dragged to the middle.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" grid_bench [rows] [--png file]
//     rows        number of difference rows (default 1000000)
//     --png file  save the window as it shows after the last jump

#include "app/DataGridCtrl.h"
#include "app/GridAppearance.h"

#include "core/config/settings.h"
#include "core/data/data_table.h"
#include "grid/UGCnrBtn.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGSideHdg.h"
#include "grid/UGTopHdg.h"
#include "grid/UGVScroll.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_backend.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include <malloc.h>
#include <unistd.h>

namespace {

using clock_type = std::chrono::steady_clock;

constexpr double memory_goal_mb = 50.0;
constexpr double ready_goal_ms = 300.0;
constexpr double jump_goal_ms = 16.0;

double milliseconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// Memory handed back by the allocator would otherwise hide in the figure of the step after.
double resident_megabytes()
{
    ::malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void fill(data::data_table& table, std::size_t rows)
{
    const char* const keys[] = { "file_id", "file_name", "file_fullpath", "file_size", "file_time", "backup_id",
                                 "backup_name", "backup_fullpath", "backup_size", "backup_time", "diff" };
    const char* const headings[] = { "File ID", "File Name", "File Path", "File Size", "File Time", "Backup ID",
                                     "Backup Name", "Backup Path", "Backup Size", "Backup Time", "Difference" };
    for (std::size_t index = 0; index < data::data_table::column_count; ++index)
        table.set_column(index + 1, keys[index], headings[index]);
    table.notify = false;
    table.rows.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::string id = std::to_string(row + 1);
        const std::string name = "f" + id + ".dat";
        const std::string folder = "/t" + std::to_string(row % 200);
        const std::string size = std::to_string(64 + (row * 37) % 2048);
        const std::string time = std::to_string(1600000000 + row);
        switch (row % 4) {
        case 0:
            table.add_row_values({ id, name, folder, size, time, "", "", "", "", "", "BACKUP" });
            break;
        case 1:
            table.add_row_values({ "", "", "", "", "", id, name, folder, size, time, "FILE" });
            break;
        case 2:
            table.add_row_values({ id, name, folder, size, time, id, name, folder, size + "1", time, "SIZE" });
            break;
        default:
            table.add_row_values({ id, name, folder, size, time, id, name, folder, size, "1500000000", "TIME" });
            break;
        }
    }
}

// Paints every part that is waiting for it, as the event loop would, then lets the toolkit show it.
void paint_now(CDataGridCtrl& grid)
{
    CWnd* const parts[] = { grid.m_CUGGrid, grid.m_CUGSideHdg, grid.m_CUGTopHdg, grid.m_CUGCnrBtn };
    for (CWnd* part : parts)
        part->UpdateWindow();
    platform::process_toolkit_events();
}

void report(const char* what, double figure, const char* unit, double goal)
{
    std::printf("%-34s %9.1f %-3s goal < %5.0f %-3s %s\n", what, figure, unit, goal, unit,
                figure < goal ? "meets it" : "MISSES it");
}

int run(int argc, char** argv)
{
    std::size_t rows = 1000000;
    std::string picture;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--png" && index + 1 < argc)
            picture = argv[++index];
        else
            rows = std::strtoull(argument.c_str(), nullptr, 10);
    }
    if (rows < 100)
        throw std::runtime_error("at least 100 rows");
    if (!platform::start_wx_toolkit())
        throw std::runtime_error("the toolkit needs a display (run under xvfb-run)");

    data::data_table table;
    config::xml_parameters store;
    CWnd dialog;
    CWnd placeholder;
    CDataGridCtrl grid;
    GridAppearance appearance { grid, store };

    const auto filling = clock_type::now();
    fill(table, rows);
    const double fill_ms = milliseconds_since(filling);

    // As the main window starts: columns, attach, then the bind below, colours and hints.
    if (!appearance.DefineColumns(table))
        throw std::runtime_error("the columns could not be defined");
    if (!dialog.CreateEx(0, nullptr, "grid_bench", WS_POPUP | WS_VISIBLE, CRect(20, 20, 1020, 720), nullptr, 0) ||
        !placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 990, 690), &dialog, UG_PLACEHOLDER_ID) ||
        grid.AttachToDialogControl(&dialog) != 1)
        throw std::runtime_error("the grid window could not be made");
    paint_now(grid);
    const double before_mb = resident_megabytes();

    const auto binding = clock_type::now();
    grid.BindTable(&table);
    appearance.ApplyColours();
    appearance.ApplyHints();
    const double ready_ms = milliseconds_since(binding);
    const auto painting = clock_type::now();
    paint_now(grid);
    const double first_paint_ms = milliseconds_since(painting);

    const auto ending = clock_type::now();
    platform::set_key_down(VK_CONTROL, true);
    grid.m_CUGGrid->SendMessage(WM_KEYDOWN, VK_END, 0);
    platform::set_key_down(VK_CONTROL, false);
    paint_now(grid);
    const double end_ms = milliseconds_since(ending);
    const int end_top = grid.m_GI->m_topRow;

    const auto dragging = clock_type::now();
    const UINT middle = CUGVScroll::ScaledRange / 2;
    grid.OnVScroll(SB_THUMBTRACK, middle, nullptr);
    grid.OnVScroll(SB_THUMBPOSITION, middle, nullptr);
    paint_now(grid);
    const double thumb_ms = milliseconds_since(dragging);
    const int thumb_top = grid.m_GI->m_topRow;

    const double after_mb = resident_megabytes();

    std::printf("data grid over %zu difference rows (table filled in %.0f ms)\n", rows, fill_ms);
    std::printf("%-34s %9.1f ms\n", "first paint after the bind", first_paint_ms);
    report("memory added by the grid (RSS)", after_mb - before_mb, "MB", memory_goal_mb);
    report("bind until ready to paint", ready_ms, "ms", ready_goal_ms);
    report("Ctrl+End painted", end_ms, "ms", jump_goal_ms);
    std::printf("%-34s top row %d of %d\n", "", end_top, grid.GetRowCount());
    report("thumb to the middle painted", thumb_ms, "ms", jump_goal_ms);
    std::printf("%-34s top row %d of %d\n", "", thumb_top, grid.GetRowCount());

    if (!picture.empty() && !platform::save_window_png(dialog, picture))
        throw std::runtime_error("could not save " + picture);
    dialog.DestroyWindow();
    platform::process_toolkit_events();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "grid_bench: " << failure.what() << '\n';
        return 1;
    }
}
