#include "grid/controls/gxcurrency.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "grid/widgets/gxbcalc.h"
#include "grid/widgets/gxbres.h"
#include "platform/gdi/gdi.h"
#include "platform/win/win.h"

const CGXControlClass CGXCurrencyEdit::classCGXCurrencyEdit = {"CGXCurrencyEdit", &CGXStatic::classCGXStatic};

namespace {

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

CString AttributeText(const CGXStyle& style, WORD nId)
{
    return style.HasUserAttribute(nId) ? CString(style.GetUserAttribute(nId).GetValueText()) : CString();
}

// A whole number within [nMin, nMax], else FALSE.
BOOL ReadInt(const CString& s, int nMin, int nMax, int& n)
{
    if (s.IsEmpty())
        return FALSE;
    char* pEnd = nullptr;
    const long v = std::strtol(s, &pEnd, 10);
    if (!pEnd || *pEnd || v < nMin || v > nMax)
        return FALSE;
    n = int(v);
    return TRUE;
}

// The first UTF-8 character of a text as a code point.
UINT FirstChar(const char* p)
{
    const BYTE c = BYTE(*p);
    if (c < 0x80)
        return c;
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    UINT cp = c & (0x3F >> n);
    for (int i = 1; i <= n && p[i]; ++i)
        cp = (cp << 6) | (BYTE(p[i]) & 0x3F);
    return cp;
}

const char* NextCharOf(const char* p)
{
    if (!*p)
        return p;
    ++p;
    while ((BYTE(*p) & 0xC0) == 0x80)
        ++p;
    return p;
}

CString ReplacePoint(const CString& s, UINT chDecimal)
{
    if (!chDecimal || chDecimal == '.')
        return s;
    CString sDec = GXCodePointToUtf8(chDecimal);
    CString r;
    for (const char* p = s; *p; ++p) {
        if (*p == '.')
            r += sDec;
        else
            r += CString(p, 1);
    }
    return r;
}

}  // namespace

// ---- The window ----

LRESULT CGXCurrencyEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_pControl && m_pControl->OnWindowMessage(message, wParam, lParam, result))
        return result;
    return CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
}

void CGXCurrencyEdit::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle attrStyle;
    attrStyle.SetControl(WORD(GX_IDS_CTRL_MASKEDIT)).SetUserAttribute(51023, "##AAAA#");
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYATTRIBUTES, &attrStyle);
    CString sPos, sNeg;
    sPos.LoadString(20065);
    sNeg.LoadString(20064);
    CGXStyle posStyle;
    posStyle.SetControl(WORD(GX_IDS_CTRL_ZEROBASED_EX)).SetChoiceList(sPos);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYPOSFORMAT, &posStyle);
    CGXStyle negStyle;
    negStyle.SetControl(WORD(GX_IDS_CTRL_ZEROBASED_EX)).SetChoiceList(sNeg);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYNEGFORMAT, &negStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYDECIMALS, nullptr);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYFRACTIONS, nullptr);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYSYMBOL, nullptr);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYSEPARATORS, nullptr);
}

CGXCurrencyEdit::CGXCurrencyEdit(CGXGridCore* pGrid, UINT nID)
    : CGXStatic(pGrid), m_pCaptive(std::make_unique<CGXCaptiveCurEdit>()), m_nID(nID)
{
}

CGXCurrencyEdit::~CGXCurrencyEdit()
{
    if (HasWindow())
        m_pWnd->DestroyWindow();
    if (m_pCaptive && m_pCaptive->GetSafeHwnd())
        m_pCaptive->DestroyWindow();
}

void CGXCurrencyEdit::BuildFormat(const CGXStyle& style, CGXBCurrencyFormat& fmt, UINT& nButtonBitmap)
{
    CString sAttr = AttributeText(style, GX_IDS_UA_CURRENCYATTRIBUTES);
    if (sAttr.GetLength() != 4)
        sAttr = "11 1";
    const char* a = sAttr;
    fmt.SetLeadingZero(a[0] != '0');
    fmt.SetKeepLeadingDigits(a[1] != '0');
    fmt.SetPaddingChar(BYTE(a[2]));
    nButtonBitmap = a[3] != '0' ? GXB_IDB_CALCULATOR : 0;

    // A layout number the format does not have keeps the locale's layout.
    int n = 0;
    if (ReadInt(AttributeText(style, GX_IDS_UA_CURRENCYPOSFORMAT), 0, CGXBCurrencyFormat::kPositiveLayouts - 1, n))
        fmt.SetPositiveFormat(n);
    if (ReadInt(AttributeText(style, GX_IDS_UA_CURRENCYNEGFORMAT), 0, CGXBCurrencyFormat::kNegativeLayouts - 1, n))
        fmt.SetNegativeFormat(n);
    if (ReadInt(AttributeText(style, GX_IDS_UA_CURRENCYDECIMALS), -1, 1000, n))
        fmt.SetIntegerDigits(n);
    if (ReadInt(AttributeText(style, GX_IDS_UA_CURRENCYFRACTIONS), 0, CGXBCurrencyFormat::kMaxDecimalDigits, n))
        fmt.SetDecimalDigits(n);
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYSYMBOL)) {
        const CString sSymbol = AttributeText(style, GX_IDS_UA_CURRENCYSYMBOL);
        fmt.SetMonetarySymbol(sSymbol.Left(1) == "0" ? CString() : sSymbol);
    }
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYSEPARATORS)) {
        CString sSep = AttributeText(style, GX_IDS_UA_CURRENCYSEPARATORS);
        const char* p = sSep;
        const char* q = NextCharOf(p);
        if (!*p || !*q || *NextCharOf(q))
            sSep = ",.", p = sSep, q = p + 1;
        fmt.SetGroupingSeparator(*p == '0' ? 0 : FirstChar(p));
        fmt.SetDecimalSeparator(FirstChar(q));
    }
}

void CGXCurrencyEdit::ApplyFormatStyle(CGXBCurrencyEdit* pEdit, const CGXStyle& style)
{
    if (!pEdit)
        pEdit = m_pWnd.get();
    if (!pEdit)
        return;
    CGXBCurrencyFormat fmt(TRUE);
    const CGXBCurrencyFormat& old = pEdit->GetFormatRef();
    COLORREF cr = 0;
    if (old.GetBackgroundColor(cr))
        fmt.SetBackgroundColor(cr);
    if (old.GetPositiveTextColor(cr))
        fmt.SetPositiveTextColor(cr);
    if (old.GetNegativeTextColor(cr))
        fmt.SetNegativeTextColor(cr);
    UINT nBitmap = 0;
    BuildFormat(style, fmt, nBitmap);
    pEdit->SetFormat(fmt);
    if (pEdit == m_pWnd.get() && pEdit->GetButtonBitmap() != nBitmap)
        pEdit->SetButtonBitmap(nBitmap);
}

BOOL CGXCurrencyEdit::CreateCurrencyWindow(DWORD dwStyle)
{
    CWnd* pGridWnd = GetGridWnd();
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    const DWORD dw = (dwStyle & ~DWORD(0x107C)) | WS_CHILD;
    if (!m_pWnd)
        m_pWnd = std::make_unique<CGXCurrencyEditWnd>(this);
    if (!m_pWnd->GetSafeHwnd() && !m_pWnd->Create(dw, CRect(0, 0, 0, 0), pGridWnd, m_nID))
        return FALSE;
    if (!m_pCaptive->GetSafeHwnd() && !m_pCaptive->Create(dw, CRect(0, 0, 0, 0), pGridWnd, m_nID + 4))
        return FALSE;
    return TRUE;
}

BOOL CGXCurrencyEdit::NumberText(const CGXBCurrencyFormat& fmt, double dValue, CString& sText)
{
    const double dMag = std::fabs(dValue);
    const int nLimit = fmt.GetIntegerDigits();
    if (dMag != 0 && nLimit != -1) {
        const int k = int(std::floor(std::log10(dMag)));
        // Keeping only the leading digits would store another amount: refused.
        if (k > nLimit - 1)
            return FALSE;
    }
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.*f", fmt.GetDecimalDigits(), dValue);
    sText = buf;
    return TRUE;
}

BOOL CGXCurrencyEdit::ParseStored(const CGXBCurrencyFormat& fmt, const CString& sValue, double& d)
{
    bool bNegative = false;
    if (!fmt.ParseValue(ReplacePoint(sValue, fmt.GetDecimalSeparator()), d, bNegative))
        return FALSE;
    if (bNegative)
        d = -d;
    return TRUE;
}

// ---- Binding, activity and values ----

void CGXCurrencyEdit::SetActive(BOOL bActive)
{
    SetActiveWithWindow(m_bActive, bActive, HasWindow());
}

void CGXCurrencyEdit::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    m_bInitializing = TRUE;
    CGXStatic::InitForCell(nRow, nCol);
    if (!HasWindow())
        CreateCurrencyWindow(0);
    const CGXStyle& style = GetCellStyle();
    ApplyFormatStyle(nullptr, style);
    SetCellValue(style.GetIncludeValue() ? LPCTSTR(style.GetValue()) : "");
    if (HasWindow()) {
        if (style.GetIncludeHorizontalAlignment())
            m_pWnd->SetAlignment(std::min<int>(int(style.GetHorizontalAlignment()), 2));
        m_pWnd->SetSel(0, 0);
        CGXGridParam* pParam = m_pGrid->GetParam();
        if (pParam && (pParam->m_wActivateFlags & 0x04) && StartEditing())
            SetActive(TRUE);
    }
    m_bInitializing = FALSE;
    SetModified(FALSE);
}

void CGXCurrencyEdit::SetCellValue(LPCTSTR pszText)
{
    CString s;
    GetDisplayText(s, m_nRow, m_nCol, pszText ? pszText : "", GetCellStyle());
}

BOOL CGXCurrencyEdit::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    sResult.Empty();
    if (pszValue) {
        // A value for the cell's own window.
        if (!HasWindow())
            return FALSE;
        const CString s = ReplacePoint(pszValue, m_pWnd->GetFormatRef().GetDecimalSeparator());
        const BOOL bOld = m_bInitializing;
        m_bInitializing = TRUE;
        const BOOL bOk = m_pWnd->SendMessage(WM_SETTEXT, 0, LPARAM(LPCTSTR(s))) != 0;
        m_bInitializing = bOld;
        if (bOk)
            sResult = s;
        return bOk;
    }
    const CString sValue = style.GetIncludeValue() ? style.GetValue() : CString();
    if (sValue.IsEmpty())
        return FALSE;
    if (!m_pCaptive->GetSafeHwnd() && !CreateCurrencyWindow(0))
        return FALSE;
    ApplyFormatStyle(m_pCaptive.get(), style);
    const CString s = ReplacePoint(sValue, m_pCaptive->GetFormatRef().GetDecimalSeparator());
    m_pCaptive->SendMessage(WM_SETTEXT, 0, LPARAM(LPCTSTR(s)));
    m_pCaptive->GetWindowText(sResult);
    return !sResult.IsEmpty();
}

BOOL CGXCurrencyEdit::GetCellValueText(CString& sText)
{
    sText.Empty();
    if (m_bActive && HasWindow()) {
        m_pWnd->GetWindowText(sText);
        return TRUE;
    }
    if (m_bInit)
        return GetDisplayText(sText, m_nRow, m_nCol, nullptr, GetCellStyle()) || TRUE;
    return FALSE;
}

BOOL CGXCurrencyEdit::GetEditText(CString& sText)
{
    sText.Empty();
    if (!m_bInit || !HasWindow())
        return FALSE;
    CGXBCurrencyFormat fmt(TRUE);
    m_pWnd->GetFormat(fmt);
    return NumberText(fmt, m_pWnd->GetValue(), sText);
}

void CGXCurrencyEdit::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    if (!m_bActive)
        SetActive(TRUE);
    const CString s = pszText ? pszText : "";
    if (!ValidateText(s))
        return;
    if (m_pWnd->SendMessage(WM_SETTEXT, 0, LPARAM(LPCTSTR(s)))) {
        SetModified(TRUE);
        NotifyModified();
    }
}

BOOL CGXCurrencyEdit::CommitValue()
{
    return StoreEditTextAsValue(m_pGrid->m_nStyleStoreType);
}

BOOL CGXCurrencyEdit::Validate()
{
    CString s;
    if (m_bInit && IsModified() && !GetEditText(s))
        return FALSE;
    return CGXStatic::Validate();
}

BOOL CGXCurrencyEdit::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (sText.IsEmpty())
        return TRUE;
    CGXBCurrencyFormat fmt(TRUE);
    UINT nBitmap = 0;
    BuildFormat(style, fmt, nBitmap);
    double d = 0;
    bool bNegative = false;
    if (!fmt.ParseValue(sText, d, bNegative))
        return FALSE;
    return NumberText(fmt, bNegative ? -d : d, sText);
}

BOOL CGXCurrencyEdit::GetStyleValueText(ROWCOL, ROWCOL, const CGXStyle& style, CString& sText)
{
    sText = style.GetIncludeValue() ? style.GetValue() : CString();
    if (sText.IsEmpty())
        return TRUE;
    CGXBCurrencyFormat fmt(TRUE);
    UINT nBitmap = 0;
    BuildFormat(style, fmt, nBitmap);
    double d = 0;
    CString s;
    if (ParseStored(fmt, sText, d) && NumberText(fmt, d, s))
        sText = s;
    return TRUE;
}

BOOL CGXCurrencyEdit::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                                      const CGXStyle* pOldStyle)
{
    const BOOL b = CGXStatic::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle);
    if (!pStyle || (mt != 0 && mt != 1) || !m_pGrid->IsCurrentCellAt(nRow, nCol))
        return b;
    if ((pStyle->GetIncludeValue() && !IsModified()) || pStyle->GetIncludeControl()) {
        ReleaseCell();
    } else if (m_bInit
               && (pStyle->HasUserAttribute(GX_IDS_UA_CURRENCYATTRIBUTES) || pStyle->HasUserAttribute(GX_IDS_UA_CURRENCYPOSFORMAT)
                   || pStyle->HasUserAttribute(GX_IDS_UA_CURRENCYNEGFORMAT) || pStyle->HasUserAttribute(GX_IDS_UA_CURRENCYDECIMALS)
                   || pStyle->HasUserAttribute(GX_IDS_UA_CURRENCYFRACTIONS))) {
        ResetCellStyle();
        ApplyFormatStyle(nullptr, GetCellStyle());
    }
    return b;
}

void CGXCurrencyEdit::Hide()
{
    if (HasWindow())
        HideCellWindow(m_pWnd.get());
}

// ---- Drawing ----

void CGXCurrencyEdit::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    const BOOL bOld = m_bInitializing;
    m_bInitializing = TRUE;
    if (!IsInitializedFor(nRow, nCol) || !m_bActive || m_pGrid->IsPrinting() || !HasWindow()) {
        CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        m_bInitializing = bOld;
        return;
    }
    Hide();
    ResetCellStyle();
    const CGXStyle& cellStyle = GetCellStyle();
    const CGXStyle* pFontStyle = &cellStyle;
    if (!cellStyle.GetIncludeFont() && pStandardStyle && pStandardStyle->GetIncludeFont())
        pFontStyle = pStandardStyle;
    const LOGFONT lf = pFontStyle->GetFont().GetLogFontZoomed(m_pGrid->GetZoom());
    const BOOL bNewFont = !m_bFont || std::memcmp(&lf, &m_lfFont, sizeof(LOGFONT)) != 0;
    if (bNewFont) {
        m_font.DeleteObject();
        m_bFont = m_font.CreateFontIndirect(&lf);
        m_lfFont = lf;
    }
    CFont* pFont = m_bFont ? &m_font : nullptr;
    if (pFont) {
        CFont* pOld = pDC->SelectObject(pFont);
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        pDC->SelectObject(pOld);
        m_nLineHeight = tm.tmHeight + tm.tmExternalLeading + 1;
    }
    Draw3dBackground(pDC, rect, style, TRUE);
    CRect rectInner = ComputeInnerRect(nRow, nCol, &rect, &style);
    if (!(style.GetIncludeWrapText() && style.GetWrapText()) && m_nLineHeight > 0) {
        const DWORD nVert = style.GetIncludeVerticalAlignment() ? style.GetVerticalAlignment() : 0;
        if (nVert == 1 && rectInner.Height() > m_nLineHeight)
            rectInner.top += (rectInner.Height() - m_nLineHeight) / 2;
        else if (nVert == 2 && rectInner.bottom - m_nLineHeight > rectInner.top)
            rectInner.top = rectInner.bottom - m_nLineHeight;
        rectInner.bottom = std::min<int>(rectInner.bottom, rectInner.top + m_nLineHeight - 1);
    }
    if (pFont && (bNewFont || m_pWnd->SendMessage(WM_GETFONT) != LRESULT(pFont->GetSafeHandle())))
        m_pWnd->SendMessage(WM_SETFONT, WPARAM(pFont->GetSafeHandle()), FALSE);

    CGXBCurrencyFormat fmt(TRUE);
    m_pWnd->GetFormat(fmt);
    fmt.SetBackgroundColor(style.GetInterior().ResolveBrushColor());
    fmt.SetPositiveTextColor(style.ResolveTextColor());
    fmt.SetNegativeTextColor(style.ResolveTextColor());
    m_pWnd->SetFormat(fmt);
    UINT nBitmap = 0;
    CGXBCurrencyFormat fmtStyle(TRUE);
    BuildFormat(style, fmtStyle, nBitmap);
    if (m_pWnd->GetButtonBitmap() != nBitmap)
        m_pWnd->SetButtonBitmap(nBitmap);

    m_pWnd->MoveWindow(rectInner, FALSE);
    m_pWnd->SetReadOnly(IsCellReadOnly());
    CWnd* pGridWnd = GetGridWnd();
    if (pGridWnd && ::GetFocus() == pGridWnd->GetSafeHwnd()) {
        const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
        m_pGrid->m_bLockCurrentCell = TRUE;
        m_pWnd->SetFocus();
        m_pGrid->m_bLockCurrentCell = bOldLock;
    }
    m_pWnd->ShowWindow(SW_SHOW);
    m_pWnd->Invalidate(FALSE);
    m_pWnd->UpdateWindow();
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
    AddInvalidRect(rectInner);
    m_bInitializing = bOld;
}

// ---- Keys and mouse the grid passes ----

void CGXCurrencyEdit::ScrollIntoViewOrRefresh()
{
    if (!m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE))
        Refresh();
}

BOOL CGXCurrencyEdit::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!HasWindow() || IsKeyDown(VK_CONTROL))
        return FALSE;
    switch (nChar) {
    case VK_SPACE: {
        // The sign flips in the window; the cell's value stays until the cell is edited.
        CGXBCurrencyFormat fmt(TRUE);
        m_pWnd->GetFormat(fmt);
        double d = 0;
        bool bNegative = false;
        if (IsCellReadOnly() || !fmt.ParseValue(ReplacePoint(m_pGrid->CellValueText(m_nRow, m_nCol), fmt.GetDecimalSeparator()), d, bNegative))
            return TRUE;
        const BOOL bOld = m_bInitializing;
        m_bInitializing = TRUE;
        m_pWnd->SetValue(bNegative ? d : -d);
        m_bInitializing = bOld;
        return TRUE;
    }
    case VK_END:
    case VK_HOME:
        if (!StartEditing())
            return FALSE;
        SetActive(TRUE);
        ScrollIntoViewOrRefresh();
        return TRUE;
    default: return FALSE;
    }
}

BOOL CGXCurrencyEdit::OnChar(UINT nChar, UINT nRepCnt, UINT flags)
{
    // Space flips the sign at its key; it is no character of an amount.
    if (HasWindow() && nChar > 32 && nChar != 127 && !m_bActive && !IsCellReadOnly() && StartEditing()) {
        SetActive(TRUE);
        m_pWnd->PostMessage(WM_CHAR, nChar, 1);
        Refresh();
        return TRUE;
    }
    return CGXStatic::OnChar(nChar, nRepCnt, flags);
}

BOOL CGXCurrencyEdit::OnSysKeyDown(UINT nChar, UINT, UINT)
{
    if (!HasWindow())
        return FALSE;
    if (nChar == VK_UP) {
        m_pWnd->SetFocus();
    } else if (nChar == VK_DOWN && StartEditing()) {
        SetActive(TRUE);
        Refresh();
        m_pGrid->RedrawCells(m_nRow, m_nCol, m_nRow, m_nCol, GX_UPDATENOW);
        if (m_pWnd->GetButtonBitmap())
            m_pWnd->ShowCalculator();
    }
    return FALSE;
}

BOOL CGXCurrencyEdit::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (HasWindow()) {
        CGXGridParam* pParam = m_pGrid->GetParam();
        const WORD w = pParam ? pParam->m_wActivateFlags : 0;
        if (w & 0x07) {
            if (m_bActive || (StartEditing() && (SetActive(TRUE), true)))
                m_pWnd->SetSel(0, -1);
        }
        if (m_bActive && ::GetFocus() != m_pWnd->GetSafeHwnd())
            Refresh();
    }
    return CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
}

BOOL CGXCurrencyEdit::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (HasWindow() && !m_bActive && pParam && (pParam->m_wActivateFlags & 0x08) && StartEditing()) {
        SetActive(TRUE);
        Refresh();
    }
    return CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

void CGXCurrencyEdit::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bActive || !HasWindow()) {
        CGXStatic::ReplaceSelection(pszText);
        return;
    }
    if (IsCellReadOnly())
        return;
    m_pWnd->InsertText(pszText ? pszText : "");
}

BOOL CGXCurrencyEdit::GetSelectionText(CString& sText)
{
    if (!m_bActive || !HasWindow()) {
        GetCellValueText(sText);
        return FALSE;
    }
    m_pWnd->GetWindowText(sText);
    int a = 0, b = 0;
    m_pWnd->GetSel(a, b);
    if (a == b)
        return FALSE;
    // Selections count characters.
    const char* p = sText;
    const char* pa = p;
    for (int i = 0; i < a && *pa; ++i)
        pa = NextCharOf(pa);
    const char* pb = pa;
    for (int i = a; i < b && *pb; ++i)
        pb = NextCharOf(pb);
    sText = CString(pa, int(pb - pa));
    return TRUE;
}

BOOL CGXCurrencyEdit::HandleCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (!HasWindow() || HWND(lParam) != m_pWnd->GetSafeHwnd())
        return CGXStatic::HandleCommandMessage(wParam, lParam);
    if (HIWORD(wParam) == EN_CHANGE && m_bActive && !m_bInitializing)
        NotifyModified();
    return TRUE;
}

// ---- Messages of the window ----

BOOL CGXCurrencyEdit::OnWndKeyDown(UINT nChar, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (!m_bInit)
        return FALSE;
    m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    if (IsKeyDown(VK_CONTROL))
        return FALSE;
    auto toGrid = [&] {
        m_pGrid->ProcessKeyMessage(WM_KEYDOWN, nChar, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    };
    CString sText;
    m_pWnd->GetWindowText(sText);
    int nLen = 0;
    for (const char* p = sText; *p; p = NextCharOf(p))
        ++nLen;
    const int nCaret = m_pWnd->GetCaretIndex();
    switch (nChar) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT: return toGrid();
    case VK_SPACE: {
        CGXBCurrencyFormat fmt(TRUE);
        m_pWnd->GetFormat(fmt);
        double d = 0;
        bool bNegative = false;
        if (!IsCellReadOnly() && fmt.ParseValue(sText, d, bNegative))
            m_pWnd->ToggleSign();
        return TRUE;
    }
    case VK_LEFT: return nCaret > 0 ? FALSE : toGrid();
    case VK_RIGHT: return nCaret < nLen ? FALSE : toGrid();
    case VK_UP:
    case VK_DOWN: return toGrid();
    case VK_INSERT:
        if (IsKeyDown(VK_SHIFT)) {
            PasteText();
            return TRUE;
        }
        return FALSE;
    case VK_DELETE: SetModified(TRUE); return FALSE;
    default:
        if (nChar >= VK_F1 && nChar <= VK_F24)
            return toGrid();
        return FALSE;
    }
}

BOOL CGXCurrencyEdit::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETDLGCODE:
        result = m_pWnd->DefaultProc(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
        return TRUE;
    case WM_KEYDOWN: return OnWndKeyDown(UINT(wParam), lParam, result);
    case WM_CHAR:
        if (!m_bInit || !m_bActive || IsCellReadOnly() || wParam == 8)
            return TRUE;
        m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
        if (IsKeyDown(VK_CONTROL) || wParam == 13 || wParam == 10)
            return TRUE;
        if (wParam == ' ')
            return TRUE;  // the key flipped the sign
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    case WM_ERASEBKGND: result = TRUE; return TRUE;
    case WM_KILLFOCUS:
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        NotifyGridKillFocus(CWnd::FromHandle(HWND(wParam)));
        return TRUE;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        if (m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            return TRUE;
        return FALSE;
    case WM_SYSKEYDOWN:
        if (m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            return TRUE;
        return FALSE;
    case GXB_WM_CALCRESULT:
        if (IsCellReadOnly()) {
            result = 0;
            return TRUE;
        }
        return FALSE;
    case WM_SETTEXT: {
        CString sBefore;
        m_pWnd->GetWindowText(sBefore);
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        CString sAfter;
        m_pWnd->GetWindowText(sAfter);
        if (sAfter != sBefore && !m_bInitializing && m_bInit) {
            SetModified(TRUE);
            NotifyModified();
        }
        return TRUE;
    }
    case WM_CONTEXTMENU: return FALSE;
    default: return FALSE;
    }
}
