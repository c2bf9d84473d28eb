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

#include "platform/base/CArchive.h"

void ArchiveWriteCellRange(CArchive& ar, const CGXCellRange& r)
{
    ar << DWORD(r.top) << DWORD(r.left) << DWORD(r.bottom) << DWORD(r.right);
    ar << BYTE(r.m_nKind) << BYTE(r.m_bValid);
}

void ArchiveReadCellRange(CArchive& ar, CGXCellRange& r)
{
    DWORD t, l, b, rr;
    BYTE kind, valid;
    ar >> t >> l >> b >> rr >> kind >> valid;
    r.top = t, r.left = l, r.bottom = b, r.right = rr;
    r.m_nKind = kind & 3; // only four kinds exist
    r.m_bValid = valid;
}

IMPLEMENT_SERIAL(CGXRangeList, CPtrList, 0)

void CGXRangeList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        RemoveInvalid();
        ar << WORD(1) << DWORD(GetCount());
        for (POSITION pos = GetHeadPosition(); pos;)
            ArchiveWriteCellRange(ar, *GetNextRange(pos));
    } else {
        WORD schema;
        ar >> schema;
        if (schema != 1)
            AfxThrowArchiveException(CArchiveException::badSchema);
        DWORD n;
        ar >> n;
        ar.CheckCount(n, 18);
        for (DWORD i = 0; i < n; i++) {
            CGXCellRange r;
            ArchiveReadCellRange(ar, r);
            AddRange(r);
        }
    }
}

void CGXRangeList::Assign(const CGXRangeList& other)
{
    if (&other == this)
        return;
    DeleteAll();
    for (POSITION pos = other.GetHeadPosition(); pos;) {
        const CGXCellRange* r = other.GetNextRange(pos);
        if (r->IsValid())
            AddHead(new CGXCellRange(*r));
    }
}

void CGXRangeList::DeleteAll()
{
    for (POSITION pos = GetHeadPosition(); pos;)
        delete GetNextRange(pos);
    RemoveAll();
}

void CGXRangeList::DeleteAt(POSITION pos)
{
    delete GetRange(pos);
    RemoveAt(pos);
}

void CGXRangeList::RemoveInvalid()
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION cur = pos;
        if (!GetNextRange(pos)->IsValid())
            DeleteAt(cur);
    }
}

BOOL CGXRangeList::IsCellInList(ROWCOL nRow, ROWCOL nCol, POSITION posExclude) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION cur = pos;
        const CGXCellRange* r = GetNextRange(pos);
        if (cur != posExclude && r->IsCellInRange(nRow, nCol))
            return TRUE;
    }
    return FALSE;
}

POSITION CGXRangeList::FindRangeContaining(ROWCOL nRow, ROWCOL nCol) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION cur = pos;
        if (GetNextRange(pos)->IsCellInRange(nRow, nCol))
            return cur;
    }
    return nullptr;
}

BOOL CGXRangeList::IntersectsRow(ROWCOL nRow) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CGXCellRange* r = GetNextRange(pos);
        if (r->IsValid() && (r->IsCols() || r->IsTable() || (nRow >= r->top && nRow <= r->bottom)))
            return TRUE;
    }
    return FALSE;
}

BOOL CGXRangeList::IntersectsCol(ROWCOL nCol) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CGXCellRange* r = GetNextRange(pos);
        if (r->IsValid() && (r->IsRows() || r->IsTable() || (nCol >= r->left && nCol <= r->right)))
            return TRUE;
    }
    return FALSE;
}

BOOL CGXRangeList::GetIntervals(bool bRows, ROWCOL nLast, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole) const
{
    firsts.RemoveAll();
    lasts.RemoveAll();
    BOOL any = FALSE;
    const DWORD wholeKind = bRows ? gxRows : gxCols;
    const DWORD openKind = bRows ? gxCols : gxRows; // ranges that span every row (column)
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CGXCellRange* r = GetNextRange(pos);
        if (!r->IsValid() || (bOnlyWhole && r->m_nKind != wholeKind && !r->IsTable()))
            continue;
        DWORD first = bRows ? r->top : r->left;
        DWORD last = bRows ? r->bottom : r->right;
        if (r->m_nKind == openKind || r->IsTable()) {
            if (r->IsTable())
                first = bRows ? r->top : r->left;
            last = nLast;
        }
        any = TRUE;
        INT_PTR i = 0;
        const INT_PTR n = firsts.GetSize();
        for (; i < n; i++) {
            const DWORD f = firsts[i], l = lasts[i];
            if ((first >= f && first <= l) || (last >= f && last <= l) || (first <= f && last >= l)) {
                firsts[i] = std::min(f, first);
                lasts[i] = std::max(l, last);
                break;
            }
            if (f > first) {
                firsts.InsertAt(i, first);
                lasts.InsertAt(i, last);
                break;
            }
        }
        if (i == n) {
            firsts.Add(first);
            lasts.Add(last);
        }
        // Widening can make an interval reach or overlap the ones after it.
        for (INT_PTR j = 0; j + 1 < firsts.GetSize();) {
            if (lasts[j] == 0xFFFFFFFF || lasts[j] + 1 >= firsts[j + 1]) {
                lasts[j] = std::max(lasts[j], lasts[j + 1]);
                firsts.RemoveAt(j + 1);
                lasts.RemoveAt(j + 1);
            } else {
                j++;
            }
        }
    }
    return any;
}

BOOL CGXRangeList::GetRowIntervals(ROWCOL nLastRow, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole) const
{
    return GetIntervals(true, nLastRow, firsts, lasts, bOnlyWhole);
}

BOOL CGXRangeList::GetColIntervals(ROWCOL nLastCol, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole) const
{
    return GetIntervals(false, nLastCol, firsts, lasts, bOnlyWhole);
}

// Row operations change only ranges that have row bounds (cells and rows); columns ranges
// and the table keep theirs. Column operations likewise.
namespace {
template <typename F>
void ForEachBounded(CGXRangeList& list, bool bRows, F f)
{
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CGXCellRange* r = list.GetNextRange(pos);
        if (r->IsTable() || r->m_nKind == (bRows ? DWORD(gxCols) : DWORD(gxRows)))
            continue;
        if (bRows)
            f(*r, r->top, r->bottom);
        else
            f(*r, r->left, r->right);
    }
}
} // namespace

void CGXRangeList::ShiftRows(ROWCOL nFrom, ROWCOL nCount)
{
    ForEachBounded(*this, true, [&](CGXCellRange&, ROWCOL& a, ROWCOL& b) {
        if (a >= nFrom) a += nCount;
        if (b >= nFrom) b += nCount;
    });
}

void CGXRangeList::ShiftCols(ROWCOL nFrom, ROWCOL nCount)
{
    ForEachBounded(*this, false, [&](CGXCellRange&, ROWCOL& a, ROWCOL& b) {
        if (a >= nFrom) a += nCount;
        if (b >= nFrom) b += nCount;
    });
}

static void AdjustRemoved(CGXRangeList& list, bool bRows, ROWCOL first, ROWCOL last, ROWCOL nMax)
{
    ForEachBounded(list, bRows, [&](CGXCellRange& r, ROWCOL& a, ROWCOL& b) {
        if (!r.IsValid())
            return;
        if (a >= first && b <= last) {
            r.m_bValid = 0;
            return;
        }
        if (a >= first)
            a = std::max<ROWCOL>(std::max(a, last) - last + first - 1, first);
        if (b >= first)
            b = std::max(b, last) - last + first - 1;
        r.m_bValid = b >= a;
        b = std::min(b, nMax);
    });
}

void CGXRangeList::AdjustForRemovedRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nMax) { AdjustRemoved(*this, true, nFirst, nLast, nMax); }
void CGXRangeList::AdjustForRemovedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nMax) { AdjustRemoved(*this, false, nFirst, nLast, nMax); }

static void AdjustMoved(CGXRangeList& list, bool bRows, ROWCOL first, ROWCOL last, ROWCOL dest, ROWCOL nMax)
{
    const ROWCOL n = last - first + 1;
    if (first < dest)
        dest += n;
    ForEachBounded(list, bRows, [&](CGXCellRange&, ROWCOL& a, ROWCOL& b) {
        if (a >= first && a <= last && last < dest) {
            b += dest - n - first;
            a = a - last + dest - 1;
        } else if (a >= first && a <= last && dest < first) {
            b += dest - first;
            a = a - first + dest;
        } else if (a >= first && a <= last) {
        } else if (a < first && a < dest) {
        } else if (a > last && a < dest) {
            a -= n;
            b -= n;
        } else if (a >= dest && a < first) {
            a += n;
            b += n;
        }
        b = std::min(b, nMax);
    });
}

void CGXRangeList::AdjustForMovedRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, ROWCOL nMax) { AdjustMoved(*this, true, nFirst, nLast, nDest, nMax); }
void CGXRangeList::AdjustForMovedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, ROWCOL nMax) { AdjustMoved(*this, false, nFirst, nLast, nDest, nMax); }

ROWCOL GXMovedIndex(ROWCOL i, ROWCOL first, ROWCOL last, ROWCOL dest)
{
    const ROWCOL n = last - first + 1;
    if (first < dest)
        dest += n;
    if (i >= first && i <= last && last < dest)
        return i - last + dest - 1;
    if (i >= first && i <= last && dest < first)
        return i - first + dest;
    if (i >= first && i <= last)
        return i;
    if (i > last && i < dest)
        return i - n;
    if (i >= dest && i < first)
        return i + n;
    return i;
}
