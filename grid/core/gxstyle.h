#pragma once
// CGXStyle: everything about a cell (value, control, colours, font, borders, alignment, options,
// user attributes). A style holds only the attributes whose include bit is set; the grid fills
// the rest from row, column and base styles.

#include <array>
#include <memory>

#include "grid/core/gxfont.h"
#include "grid/core/gxuattr.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXStylesMap;

// StyleChangeMode of every merge of styles, fonts, user attributes and stored cells.
enum GXModifyType : int {
    gxOverride = 0,
    gxApplyNew = 1,
    gxCopy = 2,
    gxExclude = 3,
    gxRemove = 4, // storing a cell with no style removes its stored style
};

// Border indexes.
enum GXBorders : int { gxBorderTop = 0, gxBorderLeft = 1, gxBorderBottom = 2, gxBorderRight = 3, gxBorderAll = -1 };

class CGXStyle : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXStyle)
public:
    // Include bits, stored form (FloodCell and FloatCell trade places in GetIncludeMask).
    enum : DWORD {
        incHorzAlign = 0x1,
        incVertAlign = 0x2,
        incReadOnly = 0x4,
        incControl = 0x8,
        incInterior = 0x10,
        incTextColor = 0x20,
        incWrapText = 0x40,
        incAllowEnter = 0x80,
        incBorders = 0x100,
        incFont = 0x200,
        incValue = 0x400,
        incChoiceList = 0x800,
        incVertScroll = 0x1000,
        incMaxLength = 0x2000,
        incBaseStyle = 0x4000,
        incEnabled = 0x8000,
        incTriState = 0x10000,
        incDraw3dFrame = 0x20000,
        incUserAttributes = 0x40000,
        incAutoSize = 0x80000,
        incItemData = 0x100000,
        incFloodCell = 0x200000,
        incFloatCell = 0x400000,
        incMergeCell = 0x800000,
        incFormat = 0x1000000,
        incPlaces = 0x2000000,
        incAll = 0x3FFFFFF,
    };
    // Exchanged-form bits of GetIncludeMask / SetIncludeMask (and the archive).
    enum : DWORD { exFloatCell = 0x200000, exFloodCell = 0x400000 };

    CGXStyle() = default;
    CGXStyle(const CGXStyle& other) : CObject(), GXArchiveAdoptable() { CopyConstruct(other); }
    CGXStyle& operator=(const CGXStyle& other) { Assign(other); return *this; }
    ~CGXStyle() override { FreeParts(); }

    void Serialize(CArchive& ar) override { SerializeEx(ar, nullptr); }
    virtual CGXStyle* Clone() const { return new CGXStyle(*this); }
    virtual CGXStyle& SetValueText(LPCTSTR pszValue) { return SetValue(pszValue); }
    virtual CGXStyle& Assign(const CGXStyle& source);
    virtual CGXStyle& MakeStandardStyle();
    virtual BOOL IsSubsetOf(const CGXStyle& other) const;
    // Archives through the style-archiving service; pStylesMap translates base-style ids.
    virtual void SerializeEx(CArchive& ar, const CGXStylesMap* pStylesMap);
    virtual void WriteProfileEx(LPCTSTR pszSection, const CGXStylesMap* pStylesMap) const;
    virtual BOOL ReadProfile(LPCTSTR pszSection, const CGXStylesMap* pStylesMap);
    virtual CGXStyle& LoadBaseStyles(const CGXStylesMap& stylesMap);
    virtual CGXStyle& ChangeStyle(const CGXStyle& source, int mode);
    virtual void FreeParts();

    void CopyConstruct(const CGXStyle& other);

    // ---- include mask ----
    BOOL IsIncluded(DWORD bit) const { return (m_dwInclude & bit) != 0; }
    CGXStyle& SetIncluded(DWORD bit, BOOL b);
    DWORD GetIncludeMask() const;
    void SetIncludeMask(DWORD mask);
    DWORD GetStoredIncludeBits() const { return m_dwInclude; }
    BOOL IsEmpty() const { return m_dwInclude == 0; }

    // ---- alignment and options ----
    CGXStyle& SetHorizontalAlignment(DWORD align);
    DWORD GetHorizontalAlignment() const { return (m_dwOptions >> 14) & 3; }
    BOOL GetIncludeHorizontalAlignment() const { return IsIncluded(incHorzAlign); }
    CGXStyle& SetIncludeHorizontalAlignment(BOOL b) { return SetIncluded(incHorzAlign, b); }
    CGXStyle& SetVerticalAlignment(DWORD align);
    // 0 top, 4 centre, 8 bottom.
    DWORD GetVerticalAlignment() const;
    BOOL GetIncludeVerticalAlignment() const { return IsIncluded(incVertAlign); }
    CGXStyle& SetIncludeVerticalAlignment(BOOL b) { return SetIncluded(incVertAlign, b); }

#define GX_STYLE_FLAG(Name, bit, inc) \
    CGXStyle& Set##Name(BOOL b) { SetOption(bit, 1, b ? 1 : 0); m_dwInclude |= inc; return *this; } \
    BOOL Get##Name() const { return (m_dwOptions >> bit) & 1; } \
    BOOL GetInclude##Name() const { return IsIncluded(inc); } \
    CGXStyle& SetInclude##Name(BOOL b) { return SetIncluded(inc, b); }
    GX_STYLE_FLAG(ReadOnly, 2, incReadOnly)
    GX_STYLE_FLAG(VerticalScrollBar, 3, incVertScroll)
    GX_STYLE_FLAG(WrapText, 4, incWrapText)
    GX_STYLE_FLAG(AllowEnter, 5, incAllowEnter)
    GX_STYLE_FLAG(Enabled, 6, incEnabled)
    GX_STYLE_FLAG(TriState, 7, incTriState)
    GX_STYLE_FLAG(AutoSize, 8, incAutoSize)
    GX_STYLE_FLAG(FloodCell, 9, incFloodCell)
    GX_STYLE_FLAG(FloatCell, 10, incFloatCell)
#undef GX_STYLE_FLAG

    CGXStyle& SetDraw3dFrame(DWORD n) { SetOption(0, 2, n); m_dwInclude |= incDraw3dFrame; return *this; }
    DWORD GetDraw3dFrame() const { return m_dwOptions & 3; }
    BOOL GetIncludeDraw3dFrame() const { return IsIncluded(incDraw3dFrame); }
    CGXStyle& SetIncludeDraw3dFrame(BOOL b) { return SetIncluded(incDraw3dFrame, b); }
    CGXStyle& SetMergeCell(DWORD n) { SetOption(11, 3, n); m_dwInclude |= incMergeCell; return *this; }
    DWORD GetMergeCell() const { return (m_dwOptions >> 11) & 7; }
    BOOL GetIncludeMergeCell() const { return IsIncluded(incMergeCell); }
    CGXStyle& SetIncludeMergeCell(BOOL b) { return SetIncluded(incMergeCell, b); }

    CGXStyle& SetControl(WORD nControl) { m_nControl = nControl; m_dwInclude |= incControl; return *this; }
    WORD GetControl() const { return m_nControl; }
    BOOL GetIncludeControl() const { return IsIncluded(incControl); }
    CGXStyle& SetIncludeControl(BOOL b) { return SetIncluded(incControl, b); }
    CGXStyle& SetMaxLength(WORD n) { m_nMaxLength = n; m_dwInclude |= incMaxLength; return *this; }
    WORD GetMaxLength() const { return m_nMaxLength; }
    BOOL GetIncludeMaxLength() const { return IsIncluded(incMaxLength); }
    CGXStyle& SetIncludeMaxLength(BOOL b) { return SetIncluded(incMaxLength, b); }
    CGXStyle& SetBaseStyle(WORD nId) { m_dwColor = (m_dwColor & 0xFFFFFF) | (DWORD(nId & 0xFF) << 24); m_dwInclude |= incBaseStyle; return *this; }
    WORD GetBaseStyle() const { return WORD(m_dwColor >> 24); }
    BOOL GetIncludeBaseStyle() const { return IsIncluded(incBaseStyle); }
    CGXStyle& SetIncludeBaseStyle(BOOL b) { return SetIncluded(incBaseStyle, b); }
    CGXStyle& SetFormat(DWORD n) { m_dwNumber = (m_dwNumber & ~0x1Fu) | (n & 0x1F); m_dwInclude |= incFormat; return *this; }
    DWORD GetFormat() const { return m_dwNumber & 0x1F; }
    BOOL GetIncludeFormat() const { return IsIncluded(incFormat); }
    CGXStyle& SetIncludeFormat(BOOL b) { return SetIncluded(incFormat, b); }
    CGXStyle& SetPlaces(DWORD n) { m_dwNumber = (m_dwNumber & ~0x1E0u) | ((n & 0xF) << 5); m_dwInclude |= incPlaces; return *this; }
    DWORD GetPlaces() const { return (m_dwNumber >> 5) & 0xF; }
    BOOL GetIncludePlaces() const { return IsIncluded(incPlaces); }
    CGXStyle& SetIncludePlaces(BOOL b) { return SetIncluded(incPlaces, b); }
    CGXStyle& SetItemDataPtr(DWORD_PTR p) { m_dwItemData = p; m_dwInclude |= incItemData; return *this; }
    DWORD_PTR GetItemDataPtr() const { return m_dwItemData; }
    BOOL GetIncludeItemDataPtr() const { return IsIncluded(incItemData); }
    CGXStyle& SetIncludeItemDataPtr(BOOL b) { return SetIncluded(incItemData, b); }

    // ---- colours and interior ----
    CGXStyle& SetTextColor(COLORREF color);
    // The packed value: a system colour as its current colour with 254 minus its number on top.
    COLORREF GetTextColor() const;
    // The colour for drawing.
    COLORREF ResolveTextColor() const;
    DWORD GetTextColorKind() const { return (m_dwOptions >> 18) & 3; }
    DWORD GetTextColorField() const { return m_dwColor & 0xFFFFFF; }
    BOOL GetIncludeTextColor() const { return IsIncluded(incTextColor); }
    CGXStyle& SetIncludeTextColor(BOOL b) { return SetIncluded(incTextColor, b); }
    CGXStyle& SetInterior(const CGXPackedBrush& brush) { m_brushInterior = brush; m_dwInclude |= incInterior; return *this; }
    CGXStyle& SetInteriorColor(COLORREF color) { return SetInterior(CGXPackedBrush(GX_BS_SOLID, color)); }
    const CGXPackedBrush& GetInterior() const { return m_brushInterior; }
    BOOL GetIncludeInterior() const { return IsIncluded(incInterior); }
    CGXStyle& SetIncludeInterior(BOOL b) { return SetIncluded(incInterior, b); }

    // ---- borders ----
    CGXStyle& SetBorders(int nBorder, const CGXPackedPen& pen);
    // Copies all four pens from a block of four, or removes the borders for null.
    CGXStyle& CopyBorders(const CGXPackedPen* pBorders);
    CGXStyle& ExcludeBorder(int nBorder);
    // The pen of one border; a not-set pen when the style has none.
    const CGXPackedPen& GetBorders(int nBorder) const;
    BOOL GetIncludeBorders() const { return IsIncluded(incBorders); }
    BOOL GetIncludeBorders(int nBorder) const { return m_pBorders && (*m_pBorders)[size_t(nBorder & 3)].GetInclude(); }
    const CGXPackedPen* GetBordersBlock() const { return m_pBorders ? m_pBorders->data() : nullptr; }

    // ---- font ----
    CGXStyle& ChangeFont(const CGXFont& font, int mode);
    CGXStyle& SetFont(const CGXFont& font) { return ChangeFont(font, gxCopy); }
    // The style's font part; an empty part when it has none.
    const CGXFont& GetFont() const;
    const CGXFont* GetFontPtr() const { return m_pFont.get(); }
    // Takes ownership of a font part (null removes the font).
    CGXStyle& AdoptFont(CGXFont* pFont);
    BOOL GetIncludeFont() const { return IsIncluded(incFont); }
    CGXStyle& SetIncludeFont(BOOL b);

    // ---- value and choice list ----
    CGXStyle& SetValue(LPCTSTR pszValue);
    CGXStyle& SetValue(const CString& s) { return SetValue(LPCTSTR(s)); }
    CGXStyle& SetValueNumber(DWORD dw);
    const CString& GetValue() const { return m_strValue; }
    const CString& GetValueRef() const { return m_strValue; }
    // 0 text, 1 number.
    DWORD GetValueType() const { return (m_dwOptions >> 20) & 7; }
    CGXStyle& SetValueType(DWORD n) { SetOption(20, 3, n); return *this; }
    BOOL GetIncludeValue() const { return IsIncluded(incValue); }
    CGXStyle& SetIncludeValue(BOOL b);
    CGXStyle& SetChoiceList(LPCTSTR psz) { m_strChoices = psz; m_dwInclude |= incChoiceList; return *this; }
    CGXStyle& SetChoicesList(LPCTSTR psz) { return SetChoiceList(psz); }
    CGXStyle& SetChoicesListText(LPCTSTR psz) { return SetChoiceList(psz); }
    const CString& GetChoiceList() const { return m_strChoices; }
    BOOL GetIncludeChoiceList() const { return IsIncluded(incChoiceList); }
    CGXStyle& SetIncludeChoiceList(BOOL b);

    // ---- user attributes ----
    // The attribute, or one shared empty attribute (never null).
    const CGXAbstractUserAttribute& GetUserAttribute(WORD nId) const;
    BOOL HasUserAttribute(WORD nId) const;
    // Takes ownership of pAttribute.
    CGXStyle& SetUserAttributePtr(WORD nId, CGXAbstractUserAttribute* pAttribute);
    CGXStyle& SetUserAttribute(WORD nId, LPCTSTR pszValue);
    CGXStyle& SetUserAttribute(WORD nId, const CGXAbstractUserAttribute& attribute) { return SetUserAttributePtr(nId, attribute.Clone()); }
    CGXStyle& SetUserAttributeText(WORD nId, LPCTSTR pszValue) { return SetUserAttribute(nId, pszValue); }
    CGXStyle& IncludeUserAttribute(WORD nId, BOOL b);
    CGXStyle& CopyUserAttributes(const CGXUserAttributeMap* pMap);
    const CGXUserAttributeMap* GetUserAttributeMap() const { return m_pUserAttributes.get(); }
    // Takes ownership of a map (null or empty removes the user attributes).
    CGXStyle& AdoptUserAttributes(CGXUserAttributeMap* pMap);
    BOOL GetIncludeUserAttributes() const { return IsIncluded(incUserAttributes); }

    // One text entry of the style through the profile service.
    void WriteProfile(LPCTSTR pszSection, LPCTSTR pszEntry, LPCTSTR pszValue) const;

private:
    void SetOption(int shift, int width, DWORD value)
    {
        const DWORD mask = ((1u << width) - 1) << shift;
        m_dwOptions = (m_dwOptions & ~mask) | ((value << shift) & mask);
    }
    std::array<CGXPackedPen, 4>& Borders();
    void TakeBordersFrom(const CGXStyle& src);

    DWORD m_dwInclude = 0;
    WORD m_nMaxLength = 0;
    CGXPackedBrush m_brushInterior;
    WORD m_nControl = 0;
    DWORD m_dwOptions = 0;
    DWORD m_dwColor = 0;
    DWORD m_dwNumber = 0;
    std::unique_ptr<std::array<CGXPackedPen, 4>> m_pBorders;
    std::unique_ptr<CGXFont> m_pFont;
    CString m_strValue;
    CString m_strChoices;
    std::unique_ptr<CGXUserAttributeMap> m_pUserAttributes;
    DWORD_PTR m_dwItemData = 0;
};

// Reads one archived style pointer (null allowed); throws bad class for any other object.
void ArchiveExtractStyle(CArchive& ar, CGXStyle*& pStyle);
