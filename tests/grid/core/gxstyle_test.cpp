#include "grid/core/gxstyle.h"

#include <gtest/gtest.h>

#include "grid/core/gxcolor.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"
#include "gxtesthelp.h"
#include "platform/sys/system.h"

namespace {

using S = CGXStyle;

TEST(GXStyle, IncludeMaskExchange)
{
    CGXStyle s;
    EXPECT_EQ(s.GetIncludeMask(), 0u);
    s.SetFloatCell(TRUE);
    EXPECT_EQ(s.GetStoredIncludeBits(), DWORD(S::incFloatCell));
    EXPECT_EQ(s.GetIncludeMask(), 0x200000u);
    CGXStyle t;
    t.SetIncludeMask(0x200000);
    EXPECT_TRUE(t.IsIncluded(0x400000));
    t.SetIncludeMask(0x400000 | 0x1);
    EXPECT_TRUE(t.GetIncludeFloodCell());
    EXPECT_TRUE(t.GetIncludeHorizontalAlignment());
    t.SetIncludeMask(0);
    EXPECT_EQ(t.GetStoredIncludeBits(), 0u);
}

TEST(GXStyle, SettersKeepLowBits)
{
    CGXStyle s;
    s.SetHorizontalAlignment(2).SetVerticalAlignment(4).SetFormat(0x25).SetPlaces(0x13).SetMergeCell(9).SetDraw3dFrame(7)
        .SetBaseStyle(0x1FF);
    EXPECT_EQ(s.GetHorizontalAlignment(), 2u);
    EXPECT_EQ(s.GetVerticalAlignment(), 4u);
    EXPECT_EQ(s.GetFormat(), 5u);
    EXPECT_EQ(s.GetPlaces(), 3u);
    EXPECT_EQ(s.GetMergeCell(), 1u);
    EXPECT_EQ(s.GetDraw3dFrame(), 3u);
    EXPECT_EQ(s.GetBaseStyle(), 0xFF);
    s.SetHorizontalAlignment(7);
    EXPECT_EQ(s.GetHorizontalAlignment(), 0u);
    s.SetValueNumber(42);
    EXPECT_EQ(s.GetValue(), "42");
    EXPECT_EQ(s.GetValueType(), 1u);
    s.SetValue("x");
    EXPECT_EQ(s.GetValueType(), 0u);
}

TEST(GXStyle, StandardStyleAndTextColour)
{
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
    CGXStyle s;
    s.MakeStandardStyle();
    EXPECT_EQ(s.GetStoredIncludeBits(), DWORD(S::incAll & ~S::incUserAttributes & ~S::incBorders & ~S::incBaseStyle));
    EXPECT_EQ(s.GetTextColor(), (GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF) | 0xF6000000u);
    EXPECT_EQ(s.GetControl(), 52512);
    EXPECT_EQ(s.GetPlaces(), 13u);
    EXPECT_STREQ(s.GetFont().GetLogFont().lfFaceName, "Arial");
    EXPECT_EQ(s.GetFont().GetLogFont().lfWeight, 400);
    // A system colour change reaches the style without touching it.
    PvSetSysColor(COLOR_WINDOWTEXT, RGB(1, 2, 3));
    GXGetAppData()->m_sysColors.Refresh();
    EXPECT_EQ(s.ResolveTextColor(), RGB(1, 2, 3));
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
}

TEST(GXStyle, ChangeStyleModes)
{
    CGXStyle target;
    target.SetHorizontalAlignment(1).SetBorders(gxBorderLeft, CGXPackedPen(0, 1, RGB(0, 0, 255)));
    target.ChangeFont(CGXFont().SetItalic(TRUE).SetWeight(400), gxCopy);
    target.SetUserAttribute(10, "mine");
    target.SetValue("old");

    CGXStyle source;
    source.SetHorizontalAlignment(2).SetVerticalAlignment(8);
    source.SetBorders(gxBorderTop, CGXPackedPen(0, 2, RGB(255, 0, 0)));
    source.SetBorders(gxBorderLeft, CGXPackedPen(0, 3, RGB(255, 0, 0)));
    source.ChangeFont(CGXFont().SetWeight(700), gxCopy);
    source.SetUserAttribute(10, "theirs");
    source.SetUserAttribute(11, "extra");

    struct Case {
        int mode;
        DWORD halign;
        bool hasValign;
        UINT leftWidth;
        bool hasTop;
        LONG weight;
        bool italic;
        const char* ua10;
        bool has11;
        bool hasValue;
    };
    const Case cases[] = {
        {gxOverride, 2, true, 3, true, 700, true, "theirs", true, true},
        {gxApplyNew, 1, true, 1, true, 400, true, "mine", true, true},
        {gxCopy, 2, true, 3, true, 700, false, "theirs", true, false},
        {gxExclude, 0, false, 0, false, 0, true, "", false, true},
    };
    for (const Case& c : cases) {
        CGXStyle t(target);
        t.ChangeStyle(source, c.mode);
        EXPECT_EQ(t.GetIncludeHorizontalAlignment() ? t.GetHorizontalAlignment() : 0, c.halign) << c.mode;
        EXPECT_EQ(t.GetIncludeVerticalAlignment(), c.hasValign) << c.mode;
        EXPECT_EQ(t.GetIncludeBorders(gxBorderLeft) ? t.GetBorders(gxBorderLeft).GetWidth() : 0, c.leftWidth) << c.mode;
        EXPECT_EQ(t.GetIncludeBorders(gxBorderTop), c.hasTop) << c.mode;
        EXPECT_EQ(t.GetFont().GetWeight(), c.weight) << c.mode;
        EXPECT_EQ(t.GetFont().GetIncludeItalic(), c.italic) << c.mode;
        EXPECT_EQ(t.GetUserAttribute(10).GetValueText(), c.ua10) << c.mode;
        EXPECT_EQ(t.HasUserAttribute(11), c.has11) << c.mode;
        EXPECT_EQ(t.GetIncludeValue(), c.hasValue) << c.mode;
    }
    // Excluding the only pen set leaves no borders at all.
    CGXStyle onlyTop;
    onlyTop.SetBorders(gxBorderTop, CGXPackedPen(0, 1, 0));
    CGXStyle topSource;
    topSource.SetBorders(gxBorderTop, CGXPackedPen(2, 1, 0));
    onlyTop.ChangeStyle(topSource, gxExclude);
    EXPECT_FALSE(onlyTop.GetIncludeBorders());
    // Apply-new into an empty target is a copy.
    CGXStyle empty;
    empty.ChangeStyle(source, gxApplyNew);
    EXPECT_EQ(empty.GetIncludeMask(), source.GetIncludeMask());
    EXPECT_EQ(empty.GetUserAttribute(11).GetValueText(), "extra");
    // Self-merges change nothing.
    CGXStyle self(source);
    self.ChangeStyle(self, gxExclude);
    self.Assign(self);
    EXPECT_EQ(self.GetIncludeMask(), source.GetIncludeMask());
}

TEST(GXStyle, FontSharingAfterChange)
{
    CGXStyle a, b;
    a.ChangeFont(CGXFont().SetFaceName("Arial").SetSize(9), gxCopy);
    b = a;
    EXPECT_EQ(&a.GetFont().GetLogFont(), &b.GetFont().GetLogFont());
    b.ChangeFont(CGXFont().SetWeight(700), gxOverride);
    EXPECT_EQ(a.GetFont().GetLogFont().lfWeight, 0);
    EXPECT_EQ(b.GetFont().GetLogFont().lfWeight, 700);
    EXPECT_EQ(b.GetFont().GetLogFont().lfHeight, a.GetFont().GetLogFont().lfHeight);
}

TEST(GXStyle, UserAttributes)
{
    CGXStyle s;
    EXPECT_EQ(s.GetUserAttribute(123).GetValueText(), "");
    EXPECT_FALSE(s.HasUserAttribute(123));
    s.IncludeUserAttribute(5, TRUE);
    EXPECT_TRUE(s.HasUserAttribute(5));
    EXPECT_TRUE(s.GetIncludeUserAttributes());
    s.IncludeUserAttribute(5, FALSE);
    EXPECT_FALSE(s.GetIncludeUserAttributes());
    s.SetUserAttribute(6, "x");
    s.CopyUserAttributes(nullptr);
    EXPECT_FALSE(s.HasUserAttribute(6));
    EXPECT_FALSE(s.GetIncludeUserAttributes());
}

TEST(GXStyle, BaseStyleChainEnds)
{
    CGXStylesMap map;
    CGXStyle base1, base2;
    base1.SetHorizontalAlignment(2).SetBaseStyle(1); // id 0 -> 1
    base2.SetWrapText(TRUE).SetHorizontalAlignment(1).SetBaseStyle(0); // id 1 -> 0: a cycle
    EXPECT_EQ(map.RegisterStyleByName("One", base1), 0);
    EXPECT_EQ(map.RegisterStyleByName("Two", base2), 1);
    CGXStyle cell;
    cell.SetValue("v").SetBaseStyle(0);
    cell.LoadBaseStyles(map);
    EXPECT_EQ(cell.GetHorizontalAlignment(), 2u); // the nearer base wins
    EXPECT_TRUE(cell.GetWrapText());
    CGXStyle unknown;
    unknown.SetBaseStyle(77);
    unknown.LoadBaseStyles(map);
    EXPECT_EQ(unknown.GetIncludeMask(), DWORD(S::incBaseStyle));
}

TEST(GXStyle, ArchiveEmptyStyleBytes)
{
    GXInstallStyleSerializeImp();
    CGXStyle s;
    const Bytes bytes = StoreBytes([&](CArchive& ar) { s.Serialize(ar); });
    EXPECT_EQ(bytes, (Bytes {0x06, 0x00, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x00}));
}

TEST(GXStyle, ArchiveEveryAttributeBytes)
{
    GXInstallStyleSerializeImp();
    CGXStylesMap map;
    const WORD mine = map.RegisterStyleByName("Mine", CGXStyle().SetWrapText(TRUE));

    CGXStyle s;
    s.SetHorizontalAlignment(2).SetVerticalAlignment(8).SetReadOnly(TRUE).SetControl(52513);
    s.SetInteriorColor(RGB(1, 2, 3)).SetTextColor(RGB(4, 5, 6)).SetWrapText(TRUE).SetAllowEnter(TRUE);
    s.SetBorders(gxBorderTop, CGXPackedPen(0, 1, RGB(255, 0, 0)));
    s.ChangeFont(CGXFont().SetWeight(700), gxCopy);
    s.SetValue("x").SetChoiceList("a\nb").SetVerticalScrollBar(TRUE).SetMaxLength(10).SetBaseStyle(mine);
    s.SetEnabled(TRUE).SetTriState(FALSE).SetDraw3dFrame(2).SetUserAttribute(51022, "tip").SetAutoSize(TRUE);
    s.SetItemDataPtr(0x1234).SetFloodCell(TRUE).SetFloatCell(FALSE).SetMergeCell(3).SetFormat(5).SetPlaces(2);

    ByteBuilder w;
    w.word(6).dword(0x03FFFFFF).dword(2).dword(8).byte(1).dword(52513);
    w.dword(1).dword(0x030201).dword(0).dword(63).dword(0xFFFFFF); // interior: fill kind 1 is solid
    w.dword(0x060504).byte(1).byte(1);
    w.newClass("CGXFont").word(2).dword(64).word(700);
    w.text("x").text("a\nb").byte(1).word(10).byte(1).byte(0).byte(2).byte(1);
    w.word(1).word(1).text("0 1 255 0 0 0").word(0).word(0).word(0);
    w.dword(0).text("Mine");
    w.newClass("CGXUserAttributeMap").word(1).newClass("CGXUserAttribute").byte(3).text("tip").word(51022);
    w.byte(0).byte(1).byte(3).dword(0x1234).byte(5).byte(2).byte(0);

    const Bytes bytes = StoreBytes([&](CArchive& ar) { s.SerializeEx(ar, &map); });
    EXPECT_EQ(bytes, w.b);

    CGXStyle back;
    LoadBytes(bytes, [&](CArchive& ar) { back.SerializeEx(ar, &map); });
    EXPECT_EQ(back.GetStoredIncludeBits(), s.GetStoredIncludeBits());
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.SerializeEx(ar, &map); }), bytes);
    EXPECT_EQ(back.GetBaseStyle(), mine);
    EXPECT_EQ(back.GetUserAttribute(51022).GetValueText(), "tip");
    EXPECT_EQ(back.GetChoiceList(), "a\nb");

    // Without the map the base style is unknown and stays out, instead of becoming "Standard".
    CGXStyle noMap;
    LoadBytes(bytes, [&](CArchive& ar) { noMap.Serialize(ar); });
    EXPECT_FALSE(noMap.GetIncludeBaseStyle());
    // The archive's document pointer supplies the map when none is passed.
    CGXStyle viaDoc;
    LoadBytes(bytes, [&](CArchive& ar) { viaDoc.Serialize(ar); }, static_cast<CObject*>(&map));
    EXPECT_EQ(viaDoc.GetBaseStyle(), mine);
}

TEST(GXStyle, ArchiveSystemColoursAndOldVersions)
{
    GXInstallStyleSerializeImp();
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
    CGXStyle s;
    s.SetTextColor(GXSYSCOLOR(COLOR_WINDOWTEXT)).SetInteriorColor(GXSYSCOLOR(COLOR_BTNFACE));
    CGXStyle back;
    LoadBytes(StoreBytes([&](CArchive& ar) { s.Serialize(ar); }), [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetTextColorKind(), DWORD(gxColorRGB)); // a system text colour becomes a fixed colour
    EXPECT_EQ(back.GetTextColor(), GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF);
    EXPECT_EQ(back.GetInterior().GetColorKind(), DWORD(gxColorSystem));

    // Version 5: format and places as two bytes after the format bit.
    const Bytes v5 = ByteBuilder().word(5).dword(S::incFormat).word(0).word(0).byte(4).byte(6).b;
    LoadBytes(v5, [](CArchive& ar) {
        CGXStyle r;
        r.Serialize(ar);
        EXPECT_EQ(r.GetFormat(), 4u);
        EXPECT_TRUE(r.GetIncludePlaces());
        EXPECT_EQ(r.GetPlaces(), 6u);
    });
    // Versions before 5 need the compatibility reader; a newer version is refused.
    for (WORD v : {WORD(4), WORD(7)}) {
        LoadBytes(ByteBuilder().word(v).dword(0).word(0).b, [](CArchive& ar) {
            CGXStyle r;
            EXPECT_THROW(r.Serialize(ar), CArchiveException);
        });
    }
}

} // namespace
