// CWinApp: the application object, its message loop with idle time, the command line and the
// document templates.

#include "platform/ui/winapp.h"

#include "platform/sys/appprofile.h"
#include "platform/sys/globalmem.h"

#include "platform/base/exceptions.h"
#include "platform/base/stringtable.h"
#include "platform/ui/document.h"
#include "platform/ui/frame.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/msgbox.h"

#include <cstring>
#include <unistd.h>

namespace {
CWinApp* g_pApp = nullptr;

BOOL appPreTranslate(MSG* pMsg)
{
    CWinApp* app = AfxGetApp();
    return app ? app->PreTranslateMessage(pMsg) : CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

int reportException(LPCTSTR text, UINT type) { return AfxMessageBox(text, type); }

std::string exeName()
{
    char path[MAX_PATH + 1] = {};
    ssize_t n = readlink("/proc/self/exe", path, MAX_PATH);
    if (n <= 0) return "app";
    std::string s(path, size_t(n));
    size_t slash = s.rfind('/');
    return slash == std::string::npos ? s : s.substr(slash + 1);
}
} // namespace

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

LPCTSTR AfxGetAppName()
{
    CWinApp* app = AfxGetApp();
    if (!app) return "";
    if (!app->m_pszAppName) {
        // The name comes from the string table, which start-up may fill only in InitInstance:
        // keep asking until it is there, and never keep the executable's name in its place.
        CString s;
        if (!AfxLoadStringResource(AFX_IDS_APP_TITLE, s) || s.IsEmpty()) {
            static const std::string fallback = exeName();
            return fallback.c_str();
        }
        app->m_strAppNameStore = s.GetString();
        app->m_pszAppName = app->m_strAppNameStore.c_str();
    }
    return app->m_pszAppName;
}

// ---- CCommandLineInfo ----
void CCommandLineInfo::ParseParam(LPCTSTR p, BOOL bFlag, BOOL)
{
    if (!p) return;
    if (bFlag) {
        CString f(p);
        if (f.CompareNoCase("pt") == 0) m_nShellCommand = FilePrintTo;
        else if (f.CompareNoCase("p") == 0) m_nShellCommand = FilePrint;
        else if (f.CompareNoCase("dde") == 0) m_nShellCommand = FileDDE;
        else if (f.CompareNoCase("Unregister") == 0 || f.CompareNoCase("Unregserver") == 0) m_nShellCommand = AppUnregister;
        else if (f.CompareNoCase("Embedding") == 0) m_bRunEmbedded = TRUE;
        else if (f.CompareNoCase("Automation") == 0) m_bRunAutomated = TRUE;
        else return;
        // A program started for printing, DDE or by another program shows no splash window.
        m_bShowSplash = FALSE;
        return;
    }
    if (m_strFileName.IsEmpty() && (m_nShellCommand == FileNew || m_nShellCommand == FilePrint || m_nShellCommand == FilePrintTo)) {
        m_strFileName = p;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    } else if (m_nShellCommand == FilePrintTo) {
        if (m_strPrinterName.IsEmpty()) m_strPrinterName = p;
        else if (m_strDriverName.IsEmpty()) m_strDriverName = p;
        else if (m_strPortName.IsEmpty()) m_strPortName = p;
    }
}

// ---- CWinApp ----
IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (lpszAppName) {
        m_strAppNameStore = lpszAppName;
        m_pszAppName = m_strAppNameStore.c_str();
    }
    g_pApp = this;
    PvSetPreTranslateHook(&appPreTranslate);
    AfxSetExceptionReporter(&reportException);
    PvInstallUiMessageBox();
    PvSetMessageBoxCaptionSource(&AfxGetAppName);
}

CWinApp::~CWinApp()
{
    m_templates.clear();
    if (m_hDevMode) GlobalFree(m_hDevMode);
    if (m_hDevNames) GlobalFree(m_hDevNames);
    if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::PvSetArgs(int argc, const char* const* argv)
{
    m_args.clear();
    for (int i = 0; i < argc && argv; ++i) m_args.emplace_back(argv[i] ? argv[i] : "");
    m_strCmdLineStore.clear();
    for (size_t i = 1; i < m_args.size(); ++i) {
        if (i > 1) m_strCmdLineStore += ' ';
        m_strCmdLineStore += m_args[i];
    }
    m_lpCmdLine = m_strCmdLineStore.data();
    m_strExeNameStore = exeName();
    if (!m_pszExeName) m_pszExeName = m_strExeNameStore.c_str();
}

int CWinApp::ExitInstance() { return 0; }

BOOL CWinApp::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that do not move and the blink timer of the caret would keep the idle loop busy.
    static POINT last {-1, -1};
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->pt.x == last.x && pMsg->pt.y == last.y) return FALSE;
        last = pMsg->pt;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinApp::PumpMessage()
{
    MSG m;
    if (!::GetMessage(&m, nullptr, 0, 0)) return FALSE;
    if (!PreTranslateMessage(&m)) {
        ::TranslateMessage(&m);
        ::DispatchMessage(&m);
    }
    return TRUE;
}

int CWinApp::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG m;
    for (;;) {
        while (bIdle && !::PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE))
            if (!OnIdle(lIdleCount++)) bIdle = FALSE;
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(&m)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        CWnd* main = m_pMainWnd;
        if (main && main->m_hWnd && main->IsWindowVisible() && !main->IsIconic()) {
            if (main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) static_cast<CFrameWnd*>(main)->OnIdleUpdateCmdUI();
            else main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        }
    }
    return lCount < 1;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg) return FALSE;
    CWnd* main = m_pMainWnd;
    if (CWnd::WalkPreTranslateTree(main ? main->m_hWnd : nullptr, pMsg)) return TRUE;
    // Keys typed in another top-level window (a modeless dialog) still reach the frame's accelerators.
    if (main && main->m_hWnd && pMsg->hwnd && ::IsWindow(pMsg->hwnd)) {
        HWND top = pMsg->hwnd;
        while (top && (::GetWindowLong(top, GWL_STYLE) & WS_CHILD)) top = ::GetParent(top);
        if (top != main->m_hWnd) return main->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

void CWinApp::DoWaitCursor(int nCode)
{
    if (nCode > 0) BeginWaitCursor();
    else if (nCode < 0) EndWaitCursor();
    else RestoreWaitCursor();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    size_t n = m_args.size();
    for (size_t i = 1; i < n; ++i) {
        const char* p = m_args[i].c_str();
        BOOL flag = (p[0] == '-' || p[0] == '/') && p[1] != 0;
        if (flag) ++p;
        info.ParseParam(p, flag, i + 1 == n);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        if (!OpenDocumentFile(info.m_strFileName)) return FALSE;
        if (m_pMainWnd) m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return FALSE; // printing from the command line ends the program
    }
    case CCommandLineInfo::AppUnregister:
        return FALSE;
    default:
        return TRUE;
    }
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate) m_templates.emplace_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(uintptr_t(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    size_t i = reinterpret_cast<uintptr_t>(pos);
    if (i == 0 || i > m_templates.size()) {
        pos = nullptr;
        return nullptr;
    }
    pos = i < m_templates.size() ? reinterpret_cast<POSITION>(uintptr_t(i + 1)) : nullptr;
    return m_templates[i - 1].get();
}

void CWinApp::LoadStdProfileSettings(UINT) {}

void CWinApp::SetRegistryKey(LPCTSTR key)
{
    m_strRegistryKeyStore = key ? key : "";
    m_pszRegistryKey = m_strRegistryKeyStore.c_str();
}

HCURSOR CWinApp::LoadCursor(UINT nID) const { return ::LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(nID)); }
HCURSOR CWinApp::LoadStandardCursor(LPCTSTR name) const { return ::LoadCursor(nullptr, name); }
HICON CWinApp::LoadIcon(UINT nID) const { return ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(nID)); }
HICON CWinApp::LoadStandardIcon(LPCTSTR name) const { return ::LoadIcon(nullptr, name); }

BOOL CWinApp::SaveAllModified()
{
    for (auto& t : m_templates)
        if (!t->SaveAllModified()) return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (auto& t : m_templates) t->CloseAllDocuments(bEndSession);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR path)
{
    if (m_templates.empty()) return nullptr;
    return m_templates.front()->OpenDocumentFile(path);
}

void CWinApp::OnFileNew()
{
    if (m_templates.empty()) return;
    m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog pd(TRUE);
    pd.m_pd.hDevNames = m_hDevNames;
    pd.m_pd.hDevMode = m_hDevMode;
    m_hDevNames = m_hDevMode = nullptr;
    pd.DoModal();
    // The dialog's blocks (new ones on OK, ours again on Cancel) are the application's now.
    m_hDevNames = pd.m_pd.hDevNames;
    m_hDevMode = pd.m_pd.hDevMode;
    pd.m_pd.hDevNames = pd.m_pd.hDevMode = nullptr;
}

namespace {
// The application's profile as its names and registry key stand now.
PvAppProfile ProfileOf(const CWinApp& app)
{
    PvAppProfile p;
    p.SetRegistryKey(app.m_pszRegistryKey);
    p.SetApplicationName(app.m_pszAppName ? app.m_pszAppName : AfxGetAppName());
    std::string file = app.m_pszProfileName ? app.m_pszProfileName : "";
    if (file.empty())
        file = std::string(app.m_pszExeName ? app.m_pszExeName : (app.m_pszAppName ? app.m_pszAppName : "app")) + ".ini";
    p.SetProfileFile(file.c_str());
    return p;
}
} // namespace

CString CWinApp::GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR def)
{
    return CString(ProfileOf(*this).GetProfileString(section, entry, def).c_str());
}

UINT CWinApp::GetProfileInt(LPCTSTR section, LPCTSTR entry, int def) { return ProfileOf(*this).GetProfileInt(section, entry, def); }

BOOL CWinApp::WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value)
{
    return ProfileOf(*this).WriteProfileString(section, entry, value);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value) { return ProfileOf(*this).WriteProfileInt(section, entry, value); }

CString CWinApp::PvProfileFile() const { return CString(ProfileOf(*this).ProfileFile().c_str()); }

HKEY CWinApp::GetAppRegistryKey() { return ProfileOf(*this).GetAppRegistryKey(); }

HKEY CWinApp::GetSectionKey(LPCTSTR section) { return ProfileOf(*this).GetSectionKey(section); }

// ---- Entry ----
int AfxWinMain(int argc, char** argv)
{
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->PvSetArgs(argc, argv);
    PvSetMessageBoxCaptionSource(&AfxGetAppName);
    PvSetPreTranslateHook(&appPreTranslate);
    AfxSetExceptionReporter(&reportException);
    int code = 0;
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        code = app->ExitInstance();
        return code;
    }
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) PvSetMainWindow(app->m_pMainWnd->m_hWnd);
    return app->Run();
}

int PvUiPumpMessages()
{
    int n = 0;
    MSG m;
    CWinApp* app = AfxGetApp();
    while (::PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            ::PostQuitMessage(int(m.wParam));
            break;
        }
        if (!appPreTranslate(&m)) {
            ::TranslateMessage(&m);
            ::DispatchMessage(&m);
        }
        ++n;
    }
    if (app) app->OnIdle(0);
    return n;
}

// ---- CWaitCursor ----
CWaitCursor::CWaitCursor() { if (CWinApp* a = AfxGetApp()) a->DoWaitCursor(1); }
CWaitCursor::~CWaitCursor() { if (CWinApp* a = AfxGetApp()) a->DoWaitCursor(-1); }
void CWaitCursor::Restore() { if (CWinApp* a = AfxGetApp()) a->DoWaitCursor(0); }
