#include "grid/formula/gxname.h"

#include <algorithm>
#include <functional>
#include <initializer_list>

#include "grid/formula/gxeval.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"
#include "platform/base/textcase.h"

namespace {

// A reference split into its two corners and the make-range flags of its absolute bits.
struct Corners {
    int top, left, bottom, right, flags;
};

Corners Split(const GXRange& r)
{
    Corners c{r.Top(), r.Left(), r.Bottom(), r.Right(), 0};
    if (r.Single()) {
        c.bottom = c.top;
        c.right = c.left;
        c.flags |= GX_MAKE_SINGLE;
    }
    c.flags |= (r.AbsRow1() ? GX_MAKE_ABSROW1 : 0) | (r.AbsCol1() ? GX_MAKE_ABSCOL1 : 0) |
               (r.AbsRow2() ? GX_MAKE_ABSROW2 : 0) | (r.AbsCol2() ? GX_MAKE_ABSCOL2 : 0);
    return c;
}

// False when a corner has left the sheet.
bool Join(const Corners& c, GXRange& out)
{
    if ((c.flags & GX_MAKE_SINGLE) && (c.top != c.bottom || c.left != c.right))
        return false;
    return gx_make_range(&out, c.top, c.left, c.bottom, c.right, c.flags) != 0;
}

bool Inside(const GXRange& r, int row, int column)
{
    return row >= r.Top() && row <= r.Bottom() && column >= r.Left() && column <= r.Right();
}

GXRange Rect(int top, int left, int bottom, int right)
{
    GXRange r;
    gx_make_range(&r, top, left, bottom, right, 0);
    return r;
}

void MakeInvalidRef(GXNode& n)
{
    n.kind = gxNodeOperator;
    n.op = 26;  // "??": a dependency-list item keeps its link to the next item
    n.first = -1;
    n.range = GXRange{};
    n.named = nullptr;
    n.text.clear();
}

// Calls fn on every cell and range reference of a formula; fn returns false for a reference
// that has left the sheet, which becomes the invalid-reference marker. True when any changed.
bool AdjustRefs(GXFormula& f, const std::function<bool(Corners&)>& fn)
{
    bool changed = false;
    for (GXNode& n : f.nodes) {
        if (n.kind != gxNodeCell && n.kind != gxNodeRange)
            continue;
        Corners c = Split(n.range);
        GXRange out;
        if (!fn(c) || !Join(c, out)) {
            MakeInvalidRef(n);
            changed = true;
        } else if (!(out == n.range)) {
            n.range = out;
            changed = true;
        }
    }
    return changed;
}

std::vector<GXCell*> StoredFormulaCells(GXSheet* s)
{
    std::vector<GXCell*> out;
    GXPoolIter it;
    gx_pool_iter_init(&s->pools[1], &it);
    while (GXCell* c = gx_pool_iter_next(&it))
        if (c->Stored())
            out.push_back(c);
    return out;
}

std::vector<GXCell*> CellsIn(int handle, const GXRange& r, int pools)
{
    std::vector<GXCell*> out;
    GXRangeIter it;
    gx_range_iter_init(handle, r, &it, pools);
    while (GXCell* c = gx_range_iter_next(&it))
        out.push_back(c);
    return out;
}

// A cell taken out for good: into the undo snapshots while undo is recorded, else freed.
void Discard(int handle, GXSheet* s, GXCell* c)
{
    gx_unlink_cell(handle, c);
    if (s->undo_recording)
        gx_push_snapshot(handle, c);
    else
        gx_remove_cell(handle, c);
}

void MarkForRecalc(int handle, GXCell* c)
{
    c->flags |= GX_CELL_NEEDS_RECALC;
    GXRange r;
    gx_make_range(&r, c->row, c->column, 0, 0, GX_MAKE_SINGLE);
    gx_record_changed_range(handle, r);
}

// The bracket of a range operation: deferred frees, and the index of dependents rebuilt after.
struct Operation {
    int handle;
    int pools;
    explicit Operation(int h) : handle(h), pools(gx_begin_iteration(h, GX_POOL_ALL))
    {
        gx_deps_invalidate(h);
        if (GXSheet* s = gx_sheet(h))
            s->dirty = 1;
    }
    ~Operation() { gx_end_iteration(handle, pools); }
};

// One axis of the sheet: rows (limit 8388607) or columns (limit 4095).
struct Axis {
    bool rows;
    int Max() const { return rows ? GX_MAX_ROW : GX_MAX_COL; }
    int& Lo(Corners& c) const { return rows ? c.top : c.left; }
    int& Hi(Corners& c) const { return rows ? c.bottom : c.right; }
    int Of(const GXCell* c) const { return rows ? c->row : c->column; }
    void Place(GXCell* c, int v) const { gx_place_cell(c, rows ? v : c->row, rows ? c->column : v); }
    // Every row (or column) from a to b, across the sheet.
    GXRange Band(int a, int b) const { return rows ? Rect(a, 0, b, GX_MAX_COL) : Rect(1, a, GX_MAX_ROW, b); }
};

// Applies a reference rule to every formula cell and, unless told not to, every name. A
// formula whose references change is first copied to the undo snapshots while undo is recorded.
void AdjustEverywhere(int handle, GXSheet* s, const std::function<bool(Corners&)>& fn, bool names = true)
{
    for (GXCell* c : StoredFormulaCells(s)) {
        GXFormula before = *c->formula;
        if (!AdjustRefs(*c->formula, fn))
            continue;
        if (s->undo_recording) {
            std::swap(before, *c->formula);
            gx_push_snapshot(handle, gx_dup_cell(handle, c));
            std::swap(before, *c->formula);
        }
        MarkForRecalc(handle, c);
    }
    for (GXName* n = names ? s->names : nullptr; n; n = n->next) {
        GXRange r;
        if (!gx_name_range(n, &r))
            continue;
        Corners c = Split(r);
        if (!fn(c) || !Join(c, n->range))
            n->range = GXRange{};
    }
}

// Moves every cell whose coordinate on the axis is at least from (all pools) by map; a cell
// mapped off the sheet is discarded.
void MoveCells(int handle, GXSheet* s, const Axis& axis, int from, int to, const std::function<int(int)>& map)
{
    std::vector<GXCell*> moving;
    for (int p = 0; p < 3; ++p) {
        GXPoolIter it;
        gx_pool_iter_init(&s->pools[p], &it);
        while (GXCell* c = gx_pool_iter_next(&it))
            if (c->Stored() && axis.Of(c) >= from && axis.Of(c) <= to)
                moving.push_back(c);
    }
    for (GXCell* c : moving)
        gx_unlink_cell(handle, c);
    for (GXCell* c : moving) {
        int v = map(axis.Of(c));
        if (v < (axis.rows ? 1 : 0) || v > axis.Max()) {
            if (s->undo_recording)
                gx_push_snapshot(handle, c);
            else
                gx_remove_cell(handle, c);
            continue;
        }
        axis.Place(c, v);
        gx_insert_cell(handle, c);
    }
}

int InsertLines(int handle, const Axis& axis, int before, int count)
{
    GXSheet* s = gx_sheet(handle);
    int low = axis.rows ? 1 : 0;
    if (!s || before < low || before > axis.Max() || count < 1)
        return 0;
    count = std::min(count, axis.Max() + 1 - low);
    Operation op(handle);
    MoveCells(handle, s, axis, before, axis.Max(), [&](int v) { return v + count; });
    // Corners at or past the insertion move; a range pushed past the edge keeps what is left.
    AdjustEverywhere(handle, s, [&](Corners& c) {
        int& lo = axis.Lo(c);
        int& hi = axis.Hi(c);
        if (lo >= before)
            lo += count;
        if (hi >= before)
            hi = std::min(hi + count, axis.Max());
        return lo <= axis.Max();
    });
    gx_record_changed_range(handle, axis.Band(before, axis.Max()));
    return 1;
}

int RemoveLines(int handle, const Axis& axis, int first, int count)
{
    GXSheet* s = gx_sheet(handle);
    int low = axis.rows ? 1 : 0;
    if (!s || first < low || first > axis.Max() || count < 1)
        return 0;
    int last = int(std::min<int64_t>(int64_t(first) + count - 1, axis.Max()));
    count = last - first + 1;
    gx_clear_range(handle, axis.Band(first, last));
    Operation op(handle);
    MoveCells(handle, s, axis, last + 1, axis.Max(), [&](int v) { return v - count; });
    // Removed lines shrink a range; a reference wholly inside them becomes "??".
    AdjustEverywhere(handle, s, [&](Corners& c) {
        int& lo = axis.Lo(c);
        int& hi = axis.Hi(c);
        if (lo > last)
            lo -= count;
        else if (lo >= first)
            lo = first;
        if (hi > last)
            hi -= count;
        else if (hi >= first)
            hi = first - 1;
        return lo <= hi;
    });
    gx_record_changed_range(handle, axis.Band(first, axis.Max()));
    return 1;
}

// Where line v goes when lines first..last move so that first lands on destination.
int Permute(int v, int first, int last, int destination)
{
    int size = last - first + 1;
    if (v >= first && v <= last)
        return destination + (v - first);
    if (destination < first && v >= destination && v < first)
        return v + size;
    if (destination > first && v > last && v <= destination + size - 1)
        return v - size;
    return v;
}

// The smallest span holding the images of lines lo..hi: the permutation is linear between
// its pieces' ends, so only those need trying.
void PermuteSpan(int& lo, int& hi, int first, int last, int destination)
{
    int size = last - first + 1;
    int a = lo, b = hi, mn = Permute(a, first, last, destination), mx = mn;
    for (int v : {a, b, first, last, first - 1, last + 1, destination, destination - 1, destination + size - 1,
                  destination + size}) {
        if (v < a || v > b)
            continue;
        int p = Permute(v, first, last, destination);
        mn = std::min(mn, p);
        mx = std::max(mx, p);
    }
    lo = mn;
    hi = mx;
}

int MoveLines(int handle, const Axis& axis, int first, int last, int destination)
{
    GXSheet* s = gx_sheet(handle);
    int low = axis.rows ? 1 : 0;
    if (!s || first < low || last < first || last > axis.Max() || destination < low ||
        int64_t(destination) + (last - first) > axis.Max())
        return 0;
    if (destination == first)
        return 1;
    int spanLo = std::min(first, destination), spanHi = std::max(last, destination + (last - first));
    Operation op(handle);
    MoveCells(handle, s, axis, spanLo, spanHi, [&](int v) { return Permute(v, first, last, destination); });
    AdjustEverywhere(
        handle, s,
        [&](Corners& c) {
            PermuteSpan(axis.Lo(c), axis.Hi(c), first, last, destination);
            return true;
        },
        false);
    gx_permute_names(handle, axis.Band(spanLo, spanHi), axis.rows, first, last, destination);
    gx_record_changed_range(handle, axis.Band(spanLo, spanHi));
    return 1;
}

}  // namespace

bool gx_name_range(const GXName* entry, GXRange* range)
{
    if (!entry || entry->range.Top() == 0)
        return false;
    *range = entry->range;
    return true;
}

bool gx_node_reference(const GXNode& n, GXRange* range)
{
    if (n.kind == gxNodeCell || n.kind == gxNodeRange) {
        *range = n.range;
        return true;
    }
    if (n.kind == gxNodeNamedCell || n.kind == gxNodeNamedRange)
        return gx_name_range(static_cast<const GXName*>(n.named), range);
    return false;
}

int gx_define_name(int handle, const char* name, const GXRange& range)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !name)
        return 0;
    std::string cut = std::string(name).substr(0, GX_MAX_NAME);
    // A name a formula cannot reach (a cell like Q1, a cell and a dot) is no name.
    if (cut.empty() || !gx_scans_as_name(cut))
        return 0;
    GXRange r = range;
    if (!gx_normalize_range(&r))
        return 0;
    GXName** tail = &s->names;
    for (; *tail; tail = &(*tail)->next)
        if (PvCompareNoCase((*tail)->name, cut) == 0)
            break;
    if (*tail) {
        GXRange old;
        if (gx_name_range(*tail, &old))
            gx_record_changed_range(handle, old);
        (*tail)->range = r;
    } else {
        *tail = new GXName{nullptr, cut, r};
    }
    gx_record_changed_range(handle, r);
    gx_deps_invalidate(handle);
    s->dirty = 1;
    return 1;
}

GXName* gx_find_name(int handle, const char* name, GXRange* range)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !name)
        return nullptr;
    for (GXName* n = s->names; n; n = n->next)
        if (PvCompareNoCase(n->name, name) == 0) {
            if (range)
                *range = n->range;
            return n;
        }
    return nullptr;
}

namespace {
// Turns every use of the entry into its plain reference ("??" once its place is gone).
void Unname(int handle, GXSheet* s, const GXName* entry, bool snapshots)
{
    GXRange r;
    bool placed = gx_name_range(entry, &r);
    for (GXCell* c : StoredFormulaCells(s)) {
        bool uses = std::any_of(c->formula->nodes.begin(), c->formula->nodes.end(),
                                [&](const GXNode& n) { return n.named == entry; });
        if (!uses)
            continue;
        if (snapshots)
            gx_push_snapshot(handle, gx_dup_cell(handle, c));
        for (GXNode& n : c->formula->nodes) {
            if (n.named != entry)
                continue;
            if (!placed) {
                MakeInvalidRef(n);
                continue;
            }
            n.kind = n.kind == gxNodeNamedCell ? gxNodeCell : gxNodeRange;
            n.range = r;
            if (n.kind == gxNodeCell && !r.Single())
                n.kind = gxNodeRange;
            n.named = nullptr;
            n.text.clear();
        }
    }
}
}  // namespace

int gx_delete_name(int handle, const char* name)
{
    GXSheet* s = gx_sheet(handle);
    GXName* entry = gx_find_name(handle, name, nullptr);
    if (!entry)
        return 0;
    Unname(handle, s, entry, s->undo_recording != 0);
    GXName** pp = &s->names;
    while (*pp != entry)
        pp = &(*pp)->next;
    *pp = entry->next;
    entry->next = nullptr;
    if (s->undo_recording)
        s->kept_names.push_back(entry);
    else
        delete entry;
    gx_deps_invalidate(handle);
    s->dirty = 1;
    return 1;
}

void gx_restore_name(int handle, GXName* entry)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !entry)
        return;
    std::erase(s->kept_names, entry);
    entry->next = s->names;
    s->names = entry;
    gx_deps_invalidate(handle);
}

void gx_free_names(int handle)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return;
    while (GXName* n = s->names) {
        Unname(handle, s, n, false);
        s->names = n->next;
        delete n;
    }
    gx_deps_invalidate(handle);
}

void gx_shift_names(int handle, const GXRange& range, int rowDelta, int colDelta)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return;
    for (GXName* n = s->names; n; n = n->next) {
        GXRange r;
        if (!gx_name_range(n, &r))
            continue;
        Corners c = Split(r);
        if (Inside(range, c.top, c.left)) {
            c.top = std::clamp(c.top + rowDelta, 1, GX_MAX_ROW);
            c.left = std::clamp(c.left + colDelta, 0, GX_MAX_COL);
        }
        if (Inside(range, c.bottom, c.right)) {
            c.bottom = std::clamp(c.bottom + rowDelta, 1, GX_MAX_ROW);
            c.right = std::clamp(c.right + colDelta, 0, GX_MAX_COL);
        }
        if (c.flags & GX_MAKE_SINGLE) {
            c.bottom = c.top;
            c.right = c.left;
        }
        Join(c, n->range);
    }
    gx_deps_invalidate(handle);
}

void gx_permute_names(int handle, const GXRange& span, bool byRows, int first, int last, int destination)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return;
    Axis axis{byRows};
    for (GXName* n = s->names; n; n = n->next) {
        GXRange r;
        if (!gx_name_range(n, &r) || !gx_ranges_overlap(r, span))
            continue;
        Corners c = Split(r);
        PermuteSpan(axis.Lo(c), axis.Hi(c), first, last, destination);
        Join(c, n->range);
    }
    gx_deps_invalidate(handle);
}

GXRange gx_dest_range(const GXRange& source, int top, int left)
{
    Corners c = Split(source);
    int bottom = int(std::min<int64_t>(int64_t(top) + (c.bottom - c.top), GX_MAX_ROW));
    int right = int(std::min<int64_t>(int64_t(left) + (c.right - c.left), GX_MAX_COL));
    return Rect(top, left, bottom, right);
}

int gx_clear_range(int handle, const GXRange& range)
{
    GXSheet* s = gx_sheet(handle);
    GXRange r = range;
    if (!s || !gx_clip_to_extent(handle, &r))
        return 0;
    Operation op(handle);
    for (GXCell* c : CellsIn(handle, r, GX_POOL_VALUE | GX_POOL_FORMULA)) {
        const GXFormula* f = c->formula;
        if (f && f->nodes.size() == 1 && f->root == 0 && f->nodes[0].kind == gxNodeCell)
            gx_record_changed_range(handle, f->nodes[0].range);
        Discard(handle, s, c);
    }
    gx_record_changed_range(handle, r);
    return 1;
}

int gx_copy_range(int handle, const GXRange& source, int top, int left, int quiet)
{
    GXSheet* s = gx_sheet(handle);
    GXRange src = source, clipped = source;
    if (!s || !gx_normalize_range(&src) || !gx_clip_to_extent(handle, &clipped))
        return 0;
    GXRange dest = gx_dest_range(src, top, left);
    if (dest.Top() == 0)
        return 0;
    int dr = top - src.Top(), dc = left - src.Left();
    Operation op(handle);
    std::vector<GXCell*> copies;
    for (GXCell* c : CellsIn(handle, src, GX_POOL_ALL)) {
        int row = c->row + dr, col = c->column + dc;
        if (row < 1 || row > GX_MAX_ROW || col < 0 || col > GX_MAX_COL)
            continue;  // its place is off the sheet: dropped
        GXCell* d = gx_dup_cell(handle, c);
        gx_place_cell(d, row, col);
        if (d->formula)
            AdjustRefs(*d->formula, [&](Corners& k) {
                if (!(k.flags & GX_MAKE_ABSROW1))
                    k.top += dr;
                if (!(k.flags & GX_MAKE_ABSCOL1))
                    k.left += dc;
                if (!(k.flags & GX_MAKE_ABSROW2))
                    k.bottom += dr;
                if (!(k.flags & GX_MAKE_ABSCOL2))
                    k.right += dc;
                if (k.flags & GX_MAKE_SINGLE) {
                    k.bottom = k.top;
                    k.right = k.left;
                }
                return true;
            });
        copies.push_back(d);
    }
    for (GXCell* c : CellsIn(handle, dest, GX_POOL_ALL))
        Discard(handle, s, c);
    for (GXCell* d : copies)
        gx_insert_cell(handle, d);
    if (!quiet) {
        gx_record_changed_range(handle, src);
        gx_record_changed_range(handle, dest);
        gx_recalc_sheet(handle);
    }
    return 1;
}

int gx_move_range(int handle, const GXRange& source, int top, int left, int keepNames)
{
    GXSheet* s = gx_sheet(handle);
    GXRange src = source;
    if (!s || !gx_normalize_range(&src))
        return 0;
    src = Rect(src.Top(), src.Left(), src.Single() ? src.Top() : src.Bottom(), src.Single() ? src.Left() : src.Right());
    GXRange dest = gx_dest_range(src, top, left);
    if (dest.Top() == 0)
        return 0;
    int dr = top - src.Top(), dc = left - src.Left();
    if (!keepNames)
        gx_shift_names(handle, src, dr, dc);
    Operation op(handle);
    std::vector<GXCell*> moved = CellsIn(handle, src, GX_POOL_ALL);
    std::vector<GXCell*> displaced;
    for (GXCell* c : CellsIn(handle, dest, GX_POOL_ALL))
        if (!Inside(src, c->row, c->column))
            displaced.push_back(c);
    for (GXCell* c : moved) {
        gx_unlink_cell(handle, c);
        c->flags |= GX_CELL_CHANGED;
    }
    for (GXCell* c : displaced) {
        gx_unlink_cell(handle, c);
        c->flags |= GX_CELL_CHANGED;
    }
    // References into the source follow it; others into the destination keep their place.
    std::vector<GXCell*> formulas = StoredFormulaCells(s);
    for (GXCell* c : moved)
        if (c->Type() == gxFormulaRefs)
            formulas.push_back(c);
    for (GXCell* c : formulas) {
        bool keeps = false;
        bool changed = AdjustRefs(*c->formula, [&](Corners& k) {
            bool inSource = Inside(src, k.top, k.left) && Inside(src, k.bottom, k.right);
            if (inSource) {
                k.top += dr;
                k.bottom += dr;
                k.left += dc;
                k.right += dc;
            } else if (Inside(dest, k.top, k.left) || Inside(dest, k.bottom, k.right)) {
                keeps = true;
            }
            return true;
        });
        if (keeps && s->undo_recording && c->Stored())
            gx_push_snapshot(handle, gx_dup_cell(handle, c));
        if (changed || keeps) {
            c->flags |= GX_CELL_NEEDS_RECALC;
            if (c->Stored())
                MarkForRecalc(handle, c);
        }
    }
    for (GXCell* c : displaced) {
        if (s->undo_recording)
            gx_push_snapshot(handle, c);
        else
            gx_remove_cell(handle, c);
    }
    for (GXCell* c : moved) {
        int row = c->row + dr, col = c->column + dc;
        if (row < 1 || row > GX_MAX_ROW || col < 0 || col > GX_MAX_COL) {
            gx_remove_cell(handle, c);
            continue;
        }
        gx_place_cell(c, row, col);
        if (GXCell* old = gx_find_cell(handle, row, col))
            Discard(handle, s, old);
        gx_insert_cell(handle, c);
    }
    gx_record_changed_range(handle, src);
    gx_record_changed_range(handle, dest);
    return 1;
}

int gx_insert_rows(int handle, int before, int count) { return InsertLines(handle, Axis{true}, before, count); }
int gx_insert_cols(int handle, int before, int count) { return InsertLines(handle, Axis{false}, before, count); }
int gx_remove_rows(int handle, int first, int count) { return RemoveLines(handle, Axis{true}, first, count); }
int gx_remove_cols(int handle, int first, int count) { return RemoveLines(handle, Axis{false}, first, count); }
int gx_move_rows(int handle, int first, int last, int destination) { return MoveLines(handle, Axis{true}, first, last, destination); }
int gx_move_cols(int handle, int first, int last, int destination) { return MoveLines(handle, Axis{false}, first, last, destination); }

void gx_push_snapshot(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell)
        return;
    cell->next = s->snapshots;
    s->snapshots = cell;
}

GXCell* gx_take_snapshots(int handle)
{
    GXSheet* s = gx_sheet(handle);
    if (!s)
        return nullptr;
    GXCell* head = s->snapshots;
    s->snapshots = nullptr;
    return head;
}
