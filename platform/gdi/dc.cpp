// Device contexts: creation, the window seam, state, mapping modes, clipping, selection.

#include <cairo-pdf.h>

#include <cmath>
#include <cstring>

#include "platform/gdi/gdi_internal.h"
#include "platform/sys/system.h"

using namespace pvgdi;

namespace {

constexpr int kScreenDpi = 96;

void refState(const DCState& s)
{
    AddRef(s.pen);
    AddRef(s.brush);
    AddRef(s.font);
}

void unrefState(DCState& s)
{
    Release(s.pen);
    Release(s.brush);
    Release(s.font);
    if (s.clip) cairo_region_destroy(s.clip);
    s.clip = nullptr;
}

DCState copyState(const DCState& s)
{
    DCState c = s;
    if (s.clip) c.clip = cairo_region_copy(s.clip);
    refState(c);
    return c;
}

// a * b / c rounded half away from zero, as MulDiv does.
long mulDivRound(long a, long b, long c)
{
    if (c == 0) return a;
    const long long n = (long long)a * b;
    const long long q = n / c, r = n % c;
    const bool neg = (n < 0) != (c < 0);
    if (2 * std::llabs(r) >= std::llabs((long long)c)) return long(neg ? q - 1 : q + 1);
    return long(q);
}

bool liveDC(HDC dc)
{
    return dc != nullptr;
}

}  // namespace

namespace pvgdi {

HDC NewDC(DCKind kind)
{
    auto* dc = new HDC__;
    dc->kind = kind;
    dc->st.pen = StockPen(BLACK_PEN);
    dc->st.brush = StockBrush(WHITE_BRUSH);
    dc->st.font = StockFont(SYSTEM_FONT);
    if (kind == DCKind::Screen || kind == DCKind::Info) {
        dc->bounds = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return dc;
}

void FreeDC(HDC dc)
{
    if (!dc) return;
    if (dc->kind == DCKind::Printer && dc->inDoc) {
        // A document never ended: finish what was drawn rather than leave a broken file.
        if (dc->inPage && dc->cr) cairo_show_page(dc->cr);
        if (dc->surface) cairo_surface_finish(dc->surface);
    }
    unrefState(dc->st);
    for (auto& s : dc->saved) unrefState(s);
    if (dc->cr) cairo_destroy(dc->cr);
    if (dc->surface) {
        cairo_surface_flush(dc->surface);
        cairo_surface_destroy(dc->surface);
    }
    if (dc->bitmap) Release(dc->bitmap);
    if (dc->sysClip) cairo_region_destroy(dc->sysClip);
    if (dc->effClip) cairo_region_destroy(dc->effClip);
    if (dc->wrapper) {
        dc->wrapper->m_hDC = nullptr;
        if (dc->wrapper->m_hAttribDC == dc) dc->wrapper->m_hAttribDC = nullptr;
    }
    if (dc->temp) {
        dc->temp->m_hDC = nullptr;
        dc->temp->m_hAttribDC = nullptr;
        delete dc->temp;
    }
    delete dc;
}

void SetTarget(HDC dc, cairo_surface_t* surface, POINT origin, RECT bounds)
{
    if (dc->cr) cairo_destroy(dc->cr);
    dc->cr = nullptr;
    if (dc->surface) {
        cairo_surface_flush(dc->surface);
        cairo_surface_destroy(dc->surface);
    }
    dc->surface = surface ? cairo_surface_reference(surface) : nullptr;
    dc->origin = origin;
    dc->bounds = bounds;
    dc->raster = false;
    if (surface) {
        dc->cr = cairo_create(surface);
        if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
            const cairo_format_t f = cairo_image_surface_get_format(surface);
            dc->raster = f == CAIRO_FORMAT_RGB24 || f == CAIRO_FORMAT_ARGB32;
            cairo_translate(dc->cr, origin.x, origin.y);
        } else if (dc->kind == DCKind::Printer) {
            cairo_scale(dc->cr, 72.0 / dc->printer.dpiX, 72.0 / dc->printer.dpiY);
            cairo_translate(dc->cr, origin.x, origin.y);
        }
        cairo_set_antialias(dc->cr, CAIRO_ANTIALIAS_NONE);
    }
    ClipChanged(dc);
}

void ClipChanged(HDC dc)
{
    if (dc->effClip) cairo_region_destroy(dc->effClip);
    dc->effClip = nullptr;
    dc->crClipValid = false;
}

const cairo_region_t* EffectiveClip(HDC dc)
{
    if (!dc->effClip) {
        const cairo_rectangle_int_t b{dc->bounds.left, dc->bounds.top, dc->bounds.right - dc->bounds.left,
                                      dc->bounds.bottom - dc->bounds.top};
        cairo_region_t* r = cairo_region_create_rectangle(&b);
        if (dc->sysClip) cairo_region_intersect(r, dc->sysClip);
        if (dc->st.clip) cairo_region_intersect(r, dc->st.clip);
        dc->effClip = r;
    }
    return dc->effClip;
}

// A lazily composed DC gets its picture now.
void EnsureTarget(HDC dc)
{
    if (!dc->compose) return;
    auto compose = std::move(dc->compose);
    dc->compose = nullptr;
    if (cairo_surface_t* s = compose()) {
        SetTarget(dc, s, POINT{0, 0}, dc->bounds);
        cairo_surface_destroy(s);  // the DC holds its own reference
    }
}

cairo_t* PrepareCairo(HDC dc)
{
    EnsureTarget(dc);
    if (!dc->cr || (dc->kind == DCKind::Printer && !dc->inPage)) return nullptr;
    if (!dc->crClipValid) {
        cairo_reset_clip(dc->cr);
        const cairo_region_t* clip = EffectiveClip(dc);
        const int n = cairo_region_num_rectangles(clip);
        for (int i = 0; i < n; ++i) {
            cairo_rectangle_int_t c;
            cairo_region_get_rectangle(clip, i, &c);
            cairo_rectangle(dc->cr, c.x, c.y, c.width, c.height);
        }
        cairo_clip(dc->cr);
        dc->crClipValid = true;
    }
    return dc->cr;
}

void SelectInto(HDC dc, HGDIOBJ h)
{
    switch (h->pvType) {
    case OBJ_PEN:
        AddRef(h);
        Release(dc->st.pen);
        dc->st.pen = static_cast<PenObj*>(h);
        break;
    case OBJ_BRUSH:
        AddRef(h);
        Release(dc->st.brush);
        dc->st.brush = static_cast<BrushObj*>(h);
        break;
    case OBJ_FONT:
        AddRef(h);
        Release(dc->st.font);
        dc->st.font = static_cast<FontObj*>(h);
        break;
    default:
        break;
    }
}

double ScaleX(HDC dc)
{
    const DCState& s = dc->st;
    return s.winExt.x ? double(s.vpExt.x) / s.winExt.x : 1.0;
}

double ScaleY(HDC dc)
{
    const DCState& s = dc->st;
    return s.winExt.y ? double(s.vpExt.y) / s.winExt.y : 1.0;
}

POINT LpToDp(HDC dc, int x, int y)
{
    const DCState& s = dc->st;
    if (s.mapMode == MM_TEXT) return POINT{x - s.winOrg.x + s.vpOrg.x, y - s.winOrg.y + s.vpOrg.y};
    return POINT{int(mulDivRound(long(x) - s.winOrg.x, s.vpExt.x, s.winExt.x) + s.vpOrg.x),
                 int(mulDivRound(long(y) - s.winOrg.y, s.vpExt.y, s.winExt.y) + s.vpOrg.y)};
}

POINT DpToLp(HDC dc, int x, int y)
{
    const DCState& s = dc->st;
    if (s.mapMode == MM_TEXT) return POINT{x - s.vpOrg.x + s.winOrg.x, y - s.vpOrg.y + s.winOrg.y};
    return POINT{int(mulDivRound(long(x) - s.vpOrg.x, s.winExt.x, s.vpExt.x) + s.winOrg.x),
                 int(mulDivRound(long(y) - s.vpOrg.y, s.winExt.y, s.vpExt.y) + s.winOrg.y)};
}

RECT LpToDpRect(HDC dc, const RECT& r)
{
    POINT a = LpToDp(dc, r.left, r.top), b = LpToDp(dc, r.right, r.bottom);
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

int DpiX(HDC dc)
{
    return dc->kind == DCKind::Printer ? dc->printer.dpiX : kScreenDpi;
}

int DpiY(HDC dc)
{
    return dc->kind == DCKind::Printer ? dc->printer.dpiY : kScreenDpi;
}

bool GetRaster(HDC dc, Raster& r)
{
    EnsureTarget(dc);
    if (!dc->raster || !dc->surface) return false;
    cairo_surface_flush(dc->surface);
    r.px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(dc->surface));
    r.stride = cairo_image_surface_get_stride(dc->surface) / 4;
    r.w = cairo_image_surface_get_width(dc->surface);
    r.h = cairo_image_surface_get_height(dc->surface);
    r.mono = dc->kind == DCKind::Memory && dc->bitmap && dc->bitmap->mono;
    return r.px != nullptr;
}

void MarkDirty(HDC dc)
{
    if (dc->surface) cairo_surface_mark_dirty(dc->surface);
}

}  // namespace pvgdi

// ---- Handle-level DC functions ----

HDC CreateCompatibleDC(HDC)
{
    HDC dc = NewDC(DCKind::Memory);
    BitmapObj* bm = StockBitmap();
    dc->bitmap = bm;
    SetTarget(dc, bm->surface, POINT{0, 0}, RECT{0, 0, bm->w, bm->h});
    return dc;
}

static bool isDisplay(LPCTSTR s)
{
    return s && std::strcmp(s, "DISPLAY") == 0;
}

HDC CreateDC(LPCTSTR pszDriver, LPCTSTR pszDevice, LPCTSTR, const void*)
{
    if (!isDisplay(pszDriver) && !isDisplay(pszDevice)) return nullptr;
    return NewDC(DCKind::Screen);
}

HDC CreateIC(LPCTSTR pszDriver, LPCTSTR pszDevice, LPCTSTR, const void*)
{
    if (!isDisplay(pszDriver) && !isDisplay(pszDevice)) return nullptr;
    return NewDC(DCKind::Info);
}

BOOL DeleteDC(HDC hdc)
{
    if (!hdc) return FALSE;
    FreeDC(hdc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    CDC* dc = CDC::FromHandle(hdc);
    return dc ? dc->SelectObject(h) : nullptr;
}

int GetDeviceCaps(HDC hdc, int index)
{
    CDC* dc = CDC::FromHandle(hdc);
    return dc ? dc->GetDeviceCaps(index) : 0;
}

// ---- CDC: handles and creation ----

IMPLEMENT_DYNCREATE(CDC, CObject)

CDC::~CDC()
{
    if (m_hDC) DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC)
{
    if (!liveDC(hDC)) return nullptr;
    if (hDC->wrapper) return hDC->wrapper;
    if (!hDC->temp) {
        hDC->temp = new CDC;
        hDC->temp->m_hDC = hDC;
        hDC->temp->m_hAttribDC = hDC;
    }
    return hDC->temp;
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC || m_hDC) return FALSE;
    m_hDC = m_hAttribDC = hDC;
    hDC->wrapper = this;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (h && h->wrapper == this) h->wrapper = nullptr;
    m_hDC = m_hAttribDC = nullptr;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::CreateDC(LPCTSTR d, LPCTSTR dev, LPCTSTR out, const void* init)
{
    return Attach(::CreateDC(d, dev, out, init));
}

BOOL CDC::CreateIC(LPCTSTR d, LPCTSTR dev, LPCTSTR out, const void* init)
{
    return Attach(::CreateIC(d, dev, out, init));
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC) return FALSE;
    HDC h = Detach();
    return ::DeleteDC(h);
}

// ---- The window seam ----

BOOL CDC::PvAttachLazySurface(std::function<cairo_surface_t*()> compose)
{
    if (!compose || m_hDC || !Attach(NewDC(DCKind::Screen))) return FALSE;
    m_hDC->compose = std::move(compose);
    return TRUE;
}

BOOL CDC::PvAttachSurface(cairo_surface_t* surface, POINT origin, const RECT& clip)
{
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return FALSE;
    if (!m_hDC && !Attach(NewDC(DCKind::Screen))) return FALSE;
    HDC dc = m_hDC;
    RECT bounds{0, 0, 0, 0};
    if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
        bounds = RECT{-origin.x, -origin.y, cairo_image_surface_get_width(surface) - origin.x,
                      cairo_image_surface_get_height(surface) - origin.y};
    }
    SetTarget(dc, surface, origin, bounds);
    if (dc->sysClip) cairo_region_destroy(dc->sysClip);
    const cairo_rectangle_int_t c{clip.left, clip.top, std::max<int>(0, clip.right - clip.left),
                                  std::max<int>(0, clip.bottom - clip.top)};
    dc->sysClip = cairo_region_create_rectangle(&c);
    ClipChanged(dc);
    return TRUE;
}

void CDC::PvSetSystemClipRgn(const CRgn* pRgn)
{
    if (!m_hDC || !pRgn || !IsLive(pRgn->m_hObject)) return;
    cairo_region_t* r = static_cast<RgnObj*>(pRgn->m_hObject)->rgn;
    if (m_hDC->sysClip) cairo_region_intersect(m_hDC->sysClip, r);
    else m_hDC->sysClip = cairo_region_copy(r);
    ClipChanged(m_hDC);
}

void CDC::PvDetachSurface()
{
    DeleteDC();
}

cairo_surface_t* CDC::PvGetSurface() const
{
    return m_hDC ? m_hDC->surface : nullptr;
}

CPoint CDC::PvGetSurfaceOrigin() const
{
    return m_hDC ? CPoint(m_hDC->origin) : CPoint();
}

// ---- State ----

int CDC::SaveDC()
{
    if (!m_hDC) return 0;
    m_hDC->saved.push_back(copyState(m_hDC->st));
    return int(m_hDC->saved.size());
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    if (!m_hDC) return FALSE;
    auto& saved = m_hDC->saved;
    const int n = int(saved.size());
    const int target = nSavedDC < 0 ? n + 1 + nSavedDC : nSavedDC;
    if (target < 1 || target > n) return FALSE;
    unrefState(m_hDC->st);
    m_hDC->st = saved[size_t(target - 1)];
    for (size_t i = size_t(target); i < saved.size(); ++i) unrefState(saved[i]);
    saved.resize(size_t(target - 1));
    ClipChanged(m_hDC);
    return TRUE;
}

int CDC::GetDeviceCaps(int nIndex) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc) return 0;
    const bool printer = dc->kind == DCKind::Printer;
    const PvPrinterSettings& p = dc->printer;
    const int paperW = p.landscape ? p.paperHeight : p.paperWidth;
    const int paperH = p.landscape ? p.paperWidth : p.paperHeight;
    const int mL = p.landscape ? p.marginTop : p.marginLeft, mR = p.landscape ? p.marginBottom : p.marginRight;
    const int mT = p.landscape ? p.marginRight : p.marginTop, mB = p.landscape ? p.marginLeft : p.marginBottom;
    auto px = [](int tenthsMm, int dpi) { return int(std::lround(tenthsMm * dpi / 254.0)); };
    switch (nIndex) {
    case DRIVERVERSION: return 0x400;
    case TECHNOLOGY: return printer ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE: return printer ? (paperW - mL - mR) / 10 : GetSystemMetrics(SM_CXSCREEN) * 254 / (kScreenDpi * 10);
    case VERTSIZE: return printer ? (paperH - mT - mB) / 10 : GetSystemMetrics(SM_CYSCREEN) * 254 / (kScreenDpi * 10);
    case HORZRES:
        if (printer) return px(paperW - mL - mR, p.dpiX);
        if (dc->kind == DCKind::Memory && dc->bitmap) return dc->bitmap->w;
        return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES:
        if (printer) return px(paperH - mT - mB, p.dpiY);
        if (dc->kind == DCKind::Memory && dc->bitmap) return dc->bitmap->h;
        return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL:
        if (dc->kind == DCKind::Memory && dc->bitmap && dc->bitmap->mono) return 1;
        return printer ? 24 : 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMFONTS: return 0;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB | RC_DIBTODEV;
    case LOGPIXELSX: return DpiX(dc);
    case LOGPIXELSY: return DpiY(dc);
    case SIZEPALETTE: return 0;
    case PHYSICALWIDTH: return printer ? px(paperW, p.dpiX) : 0;
    case PHYSICALHEIGHT: return printer ? px(paperH, p.dpiY) : 0;
    case PHYSICALOFFSETX: return printer ? px(mL, p.dpiX) : 0;
    case PHYSICALOFFSETY: return printer ? px(mT, p.dpiY) : 0;
    default: return 0;
    }
}

// ---- Objects ----

HGDIOBJ CDC::SelectObject(HGDIOBJ h)
{
    if (!m_hDC || !IsLive(h)) return nullptr;
    HDC dc = m_hDC;
    HGDIOBJ old = nullptr;
    switch (h->pvType) {
    case OBJ_PEN: old = dc->st.pen; break;
    case OBJ_BRUSH: old = dc->st.brush; break;
    case OBJ_FONT: old = dc->st.font; break;
    case OBJ_REGION: {
        CRgn* r = CRgn::FromHandle(static_cast<HRGN>(h));
        return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(r)));
    }
    case OBJ_BITMAP: {
        if (dc->kind != DCKind::Memory) return nullptr;
        auto* bm = static_cast<BitmapObj*>(h);
        old = dc->bitmap;
        AddRef(bm);
        dc->bitmap = bm;
        SetTarget(dc, bm->surface, POINT{0, 0}, RECT{0, 0, bm->w, bm->h});
        // The old bitmap may be freed by Release below; answer its handle only while it lives.
        const bool oldLive = IsLive(old);
        Release(old);
        return oldLive ? old : nullptr;
    }
    default:
        return nullptr;
    }
    if (!IsLive(old)) old = nullptr;
    SelectInto(dc, h);
    if (m_hAttribDC && m_hAttribDC != m_hDC && h->pvType != OBJ_BITMAP) SelectInto(m_hAttribDC, h);
    return old;
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return pPen ? static_cast<CPen*>(CGdiObject::FromHandle(SelectObject(pPen->m_hObject))) : nullptr;
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return pBrush ? static_cast<CBrush*>(CGdiObject::FromHandle(SelectObject(pBrush->m_hObject))) : nullptr;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return pFont ? static_cast<CFont*>(CGdiObject::FromHandle(SelectObject(pFont->m_hObject))) : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return pBitmap ? static_cast<CBitmap*>(CGdiObject::FromHandle(SelectObject(pBitmap->m_hObject))) : nullptr;
}

int CDC::SelectObject(CRgn* pRgn)
{
    return SelectClipRgn(pRgn);
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    if (!pObject) return nullptr;
    if (pObject->m_hObject && IsLive(pObject->m_hObject) && pObject->m_hObject->pvType == OBJ_REGION) {
        SelectClipRgn(static_cast<CRgn*>(pObject));
        return nullptr;
    }
    return CGdiObject::FromHandle(SelectObject(pObject->m_hObject));
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    return CGdiObject::FromHandle(SelectObject(::GetStockObject(nIndex)));
}

CPen* CDC::GetCurrentPen() const
{
    return m_hDC ? CPen::FromHandle(m_hDC->st.pen) : nullptr;
}

CBrush* CDC::GetCurrentBrush() const
{
    return m_hDC ? CBrush::FromHandle(m_hDC->st.brush) : nullptr;
}

CFont* CDC::GetCurrentFont() const
{
    return m_hDC ? CFont::FromHandle(m_hDC->st.font) : nullptr;
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return m_hDC && m_hDC->bitmap ? CBitmap::FromHandle(m_hDC->bitmap) : nullptr;
}

// ---- Colours and modes ----

#define PV_STATE_GET(type, name, field, dflt) \
    type CDC::name() const { return m_hDC ? m_hDC->st.field : (dflt); }
#define PV_STATE_SET(type, name, field)                                              \
    type CDC::name(type v)                                                           \
    {                                                                                \
        if (!m_hDC) return type();                                                   \
        type old = m_hDC->st.field;                                                  \
        m_hDC->st.field = v;                                                         \
        if (m_hAttribDC && m_hAttribDC != m_hDC) m_hAttribDC->st.field = v;          \
        return old;                                                                  \
    }

PV_STATE_GET(COLORREF, GetBkColor, bkColor, CLR_INVALID)
PV_STATE_GET(int, GetBkMode, bkMode, 0)
PV_STATE_GET(COLORREF, GetTextColor, textColor, CLR_INVALID)
PV_STATE_GET(int, GetROP2, rop2, 0)
PV_STATE_GET(int, GetPolyFillMode, polyFill, 0)
PV_STATE_GET(int, GetStretchBltMode, stretchMode, 0)
PV_STATE_GET(UINT, GetTextAlign, textAlign, GDI_ERROR)
PV_STATE_GET(int, GetMapMode, mapMode, 0)

COLORREF CDC::SetBkColor(COLORREF c)
{
    if (!m_hDC) return CLR_INVALID;
    COLORREF old = m_hDC->st.bkColor;
    m_hDC->st.bkColor = c & 0x00FFFFFF;
    return old;
}

COLORREF CDC::SetTextColor(COLORREF c)
{
    if (!m_hDC) return CLR_INVALID;
    COLORREF old = m_hDC->st.textColor;
    m_hDC->st.textColor = c & 0x00FFFFFF;
    return old;
}

int CDC::SetBkMode(int nBkMode)
{
    if (!m_hDC || (nBkMode != TRANSPARENT && nBkMode != OPAQUE)) return 0;
    int old = m_hDC->st.bkMode;
    m_hDC->st.bkMode = nBkMode;
    return old;
}

int CDC::SetROP2(int nDrawMode)
{
    if (!m_hDC || nDrawMode < R2_BLACK || nDrawMode > R2_WHITE) return 0;
    int old = m_hDC->st.rop2;
    m_hDC->st.rop2 = nDrawMode;
    return old;
}

PV_STATE_SET(int, SetPolyFillMode, polyFill)
PV_STATE_SET(int, SetStretchBltMode, stretchMode)
PV_STATE_SET(UINT, SetTextAlign, textAlign)

COLORREF CDC::GetNearestColor(COLORREF crColor) const
{
    if (m_hDC && m_hDC->kind == DCKind::Memory && m_hDC->bitmap && m_hDC->bitmap->mono)
        return FromPixel(MonoPixel(crColor));
    return crColor & 0x00FFFFFF;
}

CPoint CDC::GetBrushOrg() const
{
    return m_hDC ? CPoint(m_hDC->st.brushOrg) : CPoint();
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    if (!m_hDC) return CPoint();
    CPoint old(m_hDC->st.brushOrg);
    m_hDC->st.brushOrg = POINT{x, y};
    return old;
}

// ---- Mapping ----

namespace {

void applyMapMode(HDC dc, int nMapMode)
{
    DCState& s = dc->st;
    s.mapMode = nMapMode;
    const int dx = DpiX(dc), dy = DpiY(dc);
    switch (nMapMode) {
    case MM_TEXT: s.winExt = {1, 1}; s.vpExt = {1, 1}; break;
    case MM_LOMETRIC: s.winExt = {254, 254}; s.vpExt = {dx, -dy}; break;
    case MM_HIMETRIC: s.winExt = {2540, 2540}; s.vpExt = {dx, -dy}; break;
    case MM_LOENGLISH: s.winExt = {100, 100}; s.vpExt = {dx, -dy}; break;
    case MM_HIENGLISH: s.winExt = {1000, 1000}; s.vpExt = {dx, -dy}; break;
    case MM_TWIPS: s.winExt = {1440, 1440}; s.vpExt = {dx, -dy}; break;
    default: break;  // isotropic and anisotropic keep the current scale
    }
}

// Mapping changes go to the output DC and, like the framework's, to a separate attribute DC.
template <class F> void both(CDC* c, F f)
{
    if (c->m_hDC) f(c->m_hDC);
    if (c->m_hAttribDC && c->m_hAttribDC != c->m_hDC) f(c->m_hAttribDC);
}

}  // namespace

int CDC::SetMapMode(int nMapMode)
{
    if (!m_hDC || nMapMode < MM_TEXT || nMapMode > MM_ANISOTROPIC) return 0;
    const int old = m_hDC->st.mapMode;
    both(this, [&](HDC dc) { applyMapMode(dc, nMapMode); });
    return old;
}

CPoint CDC::GetViewportOrg() const
{
    return m_hDC ? CPoint(m_hDC->st.vpOrg) : CPoint();
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    if (!m_hDC) return CPoint();
    CPoint old(m_hDC->st.vpOrg);
    both(this, [&](HDC dc) { dc->st.vpOrg = POINT{x, y}; });
    return old;
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    if (!m_hDC) return CPoint();
    CPoint old(m_hDC->st.vpOrg);
    both(this, [&](HDC dc) { dc->st.vpOrg = POINT{dc->st.vpOrg.x + nWidth, dc->st.vpOrg.y + nHeight}; });
    return old;
}

CSize CDC::GetViewportExt() const
{
    return m_hDC ? CSize(m_hDC->st.vpExt.x, m_hDC->st.vpExt.y) : CSize();
}

namespace {

// Isotropic mode keeps one unit equally long in x and y by shrinking the larger viewport extent.
void fixIsotropic(DCState& s)
{
    if (s.mapMode != MM_ISOTROPIC || !s.winExt.x || !s.winExt.y) return;
    const double sx = std::fabs(double(s.vpExt.x) / s.winExt.x), sy = std::fabs(double(s.vpExt.y) / s.winExt.y);
    if (sx > sy) s.vpExt.x = int(std::lround(s.winExt.x * sy)) * (s.vpExt.x < 0 ? -1 : 1) * (s.winExt.x < 0 ? -1 : 1);
    else if (sy > sx) s.vpExt.y = int(std::lround(s.winExt.y * sx)) * (s.vpExt.y < 0 ? -1 : 1) * (s.winExt.y < 0 ? -1 : 1);
}

}  // namespace

CSize CDC::SetViewportExt(int cx, int cy)
{
    if (!m_hDC) return CSize();
    DCState& s = m_hDC->st;
    CSize old(s.vpExt.x, s.vpExt.y);
    if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return old;
    if (cx == 0 || cy == 0) return CSize();
    both(this, [&](HDC dc) {
        dc->st.vpExt = POINT{cx, cy};
        fixIsotropic(dc->st);
    });
    return old;
}

CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (!m_hDC || !xDenom || !yDenom) return CSize();
    DCState& s = m_hDC->st;
    return SetViewportExt(int(mulDivRound(s.vpExt.x, xNum, xDenom)), int(mulDivRound(s.vpExt.y, yNum, yDenom)));
}

CPoint CDC::GetWindowOrg() const
{
    return m_hDC ? CPoint(m_hDC->st.winOrg) : CPoint();
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    if (!m_hDC) return CPoint();
    CPoint old(m_hDC->st.winOrg);
    both(this, [&](HDC dc) { dc->st.winOrg = POINT{x, y}; });
    return old;
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    if (!m_hDC) return CPoint();
    CPoint old(m_hDC->st.winOrg);
    both(this, [&](HDC dc) { dc->st.winOrg = POINT{dc->st.winOrg.x + nWidth, dc->st.winOrg.y + nHeight}; });
    return old;
}

CSize CDC::GetWindowExt() const
{
    return m_hDC ? CSize(m_hDC->st.winExt.x, m_hDC->st.winExt.y) : CSize();
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    if (!m_hDC) return CSize();
    DCState& s = m_hDC->st;
    CSize old(s.winExt.x, s.winExt.y);
    if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return old;
    if (cx == 0 || cy == 0) return CSize();
    both(this, [&](HDC dc) {
        dc->st.winExt = POINT{cx, cy};
        fixIsotropic(dc->st);
    });
    return old;
}

CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (!m_hDC || !xDenom || !yDenom) return CSize();
    DCState& s = m_hDC->st;
    return SetWindowExt(int(mulDivRound(s.winExt.x, xNum, xDenom)), int(mulDivRound(s.winExt.y, yNum, yDenom)));
}

void CDC::LPtoDP(LPPOINT pts, int n) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || !pts) return;
    for (int i = 0; i < n; ++i) pts[i] = LpToDp(dc, pts[i].x, pts[i].y);
}

void CDC::LPtoDP(LPRECT r) const
{
    if (r) LPtoDP(reinterpret_cast<LPPOINT>(r), 2);
}

void CDC::LPtoDP(LPSIZE sz) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || !sz) return;
    const DCState& s = dc->st;
    sz->cx = int(mulDivRound(sz->cx, std::abs(s.vpExt.x), std::abs(s.winExt.x)));
    sz->cy = int(mulDivRound(sz->cy, std::abs(s.vpExt.y), std::abs(s.winExt.y)));
}

void CDC::DPtoLP(LPPOINT pts, int n) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || !pts) return;
    for (int i = 0; i < n; ++i) pts[i] = DpToLp(dc, pts[i].x, pts[i].y);
}

void CDC::DPtoLP(LPRECT r) const
{
    if (r) DPtoLP(reinterpret_cast<LPPOINT>(r), 2);
}

void CDC::DPtoLP(LPSIZE sz) const
{
    HDC dc = m_hAttribDC ? m_hAttribDC : m_hDC;
    if (!dc || !sz) return;
    const DCState& s = dc->st;
    sz->cx = int(mulDivRound(sz->cx, std::abs(s.winExt.x), std::abs(s.vpExt.x)));
    sz->cy = int(mulDivRound(sz->cy, std::abs(s.winExt.y), std::abs(s.vpExt.y)));
}

// ---- Clipping ----

namespace {

int regionKind(const cairo_region_t* r)
{
    const int n = cairo_region_num_rectangles(r);
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// The application clip, made explicit (the whole drawable area when there is none).
cairo_region_t* ensureClip(HDC dc)
{
    if (!dc->st.clip) {
        const cairo_rectangle_int_t b{dc->bounds.left, dc->bounds.top, dc->bounds.right - dc->bounds.left,
                                      dc->bounds.bottom - dc->bounds.top};
        dc->st.clip = cairo_region_create_rectangle(&b);
    }
    return dc->st.clip;
}

}  // namespace

int CDC::GetClipBox(LPRECT lpRect) const
{
    if (!m_hDC || !lpRect) return ERROR;
    const cairo_region_t* clip = EffectiveClip(m_hDC);
    cairo_rectangle_int_t e;
    cairo_region_get_extents(clip, &e);
    if (e.width <= 0 || e.height <= 0) {
        *lpRect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    POINT a = DpToLp(m_hDC, e.x, e.y), b = DpToLp(m_hDC, e.x + e.width, e.y + e.height);
    *lpRect = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    return regionKind(clip);
}

BOOL CDC::PtVisible(int x, int y) const
{
    if (!m_hDC) return FALSE;
    POINT p = LpToDp(m_hDC, x, y);
    return cairo_region_contains_point(EffectiveClip(m_hDC), p.x, p.y);
}

BOOL CDC::RectVisible(LPCRECT lpRect) const
{
    if (!m_hDC || !lpRect) return FALSE;
    RECT d = LpToDpRect(m_hDC, *lpRect);
    const cairo_rectangle_int_t r{d.left, d.top, d.right - d.left, d.bottom - d.top};
    if (r.width <= 0 || r.height <= 0) return FALSE;
    return cairo_region_contains_rectangle(EffectiveClip(m_hDC), &r) != CAIRO_REGION_OVERLAP_OUT;
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    return SelectClipRgn(pRgn, RGN_COPY);
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    if (!m_hDC) return ERROR;
    HDC dc = m_hDC;
    cairo_region_t* src = pRgn && IsLive(pRgn->m_hObject) ? static_cast<RgnObj*>(pRgn->m_hObject)->rgn : nullptr;
    if (nMode == RGN_COPY) {
        if (dc->st.clip) cairo_region_destroy(dc->st.clip);
        dc->st.clip = src ? cairo_region_copy(src) : nullptr;
    } else {
        if (!src) return ERROR;
        cairo_region_t* c = ensureClip(dc);
        switch (nMode) {
        case RGN_AND: cairo_region_intersect(c, src); break;
        case RGN_OR: cairo_region_union(c, src); break;
        case RGN_XOR: cairo_region_xor(c, src); break;
        case RGN_DIFF: cairo_region_subtract(c, src); break;
        default: return ERROR;
        }
    }
    ClipChanged(dc);
    return regionKind(EffectiveClip(dc));
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    if (!m_hDC) return ERROR;
    RECT d = LpToDpRect(m_hDC, RECT{x1, y1, x2, y2});
    const cairo_rectangle_int_t r{d.left, d.top, d.right - d.left, d.bottom - d.top};
    cairo_region_subtract_rectangle(ensureClip(m_hDC), &r);
    ClipChanged(m_hDC);
    return regionKind(EffectiveClip(m_hDC));
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    if (!m_hDC) return ERROR;
    RECT d = LpToDpRect(m_hDC, RECT{x1, y1, x2, y2});
    const cairo_rectangle_int_t r{d.left, d.top, std::max<int>(0, d.right - d.left), std::max<int>(0, d.bottom - d.top)};
    cairo_region_intersect_rectangle(ensureClip(m_hDC), &r);
    ClipChanged(m_hDC);
    return regionKind(EffectiveClip(m_hDC));
}

int CDC::OffsetClipRgn(int x, int y)
{
    if (!m_hDC) return ERROR;
    if (m_hDC->st.clip) {
        POINT a = LpToDp(m_hDC, 0, 0), b = LpToDp(m_hDC, x, y);
        cairo_region_translate(m_hDC->st.clip, b.x - a.x, b.y - a.y);
        ClipChanged(m_hDC);
    }
    return regionKind(EffectiveClip(m_hDC));
}

int CDC::GetClipRgn(CRgn* pRgn) const
{
    if (!m_hDC || !pRgn || !IsLive(pRgn->m_hObject) || pRgn->m_hObject->pvType != OBJ_REGION) return -1;
    if (!m_hDC->st.clip) return 0;
    auto* o = static_cast<RgnObj*>(pRgn->m_hObject);
    cairo_region_destroy(o->rgn);
    o->rgn = cairo_region_copy(m_hDC->st.clip);
    return 1;
}
