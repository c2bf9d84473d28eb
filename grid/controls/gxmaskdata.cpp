#include "grid/controls/gxmaskdata.h"

#include <algorithm>

#include "platform/base/textcase.h"

IMPLEMENT_DYNCREATE(CGXMaskData, CObject)

namespace {

int CharLen(const char* p)
{
    const BYTE c = BYTE(*p);
    const int n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    for (int i = 1; i < n; ++i)
        if ((BYTE(p[i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

unsigned CodePoint(const std::string& s)
{
    const BYTE c = BYTE(s[0]);
    if (s.size() == 1) return c;
    unsigned cp = c & (0xFF >> (s.size() + 1));
    for (size_t i = 1; i < s.size(); ++i) cp = (cp << 6) | (BYTE(s[i]) & 0x3F);
    return cp;
}

bool IsDigitChar(const std::string& s) { return s.size() == 1 && s[0] >= '0' && s[0] <= '9'; }

bool IsLetterChar(const std::string& s)
{
    if (s.empty()) return false;
    const unsigned cp = CodePoint(s);
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z');
    return cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7;
}

}  // namespace

std::vector<std::string> CGXMaskData::SplitChars(const char* psz)
{
    std::vector<std::string> out;
    for (const char* p = psz ? psz : ""; *p;) {
        const int n = CharLen(p);
        out.emplace_back(p, size_t(n));
        p += n;
    }
    return out;
}

BOOL CGXMaskData::IsMaskChar(TCHAR c)
{
    return c == '#' || c == '&' || c == '?' || c == 'A' || c == 'L' || c == 'U';
}

BOOL CGXMaskData::IsLiteral(int nPos)
{
    return !IsFreeText() && nPos >= 0 && nPos < GetPosCount() && m_literal[size_t(nPos)];
}

BOOL CGXMaskData::IsInputPos(int nPos) const
{
    return nPos >= 0 && nPos < GetPosCount() && !m_literal[size_t(nPos)];
}

int CGXMaskData::LastInputPos() const
{
    for (int p = GetPosCount() - 1; p >= 0; --p)
        if (!m_literal[size_t(p)]) return p;
    return -1;
}

void CGXMaskData::ClearMask()
{
    m_mask.clear();
    m_literal.clear();
}

void CGXMaskData::SetMask(LPCTSTR pszMask)
{
    ClearMask();
    if (!pszMask || !*pszMask) {
        m_nMaxLength = 2147483647;
        return;
    }
    bool bNextLiteral = false;
    for (const std::string& c : SplitChars(pszMask)) {
        if (c.size() > 1 || bNextLiteral) {
            m_mask.push_back(c);
            m_literal.push_back(1);
            bNextLiteral = false;
        } else if (c[0] == '\\') {
            bNextLiteral = true;
        } else {
            m_mask.push_back(c);
            m_literal.push_back(IsMaskChar(c[0]) ? 0 : 1);
        }
    }
    // Entries of another mask are no content for this one.
    if (m_input.size() != m_mask.size())
        ResetInput();
}

void CGXMaskData::ResetInput()
{
    m_input.clear();
    if (IsFreeText()) return;
    for (size_t i = 0; i < m_mask.size(); ++i)
        m_input.push_back(m_literal[i] ? m_mask[i] : std::string(m_sPrompt));
}

BOOL CGXMaskData::SetPromptChar(LPCTSTR pszPrompt, BOOL bUpdate)
{
    const std::vector<std::string> chars = SplitChars(pszPrompt);
    if (chars.size() > 1) return FALSE;
    const std::string sNew = chars.empty() ? std::string("_") : chars[0];
    if (bUpdate)
        for (size_t i = 0; i < m_input.size() && i < m_mask.size(); ++i)
            if (!m_literal[i] && m_input[i] == m_sPrompt.str()) m_input[i] = sNew;
    m_sPrompt = sNew.c_str();
    return TRUE;
}

BOOL CGXMaskData::IsValidChar(int nPos, CString& sChar)
{
    if (IsFreeText()) return TRUE;
    if (!IsInputPos(nPos)) return FALSE;
    std::vector<std::string> chars = SplitChars(sChar);
    if (chars.size() != 1) return FALSE;
    std::string c = chars[0];
    if (c == " ") {
        sChar = m_sPrompt;
        return TRUE;
    }
    if (c == m_sPrompt.str()) return TRUE;
    switch (m_mask[size_t(nPos)][0]) {
    case '#': return IsDigitChar(c);
    case '&': return TRUE;
    case '?': return IsLetterChar(c);
    case 'A': return IsLetterChar(c) || IsDigitChar(c);
    case 'L':
    case 'U':
        if (!IsLetterChar(c)) return FALSE;
        sChar = (m_mask[size_t(nPos)][0] == 'L' ? PvLowerCase(c) : PvUpperCase(c)).c_str();
        return TRUE;
    default: return FALSE;
    }
}

int CGXMaskData::NextInputPos(int nPos)
{
    const int nLimit = IsFreeText() ? m_nMaxLength : GetPosCount();
    if (nLimit < 1 || nPos >= nLimit) return nPos;
    for (int p = std::max(nPos + 1, 0); p < nLimit; ++p)
        if (IsFreeText() || !m_literal[size_t(p)]) return p;
    return -1;
}

int CGXMaskData::PrevInputPos(int nPos)
{
    const int nLimit = IsFreeText() ? GetLength() + 1 : GetPosCount();
    if (nLimit <= 0) return nPos;
    for (int p = std::min(nPos, nLimit) - 1; p >= 0; --p)
        if (IsFreeText() || !m_literal[size_t(p)]) return p;
    return -1;
}

int CGXMaskData::GetEndOfInput(int nPos)
{
    if (IsFreeText()) return std::max(0, std::min(nPos, GetLength()));
    const int n = GetPosCount();
    if (n == 0 || nPos < 0) return NextInputPos(-1);
    nPos = std::min(nPos, n);
    auto filled = [&](int p) { return IsInputPos(p) && m_input[size_t(p)] != m_sPrompt.str(); };
    if (nPos == n) {
        if (filled(nPos - 1)) return nPos;
        --nPos;
    }
    // A literal counts by the input after it; none after it means nothing is entered there.
    const int q = IsLiteral(nPos) ? NextInputPos(nPos) : nPos;
    if (q >= 0 && filled(q)) return nPos;
    int p = IsLiteral(nPos) ? PrevInputPos(nPos) : nPos;
    while (p >= 0 && !filled(p)) p = PrevInputPos(p);
    if (p >= 0) return p + 1;
    return NextInputPos(-1);
}

BOOL CGXMaskData::InsertChar(int nPos, const CString& sChar, int& nNext)
{
    const std::vector<std::string> chars = SplitChars(sChar);
    if (chars.size() != 1) return FALSE;
    if (IsFreeText()) {
        if (GetLength() >= m_nMaxLength || nPos < 0 || nPos > GetLength()) return FALSE;
        m_input.insert(m_input.begin() + nPos, chars[0]);
        nNext = nPos + 1;
        return TRUE;
    }
    // Only an input position takes a character.
    if (!IsInputPos(nPos)) return FALSE;
    const int nLast = LastInputPos();
    if (nLast < 0 || m_input[size_t(nLast)] != m_sPrompt.str()) return FALSE;
    int nFilled = nLast;
    while (nFilled >= 0 && (!IsInputPos(nFilled) || m_input[size_t(nFilled)] == m_sPrompt.str()))
        nFilled = PrevInputPos(nFilled);
    if (nFilled >= nPos) {
        for (int p = nFilled; p >= nPos; p = PrevInputPos(p)) {
            const int to = NextInputPos(p);
            if (to >= 0) m_input[size_t(to)] = m_input[size_t(p)];
            if (p == nPos) break;
        }
    }
    m_input[size_t(nPos)] = chars[0];
    const int nNextInput = NextInputPos(nPos);
    nNext = nNextInput < 0 ? nPos + 1 : nNextInput;
    return TRUE;
}

void CGXMaskData::DeleteRange(int nEnd, int nStart)
{
    if (IsFreeText()) {
        const int n = GetLength();
        nStart = std::clamp(nStart, 0, n);
        nEnd = std::clamp(nEnd, nStart, n);
        m_input.erase(m_input.begin() + nStart, m_input.begin() + nEnd);
        return;
    }
    const int n = GetPosCount();
    if (nEnd < 0 || nEnd > n || nStart < 0 || nStart > nEnd) return;
    int t = IsLiteral(nStart) ? NextInputPos(nStart) : nStart;
    if (t < 0 || t > nEnd) return;
    int s = nEnd == n ? -1 : (IsLiteral(nEnd) ? NextInputPos(nEnd) : nEnd);
    while (s >= 0 && t >= 0) {
        m_input[size_t(t)] = m_input[size_t(s)];
        s = NextInputPos(s);
        t = NextInputPos(t);
    }
    for (; t >= 0 && t < n; t = NextInputPos(t))
        if (IsInputPos(t)) m_input[size_t(t)] = m_sPrompt.str();
}

int CGXMaskData::SetValueText(LPCTSTR pszText, int nPos, BOOL bInsert)
{
    if (IsFreeText()) return SetMaskedText(pszText, nPos, bInsert);
    if (nPos == -1) {
        ResetInput();
        nPos = 0;
    }
    const int n = GetPosCount();
    if (n == 0 || nPos < 0 || nPos >= n) return -1;
    if (IsLiteral(nPos) && (nPos = NextInputPos(nPos)) < 0) return -1;
    for (const std::string& c : SplitChars(pszText)) {
        if (nPos >= n) break;
        if (IsLiteral(nPos) && (nPos = NextInputPos(nPos)) < 0) {
            nPos = n;
            break;
        }
        CString sChar(c.c_str());
        if (!IsValidChar(nPos, sChar)) break;
        if (!bInsert) {
            m_input[size_t(nPos)] = sChar.str();
        } else {
            int nNext = 0;
            if (!InsertChar(nPos, sChar, nNext)) break;
        }
        ++nPos;
    }
    return nPos;
}

int CGXMaskData::SetMaskedText(LPCTSTR pszText, int nPos, BOOL bInsert)
{
    if (nPos == -1) {
        ResetInput();
        nPos = 0;
    }
    const std::vector<std::string> chars = SplitChars(pszText);
    const bool bFree = IsFreeText();
    if (nPos < 0 || (!bFree && nPos > GetPosCount()) || (bFree && nPos > GetLength())) return -1;
    if (bFree && !bInsert) m_input.resize(std::max(m_input.size(), chars.size() + size_t(nPos)));
    for (const std::string& c : chars) {
        if (!bFree && nPos >= GetPosCount()) break;
        CString sChar(c.c_str());
        if (IsLiteral(nPos)) {
            if (c != m_mask[size_t(nPos)]) return -1;
            if (!bInsert) m_input[size_t(nPos)] = c;
        } else {
            if (!IsValidChar(nPos, sChar)) return -1;
            if (!bInsert) {
                m_input[size_t(nPos)] = sChar.str();
            } else {
                int nNext = 0;
                if (!InsertChar(nPos, sChar, nNext)) return -1;
            }
        }
        ++nPos;
    }
    if (bFree && GetLength() > m_nMaxLength) m_input.resize(size_t(std::max(m_nMaxLength, 0)));
    return nPos;
}

void CGXMaskData::GetMaskedText(CString& sOut, int nFirst, int nLast)
{
    std::string s;
    const int n = GetLength();
    if (nLast < 0 || nLast >= n) nLast = n - 1;
    for (int p = std::max(nFirst, 0); p <= nLast; ++p) s += m_input[size_t(p)];
    sOut = s.c_str();
}

void CGXMaskData::GetValueText(CString& sOut, int nFirst, int nLast, BOOL bTrim)
{
    if (IsFreeText()) {
        GetMaskedText(sOut, nFirst, nLast);
        return;
    }
    std::string s;
    const int n = std::min(GetPosCount(), GetLength());
    if (nLast < 0 || nLast >= n) nLast = n - 1;
    for (int p = std::max(nFirst, 0); p <= nLast; ++p)
        if (!m_literal[size_t(p)]) s += m_input[size_t(p)] == m_sPrompt.str() ? std::string(" ") : m_input[size_t(p)];
    if (bTrim)
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    sOut = s.c_str();
}

BOOL CGXMaskData::IsValid()
{
    if (IsFreeText()) return GetLength() <= m_nMaxLength;
    if (GetLength() != GetPosCount()) return FALSE;
    for (int p = 0; p < GetPosCount(); ++p) {
        if (m_literal[size_t(p)]) {
            if (m_input[size_t(p)] != m_mask[size_t(p)]) return FALSE;
        } else {
            CString c(m_input[size_t(p)].c_str());
            if (!IsValidChar(p, c)) return FALSE;
        }
    }
    return TRUE;
}

int CGXMaskData::PosToByteOffset(int nPos)
{
    if (nPos < 0) return -1;
    int nBytes = 0;
    for (int p = 0; p < nPos && p < GetLength(); ++p) nBytes += int(m_input[size_t(p)].size());
    return nBytes;
}

int CGXMaskData::ByteOffsetToPos(int nOffset)
{
    if (nOffset < 0) return -1;
    int nBytes = 0, p = 0;
    for (; p < GetLength() && nBytes < nOffset; ++p) nBytes += int(m_input[size_t(p)].size());
    return p;
}
