#pragma once
// The framework's string: a value type over UTF-8 bytes. Lengths and indexes are byte counts;
// case changes work on whole UTF-8 characters (see textcase.h).

#include "platform/base/pvdefs.h"

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCTSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCTSTR pch, int nLength);
    CString(TCHAR ch, int nRepeat = 1) : m_str(nRepeat > 0 ? size_t(nRepeat) : 0, ch) {}
    explicit CString(std::string s) : m_str(std::move(s)) {}
    explicit CString(std::string_view s) : m_str(s) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator=(TCHAR ch) { m_str.assign(1, ch); return *this; }
    // Replaces the text with nLength characters from pch, in the room the string has.
    void SetString(LPCTSTR pch, int nLength) { if (pch && nLength > 0) m_str.assign(pch, size_t(nLength)); else m_str.clear(); }

    // Length and access
    int GetLength() const { return int(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    TCHAR GetAt(int nIndex) const;
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, TCHAR ch);
    operator LPCTSTR() const { return m_str.c_str(); }
    LPCTSTR GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }
    std::string_view view() const { return m_str; }

    // Concatenation
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(LPCTSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(TCHAR ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, LPCTSTR b) { CString r(a); r += b; return r; }
    friend CString operator+(LPCTSTR a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, TCHAR b) { CString r(a); r += b; return r; }
    friend CString operator+(TCHAR a, const CString& b) { CString r(a); r += b; return r; }

    // Comparison
    int Compare(LPCTSTR psz) const;
    int CompareNoCase(LPCTSTR psz) const;
    int Collate(LPCTSTR psz) const { return Compare(psz); }
    int CollateNoCase(LPCTSTR psz) const;

    // Extraction
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR pszCharSet) const;
    CString SpanExcluding(LPCTSTR pszCharSet) const;

    // Changes
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR pszOld, LPCTSTR pszNew);
    int Remove(TCHAR ch);
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR psz);
    int Delete(int nIndex, int nCount = 1);
    void Format(LPCTSTR pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(LPCTSTR pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(LPCTSTR pszFormat, va_list args);
    CString& TrimLeft();
    CString& TrimLeft(TCHAR chTarget);
    CString& TrimLeft(LPCTSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(TCHAR chTarget);
    CString& TrimRight(LPCTSTR pszTargets);
    CString& Trim() { TrimRight(); return TrimLeft(); }

    // Searching; each returns -1 when nothing is found
    int Find(TCHAR ch) const { return Find(ch, 0); }
    int Find(TCHAR ch, int nStart) const;
    int Find(LPCTSTR pszSub) const { return Find(pszSub, 0); }
    int Find(LPCTSTR pszSub, int nStart) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR pszCharSet) const;

    // Direct buffer access: GetBuffer(n) gives room for n characters plus the terminator;
    // ReleaseBuffer(-1) takes the length up to the first zero byte.
    LPTSTR GetBuffer(int nMinBufLength);
    LPTSTR GetBuffer() { return GetBuffer(0); }
    LPTSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    void FreeExtra() { m_str.shrink_to_fit(); }
    void Preallocate(int nLength) { if (nLength > 0) m_str.reserve(size_t(nLength)); }

    // Loads string resource nID; FALSE (and the string unchanged) when there is none.
    BOOL LoadString(UINT nID);

private:
    std::string m_str;
};

inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, LPCTSTR b) { return !(a == b); }
inline bool operator!=(LPCTSTR a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }
inline bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
inline bool operator>(const CString& a, const CString& b) { return b < a; }
inline bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
inline bool operator<=(const CString& a, const CString& b) { return !(b < a); }
inline bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
inline bool operator>=(const CString& a, const CString& b) { return !(a < b); }
inline bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }

template <>
struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};

// Framework helpers for formatting string resources with %1..%9 placeholders.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);
void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString);
