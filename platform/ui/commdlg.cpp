// Common dialogs: print and print setup to a PDF file, and the modeless find/replace dialog.

#include "platform/ui/commdlg.h"

#include "platform/ui/winapp.h"
#include "platform/sys/globalmem.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unistd.h>

namespace {
// Control ids of the common dialogs (the classic ones, so that callers may look for them).
const UINT kEdtFile = 1152, kEdtFrom = 1153, kEdtTo = 1154, kRadAll = 1056, kRadSelection = 1057, kRadPages = 1058;
const UINT kRadPortrait = 1056 + 10, kRadLandscape = 1057 + 10;
const UINT kEdtFind = 1152, kEdtReplace = 1153, kChkWord = 1040, kChkCase = 1041, kRadUp = 1056, kRadDown = 1057;
const UINT kBtnReplace = 1024, kBtnReplaceAll = 1025;

const DWORD kBtn = WS_TABSTOP | WS_VISIBLE;
const DWORD kEdit = WS_TABSTOP | WS_VISIBLE | WS_BORDER;

const PvDialogItemTemplate kPrintItems[] = {
    {"STATIC", "Printer:  PDF file", 0xFFFF, WS_VISIBLE, 0, 7, 7, 200, 10},
    {"STATIC", "&File name:", 0xFFFF, WS_VISIBLE, 0, 7, 24, 44, 10},
    {"EDIT", "", kEdtFile, kEdit | WS_GROUP, 0, 52, 22, 160, 13},
    {"BUTTON", "Print range", 0xFFFF, WS_VISIBLE | BS_GROUPBOX, 0, 7, 42, 205, 48},
    {"BUTTON", "&All", kRadAll, kBtn | WS_GROUP | BS_AUTORADIOBUTTON, 0, 14, 54, 40, 10},
    {"BUTTON", "&Selection", kRadSelection, kBtn | BS_AUTORADIOBUTTON, 0, 80, 54, 60, 10},
    {"BUTTON", "Pa&ges", kRadPages, kBtn | BS_AUTORADIOBUTTON, 0, 14, 70, 40, 10},
    {"STATIC", "&from:", 0xFFFF, WS_VISIBLE, 0, 58, 71, 20, 10},
    {"EDIT", "", kEdtFrom, kEdit | WS_GROUP, 0, 80, 69, 30, 13},
    {"STATIC", "&to:", 0xFFFF, WS_VISIBLE, 0, 116, 71, 14, 10},
    {"EDIT", "", kEdtTo, kEdit, 0, 132, 69, 30, 13},
    {"BUTTON", "OK", IDOK, kBtn | WS_GROUP | BS_DEFPUSHBUTTON, 0, 106, 98, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, kBtn, 0, 162, 98, 50, 14},
};
const PvDialogTemplate kPrintTemplate = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 219, 119,
                                         "Print", nullptr, 0, kPrintItems, std::size(kPrintItems)};

const PvDialogItemTemplate kSetupItems[] = {
    {"STATIC", "Printer:  PDF file", 0xFFFF, WS_VISIBLE, 0, 7, 7, 200, 10},
    {"STATIC", "&File name:", 0xFFFF, WS_VISIBLE, 0, 7, 24, 44, 10},
    {"EDIT", "", kEdtFile, kEdit | WS_GROUP, 0, 52, 22, 160, 13},
    {"BUTTON", "Orientation", 0xFFFF, WS_VISIBLE | BS_GROUPBOX, 0, 7, 42, 205, 40},
    {"BUTTON", "P&ortrait", kRadPortrait, kBtn | WS_GROUP | BS_AUTORADIOBUTTON, 0, 14, 54, 80, 10},
    {"BUTTON", "L&andscape", kRadLandscape, kBtn | BS_AUTORADIOBUTTON, 0, 14, 67, 80, 10},
    {"BUTTON", "OK", IDOK, kBtn | WS_GROUP | BS_DEFPUSHBUTTON, 0, 106, 90, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, kBtn, 0, 162, 90, 50, 14},
};
const PvDialogTemplate kSetupTemplate = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 219, 111,
                                         "Print Setup", nullptr, 0, kSetupItems, std::size(kSetupItems)};

const PvDialogItemTemplate kFindItems[] = {
    {"STATIC", "Fi&nd what:", 0xFFFF, WS_VISIBLE, 0, 6, 9, 46, 10},
    {"EDIT", "", kEdtFind, kEdit | WS_GROUP, 0, 54, 7, 114, 13},
    {"BUTTON", "Match &whole word only", kChkWord, kBtn | WS_GROUP | BS_AUTOCHECKBOX, 0, 6, 30, 100, 12},
    {"BUTTON", "Match &case", kChkCase, kBtn | BS_AUTOCHECKBOX, 0, 6, 44, 64, 12},
    {"BUTTON", "Direction", 0xFFFF, WS_VISIBLE | BS_GROUPBOX, 0, 107, 26, 68, 28},
    {"BUTTON", "&Up", kRadUp, kBtn | WS_GROUP | BS_AUTORADIOBUTTON, 0, 111, 38, 25, 12},
    {"BUTTON", "&Down", kRadDown, kBtn | BS_AUTORADIOBUTTON, 0, 138, 38, 35, 12},
    {"BUTTON", "&Find Next", IDOK, kBtn | WS_GROUP | BS_DEFPUSHBUTTON, 0, 182, 5, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, kBtn, 0, 182, 23, 50, 14},
};
const PvDialogTemplate kFindTemplate = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 30, 73, 236, 62,
                                        "Find", nullptr, 0, kFindItems, std::size(kFindItems)};

const PvDialogItemTemplate kReplaceItems[] = {
    {"STATIC", "Fi&nd what:", 0xFFFF, WS_VISIBLE, 0, 4, 9, 48, 10},
    {"EDIT", "", kEdtFind, kEdit | WS_GROUP, 0, 54, 7, 114, 13},
    {"STATIC", "Re&place with:", 0xFFFF, WS_VISIBLE, 0, 4, 26, 48, 10},
    {"EDIT", "", kEdtReplace, kEdit | WS_GROUP, 0, 54, 24, 114, 13},
    {"BUTTON", "Match &whole word only", kChkWord, kBtn | WS_GROUP | BS_AUTOCHECKBOX, 0, 5, 46, 104, 12},
    {"BUTTON", "Match &case", kChkCase, kBtn | BS_AUTOCHECKBOX, 0, 5, 62, 59, 12},
    {"BUTTON", "&Find Next", IDOK, kBtn | WS_GROUP | BS_DEFPUSHBUTTON, 0, 174, 4, 50, 14},
    {"BUTTON", "&Replace", kBtnReplace, kBtn, 0, 174, 21, 50, 14},
    {"BUTTON", "Replace &All", kBtnReplaceAll, kBtn, 0, 174, 38, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, kBtn, 0, 174, 55, 50, 14},
};
const PvDialogTemplate kReplaceTemplate = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 36, 44, 230, 78,
                                           "Replace", nullptr, 0, kReplaceItems, std::size(kReplaceItems)};

CString itemText(HWND hDlg, UINT id, const CString& fallback)
{
    HWND h = ::GetDlgItem(hDlg, int(id));
    if (!h) return fallback;
    CString s;
    CWnd::FromHandle(h)->GetWindowText(s);
    return s;
}

CString defaultOutput()
{
    char cwd[MAX_PATH + 1] = {};
    CString dir = getcwd(cwd, MAX_PATH) ? CString(cwd) : CString(".");
    CString name = AfxGetApp() ? CString(AfxGetAppName()) : CString("output");
    return dir + "/" + name + ".pdf";
}

UINT g_findMsg = 0;
std::map<const FINDREPLACE*, CFindReplaceDialog*>& Finders()
{
    static auto* m = new std::map<const FINDREPLACE*, CFindReplaceDialog*>;
    return *m;
}
} // namespace

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

// ---- CPrintDialog ----
IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

PvPrinterSettings& CPrintDialog::PvSettings()
{
    static PvPrinterSettings s;
    return s;
}

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParent)
    : CCommonDialog(pParent), m_pd(m_pdActual), m_bPrintSetup(bPrintSetupOnly)
{
    m_pd.lStructSize = sizeof(PRINTDLG);
    m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = 1;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_lpDialogTemplate = bPrintSetupOnly ? &kSetupTemplate : &kPrintTemplate;
    m_strFileName = PvSettings().outputPath.IsEmpty() ? defaultOutput() : PvSettings().outputPath;
}

// Blocks the dialog made and nobody took (by clearing m_pd's handles) go with it.
CPrintDialog::~CPrintDialog()
{
    if (m_hMadeNames && m_pd.hDevNames == m_hMadeNames)
        GlobalFree(m_hMadeNames);
    if (m_hMadeMode && m_pd.hDevMode == m_hMadeMode)
        GlobalFree(m_hMadeMode);
}

// Blocks handed in choose the printer's settings, when they are whole.
void CPrintDialog::TakeDevBlocks()
{
    if (!m_pd.hDevNames)
        return;
    const std::vector<BYTE> names = PvGlobalBytes(m_pd.hDevNames), mode = PvGlobalBytes(m_pd.hDevMode);
    PvPrinterSettings s = PvSettings();
    if (!PvSettingsFromDevBlocks(names.data(), names.size(), mode.data(), mode.size(), s))
        return;
    PvSettings() = s;
    if (!s.outputPath.IsEmpty())
        m_strFileName = s.outputPath;
}

// The chosen printer as fresh blocks; the ones handed in are freed.
void CPrintDialog::FillDevBlocks()
{
    PvPrinterSettings s = PvSettings();
    s.outputPath = m_strFileName;
    const std::vector<BYTE> names = PvMakeDevNames(s), mode = PvMakeDevMode(s);
    if (m_pd.hDevNames)
        GlobalFree(m_pd.hDevNames);
    if (m_pd.hDevMode)
        GlobalFree(m_pd.hDevMode);
    m_pd.hDevNames = m_hMadeNames = PvGlobalCopy(names.data(), names.size());
    m_pd.hDevMode = m_hMadeMode = PvGlobalCopy(mode.data(), mode.size());
}

INT_PTR CPrintDialog::DoModal()
{
    m_lpDialogTemplate = m_bPrintSetup ? &kSetupTemplate : &kPrintTemplate;
    TakeDevBlocks();
    INT_PTR r = CDialog::DoModal();
    if (r == IDOK)
        FillDevBlocks();
    if (r == IDOK && !m_bPrintSetup && (m_pd.Flags & PD_RETURNDC) && !m_pd.hDC) m_pd.hDC = CreatePrinterDC();
    return r;
}

BOOL CPrintDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kEdtFile, m_strFileName);
    if (m_bPrintSetup) {
        CheckDlgButton(PvSettings().landscape ? kRadLandscape : kRadPortrait, BST_CHECKED);
        return TRUE;
    }
    const bool pages = (m_pd.Flags & PD_PAGENUMS) != 0;
    const bool selection = !pages && (m_pd.Flags & PD_SELECTION) && !(m_pd.Flags & PD_NOSELECTION);
    CheckDlgButton(pages ? kRadPages : selection ? kRadSelection : kRadAll, BST_CHECKED);
    if (m_pd.Flags & PD_NOSELECTION)
        if (CWnd* w = GetDlgItem(int(kRadSelection))) w->EnableWindow(FALSE);
    SetDlgItemInt(kEdtFrom, m_pd.nFromPage, FALSE);
    SetDlgItemInt(kEdtTo, m_pd.nToPage == 0xFFFF ? m_pd.nFromPage : m_pd.nToPage, FALSE);
    if (m_pd.Flags & PD_NOPAGENUMS)
        for (UINT id : {kRadPages, kEdtFrom, kEdtTo})
            if (CWnd* w = GetDlgItem(int(id))) w->EnableWindow(FALSE);
    return TRUE;
}

void CPrintDialog::OnOK()
{
    CString file = itemText(m_hWnd, kEdtFile, m_strFileName);
    file.Trim();
    if (file.IsEmpty()) {
        AfxMessageBox("Enter the name of the file to print to.", MB_ICONEXCLAMATION);
        if (CWnd* w = GetDlgItem(kEdtFile)) GotoDlgCtrl(w);
        return;
    }
    if (m_bPrintSetup) {
        if (GetDlgItem(kRadLandscape)) PvSettings().landscape = IsDlgButtonChecked(kRadLandscape) == BST_CHECKED;
        m_strFileName = file;
        PvSettings().outputPath = file;
        EndDialog(IDOK);
        return;
    }
    if (GetDlgItem(kRadPages) && IsDlgButtonChecked(kRadPages) == BST_CHECKED) {
        BOOL okFrom = FALSE, okTo = FALSE;
        UINT from = GetDlgItemInt(kEdtFrom, &okFrom, FALSE), to = GetDlgItemInt(kEdtTo, &okTo, FALSE);
        if (!okFrom || !okTo || from < m_pd.nMinPage || to > m_pd.nMaxPage || from > to || from == 0) {
            CString msg;
            msg.Format("This value is not in the page range.\nEnter a number between %u and %u.", unsigned(m_pd.nMinPage),
                       unsigned(m_pd.nMaxPage));
            AfxMessageBox(msg, MB_ICONEXCLAMATION);
            if (CWnd* w = GetDlgItem(kEdtFrom)) GotoDlgCtrl(w);
            return;
        }
        m_pd.Flags = (m_pd.Flags & ~DWORD(PD_SELECTION)) | PD_PAGENUMS;
        m_pd.nFromPage = WORD(from);
        m_pd.nToPage = WORD(to);
    } else if (GetDlgItem(kRadSelection) && IsDlgButtonChecked(kRadSelection) == BST_CHECKED) {
        m_pd.Flags = (m_pd.Flags & ~DWORD(PD_PAGENUMS)) | PD_SELECTION;
    } else {
        m_pd.Flags &= ~DWORD(PD_PAGENUMS | PD_SELECTION);
    }
    m_strFileName = file;
    PvSettings().outputPath = file;
    EndDialog(IDOK);
}

BOOL CPrintDialog::GetDefaults()
{
    if (m_strFileName.IsEmpty()) m_strFileName = defaultOutput();
    FillDevBlocks();
    if ((m_pd.Flags & PD_RETURNDC) && !m_pd.hDC) m_pd.hDC = CreatePrinterDC();
    return TRUE;
}

HDC CPrintDialog::CreatePrinterDC()
{
    PvPrinterSettings s = PvSettings();
    s.outputPath = m_strFileName;
    return PvCreatePdfPrinterDC(s);
}

// ---- CFindReplaceDialog ----
IMPLEMENT_DYNAMIC(CFindReplaceDialog, CCommonDialog)

CFindReplaceDialog::CFindReplaceDialog() : CCommonDialog(nullptr)
{
    m_fr.lStructSize = sizeof(FINDREPLACE);
    m_fr.lpstrFindWhat = m_szFindWhat;
    m_fr.lpstrReplaceWith = m_szReplaceWith;
    m_fr.wFindWhatLen = sizeof m_szFindWhat;
    m_fr.wReplaceWithLen = sizeof m_szReplaceWith;
    if (!g_findMsg) g_findMsg = ::RegisterWindowMessage(FINDMSGSTRING);
}

static void copyBounded(char* dst, size_t cap, LPCTSTR src)
{
    // Keeps whole UTF-8 characters only.
    size_t n = src ? std::strlen(src) : 0;
    if (n >= cap) {
        n = cap - 1;
        while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80) --n;
    }
    if (n) std::memcpy(dst, src, n);
    dst[n] = 0;
}

BOOL CFindReplaceDialog::Create(BOOL bFindOnly, LPCTSTR what, LPCTSTR with, DWORD dwFlags, CWnd* pParent)
{
    m_bFindOnly = bFindOnly;
    copyBounded(m_szFindWhat, sizeof m_szFindWhat, what);
    copyBounded(m_szReplaceWith, sizeof m_szReplaceWith, with);
    m_fr.Flags = dwFlags;
    CWnd* notify = pParent ? pParent : AfxGetMainWnd();
    m_hWndNotify = notify ? notify->m_hWnd : nullptr;
    m_fr.hwndOwner = m_hWndNotify;
    Finders()[&m_fr] = this;
    PvDialogTemplate t = bFindOnly ? kFindTemplate : kReplaceTemplate;
    t.dwStyle |= WS_VISIBLE;
    static PvDialogTemplate s_find, s_replace; // the template must outlive the window
    PvDialogTemplate& keep = bFindOnly ? s_find : s_replace;
    keep = t;
    if (!CreateIndirect(&keep, notify)) {
        Finders().erase(&m_fr);
        return FALSE;
    }
    return TRUE;
}

CFindReplaceDialog* CFindReplaceDialog::GetNotifier(LPARAM lParam)
{
    auto it = Finders().find(reinterpret_cast<const FINDREPLACE*>(lParam));
    return it == Finders().end() ? nullptr : it->second;
}

BOOL CFindReplaceDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kEdtFind, m_szFindWhat);
    if (!m_bFindOnly) SetDlgItemText(kEdtReplace, m_szReplaceWith);
    CheckDlgButton(kChkWord, (m_fr.Flags & FR_WHOLEWORD) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kChkCase, (m_fr.Flags & FR_MATCHCASE) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton((m_fr.Flags & FR_DOWN) ? kRadDown : kRadUp, BST_CHECKED);
    struct Hide {
        DWORD flag;
        UINT id;
    };
    for (Hide h : {Hide {FR_HIDEWHOLEWORD, kChkWord}, Hide {FR_HIDEMATCHCASE, kChkCase}, Hide {FR_HIDEUPDOWN, kRadUp},
                   Hide {FR_HIDEUPDOWN, kRadDown}})
        if ((m_fr.Flags & h.flag) && GetDlgItem(int(h.id))) GetDlgItem(int(h.id))->ShowWindow(SW_HIDE);
    for (Hide h : {Hide {FR_NOWHOLEWORD, kChkWord}, Hide {FR_NOMATCHCASE, kChkCase}, Hide {FR_NOUPDOWN, kRadUp},
                   Hide {FR_NOUPDOWN, kRadDown}})
        if ((m_fr.Flags & h.flag) && GetDlgItem(int(h.id))) GetDlgItem(int(h.id))->EnableWindow(FALSE);
    return TRUE;
}

void CFindReplaceDialog::Notify(DWORD dwFlag)
{
    if (dwFlag != FR_DIALOGTERM) {
        copyBounded(m_szFindWhat, sizeof m_szFindWhat, itemText(m_hWnd, kEdtFind, m_szFindWhat));
        if (!m_bFindOnly) copyBounded(m_szReplaceWith, sizeof m_szReplaceWith, itemText(m_hWnd, kEdtReplace, m_szReplaceWith));
        DWORD f = m_fr.Flags & ~DWORD(FR_WHOLEWORD | FR_MATCHCASE | FR_DOWN);
        if (GetDlgItem(kChkWord) ? IsDlgButtonChecked(kChkWord) : (m_fr.Flags & FR_WHOLEWORD)) f |= FR_WHOLEWORD;
        if (GetDlgItem(kChkCase) ? IsDlgButtonChecked(kChkCase) : (m_fr.Flags & FR_MATCHCASE)) f |= FR_MATCHCASE;
        if (GetDlgItem(kRadDown) ? IsDlgButtonChecked(kRadDown) : (m_fr.Flags & FR_DOWN)) f |= FR_DOWN;
        m_fr.Flags = f;
    }
    m_fr.Flags = (m_fr.Flags & ~DWORD(FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_DIALOGTERM)) | dwFlag;
    if (m_hWndNotify && ::IsWindow(m_hWndNotify))
        ::SendMessage(m_hWndNotify, g_findMsg, 0, reinterpret_cast<LPARAM>(&m_fr));
}

void CFindReplaceDialog::OnOK() { Notify(FR_FINDNEXT); }

void CFindReplaceDialog::OnCancel()
{
    Notify(FR_DIALOGTERM);
    DestroyWindow();
}

BOOL CFindReplaceDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nCode == CN_COMMAND && !m_bFindOnly && (nID == kBtnReplace || nID == kBtnReplaceAll)) {
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            return TRUE;
        }
        Notify(nID == kBtnReplace ? FR_REPLACE : FR_REPLACEALL);
        return TRUE;
    }
    return CCommonDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFindReplaceDialog::PostNcDestroy()
{
    // The modeless dialog belongs to nobody once its window has gone.
    Finders().erase(&m_fr);
    delete this;
}
