#pragma once
// The browser control: a child window that shows HTML pages through litehtml. Dialog templates
// hold it by its class identifier; CHtmlView and CWebBrowser2 drive it. It keeps the history of
// addresses, loads pages from files or from memory (through its document's
// IPersistStreamInit), hands web and mail addresses to the desktop, prints to the platform's
// PDF printer and reports its events to its parent window.

#include "platform/base/CString.h"
#include "platform/sys/com.h"
#include "platform/win/cwnd.h"

#include <memory>
#include <string>
#include <vector>

namespace pvhtml {
class Page;
}

// The web-browser control's class identifier, also the name of its window class.
#define PV_CLSID_WEBBROWSER "{8856F961-340A-11D0-A96B-00C04FD705A2}"
extern const CLSID CLSID_WebBrowser;

// Event dispatch ids of the browser's event interface.
#define DISPID_STATUSTEXTCHANGE 102
#define DISPID_COMMANDSTATECHANGE 105
#define DISPID_TITLECHANGE 113
#define DISPID_BEFORENAVIGATE2 250
#define DISPID_NAVIGATECOMPLETE2 252
#define DISPID_DOCUMENTCOMPLETE 259

// CommandStateChange's commands.
#define CSC_NAVIGATEFORWARD 1
#define CSC_NAVIGATEBACK 2

// ExecWB commands and options.
typedef long OLECMDID;
typedef long OLECMDEXECOPT;
#define OLECMDID_PRINT 6
#define OLECMDID_PRINTPREVIEW 7
#define OLECMDEXECOPT_DODEFAULT 0
#define OLECMDEXECOPT_PROMPTUSER 1
#define OLECMDEXECOPT_DONTPROMPTUSER 2
#define OLECMDEXECOPT_SHOWHELP 3

// One event of a control, sent to its parent as WM_PV_CTLEVENT (wParam: the control's id).
struct PvControlEvent {
    HWND hWndCtl = nullptr;
    long dispid = 0;
    CString url;             // BeforeNavigate2, NavigateComplete2, DocumentComplete, StatusTextChange
    long nCommand = 0;       // CommandStateChange
    BOOL bEnable = FALSE;
    BOOL* pCancel = nullptr; // BeforeNavigate2: set TRUE to cancel
};
#define WM_PV_CTLEVENT (WM_APP + 0x3F10)

// Registers the control's window class (under its class identifier) once.
void PvRegisterBrowserControl();

class PvBrowser {
public:
    // The control of a window of the browser class; null for any other window.
    static PvBrowser* FromHandle(HWND hWnd);

    // Navigation to an address: BeforeNavigate2 first (the parent may cancel), then web and
    // mail addresses go to the desktop's handler, anything else is loaded and enters the
    // history; DocumentComplete follows from the message loop. Safe to call from inside the
    // control's own event handlers.
    void Navigate(const CString& url);
    BOOL GoBack();
    BOOL GoForward();
    BOOL CanGoBack() const { return m_nCurrent > 0; }
    BOOL CanGoForward() const { return m_nCurrent + 1 < int(m_history.size()); }
    // Replaces the shown document with a page from memory; its base is the shown address. No
    // history entry; DocumentComplete follows from the message loop.
    void LoadFromText(const std::string& html);
    // The current document (a new reference the caller releases); null before the first page.
    IDispatch* GetDocument();
    // Print (OLECMDEXECOPT_PROMPTUSER: through the print dialog) and print preview.
    HRESULT ExecWB(OLECMDID nCmd, OLECMDEXECOPT nOption);
    // Lays the shown page out at the printable width of a printer DC, over as many pages as it
    // takes. Answers the number of pages, 0 when nothing was printed.
    int PrintTo(HDC hPrinterDC, const CString& docName);

    CString GetLocationURL() const { return m_strURL; }
    CString GetLocationName() const;
    BOOL GetBusy() const { return FALSE; }
    const pvhtml::Page* GetPage() const { return m_page.get(); }
    int GetScrollPos() const { return m_nScrollY; }
    // The pane's visible text; tests and print checks read it.
    std::string GetText() const;

    HWND m_hWnd = nullptr;
    // Added to by link clicks; drained by the posted navigation message.
    std::vector<CString> m_pendingLinks;

private:
    friend LRESULT PvBrowserWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The automation interface: one member per dispatch id.
    void OnInvoke(PvDispCall& call);
    void OnPaint();
    void OnSize();
    void OnClick(int x, int y);
    void ScrollTo(int y);
    BOOL GoTo(int nIndex);
    // Loads an address into a new page; FALSE (page kept) for web and mail addresses.
    BOOL LoadAddress(const CString& url);
    void SetPage(std::unique_ptr<pvhtml::Page> page, const std::string& source, const CString& url);
    BOOL FireBeforeNavigate(const CString& url);
    void Fire(long dispid, const CString& url);
    void PostDocumentComplete();
    void FireCommandStates(BOOL bWasBack, BOOL bWasForward);
    int Relayout();

    std::unique_ptr<pvhtml::Page> m_page;
    std::string m_source;          // the shown page's HTML, for printing
    std::vector<CString> m_history;
    int m_nCurrent = -1;
    CString m_strURL;
    int m_nScrollY = 0;
    int m_nDocHeight = 0;
    ULONG m_nGeneration = 0;       // bumped by every document change
    // Properties the control keeps for its host without acting on them.
    CString m_strStatusText;
    std::vector<std::pair<CString, COleVariant>> m_properties;
    long m_flags[16] {};           // Visible, StatusBar, ToolBar, ... by dispatch id - 400 or - 550
};
