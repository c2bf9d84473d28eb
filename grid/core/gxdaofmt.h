#pragma once
// A database field's value as display text (the DAO grid's cell texts).

#include "platform/base/CString.h"

class CDaoRecordset;

// Sets strText from field nField of the current record. Long binary and GUID fields, and memo
// fields unless bAllowMemo, give no text: strText is left as it was and the result is FALSE.
// DAO failures raise the framework's DAO exception to the caller.
BOOL FormatFieldValue(CString& strText, CDaoRecordset* pRecordset, int nField, BOOL bAllowMemo);
// The same for a caller that knows the field's DAO type already.
BOOL FormatFieldValue(CString& strText, CDaoRecordset* pRecordset, int nField, BOOL bAllowMemo, short nType);
