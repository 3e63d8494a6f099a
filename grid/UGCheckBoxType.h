#pragma once
// The check-box cell type: a box toggled by a click or the space bar; never edited as text.

#include "grid/UGCell.h"
#include "grid/UGCellType.h"

#include "platform/base/gdi_objects.h"

// Extended style bits of a check-box cell.
constexpr int UGCT_CHECKBOX3DRECESS = 0x100;
constexpr int UGCT_CHECKBOX3DRAISED = 0x200;
constexpr int UGCT_CHECKBOXROUND = 0x400;
constexpr int UGCT_CHECKBOXUSEALIGN = 0x800;
constexpr int UGCT_CHECKBOXCHECKMARK = 0x1000;
constexpr int UGCT_CHECKBOX3STATE = 0x2000;
constexpr int UGCT_CHECKBOXDISABLED = 0x4000;

// The notification a toggle sends to the grid, with the new value.
constexpr long UGCT_CHECKBOXSET = 53;

class CUGCheckBoxType : public CUGCellType {
public:
    CUGCheckBoxType();
    ~CUGCheckBoxType() override;

    const char* GetName() override;
    const GUID* GetTypeId() override;
    int OnLClicked(int col, long row, int down, RECT* rect, POINT* point) override;
    int OnDClicked(int col, long row, RECT* rect, POINT* point) override;
    int OnCharDown(int col, long row, UINT* character) override;
    void OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current) override;
    void GetBestSize(CDC* dc, SIZE* size, CUGCell* cell) override;

    // The box inside the cell rectangle, s pixels square, v pixels below the top unless the
    // cell's alignment places it.
    void GetCheckArea(RECT* rect, int size, int offset, CUGCell* cell) const;

private:
    // Which input asked for the toggle: the mouse stores a number, the space bar a number that
    // replaces the text.
    int Toggle(int col, long row, RECT* rect, POINT* point, bool fromMouse);
    void DrawFrame(CDC* dc, const RECT& box, int style, bool highlighted);
    void DrawMark(CDC* dc, RECT box, int style, int size, int value, bool highlighted);
    bool CurrentCellHighlighted() const;

    CPen m_shadowPen;
    CPen m_lightPen;
    CPen m_facePen;
    // Null when the pattern could not be made.
    CBrush* m_patternBrush = nullptr;
    CUGCell m_cell;
};
