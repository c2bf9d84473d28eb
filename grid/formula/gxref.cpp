#include "grid/formula/gxref.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool IsDigit(int ch) { return ch >= '0' && ch <= '9'; }
bool IsOctal(int ch) { return ch >= '0' && ch <= '7'; }

// One corner: optional "$", letters, optional "$", digits. Advances i past it.
bool ParseCorner(std::string_view t, size_t& i, int& row, int& col, bool& absRow, bool& absCol)
{
    absCol = i < t.size() && t[i] == '$';
    if (absCol)
        ++i;
    size_t start = i;
    long c = 0;
    while (i < t.size() && gx_letter_value(static_cast<unsigned char>(t[i])) >= 0) {
        c = c * 26 + gx_letter_value(static_cast<unsigned char>(t[i])) + 1;
        if (c > GX_MAX_COL + 1)
            return false;
        ++i;
    }
    if (i == start)
        return false;
    absRow = i < t.size() && t[i] == '$';
    if (absRow)
        ++i;
    start = i;
    long r = 0;
    while (i < t.size() && IsDigit(t[i])) {
        r = r * 10 + (t[i] - '0');
        if (r > GX_MAX_ROW)
            return false;
        ++i;
    }
    if (i == start || r < 1)
        return false;
    row = int(r);
    col = int(c - 1);
    return true;
}

void CornerText(std::string& out, int row, int col, bool absRow, bool absCol)
{
    if (absCol)
        out += '$';
    out += gx_col_name(col);
    if (absRow)
        out += '$';
    out += std::to_string(row);
}

}  // namespace

const char* gx_col_name(int column)
{
    if (column < 0 || column > GX_MAX_COL)
        return nullptr;
    char buf[8];
    int n = 0;
    for (unsigned c = unsigned(column);;) {
        buf[n++] = char('A' + c % 26);
        if (c / 26 == 0)
            break;
        c = c / 26 - 1;
    }
    char* out = gx_engine_state()->scratch;
    for (int i = 0; i < n; ++i)
        out[i] = buf[n - 1 - i];
    out[n] = 0;
    return out;
}

int gx_letter_value(int ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return ch - 'A';
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a';
    return -1;
}

int gx_parse_col(const char* text)
{
    if (!text)
        return -1;
    long c = 0;
    size_t i = 0;
    for (; gx_letter_value(static_cast<unsigned char>(text[i])) >= 0; ++i) {
        c = c * 26 + gx_letter_value(static_cast<unsigned char>(text[i])) + 1;
        if (c > GX_MAX_COL + 1)
            return -1;
    }
    return i ? int(c - 1) : -1;
}

int gx_parse_range(std::string_view t, GXRange* range)
{
    size_t i = 0;
    int r1, c1, r2 = 0, c2 = 0;
    bool ar1, ac1, ar2 = false, ac2 = false;
    if (!ParseCorner(t, i, r1, c1, ar1, ac1))
        return 0;
    bool single = i == t.size();
    if (!single) {
        if (t[i] != ':' && t[i] != '.')
            return 0;
        if (t[i++] == '.' && i < t.size() && t[i] == '.')
            ++i;
        if (!ParseCorner(t, i, r2, c2, ar2, ac2) || i != t.size())
            return 0;
    }
    int flags = (single ? GX_MAKE_SINGLE : 0) | (ar1 ? GX_MAKE_ABSROW1 : 0) | (ac1 ? GX_MAKE_ABSCOL1 : 0) |
                (ar2 ? GX_MAKE_ABSROW2 : 0) | (ac2 ? GX_MAKE_ABSCOL2 : 0);
    GXRange r;
    if (!gx_make_range(&r, r1, c1, r2, c2, flags))
        return 0;
    *range = r;
    return 1;
}

int gx_parse_range(const char* text, GXRange* range)
{
    return text ? gx_parse_range(std::string_view(text), range) : 0;
}

std::string gx_range_string(const GXRange& range)
{
    GXRange r = range;
    if (!gx_normalize_range(&r))
        return {};
    std::string out;
    CornerText(out, r.Top(), r.Left(), r.AbsRow1(), r.AbsCol1());
    if (!r.Single()) {
        out += "..";
        CornerText(out, r.Bottom(), r.Right(), r.AbsRow2(), r.AbsCol2());
    }
    return out;
}

const char* gx_range_to_text(const GXRange& range)
{
    std::string s = gx_range_string(range);
    if (s.empty())
        return nullptr;
    char* out = gx_engine_state()->scratch;
    std::snprintf(out, sizeof(gx_engine_state()->scratch), "%s", s.c_str());
    return out;
}

int gx_normalize_range(GXRange* range)
{
    GXRange& r = *range;
    auto badRow = [](uint32_t w) { return (w & 0xFFFFFF) == 0 || (w & 0x800000); };
    if (badRow(r.top) || (r.Left() & 0x1000))
        return 0;
    if (r.Single()) {
        uint32_t abs = (r.cols & (GX_RANGE_ABSROW1 | GX_RANGE_ABSCOL1)) << 15;
        r.bottom = r.top;
        r.cols = (r.cols & (0x1FFFu | GX_RANGE_ABSROW1 | GX_RANGE_ABSCOL1 | GX_RANGE_SINGLE)) | uint32_t(r.Left()) << 15 | abs;
        return 1;
    }
    if (badRow(r.bottom) || (r.Right() & 0x1000))
        return 0;
    if (r.Top() > r.Bottom()) {
        std::swap(r.top, r.bottom);
        bool a1 = r.AbsRow1(), a2 = r.AbsRow2();
        r.cols = (r.cols & ~(GX_RANGE_ABSROW1 | GX_RANGE_ABSROW2)) | (a2 ? GX_RANGE_ABSROW1 : 0) | (a1 ? GX_RANGE_ABSROW2 : 0);
    }
    if (r.Left() > r.Right()) {
        uint32_t l = uint32_t(r.Left()), rt = uint32_t(r.Right());
        bool a1 = r.AbsCol1(), a2 = r.AbsCol2();
        r.cols = (r.cols & ~(0x1FFFu | 0x1FFFu << 15 | GX_RANGE_ABSCOL1 | GX_RANGE_ABSCOL2)) | rt | l << 15 |
                 (a2 ? GX_RANGE_ABSCOL1 : 0) | (a1 ? GX_RANGE_ABSCOL2 : 0);
    }
    return 1;
}

int gx_ranges_overlap(const GXRange& a, const GXRange& b)
{
    return a.Top() <= b.Bottom() && b.Top() <= a.Bottom() && a.Left() <= b.Right() && b.Left() <= a.Right();
}

int gx_ranges_equal(const GXRange& a, const GXRange& b)
{
    return a.Top() == b.Top() && a.Bottom() == b.Bottom() && a.Left() == b.Left() && a.Right() == b.Right();
}

int gx_make_range(GXRange* range, int top, int left, int bottom, int right, int flags)
{
    auto rowOk = [](int r) { return r >= 1 && r <= GX_MAX_ROW; };
    auto colOk = [](int c) { return c >= 0 && c <= GX_MAX_COL; };
    GXRange r;
    if (flags & GX_MAKE_SINGLE) {
        bottom = top;
        right = left;
    }
    if (!rowOk(top) || !rowOk(bottom) || !colOk(left) || !colOk(right)) {
        *range = r;
        return 0;
    }
    r.top = uint32_t(top);
    r.bottom = uint32_t(bottom);
    r.cols = uint32_t(left) | uint32_t(right) << 15 | ((flags & GX_MAKE_ABSROW1) ? GX_RANGE_ABSROW1 : 0) |
             ((flags & GX_MAKE_ABSCOL1) ? GX_RANGE_ABSCOL1 : 0) | ((flags & GX_MAKE_SINGLE) ? GX_RANGE_SINGLE : 0);
    if (!(flags & GX_MAKE_SINGLE))
        r.cols |= ((flags & GX_MAKE_ABSROW2) ? GX_RANGE_ABSROW2 : 0) | ((flags & GX_MAKE_ABSCOL2) ? GX_RANGE_ABSCOL2 : 0);
    gx_normalize_range(&r);
    *range = r;
    return 1;
}

void gx_escape_text(std::string& out, std::string_view text, bool quote)
{
    static const char kLetters[] = "abtnvfr";  // codes 7 to 13
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch >= 7 && ch <= 13) {
            out += '\\';
            out += kLetters[ch - 7];
        } else if (ch == '\\') {
            out += "\\\\";
        } else if (ch == '"' && quote) {
            out += "\\\"";
        } else if (ch < 32 || ch == 127) {
            bool nextOctal = i + 1 < text.size() && IsOctal(text[i + 1]);
            char buf[8];
            if (ch >= 64 || nextOctal)
                std::snprintf(buf, sizeof buf, "\\%03o", ch);
            else
                std::snprintf(buf, sizeof buf, "\\%o", ch);
            out += buf;
        } else {
            out += char(ch);
        }
    }
}

void gx_unescape_text(std::string& out, std::string_view t)
{
    constexpr int kMaxChars = 511;
    int chars = 0;
    auto put = [&](char c) {
        // A character is counted at its first byte; continuation bytes follow it.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            if (chars == kMaxChars)
                return false;
            ++chars;
        }
        out += c;
        return true;
    };
    for (size_t i = 0; i < t.size();) {
        char c = t[i++];
        if (c != '\\') {
            if (!put(c))
                return;
            continue;
        }
        if (i >= t.size())
            return;
        c = t[i++];
        switch (c) {
        case 'a': c = '\a'; break;
        case 'b': c = '\b'; break;
        case 'f': c = '\f'; break;
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        case 'v': c = '\v'; break;
        case 'x':
            if (i < t.size() && gx_hex_digit(static_cast<unsigned char>(t[i])) >= 0) {
                int v = gx_hex_digit(static_cast<unsigned char>(t[i++]));
                if (i < t.size() && gx_hex_digit(static_cast<unsigned char>(t[i])) >= 0)
                    v = v * 16 + gx_hex_digit(static_cast<unsigned char>(t[i++]));
                c = char(v);
            }
            break;
        default:
            if (IsOctal(c)) {
                int v = c - '0';
                for (int n = 1; n < 3 && i < t.size() && IsOctal(t[i]); ++n)
                    v = v * 8 + (t[i++] - '0');
                c = char(v & 0xFF);
            }
            break;
        }
        if (!put(c))
            return;
    }
}

int gx_hex_digit(int ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}
