#include "grid/core/gxrange.h"

#include <algorithm>


void CGXCellRange::InitEmpty()
{
    m_nKind = gxCells;
    top = left = bottom = right = 0;
    m_bValid = 0;
}

void CGXCellRange::CopyOrClear(const CGXCellRange* pRange)
{
    if (pRange)
        *this = *pRange;
    else
        InitEmpty();
}

CGXCellRange& CGXCellRange::SetCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    m_nKind = gxCells;
    top = std::min(nTop, nBottom);
    bottom = std::max(nTop, nBottom);
    left = std::min(nLeft, nRight);
    right = std::max(nLeft, nRight);
    m_bValid = 1;
    return *this;
}

CGXCellRange& CGXCellRange::SetRows(ROWCOL nRow1, ROWCOL nRow2)
{
    m_nKind = gxRows;
    top = std::min(nRow1, nRow2);
    bottom = std::max(nRow1, nRow2);
    left = right = 0;
    m_bValid = 1;
    return *this;
}

CGXCellRange& CGXCellRange::SetCols(ROWCOL nCol1, ROWCOL nCol2)
{
    m_nKind = gxCols;
    left = std::min(nCol1, nCol2);
    right = std::max(nCol1, nCol2);
    top = bottom = 0;
    m_bValid = 1;
    return *this;
}

CGXCellRange& CGXCellRange::SetTable()
{
    m_nKind = gxTable;
    m_bValid = 1;
    return *this;
}

CGXCellRange& CGXCellRange::ExpandToCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    if (m_nKind == gxRows || m_nKind == gxTable) {
        left = nLeft;
        right = nRight;
    }
    if (m_nKind == gxCols || m_nKind == gxTable) {
        top = nTop;
        bottom = nBottom;
    }
    m_nKind = gxCells;
    return *this;
}

BOOL CGXCellRange::IsCellInRange(ROWCOL nRow, ROWCOL nCol) const
{
    if (!m_bValid)
        return FALSE;
    if (m_nKind == gxTable)
        return TRUE;
    if (m_nKind != gxCols && (nRow < top || nRow > bottom))
        return FALSE;
    if (m_nKind != gxRows && (nCol < left || nCol > right))
        return FALSE;
    return TRUE;
}

BOOL CGXCellRange::IntersectOf(const CGXCellRange& a, const CGXCellRange& b)
{
    // Copy first: either argument may be this range.
    const CGXCellRange ra = a, rb = b;
    if (ra.IsTable() || rb.IsTable()) {
        *this = ra.IsTable() ? rb : ra;
        m_bValid = 1;
        return TRUE;
    }
    if ((ra.IsRows() && rb.IsCols()) || (ra.IsCols() && rb.IsRows())) {
        const CGXCellRange& rows = ra.IsRows() ? ra : rb;
        const CGXCellRange& cols = ra.IsRows() ? rb : ra;
        m_nKind = gxCells;
        top = rows.top;
        bottom = rows.bottom;
        left = cols.left;
        right = cols.right;
        m_bValid = 1;
        return TRUE;
    }
    if (ra.IsCols() || rb.IsCols()) {
        const CGXCellRange& other = ra.IsCols() ? rb : ra; // may itself be a columns range
        m_nKind = other.m_nKind;
        top = other.IsCols() ? 0 : other.top;
        bottom = other.IsCols() ? 0 : other.bottom;
        left = std::max(ra.left, rb.left);
        right = std::min(ra.right, rb.right);
        m_bValid = right >= left;
        return m_bValid;
    }
    if (ra.IsRows() || rb.IsRows()) {
        const CGXCellRange& other = ra.IsRows() ? rb : ra;
        m_nKind = other.m_nKind;
        left = other.IsRows() ? 0 : other.left;
        right = other.IsRows() ? 0 : other.right;
        top = std::max(ra.top, rb.top);
        bottom = std::min(ra.bottom, rb.bottom);
        m_bValid = bottom >= top;
        return m_bValid;
    }
    m_nKind = gxCells;
    top = std::max(ra.top, rb.top);
    left = std::max(ra.left, rb.left);
    bottom = std::min(ra.bottom, rb.bottom);
    right = std::min(ra.right, rb.right);
    m_bValid = right >= left && bottom >= top;
    return m_bValid;
}

BOOL CGXCellRange::UnionOf(const CGXCellRange& a, const CGXCellRange& b)
{
    const CGXCellRange ra = a, rb = b;
    if (ra.IsTable() || rb.IsTable() || (ra.IsRows() && rb.IsCols()) || (ra.IsCols() && rb.IsRows()))
        SetTable();
    else if (ra.IsCols() || rb.IsCols())
        SetCols(std::min(ra.left, rb.left), std::max(ra.right, rb.right));
    else if (ra.IsRows() || rb.IsRows())
        SetRows(std::min(ra.top, rb.top), std::max(ra.bottom, rb.bottom));
    else
        SetCells(std::min(ra.top, rb.top), std::min(ra.left, rb.left), std::max(ra.bottom, rb.bottom),
                 std::max(ra.right, rb.right));
    return m_bValid;
}
