#include "grid/UGTheme.h"

#include "platform/base/library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A visual-styles module registered under its library name, recording what it is asked to draw.
// The toolkit's own module draws pixels; these cases check what the service asks of any module.
namespace {

struct DrawCall {
    std::string what;
    int part = 0;
    int state = 0;
    std::wstring text;
    UINT edge = 0;
};

std::vector<DrawCall> g_calls;
int g_openCount = 0;
int g_closeCount = 0;
BOOL g_transparent = FALSE;
HRESULT g_edgeResult = S_OK;
int g_themeHandles[8];

BOOL Yes() { return TRUE; }
HTHEME OpenThemeData(HWND, LPCWSTR) { return &g_themeHandles[g_openCount++ % 8]; }
HRESULT CloseThemeData(HTHEME) { ++g_closeCount; return S_OK; }
BOOL PartiallyTransparent(HTHEME, int, int) { return g_transparent; }
HRESULT DrawBackground(HTHEME, HDC, int part, int state, const RECT*, const RECT*)
{
    g_calls.push_back({"background", part, state, {}, 0});
    return S_OK;
}
HRESULT DrawText(HTHEME, HDC, int part, int state, LPCWSTR text, int length, DWORD, DWORD, const RECT*)
{
    g_calls.push_back({"text", part, state, std::wstring(text, static_cast<size_t>(length)), 0});
    return E_FAIL;
}
HRESULT DrawEdge(HTHEME, HDC, int part, int state, const RECT*, UINT edge, UINT, RECT* content)
{
    g_calls.push_back({"edge", part, state, {}, edge});
    if (content != nullptr)
        *content = RECT{0, 0, 0, 0};
    return g_edgeResult;
}
HRESULT DllGetVersion(DLLVERSIONINFO* info) { return info != nullptr && info->cbSize == 20 ? S_OK : E_FAIL; }

template <typename Function>
FARPROC Proc(Function function)
{
    return reinterpret_cast<FARPROC>(function);
}

class ThemedDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::register_module("uxtheme.dll", {{"IsAppThemed", Proc(Yes)},
                                                  {"IsThemeActive", Proc(Yes)},
                                                  {"OpenThemeData", Proc(OpenThemeData)},
                                                  {"CloseThemeData", Proc(CloseThemeData)},
                                                  {"IsThemeBackgroundPartiallyTransparent", Proc(PartiallyTransparent)},
                                                  {"DrawThemeBackground", Proc(DrawBackground)},
                                                  {"DrawThemeText", Proc(DrawText)},
                                                  {"DrawThemeEdge", Proc(DrawEdge)}});
        platform::register_module("comctl32.dll", {{"DllGetVersion", Proc(DllGetVersion)}});
        g_calls.clear();
        g_openCount = g_closeCount = 0;
        g_transparent = FALSE;
        g_edgeResult = S_OK;
    }
    void TearDown() override
    {
        CUGThemes::ReleaseThemeResources();
        CUGThemes::SetUseThemes(false);
        CUGThemes::SetStyleSet(0);
        platform::set_reported_version(5, 1);
        platform::register_module("uxtheme.dll", {});
        platform::register_module("comctl32.dll", {});
    }

    static int KnownKeys()
    {
        int known = 0;
        for (const auto& [key, entry] : CUGThemes::GetThemeStyleMap())
            known += entry ? 1 : 0;
        return known;
    }

    RECT m_rect{0, 0, 40, 20};
};

void ReportVersion(DWORD major, DWORD minor)
{
    platform::set_reported_version(major, minor);
}

}  // namespace

TEST_F(ThemedDrawing, switched_off_every_call_answers_not_drawn_and_loads_nothing)
{
    CUGThemes::SetUseThemes(false);
    RECT inner{};
    EXPECT_FALSE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect));
    EXPECT_FALSE(CUGThemes::DrawThemedText(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, "x", 1, 0, &m_rect));
    EXPECT_FALSE(CUGThemes::DrawThemedEdge(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect, 0, 15, &inner));
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    EXPECT_FALSE(CUGThemes::IsModuleLoaded());
    EXPECT_EQ(platform::module_load_count("uxtheme.dll"), 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(ThemedDrawing, element_tables_map_styles_and_states)
{
    const ThemeEntry* tab = CUGThemes::GetThemeEntry(UGTHEME_CELL, UGTHEME_STATE_CURRENT);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->className, L"TAB");
    EXPECT_EQ(tab->part, 1);
    EXPECT_EQ(tab->state, 3);
    EXPECT_EQ(KnownKeys(), 55);
    const ThemeEntry* topHeading = CUGThemes::GetThemeEntry(UGTHEME_TOP_HEADING, UGTHEME_STATE_CURRENT);
    ASSERT_NE(topHeading, nullptr);
    EXPECT_EQ(topHeading->className, L"TASKBAR");
    EXPECT_EQ(topHeading->part, 7);
    const ThemeEntry* crossed = CUGThemes::GetThemeEntry(UGTHEME_CHECK_CROSSED, UGTHEME_STATE_DISABLED);
    ASSERT_NE(crossed, nullptr);
    EXPECT_EQ(crossed->className, L"BUTTON");
    EXPECT_EQ(crossed->state, 12);
    const ThemeEntry* pressed = CUGThemes::GetThemeEntry(UGTHEME_BUTTON, UGTHEME_STATE_PRESSED);
    ASSERT_NE(pressed, nullptr);
    EXPECT_EQ(pressed->state, 3);

    // Unknown keys stay unknown without filling the table again.
    EXPECT_EQ(CUGThemes::GetThemeEntry(UGTHEME_CELL, 3), nullptr);
    const size_t size = CUGThemes::GetThemeStyleMap().size();
    EXPECT_EQ(CUGThemes::GetThemeEntry(UGTHEME_CELL, 3), nullptr);
    EXPECT_EQ(CUGThemes::GetThemeEntry(UGTHEME_HEADING_DEFAULT, UGTHEME_STATE_CURRENT), nullptr);
    EXPECT_EQ(CUGThemes::GetThemeStyleMap().size(), size + 1);

    CUGThemes::ReleaseThemeResources();
    EXPECT_TRUE(CUGThemes::GetThemeStyleMap().empty());
    CUGThemes::SetStyleSet(1);
    const ThemeEntry* list = CUGThemes::GetThemeEntry(UGTHEME_CELL, UGTHEME_STATE_NORMAL);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->className, L"LISTVIEW");
    EXPECT_EQ(KnownKeys(), 55);
    const ThemeEntry* spinDown = CUGThemes::GetThemeEntry(UGTHEME_SPIN_DOWN, UGTHEME_STATE_PRESSED);
    ASSERT_NE(spinDown, nullptr);
    EXPECT_EQ(spinDown->className, L"SCROLLBAR");
    EXPECT_EQ(spinDown->state, 7);
    const ThemeEntry* check = CUGThemes::GetThemeEntry(UGTHEME_CHECK_CHECKED, UGTHEME_STATE_NORMAL);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->className, L"BUTTON");
    EXPECT_EQ(check->state, 5);
}

TEST_F(ThemedDrawing, theming_is_available_only_on_the_one_version)
{
    CUGThemes::SetUseThemes(true);
    ReportVersion(10, 0);
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    ReportVersion(5, 1);
    EXPECT_TRUE(CUGThemes::IsThemingAvailable());
    EXPECT_EQ(platform::module_load_count("comctl32.dll"), 0);
    ReportVersion(5, 2);
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    ReportVersion(5, 1);
    platform::register_module("comctl32.dll", {});
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    CUGThemes::SetUseThemes(false);
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
}

TEST_F(ThemedDrawing, switched_on_the_service_draws_through_the_module)
{
    CUGThemes::SetUseThemes(true);
    EXPECT_TRUE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, UGTHEME_STATE_SELECTED, &m_rect));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].part, 1);
    EXPECT_EQ(g_calls[0].state, 2);

    // The text goes over as UTF-16 and counts as drawn whatever the module answers.
    EXPECT_TRUE(CUGThemes::DrawThemedText(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, "K\xC3\xB6ln", -1, 0, &m_rect));
    EXPECT_EQ(g_calls.back().what, "text");
    EXPECT_EQ(g_calls.back().text, L"K\u00F6ln");

    RECT inner{5, 5, 6, 6};
    EXPECT_TRUE(CUGThemes::DrawThemedEdge(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect, 0x2000, 15, &inner));
    EXPECT_EQ(g_calls.back().edge, 6u);
    EXPECT_EQ(inner.right, 40);
    EXPECT_TRUE(CUGThemes::DrawThemedEdge(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect, 0, 15, nullptr));
    EXPECT_EQ(g_calls.back().edge, 9u);
    g_edgeResult = E_FAIL;
    EXPECT_FALSE(CUGThemes::DrawThemedEdge(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect, 0, 15, nullptr));

    EXPECT_FALSE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, 3, &m_rect));
    // One handle per table entry: the selected and the normal cell entries, each opened once.
    EXPECT_EQ(g_openCount, 2);
}

TEST_F(ThemedDrawing, transparent_elements_get_the_cell_background_first)
{
    CUGThemes::SetUseThemes(true);
    g_transparent = TRUE;
    EXPECT_FALSE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect));
    EXPECT_TRUE(g_calls.empty());

    EXPECT_TRUE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_BUTTON, UGTHEME_STATE_PRESSED, &m_rect));
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].state, 1);  // the cell in its normal state
    EXPECT_EQ(g_calls[1].state, 3);  // then the pressed button
}

TEST_F(ThemedDrawing, release_closes_handles_and_the_next_call_starts_afresh)
{
    CUGThemes::SetUseThemes(true);
    CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect);
    CUGThemes::DrawThemedBackground(nullptr, UGTHEME_BUTTON, UGTHEME_STATE_NORMAL, &m_rect);
    EXPECT_EQ(g_openCount, 2);
    EXPECT_TRUE(CUGThemes::IsModuleLoaded());

    CUGThemes::ReleaseThemeResources();
    EXPECT_EQ(g_closeCount, 2);
    EXPECT_FALSE(CUGThemes::IsModuleLoaded());
    EXPECT_EQ(platform::module_load_count("uxtheme.dll"), 0);
    EXPECT_TRUE(CUGThemes::GetOpenThemeMap().empty());

    EXPECT_TRUE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect));
    EXPECT_EQ(g_openCount, 3);
    EXPECT_EQ(KnownKeys(), 55);
}

TEST_F(ThemedDrawing, a_missing_module_means_classic_drawing)
{
    platform::register_module("uxtheme.dll", {});
    CUGThemes::SetUseThemes(true);
    ReportVersion(5, 1);
    EXPECT_FALSE(CUGThemes::IsThemingAvailable());
    EXPECT_FALSE(CUGThemes::DrawThemedBackground(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, &m_rect));
    EXPECT_FALSE(CUGThemes::DrawThemedText(nullptr, UGTHEME_CELL, UGTHEME_STATE_NORMAL, "x", 1, 0, &m_rect));
    EXPECT_EQ(CUGThemes::DrawThemeBackground(nullptr, nullptr, 1, 1, &m_rect), E_FAIL);
}
