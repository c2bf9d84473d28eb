// GDI object records, their lifetime and the wrappers' creation functions.

#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/gdi/gdi_internal.h"
#include "platform/sys/system.h"

using namespace pvgdi;

namespace {

std::unordered_set<const HGDIOBJ__*>& liveSet()
{
    static auto* s = new std::unordered_set<const HGDIOBJ__*>();
    return *s;
}

template <class T> T* track(T* obj)
{
    liveSet().insert(obj);
    return obj;
}

// Replaces the wrapper's handle, deleting the one it owned.
bool adopt(CGdiObject* w, HGDIOBJ h)
{
    if (!h) return false;
    w->DeleteObject();
    w->Attach(h);
    return true;
}

constexpr long kMaxPixels = 1L << 26;

}  // namespace

HGDIOBJ__::~HGDIOBJ__()
{
    if (pvTemp) {
        pvTemp->m_hObject = nullptr;
        delete pvTemp;
    }
    if (pvWrapper) pvWrapper->m_hObject = nullptr;
}

namespace pvgdi {

BitmapObj::~BitmapObj()
{
    if (surface) cairo_surface_destroy(surface);
}

RgnObj::~RgnObj()
{
    if (rgn) cairo_region_destroy(rgn);
}

bool IsLive(HGDIOBJ h)
{
    return h && liveSet().count(h) != 0;
}

void AddRef(HGDIOBJ h)
{
    if (h && !h->pvStock) ++h->pvRefs;
}

void Release(HGDIOBJ h)
{
    if (!h || h->pvStock) return;
    if (--h->pvRefs <= 0) {
        liveSet().erase(h);
        delete h;
    }
}

BitmapObj* NewBitmap(int w, int h, bool mono)
{
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || long(w) * h > kMaxPixels) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    // Image surfaces start zeroed: black, as a fresh bitmap is.
    auto* b = new BitmapObj;
    b->surface = s;
    b->mono = mono;
    b->w = w;
    b->h = h;
    return track(b);
}

PenObj* StockPen(int index)
{
    static PenObj* pens[3] = {};
    if (index < WHITE_PEN || index > NULL_PEN) return nullptr;
    PenObj*& p = pens[index - WHITE_PEN];
    if (!p) {
        p = track(new PenObj);
        p->pvStock = true;
        p->width = 1;
        p->style = index == NULL_PEN ? PS_NULL : PS_SOLID;
        p->color = index == WHITE_PEN ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    return p;
}

BrushObj* StockBrush(int index)
{
    static BrushObj* brushes[6] = {};
    if (index < WHITE_BRUSH || index > NULL_BRUSH) return nullptr;
    BrushObj*& b = brushes[index];
    if (!b) {
        static const COLORREF colors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                          RGB(64, 64, 64), RGB(0, 0, 0), RGB(0, 0, 0)};
        b = track(new BrushObj);
        b->pvStock = true;
        b->style = index == NULL_BRUSH ? BS_NULL : BS_SOLID;
        b->color = colors[index];
    }
    return b;
}

FontObj* StockFont(int index)
{
    static FontObj* fonts[8] = {};
    if (index < OEM_FIXED_FONT || index > DEFAULT_GUI_FONT || index == DEFAULT_PALETTE) return nullptr;
    FontObj*& f = fonts[index - OEM_FIXED_FONT];
    if (!f) {
        f = track(new FontObj);
        f->pvStock = true;
        f->serial = uint64_t(0x8000000000000000ull) + uint64_t(index);
        LOGFONT& lf = f->lf;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = ANSI_CHARSET;
        const char* face = "MS Sans Serif";
        switch (index) {
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case SYSTEM_FIXED_FONT:
            face = "Courier New";
            lf.lfHeight = 13;
            lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            if (index == OEM_FIXED_FONT) lf.lfCharSet = OEM_CHARSET;
            break;
        case SYSTEM_FONT:
        case DEVICE_DEFAULT_FONT:
            face = "System";
            lf.lfHeight = 16;
            lf.lfWeight = FW_BOLD;
            lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
            break;
        case ANSI_VAR_FONT:
            lf.lfHeight = 13;
            lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
            break;
        default:  // DEFAULT_GUI_FONT
            lf.lfHeight = -11;
            lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
            break;
        }
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    }
    return f;
}

BitmapObj* StockBitmap()
{
    static BitmapObj* b = nullptr;
    if (!b) {
        b = NewBitmap(1, 1, true);
        b->pvStock = true;
    }
    return b;
}

}  // namespace pvgdi

// ---- Handle-level functions ----

HGDIOBJ GetStockObject(int nIndex)
{
    if (HGDIOBJ p = StockPen(nIndex)) return p;
    if (HGDIOBJ b = StockBrush(nIndex)) return b;
    if (HGDIOBJ f = StockFont(nIndex)) return f;
    return nullptr;
}

HBRUSH GetSysColorBrush(int nIndex)
{
    static BrushObj* brushes[PV_SYSCOLOR_COUNT] = {};
    if (nIndex < 0 || nIndex >= PV_SYSCOLOR_COUNT) return nullptr;
    BrushObj*& b = brushes[nIndex];
    if (!b) {
        b = track(new BrushObj);
        b->pvStock = true;
        b->sysBrush = true;
        b->style = BS_SOLID;
    }
    // The brush follows the colour as it is now.
    b->color = GetSysColor(nIndex);
    return b;
}

BOOL DeleteObject(HGDIOBJ h)
{
    if (!IsLive(h)) return FALSE;
    if (h->pvStock) return TRUE;
    if (h->pvWrapper) {
        h->pvWrapper->m_hObject = nullptr;
        h->pvWrapper = nullptr;
    }
    Release(h);
    // A DC may still hold it: it lives on for that DC, but the handle is gone.
    liveSet().erase(h);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ h)
{
    return IsLive(h) ? DWORD(h->pvType) : 0;
}

int GetObject(HGDIOBJ h, int cb, LPVOID pv)
{
    if (!IsLive(h)) return 0;
    switch (h->pvType) {
    case OBJ_PEN: {
        auto* p = static_cast<PenObj*>(h);
        LOGPEN lp{p->style, {p->width, 0}, p->color};
        if (!pv) return int(sizeof lp);
        if (cb < int(sizeof lp)) return 0;
        std::memcpy(pv, &lp, sizeof lp);
        return int(sizeof lp);
    }
    case OBJ_BRUSH: {
        auto* b = static_cast<BrushObj*>(h);
        LOGBRUSH lb{b->style, b->color, ULONG_PTR(b->style == BS_HATCHED ? b->hatch : 0)};
        if (!pv) return int(sizeof lb);
        if (cb < int(sizeof lb)) return 0;
        std::memcpy(pv, &lb, sizeof lb);
        return int(sizeof lb);
    }
    case OBJ_FONT: {
        auto* f = static_cast<FontObj*>(h);
        if (!pv) return int(sizeof(LOGFONT));
        const int n = std::min<int>(cb, int(sizeof(LOGFONT)));
        if (n <= 0) return 0;
        std::memcpy(pv, &f->lf, size_t(n));
        return n;
    }
    case OBJ_BITMAP: {
        auto* b = static_cast<BitmapObj*>(h);
        BITMAP bm{0, b->w, b->h, b->mono ? ((b->w + 15) / 16) * 2 : b->w * 4, 1, WORD(b->mono ? 1 : 32), nullptr};
        if (!pv) return int(sizeof bm);
        if (cb < int(sizeof bm)) return 0;
        std::memcpy(pv, &bm, sizeof bm);
        return int(sizeof bm);
    }
    default:
        return 0;
    }
}

HFONT CreateFontIndirect(const LOGFONT* lplf)
{
    if (!lplf) return nullptr;
    static uint64_t serial = 0;
    auto* f = track(new FontObj);
    f->serial = ++serial;
    f->lf = *lplf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return f;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* b = track(new BrushObj);
    b->style = BS_SOLID;
    b->color = color & 0x00FFFFFF;
    return b;
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color)
{
    const int kind = iStyle & PS_STYLE_MASK;
    if (kind > PS_INSIDEFRAME) return nullptr;
    auto* p = track(new PenObj);
    p->style = UINT(iStyle);
    p->width = std::max(0, cWidth);
    p->color = color & 0x00FFFFFF;
    return p;
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    CBitmap bm;
    if (!bm.CreateBitmap(nWidth, nHeight, nPlanes, nBitCount, lpBits)) return nullptr;
    return reinterpret_cast<HBITMAP>(bm.Detach());
}

// ---- CGdiObject ----

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNCREATE(CPen, CGdiObject)
IMPLEMENT_DYNCREATE(CBrush, CGdiObject)
IMPLEMENT_DYNCREATE(CFont, CGdiObject)
IMPLEMENT_DYNCREATE(CBitmap, CGdiObject)
IMPLEMENT_DYNCREATE(CRgn, CGdiObject)

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h)
{
    if (!IsLive(h)) return nullptr;
    if (h->pvWrapper) return h->pvWrapper;
    if (!h->pvTemp) {
        CGdiObject* w = nullptr;
        switch (h->pvType) {
        case OBJ_PEN: w = new CPen; break;
        case OBJ_BRUSH: w = new CBrush; break;
        case OBJ_FONT: w = new CFont; break;
        case OBJ_BITMAP: w = new CBitmap; break;
        case OBJ_REGION: w = new CRgn; break;
        default: w = new CGdiObject; break;
        }
        w->m_hObject = h;
        h->pvTemp = w;
    }
    return h->pvTemp;
}

BOOL CGdiObject::Attach(HGDIOBJ h)
{
    if (!h) return FALSE;
    m_hObject = h;
    if (!h->pvStock) h->pvWrapper = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h && IsLive(h) && h->pvWrapper == this) h->pvWrapper = nullptr;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject) return FALSE;
    HGDIOBJ h = Detach();
    return ::DeleteObject(h);
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return ::GetObject(m_hObject, nCount, lpObject);
}

UINT CGdiObject::GetObjectType() const
{
    return ::GetObjectType(m_hObject);
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    HGDIOBJ h = ::GetStockObject(nIndex);
    if (!h) return FALSE;
    DeleteObject();
    m_hObject = h;  // stock objects are never deleted
    return TRUE;
}

// ---- Pens ----

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return adopt(this, ::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int, const DWORD*)
{
    if (!pLogBrush) return FALSE;
    if (pLogBrush->lbStyle == BS_NULL) return adopt(this, ::CreatePen(PS_NULL, 0, 0));
    return adopt(this, ::CreatePen(nPenStyle, nWidth, pLogBrush->lbColor));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lp)
{
    if (!lp) return FALSE;
    return adopt(this, ::CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor));
}

int CPen::GetLogPen(LOGPEN* pLogPen) const
{
    return ::GetObject(m_hObject, sizeof(LOGPEN), pLogPen);
}

// ---- Brushes ----

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return adopt(this, ::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
    if (nIndex < HS_HORIZONTAL || nIndex > HS_DIAGCROSS) return FALSE;
    auto* b = track(new BrushObj);
    b->style = BS_HATCHED;
    b->hatch = nIndex;
    b->color = crColor & 0x00FFFFFF;
    return adopt(this, b);
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    if (!pBitmap || !IsLive(pBitmap->m_hObject)) return FALSE;
    auto* bm = static_cast<BitmapObj*>(pBitmap->m_hObject);
    auto* b = track(new BrushObj);
    b->style = BS_PATTERN;
    b->pw = std::min(bm->w, 8);
    b->ph = std::min(bm->h, 8);
    b->mono = bm->mono;
    b->pix.resize(size_t(b->pw) * size_t(b->ph));
    cairo_surface_flush(bm->surface);
    const auto* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(bm->surface));
    const int stride = cairo_image_surface_get_stride(bm->surface) / 4;
    for (int y = 0; y < b->ph; ++y)
        for (int x = 0; x < b->pw; ++x) {
            const uint32_t p = data[y * stride + x] & 0xFFFFFF;
            b->pix[size_t(y * b->pw + x)] = b->mono ? (p ? 1u : 0u) : p;
        }
    return adopt(this, b);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lb)
{
    if (!lb) return FALSE;
    switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_NULL: {
        auto* b = track(new BrushObj);
        b->style = BS_NULL;
        return adopt(this, b);
    }
    case BS_PATTERN:
    case BS_PATTERN8X8: {
        auto h = reinterpret_cast<HGDIOBJ>(lb->lbHatch);
        if (!IsLive(h) || h->pvType != OBJ_BITMAP) return FALSE;
        return CreatePatternBrush(CBitmap::FromHandle(static_cast<HBITMAP>(h)));
    }
    default: return FALSE;
    }
}

BOOL CBrush::CreateSysColorBrush(int nIndex)
{
    return CreateSolidBrush(GetSysColor(nIndex));
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const
{
    return ::GetObject(m_hObject, sizeof(LOGBRUSH), pLogBrush);
}

// ---- Fonts ----

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont)
{
    return adopt(this, ::CreateFontIndirect(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    LOGFONT lf{};
    lf.lfHeight = nHeight;
    lf.lfWidth = nWidth;
    lf.lfEscapement = nEscapement;
    lf.lfOrientation = nOrientation;
    lf.lfWeight = nWeight;
    lf.lfItalic = bItalic;
    lf.lfUnderline = bUnderline;
    lf.lfStrikeOut = cStrikeOut;
    lf.lfCharSet = nCharSet;
    lf.lfOutPrecision = nOutPrecision;
    lf.lfClipPrecision = nClipPrecision;
    lf.lfQuality = nQuality;
    lf.lfPitchAndFamily = nPitchAndFamily;
    if (lpszFacename) std::strncpy(lf.lfFaceName, lpszFacename, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    if (lpszFaceName) std::strncpy(lf.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    if (!lpLogFont) return FALSE;
    LOGFONT lf = *lpLogFont;
    const int dpi = pDC && pDC->m_hAttribDC ? pDC->GetDeviceCaps(LOGPIXELSY) : 96;
    // Tenths of a point to device pixels, then back into the DC's logical units.
    POINT pt{0, int((long(dpi) * lf.lfHeight + 360) / 720)};
    POINT org{0, 0};
    if (pDC && pDC->m_hAttribDC) {
        pDC->DPtoLP(&pt);
        pDC->DPtoLP(&org);
    }
    lf.lfHeight = -std::abs(pt.y - org.y);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const
{
    return ::GetObject(m_hObject, sizeof(LOGFONT), pLogFont);
}

// ---- Regions ----

namespace {

cairo_region_t* rgnOf(const CRgn* r)
{
    if (!r || !IsLive(r->m_hObject) || r->m_hObject->pvType != OBJ_REGION) return nullptr;
    return static_cast<RgnObj*>(r->m_hObject)->rgn;
}

int kindOf(const cairo_region_t* r)
{
    if (!r) return ERROR;
    const int n = cairo_region_num_rectangles(r);
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

cairo_rectangle_int_t normRect(int x1, int y1, int x2, int y2)
{
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    return {x1, y1, x2 - x1, y2 - y1};
}

BOOL adoptRegion(CRgn* w, cairo_region_t* r)
{
    auto* o = track(new RgnObj);
    o->rgn = r;
    return adopt(w, o);
}

}  // namespace

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    const cairo_rectangle_int_t r = normRect(x1, y1, x2, y2);
    return adoptRegion(this, cairo_region_create_rectangle(&r));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return lpRect && CreateRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

BOOL CRgn::PvCreateFromRects(const RECT* rects, int count)
{
    std::vector<cairo_rectangle_int_t> rs;
    for (int i = 0; rects && i < count; ++i)
        rs.push_back(normRect(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom));
    return adoptRegion(this, cairo_region_create_rectangles(rs.data(), int(rs.size())));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    const cairo_rectangle_int_t b = normRect(x1, y1, x2, y2);
    cairo_region_t* r = cairo_region_create();
    const double cx = b.x + b.width / 2.0, cy = b.y + b.height / 2.0;
    const double rx = b.width / 2.0, ry = b.height / 2.0;
    for (int y = b.y; y < b.y + b.height && rx > 0 && ry > 0; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy >= 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        const int l = int(std::lround(cx - half)), rgt = int(std::lround(cx + half));
        if (rgt > l) {
            const cairo_rectangle_int_t row{l, y, rgt - l, 1};
            cairo_region_union_rectangle(r, &row);
        }
    }
    return adoptRegion(this, r);
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect)
{
    return lpRect && CreateEllipticRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    auto* o = IsLive(m_hObject) ? static_cast<RgnObj*>(m_hObject) : nullptr;
    if (!o) return;
    const cairo_rectangle_int_t r = normRect(x1, y1, x2, y2);
    cairo_region_destroy(o->rgn);
    o->rgn = cairo_region_create_rectangle(&r);
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int mode)
{
    auto* self = IsLive(m_hObject) ? static_cast<RgnObj*>(m_hObject) : nullptr;
    cairo_region_t* a = rgnOf(pRgn1);
    cairo_region_t* b = rgnOf(pRgn2);
    if (!self || !a || (mode != RGN_COPY && !b)) return ERROR;
    cairo_region_t* r = cairo_region_copy(a);
    switch (mode) {
    case RGN_AND: cairo_region_intersect(r, b); break;
    case RGN_OR: cairo_region_union(r, b); break;
    case RGN_XOR: cairo_region_xor(r, b); break;
    case RGN_DIFF: cairo_region_subtract(r, b); break;
    case RGN_COPY: break;
    default: cairo_region_destroy(r); return ERROR;
    }
    cairo_region_destroy(self->rgn);
    self->rgn = r;
    return kindOf(r);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc)
{
    return CombineRgn(pRgnSrc, nullptr, RGN_COPY);
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const
{
    cairo_region_t* a = rgnOf(this);
    cairo_region_t* b = rgnOf(pRgn);
    return a && b && cairo_region_equal(a, b);
}

int CRgn::OffsetRgn(int x, int y)
{
    cairo_region_t* r = rgnOf(this);
    if (!r) return ERROR;
    cairo_region_translate(r, x, y);
    return kindOf(r);
}

int CRgn::GetRgnBox(LPRECT lpRect) const
{
    cairo_region_t* r = rgnOf(this);
    if (!r || !lpRect) return ERROR;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(r, &e);
    *lpRect = RECT{e.x, e.y, e.x + e.width, e.y + e.height};
    return kindOf(r);
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    cairo_region_t* r = rgnOf(this);
    return r && cairo_region_contains_point(r, x, y);
}

BOOL CRgn::RectInRegion(LPCRECT lpRect) const
{
    cairo_region_t* r = rgnOf(this);
    if (!r || !lpRect) return FALSE;
    const cairo_rectangle_int_t rc = normRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    return cairo_region_contains_rectangle(r, &rc) != CAIRO_REGION_OVERLAP_OUT;
}

std::vector<CRect> CRgn::PvGetRects() const
{
    std::vector<CRect> out;
    cairo_region_t* r = rgnOf(this);
    if (!r) return out;
    const int n = cairo_region_num_rectangles(r);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t e;
        cairo_region_get_rectangle(r, i, &e);
        out.emplace_back(e.x, e.y, e.x + e.width, e.y + e.height);
    }
    return out;
}
