// DIBs handed to StretchDIBits: the decoder must read no further than the header promises, and
// each buffer here is exactly that long, so ASan sees any read past it.

#include "platform/gdi/dib.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using pvgdi::decodeDib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER bh;
    std::memcpy(&bh, data, sizeof bh);
    // What a caller lays out for this header: biSize bytes, the colour table, the rows.
    const size_t headerBytes = std::max<size_t>(bh.biSize, sizeof(BITMAPINFOHEADER));
    const unsigned bpp = bh.biBitCount;
    const size_t entries = bh.biClrUsed ? bh.biClrUsed : (bpp && bpp <= 8 ? size_t(1) << bpp : 0);
    const uint64_t width = uint64_t(std::max<int64_t>(bh.biWidth, 0));
    const uint64_t height = uint64_t(std::abs(int64_t(bh.biHeight)));
    const uint64_t rowBytes = (width * bpp + 31) / 32 * 4;
    constexpr uint64_t kMaxBytes = 1u << 18;  // keep each run quick
    if (headerBytes > 4096 || entries > 4096 || rowBytes * height > kMaxBytes) return 0;

    const size_t infoBytes = headerBytes + entries * sizeof(RGBQUAD);
    auto info = std::make_unique<uint8_t[]>(infoBytes);
    std::memset(info.get(), 0, infoBytes);
    std::memcpy(info.get(), data, std::min(infoBytes, size));
    const size_t bitsBytes = size_t(rowBytes * height);
    auto bits = std::make_unique<uint8_t[]>(std::max<size_t>(bitsBytes, 1));
    std::memset(bits.get(), 0xA5, bitsBytes);
    if (size > infoBytes) std::memcpy(bits.get(), data + infoBytes, std::min(bitsBytes, size - infoBytes));

    std::vector<uint32_t> px;
    int w = 0, h = 0;
    bool bottomUp = false;
    if (decodeDib(bits.get(), reinterpret_cast<const BITMAPINFO*>(info.get()), px, w, h, bottomUp)) {
        if (w <= 0 || h <= 0 || px.size() != size_t(w) * size_t(h) || uint64_t(w) != width || uint64_t(h) != height)
            std::abort();
        for (uint32_t p : px)
            if ((p >> 24) != 0xFF) std::abort();
    }
    return 0;
}
