#include "grid/formula/gxrecalc.h"

#include <algorithm>
#include <cassert>

#include "grid/formula/gxeval.h"
#include "grid/formula/gxname.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxref.h"

namespace {

uint64_t PlaceKey(int row, int column) { return uint64_t(uint32_t(row)) << 16 | uint32_t(column); }
uint64_t TileKey(int rowTile, int colTile) { return uint64_t(uint32_t(rowTile)) << 20 | uint32_t(colTile); }

int64_t Places(const GXRange& r)
{
    return int64_t(r.Bottom() - r.Top() + 1) * int64_t(r.Right() - r.Left() + 1);
}

bool Contains(const GXRange& r, int row, int column)
{
    return row >= r.Top() && row <= r.Bottom() && column >= r.Left() && column <= r.Right();
}

// A range with both corners filled in, so single cells and ranges compare alike.
GXRange Plain(const GXRange& r)
{
    GXRange p;
    int bottom = r.Single() ? r.Top() : r.Bottom(), right = r.Single() ? r.Left() : r.Right();
    p.top = uint32_t(r.Top());
    p.bottom = uint32_t(bottom);
    p.cols = uint32_t(r.Left()) | uint32_t(right) << 15;
    return p;
}

}  // namespace

// --- the index of dependents -------------------------------------------------------------

template <class Fn>
void GXDepIndex::ForEachReference(const GXCell* cell, Fn&& fn)
{
    if (!cell->formula || cell->Type() != gxFormulaRefs)
        return;
    for (const GXNode& n : cell->formula->nodes) {
        GXRange r;
        if (gx_node_reference(n, &r))
            fn(Plain(r));
    }
}

void GXDepIndex::Change(GXCell* cell, bool add)
{
    ForEachReference(cell, [&](const GXRange& r) {
        if (Places(r) == 1) {
            auto& v = single_[PlaceKey(r.Top(), r.Left())];
            if (add)
                v.push_back(cell);
            else
                std::erase(v, cell);
            return;
        }
        for (Level& l : levels_) {
            int t0 = r.Top() >> l.rowShift, t1 = r.Bottom() >> l.rowShift;
            int c0 = r.Left() >> l.colShift, c1 = r.Right() >> l.colShift;
            if (int64_t(t1 - t0 + 1) * (c1 - c0 + 1) > kMaxTiles)
                continue;
            for (int t = t0; t <= t1; ++t)
                for (int c = c0; c <= c1; ++c) {
                    auto& v = l.tiles[TileKey(t, c)];
                    if (add)
                        v.push_back({r, cell});
                    else
                        std::erase_if(v, [&](const Entry& e) { return e.cell == cell; });
                }
            return;
        }
        if (add)
            wide_.push_back({r, cell});
        else
            std::erase_if(wide_, [&](const Entry& e) { return e.cell == cell; });
    });
}

void GXDepIndex::Add(GXCell* cell) { Change(cell, true); }
void GXDepIndex::Remove(GXCell* cell) { Change(cell, false); }

void GXDepIndex::Build(GXSheet* sheet)
{
    single_.clear();
    for (Level& l : levels_)
        l.tiles.clear();
    wide_.clear();
    GXPoolIter it;
    gx_pool_iter_init(&sheet->pools[1], &it);
    while (GXCell* c = gx_pool_iter_next(&it))
        if (c->Stored())
            Add(c);
    valid = true;
}

template <class Fn>
void GXDepIndex::Query(const GXRange& range, Fn&& fn) const
{
    GXRange r = Plain(range);
    if (Places(r) <= int64_t(single_.size())) {
        for (int c = r.Left(); c <= r.Right(); ++c)
            for (int row = r.Top(); row <= r.Bottom(); ++row)
                if (auto it = single_.find(PlaceKey(row, c)); it != single_.end())
                    for (GXCell* cell : it->second)
                        fn(cell);
    } else {
        for (const auto& [key, cells] : single_)
            if (Contains(r, int(key >> 16), int(key & 0xFFFF)))
                for (GXCell* cell : cells)
                    fn(cell);
    }
    for (const Level& l : levels_) {
        int t0 = r.Top() >> l.rowShift, t1 = r.Bottom() >> l.rowShift;
        int c0 = r.Left() >> l.colShift, c1 = r.Right() >> l.colShift;
        auto visit = [&](const std::vector<Entry>& v) {
            for (const Entry& e : v)
                if (gx_ranges_overlap(e.range, r))
                    fn(e.cell);
        };
        if (int64_t(t1 - t0 + 1) * (c1 - c0 + 1) <= int64_t(l.tiles.size())) {
            for (int t = t0; t <= t1; ++t)
                for (int c = c0; c <= c1; ++c)
                    if (auto it = l.tiles.find(TileKey(t, c)); it != l.tiles.end())
                        visit(it->second);
        } else {
            for (const auto& [key, v] : l.tiles)
                visit(v);
        }
    }
    for (const Entry& e : wide_)
        if (gx_ranges_overlap(e.range, r))
            fn(e.cell);
}

void gx_deps_inserted(GXSheet* sheet, GXCell* cell)
{
    if (sheet->deps && sheet->deps->valid && cell->Type() == gxFormulaRefs)
        sheet->deps->Add(cell);
}

void gx_deps_unlinked(GXSheet* sheet, GXCell* cell)
{
    if (sheet->deps && sheet->deps->valid && cell->Type() == gxFormulaRefs)
        sheet->deps->Remove(cell);
}

void gx_deps_invalidate(int handle)
{
    GXSheet* s = gx_sheet(handle);
    if (s && s->deps)
        s->deps->valid = false;
}

namespace {

GXDepIndex& Index(GXSheet* s)
{
    if (!s->deps)
        s->deps = std::make_unique<GXDepIndex>();
    if (!s->deps->valid)
        s->deps->Build(s);
    return *s->deps;
}

// The formula cells a change touches directly: those inside a changed range and those whose
// references overlap one. Each is marked reached and listed once.
void Seeds(int handle, GXSheet* s, std::vector<GXCell*>& out)
{
    GXDepIndex& index = Index(s);
    auto add = [&](GXCell* c) {
        if (c->Stored() && !(c->flags & GX_CELL_REACHED)) {
            c->flags |= GX_CELL_REACHED;
            out.push_back(c);
        }
    };
    for (const GXRange& r : s->changed) {
        GXRangeIter it;
        gx_range_iter_init(handle, r, &it, GX_POOL_FORMULA);
        while (GXCell* c = gx_range_iter_next(&it))
            add(c);
        index.Query(r, add);
    }
}

// Everything that depends on the listed cells, appended to them.
void Closure(GXSheet* s, std::vector<GXCell*>& reach)
{
    GXDepIndex& index = Index(s);
    for (size_t i = 0; i < reach.size(); ++i) {
        GXRange here;
        gx_make_range(&here, reach[i]->row, reach[i]->column, 0, 0, GX_MAKE_SINGLE);
        index.Query(here, [&](GXCell* c) {
            if (c->Stored() && !(c->flags & GX_CELL_REACHED)) {
                c->flags |= GX_CELL_REACHED;
                reach.push_back(c);
            }
        });
    }
}

// The index span of a subtree (the parser's nodes of one expression lie apart from others').
void Span(const GXFormula& f, int node, int& lo, int& hi, int depth = 0)
{
    if (node < 0 || size_t(node) >= f.nodes.size() || depth > GX_MAX_NODES)
        return;
    lo = std::min(lo, node);
    hi = std::max(hi, node);
    const GXNode& n = f.nodes[size_t(node)];
    Span(f, n.first, lo, hi, depth + 1);
    Span(f, n.next, lo, hi, depth + 1);
    if (n.kind == gxNodeCurrent) {
        Span(f, n.row_offset, lo, hi, depth + 1);
        Span(f, n.col_offset, lo, hi, depth + 1);
    }
}

// One cell of a recalculation walk: where it stands among its nodes. A frame inside a range
// reference owns the top entry of the walk's iterator stack.
struct Frame {
    GXCell* cell;
    uint32_t node = 0;
    int16_t skipLo = 1, skipHi = 0;
    int low = 0;
    bool inRange = false;
    bool needed = false;
    bool selfLoop = false;
};

class Walk {
public:
    Walk(int handle, GXSheet* s) : handle_(handle), s_(s) {}

    // Brings x up to date after its precedents, without recursion: a chain of any length
    // needs no deeper native stack. Cycles are found as strongly connected sets, so every
    // cell of a cycle is marked, and a cell that only reads a cycle is not.
    void Run(GXCell* x)
    {
        counter_ = 0;
        Push(x);
        while (!stack_.empty()) {
            if (GXCell* p = NextPrecedent(stack_.back())) {
                if (!(p->flags & GX_CELL_VISITED))
                    Push(p);
                else
                    Edge(stack_.back(), p);
                continue;
            }
            Frame f = stack_.back();
            stack_.pop_back();
            Finish(f);
            if (!stack_.empty())
                Edge(stack_.back(), f.cell);
        }
        assert(open_.empty() && iters_.empty());
    }

private:
    void Push(GXCell* c)
    {
        c->flags |= GX_CELL_VISITED | GX_CELL_EVALUATING;
        c->walk = ++counter_;
        open_.push_back(c);
        Frame f;
        f.cell = c;
        f.low = c->walk;
        f.needed = c->flags & GX_CELL_NEEDS_RECALC;
        if (c->formula->constraint >= 0) {
            int lo = int(c->formula->nodes.size()), hi = -1;
            Span(*c->formula, c->formula->constraint, lo, hi);
            f.skipLo = int16_t(lo);
            f.skipHi = int16_t(hi);
        }
        stack_.push_back(f);
    }

    void Edge(Frame& f, GXCell* p)
    {
        if (p->walk)
            f.low = std::min(f.low, p->walk);
        if (p == f.cell)
            f.selfLoop = true;
        if (f.cell->stamp < p->stamp)
            f.needed = true;
        if (p->flags & GX_CELL_CYCLE)
            s_->cycle_found = 1;
    }

    void Finish(const Frame& f)
    {
        GXCell* c = f.cell;
        if (f.needed) {
            gx_evaluate_cell(handle_, c);
            c->flags &= ~GX_CELL_NEEDS_RECALC;
            c->stamp = s_->recalc_stamp;
        }
        c->flags &= ~GX_CELL_EVALUATING;
        if (f.low != c->walk) {
            c->walk = f.low;  // still open: its cycle's first cell has not finished
            return;
        }
        // Its cycle is what was opened after it: look from the back, so a chain costs no search.
        auto found = std::find(open_.rbegin(), open_.rend(), c);
        assert(found != open_.rend());
        auto first = found.base() - 1;
        bool cycle = open_.end() - first > 1 || f.selfLoop;
        for (auto it = first; it != open_.end(); ++it) {
            (*it)->walk = 0;
            if (cycle)
                (*it)->flags |= GX_CELL_CYCLE;
        }
        if (cycle)
            s_->cycle_found = 1;
        open_.erase(first, open_.end());
    }

    // The next formula cell that f's formula refers to, or null when all have been seen.
    // Formulas without references are compared by stamp but not walked.
    GXCell* NextPrecedent(Frame& f)
    {
        const GXFormula& fm = *f.cell->formula;
        for (;;) {
            GXCell* c = nullptr;
            if (f.inRange) {
                c = gx_range_iter_next(&iters_.back());
                if (!c) {
                    f.inRange = false;
                    iters_.pop_back();
                    continue;
                }
            } else {
                if (f.node >= fm.nodes.size())
                    return nullptr;
                int i = int(f.node++);
                const GXNode& n = fm.nodes[size_t(i)];
                if ((i >= f.skipLo && i <= f.skipHi) || (n.flags & GX_NODE_NODEP))
                    continue;
                GXRange r;
                if (!gx_node_reference(n, &r))
                    continue;
                if (Places(Plain(r)) == 1) {
                    c = gx_find_cell(handle_, r.Top(), r.Left());
                } else {
                    iters_.emplace_back();
                    gx_range_iter_init(handle_, r, &iters_.back(), GX_POOL_FORMULA);
                    f.inRange = true;
                    continue;
                }
            }
            if (!c || !c->formula)
                continue;
            if (c->Type() == gxFormulaRefs)
                return c;
            Edge(f, c);
        }
    }

    int handle_;
    GXSheet* s_;
    std::vector<Frame> stack_;
    std::vector<GXRangeIter> iters_;
    std::vector<GXCell*> open_;  // cells whose cycle is not yet closed, in walk order
    int counter_ = 0;
};

void AllFormulaCells(GXSheet* s, std::vector<GXCell*>& out)
{
    GXPoolIter it;
    gx_pool_iter_init(&s->pools[1], &it);
    while (GXCell* c = gx_pool_iter_next(&it))
        if (c->Stored())
            out.push_back(c);
}

constexpr uint32_t kPassBits = GX_CELL_VISITED | GX_CELL_EVALUATING | GX_CELL_CYCLE;

}  // namespace

void gx_recalc_cell(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell || !cell->formula || !cell->Stored() || (cell->flags & GX_CELL_VISITED))
        return;
    int pools = gx_begin_iteration(handle, GX_POOL_ALL);
    Walk(handle, s).Run(cell);
    gx_end_iteration(handle, pools);
}

int gx_recalc_pass(int handle)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return 0;
    // A forced pass and an empty list take every formula cell, as a first pass must; otherwise
    // only the cells the changed ranges reach, through the index of dependents.
    std::vector<GXCell*> cells;
    size_t marked = 0;
    if (s->changed.empty() || (s->flags & GX_SHEET_FORCED)) {
        std::vector<GXCell*> seeds;
        if (!s->changed.empty())
            Seeds(handle, s, seeds);
        AllFormulaCells(s, cells);
        for (GXCell* c : cells) {
            c->flags &= ~kPassBits;
            if (s->changed.empty() || (c->flags & GX_CELL_REACHED)) {
                c->flags |= GX_CELL_NEEDS_RECALC;
                ++marked;
            }
            c->flags &= ~GX_CELL_REACHED;
        }
    } else {
        Seeds(handle, s, cells);
        marked = cells.size();
        Closure(s, cells);
        for (size_t i = 0; i < cells.size(); ++i) {
            GXCell* c = cells[i];
            c->flags &= ~(kPassBits | GX_CELL_REACHED);
            if (i < marked)
                c->flags |= GX_CELL_NEEDS_RECALC;
        }
    }
    int pools = gx_begin_iteration(handle, GX_POOL_ALL);
    if (marked) {
        ++s->recalc_stamp;
        if (s->recalc_method == 1) {
            Walk walk(handle, s);
            for (GXCell* c : cells)
                if (c->Stored() && !(c->flags & GX_CELL_VISITED))
                    walk.Run(c);
        }
    }
    gx_end_iteration(handle, pools);
    if (!s->constraint_check || !s->message_free)
        return 0;
    int n = gx_count_violations(handle, GX_POOL_VALUE) + gx_count_violations(handle, GX_POOL_FORMULA);
    if (n == 1) {
        s->message = "There is 1 constraint violation!";
        s->message_free = 0;
    } else if (n > 1) {
        s->message = "There are " + std::to_string(n) + " constraint violations!";
        s->message_free = 0;
    }
    return n;
}

int gx_recalc_sheet(int handle)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return 0;
    if (s->manual_recalc) {
        gx_clear_changed_ranges(handle);
        return 0;
    }
    s->flags |= GX_SHEET_RECALCULATING;
    s->cycle_found = 0;
    gx_recalc_pass(handle);
    if (s->cycle_found) {
        s->flags |= GX_SHEET_ITERATING;
        for (int i = 0; i < s->iterations; ++i)
            if (gx_recalc_pass(handle) == 0 && s->constraint_check)
                break;
    }
    gx_clear_changed_ranges(handle);
    s->flags = 0;
    return 1;
}

int gx_recalc_sheet_forced(int handle)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return 0;
    int manual = s->manual_recalc;
    s->manual_recalc = 0;
    s->flags |= GX_SHEET_FORCED;
    int r = gx_recalc_sheet(handle);
    s->flags = 0;
    s->manual_recalc = manual;
    return r;
}

int gx_check_constraint(int handle, GXCell* cell)
{
    if (!cell || !cell->formula || cell->formula->constraint < 0)
        return 0;
    GXValue v = gx_eval_expression(handle, cell->row, cell->column, *cell->formula, cell->formula->constraint);
    gx_result_to_cell_value(v);
    bool violated = v.type == gxvNumber && v.number == 0;
    uint32_t before = cell->flags & GX_CELL_CONSTRAINT;
    if (violated)
        cell->flags |= GX_CELL_CONSTRAINT;
    else
        cell->flags &= ~GX_CELL_CONSTRAINT;
    if ((cell->flags & GX_CELL_CONSTRAINT) != before)
        cell->flags |= GX_CELL_CHANGED;
    return violated ? 1 : 0;
}

int gx_count_violations(int handle, int pool)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return 0;
    int n = 0;
    for (int i = 0; i < 3; ++i) {
        if (!(pool & (1 << i)))
            continue;
        GXPoolIter it;
        gx_pool_iter_init(&s->pools[i], &it);
        while (GXCell* c = gx_pool_iter_next(&it))
            if (c->Stored() && c->formula && c->formula->constraint >= 0 && c->Kind() != gxError)
                n += gx_check_constraint(handle, c);
    }
    return n;
}

void gx_record_changed_range(int handle, const GXRange& range)
{
    GXSheet* s = gx_sheet(handle);
    GXRange r = Plain(range);
    if (!s || !gx_normalize_range(&r))
        return;
    if (s->changed_keys.insert(r).second)
        s->changed.push_back(r);
}

void gx_clear_changed_ranges(int handle)
{
    if (GXSheet* s = gx_sheet(handle)) {
        s->changed.clear();
        // Clearing keeps (and wipes) every bucket a bulk load grew; a fresh set costs nothing.
        std::unordered_set<GXRange, GXRangeHash>().swap(s->changed_keys);
    }
}

int gx_cell_is_affected(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell)
        return 0;
    if (s->changed.empty())
        return 1;
    for (const GXRange& r : s->changed)
        if (Contains(r, cell->row, cell->column))
            return 1;
    bool hit = false;
    if (cell->formula)
        for (const GXNode& n : cell->formula->nodes) {
            GXRange ref;
            if (!gx_node_reference(n, &ref))
                continue;
            for (const GXRange& r : s->changed)
                hit = hit || gx_ranges_overlap(Plain(ref), r);
        }
    return hit ? 1 : 0;
}
