#pragma once
// The in-cell editor of cells with an input mask.

#include "grid/UGEditBase.h"

class CUGMaskedEdit : public CUGEditBase {
public:
    CString GetMask() const { return m_mask; }

private:
    int m_insertingLiteral = 0;
    int m_useMask = 0;
    CString m_mask;
    CString m_pattern;
    CString m_template;
};
