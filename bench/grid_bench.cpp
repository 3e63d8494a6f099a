// Fills a table of differences, binds it to the main window's data grid in a real window and
// prints what the grid adds in memory, how soon it is ready to paint, and what it costs to paint
// after the two far jumps a user makes: Ctrl+End and the scroll thumb dragged to the middle.
// The first jump of each kind meets rows never read before; the repeats (Ctrl+Home and Ctrl+End
// in turn, the thumb to spread positions) give a median that a busy machine disturbs less.
// Beside each wall time stands the CPU time of the thread, which other processes don't inflate.
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

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <malloc.h>
#include <time.h>
#include <unistd.h>

namespace {

using clock_type = std::chrono::steady_clock;

constexpr double memory_goal_mb = 50.0;
constexpr double ready_goal_ms = 300.0;
constexpr double jump_goal_ms = 16.0;
constexpr int repeats = 15;

double milliseconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

double thread_cpu_milliseconds()
{
    struct ::timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

struct timing {
    double wall_ms = 0;
    double cpu_ms = 0;
};

template <typename Step>
timing timed(Step&& step)
{
    const double cpu = thread_cpu_milliseconds();
    const auto wall = clock_type::now();
    step();
    return { milliseconds_since(wall), thread_cpu_milliseconds() - cpu };
}

timing median(std::vector<timing> runs)
{
    const auto middle = runs.begin() + static_cast<std::ptrdiff_t>(runs.size() / 2);
    std::nth_element(runs.begin(), middle, runs.end(),
                     [](const timing& a, const timing& b) { return a.wall_ms < b.wall_ms; });
    timing result = *middle;
    std::nth_element(runs.begin(), middle, runs.end(),
                     [](const timing& a, const timing& b) { return a.cpu_ms < b.cpu_ms; });
    result.cpu_ms = middle->cpu_ms;
    return result;
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
    std::printf("%-36s %8.1f %-2s              goal < %4.0f %-2s  %5.2fx  %s\n", what, figure, unit, goal, unit,
                figure / goal, figure < goal ? "meets it" : "MISSES it");
}

void report(const char* what, const timing& figure, double goal)
{
    std::printf("%-36s %8.1f ms (cpu %6.1f ms)  goal < %4.0f ms  %5.2fx  %s\n", what, figure.wall_ms, figure.cpu_ms,
                goal, figure.wall_ms / goal, figure.wall_ms < goal ? "meets it" : "MISSES it");
}

void press_with_control(CDataGridCtrl& grid, UINT key)
{
    platform::set_key_down(VK_CONTROL, true);
    grid.m_CUGGrid->SendMessage(WM_KEYDOWN, key, 0);
    platform::set_key_down(VK_CONTROL, false);
}

void drag_thumb(CDataGridCtrl& grid, UINT position)
{
    grid.OnVScroll(SB_THUMBTRACK, position, nullptr);
    grid.OnVScroll(SB_THUMBPOSITION, position, nullptr);
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

    const timing ready = timed([&] {
        grid.BindTable(&table);
        appearance.ApplyColours();
        appearance.ApplyHints();
        paint_now(grid);
    });

    const timing end_first = timed([&] {
        press_with_control(grid, VK_END);
        paint_now(grid);
    });
    const int end_top = grid.m_GI->m_topRow;
    std::vector<timing> end_runs;
    for (int run = 0; run < repeats; ++run)
        end_runs.push_back(timed([&] {
            press_with_control(grid, run % 2 == 0 ? VK_HOME : VK_END);
            paint_now(grid);
        }));

    const UINT middle = CUGVScroll::ScaledRange / 2;
    const timing thumb_first = timed([&] {
        drag_thumb(grid, middle);
        paint_now(grid);
    });
    const int thumb_top = grid.m_GI->m_topRow;
    std::vector<timing> thumb_runs;
    for (int run = 1; run <= repeats; ++run)
        thumb_runs.push_back(timed([&] {
            drag_thumb(grid, (middle + static_cast<UINT>(run) * 331) % CUGVScroll::ScaledRange);
            paint_now(grid);
        }));
    drag_thumb(grid, middle);
    paint_now(grid);

    const double after_mb = resident_megabytes();

    std::printf("data grid over %zu difference rows (table filled in %.0f ms)\n", rows, fill_ms);
    report("memory added by the grid (RSS)", after_mb - before_mb, "MB", memory_goal_mb);
    report("bind until painted", ready, ready_goal_ms);
    report("Ctrl+End painted, first", end_first, jump_goal_ms);
    report("Ctrl+Home/End painted, median", median(end_runs), jump_goal_ms);
    report("thumb to the middle painted, first", thumb_first, jump_goal_ms);
    report("thumb jumps painted, median", median(thumb_runs), jump_goal_ms);
    std::printf("(top row after Ctrl+End %d, after the thumb to the middle %d, of %d rows)\n", end_top, thumb_top,
                grid.GetRowCount());

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
