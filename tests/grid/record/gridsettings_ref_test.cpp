// A whole settings file of a DAO grid, spelled out record by record: the grid writes exactly these
// bytes, reads them as their values, and the tests' own reader walks the same file to its end.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxcolor.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxobjfile.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "grid/features/gxspanpool.h"
#include "grid/record/gxbrowparam.h"
#include "platform/sys/system.h"
#include "tests/grid/core/gxtesthelp.h"

namespace {

const BYTE kDevNames[] = {8, 0, 9, 0, 10, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0};

// A style record holding only a value (value type 0).
void ValueStyle(ByteBuilder& b, const std::string& value)
{
    b.object("CGXStyle").word(6).dword(CGXStyle::incValue).text(value).word(0).null().byte(0);
}

// The cell data record for cells of row 1 (the page texts and the grid's own data): the slot
// counts are the arrays' own sizes, which the layout leaves to the writer.
void DataRecord(ByteBuilder& b, CGXData& d, DWORD nRow, const std::function<void(ByteBuilder&, DWORD)>& cell)
{
    b.word(1).dword(DWORD(d.GetRowCount())).dword(DWORD(d.GetColCount()));
    b.word(1).dword(DWORD(d.m_pStyleMap.GetSize()));
    const CGXStylePtrArray* row = d.m_pStyleMap.GetRow(INT_PTR(nRow));
    if (row) {
        b.dword(nRow).word(1).dword(DWORD(row->GetSize()));
        for (INT_PTR c = 0; c < row->GetSize(); c++)
            if (row->GetStyle(c)) {
                b.dword(DWORD(c));
                cell(b, DWORD(c));
            }
        b.dword(0xFFFFFFFF);
    }
    b.dword(0xFFFFFFFF);
    b.word(1).dword(DWORD(d.m_apRowBaseStyles.GetSize())).dword(0xFFFFFFFF);
    b.word(1).dword(DWORD(d.m_apColBaseStyles.GetSize())).dword(0xFFFFFFFF);
}

// The properties of a new properties object: colours, flags, "Grid", print settings, page texts.
void PropertiesRecord(ByteBuilder& b, CGXProperties& p)
{
    b.object("CGXProperties").word(4);
    b.dwordArray({GXSYSCOLOR(COLOR_GRAYTEXT), GXSYSCOLOR(COLOR_ACTIVECAPTION), RGB(255, 0, 0), RGB(255, 0, 0),
                  GXSYSCOLOR(COLOR_BTNFACE)});
    b.count(0);                                               // texts: always empty
    b.byte(1).byte(1).byte(1).byte(1).byte(1);                // lines, 3-D header, marked headers
    b.text("Grid").dword(100);
    b.dword(0);                                               // no user properties
    b.dword(1).dword(1).dword(0).dword(1).dword(1).dword(0).dword(1);
    b.dword(144).dword(96).dword(96).dword(144);              // margins: first, second, fourth, third
    b.dword(1).dword(38).dword(38).dword(DWORD(-1));          // frame, distances, first page
    b.word(0).word(0).count(0).count(0);
    DataRecord(b, p.GetDataFooter(), 1, [](ByteBuilder& bb, DWORD c) { ValueStyle(bb, c == 1 ? "$D" : "$P/$N"); });
    DataRecord(b, p.GetDataHeader(), 1, [](ByteBuilder& bb, DWORD) {
        bb.object("CGXStyle").word(6).dword(CGXStyle::incFont | CGXStyle::incValue);
        bb.object("CGXFont").word(2).dword(64 | 128).word(700).word(160);
        bb.text("$R").word(0).null().byte(0);
    });
    b.dword(1);                                               // print column headers
}

class GridSettingsReference : public ::testing::Test {
protected:
    void SetUp() override { InitGridLibraryWithFactory(); }

    // A DAO parameter object that owns one of everything the file can hold.
    void Fill()
    {
        m_param.m_sText = "Directory";
        m_param.m_dwOptionMask = 15;
        m_param.m_bSetupOption = 1;
        auto* pMap = new CGXStylesMap;
        m_nStandard = pMap->RegisterStyleByResource(52768, CGXStyle().SetHorizontalAlignment(2));
        m_nNames = pMap->RegisterStyleByName("Names", CGXStyle().SetWrapText(TRUE));
        m_param.SetStylesMap(pMap, TRUE);
        auto* pData = new CGXData;
        pData->SetRowCount(3);
        pData->SetColCount(4);
        pData->StoreValueRowCol(1, 2, "v", gxOverride);
        m_param.SetData(pData, TRUE);
        m_param.SetProperties(new CGXProperties, TRUE);
        auto* pPD = new CGXPrintDevice;
        pPD->CreateDeviceHandles(kDevNames, sizeof(kDevNames), nullptr, 0);
        m_param.SetPrintDevice(pPD, TRUE);
        m_param.m_SelRects.AddRange(CGXCellRange(1, 1, 4, 3));
        GXSetHiddenBit(m_param.m_abHiddenCols, 3, TRUE);  // stored as bits: byte 0, bit 3
        CGXRecSetInfo* pInfo = m_param.GetRecSetInfo();
        pInfo->m_sText1 = "one";
        pInfo->m_sText2 = "two";
        pInfo->m_sText3 = "three";
        m_param.m_ColOrder.Add(0);
        m_param.m_ColOrder.Add(3);
        m_param.m_ColOrder.Add(1);
    }

    Bytes Reference()
    {
        ByteBuilder b;
        b.object("CGXDaoParam");
        WriteRefParamHead(b, {.ownData = 1, .ownPD = 1, .ownProps = 1, .ownMap = 1, .optionMask = 15, .text = "Directory"});

        CGXStylesMap& map = *m_param.GetStylesMap();
        b.object("CGXStylesMap").word(2).text(std::string(LPCTSTR(map.m_sSection))).word(0);
        b.word(2).word(m_nStandard).text("Standard").word(m_nNames).text("Names");
        b.word(2);
        b.word(m_nStandard).dword(52768).text("Standard").byte(0).word(6).dword(CGXStyle::incHorzAlign).dword(2).word(0).null();
        b.word(m_nNames).dword(0).text("Names").byte(0).word(6).dword(CGXStyle::incWrapText).byte(1).word(0).null();
        b.word(map.m_nNextId).word(0);

        b.object("CGXData");
        DataRecord(b, *m_param.GetData(), 1, [](ByteBuilder& bb, DWORD) { ValueStyle(bb, "v"); });
        PropertiesRecord(b, *m_param.GetProperties());
        b.object("CGXPrintDevice").word(1).dword(sizeof(kDevNames)).bytes(Bytes(std::begin(kDevNames), std::end(kDevNames))).dword(0);

        WriteRefParamTail(b, {.selected = {{1, 1, 4, 3}}, .hiddenCols = {0x08}, .y2 = 1});
        b.word(2).byte(0);                                    // browser record, option
        b.object("CGXRecSetInfo").text("two").text("three").text("one");
        b.word(2).dword(1).dwordArray({0, 3, 1});             // DAO record, option, column order
        return b.b;
    }

    CGXDaoParam m_param;
    WORD m_nStandard = 0, m_nNames = 0;
};

TEST_F(GridSettingsReference, WholeDaoParamFileByteForByte)
{
    Fill();
    const Bytes written = StoreBytes([&](CArchive& ar) { ar.WriteObject(&m_param); });
    const Bytes ref = Reference();
    ASSERT_EQ(written.size(), ref.size());
    for (size_t i = 0; i < ref.size(); i++)
        ASSERT_EQ(written[i], ref[i]) << "first difference at offset " << i;

    std::unique_ptr<CGXDaoParam> back;
    LoadBytes(ref, [&](CArchive& ar) { back.reset(static_cast<CGXDaoParam*>(ar.ReadObject(RUNTIME_CLASS(CGXDaoParam)))); });
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_sText, "Directory");
    EXPECT_EQ(back->m_dwOptionMask, 15u);
    ASSERT_NE(back->GetStylesMap(), nullptr);
    EXPECT_EQ(back->GetStylesMap()->LookupStyleIdByResource(52768), m_nStandard);
    EXPECT_EQ(back->GetStylesMap()->LookupStyleIdByName("Names"), m_nNames);
    ASSERT_NE(back->GetData(), nullptr);
    EXPECT_EQ(back->GetData()->LookupStyleRowCol(1, 2)->GetValue(), "v");
    ASSERT_NE(back->GetProperties(), nullptr);
    EXPECT_EQ(back->GetProperties()->m_nMargins[2], 144);
    ASSERT_NE(back->GetPrintDevice(), nullptr);
    EXPECT_TRUE(back->GetPrintDevice()->CompareDeviceData(kDevNames, sizeof(kDevNames), nullptr, 0));
    EXPECT_TRUE(GXGetHiddenBit(back->m_abHiddenCols, 3));
    ASSERT_EQ(back->m_ColOrder.GetSize(), 3);
    EXPECT_EQ(back->m_ColOrder[1], 3u);
    EXPECT_EQ(back->GetRecSetInfo()->m_sText1, "one");

    // The tests' reader walks the same file to its last byte.
    const RefGridSettings g = RefReadGridSettings(ref);
    EXPECT_EQ(g.topClass, "CGXDaoParam");
    EXPECT_TRUE(g.hasStylesMap && g.hasData && g.hasProperties && g.hasPrinter);
    ASSERT_EQ(g.stylesMap.baseStyles.size(), 2u);
    EXPECT_EQ(g.stylesMap.baseStyles[1].second, "Names");
    EXPECT_EQ((g.data.cells.at({1, 2}).value), "v");
    EXPECT_EQ(g.propertiesSection, "Grid");
    EXPECT_EQ(g.devNamesSize, sizeof(kDevNames));
    EXPECT_TRUE(g.IsColHidden(3));
    EXPECT_FALSE(g.IsColHidden(2));
    EXPECT_EQ(g.colOrder, (std::vector<DWORD> {0, 3, 1}));
    EXPECT_EQ(g.recSetInfo, (std::vector<std::string> {"two", "three", "one"}));
}

// The whole-file entry points with the same object: written whole, read back as the class it is,
// and refused (no object) when cut anywhere.
TEST_F(GridSettingsReference, FileEntryPointsAndCutFiles)
{
    Fill();
    char dir[] = "/tmp/pvgridrefXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/GridSettings.dat";
    ASSERT_TRUE(WriteObjectToFile(&m_param, path.c_str()));
    std::unique_ptr<CGXGridParam> back(ReadGridParamFromFile(path.c_str()));
    ASSERT_TRUE(back);
    EXPECT_NE(dynamic_cast<CGXDaoParam*>(back.get()), nullptr);

    // Files written before named the class with schema 1; they still load.
    Bytes older = Reference();
    older[2] = 1;
    std::unique_ptr<CObject> pOlder;
    LoadBytes(older, [&](CArchive& ar) { pOlder.reset(ar.ReadObject(RUNTIME_CLASS(CGXGridParam))); });
    EXPECT_NE(dynamic_cast<CGXDaoParam*>(pOlder.get()), nullptr);

    const Bytes ref = Reference();
    for (size_t cut : {size_t(0), size_t(1), ref.size() / 3, ref.size() / 2, ref.size() - 1}) {
        SCOPED_TRACE(cut);
        Bytes part(ref.begin(), ref.begin() + ptrdiff_t(cut));
        CMemFile mem(part.data(), UINT(part.size()));
        std::unique_ptr<CObject> p(ReadObjectFromArchive(mem, RUNTIME_CLASS(CGXGridParam)));
        EXPECT_EQ(p, nullptr);
        EXPECT_THROW(RefReadGridSettings(part), std::runtime_error);
    }
    std::remove(path.c_str());
    rmdir(dir);
}

// A parameter object that holds every record the file knows: styles of every attribute, fonts,
// interiors, borders, user attributes of each kind, base styles by name and by string id, page
// texts, a user property, both printer blocks, ranges, sizes, hidden bits and the cell pools.
std::unique_ptr<CGXDaoParam> EveryRecordParam()
{
    auto p = std::make_unique<CGXDaoParam>();
    p->m_sText = "Every record";
    auto* pMap = new CGXStylesMap;
    pMap->CreateStandardStyles();
    pMap->SetControlName(52512, "Edit");
    pMap->AddUserAttribute(51022, &CGXStyle().SetValue("tip"));
    const WORD nNames = pMap->RegisterStyleByName("Names", CGXStyle().SetWrapText(TRUE).SetBaseStyle(pMap->m_wStyleStandard));
    p->SetStylesMap(pMap, TRUE);

    CGXStyle full;
    full.SetHorizontalAlignment(1).SetVerticalAlignment(4).SetReadOnly(TRUE).SetControl(52512);
    full.SetInterior(CGXPackedBrush(GX_BS_HATCHED, RGB(1, 2, 3), 3)).SetTextColor(RGB(200, 0, 0));
    full.SetWrapText(TRUE).SetAllowEnter(FALSE);
    full.SetBorders(gxBorderTop, CGXPackedPen(0, 1, RGB(0, 0, 255))).SetBorders(gxBorderRight, CGXPackedPen(2, 2, GXSYSCOLOR(COLOR_WINDOWTEXT)));
    full.SetFont(CGXFont().SetFaceName("Arial").SetSize(11).SetBold(TRUE).SetItalic(TRUE).SetOrientation(900));
    full.SetValue("12.5").SetValueType(2).SetChoiceList("a\nb\nc").SetVerticalScrollBar(TRUE).SetMaxLength(40);
    full.SetBaseStyle(nNames).SetEnabled(TRUE).SetTriState(FALSE).SetDraw3dFrame(2).SetAutoSize(TRUE);
    full.SetUserAttribute(51022, "short").SetUserAttribute(51023, "a longer text").SetUserAttribute(51024, CGXUserAttribute(LONG(-7)));
    full.SetItemDataPtr(0x1234).SetFloatCell(TRUE).SetFloodCell(FALSE).SetMergeCell(3).SetFormat(4).SetPlaces(2);
    auto* pData = new CGXData;
    pData->SetRowCount(6);
    pData->SetColCount(5);
    pData->StoreStyleRowCol(2, 3, &full, gxOverride);
    pData->StoreValueRowCol(4, 1, "plain", gxOverride);
    pData->StoreStyleRowCol(3, 0, &CGXStyle().SetInteriorColor(RGB(9, 9, 9)), gxOverride);
    pData->StoreStyleRowCol(0, 2, &CGXStyle().SetHorizontalAlignment(2), gxOverride);
    p->SetData(pData, TRUE);

    auto* pProps = new CGXProperties;
    pProps->AddUserProperty(52100, CGXStyle().SetValue("on"));
    p->SetProperties(pProps, TRUE);
    auto* pPD = new CGXPrintDevice;
    const BYTE mode[] = {'P', 'D', 'F', 0, 1, 2, 3, 4};
    pPD->CreateDeviceHandles(kDevNames, sizeof(kDevNames), mode, sizeof(mode));
    p->SetPrintDevice(pPD, TRUE);

    p->m_SelRects.AddRange(CGXCellRange(1, 1, 2, 2));
    p->m_CoveredCellsList.AddRange(CGXCellRange(4, 4, 5, 5));
    p->m_RowHeights.SetAt(0, 1500);
    p->m_ColWidths.SetAt(0, 7000);
    p->m_abHiddenRows.SetAtGrow(5, 1);
    p->m_abHiddenCols.SetAtGrow(4, 1);
    p->m_wFloatCellsMode = 1;
    p->m_wMergeCellsMode = 1;
    auto* fq = new CGXDelayedRangePool;
    fq->AddRange(CGXCellRange(3, 1, 3, 5));
    auto* fs = new CGXSpanCellPool;
    fs->SetSpan(4, 2, 4, 3);
    auto* mq = new CGXDelayedRangePool;
    mq->AddRange(CGXCellRange(1, 1, 6, 5));
    auto* m1 = new CGXSpanCellPool;
    m1->SetSpan(2, 3, 3, 3);
    auto* m2 = new CGXSpanCellPool;
    m2->SetSpan(6, 1, 6, 2);
    p->SetFeatureObject(CGXGridParam::nFloatDelayed, fq);
    p->SetFeatureObject(CGXGridParam::nFloatSpans, fs);
    p->SetFeatureObject(CGXGridParam::nMergeDelayed, mq);
    p->SetFeatureObject(CGXGridParam::nMergeSpans1, m1);
    p->SetFeatureObject(CGXGridParam::nMergeSpans2, m2);
    CGXRecSetInfo* pInfo = p->GetRecSetInfo();
    pInfo->m_sText1 = "SELECT";
    p->m_ColOrder.Add(0);
    p->m_ColOrder.Add(2);
    p->m_ColOrder.Add(1);
    return p;
}

Bytes FileOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The fuzz target's seeds are whole files behind a first byte 0 ("take the bytes as they are"):
// a directory view's file as the program left it, and one holding every record, which
// PV_WRITE_GRID_SEEDS=1 writes afresh. Both load and read to their end with the tests' reader;
// the second also writes back byte for byte.
TEST_F(GridSettingsReference, FuzzSeedsLoadAndReadToTheirEnd)
{
    const std::string dir = PV_GRID_SEEDS;
    std::unique_ptr<CGXDaoParam> every = EveryRecordParam();
    const Bytes written = StoreBytes([&](CArchive& ar) { ar.WriteObject(every.get()); });
    if (std::getenv("PV_WRITE_GRID_SEEDS")) {
        Bytes seed {0};
        seed.insert(seed.end(), written.begin(), written.end());
        std::ofstream(dir + "/every-record", std::ios::binary).write(reinterpret_cast<const char*>(seed.data()), std::streamsize(seed.size()));
    }
    for (const char* name : {"every-record", "directory-view"}) {
        SCOPED_TRACE(name);
        Bytes seed = FileOf(dir + "/" + name);
        ASSERT_GT(seed.size(), 1u);
        ASSERT_EQ(seed[0], 0);
        seed.erase(seed.begin());
        std::unique_ptr<CObject> back;
        LoadBytes(seed, [&](CArchive& ar) { back.reset(ar.ReadObject(RUNTIME_CLASS(CGXGridParam))); });
        ASSERT_NE(dynamic_cast<CGXDaoParam*>(back.get()), nullptr);
        RefGridSettings g;
        ASSERT_NO_THROW(g = RefReadGridSettings(seed));
        if (std::string(name) == "every-record") {
            EXPECT_EQ(seed, written);
            EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar.WriteObject(back.get()); }), seed);
            EXPECT_EQ(g.classes.size(), 13u) << "every class a DAO grid's file names";
        }
    }
}

}  // namespace
