#include "grid/formula/gxeval.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "grid/formula/gxerror.h"
#include "grid/formula/gxname.h"
#include "grid/formula/gxref.h"

namespace {

// Error codes the evaluator raises or stores.
enum {
    kErrEmptyCell = 60, kErrMath = 70, kErrInvalidRef = 89, kErrAndOperand = 91, kErrBadCellRef = 110,
    kErrRemainderZero = 122, kErrNotNumeric = 128, kErrErrorCell = 133, kErrIntRange = 136,
    kErrMixedTypes = 140, kErrRangeOperands = 141, kErrRangeResult = 149, kErrTextTooLong = 150,
    kErrUnresolvedName = 283, kErrInternal = 284,
};
constexpr size_t kMaxTextChars = 511;
constexpr size_t kMaxArgs = 101;

const GXNode& NodeAt(const GXFormula& f, int node)
{
    if (node < 0 || size_t(node) >= f.nodes.size())
        gx_raise(kErrInternal);
    return f.nodes[size_t(node)];
}

int Handle() { return gx_eval_state()->s.handle; }

size_t CharCount(const std::string& s)
{
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

GXValue CellValue(int handle, const GXCell* c, bool inEval)
{
    GXSheet* s = gx_sheet(handle);
    switch (c ? c->Kind() : gxEmpty) {
    case gxNotAvailable:
        return GXValue::NotAvailable();
    case gxError:
        if (inEval)
            gx_raise(kErrErrorCell);
        return GXValue::Error(kErrEmptyCell);
    case gxValNumber:
        return GXValue::Number(c->value.number);
    case gxLongText:
    case gxShortText:
        return GXValue::Text(c->Text());
    default:
        if (s && s->blank_is_zero)
            return GXValue::Number(0);
        return GXValue::Error(kErrEmptyCell);
    }
}

// gx_deref with the sheet and whether an evaluation is running.
int Deref(int handle, GXValue& v, bool inEval)
{
    if (v.type == gxvCellRef)
        v = CellValue(handle, gx_find_cell(handle, v.range.Top(), v.range.Left()), inEval);
    else if (v.type == gxvError && inEval)
        gx_raise(v.code, v.extra);
    return v.type == gxvNumber || v.type == gxvText || v.type == gxvError;
}

// Both operands of a binary operator, dereferenced; an operand that is no scalar raises code.
void ScalarOperands(const GXFormula& f, const GXNode& n, int code, GXValue& a, GXValue& b)
{
    a = gx_fetch_operand(f, n.first);
    b = gx_fetch_operand(f, n.next);
    if (!gx_deref(a) || !gx_deref(b))
        gx_raise(code);
    if (a.type == gxvError)
        gx_raise(a.code, a.extra);
    if (b.type == gxvError)
        gx_raise(b.code, b.extra);
}

GXValue Compare(const GXFormula& f, const GXNode& n)
{
    // The codes raised for an operand that is no scalar, by operator 17-22.
    static const int kNotScalar[] = {94, 90, 93, 96, 92, 95};
    GXValue a, b;
    ScalarOperands(f, n, kNotScalar[n.op - 17], a, b);
    int c;
    if (a.type != b.type)
        c = a.type == gxvText ? -1 : 1;  // every text ranks below every number
    else if (a.type == gxvText)
        c = gx_compare_texts(a.text, b.text);
    else
        c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    bool r = false;
    switch (n.op) {
    case 17: r = a.type == b.type && c == 0; break;
    case 18: r = a.type != b.type || c != 0; break;
    case 19: r = c < 0; break;
    case 20: r = c > 0; break;
    case 21: r = c <= 0; break;
    default: r = c >= 0; break;
    }
    return GXValue::Number(r ? 1 : 0);
}

GXValue Join(const GXFormula& f, const GXNode& n)
{
    GXValue a, b;
    ScalarOperands(f, n, kErrAndOperand, a, b);
    if (a.type != b.type)
        gx_raise(kErrMixedTypes);
    if (a.type == gxvNumber)
        return GXValue::Number(double(gx_to_integer(a) & gx_to_integer(b)));
    if (CharCount(a.text) + CharCount(b.text) > kMaxTextChars)
        gx_raise(kErrTextTooLong);
    return GXValue::Text(a.text + b.text);
}

GXValue RangeOf(const GXFormula& f, const GXNode& n)
{
    GXValue a = gx_fetch_operand(f, n.first), b = gx_fetch_operand(f, n.next);
    if (a.type != gxvCellRef || b.type != gxvCellRef)
        gx_raise(kErrRangeOperands);
    int flags = (a.range.AbsRow1() ? GX_MAKE_ABSROW1 : 0) | (a.range.AbsCol1() ? GX_MAKE_ABSCOL1 : 0) |
                (b.range.AbsRow1() ? GX_MAKE_ABSROW2 : 0) | (b.range.AbsCol1() ? GX_MAKE_ABSCOL2 : 0);
    GXValue r;
    r.type = gxvRange;
    gx_make_range(&r.range, a.range.Top(), a.range.Left(), b.range.Top(), b.range.Left(), flags);
    return r;
}

double Checked(double r)
{
    if (!std::isfinite(r))
        gx_raise(kErrMath);
    return r;
}

GXValue Arithmetic(const GXFormula& f, const GXNode& n)
{
    auto num = [&](int node) {
        GXValue v = gx_fetch_operand(f, node);
        return gx_to_number(v);
    };
    auto integer = [&](int node) {
        GXValue v = gx_fetch_operand(f, node);
        return gx_to_integer(v);
    };
    switch (n.op) {
    case 0: { double a = num(n.first); return GXValue::Number(a + num(n.next)); }
    case 1: { double a = num(n.first); return GXValue::Number(a - num(n.next)); }
    case 2: return GXValue::Number(num(n.next));
    case 3: return GXValue::Number(-num(n.next));
    case 4: { double a = num(n.first); return GXValue::Number(a * num(n.next)); }
    case 5: {
        double a = num(n.first), b = num(n.next);
        if (b == 0)
            gx_raise(kErrMath);
        return GXValue::Number(a / b);
    }
    case 6: { double a = num(n.first); return GXValue::Number(Checked(std::pow(a, num(n.next)))); }
    case 7: {
        int32_t a = integer(n.first), b = integer(n.next);
        if (b == 0)
            gx_raise(kErrRemainderZero);
        // INT_MIN % -1 overflows in C++; its remainder is 0.
        return GXValue::Number(b == -1 ? 0 : double(a % b));
    }
    case 8: return GXValue::Number(num(n.first) != 0 && num(n.next) != 0 ? 1 : 0);
    case 9: return GXValue::Number(num(n.first) != 0 || num(n.next) != 0 ? 1 : 0);
    case 10: return GXValue::Number(num(n.next) == 0 ? 1 : 0);
    case 12: { int32_t a = integer(n.first); return GXValue::Number(double(a | integer(n.next))); }
    case 13: { int32_t a = integer(n.first); return GXValue::Number(double(a ^ integer(n.next))); }
    case 14: return GXValue::Number(double(~integer(n.next)));
    case 15: {
        uint32_t a = uint32_t(integer(n.first));
        return GXValue::Number(double(int32_t(a << (uint32_t(integer(n.next)) & 31))));
    }
    case 16: { int32_t a = integer(n.first); return GXValue::Number(double(a >> (integer(n.next) & 31))); }
    case 25: return GXValue::Number(num(n.next) * 0.01);
    default: gx_raise(kErrInternal);
    }
}

// Argument conversion before a call: references become their values, and texts numbers for
// the numeric conversion codes.
void ConvertArgument(GXValue& v, uint16_t conversion)
{
    if (conversion > 2)
        return;
    if (v.type == gxvCellRef) {
        gx_deref(v);
        if (v.type == gxvError)  // an empty cell
            gx_raise(kErrNotNumeric);
    }
    if (v.type == gxvText)
        v = GXValue::Number(std::atof(v.text.c_str()));
}

struct StateGuard {
    GX_EVAL_STATE* st;
    GX_EVAL_STATE::Record saved;
    ~StateGuard() { st->s = saved; }
};

}  // namespace

GX_EVAL_STATE* gx_eval_state()
{
    CGXEngineStateBase*& p = GXGetLibraryState().m_pEngineStates[2];
    if (!p)
        p = new GX_EVAL_STATE;
    return static_cast<GX_EVAL_STATE*>(p);
}

void gx_raise(int code, const char* extra)
{
    GX_EVAL_STATE* st = gx_eval_state();
    st->s.code = code;
    st->s.extra = extra;
    throw GXRaised{code, extra};
}

GXValue gx_eval_expression(int handle, int row, int column, const GXFormula& formula, int root)
{
    GX_EVAL_STATE* st = gx_eval_state();
    StateGuard guard{st, st->s};
    gx_set_error_flag(0);
    st->s = {};
    st->s.handle = handle;
    st->s.row = row;
    st->s.column = column;
    st->s.frame = &formula;
    GXValue v;
    int code = 0;
    try {
        v = gx_fetch_operand(formula, root);
    } catch (const GXRaised& r) {
        gx_set_error_flag(1);
        code = r.code;
        v = GXValue::Error(r.code, r.extra);
    }
    gx_set_last_error_code(code);
    return v;
}

GXValue gx_fetch_operand(const GXFormula& f, int node, int keep)
{
    const GXNode& n = NodeAt(f, node);
    GXValue v;
    switch (n.kind) {
    case gxNodeOperator:
        return gx_apply_operator(f, node);
    case gxNodeNumber:
        return GXValue::Number(n.number);
    case gxNodeString:
        return GXValue::Text(n.text);
    case gxNodeCell:
    case gxNodeRange:
        v.type = n.kind == gxNodeCell ? gxvCellRef : gxvRange;
        v.range = n.range;
        return v;
    case gxNodeName:
        gx_raise(kErrUnresolvedName);
    case gxNodeNamedCell:
    case gxNodeNamedRange:
        if (!gx_name_range(static_cast<const GXName*>(n.named), &v.range))
            return GXValue::Error(kErrInvalidRef);
        v.type = n.kind == gxNodeNamedCell ? gxvCellRef : gxvRange;
        return v;
    case gxNodeCall:
        return gx_call_function(f, node, keep);
    case gxNodeCurrent: {
        const GX_EVAL_STATE::Record& s = gx_eval_state()->s;
        long long row = s.row, col = s.column;
        auto offset = [&](int at) -> long long {
            if (at < 0)
                return 0;
            GXValue o = gx_fetch_operand(f, at);
            double d = std::trunc(gx_to_number(o));
            return std::fabs(d) < 1e12 ? (long long)d : (1LL << 40);
        };
        col += offset(n.col_offset);
        row += offset(n.row_offset);
        if (row < 1 || row > GX_MAX_ROW || col < 0 || col > GX_MAX_COL)
            gx_raise(kErrBadCellRef);
        v.type = gxvCellRef;
        gx_make_range(&v.range, int(row), int(col), 0, 0, GX_MAKE_SINGLE);
        return v;
    }
    default:
        gx_raise(kErrInternal);
    }
}

GXValue gx_apply_operator(const GXFormula& f, int node)
{
    const GXNode& n = NodeAt(f, node);
    switch (n.op) {
    case 11:
        return Join(f, n);
    case 17: case 18: case 19: case 20: case 21: case 22:
        return Compare(f, n);
    case 23: {
        GXValue c = gx_fetch_operand(f, n.first);
        const GXNode& pair = NodeAt(f, n.next);
        return gx_fetch_operand(f, gx_to_number(c) != 0 ? pair.first : pair.next);
    }
    case 24:
        return RangeOf(f, n);
    case 26:
        return GXValue::Error(kErrInvalidRef);
    default:
        return Arithmetic(f, n);
    }
}

GXValue gx_call_function(const GXFormula& f, int node, int /*keep*/)
{
    const GXNode& n = NodeAt(f, node);
    const GXFunctionDesc* d = n.func;
    if (!d)
        gx_raise(kErrInternal);
    GX_EVAL_STATE* st = gx_eval_state();
    int outerFunction = st->s.function;
    std::vector<GXValue>* outerArgs = st->s.args;
    st->s.function = d->id;
    std::vector<GXValue> args;
    for (int l = n.next; l >= 0; l = NodeAt(f, l).next) {
        const GXNode& link = NodeAt(f, l);
        if (args.size() >= kMaxArgs)
            gx_raise(kErrInternal);
        GXValue a;
        if (link.flags & GX_NODE_UNEVALUATED) {
            a.type = gxvUnevaluated;
            a.formula = &f;
            a.node = link.first;
        } else {
            a = gx_fetch_operand(f, link.first);
            ConvertArgument(a, link.conversion);
        }
        args.push_back(std::move(a));
    }
    st->s.function = d->id;
    st->s.args = &args;
    GXValue result = GXValue::Number(0);
    if (!d->suppress && d->call)
        d->call(result, args);
    st->s.function = outerFunction;
    st->s.args = outerArgs;
    return result;
}

int gx_deref(GXValue& value)
{
    return Deref(Handle(), value, Handle() != 0);
}

double gx_to_number(GXValue& v)
{
    switch (v.type) {
    case gxvNumber:
        return v.number;
    case gxvCellRef:
        gx_deref(v);
        if (v.type == gxvNumber)
            return v.number;
        if (v.type == gxvText)
            return gx_to_number(v);
        gx_raise(kErrNotNumeric);
    case gxvText: {
        GXSheet* s = gx_sheet(Handle());
        if (s && s->blank_is_zero && v.text.empty())
            return 0;
        gx_raise(kErrNotNumeric);
    }
    case gxvError:
        gx_raise(v.code, v.extra);
    default:
        gx_raise(kErrNotNumeric);
    }
}

int32_t gx_to_integer(GXValue& v)
{
    if (v.type == gxvCellRef) {
        gx_deref(v);
        if (v.type == gxvText || v.type == gxvNotAvailable)
            return 0;
        if (v.type != gxvNumber)
            gx_raise(kErrNotNumeric);
    }
    if (v.type == gxvError)
        gx_raise(v.code, v.extra);
    if (v.type != gxvNumber)
        gx_raise(kErrNotNumeric);
    double x = v.number;
    if (!(x > -2147483649.0 && x < 4294967296.0))
        gx_raise(kErrIntRange);
    // Values from 2^31 up wrap to negative: through 64 bits, as a cast of them to 32 is undefined.
    return int32_t(uint32_t(int64_t(x)));
}

int gx_compare_texts(const std::string& a, const std::string& b)
{
    auto trimmed = [](const std::string& t) {
        std::string s = t.substr(0, kMaxTextChars);
        size_t end = s.size();
        while (end > 1 && std::strchr(" \t\n\r\v\f", s[end - 1]) && s[end - 1])
            --end;
        s.resize(end);
        return s;
    };
    return trimmed(a).compare(trimmed(b));
}

namespace {
int ResultKind(int handle, GXValue& v)
{
    Deref(handle, v, false);
    switch (v.type) {
    case gxvNumber: return gxValNumber;
    case gxvText: return gxLongText;
    case gxvRange: v = GXValue::Error(kErrRangeResult); return gxError;
    case gxvNotAvailable: return gxNotAvailable;
    case gxvError: return gxError;
    default: return gxEmpty;
    }
}

void FreeValue(GXCell* c)
{
    if (c->Kind() == gxLongText)
        std::free(c->value.text);
    c->flags &= ~0xF0u;
    std::memset(&c->value, 0, sizeof c->value);
}

void SetKind(GXCell* c, int kind) { c->flags = (c->flags & ~0xF0u) | uint32_t(kind) << 4; }

void Message(GXSheet* s, GXCell* cell, int code, const char* extra)
{
    char err[700];
    std::snprintf(err, sizeof err, "ERROR: %s %s ", extra ? extra : "", gx_error_text(code));
    char msg[800];
    std::snprintf(msg, sizeof msg, "Cell %s%d: %s", gx_col_name(cell->column), cell->row, err);
    s->message = msg;
}
}  // namespace

int gx_result_to_cell_value(GXValue& value)
{
    return ResultKind(Handle(), value);
}

void gx_evaluate_cell(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (!s || !cell || !cell->formula)
        return;
    GXValue v = gx_eval_expression(handle, cell->row, cell->column, *cell->formula, cell->formula->root);
    int kind = ResultKind(handle, v);
    int old = cell->Kind();
    switch (kind) {
    case gxNotAvailable:
        FreeValue(cell);
        SetKind(cell, gxNotAvailable);
        return;
    case gxError:
        if (old == gxError && cell->value.error.code == v.code)
            return;
        FreeValue(cell);
        SetKind(cell, gxError);
        cell->value.error.code = v.code;
        cell->flags |= GX_CELL_CHANGED;
        if (s->message_free) {
            Message(s, cell, v.code, v.extra);
            s->message_free = 0;
        }
        return;
    case gxValNumber:
        if (old == gxValNumber && cell->value.number == v.number)
            return;
        FreeValue(cell);
        SetKind(cell, gxValNumber);
        cell->value.number = v.number;
        cell->flags |= GX_CELL_CHANGED;
        return;
    case gxLongText: {
        if ((old == gxLongText || old == gxShortText) && cell->Text() == v.text)
            return;
        FreeValue(cell);
        if (v.text.size() > 8) {
            cell->value.text = static_cast<char*>(std::malloc(v.text.size() + 1));
            if (!cell->value.text)
                throw std::bad_alloc();
            std::memcpy(cell->value.text, v.text.c_str(), v.text.size() + 1);
            SetKind(cell, gxLongText);
        } else {
            std::memcpy(cell->value.inl, v.text.data(), v.text.size());
            SetKind(cell, gxShortText);
        }
        cell->flags |= GX_CELL_CHANGED;
        return;
    }
    default:
        if (old == gxEmpty)
            return;
        FreeValue(cell);
        cell->flags |= GX_CELL_CHANGED;
        return;
    }
}

void gx_error_message(int handle, GXCell* cell)
{
    GXSheet* s = gx_sheet(handle);
    if (s && cell && cell->Kind() == gxError)
        Message(s, cell, cell->value.error.code, nullptr);
}
