// Text output and measurement: TextOut, ExtTextOut, DrawText, extents and metrics.

#include <cmath>
#include <cstring>
#include <memory>
#include <strings.h>

#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

namespace pvgdi {

FontFace* CurrentFace(HDC dc)
{
    FontObj* fo = dc->st.font ? dc->st.font : StockFont(SYSTEM_FONT);
    const double scale = std::fabs(ScaleY(dc));
    if (!dc->face || dc->faceSerial != fo->serial || dc->faceScale != scale) {
        dc->face = RealizeFont(fo->lf, scale);
        dc->faceSerial = fo->serial;
        dc->faceScale = scale;
    }
    return dc->face;
}

int TextWidthDev(FontFace* f, const char* s, int n)
{
    int w = 0;
    for (int i = 0; i < n;) {
        uint32_t cp;
        i += DecodeUtf8(s, n, i, cp);
        w += f->Advance(cp);
    }
    return w;
}

int FaceAscent(FontFace* f)
{
    return f->ascent;
}

int FaceHeight(FontFace* f)
{
    return f->height;
}

void DrawTextDev(HDC dc, FontFace* f, int x, int baseline, const char* s, int n, bool rtl, COLORREF color)
{
    cairo_t* cr = PrepareCairo(dc);
    if (!cr || n <= 0) return;
    cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
    thread_local std::vector<cairo_glyph_t> glyphs;
    bool ascii = !rtl;
    for (int i = 0; i < n && ascii; ++i) ascii = s[i] >= 0x20 && s[i] < 0x7F;
    if (ascii) {
        glyphs.clear();
        cairo_scaled_font_t* font = nullptr;
        double pos = x;
        auto flush = [&] {
            if (font && !glyphs.empty()) {
                cairo_set_scaled_font(cr, font);
                cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
            }
            glyphs.clear();
        };
        for (int i = 0; i < n; ++i) {
            const FontFace::Glyph& g = f->AsciiGlyph(static_cast<unsigned char>(s[i]));
            if (!g.empty) {
                if (g.font != font) {
                    flush();
                    font = g.font;
                }
                glyphs.push_back(cairo_glyph_t{g.index, pos + g.dx, baseline + g.dy});
            }
            pos += g.advance;
        }
        flush();
        return;
    }
    const Shaped& sh = f->Shape(std::string(s, size_t(n)), rtl);
    for (const ShapedRun& run : sh.runs) {
        glyphs.resize(run.glyphs.size());
        for (size_t i = 0; i < glyphs.size(); ++i)
            glyphs[i] = cairo_glyph_t{run.glyphs[i].index, run.glyphs[i].x + x, run.glyphs[i].y + baseline};
        cairo_set_scaled_font(cr, run.font);
        cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
    }
}

void TextMetricsOf(HDC dc, TEXTMETRIC& tm)
{
    FontFace* f = CurrentFace(dc);
    const LOGFONT& lf = (dc->st.font ? dc->st.font : StockFont(SYSTEM_FONT))->lf;
    const double s = std::fabs(ScaleY(dc)), sx = std::fabs(ScaleX(dc));
    auto ly = [&](int v) { return s == 1.0 ? LONG(v) : LONG(std::lround(v / s)); };
    auto lx = [&](int v) { return sx == 1.0 ? LONG(v) : LONG(std::lround(v / sx)); };
    tm = TEXTMETRIC{};
    tm.tmAscent = ly(f->ascent);
    tm.tmDescent = ly(f->descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = ly(f->intLeading);
    tm.tmExternalLeading = ly(f->extLeading);
    tm.tmAveCharWidth = lx(f->aveWidth);
    tm.tmMaxCharWidth = lx(f->maxWidth);
    tm.tmWeight = f->weight;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = DpiY(dc);
    tm.tmFirstChar = ' ';
    tm.tmLastChar = char(0x7E);
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmItalic = lf.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    BYTE family = FF_SWISS;
    if (f->fixedPitch) family = FF_MODERN;
    else if (f->family.find("Serif") != std::string::npos && f->family.find("Sans") == std::string::npos) family = FF_ROMAN;
    // The fixed-pitch bit is set for VARIABLE-pitch fonts, as the original defines it.
    tm.tmPitchAndFamily = BYTE(family | TMPF_TRUETYPE | TMPF_VECTOR | (f->fixedPitch ? 0 : TMPF_FIXED_PITCH));
    tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
}

}  // namespace pvgdi

namespace {

// A count of -1 means up to the terminator; a count beyond the terminator stops there.
int boundedLength(const char* s, int n)
{
    if (!s) return 0;
    if (n < 0) return int(std::strlen(s));
    return int(strnlen(s, size_t(n)));
}

const LOGFONT& currentLogFont(HDC dc)
{
    return (dc->st.font ? dc->st.font : StockFont(SYSTEM_FONT))->lf;
}

int toLogicalX(HDC dc, int v)
{
    const double s = std::fabs(ScaleX(dc));
    return s == 1.0 ? v : int(std::lround(v / s));
}

int toLogicalY(HDC dc, int v)
{
    const double s = std::fabs(ScaleY(dc));
    return s == 1.0 ? v : int(std::lround(v / s));
}

void fillDev(HDC dc, const RECT& r, COLORREF c)
{
    FillDevRectColor(dc, r, c);
}

// The application clip narrowed to a device rectangle for the guard's lifetime.
class ClipGuard {
public:
    ClipGuard(HDC dc, const RECT& dev) : m_dc(dc)
    {
        m_saved = dc->st.clip ? cairo_region_copy(dc->st.clip) : nullptr;
        m_had = dc->st.clip != nullptr;
        const cairo_rectangle_int_t r{dev.left, dev.top, std::max<int>(0, dev.right - dev.left),
                                      std::max<int>(0, dev.bottom - dev.top)};
        if (dc->st.clip) cairo_region_intersect_rectangle(dc->st.clip, &r);
        else dc->st.clip = cairo_region_create_rectangle(&r);
        ClipChanged(dc);
    }
    ~ClipGuard()
    {
        if (m_dc->st.clip) cairo_region_destroy(m_dc->st.clip);
        m_dc->st.clip = m_had ? m_saved : nullptr;
        if (!m_had && m_saved) cairo_region_destroy(m_saved);
        ClipChanged(m_dc);
    }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;

private:
    HDC m_dc;
    cairo_region_t* m_saved = nullptr;
    bool m_had = false;
};

// One run of text at a device position: background, glyphs, underline and strike-out.
// (x, baseline) is the run's left end on the baseline.
void drawRunDev(HDC dc, FontFace* f, int x, int baseline, const std::string& t, int w, bool rtl, bool fillBk)
{
    const LOGFONT& lf = currentLogFont(dc);
    const DCState& s = dc->st;
    if (fillBk && w > 0) fillDev(dc, RECT{x, baseline - f->ascent, x + w, baseline - f->ascent + f->height}, s.bkColor);
    DrawTextDev(dc, f, x, baseline, t.data(), int(t.size()), rtl, s.textColor);
    if (lf.lfUnderline && w > 0)
        fillDev(dc, RECT{x, baseline + f->underlinePos, x + w, baseline + f->underlinePos + f->lineThickness}, s.textColor);
    if (lf.lfStrikeOut && w > 0)
        fillDev(dc, RECT{x, baseline - f->strikePos, x + w, baseline - f->strikePos + f->lineThickness}, s.textColor);
}

// Rotated text (a font escapement): drawn through Cairo around the reference point.
void drawRotatedDev(HDC dc, FontFace* f, POINT ref, int dx, int dy, const std::string& t, int w, bool rtl, bool fillBk,
                    double degrees)
{
    cairo_t* cr = PrepareCairo(dc);
    if (!cr) return;
    cairo_save(cr);
    cairo_translate(cr, ref.x, ref.y);
    cairo_rotate(cr, -degrees * M_PI / 180.0);
    const DCState& s = dc->st;
    if (fillBk && w > 0) {
        cairo_set_source_rgb(cr, GetRValue(s.bkColor) / 255.0, GetGValue(s.bkColor) / 255.0, GetBValue(s.bkColor) / 255.0);
        cairo_rectangle(cr, dx, dy - f->ascent, w, f->height);
        cairo_fill(cr);
    }
    const Shaped& sh = f->Shape(t, rtl);
    cairo_set_source_rgb(cr, GetRValue(s.textColor) / 255.0, GetGValue(s.textColor) / 255.0, GetBValue(s.textColor) / 255.0);
    std::vector<cairo_glyph_t> glyphs;
    for (const ShapedRun& run : sh.runs) {
        glyphs.resize(run.glyphs.size());
        for (size_t i = 0; i < glyphs.size(); ++i)
            glyphs[i] = cairo_glyph_t{run.glyphs[i].index, run.glyphs[i].x + dx, run.glyphs[i].y + dy};
        cairo_set_scaled_font(cr, run.font);
        cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
    }
    cairo_restore(cr);
}

// TextOut's work, with optional per-character advances (logical units).
BOOL textOut(HDC dc, int x, int y, const char* s, int n, const int* dxWidths, bool fillBk)
{
    if (!s || n <= 0) return TRUE;
    FontFace* f = CurrentFace(dc);
    const std::string t = ValidUtf8(s, n);
    DCState& st = dc->st;
    const bool rtl = (st.textAlign & TA_RTLREADING) != 0;
    const bool updateCP = (st.textAlign & TA_UPDATECP) != 0;
    POINT p = updateCP ? LpToDp(dc, st.cur.x, st.cur.y) : LpToDp(dc, x, y);
    int w = 0;
    std::vector<int> advDev;
    if (dxWidths) {
        const double sx = std::fabs(ScaleX(dc));
        int k = 0;
        for (size_t i = 0; i < t.size(); ++k) {
            uint32_t cp;
            i += size_t(DecodeUtf8(t.data(), int(t.size()), int(i), cp));
            advDev.push_back(int(std::lround(dxWidths[k] * sx)));
            w += advDev.back();
        }
    } else {
        w = TextWidthDev(f, t.data(), int(t.size()));
    }
    int dx = 0;
    if ((st.textAlign & TA_CENTER) == TA_CENTER) dx = -w / 2;
    else if (st.textAlign & TA_RIGHT) dx = -w;
    int dy;
    if ((st.textAlign & TA_BASELINE) == TA_BASELINE) dy = 0;
    else if (st.textAlign & TA_BOTTOM) dy = -f->descent;
    else dy = f->ascent;

    const LOGFONT& lf = currentLogFont(dc);
    if (lf.lfEscapement % 3600 != 0) {
        drawRotatedDev(dc, f, p, dx, dy, t, w, rtl, fillBk, lf.lfEscapement / 10.0);
    } else if (dxWidths) {
        if (fillBk) fillDev(dc, RECT{p.x + dx, p.y + dy - f->ascent, p.x + dx + w, p.y + dy - f->ascent + f->height}, st.bkColor);
        int cx = p.x + dx;
        size_t k = 0;
        for (size_t i = 0; i < t.size(); ++k) {
            uint32_t cp;
            const int len = DecodeUtf8(t.data(), int(t.size()), int(i), cp);
            DrawTextDev(dc, f, cx, p.y + dy, t.data() + i, len, rtl, st.textColor);
            cx += advDev[k];
            i += size_t(len);
        }
    } else {
        drawRunDev(dc, f, p.x + dx, p.y + dy, t, w, rtl, fillBk);
    }
    if (updateCP) {
        int nx = p.x;
        if ((st.textAlign & TA_CENTER) != TA_CENTER) nx = (st.textAlign & TA_RIGHT) ? p.x - w : p.x + w;
        st.cur = DpToLp(dc, nx, p.y);
    }
    return TRUE;
}

}  // namespace

// ---- CDC text ----

BOOL CDC::TextOut(int x, int y, LPCTSTR s, int n)
{
    if (!m_hDC) return FALSE;
    n = boundedLength(s, n);
    RecordScope rs(m_hDC, "TextOut");
    rs.set(RECT{x, y, x, y}, m_hDC->st.textColor, m_hDC->st.bkColor, m_hDC->st.textAlign, s, n);
    return textOut(m_hDC, x, y, s, n, nullptr, m_hDC->st.bkMode == OPAQUE);
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR s, UINT nCount, const int* lpDx)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    const int n = boundedLength(s, int(std::min<UINT>(nCount, 0x7FFFFFFF)));
    RecordScope rs(dc, "ExtTextOut");
    rs.set(lpRect ? *lpRect : RECT{x, y, x, y}, dc->st.textColor, dc->st.bkColor, nOptions, s, n);
    if (lpRect && (nOptions & ETO_OPAQUE)) fillDev(dc, LpToDpRect(dc, *lpRect), dc->st.bkColor);
    if (n <= 0) return TRUE;
    const UINT align = dc->st.textAlign;
    if (nOptions & ETO_RTLREADING) dc->st.textAlign |= TA_RTLREADING;
    const bool fillBk = dc->st.bkMode == OPAQUE && !(lpRect && (nOptions & ETO_OPAQUE));
    BOOL ok;
    if (lpRect && (nOptions & ETO_CLIPPED)) {
        ClipGuard g(dc, LpToDpRect(dc, *lpRect));
        ok = textOut(dc, x, y, s, n, lpDx, fillBk);
    } else {
        ok = textOut(dc, x, y, s, n, lpDx, fillBk);
    }
    dc->st.textAlign = align;
    return ok;
}

namespace {

struct Line {
    std::string text;
    int width = 0;
    int ul = -1;  // byte offset of the underlined (mnemonic) character
};

struct Measurer {
    FontFace* f;
    bool tabs;
    int tabW;
    // Width of t[a, b) drawn from a line's start x0 (tabs expand to multiples of tabW).
    int width(const std::string& t, size_t a, size_t b, int x0 = 0) const
    {
        int x = x0;
        for (size_t i = a; i < b;) {
            uint32_t cp;
            i += size_t(DecodeUtf8(t.data(), int(b), int(i), cp));
            if (cp == '\t' && tabs) x = (x / tabW + 1) * tabW;
            else x += f->Advance(cp);
        }
        return x - x0;
    }
    int charLen(const std::string& t, size_t i) const
    {
        uint32_t cp;
        return DecodeUtf8(t.data(), int(t.size()), int(i), cp);
    }
};

// Cuts a line so that it and "..." fit the width.
void endEllipsis(Line& line, const Measurer& m, int maxW)
{
    if (line.width <= maxW) return;
    const int dots = m.width(std::string("..."), 0, 3);
    size_t cut = 0;
    int x = 0;
    for (size_t i = 0; i < line.text.size();) {
        const size_t len = size_t(m.charLen(line.text, i));
        x += m.width(line.text, i, i + len, x);
        if (x + dots > maxW) break;
        i += len;
        cut = i;
    }
    line.text = line.text.substr(0, cut) + "...";
    if (line.ul >= int(cut)) line.ul = -1;
    line.width = m.width(line.text, 0, line.text.size());
}

}  // namespace

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    if (!m_hDC || !lpRect || !lpszString) return 0;
    HDC dc = m_hDC;
    nCount = boundedLength(lpszString, nCount);
    RecordScope rs(dc, "DrawText");
    rs.set(*lpRect, dc->st.textColor, dc->st.bkColor, nFormat, lpszString, nCount);

    UINT fmt = nFormat;
    int tabChars = 8;
    if ((fmt & DT_TABSTOP) && (fmt & DT_EXPANDTABS)) {
        tabChars = int((fmt >> 8) & 0xFF);
        if (tabChars == 0) tabChars = 8;
        fmt &= ~UINT(0xFF00);
    }
    const bool single = (fmt & DT_SINGLELINE) != 0;
    FontFace* f = CurrentFace(dc);
    const Measurer m{f, (fmt & DT_EXPANDTABS) != 0, std::max(1, tabChars * f->aveWidth)};

    // Mnemonic prefixes: "&x" underlines x, "&&" is a literal ampersand.
    const std::string raw = ValidUtf8(lpszString ? lpszString : "", nCount);
    std::string t;
    int ul = -1;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (single && (c == '\r' || c == '\n')) continue;
        if (c == '&' && !(fmt & DT_NOPREFIX)) {
            if (i + 1 < raw.size() && raw[i + 1] == '&') {
                t += '&';
                ++i;
            } else if (i + 1 < raw.size() && !(fmt & DT_HIDEPREFIX)) {
                ul = int(t.size());
            }
            continue;
        }
        t += c;
    }

    const RECT R = LpToDpRect(dc, *lpRect);
    const int maxW = R.right - R.left;
    const int lineH = f->height + ((fmt & DT_EXTERNALLEADING) ? f->extLeading : 0);

    std::vector<Line> lines;
    auto addLine = [&](size_t a, size_t b) {
        Line l;
        l.text = t.substr(a, b - a);
        l.width = m.width(t, a, b);
        if (ul >= int(a) && ul < int(b)) l.ul = ul - int(a);
        lines.push_back(std::move(l));
    };
    if (single) {
        addLine(0, t.size());
    } else {
        size_t p = 0;
        while (true) {
            size_t e = p;
            while (e < t.size() && t[e] != '\r' && t[e] != '\n') ++e;
            // One paragraph [p, e)
            if (!(fmt & DT_WORDBREAK) || e == p) {
                addLine(p, e);
            } else {
                size_t i = p;
                while (i < e) {
                    int x = 0;
                    size_t j = i, breakAt = 0;
                    bool haveBreak = false, ended = false;
                    while (j < e) {
                        const int len = m.charLen(t, j);
                        if (t[j] == ' ' && j > i) {
                            breakAt = j;
                            haveBreak = true;
                        }
                        const int w = m.width(t, j, j + size_t(len), x);
                        if (x + w > maxW && t[j] != ' ') {
                            size_t end, next;
                            if (haveBreak) {
                                end = breakAt;
                                next = breakAt;
                            } else if ((fmt & DT_EDITCONTROL) && j > i) {
                                end = next = j;
                            } else {
                                end = j;
                                while (end < e && t[end] != ' ') end += size_t(m.charLen(t, end));
                                next = end;
                            }
                            while (next < e && t[next] == ' ') ++next;
                            addLine(i, end);
                            i = next;
                            ended = true;
                            break;
                        }
                        x += w;
                        j += size_t(len);
                    }
                    if (!ended) {
                        size_t end = e;
                        addLine(i, end);
                        i = e;
                    }
                }
            }
            if (e >= t.size()) break;
            p = e + ((t[e] == '\r' && e + 1 < t.size() && t[e + 1] == '\n') ? 2 : 1);
            if (p >= t.size()) break;  // a break at the very end starts no new line
        }
    }
    if (fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
        for (Line& l : lines) endEllipsis(l, m, maxW);

    const int totalH = int(lines.size()) * lineH;
    if (fmt & DT_CALCRECT) {
        int w = 0;
        for (const Line& l : lines) w = std::max(w, l.width);
        lpRect->right = lpRect->left + toLogicalX(dc, w);
        lpRect->bottom = lpRect->top + toLogicalY(dc, totalH);
        return toLogicalY(dc, totalH);
    }

    int y = R.top;
    if (single && (fmt & DT_VCENTER)) y = R.top + (R.bottom - R.top - lineH) / 2;
    else if (single && (fmt & DT_BOTTOM)) y = R.bottom - lineH;
    const int result = (y - R.top) + totalH;
    const bool rtl = (fmt & DT_RTLREADING) || (dc->st.textAlign & TA_RTLREADING);
    const bool fillBk = dc->st.bkMode == OPAQUE;
    std::unique_ptr<ClipGuard> guard;
    if (!(fmt & DT_NOCLIP)) guard = std::make_unique<ClipGuard>(dc, R);
    for (const Line& l : lines) {
        int x = R.left;
        if (fmt & DT_CENTER) x = R.left + (maxW - l.width) / 2;
        else if (fmt & DT_RIGHT) x = R.right - l.width;
        const int baseline = y + f->ascent;
        if (m.tabs && l.text.find('\t') != std::string::npos) {
            if (fillBk) fillDev(dc, RECT{x, y, x + l.width, y + f->height}, dc->st.bkColor);
            size_t a = 0;
            int cx = 0;
            while (a <= l.text.size()) {
                size_t b = l.text.find('\t', a);
                if (b == std::string::npos) b = l.text.size();
                const std::string seg = l.text.substr(a, b - a);
                DrawTextDev(dc, f, x + cx, baseline, seg.data(), int(seg.size()), rtl, dc->st.textColor);
                cx += m.width(l.text, a, b, cx);
                if (b >= l.text.size()) break;
                cx = (cx / m.tabW + 1) * m.tabW;
                a = b + 1;
            }
        } else {
            drawRunDev(dc, f, x, baseline, l.text, l.width, rtl, fillBk);
        }
        if (l.ul >= 0 && size_t(l.ul) < l.text.size()) {
            const int ux = x + m.width(l.text, 0, size_t(l.ul));
            const int uw = m.width(l.text, size_t(l.ul), size_t(l.ul) + size_t(m.charLen(l.text, size_t(l.ul))));
            fillDev(dc, RECT{ux, baseline + 1, ux + uw, baseline + 2}, dc->st.textColor);
        }
        y += lineH;
    }
    return toLogicalY(dc, result);
}

CSize CDC::GetTextExtent(LPCTSTR s, int n) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc) return CSize();
    n = boundedLength(s, n);
    FontFace* f = CurrentFace(dc);
    return CSize(toLogicalX(dc, TextWidthDev(f, s, n)), toLogicalY(dc, f->height));
}

CSize CDC::GetOutputTextExtent(LPCTSTR s, int n) const
{
    if (!m_hDC) return CSize();
    n = boundedLength(s, n);
    FontFace* f = CurrentFace(m_hDC);
    return CSize(toLogicalX(m_hDC, TextWidthDev(f, s, n)), toLogicalY(m_hDC, f->height));
}

namespace {

// Where each tab-separated piece of a line starts (device units from the text's start, which
// lies `origin` device units right of the tab origin), and the total width.
int tabLayout(FontFace* f, const char* s, int n, int nTabPositions, const int* stops, int origin,
              std::vector<std::pair<int, int>>* pieces)
{
    int x = origin;
    int tabW = 8 * f->aveWidth;
    if (nTabPositions == 1 && stops) tabW = std::max(1, stops[0]);
    int start = 0;
    if (pieces) pieces->emplace_back(0, x - origin);
    for (int i = 0; i < n;) {
        uint32_t cp;
        const int len = DecodeUtf8(s, n, i, cp);
        i += len;
        if (cp != '\t') {
            x += f->Advance(cp);
            continue;
        }
        int next = (x / tabW + 1) * tabW;
        if (nTabPositions > 1 && stops) {
            next = x + f->aveWidth;
            for (int k = 0; k < nTabPositions; ++k)
                if (stops[k] > x) {
                    next = stops[k];
                    break;
                }
        }
        x = next;
        start = i;
        if (pieces) pieces->emplace_back(start, x - origin);
    }
    return x - origin;
}

}  // namespace

CSize CDC::TabbedTextOut(int x, int y, LPCTSTR s, int n, int nTabPositions, const int* lpnTabStopPositions,
                         int nTabOrigin)
{
    if (!m_hDC) return CSize();
    HDC dc = m_hDC;
    n = boundedLength(s, n);
    RecordScope rs(dc, "TabbedTextOut");
    rs.set(RECT{x, y, x, y}, dc->st.textColor, dc->st.bkColor, dc->st.textAlign, s, n);
    FontFace* f = CurrentFace(dc);
    std::vector<std::pair<int, int>> pieces;
    const int origin = std::max(0, int(std::lround((x - nTabOrigin) * std::fabs(ScaleX(dc)))));
    const int w = tabLayout(f, s ? s : "", n, nTabPositions, lpnTabStopPositions, origin, &pieces);
    const POINT p = LpToDp(dc, x, y);
    if (dc->st.bkMode == OPAQUE) fillDev(dc, RECT{p.x, p.y, p.x + w, p.y + f->height}, dc->st.bkColor);
    for (size_t k = 0; s && k < pieces.size(); ++k) {
        const int a = pieces[k].first;
        int b = k + 1 < pieces.size() ? pieces[k + 1].first - 1 : n;
        if (b < a) b = a;
        const std::string t = ValidUtf8(s + a, b - a);
        DrawTextDev(dc, f, p.x + pieces[k].second, p.y + f->ascent, t.data(), int(t.size()),
                    (dc->st.textAlign & TA_RTLREADING) != 0, dc->st.textColor);
    }
    return CSize(toLogicalX(dc, w), toLogicalY(dc, f->height));
}

CSize CDC::GetTabbedTextExtent(LPCTSTR s, int n, int nTabPositions, const int* lpnTabStopPositions) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc) return CSize();
    n = boundedLength(s, n);
    FontFace* f = CurrentFace(dc);
    return CSize(toLogicalX(dc, tabLayout(f, s ? s : "", n, nTabPositions, lpnTabStopPositions, 0, nullptr)),
                 toLogicalY(dc, f->height));
}

BOOL CDC::GetTextMetrics(LPTEXTMETRIC tm) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || !tm) return FALSE;
    TextMetricsOf(dc, *tm);
    return TRUE;
}

BOOL CDC::GetOutputTextMetrics(LPTEXTMETRIC tm) const
{
    if (!m_hDC || !tm) return FALSE;
    TextMetricsOf(m_hDC, *tm);
    return TRUE;
}

int CDC::GetTextFace(int nCount, LPTSTR lpszFacename) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || nCount <= 0 || !lpszFacename) return 0;
    const LOGFONT& lf = currentLogFont(dc);
    std::strncpy(lpszFacename, lf.lfFaceName, size_t(nCount - 1));
    lpszFacename[nCount - 1] = 0;
    return int(std::strlen(lpszFacename));
}

int CDC::GetTextFace(CString& rString) const
{
    char buf[LF_FACESIZE + 1] = {};
    const int n = GetTextFace(LF_FACESIZE + 1, buf);
    rString = buf;
    return n;
}

BOOL CDC::GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || !lpBuffer || nLastChar < nFirstChar || nLastChar - nFirstChar > 0xFFFF || nLastChar > 0x10FFFF)
        return FALSE;
    FontFace* f = CurrentFace(dc);
    for (UINT c = nFirstChar; c <= nLastChar; ++c) lpBuffer[c - nFirstChar] = toLogicalX(dc, f->Advance(c));
    return TRUE;
}

// ---- Handle-level text functions ----

BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC lptm)
{
    CDC* dc = CDC::FromHandle(hdc);
    return dc ? dc->GetTextMetrics(lptm) : FALSE;
}

BOOL GetTextExtentPoint32(HDC hdc, LPCTSTR s, int c, LPSIZE psz)
{
    CDC* dc = CDC::FromHandle(hdc);
    if (!dc || !psz) return FALSE;
    *psz = dc->GetTextExtent(s, c);
    return TRUE;
}

int DrawText(HDC hdc, LPCTSTR s, int n, LPRECT r, UINT fmt)
{
    CDC* dc = CDC::FromHandle(hdc);
    return dc ? dc->DrawText(s, n, r, fmt) : 0;
}

CString PvResolveFontFamily(LPCTSTR lpszFaceName, BYTE nPitchAndFamily)
{
    return CString(ResolveFamily(lpszFaceName, nPitchAndFamily));
}

int EnumFontFamiliesEx(HDC hdc, LPLOGFONT lpLogfont, FONTENUMPROC lpProc, LPARAM lParam, DWORD)
{
    if (!lpProc) return 0;
    const BYTE charset = lpLogfont ? lpLogfont->lfCharSet : DEFAULT_CHARSET;
    if (charset != DEFAULT_CHARSET && charset != ANSI_CHARSET) return 1;
    std::string only = lpLogfont ? std::string(lpLogfont->lfFaceName, strnlen(lpLogfont->lfFaceName, LF_FACESIZE)) : "";
    auto same = [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; };

    std::vector<std::string> names = InstalledFamilies();
    for (const char* classic : {"Arial", "Courier New", "MS Sans Serif", "Times New Roman"}) {
        bool present = false;
        for (const auto& n : names) present = present || same(n, classic);
        if (!present) names.push_back(classic);
    }
    (void)hdc;
    int result = 1;
    for (const std::string& name : names) {
        if (!only.empty() && !same(only, name)) continue;
        ENUMLOGFONTEX elf{};
        NEWTEXTMETRICEX ntm{};
        std::strncpy(elf.elfLogFont.lfFaceName, name.c_str(), LF_FACESIZE - 1);
        std::strncpy(reinterpret_cast<char*>(elf.elfFullName), name.c_str(), LF_FULLFACESIZE - 1);
        std::strncpy(reinterpret_cast<char*>(elf.elfStyle), "Regular", LF_FACESIZE - 1);
        std::strncpy(reinterpret_cast<char*>(elf.elfScript), "Western", LF_FACESIZE - 1);
        const std::string family = ResolveFamily(name.c_str(), 0);
        const bool mono = FamilyIsMonospace(family);
        const bool serif = family.find("Serif") != std::string::npos && family.find("Sans") == std::string::npos;
        elf.elfLogFont.lfCharSet = ANSI_CHARSET;
        elf.elfLogFont.lfWeight = FW_NORMAL;
        elf.elfLogFont.lfOutPrecision = OUT_TT_PRECIS;
        elf.elfLogFont.lfPitchAndFamily =
            BYTE((mono ? FIXED_PITCH : VARIABLE_PITCH) | (mono ? FF_MODERN : serif ? FF_ROMAN : FF_SWISS));
        elf.elfLogFont.lfHeight = 16;
        ntm.ntmTm.tmHeight = 16;
        ntm.ntmTm.tmWeight = FW_NORMAL;
        ntm.ntmTm.tmCharSet = ANSI_CHARSET;
        ntm.ntmTm.tmPitchAndFamily =
            BYTE((elf.elfLogFont.lfPitchAndFamily & 0xF0) | TMPF_TRUETYPE | TMPF_VECTOR | (mono ? 0 : TMPF_FIXED_PITCH));
        result = lpProc(&elf.elfLogFont, &ntm.ntmTm, TRUETYPE_FONTTYPE, lParam);
        if (result == 0) break;
    }
    return result;
}

int EnumFontFamilies(HDC hdc, LPCTSTR lpszFamily, FONTENUMPROC lpProc, LPARAM lParam)
{
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (lpszFamily) std::strncpy(lf.lfFaceName, lpszFamily, LF_FACESIZE - 1);
    return EnumFontFamiliesEx(hdc, &lf, lpProc, lParam, 0);
}
