// CDialog: windows built from our templates, modal and modeless, keyboard navigation, default
// button, dialog units and data exchange.

#include "platform/base/utf8.h"
#include "platform/ui/dialog.h"

#include "platform/base/stringtable.h"
#include "platform/base/textcase.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
HFONT defaultFont() { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

UINT dlgCode(HWND h) { return h ? UINT(::SendMessage(h, WM_GETDLGCODE, 0, 0)) : 0; }

bool isClass(HWND h, const char* name)
{
    char cls[32] = {};
    ::GetClassName(h, cls, sizeof cls);
    return CString(cls).CompareNoCase(name) == 0;
}

bool isPushButton(HWND h, DWORD* style = nullptr)
{
    if (!h || !isClass(h, "BUTTON")) return false;
    DWORD s = DWORD(::GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK;
    if (style) *style = s;
    return s == BS_PUSHBUTTON || s == BS_DEFPUSHBUTTON;
}

// The direct child of hDlg that contains h (controls may have children of their own).
HWND childOfDialog(HWND hDlg, HWND h)
{
    while (h && ::GetParent(h) != hDlg) h = ::GetParent(h);
    return h;
}

bool usable(HWND h) { return ::IsWindowVisible(h) && ::IsWindowEnabled(h); }
} // namespace

// ---- Dialog units ----
CSize PvDialogBaseUnits(LPCTSTR face, WORD points)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont font;
    HGDIOBJ old;
    if (face || points) {
        font.CreatePointFont((points ? points : 8) * 10, face ? face : "MS Shell Dlg");
        old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(font.m_hObject));
    } else {
        old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(defaultFont()));
    }
    TEXTMETRIC tm {};
    dc.GetTextMetrics(&tm);
    const char* sample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    CSize ext = dc.GetTextExtent(sample, 52);
    dc.SelectObject(old);
    int cx = std::max<int>(1, (int(ext.cx) / 26 + 1) / 2);
    int cy = std::max<int>(1, int(tm.tmHeight));
    return CSize(cx, cy);
}

BOOL MapDialogRect(HWND hDlg, LPRECT r)
{
    if (!r) return FALSE;
    CWnd* w = CWnd::FromHandlePermanent(hDlg);
    CSize base = PvDialogBaseUnits();
    if (w && w->IsKindOf(RUNTIME_CLASS(CDialog))) {
        const PvDialogTemplate* t = static_cast<CDialog*>(w)->m_lpDialogTemplate;
        if (t) base = PvDialogBaseUnits(t->lpszFontFace, t->wPointSize);
    }
    r->left = r->left * base.cx / 4;
    r->right = r->right * base.cx / 4;
    r->top = r->top * base.cy / 8;
    r->bottom = r->bottom * base.cy / 8;
    return TRUE;
}

// ---- Navigation ----
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    std::vector<HWND> items;
    for (HWND c = ::GetWindow(hDlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) items.push_back(c);
    if (items.empty()) return nullptr;
    hCtl = childOfDialog(hDlg, hCtl);
    size_t n = items.size();
    size_t start = 0;
    bool found = false;
    for (size_t i = 0; i < n; ++i)
        if (items[i] == hCtl) { start = i; found = true; }
    if (!found) start = bPrevious ? 0 : n - 1;
    for (size_t k = 1; k <= n; ++k) {
        size_t i = bPrevious ? (start + n - k % n) % n : (start + k) % n;
        HWND c = items[i];
        if ((::GetWindowLong(c, GWL_STYLE) & WS_TABSTOP) && usable(c)) return c;
    }
    return hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    std::vector<HWND> items;
    for (HWND c = ::GetWindow(hDlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) items.push_back(c);
    hCtl = childOfDialog(hDlg, hCtl);
    auto it = std::find(items.begin(), items.end(), hCtl);
    if (it == items.end()) return hCtl;
    // The group runs from a WS_GROUP item up to the next one.
    size_t pos = size_t(it - items.begin()), first = pos, last = pos;
    while (first > 0 && !(::GetWindowLong(items[first], GWL_STYLE) & WS_GROUP)) --first;
    while (last + 1 < items.size() && !(::GetWindowLong(items[last + 1], GWL_STYLE) & WS_GROUP)) ++last;
    size_t n = last - first + 1;
    for (size_t k = 1; k <= n; ++k) {
        size_t i = first + (bPrevious ? (pos - first + n - k) % n : (pos - first + k) % n);
        if (usable(items[i])) return items[i];
    }
    return hCtl;
}

namespace {
void setFocusTo(HWND hDlg, HWND c)
{
    if (!c) return;
    ::SetFocus(c);
    if (dlgCode(c) & DLGC_HASSETSEL) ::SendMessage(c, EM_SETSEL, 0, -1);
    (void)hDlg;
}

HWND defaultButton(HWND hDlg)
{
    LRESULT r = ::SendMessage(hDlg, DM_GETDEFID, 0, 0);
    if (HIWORD(r) == DC_HASDEFID) return ::GetDlgItem(hDlg, LOWORD(r));
    return ::GetDlgItem(hDlg, IDOK);
}

void pressButton(HWND hDlg, HWND btn, int id)
{
    if (btn && !::IsWindowEnabled(btn)) return;
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(btn));
}
} // namespace

namespace {

// The character after the single '&' of a control's text ("&&" is a literal ampersand).
std::string mnemonicOf(HWND c)
{
    if (isClass(c, "STATIC") && (::GetWindowLong(c, GWL_STYLE) & SS_NOPREFIX)) return {};
    int n = ::GetWindowTextLength(c);
    if (n <= 0) return {};
    std::string text(size_t(n) + 1, '\0');
    text.resize(size_t(std::max(0, ::GetWindowText(c, text.data(), n + 1))));
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') { ++i; continue; }
        size_t len = 1;
        while (i + 1 + len < text.size() && (static_cast<unsigned char>(text[i + 1 + len]) & 0xC0) == 0x80) ++len;
        return text.substr(i + 1, len);
    }
    return {};
}

// Alt+letter, or a letter the focused control has no use for: the control whose text carries
// that mnemonic is chosen. A label hands the focus on to the control after it; a push button is
// pressed; a check box or radio button is clicked. Repeated presses cycle through matches.
bool doMnemonic(HWND hDlg, UINT ch)
{
    std::string typed;
    PvAppendUtf8(typed, ch);
    std::vector<HWND> items;
    for (HWND c = ::GetWindow(hDlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) items.push_back(c);
    if (items.empty()) return false;
    HWND focus = childOfDialog(hDlg, ::GetFocus());
    size_t start = 0;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == focus) start = i + 1;
    for (size_t k = 0; k < items.size(); ++k) {
        HWND c = items[(start + k) % items.size()];
        if (!::IsWindowVisible(c)) continue;
        std::string mn = mnemonicOf(c);
        if (mn.empty() || PvCompareNoCase(mn, typed) != 0) continue;
        UINT code = dlgCode(c);
        if (code & DLGC_STATIC) {
            HWND next = ::GetNextDlgTabItem(hDlg, c, FALSE);
            if (next && next != c) setFocusTo(hDlg, next);
            return true;
        }
        if (!::IsWindowEnabled(c)) continue;
        if (isPushButton(c)) {
            pressButton(hDlg, c, ::GetDlgCtrlID(c));
        } else if (code & DLGC_BUTTON) {
            ::SetFocus(c);
            ::SendMessage(c, BM_CLICK, 0, 0);
        } else {
            setFocusTo(hDlg, c);
        }
        return true;
    }
    return false;
}
} // namespace

BOOL IsDialogMessage(HWND hDlg, LPMSG m)
{
    if (!m || !hDlg || !::IsWindow(hDlg)) return FALSE;
    if (m->hwnd != hDlg && !::IsChild(hDlg, m->hwnd)) return FALSE;
    if (m->message != WM_KEYDOWN && m->message != WM_CHAR && m->message != WM_SYSCHAR) return FALSE;
    // The control sees the very message, so it can claim a key only when it has a use for it
    // (a dropped combo box its Enter, a multi-line edit its arrows but not its Tab).
    MSG copy = *m;
    UINT code = UINT(::SendMessage(m->hwnd, WM_GETDLGCODE, m->wParam, reinterpret_cast<LPARAM>(&copy)));
    if (m->message == WM_SYSCHAR) return doMnemonic(hDlg, UINT(m->wParam)) ? TRUE : FALSE;
    if (m->message == WM_CHAR) {
        if (code & DLGC_WANTALLKEYS) return FALSE;
        // Tab, Enter and Esc produce characters too; they were handled on the key.
        if ((m->wParam == '\t' && !(code & DLGC_WANTTAB)) || m->wParam == '\r' || m->wParam == 27) {
            if (m->wParam == '\r' && (code & DLGC_WANTCHARS)) return FALSE;
            return TRUE;
        }
        if (code & DLGC_WANTCHARS) return FALSE;
        return doMnemonic(hDlg, UINT(m->wParam)) ? TRUE : FALSE;
    }
    if (code & DLGC_WANTALLKEYS) return FALSE;
    switch (m->wParam) {
    case VK_TAB: {
        if (code & DLGC_WANTTAB) return FALSE;
        bool back = ::GetKeyState(VK_SHIFT) & 0x8000;
        setFocusTo(hDlg, GetNextDlgTabItem(hDlg, ::GetFocus(), back));
        return TRUE;
    }
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: {
        if (code & DLGC_WANTARROWS) return FALSE;
        bool back = m->wParam == VK_LEFT || m->wParam == VK_UP;
        HWND next = GetNextDlgGroupItem(hDlg, ::GetFocus(), back);
        if (next && next != childOfDialog(hDlg, ::GetFocus())) {
            setFocusTo(hDlg, next);
            if (dlgCode(next) & DLGC_RADIOBUTTON) ::SendMessage(next, BM_CLICK, 0, 0);
        }
        return TRUE;
    }
    case VK_RETURN: {
        // A focused push button is the one Enter presses; otherwise the default button.
        HWND focus = ::GetFocus();
        if (focus && isPushButton(focus) && ::IsChild(hDlg, focus)) {
            pressButton(hDlg, focus, ::GetDlgCtrlID(focus));
            return TRUE;
        }
        HWND def = defaultButton(hDlg);
        int id = def ? ::GetDlgCtrlID(def) : IDOK;
        LRESULT r = ::SendMessage(hDlg, DM_GETDEFID, 0, 0);
        if (HIWORD(r) == DC_HASDEFID) id = LOWORD(r);
        pressButton(hDlg, def, id);
        return TRUE;
    }
    case VK_ESCAPE: {
        HWND cancel = ::GetDlgItem(hDlg, IDCANCEL);
        if (cancel && !::IsWindowEnabled(cancel)) return TRUE;
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return TRUE;
    }
    default:
        return FALSE;
    }
}

int GetDlgItemText(HWND hDlg, int id, LPTSTR s, int n) { return ::GetWindowText(::GetDlgItem(hDlg, id), s, n); }
BOOL SetDlgItemText(HWND hDlg, int id, LPCTSTR s) { return ::SetWindowText(::GetDlgItem(hDlg, id), s); }
UINT IsDlgButtonChecked(HWND hDlg, int id)
{
    HWND h = ::GetDlgItem(hDlg, id);
    return h ? UINT(::SendMessage(h, BM_GETCHECK, 0, 0)) : 0;
}
BOOL CheckDlgButton(HWND hDlg, int id, UINT check)
{
    HWND h = ::GetDlgItem(hDlg, id);
    if (!h) return FALSE;
    ::SendMessage(h, BM_SETCHECK, check, 0);
    return TRUE;
}
LRESULT SendDlgItemMessage(HWND hDlg, int id, UINT msg, WPARAM wp, LPARAM lp)
{
    HWND h = ::GetDlgItem(hDlg, id);
    return h ? ::SendMessage(h, msg, wp, lp) : 0;
}

// ---- Data exchange ----
HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate) AfxThrowUserException();
    if (m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (!h) return;
    if (pDX->m_bSaveAndValidate) {
        int n = ::GetWindowTextLength(h);
        std::string buf(size_t(n) + 1, '\0');
        int got = ::GetWindowText(h, buf.data(), n + 1);
        value = CString(buf.data(), got);
    } else {
        ::SetWindowText(h, value);
    }
}

namespace {
template <class T>
void ddxNumber(CDataExchange* pDX, int nIDC, T& value, const char* fmt, const char* prompt, bool isFloat, bool isUnsigned)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (!h) return;
    if (!pDX->m_bSaveAndValidate) {
        char buf[64];
        if (isFloat) std::snprintf(buf, sizeof buf, "%.15g", double(value));
        else std::snprintf(buf, sizeof buf, fmt, value);
        ::SetWindowText(h, buf);
        return;
    }
    char buf[64] = {};
    ::GetWindowText(h, buf, sizeof buf);
    CString s(buf);
    s.Trim();
    char* end = nullptr;
    errno = 0;
    bool ok = !s.IsEmpty();
    if (isFloat) {
        double d = std::strtod(s, &end);
        ok = ok && end && !*end && errno == 0;
        if (ok) value = T(d);
    } else {
        long long v = std::strtoll(s, &end, 10);
        ok = ok && end && !*end && errno == 0 && (!isUnsigned || v >= 0) &&
             v >= (long long)std::numeric_limits<T>::min() && v <= (long long)std::numeric_limits<T>::max();
        if (ok) value = T(v);
    }
    if (!ok) {
        AfxMessageBox(prompt, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ddxNumber(pDX, nIDC, value, "%d", "Please enter an integer.", false, false);
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ddxNumber(pDX, nIDC, value, "%u", "Please enter a positive integer.", false, true);
}
void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ddxNumber(pDX, nIDC, value, "%ld", "Please enter an integer.", false, false);
}
void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    ddxNumber(pDX, nIDC, value, "%g", "Please enter a number.", true, false);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h) return;
    if (pDX->m_bSaveAndValidate) value = int(::SendMessage(h, BM_GETCHECK, 0, 0));
    else ::SendMessage(h, BM_SETCHECK, WPARAM(value < 0 || value > 2 ? 0 : value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h) return;
    HWND hDlg = pDX->m_pDlgWnd->m_hWnd;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND c = h; c; c = ::GetWindow(c, GW_HWNDNEXT), ++index) {
        if (c != h && (::GetWindowLong(c, GWL_STYLE) & WS_GROUP)) break;
        if (!(dlgCode(c) & DLGC_RADIOBUTTON)) continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessage(c, BM_GETCHECK, 0, 0)) value = index;
        } else {
            ::SendMessage(c, BM_SETCHECK, index == value, 0);
        }
    }
    (void)hDlg;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h || !rControl.SubclassWindow(h)) {
        AfxThrowNotSupportedException(); // a template without the control is a program error
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        // The limit is in characters, as the edit control counts them: an accented name is
        // not refused for its bytes.
        if (PvUtf8CharCount(value, size_t(value.GetLength())) > nChars) {
            CString msg;
            msg.Format("Enter no more than %d characters.", nChars);
            AfxMessageBox(msg, MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
        ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, WPARAM(nChars), 0);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CString msg;
    msg.Format("Enter an integer between %d and %d.", minVal, maxVal);
    AfxMessageBox(msg, MB_ICONEXCLAMATION);
    pDX->Fail();
}

// ---- CDialog ----
IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialogMsg)
    ON_WM_CLOSE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_MESSAGE(DM_GETDEFID, OnGetDefID)
    ON_MESSAGE(DM_SETDEFID, OnSetDefID)
    ON_MESSAGE(WM_NEXTDLGCTL, OnNextDlgCtl)
    ON_COMMAND(IDOK, OnOKCmd)
    ON_COMMAND(IDCANCEL, OnCancelCmd)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParent) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent)
{
    m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
    m_nIDHelp = nIDTemplate;
}

CDialog::CDialog(LPCTSTR name, CWnd* pParent) : m_lpszTemplateName(name), m_pParentWnd(pParent)
{
    m_nIDTemplate = PvResourceId(name);
}

CDialog::~CDialog()
{
    if (m_hWnd) DestroyWindow();
}

const PvDialogTemplate* CDialog::FindTemplate() const
{
    if (m_lpDialogTemplate) return m_lpDialogTemplate;
    return PvFindDialogTemplate(m_nIDTemplate ? m_nIDTemplate : PvResourceId(m_lpszTemplateName));
}

BOOL CDialog::CreateFromTemplate(const PvDialogTemplate* t, HWND hParent, BOOL bModal)
{
    if (!t) return FALSE;
    m_lpDialogTemplate = t;
    m_bModal = bModal;
    CSize base = PvDialogBaseUnits(t->lpszFontFace, t->wPointSize);
    CRect rc(0, 0, t->cx * base.cx / 4, t->cy * base.cy / 8);
    DWORD style = t->dwStyle & ~DWORD(WS_VISIBLE);
    bool child = style & WS_CHILD;
    if (!child) style |= WS_POPUP | WS_CLIPSIBLINGS;
    if (!child && (style & (DS_MODALFRAME)) && !(style & WS_CAPTION)) style |= WS_CAPTION;
    DWORD ex = t->dwExStyle | ((style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0) | (child ? 0 : WS_EX_CONTROLPARENT);
    ::AdjustWindowRectEx(&rc, style, FALSE, ex);
    int x = t->x * base.cx / 4, y = t->y * base.cy / 8;
    if (!child && hParent) {
        POINT p {x, y};
        ::ClientToScreen(hParent, &p);
        x = p.x;
        y = p.y;
    }
    static LPCTSTR cls = [] {
        WNDCLASS wc {};
        wc.style = CS_DBLCLKS | CS_SAVEBITS;
        wc.lpfnWndProc = &::DefWindowProc;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
        wc.lpszClassName = PV_DIALOG_CLASS;
        ::RegisterClass(&wc);
        return PV_DIALOG_CLASS;
    }();
    if (!CreateEx(ex, cls, t->lpszCaption ? t->lpszCaption : "", style, x, y, rc.Width(), rc.Height(), hParent, nullptr))
        return FALSE;
    if (t->lpszFontFace || t->wPointSize) {
        CFont* f = new CFont;
        f->CreatePointFont((t->wPointSize ? t->wPointSize : 8) * 10, t->lpszFontFace ? t->lpszFontFace : "MS Shell Dlg");
        m_hFont = reinterpret_cast<HFONT>(f->Detach());
        delete f;
    }
    HFONT font = m_hFont ? m_hFont : defaultFont();
    HWND firstDefault = nullptr;
    for (size_t i = 0; i < t->nCount; ++i) {
        const PvDialogItemTemplate& it = t->pItems[i];
        if (!it.lpszClass) continue;
        int ix = it.x * base.cx / 4, iy = it.y * base.cy / 8, icx = it.cx * base.cx / 4, icy = it.cy * base.cy / 8;
        HWND h = ::CreateWindowEx(it.dwExStyle, it.lpszClass, it.lpszText ? it.lpszText : "", it.dwStyle | WS_CHILD, ix, iy,
                                  icx, icy, m_hWnd, reinterpret_cast<HMENU>(uintptr_t(it.nID)), nullptr, nullptr);
        // A control whose class nobody registered is left out; the rest of the dialog still works.
        if (!h) continue;
        ::SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!firstDefault && isClass(h, "BUTTON") && (DWORD(it.dwStyle) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) firstDefault = h;
    }
    if (firstDefault) m_nDefID = UINT(::GetDlgCtrlID(firstDefault));
    if (!m_hWnd) return FALSE;
    HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    BOOL setFocus = BOOL(SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0));
    if (!m_hWnd) return FALSE;
    if (style & DS_CENTER) CenterWindow();
    if (setFocus && (first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE)) != nullptr) {
        m_hWndFocusSaved = first;
    }
    if (t->dwStyle & WS_VISIBLE) {
        ShowWindow(SW_SHOW);
        if (setFocus && first) setFocusTo(m_hWnd, first);
    }
    return TRUE;
}

BOOL CDialog::Create(UINT nID, CWnd* pParent)
{
    m_nIDTemplate = nID;
    m_lpszTemplateName = MAKEINTRESOURCE(nID);
    return Create(m_lpszTemplateName, pParent);
}

BOOL CDialog::Create(LPCTSTR name, CWnd* pParent)
{
    m_nIDTemplate = PvResourceId(name);
    m_lpszTemplateName = name;
    if (pParent) m_pParentWnd = pParent;
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    return CreateFromTemplate(FindTemplate(), parent ? parent->m_hWnd : nullptr, FALSE);
}

BOOL CDialog::CreateIndirect(const PvDialogTemplate* t, CWnd* pParent)
{
    if (pParent) m_pParentWnd = pParent;
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    return CreateFromTemplate(t, parent ? parent->m_hWnd : nullptr, FALSE);
}

INT_PTR CDialog::DoModal()
{
    const PvDialogTemplate* t = FindTemplate();
    if (!t) return -1;
    // The owner is the top-level window of the parent (or the main window); it is disabled while
    // the dialog runs, and gets the activation back afterwards.
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    HWND hOwner = parent && parent->m_hWnd ? parent->m_hWnd : nullptr;
    while (hOwner && (::GetWindowLong(hOwner, GWL_STYLE) & WS_CHILD)) hOwner = ::GetParent(hOwner);
    // Whatever mode the active window is in (a drag, a tracking loop) ends before the dialog shows.
    if (HWND active = ::GetActiveWindow()) ::SendMessage(active, WM_CANCELMODE, 0, 0);
    // Whatever leaves this function, an exception included, gives the owner its input back.
    struct OwnerGuard {
        CDialog* dlg;
        HWND owner;
        bool enable = false;
        const PvDialogTemplate* t;
        ~OwnerGuard()
        {
            dlg->m_lpDialogTemplate = t;
            if (enable && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
            if (owner && ::IsWindow(owner)) ::SetActiveWindow(owner);
            if (dlg->m_hWnd) dlg->DestroyWindow();
            if (dlg->m_hFont) {
                ::DeleteObject(reinterpret_cast<HGDIOBJ>(dlg->m_hFont));
                dlg->m_hFont = nullptr;
            }
        }
    } guard {this, hOwner, false, t};
    if (hOwner && ::IsWindowEnabled(hOwner)) {
        ::EnableWindow(hOwner, FALSE);
        guard.enable = true;
    }
    PvDialogTemplate modal = *t;
    modal.dwStyle |= WS_VISIBLE;
    if (!(modal.dwStyle & WS_CHILD)) modal.dwStyle |= WS_POPUP;
    INT_PTR result = -1;
    m_nFlags &= ~UINT(WF_CONTINUEMODAL);
    m_nModalResult = -1;
    BOOL created = CreateFromTemplate(&modal, hOwner, TRUE);
    m_lpDialogTemplate = t;
    if (created && m_hWnd) {
        // EndDialog may have run in OnInitDialog already.
        if (m_nModalResult == -1 || (m_nFlags & WF_CONTINUEMODAL)) {
            if (!(m_nFlags & WF_CONTINUEMODAL) && m_nModalResult == -1) m_nFlags |= WF_CONTINUEMODAL;
            if (m_nFlags & WF_CONTINUEMODAL) RunModalLoop(0);
        }
        result = m_nModalResult;
        if (m_hWnd) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return result;
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal) {
        m_nModalResult = nResult;
        m_nFlags &= ~UINT(WF_CONTINUEMODAL);
        EndModalLoop(nResult);
    } else if (m_hWnd) {
        // A modeless dialog is hidden; its owner decides when it goes.
        m_nModalResult = nResult;
        ShowWindow(SW_HIDE);
    }
}

BOOL CWnd::UpdateData(BOOL bSave)
{
    CDataExchange dx(this, bSave);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE; // the user has been told; the dialog stays open
    }
    return TRUE;
}

void CDialog::MapDialogRect(LPRECT r) const { ::MapDialogRect(m_hWnd, r); }

void CDialog::NextDlgCtrl() const { setFocusTo(m_hWnd, ::GetNextDlgTabItem(m_hWnd, ::GetFocus(), FALSE)); }
void CDialog::PrevDlgCtrl() const { setFocusTo(m_hWnd, ::GetNextDlgTabItem(m_hWnd, ::GetFocus(), TRUE)); }
void CDialog::GotoDlgCtrl(CWnd* p)
{
    if (p && p->m_hWnd) setFocusTo(m_hWnd, p->m_hWnd);
}

void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
DWORD CDialog::GetDefID() const { return DWORD(SendMessage(DM_GETDEFID)); }

LRESULT CDialog::OnGetDefID(WPARAM, LPARAM) { return MAKELRESULT(m_nDefID, DC_HASDEFID); }

LRESULT CDialog::OnSetDefID(WPARAM wParam, LPARAM)
{
    // The old default button loses its heavy border, the new one gets it.
    if (HWND old = ::GetDlgItem(m_hWnd, int(m_nDefID)); old && isPushButton(old))
        ::SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    m_nDefID = UINT(wParam);
    if (HWND now = ::GetDlgItem(m_hWnd, int(m_nDefID)); now && isPushButton(now))
        ::SendMessage(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    return TRUE;
}

LRESULT CDialog::OnNextDlgCtl(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam)) setFocusTo(m_hWnd, reinterpret_cast<HWND>(wParam));
    else setFocusTo(m_hWnd, ::GetNextDlgTabItem(m_hWnd, ::GetFocus(), wParam != 0));
    return 0;
}

void CDialog::OnSetFocus(CWnd*)
{
    // The dialog passes the focus to the control that had it, or to the first tab stop; an edit
    // gets it with its text selected, so that typing replaces what the dialog proposed.
    HWND h = m_hWndFocusSaved;
    if (!h || !::IsWindow(h) || !::IsChild(m_hWnd, h)) h = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    setFocusTo(m_hWnd, h);
}

LRESULT CDialog::OnInitDialogMsg(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
void CDialog::OnOKCmd() { OnOK(); }
void CDialog::OnCancelCmd() { OnCancel(); }
void CDialog::OnClose() { OnCancel(); }

void CDialog::OnPaint()
{
    CPaintDC dc(this);
}

BOOL CDialog::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    HBRUSH br = reinterpret_cast<HBRUSH>(SendMessage(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(pDC->m_hDC),
                                                        reinterpret_cast<LPARAM>(m_hWnd)));
    if (br) pDC->FillRect(&rc, CBrush::FromHandle(br));
    else pDC->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hWnd || !pMsg) return FALSE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        // The focus remembered for when the dialog becomes active again.
        if (::IsChild(m_hWnd, pMsg->hwnd)) m_hWndFocusSaved = childOfDialog(m_hWnd, pMsg->hwnd);
        return ::IsDialogMessage(m_hWnd, pMsg);
    }
    return FALSE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    // Commands of a dialog that it does not handle go to its owner, the way a frame does not.
    if (nCode != CN_COMMAND && nCode != int(CN_UPDATE_COMMAND_UI)) return FALSE;
    return FALSE;
}
