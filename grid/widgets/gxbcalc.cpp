#include "grid/widgets/gxbcalc.h"

#include "grid/core/gxstate.h"
#include "grid/widgets/gxbres.h"
#include "grid/widgets/gxbtext.h"
#include "platform/base/stringtable.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

constexpr COLORREF kDarkBlue = RGB(0, 0, 128);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Digits an entry may hold: a display never shows more than 15 significant digits of a double
// (16 when the entry starts with "0", whose leading zero carries nothing), and at most 13 before
// the separator.
constexpr int kMaxSignificant = 15;
constexpr int kMaxSignificantBelowOne = 16;
constexpr int kMaxIntegerDigits = 13;
// An entry without a separator takes a digit while it has at most this many characters.
constexpr int kMaxPlainEntry = 12;
constexpr int kMaxDecimals = 15;
// A bitmap beside a label sits this far from the button's left edge.
constexpr int kBitmapIndent = 5;

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

CString loadText(UINT nID)
{
    CString s;
    AfxLoadStringResource(nID, s);
    return s;
}

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

// Fixed notation with '.', whatever the process locale; trailing fraction zeros go, the point
// stays.
std::string printFixed(double d, int nDecimals)
{
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof(buf), d, std::chars_format::fixed, nDecimals);
    std::string s(buf, res.ptr);
    if (nDecimals > 0 && s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
    }
    // Rounded to nothing, a tiny negative value is not "-0".
    if (!s.empty() && s[0] == '-' && s.find_first_of("123456789") == std::string::npos)
        s.erase(0, 1);
    return s;
}

void replaceAll(std::string& s, const std::string& from, const std::string& to)
{
    if (from.empty() || from == to)
        return;
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

}  // namespace

// ---- CGXBCalcBtn ----

CGXBCalcBtn::CGXBCalcBtn(int nID, const CString& strLabel, const CString& strKeys, int nColumns, UINT nVirtKey,
                         COLORREF crText, CFont* pFont, CBitmap* pBitmap, int nFlags)
    : m_pFont(pFont),
      m_pBitmap(pBitmap),
      m_crText(crText),
      m_strLabel(strLabel),
      m_strKeys(strKeys),
      m_nID(nID),
      m_nColumns(nColumns),
      m_nVirtKey(nVirtKey),
      m_nFlags(nFlags)
{
}

void CGXBCalcBtn::Draw(CDC* pDC)
{
    const COLORREF face = sysColor(COLOR_BTNFACE);
    const COLORREF shadow = sysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = sysColor(COLOR_BTNHIGHLIGHT);
    const bool bPressed = (m_nFlags & Pressed) != 0;
    CRect rc = m_rect;
    pDC->Draw3dRect(&rc, shadow, highlight);
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(&rc, sysColor(COLOR_WINDOWFRAME), sysColor(COLOR_WINDOWFRAME));
    rc.DeflateRect(1, 1);
    if (bPressed) {
        pDC->Draw3dRect(&rc, shadow, shadow);
        rc.DeflateRect(1, 1);
        pDC->FillSolidRect(&rc, face);
        rc.OffsetRect(2, 2);
    } else {
        pDC->Draw3dRect(&rc, highlight, shadow);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, sysColor(COLOR_3DLIGHT), shadow);
        rc.DeflateRect(1, 1);
        pDC->FillSolidRect(&rc, face);
    }
    if (rc.IsRectEmpty())
        return;

    CRect rcLabel = rc;
    BITMAP bm {};
    if (m_pBitmap && m_pBitmap->GetSafeHandle() && m_pBitmap->GetBitmap(&bm)) {
        CDC dcBitmap;
        if (dcBitmap.CreateCompatibleDC(pDC)) {
            CBitmap* pOld = dcBitmap.SelectObject(m_pBitmap);
            const bool bLabel = !m_strLabel.IsEmpty();
            int x = bLabel ? m_rect.left + kBitmapIndent : rc.left + (rc.Width() - bm.bmWidth) / 2;
            int y = rc.top + (rc.Height() - bm.bmHeight) / 2;
            x = std::max<int>(x, rc.left);
            y = std::max<int>(y, rc.top);
            const int cx = std::min<int>(bm.bmWidth, rc.right - x);
            const int cy = std::min<int>(bm.bmHeight, rc.bottom - y);
            if (cx > 0 && cy > 0)
                pDC->BitBlt(x, y, cx, cy, &dcBitmap, 0, 0, SRCCOPY);
            dcBitmap.SelectObject(pOld);
            if (bLabel)
                rcLabel.left = std::min<int>(rc.right, x + bm.bmWidth);
        }
    }
    if (m_strLabel.IsEmpty())
        return;
    CDCStateGuard guard(pDC);
    guard.SelectFont(m_pFont);
    guard.SetTextColor(m_crText);
    guard.SetBkColor(face);
    guard.SetBkMode(TRANSPARENT);
    pDC->DrawText(m_strLabel, &rcLabel, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- CGXBCalculator ----

BEGIN_MESSAGE_MAP(CGXBCalculator, CWnd)
    ON_WM_PAINT()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_GETDLGCODE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CANCELMODE()
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CGXBCalculator::CGXBCalculator() = default;

CGXBCalculator::~CGXBCalculator()
{
    *m_pAlive = false;
    if (m_hWnd)
        DestroyWindow();
}

void CGXBCalculator::SetDecimalSeparator(const CString& strSeparator)
{
    const std::u32string chars = gxb::ToChars(strSeparator);
    // One character that cannot be mistaken for a digit or a sign.
    if (chars.size() == 1 && !gxb::IsDigit(chars[0]) && chars[0] != U'-' && chars[0] >= 0x20)
        m_strDecimal = strSeparator;
    else if (strSeparator.IsEmpty())
        m_strDecimal.Empty();
}

CString CGXBCalculator::GetDecimalSeparator()
{
    char buf[16] = {};
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, int(sizeof buf)) > 0 && buf[0]) {
        const std::u32string chars = gxb::ToChars(CString(buf));
        if (!chars.empty() && !gxb::IsDigit(chars[0]) && chars[0] != U'-' && chars[0] >= 0x20)
            return gxb::FromChar(UINT(chars[0]));
    }
    return CString(".");
}

BOOL CGXBCalculator::CreateDisplayFont()
{
    LOGFONT lf {};
    CFont* pFont = m_pFontSource && m_pFontSource->GetSafeHwnd() ? m_pFontSource->GetFont() : nullptr;
    if (!pFont || !pFont->GetLogFont(&lf)) {
        CFont* pSystem = CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
        if (!pSystem || !pSystem->GetLogFont(&lf))
            return FALSE;
    }
    m_fontButton.DeleteObject();
    m_fontDisplay.DeleteObject();
    lf.lfWeight = FW_BOLD;
    if (!m_fontButton.CreateFontIndirect(&lf))
        return FALSE;
    lf.lfWeight = FW_NORMAL;
    return m_fontDisplay.CreateFontIndirect(&lf);
}

BOOL CGXBCalculator::CreateButtons()
{
    GXBLoadSysColorMappedBitmap(m_bmpEquals, GXB_IDB_CALC_ENTER);
    struct ButtonDef {
        const char* label;
        int nID;
        int nColumns;
        const char* keys;
        UINT nVirtKey;
        COLORREF cr;
        bool bNewRow;
    };
    const ButtonDef kButtonDefs[] = {
        {"C", IdClear, 1, "c", 0, kDarkBlue, true},
        {"CE", IdClearEntry, 1, "e", 0, kDarkBlue, false},
        {"<-", IdBackspace, 1, "\b", VK_DELETE, kDarkBlue, false},
        {"%", IdPercent, 1, "%", 0, kDarkBlue, false},
        {"7", IdDigit0 + 7, 1, "7", 0, kDarkRed, true},
        {"8", IdDigit0 + 8, 1, "8", 0, kDarkRed, false},
        {"9", IdDigit0 + 9, 1, "9", 0, kDarkRed, false},
        {"/", IdDivide, 1, "/", 0, kDarkBlue, false},
        {"4", IdDigit0 + 4, 1, "4", 0, kDarkRed, true},
        {"5", IdDigit0 + 5, 1, "5", 0, kDarkRed, false},
        {"6", IdDigit0 + 6, 1, "6", 0, kDarkRed, false},
        {"*", IdMultiply, 1, "*", 0, kDarkBlue, false},
        {"1", IdDigit0 + 1, 1, "1", 0, kDarkRed, true},
        {"2", IdDigit0 + 2, 1, "2", 0, kDarkRed, false},
        {"3", IdDigit0 + 3, 1, "3", 0, kDarkRed, false},
        {"-", IdSubtract, 1, "-", 0, kDarkBlue, false},
        {"0", IdDigit0, 2, "0", 0, kDarkRed, true},
        {nullptr, IdDecimal, 1, nullptr, 0, kDarkRed, false},
        {"+", IdAdd, 1, "+", 0, kDarkBlue, false},
        {nullptr, IdEquals, 4, "=", VK_RETURN, kBlack, true},
    };
    m_buttons.clear();
    for (const ButtonDef& s : kButtonDefs) {
        CString label = s.label ? CString(s.label) : m_strDecimal;
        CString keys = s.keys ? CString(s.keys) : m_strDecimal;
        CBitmap* pBitmap = nullptr;
        if (s.nID == IdEquals) {
            label = loadText(GXB_IDS_CALC_ENTER);
            pBitmap = &m_bmpEquals;
        }
        m_buttons.push_back(std::make_unique<CGXBCalcBtn>(s.nID, label, keys, s.nColumns, s.nVirtKey, s.cr,
                                                          &m_fontButton, pBitmap,
                                                          s.bNewRow ? CGXBCalcBtn::NewRow : 0));
    }
    return TRUE;
}

void CGXBCalculator::layout()
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CDCStateGuard guard(&dc);
    guard.SelectFont(&m_fontButton);
    TEXTMETRIC tm {};
    dc.GetTextMetrics(&tm);
    const int w = (dc.GetTextExtent(kAlphabet, int(sizeof kAlphabet) - 1).cx + 26) / 52;
    const int h = tm.tmHeight + tm.tmExternalLeading;
    m_nButtonWidth = MulDiv(16, w, 4);
    m_nButtonHeight = MulDiv(14, h, 8);

    // Rows first, to know the widest.
    int nWidest = 0, nRowWidth = 0;
    for (const auto& b : m_buttons) {
        if ((b->m_nFlags & CGXBCalcBtn::NewRow) && nRowWidth > 0) {
            nWidest = std::max(nWidest, nRowWidth);
            nRowWidth = 0;
        } else if (nRowWidth > 0) {
            nRowWidth += m_nColumnGap;
        }
        nRowWidth += b->m_nColumns * m_nButtonWidth;
    }
    nWidest = std::max(nWidest, nRowWidth);

    guard.SelectFont(&m_fontDisplay);
    const int nDisplayTop = (m_dwCreateStyle & GXBCS_ETCHEDLINE) ? 2 * m_nTopMargin + 6 : m_nTopMargin;
    m_rcDisplay.SetRect(m_nLeftMargin, nDisplayTop, m_nLeftMargin + nWidest,
                        nDisplayTop + dc.GetTextExtent("T", 1).cy + 4);

    int x = m_nLeftMargin, y = m_rcDisplay.bottom + m_nRowGap;
    bool bFirst = true;
    int nBottom = y;
    for (const auto& b : m_buttons) {
        if ((b->m_nFlags & CGXBCalcBtn::NewRow) && !bFirst) {
            x = m_nLeftMargin;
            y += m_nRowGap + m_nButtonHeight;
        } else if (!bFirst) {
            x += m_nColumnGap;
        }
        bFirst = false;
        b->m_rect.SetRect(x, y, x + b->m_nColumns * m_nButtonWidth, y + m_nButtonHeight);
        x = b->m_rect.right;
        nBottom = std::max<int>(nBottom, b->m_rect.bottom);
    }
    m_sizeClient = CSize(nWidest + m_nLeftMargin, nBottom + m_nTopMargin);

    const int nZero = std::max<int>(1, dc.GetTextExtent("0", 1).cx);
    const int nSep = dc.GetTextExtent(m_strDecimal).cx;
    // A display too narrow for any digit still takes one.
    m_nDisplayCapacity = std::max(1, (m_rcDisplay.Width() - nSep - 4) / nZero - 1);
    m_nMaxDecimals = std::min(m_nDisplayCapacity, kMaxDecimals);
}

BOOL CGXBCalculator::PrepareCreate(DWORD& dwExStyle, DWORD& dwStyle, CWnd* pParentWnd, CSize& sizeWindow)
{
    GXBRegisterWidgetResources();
    if (m_strDecimal.IsEmpty())
        m_strDecimal = GetDecimalSeparator();
    GXGetAppData()->m_sysColors.Refresh();
    clearAll();
    if (dwStyle & GXBCS_RAISEDFRAME) {
        dwStyle &= ~DWORD(WS_BORDER);
        dwExStyle &= ~DWORD(WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    }
    m_dwCreateStyle = dwStyle;
    m_pFontSource = pParentWnd;
    if (!m_fontButton.GetSafeHandle() || !m_fontDisplay.GetSafeHandle()) {
        if (!CreateDisplayFont())
            return FALSE;
    }
    if (m_buttons.empty() && !CreateButtons())
        return FALSE;
    layout();
    // A value set before the separator and the display were known is shown with them.
    if (m_nFlags & FlagValueSet)
        formatDisplay();
    CRect rc(0, 0, m_sizeClient.cx, m_sizeClient.cy);
    AdjustWindowRectEx(&rc, dwStyle, FALSE, dwExStyle);
    if (dwStyle & GXBCS_RAISEDFRAME) {
        rc.right += 4;
        rc.bottom += 4;
    }
    sizeWindow = rc.Size();
    return TRUE;
}

BOOL CGXBCalculator::Create(DWORD dwExStyle, DWORD dwStyle, int x, int y, CWnd* pParentWnd, UINT nID,
                            CCreateContext*)
{
    CSize size;
    if (m_hWnd || !PrepareCreate(dwExStyle, dwStyle, pParentWnd, size))
        return FALSE;
    LPCTSTR cls = AfxRegisterWndClass(GetClassStyle(), LoadCursor(nullptr, IDC_ARROW));
    const HMENU hMenu = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(uintptr_t(nID)) : nullptr;
    return CreateEx(dwExStyle, cls, nullptr, dwStyle, x, y, size.cx, size.cy,
                    pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, hMenu);
}

const CGXBCalcBtn* CGXBCalculator::FindButton(int nID) const
{
    for (const auto& b : m_buttons)
        if (b->m_nID == nID)
            return b.get();
    return nullptr;
}

void CGXBCalculator::SetValue(double dValue)
{
    clearAll();
    if (!std::isfinite(dValue)) {
        setError();
        return;
    }
    m_dAccum = dValue;
    if (!m_hWnd)
        m_nFlags |= FlagValueSet;
    formatDisplay();
}

CString CGXBCalculator::GetDisplayText() const
{
    if (m_nFlags & FlagError)
        return loadText(GXB_IDS_CALC_ERROR);
    if (m_strEntry.IsEmpty())
        return CString("0") + m_strDecimal;
    if (m_strEntry.Find(m_strDecimal) < 0)
        return m_strEntry + m_strDecimal;
    return m_strEntry;
}

void CGXBCalculator::beep() { MessageBeep(UINT(-1)); }

void CGXBCalculator::repaint()
{
    if (m_hWnd)
        InvalidateRect(&m_rcDisplay, FALSE);
}

void CGXBCalculator::setError()
{
    m_nFlags |= FlagError;
    repaint();
}

void CGXBCalculator::clearAll()
{
    // A value set before the window exists is what the new window starts with.
    if (!(m_nFlags & FlagValueSet) || m_hWnd) {
        m_dAccum = 0;
        m_strEntry.Empty();
        m_nFlags &= ~FlagValueSet;
    }
    m_nFlags &= ~FlagError;
    m_nPending = 0;
    m_bNewEntry = TRUE;
    repaint();
}

void CGXBCalculator::clearEntry()
{
    m_strEntry.Empty();
    m_bNewEntry = TRUE;
    repaint();
}

void CGXBCalculator::digit(int d)
{
    if (m_bNewEntry) {
        m_strEntry.Empty();
        m_bNewEntry = FALSE;
    }
    if (m_strEntry.IsEmpty() && d == 0) {
        repaint();
        return;
    }
    std::string e = m_strEntry.str();
    if (!e.empty() && e[0] == '-')
        e.erase(0, 1);
    const std::string sep = m_strDecimal.str();
    const size_t at = e.find(sep);
    // Characters count whole: the separator is one, whatever its bytes.
    const int nChars = int(e.size()) - (at == std::string::npos ? 0 : int(sep.size()) - 1);
    const int nDigits = nChars - (at == std::string::npos ? 0 : 1);
    const int nAfter = at == std::string::npos ? 0 : int(e.size() - at - sep.size());
    const int nLimit =
        std::min(m_nDisplayCapacity > 0 ? m_nDisplayCapacity : kMaxSignificantBelowOne,
                 !e.empty() && e[0] == '0' ? kMaxSignificantBelowOne : kMaxSignificant);
    if ((at != std::string::npos && nAfter >= m_nMaxDecimals) || (at == std::string::npos && nChars > kMaxPlainEntry) ||
        nDigits >= nLimit) {
        beep();
    } else {
        m_strEntry += char('0' + d);
    }
    repaint();
}

void CGXBCalculator::decimal()
{
    if (m_bNewEntry) {
        m_strEntry.Empty();
        m_bNewEntry = FALSE;
    }
    if (m_strEntry.Find(m_strDecimal) >= 0)
        return;
    if (m_strEntry.IsEmpty())
        m_strEntry = "0";
    m_strEntry += m_strDecimal;
    repaint();
}

void CGXBCalculator::backspace()
{
    if (m_bNewEntry || m_strEntry.IsEmpty())
        return;
    std::string e = m_strEntry.str();
    const std::string sep = m_strDecimal.str();
    if (!sep.empty() && e.size() >= sep.size() && e.compare(e.size() - sep.size(), sep.size(), sep) == 0)
        e.erase(e.size() - sep.size());
    else
        e.pop_back();
    m_strEntry = CString(std::move(e));
    repaint();
}

BOOL CGXBCalculator::operation(int k)
{
    double dOperand = 0;
    if (!m_strEntry.IsEmpty()) {
        std::string e = m_strEntry.str();
        replaceAll(e, m_strDecimal.str(), ".");
        const char* p = e.c_str();
        char* end = nullptr;
        dOperand = std::strtod(p, &end);
        if (end == p)
            return FALSE;
    }
    double dResult = dOperand;
    bool bError = false;
    if (k == IdPercent) {
        dResult = (m_nPending == IdMultiply || m_nPending == IdDivide) ? dOperand * m_dAccum * 0.01 : 0;
    } else {
        switch (m_nPending) {
        case IdMultiply: dResult = dOperand * m_dAccum; break;
        case IdAdd: dResult = dOperand + m_dAccum; break;
        case IdSubtract: dResult = m_dAccum - dOperand; break;
        case IdDivide:
            if (dOperand == 0)
                bError = true;
            else
                dResult = m_dAccum / dOperand;
            break;
        default: break;
        }
    }
    if (bError) {
        setError();
    } else {
        m_bNewEntry = TRUE;
        m_dAccum = dResult;
        m_nPending = (k == IdEquals || k == IdPercent) ? 0 : k;
        formatDisplay();
    }
    repaint();
    return TRUE;
}

void CGXBCalculator::formatDisplay()
{
    if (!std::isfinite(m_dAccum)) {
        setError();
        return;
    }
    const bool bBelowOne = m_dAccum > -1 && m_dAccum < 1;
    const int nCapacity = m_nDisplayCapacity > 0 ? m_nDisplayCapacity : kMaxSignificantBelowOne;
    const int nLimit = std::min(nCapacity, bBelowOne ? kMaxSignificantBelowOne : kMaxSignificant);
    int n = m_nMaxDecimals;
    for (;;) {
        std::string s = printFixed(m_dAccum, n);
        const size_t at = s.find('.');
        const int c = int(at == std::string::npos ? s.size() : at) - (s[0] == '-' ? 1 : 0);
        const int b = at == std::string::npos ? 0 : int(s.size() - at - 1);
        if (c > nLimit || c > kMaxIntegerDigits) {
            setError();
            return;
        }
        // Fewer decimals until it fits; rounding may carry into one more integer digit, so step
        // down at least one each time.
        if (b + c > nLimit && n > 0) {
            n = std::max(0, std::min(n - 1, nLimit - c));
            continue;
        }
        replaceAll(s, ".", m_strDecimal.IsEmpty() ? std::string(".") : m_strDecimal.str());
        m_strEntry = CString(std::move(s));
        return;
    }
}

BOOL CGXBCalculator::HandleButton(int nID)
{
    const bool bKnown = (nID >= IdMultiply && nID <= IdBackspace);
    if (!bKnown)
        return FALSE;
    if (m_nFlags & FlagError) {
        if (nID == IdClear || nID == IdClearEntry) {
            clearAll();
            return TRUE;
        }
        beep();
        return TRUE;
    }
    if (nID >= IdDigit0 && nID <= IdDigit0 + 9) {
        digit(nID - IdDigit0);
        return TRUE;
    }
    switch (nID) {
    case IdDecimal: decimal(); return TRUE;
    case IdBackspace: backspace(); return TRUE;
    case IdClear: clearAll(); return TRUE;
    case IdClearEntry: clearEntry(); return TRUE;
    default: return operation(nID);
    }
}

// ---- Window ----

void CGXBCalculator::Draw(CDC* pDC, const CRect& rcClip)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const COLORREF face = sysColor(COLOR_BTNFACE);
    pDC->FillSolidRect(&rcClient, face);
    if (m_dwCreateStyle & GXBCS_ETCHEDLINE) {
        pDC->FillSolidRect(rcClient.left, m_nTopMargin, rcClient.Width(), 1, sysColor(COLOR_BTNHIGHLIGHT));
        pDC->FillSolidRect(rcClient.left, m_nTopMargin + 1, rcClient.Width(), 1, sysColor(COLOR_BTNSHADOW));
    }

    CRect rc = m_rcDisplay;
    pDC->Draw3dRect(&rc, sysColor(COLOR_BTNSHADOW), sysColor(COLOR_BTNHIGHLIGHT));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(&rc, sysColor(COLOR_WINDOWFRAME), face);
    rc.DeflateRect(2, 1);
    {
        CDCStateGuard guard(pDC);
        guard.SelectFont(&m_fontDisplay);
        guard.SetTextColor(sysColor(COLOR_BTNTEXT));
        guard.SetBkMode(TRANSPARENT);
        pDC->DrawText(GetDisplayText(), &rc, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    for (const auto& b : m_buttons) {
        CRect rcHit;
        if (rcHit.IntersectRect(&b->m_rect, &rcClip))
            b->Draw(pDC);
    }
}

void CGXBCalculator::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClip;
    dc.GetClipBox(&rcClip);
    if (rcClip.IsRectEmpty())
        GetClientRect(&rcClip);
    CDC dcMem;
    CBitmap bmp;
    if (!dcMem.CreateCompatibleDC(&dc) || !bmp.CreateCompatibleBitmap(&dc, rcClip.Width(), rcClip.Height())) {
        Draw(&dc, rcClip);
        return;
    }
    CBitmap* pOld = dcMem.SelectObject(&bmp);
    dcMem.SetViewportOrg(-rcClip.left, -rcClip.top);
    Draw(&dcMem, rcClip);
    dc.BitBlt(rcClip.left, rcClip.top, rcClip.Width(), rcClip.Height(), &dcMem, rcClip.left, rcClip.top, SRCCOPY);
    dcMem.SelectObject(pOld);
}

void CGXBCalculator::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    CWnd::OnNcCalcSize(bCalcValidRects, lpncsp);
    if (m_dwCreateStyle & GXBCS_RAISEDFRAME) {
        RECT& rc = lpncsp->rgrc[0];
        rc.left += 2;
        rc.top += 2;
        rc.right = std::max(rc.left, rc.right - 2);
        rc.bottom = std::max(rc.top, rc.bottom - 2);
    }
}

void CGXBCalculator::OnNcPaint()
{
    CWnd::OnNcPaint();
    if (!(m_dwCreateStyle & GXBCS_RAISEDFRAME))
        return;
    CWindowDC dc(this);
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(-rc.left, -rc.top);
    dc.Draw3dRect(&rc, sysColor(COLOR_3DLIGHT), sysColor(COLOR_3DDKSHADOW));
    rc.DeflateRect(1, 1);
    dc.Draw3dRect(&rc, sysColor(COLOR_BTNHIGHLIGHT), sysColor(COLOR_BTNSHADOW));
}

void CGXBCalculator::OnSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    GXBLoadSysColorMappedBitmap(m_bmpEquals, GXB_IDB_CALC_ENTER);
    Invalidate(FALSE);
}

UINT CGXBCalculator::OnGetDlgCode() { return DLGC_WANTALLKEYS | DLGC_WANTCHARS; }

int CGXBCalculator::buttonAt(CPoint point) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->m_rect.PtInRect(point))
            return int(i);
    return -1;
}

void CGXBCalculator::OnLButtonDown(UINT nFlags, CPoint point)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    if (GetFocus() != this && rcClient.PtInRect(point))
        SetFocus();
    if (!m_hWnd)
        return;
    const int i = buttonAt(point);
    if (i < 0) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    m_nFlags |= FlagPressing;
    m_nPressed = i;
    m_buttons[size_t(i)]->m_nFlags |= CGXBCalcBtn::Pressed;
    SetCapture();
    InvalidateRect(&m_buttons[size_t(i)]->m_rect, FALSE);
}

void CGXBCalculator::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!(m_nFlags & FlagPressing) || m_nPressed < 0) {
        CWnd::OnMouseMove(nFlags, point);
        return;
    }
    CGXBCalcBtn* b = m_buttons[size_t(m_nPressed)].get();
    const bool bOver = b->m_rect.PtInRect(point) != FALSE;
    if (bOver != ((b->m_nFlags & CGXBCalcBtn::Pressed) != 0)) {
        b->m_nFlags ^= CGXBCalcBtn::Pressed;
        InvalidateRect(&b->m_rect, FALSE);
    }
}

void CGXBCalculator::releasePressed(bool bRepaint)
{
    m_nFlags &= ~FlagPressing;
    if (GetCapture() == this)
        ReleaseCapture();
    if (m_nPressed >= 0) {
        CGXBCalcBtn* b = m_buttons[size_t(m_nPressed)].get();
        b->m_nFlags &= ~CGXBCalcBtn::Pressed;
        if (bRepaint)
            InvalidateRect(&b->m_rect, FALSE);
    }
}

void CGXBCalculator::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!(m_nFlags & FlagPressing) || m_nPressed < 0) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    const int i = m_nPressed;
    releasePressed(true);
    m_nPressed = -1;
    if (buttonAt(point) == i)
        HandleButton(m_buttons[size_t(i)]->m_nID);
}

void CGXBCalculator::OnCancelMode()
{
    if (m_nFlags & FlagPressing) {
        releasePressed(true);
        m_nPressed = -1;
    }
    CWnd::OnCancelMode();
}

void CGXBCalculator::ClickButton(CGXBCalcBtn* pButton)
{
    pButton->m_nFlags |= CGXBCalcBtn::Pressed;
    InvalidateRect(&pButton->m_rect, FALSE);
    UpdateWindow();
    const CRect rc = pButton->m_rect;
    const auto alive = m_pAlive;
    HandleButton(pButton->m_nID);
    if (!*alive)
        return;
    pButton->m_nFlags &= ~CGXBCalcBtn::Pressed;
    if (m_hWnd)
        InvalidateRect(&rc, FALSE);
}

void CGXBCalculator::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    UINT ch = nChar;
    if (ch >= 'A' && ch <= 'Z')
        ch += 'a' - 'A';
    const CString typed = gxb::FromChar(ch);
    if (!typed.IsEmpty()) {
        for (const auto& b : m_buttons) {
            if (!b->m_strKeys.IsEmpty() && b->m_strKeys.Find(typed) >= 0) {
                ClickButton(b.get());
                return;
            }
        }
    }
    CWnd::OnChar(nChar, nRepCnt, nFlags);
}

BOOL CGXBCalculator::HandleVirtualKey(UINT nChar)
{
    for (const auto& b : m_buttons) {
        if (b->m_nVirtKey && b->m_nVirtKey == nChar) {
            ClickButton(b.get());
            return TRUE;
        }
    }
    return FALSE;
}

void CGXBCalculator::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB) {
        if (CWnd* pParent = GetParent(); pParent && (GetStyle() & WS_CHILD)) {
            pParent->PostMessage(WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) < 0) ? 1 : 0, 0);
            return;
        }
    }
    if (!HandleVirtualKey(nChar))
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

// ---- CGXBPopupCalculator ----

BEGIN_MESSAGE_MAP(CGXBPopupCalculator, CGXBCalculator)
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
    ON_WM_KILLFOCUS()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CGXBPopupCalculator::~CGXBPopupCalculator()
{
    // Gone while open: the window goes now and the closed handler still hears of it, but the
    // object is already being deleted.
    m_bAutoDelete = FALSE;
    m_bClosing = true;
    if (m_hWnd)
        DestroyWindow();
}

BOOL CGXBPopupCalculator::Create(DWORD dwStyle, const RECT& rect, CWnd* pOwnerWnd, CCreateContext*)
{
    DWORD dwExStyle = 0;
    dwStyle = (dwStyle & ~DWORD(WS_CHILD)) | WS_POPUP;
    CSize size;
    if (m_hWnd || !PrepareCreate(dwExStyle, dwStyle, pOwnerWnd, size))
        return FALSE;
    CRect rcWork;
    if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0))
        rcWork.SetRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int y = rect.bottom;
    if (y + size.cy > rcWork.bottom)
        y = rect.top - size.cy;
    int x = rect.left;
    if (x + size.cx > rcWork.right)
        x = rect.right - size.cx;
    LPCTSTR cls = AfxRegisterWndClass(GetClassStyle(), LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(dwExStyle, cls, nullptr, dwStyle, x, y, size.cx, size.cy,
                  pOwnerWnd ? pOwnerWnd->GetSafeHwnd() : nullptr, nullptr))
        return FALSE;
    if (!m_hWndTarget && pOwnerWnd)
        m_hWndTarget = pOwnerWnd->GetSafeHwnd();
    SetFocus();
    return m_hWnd != nullptr;
}

void CGXBPopupCalculator::NotifyResult()
{
    if (m_bNotified || IsError() || !m_hWndTarget || !::IsWindow(m_hWndTarget))
        return;
    m_bNotified = true;
    // The text is copied: the target may close this pop-up while it handles the result.
    const CString strResult = GetEntryText();
    ::SendMessage(m_hWndTarget, GXB_WM_CALCRESULT, 0, reinterpret_cast<LPARAM>(strResult.GetString()));
}

BOOL CGXBPopupCalculator::HandleButton(int nID)
{
    const BOOL bResult = CGXBCalculator::HandleButton(nID);
    if (nID == IdEquals && (GetStyle() & GXBCS_NOTIFYONEQUALS) && m_hWnd && !m_bClosing) {
        const auto alive = m_pAlive;
        NotifyResult();
        if (*alive && m_hWnd)
            PostMessage(WM_CLOSE);
    }
    return bResult;
}

void CGXBPopupCalculator::close(bool bRestoreFocus)
{
    if (m_bClosing || !m_hWnd)
        return;
    m_bClosing = true;
    if (bRestoreFocus && GetFocus() == this && m_hWndTarget && ::IsWindow(m_hWndTarget))
        ::SetFocus(m_hWndTarget);
    // May delete this object (auto-delete): nothing after it.
    DestroyWindow();
}

void CGXBPopupCalculator::deliverAndClose()
{
    const auto alive = m_pAlive;
    HandleButton(IdEquals);
    if (!*alive || !m_hWnd || m_bClosing)
        return;
    NotifyResult();
    if (*alive)
        close(true);
}

void CGXBPopupCalculator::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_ESCAPE) {
        close(true);
        return;
    }
    if (nChar == VK_RETURN) {
        deliverAndClose();
        return;
    }
    CGXBCalculator::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBPopupCalculator::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_DOWN) {
        deliverAndClose();
        return;
    }
    CGXBCalculator::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBPopupCalculator::OnKillFocus(CWnd* pNewWnd)
{
    CGXBCalculator::OnKillFocus(pNewWnd);
    if (pNewWnd != this)
        close(false);
}

void CGXBPopupCalculator::OnClose() { close(true); }

void CGXBPopupCalculator::PostNcDestroy()
{
    m_bClosing = true;
    if (auto fn = std::move(m_fnClosed)) {
        m_fnClosed = nullptr;
        fn();
    }
    if (m_bAutoDelete)
        delete this;
}
