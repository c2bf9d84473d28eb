#include "grid/core/gxserial.h"

#include <cassert>
#include <cstring>
#include <memory>
#include <type_traits>

#include "grid/core/gxcolor.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "platform/base/CArchive.h"

namespace {

// Base styles of a map being loaded may name styles that come later in the file; their
// references are settled once every entry is in.
struct PendingBaseRef {
    CGXStyle* pStyle;
    DWORD nResourceId;
    CString sName;
};
thread_local std::vector<PendingBaseRef>* t_pPendingBaseRefs = nullptr;
} // namespace

namespace {
[[noreturn]] void BadSchema() { AfxThrowArchiveException(CArchiveException::badSchema); }
BYTE ReadByte(CArchive& ar) { BYTE b; ar >> b; return b; }
WORD ReadWord(CArchive& ar) { WORD w; ar >> w; return w; }
DWORD ReadDWord(CArchive& ar) { DWORD d; ar >> d; return d; }
CString ReadText(CArchive& ar) { CString s; ar >> s; return s; }
} // namespace

// ---- font (version 2; version 1 still read) ----

void CGXStyleSerializeImp::SerializeFont(CGXFont& font, CArchive& ar)
{
    if (ar.IsStoring()) {
        DWORD flags = 0;
        flags |= font.GetIncludeItalic() ? 1 : 0;
        flags |= font.GetIncludeUnderline() ? 2 : 0;
        flags |= font.GetIncludeStrikeOut() ? 4 : 0;
        flags |= font.GetItalic() ? 8 : 0;
        flags |= font.GetUnderline() ? 16 : 0;
        flags |= font.GetStrikeOut() ? 32 : 0;
        flags |= font.GetIncludeWeight() ? 64 : 0;
        flags |= font.GetIncludeSize() ? 128 : 0;
        flags |= font.GetIncludeOrientation() ? 256 : 0;
        flags |= font.GetIncludeFaceName() ? 512 : 0;
        ar << WORD(2) << flags;
        if (flags & 64)
            ar << WORD(font.GetWeight());
        if (flags & 128)
            ar << WORD(font.GetSizeQP() * 10 / 4);
        if (flags & 256)
            ar << WORD(font.GetOrientation());
        if (flags & 512) {
            // The plain face with its character set: "Arial (Greek)" is only a name of this
            // process's table, which another process may never enter.
            const CGXFontNameTable& table = CGXFontNameTable::Instance();
            const GXFontNameEntry* e = table.GetEntry(font.GetFaceNameIndex());
            ar << table.GetPlainFaceName(font.GetFaceNameIndex()) << BYTE(e ? e->nCharSet : 0)
               << BYTE(e ? e->nPitchAndFamily : 0);
        }
        return;
    }
    font.Reset();
    const WORD version = ReadWord(ar);
    if (version > 2 || version == 0)
        BadSchema();
    if (version == 1) {
        LOGFONT lf {};
        lf.lfHeight = LONG(ReadDWord(ar));
        lf.lfWeight = LONG(ReadDWord(ar));
        lf.lfItalic = ReadByte(ar);
        lf.lfUnderline = ReadByte(ar);
        lf.lfStrikeOut = ReadByte(ar);
        const CString face = ReadText(ar);
        const CString cut = face.Left(LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, LPCTSTR(cut), size_t(cut.GetLength()));
        const DWORD inc = ReadDWord(ar);
        if (inc & 64)
            lf.lfOrientation = LONG(ReadDWord(ar));
        font.SetFromLogFont(lf);
        if (!(inc & 1)) font.IncludeWeight(FALSE);
        if (!(inc & 2)) font.IncludeItalic(FALSE);
        if (!(inc & 4)) font.IncludeUnderline(FALSE);
        if (!(inc & 8)) font.IncludeStrikeOut(FALSE);
        if (!(inc & 16)) font.IncludeSize(FALSE);
        if (!(inc & 32)) font.IncludeFaceName(FALSE);
        if (!(inc & 64)) font.IncludeOrientation(FALSE);
        return;
    }
    const DWORD flags = ReadDWord(ar);
    if (flags & 1) font.SetItalic((flags & 8) != 0);
    if (flags & 2) font.SetUnderline((flags & 16) != 0);
    if (flags & 4) font.SetStrikeOut((flags & 32) != 0);
    if (flags & 64) font.SetWeight(ReadWord(ar));
    if (flags & 128) font.SetSize(ReadWord(ar) * 4 / 10 / 4.0);
    if (flags & 256) font.SetOrientation(ReadWord(ar));
    if (flags & 512) {
        const CString face = ReadText(ar);
        const BYTE charSet = ReadByte(ar);
        const BYTE pitch = ReadByte(ar);
        font.SetFaceNameIndex(CGXFontNameTable::Instance().RegisterFaceForCharSet(face, pitch, charSet));
    }
}

// ---- brush and pen ----

// The stored fill kind counts 1 for solid and 0 for hollow, the brush style the other way
// round; hatch and pattern agree.
DWORD GXFillKindOfBrushStyle(UINT nStyle)
{
    return nStyle == GX_BS_SOLID ? 1 : nStyle == GX_BS_HOLLOW ? 0 : nStyle;
}

UINT GXBrushStyleOfFillKind(DWORD nKind) { return UINT(GXFillKindOfBrushStyle(UINT(nKind & 3))); }

void CGXStyleSerializeImp::SerializeBrush(CArchive& ar, CGXPackedBrush& brush)
{
    if (ar.IsStoring()) {
        ar << GXFillKindOfBrushStyle(brush.GetStyle()) << DWORD(brush.GetColor()) << DWORD(brush.GetHatch())
           << DWORD(brush.GetPattern()) << DWORD(brush.GetBackColor());
        return;
    }
    const DWORD style = GXBrushStyleOfFillKind(ReadDWord(ar)), fg = ReadDWord(ar), hatch = ReadDWord(ar), pattern = ReadDWord(ar),
                bg = ReadDWord(ar);
    brush.SetColor(fg);
    brush.SetBackColor(bg);
    brush.SetHatch(hatch);
    brush.SetPattern(pattern);
    // There are 41 patterns; a larger number cannot be drawn as a pattern.
    brush.SetStyle(style == GX_BS_PATTERN && (pattern & 63) >= 41 ? GX_BS_SOLID : style);
}

void CGXStyleSerializeImp::SerializePen(CArchive& ar, CGXPackedPen& pen)
{
    if (ar.IsStoring()) {
        ar << DWORD(pen.GetStyle()) << WORD(pen.GetWidth()) << WORD(pen.GetInclude() ? 1 : 0) << DWORD(pen.GetColor());
        return;
    }
    const DWORD style = ReadDWord(ar);
    const WORD width = ReadWord(ar), set = ReadWord(ar);
    const DWORD color = ReadDWord(ar);
    pen.SetColor(color);
    pen.SetWidth(width);
    pen.SetStyle(set ? style : 7);
}

// ---- style (version 6; versions 1-5 still read) ----

void CGXStyleSerializeImp::SerializeStyle(CGXStyle& s, CArchive& ar, const CGXStylesMap* pMap)
{
    if (!pMap)
        pMap = GXStylesMapOfArchive(ar);
    using S = CGXStyle;
    if (ar.IsStoring()) {
        const DWORD mask = s.GetIncludeMask();
        ar << WORD(6) << mask;
        if (mask & S::incHorzAlign) ar << DWORD(s.GetHorizontalAlignment());
        if (mask & S::incVertAlign) ar << DWORD(s.GetVerticalAlignment());
        if (mask & S::incReadOnly) ar << BYTE(s.GetReadOnly());
        if (mask & S::incControl) ar << DWORD(s.GetControl());
        if (mask & S::incInterior) SerializeBrush(ar, const_cast<CGXPackedBrush&>(s.GetInterior()));
        if (mask & S::incTextColor)
            ar << DWORD(s.GetTextColorKind() == gxColorSystem ? s.ResolveTextColor() & 0xFFFFFF : s.GetTextColor());
        if (mask & S::incWrapText) ar << BYTE(s.GetWrapText());
        if (mask & S::incAllowEnter) ar << BYTE(s.GetAllowEnter());
        if (mask & S::incFont) ar.WriteObject(s.GetFontPtr());
        if (mask & S::incValue) ar << s.GetValue();
        if (mask & S::incChoiceList) ar << s.GetChoiceList();
        if (mask & S::incVertScroll) ar << BYTE(s.GetVerticalScrollBar());
        if (mask & S::incMaxLength) ar << WORD(s.GetMaxLength());
        if (mask & S::incEnabled) ar << BYTE(s.GetEnabled());
        if (mask & S::incTriState) ar << BYTE(s.GetTriState());
        if (mask & S::incDraw3dFrame) ar << BYTE(s.GetDraw3dFrame());
        if (mask & S::incAutoSize) ar << BYTE(s.GetAutoSize());
        if (mask & S::incBorders) {
            ar << WORD(1);
            for (int i = 0; i < 4; i++) {
                const CGXPackedPen& pen = s.GetBorders(i);
                if (pen.GetInclude())
                    ar << WORD(1) << pen.ToString();
                else
                    ar << WORD(0);
            }
        } else {
            ar << WORD(0);
        }
        if (mask & S::incBaseStyle) {
            UINT res = 0;
            LPCTSTR name = pMap ? pMap->LookupStyleName(s.GetBaseStyle(), res) : nullptr;
            ar << DWORD(res);
            if (res == 0)
                ar << CString(name);
        }
        const CGXUserAttributeMap* ua = s.GetUserAttributeMap();
        ar.WriteObject(ua && !ua->IsEmpty() ? ua : nullptr);
        if (s.IsIncluded(S::incFloatCell)) ar << BYTE(s.GetFloatCell());
        if (s.IsIncluded(S::incFloodCell)) ar << BYTE(s.GetFloodCell());
        if (s.IsIncluded(S::incMergeCell)) ar << BYTE(s.GetMergeCell());
        if (s.IsIncluded(S::incItemData)) ar << DWORD(s.GetItemDataPtr());
        if (s.IsIncluded(S::incFormat)) ar << BYTE(s.GetFormat());
        if (s.IsIncluded(S::incPlaces)) ar << BYTE(s.GetPlaces());
        if (s.IsIncluded(S::incValue)) ar << BYTE(s.GetValueType());
        return;
    }

    s.FreeParts();
    const WORD version = ReadWord(ar);
    if (version == 0 || version > 6)
        BadSchema();
    const DWORD mask = ReadDWord(ar);
    CGXStyle& t = s;
    if (mask & S::incHorzAlign) t.SetHorizontalAlignment(ReadDWord(ar));
    if (mask & S::incVertAlign) t.SetVerticalAlignment(ReadDWord(ar));
    if (mask & S::incReadOnly) t.SetReadOnly(ReadByte(ar) != 0);
    if (mask & S::incControl) t.SetControl(WORD(ReadDWord(ar)));
    if (mask & S::incInterior) {
        CGXPackedBrush b;
        SerializeBrush(ar, b);
        t.SetInterior(b);
    }
    if (mask & S::incTextColor) t.SetTextColor(ReadDWord(ar));
    if (mask & S::incWrapText) t.SetWrapText(ReadByte(ar) != 0);
    if (mask & S::incAllowEnter) t.SetAllowEnter(ReadByte(ar) != 0);
    if (mask & S::incFont) {
        if (CGXFont* f = GXAdoptObject(CGXFont, ar))
            t.AdoptFont(f);
    }
    if (mask & S::incValue) t.SetValue(ReadText(ar));
    if (mask & S::incChoiceList) t.SetChoiceList(ReadText(ar));
    if (mask & S::incVertScroll) t.SetVerticalScrollBar(ReadByte(ar) != 0);
    if (mask & S::incMaxLength) t.SetMaxLength(ReadWord(ar));
    if (mask & S::incEnabled) t.SetEnabled(ReadByte(ar) != 0);
    if (mask & S::incTriState) t.SetTriState(ReadByte(ar) != 0);
    if (mask & S::incDraw3dFrame) t.SetDraw3dFrame(ReadByte(ar));
    if (mask & S::incAutoSize) t.SetAutoSize(ReadByte(ar) != 0);
    if (ReadWord(ar) == 1) {
        CGXPackedPen pens[4];
        for (auto& pen : pens)
            if (ReadWord(ar) == 1)
                pen.ParseDescription(ReadText(ar));
        t.CopyBorders(pens);
    }
    if (mask & S::incBaseStyle) {
        const DWORD res = ReadDWord(ar);
        WORD id = GX_INVALID_STYLEID;
        CString pendingName;
        if (res == 0) {
            const CString name = ReadText(ar);
            pendingName = name;
            if (pMap)
                id = pMap->LookupStyleIdByName(name);
        } else if (pMap) {
            id = pMap->LookupStyleIdByResource(res);
        }
        // A base style this map does not know is left out rather than taken for "Standard";
        // while a map loads, it may still come later in the file.
        if (id != GX_INVALID_STYLEID)
            t.SetBaseStyle(id);
        else if (t_pPendingBaseRefs)
            t_pPendingBaseRefs->push_back({&t, res, res == 0 ? pendingName : CString()});
    }
    if (version >= 5) {
        if (CGXUserAttributeMap* ua = GXAdoptObject(CGXUserAttributeMap, ar))
            t.AdoptUserAttributes(ua);
    } else {
        CGXAbstractSerializeGW5CompatibleImp* compat = GXGetAppData()->m_pSerializeGW5Imp;
        if (!compat)
            BadSchema();
        compat->ReadUserAttributes(t, ar);
    }
    if (version >= 2) {
        if (mask & CGXStyle::exFloatCell) t.SetFloatCell(ReadByte(ar) != 0);
        if (mask & CGXStyle::exFloodCell) t.SetFloodCell(ReadByte(ar) != 0);
        if (mask & S::incMergeCell) t.SetMergeCell(ReadByte(ar));
    }
    if (version >= 3 && (mask & S::incItemData))
        t.SetItemDataPtr(ReadDWord(ar));
    if (version >= 6) {
        if (mask & S::incFormat) t.SetFormat(ReadByte(ar));
        if (mask & S::incPlaces) t.SetPlaces(ReadByte(ar));
        if (mask & S::incValue) t.SetValueType(ReadByte(ar) & 7);
    } else if (version >= 4) {
        if (mask & S::incFormat) {
            t.SetFormat(ReadByte(ar));
            t.SetPlaces(ReadByte(ar));
        }
        if (mask & S::incValue) t.SetValueType(ReadByte(ar) & 7);
    }
}

void GXInstallStyleSerializeImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pStyleSerializeImp) {
        static CGXStyleSerializeImp s_imp;
        d->m_pStyleSerializeImp = &s_imp;
    }
}

// ---- document records: styles map, cell data, properties, parameter object ----

#include "grid/core/gxdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxparamfields.h"
#include "grid/core/gxprop.h"

namespace {

// Style slots (one pointer each) that the arrays of one stored object may hold together. The
// writer keeps to it as the reader does, so whatever is written loads again, while a damaged
// file cannot make the reader allocate more than this many pointers.
constexpr ULONGLONG kMaxSlotsPerFile = 1u << 24;

struct SlotBudget {
    const CArchive* pArchive;
    ULONGLONG nUsed;
    SlotBudget* pOuter;
};
thread_local SlotBudget* t_pSlotBudget = nullptr;

// Opens the budget of an archive for the outermost record that stores style arrays; records
// nested in it share that budget.
class SlotBudgetScope {
public:
    explicit SlotBudgetScope(const CArchive& ar)
    {
        for (SlotBudget* b = t_pSlotBudget; b; b = b->pOuter)
            if (b->pArchive == &ar)
                return;
        m_budget = {&ar, 0, t_pSlotBudget};
        t_pSlotBudget = &m_budget;
        m_bOwner = true;
    }
    ~SlotBudgetScope()
    {
        if (m_bOwner)
            t_pSlotBudget = m_budget.pOuter;
    }
    SlotBudgetScope(const SlotBudgetScope&) = delete;
    SlotBudgetScope& operator=(const SlotBudgetScope&) = delete;

private:
    SlotBudget m_budget {};
    bool m_bOwner = false;
};

void ChargeSlots(const CArchive& ar, ULONGLONG nSlots)
{
    for (SlotBudget* b = t_pSlotBudget; b; b = b->pOuter) {
        if (b->pArchive != &ar)
            continue;
        b->nUsed += nSlots;
        if (b->nUsed > kMaxSlotsPerFile)
            AfxThrowArchiveException(ar.IsStoring() ? CArchiveException::genericException : CArchiveException::badIndex);
        return;
    }
    assert(!"style arrays are archived inside a slot budget");
}

// Points the archive's document pointer at an object for a scope.
struct DocumentScope {
    CArchive& ar;
    void* pSaved;
    DocumentScope(CArchive& a, CObject* p) : ar(a), pSaved(a.m_pDocument) { ar.m_pDocument = p; }
    ~DocumentScope() { ar.m_pDocument = pSaved; }
};

void ReadStyleArray(CArchive& ar, CGXStylePtrArray& styles)
{
    styles.DeleteAll();
    if (ReadWord(ar) != 1)
        BadSchema();
    const DWORD nSlots = ReadDWord(ar);
    ChargeSlots(ar, nSlots);
    for (;;) {
        const DWORD i = ReadDWord(ar);
        if (i == 0xFFFFFFFF)
            break;
        if (i >= nSlots || styles.GetStyle(INT_PTR(i)))
            AfxThrowArchiveException(CArchiveException::badIndex);
        CGXStyle* s = GXAdoptObject(CGXStyle, ar);
        if (s)
            styles.SetAtGrow(INT_PTR(i), s);
    }
    styles.SetSize(INT_PTR(nSlots));
}

void WriteStyleArray(CArchive& ar, const CGXStylePtrArray& styles)
{
    ChargeSlots(ar, ULONGLONG(styles.GetSize()));
    ar << WORD(1) << DWORD(styles.GetSize());
    for (INT_PTR i = 0; i < styles.GetSize(); i++)
        if (const CGXStyle* s = styles.GetStyle(i)) {
            ar << DWORD(i);
            ar.WriteObject(s);
        }
    ar << DWORD(0xFFFFFFFF);
}

} // namespace

void CGXGridDocSerializeImp::SerializeStylePtrArray(CGXStylePtrArray& styles, CArchive& ar)
{
    SlotBudgetScope budget(ar);
    if (ar.IsStoring())
        WriteStyleArray(ar, styles);
    else
        ReadStyleArray(ar, styles);
}

static void SerializeCellTableInBudget(CGXStylePtrArrayPtrArray& rows, CArchive& ar)
{
    if (ar.IsStoring()) {
        ChargeSlots(ar, ULONGLONG(rows.GetSize()));
        ar << WORD(1) << DWORD(rows.GetSize());
        for (INT_PTR r = 0; r < rows.GetSize(); r++)
            if (const CGXStylePtrArray* row = rows.GetRow(r)) {
                ar << DWORD(r);
                WriteStyleArray(ar, *row);
            }
        ar << DWORD(0xFFFFFFFF);
        return;
    }
    rows.DeleteAll();
    if (ReadWord(ar) != 1)
        BadSchema();
    const DWORD nSlots = ReadDWord(ar);
    ChargeSlots(ar, nSlots);
    for (;;) {
        const DWORD r = ReadDWord(ar);
        if (r == 0xFFFFFFFF)
            break;
        if (r >= nSlots || rows.GetRow(INT_PTR(r)))
            AfxThrowArchiveException(CArchiveException::badIndex);
        auto* row = new CGXStylePtrArray;
        rows.SetAtGrow(INT_PTR(r), row);
        ReadStyleArray(ar, *row);
    }
    rows.SetSize(INT_PTR(nSlots));
}

void CGXGridDocSerializeImp::SerializeCellTable(CGXStylePtrArrayPtrArray& rows, CArchive& ar)
{
    SlotBudgetScope budget(ar);
    SerializeCellTableInBudget(rows, ar);
}

// Styles may stand at any index below their array's size, also beyond the row and column
// counts (a move can put them there); the file's slot budget is the only bound.
void CGXGridDocSerializeImp::SerializeData(CGXData& data, CArchive& ar)
{
    SlotBudgetScope budget(ar);
    if (ar.IsStoring()) {
        ar << WORD(1) << DWORD(data.m_nRows) << DWORD(data.m_nCols);
        SerializeCellTableInBudget(data.m_pStyleMap, ar);
        WriteStyleArray(ar, data.m_apRowBaseStyles);
        WriteStyleArray(ar, data.m_apColBaseStyles);
        return;
    }
    if (ReadWord(ar) != 1)
        BadSchema();
    data.DeleteContents();
    data.m_nRows = ReadDWord(ar);
    data.m_nCols = ReadDWord(ar);
    SerializeCellTableInBudget(data.m_pStyleMap, ar);
    ReadStyleArray(ar, data.m_apRowBaseStyles);
    ReadStyleArray(ar, data.m_apColBaseStyles);
}

void CGXGridDocSerializeImp::SerializeStylesMap(CGXStylesMap& map, CArchive& ar)
{
    CGXAbstractStyleSerializeImp* styleImp = GXGetAppData()->m_pStyleSerializeImp;
    if (!styleImp)
        return;
    if (ar.IsStoring()) {
        ar << WORD(2) << map.m_sSection;
        GXWriteWordCount(ar, map.GetControlNames().size());
        for (const auto& [id, name] : map.GetControlNames())
            ar << DWORD(id) << name;
        GXWriteWordCount(ar, size_t(map.GetStyleCount()));
        for (POSITION pos = map.GetStartPosition(); pos;) {
            CString name;
            WORD id;
            const CGXStyle* s;
            UINT res;
            map.GetNextStyle(pos, name, id, s, res);
            ar << id << name;
        }
        GXWriteWordCount(ar, size_t(map.GetStyleCount()));
        for (POSITION pos = map.GetStartPosition(); pos;) {
            CString name;
            WORD id;
            const CGXStyle* s;
            UINT res;
            map.GetNextStyle(pos, name, id, s, res);
            ar << id << DWORD(res) << name << BYTE(map.LookupEntry(id)->dwFlags);
            styleImp->SerializeStyle(const_cast<CGXStyle&>(*s), ar, &map);
        }
        ar << map.m_nNextId;
        GXWriteWordCount(ar, map.GetUserAttributeMap().size());
        for (const auto& [id, entry] : map.GetUserAttributeMap()) {
            ar << DWORD(id);
            styleImp->SerializeStyle(*entry->pStyle, ar, &map);
        }
        return;
    }

    map.RemoveAll();
    const WORD version = ReadWord(ar);
    if (version == 0 || version > 2)
        BadSchema();
    map.m_sSection = ReadText(ar);
    WORD n = ReadWord(ar);
    ar.CheckCount(n, 5);
    for (WORD i = 0; i < n; i++) {
        const DWORD id = ReadDWord(ar);
        map.SetControlName(id, ReadText(ar));
    }
    n = ReadWord(ar);
    ar.CheckCount(n, 3);
    for (WORD i = 0; i < n; i++) {
        ReadWord(ar);
        ReadText(ar); // the name index is rebuilt from the entries
    }
    n = ReadWord(ar);
    ar.CheckCount(n, 14);
    std::vector<PendingBaseRef> pending;
    std::vector<PendingBaseRef>* pSaved = t_pPendingBaseRefs;
    t_pPendingBaseRefs = &pending;
    try {
        for (WORD i = 0; i < n; i++) {
            const WORD id = ReadWord(ar);
            const DWORD res = ReadDWord(ar);
            CString name = ReadText(ar);
            const BYTE flags = ReadByte(ar);
            if (res != 0 && !name.LoadString(res))
                name.Format("STYLE%u", (unsigned)res);
            std::unique_ptr<CGXStyle> s(map.CreateStyle());
            styleImp->SerializeStyle(*s, ar, &map);
            if (map.LookupEntry(id))
                AfxThrowArchiveException(CArchiveException::badIndex);
            map.RestoreStyleEntry(id, res, name, s.release(), flags);
        }
    } catch (...) {
        t_pPendingBaseRefs = pSaved;
        throw;
    }
    t_pPendingBaseRefs = pSaved;
    for (const PendingBaseRef& p : pending) {
        const WORD id = p.nResourceId ? map.LookupStyleIdByResource(p.nResourceId) : map.LookupStyleIdByName(p.sName);
        if (id != GX_INVALID_STYLEID)
            p.pStyle->SetBaseStyle(id);
    }
    map.m_nNextId = ReadWord(ar);
    if (version >= 2) {
        n = ReadWord(ar);
        ar.CheckCount(n, 8);
        for (WORD i = 0; i < n; i++) {
            const DWORD id = ReadDWord(ar);
            std::unique_ptr<CGXStyle> s(map.CreateStyle());
            styleImp->SerializeStyle(*s, ar, &map);
            CString name;
            if (!name.LoadString(id))
                name.Format("UA%u", (unsigned)id);
            map.RestoreUserAttribute(WORD(id), name, s.release());
        }
    }
    map.UpdateStandardStyleIds();
}

void CGXGridDocSerializeImp::SerializeProperties(CGXProperties& p, CArchive& ar)
{
    SlotBudgetScope budget(ar);
    if (ar.IsStoring()) {
        ar << WORD(4);
        p.m_colors.Serialize(ar);
        CStringArray().Serialize(ar);
        ar << BYTE(p.m_bDisplayVertLines) << BYTE(p.m_bDisplayHorzLines) << BYTE(p.m_b3dButtons)
           << BYTE(p.m_bMarkRowHeader) << BYTE(p.m_bMarkColHeader);
        ar << p.m_sSection << DWORD(p.m_nZoomPrint);
        for (const auto& [id, e] : p.GetUserProperties()) {
            ar << DWORD(id) << e->sName;
            ar.WriteObject(e->pStyle.get());
        }
        ar << DWORD(0);
        ar << DWORD(p.m_bPrintVertLines) << DWORD(p.m_bPrintHorzLines) << DWORD(p.m_nPageOrder)
           << DWORD(p.m_bBlackWhite) << DWORD(p.m_bPrintRowHeaders) << DWORD(p.m_bCenterVertical)
           << DWORD(p.m_bCenterHorizontal) << p.m_nMargins[0] << p.m_nMargins[1] << p.m_nMargins[3]
           << p.m_nMargins[2] << DWORD(p.m_bPrintFrame) << p.m_nDistances[0] << p.m_nDistances[1] << p.m_nFirstPage;
        ar << p.m_wValue1 << p.m_wValue2;
        p.m_awArray1.Serialize(ar);
        p.m_awArray2.Serialize(ar);
        SerializeData(p.GetDataFooter(), ar);
        SerializeData(p.GetDataHeader(), ar);
        ar << DWORD(p.m_bPrintColHeaders);
        return;
    }
    const WORD version = ReadWord(ar);
    if (version == 0 || version > 4)
        BadSchema();
    p.m_colors.Serialize(ar);
    p.m_colors.SetSize(p.m_colorNames.GetSize());
    CStringArray discarded;
    discarded.Serialize(ar);
    p.m_bDisplayVertLines = ReadByte(ar);
    p.m_bDisplayHorzLines = ReadByte(ar);
    p.m_b3dButtons = ReadByte(ar);
    p.m_bMarkRowHeader = ReadByte(ar);
    p.m_bMarkColHeader = ReadByte(ar);
    p.m_sSection = ReadText(ar);
    p.m_nZoomPrint = ReadDWord(ar);
    for (;;) {
        const DWORD id = ReadDWord(ar);
        if (id == 0)
            break;
        const CString name = ReadText(ar);
        CGXStyle* s = GXAdoptObject(CGXStyle, ar);
        auto& props = p.GetUserProperties();
        auto it = props.find(WORD(id));
        if (it != props.end()) {
            // Only a style made here may go; one read from this file may still be named by it.
            if (it->second->pStyle && it->second->pStyle->m_bAdoptedFromArchive)
                AfxThrowArchiveException(CArchiveException::badIndex);
            it->second->pStyle.reset(s);
        } else {
            p.RestoreUserProperty(WORD(id), name, s);
        }
    }
    p.m_bPrintVertLines = ReadDWord(ar);
    p.m_bPrintHorzLines = ReadDWord(ar);
    p.m_nPageOrder = ReadDWord(ar);
    p.m_bBlackWhite = ReadDWord(ar);
    p.m_bPrintRowHeaders = ReadDWord(ar);
    p.m_bCenterVertical = ReadDWord(ar);
    p.m_bCenterHorizontal = ReadDWord(ar);
    p.m_nMargins[0] = LONG(ReadDWord(ar));
    p.m_nMargins[1] = LONG(ReadDWord(ar));
    p.m_nMargins[3] = LONG(ReadDWord(ar));
    p.m_nMargins[2] = LONG(ReadDWord(ar));
    p.m_bPrintFrame = ReadDWord(ar);
    p.m_nDistances[0] = LONG(ReadDWord(ar));
    p.m_nDistances[1] = LONG(ReadDWord(ar));
    p.m_nFirstPage = LONG(ReadDWord(ar));
    p.m_wValue1 = ReadWord(ar);
    p.m_wValue2 = ReadWord(ar);
    if (version >= 3) {
        p.m_awArray1.Serialize(ar);
        p.m_awArray2.Serialize(ar);
    }
    SerializeData(p.GetDataFooter(), ar);
    SerializeData(p.GetDataHeader(), ar);
    if (version == 2 || version == 4)
        p.m_bPrintColHeaders = ReadDWord(ar);
}

namespace {
void Flag(CArchive& ar, DWORD& member, bool bStoring)
{
    if (bStoring)
        ar << BYTE(member);
    else
        member = ReadByte(ar);
}

// One scalar of the parameter record in its stored width.
template <class T>
void ArchiveScalar(CArchive& ar, GXParamWidth width, T& member)
{
    const bool st = ar.IsStoring();
    if constexpr (std::is_same_v<T, CString>) {
        if (st) ar << member; else member = ReadText(ar);
    } else {
        switch (width) {
        case GXParamWidth::Flag:
            if (st) ar << BYTE(member); else member = T(ReadByte(ar));
            break;
        case GXParamWidth::Word:
        case GXParamWidth::WordOf32:
            if (st) ar << WORD(member); else member = T(ReadWord(ar));
            break;
        case GXParamWidth::DWord:
        case GXParamWidth::Text:
            if (st) ar << DWORD(member); else member = T(ReadDWord(ar));
            break;
        }
    }
}
} // namespace

void CGXGridDocSerializeImp::SerializeParam(CGXGridParam& g, CArchive& ar)
{
    SlotBudgetScope budget(ar);
    const bool st = ar.IsStoring();
    WORD version = 10;
    if (st) {
        ar << version;
    } else {
        version = ReadWord(ar);
        if (version == 0 || version > 10)
            BadSchema();
        if (g.m_bOwnStylesMap) g.SetStylesMap(nullptr, FALSE);
        if (g.m_bOwnData) g.SetData(nullptr, FALSE);
        if (g.m_bOwnProperties) g.SetProperties(nullptr, FALSE);
        if (g.m_bOwnPD) g.SetPrintDevice(nullptr, FALSE);
    }
    auto scalar = [&](GXParamWidth width, auto CGXGridParam::*pm) { ArchiveScalar(ar, width, g.*pm); };
    GXForEachParamHeadScalar(scalar);
    DWORD ownData = g.m_bOwnData, ownPD = g.m_bOwnPD, ownProps = g.m_bOwnProperties, ownMap = g.m_bOwnStylesMap;
    Flag(ar, ownData, st);
    Flag(ar, ownPD, st);
    Flag(ar, ownProps, st);
    Flag(ar, ownMap, st);
    GXForEachParamMiddleScalar(scalar);

    if (st) {
        {
            DocumentScope doc(ar, g.m_pStylesMap);
            if (ownMap) ar.WriteObject(g.m_pStylesMap);
            if (ownData) ar.WriteObject(g.m_pData);
            if (ownProps) ar.WriteObject(g.m_pProperties);
        }
        if (ownPD) ar.WriteObject(g.m_pPD);
    } else {
        if (ownMap)
            g.SetStylesMap(GXAdoptObject(CGXStylesMap, ar), TRUE);
        DocumentScope doc(ar, g.m_pStylesMap);
        if (ownData)
            g.SetData(GXAdoptObject(CGXData, ar), TRUE);
        if (ownProps)
            g.SetProperties(GXAdoptObject(CGXProperties, ar), TRUE);
        if (ownPD)
            g.SetPrintDevice(GXAdoptObject(CGXPrintDevice, ar), TRUE);
    }

    if (!st) {
        g.m_SelRects.DeleteAll();
        g.m_CoveredCellsList.DeleteAll();
    }
    g.m_SelRects.Serialize(ar);
    g.m_CoveredCellsList.Serialize(ar);
    if (!st)
        g.RebuildCoveredCellPool();
    g.m_RowHeights.Serialize(ar);
    g.m_ColWidths.Serialize(ar);
    if (!st) {
        g.m_abHiddenRows.RemoveAll();
        g.m_abHiddenCols.RemoveAll();
    }
    g.m_abHiddenRows.Serialize(ar);
    g.m_abHiddenCols.Serialize(ar);

    auto object = [&](int slot) {
        if (st) {
            ar.WriteObject(g.GetFeatureObject(slot));
            return;
        }
        // Each slot holds its own class; another class (or any object while the pools'
        // feature is missing) refuses the file instead of landing where a pool is expected.
        const CGXLibraryData* d = GXGetAppData();
        const bool bDelayed = slot == CGXGridParam::nFloatDelayed || slot == CGXGridParam::nMergeDelayed
            || slot == CGXGridParam::nFloatPrintDelayed;
        const CRuntimeClass* pClass = bDelayed
            ? (d->m_pDelayedRangePoolImp ? d->m_pDelayedRangePoolImp->GetPoolClass() : nullptr)
            : (d->m_pSpanCellPoolImp ? d->m_pSpanCellPoolImp->GetPoolClass() : nullptr);
        CObject* p = ar.ReadObject(pClass ? pClass : RUNTIME_CLASS(CGXGridParam));
        if (p) {
            // The same stored object may have only one owner; a reference back to one that has
            // an owner (this record itself included) is refused before anything frees it.
            auto* a = dynamic_cast<GXArchiveAdoptable*>(p);
            bool taken = (a && a->m_bAdoptedFromArchive) || p == &g;
            for (int i = 0; i < CGXGridParam::nFeatureObjects; i++)
                taken = taken || g.GetFeatureObject(i) == p;
            if (taken)
                AfxThrowArchiveException(CArchiveException::badIndex);
            if (!pClass) {
                delete p;
                AfxThrowArchiveException(CArchiveException::badClass);
            }
            if (a)
                a->m_bAdoptedFromArchive = true;
        }
        g.SetFeatureObject(slot, p);
    };
    GXForEachParamTailScalar(version, scalar, object);

    // Spans of a version-6 record are recomputed: each kind with a queue drops its spans and
    // queues every cell.
    const CGXLibraryData* d = GXGetAppData();
    if (!st && version == 6 && d->m_pDelayedRangePoolImp && d->m_pSpanCellPoolImp) {
        const int kinds[2][3] = {{CGXGridParam::nFloatDelayed, CGXGridParam::nFloatSpans, -1},
                                 {CGXGridParam::nMergeDelayed, CGXGridParam::nMergeSpans1, CGXGridParam::nMergeSpans2}};
        for (const auto& kind : kinds) {
            if (!g.GetFeatureObject(kind[0]))
                continue;
            d->m_pDelayedRangePoolImp->QueueWholeTable(g.GetFeatureObject(kind[0]));
            for (int i = 1; i < 3; ++i)
                if (kind[i] >= 0 && g.GetFeatureObject(kind[i]))
                    d->m_pSpanCellPoolImp->EmptyPool(g.GetFeatureObject(kind[i]));
        }
    }
}

void GXInstallDocSerializeImp()
{
    GXInstallStyleSerializeImp();
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pDocSerializeImp) {
        static CGXGridDocSerializeImp s_imp;
        d->m_pDocSerializeImp = &s_imp;
    }
}
