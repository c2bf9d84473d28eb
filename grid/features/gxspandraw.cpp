#include "grid/features/gxspandraw.h"

#include <algorithm>

#include "grid/core/gxgrid.h"
#include "grid/features/gxcalcsize.h"
#include "platform/gdi/dcguard.h"

namespace {

constexpr WORD kInSpan = GX_DGF_SPANNED | GX_DGF_SPANSTART;
constexpr WORD kBorders = GX_DGF_BORDERLEFT | GX_DGF_BORDERRIGHT | GX_DGF_BORDERTOP | GX_DGF_BORDERBOTTOM;
constexpr WORD kLines = GX_DGF_HORZLINE | GX_DGF_VERTLINE;
constexpr ROWCOL kLastIndex = 0xFFFFFFFE;

// Index 0 is the frozen pane (headers included), 1 the scrolled one.
int PaneOf(ROWCOL n, ROWCOL nFrozen) { return n > nFrozen ? 1 : 0; }

// The span's cell flags: only its outer cells on the grid-line side keep that side's border or
// grid line, so no line runs through the span; cells at the drawn area's right and bottom edges
// without a border there are marked.
WORD SpanCellFlags(const CGXDrawingGrid& g, WORD f, ROWCOL i, ROWCOL j, const CGXCellRange& span, BOOL bFar)
{
    const ROWCOL r = g.rows[i], c = g.cols[j];
    const WORD nearVert = bFar ? GX_DGF_BORDERRIGHT : GX_DGF_BORDERLEFT;
    const WORD nearHorz = bFar ? GX_DGF_BORDERBOTTOM : GX_DGF_BORDERTOP;
    // A pane boundary that cuts the span is an edge too: the part on each side shows its line.
    const bool bColEdge = bFar ? c == span.right || c == g.nFrozenCols : c == span.left || c == g.nLeftCol;
    const bool bRowEdge = bFar ? r == span.bottom || r == g.nFrozenRows : r == span.top || r == g.nTopRow;
    WORD out = WORD(f & ~(kBorders | kLines));
    if (bColEdge)
        out |= WORD(f & (nearVert | GX_DGF_VERTLINE));
    if (bRowEdge)
        out |= WORD(f & (nearHorz | GX_DGF_HORZLINE));
    if (j + 1 == g.nCols && !(f & GX_DGF_BORDERRIGHT))
        out |= GX_DGF_EDGERIGHT;
    if (i + 1 == g.nRows && !(f & GX_DGF_BORDERBOTTOM))
        out |= GX_DGF_EDGEBOTTOM;
    return out;
}

}  // namespace

BOOL CGXDrawSpannedCellsImp::FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& span)
{
    auto isSpan = [&] { return span.top != span.bottom || span.left != span.right; };
    if (pGrid->GetCoveredCellsRowCol(nRow, nCol, span))
        return isSpan();
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bEditing = pGrid->QueryCurrentCell(nCurRow, nCurCol) && pGrid->IsCurrentCellControlActive();
    if (bEditing && nCurRow == nRow && nCurCol == nCol)
        return FALSE;
    if (pGrid->MergeSpanOfCell(nRow, nCol, span) || pGrid->FloatSpanOfCell(nRow, nCol, span))
        return isSpan() && !(bEditing && span.IsCellInRange(nCurRow, nCurCol));
    return FALSE;
}

BOOL CGXDrawSpannedCellsImp::PrepareSpannedCell(CGXGridCore* pGrid, CGXDrawingGrid& g, ROWCOL i, ROWCOL j)
{
    CGXCellRange span;
    if (!FindSpan(pGrid, g.rows[i], g.cols[j], span))
        return FALSE;
    // One style for the whole span, composed once for this pass.
    const CGXStyle* pStyle = &pGrid->GetCellStyleCached(span.top, span.left);
    const CGXGridParam* pParam = pGrid->GetParam();
    const BOOL bFar = pParam && pParam->m_nGridLineStyle != 0;
    bool bStarted[2][2] = {};
    // The span's drawn cells follow (i, j): its rows from i on, its columns from j on, each in at
    // most two runs (frozen and scrolled).
    for (ROWCOL a = i; a < g.nRows; ++a) {
        const ROWCOL r = g.rows[a];
        if (r < span.top || r > span.bottom) {
            if (r > span.bottom && r > g.nFrozenRows)
                break;
            continue;
        }
        for (ROWCOL b = j; b < g.nCols; ++b) {
            const ROWCOL c = g.cols[b];
            if (c < span.left || c > span.right) {
                if (c > span.right && c > g.nFrozenCols)
                    break;
                continue;
            }
            const size_t k = g.Index(a, b);
            if (g.flags[k] & kInSpan)
                continue;  // claimed by another span already: features never let spans overlap
            g.styles[k] = pStyle;
            pGrid->PrepareCell(g, a, b);
            WORD f = SpanCellFlags(g, g.flags[k], a, b, span, bFar);
            bool& bStart = bStarted[PaneOf(r, g.nFrozenRows)][PaneOf(c, g.nFrozenCols)];
            if (!bStart) {
                bStart = true;
                f |= GX_DGF_SPANSTART;
                g.spans.push_back({k, span});
            } else {
                f = WORD((f | GX_DGF_SPANNED) & ~GX_DGF_BACKGROUND);
            }
            g.flags[k] = f;
        }
    }
    return TRUE;
}

BOOL CGXDrawSpannedCellsImp::DrawSpannedCell(CGXGridCore* pGrid, CGXDrawingGrid& g, ROWCOL i, ROWCOL j)
{
    const size_t k = g.Index(i, j);
    const auto it = std::find_if(g.spans.begin(), g.spans.end(), [k](const GXDrawnSpan& s) { return s.nStart == k; });
    if (it == g.spans.end())
        return FALSE;
    const CGXCellRange span = it->range;
    const ROWCOL r = g.rows[i], c = g.cols[j];
    // The whole span's rectangle, reaching back over its rows and columns that are not drawn.
    CRect rect;
    rect.top = g.tops[i] - (r > span.top ? pGrid->SumRowHeights(span.top, r - 1) : 0);
    rect.left = g.lefts[j] - (c > span.left ? pGrid->SumColWidths(span.left, c - 1) : 0);
    rect.bottom = rect.top + pGrid->SumRowHeights(span.top, span.bottom);
    rect.right = rect.left + pGrid->SumColWidths(span.left, span.right);

    // Clipped to what this pass draws and to the cell's pane, so the frozen part stays.
    const CRect area = pGrid->GetDrawingArea();
    const int yFrozen = area.top + pGrid->SumRowHeights(0, g.nFrozenRows);
    const int xFrozen = area.left + pGrid->SumColWidths(0, g.nFrozenCols);
    CRect pane = area;
    if (PaneOf(r, g.nFrozenRows))
        pane.top = std::max<int>(pane.top, yFrozen);
    else
        pane.bottom = std::min<int>(pane.bottom, yFrozen);
    if (PaneOf(c, g.nFrozenCols))
        pane.left = std::max<int>(pane.left, xFrozen);
    else
        pane.right = std::min<int>(pane.right, xFrozen);
    CRect clip = rect & pane & CRect(g.origin.x, g.origin.y, g.Right(), g.Bottom());
    if (clip.IsRectEmpty())
        return TRUE;
    CDCClipGuard guard(g.pDC);
    g.pDC->IntersectClipRect(&clip);
    pGrid->DrawCellInRect(g, i, j, span.top, span.left, rect);
    return TRUE;
}

BOOL CGXDrawSpannedCellsImp::EvaluateSpans(CGXGridCore* pGrid, const CGXCellRange& rangeIn, const GXPaneBounds& panes,
                                           UINT)
{
    CGXCellRange range = rangeIn;
    if (!range.IsCells())
        range.ExpandToCells(0, 0, pGrid->RowCount(), pGrid->ColCount());
    const ROWCOL nFirstRow = std::max(panes.nTopRow, panes.nFrozenRows + 1);
    const ROWCOL nFirstCol = std::max(panes.nLeftCol, panes.nFrozenCols + 1);
    const ROWCOL rowBounds[2][2] = {{0, panes.nFrozenRows}, {nFirstRow, kLastIndex}};
    const ROWCOL colBounds[2][2] = {{0, panes.nFrozenCols}, {nFirstCol, kLastIndex}};
    BOOL bChanged = FALSE;
    for (const auto& rows : rowBounds)
        for (const auto& cols : colBounds) {
            CGXCellRange part;
            if (!part.IntersectOf(range, CGXCellRange(rows[0], cols[0], rows[1], cols[1])))
                continue;
            // Both run for every part: one changing nothing must not keep the other from its work.
            const BOOL bFloat = pGrid->ResolveFloatCells(part);
            const BOOL bMerge = pGrid->ResolveMergeCells(part);
            bChanged = bChanged || bFloat || bMerge;
        }
    return bChanged;
}

// ---- Installation ----

void CGXGridCore::InstallDrawSpannedCellsImp()
{
    if (m_pDrawSpannedCellsImp)
        return;
    auto* p = new CGXDrawSpannedCellsImp;
    m_pDrawSpannedCellsImp = p;
    AddImpToDeleteList(p);
}

void CGXGridCore::InstallCalcSizeImp()
{
    if (m_pCalcSizeImp)
        return;
    auto* p = new CGXCalcSizeImp;
    m_pCalcSizeImp = p;
    AddImpToDeleteList(p);
}
