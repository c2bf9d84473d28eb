#pragma once
// Private to platform/gdi: decoding the DIBs that StretchDIBits receives.

#include <cstdint>
#include <vector>

#include "platform/gdi/gdidefs.h"

namespace pvgdi {

// Decodes a DIB into 0xFFRRGGBB pixels, top row first; false on anything malformed. Reads the
// header's biSize bytes, its colour table (biClrUsed entries, or all 2^bpp when 0) and the rows
// that biWidth, biHeight and biBitCount describe, nothing more.
bool decodeDib(const void* bits, const BITMAPINFO* bmi, std::vector<uint32_t>& out, int& w, int& h, bool& bottomUp);

}  // namespace pvgdi
