#include "grid/UGMaskedEdit.h"

#include "grid/UGCtrl.h"

#include <cctype>

const char* const CUGMaskedEdit::s_maskChars = "09#L?Aa&C";

namespace {

// Characters beyond ASCII are printable text but neither letters nor digits here, so a mask
// cannot be passed by them and the C classification never sees a value it does not define.
bool is_printable(UINT c) { return c >= 0x80 || std::isprint(static_cast<int>(c)) != 0; }
bool is_digit(UINT c) { return c < 0x80 && std::isdigit(static_cast<int>(c)) != 0; }
bool is_letter(UINT c) { return c < 0x80 && std::isalpha(static_cast<int>(c)) != 0; }
bool is_alnum(UINT c) { return c < 0x80 && std::isalnum(static_cast<int>(c)) != 0; }

}  // namespace

bool CUGMaskedEdit::CharFits(char maskChar, UINT c)
{
    switch (maskChar) {
    case '0': return is_digit(c);
    case '9': return is_digit(c) || c == ' ';
    case '#': return is_digit(c) || c == ' ' || c == '+' || c == '-';
    case 'L': return is_letter(c);
    case '?': return is_letter(c) || c == ' ';
    case 'A': return is_alnum(c);
    case 'a': return is_alnum(c) || c == ' ';
    case '&':
    case 'C': return is_printable(c);
    default: return true;
    }
}

void CUGMaskedEdit::SetMask(const char* mask)
{
    m_mask = mask != nullptr ? mask : "";
    m_pattern.Empty();
    m_template.Empty();
    m_useMask = m_mask.IsEmpty() ? 0 : 1;
    const CString inputs(s_maskChars);
    for (int index = 0; index < m_mask.GetLength(); ++index) {
        char c = m_mask[index];
        if (c == '\\' && index + 1 < m_mask.GetLength()) {
            c = m_mask[++index];
            m_pattern += PLACEHOLDER;
            m_template += c;
        } else if (inputs.Find(c) >= 0) {
            m_pattern += c;
            m_template += PLACEHOLDER;
        } else {
            m_pattern += PLACEHOLDER;
            m_template += c;
        }
    }
}

CString CUGMaskedEdit::FormatThroughMask(const CString& text) const
{
    CString result;
    int position = 0;
    int used = 0;
    while (used < text.GetLength() && position < m_pattern.GetLength()) {
        if (m_template[position] != PLACEHOLDER) {
            result += m_template[position++];
            continue;
        }
        const char c = text[used++];
        if (CharFits(m_pattern[position], static_cast<unsigned char>(c))) {
            result += c;
            ++position;
        }
    }
    return result;
}

BOOL CUGMaskedEdit::PreCreateWindow(CREATESTRUCT& create)
{
    create.style |= ES_AUTOHSCROLL;
    return CUGEditBase::PreCreateWindow(create);
}

void CUGMaskedEdit::OnKillFocus(CWnd* newFocus)
{
    CUGEditBase::OnKillFocus(newFocus);
    SendMessage(EM_LIMITTEXT, 0xFFFFFFFF);
}

void CUGMaskedEdit::OnChar(UINT character, UINT repeat, UINT flags)
{
    // A literal the control types into itself is neither filtered nor checked.
    if (m_insertingLiteral != 0)
        CEdit::OnChar(character, repeat, flags);
    else
        CUGEditBase::OnChar(character, repeat, flags);
}

void CUGMaskedEdit::OnEditSetFocus()
{
    const CUGCell* cell = EditedCell();
    SetMask(cell != nullptr && cell->IsPropertySet(UGCELL_MASK_SET) ? cell->GetMask().GetString() : "");
    if (m_useMask == 0)
        return;
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(m_mask.GetLength()));
    CString text;
    GetWindowText(text);
    if (!text.IsEmpty()) {
        int start = 0;
        int end = 0;
        GetSel(start, end);
        m_insertingLiteral = 1;
        SetWindowText(FormatThroughMask(text));
        m_insertingLiteral = 0;
        SetSel(start, end);
    }
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_SCROLLCARET);
}

void CUGMaskedEdit::InsertChar(UINT typed, UINT character, UINT repeat, UINT flags)
{
    if (m_insertingLiteral != 0 || m_useMask == 0 || character < 0x20 || character == 0x7F) {
        CUGEditBase::InsertChar(typed, character, repeat, flags);
        return;
    }
    Clear();
    int position = 0;
    int end = 0;
    GetSel(position, end);
    if (position >= m_pattern.GetLength())
        return;
    // Every literal up to the next input position goes in, so that a typed character never
    // takes a literal's place.
    while (position < m_pattern.GetLength() && m_template[position] != PLACEHOLDER) {
        m_insertingLiteral = 1;
        SendMessage(WM_CHAR, static_cast<unsigned char>(m_template[position]));
        m_insertingLiteral = 0;
        const int before = position;
        GetSel(position, end);
        if (position <= before)
            return;
    }
    if (position >= m_pattern.GetLength() || !CharFits(m_pattern[position], character))
        return;
    // The toolkit's own insertion would not follow a literal typed just before it.
    InsertDirectly(character, repeat, flags);
}
