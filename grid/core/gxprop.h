#pragma once
// The printer chosen for a grid (raw device-names and device-mode blocks) and the grid-wide
// display and print settings: colours, user properties, page header and footer, margins.

#include <map>
#include <memory>
#include <vector>

#include "grid/core/gxdata.h"
#include "grid/core/gxstyle.h"
#include "platform/base/collections.h"
#include "platform/base/geometry.h"

class CGXPrintDevice : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXPrintDevice)
public:
    CGXPrintDevice() = default;
    CGXPrintDevice(const CGXPrintDevice&) = delete;
    CGXPrintDevice& operator=(const CGXPrintDevice&) = delete;
    ~CGXPrintDevice() override { FreeDeviceHandles(); }

    // Schema 1, then the device-names and device-mode blocks, each a dword size and its bytes.
    void Serialize(CArchive& ar) override;

    void CreateDeviceHandles(const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode);
    void FreeDeviceHandles();
    void GetDeviceData(std::vector<BYTE>& names, std::vector<BYTE>& mode) const { names = m_names; mode = m_mode; }
    // Equal when both sizes and all bytes agree; two missing blocks are equal.
    BOOL CompareDeviceData(const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode) const;
    BOOL HasDevice() const { return !m_names.empty(); }
    void Assign(const CGXPrintDevice& other);

    // The printer DC of the set-up, made on first request and kept until the blocks change;
    // null without the printer service, without blocks, or when a block is damaged.
    HDC GetPrintDC();
    void ResetPrintDC();
    // Fresh global copies of the blocks (the caller frees them); FALSE without a DEVNAMES block.
    BOOL CreateHandleCopies(HGLOBAL& hNames, HGLOBAL& hMode) const;
    // The print set-up dialog on this set-up; TRUE when a printer was chosen.
    BOOL DoPrintSetup();
    // Gives the application this set-up as its printer set-up.
    void ApplyToApp() const;

private:
    std::vector<BYTE> m_names;
    std::vector<BYTE> m_mode;
    HDC m_hPrintDC = nullptr;
};

class CDC;
class CDocument;
class CGXGridParam;
class CGXProperties;
class CGXStylesMap;
struct CPrintInfo;

// The page header and footer of printing; one handler for the process, reached through the
// library state, so that no properties object keeps a pointer to any grid's printing.
class CGXAbstractHeaderFooterImp {
public:
    virtual ~CGXAbstractHeaderFooterImp() = default;
    virtual void DrawHeaderFooter(CGXProperties* pProps, CDC* pDC, CPrintInfo* pInfo, CDocument* pDocument,
                                  CGXGridParam* pParam) = 0;
    virtual int CalcHeaderFooterHeight(CGXProperties* pProps, CDC* pDC, CGXData& data, CGXStylesMap* pStylesMap) = 0;
    virtual void DrawHeaderFooterCells(CGXProperties* pProps, CDC* pDC, CPrintInfo* pInfo, const CRect& rect,
                                       CGXData& data, CGXStylesMap* pStylesMap) = 0;
    virtual CString ExpandTokens(CGXProperties* pProps, const CString& sText) = 0;
    // sRest is the text after the token; an argument taken from it is removed.
    virtual CString GetTokenValue(CGXProperties* pProps, int nToken, CString& sRest) = 0;
    virtual CString TakeTokenArgument(CGXProperties* pProps, CString& sRest) = 0;
};

struct CGXPropertyEntry {
    WORD nId = 0;
    CString sName;
    std::unique_ptr<CGXStyle> pStyle;
};

class CGXProperties : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXProperties)
public:
    CGXProperties();
    CGXProperties(const CGXProperties& other);
    CGXProperties& operator=(const CGXProperties& other) { Assign(other); return *this; }
    ~CGXProperties() override = default;

    void Serialize(CArchive& ar) override;
    virtual void AddDefaultUserProperties();
    virtual void WriteProfile();
    virtual BOOL ReadProfile();
    void Assign(const CGXProperties& other);

    // Index of the colour (an existing name keeps its index and colour).
    int AddColorProperty(UINT nStringId, COLORREF color);
    COLORREF GetColor(int nIndex) const;
    void SetColor(int nIndex, COLORREF color);
    int GetColorCount() const { return int(m_colorNames.GetSize()); }
    LPCTSTR GetColorName(int nIndex) const { return nIndex >= 0 && nIndex < GetColorCount() ? LPCTSTR(m_colorNames.ElementAt(nIndex)) : ""; }

    void AddUserProperty(WORD nId, const CGXStyle& style);
    // The property's style; the default style for an unknown id.
    const CGXStyle& GetUserPropertyStyle(WORD nId) const;
    const std::map<WORD, std::unique_ptr<CGXPropertyEntry>>& GetUserProperties() const { return m_userProperties; }
    // Re-enters a property as stored (loading and copying); takes ownership of pStyle.
    void RestoreUserProperty(WORD nId, LPCTSTR pszName, CGXStyle* pStyle);
    void RemoveAllUserProperties() { m_userProperties.clear(); }

    int AddToken(LPCTSTR pszToken) { return int(m_tokens.Add(pszToken)); }
    const CStringArray& GetTokens() const { return m_tokens; }

    // Header and footer drawing belong to the printing feature's process-wide handler; without
    // it nothing is drawn.
    int CalcHeaderFooterHeight(CDC* pDC, CGXData& data, CGXStylesMap* pStylesMap);
    void DrawHeaderFooter(CDC* pDC, CPrintInfo* pInfo, CDocument* pDocument, CGXGridParam* pParam);
    // The value of token nToken for the page being drawn.
    CString GetTokenText(int nToken) const;
    // Values of the tokens for the page being drawn (not stored).
    CStringArray m_tokenValues;

    void SetMarkRowHeader(BOOL b) { m_bMarkRowHeader = b; }
    BOOL GetMarkRowHeader() const { return m_bMarkRowHeader; }
    void SetMarkColHeader(BOOL b) { m_bMarkColHeader = b; }
    void SetMarkColumnHeader(BOOL b) { m_bMarkColHeader = b; }
    BOOL GetMarkColHeader() const { return m_bMarkColHeader; }
    BOOL GetMarkColumnHeader() const { return m_bMarkColHeader; }
    void SetDisplayVertLines(BOOL b) { m_bDisplayVertLines = b; }
    BOOL GetDisplayVertLines() const { return m_bDisplayVertLines; }
    void SetDisplayHorzLines(BOOL b) { m_bDisplayHorzLines = b; }
    BOOL GetDisplayHorzLines() const { return m_bDisplayHorzLines; }
    void SetDisplay3dButtons(BOOL b) { m_b3dButtons = b; }
    BOOL GetDisplay3dButtons() const { return m_b3dButtons; }

    CGXData& GetDataHeader() { return m_dataHeader; }
    CGXData& GetDataFooter() { return m_dataFooter; }

    // Display flags, in archive order.
    BOOL m_bDisplayVertLines = TRUE;
    BOOL m_bDisplayHorzLines = TRUE;
    BOOL m_b3dButtons = TRUE;
    BOOL m_bMarkRowHeader = TRUE;
    BOOL m_bMarkColHeader = TRUE;
    CString m_sSection {"Grid"};
    DWORD m_nZoomPrint = 100;
    // Print options ("Print Vertical Lines", "Center Vertical", "Print Horizontal Lines",
    // "Print Row Headers", "Print Column Headers", "Center Horizontal", "Page Order",
    // "Print Frame", "Print Only Black&White").
    BOOL m_bPrintVertLines = TRUE;
    BOOL m_bCenterVertical = FALSE;
    BOOL m_bPrintHorzLines = TRUE;
    BOOL m_bPrintRowHeaders = TRUE;
    BOOL m_bPrintColHeaders = TRUE;
    BOOL m_bCenterHorizontal = TRUE;
    BOOL m_nPageOrder = FALSE;
    BOOL m_bPrintFrame = TRUE;
    BOOL m_bBlackWhite = TRUE;
    // "Margins" in its text order (screen pixels); the archive stores left, top, right, bottom.
    enum { gxMarginLeft = 0, gxMarginTop = 1, gxMarginBottom = 2, gxMarginRight = 3 };
    LONG m_nMargins[4] = {0, 0, 0, 0};
    // "Distances": header and footer.
    LONG m_nDistances[2] = {0, 0};
    LONG m_nFirstPage = -1;
    // Kept and stored unchanged.
    WORD m_wValue1 = 0;
    WORD m_wValue2 = 0;
    CDWordArray m_awArray1;
    CDWordArray m_awArray2;

    CStringArray m_colorNames;
    CDWordArray m_colors;

private:
    CStringArray m_tokens;
    std::map<WORD, std::unique_ptr<CGXPropertyEntry>> m_userProperties;
    CGXStyle m_styleDefault;
    CString m_sBorderTexts[5];
    CGXData m_dataHeader;
    CGXData m_dataFooter;
};

// String ids of the colour names and user properties.
enum : UINT {
    GX_IDS_COLOR_GRIDLINES = 52232,
    GX_IDS_COLOR_FIXEDLINES = 52233,
    GX_IDS_COLOR_TRACKINGLINE = 52234,
    GX_IDS_COLOR_BACKGROUND = 52235,
    GX_IDS_COLOR_DRAGGINGLINE = 52236,
    GX_IDS_UP_CURRENTCELL = 51005,
};
