#include "platform/dao/jetsql.h"

#include "platform/base/textcase.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pvjet {

namespace {

bool IsIdentStart(unsigned char c) { return c == '_' || std::isalpha(c) || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return c == '_' || c == '$' || std::isalnum(c) || c >= 0x80; }

// Days from 1899-12-30 to y-m-d (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;  // 25569 = days from 1899-12-30 to 1970-01-01
}

size_t Utf8Len(unsigned char c)
{
    if (c < 0x80) return 1;
    if ((c >> 5) == 6) return 2;
    if ((c >> 4) == 14) return 3;
    if ((c >> 3) == 30) return 4;
    return 1;
}

}  // namespace

bool IsQualifiedPart(const std::vector<Token>& toks, size_t k)
{
    auto isDot = [&](size_t j) { return toks[j].kind == TokKind::Punct && toks[j].text == "."; };
    size_t j = k;
    while (j > 0 && toks[j - 1].kind == TokKind::Space) --j;
    if (j > 0 && isDot(j - 1)) return true;
    j = k + 1;
    while (j < toks.size() && toks[j].kind == TokKind::Space) ++j;
    return j < toks.size() && isDot(j);
}

std::string UpperWord(std::string_view w)
{
    std::string r(w);
    for (char& c : r) c = PvUpperAscii(c);
    return r;
}

bool IsWord(const Token& t, const char* kw) { return t.kind == TokKind::Word && UpperWord(t.text) == kw; }

std::string QuoteName(std::string_view name)
{
    if (name.find(']') == std::string_view::npos) return "[" + std::string(name) + "]";
    std::string r = "\"";
    for (char c : name) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

std::string QuoteString(std::string_view text)
{
    std::string r = "'";
    for (char c : text) {
        if (c == '\'') r += '\'';
        r += c;
    }
    return r + "'";
}

bool Tokenize(std::string_view s, std::vector<Token>& out, std::string* error)
{
    out.clear();
    size_t i = 0;
    const size_t n = s.size();
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    while (i < n) {
        const unsigned char c = (unsigned char)s[i];
        Token t;
        t.pos = i;
        if (std::isspace(c)) {
            while (i < n && std::isspace((unsigned char)s[i])) ++i;
            t.kind = TokKind::Space;
            t.text = " ";
        } else if (c == '\'' || c == '"') {
            const char q = char(c);
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == q) {
                    if (i + 1 < n && s[i + 1] == q) {
                        t.text += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                t.text += s[i++];
            }
            if (!closed) return fail("unterminated string");
            t.kind = TokKind::String;
        } else if (c == '[' || c == '`') {
            const char close = c == '[' ? ']' : '`';
            const size_t e = s.find(close, i + 1);
            if (e == std::string_view::npos) return fail("unterminated name");
            t.kind = TokKind::Bracket;
            t.text = std::string(s.substr(i + 1, e - i - 1));
            i = e + 1;
        } else if (c == '#') {
            const size_t e = s.find('#', i + 1);
            if (e == std::string_view::npos) return fail("unterminated date");
            t.kind = TokKind::Date;
            t.text = std::string(s.substr(i + 1, e - i - 1));
            i = e + 1;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit((unsigned char)s[i + 1]))) {
            while (i < n && (std::isalnum((unsigned char)s[i]) || s[i] == '.')) {
                // exponent sign
                if ((s[i] == 'e' || s[i] == 'E') && i + 1 < n && (s[i + 1] == '+' || s[i + 1] == '-')) ++i;
                ++i;
            }
            t.kind = TokKind::Number;
            t.text = std::string(s.substr(t.pos, i - t.pos));
        } else if (IsIdentStart(c)) {
            while (i < n && IsIdentChar((unsigned char)s[i])) ++i;
            t.kind = TokKind::Word;
            t.text = std::string(s.substr(t.pos, i - t.pos));
        } else {
            static const char* two[] = {"<>", "<=", ">=", "!=", "==", "||"};
            t.kind = TokKind::Punct;
            t.text = std::string(1, char(c));
            for (const char* op : two) {
                if (i + 1 < n && s[i] == op[0] && s[i + 1] == op[1]) {
                    t.text = op;
                    break;
                }
            }
            i += t.text.size();
        }
        t.end = i;
        out.push_back(std::move(t));
    }
    return true;
}

bool ParseJetDate(std::string_view text, double& ole)
{
    std::string t(text);
    int a = 0, b = 0, c = 0, h = 0, mi = 0, sec = 0;
    int used = 0;
    long days = 0;
    const char* p = t.c_str();
    while (*p == ' ') ++p;
    if (std::sscanf(p, "%d-%d-%d%n", &a, &b, &c, &used) == 3 && a > 31) {
        if (b < 1 || b > 12 || c < 1 || c > 31) return false;
        days = DaysFromCivil(a, b, c);
        p += used;
    } else if (std::sscanf(p, "%d/%d/%d%n", &a, &b, &c, &used) == 3) {
        if (c < 100) c += c < 30 ? 2000 : 1900;
        if (a < 1 || a > 12 || b < 1 || b > 31) return false;
        days = DaysFromCivil(c, a, b);
        p += used;
    } else if (std::sscanf(p, "%d:%d%n", &h, &mi, &used) == 2) {
        days = 0;
    } else {
        return false;
    }
    while (*p == ' ') ++p;
    if (*p) {
        used = 0;
        if (std::sscanf(p, "%d:%d:%d%n", &h, &mi, &sec, &used) != 3) {
            sec = 0;
            used = 0;
            if (std::sscanf(p, "%d:%d%n", &h, &mi, &used) != 2) return false;
        }
        p += used;
        while (*p == ' ') ++p;
        std::string ampm = UpperWord(p);
        if (ampm == "PM" && h < 12) h += 12;
        else if (ampm == "AM" && h == 12) h = 0;
        else if (!ampm.empty() && ampm != "AM" && ampm != "PM") return false;
        if (h < 0 || h > 23 || mi < 0 || mi > 59 || sec < 0 || sec > 59) return false;
    }
    const double frac = (h * 3600 + mi * 60 + sec) / 86400.0;
    // OLE dates before 1899-12-30 keep the time part positive: -1.25 is 1899-12-29 06:00.
    ole = days >= 0 ? days + frac : days - frac;
    return true;
}

Translation Translate(std::string_view jet)
{
    Translation tr;
    std::vector<Token> toks;
    if (!Tokenize(jet, toks, &tr.error)) return tr;
    for (const Token& t : toks) {
        if (t.kind == TokKind::Word) {
            tr.verb = UpperWord(t.text);
            break;
        }
        if (t.kind != TokKind::Space && !(t.kind == TokKind::Punct && t.text == "(")) break;
    }
    const bool createIndex = tr.verb == "CREATE";
    const bool dropIndex = tr.verb == "DROP";
    // Jet compares and orders text without regard to case; columns made here do the same.
    bool ddl = tr.verb == "ALTER";
    if (tr.verb == "CREATE")
        for (const Token& t : toks)
            if (t.kind == TokKind::Word && UpperWord(t.text) != "CREATE") {
                ddl = UpperWord(t.text) == "TABLE";
                break;
            }
    static const char* const textTypes[] = {"TEXT", "CHAR", "VARCHAR", "MEMO", "LONGTEXT", "LONGCHAR", "NOTE",
                                            "STRING", "ALPHANUMERIC", "NCHAR", "NVARCHAR", "CHARACTER", "NTEXT"};
    const Token* prev = nullptr;  // last token that was not a blank
    std::string& o = tr.sql;
    o.reserve(jet.size() + 16);
    for (size_t k = 0; k < toks.size(); ++k) {
        const Token& t = toks[k];
        const Token* before = prev;
        if (t.kind != TokKind::Space) prev = &t;
        if (ddl && t.kind == TokKind::Word && before && (before->kind == TokKind::Word || before->kind == TokKind::Bracket)) {
            const std::string u = UpperWord(t.text);
            bool isText = false;
            for (const char* tt : textTypes) isText = isText || u == tt;
            if (isText) {
                o += t.text;
                // a size in parentheses stays with the type
                size_t j = k + 1;
                while (j < toks.size() && toks[j].kind == TokKind::Space) ++j;
                if (j + 2 < toks.size() && toks[j].text == "(" && toks[j + 1].kind == TokKind::Number && toks[j + 2].text == ")") {
                    o += "(" + toks[j + 1].text + ")";
                    k = j + 2;
                    prev = &toks[k];
                }
                o += " COLLATE NOCASE";
                continue;
            }
        }
        switch (t.kind) {
        case TokKind::Space: o += ' '; break;
        case TokKind::String: o += QuoteString(t.text); break;
        case TokKind::Bracket: o += QuoteName(t.text); break;
        case TokKind::Number: o += t.text; break;
        case TokKind::Date: {
            double d = 0;
            if (!ParseJetDate(t.text, d)) {
                tr.error = "invalid date literal #" + t.text + "#";
                return tr;
            }
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g", d);
            o += buf;
            break;
        }
        case TokKind::Punct:
            o += t.text == "&" ? "||" : t.text;
            break;
        case TokKind::Word: {
            const std::string u = UpperWord(t.text);
            // Jet takes any word beside a dot as a name (Tree.Order); SQLite reads its
            // keywords as keywords there, so the parts of a qualified name go in brackets.
            if (IsQualifiedPart(toks, k)) o += QuoteName(t.text);
            else if (u == "TRUE") o += "(-1)";
            else if (u == "FALSE") o += "0";
            else if (u == "DISTINCTROW") o += "DISTINCT";
            else if (u == "MOD") o += "%";
            else o += t.text;
            break;
        }
        }
    }
    // Jet index names belong to their table; SQLite's are global, so each index is stored
    // under "table.name" and the statements that name one are rewritten accordingly.
    if (createIndex || dropIndex) {
        std::vector<const Token*> w;
        for (const Token& t : toks)
            if (t.kind != TokKind::Space) w.push_back(&t);
        size_t i = 1;
        if (createIndex && i < w.size() && IsWord(*w[i], "UNIQUE")) ++i;
        if (i < w.size() && IsWord(*w[i], "INDEX") && i + 3 < w.size() && IsWord(*w[i + 2], "ON")) {
            const std::string idx = w[i + 1]->text, table = w[i + 3]->text;
            std::string out;
            if (createIndex) {
                out = "CREATE ";
                if (i == 2) out += "UNIQUE ";
                out += "INDEX " + QuoteName(table + "." + idx) + " ON " + QuoteName(table) + " ";
                // columns up to the closing parenthesis; Jet's WITH options have no SQLite form
                size_t k = i + 4;
                int depth = 0;
                for (; k < w.size(); ++k) {
                    const Token& t = *w[k];
                    if (t.kind == TokKind::Punct && t.text == "(") ++depth;
                    if (t.kind == TokKind::Punct && t.text == ")") --depth;
                    out += t.kind == TokKind::Bracket ? QuoteName(t.text) : t.kind == TokKind::String ? QuoteName(t.text) : t.text;
                    out += ' ';
                    if (depth == 0 && t.text == ")") break;
                }
            } else {
                out = "DROP INDEX " + QuoteName(table + "." + idx);
            }
            tr.sql = out;
        }
    }
    return tr;
}

bool JetLike(std::string_view pattern, std::string_view value)
{
    const std::string p = PvUpperCase(pattern);
    const std::string v = PvUpperCase(value);
    // Iterative matcher with one backtrack point for '*'.
    size_t pi = 0, vi = 0, starP = std::string::npos, starV = 0;
    auto matchOne = [&](size_t& ppos, size_t vpos, size_t& vlen) -> bool {
        vlen = Utf8Len((unsigned char)v[vpos]);
        if (vpos + vlen > v.size()) vlen = v.size() - vpos;
        const std::string_view ch(v.data() + vpos, vlen);
        const char pc = p[ppos];
        if (pc == '?') { ++ppos; return true; }
        if (pc == '#') { ++ppos; return vlen == 1 && std::isdigit((unsigned char)ch[0]); }
        if (pc == '[') {
            const size_t close = p.find(']', ppos + 2);
            if (close == std::string::npos) {  // a lone '[' matches itself
                ++ppos;
                return ch == "[";
            }
            size_t k = ppos + 1;
            bool negate = false;
            if (p[k] == '!' && k + 1 < close) { negate = true; ++k; }
            bool hit = false;
            while (k < close) {
                size_t l = Utf8Len((unsigned char)p[k]);
                std::string_view lo(p.data() + k, std::min(l, close - k));
                k += lo.size();
                std::string_view hi = lo;
                if (k + 1 < close && p[k] == '-') {
                    size_t l2 = Utf8Len((unsigned char)p[k + 1]);
                    hi = std::string_view(p.data() + k + 1, std::min(l2, close - k - 1));
                    k += 1 + hi.size();
                }
                if (ch >= lo && ch <= hi) hit = true;
            }
            ppos = close + 1;
            return hit != negate;
        }
        size_t l = Utf8Len((unsigned char)pc);
        if (ppos + l > p.size()) l = p.size() - ppos;
        const bool eq = std::string_view(p.data() + ppos, l) == ch;
        ppos += l;
        return eq;
    };
    while (vi < v.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starV = vi;
            continue;
        }
        size_t np = pi, vlen = 0;
        if (pi < p.size() && matchOne(np, vi, vlen)) {
            pi = np;
            vi += vlen;
            continue;
        }
        if (starP == std::string::npos) return false;
        pi = starP;
        starV += Utf8Len((unsigned char)v[starV]);
        vi = starV;
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

SelectShape AnalyzeSelect(const std::vector<Token>& toks)
{
    SelectShape sh;
    int depth = 0;
    size_t firstWord = SelectShape::npos;
    for (size_t k = 0; k < toks.size(); ++k) {
        const Token& t = toks[k];
        if (t.kind == TokKind::Punct && t.text == "(") { ++depth; continue; }
        if (t.kind == TokKind::Punct && t.text == ")") { --depth; continue; }
        if (t.kind != TokKind::Word || IsQualifiedPart(toks, k)) continue;
        const std::string u = UpperWord(t.text);
        if (firstWord == SelectShape::npos) {
            firstWord = k;
            sh.isSelect = u == "SELECT";
            if (!sh.isSelect) return sh;
            continue;
        }
        if (u == "COUNT" || u == "SUM" || u == "MIN" || u == "MAX" || u == "AVG" || u == "TOTAL" || u == "GROUP_CONCAT" ||
            u == "FIRST" || u == "LAST" || u == "STDEV" || u == "VAR")
            if (sh.fromTok == SelectShape::npos) sh.aggregate = true;
        if (depth != 0) continue;
        if (u == "DISTINCT" || u == "DISTINCTROW") sh.distinct = true;
        else if (u == "FROM" && sh.fromTok == SelectShape::npos) sh.fromTok = k;
        else if (u == "WHERE" && sh.whereTok == SelectShape::npos) sh.whereTok = k;
        else if (u == "GROUP") sh.groupTok = k;
        else if (u == "HAVING") sh.havingTok = k;
        else if (u == "ORDER") sh.orderTok = k;
        else if (u == "UNION" || u == "INTERSECT" || u == "EXCEPT") sh.compound = true;
    }
    if (!sh.isSelect || sh.fromTok == SelectShape::npos) return sh;
    // the FROM list: up to the next clause at depth 0
    size_t end = toks.size();
    for (size_t c : {sh.whereTok, sh.groupTok, sh.havingTok, sh.orderTok})
        if (c != SelectShape::npos && c > sh.fromTok && c < end) end = c;
    std::vector<const Token*> w;
    for (size_t k = sh.fromTok + 1; k < end; ++k)
        if (toks[k].kind != TokKind::Space) w.push_back(&toks[k]);
    auto nameTok = [](const Token* t) { return t->kind == TokKind::Bracket || t->kind == TokKind::Word; };
    if (w.empty() || !nameTok(w[0])) return sh;
    if (w.size() == 1) {
        sh.singleTable = true;
    } else if (w.size() == 2 && nameTok(w[1]) && !IsWord(*w[1], "JOIN") && !IsWord(*w[1], "LEFT") &&
               !IsWord(*w[1], "INNER") && !IsWord(*w[1], "RIGHT")) {
        sh.singleTable = true;
        sh.qualifier = w[1]->text;
    } else if (w.size() == 3 && IsWord(*w[1], "AS") && nameTok(w[2])) {
        sh.singleTable = true;
        sh.qualifier = w[2]->text;
    }
    if (sh.singleTable) {
        sh.table = w[0]->text;
        if (sh.qualifier.empty()) sh.qualifier = sh.table;
    }
    return sh;
}

std::string ApplyFilterAndSort(const std::string& sql, const std::string& filter, const std::string& sort)
{
    if (filter.empty() && sort.empty()) return sql;
    std::vector<Token> toks;
    if (!Tokenize(sql, toks)) {  // leave it to the engine to report
        std::string r = sql;
        if (!filter.empty()) r += " WHERE " + filter;
        if (!sort.empty()) r += " ORDER BY " + sort;
        return r;
    }
    SelectShape sh = AnalyzeSelect(toks);
    // head: everything before ORDER BY; the filter goes into the head, the sort after it
    std::string head = sh.orderTok != SelectShape::npos ? sql.substr(0, toks[sh.orderTok].pos) : sql;
    std::string order = sh.orderTok != SelectShape::npos ? sql.substr(toks[sh.orderTok].pos) : std::string();
    if (!filter.empty()) {
        size_t clauseEnd = head.size();
        for (size_t c : {sh.groupTok, sh.havingTok})
            if (c != SelectShape::npos && toks[c].pos < clauseEnd) clauseEnd = toks[c].pos;
        const std::string tail = head.substr(clauseEnd);
        std::string body = head.substr(0, clauseEnd);
        while (!body.empty() && body.back() == ' ') body.pop_back();
        if (sh.whereTok != SelectShape::npos) {
            const size_t w = toks[sh.whereTok].end;
            const size_t c = body.find_first_not_of(' ', w);
            body = body.substr(0, w) + " (" + (c == std::string::npos ? std::string() : body.substr(c)) + ") AND (" + filter + ")";
        } else {
            body += " WHERE " + filter;
        }
        head = body + (tail.empty() ? "" : " " + tail);
    }
    if (!sort.empty()) {
        while (!head.empty() && head.back() == ' ') head.pop_back();
        return head + " ORDER BY " + sort;
    }
    if (!order.empty() && !head.empty() && head.back() != ' ') head += ' ';
    return head + order;
}

}  // namespace pvjet
