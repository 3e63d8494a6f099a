#pragma once
// The list a drop-list cell opens below itself.

#include "platform/base/controls.h"

class CUGCtrl;
class CUGDropListType;

class CUGLstBox : public CListBox {
public:
    CUGCtrl* m_ctrl = nullptr;
    int m_HasFocus = 0;
    int* m_col = nullptr;
    long* m_row = nullptr;
    int m_selected = 0;
    CUGDropListType* m_cellType = nullptr;
    long m_cellTypeId = 0;
};
