// Reference streams written out field by field from the record layouts of "GridSettings.dat":
// what the grid writes must be exactly these bytes, and these bytes must read as their values.

#include <gtest/gtest.h>

#include "../core/gxtesthelp.h"
#include "grid/core/gxcolor.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxrange.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "grid/features/gxserialcompat.h"
#include "grid/features/gxspanpool.h"
#include "platform/sys/system.h"

namespace {

void Install()
{
    GXRegisterLibraryStrings();
    GXInstallDocSerializeImp();
    GXInstallSerializeGW5CompatibleImp();
}

CGXStyleSerializeImp& StyleImp() { return *static_cast<CGXStyleSerializeImp*>(GXGetAppData()->m_pStyleSerializeImp); }

TEST(GXArchiveReference, NewParameterRecordOwningNothing)
{
    Install();
    ByteBuilder ref;
    WriteRefParamHead(ref, {});
    WriteRefParamTail(ref, {});
    CGXGridParam p;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { p.Serialize(ar); }), ref.b);

    // Items 8 and 9 repeat items 4 and 3: the second copy wins.
    ByteBuilder twice;
    WriteRefParamHead(twice, {.c1 = 1, .b1 = 0, .c2 = 0, .b2 = 1});
    WriteRefParamTail(twice, {});
    CGXGridParam reader;
    CGXStylesMap readerMap;
    reader.SetStylesMap(&readerMap, FALSE);
    LoadBytes(twice.b, [&](CArchive& ar) { reader.Serialize(ar); });
    EXPECT_EQ(reader.m_bSortRowsOnDblClk, 0u);
    EXPECT_EQ(reader.m_bRefreshColHeaders, 1u);
    // Nothing owned was read, so the reader's shared map stays.
    EXPECT_EQ(reader.GetStylesMap(), &readerMap);
}

TEST(GXArchiveReference, CellDataRangesAndPrinter)
{
    Install();
    CGXData d;
    d.SetRowCount(3);
    d.SetColCount(2);
    CGXStyle s;
    s.SetValue("v");
    d.StoreStyleRowCol(2, 1, &s, gxOverride);
    ByteBuilder ref;
    ref.word(1).dword(3).dword(2);
    ref.word(1).dword(DWORD(d.m_pStyleMap.GetSize())).dword(2);
    ref.word(1).dword(DWORD(d.m_pStyleMap.GetRow(2)->GetSize())).dword(1);
    ref.newClass("CGXStyle").word(6).dword(CGXStyle::incValue).text("v").word(0).word(0).byte(0);
    ref.dword(0xFFFFFFFF).dword(0xFFFFFFFF);
    ref.word(1).dword(DWORD(d.m_apRowBaseStyles.GetSize())).dword(0xFFFFFFFF);
    ref.word(1).dword(DWORD(d.m_apColBaseStyles.GetSize())).dword(0xFFFFFFFF);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { d.Serialize(ar); }), ref.b);

    // Ranges: invalid ones are dropped before writing; kind and valid flag as bytes.
    CGXRangeList list;
    list.AddRange(CGXCellRange(1, 2, 3, 4));
    CGXCellRange invalid;
    list.AddRange(invalid);
    const Bytes ranges = ByteBuilder().word(1).dword(1).dword(1).dword(2).dword(3).dword(4).byte(0).byte(1).b;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { list.Serialize(ar); }), ranges);

    // Printer set-up: sizes then bytes; 0 means no block.
    CGXPrintDevice pd;
    const BYTE names[] = {8, 0, 9, 0, 10, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0};
    pd.CreateDeviceHandles(names, sizeof(names), nullptr, 0);
    ByteBuilder pdRef;
    pdRef.word(1).dword(sizeof(names));
    pdRef.b.insert(pdRef.b.end(), std::begin(names), std::end(names));
    pdRef.dword(0);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { pd.Serialize(ar); }), pdRef.b);
}

TEST(GXArchiveReference, PensColoursAndUserAttributeTexts)
{
    Install();
    CGXPackedPen pen(0, 2, RGB(1, 2, 3));
    const Bytes penRef = ByteBuilder().dword(0).word(2).word(1).dword(0x030201).b;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { StyleImp().SerializePen(ar, pen); }), penRef);
    // A pen stored as not set reads back with style 7.
    CGXPackedPen unset;
    LoadBytes(ByteBuilder().dword(0).word(1).word(0).dword(0).b, [&](CArchive& ar) { StyleImp().SerializePen(ar, unset); });
    EXPECT_EQ(unset.GetStyle(), 7u);

    // A system colour in a brush stays that system colour.
    CGXPackedBrush sys(GX_BS_SOLID, GXSYSCOLOR(COLOR_WINDOW));
    const Bytes sysBytes = StoreBytes([&](CArchive& ar) { StyleImp().SerializeBrush(ar, sys); });
    CGXPackedBrush sysBack;
    LoadBytes(sysBytes, [&](CArchive& ar) { StyleImp().SerializeBrush(ar, sysBack); });
    EXPECT_EQ(sysBack.GetColorKind(), DWORD(gxColorSystem));
    EXPECT_EQ(sysBack.GetColor(), sys.GetColor());
    // A system text colour is written as what it draws.
    CGXStyle text;
    text.SetTextColor(GXSYSCOLOR(COLOR_WINDOWTEXT));
    const COLORREF drawn = GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF;
    const Bytes textBytes = StoreBytes([&](CArchive& ar) { text.SerializeEx(ar, nullptr); });
    EXPECT_EQ(textBytes, ByteBuilder().word(6).dword(CGXStyle::incTextColor).dword(drawn).word(0).word(0).b);

    // Texts of 8 bytes stay in the value slot (kind 3); of 9 they go to the heap (kind 4).
    struct Case {
        const char* text;
        DWORD kind;
    };
    const Case cases[] = {{"12345678", CGXUserAttribute::vtShortText}, {"123456789", CGXUserAttribute::vtLongText}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Bytes record = ByteBuilder().byte(BYTE(c.kind)).text(c.text).b;
        CGXUserAttribute a;
        LoadBytes(record, [&](CArchive& ar) { a.Serialize(ar); });
        EXPECT_EQ(a.GetKind(), c.kind);
        EXPECT_EQ(a.GetValueText(), c.text);
        EXPECT_EQ(StoreBytes([&](CArchive& ar) { a.Serialize(ar); }), record);
    }
}

TEST(GXArchiveReference, FontVersions)
{
    Install();
    CGXFont f;
    f.SetWeight(700).SetSize(10.5).SetItalic(TRUE).SetFaceName("Arial");
    ByteBuilder v2;
    // Character set and pitch as the display reported the face.
    const GXFontNameEntry* e = CGXFontNameTable::Instance().GetEntry(f.GetFaceNameIndex());
    ASSERT_NE(e, nullptr);
    v2.word(2).dword(1 | 8 | 64 | 128 | 512).word(700).word(105).text("Arial").byte(e->nCharSet).byte(e->nPitchAndFamily);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { StyleImp().SerializeFont(f, ar); }), v2.b);

    // Version 1: a logical font with include bits; a cleared bit leaves the attribute out.
    ByteBuilder v1;
    v1.word(1).dword(DWORD(-16)).dword(400).byte(1).byte(0).byte(0).text("Arial");
    v1.dword(1 | 2 | 32);  // weight, italic and face; no underline, strike-out or size
    CGXFont back;
    LoadBytes(v1.b, [&](CArchive& ar) { StyleImp().SerializeFont(back, ar); });
    EXPECT_EQ(back.GetWeight(), 400);
    EXPECT_TRUE(back.GetIncludeItalic());
    EXPECT_TRUE(back.GetItalic());
    EXPECT_FALSE(back.GetIncludeUnderline());
    EXPECT_FALSE(back.GetIncludeSize());
    EXPECT_EQ(back.GetFaceName(), "Arial");
}

// Style records of every version: 1-4 keep their user attributes as an id-to-text map.
TEST(GXArchiveReference, StyleVersionsOneToSix)
{
    Install();
    const DWORD mask = CGXStyle::incValue | CGXStyle::incFormat | CGXStyle::incItemData | CGXStyle::exFloatCell;
    auto head = [&](WORD version) {
        ByteBuilder b;
        b.word(version).dword(mask).text("7").word(0);
        return b;
    };
    auto oldAttributes = [](ByteBuilder& b) { b.newClass("CGXCollMapDWordToString").word(1).dword(51022).text("tip"); };
    struct Case {
        WORD version;
        bool hasFloat, hasItemData;
        BYTE places;
    };
    const Case cases[] = {
        {.version = 1, .hasFloat = false, .hasItemData = false, .places = 0},
        {.version = 2, .hasFloat = true, .hasItemData = false, .places = 0},
        {.version = 3, .hasFloat = true, .hasItemData = true, .places = 0},
        {.version = 4, .hasFloat = true, .hasItemData = true, .places = 3},
        {.version = 5, .hasFloat = true, .hasItemData = true, .places = 3},
        {.version = 6, .hasFloat = true, .hasItemData = true, .places = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        ByteBuilder b = head(c.version);
        if (c.version <= 4)
            oldAttributes(b);
        else
            b.newClass("CGXUserAttributeMap").word(1).newClass("CGXUserAttribute").byte(3).text("tip").word(51022);
        if (c.version >= 2)
            b.byte(1);  // float cell
        if (c.version >= 3)
            b.dword(0x55);
        if (c.version == 4 || c.version == 5)
            b.byte(4).byte(3).byte(1);  // format, places, value type
        else if (c.version == 6)
            b.byte(4).byte(1);          // format, value type
        CGXStyle s;
        LoadBytes(b.b, [&](CArchive& ar) { s.SerializeEx(ar, nullptr); });
        EXPECT_EQ(s.GetValue(), "7");
        EXPECT_EQ(s.GetUserAttribute(51022).GetValueText(), "tip");
        EXPECT_EQ(s.IsIncluded(CGXStyle::incFloatCell) != 0, c.hasFloat);
        if (c.version >= 4) {
            EXPECT_EQ(s.GetFormat(), 4u);
            EXPECT_EQ(s.GetPlaces(), c.places);
        }
        if (c.hasItemData) {
            EXPECT_EQ(s.GetItemDataPtr(), 0x55u);
        }
        // Version 6 is what the grid writes: the same bytes, with the mask now telling that the
        // style holds user attributes.
        if (c.version == 6) {
            Bytes written = b.b;
            written[2 + 2] |= BYTE(CGXStyle::incUserAttributes >> 16);
            EXPECT_EQ(StoreBytes([&](CArchive& ar) { s.SerializeEx(ar, nullptr); }), written);
        }
    }
    // Without the compatibility reader an old record is refused.
    auto* saved = GXGetAppData()->m_pSerializeGW5Imp;
    GXGetAppData()->m_pSerializeGW5Imp = nullptr;
    ByteBuilder v1 = head(1);
    oldAttributes(v1);
    LoadBytes(v1.b, [](CArchive& ar) {
        CGXStyle s;
        EXPECT_THROW(s.SerializeEx(ar, nullptr), CArchiveException);
    });
    GXGetAppData()->m_pSerializeGW5Imp = saved;
}

TEST(GXArchiveReference, StylesMapNamesFromTheStringTable)
{
    Install();
    // A base style with a resource id takes the table's name, or "STYLE" and the id.
    ByteBuilder b;
    b.word(2).text("Styles").word(0).word(0);
    b.word(2);
    b.word(5).dword(52768).text("stored").byte(0).word(6).dword(0).word(0).word(0);
    b.word(6).dword(49999).text("stored").byte(0).word(6).dword(0).word(0).word(0);
    b.word(7).word(0);
    CGXStylesMap map;
    LoadBytes(b.b, [&](CArchive& ar) { map.Serialize(ar); });
    EXPECT_EQ(map.LookupStyleIdByName("Standard"), 5);
    EXPECT_EQ(map.LookupStyleIdByName("STYLE49999"), 6);
    EXPECT_EQ(map.LookupStyleIdByResource(49999), 6);
}

// Record 19: the column table (first row of each cell's span) before the row table (first
// column); record 20: the queued ranges, each with its evaluated columns, the last ones first.
TEST(GXArchiveReference, SpanAndDelayedRangePools)
{
    Install();
    const DWORD none = CGXSpanCellPool::kNone;
    ByteBuilder spans;
    spans.word(1).dword(5);
    for (DWORD col : {3u, 4u})
        spans.dword(col).dwordArray({none, none, 2, 2});
    spans.dword(0xFFFFFFFF);
    spans.word(1).dword(4);
    for (DWORD row : {2u, 3u})
        spans.dword(row).dwordArray({none, none, none, 3, 3});
    spans.dword(0xFFFFFFFF);
    CGXSpanCellPool pool;
    LoadBytes(spans.b, [&](CArchive& ar) { pool.Serialize(ar); });
    CGXCellRange span;
    ASSERT_TRUE(pool.FindSpan(3, 4, span));
    EXPECT_EQ(span, CGXCellRange(2, 3, 3, 4));
    EXPECT_FALSE(pool.FindSpan(1, 3, span));
    CGXSpanCellPool made;
    made.SetSpan(2, 3, 3, 4);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { made.Serialize(ar); }), spans.b);

    ByteBuilder queue;
    queue.count(1).object("CGXDelayedRange");
    queue.dword(1).dword(2).dword(4).dword(6).byte(0).byte(1);
    queue.dwordArray({6, none}).dwordArray({2, none});     // row 1 done, row 2 not begun
    CGXDelayedRangePool delayed;
    LoadBytes(queue.b, [&](CArchive& ar) { delayed.Serialize(ar); });
    ASSERT_EQ(delayed.GetRanges().size(), 1u);
    const CGXDelayedRange& r = *delayed.GetRanges()[0];
    EXPECT_EQ(r.m_range, CGXCellRange(1, 2, 4, 6));
    EXPECT_EQ(r.m_firsts, (std::vector<DWORD> {2, none}));
    EXPECT_EQ(r.m_lasts, (std::vector<DWORD> {6, none}));
    EXPECT_EQ(r.m_nRowsDone, 1u);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { delayed.Serialize(ar); }), queue.b);
}

} // namespace
