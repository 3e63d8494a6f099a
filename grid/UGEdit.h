#pragma once
// The grid's default in-cell editor; it grows over the following cells while text is typed.

#include "grid/UGEditBase.h"

class CUGEdit : public CUGEditBase {
public:
    void SetAutoSize(int autoGrow) { m_autoSize = autoGrow; }
    int GetAutoSize() const { return m_autoSize; }

private:
    int m_autoSize = 0;
    int m_autoSizeActive = 0;
    int m_origHeight = 0;
    int m_currentHeight = 0;
};
