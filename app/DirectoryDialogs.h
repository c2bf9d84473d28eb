#pragma once
// The directory pane's small dialogs: the please-wait window shown while a query opens, the
// name prompt for saved results and favorite folders, and the Hints window.

#include "platform/gdi/gdi.h"
#include "platform/ui/dialog.h"

// Modeless, without caption; the directory view creates it before a query and closes it after.
class CPleaseWaitDlg : public CDialog {
public:
    CPleaseWaitDlg();
    ~CPleaseWaitDlg() override;

    BOOL Create(CWnd* pParentWnd);
    void Close();
    BOOL OnInitDialog() override;

private:
    CBitmap m_bitmap;
    BOOL m_bLoaded = FALSE;
};

// Modal name prompt ("Save Your Results"); the caller sets the caption and prompt and reads the
// name, which holds at most kMaxName characters.
class CSaveResultsDlg : public CDialog {
public:
    static constexpr int kMaxName = 255;

    explicit CSaveResultsDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    CString m_strCaption;
    CString m_strName;
    CString m_strPrompt;
};

// Modal Hints window: its texts stand on a picture; the check box turns the grid hint off (or
// back on) at once.
class CHintsDlg : public CDialog {
public:
    explicit CHintsDlg(CWnd* pParent = nullptr);

    int m_nHint = 1;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnHintCheck();
    DECLARE_MESSAGE_MAP()

private:
    BOOL LoadPicture();
    CBitmap m_bitmap;
    CSize m_size;
};

// The main frame's way of showing the Hints window.
void ShowGridHintsDialog(CWnd* pParent);
