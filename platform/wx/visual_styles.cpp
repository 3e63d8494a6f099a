#include "platform/wx/visual_styles.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/theme_api.h"
#include "platform/base/window.h"
#include "platform/wx/wx_peers.h"

#include <wx/dc.h>
#include <wx/renderer.h>

#include <string>

namespace platform {

namespace {

struct theme_class {
    std::string name;
};

std::string narrow_upper(LPCWSTR text)
{
    std::string narrow;
    for (; text && *text; ++text) {
        if (*text == L';')
            break;
        narrow += static_cast<char>(*text < 128 ? std::toupper(static_cast<int>(*text)) : '?');
    }
    return narrow;
}

int control_flags_of_state(int state)
{
    switch (state) {
    case 2: return wxCONTROL_CURRENT;
    case 3: return wxCONTROL_PRESSED;
    case 4: return wxCONTROL_DISABLED;
    case 5: return wxCONTROL_ISDEFAULT;
    default: return 0;
    }
}

// Check boxes and radio buttons count their states in groups of four: normal, hot, pressed,
// disabled; unchecked first, then checked, then mixed.
int button_mark_flags(int state)
{
    const int group = (state - 1) / 4;
    int flags = control_flags_of_state(((state - 1) % 4) + 1);
    if (group == 1)
        flags |= wxCONTROL_CHECKED;
    else if (group == 2)
        flags |= wxCONTROL_UNDETERMINED;
    return flags;
}

wxWindow* renderer_window(CDC* dc)
{
    if (dc && dc->GetWindow()) {
        if (wxWindow* widget = widget_of(*dc->GetWindow()))
            return widget;
    }
    return hidden_root();
}

// The toolkit draws some parts at its own size (a check box indicator with its shadow can be a
// row taller than a 16-pixel cell); a part must stay inside its rectangle, where the next cell
// begins. Dropping the toolkit's DC afterwards gives the next drawing the device context's own clip.
class clip_to_area {
public:
    clip_to_area(CDC& dc, wxDC& native, const wxRect& area) : dc_(&dc) { native.SetClippingRegion(area); }
    ~clip_to_area() { dc_->surface()->flush(); }
    clip_to_area(const clip_to_area&) = delete;
    clip_to_area& operator=(const clip_to_area&) = delete;

private:
    CDC* dc_ = nullptr;
};

BOOL is_app_themed() { return TRUE; }
BOOL is_theme_active() { return TRUE; }

HTHEME open_theme_data(HWND, LPCWSTR class_list)
{
    if (!class_list || !*class_list)
        return nullptr;
    return new theme_class{narrow_upper(class_list)};
}

HRESULT close_theme_data(HTHEME theme)
{
    if (!theme)
        return E_INVALIDARG;
    delete static_cast<theme_class*>(theme);
    return S_OK;
}

BOOL is_partially_transparent(HTHEME theme, int part, int)
{
    if (!theme)
        return FALSE;
    const std::string& name = static_cast<theme_class*>(theme)->name;
    return name == "BUTTON" && (part == 2 || part == 3) ? TRUE : FALSE;
}

HRESULT draw_theme_background(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT*)
{
    if (!theme || !dc || !rect)
        return E_INVALIDARG;
    wxDC* native = dc->surface() ? static_cast<wxDC*>(dc->surface()->native()) : nullptr;
    if (!native)
        return E_FAIL;
    RECT device = *rect;
    dc->LPtoDP(&device);
    const wxRect area(device.left, device.top, device.right - device.left, device.bottom - device.top);
    if (area.IsEmpty())
        return S_OK;
    const clip_to_area clip(*dc, *native, area);
    wxRendererNative& renderer = wxRendererNative::Get();
    wxWindow* window = renderer_window(dc);
    const std::string& name = static_cast<theme_class*>(theme)->name;
    if (name == "BUTTON") {
        if (part == 1)
            renderer.DrawPushButton(window, *native, area, control_flags_of_state(state));
        else if (part == 2)
            renderer.DrawRadioBitmap(window, *native, area, button_mark_flags(state));
        else if (part == 3)
            renderer.DrawCheckBox(window, *native, area, button_mark_flags(state));
        else
            return E_FAIL;
    } else if (name == "COMBOBOX") {
        renderer.DrawComboBoxDropButton(window, *native, area, control_flags_of_state(state));
    } else if (name == "HEADER" || name == "TASKBAR" || name == "EXPLORERBAR" || name == "WINDOW" ||
               name == "REBAR") {
        renderer.DrawHeaderButton(window, *native, area, control_flags_of_state(state));
    } else if (name == "TAB" || name == "LISTVIEW") {
        if (state == 1) {
            CBrush back(GetSysColor(COLOR_WINDOW));
            dc->FillRect(rect, &back);
        } else if (state == 4) {
            CBrush back(GetSysColor(COLOR_BTNFACE));
            dc->FillRect(rect, &back);
        } else {
            const int flags = static_cast<int>(wxCONTROL_SELECTED) | (state == 3 || state == 5 ? static_cast<int>(wxCONTROL_FOCUSED) : 0);
            renderer.DrawItemSelectionRect(window, *native, area, flags);
        }
    } else if (name == "SPIN" || name == "SCROLLBAR") {
        RECT button = *rect;
        UINT direction = part == 1 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
        int within = (state - 1) % 4;
        if (name == "SCROLLBAR") {
            const UINT directions[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
            direction = directions[std::min(3, std::max(0, (state - 1) / 4))];
        } else {
            within = state - 1;
        }
        dc->DrawFrameControl(&button, DFC_SCROLL, direction | (within == 2 ? DFCS_PUSHED : 0) | (within == 3 ? DFCS_INACTIVE : 0));
    } else if (name == "PROGRESS") {
        renderer.DrawGauge(window, *native, area, part == 3 ? 100 : 0, 100);
    } else {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT draw_theme_text(HTHEME theme, HDC dc, int, int state, LPCWSTR text, int length, DWORD flags, DWORD,
                        const RECT* rect)
{
    if (!theme || !dc || !rect || !text)
        return E_INVALIDARG;
    const int wide_length = length < 0 ? static_cast<int>(std::char_traits<wchar_t>::length(text)) : length;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, wide_length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, wide_length, narrow.data(), bytes, nullptr, nullptr);
    RECT area = *rect;
    const int old_mode = dc->SetBkMode(TRANSPARENT);
    COLORREF old_colour = dc->GetTextColor();
    if (state == 4)
        dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    dc->DrawText(narrow.data(), static_cast<int>(narrow.size()), &area, flags);
    dc->SetTextColor(old_colour);
    dc->SetBkMode(old_mode);
    return S_OK;
}

HRESULT draw_theme_edge(HTHEME theme, HDC dc, int, int, const RECT* rect, UINT edge, UINT flags, RECT* content)
{
    if (!theme || !dc || !rect)
        return E_INVALIDARG;
    RECT area = *rect;
    dc->DrawEdge(&area, edge, flags | BF_ADJUST);
    if (content)
        *content = area;
    return S_OK;
}

HRESULT dll_get_version(DLLVERSIONINFO* info)
{
    if (!info || info->cbSize < sizeof(DLLVERSIONINFO))
        return E_INVALIDARG;
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 2600;
    info->dwPlatformID = 2;
    return S_OK;
}

template <typename Procedure>
FARPROC as_procedure(Procedure procedure)
{
    return reinterpret_cast<FARPROC>(procedure);
}

}  // namespace

void register_visual_styles_module()
{
    register_module("uxtheme.dll",
                    {{"IsAppThemed", as_procedure<IsAppThemed_procedure>(&is_app_themed)},
                     {"IsThemeActive", as_procedure<IsThemeActive_procedure>(&is_theme_active)},
                     {"OpenThemeData", as_procedure<OpenThemeData_procedure>(&open_theme_data)},
                     {"CloseThemeData", as_procedure<CloseThemeData_procedure>(&close_theme_data)},
                     {"DrawThemeBackground", as_procedure<DrawThemeBackground_procedure>(&draw_theme_background)},
                     {"DrawThemeText", as_procedure<DrawThemeText_procedure>(&draw_theme_text)},
                     {"DrawThemeEdge", as_procedure<DrawThemeEdge_procedure>(&draw_theme_edge)},
                     {"IsThemeBackgroundPartiallyTransparent",
                      as_procedure<IsThemeBackgroundPartiallyTransparent_procedure>(&is_partially_transparent)}});
    register_module("comctl32.dll", {{"DllGetVersion", as_procedure<DllGetVersion_procedure>(&dll_get_version)}});
}

}  // namespace platform
