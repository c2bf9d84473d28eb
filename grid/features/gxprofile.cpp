#include "grid/features/gxprofile.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/gxfont.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/sys/profile.h"
#include "platform/sys/registry.h"
#include "platform/ui/winapp.h"

namespace {

// The longest value the INI profile gives back whole; a longer one is not written.
constexpr int kMaxIniValue = 4095;
// Longest sub-key name read back (the registry keeps names far shorter).
constexpr DWORD kMaxKeyName = 1024;
// A section's list of key names is read whole up to this size; a list cut at the buffer's end
// would end in a partial name that reads as a style nobody wrote.
constexpr DWORD kMaxKeyList = 16u << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

CString Hex(unsigned char c, char mark)
{
    CString s;
    s.Format("%c%02X", mark, unsigned(c));
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Replaces every mark followed by two hex digits by that byte.
CString Unhex(const std::string& s, size_t from, char mark, const char* escapeSecond)
{
    std::string out;
    for (size_t i = from; i < s.size(); i++) {
        if (s[i] == mark && i + 3 <= s.size() && (!escapeSecond || s[i + 1] == *escapeSecond)) {
            const size_t d = escapeSecond ? i + 2 : i + 1;
            if (d + 2 <= s.size() && HexDigit(s[d]) >= 0 && HexDigit(s[d + 1]) >= 0) {
                out.push_back(char(HexDigit(s[d]) * 16 + HexDigit(s[d + 1])));
                i = d + 1;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return CString(out.c_str(), int(out.size()));
}

CWinApp* App() { return AfxGetApp(); }

CString Get(LPCTSTR section, LPCTSTR entry)
{
    CWinApp* app = App();
    return app ? app->GetProfileString(section, entry, "") : CString();
}

void Delete(LPCTSTR section, LPCTSTR entry)
{
    if (CWinApp* app = App())
        app->WriteProfileString(section, entry, nullptr);
}

// Writes a stored form; when the store cannot keep it whole, the entry goes, so an old value
// never reads back in its place.
void PutStored(LPCTSTR section, LPCTSTR entry, const CString& stored)
{
    CWinApp* app = App();
    if (!app)
        return;
    if (!app->PvUsesRegistry() && stored.GetLength() > kMaxIniValue) {
        Delete(section, entry);
        return;
    }
    if (!app->WriteProfileString(section, entry, stored))
        Delete(section, entry);
}

void PutNumber(LPCTSTR section, LPCTSTR entry, unsigned long n)
{
    CString s;
    s.Format("%lu", n);
    PutStored(section, entry, s);
}

void PutLong(LPCTSTR section, LPCTSTR entry, long n)
{
    CString s;
    s.Format("%ld", n);
    PutStored(section, entry, s);
}

// Reads a number when the entry holds one; a malformed number reads as its leading part.
bool GetNumber(LPCTSTR section, LPCTSTR entry, long& value)
{
    const CString s = Get(section, entry);
    if (s.IsEmpty())
        return false;
    value = std::strtol(s, nullptr, 10);
    return true;
}

// Up to n numbers separated by commas, blanks before each skipped.
int ParseList(const CString& text, long* values, int n)
{
    const char* p = text;
    int found = 0;
    while (found < n && *p) {
        while (IsBlank(*p)) p++;
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p)
            break;
        values[found++] = v;
        p = end;
        while (IsBlank(*p)) p++;
        if (*p != ',')
            break;
        p++;
    }
    return found;
}

// The brush form with the fill kind of the stored forms (1 solid, 0 hollow) in front.
CString BrushText(const CGXPackedBrush& brush)
{
    const std::string s(brush.ToString());
    const size_t blank = s.find(' ');
    CString out;
    out.Format("%lu%s", (unsigned long)GXFillKindOfBrushStyle(brush.GetStyle()), blank == std::string::npos ? "" : s.c_str() + blank);
    return out;
}

CGXPackedBrush BrushFromText(const CString& text)
{
    const std::string s(text);
    char* end = nullptr;
    const unsigned long kind = std::strtoul(s.c_str(), &end, 10);
    CString form;
    form.Format("%u%s", GXBrushStyleOfFillKind(DWORD(kind)), end);
    return CGXPackedBrush(form);
}

CString StyleSection(const CString& mapSection, const CString& key)
{
    CWinApp* app = App();
    return mapSection + (app && app->PvUsesRegistry() ? "\\" : ".") + key;
}

CString StyleKey(const CGXStylesMapEntry& e)
{
    if (e.nResourceId) {
        CString s;
        s.Format("#%u", e.nResourceId);
        return s;
    }
    return GXProfileEncodeKey(e.sName);
}

struct NumberKey {
    const char* key;
    DWORD inc;
    DWORD (*get)(const CGXStyle&);
    void (*set)(CGXStyle&, long);
};
#define GX_NUM(key, inc, getter, setter)                                        \
    {key, inc, [](const CGXStyle& s) -> DWORD { return DWORD(s.getter()); }, \
     [](CGXStyle& s, long v) { s.setter(decltype(s.getter())(v)); }}
// The style's number keys, each with its include bit.
const NumberKey kNumberKeys[] = {
    GX_NUM("HorizontalAlignment", CGXStyle::incHorzAlign, GetHorizontalAlignment, SetHorizontalAlignment),
    GX_NUM("VerticalAlignment", CGXStyle::incVertAlign, GetVerticalAlignment, SetVerticalAlignment),
    GX_NUM("ReadOnly", CGXStyle::incReadOnly, GetReadOnly, SetReadOnly),
    GX_NUM("FloatCell", CGXStyle::incFloatCell, GetFloatCell, SetFloatCell),
    GX_NUM("FloodCell", CGXStyle::incFloodCell, GetFloodCell, SetFloodCell),
    GX_NUM("MergeCell", CGXStyle::incMergeCell, GetMergeCell, SetMergeCell),
    GX_NUM("Draw3dFrame", CGXStyle::incDraw3dFrame, GetDraw3dFrame, SetDraw3dFrame),
    GX_NUM("ControlId", CGXStyle::incControl, GetControl, SetControl),
    GX_NUM("MaxLength", CGXStyle::incMaxLength, GetMaxLength, SetMaxLength),
    GX_NUM("VerticalScrollbar", CGXStyle::incVertScroll, GetVerticalScrollBar, SetVerticalScrollBar),
    GX_NUM("WrapText", CGXStyle::incWrapText, GetWrapText, SetWrapText),
    GX_NUM("AutoSize", CGXStyle::incAutoSize, GetAutoSize, SetAutoSize),
    GX_NUM("AllowEnter", CGXStyle::incAllowEnter, GetAllowEnter, SetAllowEnter),
    GX_NUM("Enabled", CGXStyle::incEnabled, GetEnabled, SetEnabled),
    GX_NUM("TriState", CGXStyle::incTriState, GetTriState, SetTriState),
    GX_NUM("Format", CGXStyle::incFormat, GetFormat, SetFormat),
    GX_NUM("Places", CGXStyle::incPlaces, GetPlaces, SetPlaces),
};
#undef GX_NUM

const NumberKey* FindNumberKey(const char* key)
{
    for (const NumberKey& k : kNumberKeys)
        if (std::string(k.key) == key)
            return &k;
    return nullptr;
}

const char* const kBorderKeys[4] = {"Top", "Left", "Bottom", "Right"};

// The choice list with carriage returns dropped, line feeds as "\n" and backslashes as "\\".
CString EncodeChoices(const CString& list)
{
    std::string out;
    for (char c : std::string(list)) {
        if (c == '\r') continue;
        if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else out.push_back(c);
    }
    return CString(out.c_str());
}

CString DecodeChoices(const CString& stored)
{
    const std::string s(stored);
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == 'n')) {
            out += s[i + 1] == 'n' ? "\r\n" : "\\";
            i++;
        } else {
            out.push_back(s[i]);
        }
    }
    return CString(out.c_str());
}

// Names of a section's entries (INI) or of a key's sub-keys (registry).
bool CollectStyleKeys(const CString& section, std::vector<CString>& keys)
{
    CWinApp* app = App();
    if (!app)
        return false;
    if (app->PvUsesRegistry()) {
        // Opened, not created: reading leaves the registry as it was.
        HKEY appKey = app->GetAppRegistryKey();
        if (!appKey)
            return false;
        HKEY h = nullptr;
        const LONG rc = RegOpenKeyEx(appKey, section, 0, KEY_READ, &h);
        RegCloseKey(appKey);
        if (rc != ERROR_SUCCESS)
            return false;
        char name[kMaxKeyName];
        for (DWORD i = 0; RegEnumKey(h, i, name, kMaxKeyName) == ERROR_SUCCESS; i++)
            keys.emplace_back(name);
        RegCloseKey(h);
        return true;
    }
    const CString file = app->PvProfileFile();
    WritePrivateProfileString(nullptr, nullptr, nullptr, file);
    std::vector<char> buf;
    DWORD n = 0;
    for (DWORD size = 1024;; size *= 2) {
        buf.assign(size, '\0');
        n = GetPrivateProfileString(section, nullptr, "", buf.data(), size, file);
        if (n + 2 < size)
            break;
        if (size >= kMaxKeyList)
            return false;
    }
    for (DWORD i = 0; i < n && buf[i];) {
        const std::string k(&buf[i]);
        keys.emplace_back(k.c_str());
        i += DWORD(k.size()) + 1;
    }
    return true;
}

} // namespace

namespace {
// The stored form; forceEscaped gives the escaped form even to a plain text.
CString EncodeValue(const CString& text, bool forceEscaped)
{
    const std::string s(text);
    const bool quoted = s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front();
    bool plain = !forceEscaped && !quoted && (s.empty() || (!IsBlank(s.front()) && !IsBlank(s.back()) && s.front() != '\\'));
    for (unsigned char c : s)
        plain = plain && c >= 0x20 && c != 0x7F;
    if (plain)
        return text;
    std::string out = "\\";
    for (size_t i = 0; i < s.size(); i++) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const bool atEnd = i == 0 || i + 1 == s.size();
        if (c < 0x20 || c == 0x7F || c == '\\' || ((c == '"' || c == '\'') && atEnd) || (IsBlank(char(c)) && atEnd))
            out += "\\" + std::string(Hex(c, 'x'));
        else
            out.push_back(char(c));
    }
    return CString(out.c_str());
}
} // namespace

CString GXProfileEncodeValue(const CString& text) { return EncodeValue(text, false); }

CString GXProfileDecodeValue(const CString& stored)
{
    const std::string s(stored);
    if (s.empty() || s.front() != '\\')
        return stored;
    const char x = 'x';
    return Unhex(s, 1, '\\', &x);
}

CString GXProfileEncodeKey(const CString& name)
{
    const std::string s(name);
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const bool atEnd = i == 0 || i + 1 == s.size();
        if (c < 0x20 || c == 0x7F || c == '%' || c == '=' || c == '\\' || (IsBlank(char(c)) && atEnd) ||
            (i == 0 && (c == ';' || c == '[' || c == '#')))
            out += std::string(Hex(c, '%'));
        else
            out.push_back(char(c));
    }
    return CString(out.c_str());
}

CString GXProfileDecodeKey(const CString& key) { return Unhex(std::string(key), 0, '%', nullptr); }

// ---- styles ----

void CGXGridProfileImp::WriteStyleEntry(const char* pszSection, const char* pszEntry, const char* pszValue)
{
    if (!pszSection || !pszEntry)
        return;
    if (pszValue)
        PutStored(pszSection, pszEntry, GXProfileEncodeValue(pszValue));
    else
        Delete(pszSection, pszEntry);
}

void CGXGridProfileImp::WriteFont(const CGXFont& font, const char* pszSection, const char* pszEntry)
{
    if (pszSection && pszEntry)
        PutStored(pszSection, pszEntry, GXProfileEncodeValue(font.ToString()));
}

BOOL CGXGridProfileImp::ReadFont(CGXFont& font, const char* pszSection, const char* pszEntry)
{
    if (!pszSection || !pszEntry)
        return FALSE;
    const CString s = GXProfileDecodeValue(Get(pszSection, pszEntry));
    if (s.IsEmpty())
        return FALSE;
    font = CGXFont(s);
    return TRUE;
}

void CGXGridProfileImp::WriteStyle(const CGXStyle& s, const char* pszSection, const CGXStylesMap* pMap)
{
    if (!pszSection)
        return;
    const char* sec = pszSection;
    auto number = [&](const char* key) {
        const NumberKey* k = FindNumberKey(key);
        if (s.IsIncluded(k->inc)) PutNumber(sec, key, k->get(s)); else Delete(sec, key);
    };
    auto text = [&](const char* key, DWORD inc, const CString& value) {
        if (s.IsIncluded(inc)) PutStored(sec, key, value); else Delete(sec, key);
    };
    for (const char* key : {"HorizontalAlignment", "VerticalAlignment", "ReadOnly", "FloatCell", "FloodCell", "MergeCell",
                            "Draw3dFrame", "ControlId", "MaxLength", "VerticalScrollbar"})
        number(key);
    CString base;
    if (s.IsIncluded(CGXStyle::incBaseStyle) && pMap) {
        UINT res = 0;
        const char* name = pMap->LookupStyleName(s.GetBaseStyle(), res);
        if (res)
            base.Format("#%u", res);
        else if (name)  // a name starting with '#' would read as a resource id
            base = EncodeValue(name, name[0] == '#');
    }
    if (!base.IsEmpty()) PutStored(sec, "BaseStyle", base); else Delete(sec, "BaseStyle");
    CString color;
    const COLORREF rgb = s.ResolveTextColor();
    color.Format("%d %d %d", int(GetRValue(rgb)), int(GetGValue(rgb)), int(GetBValue(rgb)));
    text("TextColor", CGXStyle::incTextColor, color);
    for (const char* key : {"WrapText", "AutoSize", "AllowEnter", "Enabled", "TriState"})
        number(key);
    text("Value", CGXStyle::incValue, GXProfileEncodeValue(s.GetValue()));
    text("Interior", CGXStyle::incInterior, BrushText(s.GetInterior()));
    number("Format");
    number("Places");
    text("ChoicesList", CGXStyle::incChoiceList, EncodeChoices(s.GetChoiceList()));
    text("Font", CGXStyle::incFont, GXProfileEncodeValue(s.GetFont().ToString()));
    if (s.IsIncluded(CGXStyle::incBorders)) {
        PutStored(sec, "Borders", "1");
        for (int i = 0; i < 4; i++) {
            const CGXPackedPen& pen = s.GetBorders(i);
            if (pen.GetInclude()) PutStored(sec, kBorderKeys[i], pen.ToString()); else Delete(sec, kBorderKeys[i]);
        }
    } else {
        Delete(sec, "Borders");
        for (const char* key : kBorderKeys)
            Delete(sec, key);
    }
    if (const CGXUserAttributeMap* ua = s.GetUserAttributeMap())
        for (int i = 0; i < ua->GetSize(); i++) {
            CString key;
            key.Format("UA%lu", (unsigned long)ua->GetAt(i)->m_nId);
            PutStored(sec, key, GXProfileEncodeValue(ua->GetAt(i)->GetValueText()));
        }
}

BOOL CGXGridProfileImp::ReadStyle(CGXStyle& s, const char* pszSection, const CGXStylesMap* pMap)
{
    s.FreeParts();
    if (!pszSection)
        return TRUE;
    const char* sec = pszSection;
    auto number = [&](const char* key) {
        long v;
        if (GetNumber(sec, key, v))
            FindNumberKey(key)->set(s, v);
    };
    for (const char* key : {"VerticalAlignment", "HorizontalAlignment", "ReadOnly", "FloatCell", "FloodCell", "MergeCell",
                            "Draw3dFrame", "MaxLength", "VerticalScrollbar", "ControlId"})
        number(key);
    const CString color = Get(sec, "TextColor");
    long rgb[3];
    if (!color.IsEmpty() && std::sscanf(color, "%ld %ld %ld", &rgb[0], &rgb[1], &rgb[2]) == 3)
        s.SetTextColor(RGB(rgb[0] & 0xFF, rgb[1] & 0xFF, rgb[2] & 0xFF));
    for (const char* key : {"WrapText", "AutoSize", "AllowEnter", "Enabled", "TriState"})
        number(key);
    const CString value = Get(sec, "Value");
    if (!value.IsEmpty())
        s.SetValue(GXProfileDecodeValue(value));
    if (pMap) {
        const CString base = Get(sec, "BaseStyle");
        if (!base.IsEmpty()) {
            const WORD id = base[0] == '#' ? pMap->LookupStyleIdByResource(UINT(std::strtoul(LPCTSTR(base) + 1, nullptr, 10)))
                                           : pMap->LookupStyleIdByName(GXProfileDecodeValue(base));
            if (id != GX_INVALID_STYLEID)
                s.SetBaseStyle(id);
        }
    }
    number("Format");
    number("Places");
    const CString choices = Get(sec, "ChoicesList");
    if (!choices.IsEmpty())
        s.SetChoiceList(DecodeChoices(choices));
    const CString font = GXProfileDecodeValue(Get(sec, "Font"));
    if (!font.IsEmpty())
        s.ChangeFont(CGXFont(font), gxCopy);
    const CString interior = Get(sec, "Interior");
    if (!interior.IsEmpty())
        s.SetInterior(BrushFromText(interior));
    if (Get(sec, "Borders") == "1") {
        for (int i = 0; i < 4; i++) {
            const CString pen = Get(sec, kBorderKeys[i]);
            if (!pen.IsEmpty())
                s.SetBorders(i, CGXPackedPen(pen));
        }
    }
    if (pMap)
        for (const auto& [id, e] : pMap->GetUserAttributeMap()) {
            CString key;
            key.Format("UA%u", unsigned(id));
            const CString v = Get(sec, key);
            if (!v.IsEmpty())
                s.SetUserAttribute(id, GXProfileDecodeValue(v));
        }
    return TRUE;
}

// ---- styles map ----

void CGXGridProfileImp::WriteStylesMap(CGXStylesMap& map)
{
    CWinApp* app = App();
    if (!app)
        return;
    const CString section = map.m_sSection;
    if (app->PvUsesRegistry()) {
        std::vector<CString> old;
        CollectStyleKeys(section, old);
        if (HKEY h = app->GetAppRegistryKey()) {
            for (const CString& k : old)
                RegDeleteTree(h, section + "\\" + k);
            RegCloseKey(h);
        }
    } else {
        // The styles' own sections go with the list, so no key of an old style reads back.
        std::vector<CString> old;
        CollectStyleKeys(section, old);
        for (const CString& k : old)
            Delete(StyleSection(section, k), nullptr);
        Delete(section, nullptr);
    }
    for (POSITION pos = map.GetStartPosition(); pos;) {
        CString name;
        WORD id;
        const CGXStyle* style;
        UINT res;
        map.GetNextStyle(pos, name, id, style, res);
        const CGXStylesMapEntry* e = map.LookupEntry(id);
        if (!e || !style)
            continue;
        const CString key = StyleKey(*e);
        if (!app->PvUsesRegistry())
            PutStored(section, key, "1");
        WriteStyle(*style, StyleSection(section, key), &map);
    }
}

BOOL CGXGridProfileImp::ReadStylesMap(CGXStylesMap& map)
{
    std::vector<CString> keys;
    if (!CollectStyleKeys(map.m_sSection, keys) || keys.empty())
        return FALSE;
    for (const CString& key : keys) {
        std::unique_ptr<CGXStyle> style(map.CreateStyle());
        ReadStyle(*style, StyleSection(map.m_sSection, key), &map);
        if (!key.IsEmpty() && key[0] == '#')
            map.RegisterStyleByResource(UINT(std::strtoul(LPCTSTR(key) + 1, nullptr, 10)), *style);
        else
            map.RegisterStyleByName(GXProfileDecodeKey(key), *style);
    }
    map.UpdateStandardStyleIds();
    CGXStyle* standard = nullptr;
    if (map.LookupStyleEntry(map.m_wStyleStandard, standard) && standard) {
        CGXStyle fresh;
        fresh.MakeStandardStyle();
        standard->ChangeStyle(fresh, gxApplyNew);
    }
    return TRUE;
}

// ---- properties ----

namespace {
struct PropFlag {
    const char* key;
    BOOL CGXProperties::*member;
};
const PropFlag kDisplayFlags[] = {
    {"MarkColumnHeader", &CGXProperties::m_bMarkColHeader}, {"MarkRowHeader", &CGXProperties::m_bMarkRowHeader},
    {"3dHeader", &CGXProperties::m_b3dButtons}, {"HorizontalLines", &CGXProperties::m_bDisplayHorzLines},
    {"VerticalLines", &CGXProperties::m_bDisplayVertLines},
};
const PropFlag kPrintFlags[] = {
    {"Page Order", &CGXProperties::m_nPageOrder}, {"Print Vertical Lines", &CGXProperties::m_bPrintVertLines},
    {"Print Horizontal Lines", &CGXProperties::m_bPrintHorzLines}, {"Print Only Black&White", &CGXProperties::m_bBlackWhite},
    {"Print Row Headers", &CGXProperties::m_bPrintRowHeaders}, {"Print Column Headers", &CGXProperties::m_bPrintColHeaders},
    {"Center Vertical", &CGXProperties::m_bCenterVertical}, {"Center Horizontal", &CGXProperties::m_bCenterHorizontal},
    {"Print Frame", &CGXProperties::m_bPrintFrame},
};
} // namespace

void CGXGridProfileImp::WriteProperties(CGXProperties& p)
{
    const CString sec = p.m_sSection;
    for (int i = 0; i < p.GetColorCount(); i++)
        PutNumber(sec, p.GetColorName(i), p.GetColor(i));
    for (const PropFlag& f : kDisplayFlags)
        PutLong(sec, f.key, long(p.*f.member));
    for (const auto& [id, e] : p.GetUserProperties())
        if (e->pStyle && e->pStyle->GetIncludeValue()) {
            CString key;
            key.Format("UP%u", unsigned(id));
            PutStored(sec, key, GXProfileEncodeValue(e->pStyle->GetValue()));
        }
    for (const PropFlag& f : kPrintFlags)
        PutLong(sec, f.key, long(p.*f.member));
    CString margins, distances;
    margins.Format("%ld,%ld,%ld,%ld", long(p.m_nMargins[0]), long(p.m_nMargins[1]), long(p.m_nMargins[2]), long(p.m_nMargins[3]));
    PutStored(sec, "Margins", margins);
    PutLong(sec, "Start Page Numbering", long(p.m_nFirstPage));
    distances.Format("%ld,%ld", long(p.m_nDistances[0]), long(p.m_nDistances[1]));
    PutStored(sec, "Distances", distances);
}

BOOL CGXGridProfileImp::ReadProperties(CGXProperties& p)
{
    CWinApp* app = App();
    if (!app)
        return FALSE;
    const CString sec = p.m_sSection;
    if (app->PvUsesRegistry()) {
        HKEY app_key = app->GetAppRegistryKey();
        if (!app_key)
            return FALSE;
        HKEY h = nullptr;
        const LONG rc = RegOpenKeyEx(app_key, sec, 0, KEY_READ, &h);
        RegCloseKey(app_key);
        if (rc != ERROR_SUCCESS)
            return FALSE;
        RegCloseKey(h);
    } else {
        std::vector<CString> keys;
        if (!CollectStyleKeys(sec, keys) || keys.empty())
            return FALSE;
    }
    for (int i = 0; i < p.GetColorCount(); i++) {
        long v;
        if (GetNumber(sec, p.GetColorName(i), v))
            p.SetColor(i, COLORREF(v));
    }
    for (int i = int(std::size(kDisplayFlags)) - 1; i >= 0; i--) {
        long v;
        if (GetNumber(sec, kDisplayFlags[i].key, v))
            p.*kDisplayFlags[i].member = BOOL(v);
    }
    for (const auto& [id, e] : p.GetUserProperties()) {
        CString key;
        key.Format("UP%d", int(id));
        if (e->pStyle)
            e->pStyle->SetValue(GXProfileDecodeValue(Get(sec, key)));
    }
    for (const PropFlag& f : kPrintFlags) {
        long v;
        if (GetNumber(sec, f.key, v))
            p.*f.member = BOOL(v);
    }
    long values[4];
    const int nm = ParseList(Get(sec, "Margins"), values, 4);
    for (int i = 0; i < nm; i++)
        p.m_nMargins[i] = LONG(values[i]);
    long first;
    if (GetNumber(sec, "Start Page Numbering", first))
        p.m_nFirstPage = LONG(first);
    const int nd = ParseList(Get(sec, "Distances"), values, 2);
    for (int i = 0; i < nd; i++)
        p.m_nDistances[i] = LONG(values[i]);
    return TRUE;
}

void GXInstallProfileImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pProfileImp) {
        static CGXGridProfileImp s_imp;
        d->m_pProfileImp = &s_imp;
    }
}
