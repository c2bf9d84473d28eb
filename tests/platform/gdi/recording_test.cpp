#include "gdi_fixture.h"

TEST(Recording, LogsTopLevelCallsWithTheirColours)
{
    CRecordingDC dc(100, 50);
    dc.FillSolidRect(CRect(1, 2, 3, 4), RGB(9, 9, 9));
    dc.SetTextColor(RGB(200, 0, 0));
    CRect r(0, 0, 90, 20);
    dc.DrawText("Name", &r, DT_SINGLELINE | DT_VCENTER);
    dc.Draw3dRect(0, 0, 10, 10, RGB(1, 1, 1), RGB(2, 2, 2));
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    dc.SelectObject(&pen);
    dc.MoveTo(0, 0);
    dc.LineTo(5, 0);
    dc.InvertRect(CRect(0, 0, 2, 2));

    // FillSolidRect's inner ExtTextOut and Draw3dRect's four fills are not logged again.
    ASSERT_EQ(dc.Records().size(), 5u) << dc.Dump();
    const PvGdiRecord& fill = dc.Records()[0];
    EXPECT_EQ(fill.call, "FillSolidRect");
    EXPECT_EQ(fill.rect, CRect(1, 2, 3, 4));
    EXPECT_EQ(fill.color, RGB(9, 9, 9));
    const auto text = dc.Find("DrawText");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_STREQ(text[0].text, "Name");
    EXPECT_EQ(text[0].flags, UINT(DT_SINGLELINE | DT_VCENTER));
    EXPECT_EQ(text[0].textColor, RGB(200, 0, 0));
    EXPECT_EQ(text[0].rect, r);
    EXPECT_EQ(dc.Find("Draw3dRect")[0].color2, RGB(2, 2, 2));
    EXPECT_EQ(dc.Find("LineTo")[0].penColor, RGB(0, 0, 255));
    EXPECT_EQ(dc.Count("InvertRect"), 1);
    // The pixels are drawn as well.
    EXPECT_EQ(dc.GetPixel(1, 3), RGB(9, 9, 9));
    dc.SelectStockObject(BLACK_PEN);
    dc.ClearRecords();
    EXPECT_TRUE(dc.Records().empty());
}

TEST(Recording, GlobalRecorderSeesEveryDC)
{
    std::vector<PvGdiRecord> all;
    PvSetGlobalGdiRecorder(&all);
    {
        CDC a;
        a.CreateCompatibleDC(nullptr);
        a.PatBlt(0, 0, 1, 1, BLACKNESS);
        CRecordingDC b(10, 10);
        b.TextOut(0, 0, "x");
        EXPECT_EQ(b.Count("TextOut"), 1);
    }
    PvSetGlobalGdiRecorder(nullptr);
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all.back().call, "TextOut");
    EXPECT_NE(all.back().ToString().find("\"x\""), std::string::npos);
}

TEST(WindowSeam, DrawsAtTheOriginWithinTheSystemClip)
{
    cairo_surface_t* image = PvCreateWindowSurface(100, 80);
    {
        CDC dc;
        ASSERT_TRUE(dc.PvAttachSurface(image, POINT{10, 20}, RECT{0, 0, 30, 30}));
        CRect box;
        EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
        EXPECT_EQ(box, CRect(0, 0, 30, 30));
        dc.SelectClipRgn(nullptr);  // cannot widen beyond the system clip
        dc.GetClipBox(&box);
        EXPECT_EQ(box, CRect(0, 0, 30, 30));
        dc.FillSolidRect(-5, -5, 100, 100, RGB(255, 0, 0));
        EXPECT_EQ(dc.PvGetSurface(), image);
        EXPECT_EQ(dc.PvGetSurfaceOrigin(), CPoint(10, 20));
    }
    // Read the window image back through a second DC without clip.
    CDC whole;
    ASSERT_TRUE(whole.PvAttachSurface(image, POINT{0, 0}, RECT{0, 0, 100, 80}));
    EXPECT_EQ(whole.GetPixel(10, 20), RGB(255, 0, 0));
    EXPECT_EQ(whole.GetPixel(39, 49), RGB(255, 0, 0));
    EXPECT_EQ(whole.GetPixel(40, 49), RGB(255, 255, 255));
    EXPECT_EQ(whole.GetPixel(9, 20), RGB(255, 255, 255));
    // An update region narrows the system clip.
    CRgn update;
    update.CreateRectRgn(50, 50, 60, 60);
    whole.PvSetSystemClipRgn(&update);
    whole.FillSolidRect(0, 0, 100, 80, RGB(0, 0, 0));
    whole.SelectClipRgn(nullptr);
    EXPECT_EQ(whole.GetPixel(55, 55), RGB(0, 0, 0));
    EXPECT_EQ(whole.GetPixel(45, 45), CLR_INVALID);
    whole.PvDetachSurface();
    EXPECT_EQ(whole.m_hDC, nullptr);
    PvDestroyWindowSurface(image);
}

TEST(WindowSeam, DoubleBufferedPaintCopiesTheBitmap)
{
    cairo_surface_t* image = PvCreateWindowSurface(50, 50);
    CDC win;
    ASSERT_TRUE(win.PvAttachSurface(image, POINT{5, 5}, RECT{0, 0, 40, 40}));
    CDC mem;
    mem.CreateCompatibleDC(&win);
    CBitmap bm;
    ASSERT_TRUE(bm.CreateCompatibleBitmap(&win, 20, 20));
    CBitmap* old = mem.SelectObject(&bm);
    EXPECT_EQ(mem.GetDeviceCaps(BITSPIXEL), 32);
    mem.SetViewportOrg(-10, -10);  // the clip box corner lands at (0, 0)
    mem.FillSolidRect(10, 10, 20, 20, RGB(0, 128, 0));
    mem.SetViewportOrg(0, 0);
    win.BitBlt(10, 10, 20, 20, &mem, 0, 0, SRCCOPY);
    EXPECT_EQ(win.GetPixel(10, 10), RGB(0, 128, 0));
    EXPECT_EQ(win.GetPixel(29, 29), RGB(0, 128, 0));
    EXPECT_EQ(win.GetPixel(30, 30), RGB(255, 255, 255));
    mem.SelectObject(old);
    win.DeleteDC();
    PvDestroyWindowSurface(image);
}
