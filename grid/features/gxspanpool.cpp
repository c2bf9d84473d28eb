#include "grid/features/gxspanpool.h"

#include <algorithm>
#include <iterator>
#include <new>

IMPLEMENT_SERIAL(CGXSpanCellPool, CObject, 1)
IMPLEMENT_SERIAL(CGXDelayedRange, CObject, 1)
IMPLEMENT_SERIAL(CGXDelayedRangePool, CObject, 1)

namespace {

constexpr ROWCOL kNegative = 0x7FFFFFFF;
constexpr DWORD kEndOfSlots = 0xFFFFFFFF;
// Spans larger than this many cells are not stored.
constexpr unsigned long long kMaxSpanCells = 1ull << 24;
// Ranges a delayed-range pool's record may claim.
constexpr DWORD_PTR kMaxQueuedRanges = 1u << 16;
// A claimed count is read element by element, so a short record cannot reserve more than this.
constexpr size_t kReadChunk = 4096;

DWORD ReadDWord(CArchive& ar)
{
    DWORD d = 0;
    ar >> d;
    return d;
}

void WriteNumbers(CArchive& ar, const std::vector<DWORD>& v)
{
    ar.WriteCount(DWORD_PTR(v.size()));
    for (DWORD d : v)
        ar << d;
}

// A dword array of at most GX_MAX_SPAN_INDEX entries, grown as its entries arrive.
void ReadNumbers(CArchive& ar, std::vector<DWORD>& v)
{
    const DWORD_PTR n = ar.ReadCount();
    if (n > GX_MAX_SPAN_INDEX)
        AfxThrowArchiveException(CArchiveException::badIndex);
    v.clear();
    v.reserve(std::min<size_t>(size_t(n), kReadChunk));
    for (DWORD_PTR i = 0; i < n; ++i)
        v.push_back(ReadDWord(ar));
}

void WriteTable(CArchive& ar, const CGXSpanCellPool::Table& t)
{
    ar << WORD(1) << DWORD(t.size());
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i]) {
            ar << DWORD(i);
            WriteNumbers(ar, *t[i]);
        }
    ar << kEndOfSlots;
}

// The slots hold what the record holds: a claimed number of slots allocates nothing by itself.
void ReadTable(CArchive& ar, CGXSpanCellPool::Table& t)
{
    WORD w = 0;
    ar >> w;
    if (w != 1)
        AfxThrowArchiveException(CArchiveException::badSchema);
    const DWORD nSlots = ReadDWord(ar);
    t.clear();
    for (;;) {
        const DWORD i = ReadDWord(ar);
        if (i == kEndOfSlots)
            break;
        if (i >= nSlots || i >= GX_MAX_SPAN_INDEX || (i < t.size() && t[i]))
            AfxThrowArchiveException(CArchiveException::badIndex);
        auto v = std::make_unique<std::vector<DWORD>>();
        ReadNumbers(ar, *v);
        if (t.size() <= i)
            t.resize(size_t(i) + 1);
        t[i] = std::move(v);
    }
}

bool Covers(const CGXCellRange& a, const CGXCellRange& b)
{
    return a.top <= b.top && a.left <= b.left && a.bottom >= b.bottom && a.right >= b.right;
}

}  // namespace

// ---- Span-cell pool ----

void CGXSpanCellPool::CopyFrom(const CGXSpanCellPool& other)
{
    auto copy = [](const Table& from, Table& to) {
        to.clear();
        to.resize(from.size());
        for (size_t i = 0; i < from.size(); ++i)
            if (from[i])
                to[i] = std::make_unique<std::vector<DWORD>>(*from[i]);
    };
    copy(other.m_rows, m_rows);
    copy(other.m_cols, m_cols);
}

DWORD CGXSpanCellPool::At(const Table& t, ROWCOL nLine, ROWCOL n)
{
    if (nLine >= t.size() || !t[nLine] || n >= t[nLine]->size())
        return kNone;
    return (*t[nLine])[n];
}

void CGXSpanCellPool::Fill(Table& t, ROWCOL nLine, ROWCOL nFrom, ROWCOL nTo, DWORD nStart)
{
    if (t.size() <= nLine)
        t.resize(size_t(nLine) + 1);
    if (!t[nLine])
        t[nLine] = std::make_unique<std::vector<DWORD>>();
    auto& v = *t[nLine];
    if (v.size() <= nTo)
        v.resize(size_t(nTo) + 1, kNone);
    std::fill(v.begin() + nFrom, v.begin() + nTo + 1, nStart);
}

void CGXSpanCellPool::ClearFrom(Table& t, ROWCOL nLine, ROWCOL nFrom, DWORD nStart)
{
    if (nLine >= t.size() || !t[nLine] || nStart == kNone)
        return;
    auto& v = *t[nLine];
    for (size_t i = nFrom; i < v.size() && v[i] == nStart; ++i)
        v[i] = kNone;
}

BOOL CGXSpanCellPool::FindSpan(ROWCOL nRow, ROWCOL nCol, CGXCellRange& span) const
{
    if (nRow > kNegative || nCol > kNegative)
        return FALSE;
    const DWORD nLeft = At(m_rows, nRow, nCol), nTop = At(m_cols, nCol, nRow);
    if (nLeft == kNone || nTop == kNone)
        return FALSE;
    ROWCOL nRight = nCol, nBottom = nRow;
    while (At(m_rows, nRow, nRight + 1) == nLeft)
        ++nRight;
    while (At(m_cols, nCol, nBottom + 1) == nTop)
        ++nBottom;
    span = CGXCellRange(nTop, nLeft, nBottom, nRight);
    return TRUE;
}

BOOL CGXSpanCellPool::SetSpan(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    if (nTop > nBottom || nLeft > nRight || nBottom >= GX_MAX_SPAN_INDEX || nRight >= GX_MAX_SPAN_INDEX
        || (unsigned long long)(nBottom - nTop + 1) * (nRight - nLeft + 1) > kMaxSpanCells)
        return FALSE;
    try {
        for (ROWCOL r = nTop; r <= nBottom; ++r) {
            const DWORD nOld = At(m_rows, r, nRight);
            Fill(m_rows, r, nLeft, nRight, nLeft);
            ClearFrom(m_rows, r, nRight + 1, nOld);
            ClearFrom(m_rows, r, nRight + 1, nLeft);
        }
        for (ROWCOL c = nLeft; c <= nRight; ++c) {
            const DWORD nOld = At(m_cols, c, nBottom);
            Fill(m_cols, c, nTop, nBottom, nTop);
            ClearFrom(m_cols, c, nBottom + 1, nOld);
            ClearFrom(m_cols, c, nBottom + 1, nTop);
        }
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

void CGXSpanCellPool::RemoveSpan(ROWCOL nRow, ROWCOL nCol)
{
    CGXCellRange span;
    if (!FindSpan(nRow, nCol, span))
        return;
    for (ROWCOL r = span.top; r <= span.bottom; ++r)
        ClearFrom(m_rows, r, span.left, span.left);
    for (ROWCOL c = span.left; c <= span.right; ++c)
        ClearFrom(m_cols, c, span.top, span.top);
}

void CGXSpanCellPool::RemoveAll()
{
    m_rows.clear();
    m_cols.clear();
}

void CGXSpanCellPool::Insert(Table& lines, Table& across, ROWCOL nAt, ROWCOL nCount)
{
    if (nAt < lines.size()) {
        CGXSpanCellPool::Table empty(nCount);
        lines.insert(lines.begin() + nAt, std::make_move_iterator(empty.begin()), std::make_move_iterator(empty.end()));
    }
    for (auto& p : across) {
        if (!p)
            continue;
        if (nAt < p->size())
            p->insert(p->begin() + nAt, size_t(nCount), kNone);
        for (DWORD& v : *p)
            if (v != kNone && v >= nAt)
                v += nCount;
    }
}

void CGXSpanCellPool::Remove(Table& lines, Table& across, ROWCOL nFirst, ROWCOL nLast)
{
    if (nFirst > nLast)
        return;
    const ROWCOL n = nLast - nFirst + 1;
    if (nFirst < lines.size())
        lines.erase(lines.begin() + nFirst, lines.begin() + std::min<size_t>(lines.size(), size_t(nLast) + 1));
    for (auto& p : across) {
        if (!p)
            continue;
        if (nFirst < p->size())
            p->erase(p->begin() + nFirst, p->begin() + std::min<size_t>(p->size(), size_t(nLast) + 1));
        for (DWORD& v : *p)
            if (v != kNone && v > nLast)
                v -= n;
            else if (v != kNone && v >= nFirst)
                v = nFirst;  // the span now starts where the removed block was
    }
}

void CGXSpanCellPool::Move(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (nFrom > nTo || nFrom == nDest)
        return;
    // Emptied of spans, the rows between the block and its destination hold nothing to reorder.
    const ROWCOL nFirst = std::min(nFrom, nDest);
    const ROWCOL nLast = std::max(nTo, nDest + (nTo - nFrom));
    Table& lines = bRows ? m_rows : m_cols;
    for (ROWCOL n = nFirst; n <= nLast && n < lines.size(); ++n) {
        if (!lines[n])
            continue;
        for (ROWCOL m = 0; m < lines[n]->size(); ++m)
            if ((*lines[n])[m] != kNone)
                bRows ? RemoveSpan(n, m) : RemoveSpan(m, n);
    }
}

void CGXSpanCellPool::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        WriteTable(ar, m_cols);
        WriteTable(ar, m_rows);
    } else {
        ReadTable(ar, m_cols);
        ReadTable(ar, m_rows);
    }
}

// ---- Delayed ranges ----

void CGXDelayedRange::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ArchiveWriteCellRange(ar, m_range);
        WriteNumbers(ar, m_lasts);
        WriteNumbers(ar, m_firsts);
    } else {
        ArchiveReadCellRange(ar, m_range);
        ReadNumbers(ar, m_lasts);
        ReadNumbers(ar, m_firsts);
        // Records that do not pair up are dropped: their rows are evaluated again.
        if (m_firsts.size() != m_lasts.size() || m_firsts.size() > size_t(m_range.bottom - m_range.top) + 1) {
            m_firsts.clear();
            m_lasts.clear();
        }
        m_nRowsDone = 0;
        for (size_t i = 0; i < m_firsts.size(); ++i)
            if (m_firsts[i] <= m_range.left && m_lasts[i] != kNone && m_lasts[i] >= m_range.right)
                ++m_nRowsDone;
        m_bDone = FALSE;
    }
}

void CGXDelayedRange::Reset(const CGXCellRange& range)
{
    m_range = range;
    m_range.m_bValid = 1;
    m_firsts.clear();
    m_lasts.clear();
    m_nRowsDone = 0;
    m_bDone = FALSE;
}

void CGXDelayedRangePool::AddRange(const CGXCellRange& range)
{
    CGXDelayedRange* pReuse = nullptr;
    for (auto& e : m_ranges) {
        if (e->m_bDone) {
            pReuse = pReuse ? pReuse : e.get();
            continue;
        }
        CGXCellRange& r = e->m_range;
        if (Covers(range, r)) {
            e->Reset(range);
            return;
        }
        // A pending range that merely holds the new one may have evaluated it already: only a
        // widening (whose new rows or columns are pending) stands in for it.
        BOOL bWidened = FALSE;
        if (range.top == r.bottom + 1 && range.bottom > r.bottom) {
            r.bottom = range.bottom;
            bWidened = TRUE;
        } else if (range.left == r.right + 1 && range.right > r.right) {
            r.right = range.right;
            e->m_nRowsDone = 0;  // its rows now reach further right
            bWidened = TRUE;
        }
        if (bWidened && Covers(r, range))
            return;
    }
    if (!pReuse) {
        m_ranges.push_back(std::make_unique<CGXDelayedRange>());
        pReuse = m_ranges.back().get();
    }
    pReuse->Reset(range);
}

BOOL CGXDelayedRangePool::TakePending(const CGXCellRange& range, std::vector<DWORD>& firsts, std::vector<DWORD>& lasts)
{
    constexpr DWORD kNo = CGXDelayedRange::kNone;
    firsts.clear();
    lasts.clear();
    if (!range.IsValid() || range.top > range.bottom || range.left > range.right)
        return FALSE;
    BOOL bAny = FALSE;
    for (auto& e : m_ranges) {
        CGXCellRange part;
        if (e->m_bDone || !part.IntersectOf(e->m_range, range))
            continue;
        const CGXCellRange& r = e->m_range;
        const size_t nNeeded = size_t(part.bottom - r.top) + 1;
        if (e->m_firsts.size() < nNeeded) {
            e->m_firsts.resize(nNeeded, kNo);
            e->m_lasts.resize(nNeeded, kNo);
        }
        for (ROWCOL row = part.top;; ++row) {
            DWORD& f = e->m_firsts[row - r.top];
            DWORD& l = e->m_lasts[row - r.top];
            const bool bHad = f != kNo && l != kNo && f <= l;
            const bool bWasFull = bHad && f <= r.left && l >= r.right;
            DWORD from = part.left, to = part.right;
            if (bHad) {
                if (f <= from && l >= to)
                    from = kNo;  // all evaluated
                else if (from >= f && from <= l)
                    from = l + 1;
                else if (to >= f && to <= l)
                    to = f - 1;
            }
            if (from != kNo) {
                // What is evaluated stays one interval: joined when they touch, else the newer.
                if (bHad && from <= DWORD(l) + 1 && to + 1 >= f) {
                    f = std::min<DWORD>(f, from);
                    l = std::max<DWORD>(l, to);
                } else {
                    f = from;
                    l = to;
                }
                if (!bWasFull && f <= r.left && l >= r.right)
                    ++e->m_nRowsDone;
                const size_t i = size_t(row - range.top);
                if (firsts.size() <= i) {
                    firsts.resize(i + 1, kNo);
                    lasts.resize(i + 1, kNo);
                }
                firsts[i] = firsts[i] == kNo ? from : std::min<DWORD>(firsts[i], from);
                lasts[i] = lasts[i] == kNo ? to : std::max<DWORD>(lasts[i], to);
                bAny = TRUE;
            }
            if (row == part.bottom)
                break;
        }
        if (ROWCOL(e->m_nRowsDone) == r.bottom - r.top + 1) {
            e->m_bDone = TRUE;
            e->m_firsts.clear();
            e->m_lasts.clear();
        }
    }
    if (bAny && firsts.size() < size_t(range.bottom - range.top) + 1) {
        firsts.resize(size_t(range.bottom - range.top) + 1, kNo);
        lasts.resize(firsts.size(), kNo);
    }
    return bAny;
}

void CGXDelayedRangePool::LimitRows(ROWCOL nLast)
{
    for (auto& e : m_ranges) {
        CGXCellRange r = e->m_range;
        if (r.top > nLast) {
            r.top = r.bottom = nLast;
            e->Reset(r);
        } else if (r.bottom > nLast) {
            e->m_range.bottom = nLast;
            if (e->m_firsts.size() > size_t(nLast - r.top) + 1) {
                e->m_firsts.resize(size_t(nLast - r.top) + 1);
                e->m_lasts.resize(e->m_firsts.size());
            }
            e->m_nRowsDone = 0;
        }
    }
}

void CGXDelayedRangePool::LimitCols(ROWCOL nLast)
{
    for (auto& e : m_ranges) {
        CGXCellRange r = e->m_range;
        if (r.left > nLast) {
            r.left = r.right = nLast;
            e->Reset(r);
        } else if (r.right > nLast) {
            e->m_range.right = nLast;
            e->m_nRowsDone = 0;
        }
    }
}

void CGXDelayedRangePool::CopyFrom(const CGXDelayedRangePool& other)
{
    m_ranges.clear();
    for (const auto& e : other.m_ranges) {
        auto p = std::make_unique<CGXDelayedRange>();
        p->m_range = e->m_range;
        p->m_firsts = e->m_firsts;
        p->m_lasts = e->m_lasts;
        p->m_bDone = e->m_bDone;
        p->m_nRowsDone = e->m_nRowsDone;
        m_ranges.push_back(std::move(p));
    }
}

void CGXDelayedRangePool::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(m_ranges.size()));
        for (const auto& e : m_ranges)
            ar.WriteObject(e.get());
        return;
    }
    const DWORD_PTR n = ar.ReadCount();
    if (n > kMaxQueuedRanges)
        AfxThrowArchiveException(CArchiveException::badIndex);
    m_ranges.clear();
    for (DWORD_PTR i = 0; i < n; ++i)
        if (CGXDelayedRange* p = GXAdoptObject(CGXDelayedRange, ar))
            m_ranges.emplace_back(p);
}

// ---- Process-wide features ----

CObject* CGXSpanCellPoolImp::CreateSpanCellPool(const CObject* pCopyOf)
{
    auto* p = new CGXSpanCellPool;
    if (const auto* pOther = dynamic_cast<const CGXSpanCellPool*>(pCopyOf))
        p->CopyFrom(*pOther);
    return p;
}

void CGXSpanCellPoolImp::EmptyPool(CObject* pPool)
{
    if (auto* p = dynamic_cast<CGXSpanCellPool*>(pPool))
        p->RemoveAll();
}

CObject* CGXDelayedRangePoolImp::CreateDelayedRangePool(const CObject* pCopyOf)
{
    auto* p = new CGXDelayedRangePool;
    if (const auto* pOther = dynamic_cast<const CGXDelayedRangePool*>(pCopyOf))
        p->CopyFrom(*pOther);
    return p;
}

void CGXDelayedRangePoolImp::QueueWholeTable(CObject* pPool)
{
    if (auto* p = dynamic_cast<CGXDelayedRangePool*>(pPool)) {
        p->RemoveAll();
        p->AddRange(CGXCellRange(0, 0, 0xFFFFFFFE, 0xFFFFFFFE));
    }
}

void GXInstallSpanCellPoolImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (d->m_pSpanCellPoolImp)
        return;
    auto* p = new CGXSpanCellPoolImp;
    d->m_pSpanCellPoolImp = p;
    GXGetLibraryState().AddImpToDeleteList(p);
}

void GXInstallDelayedRangePoolImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (d->m_pDelayedRangePoolImp)
        return;
    auto* p = new CGXDelayedRangePoolImp;
    d->m_pDelayedRangePoolImp = p;
    GXGetLibraryState().AddImpToDeleteList(p);
}
