// Drawing: the paint pass, cells, borders, grid lines and redraw requests. Defaults: nothing.

#include "grid/core/gxgrid.h"

#include "grid/core/gxctrl.h"
#include "platform/gdi/gdiobj.h"

void CGXGridCore::Redraw(UINT, BOOL) {}
void CGXGridCore::RedrawCells(ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) {}
void CGXGridCore::RedrawRect(const CRect&, UINT) {}
void CGXGridCore::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CGXGridCore::OnPrint(CDC*, CPrintInfo*) {}
void CGXGridCore::OnEndPrinting(CDC*, CPrintInfo*) {}
void CGXGridCore::EnsureCountComplete() {}
void CGXGridCore::OnGridDraw(CDC*) {}
void CGXGridCore::OnGridPrepareDC(CDC*, CPrintInfo*) {}
void CGXGridCore::RedrawCurrentCell(UINT) {}
void CGXGridCore::RefreshCurrentCell() {}
void CGXGridCore::DrawRange(ROWCOL, ROWCOL, ROWCOL, ROWCOL, CDC*) {}
void CGXGridCore::DrawCellContent(CDC*, ROWCOL, ROWCOL, const CRect&, const CGXStyle&) {}
void CGXGridCore::DrawBrushRect(CDC*, const CRect&, const CGXPackedBrush&) {}
void CGXGridCore::DrawBorderLine(CDC*, const CRect&, int, const CGXPackedPen&) {}
void CGXGridCore::DrawStyleBorders(CDC*, const CRect&, const CGXStyle&) {}
void CGXGridCore::DrawGridLine(CDC*, int, int, int, int, int) {}
void CGXGridCore::DrawPatternLine(CDC*, const CRect&, int, UINT) {}
void CGXGridCore::InvertCell(CDC*, ROWCOL, ROWCOL, const CRect&) {}
void CGXGridCore::MarkEditHeaders(CDC*, ROWCOL, ROWCOL, const CRect&) {}
CRect CGXGridCore::CellInnerRect(const CRect&, const CGXStyle&, BOOL) { return CRect(); }
CSize CGXGridCore::AddBorderSize(const CSize&, const CGXStyle&) { return CSize(0, 0); }
void CGXGridCore::DrawGridLineMarker(CDC*, int, int, int, int, int, int, int) {}

// ---- Non-virtual drawing members ----

BOOL CGXGridCore::IsPaintingBackground() const { return m_bDrawOwnBackground; }
void CGXGridCore::FreeDrawingGdiObjects()
{
    if (m_nDrawingNesting == 0) {
        m_brushCache.clear();
        m_penCache.clear();
    }
}
CBrush* CGXGridCore::LookupBrush(const CGXPackedBrush&) { return nullptr; }
CPen* CGXGridCore::LookupPen(const CGXPackedPen&) { return nullptr; }
CDC* CGXGridCore::GetMeasureDC() { return nullptr; }
void CGXGridCore::ReleaseMeasureDC() {}
BOOL CGXGridCore::ExchangeResizingFlag(BOOL bResizing)
{
    const BOOL bOld = m_bResizing;
    m_bResizing = bResizing;
    return bOld;
}
void CGXGridCore::AdjustPrintMargins(CRect&) {}
void CGXGridCore::DrawPrintHeaderFooter(CDC*, CPrintInfo*) {}
CRect CGXGridCore::GridLineRect(int, int) { return CRect(); }
