#include "grid/core/gxdaofmt.h"

#include "platform/dao/dao.h"
#include "platform/sys/ole.h"

BOOL FormatFieldValue(CString& strText, CDaoRecordset* pRecordset, int nField, BOOL bAllowMemo)
{
    CDaoFieldInfo info;
    pRecordset->GetFieldInfo(nField, info);
    return FormatFieldValue(strText, pRecordset, nField, bAllowMemo, info.m_nType);
}

BOOL FormatFieldValue(CString& strText, CDaoRecordset* pRecordset, int nField, BOOL bAllowMemo, short nType)
{
    if (nType == dbLongBinary || nType == dbGUID || (nType == dbMemo && !bAllowMemo))
        return FALSE;

    COleVariant var;
    pRecordset->GetFieldValue(nField, var);
    switch (var.vt) {
    case VT_EMPTY:
    case VT_NULL: strText.Empty(); break;
    case VT_I2: strText.Format("%hd", var.iVal); break;
    case VT_I4: strText.Format("%d", int(var.lVal)); break;
    case VT_UI1: strText.Format("%d", int(var.bVal)); break;
    case VT_R4: strText.Format("%g", double(var.fltVal)); break;
    case VT_R8: strText.Format("%.13g", var.dblVal); break;
    case VT_CY: strText = COleCurrency(var.cyVal).Format(0, LANG_USER_DEFAULT); break;
    case VT_DATE: strText = COleDateTime(var.date).Format(0, LANG_USER_DEFAULT); break;
    case VT_BSTR: strText.SetString(var.bstrVal, var.bstrVal ? int(SysStringLen(var.bstrVal)) : 0); break;
    case VT_BOOL: strText = var.boolVal ? "TRUE" : "FALSE"; break;
    default: strText = "Unknown Type"; break;
    }
    return TRUE;
}
