#include "app/FrameClose.h"

#include "app/NotesRecordset.h"
#include "app/TreeRecordset.h"
#include "platform/controls/controls.h"
#include "platform/dao/dao.h"
#include "platform/win/win.h"

#include <memory>

HTREEITEM CTreeCtrlVisibleOutline::GetFirstVisibleItem() { return m_tree.GetFirstVisibleItem(); }

HTREEITEM CTreeCtrlVisibleOutline::GetNextVisibleItem(HTREEITEM hItem) { return m_tree.GetNextVisibleItem(hItem); }

CString CTreeCtrlVisibleOutline::GetItemText(HTREEITEM hItem) { return m_tree.GetItemText(hItem); }

static const char kReinstall[] = "\nPlease re-install this program and try again";

BOOL StoreOutlineState(const CString& strCustomPath, IVisibleOutline& outline)
{
    auto db = std::make_unique<CDaoDatabase>();
    try {
        db->Open(strCustomPath);
    } catch (const CDaoException& e) {
        AfxMessageBox("Error opening the outline! This program was unable to open the table named Tree in the custom "
                      "database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
        return FALSE;
    }
    const BOOL bStored = StoreOutlineState(*db, strCustomPath, outline);
    try {
        db->Close();
    } catch (const CDaoException&) {
    }
    return bStored;
}

BOOL StoreOutlineState(CDaoDatabase& db, const CString& strCustomPath, IVisibleOutline& outline)
{
    HTREEITEM hItem = outline.GetFirstVisibleItem();
    try {
        db.Execute("Update Tree set Expanded = 0", dbFailOnError);
    } catch (const CDaoException& e) {
        // Marking rows on top of stale marks would expand the wrong folders next time.
        AfxMessageBox("Error editing in the Tree table! This program was unable to Open Tree table in the custom "
                      "database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
        return FALSE;
    }
    for (; hItem; hItem = outline.GetNextVisibleItem(hItem)) {
        CString text = outline.GetItemText(hItem);
        text.Replace("'", "''");
        try {
            db.Execute("Update Tree set Expanded = 1 Where Text = '" + text + "'", dbFailOnError);
        } catch (const CDaoException& e) {
            AfxMessageBox("Error editing in the Tree table! This program was unable to edit the Tree table in the "
                          "custom database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL RecordHasNotes(const CString& strCustomPath, long nKey)
{
    CDaoDatabase db;
    CNotesRecordset notes(&db);
    CString sql;
    sql.Format("SELECT * FROM Annotations WHERE ([Annotations].[_IKEY]=%ld)", nKey);
    try {
        db.Open(strCustomPath);
        notes.Open(dbOpenDynaset, sql);
    } catch (const CDaoException& e) {
        AfxMessageBox("Error opening the outline! This program was unable to open the table named Annotations in the "
                      "custom database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
        return FALSE;
    }
    BOOL bHas = FALSE;
    try {
        bHas = !(notes.IsBOF() && notes.IsEOF());
    } catch (const CDaoException& e) {
        AfxMessageBox("Error accessing in the Annotations table! This program was unable to Open Annotations table in "
                      "the custom database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
        bHas = FALSE;
    }
    try {
        notes.Close();
        db.Close();
    } catch (const CDaoException&) {
    }
    return bHas;
}
