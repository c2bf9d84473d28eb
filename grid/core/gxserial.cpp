#include "grid/core/gxserial.h"

#include <cstring>
#include <memory>

#include "grid/core/gxcolor.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "platform/base/CArchive.h"

namespace {
[[noreturn]] void BadSchema() { AfxThrowArchiveException(CArchiveException::badSchema); }
BYTE ReadByte(CArchive& ar) { BYTE b; ar >> b; return b; }
WORD ReadWord(CArchive& ar) { WORD w; ar >> w; return w; }
DWORD ReadDWord(CArchive& ar) { DWORD d; ar >> d; return d; }
CString ReadText(CArchive& ar) { CString s; ar >> s; return s; }
} // namespace

const CGXStylesMap* GXStylesMapOfArchive(const CArchive& ar)
{
    return dynamic_cast<const CGXStylesMap*>(static_cast<const CObject*>(ar.m_pDocument));
}

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
            const GXFontNameEntry* e = CGXFontNameTable::Instance().GetEntry(font.GetFaceNameIndex());
            ar << font.GetFaceName() << BYTE(e ? e->nCharSet : 0) << BYTE(e ? e->nPitchAndFamily : 0);
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
        font.SetFaceNameIndex(CGXFontNameTable::Instance().RegisterFontFaceName(face, pitch, charSet));
    }
}

// ---- brush and pen ----

void CGXStyleSerializeImp::SerializeBrush(CArchive& ar, CGXPackedBrush& brush)
{
    if (ar.IsStoring()) {
        ar << DWORD(brush.GetStyle()) << DWORD(brush.GetColor()) << DWORD(brush.GetHatch())
           << DWORD(brush.GetPattern()) << DWORD(brush.GetBackColor());
        return;
    }
    const DWORD style = ReadDWord(ar), fg = ReadDWord(ar), hatch = ReadDWord(ar), pattern = ReadDWord(ar),
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
        std::unique_ptr<CObject> f(ar.ReadObject(RUNTIME_CLASS(CGXFont)));
        if (f)
            t.ChangeFont(*static_cast<CGXFont*>(f.get()), gxCopy);
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
        if (res == 0) {
            const CString name = ReadText(ar);
            if (pMap)
                id = pMap->LookupStyleIdByName(name);
        } else if (pMap) {
            id = pMap->LookupStyleIdByResource(res);
        }
        // A base style this map does not know is left out rather than taken for "Standard".
        if (id != GX_INVALID_STYLEID)
            t.SetBaseStyle(id);
    }
    if (version >= 5) {
        std::unique_ptr<CObject> ua(ar.ReadObject(RUNTIME_CLASS(CGXUserAttributeMap)));
        if (ua)
            t.CopyUserAttributes(static_cast<CGXUserAttributeMap*>(ua.get()));
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
