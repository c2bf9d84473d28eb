// Hosted controls: created by class identifier, called by dispatch id through their window.

#include "platform/sys/com.h"
#include "platform/win/cwnd.h"

#include <cstdarg>

BOOL CWnd::CreateControl(const GUID& clsid, LPCTSTR pszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, void*, BOOL, char*)
{
    const CString cls = PvGuidText(clsid);
    return CreateEx(0, cls, pszWindowName ? pszWindowName : "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CWnd::InvokeHelper(long dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...)
{
    PvDispCall call;
    call.dispid = dwDispID;
    call.wFlags = wFlags;
    call.vtRet = vtRet;
    va_list ap;
    va_start(ap, pbParamInfo);
    for (const BYTE* p = pbParamInfo; p && *p; ++p) {
        if (call.nArgs == int(std::size(call.args))) {
            va_end(ap);
            throw COleDispatchException("Too many arguments", 0, 0);
        }
        PvDispArg& a = call.args[call.nArgs++];
        a.vt = *p;
        switch (*p) {
        case VT_I2:
        case VT_BOOL: a.lVal = va_arg(ap, int); break;
        case VT_I4: a.lVal = va_arg(ap, long); break;
        case VT_BSTR: a.pszVal = va_arg(ap, const char*); break;
        case VT_DISPATCH_ARG: a.pdispVal = va_arg(ap, IDispatch*); break;
        case VT_VARIANT_ARG: a.pvarVal = va_arg(ap, const VARIANT*); break;
        case BYTE(VT_BYREF_FLAG | VT_VARIANT_ARG): a.pvarRef = va_arg(ap, VARIANT*); break;
        case BYTE(VT_BYREF_FLAG | VT_I4): a.plRef = va_arg(ap, long*); break;
        default:
            va_end(ap);
            throw COleDispatchException("Unsupported argument type", 0, 0);
        }
    }
    va_end(ap);
    if (m_hWnd)
        ::SendMessage(m_hWnd, WM_PV_INVOKE, 0, reinterpret_cast<LPARAM>(&call));
    if (FAILED(call.hr)) {
        COleDispatchException e(call.hr == DISP_E_MEMBERNOTFOUND ? "Member not found." : "The call failed.", 0, 0);
        e.m_scError = call.hr;
        throw e;
    }
    if (!pvRet)
        return;
    switch (vtRet) {
    case VT_BSTR: *static_cast<CString*>(pvRet) = call.strResult; break;
    case VT_I4: *static_cast<long*>(pvRet) = call.lResult; break;
    case VT_I2: *static_cast<short*>(pvRet) = short(call.lResult); break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = call.lResult ? TRUE : FALSE; break;
    case VT_DISPATCH_ARG: *static_cast<IDispatch**>(pvRet) = call.pdispResult; break;
    case VT_VARIANT_ARG: VariantCopy(static_cast<VARIANT*>(pvRet), &call.varResult); break;
    default: break;
    }
}
