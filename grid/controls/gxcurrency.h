#pragma once
// CGXCurrencyEdit: the currency cell. The cell stores a plain number ("%.2f" for two fraction
// digits); the current cell edits it in a currency edit window laid over the cell, which shows
// it as money, and a hidden second edit (the captive) formats every other cell's text. The
// style's "Currency: ..." settings override the locale's format cell by cell.

#include <memory>

#include "grid/controls/gxstatic.h"
#include "grid/widgets/gxbcuredit.h"

class CGXCurrencyEdit;
class CGXStylesMap;

enum : WORD {
    GX_IDS_UA_CURRENCYSEPARATORS = 51045,
    GX_IDS_UA_CURRENCYATTRIBUTES = 51046,
    GX_IDS_UA_CURRENCYPOSFORMAT = 51047,
    GX_IDS_UA_CURRENCYNEGFORMAT = 51048,
    GX_IDS_UA_CURRENCYDECIMALS = 51049,
    GX_IDS_UA_CURRENCYFRACTIONS = 51050,
    GX_IDS_UA_CURRENCYSYMBOL = 51054,
};

// The cell's window: the currency edit, with its messages seen by the cell first.
class CGXCurrencyEditWnd : public CGXBCurrencyEdit {
public:
    explicit CGXCurrencyEditWnd(CGXCurrencyEdit* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) { return CGXBCurrencyEdit::WindowProc(message, wParam, lParam); }

private:
    CGXCurrencyEdit* m_pControl;
};

class CGXCurrencyEdit : public CGXStatic {
public:
    CGXCurrencyEdit(CGXGridCore* pGrid, UINT nID);
    ~CGXCurrencyEdit() override;

    static const CGXControlClass classCGXCurrencyEdit;
    const CGXControlClass* GetControlClass() const override { return &classCGXCurrencyEdit; }
    CWnd* GetWindow() override { return HasWindow() ? m_pWnd.get() : nullptr; }
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    // The format of a style: the locale's, with the style's settings over it.
    static void BuildFormat(const CGXStyle& style, CGXBCurrencyFormat& fmt, UINT& nButtonBitmap);
    void ApplyFormatStyle(CGXBCurrencyEdit* pEdit, const CGXStyle& style);
    BOOL CreateCurrencyWindow(DWORD dwStyle);
    // The number text of a value under a format; FALSE when its integer part has more digits
    // than the format allows (cutting them would store another amount).
    static BOOL NumberText(const CGXBCurrencyFormat& fmt, double dValue, CString& sText);

    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override { m_bModified = bModified; }
    BOOL IsModified() override { return m_bModified; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    BOOL Validate() override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL GetCellValueText(CString& sText) override;
    void SetEditText(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType, const CGXStyle* pOldStyle) override;
    BOOL GetStyleValueText(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CString& sText) override;
    void Hide() override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    void ReplaceSelection(LPCTSTR pszText) override;
    BOOL GetSelectionText(CString& sText) override;
    BOOL HandleCommandMessage(WPARAM wParam, LPARAM lParam) override;

    BOOL HasWindow() const { return m_pWnd && m_pWnd->GetSafeHwnd(); }
    CGXBCurrencyEdit* GetCurrencyWnd() { return HasWindow() ? m_pWnd.get() : nullptr; }
    CGXBCurrencyEdit* GetCaptive() { return m_pCaptive.get(); }

    // Messages of the window; each answers whether it handled the message.
    BOOL OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    BOOL OnWndKeyDown(UINT nChar, LPARAM lParam, LRESULT& result);
    // Parses a stored value ('.' as the decimal point) through an edit's format.
    static BOOL ParseStored(const CGXBCurrencyFormat& fmt, const CString& sValue, double& d);
    void ScrollIntoViewOrRefresh();

    std::unique_ptr<CGXCurrencyEditWnd> m_pWnd;
    std::unique_ptr<CGXCaptiveCurEdit> m_pCaptive;
    UINT m_nID;
    BOOL m_bActive = FALSE;
    BOOL m_bModified = FALSE;
    BOOL m_bInitializing = FALSE;
    int m_nLineHeight = 0;
    // The window keeps its font past the grid's draw pass (the grid's font cache is emptied
    // after each pass); made again only when the cell's font differs.
    CFont m_font;
    LOGFONT m_lfFont {};
    BOOL m_bFont = FALSE;
};
