#pragma once
// Column names, cell and range references, and the escaped form of texts in formulas.

#include <string>
#include <string_view>

#include "grid/formula/gxengine.h"

const char* gx_col_name(int column);
int gx_letter_value(int ch);
int gx_parse_col(const char* text);
int gx_parse_range(const char* text, GXRange* range);
int gx_parse_range(std::string_view text, GXRange* range);
const char* gx_range_to_text(const GXRange& range);
std::string gx_range_string(const GXRange& range);
int gx_normalize_range(GXRange* range);
int gx_ranges_overlap(const GXRange& a, const GXRange& b);
int gx_ranges_equal(const GXRange& a, const GXRange& b);
constexpr int GX_MAKE_SINGLE = 1, GX_MAKE_ABSROW1 = 2, GX_MAKE_ABSCOL1 = 4, GX_MAKE_ABSROW2 = 8, GX_MAKE_ABSCOL2 = 16;
int gx_make_range(GXRange* range, int top, int left, int bottom, int right, int flags);
void gx_escape_text(std::string& out, std::string_view text, bool quote);
void gx_unescape_text(std::string& out, std::string_view text);
int gx_hex_digit(int ch);
