#include "grid/controls/gxrichedit.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "grid/controls/gxstatic.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstyle.h"
#include "platform/base/utf8.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"
#include "platform/win/win.h"

const CGXControlClass CGXRichEditCtrl::classCGXRichEditCtrl = {"CGXRichEditCtrl", &CGXControl::classCGXControl};
BOOL CGXRichEditCtrl::s_bLockResize = FALSE;

namespace {

UINT g_nRtfFormat = 0;

// What the window reports while it is edited, and how it behaves then.
constexpr DWORD kEventMask = ENM_CHANGE | ENM_UPDATE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED;
constexpr DWORD kOptions = ECO_AUTOWORDSELECTION | ECO_AUTOVSCROLL | ECO_AUTOHSCROLL | ECO_NOHIDESEL | ECO_SAVESEL;
// The off-screen windows lie far outside any screen.
constexpr int kOffScreen = 30000;
// They hold whole cell values, whatever the editing limit is.
constexpr long kAuxLimit = 16L << 20;
// A position past any text: the caret goes to the end.
constexpr long kTextEnd = LONG_MAX;
// Style alignment values.
constexpr DWORD kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2;
constexpr LONG kBoldWeight = 700, kNormalWeight = 400;
constexpr int kTwipsPerPoint = 20;
constexpr int kTwipsPerInch = 1440;

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// Raises a flag for a scope and puts back what it was.
class FlagScope {
public:
    FlagScope(BOOL& flag, BOOL value) : m_flag(flag), m_old(flag) { m_flag = value; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    BOOL& m_flag;
    BOOL m_old;
};

// The first nChars characters of a UTF-8 text, never splitting one.
CString LeftChars(const CString& s, int nChars)
{
    const char* p = s;
    int i = 0;
    for (int n = 0; p[i]; ++i)
        if ((BYTE(p[i]) & 0xC0) != 0x80 && n++ == nChars)
            break;
    return CString(p, i);
}

// What distinguishes the formats a window was given beneath a value.
CString FormatKey(const CGXStyle* pStyle)
{
    if (!pStyle)
        return CString();
    CString s;
    const CGXFont& f = pStyle->GetFont();
    s.Format("%lx:%lx:%lx:%lx:%lu", (unsigned long)f.GetWord1(), (unsigned long)f.GetWord2(),
             (unsigned long)(pStyle->GetIncludeTextColor() ? pStyle->ResolveTextColor() : 0xFFFFFFFFul),
             (unsigned long)pStyle->GetIncludeTextColor(),
             (unsigned long)(pStyle->GetIncludeHorizontalAlignment() ? pStyle->GetHorizontalAlignment() : 9));
    return s;
}

}  // namespace

// ---- The editing window ----

LRESULT CGXRichEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_pControl && m_pControl->OnWndMessage(message, wParam, lParam, result))
        return result;
    return CRichEditCtrl::WindowProc(message, wParam, lParam);
}

BOOL CGXRichEditWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (message == WM_NOTIFY && pHdr && pHdr->code == EN_REQUESTRESIZE && pHdr->hwndFrom == GetSafeHwnd()) {
        if (m_pControl)
            m_pControl->OnRequestResize(*reinterpret_cast<const REQRESIZE*>(lParam));
        if (pResult)
            *pResult = 0;
        return TRUE;
    }
    return CRichEditCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- Construction and windows ----

CGXRichEditCtrl::CGXRichEditCtrl(CGXGridCore* pGrid, UINT nID) : CGXControl(pGrid), m_nID(nID) {}

CGXRichEditCtrl::~CGXRichEditCtrl()
{
    // The off-screen windows are children of the editing one and go with it.
    if (HasWindow())
        m_pWnd->DestroyWindow();
}

UINT CGXRichEditCtrl::RegisterRtfClipboardFormat()
{
    g_nRtfFormat = RegisterClipboardFormat("Rich Text Format");
    return g_nRtfFormat;
}

UINT CGXRichEditCtrl::GetRtfClipboardFormat() { return g_nRtfFormat ? g_nRtfFormat : RegisterRtfClipboardFormat(); }

BOOL CGXRichEditCtrl::CreateControl(DWORD dwStyle, UINT nID)
{
    CWnd* pGridWnd = GetGridWnd();
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    if (HasWindow())
        return TRUE;
    m_pWnd = std::make_unique<CGXRichEditWnd>(this);
    const DWORD dwMain = (dwStyle | WS_CHILD) & ~DWORD(WS_VISIBLE | WS_BORDER);
    if (!m_pWnd->Create(dwMain, CRect(0, 0, 10, 10), pGridWnd, nID))
        return FALSE;
    const CRect rectAux(kOffScreen, kOffScreen, kOffScreen + 100, kOffScreen + 100);
    for (size_t i = 0; i < m_aux.size(); ++i) {
        AuxWnd& aux = m_aux[i];
        const DWORD dwAux = i == 0 ? dwMain : dwMain | WS_BORDER | ES_MULTILINE;
        if (!aux.wnd.Create(dwAux, rectAux, m_pWnd.get(), UINT(i + 1)))
            return FALSE;
        aux.wnd.LimitText(kAuxLimit);
        aux.bHolds = FALSE;
    }
    return TRUE;
}

BOOL CGXRichEditCtrl::EnsureWindows() { return HasWindow() || CreateControl(ES_MULTILINE, m_nID); }

// ---- Formats ----

BOOL CGXRichEditCtrl::StyleToFormats(const CGXStyle& style, CHARFORMAT& cf, PARAFORMAT& pf)
{
    cf = CHARFORMAT {};
    cf.cbSize = sizeof cf;
    pf = PARAFORMAT {};
    pf.cbSize = sizeof pf;
    if (style.GetIncludeHorizontalAlignment()) {
        const DWORD a = style.GetHorizontalAlignment();
        pf.dwMask |= PFM_ALIGNMENT;
        pf.wAlignment = a == kAlignCenter ? PFA_CENTER : a == kAlignRight ? PFA_RIGHT : PFA_LEFT;
    }
    if (style.GetIncludeFont()) {
        const CGXFont& font = style.GetFont();
        auto effect = [&](BOOL bInclude, DWORD mask, BOOL bOn) {
            if (!bInclude)
                return;
            cf.dwMask |= mask;
            if (bOn)
                cf.dwEffects |= mask;  // the effect bits equal their mask bits
        };
        effect(font.GetIncludeWeight(), CFM_BOLD, font.GetWeight() >= kBoldWeight);
        effect(font.GetIncludeItalic(), CFM_ITALIC, font.GetItalic());
        effect(font.GetIncludeUnderline(), CFM_UNDERLINE, font.GetUnderline());
        effect(font.GetIncludeStrikeOut(), CFM_STRIKEOUT, font.GetStrikeOut());
        if (font.GetIncludeFaceName()) {
            cf.dwMask |= CFM_FACE;
            const LOGFONT& lf = font.GetLogFont();
            cf.bCharSet = lf.lfCharSet;
            cf.bPitchAndFamily = lf.lfPitchAndFamily;
            std::strncpy(cf.szFaceName, font.GetFaceName(), sizeof cf.szFaceName - 1);
        }
        if (font.GetIncludeSize()) {
            cf.dwMask |= CFM_SIZE;
            cf.yHeight = LONG(font.GetSize() * kTwipsPerPoint + 0.5);
        }
    }
    if (style.GetIncludeTextColor()) {
        cf.dwMask |= CFM_COLOR;
        cf.crTextColor = style.ResolveTextColor() & 0xFFFFFF;
    }
    return cf.dwMask != 0 || pf.dwMask != 0;
}

BOOL CGXRichEditCtrl::FormatsToStyle(const CHARFORMAT& cf, const PARAFORMAT& pf, CGXStyle& style)
{
    if (pf.dwMask & PFM_ALIGNMENT)
        style.SetHorizontalAlignment(pf.wAlignment == PFA_RIGHT ? kAlignRight
                                     : pf.wAlignment == PFA_CENTER ? kAlignCenter : kAlignLeft);
    const DWORD fontMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_SIZE;
    if (cf.dwMask & fontMask) {
        CGXFont font;
        if (cf.dwMask & CFM_BOLD)
            font.SetWeight((cf.dwEffects & CFE_BOLD) ? kBoldWeight : kNormalWeight);
        if (cf.dwMask & CFM_ITALIC)
            font.SetItalic((cf.dwEffects & CFE_ITALIC) != 0);
        if (cf.dwMask & CFM_UNDERLINE)
            font.SetUnderline((cf.dwEffects & CFE_UNDERLINE) != 0);
        if (cf.dwMask & CFM_STRIKEOUT)
            font.SetStrikeOut((cf.dwEffects & CFE_STRIKEOUT) != 0);
        if ((cf.dwMask & CFM_FACE) && cf.szFaceName[0])
            font.SetFaceName(CString(cf.szFaceName, int(strnlen(cf.szFaceName, sizeof cf.szFaceName))));
        if ((cf.dwMask & CFM_SIZE) && cf.yHeight >= kTwipsPerPoint)
            font.SetSize(double(cf.yHeight / kTwipsPerPoint));
        style.ChangeFont(font, gxOverride);
    }
    if ((cf.dwMask & CFM_COLOR) && !(cf.dwEffects & CFE_AUTOCOLOR))
        style.SetTextColor(cf.crTextColor);
    return cf.dwMask != 0 || pf.dwMask != 0;
}

BOOL CGXRichEditCtrl::IsRtfText(LPCTSTR pszText)
{
    if (!pszText)
        return FALSE;
    while (*pszText == ' ' || *pszText == '\t' || *pszText == '\r' || *pszText == '\n')
        ++pszText;
    return std::strncmp(pszText, "{\\rtf", 5) == 0;
}

// ---- Values in windows ----

void CGXRichEditCtrl::LoadInto(CRichEditCtrl& wnd, const CString& sValue, const CGXStyle* pStyle, BOOL bPlain)
{
    CHARFORMAT cf {};
    PARAFORMAT pf {};
    const BOOL bFormats = pStyle && StyleToFormats(*pStyle, cf, pf);
    if (bFormats && cf.dwMask)
        wnd.SetDefaultCharFormat(cf);
    wnd.PvSetRtf(sValue, bPlain ? SF_TEXT : SF_RTF);
    // A value that is no RTF document brings no paragraph format of its own.
    if (bFormats && (pf.dwMask & PFM_ALIGNMENT) && (bPlain || !IsRtfText(sValue))) {
        wnd.SetSel(0, -1);
        wnd.SetParaFormat(pf);
        wnd.SetSel(0, 0);
    }
}

void CGXRichEditCtrl::LoadValue(AuxWnd& aux, const CString& sValue, const CGXStyle* pStyle)
{
    const CString sKey = sValue + '\x01' + FormatKey(pStyle);
    if (aux.bHolds && aux.strHeld == sKey)
        return;
    LoadInto(aux.wnd, sValue, pStyle, FALSE);
    aux.strHeld = sKey;
    aux.bHolds = TRUE;
}

CString CGXRichEditCtrl::PlainToRtf(const CString& sText, const CGXStyle& style)
{
    if (!EnsureWindows())
        return sText;
    AuxWnd& aux = m_aux[auxConvert];
    LoadInto(aux.wnd, sText, &style, TRUE);
    aux.bHolds = FALSE;
    return aux.wnd.PvGetRtf(SF_RTF);
}

// A value that is no RTF document yet: plain text, or a text in one pair of braces as plain
// text travels in RTF, read the way a rich edit reads it.
CString CGXRichEditCtrl::ValueToRtf(const CString& sValue, const CGXStyle& style)
{
    if (!EnsureWindows())
        return sValue;
    AuxWnd& aux = m_aux[auxConvert];
    LoadValue(aux, sValue, &style);
    return aux.wnd.PvGetRtf(SF_RTF);
}

int CGXRichEditCtrl::TextCharCount()
{
    CString s;
    m_pWnd->GetWindowText(s);
    int n = 0;
    for (const char* p = s; *p; ++p)
        n += (BYTE(*p) & 0xC0) != 0x80 && *p != '\r';  // a CR LF is one break
    return n;
}

// ---- Binding, activity and values ----

void CGXRichEditCtrl::SetActive(BOOL bActive)
{
    SetActiveWithWindow(m_bActive, bActive, HasWindow());
}

void CGXRichEditCtrl::SetModified(BOOL bModified)
{
    if (HasWindow())
        m_pWnd->SetModify(bModified);
}

BOOL CGXRichEditCtrl::IsModified() { return HasWindow() && m_pWnd->GetModify(); }

void CGXRichEditCtrl::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    EnsureWindows();
    CGXControl::InitForCell(nRow, nCol);
    ResetCellStyle();
    const CGXStyle& style = GetCellStyle();
    if (HasWindow()) {
        LoadInto(*m_pWnd, style.GetIncludeValue() ? style.GetValue() : CString(), &style, FALSE);
        m_pWnd->SetSel(0, -1);
    }
    SetModified(FALSE);
    if (m_bAutoGrowRows)
        m_nEntryRowHeight = m_pGrid->RowHeight(nRow);
}

BOOL CGXRichEditCtrl::CommitValue()
{
    CString sText;
    if (!m_bInit || !IsModified() || !GetEditText(sText))
        return TRUE;
    SetActive(FALSE);
    ResetCellStyle();
    return m_pGrid->SetRangeValueText(CGXCellRange(m_nRow, m_nCol), sText, gxOverride, 0, GX_INVALIDATE);
}

void CGXRichEditCtrl::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    if (!m_bActive)
        SetActive(TRUE);
    CString sText = pszText ? pszText : "";
    if (!ValidateText(sText))
        return;
    // Typed text is the text itself: its braces and backslashes are characters, not RTF.
    const CGXStyle& style = GetCellStyle();
    if (style.GetIncludeMaxLength() && style.GetMaxLength() != 0)
        sText = LeftChars(sText, int(style.GetMaxLength()));
    LoadInto(*m_pWnd, sText, &style, TRUE);
    SetModified(TRUE);
    NotifyModified();
}

BOOL CGXRichEditCtrl::GetEditText(CString& sText)
{
    if (m_bActive && HasWindow()) {
        sText = m_pWnd->PvGetRtf(SF_RTF);
        return TRUE;
    }
    return CGXControl::GetEditText(sText);
}

void CGXRichEditCtrl::SetCellValue(LPCTSTR pszText)
{
    if (!HasWindow())
        return;
    const CGXStyle* pStyle = m_bInit ? &GetCellStyle() : nullptr;
    LoadInto(*m_pWnd, pszText ? pszText : "", pStyle, FALSE);
}

BOOL CGXRichEditCtrl::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    if (!pszValue && !style.GetIncludeValue())
        return FALSE;
    const CString sValue = pszValue ? CString(pszValue) : style.GetValue();
    sResult.Empty();
    if (sValue.IsEmpty() || !EnsureWindows())
        return TRUE;
    AuxWnd& aux = m_aux[auxConvert];
    LoadValue(aux, sValue, nullptr);
    aux.wnd.GetWindowText(sResult);
    return TRUE;
}

BOOL CGXRichEditCtrl::StoreDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle)
{
    CGXStyle* pScratch = nullptr;
    if (!pStyle) {
        pScratch = m_pGrid->NewScratchStyle();
        m_pGrid->ComposeCellStyle(nRow, nCol, *pScratch, TRUE);
        pStyle = pScratch;
    }
    BOOL bResult = FALSE;
    CGXGridParam* pParam = m_pGrid->GetParam();
    CString sText = pszText ? pszText : "";
    if (!(pParam && pParam->m_bEnforceReadOnly && (m_pGrid->IsReadOnly() || pStyle->GetReadOnly()))
        && ConvertDisplayText(sText, nRow, nCol, *pStyle))
        bResult = m_pGrid->SetRangeValueText(CGXCellRange(nRow, nCol), sText, gxOverride, m_pGrid->m_nStyleStoreType, flags);
    m_pGrid->RecycleStyle(pScratch);
    return bResult;
}

BOOL CGXRichEditCtrl::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (sText.IsEmpty() || IsRtfText(sText))
        return TRUE;  // stored as given: a commit never wraps twice, and empty stays empty
    if (style.GetIncludeMaxLength() && style.GetMaxLength() != 0)
        sText = LeftChars(sText, int(style.GetMaxLength()));
    sText = PlainToRtf(sText, style);
    return TRUE;
}

BOOL CGXRichEditCtrl::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                                      const CGXStyle* pOldStyle)
{
    if (!pStyle || (mt != gxOverride && mt != gxApplyNew))
        return CGXControl::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle);
    CHARFORMAT cf {};
    PARAFORMAT pf {};
    const BOOL bFormats = StyleToFormats(*pStyle, cf, pf);
    if (!bFormats && !pStyle->GetIncludeValue() && !pStyle->GetIncludeControl())
        return CGXControl::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle);

    CGXStyle* pComposed = nullptr;
    if (!pOldStyle) {
        pComposed = m_pGrid->NewScratchStyle();
        m_pGrid->ComposeCellStyle(nRow, nCol, *pComposed, TRUE);
        pOldStyle = pComposed;
    }
    // The font, colour and alignment go into the text.
    CGXStyle* pCopy = m_pGrid->NewScratchStyle();
    *pCopy = *pStyle;
    pCopy->SetIncludeHorizontalAlignment(FALSE).SetIncludeTextColor(FALSE).SetIncludeFont(FALSE);

    const BOOL bActiveHere = IsInitializedFor(nRow, nCol) && m_bActive && HasWindow() && m_pGrid->IsCurrentCellAt(nRow, nCol);
    BOOL bValueFromCell = FALSE;
    if (bFormats && bActiveHere && !pStyle->GetIncludeValue()) {
        if (cf.dwMask)
            m_pWnd->SetSelectionCharFormat(cf);
        if (pf.dwMask)
            m_pWnd->SetParaFormat(pf);
        SetModified(TRUE);
        NotifyModified();
    } else {
        bValueFromCell = !pStyle->GetIncludeValue();
        const CString sValue = bValueFromCell ? (pOldStyle->GetIncludeValue() ? pOldStyle->GetValue() : CString())
                                              : pStyle->GetValue();
        if (bFormats && EnsureWindows()) {
            AuxWnd& aux = m_aux[auxConvert];
            LoadValue(aux, sValue, pOldStyle);
            aux.wnd.SetSel(0, -1);
            if (cf.dwMask)
                aux.wnd.SetSelectionCharFormat(cf);
            if (pf.dwMask)
                aux.wnd.SetParaFormat(pf);
            aux.bHolds = FALSE;
            pCopy->SetValue(aux.wnd.PvGetRtf(SF_RTF));
        } else if (!sValue.IsEmpty() && !IsRtfText(sValue)) {
            pCopy->SetValue(ValueToRtf(sValue, *pOldStyle));
        } else if (!bValueFromCell) {
            pCopy->SetValue(sValue);
        }
    }

    BOOL bResult = TRUE;
    if (mt == gxApplyNew && bValueFromCell && pCopy->GetIncludeValue()) {
        // Applying only what is new would keep the old text: the formatted one replaces it.
        CGXStyle* pValue = m_pGrid->NewScratchStyle();
        pValue->SetValue(pCopy->GetValue());
        pCopy->SetIncludeValue(FALSE);
        if (!pCopy->IsEmpty())
            bResult = CGXControl::StoreStyleRange(nRow, nCol, pCopy, mt, nType, pOldStyle);
        bResult = CGXControl::StoreStyleRange(nRow, nCol, pValue, gxOverride, nType, pOldStyle) && bResult;
        m_pGrid->RecycleStyle(pValue);
    } else if (!pCopy->IsEmpty()) {
        bResult = CGXControl::StoreStyleRange(nRow, nCol, pCopy, mt, nType, pOldStyle);
    }
    m_pGrid->RecycleStyle(pCopy);
    m_pGrid->RecycleStyle(pComposed);
    return bResult;
}

BOOL CGXRichEditCtrl::GetCurrentText(ROWCOL nRow, ROWCOL nCol, CGXStyle& style)
{
    CHARFORMAT cf {};
    cf.cbSize = sizeof cf;
    PARAFORMAT pf {};
    pf.cbSize = sizeof pf;
    if (IsInitializedFor(nRow, nCol) && m_bActive && HasWindow() && m_pGrid->IsCurrentCellAt(nRow, nCol)) {
        m_pWnd->GetSelectionCharFormat(cf);
        m_pWnd->GetParaFormat(pf);
    } else {
        const CGXStyle& cell = m_pGrid->GetCellStyleCached(nRow, nCol);
        if (!EnsureWindows())
            return FALSE;
        AuxWnd& aux = m_aux[auxFormats];
        LoadValue(aux, cell.GetIncludeValue() ? cell.GetValue() : CString(), &cell);
        aux.wnd.SetSel(0, 0);
        aux.wnd.GetSelectionCharFormat(cf);
        aux.wnd.GetParaFormat(pf);
    }
    return FormatsToStyle(cf, pf, style);
}

void CGXRichEditCtrl::Hide()
{
    if (!HasWindow() || !m_pWnd->IsWindowVisible())
        return;
    FlagScope lock(m_pGrid->m_bLockCurrentCell, TRUE);
    m_pWnd->ShowWindow(SW_HIDE);
}

// ---- Geometry ----

CRect CGXRichEditCtrl::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = CGXControl::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    const int m = CGXStatic::TextMargin();
    rect.left += m;
    rect.right -= m / 2;
    return rect;
}

CSize CGXRichEditCtrl::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    const int m = CGXStatic::TextMargin();
    size.cx += m + m / 2;
    return CGXControl::AddBorderToSize(size, nRow, nCol, style);
}

CSize CGXRichEditCtrl::ComputeContentSize(CDC*, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL)
{
    if (!EnsureWindows())
        return CSize(0, 0);
    CGXCellRange range(nRow, nCol);
    const CRect rectCell = m_pGrid->GetCoveredCellsRowCol(nRow, nCol, range)
                               ? m_pGrid->CoveredRangeToRect(range.top, range.left, range.bottom, range.right)
                               : m_pGrid->CellToRect(nRow, nCol);
    const CRect inner = ComputeInnerRect(nRow, nCol, &rectCell, &style);
    AuxWnd& aux = m_aux[auxMeasure];
    aux.wnd.MoveWindow(kOffScreen, kOffScreen, std::max(1, inner.Width()), std::max(1, inner.Height()), FALSE);
    aux.wnd.SetTargetDevice(nullptr, 0);
    aux.wnd.SetEventMask(ENM_REQUESTRESIZE);
    LoadValue(aux, style.GetIncludeValue() ? style.GetValue() : CString(), &style);
    m_rectRequested = CRect(0, 0, inner.Width(), inner.Height());
    {
        FlagScope measuring(m_bMeasuring, TRUE);
        aux.wnd.RequestResize();
    }
    return AddBorderToSize(CSize(m_rectRequested.Width(), m_rectRequested.Height() + 1), nRow, nCol, style);
}

// ---- Drawing ----

void CGXRichEditCtrl::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    if (IsInitializedFor(nRow, nCol) && m_bActive && !m_pGrid->IsPrinting() && HasWindow()) {
        DrawActive(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    if (rect.Width() <= 1 || rect.Height() <= 1)
        return;
    Draw3dBackground(pDC, rect, style);
    const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
    if (style.GetIncludeValue() && !style.GetValue().IsEmpty() && EnsureWindows()) {
        LoadValue(m_aux[auxRender], style.GetValue(), &style);
        RenderInactive(pDC, inner, style);
    }
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

void CGXRichEditCtrl::RenderInactive(CDC* pDC, const CRect& rectInner, const CGXStyle&)
{
    CRichEditCtrl& wnd = m_aux[auxRender].wnd;
    if (wnd.GetWindowTextLength() <= 0)
        return;
    // The text stands where the editing window shows it: in from both edges by the window's
    // own margin, so that it wraps at the same width.
    CRect r = rectInner;
    r.DeflateRect(2, 0);
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const BOOL bMapped = pDC->GetMapMode() != MM_TEXT;
    const int nSaved = bMapped ? pDC->SaveDC() : 0;
    if (bMapped) {
        // A scaled printer DC: the rendering lays its own scale over device units.
        pDC->LPtoDP(&r);
        pDC->SetMapMode(MM_TEXT);
        pDC->SetViewportOrg(0, 0);
        pDC->SetWindowOrg(0, 0);
    }
    const int dpx = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX)), dpy = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    FORMATRANGE fr {};
    fr.hdc = fr.hdcTarget = pDC->GetSafeHdc();
    fr.rc = RECT {LONG(r.left * kTwipsPerInch / dpx), LONG(r.top * kTwipsPerInch / dpy),
                  LONG(r.right * kTwipsPerInch / dpx), LONG(r.bottom * kTwipsPerInch / dpy)};
    fr.rcPage = fr.rc;
    fr.chrg = CHARRANGE {0, -1};
    wnd.FormatRange(nullptr, FALSE);
    wnd.FormatRange(&fr, TRUE);
    wnd.FormatRange(nullptr, FALSE);
    if (bMapped)
        pDC->RestoreDC(nSaved);
}

void CGXRichEditCtrl::DrawActive(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                 const CGXStyle* pStandardStyle)
{
    Draw3dBackground(pDC, rect, style, TRUE);
    const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
    const COLORREF rgbBack = style.GetIncludeInterior() ? style.GetInterior().ResolveBrushColor() & 0xFFFFFF
                                                         : GetSysColor(COLOR_WINDOW);
    m_pWnd->SetBackgroundColor(FALSE, rgbBack);
    m_pWnd->SetTargetDevice(nullptr, 0);
    m_bAutoSize = style.GetIncludeAutoSize() && style.GetAutoSize();
    const BOOL bAllowEnter = style.GetIncludeAllowEnter() && style.GetAllowEnter();
    m_pWnd->SetEventMask(kEventMask);
    m_pWnd->SetOptions(ECOOP_SET, kOptions | (bAllowEnter ? ECO_WANTRETURN : 0));
    m_pWnd->SetReadOnly(IsCellReadOnly());
    SetActive(TRUE);
    CWnd* pGridWnd = GetGridWnd();
    if (pGridWnd && ::GetFocus() == pGridWnd->GetSafeHwnd()) {
        FlagScope lock(m_pGrid->m_bLockCurrentCell, TRUE);
        m_pWnd->SetFocus();
    }
    m_pWnd->MoveWindow(inner, FALSE);
    m_pWnd->SendMessage(EM_SCROLL, SB_PAGEUP);
    m_pWnd->SendMessage(EM_SCROLLCARET);
    const WORD nMax = style.GetIncludeMaxLength() ? style.GetMaxLength() : 0;
    m_pWnd->LimitText(nMax);
    m_pWnd->ShowWindow(SW_SHOW);
    m_pWnd->Invalidate(FALSE);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

// ---- Row growth ----

void CGXRichEditCtrl::OnRequestResize(const REQRESIZE& request)
{
    if (s_bLockResize || !m_bInit || !m_bActive || !m_bAutoSize || !m_pGrid->IsCurrentCellAt(m_nRow, m_nCol))
        return;
    FlagScope lock(s_bLockResize, TRUE);
    CGXCellRange range(m_nRow, m_nCol);
    if (!m_pGrid->GetCoveredCellsRowCol(m_nRow, m_nCol, range))
        range = CGXCellRange(m_nRow, m_nCol);
    const CGXStyle& style = GetCellStyle();
    int nNeeded = int(request.rc.bottom - request.rc.top) + AddBorderToSize(CSize(0, 0), m_nRow, m_nCol, style).cy + 1;
    for (ROWCOL r = range.top; r <= range.bottom && r >= range.top; ++r)
        if (r != m_nRow)
            nNeeded -= m_pGrid->RowHeight(r);
    const int nHeight = m_pGrid->RowHeight(m_nRow);
    if (nNeeded > nHeight) {
        // The row stays inside the drawing area below the frozen rows; a row lower down, inside
        // what is left below its top.
        const CRect area = m_pGrid->GetDrawingArea();
        const int nFrozenBottom = area.top + m_pGrid->SumRowHeights(0, m_pGrid->FrozenRows());
        const int nTop = m_nRow > m_pGrid->GetTopRow() ? m_pGrid->RowTopY(m_nRow) : nFrozenBottom;
        const int nLimit = area.bottom - nTop;
        if (nHeight < nLimit) {
            m_pGrid->SetRowHeights(m_nRow, m_nRow, std::min(nNeeded, nLimit));
            m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
        }
    } else if (m_bAutoGrowRows) {
        const int nTarget = std::max(m_nEntryRowHeight, nNeeded);
        if (nTarget < nHeight)
            m_pGrid->SetRowHeights(m_nRow, m_nRow, nTarget);
    }
}

// ---- Mouse ----

BOOL CGXRichEditCtrl::ActivateFromMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point, BOOL bDblClk)
{
    if (!m_bActive) {
        if (!StartEditing())
            return FALSE;
        SetActive(TRUE);
    }
    Refresh();
    const BOOL bHandled = bDblClk ? CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point)
                                  : CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
    if (!bHandled && HasWindow()) {
        m_pWnd->SetSel(0, 0);
        if (CWnd* pGridWnd = GetGridWnd())
            pGridWnd->UpdateWindow();
        const CRect inner = ComputeInnerRect(nRow, nCol);
        const LPARAM lParam = MAKELPARAM(point.x - inner.left, point.y - inner.top);
        m_pWnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
        m_pWnd->SendMessage(WM_LBUTTONUP, 0, lParam);
    }
    return TRUE;
}

BOOL CGXRichEditCtrl::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    // Activation bits 0x1, 0x2 and 0x4 start editing on a click.
    if (ActivatesOn(0x07, flags))
        return ActivateFromMouse(nRow, nCol, flags, point, FALSE);
    return CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
}

BOOL CGXRichEditCtrl::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    // Activation bit 0x8 starts editing on a double click.
    if (ActivatesOn(0x08, flags))
        return ActivateFromMouse(nRow, nCol, flags, point, TRUE);
    return CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

BOOL CGXRichEditCtrl::ActivatesOn(WORD wBits, UINT flags)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    return HasWindow() && !(flags & MK_RBUTTON) && pParam && (pParam->m_wActivateFlags & wBits);
}

// ---- Keys the grid passes before the window is active ----

void CGXRichEditCtrl::ScrollIntoViewOrRefresh()
{
    if (!m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE))
        Refresh();
}

BOOL CGXRichEditCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (!HasWindow() || IsKeyDown(VK_CONTROL))
        return CGXControl::OnKeyDown(nChar, nRepCnt, flags);
    switch (nChar) {
    case VK_END:
    case VK_HOME:
        if (!StartEditing())
            break;
        SetActive(TRUE);
        if (nChar == VK_END)
            m_pWnd->SetSel(kTextEnd, kTextEnd);
        else
            m_pWnd->SetSel(0, 0);
        ScrollIntoViewOrRefresh();
        return TRUE;
    case VK_DELETE: {
        CGXGridParam* pParam = m_pGrid->GetParam();
        if (IsKeyDown(VK_SHIFT) || IsCellReadOnly() || (pParam && !pParam->m_SelRects.IsEmpty()) || !CanDeleteCell()
            || !StartEditing())
            break;
        SetActive(TRUE);
        m_pWnd->SetWindowText("");
        SetModified(TRUE);
        NotifyModified();
        ScrollIntoViewOrRefresh();
        return TRUE;
    }
    default: break;
    }
    return CGXControl::OnKeyDown(nChar, nRepCnt, flags);
}

BOOL CGXRichEditCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar < 32 || nChar == 127)
        return CGXControl::OnChar(nChar, nRepCnt, flags);
    return OnCharText(GXCodePointToUtf8(nChar), nRepCnt, flags);
}

BOOL CGXRichEditCtrl::OnCharText(LPCTSTR pszText, UINT, UINT)
{
    if (!HasWindow() || IsCellReadOnly())
        return FALSE;
    const CString sText = pszText ? pszText : "";
    const CGXStyle& style = GetCellStyle();
    const int nMax = style.GetIncludeMaxLength() ? int(style.GetMaxLength()) : 0;
    if (!m_bActive) {
        // Typing into a cell replaces its whole value.
        if (!ValidateText(sText) || !StartEditing())
            return TRUE;
        SetActive(TRUE);
        SetEditText(sText);
        m_pWnd->SetSel(kTextEnd, kTextEnd);
        Refresh();
        return TRUE;
    }
    m_pWnd->SetSel(kTextEnd, kTextEnd);
    CString sWhole;
    m_pWnd->GetWindowText(sWhole);
    sWhole += sText;
    const int nChars = TextCharCount() + int(PvUtf8CharCount(sText, size_t(sText.GetLength())));
    if ((nMax == 0 || nChars <= nMax) && ValidateText(sWhole)) {
        m_pWnd->ReplaceSel(sText, TRUE);
        SetModified(TRUE);
    }
    return TRUE;
}

// ---- Clipboard and selection ----

BOOL CGXRichEditCtrl::CopyText()
{
    if (m_bInit && m_bActive && HasWindow() && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol)) {
        long nStart = 0, nEnd = 0;
        m_pWnd->GetSel(nStart, nEnd);
        // The window puts the selection as RTF and as text; copying again would replace both
        // by the text alone.
        if (nStart != nEnd) {
            m_pWnd->SendMessage(WM_COPY);
            return TRUE;
        }
    }
    return CGXControl::CopyText();
}

BOOL CGXRichEditCtrl::CanPaste()
{
    if (!m_bInit)
        return CGXControl::CanPaste();
    if (GetCellStyle().GetReadOnly())
        return FALSE;
    if (IsClipboardFormatAvailable(GetRtfClipboardFormat()))
        return TRUE;
    return CGXControl::CanPaste();
}

BOOL CGXRichEditCtrl::PasteText()
{
    if (!m_bInit || !HasWindow() || GetOpenClipboardWindow())
        return FALSE;
    CWnd* pGridWnd = GetGridWnd();
    BOOL bRtf = FALSE;
    if (::OpenClipboard(pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr)) {
        if (HGLOBAL h = GetClipboardData(GetRtfClipboardFormat())) {
            const char* p = static_cast<const char*>(GlobalLock(h));
            bRtf = p && strnlen(p, GlobalSize(h)) > 0;
            if (p)
                GlobalUnlock(h);
        }
        CloseClipboard();
    }
    if (!bRtf)
        return CGXControl::PasteText();
    if (!CanPaste() || IsCellReadOnly())
        return FALSE;
    if (!m_bActive) {
        if (!StartEditing())
            return FALSE;
        SetActive(TRUE);
        m_pWnd->SetSel(0, -1);
    }
    {
        FlagScope lock(s_bLockResize, TRUE);
        m_pWnd->SendMessage(WM_PASTE);
    }
    NotifyModified();
    Refresh();
    if (pGridWnd)
        pGridWnd->UpdateWindow();
    // The row fits what came in, even when a click into the window still holds resizing off.
    s_bLockResize = FALSE;
    m_pWnd->RequestResize();
    return TRUE;
}

void CGXRichEditCtrl::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bActive || !HasWindow()) {
        CGXControl::ReplaceSelection(pszText);
        return;
    }
    if (IsCellReadOnly())
        return;
    m_pWnd->ReplaceSel(pszText ? pszText : "", TRUE);
    SetModified(TRUE);
}

BOOL CGXRichEditCtrl::GetSelectionText(CString& sText)
{
    if (!m_bActive || !HasWindow()) {
        CGXControl::GetSelectionText(sText);
        return FALSE;
    }
    long nStart = 0, nEnd = 0;
    m_pWnd->GetSel(nStart, nEnd);
    if (nStart == nEnd) {
        m_pWnd->GetWindowText(sText);
        return FALSE;
    }
    sText = m_pWnd->GetSelText();
    return TRUE;
}

BOOL CGXRichEditCtrl::HandleCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == EN_CHANGE && HasWindow() && HWND(lParam) == m_pWnd->GetSafeHwnd() && m_bInit && m_bActive) {
        NotifyModified();
        return TRUE;
    }
    return CGXControl::HandleCommandMessage(wParam, lParam);
}

// ---- Messages of the editing window ----

BOOL CGXRichEditCtrl::OnWndKeyDown(UINT nChar, LPARAM lParam)
{
    s_bLockResize = FALSE;
    if (nChar == VK_SHIFT || nChar == VK_CONTROL || !m_bActive || !m_bInit)
        return FALSE;
    CGXGridCore* pGrid = m_pGrid;
    pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    auto toGrid = [&] {
        pGrid->ProcessKeyMessage(WM_KEYDOWN, nChar, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    };
    const BOOL bCtrl = IsKeyDown(VK_CONTROL), bShift = IsKeyDown(VK_SHIFT);
    long nStart = 0, nEnd = 0;
    m_pWnd->GetSel(nStart, nEnd);
    switch (nChar) {
    case VK_ESCAPE:
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT: return toGrid();
    case VK_RETURN:
        if (bCtrl || (m_pWnd->GetStyle() & ES_WANTRETURN))
            return FALSE;
        return toGrid();
    case VK_LEFT:
        if (nEnd == 0)
            return toGrid();
        return FALSE;
    case VK_RIGHT:
        if (nStart >= TextCharCount())
            return toGrid();
        return FALSE;
    case VK_UP:
        if (m_pWnd->LineFromChar(nStart) == 0)
            return toGrid();
        return FALSE;
    case VK_DOWN:
        if (m_pWnd->LineFromChar(nEnd) + 1 >= m_pWnd->GetLineCount())
            return toGrid();
        return FALSE;
    case VK_INSERT:
        if (bShift) {
            PasteText();
            return TRUE;
        }
        if (bCtrl && nStart != nEnd) {
            CopyText();
            return TRUE;
        }
        return FALSE;
    case VK_DELETE:
        if (bShift && nStart != nEnd) {
            CutText();
            return TRUE;
        }
        return FALSE;
    case 'C':
    case 'V':
    case 'X':
        if (bCtrl)
            return toGrid();
        return FALSE;
    default:
        if (nChar >= VK_F1 && nChar <= VK_F24)
            return toGrid();
        return FALSE;
    }
}

BOOL CGXRichEditCtrl::OnWndChar(UINT nChar, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    const BOOL bReadOnlyWnd = (m_pWnd->GetStyle() & ES_READONLY) != 0;
    if (!m_bInit || !m_bActive || IsCellReadOnly() || bReadOnlyWnd)
        return TRUE;  // swallowed
    switch (nChar) {
    case 3: CopyText(); return TRUE;
    case 22: PasteText(); return TRUE;
    case 24: CutText(); return TRUE;
    case 13:
        // Enter moves on unless the cell takes it; Ctrl+Enter (a line feed) always breaks.
        if (!(m_pWnd->GetStyle() & ES_WANTRETURN))
            return TRUE;
        break;
    default: break;
    }
    if (nChar >= 0x80 && nChar <= 0xFF) {
        CString sText;
        if (GXCollectCharMessage(m_strPendingLead, nChar, sText)) {
            if (!sText.IsEmpty())
                m_pWnd->ReplaceSel(sText, TRUE);
            return TRUE;
        }
    }
    result = m_pWnd->DefaultProc(WM_CHAR, wParam, lParam);
    if (nChar >= 32 && nChar != 127)
        m_pGrid->ProcessKeyMessage(WM_CHAR, wParam, lParam, GX_KEY_FROMCONTROL);
    return TRUE;
}

BOOL CGXRichEditCtrl::OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_KEYDOWN: return OnWndKeyDown(UINT(wParam), lParam);
    case WM_CHAR: return OnWndChar(UINT(wParam), wParam, lParam, result);
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
        if (!m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            result = m_pWnd->DefaultProc(message, wParam, lParam);
        return TRUE;
    case WM_GETDLGCODE:
        result = m_pWnd->DefaultProc(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return TRUE;
    case WM_KILLFOCUS:
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        NotifyGridKillFocus(CWnd::FromHandle(HWND(wParam)));
        return TRUE;
    case WM_LBUTTONDOWN:
        s_bLockResize = TRUE;
        return FALSE;
    case WM_NOTIFY: {
        const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (!pHdr || pHdr->code != EN_REQUESTRESIZE)
            return FALSE;
        // An off-screen window measured its text.
        if (m_bMeasuring && pHdr->hwndFrom == m_aux[auxMeasure].wnd.GetSafeHwnd())
            m_rectRequested = CRect(reinterpret_cast<const REQRESIZE*>(lParam)->rc);
        result = 0;
        return TRUE;
    }
    default: return FALSE;
    }
}
