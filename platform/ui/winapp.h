#pragma once
// The application object: start-up, the message loop with idle processing, the command line,
// document templates and the process-wide accessors.

#include <memory>
#include <string>
#include <vector>

#include "platform/base/CString.h"
#include "platform/base/collections.h"
#include "platform/ui/afxres.h"
#include "platform/win/cwnd.h"

class CDocTemplate;
class CDocument;

class CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };
    CCommandLineInfo() = default;
    ~CCommandLineInfo() override = default;

    // One argument: bFlag when it began with '/' or '-' (the marker is already removed).
    virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Name (string AFX_IDS_APP_TITLE unless given), main window and show state.
    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszExeName = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    LPCTSTR m_pszRegistryKey = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPTSTR m_lpCmdLine = nullptr;   // the arguments after the program name, joined by blanks
    HINSTANCE m_hInstance = nullptr;

    // ---- Overridables ----
    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual void DoWaitCursor(int nCode);  // 1 begin, -1 end, 0 restore
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);

    // ---- Services ----
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    void AddDocTemplate(CDocTemplate* pTemplate);   // the application owns it from now on
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    void LoadStdProfileSettings(UINT nMaxMRU = 4);  // the list of recent files is kept nowhere
    BOOL Enable3dControlsStatic() { return TRUE; }
    BOOL Enable3dControls() { return TRUE; }
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
    CWnd* GetMainWnd() { return m_pMainWnd; }
    // Command-line arguments as given to AfxWinMain (argv[0] is the program).
    const std::vector<std::string>& GetArgs() const { return m_args; }
    void PvSetArgs(int argc, const char* const* argv);

    // ---- Profile ----
    // With a registry key set, HKEY_CURRENT_USER\Software\<key>\<application>; else the
    // INI file m_pszProfileName (the program's name and ".ini" when none is set).
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    // A null value deletes the entry, a null entry the whole section.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    // Opened keys the caller closes; null without a registry key.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    // Where the profile lives: the registry when a key is set, else this INI file.
    BOOL PvUsesRegistry() const { return m_pszRegistryKey && *m_pszRegistryKey; }
    CString PvProfileFile() const;

    // The printer set-up of the application (the framework's DEVNAMES and DEVMODE blocks, owned
    // by the application and freed with it).
    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;

    // ---- Command handlers ----
    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    afx_msg void OnAppExit();
    afx_msg void OnFilePrintSetup();

    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::vector<std::string> m_args;
    std::string m_strAppNameStore;
    std::string m_strExeNameStore;
    std::string m_strCmdLineStore;
    std::string m_strRegistryKeyStore;
    friend LPCTSTR AfxGetAppName();
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCTSTR AfxGetAppName();
// The framework's entry: runs InitInstance, then the message loop, then ExitInstance, with the
// global application object. Returns the process exit code.
int AfxWinMain(int argc, char** argv);
// Services that the framework turns on here without further ado.
inline BOOL AfxEnableControlContainer() { return TRUE; }
inline BOOL AfxInitRichEdit() { return TRUE; }
// Dispatches every pending message with the application's pre-translation (accelerators,
// dialog keys), then runs one idle pass. For tests and nested waits; answers how many ran.
int PvUiPumpMessages();

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore();
};
