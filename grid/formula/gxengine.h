#pragma once
// The formula engine: a procedural module over 1-based integer sheet handles. Every sheet
// keeps its cells in a hash table and in three block pools; failures are reported by
// returning 0 (or -1 for look-ups), never by a message box.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "grid/core/gxlibdata.h"

class CGXStyle;
struct GXFormula;
class GXFunctionTable;
struct GXName;
class GXDepIndex;

constexpr int GX_MAX_ROW = 8388607;
constexpr int GX_MAX_COL = 4095;
constexpr int GX_BUCKETS = 32749;

// Packed range record: rows in bits 0-23 of the first two words; the third holds both
// columns, the four absolute bits and the single-cell bit.
struct GXRange {
    uint32_t top = 0;
    uint32_t bottom = 0;
    uint32_t cols = 0;

    int Top() const { return int(top & 0xFFFFFF); }
    int Bottom() const { return int(bottom & 0xFFFFFF); }
    int Left() const { return int(cols & 0x1FFF); }
    int Right() const { return int((cols >> 15) & 0x1FFF); }
    bool AbsRow1() const { return cols & (1u << 13); }
    bool AbsCol1() const { return cols & (1u << 14); }
    bool AbsRow2() const { return cols & (1u << 28); }
    bool AbsCol2() const { return cols & (1u << 29); }
    bool Single() const { return cols & (1u << 30); }
    bool operator==(const GXRange&) const = default;
};
struct GXRangeHash {
    size_t operator()(const GXRange& r) const noexcept
    {
        return size_t((uint64_t(r.top) << 32 | r.bottom) ^ (uint64_t(r.cols) * 0x9E3779B97F4A7C15ull));
    }
};
constexpr uint32_t GX_RANGE_ABSROW1 = 1u << 13, GX_RANGE_ABSCOL1 = 1u << 14;
constexpr uint32_t GX_RANGE_ABSROW2 = 1u << 28, GX_RANGE_ABSCOL2 = 1u << 29, GX_RANGE_SINGLE = 1u << 30;

// Cell types (flags bits 0-3) and value kinds (bits 4-7).
enum GXCellType { gxStyleOnly = 0, gxNumber = 1, gxText = 2, gxFormulaRefs = 3, gxFormulaPlain = 4 };
enum GXValueKind { gxEmpty = 0, gxNotAvailable = 1, gxError = 2, gxValNumber = 3, gxLongText = 4, gxShortText = 5 };
constexpr uint32_t GX_CELL_STORED = 1u << 8;
constexpr uint32_t GX_CELL_NEEDS_RECALC = 1u << 15, GX_CELL_VISITED = 1u << 16, GX_CELL_EVALUATING = 1u << 17;
constexpr uint32_t GX_CELL_CHANGED = 1u << 18, GX_CELL_CYCLE = 1u << 19, GX_CELL_CONSTRAINT = 1u << 20;
// Engine-internal: the cell is in the set a recalculation pass reaches.
constexpr uint32_t GX_CELL_REACHED = 1u << 21;

struct GXCell {
    GXCell* next;
    int row;
    int column;
    union {
        double number;
        char* text;      // long text, owned
        char inl[8];     // short text, zero padded, no terminator when 8 long
        struct { int code; int position; } error;
    } value;
    GXFormula* formula;
    int stamp;
    uint32_t flags;
    CGXStyle* style;
    int walk;  // order of the cell in a running recalculation walk while its cycle is open, else 0

    int Type() const { return int(flags & 0xF); }
    int Kind() const { return int((flags >> 4) & 0xF); }
    int Slot() const { return int((flags >> 9) & 0x3F); }
    bool Stored() const { return flags & GX_CELL_STORED; }
    // The text of a text value (short or long); empty for other kinds.
    std::string Text() const;
};

struct GXPool;
struct GXBlock {
    uint32_t mask;
    GXBlock* next;
    GXBlock* prev;
    GXPool* pool;
    int needs_compaction;
    GXCell slots[32];
};

struct GXPool {
    GXBlock* first = nullptr;
    GXBlock* last = nullptr;
    int count = 0;
    int iterating = 0;
    int needs_compaction = 0;
    int index = 0;  // 0 value, 1 formula, 2 style
};

constexpr int GX_POOL_VALUE = 1, GX_POOL_FORMULA = 2, GX_POOL_STYLE = 4, GX_POOL_ALL = 7;

struct GXSheet {
    GXSheet();
    ~GXSheet();
    GXSheet(const GXSheet&) = delete;
    GXSheet& operator=(const GXSheet&) = delete;

    std::vector<GXCell*> buckets;
    GXPool pools[3];
    int cell_count = 0;
    int dirty = 0;
    std::vector<uint32_t> row_counts;  // by row - 1
    std::vector<uint32_t> col_counts;  // by column
    int top = 0, bottom = 0, left = 0, right = 0;
    int extent_valid = 0;
    int manual_recalc = 0;
    int recalc_method = 0;
    int constraint_check = 0;
    int iterations = 0;
    int blank_is_zero = 0;
    int recalc_stamp = 0;
    int flags = 0;
    int cycle_found = 0;
    int undo_recording = 0;
    int message_free = 0;
    std::string message;
    void* owner = nullptr;

    // Changed ranges since the last recalculation, in order, with a set for look-ups.
    std::vector<GXRange> changed;
    std::unordered_set<GXRange, GXRangeHash> changed_keys;
    GXName* names = nullptr;
    std::vector<GXName*> kept_names;  // deleted while undo was recorded
    GXCell* snapshots = nullptr;      // undo snapshot list, linked through next
    std::unique_ptr<GXDepIndex> deps;  // formula cells by the places they refer to
};

class GX_ENGINE_STATE : public CGXEngineStateBase {
public:
    ~GX_ENGINE_STATE() override;
    int last_error_flag = 0;
    int last_error_code = 0;
    int last_error_position = 0;
    char scratch[64] = {};
    std::vector<GXSheet*> sheets;
    GXFunctionTable* function_table = nullptr;
};

class GX_EVAL_STATE;

// The record of blocks allocated for the engine; what is left at exit is freed.
class GX_ENGINE_MEMOBJ_STATE : public CGXEngineStateBase {
public:
    ~GX_ENGINE_MEMOBJ_STATE() override;
    std::vector<void*> blocks;  // kept sorted
};

GX_ENGINE_STATE* gx_engine_state();
GX_EVAL_STATE* gx_eval_state();

int gx_create_sheet();
void gx_destroy_sheet(int handle);
GXSheet* gx_sheet(int handle);

GXCell* gx_find_cell(int handle, int row, int column, int* bucket = nullptr);
// A given value for a formula cell: kind gxValNumber with number, or a text kind with text.
struct GXGivenValue {
    int kind = gxEmpty;
    double number = 0;
    std::string text;
};
int gx_set_formula_cell(int handle, int row, int column, const char* text, const GXGivenValue* value = nullptr);
int gx_set_number_cell(int handle, int row, int column, double number);
int gx_set_text_cell(int handle, int row, int column, const char* text);
// Typed text: stored as given, whole (no escapes decoded).
int gx_set_plain_text_cell(int handle, int row, int column, const char* text);
int gx_insert_cell(int handle, GXCell* cell);
void gx_unlink_cell(int handle, GXCell* cell);
void gx_remove_cell(int handle, GXCell* cell);
CGXStyle* gx_take_cell_style(GXCell* cell);
GXCell* gx_new_style_cell(int handle, int row, int column);
// A copy of a cell (style, formula and text duplicated) in the cell's pool, not stored.
GXCell* gx_dup_cell(int handle, const GXCell* cell);
// A new empty cell, not stored, in the pool its type belongs to (0 the style pool, 3 the formula
// pool, any other the value pool); null for bad bounds.
GXCell* gx_new_cell(int handle, int row, int column, int type, int kind);
// Gives a cell that holds no long text a text value (long or short kind by length).
void gx_set_cell_text(GXCell* cell, const std::string& text);
// Moves a cell that is not stored to another place (no bounds check).
void gx_place_cell(GXCell* cell, int row, int column);
int gx_cell_count(int handle, int pool_mask);
int gx_get_extent(int handle, GXRange* range);
int gx_clip_to_extent(int handle, GXRange* range);

struct GXRangeIter {
    GXSheet* sheet = nullptr;
    GXRange range;
    int pool_mask = 0;
    int probing = 0;
    int row = 0, column = 0;   // next place to probe
    int pool = 0;              // pool being walked
    GXBlock* block = nullptr;
    int slot = 0;
    int done = 1;
};
void gx_range_iter_init(int handle, const GXRange& range, GXRangeIter* it, int pool_mask);
GXCell* gx_range_iter_next(GXRangeIter* it);

struct GXPoolIter {
    GXBlock* block = nullptr;
    int slot = 0;
};
void gx_pool_iter_init(GXPool* pool, GXPoolIter* it);
GXCell* gx_pool_iter_next(GXPoolIter* it);

int gx_begin_iteration(int handle, int pool_mask);
void gx_end_iteration(int handle, int pools);

int gx_set_manual_recalc(int handle, int v);
int gx_get_manual_recalc(int handle);
int gx_set_recalc_method(int handle, int v);
int gx_get_recalc_method(int handle);
int gx_set_constraint_check(int handle, int v);
int gx_get_constraint_check(int handle);
int gx_set_blank_is_zero(int handle, int v);
int gx_get_blank_is_zero(int handle);
int gx_set_iterations(int handle, int v);
int gx_get_iterations(int handle);

void gx_set_last_error_code(int code);
int gx_get_last_error_code();
void gx_set_error_position(int position);
int gx_get_error_position();
void gx_set_error_flag(int flag);

void* gx_mem_track(void* block);
void gx_mem_free(void* block);
char* gx_strdup(const char* text);
char* gx_strdup8(const char* text);
