#include "grid/UGCellType.h"

#include "grid/UGCtrl.h"
#include "grid/UGDataSource.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"
#include "grid/UGPrint.h"
#include "grid/UGPtrList.h"
#include "grid/UGTheme.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/system_services.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {
constexpr GUID normal_type_id = {0x5c1d2f40, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x01}};

constexpr int ext_single_line = 1;
constexpr int ext_word_wrap = 2;
constexpr int ext_end_ellipsis = 4;
constexpr int ext_show_label = 8;
constexpr int ext_dimmed = 0x4000;
constexpr COLORREF dimmed_text_colour = RGB(140, 140, 140);

constexpr int border_left_1 = 0x1;
constexpr int border_top_1 = 0x2;
constexpr int border_right_1 = 0x4;
constexpr int border_bottom_1 = 0x8;
constexpr int border_recessed = 0x1000;
constexpr int border_raised = 0x2000;

// Edge 9 of DrawEdge: raised outer, sunken inner.
constexpr UINT heading_edge = BDR_RAISEDOUTER | BDR_SUNKENINNER;

int extended_style(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_CELLTYPEEX_SET) ? cell->GetCellTypeEx() : 0;
}

int theme_style(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_THEMESTYLE_SET) ? cell->GetThemeStyle() : UGTHEME_CELL;
}

int border_style(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_BORDERSTYLE_SET) ? static_cast<unsigned short>(cell->GetBorder()) : 0;
}

int theme_state(int current, int selected)
{
    int state = 0;
    if (current != 0)
        state |= UGTHEME_STATE_CURRENT;
    if (selected != 0)
        state |= UGTHEME_STATE_SELECTED;
    return state == 0 ? UGTHEME_STATE_NORMAL : state;
}

CFont* cell_font(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_FONT_SET) ? cell->GetFont() : nullptr;
}

CBitmap* cell_bitmap(const CUGCell* cell)
{
    return cell->IsPropertySet(UGCELL_BITMAP_SET) ? cell->GetBitmap() : nullptr;
}

bool has_text(CUGCell* cell)
{
    const char* text = cell->GetDisplayText();
    return text != nullptr && text[0] != '\0';
}

void line(CDC* dc, int fromX, int fromY, int toX, int toY)
{
    dc->MoveTo(fromX, fromY);
    dc->LineTo(toX, toY);
}
}  // namespace

bool UGSheetOverflowEnabled(const CUGGridInfo* sheet) { return sheet != nullptr && sheet->m_enableCellOverLap != 0; }
bool UGSheetDrawsGridLines(const CUGGridInfo* sheet) { return sheet != nullptr && sheet->m_switch1 != 0; }
bool UGSheetHighlightsCurrentCell(const CUGGridInfo* sheet) { return sheet != nullptr && (sheet->m_switch2 & 2) != 0; }
int UGSheetThreeDBorderWidth(const CUGGridInfo* sheet) { return sheet != nullptr ? sheet->m_switch3 : 1; }
int UGSheetTextMargin(const CUGGridInfo* sheet) { return sheet != nullptr ? sheet->m_countSetting : 4; }

bool UGCellQualifiesForOverflow(const CUGCell* cell, int typeCanOverflow)
{
    if (cell == nullptr || typeCanOverflow == 0 || extended_style(cell) != 0 || cell->IsPropertySet(UGCELL_JOIN_SET))
        return false;
    return cell->IsPropertySet(UGCELL_ALIGNMENT_SET) && (cell->GetAlignment() & UG_ALIGNLEFT) != 0;
}

CUGGridInfo* CUGCellType::Sheet() const { return m_ctrl != nullptr ? m_ctrl->m_GI : nullptr; }

CUGCellType* CUGCellType::TypeOfCell(const CUGCell* cell)
{
    if (m_ctrl == nullptr)
        return this;
    // Looked up here rather than through CUGCtrl::GetCellTypeAt, which reuses the control's
    // shared record that a caller may be drawing from.
    if (cell->IsPropertySet(UGCELL_CELLTYPE_SET)) {
        const int index = cell->GetCellType();
        if (index >= 1 && index < m_ctrl->m_cellTypeList->GetMaxCount()) {
            auto* type = static_cast<CUGCellType*>(m_ctrl->m_cellTypeList->GetPointer(index));
            if (type != nullptr)
                return type;
        }
    }
    return &m_ctrl->m_normalCellType;
}

const char* CUGCellType::ShownText(CUGCell* cell) const
{
    if (m_drawLabelText != 0 || (extended_style(cell) & ext_show_label) != 0)
        return cell->IsPropertySet(UGCELL_LABEL_SET) ? static_cast<const char*>(cell->GetLabelText()) : "";
    const char* text = cell->GetDisplayText();
    return text != nullptr ? text : "";
}

void CUGCellType::OnDraw(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    if (!m_themeChoiceFixed)
        m_useThemes = cell->GetMergeWord() != 0;
    if (dc->IsPrinting()) {
        OnDrawPrinted(dc, rect, col, row, cell, selected, current);
        return;
    }
    CUGGridInfo* sheet = Sheet();
    auto redrawNext = [&] {
        if (m_ctrl != nullptr && m_ctrl->m_CUGGrid != nullptr && col >= 0 && col + 1 < sheet->m_numberCols)
            m_ctrl->m_CUGGrid->AddToRedrawList(col + 1, static_cast<int>(row), col + 1, static_cast<int>(row));
    };
    if (UGSheetOverflowEnabled(sheet) && UGCellQualifiesForOverflow(cell, m_canOverflow)) {
        if (!has_text(cell)) {
            CUGCell source;
            int sourceCol = col;
            const int offset = GetOverflowOffset(dc, col, row, &sourceCol, &source);
            if (offset != 0) {
                DrawBorder(dc, rect, rect, cell);
                DrawText(dc, rect, offset, col, row, &source, selected, current);
                redrawNext();
                return;
            }
        } else {
            redrawNext();
        }
    }
    DrawBorder(dc, rect, rect, cell);
    DrawText(dc, rect, 0, col, row, cell, selected, current);
}

int CUGCellType::GetOverflowOffset(CDC* dc, int col, long row, int* sourceCol, CUGCell* sourceCell)
{
    CUGGridInfo* sheet = Sheet();
    if (!UGSheetOverflowEnabled(sheet) || col <= 0 || row < 0 || col >= sheet->m_numberCols)
        return 0;
    const bool printing = dc != nullptr && dc->IsPrinting();
    if (!printing)
        m_printScale = 1.0;
    CUGDataSource* source = sheet->m_defDataSource;
    int found = col;
    if (source == nullptr || source->GetPrevNonBlankCol(&found, static_cast<int>(row)) != 0)
        return 0;
    if (found < 0 || found >= col)
        return 0;

    CUGCell scratch;
    CUGCell* target = sourceCell != nullptr ? sourceCell : &scratch;
    m_ctrl->GetCell(found, static_cast<int>(row), target);
    const int sourceWidth = UGColumnWidth(*sheet, found);
    SIZE best{sourceWidth, UGRowHeight(*sheet, static_cast<int>(row))};
    CUGCellType* type = TypeOfCell(target);
    type->GetBestSize(dc, &best, target);
    if (best.cx <= sourceWidth || !UGCellQualifiesForOverflow(target, type->CanOverflow()))
        return 0;

    int sum = 0;
    for (int c = found; c < col; ++c) {
        sum += UGColumnWidth(*sheet, c);
        // The text ends before the drawn column.
        if (sum > best.cx)
            return 0;
    }
    if (sourceCol != nullptr)
        *sourceCol = found;
    return printing ? -static_cast<int>(std::lround(sum * m_printScale)) : -sum;
}

void CUGCellType::DrawBorder(CDC* dc, RECT* rect, RECT* inner, CUGCell* cell)
{
    if (rect == nullptr || inner == nullptr)
        return;
    const RECT r = *rect;
    const int style = cell != nullptr ? border_style(cell) : 0;
    if (dc == nullptr || cell == nullptr) {
        *inner = r;
        return;
    }
    if (m_useThemes &&
        CUGThemes::DrawThemedEdge(dc->GetSafeHdc(), theme_style(cell), UGTHEME_STATE_NORMAL, &r, style, BF_RECT, inner)) {
        *inner = r;
        return;
    }

    CUGGridInfo* sheet = Sheet();
    CPen* gridPen = sheet != nullptr ? sheet->m_gridLinePen : nullptr;
    CPen* borderPen = cell->IsPropertySet(UGCELL_BORDER_SET) && cell->GetBorderColor() != nullptr
                          ? cell->GetBorderColor()
                          : gridPen;
    const bool gridLines = UGSheetDrawsGridLines(sheet) && gridPen != nullptr;
    if (style == 0 && !gridLines) {
        *inner = r;
        return;
    }
    CPen* oldPen = borderPen != nullptr ? dc->SelectObject(borderPen) : dc->GetCurrentPen();
    auto usePen = [&](CPen* pen) {
        if (pen != nullptr)
            dc->SelectObject(pen);
    };

    int left = 0, top = 0, right = 0, bottom = 0;
    const bool threeD = (style & (border_recessed | border_raised)) != 0;
    if (gridLines && !threeD) {
        usePen(gridPen);
        if ((style & border_right_1) == 0) {
            line(dc, r.right - 1, r.top, r.right - 1, r.bottom);
            right = 1;
        }
        if ((style & border_bottom_1) == 0) {
            line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
            bottom = 1;
        }
    }
    usePen(borderPen);
    // Each side in 1, 2 and 3 pixel widths: bits 0-3, 4-7 and 8-11.
    for (int width = 1; width <= 3; ++width) {
        const int bits = style >> ((width - 1) * 4);
        for (int i = 0; i < width; ++i) {
            if ((bits & border_left_1) != 0)
                line(dc, r.left + i, r.top, r.left + i, r.bottom);
            if ((bits & border_top_1) != 0)
                line(dc, r.left, r.top + i, r.right, r.top + i);
            if ((bits & border_right_1) != 0)
                line(dc, r.right - 1 - i, r.top, r.right - 1 - i, r.bottom);
            if ((bits & border_bottom_1) != 0)
                line(dc, r.left, r.bottom - 1 - i, r.right, r.bottom - 1 - i);
        }
        if ((bits & border_left_1) != 0)
            left = std::max(left, width);
        if ((bits & border_top_1) != 0)
            top = std::max(top, width);
        if ((bits & border_right_1) != 0)
            right = std::max(right, width);
        if ((bits & border_bottom_1) != 0)
            bottom = std::max(bottom, width);
    }

    if (threeD) {
        CPen localLight, localDark;
        CPen* light = m_ctrl != nullptr ? &m_ctrl->m_threeDLightPen : &localLight;
        CPen* dark = m_ctrl != nullptr ? &m_ctrl->m_threeDDarkPen : &localDark;
        if (m_ctrl == nullptr) {
            localLight.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
            localDark.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        }
        const int width = UGSheetThreeDBorderWidth(Sheet());
        auto drawEdge = [&](CPen* first, CPen* second) {
            for (int i = 0; i < width; ++i) {
                dc->SelectObject(first);
                dc->MoveTo(r.left + i, r.bottom - 1 - i);
                dc->LineTo(r.left + i, r.top + i);
                dc->LineTo(r.right - 1 - i, r.top + i);
                dc->SelectObject(second);
                dc->MoveTo(r.right - 1 - i, r.top + i);
                dc->LineTo(r.right - 1 - i, r.bottom - 1 - i);
                dc->LineTo(r.left + i, r.bottom - 1 - i);
            }
        };
        if ((style & border_recessed) != 0)
            drawEdge(dark, light);
        if ((style & border_raised) != 0)
            drawEdge(light, dark);
        left = std::max(left, width);
        top = std::max(top, width);
        right = std::max(right, width);
        bottom = std::max(bottom, width);
    }
    if (oldPen != nullptr)
        dc->SelectObject(oldPen);
    *inner = RECT{r.left + left, r.top + top, r.right - right, r.bottom - bottom};
}

void CUGCellType::DrawText(CDC* dc, RECT* rect, int offset, int col, long row, CUGCell* cell, int selected,
                           int current)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    CUGGridInfo* sheet = Sheet();
    const RECT themedRect{rect->left + offset, rect->top + offset, rect->right - offset, rect->bottom - offset};
    const int state = theme_state(current, selected);
    const int style = theme_style(cell);
    const int extended = extended_style(cell);
    // A line break or tab in a value (a file name may hold one) would draw past the cell's
    // bottom: shown as "?", as a terminal lists such names.
    std::string single_line = ShownText(cell);
    std::replace_if(single_line.begin(), single_line.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; },
                    '?');
    const char* text = single_line.c_str();
    const int length = static_cast<int>(single_line.size());

    CFont* font = cell_font(cell);
    CFont* oldFont = font != nullptr ? dc->SelectObject(font) : nullptr;

    COLORREF textColour = cell->IsPropertySet(UGCELL_TEXTCOLOR_SET) ? cell->GetTextColor() : GetSysColor(COLOR_WINDOWTEXT);
    COLORREF backColour = cell->IsPropertySet(UGCELL_BACKCOLOR_SET) ? cell->GetBackColor() : GetSysColor(COLOR_WINDOW);
    const bool highlighted =
        (extended & ext_dimmed) == 0 && (selected != 0 || (current != 0 && UGSheetHighlightsCurrentCell(sheet)));
    if ((extended & ext_dimmed) != 0) {
        textColour = dimmed_text_colour;
    } else if (highlighted) {
        textColour = cell->IsPropertySet(UGCELL_HTEXTCOLOR_SET) ? cell->GetHTextColor() : GetSysColor(COLOR_HIGHLIGHTTEXT);
        backColour = cell->IsPropertySet(UGCELL_HBACKCOLOR_SET) ? cell->GetHBackColor() : GetSysColor(COLOR_HIGHLIGHT);
    }
    dc->SetTextColor(textColour);

    const bool themingAvailable = m_useThemes && CUGThemes::IsThemingAvailable();
    if (!(style == UGTHEME_BUTTON && themingAvailable))
        DrawBackground(dc, rect, backColour, row, col, cell, current, selected);

    RECT r = *rect;
    if (CBitmap* bitmap = cell_bitmap(cell)) {
        RECT place = r;
        if (offset != 0) {
            // Only an overflowing text brings an offset; its source's bitmap stays inside the cell.
            place.left += offset;
            dc->SaveDC();
            dc->IntersectClipRect(rect);
            const int used = DrawBitmap(dc, bitmap, &place, backColour);
            dc->RestoreDC(-1);
            offset += used;
        } else {
            r.left += DrawBitmap(dc, bitmap, &place, backColour);
        }
    }

    const int margin = UGSheetTextMargin(sheet);
    const int align = cell->IsPropertySet(UGCELL_ALIGNMENT_SET) ? cell->GetAlignment() : 0;
    const CSize extent = dc->GetTextExtent(text, length);
    int x = 0;
    if ((align & UG_ALIGNCENTER) != 0)
        x = r.left + (r.right - r.left - extent.cx) / 2;
    else if ((align & UG_ALIGNRIGHT) != 0)
        x = r.right - margin - extent.cx;
    else
        x = r.left + margin + offset;
    int y = 0;
    if ((align & UG_ALIGNVCENTER) != 0)
        y = r.top + (r.bottom - r.top - extent.cy) / 2;
    else if ((align & UG_ALIGNBOTTOM) != 0)
        y = r.bottom - extent.cy - 1;
    else
        y = r.top + 1;
    if (offset < 0)
        r.left -= 1;

    const HDC hdc = dc->GetSafeHdc();
    if ((extended & (ext_word_wrap | ext_end_ellipsis)) == 0) {
        UINT format = DT_NOPREFIX;
        if ((align & UG_ALIGNBOTTOM) != 0)
            format |= DT_SINGLELINE | DT_BOTTOM;
        const RECT origin{x, y, themedRect.right, themedRect.bottom};
        if (!(themingAvailable && CUGThemes::DrawThemedText(hdc, style, state, text, length, format, &origin)))
            dc->ExtTextOut(x, y, ETO_CLIPPED, &r, text, static_cast<UINT>(length));
    } else if ((extended & ext_word_wrap) != 0) {
        UINT format = DT_NOPREFIX | DT_WORDBREAK;
        if ((align & UG_ALIGNCENTER) != 0)
            format |= DT_CENTER;
        else if ((align & UG_ALIGNRIGHT) != 0)
            format |= DT_RIGHT;
        RECT area = r;
        if ((align & (UG_ALIGNRIGHT | UG_ALIGNCENTER)) != 0)
            area.right -= margin + offset;
        if ((align & UG_ALIGNRIGHT) == 0)
            area.left += margin + offset;
        if ((align & (UG_ALIGNBOTTOM | UG_ALIGNVCENTER)) != 0) {
            RECT measured = area;
            dc->DrawText(text, length, &measured, format | DT_CALCRECT);
            const int height = measured.bottom - measured.top;
            if ((align & UG_ALIGNBOTTOM) != 0)
                area.top = area.bottom - height;
            else
                area.top = area.top + (area.bottom - area.top - height) / 2;
        }
        if (!(m_useThemes && CUGThemes::DrawThemedText(hdc, style, state, text, length, format, &area)))
            dc->DrawText(text, length, &area, format);
    } else {
        RECT area = r;
        area.left += 3;
        area.top = y;
        const UINT format = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE;
        if (!(m_useThemes && CUGThemes::DrawThemedText(hdc, style, state, text, length, format, &area)))
            dc->DrawText(text, length, &area, format);
    }

    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
}

void CUGCellType::DrawBackground(CDC* dc, RECT* rect, COLORREF back, long row, int col, CUGCell* cell, int current,
                                 int selected)
{
    if (dc == nullptr || rect == nullptr)
        return;
    if (cell != nullptr && m_useThemes) {
        RECT area = *rect;
        CUGGridInfo* sheet = Sheet();
        // The overflow search costs a cell read and a measure; with the service switched off
        // nothing themed is drawn, so it is skipped.
        if (row != -1 && col != -1 && sheet != nullptr && CUGThemes::UseThemes()) {
            int sourceCol = col;
            CUGCell source;
            if (GetOverflowOffset(dc, col, row, &sourceCol, &source) != 0 && sourceCol != col)
                for (int c = sourceCol; c < col; ++c)
                    area.left -= UGColumnWidth(*sheet, c);
        }
        const int style = theme_style(cell);
        const int state = theme_state(current, selected);
        BOOL drawn = CUGThemes::DrawThemedBackground(dc->GetSafeHdc(), style, state, &area);
        if (drawn) {
            if (style == UGTHEME_TOP_HEADING || style == UGTHEME_SIDE_HEADING || style == UGTHEME_HEADING_DEFAULT)
                drawn = dc->DrawEdge(&area, heading_edge, BF_TOP | BF_RIGHT);
            else
                CUGThemes::DrawThemedEdge(dc->GetSafeHdc(), style, state, &area, border_style(cell), 0, nullptr);
        }
        if (drawn)
            return;
    }
    CBrush brush;
    brush.CreateSolidBrush(back);
    dc->FillRect(rect, &brush);
    dc->SetBkMode(TRANSPARENT);
}

int CUGCellType::DrawBitmap(CDC* dc, CBitmap* bitmap, RECT* rect, COLORREF back)
{
    if (dc == nullptr || bitmap == nullptr || rect == nullptr)
        return 0;
    BITMAP info{};
    if (bitmap->GetBitmap(&info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
        return 0;
    const bool printing = dc->IsPrinting();
    int margin = 2;
    int bitmapWidth = info.bmWidth;
    int bitmapHeight = info.bmHeight;
    if (printing) {
        margin = static_cast<int>(std::lround(2 * m_printScale));
        bitmapWidth = static_cast<int>(bitmapWidth * m_printScale);
        bitmapHeight = static_cast<int>(bitmapHeight * m_printScale);
        if (bitmapWidth <= 0 || bitmapHeight <= 0)
            return 0;
    }
    const int height = rect->bottom - rect->top;
    const int width = rect->right - rect->left;
    int h = height - 4;
    int w = bitmapWidth * ((height - 4) * 100 / bitmapHeight) / 100;
    const bool stretched = bitmapHeight > height - 2 * margin;
    if (!stretched) {
        h = bitmapHeight;
        w = bitmapWidth;
    }
    const int unclipped = w;
    w = std::min(w, width - 2 * margin);
    if (w <= 0 || h <= 0)
        return 2 * margin + std::max(w, 0);

    if (!(m_useThemes && CUGThemes::IsThemingAvailable())) {
        dc->SetBkColor(back);
        RECT strip{rect->left, rect->top, rect->left + 2 * margin + w, rect->bottom};
        DrawBackground(dc, &strip, back, 0, 0, nullptr, 0, 0);
    }

    CDC memory;
    if (!memory.CreateCompatibleDC(dc))
        return 2 * margin + w;
    CBitmap* old = memory.SelectObject(bitmap);
    // A bitmap narrower than its scaled width is cut at the right, so it keeps its proportions.
    const int sourceWidth = unclipped > 0 ? info.bmWidth * w / unclipped : info.bmWidth;
    if (stretched || printing) {
        const int top = printing ? rect->top + (height - h) / 2 : rect->top + margin;
        dc->StretchBlt(rect->left + margin, top, w, h, &memory, 0, 0, sourceWidth, info.bmHeight, SRCCOPY);
    } else {
        dc->BitBlt(rect->left + margin, rect->top + (height - h) / 2, w, h, &memory, 0, 0, SRCCOPY);
    }
    memory.SelectObject(old);
    memory.DeleteDC();
    return 2 * margin + w;
}

void CUGCellType::GetBestSize(CDC* dc, SIZE* size, CUGCell* cell)
{
    if (dc == nullptr || size == nullptr || cell == nullptr)
        return;
    CFont* font = cell_font(cell);
    if (font == nullptr && Sheet() != nullptr)
        font = Sheet()->m_defFont;
    CFont* oldFont = font != nullptr ? dc->SelectObject(font) : nullptr;

    int bitmapWidth = 0;
    if (CBitmap* bitmap = cell_bitmap(cell)) {
        BITMAP info{};
        if (bitmap->GetBitmap(&info) != 0 && info.bmHeight > 0 && size->cy > 0)
            bitmapWidth = static_cast<int>(static_cast<long long>(info.bmWidth) * size->cy / info.bmHeight);
    }
    const char* text = ShownText(cell);
    if (text[0] != '\0') {
        const int extended = extended_style(cell);
        // Measured without prefix handling, as it is drawn: a "&" in a name takes its width.
        UINT format = DT_CALCRECT | DT_NOPREFIX;
        if (extended == 0 || (extended & ext_single_line) != 0)
            format |= DT_SINGLELINE;
        if ((extended & ext_end_ellipsis) != 0)
            format |= DT_END_ELLIPSIS;
        RECT measured{0, 0, size->cx, size->cy};
        dc->DrawText(text, static_cast<int>(std::strlen(text)), &measured, format);
        size->cx = bitmapWidth + 6 + (measured.right - measured.left);
        size->cy = (measured.bottom - measured.top) + 2;
    } else {
        size->cx = bitmapWidth + 6;
        size->cy = 2;
    }
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
}

void CUGCellType::OnPrint(CDC* dc, RECT* rect, int col, long row, CUGCell* cell)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    CUGGridInfo* sheet = Sheet();
    int rowHeight = 0;
    if (sheet != nullptr) {
        rowHeight = row >= 0 ? UGRowHeight(*sheet, static_cast<int>(row))
                             : (-row <= sheet->m_numberTopHdgRows ? sheet->m_topHdgHeights[-row - 1] : 0);
        if (sheet->m_enableJoins != 0 && cell->IsPropertySet(UGCELL_JOIN_SET)) {
            int origin = 0, joinCol = 0, joinRow = 0;
            cell->GetJoinInfo(&origin, &joinCol, &joinRow);
            if (origin != 0 && joinRow > 0)
                rowHeight /= joinRow + 1;
        }
        if (col < 0 && row < 0 && sheet->m_numberTopHdgRows > 0)
            rowHeight /= sheet->m_numberTopHdgRows;
    }
    const double scale = rowHeight > 0 ? static_cast<double>(rect->bottom - rect->top) / rowHeight : 1.0;

    CFont* original = cell_font(cell);
    CFont* source = original != nullptr ? original : (sheet != nullptr ? sheet->m_defFont : nullptr);
    const std::uint32_t flags = cell->GetPropertyFlags();
    CFont scaled;
    if (source != nullptr) {
        LOGFONTA description{};
        source->GetLogFont(&description);
        description.lfHeight = static_cast<LONG>(description.lfHeight * scale);
        if (scaled.CreateFontIndirect(&description))
            cell->SetFont(&scaled);
    }
    OnDraw(dc, rect, col, row, cell, 0, 0);
    RECT inner{};
    DrawBorder(dc, rect, &inner, cell);
    cell->SetFont(original);
    cell->SetPropertyFlags(flags);
    scaled.DeleteObject();
}

void CUGCellType::OnDrawPrinted(CDC* dc, RECT* rect, int col, long row, CUGCell* cell, int selected, int current)
{
    if (dc == nullptr || rect == nullptr || cell == nullptr)
        return;
    CUGGridInfo* sheet = Sheet();
    if (m_ctrl != nullptr && m_ctrl->m_CUGPrint != nullptr)
        m_printScale = m_ctrl->m_CUGPrint->GetScale();
    const bool qualifies = UGCellQualifiesForOverflow(cell, m_canOverflow);
    if (UGSheetOverflowEnabled(sheet) && qualifies && !has_text(cell)) {
        int sourceCol = col;
        CUGCell source;
        if (GetOverflowOffset(dc, col, row, &sourceCol, &source) != 0)
            return;
    }
    CFont* font = cell_font(cell);
    CFont* oldFont = font != nullptr ? dc->SelectObject(font) : nullptr;
    const char* text = cell->GetDisplayText();
    SIZE extent{};
    if (text != nullptr)
        GetTextExtentPoint32A(dc->GetSafeHdc(), text, static_cast<int>(std::strlen(text)), &extent);
    if (extent.cx > 0)
        extent.cx += static_cast<int>(UGSheetTextMargin(sheet) * m_printScale);
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);

    RECT area = *rect;
    // The page layout of the print settings is not kept here; following columns are taken in
    // grid order up to the last column.
    if (sheet != nullptr && col >= 0 && row >= 0 && qualifies &&
        extent.cx > static_cast<int>(UGColumnWidth(*sheet, col) * m_printScale)) {
        CUGCell next;
        for (int c = col + 1; c < sheet->m_numberCols && area.right - area.left <= extent.cx; ++c) {
            m_ctrl->GetCell(c, static_cast<int>(row), &next);
            if (has_text(&next))
                break;
            area.right += static_cast<int>(UGColumnWidth(*sheet, c) * m_printScale);
        }
    }
    RECT inner{};
    DrawBorder(dc, &area, &inner, cell);
    DrawText(dc, &inner, 0, col, row, cell, selected, current);
}

const char* CUGCellType::GetName() { return "Normal Cell Type (default)"; }
const GUID* CUGCellType::GetTypeId() { return &normal_type_id; }
int CUGCellType::GetEditArea(RECT*) { return 0; }
int CUGCellType::OnLClicked(int, long, int, RECT*, POINT*) { return 0; }
int CUGCellType::OnRClicked(int, long, int, RECT*, POINT*) { return 0; }
int CUGCellType::OnDClicked(int, long, RECT*, POINT*) { return 0; }
int CUGCellType::OnKeyDown(int, long, UINT*) { return 0; }
int CUGCellType::OnKeyUp(int, long, UINT*) { return 0; }
int CUGCellType::OnCharDown(int, long, UINT*) { return 0; }
int CUGCellType::OnMouseMove(int, long, POINT*, UINT) { return 0; }
int CUGCellType::DrawFocusFrame(CDC*, RECT*, int, long, CUGCell*) { return 0; }
void CUGCellType::OnSetFocus(int, long, CUGCell*) {}
void CUGCellType::OnKillFocus(int, long, CUGCell*) {}
void CUGCellType::OnChangingCellWidth(int, long, int*) {}
void CUGCellType::OnChangedCellWidth(int, long, int*) {}
void CUGCellType::OnChangedCellHeight(int, long, int*) {}
void CUGCellType::OnChangingCellHeight(int, long, int*) {}
void CUGCellType::OnScrolled(int, long, CUGCell*) {}
int CUGCellType::OnSystemColorChange() { return 0; }
int CUGCellType::OnMessage(LPARAM) { return 0; }

BOOL CUGCellType::ForwardToGrid(long typeId, int col, long row, long code, LONG_PTR param)
{
    if (m_ctrl == nullptr)
        return FALSE;
    return m_ctrl->OnCellTypeNotify(typeId, col, row, code, param);
}
