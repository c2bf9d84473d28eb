#pragma once
// UTF-8 text as whole characters for the widgets that count positions in characters.

#include "platform/base/CString.h"
#include "platform/base/utf8.h"
#include "platform/gdi/fonts.h"

#include <string>

namespace gxb {

inline std::u32string ToChars(const CString& s)
{
    std::u32string out;
    const char* p = s.GetString();
    const int n = s.GetLength();
    out.reserve(size_t(n));
    for (int i = 0; i < n;) {
        uint32_t cp = 0;
        i += pvgdi::DecodeUtf8(p, n, i, cp);
        out.push_back(char32_t(cp));
    }
    return out;
}

inline CString FromChars(const std::u32string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char32_t ch : s)
        PvAppendUtf8(out, uint32_t(ch));
    return CString(std::move(out));
}

inline CString FromChar(UINT ch) { return FromChars(std::u32string(1, char32_t(ch))); }

inline bool IsDigit(char32_t ch) { return ch >= '0' && ch <= '9'; }

}  // namespace gxb
