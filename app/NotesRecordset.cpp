#include "app/NotesRecordset.h"

#include "app/Config.h"

IMPLEMENT_DYNAMIC(CNotesRecordset, CDaoRecordset)

CNotesRecordset::CNotesRecordset(CDaoDatabase* pDatabase) : CDaoRecordset(pDatabase)
{
    m_nFields = 2;
    m_nDefaultType = dbOpenDynaset;
}

CString CNotesRecordset::GetDefaultDBName() { return GetCustomPath(); }

CString CNotesRecordset::GetDefaultSQL() { return "[Annotations]"; }

void CNotesRecordset::DoFieldExchange(CDaoFieldExchange* pFX)
{
    pFX->SetFieldType(CDaoFieldExchange::outputColumn);
    DFX_Long(pFX, "[_IKEY]", m__IKEY);
    DFX_Text(pFX, "[MEMO]", m_MEMO, 255);
}
