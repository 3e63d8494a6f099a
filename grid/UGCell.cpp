#include "grid/UGCell.h"

#include "platform/base/locale_format.h"
#include "platform/base/system_services.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include <locale.h>
#include <stdlib.h>

namespace {

// Conversions follow the classic rules even when the toolkit has switched LC_NUMERIC.
locale_t ClassicLocale()
{
    static locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return classic;
}

std::string FormatFixed(double value, int decimals)
{
    char buffer[400];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return std::string();
    return std::string(buffer, result.ptr);
}

// The number in fixed notation rounded to 15 significant digits, so that binary noise stays out
// of the text (0.1 shows as typed, 1e23 as 1 and zeros). There is always a '.', which the zero
// trimming of the display text stops at; at most 20 decimals are written.
std::string SignificantFixed(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return FormatFixed(value, 1);
    char buffer[64];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);
    const size_t exponentAt = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + exponentAt + 1);
    if (exponent < -6)
        return FormatFixed(value, 20);
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < exponentAt; ++i) {
        if (scientific[i] != '.')
            digits += scientific[i];
    }
    std::string integerPart, fraction;
    if (exponent >= 0) {
        const size_t integerDigits = static_cast<size_t>(exponent) + 1;
        integerPart = digits.substr(0, std::min(integerDigits, digits.size()));
        if (integerDigits > digits.size())
            integerPart.append(integerDigits - digits.size(), '0');
        else
            fraction = digits.substr(integerDigits);
    } else {
        integerPart = "0";
        fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    if (fraction.empty())
        fraction = "0";
    return (negative ? "-" : "") + integerPart + "." + fraction;
}

void TrimLeft(std::string& text, char c)
{
    const size_t first = text.find_first_not_of(c);
    text.erase(0, first == std::string::npos ? text.size() : first);
}

void TrimRight(std::string& text, char c)
{
    const size_t last = text.find_last_not_of(c);
    text.erase(last == std::string::npos ? 0 : last + 1);
}

std::string LocaleText(LCTYPE type, int size)
{
    std::string buffer(static_cast<size_t>(size), '\0');
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, &buffer[0], size) == 0)
        return std::string();
    return std::string(buffer.c_str());
}

unsigned int LocaleNumber(LCTYPE type)
{
    return static_cast<unsigned int>(std::atoi(LocaleText(type, 16).c_str()));
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

}  // namespace

CUGCell::CUGCell()
{
    ResetProperties();
    ResetDrawingProperties();
}

CUGCell::~CUGCell()
{
    ResetProperties();
}

int CUGCell::ResetProperties()
{
    m_propertyFlags = UGCELL_DATATYPE_SET | UGCELL_TEXTCOLOR_SET | UGCELL_BACKCOLOR_SET |
                      UGCELL_HTEXTCOLOR_SET | UGCELL_HBACKCOLOR_SET | UGCELL_ALIGNMENT_SET |
                      UGCELL_THEMESTYLE_SET;
    m_text = "";
    m_label = "";
    m_mask = "";
    m_param = -1;
    m_format = nullptr;
    m_cellStyle = nullptr;
    m_extraMem = nullptr;
    m_number = 0.0;
    m_decimals = 0;
    m_dataType = UGCELLDATA_STRING;
    m_readOnly = 0;
    m_textColor = GetSysColor(COLOR_WINDOWTEXT);
    m_backColor = GetSysColor(COLOR_WINDOW);
    m_highlightTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_highlightBackColor = GetSysColor(COLOR_HIGHLIGHT);
    m_alignment = UG_ALIGNLEFT;
    m_themeStyle = 16;
    return 0;
}

void CUGCell::ClearAll()
{
    ResetProperties();
    ResetDrawingProperties();
}

void CUGCell::ResetDrawingProperties()
{
    m_cellType = -1;
    m_cellTypeEx = -1;
    m_borderStyle = 0;
    m_borderPen = nullptr;
    m_font = nullptr;
    m_bitmap = nullptr;
    m_joinOrigin = 0;
    m_joinRow = -1;
    m_joinCol = -1;
    m_transientByte = 0;
    m_transientInt = 0;
}

int CUGCell::CopySetPropertiesTo(int, const CUGCell* source, CUGCell* target)
{
    if (source == nullptr || target == nullptr || source == target)
        return 0;
    const std::uint32_t flags = source->m_propertyFlags;
    target->m_mergeWord = source->m_mergeWord;
    target->m_extraMem = source->m_extraMem;
    target->m_propertyFlags |= flags;

    if (flags & UGCELL_TEXT_SET) {
        target->m_text = source->m_text;
        target->m_number = source->m_number;
    }
    if (flags & UGCELL_MASK_SET)
        target->m_mask = source->m_mask;
    if (flags & UGCELL_LABEL_SET)
        target->m_label = source->m_label;
    if (flags & UGCELL_FORMAT_SET)
        target->m_format = source->m_format;
    if (flags & UGCELL_STYLE_SET)
        target->m_cellStyle = source->m_cellStyle;
    if (flags & UGCELL_DATATYPE_SET)
        target->m_dataType = source->m_dataType;
    if (flags & UGCELL_PARAM_SET)
        target->m_param = source->m_param;
    if (flags & UGCELL_CELLTYPE_SET)
        target->m_cellType = source->m_cellType;
    if (flags & UGCELL_CELLTYPEEX_SET)
        target->m_cellTypeEx = source->m_cellTypeEx;
    if (flags & UGCELL_TEXTCOLOR_SET)
        target->m_textColor = source->m_textColor;
    if (flags & UGCELL_BACKCOLOR_SET)
        target->m_backColor = source->m_backColor;
    if (flags & UGCELL_HTEXTCOLOR_SET)
        target->m_highlightTextColor = source->m_highlightTextColor;
    if (flags & UGCELL_HBACKCOLOR_SET)
        target->m_highlightBackColor = source->m_highlightBackColor;
    if (flags & UGCELL_BORDERSTYLE_SET)
        target->m_borderStyle = source->m_borderStyle;
    if (flags & UGCELL_BORDER_SET)
        target->m_borderPen = source->m_borderPen;
    if (flags & UGCELL_FONT_SET)
        target->m_font = source->m_font;
    if (flags & UGCELL_BITMAP_SET)
        target->m_bitmap = source->m_bitmap;
    if (flags & UGCELL_ALIGNMENT_SET)
        target->m_alignment = source->m_alignment;
    if (flags & UGCELL_THEMESTYLE_SET)
        target->m_themeStyle = source->m_themeStyle;
    if (flags & UGCELL_DATABLOB_SET) {
        target->m_dataBlob = source->m_dataBlob;
        target->m_dataBlobLength = source->m_dataBlobLength;
    } else {
        target->m_dataBlob = nullptr;
    }
    if (flags & UGCELL_JOIN_SET) {
        target->m_joinOrigin = source->m_joinOrigin;
        target->m_joinRow = source->m_joinRow;
        target->m_joinCol = source->m_joinCol;
    }
    if (flags & UGCELL_NUMBERDEC_SET)
        target->m_decimals = source->m_decimals;
    if (flags & UGCELL_READONLY_SET)
        target->m_readOnly = source->m_readOnly;
    return 0;
}

void CUGCell::ClearBlob()
{
    delete m_extraMem;
    m_extraMem = nullptr;
    m_propertyFlags &= ~UGCELL_DATABLOB_SET;
    delete[] m_dataBlob;
    m_dataBlob = nullptr;
    m_dataBlobLength = 0;
}

int CUGCell::SetTextValue(const char* text)
{
    m_text = text != nullptr ? text : "";
    m_dataType = UGCELLDATA_STRING;
    if (m_text.IsEmpty())
        m_propertyFlags &= ~UGCELL_TEXT_SET;
    else
        m_propertyFlags |= UGCELL_TEXT_SET | UGCELL_DATATYPE_SET;
    return 0;
}

int CUGCell::SetNumber(double value)
{
    m_text = "";
    m_propertyFlags |= UGCELL_TEXT_SET | UGCELL_DATATYPE_SET;
    m_dataType = UGCELLDATA_NUMBER;
    m_number = value;
    return 0;
}

double CUGCell::GetNumber()
{
    if (!(m_propertyFlags & UGCELL_TEXT_SET))
        return 0.0;
    if (m_dataType == UGCELLDATA_NUMBER || m_dataType == UGCELLDATA_TIME || m_dataType == UGCELLDATA_CURRENCY)
        return m_number;
    double number = 0.0;
    ParseNumber(0, &m_text, &number);
    return number;
}

int CUGCell::ParseNumber(int, const CString* text, double* number)
{
    if (text == nullptr || number == nullptr)
        return 1;
    std::string digits(text->GetString());
    ReplaceAll(digits, LocaleText(LOCALE_STHOUSAND, 16), "");
    ReplaceAll(digits, LocaleText(LOCALE_SCURRENCY, 6), "");
    ReplaceAll(digits, LocaleText(LOCALE_SDECIMAL, 16), ".");
    *number = strtod_l(digits.c_str(), nullptr, ClassicLocale());
    return 0;
}

const char* CUGCell::GetDisplayText()
{
    if (!(m_propertyFlags & UGCELL_TEXT_SET))
        return nullptr;
    if (m_dataType != UGCELLDATA_NUMBER)
        return m_text.GetString();

    const bool fixedDecimals = (m_propertyFlags & UGCELL_NUMBERDEC_SET) != 0;
    // Negative or huge decimal counts would make no sensible text.
    const int decimals = m_decimals < 0 ? 0 : (m_decimals > 20 ? 20 : m_decimals);
    std::string text;
    if (fixedDecimals) {
        text = FormatFixed(m_number, decimals);
    } else {
        text = SignificantFixed(m_number);
        TrimRight(text, '0');
        TrimLeft(text, '0');
        TrimRight(text, '0');
    }
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    // A value that rounds to nothing shows no sign.
    if (text.find_first_of("123456789") == std::string::npos)
        TrimLeft(text, '-');
    if (text.empty())
        text = "0";

    if (!(m_propertyFlags & UGCELL_DONOT_LOCALIZE)) {
        const std::string decimalSep = LocaleText(LOCALE_SDECIMAL, 16);
        const std::string thousandSep = LocaleText(LOCALE_STHOUSAND, 16);
        const size_t point = text.rfind('.');
        NUMBERFMTA format;
        format.NumDigits = fixedDecimals ? static_cast<unsigned int>(decimals)
                                         : (point == std::string::npos ? 0 : static_cast<unsigned int>(text.size() - point - 1));
        format.LeadingZero = LocaleNumber(LOCALE_ILZERO);
        format.Grouping = 3;
        format.lpDecimalSep = const_cast<char*>(decimalSep.c_str());
        format.lpThousandSep = const_cast<char*>(thousandSep.c_str());
        format.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER);
        char buffer[256];
        if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, text.c_str(), &format, buffer, sizeof buffer) != 0)
            text = buffer;
        else
            ReplaceAll(text, ".", decimalSep);
    }
    m_text = text.c_str();
    return m_text.GetString();
}

void CUGCell::SetLabelText(const char* label)
{
    m_label = label != nullptr ? label : "";
    m_propertyFlags |= UGCELL_LABEL_SET;
}

void CUGCell::SetMask(const char* mask)
{
    m_mask = mask != nullptr ? mask : "";
    m_propertyFlags |= UGCELL_MASK_SET;
}

void CUGCell::SetDataType(short type)
{
    m_dataType = type;
    m_propertyFlags |= UGCELL_DATATYPE_SET;
}

void CUGCell::SetReadOnly(int readOnly)
{
    m_readOnly = readOnly;
    m_propertyFlags |= UGCELL_READONLY_SET;
}

void CUGCell::SetParam(int param)
{
    m_param = param;
    m_propertyFlags |= UGCELL_PARAM_SET;
}

void CUGCell::SetNumberDecimals(int decimals)
{
    m_decimals = decimals;
    m_propertyFlags |= UGCELL_NUMBERDEC_SET;
}

void CUGCell::SetCellType(int index)
{
    m_cellType = index;
    m_propertyFlags |= UGCELL_CELLTYPE_SET;
}

void CUGCell::SetCellTypeEx(int style)
{
    m_cellTypeEx = style;
    m_propertyFlags |= UGCELL_CELLTYPEEX_SET;
}

void CUGCell::SetTextColor(COLORREF color)
{
    m_textColor = color;
    m_propertyFlags |= UGCELL_TEXTCOLOR_SET;
}

void CUGCell::SetBackColor(COLORREF color)
{
    m_backColor = color;
    m_propertyFlags |= UGCELL_BACKCOLOR_SET;
}

void CUGCell::SetHTextColor(COLORREF color)
{
    m_highlightTextColor = color;
    m_propertyFlags |= UGCELL_HTEXTCOLOR_SET;
}

void CUGCell::SetHBackColor(COLORREF color)
{
    m_highlightBackColor = color;
    m_propertyFlags |= UGCELL_HBACKCOLOR_SET;
}

void CUGCell::SetBorder(short style)
{
    m_borderStyle = style;
    m_propertyFlags |= UGCELL_BORDERSTYLE_SET;
}

void CUGCell::SetBorderColor(CPen* pen)
{
    m_borderPen = pen;
    m_propertyFlags |= UGCELL_BORDER_SET;
}

void CUGCell::SetFont(CFont* font)
{
    m_font = font;
    m_propertyFlags |= UGCELL_FONT_SET;
}

void CUGCell::SetBitmap(CBitmap* bitmap)
{
    m_bitmap = bitmap;
    m_propertyFlags |= UGCELL_BITMAP_SET;
}

void CUGCell::SetAlignment(short alignment)
{
    m_alignment = alignment;
    m_propertyFlags |= UGCELL_ALIGNMENT_SET;
}

void CUGCell::GetJoinInfo(int* origin, int* col, int* row) const
{
    if (origin != nullptr)
        *origin = m_joinOrigin;
    if (col != nullptr)
        *col = m_joinCol;
    if (row != nullptr)
        *row = m_joinRow;
}

void CUGCell::SetJoinInfo(int origin, int col, int row)
{
    m_joinOrigin = origin;
    m_joinCol = col;
    m_joinRow = row;
    m_propertyFlags |= UGCELL_JOIN_SET;
}

void CUGCell::SetFormatClass(CUGCellFormat* format)
{
    m_format = format;
    m_propertyFlags |= UGCELL_FORMAT_SET;
}

void CUGCell::SetCellStyle(CUGCell* style)
{
    m_cellStyle = style;
    m_propertyFlags |= UGCELL_STYLE_SET;
}

void CUGCell::SetThemeStyle(int style)
{
    m_themeStyle = style;
    m_propertyFlags |= UGCELL_THEMESTYLE_SET;
}
