// Photos and the installation's bitmaps: any bytes load into a bitmap or fail cleanly, and a
// loaded bitmap has the size its file claims.

#include "platform/gdi/gdi.h"

#include <stb/stb_image.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20)) return 0;
    // A few bytes can describe millions of pixels: decoding them proves nothing more and would
    // slow every run to a crawl; the loader bounds larger pictures by its size guard.
    int w = 0, h = 0, n = 0;
    if (stbi_info_from_memory(data, int(size), &w, &h, &n) && int64_t(w) * h > (1 << 18)) return 0;
    CBitmap bm;
    if (bm.PvLoadImageMemory(data, size)) {
        BITMAP info {};
        if (!bm.GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0) std::abort();
    }
    return 0;
}
