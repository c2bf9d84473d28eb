#include "platform/base/CString.h"

#include "platform/base/stringtable.h"
#include "platform/base/textcase.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>


namespace {

const char kWhiteSpace[] = " \t\n\r\v\f";

int clampIndex(int n, int size)
{
    return n < 0 ? 0 : (n > size ? size : n);
}

} // namespace

CString::CString(LPCTSTR pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.assign(pch, size_t(nLength));
}

TCHAR CString::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex <= GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return 0;
    return m_str[size_t(nIndex)];
}

void CString::SetAt(int nIndex, TCHAR ch)
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[size_t(nIndex)] = ch;
}

int CString::Compare(LPCTSTR psz) const
{
    int r = std::strcmp(m_str.c_str(), psz ? psz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCTSTR psz) const
{
    return PvCompareNoCase(m_str, psz ? psz : "");
}

int CString::CollateNoCase(LPCTSTR psz) const
{
    return PvCollateNoCase(m_str, psz ? psz : "");
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    int first = clampIndex(nFirst, GetLength());
    int count = nCount < 0 ? 0 : std::min(nCount, GetLength() - first);
    return CString(m_str.substr(size_t(first), size_t(count)));
}

CString CString::Left(int nCount) const
{
    return CString(m_str.substr(0, size_t(clampIndex(nCount, GetLength()))));
}

CString CString::Right(int nCount) const
{
    int n = clampIndex(nCount, GetLength());
    return CString(m_str.substr(m_str.size() - size_t(n)));
}

CString CString::SpanIncluding(LPCTSTR pszCharSet) const
{
    size_t n = std::strspn(m_str.c_str(), pszCharSet ? pszCharSet : "");
    return CString(m_str.substr(0, n));
}

CString CString::SpanExcluding(LPCTSTR pszCharSet) const
{
    size_t n = std::strcspn(m_str.c_str(), pszCharSet ? pszCharSet : "");
    return CString(m_str.substr(0, n));
}

CString& CString::MakeUpper()
{
    PvUpperCaseInPlace(m_str.data(), m_str.size());
    return *this;
}

CString& CString::MakeLower()
{
    PvLowerCaseInPlace(m_str.data(), m_str.size());
    return *this;
}

CString& CString::MakeReverse()
{
    // Reverse by characters so that multi-byte sequences stay intact.
    std::vector<std::string_view> chars;
    for (size_t i = 0; i < m_str.size();) {
        size_t len = 1;
        unsigned char c = (unsigned char)m_str[i];
        if (c >= 0xC0) {
            while (i + len < m_str.size() && ((unsigned char)m_str[i + len] & 0xC0) == 0x80)
                ++len;
        }
        chars.emplace_back(m_str.data() + i, len);
        i += len;
    }
    std::string out;
    out.reserve(m_str.size());
    for (auto it = chars.rbegin(); it != chars.rend(); ++it)
        out += *it;
    m_str = std::move(out);
    return *this;
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int n = 0;
    for (char& c : m_str) {
        if (c == chOld) {
            c = chNew;
            ++n;
        }
    }
    return n;
}

int CString::Replace(LPCTSTR pszOld, LPCTSTR pszNew)
{
    if (!pszOld || !*pszOld)
        return 0;
    std::string_view oldText(pszOld);
    std::string_view newText(pszNew ? pszNew : "");
    std::string out;
    int n = 0;
    size_t pos = 0;
    for (;;) {
        size_t hit = m_str.find(oldText, pos);
        if (hit == std::string::npos)
            break;
        out.append(m_str, pos, hit - pos);
        out += newText;
        pos = hit + oldText.size();
        ++n;
    }
    if (n) {
        out.append(m_str, pos, std::string::npos);
        m_str = std::move(out);
    }
    return n;
}

int CString::Remove(TCHAR ch)
{
    size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return int(before - m_str.size());
}

int CString::Insert(int nIndex, TCHAR ch)
{
    m_str.insert(size_t(clampIndex(nIndex, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCTSTR psz)
{
    if (psz)
        m_str.insert(size_t(clampIndex(nIndex, GetLength())), psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    int first = clampIndex(nIndex, GetLength());
    if (nCount > 0)
        m_str.erase(size_t(first), size_t(std::min(nCount, GetLength() - first)));
    return GetLength();
}

void CString::FormatV(LPCTSTR pszFormat, va_list args)
{
    if (!pszFormat) {
        m_str.clear();
        return;
    }
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::string out(size_t(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), pszFormat, args);
    out.resize(size_t(n));
    m_str = std::move(out);
}

void CString::Format(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(LPCTSTR pszFormat, ...)
{
    CString tail;
    va_list args;
    va_start(args, pszFormat);
    tail.FormatV(pszFormat, args);
    va_end(args);
    m_str += tail.m_str;
}

CString& CString::TrimLeft()
{
    return TrimLeft(kWhiteSpace);
}

CString& CString::TrimLeft(TCHAR chTarget)
{
    size_t n = 0;
    while (n < m_str.size() && m_str[n] == chTarget)
        ++n;
    m_str.erase(0, n);
    return *this;
}

CString& CString::TrimLeft(LPCTSTR pszTargets)
{
    size_t n = m_str.find_first_not_of(pszTargets ? pszTargets : "");
    m_str.erase(0, n == std::string::npos ? m_str.size() : n);
    return *this;
}

CString& CString::TrimRight()
{
    return TrimRight(kWhiteSpace);
}

CString& CString::TrimRight(TCHAR chTarget)
{
    size_t n = m_str.size();
    while (n > 0 && m_str[n - 1] == chTarget)
        --n;
    m_str.resize(n);
    return *this;
}

CString& CString::TrimRight(LPCTSTR pszTargets)
{
    size_t n = m_str.find_last_not_of(pszTargets ? pszTargets : "");
    m_str.resize(n == std::string::npos ? 0 : n + 1);
    return *this;
}

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    size_t pos = m_str.find(ch, size_t(nStart));
    return pos == std::string::npos ? -1 : int(pos);
}

int CString::Find(LPCTSTR pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, size_t(nStart));
    return pos == std::string::npos ? -1 : int(pos);
}

int CString::ReverseFind(TCHAR ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : int(pos);
}

int CString::FindOneOf(LPCTSTR pszCharSet) const
{
    if (!pszCharSet || !*pszCharSet)
        return -1;
    size_t pos = m_str.find_first_of(pszCharSet);
    return pos == std::string::npos ? -1 : int(pos);
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(size_t(nMinBufLength));
    return m_str.data();
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(size_t(nNewLength < 0 ? 0 : nNewLength));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = int(strnlen(m_str.c_str(), m_str.size()));
    m_str.resize(size_t(std::min(nNewLength, GetLength())));
}

BOOL CString::LoadString(UINT nID)
{
    CString text;
    if (!AfxLoadStringResource(nID, text))
        return FALSE;
    *this = std::move(text);
    return TRUE;
}

void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString)
{
    std::string out;
    for (const char* p = lpszFormat ? lpszFormat : ""; *p; ++p) {
        if (*p == '%' && p[1] >= '1' && p[1] <= '9') {
            int i = p[1] - '1';
            if (i < nString && rglpsz[i])
                out += rglpsz[i];
            ++p;
        } else {
            out += *p;
        }
    }
    rString = CString(std::move(out));
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    CString format;
    format.LoadString(nIDS);
    AfxFormatStrings(rString, format, &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString format;
    format.LoadString(nIDS);
    LPCTSTR args[2] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, format, args, 2);
}
