#include "gdi_fixture.h"

using Raster = GdiCanvas;

namespace {

void paintSomething(CDC& dc)
{
    dc.FillSolidRect(0, 0, 32, 48, RGB(200, 30, 30));
    dc.FillSolidRect(10, 10, 30, 20, RGB(10, 220, 40));
    dc.TextOut(2, 2, "Ab");
}

}  // namespace

TEST_F(Raster, InversionTwiceRestoresThePixels)
{
    paintSomething(dc);
    const auto before = Snapshot();
    const CRect r(5, 5, 50, 40);
    dc.InvertRect(&r);
    EXPECT_EQ(dc.GetPixel(6, 20), RGB(255 - 200, 255 - 30, 255 - 30));
    EXPECT_NE(Snapshot(), before);
    dc.InvertRect(&r);
    EXPECT_EQ(Snapshot(), before);

    dc.PatBlt(3, 3, 20, 20, DSTINVERT);
    dc.PatBlt(3, 3, 20, 20, DSTINVERT);
    EXPECT_EQ(Snapshot(), before);

    // XOR pen lines drawn twice leave nothing.
    CPen pen(PS_SOLID, 1, RGB(0, 255, 255));
    CPen* old = dc.SelectObject(&pen);
    dc.SetROP2(R2_XORPEN);
    for (int i = 0; i < 2; ++i) {
        dc.MoveTo(0, 30);
        dc.LineTo(60, 30);
        dc.MoveTo(0, 0);
        dc.LineTo(40, 47);
        dc.Rectangle(4, 4, 30, 30);
    }
    dc.SetROP2(R2_COPYPEN);
    dc.SelectObject(old);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Raster, DottedFocusRectangleDrawnTwiceDisappears)
{
    paintSomething(dc);
    const auto before = Snapshot();
    struct Case {
        CRect r;
    };
    const Case cases[] = {{CRect(2, 2, 40, 30)}, {CRect(10, 10, 11, 20)}, {CRect(5, 5, 30, 6)}, {CRect(-5, -5, 100, 100)}};
    for (const Case& c : cases) {
        dc.DrawFocusRect(&c.r);
        dc.DrawFocusRect(&c.r);
        EXPECT_EQ(Snapshot(), before);
    }
    // It is dotted: every other pixel along an edge changes.
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    const CRect r(4, 4, 20, 20);
    dc.DrawFocusRect(&r);
    EXPECT_EQ(CountColor(RGB(0, 0, 0), CRect(4, 4, 20, 5)), 8);
    EXPECT_EQ(CountColor(RGB(0, 0, 0), CRect(5, 5, 19, 19)), 0);
}

TEST_F(Raster, PatternBrushRepeatsWithTheBrushOrigin)
{
    // One black pixel in the top-left corner of an 8 x 8 monochrome pattern.
    const WORD rows[8] = {0x7f, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    CBitmap pattern;
    ASSERT_TRUE(pattern.CreateBitmap(8, 8, 1, 1, rows));
    CBrush brush(&pattern);
    dc.SetTextColor(RGB(0, 0, 200));     // 0 bits
    dc.SetBkColor(RGB(255, 255, 255));   // 1 bits
    const CRect area(0, 0, 32, 32);
    dc.FillRect(&area, &brush);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(dc.GetPixel(x, y), (x % 8 == 0 && y % 8 == 0) ? RGB(0, 0, 200) : RGB(255, 255, 255)) << x << "," << y;
    dc.SetBrushOrg(3, 5);
    dc.FillRect(&area, &brush);
    EXPECT_EQ(dc.GetPixel(3, 5), RGB(0, 0, 200));
    EXPECT_EQ(dc.GetPixel(11, 13), RGB(0, 0, 200));
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 255, 255));

    // Hatch brushes leave the background alone in transparent mode.
    CBrush hatch(HS_CROSS, RGB(255, 0, 0));
    dc.FillSolidRect(0, 0, 32, 32, RGB(0, 255, 0));
    dc.SetBkMode(TRANSPARENT);
    dc.SetBrushOrg(0, 0);
    dc.FillRect(&area, &hatch);
    EXPECT_EQ(CountColor(RGB(255, 0, 0), area) + CountColor(RGB(0, 255, 0), area), 32 * 32);
    EXPECT_EQ(CountColor(RGB(255, 0, 0), CRect(0, 0, 8, 8)), 15);
}

TEST_F(Raster, BlitOperations)
{
    CDC src;
    src.CreateCompatibleDC(&dc);
    CBitmap sb;
    sb.CreateCompatibleBitmap(&dc, 4, 1);
    CBitmap* old = src.SelectObject(&sb);
    const COLORREF s[4] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0xF0, 0x0F, 0x33), RGB(0x12, 0x34, 0x56)};
    for (int i = 0; i < 4; ++i) src.SetPixel(i, 0, s[i]);
    const COLORREF d = RGB(0xAA, 0x55, 0xCC);
    CBrush pat(RGB(0x0F, 0xF0, 0x0F));
    const COLORREF p = RGB(0x0F, 0xF0, 0x0F);
    struct Case {
        DWORD rop;
        COLORREF (*expect)(COLORREF s, COLORREF d, COLORREF p);
    };
    const Case cases[] = {
        {SRCCOPY, [](COLORREF s, COLORREF, COLORREF) { return s; }},
        {SRCAND, [](COLORREF s, COLORREF d, COLORREF) { return s & d; }},
        {SRCPAINT, [](COLORREF s, COLORREF d, COLORREF) { return s | d; }},
        {SRCINVERT, [](COLORREF s, COLORREF d, COLORREF) { return s ^ d; }},
        {NOTSRCCOPY, [](COLORREF s, COLORREF, COLORREF) { return ~s & 0xFFFFFF; }},
        {0x00B8074A, [](COLORREF s, COLORREF d, COLORREF p) { return (s & d) | (~s & p & 0xFFFFFF); }},
        {PATCOPY, [](COLORREF, COLORREF, COLORREF p) { return p; }},
        {PATINVERT, [](COLORREF, COLORREF d, COLORREF p) { return p ^ d; }},
        {DSTINVERT, [](COLORREF, COLORREF d, COLORREF) { return ~d & 0xFFFFFF; }},
        {BLACKNESS, [](COLORREF, COLORREF, COLORREF) { return COLORREF(0); }},
        {WHITENESS, [](COLORREF, COLORREF, COLORREF) { return COLORREF(0xFFFFFF); }},
    };
    CBrush* oldBrush = dc.SelectObject(&pat);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rop);
        dc.FillSolidRect(0, 0, 4, 1, d);
        dc.BitBlt(0, 0, 4, 1, &src, 0, 0, c.rop);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(dc.GetPixel(i, 0), c.expect(s[i], d, p)) << i;
    }
    // Stretching doubles each pixel; HALFTONE blends neighbours instead.
    dc.StretchBlt(0, 2, 8, 2, &src, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dc.GetPixel(4, 3), s[2]);
    EXPECT_EQ(dc.GetPixel(5, 2), s[2]);
    dc.SetStretchBltMode(HALFTONE);
    dc.StretchBlt(0, 5, 8, 2, &src, 0, 0, 4, 1, SRCCOPY);
    dc.SetStretchBltMode(COLORONCOLOR);
    const COLORREF mid = dc.GetPixel(2, 5);  // between black and white
    EXPECT_GT(GetRValue(mid), 20);
    EXPECT_LT(GetRValue(mid), 235);
    EXPECT_EQ(dc.GetPixel(2, 8), RGB(255, 255, 255));  // nothing beyond the destination
    dc.SelectObject(oldBrush);
    src.SelectObject(old);
}

TEST_F(Raster, MonochromeConversions)
{
    // Colour to monochrome: the source background colour becomes white, everything else black.
    CDC mask;
    mask.CreateCompatibleDC(&dc);
    CBitmap mb;
    mb.CreateBitmap(4, 1, 1, 1, nullptr);
    CBitmap* old = mask.SelectObject(&mb);
    dc.SetPixel(0, 0, RGB(255, 0, 255));
    dc.SetPixel(1, 0, RGB(1, 2, 3));
    dc.SetBkColor(RGB(255, 0, 255));
    mask.BitBlt(0, 0, 2, 1, &dc, 0, 0, SRCCOPY);
    EXPECT_EQ(mask.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(mask.GetPixel(1, 0), RGB(0, 0, 0));
    // Monochrome to colour: 0 bits take the text colour, 1 bits the background colour.
    dc.SetTextColor(RGB(10, 20, 30));
    dc.SetBkColor(RGB(40, 50, 60));
    dc.BitBlt(0, 5, 2, 1, &mask, 0, 0, SRCCOPY);
    EXPECT_EQ(dc.GetPixel(0, 5), RGB(40, 50, 60));
    EXPECT_EQ(dc.GetPixel(1, 5), RGB(10, 20, 30));
    mask.SelectObject(old);
}

TEST_F(Raster, ClippingHolds)
{
    const CRect all(0, 0, 64, 48);
    struct Case {
        const char* name;
        void (*clip)(CDC&);
        POINT inside, outside;
    };
    const Case cases[] = {
        {"intersect", [](CDC& d) { d.IntersectClipRect(10, 20, 20, 30); }, {15, 25}, {25, 25}},
        {"exclude", [](CDC& d) { d.ExcludeClipRect(10, 20, 20, 30); }, {25, 25}, {15, 25}},
        {"region",
         [](CDC& d) {
             CRgn r;
             r.CreateRectRgn(30, 20, 40, 30);
             d.SelectClipRgn(&r);
         },
         {35, 25}, {5, 25}},
        {"region and",
         [](CDC& d) {
             d.IntersectClipRect(0, 0, 20, 30);
             CRgn r;
             r.CreateRectRgn(10, 20, 40, 40);
             d.SelectClipRgn(&r, RGN_AND);
         },
         {15, 25}, {30, 35}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dc.FillSolidRect(&all, RGB(255, 255, 255));
        const int saved = dc.SaveDC();
        c.clip(dc);
        dc.FillSolidRect(&all, RGB(0, 0, 255));
        dc.TextOut(0, 0, "WWWWWWWWWWWWW");
        EXPECT_EQ(dc.GetPixel(c.inside.x, c.inside.y), RGB(0, 0, 255));
        EXPECT_EQ(dc.GetPixel(c.outside.x, c.outside.y), CLR_INVALID);  // outside the clip
        EXPECT_FALSE(dc.PtVisible(c.outside.x, c.outside.y));
        dc.RestoreDC(saved);
        EXPECT_EQ(dc.GetPixel(c.outside.x, c.outside.y), RGB(255, 255, 255));
    }
    dc.IntersectClipRect(5, 6, 7, 8);
    CRect box;
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(5, 6, 7, 8));
    dc.IntersectClipRect(50, 50, 60, 60);
    EXPECT_EQ(dc.GetClipBox(&box), NULLREGION);
    EXPECT_TRUE(box.IsRectEmpty());
    dc.SelectClipRgn(nullptr);
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, all);
}

TEST_F(Raster, StretchDIBitsReadsBottomUpAndRejectsBadHeaders)
{
    // 2 x 2, 8 bits with a palette; bottom-up, so the first row in memory is the lowest.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD pal[3];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = 2;
    info.h.biHeight = 2;
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    info.h.biClrUsed = 3;
    info.pal[1] = RGBQUAD{0, 0, 255, 0};  // red
    info.pal[2] = RGBQUAD{255, 0, 0, 0};  // blue
    const BYTE bits[8] = {1, 1, 0, 0, 2, 2, 0, 0};  // bottom row red, top row blue (rows padded to 4)
    auto* bmi = reinterpret_cast<const BITMAPINFO*>(&info);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, bits, bmi, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 0, 0));
    // The source rectangle of a bottom-up DIB counts from the bottom: y 0 is the red row.
    dc.StretchDIBits(10, 0, 4, 4, 0, 0, 2, 1, bits, bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(dc.GetPixel(12, 2), RGB(255, 0, 0));

    info.h.biBitCount = 7;
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, bits, bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    info.h.biBitCount = 8;
    info.h.biWidth = -2;
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, bits, bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, nullptr, bmi, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST_F(Raster, ShapesFramesAndEdges)
{
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush brush(RGB(0, 0, 255));
    CPen* op = dc.SelectObject(&pen);
    CBrush* ob = dc.SelectObject(&brush);
    dc.Rectangle(2, 2, 12, 8);
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(11, 7), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(12, 8), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 255));
    // A line leaves out its last point.
    dc.MoveTo(20, 1);
    dc.LineTo(30, 1);
    EXPECT_EQ(dc.GetPixel(20, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(29, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(30, 1), RGB(255, 255, 255));
    dc.Ellipse(30, 20, 50, 40);
    EXPECT_EQ(dc.GetPixel(40, 30), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(30, 20), RGB(255, 255, 255));
    dc.SelectObject(op);
    dc.SelectObject(ob);

    dc.Draw3dRect(0, 20, 10, 10, RGB(1, 1, 1), RGB(2, 2, 2));
    EXPECT_EQ(dc.GetPixel(0, 20), RGB(1, 1, 1));
    EXPECT_EQ(dc.GetPixel(9, 20), RGB(2, 2, 2));
    EXPECT_EQ(dc.GetPixel(0, 29), RGB(2, 2, 2));
    EXPECT_EQ(dc.GetPixel(0, 28), RGB(1, 1, 1));

    CRect r(12, 20, 28, 36);
    dc.DrawEdge(&r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, CRect(14, 22, 26, 34));
    EXPECT_EQ(dc.GetPixel(12, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(dc.GetPixel(27, 35), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(dc.GetPixel(13, 21), GetSysColor(COLOR_3DDKSHADOW));

    CRect box(50, 2, 63, 15);
    dc.DrawFrameControl(&box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_GT(CountColor(GetSysColor(COLOR_BTNTEXT), box), 5);
    EXPECT_GT(CountColor(GetSysColor(COLOR_WINDOW), box), 20);
}

TEST_F(Raster, HatchStylesAndRop2)
{
    struct Case {
        int hatch;
        int inked;  // pixels of one 8 x 8 tile in the hatch colour
    };
    const Case cases[] = {{HS_HORIZONTAL, 8}, {HS_VERTICAL, 8}, {HS_FDIAGONAL, 8},
                          {HS_BDIAGONAL, 8},  {HS_CROSS, 15},   {HS_DIAGCROSS, 16}};
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(255, 255, 255));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hatch);
        CBrush b(c.hatch, RGB(0, 0, 0));
        const CRect tile(8, 8, 16, 16);
        dc.FillRect(&tile, &b);
        EXPECT_EQ(CountColor(RGB(0, 0, 0), tile), c.inked);
        EXPECT_EQ(CountColor(RGB(255, 255, 255), tile), 64 - c.inked);
    }
    // R2_NOT inverts whatever a shape covers, pen and interior alike.
    dc.FillSolidRect(0, 0, width, height, RGB(0, 255, 0));
    dc.SetROP2(R2_NOT);
    dc.Rectangle(0, 0, 10, 10);
    dc.SetROP2(R2_COPYPEN);
    EXPECT_EQ(CountColor(RGB(255, 0, 255), CRect(0, 0, 10, 10)), 100);
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(0, 255, 0));
}

TEST_F(Raster, GeometricSquareCapsAndNullPens)
{
    LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
    CPen square(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, 3, &lb);
    CPen* old = dc.SelectObject(&square);
    dc.MoveTo(10, 10);
    dc.LineTo(20, 10);
    dc.SelectObject(old);
    // Three pixels thick, reaching one pixel (half the width) beyond each end.
    EXPECT_EQ(InkBox(), CRect(9, 9, 21, 12));

    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    dc.SelectStockObject(NULL_PEN);
    dc.SelectStockObject(BLACK_BRUSH);
    dc.Rectangle(2, 2, 6, 6);  // without a pen the fill stops short right and bottom
    EXPECT_EQ(InkBox(), CRect(2, 2, 5, 5));
    dc.SelectStockObject(BLACK_PEN);
    dc.SelectStockObject(WHITE_BRUSH);
    // Dotted and dashed pens leave gaps.
    CPen dot(PS_DOT, 1, RGB(0, 0, 0));
    old = dc.SelectObject(&dot);
    dc.MoveTo(0, 40);
    dc.LineTo(60, 40);
    dc.SelectObject(old);
    const int inked = CountColor(RGB(0, 0, 0), CRect(0, 40, 60, 41));
    EXPECT_GT(inked, 20);
    EXPECT_LT(inked, 40);
}

TEST_F(Raster, FrameControlsAndPolygons)
{
    struct Case {
        UINT type, state;
        COLORREF expect;  // a colour the control must show
    };
    const Case cases[] = {
        {DFC_BUTTON, DFCS_BUTTONPUSH, GetSysColor(COLOR_BTNFACE)},
        {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED, GetSysColor(COLOR_BTNTEXT)},
        {DFC_SCROLL, DFCS_SCROLLUP, GetSysColor(COLOR_BTNTEXT)},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE, GetSysColor(COLOR_BTNSHADOW)},
        {DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED, GetSysColor(COLOR_BTNTEXT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        CRect r(4, 4, 20, 20);
        EXPECT_TRUE(dc.DrawFrameControl(&r, c.type, c.state));
        EXPECT_GT(CountColor(c.expect, r), 0);
        EXPECT_EQ(InkBox() & CRect(0, 0, 64, 48), InkBox());
        EXPECT_TRUE(CRect(4, 4, 20, 20).PtInRect(InkBox().TopLeft()));
    }
    CRect r(0, 0, 10, 10);
    EXPECT_FALSE(dc.DrawFrameControl(&r, 99, 0));

    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    const POINT tri[] = {{10, 10}, {40, 10}, {10, 40}};
    dc.SelectStockObject(BLACK_BRUSH);
    dc.Polygon(tri, 3);
    dc.SelectStockObject(WHITE_BRUSH);
    EXPECT_EQ(dc.GetPixel(15, 15), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(35, 35), RGB(255, 255, 255));
    EXPECT_FALSE(dc.Polygon(tri, 1));
    EXPECT_FALSE(dc.Polygon(nullptr, 3));
}
