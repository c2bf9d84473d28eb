#include "gdi_fixture.h"

using Objects = GdiCanvas;

TEST_F(Objects, SelectObjectAnswersThePreviousObject)
{
    CPen red(PS_SOLID, 1, RGB(255, 0, 0)), blue(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* first = dc.SelectObject(&red);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_hObject, GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.SelectObject(&blue), &red);  // the permanent wrapper comes back
    EXPECT_EQ(dc.SelectObject(first)->m_hObject, blue.m_hObject);

    CBrush brush(RGB(1, 2, 3));
    CBrush* oldBrush = dc.SelectObject(&brush);
    EXPECT_EQ(oldBrush->m_hObject, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.GetCurrentBrush(), &brush);
    dc.SelectObject(oldBrush);

    // Handle form: HFONT converts to HGDIOBJ.
    CFont font;
    LOGFONT lf = TestFont();
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    HGDIOBJ prev = ::SelectObject(dc.m_hDC, static_cast<HFONT>(font));
    EXPECT_EQ(prev, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(::SelectObject(dc.m_hDC, prev), static_cast<HGDIOBJ>(static_cast<HFONT>(font)));
}

TEST_F(Objects, DeletingASelectedObjectLeavesTheDCWorking)
{
    auto* brush = new CBrush(RGB(0, 128, 0));
    dc.SelectObject(brush);
    delete brush;  // deletes the GDI object while it is selected
    dc.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 128, 0));
    EXPECT_EQ(dc.GetCurrentBrush(), nullptr);  // the handle itself is gone
    dc.SelectStockObject(WHITE_BRUSH);
}

TEST_F(Objects, FromHandleAndDeleteObject)
{
    CPen pen(PS_DASH, 1, RGB(9, 8, 7));
    HPEN h = pen;
    EXPECT_EQ(CPen::FromHandle(h), &pen);
    HGDIOBJ raw = pen.Detach();
    CPen* temp = CPen::FromHandle(static_cast<HPEN>(raw));
    ASSERT_NE(temp, nullptr);
    LOGPEN lp{};
    EXPECT_EQ(temp->GetLogPen(&lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(9, 8, 7));
    EXPECT_TRUE(::DeleteObject(raw));
    EXPECT_FALSE(::DeleteObject(raw));            // twice is an error, not a crash
    EXPECT_EQ(CGdiObject::FromHandle(raw), nullptr);
    EXPECT_TRUE(::DeleteObject(GetStockObject(BLACK_PEN)));  // stock objects are ignored
    EXPECT_NE(GetObjectType(GetStockObject(BLACK_PEN)), 0u);
}

TEST_F(Objects, StockAndSystemObjects)
{
    LOGFONT lf{};
    ASSERT_EQ(::GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), int(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_LT(lf.lfHeight, 0);
    LOGBRUSH lb{};
    ASSERT_GT(::GetObject(GetStockObject(NULL_BRUSH), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, UINT(BS_NULL));
    ASSERT_GT(::GetObject(GetStockObject(LTGRAY_BRUSH), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_GT(::GetObject(face, sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(::DeleteObject(face));
    EXPECT_NE(GetObjectType(face), 0u);  // still there
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

TEST_F(Objects, BitmapsDescribeThemselves)
{
    CBitmap mono, colour;
    const WORD rows[8] = {0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa};
    ASSERT_TRUE(mono.CreateBitmap(8, 8, 1, 1, rows));
    BITMAP bm{};
    ASSERT_GT(mono.GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmWidth, 8);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2);
    BYTE back[16] = {};
    EXPECT_EQ(mono.GetBitmapBits(sizeof back, back), 16u);
    EXPECT_EQ(back[0], 0x55);
    EXPECT_EQ(back[2], 0xaa);

    ASSERT_TRUE(colour.CreateCompatibleBitmap(&dc, 5, 3));
    ASSERT_GT(colour.GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    // A compatible bitmap of a DC that holds a monochrome bitmap is monochrome.
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap fromMono;
    ASSERT_TRUE(fromMono.CreateCompatibleBitmap(&mem, 4, 4));
    fromMono.GetBitmap(&bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    // Unreasonable sizes fail instead of allocating.
    CBitmap huge;
    EXPECT_FALSE(huge.CreateBitmap(100000, 100000, 1, 32, nullptr));
    EXPECT_FALSE(huge.CreateBitmap(-1, 5, 1, 32, nullptr));
    EXPECT_FALSE(huge.CreateBitmap(4, 4, 1, 7, nullptr));
}

TEST(Regions, CombineAndQuery)
{
    CRgn a, b, r;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 20, 20);
    r.CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int kind;
        CRect box;
        POINT in, out;
    };
    const Case cases[] = {
        {RGN_AND, SIMPLEREGION, CRect(5, 5, 10, 10), {7, 7}, {2, 2}},
        {RGN_OR, COMPLEXREGION, CRect(0, 0, 20, 20), {15, 15}, {2, 15}},
        {RGN_DIFF, COMPLEXREGION, CRect(0, 0, 10, 10), {2, 2}, {7, 7}},
        {RGN_XOR, COMPLEXREGION, CRect(0, 0, 20, 20), {2, 2}, {7, 7}},
        {RGN_COPY, SIMPLEREGION, CRect(0, 0, 10, 10), {2, 2}, {15, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(r.CombineRgn(&a, &b, c.mode), c.kind);
        CRect box;
        r.GetRgnBox(&box);
        EXPECT_EQ(box, c.box);
        EXPECT_TRUE(r.PtInRegion(c.in));
        EXPECT_FALSE(r.PtInRegion(c.out));
    }
    EXPECT_EQ(r.CombineRgn(&a, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(r.OffsetRgn(100, 0), SIMPLEREGION);
    EXPECT_TRUE(r.PtInRegion(102, 2));
    CRgn e;
    e.CreateEllipticRgn(0, 0, 20, 10);
    EXPECT_TRUE(e.PtInRegion(10, 5));
    EXPECT_FALSE(e.PtInRegion(0, 0));
}
