// Device-independent bitmaps as callers hand them to StretchDIBits: a header, its colour table
// and the rows, read only as far as the header promises.

#include "platform/gdi/dib.h"

#include <algorithm>
#include <cstdlib>

namespace pvgdi {

bool decodeDib(const void* bits, const BITMAPINFO* bmi, std::vector<uint32_t>& out, int& w, int& h, bool& bottomUp)
{
    if (!bits || !bmi) return false;
    const BITMAPINFOHEADER& bh = bmi->bmiHeader;
    if (bh.biSize < sizeof(BITMAPINFOHEADER) || bh.biPlanes != 1 || bh.biCompression != BI_RGB) return false;
    const int bpp = bh.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (bh.biWidth <= 0 || bh.biWidth > 32767 || bh.biHeight == 0 || bh.biHeight < -32767 || bh.biHeight > 32767)
        return false;
    w = bh.biWidth;
    h = std::abs(bh.biHeight);
    bottomUp = bh.biHeight > 0;
    if (long(w) * h > (1L << 26)) return false;
    const int maxColors = bpp <= 8 ? 1 << bpp : 0;
    const int nColors = bpp <= 8 ? (bh.biClrUsed ? int(std::min<DWORD>(bh.biClrUsed, DWORD(maxColors))) : maxColors) : 0;
    const auto* pal = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(bmi) + bh.biSize);
    const size_t rowBytes = ((size_t(w) * size_t(bpp) + 31) / 32) * 4;
    const auto* data = static_cast<const BYTE*>(bits);
    out.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        const BYTE* row = data + rowBytes * size_t(bottomUp ? h - 1 - y : y);
        uint32_t* o = out.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            uint32_t v = 0;
            auto palette = [&](int i) -> uint32_t {
                if (i >= nColors) return 0;
                return (uint32_t(pal[i].rgbRed) << 16) | (uint32_t(pal[i].rgbGreen) << 8) | pal[i].rgbBlue;
            };
            switch (bpp) {
            case 1: v = palette((row[x / 8] >> (7 - x % 8)) & 1); break;
            case 4: v = palette((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
            case 8: v = palette(row[x]); break;
            case 16: {
                const unsigned p = row[2 * x] | (unsigned(row[2 * x + 1]) << 8);
                const unsigned r5 = (p >> 10) & 31, g5 = (p >> 5) & 31, b5 = p & 31;
                v = ((r5 * 255 / 31) << 16) | ((g5 * 255 / 31) << 8) | (b5 * 255 / 31);
                break;
            }
            case 24: v = (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x]; break;
            default: v = (uint32_t(row[4 * x + 2]) << 16) | (uint32_t(row[4 * x + 1]) << 8) | row[4 * x]; break;
            }
            o[x] = v | 0xFF000000u;
        }
    }
    return true;
}

}  // namespace pvgdi
