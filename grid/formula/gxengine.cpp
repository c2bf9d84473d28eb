#include "grid/formula/gxengine.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "grid/core/gxstyle.h"
#include "grid/formula/gxeval.h"
#include "grid/formula/gxname.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"

namespace {

enum { kEngineSlot = 0, kParseSlot = 1, kMemSlot = 4 };  // the evaluator's record is slot 2

template <class T>
T* EngineRecord(int slot)
{
    CGXEngineStateBase*& p = GXGetLibraryState().m_pEngineStates[slot];
    if (!p)
        p = new T;
    return static_cast<T*>(p);
}

bool InBounds(int row, int column)
{
    return row >= 1 && row <= GX_MAX_ROW && column >= 0 && column <= GX_MAX_COL;
}

uint32_t Bucket(int row, int column)
{
    return (uint32_t(column) * 8388607u + uint32_t(row)) % uint32_t(GX_BUCKETS);
}

GXBlock* BlockOf(GXCell* cell)
{
    GXCell* slot0 = cell - cell->Slot();
    return reinterpret_cast<GXBlock*>(reinterpret_cast<char*>(slot0) - offsetof(GXBlock, slots));
}

void Unchain(GXPool* pool, GXBlock* b)
{
    (b->prev ? b->prev->next : pool->first) = b->next;
    (b->next ? b->next->prev : pool->last) = b->prev;
    b->next = b->prev = nullptr;
}

void PushHead(GXPool* pool, GXBlock* b)
{
    b->prev = nullptr;
    b->next = pool->first;
    (pool->first ? pool->first->prev : pool->last) = b;
    pool->first = b;
}

void PushTail(GXPool* pool, GXBlock* b)
{
    b->next = nullptr;
    b->prev = pool->last;
    (pool->last ? pool->last->next : pool->first) = b;
    pool->last = b;
}

GXCell* AllocCell(GXPool* pool)
{
    GXBlock* b = nullptr;
    if (pool->iterating) {
        for (GXBlock* p = pool->first; p && !b; p = p->next)
            if (p->mask != 0xFFFFFFFFu && !p->needs_compaction)
                b = p;
    } else if (pool->first && pool->first->mask != 0xFFFFFFFFu) {
        b = pool->first;
    }
    if (!b) {
        b = static_cast<GXBlock*>(std::calloc(1, sizeof(GXBlock)));
        if (!b)
            throw std::bad_alloc();
        b->pool = pool;
        PushHead(pool, b);
    }
    int slot = std::countr_one(b->mask);
    b->mask |= 1u << slot;
    if (b->mask == 0xFFFFFFFFu && b != pool->last) {
        if (pool->iterating)
            pool->needs_compaction = 1;
        else {
            Unchain(pool, b);
            PushTail(pool, b);
        }
    }
    GXCell* c = &b->slots[slot];
    std::memset(static_cast<void*>(c), 0, sizeof(GXCell));
    c->flags = uint32_t(slot) << 9;
    ++pool->count;
    return c;
}

void FreeCell(GXCell* cell)
{
    GXBlock* b = BlockOf(cell);
    GXPool* pool = b->pool;
    delete cell->style;
    cell->style = nullptr;
    delete cell->formula;
    cell->formula = nullptr;
    if (cell->Kind() == gxLongText)
        std::free(cell->value.text);
    cell->flags &= ~0xF0u;
    // An iterator may stand on this block: keep the slot unused until the bracket ends, and
    // mark the pool, so that ending a bracket without frees needs no walk over its blocks.
    if (pool->iterating)
        b->needs_compaction = pool->needs_compaction = 1;
    b->mask &= ~(1u << cell->Slot());
    --pool->count;
    if (b->mask) {
        if (b != pool->first) {
            if (pool->iterating)
                pool->needs_compaction = 1;
            else {
                Unchain(pool, b);
                PushHead(pool, b);
            }
        }
    } else if (pool->iterating) {
        pool->needs_compaction = 1;
    } else {
        Unchain(pool, b);
        std::free(b);
    }
}

void FreePool(GXPool* pool)
{
    while (GXBlock* b = pool->first) {
        for (int i = 0; i < 32; ++i)
            if (b->mask & (1u << i)) {
                GXCell* c = &b->slots[i];
                delete c->style;
                delete c->formula;
                if (c->Kind() == gxLongText)
                    std::free(c->value.text);
            }
        Unchain(pool, b);
        std::free(b);
    }
    pool->count = 0;
}

void EndPool(GXPool* pool)
{
    pool->iterating = 0;
    if (!pool->needs_compaction)
        return;
    GXBlock* first = pool->first;
    for (GXBlock* b = first; b;) {
        GXBlock* next = b->next;
        b->needs_compaction = 0;
        if (b != first) {
            if (!b->mask) {
                Unchain(pool, b);
                std::free(b);
            } else if (b->mask != 0xFFFFFFFFu) {
                Unchain(pool, b);
                PushHead(pool, b);
            }
        }
        b = next;
    }
    if (first && !first->mask && pool->first != first) {
        Unchain(pool, first);
        std::free(first);
    }
    pool->needs_compaction = 0;
}

void GrowCounts(std::vector<uint32_t>& v, size_t needed)
{
    if (needed <= v.size())
        return;
    size_t cap = v.size();
    if (cap == 0)
        cap = needed;
    else {
        cap += cap < 32 ? 4 : cap >= 8200 ? 1024 : cap / 8;
        cap = std::max(cap, needed);
    }
    v.resize(cap, 0);
}

GXCell* NewCell(GXSheet* s, int pool, int row, int column, int type, int kind)
{
    GXCell* c = AllocCell(&s->pools[pool]);
    c->row = row;
    c->column = column;
    c->flags |= uint32_t(type) | uint32_t(kind) << 4;
    return c;
}

// A value set through the engine is a change its dependents must see, whatever else the
// changed-range list holds.
void RecordCell(int handle, const GXCell* c)
{
    GXRange r;
    gx_make_range(&r, c->row, c->column, 0, 0, GX_MAKE_SINGLE);
    gx_record_changed_range(handle, r);
}

// Removes the cell at (row, column) and hands over its style.
CGXStyle* ReplaceCell(int handle, int row, int column)
{
    GXCell* old = gx_find_cell(handle, row, column);
    CGXStyle* style = gx_take_cell_style(old);
    gx_remove_cell(handle, old);
    return style;
}

void SetTextValue(GXCell* c, const std::string& text)
{
    c->flags &= ~0xF0u;
    if (text.size() > 8) {
        c->value.text = static_cast<char*>(std::malloc(text.size() + 1));
        if (!c->value.text)
            throw std::bad_alloc();
        std::memcpy(c->value.text, text.c_str(), text.size() + 1);
        c->flags |= uint32_t(gxLongText) << 4;
    } else {
        std::memset(c->value.inl, 0, 8);
        std::memcpy(c->value.inl, text.data(), text.size());
        c->flags |= uint32_t(gxShortText) << 4;
    }
}

bool HasReferences(const GXFormula& f)
{
    for (const GXNode& n : f.nodes)
        if (n.kind == gxNodeCell || n.kind == gxNodeRange || n.kind == gxNodeNamedCell ||
            n.kind == gxNodeNamedRange || n.kind == gxNodeCall)
            return true;
    return false;
}

// Moves an extent edge past emptied rows or columns; false when none is left.
bool ShrinkEdge(const std::vector<uint32_t>& counts, int base, int& low, int& high, int index)
{
    auto count = [&](int i) { return size_t(i - base) < counts.size() ? counts[size_t(i - base)] : 0u; };
    if (index == low) {
        while (low <= high && count(low) == 0)
            ++low;
        if (low > high)
            return false;
    }
    if (index == high) {
        while (high >= low && count(high) == 0)
            --high;
        if (high < low)
            return false;
    }
    return true;
}

}  // namespace

std::string GXCell::Text() const
{
    if (Kind() == gxLongText)
        return value.text;
    if (Kind() == gxShortText)
        return std::string(value.inl, strnlen(value.inl, 8));
    return {};
}

GXSheet::GXSheet() : buckets(GX_BUCKETS, nullptr)
{
    for (int i = 0; i < 3; ++i)
        pools[i].index = i;
}

GXSheet::~GXSheet()
{
    for (GXPool& p : pools)
        FreePool(&p);
    for (GXName* n = names; n;) {
        GXName* next = n->next;
        delete n;
        n = next;
    }
    for (GXName* n : kept_names)
        delete n;
}

GX_ENGINE_STATE::~GX_ENGINE_STATE()
{
    for (GXSheet* s : sheets)
        delete s;
    delete function_table;
}

GX_ENGINE_MEMOBJ_STATE::~GX_ENGINE_MEMOBJ_STATE()
{
    for (void* p : blocks)
        std::free(p);
}

GX_ENGINE_STATE* gx_engine_state() { return EngineRecord<GX_ENGINE_STATE>(kEngineSlot); }

int gx_create_sheet()
{
    auto& sheets = gx_engine_state()->sheets;
    auto it = std::find(sheets.begin(), sheets.end(), nullptr);
    size_t i = size_t(it - sheets.begin());
    if (it == sheets.end())
        sheets.push_back(nullptr);
    sheets[i] = new GXSheet;
    return int(i) + 1;
}

void gx_destroy_sheet(int handle)
{
    auto& sheets = gx_engine_state()->sheets;
    if (handle < 1 || size_t(handle) > sheets.size())
        return;
    delete sheets[size_t(handle) - 1];
    sheets[size_t(handle) - 1] = nullptr;
}

GXSheet* gx_sheet(int handle)
{
    auto& sheets = gx_engine_state()->sheets;
    if (handle < 1 || size_t(handle) > sheets.size())
        return nullptr;
    return sheets[size_t(handle) - 1];
}

GXCell* gx_find_cell(int handle, int row, int column, int* bucket)
{
    GXSheet* s = gx_sheet(handle);
    uint32_t b = Bucket(row, column);
    if (bucket)
        *bucket = int(b);
    if (!s)
        return nullptr;
    for (GXCell* c = s->buckets[b]; c; c = c->next)
        if (c->row == row && c->column == column)
            return c;
    return nullptr;
}

int gx_set_formula_cell(int handle, int row, int column, const char* text, const GXGivenValue* value)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !InBounds(row, column))
        return 0;
    auto f = std::make_unique<GXFormula>();
    if (!gx_parse_formula(handle, text, f.get()))
        return 0;
    CGXStyle* style = ReplaceCell(handle, row, column);
    GXCell* c;
    const GXNode* root = f->root >= 0 ? &f->nodes[size_t(f->root)] : nullptr;
    if (root && root->kind == gxNodeNumber && !(root->flags & GX_NODE_HEX) && f->constraint < 0 &&
        f->deps < 0 && !f->has_comment) {
        c = NewCell(s, 0, row, column, gxNumber, gxValNumber);
        c->value.number = root->number;
    } else {
        bool refs = HasReferences(*f);
        c = NewCell(s, refs ? 1 : 0, row, column, refs ? gxFormulaRefs : gxFormulaPlain, gxEmpty);
        c->formula = f.release();
        c->stamp = s->recalc_stamp;
        if (value && refs) {
            if (value->kind == gxValNumber) {
                c->value.number = value->number;
                c->flags |= uint32_t(gxValNumber) << 4;
            } else if (value->kind == gxLongText || value->kind == gxShortText) {
                SetTextValue(c, value->text);
            }
            if (c->Kind() != gxEmpty)
                c->flags |= GX_CELL_VISITED | GX_CELL_CHANGED;
        }
    }
    c->style = style;
    gx_insert_cell(handle, c);
    if (c->Type() == gxFormulaPlain)
        gx_evaluate_cell(handle, c);
    RecordCell(handle, c);
    return 1;
}

int gx_set_number_cell(int handle, int row, int column, double number)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !InBounds(row, column))
        return 0;
    CGXStyle* style = ReplaceCell(handle, row, column);
    GXCell* c = NewCell(s, 0, row, column, gxNumber, gxValNumber);
    c->value.number = number;
    c->style = style;
    gx_insert_cell(handle, c);
    RecordCell(handle, c);
    return 1;
}

int gx_set_text_cell(int handle, int row, int column, const char* text)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !InBounds(row, column))
        return 0;
    std::string decoded;
    gx_unescape_text(decoded, text ? text : "");
    decoded.resize(strnlen(decoded.c_str(), decoded.size()));
    CGXStyle* style = ReplaceCell(handle, row, column);
    GXCell* c = NewCell(s, 0, row, column, gxText, gxEmpty);
    SetTextValue(c, decoded);
    c->style = style;
    gx_insert_cell(handle, c);
    RecordCell(handle, c);
    return 1;
}

int gx_set_plain_text_cell(int handle, int row, int column, const char* text)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !InBounds(row, column))
        return 0;
    CGXStyle* style = ReplaceCell(handle, row, column);
    GXCell* c = NewCell(s, 0, row, column, gxText, gxEmpty);
    SetTextValue(c, text ? text : "");
    c->style = style;
    gx_insert_cell(handle, c);
    RecordCell(handle, c);
    return 1;
}

int gx_insert_cell(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell)
        return 0;
    uint32_t b = Bucket(cell->row, cell->column);
    cell->next = s->buckets[b];
    s->buckets[b] = cell;
    cell->flags |= GX_CELL_STORED;
    ++s->cell_count;
    GrowCounts(s->row_counts, size_t(cell->row));
    GrowCounts(s->col_counts, size_t(cell->column) + 1);
    ++s->row_counts[size_t(cell->row) - 1];
    ++s->col_counts[size_t(cell->column)];
    if (!s->extent_valid) {
        s->top = s->bottom = cell->row;
        s->left = s->right = cell->column;
        s->extent_valid = 1;
    } else {
        s->top = std::min(s->top, cell->row);
        s->bottom = std::max(s->bottom, cell->row);
        s->left = std::min(s->left, cell->column);
        s->right = std::max(s->right, cell->column);
    }
    s->dirty = 1;
    gx_deps_inserted(s, cell);
    return 1;
}

void gx_unlink_cell(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell || !cell->Stored())
        return;
    gx_deps_unlinked(s, cell);
    for (GXCell** pp = &s->buckets[Bucket(cell->row, cell->column)]; *pp; pp = &(*pp)->next)
        if (*pp == cell) {
            *pp = cell->next;
            break;
        }
    cell->next = nullptr;
    cell->flags &= ~GX_CELL_STORED;
    --s->cell_count;
    uint32_t& rc = s->row_counts[size_t(cell->row) - 1];
    uint32_t& cc = s->col_counts[size_t(cell->column)];
    --rc;
    --cc;
    if (s->extent_valid && rc == 0 && !ShrinkEdge(s->row_counts, 1, s->top, s->bottom, cell->row))
        s->extent_valid = 0;
    if (s->extent_valid && cc == 0 && !ShrinkEdge(s->col_counts, 0, s->left, s->right, cell->column))
        s->extent_valid = 0;
    s->dirty = 1;
}

void gx_remove_cell(int handle, GXCell* cell)
{
    if (!cell)
        return;
    gx_unlink_cell(handle, cell);
    FreeCell(cell);
}

CGXStyle* gx_take_cell_style(GXCell* cell)
{
    if (!cell)
        return nullptr;
    CGXStyle* s = cell->style;
    cell->style = nullptr;
    return s;
}

GXCell* gx_new_style_cell(int handle, int row, int column)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !InBounds(row, column))
        return nullptr;
    GXCell* c = NewCell(s, 2, row, column, gxStyleOnly, gxEmpty);
    gx_insert_cell(handle, c);
    return c;
}

GXCell* gx_dup_cell(int handle, const GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell)
        return nullptr;
    GXPool* pool = BlockOf(const_cast<GXCell*>(cell))->pool;
    GXCell* c = AllocCell(&s->pools[pool->index]);
    uint32_t slotBits = c->flags;
    *c = *cell;
    c->next = nullptr;
    c->walk = 0;
    c->flags = (cell->flags & ~(GX_CELL_STORED | GX_CELL_REACHED | (0x3Fu << 9))) | slotBits;
    c->style = nullptr;
    c->formula = nullptr;
    if (cell->Kind() == gxLongText) {
        c->flags &= ~0xF0u;  // owns nothing until the copy is made
        SetTextValue(c, cell->value.text);
    }
    if (cell->style)
        c->style = cell->style->Clone();
    if (cell->formula)
        c->formula = new GXFormula(*cell->formula);
    return c;
}

GXCell* gx_new_cell(int handle, int row, int column, int type, int kind)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !InBounds(row, column))
        return nullptr;
    const int pool = type == gxStyleOnly ? 2 : type == gxFormulaRefs ? 1 : 0;
    return NewCell(s, pool, row, column, type, kind);
}

void gx_set_cell_text(GXCell* cell, const std::string& text)
{
    if (cell)
        SetTextValue(cell, text);
}

void gx_place_cell(GXCell* cell, int row, int column)
{
    if (cell && !cell->Stored()) {
        cell->row = row;
        cell->column = column;
    }
}

int gx_cell_count(int handle, int pool_mask)
{
    GXSheet* s = gx_sheet(handle);
    int n = 0;
    for (int i = 0; s && i < 3; ++i)
        if (pool_mask & (1 << i))
            n += s->pools[i].count;
    return n;
}

int gx_get_extent(int handle, GXRange* range)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !s->extent_valid || !s->cell_count)
        return 0;
    return gx_make_range(range, s->top, s->left, s->bottom, s->right, 0);
}

int gx_clip_to_extent(int handle, GXRange* range)
{
    GXRange e;
    if (!gx_get_extent(handle, &e))
        return 0;
    int top = std::max(range->Top(), e.Top()), bottom = std::min(range->Single() ? range->Top() : range->Bottom(), e.Bottom());
    int left = std::max(range->Left(), e.Left()), right = std::min(range->Single() ? range->Left() : range->Right(), e.Right());
    if (top > bottom || left > right)
        return 0;
    return gx_make_range(range, top, left, bottom, right, 0);
}

void gx_range_iter_init(int handle, const GXRange& range, GXRangeIter* it, int pool_mask)
{
    *it = GXRangeIter{};
    it->sheet = gx_sheet(handle);
    it->range = range;
    if (range.Single()) {
        it->range.bottom = range.top;
        it->range.cols = (range.cols & ~(0x1FFFu << 15)) | uint32_t(range.Left()) << 15;
    }
    it->pool_mask = pool_mask & GX_POOL_ALL;
    if (!it->sheet)
        return;
    it->done = 0;
    // A whole-sheet rectangle holds 3.4e10 places: count in 64 bits.
    int64_t places = int64_t(it->range.Bottom() - it->range.Top() + 1) * int64_t(it->range.Right() - it->range.Left() + 1);
    it->probing = places < gx_cell_count(handle, it->pool_mask);
    it->row = it->range.Top();
    it->column = it->range.Left();
    it->pool = -1;
}

GXCell* gx_range_iter_next(GXRangeIter* it)
{
    if (it->done)
        return nullptr;
    GXSheet* s = it->sheet;
    const GXRange& r = it->range;
    if (it->probing) {
        while (it->column <= r.Right()) {
            int row = it->row, col = it->column;
            if (++it->row > r.Bottom()) {
                it->row = r.Top();
                ++it->column;
            }
            for (GXCell* c = s->buckets[Bucket(row, col)]; c; c = c->next)
                if (c->row == row && c->column == col) {
                    if (it->pool_mask & (1 << BlockOf(c)->pool->index))
                        return c;
                    break;
                }
        }
        it->done = 1;
        return nullptr;
    }
    for (;;) {
        if (!it->block) {
            do
                ++it->pool;
            while (it->pool < 3 && !(it->pool_mask & (1 << it->pool)));
            if (it->pool >= 3) {
                it->done = 1;
                return nullptr;
            }
            it->block = s->pools[it->pool].first;
            it->slot = 0;
            continue;
        }
        if (it->slot >= 32) {
            it->block = it->block->next;
            it->slot = 0;
            continue;
        }
        int i = it->slot++;
        if (!(it->block->mask & (1u << i)))
            continue;
        GXCell* c = &it->block->slots[i];
        if (c->Stored() && c->row >= r.Top() && c->row <= r.Bottom() && c->column >= r.Left() && c->column <= r.Right())
            return c;
    }
}

void gx_pool_iter_init(GXPool* pool, GXPoolIter* it)
{
    it->block = pool ? pool->first : nullptr;
    it->slot = 0;
}

GXCell* gx_pool_iter_next(GXPoolIter* it)
{
    while (it->block) {
        if (it->slot >= 32) {
            it->block = it->block->next;
            it->slot = 0;
            continue;
        }
        int i = it->slot++;
        if (it->block->mask & (1u << i))
            return &it->block->slots[i];
    }
    return nullptr;
}

int gx_begin_iteration(int handle, int pool_mask)
{
    GXSheet* s = gx_sheet(handle);
    int set = 0;
    for (int i = 0; s && i < 3; ++i)
        if ((pool_mask & (1 << i)) && !s->pools[i].iterating) {
            s->pools[i].iterating = 1;
            set |= 1 << i;
        }
    return set;
}

void gx_end_iteration(int handle, int pools)
{
    GXSheet* s = gx_sheet(handle);
    for (int i = 0; s && i < 3; ++i)
        if (pools & (1 << i))
            EndPool(&s->pools[i]);
}

namespace {
int SetOption(int handle, int GXSheet::*field, int v, int max)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || v < 0 || v > max)
        return 0;
    s->*field = v;
    return 1;
}
int GetOption(int handle, int GXSheet::*field)
{
    GXSheet* s = gx_sheet(handle);
    return s ? s->*field : 0;
}
}  // namespace

int gx_set_manual_recalc(int h, int v) { return SetOption(h, &GXSheet::manual_recalc, v, 1); }
int gx_get_manual_recalc(int h) { return GetOption(h, &GXSheet::manual_recalc); }
int gx_set_recalc_method(int h, int v) { return SetOption(h, &GXSheet::recalc_method, v, 1); }
int gx_get_recalc_method(int h) { return GetOption(h, &GXSheet::recalc_method); }
int gx_set_constraint_check(int h, int v) { return SetOption(h, &GXSheet::constraint_check, v, 1); }
int gx_get_constraint_check(int h) { return GetOption(h, &GXSheet::constraint_check); }
int gx_set_blank_is_zero(int h, int v) { return SetOption(h, &GXSheet::blank_is_zero, v, 1); }
int gx_get_blank_is_zero(int h) { return GetOption(h, &GXSheet::blank_is_zero); }
int gx_set_iterations(int h, int v) { return SetOption(h, &GXSheet::iterations, v, 100); }
int gx_get_iterations(int h) { return GetOption(h, &GXSheet::iterations); }

void gx_set_last_error_code(int code) { gx_engine_state()->last_error_code = code; }
int gx_get_last_error_code() { return gx_engine_state()->last_error_code; }
void gx_set_error_position(int position) { gx_engine_state()->last_error_position = position; }
int gx_get_error_position() { return gx_engine_state()->last_error_position; }
void gx_set_error_flag(int flag) { gx_engine_state()->last_error_flag = flag; }

namespace {
GX_ENGINE_MEMOBJ_STATE* MemState() { return EngineRecord<GX_ENGINE_MEMOBJ_STATE>(kMemSlot); }
}  // namespace

void* gx_mem_track(void* block)
{
    if (!block)
        return nullptr;
    auto& v = MemState()->blocks;
    v.insert(std::lower_bound(v.begin(), v.end(), block), block);
    return block;
}

void gx_mem_free(void* block)
{
    if (!block)
        return;
    auto& v = MemState()->blocks;
    auto it = std::lower_bound(v.begin(), v.end(), block);
    if (it != v.end() && *it == block)
        v.erase(it);
    std::free(block);
}

char* gx_strdup(const char* text)
{
    if (!text)
        return nullptr;
    size_t n = std::strlen(text) + 1;
    char* p = static_cast<char*>(std::malloc(n));
    if (!p)
        throw std::bad_alloc();
    std::memcpy(p, text, n);
    return static_cast<char*>(gx_mem_track(p));
}

char* gx_strdup8(const char* text)
{
    char* p = static_cast<char*>(std::calloc(1, 9));
    if (!p)
        throw std::bad_alloc();
    if (text)
        std::memcpy(p, text, strnlen(text, 8));
    return static_cast<char*>(gx_mem_track(p));
}
