#pragma once
// The check-box cell type: a box toggled by a click or the space bar; never edited as text.

#include "grid/UGCell.h"
#include "grid/UGCellType.h"

#include "platform/base/gdi_objects.h"

class CUGCheckBoxType : public CUGCellType {
public:
    CUGCheckBoxType();
    ~CUGCheckBoxType() override;

    const char* GetName() override;
    const GUID* GetTypeId() override;

private:
    CPen m_shadowPen;
    CPen m_lightPen;
    CPen m_facePen;
    // Null when the pattern could not be made.
    CBrush* m_patternBrush = nullptr;
    CUGCell m_cell;
};
