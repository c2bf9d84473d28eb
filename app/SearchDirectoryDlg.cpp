// The Search Directory dialog and the statement it builds.

#include "app/SearchDirectoryDlg.h"

#include "app/AppTable.h"
#include "platform/base/textcase.h"
#include "platform/dao/dao.h"
#include "platform/ui/winapp.h"
#include "resources/directory_ids.h"

#include <algorithm>

namespace {

const char kNoConditions[] = "You have not entered any search conditions.  Would you like to try again?";
const char kInitError[] = "Error initializing search dialog !  ";
const char kCdHelp[] = "\nMake sure the Paravel CD is in the CD-Rom Drive.\nIf the problem persists, re-install the Paravel "
                       "program, or read Help for information on technical support.";
// A field's data ranks run from 2; 9999999 lies above every one.
const char kAllWithData[] = " BETWEEN 2 AND 9999999";
constexpr long kAboveAllRanks = 9999999;
// The strip the entry controls take below the dialog's own controls, in pixels.
constexpr int kEntryStrip = 75;
constexpr int kHintLeft = 27, kHintWidth = 500, kHintHeight = 14;
// A drop-down list's height includes its list.
constexpr int kComboListHeight = 150;
constexpr int kComboDroppedWidth = 50;
constexpr int kMoveUp = 40;
// The edit part of a combo box.
constexpr int kComboEditId = 1001;

CString Between(long lo, long hi)
{
    CString s;
    s.Format(" BETWEEN %ld AND %ld", lo, hi);
    return s;
}

long JetError(const CDaoException& e) { return e.m_pErrorInfo ? e.m_pErrorInfo->m_lErrorCode : 0; }

} // namespace

// ---- Criteria ----

CString CSearchField::ConditionLine(size_t i) const
{
    const CString& value = i < m_values.size() ? m_values[i] : CString();
    return (i == 0 ? "Where " : "     OR ") + m_strDisplay + " = " + value;
}

CSearchFieldArray& CSearchFieldArray::Instance()
{
    static CSearchFieldArray s_array;
    return s_array;
}

CSearchField* CSearchFieldArray::Add(std::unique_ptr<CSearchField> pField)
{
    m_fields.push_back(std::move(pField));
    return m_fields.back().get();
}

// ---- The statement ----

CString SearchValueBounds(CKeyRangeSearch& search, const CString& strField, const CString& strValue)
{
    long lo = 0, hi = 0;
    const int dash = strValue.Find("\"-\"");
    if (dash >= 0) {
        const CString x = strValue.Left(dash), y = strValue.Mid(dash + 3);
        // Both ends are values that exist: the first at or above x, the last at or below y (or the
        // last starting with y's text before a "*"); an end beyond every value finds nothing.
        search.FindFirstAtOrAbove(strField, x, lo);
        const int star = y.Find('*');
        if (star < 0)
            search.FindLastAtOrBelow(strField, y, hi);
        else if (star > 0)
            search.FindPrefixUpperBound(strField, y.Left(star), hi);
        else
            hi = kAboveAllRanks;
        if (lo <= 0 || hi < lo)
            lo = hi = 0;
        return Between(lo, hi);
    }
    const int star = strValue.Find('*');
    if (star == 0)
        return kAllWithData;
    if (star > 0) {
        // Whether or not the value is the criterion's last: a prefix nothing starts with finds nothing.
        const CString prefix = strValue.Left(star);
        search.FindPrefixLowerBound(strField, prefix, lo);
        search.FindPrefixUpperBound(strField, prefix, hi);
    } else {
        search.FindLowerBound(strField, strValue, lo);
        search.FindUpperBound(strField, strValue, hi);
    }
    if (lo < 0)
        lo = hi = 0;
    return Between(lo, hi);
}

BOOL BuildSearchStatement(const CSearchFieldArray& fields, CKeyRangeSearch& search, const CString& strSort,
                          CString& strSelect, CString& strFrom, CString& strWhere)
{
    strSelect = "SELECT DATA.* ";
    strFrom = "DATA ";
    strWhere.Empty();
    // Tables are named exactly: one whose name holds another's still gets its own join.
    std::vector<CString> joined{"DATA"};
    CString lastTable;
    for (INT_PTR i = 0; i < fields.GetSize(); ++i) {
        const CSearchField& f = *fields.GetAt(i);
        if (f.m_values.empty())
            continue;
        const CString table(PvUpperCase(f.m_strTable.str()).c_str());
        if (table != lastTable) {
            if (!search.Open(table)) {
                strWhere.Empty();
                return FALSE;
            }
            lastTable = table;
        }
        if (std::find(joined.begin(), joined.end(), table) == joined.end()) {
            strFrom = "(" + strFrom + " ) LEFT JOIN [" + table + "] ON DATA.[_IKEY] = [" + table + "].[_IKEY] ";
            joined.push_back(table);
        }
        if (table != "DATA")
            strSelect += ", [" + table + "].[" + f.m_strField + "] , [" + table + "].[_I" + f.m_strField + "] ";
        strWhere += strWhere.IsEmpty() ? "WHERE (" : ") AND (";
        for (size_t v = 0; v < f.m_values.size(); ++v) {
            if (v > 0)
                strWhere += " OR ";
            strWhere += "[" + table + "].[_I" + f.m_strField + "]" + SearchValueBounds(search, f.m_strField, f.m_values[v]);
            // The first failure ends the build: one message, and no statement with stale ranks.
            if (search.Failed()) {
                strWhere.Empty();
                return FALSE;
            }
        }
    }
    if (!strWhere.IsEmpty()) {
        strWhere += ")";
        strFrom = "FROM " + strFrom;
        if (!strSort.IsEmpty())
            strWhere += " ORDER BY " + strSort;
    }
    return TRUE;
}

// ---- The lookup list ----

BOOL CLookupComboBox::FillFromTable(CDaoDatabase* pDatabase, const CString& strTable)
{
    ResetContent();
    m_actual.clear();
    CDaoTableDef tableDef(pDatabase);
    try {
        tableDef.Open(strTable);
    } catch (const CDaoException& e) {
        AfxMessageBox(kInitError + CString("Unable to open table ") + strTable +
                          ".\nMake sure the Paravel CD is in the CD-Rom Drive.  If the problem persists, re-install the "
                          "Paravel program, or read Help for information on technical support." + JetErrorSuffix(JetError(e)),
                      MB_ICONEXCLAMATION);
        return FALSE;
    }
    try {
        CDaoRecordset set(pDatabase);
        if (tableDef.FieldExists("_ISortOrder")) {
            set.Open(dbOpenDynaset, "Select * from [" + strTable + "] ORDER BY [_ISortOrder]");
        } else {
            set.Open(&tableDef, dbOpenTable);
            set.SetCurrentIndex("Default");
        }
        for (; !set.IsEOF(); set.MoveNext()) {
            const int nItem = AddString(VariantText(set.GetFieldValue("Display")));
            if (nItem < 0)
                continue;
            m_actual.push_back(VariantText(set.GetFieldValue("Actual")));
            SetItemData(nItem, DWORD_PTR(m_actual.size() - 1));
        }
    } catch (const CDaoException& e) {
        AfxMessageBox(kInitError + CString(kCdHelp) + JetErrorSuffix(JetError(e)) + " " +
                          (e.m_pErrorInfo ? e.m_pErrorInfo->m_strDescription : CString()),
                      MB_ICONEXCLAMATION);
    } catch (const COleException&) {
        // a row without a text form adds nothing
    }
    SetCurSel(0);
    SetDroppedWidth(kComboDroppedWidth);
    return TRUE;
}

CString CLookupComboBox::GetActual(int nIndex) const
{
    const DWORD_PTR k = GetItemData(nIndex);
    return k < m_actual.size() ? m_actual[k] : CString();
}

// ---- The dialog ----

BEGIN_MESSAGE_MAP(CSearchDirectoryDlg, CDialog)
    ON_BN_CLICKED(IDC_SEARCH_ADD, OnAdd)
    ON_BN_CLICKED(IDC_SEARCH_ENTER, OnAdd)
    ON_CONTROL(LBN_DBLCLK, IDC_SEARCH_CRITERIA, OnAdd)
    ON_BN_CLICKED(IDC_SEARCH_REMOVE, OnRemove)
    ON_CONTROL(LBN_DBLCLK, IDC_SEARCH_CONDITIONS, OnRemove)
    ON_BN_CLICKED(IDC_SEARCH_REMOVE_ALL, OnRemoveAll)
    ON_BN_CLICKED(IDC_SEARCH_FIND_NOW, OnFindNow)
    ON_CONTROL(LBN_SELCHANGE, IDC_SEARCH_CRITERIA, OnCriteriaSelChange)
END_MESSAGE_MAP()

CSearchDirectoryDlg::CSearchDirectoryDlg(CWnd* pParent) : CDialog(IDD_SEARCH_DIRECTORY, pParent) {}

CSearchDirectoryDlg::~CSearchDirectoryDlg() = default;

INT_PTR CSearchDirectoryDlg::DoSearchModal(BOOL bClear)
{
    CSearchFieldArray& fields = CSearchFieldArray::Instance();
    m_bCleared = bClear;
    m_savedValues.clear();
    if (bClear) {
        for (INT_PTR i = 0; i < fields.GetSize(); ++i) {
            m_savedValues.push_back(fields.GetAt(i)->m_values);
            fields.GetAt(i)->m_values.clear();
        }
    }
    return DoModal();
}

void CSearchDirectoryDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SEARCH_CRITERIA, m_criteria);
    DDX_Control(pDX, IDC_SEARCH_CONDITIONS, m_conditions);
}

BOOL CSearchDirectoryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* pHint = GetDlgItem(IDC_SEARCH_HINT))
        pHint->ShowWindow(SW_HIDE);
    SetWindowText(m_strCaption);
    CenterWindow();
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(0, -kMoveUp);
    MoveWindow(&rc);
    SetDefID(IDC_SEARCH_FIND_NOW);

    CListBox* pCriteria = Criteria();
    pCriteria->AddString("Retrieving fields...");
    m_search.m_pDatabase = m_pDatabase;
    m_search.m_pCipher = m_pCipher;
    CSearchFieldArray& fields = CSearchFieldArray::Instance();
    const BOOL bFirst = fields.GetSize() == 0;
    try {
        CDaoRecordset set(m_pDatabase);
        set.Open(dbOpenDynaset, "SELECT * FROM qsearch ORDER BY Sequence");
        for (INT_PTR n = 0; !set.IsEOF(); set.MoveNext(), ++n) {
            CString display = VariantText(set.GetFieldValue("Display"));
            display.TrimRight();
            const int nItem = pCriteria->AddString(display);
            CSearchField* pField = nullptr;
            if (bFirst) {
                auto p = std::make_unique<CSearchField>();
                p->m_strDisplay = display;
                p->m_strControl = VariantText(set.GetFieldValue("Control"));
                p->m_strTable = VariantText(set.GetFieldValue("Table"));
                p->m_strField = VariantText(set.GetFieldValue("Field"));
                p->m_strHelper = VariantText(set.GetFieldValue("Helper"));
                COleVariant seq = set.GetFieldValue("Sequence");
                p->m_nSequence = seq.vt == VT_NULL ? 0 : (seq.ChangeType(VT_I4), long(seq.lVal));
                pField = fields.Add(std::move(p));
            } else if (n < fields.GetSize()) {
                pField = fields.GetAt(n);
                for (size_t v = 0; v < pField->m_values.size(); ++v) {
                    const int nLine = Conditions()->AddString(pField->ConditionLine(v));
                    Conditions()->SetItemDataPtr(nLine, pField);
                }
            }
            pCriteria->SetItemDataPtr(nItem, pField);
        }
    } catch (const CDaoException& e) {
        AfxMessageBox(kInitError + CString(kCdHelp) + JetErrorSuffix(JetError(e)) + " " +
                          (e.m_pErrorInfo ? e.m_pErrorInfo->m_strDescription : CString()),
                      MB_ICONEXCLAMATION);
    } catch (const COleException&) {
        // a criterion without a text form is left out
    }
    pCriteria->DeleteString(0);
    pCriteria->SetFocus();
    return FALSE; // the focus is set
}

CSearchField* CSearchDirectoryDlg::SelectedCriterion()
{
    const int nSel = Criteria()->GetCurSel();
    return nSel < 0 ? nullptr : static_cast<CSearchField*>(Criteria()->GetItemDataPtr(nSel));
}

void CSearchDirectoryDlg::CreateEntryControls(CSearchField* pField)
{
    DestroyEntryControls();
    m_retired.clear();
    CRect rcClient;
    GetClientRect(&rcClient);
    const int top = rcClient.bottom;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    rcWindow.bottom += kEntryStrip;
    MoveWindow(&rcWindow);
    if (CWnd* pHint = GetDlgItem(IDC_SEARCH_HINT)) {
        pHint->MoveWindow(kHintLeft, top + 4, kHintWidth, kHintHeight);
        pHint->ShowWindow(SW_SHOW);
    }
    CString display = pField->m_strDisplay;
    display.Replace("&", "&&");
    const BOOL bCombo = pField->m_strControl == "COMBO";
    m_pPrompt = std::make_unique<CStatic>();
    m_pPrompt->Create(bCombo ? "Select " + display + " from drop down menu:" : "Enter " + display + ":",
                      WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(kHintLeft, top + 26, kHintLeft + 220, top + 42), this,
                      IDC_SEARCH_PROMPT);
    m_pEnter = std::make_unique<CButton>();
    m_pEnter->Create("&Enter", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                     CRect(kHintLeft + 430, top + 22, kHintLeft + 500, top + 46), this, IDC_SEARCH_ENTER);
    SetDefID(IDC_SEARCH_ENTER);
    const CRect rcEntry(kHintLeft + 225, top + 24, kHintLeft + 420, top + 44);
    if (bCombo) {
        m_pCombo = std::make_unique<CLookupComboBox>();
        m_pCombo->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                         CRect(rcEntry.left, rcEntry.top, rcEntry.right, rcEntry.bottom + kComboListHeight), this,
                         IDC_SEARCH_COMBO);
        m_pCombo->FillFromTable(m_pDatabase, pField->m_strHelper);
        m_pCombo->SetFocus();
    } else {
        m_pEdit = std::make_unique<CSearchEdit>();
        m_pEdit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, rcEntry, this, IDC_SEARCH_EDIT);
        m_pEdit->SetFocus();
    }
}

void CSearchDirectoryDlg::DestroyEntryControls()
{
    if (!HasEntryControls())
        return;
    const HWND hFocus = ::GetFocus();
    const BOOL bHadFocus = hFocus && ((m_pEdit && hFocus == m_pEdit->m_hWnd) || (m_pCombo && ::IsChild(m_pCombo->m_hWnd, hFocus)) ||
                                      (m_pCombo && hFocus == m_pCombo->m_hWnd) || (m_pEnter && hFocus == m_pEnter->m_hWnd));
    // A control's own click may be what removes it: its object outlives the message.
    auto retire = [this](auto& p) {
        if (!p)
            return;
        if (p->m_hWnd)
            p->DestroyWindow();
        m_retired.push_back(std::move(p));
    };
    retire(m_pPrompt);
    retire(m_pEnter);
    retire(m_pEdit);
    retire(m_pCombo);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    rcWindow.bottom -= kEntryStrip;
    MoveWindow(&rcWindow);
    if (CWnd* pHint = GetDlgItem(IDC_SEARCH_HINT))
        pHint->ShowWindow(SW_HIDE);
    SetDefID(IDC_SEARCH_FIND_NOW);
    // The keyboard goes on from the criteria, not from a window that is gone.
    if (bHadFocus)
        m_criteria.SetFocus();
}

void CSearchDirectoryDlg::TakeEntryText()
{
    CString text;
    if (m_pEdit) {
        m_pEdit->GetWindowText(text);
    } else if (m_pCombo) {
        const int nSel = m_pCombo->GetCurSel();
        if (nSel >= 0)
            m_pCombo->GetLBText(nSel, text);
    }
    AddCondition(text);
    DestroyEntryControls();
}

void CSearchDirectoryDlg::AddCondition(CString strValue)
{
    strValue.Trim();
    CSearchField* pField = SelectedCriterion();
    if (strValue.IsEmpty() || !pField)
        return;
    pField->m_values.push_back(strValue);
    CListBox* pLines = Conditions();
    // A further value goes directly after the criterion's last line.
    int nAt = -1;
    for (int i = 0; i < pLines->GetCount(); ++i)
        if (pLines->GetItemDataPtr(i) == pField)
            nAt = i + 1;
    const CString line = pField->ConditionLine(pField->m_values.size() - 1);
    const int nLine = nAt < 0 ? pLines->AddString(line) : pLines->InsertString(nAt, line);
    pLines->SetItemDataPtr(nLine, pField);
    pLines->SetCurSel(nLine);
}

void CSearchDirectoryDlg::OnAdd()
{
    if (HasEntryControls()) {
        TakeEntryText();
        return;
    }
    if (CSearchField* pField = SelectedCriterion())
        CreateEntryControls(pField);
}

void CSearchDirectoryDlg::OnRemove()
{
    DestroyEntryControls();
    CListBox* pLines = Conditions();
    const int nSel = pLines->GetCurSel();
    if (nSel < 0)
        return;
    auto* pField = static_cast<CSearchField*>(pLines->GetItemDataPtr(nSel));
    size_t nPos = 0; // the value's place among its criterion's lines
    for (int i = 0; i < nSel; ++i)
        if (pLines->GetItemDataPtr(i) == pField)
            ++nPos;
    pLines->DeleteString(UINT(nSel));
    if (pField && nPos < pField->m_values.size()) {
        pField->m_values.erase(pField->m_values.begin() + std::ptrdiff_t(nPos));
        // The criterion's next line becomes its first.
        if (nPos == 0 && nSel < pLines->GetCount() && pLines->GetItemDataPtr(nSel) == pField) {
            pLines->DeleteString(UINT(nSel));
            pLines->InsertString(nSel, pField->ConditionLine(0));
            pLines->SetItemDataPtr(nSel, pField);
        }
    }
    const int nCount = pLines->GetCount();
    if (nCount > 0)
        pLines->SetCurSel(std::min(nSel, nCount - 1));
}

void CSearchDirectoryDlg::OnRemoveAll()
{
    DestroyEntryControls();
    Conditions()->ResetContent();
    CSearchFieldArray& fields = CSearchFieldArray::Instance();
    for (INT_PTR i = 0; i < fields.GetSize(); ++i)
        fields.GetAt(i)->m_values.clear();
}

void CSearchDirectoryDlg::OnCriteriaSelChange() { DestroyEntryControls(); }

void CSearchDirectoryDlg::OnFindNow()
{
    HWND hFocus = ::GetFocus();
    const int nFocus = hFocus && ::IsChild(m_hWnd, hFocus) ? ::GetDlgCtrlID(hFocus) : 0;
    switch (nFocus) {
    case IDC_SEARCH_COMBO:
    case kComboEditId:
    case IDC_SEARCH_EDIT:
        TakeEntryText();
        break;
    case IDC_SEARCH_CRITERIA:
        OnAdd();
        break;
    case IDC_SEARCH_CONDITIONS:
        OnRemove();
        break;
    default:
        if (HasEntryControls())
            TakeEntryText();
        else
            BuildStatement();
        break;
    }
    // Entry controls just opened keep the focus for the value.
    if (m_hWnd && ::IsWindow(m_hWnd) && !HasEntryControls())
        if (CWnd* pFind = GetDlgItem(IDC_SEARCH_FIND_NOW))
            pFind->SetFocus();
}

void CSearchDirectoryDlg::BuildStatement()
{
    BOOL bBuilt = FALSE;
    {
        CWaitCursor wait;
        bBuilt = BuildSearchStatement(CSearchFieldArray::Instance(), m_search, m_strSort, m_strSelect, m_strFrom, m_strWhere);
    }
    if (!bBuilt)
        return; // told once; the conditions stay for another try
    if (m_strWhere.IsEmpty() && AfxMessageBox(kNoConditions, MB_RETRYCANCEL | MB_ICONINFORMATION) == IDRETRY)
        return;
    EndDialog(IDOK);
}

BOOL CSearchDirectoryDlg::PreTranslateMessage(MSG* pMsg)
{
    if (CDialog::PreTranslateMessage(pMsg))
        return TRUE;
    // Keys for the dialog's controls stay with them: the frame's accelerators behind the dialog
    // (arrows, Enter) would move the directory instead.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    return FALSE;
}

void CSearchDirectoryDlg::OnOK() { OnFindNow(); }

void CSearchDirectoryDlg::OnCancel()
{
    CSearchFieldArray& fields = CSearchFieldArray::Instance();
    if (m_bCleared && INT_PTR(m_savedValues.size()) == fields.GetSize())
        for (INT_PTR i = 0; i < fields.GetSize(); ++i)
            fields.GetAt(i)->m_values = m_savedValues[size_t(i)];
    EndDialog(IDCANCEL);
}
