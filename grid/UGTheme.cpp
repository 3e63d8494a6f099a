#include "grid/UGTheme.h"

#include "platform/base/library.h"

#include <cstring>

bool CUGThemes::s_useThemes = false;
int CUGThemes::s_styleSet = 0;
HMODULE CUGThemes::s_module = nullptr;

namespace {

using IsAppThemedProc = BOOL (*)();
using IsThemeActiveProc = BOOL (*)();
using OpenThemeDataProc = HTHEME (*)(HWND, LPCWSTR);
using CloseThemeDataProc = HRESULT (*)(HTHEME);
using DrawThemeTextProc = HRESULT (*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
using PartiallyTransparentProc = BOOL (*)(HTHEME, int, int);
using DrawThemeBackgroundProc = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using DrawThemeEdgeProc = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*);
using DllGetVersionProc = HRESULT (*)(DLLVERSIONINFO*);

constexpr int EDGE_RAISED_OUTER_SUNKEN_INNER = 9;
constexpr int EDGE_SUNKEN_OUTER_RAISED_INNER = 6;
constexpr int BORDER_RAISED = 0x2000;

struct StateMapping {
    int keyState;
    int part;
    int state;
};

struct ElementRow {
    int style;
    const wchar_t* className;
    std::initializer_list<StateMapping> states;
};

// States of the cell and list elements: normal, current, selected, disabled, both.
#define ITEM_STATES(part) {{1, part, 1}, {2, part, 3}, {4, part, 2}, {8, part, 4}, {6, part, 5}}
#define FLAT_STATES(part, state) {{1, part, state}, {2, part, state}, {4, part, state}, {6, part, state}}
#define ARROW_STATES(part, base) {{1, part, base}, {2, part, base + 1}, {4, part, base + 1}, {16, part, base + 2}}

// Check boxes, radio buttons and push buttons look the same in both sets.
const ElementRow kButtonRows[] = {
    {512, L"BUTTON", {{1, 3, 1}, {2, 3, 2}, {4, 3, 3}, {8, 3, 4}}},
    {1024, L"BUTTON", {{1, 3, 5}, {2, 3, 6}, {4, 3, 7}, {8, 3, 8}}},
    {2048, L"BUTTON", {{1, 3, 9}, {2, 3, 10}, {4, 3, 11}, {8, 3, 12}}},
    {4096, L"BUTTON", {{1, 2, 1}, {2, 2, 2}, {4, 2, 3}}},
    {8192, L"BUTTON", {{1, 2, 5}, {2, 2, 6}, {4, 2, 7}}},
    {16384, L"BUTTON", {{1, 2, 5}, {2, 2, 6}, {4, 2, 7}}},
    {32768, L"BUTTON", {{1, 1, 1}, {2, 1, 2}, {4, 1, 5}, {16, 1, 3}}},
};

const ElementRow kClassicRows[] = {
    {16, L"TAB", ITEM_STATES(1)},
    {32, L"TASKBAR", {{1, 3, 0}, {2, 7, 0}}},
    {64, L"TASKBAR", {{1, 4, 0}, {2, 8, 0}}},
    {128, L"WINDOW", {{1, 11, 0}}},
    {256, L"COMBOBOX", FLAT_STATES(1, 0)},
    {65536, L"SPIN", ARROW_STATES(1, 1)},
    {131072, L"SPIN", ARROW_STATES(2, 1)},
    {262144, L"PROGRESS", FLAT_STATES(3, 0)},
    {524288, L"PROGRESS", FLAT_STATES(1, 1)},
};

const ElementRow kExplorerRows[] = {
    {16, L"LISTVIEW", ITEM_STATES(1)},
    {32, L"EXPLORERBAR", {{1, 5, 0}, {2, 9, 0}}},
    {64, L"EXPLORERBAR", {{1, 1, 0}, {2, 9, 0}}},
    {128, L"EXPLORERBAR", {{1, 5, 0}}},
    {256, L"EXPLORERBAR", {{1, 4, 1}, {2, 4, 2}, {4, 4, 3}, {6, 4, 3}}},
    {65536, L"SCROLLBAR", ARROW_STATES(1, 1)},
    {131072, L"SCROLLBAR", ARROW_STATES(1, 5)},
    {262144, L"EXPLORERBAR", FLAT_STATES(12, 0)},
    {524288, L"EXPLORERBAR", FLAT_STATES(1, 0)},
};

#undef ITEM_STATES
#undef FLAT_STATES
#undef ARROW_STATES

template <size_t Count>
void InsertRows(ThemeStyleMap& map, const ElementRow (&rows)[Count])
{
    for (const ElementRow& row : rows) {
        for (const StateMapping& mapping : row.states) {
            std::unique_ptr<ThemeEntry>& slot = map[static_cast<DWORD>(row.style | mapping.keyState)];
            if (slot)
                continue;
            slot = std::make_unique<ThemeEntry>();
            slot->className = row.className;
            slot->part = mapping.part;
            slot->state = mapping.state;
        }
    }
}

}  // namespace

ThemeStyleMap& CUGThemes::GetThemeStyleMap()
{
    static ThemeStyleMap map;
    return map;
}

OpenThemeMap& CUGThemes::GetOpenThemeMap()
{
    static OpenThemeMap map;
    return map;
}

bool CUGThemes::LoadThemeModule()
{
    if (s_module == nullptr)
        s_module = LoadLibraryA("uxtheme.dll");
    return s_module != nullptr;
}

BOOL CUGThemes::IsThemingAvailable()
{
    if (!s_useThemes)
        return FALSE;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwMajorVersion != 5 || version.dwMinorVersion != 1)
        return FALSE;
    if (!LoadThemeModule())
        return FALSE;
    auto isAppThemed = reinterpret_cast<IsAppThemedProc>(GetProcAddress(s_module, "IsAppThemed"));
    auto isThemeActive = reinterpret_cast<IsThemeActiveProc>(GetProcAddress(s_module, "IsThemeActive"));
    if (isAppThemed == nullptr || isThemeActive == nullptr || !isAppThemed() || !isThemeActive())
        return FALSE;
    HMODULE controls = LoadLibraryA("comctl32.dll");
    if (controls == nullptr)
        return FALSE;
    BOOL available = FALSE;
    auto dllGetVersion = reinterpret_cast<DllGetVersionProc>(GetProcAddress(controls, "DllGetVersion"));
    if (dllGetVersion != nullptr) {
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        available = dllGetVersion(&info) == 0;
    }
    FreeLibrary(controls);
    return available;
}

void CUGThemes::FillThemeStyleMap()
{
    ThemeStyleMap& map = GetThemeStyleMap();
    if (s_styleSet == 1)
        InsertRows(map, kExplorerRows);
    else
        InsertRows(map, kClassicRows);
    InsertRows(map, kButtonRows);
}

const ThemeEntry* CUGThemes::GetThemeEntry(int style, int state)
{
    ThemeStyleMap& map = GetThemeStyleMap();
    const DWORD key = static_cast<DWORD>(style | state);
    auto found = map.find(key);
    if (found == map.end()) {
        FillThemeStyleMap();
        found = map.find(key);
        // Unknown keys are remembered as such, so they never fill the table again.
        if (found == map.end())
            found = map.emplace(key, nullptr).first;
    }
    return found->second.get();
}

HTHEME CUGThemes::GetThemeHandle(HWND window, const wchar_t* className)
{
    OpenThemeMap& cache = GetOpenThemeMap();
    HTHEME& handle = cache[className];
    if (handle == nullptr && LoadThemeModule()) {
        auto openThemeData = reinterpret_cast<OpenThemeDataProc>(GetProcAddress(s_module, "OpenThemeData"));
        if (openThemeData != nullptr)
            handle = openThemeData(window, className);
    }
    return handle;
}

HRESULT CUGThemes::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length,
                                 DWORD format, const RECT* rect)
{
    if (!LoadThemeModule())
        return E_FAIL;
    auto proc = reinterpret_cast<DrawThemeTextProc>(GetProcAddress(s_module, "DrawThemeText"));
    if (proc == nullptr)
        return E_FAIL;
    return proc(theme, dc, part, state, text, length, format, 0, rect);
}

HRESULT CUGThemes::IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    if (!LoadThemeModule())
        return E_FAIL;
    auto proc = reinterpret_cast<PartiallyTransparentProc>(
        GetProcAddress(s_module, "IsThemeBackgroundPartiallyTransparent"));
    if (proc == nullptr)
        return E_FAIL;
    return proc(theme, part, state);
}

HRESULT CUGThemes::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect)
{
    if (!LoadThemeModule())
        return E_FAIL;
    auto proc = reinterpret_cast<DrawThemeBackgroundProc>(GetProcAddress(s_module, "DrawThemeBackground"));
    if (proc == nullptr)
        return E_FAIL;
    return proc(theme, dc, part, state, rect, nullptr);
}

HRESULT CUGThemes::DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                                 RECT* content)
{
    if (!LoadThemeModule())
        return E_FAIL;
    auto proc = reinterpret_cast<DrawThemeEdgeProc>(GetProcAddress(s_module, "DrawThemeEdge"));
    if (proc == nullptr)
        return E_FAIL;
    return proc(theme, dc, part, state, rect, edge, flags, content);
}

BOOL CUGThemes::DrawThemedBackground(HDC dc, int style, int state, const RECT* rect)
{
    if (!s_useThemes)
        return FALSE;
    const ThemeEntry* entry = GetThemeEntry(style, state);
    if (entry == nullptr)
        return FALSE;
    HTHEME theme = GetThemeHandle(nullptr, entry->className.c_str());
    if (theme == nullptr)
        return FALSE;
    // Only a positive answer means transparent: E_FAIL is negative, not a yes.
    if (IsThemeBackgroundPartiallyTransparent(theme, entry->part, entry->state) > 0) {
        if (style == UGTHEME_CELL)
            return FALSE;
        const int cellState = state == UGTHEME_STATE_DISABLED || state == UGTHEME_STATE_PRESSED ? 1 : state;
        const auto cellKey = GetThemeStyleMap().find(static_cast<DWORD>(UGTHEME_CELL | cellState));
        if (cellKey != GetThemeStyleMap().end() && cellKey->second) {
            const ThemeEntry* cell = cellKey->second.get();
            HTHEME cellTheme = GetThemeHandle(nullptr, cell->className.c_str());
            if (cellTheme != nullptr)
                DrawThemeBackground(cellTheme, dc, cell->part, cell->state, rect);
        }
    }
    return DrawThemeBackground(theme, dc, entry->part, entry->state, rect) >= 0;
}

BOOL CUGThemes::DrawThemedText(HDC dc, int style, int state, const char* text, int length, UINT format,
                               const RECT* rect)
{
    if (!s_useThemes || text == nullptr)
        return FALSE;
    const ThemeEntry* entry = GetThemeEntry(style, state);
    if (entry == nullptr)
        return FALSE;
    HTHEME theme = GetThemeHandle(nullptr, entry->className.c_str());
    if (theme == nullptr)
        return FALSE;
    const int bytes = length < 0 ? static_cast<int>(std::strlen(text)) : length;
    std::wstring wide(static_cast<size_t>(bytes) + 1, L'\0');
    const int characters = MultiByteToWideChar(CP_ACP, 0, text, bytes, &wide[0], bytes + 1);
    wide.resize(static_cast<size_t>(characters > 0 ? characters : 0));
    DrawThemeText(theme, dc, entry->part, entry->state, wide.c_str(), static_cast<int>(wide.size()), format, rect);
    return TRUE;
}

BOOL CUGThemes::DrawThemedEdge(HDC dc, int style, int state, const RECT* rect, int borderStyle, UINT sides,
                               RECT* inner)
{
    if (!s_useThemes)
        return FALSE;
    const ThemeEntry* entry = GetThemeEntry(style, state);
    if (entry == nullptr)
        return FALSE;
    HTHEME theme = GetThemeHandle(nullptr, entry->className.c_str());
    if (theme == nullptr)
        return FALSE;
    const UINT edge = (borderStyle & BORDER_RAISED) ? EDGE_SUNKEN_OUTER_RAISED_INNER : EDGE_RAISED_OUTER_SUNKEN_INNER;
    if (DrawThemeEdge(theme, dc, entry->part, entry->state, rect, edge, sides, inner) < 0)
        return FALSE;
    if (inner != nullptr && rect != nullptr)
        *inner = *rect;
    return TRUE;
}

void CUGThemes::ReleaseThemeResources()
{
    GetThemeStyleMap().clear();
    OpenThemeMap& cache = GetOpenThemeMap();
    if (!cache.empty() && LoadThemeModule()) {
        auto closeThemeData = reinterpret_cast<CloseThemeDataProc>(GetProcAddress(s_module, "CloseThemeData"));
        for (auto& [className, handle] : cache) {
            if (closeThemeData != nullptr && handle != nullptr)
                closeThemeData(handle);
        }
    }
    cache.clear();
    if (s_module != nullptr)
        FreeLibrary(s_module);
    s_module = nullptr;
}
