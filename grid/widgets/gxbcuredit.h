#pragma once
// CGXBCurrencyEdit: a one-line window that holds one signed number and always shows it as money
// through its Format. The user edits the shown text in place; each edit is read back into a value
// and shown again at once, so the window never holds a text that is not a shown value. It draws
// its own text, caret and selection, keeps a one-step undo, offers a context menu and exchanges
// plain text with the clipboard. Its drop button (and F4, Alt+Down, F2) opens the pop-up
// calculator on the value; the calculator's result replaces the value.
//
// Positions (caret, selection, EM_GETSEL, hit tests) count characters of the UTF-8 text.

#include "grid/widgets/gxbcurfmt.h"
#include "grid/widgets/gxbdropedit.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CMenu;
class CGXBPopupCalculator;

#define GXB_CURRENCYEDIT_CLASS "CGXBCurrencyEdit"

class CGXBCurrencyEdit : public CGXBDropEdit {
    DECLARE_DYNAMIC(CGXBCurrencyEdit)
public:
    using Format = CGXBCurrencyFormat;

    CGXBCurrencyEdit();
    ~CGXBCurrencyEdit() override;

    // Registers the window class "CGXBCurrencyEdit" when it is missing.
    static BOOL RegisterWindowClass();
    // A window of that class; styles meant for several lines, case or passwords are dropped.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Refuses a value that is not finite (no amount to show); FALSE then, nothing changed.
    BOOL SetValue(double dValue, BOOL bRedraw = TRUE);
    double GetValue() const { return m_bNegative ? -m_dValue : m_dValue; }
    void SetFormat(const Format& fmt);
    void GetFormat(Format& fmt) const { fmt = *m_pFormat; }
    const Format& GetFormatRef() const { return *m_pFormat; }
    // Sets the window text as it is, without reading a value from it.
    void SetWindowTextRaw(LPCTSTR lpszText);

    // (-1, 0) clears the selection, (0, -1) selects all; other pairs must lie within the text
    // (else FALSE and nothing changes). The caret goes to the end.
    BOOL SetSel(int nStart, int nEnd);
    // The selection in order, as character indexes; the caret twice without one.
    void GetSel(int& nStart, int& nEnd) const;
    int GetCaretIndex() const { return m_nCaret; }
    // (0, -1), everything, is a selection too.
    BOOL HasSelection() const { return m_nSelStart != -1 && m_nSelStart != m_nSelEnd; }
    void SetAlignment(int nAlign);  // 0 left, 1 centre, 2 right
    void SetReadOnly(BOOL bReadOnly);
    BOOL IsReadOnly() const;
    BOOL CanUndo() const { return m_bCanUndo; }
    void SetShiftInFractions(BOOL b) { m_bShiftIn = b ? 1 : 0; }
    BOOL GetOverwrite() const { return m_bOverwrite; }
    // The pop-up calculator while it is open.
    CGXBPopupCalculator* GetCalculator() const { return m_pCalculator; }

    // Opens the calculator on the value; the grid's pop-up flag is 1 until it is gone, then
    // what it was. 0 when it cannot be made.
    virtual BOOL ShowCalculator();
    virtual CString FilterPasteText(const CString& strText);
    virtual CMenu* CreateContextMenu();
    virtual void DestroyContextMenu(CMenu* pMenu);
    virtual void DoBackspace();
    virtual void DoDelete();
    virtual void InsertText(const CString& strText);
    virtual void EraseBackground(CDC* pDC, const CRect& rect);
    // The given text and caret (or the current ones), the current selection; can undo becomes 1.
    virtual void SaveUndoState(LPCTSTR lpszText = nullptr, int nCaret = -1);
    virtual void CreateEditCaret(int nPos);
    virtual void DestroyEditCaret();
    virtual void DrawDecimalLine(CDC* pDC, int x, const CRect& rcClient);
    virtual void ToggleSign();
    virtual BOOL ToggleOverwrite();
    void NotifyDropDown() override;

protected:
    // The calculator object ShowCalculator opens (a place to substitute one).
    virtual CGXBPopupCalculator* NewCalculator();
    // The calculator's result: the whole value, as a paste over everything (not when read-only).
    virtual LRESULT OnCalculatorResult(WPARAM wParam, LPARAM lParam);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnEditUndo();
    afx_msg void OnEditCut();
    afx_msg void OnEditCopy();
    afx_msg void OnEditPaste();
    afx_msg void OnEditClear();
    afx_msg void OnEditSelectAll();
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRedraw(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetSelMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetSelMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetReadOnlyMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUndoMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCanUndo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEmptyUndoBuffer(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetMargins(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCutMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCopyMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPasteMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCalcResultMsg(WPARAM wParam, LPARAM lParam) { return OnCalculatorResult(wParam, lParam); }
    DECLARE_MESSAGE_MAP()

private:
    // The shown text's layout: what is drawn (the decimal separator as a blank under the decimal
    // line), the x of each character boundary, and the text rectangle.
    struct TextLayout {
        std::u32string shown;
        std::vector<int> x;  // size shown.size() + 1
        CRect rcText;
        int nDecimal { -1 };  // index of the decimal separator in the number, or -1
    };
    // Where the number lies in a text and where its decimal separator is.
    struct NumberPos {
        int nStart { 0 };
        int nEnd { 0 };  // just past the last digit
        int nDecimal { -1 };
        bool bFound { false };
    };

    void StoreValue(double dMagnitude, bool bNegative, BOOL bRedraw);
    std::u32string text() const;
    NumberPos numberPos(const std::u32string& t) const;
    bool isGroupChar(char32_t ch) const;
    // Sets a built text through WM_SETTEXT (read back and shown again); false when refused.
    bool setParsedText(const std::u32string& t);
    bool setEditedText(std::u32string t);
    // The end of each edit: undo, notifications, repaint, caret.
    void finishEdit(const std::u32string& oldText, int nOldCaret, int nNewCaret);
    int clampCaret(const std::u32string& t, int nCaret) const;
    // Where the caret goes when the value became zero.
    int zeroCaret(const std::u32string& t, bool bPastZeroDigits) const;
    void selectionRange(int& a, int& b) const;
    void clearSelection()
    {
        m_nSelStart = -1;
        m_nSelEnd = 0;
    }
    // 1 selected, 2 selected and reaching beyond the number; 0 not selected.
    int wholeNumberSelection(const std::u32string& t) const;
    void moveCaret(int nPos, bool bExtend, bool bNavigation);
    void updateCaretPos();
    void notify(UINT nCode);
    void invalidate();
    CFont* font() const;
    TextLayout layout() const;
    int charWidth(CDC& dc, char32_t ch) const;
    int charFromPoint(CPoint point) const;
    void undo();
    bool copySelection();
    bool clipboardText(CString& strText) const;

    double m_dValue { 0 };
    bool m_bNegative { false };
    std::unique_ptr<Format> m_pFormat;
    int m_bFormatOnSetText { 1 };
    int m_bRedraw { 1 };
    int m_bMouseSelecting { 0 };
    int m_bOverwrite { 0 };
    int m_bShiftIn { 0 };
    int m_nCaret { 0 };
    int m_nSelStart { -1 };
    int m_nSelEnd { 0 };
    CString m_strUndoText;
    int m_nUndoCaret { -1 };
    int m_nUndoSelStart { -1 };
    int m_nUndoSelEnd { 0 };
    BOOL m_bCanUndo { FALSE };
    HFONT m_hFont { nullptr };
    int m_nLeftMargin { 0 };
    int m_nRightMargin { 0 };
    CGXBPopupCalculator* m_pCalculator { nullptr };
    // Widths of characters in the current font, measured once each.
    mutable std::unordered_map<char32_t, int> m_widths;
};

// The currency cell's hidden instance, which formats inactive cells.
class CGXCaptiveCurEdit : public CGXBCurrencyEdit {
    DECLARE_DYNAMIC(CGXCaptiveCurEdit)
public:
    CGXCaptiveCurEdit() = default;
    ~CGXCaptiveCurEdit() override;
};
