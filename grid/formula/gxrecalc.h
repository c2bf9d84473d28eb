#pragma once
// Recalculation: which formula cells a change reaches, bringing them up to date after their
// precedents, cycles, iteration and constraints.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "grid/formula/gxengine.h"

// Formula cells by the places their references name, so that a change finds its dependents
// without visiting every formula. Cell references are kept by place; range references by the
// tiles they cover (small tiles, then large ones), and the widest in one list.
class GXDepIndex {
public:
    bool valid = false;

    void Build(GXSheet* sheet);
    void Add(GXCell* cell);
    void Remove(GXCell* cell);
    // Calls fn for every indexed cell with a reference that overlaps the range (possibly twice).
    template <class Fn>
    void Query(const GXRange& range, Fn&& fn) const;

private:
    struct Entry {
        GXRange range;
        GXCell* cell;
    };
    struct Level {
        int rowShift;
        int colShift;
        std::unordered_map<uint64_t, std::vector<Entry>> tiles;
    };
    static constexpr int kMaxTiles = 64;

    template <class Fn>
    static void ForEachReference(const GXCell* cell, Fn&& fn);
    void Change(GXCell* cell, bool add);

    std::unordered_map<uint64_t, std::vector<GXCell*>> single_;
    Level levels_[2] = {{6, 4, {}}, {12, 8, {}}};
    std::vector<Entry> wide_;
};

// Keeps a sheet's index in step with the cells stored in it.
void gx_deps_inserted(GXSheet* sheet, GXCell* cell);
void gx_deps_unlinked(GXSheet* sheet, GXCell* cell);
// References changed in place: the index is rebuilt when next needed.
void gx_deps_invalidate(int handle);

void gx_recalc_cell(int handle, GXCell* cell);
int gx_recalc_pass(int handle);
int gx_recalc_sheet(int handle);
int gx_recalc_sheet_forced(int handle);
int gx_check_constraint(int handle, GXCell* cell);
int gx_count_violations(int handle, int pool);
void gx_record_changed_range(int handle, const GXRange& range);
void gx_clear_changed_ranges(int handle);
int gx_cell_is_affected(int handle, GXCell* cell);

// Sheet flags.
constexpr int GX_SHEET_RECALCULATING = 1, GX_SHEET_FORCED = 2, GX_SHEET_ITERATING = 64;
