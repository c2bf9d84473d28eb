#pragma once
// Drawing and formatting services of the grid: measuring, breaking and drawing cell text,
// ellipses, frames, pattern bitmaps, value formatting through the installed formatter, and the
// helpers for choice lists (entries separated by line breaks, columns by tabs).

#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/base/pvdefs.h"

class CDC;
class CBitmap;
class CGXStyle;
struct BITMAPINFOHEADER;

// Lines a cell text is laid out into at most.
constexpr int GX_MAX_TEXT_LINES = 32;

// Ellipsis types of the user attribute "Type of ellipses that will be drawn".
enum : int { gxNoEllipse = 0, gxDotEllipse = 1, gxPoundEllipse = 2 };
// User attributes read when a cell's text is drawn.
constexpr WORD GX_IDS_UA_RTLREADING = 52570;
constexpr WORD GX_IDS_UA_ELLIPSES = 52792;

class CGXDrawingAndFormatting {
public:
    virtual ~CGXDrawingAndFormatting() = default;

    // Pattern 0-40 as an 8x8 monochrome bitmap, made on first use; null for another number.
    virtual CBitmap* GetPattern(int nPattern);
    virtual void DrawTextWithEllipsis(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, UINT nFormat,
                                      int nEllipsisType, const CRect* pClipRect = nullptr);
    virtual void DrawTextLines(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, UINT nFormat,
                               const CRect* pClipRect = nullptr);
    virtual BOOL DrawRotatedText(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, int nAngle, UINT nFormat,
                                 const CRect* pClipRect = nullptr);
    // -1 below the last line.
    virtual int CharIndexFromPoint(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, CPoint point,
                                   UINT nFormat);
    virtual int LayoutText(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, UINT nFormat, int* pStarts,
                           int* pLengths);
    // Byte offsets and lengths of at most nMaxLines lines; returns the number of lines.
    virtual int BreakTextIntoLines(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, UINT nFormat,
                                   int* pStarts, int* pLengths, int nMaxLines);
    virtual void FormatValueForDisplay(CString& strResult, const CGXStyle& style, LPCTSTR pszValue = nullptr,
                                       unsigned nFormat = unsigned(-1), unsigned nPlaces = unsigned(-1),
                                       unsigned nFlags = 0);
    // FALSE when no formatter is installed or the text is no number.
    virtual BOOL ParseDisplayValue(LPCTSTR pszText, double& value, unsigned& nFormat, unsigned& nPlaces);
    virtual void Draw3dFrame(CDC* pDC, int left, int top, int right, int bottom, int nWidth, COLORREF rgbTopLeft,
                             COLORREF rgbBottomRight);
    virtual void DrawEdgeFrame(CDC* pDC, const CRect& rect, BOOL bRaised, BOOL bSunken);
    // The text step of a cell: the style's font, colours, alignment, wrapping, right-to-left
    // reading, rotation and ellipsis applied to an already composed display text in the
    // control's inner rectangle. bBlackWhite: black text on white, for monochrome printing.
    // bFontSelected: the caller selected the style's font (a grid's cached font at its zoom), so
    // no font is made per cell.
    virtual void DrawStyledCellText(CDC* pDC, const CRect& rectInner, LPCTSTR pszText, const CGXStyle& style,
                                    BOOL bBlackWhite = FALSE, BOOL bFontSelected = FALSE);
    // pszText null: only the focus frame of a "--" sized box.
    virtual void DrawCaptionText(CDC* pDC, const CRect& rect, LPCTSTR pszText, UINT nFormat, BOOL bFocus);
};

CGXDrawingAndFormatting* GetDrawingAndFormatting();
void FormatValueForDisplay(CString& strResult, const CGXStyle& style, LPCTSTR pszValue = nullptr);

// A bitmap resource as a packed DIB (header, then 32-bit bottom-up rows) in a new movable,
// zero-initialised global block that the caller frees; null when the resource is missing.
HGLOBAL CopyBitmapResourceToGlobal(UINT nIDResource);
// Entries of a packed DIB's colour table.
int GetDibNumColors(const BITMAPINFOHEADER* pHeader);
void DrawTransparentBitmap(CDC* pDC, CBitmap* pBitmap, int x, int y, COLORREF crTransparent);
// A resource bitmap with its button colours (black, dark grey, light grey, white) turned into the
// current system colours; nonzero on success.
BOOL LoadSysColorMappedBitmap(CBitmap& bitmap, UINT nIDResource);
BOOL LoadSysColorMappedBitmap(CBitmap& bitmap, LPCTSTR pszResourceName);
void InvertRectClipped(CDC* pDC, const CRect& rect, const CRect& clip);
// Packed colours (system colours included) resolved before the fill.
void FillSolidRectXY(CDC* pDC, int x, int y, int cx, int cy, COLORREF packed);
void FillSolidRect(CDC* pDC, const CRect& rect, COLORREF packed);
void DrawEdgeRect(CDC* pDC, const CRect& rect, UINT nEdge, BOOL bAdjust);

// Choice lists.
int PopFirstLine(CString& strText, CString& strLine);
void CopyTabField(LPCTSTR pszLine, int nField, char* pszBuffer, int nSize);
// The lines of a choice list one by one, without copying what follows (a CR LF pair is one
// break; a break at the very end ends the list): a list of thousands of lines is read once.
class CGXChoiceListReader {
public:
    explicit CGXChoiceListReader(LPCTSTR pszList) : m_p(pszList ? pszList : "") {}
    // The next line's bytes (not terminated); FALSE after the last line.
    BOOL Next(const char*& pLine, int& nLength);
    BOOL Next(CString& strLine);

private:
    const char* m_p;
};
int FindChoiceListEntry(LPCTSTR pszList, LPCTSTR pszValue, int nColumn, BOOL bSkipTitle, BOOL bExact,
                        CString& strLine);
void SortChoiceList(CString& strList, int nColumn, BOOL bKeepTitle);
// Feeds WM_CHAR bytes: 1 while a two-byte character is pending or completed, 0 for a single byte.
int ComposeDbcsChar(BYTE ch, CString& strText);
