#include "grid/core/gxstyle.h"

#include "grid/core/gxcolor.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"
#include "platform/base/CArchive.h"
#include "platform/sys/system.h"

IMPLEMENT_SERIAL(CGXStyle, CObject, 0)

namespace {
const CGXUserAttribute& EmptyUserAttribute()
{
    static const CGXUserAttribute s_empty;
    return s_empty;
}
const CGXPackedPen& NotSetPen()
{
    static const CGXPackedPen s_pen;
    return s_pen;
}
} // namespace

void CGXStyle::CopyConstruct(const CGXStyle& o)
{
    m_dwInclude = o.m_dwInclude;
    m_nMaxLength = o.m_nMaxLength;
    m_nControl = o.m_nControl;
    m_dwItemData = o.m_dwItemData;
    m_brushInterior = o.m_brushInterior;
    m_dwOptions = o.m_dwOptions;
    m_dwColor = o.m_dwColor;
    m_dwNumber = o.m_dwNumber;
    m_strValue = o.IsIncluded(incValue) ? o.m_strValue : CString();
    m_strChoices = o.IsIncluded(incChoiceList) ? o.m_strChoices : CString();
    CopyUserAttributes(o.m_pUserAttributes.get());
    m_dwInclude = (m_dwInclude & ~incUserAttributes) | (o.m_dwInclude & incUserAttributes);
    TakeBordersFrom(o);
    if (o.IsIncluded(incFont) && o.m_pFont) {
        if (m_pFont)
            m_pFont->Assign(*o.m_pFont);
        else
            m_pFont = std::make_unique<CGXFont>(*o.m_pFont);
    } else {
        m_pFont.reset();
    }
}

void CGXStyle::TakeBordersFrom(const CGXStyle& o)
{
    if (o.IsIncluded(incBorders) && o.m_pBorders)
        m_pBorders = std::make_unique<std::array<CGXPackedPen, 4>>(*o.m_pBorders);
    else
        m_pBorders.reset();
}

void CGXStyle::FreeParts()
{
    m_pBorders.reset();
    m_pFont.reset();
    m_pUserAttributes.reset();
    m_strValue.Empty();
    m_strChoices.Empty();
    m_dwItemData = 0;
    m_dwInclude = 0;
}

CGXStyle& CGXStyle::Assign(const CGXStyle& source)
{
    if (&source == this)
        return *this;
    if (source.m_dwInclude == 0) {
        FreeParts();
        return *this;
    }
    CopyConstruct(source);
    return *this;
}

CGXStyle& CGXStyle::SetIncluded(DWORD bit, BOOL b)
{
    if (b) {
        m_dwInclude |= bit;
        return *this;
    }
    m_dwInclude &= ~bit;
    if (bit & incValue)
        m_strValue.Empty();
    if (bit & incChoiceList)
        m_strChoices.Empty();
    if (bit & incFont)
        m_pFont.reset();
    if (bit & incBorders)
        m_pBorders.reset();
    if (bit & incUserAttributes)
        m_pUserAttributes.reset();
    return *this;
}

DWORD CGXStyle::GetIncludeMask() const
{
    DWORD m = m_dwInclude & incAll & ~(incFloodCell | incFloatCell);
    if (m_dwInclude & incFloatCell)
        m |= exFloatCell;
    if (m_dwInclude & incFloodCell)
        m |= exFloodCell;
    return m;
}

void CGXStyle::SetIncludeMask(DWORD mask)
{
    if (mask == 0) {
        m_dwInclude = 0;
        return;
    }
    DWORD m = mask & incAll & ~(exFloatCell | exFloodCell);
    if (mask & exFloatCell)
        m |= incFloatCell;
    if (mask & exFloodCell)
        m |= incFloodCell;
    m_dwInclude = (m_dwInclude & ~incAll) | m;
}

CGXStyle& CGXStyle::SetHorizontalAlignment(DWORD align)
{
    SetOption(14, 2, align == 1 ? 1 : align == 2 ? 2 : 0);
    m_dwInclude |= incHorzAlign;
    return *this;
}

CGXStyle& CGXStyle::SetVerticalAlignment(DWORD align)
{
    SetOption(16, 2, align == 4 ? 1 : align == 8 ? 2 : 0);
    m_dwInclude |= incVertAlign;
    return *this;
}

DWORD CGXStyle::GetVerticalAlignment() const
{
    const DWORD v = (m_dwOptions >> 16) & 3;
    return v == 1 ? 4 : v == 2 ? 8 : 0;
}

CGXStyle& CGXStyle::SetTextColor(COLORREF color)
{
    DWORD field, kind;
    GXPackColor(color, field, kind);
    m_dwColor = (m_dwColor & 0xFF000000) | field;
    SetOption(18, 2, kind);
    m_dwInclude |= incTextColor;
    return *this;
}

COLORREF CGXStyle::GetTextColor() const { return GXPackedColorValue(GetTextColorField(), GetTextColorKind()); }
COLORREF CGXStyle::ResolveTextColor() const { return GXResolveColor(GetTextColorField(), GetTextColorKind()); }

// ---- borders ----

std::array<CGXPackedPen, 4>& CGXStyle::Borders()
{
    if (!m_pBorders)
        m_pBorders = std::make_unique<std::array<CGXPackedPen, 4>>();
    return *m_pBorders;
}

CGXStyle& CGXStyle::SetBorders(int nBorder, const CGXPackedPen& pen)
{
    auto& b = Borders();
    if (nBorder < 0)
        b.fill(pen);
    else
        b[size_t(nBorder & 3)] = pen;
    m_dwInclude |= incBorders;
    return *this;
}

CGXStyle& CGXStyle::CopyBorders(const CGXPackedPen* pBorders)
{
    if (!pBorders) {
        m_pBorders.reset();
        m_dwInclude &= ~incBorders;
        return *this;
    }
    auto& b = Borders();
    for (size_t i = 0; i < 4; i++)
        b[i] = pBorders[i];
    m_dwInclude |= incBorders;
    return *this;
}

CGXStyle& CGXStyle::ExcludeBorder(int nBorder)
{
    auto& b = Borders();
    if (nBorder < 0)
        for (auto& p : b)
            p.SetInclude(FALSE);
    else
        b[size_t(nBorder & 3)].SetInclude(FALSE);
    bool any = false;
    for (const auto& p : b)
        any = any || p.GetInclude();
    if (any)
        m_dwInclude |= incBorders;
    else
        m_dwInclude &= ~incBorders;
    return *this;
}

const CGXPackedPen& CGXStyle::GetBorders(int nBorder) const
{
    return m_pBorders ? (*m_pBorders)[size_t(nBorder & 3)] : NotSetPen();
}

// ---- font ----

CGXStyle& CGXStyle::ChangeFont(const CGXFont& font, int mode)
{
    if (mode == gxExclude) {
        if (m_pFont)
            m_pFont->ChangeFont(font, gxExclude);
        return *this;
    }
    if (!m_pFont)
        m_pFont = std::make_unique<CGXFont>(font);
    else
        m_pFont->ChangeFont(font, mode);
    m_dwInclude |= incFont;
    return *this;
}

const CGXFont& CGXStyle::GetFont() const
{
    static const CGXFont s_empty;
    return m_pFont ? *m_pFont : s_empty;
}

CGXStyle& CGXStyle::AdoptFont(CGXFont* pFont)
{
    m_pFont.reset(pFont);
    return SetIncluded(incFont, pFont != nullptr);
}

CGXStyle& CGXStyle::AdoptUserAttributes(CGXUserAttributeMap* pMap)
{
    // An empty map is kept: it may have come out of an archive that still refers to it.
    m_pUserAttributes.reset(pMap);
    if (!pMap || pMap->IsEmpty()) {
        m_dwInclude &= ~incUserAttributes;
    } else {
        m_dwInclude |= incUserAttributes;
    }
    return *this;
}

CGXStyle& CGXStyle::SetIncludeFont(BOOL b)
{
    if (b && !m_pFont)
        m_pFont = std::make_unique<CGXFont>();
    return SetIncluded(incFont, b);
}

// ---- value and choices ----

CGXStyle& CGXStyle::SetValue(LPCTSTR pszValue)
{
    m_strValue = pszValue;
    SetOption(20, 3, 0);
    m_dwInclude |= incValue;
    return *this;
}

CGXStyle& CGXStyle::SetValueNumber(DWORD dw)
{
    m_strValue.Format("%lu", (unsigned long)dw);
    SetOption(20, 3, 1);
    m_dwInclude |= incValue;
    return *this;
}

CGXStyle& CGXStyle::SetIncludeValue(BOOL b)
{
    if (b)
        m_dwInclude |= incValue;
    else
        SetIncluded(incValue, FALSE);
    return *this;
}

CGXStyle& CGXStyle::SetIncludeChoiceList(BOOL b) { return SetIncluded(incChoiceList, b); }

// ---- user attributes ----

const CGXAbstractUserAttribute& CGXStyle::GetUserAttribute(WORD nId) const
{
    if (m_pUserAttributes)
        if (const CGXAbstractUserAttribute* a = m_pUserAttributes->Lookup(nId))
            return *a;
    return EmptyUserAttribute();
}

BOOL CGXStyle::HasUserAttribute(WORD nId) const
{
    return m_pUserAttributes && m_pUserAttributes->Lookup(nId) != nullptr;
}

CGXStyle& CGXStyle::SetUserAttributePtr(WORD nId, CGXAbstractUserAttribute* pAttribute)
{
    if (!pAttribute)
        return *this;
    if (!m_pUserAttributes)
        m_pUserAttributes = std::make_unique<CGXUserAttributeMap>();
    m_pUserAttributes->SetAttribute(nId, pAttribute);
    m_dwInclude |= incUserAttributes;
    return *this;
}

CGXStyle& CGXStyle::SetUserAttribute(WORD nId, LPCTSTR pszValue)
{
    return SetUserAttributePtr(nId, new CGXUserAttribute(pszValue));
}

CGXStyle& CGXStyle::IncludeUserAttribute(WORD nId, BOOL b)
{
    if (b) {
        if (!HasUserAttribute(nId))
            SetUserAttributePtr(nId, new CGXUserAttribute());
        return *this;
    }
    if (m_pUserAttributes) {
        m_pUserAttributes->RemoveAttribute(nId);
        if (m_pUserAttributes->IsEmpty()) {
            m_pUserAttributes.reset();
            m_dwInclude &= ~incUserAttributes;
        }
    }
    return *this;
}

CGXStyle& CGXStyle::CopyUserAttributes(const CGXUserAttributeMap* pMap)
{
    if (pMap == m_pUserAttributes.get())
        return *this;
    if (!pMap || pMap->IsEmpty()) {
        m_pUserAttributes.reset();
        m_dwInclude &= ~incUserAttributes;
        return *this;
    }
    if (!m_pUserAttributes)
        m_pUserAttributes = std::make_unique<CGXUserAttributeMap>();
    m_pUserAttributes->ChangeAttributes(*pMap, gxCopy);
    m_dwInclude |= incUserAttributes;
    return *this;
}

// ---- merging ----

CGXStyle& CGXStyle::ChangeStyle(const CGXStyle& src, int mode)
{
    if (&src == this)
        return *this;
    if (mode == gxExclude) {
        if (src.m_dwInclude == 0)
            return *this;
        const DWORD simple = src.m_dwInclude & ~(incBorders | incFont | incUserAttributes);
        m_dwInclude &= ~simple;
        if (simple & incValue)
            m_strValue.Empty();
        if (simple & incChoiceList)
            m_strChoices.Empty();
        if (src.IsIncluded(incBorders) && IsIncluded(incBorders) && src.m_pBorders) {
            for (int i = 0; i < 4; i++)
                if ((*src.m_pBorders)[size_t(i)].GetInclude())
                    ExcludeBorder(i);
        }
        if (src.IsIncluded(incFont) && IsIncluded(incFont) && src.m_pFont && m_pFont)
            m_pFont->ChangeFont(*src.m_pFont, gxExclude);
        if (src.m_pUserAttributes && m_pUserAttributes && !src.m_pUserAttributes->IsEmpty())
            m_pUserAttributes->ChangeAttributes(*src.m_pUserAttributes, gxExclude);
        return *this;
    }
    if (mode == gxCopy || m_dwInclude == 0)
        return Assign(src);
    if (src.m_dwInclude == 0)
        return *this;

    const bool over = mode == gxOverride;
    auto take = [&](DWORD bit) { return src.IsIncluded(bit) && (over || !IsIncluded(bit)); };
    auto takeOption = [&](DWORD bit, int shift, int width) {
        if (take(bit)) {
            SetOption(shift, width, (src.m_dwOptions >> shift) & ((1u << width) - 1));
            m_dwInclude |= bit;
        }
    };
    takeOption(incHorzAlign, 14, 2);
    takeOption(incVertAlign, 16, 2);
    takeOption(incReadOnly, 2, 1);
    takeOption(incFloatCell, 10, 1);
    takeOption(incFloodCell, 9, 1);
    takeOption(incMergeCell, 11, 3);
    takeOption(incDraw3dFrame, 0, 2);
    if (take(incMaxLength))
        SetMaxLength(src.m_nMaxLength);
    takeOption(incVertScroll, 3, 1);
    if (take(incTextColor)) {
        m_dwColor = (m_dwColor & 0xFF000000) | (src.m_dwColor & 0xFFFFFF);
        SetOption(18, 2, src.GetTextColorKind());
        m_dwInclude |= incTextColor;
    }
    takeOption(incWrapText, 4, 1);
    takeOption(incAutoSize, 8, 1);
    takeOption(incAllowEnter, 5, 1);
    takeOption(incEnabled, 6, 1);
    takeOption(incTriState, 7, 1);
    if (take(incControl))
        SetControl(src.m_nControl);
    if (take(incInterior))
        SetInterior(src.m_brushInterior);
    if (src.IsIncluded(incBorders) && src.m_pBorders) {
        for (size_t i = 0; i < 4; i++) {
            const CGXPackedPen& pen = (*src.m_pBorders)[i];
            if (pen.GetInclude() && (over || !IsIncluded(incBorders) || !m_pBorders || !(*m_pBorders)[i].GetInclude()))
                SetBorders(int(i), pen);
        }
    }
    if (src.IsIncluded(incFont) && src.m_pFont) {
        if (IsIncluded(incFont) && m_pFont)
            m_pFont->ChangeFont(*src.m_pFont, mode);
        else
            ChangeFont(*src.m_pFont, gxCopy);
    }
    if (take(incValue)) {
        m_strValue = src.m_strValue;
        SetOption(20, 3, src.GetValueType());
        m_dwInclude |= incValue;
    }
    if (take(incFormat))
        SetFormat(src.GetFormat());
    if (take(incPlaces))
        SetPlaces(src.GetPlaces());
    if (take(incBaseStyle))
        SetBaseStyle(src.GetBaseStyle());
    if (take(incChoiceList))
        SetChoiceList(src.m_strChoices);
    if (src.m_pUserAttributes && !src.m_pUserAttributes->IsEmpty()) {
        if (!m_pUserAttributes)
            m_pUserAttributes = std::make_unique<CGXUserAttributeMap>();
        m_pUserAttributes->ChangeAttributes(*src.m_pUserAttributes, mode);
        m_dwInclude |= incUserAttributes;
    }
    if (take(incItemData))
        SetItemDataPtr(src.m_dwItemData);
    return *this;
}

CGXStyle& CGXStyle::LoadBaseStyles(const CGXStylesMap& stylesMap)
{
    // A chain that leads back to a style already applied would never end: each base id is
    // followed once at most.
    bool visited[256] = {};
    const CGXStyle* pCurrent = this;
    while (pCurrent->GetIncludeBaseStyle()) {
        const WORD id = pCurrent->GetBaseStyle();
        if (visited[id & 0xFF])
            break;
        visited[id & 0xFF] = true;
        const CGXStyle* pBase = nullptr;
        if (!stylesMap.LookupStyleEntry(id, pBase) || !pBase)
            break;
        ChangeStyle(*pBase, gxApplyNew);
        pCurrent = pBase;
    }
    return *this;
}

CGXStyle& CGXStyle::MakeStandardStyle()
{
    FreeParts();
    SetHorizontalAlignment(0);
    SetVerticalAlignment(0);
    SetReadOnly(FALSE);
    SetControl(52512);
    SetInterior(CGXPackedBrush(GX_BS_SOLID, GXSYSCOLOR(COLOR_WINDOW)));
    SetDraw3dFrame(0);
    SetVerticalScrollBar(FALSE);
    SetMaxLength(0);
    SetTextColor(GXSYSCOLOR(COLOR_WINDOWTEXT));
    SetWrapText(TRUE);
    SetAllowEnter(FALSE);
    SetEnabled(TRUE);
    SetTriState(FALSE);
    SetAutoSize(FALSE);
    ChangeFont(CGXFont::GetDefaultFont(), gxCopy);
    SetValue("");
    SetChoiceList("");
    SetItemDataPtr(0);
    SetFloatCell(TRUE);
    SetFloodCell(TRUE);
    SetMergeCell(0);
    SetFormat(0);
    SetPlaces(13);
    return *this;
}

// ---- services ----

BOOL CGXStyle::IsSubsetOf(const CGXStyle& other) const
{
    CGXAbstractStyleCompareSubsetImp* imp = GXGetAppData()->m_pStyleCompareSubsetImp;
    return imp ? imp->IsSubset(*this, other) : FALSE;
}

void CGXStyle::SerializeEx(CArchive& ar, const CGXStylesMap* pStylesMap)
{
    if (CGXAbstractStyleSerializeImp* imp = GXGetAppData()->m_pStyleSerializeImp)
        imp->SerializeStyle(*this, ar, pStylesMap);
}

void CGXStyle::WriteProfileEx(LPCTSTR pszSection, const CGXStylesMap* pStylesMap) const
{
    if (CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp)
        imp->WriteStyle(*this, pszSection, pStylesMap);
}

BOOL CGXStyle::ReadProfile(LPCTSTR pszSection, const CGXStylesMap* pStylesMap)
{
    CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp;
    return imp ? imp->ReadStyle(*this, pszSection, pStylesMap) : FALSE;
}

void CGXStyle::WriteProfile(LPCTSTR pszSection, LPCTSTR pszEntry, LPCTSTR pszValue) const
{
    if (CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp)
        imp->WriteStyleEntry(pszSection, pszEntry, pszValue);
}

void ArchiveExtractStyle(CArchive& ar, CGXStyle*& pStyle)
{
    pStyle = static_cast<CGXStyle*>(ar.ReadObject(RUNTIME_CLASS(CGXStyle)));
}
