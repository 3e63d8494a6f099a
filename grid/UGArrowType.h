#pragma once
// The arrow cell type: an arrow drawn at the side of the cell.

#include "grid/UGCellType.h"

// Extended style values of an arrow cell (0 is a right arrow too).
constexpr int UGCT_ARROWRIGHT = 16;
constexpr int UGCT_ARROWLEFT = 32;
constexpr int UGCT_ARROWDRIGHT = 64;
constexpr int UGCT_ARROWDLEFT = 128;

class CUGArrowType : public CUGCellType {
public:
    const char* GetName() override;
    const GUID* GetTypeId() override;
    void OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current) override;
    void GetBestSize(CDC* dc, SIZE* size, CUGCell* cell) override;

private:
    void DrawPrinted(CDC* dc, const RECT& rect, int style);
};
