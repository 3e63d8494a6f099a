#pragma once
// The control's print settings. Nothing prints in this program; cell types read the scale when
// they draw on a printing device.

#include "platform/base/framework_objects.h"
#include "platform/base/geometry.h"

class CUGCtrl;
class CUGGridInfo;

class CUGPrint {
public:
    CUGPrint() = default;
    ~CUGPrint();
    CUGPrint(const CUGPrint&) = delete;
    CUGPrint& operator=(const CUGPrint&) = delete;

    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }
    void SetSheet(CUGGridInfo* sheet) { m_GI = sheet; }
    float GetScale() const { return m_printScale; }

private:
    struct PageNode {
        int startCol = 0;
        int endCol = 0;
        int startRow = 0;
        int endRow = 0;
        PageNode* next = nullptr;
    };

    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    int m_printLeftMargin = 25;
    int m_printTopMargin = 25;
    int m_printRightMargin = 25;
    int m_printBottomMargin = 25;
    float m_printScale = 1.0f;
    int m_printSetting1 = 7;
    int m_printSetting2 = 100;
    int m_printSetting3 = 1;
    int m_printSetting4 = 0;
    PageNode* m_pageList = nullptr;
    CArray<RECT> m_pageRects;
};
