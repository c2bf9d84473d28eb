#pragma once
// The evaluator: operands, the 27 operators, function calls and cell values. A raised error
// unwinds to the evaluation entry, which turns it into an error value.

#include <string>
#include <vector>

#include "grid/formula/gxengine.h"
#include "grid/formula/gxparse.h"

enum GXValueType { gxvNumber = 0, gxvText, gxvRange, gxvCellRef, gxvUnevaluated, gxvNotAvailable, gxvError };

struct GXValue {
    int type = gxvNumber;
    double number = 0;
    std::string text;
    GXRange range;                       // range and cell reference
    const GXFormula* formula = nullptr;  // unevaluated argument: its formula and node
    int node = -1;
    int code = 0;                        // error
    const char* extra = nullptr;

    static GXValue Number(double v) { GXValue r; r.number = v; return r; }
    static GXValue Text(std::string t) { GXValue r; r.type = gxvText; r.text = std::move(t); return r; }
    static GXValue Error(int c, const char* x = nullptr) { GXValue r; r.type = gxvError; r.code = c; r.extra = x; return r; }
    static GXValue NotAvailable() { GXValue r; r.type = gxvNotAvailable; return r; }
};

// What a raise carries to the evaluation entry.
struct GXRaised {
    int code;
    const char* extra;
};

class GX_EVAL_STATE : public CGXEngineStateBase {
public:
    struct Record {
        int handle = 0;
        int function = 0;
        const GXFormula* frame = nullptr;
        int row = 0;
        int column = 0;
        int code = 0;
        const char* extra = nullptr;
        std::vector<GXValue>* args = nullptr;
    } s;
};

GX_EVAL_STATE* gx_eval_state();

GXValue gx_eval_expression(int handle, int row, int column, const GXFormula& formula, int root);
[[noreturn]] void gx_raise(int code, const char* extra = nullptr);
GXValue gx_fetch_operand(const GXFormula& f, int node, int keep = 0);
GXValue gx_apply_operator(const GXFormula& f, int node);
GXValue gx_call_function(const GXFormula& f, int node, int keep = 0);
int gx_deref(GXValue& value);
double gx_to_number(GXValue& value);
int32_t gx_to_integer(GXValue& value);
int gx_compare_texts(const std::string& a, const std::string& b);
// The cell value kind for a result, with the payload left in the value.
int gx_result_to_cell_value(GXValue& value);
void gx_evaluate_cell(int handle, GXCell* cell);
void gx_error_message(int handle, GXCell* cell);
// The range a named entry stands for; false when its place has been removed.
bool gx_name_range(const GXName* entry, GXRange* range);
// The reference of a cell, range, named-cell or named-range node; false for other nodes.
bool gx_node_reference(const GXNode& node, GXRange* range);
