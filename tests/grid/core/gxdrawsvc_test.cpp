#include "grid/core/gxdrawsvc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/core/gxcolor.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/recording.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/system.h"

namespace {

struct Lines {
    int n = 0;
    int starts[GX_MAX_TEXT_LINES] = {};
    int lengths[GX_MAX_TEXT_LINES] = {};
    std::string Line(const char* text, int i) const { return std::string(text + starts[i], size_t(lengths[i])); }
};

Lines Break(CDC& dc, const char* text, const CRect& rect, UINT format)
{
    Lines l;
    l.n = GetDrawingAndFormatting()->LayoutText(&dc, text, -1, rect, format, l.starts, l.lengths);
    return l;
}

int Width(CDC& dc, const char* s) { return dc.GetTextExtent(s, int(strlen(s))).cx; }

TEST(GXDrawingAndFormatting, LineBreaking)
{
    CRecordingDC dc;
    const UINT wrap = DT_WORDBREAK | DT_NOPREFIX;
    const int h = dc.GetTextExtent("X", 1).cy;
    const CRect tall(0, 0, 0, h * 40);

    {  // a word wider than the cell breaks inside the word
        const char* text = "abcdefghijkl";
        CRect r(0, 0, Width(dc, "abcde") - 1, h * 10);
        Lines l = Break(dc, text, r, wrap);
        ASSERT_GE(l.n, 2);
        EXPECT_LT(l.lengths[0], 12);
        std::string joined;
        for (int i = 0; i < l.n; ++i)
            joined += l.Line(text, i);
        EXPECT_EQ(joined, text);
    }
    {  // words move to the next line as a whole
        const char* text = "aa bb";
        CRect r(0, 0, Width(dc, "aa b"), h * 10);
        Lines l = Break(dc, text, r, wrap);
        ASSERT_EQ(l.n, 2);
        EXPECT_EQ(l.Line(text, 0), "aa ");
        EXPECT_EQ(l.Line(text, 1), "bb");
    }
    {  // CR LF, CR and LF each end a line; a break at the end leaves an empty line
        const char* text = "ab\r\ncd\ref\n";
        CRect r(0, 0, 500, h * 10);
        Lines l = Break(dc, text, r, wrap);
        ASSERT_EQ(l.n, 4);
        EXPECT_EQ(l.Line(text, 0), "ab");
        EXPECT_EQ(l.Line(text, 1), "cd");
        EXPECT_EQ(l.Line(text, 2), "ef");
        EXPECT_EQ(l.lengths[3], 0);
        EXPECT_EQ(l.starts[3], int(strlen(text)));
    }
    {  // at most 32 lines
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += "x\n";
        CRect r(0, 0, 500, h * 60);
        EXPECT_EQ(Break(dc, text.c_str(), r, wrap).n, GX_MAX_TEXT_LINES);
    }
    {  // only as many lines as the rectangle holds
        CRect r(0, 0, 500, h * 3);
        EXPECT_EQ(Break(dc, "1\n2\n3\n4\n5", r, wrap).n, 3);
    }
    {  // no word wrap: one line
        const char* text = "aaa bbb ccc";
        CRect r(0, 0, Width(dc, "aaa"), h * 10);
        Lines l = Break(dc, text, r, DT_SINGLELINE);
        ASSERT_EQ(l.n, 1);
        EXPECT_EQ(l.Line(text, 0), text);
    }
    (void)tall;
}

std::string DrawnText(const CRecordingDC& dc)
{
    std::string s;
    for (const PvGdiRecord& r : dc.Find("TextOut"))
        s += std::string(LPCTSTR(r.text)) + "|";
    return s;
}

TEST(GXDrawingAndFormatting, Ellipsis)
{
    CRecordingDC dc;
    const int h = dc.GetTextExtent("X", 1).cy;
    CGXDrawingAndFormatting* p = GetDrawingAndFormatting();

    {  // pound: a number that does not fit becomes a row of '#'
        CRect r(0, 0, Width(dc, "#") * 4 + 1, h);
        p->DrawTextWithEllipsis(&dc, "123456789012", -1, r, DT_SINGLELINE, gxPoundEllipse);
        EXPECT_EQ(DrawnText(dc), "####|");
        dc.ClearRecords();
        p->DrawTextWithEllipsis(&dc, "1", -1, CRect(0, 0, 50, h), DT_SINGLELINE, gxPoundEllipse);
        EXPECT_EQ(DrawnText(dc), "1|") << "a fitting text is drawn as it is";
        dc.ClearRecords();
    }
    {  // dotted: a long single line ends in "..." and fits
        CRect r(0, 0, Width(dc, "abcdefgh"), h);
        p->DrawTextWithEllipsis(&dc, "abcdefghijklmnop", -1, r, DT_SINGLELINE, gxDotEllipse);
        auto outs = dc.Find("TextOut");
        ASSERT_EQ(outs.size(), 1u);
        std::string t = LPCTSTR(outs[0].text);
        ASSERT_GE(t.size(), 4u);
        EXPECT_EQ(t.substr(t.size() - 3), "...");
        EXPECT_LE(Width(dc, t.c_str()), r.Width());
        dc.ClearRecords();
    }
    {  // dotted, wrapped: the last visible line says more text follows
        CRect r(0, 0, Width(dc, "word word"), h * 2);
        p->DrawTextWithEllipsis(&dc, "word word word word word word", -1, r, DT_WORDBREAK, gxDotEllipse);
        auto outs = dc.Find("TextOut");
        ASSERT_EQ(outs.size(), 2u);
        std::string first = LPCTSTR(outs[0].text), last = LPCTSTR(outs[1].text);
        EXPECT_EQ(first.find("..."), std::string::npos) << "only the last visible line";
        EXPECT_EQ(last.substr(last.size() - 3), "...");
        dc.ClearRecords();
    }
    {  // one character left: the dots shrink
        CRect r(0, 0, Width(dc, "W."), h);
        p->DrawTextWithEllipsis(&dc, "WWWWW", -1, r, DT_SINGLELINE, gxDotEllipse);
        EXPECT_EQ(DrawnText(dc), "W.|");
    }
}

TEST(GXDrawingAndFormatting, AlignmentAndCharacterUnderPoint)
{
    CRecordingDC dc;
    const int h = dc.GetTextExtent("X", 1).cy;
    CGXDrawingAndFormatting* p = GetDrawingAndFormatting();
    CRect r(10, 0, 210, h * 3);
    p->DrawTextLines(&dc, "ab", -1, r, DT_RIGHT | DT_SINGLELINE);
    auto outs = dc.Find("TextOut");
    ASSERT_EQ(outs.size(), 1u);
    EXPECT_EQ(outs[0].rect.left, 210 - Width(dc, "ab"));
    dc.ClearRecords();
    p->DrawTextLines(&dc, "ab", -1, r, DT_CENTER | DT_SINGLELINE);
    EXPECT_EQ(dc.Find("TextOut")[0].rect.left, 10 + (200 - Width(dc, "ab")) / 2);

    CRect c(0, 0, 200, h * 3);
    EXPECT_EQ(p->CharIndexFromPoint(&dc, "abc\ndef", -1, c, CPoint(Width(dc, "d") + 1, h + 1), DT_WORDBREAK), 5);
    EXPECT_EQ(p->CharIndexFromPoint(&dc, "abc\ndef", -1, c, CPoint(1, 1), DT_WORDBREAK), 0);
    EXPECT_EQ(p->CharIndexFromPoint(&dc, "abc\ndef", -1, c, CPoint(1, h * 2 + 5), DT_WORDBREAK), -1);
}

TEST(GXDrawingAndFormatting, PatternsAreEightByEightBitmaps)
{
    CGXDrawingAndFormatting* p = GetDrawingAndFormatting();
    CBitmap* pBmp = p->GetPattern(1);
    ASSERT_NE(pBmp, nullptr);
    BITMAP bm {};
    pBmp->GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 8);
    EXPECT_EQ(bm.bmHeight, 8);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    BYTE bits[16] = {};
    ASSERT_EQ(pBmp->GetBitmapBits(sizeof(bits), bits), 16u);
    for (int row = 0; row < 8; ++row)
        EXPECT_EQ(bits[row * 2], row % 2 ? 0xAA : 0x55) << "row " << row;
    EXPECT_EQ(p->GetPattern(1), pBmp) << "made once";
    EXPECT_EQ(p->GetPattern(41), nullptr);
    EXPECT_EQ(p->GetPattern(-1), nullptr);
}

TEST(GXDrawingAndFormatting, FillsFramesAndTransparentBitmaps)
{
    CRecordingDC dc(40, 40);
    PvSetSysColor(COLOR_BTNFACE, RGB(1, 2, 3));
    GXGetAppData()->m_sysColors.Refresh();
    FillSolidRect(&dc, CRect(0, 0, 10, 10), GXSYSCOLOR(COLOR_BTNFACE));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(1, 2, 3));
    COLORREF bk = dc.GetBkColor();
    FillSolidRectXY(&dc, 10, 0, 5, 5, RGB(9, 8, 7));
    EXPECT_EQ(dc.GetPixel(12, 2), RGB(9, 8, 7));
    EXPECT_EQ(dc.GetBkColor(), bk) << "background colour restored";

    GetDrawingAndFormatting()->Draw3dFrame(&dc, 20, 20, 30, 30, 2, RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(21, 21), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(28, 28), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(25, 25), RGB(255, 255, 255)) << "two passes only";

    // A red cross on white, white transparent, over blue.
    CBitmap bmp;
    BYTE bits[4 * 4 * 4] = {};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            BYTE* px = bits + (y * 4 + x) * 4;
            bool red = x == 1 || y == 1;
            px[0] = red ? 0 : 255;  // B
            px[1] = red ? 0 : 255;  // G
            px[2] = 255;            // R
        }
    ASSERT_TRUE(bmp.CreateBitmap(4, 4, 1, 32, bits));
    dc.FillSolidRect(0, 30, 10, 10, RGB(0, 0, 255));
    DrawTransparentBitmap(&dc, &bmp, 2, 32, RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(3, 33), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(2, 32), RGB(0, 0, 255)) << "transparent pixel shows the background";
    EXPECT_EQ(dc.GetPixel(5, 35), RGB(0, 0, 255));
}

// A 24-bit BMP file of four pixels: black, dark grey, light grey, white.
std::vector<BYTE> ButtonColorsBmp()
{
    std::vector<BYTE> f(14 + 40 + 16, 0);
    auto put32 = [&f](size_t at, DWORD v) {
        for (int i = 0; i < 4; ++i)
            f[at + i] = BYTE(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, DWORD(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 4);  // width
    put32(22, 1);  // height
    f[26] = 1;     // planes
    f[28] = 24;    // bits
    const BYTE px[4] = {0, 128, 192, 255};
    for (int i = 0; i < 4; ++i)
        f[54 + 3 * i] = f[55 + 3 * i] = f[56 + 3 * i] = px[i];
    return f;
}

TEST(GXDrawingAndFormatting, SysColorMappedBitmap)
{
    PvSetBitmapResourceLoader([](UINT nID, LPCTSTR, std::vector<BYTE>& out) {
        if (nID != 20036)
            return false;
        out = ButtonColorsBmp();
        return true;
    });
    PvSetSysColor(COLOR_BTNTEXT, RGB(10, 0, 0));
    PvSetSysColor(COLOR_BTNSHADOW, RGB(20, 0, 0));
    PvSetSysColor(COLOR_BTNFACE, RGB(30, 0, 0));
    PvSetSysColor(COLOR_BTNHIGHLIGHT, RGB(40, 0, 0));
    CBitmap bmp;
    ASSERT_TRUE(LoadSysColorMappedBitmap(bmp, 20036));
    BYTE bits[16] = {};
    ASSERT_EQ(bmp.GetBitmapBits(sizeof(bits), bits), 16u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(RGB(bits[4 * i + 2], bits[4 * i + 1], bits[4 * i]), RGB(10 * (i + 1), 0, 0)) << "pixel " << i;
    EXPECT_FALSE(LoadSysColorMappedBitmap(bmp, 20037)) << "a missing resource";

    HGLOBAL h = CopyBitmapResourceToGlobal(20036);
    ASSERT_NE(h, nullptr);
    const auto* p = static_cast<const BYTE*>(GlobalLock(h));
    BITMAPINFOHEADER bih {};
    memcpy(&bih, p, sizeof(bih));
    EXPECT_EQ(bih.biWidth, 4);
    EXPECT_EQ(bih.biHeight, 1);
    EXPECT_EQ(GetDibNumColors(&bih), 0);
    EXPECT_EQ(GlobalSize(h), sizeof(bih) + 16);
    EXPECT_EQ(p[sizeof(bih) + 3 * 4], 255) << "the white pixel, unmapped";
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(CopyBitmapResourceToGlobal(20037), nullptr);
    bih.biBitCount = 4;
    EXPECT_EQ(GetDibNumColors(&bih), 16);
    bih.biClrUsed = 5;
    EXPECT_EQ(GetDibNumColors(&bih), 5);
    PvSetBitmapResourceLoader(nullptr);
}

TEST(GXDrawingAndFormatting, StyledCellText)
{
    CRecordingDC dc;
    CGXDrawingAndFormatting* p = GetDrawingAndFormatting();
    const int h = dc.GetTextExtent("X", 1).cy;
    {  // colours, right alignment, pound ellipsis from the user attribute
        CGXStyle style;
        style.SetTextColor(RGB(200, 0, 0)).SetHorizontalAlignment(2).SetUserAttribute(GX_IDS_UA_ELLIPSES, "2");
        CRect r(0, 0, 30, h * 2);
        p->DrawStyledCellText(&dc, r, "12345678901234567890", style);
        auto outs = dc.Find("TextOut");
        ASSERT_EQ(outs.size(), 1u) << dc.Dump();
        EXPECT_EQ(std::string(LPCTSTR(outs[0].text)).find_first_not_of('#'), std::string::npos);
        EXPECT_EQ(outs[0].textColor, RGB(200, 0, 0));
        EXPECT_EQ(outs[0].bkMode, TRANSPARENT);
        EXPECT_NE(dc.GetTextColor(), RGB(200, 0, 0)) << "the DC's colour is restored";
        dc.ClearRecords();
        p->DrawStyledCellText(&dc, r, "1234567890", style, TRUE);
        auto bw = dc.Find("TextOut");
        ASSERT_EQ(bw.size(), 1u);
        EXPECT_EQ(bw[0].textColor, RGB(0, 0, 0)) << "black and white printing";
        dc.ClearRecords();
    }
    {  // word wrap gives lines; right-to-left reading from its user attribute
        CGXStyle style;
        style.SetWrapText(TRUE).SetUserAttribute(GX_IDS_UA_RTLREADING, "1");
        p->DrawStyledCellText(&dc, CRect(0, 0, 500, h * 4), "one\r\ntwo", style);
        auto outs = dc.Find("TextOut");
        ASSERT_EQ(outs.size(), 2u);
        EXPECT_TRUE(outs[0].textAlign & TA_RTLREADING);
        EXPECT_FALSE(dc.GetTextAlign() & TA_RTLREADING);
        dc.ClearRecords();
    }
    {  // nothing for an empty text or a tiny rectangle
        CGXStyle style;
        p->DrawStyledCellText(&dc, CRect(0, 0, 100, 20), "", style);
        p->DrawStyledCellText(&dc, CRect(0, 0, 1, 20), "abc", style);
        EXPECT_EQ(dc.Count("TextOut"), 0);
    }
}

TEST(GXDrawingAndFormatting, FormatValueForDisplay)
{
    CGXNumberFormattingImp imp;
    CGXGridLibraryState& state = GXGetLibraryState();
    CGXNumberFormattingImp* saved = state.m_pNumberFormattingImp;
    CGXDrawingAndFormatting* p = GetDrawingAndFormatting();
    CGXStyle style;
    style.SetValue("2.5").SetValueType(GX_VT_NUMBER);
    style.SetFormat(GX_FMT_FIXED).SetPlaces(2);
    CString s;

    state.m_pNumberFormattingImp = nullptr;
    p->FormatValueForDisplay(s, style);
    EXPECT_STREQ(s, "2.5") << "no formatter: plain text";
    p->FormatValueForDisplay(s, CGXStyle());
    EXPECT_STREQ(s, "");

    state.m_pNumberFormattingImp = &imp;
    p->FormatValueForDisplay(s, style);
    EXPECT_STREQ(s, "2.50");
    FormatValueForDisplay(s, style, "7");
    EXPECT_STREQ(s, "7.00");
    FormatValueForDisplay(s, style, "seven");
    EXPECT_STREQ(s, "seven") << "a text is not turned into 0.00";
    double v = 0;
    unsigned f = 0, pl = 0;
    EXPECT_TRUE(p->ParseDisplayValue("$1,000", v, f, pl));
    EXPECT_EQ(f, unsigned(GX_FMT_DOLLARS));
    state.m_pNumberFormattingImp = saved;
}

TEST(GXDrawingAndFormatting, EdgeFramesAndCaptions)
{
    CRecordingDC dc;
    CGXDrawingAndFormatting* p = GetDrawingAndFormatting();
    p->DrawEdgeFrame(&dc, CRect(0, 0, 50, 20), TRUE, TRUE);
    p->DrawEdgeFrame(&dc, CRect(0, 0, 50, 20), TRUE, FALSE);
    auto edges = dc.Find("DrawEdge");
    ASSERT_EQ(edges.size(), 3u) << dc.Dump();
    EXPECT_EQ(edges[0].flags, 12u | (0x600Fu << 16));
    EXPECT_EQ(edges[1].flags, UINT(EDGE_SUNKEN) | (0x200Fu << 16));
    EXPECT_EQ(edges[2].flags, 3u | (0xA00Fu << 16));
    dc.ClearRecords();

    PvSetSysColor(COLOR_BTNSHADOW, RGB(7, 7, 7));
    GXGetAppData()->m_sysColors.Refresh();
    const CRect r(0, 0, 100, 30);
    p->DrawCaptionText(&dc, r, "Hi", DT_SINGLELINE, TRUE);
    auto outs = dc.Find("TextOut");
    ASSERT_EQ(outs.size(), 1u);
    EXPECT_STREQ(outs[0].text, "Hi");
    const int w = dc.GetTextExtent("Hi", 2).cx;
    EXPECT_NEAR(outs[0].rect.left, (100 - w) / 2, 1) << "centred";
    EXPECT_EQ(dc.GetPixel(outs[0].rect.left + 2, outs[0].rect.top - 1), RGB(7, 7, 7)) << "focus frame";
    dc.ClearRecords();
    p->DrawCaptionText(&dc, r, nullptr, DT_SINGLELINE, TRUE);
    EXPECT_EQ(dc.Count("TextOut"), 0) << "a missing text draws only the frame";
}

TEST(GXChoiceList, PopFindAndSort)
{
    CString text("a\r\nb\nc"), line;
    EXPECT_EQ(PopFirstLine(text, line), 1);
    EXPECT_STREQ(line, "a");
    EXPECT_STREQ(text, "b\nc");
    EXPECT_EQ(PopFirstLine(text, line), 1);
    EXPECT_EQ(PopFirstLine(text, line), -1);
    EXPECT_STREQ(line, "c");
    EXPECT_TRUE(text.IsEmpty());

    char buf[4];
    CopyTabField("one\ttwo\tthree", 2, buf, sizeof(buf));
    EXPECT_STREQ(buf, "thr");
    CopyTabField("one\ttwo", 5, buf, sizeof(buf));
    EXPECT_STREQ(buf, "");

    const char* list = "Name\tCode\r\nApple\tx1\r\nBanana\ty2\r\nberry\tz3";
    struct Case {
        const char* value;
        int column;
        BOOL skipTitle, exact;
        int index;
        const char* line;
    };
    const Case cases[] = {
        {"b", 0, TRUE, FALSE, 1, "Banana\ty2"},
        {"BER", 0, TRUE, FALSE, 2, "berry\tz3"},
        {"berry", 0, TRUE, TRUE, 2, "berry\tz3"},
        {"Berry", 0, TRUE, TRUE, -1, ""},
        {"y2", 1, TRUE, TRUE, 1, "Banana\ty2"},
        {"Name", 0, FALSE, TRUE, 0, "Name\tCode"},
        {"Name", 0, TRUE, TRUE, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        CString found("stale");
        EXPECT_EQ(FindChoiceListEntry(list, c.value, c.column, c.skipTitle, c.exact, found), c.index);
        EXPECT_STREQ(found, c.line);
    }

    CString sorted("Title\nc\tz\nA\ty\nb\tx");
    SortChoiceList(sorted, 0, TRUE);
    EXPECT_STREQ(sorted, "Title\r\nA\ty\r\nb\tx\r\nc\tz");
    SortChoiceList(sorted, 1, FALSE);
    EXPECT_STREQ(sorted, "Title\r\nb\tx\r\nA\ty\r\nc\tz") << "a line without the column sorts first";
}

TEST(GXChoiceList, ComposeMultiByteCharacters)
{
    CString s;
    EXPECT_EQ(ComposeDbcsChar('a', s), 0);
    EXPECT_STREQ(s, "a");
    EXPECT_EQ(ComposeDbcsChar(0xC3, s), 1);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(ComposeDbcsChar(0xA4, s), 1);
    EXPECT_STREQ(s, "\xC3\xA4");
}

}  // namespace
