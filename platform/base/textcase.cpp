#include "platform/base/textcase.h"

#include <algorithm>

namespace {

// Code point of a two-byte UTF-8 sequence, or -1.
int decode2(unsigned char b0, unsigned char b1)
{
    if ((b0 & 0xE0) != 0xC0 || (b1 & 0xC0) != 0x80)
        return -1;
    return ((b0 & 0x1F) << 6) | (b1 & 0x3F);
}

void encode2(int cp, char* out)
{
    out[0] = char(0xC0 | (cp >> 6));
    out[1] = char(0x80 | (cp & 0x3F));
}

int upperCodePoint(int cp)
{
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
        return cp - 0x20;
    if (cp == 0xFF)
        return 0x178;
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
        return cp & ~1;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
        return (cp & 1) ? cp : cp - 1;
    return cp;
}

int lowerCodePoint(int cp)
{
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 0x20;
    if (cp == 0x178)
        return 0xFF;
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
        return cp | 1;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
        return (cp & 1) ? cp + 1 : cp;
    return cp;
}

template <typename Ascii, typename Wide>
void mapInPlace(char* s, size_t n, Ascii ascii, Wide wide)
{
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = (unsigned char)s[i];
        if (c < 0x80) {
            s[i] = ascii(s[i]);
            continue;
        }
        if (i + 1 < n) {
            int cp = decode2(c, (unsigned char)s[i + 1]);
            if (cp >= 0) {
                int mapped = wide(cp);
                if (mapped != cp && mapped >= 0x80 && mapped < 0x800)
                    encode2(mapped, s + i);
                ++i;
            }
        }
    }
}

} // namespace

void PvUpperCaseInPlace(char* text, size_t length)
{
    mapInPlace(text, length, PvUpperAscii, upperCodePoint);
}

void PvLowerCaseInPlace(char* text, size_t length)
{
    mapInPlace(text, length, PvLowerAscii, lowerCodePoint);
}

std::string PvUpperCase(std::string_view text)
{
    std::string s(text);
    PvUpperCaseInPlace(s.data(), s.size());
    return s;
}

std::string PvLowerCase(std::string_view text)
{
    std::string s(text);
    PvLowerCaseInPlace(s.data(), s.size());
    return s;
}

int PvCompareNoCase(std::string_view a, std::string_view b)
{
    int r = PvUpperCase(a).compare(PvUpperCase(b));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
