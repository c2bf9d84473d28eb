#include "grid/widgets/gxoleblock.h"

#include "platform/base/utf8.h"

namespace {

constexpr uint16_t kSignature = 0x1C15;
constexpr size_t kHeader = 20;
constexpr size_t kTrailer = 4;

uint16_t rd16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

void put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

bool isUtf8(const uint8_t* p, size_t n)
{
    size_t i = 0;
    while (i < n) {
        uint8_t c = p[i];
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > n)
            return false;
        uint32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        static const uint32_t minFor[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < minFor[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

// Names written by other programs are in the ANSI code page.
std::string fromCp1252(const uint8_t* p, size_t n)
{
    static const uint16_t high[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        uint8_t c = p[i];
        PvAppendUtf8(s, c >= 0x80 && c < 0xA0 ? high[c - 0x80] : c);
    }
    return s;
}

std::string readName(const uint8_t* p, size_t n)
{
    return isUtf8(p, n) ? std::string(reinterpret_cast<const char*>(p), n) : fromCp1252(p, n);
}

// The name at [off, off + len) must lie before the trailer and hold its terminator.
bool nameAt(const uint8_t* p, size_t n, size_t off, size_t len, std::string& out)
{
    if (len == 0 || off < kHeader || off > n - kTrailer || len > n - kTrailer - off)
        return false;
    size_t z = 0;
    while (z < len && p[off + z] != 0)
        ++z;
    if (z == len)
        return false;
    out = readName(p + off, z);
    return true;
}

}  // namespace

bool GXIsWellFormedProgId(const std::string& s)
{
    if (s.empty() || s.size() > 39 || (s[0] >= '0' && s[0] <= '9'))
        return false;
    for (char c : s) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

bool GXDecodeObjectBlock(const uint8_t* p, size_t n, GXObjectBlock& out)
{
    if (p == nullptr || n < kHeader + kTrailer || rd16(p) != kSignature || rd16(p + 2) < kHeader)
        return false;
    size_t nameLen = rd16(p + 8), classLen = rd16(p + 10);
    size_t nameOff = rd16(p + 12), classOff = rd16(p + 14);
    GXObjectBlock b;
    if (!nameAt(p, n, nameOff, nameLen, b.typeName) || !nameAt(p, n, classOff, classLen, b.progId))
        return false;
    if (!GXIsWellFormedProgId(b.progId))
        return false;
    size_t start = classOff + classLen;  // nameAt keeps this <= n - 4
    b.data.assign(p + start, p + (n - kTrailer));
    out = std::move(b);
    return true;
}

bool GXEncodeObjectBlock(const GXObjectBlock& in, std::vector<uint8_t>& out)
{
    size_t nameLen = in.typeName.size() + 1, classLen = in.progId.size() + 1;
    if (kHeader + nameLen + classLen > 0xFFFF)
        return false;
    std::vector<uint8_t> v;
    v.reserve(kHeader + nameLen + classLen + in.data.size() + kTrailer);
    put16(v, kSignature);
    put16(v, uint16_t(kHeader));
    put16(v, 2);  // embedded
    put16(v, 0);
    put16(v, uint16_t(nameLen));
    put16(v, uint16_t(classLen));
    put16(v, uint16_t(kHeader));
    put16(v, uint16_t(kHeader + nameLen));
    put16(v, 0xFFFF);
    put16(v, 0xFFFF);
    v.insert(v.end(), in.typeName.begin(), in.typeName.end());
    v.push_back(0);
    v.insert(v.end(), in.progId.begin(), in.progId.end());
    v.push_back(0);
    v.insert(v.end(), in.data.begin(), in.data.end());
    v.insert(v.end(), kTrailer, 0);
    out = std::move(v);
    return true;
}
