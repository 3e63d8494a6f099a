#pragma once
// The drop-list cell type: a button at the cell's right edge opens a list of the label's items.

#include "grid/UGCellType.h"

#include "platform/base/gdi_objects.h"

class CUGLstBox;

class CUGDropListType : public CUGCellType {
public:
    CUGDropListType();
    ~CUGDropListType() override;

    const char* GetName() override;
    const GUID* GetTypeId() override;
    int GetEditArea(RECT* rect) override;

private:
    int m_btnWidth = 0;
    int m_btnDown = 0;
    RECT m_btnRect{};
    int m_btnCol = -1;
    long m_btnRow = -1;
    CPen m_pen;
    CBrush m_brush;
    CUGLstBox* m_listBox = nullptr;
};
