#include "app/TreeRecordset.h"

#include "app/AppTable.h"
#include "app/Config.h"
#include "platform/win/win.h"

IMPLEMENT_DYNAMIC(CTreeRecordset, CDaoRecordset)

CString PvJetErrorTail(const CDaoException& e)
{
    return JetErrorSuffix(e.m_pErrorInfo ? e.m_pErrorInfo->m_lErrorCode : 0L);
}

CTreeRecordset::CTreeRecordset(CDaoDatabase* pDatabase) : CDaoRecordset(pDatabase)
{
    m_nFields = 9;
    m_nDefaultType = dbOpenTable;
}

CString CTreeRecordset::GetDefaultDBName() { return GetCustomPath(); }

CString CTreeRecordset::GetDefaultSQL() { return "[Tree]"; }

void CTreeRecordset::DoFieldExchange(CDaoFieldExchange* pFX)
{
    pFX->SetFieldType(CDaoFieldExchange::outputColumn);
    DFX_Text(pFX, "[Key]", m_Key);
    DFX_Long(pFX, "[Order]", m_Order);
    DFX_Text(pFX, "[Parent]", m_Parent);
    DFX_Text(pFX, "[Text]", m_Text);
    DFX_Long(pFX, "[Image]", m_Image);
    DFX_Long(pFX, "[Selected Image]", m_Selected_Image);
    DFX_Text(pFX, "[Type]", m_Type);
    DFX_Text(pFX, "[Link]", m_Link);
    DFX_Long(pFX, "[Expanded]", m_Expanded);
}

BOOL CTreeRecordset::AppendRow(CString Key, CString Parent, CString Text, long Image, long SelectedImage,
                               CString Link, CString Type, long Expanded)
{
    bool inTransaction = false;
    try {
        long lastOrder = 0;
        if (!(IsBOF() && IsEOF())) {
            MoveLast();
            lastOrder = m_Order;
        }
        m_pDatabase->m_pWorkspace->BeginTrans();
        inTransaction = true;
        AddNew();
        m_Key = Key;
        m_Parent = Parent;
        m_Text = Text;
        m_Image = Image;
        m_Selected_Image = SelectedImage;
        m_Link = Link;
        m_Type = Type;
        m_Order = lastOrder + 1;
        m_Expanded = Expanded;
        Update();
        m_pDatabase->m_pWorkspace->CommitTrans();
        return TRUE;
    } catch (const CDaoException& e) {
        // A transaction left open would swallow every later change to the custom database.
        try {
            if (GetEditMode() != dbEditNone) CancelUpdate();
            if (inTransaction) m_pDatabase->m_pWorkspace->Rollback();
        } catch (const CDaoException&) {
        }
        AfxMessageBox("Error writing data to the table named Tree in the custom database." + PvJetErrorTail(e),
                      MB_ICONEXCLAMATION);
    }
    return FALSE;
}
