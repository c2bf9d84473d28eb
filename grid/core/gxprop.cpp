#include "grid/core/gxprop.h"

#include <cstring>

#include "grid/core/gxcolor.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "platform/sys/system.h"

IMPLEMENT_SERIAL(CGXPrintDevice, CObject, 1)
IMPLEMENT_SERIAL(CGXProperties, CObject, 0)

// ---- printer set-up ----

void CGXPrintDevice::CreateDeviceHandles(const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode)
{
    FreeDeviceHandles();
    if (pNames && nNames)
        m_names.assign(pNames, pNames + nNames);
    if (pMode && nMode)
        m_mode.assign(pMode, pMode + nMode);
}

void CGXPrintDevice::FreeDeviceHandles()
{
    ResetPrintDC();
    m_names.clear();
    m_mode.clear();
}

BOOL CGXPrintDevice::CompareDeviceData(const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode) const
{
    auto same = [](const std::vector<BYTE>& v, const BYTE* p, DWORD n) {
        if (!p)
            n = 0;
        return v.size() == n && (n == 0 || std::memcmp(v.data(), p, n) == 0);
    };
    return same(m_names, pNames, nNames) && same(m_mode, pMode, nMode);
}

void CGXPrintDevice::Assign(const CGXPrintDevice& other)
{
    if (&other == this)
        return;
    ResetPrintDC();
    m_names = other.m_names;
    m_mode = other.m_mode;
}

HDC CGXPrintDevice::GetPrintDC()
{
    if (!m_hPrintDC)
        if (CGXAbstractPrintDeviceImp* imp = GXGetAppData()->m_pPrintDeviceImp)
            m_hPrintDC = imp->CreatePrinterDC(*this);
    return m_hPrintDC;
}

void CGXPrintDevice::ResetPrintDC()
{
    if (m_hPrintDC)
        DeleteDC(m_hPrintDC);
    m_hPrintDC = nullptr;
}

BOOL CGXPrintDevice::CreateHandleCopies(HGLOBAL& hNames, HGLOBAL& hMode) const
{
    hNames = hMode = nullptr;
    CGXAbstractPrintDeviceImp* imp = GXGetAppData()->m_pPrintDeviceImp;
    return imp ? imp->CreateHandleCopies(*this, hNames, hMode) : FALSE;
}

BOOL CGXPrintDevice::DoPrintSetup()
{
    CGXAbstractPrintDeviceImp* imp = GXGetAppData()->m_pPrintDeviceImp;
    return imp ? imp->PrintSetup(*this) : FALSE;
}

void CGXPrintDevice::ApplyToApp() const
{
    if (CGXAbstractPrintDeviceImp* imp = GXGetAppData()->m_pPrintDeviceImp)
        imp->ApplyToApp(*this);
}

void CGXPrintDevice::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << WORD(1) << DWORD(m_names.size());
        ar.Write(m_names.data(), UINT(m_names.size()));
        ar << DWORD(m_mode.size());
        ar.Write(m_mode.data(), UINT(m_mode.size()));
        return;
    }
    WORD schema;
    ar >> schema;
    if (schema != 1)
        AfxThrowArchiveException(CArchiveException::badSchema);
    std::vector<BYTE> blocks[2];
    for (auto& block : blocks) {
        DWORD n;
        ar >> n;
        ar.CheckCount(n, 1);
        block.resize(n);
        if (n)
            ar.EnsureRead(block.data(), n);
    }
    CreateDeviceHandles(blocks[0].data(), DWORD(blocks[0].size()), blocks[1].data(), DWORD(blocks[1].size()));
}

// ---- properties ----

namespace {
CString LoadText(UINT nId, LPCTSTR pszFallback)
{
    CString s;
    if (!s.LoadString(nId))
        s = pszFallback;
    return s;
}
} // namespace

CGXProperties::CGXProperties()
{
    static const struct { UINT id; const char* text; } borders[5] = {
        {51006, "Invert Thin."}, {51007, "Invert Thick."}, {51008, "Thin Border."}, {51009, "Thick Border."}, {20059, "No Border."},
    };
    for (int i = 0; i < 5; i++)
        m_sBorderTexts[i] = LoadText(borders[i].id, borders[i].text);

    AddColorProperty(GX_IDS_COLOR_GRIDLINES, GXSYSCOLOR(COLOR_GRAYTEXT));
    AddColorProperty(GX_IDS_COLOR_FIXEDLINES, GXSYSCOLOR(COLOR_ACTIVECAPTION));
    AddColorProperty(GX_IDS_COLOR_TRACKINGLINE, RGB(255, 0, 0));
    AddColorProperty(GX_IDS_COLOR_DRAGGINGLINE, RGB(255, 0, 0));
    AddColorProperty(GX_IDS_COLOR_BACKGROUND, GXSYSCOLOR(COLOR_BTNFACE));

    const int dpi = 96;
    m_nMargins[gxMarginLeft] = dpi * 3 / 2;
    m_nMargins[gxMarginTop] = dpi;
    m_nMargins[gxMarginBottom] = dpi * 3 / 2;
    m_nMargins[gxMarginRight] = dpi;
    m_nDistances[0] = m_nDistances[1] = dpi * 4 / 10;

    for (const char* t : {"$F", "$A", "$P", "$N", "$D", "$R"})
        AddToken(t);

    m_dataHeader.SetRowCount(3);
    m_dataHeader.SetColCount(10);
    CGXStyle title;
    title.SetValue("$R").ChangeFont(CGXFont().SetSize(16).SetBold(TRUE), gxCopy);
    m_dataHeader.StoreStyleRowCol(1, 2, &title, gxOverride);
    m_dataFooter.SetRowCount(3);
    m_dataFooter.SetColCount(10);
    m_dataFooter.StoreValueRowCol(1, 1, "$D", gxOverride);
    m_dataFooter.StoreValueRowCol(1, 3, "$P/$N", gxOverride);
}

CGXProperties::CGXProperties(const CGXProperties& other) : CGXProperties() { Assign(other); }

int CGXProperties::CalcHeaderFooterHeight(CDC* pDC, CGXData& data, CGXStylesMap* pStylesMap)
{
    CGXAbstractHeaderFooterImp* imp = GXGetAppData()->m_pHeaderFooterImp;
    return imp ? imp->CalcHeaderFooterHeight(this, pDC, data, pStylesMap) : 0;
}

void CGXProperties::DrawHeaderFooter(CDC* pDC, CPrintInfo* pInfo, CDocument* pDocument, CGXGridParam* pParam)
{
    if (CGXAbstractHeaderFooterImp* imp = GXGetAppData()->m_pHeaderFooterImp)
        imp->DrawHeaderFooter(this, pDC, pInfo, pDocument, pParam);
}

CString CGXProperties::GetTokenText(int nToken) const
{
    return nToken >= 0 && nToken < m_tokenValues.GetSize() ? m_tokenValues[nToken] : CString();
}

void CGXProperties::Assign(const CGXProperties& other)
{
    if (&other == this)
        return;
    if (CGXAbstractGridParamCopyOperatorImp* imp = GXGetAppData()->m_pParamCopyOperatorImp)
        imp->CopyProperties(*this, other);
}

void CGXProperties::Serialize(CArchive& ar)
{
    if (CGXAbstractGridDocSerializeImp* imp = GXGetAppData()->m_pDocSerializeImp)
        imp->SerializeProperties(*this, ar);
}

void CGXProperties::WriteProfile()
{
    if (CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp)
        imp->WriteProperties(*this);
}

BOOL CGXProperties::ReadProfile()
{
    CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp;
    return imp ? imp->ReadProperties(*this) : FALSE;
}

int CGXProperties::AddColorProperty(UINT nStringId, COLORREF color)
{
    CString name;
    if (!name.LoadString(nStringId))
        name.Format("COLOR%u", nStringId);
    for (INT_PTR i = 0; i < m_colorNames.GetSize(); i++)
        if (m_colorNames[i] == name)
            return int(i);
    m_colors.SetAtGrow(m_colorNames.GetSize(), color);
    return int(m_colorNames.Add(name));
}

COLORREF CGXProperties::GetColor(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_colors.GetSize() ? m_colors[nIndex] : 0;
}

void CGXProperties::SetColor(int nIndex, COLORREF color)
{
    if (nIndex >= 0 && nIndex < m_colors.GetSize())
        m_colors[nIndex] = color;
}

void CGXProperties::AddUserProperty(WORD nId, const CGXStyle& style)
{
    auto it = m_userProperties.find(nId);
    if (it != m_userProperties.end()) {
        it->second->pStyle.reset(style.Clone());
        return;
    }
    CString name;
    if (!name.LoadString(nId))
        name.Format("USERPROP%u", nId);
    RestoreUserProperty(nId, name, style.Clone());
}

void CGXProperties::RestoreUserProperty(WORD nId, LPCTSTR pszName, CGXStyle* pStyle)
{
    auto e = std::make_unique<CGXPropertyEntry>();
    e->nId = nId;
    e->sName = pszName;
    e->pStyle.reset(pStyle);
    m_userProperties[nId] = std::move(e);
}

const CGXStyle& CGXProperties::GetUserPropertyStyle(WORD nId) const
{
    auto it = m_userProperties.find(nId);
    return it != m_userProperties.end() && it->second->pStyle ? *it->second->pStyle : m_styleDefault;
}

void CGXProperties::AddDefaultUserProperties()
{
    CString choices;
    for (int i = 0; i < 5; i++) {
        if (i)
            choices += "\n";
        choices += m_sBorderTexts[i];
    }
    CGXStyle s;
    s.SetControl(52529).SetChoiceList(choices).SetValue(m_sBorderTexts[0]);
    AddUserProperty(GX_IDS_UP_CURRENTCELL, s);
}
