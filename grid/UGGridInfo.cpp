#include "grid/UGGridInfo.h"

#include "grid/UGMem.h"
#include "grid/UGMultiSelect.h"
#include "grid/UGPtrList.h"

#include "platform/base/window.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"

CUGGridInfo::CUGGridInfo()
{
    m_topHdgHeights = new int[1]{20};
    m_sideHdgWidths = new int[1]{25};

    m_gridDefaults = new CUGCell;
    m_hdgDefaults = new CUGCell;
    m_hdgDefaults->SetBackColor(GetSysColor(COLOR_BTNFACE));
    m_hdgDefaults->SetBorder(8192);
    m_hdgDefaults->SetAlignment(UG_ALIGNCENTER | UG_ALIGNVCENTER);
    m_hdgDefaults->SetThemeStyle(128);

    m_vScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    m_hScrollHeight = GetSystemMetrics(SM_CYHSCROLL);

    m_CUGMem = new CUGMem;
    m_CUGMem->SetSheet(this);
    m_defDataSource = m_CUGMem;

    m_arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
    m_WEResizeCursor = LoadCursorA(nullptr, IDC_SIZEWE);
    m_NSResizeCursor = LoadCursorA(nullptr, IDC_SIZENS);

    m_CUGPtrList = new CUGPtrList;
    m_gridLinePen = new CPen(PS_SOLID, 1, RGB(0xDC, 0xDC, 0xDC));
}

void CUGGridInfo::SetMultiSelect(std::unique_ptr<CUGMultiSelect> selection) { m_multiSelect = std::move(selection); }

CUGGridInfo::~CUGGridInfo()
{
    if (m_colInfo != nullptr) {
        for (int col = 0; col < m_numberCols; ++col)
            delete m_colInfo[col].colDefault;
        delete[] m_colInfo;
    }
    delete[] m_extraColArray;
    delete[] m_extraRowArray;
    delete[] m_rowHeights;
    delete[] m_topHdgHeights;
    delete[] m_sideHdgWidths;
    delete m_gridDefaults;
    delete m_hdgDefaults;
    delete m_CUGPtrList;
    delete m_CUGMem;
    delete m_gridLinePen;
}
