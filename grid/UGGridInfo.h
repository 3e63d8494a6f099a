#pragma once
// One sheet's settings: shape, sizes, scroll positions, defaults and switches. The control and
// every part window read the current sheet through one shared pointer.

#include "grid/UGCell.h"

#include "platform/base/framework_objects.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

#include <memory>

class CUGDataSource;
class CUGMem;
class CUGMultiSelect;
class CUGPtrList;

// One column: its width, where its cells come from and what they start as.
struct UGCOLINFO {
    int width = 0;
    CUGDataSource* dataSource = nullptr;
    CUGCell* colDefault = nullptr;
    // The column of the data source this grid column shows.
    int colTranslation = 0;
};

class CUGGridInfo : public CObject {
public:
    CUGGridInfo();
    ~CUGGridInfo() override;
    CUGGridInfo(const CUGGridInfo&) = delete;
    CUGGridInfo& operator=(const CUGGridInfo&) = delete;

    // Columns. m_colInfo holds m_numberCols records; the control sizes it.
    int m_numberCols = 0;
    int m_focusCol = -1;
    int m_lastFocusCol = -1;
    int m_leftCol = 0;
    int m_lastLeftCol = 0;
    int m_maxLeftCol = 0;
    int m_defColWidth = 75;
    int m_rightCol = 0;
    int m_currentCol = -1;
    // Two owned arrays the part windows fill; freed with the sheet.
    int* m_extraColArray = nullptr;
    int m_extraColArrayCount = 0;
    int* m_extraRowArray = nullptr;
    int m_extraRowArrayCount = 0;
    UGCOLINFO* m_colInfo = nullptr;

    // Rows. m_rowHeights holds m_numberRows heights unless every row has the default height.
    int m_numberRows = 0;
    int m_focusRow = -1;
    int m_lastFocusRow = -1;
    int m_topRow = 0;
    int m_lastTopRow = 0;
    int m_maxTopRow = 0;
    int* m_rowHeights = nullptr;
    int m_defRowHeight = 20;
    int m_uniformRowHeightFlag = 0;
    int m_bottomRow = 0;
    int m_currentRow = -1;

    // Headings.
    int m_numberTopHdgRows = 1;
    int* m_topHdgHeights = nullptr;
    int m_numberSideHdgCols = 1;
    int* m_sideHdgWidths = nullptr;

    // Default records: every new column's default cell starts from m_gridDefaults, every
    // heading cell from m_hdgDefaults.
    CUGCell* m_gridDefaults = nullptr;
    CUGCell* m_hdgDefaults = nullptr;
    CUGCell m_cell;

    // Part sizes and the layout's results.
    int m_topHdgHeight = 20;
    int m_sideHdgWidth = 40;
    int m_vScrollWidth = 0;
    int m_hScrollHeight = 0;
    int m_tabWidth = 0;
    int m_sizeSetting1 = 1;
    int m_sizeSetting2 = 1;
    int m_gridWidth = 0;
    int m_gridHeight = 0;
    RECT m_gridRect{};
    RECT m_topHdgRect{};
    RECT m_sideHdgRect{};
    RECT m_cnrBtnRect{};
    RECT m_vScrollRect{};
    RECT m_hScrollRect{};
    RECT m_tabRect{};

    // Switches. The plainly numbered ones are read by the part windows and cell types, which
    // give them their meaning.
    int m_multiSelectFlag = 0;
    int m_switch1 = 1;
    int m_switch2 = 1;
    int m_switch3 = 1;
    int m_sheetReady = 0;
    int m_enablePopupMenu = 0;
    int m_enableCellTips = 0;
    int m_enableScrollHints = 0;
    int m_switch4 = 1;
    int m_switch5 = 1;
    int m_enableJoins = 1;
    int m_enableCellOverLap = 1;
    int m_switch6 = 1;
    int m_enableThumbTracking = 0;
    int m_setting1 = 0;
    int m_setting2 = 1;
    int m_setting3 = 200;

    // Locked (never scrolling) leading columns and rows.
    int m_numLockCols = 0;
    int m_numLockRows = 0;
    int m_lockColWidth = 0;
    int m_lockRowHeight = 0;

    CFont* m_defFont = nullptr;
    CUGDataSource* m_defDataSource = nullptr;
    // Owned; also the default data source until another is set.
    CUGMem* m_CUGMem = nullptr;
    int m_multiSelectMode = 0;
    // The sheet's selection manager; replaced (and the old one destroyed) through SetMultiSelect.
    std::unique_ptr<CUGMultiSelect> m_multiSelect;
    void SetMultiSelect(std::unique_ptr<CUGMultiSelect> selection);

    HCURSOR m_arrowCursor = nullptr;
    HCURSOR m_WEResizeCursor = nullptr;
    HCURSOR m_NSResizeCursor = nullptr;

    // The control's own two edit controls, set when the sheet is wired to it.
    CWnd* m_editCtrl = nullptr;
    CWnd* m_maskedEditCtrl = nullptr;
    int m_countSetting = 4;
    // Owned.
    CUGPtrList* m_CUGPtrList = nullptr;
    // Owned.
    CPen* m_gridLinePen = nullptr;
    int m_trackingWndMode = 0;
    int m_switch7 = 1;
};
