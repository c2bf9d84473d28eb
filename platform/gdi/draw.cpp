// Lines, shapes, fills, raster operations, edges and frame controls.

#include <cmath>
#include <cstring>
#include <functional>

#include "platform/gdi/dib.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/sys/system.h"

using namespace pvgdi;

namespace pvgdi {

uint32_t Rop2(int rop2, uint32_t p, uint32_t d)
{
    uint32_t r;
    switch (rop2) {
    case R2_COPYPEN: r = p; break;
    case R2_NOT: r = ~d; break;
    case R2_XORPEN: r = p ^ d; break;
    case R2_NOP: r = d; break;
    case R2_BLACK: r = 0; break;
    case R2_WHITE: r = ~0u; break;
    default: {
        const unsigned code = unsigned(rop2 - 1) & 0xF;
        r = 0;
        for (unsigned i = 0; i < 4; ++i)
            if (code & (1u << i)) r |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
    }
    }
    return r | 0xFF000000u;
}

uint32_t Rop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t r;
    switch (code) {
    case 0xCC: r = s; break;
    case 0xF0: r = p; break;
    case 0x55: r = ~d; break;
    case 0x5A: r = p ^ d; break;
    case 0x66: r = s ^ d; break;
    case 0x88: r = s & d; break;
    case 0xEE: r = s | d; break;
    case 0x33: r = ~s; break;
    case 0x00: r = 0; break;
    case 0xFF: r = ~0u; break;
    case 0xB8: r = (s & d) | (~s & p); break;
    default:
        r = 0;
        for (unsigned i = 0; i < 8; ++i)
            if (code & (1u << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r | 0xFF000000u;
}

namespace {

const uint8_t kHatch[6][8] = {
    {0xFF, 0, 0, 0, 0, 0, 0, 0},                          // HS_HORIZONTAL
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},     // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},     // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},     // HS_BDIAGONAL
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},     // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},     // HS_DIAGCROSS
};

inline int mod(int a, int m)
{
    const int r = a % m;
    return r < 0 ? r + m : r;
}

bool monoTarget(HDC dc)
{
    return dc->kind == DCKind::Memory && dc->bitmap && dc->bitmap->mono;
}

}  // namespace

bool BrushPixel(HDC dc, const BrushObj* b, int dx, int dy, uint32_t& out)
{
    if (!b) return false;
    const DCState& s = dc->st;
    COLORREF c;
    switch (b->style) {
    case BS_SOLID: c = b->color; break;
    case BS_HATCHED: {
        const int px = mod(dx - s.brushOrg.x, 8), py = mod(dy - s.brushOrg.y, 8);
        if (kHatch[std::clamp(b->hatch, 0, 5)][py] & (0x80 >> px)) c = b->color;
        else if (s.bkMode == OPAQUE) c = s.bkColor;
        else return false;
        break;
    }
    case BS_PATTERN: {
        if (b->pw <= 0 || b->ph <= 0) return false;
        const int px = mod(dx - s.brushOrg.x, 8) % b->pw, py = mod(dy - s.brushOrg.y, 8) % b->ph;
        const uint32_t v = b->pix[size_t(py * b->pw + px)];
        if (b->mono) {
            out = monoTarget(dc) ? (v ? 0xFFFFFFFFu : 0xFF000000u) : ToPixel(v ? s.bkColor : s.textColor);
            return true;
        }
        out = monoTarget(dc) ? MonoPixel(FromPixel(v)) : (0xFF000000u | v);
        return true;
    }
    default: return false;
    }
    out = monoTarget(dc) ? MonoPixel(c) : ToPixel(c);
    return true;
}

cairo_pattern_t* BrushPattern(HDC dc, const BrushObj* b)
{
    if (!b || b->style == BS_NULL) return nullptr;
    if (b->style == BS_SOLID)
        return cairo_pattern_create_rgb(GetRValue(b->color) / 255.0, GetGValue(b->color) / 255.0, GetBValue(b->color) / 255.0);
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(tile));
    const int stride = cairo_image_surface_get_stride(tile) / 4;
    const POINT org = dc->st.brushOrg;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint32_t v;
            px[y * stride + x] = BrushPixel(dc, b, x + org.x, y + org.y, v) ? v : 0;
        }
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -org.x, -org.y);
    cairo_pattern_set_matrix(p, &m);
    return p;
}

namespace {

void setColor(cairo_t* cr, COLORREF c)
{
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

// Vector surfaces cannot read back pixels; the raster operations are approximated by blend modes.
cairo_operator_t vectorOp(int rop2)
{
    switch (rop2) {
    case R2_NOT:
    case R2_XORPEN:
    case R2_NOTXORPEN: return CAIRO_OPERATOR_DIFFERENCE;
    case R2_MASKPEN: return CAIRO_OPERATOR_MULTIPLY;
    case R2_MERGEPEN: return CAIRO_OPERATOR_SCREEN;
    default: return CAIRO_OPERATOR_OVER;
    }
}

}  // namespace

void FillDevRect(HDC dc, const RECT& dev, const BrushObj* b, int rop2)
{
    if (!b || b->style == BS_NULL || rop2 == R2_NOP || dev.left >= dev.right || dev.top >= dev.bottom) return;
    Raster r;
    if (GetRaster(dc, r)) {
        const bool fast = b->style == BS_SOLID && rop2 == R2_COPYPEN;
        uint32_t solid = 0;
        if (fast) BrushPixel(dc, b, 0, 0, solid);
        ForEachVisible(dc, dev, [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint32_t* row = r.px + size_t(y) * size_t(r.stride);
                if (fast) {
                    std::fill(row + x0, row + x1, solid);
                    continue;
                }
                for (int x = x0; x < x1; ++x) {
                    uint32_t p;
                    if (rop2 == R2_NOT || rop2 == R2_BLACK || rop2 == R2_WHITE) p = 0;
                    else if (!BrushPixel(dc, b, x - dc->origin.x, y - dc->origin.y, p)) continue;
                    row[x] = Rop2(rop2, p, row[x]);
                }
            }
        });
        MarkDirty(dc);
        return;
    }
    cairo_t* cr = PrepareCairo(dc);
    if (!cr) return;
    cairo_pattern_t* p = rop2 == R2_NOT ? cairo_pattern_create_rgb(1, 1, 1) : BrushPattern(dc, b);
    if (!p) return;
    cairo_save(cr);
    cairo_set_operator(cr, vectorOp(rop2));
    cairo_set_source(cr, p);
    cairo_rectangle(cr, dev.left, dev.top, dev.right - dev.left, dev.bottom - dev.top);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(p);
}

void FillDevRectColor(HDC dc, const RECT& dev, COLORREF c)
{
    BrushObj b;
    b.style = BS_SOLID;
    b.color = c;
    FillDevRect(dc, dev, &b, R2_COPYPEN);
}

}  // namespace pvgdi

namespace {

void invertDevRect(HDC dc, const RECT& dev)
{
    BrushObj b;
    b.style = BS_SOLID;
    FillDevRect(dc, dev, &b, R2_NOT);
}

int penWidthDev(HDC dc, const PenObj* p)
{
    if (p->width <= 1 && (p->style & PS_TYPE_MASK) != PS_GEOMETRIC) return 1;
    return std::max(1, int(std::lround(p->width * std::fabs(ScaleX(dc)))));
}

// On/off run lengths of a styled pen, in pixels for a one-pixel pen.
const std::vector<int>* dashOf(const PenObj* p, int width)
{
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3};
    const bool geometric = (p->style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if (width > 1 && !geometric) return nullptr;
    switch (p->style & PS_STYLE_MASK) {
    case PS_DASH: return &dash;
    case PS_DOT: return &dot;
    case PS_DASHDOT: return &dashDot;
    case PS_DASHDOTDOT: return &dashDotDot;
    default: return nullptr;
    }
}

bool dashOn(const std::vector<int>* d, int i)
{
    if (!d) return true;
    int total = 0;
    for (int v : *d) total += v;
    int k = i % total;
    for (size_t j = 0; j < d->size(); ++j) {
        if (k < (*d)[j]) return (j % 2) == 0;
        k -= (*d)[j];
    }
    return true;
}

uint32_t penPixel(HDC dc, const PenObj* p)
{
    return monoTarget(dc) ? MonoPixel(p->color) : ToPixel(p->color);
}

// Builds a path on a vector or raster surface and paints it: filled with a brush, stroked with a
// pen, honouring the DC's ROP2 (through a coverage mask on raster surfaces).
void paintPath(HDC dc, const std::function<void(cairo_t*)>& path, const BrushObj* brush, const PenObj* pen)
{
    const int rop2 = dc->st.rop2;
    if (rop2 == R2_NOP) return;
    const bool hasBrush = brush && brush->style != BS_NULL;
    const bool hasPen = pen && (pen->style & PS_STYLE_MASK) != PS_NULL;
    if (!hasBrush && !hasPen) return;
    const int width = hasPen ? penWidthDev(dc, pen) : 1;
    auto strokeSetup = [&](cairo_t* cr) {
        cairo_set_line_width(cr, width);
        const UINT cap = pen->style & PS_ENDCAP_MASK, join = pen->style & PS_JOIN_MASK;
        const bool geometric = (pen->style & PS_TYPE_MASK) == PS_GEOMETRIC;
        cairo_set_line_cap(cr, !geometric || cap == PS_ENDCAP_FLAT ? CAIRO_LINE_CAP_BUTT
                               : cap == PS_ENDCAP_SQUARE         ? CAIRO_LINE_CAP_SQUARE
                                                                 : CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, join == PS_JOIN_BEVEL ? CAIRO_LINE_JOIN_BEVEL
                                : join == PS_JOIN_MITER ? CAIRO_LINE_JOIN_MITER
                                                        : CAIRO_LINE_JOIN_ROUND);
        if (const std::vector<int>* d = dashOf(pen, width)) {
            std::vector<double> dd(d->begin(), d->end());
            for (double& v : dd) v *= width;
            cairo_set_dash(cr, dd.data(), int(dd.size()), 0);
        }
    };
    Raster r;
    if (rop2 != R2_COPYPEN && GetRaster(dc, r)) {
        cairo_rectangle_int_t ext;
        cairo_region_get_extents(EffectiveClip(dc), &ext);
        if (ext.width <= 0 || ext.height <= 0) return;
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0 && !hasBrush) || (pass == 1 && !hasPen)) continue;
            cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, ext.width, ext.height);
            cairo_t* mc = cairo_create(mask);
            cairo_set_antialias(mc, CAIRO_ANTIALIAS_NONE);
            cairo_translate(mc, -ext.x, -ext.y);
            path(mc);
            if (pass == 0) {
                cairo_set_fill_rule(mc, dc->st.polyFill == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
                cairo_fill(mc);
            } else {
                strokeSetup(mc);
                cairo_stroke(mc);
            }
            cairo_destroy(mc);
            cairo_surface_flush(mask);
            const uint8_t* m = cairo_image_surface_get_data(mask);
            const int ms = cairo_image_surface_get_stride(mask);
            const RECT dev{ext.x, ext.y, ext.x + ext.width, ext.y + ext.height};
            ForEachVisible(dc, dev, [&](int x0, int y0, int x1, int y1) {
                for (int y = y0; y < y1; ++y) {
                    uint32_t* row = r.px + size_t(y) * size_t(r.stride);
                    const uint8_t* mrow = m + size_t(y - dc->origin.y - ext.y) * size_t(ms);
                    for (int x = x0; x < x1; ++x) {
                        if (mrow[x - dc->origin.x - ext.x] < 128) continue;
                        uint32_t p = 0;
                        if (pass == 1) p = penPixel(dc, pen);
                        else if (!BrushPixel(dc, brush, x - dc->origin.x, y - dc->origin.y, p)) continue;
                        row[x] = Rop2(rop2, p, row[x]);
                    }
                }
            });
            cairo_surface_destroy(mask);
        }
        MarkDirty(dc);
        return;
    }
    cairo_t* cr = PrepareCairo(dc);
    if (!cr) return;
    cairo_save(cr);
    cairo_set_operator(cr, vectorOp(rop2));
    if (hasBrush) {
        if (cairo_pattern_t* p = BrushPattern(dc, brush)) {
            path(cr);
            cairo_set_fill_rule(cr, dc->st.polyFill == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_set_source(cr, p);
            cairo_fill(cr);
            cairo_pattern_destroy(p);
        }
    }
    if (hasPen) {
        path(cr);
        strokeSetup(cr);
        setColor(cr, pen->color);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    if (dc->raster) MarkDirty(dc);
}

// A pen line from a to b (device), the end point excluded as the original draws it.
void lineDev(HDC dc, POINT a, POINT b)
{
    const PenObj* pen = dc->st.pen;
    if (!pen || (pen->style & PS_STYLE_MASK) == PS_NULL || (a.x == b.x && a.y == b.y)) return;
    const int width = penWidthDev(dc, pen);
    Raster r;
    if ((a.x == b.x || a.y == b.y) && GetRaster(dc, r)) {
        const std::vector<int>* dash = dashOf(pen, width);
        const uint32_t pp = penPixel(dc, pen);
        const int rop2 = dc->st.rop2;
        const bool horiz = a.y == b.y;
        const int from = horiz ? a.x : a.y, to = horiz ? b.x : b.y;
        const int step = to > from ? 1 : -1;
        const int half = width / 2;
        RECT band = horiz ? RECT{std::min(from, to - step) , a.y - half, std::max(from, to - step) + 1, a.y - half + width}
                          : RECT{a.x - half, std::min(from, to - step), a.x - half + width, std::max(from, to - step) + 1};
        if ((pen->style & PS_TYPE_MASK) == PS_GEOMETRIC && (pen->style & PS_ENDCAP_MASK) == PS_ENDCAP_SQUARE) {
            if (horiz) band.left -= half, band.right += half;
            else band.top -= half, band.bottom += half;
        }
        ForEachVisible(dc, band, [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint32_t* row = r.px + size_t(y) * size_t(r.stride);
                for (int x = x0; x < x1; ++x) {
                    const int along = horiz ? (x - dc->origin.x - from) * step : (y - dc->origin.y - from) * step;
                    if (!dashOn(dash, std::max(0, along))) continue;
                    row[x] = Rop2(rop2, pp, row[x]);
                }
            }
        });
        MarkDirty(dc);
        return;
    }
    const double o = (width % 2) ? 0.5 : 0.0;
    paintPath(dc, [&](cairo_t* cr) {
        cairo_move_to(cr, a.x + o, a.y + o);
        cairo_line_to(cr, b.x + o, b.y + o);
    }, nullptr, pen);
}

const BrushObj* brushOf(const CBrush* p)
{
    if (!p || !IsLive(p->m_hObject) || p->m_hObject->pvType != OBJ_BRUSH) return nullptr;
    return static_cast<const BrushObj*>(p->m_hObject);
}

}  // namespace

// ---- Lines and shapes ----

CPoint CDC::GetCurrentPosition() const
{
    return m_hDC ? CPoint(m_hDC->st.cur) : CPoint();
}

CPoint CDC::MoveTo(int x, int y)
{
    if (!m_hDC) return CPoint();
    CPoint old(m_hDC->st.cur);
    m_hDC->st.cur = POINT{x, y};
    return old;
}

BOOL CDC::LineTo(int x, int y)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "LineTo");
    rs.set(RECT{dc->st.cur.x, dc->st.cur.y, x, y}, dc->st.pen ? dc->st.pen->color : 0);
    lineDev(dc, LpToDp(dc, dc->st.cur.x, dc->st.cur.y), LpToDp(dc, x, y));
    dc->st.cur = POINT{x, y};
    return TRUE;
}

BOOL CDC::Polyline(const POINT* pts, int n)
{
    if (!m_hDC || !pts || n < 2) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "Polyline");
    rs.set(RECT{pts[0].x, pts[0].y, pts[n - 1].x, pts[n - 1].y}, dc->st.pen ? dc->st.pen->color : 0, 0, UINT(n));
    for (int i = 1; i < n; ++i) lineDev(dc, LpToDp(dc, pts[i - 1].x, pts[i - 1].y), LpToDp(dc, pts[i].x, pts[i].y));
    return TRUE;
}

BOOL CDC::Polygon(const POINT* pts, int n)
{
    if (!m_hDC || !pts || n < 2) return FALSE;
    HDC dc = m_hDC;
    RECT box{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (int i = 1; i < n; ++i) {
        box.left = std::min(box.left, pts[i].x);
        box.top = std::min(box.top, pts[i].y);
        box.right = std::max(box.right, pts[i].x);
        box.bottom = std::max(box.bottom, pts[i].y);
    }
    RecordScope rs(dc, "Polygon");
    rs.set(box, dc->st.brush ? dc->st.brush->color : 0, dc->st.pen ? dc->st.pen->color : 0, UINT(n));
    std::vector<POINT> dev(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) dev[size_t(i)] = LpToDp(dc, pts[i].x, pts[i].y);
    paintPath(dc, [&](cairo_t* cr) {
        cairo_move_to(cr, dev[0].x + 0.5, dev[0].y + 0.5);
        for (size_t i = 1; i < dev.size(); ++i) cairo_line_to(cr, dev[i].x + 0.5, dev[i].y + 0.5);
        cairo_close_path(cr);
    }, dc->st.brush, dc->st.pen);
    return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "Rectangle");
    rs.set(RECT{x1, y1, x2, y2}, dc->st.brush ? dc->st.brush->color : 0, dc->st.pen ? dc->st.pen->color : 0);
    const RECT d = LpToDpRect(dc, RECT{x1, y1, x2, y2});
    const PenObj* pen = dc->st.pen;
    const bool noPen = !pen || (pen->style & PS_STYLE_MASK) == PS_NULL;
    if (noPen) {
        // Without a pen the fill stops one pixel short on the right and bottom, as the original's does.
        FillDevRect(dc, RECT{d.left, d.top, d.right - 1, d.bottom - 1}, dc->st.brush, dc->st.rop2);
        return TRUE;
    }
    const int w = penWidthDev(dc, pen);
    FillDevRect(dc, RECT{d.left + w, d.top + w, d.right - w, d.bottom - w}, dc->st.brush, dc->st.rop2);
    if (dashOf(pen, w)) {
        lineDev(dc, POINT{d.left, d.top}, POINT{d.right - 1, d.top});
        lineDev(dc, POINT{d.right - 1, d.top}, POINT{d.right - 1, d.bottom - 1});
        lineDev(dc, POINT{d.right - 1, d.bottom - 1}, POINT{d.left, d.bottom - 1});
        lineDev(dc, POINT{d.left, d.bottom - 1}, POINT{d.left, d.top});
        return TRUE;
    }
    BrushObj pb;
    pb.style = BS_SOLID;
    pb.color = pen->color;
    const int rop2 = dc->st.rop2;
    FillDevRect(dc, RECT{d.left, d.top, d.right, std::min(d.bottom, d.top + w)}, &pb, rop2);
    FillDevRect(dc, RECT{d.left, std::max(d.top + w, d.bottom - w), d.right, d.bottom}, &pb, rop2);
    FillDevRect(dc, RECT{d.left, d.top + w, std::min(d.right, d.left + w), d.bottom - w}, &pb, rop2);
    FillDevRect(dc, RECT{std::max(d.left + w, d.right - w), d.top + w, d.right, d.bottom - w}, &pb, rop2);
    return TRUE;
}

BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "RoundRect");
    rs.set(RECT{x1, y1, x2, y2}, dc->st.brush ? dc->st.brush->color : 0, dc->st.pen ? dc->st.pen->color : 0);
    const RECT d = LpToDpRect(dc, RECT{x1, y1, x2, y2});
    const double rx = std::min(std::fabs(x3 * ScaleX(dc)) / 2, (d.right - d.left) / 2.0);
    const double ry = std::min(std::fabs(y3 * ScaleY(dc)) / 2, (d.bottom - d.top) / 2.0);
    paintPath(dc, [&](cairo_t* cr) {
        const double l = d.left + 0.5, t = d.top + 0.5, r = d.right - 0.5, b = d.bottom - 0.5;
        cairo_new_sub_path(cr);
        auto corner = [&](double cx, double cy, double a0) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, std::max(rx, 0.01), std::max(ry, 0.01));
            cairo_arc(cr, 0, 0, 1, a0, a0 + M_PI / 2);
            cairo_restore(cr);
        };
        corner(r - rx, t + ry, -M_PI / 2);
        corner(r - rx, b - ry, 0);
        corner(l + rx, b - ry, M_PI / 2);
        corner(l + rx, t + ry, M_PI);
        cairo_close_path(cr);
    }, dc->st.brush, dc->st.pen);
    return TRUE;
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "Ellipse");
    rs.set(RECT{x1, y1, x2, y2}, dc->st.brush ? dc->st.brush->color : 0, dc->st.pen ? dc->st.pen->color : 0);
    const RECT d = LpToDpRect(dc, RECT{x1, y1, x2, y2});
    if (d.right - d.left < 1 || d.bottom - d.top < 1) return TRUE;
    paintPath(dc, [&](cairo_t* cr) {
        cairo_save(cr);
        cairo_translate(cr, (d.left + d.right) / 2.0, (d.top + d.bottom) / 2.0);
        cairo_scale(cr, std::max(0.5, (d.right - d.left - 1) / 2.0), std::max(0.5, (d.bottom - d.top - 1) / 2.0));
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    }, dc->st.brush, dc->st.pen);
    return TRUE;
}

// ---- Fills and frames ----

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush)
{
    if (!m_hDC || !lpRect) return;
    const BrushObj* b = brushOf(pBrush);
    RecordScope rs(m_hDC, "FillRect");
    rs.set(*lpRect, b ? b->color : 0, 0, b ? b->style : 0);
    FillDevRect(m_hDC, LpToDpRect(m_hDC, *lpRect), b, R2_COPYPEN);
}

int FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr)
{
    CDC* dc = CDC::FromHandle(hdc);
    if (!dc || !lprc || !IsLive(hbr)) return 0;
    dc->FillRect(lprc, CBrush::FromHandle(hbr));
    return 1;
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush)
{
    if (!m_hDC || !lpRect) return;
    const BrushObj* b = brushOf(pBrush);
    RecordScope rs(m_hDC, "FrameRect");
    rs.set(*lpRect, b ? b->color : 0);
    const RECT d = LpToDpRect(m_hDC, *lpRect);
    if (d.left >= d.right || d.top >= d.bottom) return;
    FillDevRect(m_hDC, RECT{d.left, d.top, d.right, d.top + 1}, b);
    if (d.bottom - d.top > 1) FillDevRect(m_hDC, RECT{d.left, d.bottom - 1, d.right, d.bottom}, b);
    FillDevRect(m_hDC, RECT{d.left, d.top + 1, d.left + 1, d.bottom - 1}, b);
    if (d.right - d.left > 1) FillDevRect(m_hDC, RECT{d.right - 1, d.top + 1, d.right, d.bottom - 1}, b);
}

void CDC::InvertRect(LPCRECT lpRect)
{
    if (!m_hDC || !lpRect) return;
    RecordScope rs(m_hDC, "InvertRect");
    rs.set(*lpRect);
    invertDevRect(m_hDC, LpToDpRect(m_hDC, *lpRect));
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    if (!m_hDC || !pRgn) return FALSE;
    const BrushObj* b = brushOf(pBrush);
    CRect box;
    pRgn->GetRgnBox(&box);
    RecordScope rs(m_hDC, "FillRgn");
    rs.set(box, b ? b->color : 0);
    for (const CRect& r : pRgn->PvGetRects()) FillDevRect(m_hDC, LpToDpRect(m_hDC, r), b);
    return TRUE;
}

BOOL CDC::InvertRgn(CRgn* pRgn)
{
    if (!m_hDC || !pRgn) return FALSE;
    CRect box;
    pRgn->GetRgnBox(&box);
    RecordScope rs(m_hDC, "InvertRgn");
    rs.set(box);
    for (const CRect& r : pRgn->PvGetRects()) invertDevRect(m_hDC, LpToDpRect(m_hDC, r));
    return TRUE;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    if (!m_hDC || !lpRect) return;
    RecordScope rs(m_hDC, "FillSolidRect");
    rs.set(*lpRect, clr);
    // The framework does this through an opaque ExtTextOut and leaves the background colour set.
    SetBkColor(clr);
    ExtTextOut(0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    const RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (!lpRect) return;
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (!m_hDC) return;
    RecordScope rs(m_hDC, "Draw3dRect");
    rs.set(RECT{x, y, x + cx, y + cy}, clrTopLeft, clrBottomRight);
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

namespace {

// One ring of an edge: top-left sides in one colour, bottom-right in the other.
void edgeRing(HDC dc, const RECT& d, UINT sides, COLORREF tl, COLORREF br)
{
    if (sides & BF_TOP) FillDevRectColor(dc, RECT{d.left, d.top, d.right - 1, d.top + 1}, tl);
    if (sides & BF_LEFT) FillDevRectColor(dc, RECT{d.left, d.top, d.left + 1, d.bottom - 1}, tl);
    if (sides & BF_BOTTOM) FillDevRectColor(dc, RECT{d.left, d.bottom - 1, d.right, d.bottom}, br);
    if (sides & BF_RIGHT) FillDevRectColor(dc, RECT{d.right - 1, d.top, d.right, d.bottom}, br);
}

void shrink(RECT& d, UINT sides)
{
    if (sides & BF_LEFT) ++d.left;
    if (sides & BF_TOP) ++d.top;
    if (sides & BF_RIGHT) --d.right;
    if (sides & BF_BOTTOM) --d.bottom;
}

// DrawEdge on a device rectangle; answers the rectangle inside the drawn rings.
RECT edgeDev(HDC dc, RECT d, UINT edge, UINT flags)
{
    const bool soft = flags & BF_SOFT;
    const UINT sides = flags & BF_RECT;
    const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    if (flags & (BF_FLAT | BF_MONO)) {
        const COLORREF o = (flags & BF_MONO) ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_BTNSHADOW);
        const COLORREF i = (flags & BF_MONO) ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
        if (outer) {
            edgeRing(dc, d, sides, o, o);
            shrink(d, sides);
        }
        if (inner) {
            edgeRing(dc, d, sides, i, i);
            shrink(d, sides);
        }
    } else {
        if (outer) {
            if (outer & BDR_RAISEDOUTER)
                edgeRing(dc, d, sides, GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
            else
                edgeRing(dc, d, sides, GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            shrink(d, sides);
        }
        if (inner) {
            if (inner & BDR_RAISEDINNER)
                edgeRing(dc, d, sides, GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            else
                edgeRing(dc, d, sides, GetSysColor(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
            shrink(d, sides);
        }
    }
    if (flags & BF_MIDDLE)
        FillDevRectColor(dc, d, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    return d;
}

}  // namespace

BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags)
{
    if (!m_hDC || !lpRect) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "DrawEdge");
    rs.set(*lpRect, 0, 0, (nEdge & 0xFFFF) | (nFlags << 16));
    const RECT d = LpToDpRect(dc, *lpRect);
    const RECT in = edgeDev(dc, d, nEdge, nFlags);
    if (nFlags & BF_ADJUST) {
        POINT a = DpToLp(dc, in.left, in.top), b = DpToLp(dc, in.right, in.bottom);
        *lpRect = RECT{a.x, a.y, b.x, b.y};
    }
    return TRUE;
}

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags)
{
    CDC* dc = CDC::FromHandle(hdc);
    return dc ? dc->DrawEdge(qrc, edge, grfFlags) : FALSE;
}

namespace {

void fillPolygonDev(HDC dc, const std::vector<std::pair<double, double>>& pts, COLORREF c)
{
    BrushObj b;
    b.style = BS_SOLID;
    b.color = c;
    const int rop2 = dc->st.rop2;
    dc->st.rop2 = R2_COPYPEN;
    paintPath(dc, [&](cairo_t* cr) {
        cairo_move_to(cr, pts[0].first, pts[0].second);
        for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].first, pts[i].second);
        cairo_close_path(cr);
    }, &b, nullptr);
    dc->st.rop2 = rop2;
}

void ellipseDev(HDC dc, double cx, double cy, double r, COLORREF c, double a0 = 0, double a1 = 2 * M_PI, bool stroke = false)
{
    BrushObj b;
    b.style = BS_SOLID;
    b.color = c;
    PenObj p;
    p.width = 1;
    p.color = c;
    const int rop2 = dc->st.rop2;
    dc->st.rop2 = R2_COPYPEN;
    paintPath(dc, [&](cairo_t* cr) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, r, a0, a1);
    }, stroke ? nullptr : &b, stroke ? &p : nullptr);
    dc->st.rop2 = rop2;
}

void nudge(RECT& r, int by)
{
    r.left += by;
    r.top += by;
    r.right += by;
    r.bottom += by;
}

// A triangle arrow centred in d, pointing in direction 0 up, 1 down, 2 left, 3 right.
void arrowDev(HDC dc, const RECT& d, int dir, COLORREF c)
{
    const double w = d.right - d.left, h = d.bottom - d.top;
    const double s = std::max(2.0, std::floor(std::min(w, h) / 3.0));
    const double cx = d.left + w / 2.0, cy = d.top + h / 2.0;
    std::vector<std::pair<double, double>> p;
    switch (dir) {
    case 0: p = {{cx - s, cy + s / 2}, {cx + s, cy + s / 2}, {cx, cy - s / 2}}; break;
    case 1: p = {{cx - s, cy - s / 2}, {cx + s, cy - s / 2}, {cx, cy + s / 2}}; break;
    case 2: p = {{cx + s / 2, cy - s}, {cx + s / 2, cy + s}, {cx - s / 2, cy}}; break;
    default: p = {{cx - s / 2, cy - s}, {cx - s / 2, cy + s}, {cx + s / 2, cy}}; break;
    }
    fillPolygonDev(dc, p, c);
}

}  // namespace

BOOL CDC::DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState)
{
    if (!m_hDC || !lpRect) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "DrawFrameControl");
    rs.set(*lpRect, 0, 0, (nType & 0xFFFF) | (nState << 16));
    RECT d = LpToDpRect(dc, *lpRect);
    const bool inactive = nState & DFCS_INACTIVE, pushed = nState & DFCS_PUSHED, checked = nState & DFCS_CHECKED;
    const UINT kind = nState & 0xFF;
    switch (nType) {
    case DFC_BUTTON: {
        if (kind & DFCS_BUTTONPUSH) {
            if (nState & DFCS_FLAT) edgeDev(dc, d, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_FLAT);
            else edgeDev(dc, d, (pushed || checked) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
            break;
        }
        const int size = std::min(d.right - d.left, d.bottom - d.top);
        RECT box{d.left + (d.right - d.left - size) / 2, d.top + (d.bottom - d.top - size) / 2, 0, 0};
        box.right = box.left + size;
        box.bottom = box.top + size;
        const COLORREF face = GetSysColor((inactive || pushed) ? COLOR_BTNFACE : COLOR_WINDOW);
        const COLORREF mark = GetSysColor(inactive ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
        if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            const double cx = box.left + size / 2.0, cy = box.top + size / 2.0, r = size / 2.0;
            if (kind & DFCS_BUTTONRADIOMASK) {
                FillDevRectColor(dc, box, RGB(255, 255, 255));
                ellipseDev(dc, cx, cy, r, RGB(0, 0, 0));
                break;
            }
            ellipseDev(dc, cx, cy, r, GetSysColor(COLOR_BTNHIGHLIGHT));
            ellipseDev(dc, cx, cy, r, GetSysColor(COLOR_BTNSHADOW), M_PI * 0.75, M_PI * 1.75);
            ellipseDev(dc, cx, cy, r - 1, GetSysColor(COLOR_3DLIGHT));
            ellipseDev(dc, cx, cy, r - 1, GetSysColor(COLOR_3DDKSHADOW), M_PI * 0.75, M_PI * 1.75);
            ellipseDev(dc, cx, cy, r - 2, face);
            if (checked) ellipseDev(dc, cx, cy, std::max(1.0, size / 6.0), mark);
            break;
        }
        // Check boxes, two- and three-state.
        const RECT in = edgeDev(dc, box, EDGE_SUNKEN, BF_RECT);
        const bool tri = (kind & DFCS_BUTTON3STATE) && checked;
        FillDevRectColor(dc, in, tri ? GetSysColor(COLOR_BTNFACE) : face);
        if (checked) {
            const double w = in.right - in.left, h = in.bottom - in.top;
            const double x0 = in.left + w * 0.2, y0 = in.top + h * 0.45;
            const double t = std::max(1.5, h * 0.2);
            fillPolygonDev(dc, {{x0, y0}, {in.left + w * 0.4, in.top + h * 0.65}, {in.left + w * 0.8, in.top + h * 0.25},
                                {in.left + w * 0.8, in.top + h * 0.25 + t}, {in.left + w * 0.4, in.top + h * 0.65 + t},
                                {x0, y0 + t}},
                           tri ? GetSysColor(COLOR_BTNSHADOW) : mark);
        }
        break;
    }
    case DFC_SCROLL: {
        if (kind == DFCS_SCROLLSIZEGRIP) {
            FillDevRectColor(dc, d, GetSysColor(COLOR_BTNFACE));
            break;
        }
        if (nState & DFCS_FLAT) edgeDev(dc, d, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_FLAT);
        else if (pushed) edgeDev(dc, d, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_FLAT);
        else edgeDev(dc, d, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        RECT a = d;
        if (pushed) nudge(a, 1);
        const int dir = kind == DFCS_SCROLLCOMBOBOX ? 1 : int(kind & 3);
        if (inactive) {
            RECT sh = a;
            nudge(sh, 1);
            arrowDev(dc, sh, dir, GetSysColor(COLOR_BTNHIGHLIGHT));
            arrowDev(dc, a, dir, GetSysColor(COLOR_BTNSHADOW));
        } else {
            arrowDev(dc, a, dir, GetSysColor(COLOR_BTNTEXT));
        }
        break;
    }
    case DFC_CAPTION:
        edgeDev(dc, d, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
        break;
    case DFC_MENU:
        FillDevRectColor(dc, d, GetSysColor(COLOR_MENU));
        break;
    default:
        return FALSE;
    }
    if (nState & DFCS_ADJUSTRECT) {
        lpRect->left += 2;
        lpRect->top += 2;
        lpRect->right -= 2;
        lpRect->bottom -= 2;
    }
    return TRUE;
}

void CDC::DrawFocusRect(LPCRECT lpRect)
{
    if (!m_hDC || !lpRect) return;
    HDC dc = m_hDC;
    RecordScope rs(dc, "DrawFocusRect");
    rs.set(*lpRect);
    const RECT d = LpToDpRect(dc, *lpRect);
    if (d.left >= d.right || d.top >= d.bottom) return;
    Raster r;
    if (!GetRaster(dc, r)) return;
    // Every other pixel of the one-pixel frame is inverted; each pixel once, so that a second
    // call restores the picture exactly.
    auto band = [&](RECT b) {
        ForEachVisible(dc, b, [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint32_t* row = r.px + size_t(y) * size_t(r.stride);
                for (int x = x0; x < x1; ++x)
                    if (((x - dc->origin.x + y - dc->origin.y) & 1) == 0) row[x] = ~row[x] | 0xFF000000u;
            }
        });
    };
    band(RECT{d.left, d.top, d.right, d.top + 1});
    if (d.bottom - d.top > 1) band(RECT{d.left, d.bottom - 1, d.right, d.bottom});
    band(RECT{d.left, d.top + 1, d.left + 1, d.bottom - 1});
    if (d.right - d.left > 1) band(RECT{d.right - 1, d.top + 1, d.right, d.bottom - 1});
    MarkDirty(dc);
}

CBrush* CDC::GetHalftoneBrush()
{
    static CBrush* brush = [] {
        const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        CBitmap bm;
        bm.CreateBitmap(8, 8, 1, 1, rows);
        auto* b = new CBrush;
        b->CreatePatternBrush(&bm);
        return b;
    }();
    return brush;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc)
{
    CDC* dc = CDC::FromHandle(hDC);
    if (!dc || !lprc) return FALSE;
    dc->DrawFocusRect(lprc);
    return TRUE;
}

// ---- Raster operations ----

namespace {

struct Source {
    const uint32_t* px = nullptr;
    int stride = 0;  // pixels
    int w = 0, h = 0;
    bool mono = false;
    COLORREF bkColor = RGB(255, 255, 255);  // the source DC's, for colour -> monochrome
};

bool usesSource(DWORD rop)
{
    return (((rop >> 2) ^ rop) & 0x330000) != 0;
}

bool usesPattern(DWORD rop)
{
    return (((rop >> 4) ^ rop) & 0x0F0000) != 0;
}

// The raster operation on a device rectangle of dst, the source rectangle (sx, sy, sw, sh) in
// source pixels stretched over it (nearest pixel).
BOOL blitRaster(HDC dst, const RECT& d, const Source* src, int sx, int sy, int sw, int sh, DWORD rop)
{
    Raster r;
    if (!GetRaster(dst, r)) return FALSE;
    const uint8_t code = uint8_t((rop >> 16) & 0xFF);
    const bool needP = usesPattern(rop), needS = usesSource(rop) && src;
    const BrushObj* brush = dst->st.brush;
    if (needP && (!brush || brush->style == BS_NULL)) return TRUE;
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    if (dw <= 0 || dh <= 0) return TRUE;
    const bool dmono = r.mono;
    const uint32_t txt = ToPixel(dst->st.textColor), bk = ToPixel(dst->st.bkColor);
    const uint32_t srcBk = src ? ToPixel(src->bkColor) : 0;
    const bool plainCopy = code == 0xCC && needS && sw == dw && sh == dh && src->mono == dmono;
    uint32_t solidP = 0;
    const bool solidBrush = needP && brush->style == BS_SOLID;
    if (solidBrush) BrushPixel(dst, brush, 0, 0, solidP);

    ForEachVisible(dst, d, [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint32_t* row = r.px + size_t(y) * size_t(r.stride);
            const int dy = y - dst->origin.y;
            int v = 0;
            const uint32_t* srow = nullptr;
            if (needS) {
                v = sy + int((long long)(dy - d.top) * sh / dh);
                if (v < 0 || v >= src->h) continue;
                srow = src->px + size_t(v) * size_t(src->stride);
            }
            if (plainCopy) {
                const int u0 = sx + (x0 - dst->origin.x - d.left);
                int a = x0, b = x1;
                if (u0 < 0) a += -u0;
                if (u0 + (b - x0) > src->w) b = x0 + (src->w - u0);
                if (a < b) std::memmove(row + a, srow + (u0 + (a - x0)), size_t(b - a) * 4);
                continue;
            }
            for (int x = x0; x < x1; ++x) {
                const int dx = x - dst->origin.x;
                uint32_t s = 0, p = 0;
                if (needS) {
                    const int u = sx + int((long long)(dx - d.left) * sw / dw);
                    if (u < 0 || u >= src->w) continue;
                    s = srow[u] | 0xFF000000u;
                    if (src->mono && !dmono) s = (s & 0xFFFFFF) ? bk : txt;
                    else if (!src->mono && dmono) s = ((s ^ srcBk) & 0xFFFFFF) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
                }
                if (needP) {
                    if (solidBrush) p = solidP;
                    else if (!BrushPixel(dst, brush, dx, dy, p)) continue;
                }
                row[x] = Rop3(code, p, s, row[x]);
            }
        }
    });
    MarkDirty(dst);
    return TRUE;
}

// Vector targets (printers): the common operations through Cairo blend modes.
BOOL blitVector(HDC dst, const RECT& d, const Source* src, int sx, int sy, int sw, int sh, DWORD rop)
{
    cairo_t* cr = PrepareCairo(dst);
    if (!cr) return TRUE;
    const uint8_t code = uint8_t((rop >> 16) & 0xFF);
    cairo_save(cr);
    cairo_rectangle(cr, d.left, d.top, d.right - d.left, d.bottom - d.top);
    cairo_clip(cr);
    if (!usesSource(rop) || !src) {
        cairo_pattern_t* p = nullptr;
        cairo_operator_t op = CAIRO_OPERATOR_OVER;
        if (code == 0x00) p = cairo_pattern_create_rgb(0, 0, 0);
        else if (code == 0xFF) p = cairo_pattern_create_rgb(1, 1, 1);
        else if (code == 0x55) p = cairo_pattern_create_rgb(1, 1, 1), op = CAIRO_OPERATOR_DIFFERENCE;
        else {
            p = BrushPattern(dst, dst->st.brush);
            if (code == 0x5A) op = CAIRO_OPERATOR_DIFFERENCE;
        }
        if (p) {
            cairo_set_operator(cr, op);
            cairo_set_source(cr, p);
            cairo_paint(cr);
            cairo_pattern_destroy(p);
        }
        cairo_restore(cr);
        return TRUE;
    }
    // The source rectangle as an image, monochrome pixels given the DC's colours.
    const int cw = std::max(1, std::min(sw, src->w - sx)), ch = std::max(1, std::min(sh, src->h - sy));
    if (sx < 0 || sy < 0 || sx >= src->w || sy >= src->h) {
        cairo_restore(cr);
        return TRUE;
    }
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cw, ch);
    auto* ip = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
    const int is = cairo_image_surface_get_stride(img) / 4;
    const uint32_t txt = ToPixel(dst->st.textColor), bk = ToPixel(dst->st.bkColor);
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
            uint32_t s = src->px[size_t(sy + y) * size_t(src->stride) + size_t(sx + x)] | 0xFF000000u;
            if (src->mono) s = (s & 0xFFFFFF) ? bk : txt;
            if (code == 0x33) s = ~s | 0xFF000000u;
            ip[y * is + x] = s;
        }
    cairo_surface_mark_dirty(img);
    cairo_operator_t op = CAIRO_OPERATOR_OVER;
    if (code == 0x88) op = CAIRO_OPERATOR_MULTIPLY;
    else if (code == 0xEE) op = CAIRO_OPERATOR_SCREEN;
    else if (code == 0x66) op = CAIRO_OPERATOR_DIFFERENCE;
    cairo_translate(cr, d.left, d.top);
    cairo_scale(cr, double(d.right - d.left) / sw, double(d.bottom - d.top) / sh);
    cairo_set_source_surface(cr, img, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_set_operator(cr, op);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(img);
    return TRUE;
}

// HALFTONE stretching of a colour copy: filtered instead of pixel-picked, for pictures.
BOOL blitSmooth(HDC dst, const RECT& d, const Source* src, int sx, int sy, int sw, int sh)
{
    cairo_t* cr = PrepareCairo(dst);
    if (!cr) return TRUE;
    const int cx = std::clamp(sx, 0, src->w), cy = std::clamp(sy, 0, src->h);
    const int cw = std::min(src->w, sx + sw) - cx, ch = std::min(src->h, sy + sh) - cy;
    if (cw <= 0 || ch <= 0) return TRUE;
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cw, ch);
    auto* ip = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
    const int is = cairo_image_surface_get_stride(img) / 4;
    for (int y = 0; y < ch; ++y)
        std::memcpy(ip + size_t(y) * size_t(is), src->px + size_t(cy + y) * size_t(src->stride) + size_t(cx), size_t(cw) * 4);
    cairo_surface_mark_dirty(img);
    cairo_save(cr);
    cairo_rectangle(cr, d.left, d.top, d.right - d.left, d.bottom - d.top);
    cairo_clip(cr);
    cairo_translate(cr, d.left, d.top);
    cairo_scale(cr, double(d.right - d.left) / sw, double(d.bottom - d.top) / sh);
    cairo_set_source_surface(cr, img, cx - sx, cy - sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(img);
    return TRUE;
}

BOOL blit(HDC dst, const RECT& d, const Source* src, int sx, int sy, int sw, int sh, DWORD rop)
{
    const bool scaled = src && (sw != d.right - d.left || sh != d.bottom - d.top);
    if (scaled && rop == SRCCOPY && !src->mono && dst->st.stretchMode == HALFTONE && !(dst->raster && monoTarget(dst)))
        return blitSmooth(dst, d, src, sx, sy, sw, sh);
    if (dst->raster) return blitRaster(dst, d, src, sx, sy, sw, sh, rop);
    return blitVector(dst, d, src, sx, sy, sw, sh, rop);
}

}  // namespace

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, "PatBlt");
    rs.set(RECT{x, y, x + nWidth, y + nHeight}, dc->st.brush ? dc->st.brush->color : 0, 0, dwRop);
    if (usesSource(dwRop)) return FALSE;
    return blit(dc, LpToDpRect(dc, RECT{x, y, x + nWidth, y + nHeight}), nullptr, 0, 0, 0, 0, dwRop);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return StretchBlt(x, y, nWidth, nHeight, pSrcDC, xSrc, ySrc, nWidth, nHeight, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    if (!m_hDC) return FALSE;
    HDC dc = m_hDC;
    RecordScope rs(dc, nWidth == nSrcWidth && nHeight == nSrcHeight ? "BitBlt" : "StretchBlt");
    rs.set(RECT{x, y, x + nWidth, y + nHeight}, 0, 0, dwRop);
    const RECT d = LpToDpRect(dc, RECT{x, y, x + nWidth, y + nHeight});
    if (!usesSource(dwRop)) return blit(dc, d, nullptr, 0, 0, 0, 0, dwRop);
    HDC sdc = pSrcDC ? pSrcDC->m_hDC : nullptr;
    Raster sr;
    if (!sdc || !GetRaster(sdc, sr)) return FALSE;
    const RECT s = LpToDpRect(sdc, RECT{xSrc, ySrc, xSrc + nSrcWidth, ySrc + nSrcHeight});
    if (s.right <= s.left || s.bottom <= s.top) return FALSE;
    Source src;
    src.mono = sr.mono;
    src.bkColor = sdc->st.bkColor;
    std::vector<uint32_t> copy;
    const int ox = s.left + sdc->origin.x, oy = s.top + sdc->origin.y;
    if (sdc->surface == dc->surface) {
        // Overlapping copies within one image read from a snapshot of the source.
        const int cw = s.right - s.left, ch = s.bottom - s.top;
        copy.assign(size_t(cw) * size_t(ch), 0xFF000000u);
        for (int yy = 0; yy < ch; ++yy)
            for (int xx = 0; xx < cw; ++xx) {
                const int px = ox + xx, py = oy + yy;
                if (px >= 0 && py >= 0 && px < sr.w && py < sr.h)
                    copy[size_t(yy) * size_t(cw) + size_t(xx)] = sr.px[size_t(py) * size_t(sr.stride) + size_t(px)];
            }
        src.px = copy.data();
        src.stride = cw;
        src.w = cw;
        src.h = ch;
        return blit(dc, d, &src, 0, 0, cw, ch, dwRop);
    }
    src.px = sr.px;
    src.stride = sr.stride;
    src.w = sr.w;
    src.h = sr.h;
    return blit(dc, d, &src, ox, oy, s.right - s.left, s.bottom - s.top, dwRop);
}


int CDC::StretchDIBits(int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc, int nSrcWidth,
                       int nSrcHeight, const void* lpBits, const BITMAPINFO* lpBitsInfo, UINT, DWORD dwRop)
{
    if (!m_hDC) return 0;
    HDC dc = m_hDC;
    RecordScope rs(dc, "StretchDIBits");
    rs.set(RECT{xDest, yDest, xDest + nDestWidth, yDest + nDestHeight}, 0, 0, dwRop);
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    bool bottomUp = false;
    if (!decodeDib(lpBits, lpBitsInfo, px, w, h, bottomUp)) return 0;
    if (nSrcWidth <= 0 || nSrcHeight <= 0) return 0;
    // For bottom-up DIBs the source origin is the lower-left corner.
    const int top = bottomUp ? h - ySrc - nSrcHeight : ySrc;
    Source src;
    src.px = px.data();
    src.stride = w;
    src.w = w;
    src.h = h;
    blit(dc, LpToDpRect(dc, RECT{xDest, yDest, xDest + nDestWidth, yDest + nDestHeight}), &src, xSrc, top, nSrcWidth,
         nSrcHeight, dwRop);
    return nSrcHeight;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop)
{
    CDC* dc = CDC::FromHandle(hdc);
    return dc ? dc->StretchDIBits(xDest, yDest, DestWidth, DestHeight, xSrc, ySrc, SrcWidth, SrcHeight, lpBits, lpbmi,
                                  iUsage, rop)
              : 0;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!m_hDC) return CLR_INVALID;
    HDC dc = m_hDC;
    const POINT p = LpToDp(dc, x, y);
    Raster r;
    if (!cairo_region_contains_point(EffectiveClip(dc), p.x, p.y) || !GetRaster(dc, r)) return CLR_INVALID;
    const int sx = p.x + dc->origin.x, sy = p.y + dc->origin.y;
    if (sx < 0 || sy < 0 || sx >= r.w || sy >= r.h) return CLR_INVALID;
    return FromPixel(r.px[size_t(sy) * size_t(r.stride) + size_t(sx)]);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor)
{
    if (!m_hDC) return CLR_INVALID;
    HDC dc = m_hDC;
    RecordScope rs(dc, "SetPixel");
    rs.set(RECT{x, y, x, y}, crColor);
    const POINT p = LpToDp(dc, x, y);
    const uint32_t v = monoTarget(dc) ? MonoPixel(crColor) : ToPixel(crColor);
    Raster r;
    if (GetRaster(dc, r)) {
        bool done = false;
        ForEachVisible(dc, RECT{p.x, p.y, p.x + 1, p.y + 1}, [&](int x0, int y0, int, int) {
            r.px[size_t(y0) * size_t(r.stride) + size_t(x0)] = v;
            done = true;
        });
        MarkDirty(dc);
        return done ? FromPixel(v) : CLR_INVALID;
    }
    FillDevRectColor(dc, RECT{p.x, p.y, p.x + 1, p.y + 1}, crColor);
    return crColor;
}

BOOL CDC::SetPixelV(int x, int y, COLORREF crColor)
{
    return SetPixel(x, y, crColor) != CLR_INVALID;
}
