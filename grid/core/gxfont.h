#pragma once
// The font, border pens and interior brush of a cell style, in their packed forms, and the
// library-wide table of font face names that the font's face index refers to.

#include <memory>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"
#include "grid/core/gxarchive.h"
#include "platform/gdi/gdidefs.h"

// ---- Face-name table ----

struct GXFontNameEntry {
    enum { nNameSize = 67 }; // bytes before the name-length byte, terminator included
    char szName[nNameSize] = {};
    BYTE nNameLength = 0;     // length of the plain face inside "face (script)"; 0 for a plain name
    BYTE nPitchAndFamily = 0;
    BYTE nCharSet = 0;
    DWORD dwFlags = 1023;     // bits 0-9 index (1023 none), 10-12 font type, 13 enumerated, 14 plain name of a family
    UINT GetIndex() const { return dwFlags & 1023; }
};

class CGXFontNameTable {
public:
    enum { nNoIndex = 1023, nMaxIndexes = 1023 };

    CGXFontNameTable();
    ~CGXFontNameTable();
    CGXFontNameTable(const CGXFontNameTable&) = delete;
    CGXFontNameTable& operator=(const CGXFontNameTable&) = delete;

    static CGXFontNameTable& Instance();

    // Index of the name (registered now when new); 1023 for an empty name or a full table.
    // nNameLength marks the plain face inside a "face (script)" name.
    UINT RegisterFontFaceName(LPCTSTR pszName, BYTE nPitchAndFamily = 0, BYTE nCharSet = 0, BYTE nNameLength = 0);
    UINT AddFaceName(LPCTSTR pszName, BYTE nPitchAndFamily, BYTE nCharSet) { return RegisterFontFaceName(pszName, nPitchAndFamily, nCharSet); }
    // A plain face with its character set, entered as a logical font enters it: "face (script)"
    // for a character set of its own. A face that already carries its script is taken as is.
    UINT RegisterFaceForCharSet(LPCTSTR pszFace, BYTE nPitchAndFamily, BYTE nCharSet);
    // The plain face of an entry ("Arial" for "Arial (Greek)").
    CString GetPlainFaceName(UINT nIndex) const;
    LPCTSTR GetFontFaceName(UINT nIndex) const;
    const GXFontNameEntry* GetEntry(UINT nIndex) const;
    BYTE GetCharSet(UINT nIndex) const;
    // The script name fonts report for a character set ("Greek" for 161).
    LPCTSTR GetScriptName(BYTE nCharSet) const { return m_szScripts[nCharSet]; }
    void SetScriptName(BYTE nCharSet, LPCTSTR pszScript);

    int m_nLogPixelsY = 96;
    int m_nLogPixelsX = 96;

private:
    GXFontNameEntry* Find(const char* pszName) const;
    // Enters the display's font families (plain name and "face (script)" per family).
    void EnumerateDisplayFonts();
    static int CALLBACK_EnumFont(const LOGFONT* plf, const TEXTMETRIC* ptm, DWORD nFontType, LPARAM lParam);
    CString m_sLastFace;

    std::vector<GXFontNameEntry*> m_enumerated; // sorted by name
    std::vector<GXFontNameEntry*> m_added;      // sorted by name
    std::vector<GXFontNameEntry*> m_index;      // index -> entry
    char m_szScripts[256][32] = {};
};

// ---- Font part ----

class CGXFont : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXFont)
public:
    CGXFont();
    CGXFont(const CGXFont& other);
    explicit CGXFont(LPCTSTR pszDescription);
    explicit CGXFont(const LOGFONT& lf);
    ~CGXFont() override;
    CGXFont& operator=(const CGXFont& other) { Assign(other); return *this; }

    CGXFont& Reset();
    CGXFont& Assign(const CGXFont& other);
    // Merges other into this part by StyleChangeMode (0 override, 1 apply new, 2 copy, 3 exclude).
    CGXFont& ChangeFont(const CGXFont& other, int mode);
    // Whether this part agrees with other on every attribute other includes.
    BOOL MatchesIncluded(const CGXFont& other) const;

    CGXFont& SetSize(double points);
    CGXFont& IncludeSize(BOOL b);
    CGXFont& SetWeight(LONG weight);
    CGXFont& IncludeWeight(BOOL b);
    CGXFont& SetBold(BOOL b) { return SetWeight(b ? 700 : 400); }
    CGXFont& SetItalic(BOOL b);
    CGXFont& IncludeItalic(BOOL b);
    CGXFont& SetUnderline(BOOL b);
    CGXFont& IncludeUnderline(BOOL b);
    CGXFont& SetStrikeOut(BOOL b);
    CGXFont& IncludeStrikeOut(BOOL b);
    CGXFont& SetOrientation(LONG tenths);
    CGXFont& IncludeOrientation(BOOL b);
    CGXFont& SetFaceNameIndex(UINT nIndex);
    CGXFont& SetFaceName(LPCTSTR pszName);
    CGXFont& IncludeFaceName(BOOL b) { if (!b) SetFaceNameIndex(1023); return *this; }

    BOOL GetIncludeSize() const { return GetSizeQP() != 0; }
    BOOL GetIncludeWeight() const { return GetWeightCode() != 15; }
    BOOL GetIncludeItalic() const { return (m_w1 >> 1) & 1; }
    BOOL GetIncludeUnderline() const { return (m_w1 >> 2) & 1; }
    BOOL GetIncludeStrikeOut() const { return (m_w1 >> 3) & 1; }
    BOOL GetIncludeOrientation() const { return GetOrientationDeg() != 511; }
    BOOL GetIncludeFaceName() const { return GetFaceNameIndex() != 1023; }
    BOOL IsEmpty() const { return AttributeValue() == CGXFont().AttributeValue(); }

    double GetSize() const { return GetSizeQP() / 4.0; }
    UINT GetSizeQP() const { return (m_w1 >> 8) & 0x3FF; }
    LONG GetWeight() const { return GetIncludeWeight() ? LONG(GetWeightCode() * 100) : 0; }
    BOOL GetBold() const { return GetWeight() >= 700; }
    BOOL GetItalic() const { return (m_w1 >> 18) & 1; }
    BOOL GetUnderline() const { return (m_w1 >> 19) & 1; }
    BOOL GetStrikeOut() const { return (m_w1 >> 20) & 1; }
    LONG GetOrientation() const { return GetIncludeOrientation() ? LONG(GetOrientationDeg() * 10) : 0; }
    UINT GetFaceNameIndex() const { return m_w2 & 0x3FF; }
    CString GetFaceName() const;

    // The LOGFONT of the current attributes (built once per distinct font, shared).
    const LOGFONT& GetLogFont() const;
    LOGFONT GetLogFontZoomed(int nZoom) const;
    CGXFont& SetFromLogFont(const LOGFONT& lf);
    CGXFont& AssignLogFont(const LOGFONT& lf) { return SetFromLogFont(lf); }
    // The library default font (Arial, 8-point-ish -11 px, normal weight).
    static const CGXFont& GetDefaultFont();

    CString ToString() const;
    CGXFont& ParseDescription(LPCTSTR pszDescription);

    void Serialize(CArchive& ar) override;

    // Drops the shared LOGFONT reference; every attribute change does this first.
    void ReleaseFontData();
    BOOL HoldsFontData() const { return m_w1 & 1; }
    DWORD GetWord1() const { return m_w1; }
    DWORD GetWord2() const { return m_w2; }
    // The attributes as one value: both words without the reference bit.
    ULONGLONG AttributeValue() const { return ((ULONGLONG(m_w2) << 32) | m_w1) >> 1; }
    bool operator==(const CGXFont& other) const { return AttributeValue() == other.AttributeValue(); }

    // Number of shared LOGFONT records alive (for tests and diagnostics).
    static size_t GetFontDataCount();

private:
    UINT GetWeightCode() const { return (m_w1 >> 4) & 0xF; }
    UINT GetOrientationDeg() const { return (m_w1 >> 21) & 0x1FF; }
    void SetBits(DWORD& w, int shift, DWORD width, DWORD value)
    {
        const DWORD mask = ((1u << width) - 1) << shift;
        w = (w & ~mask) | ((value << shift) & mask);
    }

    mutable DWORD m_w1 = 0;
    DWORD m_w2 = 1023;
};

// ---- Pens and brushes ----

class CGXPackedPen {
public:
    CGXPackedPen() = default;
    CGXPackedPen(UINT nStyle, int nWidth, COLORREF color);
    explicit CGXPackedPen(LPCTSTR pszDescription);

    CGXPackedPen& SetStyle(UINT nStyle) { m_w1 = (m_w1 & ~7u) | (nStyle & 7); return *this; }
    CGXPackedPen& SetWidth(UINT nWidth) { m_w1 = (m_w1 & ~(0xFFFFu << 3)) | ((nWidth & 0xFFFF) << 3); return *this; }
    // The colour also marks a pen that was not set as set (solid).
    CGXPackedPen& SetColor(COLORREF color);
    CGXPackedPen& SetInclude(BOOL b);
    UINT GetStyle() const { return m_w1 & 7; }
    UINT GetWidth() const { return (m_w1 >> 3) & 0xFFFF; }
    BOOL GetInclude() const { return GetStyle() != 7; }
    DWORD GetColorKind() const { return (m_w1 >> 19) & 3; }
    DWORD GetColorField() const { return m_w2 & 0xFFFFFF; }
    // The 32-bit form (system colours as their current value with the system top byte).
    COLORREF GetColor() const;
    // The colour for drawing.
    COLORREF ResolvePenColor() const;
    // The GDI record of the pen (width as x, colour resolved).
    LOGPEN GetLogPen() const;

    CString ToString() const;
    CGXPackedPen& ParseDescription(LPCTSTR pszDescription);

    DWORD GetWord1() const { return m_w1; }
    DWORD GetWord2() const { return m_w2; }
    bool operator==(const CGXPackedPen& o) const { return m_w1 == o.m_w1 && m_w2 == o.m_w2; }
    bool operator!=(const CGXPackedPen& o) const { return !(*this == o); }

    DWORD m_w1 = 7 | (1u << 3);
    DWORD m_w2 = 0;
};

// Brush styles of the top two bits of the second word.
enum : UINT { GX_BS_SOLID = 0, GX_BS_HOLLOW = 1, GX_BS_HATCHED = 2, GX_BS_PATTERN = 3 };

class CGXPackedBrush {
public:
    CGXPackedBrush() { Reset(); }
    CGXPackedBrush(UINT nStyle, COLORREF color, UINT nHatch = 0) { SetBrush(nStyle, color, nHatch); }
    explicit CGXPackedBrush(LPCTSTR pszDescription) { ParseDescription(pszDescription); }

    CGXPackedBrush& Reset();
    CGXPackedBrush& SetBrush(UINT nStyle, COLORREF color, UINT nHatch);
    CGXPackedBrush& SetStyle(UINT nStyle) { m_w2 = (m_w2 & 0x3FFFFFFF) | ((nStyle & 3) << 30); return *this; }
    CGXPackedBrush& SetHatch(UINT nHatch) { m_w1 = (m_w1 & ~7u) | (nHatch & 7); return *this; }
    CGXPackedBrush& SetPattern(UINT nPattern);
    CGXPackedBrush& SetColor(COLORREF color);
    CGXPackedBrush& SetBackColor(COLORREF color);

    UINT GetStyle() const { return m_w2 >> 30; }
    UINT GetHatch() const { return m_w1 & 7; }
    UINT GetPattern() const { return (m_w2 >> 24) & 63; }
    DWORD GetColorKind() const { return (m_w1 >> 4) & 3; }
    DWORD GetColorField() const { return m_w1 >> 8; }
    DWORD GetBackColorKind() const { return (m_w1 >> 6) & 3; }
    DWORD GetBackColorField() const { return m_w2 & 0xFFFFFF; }
    COLORREF GetColor() const;
    COLORREF GetBackColor() const;
    COLORREF ResolveBrushColor() const;
    COLORREF ResolveBrushBackColor() const;
    // The GDI record: a pattern the drawing service cannot provide becomes a hollow brush.
    LOGBRUSH GetLogBrush() const;
    // The brush that paints a dashed or dotted pen: styles 1-4 give a line pattern in the pen's
    // colour over the background brush's colour (black on white for black-and-white output);
    // a null pen gives the background brush. FALSE for every other pen style.
    static BOOL GetLineBrush(const CGXPackedPen& pen, const CGXPackedBrush& background, BOOL bHorizontal,
                             BOOL bBlackWhite, CGXPackedBrush& result);

    CString ToString() const;
    CGXPackedBrush& ParseDescription(LPCTSTR pszDescription);

    bool operator==(const CGXPackedBrush& o) const { return m_w1 == o.m_w1 && m_w2 == o.m_w2; }
    bool operator!=(const CGXPackedBrush& o) const { return !(*this == o); }

    DWORD m_w1 = 0;
    DWORD m_w2 = 0;
};

// Archive operators; they go through the style-archiving service (no-ops without it).
CArchive& operator<<(CArchive& ar, const CGXPackedPen& pen);
CArchive& operator>>(CArchive& ar, CGXPackedPen& pen);
CArchive& operator<<(CArchive& ar, const CGXPackedBrush& brush);
CArchive& operator>>(CArchive& ar, CGXPackedBrush& brush);

// Reads up to nMax blank-separated decimal integers (leading blanks skipped, stops at the first
// non-number); each is clamped into the 32-bit range. Returns how many were read.
int GXScanNumbers(LPCTSTR psz, long long* pValues, int nMax);
