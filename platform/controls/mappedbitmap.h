#pragma once
// The common controls' mapped-bitmap service: a bitmap resource whose standard button colours
// are replaced by the system's (or by a caller's table), so pictures follow the colour scheme.

#include "platform/gdi/gdi.h"

struct COLORMAP {
    COLORREF from;
    COLORREF to;
};
using LPCOLORMAP = COLORMAP*;

// Replaces every pixel of a colour in pMap by its mapped colour; with no table, black, dark grey,
// light grey and white become the button text, shadow, face and highlight colours. FALSE when
// the bitmap has no pixels to map.
BOOL PvMapBitmapColors(CBitmap& bitmap, const COLORMAP* pMap = nullptr, int nMapSize = 0);
// Loads bitmap resource nIDBitmap into bitmap (its former picture released) and maps its colours.
BOOL PvLoadMappedBitmap(CBitmap& bitmap, UINT nIDBitmap, const COLORMAP* pMap = nullptr, int nMapSize = 0);
// The system's form: a new bitmap handle the caller deletes, or null. wFlags is accepted for
// callers that pass it; masks are not kept.
HBITMAP CreateMappedBitmap(HINSTANCE hInstance, INT_PTR idBitmap, UINT wFlags, LPCOLORMAP lpColorMap, int iNumMaps);
