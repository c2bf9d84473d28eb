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

namespace {

// Base letters of U+00C0..U+017F for the primary ordering key; "" keeps the character itself.
const char* const kBaseLetters[0x180 - 0xC0] = {
    // U+00C0
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "", "O", "U", "U", "U", "U", "Y", "TH", "SS",
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "", "O", "U", "U", "U", "U", "Y", "TH", "Y",
    // U+0100
    "A", "A", "A", "A", "A", "A", "C", "C", "C", "C", "C", "C", "C", "C", "D", "D",
    "D", "D", "E", "E", "E", "E", "E", "E", "E", "E", "E", "E", "G", "G", "G", "G",
    "G", "G", "G", "G", "H", "H", "H", "H", "I", "I", "I", "I", "I", "I", "I", "I",
    "I", "I", "IJ", "IJ", "J", "J", "K", "K", "K", "L", "L", "L", "L", "L", "L", "L",
    "L", "L", "L", "N", "N", "N", "N", "N", "N", "N", "N", "N", "O", "O", "O", "O",
    "O", "O", "OE", "OE", "R", "R", "R", "R", "R", "R", "S", "S", "S", "S", "S", "S",
    "S", "S", "T", "T", "T", "T", "T", "T", "U", "U", "U", "U", "U", "U", "U", "U",
    "U", "U", "U", "U", "W", "W", "Y", "Y", "Y", "Z", "Z", "Z", "Z", "Z", "Z", "S",
};

// Next code point of a UTF-8 text; a byte that starts no valid sequence stands for itself
// (as U+DC00 + byte, outside every real letter) so that broken text still orders stably.
char32_t nextCodePoint(std::string_view s, size_t& i)
{
    unsigned char c = (unsigned char)s[i];
    int len = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
            : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (len == 1) {
        ++i;
        return c;
    }
    if (len == 0 || i + len > s.size()) {
        ++i;
        return 0xDC00 + c;
    }
    char32_t cp = c & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        unsigned char t = (unsigned char)s[i + k];
        if ((t & 0xC0) != 0x80) {
            ++i;
            return 0xDC00 + c;
        }
        cp = (cp << 6) | (t & 0x3F);
    }
    static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xDC00 + c;
    }
    i += len;
    return cp;
}

// Appends the primary key of one code point: its base letter(s), upper-cased.
void appendPrimary(char32_t cp, std::u32string& out)
{
    if (cp < 0x80) {
        out.push_back((char32_t)(unsigned char)PvUpperAscii((char)cp));
        return;
    }
    if (cp >= 0xC0 && cp < 0x180 && *kBaseLetters[cp - 0xC0]) {
        for (const char* p = kBaseLetters[cp - 0xC0]; *p; ++p)
            out.push_back((char32_t)*p);
        return;
    }
    out.push_back((char32_t)upperCodePoint((int)cp));
}

std::u32string primaryKey(std::string_view s)
{
    std::u32string key;
    key.reserve(s.size());
    for (size_t i = 0; i < s.size();)
        appendPrimary(nextCodePoint(s, i), key);
    return key;
}

// Secondary key: the upper-cased code points, so accents order after their plain letter.
std::u32string secondaryKey(std::string_view s)
{
    std::u32string key;
    key.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t cp = nextCodePoint(s, i);
        key.push_back(cp < 0x80 ? (char32_t)(unsigned char)PvUpperAscii((char)cp)
                                : (char32_t)upperCodePoint((int)cp));
    }
    return key;
}

int sign(int r) { return r < 0 ? -1 : (r > 0 ? 1 : 0); }

} // namespace

int PvCollateNoCase(std::string_view a, std::string_view b)
{
    if (int r = sign(primaryKey(a).compare(primaryKey(b))))
        return r;
    return sign(secondaryKey(a).compare(secondaryKey(b)));
}

std::string PvCollationKeyNoCase(std::string_view text)
{
    // Code points as three big-endian bytes each keep the order of the keys compared above; the
    // zero triple after the primary part sorts a shorter primary first.
    std::string out;
    auto append = [&out](const std::u32string& key) {
        for (char32_t cp : key) {
            out.push_back(char((cp >> 16) & 0xFF));
            out.push_back(char((cp >> 8) & 0xFF));
            out.push_back(char(cp & 0xFF));
        }
    };
    const std::u32string primary = primaryKey(text);
    out.reserve(primary.size() * 6 + 3);
    append(primary);
    out.append(3, '\0');
    append(secondaryKey(text));
    return out;
}
