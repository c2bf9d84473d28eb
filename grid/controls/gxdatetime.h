#pragma once
// CGXDateTimeCtrl: the date-time cell. The cell stores an OLE date number ("%.13g"); the current
// cell edits it field by field in a date-time control laid over the cell. Other cells are drawn
// gadget by gadget from a hidden control (the drawing captive) given their value and style; a
// second hidden control (the text captive) makes their display text and reads entered texts.

#include <memory>

#include "grid/controls/gxstatic.h"
#include "grid/widgets/gxbdatetime.h"

class CGXDateTimeCtrl;
class CGXStylesMap;

enum : WORD {
    GX_IDS_UA_DATENOEDIT = 51034,
    GX_IDS_UA_DATEMIN = 51035,
    GX_IDS_UA_DATEMAX = 51036,
    GX_IDS_UA_DATEVALIDMODE = 51037,
    GX_IDS_UA_DATEFORMATTYPE = 51038,
    GX_IDS_UA_CUSTOMFORMAT = 51039,
    GX_IDS_UA_FASTINPUT = 51044,
    GX_IDS_UA_DATETIMENUMBER = 52571,
};

// The cell's window: the date-time control, with its messages and field changes seen by the
// cell first.
class CGXDateTimeCtrlWnd : public CGXBDateTimeCtrl {
public:
    explicit CGXDateTimeCtrlWnd(CGXDateTimeCtrl* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) { return CGXBDateTimeCtrl::WindowProc(message, wParam, lParam); }
    BOOL BeginFieldChange(int nKinds) override;
    void EndFieldChange(int nKinds) override;

private:
    CGXDateTimeCtrl* m_pControl;
};

class CGXDateTimeCtrl : public CGXStatic {
public:
    // dwCtrlStyle: the date-time control's style bits (GXBDT_DROPDOWN for the calendar).
    CGXDateTimeCtrl(CGXGridCore* pGrid, UINT nID, DWORD dwCtrlStyle);
    ~CGXDateTimeCtrl() override;

    static const CGXControlClass classCGXDateTimeCtrl;
    const CGXControlClass* GetControlClass() const override { return &classCGXDateTimeCtrl; }
    CWnd* GetWindow() override { return HasWindow() ? m_pWnd.get() : nullptr; }
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    BOOL CreateControl(DWORD dwStyle, const CRect& rect);
    // The style's format on a control; whether the format shows a date.
    BOOL ApplyDateTimeStyle(CGXBDateTimeCtrl* pCtrl, const CGXStyle& style);
    static BOOL SplitInputText(const CString& sText, const CString& sSeparators, std::vector<CString>& parts);
    // A value text as a date: parsed, else a number taken as an OLE date. Only an empty text
    // has no date ("0" is midnight of 1899-12-30).
    static BOOL ValueToDate(const CString& sValue, BOOL bForceNumber, COleDateTime& dt);

    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override { m_bModified = bModified; }
    BOOL IsModified() override { return m_bModified; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    BOOL StartEditing() override;
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
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    void Hide() override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnCharText(LPCTSTR pszText, UINT nRepCnt, UINT flags) override;
    BOOL OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL CopyText() override;
    BOOL PasteText() override;
    BOOL CanPaste() override;
    void ReplaceSelection(LPCTSTR pszText) override;

    BOOL HasWindow() const { return m_pWnd && m_pWnd->GetSafeHwnd(); }
    CGXBDateTimeCtrl* GetDateTimeWnd() { return HasWindow() ? m_pWnd.get() : nullptr; }
    CGXBDateTimeCtrl* GetTextCaptive() { return m_pTextCaptive.get(); }
    CGXBDateTimeCtrl* GetDrawCaptive() { return m_pDrawCaptive.get(); }

    // Hooks of the window.
    BOOL OnBeginFieldChange();
    void OnEndFieldChange();
    BOOL OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Gadget drawing for inactive cells.
    virtual void DrawSpinGadget(CDC* pDC, CGXBDTSpinGadget* pGadget);
    virtual void DrawNumericGadget(CDC* pDC, CGXBDTNumericGadget* pGadget);
    virtual void DrawListGadget(CDC* pDC, CGXBDTListGadget* pGadget);
    virtual void DrawStaticGadget(CDC* pDC, CGXBDTStaticGadget* pGadget);
    virtual void DrawButtonGadget(CDC* pDC, CGXBDTButtonGadget* pGadget);

private:
    void ApplyRange(CGXBDateTimeCtrl* pCtrl, const CGXStyle& style, BOOL bForceNumber);
    void MakeCurrentFieldEditable();
    void StoreEmpty();
    BOOL OnFieldClick(UINT flags, CPoint point, BOOL bForced);
    BOOL FieldsToDate(const CString& sText, const CGXStyle& style, COleDateTime& dt);

    std::unique_ptr<CGXDateTimeCtrlWnd> m_pWnd;
    std::unique_ptr<CGXCaptiveDateTimeCtrl> m_pTextCaptive;
    std::unique_ptr<CGXCaptiveDateTimeCtrl> m_pDrawCaptive;
    UINT m_nID;
    DWORD m_dwCtrlStyle;
    BOOL m_bForceNumber = FALSE;
    BOOL m_bActive = FALSE;
    BOOL m_bDateShown = TRUE;
    BOOL m_bModified = FALSE;
    CString m_strSeparators = ",";
    // The windows keep their fonts past the grid's draw pass, whose font cache is emptied after
    // each pass: each is made again only when the cell's font differs.
    struct OwnedFont {
        CFont font;
        LOGFONT lf {};
        BOOL bMade = FALSE;
        CFont* Get(const LOGFONT& l);
    };
    OwnedFont m_fontWnd;
    OwnedFont m_fontDraw;
};
