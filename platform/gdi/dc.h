#pragma once
// CDC: a device context over a Cairo surface (an off-screen image, a window's image, or a PDF
// printer page). Coordinates are logical and go through the mapping mode; pixel-exact raster
// operations (inversion, XOR, the ternary ROPs) work on image surfaces.

#include <functional>
#include <string>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/gdi/gdidefs.h"
#include "platform/gdi/gdiobj.h"

typedef struct _cairo_surface cairo_surface_t;

struct PvGdiRecord;

class CDC : public CObject {
    DECLARE_DYNCREATE(CDC)

public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;        // where drawing goes
    HDC m_hAttribDC = nullptr;  // where metrics and device caps come from (normally the same)
    BOOL m_bPrinting = FALSE;

    // ---- Handles ----
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    // The permanent wrapper of an attached HDC, or a wrapper owned by the HDC itself.
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap() {}
    BOOL Attach(HDC hDC);
    HDC Detach();
    virtual void SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
    virtual void SetOutputDC(HDC hDC) { m_hDC = hDC; }
    virtual void ReleaseAttribDC() { m_hAttribDC = nullptr; }
    virtual void ReleaseOutputDC() { m_hDC = nullptr; }

    // ---- Creation ----
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData);
    BOOL CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData);
    BOOL DeleteDC();

    // ---- The window seam (used by the window layer; see surface.h) ----
    // Makes this CDC draw into `surface` (a CAIRO_FORMAT_RGB24 or ARGB32 image surface that the
    // caller owns and keeps alive until PvDetachSurface or DeleteDC): device point (0, 0) lies at
    // `origin` in surface pixels and nothing is drawn outside `clip` (device coordinates). The
    // clip is the system clip: SelectClipRgn(NULL) goes back to it, never beyond it.
    BOOL PvAttachSurface(cairo_surface_t* surface, POINT origin, const RECT& clip);
    // A screen DC whose picture is made by `compose` only when something draws on it or reads
    // from it, so that device capabilities and text measures cost no picture. The DC owns the
    // surface `compose` returns (device point (0, 0) at its top-left).
    BOOL PvAttachLazySurface(std::function<cairo_surface_t*()> compose);
    // Narrows the system clip to a region (device coordinates), e.g. a window's update region.
    void PvSetSystemClipRgn(const CRgn* pRgn);
    // Ends drawing into the surface: flushes, then deletes the DC's state.
    void PvDetachSurface();
    // The surface drawn into (the selected bitmap's for a memory DC), and the device origin in it.
    cairo_surface_t* PvGetSurface() const;
    CPoint PvGetSurfaceOrigin() const;

    // ---- State ----
    virtual int SaveDC();
    virtual BOOL RestoreDC(int nSavedDC);
    int GetDeviceCaps(int nIndex) const;
    BOOL IsPrinting() const { return m_bPrinting; }

    // ---- Objects ----
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    virtual CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    int SelectObject(CRgn* pRgn);  // as SelectClipRgn; answers the region kind
    CGdiObject* SelectObject(CGdiObject* pObject);
    HGDIOBJ SelectObject(HGDIOBJ hObject);
    virtual CGdiObject* SelectStockObject(int nIndex);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // ---- Colours and modes ----
    COLORREF GetBkColor() const;
    virtual COLORREF SetBkColor(COLORREF crColor);
    int GetBkMode() const;
    int SetBkMode(int nBkMode);
    COLORREF GetTextColor() const;
    virtual COLORREF SetTextColor(COLORREF crColor);
    int GetROP2() const;
    int SetROP2(int nDrawMode);
    int GetPolyFillMode() const;
    int SetPolyFillMode(int nPolyFillMode);
    int GetStretchBltMode() const;
    int SetStretchBltMode(int nStretchMode);
    COLORREF GetNearestColor(COLORREF crColor) const;
    UINT GetTextAlign() const;
    UINT SetTextAlign(UINT nFlags);
    CPoint GetBrushOrg() const;
    CPoint SetBrushOrg(int x, int y);
    CPoint SetBrushOrg(POINT point) { return SetBrushOrg(point.x, point.y); }

    // ---- Mapping ----
    int GetMapMode() const;
    virtual int SetMapMode(int nMapMode);
    CPoint GetViewportOrg() const;
    virtual CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    virtual CPoint OffsetViewportOrg(int nWidth, int nHeight);
    CSize GetViewportExt() const;
    virtual CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
    virtual CSize ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);
    CPoint GetWindowOrg() const;
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    CPoint OffsetWindowOrg(int nWidth, int nHeight);
    CSize GetWindowExt() const;
    virtual CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
    virtual CSize ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    void LPtoDP(LPPOINT lpPoints, int nCount = 1) const;
    void LPtoDP(LPRECT lpRect) const;
    void LPtoDP(LPSIZE lpSize) const;
    void DPtoLP(LPPOINT lpPoints, int nCount = 1) const;
    void DPtoLP(LPRECT lpRect) const;
    void DPtoLP(LPSIZE lpSize) const;

    // ---- Clipping (regions in device coordinates, boxes in logical ones) ----
    virtual int GetClipBox(LPRECT lpRect) const;
    virtual BOOL PtVisible(int x, int y) const;
    BOOL PtVisible(POINT point) const { return PtVisible(point.x, point.y); }
    virtual BOOL RectVisible(LPCRECT lpRect) const;
    int SelectClipRgn(CRgn* pRgn);
    int SelectClipRgn(CRgn* pRgn, int nMode);
    int ExcludeClipRect(int x1, int y1, int x2, int y2);
    int ExcludeClipRect(LPCRECT lpRect) { return ExcludeClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    int IntersectClipRect(int x1, int y1, int x2, int y2);
    int IntersectClipRect(LPCRECT lpRect) { return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    int OffsetClipRgn(int x, int y);
    // Copies the application clip (device coordinates) into pRgn; 0 when there is none.
    int GetClipRgn(CRgn* pRgn) const;

    // ---- Lines and shapes ----
    CPoint GetCurrentPosition() const;
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Polyline(const POINT* lpPoints, int nCount);
    BOOL Polygon(const POINT* lpPoints, int nCount);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT lpRect) { return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    BOOL RoundRect(LPCRECT lpRect, POINT point) { return RoundRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, point.x, point.y); }
    BOOL Ellipse(int x1, int y1, int x2, int y2);
    BOOL Ellipse(LPCRECT lpRect) { return Ellipse(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }

    // ---- Fills and frames ----
    void FillRect(LPCRECT lpRect, CBrush* pBrush);
    void FrameRect(LPCRECT lpRect, CBrush* pBrush);
    void InvertRect(LPCRECT lpRect);
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush);
    BOOL InvertRgn(CRgn* pRgn);
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags);
    BOOL DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState);
    // Dotted, drawn by inversion: a second identical call erases it.
    void DrawFocusRect(LPCRECT lpRect);
    // The 50% grey checkerboard brush that tracking rectangles are inverted with (PATINVERT).
    static CBrush* GetHalftoneBrush();

    // ---- Raster operations ----
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop);
    // A device-independent bitmap (1, 4, 8, 24 or 32 bits, BI_RGB; bottom-up or top-down).
    // Answers the number of scan lines drawn, 0 on a bad header.
    int StretchDIBits(int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc, int nSrcWidth,
                      int nSrcHeight, const void* lpBits, const BITMAPINFO* lpBitsInfo, UINT iUsage, DWORD dwRop);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    COLORREF SetPixel(int x, int y, COLORREF crColor);
    COLORREF SetPixel(POINT point, COLORREF crColor) { return SetPixel(point.x, point.y, crColor); }
    BOOL SetPixelV(int x, int y, COLORREF crColor);

    // ---- Text ----
    virtual BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
    BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
    virtual BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                            const int* lpDxWidths);
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, const int* lpDxWidths)
    {
        return ExtTextOut(x, y, nOptions, lpRect, str, UINT(str.GetLength()), lpDxWidths);
    }
    // nCount -1: up to the terminating zero. Answers the text's height.
    virtual int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) { return DrawText(str, str.GetLength(), lpRect, nFormat); }
    // Tabs jump to the given stops (one stop: multiples of it; none: 8 average characters),
    // measured from nTabOrigin. Answers the extent drawn.
    CSize TabbedTextOut(int x, int y, LPCTSTR lpszString, int nCount, int nTabPositions, const int* lpnTabStopPositions,
                        int nTabOrigin);
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
    CSize GetOutputTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetOutputTextExtent(const CString& str) const { return GetOutputTextExtent(str, str.GetLength()); }
    CSize GetTabbedTextExtent(LPCTSTR lpszString, int nCount, int nTabPositions, const int* lpnTabStopPositions) const;
    BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const;
    BOOL GetOutputTextMetrics(LPTEXTMETRIC lpMetrics) const;
    int GetTextFace(int nCount, LPTSTR lpszFacename) const;
    int GetTextFace(CString& rString) const;
    // Widths of the characters (code points) nFirstChar..nLastChar.
    BOOL GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const;

    // ---- Printing (printer DCs) ----
    int StartDoc(LPCTSTR lpszDocName);
    int StartDoc(const DOCINFO* lpDocInfo);
    int StartPage();
    int EndPage();
    int EndDoc();
    int AbortDoc();
};


// A printer context that renders each page into a PDF file. Paper sizes in tenths of a
// millimetre (A4 portrait by default); the device resolution is dpiX x dpiY.
struct PvPrinterSettings {
    CString outputPath;     // the PDF file; StartDoc's lpszOutput overrides it
    int dpiX = 600;
    int dpiY = 600;
    int paperWidth = 2100;  // tenths of a millimetre
    int paperHeight = 2970;
    int marginLeft = 0;     // unprintable margins, tenths of a millimetre
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    bool landscape = false;
};
HDC PvCreatePdfPrinterDC(const PvPrinterSettings& settings);
BOOL PvCreatePdfPrinterDC(CDC& dc, const PvPrinterSettings& settings);
