#include "gdi_fixture.h"

class Text : public GdiCanvas {
protected:
    void SetUp() override
    {
        Make(200, 80);
        LOGFONT lf = TestFont();
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        oldFont = dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
    }
    void TearDown() override
    {
        dc.SelectObject(oldFont);
        GdiCanvas::TearDown();
    }
    CFont font;
    CFont* oldFont = nullptr;
};

TEST_F(Text, MetricsOfTheTestFontAreStable)
{
    TEXTMETRIC tm{};
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    // DejaVu Sans with an 11-pixel character height at 96 DPI.
    EXPECT_EQ(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmInternalLeading, 3);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    // The fixed-pitch bit means variable pitch.
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);
    EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);
    EXPECT_EQ(dc.GetTextExtent("Hello World"), CSize(64, 14));

    // Extents add up and agree with the character widths.
    int w[3];
    ASSERT_TRUE(dc.GetCharWidth('a', 'c', w));
    EXPECT_EQ(dc.GetTextExtent("abc").cx, w[0] + w[1] + w[2]);
    EXPECT_EQ(dc.GetTextExtent("abcabc").cx, 2 * dc.GetTextExtent("abc").cx);
    EXPECT_EQ(dc.GetTextExtent("", 0), CSize(0, 14));

    CFont mono;
    LOGFONT lf = TestFont(-12, "Courier New");
    mono.CreateFontIndirect(&lf);
    CFont* prev = dc.SelectObject(&mono);
    dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    EXPECT_EQ(dc.GetTextExtent("iiii").cx, dc.GetTextExtent("WWWW").cx);
    CString face;
    dc.GetTextFace(face);
    EXPECT_STREQ(face, "Courier New");
    dc.SelectObject(prev);
}

TEST_F(Text, FaceNamesMapToInstalledFamilies)
{
    struct Case {
        const char* face;
        BYTE pitch;
        const char* family;
    };
    const Case cases[] = {
        {"Arial", 0, "DejaVu Sans"},
        {"MS Sans Serif", 0, "DejaVu Sans"},
        {"Times New Roman", 0, "DejaVu Serif"},
        {"Courier New", 0, "DejaVu Sans Mono"},
        {"DejaVu Serif", 0, "DejaVu Serif"},
        {"No Such Face", FF_ROMAN, "DejaVu Serif"},
        {"No Such Face", FIXED_PITCH, "DejaVu Sans Mono"},
        {"", 0, "DejaVu Sans"},
    };
    for (const Case& c : cases) EXPECT_STREQ(PvResolveFontFamily(c.face, c.pitch), c.family) << c.face;

    // A positive height is the cell height (ascent + descent).
    CFont cell;
    LOGFONT lf = TestFont(20);
    cell.CreateFontIndirect(&lf);
    CFont* prev = dc.SelectObject(&cell);
    TEXTMETRIC tm;
    dc.GetTextMetrics(&tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    EXPECT_GT(tm.tmInternalLeading, 0);
    dc.SelectObject(prev);
}

TEST_F(Text, EnumeratesFamiliesIncludingTheClassicNames)
{
    std::vector<std::string> names;
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesEx(dc.m_hDC, &lf,
                       [](const LOGFONT* f, const TEXTMETRIC*, DWORD type, LPARAM p) {
                           EXPECT_EQ(type, DWORD(TRUETYPE_FONTTYPE));
                           reinterpret_cast<std::vector<std::string>*>(p)->push_back(f->lfFaceName);
                           return 1;
                       },
                       LPARAM(&names), 0);
    EXPECT_NE(std::find(names.begin(), names.end(), "DejaVu Sans"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Arial"), names.end());
    int calls = 0;
    EnumFontFamilies(dc.m_hDC, "Arial", [](const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM p) {
        ++*reinterpret_cast<int*>(p);
        return 0;  // stop
    }, LPARAM(&calls));
    EXPECT_EQ(calls, 1);
}

TEST_F(Text, DrawTextAlignment)
{
    const CString s = "Wide";
    const int w = dc.GetTextExtent(s).cx;
    struct Case {
        UINT fmt;
        int left, top;  // where the text box lands in the 100 x 40 rectangle at (50, 20)
    };
    const int lh = 14;
    const Case cases[] = {
        {DT_LEFT | DT_TOP | DT_SINGLELINE, 50, 20},
        {DT_CENTER | DT_SINGLELINE, 50 + (100 - w) / 2, 20},
        {DT_RIGHT | DT_SINGLELINE, 150 - w, 20},
        {DT_VCENTER | DT_SINGLELINE, 50, 20 + (40 - lh) / 2},
        {DT_BOTTOM | DT_SINGLELINE, 50, 60 - lh},
        {DT_CENTER | DT_VCENTER | DT_SINGLELINE, 50 + (100 - w) / 2, 20 + (40 - lh) / 2},
        {DT_VCENTER, 50, 20},  // without DT_SINGLELINE vertical centring does nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(RGB(0, 0, 0));  // the text box shows as a black block
        CRect r(50, 20, 150, 60);
        const int h = dc.DrawText(s, &r, c.fmt);
        EXPECT_EQ(InkBox(), CRect(c.left, c.top, c.left + w, c.top + lh));
        EXPECT_EQ(h, c.top - 20 + lh);
    }
}

TEST_F(Text, DrawTextWordBreak)
{
    const int space = dc.GetTextExtent(" ").cx;
    const int one = dc.GetTextExtent("one").cx, two = dc.GetTextExtent("two").cx;
    struct Case {
        const char* text;
        int width;
        UINT extra;
        int lines;
    };
    const Case cases[] = {
        {"one two", one + space + two, 0, 1},
        {"one two", one + space + two - 1, 0, 2},
        {"one two three", one + 2, 0, 3},
        {"one\r\ntwo", 200, 0, 2},
        {"one\ntwo\n", 200, 0, 2},
        {"averyveryverylongword", 20, 0, 1},  // a long word is not split...
        {"averyveryverylongword", 20, DT_EDITCONTROL, 0},  // ...unless the edit-control rule asks (0 = more than 1)
        {"one two", 20, DT_SINGLELINE, 1},
        {"", 100, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CRect r(0, 0, c.width, 0);
        const int h = dc.DrawText(c.text, -1, &r, DT_WORDBREAK | DT_CALCRECT | c.extra);
        if (c.lines == 0) EXPECT_GT(h, 14);
        else EXPECT_EQ(h, 14 * c.lines);
        EXPECT_EQ(r.Height(), h);
    }
    // CALCRECT widens to the longest line.
    CRect r(0, 0, 500, 0);
    dc.DrawText("short\nlonger line", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.Width(), dc.GetTextExtent("longer line").cx);
}

TEST_F(Text, CalcRectAgreesWithWhatIsDrawn)
{
    const char* texts[] = {"Paravel directory viewer, wrapped in a narrow box", "x", "Tabs\tand &mnemonics"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        const UINT fmt = DT_WORDBREAK | DT_EXPANDTABS;
        CRect calc(10, 5, 110, 5);
        dc.DrawText(t, -1, &calc, fmt | DT_CALCRECT);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(RGB(0, 0, 0));
        CRect draw(10, 5, 110, 75);
        dc.DrawText(t, -1, &draw, fmt);
        const CRect ink = InkBox();
        EXPECT_EQ(ink.left, calc.left);
        EXPECT_EQ(ink.top, calc.top);
        EXPECT_EQ(ink.bottom, calc.bottom);
        EXPECT_LE(ink.right, calc.right);
        EXPECT_GE(ink.right, calc.right - 1);
    }
}

TEST_F(Text, EndEllipsisAndPrefixes)
{
    const char* text = "A rather long text for a small cell";
    const int avail = 60;
    CRect r(0, 0, avail, 20);
    std::vector<PvGdiRecord> log;
    PvSetDCRecorder(&dc, &log);
    dc.DrawText(text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    PvSetDCRecorder(&dc, nullptr);
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    dc.DrawText(text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(InkBox().right, avail);
    EXPECT_GT(InkBox().right, avail - dc.GetTextExtent("W").cx - 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].call, "DrawText");

    // "&&" is an ampersand; "&F" underlines F and takes no room.
    EXPECT_EQ(dc.GetTextExtent("Save & Exit").cx, [&] {
        CRect c(0, 0, 300, 0);
        dc.DrawText("Save && Exit", -1, &c, DT_SINGLELINE | DT_CALCRECT);
        return c.Width();
    }());
    CRect c(0, 0, 300, 0);
    dc.DrawText("&File", -1, &c, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(c.Width(), dc.GetTextExtent("File").cx);
    c.SetRect(0, 0, 300, 0);
    dc.DrawText("&File", -1, &c, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(c.Width(), dc.GetTextExtent("&File").cx);
    // The mnemonic underline lies below the baseline, under the first letter only.
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    CRect d(0, 0, 300, 40);
    dc.DrawText("&File", -1, &d, DT_SINGLELINE);
    const int fw = dc.GetTextExtent("F").cx;
    EXPECT_EQ(CountColor(RGB(0, 0, 0), CRect(0, 12, fw, 13)), fw);
    EXPECT_EQ(CountColor(RGB(0, 0, 0), CRect(fw + 1, 12, 40, 13)), 0);
}

TEST_F(Text, TextAlignAndOpaqueBackground)
{
    const int w = dc.GetTextExtent("Hi").cx;
    struct Case {
        UINT align;
        CRect box;
    };
    const Case cases[] = {
        {TA_LEFT | TA_TOP, CRect(100, 40, 100 + w, 54)},
        {TA_RIGHT | TA_TOP, CRect(100 - w, 40, 100, 54)},
        {TA_CENTER | TA_TOP, CRect(100 - w / 2, 40, 100 - w / 2 + w, 54)},
        {TA_LEFT | TA_BASELINE, CRect(100, 40 - 11, 100 + w, 40 + 3)},
        {TA_LEFT | TA_BOTTOM, CRect(100, 40 - 14, 100 + w, 40)},
        {TA_RIGHT | TA_RTLREADING, CRect(100 - w, 40, 100, 54)},
    };
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(0, 0, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.SetBkColor(RGB(0, 0, 0));
        dc.SetTextAlign(c.align);
        dc.TextOut(100, 40, "Hi");
        EXPECT_EQ(InkBox(), c.box);
    }
    dc.SetTextAlign(TA_LEFT | TA_TOP | TA_UPDATECP);
    dc.MoveTo(10, 10);
    dc.TextOut(0, 0, "Hi");
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(10 + w, 10));
    dc.SetTextAlign(TA_LEFT | TA_TOP);

    // ExtTextOut: the opaque rectangle is filled, the text is clipped to it.
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    dc.SetBkMode(TRANSPARENT);
    dc.SetBkColor(RGB(0, 255, 0));
    const CRect box(10, 10, 20, 20);
    dc.ExtTextOut(12, 12, ETO_OPAQUE | ETO_CLIPPED, &box, "WWWWWWWW", 8, nullptr);
    EXPECT_EQ(InkBox(), box);
}

TEST_F(Text, BadBytesAndEmptyInput)
{
    const char bad[] = {'a', char(0xC3), char(0x28), char(0xFF), 'b', 0};
    EXPECT_EQ(dc.GetTextExtent(bad).cx, dc.GetTextExtent("a?(?b").cx);
    EXPECT_TRUE(dc.TextOut(0, 0, bad));
    CRect r(0, 0, 50, 20);
    EXPECT_EQ(dc.DrawText(nullptr, 5, &r, 0), 0);
    EXPECT_EQ(dc.DrawText("x", 1, nullptr, 0), 0);
    EXPECT_TRUE(dc.TextOut(0, 0, nullptr, 3));
    int w[2];
    EXPECT_FALSE(dc.GetCharWidth(5, 1, w));
    // Invalid UTF-8 keeps its byte offsets: one byte, one '?'.
    EXPECT_EQ(dc.GetTextExtent("\xC3").cx, dc.GetTextExtent("?").cx);
    EXPECT_EQ(dc.GetTextExtent("\xC3\xA9").cx, dc.GetTextExtent("é").cx);
}

TEST_F(Text, RotatedTextRunsUpwards)
{
    CFont up;
    LOGFONT lf = TestFont();
    lf.lfEscapement = lf.lfOrientation = 900;
    up.CreateFontIndirect(&lf);
    CFont* prev = dc.SelectObject(&up);
    dc.TextOut(20, 70, "Rotated");
    dc.SelectObject(prev);
    const CRect ink = InkBox();
    const int w = dc.GetTextExtent("Rotated").cx;
    // Reads bottom to top: taller than wide, ending at the reference point.
    EXPECT_GT(ink.Height(), ink.Width());
    EXPECT_NEAR(ink.Height(), w, 3);
    EXPECT_LE(ink.bottom, 71);
    EXPECT_GE(ink.left, 20);
}

TEST_F(Text, TabbedTextJumpsToTheStops)
{
    const int stops[] = {40, 90};
    const CSize ext = dc.GetTabbedTextExtent("a\tb\tc", -1, 2, stops);
    EXPECT_EQ(ext.cx, 90 + dc.GetTextExtent("c").cx);
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(0, 0, 0));
    EXPECT_EQ(dc.TabbedTextOut(10, 10, "a\tb\tc", -1, 2, stops, 10), ext);
    EXPECT_EQ(InkBox(), CRect(10, 10, 10 + ext.cx, 24));
    // One stop: every multiple of it.
    EXPECT_EQ(dc.GetTabbedTextExtent("\t\t", -1, 1, stops).cx, 80);
    EXPECT_EQ(dc.TabbedTextOut(0, 0, nullptr, 3, 0, nullptr, 0).cx, 0);
    // The halftone brush is a checkerboard.
    dc.SetBkColor(RGB(255, 255, 255));
    dc.FillRect(CRect(0, 40, 8, 48), CDC::GetHalftoneBrush());
    EXPECT_EQ(CountColor(RGB(0, 0, 0), CRect(0, 40, 8, 48)), 32);
}

TEST_F(Text, ClipsToTheRectangleUnlessNoClip)
{
    const char* wide = "WWWWWWWWWWWW";
    struct Case {
        UINT fmt;
        int right;  // right edge of the ink
    };
    const int full = dc.GetTextExtent(wide).cx;
    const Case cases[] = {{DT_SINGLELINE, 30}, {DT_SINGLELINE | DT_NOCLIP, full}, {DT_SINGLELINE | DT_CALCRECT, 0}};
    dc.SetBkMode(OPAQUE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.SetBkColor(RGB(0, 0, 0));
        CRect r(0, 0, 30, 20);
        dc.DrawText(wide, -1, &r, c.fmt);
        if (c.right) {
            EXPECT_EQ(InkBox().right, c.right);
        } else {
            EXPECT_TRUE(InkBox().IsRectEmpty());
        }
    }
    // Explicit advances place each character.
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    const int dx[] = {20, 20, 20};
    dc.ExtTextOut(0, 0, 0, nullptr, "iii", 3, dx);
    EXPECT_EQ(InkBox().right, 40 + dc.GetTextExtent("i").cx);
}
