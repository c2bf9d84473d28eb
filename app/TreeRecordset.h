#pragma once
// CTreeRecordset: one row of the outline's table Tree in the custom database.

#include "platform/dao/dao.h"

class CTreeRecordset : public CDaoRecordset {
    DECLARE_DYNAMIC(CTreeRecordset)
public:
    explicit CTreeRecordset(CDaoDatabase* pDatabase = nullptr);

    CString m_Key;
    long m_Order = 0;
    CString m_Parent;
    CString m_Text;
    long m_Image = 0;
    long m_Selected_Image = 0;
    CString m_Type;
    CString m_Link;
    long m_Expanded = 0;

    // Appends a row after the last one (its Order + 1; the first row of a table gets 1) inside a
    // transaction. A database error is shown and nothing is stored. Answers whether it stored.
    BOOL AppendRow(CString Key, CString Parent, CString Text, long Image, long SelectedImage, CString Link,
                   CString Type, long Expanded);

    CString GetDefaultDBName() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;
};

// The Jet error number of a database exception, and the "\n(Jet Error Number n)" tail of messages.
CString PvJetErrorTail(const CDaoException& e);
