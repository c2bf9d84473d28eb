#include "grid/features/gxcalcsize.h"

#include <algorithm>

#include "grid/core/gxctrl.h"
#include "grid/core/gxdib.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "platform/gdi/gdi.h"

namespace {

// Line breaking sees a rectangle this high, so the inner width alone decides the lines.
constexpr int kUnboundedHeight = 32767;
// Style alignments as the style stores them.
constexpr DWORD kAlignCenter = 1, kAlignRight = 2;
constexpr DWORD kAlignVCenter = 4, kAlignBottom = 8;

UINT MeasureFormat(const CGXStyle& style)
{
    UINT n = DT_WORDBREAK | DT_NOPREFIX;
    const DWORD v = style.GetIncludeVerticalAlignment() ? style.GetVerticalAlignment() : 0;
    const DWORD h = style.GetIncludeHorizontalAlignment() ? style.GetHorizontalAlignment() : 0;
    n |= v == kAlignVCenter ? DT_VCENTER : v == kAlignBottom ? DT_BOTTOM : 0;
    n |= h == kAlignCenter ? DT_CENTER : h == kAlignRight ? DT_RIGHT : 0;
    return n;
}

int LineWidth(CDC* pDC, const char* p, int n)
{
    while (n > 0 && p[n - 1] == ' ')  // blanks a wrapped line ends with take no room
        --n;
    return n > 0 ? pDC->GetTextExtent(p, n).cx : 0;
}

// The widest of the lines a text wraps into at the rectangle's width, and their number.
int WidestWrappedLine(CDC* pDC, const CString& sText, const CRect& rect, UINT nFormat, int& nLines)
{
    int starts[GX_MAX_TEXT_LINES], lengths[GX_MAX_TEXT_LINES];
    nLines = GetDrawingAndFormatting()->BreakTextIntoLines(pDC, sText, sText.GetLength(), rect, nFormat, starts,
                                                            lengths, GX_MAX_TEXT_LINES);
    int nWidest = 0;
    for (int i = 0; i < nLines; ++i)
        nWidest = std::max(nWidest, LineWidth(pDC, LPCTSTR(sText) + starts[i], lengths[i]));
    return nWidest;
}

// The widest of the lines the text's own line breaks make (as many as a cell shows).
int WidestUnwrappedLine(CDC* pDC, const CString& sText)
{
    const char* p = sText;
    const char* end = p + sText.GetLength();
    int nWidest = 0;
    for (int nLine = 0; nLine < GX_MAX_TEXT_LINES; ++nLine) {
        const char* e = p;
        while (e < end && *e != '\r' && *e != '\n')
            ++e;
        nWidest = std::max(nWidest, LineWidth(pDC, p, int(e - p)));
        if (e >= end)
            break;
        p = e + ((*e == '\r' && e + 1 < end && e[1] == '\n') ? 2 : 1);
    }
    return nWidest;
}

// The covered or merged area a cell belongs to (floating spans follow from the size, not into it).
CGXCellRange SizingSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    CGXCellRange span;
    if (pGrid->GetCoveredCellsRowCol(nRow, nCol, span) || pGrid->MergeSpanOfCell(nRow, nCol, span))
        return span;
    return CGXCellRange(nRow, nCol);
}

}  // namespace

void CGXCalcSizeImp::BeginMeasuring(CDC* pDC)
{
    EndMeasuring();
    m_pBatchDC = pDC;
    m_pBatchOldFont = pDC ? pDC->GetCurrentFont() : nullptr;
}

void CGXCalcSizeImp::EndMeasuring()
{
    if (m_pBatchDC && m_pBatchOldFont && m_pBatchDC->GetCurrentFont() != m_pBatchOldFont)
        m_pBatchDC->SelectObject(m_pBatchOldFont);
    m_pBatchDC = nullptr;
    m_pBatchOldFont = nullptr;
}

CSize CGXCalcSizeImp::CalcCellSize(CGXControl* pControl, CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                   BOOL bFitHeight)
{
    CGXGridCore* pGrid = pControl ? pControl->GetGrid() : nullptr;
    if (!pGrid || !pDC)
        return CSize(0, 0);
    CString sText;
    const CGXGridParam* pParam = pGrid->GetParam();
    if (pParam && (pParam->m_wSizingOptions & GX_SIZE_STOREDVALUE))
        sText = pGrid->StoredCellValueText(nRow, nCol);
    else
        pControl->GetDisplayText(sText, nRow, nCol, nullptr, style);

    // A text that names a picture of the pool sizes as the picture.
    if (!sText.IsEmpty()) {
        CString sName;
        CGXDIBPool* pPool = CGXDIBPool::GetPool();
        if (pPool && pPool->ParseKey(sText, sName) != 0) {
            LONG cx = 0, cy = 0;
            DWORD nColors = 0;
            if (HGLOBAL hDIB = pPool->GetDIB(sText); hDIB && GXInspectDIB(hDIB, cx, cy, nColors))
                return pControl->AddBorderToSize(CSize(int(cx), int(cy)), nRow, nCol, style);
        }
    }

    // The style's font (the Standard style's when it has none), at the grid's zoom, from its cache.
    const CGXStyle* pFontStyle = &style;
    if (!style.GetIncludeFont())
        if (const CGXStyle* pStandard = pGrid->LookupStandardStyle(); pStandard && pStandard->GetIncludeFont())
            pFontStyle = pStandard;
    CFont* pFont = pGrid->LookupFont(pFontStyle->GetFont());
    CFont* pOld = nullptr;
    if (pFont && pDC->GetCurrentFont() != pFont)
        pOld = pDC->SelectObject(pFont);

    const CGXCellRange span = SizingSpan(pGrid, nRow, nCol);
    const CRect rect(0, 0, pGrid->SumColWidths(span.left, span.right), pGrid->SumRowHeights(span.top, span.bottom));
    const CRect inner = pControl->ComputeInnerRect(nRow, nCol, &rect, &style);
    const CSize size = TextSize(pDC, sText, inner, style, bFitHeight);

    if (pOld && pDC != m_pBatchDC)
        pDC->SelectObject(pOld);
    return pControl->AddBorderToSize(size, nRow, nCol, style);
}

CSize CGXCalcSizeImp::TextSize(CDC* pDC, const CString& sText, const CRect& inner, const CGXStyle& style,
                               BOOL bFitHeight)
{
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    const int nLineHeight = tm.tmHeight + tm.tmExternalLeading;
    if (sText.IsEmpty())
        return CSize(tm.tmMaxCharWidth, nLineHeight + 1);

    const UINT nFormat = MeasureFormat(style);
    const BOOL bWrap = style.GetIncludeWrapText() && style.GetWrapText();
    int nLines = 1;
    int nWrapped = 0;
    if (bWrap)
        nWrapped = WidestWrappedLine(pDC, sText, CRect(0, 0, inner.Width(), kUnboundedHeight), nFormat, nLines);
    if (bFitHeight)
        return CSize(inner.Width(), bWrap ? nLineHeight * nLines + 1 : nLineHeight + 1);
    if (bWrap && inner.Height() >= nLineHeight * nLines)
        return CSize(nWrapped, inner.Height());
    // Too low for its wrapped lines, or not wrapping: as wide as its widest line break to break.
    return CSize(WidestUnwrappedLine(pDC, sText), inner.Height());
}
