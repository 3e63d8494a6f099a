#pragma once
// Themed drawing of grid elements through the platform's visual-styles module. One process-wide
// service: an element table maps a grid element style and a drawing state to a theme class,
// part and state; open theme handles are cached per table entry. Every call answers not drawn
// while themes are off, so each caller keeps its classic drawing.

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

#include <map>
#include <memory>
#include <string>

// Element styles (the cell's theme style) and drawing states; a table key is style | state.
constexpr int UGTHEME_CELL = 16;
constexpr int UGTHEME_TOP_HEADING = 32;
constexpr int UGTHEME_SIDE_HEADING = 64;
constexpr int UGTHEME_HEADING_DEFAULT = 128;
constexpr int UGTHEME_DROPLIST_BUTTON = 256;
constexpr int UGTHEME_CHECK_UNCHECKED = 512;
constexpr int UGTHEME_CHECK_CHECKED = 1024;
constexpr int UGTHEME_CHECK_CROSSED = 2048;
constexpr int UGTHEME_RADIO_UNCHECKED = 4096;
constexpr int UGTHEME_RADIO_CHECKED = 8192;
constexpr int UGTHEME_RADIO_CROSSED = 16384;
constexpr int UGTHEME_BUTTON = 32768;
constexpr int UGTHEME_SPIN_UP = 65536;
constexpr int UGTHEME_SPIN_DOWN = 131072;
constexpr int UGTHEME_PROGRESS_BAR = 262144;
constexpr int UGTHEME_PROGRESS_CHUNK = 524288;

constexpr int UGTHEME_STATE_NORMAL = 1;
constexpr int UGTHEME_STATE_CURRENT = 2;
constexpr int UGTHEME_STATE_SELECTED = 4;
constexpr int UGTHEME_STATE_DISABLED = 8;
constexpr int UGTHEME_STATE_PRESSED = 16;

struct ThemeEntry {
    std::wstring className;
    int part = 0;
    int state = 0;
};

using ThemeStyleMap = std::map<DWORD, std::unique_ptr<ThemeEntry>>;
using OpenThemeMap = std::map<const wchar_t*, HTHEME>;

class CUGThemes {
public:
    static void SetUseThemes(bool use) { s_useThemes = use; }
    static bool UseThemes() { return s_useThemes; }
    // 1 selects the explorer element set when the table is next filled, anything else the
    // classic set.
    static void SetStyleSet(int set) { s_styleSet = set; }
    static int StyleSet() { return s_styleSet; }

    static BOOL IsThemingAvailable();
    static const ThemeEntry* GetThemeEntry(int style, int state);
    static HTHEME GetThemeHandle(HWND window, const wchar_t* className);

    static BOOL DrawThemedBackground(HDC dc, int style, int state, const RECT* rect);
    static BOOL DrawThemedText(HDC dc, int style, int state, const char* text, int length, UINT format,
                               const RECT* rect);
    static BOOL DrawThemedEdge(HDC dc, int style, int state, const RECT* rect, int borderStyle, UINT sides,
                               RECT* inner);
    static void ReleaseThemeResources();

    static ThemeStyleMap& GetThemeStyleMap();
    static OpenThemeMap& GetOpenThemeMap();

    // The module's functions, looked up by name on first use; E_FAIL when they cannot be had.
    static HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length,
                                 DWORD format, const RECT* rect);
    static HRESULT IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
    static HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect);
    static HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge,
                                 UINT flags, RECT* content);

    // Whether the visual-styles module is loaded now (tests check that switched-off calls
    // never load it).
    static bool IsModuleLoaded() { return s_module != nullptr; }

private:
    static void FillThemeStyleMap();
    static bool LoadThemeModule();

    static bool s_useThemes;
    static int s_styleSet;
    static HMODULE s_module;
};
