// The browser control's window, history, documents, events and printing.

#include "platform/html/browser.h"

#include "platform/base/textcase.h"
#include "platform/gdi/dc.h"
#include "platform/html/htmlpage.h"
#include "platform/sys/fileio.h"
#include "platform/sys/shell.h"
#include "platform/ui/commdlg.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

const CLSID CLSID_WebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

namespace {

const char kProp[] = "PvBrowser";
const UINT PVBM_NAVIGATE = WM_USER + 0x100;     // a clicked link, from the message loop
const UINT PVBM_DOCCOMPLETE = WM_USER + 0x101;  // a page from memory is in (wParam: generation)
constexpr size_t kMaxPage = 64u << 20;          // larger files are not pages
constexpr size_t kMaxHistory = 100;             // oldest addresses drop out beyond this
constexpr int kLineStep = 40;                   // pixels per scroll-bar arrow click
constexpr int kWheelStep = 48;                  // pixels per wheel notch

const char kCannotDisplay[] =
    "<html><head><title>Cannot find server</title></head><body><font face=Arial>"
    "<h2>The page cannot be displayed</h2><p>The page you are looking for is currently unavailable.</p>"
    "</font></body></html>";

// The document the control shows, as its host sees it: a page loads into it from a stream.
class BrowserDocument final : public PvComObject<IDispatch, IPersistStreamInit> {
public:
    explicit BrowserDocument(HWND hWnd) : m_hWnd(hWnd) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDocument2)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == IID_IPersistStreamInit)
            *ppv = static_cast<IPersistStreamInit*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    HRESULT InitNew() override { return PvBrowser::FromHandle(m_hWnd) ? S_OK : E_UNEXPECTED; }
    HRESULT Load(IStream* pStm) override
    {
        PvBrowser* browser = PvBrowser::FromHandle(m_hWnd);
        if (!browser)
            return E_UNEXPECTED;
        if (!pStm)
            return E_POINTER;
        std::string text;
        char buf[16384];
        for (;;) {
            ULONG got = 0;
            const HRESULT hr = pStm->Read(buf, sizeof buf, &got);
            if (FAILED(hr))
                return hr;
            text.append(buf, got);
            if (got < sizeof buf || text.size() > kMaxPage)
                break;
        }
        // The block holds the page and its terminating zero.
        const size_t nul = text.find('\0');
        if (nul != std::string::npos)
            text.resize(nul);
        browser->LoadFromText(text);
        return S_OK;
    }

private:
    ~BrowserDocument() override = default;
    HWND m_hWnd;
};

CString withoutFragment(const CString& url)
{
    const int hash = url.Find('#');
    return hash >= 0 ? url.Left(hash) : url;
}

BOOL webOrMail(const CString& url)
{
    const std::string scheme = pvhtml::SchemeOf(std::string(url));
    return scheme == "http" || scheme == "https" || scheme == "mailto" || scheme == "ftp";
}

} // namespace

LRESULT PvBrowserWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* browser = new PvBrowser;
        browser->m_hWnd = hWnd;
        SetProp(hWnd, kProp, reinterpret_cast<HANDLE>(browser));
        return DefWindowProc(hWnd, message, wParam, lParam);
    }
    PvBrowser* browser = PvBrowser::FromHandle(hWnd);
    if (message == WM_NCDESTROY) {
        RemoveProp(hWnd, kProp);
        delete browser;
        return DefWindowProc(hWnd, message, wParam, lParam);
    }
    if (!browser)
        return DefWindowProc(hWnd, message, wParam, lParam);
    return browser->OnMessage(message, wParam, lParam);
}

void PvRegisterBrowserControl()
{
    WNDCLASS wc {};
    if (GetClassInfo(nullptr, PV_CLSID_WEBBROWSER, &wc))
        return;
    wc = WNDCLASS {};
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = PvBrowserWndProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = PV_CLSID_WEBBROWSER;
    RegisterClass(&wc);
}

PvBrowser* PvBrowser::FromHandle(HWND hWnd)
{
    if (!hWnd || !IsWindow(hWnd))
        return nullptr;
    return reinterpret_cast<PvBrowser*>(GetProp(hWnd, kProp));
}

LRESULT PvBrowser::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: OnSize(); return 0;
    case WM_LBUTTONUP: OnClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONDOWN: SetFocus(m_hWnd); return 0;
    case WM_VSCROLL: {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollTo(m_nScrollY - kLineStep); break;
        case SB_LINEDOWN: ScrollTo(m_nScrollY + kLineStep); break;
        case SB_PAGEUP: ScrollTo(m_nScrollY - rc.bottom); break;
        case SB_PAGEDOWN: ScrollTo(m_nScrollY + rc.bottom); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(m_nDocHeight); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(int(HIWORD(wParam))); break;
        default: break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL: ScrollTo(m_nScrollY - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kWheelStep); return 0;
    case WM_KEYDOWN: {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        switch (wParam) {
        case VK_UP: ScrollTo(m_nScrollY - kLineStep); return 0;
        case VK_DOWN: ScrollTo(m_nScrollY + kLineStep); return 0;
        case VK_PRIOR: ScrollTo(m_nScrollY - rc.bottom); return 0;
        case VK_NEXT: case VK_SPACE: ScrollTo(m_nScrollY + rc.bottom); return 0;
        case VK_HOME: ScrollTo(0); return 0;
        case VK_END: ScrollTo(m_nDocHeight); return 0;
        default: break;
        }
        break;
    }
    case WM_PV_INVOKE:
        if (auto* call = reinterpret_cast<PvDispCall*>(lParam))
            OnInvoke(*call);
        return 0;
    case PVBM_NAVIGATE:
        if (!m_pendingLinks.empty()) {
            const CString url = m_pendingLinks.front();
            m_pendingLinks.erase(m_pendingLinks.begin());
            Navigate(url);
        }
        return 0;
    case PVBM_DOCCOMPLETE:
        if (ULONG(wParam) == m_nGeneration)
            Fire(DISPID_DOCUMENTCOMPLETE, m_strURL);
        return 0;
    default: break;
    }
    return DefWindowProc(m_hWnd, message, wParam, lParam);
}

void PvBrowser::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWnd, &ps);
    if (CDC* dc = CDC::FromHandle(hdc)) {
        dc->FillSolidRect(&ps.rcPaint, RGB(255, 255, 255));
        if (m_page)
            m_page->Draw(dc, 0, -m_nScrollY, CRect(ps.rcPaint));
    }
    EndPaint(m_hWnd, &ps);
}

int PvBrowser::Relayout()
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    m_nDocHeight = m_page ? m_page->Layout(rc.right, rc.bottom) : 0;
    SCROLLINFO si {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(0, m_nDocHeight - 1);
    si.nPage = UINT(std::max<LONG>(0, rc.bottom));
    m_nScrollY = std::clamp(m_nScrollY, 0, std::max(0, m_nDocHeight - int(rc.bottom)));
    si.nPos = m_nScrollY;
    SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return m_nDocHeight;
}

void PvBrowser::OnSize() { Relayout(); }

void PvBrowser::ScrollTo(int y)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    y = std::clamp(y, 0, std::max(0, m_nDocHeight - int(rc.bottom)));
    if (y == m_nScrollY)
        return;
    m_nScrollY = y;
    SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void PvBrowser::OnClick(int x, int y)
{
    if (!m_page)
        return;
    const std::string link = m_page->LinkAt(x, y + m_nScrollY);
    if (link.empty())
        return;
    // The click's page may be replaced by the navigation: it runs from the message loop.
    m_pendingLinks.push_back(CString(link.c_str()));
    PostMessage(m_hWnd, PVBM_NAVIGATE, 0, 0);
}

void PvBrowser::Fire(long dispid, const CString& url)
{
    PvControlEvent e;
    e.hWndCtl = m_hWnd;
    e.dispid = dispid;
    e.url = url;
    SendMessage(GetParent(m_hWnd), WM_PV_CTLEVENT, WPARAM(GetDlgCtrlID(m_hWnd)), reinterpret_cast<LPARAM>(&e));
}

BOOL PvBrowser::FireBeforeNavigate(const CString& url)
{
    BOOL cancel = FALSE;
    PvControlEvent e;
    e.hWndCtl = m_hWnd;
    e.dispid = DISPID_BEFORENAVIGATE2;
    e.url = url;
    e.pCancel = &cancel;
    SendMessage(GetParent(m_hWnd), WM_PV_CTLEVENT, WPARAM(GetDlgCtrlID(m_hWnd)), reinterpret_cast<LPARAM>(&e));
    return !cancel;
}

void PvBrowser::FireCommandStates(BOOL bWasBack, BOOL bWasForward)
{
    const HWND hWnd = m_hWnd;
    const BOOL back = CanGoBack(), forward = CanGoForward();
    auto fire = [&](long cmd, BOOL enable) {
        PvControlEvent e;
        e.hWndCtl = hWnd;
        e.dispid = DISPID_COMMANDSTATECHANGE;
        e.nCommand = cmd;
        e.bEnable = enable;
        SendMessage(GetParent(hWnd), WM_PV_CTLEVENT, WPARAM(GetDlgCtrlID(hWnd)), reinterpret_cast<LPARAM>(&e));
    };
    if (forward != bWasForward)
        fire(CSC_NAVIGATEFORWARD, forward);
    if (FromHandle(hWnd) != this)
        return;
    if (back != bWasBack)
        fire(CSC_NAVIGATEBACK, back);
}

BOOL PvBrowser::LoadAddress(const CString& url)
{
    if (webOrMail(url)) {
        ShellExecute(m_hWnd, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
        return FALSE;
    }
    std::string source;
    const std::string address(url);
    if (PvCompareNoCase(address, "about:blank") != 0) {
        const std::string path = pvhtml::FilePathOf(address);
        if (path.empty() || pvsys::readWholeFile(pvsys::findPathNoCase(path), source, kMaxPage) != 0)
            source = kCannotDisplay;
    }
    auto page = std::make_unique<pvhtml::Page>();
    page->Load(source, address);
    SetPage(std::move(page), source, url);
    return TRUE;
}

void PvBrowser::SetPage(std::unique_ptr<pvhtml::Page> page, const std::string& source, const CString& url)
{
    m_page = std::move(page);
    m_source = source;
    m_strURL = url;
    m_nScrollY = 0;
    ++m_nGeneration;
    Relayout();
}

void PvBrowser::Navigate(const CString& url)
{
    const HWND hWnd = m_hWnd;
    if (!FireBeforeNavigate(url) || FromHandle(hWnd) != this)
        return;
    // A place in the shown page: the page stays.
    if (m_page && url.Find('#') >= 0 && withoutFragment(url) == withoutFragment(m_strURL))
        return;
    const BOOL wasBack = CanGoBack(), wasForward = CanGoForward();
    if (!LoadAddress(url))
        return;
    if (m_nCurrent >= 0)
        m_history.resize(size_t(m_nCurrent) + 1);
    else
        m_history.clear();
    m_history.push_back(url);
    if (m_history.size() > kMaxHistory)
        m_history.erase(m_history.begin());
    m_nCurrent = int(m_history.size()) - 1;
    FireCommandStates(wasBack, wasForward);
    if (FromHandle(hWnd) != this)
        return;
    Fire(DISPID_NAVIGATECOMPLETE2, url);
    if (FromHandle(hWnd) == this)
        PostDocumentComplete();
}

BOOL PvBrowser::GoTo(int nIndex)
{
    if (nIndex < 0 || nIndex >= int(m_history.size()))
        return FALSE;
    const HWND hWnd = m_hWnd;
    const CString url = m_history[size_t(nIndex)];
    if (!FireBeforeNavigate(url) || FromHandle(hWnd) != this)
        return FALSE;
    const BOOL wasBack = CanGoBack(), wasForward = CanGoForward();
    if (!LoadAddress(url))
        return FALSE;
    m_nCurrent = nIndex;
    FireCommandStates(wasBack, wasForward);
    if (FromHandle(hWnd) != this)
        return TRUE;
    Fire(DISPID_NAVIGATECOMPLETE2, url);
    if (FromHandle(hWnd) == this)
        PostDocumentComplete();
    return TRUE;
}

BOOL PvBrowser::GoBack() { return GoTo(m_nCurrent - 1); }
BOOL PvBrowser::GoForward() { return GoTo(m_nCurrent + 1); }

void PvBrowser::LoadFromText(const std::string& html)
{
    auto page = std::make_unique<pvhtml::Page>();
    page->Load(html, std::string(m_strURL));
    SetPage(std::move(page), html, m_strURL);
    PostDocumentComplete();
}

// A document completes from the message loop, after the call that started it has returned, and
// only while it is still the shown one.
void PvBrowser::PostDocumentComplete() { PostMessage(m_hWnd, PVBM_DOCCOMPLETE, WPARAM(m_nGeneration), 0); }

IDispatch* PvBrowser::GetDocument()
{
    if (!m_page)
        return nullptr;
    return new BrowserDocument(m_hWnd);
}

CString PvBrowser::GetLocationName() const
{
    if (!m_page)
        return CString();
    const CString title = m_page->Title();
    return title.IsEmpty() ? m_strURL : title;
}

std::string PvBrowser::GetText() const { return m_page ? m_page->Text() : std::string(); }

int PvBrowser::PrintTo(HDC hPrinterDC, const CString& docName)
{
    if (!hPrinterDC || !m_page)
        return 0;
    CDC dc;
    dc.Attach(hPrinterDC);
    const int dpiX = std::max(1, dc.GetDeviceCaps(LOGPIXELSX)), dpiY = std::max(1, dc.GetDeviceCaps(LOGPIXELSY));
    // The page is laid out in screen pixels (96 to the inch) and scaled onto the paper.
    const int width = dc.GetDeviceCaps(HORZRES) * 96 / dpiX, height = dc.GetDeviceCaps(VERTRES) * 96 / dpiY;
    int printed = 0;
    if (width > 0 && height > 0) {
        pvhtml::Page page;
        page.Load(m_source, std::string(m_strURL));
        const int total = page.Layout(width, height);
        const int pages = std::max(1, (total + height - 1) / height);
        if (dc.StartDoc(docName) > 0) {
            for (int i = 0; i < pages; ++i) {
                dc.StartPage();
                const int saved = dc.SaveDC();
                dc.SetMapMode(MM_ANISOTROPIC);
                dc.SetWindowExt(96, 96);
                dc.SetViewportExt(dpiX, dpiY);
                dc.IntersectClipRect(0, 0, width, height);
                page.Draw(&dc, 0, -i * height, CRect(0, 0, width, height));
                dc.RestoreDC(saved);
                dc.EndPage();
                ++printed;
            }
            dc.EndDoc();
        }
    }
    dc.Detach();
    return printed;
}

HRESULT PvBrowser::ExecWB(OLECMDID nCmd, OLECMDEXECOPT nOption)
{
    if (!m_page)
        return E_UNEXPECTED;
    const CString docName = GetLocationName();
    if (nCmd == OLECMDID_PRINT) {
        CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                    PD_NOSELECTION | PD_RETURNDC,
                         CWnd::FromHandle(m_hWnd));
        if (nOption == OLECMDEXECOPT_PROMPTUSER) {
            if (dlg.DoModal() != IDOK)
                return S_OK;  // the user cancelled
        } else {
            dlg.GetDefaults();
        }
        HDC hdc = dlg.GetPrinterDC();
        const int pages = PrintTo(hdc, docName);
        if (hdc)
            DeleteDC(hdc);
        return pages > 0 ? S_OK : E_FAIL;
    }
    if (nCmd == OLECMDID_PRINTPREVIEW) {
        // The same pages in a temporary PDF, opened with the desktop's viewer.
        const char* tmp = std::getenv("TMPDIR");
        std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/pvpreview-XXXXXX.pdf";
        const int fd = mkstemps(path.data(), 4);
        if (fd < 0)
            return E_FAIL;
        close(fd);
        PvPrinterSettings s = CPrintDialog::PvSettings();
        s.outputPath = path.c_str();
        HDC hdc = PvCreatePdfPrinterDC(s);
        const int pages = PrintTo(hdc, docName);
        if (hdc)
            DeleteDC(hdc);
        if (pages == 0)
            return E_FAIL;
        ShellExecute(m_hWnd, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return S_OK;
    }
    return E_NOTIMPL;
}

// ---- Automation ----

namespace {

// Dispatch ids of the automation interface's members.
enum : DISPID {
    kGoBack = 100, kGoForward = 101, kGoHome = 102, kGoSearch = 103, kNavigate = 104, kRefresh2 = 105, kStop = 106,
    kApplication = 200, kParent = 201, kContainer = 202, kDocument = 203, kTopLevelContainer = 204, kType = 205,
    kLeft = 206, kTop = 207, kWidth = 208, kHeight = 209, kLocationName = 210, kLocationURL = 211, kBusy = 212,
    kQuit = 300, kClientToWindow = 301, kPutProperty = 302, kGetProperty = 303,
    kName = 0, kHwnd = -515, kFullName = 400, kPath = 401, kVisible = 402, kStatusBar = 403, kStatusText = 404,
    kToolBar = 405, kMenuBar = 406, kFullScreen = 407,
    kNavigate2 = 500, kQueryStatusWB = 501, kExecWB = 502, kShowBrowserBar = 503, kReadyState = -525,
    kOffline = 550, kSilent = 551, kRegisterAsBrowser = 552, kRegisterAsDropTarget = 553, kTheaterMode = 554,
    kAddressBar = 555, kResizable = 556, kRefresh = -550,
};
constexpr long kReadyStateComplete = 4;
constexpr long kOleCmdfSupportedEnabled = 3;  // OLECMDF_SUPPORTED | OLECMDF_ENABLED

CString argText(const PvDispArg& a)
{
    if (a.pszVal)
        return a.pszVal;
    const VARIANT* v = a.pvarRef ? a.pvarRef : a.pvarVal;
    if (v && v->vt == VT_BSTR && v->bstrVal)
        return v->bstrVal;
    return CString();
}

} // namespace

void PvBrowser::OnInvoke(PvDispCall& call)
{
    const bool get = (call.wFlags & DISPATCH_PROPERTYGET) != 0;
    auto needArgs = [&](int n) {
        if (call.nArgs < n) {
            call.hr = DISP_E_BADPARAMCOUNT;
            return false;
        }
        return true;
    };
    auto done = [&] { call.hr = S_OK; };
    RECT rc {};
    GetWindowRect(m_hWnd, &rc);
    if (HWND parent = GetParent(m_hWnd)) {
        POINT p {rc.left, rc.top};
        ScreenToClient(parent, &p);
        rc = RECT {p.x, p.y, p.x + (rc.right - rc.left), p.y + (rc.bottom - rc.top)};
    }
    // Position and size go to the window itself.
    auto geometry = [&](LONG RECT::*edge, bool size) {
        if (get) {
            call.lResult = size ? (edge == &RECT::right ? rc.right - rc.left : rc.bottom - rc.top) : rc.*edge;
            return done();
        }
        if (!needArgs(1))
            return;
        const LONG v = LONG(call.args[0].lVal);
        RECT r = rc;
        if (size)
            r.*edge = (edge == &RECT::right ? r.left : r.top) + v;
        else if (edge == &RECT::left)
            r = RECT {v, rc.top, v + (rc.right - rc.left), rc.bottom};
        else
            r = RECT {rc.left, v, rc.right, v + (rc.bottom - rc.top)};
        MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        done();
    };
    auto flag = [&](int slot) {
        if (get)
            call.lResult = m_flags[slot];
        else if (needArgs(1))
            m_flags[slot] = call.args[0].lVal;
        else
            return;
        done();
    };
    switch (call.dispid) {
    case kGoBack: GoBack(); return done();
    case kGoForward: GoForward(); return done();
    case kGoHome:
    case kGoSearch:
    case kStop:
    case kQuit:
    case kShowBrowserBar:
    case kClientToWindow: return done();
    case kRefresh:
    case kRefresh2:
        if (!m_strURL.IsEmpty())
            LoadAddress(m_strURL);
        return done();
    case kNavigate:
    case kNavigate2:
        if (!needArgs(1))
            return;
        done();
        Navigate(argText(call.args[0]));
        return;
    case kApplication:
    case kParent:
    case kContainer:
        call.pdispResult = nullptr;
        return done();
    case kDocument: call.pdispResult = GetDocument(); return done();
    case kTopLevelContainer: call.lResult = FALSE; return done();
    case kType: call.strResult = m_page ? "HTML Document" : ""; return done();
    case kLeft: return geometry(&RECT::left, false);
    case kTop: return geometry(&RECT::top, false);
    case kWidth: return geometry(&RECT::right, true);
    case kHeight: return geometry(&RECT::bottom, true);
    case kLocationName: call.strResult = GetLocationName(); return done();
    case kLocationURL: call.strResult = m_strURL; return done();
    case kBusy: call.lResult = FALSE; return done();
    case kReadyState: call.lResult = kReadyStateComplete; return done();
    case kName: call.strResult = "Web Browser Control"; return done();
    case kFullName:
    case kPath: call.strResult = ""; return done();
    case kHwnd: call.lResult = long(reinterpret_cast<intptr_t>(m_hWnd)); return done();
    case kStatusText:
        if (get)
            call.strResult = m_strStatusText;
        else if (needArgs(1))
            m_strStatusText = argText(call.args[0]);
        else
            return;
        return done();
    case kVisible: case kStatusBar: case kToolBar: case kMenuBar: case kFullScreen:
        return flag(int(call.dispid - kVisible));
    case kOffline: case kSilent: case kRegisterAsBrowser: case kRegisterAsDropTarget: case kTheaterMode:
    case kAddressBar: case kResizable:
        return flag(int(call.dispid - kOffline) + 6);
    case kPutProperty:
    case kGetProperty: {
        if (!needArgs(call.dispid == kPutProperty ? 2 : 1))
            return;
        const CString name = argText(call.args[0]);
        auto it = std::find_if(m_properties.begin(), m_properties.end(), [&](auto& p) { return p.first == name; });
        if (call.dispid == kGetProperty) {
            call.varResult = it != m_properties.end() ? it->second : COleVariant();
        } else {
            const VARIANT* v = call.args[1].pvarVal ? call.args[1].pvarVal : call.args[1].pvarRef;
            COleVariant value = v ? COleVariant(*v) : COleVariant();
            if (it != m_properties.end())
                it->second = value;
            else
                m_properties.emplace_back(name, value);
        }
        return done();
    }
    case kQueryStatusWB:
        if (!needArgs(1))
            return;
        call.lResult = call.args[0].lVal == OLECMDID_PRINT || call.args[0].lVal == OLECMDID_PRINTPREVIEW
                           ? kOleCmdfSupportedEnabled : 0;
        return done();
    case kExecWB:
        if (!needArgs(2))
            return;
        done();
        ExecWB(call.args[0].lVal, call.args[1].lVal);
        return;
    default: return;  // DISP_E_MEMBERNOTFOUND
    }
}
