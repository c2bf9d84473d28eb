// The please-wait window, the name prompt and the Hints window.

#include "platform/controls/controls.h" // first: the controls' definitions before the framework's
#include "app/DirectoryDialogs.h"

#include "app/Config.h"
#include "resources/directory_ids.h"

// ---- Please wait ----

CPleaseWaitDlg::CPleaseWaitDlg() : CDialog(IDD_PLEASE_WAIT) {}

CPleaseWaitDlg::~CPleaseWaitDlg()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CPleaseWaitDlg::Create(CWnd* pParentWnd)
{
    return CDialog::Create(IDD_PLEASE_WAIT, pParentWnd);
}

void CPleaseWaitDlg::Close()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CPleaseWaitDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    if (!m_bLoaded) {
        m_bLoaded = TRUE;
        HWND hPicture = ::GetDlgItem(m_hWnd, IDC_PLEASE_WAIT_PICTURE);
        if (hPicture && PvLoadMappedBitmap(m_bitmap, IDB_PLEASE_WAIT))
            ::SendMessage(hPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(HBITMAP(m_bitmap)));
    }
    return TRUE;
}

// ---- Name prompt ----

CSaveResultsDlg::CSaveResultsDlg(CWnd* pParent) : CDialog(IDD_SAVE_RESULTS, pParent) {}

BOOL CSaveResultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    return TRUE;
}

void CSaveResultsDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_SAVE_NAME, m_strName);
    DDV_MaxChars(pDX, m_strName, kMaxName);
    DDX_Text(pDX, IDC_SAVE_PROMPT, m_strPrompt);
}

// ---- Hints ----

BEGIN_MESSAGE_MAP(CHintsDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_HINTS_CHECK, OnHintCheck)
END_MESSAGE_MAP()

CHintsDlg::CHintsDlg(CWnd* pParent) : CDialog(IDD_HINTS, pParent) {}

BOOL CHintsDlg::LoadPicture()
{
    BITMAP bm {};
    if (!m_bitmap.GetSafeHandle() && (!m_bitmap.LoadBitmap(IDB_HINTS) || !m_bitmap.GetBitmap(&bm)))
        return FALSE;
    if (bm.bmWidth > 0)
        m_size = CSize(bm.bmWidth, bm.bmHeight);
    return TRUE;
}

int CHintsDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    LoadPicture();
    return 0;
}

void CHintsDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!LoadPicture())
        return;
    CDC mem;
    if (!mem.CreateCompatibleDC(&dc))
        return;
    CBitmap* pOld = mem.SelectObject(&m_bitmap);
    dc.BitBlt(0, 0, m_size.cx, m_size.cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}

// The texts, the buttons and the dialog let the picture show through.
HBRUSH CHintsDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    switch (nCtlColor) {
    case CTLCOLOR_BTN:
    case CTLCOLOR_DLG:
    case CTLCOLOR_STATIC:
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
    default:
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    }
}

void CHintsDlg::OnHintCheck()
{
    m_nHint = m_nHint ? 0 : 1;
    WriteGridHintSetting(m_nHint);
}

void ShowGridHintsDialog(CWnd* pParent)
{
    CHintsDlg dlg(pParent);
    dlg.DoModal();
}
