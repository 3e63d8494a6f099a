#pragma once
// The in-cell editor of cells with an input mask.
//
// Mask characters: 0 digit; 9 digit or space; # digit, space, + or -; L letter; ? letter or
// space; A letter or digit; a letter, digit or space; & and C any printable character; \ makes
// the next character a literal; anything else is a literal shown as it stands.

#include "grid/UGEditBase.h"

class CUGMaskedEdit : public CUGEditBase {
public:
    // The placeholder in the pattern for a literal, in the template for an input position.
    static constexpr char PLACEHOLDER = 8;
    // The mask characters that stand for input positions, shared by every masked edit.
    static const char* const s_maskChars;

    CString GetMask() const { return m_mask; }
    int IsMaskActive() const { return m_useMask; }
    const CString& GetPattern() const { return m_pattern; }
    const CString& GetTemplate() const { return m_template; }

    // Takes a mask: an empty one makes the control a plain edit.
    void SetMask(const char* mask);
    // Whether a character fits an input position of the given mask character; a literal
    // placeholder takes anything.
    static bool CharFits(char maskChar, UINT character);
    // The text as the mask shows it: characters that fit are kept, literals put in between.
    CString FormatThroughMask(const CString& text) const;

    BOOL PreCreateWindow(CREATESTRUCT& create) override;
    void OnKillFocus(CWnd* newFocus) override;
    void OnChar(UINT character, UINT repeat, UINT flags) override;

protected:
    void OnEditSetFocus() override;
    void InsertChar(UINT typed, UINT character, UINT repeat, UINT flags) override;

private:
    int m_insertingLiteral = 0;
    int m_useMask = 0;
    CString m_mask;
    CString m_pattern;
    CString m_template;
};
