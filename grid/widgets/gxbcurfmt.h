#pragma once
// The rules by which the currency edit shows a signed amount of money and reads it back. The edit
// knows this class as CGXBCurrencyEdit::Format; it is a plain value that callers build (from the
// user locale or from fixed defaults), change through setters, copy and compare.
//
// Text is UTF-8. Separators and the pad character are each one whole character (a code point:
// fr_FR groups with U+202F), and every position in or out counts characters, not bytes.

#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"

#include <string>

class CGXBCurrencyFormat {
public:
    // Nonzero reads the user locale; zero takes the fixed defaults ("$", "3;0", ',' and '.').
    explicit CGXBCurrencyFormat(BOOL bInitializeFromLocale = TRUE);
    CGXBCurrencyFormat(const CGXBCurrencyFormat& src) { CopyFrom(src); }
    CGXBCurrencyFormat& operator=(const CGXBCurrencyFormat& src) { CopyFrom(src); return *this; }
    virtual ~CGXBCurrencyFormat() = default;

    // Reads a shown text back. Empty text is 0. Fails on unmatched parentheses, on no digit, on a
    // digit outside the number, and on values beyond the range of a double.
    virtual BOOL ParseValue(const CString& strText, double& dValue, bool& bNegative) const;
    // Shows a magnitude with the sign layouts around it. A non-finite magnitude shows as 0.
    virtual void FormatValue(double dAbsValue, CString& strText, bool bNegative) const;
    // Character index of the last chDecimal (the Format's decimal separator when 0) in the text,
    // or -1.
    virtual int FindDecimalSeparator(const CString& strText, UINT chDecimal = 0) const;
    // The number inside a shown text, as character indexes: nStart of its first character, nEnd
    // just past its last digit. FALSE when the text has no digit.
    virtual BOOL FindNumberExtents(const CString& strText, int& nStart, int& nEnd) const;
    virtual void CopyFrom(const CGXBCurrencyFormat& src);
    virtual BOOL IsEqual(const CGXBCurrencyFormat& other) const;
    BOOL IsDifferent(const CGXBCurrencyFormat& other) const { return !IsEqual(other); }
    bool operator==(const CGXBCurrencyFormat& other) const { return IsEqual(other) != FALSE; }

    // Layout indexes: 0-3 positive, 0-15 negative; anything else is refused (FALSE).
    BOOL SetPositiveFormat(int nLayout);
    BOOL SetNegativeFormat(int nLayout);
    int GetPositiveFormat() const { return m_nPositiveFormat; }
    int GetNegativeFormat() const { return m_nNegativeFormat; }

    // Refuses a digit other than '0' (and no character at all); answers whether it was stored.
    BOOL SetPaddingChar(UINT ch);
    UINT GetPaddingChar() const { return m_chPad; }

    void SetBackgroundColor(COLORREF cr) { m_crBackground = cr; m_nColorFlags |= ColorBackground; }
    void SetNegativeTextColor(COLORREF cr) { m_crNegativeText = cr; m_nColorFlags |= ColorNegative; }
    void SetPositiveTextColor(COLORREF cr) { m_crPositiveText = cr; m_nColorFlags |= ColorPositive; }
    BOOL GetBackgroundColor(COLORREF& cr) const { return getColor(ColorBackground, m_crBackground, cr); }
    BOOL GetNegativeTextColor(COLORREF& cr) const { return getColor(ColorNegative, m_crNegativeText, cr); }
    BOOL GetPositiveTextColor(COLORREF& cr) const { return getColor(ColorPositive, m_crPositiveText, cr); }
    void SetDecimalLineColor(COLORREF cr) { m_crDecimalLine = cr; }
    COLORREF GetDecimalLineColor() const { return m_crDecimalLine; }

    // Separators are one character each; 0 for no grouping. A digit is refused as either.
    BOOL SetGroupingSeparator(UINT ch);
    BOOL SetDecimalSeparator(UINT ch);
    UINT GetGroupingSeparator() const { return m_chGroupSep; }
    UINT GetDecimalSeparator() const { return m_chDecimalSep; }
    // Group sizes as the locale writes them ("3;0"); only the first number is used.
    void SetGrouping(const CString& str) { m_strGrouping = str; }
    const CString& GetGrouping() const { return m_strGrouping; }
    void SetMonetarySymbol(const CString& str) { m_strSymbol = str; }
    const CString& GetMonetarySymbol() const { return m_strSymbol; }

    // -1 for no limit; refuses anything below -1.
    BOOL SetIntegerDigits(int n);
    int GetIntegerDigits() const { return m_nIntegerDigits; }
    // Refuses anything outside 0-9 (the range a locale may ask for).
    BOOL SetDecimalDigits(int n);
    int GetDecimalDigits() const { return m_nDecimalDigits; }

    void SetLeadingZero(BOOL b) { m_bLeadingZero = b ? 1 : 0; }
    BOOL GetLeadingZero() const { return m_bLeadingZero; }
    void SetDecimalLine(BOOL b) { m_bDecimalLine = b ? 1 : 0; }
    BOOL GetDecimalLine() const { return m_bDecimalLine; }
    void SetKeepLeadingDigits(BOOL b) { m_bKeepLeadingDigits = b ? 1 : 0; }
    BOOL GetKeepLeadingDigits() const { return m_bKeepLeadingDigits; }
    void SetPadBeforeGrouping(BOOL b) { m_bPadBeforeGrouping = b ? 1 : 0; }
    BOOL GetPadBeforeGrouping() const { return m_bPadBeforeGrouping; }

    enum { ColorBackground = 1, ColorNegative = 2, ColorPositive = 4 };
    static constexpr int kPositiveLayouts = 4;
    static constexpr int kNegativeLayouts = 16;
    static constexpr int kMaxDecimalDigits = 9;

private:
    BOOL getColor(int nFlag, COLORREF crStored, COLORREF& cr) const
    {
        if (!(m_nColorFlags & nFlag))
            return FALSE;
        cr = crStored;
        return TRUE;
    }
    void readLocale();
    bool isGroupChar(char32_t ch) const;
    bool numberExtents(const std::u32string& text, int& nStart, int& nEnd) const;
    char32_t decimalChar() const;

    int m_bLeadingZero { 1 };
    int m_bDecimalLine { 0 };
    int m_bKeepLeadingDigits { 0 };
    int m_bPadBeforeGrouping { 0 };
    CString m_strSymbol { "$" };
    CString m_strGrouping { "3;0" };
    UINT m_chGroupSep { ',' };
    UINT m_chDecimalSep { '.' };
    UINT m_chPad { ' ' };
    COLORREF m_crBackground { 0 };
    COLORREF m_crNegativeText { 0 };
    COLORREF m_crPositiveText { 0 };
    COLORREF m_crDecimalLine { 0 };
    int m_nColorFlags { 0 };
    int m_nPositiveFormat { 0 };
    int m_nNegativeFormat { 0 };
    int m_nIntegerDigits { -1 };
    int m_nDecimalDigits { 2 };
};
