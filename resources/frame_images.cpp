// The frame's pictures and icons. Each is drawn once with the drawing layer on white and on black;
// the two copies give every pixel's coverage, so that anti-aliased edges become clean masks.

#include "resources/frame_images.h"

#include "platform/gdi/gdi.h"
#include "platform/ui/ctrlbar.h"
#include "resources/directory_ids.h"
#include "resources/frame_ids.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

namespace {

using Painter = std::function<void(CDC&)>;

struct Image {
    int cx = 0, cy = 0;
    std::vector<uint32_t> px;  // 0x00RRGGBB
};

constexpr uint32_t kMaskPixel = 0xFF00FF;

std::vector<uint32_t> render(int cx, int cy, COLORREF bk, const Painter& paint)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(cx, cy, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&bm);
    dc.FillSolidRect(0, 0, cx, cy, bk);
    paint(dc);
    dc.SelectObject(old);
    std::vector<BYTE> raw(size_t(cx) * size_t(cy) * 4);
    bm.GetBitmapBits(DWORD(raw.size()), raw.data());
    std::vector<uint32_t> out(size_t(cx) * size_t(cy));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint32_t(raw[4 * i + 2]) << 16 | uint32_t(raw[4 * i + 1]) << 8 | raw[4 * i];
    return out;
}

// An icon: pixels covered at least half become opaque in their own colour, the rest the mask.
Image drawIcon(const Painter& paint, int size = 16)
{
    std::vector<uint32_t> w = render(size, size, RGB(255, 255, 255), paint);
    std::vector<uint32_t> b = render(size, size, RGB(0, 0, 0), paint);
    Image img {size, size, std::vector<uint32_t>(w.size(), kMaskPixel)};
    for (size_t i = 0; i < w.size(); ++i) {
        int cover[3], col[3];
        for (int k = 0; k < 3; ++k) {
            int wv = int(w[i] >> (16 - 8 * k) & 0xFF), bv = int(b[i] >> (16 - 8 * k) & 0xFF);
            cover[k] = 255 - (wv - bv);
            col[k] = cover[k] > 0 ? std::min(255, bv * 255 / cover[k]) : 0;
        }
        int a = (cover[0] + cover[1] + cover[2]) / 3;
        if (a < 128) continue;
        uint32_t v = uint32_t(col[0]) << 16 | uint32_t(col[1]) << 8 | uint32_t(col[2]);
        img.px[i] = v == kMaskPixel ? 0xFE00FE : v;
    }
    return img;
}

// The disabled look of an icon: its shape in light and dark greys.
Image greyed(const Image& src)
{
    Image img = src;
    for (uint32_t& v : img.px) {
        if (v == kMaskPixel) continue;
        int lum = (int(v >> 16 & 0xFF) * 30 + int(v >> 8 & 0xFF) * 59 + int(v & 0xFF) * 11) / 100;
        int g = 128 + lum / 3;
        v = uint32_t(g) << 16 | uint32_t(g) << 8 | uint32_t(g);
    }
    return img;
}

// ---- Drawing helpers ----
void box(CDC& dc, int l, int t, int r, int b, COLORREF fill, COLORREF edge)
{
    dc.FillSolidRect(l, t, r - l, b - t, edge);
    dc.FillSolidRect(l + 1, t + 1, r - l - 2, b - t - 2, fill);
}

void poly(CDC& dc, std::initializer_list<POINT> pts, COLORREF fill, COLORREF edge)
{
    CPen pen(PS_SOLID, 1, edge);
    CBrush br(fill);
    CPen* op = dc.SelectObject(&pen);
    CBrush* ob = dc.SelectObject(&br);
    dc.Polygon(pts.begin(), int(pts.size()));
    dc.SelectObject(op);
    dc.SelectObject(ob);
}

void ellipse(CDC& dc, int l, int t, int r, int b, COLORREF fill, COLORREF edge, int width = 1)
{
    CPen pen(PS_SOLID, width, edge);
    CBrush br(fill);
    CPen* op = dc.SelectObject(&pen);
    CBrush* ob = dc.SelectObject(&br);
    dc.Ellipse(l, t, r, b);
    dc.SelectObject(op);
    dc.SelectObject(ob);
}

void line(CDC& dc, int x1, int y1, int x2, int y2, COLORREF c, int width = 1)
{
    CPen pen(PS_SOLID, width, c);
    CPen* op = dc.SelectObject(&pen);
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
    dc.SelectObject(op);
}

void text(CDC& dc, const CRect& rc, LPCTSTR s, int height, int weight, COLORREF c, UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
          LPCTSTR face = "Arial")
{
    CFont f;
    f.CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, 0, ANSI_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, face);
    CFont* of = dc.SelectObject(&f);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(c);
    CRect r = rc;
    dc.DrawText(s, -1, &r, fmt | DT_NOPREFIX);
    dc.SelectObject(of);
}

const COLORREF kPaper = RGB(255, 255, 255);
const COLORREF kNavy = RGB(24, 56, 128);

void page(CDC& dc, int l, int t, int r, int b)
{
    box(dc, l, t, r, b, kPaper, RGB(90, 90, 90));
    for (int y = t + 3; y < b - 2; y += 2) dc.FillSolidRect(l + 2, y, r - l - 4, 1, RGB(150, 160, 190));
}

void printer(CDC& dc, COLORREF paper)
{
    box(dc, 4, 1, 12, 7, paper, RGB(90, 90, 90));
    box(dc, 1, 6, 15, 13, RGB(200, 200, 200), RGB(60, 60, 60));
    dc.FillSolidRect(3, 11, 10, 1, RGB(60, 60, 60));
    dc.FillSolidRect(12, 8, 2, 1, RGB(0, 170, 0));
    box(dc, 4, 12, 12, 15, kPaper, RGB(90, 90, 90));
}

void star(CDC& dc, int cx, int cy, int r, COLORREF fill)
{
    // Five points around a centre, outer radius r, inner about r/2.
    static const int ox[10] = {0, 29, 95, 47, 59, 0, -59, -47, -95, -29};
    static const int oy[10] = {-100, -40, -31, 15, 81, 50, 81, 15, -31, -40};
    POINT p[10];
    for (int i = 0; i < 10; ++i) p[i] = POINT {cx + ox[i] * r / 100, cy + oy[i] * r / 100};
    CPen pen(PS_SOLID, 1, RGB(150, 110, 0));
    CBrush br(fill);
    CPen* op = dc.SelectObject(&pen);
    CBrush* ob = dc.SelectObject(&br);
    dc.Polygon(p, 10);
    dc.SelectObject(op);
    dc.SelectObject(ob);
}

void window(CDC& dc, int l, int t, int r, int b)
{
    box(dc, l, t, r, b, kPaper, RGB(40, 60, 120));
    dc.FillSolidRect(l + 1, t + 1, r - l - 2, 3, RGB(40, 90, 200));
}

void arrow(CDC& dc, bool left)
{
    auto X = [&](int x) { return left ? 16 - x : x; };
    poly(dc, {{X(2), 6}, {X(8), 6}, {X(8), 2}, {X(14), 8}, {X(8), 14}, {X(8), 10}, {X(2), 10}}, RGB(40, 170, 60), RGB(20, 100, 30));
}

Image icon(UINT id)
{
    switch (id) {
    case IDI_TB_HOME:
        return drawIcon([](CDC& dc) {
            box(dc, 3, 7, 13, 15, RGB(240, 220, 170), RGB(120, 80, 40));
            poly(dc, {{1, 8}, {8, 1}, {15, 8}}, RGB(200, 50, 40), RGB(120, 20, 20));
            box(dc, 7, 10, 10, 15, RGB(120, 70, 30), RGB(80, 40, 10));
        });
    case IDI_TB_SEARCH:
        return drawIcon([](CDC& dc) {
            line(dc, 10, 10, 14, 14, RGB(90, 60, 30), 3);
            ellipse(dc, 1, 1, 11, 11, RGB(200, 230, 255), kNavy, 2);
        });
    case IDI_TB_BACK: return drawIcon([](CDC& dc) { arrow(dc, true); });
    case IDI_TB_FORWARD: return drawIcon([](CDC& dc) { arrow(dc, false); });
    case IDI_TB_SHOWALL:
        return drawIcon([](CDC& dc) {
            box(dc, 1, 2, 15, 14, kPaper, RGB(70, 70, 70));
            dc.FillSolidRect(2, 3, 12, 2, RGB(120, 150, 210));
            for (int y = 6; y < 13; y += 2) dc.FillSolidRect(2, y, 12, 1, RGB(170, 170, 170));
            dc.FillSolidRect(6, 3, 1, 10, RGB(170, 170, 170));
        });
    case IDI_TB_SAVELIST:
        return drawIcon([](CDC& dc) {
            box(dc, 1, 1, 15, 15, RGB(50, 80, 160), RGB(20, 30, 80));
            box(dc, 4, 1, 12, 7, kPaper, RGB(20, 30, 80));
            box(dc, 4, 10, 12, 15, RGB(190, 190, 190), RGB(20, 30, 80));
            dc.FillSolidRect(9, 2, 2, 4, RGB(50, 80, 160));
        });
    case IDI_TB_PRINT: return drawIcon([](CDC& dc) { printer(dc, kPaper); });
    case IDI_TB_PRINTMEDIA: return drawIcon([](CDC& dc) { printer(dc, RGB(120, 200, 120)); });
    case IDI_TB_ADDFAV:
        return drawIcon([](CDC& dc) {
            star(dc, 7, 8, 7, RGB(250, 200, 30));
            dc.FillSolidRect(11, 11, 5, 1, RGB(0, 130, 0));
            dc.FillSolidRect(13, 9, 1, 5, RGB(0, 130, 0));
        });
    case IDI_TB_ORGFAV:
        return drawIcon([](CDC& dc) {
            poly(dc, {{1, 4}, {6, 4}, {7, 6}, {15, 6}, {15, 14}, {1, 14}}, RGB(240, 200, 90), RGB(140, 100, 20));
            star(dc, 8, 10, 4, RGB(250, 240, 120));
        });
    case IDI_NOTES:
        return drawIcon([](CDC& dc) {
            box(dc, 2, 1, 13, 15, RGB(255, 245, 150), RGB(150, 130, 40));
            for (int y = 4; y < 14; y += 2) dc.FillSolidRect(4, y, 7, 1, RGB(120, 120, 160));
            line(dc, 9, 12, 15, 6, RGB(200, 60, 40), 2);
        });
    case IDI_TB_CLOSEALL:
        return drawIcon([](CDC& dc) {
            window(dc, 4, 1, 15, 10);
            window(dc, 1, 5, 12, 15);
            line(dc, 4, 9, 9, 14, RGB(210, 30, 30), 2);
            line(dc, 9, 9, 4, 14, RGB(210, 30, 30), 2);
        });
    case IDI_TB_CASCADE:
        return drawIcon([](CDC& dc) {
            window(dc, 1, 1, 10, 8);
            window(dc, 4, 4, 13, 11);
            window(dc, 7, 7, 16, 15);
        });
    case IDI_TB_PREVIEW:
        return drawIcon([](CDC& dc) {
            page(dc, 1, 1, 11, 15);
            line(dc, 11, 11, 15, 15, RGB(90, 60, 30), 2);
            ellipse(dc, 6, 5, 13, 12, RGB(210, 235, 255), kNavy, 1);
        });
    case IDI_TB_HELP:
        return drawIcon([](CDC& dc) {
            ellipse(dc, 1, 1, 15, 15, RGB(40, 100, 210), RGB(20, 50, 130));
            text(dc, CRect(1, 1, 15, 15), "?", 12, FW_BOLD, kPaper);
        });
    case IDR_MAINFRAME:
        return drawIcon(
            [](CDC& dc) {
                box(dc, 2, 2, 30, 30, RGB(24, 56, 128), RGB(10, 25, 70));
                text(dc, CRect(2, 2, 30, 30), "P", 22, FW_BOLD, RGB(250, 210, 60));
            },
            32);
    default: break;
    }
    // Disabled forms are the normal icons greyed.
    static const std::pair<UINT, UINT> disabled[] = {
        {IDI_TB_BACK_D, IDI_TB_BACK}, {IDI_TB_FORWARD_D, IDI_TB_FORWARD}, {IDI_TB_SHOWALL_D, IDI_TB_SHOWALL},
        {IDI_TB_SAVELIST_D, IDI_TB_SAVELIST}, {IDI_TB_PRINT_D, IDI_TB_PRINT}, {IDI_TB_PRINTMEDIA_D, IDI_TB_PRINTMEDIA},
        {IDI_TB_ADDFAV_D, IDI_TB_ADDFAV}, {IDI_TB_ORGFAV_D, IDI_TB_ORGFAV}, {IDI_TB_NOTES_D, IDI_NOTES},
        {IDI_TB_CLOSEALL_D, IDI_TB_CLOSEALL}, {IDI_TB_CASCADE_D, IDI_TB_CASCADE}, {IDI_TB_PREVIEW_D, IDI_TB_PREVIEW},
    };
    for (const auto& d : disabled)
        if (d.first == id) return greyed(icon(d.second));
    return Image {};
}

Image picture(UINT id)
{
    Image img;
    Painter paint;
    switch (id) {
    case IDB_SPLASH:
        img.cx = 480;
        img.cy = 300;
        paint = [](CDC& dc) {
            for (int y = 0; y < 300; ++y) {
                int t = y * 255 / 299;
                dc.FillSolidRect(0, y, 480, 1, RGB(20 + t / 8, 50 + t / 5, 120 + t / 3));
            }
            dc.FillSolidRect(0, 0, 480, 1, RGB(200, 210, 240));
            dc.FillSolidRect(0, 299, 480, 1, RGB(10, 20, 50));
            box(dc, 36, 60, 110, 150, RGB(250, 246, 230), RGB(120, 90, 40));
            dc.FillSolidRect(40, 64, 8, 82, RGB(170, 40, 40));
            for (int y = 78; y < 142; y += 8) dc.FillSolidRect(54, y, 50, 2, RGB(160, 160, 190));
            text(dc, CRect(130, 50, 470, 120), "Paravel", 64, FW_BOLD, RGB(255, 255, 255), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            text(dc, CRect(132, 118, 470, 148), "School Directory Viewer", 24, FW_NORMAL, RGB(250, 215, 90),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            dc.FillSolidRect(132, 160, 310, 2, RGB(250, 215, 90));
            text(dc, CRect(132, 170, 470, 192), "Version 3.2", 16, FW_NORMAL, RGB(225, 232, 250), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            text(dc, CRect(20, 240, 460, 262), "Loading the directory, please wait ...", 15, FW_NORMAL, RGB(225, 232, 250),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            text(dc, CRect(20, 266, 460, 288), "\xC2\xA9 Morlow Systems, Inc.", 13, FW_NORMAL, RGB(180, 195, 230),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        };
        break;
    case IDB_ABOUT_BANNER:
        img.cx = 600;
        img.cy = 55;
        paint = [](CDC& dc) {
            for (int x = 0; x < 600; ++x) {
                int t = std::min(255, x * 255 / 440);
                dc.FillSolidRect(x, 0, 1, 55, RGB(20 + t / 6, 50 + t / 4, 120 + t / 3));
            }
            text(dc, CRect(16, 0, 370, 55), "Paravel", 34, FW_BOLD, RGB(255, 255, 255), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            text(dc, CRect(160, 0, 420, 55), "School Directory Viewer", 16, FW_NORMAL, RGB(250, 215, 90),
                 DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        };
        break;
    case IDB_ABOUT_LOGO:
        img.cx = img.cy = 48;
        paint = [](CDC& dc) {
            dc.FillSolidRect(0, 0, 48, 48, GetSysColor(COLOR_BTNFACE));
            box(dc, 6, 4, 42, 44, RGB(250, 246, 230), RGB(120, 90, 40));
            dc.FillSolidRect(9, 7, 6, 34, RGB(170, 40, 40));
            for (int y = 14; y < 40; y += 6) dc.FillSolidRect(19, y, 20, 2, RGB(160, 160, 190));
        };
        break;
    case IDB_ABOUT_SEAL:
        img.cx = img.cy = 48;
        paint = [](CDC& dc) {
            dc.FillSolidRect(0, 0, 48, 48, GetSysColor(COLOR_BTNFACE));
            ellipse(dc, 3, 3, 45, 45, RGB(250, 215, 90), RGB(150, 110, 0), 2);
            ellipse(dc, 9, 9, 39, 39, RGB(24, 56, 128), RGB(150, 110, 0));
            text(dc, CRect(9, 9, 39, 39), "MS", 14, FW_BOLD, RGB(255, 255, 255));
        };
        break;
    default: {
        void (*pfnPaint)(CDC&) = nullptr;
        if (!PvDirectoryPicture(id, img.cx, img.cy, pfnPaint)) return img;
        paint = pfnPaint;
        break;
    }
    }
    img.px = render(img.cx, img.cy, RGB(255, 255, 255), paint);
    return img;
}

const Image* find(UINT id)
{
    static std::map<UINT, Image> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second.cx ? &it->second : nullptr;
    Image img = picture(id);
    if (!img.cx) img = icon(id);
    auto& slot = cache[id] = std::move(img);
    return slot.cx ? &slot : nullptr;
}

// A 24-bit BMP file of an image, as the bitmap loader answers it.
void encodeBmp(const Image& img, std::vector<BYTE>& out)
{
    const uint32_t row = (uint32_t(img.cx) * 3 + 3) & ~3u;
    const uint32_t data = row * uint32_t(img.cy), size = 54 + data;
    out.assign(size, 0);
    auto put16 = [&](size_t at, uint32_t v) { out[at] = BYTE(v); out[at + 1] = BYTE(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(img.cx));
    put32(22, uint32_t(img.cy));
    put16(26, 1);
    put16(28, 24);
    put32(34, data);
    for (int y = 0; y < img.cy; ++y) {
        BYTE* p = out.data() + 54 + size_t(row) * size_t(img.cy - 1 - y);
        for (int x = 0; x < img.cx; ++x) {
            uint32_t v = img.px[size_t(y) * size_t(img.cx) + size_t(x)];
            p[3 * x] = BYTE(v);
            p[3 * x + 1] = BYTE(v >> 8);
            p[3 * x + 2] = BYTE(v >> 16);
        }
    }
}

// Icon handles of the window layer carry their resource id above 0x10000.
UINT iconId(HICON h)
{
    uintptr_t v = reinterpret_cast<uintptr_t>(h);
    return v > 0x10000 && v < 0x20000 ? UINT(v - 0x10000) : 0;
}

BOOL drawIconAt(CDC* pDC, HICON hIcon, int x, int y, int cx, int cy)
{
    const Image* img = find(iconId(hIcon));
    if (!img || cx <= 0 || cy <= 0) return FALSE;
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i) {
            uint32_t v = img->px[size_t(j * img->cy / cy) * size_t(img->cx) + size_t(i * img->cx / cx)];
            if (v != kMaskPixel) pDC->SetPixelV(x + i, y + j, RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF));
        }
    return TRUE;
}

} // namespace

bool PvFrameImagePixels(UINT nID, int& cx, int& cy, std::vector<uint32_t>& pixels)
{
    const Image* img = find(nID);
    if (!img) return false;
    cx = img->cx;
    cy = img->cy;
    pixels = img->px;
    return true;
}

BOOL PvLoadFrameImage(UINT nID, CBitmap& bitmap)
{
    const Image* img = find(nID);
    if (!img) return FALSE;
    std::vector<BYTE> bits(img->px.size() * 4);
    for (size_t i = 0; i < img->px.size(); ++i) {
        uint32_t v = img->px[i];
        bits[4 * i] = BYTE(v);
        bits[4 * i + 1] = BYTE(v >> 8);
        bits[4 * i + 2] = BYTE(v >> 16);
    }
    bitmap.DeleteObject();
    return bitmap.CreateBitmap(img->cx, img->cy, 1, 32, bits.data());
}

void PvInstallFrameImages()
{
    PvSetBitmapResourceLoader([](UINT nID, LPCTSTR lpszName, std::vector<BYTE>& out) {
        if (!nID && lpszName && lpszName[0] == '#') nID = UINT(std::strtoul(lpszName + 1, nullptr, 10));
        const Image* img = find(nID);
        if (!img) return false;
        encodeBmp(*img, out);
        return true;
    });
    PvSetIconDrawer(&drawIconAt);
}
