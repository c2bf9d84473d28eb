#pragma once
// CWebBrowser2: the browser control as a window, each member of its automation interface one
// call by dispatch id. The details pop-up and the HTML link dialog bind one to control 1000.

#include "platform/html/browser.h"
#include "platform/sys/com.h"
#include "platform/win/cwnd.h"

class CWebBrowser2 : public CWnd {
    DECLARE_DYNCREATE(CWebBrowser2)
public:
    CWebBrowser2() = default;
    ~CWebBrowser2() override = default;

    static const CLSID& GetClsid() { return CLSID_WebBrowser; }
    virtual BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void GoBack();
    void GoForward();
    void GoHome();
    void GoSearch();
    void Navigate(LPCTSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers);
    void Refresh();
    void Refresh2(VARIANT* Level);
    void Stop();
    LPDISPATCH GetApplication();
    LPDISPATCH GetParent();
    LPDISPATCH GetContainer();
    LPDISPATCH GetDocument();
    BOOL GetTopLevelContainer();
    CString GetType();
    long GetLeft();
    void SetLeft(long nNewValue);
    long GetTop();
    void SetTop(long nNewValue);
    long GetWidth();
    void SetWidth(long nNewValue);
    long GetHeight();
    void SetHeight(long nNewValue);
    CString GetLocationName();
    CString GetLocationURL();
    BOOL GetBusy();
    void Quit();
    void ClientToWindow(long* pcx, long* pcy);
    void PutProperty(LPCTSTR Property, const VARIANT& vtValue);
    VARIANT GetProperty_(LPCTSTR Property);
    CString GetName();
    long GetHwnd();
    CString GetFullName();
    CString GetPath();
    BOOL GetVisible();
    void SetVisible(BOOL bNewValue);
    BOOL GetStatusBar();
    void SetStatusBar(BOOL bNewValue);
    CString GetStatusText();
    void SetStatusText(LPCTSTR lpszNewValue);
    long GetToolBar();
    void SetToolBar(long nNewValue);
    BOOL GetMenuBar();
    void SetMenuBar(BOOL bNewValue);
    BOOL GetFullScreen();
    void SetFullScreen(BOOL bNewValue);
    void Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers);
    long QueryStatusWB(long cmdID);
    void ExecWB(long cmdID, long cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut);
    void ShowBrowserBar(VARIANT* pvaClsid, VARIANT* pvarShow, VARIANT* pvarSize);
    long GetReadyState();
    BOOL GetOffline();
    void SetOffline(BOOL bNewValue);
    BOOL GetSilent();
    void SetSilent(BOOL bNewValue);
    BOOL GetRegisterAsBrowser();
    void SetRegisterAsBrowser(BOOL bNewValue);
    BOOL GetRegisterAsDropTarget();
    void SetRegisterAsDropTarget(BOOL bNewValue);
    BOOL GetTheaterMode();
    void SetTheaterMode(BOOL bNewValue);
    BOOL GetAddressBar();
    void SetAddressBar(BOOL bNewValue);
    BOOL GetResizable();
    void SetResizable(BOOL bNewValue);

private:
    BOOL getBool(DISPID id);
    void putBool(DISPID id, BOOL b);
    long getLong(DISPID id);
    void putLong(DISPID id, long n);
    CString getText(DISPID id);
    LPDISPATCH getObject(DISPID id);
};
