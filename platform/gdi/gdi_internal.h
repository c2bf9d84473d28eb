#pragma once
// Private to platform/gdi: the records behind the handles and the DC state.

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/recording.h"

namespace pvgdi {

struct FontFace;

struct PenObj final : HPEN__ {
    UINT style = PS_SOLID;  // full style word (type, caps, joins)
    int width = 0;
    COLORREF color = 0;
};

struct BrushObj final : HBRUSH__ {
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    bool sysBrush = false;           // GetSysColorBrush: never deleted
    // Pattern brushes: the bitmap's pixels (0xRRGGBB), or 0/1 bits of a monochrome bitmap.
    int pw = 0, ph = 0;
    bool mono = false;
    std::vector<uint32_t> pix;
};

struct FontObj final : HFONT__ {
    LOGFONT lf{};
    uint64_t serial = 0;  // tells realisations apart when a freed record's address is reused
};

struct BitmapObj final : HBITMAP__ {
    ~BitmapObj() override;
    cairo_surface_t* surface = nullptr;  // RGB24
    bool mono = false;
    int w = 0, h = 0;
};

struct RgnObj final : HRGN__ {
    ~RgnObj() override;
    cairo_region_t* rgn = nullptr;
};

// Adds a reference that a DC holds on a selected object; Release drops it and frees the
// record once neither owner nor DC holds it.
void AddRef(HGDIOBJ h);
void Release(HGDIOBJ h);
bool IsLive(HGDIOBJ h);

PenObj* StockPen(int index);
BrushObj* StockBrush(int index);
FontObj* StockFont(int index);
BitmapObj* StockBitmap();  // the 1 x 1 monochrome bitmap of a fresh memory DC

BitmapObj* NewBitmap(int w, int h, bool mono);  // nullptr when the size is unreasonable

inline uint32_t ToPixel(COLORREF c)
{
    return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF FromPixel(uint32_t p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
inline uint32_t MonoPixel(COLORREF c)  // the nearest of black and white
{
    return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) >= 12800 ? 0xFFFFFFFFu : 0xFF000000u;
}

struct DCState {
    PenObj* pen = nullptr;
    BrushObj* brush = nullptr;
    FontObj* font = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_LEFT | TA_TOP;
    int polyFill = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int mapMode = MM_TEXT;
    POINT winOrg{0, 0}, winExt{1, 1}, vpOrg{0, 0}, vpExt{1, 1};
    POINT brushOrg{0, 0};
    POINT cur{0, 0};
    cairo_region_t* clip = nullptr;  // application clip, device coordinates; nullptr = none
};

enum class DCKind { Screen, Memory, Info, Printer };

}  // namespace pvgdi

struct HDC__ {
    pvgdi::DCKind kind = pvgdi::DCKind::Info;
    cairo_surface_t* surface = nullptr;   // referenced
    cairo_t* cr = nullptr;
    std::function<cairo_surface_t*()> compose;  // makes `surface` on first use
    pvgdi::BitmapObj* bitmap = nullptr;   // memory DCs: the selected bitmap (referenced)
    POINT origin{0, 0};                   // device (0, 0) in surface pixels
    RECT bounds{0, 0, 0, 0};              // drawable device area
    cairo_region_t* sysClip = nullptr;    // device coordinates; nullptr = the bounds
    pvgdi::DCState st;
    std::vector<pvgdi::DCState> saved;
    cairo_region_t* effClip = nullptr;    // cached: bounds & sysClip & st.clip
    bool crClipValid = false;
    bool raster = false;                  // surface is an image we can touch pixel by pixel
    // Printers
    PvPrinterSettings printer;
    bool inDoc = false, inPage = false;
    std::string docPath;
    // Wrappers
    CDC* wrapper = nullptr;
    CDC* temp = nullptr;
    // The realised font of the selected one
    pvgdi::FontFace* face = nullptr;
    uint64_t faceSerial = 0;
    double faceScale = 0;
    // Recording
    int depth = 0;
    std::vector<PvGdiRecord>* recorder = nullptr;
};

namespace pvgdi {

HDC NewDC(DCKind kind);
void FreeDC(HDC dc);
void SetTarget(HDC dc, cairo_surface_t* surface, POINT origin, RECT bounds);
void ClipChanged(HDC dc);
const cairo_region_t* EffectiveClip(HDC dc);
cairo_t* PrepareCairo(HDC dc);  // the clip applied; nullptr when there is nothing to draw on
void SelectInto(HDC dc, HGDIOBJ h);  // swaps references in the current state

// Mapping
POINT LpToDp(HDC dc, int x, int y);
POINT DpToLp(HDC dc, int x, int y);
RECT LpToDpRect(HDC dc, const RECT& r);  // normalised
double ScaleX(HDC dc);                    // device units per logical unit
double ScaleY(HDC dc);
int DpiX(HDC dc);
int DpiY(HDC dc);

// Raster access: the selected surface's pixels (flushed); MarkDirty after writing.
struct Raster {
    uint32_t* px = nullptr;
    int stride = 0;  // in pixels
    int w = 0, h = 0;
    bool mono = false;
};
bool GetRaster(HDC dc, Raster& r);
void MarkDirty(HDC dc);
// Calls fn(x0, y0, x1, y1) in surface pixels for each visible part of a device rectangle.
template <class Fn> void ForEachVisible(HDC dc, const RECT& dev, Fn fn);

// Brush sampling at a device pixel; false where the brush leaves the pixel alone.
bool BrushPixel(HDC dc, const BrushObj* b, int dx, int dy, uint32_t& out);
// A Cairo source for a brush (nullptr for hollow brushes); the caller destroys it.
cairo_pattern_t* BrushPattern(HDC dc, const BrushObj* b);
uint32_t Rop2(int rop2, uint32_t p, uint32_t d);
uint32_t Rop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d);

// Fill a device rectangle with a brush under a ROP2 code (R2_COPYPEN for plain fills).
void FillDevRect(HDC dc, const RECT& dev, const BrushObj* b, int rop2 = R2_COPYPEN);
void FillDevRectColor(HDC dc, const RECT& dev, COLORREF c);

// Fonts and text (text.cpp)
FontFace* CurrentFace(HDC dc);
void TextMetricsOf(HDC dc, TEXTMETRIC& tm);  // logical units
int TextWidthDev(FontFace* f, const char* s, int n);
void DrawTextDev(HDC dc, FontFace* f, int x, int baseline, const char* s, int n, bool rtl, COLORREF color);
int FaceAscent(FontFace* f);
int FaceHeight(FontFace* f);

// Recording
class RecordScope {
public:
    RecordScope(HDC dc, const char* call);
    ~RecordScope();
    RecordScope(const RecordScope&) = delete;
    RecordScope& operator=(const RecordScope&) = delete;
    PvGdiRecord* rec() { return m_rec; }  // nullptr when not recording
    void set(const RECT& r, COLORREF c1 = 0, COLORREF c2 = 0, UINT flags = 0, LPCTSTR text = nullptr, int n = -1);

private:
    HDC m_dc;
    PvGdiRecord* m_rec = nullptr;
};

template <class Fn> void ForEachVisible(HDC dc, const RECT& dev, Fn fn)
{
    const cairo_region_t* clip = EffectiveClip(dc);
    const int n = cairo_region_num_rectangles(clip);
    if (!dc->surface) return;
    const int sw = cairo_image_surface_get_width(dc->surface);
    const int sh = cairo_image_surface_get_height(dc->surface);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(clip, i, &c);
        long x0 = std::max<long>(dev.left, c.x), y0 = std::max<long>(dev.top, c.y);
        long x1 = std::min<long>(dev.right, long(c.x) + c.width), y1 = std::min<long>(dev.bottom, long(c.y) + c.height);
        x0 += dc->origin.x; x1 += dc->origin.x; y0 += dc->origin.y; y1 += dc->origin.y;
        x0 = std::max<long>(x0, 0); y0 = std::max<long>(y0, 0);
        x1 = std::min<long>(x1, sw); y1 = std::min<long>(y1, sh);
        if (x0 < x1 && y0 < y1) fn(int(x0), int(y0), int(x1), int(y1));
    }
}

}  // namespace pvgdi
