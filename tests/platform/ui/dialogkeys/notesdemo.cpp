// The notes dialog as a program, for runs driven by PV_SCRIPT: the dialog opens at once over a
// small main window; when it ends, the main window shows (and the program prints) what it gave.

#include "notesdlg.h"

#include <cstdio>

using namespace notesdemo;

namespace {

class MainWindow : public CWnd {
public:
    BOOL CreateMain()
    {
        LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)));
        return CreateEx(0, cls, "Notes demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 560, 400, nullptr, nullptr);
    }
    CString m_result = "The dialog is open.";

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc.TextOut(20, 330, m_result);
    }
    afx_msg void OnDestroy()
    {
        CWnd::OnDestroy();
        ::PostQuitMessage(0);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MainWindow, CWnd)
    ON_WM_PAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

} // namespace

int main()
{
    CWinApp app("Notes demo");
    PvRegisterStandardControls();
    PvRegisterDialog(IDD_NOTES, NotesTemplate());
    MainWindow w;
    if (!w.CreateMain()) return 1;
    app.m_pMainWnd = &w;
    PvSetMainWindow(w.m_hWnd);

    CNotesDlg dlg(&w);
    dlg.m_onEvent = [](const std::string& e) { std::printf("heard: %s\n", e.c_str()); };
    INT_PTR r = dlg.DoModal();
    CString grade = dlg.m_nGrade >= 0 && dlg.m_nGrade < int(std::size(kGrades)) ? kGrades[dlg.m_nGrade] : "";
    w.m_result.Format("%s: notes \"%s\", %s, remind %d", r == IDOK ? "OK" : "Cancel",
                      static_cast<LPCTSTR>(dlg.m_strNotes), static_cast<LPCTSTR>(grade), dlg.m_bRemind);
    std::printf("%s\n", static_cast<LPCTSTR>(w.m_result));
    std::fflush(stdout);
    w.Invalidate();
    while (AfxPumpMessage()) {
    }
    app.m_pMainWnd = nullptr;
    return 0;
}
