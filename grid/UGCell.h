#pragma once
// One cell's properties. A cell shown by the grid is assembled by layering records; every
// property carries a set-flag bit, and layering copies only what the upper record has set.

#include "platform/base/framework_objects.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

#include <cstdint>

class CUGCell;
class CPen;
class CFont;
class CBitmap;

// A display format the application attaches to cells; the grid applies it when it fetches one.
class CUGCellFormat : public CObject {
public:
    virtual void ApplyDisplayFormat(CUGCell* cell) = 0;
};

// Set-flag bits.
constexpr std::uint32_t UGCELL_TEXT_SET = 0x1;
constexpr std::uint32_t UGCELL_MASK_SET = 0x2;
constexpr std::uint32_t UGCELL_LABEL_SET = 0x4;
constexpr std::uint32_t UGCELL_DATATYPE_SET = 0x8;
constexpr std::uint32_t UGCELL_PARAM_SET = 0x10;
constexpr std::uint32_t UGCELL_CELLTYPE_SET = 0x20;
constexpr std::uint32_t UGCELL_CELLTYPEEX_SET = 0x40;
constexpr std::uint32_t UGCELL_TEXTCOLOR_SET = 0x80;
constexpr std::uint32_t UGCELL_BACKCOLOR_SET = 0x100;
constexpr std::uint32_t UGCELL_HTEXTCOLOR_SET = 0x200;
constexpr std::uint32_t UGCELL_HBACKCOLOR_SET = 0x400;
constexpr std::uint32_t UGCELL_BORDERSTYLE_SET = 0x800;
constexpr std::uint32_t UGCELL_BORDER_SET = 0x1000;
constexpr std::uint32_t UGCELL_FONT_SET = 0x2000;
constexpr std::uint32_t UGCELL_BITMAP_SET = 0x4000;
constexpr std::uint32_t UGCELL_ALIGNMENT_SET = 0x8000;
constexpr std::uint32_t UGCELL_DATABLOB_SET = 0x10000;
constexpr std::uint32_t UGCELL_JOIN_SET = 0x20000;
constexpr std::uint32_t UGCELL_FORMAT_SET = 0x200000;
constexpr std::uint32_t UGCELL_STYLE_SET = 0x800000;
constexpr std::uint32_t UGCELL_READONLY_SET = 0x1000000;
constexpr std::uint32_t UGCELL_NUMBERDEC_SET = 0x2000000;
constexpr std::uint32_t UGCELL_DONOT_LOCALIZE = 0x4000000;
constexpr std::uint32_t UGCELL_THEMESTYLE_SET = 0x8000000;

// Data types.
constexpr short UGCELLDATA_STRING = 1;
constexpr short UGCELLDATA_NUMBER = 2;
constexpr short UGCELLDATA_TEXT_AS_TYPED = 3;
constexpr short UGCELLDATA_TIME = 4;
constexpr short UGCELLDATA_CURRENCY = 5;

// Alignment bits.
constexpr short UG_ALIGNLEFT = 1;
constexpr short UG_ALIGNRIGHT = 2;
constexpr short UG_ALIGNCENTER = 4;
constexpr short UG_ALIGNBOTTOM = 16;
constexpr short UG_ALIGNVCENTER = 32;

class CUGCell : public CObject {
public:
    CUGCell();
    ~CUGCell() override;
    CUGCell(const CUGCell&) = delete;
    CUGCell& operator=(const CUGCell&) = delete;

    int ResetProperties();
    void ClearAll();
    // Layers source over target by the source's set-flags; the first argument is not used.
    static int CopySetPropertiesTo(int unused, const CUGCell* source, CUGCell* target);
    // Deletes the attached object and the data blob.
    void ClearBlob();

    int SetTextValue(const char* text);
    int SetNumber(double value);
    double GetNumber();
    // Reads a number written in the user's locale (grouping and currency symbols are skipped).
    static int ParseNumber(int unused, const CString* text, double* number);
    // Null when no text is set; otherwise a valid string, "" included. For a number the text
    // is rebuilt in the user's locale and kept, so the pointer lives until the next change.
    const char* GetDisplayText();

    std::uint32_t GetPropertyFlags() const { return m_propertyFlags; }
    void SetPropertyFlags(std::uint32_t flags) { m_propertyFlags = flags; }
    bool IsPropertySet(std::uint32_t flag) const { return (m_propertyFlags & flag) != 0; }
    void ClearPropertySetFlag(std::uint32_t flag) { m_propertyFlags &= ~flag; }

    const CString& GetText() const { return m_text; }
    const CString& GetLabelText() const { return m_label; }
    void SetLabelText(const char* label);
    const CString& GetMask() const { return m_mask; }
    void SetMask(const char* mask);
    short GetDataType() const { return m_dataType; }
    void SetDataType(short type);
    int GetReadOnly() const { return m_readOnly; }
    void SetReadOnly(int readOnly);
    int GetParam() const { return m_param; }
    void SetParam(int param);
    int GetNumberDecimals() const { return m_decimals; }
    void SetNumberDecimals(int decimals);
    int GetCellType() const { return m_cellType; }
    void SetCellType(int index);
    int GetCellTypeEx() const { return m_cellTypeEx; }
    void SetCellTypeEx(int style);

    COLORREF GetTextColor() const { return m_textColor; }
    void SetTextColor(COLORREF color);
    COLORREF GetBackColor() const { return m_backColor; }
    void SetBackColor(COLORREF color);
    COLORREF GetHTextColor() const { return m_highlightTextColor; }
    void SetHTextColor(COLORREF color);
    COLORREF GetHBackColor() const { return m_highlightBackColor; }
    void SetHBackColor(COLORREF color);

    short GetBorder() const { return m_borderStyle; }
    void SetBorder(short style);
    CPen* GetBorderColor() const { return m_borderPen; }
    void SetBorderColor(CPen* pen);
    CFont* GetFont() const { return m_font; }
    void SetFont(CFont* font);
    CBitmap* GetBitmap() const { return m_bitmap; }
    void SetBitmap(CBitmap* bitmap);
    short GetAlignment() const { return m_alignment; }
    void SetAlignment(short alignment);

    // Joined ranges: at the origin row and column give the extent, elsewhere the offsets back
    // to the origin.
    void GetJoinInfo(int* origin, int* col, int* row) const;
    void SetJoinInfo(int origin, int col, int row);

    CUGCellFormat* GetFormatClass() const { return m_format; }
    void SetFormatClass(CUGCellFormat* format);
    CUGCell* GetCellStyle() const { return m_cellStyle; }
    void SetCellStyle(CUGCell* style);
    int GetThemeStyle() const { return m_themeStyle; }
    void SetThemeStyle(int style);

    // The record owns the attached object from here on (ClearBlob deletes it).
    CObject* GetExtraMemPtr() const { return m_extraMem; }
    void SetExtraMemPtr(CObject* object) { m_extraMem = object; }
    std::uint32_t GetMergeWord() const { return m_mergeWord; }
    void SetMergeWord(std::uint32_t word) { m_mergeWord = word; }
    const unsigned char* GetDataBlob() const { return m_dataBlob; }
    int GetDataBlobLength() const { return m_dataBlobLength; }

private:
    void ResetDrawingProperties();

    CObject* m_extraMem = nullptr;
    std::uint32_t m_propertyFlags = 0;
    std::uint32_t m_mergeWord = 1;
    CUGCellFormat* m_format = nullptr;
    CUGCell* m_cellStyle = nullptr;
    double m_number = 0.0;
    CString m_text;
    CString m_label;
    CString m_mask;
    short m_dataType = UGCELLDATA_STRING;
    int m_readOnly = 0;
    int m_param = -1;
    int m_decimals = 0;
    int m_cellType = -1;
    int m_cellTypeEx = -1;
    COLORREF m_textColor = 0;
    COLORREF m_backColor = 0;
    COLORREF m_highlightTextColor = 0;
    COLORREF m_highlightBackColor = 0;
    short m_borderStyle = 0;
    CPen* m_borderPen = nullptr;
    CFont* m_font = nullptr;
    CBitmap* m_bitmap = nullptr;
    short m_alignment = UG_ALIGNLEFT;
    unsigned char* m_dataBlob = nullptr;
    int m_dataBlobLength = 0;
    int m_joinOrigin = 0;
    int m_joinRow = -1;
    int m_joinCol = -1;
    unsigned char m_transientByte = 0;
    int m_transientInt = 0;
    int m_themeStyle = 16;
};
