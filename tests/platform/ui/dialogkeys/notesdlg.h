#pragma once
// The notes dialog of the dialog-keyboard tests and of the notes demo: a multi-line notes field,
// a drop-down grade list, a check box and OK/Cancel, each reachable by its mnemonic.

#include "platform/controls/controls.h"
#include "platform/ui/ui.h"

#include <functional>
#include <string>

namespace notesdemo {

const UINT IDD_NOTES = 700;
const UINT IDC_NOTES_LABEL = 701, IDC_NOTES = 702, IDC_GRADE_LABEL = 703, IDC_GRADE = 704, IDC_REMIND = 705;

inline const PvDialogTemplate& NotesTemplate()
{
    static const PvDialogItemTemplate items[] = {
        {"STATIC", "&Notes:", IDC_NOTES_LABEL, WS_VISIBLE, 0, 7, 7, 60, 8},
        {"EDIT", "", IDC_NOTES, WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 7,
         17, 180, 44},
        {"STATIC", "&Grade:", IDC_GRADE_LABEL, WS_VISIBLE, 0, 7, 70, 30, 8},
        {"COMBOBOX", "", IDC_GRADE, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 40, 68, 100, 70},
        {"BUTTON", "&Remind me", IDC_REMIND, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 86, 80, 10},
        {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 80, 102, 50, 14},
        {"BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 0, 137, 102, 50, 14},
    };
    static const PvDialogTemplate t = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 20, 20, 194, 122, "Notes",
                                       nullptr, 0, items, std::size(items)};
    return t;
}

inline const char* const kGrades[] = {"Kindergarten", "Grade 1", "Grade 2", "Grade 3", "Grade 4"};

class CNotesDlg : public CDialog {
public:
    explicit CNotesDlg(CWnd* parent = nullptr) : CDialog(IDD_NOTES, parent) {}

    CString m_strNotes;
    int m_nGrade = 1;
    int m_bRemind = 0;
    // What the dialog heard from its controls, in order ("grade SELENDOK", "ok").
    std::function<void(const std::string&)> m_onEvent;

    BOOL OnInitDialog() override
    {
        for (const char* g : kGrades) SendDlgItemMessage(IDC_GRADE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g));
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NOTES, m_strNotes);
        DDX_Check(pDX, IDC_REMIND, m_bRemind);
        HWND grade = ::GetDlgItem(m_hWnd, IDC_GRADE);
        if (pDX->m_bSaveAndValidate) m_nGrade = int(::SendMessage(grade, CB_GETCURSEL, 0, 0));
        else ::SendMessage(grade, CB_SETCURSEL, WPARAM(m_nGrade), 0);
    }

protected:
    void event(const std::string& e)
    {
        if (m_onEvent) m_onEvent(e);
    }
    void OnOK() override
    {
        event("ok");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        event("cancel");
        CDialog::OnCancel();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        UINT code = HIWORD(wParam);
        switch (LOWORD(wParam)) {
        case IDC_NOTES:
            if (code == EN_SETFOCUS) event("notes SETFOCUS");
            if (code == EN_KILLFOCUS) event("notes KILLFOCUS");
            break;
        case IDC_GRADE:
            if (code == CBN_SETFOCUS) event("grade SETFOCUS");
            if (code == CBN_KILLFOCUS) event("grade KILLFOCUS");
            if (code == CBN_DROPDOWN) event("grade DROPDOWN");
            if (code == CBN_SELENDOK) event("grade SELENDOK");
            if (code == CBN_SELENDCANCEL) event("grade SELENDCANCEL");
            if (code == CBN_CLOSEUP) event("grade CLOSEUP");
            break;
        case IDC_REMIND:
            if (code == BN_CLICKED) event("remind CLICKED");
            break;
        default: break;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
};

} // namespace notesdemo
