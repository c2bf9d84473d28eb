#pragma once
// CHtmlView: a view whose client area is a browser control, with the control's operations and
// its events as overridables.

#include "platform/base/collections.h"
#include "platform/html/browser.h"
#include "platform/ui/view.h"

class CHtmlView : public CView {
    DECLARE_DYNCREATE(CHtmlView)
public:
    CHtmlView() = default;
    ~CHtmlView() override = default;

    // ---- Operations ----
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void GoBack();
    void GoForward();
    void ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn = nullptr, VARIANT* pvaOut = nullptr);
    // The shown document (a reference the caller releases); null before the first page.
    LPDISPATCH GetHtmlDocument() const;
    CString GetLocationURL() const;
    CString GetLocationName() const;
    // The control itself (null before the view's window exists).
    PvBrowser* GetBrowser() const { return PvBrowser::FromHandle(m_wndBrowser.m_hWnd); }
    CWnd m_wndBrowser;

    // ---- Events ----
    virtual void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                   CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel);
    virtual void OnNavigateComplete2(LPCTSTR strURL);
    virtual void OnDocumentComplete(LPCTSTR lpszURL);
    virtual void OnCommandStateChange(long nCommand, BOOL bEnable);
    virtual void OnStatusTextChange(LPCTSTR lpszText);
    virtual void OnTitleChange(LPCTSTR lpszText);

    void OnDraw(CDC* pDC) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnControlEvent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
