#pragma once
// Named cells and ranges, and the range operations that keep references right when cells
// are cleared, copied and moved and rows and columns are inserted, removed and moved.

#include <string>

#include "grid/formula/gxengine.h"

struct GXName {
    GXName* next = nullptr;
    std::string name;
    GXRange range;  // all zero once the cells it named have been removed
};

constexpr size_t GX_MAX_NAME = 31;

int gx_define_name(int handle, const char* name, const GXRange& range);
GXName* gx_find_name(int handle, const char* name, GXRange* range);
int gx_delete_name(int handle, const char* name);
void gx_restore_name(int handle, GXName* entry);
void gx_free_names(int handle);
void gx_shift_names(int handle, const GXRange& range, int rowDelta, int colDelta);
void gx_permute_names(int handle, const GXRange& span, bool byRows, int first, int last, int destination);
GXRange gx_dest_range(const GXRange& source, int top, int left);
int gx_clear_range(int handle, const GXRange& range);
int gx_copy_range(int handle, const GXRange& source, int top, int left, int quiet);
int gx_move_range(int handle, const GXRange& source, int top, int left, int keepNames);
int gx_insert_rows(int handle, int before, int count);
int gx_insert_cols(int handle, int before, int count);
int gx_remove_rows(int handle, int first, int count);
int gx_remove_cols(int handle, int first, int count);
int gx_move_rows(int handle, int first, int last, int destination);
int gx_move_cols(int handle, int first, int last, int destination);
void gx_push_snapshot(int handle, GXCell* cell);
// Hands the undo snapshot list to the caller (cells linked through next, not stored).
GXCell* gx_take_snapshots(int handle);
