#pragma once
// The strip of sheet tabs at the bottom left (section 7). No tab is ever added here, so the
// strip is laid out with no width and never seen.

#include "platform/base/controls.h"
#include "platform/base/gdi_objects.h"

class CUGCtrl;
class CUGGridInfo;

class CUGTab : public CWnd {
public:
    static constexpr int MaxTabs = 64;

    CUGTab();

    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }
    int GetTabCount() const { return m_tabCount; }

    virtual void Update();

    int OnCreate(LPCREATESTRUCT create) override;
    void OnSize(UINT type, int width, int height) override;

private:
    CScrollBar m_scroll;
    CFont m_font;
    CString m_tabStrings[MaxTabs];
    int m_tabWidths[MaxTabs] = {};
    COLORREF m_tabTextColors[MaxTabs] = {};
    COLORREF m_tabBackColors[MaxTabs] = {};
    long m_tabIDs[MaxTabs] = {};
    int m_tabCount = 0;
    int m_tabOffset = 0;
    int m_maxTabOffset = 0;
    int m_currentTab = 0;
    int m_scrollWidth = 0;
    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
};
