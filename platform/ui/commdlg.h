#pragma once
// Common dialogs: print and print setup (to a PDF file), and the modeless find/replace dialog.

#include "platform/base/CString.h"
#include "platform/gdi/devblocks.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/dialog.h"

// ---- Print ----
#define PD_ALLPAGES 0x00000000
#define PD_SELECTION 0x00000001
#define PD_PAGENUMS 0x00000002
#define PD_NOSELECTION 0x00000004
#define PD_NOPAGENUMS 0x00000008
#define PD_COLLATE 0x00000010
#define PD_PRINTTOFILE 0x00000020
#define PD_PRINTSETUP 0x00000040
#define PD_NOWARNING 0x00000080
#define PD_RETURNDC 0x00000100
#define PD_RETURNIC 0x00000200
#define PD_RETURNDEFAULT 0x00000400
#define PD_SHOWHELP 0x00000800
#define PD_USEDEVMODECOPIES 0x00040000
#define PD_USEDEVMODECOPIESANDCOLLATE 0x00040000
#define PD_DISABLEPRINTTOFILE 0x00080000
#define PD_HIDEPRINTTOFILE 0x00100000
#define PD_NONETWORKBUTTON 0x00200000

struct PRINTDLG {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
};
typedef PRINTDLG* LPPRINTDLG;

class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }
};

class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    PRINTDLG& m_pd;
    // The printer is a PDF writer: its settings, kept process-wide between print jobs.
    static PvPrinterSettings& PvSettings();

    INT_PTR DoModal() override;
    BOOL GetDefaults();          // the default printer, without a dialog
    HDC CreatePrinterDC();       // a PDF printer DC for the chosen file; the caller deletes it
    HDC GetPrinterDC() const { return m_pd.hDC; }
    int GetCopies() const { return m_pd.nCopies; }
    BOOL PrintAll() const { return (m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)) == 0; }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }
    CString GetDeviceName() const { return "PDF"; }
    CString GetDriverName() const { return "PDF"; }
    CString GetPortName() const { return m_strFileName; }
    CString GetFileName() const { return m_strFileName; }
    void SetFileName(LPCTSTR lpszFileName) { m_strFileName = lpszFileName; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL m_bPrintSetup;
    CString m_strFileName;

private:
    void TakeDevBlocks();
    void FillDevBlocks();
    PRINTDLG m_pdActual {};
    HGLOBAL m_hMadeNames = nullptr;
    HGLOBAL m_hMadeMode = nullptr;
};

// ---- Find and replace ----
#define FR_DOWN 0x00000001
#define FR_WHOLEWORD 0x00000002
#define FR_MATCHCASE 0x00000004
#define FR_FINDNEXT 0x00000008
#define FR_REPLACE 0x00000010
#define FR_REPLACEALL 0x00000020
#define FR_DIALOGTERM 0x00000040
#define FR_SHOWHELP 0x00000080
#define FR_ENABLEHOOK 0x00000100
#define FR_ENABLETEMPLATE 0x00000200
#define FR_NOUPDOWN 0x00000400
#define FR_NOMATCHCASE 0x00000800
#define FR_NOWHOLEWORD 0x00001000
#define FR_HIDEUPDOWN 0x00004000
#define FR_HIDEMATCHCASE 0x00008000
#define FR_HIDEWHOLEWORD 0x00010000
#define FINDMSGSTRING "commdlg_FindReplace"

struct FINDREPLACE {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    DWORD Flags;
    LPTSTR lpstrFindWhat;
    LPTSTR lpstrReplaceWith;
    WORD wFindWhatLen;
    WORD wReplaceWithLen;
    LPARAM lCustData;
};
typedef FINDREPLACE* LPFINDREPLACE;

class CFindReplaceDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFindReplaceDialog)
public:
    CFindReplaceDialog();
    ~CFindReplaceDialog() override = default;

    FINDREPLACE m_fr {};
    // Creates the modeless dialog; its notifications go to pParentWnd (else the main window) as the
    // registered "commdlg_FindReplace" message with lParam = &m_fr.
    BOOL Create(BOOL bFindDialogOnly, LPCTSTR lpszFindWhat, LPCTSTR lpszReplaceWith = nullptr,
                DWORD dwFlags = FR_DOWN, CWnd* pParentWnd = nullptr);
    static CFindReplaceDialog* GetNotifier(LPARAM lParam);

    CString GetFindString() const { return m_szFindWhat; }
    CString GetReplaceString() const { return m_szReplaceWith; }
    BOOL SearchDown() const { return (m_fr.Flags & FR_DOWN) != 0; }
    BOOL FindNext() const { return (m_fr.Flags & FR_FINDNEXT) != 0; }
    BOOL MatchCase() const { return (m_fr.Flags & FR_MATCHCASE) != 0; }
    BOOL MatchWholeWord() const { return (m_fr.Flags & FR_WHOLEWORD) != 0; }
    BOOL ReplaceCurrent() const { return (m_fr.Flags & FR_REPLACE) != 0; }
    BOOL ReplaceAll() const { return (m_fr.Flags & FR_REPLACEALL) != 0; }
    BOOL IsTerminating() const { return (m_fr.Flags & FR_DIALOGTERM) != 0; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void Notify(DWORD dwFlag);

    char m_szFindWhat[128] {};
    char m_szReplaceWith[128] {};
    BOOL m_bFindOnly = TRUE;
    HWND m_hWndNotify = nullptr;
};
