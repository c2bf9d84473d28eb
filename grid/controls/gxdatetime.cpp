#include "grid/controls/gxdatetime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "grid/controls/gxtabcombo.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/gdi/gdi.h"
#include "platform/win/win.h"

const CGXControlClass CGXDateTimeCtrl::classCGXDateTimeCtrl = {"CGXDateTimeCtrl", &CGXStatic::classCGXStatic};

namespace {

constexpr double kLowestDate = -657434;   // 1 January 100
constexpr double kHighestDate = 2958465;  // 31 December 9999
constexpr UINT kGadgetText = DT_SINGLELINE | DT_CENTER | DT_EXTERNALLEADING | DT_NOPREFIX;

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

CString AttributeText(const CGXStyle& style, WORD nId)
{
    return style.HasUserAttribute(nId) ? CString(style.GetUserAttribute(nId).GetValueText()) : CString();
}

int AttributeInt(const CGXStyle& style, WORD nId, int nDefault)
{
    const CString s = AttributeText(style, nId);
    return s.IsEmpty() ? nDefault : std::atoi(s);
}

// A whole text that is a number.
BOOL ReadNumber(const CString& s, double& d)
{
    if (s.IsEmpty())
        return FALSE;
    char* pEnd = nullptr;
    d = std::strtod(s, &pEnd);
    while (pEnd && (*pEnd == ' ' || *pEnd == '\t'))
        ++pEnd;
    return pEnd && !*pEnd && std::isfinite(d);
}

CString OleNumberText(const COleDateTime& dt)
{
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.13g", double(DATE(dt)));
    return buf;
}

CString NumericGadgetText(const CGXBDTNumericGadget* g, int nValue)
{
    char buf[32];
    if (g->IsLeadZero())
        std::snprintf(buf, sizeof(buf), "%0*d", g->GetWidth(), nValue);
    else
        std::snprintf(buf, sizeof(buf), "%d", nValue);
    return buf;
}

}  // namespace

CFont* CGXDateTimeCtrl::OwnedFont::Get(const LOGFONT& l)
{
    if (!bMade || std::memcmp(&l, &lf, sizeof(LOGFONT)) != 0) {
        font.DeleteObject();
        bMade = font.CreateFontIndirect(&l);
        lf = l;
    }
    return bMade ? &font : nullptr;
}

// ---- The window ----

LRESULT CGXDateTimeCtrlWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_pControl && m_pControl->OnWindowMessage(message, wParam, lParam, result))
        return result;
    return CGXBDateTimeCtrl::WindowProc(message, wParam, lParam);
}

BOOL CGXDateTimeCtrlWnd::BeginFieldChange(int) { return m_pControl ? m_pControl->OnBeginFieldChange() : TRUE; }

void CGXDateTimeCtrlWnd::EndFieldChange(int)
{
    if (m_pControl)
        m_pControl->OnEndFieldChange();
}

void CGXDateTimeCtrl::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    auto tabbed = [](UINT nStrings) {
        CString s;
        s.LoadString(nStrings);
        CGXStyle style;
        style.SetControl(WORD(GX_IDS_CTRL_TABBED_COMBOBOX)).SetChoiceList(s);
        style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "1").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "0");
        style.SetUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, "0");
        return style;
    };
    CString sNoEdit;
    sNoEdit.LoadString(20060);
    CGXStyle noEdit;
    noEdit.SetControl(WORD(GX_IDS_CTRL_CHECKLIST_COMBOBOX)).SetChoiceList(sNoEdit);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATENOEDIT, &noEdit);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEMIN, nullptr);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEMAX, nullptr);
    const CGXStyle mode = tabbed(20061);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEVALIDMODE, &mode);
    const CGXStyle type = tabbed(20062);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEFORMATTYPE, &type);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CUSTOMFORMAT, nullptr);
    CGXStyle check;
    check.SetControl(WORD(GX_IDS_CTRL_CHECKBOX3D));
    pStylesMap->AddUserAttribute(GX_IDS_UA_FASTINPUT, &check);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATETIMENUMBER, nullptr);
}

CGXDateTimeCtrl::CGXDateTimeCtrl(CGXGridCore* pGrid, UINT nID, DWORD dwCtrlStyle)
    : CGXStatic(pGrid), m_pTextCaptive(std::make_unique<CGXCaptiveDateTimeCtrl>()),
      m_pDrawCaptive(std::make_unique<CGXCaptiveDateTimeCtrl>()), m_nID(nID), m_dwCtrlStyle(dwCtrlStyle & 0xFFFF)
{
}

CGXDateTimeCtrl::~CGXDateTimeCtrl()
{
    if (HasWindow())
        m_pWnd->DestroyWindow();
    for (CWnd* p : {static_cast<CWnd*>(m_pTextCaptive.get()), static_cast<CWnd*>(m_pDrawCaptive.get())})
        if (p->GetSafeHwnd())
            p->DestroyWindow();
}

BOOL CGXDateTimeCtrl::CreateControl(DWORD dwStyle, const CRect& rect)
{
    CWnd* pGridWnd = GetGridWnd();
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    const DWORD dw = (dwStyle & ~0xFFFFu) | m_dwCtrlStyle | WS_CHILD | WS_TABSTOP;
    const CRect rectOff(30000, 30000, 30500, 30100);
    if (!m_pTextCaptive->GetSafeHwnd() && !m_pTextCaptive->Create(dw, rectOff, pGridWnd, m_nID + 1))
        return FALSE;
    if (!m_pDrawCaptive->GetSafeHwnd() && !m_pDrawCaptive->Create(dw, rectOff, pGridWnd, m_nID + 2))
        return FALSE;
    if (!m_pWnd)
        m_pWnd = std::make_unique<CGXDateTimeCtrlWnd>(this);
    return m_pWnd->GetSafeHwnd() || m_pWnd->Create(dw, rect, pGridWnd, m_nID);
}

BOOL CGXDateTimeCtrl::ApplyDateTimeStyle(CGXBDateTimeCtrl* pCtrl, const CGXStyle& style)
{
    if (!pCtrl)
        return TRUE;
    const CString sType = AttributeText(style, GX_IDS_UA_DATEFORMATTYPE);
    const CString sCustom = AttributeText(style, GX_IDS_UA_CUSTOMFORMAT);
    const int nType = std::clamp(std::atoi(sType), 0, 4);
    // The gadgets are rebuilt only when the format changes: cells of one format draw without it.
    auto setType = [pCtrl](int n) {
        if (pCtrl->GetFormatType() != n || !pCtrl->GetCustomFormat().IsEmpty() || pCtrl->GetGadgets().empty())
            pCtrl->SetFormatType(n);
    };
    auto setCustom = [pCtrl](const CString& f) {
        if (pCtrl->GetFormatType() != CGXBDateTimeCtrl::FormatCustom || pCtrl->GetCustomFormat() != f
            || pCtrl->GetGadgets().empty())
            pCtrl->SetCustomFormat(f);
    };
    if (!sType.IsEmpty() && nType == 3)
        setCustom(sCustom);
    else if (!sType.IsEmpty())
        setType(nType);
    else if (sCustom.IsEmpty())
        setType(CGXBDateTimeCtrl::FormatShortDate);
    else
        setCustom(sCustom);
    if (pCtrl->GetFormatType() == CGXBDateTimeCtrl::FormatCustom)
        return pCtrl->HasDatePart();
    return pCtrl->GetFormatType() > 0;
}

BOOL CGXDateTimeCtrl::SplitInputText(const CString& sText, const CString& sSeparators, std::vector<CString>& parts)
{
    parts.clear();
    CString sPart;
    for (const char* p = sText;; ++p) {
        const bool bSep = !*p || *p == ' ' || *p == '\r' || *p == '\n' || (sSeparators.Find(*p) >= 0);
        if (bSep) {
            if (!sPart.IsEmpty())
                parts.push_back(sPart);
            sPart.Empty();
            if (!*p)
                break;
        } else {
            sPart += CString(p, 1);
        }
    }
    return !parts.empty();
}

BOOL CGXDateTimeCtrl::ValueToDate(const CString& sValue, BOOL bForceNumber, COleDateTime& dt)
{
    if (sValue.IsEmpty())
        return FALSE;
    double d = 0;
    const BOOL bNumber = ReadNumber(sValue, d);
    if (!bForceNumber && !bNumber && dt.ParseDateTime(sValue))
        return dt.GetStatus() == COleDateTime::valid;
    if (!bNumber)
        return !bForceNumber && dt.ParseDateTime(sValue) && dt.GetStatus() == COleDateTime::valid;
    dt = COleDateTime(DATE(d));
    return dt.GetStatus() == COleDateTime::valid && dt.GetYear() >= 0;
}

void CGXDateTimeCtrl::ApplyRange(CGXBDateTimeCtrl* pCtrl, const CGXStyle& style, BOOL bForceNumber)
{
    auto bound = [&](WORD nId, double dDefault) {
        const CString s = AttributeText(style, nId);
        COleDateTime dt;
        double d = 0;
        if (s.IsEmpty() || (ReadNumber(s, d) && d == 0) || !ValueToDate(s, bForceNumber, dt))
            return COleDateTime(DATE(dDefault));
        return dt;
    };
    pCtrl->SetValidationRange(bound(GX_IDS_UA_DATEMIN, kLowestDate), bound(GX_IDS_UA_DATEMAX, kHighestDate),
                              AttributeInt(style, GX_IDS_UA_DATEVALIDMODE, 0));
}

// ---- Binding, activity and values ----

void CGXDateTimeCtrl::SetActive(BOOL bActive)
{
    SetActiveWithWindow(m_bActive, bActive, HasWindow());
}

void CGXDateTimeCtrl::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXStatic::InitForCell(nRow, nCol);
    if (!HasWindow())
        CreateControl(0, CRect(0, 0, 1, 1));
    if (!HasWindow())
        return;
    const CGXStyle& style = GetCellStyle();
    m_pWnd->SetNoEditFields(AttributeInt(style, GX_IDS_UA_DATENOEDIT, 0));
    m_bDateShown = ApplyDateTimeStyle(m_pWnd.get(), style);
    m_bForceNumber = style.HasUserAttribute(GX_IDS_UA_DATETIMENUMBER) && AttributeInt(style, GX_IDS_UA_DATETIMENUMBER, 0) != 0;
    ApplyRange(m_pWnd.get(), style, m_bForceNumber);
    SetCellValue(style.GetIncludeValue() ? LPCTSTR(style.GetValue()) : "");
    m_pWnd->SetFastInput(style.HasUserAttribute(GX_IDS_UA_FASTINPUT) ? AttributeInt(style, GX_IDS_UA_FASTINPUT, 1) : TRUE);
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (pParam && (pParam->m_wActivateFlags & 0x04) && StartEditing())
        SetActive(TRUE);
    SetModified(FALSE);
}

void CGXDateTimeCtrl::SetCellValue(LPCTSTR pszText)
{
    if (!HasWindow())
        return;
    COleDateTime dt;
    if (!ValueToDate(pszText ? pszText : "", m_bForceNumber, dt)) {
        COleDateTime dtMin, dtMax;
        int nMode = 0;
        m_pWnd->GetValidationRange(dtMin, dtMax, nMode);
        if (nMode == 0 || (nMode == 3 && !m_bDateShown)) {
            dt = COleDateTime(DATE(0));
        } else {
            const COleDateTime now = COleDateTime::GetCurrentTime();
            dt.SetDate(now.GetYear(), now.GetMonth(), now.GetDay());
        }
    }
    m_pWnd->SetDateTime(dt);
    NotifyModified();
}

BOOL CGXDateTimeCtrl::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    sResult.Empty();
    const CString sValue = pszValue ? CString(pszValue) : (style.GetIncludeValue() ? style.GetValue() : CString());
    if (sValue.IsEmpty())
        return FALSE;
    if (!m_pTextCaptive->GetSafeHwnd() && !CreateControl(0, CRect(0, 0, 1, 1)))
        return FALSE;
    CGXBDateTimeCtrl& c = *m_pTextCaptive;
    ApplyDateTimeStyle(&c, style);
    ApplyRange(&c, style, FALSE);
    COleDateTime dt;
    if (!ValueToDate(sValue, FALSE, dt) || !c.SetDateTime(dt))
        return FALSE;
    if (c.GetNoEditFields() != GXBDT_FIX_ALL)
        c.SetNoEditFields(GXBDT_FIX_ALL);
    for (const auto& g : c.GetGadgets()) {
        if (auto* n = dynamic_cast<CGXBDTNumericGadget*>(g.get()))
            sResult += NumericGadgetText(n, n->GetValue());
        else if (auto* l = dynamic_cast<CGXBDTListGadget*>(g.get()))
            sResult += l->GetText();
        else if (auto* s = dynamic_cast<CGXBDTStaticGadget*>(g.get()))
            sResult += s->GetText();
    }
    return TRUE;
}

BOOL CGXDateTimeCtrl::FieldsToDate(const CString& sText, const CGXStyle& style, COleDateTime& dt)
{
    std::vector<CString> parts;
    if (!SplitInputText(sText, m_strSeparators, parts))
        return FALSE;
    // The parts fill the numeric fields of the cell's format in their order.
    CGXBDateTimeCtrl& c = *m_pTextCaptive;
    ApplyDateTimeStyle(&c, style);
    int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;
    size_t i = 0;
    for (const auto& g : c.GetGadgets()) {
        auto* n = dynamic_cast<CGXBDTNumericGadget*>(g.get());
        if (!n || i >= parts.size())
            continue;
        double v = 0;
        if (!ReadNumber(parts[i++], v) || v != std::floor(v))
            return FALSE;
        const int k = int(v);
        switch (n->GetKind()) {
        case GXBDT_YEAR4: y = k; break;
        case GXBDT_YEAR2: y = k < 30 ? 2000 + k : 1900 + k; break;
        case GXBDT_MONTH: mo = k; break;
        case GXBDT_DAY: d = k; break;
        case GXBDT_HOUR12:
        case GXBDT_HOUR24: h = k; break;
        case GXBDT_MINUTE: mi = k; break;
        case GXBDT_SECOND: s = k; break;
        default: break;
        }
    }
    if (i != parts.size())
        return FALSE;
    return dt.SetDateTime(y, mo, d, h, mi, s) == 0;
}

BOOL CGXDateTimeCtrl::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (sText.IsEmpty())
        return TRUE;
    if (!m_pTextCaptive->GetSafeHwnd() && !CreateControl(0, CRect(0, 0, 1, 1)))
        return FALSE;
    const BOOL bForce = style.HasUserAttribute(GX_IDS_UA_DATETIMENUMBER) && AttributeInt(style, GX_IDS_UA_DATETIMENUMBER, 0) != 0;
    // The text captive reads it: the current cell's window keeps what is being edited.
    COleDateTime dt;
    double d = 0;
    if (ReadNumber(sText, d)) {
        if (!ValueToDate(sText, TRUE, dt))
            return FALSE;
    } else if (bForce || !dt.ParseDateTime(sText) || dt.GetStatus() != COleDateTime::valid) {
        if (bForce || !FieldsToDate(sText, style, dt))
            return FALSE;
    }
    if (!m_pTextCaptive->SetDateTime(dt))
        return FALSE;
    sText = OleNumberText(dt);
    return TRUE;
}

BOOL CGXDateTimeCtrl::GetCellValueText(CString& sText)
{
    if (m_bInit && m_bModified && HasWindow()) {
        return GetDisplayText(sText, m_nRow, m_nCol, OleNumberText(m_pWnd->GetDateTime()), GetCellStyle()) || TRUE;
    }
    return CGXStatic::GetCellValueText(sText);
}

BOOL CGXDateTimeCtrl::GetEditText(CString& sText)
{
    if (!m_bInit)
        return FALSE;
    if (!m_bModified || !HasWindow())
        return CGXStatic::GetEditText(sText);
    sText = OleNumberText(m_pWnd->GetDateTime());
    return TRUE;
}

void CGXDateTimeCtrl::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    if (!m_bActive)
        SetActive(TRUE);
    const CString s = pszText ? pszText : "";
    if (!ValidateText(s))
        return;
    COleDateTime dt;
    if (s.IsEmpty())
        dt = COleDateTime(DATE(0));
    else if (!ValueToDate(s, m_bForceNumber, dt))
        return;
    m_pWnd->SetDateTime(dt);
    SetModified(TRUE);
    NotifyModified();
}

BOOL CGXDateTimeCtrl::CommitValue()
{
    return StoreEditTextAsValue();
}

void CGXDateTimeCtrl::MakeCurrentFieldEditable()
{
    if (!HasWindow())
        return;
    const CGXBDTGadget* g = m_pWnd->GetGadget(m_pWnd->GetCurrentGadget());
    if (!g || !g->IsEditable())
        m_pWnd->FirstEditableGadget();
}

BOOL CGXDateTimeCtrl::StartEditing()
{
    if (!CGXStatic::StartEditing())
        return FALSE;
    MakeCurrentFieldEditable();
    return TRUE;
}

BOOL CGXDateTimeCtrl::Validate()
{
    // Digits still being typed into a field count.
    if (HasWindow() && (m_pWnd->GetState() & CGXBDateTimeCtrl::StateTyping))
        if (CGXBDTGadget* g = m_pWnd->GetGadget(m_pWnd->GetCurrentGadget()))
            g->CancelMode();
    return CGXStatic::Validate();
}

BOOL CGXDateTimeCtrl::OnBeginFieldChange()
{
    if (IsCellReadOnly())
        return FALSE;
    SetModified(TRUE);
    return TRUE;
}

void CGXDateTimeCtrl::OnEndFieldChange()
{
    Refresh();
    if (m_bModified)
        NotifyModified();
}

void CGXDateTimeCtrl::StoreEmpty()
{
    SetActive(FALSE);
    SetModified(FALSE);
    m_pGrid->SetValueRange(CGXCellRange(m_nRow, m_nCol), "", gxOverride, 0, GX_INVALIDATE);
}

BOOL CGXDateTimeCtrl::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                                      const CGXStyle* pOldStyle)
{
    const BOOL b = CGXStatic::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle);
    if (!pStyle || (mt != 0 && mt != 1) || !m_pGrid->IsCurrentCellAt(nRow, nCol))
        return b;
    if ((pStyle->GetIncludeValue() && !IsModified()) || pStyle->GetIncludeControl()) {
        ReleaseCell();
    } else if (m_bInit && HasWindow()
               && (pStyle->HasUserAttribute(GX_IDS_UA_DATENOEDIT) || pStyle->HasUserAttribute(GX_IDS_UA_DATEFORMATTYPE)
                   || pStyle->HasUserAttribute(GX_IDS_UA_CUSTOMFORMAT))) {
        ResetCellStyle();
        ApplyDateTimeStyle(m_pWnd.get(), GetCellStyle());
        MakeCurrentFieldEditable();
    }
    return b;
}

BOOL CGXDateTimeCtrl::GetStyleValueText(ROWCOL, ROWCOL, const CGXStyle& style, CString& sText)
{
    sText = style.GetIncludeValue() ? style.GetValue() : CString();
    COleDateTime dt;
    double d = 0;
    if (!sText.IsEmpty() && !ReadNumber(sText, d) && dt.ParseDateTime(sText) && dt.GetStatus() == COleDateTime::valid) {
        char buf[64];
        std::snprintf(buf, sizeof(buf), "%f", double(DATE(dt)));
        sText = buf;
    }
    return TRUE;
}

CSize CGXDateTimeCtrl::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    CSize s = CGXStatic::AddBorderToSize(size, nRow, nCol, style);
    s.cx += 5;
    return s;
}

void CGXDateTimeCtrl::Hide()
{
    if (!HasWindow() || !m_pWnd->IsWindowVisible())
        return;
    const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
    m_pGrid->m_bLockCurrentCell = TRUE;
    ::HideCaret(m_pWnd->GetSafeHwnd());
    m_pWnd->MoveWindow(10000, 10000, 0, 0, FALSE);
    m_pWnd->ShowWindow(SW_HIDE);
    m_pGrid->m_bLockCurrentCell = bOldLock;
}

// ---- Drawing ----

void CGXDateTimeCtrl::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    const BOOL bCurrent = m_pGrid->IsCurrentCellAt(nRow, nCol);
    const BOOL bPrinting = m_pGrid->IsPrinting();
    const CGXStyle* pFontStyle = &style;
    if (!style.GetIncludeFont() && pStandardStyle && pStandardStyle->GetIncludeFont())
        pFontStyle = pStandardStyle;
    const LOGFONT lf = pFontStyle->GetFont().GetLogFontZoomed(m_pGrid->GetZoom());

    if (IsInitializedFor(nRow, nCol) && m_bActive && !bPrinting && HasWindow()) {
        Draw3dBackground(pDC, rect, style, TRUE);
        const CRect rectInner = ComputeInnerRect(nRow, nCol, &rect, &style);
        CFont* pFont = m_fontWnd.Get(lf);
        if (pFont && m_pWnd->GetControlFont() != pFont)
            m_pWnd->SendMessage(WM_SETFONT, WPARAM(pFont->GetSafeHandle()), FALSE);
        m_pWnd->SetTextColor(style.ResolveTextColor());
        m_pWnd->SetBackgroundColor(style.GetInterior().ResolveBrushColor());
        m_pWnd->MoveWindow(rectInner, FALSE);
        m_pWnd->ShowWindow(SW_SHOW);
        m_pWnd->Invalidate(FALSE);
        m_pWnd->UpdateWindow();
        CWnd* pGridWnd = GetGridWnd();
        if (pGridWnd && ::GetFocus() == pGridWnd->GetSafeHwnd()) {
            const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
            m_pGrid->m_bLockCurrentCell = TRUE;
            m_pWnd->SetFocus();
            m_pGrid->m_bLockCurrentCell = bOldLock;
        }
        CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        AddInvalidRect(rectInner);
        return;
    }
    if (IsInitializedFor(nRow, nCol))
        Hide();

    Draw3dBackground(pDC, rect, style);
    if (!m_pDrawCaptive->GetSafeHwnd() && !CreateControl(0, CRect(0, 0, 1, 1)))
        return;
    CGXBDateTimeCtrl& c = *m_pDrawCaptive;
    CFont* pFont = m_fontDraw.Get(lf);
    const CRect rectInner = ComputeInnerRect(nRow, nCol, &rect, &style);
    const CString sValue = style.GetIncludeValue() ? style.GetValue() : CString();
    const BOOL bForce = style.HasUserAttribute(GX_IDS_UA_DATETIMENUMBER) && AttributeInt(style, GX_IDS_UA_DATETIMENUMBER, 0) != 0;
    ApplyDateTimeStyle(&c, style);
    ApplyRange(&c, style, bForce);
    COleDateTime dt;
    const BOOL bValue = ValueToDate(sValue, bForce, dt) && c.SetDateTime(dt);
    if (const int nNoEdit = AttributeInt(style, GX_IDS_UA_DATENOEDIT, 0); c.GetNoEditFields() != nNoEdit)
        c.SetNoEditFields(nNoEdit);
    if (pFont && c.GetControlFont() != pFont)
        c.SendMessage(WM_SETFONT, WPARAM(pFont->GetSafeHandle()), FALSE);
    c.LayoutGadgets(pDC, &rectInner);

    CFont* pOldFont = pFont ? pDC->SelectObject(pFont) : nullptr;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF crText = style.ResolveTextColor(), crBack = style.GetInterior().ResolveBrushColor();
    if (bPrinting && m_pGrid->GetParam() && m_pGrid->GetParam()->GetProperties()
        && m_pGrid->GetParam()->GetProperties()->m_bBlackWhite) {
        crText = RGB(0, 0, 0);
        crBack = RGB(255, 255, 255);
    }
    const COLORREF crOldBk = pDC->SetBkColor(crBack);
    const COLORREF crOldText = pDC->SetTextColor(crText);
    const BOOL bReadOnly = style.GetIncludeReadOnly() && style.GetReadOnly();
    const auto& gadgets = c.GetGadgets();
    for (int i = int(gadgets.size()) - 1; i >= 0; --i) {
        CGXBDTGadget* g = gadgets[size_t(i)].get();
        CRect r;
        if (!r.IntersectRect(g->GetRect(), rectInner))
            continue;
        if (auto* s = dynamic_cast<CGXBDTSpinGadget*>(g)) {
            if (bCurrent && !bPrinting && !bReadOnly)
                DrawSpinGadget(pDC, s);
        } else if (auto* b = dynamic_cast<CGXBDTButtonGadget*>(g)) {
            if (bCurrent && !bPrinting)
                DrawButtonGadget(pDC, b);
        } else if (!bValue) {
            continue;
        } else if (auto* n = dynamic_cast<CGXBDTNumericGadget*>(g)) {
            DrawNumericGadget(pDC, n);
        } else if (auto* l = dynamic_cast<CGXBDTListGadget*>(g)) {
            DrawListGadget(pDC, l);
        } else if (auto* st = dynamic_cast<CGXBDTStaticGadget*>(g)) {
            DrawStaticGadget(pDC, st);
        }
    }
    pDC->SetTextColor(crOldText);
    pDC->SetBkColor(crOldBk);
    pDC->SetBkMode(nOldMode);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

void CGXDateTimeCtrl::DrawSpinGadget(CDC* pDC, CGXBDTSpinGadget* pGadget)
{
    const CRect& r = pGadget->GetRect();
    pDC->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
    const int nState = pGadget->GetState();
    CRect up(r.left, r.top, r.right, r.top + r.Height() / 2), down(r.left, up.bottom, r.right, r.bottom);
    CGXBDTSpinGadget::DrawArrowButton(pDC, up, TRUE, (nState & CGXBDTSpinGadget::UpPressed) != 0);
    CGXBDTSpinGadget::DrawArrowButton(pDC, down, FALSE, (nState & CGXBDTSpinGadget::DownPressed) != 0);
}

void CGXDateTimeCtrl::DrawNumericGadget(CDC* pDC, CGXBDTNumericGadget* pGadget)
{
    CRect r = pGadget->GetRect();
    const CString s = pGadget->IsTyping() ? pGadget->GetText() : NumericGadgetText(pGadget, pGadget->GetValue());
    if (pGadget->HasFocus()) {
        pDC->FillSolidRect(&r, GetSysColor(COLOR_HIGHLIGHT));
        const COLORREF crOld = pDC->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        pDC->DrawText(s, &r, kGadgetText);
        pDC->SetTextColor(crOld);
        return;
    }
    pDC->DrawText(s, &r, kGadgetText);
}

void CGXDateTimeCtrl::DrawListGadget(CDC* pDC, CGXBDTListGadget* pGadget)
{
    CRect r = pGadget->GetRect();
    const CString s = pGadget->GetText();
    if (pGadget->HasFocus()) {
        pDC->FillSolidRect(&r, GetSysColor(COLOR_HIGHLIGHT));
        const COLORREF crOld = pDC->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        pDC->DrawText(s, &r, kGadgetText);
        pDC->SetTextColor(crOld);
        return;
    }
    pDC->DrawText(s, &r, kGadgetText);
}

void CGXDateTimeCtrl::DrawStaticGadget(CDC* pDC, CGXBDTStaticGadget* pGadget)
{
    CRect r = pGadget->GetRect();
    pDC->DrawText(pGadget->GetText(), &r, kGadgetText);
}

void CGXDateTimeCtrl::DrawButtonGadget(CDC* pDC, CGXBDTButtonGadget* pGadget)
{
    CRect r = pGadget->GetRect();
    pDC->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
    pDC->DrawEdge(&r, pGadget->IsPressed() ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    CBitmap& bmp = pGadget->GetBitmap();
    if (!bmp.GetSafeHandle())
        return;
    BITMAP bm {};
    bmp.GetBitmap(&bm);
    CDC dcMem;
    if (!dcMem.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = dcMem.SelectObject(&bmp);
    const int x = r.left + (r.Width() - bm.bmWidth) / 2, y = r.top + (r.Height() - bm.bmHeight) / 2;
    pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOld);
}

// ---- Mouse ----

BOOL CGXDateTimeCtrl::OnFieldClick(UINT flags, CPoint point, BOOL bForced)
{
    if (!HasWindow())
        return FALSE;
    const CRect rectInner = ComputeInnerRect(m_nRow, m_nCol);
    m_pWnd->MoveWindow(rectInner, FALSE);
    m_pWnd->LayoutGadgets(nullptr);
    const CPoint pt(point.x - rectInner.left, point.y - rectInner.top);
    const int i = m_pWnd->GadgetFromPoint(pt);
    const CGXBDTGadget* g = m_pWnd->GetGadget(i);
    const BOOL bHasValue = GetCellStyle().GetIncludeValue() && !GetCellStyle().GetValue().IsEmpty();
    if (g && g->IsEditable()) {
        if (!bForced && !bHasValue)
            return FALSE;
        m_pWnd->SetCurrentGadget(i);
    }
    MakeCurrentFieldEditable();
    if (!StartEditing())
        return FALSE;
    SetActive(TRUE);
    Refresh();
    if (g && GetGridWnd())
        GetGridWnd()->UpdateWindow();
    m_pWnd->SendMessage(WM_LBUTTONDOWN, flags | MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    m_pWnd->SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(pt.x, pt.y));
    return TRUE;
}

BOOL CGXDateTimeCtrl::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (!HasWindow() || m_pWnd->GetGadgets().empty() || !ComputeInnerRect(nRow, nCol).PtInRect(point))
        return FALSE;
    CGXGridParam* pParam = m_pGrid->GetParam();
    const WORD w = pParam ? pParam->m_wActivateFlags : 0;
    const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
    m_pGrid->m_bLockCurrentCell = TRUE;
    if (w & 0x07)
        OnFieldClick(flags, point, FALSE);
    m_pGrid->m_bLockCurrentCell = bOldLock;
    CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
    return TRUE;
}

BOOL CGXDateTimeCtrl::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (HasWindow() && !m_bActive) {
        OnFieldClick(flags, point, TRUE);
        CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

// ---- Keys the grid passes ----

BOOL CGXDateTimeCtrl::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!HasWindow() || IsKeyDown(VK_CONTROL))
        return FALSE;
    switch (nChar) {
    case VK_END:
    case VK_HOME:
        if (!StartEditing())
            return FALSE;
        if (nChar == VK_END)
            m_pWnd->LastEditableGadget();
        else
            m_pWnd->FirstEditableGadget();
        SetActive(TRUE);
        Refresh();
        return TRUE;
    case VK_DELETE: {
        CGXGridParam* pParam = m_pGrid->GetParam();
        const UINT nStylesFormat = GXGetLibraryState().m_nStylesClipboardFormat;
        const BOOL bStylesPaste = nStylesFormat && pParam && !pParam->m_SelRects.IsEmpty();
        if (!IsKeyDown(VK_SHIFT) && !bStylesPaste && !IsCellReadOnly() && CanDeleteCell() && StartEditing())
            StoreEmpty();
        return FALSE;
    }
    default: return FALSE;
    }
}

BOOL CGXDateTimeCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar < 32 || nChar == 127)
        return CGXStatic::OnChar(nChar, nRepCnt, flags);
    return OnCharText(GXCodePointToUtf8(nChar), nRepCnt, flags);
}

BOOL CGXDateTimeCtrl::OnCharText(LPCTSTR pszText, UINT, UINT)
{
    if (!HasWindow())
        return FALSE;
    if (m_bActive)
        return TRUE;
    if (IsCellReadOnly() || !StartEditing())
        return FALSE;
    SetActive(TRUE);
    Refresh();
    m_pWnd->FirstEditableGadget();
    const CString s = pszText ? pszText : "";
    if (s.GetLength() == 1)
        m_pWnd->PostMessage(WM_CHAR, BYTE(s[0]), 1);
    return TRUE;
}

BOOL CGXDateTimeCtrl::OnSysKeyDown(UINT nChar, UINT, UINT)
{
    if (!HasWindow() || m_pWnd->GetGadgets().empty() || nChar != VK_DOWN)
        return FALSE;
    if (!StartEditing())
        return FALSE;
    SetActive(TRUE);
    if (!m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE))
        Refresh();
    if (CWnd* pGridWnd = GetGridWnd())
        pGridWnd->UpdateWindow();
    if (m_pWnd->GetCtrlStyle() & GXBDT_DROPDOWN)
        m_pWnd->DropCalendar();
    return TRUE;
}

// ---- Clipboard ----

BOOL CGXDateTimeCtrl::CopyText()
{
    // The grid copies the cell; it empties the clipboard itself when it puts the data.
    if (m_bInit && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol))
        return m_pGrid->CopyRange(CGXCellRange(m_nRow, m_nCol));
    return FALSE;
}

BOOL CGXDateTimeCtrl::CanPaste()
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    const UINT nStylesFormat = GXGetLibraryState().m_nStylesClipboardFormat;
    if (nStylesFormat && IsClipboardFormatAvailable(nStylesFormat) && pParam && !pParam->m_SelRects.IsEmpty())
        return FALSE;
    if (!m_bInit || !m_bActive || GetCellStyle().GetReadOnly())
        return FALSE;
    return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_OEMTEXT);
}

BOOL CGXDateTimeCtrl::PasteText() { return CGXStatic::PasteText(); }

void CGXDateTimeCtrl::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bInit || IsCellReadOnly())
        return;
    CString s = pszText ? pszText : "";
    if (!ConvertDisplayText(s, m_nRow, m_nCol, GetCellStyle()))
        return;
    if (m_bActive && HasWindow() && !s.IsEmpty()) {
        m_pWnd->SetDateTime(COleDateTime(DATE(std::atof(s))));
        SetModified(TRUE);
        NotifyModified();
        Refresh();
        return;
    }
    m_pGrid->SetValueRange(CGXCellRange(m_nRow, m_nCol), s, gxOverride, 0, GX_INVALIDATE);
}

// ---- Messages of the window ----

BOOL CGXDateTimeCtrl::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_KILLFOCUS:
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        NotifyGridKillFocus(CWnd::FromHandle(HWND(wParam)));
        return TRUE;
    case WM_KEYDOWN: {
        const UINT nChar = UINT(wParam);
        if (!m_bActive || !m_bInit || IsKeyDown(VK_CONTROL)) {
            if (m_bInit)
                m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
            return TRUE;
        }
        m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE);
        const BOOL bCalendarKey = nChar == VK_F4 && (m_pWnd->GetCtrlStyle() & GXBDT_DROPDOWN);
        if (nChar == VK_TAB || nChar == VK_RETURN || nChar == VK_ESCAPE || nChar == VK_PRIOR || nChar == VK_NEXT
            || (nChar >= VK_F1 && nChar <= VK_F24 && !bCalendarKey)) {
            m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
            return TRUE;
        }
        if (nChar == VK_DELETE) {
            if (!IsCellReadOnly())
                StoreEmpty();
            return TRUE;
        }
        return FALSE;
    }
    case WM_CHAR:
        if (!m_bInit || !m_bActive || IsCellReadOnly() || wParam == 8)
            return TRUE;
        m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE);
        if (IsKeyDown(VK_CONTROL)) {
            // The clipboard is emptied only where something is put on it.
            if (wParam == 3)
                CopyText();
            else if (wParam == 22)
                PasteText();
            else if (wParam == 24)
                CutText();
            return TRUE;
        }
        if (wParam == 13 || wParam == 10)
            return TRUE;
        SetModified(TRUE);
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        NotifyModified();
        m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    case WM_KEYUP:
        if (m_bInit && m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            return TRUE;
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        if (m_bModified)
            NotifyModified();
        return TRUE;
    case WM_LBUTTONUP: {
        const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
        m_pGrid->m_bLockCurrentCell = TRUE;
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        m_pGrid->m_bLockCurrentCell = bOldLock;
        if (m_bModified)
            NotifyModified();
        return TRUE;
    }
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN && !m_pWnd->GetGadgets().empty()) {
            if (m_pWnd->GetCtrlStyle() & GXBDT_DROPDOWN)
                m_pWnd->DropCalendar();
            return TRUE;
        }
        if (m_bInit && m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            return TRUE;
        return FALSE;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return m_bInit && m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
    default: return FALSE;
    }
}
