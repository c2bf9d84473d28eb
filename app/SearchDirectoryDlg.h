#pragma once
// The Search Directory dialog: the user collects conditions on the criteria of table qsearch
// (values of one criterion are alternatives, different criteria must all hold) and Find Now
// turns them into one SELECT on Data, joined to the criteria's tables, whose conditions are
// ranges of sort ranks found by the key-range search.

#include "app/KeyRangeSearch.h"
#include "platform/base/collections.h"
#include "platform/controls/controls.h"
#include "platform/ui/dialog.h"

#include <memory>
#include <vector>

class CCipher;
class CDaoDatabase;

// One row of qsearch, and the values the user gave for it, in the order given.
class CSearchField {
public:
    CString m_strDisplay, m_strControl, m_strTable, m_strField, m_strHelper;
    long m_nSequence = 0;
    std::vector<CString> m_values;

    // The condition list's line of the value at index i: "Where " for the first, "     OR " after.
    CString ConditionLine(size_t i) const;
};

// The criteria, read at the dialog's first opening and kept with their values for the life of
// the program (Continue Previous Search shows them again).
class CSearchFieldArray {
public:
    static CSearchFieldArray& Instance();
    INT_PTR GetSize() const { return INT_PTR(m_fields.size()); }
    CSearchField* GetAt(INT_PTR i) const { return m_fields[size_t(i)].get(); }
    CSearchField* Add(std::unique_ptr<CSearchField> pField);
    // Forgets every criterion: the next dialog reads qsearch again.
    void RemoveAll() { m_fields.clear(); }

private:
    std::vector<std::unique_ptr<CSearchField>> m_fields;
};

// The bounds text of one value of a criterion (" BETWEEN lo AND hi") over the key-range search's
// open table; empty when a search failed.
CString SearchValueBounds(CKeyRangeSearch& search, const CString& strField, const CString& strValue);

// The statement's three parts from the criteria's values; FALSE (after one message) when a table
// could not be opened or a search failed. An empty where part means no condition was given.
BOOL BuildSearchStatement(const CSearchFieldArray& fields, CKeyRangeSearch& search, const CString& strSort,
                          CString& strSelect, CString& strFrom, CString& strWhere);

// The value edit; Enter in it presses "&Enter".
class CSearchEdit : public CEdit {};

// A drop-down list of a lookup table's Display texts; each item keeps its Actual text.
class CLookupComboBox : public CComboBox {
public:
    // Fills the list from the table; FALSE (after its message) when it cannot be read.
    BOOL FillFromTable(CDaoDatabase* pDatabase, const CString& strTable);
    CString GetActual(int nIndex) const;

private:
    std::vector<CString> m_actual; // by item: the item data is the index here
};

class CSearchDirectoryDlg : public CDialog {
public:
    explicit CSearchDirectoryDlg(CWnd* pParent = nullptr);
    ~CSearchDirectoryDlg() override;

    // With bClear, the criteria's values are kept aside and emptied (Cancel brings them back).
    INT_PTR DoSearchModal(BOOL bClear);

    CString m_strCaption;
    CString m_strSort;
    CString m_strSelect, m_strFrom, m_strWhere;
    CDaoDatabase* m_pDatabase = nullptr; // the directory database; not owned
    CCipher* m_pCipher = nullptr;        // the document's; not owned

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg void OnRemoveAll();
    afx_msg void OnFindNow();
    afx_msg void OnCriteriaSelChange();
    DECLARE_MESSAGE_MAP()

    CListBox* Criteria() { return &m_criteria; }
    CListBox* Conditions() { return &m_conditions; }
    CSearchField* SelectedCriterion();
    void CreateEntryControls(CSearchField* pField);
    void DestroyEntryControls();
    BOOL HasEntryControls() const { return m_pPrompt != nullptr; }
    // The entry control's text added as a condition, the controls gone.
    void TakeEntryText();
    void AddCondition(CString strValue);
    // Builds the statement and ends the dialog, or asks to try again without conditions.
    void BuildStatement();

    CListBox m_criteria;
    CListBox m_conditions;
    CKeyRangeSearch m_search;
    std::vector<std::vector<CString>> m_savedValues;
    BOOL m_bCleared = FALSE;
    std::unique_ptr<CStatic> m_pPrompt;
    std::unique_ptr<CButton> m_pEnter;
    std::unique_ptr<CSearchEdit> m_pEdit;
    std::unique_ptr<CLookupComboBox> m_pCombo;
    // Controls whose windows are gone while a message of theirs may still be on the stack.
    std::vector<std::unique_ptr<CWnd>> m_retired;
};
