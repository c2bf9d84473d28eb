#include "grid/core/gxfont.h"

#include <cstring>
#include <gtest/gtest.h>

#include "grid/core/gxcolor.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "gxtesthelp.h"
#include "platform/sys/system.h"

namespace {

TEST(GXFont, SettersAndLimits)
{
    CGXFont f;
    EXPECT_TRUE(f.IsEmpty());
    EXPECT_EQ(f.GetWord1(), (15u << 4) | (511u << 21));
    EXPECT_EQ(f.GetWord2(), 1023u);
    f.SetSize(300);
    EXPECT_EQ(f.GetSizeQP(), 1023u);
    EXPECT_DOUBLE_EQ(f.GetSize(), 255.75);
    f.SetOrientation(-10);
    EXPECT_EQ(f.GetOrientation(), 3590);
    f.SetBold(TRUE);
    EXPECT_EQ(f.GetWeight(), 700);
    f.IncludeWeight(FALSE);
    EXPECT_FALSE(f.GetIncludeWeight());
    f.SetItalic(FALSE);
    EXPECT_TRUE(f.GetIncludeItalic());
    EXPECT_FALSE(f.GetItalic());
}

TEST(GXFont, ChangeFontModes)
{
    CGXFont bold;
    bold.SetWeight(700);
    CGXFont italic;
    italic.SetItalic(TRUE).SetWeight(400);

    CGXFont a(italic);
    a.ChangeFont(bold, 1); // apply new: weight already set, kept
    EXPECT_EQ(a.GetWeight(), 400);
    EXPECT_TRUE(a.GetItalic());
    a.ChangeFont(bold, 0);
    EXPECT_EQ(a.GetWeight(), 700);
    EXPECT_TRUE(a.GetItalic());
    a.ChangeFont(bold, 3);
    EXPECT_FALSE(a.GetIncludeWeight());
    EXPECT_TRUE(a.GetIncludeItalic());
    a.ChangeFont(bold, 2);
    EXPECT_EQ(a, bold);

    CGXFont sized;
    sized.SetSize(10).SetFaceName("Arial");
    EXPECT_TRUE(sized.MatchesIncluded(CGXFont().SetSize(10)));
    EXPECT_FALSE(sized.MatchesIncluded(CGXFont().SetSize(11)));
    EXPECT_FALSE(sized.MatchesIncluded(bold)); // bold sets a weight this one lacks
    EXPECT_TRUE(sized.MatchesIncluded(CGXFont()));
}

TEST(GXFont, SharedLogFontData)
{
    const size_t before = CGXFont::GetFontDataCount();
    CGXFont a, b;
    a.SetFaceName("Arial").SetSize(10).SetWeight(700);
    b.SetFaceName("Arial").SetSize(10).SetWeight(700);
    const LOGFONT& la = a.GetLogFont();
    const LOGFONT& lb = b.GetLogFont();
    EXPECT_EQ(&la, &lb);
    EXPECT_EQ(CGXFont::GetFontDataCount(), before + 1);
    EXPECT_EQ(la.lfWeight, 700);
    EXPECT_EQ(la.lfHeight, -13); // 10 pt at 96 dpi
    EXPECT_STREQ(la.lfFaceName, "Arial");

    b.SetItalic(TRUE);
    EXPECT_FALSE(b.HoldsFontData());
    EXPECT_EQ(a.GetLogFont().lfItalic, 0);
    EXPECT_EQ(b.GetLogFont().lfItalic, 1);
    {
        CGXFont c(a); // a copy takes its own reference
        EXPECT_TRUE(c.HoldsFontData());
    }
    EXPECT_STREQ(a.GetLogFont().lfFaceName, "Arial");
    a.Reset();
    b.Reset();
    EXPECT_EQ(CGXFont::GetFontDataCount(), before);
    EXPECT_EQ(CGXFont().SetSize(10).GetLogFontZoomed(200).lfHeight, -26);
}

TEST(GXFont, FaceNamesAndCharSets)
{
    CGXFontNameTable& t = CGXFontNameTable::Instance();
    EXPECT_EQ(t.RegisterFontFaceName("Arial"), 0u);
    EXPECT_EQ(t.RegisterFontFaceName(""), 1023u);

    LOGFONT lf {};
    std::strcpy(lf.lfFaceName, "Arial");
    lf.lfCharSet = 161;
    lf.lfHeight = -16;
    CGXFont greek(lf);
    EXPECT_EQ(greek.GetFaceName(), "Arial (Greek)");
    EXPECT_STREQ(greek.GetLogFont().lfFaceName, "Arial");
    EXPECT_EQ(greek.GetLogFont().lfCharSet, 161);
    EXPECT_EQ(greek.GetSizeQP(), 48u);
    EXPECT_EQ(t.GetCharSet(greek.GetFaceNameIndex()), 161);
    EXPECT_EQ(t.GetCharSet(5000), 0);

    // A name longer than its slot is cut (at a character boundary) and finds itself again;
    // the LOGFONT gets a terminated face of at most 31 bytes.
    const std::string longName = std::string(70, 'x') + "\xC3\xA9" + std::string(40, 'y');
    const UINT i1 = t.RegisterFontFaceName(longName.c_str());
    EXPECT_EQ(t.RegisterFontFaceName(longName.c_str()), i1);
    EXPECT_EQ(std::strlen(t.GetFontFaceName(i1)), 66u);
    CGXFont f;
    f.SetFaceNameIndex(i1);
    EXPECT_EQ(std::strlen(f.GetLogFont().lfFaceName), 31u);
    const std::string cutInside = std::string(65, 'z') + "\xC3\xA9" + "tail";
    EXPECT_EQ(std::strlen(t.GetFontFaceName(t.RegisterFontFaceName(cutInside.c_str()))), 65u);
    // An unterminated LOGFONT face is read only within its 32 bytes.
    LOGFONT raw {};
    std::memset(raw.lfFaceName, 'q', LF_FACESIZE);
    EXPECT_EQ(CGXFont(raw).GetFaceName().GetLength(), LF_FACESIZE);
}

TEST(GXFont, TableFillsUp)
{
    CGXFontNameTable t;
    UINT last = 0;
    for (int i = 1; i < 1023; i++) {
        CString name;
        name.Format("Face %d", i);
        last = t.RegisterFontFaceName(name);
    }
    EXPECT_EQ(last, 1022u);
    EXPECT_EQ(t.RegisterFontFaceName("One too many"), 1023u);
    EXPECT_EQ(t.RegisterFontFaceName("Face 7"), 7u);
}

TEST(GXFont, TextForms)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Arial,10,700,1,0,,900", "Arial,10,700,1,0,,900"},
        {",,,,,,", ",,,,,,"},
        {"", ",,,,,,"},
        {"Courier New,8,,,,1,", "Courier New,8,,,,1,"},
        {"Arial", "Arial,,,,,,"},
        {"Arial,x,400", "Arial,,400,,,,"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGXFont(c.in).ToString(), c.out) << c.in;
}

TEST(GXPen, TextAndColours)
{
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
    CGXPackedPen red("0 1 255 0 0");
    EXPECT_TRUE(red.GetInclude());
    EXPECT_EQ(red.GetStyle(), 0u);
    EXPECT_EQ(red.GetWidth(), 1u);
    EXPECT_EQ(red.ResolvePenColor(), RGB(255, 0, 0));
    EXPECT_EQ(red.ToString(), "0 1 255 0 0 0");
    EXPECT_FALSE(CGXPackedPen("0 1").GetInclude());
    EXPECT_FALSE(CGXPackedPen("").GetInclude());
    EXPECT_EQ(CGXPackedPen("").GetColor(), 0u);

    CGXPackedPen sys(2, 3, GXSYSCOLOR(COLOR_BTNSHADOW));
    const CString text = sys.ToString();
    CGXPackedPen back(text);
    EXPECT_EQ(back, sys);
    EXPECT_EQ(back.GetColorKind(), gxColorSystem);
    EXPECT_EQ(back.GetColorField(), DWORD(COLOR_BTNSHADOW));
    // A damaged kind byte names no system colour that can be read past the table.
    CGXPackedPen bad("0 1 200 200 200 255");
    EXPECT_EQ(bad.ResolvePenColor(), RGB(0, 0, 0));
}

TEST(GXBrush, ResetTextAndColours)
{
    CGXPackedBrush b;
    EXPECT_EQ(b.m_w2, 0x3FFFFFFFu);
    b.m_w1 |= 8;
    b.Reset();
    EXPECT_EQ(b.m_w1, 8u);

    struct Case {
        CGXPackedBrush brush;
    };
    const Case cases[] = {
        {CGXPackedBrush(GX_BS_SOLID, RGB(1, 2, 3))},
        {CGXPackedBrush(GX_BS_HATCHED, GXSYSCOLOR(COLOR_HIGHLIGHT), 4)},
        {CGXPackedBrush(GX_BS_SOLID, 0x01000009)},
        {CGXPackedBrush().SetPattern(12).SetColor(RGB(9, 8, 7)).SetBackColor(RGB(6, 5, 4))},
    };
    for (const Case& c : cases) {
        CGXPackedBrush back(c.brush.ToString());
        EXPECT_EQ(back, c.brush) << c.brush.ToString();
    }
    EXPECT_EQ(CGXPackedBrush(GX_BS_SOLID, RGB(1, 2, 3)).ToString(), "0 0 1 2 3 255 255 255 0");
    CGXPackedBrush shortText("3 5 1");
    EXPECT_EQ(shortText.GetStyle(), 3u);
    EXPECT_EQ(shortText.GetPattern(), 5u);
    EXPECT_EQ(shortText.GetColor(), 0u);
    EXPECT_EQ(shortText.GetBackColor(), 0u);
}

TEST(GXFontPenBrush, ArchiveRoundTrips)
{
    GXInstallStyleSerializeImp();
    CGXFont f;
    f.SetFaceName("Times New Roman").SetSize(10.25).SetWeight(700).SetItalic(TRUE).SetUnderline(FALSE).SetOrientation(900);
    CGXPackedPen pen(1, 2, GXSYSCOLOR(COLOR_WINDOWFRAME));
    CGXPackedPen notSet;
    CGXPackedBrush brush(GX_BS_HATCHED, RGB(1, 2, 3), 5);
    CGXPackedBrush sysBrush(GX_BS_SOLID, GXSYSCOLOR(COLOR_BTNFACE));
    CGXPackedBrush badPattern;
    badPattern.SetPattern(50);

    const Bytes bytes = StoreBytes([&](CArchive& ar) {
        f.Serialize(ar);
        ar << pen << notSet << brush << sysBrush << badPattern;
    });
    LoadBytes(bytes, [&](CArchive& ar) {
        CGXFont g;
        g.Serialize(ar);
        EXPECT_EQ(g.GetFaceName(), "Times New Roman");
        EXPECT_EQ(g.GetSize(), 10.0); // tenths of a point on disk: 102 -> 10.2 -> 40 quarter points
        EXPECT_EQ(g.GetWeight(), 700);
        EXPECT_TRUE(g.GetItalic());
        EXPECT_TRUE(g.GetIncludeUnderline());
        EXPECT_EQ(g.GetOrientation(), 900);
        CGXPackedPen p1, p2;
        CGXPackedBrush b1, b2, b3;
        ar >> p1 >> p2 >> b1 >> b2 >> b3;
        EXPECT_EQ(p1, pen);
        EXPECT_FALSE(p2.GetInclude());
        EXPECT_EQ(b1, brush);
        EXPECT_EQ(b2, sysBrush); // a system colour reads back as the same system colour
        EXPECT_EQ(b3.GetStyle(), GX_BS_SOLID);
    });
    // Font record: word 2, flags, weight, size in tenths.
    const Bytes fontBytes = StoreBytes([&](CArchive& ar) { CGXFont().SetWeight(400).SetSize(8).Serialize(ar); });
    EXPECT_EQ(fontBytes, ByteBuilder().word(2).dword(64 | 128).word(400).word(80).b);
}

TEST(GXFont, ReadsVersionOneRecord)
{
    GXInstallStyleSerializeImp();
    const Bytes v1 = ByteBuilder().word(1).dword(DWORD(-16)).dword(700).byte(1).byte(0).byte(0).text("Arial")
                         .dword(1 | 2 | 16 | 32).b;
    LoadBytes(v1, [](CArchive& ar) {
        CGXFont f;
        f.Serialize(ar);
        EXPECT_EQ(f.GetWeight(), 700);
        EXPECT_TRUE(f.GetItalic());
        EXPECT_FALSE(f.GetIncludeUnderline());
        EXPECT_EQ(f.GetSize(), 12.0);
        EXPECT_EQ(f.GetFaceName(), "Arial");
        EXPECT_FALSE(f.GetIncludeOrientation());
    });
    LoadBytes(ByteBuilder().word(3).b, [](CArchive& ar) {
        CGXFont f;
        EXPECT_THROW(f.Serialize(ar), CArchiveException);
    });
}

} // namespace

namespace {

TEST(GXPenBrush, GdiRecordsAndLineBrushes)
{
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
    const LOGPEN lp = CGXPackedPen(PS_DOT, 3, GXSYSCOLOR(COLOR_HIGHLIGHT)).GetLogPen();
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DOT));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(CGXPackedBrush().SetPattern(50).GetLogBrush().lbStyle, UINT(GX_BS_HOLLOW));
    const LOGBRUSH lb = CGXPackedBrush(GX_BS_HATCHED, RGB(1, 2, 3), 2).GetLogBrush();
    EXPECT_EQ(lb.lbStyle, UINT(GX_BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, 2u);
    EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));

    const CGXPackedBrush solid(GX_BS_SOLID, GXSYSCOLOR(COLOR_WINDOW));
    const CGXPackedPen dash(PS_DASH, 1, RGB(9, 9, 9));
    CGXPackedBrush out;
    ASSERT_TRUE(CGXPackedBrush::GetLineBrush(dash, solid, TRUE, FALSE, out));
    EXPECT_EQ(out.GetPattern(), 33u);
    EXPECT_EQ(out.GetStyle(), UINT(GX_BS_PATTERN));
    EXPECT_EQ(out.ResolveBrushColor(), RGB(9, 9, 9));
    EXPECT_EQ(out.GetBackColorKind(), DWORD(gxColorSystem));
    ASSERT_TRUE(CGXPackedBrush::GetLineBrush(dash, solid, FALSE, TRUE, out));
    EXPECT_EQ(out.GetPattern(), 37u);
    EXPECT_EQ(out.ResolveBrushBackColor(), RGB(255, 255, 255));
    ASSERT_TRUE(CGXPackedBrush::GetLineBrush(CGXPackedPen(PS_NULL, 1, 0), solid, TRUE, FALSE, out));
    EXPECT_EQ(out, solid);
    EXPECT_FALSE(CGXPackedBrush::GetLineBrush(CGXPackedPen(PS_SOLID, 1, 0), solid, TRUE, FALSE, out));
}

} // namespace

namespace {

TEST(GXFont, DisplayFontsAreKnown)
{
    // The display's families are entered with their pitch and character set; a family name
    // registers without a new entry.
    CGXFontNameTable t;
    EXPECT_EQ(t.RegisterFontFaceName("Arial"), 0u);
    const GXFontNameEntry* e = t.GetEntry(0);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->szName, "Arial");
    EXPECT_TRUE(e->dwFlags & (1u << 13)) << "Arial is reported by the display's enumeration";
    EXPECT_TRUE(e->dwFlags & (1u << 14));
    EXPECT_EQ(t.RegisterFontFaceName("Arial (Western)"), 1u);
    EXPECT_EQ(t.GetEntry(1)->nNameLength, 5);
    EXPECT_EQ(t.m_nLogPixelsY, 96);
}

} // namespace
