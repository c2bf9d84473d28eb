#pragma once
// CGXRichEditCtrl: the rich text cell. The cell's value is RTF. The current cell is edited in a
// rich edit window laid over it; every other cell renders the same text into the grid's DC
// through an off-screen window. Font, colour and alignment applied to such a cell go into its
// text, not its style, and the row follows the text's height while the user types when the
// style asks for auto-sizing.

#include <array>
#include <memory>

#include "grid/core/gxctrl.h"
#include "platform/controls/controls.h"

class CGXRichEditCtrl;

// The editing window: the rich edit behaviour, with keys, characters, focus and resize
// requests seen by its control first.
class CGXRichEditWnd : public CRichEditCtrl {
public:
    explicit CGXRichEditWnd(CGXRichEditCtrl* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The rich edit's own processing of a message.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProc(message, wParam, lParam); }

private:
    CGXRichEditCtrl* m_pControl;
};

class CGXRichEditCtrl : public CGXControl {
public:
    CGXRichEditCtrl(CGXGridCore* pGrid, UINT nID);
    ~CGXRichEditCtrl() override;

    static const CGXControlClass classCGXRichEditCtrl;
    const CGXControlClass* GetControlClass() const override { return &classCGXRichEditCtrl; }
    CWnd* GetWindow() override { return HasWindow() ? m_pWnd.get() : nullptr; }

    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override;
    BOOL IsModified() override;
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    void SetEditText(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL StoreDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle = nullptr) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType, const CGXStyle* pOldStyle) override;
    using CGXControl::GetCurrentText;
    // Fills the style's font, colour and alignment from the cell's rich text: the window's
    // selection for the active current cell, else the start of the cell's value.
    BOOL GetCurrentText(ROWCOL nRow, ROWCOL nCol, CGXStyle& style);
    void Hide() override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnCharText(LPCTSTR pszText, UINT nRepCnt, UINT flags) override;
    BOOL CopyText() override;
    BOOL PasteText() override;
    BOOL CanPaste() override;
    void ReplaceSelection(LPCTSTR pszText) override;
    BOOL GetSelectionText(CString& sText) override;
    BOOL HandleCommandMessage(WPARAM wParam, LPARAM lParam) override;

    // The five windows: the editing one (10 x 10, hidden, a child of the grid window) and the
    // four off-screen ones beneath it. Fails unless all five exist.
    BOOL CreateControl(DWORD dwStyle, UINT nID);
    BOOL HasWindow() const { return m_pWnd && m_pWnd->GetSafeHwnd(); }
    CRichEditCtrl* GetRichEditWnd() { return HasWindow() ? m_pWnd.get() : nullptr; }

    // The style's font, colour and alignment as rich edit formats and back; each answers
    // whether any format was set.
    static BOOL StyleToFormats(const CGXStyle& style, CHARFORMAT& cf, PARAFORMAT& pf);
    static BOOL FormatsToStyle(const CHARFORMAT& cf, const PARAFORMAT& pf, CGXStyle& style);
    // Whether a text is an RTF document ("{\rtf" after blanks).
    static BOOL IsRtfText(LPCTSTR pszText);
    // "Rich Text Format", registered when the library starts.
    static UINT RegisterRtfClipboardFormat();
    static UINT GetRtfClipboardFormat();

    // Messages of the editing window; each answers whether it handled the message.
    BOOL OnWndKeyDown(UINT nChar, LPARAM lParam);
    BOOL OnWndChar(UINT nChar, WPARAM wParam, LPARAM lParam, LRESULT& result);
    BOOL OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The editing window asks for a size: the row follows the text.
    void OnRequestResize(const REQRESIZE& request);

    // Raised while a row changes for the text, while pasting and after a click into the window
    // (cleared by the next key): resize requests meanwhile are not acted on. One for the process.
    static BOOL s_bLockResize;

    // Let the row height follow the text; it never shrinks below its height on entry.
    BOOL m_bAutoGrowRows = TRUE;

private:
    // The off-screen windows, each with the text (and formats) it was given last.
    enum AuxKind { auxRender, auxConvert, auxFormats, auxMeasure, auxCount };
    struct AuxWnd {
        CRichEditCtrl wnd;
        CString strHeld;
        BOOL bHolds = FALSE;
    };
    // Gives a window a value with the style's formats beneath it, unless it holds it already.
    void LoadValue(AuxWnd& aux, const CString& sValue, const CGXStyle* pStyle);
    static void LoadInto(CRichEditCtrl& wnd, const CString& sValue, const CGXStyle* pStyle, BOOL bPlain);
    // Plain text as an RTF document in the style's formats.
    CString PlainToRtf(const CString& sText, const CGXStyle& style);
    CString ValueToRtf(const CString& sValue, const CGXStyle& style);
    int TextCharCount();
    void ScrollIntoViewOrRefresh();
    BOOL ActivatesOn(WORD wBits, UINT flags);
    BOOL ActivateFromMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point, BOOL bDblClk);
    BOOL EnsureWindows();
    void RenderInactive(CDC* pDC, const CRect& rectInner, const CGXStyle& style);
    void DrawActive(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                    const CGXStyle* pStandardStyle);

    std::unique_ptr<CGXRichEditWnd> m_pWnd;
    std::array<AuxWnd, auxCount> m_aux;
    UINT m_nID;
    BOOL m_bActive = FALSE;
    BOOL m_bAutoSize = FALSE;
    int m_nEntryRowHeight = 0;
    BOOL m_bMeasuring = FALSE;
    CRect m_rectRequested;
    CString m_strPendingLead;  // a multi-byte character collected across WM_CHARs
};
