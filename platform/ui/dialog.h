#pragma once
// CDialog from our dialog templates: modal (nested loop, owner disabled) and modeless, keyboard
// navigation between tab stops, default button, dialog units, and data exchange.

#include "platform/base/CString.h"
#include "platform/base/exceptions.h"
#include "platform/ui/afxres.h"
#include "platform/ui/resources.h"
#include "platform/win/cwnd.h"

class CDialog;

// ---- Data exchange ----
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;   // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    HWND PrepareCtrl(int nIDC);      // null when the dialog has no such control
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus back on the last control and throws CUserException.
    [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// ---- Dialog units and keyboard navigation ----
// Pixels of the default dialog font's average character: x per 4 dialog units, y per 8.
CSize PvDialogBaseUnits(LPCTSTR lpszFace = nullptr, WORD wPointSize = 0);
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
// Tab, Shift+Tab, Enter, Esc and arrow keys for the controls of a dialog; TRUE when consumed.
BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg);
int GetDlgItemText(HWND hDlg, int nIDDlgItem, LPTSTR lpString, int nMaxCount);
BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCTSTR lpString);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // ---- Modeless ----
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(const PvDialogTemplate* pTemplate, CWnd* pParentWnd = nullptr);

    // ---- Modal ----
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // ---- Operations ----
    void MapDialogRect(LPRECT lpRect) const;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    // ---- Overridables ----
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void DoDataExchange(CDataExchange*) override {}
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    UINT m_nIDHelp = 0;
    LPCTSTR m_lpszTemplateName = nullptr;
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    const PvDialogTemplate* m_lpDialogTemplate = nullptr;

protected:
    afx_msg LRESULT OnInitDialogMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnGetDefID(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetDefID(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNextDlgCtl(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnOKCmd();
    afx_msg void OnCancelCmd();
    DECLARE_MESSAGE_MAP()

    // Builds the window and its controls from a template (pixels from dialog units).
    BOOL CreateFromTemplate(const PvDialogTemplate* pTemplate, HWND hParent, BOOL bModal);
    const PvDialogTemplate* FindTemplate() const;

    BOOL m_bModal = FALSE;
    UINT m_nDefID = IDOK;
    HWND m_hWndFocusSaved = nullptr;
    HFONT m_hFont = nullptr;
};

// Child dialogs inside other windows (a dialog bar's client, property pages) use this class name.
#define PV_DIALOG_CLASS "PvDialog"
