#include "grid/UGEditBase.h"

// Key handling and the report of the edit's end are not done yet: the control finishes an
// edit only when its caller calls OnEditFinished.

CUGEditBase::CUGEditBase()
{
    LOGBRUSH nothing;
    nothing.lbStyle = BS_NULL;
    m_backBrush.CreateBrushIndirect(&nothing);
}
