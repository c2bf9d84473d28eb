#include "grid/features/gxparamcopy.h"

#include <memory>

#include "grid/core/gxparam.h"
#include "grid/core/gxparamfields.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"

namespace {

// A copy of the source's cell store of the same class, so a formula sheet stays one.
CGXData* CopyData(const CGXData& src)
{
    std::unique_ptr<CObject> made(src.GetRuntimeClass()->CreateObject());
    std::unique_ptr<CGXData> data(dynamic_cast<CGXData*>(made.get()));
    if (data)
        made.release();
    else
        data = std::make_unique<CGXData>();
    data->Assign(src);
    return data.release();
}

} // namespace

// The target owns every sub-object the copy makes: copying the source's ownership flags would
// leave a copy of a shared styles map that nobody deletes.
void CGXGridParamCopyOperatorImp::CopyParam(CGXGridParam& dest, const CGXGridParam& src)
{
    if (&dest == &src)
        return;
    dest.SetStylesMap(nullptr, FALSE);
    dest.SetData(nullptr, FALSE);
    dest.SetProperties(nullptr, FALSE);
    dest.SetPrintDevice(nullptr, FALSE);

    auto scalar = [&](GXParamWidth, auto CGXGridParam::*pm) { dest.*pm = src.*pm; };
    GXForEachParamHeadScalar(scalar);
    GXForEachParamMiddleScalar(scalar);

    if (const CGXStylesMap* map = src.GetStylesMap())
        dest.SetStylesMap(new CGXStylesMap(*map), TRUE);
    if (const CGXData* data = src.GetData())
        dest.SetData(CopyData(*data), TRUE);
    if (const CGXProperties* props = src.GetProperties())
        dest.SetProperties(new CGXProperties(*props), TRUE);
    if (src.GetPrintDevice() && src.IsPrintDeviceOwned()) {
        auto pd = std::make_unique<CGXPrintDevice>();
        pd->Assign(*src.GetPrintDevice());
        dest.SetPrintDevice(pd.release(), TRUE);
    }

    dest.m_SelRects.Assign(src.m_SelRects);
    dest.m_CoveredCellsList.Assign(src.m_CoveredCellsList);
    dest.RebuildCoveredCellPool();
    dest.m_RowHeights.Assign(src.m_RowHeights);
    dest.m_ColWidths.Assign(src.m_ColWidths);
    dest.m_abHiddenRows.Copy(src.m_abHiddenRows);
    dest.m_abHiddenCols.Copy(src.m_abHiddenCols);

    // The floating and merged-cell stores belong to their features, which rebuild them on
    // first use; the copy starts without them.
    GXForEachParamTailScalar(WORD(10), scalar, [&](int slot) { dest.SetFeatureObject(slot, nullptr); });
}

void CGXGridParamCopyOperatorImp::CopyStylesMap(CGXStylesMap& dest, const CGXStylesMap& src)
{
    if (&dest == &src)
        return;
    dest.RemoveAll();
    dest.SetStyleClass(src.GetStyleClass());
    for (POSITION pos = src.GetStartPosition(); pos;) {
        CString name;
        WORD id;
        const CGXStyle* style;
        UINT res;
        src.GetNextStyle(pos, name, id, style, res);
        const CGXStylesMapEntry* e = src.LookupEntry(id);
        dest.RestoreStyleEntry(id, res, name, style->Clone(), e ? e->dwFlags : 0);
    }
    dest.m_nNextId = src.m_nNextId;
    for (const auto& [id, text] : src.GetControlNames())
        dest.SetControlName(id, text);
    for (const auto& [id, e] : src.GetUserAttributeMap())
        dest.RestoreUserAttribute(id, e->sName, e->pStyle ? e->pStyle->Clone() : nullptr);
    dest.m_sSection = src.m_sSection;
    dest.m_wStyleStandard = src.m_wStyleStandard;
    dest.m_wStyleColHeader = src.m_wStyleColHeader;
    dest.m_wStyleRowHeader = src.m_wStyleRowHeader;
}

void CGXGridParamCopyOperatorImp::CopyProperties(CGXProperties& dest, const CGXProperties& src)
{
    if (&dest == &src)
        return;
    dest.RemoveAllUserProperties();
    dest.m_bDisplayVertLines = src.m_bDisplayVertLines;
    dest.m_bDisplayHorzLines = src.m_bDisplayHorzLines;
    dest.m_b3dButtons = src.m_b3dButtons;
    dest.m_bMarkRowHeader = src.m_bMarkRowHeader;
    dest.m_bMarkColHeader = src.m_bMarkColHeader;
    dest.m_sSection = src.m_sSection;
    dest.m_nZoomPrint = src.m_nZoomPrint;
    dest.m_colorNames.Copy(src.m_colorNames);
    dest.m_colors.Copy(src.m_colors);
    for (const auto& [id, e] : src.GetUserProperties())
        dest.RestoreUserProperty(id, e->sName, e->pStyle ? e->pStyle->Clone() : nullptr);
    dest.m_bPrintVertLines = src.m_bPrintVertLines;
    dest.m_bPrintHorzLines = src.m_bPrintHorzLines;
    dest.m_nPageOrder = src.m_nPageOrder;
    dest.m_bBlackWhite = src.m_bBlackWhite;
    dest.m_bPrintRowHeaders = src.m_bPrintRowHeaders;
    dest.m_bPrintColHeaders = src.m_bPrintColHeaders;
    dest.m_bCenterVertical = src.m_bCenterVertical;
    dest.m_bCenterHorizontal = src.m_bCenterHorizontal;
    dest.m_bPrintFrame = src.m_bPrintFrame;
    for (int i = 0; i < 4; i++)
        dest.m_nMargins[i] = src.m_nMargins[i];
    dest.m_nDistances[0] = src.m_nDistances[0];
    dest.m_nDistances[1] = src.m_nDistances[1];
    dest.m_nFirstPage = src.m_nFirstPage;
    dest.m_wValue1 = src.m_wValue1;
    dest.m_wValue2 = src.m_wValue2;
    dest.m_awArray1.Copy(src.m_awArray1);
    dest.m_awArray2.Copy(src.m_awArray2);
    // The page-text grids are read only here; the accessors are the writable ones.
    dest.GetDataHeader().Assign(const_cast<CGXProperties&>(src).GetDataHeader());
    dest.GetDataFooter().Assign(const_cast<CGXProperties&>(src).GetDataFooter());
}

// ---- subset test ----

namespace {

bool SameUserAttributes(const CGXStyle& style, const CGXStyle& other)
{
    const CGXUserAttributeMap* mine = style.GetUserAttributeMap();
    const CGXUserAttributeMap* theirs = other.GetUserAttributeMap();
    if (!mine)
        return true;
    for (int i = 0; i < mine->GetSize(); i++) {
        const CGXAbstractUserAttribute* a = mine->GetAt(i);
        const CGXAbstractUserAttribute* b = theirs ? theirs->Lookup(a->m_nId) : nullptr;
        if (!b || !a->IsEqual(*b))
            return false;
    }
    return true;
}

bool SameBorders(const CGXStyle& style, const CGXStyle& other)
{
    for (int i = 0; i < 4; i++) {
        const CGXPackedPen& pen = style.GetBorders(i);
        if (pen.GetInclude() && !(other.GetBorders(i).GetInclude() && other.GetBorders(i) == pen))
            return false;
    }
    return true;
}

// The attributes in the order they are compared, each with its test of equal values.
struct SubsetCheck {
    DWORD nInclude;
    bool (*same)(const CGXStyle&, const CGXStyle&);
};
#define GX_SAME(expr) [](const CGXStyle& a, const CGXStyle& b) -> bool { return (expr); }
const SubsetCheck kSubsetChecks[] = {
    {CGXStyle::incHorzAlign, GX_SAME(a.GetHorizontalAlignment() == b.GetHorizontalAlignment())},
    {CGXStyle::incVertAlign, GX_SAME(a.GetVerticalAlignment() == b.GetVerticalAlignment())},
    {CGXStyle::incReadOnly, GX_SAME(a.GetReadOnly() == b.GetReadOnly())},
    {CGXStyle::incFloatCell, GX_SAME(a.GetFloatCell() == b.GetFloatCell())},
    {CGXStyle::incFloodCell, GX_SAME(a.GetFloodCell() == b.GetFloodCell())},
    {CGXStyle::incMergeCell, GX_SAME(a.GetMergeCell() == b.GetMergeCell())},
    {CGXStyle::incDraw3dFrame, GX_SAME(a.GetDraw3dFrame() == b.GetDraw3dFrame())},
    {CGXStyle::incMaxLength, GX_SAME(a.GetMaxLength() == b.GetMaxLength())},
    {CGXStyle::incVertScroll, GX_SAME(a.GetVerticalScrollBar() == b.GetVerticalScrollBar())},
    {CGXStyle::incTextColor, GX_SAME((a.ResolveTextColor() & 0xFFFFFF) == (b.ResolveTextColor() & 0xFFFFFF))},
    {CGXStyle::incWrapText, GX_SAME(a.GetWrapText() == b.GetWrapText())},
    {CGXStyle::incAutoSize, GX_SAME(a.GetAutoSize() == b.GetAutoSize())},
    {CGXStyle::incAllowEnter, GX_SAME(a.GetAllowEnter() == b.GetAllowEnter())},
    {CGXStyle::incEnabled, GX_SAME(a.GetEnabled() == b.GetEnabled())},
    {CGXStyle::incTriState, GX_SAME(a.GetTriState() == b.GetTriState())},
    {CGXStyle::incControl, GX_SAME(a.GetControl() == b.GetControl())},
    {CGXStyle::incInterior, GX_SAME(a.GetInterior() == b.GetInterior())},
    {CGXStyle::incBorders, SameBorders},
    {CGXStyle::incFont, GX_SAME(b.GetFont().MatchesIncluded(a.GetFont()))},
    {CGXStyle::incValue, GX_SAME(a.GetValue() == b.GetValue())},
    {CGXStyle::incFormat, GX_SAME(a.GetFormat() == b.GetFormat())},
    {CGXStyle::incPlaces, GX_SAME(a.GetPlaces() == b.GetPlaces())},
    {CGXStyle::incBaseStyle, GX_SAME(a.GetBaseStyle() == b.GetBaseStyle())},
    {CGXStyle::incChoiceList, GX_SAME(a.GetChoiceList() == b.GetChoiceList())},
    {CGXStyle::incItemData, GX_SAME(a.GetItemDataPtr() == b.GetItemDataPtr())},
    {CGXStyle::incUserAttributes, SameUserAttributes},
};
#undef GX_SAME

} // namespace

BOOL CGXStyleCompareSubsetImp::IsSubset(const CGXStyle& style, const CGXStyle& other)
{
    for (const SubsetCheck& c : kSubsetChecks) {
        if (!style.IsIncluded(c.nInclude))
            continue;
        if (!other.IsIncluded(c.nInclude) || !c.same(style, other))
            return FALSE;
    }
    return TRUE;
}

void GXInstallParamCopyOperatorImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pParamCopyOperatorImp) {
        static CGXGridParamCopyOperatorImp s_imp;
        d->m_pParamCopyOperatorImp = &s_imp;
    }
}

void GXInstallStyleCompareSubsetImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pStyleCompareSubsetImp) {
        static CGXStyleCompareSubsetImp s_imp;
        d->m_pStyleCompareSubsetImp = &s_imp;
    }
}
