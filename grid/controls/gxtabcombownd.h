#pragma once
// CGXTabbedComboBoxWnd: the Windows combo box cell over a multi-column (tab-separated) choice
// list. The combo box is owner-drawn: its entries show the columns side by side over tab stops,
// its selection field the text column; a strip of column titles can sit on the dropped list.
// The edit part of the drop-down kind completes typed text from the entries and refuses a
// character that no entry begins.

#include <memory>

#include "grid/controls/gxcombownd.h"
#include "grid/controls/gxgridcombo.h"
#include "grid/controls/gxtabcombo.h"

class CGXTabbedComboBoxWnd;
class CGXStylesMap;

class CGXTabbedCBEditWnd : public CGXComboEditPart {
public:
    explicit CGXTabbedCBEditWnd(CGXTabbedComboBoxWnd* pControl);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CGXTabbedComboBoxWnd* m_pTabbed;
};

class CGXTabbedComboBoxWnd : public CGXComboBoxWnd {
public:
    explicit CGXTabbedComboBoxWnd(CGXGridCore* pGrid);
    ~CGXTabbedComboBoxWnd() override;

    static const CGXControlClass classCGXTabbedComboBoxWnd;
    const CGXControlClass* GetControlClass() const override { return &classCGXTabbedComboBoxWnd; }
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    // nKind: 2 drop-down, 3 drop-down list; the owner-draw styles are added.
    BOOL CreateControl(DWORD nKind, UINT nID) override;

    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetCellValueText(CString& sText) override;
    BOOL GetEditText(CString& sText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL ValidateText(const CString& sText) override;
    BOOL Validate() override;
    BOOL StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType, const CGXStyle* pOldStyle) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void Hide() override;
    void OnChildButtonClicked(CGXChild* pChild) override;
    BOOL OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
    BOOL HandleCommandMessage(WPARAM wParam, LPARAM lParam) override;
    BOOL OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    BOOL FilterKeyDown(UINT nChar, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // The edit part's typing: TRUE when the character was taken (completed or refused).
    BOOL OnEditPartChar(UINT nChar, LPARAM lParam);

    // The entry index whose key is sKey (exact), -1 when none.
    int FindKeyEntry(const CString& sKey);
    // The key field of entry i.
    CString KeyOfEntry(int i);
    // The text field (the first) of entry i.
    CString TextOfEntry(int i);
    // The entry whose text equals sText without case, else the first it begins; -1 when none.
    int FindTextEntry(const CString& sText, BOOL bPrefix = TRUE);

    const CGXTabbedComboBox::Settings& GetSettings() const { return m_settings; }
    int GetColumnCount() const { return m_nColCount; }
    const int* GetTabStops() const { return m_anTabStops; }
    int GetTotalWidth() const { return m_nTotalWidth; }
    CGXTabbedLBoxHeader* GetHeader() const { return m_pHeader.get(); }

    COLORREF m_rgbGridLine = RGB(192, 192, 192);
    BOOL m_bAutoComplete = TRUE;

protected:
    std::unique_ptr<CEdit> MakeEditPart() override;

private:
    void FillFromChoiceList() override;
    CGXTabbedLBoxHeader* EnsureHeader();
    int HeaderHeight();

    CGXTabbedComboBox::Settings m_settings;
    CString m_strSortedList;  // the style's list, sorted when the style asks
    int m_nColCount = 0;
    int m_anTabStops[CGXTabbedComboBox::kMaxColumns] = {};
    int m_nTotalWidth = 0;
    std::unique_ptr<CGXTabbedLBoxHeader> m_pHeader;
    CRect m_rectList;  // the list's place as last set
    COLORREF m_rgbCellBack = RGB(255, 255, 255);
    COLORREF m_rgbCellText = RGB(0, 0, 0);
    int m_nLineHeight = 10;
    CString m_strLastEntry;
    BOOL m_bInCtlColor = FALSE;
};
