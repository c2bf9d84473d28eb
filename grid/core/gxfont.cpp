#include "grid/core/gxfont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

#include "grid/core/gxcolor.h"
#include "grid/core/gxstate.h"
#include "platform/base/CArchive.h"

// ---- helpers ----

int GXScanNumbers(LPCTSTR psz, long long* pValues, int nMax)
{
    int n = 0;
    if (!psz)
        return 0;
    const char* p = psz;
    while (n < nMax) {
        while (*p == ' ' || *p == '\t')
            p++;
        bool neg = false;
        if (*p == '-' || *p == '+')
            neg = *p++ == '-';
        if (*p < '0' || *p > '9')
            break;
        long long v = 0;
        while (*p >= '0' && *p <= '9') {
            if (v < 0x100000000LL)
                v = v * 10 + (*p - '0');
            p++;
        }
        v = neg ? -v : v;
        pValues[n++] = std::clamp<long long>(v, INT32_MIN, UINT32_MAX);
        if (*p != ' ' && *p != '\t' && *p != 0)
            break;
    }
    return n;
}

// Copies at most nMax - 1 bytes of src, never splitting a UTF-8 character, and terminates.
static size_t CopyName(char* dst, size_t nMax, const char* src)
{
    size_t n = std::strlen(src);
    if (n > nMax - 1) {
        n = nMax - 1;
        while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80)
            n--;
    }
    std::memcpy(dst, src, n);
    dst[n] = 0;
    return n;
}

// ---- face-name table ----

CGXFontNameTable::CGXFontNameTable()
{
    // The script names fonts report for the common character sets.
    static const struct { BYTE cs; const char* name; } scripts[] = {
        {0, "Western"}, {2, "Symbol"}, {77, "Mac"}, {128, "Japanese"}, {129, "Hangul"},
        {134, "CHINESE_GB2312"}, {136, "CHINESE_BIG5"}, {161, "Greek"}, {162, "Turkish"},
        {163, "Vietnamese"}, {177, "Hebrew"}, {178, "Arabic"}, {186, "Baltic"},
        {204, "Cyrillic"}, {222, "Thai"}, {238, "Central European"}, {255, "OEM/DOS"},
    };
    for (const auto& s : scripts)
        SetScriptName(s.cs, s.name);
    EnumerateDisplayFonts();
    RegisterFontFaceName("Arial");
}

int CGXFontNameTable::CALLBACK_EnumFont(const LOGFONT* plf, const TEXTMETRIC*, DWORD nFontType, LPARAM lParam)
{
    auto* self = reinterpret_cast<CGXFontNameTable*>(lParam);
    if (self->m_enumerated.size() >= 256 * 256)
        return 0;
    const auto* elf = reinterpret_cast<const ENUMLOGFONTEX*>(plf);
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, plf->lfFaceName, LF_FACESIZE);
    char script[LF_FACESIZE + 1] = {};
    std::memcpy(script, elf->elfScript, LF_FACESIZE);
    if (!face[0])
        return 1;
    auto add = [&](const char* name, BYTE nameLength, DWORD extra) {
        auto e = std::make_unique<GXFontNameEntry>();
        CopyName(e->szName, sizeof(e->szName), name);
        e->nNameLength = nameLength;
        e->nPitchAndFamily = plf->lfPitchAndFamily;
        e->nCharSet = plf->lfCharSet;
        e->dwFlags = 1023 | ((nFontType & 7) << 10) | (1u << 13) | extra;
        self->m_enumerated.push_back(e.release());
    };
    if (self->m_sLastFace != face) {
        add(face, 0, 1u << 14);
        self->m_sLastFace = face;
    }
    self->SetScriptName(plf->lfCharSet, script);
    CString both;
    both.Format("%s (%s)", face, script);
    add(both, BYTE(std::min<size_t>(std::strlen(face), GXFontNameEntry::nNameSize - 1)), 0);
    return 1;
}

void CGXFontNameTable::EnumerateDisplayFonts()
{
    HDC hdc = CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    if (!hdc)
        return;
    LOGFONT lf {};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (EnumFontFamiliesEx(hdc, &lf, CALLBACK_EnumFont, reinterpret_cast<LPARAM>(this), 0) == 0 && m_enumerated.empty())
        EnumFontFamilies(hdc, nullptr, CALLBACK_EnumFont, reinterpret_cast<LPARAM>(this));
    std::stable_sort(m_enumerated.begin(), m_enumerated.end(),
                     [](const GXFontNameEntry* a, const GXFontNameEntry* b) { return std::strcmp(a->szName, b->szName) < 0; });
    // Equal names (a family reported twice) would make lookups ambiguous: keep the first.
    std::vector<GXFontNameEntry*> unique;
    for (GXFontNameEntry* e : m_enumerated) {
        if (!unique.empty() && std::strcmp(unique.back()->szName, e->szName) == 0)
            delete e;
        else
            unique.push_back(e);
    }
    m_enumerated.swap(unique);
    if (int y = GetDeviceCaps(hdc, LOGPIXELSY))
        m_nLogPixelsY = y;
    if (int x = GetDeviceCaps(hdc, LOGPIXELSX))
        m_nLogPixelsX = x;
    DeleteDC(hdc);
}

CGXFontNameTable::~CGXFontNameTable()
{
    for (GXFontNameEntry* e : m_enumerated)
        delete e;
    for (GXFontNameEntry* e : m_added)
        delete e;
}

CGXFontNameTable& CGXFontNameTable::Instance()
{
    static CGXFontNameTable s_table;
    return s_table;
}

void CGXFontNameTable::SetScriptName(BYTE nCharSet, LPCTSTR pszScript)
{
    CopyName(m_szScripts[nCharSet], sizeof(m_szScripts[nCharSet]), pszScript ? pszScript : "");
}

static bool EntryLess(const GXFontNameEntry* e, const char* name) { return std::strcmp(e->szName, name) < 0; }

GXFontNameEntry* CGXFontNameTable::Find(const char* pszName) const
{
    for (const auto* arr : {&m_enumerated, &m_added}) {
        auto it = std::lower_bound(arr->begin(), arr->end(), pszName, EntryLess);
        if (it != arr->end() && std::strcmp((*it)->szName, pszName) == 0)
            return *it;
    }
    return nullptr;
}

UINT CGXFontNameTable::RegisterFontFaceName(LPCTSTR pszName, BYTE nPitchAndFamily, BYTE nCharSet, BYTE nNameLength)
{
    if (!pszName || !*pszName)
        return nNoIndex;
    // Names are kept cut to their slot; look up the cut form so a long name finds itself again.
    char name[GXFontNameEntry::nNameSize];
    const size_t len = CopyName(name, sizeof(name), pszName);
    GXFontNameEntry* e = Find(name);
    if (!e) {
        if (m_index.size() > nMaxIndexes - 1)
            return nNoIndex;
        auto owned = std::make_unique<GXFontNameEntry>();
        std::memcpy(owned->szName, name, len + 1);
        owned->nNameLength = BYTE(std::min<size_t>(nNameLength, len));
        owned->nPitchAndFamily = nPitchAndFamily;
        owned->nCharSet = nCharSet;
        e = owned.get();
        auto it = std::lower_bound(m_added.begin(), m_added.end(), name, EntryLess);
        m_added.insert(it, owned.release());
    }
    if (e->GetIndex() == nNoIndex && m_index.size() < nMaxIndexes) {
        e->dwFlags = (e->dwFlags & ~1023u) | DWORD(m_index.size());
        m_index.push_back(e);
    }
    return e->GetIndex();
}

UINT CGXFontNameTable::RegisterFaceForCharSet(LPCTSTR pszFace, BYTE nPitchAndFamily, BYTE nCharSet)
{
    if (!pszFace || !*pszFace)
        return nNoIndex;
    if (nCharSet == ANSI_CHARSET || nCharSet == DEFAULT_CHARSET)
        return RegisterFontFaceName(pszFace, nPitchAndFamily, nCharSet);
    std::string face(pszFace);
    const std::string suffix = std::string(" (") + GetScriptName(nCharSet) + ")";
    if (face.size() > suffix.size() && face.compare(face.size() - suffix.size(), suffix.size(), suffix) == 0)
        face.resize(face.size() - suffix.size());
    CString name;
    name.Format("%s%s", face.c_str(), suffix.c_str());
    return RegisterFontFaceName(name, nPitchAndFamily, nCharSet, BYTE(std::min<size_t>(face.size(), 255)));
}

CString CGXFontNameTable::GetPlainFaceName(UINT nIndex) const
{
    const GXFontNameEntry* e = GetEntry(nIndex);
    if (!e)
        return CString();
    const size_t len = std::strlen(e->szName);
    return e->nNameLength && e->nNameLength < len ? CString(e->szName, int(e->nNameLength)) : CString(e->szName);
}

const GXFontNameEntry* CGXFontNameTable::GetEntry(UINT nIndex) const
{
    return nIndex < m_index.size() ? m_index[nIndex] : nullptr;
}

LPCTSTR CGXFontNameTable::GetFontFaceName(UINT nIndex) const
{
    const GXFontNameEntry* e = GetEntry(nIndex);
    return e ? e->szName : "";
}

BYTE CGXFontNameTable::GetCharSet(UINT nIndex) const
{
    const GXFontNameEntry* e = GetEntry(nIndex);
    return e ? e->nCharSet : 0;
}

// ---- shared LOGFONT data ----

namespace {
struct FontData {
    long nRefs = 0;
    LOGFONT lf {};
    bool bBuilt = false;
};
std::unordered_map<ULONGLONG, FontData>& FontDataMap()
{
    // Never destroyed: fonts in static objects may drop their references after it would be.
    static auto* s_map = new std::unordered_map<ULONGLONG, FontData>(1001);
    return *s_map;
}
} // namespace

size_t CGXFont::GetFontDataCount() { return FontDataMap().size(); }

void CGXFont::ReleaseFontData()
{
    if (!(m_w1 & 1))
        return;
    auto& map = FontDataMap();
    auto it = map.find(AttributeValue());
    m_w1 &= ~1u;
    if (it != map.end() && --it->second.nRefs <= 0)
        map.erase(it);
}

const LOGFONT& CGXFont::GetLogFont() const
{
    auto& map = FontDataMap();
    FontData& d = map[AttributeValue()];
    if (!(m_w1 & 1)) {
        d.nRefs++;
        m_w1 |= 1;
    }
    if (!d.bBuilt) {
        LOGFONT& lf = d.lf;
        lf = LOGFONT {};
        if (GetIncludeItalic())
            lf.lfItalic = BYTE(GetItalic());
        if (GetIncludeUnderline())
            lf.lfUnderline = BYTE(GetUnderline());
        if (GetIncludeStrikeOut())
            lf.lfStrikeOut = BYTE(GetStrikeOut());
        if (GetIncludeSize())
            lf.lfHeight = -MulDiv(int(GetSizeQP()), CGXFontNameTable::Instance().m_nLogPixelsY, 288);
        if (GetIncludeWeight())
            lf.lfWeight = LONG(GetWeightCode() * 100);
        if (GetIncludeOrientation())
            lf.lfEscapement = lf.lfOrientation = LONG(GetOrientationDeg() * 10);
        if (const GXFontNameEntry* e = CGXFontNameTable::Instance().GetEntry(GetFaceNameIndex())) {
            size_t n = e->nNameLength ? e->nNameLength : std::strlen(e->szName);
            char plain[GXFontNameEntry::nNameSize];
            std::memcpy(plain, e->szName, n);
            plain[n] = 0;
            CopyName(lf.lfFaceName, LF_FACESIZE, plain);
            lf.lfPitchAndFamily = BYTE(e->nPitchAndFamily | (lf.lfOrientation > 0 ? 4 : 0));
            lf.lfCharSet = e->nCharSet;
        }
        d.bBuilt = true;
    }
    return d.lf;
}

LOGFONT CGXFont::GetLogFontZoomed(int nZoom) const
{
    LOGFONT lf = GetLogFont();
    lf.lfHeight = LONG((long long)lf.lfHeight * nZoom / 100);
    return lf;
}

// ---- font part ----

IMPLEMENT_SERIAL(CGXFont, CObject, 0)

CGXFont::CGXFont() { Reset(); }

CGXFont::CGXFont(const CGXFont& other) : CObject(), GXArchiveAdoptable()
{
    m_w1 = other.m_w1 & ~1u;
    m_w2 = other.m_w2;
    if (other.m_w1 & 1)
        GetLogFont(); // takes its own reference
}

CGXFont::CGXFont(LPCTSTR pszDescription) { ParseDescription(pszDescription); }
CGXFont::CGXFont(const LOGFONT& lf) { Reset(); SetFromLogFont(lf); }
CGXFont::~CGXFont() { ReleaseFontData(); }

CGXFont& CGXFont::Reset()
{
    ReleaseFontData();
    m_w1 = (15u << 4) | (511u << 21);
    m_w2 = 1023;
    return *this;
}

CGXFont& CGXFont::Assign(const CGXFont& other)
{
    if (this == &other || AttributeValue() == other.AttributeValue())
        return *this;
    ReleaseFontData();
    m_w1 = other.m_w1 & ~1u;
    m_w2 = other.m_w2;
    if (other.m_w1 & 1)
        GetLogFont();
    return *this;
}

CGXFont& CGXFont::SetSize(double points)
{
    ReleaseFontData();
    double qp = std::isfinite(points) ? points * 4 : 0;
    SetBits(m_w1, 8, 10, DWORD(std::clamp(qp, 0.0, 1023.0)));
    return *this;
}

CGXFont& CGXFont::IncludeSize(BOOL b)
{
    if (!b) {
        ReleaseFontData();
        SetBits(m_w1, 8, 10, 0);
    }
    return *this;
}

CGXFont& CGXFont::SetWeight(LONG weight)
{
    ReleaseFontData();
    SetBits(m_w1, 4, 4, (DWORD(weight) / 100) & 0xF);
    return *this;
}

CGXFont& CGXFont::IncludeWeight(BOOL b)
{
    if (!b) {
        ReleaseFontData();
        SetBits(m_w1, 4, 4, 15);
    }
    return *this;
}

CGXFont& CGXFont::SetItalic(BOOL b) { ReleaseFontData(); SetBits(m_w1, 18, 1, b ? 1 : 0); SetBits(m_w1, 1, 1, 1); return *this; }
CGXFont& CGXFont::IncludeItalic(BOOL b) { ReleaseFontData(); SetBits(m_w1, 1, 1, b ? 1 : 0); return *this; }
CGXFont& CGXFont::SetUnderline(BOOL b) { ReleaseFontData(); SetBits(m_w1, 19, 1, b ? 1 : 0); SetBits(m_w1, 2, 1, 1); return *this; }
CGXFont& CGXFont::IncludeUnderline(BOOL b) { ReleaseFontData(); SetBits(m_w1, 2, 1, b ? 1 : 0); return *this; }
CGXFont& CGXFont::SetStrikeOut(BOOL b) { ReleaseFontData(); SetBits(m_w1, 20, 1, b ? 1 : 0); SetBits(m_w1, 3, 1, 1); return *this; }
CGXFont& CGXFont::IncludeStrikeOut(BOOL b) { ReleaseFontData(); SetBits(m_w1, 3, 1, b ? 1 : 0); return *this; }

CGXFont& CGXFont::SetOrientation(LONG tenths)
{
    ReleaseFontData();
    long long t = tenths % 3600;
    if (t < 0)
        t += 3600;
    SetBits(m_w1, 21, 9, DWORD(t / 10));
    return *this;
}

CGXFont& CGXFont::IncludeOrientation(BOOL b)
{
    if (!b) {
        ReleaseFontData();
        SetBits(m_w1, 21, 9, 511);
    }
    return *this;
}

CGXFont& CGXFont::SetFaceNameIndex(UINT nIndex)
{
    ReleaseFontData();
    m_w2 = (m_w2 & ~0x3FFu) | (nIndex & 0x3FF);
    return *this;
}

CGXFont& CGXFont::SetFaceName(LPCTSTR pszName)
{
    return SetFaceNameIndex(CGXFontNameTable::Instance().RegisterFontFaceName(pszName));
}

CString CGXFont::GetFaceName() const
{
    return CString(CGXFontNameTable::Instance().GetFontFaceName(GetFaceNameIndex()));
}

CGXFont& CGXFont::ChangeFont(const CGXFont& other, int mode)
{
    if (mode == 2)
        return Assign(other);
    if (mode == 3) {
        if (other.GetIncludeWeight()) IncludeWeight(FALSE);
        if (other.GetIncludeItalic()) IncludeItalic(FALSE);
        if (other.GetIncludeUnderline()) IncludeUnderline(FALSE);
        if (other.GetIncludeStrikeOut()) IncludeStrikeOut(FALSE);
        if (other.GetIncludeSize()) IncludeSize(FALSE);
        if (other.GetIncludeOrientation()) IncludeOrientation(FALSE);
        if (other.GetIncludeFaceName()) IncludeFaceName(FALSE);
        return *this;
    }
    const bool over = mode == 0;
    if (other.GetIncludeWeight() && (over || !GetIncludeWeight())) SetWeight(other.GetWeight());
    if (other.GetIncludeItalic() && (over || !GetIncludeItalic())) SetItalic(other.GetItalic());
    if (other.GetIncludeUnderline() && (over || !GetIncludeUnderline())) SetUnderline(other.GetUnderline());
    if (other.GetIncludeStrikeOut() && (over || !GetIncludeStrikeOut())) SetStrikeOut(other.GetStrikeOut());
    if (other.GetIncludeSize() && (over || !GetIncludeSize())) { ReleaseFontData(); SetBits(m_w1, 8, 10, other.GetSizeQP()); }
    if (other.GetIncludeOrientation() && (over || !GetIncludeOrientation())) { ReleaseFontData(); SetBits(m_w1, 21, 9, other.GetOrientationDeg()); }
    if (other.GetIncludeFaceName() && (over || !GetIncludeFaceName())) SetFaceNameIndex(other.GetFaceNameIndex());
    return *this;
}

BOOL CGXFont::MatchesIncluded(const CGXFont& o) const
{
    if (o.GetIncludeWeight() && (!GetIncludeWeight() || GetWeightCode() != o.GetWeightCode())) return FALSE;
    if (o.GetIncludeItalic() && (!GetIncludeItalic() || GetItalic() != o.GetItalic())) return FALSE;
    if (o.GetIncludeUnderline() && (!GetIncludeUnderline() || GetUnderline() != o.GetUnderline())) return FALSE;
    if (o.GetIncludeStrikeOut() && (!GetIncludeStrikeOut() || GetStrikeOut() != o.GetStrikeOut())) return FALSE;
    if (o.GetIncludeSize() && (!GetIncludeSize() || GetSize() != o.GetSize())) return FALSE;
    if (o.GetIncludeOrientation() && (!GetIncludeOrientation() || GetOrientationDeg() != o.GetOrientationDeg())) return FALSE;
    if (o.GetIncludeFaceName() && (!GetIncludeFaceName() || GetFaceNameIndex() != o.GetFaceNameIndex())) return FALSE;
    return TRUE;
}

CGXFont& CGXFont::SetFromLogFont(const LOGFONT& lf)
{
    ReleaseFontData();
    CGXFontNameTable& table = CGXFontNameTable::Instance();
    char face[LF_FACESIZE + 1];
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0; // a record from outside need not be terminated
    SetFaceNameIndex(table.RegisterFaceForCharSet(face, lf.lfPitchAndFamily, lf.lfCharSet));
    if (lf.lfHeight != 0) {
        long long h = lf.lfHeight < 0 ? -(long long)lf.lfHeight : lf.lfHeight;
        int qp = MulDiv(int(std::min<long long>(h, INT32_MAX / 288)), 288, table.m_nLogPixelsY);
        SetBits(m_w1, 8, 10, DWORD(std::clamp(qp, 0, 1023)));
    } else {
        SetBits(m_w1, 8, 10, 0);
    }
    SetBits(m_w1, 4, 4, (DWORD(lf.lfWeight) / 100) & 0xF);
    SetOrientation(lf.lfOrientation);
    SetStrikeOut(lf.lfStrikeOut != 0);
    SetUnderline(lf.lfUnderline != 0);
    SetItalic(lf.lfItalic != 0);
    return *this;
}

const CGXFont& CGXFont::GetDefaultFont()
{
    static const CGXFont s_font = [] {
        LOGFONT lf {};
        lf.lfPitchAndFamily = 34;
        std::strcpy(lf.lfFaceName, "Arial");
        lf.lfHeight = -11;
        lf.lfWeight = 400;
        return CGXFont(lf);
    }();
    return s_font;
}

CString CGXFont::ToString() const
{
    CString s;
    if (GetIncludeFaceName())
        s += GetFaceName();
    s += ',';
    if (GetIncludeSize())
        s.AppendFormat("%d", int(GetSizeQP() / 4));
    s += ',';
    if (GetIncludeWeight())
        s.AppendFormat("%ld", long(GetWeight()));
    s += ',';
    if (GetIncludeItalic())
        s.AppendFormat("%d", GetItalic() ? 1 : 0);
    s += ',';
    if (GetIncludeUnderline())
        s.AppendFormat("%d", GetUnderline() ? 1 : 0);
    s += ',';
    if (GetIncludeStrikeOut())
        s.AppendFormat("%d", GetStrikeOut() ? 1 : 0);
    s += ',';
    if (GetIncludeOrientation())
        s.AppendFormat("%ld", long(GetOrientation()));
    return s;
}

CGXFont& CGXFont::ParseDescription(LPCTSTR psz)
{
    Reset();
    if (!psz)
        return *this;
    CString fields[7];
    int n = 0;
    for (const char* p = psz; n < 7; n++) {
        const char* comma = std::strchr(p, ',');
        if (!comma || n == 6) {
            fields[n++] = CString(p);
            break;
        }
        fields[n] = CString(p, int(comma - p));
        p = comma + 1;
    }
    long long v;
    auto num = [&](const CString& f) { return !f.IsEmpty() && GXScanNumbers(f, &v, 1) == 1; };
    if (!fields[0].IsEmpty())
        SetFaceName(fields[0]);
    if (num(fields[1]))
        SetSize(double(v));
    if (num(fields[2]))
        SetWeight(LONG(v));
    if (num(fields[3]))
        SetItalic(v != 0);
    if (num(fields[4]))
        SetUnderline(v != 0);
    if (num(fields[5]))
        SetStrikeOut(v != 0);
    if (num(fields[6]))
        SetOrientation(LONG(v));
    return *this;
}

void CGXFont::Serialize(CArchive& ar)
{
    if (CGXAbstractStyleSerializeImp* imp = GXGetAppData()->m_pStyleSerializeImp)
        imp->SerializeFont(*this, ar);
}

// ---- pens ----

CGXPackedPen::CGXPackedPen(UINT nStyle, int nWidth, COLORREF color)
{
    SetColor(color);
    SetStyle(nStyle);
    SetWidth(UINT(nWidth));
}

CGXPackedPen::CGXPackedPen(LPCTSTR pszDescription) { ParseDescription(pszDescription); }

CGXPackedPen& CGXPackedPen::SetColor(COLORREF color)
{
    DWORD field, kind;
    GXPackColor(color, field, kind);
    m_w2 = (m_w2 & 0xFF000000) | field;
    m_w1 = (m_w1 & ~(3u << 19)) | (kind << 19);
    if (!GetInclude())
        SetStyle(0);
    return *this;
}

CGXPackedPen& CGXPackedPen::SetInclude(BOOL b)
{
    if (!b)
        SetStyle(7);
    else if (!GetInclude())
        SetStyle(0);
    return *this;
}

COLORREF CGXPackedPen::GetColor() const { return GXPackedColorValue(GetColorField(), GetColorKind()); }
COLORREF CGXPackedPen::ResolvePenColor() const { return GXResolveColor(GetColorField(), GetColorKind()); }

LOGPEN CGXPackedPen::GetLogPen() const
{
    LOGPEN lp {};
    lp.lopnStyle = GetStyle();
    lp.lopnWidth.x = LONG(GetWidth());
    lp.lopnWidth.y = 0;
    lp.lopnColor = ResolvePenColor();
    return lp;
}

CString CGXPackedPen::ToString() const
{
    const COLORREF c = GetColor();
    CString s;
    s.Format("%lu %ld %d %d %d %d", (unsigned long)GetStyle(), (long)GetWidth(), GetRValue(c), GetGValue(c),
             GetBValue(c), int(c >> 24));
    return s;
}

CGXPackedPen& CGXPackedPen::ParseDescription(LPCTSTR psz)
{
    *this = CGXPackedPen();
    long long v[6] = {0, 0, 0, 0, 0, 0};
    const int n = GXScanNumbers(psz, v, 6);
    const COLORREF color = RGB(v[2], v[3], v[4]) | (DWORD(v[5] & 0xFF) << 24);
    SetColor(color);
    if (n >= 5) {
        SetStyle(UINT(v[0]));
        SetWidth(UINT(v[1]));
    } else {
        SetStyle(7);
    }
    return *this;
}

// ---- brushes ----

CGXPackedBrush& CGXPackedBrush::Reset()
{
    m_w1 &= 8;
    m_w2 = 0x3FFFFFFF;
    return *this;
}

CGXPackedBrush& CGXPackedBrush::SetBrush(UINT nStyle, COLORREF color, UINT nHatch)
{
    SetStyle(nStyle);
    SetColor(color);
    SetHatch(nHatch);
    SetBackColor(RGB(255, 255, 255));
    m_w2 = (m_w2 & ~(63u << 24)) | (63u << 24);
    return *this;
}

CGXPackedBrush& CGXPackedBrush::SetPattern(UINT nPattern)
{
    m_w2 = (m_w2 & ~(63u << 24)) | ((nPattern & 63) << 24);
    return SetStyle(GX_BS_PATTERN);
}

CGXPackedBrush& CGXPackedBrush::SetColor(COLORREF color)
{
    DWORD field, kind;
    GXPackColor(color, field, kind);
    m_w1 = (m_w1 & 0xCF) | (kind << 4) | (field << 8);
    return *this;
}

CGXPackedBrush& CGXPackedBrush::SetBackColor(COLORREF color)
{
    DWORD field, kind;
    GXPackColor(color, field, kind);
    m_w1 = (m_w1 & ~0xC0u) | (kind << 6);
    m_w2 = (m_w2 & 0xFF000000) | field;
    return *this;
}

COLORREF CGXPackedBrush::GetColor() const { return GXPackedColorValue(GetColorField(), GetColorKind()); }
COLORREF CGXPackedBrush::GetBackColor() const { return GXPackedColorValue(GetBackColorField(), GetBackColorKind()); }
COLORREF CGXPackedBrush::ResolveBrushColor() const { return GXResolveColor(GetColorField(), GetColorKind()); }
COLORREF CGXPackedBrush::ResolveBrushBackColor() const { return GXResolveColor(GetBackColorField(), GetBackColorKind()); }

LOGBRUSH CGXPackedBrush::GetLogBrush() const
{
    LOGBRUSH lb {};
    lb.lbStyle = GetStyle();
    lb.lbHatch = GetHatch();
    if (GetStyle() == GX_BS_PATTERN) {
        if (GetPattern() < 41) {
            auto pfn = GXGetAppData()->m_pfnGetPatternBitmap;
            lb.lbHatch = reinterpret_cast<ULONG_PTR>(pfn ? pfn(GetPattern()) : nullptr);
        } else {
            lb.lbStyle = GX_BS_HOLLOW;
        }
    }
    lb.lbColor = ResolveBrushColor();
    return lb;
}

BOOL CGXPackedBrush::GetLineBrush(const CGXPackedPen& pen, const CGXPackedBrush& bg, BOOL bHorizontal, BOOL bBlackWhite,
                                  CGXPackedBrush& result)
{
    const UINT style = pen.GetStyle();
    if (style == PS_NULL) {
        result = bg;
        return TRUE;
    }
    if (style < PS_DASH || style > PS_DASHDOTDOT)
        return FALSE;
    result.Reset();
    result.SetPattern((bHorizontal ? 32 : 36) + style);
    if (bBlackWhite) {
        result.SetColor(RGB(0, 0, 0));
        result.SetBackColor(RGB(255, 255, 255));
    } else {
        result.SetColor(GXPackedColorRef(pen.GetColorField(), pen.GetColorKind()));
        result.SetBackColor(bg.GetStyle() == GX_BS_SOLID ? GXPackedColorRef(bg.GetColorField(), bg.GetColorKind())
                                                          : GXPackedColorRef(bg.GetBackColorField(), bg.GetBackColorKind()));
    }
    return TRUE;
}

CString CGXPackedBrush::ToString() const
{
    const DWORD fg = GetColorField(), bg = GetBackColorField();
    const int kindByte = GetColorKind() == gxColorSystem
        ? (fg <= GX_MAX_PACKED_SYSCOLOR ? int(0xFE - fg) : 0)
        : int(GetColorKind());
    CString s;
    s.Format("%lu %ld %d %d %d %d %d %d %d", (unsigned long)GetStyle(),
             (long)(GetStyle() == GX_BS_PATTERN ? GetPattern() : GetHatch()), int(fg & 0xFF), int((fg >> 8) & 0xFF),
             int((fg >> 16) & 0xFF), int(bg & 0xFF), int((bg >> 8) & 0xFF), int((bg >> 16) & 0xFF), kindByte);
    return s;
}

CGXPackedBrush& CGXPackedBrush::ParseDescription(LPCTSTR psz)
{
    m_w1 = 0;
    Reset();
    long long v[9] = {};
    const int n = GXScanNumbers(psz, v, 9);
    SetStyle(UINT(v[0]));
    if (GetStyle() == GX_BS_PATTERN)
        m_w2 = (m_w2 & ~(63u << 24)) | (DWORD(v[1] & 63) << 24);
    else
        SetHatch(UINT(v[1]));
    if (n < 5) {
        SetColor(0);
        SetBackColor(0);
        return *this;
    }
    SetColor(RGB(v[2], v[3], v[4]) | (DWORD(v[8] & 0xFF) << 24));
    SetBackColor(RGB(v[5], v[6], v[7]));
    return *this;
}

// ---- archive operators ----

CArchive& operator<<(CArchive& ar, const CGXPackedPen& pen)
{
    if (CGXAbstractStyleSerializeImp* imp = GXGetAppData()->m_pStyleSerializeImp)
        imp->SerializePen(ar, const_cast<CGXPackedPen&>(pen));
    return ar;
}

CArchive& operator>>(CArchive& ar, CGXPackedPen& pen)
{
    if (CGXAbstractStyleSerializeImp* imp = GXGetAppData()->m_pStyleSerializeImp)
        imp->SerializePen(ar, pen);
    return ar;
}

CArchive& operator<<(CArchive& ar, const CGXPackedBrush& brush)
{
    if (CGXAbstractStyleSerializeImp* imp = GXGetAppData()->m_pStyleSerializeImp)
        imp->SerializeBrush(ar, const_cast<CGXPackedBrush&>(brush));
    return ar;
}

CArchive& operator>>(CArchive& ar, CGXPackedBrush& brush)
{
    if (CGXAbstractStyleSerializeImp* imp = GXGetAppData()->m_pStyleSerializeImp)
        imp->SerializeBrush(ar, brush);
    return ar;
}
