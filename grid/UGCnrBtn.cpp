#include "grid/UGCnrBtn.h"

#include "platform/base/dc.h"

// Drawing the button and sizing the headings from it are not done yet.

void CUGCnrBtn::OnPaint()
{
    CPaintDC dc(this);
    OnDraw(&dc);
}

void CUGCnrBtn::OnDraw(CDC*) {}
