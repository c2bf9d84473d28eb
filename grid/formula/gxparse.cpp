#include "grid/formula/gxparse.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "grid/formula/gxname.h"
#include "grid/formula/gxref.h"

// The scanner's process-wide record: the text being scanned and where it stands.
class GX_PARSE_STATE : public CGXEngineStateBase {
public:
    std::string input;
    size_t offset = 0;
};

namespace {

GX_PARSE_STATE* ParseState()
{
    CGXEngineStateBase*& p = GXGetLibraryState().m_pEngineStates[1];
    if (!p)
        p = new GX_PARSE_STATE;
    return static_cast<GX_PARSE_STATE*>(p);
}

enum Tok {
    tSemi = 0, tColon, tComma, tQuestion, tHash, tBackslash, tPlus, tMinus, tStar, tSlash, tPercent, tBar,
    tCaret, tAmp, tNot, tTilde, tLess, tGreater, tLParen, tRParen, tLBrace, tRBrace, tAssign, tPower, tAnd,
    tOr, tShl, tShr, tLe, tGe, tNe, tEq, tDotDot, tCellName, tName, tFuncName, tString, tNumber, tHex,
    tComment, tEnd, tError, tDot, tInvalidRef,
};

struct Token {
    int kind = tEnd;
    std::string text;
    size_t offset = 0;  // in bytes
    int code = 0;       // error token
};

bool IsAlpha(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The column letters of a cell-like text (after an optional "$") name a column.
bool LettersAreColumn(std::string_view t)
{
    size_t i = t.size() && t[0] == '$' ? 1 : 0;
    std::string letters;
    while (i < t.size() && IsAlpha(static_cast<unsigned char>(t[i])))
        letters += t[i++];
    return gx_parse_col(letters.c_str()) >= 0;
}

// Cell-like: optional "$", letters, optional "$", digits; returns its length or 0.
size_t CellLike(std::string_view s, size_t i)
{
    size_t j = i;
    if (j < s.size() && s[j] == '$')
        ++j;
    size_t k = j;
    while (k < s.size() && IsAlpha(static_cast<unsigned char>(s[k])))
        ++k;
    if (k == j)
        return 0;
    if (k < s.size() && s[k] == '$')
        ++k;
    size_t d = k;
    while (d < s.size() && IsDigit(static_cast<unsigned char>(s[d])))
        ++d;
    return d == k ? 0 : d - i;
}

class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}

    Token Next()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n'))
            ++i_;
        Token t;
        t.offset = i_;
        if (i_ >= s_.size())
            return t;
        unsigned char c = static_cast<unsigned char>(s_[i_]);
        auto at = [&](size_t k) -> unsigned char { return i_ + k < s_.size() ? static_cast<unsigned char>(s_[i_ + k]) : 0; };
        if (c == '"')
            return String(t);
        if (c == '/' && at(1) == '/') {
            t.kind = tComment;
            t.text = std::string(s_.substr(i_ + 2));
            i_ = s_.size();
            return t;
        }
        if (c == '@') {
            size_t j = i_ + 1;
            while (j < s_.size() && (IsAlpha(static_cast<unsigned char>(s_[j])) || IsDigit(static_cast<unsigned char>(s_[j])) || s_[j] == '_'))
                ++j;
            t.kind = tFuncName;
            t.text = std::string(s_.substr(i_ + 1, j - i_ - 1));
            i_ = j;
            return t;
        }
        if (c == '0' && (at(1) == 'x' || at(1) == 'X') && gx_hex_digit(at(2)) >= 0) {
            size_t j = i_ + 2;
            while (j < s_.size() && gx_hex_digit(static_cast<unsigned char>(s_[j])) >= 0)
                ++j;
            t.kind = tHex;
            t.text = std::string(s_.substr(i_ + 2, j - i_ - 2));
            i_ = j;
            return t;
        }
        if (IsDigit(c) || (c == '.' && IsDigit(at(1))))
            return Number(t);
        if (IsAlpha(c) || c == '_' || c == '$') {
            if (size_t n = Word(t))
                return t.kind = tName, t.text = std::string(s_.substr(i_, n)), i_ += n, t;
            return t;
        }
        static const struct { const char* text; int kind; } kOps[] = {
            {"#AND#", tAnd}, {"#NOT#", tNot}, {"#OR#", tOr}, {"**", tPower}, {"&&", tAnd}, {"||", tOr},
            {"<<", tShl}, {">>", tShr}, {"<=", tLe}, {">=", tGe}, {"!=", tNe}, {"<>", tNe}, {"==", tEq},
            {"..", tDotDot}, {"??", tInvalidRef}, {";", tSemi}, {":", tColon}, {",", tComma}, {"?", tQuestion},
            {"#", tHash}, {"\\", tBackslash}, {"+", tPlus}, {"-", tMinus}, {"*", tStar}, {"/", tSlash},
            {"%", tPercent}, {"|", tBar}, {"^", tCaret}, {"&", tAmp}, {"!", tNot}, {"~", tTilde}, {"<", tLess},
            {">", tGreater}, {"(", tLParen}, {")", tRParen}, {"{", tLBrace}, {"}", tRBrace}, {"=", tAssign},
            {".", tDot},
        };
        for (const auto& op : kOps)
            if (s_.substr(i_).starts_with(op.text)) {
                t.kind = op.kind;
                i_ += std::strlen(op.text);
                return t;
            }
        t.kind = tError;
        t.code = 223;
        ++i_;
        return t;
    }

private:
    Token String(Token& t)
    {
        size_t j = i_ + 1;
        while (j < s_.size() && s_[j] != '"')
            j += s_[j] == '\\' ? 2 : 1;
        if (j >= s_.size()) {
            t.kind = tError;
            t.code = 223;
            ++i_;
            return t;
        }
        t.kind = tString;
        t.text = std::string(s_.substr(i_ + 1, j - i_ - 1));
        i_ = j + 1;
        return t;
    }

    Token Number(Token& t)
    {
        size_t j = i_;
        while (j < s_.size() && IsDigit(static_cast<unsigned char>(s_[j])))
            ++j;
        if (j < s_.size() && s_[j] == '.') {
            ++j;
            while (j < s_.size() && IsDigit(static_cast<unsigned char>(s_[j])))
                ++j;
        }
        if (j < s_.size() && s_[j] == 'e') {
            size_t k = j + 1;
            if (k < s_.size() && (s_[k] == '+' || s_[k] == '-'))
                ++k;
            if (k < s_.size() && IsDigit(static_cast<unsigned char>(s_[k]))) {
                while (k < s_.size() && IsDigit(static_cast<unsigned char>(s_[k])))
                    ++k;
                j = k;
            }
        }
        t.kind = tNumber;
        t.text = std::string(s_.substr(i_, j - i_));
        i_ = j;
        return t;
    }

    // A name, or a cell name cut from its front; returns the name's length, or 0 when
    // t already holds the cell-name token.
    size_t Word(Token& t)
    {
        size_t j = i_ + 1;
        while (j < s_.size() && (IsAlpha(static_cast<unsigned char>(s_[j])) || IsDigit(static_cast<unsigned char>(s_[j])) ||
                                 s_[j] == '_' || s_[j] == '$' || s_[j] == '.'))
            ++j;
        std::string_view name = s_.substr(i_, j - i_);
        size_t cell = CellLike(s_, i_);
        if (cell && cell == name.size() && LettersAreColumn(name)) {
            t.kind = tCellName;
            t.text = std::string(name);
            i_ = j;
            return 0;
        }
        // A cell reference before a "." is its own token, so A1..B2, A1.B2 and A1..SUM(B1)
        // scan as ranges.
        size_t dot = name.find('.');
        GXRange r;
        if (dot != std::string_view::npos && gx_parse_range(name.substr(0, dot), &r)) {
            t.kind = tCellName;
            t.text = std::string(name.substr(0, dot));
            i_ += dot;
            return 0;
        }
        return name.size();
    }

    std::string_view s_;
    size_t i_ = 0;
};

constexpr int kMaxDepth = 100;

class Parser {
public:
    Parser(int handle, const std::string& text, GXFormula& f) : f_(f), text_(text), handle_(handle)
    {
        Scanner sc(text);
        for (;;) {
            toks_.push_back(sc.Next());
            int k = toks_.back().kind;
            if (k == tEnd || k == tError)
                break;
        }
    }

    bool Run()
    {
        if (Kind() != tAssign && Kind() != tEq)
            return Fail(253, 0);
        if (Kind() == tEq)
            return Fail(274, 1);
        ++p_;
        if (!Expression(f_.root))
            return false;
        if (Kind() == tSemi) {
            ++p_;
            if (!Expression(f_.constraint))
                return false;
        }
        if (Kind() == tBackslash) {
            ++p_;
            int16_t prev = -1;
            do {
                int16_t item;
                if (!Item(item))
                    return false;
                if (prev < 0)
                    f_.deps = item;
                else
                    f_.nodes[size_t(prev)].next = item;
                prev = item;
            } while (Kind() == tComma && (++p_, true));
        }
        if (Kind() == tComment) {
            f_.has_comment = true;
            f_.comment = toks_[p_].text;
            ++p_;
        }
        return Expect(tEnd);
    }

    int code = 0;
    int position = 0;

private:
    int Kind() const { return toks_[p_].kind; }
    int KindAt(size_t k) const { return p_ + k < toks_.size() ? toks_[p_ + k].kind : tEnd; }

    int CharPos(size_t offset) const
    {
        int n = 0;
        for (size_t i = 0; i < offset && i < text_.size(); ++i)
            n += (static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80;
        return n;
    }

    bool Fail(int c, int pos)
    {
        code = c;
        position = pos;
        return false;
    }
    bool FailHere(int c) { return Fail(Kind() == tError ? toks_[p_].code : c, CharPos(toks_[p_].offset)); }
    bool Expect(int kind)
    {
        if (Kind() != kind)
            return FailHere(kind <= 42 ? 231 + kind : 225);
        ++p_;
        return true;
    }

    bool Add(GXNode n, int16_t& out)
    {
        if (f_.nodes.size() >= GX_MAX_NODES)
            return FailHere(280);
        f_.nodes.push_back(std::move(n));
        out = int16_t(f_.nodes.size() - 1);
        return true;
    }
    bool Op(int op, int16_t first, int16_t next, int16_t& out)
    {
        GXNode n;
        n.kind = gxNodeOperator;
        n.op = op;
        n.first = first;
        n.next = next;
        return Add(std::move(n), out);
    }

    bool Expression(int16_t& out)
    {
        // "(" adds no node, so nesting needs its own bound.
        if (++depth_ > kMaxDepth)
            return FailHere(148);
        bool ok = Conditional(out);
        --depth_;
        return ok;
    }

    bool Conditional(int16_t& out)
    {
        if (!Binary(0, out))
            return false;
        if (Kind() != tQuestion)
            return true;
        ++p_;
        int16_t then, other, pair;
        if (!Expression(then) || !Expect(tColon) || !Expression(other))
            return false;
        GXNode n;
        n.kind = gxNodePair;
        n.first = then;
        n.next = other;
        if (!Add(std::move(n), pair) || !Op(23, out, pair, out))
            return false;
        f_.nodes[size_t(pair)].prev = out;
        return true;
    }

    // The binary levels from "||" down to "*"; level 10 is the unary level.
    bool Binary(int level, int16_t& out)
    {
        static const struct { int tok; int op; } kLevels[10][4] = {
            {{tOr, 9}}, {{tAnd, 8}}, {{tBar, 12}}, {{tCaret, 13}}, {{tAmp, 11}},
            {{tAssign, 17}, {tEq, 17}, {tNe, 18}}, {{tLess, 19}, {tGreater, 20}, {tLe, 21}, {tGe, 22}},
            {{tShl, 15}, {tShr, 16}}, {{tPlus, 0}, {tMinus, 1}}, {{tStar, 4}, {tSlash, 5}, {tPercent, 7}},
        };
        if (level == 10)
            return Unary(out);
        if (!Binary(level + 1, out))
            return false;
        for (;;) {
            int op = -1;
            for (const auto& e : kLevels[level])
                if (e.tok == Kind() && (e.tok || e.op))
                    op = e.op;
            if (op < 0)
                return true;
            ++p_;
            int16_t right;
            if (!Binary(level + 1, right) || !Op(op, out, right, out))
                return false;
        }
    }

    bool Unary(int16_t& out)
    {
        int op = Kind() == tPlus ? 2 : Kind() == tMinus ? 3 : Kind() == tNot ? 10 : Kind() == tTilde ? 14 : -1;
        if (op >= 0)
            ++p_;
        if (!Power(out))
            return false;
        return op < 0 || Op(op, -1, out, out);
    }

    bool Power(int16_t& out)
    {
        if (!Postfix(out))
            return false;
        while (Kind() == tPower) {
            ++p_;
            int16_t right;
            if (!Postfix(right) || !Op(6, out, right, out))
                return false;
        }
        return true;
    }

    static bool BeginsOperand(int k)
    {
        return k == tHash || k == tLParen || k == tCellName || k == tName || k == tFuncName || k == tString ||
               k == tNumber || k == tHex || k == tInvalidRef;
    }

    bool Postfix(int16_t& out)
    {
        if (!Primary(out))
            return false;
        if (Kind() == tPercent && !BeginsOperand(KindAt(1))) {
            ++p_;
            return Op(25, -1, out, out);
        }
        return true;
    }

    bool CellRef(int16_t& out)
    {
        GXNode n;
        n.kind = gxNodeCell;
        if (!gx_parse_range(toks_[p_].text, &n.range))
            return FailHere(226);
        ++p_;
        return Add(std::move(n), out);
    }

    static bool IsRangeOp(int k) { return k == tColon || k == tDotDot || k == tDot; }

    // The right-hand side of a range operator after the left operand in out.
    bool RangeTail(int16_t& out)
    {
        if (!IsRangeOp(Kind()))
            return true;
        ++p_;
        int16_t right;
        if (Kind() == tCellName) {
            if (!CellRef(right))
                return false;
        } else if (Kind() == tName) {
            if (!NameOperand(right, false))
                return false;
        } else if (Kind() == tFuncName) {
            if (!Call(right))
                return false;
        } else {
            return FailHere(Kind() == tError ? 223 : 275);
        }
        GXNode& l = f_.nodes[size_t(out)];
        GXNode& r = f_.nodes[size_t(right)];
        if (l.kind == gxNodeCell && r.kind == gxNodeCell) {
            int flags = (l.range.AbsRow1() ? GX_MAKE_ABSROW1 : 0) | (l.range.AbsCol1() ? GX_MAKE_ABSCOL1 : 0) |
                        (r.range.AbsRow1() ? GX_MAKE_ABSROW2 : 0) | (r.range.AbsCol1() ? GX_MAKE_ABSCOL2 : 0);
            gx_make_range(&l.range, l.range.Top(), l.range.Left(), r.range.Top(), r.range.Left(), flags);
            l.kind = gxNodeRange;
            f_.nodes.pop_back();  // the right corner is the last node made
            return true;
        }
        return Op(24, out, right, out);
    }

    // A name: a call when "(" follows, else a named cell or range.
    bool NameOperand(int16_t& out, bool rangeTail)
    {
        if (KindAt(1) == tLParen)
            return Call(out);
        (void)rangeTail;
        return Named(out);
    }

    // A named cell or range, looked up in the sheet.
    bool Named(int16_t& out)
    {
        GXRange r;
        GXName* entry = gx_find_name(handle_, toks_[p_].text.c_str(), &r);
        if (!entry)
            return FailHere(281);
        GXNode n;
        n.kind = r.Single() ? gxNodeNamedCell : gxNodeNamedRange;
        n.named = entry;
        n.text = entry->name;
        ++p_;
        return Add(std::move(n), out);
    }

    bool Call(int16_t& out)
    {
        const Token& name = toks_[p_];
        int namePos = CharPos(name.offset);
        std::string upper = name.text;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        bool paren = KindAt(1) == tLParen;
        ++p_;
        GXNode call;
        call.kind = gxNodeCall;
        if (!Add(std::move(call), out))
            return false;
        std::vector<int16_t> links;
        if (paren) {
            ++p_;
            if (Kind() != tRParen) {
                int16_t prev = out;
                for (;;) {
                    int16_t arg, link;
                    if (!Expression(arg))
                        return false;
                    GXNode n;
                    n.kind = gxNodeArg;
                    n.first = arg;
                    n.prev = prev;
                    if (!Add(std::move(n), link))
                        return false;
                    f_.nodes[size_t(prev)].next = link;
                    links.push_back(link);
                    prev = link;
                    if (Kind() != tComma)
                        break;
                    ++p_;
                }
            }
            if (!Expect(tRParen))
                return false;
        }
        GXFunctionTable* table = gx_engine_state()->function_table;
        const GXFunctionDesc* d = table ? table->Lookup(upper) : nullptr;
        if (!d)
            return Fail(227, namePos);
        if (links.size() > 100)
            return Fail(229, namePos);
        size_t counted = 0, optional = 0;
        const GXArgDesc* repeating = nullptr;
        std::vector<const GXArgDesc*> used;
        for (const GXArgDesc& a : d->args) {
            uint32_t kind = a.flags & GX_ARG_KIND;
            if (kind == GX_ARG_SKIPPED)
                continue;
            ++counted;
            optional += kind == GX_ARG_OPTIONAL;
            if (kind == GX_ARG_REPEATING && !repeating)
                repeating = &a;
            if (!repeating || repeating == &a)
                used.push_back(&a);
        }
        if (links.size() < counted - optional)
            return Fail(230, namePos);
        if (links.size() > used.size() && !repeating)
            return Fail(229, namePos);
        for (size_t i = 0; i < links.size(); ++i) {
            const GXArgDesc* a = i < used.size() ? used[i] : repeating;
            GXNode& l = f_.nodes[size_t(links[i])];
            l.conversion = a->conversion;
            if (a->flags & GX_ARG_UNEVALUATED)
                l.flags |= GX_NODE_UNEVALUATED;
        }
        if (upper == "XVALUE" && links.size() >= 2)
            f_.nodes[size_t(f_.nodes[size_t(links[1])].first)].flags |= GX_NODE_NODEP;
        f_.nodes[size_t(out)].func = d;
        return true;
    }

    bool Primary(int16_t& out)
    {
        switch (Kind()) {
        case tHash: {
            ++p_;
            GXNode n;
            n.kind = gxNodeCurrent;
            if (Kind() == tLBrace) {
                ++p_;
                if (!Expression(n.col_offset))
                    return false;
                if (Kind() == tComma) {
                    ++p_;
                    if (!Expression(n.row_offset))
                        return false;
                }
                if (!Expect(tRBrace))
                    return false;
            }
            return Add(std::move(n), out);
        }
        case tLParen:
            ++p_;
            if (!Expression(out) || !Expect(tRParen))
                return false;
            f_.nodes[size_t(out)].flags |= GX_NODE_PAREN;
            return true;
        case tCellName:
            return CellRef(out) && RangeTail(out);
        case tName:
            if (KindAt(1) == tLParen)
                return Call(out) && RangeTail(out);
            return NameOperand(out, true) && RangeTail(out);
        case tFuncName:
            return Call(out);
        case tString: {
            GXNode n;
            n.kind = gxNodeString;
            gx_unescape_text(n.text, toks_[p_].text);
            ++p_;
            return Add(std::move(n), out);
        }
        case tNumber: {
            GXNode n;
            n.kind = gxNodeNumber;
            errno = 0;
            n.number = std::strtod(toks_[p_].text.c_str(), nullptr);
            if (std::isinf(n.number))
                return FailHere(282);
            ++p_;
            return Add(std::move(n), out);
        }
        case tHex: {
            GXNode n;
            n.kind = gxNodeNumber;
            n.flags = GX_NODE_HEX;
            uint64_t v = 0;
            for (char c : toks_[p_].text) {
                v = v * 16 + uint64_t(gx_hex_digit(static_cast<unsigned char>(c)));
                if (v > 0xFFFFFFFFu)
                    return FailHere(88);
            }
            n.number = double(v);
            ++p_;
            return Add(std::move(n), out);
        }
        case tInvalidRef:
            ++p_;
            return Op(26, -1, -1, out);
        default:
            return FailHere(274);
        }
    }

    bool Item(int16_t& out)
    {
        if (Kind() == tName)
            return Named(out);
        if (Kind() != tCellName)
            return FailHere(231 + tCellName);
        if (!CellRef(out))
            return false;
        if (!IsRangeOp(Kind()))
            return true;
        ++p_;
        int16_t right;
        if (Kind() != tCellName)
            return FailHere(231 + tCellName);
        if (!CellRef(right))
            return false;
        GXNode& l = f_.nodes[size_t(out)];
        const GXNode& r = f_.nodes[size_t(right)];
        int flags = (l.range.AbsRow1() ? GX_MAKE_ABSROW1 : 0) | (l.range.AbsCol1() ? GX_MAKE_ABSCOL1 : 0) |
                    (r.range.AbsRow1() ? GX_MAKE_ABSROW2 : 0) | (r.range.AbsCol1() ? GX_MAKE_ABSCOL2 : 0);
        gx_make_range(&l.range, l.range.Top(), l.range.Left(), r.range.Top(), r.range.Left(), flags);
        l.kind = gxNodeRange;
        f_.nodes.pop_back();
        return true;
    }

    GXFormula& f_;
    const std::string& text_;
    int handle_ = 0;
    std::vector<Token> toks_;
    size_t p_ = 0;
    int depth_ = 0;
};

const char* const kOpText[] = {"+", "-", "+", "-", "*", "/", "**", "%", "&&", "||", "!", "&", "|", "^",
                               "~", "<<", ">>", "==", "!=", "<", ">", "<=", ">=", "?", "..", "%", "??"};

void NumberText(double v, bool hex, std::string& out)
{
    char buf[40];
    if (hex) {
        std::snprintf(buf, sizeof buf, "0x%X", unsigned(v));
        out += buf;
        return;
    }
    // The shortest text from 14 digits up that reads back as the same double.
    for (int digits = 14; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v)
            break;
    }
    out += buf;
}

bool IsNameNode(const GXNode& n)
{
    return n.kind == gxNodeName || n.kind == gxNodeNamedCell || n.kind == gxNodeNamedRange;
}

void NodeText(const GXFormula& f, int i, std::string& out)
{
    if (i < 0 || size_t(i) >= f.nodes.size())
        return;
    const GXNode& n = f.nodes[size_t(i)];
    if (n.flags & GX_NODE_PAREN)
        out += '(';
    switch (n.kind) {
    case gxNodeOperator:
        if (n.op == 2 || n.op == 3 || n.op == 10 || n.op == 14) {
            out += kOpText[n.op];
            NodeText(f, n.next, out);
        } else if (n.op == 25) {
            NodeText(f, n.next, out);
            out += '%';
        } else if (n.op == 26) {
            out += "??";
        } else if (n.op == 23) {
            NodeText(f, n.first, out);
            out += '?';
            if (n.next >= 0 && size_t(n.next) < f.nodes.size()) {
                NodeText(f, f.nodes[size_t(n.next)].first, out);
                out += ':';
                NodeText(f, f.nodes[size_t(n.next)].next, out);
            }
        } else if (n.op >= 0 && n.op <= 26) {
            NodeText(f, n.first, out);
            // A name glues onto a following "..", so they are kept apart.
            if (n.op == 24 && n.first >= 0 && IsNameNode(f.nodes[size_t(n.first)]) &&
                !(f.nodes[size_t(n.first)].flags & GX_NODE_PAREN))
                out += ' ';
            out += kOpText[n.op];
            NodeText(f, n.next, out);
        }
        break;
    case gxNodeNumber:
        NumberText(n.number, n.flags & GX_NODE_HEX, out);
        break;
    case gxNodeString:
        out += '"';
        gx_escape_text(out, n.text, true);
        out += '"';
        break;
    case gxNodeCell:
    case gxNodeRange:
        out += gx_range_string(n.range);
        break;
    case gxNodeName:
    case gxNodeNamedCell:
    case gxNodeNamedRange:
        out += n.text;
        break;
    case gxNodeCall: {
        gx_function_name_text(n.func, out);
        out += '(';
        for (int l = n.next; l >= 0 && size_t(l) < f.nodes.size(); l = f.nodes[size_t(l)].next) {
            if (l != n.next)
                out += ',';
            NodeText(f, f.nodes[size_t(l)].first, out);
        }
        out += ')';
        break;
    }
    case gxNodeCurrent:
        out += '#';
        if (n.col_offset >= 0 || n.row_offset >= 0) {
            out += '{';
            NodeText(f, n.col_offset, out);
            if (n.row_offset >= 0) {
                out += ',';
                NodeText(f, n.row_offset, out);
            }
            out += '}';
        }
        break;
    default:
        break;
    }
    if (n.flags & GX_NODE_PAREN)
        out += ')';
}

}  // namespace

void gx_set_function_table(GXFunctionTable* table)
{
    GX_ENGINE_STATE* st = gx_engine_state();
    if (st->function_table != table)
        delete st->function_table;
    st->function_table = table;
}

int gx_parse_formula(int handle, const char* text, GXFormula* formula)
{
    *formula = GXFormula{};
    GX_PARSE_STATE* ps = ParseState();
    ps->input = text ? text : "";
    ps->offset = 0;
    Parser p(handle, ps->input, *formula);
    bool ok = p.Run();
    GX_ENGINE_STATE* st = gx_engine_state();
    st->last_error_flag = ok ? 0 : 1;
    st->last_error_code = ok ? 0 : p.code;
    st->last_error_position = ok ? 0 : p.position;
    if (!ok)
        *formula = GXFormula{};
    ps->input.clear();
    return ok ? 1 : 0;
}

void gx_node_to_text(const GXFormula& formula, int node, std::string& out)
{
    NodeText(formula, node, out);
}

bool gx_scans_as_name(const std::string& text)
{
    Scanner sc(text);
    Token t = sc.Next();
    return t.kind == tName && t.text == text && sc.Next().kind == tEnd;
}

void gx_function_name_text(const GXFunctionDesc* desc, std::string& out)
{
    if (desc)
        out += desc->name;
}

void gx_formula_to_text(int /*handle*/, const GXFormula& f, std::string& out)
{
    out += '=';
    NodeText(f, f.root, out);
    if (f.constraint >= 0) {
        out += ';';
        NodeText(f, f.constraint, out);
    }
    if (f.deps >= 0) {
        out += '\\';
        for (int i = f.deps; i >= 0 && size_t(i) < f.nodes.size(); i = f.nodes[size_t(i)].next) {
            if (i != f.deps)
                out += ',';
            NodeText(f, i, out);
        }
    }
    if (f.has_comment) {
        out += "//";
        out += f.comment;
    }
}
