#include "platform/base/utf8.h"

int PvEncodeUtf8(uint32_t cp, char out[4])
{
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp >= 0xD800 && cp < 0xE000)
        return 0;
    if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        return 3;
    }
    if (cp > 0x10FFFF)
        return 0;
    out[0] = char(0xF0 | (cp >> 18));
    out[1] = char(0x80 | ((cp >> 12) & 0x3F));
    out[2] = char(0x80 | ((cp >> 6) & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
}

bool PvAppendUtf8(std::string& s, uint32_t cp)
{
    char buf[4];
    const int n = PvEncodeUtf8(cp, buf);
    s.append(buf, size_t(n));
    return n > 0;
}

int PvUtf8CharCount(const char* p, size_t n)
{
    int k = 0;
    for (size_t i = 0; i < n; ++i)
        k += (static_cast<unsigned char>(p[i]) & 0xC0) != 0x80;
    return k;
}

int PvUtf8ByteOffset(const char* p, int nChar)
{
    int i = 0;
    for (int n = 0; p[i]; ++i) {
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) {
            if (n == nChar)
                return i;
            ++n;
        }
    }
    return i;
}
