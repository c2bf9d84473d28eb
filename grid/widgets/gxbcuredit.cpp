#include "grid/widgets/gxbcuredit.h"

#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "grid/widgets/gxbcalc.h"
#include "grid/widgets/gxbtext.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"
#include "platform/ui/menu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Styles a one-line money field cannot honour: several lines, case mapping, password, vertical
// scrolling, Return as a character.
constexpr DWORD kUnsupportedStyles = 0x107C;
constexpr DWORD kAlignStyles = ES_LEFT | ES_CENTER | ES_RIGHT;

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

using gxb::IsDigit;

// A memory DC with a font selected, for measuring text as it will be drawn.
struct MeasureDC {
    CDC dc;
    CDCStateGuard guard { &dc };
    TEXTMETRIC tm {};
    explicit MeasureDC(CFont* pFont)
    {
        dc.CreateCompatibleDC(nullptr);
        guard.SelectFont(pFont);
        dc.GetTextMetrics(&tm);
    }
};

int countDigits(const std::u32string& t, int nFrom, int nTo)
{
    int n = 0;
    for (int i = std::max(0, nFrom); i < nTo && i < int(t.size()); ++i)
        n += IsDigit(t[size_t(i)]) ? 1 : 0;
    return n;
}

// The index of the digit that follows n digits; -1 when there is none.
int nextDigitAfter(const std::u32string& t, int n)
{
    int seen = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (!IsDigit(t[i]))
            continue;
        if (seen == n)
            return int(i);
        ++seen;
    }
    return -1;
}

// Just past the n-th digit; nFallback for n 0 or too few digits.
int indexAfterDigits(const std::u32string& t, int n, int nFallback)
{
    if (n <= 0)
        return nFallback;
    int seen = 0;
    for (size_t i = 0; i < t.size(); ++i)
        if (IsDigit(t[i]) && ++seen == n)
            return int(i) + 1;
    return nFallback;
}

bool hasDigit(const std::u32string& t)
{
    return std::any_of(t.begin(), t.end(), [](char32_t c) { return IsDigit(c); });
}

// The digit at i leaves the integer part, or becomes '0' in the fraction (which keeps its
// places); answers whether it stood in the fraction.
bool takeDigit(std::u32string& t, int i, int nDecimal)
{
    if (nDecimal < 0 || i < nDecimal) {
        t.erase(size_t(i), 1);
        return false;
    }
    t[size_t(i)] = U'0';
    return true;
}

}  // namespace

IMPLEMENT_DYNAMIC(CGXBCurrencyEdit, CGXBDropEdit)
IMPLEMENT_DYNAMIC(CGXCaptiveCurEdit, CGXBCurrencyEdit)

BEGIN_MESSAGE_MAP(CGXBCurrencyEdit, CGXBDropEdit)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_SYSKEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONUP()
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
    ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_GETFONT, OnGetFont)
    ON_MESSAGE(WM_SETREDRAW, OnSetRedraw)
    ON_MESSAGE(EM_GETSEL, OnGetSelMsg)
    ON_MESSAGE(EM_SETSEL, OnSetSelMsg)
    ON_MESSAGE(EM_SETREADONLY, OnSetReadOnlyMsg)
    ON_MESSAGE(EM_UNDO, OnUndoMsg)
    ON_MESSAGE(WM_UNDO, OnUndoMsg)
    ON_MESSAGE(EM_CANUNDO, OnCanUndo)
    ON_MESSAGE(EM_EMPTYUNDOBUFFER, OnEmptyUndoBuffer)
    ON_MESSAGE(EM_SETMARGINS, OnSetMargins)
    ON_MESSAGE(WM_CUT, OnCutMsg)
    ON_MESSAGE(WM_COPY, OnCopyMsg)
    ON_MESSAGE(WM_PASTE, OnPasteMsg)
    ON_MESSAGE(GXB_WM_CALCRESULT, OnCalcResultMsg)
END_MESSAGE_MAP()

CGXBCurrencyEdit::CGXBCurrencyEdit() : m_pFormat(std::make_unique<Format>(TRUE)) {}

CGXBCurrencyEdit::~CGXBCurrencyEdit()
{
    if (m_pCalculator)
        m_pCalculator->DestroyWindow();
    if (m_hWnd)
        DestroyWindow();
}

CGXCaptiveCurEdit::~CGXCaptiveCurEdit() = default;

BOOL CGXBCurrencyEdit::RegisterWindowClass()
{
    WNDCLASS wc {};
    if (GetClassInfo(AfxGetInstanceHandle(), GXB_CURRENCYEDIT_CLASS, &wc))
        return TRUE;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    wc.lpszClassName = GXB_CURRENCYEDIT_CLASS;
    return RegisterClass(&wc) != 0;
}

BOOL CGXBCurrencyEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!RegisterWindowClass())
        return FALSE;
    return CWnd::CreateEx(0, GXB_CURRENCYEDIT_CLASS, "", (dwStyle & ~kUnsupportedStyles) | WS_CHILD, rect,
                          pParentWnd, nID);
}

int CGXBCurrencyEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CGXBDropEdit::OnCreate(lpCreateStruct) == -1)
        return -1;
    CString s;
    m_pFormat->FormatValue(m_dValue, s, m_bNegative);
    SetWindowTextRaw(s);
    m_nCaret = 0;
    return 0;
}

void CGXBCurrencyEdit::OnDestroy()
{
    // The calculator is the desktop's pop-up, not our child: it goes with us.
    if (m_pCalculator)
        m_pCalculator->DestroyWindow();
    CGXBDropEdit::OnDestroy();
}

// ---- Value and text ----

BOOL CGXBCurrencyEdit::SetValue(double dValue, BOOL bRedraw)
{
    if (!std::isfinite(dValue))
        return FALSE;
    StoreValue(std::fabs(dValue), dValue < 0, bRedraw);
    return TRUE;
}

void CGXBCurrencyEdit::StoreValue(double dMagnitude, bool bNegative, BOOL bRedraw)
{
    if (dMagnitude == m_dValue && bNegative == m_bNegative)
        return;
    m_dValue = dMagnitude;
    m_bNegative = bNegative;
    if (!m_hWnd)
        return;
    CString s;
    m_pFormat->FormatValue(m_dValue, s, m_bNegative);
    SaveUndoState();
    SetWindowTextRaw(s);
    m_nCaret = clampCaret(text(), m_nCaret);
    if (bRedraw && m_bRedraw)
        invalidate();
}

void CGXBCurrencyEdit::SetFormat(const Format& fmt)
{
    if (!m_pFormat->IsDifferent(fmt))
        return;
    m_pFormat->CopyFrom(fmt);
    if (!m_hWnd)
        return;
    CString s;
    m_pFormat->FormatValue(m_dValue, s, m_bNegative);
    SetWindowTextRaw(s);
    m_nCaret = clampCaret(text(), m_nCaret);
    if (m_bRedraw)
        invalidate();
}

void CGXBCurrencyEdit::SetWindowTextRaw(LPCTSTR lpszText)
{
    const int bOld = m_bFormatOnSetText;
    m_bFormatOnSetText = 0;
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszText ? lpszText : ""));
    m_bFormatOnSetText = bOld;
}

LRESULT CGXBCurrencyEdit::OnSetText(WPARAM, LPARAM lParam)
{
    if (!m_bFormatOnSetText) {
        const LRESULT r = Default();
        if (m_bRedraw)
            invalidate();
        return r;
    }
    double d = 0;
    bool bNegative = false;
    const CString s(lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
    if (!m_pFormat->ParseValue(s, d, bNegative))
        return FALSE;
    StoreValue(d, bNegative, TRUE);
    return TRUE;
}

std::u32string CGXBCurrencyEdit::text() const
{
    CString s;
    if (m_hWnd)
        GetWindowText(s);
    return gxb::ToChars(s);
}

bool CGXBCurrencyEdit::isGroupChar(char32_t ch) const
{
    const UINT sep = m_pFormat->GetGroupingSeparator();
    if (!sep)
        return false;
    return ch == sep || ((sep == 0xA0 || sep == 0x202F) && ch == U' ');
}

CGXBCurrencyEdit::NumberPos CGXBCurrencyEdit::numberPos(const std::u32string& t) const
{
    NumberPos p;
    const CString s = gxb::FromChars(t);
    if (!m_pFormat->FindNumberExtents(s, p.nStart, p.nEnd)) {
        p.nStart = p.nEnd = int(t.size());
        return p;
    }
    p.bFound = true;
    const UINT dec = m_pFormat->GetDecimalSeparator();
    const char32_t chDec = dec ? char32_t(dec) : U' ';
    for (int i = p.nEnd - 1; i >= p.nStart; --i)
        if (t[size_t(i)] == chDec) {
            p.nDecimal = i;
            break;
        }
    return p;
}

int CGXBCurrencyEdit::clampCaret(const std::u32string& t, int nCaret) const
{
    const NumberPos p = numberPos(t);
    // Never more than one past the number's last digit.
    const int nMax = std::min<int>(int(t.size()), p.nEnd + 1);
    return std::clamp(nCaret, 0, std::max(0, nMax));
}

int CGXBCurrencyEdit::zeroCaret(const std::u32string& t, bool bPastZeroDigits) const
{
    const NumberPos p = numberPos(t);
    if (p.nDecimal >= 0)
        return p.nDecimal + (bPastZeroDigits && m_pFormat->GetIntegerDigits() == 0 ? 1 : 0);
    return p.nEnd;
}

void CGXBCurrencyEdit::selectionRange(int& a, int& b) const
{
    const int n = int(text().size());
    if (m_nSelStart == 0 && m_nSelEnd == -1) {
        a = 0;
        b = n;
        return;
    }
    a = std::clamp(std::min(m_nSelStart, m_nSelEnd), 0, n);
    b = std::clamp(std::max(m_nSelStart, m_nSelEnd), 0, n);
}

int CGXBCurrencyEdit::wholeNumberSelection(const std::u32string& t) const
{
    if (m_nSelStart == 0 && m_nSelEnd == -1)
        return 2;
    if (!HasSelection())
        return 0;
    int a = 0, b = 0;
    selectionRange(a, b);
    const NumberPos p = numberPos(t);
    if (!(a <= p.nStart && b >= p.nEnd))
        return 0;
    return (a < p.nStart || b > p.nEnd + 1) ? 2 : 1;
}

bool CGXBCurrencyEdit::setParsedText(const std::u32string& t)
{
    SendMessage(WM_SETREDRAW, FALSE);
    const CString s = gxb::FromChars(t);
    const bool ok = SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.GetString())) != FALSE;
    SendMessage(WM_SETREDRAW, TRUE);
    return ok;
}

bool CGXBCurrencyEdit::setEditedText(std::u32string t)
{
    // A text left without any digit reads as zero.
    if (!hasDigit(t))
        t.push_back(U'0');
    return setParsedText(t);
}

void CGXBCurrencyEdit::finishEdit(const std::u32string& oldText, int nOldCaret, int nNewCaret)
{
    const std::u32string now = text();
    if (now != oldText) {
        const CString s = gxb::FromChars(oldText);
        SaveUndoState(s, nOldCaret);
        notify(EN_UPDATE);
        if (m_bRedraw)
            invalidate();
        notify(EN_CHANGE);
    }
    if (!m_hWnd)
        return;
    clearSelection();
    m_nCaret = clampCaret(now, nNewCaret);
    updateCaretPos();
    if (m_bRedraw)
        invalidate();
}

// ---- Edits ----

void CGXBCurrencyEdit::InsertText(const CString& strText)
{
    if (IsReadOnly() || !m_hWnd)
        return;
    const std::u32string t = text();
    const std::u32string s = gxb::ToChars(strText);
    if (s.empty())
        return;
    const NumberPos p = numberPos(t);
    const int nIntDigits = m_pFormat->GetIntegerDigits();
    int caret = m_nCaret;
    if (caret < p.nStart || caret > p.nEnd + 1)
        caret = p.nDecimal >= 0 ? p.nDecimal + (nIntDigits == 0 ? 1 : 0) : p.nEnd;

    std::u32string u = t;
    const bool bSelection = HasSelection();
    int nNewCaret = caret;
    if (!bSelection) {
        const int nIntEnd = p.nDecimal >= 0 ? p.nDecimal : p.nEnd;
        if (m_bOverwrite && caret < int(t.size()) &&
            (caret == p.nDecimal || (caret < nIntEnd && isGroupChar(t[size_t(caret)]))))
            ++caret;
        const bool bInteger = p.nDecimal < 0 || caret <= p.nDecimal;
        if (bInteger) {
            int advance = 0;
            if (m_bOverwrite) {
                if (caret < int(u.size()))
                    u[size_t(caret)] = s[0];
                else
                    u.push_back(s[0]);
                advance = 1;
            } else {
                u.insert(size_t(caret), s);
            }
            if (!setParsedText(u))
                return;
            nNewCaret = caret + advance + int(text().size()) - int(t.size());
        } else if (caret < p.nEnd) {
            // In the fraction the digits are overtyped: the text keeps its length.
            const size_t n = std::min(s.size(), size_t(p.nEnd - caret));
            u.replace(size_t(caret), n, s.substr(0, n));
            if (!setParsedText(u))
                return;
            nNewCaret = std::min(caret + countDigits(s, 0, int(s.size())), numberPos(text()).nEnd);
        } else if (m_bShiftIn && p.nDecimal >= 0) {
            const size_t nFrac = size_t(p.nEnd - p.nDecimal - 1);
            std::u32string frac = t.substr(size_t(p.nDecimal + 1), nFrac) + s;
            frac = frac.substr(frac.size() - nFrac);
            u.replace(size_t(p.nDecimal + 1), nFrac, frac);
            if (!setParsedText(u))
                return;
            nNewCaret = numberPos(text()).nEnd;
        } else {
            return;
        }
    } else {
        int a = 0, b = 0;
        selectionRange(a, b);
        u.replace(size_t(a), size_t(b - a), s);
        if (!setParsedText(u))
            return;
        const std::u32string now = text();
        const int nWhole = wholeNumberSelection(now);
        if (nWhole) {
            const NumberPos q = numberPos(now);
            nNewCaret = q.nDecimal >= 0 ? q.nDecimal + (nIntDigits == 0 ? 1 : 0) : q.nEnd;
        } else {
            nNewCaret = int(now.size()) + std::max(caret, a) - int(t.size());
        }
    }
    finishEdit(t, m_nCaret, nNewCaret);
}

void CGXBCurrencyEdit::DoDelete()
{
    if (IsReadOnly() || !m_hWnd)
        return;
    const std::u32string t = text();
    const NumberPos p = numberPos(t);
    std::u32string u = t;
    int nDigitsBefore = 0;
    bool bFraction = false;
    if (HasSelection()) {
        int a = 0, b = 0;
        selectionRange(a, b);
        nDigitsBefore = countDigits(t, 0, a);
        u.erase(size_t(a), size_t(b - a));
    } else {
        if (m_nCaret >= int(t.size()))
            return;
        int i = m_nCaret;
        while (i < int(t.size()) && !IsDigit(t[size_t(i)]))
            ++i;
        if (i >= int(t.size()))
            return;
        nDigitsBefore = countDigits(t, 0, i);
        bFraction = takeDigit(u, i, p.nDecimal);
    }
    if (!setEditedText(u))
        return;
    const std::u32string now = text();
    int nNewCaret;
    if (m_dValue == 0) {
        nNewCaret = zeroCaret(now, false);
    } else {
        const int n = nDigitsBefore + (bFraction ? 1 : 0);
        nNewCaret = bFraction ? indexAfterDigits(now, n, numberPos(now).nEnd) : nextDigitAfter(now, n);
        if (nNewCaret < 0)
            nNewCaret = numberPos(now).nEnd;
    }
    finishEdit(t, m_nCaret, nNewCaret);
}

void CGXBCurrencyEdit::DoBackspace()
{
    if (IsReadOnly() || !m_hWnd)
        return;
    if (HasSelection()) {
        DoDelete();
        return;
    }
    const std::u32string t = text();
    const NumberPos p = numberPos(t);
    if (m_nCaret <= p.nStart)
        return;
    int i = std::min<int>(m_nCaret, int(t.size())) - 1;
    while (i >= 0 && !IsDigit(t[size_t(i)]))
        --i;
    if (i < 0)
        return;
    std::u32string u = t;
    const int nDigitsBefore = countDigits(t, 0, i);
    const bool bInteger = !takeDigit(u, i, p.nDecimal);
    if (!setEditedText(u))
        return;
    const std::u32string now = text();
    int nNewCaret;
    if (m_dValue == 0)
        nNewCaret = zeroCaret(now, true);
    else if (!bInteger)
        nNewCaret = i;
    else if (m_pFormat->GetIntegerDigits() != -1)
        nNewCaret = m_nCaret;
    else
        nNewCaret = indexAfterDigits(now, nDigitsBefore, numberPos(now).nStart);
    finishEdit(t, m_nCaret, nNewCaret);
}

void CGXBCurrencyEdit::ToggleSign()
{
    if (IsReadOnly() || !m_hWnd)
        return;
    const std::u32string t = text();
    const bool bWholeBeyond = wholeNumberSelection(t) == 2;
    const int nFromEnd = numberPos(t).nEnd - m_nCaret;
    m_bNegative = bWholeBeyond ? true : !m_bNegative;
    CString s;
    m_pFormat->FormatValue(m_dValue, s, m_bNegative);
    SaveUndoState();
    SetWindowTextRaw(s);
    const std::u32string now = text();
    const NumberPos q = numberPos(now);
    if (bWholeBeyond) {
        m_nSelStart = q.nStart;
        m_nSelEnd = q.nEnd;
        m_nCaret = q.nEnd;
    } else {
        clearSelection();
        m_nCaret = std::clamp(q.nEnd - nFromEnd, 0, int(now.size()));
    }
    updateCaretPos();
    if (m_bRedraw)
        invalidate();
}

BOOL CGXBCurrencyEdit::ToggleOverwrite()
{
    m_bOverwrite = !m_bOverwrite;
    return m_bOverwrite;
}

CString CGXBCurrencyEdit::FilterPasteText(const CString& strText)
{
    if (wholeNumberSelection(text()))
        return strText;
    std::string digits;
    for (const char c : strText.str())
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    return CString(std::move(digits));
}

void CGXBCurrencyEdit::OnEditClear()
{
    if (IsReadOnly() || !m_hWnd)
        return;
    if (!HasSelection()) {
        SetValue(0, TRUE);
        return;
    }
    const std::u32string t = text();
    int a = 0, b = 0;
    selectionRange(a, b);
    std::u32string u = t;
    u.erase(size_t(a), size_t(b - a));
    setEditedText(u);
    clearSelection();
    if (GetFocus() == this) {
        m_nCaret = 0;
        updateCaretPos();
    }
    if (m_bRedraw)
        invalidate();
}

void CGXBCurrencyEdit::undo()
{
    if (IsReadOnly() || !m_bCanUndo || !m_hWnd)
        return;
    const CString strSaved = m_strUndoText;
    const int nSavedCaret = m_nUndoCaret, nSavedStart = m_nUndoSelStart, nSavedEnd = m_nUndoSelEnd;
    const std::u32string before = text();
    // The current state becomes the saved one, so a second undo brings it back.
    const CString strNow = gxb::FromChars(before);
    const int nNowCaret = m_nCaret, nNowStart = HasSelection() ? m_nSelStart : -1,
              nNowEnd = HasSelection() ? m_nSelEnd : 0;
    SendMessage(WM_SETREDRAW, FALSE);
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strSaved.GetString()));
    SendMessage(WM_SETREDRAW, TRUE);
    m_strUndoText = strNow;
    m_nUndoCaret = nNowCaret;
    m_nUndoSelStart = nNowStart;
    m_nUndoSelEnd = nNowEnd;
    m_bCanUndo = TRUE;
    m_nSelStart = nSavedStart;
    m_nSelEnd = nSavedEnd;
    if (GetFocus() == this && nSavedCaret >= 0)
        m_nCaret = clampCaret(text(), nSavedCaret);
    updateCaretPos();
    if (text() != before) {
        notify(EN_UPDATE);
        notify(EN_CHANGE);
    }
    if (m_bRedraw)
        invalidate();
}

void CGXBCurrencyEdit::SaveUndoState(LPCTSTR lpszText, int nCaret)
{
    if (lpszText)
        m_strUndoText = lpszText;
    else
        m_strUndoText = gxb::FromChars(text());
    m_nUndoCaret = nCaret == -1 ? m_nCaret : nCaret;
    if (HasSelection()) {
        m_nUndoSelStart = m_nSelStart;
        m_nUndoSelEnd = m_nSelEnd;
    } else {
        m_nUndoSelStart = -1;
        m_nUndoSelEnd = 0;
    }
    m_bCanUndo = TRUE;
}

// ---- Selection and caret ----

BOOL CGXBCurrencyEdit::SetSel(int nStart, int nEnd)
{
    const int n = int(text().size());
    if (nStart == -1 && nEnd == 0) {
        clearSelection();
    } else if (nStart == 0 && nEnd == -1) {
        m_nSelStart = 0;
        m_nSelEnd = -1;
        m_nCaret = n;
    } else {
        if (nStart < 0 || nEnd < 0 || nStart > n || nEnd > n)
            return FALSE;
        m_nSelStart = nStart;
        m_nSelEnd = nEnd;
        m_nCaret = nEnd;
    }
    updateCaretPos();
    if (m_bRedraw)
        invalidate();
    return TRUE;
}

void CGXBCurrencyEdit::GetSel(int& nStart, int& nEnd) const
{
    if (!HasSelection()) {
        nStart = nEnd = m_nCaret;
        return;
    }
    selectionRange(nStart, nEnd);
}

void CGXBCurrencyEdit::moveCaret(int nPos, bool bExtend, bool bNavigation)
{
    const int n = int(text().size());
    const bool bShift = GetKeyState(VK_SHIFT) < 0;
    if (nPos < 0 || nPos > n) {
        if (bNavigation && !bShift) {
            clearSelection();
            invalidate();
        }
        return;
    }
    if (bExtend) {
        if (bShift || m_bMouseSelecting) {
            if (HasSelection()) {
                m_nSelEnd = nPos;  // (0, -1) becomes (0, nPos)
            } else {
                m_nSelStart = m_nCaret;
                m_nSelEnd = nPos;
            }
        } else {
            clearSelection();
        }
    }
    m_nCaret = nPos;
    updateCaretPos();
    invalidate();
}

void CGXBCurrencyEdit::CreateEditCaret(int nPos)
{
    const MeasureDC m(font());
    CreateSolidCaret(GetSystemMetrics(SM_CXBORDER), m.tm.tmHeight);
    if (nPos != -1) {
        m_nCaret = clampCaret(text(), nPos);
        updateCaretPos();
    }
    ShowCaret();
}

void CGXBCurrencyEdit::DestroyEditCaret()
{
    clearSelection();
    ::DestroyCaret();
}

void CGXBCurrencyEdit::updateCaretPos()
{
    if (!m_hWnd || GetFocus() != this)
        return;
    const TextLayout l = layout();
    const size_t i = size_t(std::clamp(m_nCaret, 0, int(l.shown.size())));
    SetCaretPos(CPoint(l.x[i], l.rcText.top));
}

int CGXBCurrencyEdit::charFromPoint(CPoint point) const
{
    const TextLayout l = layout();
    for (size_t i = 0; i < l.shown.size(); ++i)
        if ((l.x[i] + l.x[i + 1]) / 2 > point.x)
            return int(i);
    return int(l.shown.size());
}

// ---- Drawing ----

CFont* CGXBCurrencyEdit::font() const
{
    if (m_hFont)
        return CFont::FromHandle(m_hFont);
    return CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}

int CGXBCurrencyEdit::charWidth(CDC& dc, char32_t ch) const
{
    const auto it = m_widths.find(ch);
    if (it != m_widths.end())
        return it->second;
    const CString s = gxb::FromChars(std::u32string(1, ch));
    const int w = dc.GetTextExtent(s).cx;
    m_widths.emplace(ch, w);
    return w;
}

CGXBCurrencyEdit::TextLayout CGXBCurrencyEdit::layout() const
{
    TextLayout l;
    l.shown = text();
    const NumberPos p = numberPos(l.shown);
    l.nDecimal = p.nDecimal;
    if (m_pFormat->GetDecimalLine() && p.nDecimal >= 0)
        l.shown[size_t(p.nDecimal)] = U' ';

    MeasureDC m(font());
    l.x.resize(l.shown.size() + 1, 0);
    int w = 0;
    for (size_t i = 0; i < l.shown.size(); ++i) {
        l.x[i] = w;
        w += charWidth(m.dc, l.shown[i]);
    }
    l.x[l.shown.size()] = w;

    CRect rc;
    GetClientRect(&rc);
    rc.left += m_nLeftMargin;
    rc.right -= m_nRightMargin;
    const int cxBorder = GetSystemMetrics(SM_CXBORDER);
    int left = rc.left + cxBorder;
    const DWORD align = GetStyle() & kAlignStyles;
    if (align == ES_CENTER)
        left = (rc.left + rc.right) / 2 - w / 2;
    else if (align == ES_RIGHT)
        left = rc.right - w - cxBorder;
    const int top = GetSystemMetrics(SM_CYBORDER);
    l.rcText.SetRect(left, top, left + w, top + m.tm.tmHeight);
    for (int& x : l.x)
        x += left;
    return l;
}

void CGXBCurrencyEdit::EraseBackground(CDC* pDC, const CRect& rect)
{
    CRect rc = rect;
    rc.InflateRect(1, 1);
    COLORREF cr = 0;
    if (IsWindowEnabled() && m_pFormat->GetBackgroundColor(cr))
        pDC->FillSolidRect(&rc, cr);
    else
        pDC->FillSolidRect(&rc, sysColor((!IsWindowEnabled() || IsReadOnly()) ? COLOR_BTNFACE : COLOR_WINDOW));
}

void CGXBCurrencyEdit::DrawDecimalLine(CDC* pDC, int x, const CRect& rcClient)
{
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, IsReadOnly() ? sysColor(COLOR_BTNSHADOW) : m_pFormat->GetDecimalLineColor());
    CDCStateGuard guard(pDC);
    guard.SelectPen(&pen);
    pDC->MoveTo(x, rcClient.top);
    pDC->LineTo(x, rcClient.bottom);
}

void CGXBCurrencyEdit::OnPaint()
{
    CPaintDC dcPaint(this);
    if (!m_bRedraw)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    CDC dcMem;
    CBitmap bmp;
    CDC* pDC = &dcPaint;
    CBitmap* pOldBmp = nullptr;
    if (dcMem.CreateCompatibleDC(&dcPaint) &&
        bmp.CreateCompatibleBitmap(&dcPaint, std::max(1, rcClient.Width()), std::max(1, rcClient.Height()))) {
        pOldBmp = dcMem.SelectObject(&bmp);
        pDC = &dcMem;
    }
    EraseBackground(pDC, rcClient);

    const bool bEnabled = IsWindowEnabled() != FALSE;
    COLORREF crText = sysColor(COLOR_WINDOWTEXT);
    if (bEnabled) {
        COLORREF cr = 0;
        if (GetValue() >= 0 ? m_pFormat->GetPositiveTextColor(cr) : m_pFormat->GetNegativeTextColor(cr))
            crText = cr;
    } else {
        crText = sysColor(GetExStyle() ? COLOR_BTNSHADOW : COLOR_GRAYTEXT);
    }

    const TextLayout l = layout();
    {
        CDCStateGuard guard(pDC);
        guard.SelectFont(font());
        guard.SetTextColor(crText);
        guard.SetBkMode(TRANSPARENT);
        if (m_pFormat->GetDecimalLine() && l.nDecimal >= 0) {
            MeasureDC m(font());
            DrawDecimalLine(pDC, l.x[size_t(l.nDecimal)] + charWidth(m.dc, U' ') / 2, rcClient);
        }
        auto draw = [&](int a, int b) {
            if (b > a) {
                const CString part = gxb::FromChars(l.shown.substr(size_t(a), size_t(b - a)));
                pDC->TextOut(l.x[size_t(a)], l.rcText.top, part);
            }
        };
        const int n = int(l.shown.size());
        if (!HasSelection()) {
            draw(0, n);
        } else {
            int a = 0, b = 0;
            selectionRange(a, b);
            draw(0, a);
            draw(b, n);
            const CRect rcSel(l.x[size_t(a)], l.rcText.top, l.x[size_t(b)], l.rcText.bottom);
            pDC->FillSolidRect(&rcSel, sysColor(COLOR_HIGHLIGHT));
            guard.SetTextColor(sysColor(COLOR_HIGHLIGHTTEXT));
            draw(a, b);
        }
    }
    if (pOldBmp) {
        dcPaint.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &dcMem, 0, 0, SRCCOPY);
        dcMem.SelectObject(pOldBmp);
    }
}

BOOL CGXBCurrencyEdit::OnEraseBkgnd(CDC*) { return TRUE; }

void CGXBCurrencyEdit::invalidate()
{
    if (m_hWnd)
        Invalidate(FALSE);
}

void CGXBCurrencyEdit::notify(UINT nCode)
{
    if (CWnd* pParent = GetParent(); pParent && m_hWnd)
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- Messages ----

void CGXBCurrencyEdit::OnSetFocus(CWnd* pOldWnd)
{
    CGXBDropEdit::OnSetFocus(pOldWnd);
    CreateEditCaret(m_nCaret);
    SetSel(0, -1);
    notify(EN_SETFOCUS);
}

void CGXBCurrencyEdit::OnKillFocus(CWnd* pNewWnd)
{
    CGXBDropEdit::OnKillFocus(pNewWnd);
    DestroyEditCaret();
    invalidate();
    notify(EN_KILLFOCUS);
}

UINT CGXBCurrencyEdit::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

void CGXBCurrencyEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const bool bCtrl = GetKeyState(VK_CONTROL) < 0;
    const bool bShift = GetKeyState(VK_SHIFT) < 0;
    const int n = int(text().size());
    switch (nChar) {
    case VK_BACK: DoBackspace(); break;
    case VK_END: moveCaret(n, true, true); break;
    case VK_HOME: moveCaret(0, true, true); break;
    case VK_LEFT: moveCaret(m_nCaret - 1, true, true); break;
    case VK_RIGHT: moveCaret(m_nCaret + 1, true, true); break;
    case VK_INSERT:
        if (bCtrl)
            PostMessage(WM_COPY);
        else if (bShift)
            PostMessage(WM_PASTE);
        else
            ToggleOverwrite();
        break;
    case VK_DELETE:
        if (bShift)
            PostMessage(WM_CUT);
        else
            DoDelete();
        break;
    case 'C':
        if (bCtrl)
            PostMessage(WM_COPY);
        break;
    case 'V':
        if (bCtrl)
            PostMessage(WM_PASTE);
        break;
    case 'X':
        if (bCtrl)
            PostMessage(WM_CUT);
        break;
    case 'Z':
        if (bCtrl)
            PostMessage(WM_UNDO);
        break;
    case VK_F2:
        if (GetButtonBitmap())
            ShowCalculator();
        break;
    default: break;
    }
    if (m_hWnd)
        CGXBDropEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBCurrencyEdit::OnChar(UINT nChar, UINT, UINT)
{
    const UINT dec = m_pFormat->GetDecimalSeparator();
    if (nChar == (dec ? dec : UINT(' ')) && !IsReadOnly()) {
        const std::u32string t = text();
        const NumberPos p = numberPos(t);
        clearSelection();
        m_nCaret = p.nDecimal >= 0 ? p.nDecimal + 1 : p.nEnd;
        updateCaretPos();
        invalidate();
    } else if (nChar == '-') {
        ToggleSign();
    } else if (nChar >= '0' && nChar <= '9') {
        InsertText(gxb::FromChar(nChar));
    }
}

void CGXBCurrencyEdit::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        CRect rc;
        GetClientRect(&rc);
        PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y));
    } else if (nChar == VK_BACK) {
        PostMessage(WM_UNDO);
    }
    CGXBDropEdit::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBCurrencyEdit::OnLButtonDown(UINT, CPoint point)
{
    m_bRedraw = 0;
    SetFocus();
    m_bRedraw = 1;
    if (!m_hWnd)
        return;
    clearSelection();
    m_nCaret = charFromPoint(point);
    updateCaretPos();
    m_bMouseSelecting = 1;
    SetCapture();
    invalidate();
}

void CGXBCurrencyEdit::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bMouseSelecting)
        moveCaret(charFromPoint(point), true, false);
    CGXBDropEdit::OnMouseMove(nFlags, point);
}

void CGXBCurrencyEdit::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bMouseSelecting) {
        m_bMouseSelecting = 0;
        if (GetCapture() == this)
            ReleaseCapture();
        if (!HasSelection()) {
            const NumberPos p = numberPos(text());
            if (m_nCaret < p.nStart || m_nCaret > p.nEnd)
                SetSel(0, -1);
        }
    }
    CGXBDropEdit::OnLButtonUp(nFlags, point);
}

void CGXBCurrencyEdit::OnLButtonDblClk(UINT, CPoint) { SetSel(0, -1); }

void CGXBCurrencyEdit::OnRButtonUp(UINT, CPoint point)
{
    CMenu* pMenu = CreateContextMenu();
    if (!pMenu)
        return;
    ClientToScreen(&point);
    pMenu->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, this);
    DestroyContextMenu(pMenu);
}

CMenu* CGXBCurrencyEdit::CreateContextMenu()
{
    auto pMenu = std::make_unique<CMenu>();
    if (!pMenu->CreatePopupMenu())
        return nullptr;
    const bool bReadOnly = IsReadOnly() != FALSE;
    const bool bEmpty = text().empty();
    const bool bSel = HasSelection();
    CString strClip;
    double d = 0;
    bool bNeg = false;
    const bool bPaste = !bReadOnly && clipboardText(strClip) && m_pFormat->ParseValue(strClip, d, bNeg);
    auto item = [&](UINT nID, LPCTSTR text, bool bEnabled) {
        pMenu->AppendMenu(MF_STRING | (bEnabled ? MF_ENABLED : MF_GRAYED), nID, text);
    };
    item(ID_EDIT_UNDO, "&Undo\tCtrl+Z", m_bCanUndo && !bReadOnly);
    pMenu->AppendMenu(MF_SEPARATOR);
    item(ID_EDIT_CUT, "Cu&t\tCtrl+X", !bEmpty && bSel && !bReadOnly);
    item(ID_EDIT_COPY, "&Copy\tCtrl+C", !bEmpty && bSel);
    item(ID_EDIT_PASTE, "&Paste\tCtrl+V", bPaste);
    item(ID_EDIT_CLEAR, "&Delete\tDelete", !bEmpty && bSel && !bReadOnly);
    pMenu->AppendMenu(MF_SEPARATOR);
    item(ID_EDIT_SELECT_ALL, "Select &All", !bEmpty);
    return pMenu.release();
}

void CGXBCurrencyEdit::DestroyContextMenu(CMenu* pMenu)
{
    if (pMenu)
        pMenu->DestroyMenu();
    delete pMenu;
}

LRESULT CGXBCurrencyEdit::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    m_hFont = reinterpret_cast<HFONT>(wParam);
    m_widths.clear();
    if (LOWORD(lParam) && m_bRedraw)
        invalidate();
    return 0;
}

LRESULT CGXBCurrencyEdit::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hFont); }

LRESULT CGXBCurrencyEdit::OnSetRedraw(WPARAM wParam, LPARAM)
{
    m_bRedraw = wParam ? 1 : 0;
    return 0;
}

LRESULT CGXBCurrencyEdit::OnGetSelMsg(WPARAM wParam, LPARAM lParam)
{
    int a = 0, b = 0;
    GetSel(a, b);
    if (wParam)
        *reinterpret_cast<DWORD*>(wParam) = DWORD(a);
    if (lParam)
        *reinterpret_cast<DWORD*>(lParam) = DWORD(b);
    if (a >= 65535 || b >= 65535)
        return -1;
    return MAKELRESULT(a, b);
}

LRESULT CGXBCurrencyEdit::OnSetSelMsg(WPARAM wParam, LPARAM lParam)
{
    return SetSel(int(wParam), int(lParam));
}

void CGXBCurrencyEdit::SetAlignment(int nAlign)
{
    const DWORD style = nAlign == 1 ? ES_CENTER : nAlign == 2 ? ES_RIGHT : ES_LEFT;
    ModifyStyle(kAlignStyles, style);
    invalidate();
}

BOOL CGXBCurrencyEdit::IsReadOnly() const { return m_hWnd && (GetStyle() & ES_READONLY) != 0; }

void CGXBCurrencyEdit::SetReadOnly(BOOL bReadOnly)
{
    if (!m_hWnd || (IsReadOnly() != FALSE) == (bReadOnly != FALSE))
        return;
    ModifyStyle(bReadOnly ? 0 : ES_READONLY, bReadOnly ? ES_READONLY : 0);
    invalidate();
}

LRESULT CGXBCurrencyEdit::OnSetReadOnlyMsg(WPARAM wParam, LPARAM)
{
    SetReadOnly(BOOL(wParam));
    return 1;
}

LRESULT CGXBCurrencyEdit::OnUndoMsg(WPARAM, LPARAM)
{
    undo();
    return TRUE;
}

void CGXBCurrencyEdit::OnEditUndo() { undo(); }

LRESULT CGXBCurrencyEdit::OnCanUndo(WPARAM, LPARAM) { return m_bCanUndo; }

LRESULT CGXBCurrencyEdit::OnEmptyUndoBuffer(WPARAM, LPARAM)
{
    m_bCanUndo = FALSE;
    return 0;
}

LRESULT CGXBCurrencyEdit::OnSetMargins(WPARAM wParam, LPARAM lParam)
{
    if (wParam == EC_USEFONTINFO) {
        const MeasureDC m(font());
        m_nLeftMargin = m_nRightMargin = m.tm.tmAveCharWidth;
    } else {
        if (wParam & EC_LEFTMARGIN)
            m_nLeftMargin = LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN)
            m_nRightMargin = HIWORD(lParam);
    }
    invalidate();
    return 0;
}

// ---- Clipboard ----

bool CGXBCurrencyEdit::copySelection()
{
    if (!HasSelection())
        return false;
    int a = 0, b = 0;
    selectionRange(a, b);
    const CString s = gxb::FromChars(text().substr(size_t(a), size_t(b - a)));
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, SIZE_T(s.GetLength()) + 1);
    if (!h)
        return false;
    if (void* p = GlobalLock(h)) {
        std::memcpy(p, s.GetString(), size_t(s.GetLength()));
        GlobalUnlock(h);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(h);
        return false;
    }
    if (!EmptyClipboard()) {
        GlobalFree(h);
        CloseClipboard();
        return false;
    }
    const bool ok = SetClipboardData(CF_TEXT, h) != nullptr;
    if (!ok)
        GlobalFree(h);
    CloseClipboard();
    return ok;
}

bool CGXBCurrencyEdit::clipboardText(CString& strText) const
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr))
        return false;
    bool ok = false;
    if (HGLOBAL h = GetClipboardData(CF_TEXT)) {
        const SIZE_T n = GlobalSize(h);
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            // The block need not end in a zero: read no further than it reaches.
            const void* z = std::memchr(p, 0, n);
            strText = CString(std::string(p, z ? static_cast<const char*>(z) - p : n));
            GlobalUnlock(h);
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

void CGXBCurrencyEdit::OnEditCopy() { copySelection(); }

void CGXBCurrencyEdit::OnEditCut()
{
    if (IsReadOnly() || (!HasSelection()))
        return;
    if (copySelection())
        DoDelete();
}

void CGXBCurrencyEdit::OnEditPaste()
{
    CString s;
    if (IsReadOnly() || !clipboardText(s))
        return;
    InsertText(FilterPasteText(s));
}

void CGXBCurrencyEdit::OnEditSelectAll() { SetSel(0, -1); }

LRESULT CGXBCurrencyEdit::OnCutMsg(WPARAM, LPARAM)
{
    OnEditCut();
    return 0;
}

LRESULT CGXBCurrencyEdit::OnCopyMsg(WPARAM, LPARAM)
{
    OnEditCopy();
    return 0;
}

LRESULT CGXBCurrencyEdit::OnPasteMsg(WPARAM, LPARAM)
{
    OnEditPaste();
    return 0;
}

// ---- Calculator ----

void CGXBCurrencyEdit::NotifyDropDown() { ShowCalculator(); }

CGXBPopupCalculator* CGXBCurrencyEdit::NewCalculator() { return new CGXBPopupCalculator; }

BOOL CGXBCurrencyEdit::ShowCalculator()
{
    if (m_pCalculator || !m_hWnd)
        return FALSE;
    // A focus change that reaches the grid while the calculator is open must not end the cell's
    // editing: the flag holds until the calculator's window is gone.
    const BOOL bOldPopup = GetGridPopupActive();
    SetGridPopupActive(TRUE);
    CGXBPopupCalculator* p = NewCalculator();
    if (!p) {
        SetGridPopupActive(bOldPopup);
        return FALSE;
    }
    auto gone = std::make_shared<bool>(false);
    p->SetClosedHandler([this, bOldPopup, gone] {
        *gone = true;
        m_pCalculator = nullptr;
        SetGridPopupActive(bOldPopup);
    });
    // The result comes back with the Format's separator, so that it reads back as it was meant.
    const UINT dec = m_pFormat->GetDecimalSeparator();
    p->SetDecimalSeparator(gxb::FromChar(dec ? dec : UINT(' ')));
    p->SetValue(GetValue());
    p->SetTarget(this);
    p->SetAutoDelete(TRUE);
    m_pCalculator = p;
    CRect rc;
    GetWindowRect(&rc);
    if (!p->Create(WS_VISIBLE | GXBCS_RAISEDFRAME | GXBCS_NOTIFYONEQUALS, rc, this)) {
        if (!*gone) {
            // No window was ever made: the object is still ours.
            m_pCalculator = nullptr;
            p->SetClosedHandler(nullptr);
            delete p;
            SetGridPopupActive(bOldPopup);
        }
        return FALSE;
    }
    return *gone ? FALSE : TRUE;
}

LRESULT CGXBCurrencyEdit::OnCalculatorResult(WPARAM, LPARAM lParam)
{
    if (IsReadOnly() || !lParam)
        return 0;
    const CString strResult(reinterpret_cast<LPCTSTR>(lParam));
    m_nSelStart = 0;
    m_nSelEnd = -1;
    InsertText(FilterPasteText(strResult));
    return 1;
}
