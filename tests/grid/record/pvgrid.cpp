// pvgrid FOLDER [TABLE]: a table of a sample directory's database ("Data" unless named) in a
// single-document frame whose view is a DAO record view, opened read-only, with the text fields
// deciphered as the viewer's document deciphers them; Edit finds and File prints and previews.
// A test program, not shipped: run it headless with PV_SCREENSHOT or PV_SCRIPT to look at the
// record view over real data.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/AppTable.h"
#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"
#include "app/DirectoryKey.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/record/gxbrowparam.h"
#include "grid/record/gxdaoview.h"
#include "platform/dao/dao.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/document.h"
#include "platform/ui/frame.h"
#include "platform/ui/resources.h"
#include "platform/ui/winapp.h"
#include "resources/frame_ids.h"
#include "tools/pvsample/SampleWriter.h"

namespace {

constexpr UINT IDR_PVGRID = 300;

const PvMenuTemplateItem kMenu[] = {
    {MF_POPUP, 0, "&File"},
    {0, ID_FILE_PRINT, "&Print...\tCtrl+P"},
    {0, ID_FILE_PRINT_PREVIEW, "Print Pre&view\tCtrl+F2"},
    {MF_END, ID_APP_EXIT, "E&xit"},
    {MF_POPUP, 0, "&Edit"},
    {0, ID_EDIT_FIND, "&Find...\tCtrl+F"},
    {MF_END, ID_EDIT_REPLACE, "R&eplace...\tCtrl+H"},
    {MF_POPUP, 0, "&Record"},
    {0, ID_RECORD_FIRST, "&First Record"},
    {0, ID_RECORD_PREV, "&Previous Record"},
    {0, ID_RECORD_NEXT, "&Next Record"},
    {MF_END, ID_RECORD_LAST, "&Last Record"},
    {MF_POPUP | MF_END, 0, "&View"},
    {0, ID_ZOOM_ENLARGE, "&Enlarge"},
    {0, ID_ZOOM_REDUCE, "&Reduce"},
    {MF_END, ID_ZOOM_100, "&100%"},
};

const ACCEL kAccel[] = {
    {FVIRTKEY | FCONTROL, 'P', ID_FILE_PRINT},
    {FVIRTKEY | FCONTROL, VK_F2, ID_FILE_PRINT_PREVIEW},
    {FVIRTKEY | FCONTROL, 'F', ID_EDIT_FIND},
    {FVIRTKEY | FCONTROL, 'H', ID_EDIT_REPLACE},
};

// The field that keys each record of the directory's own tables.
const char kRecordKeyField[] = "_IKEY";

std::string g_folder;
std::string g_table = "Data";

}  // namespace

// The directory database of the folder, read-only, with its record cipher keyed.
class CPvGridDoc : public CDocument {
    DECLARE_DYNCREATE(CPvGridDoc)
public:
    BOOL OnNewDocument() override;
    void DeleteContents() override;

    CDaoDatabase m_database;
    std::unique_ptr<CDaoRecordset> m_pRecordset;
    CBlowfishCipher m_cipher;
};
IMPLEMENT_DYNCREATE(CPvGridDoc, CDocument)

BOOL CPvGridDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    const CString path(pvsample::SamplePathsFor(g_folder).databasePath.c_str());
    try {
        m_database.Open(path, FALSE, TRUE, kDirectoryConnect);
        CString values[2];
        if (!ReadApplicationValues(m_database, path, kCipherKeyRows, 2, values, kSortTexts))
            return FALSE;
        m_cipher.SetKey(DeriveCipherKey(values[0], values[1]));
        std::string sql = "SELECT * FROM [" + g_table + "]";
        // People in the directory's own order, as the viewer lists them.
        if (g_table == "Data")
            sql += " ORDER BY Data.[_I" + values[0].str() + "], Data.[_I" + values[1].str() + "]";
        m_pRecordset = std::make_unique<CDaoRecordset>(&m_database);
        m_pRecordset->Open(dbOpenDynaset, sql.c_str(), dbReadOnly);
    } catch (const CDaoException& e) {
        AfxMessageBox(e.m_pErrorInfo->m_strDescription + JetErrorSuffix(e.m_pErrorInfo->m_lErrorCode),
                      MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

void CPvGridDoc::DeleteContents()
{
    if (m_pRecordset && m_pRecordset->IsOpen())
        m_pRecordset->Close();
    m_pRecordset.reset();
    if (m_database.IsOpen())
        m_database.Close();
}

// The record view over the document's recordset, read-only, with the names deciphered.
class CPvGridView : public CGXDaoRecordView {
    DECLARE_DYNCREATE(CPvGridView)
public:
    void OnInitialUpdate() override
    {
        auto* pDoc = static_cast<CPvGridDoc*>(GetDocument());
        AttachParam(new CGXDaoParam, TRUE);
        SetRecordset(pDoc->m_pRecordset.get());
        SetAllowAppend(FALSE);
        // The directory's keyed tables hold their text enciphered; Application and Blank do not.
        m_textFields.clear();
        BOOL bKeyed = FALSE;
        if (CDaoRecordset* pSet = GetRecordset())
            for (short i = 0, n = pSet->GetFieldCount(); i < n; ++i) {
                CDaoFieldInfo info;
                pSet->GetFieldInfo(i, info);
                bKeyed = bKeyed || info.m_strName == kRecordKeyField;
                m_textFields.push_back(info.m_nType == dbText || info.m_nType == dbMemo);
            }
        if (!bKeyed)
            m_textFields.clear();
        CGXDaoRecordView::OnInitialUpdate();
        // Only now: a read-only grid would refuse its own header set-up.
        SetReadOnly(TRUE);
    }

    BOOL ColumnValueText(CString& sText, ROWCOL nCol) override
    {
        if (!CGXDaoRecordView::ColumnValueText(sText, nCol))
            return FALSE;
        const short nField = FieldIndexOfCol(nCol);
        if (nField >= 0 && size_t(nField) < m_textFields.size() && m_textFields[size_t(nField)] && !sText.IsEmpty()) {
            CString plain;
            static_cast<CPvGridDoc*>(GetDocument())->m_cipher.Decrypt(sText, plain);
            sText = plain;
        }
        return TRUE;
    }

    // What the tests read: the first record's row as shown, and where the current cell ends.
    void PrintFirstRecord()
    {
        std::printf("first record:");
        for (ROWCOL nCol = 1, n = std::min<ROWCOL>(ColCount(), 3); nCol <= n; ++nCol)
            std::printf(" [%s]", LPCTSTR(CellValueText(1, nCol)));
        std::printf("\n");
        std::fflush(stdout);
    }

protected:
    afx_msg void OnDestroy()
    {
        ROWCOL nRow = 0, nCol = 0;
        if (QueryCurrentCell(nRow, nCol))
            std::printf("current %u,%u of %u rows\n", unsigned(nRow), unsigned(nCol), unsigned(RowCount()));
        std::fflush(stdout);
        CGXDaoRecordView::OnDestroy();
    }

    std::vector<bool> m_textFields;

    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CPvGridView, CGXDaoRecordView)

BEGIN_MESSAGE_MAP(CPvGridView, CGXDaoRecordView)
    ON_WM_DESTROY()
    ON_COMMAND(ID_ZOOM_ENLARGE, OnZoomIn)
    ON_COMMAND(ID_ZOOM_REDUCE, OnZoomOut)
    ON_COMMAND(ID_ZOOM_100, OnZoom100)
    ON_UPDATE_COMMAND_UI(ID_ZOOM_ENLARGE, OnUpdateZoomIn)
    ON_UPDATE_COMMAND_UI(ID_ZOOM_REDUCE, OnUpdateZoomOut)
END_MESSAGE_MAP()

class CPvGridApp : public CWinApp {
public:
    CPvGridApp() : CWinApp("pvgrid") {}
    BOOL InitInstance() override
    {
        const std::vector<std::string>& args = GetArgs();
        if (args.size() < 2 || args.size() > 3) {
            std::fprintf(stderr, "usage: pvgrid FOLDER [TABLE]\n");
            return FALSE;
        }
        g_folder = args[1];
        if (args.size() == 3)
            g_table = args[2];
        PvRegisterMenu(IDR_PVGRID, kMenu);
        PvRegisterAccelerators(IDR_PVGRID, kAccel);
        InitGridLibraryWithFactory();
        AddDocTemplate(new CSingleDocTemplate(IDR_PVGRID, RUNTIME_CLASS(CPvGridDoc), RUNTIME_CLASS(CFrameWnd),
                                              RUNTIME_CLASS(CPvGridView)));
        OnFileNew();
        if (!m_pMainWnd)
            return FALSE;
        m_pMainWnd->ShowWindow(SW_SHOW);
        m_pMainWnd->UpdateWindow();
        if (auto* pView = dynamic_cast<CPvGridView*>(static_cast<CFrameWnd*>(m_pMainWnd)->GetActiveView()))
            pView->PrintFirstRecord();
        m_bStarted = TRUE;
        return TRUE;
    }
    int ExitInstance() override { return m_bStarted ? CWinApp::ExitInstance() : 1; }

private:
    BOOL m_bStarted = FALSE;
};

CPvGridApp theApp;

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
