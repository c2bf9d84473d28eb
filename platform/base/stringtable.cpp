#include "platform/base/stringtable.h"

#include <cstring>
#include <unordered_map>

namespace {

// Built on first use, so tables registered from other modules' static constructors are safe.
std::unordered_map<UINT, LPCTSTR>& Strings()
{
    static std::unordered_map<UINT, LPCTSTR> strings;
    return strings;
}

} // namespace

void PvRegisterStringTable(const PvStringResource* pTable, size_t nCount)
{
    if (pTable == nullptr)
        return;
    auto& strings = Strings();
    for (size_t i = 0; i < nCount; ++i) {
        if (pTable[i].lpszText != nullptr)
            strings[pTable[i].nID] = pTable[i].lpszText;
    }
}

BOOL AfxLoadStringResource(UINT nID, CString& out)
{
    const auto& strings = Strings();
    const auto it = strings.find(nID);
    if (it == strings.end())
        return FALSE;
    out = it->second;
    return TRUE;
}

int LoadString(HINSTANCE, UINT uID, LPTSTR lpBuffer, int cchBufferMax)
{
    if (lpBuffer == nullptr || cchBufferMax <= 0)
        return 0;
    const auto& strings = Strings();
    const auto it = strings.find(uID);
    if (it == strings.end()) {
        *lpBuffer = '\0';
        return 0;
    }
    size_t n = std::strlen(it->second);
    if (n > size_t(cchBufferMax - 1)) {
        n = size_t(cchBufferMax - 1);
        // Back up over continuation bytes so no character is cut in half.
        while (n > 0 && (BYTE(it->second[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(lpBuffer, it->second, n);
    lpBuffer[n] = '\0';
    return int(n);
}
