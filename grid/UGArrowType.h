#pragma once
// The arrow cell type: an arrow drawn at the side of the cell.

#include "grid/UGCellType.h"

class CUGArrowType : public CUGCellType {
public:
    const char* GetName() override;
    const GUID* GetTypeId() override;
};
