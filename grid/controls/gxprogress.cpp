#include "grid/controls/gxprogress.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "grid/controls/gxspin.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"

const CGXControlClass CGXProgressCtrl::classCGXProgressCtrl = {"CGXProgressCtrl", &CGXControl::classCGXControl};

namespace {

long AttrLong(const CGXStyle& style, WORD nId) { return CGXSpinEdit::ParseLong(style.GetUserAttribute(nId).GetValueText()); }

// The widest field a caption may ask for.
constexpr int kMaxWidth = 999;

}  // namespace

void CGXProgressCtrl::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    pStylesMap->AddUserAttribute(GX_IDS_UA_PROGRESS_UPPER);
    pStylesMap->AddUserAttribute(GX_IDS_UA_PROGRESS_LOWER);
    pStylesMap->AddUserAttribute(GX_IDS_UA_PROGRESS_CAPTION);
}

CString CGXProgressCtrl::FormatValue(LPCTSTR pszFormat, long nValue)
{
    CString sResult;
    bool bUsed = false;
    const char* p = pszFormat ? pszFormat : "";
    while (*p) {
        if (*p != '%') {
            const char* q = std::strchr(p, '%');
            const int n = q ? int(q - p) : int(std::strlen(p));
            sResult += CString(p, n);
            p += n;
            continue;
        }
        if (p[1] == '%') {
            sResult += '%';
            p += 2;
            continue;
        }
        // %[flags][width][l|ll]conversion
        const char* q = p + 1;
        while (*q && std::strchr("-+ #0", *q))
            ++q;
        int nWidth = 0;
        while (*q >= '0' && *q <= '9' && nWidth <= kMaxWidth)
            nWidth = nWidth * 10 + (*q++ - '0');
        int nLongs = 0;
        while (*q == 'l' && nLongs < 2)
            ++q, ++nLongs;
        const char conv = *q;
        if (bUsed || nWidth > kMaxWidth || !conv || !std::strchr("diuxX", conv)) {
            sResult += '%';
            ++p;
            continue;
        }
        // One conversion, rebuilt with a long argument.
        std::string conversion(p, size_t(q - p) - size_t(nLongs));
        conversion += 'l';
        conversion += conv;
        char buf[kMaxWidth + 32];
        if (conv == 'd' || conv == 'i')
            std::snprintf(buf, sizeof buf, conversion.c_str(), nValue);
        else
            std::snprintf(buf, sizeof buf, conversion.c_str(), static_cast<unsigned long>(nValue));
        sResult += buf;
        bUsed = true;
        p = q + 1;
    }
    return sResult;
}

int CGXProgressCtrl::BarWidth(long nValue, long nLower, long nUpper, int cx)
{
    // Unset bounds read as 0 and 0: no range, no bar.
    if (nUpper <= nLower || cx <= 0)
        return 0;
    const double dScale = (double(nUpper) - double(nLower)) / cx;
    const double dWidth = (double(std::max(nValue, nLower)) - double(nLower)) / dScale;
    return int(std::min<double>(dWidth, cx));
}

void CGXProgressCtrl::FormatCaption(CString& sCaption, ROWCOL, ROWCOL, const CGXStyle& style)
{
    const CString sFormat = style.GetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION).GetValueText();
    sCaption = sFormat.IsEmpty() ? CString() : FormatValue(sFormat, CGXSpinEdit::ParseLong(style.GetValue()));
}

COLORREF CGXProgressCtrl::GetBarColor(BOOL bBar, const CGXStyle& style)
{
    return bBar ? style.ResolveTextColor() : style.GetInterior().ResolveBrushColor();
}

COLORREF CGXProgressCtrl::GetCaptionColor(BOOL bBar, const CGXStyle& style)
{
    // Inverted where the bar lies under the caption.
    return bBar ? style.GetInterior().ResolveBrushColor() : style.ResolveTextColor();
}

void CGXProgressCtrl::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    const long nLower = AttrLong(style, GX_IDS_UA_PROGRESS_LOWER);
    const long nUpper = AttrLong(style, GX_IDS_UA_PROGRESS_UPPER);
    const int cx = rect.Width();
    m_dScale = cx == 0 ? 1.0 : (double(nUpper) - double(nLower)) / cx;

    CGXProperties* pProps = m_pGrid->GetProperties();
    const BOOL bBlackWhite = m_pGrid->IsPrinting() && pProps && pProps->m_bBlackWhite;
    const COLORREF rgbBar = bBlackWhite ? RGB(0, 0, 0) : GetBarColor(TRUE, style);
    const COLORREF rgbBack = bBlackWhite ? RGB(255, 255, 255) : GetBarColor(FALSE, style);
    const COLORREF rgbCaptionBar = bBlackWhite ? RGB(255, 255, 255) : GetCaptionColor(TRUE, style);
    const COLORREF rgbCaptionBack = bBlackWhite ? RGB(0, 0, 0) : GetCaptionColor(FALSE, style);

    CString sCaption;
    FormatCaption(sCaption, nRow, nCol, style);

    const long nValue = CGXSpinEdit::ParseLong(style.GetValue());
    const CRect bar(rect.left, rect.top, rect.left + BarWidth(nValue, nLower, nUpper, cx), rect.bottom);
    pDC->FillSolidRect(CRect(bar.right, rect.top, rect.right, rect.bottom), rgbBack);
    if (bar.Width() > 0)
        pDC->FillSolidRect(bar, rgbBar);
    const DWORD nFrame = style.GetIncludeDraw3dFrame() ? style.GetDraw3dFrame() : 0;
    if (bar.Width() > 1 && (nFrame == gxFrameRaised || nFrame == gxFrameInset)) {
        CRect edge = bar;
        pDC->DrawEdge(&edge, nFrame == gxFrameRaised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT);
    }

    if (sCaption.IsEmpty())
        return;
    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, pStandardStyle));
    const CSize size = pDC->GetTextExtent(sCaption);
    if (size.cx >= cx)
        return;
    guard.SetBkMode(TRANSPARENT);
    CRect rectText = rect;
    // Each part of the caption in the colour that reads on what lies under it, on paper too.
    auto draw = [&](const CRect& clip, COLORREF color) {
        if (clip.IsRectEmpty())
            return;
        CDCClipGuard clipGuard(pDC);
        pDC->IntersectClipRect(&clip);
        pDC->SetTextColor(color);
        pDC->DrawText(sCaption, &rectText, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
    guard.SetTextColor(rgbCaptionBack);
    draw(CRect(bar.right, rect.top, rect.right, rect.bottom), rgbCaptionBack);
    draw(bar, rgbCaptionBar);
}

BOOL CGXProgressCtrl::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                                      const CGXStyle* pOldStyle)
{
    if (!pStyle || !pStyle->GetIncludeValue() || mt == gxRemove)
        return CGXControl::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle);
    auto bound = [&](WORD nId) {
        if (pStyle->HasUserAttribute(nId) || !pOldStyle)
            return AttrLong(*pStyle, nId);
        return AttrLong(*pOldStyle, nId);
    };
    const long nLower = bound(GX_IDS_UA_PROGRESS_LOWER), nUpper = bound(GX_IDS_UA_PROGRESS_UPPER);
    const long v = CGXSpinEdit::ParseLong(pStyle->GetValue());
    // Without a range (no bounds read as 0 and 0) there is nothing to clamp to.
    if (nUpper <= nLower || (v >= nLower && v <= nUpper))
        return CGXControl::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle);
    CGXStyle* pClamped = m_pGrid->NewScratchStyle();
    *pClamped = *pStyle;
    CString s;
    s.Format("%ld", std::max(nLower, std::min(nUpper, v)));
    pClamped->SetValue(s);
    const BOOL b = CGXControl::StoreStyleRange(nRow, nCol, pClamped, mt, nType, pOldStyle);
    m_pGrid->RecycleStyle(pClamped);
    return b;
}
