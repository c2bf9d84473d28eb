// Deep copies of parameter objects and the style subset test.

#include <gtest/gtest.h>

#include "../core/gxtesthelp.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/features/gxparamcopy.h"

// A cell store of its own class, as the formula sheet is one.
class CTestSheetData : public CGXData {
    DECLARE_DYNCREATE(CTestSheetData)
};
IMPLEMENT_DYNCREATE(CTestSheetData, CGXData)

namespace {

void Install()
{
    GXRegisterLibraryStrings();
    GXInstallDocSerializeImp();
    GXInstallParamCopyOperatorImp();
    GXInstallStyleCompareSubsetImp();
}

Bytes ParamBytes(const CGXGridParam& p) { return StoreBytes([&](CArchive& ar) { ar.WriteObject(&p); }); }

// A parameter object that owns all four of its objects, with some content in each.
void Fill(CGXGridParam& p)
{
    auto* map = new CGXStylesMap;
    map->CreateStandardStyles();
    map->RegisterStyleByName("Mine", CGXStyle().SetWrapText(TRUE));
    p.SetStylesMap(map, TRUE);
    auto* data = new CGXData;
    data->SetRowCount(5);
    data->SetColCount(4);
    data->StoreValueRowCol(2, 3, "cell", gxOverride);
    p.SetData(data, TRUE);
    auto* props = new CGXProperties;
    props->m_nMargins[2] = 55;
    p.SetProperties(props, TRUE);
    auto* pd = new CGXPrintDevice;
    const BYTE mode[] = {1, 2, 3};
    pd->CreateDeviceHandles(nullptr, 0, mode, sizeof(mode));
    p.SetPrintDevice(pd, TRUE);
    p.m_SelRects.AddRange(CGXCellRange(1, 1, 2, 2));
    p.m_RowHeights[4] = 2000;
    p.m_abHiddenCols.SetAtGrow(3, 1);
    p.m_sText = "param";
    p.m_nMaxUndo = 77;
    p.m_bKeepClickSelection = 1;
}

TEST(GXParamCopy, CopyIsDeepIndependentAndOwned)
{
    Install();
    CGXGridParam src;
    Fill(src);
    CGXGridParam copy;
    copy.Assign(src);
    EXPECT_EQ(ParamBytes(copy), ParamBytes(src));
    EXPECT_NE(copy.GetStylesMap(), src.GetStylesMap());
    EXPECT_NE(copy.GetData(), src.GetData());
    EXPECT_TRUE(copy.IsStylesMapOwned() && copy.IsDataOwned() && copy.IsPropertiesOwned() && copy.IsPrintDeviceOwned());
    const Bytes before = ParamBytes(copy);
    src.GetData()->StoreValueRowCol(2, 3, "changed", gxOverride);
    src.GetStylesMap()->RegisterStyleByName("Later", CGXStyle());
    EXPECT_EQ(ParamBytes(copy), before);

    // Onto itself nothing changes.
    const Bytes self = ParamBytes(src);
    src.Assign(src);
    EXPECT_EQ(ParamBytes(src), self);
}

TEST(GXParamCopy, SharedObjectsBecomeOwnedCopies)
{
    Install();
    CGXStylesMap shared;
    shared.CreateStandardStyles();
    CGXGridParam src;
    src.SetStylesMap(&shared, FALSE);
    src.SetData(new CTestSheetData, TRUE);
    CGXGridParam copy;
    Fill(copy);  // owned objects of the target go first
    copy.Assign(src);
    // The copy of the shared map is the target's to delete (the sanitizer build sees a leak else).
    ASSERT_NE(copy.GetStylesMap(), nullptr);
    EXPECT_NE(copy.GetStylesMap(), &shared);
    EXPECT_TRUE(copy.IsStylesMapOwned());
    EXPECT_EQ(copy.GetStylesMap()->LookupStyleIdByName("Standard"), shared.LookupStyleIdByName("Standard"));
    // The store keeps its class; objects the source lacks are gone from the target.
    EXPECT_TRUE(copy.GetData()->IsKindOf(RUNTIME_CLASS(CTestSheetData)));
    EXPECT_EQ(copy.GetProperties(), nullptr);
    EXPECT_EQ(copy.GetPrintDevice(), nullptr);
}

TEST(GXStyleSubset, EveryIncludedAttributeMustBeInTheOtherAndEqual)
{
    Install();
    CGXStyle full;
    full.SetValue("x").SetHorizontalAlignment(1).SetInteriorColor(RGB(1, 2, 3));
    full.SetBorders(gxBorderLeft, CGXPackedPen(0, 1, RGB(0, 0, 0)));
    full.ChangeFont(CGXFont().SetBold(TRUE).SetSize(10), gxCopy);
    full.SetUserAttribute(51022, "tip");
    struct Case {
        const char* name;
        CGXStyle style;
        BOOL subset;
    };
    Case cases[] = {
        {"empty", CGXStyle(), TRUE},
        {"same value", CGXStyle().SetValue("x"), TRUE},
        {"other value", CGXStyle().SetValue("y"), FALSE},
        {"attribute the other lacks", CGXStyle().SetWrapText(TRUE), FALSE},
        {"alignment and interior", CGXStyle().SetHorizontalAlignment(1).SetInteriorColor(RGB(1, 2, 3)), TRUE},
        {"part of the font", CGXStyle().ChangeFont(CGXFont().SetBold(TRUE), gxCopy), TRUE},
        {"another font size", CGXStyle().ChangeFont(CGXFont().SetSize(12), gxCopy), FALSE},
        {"the left border", CGXStyle().SetBorders(gxBorderLeft, CGXPackedPen(0, 1, RGB(0, 0, 0))), TRUE},
        {"a border the other lacks", CGXStyle().SetBorders(gxBorderTop, CGXPackedPen(0, 1, RGB(0, 0, 0))), FALSE},
        {"same user attribute", CGXStyle().SetUserAttribute(51022, "tip"), TRUE},
        {"another user attribute text", CGXStyle().SetUserAttribute(51022, "other"), FALSE},
        {"itself", full, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.style.IsSubsetOf(full), c.subset);
    }
    EXPECT_FALSE(full.IsSubsetOf(CGXStyle()));
}

} // namespace
