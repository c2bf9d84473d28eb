// Mapped bitmaps: resource pictures recoloured to the current button colours.

#include "platform/controls/mappedbitmap.h"

#include "platform/sys/system.h"

#include <vector>

namespace {

// The four colours a button picture is drawn in, and the system colours they stand for.
const struct {
    COLORREF from;
    int nSysColor;
} kButtonColors[] = {
    {RGB(0, 0, 0), COLOR_BTNTEXT},
    {RGB(128, 128, 128), COLOR_BTNSHADOW},
    {RGB(192, 192, 192), COLOR_BTNFACE},
    {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT},
};

} // namespace

BOOL PvMapBitmapColors(CBitmap& bitmap, const COLORMAP* pMap, int nMapSize)
{
    std::vector<COLORMAP> map;
    if (pMap && nMapSize > 0) {
        map.assign(pMap, pMap + nMapSize);
    } else {
        for (const auto& c : kButtonColors)
            map.push_back({c.from, GetSysColor(c.nSysColor)});
    }
    BITMAP bm {};
    if (!bitmap.GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return FALSE;
    if (bm.bmBitsPixel == 1) // a mask has no colours to map
        return TRUE;
    const size_t nBytes = size_t(bm.bmWidth) * size_t(bm.bmHeight) * 4;
    std::vector<BYTE> bits(nBytes);
    if (bitmap.GetBitmapBits(DWORD(nBytes), bits.data()) != nBytes)
        return FALSE;
    for (size_t i = 0; i < nBytes; i += 4) {
        const COLORREF c = RGB(bits[i + 2], bits[i + 1], bits[i]);
        for (const COLORMAP& m : map)
            if (c == m.from) {
                bits[i] = GetBValue(m.to);
                bits[i + 1] = GetGValue(m.to);
                bits[i + 2] = GetRValue(m.to);
                break;
            }
    }
    return bitmap.SetBitmapBits(DWORD(nBytes), bits.data()) == nBytes;
}

BOOL PvLoadMappedBitmap(CBitmap& bitmap, UINT nIDBitmap, const COLORMAP* pMap, int nMapSize)
{
    bitmap.DeleteObject();
    if (bitmap.LoadBitmap(nIDBitmap) && PvMapBitmapColors(bitmap, pMap, nMapSize))
        return TRUE;
    bitmap.DeleteObject();
    return FALSE;
}

HBITMAP CreateMappedBitmap(HINSTANCE, INT_PTR idBitmap, UINT, LPCOLORMAP lpColorMap, int iNumMaps)
{
    CBitmap bitmap;
    if (!PvLoadMappedBitmap(bitmap, UINT(idBitmap), lpColorMap, iNumMaps))
        return nullptr;
    return static_cast<HBITMAP>(bitmap.Detach());
}
