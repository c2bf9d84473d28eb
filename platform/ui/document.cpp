// CDocument and the document templates.

#include "platform/ui/document.h"

#include "platform/base/CFile.h"
#include "platform/base/exceptions.h"
#include "platform/base/stringtable.h"
#include "platform/ui/frame.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cstdint>

// ---- CDocument ----
IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    // Views outlive nothing of ours: they just forget the document.
    for (CView* v : m_viewList) v->m_pDocument = nullptr;
    m_viewList.clear();
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR path, BOOL)
{
    m_strPathName = path;
    CString title(path);
    int slash = std::max(title.ReverseFind('/'), title.ReverseFind('\\'));
    if (slash >= 0) title = title.Mid(slash + 1);
    SetTitle(title);
}

void CDocument::AddView(CView* pView)
{
    if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end()) return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end()) return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // A document that has lost its last view goes with it.
    if (m_viewList.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(uintptr_t(1));
}

CView* CDocument::GetNextView(POSITION& pos) const
{
    size_t i = reinterpret_cast<uintptr_t>(pos);
    if (i == 0 || i > m_viewList.size()) {
        pos = nullptr;
        return nullptr;
    }
    pos = i < m_viewList.size() ? reinterpret_cast<POSITION>(uintptr_t(i + 1)) : nullptr;
    return m_viewList[i - 1];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    std::vector<CView*> views = m_viewList; // a view may go away while it updates
    for (CView* v : views)
        if (v != pSender && std::find(m_viewList.begin(), m_viewList.end(), v) != m_viewList.end())
            v->OnUpdate(pSender, lHint, pHint);
}

void CDocument::UpdateFrameCounts()
{
    std::vector<CFrameWnd*> frames;
    for (CView* v : m_viewList) {
        CFrameWnd* f = v->m_hWnd ? v->GetParentFrame() : nullptr;
        if (f && std::find(frames.begin(), frames.end(), f) == frames.end()) frames.push_back(f);
    }
    for (CFrameWnd* f : frames) f->OnUpdateFrameTitle(TRUE);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR path)
{
    CFile file;
    CFileException fe;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportSaveLoadException(path, &fe, FALSE, 0);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE);
    try {
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
    } catch (CException& e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(path, &e, FALSE, 0);
        return FALSE;
    }
    file.Close();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR path)
{
    CFile file;
    CFileException fe;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &fe)) {
        ReportSaveLoadException(path, &fe, TRUE, 0);
        return FALSE;
    }
    try {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException& e) {
        file.Abort();
        ReportSaveLoadException(path, &e, TRUE, 0);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(LPCTSTR path, CException* e, BOOL bSaving, UINT)
{
    CString text;
    if (e) {
        char buf[512] = {};
        if (e->GetErrorMessage(buf, sizeof buf) && buf[0]) text = buf;
    }
    if (text.IsEmpty()) text.Format(bSaving ? "Failed to save document %s." : "Failed to open document %s.", path ? path : "");
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument()
{
    // Closing the frames removes the views; the document must not delete itself meanwhile.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.empty()) {
        CView* v = m_viewList.front();
        CFrameWnd* f = v->m_hWnd ? v->GetParentFrame() : nullptr;
        if (f) {
            PreCloseFrame(f);
            f->DestroyWindow();
        } else {
            v->DestroyWindow();
        }
        // A view without a window cannot be closed: forget it rather than loop.
        if (!m_viewList.empty() && m_viewList.front() == v) RemoveView(v);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified()) return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty()) name = "Untitled";
    CString prompt;
    prompt.Format("Save changes to %s?", name.GetString());
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
    }
}

BOOL CDocument::DoFileSave()
{
    return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

BOOL CDocument::DoSave(LPCTSTR path, BOOL bReplace)
{
    if (!path || !*path) return FALSE; // no save-as dialog: a nameless document cannot be saved
    if (!OnSaveDocument(path)) return FALSE;
    if (bReplace) SetPathName(path);
    return TRUE;
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocTemplate ? m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}

void CDocument::OnFileClose()
{
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoFileSave(); }

// ---- CDocTemplate ----
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nID, CRuntimeClass* pDoc, CRuntimeClass* pFrame, CRuntimeClass* pView)
    : m_nIDResource(nID), m_pDocClass(pDoc), m_pFrameClass(pFrame), m_pViewClass(pView)
{
    AfxLoadStringResource(nID, m_strDocStrings);
}

void CDocTemplate::AddDocument(CDocument* pDoc) { if (pDoc) pDoc->m_pDocTemplate = this; }
void CDocTemplate::RemoveDocument(CDocument* pDoc) { if (pDoc) pDoc->m_pDocTemplate = nullptr; }

BOOL CDocTemplate::GetDocString(CString& r, enum DocStringIndex index) const
{
    r.Empty();
    CString s = m_strDocStrings;
    if (s.IsEmpty()) AfxLoadStringResource(m_nIDResource, s);
    int field = 0, start = 0;
    for (int i = 0; i <= s.GetLength(); ++i) {
        if (i == s.GetLength() || s[i] == '\n') {
            if (field == int(index)) {
                r = s.Mid(start, i - start);
                return !r.IsEmpty();
            }
            ++field;
            start = i + 1;
        }
    }
    return FALSE;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass) return nullptr;
    CObject* o = m_pDocClass->CreateObject();
    CDocument* d = dynamic_cast<CDocument*>(o);
    if (!d) {
        delete o;
        return nullptr;
    }
    AddDocument(d);
    return d;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_pFrameClass) return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* o = m_pFrameClass->CreateObject();
    CFrameWnd* f = dynamic_cast<CFrameWnd*>(o);
    if (!f) {
        delete o;
        return nullptr;
    }
    // A frame that fails to load has deleted itself with its window.
    if (!f->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
    return f;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    if (pFrame) pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos)
        if (CDocument* d = GetNextDoc(pos); d && !d->SaveModified()) return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    while (POSITION pos = GetFirstDocPosition()) {
        CDocument* d = GetNextDoc(pos);
        if (!d) break;
        d->OnCloseDocument();
        if (GetFirstDocPosition() && pos == nullptr) {
            POSITION again = GetFirstDocPosition();
            if (GetNextDoc(again) == d) break; // a document that refuses to go
        }
    }
}

// ---- CSingleDocTemplate ----
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::CSingleDocTemplate(UINT nID, CRuntimeClass* d, CRuntimeClass* f, CRuntimeClass* v)
    : CDocTemplate(nID, d, f, v)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc) {
        CDocument* d = m_pOnlyDoc;
        m_pOnlyDoc = nullptr;
        d->m_pDocTemplate = nullptr;
        delete d;
    }
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? reinterpret_cast<POSITION>(uintptr_t(1)) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& pos) const
{
    CDocument* d = pos ? m_pOnlyDoc : nullptr;
    pos = nullptr;
    return d;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDoc)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty()) {
        if (!AfxLoadStringResource(AFX_IDS_UNTITLED, title) || title.IsEmpty()) title = "Untitled";
    }
    pDoc->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR path, BOOL bMakeVisible)
{
    CDocument* pDoc = nullptr;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    if (m_pOnlyDoc) {
        pDoc = m_pOnlyDoc;
        if (!pDoc->SaveModified()) return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        if (CView* v = pDoc->GetNextView(pos)) pFrame = v->GetParentFrame();
    } else {
        pDoc = CreateNewDocument();
        bCreated = TRUE;
    }
    if (!pDoc) {
        AfxMessageBox("Failed to create empty document.");
        return nullptr;
    }
    if (!pFrame) {
        BOOL bAutoDelete = pDoc->m_bAutoDelete;
        pDoc->m_bAutoDelete = FALSE; // the frame's failure must not delete it under us
        pFrame = CreateNewFrame(pDoc, nullptr);
        pDoc->m_bAutoDelete = bAutoDelete;
        if (!pFrame) {
            if (bCreated) delete pDoc;
            return nullptr;
        }
    }
    if (!path) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            if (bCreated) {
                BOOL bAutoDelete = pDoc->m_bAutoDelete;
                pDoc->m_bAutoDelete = FALSE;
                pFrame->DestroyWindow();
                pDoc->m_bAutoDelete = bAutoDelete;
                delete pDoc;
            }
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!pDoc->OnOpenDocument(path)) {
            if (bCreated) {
                BOOL bAutoDelete = pDoc->m_bAutoDelete;
                pDoc->m_bAutoDelete = FALSE;
                pFrame->DestroyWindow();
                pDoc->m_bAutoDelete = bAutoDelete;
                delete pDoc;
            }
            return nullptr;
        }
        pDoc->SetPathName(path);
    }
    CWinApp* app = AfxGetApp();
    if (bCreated && app && !app->m_pMainWnd) app->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}
