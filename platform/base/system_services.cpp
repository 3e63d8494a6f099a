#include "platform/base/system_services.h"

#include <array>
#include <utility>

namespace {

platform::system_colour_service& colour_service()
{
    static platform::system_colour_service service;
    return service;
}

platform::system_metric_service& metric_service()
{
    static platform::system_metric_service service;
    return service;
}

platform::key_state_service& key_service()
{
    static platform::key_state_service service;
    return service;
}

struct key_entry {
    bool down = false;
    bool toggled = false;
};

std::array<key_entry, 256>& key_table()
{
    static std::array<key_entry, 256> table;
    return table;
}

}  // namespace

DWORD GetSysColor(int index)
{
    if (colour_service())
        return colour_service()(index);
    return platform::fixed_system_colour(index);
}

int GetSystemMetrics(int index)
{
    if (metric_service())
        return metric_service()(index);
    return platform::fixed_system_metric(index);
}

SHORT GetKeyState(int virtual_key)
{
    if (key_service())
        return key_service()(virtual_key);
    return platform::key_table_state(virtual_key);
}

SHORT GetAsyncKeyState(int virtual_key)
{
    return static_cast<SHORT>(GetKeyState(virtual_key) & static_cast<SHORT>(0x8000));
}

namespace platform {

system_colour_service set_system_colour_service(system_colour_service service)
{
    return std::exchange(colour_service(), std::move(service));
}

system_metric_service set_system_metric_service(system_metric_service service)
{
    return std::exchange(metric_service(), std::move(service));
}

key_state_service set_key_state_service(key_state_service service)
{
    return std::exchange(key_service(), std::move(service));
}

COLORREF fixed_system_colour(int index)
{
    static const COLORREF colours[] = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
        RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
        RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
        RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(51, 153, 255),
        RGB(240, 240, 240)};
    if (index < 0 || index >= static_cast<int>(sizeof(colours) / sizeof(colours[0])))
        return 0;
    return colours[index];
}

int fixed_system_metric(int index)
{
    switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: case SM_CXVIRTUALSCREEN: return 1280;
    case SM_CYSCREEN: case SM_CYFULLSCREEN: case SM_CYVIRTUALSCREEN: return 1024;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER: case SM_CYBORDER: case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 20;
    case SM_MOUSEPRESENT: case SM_MOUSEWHEELPRESENT: case SM_CMONITORS: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXMIN: return 136;
    case SM_CYMIN: return 39;
    case SM_CXSIZE: case SM_CYSIZE: return 22;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXMINTRACK: return 136;
    case SM_CYMINTRACK: return 39;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    default: return 0;
    }
}

void set_key_down(int virtual_key, bool down)
{
    if (virtual_key < 0 || virtual_key > 255)
        return;
    key_entry& entry = key_table()[static_cast<size_t>(virtual_key)];
    if (down && !entry.down)
        entry.toggled = !entry.toggled;
    entry.down = down;
}

void reset_key_table()
{
    key_table().fill(key_entry{});
}

SHORT key_table_state(int virtual_key)
{
    if (virtual_key < 0 || virtual_key > 255)
        return 0;
    const key_entry& entry = key_table()[static_cast<size_t>(virtual_key)];
    return static_cast<SHORT>((entry.down ? 0x8000 : 0) | (entry.toggled ? 1 : 0));
}

}  // namespace platform
