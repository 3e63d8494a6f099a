#include "grid/UGCheckBoxType.h"

#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGTheme.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {
constexpr GUID check_box_type_id = {0x5c1d2f41, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x02}};

// A cell value as the small whole number the box shows. Values no int holds (and NaN) count
// as unchecked rather than reaching an undefined conversion.
int box_value(CUGCell* cell)
{
    const double value = cell->GetNumber();
    if (!std::isfinite(value) || value <= -1e9 || value >= 1e9)
        return 0;
    return static_cast<int>(value);
}

int extended_style(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_CELLTYPEEX_SET) ? cell->GetCellTypeEx() : 0;
}

// COLORREF keeps red in the low byte; bitmap pixels keep it in the third.
std::uint32_t pixel_of(COLORREF colour)
{
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (static_cast<std::uint32_t>(GetGValue(colour)) << 8) |
           GetBValue(colour);
}
}  // namespace

CUGCheckBoxType::CUGCheckBoxType()
{
    m_canEdit = 0;
    m_canOverflow = 0;
    m_shadowPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    m_lightPen.CreatePen(PS_SOLID, 1, RGB(225, 225, 225));
    m_facePen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));

    // The checkerboard a monochrome DIB with rows 0x55 and 0xAA gives, in face and highlight.
    const std::uint32_t face = pixel_of(GetSysColor(COLOR_BTNFACE));
    const std::uint32_t highlight = pixel_of(GetSysColor(COLOR_BTNHIGHLIGHT));
    std::vector<std::uint32_t> pixels(64);
    for (int y = 0; y < 8; ++y) {
        const unsigned bits = (y % 2 == 0) ? 0x55 : 0xAA;
        for (int x = 0; x < 8; ++x)
            pixels[static_cast<size_t>(y * 8 + x)] = ((bits >> (7 - x)) & 1) != 0 ? highlight : face;
    }
    CBitmap pattern;
    if (pattern.CreateBitmap(8, 8, 1, 32, pixels.data())) {
        m_patternBrush = new CBrush;
        if (!m_patternBrush->CreatePatternBrush(&pattern)) {
            delete m_patternBrush;
            m_patternBrush = nullptr;
        }
    }
}

CUGCheckBoxType::~CUGCheckBoxType() { delete m_patternBrush; }

const char* CUGCheckBoxType::GetName() { return "CheckBox"; }
const GUID* CUGCheckBoxType::GetTypeId() { return &check_box_type_id; }

bool CUGCheckBoxType::CurrentCellHighlighted() const
{
    return m_ctrl != nullptr && UGSheetHighlightsCurrentCell(m_ctrl->m_GI);
}

void CUGCheckBoxType::GetCheckArea(RECT* rect, int size, int offset, CUGCell* cell) const
{
    const int style = extended_style(cell);
    if ((style & UGCT_CHECKBOXUSEALIGN) == 0) {
        rect->top += offset;
        rect->left += 3;
        rect->right = rect->left + size + ((style & UGCT_CHECKBOXROUND) != 0 ? 1 : 0);
        rect->bottom = rect->top + size;
        return;
    }
    const int alignment = cell->IsPropertySet(UGCELL_ALIGNMENT_SET) ? cell->GetAlignment() : 0;
    if ((alignment & UG_ALIGNCENTER) != 0)
        rect->left += (rect->right - rect->left) / 2 - size / 2;
    else if ((alignment & UG_ALIGNRIGHT) != 0)
        rect->left = rect->right - size - 6;
    else
        rect->left += 3;
    if ((alignment & 8) != 0)
        rect->top += 3;
    else if ((alignment & UG_ALIGNBOTTOM) != 0)
        rect->top = rect->bottom - size - 6;
    else
        rect->top += offset;
    rect->right = rect->left + size;
    rect->bottom = rect->top + size;
}

int CUGCheckBoxType::OnLClicked(int col, long row, int down, RECT* rect, POINT* point)
{
    if (down == 0)
        return 0;
    return Toggle(col, row, rect, point, true);
}

int CUGCheckBoxType::OnDClicked(int col, long row, RECT* rect, POINT* point)
{
    return Toggle(col, row, rect, point, true);
}

int CUGCheckBoxType::OnCharDown(int col, long row, UINT* character)
{
    if (character == nullptr || *character != VK_SPACE)
        return 0;
    return Toggle(col, row, nullptr, nullptr, false);
}

int CUGCheckBoxType::Toggle(int col, long row, RECT* rect, POINT* point, bool fromMouse)
{
    if (m_ctrl == nullptr)
        return 0;
    m_cell.ResetProperties();
    m_ctrl->GetCell(col, static_cast<int>(row), &m_cell);
    const int style = extended_style(&m_cell);
    if ((style & UGCT_CHECKBOXDISABLED) != 0)
        return 0;
    if (m_cell.IsPropertySet(UGCELL_READONLY_SET) && m_cell.GetReadOnly() != 0)
        return 0;
    if (fromMouse) {
        if (rect == nullptr || point == nullptr)
            return 0;
        const int height = rect->bottom - rect->top;
        const int size = std::min(height - 6, 12);
        RECT box = *rect;
        GetCheckArea(&box, size, (height - size) / 2, &m_cell);
        if (!PtInRect(&box, *point))
            return 0;
    }
    const int states = (style & UGCT_CHECKBOX3STATE) != 0 ? 3 : 2;
    // A negative stored value still lands on one of the states.
    const int value = ((box_value(&m_cell) + 1) % states + states) % states;
    // The space bar's path also drops any text the cell had; storing the number does that for
    // the mouse's path too.
    m_cell.SetNumber(value);
    m_ctrl->StoreCellAt(col, static_cast<int>(row), &m_cell);
    ForwardToGrid(m_ID, col, row, UGCT_CHECKBOXSET, value);
    m_ctrl->RepaintCellAt(col, static_cast<int>(row));
    return 1;
}

void CUGCheckBoxType::OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    m_drawLabelText = 1;
    if (!m_themeChoiceFixed)
        m_useThemes = cell->GetMergeWord() != 0;
    DrawBorder(dc, rect, rect, cell);

    const int style = extended_style(cell);
    const bool round = (style & UGCT_CHECKBOXROUND) != 0;
    const int value = box_value(cell);
    int themeStyle = round ? UGTHEME_RADIO_UNCHECKED : UGTHEME_CHECK_UNCHECKED;
    if (value > 0)
        themeStyle = (style & UGCT_CHECKBOXCHECKMARK) != 0 ? (round ? UGTHEME_RADIO_CHECKED : UGTHEME_CHECK_CHECKED)
                                                          : (round ? UGTHEME_RADIO_CROSSED : UGTHEME_CHECK_CROSSED);
    int themeState = UGTHEME_STATE_NORMAL;
    if (current != 0 && selected != 0)
        themeState = UGTHEME_STATE_CURRENT | UGTHEME_STATE_SELECTED;
    else if (current != 0)
        themeState = UGTHEME_STATE_CURRENT;
    else if (selected != 0)
        themeState = UGTHEME_STATE_SELECTED;
    if ((style & UGCT_CHECKBOXDISABLED) != 0 || value > 1)
        themeState = UGTHEME_STATE_DISABLED;

    const bool highlighted = selected != 0 || (current != 0 && CurrentCellHighlighted());
    COLORREF back = cell->IsPropertySet(UGCELL_BACKCOLOR_SET) ? cell->GetBackColor() : GetSysColor(COLOR_WINDOW);
    if (highlighted)
        back = cell->IsPropertySet(UGCELL_HBACKCOLOR_SET) ? cell->GetHBackColor() : GetSysColor(COLOR_HIGHLIGHT);
    DrawBackground(dc, rect, back, row, col, cell, current, selected);

    const double scale = dc->IsPrinting() ? m_printScale : 1.0;
    const int height = rect->bottom - rect->top;
    const int size = std::min(static_cast<int>(height - 6 * scale), static_cast<int>(12 * scale));
    RECT box = *rect;
    GetCheckArea(&box, size, (height - size) / 2, cell);

    const bool themed = m_useThemes && CUGThemes::DrawThemedBackground(dc, themeStyle, themeState, &box);
    if (!themed && size >= 6) {
        CPen* oldPen = dc->GetCurrentPen();
        CBrush* oldBrush = dc->GetCurrentBrush();
        DrawFrame(dc, box, style, highlighted);
        if ((style & (UGCT_CHECKBOX3DRECESS | UGCT_CHECKBOX3DRAISED)) != 0 || !round) {
            box.left += 1;
            box.top += 1;
            if (value > 1)
                dc->FillRect(&box, m_patternBrush != nullptr ? m_patternBrush : GetSysColorBrush(COLOR_WINDOW));
        }
        if (cell->IsPropertySet(UGCELL_READONLY_SET) && cell->GetReadOnly() == 1)
            dc->FillRect(&box, m_patternBrush != nullptr ? m_patternBrush : GetSysColorBrush(COLOR_WINDOW));
        if (value > 0)
            DrawMark(dc, box, style, size, value, highlighted);
        if (oldPen != nullptr)
            dc->SelectObject(oldPen);
        if (oldBrush != nullptr)
            dc->SelectObject(oldBrush);
    }

    if ((style & UGCT_CHECKBOXUSEALIGN) == 0) {
        const LONG left = rect->left;
        rect->left += size + 6;
        CUGCellType::DrawText(dc, rect, 0, col, row, cell, selected, current);
        rect->left = left;
    }
}

void CUGCheckBoxType::DrawFrame(CDC* dc, const RECT& box, int style, bool highlighted)
{
    int l = box.left;
    int t = box.top;
    int r = box.right;
    int b = box.bottom;
    auto blackPen = static_cast<CPen*>(GetStockObject(BLACK_PEN));
    auto whitePen = static_cast<CPen*>(GetStockObject(WHITE_PEN));
    if ((style & UGCT_CHECKBOX3DRECESS) != 0) {
        dc->SelectObject(&m_shadowPen);
        dc->MoveTo(l, b);
        dc->LineTo(l, t);
        dc->LineTo(r, t);
        dc->SelectObject(&m_lightPen);
        dc->LineTo(r, b);
        dc->LineTo(l, b);
        ++l, ++t, --r, --b;
        dc->SelectObject(&m_facePen);
        dc->MoveTo(l, b);
        dc->LineTo(r, b);
        dc->LineTo(r, t);
        dc->SelectObject(blackPen);
        dc->LineTo(l, t);
        dc->LineTo(l, b);
    } else if ((style & UGCT_CHECKBOX3DRAISED) != 0) {
        dc->SelectObject(&m_lightPen);
        dc->MoveTo(l, b);
        dc->LineTo(l, t);
        dc->LineTo(r, t);
        dc->SelectObject(blackPen);
        dc->LineTo(r, b);
        dc->LineTo(l, b);
        ++l, ++t, --r, --b;
        dc->SelectObject(&m_shadowPen);
        dc->MoveTo(l, b);
        dc->LineTo(r, b);
        dc->LineTo(r, t);
        dc->SelectObject(&m_facePen);
        dc->LineTo(l, t);
        dc->LineTo(l, b);
    } else if ((style & UGCT_CHECKBOXROUND) != 0) {
        dc->SelectObject(highlighted ? whitePen : blackPen);
        const POINT start{r, (t + b) / 2};
        dc->Arc(&box, start, start);
    } else {
        dc->SelectObject(highlighted ? whitePen : blackPen);
        dc->MoveTo(l, t);
        dc->LineTo(r, t);
        dc->LineTo(r, b);
        dc->LineTo(l, b);
        dc->LineTo(l, t);
    }
}

void CUGCheckBoxType::DrawMark(CDC* dc, RECT box, int style, int size, int value, bool highlighted)
{
    CPen* pen = static_cast<CPen*>(GetStockObject(highlighted ? WHITE_PEN : BLACK_PEN));
    if (value > 1)
        pen = &m_shadowPen;
    dc->SelectObject(pen);
    LONG& l = box.left;
    LONG& t = box.top;
    LONG& r = box.right;
    LONG& b = box.bottom;
    auto line = [dc](int x1, int y1, int x2, int y2) {
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y2);
    };
    if ((style & UGCT_CHECKBOXROUND) != 0) {
        r -= 2, b -= 2, l += 2, t += 2;
        CBrush shadowBrush;
        CBrush* brush = static_cast<CBrush*>(GetStockObject(highlighted ? WHITE_BRUSH : BLACK_BRUSH));
        if (value > 1) {
            shadowBrush.CreateSolidBrush(m_shadowPen.colour());
            brush = &shadowBrush;
        }
        CBrush* oldBrush = dc->SelectObject(brush);
        dc->Ellipse(&box);
        dc->SelectObject(oldBrush);
    } else if ((style & UGCT_CHECKBOXCHECKMARK) != 0) {
        dc->MoveTo(l + 2, b - 4);
        dc->LineTo(l + 4, b - 2);
        dc->LineTo(r + 3, t - 1);
        if (size > 9) {
            dc->MoveTo(l + 2, b - 5);
            dc->LineTo(l + 4, b - 3);
            dc->LineTo(r + 3, t - 2);
            line(l + 5, b - 2, r + 4, t - 1);
            line(l + 2, b - 6, l + 5, b - 3);
        }
    } else {
        r -= 2, b -= 2, l += 1, t += 1;
        line(l, t, r + 1, b + 1);
        line(l, b, r + 1, t - 1);
        if (size > 9) {
            line(l + 1, t, r + 1, b);
            line(l, b - 1, r, t - 1);
            line(l, t + 1, r, b + 1);
            line(l + 1, b, r + 1, t);
        }
    }
}

void CUGCheckBoxType::GetBestSize(CDC* dc, SIZE* size, CUGCell* cell)
{
    if (size == nullptr || cell == nullptr)
        return;
    if ((extended_style(cell) & UGCT_CHECKBOXUSEALIGN) != 0) {
        size->cx = 18;
        size->cy = 2;
        return;
    }
    CSize text(0, 0);
    const CString& label = cell->GetLabelText();
    if (dc != nullptr && cell->IsPropertySet(UGCELL_LABEL_SET) && !label.IsEmpty()) {
        CFont* font = cell->IsPropertySet(UGCELL_FONT_SET) ? cell->GetFont() : nullptr;
        if (font == nullptr && m_ctrl != nullptr && m_ctrl->m_GI != nullptr)
            font = m_ctrl->m_GI->m_defFont;
        CFont* oldFont = font != nullptr ? dc->SelectObject(font) : nullptr;
        RECT measured{0, 0, 0, 0};
        dc->DrawText(label, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        text = CSize(measured.right - measured.left, measured.bottom - measured.top);
        if (oldFont != nullptr)
            dc->SelectObject(oldFont);
    }
    size->cx = 18 + 6 + text.cx;
    size->cy = text.cy + 2;
}
