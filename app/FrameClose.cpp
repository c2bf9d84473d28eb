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
    // One transaction: one write to the disk for the whole outline, and a failure leaves the
    // state of the last close as it was.
    CDaoWorkspace* workspace = db.m_pWorkspace;
    bool inTransaction = false;
    auto rollback = [&] {
        try {
            if (inTransaction)
                workspace->Rollback();
        } catch (const CDaoException&) {
        }
    };
    try {
        workspace->BeginTrans();
        inTransaction = true;
        db.Execute("Update Tree set Expanded = 0", dbFailOnError);
    } catch (const CDaoException& e) {
        rollback();
        AfxMessageBox("Error editing in the Tree table! This program was unable to Open Tree table in the custom "
                      "database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
        return FALSE;
    }
    try {
        // The texts go in lists: each statement reads the whole table, and an outline shows
        // many items.
        const int kTextsPerStatement = 200;
        CString texts;
        int count = 0;
        auto flush = [&] {
            if (count)
                db.Execute("Update Tree set Expanded = 1 Where Text In (" + texts + ")", dbFailOnError);
            texts.Empty();
            count = 0;
        };
        for (; hItem; hItem = outline.GetNextVisibleItem(hItem)) {
            CString text = outline.GetItemText(hItem);
            text.Replace("'", "''");
            texts += (count ? ", '" : "'") + text + "'";
            if (++count == kTextsPerStatement)
                flush();
        }
        flush();
        workspace->CommitTrans();
    } catch (const CDaoException& e) {
        rollback();
        AfxMessageBox("Error editing in the Tree table! This program was unable to edit the Tree table in the "
                      "custom database " + strCustomPath + kReinstall + PvJetErrorTail(e), MB_ICONEXCLAMATION);
        return FALSE;
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
