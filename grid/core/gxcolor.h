#pragma once
// Packed colours: a 32-bit value that is an RGB colour reference (top byte 0x00-0x40 or 0xFF,
// its low two bits the kind) or, with a top byte 0x41-0xFE, system colour 254 minus that byte.
// Styles, pens and brushes keep it as a 24-bit field plus a 2-bit kind.

#include "platform/base/pvdefs.h"

enum : DWORD {
    gxColorRGB = 0,
    gxColorPaletteIndex = 1,
    gxColorPaletteRGB = 2,
    gxColorSystem = 3,
};

// Highest system colour number the 32-bit form can name (top byte 0x41).
constexpr DWORD GX_MAX_PACKED_SYSCOLOR = 0xFE - 0x41;

// 32-bit value -> stored field and kind.
void GXPackColor(COLORREF value, DWORD& field, DWORD& kind);
// Stored colour -> a colour reference for drawing (system colours looked up now).
COLORREF GXResolveColor(DWORD field, DWORD kind);
// Stored colour -> its 32-bit form for getters and archives: a system colour comes back as its
// current RGB with 254 minus its number in the top byte.
COLORREF GXPackedColorValue(DWORD field, DWORD kind);
// Stored colour -> a 32-bit value that packs back to the same stored colour (a system colour
// stays a reference; one the 32-bit form cannot name becomes its drawn colour).
COLORREF GXPackedColorRef(DWORD field, DWORD kind);
// A packed system-colour reference for number nIndex.
inline COLORREF GXSYSCOLOR(DWORD nIndex) { return (COLORREF)((0xFE - (nIndex & 0xFF)) << 24); }
