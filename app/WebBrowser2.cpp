// Each member of the browser's automation interface, by its dispatch id.

#include "app/WebBrowser2.h"

IMPLEMENT_DYNCREATE(CWebBrowser2, CWnd)

namespace {
const BYTE kBool[] = VTS_BOOL;
const BYTE kLong[] = VTS_I4;
const BYTE kText[] = VTS_BSTR;
const BYTE kNavigate[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
const BYTE kNavigate2[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
const BYTE kOneVariant[] = VTS_PVARIANT;
const BYTE kThreeVariants[] = VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
const BYTE kTwoLongPointers[] = VTS_PI4 VTS_PI4;
const BYTE kPutProperty[] = VTS_BSTR VTS_VARIANT;
const BYTE kExecWB[] = VTS_I4 VTS_I4 VTS_PVARIANT VTS_PVARIANT;
} // namespace

BOOL CWebBrowser2::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    PvRegisterBrowserControl();
    return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CWebBrowser2::getBool(DISPID id)
{
    BOOL result = FALSE;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_BOOL, &result, nullptr);
    return result;
}
void CWebBrowser2::putBool(DISPID id, BOOL b) { InvokeHelper(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, kBool, b); }
long CWebBrowser2::getLong(DISPID id)
{
    long result = 0;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_I4, &result, nullptr);
    return result;
}
void CWebBrowser2::putLong(DISPID id, long n) { InvokeHelper(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, kLong, n); }
CString CWebBrowser2::getText(DISPID id)
{
    CString result;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    return result;
}
LPDISPATCH CWebBrowser2::getObject(DISPID id)
{
    LPDISPATCH result = nullptr;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH_ARG, &result, nullptr);
    return result;
}

void CWebBrowser2::GoBack() { InvokeHelper(100, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
void CWebBrowser2::GoForward() { InvokeHelper(101, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
void CWebBrowser2::GoHome() { InvokeHelper(102, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
void CWebBrowser2::GoSearch() { InvokeHelper(103, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
void CWebBrowser2::Navigate(LPCTSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers)
{
    InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, kNavigate, URL, Flags, TargetFrameName, PostData, Headers);
}
void CWebBrowser2::Refresh() { InvokeHelper(-550, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
void CWebBrowser2::Refresh2(VARIANT* Level) { InvokeHelper(105, DISPATCH_METHOD, VT_EMPTY, nullptr, kOneVariant, Level); }
void CWebBrowser2::Stop() { InvokeHelper(106, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
LPDISPATCH CWebBrowser2::GetApplication() { return getObject(200); }
LPDISPATCH CWebBrowser2::GetParent() { return getObject(201); }
LPDISPATCH CWebBrowser2::GetContainer() { return getObject(202); }
LPDISPATCH CWebBrowser2::GetDocument() { return getObject(203); }
BOOL CWebBrowser2::GetTopLevelContainer() { return getBool(204); }
CString CWebBrowser2::GetType() { return getText(205); }
long CWebBrowser2::GetLeft() { return getLong(206); }
void CWebBrowser2::SetLeft(long nNewValue) { putLong(206, nNewValue); }
long CWebBrowser2::GetTop() { return getLong(207); }
void CWebBrowser2::SetTop(long nNewValue) { putLong(207, nNewValue); }
long CWebBrowser2::GetWidth() { return getLong(208); }
void CWebBrowser2::SetWidth(long nNewValue) { putLong(208, nNewValue); }
long CWebBrowser2::GetHeight() { return getLong(209); }
void CWebBrowser2::SetHeight(long nNewValue) { putLong(209, nNewValue); }
CString CWebBrowser2::GetLocationName() { return getText(210); }
CString CWebBrowser2::GetLocationURL() { return getText(211); }
BOOL CWebBrowser2::GetBusy() { return getBool(212); }
void CWebBrowser2::Quit() { InvokeHelper(300, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
void CWebBrowser2::ClientToWindow(long* pcx, long* pcy)
{
    InvokeHelper(301, DISPATCH_METHOD, VT_EMPTY, nullptr, kTwoLongPointers, pcx, pcy);
}
void CWebBrowser2::PutProperty(LPCTSTR Property, const VARIANT& vtValue)
{
    InvokeHelper(302, DISPATCH_METHOD, VT_EMPTY, nullptr, kPutProperty, Property, &vtValue);
}
VARIANT CWebBrowser2::GetProperty_(LPCTSTR Property)
{
    VARIANT result;
    VariantInit(&result);
    InvokeHelper(303, DISPATCH_METHOD, VT_VARIANT_ARG, &result, kText, Property);
    return result;
}
CString CWebBrowser2::GetName() { return getText(0); }
long CWebBrowser2::GetHwnd() { return getLong(-515); }
CString CWebBrowser2::GetFullName() { return getText(400); }
CString CWebBrowser2::GetPath() { return getText(401); }
BOOL CWebBrowser2::GetVisible() { return getBool(402); }
void CWebBrowser2::SetVisible(BOOL bNewValue) { putBool(402, bNewValue); }
BOOL CWebBrowser2::GetStatusBar() { return getBool(403); }
void CWebBrowser2::SetStatusBar(BOOL bNewValue) { putBool(403, bNewValue); }
CString CWebBrowser2::GetStatusText() { return getText(404); }
void CWebBrowser2::SetStatusText(LPCTSTR lpszNewValue)
{
    InvokeHelper(404, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, kText, lpszNewValue);
}
long CWebBrowser2::GetToolBar() { return getLong(405); }
void CWebBrowser2::SetToolBar(long nNewValue) { putLong(405, nNewValue); }
BOOL CWebBrowser2::GetMenuBar() { return getBool(406); }
void CWebBrowser2::SetMenuBar(BOOL bNewValue) { putBool(406, bNewValue); }
BOOL CWebBrowser2::GetFullScreen() { return getBool(407); }
void CWebBrowser2::SetFullScreen(BOOL bNewValue) { putBool(407, bNewValue); }
void CWebBrowser2::Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers)
{
    InvokeHelper(500, DISPATCH_METHOD, VT_EMPTY, nullptr, kNavigate2, URL, Flags, TargetFrameName, PostData, Headers);
}
long CWebBrowser2::QueryStatusWB(long cmdID)
{
    long result = 0;
    InvokeHelper(501, DISPATCH_METHOD, VT_I4, &result, kLong, cmdID);
    return result;
}
void CWebBrowser2::ExecWB(long cmdID, long cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut)
{
    InvokeHelper(502, DISPATCH_METHOD, VT_EMPTY, nullptr, kExecWB, cmdID, cmdexecopt, pvaIn, pvaOut);
}
void CWebBrowser2::ShowBrowserBar(VARIANT* pvaClsid, VARIANT* pvarShow, VARIANT* pvarSize)
{
    InvokeHelper(503, DISPATCH_METHOD, VT_EMPTY, nullptr, kThreeVariants, pvaClsid, pvarShow, pvarSize);
}
long CWebBrowser2::GetReadyState() { return getLong(-525); }
BOOL CWebBrowser2::GetOffline() { return getBool(550); }
void CWebBrowser2::SetOffline(BOOL bNewValue) { putBool(550, bNewValue); }
BOOL CWebBrowser2::GetSilent() { return getBool(551); }
void CWebBrowser2::SetSilent(BOOL bNewValue) { putBool(551, bNewValue); }
BOOL CWebBrowser2::GetRegisterAsBrowser() { return getBool(552); }
void CWebBrowser2::SetRegisterAsBrowser(BOOL bNewValue) { putBool(552, bNewValue); }
BOOL CWebBrowser2::GetRegisterAsDropTarget() { return getBool(553); }
void CWebBrowser2::SetRegisterAsDropTarget(BOOL bNewValue) { putBool(553, bNewValue); }
BOOL CWebBrowser2::GetTheaterMode() { return getBool(554); }
void CWebBrowser2::SetTheaterMode(BOOL bNewValue) { putBool(554, bNewValue); }
BOOL CWebBrowser2::GetAddressBar() { return getBool(555); }
void CWebBrowser2::SetAddressBar(BOOL bNewValue) { putBool(555, bNewValue); }
BOOL CWebBrowser2::GetResizable() { return getBool(556); }
void CWebBrowser2::SetResizable(BOOL bNewValue) { putBool(556, bNewValue); }
