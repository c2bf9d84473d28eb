#include "grid/core/gxdrawsvc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "grid/core/gxfont.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxuattr.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "platform/controls/mappedbitmap.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/system.h"

namespace {

const BYTE kPatterns[41][8] = {
    {0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11}, {0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa},
    {0xbb, 0xee, 0xbb, 0xee, 0xbb, 0xee, 0xbb, 0xee}, {0xee, 0xff, 0xbb, 0xff, 0xee, 0xff, 0xbb, 0xff},
    {0xff, 0xff, 0xee, 0xff, 0xff, 0xff, 0xbb, 0xff}, {0xfb, 0xff, 0xbf, 0xff, 0xfa, 0xff, 0xaf, 0xff},
    {0xff, 0xff, 0x00, 0x00, 0xff, 0xff, 0x00, 0x00}, {0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc},
    {0x55, 0xcc, 0x99, 0x44, 0x55, 0xcc, 0x99, 0x44}, {0x44, 0x99, 0xcc, 0x55, 0x44, 0x99, 0xcc, 0x55},
    {0x55, 0x55, 0x99, 0x99, 0x55, 0x55, 0x99, 0x99}, {0x55, 0x00, 0x99, 0x00, 0x55, 0x00, 0x99, 0x00},
    {0xff, 0x00, 0xff, 0xff, 0xff, 0x00, 0xff, 0xff}, {0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd},
    {0xee, 0xdd, 0xbb, 0x77, 0xee, 0xdd, 0xbb, 0x77}, {0x77, 0xbb, 0xdd, 0xee, 0x77, 0xbb, 0xdd, 0xee},
    {0xee, 0x00, 0xee, 0xee, 0xee, 0x00, 0xee, 0xee}, {0xee, 0x55, 0xbb, 0x55, 0xee, 0xbb, 0x55, 0xee},
    {0x88, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, {0xfe, 0xff, 0xfe, 0xff, 0xfe, 0xff, 0xfe, 0xff},
    {0xfe, 0xff, 0xfb, 0xff, 0xef, 0xff, 0xbf, 0xff}, {0xf7, 0xff, 0xfd, 0xff, 0x7f, 0xff, 0xdf, 0xff},
    {0x88, 0xff, 0xfe, 0xff, 0xfe, 0xff, 0xfe, 0xff}, {0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
    {0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe}, {0xfe, 0xfd, 0xfb, 0xf7, 0xef, 0xdf, 0xbf, 0x7f},
    {0xf7, 0xfb, 0xfd, 0xfe, 0x7f, 0xbf, 0xdf, 0xef}, {0x00, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe},
    {0x00, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, {0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3},
    {0xf3, 0xf9, 0xfc, 0x7e, 0x3f, 0x9f, 0xcf, 0xe7}, {0xe7, 0xcf, 0x9f, 0x3f, 0x7e, 0xfc, 0xf9, 0xf3},
    {0x00, 0x00, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11},
    {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}, {0xb1, 0xb1, 0xb1, 0xb1, 0xb1, 0xb1, 0xb1, 0xb1},
    {0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51}, {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff},
    {0x00, 0xff, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff}, {0x00, 0x00, 0x00, 0xff, 0xff, 0x00, 0xff, 0xff},
    {0x00, 0x00, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff},
};

CBitmap* PatternBitmaps()
{
    static CBitmap bitmaps[41];
    return bitmaps;
}

// Length of the UTF-8 character at p, never past end.
int CharLen(const char* p, const char* end)
{
    unsigned char c = (unsigned char)*p;
    int n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    return int(std::min<ptrdiff_t>(n, end - p));
}

int TextWidth(CDC* pDC, const char* p, int n) { return n > 0 ? pDC->GetTextExtent(p, n).cx : 0; }

int LineHeight(CDC* pDC)
{
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    return std::max<LONG>(1, tm.tmHeight + tm.tmExternalLeading);
}

int LineStep(CDC* pDC)
{
    int h = LineHeight(pDC);
    return h > 19 ? h - 1 : h;
}

int LineX(CDC* pDC, const CRect& rect, UINT nFormat, const char* p, int n)
{
    int width = TextWidth(pDC, p, n);
    int x = rect.left;
    if (nFormat & DT_RIGHT)
        x = std::max<int>(rect.left, rect.right - width);
    else if (nFormat & DT_CENTER)
        x = std::max<int>(rect.left, rect.left + (rect.Width() - width) / 2);
    return x;
}

int FirstLineY(const CRect& rect, UINT nFormat, int nLines, int nStep)
{
    int total = nLines * nStep;
    if (nFormat & DT_BOTTOM)
        return std::max<int>(rect.top, rect.bottom - total);
    if (nFormat & DT_VCENTER)
        return std::max<int>(rect.top, rect.top + (rect.Height() - total) / 2);
    return rect.top;
}

void TextOutClipped(CDC* pDC, int x, int y, const char* p, int n, const CRect& clip)
{
    int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&clip);
    pDC->TextOut(x, y, p, n);
    pDC->RestoreDC(nSaved);
}

int ResolveLength(LPCTSTR pszText, int nLength)
{
    if (!pszText)
        return 0;
    int n = int(strlen(pszText));
    return nLength < 0 || nLength > n ? n : nLength;
}

}  // namespace

CGXDrawingAndFormatting* GetDrawingAndFormatting()
{
    CGXGridLibraryState& state = GXGetLibraryState();
    if (!state.m_pDrawingAndFormatting)
        state.m_pDrawingAndFormatting = new CGXDrawingAndFormatting;
    return state.m_pDrawingAndFormatting;
}

CBitmap* CGXDrawingAndFormatting::GetPattern(int nPattern)
{
    if (nPattern < 0 || nPattern > 40)
        return nullptr;
    CBitmap& bmp = PatternBitmaps()[nPattern];
    if (!bmp.GetSafeHandle()) {
        // Rows padded to 16 bits, the row in the first byte.
        BYTE bits[16] = {};
        for (int i = 0; i < 8; ++i)
            bits[2 * i] = kPatterns[nPattern][i];
        bmp.CreateBitmap(8, 8, 1, 1, bits);
    }
    return &bmp;
}

int CGXDrawingAndFormatting::BreakTextIntoLines(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect,
                                                UINT nFormat, int* pStarts, int* pLengths, int nMaxLines)
{
    if (!pDC || !pszText || !pStarts || !pLengths || nMaxLines <= 0)
        return 0;
    nLength = ResolveLength(pszText, nLength);
    const char* text = pszText;
    const char* end = text + nLength;
    const int usable = rect.Width() + 1;
    const int lineHeight = LineHeight(pDC);
    const int height = rect.Height();
    int nFit = 1;
    if (height - lineHeight > lineHeight / 3)
        nFit += (height - lineHeight) / lineHeight;
    const int nLimit = std::min(nMaxLines, nFit);
    const bool bWrap = (nFormat & DT_WORDBREAK) != 0;

    int nLines = 0;
    const char* p = text;
    for (;;) {
        const char* lineStart = p;
        const char* lineEnd = p;  // end of what the line shows
        bool bBreak = false;      // a CR/LF ends this line
        if (!bWrap) {
            while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n')
                lineEnd += CharLen(lineEnd, end);
            p = lineEnd;
            bBreak = p < end;
        } else {
            bool bMoreLinesFit = nLines + 1 < nLimit;
            int nWords = 0;
            const char* q = p;
            while (q < end && *q == ' ')  // leading blanks belong to the line
                ++q;
            lineEnd = q;
            for (;;) {
                if (q >= end || *q == '\r' || *q == '\n') {
                    lineEnd = q;
                    bBreak = q < end;
                    break;
                }
                const char* wordEnd = q;
                while (wordEnd < end && *wordEnd != ' ' && *wordEnd != '\r' && *wordEnd != '\n')
                    wordEnd += CharLen(wordEnd, end);
                if (TextWidth(pDC, lineStart, int(wordEnd - lineStart)) <= usable) {
                    ++nWords;
                    q = wordEnd;
                    while (q < end && *q == ' ')
                        ++q;
                    lineEnd = q;
                    continue;
                }
                if (nWords > 0 && bMoreLinesFit) {
                    lineEnd = q;  // the word goes to the next line
                } else {
                    // Cut at the last character that still fits, at least one character.
                    const char* c = nWords > 0 ? q : lineStart + CharLen(lineStart, end);
                    while (c < wordEnd) {
                        const char* next = c + CharLen(c, end);
                        if (TextWidth(pDC, lineStart, int(next - lineStart)) > usable)
                            break;
                        c = next;
                    }
                    if (c == lineStart)
                        c = lineStart + CharLen(lineStart, end);
                    lineEnd = c;
                }
                break;
            }
            p = lineEnd;
        }
        pStarts[nLines] = int(lineStart - text);
        int len = int(lineEnd - lineStart);
        pLengths[nLines] = len;
        ++nLines;
        if (bBreak) {
            if (*p == '\r' && p + 1 < end && p[1] == '\n')
                p += 2;
            else
                ++p;
        }
        if (!bWrap || nLines >= nLimit)
            break;
        if (p >= end) {
            // A break at the very end leaves an empty last line.
            if (bBreak) {
                pStarts[nLines] = int(p - text);
                pLengths[nLines] = 0;
                ++nLines;
            }
            break;
        }
    }
    return nLines;
}

int CGXDrawingAndFormatting::LayoutText(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, UINT nFormat,
                                        int* pStarts, int* pLengths)
{
    return BreakTextIntoLines(pDC, pszText, nLength, rect, nFormat, pStarts, pLengths, GX_MAX_TEXT_LINES);
}

void CGXDrawingAndFormatting::DrawTextLines(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect,
                                            UINT nFormat, const CRect* pClipRect)
{
    DrawTextWithEllipsis(pDC, pszText, nLength, rect, nFormat, gxNoEllipse, pClipRect);
}

void CGXDrawingAndFormatting::DrawTextWithEllipsis(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect,
                                                   UINT nFormat, int nEllipsisType, const CRect* pClipRect)
{
    if (!pDC || !pszText)
        return;
    nLength = ResolveLength(pszText, nLength);
    const CRect clip = pClipRect ? *pClipRect : rect;
    int starts[GX_MAX_TEXT_LINES], lengths[GX_MAX_TEXT_LINES];
    int nLines = LayoutText(pDC, pszText, nLength, rect, nFormat, starts, lengths);
    if (nLines <= 0)
        return;
    const int step = LineStep(pDC);
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    const int width = rect.Width();

    if (nEllipsisType == gxPoundEllipse && (nFormat & DT_SINGLELINE)) {
        const char* p = pszText + starts[0];
        if (TextWidth(pDC, p, lengths[0]) > width) {
            int pound = std::max(1, TextWidth(pDC, "#", 1));
            int n = width / pound;
            int y = FirstLineY(rect, nFormat, 1, step);
            if (n < 1) {
                TextOutClipped(pDC, rect.left, y, "#", 1, clip);
            } else {
                CString s('#', n);
                pDC->TextOut(LineX(pDC, rect, nFormat, s, n), y, s, n);
            }
            return;
        }
    }

    int y = FirstLineY(rect, nFormat, nLines, step);
    for (int i = 0; i < nLines; ++i, y += step) {
        const char* p = pszText + starts[i];
        int n = lengths[i];
        CString shortened;
        if (nEllipsisType == gxDotEllipse && n > 0) {
            // The last visible line: too little room below its top for another line, or the
            // last line laid out, while more text follows.
            bool bMoreFollows = starts[i] + n < nLength;
            bool bLastVisible = bMoreFollows && (i == nLines - 1 || rect.bottom - y < tm.tmAscent * 3 / 4 + step);
            int nVisible = n;  // trailing blanks take no room
            while (nVisible > 0 && p[nVisible - 1] == ' ')
                --nVisible;
            if (bLastVisible || TextWidth(pDC, p, nVisible) > width) {
                // Drop characters until the text with its dots fits; the dots shrink last.
                std::vector<int> ends;  // byte offsets of character ends
                for (int k = 0; k < n;)
                    ends.push_back(k += CharLen(p + k, p + n));
                int nChars = int(ends.size());
                int keep = nChars - 1;
                for (; keep > 1; --keep) {
                    shortened = CString(p, ends[keep - 1]) + "...";
                    if (TextWidth(pDC, shortened, shortened.GetLength()) <= width)
                        break;
                }
                if (keep <= 1) {
                    CString first(p, ends[0]);
                    shortened = first + "..";
                    if (TextWidth(pDC, shortened, shortened.GetLength()) > width)
                        shortened = first + ".";
                    if (TextWidth(pDC, shortened, shortened.GetLength()) > width)
                        shortened = first;
                }
                p = shortened;
                n = shortened.GetLength();
            }
        }
        int x = LineX(pDC, rect, nFormat, p, n);
        bool bLast = i == nLines - 1;
        if (bLast && (x + TextWidth(pDC, p, n) > clip.right || y + LineHeight(pDC) > clip.bottom))
            TextOutClipped(pDC, x, y, p, n, clip);
        else if (n > 0)
            pDC->TextOut(x, y, p, n);
    }
}

BOOL CGXDrawingAndFormatting::DrawRotatedText(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, int nAngle,
                                              UINT nFormat, const CRect* pClipRect)
{
    CGXAbstractDrawRotatedTextImp* pImp = GXGetDrawRotatedTextImp();
    return pImp ? pImp->DrawRotated(pDC, pszText, nLength, rect, nAngle, nFormat, pClipRect) : FALSE;
}

int CGXDrawingAndFormatting::CharIndexFromPoint(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect,
                                                CPoint point, UINT nFormat)
{
    if (!pDC || !pszText)
        return -1;
    nLength = ResolveLength(pszText, nLength);
    int starts[GX_MAX_TEXT_LINES], lengths[GX_MAX_TEXT_LINES];
    int nLines = LayoutText(pDC, pszText, nLength, rect, nFormat, starts, lengths);
    const int step = LineStep(pDC);
    int y = FirstLineY(rect, nFormat, nLines, step);
    int line = -1;
    for (int i = 0; i < nLines; ++i, y += step)
        if (point.y < y + step) {
            line = i;
            break;
        }
    if (line < 0)
        return -1;
    const char* p = pszText + starts[line];
    int n = lengths[line];
    int x0 = LineX(pDC, rect, nFormat, p, n);
    bool bRtl = (pDC->GetTextAlign() & TA_RTLREADING) != 0;
    for (int k = 0; k < n;) {
        int next = k + CharLen(p + k, p + n);
        int w = TextWidth(pDC, p, next);
        bool bInside = bRtl ? point.x >= rect.right - w : point.x < x0 + w;
        if (bInside)
            return starts[line] + k;
        k = next;
    }
    return starts[line] + n;
}

void CGXDrawingAndFormatting::FormatValueForDisplay(CString& strResult, const CGXStyle& style, LPCTSTR pszValue,
                                                    unsigned nFormat, unsigned nPlaces, unsigned)
{
    if (CGXNumberFormattingImp* pImp = GXGetNumberFormattingImp()) {
        // A given value is formatted as a number only when it is one.
        unsigned nValueType = 0;
        if (pszValue) {
            char* stop = nullptr;
            strtod(pszValue, &stop);
            while (stop && *stop == ' ')
                ++stop;
            if (stop && stop != pszValue && *stop == 0)
                nValueType = GX_VT_NUMBER;
        }
        pImp->FormatNumber(strResult, style, pszValue, nValueType, nFormat, nPlaces);
        return;
    }
    if (pszValue)
        strResult = pszValue;
    else if (style.GetIncludeValue())
        strResult = style.GetValueRef();
    else
        strResult.Empty();
}

BOOL CGXDrawingAndFormatting::ParseDisplayValue(LPCTSTR pszText, double& value, unsigned& nFormat,
                                                unsigned& nPlaces)
{
    CGXNumberFormattingImp* pImp = GXGetNumberFormattingImp();
    return pImp ? pImp->ParseNumber(pszText, value, nFormat, nPlaces) : FALSE;
}

void CGXDrawingAndFormatting::Draw3dFrame(CDC* pDC, int left, int top, int right, int bottom, int nWidth,
                                          COLORREF rgbTopLeft, COLORREF rgbBottomRight)
{
    if (!pDC)
        return;
    COLORREF old = pDC->GetBkColor();
    for (int i = 0; i < nWidth && right - left > 0 && bottom - top > 0; ++i) {
        ::FillSolidRectXY(pDC, left, top, right - left, 1, rgbTopLeft);
        ::FillSolidRectXY(pDC, left, top, 1, bottom - top, rgbTopLeft);
        ::FillSolidRectXY(pDC, left, bottom - 1, right - left, 1, rgbBottomRight);
        ::FillSolidRectXY(pDC, right - 1, top, 1, bottom - top, rgbBottomRight);
        ++left;
        ++top;
        --right;
        --bottom;
    }
    pDC->SetBkColor(old);
}

void CGXDrawingAndFormatting::DrawEdgeFrame(CDC* pDC, const CRect& rect, BOOL bRaised, BOOL bSunken)
{
    if (!pDC)
        return;
    CRect r = rect;
    if (bRaised) {
        if (bSunken)
            pDC->DrawEdge(&r, 12, 0x600F);
        else
            pDC->DrawEdge(&r, 3, 0xA00F);
    }
    if (bSunken)
        pDC->DrawEdge(&r, EDGE_SUNKEN, 0x200F);
}

void CGXDrawingAndFormatting::DrawCaptionText(CDC* pDC, const CRect& rect, LPCTSTR pszText, UINT nFormat,
                                              BOOL bFocus)
{
    if (!pDC)
        return;
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    bool bHasText = pszText && *pszText;
    CRect box(0, 0, std::max<int>(0, rect.Width() - 6), rect.Height());
    pDC->DrawText(bHasText ? pszText : "--", -1, &box, nFormat | DT_CALCRECT);
    CRect textRect(CPoint(rect.left + (rect.Width() - box.Width()) / 2, rect.top + (rect.Height() - box.Height()) / 2),
                   CSize(box.Width(), box.Height()));
    CRect inner = rect;
    inner.DeflateRect(3, 0);
    textRect.IntersectRect(&textRect, &inner);
    if (pszText)
        DrawTextLines(pDC, pszText, -1, textRect, (nFormat & ~(DT_RIGHT | DT_CENTER)) | DT_CENTER, &textRect);
    if (bFocus) {
        COLORREF c = GXGetAppData()->m_sysColors.LookupColor(COLOR_BTNSHADOW);
        CRect f = textRect;
        f.InflateRect(1, 1);
        ::FillSolidRectXY(pDC, f.left + 2, f.top, f.Width() - 3, 1, c);
        ::FillSolidRectXY(pDC, f.left + 2, f.bottom - 1, f.Width() - 3, 1, c);
        ::FillSolidRectXY(pDC, f.left, f.top + 2, 1, f.Height() - 3, c);
        ::FillSolidRectXY(pDC, f.right - 1, f.top + 2, 1, f.Height() - 3, c);
    }
    pDC->SetBkMode(oldMode);
}

void CGXDrawingAndFormatting::DrawStyledCellText(CDC* pDC, const CRect& rectInner, LPCTSTR pszText,
                                                  const CGXStyle& style, BOOL bBlackWhite, BOOL bFontSelected)
{
    if (!pDC || !pszText || !*pszText || rectInner.Width() < 2 || rectInner.Height() < 2)
        return;
    const CGXFont& font = style.GetFont();
    CFont cf;
    CFont* pOldFont = nullptr;
    if (!bFontSelected && cf.CreateFontIndirect(&font.GetLogFont()))
        pOldFont = pDC->SelectObject(&cf);
    COLORREF oldText = pDC->SetTextColor(bBlackWhite ? RGB(0, 0, 0) : style.ResolveTextColor());
    COLORREF oldBk = pDC->SetBkColor(bBlackWhite ? RGB(255, 255, 255) : style.GetInterior().GetBackColor() & 0xFFFFFF);
    int oldMode = pDC->SetBkMode(TRANSPARENT);

    UINT nFormat = style.GetWrapText() ? (DT_WORDBREAK | DT_NOPREFIX) : (DT_SINGLELINE | DT_NOPREFIX);
    DWORD horz = style.GetHorizontalAlignment();
    if (horz == 1)
        nFormat |= DT_CENTER;
    else if (horz == 2)
        nFormat |= DT_RIGHT;
    DWORD vert = style.GetVerticalAlignment();
    if (vert == 4)
        nFormat |= DT_VCENTER;
    else if (vert == 8)
        nFormat |= DT_BOTTOM;

    UINT oldAlign = pDC->GetTextAlign();
    bool bRtl = style.HasUserAttribute(GX_IDS_UA_RTLREADING) && style.GetUserAttribute(GX_IDS_UA_RTLREADING).GetLong() != 0;
    if (bRtl)
        pDC->SetTextAlign(TA_RTLREADING);

    if (font.GetIncludeOrientation() && font.GetOrientation() != 0)
        DrawRotatedText(pDC, pszText, -1, rectInner, int(font.GetOrientation()), nFormat, &rectInner);
    else if (style.HasUserAttribute(GX_IDS_UA_ELLIPSES))
        DrawTextWithEllipsis(pDC, pszText, -1, rectInner, nFormat,
                             int(style.GetUserAttribute(GX_IDS_UA_ELLIPSES).GetLong()), &rectInner);
    else
        DrawTextLines(pDC, pszText, -1, rectInner, nFormat, &rectInner);

    if (bRtl)
        pDC->SetTextAlign(oldAlign);
    pDC->SetBkMode(oldMode);
    pDC->SetBkColor(oldBk);
    pDC->SetTextColor(oldText);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// ---- Free functions ----

void FormatValueForDisplay(CString& strResult, const CGXStyle& style, LPCTSTR pszValue)
{
    GetDrawingAndFormatting()->FormatValueForDisplay(strResult, style, pszValue);
}

HGLOBAL CopyBitmapResourceToGlobal(UINT nIDResource)
{
    CBitmap bmp;
    BITMAP bm {};
    if (!bmp.LoadBitmap(nIDResource) || !bmp.GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    const size_t rowBytes = size_t(bm.bmWidth) * 4;
    const size_t nBits = rowBytes * size_t(bm.bmHeight);
    std::vector<BYTE> bits(nBits);
    if (bm.bmBitsPixel == 1 || bmp.GetBitmapBits(DWORD(nBits), bits.data()) != nBits)
        return nullptr;
    HGLOBAL h = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + nBits);
    if (!h)
        return nullptr;
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    if (!p) {
        GlobalFree(h);
        return nullptr;
    }
    BITMAPINFOHEADER bih {};
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = bm.bmWidth;
    bih.biHeight = bm.bmHeight;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = DWORD(nBits);
    memcpy(p, &bih, sizeof(bih));
    // A DIB keeps its rows bottom-up.
    for (int y = 0; y < bm.bmHeight; ++y)
        memcpy(p + sizeof(bih) + rowBytes * size_t(bm.bmHeight - 1 - y), bits.data() + rowBytes * size_t(y), rowBytes);
    GlobalUnlock(h);
    return h;
}

int GetDibNumColors(const BITMAPINFOHEADER* pHeader)
{
    if (!pHeader)
        return 0;
    if (pHeader->biClrUsed)
        return int(std::min<DWORD>(pHeader->biClrUsed, 256));
    switch (pHeader->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

void DrawTransparentBitmap(CDC* pDC, CBitmap* pBitmap, int x, int y, COLORREF crTransparent)
{
    if (!pDC || !pBitmap || !pBitmap->GetSafeHandle())
        return;
    BITMAP bm {};
    pBitmap->GetBitmap(&bm);
    const int w = bm.bmWidth, h = bm.bmHeight;
    if (w <= 0 || h <= 0)
        return;
    CDC dcImage, dcMask, dcBack;
    dcImage.CreateCompatibleDC(pDC);
    dcMask.CreateCompatibleDC(pDC);
    dcBack.CreateCompatibleDC(pDC);
    CBitmap bmImage, bmMask;
    bmImage.CreateCompatibleBitmap(pDC, w, h);
    bmMask.CreateBitmap(w, h, 1, 1, nullptr);
    CDC dcSource;
    dcSource.CreateCompatibleDC(pDC);
    CBitmap* pOldSource = dcSource.SelectObject(pBitmap);
    CBitmap* pOldImage = dcImage.SelectObject(&bmImage);
    CBitmap* pOldMask = dcMask.SelectObject(&bmMask);
    dcImage.BitBlt(0, 0, w, h, &dcSource, 0, 0, SRCCOPY);
    // Mask: white where the transparent colour is, black elsewhere.
    COLORREF oldBk = dcImage.SetBkColor(crTransparent);
    dcMask.BitBlt(0, 0, w, h, &dcImage, 0, 0, SRCCOPY);
    dcImage.SetBkColor(oldBk);
    // Image with the transparent parts black: AND with the inverted mask.
    CDC dcInv;
    dcInv.CreateCompatibleDC(pDC);
    CBitmap bmInv;
    bmInv.CreateBitmap(w, h, 1, 1, nullptr);
    CBitmap* pOldInv = dcInv.SelectObject(&bmInv);
    dcInv.BitBlt(0, 0, w, h, &dcMask, 0, 0, NOTSRCCOPY);
    COLORREF oldText = dcImage.SetTextColor(RGB(0, 0, 0));
    oldBk = dcImage.SetBkColor(RGB(255, 255, 255));
    dcImage.BitBlt(0, 0, w, h, &dcInv, 0, 0, SRCAND);
    dcImage.SetTextColor(oldText);
    dcImage.SetBkColor(oldBk);
    // Destination: clear the opaque parts, then paint the image into them.
    COLORREF oldDestText = pDC->SetTextColor(RGB(0, 0, 0));
    COLORREF oldDestBk = pDC->SetBkColor(RGB(255, 255, 255));
    pDC->BitBlt(x, y, w, h, &dcMask, 0, 0, SRCAND);
    pDC->SetTextColor(oldDestText);
    pDC->SetBkColor(oldDestBk);
    pDC->BitBlt(x, y, w, h, &dcImage, 0, 0, SRCPAINT);
    dcInv.SelectObject(pOldInv);
    dcMask.SelectObject(pOldMask);
    dcImage.SelectObject(pOldImage);
    dcSource.SelectObject(pOldSource);
}


BOOL LoadSysColorMappedBitmap(CBitmap& bitmap, UINT nIDResource)
{
    bitmap.DeleteObject();
    return bitmap.LoadBitmap(nIDResource) && PvMapBitmapColors(bitmap);
}

BOOL LoadSysColorMappedBitmap(CBitmap& bitmap, LPCTSTR pszResourceName)
{
    bitmap.DeleteObject();
    return pszResourceName && bitmap.LoadBitmap(pszResourceName) && PvMapBitmapColors(bitmap);
}

void InvertRectClipped(CDC* pDC, const CRect& rect, const CRect& clip)
{
    if (!pDC)
        return;
    CRect r = rect;
    if (!clip.IsRectEmpty())
        r.IntersectRect(&rect, &clip);
    if (!r.IsRectEmpty())
        pDC->InvertRect(&r);
}

void FillSolidRectXY(CDC* pDC, int x, int y, int cx, int cy, COLORREF packed)
{
    FillSolidRect(pDC, CRect(x, y, x + cx, y + cy), packed);
}

void FillSolidRect(CDC* pDC, const CRect& rect, COLORREF packed)
{
    if (!pDC)
        return;
    BYTE top = BYTE(packed >> 24);
    COLORREF color = packed;
    if (top >= 0x41 && top <= 0xFE)
        color = GXGetAppData()->m_sysColors.LookupColor(DWORD(254 - top));
    COLORREF old = pDC->SetBkColor(color & 0xFFFFFF);
    pDC->ExtTextOut(rect.left, rect.top, ETO_OPAQUE, &rect, "", 0, nullptr);
    pDC->SetBkColor(old);
}

void DrawEdgeRect(CDC* pDC, const CRect& rect, UINT nEdge, BOOL bAdjust)
{
    if (!pDC)
        return;
    CRect r = rect;
    pDC->DrawEdge(&r, nEdge, BF_RECT | (bAdjust ? BF_ADJUST : 0));
}

// ---- Choice lists ----

int PopFirstLine(CString& strText, CString& strLine)
{
    int n = strText.GetLength();
    const char* p = strText;
    for (int i = 0; i < n; ++i) {
        if (p[i] == '\r' || p[i] == '\n') {
            int skip = (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            strLine = strText.Left(i);
            strText = strText.Mid(i + skip);
            return i;
        }
    }
    strLine = strText;
    strText.Empty();
    return -1;
}

void CopyTabField(LPCTSTR pszLine, int nField, char* pszBuffer, int nSize)
{
    if (!pszBuffer || nSize <= 0)
        return;
    pszBuffer[0] = 0;
    if (!pszLine || nField < 0)
        return;
    const char* p = pszLine;
    for (int i = 0; i < nField; ++i) {
        p = strchr(p, '\t');
        if (!p)
            return;
        ++p;
    }
    const char* e = strchr(p, '\t');
    size_t len = e ? size_t(e - p) : strlen(p);
    len = std::min(len, size_t(nSize - 1));
    memcpy(pszBuffer, p, len);
    pszBuffer[len] = 0;
}

namespace {

std::vector<CString> SplitLines(const CString& list)
{
    std::vector<CString> lines;
    CGXChoiceListReader reader(list);
    CString line;
    while (reader.Next(line))
        lines.push_back(line);
    return lines;
}

}  // namespace

BOOL CGXChoiceListReader::Next(const char*& pLine, int& nLength)
{
    if (!*m_p)
        return FALSE;
    const char* e = m_p + std::strcspn(m_p, "\r\n");
    pLine = m_p;
    nLength = int(e - m_p);
    m_p = e;
    if (*m_p == '\r' && m_p[1] == '\n')
        m_p += 2;
    else if (*m_p)
        ++m_p;
    return TRUE;
}

BOOL CGXChoiceListReader::Next(CString& strLine)
{
    const char* p = nullptr;
    int n = 0;
    if (!Next(p, n))
        return FALSE;
    strLine = CString(p, n);
    return TRUE;
}

int FindChoiceListEntry(LPCTSTR pszList, LPCTSTR pszValue, int nColumn, BOOL bSkipTitle, BOOL bExact,
                        CString& strLine)
{
    strLine.Empty();
    if (!pszList || !pszValue)
        return -1;
    const size_t nValue = strlen(pszValue);
    CGXChoiceListReader reader(pszList);
    const char* pLine = nullptr;
    int nLine = 0;
    if (bSkipTitle && !reader.Next(pLine, nLine))
        return -1;
    for (int index = 0; reader.Next(pLine, nLine); ++index) {
        // Field nColumn of the line, in place.
        const char* const end = pLine + nLine;
        const char* f = nColumn < 0 ? end : pLine;
        for (int i = 0; i < nColumn && f; ++i) {
            f = static_cast<const char*>(memchr(f, '\t', size_t(end - f)));
            if (f)
                ++f;
        }
        if (!f)
            f = end;
        const char* fe = static_cast<const char*>(memchr(f, '\t', size_t(end - f)));
        const size_t nField = size_t((fe ? fe : end) - f);
        const bool match = bExact ? nField == nValue && memcmp(f, pszValue, nValue) == 0
                                  : nField >= nValue && strncasecmp(f, pszValue, nValue) == 0;
        if (match) {
            strLine = CString(pLine, nLine);
            return index;
        }
    }
    return -1;
}

void SortChoiceList(CString& strList, int nColumn, BOOL bKeepTitle)
{
    std::vector<CString> lines = SplitLines(strList);
    size_t first = bKeepTitle && !lines.empty() ? 1 : 0;
    auto key = [nColumn](const CString& line) {
        char buf[128];
        CopyTabField(line, nColumn, buf, int(sizeof(buf)));
        return CString(buf);
    };
    std::stable_sort(lines.begin() + std::ptrdiff_t(first), lines.end(), [&](const CString& a, const CString& b) {
        return strcasecmp(key(a), key(b)) < 0;
    });
    CString out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    strList = out;
}

int ComposeDbcsChar(BYTE ch, CString& strText)
{
    static char pending[4];
    static int nPending = 0, nNeeded = 0;
    strText.Empty();
    if (nPending > 0 && (ch & 0xC0) == 0x80) {
        pending[nPending++] = char(ch);
        if (nPending == nNeeded) {
            strText = CString(pending, nPending);
            nPending = nNeeded = 0;
        }
        return 1;
    }
    nPending = nNeeded = 0;
    int need = (ch & 0xE0) == 0xC0 ? 2 : (ch & 0xF0) == 0xE0 ? 3 : (ch & 0xF8) == 0xF0 ? 4 : 1;
    if (need == 1) {
        strText = CString(char(ch), 1);
        return 0;
    }
    pending[0] = char(ch);
    nPending = 1;
    nNeeded = need;
    return 1;
}
