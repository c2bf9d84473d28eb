#pragma once
// Formula scanner, parser and writer: a formula text compiles into an array of nodes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/formula/gxengine.h"

// Argument descriptor: bit 0 passed unevaluated; bits 1-2 0 required, 1 optional,
// 2 repeating (serves every further argument), 3 passed over.
struct GXArgDesc {
    uint16_t conversion = 0;
    uint32_t flags = 0;
};
constexpr uint32_t GX_ARG_UNEVALUATED = 1, GX_ARG_OPTIONAL = 2, GX_ARG_REPEATING = 4, GX_ARG_SKIPPED = 6, GX_ARG_KIND = 6;

struct GXValue;
// A function's call operation: the result, from the argument frame.
using GXCallFn = void (*)(GXValue& result, std::vector<GXValue>& args);

struct GXFunctionDesc {
    const char* name = "";
    int id = 0;
    int suppress = 0;
    std::vector<GXArgDesc> args;
    GXCallFn call = nullptr;
};

class GXFunctionTable {
public:
    virtual ~GXFunctionTable() = default;
    virtual const GXFunctionDesc* Lookup(const std::string& upperName) const = 0;
};

// The table beside the engine: NA and SUM.
std::unique_ptr<GXFunctionTable> gx_new_standard_function_table();
// Installs a table in the engine state (the former one is deleted); null removes it.
void gx_set_function_table(GXFunctionTable* table);

enum GXNodeKind {
    gxNodeOperator = 0, gxNodeNumber, gxNodeString, gxNodeCell, gxNodeRange, gxNodeName,
    gxNodeNamedCell, gxNodeNamedRange, gxNodeCall, gxNodeArg, gxNodeCurrent, gxNodePair,
};
constexpr uint8_t GX_NODE_PAREN = 1, GX_NODE_HEX = 2, GX_NODE_UNEVALUATED = 4, GX_NODE_NODEP = 16;

struct GXNode {
    uint8_t kind = 0;
    uint8_t flags = 0;
    int16_t first = -1;
    int16_t next = -1;
    int op = 0;                    // operator code
    double number = 0;
    std::string text;              // string or name
    GXRange range;
    const GXFunctionDesc* func = nullptr;
    const void* named = nullptr;
    int16_t prev = -1;             // argument link: node before it; pair: its "?" operator
    uint16_t conversion = 0;
    int16_t row_offset = -1, col_offset = -1;
    bool operator==(const GXNode&) const = default;
};

struct GXFormula {
    int16_t root = -1;
    int16_t constraint = -1;
    int16_t deps = -1;
    std::vector<GXNode> nodes;
    bool has_comment = false;
    std::string comment;
};

constexpr int GX_MAX_NODES = 200;

int gx_parse_formula(int handle, const char* text, GXFormula* formula);
void gx_formula_to_text(int handle, const GXFormula& formula, std::string& out);
void gx_node_to_text(const GXFormula& formula, int node, std::string& out);
void gx_function_name_text(const GXFunctionDesc* desc, std::string& out);
// True when a formula can name the text: it scans as one name token, not a cell or a range.
bool gx_scans_as_name(const std::string& text);
