#include "grid/widgets/gxbcurfmt.h"

#include "grid/widgets/gxbtext.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Prefix and suffix around the digits; "%s" stands for the currency symbol.
struct Layout {
    const char* prefix;
    const char* suffix;
};

constexpr Layout kPositive[CGXBCurrencyFormat::kPositiveLayouts] = {
    {"%s", ""}, {"", "%s"}, {"%s ", ""}, {"", " %s"},
};

constexpr Layout kNegative[CGXBCurrencyFormat::kNegativeLayouts] = {
    {"(%s", ")"}, {"-%s", ""},  {"%s-", ""},  {"%s", "-"},   {"(", "%s)"},  {"-", "%s"},
    {"", "-%s"},  {"", "%s-"},  {"-", " %s"}, {"-%s ", ""},  {"", " %s-"}, {"%s ", "-"},
    {"%s -", ""}, {"", "- %s"}, {"(%s ", ")"}, {"(", " %s)"},
};

// Blanks a grouping separator may stand for: a user types a plain blank where the locale groups
// with a no-break or narrow no-break space.
constexpr char32_t kNoBreakSpace = 0x00A0;
constexpr char32_t kNarrowNoBreakSpace = 0x202F;

using gxb::IsDigit;

bool isBlank(char32_t ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == kNoBreakSpace ||
           ch == kNarrowNoBreakSpace;
}

// One whole character that can stand in a text: no control character, no surrogate.
bool isTextChar(UINT ch)
{
    return ch >= 0x20 && ch <= 0x10FFFF && !(ch >= 0xD800 && ch <= 0xDFFF) && ch != 0x7F;
}

// "%s" in a layout entry becomes the symbol; an entry without it is copied as is.
std::string expand(const char* layout, const CString& symbol)
{
    std::string s(layout);
    const size_t at = s.find("%s");
    if (at != std::string::npos)
        s.replace(at, 2, symbol.str());
    return s;
}

// A locale item as text: first call for the size, second for the text; empty when it fails.
std::string localeText(LCTYPE type)
{
    const int n = GetLocaleInfo(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<char> buf(size_t(n) + 1, '\0');
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, type, buf.data(), n) <= 0)
        return {};
    return std::string(buf.data());
}

// A locale number; keeps nDefault for an empty, non-numeric or out-of-range answer.
int localeInt(LCTYPE type, int nDefault, int nMin, int nMax)
{
    const std::string s = localeText(type);
    int n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || n < nMin || n > nMax)
        return nDefault;
    return n;
}

// The first character of a locale text; keeps chDefault when it is empty.
UINT localeChar(LCTYPE type, UINT chDefault)
{
    const std::string s = localeText(type);
    if (s.empty())
        return chDefault;
    uint32_t cp = 0;
    pvgdi::DecodeUtf8(s.data(), int(s.size()), 0, cp);
    return isTextChar(cp) && !IsDigit(cp) ? UINT(cp) : chDefault;
}

}  // namespace

CGXBCurrencyFormat::CGXBCurrencyFormat(BOOL bInitializeFromLocale)
    : m_crDecimalLine(GetSysColor(COLOR_BTNSHADOW))
{
    if (bInitializeFromLocale)
        readLocale();
}

void CGXBCurrencyFormat::readLocale()
{
    m_bLeadingZero = localeInt(LOCALE_ILZERO, 1, 0, 1);
    if (std::string s = localeText(LOCALE_SCURRENCY); !s.empty())
        m_strSymbol = CString(std::move(s));
    if (std::string s = localeText(LOCALE_SMONGROUPING); !s.empty())
        m_strGrouping = CString(std::move(s));
    m_chGroupSep = localeChar(LOCALE_SMONTHOUSANDSEP, m_chGroupSep);
    m_chDecimalSep = localeChar(LOCALE_SMONDECIMALSEP, m_chDecimalSep);
    m_nPositiveFormat = localeInt(LOCALE_ICURRENCY, 0, 0, kPositiveLayouts - 1);
    m_nNegativeFormat = localeInt(LOCALE_INEGCURR, 0, 0, kNegativeLayouts - 1);
    m_nDecimalDigits = localeInt(LOCALE_ICURRDIGITS, 2, 0, kMaxDecimalDigits);
    // The integer-digit limit is never the locale's: a locale Format shows every digit.
    m_nIntegerDigits = -1;
}

BOOL CGXBCurrencyFormat::SetPositiveFormat(int nLayout)
{
    if (nLayout < 0 || nLayout >= kPositiveLayouts)
        return FALSE;
    m_nPositiveFormat = nLayout;
    return TRUE;
}

BOOL CGXBCurrencyFormat::SetNegativeFormat(int nLayout)
{
    if (nLayout < 0 || nLayout >= kNegativeLayouts)
        return FALSE;
    m_nNegativeFormat = nLayout;
    return TRUE;
}

BOOL CGXBCurrencyFormat::SetPaddingChar(UINT ch)
{
    if ((IsDigit(ch) && ch != '0') || !isTextChar(ch))
        return FALSE;
    m_chPad = ch;
    return TRUE;
}

BOOL CGXBCurrencyFormat::SetGroupingSeparator(UINT ch)
{
    if (ch != 0 && (IsDigit(ch) || !isTextChar(ch)))
        return FALSE;
    m_chGroupSep = ch;
    return TRUE;
}

BOOL CGXBCurrencyFormat::SetDecimalSeparator(UINT ch)
{
    if (ch != 0 && (IsDigit(ch) || !isTextChar(ch)))
        return FALSE;
    m_chDecimalSep = ch;
    return TRUE;
}

BOOL CGXBCurrencyFormat::SetIntegerDigits(int n)
{
    if (n < -1)
        return FALSE;
    m_nIntegerDigits = n;
    return TRUE;
}

BOOL CGXBCurrencyFormat::SetDecimalDigits(int n)
{
    if (n < 0 || n > kMaxDecimalDigits)
        return FALSE;
    m_nDecimalDigits = n;
    return TRUE;
}

void CGXBCurrencyFormat::CopyFrom(const CGXBCurrencyFormat& src)
{
    if (&src == this)
        return;
    m_bLeadingZero = src.m_bLeadingZero;
    m_bDecimalLine = src.m_bDecimalLine;
    m_bKeepLeadingDigits = src.m_bKeepLeadingDigits;
    m_bPadBeforeGrouping = src.m_bPadBeforeGrouping;
    m_strSymbol = src.m_strSymbol;
    m_strGrouping = src.m_strGrouping;
    m_chGroupSep = src.m_chGroupSep;
    m_chDecimalSep = src.m_chDecimalSep;
    m_chPad = src.m_chPad;
    m_crBackground = src.m_crBackground;
    m_crNegativeText = src.m_crNegativeText;
    m_crPositiveText = src.m_crPositiveText;
    m_crDecimalLine = src.m_crDecimalLine;
    m_nColorFlags = src.m_nColorFlags;
    m_nPositiveFormat = src.m_nPositiveFormat;
    m_nNegativeFormat = src.m_nNegativeFormat;
    m_nIntegerDigits = src.m_nIntegerDigits;
    m_nDecimalDigits = src.m_nDecimalDigits;
}

BOOL CGXBCurrencyFormat::IsEqual(const CGXBCurrencyFormat& o) const
{
    return m_bLeadingZero == o.m_bLeadingZero && m_bDecimalLine == o.m_bDecimalLine &&
           m_bKeepLeadingDigits == o.m_bKeepLeadingDigits &&
           m_bPadBeforeGrouping == o.m_bPadBeforeGrouping && m_strSymbol == o.m_strSymbol &&
           m_strGrouping == o.m_strGrouping && m_chGroupSep == o.m_chGroupSep &&
           m_chDecimalSep == o.m_chDecimalSep && m_chPad == o.m_chPad &&
           m_crBackground == o.m_crBackground && m_crNegativeText == o.m_crNegativeText &&
           m_crPositiveText == o.m_crPositiveText && m_crDecimalLine == o.m_crDecimalLine &&
           m_nColorFlags == o.m_nColorFlags && m_nPositiveFormat == o.m_nPositiveFormat &&
           m_nNegativeFormat == o.m_nNegativeFormat && m_nIntegerDigits == o.m_nIntegerDigits &&
           m_nDecimalDigits == o.m_nDecimalDigits;
}

// A shown text writes "no decimal separator" as a blank, so that is what reads back as one.
char32_t CGXBCurrencyFormat::decimalChar() const
{
    return m_chDecimalSep ? char32_t(m_chDecimalSep) : U' ';
}

bool CGXBCurrencyFormat::isGroupChar(char32_t ch) const
{
    if (!m_chGroupSep)
        return false;
    if (ch == m_chGroupSep)
        return true;
    const bool spaceLike = m_chGroupSep == kNoBreakSpace || m_chGroupSep == kNarrowNoBreakSpace;
    return spaceLike && ch == U' ';
}

void CGXBCurrencyFormat::FormatValue(double dAbsValue, CString& strText, bool bNegative) const
{
    double dValue = std::isfinite(dAbsValue) ? std::fabs(dAbsValue) : 0.0;
    const int nDigits = m_nIntegerDigits;

    // Too many integer digits: the lowest ones leave the value, the leading ones stay.
    if (dValue != 0 && !m_bKeepLeadingDigits && nDigits != -1) {
        const int d = int(std::log10(dValue));
        const int k = d - (nDigits - 1);
        if (d != 0 && k > 0) {
            const double whole = std::floor(dValue);
            dValue = (dValue - whole) + std::floor(whole / std::pow(10.0, k));
        }
    }

    const Layout& layout =
        bNegative ? kNegative[m_nNegativeFormat] : kPositive[m_nPositiveFormat];

    // Fixed notation with '.' whatever the process locale is.
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof(buf), dValue, std::chars_format::fixed,
                                   m_nDecimalDigits);
    std::u32string digits(buf, res.ptr);

    // Below 1 without a leading zero, the "0" goes. Rounding can carry a value below 1 up to "1",
    // which stays.
    if (dValue < 1 && !m_bLeadingZero && !digits.empty() && digits[0] == U'0')
        digits.erase(0, 1);

    size_t nPoint = digits.rfind(U'.');
    if (nPoint != std::u32string::npos)
        digits[nPoint] = decimalChar();
    else
        nPoint = digits.size();

    // A fixed integer-digit count: extra leading characters are cut off, missing ones padded.
    int nShortfall = 0;
    if (nDigits != -1) {
        const int p = int(nPoint);
        if (p > nDigits) {
            digits.erase(0, size_t(p - nDigits));
            nPoint = size_t(nDigits);
        } else if (p < nDigits) {
            nShortfall = nDigits - p;
            if (m_bPadBeforeGrouping) {
                digits.insert(0, size_t(nShortfall), char32_t(m_chPad));
                nPoint += size_t(nShortfall);
            }
        }
    }

    if (m_chGroupSep) {
        const int g = std::atoi(m_strGrouping.GetString());
        if (g > 0) {
            std::u32string grouped;
            grouped.reserve(digits.size() + nPoint / size_t(g) + 1);
            for (size_t i = 0; i < digits.size(); ++i) {
                grouped.push_back(digits[i]);
                const size_t toPoint = i < nPoint ? nPoint - 1 - i : 0;
                if (toPoint > 0 && toPoint % size_t(g) == 0)
                    grouped.push_back(char32_t(m_chGroupSep));
            }
            digits.swap(grouped);
        }
    }

    if (nShortfall > 0 && !m_bPadBeforeGrouping)
        digits.insert(0, size_t(nShortfall), char32_t(m_chPad));

    std::string out = expand(layout.prefix, m_strSymbol);
    out += gxb::FromChars(digits).str();
    out += expand(layout.suffix, m_strSymbol);
    strText = CString(std::move(out));
}

int CGXBCurrencyFormat::FindDecimalSeparator(const CString& strText, UINT chDecimal) const
{
    const std::u32string text = gxb::ToChars(strText);
    const char32_t ch = chDecimal ? char32_t(chDecimal) : decimalChar();
    const size_t at = text.rfind(ch);
    return at == std::u32string::npos ? -1 : int(at);
}

BOOL CGXBCurrencyFormat::FindNumberExtents(const CString& strText, int& nStart, int& nEnd) const
{
    return numberExtents(gxb::ToChars(strText), nStart, nEnd);
}

// Scans from the last digit leftwards: digits and grouping separators continue the number, the
// decimal separator only once and only before any separator was taken.
bool CGXBCurrencyFormat::numberExtents(const std::u32string& text, int& nStart, int& nEnd) const
{
    int last = int(text.size()) - 1;
    while (last >= 0 && !IsDigit(text[size_t(last)]))
        --last;
    if (last < 0)
        return false;

    const char32_t chDecimal = decimalChar();
    bool bSeparatorTaken = false;
    int start = last;
    for (int i = last - 1; i >= 0; --i) {
        const char32_t ch = text[size_t(i)];
        if (IsDigit(ch)) {
            start = i;
        } else if (isGroupChar(ch)) {
            bSeparatorTaken = true;
            start = i;
        } else if (ch == chDecimal && !bSeparatorTaken) {
            bSeparatorTaken = true;
            start = i;
        } else {
            break;
        }
    }
    nStart = start;
    nEnd = last + 1;
    return true;
}

BOOL CGXBCurrencyFormat::ParseValue(const CString& strText, double& dValue, bool& bNegative) const
{
    bNegative = false;
    std::u32string text = gxb::ToChars(strText);
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    text = text.substr(b, e - b);
    if (text.empty()) {
        dValue = 0;
        return TRUE;
    }

    const size_t open = text.find(U'(');
    const size_t close = text.rfind(U')');
    if (open != std::u32string::npos || close != std::u32string::npos) {
        if (open == std::u32string::npos || close == std::u32string::npos || close < open)
            return FALSE;
        bNegative = true;
    }

    int nStart = 0, nEnd = 0;
    if (!numberExtents(text, nStart, nEnd))
        return FALSE;

    // Around the number only the sign, the symbol and blanks may stand: a digit there means the
    // text holds more than one number ("1 000" with ',' grouping), which reads as nothing.
    for (size_t i = 0; i < text.size(); ++i) {
        if (i >= size_t(nStart) && i < size_t(nEnd))
            continue;
        if (IsDigit(text[i]))
            return FALSE;
        if (text[i] == U'-')
            bNegative = true;
    }

    const std::u32string number = text.substr(size_t(nStart), size_t(nEnd - nStart));
    const size_t at = number.rfind(decimalChar());
    std::string integer, fraction;
    const size_t intEnd = at == std::u32string::npos ? number.size() : at;
    for (size_t i = 0; i < intEnd; ++i) {
        if (isGroupChar(number[i]))
            continue;
        if (!IsDigit(number[i]))
            return FALSE;
        integer.push_back(char(number[i]));
    }
    for (size_t i = intEnd + (at == std::u32string::npos ? 0 : 1); i < number.size(); ++i) {
        if (!IsDigit(number[i]))
            return FALSE;
        fraction.push_back(char(number[i]));
    }

    const std::string plain = (integer.empty() ? std::string("0") : integer) + "." + fraction;
    double d = 0;
    const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), d);
    // Beyond a double's range there is no amount to show: "inf" would not read back.
    if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(d))
        return FALSE;
    dValue = d;
    return TRUE;
}
