#include "gdi_fixture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using Mapping = GdiCanvas;

TEST_F(Mapping, AnisotropicAndTextModes)
{
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 64);
    EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32);
    // In MM_TEXT extents cannot be changed.
    dc.SetWindowExt(10, 10);
    EXPECT_EQ(dc.GetWindowExt(), CSize(1, 1));

    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(96, 96);
    dc.SetViewportExt(192, 48);
    dc.SetWindowOrg(10, 0);
    dc.SetViewportOrg(4, 2);
    struct Case {
        POINT lp, dp;
    };
    const Case cases[] = {{{10, 0}, {4, 2}}, {{20, 10}, {24, 7}}, {{0, -4}, {-16, 0}}};
    for (const Case& c : cases) {
        POINT p = c.lp;
        dc.LPtoDP(&p);
        EXPECT_EQ(CPoint(p), CPoint(c.dp));
        dc.DPtoLP(&p);
        EXPECT_EQ(CPoint(p), CPoint(c.lp));
    }
    // Drawing and clip boxes follow the mapping.
    dc.FillSolidRect(10, 0, 5, 4, RGB(0, 0, 0));  // device (4, 2) - (14, 4)
    EXPECT_EQ(dc.GetPixel(10, 0), RGB(0, 0, 0));
    dc.SetMapMode(MM_TEXT);
    dc.SetViewportOrg(0, 0);
    dc.SetWindowOrg(0, 0);
    EXPECT_EQ(InkBox(), CRect(4, 2, 14, 4));

    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(2, 2);
    dc.SetViewportExt(1, 1);
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 128, 96));
    // Fonts scale with the mapping: a 22-unit font is 11 pixels on this DC.
    CFont f;
    LOGFONT lf = TestFont(-22);
    f.CreateFontIndirect(&lf);
    CFont* old = dc.SelectObject(&f);
    TEXTMETRIC tm;
    dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 28);
    dc.SelectObject(old);
    dc.SetMapMode(MM_TEXT);
}

TEST_F(Mapping, SaveAndRestoreState)
{
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetBkMode(TRANSPARENT);
    const int a = dc.SaveDC();
    dc.SetTextColor(RGB(4, 5, 6));
    dc.SetViewportOrg(7, 8);
    dc.IntersectClipRect(0, 0, 1, 1);
    const int b = dc.SaveDC();
    EXPECT_EQ(b, a + 1);
    dc.SetBkMode(OPAQUE);
    EXPECT_TRUE(dc.RestoreDC(a));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 64, 48));
    EXPECT_FALSE(dc.RestoreDC(b));  // already gone
    EXPECT_FALSE(dc.RestoreDC(-1));
}

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(Printer, WritesATwoPagePdfOfTheDeviceSize)
{
    const std::string path = ::testing::TempDir() + "gdi_printer_test.pdf";
    std::remove(path.c_str());
    PvPrinterSettings ps;
    ps.outputPath = path.c_str();
    ps.dpiX = ps.dpiY = 300;
    ps.paperWidth = 2159;  // Letter
    ps.paperHeight = 2794;
    CDC dc;
    ASSERT_TRUE(PvCreatePdfPrinterDC(dc, ps));
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 2550);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 3300);
    // Text measures in printer pixels before any page exists.
    CFont f;
    LOGFONT lf{};
    lf.lfHeight = -(10 * 300 / 72);
    std::strcpy(lf.lfFaceName, "Arial");
    f.CreateFontIndirect(&lf);
    CFont* old = dc.SelectObject(&f);
    EXPECT_GT(dc.GetTextExtent("Page").cx, 50);

    ASSERT_GT(dc.StartDoc("Directory"), 0);
    for (int page = 1; page <= 2; ++page) {
        ASSERT_GT(dc.StartPage(), 0);
        dc.TextOut(300, 300, page == 1 ? "Page one" : "Page two");
        dc.Rectangle(300, 400, 1200, 800);
        dc.FillSolidRect(300, 900, 600, 100, RGB(200, 200, 255));
        dc.InvertRect(CRect(300, 900, 400, 1000));
        ASSERT_GT(dc.EndPage(), 0);
    }
    ASSERT_GT(dc.EndDoc(), 0);
    dc.SelectObject(old);

    const std::string pdf = readFile(path);
    ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
    const size_t count = pdf.find("/Count ");
    ASSERT_NE(count, std::string::npos);
    EXPECT_EQ(std::atoi(pdf.c_str() + count + 7), 2);
    // 2550 x 3300 pixels at 300 DPI is 612 x 792 points, on every page.
    size_t box = 0;
    int boxes = 0;
    while ((box = pdf.find("/MediaBox [", box)) != std::string::npos) {
        double x0, y0, x1, y1;
        ASSERT_EQ(std::sscanf(pdf.c_str() + box + 11, " %lf %lf %lf %lf", &x0, &y0, &x1, &y1), 4);
        EXPECT_NEAR(x1 - x0, 612, 0.5);
        EXPECT_NEAR(y1 - y0, 792, 0.5);
        ++boxes;
        ++box;
    }
    EXPECT_GE(boxes, 1);
    std::remove(path.c_str());
}

TEST(Printer, ErrorsAreReported)
{
    PvPrinterSettings ps;
    ps.outputPath = "/nonexistent-dir/out.pdf";
    CDC dc;
    ASSERT_TRUE(PvCreatePdfPrinterDC(dc, ps));
    EXPECT_EQ(dc.StartPage(), SP_ERROR);  // no document yet
    EXPECT_EQ(dc.StartDoc("x"), SP_ERROR);
    ps.dpiX = 0;
    CDC bad;
    EXPECT_FALSE(PvCreatePdfPrinterDC(bad, ps));
    CDC screen;
    EXPECT_FALSE(screen.CreateDC("WINSPOOL", "Printer", nullptr, nullptr));
    EXPECT_EQ(screen.StartDoc("x"), SP_ERROR);

    // A document left open is finished when the DC goes away, not left broken.
    const std::string path = ::testing::TempDir() + "gdi_printer_open.pdf";
    {
        PvPrinterSettings ok;
        ok.outputPath = path.c_str();
        CDC p;
        ASSERT_TRUE(PvCreatePdfPrinterDC(p, ok));
        ASSERT_GT(p.StartDoc("open"), 0);
        p.StartPage();
        p.TextOut(10, 10, "x");
    }
    const std::string pdf = readFile(path);
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
    std::remove(path.c_str());
}
