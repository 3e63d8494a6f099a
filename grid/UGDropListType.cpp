#include "grid/UGDropListType.h"

#include "grid/UGLstBox.h"

#include "platform/base/system_services.h"

namespace {
constexpr GUID drop_list_type_id = {0x5c1d2f43, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x04}};
}

// Drawing the button and opening the list are not done yet.

CUGDropListType::CUGDropListType()
{
    m_canOverflow = 0;
    m_btnWidth = GetSystemMetrics(SM_CXVSCROLL);
    m_pen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    m_brush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    m_listBox = new CUGLstBox;
    m_listBox->m_cellType = this;
    m_listBox->m_col = &m_btnCol;
    m_listBox->m_row = &m_btnRow;
}

CUGDropListType::~CUGDropListType() { delete m_listBox; }

const char* CUGDropListType::GetName() { return "DropList"; }
const GUID* CUGDropListType::GetTypeId() { return &drop_list_type_id; }

int CUGDropListType::GetEditArea(RECT* rect)
{
    if (rect != nullptr)
        rect->right -= m_btnWidth + 1;
    return 0;
}
