// Row heights, column widths, zoom and coordinates. Sizes are stored in thousandths of the grid's
// font unit so that they follow zoom and the printer; stored files rely on the integer order of
// the conversion (1000 div unit first).

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/view.h"
#include "platform/win/win.h"

namespace {

// Units when the Standard style has no font.
constexpr int kFallbackVertUnit = 15;
constexpr int kFallbackHorzUnit = 10;
// Stored sizes are thousandths of a unit.
constexpr LONG kThousandths = 1000;

// 1000 div unit, at least 1: a unit above 1000 (a large printer font) or of 0 would otherwise
// make reading divide by zero.
LONG StoredPerPixel(int nUnit)
{
    if (nUnit <= 0)
        nUnit = 1;
    return std::max<LONG>(kThousandths / nUnit, 1);
}

// What a font measures on the screen, by its description: every grid measures its Standard
// style's font, and the grids of a program mostly share one.
struct MeasuredUnits {
    int nVert, nHorz;
};

std::map<std::string, MeasuredUnits>& MeasuredFonts()
{
    // Never destroyed: a static grid may measure after it would be.
    static auto* s_fonts = new std::map<std::string, MeasuredUnits>;
    return *s_fonts;
}

std::string MeasureKey(const LOGFONT& lf)
{
    std::string key = std::to_string(lf.lfHeight) + ' ' + std::to_string(lf.lfWidth) + ' ' + std::to_string(lf.lfEscapement) + ' '
                      + std::to_string(lf.lfOrientation) + ' ' + std::to_string(lf.lfWeight);
    for (BYTE b : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision,
                   lf.lfQuality, lf.lfPitchAndFamily})
        key += ' ' + std::to_string(b);
    key += ' ';
    key.append(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    return key;
}

}  // namespace

// ---- Units ----

void CGXGridCore::MeasureFontUnits(int& nVert, int& nHorz)
{
    nVert = kFallbackVertUnit;
    nHorz = kFallbackHorzUnit;
    const CGXStyle* pStandard = LookupStandardStyle();
    if (!pStandard || !pStandard->GetIncludeFont())
        return;
    const std::string key = MeasureKey(pStandard->GetFont().GetLogFontZoomed(ZoomPercent()));
    auto& fonts = MeasuredFonts();
    if (auto it = fonts.find(key); it != fonts.end()) {
        nVert = it->second.nVert;
        nHorz = it->second.nHorz;
        return;
    }
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return;
    CFont* pOld = SelectStyleFont(&dc, *pStandard);
    TEXTMETRIC tm {};
    if (dc.GetTextMetrics(&tm)) {
        nVert = tm.tmHeight + tm.tmExternalLeading;
        nHorz = tm.tmAveCharWidth;
        // The bit set means variable pitch, whatever its name says.
        if (tm.tmPitchAndFamily & TMPF_FIXED_PITCH)
            nHorz = nHorz * 3 / 2;
        fonts[key] = MeasuredUnits {nVert, nHorz};
    }
    if (pOld)
        dc.SelectObject(pOld);
}

void CGXGridCore::ComputeFontUnits()
{
    MeasureFontUnits(m_nVertFontUnit, m_nHorzFontUnit);
    if (m_bPrinting) {
        m_nPrintVertUnit = m_nVertFontUnit;
        m_nPrintHorzUnit = m_nHorzFontUnit;
    }
}

int CGXGridCore::VertFontUnit()
{
    if (m_nVertFontUnit == 0)
        ComputeFontUnits();
    return m_nVertFontUnit;
}

int CGXGridCore::HorzFontUnit()
{
    if (m_nHorzFontUnit == 0)
        ComputeFontUnits();
    return m_nHorzFontUnit;
}

LONG CGXGridCore::PixelsToStoredHeight(int nPixels) { return LONG(nPixels) * StoredPerPixel(VertFontUnit()); }
LONG CGXGridCore::PixelsToStoredWidth(int nPixels) { return LONG(nPixels) * StoredPerPixel(HorzFontUnit()); }
int CGXGridCore::StoredToPixelsHeight(LONG nStored) { return int(nStored / StoredPerPixel(VertFontUnit())); }
int CGXGridCore::StoredToPixelsWidth(LONG nStored) { return int(nStored / StoredPerPixel(HorzFontUnit())); }

void CGXGridCore::ResetSizeCaches()
{
    m_nCacheLastVisibleRow = GX_INVALID;
    m_nCacheLastVisibleCol = GX_INVALID;
}

// ---- Reading sizes ----

int CGXGridCore::RowHeight(ROWCOL nRow)
{
    if (!m_pParam || IsRowHidden(nRow))
        return 0;
    LONG nStored = 0;
    const int nHeight = m_pParam->m_RowHeights.Lookup(nRow, nStored) ? StoredToPixelsHeight(nStored) : DefaultRowHeight();
    return LimitToWindow(TRUE, nRow, nHeight);
}

int CGXGridCore::ColWidth(ROWCOL nCol)
{
    if (!m_pParam || IsColHidden(nCol))
        return 0;
    LONG nStored = 0;
    const int nWidth = m_pParam->m_ColWidths.Lookup(nCol, nStored) ? StoredToPixelsWidth(nStored) : DefaultColWidth();
    return LimitToWindow(FALSE, nCol, nWidth);
}

// A scrolled row (column) is at most what the window shows below (right of) the frozen ones.
int CGXGridCore::LimitToWindow(BOOL bRows, ROWCOL n, int nSize)
{
    const BOOL bLimit = bRows ? m_bLimitRowHeight : m_bLimitColWidth;
    const ROWCOL nFrozen = bRows ? FrozenRows() : FrozenCols();
    if (bLimit && n > nFrozen && m_pGridWnd && m_pGridWnd->GetSafeHwnd() && m_pGridWnd->IsWindowVisible()) {
        const CRect area = GetDrawingArea();
        const int nLimit = bRows ? area.Height() - SumRowHeights(0, nFrozen) : area.Width() - SumColWidths(0, nFrozen);
        if (nLimit > 0 && nSize > nLimit)
            return nLimit;
    }
    return nSize;
}

int CGXGridCore::DefaultRowHeight() { return m_pParam ? StoredToPixelsHeight(m_pParam->m_nDefaultHeight) : 0; }
int CGXGridCore::DefaultColWidth() { return m_pParam ? StoredToPixelsWidth(m_pParam->m_nDefaultWidth) : 0; }

// Without the hiding feature no row or column is hidden.
BOOL CGXGridCore::IsRowHidden(ROWCOL nRow)
{
    return m_pHideCellsImp ? m_pHideCellsImp->IsRowHidden(this, nRow) : FALSE;
}

BOOL CGXGridCore::IsColHidden(ROWCOL nCol)
{
    return m_pHideCellsImp ? m_pHideCellsImp->IsColHidden(this, nCol) : FALSE;
}

BOOL CGXGridCore::HideRows(ROWCOL nFrom, ROWCOL nTo, BOOL bHide, BOOL* ab, UINT flags, int ctCmd)
{
    return m_pHideCellsImp ? m_pHideCellsImp->HideRows(this, nFrom, nTo, bHide, ab, flags, ctCmd) : FALSE;
}

BOOL CGXGridCore::HideCols(ROWCOL nFrom, ROWCOL nTo, BOOL bHide, BOOL* ab, UINT flags, int ctCmd)
{
    return m_pHideCellsImp ? m_pHideCellsImp->HideCols(this, nFrom, nTo, bHide, ab, flags, ctCmd) : FALSE;
}

BOOL CGXGridCore::StoreHideRow(ROWCOL nRow, BOOL bHide)
{
    return m_pHideCellsImp ? m_pHideCellsImp->StoreHideRow(this, nRow, bHide) : FALSE;
}

BOOL CGXGridCore::StoreHideCol(ROWCOL nCol, BOOL bHide)
{
    return m_pHideCellsImp ? m_pHideCellsImp->StoreHideCol(this, nCol, bHide) : FALSE;
}

void CGXGridCore::FillRowHeights(ROWCOL nFrom, ROWCOL nTo, int* an)
{
    for (ROWCOL n = nFrom; n <= nTo && an; ++n) {
        an[n - nFrom] = RowHeight(n);
        if (n == nTo)
            break;
    }
}

void CGXGridCore::FillColWidths(ROWCOL nFrom, ROWCOL nTo, int* an)
{
    for (ROWCOL n = nFrom; n <= nTo && an; ++n) {
        an[n - nFrom] = ColWidth(n);
        if (n == nTo)
            break;
    }
}

int CGXGridCore::SumRowHeights(ROWCOL nFrom, ROWCOL nTo, int nLimit) { return SumSizes(TRUE, nFrom, nTo, nLimit); }

int CGXGridCore::SumColWidths(ROWCOL nFrom, ROWCOL nTo, int nLimit) { return SumSizes(FALSE, nFrom, nTo, nLimit); }

int CGXGridCore::SumSizes(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    auto size = [&](ROWCOL n) { return bRows ? RowHeight(n) : ColWidth(n); };
    // A stretch beyond the frozen ones with no limit to stop at is summed as its default sizes,
    // corrected by the sizes stored and the bits hidden inside it: a span of 100,000 rows drawn
    // at row 50,000 costs what the stretch holds, not a lookup per row. The frozen part goes
    // row by row; beyond it the hiding feature answers from the parameter object's bits.
    const ROWCOL nFrozen = bRows ? FrozenRows() : FrozenCols();
    const CGXMapDWordToLong* pSizes = m_pParam ? (bRows ? &m_pParam->m_RowHeights : &m_pParam->m_ColWidths) : nullptr;
    const ROWCOL nFast = std::max(nFrom, nFrozen + 1);
    if (nLimit == 0 && pSizes && nTo >= nFast && nTo - nFast >= kLongStretch
        && ROWCOL(pSizes->GetCount()) < nTo - nFast) {
        int64_t nSum = 0;
        for (ROWCOL n = nFrom; n < nFast; ++n)
            nSum += size(n);
        const int nDefault = LimitToWindow(bRows, nFast, bRows ? DefaultRowHeight() : DefaultColWidth());
        nSum += int64_t(nDefault) * (int64_t(nTo) - nFast + 1);
        for (POSITION pos = pSizes->GetStartPosition(); pos;) {
            DWORD n = 0;
            LONG v = 0;
            pSizes->GetNextAssoc(pos, n, v);
            if (n >= nFast && n <= nTo)
                nSum += size(n) - nDefault;  // 0 when hidden
        }
        if (m_pHideCellsImp) {
            const CByteArray& hidden = bRows ? m_pParam->m_abHiddenRows : m_pParam->m_abHiddenCols;
            nSum -= int64_t(nDefault) * GXCountHiddenBits(hidden, nFast, nTo);
            // A hidden line with a stored size was taken off above already.
            for (POSITION pos = pSizes->GetStartPosition(); pos;) {
                DWORD n = 0;
                LONG v = 0;
                pSizes->GetNextAssoc(pos, n, v);
                if (n >= nFast && n <= nTo && GXGetHiddenBit(hidden, n))
                    nSum += nDefault;
            }
        }
        return int(std::min<int64_t>(nSum, INT_MAX));
    }
    int nSum = 0;
    for (ROWCOL n = nFrom; n <= nTo; ++n) {
        nSum += size(n);
        if ((nLimit && nSum > nLimit) || n == nTo)
            break;
    }
    return nSum;
}

int CGXGridCore::ViewRowsHeightSum(ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    int nSum = 0;
    const ROWCOL nCount = RowCount();
    for (ROWCOL i = nFrom; i <= nTo; ++i) {
        const ROWCOL nRow = ViewIndexToRow(i);
        if (nRow > nCount)
            break;
        nSum += RowHeight(nRow);
        if ((nLimit && nSum > nLimit) || i == nTo)
            break;
    }
    return nSum;
}

int CGXGridCore::ViewColsWidthSum(ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    int nSum = 0;
    const ROWCOL nCount = ColCount();
    for (ROWCOL i = nFrom; i <= nTo; ++i) {
        const ROWCOL nCol = ViewIndexToCol(i);
        if (nCol > nCount)
            break;
        nSum += ColWidth(nCol);
        if ((nLimit && nSum > nLimit) || i == nTo)
            break;
    }
    return nSum;
}

// ---- Storing sizes ----

BOOL CGXGridCore::SetDefaultRowHeight(int nHeight)
{
    if (nHeight <= 0 || !m_pParam)
        return FALSE;
    m_pParam->m_nDefaultHeight = PixelsToStoredHeight(nHeight);
    SetDocumentModified(TRUE);
    return TRUE;
}

BOOL CGXGridCore::SetDefaultColWidth(int nWidth)
{
    if (nWidth <= 0 || !m_pParam)
        return FALSE;
    m_pParam->m_nDefaultWidth = PixelsToStoredWidth(nWidth);
    SetDocumentModified(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreRowHeight(ROWCOL nRow, int nHeight)
{
    if (!m_pParam)
        return FALSE;
    if (nHeight < 0)
        m_pParam->m_RowHeights.RemoveKey(nRow);
    else
        m_pParam->m_RowHeights[nRow] = PixelsToStoredHeight(nHeight);
    SetDocumentModified(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreColWidth(ROWCOL nCol, int nWidth)
{
    if (!m_pParam)
        return FALSE;
    if (nWidth < 0)
        m_pParam->m_ColWidths.RemoveKey(nCol);
    else
        m_pParam->m_ColWidths[nCol] = PixelsToStoredWidth(nWidth);
    SetDocumentModified(TRUE);
    return TRUE;
}

namespace {

// The shared walk of SetRowHeights and SetColWidths.
struct SizeAxis {
    int (CGXGridCore::*size)(ROWCOL);
    BOOL (CGXGridCore::*store)(ROWCOL, int);
    void (CGXGridCore::*changed)(ROWCOL, ROWCOL, int*, UINT, BOOL);
    CGXCommand* (CGXAbstractCommandFactory::*command)(ROWCOL, ROWCOL, int*);
    int nText;
};
const SizeAxis kRowAxis {&CGXGridCore::RowHeight, &CGXGridCore::StoreRowHeight, &CGXGridCore::OnRowHeightsChanged,
                         &CGXAbstractCommandFactory::CreateSetRowHeightCmd, gxTextResizeRows};
const SizeAxis kColAxis {&CGXGridCore::ColWidth, &CGXGridCore::StoreColWidth, &CGXGridCore::OnColWidthsChanged,
                         &CGXAbstractCommandFactory::CreateSetColWidthCmd, gxTextResizeCols};

BOOL SetSizes(CGXGridCore& grid, const SizeAxis& axis, ROWCOL nFrom, ROWCOL nTo, int nSize, const int* anSizes,
              UINT flags, int ctCmd)
{
    if (nTo == 0)
        nTo = nFrom;
    if (nTo < nFrom)
        std::swap(nFrom, nTo);
    CGXLongOperation theOp;
    theOp.SetStatusText(GXGetLibraryState().m_astrTexts[axis.nText]);
    const size_t nCount = size_t(nTo - nFrom) + 1;
    std::unique_ptr<int[]> old(new int[nCount]);
    BOOL bChanged = FALSE;
    for (size_t i = 0; i < nCount; ++i) {
        const ROWCOL n = nFrom + ROWCOL(i);
        old[i] = (grid.*axis.size)(n);
        bChanged |= (grid.*axis.store)(n, anSizes ? anSizes[i] : nSize);
        theOp.ProcessMessages();
    }
    if (!bChanged)
        return FALSE;
    grid.ResetSizeCaches();
    (grid.*axis.changed)(nFrom, nTo, old.get(), flags, TRUE);
    CGXGridParam* pParam = grid.GetParam();
    if (grid.m_pUndoImp && ctCmd != gxRollback && pParam && pParam->IsEnableUndo()) {
        CGXCommand* pCmd = (grid.m_pUndoImp->*axis.command)(nFrom, nTo, old.release());
        grid.AddCommand(pCmd, ctCmd);
        if (ctCmd == gxUndo || ctCmd == gxRedo)
            grid.m_pUndoImp->SetCurrentCellAfterCommand(&grid, &axis == &kRowAxis ? nFrom : grid.GetTopRow(),
                                            &axis == &kRowAxis ? grid.GetLeftCol() : nFrom, FALSE);
    }
    return TRUE;
}

}  // namespace

BOOL CGXGridCore::SetRowHeights(ROWCOL nFrom, ROWCOL nTo, int nHeight, const int* an, UINT flags, int ctCmd)
{
    return SetSizes(*this, kRowAxis, nFrom, nTo, nHeight, an, flags, ctCmd);
}

BOOL CGXGridCore::SetColWidths(ROWCOL nFrom, ROWCOL nTo, int nWidth, const int* an, UINT flags, int ctCmd)
{
    return SetSizes(*this, kColAxis, nFrom, nTo, nWidth, an, flags, ctCmd);
}

void CGXGridCore::OnRowHeightsChanged(ROWCOL nFrom, ROWCOL nTo, int* anOld, UINT flags, BOOL bCreateHint)
{
    m_nCacheLastVisibleRow = GX_INVALID;
    if (IsRowHidden(nFrom) && m_bHasCurrentCell && m_nCurrentRow >= nFrom && m_nCurrentRow <= nTo)
        ReleaseCurrentCell(TRUE);
    if (!(m_pParam && m_pParam->m_bLockRedraw)) {
        if (!m_pOptimizedUpdateImp || !m_pOptimizedUpdateImp->OnRowHeightsChanged(this, nFrom, nTo, anOld, flags))
            RedrawCells(nFrom, 0, RowCount(), ColCount(), flags);
    }
    if (m_pUpdateHintImp && bCreateHint && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintRowHeights, anOld, nullptr, nFrom, nTo, flags);
}

void CGXGridCore::OnColWidthsChanged(ROWCOL nFrom, ROWCOL nTo, int* anOld, UINT flags, BOOL bCreateHint)
{
    m_nCacheLastVisibleCol = GX_INVALID;
    if (IsColHidden(nFrom) && m_bHasCurrentCell && m_nCurrentCol >= nFrom && m_nCurrentCol <= nTo)
        ReleaseCurrentCell(TRUE);
    if (!(m_pParam && m_pParam->m_bLockRedraw)) {
        if (!m_pOptimizedUpdateImp || !m_pOptimizedUpdateImp->OnColWidthsChanged(this, nFrom, nTo, anOld, flags))
            RedrawCells(0, nFrom, RowCount(), ColCount(), flags);
    }
    if (m_pUpdateHintImp && bCreateHint && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintColWidths, anOld, nullptr, nFrom, nTo, flags);
}

BOOL CGXGridCore::ChangeDefaultRowHeight(int nHeight, UINT flags, int ctCmd)
{
    const int nOld = DefaultRowHeight();
    if (!SetDefaultRowHeight(nHeight))
        return FALSE;
    ResetSizeCaches();
    OnRowHeightsChanged(0, RowCount(), nullptr, flags, TRUE);
    if (m_pUndoImp && ctCmd != gxRollback && m_pParam->IsEnableUndo())
        AddCommand(m_pUndoImp->CreateSetDefaultRowHeightCmd(nOld), ctCmd);
    return TRUE;
}

BOOL CGXGridCore::ChangeDefaultColWidth(int nWidth, UINT flags, int ctCmd)
{
    const int nOld = DefaultColWidth();
    if (!SetDefaultColWidth(nWidth))
        return FALSE;
    ResetSizeCaches();
    OnColWidthsChanged(0, ColCount(), nullptr, flags, TRUE);
    if (m_pUndoImp && ctCmd != gxRollback && m_pParam->IsEnableUndo())
        AddCommand(m_pUndoImp->CreateSetDefaultColWidthCmd(nOld), ctCmd);
    return TRUE;
}

// ---- View indexes and positions ----

ROWCOL CGXGridCore::RowToViewIndex(ROWCOL nRow)
{
    const ROWCOL nFrozen = FrozenRows();
    if (nRow <= nFrozen)
        return nRow;
    const ROWCOL nTop = m_bPrinting ? m_nPrintTopRow : m_nTopRow;
    return nRow < nTop ? 0 : nFrozen + 1 + (nRow - nTop);
}

ROWCOL CGXGridCore::ColToViewIndex(ROWCOL nCol)
{
    const ROWCOL nFrozen = FrozenCols();
    if (nCol <= nFrozen)
        return nCol;
    const ROWCOL nLeft = m_bPrinting ? m_nPrintLeftCol : m_nLeftCol;
    return nCol < nLeft ? 0 : nFrozen + 1 + (nCol - nLeft);
}

ROWCOL CGXGridCore::ViewIndexToRow(ROWCOL nIndex)
{
    const ROWCOL nFrozen = FrozenRows();
    if (nIndex <= nFrozen)
        return nIndex;
    assert(m_bPrinting || m_nTopRow > nFrozen);  // the top row lies below the frozen rows
    return (m_bPrinting ? m_nPrintTopRow : m_nTopRow) + (nIndex - nFrozen - 1);
}

ROWCOL CGXGridCore::ViewIndexToCol(ROWCOL nIndex)
{
    const ROWCOL nFrozen = FrozenCols();
    if (nIndex <= nFrozen)
        return nIndex;
    assert(m_bPrinting || m_nLeftCol > nFrozen);
    return (m_bPrinting ? m_nPrintLeftCol : m_nLeftCol) + (nIndex - nFrozen - 1);
}

ROWCOL CGXGridCore::ViewRowAtY(int y, int* pTop)
{
    const CRect area = GetDrawingArea();
    const ROWCOL nCount = RowCount();
    int nTop = area.top;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL nRow = ViewIndexToRow(i);
        if (nRow > nCount || nTop > area.bottom)
            return GX_INVALID;
        const int h = RowHeight(nRow);
        if (y < nTop + h) {
            if (pTop)
                *pTop = nTop;
            return i;
        }
        nTop += h;
    }
}

ROWCOL CGXGridCore::ViewColAtX(int x, int* pLeft)
{
    const CRect area = GetDrawingArea();
    const ROWCOL nCount = ColCount();
    int nLeft = area.left;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL nCol = ViewIndexToCol(i);
        if (nCol > nCount || nLeft > area.right)
            return GX_INVALID;
        const int w = ColWidth(nCol);
        if (x < nLeft + w) {
            if (pLeft)
                *pLeft = nLeft;
            return i;
        }
        nLeft += w;
    }
}

int CGXGridCore::RowTopY(ROWCOL nRow)
{
    const ROWCOL nIndex = RowToViewIndex(nRow);
    const int nTop = GetDrawingArea().top;
    return nIndex == 0 ? nTop : nTop + ViewRowsHeightSum(0, nIndex - 1);
}

int CGXGridCore::ColLeftX(ROWCOL nCol)
{
    const ROWCOL nIndex = ColToViewIndex(nCol);
    const int nLeft = GetDrawingArea().left;
    return nIndex == 0 ? nLeft : nLeft + ViewColsWidthSum(0, nIndex - 1);
}

ROWCOL CGXGridCore::LastRowInRectEx(const CRect& rect, BOOL& bLastRowVisible)
{
    const ROWCOL nCount = RowCount();
    int y = GetDrawingArea().top;
    ROWCOL nLast = 0;
    bLastRowVisible = FALSE;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL nRow = ViewIndexToRow(i);
        if (nRow > nCount) {
            bLastRowVisible = TRUE;
            return nCount;
        }
        nLast = nRow;
        y += RowHeight(nRow);
        if (y >= rect.bottom)
            return nLast;
    }
}

ROWCOL CGXGridCore::LastColInRectEx(const CRect& rect, BOOL& bLastColVisible)
{
    const ROWCOL nCount = ColCount();
    int x = GetDrawingArea().left;
    ROWCOL nLast = 0;
    bLastColVisible = FALSE;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL nCol = ViewIndexToCol(i);
        if (nCol > nCount) {
            bLastColVisible = TRUE;
            return nCount;
        }
        nLast = nCol;
        x += ColWidth(nCol);
        if (x >= rect.right)
            return nLast;
    }
}

ROWCOL CGXGridCore::LastRowInRect(const CRect& rect)
{
    BOOL b = FALSE;
    return LastRowInRectEx(rect, b);
}

ROWCOL CGXGridCore::LastColInRect(const CRect& rect)
{
    BOOL b = FALSE;
    return LastColInRectEx(rect, b);
}

void CGXGridCore::LastCellInRect(const CRect& rect, ROWCOL& nRow, ROWCOL& nCol)
{
    nRow = LastRowInRect(rect);
    nCol = LastColInRect(rect);
}

ROWCOL CGXGridCore::LastVisibleRow()
{
    if (m_nCacheLastVisibleRow == GX_INVALID)
        m_nCacheLastVisibleRow = LastRowInRect(GetDrawingArea());
    return m_nCacheLastVisibleRow;
}

ROWCOL CGXGridCore::LastVisibleCol()
{
    if (m_nCacheLastVisibleCol == GX_INVALID)
        m_nCacheLastVisibleCol = LastColInRect(GetDrawingArea());
    return m_nCacheLastVisibleCol;
}

CRect CGXGridCore::RangeToRect(const CGXCellRange& rangeIn, BOOL bWide)
{
    CGXCellRange range = rangeIn;
    if (range.top > range.bottom)
        std::swap(range.top, range.bottom);
    if (range.left > range.right)
        std::swap(range.left, range.right);
    const ROWCOL nFrozenRows = FrozenRows(), nFrozenCols = FrozenCols();
    const ROWCOL nTop = m_bPrinting ? m_nPrintTopRow : m_nTopRow;
    const ROWCOL nLeft = m_bPrinting ? m_nPrintLeftCol : m_nLeftCol;
    if ((range.right > nFrozenCols && range.right < nLeft && range.left > nFrozenCols)
        || (range.bottom > nFrozenRows && range.bottom < nTop && range.top > nFrozenRows))
        return CRect();
    if (!m_bPrinting && ((range.top > LastVisibleRow() && range.top > nFrozenRows)
                         || (range.left > LastVisibleCol() && range.left > nFrozenCols)))
        return CRect();

    const CRect area = GetDrawingArea();
    const int nMaxY = area.top + (bWide ? 2 : 1) * area.Height();
    const int nMaxX = area.left + (bWide ? 2 : 1) * area.Width();
    CRect rect(area.left, area.top, area.left, area.top);
    // Rows: frozen ones first, then from the top row.
    int y = area.top;
    bool bTopSet = false;
    for (ROWCOL i = 0; y <= nMaxY; ++i) {
        const ROWCOL nRow = ViewIndexToRow(i);
        if (nRow > range.bottom || nRow > RowCount())
            break;
        const int h = RowHeight(nRow);
        if (nRow >= range.top && !bTopSet) {
            rect.top = y;
            bTopSet = true;
        }
        y += h;
        if (nRow >= range.top)
            rect.bottom = y;
        if (i == nFrozenRows && range.top > nFrozenRows && range.top < nTop && !bTopSet) {
            rect.top = y;
            bTopSet = true;
        }
    }
    int x = area.left;
    bool bLeftSet = false;
    for (ROWCOL i = 0; x <= nMaxX; ++i) {
        const ROWCOL nCol = ViewIndexToCol(i);
        if (nCol > range.right || nCol > ColCount())
            break;
        const int w = ColWidth(nCol);
        if (nCol >= range.left && !bLeftSet) {
            rect.left = x;
            bLeftSet = true;
        }
        x += w;
        if (nCol >= range.left)
            rect.right = x;
        if (i == nFrozenCols && range.left > nFrozenCols && range.left < nLeft && !bLeftSet) {
            rect.left = x;
            bLeftSet = true;
        }
    }
    if (!bTopSet || !bLeftSet)
        return CRect();
    return rect;
}

CRect CGXGridCore::CellToRect(ROWCOL nRow, ROWCOL nCol)
{
    CGXCellRange range(nRow, nCol);
    CGXCellRange covered;
    if (GetCoveredCellsRowCol(nRow, nCol, covered))
        range = covered;
    return RangeToRect(range);
}

CRect CGXGridCore::CoveredRangeToRect(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXCellRange range(nTop, nLeft, nBottom, nRight);
    CGXCellRange covered;
    if (GetCoveredCellsRowCol(nTop, nLeft, covered))
        range.UnionOf(range, covered);
    if (GetCoveredCellsRowCol(nBottom, nRight, covered))
        range.UnionOf(range, covered);
    return RangeToRect(range);
}

CRect CGXGridCore::SpannedRangeToRect(const CGXCellRange& rangeIn)
{
    CGXCellRange range = rangeIn;
    CGXCellRange span;
    for (auto spanOf : {&CGXGridCore::FloatSpanOfCell, &CGXGridCore::MergeSpanOfCell}) {
        if ((this->*spanOf)(range.top, range.left, span))
            range.UnionOf(range, span);
        if ((this->*spanOf)(range.bottom, range.right, span))
            range.UnionOf(range, span);
    }
    return CoveredRangeToRect(range.top, range.left, range.bottom, range.right);
}

CRect CGXGridCore::SpannedCellToRect(ROWCOL nRow, ROWCOL nCol) { return SpannedRangeToRect(CGXCellRange(nRow, nCol)); }

int CGXGridCore::AreaBelowRow(ROWCOL nRow)
{
    const CRect area = GetDrawingArea();
    const int y = nRow == 0 ? area.top + SumRowHeights(0, HeaderRows()) : RowTopY(nRow) + RowHeight(nRow);
    return std::max(0, area.bottom - y);
}

int CGXGridCore::AreaRightOfCol(ROWCOL nCol)
{
    const CRect area = GetDrawingArea();
    const int x = nCol == 0 ? area.left + SumColWidths(0, HeaderCols()) : ColLeftX(nCol) + ColWidth(nCol);
    return std::max(0, area.right - x);
}

// ---- Hit tests ----

int CGXGridCore::HitTest(CPoint pt, ROWCOL* pnRow, ROWCOL* pnCol, CRect* pRectHit)
{
    constexpr int kBorder = kHitMargin / 2;   // a border is hit this near
    constexpr int kNearEdge = kHitMargin / 4; // nearer than this, even a hidden neighbour counts
    pt.x = std::max<LONG>(pt.x, 0);
    pt.y = std::max<LONG>(pt.y, 0);
    const CRect area = GetDrawingArea();
    ROWCOL nRow = RowCount() + 1, nCol = ColCount() + 1;
    auto answer = [&](int nHit) {
        if (pnRow)
            *pnRow = nRow;
        if (pnCol)
            *pnCol = nCol;
        return nHit;
    };
    if (!area.PtInRect(pt))
        return answer(GX_NOHIT);

    int nTop = 0, nLeft = 0;
    const ROWCOL vRow = ViewRowAtY(pt.y, &nTop);
    const ROWCOL vCol = ViewColAtX(pt.x, &nLeft);
    const bool bRow = vRow != GX_INVALID, bCol = vCol != GX_INVALID;
    if (bRow)
        nRow = ViewIndexToRow(vRow);
    if (bCol)
        nCol = ViewIndexToCol(vCol);
    CRect rect;
    if (bRow && bCol) {
        rect.SetRect(nLeft, nTop, nLeft + ColWidth(nCol), nTop + RowHeight(nRow));
        if (pRectHit)
            *pRectHit = rect;
    }

    const WORD kResizeMask = GX_TRACK_INDIVIDUAL | GX_TRACK_EXTHITTEST;
    const ROWCOL nHeaderRows = HeaderRows(), nHeaderCols = HeaderCols();
    const BOOL bColBorders = m_pParam && m_pParam->TestColResizeFlags(kResizeMask)
        && ((bRow && nRow <= nHeaderRows) || m_pParam->TestColResizeFlags(GX_TRACK_ALL));
    const BOOL bRowBorders = m_pParam && m_pParam->TestRowResizeFlags(kResizeMask)
        && ((bCol && nCol <= nHeaderCols) || m_pParam->TestRowResizeFlags(GX_TRACK_ALL));

    if (bColBorders && bCol) {
        const int nRight = nLeft + ColWidth(nCol);
        const BOOL bHeaderLocked = m_pParam->TestColResizeFlags(GX_TRACK_NOTHEADER);
        if (nRight - pt.x <= kBorder && !(bHeaderLocked && nCol <= nHeaderCols))
            return answer(GX_VERTLINE);
        if (pt.x - nLeft <= kBorder && vCol > 0) {
            ROWCOL nPrev = ViewIndexToCol(vCol - 1);
            if (pt.x - nLeft <= kNearEdge || ColWidth(nPrev) > 0) {
                while (nPrev > 0 && ColWidth(nPrev) == 0)
                    --nPrev;
                if (!(bHeaderLocked && nPrev <= nHeaderCols)) {
                    nCol = nPrev;
                    return answer(GX_VERTLINE);
                }
            } else {
                nCol = nPrev;
                return answer(GX_VERTHIDDEN);
            }
        }
    }
    if (bRowBorders && bRow) {
        const int nBottom = nTop + RowHeight(nRow);
        const BOOL bHeaderLocked = m_pParam->TestRowResizeFlags(GX_TRACK_NOTHEADER);
        if (nBottom - pt.y <= kBorder && !(bHeaderLocked && nRow <= nHeaderRows))
            return answer(GX_HORZLINE);
        if (pt.y - nTop <= kBorder && vRow > 0) {
            ROWCOL nPrev = ViewIndexToRow(vRow - 1);
            if (pt.y - nTop <= kNearEdge || RowHeight(nPrev) > 0) {
                while (nPrev > 0 && RowHeight(nPrev) == 0)
                    --nPrev;
                if (!(bHeaderLocked && nPrev <= nHeaderRows)) {
                    nRow = nPrev;
                    return answer(GX_HORZLINE);
                }
            } else {
                nRow = nPrev;
                return answer(GX_HORZHIDDEN);
            }
        }
    }
    if (!bRow || !bCol)
        return answer(GX_NOHIT);
    if (const int nFrame = HitTestFrame(nRow, nCol, pt, rect))
        return answer(nFrame);
    return answer(nRow > nHeaderRows && nCol > nHeaderCols ? GX_CELLHIT : GX_HEADERHIT);
}

int CGXGridCore::HitTestFrame(ROWCOL nRow, ROWCOL nCol, CPoint pt, const CRect& rect)
{
    constexpr int kEdge = kHitMargin / 2;
    if (!m_pParam || (!m_bDragDropOption && !m_pParam->m_nFillFlags))
        return GX_NOHIT;
    const CGXRangeList& sel = m_pParam->m_SelRects;
    for (POSITION pos = sel.GetHeadPosition(); pos;)
        if (sel.GetNextRange(pos)->IsTable()) {
            const bool bCorner = nRow == 0 && nCol == 0
                && (pt.x - rect.left <= kEdge || pt.y - rect.top <= kEdge);
            return bCorner ? GX_SELEDGEHIT : GX_NOHIT;
        }

    CGXCellRange range;
    if (POSITION pos = sel.FindRangeContaining(nRow, nCol)) {
        range = *sel.GetRange(pos);
    } else if (sel.IsEmpty() && m_bHasCurrentCell) {
        range.SetCells(m_nCurrentRow, m_nCurrentCol, m_nCurrentRow, m_nCurrentCol);
        CGXCellRange covered;
        if (GetCoveredCellsRowCol(m_nCurrentRow, m_nCurrentCol, covered))
            range = covered;
        if (!range.IsCellInRange(nRow, nCol))
            return GX_NOHIT;
    } else {
        return GX_NOHIT;
    }
    const bool bRows = range.IsRows(), bCols = range.IsCols();
    const bool bOnFrame = (!bRows && pt.x - rect.left <= kEdge && range.left == nCol)
        || (!bRows && rect.right - pt.x <= kEdge && range.right == nCol)
        || (!bCols && pt.y - rect.top <= kEdge && range.top == nRow)
        || (!bCols && rect.bottom - pt.y <= kEdge && range.bottom == nRow);
    if (!bOnFrame)
        return GX_NOHIT;
    if (m_pParam->m_nFillFlags && rect.right - pt.x <= kEdge && rect.bottom - pt.y <= kEdge)
        return GX_FILLHANDLEHIT;
    return GX_SELEDGEHIT;
}

// ---- User resizing (the feature's) ----

BOOL CGXGridCore::OnStartTracking(ROWCOL nRow, ROWCOL nCol, int nMode, CPoint)
{
    return m_pUserResizeCellsImp ? m_pUserResizeCellsImp->StartResize(this, nRow, nCol, nMode) : FALSE;
}

BOOL CGXGridCore::OnMoveTracking(ROWCOL nRow, ROWCOL nCol, int, CPoint size)
{
    if (!m_pUserResizeCellsImp)
        return FALSE;
    m_pUserResizeCellsImp->MoveResize(this, nRow, nCol, size);
    return TRUE;
}

BOOL CGXGridCore::OnEndTracking(ROWCOL nRow, ROWCOL nCol, int, CPoint size)
{
    if (!m_pUserResizeCellsImp)
        return FALSE;
    m_pUserResizeCellsImp->EndResize(this, nRow, nCol, size);
    return TRUE;
}

void CGXGridCore::OnCancelTracking()
{
    if (m_pUserResizeCellsImp)
        m_pUserResizeCellsImp->CancelResize(this);
}

BOOL CGXGridCore::CanResizeRow(ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanResizeCol(ROWCOL) { return TRUE; }
BOOL CGXGridCore::AcceptRowHeight(ROWCOL, int) { return TRUE; }
BOOL CGXGridCore::AcceptColWidth(ROWCOL, int) { return TRUE; }

// ---- Zoom and read-only ----

int CGXGridCore::ZoomPercent()
{
    if (m_bPrinting || (m_pParam && (m_pParam->m_bPrinterLook || m_pParam->m_bLockZoom)))
        return 100;
    return m_nZoom;
}

BOOL CGXGridCore::StoreZoom(int nZoom, BOOL bCreateHint)
{
    m_nZoom = nZoom;
    if (CGXProperties* pProps = GetProperties())
        pProps->m_nZoomPrint = DWORD(nZoom);
    if (m_pUpdateHintImp && bCreateHint && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintZoom, nullptr, nullptr, DWORD(nZoom));
    return TRUE;
}

void CGXGridCore::SetZoom(int nZoom, UINT flags)
{
    if (nZoom <= 0)
        return;
    const int nOld = m_nZoom;
    StoreZoom(nZoom, TRUE);
    OnZoomChanged(nOld, flags);
}

void CGXGridCore::OnZoomChanged(int nOldZoom, UINT flags)
{
    FreeGdiCache();
    FreeFontCache();
    m_nVertFontUnit = m_nHorzFontUnit = 0;
    ResetSizeCaches();
    if (nOldZoom != m_nZoom && !(m_pParam && m_pParam->m_bLockRedraw))
        Redraw(flags, FALSE);
}

BOOL CGXGridCore::IsReadOnly() { return m_pParam && m_pParam->IsReadOnly(); }

BOOL CGXGridCore::StoreReadOnly(BOOL bReadOnly)
{
    if (m_pParam)
        m_pParam->SetReadOnly(bReadOnly);
    return TRUE;
}

void CGXGridCore::SetReadOnly(BOOL bReadOnly)
{
    const BOOL bOld = IsReadOnly();
    StoreReadOnly(bReadOnly);
    OnReadOnlyChanged(bOld, TRUE);
}

void CGXGridCore::OnReadOnlyChanged(BOOL bOldReadOnly, BOOL bCreateHint)
{
    FreeGdiCache();
    CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr;
    if (pControl && pControl->IsActive()) {
        pControl->ReleaseCell();
        pControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
    }
    if (m_pUpdateHintImp && bCreateHint && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintReadOnly, nullptr, nullptr, DWORD(bOldReadOnly));
}

// ---- Device mapping ----

void CGXGridCore::PrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC)
        return;
    static const CSize displayPerInch = [] {
        CDC ic;
        ic.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
        return CSize(ic.GetDeviceCaps(LOGPIXELSX), ic.GetDeviceCaps(LOGPIXELSY));
    }();
    if (pInfo) {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(displayPerInch.cx, displayPerInch.cy);
        pDC->SetViewportExt(pDC->GetDeviceCaps(LOGPIXELSX), pDC->GetDeviceCaps(LOGPIXELSY));
    }
    OnGridPrepareDC(pDC, pInfo);
}
