#pragma once
// CNotesRecordset: one row of table Annotations (one note per directory record) in the custom
// database.

#include "platform/dao/dao.h"

class CNotesRecordset : public CDaoRecordset {
    DECLARE_DYNAMIC(CNotesRecordset)
public:
    explicit CNotesRecordset(CDaoDatabase* pDatabase = nullptr);

    long m__IKEY = 0;
    CString m_MEMO;

    CString GetDefaultDBName() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;
};
