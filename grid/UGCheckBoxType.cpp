#include "grid/UGCheckBoxType.h"

#include "platform/base/system_services.h"

namespace {
constexpr GUID check_box_type_id = {0x5c1d2f41, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x02}};
}

// Drawing the box and toggling it are not done yet; the base answers every event.

CUGCheckBoxType::CUGCheckBoxType()
{
    m_canEdit = 0;
    m_canOverflow = 0;
    m_shadowPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    m_lightPen.CreatePen(PS_SOLID, 1, RGB(225, 225, 225));
    m_facePen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
}

CUGCheckBoxType::~CUGCheckBoxType() { delete m_patternBrush; }

const char* CUGCheckBoxType::GetName() { return "CheckBox"; }
const GUID* CUGCheckBoxType::GetTypeId() { return &check_box_type_id; }
