#pragma once
// GDI objects: the handle records behind HGDIOBJ and friends, and the framework's wrappers.
// A handle stays valid until DeleteObject; a DC that still has it selected keeps the object
// alive until it selects something else, so deleting a selected object never leaves the DC
// drawing with freed memory.

#include <functional>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/gdi/gdidefs.h"

class CGdiObject;
class CDC;

// Handle records. The kinds derive from HGDIOBJ__ so that any typed handle converts to HGDIOBJ.
struct HGDIOBJ__ {
    explicit HGDIOBJ__(int type) : pvType(type) {}
    virtual ~HGDIOBJ__();
    HGDIOBJ__(const HGDIOBJ__&) = delete;
    HGDIOBJ__& operator=(const HGDIOBJ__&) = delete;
    const int pvType;
    bool pvStock = false;
    int pvRefs = 1;                      // the owner's reference plus one per DC selection
    CGdiObject* pvWrapper = nullptr;     // the permanent wrapper that attached it, if any
    CGdiObject* pvTemp = nullptr;        // wrapper handed out by FromHandle, owned here
};
struct HPEN__ : HGDIOBJ__ { HPEN__() : HGDIOBJ__(OBJ_PEN) {} };
struct HBRUSH__ : HGDIOBJ__ { HBRUSH__() : HGDIOBJ__(OBJ_BRUSH) {} };
struct HFONT__ : HGDIOBJ__ { HFONT__() : HGDIOBJ__(OBJ_FONT) {} };
struct HBITMAP__ : HGDIOBJ__ { HBITMAP__() : HGDIOBJ__(OBJ_BITMAP) {} };
struct HRGN__ : HGDIOBJ__ { HRGN__() : HGDIOBJ__(OBJ_REGION) {} };

class CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)

public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    static CGdiObject* FromHandle(HGDIOBJ hObject);
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int nIndex);
    BOOL UnrealizeObject() { return m_hObject != nullptr; }
    bool operator==(const CGdiObject& o) const { return m_hObject == o.m_hObject; }
    bool operator!=(const CGdiObject& o) const { return m_hObject != o.m_hObject; }
};

class CPen : public CGdiObject {
    DECLARE_DYNCREATE(CPen)

public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0, const DWORD* lpStyle = nullptr)
    {
        CreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle);
    }
    static CPen* FromHandle(HPEN hPen) { return static_cast<CPen*>(CGdiObject::FromHandle(hPen)); }
    operator HPEN() const { return reinterpret_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    // Geometric pens: the brush's colour, the style's end caps and joins.
    BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0,
                   const DWORD* lpStyle = nullptr);
    BOOL CreatePenIndirect(const LOGPEN* lpLogPen);
    int GetLogPen(LOGPEN* pLogPen) const;
};

class CBitmap;

class CBrush : public CGdiObject {
    DECLARE_DYNCREATE(CBrush)

public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
    explicit CBrush(CBitmap* pBitmap) { CreatePatternBrush(pBitmap); }
    static CBrush* FromHandle(HBRUSH hBrush) { return static_cast<CBrush*>(CGdiObject::FromHandle(hBrush)); }
    operator HBRUSH() const { return reinterpret_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
    // The brush keeps its own copy of the bitmap's pixels (at most 8 x 8 are used).
    BOOL CreatePatternBrush(CBitmap* pBitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
    BOOL CreateSysColorBrush(int nIndex);
    int GetLogBrush(LOGBRUSH* pLogBrush) const;
};

class CFont : public CGdiObject {
    DECLARE_DYNCREATE(CFont)

public:
    static CFont* FromHandle(HFONT hFont) { return static_cast<CFont*>(CGdiObject::FromHandle(hFont)); }
    operator HFONT() const { return reinterpret_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
    // nPointSize in tenths of a point, converted with the DC's (or the screen's) vertical resolution.
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
    int GetLogFont(LOGFONT* pLogFont) const;
};

class CBitmap : public CGdiObject {
    DECLARE_DYNCREATE(CBitmap)

public:
    static CBitmap* FromHandle(HBITMAP hBitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap)); }
    operator HBITMAP() const { return reinterpret_cast<HBITMAP>(m_hObject); }
    // nBitcount 1 (rows padded to 16 bits, 0 = black), 24 (rows padded to 16 bits, BGR) or 32 (BGRX).
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateBitmapIndirect(const BITMAP* lpBitmap);
    // Monochrome when the DC has a monochrome bitmap selected, as the original does.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) { return CreateCompatibleBitmap(pDC, nWidth, nHeight); }
    // A resource bitmap, through the loader installed with PvSetBitmapResourceLoader.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    int GetBitmap(BITMAP* pBitMap) const;
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits);
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
    CSize GetBitmapDimension() const { return m_sizeDimension; }
    CSize SetBitmapDimension(int nWidth, int nHeight)
    {
        CSize old = m_sizeDimension;
        m_sizeDimension = CSize(nWidth, nHeight);
        return old;
    }

    // Image files and encoded images (PNG, BMP, JPEG, GIF; the first frame of a GIF).
    BOOL PvLoadImageFile(LPCTSTR lpszPath);
    BOOL PvLoadImageMemory(const void* data, size_t size);
    // Writes the bitmap as PNG.
    BOOL PvSavePng(LPCTSTR lpszPath) const;

private:
    CSize m_sizeDimension;
};

class CRgn : public CGdiObject {
    DECLARE_DYNCREATE(CRgn)

public:
    static CRgn* FromHandle(HRGN hRgn) { return static_cast<CRgn*>(CGdiObject::FromHandle(hRgn)); }
    operator HRGN() const { return reinterpret_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    // The union of many rectangles at once (one pass, where OR-ing them one by one is quadratic).
    BOOL PvCreateFromRects(const RECT* rects, int count);
    // Elliptic regions are approximated by horizontal bands, one per pixel row.
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
    BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
    void SetRectRgn(int x1, int y1, int x2, int y2);
    void SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
    int CopyRgn(const CRgn* pRgnSrc);
    BOOL EqualRgn(const CRgn* pRgn) const;
    int OffsetRgn(int x, int y);
    int OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }
    int GetRgnBox(LPRECT lpRect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
    BOOL RectInRegion(LPCRECT lpRect) const;
    // The region's rectangles (bands), for callers that paint or compare them.
    std::vector<CRect> PvGetRects() const;
};

// Resource bitmaps: the loader answers the encoded image (BMP/PNG file bytes) of an id or name.
// With no loader installed, LoadBitmap fails.
using PvBitmapResourceLoader = std::function<bool(UINT nID, LPCTSTR lpszName, std::vector<BYTE>& out)>;
void PvSetBitmapResourceLoader(PvBitmapResourceLoader loader);

// Maps a face name onto the installed family that renders it ("Arial" -> "DejaVu Sans").
CString PvResolveFontFamily(LPCTSTR lpszFaceName, BYTE nPitchAndFamily = 0);
