// The clipboard as tests read and fill it: a format's bytes as text, and a block put on it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/sys/globalmem.h"
#include "platform/win/win.h"

inline std::string ClipText(UINT nFormat = CF_TEXT)
{
    std::string s;
    if (!::OpenClipboard(nullptr))
        return "<busy>";
    if (HGLOBAL h = ::GetClipboardData(nFormat)) {
        const size_t n = GlobalSize(h);
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            s.assign(p, strnlen(p, n));
            GlobalUnlock(h);
        }
    } else {
        s = "<none>";
    }
    ::CloseClipboard();
    return s;
}

inline void SetClipBlock(UINT nFormat, const void* p, size_t n, bool bEmpty = true)
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    if (bEmpty)
        EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(h), p, n);
    GlobalUnlock(h);
    SetClipboardData(nFormat, h);
    ::CloseClipboard();
}

inline void SetClipText(const std::string& s) { SetClipBlock(CF_TEXT, s.c_str(), s.size() + 1); }
