#include "grid/core/gxparam.h"

#include <gtest/gtest.h>

#include "grid/core/gxlibdata.h"

#include "grid/core/gxcolor.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "gxtesthelp.h"
#include "platform/base/stringtable.h"
#include "platform/sys/system.h"

namespace {



TEST(GXStylesMap, StandardStyles)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    GXGetAppData()->m_nLookOptions[0] = 1;
    GXGetAppData()->m_nLookOptions[2] = 1;
    CGXStylesMap map;
    map.CreateStandardStyles();
    EXPECT_EQ(map.LookupStyleIdByName("Standard"), 0);
    EXPECT_EQ(map.LookupStyleIdByName("Column Header"), 1);
    EXPECT_EQ(map.LookupStyleIdByName("Row Header"), 2);
    EXPECT_EQ(map.m_wStyleRowHeader, 2);
    // An unknown name is not taken for "Standard".
    EXPECT_EQ(map.LookupStyleIdByName("No such style"), GX_INVALID_STYLEID);
    WORD id = 7;
    EXPECT_FALSE(map.LookupStyleId("No such style", id));
    EXPECT_EQ(id, 7);

    const CGXStyle* std = nullptr;
    ASSERT_TRUE(map.LookupStyleEntry(0, std));
    EXPECT_EQ(std->GetFont().GetSize(), 8.0);
    EXPECT_EQ(std->GetControl(), 52512);
    const CGXStyle* col = nullptr;
    ASSERT_TRUE(map.LookupStyleEntry(map.m_wStyleColHeader, col));
    EXPECT_EQ(col->GetFont().GetWeight(), 700);
    EXPECT_EQ(col->GetControl(), 52520);
    EXPECT_TRUE(col->GetIncludeBorders());
    EXPECT_FALSE(col->GetIncludeBorders(gxBorderTop));
    EXPECT_EQ(col->GetInterior().GetColorField(), DWORD(COLOR_BTNFACE));
    UINT res = 0;
    EXPECT_STREQ(map.LookupStyleName(2, res), "Row Header");
    EXPECT_EQ(res, 52769u);
    EXPECT_EQ(map.LookupStyleName(99, res), nullptr);
    EXPECT_EQ(res, 0u);
    GXGetAppData()->m_nLookOptions[0] = GXGetAppData()->m_nLookOptions[2] = 0;
}

TEST(GXStylesMap, RegistrationAndIds)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXStylesMap map;
    CGXStyle a, b;
    a.SetWrapText(TRUE);
    b.SetReadOnly(TRUE);
    const WORD idA = map.RegisterStyleByResource(52768, a);
    EXPECT_EQ(map.RegisterStyleByResource(52768, b), idA); // same id, only the style replaced
    const CGXStyle* got = nullptr;
    map.LookupStyleEntry(idA, got);
    EXPECT_TRUE(got->GetIncludeReadOnly());
    EXPECT_FALSE(got->GetIncludeWrapText());
    EXPECT_EQ(map.RegisterStyleByResource(4242, a), 1); // no string: named "UA4242"
    EXPECT_EQ(map.LookupStyleIdByName("UA4242"), 1);
    EXPECT_EQ(map.RegisterStyleByName("Mine", a), 2);
    EXPECT_EQ(map.RegisterStyleByName("Mine", b), 2);

    // After RemoveAllStyles an id still bound to a resource is not handed to another style.
    map.RemoveAllStyles();
    const WORD named = map.RegisterStyleByName("Fresh", a);
    const WORD named2 = map.RegisterStyleByName("Fresh2", a);
    const WORD again = map.RegisterStyleByResource(52768, a);
    EXPECT_EQ(again, idA);
    EXPECT_NE(named, again);
    EXPECT_NE(named2, again);
    const CGXStyle* s1 = nullptr;
    const CGXStyle* s2 = nullptr;
    map.LookupStyleEntry(named, s1);
    map.LookupStyleEntry(again, s2);
    EXPECT_NE(s1, s2);

    int n = 0;
    for (POSITION pos = map.GetStartPosition(); pos; n++) {
        CString name;
        WORD id;
        const CGXStyle* s;
        UINT r;
        map.GetNextStyle(pos, name, id, s, r);
    }
    EXPECT_EQ(n, map.GetStyleCount());
}

TEST(GXStylesMap, UserAttributesControlsAndChains)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXStylesMap map;
    CGXStyle edit;
    edit.SetWrapText(TRUE);
    map.AddUserAttribute(51022, &edit);
    CGXStyle other;
    other.SetReadOnly(TRUE);
    map.AddUserAttribute(51022, &other); // a registered id keeps its first editing style
    ASSERT_EQ(map.GetUserAttributeMap().size(), 1u);
    const auto& e = *map.GetUserAttributeMap().at(51022);
    EXPECT_EQ(e.sName, "Tooltip-Text");
    EXPECT_TRUE(e.pStyle->GetIncludeWrapText());
    EXPECT_FALSE(e.pStyle->GetIncludeReadOnly());
    EXPECT_THROW(map.AddUserAttribute(1, nullptr), CResourceException);
    map.RegisterControl(52512);
    map.RegisterControl(52512);
    EXPECT_STREQ(map.GetControlName(52512), "Edit Control");
    EXPECT_THROW(map.RegisterControl(3), CResourceException);

    // Base styles resolve through the map, nearer styles winning.
    CGXStyle grand, parent;
    grand.SetHorizontalAlignment(2).SetWrapText(TRUE);
    const WORD g = map.RegisterStyleByName("Grand", grand);
    parent.SetHorizontalAlignment(1).SetBaseStyle(g);
    const WORD p = map.RegisterStyleByName("Parent", parent);
    CGXStyle cell;
    cell.SetBaseStyle(p);
    cell.LoadBaseStyles(map);
    EXPECT_EQ(cell.GetHorizontalAlignment(), 1u);
    EXPECT_TRUE(cell.GetWrapText());
}

TEST(GXStylesMap, ArchiveRoundTrip)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    GXInstallDocSerializeImp();
    CGXStylesMap map;
    map.CreateStandardStyles();
    // "Late" is based on a style stored after it.
    CGXStyle late;
    late.SetBaseStyle(5).SetReadOnly(TRUE);
    const WORD lateId = map.RegisterStyleByName("Late", late);
    const WORD target = map.RegisterStyleByName("Target", CGXStyle().SetWrapText(TRUE));
    CGXStyle lateFixed(late);
    lateFixed.SetBaseStyle(target);
    map.RegisterStyleByName("Late", lateFixed);
    map.RegisterStyleByResource(7777, CGXStyle().SetMaxLength(3)); // no string: reads back as "STYLE7777"
    map.AddUserAttribute(51022, &CGXStyle().SetAutoSize(TRUE));
    map.RegisterControl(52520);

    const Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(&map); });
    CGXStylesMap* back = nullptr;
    LoadBytes(bytes, [&](CArchive& ar) { ArchiveExtractStylesMap(ar, back); });
    ASSERT_NE(back, nullptr);
    std::unique_ptr<CGXStylesMap> owner(back);
    EXPECT_EQ(back->m_wStyleColHeader, 1);
    EXPECT_EQ(back->LookupStyleIdByName("Late"), lateId);
    const CGXStyle* s = nullptr;
    back->LookupStyleEntry(lateId, s);
    EXPECT_EQ(s->GetBaseStyle(), target);
    EXPECT_EQ(back->LookupStyleIdByName("STYLE7777"), back->LookupStyleIdByResource(7777));
    EXPECT_EQ(back->GetUserAttributeMap().at(51022)->sName, "Tooltip-Text");
    EXPECT_STREQ(back->GetControlName(52520), "Header");
    EXPECT_EQ(back->m_nNextId, map.m_nNextId);
}

TEST(GXProperties, Defaults)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXProperties p;
    EXPECT_EQ(p.GetColor(4), GXSYSCOLOR(COLOR_BTNFACE));
    EXPECT_EQ(p.GetColor(5), 0u);
    EXPECT_EQ(p.GetColor(2), RGB(255, 0, 0));
    EXPECT_EQ(p.AddColorProperty(52232, RGB(1, 1, 1)), 0);
    EXPECT_EQ(p.GetColor(0), GXSYSCOLOR(COLOR_GRAYTEXT));
    EXPECT_EQ(p.AddColorProperty(4000, RGB(1, 1, 1)), 5);
    EXPECT_STREQ(p.GetColorName(5), "COLOR4000");
    EXPECT_EQ(p.GetTokens().GetSize(), 6);
    EXPECT_EQ(p.GetDataHeader().LookupStyleRowCol(1, 2)->GetValue(), "$R");
    EXPECT_EQ(p.GetDataFooter().LookupStyleRowCol(1, 3)->GetValue(), "$P/$N");
    p.AddDefaultUserProperties();
    const CGXStyle& cur = p.GetUserPropertyStyle(51005);
    EXPECT_EQ(cur.GetControl(), 52529);
    EXPECT_EQ(cur.GetValue(), "Invert Thin.");
    EXPECT_EQ(cur.GetChoiceList(), "Invert Thin.\nInvert Thick.\nThin Border.\nThick Border.\nNo Border.");
    EXPECT_FALSE(p.GetUserPropertyStyle(1).GetIncludeValue());
    p.AddUserProperty(2, CGXStyle());
    EXPECT_EQ(p.GetUserProperties().at(2)->sName, "USERPROP2");
}

TEST(GXPrintDevice, Archive)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXPrintDevice empty;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { empty.Serialize(ar); }), ByteBuilder().word(1).dword(0).dword(0).b);
    CGXPrintDevice d;
    const BYTE names[] = {1, 2, 3};
    d.CreateDeviceHandles(names, 3, nullptr, 0);
    CGXPrintDevice back;
    LoadBytes(StoreBytes([&](CArchive& ar) { d.Serialize(ar); }), [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_TRUE(back.CompareDeviceData(names, 3, nullptr, 0));
    EXPECT_FALSE(empty.CompareDeviceData(names, 3, nullptr, 0));
    EXPECT_TRUE(empty.CompareDeviceData(nullptr, 0, nullptr, 0));
    LoadBytes(ByteBuilder().word(1).dword(0xFFFFFF).b, [](CArchive& ar) {
        CGXPrintDevice bad;
        EXPECT_THROW(bad.Serialize(ar), CArchiveException);
    });
}

TEST(GXGridParam, DefaultsAndSharedObjects)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXGridParam p;
    EXPECT_FALSE(p.TestSelectionFlags(256));
    EXPECT_TRUE(p.TestSelectionFlags(1));
    EXPECT_TRUE(p.TestRowResizeFlags(2));
    EXPECT_FALSE(p.TestRowResizeFlags(1));
    LONG v;
    EXPECT_TRUE(p.m_RowHeights.Lookup(0, v));
    EXPECT_EQ(v, 1400);

    auto* owned = new CGXStylesMap;
    p.SetStylesMap(owned, TRUE);
    p.SetStylesMap(owned, TRUE); // the same object again: still alive, still owned
    EXPECT_EQ(p.GetStylesMap(), owned);
    owned->CreateStandardStyles(); // would fault if it had been freed
    p.SetStylesMap(new CGXStylesMap, TRUE); // the old owned one is deleted (checked by the leak build)
    CGXStylesMap shared;
    p.SetStylesMap(&shared, FALSE);
    p.SetStylesMap(new CGXStylesMap, TRUE);
    shared.CreateStandardStyles(); // a shared one stays alive

    CGXSortInfoArray a;
    a.SetSize(10);
    EXPECT_EQ(a.GetCapacity(), 10);
    EXPECT_EQ(a[9].nRC, 0u);
    a[9].nRC = 5;
    a.SetSize(11);
    EXPECT_EQ(a.GetCapacity(), 14);
    EXPECT_EQ(a[9].nRC, 5u);
    EXPECT_EQ(a[10].nRC, 0u);
    a.SetSize(0);
    EXPECT_EQ(a.GetCapacity(), 0);
}

void FillParam(CGXGridParam& p)
{
    auto* map = new CGXStylesMap;
    map->CreateStandardStyles();
    const WORD mine = map->RegisterStyleByName("Mine", CGXStyle().SetWrapText(TRUE));
    p.SetStylesMap(map, TRUE);
    auto* data = new CGXData;
    data->StoreStyleRowCol(3, 2, &CGXStyle().SetValue("cell").SetBaseStyle(mine).SetUserAttribute(51022, "tip"), gxOverride);
    data->StoreValueRowCol(0, 4, "col", gxOverride, -1);
    p.SetData(data, TRUE);
    auto* props = new CGXProperties;
    props->AddDefaultUserProperties();
    props->SetMarkRowHeader(FALSE);
    props->m_nMargins[3] = 77;
    p.SetProperties(props, TRUE);
    auto* pd = new CGXPrintDevice;
    const BYTE mode[] = {9, 8, 7, 6};
    pd->CreateDeviceHandles(nullptr, 0, mode, 4);
    p.SetPrintDevice(pd, TRUE);
    p.m_SelRects.AddRange(CGXCellRange(1, 1, 2, 2));
    p.m_CoveredCellsList.AddRange(CGXCellRange().SetRows(4, 5));
    p.m_RowHeights[7] = 2000;
    p.m_ColWidths[3] = 12345;
    p.m_abHiddenRows.Add(1);
    p.m_sText = "param";
    p.m_dwOptionMask = 15;
    p.m_bSetupOption = 1;
    p.m_nFrozenRows = 2;
    p.m_nMaxUndo = 100;
    p.m_bKeepClickSelection = 1;
}

TEST(GXGridParam, ArchiveRoundTripByteForByte)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    GXInstallDocSerializeImp();
    CGXGridParam p;
    FillParam(p);
    const Bytes first = StoreBytes([&](CArchive& ar) { ar.WriteObject(&p); });

    std::unique_ptr<CObject> ob;
    LoadBytes(first, [&](CArchive& ar) { ob.reset(ar.ReadObject(RUNTIME_CLASS(CGXGridParam))); });
    auto* back = dynamic_cast<CGXGridParam*>(ob.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetData()->LookupStyleRowCol(3, 2)->GetValue(), "cell");
    EXPECT_EQ(back->GetData()->LookupStyleRowCol(3, 2)->GetBaseStyle(), back->GetStylesMap()->LookupStyleIdByName("Mine"));
    EXPECT_FALSE(back->GetProperties()->GetMarkRowHeader());
    EXPECT_EQ(back->GetProperties()->m_nMargins[3], 77);
    EXPECT_TRUE(back->GetPrintDevice()->CompareDeviceData(nullptr, 0, (const BYTE*)"\x09\x08\x07\x06", 4));
    EXPECT_EQ(back->m_dwOptionMask, 15u);
    EXPECT_EQ(back->m_nMaxUndo, 100u);
    EXPECT_EQ(back->m_sText, "param");
    LONG v;
    EXPECT_TRUE(back->m_ColWidths.Lookup(3, v));
    EXPECT_EQ(v, 12345);

    const Bytes second = StoreBytes([&](CArchive& ar) { ar.WriteObject(back); });
    EXPECT_EQ(second, first);
}

TEST(GXGridParam, SharedObjectsAreNotWritten)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    GXInstallDocSerializeImp();
    CGXStylesMap shared;
    shared.CreateStandardStyles();
    CGXGridParam p;
    p.SetStylesMap(&shared, FALSE);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { p.Serialize(ar); });
    // Version, then flags A..E, C, B, the two drag flags and four zero ownership flags.
    const Bytes head(bytes.begin(), bytes.begin() + 16);
    EXPECT_EQ(head, (Bytes {10, 0, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0}));
    CGXGridParam reader;
    CGXStylesMap readerMap;
    reader.SetStylesMap(&readerMap, FALSE);
    LoadBytes(bytes, [&](CArchive& ar) { reader.Serialize(ar); });
    EXPECT_EQ(reader.GetStylesMap(), &readerMap);
    EXPECT_FALSE(reader.IsStylesMapOwned());
    EXPECT_EQ(reader.GetData(), nullptr);
}

TEST(GXGridParam, DamagedArchives)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    GXInstallDocSerializeImp();
    // A newer record version is refused.
    LoadBytes(ByteBuilder().word(11).b, [](CArchive& ar) {
        CGXGridParam p;
        EXPECT_THROW(p.Serialize(ar), CArchiveException);
    });
    // A cell table claiming a row far beyond its count is refused before allocating.
    const Bytes hugeIndex = ByteBuilder().word(1).dword(5).dword(5).word(1).dword(0xFFFFFFF0).dword(0xFFFFFFE0).b;
    LoadBytes(hugeIndex, [](CArchive& ar) {
        CGXData d;
        EXPECT_THROW(d.Serialize(ar), CArchiveException);
    });
    // A style stored twice by reference would get two owners: refused.
    CGXStyle s;
    s.SetValue("v");
    const Bytes once = StoreBytes([&](CArchive& ar) {
        ar << WORD(1) << DWORD(2) << DWORD(2);              // record, rows, columns
        ar << WORD(1) << DWORD(3) << DWORD(1);              // cell table: row 1
        ar << WORD(1) << DWORD(3) << DWORD(1);              // its cells: column 1
        ar.WriteObject(&s);
        ar << DWORD(2);
        ar.WriteObject(&s);                                 // column 2: a back reference
        ar << DWORD(0xFFFFFFFF) << DWORD(0xFFFFFFFF);
        ar << WORD(1) << DWORD(0) << DWORD(0xFFFFFFFF);     // row bases
        ar << WORD(1) << DWORD(0) << DWORD(0xFFFFFFFF);     // column bases
    });
    // The same bytes with the second cell left out read back fine.
    const Bytes fine = StoreBytes([&](CArchive& ar) {
        ar << WORD(1) << DWORD(2) << DWORD(2);
        ar << WORD(1) << DWORD(3) << DWORD(1);
        ar << WORD(1) << DWORD(3) << DWORD(1);
        ar.WriteObject(&s);
        ar << DWORD(0xFFFFFFFF) << DWORD(0xFFFFFFFF);
        ar << WORD(1) << DWORD(0) << DWORD(0xFFFFFFFF);
        ar << WORD(1) << DWORD(0) << DWORD(0xFFFFFFFF);
    });
    LoadBytes(fine, [](CArchive& ar) {
        CGXData d;
        d.Serialize(ar);
        EXPECT_EQ(d.LookupStyleRowCol(1, 1)->GetValue(), "v");
    });
    LoadBytes(once, [](CArchive& ar) {
        CGXData d;
        EXPECT_THROW(d.Serialize(ar), CArchiveException);
    });
}

} // namespace

namespace {

// Damaged copies of a stored parameter object must load or fail with an archive, memory or
// resource exception; never crash, leak or read out of bounds (run under the sanitizers).
TEST(GXGridParam, DamagedCopiesNeverCrash)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    GXInstallDocSerializeImp();
    CGXGridParam p;
    FillParam(p);
    const Bytes good = StoreBytes([&](CArchive& ar) { ar.WriteObject(&p); });
    unsigned seed = 12345;
    auto next = [&] { seed = seed * 1103515245u + 12345u; return (seed >> 8) & 0xFFFFFF; };
    const int kRounds = 600;
    int loaded = 0, refused = 0;
    for (int round = 0; round < kRounds; round++) {
        Bytes b = good;
        const int edits = 1 + int(next() % 4);
        for (int e = 0; e < edits; e++) {
            const size_t at = next() % b.size();
            switch (next() % 4) {
            case 0: b[at] = BYTE(next()); break;
            case 1: b[at] ^= BYTE(1u << (next() % 8)); break;
            case 2: b.resize(at + 1); break;
            default: b[at] = 0xFF; break;
            }
        }
        try {
            LoadBytes(b, [&](CArchive& ar) {
                std::unique_ptr<CObject> ob(ar.ReadObject(RUNTIME_CLASS(CGXGridParam)));
            });
            loaded++;
        } catch (CArchiveException&) {
            refused++;
        } catch (CMemoryException&) {
            refused++;
        } catch (CResourceException&) {
            refused++;
        }
    }
    EXPECT_EQ(loaded + refused, kRounds);
}

} // namespace
