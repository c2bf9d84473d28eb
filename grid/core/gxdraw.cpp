// Drawing: the paint pass over the visible cells, backgrounds in runs, grid lines, borders,
// selection and current-cell marks, the area beyond the last cell, redraw requests and the
// brush and pen caches. A pass touches only the cells inside the clip box.

#include <algorithm>
#include <cassert>
#include <unordered_map>

#include "grid/core/gxcolor.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxspanhooks.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdiobj.h"
#include "platform/ui/view.h"
#include "platform/win/win.h"

namespace {

// Line types of DrawGridLine and DrawPatternLine.
constexpr int kHorzLine = 0;
constexpr int kVertLine = 1;
// Colours of the properties object.
constexpr int kColorGridLines = 0;
constexpr int kColorTrackingLine = 2;
constexpr int kColorDraggingLine = 3;
constexpr int kColorBackground = 4;
// DrawPatternLine flags.
constexpr UINT kPatternInvert = 8 | 4;
constexpr UINT kPatternTracking = 2;
constexpr UINT kPatternDragging = 1;
// A null pen draws nothing and takes no room.
constexpr UINT kPenNull = 5;
// Bands of the inverted current-cell frame: the side the grid lines are on gets the narrow one.
constexpr int kFrameWide = 3;
constexpr int kFrameNarrow = 2;
// Current-cell marking mode that inverts the current cell as well.
constexpr WORD kMarkCurrentByInverting = 1;
// A memory bitmap's brush origin follows the clip box within one 8x8 pattern.
constexpr int kPatternSize = 8;

// The style's border sides in the drawing grid's order: left, right, top, bottom.
constexpr int kStyleSide[4] = {gxBorderLeft, gxBorderRight, gxBorderTop, gxBorderBottom};

BOOL HasBorder(const CGXStyle& style, int nDrawSide)
{
    const int n = kStyleSide[nDrawSide];
    return style.GetIncludeBorders(n) && style.GetBorders(n).GetStyle() != kPenNull;
}

int BorderWidth(const CGXStyle& style, int nDrawSide)
{
    return std::max<int>(1, int(style.GetBorders(kStyleSide[nDrawSide]).GetWidth()));
}

COLORREF ResolvePacked(COLORREF value)
{
    DWORD field = 0, kind = 0;
    GXPackColor(value, field, kind);
    return GXResolveColor(field, kind);
}

}  // namespace

// ---- The older drawing path's registry ----

namespace {

std::unordered_map<const CGXGridCore*, CGXAbstractGridOldDrawingImp*>& OldDrawingImps()
{
    static std::unordered_map<const CGXGridCore*, CGXAbstractGridOldDrawingImp*> imps;
    return imps;
}

}  // namespace

CGXAbstractGridOldDrawingImp* GXGetOldDrawingImp(const CGXGridCore* pGrid)
{
    const auto it = OldDrawingImps().find(pGrid);
    return it == OldDrawingImps().end() ? nullptr : it->second;
}

void GXSetOldDrawingImp(const CGXGridCore* pGrid, CGXAbstractGridOldDrawingImp* pImp)
{
    if (pImp)
        OldDrawingImps()[pGrid] = pImp;
    else
        OldDrawingImps().erase(pGrid);
}

// ---- The pass ----

void CGXGridCore::OnGridDraw(CDC* pDC)
{
    if (!pDC || !m_pParam || !m_bInitDone || m_pParam->m_bLockRedraw)
        return;
    CRect rectClip;
    pDC->GetClipBox(&rectClip);
    if (rectClip.IsRectEmpty())
        return;
    if (m_bPrinting) {
        m_bPrintPassPending = TRUE;
        return;
    }
    // How many cells the clip box holds at the default sizes, for grids that fetch what they show.
    const int cyRow = DefaultRowHeight();
    const int cxCol = DefaultColWidth();
    if (cyRow > 0 && cxCol > 0)
        OnPrepareDrawing(ROWCOL(rectClip.bottom / cyRow + 1), ROWCOL(rectClip.right / cxCol + 1));
    m_bScrollRangeChanged = FALSE;
    m_bFullRepaintNeeded = FALSE;
    UpdateScrollBars(TRUE, TRUE);
    if (m_bFullRepaintNeeded) {
        m_bFullRepaintNeeded = FALSE;
        if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
            m_pGridWnd->Invalidate(FALSE);
        return;
    }
    if (m_bResizing)
        DrawThroughBitmap(pDC, rectClip);
    else
        DrawPass(pDC, rectClip);
}

// Resizing repaints the same cells at every mouse move: drawing off-screen avoids the flicker.
void CGXGridCore::DrawThroughBitmap(CDC* pDC, const CRect& rectClip)
{
    CDC mem;
    CBitmap bitmap;
    if (!mem.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, rectClip.Width(), rectClip.Height())) {
        DrawPass(pDC, rectClip);
        return;
    }
    CBitmap* pOldBitmap = mem.SelectObject(&bitmap);
    mem.SetViewportOrg(-rectClip.left, -rectClip.top);
    mem.SetBrushOrg(rectClip.left % kPatternSize, rectClip.top % kPatternSize);
    mem.IntersectClipRect(&rectClip);
    DrawPass(&mem, rectClip);
    mem.SetViewportOrg(0, 0);
    pDC->BitBlt(rectClip.left, rectClip.top, rectClip.Width(), rectClip.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOldBitmap);
}

void CGXGridCore::DrawPass(CDC* pDC, CRect rectClip)
{
    RefreshBaseStylePointers();
    // While the contents scroll, the rows that stay keep their composed styles and GDI objects.
    if (!m_bScrolling)
        FreeGdiCache();
    CDCStateGuard guard(pDC);
    if (m_pStyleStandard)
        guard.AdoptOldFont(SelectStyleFont(pDC, *m_pStyleStandard));
    ComputeFontUnits();

    rectClip &= GetDrawingArea();
    if (rectClip.IsRectEmpty())
        return;
    CDCClipGuard clip(pDC);
    pDC->IntersectClipRect(&rectClip);

    ROWCOL nTop = 0, nBottom = 0, nLeft = 0, nRight = 0;
    ViewIndexSpan(TRUE, rectClip.top, rectClip.bottom, nTop, nBottom);
    ViewIndexSpan(FALSE, rectClip.left, rectClip.right, nLeft, nRight);
    DrawRange(nTop, nLeft, nBottom, nRight, pDC);
    if (m_pParam->m_bExcelLikeFrame)
        DrawExcelLikeFrame(pDC);

    if (m_bFocusFrame) {
        CRect rectFrame = GetDrawingArea();
        CBrush* pBrush = LookupBrush(CGXPackedBrush(GX_BS_SOLID, RGB(0, 0, 0)));
        if (pBrush)
            pDC->FrameRect(&rectFrame, pBrush);
    }
    ReleaseMeasureDC();
}

// The view indexes of the rows (columns) that [from, to) touches. Without one, nLast is
// nFirst - 1 and nFirst the index after the last row (column) shown.
void CGXGridCore::ViewIndexSpan(BOOL bRows, int from, int to, ROWCOL& nFirst, ROWCOL& nLast)
{
    const CRect area = GetDrawingArea();
    const ROWCOL nCount = bRows ? RowCount() : ColCount();
    int pos = bRows ? area.top : area.left;
    nFirst = GX_INVALID;
    nLast = GX_INVALID;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL n = bRows ? ViewIndexToRow(i) : ViewIndexToCol(i);
        if (n > nCount || pos >= to) {
            if (nFirst == GX_INVALID) {
                nFirst = i;
                nLast = i - 1;
            }
            return;
        }
        const int size = bRows ? RowHeight(n) : ColWidth(n);
        if (nFirst == GX_INVALID && pos + size > from)
            nFirst = i;
        if (nFirst != GX_INVALID)
            nLast = i;
        pos += size;
    }
}

void CGXGridCore::BuildDrawingGrid(CGXDrawingGrid& g, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                   CDC* pDC)
{
    g.pDC = pDC;
    g.nTopIndex = nTop;
    g.nLeftIndex = nLeft;
    g.nRows = (nBottom == GX_INVALID || nBottom < nTop) ? 0 : nBottom - nTop + 1;
    g.nCols = (nRight == GX_INVALID || nRight < nLeft) ? 0 : nRight - nLeft + 1;
    g.nTopRow = m_bPrinting ? m_nPrintTopRow : m_nTopRow;
    g.nLeftCol = m_bPrinting ? m_nPrintLeftCol : m_nLeftCol;
    g.nFrozenRows = FrozenRows();
    g.nFrozenCols = FrozenCols();
    g.nHeaderRows = HeaderRows();
    g.nHeaderCols = HeaderCols();
    const CRect area = GetDrawingArea();
    g.origin.x = area.left + (nLeft ? ViewColsWidthSum(0, nLeft - 1) : 0);
    g.origin.y = area.top + (nTop ? ViewRowsHeightSum(0, nTop - 1) : 0);

    const ROWCOL nRowCount = RowCount(), nColCount = ColCount();
    g.rows.resize(g.nRows + 1);
    g.heights.resize(g.nRows + 1);
    g.tops.resize(g.nRows + 1);
    int y = g.origin.y;
    for (ROWCOL i = 0; i <= g.nRows; ++i) {
        const ROWCOL nRow = ViewIndexToRow(nTop + i);
        g.rows[i] = nRow <= nRowCount ? nRow : 0;
        g.tops[i] = y;
        g.heights[i] = i < g.nRows ? RowHeight(nRow) : 0;
        y += g.heights[i];
    }
    g.cols.resize(g.nCols + 1);
    g.widths.resize(g.nCols + 1);
    g.lefts.resize(g.nCols + 1);
    int x = g.origin.x;
    for (ROWCOL j = 0; j <= g.nCols; ++j) {
        const ROWCOL nCol = ViewIndexToCol(nLeft + j);
        g.cols[j] = nCol <= nColCount ? nCol : 0;
        g.lefts[j] = x;
        g.widths[j] = j < g.nCols ? ColWidth(nCol) : 0;
        x += g.widths[j];
    }
    const size_t nCells = size_t(g.nRows) * g.nCols;
    g.styles.assign(nCells, nullptr);
    g.flags.assign(nCells, 0);
    g.spans.clear();
    g.pCurrentControl = nullptr;
    g.rectCurrent.SetRectEmpty();

    CGXProperties* pProps = GetProperties();
    if (m_bPrinting && pProps && pProps->m_bBlackWhite)
        g.background = RGB(255, 255, 255);
    else
        g.background = m_pStyleStandard ? m_pStyleStandard->GetInterior().ResolveBrushColor() : RGB(255, 255, 255);
}

void CGXGridCore::PrepareCell(CGXDrawingGrid& g, ROWCOL i, ROWCOL j)
{
    const size_t k = g.Index(i, j);
    const ROWCOL nRow = g.rows[i], nCol = g.cols[j];
    if (!g.styles[k])
        g.styles[k] = &GetCellStyleCached(nRow, nCol);
    const CGXStyle& style = *g.styles[k];
    WORD f = 0;
    if (!m_pStyleStandard || style.GetInterior() != m_pStyleStandard->GetInterior())
        f |= GX_DGF_BACKGROUND;
    for (int side = 0; side < 4; ++side)
        if (HasBorder(style, side))
            f |= WORD(GX_DGF_BORDERLEFT << side);

    CGXProperties* pProps = GetProperties();
    const BOOL bHorz = pProps && (m_bPrinting ? pProps->m_bPrintHorzLines : pProps->GetDisplayHorzLines());
    const BOOL bVert = pProps && (m_bPrinting ? pProps->m_bPrintVertLines : pProps->GetDisplayVertLines());
    const BOOL bFar = m_pParam->m_nGridLineStyle != 0;
    if (bHorz && !(f & (bFar ? GX_DGF_BORDERBOTTOM : GX_DGF_BORDERTOP)))
        f |= GX_DGF_HORZLINE;
    if (bVert && !(f & (bFar ? GX_DGF_BORDERRIGHT : GX_DGF_BORDERLEFT)))
        f |= GX_DGF_VERTLINE;
    if (nCol == g.nFrozenCols && nCol > g.nHeaderCols)
        f |= GX_DGF_FROZENCOL;
    if (nRow == g.nFrozenRows && nRow > g.nHeaderRows)
        f |= GX_DGF_FROZENROW;
    if (!m_pParam->m_SelRects.IsEmpty() && m_pParam->m_SelRects.IsCellInList(nRow, nCol))
        f |= GX_DGF_SELECTED;
    g.flags[k] = f;
}

void CGXGridCore::DrawRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, CDC* pDC)
{
    if (!pDC || !m_pParam)
        return;
    const size_t nLevel = size_t(m_nDrawingNesting);
    if (m_drawingGrids.size() <= nLevel)
        m_drawingGrids.push_back(std::make_unique<CGXDrawingGrid>());
    CGXDrawingGrid& g = *m_drawingGrids[nLevel];
    // A control may draw the grid while it is drawn: the outer pass's grid comes back after.
    struct Nesting {
        CGXGridCore* p;
        CGXDrawingGrid* pPrev;
        ~Nesting()
        {
            --p->m_nDrawingNesting;
            p->m_pDrawingGrid = pPrev;
            p->m_bDrawOwnBackground = TRUE;
        }
    } nesting {this, m_pDrawingGrid};
    ++m_nDrawingNesting;
    m_pDrawingGrid = &g;

    BuildDrawingGrid(g, nTop, nLeft, nBottom, nRight, pDC);

    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = QueryCurrentCell(nCurRow, nCurCol);
    if (bCurrent && !m_bCommittingCurrentCell && RowToViewIndex(nCurRow) - nTop < g.nRows
        && ColToViewIndex(nCurCol) - nLeft < g.nCols)
        ResetCurrentCellStyle();

    // Drawing order 1 composes every style first, column by column.
    if (m_pParam->m_wDrawOrder == 1)
        for (ROWCOL j = 0; j < g.nCols; ++j)
            for (ROWCOL i = 0; i < g.nRows; ++i)
                g.styles[g.Index(i, j)] = &GetCellStyleCached(g.rows[i], g.cols[j]);
    // Floating and merged spans of the drawn cells are brought up to date before any is prepared;
    // a span's cells then take the span's style, composed once.
    if (m_pDrawSpannedCellsImp && g.nRows && g.nCols)
        m_pDrawSpannedCellsImp->EvaluateSpans(
            this, CGXCellRange(g.rows[0], g.cols[0], g.rows[g.nRows - 1], g.cols[g.nCols - 1]), GetPaneBounds(), 0);
    constexpr WORD kInSpan = GX_DGF_SPANNED | GX_DGF_SPANSTART;
    for (ROWCOL i = 0; i < g.nRows; ++i)
        for (ROWCOL j = 0; j < g.nCols; ++j) {
            if (g.flags[g.Index(i, j)] & kInSpan)
                continue;
            if (!m_pDrawSpannedCellsImp || !m_pDrawSpannedCellsImp->PrepareSpannedCell(this, g, i, j))
                PrepareCell(g, i, j);
        }

    const BOOL bAllBackgrounds = !m_pParam->m_bTransparentBackground;
    if (CGXAbstractGridOldDrawingImp* pOld = m_pParam->m_bOldDrawing ? GXGetOldDrawingImp(this) : nullptr) {
        if (bAllBackgrounds) {
            for (WORD& f : g.flags)
                f |= GX_DGF_BACKGROUND;
            FillBeyondLastCell(g);
        }
        if (pOld->DrawBlock(this, g, FALSE)) {
            if (!m_bPrinting)
                InvertSelection(g);
            return;
        }
    }
    for (ROWCOL i = 0; i < g.nRows; ++i) {
        if (g.heights[i] <= 0)
            continue;
        if (bAllBackgrounds)
            for (ROWCOL j = 0; j < g.nCols; ++j)
                g.flags[g.Index(i, j)] |= GX_DGF_BACKGROUND;
        FillBackgroundRuns(g, i);
        for (ROWCOL j = 0; j < g.nCols; ++j)
            DrawOneCell(g, i, j);
        // Once, after the row that drew the current cell (a span's first drawn row for a span).
        if (g.pCurrentControl && bCurrent && !g.pCurrentControl->IsActive() && !g.rectCurrent.IsRectEmpty()) {
            g.pCurrentControl->DrawSelectionMarks(pDC, g.rectCurrent);
            g.rectCurrent.SetRectEmpty();
        }
        DrawRowGridLines(g, i);
    }
    if (bAllBackgrounds)
        FillBeyondLastCell(g);
    for (ROWCOL j = 0; j < g.nCols; ++j)
        DrawColGridLines(g, j);
    if (!m_bPrinting)
        InvertSelection(g);
}

// Neighbouring cells with one interior are filled once; a run's cells then skip their own fill.
void CGXGridCore::FillBackgroundRuns(CGXDrawingGrid& g, ROWCOL i)
{
    ROWCOL j = 0;
    while (j < g.nCols) {
        const size_t k = g.Index(i, j);
        // A span fills its own rectangle: neither its cells nor its first cell join a run.
        if (!(g.flags[k] & GX_DGF_BACKGROUND) || (g.flags[k] & (GX_DGF_SPANNED | GX_DGF_SPANSTART)) || !g.styles[k]) {
            ++j;
            continue;
        }
        const CGXPackedBrush& brush = g.styles[k]->GetInterior();
        ROWCOL e = j + 1;
        while (e < g.nCols) {
            const size_t n = g.Index(i, e);
            if (!(g.flags[n] & GX_DGF_BACKGROUND) || (g.flags[n] & (GX_DGF_SPANNED | GX_DGF_SPANSTART)) || !g.styles[n]
                || g.styles[n]->GetInterior() != brush)
                break;
            ++e;
        }
        if (e - j >= 2) {
            const CRect rect(g.lefts[j], g.tops[i], g.lefts[e - 1] + g.widths[e - 1], g.tops[i] + g.heights[i]);
            DrawBrushRect(g.pDC, rect, brush);
            for (ROWCOL n = j; n < e; ++n)
                g.flags[g.Index(i, n)] &= WORD(~GX_DGF_BACKGROUND);
        }
        j = e;
    }
}

void CGXGridCore::FillBeyondLastCell(CGXDrawingGrid& g)
{
    const CRect area = GetDrawingArea();
    CGXProperties* pProps = GetProperties();
    const COLORREF color = m_bPrinting ? RGB(255, 255, 255)
                                       : (pProps ? ResolvePacked(pProps->GetColor(kColorBackground)) : RGB(255, 255, 255));
    const BOOL bLastRow = g.rows[g.nRows] == 0, bLastCol = g.cols[g.nCols] == 0;
    const int right = g.Right(), bottom = g.Bottom();
    if (bLastRow && bottom < area.bottom)
        g.pDC->FillSolidRect(CRect(area.left, bottom, area.right, area.bottom), color);
    if (bLastCol && right < area.right)
        g.pDC->FillSolidRect(CRect(right, area.top, area.right, std::min<int>(bottom, area.bottom)), color);

    // With lines on the upper and left edges, the last row and column need one to close them.
    if (m_pParam->m_nGridLineStyle != 0 || !pProps)
        return;
    const BOOL bHorz = m_bPrinting ? pProps->m_bPrintHorzLines : pProps->GetDisplayHorzLines();
    const BOOL bVert = m_bPrinting ? pProps->m_bPrintVertLines : pProps->GetDisplayVertLines();
    if (bLastRow && bHorz && g.nCols)
        DrawGridLine(g.pDC, g.lefts[0], bottom, right - g.lefts[0] + (bLastCol && bVert ? 1 : 0), 1, kHorzLine);
    if (bLastCol && bVert && g.nRows)
        DrawGridLine(g.pDC, right, g.tops[0], 1, bottom - g.tops[0], kVertLine);
}

void CGXGridCore::DrawOneCell(CGXDrawingGrid& g, ROWCOL i, ROWCOL j)
{
    const WORD f = g.flags[g.Index(i, j)];
    if (f & GX_DGF_SPANNED)
        return;
    if ((f & GX_DGF_SPANSTART) && m_pDrawSpannedCellsImp && m_pDrawSpannedCellsImp->DrawSpannedCell(this, g, i, j))
        return;
    DrawCellInRect(g, i, j, g.rows[i], g.cols[j], g.CellRect(i, j));
}

void CGXGridCore::DrawCellInRect(CGXDrawingGrid& g, ROWCOL i, ROWCOL j, ROWCOL nRow, ROWCOL nCol, const CRect& rect)
{
    const size_t k = g.Index(i, j);
    const CGXStyle* pStyle = g.styles[k];
    if (!pStyle || rect.IsRectEmpty())
        return;
    m_bDrawOwnBackground = (g.flags[k] & GX_DGF_BACKGROUND) != 0;
    DrawCellContent(g.pDC, nRow, nCol, rect, *pStyle);
    m_bDrawOwnBackground = TRUE;
    if (IsCurrentCellAt(nRow, nCol)) {
        g.pCurrentControl = GetRegisteredControl(pStyle->GetIncludeControl() ? pStyle->GetControl() : WORD(0));
        if (g.pCurrentControl && !g.pCurrentControl->IsActive())
            g.rectCurrent = CellInnerRect(rect, *pStyle);
    }
}

void CGXGridCore::DrawCellContent(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect, const CGXStyle& style)
{
    CGXControl* pControl = GetRegisteredControl(style.GetIncludeControl() ? style.GetControl() : WORD(0));
    if (!pControl)
        return;
    if (IsCurrentCellAt(nRow, nCol) && (m_nLastInitRow != nRow || m_nLastInitCol != nCol))
        pControl->InitForCell(nRow, nCol);
    pControl->Draw(pDC, rect, nRow, nCol, style, m_pStyleStandard);
}

// ---- Grid lines ----

void CGXGridCore::DrawRowGridLines(CGXDrawingGrid& g, ROWCOL i)
{
    if (g.heights[i] <= 0)
        return;
    const int y = m_pParam->m_nGridLineStyle ? g.tops[i] + g.heights[i] - 1 : g.tops[i];
    ROWCOL j = 0;
    while (j < g.nCols) {
        if (!(g.flags[g.Index(i, j)] & GX_DGF_HORZLINE)) {
            ++j;
            continue;
        }
        ROWCOL e = j + 1;
        while (e < g.nCols && (g.flags[g.Index(i, e)] & GX_DGF_HORZLINE))
            ++e;
        DrawGridLine(g.pDC, g.lefts[j], y, g.lefts[e - 1] + g.widths[e - 1] - g.lefts[j], 1, kHorzLine);
        j = e;
    }
}

void CGXGridCore::DrawColGridLines(CGXDrawingGrid& g, ROWCOL j)
{
    if (g.widths[j] <= 0)
        return;
    const int x = m_pParam->m_nGridLineStyle ? g.lefts[j] + g.widths[j] - 1 : g.lefts[j];
    ROWCOL i = 0;
    while (i < g.nRows) {
        if (!(g.flags[g.Index(i, j)] & GX_DGF_VERTLINE)) {
            ++i;
            continue;
        }
        ROWCOL e = i + 1;
        while (e < g.nRows && (g.flags[g.Index(e, j)] & GX_DGF_VERTLINE))
            ++e;
        DrawGridLine(g.pDC, x, g.tops[i], 1, g.tops[e - 1] + g.heights[e - 1] - g.tops[i], kVertLine);
        i = e;
    }
}

void CGXGridCore::DrawGridLine(CDC* pDC, int x, int y, int cx, int cy, int nType)
{
    if (!pDC || cx <= 0 || cy <= 0)
        return;
    CGXProperties* pProps = GetProperties();
    const COLORREF color = pProps ? pProps->GetColor(kColorGridLines) : RGB(192, 192, 192);
    const CGXPackedPen pen(m_pParam ? (m_pParam->m_nGridLineDrawing & 7) : 0, 1, color);
    const CRect rect(x, y, x + cx, y + cy);
    if (pen.GetStyle() == PS_SOLID) {
        pDC->FillSolidRect(&rect, pen.ResolvePenColor());
        return;
    }
    CGXPackedBrush brush;
    const CGXPackedBrush background(GX_BS_SOLID, m_pDrawingGrid ? m_pDrawingGrid->background : RGB(255, 255, 255));
    const BOOL bBlackWhite = m_bPrinting && pProps && pProps->m_bBlackWhite;
    if (CGXPackedBrush::GetLineBrush(pen, background, nType == kHorzLine, bBlackWhite, brush))
        DrawBrushRect(pDC, rect, brush);
}

CRect CGXGridCore::GridLineRect(int nType, int nIndex)
{
    // The line after view row (column) nIndex, across the rows and columns shown.
    const CRect area = GetDrawingArea();
    const BOOL bFar = m_pParam && m_pParam->m_nGridLineStyle;
    if (nType == kHorzLine) {
        const int y = area.top + ViewRowsHeightSum(0, ROWCOL(nIndex)) - (bFar ? 1 : 0);
        return CRect(area.left, y, area.right, y + 1);
    }
    const int x = area.left + ViewColsWidthSum(0, ROWCOL(nIndex)) - (bFar ? 1 : 0);
    return CRect(x, area.top, x + 1, area.bottom);
}

void CGXGridCore::DrawPatternLine(CDC* pDC, const CRect& rect, int nType, UINT flags)
{
    if (!pDC || rect.IsRectEmpty())
        return;
    CGXProperties* pProps = GetProperties();
    const BOOL bBlack = m_bPrinting && pProps && pProps->m_bBlackWhite;
    auto color = [&](int n) { return bBlack || !pProps ? RGB(0, 0, 0) : ResolvePacked(pProps->GetColor(n)); };
    if (flags & kPatternInvert) {
        pDC->InvertRect(&rect);
    } else if (flags & kPatternTracking) {
        pDC->FillSolidRect(&rect, color(kColorTrackingLine));
    } else if (flags & kPatternDragging) {
        pDC->FillSolidRect(&rect, color(kColorGridLines));
        const CRect line = nType == kHorzLine ? CRect(rect.left, rect.top, rect.right, rect.top + 1)
                                              : CRect(rect.left, rect.top, rect.left + 1, rect.bottom);
        const CGXPackedPen pen(m_pParam ? (m_pParam->m_nGridLineDrawing & 7) : 0, 1,
                               pProps ? pProps->GetColor(kColorDraggingLine) : RGB(0, 0, 0));
        CGXPackedBrush brush(GX_BS_SOLID, pen.ResolvePenColor());
        CGXPackedBrush::GetLineBrush(pen, CGXPackedBrush(GX_BS_SOLID, color(kColorGridLines)), nType == kHorzLine,
                                     bBlack, brush);
        DrawBrushRect(pDC, line, brush);
    } else {
        DrawBrushRect(pDC, rect, CGXPackedBrush(GX_BS_SOLID, color(kColorGridLines)));
    }
}

void CGXGridCore::DrawGridLineMarker(CDC* pDC, int x, int y, int cx, int cy, int nKind, int, int)
{
    DrawPatternLine(pDC, CRect(x, y, x + cx, y + cy), nKind, kPatternInvert);
}

// ---- Borders and fills ----

void CGXGridCore::DrawBorderLine(CDC* pDC, const CRect& rect, int nBorder, const CGXPackedPen& pen)
{
    if (!pDC || pen.GetStyle() == kPenNull || !pen.GetInclude())
        return;
    const int w = std::max<int>(1, int(pen.GetWidth()));
    CRect r = rect;
    switch (nBorder) {
    case 0: r.right = std::min<int>(r.right, r.left + w); break;
    case 1: r.left = std::max<int>(r.left, r.right - w); break;
    case 2: r.bottom = std::min<int>(r.bottom, r.top + w); break;
    case 3: r.top = std::max<int>(r.top, r.bottom - w); break;
    default: return;
    }
    CGXPackedBrush brush(GX_BS_SOLID, pen.GetColor());
    const BOOL bBlackWhite = m_bPrinting && GetProperties() && GetProperties()->m_bBlackWhite;
    const CGXPackedBrush background(GX_BS_SOLID, m_pDrawingGrid ? m_pDrawingGrid->background : RGB(255, 255, 255));
    CGXPackedBrush::GetLineBrush(pen, background, nBorder >= 2, bBlackWhite, brush);
    DrawBrushRect(pDC, r, brush);
}

void CGXGridCore::DrawStyleBorders(CDC* pDC, const CRect& rect, const CGXStyle& style)
{
    if (!style.GetIncludeBorders())
        return;
    for (int side : {2, 3, 0, 1})
        if (style.GetIncludeBorders(kStyleSide[side]))
            DrawBorderLine(pDC, rect, side, style.GetBorders(kStyleSide[side]));
}

void CGXGridCore::DrawBrushRect(CDC* pDC, const CRect& rect, const CGXPackedBrush& brush)
{
    if (!pDC || rect.IsRectEmpty())
        return;
    switch (brush.GetStyle()) {
    case GX_BS_SOLID:
        pDC->FillSolidRect(&rect, brush.ResolveBrushColor());
        return;
    case GX_BS_HOLLOW:
        return;
    default:
        break;
    }
    if (brush.GetStyle() == GX_BS_PATTERN) {
        CDCStateGuard guard(pDC);
        guard.SetTextColor(brush.ResolveBrushColor());
        guard.SetBkColor(brush.ResolveBrushBackColor());
        if (CBrush* p = LookupBrush(brush))
            pDC->FillRect(&rect, p);
        return;
    }
    if (CBrush* p = LookupBrush(brush)) {
        CDCStateGuard guard(pDC);
        guard.SetBkColor(brush.ResolveBrushBackColor());
        pDC->FillRect(&rect, p);
    }
}

CRect CGXGridCore::CellInnerRect(const CRect& rect, const CGXStyle& style, BOOL bGridLines)
{
    CRect r = rect;
    if (style.GetIncludeDraw3dFrame() && style.GetDraw3dFrame())
        r.DeflateRect(1, 1);
    const BOOL bFar = m_pParam && m_pParam->m_nGridLineStyle;
    CGXProperties* pProps = GetProperties();
    const BOOL bHorz = bGridLines && pProps && (m_bPrinting ? pProps->m_bPrintHorzLines : pProps->GetDisplayHorzLines());
    const BOOL bVert = bGridLines && pProps && (m_bPrinting ? pProps->m_bPrintVertLines : pProps->GetDisplayVertLines());
    const BOOL lineOn[4] = {bVert && !bFar, bVert && bFar, bHorz && !bFar, bHorz && bFar};
    int take[4];
    for (int side = 0; side < 4; ++side)
        take[side] = HasBorder(style, side) ? BorderWidth(style, side) : (lineOn[side] ? 1 : 0);
    r.left += take[0];
    r.right -= take[1];
    r.top += take[2];
    r.bottom -= take[3];
    return r;
}

CSize CGXGridCore::AddBorderSize(const CSize& size, const CGXStyle& style)
{
    const CRect inner = CellInnerRect(CRect(0, 0, 0, 0), style, TRUE);
    CSize result(size.cx - inner.Width(), size.cy - inner.Height());
    if (style.GetIncludeDraw3dFrame() && style.GetDraw3dFrame()) {
        // The frame counts twice: once inside the borders and once for its shadow.
        result.cx += 2;
        result.cy += 2;
    }
    return result;
}

// ---- Selection and the current cell ----

void CGXGridCore::InvertSelection(CGXDrawingGrid& g)
{
    if (!m_pParam->m_bInvertSelection && !m_pParam->m_bCurrentCellFrame && !m_bInvertCurrentCellOnce
        && m_pParam->m_wOptionL != kMarkCurrentByInverting)
        return;
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = QueryCurrentCell(nCurRow, nCurCol);
    for (ROWCOL i = 0; i < g.nRows; ++i)
        for (ROWCOL j = 0; j < g.nCols; ++j) {
            const BOOL bIsCurrent = bCurrent && g.rows[i] == nCurRow && g.cols[j] == nCurCol;
            if ((g.flags[g.Index(i, j)] & GX_DGF_SELECTED) || bIsCurrent) {
                const CRect rect = g.CellRect(i, j);
                if (!rect.IsRectEmpty())
                    InvertCell(g.pDC, g.rows[i], g.cols[j], rect);
            }
        }
    m_bInvertCurrentCellOnce = FALSE;
}

void CGXGridCore::InvertCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect)
{
    if (!pDC || !m_pParam)
        return;
    const BOOL bCurrent = IsCurrentCellAt(nRow, nCol);
    const BOOL bSelected = m_pParam->m_SelRects.IsCellInList(nRow, nCol);
    if (m_pParam->m_bInvertSelection) {
        if (bCurrent ? (m_bInvertCurrentCellOnce || m_pParam->m_wOptionL == kMarkCurrentByInverting) : bSelected)
            pDC->InvertRect(&rect);
    }
    if (bCurrent && m_pParam->m_bCurrentCellFrame) {
        // The bands sit inside the cell; the side that carries the grid line gets the narrow one.
        const BOOL bFar = m_pParam->m_nGridLineStyle != 0;
        const int nNear = bFar ? kFrameNarrow : kFrameWide, nFar = bFar ? kFrameWide : kFrameNarrow;
        const CRect bands[4] = {
            CRect(rect.left, rect.top, rect.right, rect.top + nNear),
            CRect(rect.left, rect.bottom - nFar, rect.right, rect.bottom),
            CRect(rect.left, rect.top + nNear, rect.left + nNear, rect.bottom - nFar),
            CRect(rect.right - nFar, rect.top + nNear, rect.right, rect.bottom - nFar),
        };
        for (const CRect& band : bands)
            if (!band.IsRectEmpty())
                pDC->InvertRect(&band);
    }
}

// ---- Redraw requests ----

void CGXGridCore::RedrawCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, UINT flags, BOOL bCreateHint)
{
    if (flags == GX_NOREDRAW || !m_pParam || m_pParam->m_bLockRedraw || !m_pGridWnd || !m_pGridWnd->GetSafeHwnd()
        || !m_pGridWnd->IsWindowVisible())
        return;
    CGXCellRange range(std::min(nTop, nBottom), std::min(nLeft, nRight), std::max(nTop, nBottom),
                       std::max(nLeft, nRight));
    CGXCellRange span;
    if (SpanOfCell(range.top, range.left, span))
        range.UnionOf(CGXCellRange(range), span);
    if (SpanOfCell(range.bottom, range.right, span))
        range.UnionOf(CGXCellRange(range), span);
    const CRect rect = RangeToRect(range);
    if (!rect.IsRectEmpty())
        m_pGridWnd->InvalidateRect(&rect, TRUE);
    if (flags & GX_UPDATENOW)
        m_pGridWnd->UpdateWindow();
    if (bCreateHint && m_bHintsEnabled && m_pUpdateHintImp)
        m_pUpdateHintImp->SendHint(this, gxHintRedrawCells, &range, nullptr, flags);
}

void CGXGridCore::Redraw(UINT flags, BOOL bCreateHint)
{
    ResetSizeCaches();
    if (flags == GX_NOREDRAW || !m_pParam || m_pParam->m_bLockRedraw)
        return;
    if (m_nTopRow > RowCount())
        m_nTopRow = std::max(RowCount(), FrozenRows() + 1);
    if (m_nLeftCol > ColCount())
        m_nLeftCol = std::max(ColCount(), FrozenCols() + 1);
    FreeGdiCache();
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd()) {
        const CRect area = GetDrawingArea();
        m_pGridWnd->InvalidateRect(&area, FALSE);
    }
    UpdateScrollBars();
    if ((flags & GX_UPDATENOW) && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->UpdateWindow();
    if (bCreateHint && m_bHintsEnabled && m_pUpdateHintImp)
        m_pUpdateHintImp->SendHint(this, gxHintRedraw, nullptr, nullptr, flags);
}

void CGXGridCore::RedrawRect(const CRect& rect, UINT flags)
{
    if (flags == GX_NOREDRAW || !m_pParam || m_pParam->m_bLockRedraw || !m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return;
    m_pGridWnd->InvalidateRect(&rect, FALSE);
    if (flags & GX_UPDATENOW)
        m_pGridWnd->UpdateWindow();
}

void CGXGridCore::RedrawCurrentCell(UINT flags)
{
    ROWCOL nRow = 0, nCol = 0;
    if (QueryCurrentCell(nRow, nCol))
        RedrawCells(nRow, nCol, nRow, nCol, flags, FALSE);
}

void CGXGridCore::RefreshCurrentCell()
{
    ResetCurrentCellStyle(FALSE);
    RedrawCurrentCell(GX_INVALIDATE);
}

// ---- Printing forwarders ----

void CGXGridCore::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp)
        m_pPrintImp->BeginPrinting(this, pDC, pInfo);
}

void CGXGridCore::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp)
        m_pPrintImp->PrintPage(this, pDC, pInfo);
}

void CGXGridCore::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp)
        m_pPrintImp->EndPrinting(this, pDC, pInfo);
}

void CGXGridCore::EnsureCountComplete() {}
void CGXGridCore::PrepareRows(ROWCOL) {}
void CGXGridCore::OnPrepareDrawing(ROWCOL, ROWCOL) {}
void CGXGridCore::OnGridPrepareDC(CDC*, CPrintInfo*) {}
void CGXGridCore::AdjustPrintMargins(CRect&) {}
void CGXGridCore::DrawPrintHeaderFooter(CDC* pDC, CPrintInfo* pInfo) { PrintHeaderFooter(pDC, pInfo); }

void CGXGridCore::SubtractMargins(CDC*, CPrintInfo* pInfo)
{
    const CGXProperties* pProps = GetProperties();
    if (!pInfo || !pProps)
        return;
    CRect& r = pInfo->m_rectDraw;
    r.left += pProps->m_nMargins[CGXProperties::gxMarginLeft];
    r.top += pProps->m_nMargins[CGXProperties::gxMarginTop];
    r.right -= pProps->m_nMargins[CGXProperties::gxMarginRight];
    r.bottom -= pProps->m_nMargins[CGXProperties::gxMarginBottom];
    // Margins wider than the paper leave an empty page, never a reversed one.
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
}

void CGXGridCore::PrintHeaderFooter(CDC* pDC, CPrintInfo* pInfo)
{
    CGXProperties* pProps = GetProperties();
    if (!pProps)
        return;
    CView* pView = dynamic_cast<CView*>(m_pGridWnd);
    pProps->DrawHeaderFooter(pDC, pInfo, pView ? pView->GetDocument() : m_pDocument, m_pParam);
}

// ---- GDI caches ----

BOOL CGXGridCore::IsPaintingBackground() const { return m_bDrawOwnBackground; }

void CGXGridCore::FreeDrawingGdiObjects()
{
    if (m_nDrawingNesting == 0 && !m_bScrolling) {
        ReleaseMeasureDC();
        m_brushCache.clear();
        m_penCache.clear();
        // Fonts are made at the zoom of their first use; a pass starts from the zoom of now.
        FreeFontCache();
    }
}

CBrush* CGXGridCore::LookupBrush(const CGXPackedBrush& brush)
{
    const uint64_t key = (uint64_t(brush.m_w2) << 32) | brush.m_w1;
    auto it = m_brushCache.find(key);
    if (it != m_brushCache.end() && it->second->GetSafeHandle())
        return it->second.get();
    auto p = std::make_unique<CBrush>();
    const LOGBRUSH lb = brush.GetLogBrush();
    if (!p->CreateBrushIndirect(&lb))
        return nullptr;
    CBrush* pBrush = p.get();
    m_brushCache[key] = std::move(p);
    return pBrush;
}

CPen* CGXGridCore::LookupPen(const CGXPackedPen& pen)
{
    const uint64_t key = (uint64_t(pen.m_w2) << 32) | pen.m_w1;
    auto it = m_penCache.find(key);
    if (it != m_penCache.end() && it->second->GetSafeHandle())
        return it->second.get();
    auto p = std::make_unique<CPen>();
    // A square-ended pen keeps dashed borders exact at the corners; a plain one is the fallback.
    LOGBRUSH lb {BS_SOLID, pen.ResolvePenColor(), 0};
    const int nStyle = int(pen.GetStyle());
    const int nWidth = std::max<int>(1, int(pen.GetWidth()));
    if (!p->CreatePen(nStyle | PS_GEOMETRIC | PS_ENDCAP_SQUARE, nWidth, &lb)
        && !p->CreatePen(nStyle, nWidth, pen.ResolvePenColor()))
        return nullptr;
    CPen* pPen = p.get();
    m_penCache[key] = std::move(p);
    return pPen;
}

CDC* CGXGridCore::GetMeasureDC()
{
    if (m_pMeasureDC)
        return m_pMeasureDC;
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return nullptr;
    m_pMeasureDC = m_pGridWnd->GetDC();
    if (m_pMeasureDC && m_pStyleStandard)
        m_pMeasureFontOld = SelectStyleFont(m_pMeasureDC, *m_pStyleStandard);
    return m_pMeasureDC;
}

void CGXGridCore::ReleaseMeasureDC()
{
    if (!m_pMeasureDC || m_nDrawingNesting > 0)
        return;
    if (m_pMeasureFontOld)
        m_pMeasureDC->SelectObject(m_pMeasureFontOld);
    m_pMeasureFontOld = nullptr;
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->ReleaseDC(m_pMeasureDC);
    m_pMeasureDC = nullptr;
}

BOOL CGXGridCore::ExchangeResizingFlag(BOOL bResizing)
{
    const BOOL bOld = m_bResizing;
    m_bResizing = bResizing;
    return bOld;
}
