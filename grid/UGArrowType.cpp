#include "grid/UGArrowType.h"

#include "grid/UGCell.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"

#include <initializer_list>

namespace {
constexpr GUID arrow_type_id = {0x5c1d2f42, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x03}};

// One stroke: a move to the first point, then lines through the others.
void stroke(CDC* dc, std::initializer_list<POINT> points)
{
    bool first = true;
    for (const POINT& point : points) {
        if (first)
            dc->MoveTo(point.x, point.y);
        else
            dc->LineTo(point.x, point.y);
        first = false;
    }
}

void right_arrow(CDC* dc, int x, int cy)
{
    stroke(dc, {{x, cy - 3}, {x, cy + 4}});
    stroke(dc, {{x + 1, cy - 2}, {x + 1, cy + 2}, {x + 3, cy}, {x + 2, cy - 1}, {x + 2, cy + 1}});
}

void left_arrow(CDC* dc, int x, int cy)
{
    stroke(dc, {{x, cy - 3}, {x, cy + 4}});
    stroke(dc, {{x - 1, cy - 2}, {x - 1, cy + 2}, {x - 3, cy}, {x - 2, cy - 1}, {x - 2, cy + 1}});
}
}  // namespace

const char* CUGArrowType::GetName() { return "Side Arrows"; }
const GUID* CUGArrowType::GetTypeId() { return &arrow_type_id; }

void CUGArrowType::OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    DrawBorder(dc, rect, rect, cell);
    const int style = cell->IsPropertySet(UGCELL_CELLTYPEEX_SET) ? cell->GetCellTypeEx() : UGCT_ARROWRIGHT;

    const bool highlightCurrent = m_ctrl != nullptr && UGSheetHighlightsCurrentCell(m_ctrl->m_GI);
    const COLORREF textColour =
        cell->IsPropertySet(UGCELL_TEXTCOLOR_SET) ? cell->GetTextColor() : GetSysColor(COLOR_WINDOWTEXT);
    COLORREF text = textColour;
    COLORREF back = cell->IsPropertySet(UGCELL_BACKCOLOR_SET) ? cell->GetBackColor() : GetSysColor(COLOR_WINDOW);
    if (selected != 0 || (current != 0 && highlightCurrent)) {
        text = cell->IsPropertySet(UGCELL_HTEXTCOLOR_SET) ? cell->GetHTextColor() : GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = cell->IsPropertySet(UGCELL_HBACKCOLOR_SET) ? cell->GetHBackColor() : GetSysColor(COLOR_HIGHLIGHT);
    }
    dc->SetTextColor(text);
    DrawBackground(dc, rect, back, row, col, cell, current, selected);

    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (width < 4)
        return;
    if (dc->IsPrinting()) {
        DrawPrinted(dc, *rect, style);
        return;
    }
    // The arrow keeps the cell's own text colour even on a highlighted cell.
    CPen pen(PS_SOLID, 1, textColour);
    CPen* oldPen = dc->SelectObject(&pen);
    const int cx = rect->left + width / 2;
    const int cy = rect->top + height / 2;
    switch (style) {
    case 0:
    case UGCT_ARROWRIGHT:
        right_arrow(dc, cx - 1, cy);
        break;
    case UGCT_ARROWLEFT:
        left_arrow(dc, cx + 1, cy);
        break;
    case UGCT_ARROWDRIGHT:
        right_arrow(dc, cx + 2, cy);
        right_arrow(dc, cx - 4, cy);
        break;
    case UGCT_ARROWDLEFT:
        left_arrow(dc, cx + 4, cy);
        left_arrow(dc, cx - 2, cy);
        break;
    default:
        break;
    }
    if (oldPen != nullptr)
        dc->SelectObject(oldPen);
}

void CUGArrowType::DrawPrinted(CDC* dc, const RECT& rect, int style)
{
    const double f = m_printScale;
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    const int arrowWidth = static_cast<int>(4 * f);
    const int arrowHeight = static_cast<int>(7 * f);
    const int top = rect.top + (h - arrowHeight) / 2;
    const int middle = top + arrowHeight / 2;
    const int cx = rect.left + w / 2;
    auto triangle = [&](int baseX, int tipX) {
        const POINT corners[3] = {{baseX, top}, {baseX, top + arrowHeight}, {tipX, middle}};
        dc->Polygon(corners, 3);
    };
    CBrush* oldBrush = dc->SelectObject(static_cast<CBrush*>(GetStockObject(BLACK_BRUSH)));
    CPen* oldPen = dc->SelectObject(static_cast<CPen*>(GetStockObject(BLACK_PEN)));
    const int x = rect.left + (w - arrowWidth) / 2;
    const int near = cx - static_cast<int>(5 * f);
    const int far = cx + static_cast<int>(f);
    switch (style) {
    case 0:
    case UGCT_ARROWRIGHT:
        triangle(x, x + arrowWidth);
        break;
    case UGCT_ARROWLEFT:
        triangle(x + arrowWidth, x);
        break;
    case UGCT_ARROWDRIGHT:
        triangle(near, near + arrowWidth);
        triangle(far, far + arrowWidth);
        break;
    case UGCT_ARROWDLEFT:
        triangle(near + arrowWidth, near);
        triangle(far + arrowWidth, far);
        break;
    default:
        break;
    }
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void CUGArrowType::GetBestSize(CDC*, SIZE* size, CUGCell* cell)
{
    if (size == nullptr)
        return;
    const int style = cell != nullptr && cell->IsPropertySet(UGCELL_CELLTYPEEX_SET) ? cell->GetCellTypeEx() : 0;
    size->cx = (style == UGCT_ARROWDRIGHT || style == UGCT_ARROWDLEFT) ? 14 : 10;
}
