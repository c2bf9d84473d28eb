#include "grid/controls/gxstatic.h"

#include <algorithm>

#include "grid/core/gxdib.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstate.h"
#include "grid/controls/gxedit.h"
#include "grid/features/gxcelltip.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/win/win.h"

const CGXControlClass CGXStatic::classCGXStatic = {"CGXStatic", &CGXControl::classCGXControl};
const CGXControlClass CGXHeader::classCGXHeader = {"CGXHeader", &CGXStatic::classCGXStatic};

namespace {

// Horizontal alignment 2 is right-aligned text, which keeps one pixel more from the edge.
constexpr DWORD kAlignRight = 2;
constexpr DWORD kAlignCenter = 1;
constexpr int kMinTextMargin = 2;

// Header shadows: black, grey in the alternate look.
constexpr COLORREF kShadowBlack = RGB(0, 0, 0);
constexpr COLORREF kShadowGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Weights of the alternate header look.
constexpr LONG kWeightBold = 700;
constexpr LONG kWeightNormal = 400;
// A border pen of this style draws nothing, so the print line takes its place.
constexpr UINT kNullPenStyle = 5;

UINT TextFormat(const CGXStyle& style)
{
    UINT n = style.GetWrapText() ? (DT_WORDBREAK | DT_NOPREFIX) : (DT_SINGLELINE | DT_NOPREFIX);
    switch (style.GetVerticalAlignment()) {
    case 4: n |= DT_VCENTER; break;
    case 8: n |= DT_BOTTOM; break;
    default: break;
    }
    switch (style.GetHorizontalAlignment()) {
    case kAlignCenter: n |= DT_CENTER; break;
    case kAlignRight: n |= DT_RIGHT; break;
    default: break;
    }
    return n;
}

}  // namespace

int CGXStatic::TextMargin() { return std::max(GetSystemMetrics(SM_CXFRAME) / 2, kMinTextMargin); }

CRect CGXStatic::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    if (!pStyle)
        pStyle = &m_pGrid->GetCellStyleCached(nRow, nCol);
    CRect rect = CGXControl::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    const int m = TextMargin();
    rect.left += m;
    const bool bRight = pStyle->GetIncludeHorizontalAlignment() && pStyle->GetHorizontalAlignment() == kAlignRight;
    rect.right -= bRight ? m + 1 : m / 2;
    return rect;
}

CSize CGXStatic::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size.cx += 2 * TextMargin() + 1;
    return CGXControl::AddBorderToSize(size, nRow, nCol, style);
}

CSize CGXStatic::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    CGXAbstractCalcSizeImp* p = m_pGrid->m_pCalcSizeImp;
    return p ? p->CalcCellSize(this, pDC, nRow, nCol, style, bVert) : CSize(0, 0);
}

BOOL CGXStatic::CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFlood)
{
    CGXGridFloatCellsImp* p = m_pGrid->m_pFloatCellsImp;
    return p ? p->CanSpanCell(this, nRow, nCol, style, bFlood) : FALSE;
}

void CGXStatic::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                     const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    Draw3dBackground(pDC, rect, style);
    const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
    CString sText;
    if (GetDisplayText(sText, nRow, nCol, nullptr, style) && !sText.IsEmpty()) {
        CDCStateGuard guard(pDC);
        CFont* pOld = SelectCellFont(pDC, style, pStandardStyle);
        guard.AdoptOldFont(pOld);
        CGXProperties* pProps = m_pGrid->GetProperties();
        const BOOL bBlackWhite = m_pGrid->IsPrinting() && pProps && pProps->m_bBlackWhite;
        GetDrawingAndFormatting()->DrawStyledCellText(pDC, inner, sText, style, bBlackWhite, pOld != nullptr);
    }
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

// ---- Header ----

BOOL CGXHeader::IsHeaderMarked(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    if (CGXControl::IsHeaderMarked(nRow, nCol, style))
        return TRUE;
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (!pParam || !pParam->m_bMarkSelectionHeaders)
        return FALSE;
    const CGXRangeList& sel = pParam->m_SelRects;
    return sel.IntersectsRow(nRow) || sel.IntersectsCol(nCol);
}

void CGXHeader::DrawSelectionMarks(CDC* pDC, const CRect& rect)
{
    if (pDC)
        pDC->DrawFocusRect(&rect);
}

void CGXHeader::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& styleIn,
                     const CGXStyle* pStandardStyle)
{
    // A header squeezed to one pixel has no face to draw.
    if (!pDC || rect.Width() <= 1 || rect.Height() <= 1)
        return;
    CRect inner = ComputeInnerRect(nRow, nCol, &rect, &styleIn);
    CGXGridParam* pParam = m_pGrid->GetParam();
    CGXProperties* pProps = m_pGrid->GetProperties();
    const BOOL bAlternate = pParam && pParam->m_bAlternateHeader;
    BOOL bMarked = IsHeaderMarked(nRow, nCol, styleIn);
    const CGXStyle* pStyle = &styleIn;
    std::unique_ptr<CGXStyle> pCopy;
    if (bAlternate) {
        pCopy.reset(styleIn.Clone());
        CGXFont font = pCopy->GetFont();
        font.SetWeight(bMarked ? kWeightBold : kWeightNormal);
        pCopy->SetFont(font);
        pStyle = pCopy.get();
        bMarked = !bMarked;
    }
    const CGXStyle& style = *pStyle;
    const BOOL bPrinting = m_pGrid->IsPrinting();
    const BOOL bBlackWhite = bPrinting && pProps && pProps->m_bBlackWhite;

    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, pStandardStyle));
    if (!bBlackWhite)
        guard.SetTextColor(style.ResolveTextColor());

    Draw3dBackground(pDC, rect, style, FALSE);
    const CRect face = m_pGrid->CellInnerRect(rect, style, FALSE);

    const bool bFlat = (style.GetIncludeDraw3dFrame() && style.GetDraw3dFrame() != gxFrameNone)
        || (pProps && !pProps->GetDisplay3dButtons());
    const COLORREF shadow = bAlternate ? kShadowGrey : kShadowBlack;
    bool bShift = false;
    if (bFlat) {
        bShift = bMarked;
    } else if (bPrinting) {
        const BOOL bInHeaders = nRow <= m_pGrid->HeaderRows() || nCol <= m_pGrid->HeaderCols();
        if (bInHeaders && pProps) {
            CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
            guard.SelectPen(&pen);
            if (pProps->m_bPrintHorzLines && style.GetBorders(gxBorderBottom).GetStyle() == kNullPenStyle) {
                pDC->MoveTo(face.left, face.bottom - 1);
                pDC->LineTo(face.right, face.bottom - 1);
            }
            if (pProps->m_bPrintVertLines && style.GetBorders(gxBorderRight).GetStyle() == kNullPenStyle) {
                pDC->MoveTo(face.right - 1, face.top);
                pDC->LineTo(face.right - 1, face.bottom);
            }
        }
        bShift = bMarked;
    } else if (bMarked) {
        pDC->FillSolidRect(face.left, face.bottom - 1, face.Width(), 1, shadow);
        pDC->FillSolidRect(face.right - 1, face.top, 1, face.Height(), shadow);
        if (bAlternate)
            pDC->FillSolidRect(face.left, face.top, 1, face.Height(), kWhite);
        bShift = true;
    } else {
        const COLORREF highlight = GXGetAppData()->m_sysColors.LookupColor(COLOR_BTNHIGHLIGHT);
        GetDrawingAndFormatting()->Draw3dFrame(pDC, face.left, face.top, face.right - 1, face.bottom - 1, 1, highlight,
                                               shadow);
        if (bAlternate) {
            pDC->FillSolidRect(face.left, face.top, 2, face.Height(), kWhite);
            pDC->FillSolidRect(face.left, face.bottom - 1, face.Width(), 1, kShadowBlack);
            pDC->FillSolidRect(face.right - 1, face.top, 1, face.Height(), kShadowBlack);
            pDC->FillSolidRect(face.left, face.bottom - 2, face.Width() - 1, 1, shadow);
            pDC->FillSolidRect(face.right - 2, face.top, 1, face.Height() - 1, shadow);
        }
    }
    if (bShift)
        inner.OffsetRect(1, 1);

    guard.SetBkMode(TRANSPARENT);
    const UINT nFormat = TextFormat(style);
    CString sText;
    GetDisplayText(sText, nRow, nCol, nullptr, style);
    HGLOBAL hDIB = sText.IsEmpty() ? nullptr : CGXDIBPool::GetPool()->GetDIB(sText);
    if (hDIB) {
        const UINT nPlace = (nFormat & DT_CENTER ? 1 : 0) | (nFormat & DT_RIGHT ? 2 : 0) | (nFormat & DT_VCENTER ? 4 : 0)
            | (nFormat & DT_BOTTOM ? 8 : 0);
        DrawDIB(pDC->GetSafeHdc(), hDIB, inner, 0, nPlace);
    } else if (!sText.IsEmpty()) {
        CGXDrawingAndFormatting* pDraw = GetDrawingAndFormatting();
        const CGXFont& font = style.GetFont();
        if (font.GetIncludeOrientation() && font.GetOrientation() != 0)
            pDraw->DrawRotatedText(pDC, sText, -1, inner, int(font.GetOrientation()), nFormat, &inner);
        else if (style.HasUserAttribute(GX_IDS_UA_ELLIPSISTYPE_ATTR))
            pDraw->DrawTextWithEllipsis(pDC, sText, -1, inner, nFormat,
                                        int(style.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE_ATTR).GetLong()), &inner);
        else
            pDraw->DrawTextLines(pDC, sText, -1, inner, nFormat, &inner);
    }
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

// ---- Cell tips ----

namespace {

bool IsBitmapKey(const CString& s) { return s.Left(4) == "#BMP"; }

// The user attribute's value that shortens centred and right-aligned text with dots.
constexpr LONG kDotEllipsis = 1;

// A rectangle of the content's size placed in the inner rectangle by the style's alignment.
CRect PlaceContent(const CRect& inner, CSize size, const CGXStyle& style)
{
    int x = inner.left, y = inner.top;
    switch (style.GetHorizontalAlignment()) {
    case kAlignCenter: x = inner.left + (inner.Width() - size.cx) / 2; break;
    case kAlignRight: x = inner.right - size.cx; break;
    default: break;
    }
    switch (style.GetVerticalAlignment()) {
    case 4: y = inner.top + (inner.Height() - size.cy) / 2; break;
    case 8: y = inner.bottom - size.cy; break;
    default: break;
    }
    return CRect(CPoint(x, y), size);
}

int ReasonsFor(const CRect& content, const CRect& inner, const CRect& grid, const CRect& screen)
{
    int n = 0;
    if (content.Width() > inner.Width())
        n |= GX_TIP_WIDER;
    if (content.Height() > inner.Height())
        n |= GX_TIP_TALLER;
    if (content.left < grid.left || content.right > grid.right)
        n |= GX_TIP_GRID_HORZ;
    if (content.top < grid.top || content.bottom > grid.bottom)
        n |= GX_TIP_GRID_VERT;
    if (content.left < screen.left || content.right > screen.right)
        n |= GX_TIP_SCREEN_HORZ;
    if (content.top < screen.top || content.bottom > screen.bottom)
        n |= GX_TIP_SCREEN_VERT;
    return n;
}

// Moves a tip that would run off the screen back to the screen's edge.
CRect KeepOnScreen(CRect rect, const CRect& screen)
{
    if (rect.right > screen.right)
        rect.OffsetRect(screen.right - rect.right, 0);
    if (rect.left < screen.left)
        rect.OffsetRect(screen.left - rect.left, 0);
    if (rect.bottom > screen.bottom)
        rect.OffsetRect(0, screen.bottom - rect.bottom);
    if (rect.top < screen.top)
        rect.OffsetRect(0, screen.top - rect.top);
    return rect;
}

CRect ScreenRect() { return CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }

}  // namespace

BOOL CGXCellTipStatic::ComputeLayout(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, Layout& layout)
{
    CGXGridCore* pGrid = m_pControl ? m_pControl->GetGrid() : nullptr;
    CWnd* pGridWnd = pGrid ? pGrid->GetGridWnd() : nullptr;
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    m_pControl->GetDisplayText(layout.sText, nRow, nCol, nullptr, style);
    if (layout.sText.IsEmpty())
        return FALSE;
    const CRect rectCell = pGrid->CellToRect(nRow, nCol);  // a covered area's whole rectangle
    if (rectCell.IsRectEmpty())
        return FALSE;  // not on the screen
    CRect grid;
    pGridWnd->GetClientRect(&grid);
    pGridWnd->ClientToScreen(&grid);

    // An edit cell shows "#BMP" as the text it is.
    const BOOL bEdit = m_pControl->IsControlKindOf(&CGXEditControl::classCGXEditControl);
    if (!bEdit && IsBitmapKey(layout.sText)) {
        layout.hDIB = CGXDIBPool::GetPool()->GetDIB(layout.sText);
        LONG cx = 0, cy = 0;
        DWORD nColors = 0;
        if (!layout.hDIB || !GXInspectDIB(layout.hDIB, cx, cy, nColors))
            return FALSE;
        layout.rectInner = pGrid->CellInnerRect(rectCell, style, FALSE);
        pGridWnd->ClientToScreen(&layout.rectInner);
        layout.rectContent = PlaceContent(layout.rectInner, CSize(cx, cy), style);
        layout.nReasons = ReasonsFor(layout.rectContent, layout.rectInner, grid, ScreenRect());
        return TRUE;
    }

    // Rotated text is laid out to its cell, never cut at its end.
    const CGXFont& font = style.GetFont();
    if (font.GetOrientation() > 0)
        return FALSE;
    layout.rectInner = m_pControl->ComputeInnerRect(nRow, nCol, &rectCell, &style);
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return FALSE;
    CSize shown;
    {
        CDCStateGuard guard(&dc);
        guard.AdoptOldFont(pGrid->SelectStyleFont(&dc, style));
        layout.sizeText = dc.GetTextExtent(layout.sText);
        shown = layout.sizeText;
        if (style.GetWrapText()) {
            // Wrapped lines that the cell is too low for are cut off as well.
            CRect rectLines(0, 0, layout.rectInner.Width(), 0);
            dc.DrawText(layout.sText, &rectLines, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            shown = rectLines.Size();
        }
        if (CFont* pFont = dc.GetCurrentFont())
            pFont->GetLogFont(&layout.font);
    }
    pGridWnd->ClientToScreen(&layout.rectInner);
    // Centred and right-aligned text drawn with dots fills the cell from its start: placed at
    // the width shown, it is still cut off.
    const DWORD nAlign = style.GetHorizontalAlignment();
    const BOOL bDots = !style.GetWrapText() && (nAlign == kAlignCenter || nAlign == kAlignRight)
                       && style.HasUserAttribute(GX_IDS_UA_ELLIPSISTYPE_ATTR)
                       && style.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE_ATTR).GetLong() == kDotEllipsis;
    const BOOL bShortened = bDots && shown.cx > layout.rectInner.Width();
    if (bShortened)
        shown.cx = layout.rectInner.Width();
    layout.rectContent = PlaceContent(layout.rectInner, shown, style);
    layout.nReasons = ReasonsFor(layout.rectContent, layout.rectInner, grid, ScreenRect());
    if (bShortened)
        layout.nReasons |= GX_TIP_WIDER;
    return TRUE;
}

BOOL CGXCellTipStatic::NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    Layout layout;
    return ComputeLayout(nRow, nCol, style, layout) ? layout.nReasons : 0;
}

int CGXCellTipStatic::GetCellTipKind(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    if (!m_pControl)
        return GX_CELLTIP_TEXT;
    CString sText;
    m_pControl->GetDisplayText(sText, nRow, nCol, nullptr, style);
    const BOOL bEdit = m_pControl->IsControlKindOf(&CGXEditControl::classCGXEditControl);
    return !bEdit && IsBitmapKey(sText) ? GX_CELLTIP_BITMAP : GX_CELLTIP_TEXT;
}

void CGXCellTipStatic::ShowCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CWnd* pTipWnd)
{
    Layout layout;
    if (!pTipWnd || !ComputeLayout(nRow, nCol, style, layout))
        return;
    if (auto* pText = dynamic_cast<CGXTextCellTipWnd*>(pTipWnd)) {
        // The whole text on one line, from where the cell shows it.
        const CSize size(layout.sizeText.cx + CGXTextCellTipWnd::kPadX, layout.sizeText.cy + CGXTextCellTipWnd::kPadY);
        pText->PrepareText(layout.sText, layout.font,
                           KeepOnScreen(CRect(layout.rectContent.TopLeft(), size), ScreenRect()));
    } else if (auto* pBitmap = dynamic_cast<CGXStaticBitmapCellTipWnd*>(pTipWnd)) {
        if (layout.hDIB)
            pBitmap->PrepareBitmap(layout.hDIB, KeepOnScreen(layout.rectContent, ScreenRect()));
    }
}
